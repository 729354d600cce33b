// CZNDSTRBase: dynamic texts, ANSI or Unicode, built, searched, cut and
// compared; the code-page conversions are in zndstr_conversion.cpp.
#include "core/zndstr.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/charset.h"
#include "platform/chartab.h"
#include "core/zndstr_memoire.h"

using namespace zndstr_memoire;

// --- CZNDSTRBase: construction and assignment ------------------------------------

CZNDSTRBase::CZNDSTRBase(const char* pszTexte) { nAssignInit(pszTexte, -1); }

CZNDSTRBase::CZNDSTRBase(const void* pTexte, int nLongueur) { nAssignInit(pTexte, nLongueur); }

CZNDSTRBase::CZNDSTRBase(const CZNDSTRBase& clAutre) : m_pMemoire(clAutre.m_pMemoire) {
    if (m_pMemoire) ++STRMEM_Header(m_pMemoire)->nRef;
}

void CZNDSTRBase::Vide() { _Libere(m_pMemoire); }

int CZNDSTRBase::nAssign(const void* pTexte, int nLongueur) {
    return _nAssign(m_pMemoire, pTexte, _nLongueurTexte(pTexte, nLongueur), SMK_ANSI);
}

int CZNDSTRBase::nAssignInit(const void* pTexte, int nLongueur) { return nAssign(pTexte, nLongueur); }

int CZNDSTRBase::nAssignI4(int32_t nValeur) {
    char sz[16];
    int n = std::snprintf(sz, sizeof sz, "%d", nValeur);
    return nAssign(sz, n);
}

int CZNDSTRBase::nAssignMultiple(int nNombre, ...) {
    void* p = nullptr;
    va_list args;
    va_start(args, nNombre);
    int nRes = _nConcatListe(p, nNombre, args);
    va_end(args);
    if (nRes != SMR_OK) {
        _Libere(p);
        return nRes;
    }
    _Libere(m_pMemoire);
    m_pMemoire = p;
    return SMR_OK;
}

int CZNDSTRBase::nAssignUNICODE(const wchar_t* pwszTexte, int nCaracteres) {
    uint32_t n = pwszTexte == nullptr ? 0 : (nCaracteres < 0 ? uint32_t(std::wcslen(pwszTexte)) : uint32_t(nCaracteres));
    if (uint64_t(n) * sizeof(wchar_t) > STRMEM_MAXLEN) return SMR_TROPLONG;
    return _nAssign(m_pMemoire, pwszTexte, n * uint32_t(sizeof(wchar_t)), SMK_UNICODE);
}

int CZNDSTRBase::nAssignUNICODE_UTF16(const char16_t* pTexte, int nUnites) {
    if (pTexte == nullptr || nUnites == 0) {
        Vide();
        return SMR_OK;
    }
    uint32_t n = nUnites < 0 ? uint32_t(utf16len(pTexte)) : uint32_t(nUnites);
    if (n == 0) {
        Vide();
        return SMR_OK;
    }
    if (uint64_t(n) * sizeof(wchar_t) > STRMEM_MAXLEN) return SMR_TROPLONG;
    void* pNouveau;
    int nRes = STRMEM_nAlloue(&pNouveau, n * uint32_t(sizeof(wchar_t)), SMK_UNICODE);
    if (nRes != SMR_OK) return nRes;
    UTF16ToWideChar(pTexte, int(n), static_cast<wchar_t*>(pNouveau), int(n));
    _FixeLongueur(pNouveau, n * uint32_t(sizeof(wchar_t)));
    _Libere(m_pMemoire);
    m_pMemoire = pNouveau;
    return SMR_OK;
}

void CZNDSTRBase::Assign(const CZNDSTRBase& clAutre, int nLongueur) {
    _Partage(m_pMemoire, clAutre.m_pMemoire);
    if (nLongueur >= 0) Tronque(nLongueur);
}

void CZNDSTRBase::Take(CZNDSTRBase& clAutre) {
    if (&clAutre == this) return;
    void* p = clAutre.m_pMemoire;
    clAutre.m_pMemoire = nullptr;
    _Libere(m_pMemoire);
    m_pMemoire = p;
}

// --- Concatenation ---------------------------------------------------------------

