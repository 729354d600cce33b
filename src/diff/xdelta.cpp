// Computing and applying diff buffers (see xdelta.h).
#include "diff/xdelta.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "codec/checksum.h"
#include "diff/decoupe_tvr.h"

namespace {

// Number of equal bytes at the start of a and b, at most n.
uint32_t _dwLongueurEgale(const uint8_t* a, const uint8_t* b, uint32_t n) {
    uint32_t i = 0;
    while (n - i >= 8) {
        uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) return i + static_cast<uint32_t>(std::countr_zero(x ^ y) >> 3);
        i += 8;
    }
    while (i < n && a[i] == b[i]) ++i;
    return i;
}

// The rebuilt target in a serialisation buffer.
class CDestinationBuffer : public IDiffDestination {
public:
    explicit CDestinationBuffer(CQVBuffer& cl) : m_cl(cl) {}
    uint8_t* pbyPrepare(uint32_t dwTaille) override {
        m_cl.ClearAll();
        if (dwTaille == 0 || !m_cl.SetSize(dwTaille)) return nullptr;
        return m_cl.pbyGetUncodedBuffer();
    }

private:
    CQVBuffer& m_cl;
};

// A coded element comes out of its plain content byte for byte: only then
// can the applier rebuild it from that content.
bool _bRecodeIdentique(CQVBuffer& clPlain, eBUFFER_PACKMETHOD eMethode, uint32_t dwPremier, const uint8_t* pbyCode,
                       uint32_t dwCode) {
    CQVBuffer cl(eMethode, 0, CQVBuffer::PAS_DEFAUT);
    if (!cl.ChangeFirstCodedByte(dwPremier) || !cl.Set(clPlain.pbyGetUncodedBuffer(), clPlain.dwGetSizeDirect()))
        return false;
    const uint32_t dw = cl.dwGetCodedSize();
    return cl.bEstCode() && dw == dwCode && (dw == 0 || std::memcmp(cl.pbyGetCodedBuffer(), pbyCode, dw) == 0);
}

}  // namespace

std::unique_ptr<CQVBuffer> DIFF_pclDepacke(const uint8_t* pby, uint32_t dwTaille, eBUFFER_PACKMETHOD eMethode,
                                           uint32_t dwPremier) {
    std::unique_ptr<CQVBuffer> pcl(new (std::nothrow) CQVBuffer(eMethode, 0, CQVBuffer::PAS_DEFAUT));
    if (!pcl || !pcl->ChangeFirstCodedByte(dwPremier) || !pcl->SetCodedData(pby, dwTaille) || !pcl->bDecode())
        return nullptr;
    return pcl;
}

// ---------------------------------------------------------------- computing

bool CDiffXDelta::bComputeDiff(CQVBuffer* pclSource, CQVBuffer* pclCible, CQVBuffer* pclSortie, bool bFichierProjet) {
    m_eErreur = DIFF_OK;
    if (pclSource == nullptr || pclCible == nullptr || pclSortie == nullptr) return _bErreur(DIFF_ERR_BUFFER);
    if (!pclSource->bDecode() || !pclCible->bDecode()) return _bErreur(DIFF_ERR_BUFFER);
    const uint32_t dwSource = pclSource->dwGetSizeDirect(), dwCible = pclCible->dwGetSizeDirect();
    return bComputeDiff(pclSource->pbyGetUncodedBuffer(), dwSource, pclCible->pbyGetUncodedBuffer(), dwCible,
                        *pclSortie, bFichierProjet);
}

bool CDiffXDelta::_bDebutCalcul(const uint8_t* pbySource, uint32_t dwSource, const uint8_t* pbyCible,
                                uint32_t dwCible) {
    m_eErreur = DIFF_OK;
    m_bIndexValide = false;
    m_bIndexToutValide = false;
    m_pclSourceSection.reset();
    m_pclCibleSection.reset();
    if ((pbySource == nullptr && dwSource != 0) || (pbyCible == nullptr && dwCible != 0))
        return _bErreur(DIFF_ERR_BUFFER);
    if (dwSource == 0) return _bErreur(DIFF_ERR_SOURCE_VIDE);
    if (dwCible > CDiffBuffer::TAILLE_CIBLE_MAX) return _bErreur(DIFF_ERR_ILLISIBLE);
    m_pbySource = pbySource;
    m_dwTailleSource = dwSource;
    m_pbyCible = pbyCible;
    m_dwTailleCible = dwCible;
    return true;
}

