// The number language functions. Each row of
// src/component/tables/functions.txt in the numeric area that is built
// names one of them; the entry points that call them are generated.
#pragma once
#include <cstdint>

#include "core/any.h"
#include "core/zndstr.h"
#include "numeric/money.h"
#include "runtime/znlibrary.h"

namespace numeric {

// -- Numbers and sizes as text (fn_numerique.cpp) --
// The value as text: characters and texts as they are; without a format,
// an integer in decimal and any other value through the host's conversion
// (a final "." dropped); with a format, through the language's short
// printf-like formats. An invalid format raises 80270 and gives the empty
// text.
CZNDSTR NumeriqueVersChaine(CZNLibrary& lib, const CAny& clValeur);
CZNDSTR NumeriqueVersChaine(CZNLibrary& lib, const CAny& clValeur, const char* pszFormat);
// A size in bytes with the unit names of the language: unit 0 (automatic,
// when not given) to 5; another raises 81507 and gives the empty text.
CZNDSTR TailleVersChaine(CZNLibrary& lib, int64_t llTaille);
CZNDSTR TailleVersChaine(CZNLibrary& lib, int64_t llTaille, int32_t nUnite);

// -- Currencies through the euro (fn_devise.cpp) --
// Rates come from the host's currency-rate module; without it every
// function raises 80190. Currency numbers index the rate table (0 the euro,
// 65535 the default one); an unknown one raises 80191. Amounts are rounded
// to the decimals asked (0 to 5; 6 and more keep every millionth), halves
// away from zero. A result that does not fit a currency value raises
// 80165, a zero rate 80164; the result is then the zero value.
// The given currency's name, its rate (units per euro, above 0 and below
// 2148; exactly 1 for currency 0, else 80191; else 80192 with 2147).
void eInitDevise(CZNLibrary& lib, int32_t nDevise, const char* pszNom, double rTaux);
// The rate of currency n (1 when not given); -1 for an unknown one.
double eTauxDeChange(CZNLibrary& lib);
double eTauxDeChange(CZNLibrary& lib, int32_t nDevise);
// An amount of currency n (1) in euros, rounded to 2 decimals unless asked
// otherwise. The variable, when given, receives the amount minus the
// rounded result converted back, rounded the same way.
CMoney eVersEuro(CZNLibrary& lib, const CMoney& clMontant);
CMoney eVersEuro(CZNLibrary& lib, const CMoney& clMontant, int32_t nDevise);
CMoney eVersEuro(CZNLibrary& lib, const CMoney& clMontant, int32_t nDevise, int32_t nDecimales);
CMoney eVersEuro(CZNLibrary& lib, const CMoney& clMontant, int32_t nDevise, int32_t nDecimales, IVariable* piDifference);
// An amount of euros in currency n (1), the same way.
CMoney eVersDevise(CZNLibrary& lib, const CMoney& clMontant);
CMoney eVersDevise(CZNLibrary& lib, const CMoney& clMontant, int32_t nDevise);
CMoney eVersDevise(CZNLibrary& lib, const CMoney& clMontant, int32_t nDevise, int32_t nDecimales);
CMoney eVersDevise(CZNLibrary& lib, const CMoney& clMontant, int32_t nDevise, int32_t nDecimales,
                   IVariable* piDifference);
// An amount from one currency to another through the euro, the same way.
CMoney eChangeDevise(CZNLibrary& lib, const CMoney& clMontant, int32_t nDe, int32_t nVers);
CMoney eChangeDevise(CZNLibrary& lib, const CMoney& clMontant, int32_t nDe, int32_t nVers, int32_t nDecimales);
CMoney eChangeDevise(CZNLibrary& lib, const CMoney& clMontant, int32_t nDe, int32_t nVers, int32_t nDecimales,
                     IVariable* piDifference);
// The default currency kept for storage, and the one shown (which 65535
// designates): a currency number given becomes the default; the result is
// the default in force after the call (-1 after an error).
int32_t eDeviseMemParDefaut(CZNLibrary& lib);
int32_t eDeviseMemParDefaut(CZNLibrary& lib, int32_t nDevise);
int32_t eDeviseAffParDefaut(CZNLibrary& lib);
int32_t eDeviseAffParDefaut(CZNLibrary& lib, int32_t nDevise);
// The name of currency n (1).
CZNDSTR eNomDevise(CZNLibrary& lib);
CZNDSTR eNomDevise(CZNLibrary& lib, int32_t nDevise);
// Kept for the programs that call it: the zero value.
CMoney eDifferenceArrondi(CZNLibrary& lib, int32_t nFenetre);

}  // namespace numeric