int CZNDSTRBase::nConcat(const CZNDSTRBase& clAutre) {
    if (clAutre.m_pMemoire == nullptr) return SMR_OK;
    uint32_t dwMarque = STRMEM_Header(clAutre.m_pMemoire)->dwFlags & SMK_MARK;
    if (m_pMemoire == nullptr) {
        _Partage(m_pMemoire, clAutre.m_pMemoire);
        return SMR_OK;
    }
    // Keep the source alive even when it is our own block.
    void* pSource = clAutre.m_pMemoire;
    ++STRMEM_Header(pSource)->nRef;
    int nRes = _nConcat(m_pMemoire, pSource, _nLong(pSource), SMK_ANSI);
    STRMEM_Release(pSource);
    if (nRes != SMR_OK) return nRes;
    STStrMemHeader* pst = STRMEM_Header(m_pMemoire);
    pst->dwFlags = (pst->dwFlags & ~uint32_t(SMK_MARK)) | dwMarque;
    return SMR_OK;
}

int CZNDSTRBase::nConcat(const void* pTexte, int nLongueur) {
    return _nConcat(m_pMemoire, pTexte, _nLongueurTexte(pTexte, nLongueur), SMK_ANSI);
}

int CZNDSTRBase::nConcatI4(int32_t nValeur) {
    char sz[16];
    int n = std::snprintf(sz, sizeof sz, "%d", nValeur);
    return nConcat(sz, n);
}

int CZNDSTRBase::nConcatMultiple(int nNombre, ...) {
    va_list args;
    va_start(args, nNombre);
    int nRes = _nConcatListe(m_pMemoire, nNombre, args);
    va_end(args);
    return nRes;
}

int CZNDSTRBase::nConcatSeparateur(const CZNDSTRBase& clA, const CZNDSTRBase& clB, const char* pszSeparateur) {
    CZNDSTR clResultat(clA);
    if (!clA.bEstVide() && !clB.bEstVide()) {
        int nRes = clResultat.nConcat(pszSeparateur, -1);
        if (nRes != SMR_OK) return nRes;
    }
    int nRes = clResultat.nConcat(clB);
    if (nRes != SMR_OK) return nRes;
    Take(clResultat);
    return SMR_OK;
}

int CZNDSTRBase::nConcatInit(CZNDSTRBase& clDestination, CZNDSTRBase& clA, const CZNDSTRBase& clB, int nFlags) {
    CZNDSTR clResultat;
    if (clA.bEstVide()) {
        clResultat.Assign(clB);
    } else if (clB.bEstVide()) {
        clResultat.Assign(clA);
    } else if (nFlags & 1) {
        if (clA.nGetRef() >= 2 || &clA == &clDestination)
            clResultat.Assign(clA);
        else
            clResultat.Take(clA);
        int nRes = clResultat.nConcat(clB);
        if (nRes != SMR_OK) {
            if (clA.m_pMemoire == nullptr) clA.Take(clResultat);  // give it back unchanged
            return nRes;
        }
    } else {
        uint32_t nA = _nLong(clA.m_pMemoire), nB = _nLong(clB.m_pMemoire);
        if (uint64_t(nA) + nB > STRMEM_MAXLEN) return SMR_TROPLONG;
        int nRes = STRMEM_nAlloue(&clResultat.m_pMemoire, nA + nB, SMK_ANSI);
        if (nRes != SMR_OK) return nRes;
        std::memcpy(clResultat.m_pMemoire, clA.m_pMemoire, nA);
        std::memcpy(static_cast<char*>(clResultat.m_pMemoire) + nA, clB.m_pMemoire, nB);
        _FixeLongueur(clResultat.m_pMemoire, nA + nB);
    }
    clDestination.Take(clResultat);
    return SMR_OK;
}

// --- Size ------------------------------------------------------------------------

int CZNDSTRBase::__nPrepareModification(uint32_t nTaille) { return _nPrepare(m_pMemoire, nTaille, SMK_ANSI); }

int CZNDSTRBase::nSetLength(uint32_t nTaille) {
    int nRes = _nPrepare(m_pMemoire, nTaille, SMK_ANSI);
    if (nRes == SMR_OK && m_pMemoire) _FixeLongueur(m_pMemoire, _nLong(m_pMemoire));
    return nRes;
}

