// bGarde of regexp_moteur.h: the automaton run over the text position by
// position, as sets of the nodes that consume characters, the way the
// library's states are made of them. Like the library, it remembers where
// each set leads on each character, so that a text that keeps to a few
// sets costs one look-up a character; the work of building a set is what
// the step budget counts.
#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "misc/regexp_moteur.h"

namespace regexp {

namespace {

uint64_t _nMelange(uint64_t n) {
    n ^= n >> 33;
    n *= 0xff51afd7ed558ccdULL;
    n ^= n >> 33;
    n *= 0xc4ceb9fe1a85ec53ULL;
    n ^= n >> 33;
    return n;
}

class CGarde {
public:
    CGarde(const CAutomate& clA, const unsigned char* pText, int nDebut, int nLongueur)
        : m_clA(clA), m_tab(clA.m_tabNoeuds), m_pText(pText), m_nDebut(nDebut), m_nLongueur(nLongueur),
          m_tabVu(clA.m_tabNoeuds.size(), 0) {}

    bool bParcourt(int64_t& nEtats);

private:
    int32_t _nEntrees(std::vector<int32_t>& tab);
    int32_t _nTransition(int32_t nEntrees, int nPos);

    const CAutomate& m_clA;
    const std::vector<STNoeud>& m_tab;
    const unsigned char* m_pText;
    int m_nDebut, m_nLongueur;
    std::vector<uint32_t> m_tabVu;
    uint32_t m_dwMarque = 0;
    // Sets of entry nodes, each under a number.
    std::vector<std::vector<int32_t>> m_tabEntrees;
    std::unordered_map<std::string, int32_t> m_mapEntrees;
    // (entry set, context before, character) -> next entry set, -1 when dead.
    std::unordered_map<uint64_t, int32_t> m_mapTransitions;
    // Consuming sets met, as the library's states.
    std::unordered_set<uint64_t> m_setEtats;
    int64_t m_nPas = 0, m_nEtats = 0, m_nTailles = 0;
    std::vector<int32_t> m_tabPile, m_tabConsomme;
};

int32_t CGarde::_nEntrees(std::vector<int32_t>& tab) {
    std::sort(tab.begin(), tab.end());
    tab.erase(std::unique(tab.begin(), tab.end()), tab.end());
    m_nPas += int64_t(tab.size());
    std::string sCle(reinterpret_cast<const char*>(tab.data()), tab.size() * sizeof(int32_t));
    auto it = m_mapEntrees.find(sCle);
    if (it != m_mapEntrees.end()) return it->second;
    m_tabEntrees.push_back(tab);
    const int32_t n = int32_t(m_tabEntrees.size() - 1);
    m_mapEntrees.emplace(std::move(sCle), n);
    return n;
}

// The closure of an entry set at nPos, counted as a state; then the entry
// set after the character at nPos (-1: none, -2: the end of the text).
int32_t CGarde::_nTransition(int32_t nEntrees, int nPos) {
    ++m_dwMarque;
    const uint16_t wAvant = m_clA.wContexte(m_pText, m_nDebut, m_nLongueur, nPos - 1);
    const uint16_t wApres = m_clA.wContexte(m_pText, m_nDebut, m_nLongueur, nPos);
    m_tabPile.clear();
    m_tabConsomme.clear();
    for (int32_t n : m_tabEntrees[size_t(nEntrees)]) {
        m_tabVu[size_t(n)] = m_dwMarque;
        m_tabPile.push_back(n);
    }
    uint64_t nEmpreinte = wAvant;
    while (!m_tabPile.empty()) {
        const int32_t n = m_tabPile.back();
        m_tabPile.pop_back();
        ++m_nPas;
        const STNoeud& st = m_tab[size_t(n)];
        switch (st.eType) {
            case ENoeud::Caractere:
            case ENoeud::Ensemble:
            case ENoeud::Point:
            case ENoeud::Fin:
            case ENoeud::Renvoi:
                m_tabConsomme.push_back(n);
                nEmpreinte += _nMelange(uint64_t(n) + 1);
                continue;
            case ENoeud::Ancre:
                if (!CAutomate::bSatisfait(st.wContrainte, wAvant, wApres)) continue;
                break;
            default:
                break;
        }
        for (int32_t d = 0; d < st.nDest; ++d) {
            const int32_t nDest = st.anDest[d];
            if (m_tabVu[size_t(nDest)] != m_dwMarque) {
                m_tabVu[size_t(nDest)] = m_dwMarque;
                m_tabPile.push_back(nDest);
            }
        }
    }
    if (m_setEtats.insert(_nMelange(nEmpreinte ^ (uint64_t(m_tabConsomme.size()) << 40))).second) {
        ++m_nEtats;
        m_nTailles += int64_t(m_tabConsomme.size());
    }
    if (nPos >= m_nLongueur) return -2;
    std::vector<int32_t> tabSuivantes;
    for (int32_t n : m_tabConsomme) {
        ++m_nPas;
        const STNoeud& st = m_tab[size_t(n)];
        if (st.eType != ENoeud::Fin && st.eType != ENoeud::Renvoi && m_clA.bAccepte(st, m_pText[nPos]))
            tabSuivantes.push_back(st.nSuivant);
    }
    return tabSuivantes.empty() ? -1 : _nEntrees(tabSuivantes);
}

bool CGarde::bParcourt(int64_t& nEtats) {
    std::vector<int32_t> tabInitial{m_clA.m_nInitial};
    int32_t nEntrees = _nEntrees(tabInitial);
    // With groups the library then goes back over every position to set
    // the registers, at a cost that grows with the set there.
    const int64_t nPoidsRetour = m_clA.m_nGroupes > 0 && m_clA.m_bPluriel ? 3 : 0;
    for (int nPos = m_nDebut; nEntrees >= 0; ++nPos) {
        m_nPas += 1 + nPoidsRetour * int64_t(m_tabEntrees[size_t(nEntrees)].size());
        // The closure depends on the set, the character before (its
        // context) and the character at the position.
        const uint16_t wAvant = m_clA.wContexte(m_pText, m_nDebut, m_nLongueur, nPos - 1);
        const uint64_t nCar = nPos < m_nLongueur ? m_pText[nPos] : 256;
        const uint64_t nCle = (uint64_t(uint32_t(nEntrees)) << 16) | (uint64_t(wAvant) << 9) | nCar;
        auto it = m_mapTransitions.find(nCle);
        if (it != m_mapTransitions.end()) {
            nEntrees = it->second;
        } else {
            nEntrees = _nTransition(nEntrees, nPos);
            m_mapTransitions.emplace(nCle, nEntrees);
        }
        if (m_nPas > k_nPasMax || m_nEtats > k_nEtatsMax || m_nTailles > k_nEtatsTailleMax) return false;
    }
    nEtats = m_nEtats;
    return true;
}

}  // namespace

bool bGarde(const CAutomate& clA, const unsigned char* pText, int nDebut, int nLongueur, int64_t& nEtats) {
    nEtats = 0;
    CGarde cl(clA, pText, nDebut, nLongueur);
    return cl.bParcourt(nEtats);
}

}  // namespace regexp
