// Sizes in bytes written with the unit names of the language.
#pragma once
#include <cstdint>
#include <string>

// Writes the size in the unit (0 automatic, 1 bytes, 2 kilobytes ... 5
// terabytes) with the names of pszUnites ("octet(s);Ko;Mo;Go;To"); the
// decimal separator replaces "." in texts with decimals. False, and an
// empty text, for a unit outside 0 to 5.
bool NUM_bTailleVersTexte(int64_t llTaille, int nUnite, const char* pszUnites, char cDecimal, std::string& sResultat);
