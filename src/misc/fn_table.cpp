// TableVersTexte: a host table written as text, one line per row, the
// cells of a row joined by a column separator, the lines by a line
// separator, the column titles first unless asked otherwise.
#include <algorithm>
#include <utility>

#include "misc/functions.h"
#include "misc/table.h"

namespace misc {

namespace {

constexpr int ERR_PAS_TABLE = 80253;
constexpr int ERR_OPTIONS_TABLE = 80254;
constexpr int ERR_MEMOIRE = 80041;

// Options of the table exports.
constexpr uint32_t TAV_SANS_TITRE = 0x01;
constexpr uint32_t TAV_COLONNES_CACHEES = 0x02;
constexpr uint32_t TAV_VALEUR_BRUTE = 0x08;   // the view leaves its "as shown" flag cleared
constexpr uint32_t TAV_LIGNES_SELECTIONNEES = 0x10;
constexpr uint32_t TAV_ORDRE_AFFICHAGE = 0x80;
constexpr uint32_t TAV_OPTIONS_TEXTE = 0x9B;

bool _bValideParamTableVersXXX(CZNLibrary& lib, IObjetAPCode* piObjet, int32_t nOptions, uint32_t dwPermises) {
    if (piObjet == nullptr || !OBJAP_bEstTable(piObjet->nGetTypeObjet())) {
        lib.RaiseError(ERR_PAS_TABLE);
        return false;
    }
    if ((static_cast<uint32_t>(nOptions) & ~dwPermises) != 0) {
        lib.RaiseError(ERR_OPTIONS_TABLE);
        return false;
    }
    return true;
}

// Builds the text; false when the view cannot bind to the host (its error
// is then raised) or memory runs out.
bool _bTableVersTexte(CZNLibrary& lib, IObjetAPCode* piObjet, uint32_t dwOptions, const char* pszSepColonne,
                      const char* pszSepLigne, int32_t nPremiere, int32_t nDerniere, CZNDSTR& sTexte) {
    CTableMorvel clVue(piObjet, (dwOptions & TAV_COLONNES_CACHEES) != 0, (dwOptions & TAV_SANS_TITRE) == 0,
                       (dwOptions & TAV_VALEUR_BRUTE) == 0);
    clVue.SetLignesSelectionnees((dwOptions & TAV_LIGNES_SELECTIONNEES) != 0);
    clVue.SetOrdreAffichage((dwOptions & TAV_ORDRE_AFFICHAGE) != 0);
    CXError* pclErreur = lib.pclGetError();
    if (!clVue.bInit(pclErreur)) {
        // A host that failed without saying why still fails the call.
        if (pclErreur->bIsError())
            lib.RaiseError();
        else
            lib.RaiseError(ERR_PAS_TABLE);
        return false;
    }

    // Bounds: any value below 1 stands for its default (the first or the
    // last row); the two are taken in either order.
    const int nLignes = clVue.nNombreLigne();
    if (nPremiere < 1) nPremiere = 1;
    if (nDerniere < 1) nDerniere = nLignes;
    if (nPremiere > nDerniere) std::swap(nPremiere, nDerniere);
    // A table without rows has its default last row at 0: no row, not a row 0.
    nPremiere = std::max(nPremiere, 1);
    clVue.bSetPremiereLigne(nPremiere);
    nDerniere = std::min(nDerniere, nLignes);

    const int nColonnes = clVue.nNombreColonne();
    if (nColonnes == 0 || !clVue.bInitParcours()) return true;

    bool bOk = true;
    // Every line after the first is preceded by the separator, whatever the
    // lines hold: an empty first line keeps its place.
    bool bLigneEcrite = false;
    CZNDSTR sValeur;
    if ((dwOptions & TAV_SANS_TITRE) == 0) {
        for (int c = 0; c < nColonnes && bOk; ++c) {
            if (c > 0) bOk = sTexte.nConcat(pszSepColonne) == 0;
            bOk = bOk && clVue.GetTitreColonne(c, sValeur) && sTexte.nConcat(sValeur) == 0;
        }
        bLigneEcrite = true;
        if (!clVue.bParcoursLigneSuivante()) nDerniere = 0;
    }
    for (int nLigne = nPremiere; nLigne <= nDerniere && bOk; ++nLigne) {
        if (bLigneEcrite) bOk = sTexte.nConcat(pszSepLigne) == 0;
        bLigneEcrite = true;
        for (int c = 0; c < nColonnes && bOk; ++c) {
            if (c > 0) bOk = sTexte.nConcat(pszSepColonne) == 0;
            CAny clCellule;
            // A cell the host cannot give is written empty, as an absent one.
            CXError clErreurCellule;
            if (bOk && clVue.bDonneValeurCelluleLigneCourante(c, clCellule, &clErreurCellule))
                bOk = CTableMorvel::s_bValeurVersTexte(clCellule, sValeur) && sTexte.nConcat(sValeur) == 0;
        }
        if (!clVue.bParcoursLigneSuivante()) break;
    }
    clVue.FinParcours();
    if (!bOk) {
        sTexte.Vide();
        lib.RaiseError(ERR_MEMOIRE);
    }
    return bOk;
}

}  // namespace

CZNDSTR TableVersTexte(CZNLibrary& lib, IObjetAPCode* piTable, int32_t nOptions, const char* pszSepColonne,
                       const char* pszSepLigne, int32_t nPremiere, int32_t nDerniere) {
    CZNDSTR sTexte;
    if (!_bValideParamTableVersXXX(lib, piTable, nOptions, TAV_OPTIONS_TEXTE)) return sTexte;
    if (!_bTableVersTexte(lib, piTable, static_cast<uint32_t>(nOptions), pszSepColonne, pszSepLigne, nPremiere,
                          nDerniere, sTexte))
        sTexte.Vide();
    return sTexte;
}

// The shorter forms take the defaults of the arguments they leave out.
CZNDSTR TableVersTexte(CZNLibrary& lib, IObjetAPCode* piTable) {
    return TableVersTexte(lib, piTable, 0, "\t", "\r\n", -1, -1);
}
CZNDSTR TableVersTexte(CZNLibrary& lib, IObjetAPCode* piTable, int32_t nOptions) {
    return TableVersTexte(lib, piTable, nOptions, "\t", "\r\n", -1, -1);
}
CZNDSTR TableVersTexte(CZNLibrary& lib, IObjetAPCode* piTable, int32_t nOptions, const char* pszSepColonne) {
    return TableVersTexte(lib, piTable, nOptions, pszSepColonne, "\r\n", -1, -1);
}
CZNDSTR TableVersTexte(CZNLibrary& lib, IObjetAPCode* piTable, int32_t nOptions, const char* pszSepColonne,
                       const char* pszSepLigne) {
    return TableVersTexte(lib, piTable, nOptions, pszSepColonne, pszSepLigne, -1, -1);
}
CZNDSTR TableVersTexte(CZNLibrary& lib, IObjetAPCode* piTable, int32_t nOptions, const char* pszSepColonne,
                       const char* pszSepLigne, int32_t nPremiere) {
    return TableVersTexte(lib, piTable, nOptions, pszSepColonne, pszSepLigne, nPremiere, -1);
}

}  // namespace misc
