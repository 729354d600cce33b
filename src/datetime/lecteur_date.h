// Reading a date written by a person without a display mask.
#pragma once

// The legacy reader: the text and the format ("JJ/MM/AAAA"...) walked
// together, the year ("AAAA", "YYYY", or "AA"/"YY" completed with the
// century), month ("MM") and day ("JJ", "DD") taken from the text where
// the format has them, any case. True when all three were found; the result
// is then their characters as "AAAAMMJJ", unchecked. pszResultat holds at
// least 9 bytes.
bool bChaineVersDate(const char* pszTexte, const char* pszFormat, char* pszResultat);
