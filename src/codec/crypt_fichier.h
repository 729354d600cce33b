// Encrypted files: the routines behind fCrypte and fDécrypte. Layout: a
// 4-byte little-endian checksum (the sum modulo 2^32 of the plain bytes),
// then the file cut into pieces of 64000 bytes, each encrypted by its own
// call of the cipher with the same key; the ciphertext keeps the length.
//
// The files stream through one 64000-byte buffer. The result is written to
// a temporary file in the destination's folder and renamed over the
// destination only on success: a wrong password, a damaged file or a
// failing disk leaves no destination behind, and a destination that is the
// source itself is never emptied before it has been read.
//
// Failures fill the error object: user error 80282 for an empty password,
// 80280 for a cipher method above 3, 80041 when no cipher can be made;
// messages 28256 (password refused), 28279 (checksum not 0 after
// decryption: wrong password or damaged file) and the file's own error for
// a file that cannot be opened, read or written.
#pragma once
#include <cstdint>

class CXError;

// Pieces the files are read, encrypted and written in.
constexpr uint32_t CRYPT_PIECE_FICHIER = 64000;

bool g_bfCrypte(const char* pszSource, const char* pszDestination, const char* pszMotDePasse, uint32_t dwMethode,
                CXError& clErreur);
bool g_bfDecrypte(const char* pszSource, const char* pszDestination, const char* pszMotDePasse, uint32_t dwMethode,
                  CXError& clErreur);

// With an encoding: encrypt into a temporary file, then encode it into the
// destination (and the reverse). Cipher method 0: a plain copy, or the
// encoding alone.
bool g_bfCrypteEncode(const char* pszSource, const char* pszDestination, const char* pszMotDePasse,
                      uint32_t dwMethode, int nEncodage, CXError& clErreur);
bool g_bfDecrypteDecode(const char* pszSource, const char* pszDestination, const char* pszMotDePasse,
                        uint32_t dwMethode, int nEncodage, CXError& clErreur);

// Encodes or decodes a file with the encoder (20 groups per line); an
// unknown encoder number fails with message 28257.
bool g_bfEncode(const char* pszSource, const char* pszDestination, int nEncodeur, CXError& clErreur);
bool g_bfDecode(const char* pszSource, const char* pszDestination, int nEncodeur, CXError& clErreur);
