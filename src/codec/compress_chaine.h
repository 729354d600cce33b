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

// Compression methods of the combined method value.
constexpr uint32_t COMPRESSION_AUCUNE = 0;
constexpr uint32_t COMPRESSION_LZW = 1;
constexpr uint32_t COMPRESSION_CHAINE_COURTE = 2;

// 0, or the user error to raise: 80550 for a method above 2 or bytes the
// chosen coder cannot code, 100 when memory runs out. The result is empty
// on failure.
int g_nCompresseChaine(uint32_t dwMethode, const void* pDonnees, uint32_t dwTaille, bool bTexte, CZNBIN& clResultat);

// Reads a compressed string with its header, or, with bSansEntete, the
// header-less text-coder form. An empty input gives an empty result.
// 0, or 80550 for an unknown method or an unusable content.
int g_nDecompresseChaine(const void* pDonnees, uint32_t dwTaille, bool bSansEntete, CZNBIN& clResultat);
