#include "core/zndstr.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/charset.h"
#include "platform/chartab.h"

namespace {

inline uint32_t _nLong(const void* p) { return p ? STRMEM_Header(p)->nLongueur : 0; }

inline bool _bBlanc(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

inline int _nSigne(int n) { return n < 0 ? -1 : (n > 0 ? 1 : 0); }

// Sets the used length and the 4-byte zero after it.
void _FixeLongueur(void* p, uint32_t nLongueur) {
    STRMEM_Header(p)->nLongueur = nLongueur;
    std::memset(static_cast<char*>(p) + nLongueur, 0, STRMEM_TAIL);
}

void _Libere(void*& pMemoire) {
    void* p = pMemoire;
    pMemoire = nullptr;
    STRMEM_Release(p);
}

// Private memory able to hold nTaille bytes; the content and flags are kept.
int _nPrepare(void*& pMemoire, uint32_t nTaille, uint32_t dwKind) {
    if (nTaille > STRMEM_MAXLEN) return SMR_TROPLONG;
    if (pMemoire == nullptr) return STRMEM_nAlloue(&pMemoire, nTaille, dwKind);
    STStrMemHeader* pst = STRMEM_Header(pMemoire);
    if (pst->nRef >= 2) {
        uint32_t nLongueur = pst->nLongueur;
        void* pNouveau;
        int nRes = STRMEM_nAlloue(&pNouveau, std::max(nTaille, nLongueur), pst->dwFlags);
        if (nRes != SMR_OK) return nRes;
        std::memcpy(pNouveau, pMemoire, nLongueur);
        _FixeLongueur(pNouveau, nLongueur);
        STRMEM_Release(pMemoire);  // others still hold it
        pMemoire = pNouveau;
        return SMR_OK;
    }
    if (nTaille > pst->nCapacite) {
        void* p = pMemoire;
        int nRes = pst->pclAllocateur->vnReallocStrMem(&p, nTaille);
        if (nRes != SMR_OK) return nRes;
        pMemoire = p;
    }
    return SMR_OK;
}

int _nAssign(void*& pMemoire, const void* pSource, uint32_t nTaille, uint32_t dwKind) {
    if (pSource == nullptr || nTaille == 0) {
        _Libere(pMemoire);
        return SMR_OK;
    }
    if (nTaille > STRMEM_MAXLEN) return SMR_TROPLONG;
    if (pMemoire != nullptr && STRMEM_Header(pMemoire)->nRef < 2) {
        // A source inside our own block is never longer than our content,
        // so it survives: no growth happens then.
        if (nTaille > STRMEM_Header(pMemoire)->nCapacite) {
            void* p = pMemoire;
            int nRes = STRMEM_Header(p)->pclAllocateur->vnReallocStrMem(&p, nTaille);
            if (nRes != SMR_OK) return nRes;
            pMemoire = p;
        }
        std::memmove(pMemoire, pSource, nTaille);
        STRMEM_Header(pMemoire)->dwFlags = dwKind;
    } else {
        void* pNouveau;
        int nRes = STRMEM_nAlloue(&pNouveau, nTaille, dwKind);
        if (nRes != SMR_OK) return nRes;
        std::memcpy(pNouveau, pSource, nTaille);
        _Libere(pMemoire);
        pMemoire = pNouveau;
    }
    _FixeLongueur(pMemoire, nTaille);
    return SMR_OK;
}

int _nConcat(void*& pMemoire, const void* pSource, uint32_t nTaille, uint32_t dwKind) {
    if (pSource == nullptr || nTaille == 0) return SMR_OK;
    uint32_t nLongueur = _nLong(pMemoire);
    if (uint64_t(nLongueur) + nTaille > STRMEM_MAXLEN) return SMR_TROPLONG;
    // The source may lie in our own block, which a reallocation moves.
    const char* pc = static_cast<const char*>(pSource);
    const char* pDebut = static_cast<const char*>(pMemoire);
    bool bInterne = pDebut && pc >= pDebut && pc < pDebut + STRMEM_Header(pMemoire)->nCapacite;
    bool bPartage = pDebut && STRMEM_Header(pMemoire)->nRef >= 2;
    size_t nDecalage = bInterne ? size_t(pc - pDebut) : 0;
    int nRes = _nPrepare(pMemoire, nLongueur + nTaille, dwKind);
    if (nRes != SMR_OK) return nRes;
    // A shared block stays alive in its other holders.
    if (bInterne && !bPartage) pc = static_cast<const char*>(pMemoire) + nDecalage;
    std::memmove(static_cast<char*>(pMemoire) + nLongueur, pc, nTaille);
    _FixeLongueur(pMemoire, nLongueur + nTaille);
    return SMR_OK;
}

void _Partage(void*& pMemoire, void* pAutre) {
    if (pMemoire == pAutre) return;
    if (pAutre) ++STRMEM_Header(pAutre)->nRef;
    _Libere(pMemoire);
    pMemoire = pAutre;
}

int _nCompareOctets(const void* pA, uint32_t nA, const void* pB, uint32_t nB) {
    uint32_t n = std::min(nA, nB);
    int nRes = n ? std::memcmp(pA, pB, n) : 0;
    if (nRes != 0) return _nSigne(nRes);
    return nA < nB ? -1 : (nA > nB ? 1 : 0);
}

// Cuts pMemoire to nLongueur bytes, privately.
void _Tronque(void*& pMemoire, int nLongueur, uint32_t dwKind) {
    if (pMemoire == nullptr || nLongueur < 0 || uint32_t(nLongueur) >= _nLong(pMemoire)) return;
    if (STRMEM_Header(pMemoire)->nRef >= 2) {
        void* pNouveau;
        if (STRMEM_nAlloue(&pNouveau, uint32_t(nLongueur), STRMEM_Header(pMemoire)->dwFlags) != SMR_OK) return;
        std::memcpy(pNouveau, pMemoire, size_t(nLongueur));
        _Libere(pMemoire);
        pMemoire = pNouveau;
    }
    (void)dwKind;
    STRMEM_Header(pMemoire)->dwFlags &= ~uint32_t(SMK_MARK);
    _FixeLongueur(pMemoire, uint32_t(nLongueur));
}

int _nSetUtil(void*& pMemoire, uint32_t nLongueur, bool bGarde, uint32_t dwKind) {
    if (nLongueur == 0 && !bGarde) {
        _Libere(pMemoire);
        return SMR_OK;
    }
    uint32_t nAncienne = _nLong(pMemoire);
    int nRes = _nPrepare(pMemoire, nLongueur, dwKind);
    if (nRes != SMR_OK) return nRes;
    if (nLongueur > nAncienne) std::memset(static_cast<char*>(pMemoire) + nAncienne, 0, nLongueur - nAncienne);
    _FixeLongueur(pMemoire, nLongueur);
    return SMR_OK;
}

inline uint32_t _nLongueurTexte(const void* p, int n) {
    if (p == nullptr) return 0;
    return n < 0 ? uint32_t(std::strlen(static_cast<const char*>(p))) : uint32_t(n);
}

int _nConcatListe(void*& pMemoire, int nNombre, va_list args) {
    for (int i = 0; i < nNombre; ++i) {
        const char* psz = va_arg(args, const char*);
        int n = va_arg(args, int);
        int nRes = _nConcat(pMemoire, psz, _nLongueurTexte(psz, n), SMK_ANSI);
        if (nRes != SMR_OK) return nRes;
    }
    return SMR_OK;
}

// Wide text of an ANSI text in a code page; bytes that the code page does
// not define become the wide character of the same value.
int _nVersWide(void*& pMemoire, const char* pszTexte, uint32_t nLongueur, uint32_t dwCodePage) {
    if (nLongueur == 0) {
        _Libere(pMemoire);
        return SMR_OK;
    }
    if (uint64_t(nLongueur) * sizeof(wchar_t) > STRMEM_MAXLEN) return SMR_TROPLONG;
    int nNecessaire = MultiByteToWideChar(dwCodePage, 0, pszTexte, int(nLongueur), nullptr, 0);
    void* pNouveau;
    if (nNecessaire > 0) {
        int nRes = STRMEM_nAlloue(&pNouveau, uint32_t(nNecessaire) * sizeof(wchar_t), SMK_UNICODE);
        if (nRes != SMR_OK) return nRes;
        int n = MultiByteToWideChar(dwCodePage, 0, pszTexte, int(nLongueur), static_cast<wchar_t*>(pNouveau),
                                    nNecessaire);
        _FixeLongueur(pNouveau, uint32_t(std::max(n, 0)) * sizeof(wchar_t));
    } else {
        int nRes = STRMEM_nAlloue(&pNouveau, nLongueur * sizeof(wchar_t), SMK_UNICODE);
        if (nRes != SMR_OK) return nRes;
        wchar_t* pw = static_cast<wchar_t*>(pNouveau);
        for (uint32_t i = 0; i < nLongueur; ++i) {
            wchar_t w = 0;
            if (MultiByteToWideChar(dwCodePage, 0, pszTexte + i, 1, &w, 1) != 1)
                w = wchar_t(static_cast<unsigned char>(pszTexte[i]));
            pw[i] = w;
        }
        _FixeLongueur(pNouveau, nLongueur * sizeof(wchar_t));
    }
    _Libere(pMemoire);
    pMemoire = pNouveau;
    return SMR_OK;
}

int _nVersAnsi(void*& pMemoire, const wchar_t* pwszTexte, uint32_t nCaracteres, uint32_t dwCodePage,
               char cRemplacement, bool* pbRemplace) {
    if (pbRemplace) *pbRemplace = false;
    if (nCaracteres == 0) {
        _Libere(pMemoire);
        return SMR_OK;
    }
    int nNecessaire =
        WideCharToMultiByte(dwCodePage, 0, pwszTexte, int(nCaracteres), nullptr, 0, nullptr, nullptr);
    void* pNouveau;
    if (nNecessaire > 0) {
        int nRes = STRMEM_nAlloue(&pNouveau, uint32_t(nNecessaire), SMK_ANSI);
        if (nRes != SMR_OK) return nRes;
        int n = WideCharToMultiByte(dwCodePage, 0, pwszTexte, int(nCaracteres), static_cast<char*>(pNouveau),
                                    nNecessaire, nullptr, nullptr);
        _FixeLongueur(pNouveau, uint32_t(std::max(n, 0)));
    } else {
        // Character by character, the replacement standing for what the
        // code page cannot hold.
        pNouveau = nullptr;
        for (uint32_t i = 0; i < nCaracteres; ++i) {
            char sz[16];
            int n = WideCharToMultiByte(dwCodePage, 0, pwszTexte + i, 1, sz, int(sizeof sz), nullptr, nullptr);
            if (n <= 0) {
                sz[0] = cRemplacement;
                n = 1;
                if (pbRemplace) *pbRemplace = true;
            }
            int nRes = _nConcat(pNouveau, sz, uint32_t(n), SMK_ANSI);
            if (nRes != SMR_OK) {
                _Libere(pNouveau);
                return nRes;
            }
        }
    }
    _Libere(pMemoire);
    pMemoire = pNouveau;
    return SMR_OK;
}

}  // namespace

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

// --- Conversions -----------------------------------------------------------------

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

// --- CZNBINBase ------------------------------------------------------------------

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

// --- CZNINTArray -----------------------------------------------------------------

CZNINTArray::CZNINTArray(int nCapaciteInitiale, int nPas) : m_nPas(nPas > 0 ? nPas : 10) {
    if (nCapaciteInitiale > 0) _bReserve(nCapaciteInitiale);
}

CZNINTArray::CZNINTArray(const CZNINTArray& clAutre) : m_nPas(clAutre.m_nPas) { *this = clAutre; }

CZNINTArray& CZNINTArray::operator=(const CZNINTArray& clAutre) {
    if (this == &clAutre) return *this;
    m_nNb = 0;
    if (_bReserve(clAutre.m_nNb)) {
        if (clAutre.m_nNb) std::memcpy(m_pnDonnees, clAutre.m_pnDonnees, size_t(clAutre.m_nNb) * sizeof(int32_t));
        m_nNb = clAutre.m_nNb;
    }
    return *this;
}

CZNINTArray::~CZNINTArray() { std::free(m_pnDonnees); }

bool CZNINTArray::_bReserve(int nNb) {
    if (nNb <= m_nCapacite) return true;
    if (nNb < 0 || nNb > (1 << 28)) return false;
    int nCapacite = std::max(nNb, m_nCapacite + m_nPas);
    void* p = std::realloc(m_pnDonnees, size_t(nCapacite) * sizeof(int32_t));
    if (p == nullptr) return false;
    m_pnDonnees = static_cast<int32_t*>(p);
    m_nCapacite = nCapacite;
    return true;
}

bool CZNINTArray::bSetNb(int nNb) {
    if (nNb < 0) return false;
    if (!_bReserve(nNb)) return false;
    if (nNb > m_nNb) std::memset(m_pnDonnees + m_nNb, 0, size_t(nNb - m_nNb) * sizeof(int32_t));
    m_nNb = nNb;
    return true;
}

bool CZNINTArray::bSet(int nIndice, int32_t nValeur) {
    if (nIndice < 0) return false;
    if (nIndice >= m_nNb && !bSetNb(nIndice + 1)) return false;
    m_pnDonnees[nIndice] = nValeur;
    return true;
}

bool CZNINTArray::bAjoute(int32_t nValeur) { return bSet(m_nNb, nValeur); }

void CZNINTArray::Vide() {
    std::free(m_pnDonnees);
    m_pnDonnees = nullptr;
    m_nNb = m_nCapacite = 0;
}
