// Compressed strings: the layouts that Compresse produces and Decompresse
// reads, shared with the encryption functions (which pass the compression
// method of their combined method value).
//
//   text, method 0 or 1:  u8 1, u32 method, then from offset 5: u32 length
//                         and the bytes (one compressor block for method 1)
//   buffer, method 0-2:   u8 0, u32 method, then from offset 5: u32 length
//                         and the bytes (block of type 4 for method 1, the
//                         text coder's form for method 2)
//   text, method 2:       no header: the text coder's form of u32 length and
//                         the bytes
#pragma once
#include <cstdint>

#include "core/zndstr.h"

class CXError;

// Compression methods of the combined method value.
constexpr uint32_t COMPRESSION_AUCUNE = 0;
constexpr uint32_t COMPRESSION_LZW = 1;
constexpr uint32_t COMPRESSION_CHAINE_COURTE = 2;

// Why a compressed string could not be made or read.
enum eCHAINE_ECHEC : int32_t {
    CHAINE_OK = 0,
    CHAINE_ECHEC_METHODE,      // method above 2 or unreadable, unknown block method, bytes the coder cannot code
    CHAINE_ECHEC_MEMOIRE,      // memory ran out, or the result is longer than a binary string can hold
    CHAINE_ECHEC_ENDOMMAGEE,   // cut, or coded content that does not decode to what it announces
    CHAINE_ECHEC_TAILLE,       // announces a size that its coded bytes cannot produce
};

// The result is empty on failure.
eCHAINE_ECHEC g_eCompresseChaine(uint32_t dwMethode, const void* pDonnees, uint32_t dwTaille, bool bTexte,
                                 CZNBIN& clResultat);

// Reads a compressed string with its header, or, with bSansEntete, the
// header-less text-coder form. An empty input gives an empty result; the
// result is empty on failure.
eCHAINE_ECHEC g_eDecompresseChaine(const void* pDonnees, uint32_t dwTaille, bool bSansEntete, CZNBIN& clResultat);

// Fills the error object for a failure: 80041 when memory ran out; 80550
// otherwise, with the message of the compression method when the method is
// at fault and, when the data is, a message that says what is wrong with it.
void g_SignaleEchecChaine(CXError& clErreur, eCHAINE_ECHEC eEchec);
