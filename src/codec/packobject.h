// What the serialisation buffer needs of its pack object: the compressor
// front, which packs the buffer's coded region into the side buffer and
// unpacks it back. The buffer only ever talks to this interface, so that the
// compressors can be swapped in without the buffer or its callers changing.
#pragma once
#include <cstdint>

// Value of the size queries for a block that cannot be used.
constexpr uint32_t PACK_TAILLE_INVALIDE = 0xFFFFFFFFu;

class IPackObject {
public:
    virtual ~IPackObject() = default;

    // Region to pack, or block to unpack.
    virtual void ChangeSource(uint8_t* pbySource, uint32_t dwTaille) = 0;
    // Where the result goes, and how much room there is.
    virtual void ChangeDestination(uint8_t* pbyDestination, uint32_t dwCapacite) = 0;

    // Packs the source into the destination: the bytes produced, 0 on failure.
    virtual uint32_t dwCompression() = 0;
    // Unpacks the source block with compressor type byType: the bytes
    // produced, 0 when the block is unusable.
    virtual uint32_t dwDecompression(uint8_t byType) = 0;

    // Whole length of the block at the source (PACK_TAILLE_INVALIDE if unknown).
    virtual uint32_t dwTailleEntree() = 0;
    // Unpacked length announced by the block at the source (same rule).
    virtual uint32_t dwTailleDecompression() = 0;
    // Destination room needed to pack dwTaille bytes.
    virtual uint32_t dwTailleBufferCompression(uint32_t dwTaille) = 0;
};

// Compressor type of a pack method: 0 and 1 give 4, 2 gives 5, anything else -1.
int g_eGetCompresseurType(uint32_t ePackMethod);

// Makes the pack object for compressor type nType (4 or 5); null when that
// compressor is not available in this build.
IPackObject* pclCreePackObject(int nType);
