// CZNBINBase: binary buffers that share their block until changed, with
// the same memory routines as the texts.
#include "core/zndstr.h"

#include <cstring>
#include "core/zndstr_memoire.h"

using namespace zndstr_memoire;

CZNBINBase::CZNBINBase(const void* pDonnees, int nTaille) { nAssignInit(pDonnees, nTaille); }

CZNBINBase::CZNBINBase(const CZNBINBase& clAutre) : m_pMemoire(clAutre.m_pMemoire) {
    if (m_pMemoire) ++STRMEM_Header(m_pMemoire)->nRef;
}

void CZNBINBase::Vide() { _Libere(m_pMemoire); }

void CZNBINBase::Assign(const CZNBINBase& clAutre) { _Partage(m_pMemoire, clAutre.m_pMemoire); }

void CZNBINBase::Take(CZNBINBase& clAutre) {
    if (&clAutre == this) return;
    void* p = clAutre.m_pMemoire;
    clAutre.m_pMemoire = nullptr;
    _Libere(m_pMemoire);
    m_pMemoire = p;
}

int CZNBINBase::nAssign(const void* pDonnees, int nTaille) {
    if (nTaille < 0) nTaille = 0;
    return _nAssign(m_pMemoire, pDonnees, uint32_t(nTaille), SMK_BINARY);
}

int CZNBINBase::nAssignInit(const void* pDonnees, int nTaille) { return nAssign(pDonnees, nTaille); }

int CZNBINBase::nRecupereInit(CZNDSTR* pclTexte) {
    if (pclTexte == nullptr) return SMR_OK;
    _Libere(m_pMemoire);
    m_pMemoire = pclTexte->m_pMemoire;
    pclTexte->m_pMemoire = nullptr;
    if (m_pMemoire && STRMEM_Header(m_pMemoire)->nRef < 2) s_VerifieTypeAUB(m_pMemoire, 28);
    return SMR_OK;
}

int CZNBINBase::nConcat(const CZNBINBase& clAutre) {
    if (clAutre.m_pMemoire == nullptr) return SMR_OK;
    if (m_pMemoire == nullptr) {
        _Partage(m_pMemoire, clAutre.m_pMemoire);
        return SMR_OK;
    }
    void* pSource = clAutre.m_pMemoire;
    ++STRMEM_Header(pSource)->nRef;
    int nRes = _nConcat(m_pMemoire, pSource, _nLong(pSource), SMK_BINARY);
    STRMEM_Release(pSource);
    return nRes;
}

int CZNBINBase::nConcat(const void* pDonnees, int nTaille) {
    if (nTaille <= 0) return SMR_OK;
    return _nConcat(m_pMemoire, pDonnees, uint32_t(nTaille), SMK_BINARY);
}

int CZNBINBase::nConcatInit(CZNBINBase& clDestination, CZNBINBase& clA, const CZNBINBase& clB, int nFlags) {
    CZNBIN clResultat;
    if (clA.bEstVide()) {
        clResultat.Assign(clB);
    } else if (clB.bEstVide()) {
        clResultat.Assign(clA);
    } else {
        if ((nFlags & 1) && clA.nGetRef() < 2 && &clA != &clDestination)
            clResultat.Take(clA);
        else if (nFlags & 1)
            clResultat.Assign(clA);
        else if (int nRes = clResultat.nAssign(clA.pGet(), clA.nGetTaille()); nRes != SMR_OK)
            return nRes;
        int nRes = clResultat.nConcat(clB);
        if (nRes != SMR_OK) {
            if (clA.m_pMemoire == nullptr) clA.Take(clResultat);
            return nRes;
        }
    }
    clDestination.Take(clResultat);
    return SMR_OK;
}

int CZNBINBase::nConcatSeparateur(const CZNBINBase& clA, const CZNBINBase& clB, const void* pSeparateur,
                                  int nTaille) {
    CZNBIN clResultat(clA);
    if (!clA.bEstVide() && !clB.bEstVide()) {
        int nRes = clResultat.nConcat(pSeparateur, nTaille);
        if (nRes != SMR_OK) return nRes;
    }
    int nRes = clResultat.nConcat(clB);
    if (nRes != SMR_OK) return nRes;
    Take(clResultat);
    return SMR_OK;
}

