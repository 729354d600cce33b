// EstNumérique: whether a value is a number or a text that reads as one.
// Texts go through the host's own conversion to a real, so that the
// answer agrees with what the language itself accepts as a number.
#include <cstdlib>

#include "misc/functions.h"

namespace misc {

namespace {

// Integers of every width, currency, reals and decimal (not the boolean).
bool bTypeNumerique(int nType) { return nType >= ANY_UI1 && nType <= ANY_I4BIS; }

// Characters and texts, ANSI or Unicode. Unicode texts are read too: the
// same digits must not stop being a number because of how they are stored.
bool bTypeTexte(int nType) { return (nType >= ANY_USTR && nType <= 23) || nType == ANY_WSTR; }

}  // namespace

bool EstNumerique(CZNLibrary& /*lib*/, const CAny& clValeur) {
    const int nType = clValeur.nGetType();
    if (bTypeNumerique(nType)) return true;
    if (!bTypeTexte(nType)) return false;

    CAny clTexte;
    if (clTexte.nCopy(clValeur) != 0 || clTexte.nCastTo(ANY_CSTR) > 99 || clTexte.nGetType() != ANY_CSTR)
        return false;
    const char* pszTexte = static_cast<const char*>(clTexte.pGetPointeur());
    if (pszTexte == nullptr) return false;

    CAny clReel;
    double r = 0;
    if (clReel.nCopy(clTexte) != 0 || clReel.nCastTo(ANY_R8) > 99 || clReel.nGetREAL(&r) != 0) return false;
    if (r != 0) return true;
    // A conversion that gave 0 may only mean the text held no number at all.
    char* pszFin = nullptr;
    strtod(pszTexte, &pszFin);
    return pszFin != pszTexte;
}

}  // namespace misc
