// CZNDSTRBase conversions between ANSI texts in a code page, Unicode texts
// and binary buffers.
#include "core/zndstr.h"

#include <cstring>
#include <cwchar>

#include "platform/charset.h"
#include "core/zndstr_memoire.h"

using namespace zndstr_memoire;

int CZNDSTRBase::nAffecteToUNICODE(const char* pszTexte, int nLongueur, uint32_t dwCodePage) {
    return _nVersWide(m_pMemoire, pszTexte, _nLongueurTexte(pszTexte, nLongueur), dwCodePage);
}

int CZNDSTRBase::nAffecteToUNICODE(const CZNDSTRBase& clSource) {
    if (clSource.nGetTypeAUB() == 16) {
        Assign(clSource);
        return SMR_OK;
    }
    return _nVersWide(m_pMemoire, clSource.pszGet(), _nLong(clSource.m_pMemoire), dwGetCurrentCodePage());
}

int CZNDSTRBase::nAffecteToUNICODE(const CZNBINBase& clSource) {
    return _nVersWide(m_pMemoire, reinterpret_cast<const char*>(clSource.pGet()), uint32_t(clSource.nGetTaille()),
                      dwGetCurrentCodePage());
}

int CZNDSTRBase::nAffecteToANSI(const wchar_t* pszTexte, int nCaracteres, uint32_t dwCodePage, char cRemplacement,
                                bool* pbRemplace) {
    uint32_t n = pszTexte == nullptr ? 0 : (nCaracteres < 0 ? uint32_t(std::wcslen(pszTexte)) : uint32_t(nCaracteres));
    return _nVersAnsi(m_pMemoire, pszTexte, n, dwCodePage, cRemplacement, pbRemplace);
}

int CZNDSTRBase::nAffecteToANSI(const CZNDSTRBase& clSource, char cRemplacement, bool* pbRemplace) {
    if (clSource.nGetTypeAUB() != 16) {
        if (pbRemplace) *pbRemplace = false;
        Assign(clSource);
        return SMR_OK;
    }
    CZNDSTR clGarde(clSource);  // the source may be this very string
    return _nVersAnsi(m_pMemoire, clGarde.pwszGet(), uint32_t(clGarde.nGetLongueurUNICODE()), dwGetCurrentCodePage(),
                      cRemplacement, pbRemplace);
}

int CZNDSTRBase::nAffecteToUNICODE_CurrentCharset(const STManipAUB* pstTexte) {
    if (pstTexte == nullptr || pstTexte->pMemoire == nullptr) {
        Vide();
        return SMR_OK;
    }
    if (pstTexte->bEstUNICODE()) {
        CZNDSTRBase clVue;
        clVue.m_pMemoire = pstTexte->pMemoire;
        Assign(clVue);
        s_VerifieTypeAUB(m_pMemoire, 16);
        return SMR_OK;
    }
    return _nVersWide(m_pMemoire, pstTexte->pszGetString(), pstTexte->nGetLongueur(), dwGetCurrentCodePage());
}

int CZNDSTRBase::nAffecteToUTF8(const CZNDSTRBase& clSource) {
    CZNDSTR clWide;
    int nRes = clWide.nAffecteToUNICODE(clSource);
    if (nRes != SMR_OK) return nRes;
    int nCar = clWide.nGetLongueurUNICODE();
    if (nCar == 0) {
        Vide();
        return SMR_OK;
    }
    int nNecessaire = WideCharToMultiByte(CP_UTF8, 0, clWide.pwszGet(), nCar, nullptr, 0, nullptr, nullptr);
    if (nNecessaire <= 0) return SMR_TYPE;
    void* pNouveau;
    nRes = STRMEM_nAlloue(&pNouveau, uint32_t(nNecessaire), SMK_ANSI);
    if (nRes != SMR_OK) return nRes;
    int n = WideCharToMultiByte(CP_UTF8, 0, clWide.pwszGet(), nCar, static_cast<char*>(pNouveau), nNecessaire,
                                nullptr, nullptr);
    _FixeLongueur(pNouveau, uint32_t(std::max(n, 0)));
    _Libere(m_pMemoire);
    m_pMemoire = pNouveau;
    return SMR_OK;
}

wchar_t* CZNDSTRBase::pszCreateWSTR() const {
    CZNDSTR clWide;
    if (clWide.nAffecteToUNICODE(*this) != SMR_OK) return nullptr;
    size_t n = size_t(clWide.nGetLongueurUNICODE());
    wchar_t* p = static_cast<wchar_t*>(std::malloc((n + 1) * sizeof(wchar_t)));
    if (p == nullptr) return nullptr;
    std::memcpy(p, clWide.pwszGet(), n * sizeof(wchar_t));
    p[n] = 0;
    return p;
}

char* CZNDSTRBase::pszCreateCSTR() const {
    CZNDSTR clAnsi;
    if (clAnsi.nAffecteToANSI(*this) != SMR_OK) return nullptr;
    size_t n = size_t(clAnsi.nGetLongueur());
    char* p = static_cast<char*>(std::malloc(n + 1));
    if (p == nullptr) return nullptr;
    std::memcpy(p, clAnsi.pszGet(), n);
    p[n] = 0;
    return p;
}

bool CZNDSTRBase::bInit() { return STRMEM_bInitModule(); }

void CZNDSTRBase::Term() { STRMEM_TermModule(); }

