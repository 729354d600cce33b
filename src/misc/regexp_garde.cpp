// bGarde of regexp_moteur.h: the automaton run over the text position by
// position, as sets of the nodes that consume characters, the way the
// library's states are made of them. Like the library, it remembers where
// each set leads on each character, so that a text that keeps to a few
// sets costs one look-up a character; the work of building a set is what
// the step budget counts. What it learns is kept from one check of the
// pattern to the next, as the library keeps its states.
#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>

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
    CGarde(const CAutomate& clA, STMemoireGarde& stM, const unsigned char* pText, int nDebut, int nLongueur)
        : m_clA(clA), m_tab(clA.m_tabNoeuds), m_stM(stM), m_pText(pText), m_nDebut(nDebut), m_nLongueur(nLongueur) {}

    bool bParcourt(int64_t& nEtatsVus, int64_t& nEtatsNouveaux);

private:
    int32_t _nEntrees(std::vector<int32_t>& tab);
    std::pair<int32_t, int32_t> _Transition(int32_t nEntrees, int nPos);
    void _Compte(int32_t nEtat);

    const CAutomate& m_clA;
    const std::vector<STNoeud>& m_tab;
    STMemoireGarde& m_stM;
    const unsigned char* m_pText;
    int m_nDebut, m_nLongueur;
    int64_t m_nPas = 0, m_nEtats = 0, m_nTailles = 0, m_nNouveaux = 0;
    std::vector<int32_t> m_tabPile, m_tabConsomme;
};

int32_t CGarde::_nEntrees(std::vector<int32_t>& tab) {
    std::sort(tab.begin(), tab.end());
    tab.erase(std::unique(tab.begin(), tab.end()), tab.end());
    m_nPas += int64_t(tab.size());
    std::string sCle(reinterpret_cast<const char*>(tab.data()), tab.size() * sizeof(int32_t));
    auto it = m_stM.mapEntrees.find(sCle);
    if (it != m_stM.mapEntrees.end()) return it->second;
    m_stM.nMembres += int64_t(tab.size());
    m_stM.tabEntrees.push_back(tab);
    const int32_t n = int32_t(m_stM.tabEntrees.size() - 1);
    m_stM.mapEntrees.emplace(std::move(sCle), n);
    return n;
}

// A state met in this check: each distinct one counts once against the
// check's bounds.
void CGarde::_Compte(int32_t nEtat) {
    if (m_stM.tabEtatVu[size_t(nEtat)] == m_stM.dwCheck) return;
    m_stM.tabEtatVu[size_t(nEtat)] = m_stM.dwCheck;
    ++m_nEtats;
    m_nTailles += m_stM.tabTailleEtat[size_t(nEtat)];
}

// The closure of an entry set at nPos, as a state; then the entry set after
// the character at nPos (-1: none, -2: the end of the text).
std::pair<int32_t, int32_t> CGarde::_Transition(int32_t nEntrees, int nPos) {
    if (++m_stM.dwNoeud == 0) {
        std::fill(m_stM.tabNoeudVu.begin(), m_stM.tabNoeudVu.end(), 0);
        m_stM.dwNoeud = 1;
    }
    const uint32_t dwMarque = m_stM.dwNoeud;
    std::vector<uint32_t>& tabVu = m_stM.tabNoeudVu;
    const uint16_t wAvant = m_clA.wContexte(m_pText, m_nDebut, m_nLongueur, nPos - 1);
    const uint16_t wApres = m_clA.wContexte(m_pText, m_nDebut, m_nLongueur, nPos);
    m_tabPile.clear();
    m_tabConsomme.clear();
    for (int32_t n : m_stM.tabEntrees[size_t(nEntrees)]) {
        tabVu[size_t(n)] = dwMarque;
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
            if (tabVu[size_t(nDest)] != dwMarque) {
                tabVu[size_t(nDest)] = dwMarque;
                m_tabPile.push_back(nDest);
            }
        }
    }
    const uint64_t nCleEtat = _nMelange(nEmpreinte ^ (uint64_t(m_tabConsomme.size()) << 40));
    auto [itEtat, bNouveau] = m_stM.mapEtats.emplace(nCleEtat, int32_t(m_stM.tabTailleEtat.size()));
    if (bNouveau) {
        ++m_nNouveaux;
        m_stM.tabTailleEtat.push_back(int64_t(m_tabConsomme.size()));
        m_stM.tabEtatVu.push_back(0);
    }
    const int32_t nEtat = itEtat->second;
    if (nPos >= m_nLongueur) return {-2, nEtat};
    std::vector<int32_t> tabSuivantes;
    for (int32_t n : m_tabConsomme) {
        ++m_nPas;
        const STNoeud& st = m_tab[size_t(n)];
        if (st.eType != ENoeud::Fin && st.eType != ENoeud::Renvoi && m_clA.bAccepte(st, m_pText[nPos]))
            tabSuivantes.push_back(st.nSuivant);
    }
    return {tabSuivantes.empty() ? -1 : _nEntrees(tabSuivantes), nEtat};
}