bool CDiffXDelta::bComputeDiff(const uint8_t* pbySource, uint32_t dwSource, const uint8_t* pbyCible, uint32_t dwCible,
                               CQVBuffer& clSortie, bool bFichierProjet) {
    if (!_bDebutCalcul(pbySource, dwSource, pbyCible, dwCible)) {
        clSortie.ClearAll();
        return false;
    }
    std::vector<STPlanSection> tabPlan;
    try {
        if (!bFichierProjet || !DIFF_bDecoupeFichierProjet(pbySource, dwSource, pbyCible, dwCible, tabPlan)) {
            tabPlan.assign(1, STPlanSection{0, dwSource, 0, dwCible, 0, 0});
        }
    } catch (const std::bad_alloc&) {
        clSortie.ClearAll();
        return _bErreur(DIFF_ERR_MEMOIRE);
    }
    return bComputeDiff(pbySource, dwSource, pbyCible, dwCible, tabPlan, clSortie);
}

bool CDiffXDelta::bComputeDiff(const uint8_t* pbySource, uint32_t dwSource, const uint8_t* pbyCible, uint32_t dwCible,
                               const std::vector<STPlanSection>& tabPlan, CQVBuffer& clSortie) {
    clSortie.ClearAll();
    if (!_bDebutCalcul(pbySource, dwSource, pbyCible, dwCible)) return false;
    const uint32_t dwCrcSource = CCrc2::nCalculeCRC32(pbySource, dwSource);
    const uint32_t dwCrcCible = CCrc2::nCalculeCRC32(pbyCible, dwCible);
    // Equal checksums are confirmed on the bytes: a collision is no identity.
    if (dwCrcSource == dwCrcCible && dwSource == dwCible && std::memcmp(pbySource, pbyCible, dwSource) == 0)
        return _bErreur(DIFF_ERR_IDENTIQUES);
    // The plan covers the target in order, from ranges of the source.
    uint32_t dwFin = 0;
    for (const STPlanSection& st : tabPlan) {
        if (st.dwCibleDebut != dwFin || st.dwCibleFin < st.dwCibleDebut || st.dwCibleFin > dwCible ||
            st.dwSourceDebut > st.dwSourceFin || st.dwSourceFin > dwSource)
            return _bErreur(DIFF_ERR_ILLISIBLE);
        dwFin = st.dwCibleFin;
    }
    if (tabPlan.empty() || dwFin != dwCible) return _bErreur(DIFF_ERR_ILLISIBLE);

    try {
        CDiffBuffer clDiff;
        clDiff.SetPackMethod(m_ePackCorps);
        clDiff.SetCrc(dwCrcSource, dwCrcCible);
        clDiff.SetTailleBloc(TAILLE_BLOC);
        clDiff.SetTailleCible(dwCible);
        for (const STPlanSection& st : tabPlan)
            if (!_bCalculeSection(st, clDiff.clAjouteSection())) return false;
        m_pclSourceSection.reset();
        m_pclCibleSection.reset();
        if (!clDiff.bEcrit(clSortie)) {
            clSortie.ClearAll();
            return _bErreur(DIFF_ERR_MEMOIRE);
        }
    } catch (const std::bad_alloc&) {
        clSortie.ClearAll();
        return _bErreur(DIFF_ERR_MEMOIRE);
    }
    if (m_nPourcentageMax > 0 &&
        uint64_t(clSortie.dwGetSizeDirect()) * 100 / dwSource > static_cast<uint64_t>(m_nPourcentageMax)) {
        clSortie.ClearAll();
        return _bErreur(DIFF_ERR_POURCENTAGE);
    }
    return true;
}

