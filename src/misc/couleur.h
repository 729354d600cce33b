// Colours as red, green and blue bytes, and their hue, saturation and
// lightness. A colour value is red + 256 x green + 65536 x blue, so the
// three bytes in memory order read as that value (little-endian).
#pragma once
#include <cstdint>

// Hue in degrees 0..359, lightness and saturation in percent 0..100.
struct stHLSCOLOR {
    int32_t nTeinte;
    int32_t nLuminosite;
    int32_t nSaturation;
};

struct stRGBCOLOR {
    uint8_t byRouge;
    uint8_t byVert;
    uint8_t byBleu;
};
static_assert(sizeof(stHLSCOLOR) == 12 && sizeof(stRGBCOLOR) == 3, "colour records");

stRGBCOLOR COULEUR_stRGB(int32_t nCouleur);
int32_t COULEUR_nValeur(const stRGBCOLOR& stRGB);

// Halves away from zero.
int nRound(double x);
void RGBToHLS(stHLSCOLOR* pstHLS, stRGBCOLOR stRGB);
// Arguments already checked: hue 0..360, lightness and saturation 0..100.
void HLSToRGB(stRGBCOLOR* pstRGB, int nTeinte, int nLuminosite, int nSaturation);
// One byte of the colour from the two lightness bounds and a hue.
uint8_t byCalcRGBComponent(double m1, double m2, double rTeinte);
