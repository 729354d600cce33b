#include "core/strmem.h"

#include <pthread.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

inline char* _pBase(void* pMemoire) { return static_cast<char*>(pMemoire) - STRMEM_ENTETE; }

inline void* _pSuivant(void* pMemoire) {
    void* p;
    std::memcpy(&p, pMemoire, sizeof p);
    return p;
}
inline void _SetSuivant(void* pMemoire, void* pSuivant) { std::memcpy(pMemoire, &pSuivant, sizeof pSuivant); }

inline void _EcritZero(char* p) { std::memset(p, 0, STRMEM_TAIL); }

std::mutex& _MutexModule() {
    static std::mutex s_Mutex;
    return s_Mutex;
}

}  // namespace

// --- Capacities ------------------------------------------------------------------

uint32_t STRMEM_nGetTailleCroissance(uint32_t nTaille, uint32_t nCapacite) {
    int64_t n = nTaille, c = nCapacite, d = n - c, r;
    if (d < c / 10)
        r = c + c / 5;
    else if (d < c / 5)
        r = c + c / 2;
    else if (d < c / 2)
        r = 2 * c;
    else
        r = 2 * n;
    if (r < n) r = n;  // a shrinking request never yields less than asked
    return static_cast<uint32_t>(r);
}

uint32_t STRMEM_nGetCapacite(uint32_t nTaille, uint32_t nCapacite) {
    if (nTaille > STRMEM_MAXLEN) return 0;
    if (nTaille < STRMEM_PETIT + 1) return STRMEM_PETIT;
    if (nTaille <= STRMEM_MOYEN) return STRMEM_MOYEN;
    return STRMEM_nGetTailleCroissance(nTaille, nCapacite);
}

// --- CStrMemCache ----------------------------------------------------------------

void* CStrMemCache::vpRecupere(uint32_t nCapacite) {
    void** ppListe;
    int* pnNb;
    if (nCapacite == STRMEM_PETIT) {
        ppListe = &m_pPetits;
        pnNb = &m_nPetits;
    } else if (nCapacite == STRMEM_MOYEN) {
        ppListe = &m_pMoyens;
        pnNb = &m_nMoyens;
    } else {
        return nullptr;
    }
    void* p = *ppListe;
    if (p == nullptr) return nullptr;
    *ppListe = _pSuivant(p);
    --*pnNb;
    return p;
}

bool CStrMemCache::vbAjoute(void* pMemoire) {
    if (pMemoire == nullptr) return false;
    uint32_t nCapacite = STRMEM_Header(pMemoire)->nCapacite;
    void** ppListe;
    int* pnNb;
    if (nCapacite == STRMEM_PETIT) {
        ppListe = &m_pPetits;
        pnNb = &m_nPetits;
    } else if (nCapacite == STRMEM_MOYEN) {
        ppListe = &m_pMoyens;
        pnNb = &m_nMoyens;
    } else {
        return false;
    }
    if (*pnNb >= STRMEM_MAXCACHE) return false;
    STRMEM_Header(pMemoire)->nRef = 0;
    _SetSuivant(pMemoire, *ppListe);
    *ppListe = pMemoire;
    ++*pnNb;
    return true;
}

void CStrMemCache::_SupprimeTout() {
    for (void** ppListe : {&m_pPetits, &m_pMoyens}) {
        while (*ppListe != nullptr) {
            void* p = *ppListe;
            *ppListe = _pSuivant(p);
            STRMEM_Header(p)->pclAllocateur->vFreeCacheStrMem(p);
        }
    }
    m_nPetits = m_nMoyens = 0;
}

void CStrMemCache::vSupprimeTout() { _SupprimeTout(); }

CStrMemCache::~CStrMemCache() { _SupprimeTout(); }

int CStrMemCache::nGetNbLibre(uint32_t nCapacite) const {
    if (nCapacite == STRMEM_PETIT) return m_nPetits;
    if (nCapacite == STRMEM_MOYEN) return m_nMoyens;
    return 0;
}

int CStrMemCache::vnAllocStrMem(void** ppMemoire, uint32_t) {
    if (ppMemoire) *ppMemoire = nullptr;
    return SMR_MEMOIRE;
}

int CStrMemCache::vnReallocStrMem(void**, uint32_t) { return SMR_MEMOIRE; }

void CStrMemCache::vReleaseStrMem(void* pMemoire) {
    if (pMemoire) std::free(_pBase(pMemoire));
}

void CStrMemCache::vFreeCacheStrMem(void* pMemoire) {
    if (pMemoire) std::free(_pBase(pMemoire));
}

// --- CStrMemAlloc ----------------------------------------------------------------

