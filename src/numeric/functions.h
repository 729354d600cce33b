// The number language functions. Each row of
// src/component/tables/functions.txt in the numeric area that is built
// names one of them; the entry points that call them are generated.
#pragma once
#include <cstdint>

#include "core/any.h"
#include "core/zndstr.h"
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

}  // namespace numeric