int CZNDSTRBase::SetUtilLength(uint32_t nLongueur, bool bGarde) {
    return _nSetUtil(m_pMemoire, nLongueur, bGarde, SMK_ANSI);
}

void CZNDSTRBase::Tronque(int nLongueur) { _Tronque(m_pMemoire, nLongueur, SMK_ANSI); }

// --- Text operations -------------------------------------------------------------

void CZNDSTRBase::Trim() {
    const char* p = pszGet();
    int n = nGetLongueur();
    while (n > 0 && _bBlanc(p[n - 1])) --n;
    Tronque(n);
}

void CZNDSTRBase::Trim(char cCaractere) {
    const char* p = pszGet();
    int n = nGetLongueur(), nDebut = 0;
    while (n > 0 && p[n - 1] == cCaractere) --n;
    while (nDebut < n && p[nDebut] == cCaractere) ++nDebut;
    if (nDebut == 0) {
        Tronque(n);
        return;
    }
    nAssign(p + nDebut, n - nDebut);
    if (n == nDebut) Vide();
}

void CZNDSTRBase::TrimUNICODE(wchar_t cCaractere) {
    const wchar_t* p = pwszGet();
    int n = nGetLongueurUNICODE(), nDebut = 0;
    while (n > 0 && p[n - 1] == cCaractere) --n;
    while (nDebut < n && p[nDebut] == cCaractere) ++nDebut;
    if (n == nDebut) {
        Vide();
        return;
    }
    if (nDebut == 0) {
        Tronque(n * int(sizeof(wchar_t)));
        return;
    }
    nAssignUNICODE(p + nDebut, n - nDebut);
}

void CZNDSTRBase::SansEspace() {
    Trim();
    const char* p = pszGet();
    int n = nGetLongueur(), nDebut = 0;
    while (nDebut < n && _bBlanc(p[nDebut])) ++nDebut;
    if (nDebut == 0) return;
    if (nDebut == n) {
        Vide();
        return;
    }
    uint32_t dwKind = STRMEM_Header(m_pMemoire)->dwFlags & SMK_KINDS;
    _nAssign(m_pMemoire, p + nDebut, uint32_t(n - nDebut), dwKind ? dwKind : uint32_t(SMK_ANSI));
}

int CZNDSTRBase::nComplete(int nLongueur, char cCaractere) {
    int n = nGetLongueur();
    if (nLongueur <= n) return SMR_OK;
    return nComplete(n, nLongueur - n, cCaractere);
}

int CZNDSTRBase::nComplete(int nDebut, int nLongueur, char cCaractere) {
    if (nDebut < 0 || nLongueur <= 0) return SMR_OK;
    uint64_t nFin = uint64_t(nDebut) + uint64_t(nLongueur);
    if (nFin > STRMEM_MAXLEN) return SMR_TROPLONG;
    uint32_t nAncienne = _nLong(m_pMemoire);
    uint32_t nNouvelle = std::max<uint32_t>(nAncienne, uint32_t(nFin));
    int nRes = _nPrepare(m_pMemoire, nNouvelle, SMK_ANSI);
    if (nRes != SMR_OK) return nRes;
    char* p = static_cast<char*>(m_pMemoire);
    if (uint32_t(nDebut) > nAncienne) std::memset(p + nAncienne, cCaractere, size_t(nDebut) - nAncienne);
    std::memset(p + nDebut, cCaractere, size_t(nLongueur));
    _FixeLongueur(m_pMemoire, nNouvelle);
    return SMR_OK;
}

int CZNDSTRBase::nCompleteUNICODE(int nLongueur, wchar_t cCaractere) {
    int n = nGetLongueurUNICODE();
    if (nLongueur <= n) return SMR_OK;
    if (uint64_t(nLongueur) * sizeof(wchar_t) > STRMEM_MAXLEN) return SMR_TROPLONG;
    int nRes = _nPrepare(m_pMemoire, uint32_t(nLongueur) * sizeof(wchar_t), SMK_UNICODE);
    if (nRes != SMR_OK) return nRes;
    wchar_t* p = static_cast<wchar_t*>(m_pMemoire);
    for (int i = n; i < nLongueur; ++i) p[i] = cCaractere;
    _FixeLongueur(m_pMemoire, uint32_t(nLongueur) * sizeof(wchar_t));
    return SMR_OK;
}

