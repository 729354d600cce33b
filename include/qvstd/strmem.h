// String memory: the header that precedes the characters of every dynamic
// string, and the allocator interface that owns the blocks. Shared with the
// host, which may create and release blocks itself (external allocator).
#pragma once
#include <cstdint>

class IStrMemAlloc;

struct STStrMemHeader {
    IStrMemAlloc* pclAllocateur;  // allocator that made the block
    uint32_t dwFlags;             // 1: mark; kind 2 ANSI, 4 Unicode, 8 binary
    int32_t nRef;
    uint32_t nCapacite;           // bytes available for characters
    uint32_t nLongueur;           // bytes in use
};

enum eStrMemKind : uint32_t {
    SMK_MARK = 1,
    SMK_ANSI = 2,
    SMK_UNICODE = 4,
    SMK_BINARY = 8,
    SMK_KINDS = SMK_ANSI | SMK_UNICODE | SMK_BINARY,
};

constexpr uint32_t STRMEM_TAIL = 4;                 // room for a 4-byte zero
constexpr uint32_t STRMEM_MAXLEN = 0x7FFFFEFFu;

inline STStrMemHeader* STRMEM_Header(void* pMemoire) {
    return reinterpret_cast<STStrMemHeader*>(static_cast<char*>(pMemoire) - sizeof(STStrMemHeader));
}
inline const STStrMemHeader* STRMEM_Header(const void* pMemoire) {
    return reinterpret_cast<const STStrMemHeader*>(static_cast<const char*>(pMemoire) - sizeof(STStrMemHeader));
}

// Slot order: the cache operations, then the allocator's.
class IStrMemAlloc {
public:
    virtual void* vpRecupere(uint32_t nCapacite) = 0;
    virtual bool vbAjoute(void* pMemoire) = 0;
    virtual void vSupprimeTout() = 0;
    virtual ~IStrMemAlloc() = default;
    virtual int vnGetVersion() = 0;
    // Results: 0 success, 100 out of memory, 108 too long.
    virtual int vnAllocStrMem(void** ppMemoire, uint32_t nTaille) = 0;
    virtual int vnReallocStrMem(void** ppMemoire, uint32_t nTaille) = 0;
    virtual void vReleaseStrMem(void* pMemoire) = 0;
    virtual void vFreeCacheStrMem(void* pMemoire) = 0;
};

// Drops one reference; the last one hands the block back to its owner.
inline void STRMEM_Release(void* pMemoire) {
    if (pMemoire == nullptr) return;
    STStrMemHeader* pst = STRMEM_Header(pMemoire);
    if (--pst->nRef <= 0) pst->pclAllocateur->vReleaseStrMem(pMemoire);
}

#if defined(__i386__)
static_assert(sizeof(STStrMemHeader) == 20, "string memory header");
#endif
