// Sorting a memory zone by key and searching it for a key. Only index
// entries move; records stay where they are.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "memzone/mz_interne.h"

namespace mz {

namespace {

// One record's sort key, prepared once so that most comparisons touch only
// this array: the real's order or the text's first 8 bytes, the key itself
// for ties, and the place before the sort, which ties keep (the order is
// then the same on every run and on every machine).
struct STCleTri {
    uint64_t q;
    const uint8_t* pCle;
    uint32_t nLongueur;
    uint32_t nPos;
};

bool _bAvantNombre(const STCleTri& a, const STCleTri& b) { return a.q != b.q ? a.q < b.q : a.nPos < b.nPos; }

bool _bAvantTexte(const STCleTri& a, const STCleTri& b) {
    if (a.q != b.q) return a.q < b.q;
    const int c = nCompareTextes(STMemDonnee{MEMT_BINAIRE, a.pCle, a.nLongueur},
                                 STMemDonnee{MEMT_BINAIRE, b.pCle, b.nLongueur});
    return c != 0 ? c < 0 : a.nPos < b.nPos;
}

// Frees what the sort holds, on every path.
struct STTravail {
    uint32_t* pnOffsets = nullptr;
    STCleTri* pstCles = nullptr;
    uint8_t* pnClasses = nullptr;
    uint8_t* pCopies = nullptr;   // keys that were read into the scratch buffer
    ~STTravail() {
        free(pnOffsets);
        free(pstCles);
        free(pnClasses);
        free(pCopies);
    }
};

bool _bDansScratch(const void* p, const uint8_t* pScratch) {
    const auto* pb = static_cast<const uint8_t*>(p);
    return pb >= pScratch && pb < pScratch + MEM_MAX_ENREG_ENTIER;
}

}  // namespace

bool bTrieIndex(_stBUFFERMEM* pstZone, uint8_t* pScratchA) {
    const uint32_t nNb = pstZone->clIndex.nGetNb();
    if (nNb < 2) return true;
    // A 32-bit process cannot hold the keys of that many records.
    if (uint64_t(nNb) > uint64_t(SIZE_MAX / sizeof(STCleTri))) return false;
    // Every record read below stays in place until the sort ends.
    pstZone->clDebord.PreparePassage();
    STTravail st;
    st.pnOffsets = static_cast<uint32_t*>(malloc(size_t(nNb) * sizeof(uint32_t)));
    st.pstCles = static_cast<STCleTri*>(malloc(size_t(nNb) * sizeof(STCleTri)));
    st.pnClasses = static_cast<uint8_t*>(malloc(nNb));
    if (st.pnOffsets == nullptr || st.pstCles == nullptr || st.pnClasses == nullptr) return false;
    pstZone->clIndex.Copie(st.pnOffsets);

    // First pass: each key's class, and the room for keys that could only
    // be read into the scratch buffer (spill reads without a mapping).
    uint32_t anParClasse[3] = {0, 0, 0};
    size_t nCopies = 0;
    for (uint32_t i = 0; i < nNb; ++i) {
        STVue stVue;
        if (!bLitEnregZone(pstZone, st.pnOffsets[i], pScratchA, &stVue)) return false;
        const eClasse e = eClasseCle(stVue.stCle);
        st.pnClasses[i] = uint8_t(e);
        ++anParClasse[e];
        if (e == CL_TEXTE && _bDansScratch(stVue.stCle.pOctets, pScratchA)) nCopies += stVue.stCle.nLongueur;
    }
    if (nCopies != 0) {
        st.pCopies = static_cast<uint8_t*>(malloc(nCopies));
        if (st.pCopies == nullptr) return false;
    }
    // Second pass: the keys, placed by class (empty texts, numbers, texts),
    // each class in index order.
    uint32_t anPlace[3] = {0, anParClasse[CL_VIDE], anParClasse[CL_VIDE] + anParClasse[CL_NOMBRE]};
    size_t nCopie = 0;
    for (uint32_t i = 0; i < nNb; ++i) {
        STVue stVue;
        if (!bLitEnregZone(pstZone, st.pnOffsets[i], pScratchA, &stVue)) return false;
        const eClasse e = eClasseCle(stVue.stCle);
        if (e != eClasse(st.pnClasses[i])) return false;
        STCleTri& stC = st.pstCles[anPlace[e]++];
        stC.nPos = i;
        stC.pCle = nullptr;
        stC.nLongueur = 0;
        stC.q = 0;
        if (e == CL_NOMBRE) {
            stC.q = qOrdreNombre(stVue.stCle);
        } else if (e == CL_TEXTE) {
            stC.q = qPrefixeTexte(stVue.stCle);
            stC.nLongueur = stVue.stCle.nLongueur;
            stC.pCle = static_cast<const uint8_t*>(stVue.stCle.pOctets);
            if (_bDansScratch(stC.pCle, pScratchA)) {
                if (nCopie + stC.nLongueur > nCopies) return false;
                memcpy(st.pCopies + nCopie, stC.pCle, stC.nLongueur);
                stC.pCle = st.pCopies + nCopie;
                nCopie += stC.nLongueur;
            }
        }
    }
    STCleTri* pNombres = st.pstCles + anParClasse[CL_VIDE];
    STCleTri* pTextes = pNombres + anParClasse[CL_NOMBRE];
    std::sort(pNombres, pTextes, _bAvantNombre);
    std::sort(pTextes, st.pstCles + nNb, _bAvantTexte);
    auto* pnTries = static_cast<uint32_t*>(malloc(size_t(nNb) * sizeof(uint32_t)));
    if (pnTries == nullptr) return false;
    for (uint32_t i = 0; i < nNb; ++i) pnTries[i] = st.pnOffsets[st.pstCles[i].nPos];
    const bool bOk = pstZone->clIndex.bRemplace(pnTries, nNb);
    free(pnTries);
    return bOk;
}

uint32_t nChercheCle(_stBUFFERMEM* pstZone, const STMemDonnee& stCle, uint8_t* pScratch) {
    const uint32_t nNb = pstZone->clIndex.nGetNb();
    if (nNb == 0) return 0;
    pstZone->clDebord.PreparePassage();
    // < 0, 0, > 0 as the searched key is before, equal to or after record n's;
    // 2 when the record cannot be read.
    auto nCompare = [&](uint32_t n) {
        STVue stVue;
        if (!bLitEnregZone(pstZone, pstZone->clIndex.nGet(n), pScratch, &stVue)) return 2;
        return nEnregTest(stCle, stVue.stCle);
    };
    if (!pstZone->bTrie) {
        for (uint32_t n = 1; n <= nNb; ++n)
            if (nCompare(n) == 0) return n;
        return 0;
    }
    // The first record of the sort direction that is not before the key:
    // the first of equal keys when the key is there.
    const bool bMontant = pstZone->nSens != 0;
    uint32_t nBas = 1, nHaut = nNb + 1;
    while (nBas < nHaut) {
        const uint32_t nMilieu = nBas + (nHaut - nBas) / 2;
        const int c = nCompare(nMilieu);
        if (c == 2) return 0;
        if (bMontant ? c > 0 : c < 0)
            nBas = nMilieu + 1;
        else
            nHaut = nMilieu;
    }
    return nBas <= nNb && nCompare(nBas) == 0 ? nBas : 0;
}

}  // namespace mz