void CZNDSTRBase::Renverse() {
    int n = nGetLongueur();
    if (n < 2 || _nPrepare(m_pMemoire, uint32_t(n), SMK_ANSI) != SMR_OK) return;
    std::reverse(static_cast<char*>(m_pMemoire), static_cast<char*>(m_pMemoire) + n);
}

void CZNDSTRBase::RenverseUNICODE() {
    int n = nGetLongueurUNICODE();
    if (n < 2 || _nPrepare(m_pMemoire, _nLong(m_pMemoire), SMK_UNICODE) != SMR_OK) return;
    std::reverse(static_cast<wchar_t*>(m_pMemoire), static_cast<wchar_t*>(m_pMemoire) + n);
}

int CZNDSTRBase::MapString(uint32_t dwFlags, int bMajuscule) {
    int n = nGetLongueur();
    if (n == 0) return SMR_OK;
    void* pNouveau;
    int nRes = STRMEM_nAlloue(&pNouveau, uint32_t(n) + 1, STRMEM_Header(m_pMemoire)->dwFlags);
    if (nRes != SMR_OK) return nRes;
    int nEcrits = STR_nMapStringEx(dwFlags, static_cast<char*>(pNouveau), n + 1, pszGet(), n, bMajuscule);
    _FixeLongueur(pNouveau, uint32_t(std::clamp(nEcrits, 0, n)));
    _Libere(m_pMemoire);
    m_pMemoire = pNouveau;
    return SMR_OK;
}

int CZNDSTRBase::Remplace(const char* pszAncien, const char* pszNouveau) {
    if (pszAncien == nullptr || *pszAncien == 0 || m_pMemoire == nullptr) return SMR_OK;
    std::string_view sv(pszGet(), size_t(nGetLongueur()));
    std::string_view svAncien(pszAncien);
    size_t nNouveau = pszNouveau ? std::strlen(pszNouveau) : 0;
    size_t nPos = sv.find(svAncien);
    if (nPos == std::string_view::npos) return SMR_OK;
    void* pResultat = nullptr;
    size_t nDebut = 0;
    int nRes = SMR_OK;
    while (nPos != std::string_view::npos && nRes == SMR_OK) {
        nRes = _nConcat(pResultat, sv.data() + nDebut, uint32_t(nPos - nDebut), SMK_ANSI);
        if (nRes == SMR_OK) nRes = _nConcat(pResultat, pszNouveau, uint32_t(nNouveau), SMK_ANSI);
        nDebut = nPos + svAncien.size();
        nPos = sv.find(svAncien, nDebut);
    }
    if (nRes == SMR_OK) nRes = _nConcat(pResultat, sv.data() + nDebut, uint32_t(sv.size() - nDebut), SMK_ANSI);
    if (nRes != SMR_OK) {
        _Libere(pResultat);
        return nRes;
    }
    _Libere(m_pMemoire);
    m_pMemoire = pResultat;
    return SMR_OK;
}

int CZNDSTRBase::RemplaceUNICODE(const wchar_t* pszAncien, const wchar_t* pszNouveau) {
    if (pszAncien == nullptr || *pszAncien == 0 || m_pMemoire == nullptr) return SMR_OK;
    std::wstring_view sv(pwszGet(), size_t(nGetLongueurUNICODE()));
    std::wstring_view svAncien(pszAncien);
    size_t nNouveau = pszNouveau ? std::wcslen(pszNouveau) : 0;
    size_t nPos = sv.find(svAncien);
    if (nPos == std::wstring_view::npos) return SMR_OK;
    void* pResultat = nullptr;
    size_t nDebut = 0;
    int nRes = SMR_OK;
    const uint32_t W = sizeof(wchar_t);
    while (nPos != std::wstring_view::npos && nRes == SMR_OK) {
        nRes = _nConcat(pResultat, sv.data() + nDebut, uint32_t(nPos - nDebut) * W, SMK_UNICODE);
        if (nRes == SMR_OK) nRes = _nConcat(pResultat, pszNouveau, uint32_t(nNouveau) * W, SMK_UNICODE);
        nDebut = nPos + svAncien.size();
        nPos = sv.find(svAncien, nDebut);
    }
    if (nRes == SMR_OK) nRes = _nConcat(pResultat, sv.data() + nDebut, uint32_t(sv.size() - nDebut) * W, SMK_UNICODE);
    if (nRes != SMR_OK) {
        _Libere(pResultat);
        return nRes;
    }
    _Libere(m_pMemoire);
    m_pMemoire = pResultat;
    return SMR_OK;
}

