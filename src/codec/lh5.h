// The "-lh5-" method of LHA archives, both ways: LZ77 over an 8 KB sliding
// dictionary, the literals and matches of each block coded with static
// Huffman codes whose lengths the block carries (lh5_huffman.h).
//
// The coded stream is a run of blocks, most significant bit first: a 16-bit
// count of symbols, the T code lengths, the C code lengths (coded with T),
// the P code lengths, then the symbols. Nothing marks the end: the decoder
// stops when it has produced the size the archive announces. Bytes before
// the start of the output read as spaces, as every decoder of the format
// makes them.
#pragma once
#include <cstdint>

#include "codec/compact_flux.h"

namespace lh5 {

struct STBilan {
    uint64_t qwLus = 0;      // bytes taken from the source
    uint64_t qwEcrits = 0;   // bytes handed to the sink
    uint16_t wCrc16 = 0;     // LHA CRC-16 of the uncoded bytes
};

// Codes everything the source gives until its end.
eCODAGE encode(ISourceCompact& clSource, IPuitsCompact& clPuits, STBilan* pstBilan = nullptr);

// Decodes until qwTaille bytes have been produced; coded data that runs out
// first, or that holds an impossible code or table, is DONNEES. Coded bytes
// beyond what the size needs are ignored.
eCODAGE decode(ISourceCompact& clSource, IPuitsCompact& clPuits, uint64_t qwTaille, STBilan* pstBilan = nullptr);

}  // namespace lh5
