// Page objects of the host as the component reads them, and the services of
// the tables among them (the export of a table as text reads its rows and
// columns through these).
//
// The host hands an object over through bGetObjetAPCodeParametre; the
// object is borrowed for the current call and never released by the
// component. Rows and columns are counted from 0 and columns are named by
// their declared index, whatever their place on screen. Integers are 4-byte
// words on both sides; booleans are 4-byte words, non-zero for true.
#pragma once
#include <cstdint>

class CAny;
class CXError;
class ITableAPCode;

// The two kinds of table among the page objects.
enum eTypeObjetAPCode : int32_t {
    OBJAP_TABLE = 9,
    OBJAP_TABLE_BIS = 11,
};

inline bool OBJAP_bEstTable(int32_t nType) { return nType == OBJAP_TABLE || nType == OBJAP_TABLE_BIS; }

class IObjetAPCode {
public:
    // The object's type (9 and 11 are tables).
    virtual int32_t nGetTypeObjet() = 0;
    // The table services of a table; null for any other object.
    virtual ITableAPCode* piGetTable() = 0;

protected:
    ~IObjetAPCode() = default;
};

// What a column shows besides its title.
struct STColonneAPCode {
    int32_t bVisible;    // shown on screen (hidden columns are exported only on request)
    int32_t nPosition;   // place on screen, from 0 at the left
};

// Options of a cell read. VALEUR_AFFICHEE: the caller wants the cell as the
// table shows it; what that means (a mask applied, a stored value put
// into words) is the host's.
constexpr uint32_t TABAP_VALEUR_AFFICHEE = 0x1;

class ITableAPCode {
public:
    // Numbers of rows and columns. 0 with the error filled when the host
    // cannot read the table.
    virtual int bGetDimensions(int32_t* pnLignes, int32_t* pnColonnes, CXError* pclErreur) = 0;
    // Column nColonne: its title (a variant the component made: usually a
    // text, converted by the component) and how it shows.
    virtual int bGetColonne(int32_t nColonne, CAny* pclTitre, STColonneAPCode* pstColonne, CXError* pclErreur) = 0;
    // Whether row nLigne is selected.
    virtual int bLigneSelectionnee(int32_t nLigne) = 0;
    // The cell at row nLigne, column nColonne; an absent value is the empty
    // variant. 0 when the host cannot give it.
    virtual int bGetCellule(int32_t nLigne, int32_t nColonne, uint32_t dwOptions, CAny* pclValeur,
                            CXError* pclErreur) = 0;

protected:
    ~ITableAPCode() = default;
};
