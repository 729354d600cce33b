// The table view over a host table: which rows and columns an export
// writes, in which order, and the walk over the rows.
#include "misc/table.h"

#include <algorithm>

CTableMorvel::CTableMorvel(IObjetAPCode* piObjet, bool bColonnesCachees, bool bTitres, bool bValeurAffichee)
    : m_piObjet(piObjet), m_bColonnesCachees(bColonnesCachees), m_bTitres(bTitres), m_bValeurAffichee(bValeurAffichee) {
    // Room for a screenful of rows and columns before the first growth.
    m_tabLignes.reserve(30);
    m_tabColonnes.reserve(30);
}

bool CTableMorvel::bInit(CXError* pclErreur) {
    m_piTable = nullptr;
    m_tabLignes.clear();
    m_tabColonnes.clear();
    m_nLignes = m_nPremiere = 0;
    if (m_piObjet == nullptr || !OBJAP_bEstTable(m_piObjet->nGetTypeObjet())) return false;
    ITableAPCode* piTable = m_piObjet->piGetTable();
    if (piTable == nullptr) return false;

    int32_t nLignes = 0, nColonnes = 0;
    if (!piTable->bGetDimensions(&nLignes, &nColonnes, pclErreur)) return false;
    // Counts below zero from the host mean an empty table, not a huge one.
    nLignes = std::max<int32_t>(nLignes, 0);
    nColonnes = std::max<int32_t>(nColonnes, 0);

    // Columns: the shown ones (all on request), then in their screen order
    // when asked; columns sharing a place keep their declared order.
    std::vector<int32_t> tabPositions;
    for (int32_t i = 0; i < nColonnes; ++i) {
        CAny clTitre;
        STColonneAPCode stColonne{1, i};
        if (!piTable->bGetColonne(i, &clTitre, &stColonne, pclErreur)) return false;
        if (!stColonne.bVisible && !m_bColonnesCachees) continue;
        m_tabColonnes.push_back(i);
        tabPositions.push_back(stColonne.nPosition);
    }
    if (m_bOrdreAffichage) {
        std::vector<size_t> tabOrdre(m_tabColonnes.size());
        for (size_t i = 0; i < tabOrdre.size(); ++i) tabOrdre[i] = i;
        std::stable_sort(tabOrdre.begin(), tabOrdre.end(),
                         [&](size_t a, size_t b) { return tabPositions[a] < tabPositions[b]; });
        std::vector<int32_t> tabTriees;
        tabTriees.reserve(tabOrdre.size());
        for (size_t i : tabOrdre) tabTriees.push_back(m_tabColonnes[i]);
        m_tabColonnes.swap(tabTriees);
    }

    if (m_bLignesSelectionnees) {
        for (int32_t i = 0; i < nLignes; ++i)
            if (piTable->bLigneSelectionnee(i)) m_tabLignes.push_back(i);
        m_nLignes = static_cast<int>(m_tabLignes.size());
    } else {
        m_nLignes = nLignes;
    }
    m_piTable = piTable;
    return true;
}

bool CTableMorvel::bSetPremiereLigne(int nLigne) {
    if (nLigne < 1 || nLigne > m_nLignes) {
        m_nPremiere = m_nLignes;
        return false;
    }
    m_nPremiere = nLigne - 1;
    return true;
}

bool CTableMorvel::bInitParcours() {
    m_bEnParcours = false;
    if (m_piTable == nullptr) return false;
    m_nCourante = m_bTitres ? -1 : m_nPremiere;
    if (!m_bTitres && m_nCourante >= m_nLignes) return false;
    m_bEnParcours = true;
    return true;
}

bool CTableMorvel::bParcoursLigneSuivante() {
    if (!m_bEnParcours) return false;
    // From the title line the walk goes to the first row to write.
    m_nCourante = m_nCourante < 0 ? m_nPremiere : m_nCourante + 1;
    if (m_nCourante >= m_nLignes) {
        m_bEnParcours = false;
        return false;
    }
    return true;
}

bool CTableMorvel::GetTitreColonne(int nColonne, CZNDSTR& sTitre) {
    sTitre.Vide();
    if (m_piTable == nullptr || nColonne < 0 || nColonne >= nNombreColonne()) return true;
    CAny clTitre;
    STColonneAPCode stColonne{1, 0};
    // A title the host cannot give is written empty: the line keeps its
    // columns in place.
    CXError clErreur;
    if (!m_piTable->bGetColonne(m_tabColonnes[static_cast<size_t>(nColonne)], &clTitre, &stColonne, &clErreur))
        return true;
    return s_bValeurVersTexte(clTitre, sTitre);
}

bool CTableMorvel::bDonneValeurCelluleLigneCourante(int nColonne, CAny& clValeur, CXError* pclErreur) {
    clValeur.Vide();
    if (m_piTable == nullptr || !m_bEnParcours || m_nCourante < 0 || m_nCourante >= m_nLignes || nColonne < 0 ||
        nColonne >= nNombreColonne())
        return false;
    const uint32_t dwOptions = m_bValeurAffichee ? TABAP_VALEUR_AFFICHEE : 0;
    return m_piTable->bGetCellule(nLigneHote(m_nCourante), m_tabColonnes[static_cast<size_t>(nColonne)], dwOptions,
                                  &clValeur, pclErreur) != 0;
}

bool CTableMorvel::s_bValeurVersTexte(CAny& clValeur, CZNDSTR& sTexte) {
    sTexte.Vide();
    if (clValeur.nGetType() == ANY_VIDE) return true;
    if (clValeur.nCastTo(ANY_CSTR) > 99 || clValeur.nGetType() != ANY_CSTR) return true;
    const char* psz = static_cast<const char*>(clValeur.pGetPointeur());
    if (psz == nullptr || *psz == '\0') return true;
    return sTexte.nAssign(psz) == 0;
}