int CZNDSTRBase::__CalculeTaillePrintf(const char* pszFormat, va_list args) {
    va_list copie;
    va_copy(copie, args);
    int n = std::vsnprintf(nullptr, 0, pszFormat, copie);
    va_end(copie);
    return n;
}

int CZNDSTRBase::nVAddPrintf(const char* pszFormat, va_list args) {
    if (pszFormat == nullptr) return SMR_OK;
    int n = __CalculeTaillePrintf(pszFormat, args);
    if (n <= 0) return SMR_OK;
    // Formatted into a block of its own: the arguments may point into ours.
    void* pTexte;
    int nRes = STRMEM_nAlloue(&pTexte, uint32_t(n) + 1, SMK_ANSI);
    if (nRes != SMR_OK) return nRes;
    va_list copie;
    va_copy(copie, args);
    std::vsnprintf(static_cast<char*>(pTexte), size_t(n) + 1, pszFormat, copie);
    va_end(copie);
    _FixeLongueur(pTexte, uint32_t(n));
    if (m_pMemoire == nullptr) {
        m_pMemoire = pTexte;
        return SMR_OK;
    }
    nRes = _nConcat(m_pMemoire, pTexte, uint32_t(n), SMK_ANSI);
    STRMEM_Release(pTexte);
    return nRes;
}

int CZNDSTRBase::nVPrintf(const char* pszFormat, va_list args) {
    CZNDSTR clResultat;
    int nRes = clResultat.nVAddPrintf(pszFormat, args);
    if (nRes != SMR_OK) return nRes;
    Take(clResultat);
    return SMR_OK;
}

int CZNDSTRBase::nPrintf(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    int nRes = nVPrintf(pszFormat, args);
    va_end(args);
    return nRes;
}

int CZNDSTRBase::nAddPrintf(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    int nRes = nVAddPrintf(pszFormat, args);
    va_end(args);
    return nRes;
}

// --- Search ----------------------------------------------------------------------

int CZNDSTRBase::nNbOcc(const char* pszTexte) const {
    if (pszTexte == nullptr || *pszTexte == 0) return 0;
    std::string_view sv(pszGet(), size_t(nGetLongueur())), svT(pszTexte);
    int n = 0;
    for (size_t p = sv.find(svT); p != std::string_view::npos; p = sv.find(svT, p + svT.size())) ++n;
    return n;
}

int CZNDSTRBase::nNbOccUNICODE(const wchar_t* pszTexte) const {
    if (pszTexte == nullptr || *pszTexte == 0) return 0;
    std::wstring_view sv(pwszGet(), size_t(nGetLongueurUNICODE())), svT(pszTexte);
    int n = 0;
    for (size_t p = sv.find(svT); p != std::wstring_view::npos; p = sv.find(svT, p + svT.size())) ++n;
    return n;
}

int CZNDSTRBase::nPos(const char* pszTexte, int nDebut) const {
    if (pszTexte == nullptr || nDebut < 0 || nDebut > nGetLongueur()) return -1;
    size_t p = std::string_view(pszGet(), size_t(nGetLongueur())).find(pszTexte, size_t(nDebut));
    return p == std::string_view::npos ? -1 : int(p);
}

int CZNDSTRBase::nPos(const CZNDSTRBase& clTexte, int nDebut) const {
    if (nDebut < 0 || nDebut > nGetLongueur()) return -1;
    std::string_view svT(clTexte.pszGet(), size_t(clTexte.nGetLongueur()));
    size_t p = std::string_view(pszGet(), size_t(nGetLongueur())).find(svT, size_t(nDebut));
    return p == std::string_view::npos ? -1 : int(p);
}

