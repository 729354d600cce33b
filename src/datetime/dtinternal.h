// Helpers shared by the date-time sources only.
#pragma once
#include <cstddef>
#include <cstdint>

// Decimal number read in the manner of the C library's string-to-long
// conversion over at most nTaille characters: leading blanks, an optional
// sign, then digits up to the first non-digit (no digit gives 0). The
// magnitude is held at 2^40, beyond every 32-bit value.
int64_t DT_llLitDecimal(const char* pszTexte, size_t nTaille);
// The value held within the 32-bit range.
int32_t DT_nBorne32(int64_t n);

// Date of a day number by walking the years and months from an estimate
// of the year: the rule for every number, including the corrected years up
// to 1582. Fails outside the numbers of years 0 to 10000.
bool DT_bEntierVersDateParcours(int32_t n, int& nJour, int& nMois, int& nAnnee);