std::atomic<IStrMemAlloc*> CStrMemAlloc::ms_pclAllocateur{nullptr};
CStrMemAlloc* CStrMemAlloc::ms_pclInterne = nullptr;
bool CStrMemAlloc::ms_bAllocateurExterne = false;
const int* CStrMemAlloc::ms_pnMultiThread = nullptr;
uintptr_t CStrMemAlloc::ms_nCleTLS = 0;
bool CStrMemAlloc::ms_bTLS = false;

CStrMemAlloc::CStrMemAlloc(const char* pszNom) {
    std::memset(m_szNom, 0, sizeof m_szNom);
    if (pszNom) std::strncpy(m_szNom, pszNom, sizeof m_szNom - 1);
}

CStrMemAlloc::~CStrMemAlloc() {
    // Our own blocks are freed through vFreeCacheStrMem, which must still be
    // ours while we empty the lists.
    _SupprimeTout();
}

IStrMemAlloc* CStrMemAlloc::_pclGetRecycleur() {
    const int* pnFlag = ms_pnMultiThread;
    if (pnFlag == nullptr) return nullptr;
    if (__atomic_load_n(pnFlag, __ATOMIC_RELAXED) == 0) return this;
    if (!ms_bTLS) return nullptr;
    return static_cast<IStrMemAlloc*>(pthread_getspecific(static_cast<pthread_key_t>(ms_nCleTLS)));
}

int CStrMemAlloc::vnAllocStrMem(void** ppMemoire, uint32_t nTaille) {
    if (ppMemoire == nullptr) return SMR_MEMOIRE;
    uint32_t nCapacite = STRMEM_nGetCapacite(nTaille, 0);
    if (nCapacite == 0) return SMR_TROPLONG;
    IStrMemAlloc* pclRecycleur = _pclGetRecycleur();
    void* p = pclRecycleur ? pclRecycleur->vpRecupere(nCapacite) : nullptr;
    if (p == nullptr) {
        char* pBloc = static_cast<char*>(std::malloc(size_t(nCapacite) + STRMEM_ENTETE + STRMEM_TAIL));
        if (pBloc == nullptr) return SMR_MEMOIRE;
        p = pBloc + STRMEM_ENTETE;
        STRMEM_Header(p)->pclAllocateur = this;
        STRMEM_Header(p)->nCapacite = nCapacite;
    }
    STStrMemHeader* pst = STRMEM_Header(p);
    pst->dwFlags = 0;
    pst->nLongueur = 0;
    pst->nRef = 1;
    _EcritZero(static_cast<char*>(p));
    _EcritZero(static_cast<char*>(p) + pst->nCapacite);
    *ppMemoire = p;
    return SMR_OK;
}

int CStrMemAlloc::vnReallocStrMem(void** ppMemoire, uint32_t nTaille) {
    if (ppMemoire == nullptr) return SMR_MEMOIRE;
    void* pAncien = *ppMemoire;
    if (pAncien == nullptr) return vnAllocStrMem(ppMemoire, nTaille);
    STStrMemHeader* pstAncien = STRMEM_Header(pAncien);
    // A block is always reallocated by the allocator that made it.
    if (pstAncien->pclAllocateur != this) return pstAncien->pclAllocateur->vnReallocStrMem(ppMemoire, nTaille);
    if (nTaille > STRMEM_MAXLEN) return SMR_TROPLONG;
    if (nTaille <= pstAncien->nCapacite) return SMR_OK;  // never shrink under the content
    uint32_t nCapacite = STRMEM_nGetCapacite(nTaille, pstAncien->nCapacite);
    IStrMemAlloc* pclRecycleur = _pclGetRecycleur();
    void* p = pclRecycleur ? pclRecycleur->vpRecupere(nCapacite) : nullptr;
    if (p != nullptr) {
        STStrMemHeader* pst = STRMEM_Header(p);
        uint32_t nLongueur = pstAncien->nLongueur;
        if (nLongueur > pst->nCapacite) nLongueur = pst->nCapacite;
        pst->dwFlags = pstAncien->dwFlags;
        pst->nLongueur = nLongueur;
        pst->nRef = 1;
        std::memcpy(p, pAncien, nLongueur);
        _EcritZero(static_cast<char*>(p) + nLongueur);
        pstAncien->nRef = 0;
        vReleaseStrMem(pAncien);
    } else {
        char* pBloc = static_cast<char*>(
            std::realloc(_pBase(pAncien), size_t(nCapacite) + STRMEM_ENTETE + STRMEM_TAIL));
        if (pBloc == nullptr) return SMR_MEMOIRE;
        p = pBloc + STRMEM_ENTETE;
        STRMEM_Header(p)->nCapacite = nCapacite;
    }
    _EcritZero(static_cast<char*>(p) + STRMEM_Header(p)->nCapacite);
    *ppMemoire = p;
    return SMR_OK;
}