int CZNBINBase::nCompare(const CZNBINBase& clA, const CZNBINBase& clB) {
    return _nCompareOctets(clA.pGet(), _nLong(clA.m_pMemoire), clB.pGet(), _nLong(clB.m_pMemoire));
}

int CZNBINBase::nCompare(const CZNBINBase& clA, const CZNBINBase& clB, uint32_t nMax) {
    return _nCompareOctets(clA.pGet(), std::min(nMax, _nLong(clA.m_pMemoire)), clB.pGet(),
                           std::min(nMax, _nLong(clB.m_pMemoire)));
}

int CZNBINBase::__s_nCompareSouple(const CZNBINBase& clA, const CZNBINBase& clB, int nOption) {
    CZNDSTRBase a, b;
    a.m_pMemoire = clA.m_pMemoire;
    b.m_pMemoire = clB.m_pMemoire;
    return CZNDSTRBase::__s_nCompareSouple(a, b, nOption);
}

int CZNBINBase::__s_nCompareTresSouple(const CZNBINBase& clA, const CZNBINBase& clB, int nOption) {
    CZNDSTRBase a, b;
    a.m_pMemoire = clA.m_pMemoire;
    b.m_pMemoire = clB.m_pMemoire;
    return CZNDSTRBase::__s_nCompareTresSouple(a, b, nOption);
}

bool CZNBINBase::bCommencePar(const void* pDonnees, int nTaille) const {
    if (nTaille <= 0) return true;
    if (nTaille > nGetTaille() || pDonnees == nullptr) return false;
    return std::memcmp(m_pMemoire, pDonnees, size_t(nTaille)) == 0;
}

int CZNBINBase::nMilieu(CZNBINBase& clDestination, int nDebut, int nTaille) const {
    int n = nGetTaille();
    if (nDebut < 0) nDebut = 0;
    if (nDebut >= n || nTaille == 0) {
        clDestination.Vide();
        return SMR_OK;
    }
    if (nTaille < 0 || nTaille > n - nDebut) nTaille = n - nDebut;
    CZNBIN clResultat;
    int nRes = clResultat.nAssign(pGet() + nDebut, nTaille);
    if (nRes != SMR_OK) return nRes;
    clDestination.Take(clResultat);
    return SMR_OK;
}

CZNBIN CZNBINBase::clMilieu(int nDebut, int nTaille) const {
    CZNBIN cl;
    nMilieu(cl, nDebut, nTaille);
    return cl;
}

int CZNBINBase::nPos(const void* pDonnees, int nTaille, int nDebut) const {
    int n = nGetTaille();
    if (pDonnees == nullptr || nTaille < 0 || nDebut < 0 || nDebut > n) return -1;
    std::string_view sv(reinterpret_cast<const char*>(pGet()), size_t(n));
    size_t p = sv.find(std::string_view(static_cast<const char*>(pDonnees), size_t(nTaille)), size_t(nDebut));
    return p == std::string_view::npos ? -1 : int(p);
}

int CZNBINBase::__nPrepareModification(uint32_t nTaille) { return _nPrepare(m_pMemoire, nTaille, SMK_BINARY); }

int CZNBINBase::nSetMemorySize(uint32_t nTaille) { return _nPrepare(m_pMemoire, nTaille, SMK_BINARY); }

int CZNBINBase::nSetSize(uint32_t nTaille) { return _nSetUtil(m_pMemoire, nTaille, true, SMK_BINARY); }

int CZNBINBase::SetUtilSize(uint32_t nTaille, bool bGarde) {
    return _nSetUtil(m_pMemoire, nTaille, bGarde, SMK_BINARY);
}

void CZNBINBase::Tronque(int nTaille) { _Tronque(m_pMemoire, nTaille, SMK_BINARY); }