bool CGarde::bParcourt(int64_t& nEtatsVus, int64_t& nEtatsNouveaux) {
    if (m_stM.tabNoeudVu.size() != m_tab.size()) m_stM.tabNoeudVu.assign(m_tab.size(), 0);
    if (++m_stM.dwCheck == 0) {
        std::fill(m_stM.tabEtatVu.begin(), m_stM.tabEtatVu.end(), 0);
        m_stM.dwCheck = 1;
    }
    std::vector<int32_t> tabInitial{m_clA.m_nInitial};
    int32_t nEntrees = _nEntrees(tabInitial);
    // With groups the library then goes back over every position to set
    // the registers, at a cost that grows with the set there.
    const int64_t nPoidsRetour = m_clA.m_nGroupes > 0 && m_clA.m_bPluriel ? 3 : 0;
    for (int nPos = m_nDebut; nEntrees >= 0; ++nPos) {
        m_nPas += 1 + nPoidsRetour * int64_t(m_stM.tabEntrees[size_t(nEntrees)].size());
        // The closure depends on the set, the character before (its
        // context) and the character at the position.
        const uint16_t wAvant = m_clA.wContexte(m_pText, m_nDebut, m_nLongueur, nPos - 1);
        const uint64_t nCar = nPos < m_nLongueur ? m_pText[nPos] : 256;
        const uint64_t nCle = (uint64_t(uint32_t(nEntrees)) << 16) | (uint64_t(wAvant) << 9) | nCar;
        auto it = m_stM.mapTransitions.find(nCle);
        if (it == m_stM.mapTransitions.end()) it = m_stM.mapTransitions.emplace(nCle, _Transition(nEntrees, nPos)).first;
        _Compte(it->second.second);
        nEntrees = it->second.first;
        if (m_nPas > k_nPasMax || m_nEtats > k_nEtatsMax || m_nTailles > k_nEtatsTailleMax) return false;
    }
    nEtatsVus = m_nEtats;
    nEtatsNouveaux = m_nNouveaux;
    return true;
}

}  // namespace

bool bGarde(const CAutomate& clA, STMemoireGarde& stMemoire, const unsigned char* pText, int nDebut, int nLongueur,
            int64_t& nEtatsVus, int64_t& nEtatsNouveaux) {
    nEtatsVus = nEtatsNouveaux = 0;
    if (stMemoire.mapTransitions.size() > k_nTransitionsRetenuesMax || stMemoire.nMembres > k_nMembresRetenusMax)
        stMemoire.Vide();
    CGarde cl(clA, stMemoire, pText, nDebut, nLongueur);
    if (cl.bParcourt(nEtatsVus, nEtatsNouveaux)) return true;
    // The library will not build the states this walk has met.
    stMemoire.Vide();
    return false;
}

}  // namespace regexp