void CStrMemAlloc::vReleaseStrMem(void* pMemoire) {
    if (pMemoire == nullptr) return;
    IStrMemAlloc* pclProprietaire = STRMEM_Header(pMemoire)->pclAllocateur;
    if (pclProprietaire != this) {
        pclProprietaire->vReleaseStrMem(pMemoire);
        return;
    }
    IStrMemAlloc* pclRecycleur = _pclGetRecycleur();
    if (pclRecycleur != nullptr && pclRecycleur->vbAjoute(pMemoire)) return;
    std::free(_pBase(pMemoire));
}

void CStrMemAlloc::vFreeCacheStrMem(void* pMemoire) {
    if (pMemoire) std::free(_pBase(pMemoire));
}

IStrMemAlloc* CStrMemAlloc::s_pclGetAllocateur() {
    IStrMemAlloc* p = ms_pclAllocateur.load(std::memory_order_acquire);
    if (p != nullptr) return p;
    STRMEM_bInitModule();
    return ms_pclAllocateur.load(std::memory_order_acquire);
}

// --- Block operations ------------------------------------------------------------

void s_ReleaseStrMem(void* pMemoire) { STRMEM_Release(pMemoire); }

int s_nGetTypeAUB(const void* pMemoire) {
    if (pMemoire == nullptr) return 19;
    uint32_t dw = STRMEM_Header(pMemoire)->dwFlags;
    if (dw & SMK_UNICODE) return 16;
    if (dw & SMK_BINARY) return 28;
    return 19;
}

void s_VerifieTypeAUB(void* pMemoire, int nTypeCode) {
    if (pMemoire == nullptr) return;
    uint32_t dwKind;
    switch (nTypeCode) {
        case 16: dwKind = SMK_UNICODE; break;
        case 19: dwKind = SMK_ANSI; break;
        case 28: dwKind = SMK_BINARY; break;
        default: return;
    }
    STStrMemHeader* pst = STRMEM_Header(pMemoire);
    pst->dwFlags = (pst->dwFlags & ~uint32_t(SMK_KINDS)) | dwKind;
}

int STRMEM_nAlloue(void** ppMemoire, uint32_t nTaille, uint32_t dwKind) {
    *ppMemoire = nullptr;
    IStrMemAlloc* pcl = CStrMemAlloc::s_pclGetAllocateur();
    if (pcl == nullptr) return SMR_MEMOIRE;
    int nRes = pcl->vnAllocStrMem(ppMemoire, nTaille);
    if (nRes != SMR_OK) {
        *ppMemoire = nullptr;
        return nRes;
    }
    STRMEM_Header(*ppMemoire)->dwFlags = dwKind;
    return SMR_OK;
}

// --- Module ----------------------------------------------------------------------

bool STRMEM_bInitModule() {
    std::lock_guard<std::mutex> lock(_MutexModule());
    if (CStrMemAlloc::ms_pclInterne == nullptr) {
        CStrMemAlloc::ms_pclInterne = new (std::nothrow) CStrMemAlloc("QVSTD");
        if (CStrMemAlloc::ms_pclInterne == nullptr) return false;
    }
    if (!CStrMemAlloc::ms_bAllocateurExterne)
        CStrMemAlloc::ms_pclAllocateur.store(CStrMemAlloc::ms_pclInterne, std::memory_order_release);
    return true;
}

void STRMEM_TermModule() {
    std::lock_guard<std::mutex> lock(_MutexModule());
    CStrMemAlloc::ms_pclAllocateur.store(nullptr, std::memory_order_release);
    delete CStrMemAlloc::ms_pclInterne;
    CStrMemAlloc::ms_pclInterne = nullptr;
    CStrMemAlloc::ms_bAllocateurExterne = false;
    CStrMemAlloc::ms_pnMultiThread = nullptr;
    CStrMemAlloc::ms_nCleTLS = 0;
    CStrMemAlloc::ms_bTLS = false;
}

int STRMEM_nGeneralParam(int nCode, intptr_t nValue) {
    switch (nCode) {
        case 2005:
            CStrMemAlloc::ms_nCleTLS = static_cast<uintptr_t>(nValue);
            CStrMemAlloc::ms_bTLS = true;
            return 1;
        case 2006:
            CStrMemAlloc::ms_pnMultiThread = reinterpret_cast<const int*>(nValue);
            return 1;
        case 2008: {
            // A null allocator would make every later allocation fault.
            if (nValue == 0) return 0;
            std::lock_guard<std::mutex> lock(_MutexModule());
            // The internal allocator stays alive: blocks it made still name
            // it as their owner. Only its cache goes.
            if (!CStrMemAlloc::ms_bAllocateurExterne && CStrMemAlloc::ms_pclInterne != nullptr)
                CStrMemAlloc::ms_pclInterne->vSupprimeTout();
            CStrMemAlloc::ms_bAllocateurExterne = true;
            CStrMemAlloc::ms_pclAllocateur.store(reinterpret_cast<IStrMemAlloc*>(nValue),
                                                 std::memory_order_release);
            return 1;
        }
        default:
            return 0;
    }
}
