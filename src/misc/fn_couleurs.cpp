// RVB and its three readers, TSL and the hue, saturation and lightness of
// a colour.
#include "misc/couleur.h"
#include "misc/functions.h"

namespace misc {

namespace {

constexpr int ERR_TEINTE = 80202;
constexpr int ERR_LUMINOSITE = 80203;
constexpr int ERR_SATURATION = 80204;

stHLSCOLOR _stHLS(int32_t nCouleur) {
    stHLSCOLOR st;
    RGBToHLS(&st, COULEUR_stRGB(nCouleur));
    return st;
}

}  // namespace

// No range check and no masking: a component beyond 255 carries into the
// next byte (wrapping in 32 bits).
int32_t RVB(CZNLibrary& /*lib*/, int32_t nRouge, int32_t nVert, int32_t nBleu) {
    const uint32_t dw = (static_cast<uint32_t>(nBleu) * 256 + static_cast<uint32_t>(nVert)) * 256 +
                        static_cast<uint32_t>(nRouge);
    return static_cast<int32_t>(dw);
}

int32_t RVBRouge(CZNLibrary& /*lib*/, int32_t nCouleur) { return COULEUR_stRGB(nCouleur).byRouge; }
int32_t RVBVert(CZNLibrary& /*lib*/, int32_t nCouleur) { return COULEUR_stRGB(nCouleur).byVert; }
int32_t RVBBleu(CZNLibrary& /*lib*/, int32_t nCouleur) { return COULEUR_stRGB(nCouleur).byBleu; }

// The ranges are checked as unsigned values, so a negative argument is out
// of range too.
int32_t TSL(CZNLibrary& lib, int32_t nTeinte, int32_t nSaturation, int32_t nLuminosite) {
    if (static_cast<uint32_t>(nTeinte) > 360) {
        lib.RaiseError(ERR_TEINTE);
        return 0;
    }
    if (static_cast<uint32_t>(nSaturation) > 100) {
        lib.RaiseError(ERR_SATURATION);
        return 0;
    }
    if (static_cast<uint32_t>(nLuminosite) > 100) {
        lib.RaiseError(ERR_LUMINOSITE);
        return 0;
    }
    stRGBCOLOR st;
    HLSToRGB(&st, nTeinte, nLuminosite, nSaturation);
    return COULEUR_nValeur(st);
}

int32_t CouleurTeinte(CZNLibrary& /*lib*/, int32_t nCouleur) { return _stHLS(nCouleur).nTeinte; }
int32_t CouleurSaturation(CZNLibrary& /*lib*/, int32_t nCouleur) { return _stHLS(nCouleur).nSaturation; }
int32_t CouleurLuminosite(CZNLibrary& /*lib*/, int32_t nCouleur) { return _stHLS(nCouleur).nLuminosite; }

}  // namespace misc
