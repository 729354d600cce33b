// The miscellaneous language functions: Min and Max, the regular-expression
// check, phonetic keys, the numeric test, colours, random numbers, unique
// identifiers and the export of a table as text. Each takes the library object first (errors and host
// services) and reports a failure as a numbered user error with a neutral
// result.
#pragma once
#include <cstdint>

#include "runtime/znlibrary.h"
#include "core/any.h"
#include "core/zndstr.h"
#include "qvstd/table.h"

// Start of the family for a library object: the random numbers restart
// from the same seed, so that a program that never seeds gets the same
// sequence on every run.
bool _DIVERS_bInitModule();

namespace misc {

// ---- Min and Max ---------------------------------------------------------------------------
// The first argument is given; the further ones are fetched from the host
// as variants and compared as texts or reals. Ties keep the earlier
// argument; a value that does not convert takes no part; a failed fetch
// gives the empty text or 0.

CZNDSTR Max(CZNLibrary& lib, const char* pszPremier);
CZNDSTR Min(CZNLibrary& lib, const char* pszPremier);
double Max(CZNLibrary& lib, double rPremier);
double Min(CZNLibrary& lib, double rPremier);

// ---- Regular-expression check ------------------------------------------------------------
// True when the whole text matches the pattern (an empty pattern matches
// anything). The captured groups are stored in the variables that follow
// the two declared arguments, fetched from the host: 80501 when groups are
// left over, 80502 when a variable has no group, 80500 for a bad pattern,
// 80503/80504 when the pattern or the check would take too much.

bool VerifieExpressionReguliere(CZNLibrary& lib, const char* pszTexte, const char* pszFormat);

// ---- Phonetic key ------------------------------------------------------------------------

// Phonétique(text): the French phonetic key of a word or a name.
CZNDSTR Phonetique(CZNLibrary& lib, const char* pszTexte);

// ---- Numeric test ------------------------------------------------------------------------

// EstNumérique(value): a number, or a text that reads as one.
bool EstNumerique(CZNLibrary& lib, const CAny& clValeur);

// ---- Colours -------------------------------------------------------------------------------
// A colour is red + 256 x green + 65536 x blue.

int32_t RVB(CZNLibrary& lib, int32_t nRouge, int32_t nVert, int32_t nBleu);
int32_t RVBRouge(CZNLibrary& lib, int32_t nCouleur);
int32_t RVBVert(CZNLibrary& lib, int32_t nCouleur);
int32_t RVBBleu(CZNLibrary& lib, int32_t nCouleur);
// TSL(hue 0-360, saturation 0-100, lightness 0-100): the colour; 0 with
// 80202, 80204 or 80203 when an argument is out of range.
int32_t TSL(CZNLibrary& lib, int32_t nTeinte, int32_t nSaturation, int32_t nLuminosite);
// Hue in degrees 0-359, saturation and lightness in percent.
int32_t CouleurTeinte(CZNLibrary& lib, int32_t nCouleur);
int32_t CouleurSaturation(CZNLibrary& lib, int32_t nCouleur);
int32_t CouleurLuminosite(CZNLibrary& lib, int32_t nCouleur);

// ---- Random numbers ------------------------------------------------------------------------
// The results are variants: they are written into the last parameter.

// A real in 0..1.
void Hasard(CZNLibrary& lib, CAny& clResultat);
// An integer in 1..n; 80260 and 0 when n <= 0.
void Hasard(CZNLibrary& lib, int32_t nMax, CAny& clResultat);
// An integer in a..b; 80210 and 0 when a > b.
void Hasard(CZNLibrary& lib, int32_t nMin, int32_t nMax, CAny& clResultat);
// Seeds from the clock, or with the given seed.
void InitHasard(CZNLibrary& lib);
void InitHasard(CZNLibrary& lib, int32_t nGraine);

// ---- Unique identifiers --------------------------------------------------------------------

// DonneGUID(): "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"; DonneGUID(0): the
// 32 hexadecimal digits alone (any other format: the first form).
CZNDSTR DonneGUID(CZNLibrary& lib);
CZNDSTR DonneGUID(CZNLibrary& lib, int32_t nFormat);

// ---- Table to text ---------------------------------------------------------------------------
// TableVersTexte(table [, options [, column separator [, line separator [, first [, last]]]]]):
// one line per row, the title line first unless option 1 says otherwise.
// Options (nothing outside 0x9B, else 80254): 1 no title line, 2 hidden
// columns too, 8 cells as stored rather than as shown, 0x10 the selected
// rows only, 0x80 columns in their screen order. Defaults: tab, CR LF, rows
// 1 to the last (a bound below 1 is its default; the bounds go either
// way). 80253 when the object is no table; the empty text on any error.

CZNDSTR TableVersTexte(CZNLibrary& lib, IObjetAPCode* piTable);
CZNDSTR TableVersTexte(CZNLibrary& lib, IObjetAPCode* piTable, int32_t nOptions);
CZNDSTR TableVersTexte(CZNLibrary& lib, IObjetAPCode* piTable, int32_t nOptions, const char* pszSepColonne);
CZNDSTR TableVersTexte(CZNLibrary& lib, IObjetAPCode* piTable, int32_t nOptions, const char* pszSepColonne,
                       const char* pszSepLigne);
CZNDSTR TableVersTexte(CZNLibrary& lib, IObjetAPCode* piTable, int32_t nOptions, const char* pszSepColonne,
                       const char* pszSepLigne, int32_t nPremiere);
CZNDSTR TableVersTexte(CZNLibrary& lib, IObjetAPCode* piTable, int32_t nOptions, const char* pszSepColonne,
                       const char* pszSepLigne, int32_t nPremiere, int32_t nDerniere);

}  // namespace misc
