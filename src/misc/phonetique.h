// French phonetic keys and the accent-folding upper case they start from.
//
// ANSI_cTabMaj maps every Latin-1 byte to its upper-case form without
// accent (é -> E, ç -> C, ÿ -> Y); the three ANSI_ functions apply it to
// whole texts. They are exported to the host with C linkage.
//
// fonetik turns a word or a name into a key that sounds-alike spellings
// share (Dupond and Dupont both give DUPO). Applications store these keys
// and compare them later, so every rule, its order and its look-around are
// fixed: a change here changes stored keys.
#pragma once
#include <cstddef>

#include "platform/export.h"
#include "qvstd/xerror.h"

extern "C" {
// 256 bytes: the accent-free upper-case form of each Latin-1 byte.
QV_EXPORT extern const unsigned char ANSI_cTabMaj[256];
// Folds a zero-terminated text in place through ANSI_cTabMaj.
QV_EXPORT void ANSI_ToUpper(char* pszTexte);
// Non-zero when the two texts are equal once folded.
QV_EXPORT int ANSI_bUpperEqu(const char* pszA, const char* pszB);
// The same over at most nLongueur characters (0 or less: equal).
QV_EXPORT int ANSI_bUpperEquN(const char* pszA, const char* pszB, int nLongueur);
}

// Writes the phonetic key of pszSource (null reads as "") into pszCle, a
// buffer of nTaille bytes; a key is never longer than its text, so
// strlen(pszSource) + 1 bytes always hold it (a smaller buffer gets the key
// cut short). false, with error 80229 on pclErreur when it is given, when
// no memory is left for the work area; pszCle is then left as it was.
bool fonetik(const char* pszSource, char* pszCle, size_t nTaille, CXError* pclErreur);
