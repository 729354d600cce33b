// The shared memory routines of the dynamic-string classes (see
// zndstr_memoire.h): allocation, copy on write, sizing, code-page changes.
#include "core/zndstr_memoire.h"

#include <algorithm>

#include "platform/charset.h"

namespace zndstr_memoire {

void _FixeLongueur(void* p, uint32_t nLongueur) {
    STRMEM_Header(p)->nLongueur = nLongueur;
    std::memset(static_cast<char*>(p) + nLongueur, 0, STRMEM_TAIL);
}

void _Libere(void*& pMemoire) {
    void* p = pMemoire;
    pMemoire = nullptr;
    STRMEM_Release(p);
}

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

int _nConcatListe(void*& pMemoire, int nNombre, va_list args) {
    for (int i = 0; i < nNombre; ++i) {
        const char* psz = va_arg(args, const char*);
        int n = va_arg(args, int);
        int nRes = _nConcat(pMemoire, psz, _nLongueurTexte(psz, n), SMK_ANSI);
        if (nRes != SMR_OK) return nRes;
    }
    return SMR_OK;
}

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

}  // namespace zndstr_memoire
