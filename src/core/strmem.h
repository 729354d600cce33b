// String memory: the component's allocator of dynamic-string blocks, its
// cache of free blocks, the per-thread recycler chosen from what the host
// tells us, and the module hooks of the library entry points.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "qvstd/strmem.h"

// Results of the allocation operations.
enum eStrMemResult : int {
    SMR_OK = 0,
    SMR_MEMOIRE = 100,    // out of memory
    SMR_TYPE = 105,       // not applicable to the type
    SMR_TROPLONG = 108,   // longer than STRMEM_MAXLEN
};

constexpr uint32_t STRMEM_PETIT = 104;     // capacity of short strings
constexpr uint32_t STRMEM_MOYEN = 1000;    // capacity of medium strings
constexpr int STRMEM_MAXCACHE = 20;        // free blocks kept per capacity
constexpr size_t STRMEM_ENTETE = sizeof(STStrMemHeader);

// Capacity given to a block that must hold nTaille bytes and currently has
// nCapacite (0 for a new block): the two fixed classes up to 1000 bytes,
// the growth rule above. Returns 0 when nTaille exceeds STRMEM_MAXLEN.
uint32_t STRMEM_nGetCapacite(uint32_t nTaille, uint32_t nCapacite);
// Growth rule alone.
uint32_t STRMEM_nGetTailleCroissance(uint32_t nTaille, uint32_t nCapacite);

// Two free lists (capacity 104 and 1000) of at most 20 blocks each. A free
// block is linked through the first word of its characters. Used by the
// allocator for itself and, when several threads run, as the per-thread
// recycler the host keeps in thread-local storage. A bare cache owns no
// block: its allocation operations fail and its release operations free.
class CStrMemCache : public IStrMemAlloc {
public:
    CStrMemCache() = default;
    CStrMemCache(const CStrMemCache&) = delete;
    CStrMemCache& operator=(const CStrMemCache&) = delete;

    void* vpRecupere(uint32_t nCapacite) override;
    bool vbAjoute(void* pMemoire) override;
    void vSupprimeTout() override;
    ~CStrMemCache() override;
    int vnGetVersion() override { return 0; }
    int vnAllocStrMem(void** ppMemoire, uint32_t nTaille) override;
    int vnReallocStrMem(void** ppMemoire, uint32_t nTaille) override;
    void vReleaseStrMem(void* pMemoire) override;
    void vFreeCacheStrMem(void* pMemoire) override;

    int nGetNbLibre(uint32_t nCapacite) const;

protected:
    void _SupprimeTout();

    void* m_pPetits = nullptr;
    void* m_pMoyens = nullptr;
    int m_nPetits = 0;
    int m_nMoyens = 0;
};

// The allocator: blocks from malloc, recycled through a cache chosen per
// call (its own lists, or the calling thread's recycler when the host says
// several threads run; none at all before the host gives its multi-thread
// flag).
class CStrMemAlloc : public CStrMemCache {
public:
    explicit CStrMemAlloc(const char* pszNom = "QVSTD");
    ~CStrMemAlloc() override;

    int vnGetVersion() override { return 1; }
    int vnAllocStrMem(void** ppMemoire, uint32_t nTaille) override;
    int vnReallocStrMem(void** ppMemoire, uint32_t nTaille) override;
    void vReleaseStrMem(void* pMemoire) override;
    void vFreeCacheStrMem(void* pMemoire) override;

    const char* pszGetNom() const { return m_szNom; }

    // Process-wide state.
    static std::atomic<IStrMemAlloc*> ms_pclAllocateur;   // current allocator
    static CStrMemAlloc* ms_pclInterne;           // ours, alive until Term
    static bool ms_bAllocateurExterne;
    static const int* ms_pnMultiThread;          // host's flag, 2006
    static uintptr_t ms_nCleTLS;                  // host's TLS key, 2005
    static bool ms_bTLS;

    // Current allocator; creates the internal one when nothing is in place
    // yet (code that runs before the library is initialised).
    static IStrMemAlloc* s_pclGetAllocateur();
    // Recycler for this call: null without the host's multi-thread flag.
    IStrMemAlloc* _pclGetRecycleur();

private:
    char m_szNom[16];
};

// Block operations on a characters pointer.
void s_ReleaseStrMem(void* pMemoire);
int s_nGetTypeAUB(const void* pMemoire);              // 19, 16 or 28
void s_VerifieTypeAUB(void* pMemoire, int nTypeCode);  // 16, 19, 28; others ignored
// New block of at least nTaille bytes from the current allocator, kind
// dwKind, length 0; 0 or an error code.
int STRMEM_nAlloue(void** ppMemoire, uint32_t nTaille, uint32_t dwKind);

// Module hooks of the library entry points.
bool STRMEM_bInitModule();
void STRMEM_TermModule();
int STRMEM_nGeneralParam(int nCode, intptr_t nValue);
