// What the serialisation buffer needs of its pack object: the compressor
// front, which packs the buffer's coded region into the side buffer and
// unpacks it back. The buffer only ever talks to this interface, so that the
// compressors can be swapped in without the buffer or its callers changing.
#pragma once
#include <cstdint>

// Value of the size queries for a block that cannot be used.
constexpr uint32_t PACK_TAILLE_INVALIDE = 0xFFFFFFFFu;

// Why a block is refused, or why the last packing or unpacking gave nothing.
enum ePACK_ECHEC : int32_t {
    PACK_OK = 0,
    PACK_ECHEC_METHODE = 1,     // no coder for the block's method (or the requested type)
    PACK_ECHEC_ENDOMMAGE = 2,   // cut, or codes that do not decode to the size announced
    PACK_ECHEC_TAILLE = 3,      // announces more than its bytes could ever produce
    PACK_ECHEC_MEMOIRE = 4,     // an allocation failed
    PACK_ECHEC_PLACE = 5,       // the destination is smaller than the result
};

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
    // Why the last dwCompression or dwDecompression gave 0.
    virtual ePACK_ECHEC eGetEchec() const = 0;

    // Checks the block at the source before anything is allocated for it:
    // its header and length lie inside the source, and the size it announces
    // is one its bytes can produce.
    virtual ePACK_ECHEC eVerifieBloc() = 0;
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
// compressor is not available in this build. May throw std::bad_alloc.
IPackObject* pclCreePackObject(int nType);