int CZNDSTRBase::nPosUNICODE(const wchar_t* pszTexte, int nDebut) const {
    if (pszTexte == nullptr || nDebut < 0 || nDebut > nGetLongueurUNICODE()) return -1;
    size_t p = std::wstring_view(pwszGet(), size_t(nGetLongueurUNICODE())).find(pszTexte, size_t(nDebut));
    return p == std::wstring_view::npos ? -1 : int(p);
}

int CZNDSTRBase::nPosFin(const char* pszTexte) const {
    if (pszTexte == nullptr) return -1;
    size_t p = std::string_view(pszGet(), size_t(nGetLongueur())).rfind(pszTexte);
    return p == std::string_view::npos ? -1 : int(p);
}

int CZNDSTRBase::nPosFinUNICODE(const wchar_t* pszTexte) const {
    if (pszTexte == nullptr) return -1;
    size_t p = std::wstring_view(pwszGet(), size_t(nGetLongueurUNICODE())).rfind(pszTexte);
    return p == std::wstring_view::npos ? -1 : int(p);
}

int CZNDSTRBase::nPosParmi(const char* pszCaracteres, int nDebut) const {
    if (pszCaracteres == nullptr || nDebut < 0 || nDebut > nGetLongueur()) return -1;
    size_t p = std::string_view(pszGet(), size_t(nGetLongueur())).find_first_of(pszCaracteres, size_t(nDebut));
    return p == std::string_view::npos ? -1 : int(p);
}

int CZNDSTRBase::nMilieu(CZNDSTRBase& clDestination, int nDebut, int nLongueur) const {
    int n = nGetLongueur();
    if (nDebut < 0) nDebut = 0;
    if (nDebut >= n || nLongueur == 0) {
        clDestination.Vide();
        return SMR_OK;
    }
    int nReste = n - nDebut;
    if (nLongueur < 0 || nLongueur > nReste) nLongueur = nReste;
    if (nDebut == 0 && nLongueur == n) {
        clDestination.Assign(*this);
        return SMR_OK;
    }
    CZNDSTR clResultat;
    int nRes = clResultat.nAssign(pszGet() + nDebut, nLongueur);
    if (nRes != SMR_OK) return nRes;
    s_VerifieTypeAUB(clResultat.m_pMemoire, nGetTypeAUB());
    clDestination.Take(clResultat);
    return SMR_OK;
}

int CZNDSTRBase::nMilieuUNICODE(CZNDSTRBase& clDestination, int nDebut, int nLongueur) const {
    int n = nGetLongueurUNICODE();
    if (nDebut < 0) nDebut = 0;
    if (nDebut >= n || nLongueur == 0) {
        clDestination.Vide();
        return SMR_OK;
    }
    int nReste = n - nDebut;
    if (nLongueur < 0 || nLongueur > nReste) nLongueur = nReste;
    CZNDSTR clResultat;
    int nRes = clResultat.nAssignUNICODE(pwszGet() + nDebut, nLongueur);
    if (nRes != SMR_OK) return nRes;
    clDestination.Take(clResultat);
    return SMR_OK;
}

CZNDSTR CZNDSTRBase::clMilieu(int nDebut, int nLongueur) const {
    CZNDSTR cl;
    nMilieu(cl, nDebut, nLongueur);
    return cl;
}

CZNDSTR CZNDSTRBase::clMilieuUNICODE(int nDebut, int nLongueur) const {
    CZNDSTR cl;
    nMilieuUNICODE(cl, nDebut, nLongueur);
    return cl;
}

bool CZNDSTRBase::bExtraitChainePosUNICODE(int* pnPos, const wchar_t* pszSeparateur,
                                           CZNDSTRBase& clDestination) const {
    int n = nGetLongueurUNICODE();
    if (pnPos == nullptr || *pnPos < 0 || *pnPos > n) {
        clDestination.Vide();
        return false;
    }
    int nDebut = *pnPos;
    size_t nSep = pszSeparateur ? std::wcslen(pszSeparateur) : 0;
    int nFin = nSep ? nPosUNICODE(pszSeparateur, nDebut) : -1;
    if (nFin < 0) {
        nFin = n;
        *pnPos = n + 1;
    } else {
        *pnPos = nFin + int(nSep);
    }
    if (nMilieuUNICODE(clDestination, nDebut, nFin - nDebut) != SMR_OK) return false;
    return true;
}

