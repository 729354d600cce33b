// nRenvoi of regexp_moteur.h: the back-reference matcher, also the bounded
// replay of the library for repetitions of what can match nothing.
//
// For a candidate end of match L it first marks, position by position from
// L back to the start, the nodes from which the end can still be reached
// (a back-reference is assumed to match any text its group could have
// matched by length); the library keeps the same kind of pruned states.
// Then it walks from the first node as the library sets its registers:
// at a fork the first destination in node order that is still alive is
// taken and the other is kept for backtracking (as the library keeps it
// only with back-references and alternatives); a destination already
// passed since the last character consumed is skipped in favour of the
// other; back-references compare the text captured so far. Every step and
// every byte kept counts against the budget.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>

#include "misc/regexp_moteur.h"

namespace regexp {

namespace {

class CRenvoi {
public:
    CRenvoi(const CAutomate& clA, const unsigned char* pText, int nDebut, int nLongueur)
        : m_clA(clA), m_tab(clA.m_tabNoeuds), m_pText(pText), m_nDebut(nDebut), m_nLongueur(nLongueur),
          m_nRegs(clA.m_nGroupes + 1), m_bRetour(clA.m_bPluriel && clA.m_nRenvois > 0) {
        m_tabInverse.resize(m_tab.size());
        m_tabInverseVide.resize(m_tab.size());
        m_tabSurveille.assign(m_tab.size(), false);
        for (size_t i = 0; i < m_tab.size(); ++i) {
            const STNoeud& st = m_tab[i];
            if (st.eType == ENoeud::Renvoi) {
                m_tabSurveille[size_t(st.nSuivant)] = true;
                if (clA.m_tabLongueurMin[size_t(st.nValeur)] == 0)
                    m_tabInverseVide[size_t(st.nSuivant)].push_back(int32_t(i));
            } else if (_bEpsilon(st)) {
                for (int32_t d = 0; d < st.nDest; ++d) m_tabInverse[size_t(st.anDest[d])].push_back(int32_t(i));
            }
        }
    }

    // Match ending exactly at nFin; 1 found, 0 not, -1 limit.
    int nEssaie(int nFin, std::vector<int32_t>& tabDebut, std::vector<int32_t>& tabFin);
    // Positions where a match may end, from the last; false past the budget.
    bool bFinsPossibles(std::vector<int32_t>& tabFins);

private:
    struct STEchec {
        int32_t nPos, nNoeud;
        std::vector<int32_t> tabRegs;   // registers, then the previous registers
        std::vector<uint64_t> tabVia;
    };

    static bool _bEpsilon(const STNoeud& st) {
        return st.eType == ENoeud::Alterne || st.eType == ENoeud::Etoile || st.eType == ENoeud::Ouvre ||
               st.eType == ENoeud::Ferme || st.eType == ENoeud::Ancre;
    }
    bool _bVivant(int nPos, int32_t nNoeud) const {
        if (nPos < m_nDebut || nPos > m_nFin) return false;
        const uint64_t* p = m_tabBits.data() + size_t(nPos - m_nDebut) * m_nMots;
        return (p[size_t(nNoeud) >> 6] >> (nNoeud & 63)) & 1;
    }
    bool _bMarque(int nPos, int32_t nNoeud) {
        uint64_t* p = m_tabBits.data() + size_t(nPos - m_nDebut) * m_nMots;
        uint64_t& w = p[size_t(nNoeud) >> 6];
        const uint64_t nBit = uint64_t(1) << (nNoeud & 63);
        if (w & nBit) return false;
        w |= nBit;
        return true;
    }
    bool _bCompte(int64_t nPas = 1) {
        m_nPas += nPas;
        return m_nPas <= k_nPasMax && m_nOctets <= k_nOctetsMax;
    }
    bool _bVivants(int nFin);
    int _nParcours(bool bStrict, std::vector<int32_t>& tabRegs, bool& bNormal);
    uint64_t _nCle(int32_t nNoeud, const std::vector<int32_t>& tabRegs) const;
    int32_t _nSuivant(int& nPos, int32_t nNoeud, std::vector<int32_t>& tabRegs, std::vector<int32_t>& tabPrec,
                      std::vector<uint64_t>& tabVia, std::vector<STEchec>* pPile);
    void _MajRegs(int32_t nNoeud, int nPos, std::vector<int32_t>& tabRegs, std::vector<int32_t>& tabPrec) const;

