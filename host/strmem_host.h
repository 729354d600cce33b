// The host's own string memory: a plain malloc-based allocator that makes
// the dynamic strings the host hands to the component as arguments and
// variable values. The component may keep, grow or release these blocks
// through the allocator recorded in their header, so the allocator lives as
// long as the process.
#pragma once
#include <cstdint>
#include <string>

#include "qvstd/strmem.h"

namespace qvhost {

class CHostStrMem final : public IStrMemAlloc {
public:
    void* vpRecupere(uint32_t) override { return nullptr; }   // no cache
    bool vbAjoute(void*) override { return false; }
    void vSupprimeTout() override {}
    int vnGetVersion() override { return 1; }
    int vnAllocStrMem(void** ppMemoire, uint32_t nTaille) override;
    int vnReallocStrMem(void** ppMemoire, uint32_t nTaille) override;
    void vReleaseStrMem(void* pMemoire) override;
    void vFreeCacheStrMem(void* pMemoire) override;

    // Blocks made and not yet released, for leak checks in tests.
    long nGetVivants() const { return m_nVivants; }

    static CHostStrMem& Instance();

private:
    long m_nVivants = 0;
};

// A new block of the given kind (SMK_ANSI, SMK_UNICODE, SMK_BINARY) holding
// the bytes; null for an empty value or when memory runs out.
void* pCreeChaine(const void* pOctets, size_t nTaille, uint32_t dwKind);
// Drops one reference; the owning allocator (whichever made the block)
// takes it back at zero. Null is accepted.
void LibereChaine(void* pMemoire);
// Adds one reference (a copy that shares the memory).
void RefChaine(void* pMemoire);
// The bytes of a block, bounded by its capacity; empty for null.
std::string LitChaine(const void* pMemoire);
// The length LitChaine would read, without copying.
size_t nLongueurChaine(const void* pMemoire);
uint32_t KindChaine(const void* pMemoire);

}  // namespace qvhost
