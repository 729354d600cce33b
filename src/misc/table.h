// The table view: a host table seen as the rows and columns an export
// writes. It keeps the rows to walk (every row, or the selected ones) and
// the columns to write (the visible ones or all of them, in declared or
// displayed order), and walks the rows from a first one, the title line
// first when titles are wanted.
#pragma once
#include <cstdint>
#include <vector>

#include "core/any.h"
#include "core/zndstr.h"
#include "qvstd/table.h"
#include "qvstd/xerror.h"

class CTableMorvel {
public:
    // bColonnesCachees: hidden columns are written too; bTitres: a title
    // line comes first; bValeurAffichee: cells are read as the table shows
    // them (the host says what that means).
    CTableMorvel(IObjetAPCode* piObjet, bool bColonnesCachees, bool bTitres, bool bValeurAffichee);
    CTableMorvel(const CTableMorvel&) = delete;
    CTableMorvel& operator=(const CTableMorvel&) = delete;

    void SetLignesSelectionnees(bool b) { m_bLignesSelectionnees = b; }
    void SetOrdreAffichage(bool b) { m_bOrdreAffichage = b; }

    // Reads the rows and the columns from the host. False when the object
    // is no table or the host cannot read it (pclErreur then says why when
    // the host said).
    bool bInit(CXError* pclErreur);
    // The rows the view walks and the columns it writes.
    int nNombreLigne() const { return m_nLignes; }
    int nNombreColonne() const { return static_cast<int>(m_tabColonnes.size()); }
    // The first row to write, counted from 1 among the rows walked; false
    // beyond them (the walk then holds no row).
    bool bSetPremiereLigne(int nLigne);

    // The walk: on the title line first when titles are wanted, then on
    // the first row. False when there is nothing to walk.
    bool bInitParcours();
    // Moves on; false past the last row.
    bool bParcoursLigneSuivante();
    void FinParcours() { m_bEnParcours = false; }

    // Title of the view's column nColonne (from 0) as text; a title that
    // cannot be read or converted gives the empty text. False only when
    // memory runs out.
    bool GetTitreColonne(int nColonne, CZNDSTR& sTitre);
    // The cell of the current row in the view's column nColonne (from 0).
    // False when the walk is not on a row or the host cannot give it.
    bool bDonneValeurCelluleLigneCourante(int nColonne, CAny& clValeur, CXError* pclErreur);

    // A value as text (the host's conversion to an owned ANSI text): an
    // absent or unconvertible value gives the empty text. False only when
    // memory runs out.
    static bool s_bValeurVersTexte(CAny& clValeur, CZNDSTR& sTexte);

private:
    int nLigneHote(int nLigneVue) const {
        return m_bLignesSelectionnees ? m_tabLignes[static_cast<size_t>(nLigneVue)] : nLigneVue;
    }

    IObjetAPCode* m_piObjet;
    ITableAPCode* m_piTable = nullptr;
    bool m_bColonnesCachees;
    bool m_bTitres;
    bool m_bValeurAffichee;
    bool m_bLignesSelectionnees = false;
    bool m_bOrdreAffichage = false;
    int m_nPremiere = 0;     // first row to write, from 0 among the rows walked
    int m_nLignes = 0;       // rows walked
    int m_nCourante = 0;     // row of the walk; -1 is the title line
    bool m_bEnParcours = false;
    // Host rows of the selected rows (only when they are asked for: every
    // row is its own index otherwise), host columns in writing order.
    std::vector<int32_t> m_tabLignes;
    std::vector<int32_t> m_tabColonnes;
};