    const CAutomate& m_clA;
    const std::vector<STNoeud>& m_tab;
    const unsigned char* m_pText;
    int m_nDebut, m_nLongueur, m_nFin = 0;
    int m_nRegs;
    bool m_bRetour;
    std::vector<std::vector<int32_t>> m_tabInverse, m_tabInverseVide;
    std::vector<bool> m_tabSurveille;
    std::vector<uint64_t> m_tabBits;
    size_t m_nMots = 0;
    int64_t m_nPas = 0, m_nOctets = 0;
    bool m_bStrict = false;
};

// Marks the nodes from which the end at nFin can be reached; false past
// the budget.
bool CRenvoi::_bVivants(int nFin) {
    m_nFin = nFin;
    m_nMots = (m_tab.size() + 63) / 64;
    const size_t nLignes = size_t(nFin - m_nDebut + 1);
    const int64_t nOctets = int64_t(nLignes) * int64_t(m_nMots) * 8;
    if (nOctets > k_nOctetsMax) return false;
    m_tabBits.assign(nLignes * m_nMots, 0);
    m_nOctets = nOctets;
    // Positions, from the last, at which each node following a
    // back-reference is alive.
    std::vector<std::vector<int32_t>> tabPositions(m_tab.size());
    std::vector<int32_t> tabPile;
    for (int nPos = nFin; nPos >= m_nDebut; --nPos) {
        const uint16_t wAvant = m_clA.wContexte(m_pText, m_nDebut, m_nLongueur, nPos - 1);
        const uint16_t wApres = m_clA.wContexte(m_pText, m_nDebut, m_nLongueur, nPos);
        tabPile.clear();
        auto graine = [&](int32_t n) {
            if (_bMarque(nPos, n)) tabPile.push_back(n);
        };
        if (nPos == nFin) graine(m_clA.m_nFin);
        for (size_t i = 0; i < m_tab.size(); ++i) {
            const STNoeud& st = m_tab[i];
            if (st.eType == ENoeud::Renvoi) {
                const int nGroupe = st.nValeur;
                const int nMin = std::max(1, int(m_clA.m_tabLongueurMin[size_t(nGroupe)]));
                const int nMax = m_clA.m_tabLongueurMax[size_t(nGroupe)];
                const std::vector<int32_t>& tabP = tabPositions[size_t(st.nSuivant)];
                // tabP is in decreasing order: the positions not below
                // nPos + nMin come first, the nearest one last among them.
                int nTrouve = -1;
                auto it = std::upper_bound(tabP.begin(), tabP.end(), nPos + nMin - 1, std::greater<int32_t>());
                if (it != tabP.begin()) nTrouve = *(it - 1);
                if (nTrouve >= 0 && (nMax < 0 || nTrouve <= nPos + nMax)) graine(int32_t(i));
            } else if (st.eType != ENoeud::Fin && !_bEpsilon(st) && nPos < nFin &&
                       m_clA.bAccepte(st, m_pText[nPos]) && _bVivant(nPos + 1, st.nSuivant)) {
                graine(int32_t(i));
            }
        }
        if (!_bCompte(int64_t(m_tab.size()))) return false;
        while (!tabPile.empty()) {
            const int32_t n = tabPile.back();
            tabPile.pop_back();
            if (!_bCompte()) return false;
            for (int32_t nPred : m_tabInverse[size_t(n)]) {
                const STNoeud& st = m_tab[size_t(nPred)];
                if (st.eType == ENoeud::Ancre && !CAutomate::bSatisfait(st.wContrainte, wAvant, wApres)) continue;
                if (_bMarque(nPos, nPred)) tabPile.push_back(nPred);
            }
            for (int32_t nPred : m_tabInverseVide[size_t(n)])
                if (_bMarque(nPos, nPred)) tabPile.push_back(nPred);
        }
        for (size_t i = 0; i < m_tab.size(); ++i) {
            if (m_tabSurveille[i] && _bVivant(nPos, int32_t(i))) {
                tabPositions[i].push_back(nPos);
                m_nOctets += 4;
            }
        }
    }
    return _bCompte();
}

// The library's register update at each node of the walk: an empty pass
// through an optional group restores the registers of the last non-empty
// one (so "(a?)*" keeps the last "a"). The exhaustive search keeps the plain
// last capture, as the library's search for the end of the match does.
void CRenvoi::_MajRegs(int32_t nNoeud, int nPos, std::vector<int32_t>& tabRegs, std::vector<int32_t>& tabPrec) const {
    const STNoeud& st = m_tab[size_t(nNoeud)];
    if (st.eType != ENoeud::Ouvre && st.eType != ENoeud::Ferme) return;
    const size_t nReg = size_t(st.nValeur + 1);
    if (nReg >= size_t(m_nRegs)) return;
    if (st.eType == ENoeud::Ouvre) {
        tabRegs[2 * nReg] = nPos;
        tabRegs[2 * nReg + 1] = -1;
    } else if (m_bStrict) {
        tabRegs[2 * nReg + 1] = nPos;
    } else if (tabRegs[2 * nReg] < nPos) {
        tabRegs[2 * nReg + 1] = nPos;
        tabPrec = tabRegs;
    } else if (st.bOptionnel && tabPrec[2 * nReg] != -1) {
        tabRegs = tabPrec;
    } else {
        tabRegs[2 * nReg + 1] = nPos;
    }
}

// What marks a node as passed since the last character: the node itself for
// the library's walk; the node with the registers for the exhaustive search,
// where passing a loop again with other registers is a different path.
uint64_t CRenvoi::_nCle(int32_t nNoeud, const std::vector<int32_t>& tabRegs) const {
    if (!m_bStrict) return uint64_t(uint32_t(nNoeud));
    uint64_t n = uint64_t(uint32_t(nNoeud)) * 0x9E3779B97F4A7C15ULL;
    for (int32_t r : tabRegs) n = (n ^ uint64_t(uint32_t(r))) * 0x100000001B3ULL;
    return n;
}

// One step of the walk from nNoeud: the next node, -1 on a dead end, -2
// past the budget.
int32_t CRenvoi::_nSuivant(int& nPos, int32_t nNoeud, std::vector<int32_t>& tabRegs, std::vector<int32_t>& tabPrec,
                           std::vector<uint64_t>& tabVia, std::vector<STEchec>* pPile) {
    const STNoeud& st = m_tab[size_t(nNoeud)];
    auto via = [&](uint64_t n) { return std::find(tabVia.begin(), tabVia.end(), n) != tabVia.end(); };
    auto empile = [&](int32_t nDest) {
        if (pPile == nullptr) return true;
        STEchec stE{nPos, nDest, tabRegs, tabVia};
        stE.tabRegs.insert(stE.tabRegs.end(), tabPrec.begin(), tabPrec.end());
        m_nOctets += int64_t(sizeof(STEchec) + 4 * stE.tabRegs.size() + 8 * stE.tabVia.size());
        pPile->push_back(std::move(stE));
        return _bCompte();
    };
    if (_bEpsilon(st)) {
        if (!m_bStrict && !via(_nCle(nNoeud, tabRegs))) {
            tabVia.push_back(_nCle(nNoeud, tabRegs));
            m_nOctets += 8;
        }
        int32_t nDest = -1;
        for (int32_t d = 0; d < st.nDest; ++d) {
            const int32_t nCandidat = st.anDest[d];
            if (!_bVivant(nPos, nCandidat)) continue;
            if (m_bStrict && via(_nCle(nCandidat, tabRegs))) continue;   // a loop that changed nothing
            if (nDest == -1) {
                nDest = nCandidat;
            } else {
                // A destination already passed at this position gives way.
                if (!m_bStrict && via(_nCle(nDest, tabRegs))) return nCandidat;
                if (!empile(nCandidat)) return -2;
                break;
            }
        }
        return nDest;
    }
    int nAccepte = 0;
    if (st.eType == ENoeud::Renvoi) {
        const size_t nReg = size_t(st.nValeur + 1);
        const int nDe = nReg < size_t(m_nRegs) ? tabRegs[2 * nReg] : -1;
        const int nA = nReg < size_t(m_nRegs) ? tabRegs[2 * nReg + 1] : -1;
        if (nDe == -1 || nA == -1 || nA < nDe) {
            // Without backtracking the library takes an unset group as empty.
            if (pPile != nullptr || nDe != nA) return -1;
        } else {
            nAccepte = nA - nDe;
        }
        if (nAccepte > 0) {
            if (m_nFin - nPos < nAccepte || std::memcmp(m_pText + nDe, m_pText + nPos, size_t(nAccepte)) != 0)
                return -1;
            if (!_bCompte(nAccepte / 64)) return -2;
        } else {
            if (!m_bStrict) tabVia.push_back(_nCle(nNoeud, tabRegs));
            const int32_t nDest = st.anDest[0];
            if (m_bStrict && via(_nCle(nDest, tabRegs))) return -1;   // an empty loop
            return _bVivant(nPos, nDest) ? nDest : -1;
        }
    } else if (st.eType == ENoeud::Fin || nPos >= m_nFin || !m_clA.bAccepte(st, m_pText[nPos])) {
        return -1;
    }
    const int32_t nDest = st.nSuivant;
    nPos += nAccepte == 0 ? 1 : nAccepte;
    if (nPos > m_nFin || !_bVivant(nPos, nDest)) return -1;
    tabVia.clear();
    return nDest;
}

// The library's walk (bStrict: an exhaustive search for any path instead,
// used to confirm a walk that stopped on a loop). 1 found, 0 not, -1 limit;
// bNormal tells whether the walk ended on the end node.
int CRenvoi::_nParcours(bool bStrict, std::vector<int32_t>& tabRegs, bool& bNormal) {
    m_bStrict = bStrict;
    std::vector<STEchec> tabPile;
    std::vector<STEchec>* pPile = m_bRetour || bStrict ? &tabPile : nullptr;
    tabRegs.assign(size_t(2 * m_nRegs), -1);
    tabRegs[0] = m_nDebut;
    tabRegs[1] = m_nFin;
    std::vector<int32_t> tabPrec = tabRegs;
    std::vector<uint64_t> tabVia;
    const int64_t nOctetsBase = m_nOctets;
    auto depile = [&](int& nPos) -> int32_t {
        if (pPile == nullptr || tabPile.empty()) return -1;
        STEchec& stE = tabPile.back();
        nPos = stE.nPos;
        const int32_t nNoeud = stE.nNoeud;
        tabRegs.assign(stE.tabRegs.begin(), stE.tabRegs.begin() + 2 * m_nRegs);
        tabPrec.assign(stE.tabRegs.begin() + 2 * m_nRegs, stE.tabRegs.end());
        tabVia = std::move(stE.tabVia);
        tabPile.pop_back();
        return nNoeud;
    };
    int nPos = m_nDebut;
    int32_t nNoeud = m_clA.m_nInitial;
    if (!_bVivant(nPos, nNoeud)) return 0;
    // Without backtracking or back-references, each step at a position
    // depends only on the node and the nodes passed there: once more steps
    // than nodes go by with no character consumed and nothing newly passed,
    // the walk is in a loop the library would never leave.
    const bool bCycleVisible = pPile == nullptr && !m_clA.bContientRenvoi();
    int nPosCycle = -1;
    size_t nViaCycle = 0, nPasCycle = 0;
    while (nPos <= m_nFin) {
        if (!_bCompte()) return -1;
        if (bCycleVisible) {
            if (nPos != nPosCycle || tabVia.size() != nViaCycle) {
                nPosCycle = nPos;
                nViaCycle = tabVia.size();
                nPasCycle = 0;
            } else if (++nPasCycle > m_tab.size()) {
                return -1;
            }
        }
        if (bStrict && (_bEpsilon(m_tab[size_t(nNoeud)]) || m_tab[size_t(nNoeud)].eType == ENoeud::Renvoi))
            tabVia.push_back(_nCle(nNoeud, tabRegs));
        _MajRegs(nNoeud, nPos, tabRegs, tabPrec);
        const bool bFinNormale = nPos == m_nFin && nNoeud == m_clA.m_nFin;
        const bool bBoucle = !bStrict && pPile != nullptr &&
                             std::find(tabVia.begin(), tabVia.end(), _nCle(nNoeud, tabRegs)) != tabVia.end();
        if (bFinNormale || bBoucle) {
            nNoeud = -1;
            if (pPile != nullptr) {
                for (int r = 0; r < m_nRegs; ++r) {
                    if (tabRegs[size_t(2 * r)] > -1 && tabRegs[size_t(2 * r + 1)] == -1) {
                        nNoeud = depile(nPos);
                        break;
                    }
                }
            }
            if (nNoeud < 0) {
                bNormal = bFinNormale;
                m_nOctets = nOctetsBase;
                return 1;
            }
        }
        nNoeud = _nSuivant(nPos, nNoeud, tabRegs, tabPrec, tabVia, pPile);
        if (nNoeud == -2) return -1;
        if (nNoeud < 0) {
            nNoeud = depile(nPos);
            if (nNoeud < 0) {
                m_nOctets = nOctetsBase;
                return 0;
            }
        }
    }
    m_nOctets = nOctetsBase;
    return 0;
}

// The ends of match a forward walk allows when back-references may match
// any text of their group's length: only these are tried.
bool CRenvoi::bFinsPossibles(std::vector<int32_t>& tabFins) {
    tabFins.clear();
    const size_t nNoeuds = m_tab.size();
    std::vector<uint32_t> tabVu(nNoeuds, 0);
    // Nodes that back-references make alive at later positions: finite
    // lengths by position, unbounded ones from a position on.
    std::vector<std::vector<int32_t>> tabAVenir;
    std::vector<int> tabDepuis(nNoeuds, INT32_MAX);
    std::vector<int32_t> tabToujours;
    std::vector<int32_t> tabEntrees{m_clA.m_nInitial}, tabSuivantes, tabPile;
    for (int nPos = m_nDebut; nPos <= m_nLongueur; ++nPos) {
        const uint16_t wAvant = m_clA.wContexte(m_pText, m_nDebut, m_nLongueur, nPos - 1);
        const uint16_t wApres = m_clA.wContexte(m_pText, m_nDebut, m_nLongueur, nPos);
        const uint32_t dwMarque = uint32_t(nPos - m_nDebut + 1);
        const size_t nDecalage = size_t(nPos - m_nDebut);
        if (nDecalage < tabAVenir.size()) {
            tabEntrees.insert(tabEntrees.end(), tabAVenir[nDecalage].begin(), tabAVenir[nDecalage].end());
            std::vector<int32_t>().swap(tabAVenir[nDecalage]);
        }
        for (int32_t n : tabToujours)
            if (tabDepuis[size_t(n)] <= nPos) tabEntrees.push_back(n);
        tabPile.clear();
        for (int32_t n : tabEntrees) {
            if (tabVu[size_t(n)] != dwMarque) {
                tabVu[size_t(n)] = dwMarque;
                tabPile.push_back(n);
            }
        }
        tabSuivantes.clear();
        bool bFin = false;
        while (!tabPile.empty()) {
            const int32_t n = tabPile.back();
            tabPile.pop_back();
            if (!_bCompte()) return false;
            const STNoeud& st = m_tab[size_t(n)];
            auto pousse = [&](int32_t nDest) {
                if (tabVu[size_t(nDest)] != dwMarque) {
                    tabVu[size_t(nDest)] = dwMarque;
                    tabPile.push_back(nDest);
                }
            };
            if (st.eType == ENoeud::Fin) {
                bFin = true;
            } else if (st.eType == ENoeud::Renvoi) {
                const int nMin = m_clA.m_tabLongueurMin[size_t(st.nValeur)];
                const int nMax = m_clA.m_tabLongueurMax[size_t(st.nValeur)];
                if (nMin == 0) pousse(st.nSuivant);
                const int nDe = std::max(1, nMin);
                if (nMax < 0) {
                    int& nDepuis = tabDepuis[size_t(st.nSuivant)];
                    if (nDepuis == INT32_MAX) tabToujours.push_back(st.nSuivant);
                    nDepuis = std::min(nDepuis, nPos + nDe);
                } else {
                    for (int k = nDe; k <= nMax && nPos + k <= m_nLongueur; ++k) {
                        const size_t nIndice = size_t(nPos + k - m_nDebut);
                        if (tabAVenir.size() <= nIndice) tabAVenir.resize(nIndice + 1);
                        tabAVenir[nIndice].push_back(st.nSuivant);
                        m_nOctets += 4;
                        if (!_bCompte()) return false;
                    }
                }
            } else if (_bEpsilon(st)) {
                if (st.eType == ENoeud::Ancre && !CAutomate::bSatisfait(st.wContrainte, wAvant, wApres)) continue;
                for (int32_t d = 0; d < st.nDest; ++d) pousse(st.anDest[d]);
            } else if (nPos < m_nLongueur && m_clA.bAccepte(st, m_pText[nPos])) {
                tabSuivantes.push_back(st.nSuivant);
            }
        }
        if (bFin) tabFins.push_back(nPos);
        tabEntrees.swap(tabSuivantes);
        const bool bAVenir = nDecalage + 1 < tabAVenir.size() || !tabToujours.empty();
        if (tabEntrees.empty() && !bAVenir) break;
    }
    std::reverse(tabFins.begin(), tabFins.end());
    return _bCompte();
}

int CRenvoi::nEssaie(int nFin, std::vector<int32_t>& tabDebut, std::vector<int32_t>& tabFin) {
    if (!_bVivants(nFin)) return -1;
    std::vector<int32_t> tabRegs;
    bool bNormal = false;
    int nRes = _nParcours(false, tabRegs, bNormal);
    if (nRes == 1 && !bNormal) {
        // The walk stopped on a loop before the end; the library trusts its
        // states there, we make sure a path exists.
        std::vector<int32_t> tabAutres;
        bool bIgnore = false;
        const int nVerif = _nParcours(true, tabAutres, bIgnore);
        if (nVerif != 1) nRes = nVerif;
    }
    if (nRes != 1) return nRes;
    tabDebut.assign(size_t(m_nRegs) + 1, -1);
    tabFin.assign(size_t(m_nRegs) + 1, -1);
    for (int r = 0; r < m_nRegs; ++r) {
        tabDebut[size_t(r)] = tabRegs[size_t(2 * r)];
        tabFin[size_t(r)] = tabRegs[size_t(2 * r + 1)];
    }
    const std::vector<int32_t>& tabC = m_clA.m_tabCorrespondance;
    for (size_t g = 0; g < tabC.size(); ++g) {
        if (tabC[g] != int32_t(g)) {
            tabDebut[g + 1] = tabDebut[size_t(tabC[g]) + 1];
            tabFin[g + 1] = tabFin[size_t(tabC[g]) + 1];
        }
    }
    return 1;
}

}  // namespace

int nRenvoi(const CAutomate& clA, const unsigned char* pText, int nDebut, int nLongueur, bool bEntier,
            std::vector<int32_t>& tabDebut, std::vector<int32_t>& tabFin) {
    CRenvoi cl(clA, pText, nDebut, nLongueur);
    std::vector<int32_t> tabFins{nLongueur};
    if (!bEntier && !cl.bFinsPossibles(tabFins)) return k_nLimiteAtteinte;
    for (int32_t nFin : tabFins) {
        const int nRes = cl.nEssaie(nFin, tabDebut, tabFin);
        if (nRes < 0) return k_nLimiteAtteinte;
        if (nRes == 1) return nFin - nDebut;
    }
    return k_nPasDeCorrespondance;
}

}  // namespace regexp
