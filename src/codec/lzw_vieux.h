// Archives of the older compaction format, which are still decoded (never
// produced): a 21-byte header, then LZW codes.
//
// Header: the 13-byte signature "MTALVORALZCS@", the uncompressed size and
// the space the output needs, both 32-bit big-endian. Codes are packed most
// significant bit first, 9 bits wide at first and at most 14. Code 256
// clears the dictionary (9 bits, next code 257, the width grows at 512) and
// the code after it is a literal byte; codes 0 to 255 are bytes; a code equal
// to the next one is the previous string followed by its own first byte.
// Each code after the first adds an entry (previous code, first byte of this
// string); when the next code reaches the limit and the width is below 14,
// the width grows by one and the limit doubles.
#pragma once
#include <cstddef>
#include <cstdint>

#include "codec/compact_flux.h"

namespace lzw_vieux {

constexpr size_t TAILLE_SIGNATURE = 13;
constexpr size_t TAILLE_ENTETE = 21;
extern const char SIGNATURE[TAILLE_SIGNATURE + 1];

struct STEntete {
    uint32_t dwTaille = 0;   // bytes the codes decode to
    uint32_t dwPlace = 0;    // room the output needs on its disk
};

// True when the TAILLE_ENTETE bytes begin with the signature; then *pst
// holds the sizes.
bool bLitEntete(const uint8_t* pbyEntete, STEntete* pst);

// Decodes the codes that follow the header until qwTaille bytes have been
// produced (a string running past it is cut there); codes that end first
// or that name no entry yet are DONNEES. *pwCrc16, when given, receives the
// LHA CRC-16 of the output.
eCODAGE decode(ISourceCompact& clSource, IPuitsCompact& clPuits, uint64_t qwTaille, uint16_t* pwCrc16 = nullptr);

}  // namespace lzw_vieux
