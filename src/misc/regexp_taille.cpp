// bEstimeTaille of regexp_automate.h: what compiling an automaton will cost
// the C library, found by replaying its computation of epsilon closures.
// That computation, not the number of nodes, is what can explode: a closure
// met while it is being computed (a loop of empty ways) leaves the closures
// around it unfinished, and those are computed again each time they are
// needed; and what follows each assertion is copied with its condition.
#include <algorithm>
#include <deque>
#include <iterator>
#include <unordered_map>

#include "misc/regexp_automate.h"

namespace regexp {

namespace {

// Elements the library may merge while computing closures (a tenth of a
// second for it, half a second for the replay).
constexpr int64_t k_nTravailMax = int64_t(1) << (23 - k_nBornesDecalage);

// Replays the library's computation of epsilon closures on a copy of the
// automaton, with the copies it makes of what follows each assertion,
// counting its work instead of keeping sets.
class CFermetures {
public:
    CFermetures(const std::vector<STNoeud>& tab, int64_t nMax) : m_nOriginaux(tab.size()), m_nMax(nMax) {
        for (size_t i = 0; i < tab.size(); ++i) {
            const STNoeud& st = tab[i];
            const bool bEpsilon = st.eType == ENoeud::Alterne || st.eType == ENoeud::Etoile ||
                                  st.eType == ENoeud::Ouvre || st.eType == ENoeud::Ferme || st.eType == ENoeud::Ancre;
            _Ajoute({int32_t(i), st.wContrainte, st.bDuplique, st.eType == ENoeud::Renvoi, bEpsilon, st.nSuivant,
                     {st.anDest[0], st.anDest[1]}, st.nDest});
        }
    }

    bool bCalcule(int64_t& nTravail) {
        bool bIncomplet = false;
        for (size_t i = 0;; ++i) {
            if (i == m_tabN.size()) {
                if (!bIncomplet) break;
                bIncomplet = false;
                i = 0;
            }
            if (m_tabEtat[i] != 0) continue;
            if (!_bItere(int32_t(i), true, nTravail, 0)) return false;
            if (m_tabEtat[i] == 0) bIncomplet = true;
        }
        return true;
    }
    size_t nNoeuds() const { return m_tabN.size(); }
    size_t nTaille(size_t i) const { return m_tabFermetures[i].size(); }

private:
    struct STCopie {
        int32_t nOrigine;
        uint16_t wContrainte;
        bool bDuplique, bRenvoi, bEpsilon;
        int32_t nSuivant;
        int32_t anDest[2];
        int32_t nDest;
    };

    // A chain of empty ways deeper than this has closures past the size
    // limit anyway (their sizes add up to its square over two).
    static constexpr int k_nProfondeurMax = 4096;

    void _Ajoute(const STCopie& st) {
        m_tabN.push_back(st);
        m_tabFermetures.emplace_back();
        m_tabEtat.push_back(0);
    }
    int32_t _nCopie(int32_t nOrg, uint16_t w, int64_t& nTravail) {
        STCopie st = m_tabN[size_t(nOrg)];
        st.wContrainte = uint16_t(w | st.wContrainte);
        st.bDuplique = true;
        st.nDest = 0;
        _Ajoute(st);
        const int32_t n = int32_t(m_tabN.size() - 1);
        m_mapCopies[_nCle(st.nOrigine, st.wContrainte)] = n;
        ++nTravail;
        return n;
    }
    static uint64_t _nCle(int32_t nOrigine, uint16_t w) { return (uint64_t(uint32_t(nOrigine)) << 16) | w; }
    void _Lie(int32_t nCopie, int32_t nDest) {
        STCopie& st = m_tabN[size_t(nCopie)];
        if (st.nDest < 2) st.anDest[st.nDest++] = nDest;
    }

    // The library's copying of what follows an assertion: at a fork the
    // first way is copied once per condition and followed first, the second
    // way is always copied afresh.
    bool _bCopieSuite(int32_t nRacine, int64_t& nTravail) {
        struct STSuite {
            int32_t nOrg, nCopie;
            uint16_t wContrainte;
            bool bSecond;   // resume a fork at its second way
        };
        const STCopie stRacine = m_tabN[size_t(nRacine)];
        m_tabN[size_t(nRacine)].nDest = 0;   // its destinations become copies
        auto org = [&](int32_t n) { return n == nRacine ? stRacine : m_tabN[size_t(n)]; };
        std::vector<STSuite> tabSuites{{nRacine, nRacine, stRacine.wContrainte, false}};
        while (!tabSuites.empty()) {
            const STSuite stS = tabSuites.back();
            tabSuites.pop_back();
            int32_t nOrg = stS.nOrg, nCopie = stS.nCopie;
            uint16_t w = stS.wContrainte;
            if (stS.bSecond) {
                const int32_t nSecond = org(nOrg).anDest[1];
                const int32_t nCopieSecond = _nCopie(nSecond, w, nTravail);
                _Lie(nCopie, nCopieSecond);
                nOrg = nSecond;
                nCopie = nCopieSecond;
            }
            for (;;) {
                if (nTravail > m_nMax) return false;
                const STCopie stOrg = org(nOrg);
                if (stOrg.bRenvoi) {
                    const int32_t nCopieDest = _nCopie(stOrg.nSuivant, w, nTravail);
                    _Lie(nCopie, nCopieDest);
                    nOrg = stOrg.nSuivant;
                    nCopie = nCopieDest;
                    continue;
                }
                if (stOrg.nDest == 0) break;
                if (stOrg.nDest == 1) {
                    const int32_t nDest = stOrg.anDest[0];
                    if (nOrg == nRacine && nCopie != nOrg) {
                        _Lie(nCopie, nDest);   // a loop back to the assertion
                        break;
                    }
                    w = uint16_t(w | stOrg.wContrainte);
                    const int32_t nCopieDest = _nCopie(nDest, w, nTravail);
                    _Lie(nCopie, nCopieDest);
                    nOrg = nDest;
                    nCopie = nCopieDest;
                    continue;
                }
                const int32_t nPremier = stOrg.anDest[0];
                // The library scans all its copies for one to reuse.
                nTravail += int64_t(m_tabN.size() - m_nOriginaux);
                auto it = m_mapCopies.find(_nCle(m_tabN[size_t(nPremier)].nOrigine, w));
                if (it == m_mapCopies.end()) {
                    const int32_t nCopiePremier = _nCopie(nPremier, w, nTravail);
                    _Lie(nCopie, nCopiePremier);
                    tabSuites.push_back({nOrg, nCopie, w, true});
                    tabSuites.push_back({nPremier, nCopiePremier, w, false});
                    break;
                }
                _Lie(nCopie, it->second);
                const int32_t nSecond = stOrg.anDest[1];
                const int32_t nCopieSecond = _nCopie(nSecond, w, nTravail);
                _Lie(nCopie, nCopieSecond);
                nOrg = nSecond;
                nCopie = nCopieSecond;
            }
        }
        return true;
    }

