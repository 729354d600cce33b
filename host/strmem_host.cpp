#include "strmem_host.h"

#include <cstdlib>
#include <cstring>

namespace qvhost {

namespace {
constexpr size_t k_nEntete = sizeof(STStrMemHeader);

char* BlocDe(void* pMemoire) { return static_cast<char*>(pMemoire) - k_nEntete; }
}  // namespace

CHostStrMem& CHostStrMem::Instance() {
    // Never destroyed: the component may release a host block while the
    // process ends.
    static CHostStrMem* s_pclAlloc = new CHostStrMem;
    return *s_pclAlloc;
}

int CHostStrMem::vnAllocStrMem(void** ppMemoire, uint32_t nTaille) {
    if (nTaille > STRMEM_MAXLEN) return 108;
    uint32_t nCapacite = nTaille < 104 ? 104 : nTaille;
    auto* pBloc = static_cast<char*>(std::malloc(k_nEntete + nCapacite + STRMEM_TAIL));
    if (!pBloc) return 100;
    auto* pst = reinterpret_cast<STStrMemHeader*>(pBloc);
    pst->pclAllocateur = this;
    pst->dwFlags = 0;
    pst->nRef = 1;
    pst->nCapacite = nCapacite;
    pst->nLongueur = 0;
    std::memset(pBloc + k_nEntete, 0, 4);
    std::memset(pBloc + k_nEntete + nCapacite, 0, STRMEM_TAIL);
    *ppMemoire = pBloc + k_nEntete;
    ++m_nVivants;
    return 0;
}

int CHostStrMem::vnReallocStrMem(void** ppMemoire, uint32_t nTaille) {
    if (!*ppMemoire) return vnAllocStrMem(ppMemoire, nTaille);
    if (nTaille > STRMEM_MAXLEN) return 108;
    STStrMemHeader* pst = STRMEM_Header(*ppMemoire);
    if (nTaille <= pst->nCapacite) return 0;
    uint32_t nCapacite = nTaille;
    auto* pBloc = static_cast<char*>(std::realloc(BlocDe(*ppMemoire), k_nEntete + nCapacite + STRMEM_TAIL));
    if (!pBloc) return 100;   // the old block stays valid
    pst = reinterpret_cast<STStrMemHeader*>(pBloc);
    pst->nCapacite = nCapacite;
    std::memset(pBloc + k_nEntete + nCapacite, 0, STRMEM_TAIL);
    *ppMemoire = pBloc + k_nEntete;
    return 0;
}

void CHostStrMem::vReleaseStrMem(void* pMemoire) { vFreeCacheStrMem(pMemoire); }

void CHostStrMem::vFreeCacheStrMem(void* pMemoire) {
    if (!pMemoire) return;
    std::free(BlocDe(pMemoire));
    --m_nVivants;
}

void* pCreeChaine(const void* pOctets, size_t nTaille, uint32_t dwKind) {
    if (nTaille == 0) return nullptr;
    if (nTaille > STRMEM_MAXLEN) return nullptr;
    void* pMemoire = nullptr;
    if (CHostStrMem::Instance().vnAllocStrMem(&pMemoire, static_cast<uint32_t>(nTaille)) != 0) return nullptr;
    STStrMemHeader* pst = STRMEM_Header(pMemoire);
    std::memcpy(pMemoire, pOctets, nTaille);
    std::memset(static_cast<char*>(pMemoire) + nTaille, 0, STRMEM_TAIL);
    pst->nLongueur = static_cast<uint32_t>(nTaille);
    pst->dwFlags = dwKind & SMK_KINDS;
    return pMemoire;
}

void LibereChaine(void* pMemoire) {
    if (!pMemoire) return;
    STStrMemHeader* pst = STRMEM_Header(pMemoire);
    if (--pst->nRef <= 0 && pst->pclAllocateur) pst->pclAllocateur->vReleaseStrMem(pMemoire);
}

void RefChaine(void* pMemoire) {
    if (pMemoire) ++STRMEM_Header(pMemoire)->nRef;
}

size_t nLongueurChaine(const void* pMemoire) {
    if (!pMemoire) return 0;
    const STStrMemHeader* pst = STRMEM_Header(pMemoire);
    uint32_t n = pst->nLongueur;
    if (n > pst->nCapacite) n = pst->nCapacite;   // a damaged header reads no further than its block
    return n;
}

std::string LitChaine(const void* pMemoire) {
    if (!pMemoire) return {};
    return std::string(static_cast<const char*>(pMemoire), nLongueurChaine(pMemoire));
}

uint32_t KindChaine(const void* pMemoire) {
    return pMemoire ? (STRMEM_Header(pMemoire)->dwFlags & SMK_KINDS) : static_cast<uint32_t>(SMK_ANSI);
}

}  // namespace qvhost