bool CDiffXDelta::_bCalculeSection(const STPlanSection& stPlan, CDiffBufferSection& clSection) {
    clSection.SetSource(stPlan.dwSourceDebut, stPlan.dwSourceFin);
    clSection.SetCible(stPlan.dwCibleDebut, stPlan.dwCibleFin);
    const uint8_t* pbyS = m_pbySource + stPlan.dwSourceDebut;
    uint32_t dwS = stPlan.dwSourceFin - stPlan.dwSourceDebut;
    const uint8_t* pbyT = m_pbyCible + stPlan.dwCibleDebut;
    uint32_t dwT = stPlan.dwCibleFin - stPlan.dwCibleDebut;
    // Coded elements are compared on their contents, when the target's
    // element can be rebuilt from its content; otherwise as they stand.
    eBUFFER_PACKMETHOD eMethode = BUFFER_PACK_AUCUN;
    if (stPlan.dwPackCode != 0 && CDiffBufferSection::s_bPackMethod(stPlan.dwPackCode, &eMethode) &&
        eMethode != BUFFER_PACK_AUCUN) {
        auto pclS = DIFF_pclDepacke(pbyS, dwS, eMethode, stPlan.dwPremierOctetCode);
        auto pclT = DIFF_pclDepacke(pbyT, dwT, eMethode, stPlan.dwPremierOctetCode);
        if (pclS && pclT && _bRecodeIdentique(*pclT, eMethode, stPlan.dwPremierOctetCode, pbyT, dwT)) {
            clSection.SetPack(stPlan.dwPackCode, stPlan.dwPremierOctetCode);
            m_pclSourceSection = std::move(pclS);
            m_pclCibleSection = std::move(pclT);
            m_bIndexValide = false;
            pbyS = m_pclSourceSection->pbyGetUncodedBuffer();
            dwS = m_pclSourceSection->dwGetSizeDirect();
            pbyT = m_pclCibleSection->pbyGetUncodedBuffer();
            dwT = m_pclCibleSection->dwGetSizeDirect();
        }
    }
    return _bApparie(pbyS, dwS, pbyT, dwT, clSection);
}

// The matcher. At each target position t whose block [t, t + B) is followed
// by more target, the block's rolling checksum is looked up; a source block
// of that checksum whose bytes agree for B bytes or more gives a copy. The
// copy runs forward as far as the bytes agree, and backward over the
// pending literal bytes as far as they agree too, so that an edit costs its
// own bytes rather than the rest of the block it falls in.
bool CDiffXDelta::_bApparie(const uint8_t* pbyS, uint32_t dwS, const uint8_t* pbyT, uint32_t dwT,
                            CDiffBufferSection& clSection) {
    const uint32_t B = TAILLE_BLOC;
    const bool bTout = pbyS == m_pbySource && dwS == m_dwTailleSource;
    CIndexBlocs& clIndex = bTout ? m_clIndexTout : m_clIndex;
    bool& bValide = bTout ? m_bIndexToutValide : m_bIndexValide;
    if (!bValide || clIndex.pbyGetSource() != pbyS || clIndex.dwGetTaille() != dwS) {
        if (!clIndex.bConstruit(pbyS, dwS, B)) return _bErreur(DIFF_ERR_MEMOIRE);
        bValide = true;
    }
    CAdlerGlissant clAdler;
    bool bFenetre = false;   // clAdler holds the window at t
    uint32_t dwLitteral = 0; // start of the pending literal bytes
    uint32_t t = 0;
    while (t < dwT) {
        if (dwT - t > B) {
            if (bFenetre)
                clAdler.Glisse(pbyT[t - 1], pbyT[t + B - 1]);
            else
                clAdler.Init(pbyT + t, B);
            bFenetre = true;
            uint32_t s;
            if (clIndex.bCherche(clAdler.dwGet(), &s)) {
                const uint32_t dwLongueur = _dwLongueurEgale(pbyT + t, pbyS + s, std::min(dwT - t, dwS - s));
                if (dwLongueur >= B) {
                    uint32_t dwRecul = 0;
                    while (dwRecul < t - dwLitteral && dwRecul < s && pbyT[t - dwRecul - 1] == pbyS[s - dwRecul - 1])
                        ++dwRecul;
                    clSection.AjouteInsertion(pbyT + dwLitteral, t - dwRecul - dwLitteral);
                    clSection.AjouteCopie(s - dwRecul, s + dwLongueur);
                    t += dwLongueur;
                    dwLitteral = t;
                    bFenetre = false;
                    continue;
                }
            }
        }
        ++t;
    }
    clSection.AjouteInsertion(pbyT + dwLitteral, dwT - dwLitteral);
    return true;
}

// ---------------------------------------------------------------- applying