    // The closure being built at each depth of the walk: kept from one call
    // to the next, so that the merges reuse their memory (a deque, so that
    // going deeper moves none of them).
    std::vector<int32_t>& _tabNiveau(int nProfondeur) {
        while (m_tabNiveaux.size() <= size_t(nProfondeur)) m_tabNiveaux.emplace_back();
        return m_tabNiveaux[size_t(nProfondeur)];
    }

    // m_tabEtat: 0 not done, -1 being computed, 1 done. A finished closure
    // is kept in m_tabFermetures, an unfinished one is left in the buffer of
    // its depth for the caller.
    bool _bItere(int32_t nNoeud, bool bRacine, int64_t& nTravail, int nProfondeur) {
        if (++nTravail > m_nMax || nProfondeur > k_nProfondeurMax) return false;
        m_tabEtat[size_t(nNoeud)] = -1;
        bool bIncomplet = false;
        {
            const STCopie& st = m_tabN[size_t(nNoeud)];
            if (st.wContrainte != 0 && st.nDest > 0 && !m_tabN[size_t(st.anDest[0])].bDuplique &&
                !_bCopieSuite(nNoeud, nTravail))
                return false;
        }
        std::vector<int32_t>& tab = _tabNiveau(nProfondeur);
        tab.assign(1, nNoeud);
        const STCopie st = m_tabN[size_t(nNoeud)];
        for (int32_t d = 0; st.bEpsilon && d < st.nDest; ++d) {
            const int32_t nDest = st.anDest[d];
            if (m_tabEtat[size_t(nDest)] == -1) {
                bIncomplet = true;
                continue;
            }
            if (m_tabEtat[size_t(nDest)] == 0 && !_bItere(nDest, false, nTravail, nProfondeur + 1)) return false;
            const std::vector<int32_t>& tabS =
                m_tabEtat[size_t(nDest)] == 1 ? m_tabFermetures[size_t(nDest)] : m_tabNiveaux[size_t(nProfondeur) + 1];
            nTravail += int64_t(tabS.size() + tab.size());
            if (nTravail > m_nMax) return false;
            m_tabFusion.clear();
            m_tabFusion.reserve(tab.size() + tabS.size());
            std::set_union(tab.begin(), tab.end(), tabS.begin(), tabS.end(), std::back_inserter(m_tabFusion));
            tab.swap(m_tabFusion);
            if (m_tabEtat[size_t(nDest)] == 0) bIncomplet = true;
        }
        if (bIncomplet && !bRacine) {
            m_tabEtat[size_t(nNoeud)] = 0;
        } else {
            m_tabEtat[size_t(nNoeud)] = 1;
            m_tabFermetures[size_t(nNoeud)].assign(tab.begin(), tab.end());
        }
        return true;
    }

    size_t m_nOriginaux;
    int64_t m_nMax;
    std::vector<STCopie> m_tabN;
    std::vector<std::vector<int32_t>> m_tabFermetures;
    std::vector<int8_t> m_tabEtat;
    std::unordered_map<uint64_t, int32_t> m_mapCopies;   // (origin, condition) -> a copy
    std::deque<std::vector<int32_t>> m_tabNiveaux;
    std::vector<int32_t> m_tabFusion;
};

}  // namespace

bool bEstimeTaille(CAutomate& clA) {
    const std::vector<STNoeud>& tab = clA.m_tabNoeuds;
    const bool bInverse = (clA.m_nGroupes > 0 && clA.m_bPluriel) || clA.m_nRenvois > 0;
    // The library's closures, computed its way: a closure met while being
    // computed (a loop of empty ways) leaves the ones around it unfinished,
    // and those are computed again each time they are needed, then again
    // from the start until all are finished; each assertion has what
    // follows it copied. Nested loops make that work grow exponentially: it
    // is counted as it is done, then what the library keeps is added.
    CFermetures clF(tab, k_nTravailMax);
    int64_t nTravail = 0;
    if (!clF.bCalcule(nTravail)) return false;
    int64_t nTotal = 0;
    for (size_t i = 0; i < clF.nNoeuds(); ++i) {
        nTotal += 1 + int64_t(clF.nTaille(i)) * (bInverse ? 2 : 1);
        if (nTotal > k_nTailleMax) return false;
    }
    clA.m_nTaille = nTotal;
    return true;
}

}  // namespace regexp
