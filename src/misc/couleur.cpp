// Conversions between RGB colours and hue, lightness and saturation, in
// the usual hexcone model. Hues and percentages are whole numbers; the
// direction to RGB truncates its bytes, the other rounds.
#include "misc/couleur.h"

stRGBCOLOR COULEUR_stRGB(int32_t nCouleur) {
    const auto dw = static_cast<uint32_t>(nCouleur);
    return {static_cast<uint8_t>(dw & 0xFF), static_cast<uint8_t>((dw >> 8) & 0xFF),
            static_cast<uint8_t>((dw >> 16) & 0xFF)};
}

int32_t COULEUR_nValeur(const stRGBCOLOR& stRGB) {
    return static_cast<int32_t>(stRGB.byRouge | uint32_t(stRGB.byVert) << 8 | uint32_t(stRGB.byBleu) << 16);
}

int nRound(double x) { return static_cast<int>(x >= 0 ? x + 0.5 : x - 0.5); }

namespace {

int _nPourcent(double x) {
    int n = nRound(x * 100);
    return n < 0 ? 0 : (n > 100 ? 100 : n);
}

}  // namespace

void RGBToHLS(stHLSCOLOR* pstHLS, stRGBCOLOR stRGB) {
    const double r = stRGB.byRouge / 255.0, g = stRGB.byVert / 255.0, b = stRGB.byBleu / 255.0;
    const double rMax = r > g ? (r > b ? r : b) : (g > b ? g : b);
    const double rMin = r < g ? (r < b ? r : b) : (g < b ? g : b);
    const double rSomme = rMax + rMin;
    const double L = rSomme * 0.5;
    const double rDelta = rMax - rMin;
    double H = 0, S = 0;
    if (rMax != rMin) {
        S = L <= 0.5 ? rDelta / rSomme : rDelta / (2 - rSomme);
        const double rc = (rMax - r) / rDelta, gc = (rMax - g) / rDelta, bc = (rMax - b) / rDelta;
        if (r == rMax)
            H = (bc + 6 - gc) * 60;
        else if (g == rMax)
            H = (rc + 2 - bc) * 60;
        else
            H = (gc + 4 - rc) * 60;
        if (H < 0) H += 360;
    }
    pstHLS->nTeinte = nRound(H) % 360;
    pstHLS->nLuminosite = _nPourcent(L);
    pstHLS->nSaturation = _nPourcent(S);
}

uint8_t byCalcRGBComponent(double m1, double m2, double rTeinte) {
    if (rTeinte > 360)
        rTeinte -= 360;
    else if (rTeinte < 0)
        rTeinte += 360;
    double v;
    if (rTeinte < 60)
        v = m1 + (m2 - m1) * rTeinte / 60;
    else if (rTeinte < 180)
        v = m2;
    else if (rTeinte < 240)
        v = m1 + (m2 - m1) * (240 - rTeinte) / 60;
    else
        v = m1;
    // Truncated, not rounded; kept within the byte against rounding noise.
    const double rOctet = v * 255;
    return rOctet <= 0 ? 0 : (rOctet >= 255 ? 255 : static_cast<uint8_t>(rOctet));
}

void HLSToRGB(stRGBCOLOR* pstRGB, int nTeinte, int nLuminosite, int nSaturation) {
    if (nSaturation == 0) {
        const auto by = static_cast<uint8_t>(nLuminosite * 255 / 100);
        *pstRGB = {by, by, by};
        return;
    }
    const double L = nLuminosite / 100.0, S = nSaturation / 100.0;
    const double m2 = L <= 0.5 ? L * S + L : L + S - L * S;
    const double m1 = 2 * L - m2;
    pstRGB->byRouge = byCalcRGBComponent(m1, m2, nTeinte + 120);
    pstRGB->byVert = byCalcRGBComponent(m1, m2, nTeinte);
    pstRGB->byBleu = byCalcRGBComponent(m1, m2, nTeinte - 120);
}
