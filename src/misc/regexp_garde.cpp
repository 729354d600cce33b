// bGarde of regexp_moteur.h: the automaton run over the text position by
// position, as sets of the nodes that consume characters, the way the
// library's states are made of them.
#include <unordered_set>

#include "misc/regexp_moteur.h"

namespace regexp {

namespace {

// Order-independent hash of a set of nodes: the library's state is the set,
// whatever the order in which its nodes were reached.
uint64_t _nMelange(uint64_t n) {
    n ^= n >> 33;
    n *= 0xff51afd7ed558ccdULL;
    n ^= n >> 33;
    n *= 0xc4ceb9fe1a85ec53ULL;
    n ^= n >> 33;
    return n;
}

}  // namespace

bool bGarde(const CAutomate& clA, const unsigned char* pText, int nDebut, int nLongueur, int64_t& nEtats) {
    nEtats = 0;
    const std::vector<STNoeud>& tab = clA.m_tabNoeuds;
    std::vector<uint32_t> tabVu(tab.size(), 0);
    std::vector<int32_t> tabEntrees{clA.m_nInitial}, tabPile, tabConsomme;
    std::unordered_set<uint64_t> setEtats;
    int64_t nPas = 0, nTailles = 0;
    uint32_t dwMarque = 0;
    for (int nPos = nDebut;; ++nPos) {
        ++dwMarque;
        const uint16_t wAvant = clA.wContexte(pText, nDebut, nLongueur, nPos - 1);
        const uint16_t wApres = clA.wContexte(pText, nDebut, nLongueur, nPos);
        tabPile.clear();
        tabConsomme.clear();
        for (int32_t n : tabEntrees) {
            if (tabVu[size_t(n)] != dwMarque) {
                tabVu[size_t(n)] = dwMarque;
                tabPile.push_back(n);
            }
        }
        uint64_t nEmpreinte = wAvant;
        while (!tabPile.empty()) {
            const int32_t n = tabPile.back();
            tabPile.pop_back();
            ++nPas;
            const STNoeud& st = tab[size_t(n)];
            switch (st.eType) {
                case ENoeud::Caractere:
                case ENoeud::Ensemble:
                case ENoeud::Point:
                case ENoeud::Fin:
                case ENoeud::Renvoi:
                    tabConsomme.push_back(n);
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
                    tabPile.push_back(nDest);
                }
            }
        }
        if (setEtats.insert(_nMelange(nEmpreinte ^ (uint64_t(tabConsomme.size()) << 40))).second) {
            ++nEtats;
            nTailles += int64_t(tabConsomme.size());
        }
        if (nPas > k_nPasMax || nEtats > k_nEtatsMax || nTailles > k_nEtatsTailleMax) return false;
        if (nPos >= nLongueur) return true;
        tabEntrees.clear();
        for (int32_t n : tabConsomme) {
            ++nPas;
            const STNoeud& st = tab[size_t(n)];
            if (st.eType != ENoeud::Fin && st.eType != ENoeud::Renvoi && clA.bAccepte(st, pText[nPos]))
                tabEntrees.push_back(st.nSuivant);
        }
        if (tabEntrees.empty()) return true;
    }
}

}  // namespace regexp
