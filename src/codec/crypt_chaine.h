// Encrypted strings: the routines behind Crypte and Décrypte. A value is
// compressed (compression method in the high half of the combined method),
// then encrypted (cipher method in the low half), then turned into text by
// an encoder of encode.h; decryption undoes the steps in reverse order.
//
// Failures fill the error object with the user error of their cause and
// give an empty result: 80280 cipher method above 3, 80550 compression
// method above 2 (or compressed content that cannot be read), 80282 empty
// password, 80041 no cipher for the method or memory exhausted, 80281
// password refused by the cipher.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class CXError;

// Method 0 leaves the bytes as they are.
bool g_bChaineCrypte(std::string& sDonnees, const char* pszMotDePasse, uint32_t dwMethode, CXError& clErreur);
bool g_bChaineDecrypte(std::string& sDonnees, const char* pszMotDePasse, uint32_t dwMethode, CXError& clErreur);

// Text of the bytes with the encoder (20 groups per line); empty for
// encoder 0 or an unknown number. False only when memory runs out.
bool g_bChaineEncode(const std::string& sDonnees, int nEncodeur, std::string& sTexte);
// Bytes of the text; empty for an unknown number. False when memory runs
// out or the text is not one of that encoding.
bool g_bChaineDecode(const std::string& sTexte, int nEncodeur, std::string& sDonnees);

// The whole chain (a combined method with the crypteAnsi flag accepted).
// With neither cipher nor compression the value is given back unchanged.
bool g_bChaineCrypteEncode(std::string& sValeur, const char* pszMotDePasse, uint32_t dwMethode, int nEncodage,
                           CXError& clErreur);
bool g_bChaineDecrypteDecode(std::string& sValeur, const char* pszMotDePasse, uint32_t dwMethode, int nEncodage,
                             CXError& clErreur);