bool CDiffXDelta::bApplyDiff(CQVBuffer* pclSource, CQVBuffer* pclDiff, CQVBuffer* pclSortie) {
    m_eErreur = DIFF_OK;
    if (pclSource == nullptr || pclDiff == nullptr || pclSortie == nullptr) return _bErreur(DIFF_ERR_BUFFER);
    if (!pclSource->bDecode()) return _bErreur(DIFF_ERR_BUFFER);
    // The diff is read in the form it is stored in.
    const uint32_t dwDiff = pclDiff->dwGetCodedSize();
    const uint8_t* pbyDiff = pclDiff->pbyGetCodedBuffer();
    static const uint8_t s_byVide = 0;
    CDestinationBuffer clDestination(*pclSortie);
    const uint8_t* pbySource = pclSource->pbyGetUncodedBuffer();
    const bool bOk = bApplyDiff(pbySource != nullptr ? pbySource : &s_byVide, pclSource->dwGetSizeDirect(),
                                pbyDiff != nullptr ? pbyDiff : &s_byVide, pbyDiff != nullptr ? dwDiff : 0,
                                clDestination);
    if (!bOk) pclSortie->ClearAll();
    return bOk;
}

bool CDiffXDelta::bApplyDiff(const uint8_t* pbySource, uint32_t dwSource, const uint8_t* pbyDiff, uint32_t dwDiff,
                             IDiffDestination& clSortie) {
    m_eErreur = DIFF_OK;
    if ((pbySource == nullptr && dwSource != 0) || pbyDiff == nullptr) return _bErreur(DIFF_ERR_BUFFER);
    try {
        CDiffBuffer clDiff;
        if (!clDiff.bLit(pbyDiff, dwDiff)) return _bErreur(DIFF_ERR_ILLISIBLE);
        if (CCrc2::nCalculeCRC32(pbySource, dwSource) != clDiff.dwGetCrcSource())
            return _bErreur(DIFF_ERR_CRC_SOURCE);
        m_pbySource = pbySource;
        m_dwTailleSource = dwSource;
        m_dwTailleCible = clDiff.dwGetTailleCible();
        // Everything is checked before the first byte is written.
        std::vector<std::unique_ptr<CQVBuffer>> tabSources(clDiff.dwGetNbSection());
        if (!_bVerifieSections(clDiff, tabSources)) return false;
        static uint8_t s_byVide = 0;
        uint8_t* pbySortie = clSortie.pbyPrepare(m_dwTailleCible);
        if (pbySortie == nullptr && m_dwTailleCible != 0) return _bErreur(DIFF_ERR_MEMOIRE);
        // An empty target has nowhere to go: nothing is written to it.
        if (pbySortie == nullptr) pbySortie = &s_byVide;
        for (uint32_t i = 0; i < clDiff.dwGetNbSection(); ++i) {
            const CDiffBufferSection& cl = clDiff.clGetSection(i);
            const uint8_t* pbyS =
                tabSources[i] ? tabSources[i]->pbyGetUncodedBuffer() : pbySource + cl.dwGetSourceDebut();
            if (!_bAppliqueSection(cl, pbyS, pbySortie + cl.dwGetCibleDebut())) return false;
        }
        if (CCrc2::nCalculeCRC32(pbySortie, m_dwTailleCible) != clDiff.dwGetCrcCible())
            return _bErreur(DIFF_ERR_CRC_CIBLE);
    } catch (const std::bad_alloc&) {
        return _bErreur(DIFF_ERR_MEMOIRE);
    }
    return true;
}

