// URL percent-encoding: every byte is kept or written as "%" and two
// uppercase hexadecimal digits. The decoder takes its text as hostile: it is
// given the length, never reads past it, and a "%" too close to the end ends
// the decoding with what came before.
#pragma once
#include <cstddef>
#include <cstdint>

// Mode 0 (URLEncode) keeps the characters a URL may hold as they are; mode 1
// keeps letters and digits only.
constexpr int URL_MODE_URL = 0;
constexpr int URL_MODE_ALPHANUMERIQUE = 1;

// Length of the encoded text (without a NUL).
size_t nCalculeLongueurEncodee(const uint8_t* pbyDonnees, size_t nTaille, int nMode);
// Writes the encoded text (no NUL) and returns its length.
size_t EncodeURL(const uint8_t* pbyDonnees, size_t nTaille, int nMode, char* pszSortie);

// Bytes the decoding of the text gives.
size_t nCalculeLongueurDecodee(const char* pszTexte, size_t nLongueur);
// Writes the decoded bytes (no NUL) and returns their count: "+" is a space,
// "%XX" the byte XX, "%26%238364%3B" the byte 0x80; a "%" followed by a
// character that is no hexadecimal digit is kept as it is.
size_t DecodeURL(const char* pszTexte, size_t nLongueur, uint8_t* pbySortie);
