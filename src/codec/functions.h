// The codec family's language functions, each taking the library object
// first: Compresse and Décompresse over the compressed-string layouts of
// compress_chaine.h (a failure is user error 80550 with the message of its
// cause, or 80041 when memory runs out, and an empty result), and the file
// compaction functions over the engine of compact.h (file names arrive as
// file-function strings; a Unicode name is taken as UTF-8).
#pragma once
#include <cstdint>

#include "core/any.h"
#include "core/zndstr.h"
#include "qvstd/manipaub.h"
#include "runtime/znlibrary.h"

namespace codec {

// Compresse(text): the text in the component's character set (a Unicode
// text is converted first), all of its characters, with method 1.
CZNBIN Compresse(CZNLibrary& lib, const CZNDSTRBase& sTexte);
// Compresse(buffer), with method 1.
CZNBIN Compresse(CZNLibrary& lib, const CZNBINBase& clDonnees);
// Décompresse(buffer): the bytes the compressed string holds.
CZNBIN Decompresse(CZNLibrary& lib, const CZNBINBase& clSource);

// ---- Text encodings and checksums -----------------------------------------------

// URLEncode(text): every byte but the characters a URL may hold as "%XX".
CZNDSTR URLEncode(CZNLibrary& lib, const char* pszTexte);
// URLDécode(text): "%XX" and "+" back to bytes.
CZNDSTR URLDecode(CZNLibrary& lib, const char* pszTexte);
// UUEncode(string or buffer): the uuencoded text, lines of 45 bytes.
CZNDSTR UUEncode(CZNLibrary& lib, const CAny& clValeur);
// UUDécode(text): the bytes; empty for a text that is no uuencoded text.
CZNBIN UUDecode(CZNLibrary& lib, const char* pszTexte);
// sCalculeCrc32(buffer [, previous CRC]): the published CRC-32, continuing
// the previous value (an empty buffer gives that value back).
int32_t sCalculeCrc32(CZNLibrary& lib, const CZNBINBase& clDonnees);
int32_t sCalculeCrc32(CZNLibrary& lib, const CZNBINBase& clDonnees, int32_t nPrecedent);
// sCalculeCrc16(value): the CCITT CRC-16 of the value as a string.
int32_t sCalculeCrc16(CZNLibrary& lib, const CAny& clValeur);

// ---- Encryption ------------------------------------------------------------------
// The method is a combined value: cipher method (crypteRapide 1,
// crypteSécurisé 2, crypteRC516 3) in the low half, compression method in
// the high half; the encoding an encoder number (encodeAucun 0 to
// encodeUUEncode 3). Failures raise their user error and give an empty
// string or false.

// Crypte(value, password [, method [, encoding]]): method 1 and encoding 1
// by default.
CZNDSTR Crypte(CZNLibrary& lib, const CAny& clValeur, const char* pszMotDePasse);
CZNDSTR Crypte(CZNLibrary& lib, const CAny& clValeur, const char* pszMotDePasse, int32_t nMethode);
CZNDSTR Crypte(CZNLibrary& lib, const CAny& clValeur, const char* pszMotDePasse, int32_t nMethode,
               int32_t nEncodage);
// Décrypte: the same syntaxes, undoing Crypte.
CZNDSTR Decrypte(CZNLibrary& lib, const CAny& clValeur, const char* pszMotDePasse);
CZNDSTR Decrypte(CZNLibrary& lib, const CAny& clValeur, const char* pszMotDePasse, int32_t nMethode);
CZNDSTR Decrypte(CZNLibrary& lib, const CAny& clValeur, const char* pszMotDePasse, int32_t nMethode,
                 int32_t nEncodage);
// fCrypte(source, destination, password [, method [, encoding]]): method 1
// and no encoding by default. The destination is replaced only on success.
bool fCrypte(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
             const char* pszMotDePasse);
bool fCrypte(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
             const char* pszMotDePasse, int32_t nMethode);
bool fCrypte(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
             const char* pszMotDePasse, int32_t nMethode, int32_t nEncodage);
// fDécrypte: the same syntaxes, undoing fCrypte.
bool fDecrypte(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
               const char* pszMotDePasse);
bool fDecrypte(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
               const char* pszMotDePasse, int32_t nMethode);
bool fDecrypte(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
               const char* pszMotDePasse, int32_t nMethode, int32_t nEncodage);

// ---- File compaction -------------------------------------------------------------

// fCompacte(source, destination): 0, or the engine's failure code, raised as
// user error 80299 + code.
int32_t fCompacte(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination);
// fDécompacte(archive [, destination [, option]]): 0 or the failure code
// (no user error). Without a destination (or with an empty one) the archive
// says where its file goes. The option JaugeCompactage (1) asks for the
// progress steps, which the shorter syntaxes always report.
int32_t fDecompacte(CZNLibrary& lib, const STManipAUB* pstArchive);
int32_t fDecompacte(CZNLibrary& lib, const STManipAUB* pstArchive, const STManipAUB* pstDestination);
int32_t fDecompacte(CZNLibrary& lib, const STManipAUB* pstArchive, const STManipAUB* pstDestination,
                    int32_t nOption);
// fTailleCompacté(archive): the archive's entry with its container; -1 when
// the file cannot be opened, -2 when it is no archive. Sizes beyond the
// integer's range read as its largest value.
int32_t fTailleCompacte(CZNLibrary& lib, const STManipAUB* pstArchive);
// fTailleDécompacté(archive): the uncompressed size recorded; -1, -2 as above.
int32_t fTailleDecompacte(CZNLibrary& lib, const STManipAUB* pstArchive);
// fStopCompacte(): the running compaction or decompaction stops (code 6).
void fStopCompacte(CZNLibrary& lib);

}  // namespace codec