bool CDiffXDelta::_bVerifieSections(const CDiffBuffer& clDiff, std::vector<std::unique_ptr<CQVBuffer>>& tabSources) {
    struct STPlage {
        uint32_t dwDebut, dwFin;
    };
    std::vector<STPlage> tabPlages;
    tabPlages.reserve(clDiff.dwGetNbSection());
    for (uint32_t i = 0; i < clDiff.dwGetNbSection(); ++i) {
        const CDiffBufferSection& cl = clDiff.clGetSection(i);
        if (cl.dwGetSourceFin() > m_dwTailleSource || cl.dwGetCibleFin() > m_dwTailleCible)
            return _bErreur(DIFF_ERR_ILLISIBLE);
        eBUFFER_PACKMETHOD eMethode;
        if (!CDiffBufferSection::s_bPackMethod(cl.dwGetPackCode(), &eMethode)) return _bErreur(DIFF_ERR_ILLISIBLE);
        const uint32_t dwCible = cl.dwGetCibleFin() - cl.dwGetCibleDebut();
        uint32_t dwSource = cl.dwGetSourceFin() - cl.dwGetSourceDebut();
        if (eMethode != BUFFER_PACK_AUCUN) {
            tabSources[i] = DIFF_pclDepacke(m_pbySource + cl.dwGetSourceDebut(), dwSource, eMethode,
                                            cl.dwGetPremierOctetCode());
            if (!tabSources[i]) return _bErreur(DIFF_ERR_ILLISIBLE);
            dwSource = tabSources[i]->dwGetSizeDirect();
        }
        for (uint32_t k = 0; k < cl.dwGetNbInstruction(); ++k) {
            const CDiffInstruction& st = cl.stGetInstruction(k);
            if (st.eType == DIFF_COPIE && st.dwSecond > dwSource) return _bErreur(DIFF_ERR_ILLISIBLE);
        }
        // A section writes exactly its range; only an empty range may have
        // no instructions. A coded one is checked once coded.
        const uint64_t qwProduit = cl.qwGetTailleProduite();
        if (cl.dwGetNbInstruction() == 0 && dwCible != 0) return _bErreur(DIFF_ERR_ILLISIBLE);
        if (eMethode == BUFFER_PACK_AUCUN ? qwProduit != dwCible : qwProduit > CDiffBuffer::TAILLE_CIBLE_MAX)
            return _bErreur(DIFF_ERR_ILLISIBLE);
        tabPlages.push_back(STPlage{cl.dwGetCibleDebut(), cl.dwGetCibleFin()});
    }
    // The sections cover the target once.
    std::sort(tabPlages.begin(), tabPlages.end(), [](const STPlage& a, const STPlage& b) {
        return a.dwDebut != b.dwDebut ? a.dwDebut < b.dwDebut : a.dwFin < b.dwFin;
    });
    uint32_t dwFin = 0;
    for (const STPlage& st : tabPlages) {
        if (st.dwDebut != dwFin) return _bErreur(DIFF_ERR_ILLISIBLE);
        dwFin = st.dwFin;
    }
    if (dwFin != m_dwTailleCible) return _bErreur(DIFF_ERR_ILLISIBLE);
    return true;
}

bool CDiffXDelta::_bAppliqueSection(const CDiffBufferSection& clSection, const uint8_t* pbyS, uint8_t* pbySortie) {
    eBUFFER_PACKMETHOD eMethode;
    CDiffBufferSection::s_bPackMethod(clSection.dwGetPackCode(), &eMethode);
    const uint8_t* pbyInsertion = clSection.pbyGetInsertion();
    if (eMethode == BUFFER_PACK_AUCUN) {
        for (uint32_t k = 0; k < clSection.dwGetNbInstruction(); ++k) {
            const CDiffInstruction& st = clSection.stGetInstruction(k);
            const uint32_t dw = st.dwSecond - st.dwPremier;
            if (dw == 0) continue;
            std::memcpy(pbySortie, (st.eType == DIFF_COPIE ? pbyS : pbyInsertion) + st.dwPremier, dw);
            pbySortie += dw;
        }
        return true;
    }
    // A coded element: its content is rebuilt, then coded as it was.
    CQVBuffer cl(eMethode, 0, CQVBuffer::PAS_DEFAUT);
    if (!cl.ChangeFirstCodedByte(clSection.dwGetPremierOctetCode()) ||
        !cl.InitMemoire(static_cast<uint32_t>(clSection.qwGetTailleProduite()), CQVBuffer::PAS_DEFAUT))
        return _bErreur(DIFF_ERR_MEMOIRE);
    for (uint32_t k = 0; k < clSection.dwGetNbInstruction(); ++k) {
        const CDiffInstruction& st = clSection.stGetInstruction(k);
        const uint8_t* pby = (st.eType == DIFF_COPIE ? pbyS : pbyInsertion) + st.dwPremier;
        if (!cl.Set(pby, st.dwSecond - st.dwPremier)) return _bErreur(DIFF_ERR_MEMOIRE);
    }
    const uint32_t dwCode = cl.dwGetCodedSize();
    if (!cl.bEstCode() || dwCode != clSection.dwGetCibleFin() - clSection.dwGetCibleDebut())
        return _bErreur(DIFF_ERR_ILLISIBLE);
    if (dwCode != 0) std::memcpy(pbySortie, cl.pbyGetCodedBuffer(), dwCode);
    return true;
}