bool CZNDSTRBase::bExtraitChaineUNICODE(int nRang, const wchar_t* pszSeparateur,
                                        CZNDSTRBase& clDestination) const {
    if (nRang < 1) {
        clDestination.Vide();
        return false;
    }
    int nPosition = 0;
    for (int i = 1; i < nRang; ++i) {
        CZNDSTR clIgnore;
        if (!bExtraitChainePosUNICODE(&nPosition, pszSeparateur, clIgnore)) {
            clDestination.Vide();
            return false;
        }
    }
    return bExtraitChainePosUNICODE(&nPosition, pszSeparateur, clDestination);
}

bool CZNDSTRBase::bCommencePar(const void* pTexte, int nLongueur) const {
    uint32_t n = _nLongueurTexte(pTexte, nLongueur);
    if (n > uint32_t(nGetLongueur())) return false;
    return n == 0 || std::memcmp(pszGet(), pTexte, n) == 0;
}

// --- Comparison ------------------------------------------------------------------

int CZNDSTRBase::nCompareTo(const char* pszTexte) const {
    return _nCompareOctets(pszGet(), _nLong(m_pMemoire), pszTexte ? pszTexte : "",
                           pszTexte ? uint32_t(std::strlen(pszTexte)) : 0);
}

int CZNDSTRBase::nCompare(const CZNDSTRBase& clA, const CZNDSTRBase& clB) {
    return _nCompareOctets(clA.pszGet(), _nLong(clA.m_pMemoire), clB.pszGet(), _nLong(clB.m_pMemoire));
}

int CZNDSTRBase::nCompare(const CZNDSTRBase& clA, const CZNDSTRBase& clB, uint32_t nMax) {
    return _nCompareOctets(clA.pszGet(), std::min(nMax, _nLong(clA.m_pMemoire)), clB.pszGet(),
                           std::min(nMax, _nLong(clB.m_pMemoire)));
}

int CZNDSTRBase::nCompareToUNICODE(const wchar_t* pszTexte) const {
    std::wstring_view a(pwszGet(), size_t(nGetLongueurUNICODE())), b(pszTexte ? pszTexte : L"");
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return uint32_t(a[i]) < uint32_t(b[i]) ? -1 : 1;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int CZNDSTRBase::__s_nCompareSouple(const CZNDSTRBase& clA, const CZNDSTRBase& clB, int nOption) {
    int nA = clA.nGetLongueur(), nB = clB.nGetLongueur();
    if (nOption == 1 && nA > nB) nA = nB;
    return STR_CompareStringEx(MAP_CASSE | MAP_ACCENT, clA.pszGet(), nA, clB.pszGet(), nB) - 2;
}

int CZNDSTRBase::__s_nCompareTresSouple(const CZNDSTRBase& clA, const CZNDSTRBase& clB, int nOption) {
    char* pszA = nullptr;
    char* pszB = nullptr;
    STR_nCreateMapString(MAP_CASSE | MAP_ACCENT | MAP_PONCTUATION, &pszA, clA.pszGet());
    STR_nCreateMapString(MAP_CASSE | MAP_ACCENT | MAP_PONCTUATION, &pszB, clB.pszGet());
    int nRes;
    if (pszA == nullptr || pszB == nullptr)
        nRes = nCompare(clA, clB);
    else if (nOption == 1)
        nRes = _nSigne(std::strncmp(pszA, pszB, std::strlen(pszB)));
    else
        nRes = _nSigne(std::strcmp(pszA, pszB));
    std::free(pszA);
    std::free(pszB);
    return nRes;
}

int CZNDSTRBase::nCompareSoupleUNICODE(const CZNDSTRBase& clA, const CZNDSTRBase& clB) {
    // Folded in the current code page, where the character tables apply.
    CZNDSTR clAnsiA, clAnsiB;
    clAnsiA.nAffecteToANSI(clA);
    clAnsiB.nAffecteToANSI(clB);
    return __s_nCompareSouple(clAnsiA, clAnsiB, 0);
}

