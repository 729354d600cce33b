// The host's page objects, as far as this host has any: tables given in
// JSON for an argument of kind obj, which the component reads through the
// object service (bGetObjetAPCodeParametre). The JSON form is written down
// in host/README.md.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "qvstd/table.h"
#include "values.h"

namespace qvhost {

class CTableHote final : public IObjetAPCode, public ITableAPCode {
public:
    // Reads the object under "table"; false with the reason when it is not
    // a table this host can hold.
    bool bLit(const json& jTable, std::string& sErreur);

    // IObjetAPCode
    int32_t nGetTypeObjet() override { return m_nType; }
    ITableAPCode* piGetTable() override { return OBJAP_bEstTable(m_nType) ? this : nullptr; }

    // ITableAPCode
    int bGetDimensions(int32_t* pnLignes, int32_t* pnColonnes, CXError* pclErreur) override;
    int bGetColonne(int32_t nColonne, CAny* pclTitre, STColonneAPCode* pstColonne, CXError* pclErreur) override;
    int bLigneSelectionnee(int32_t nLigne) override;
    int bGetCellule(int32_t nLigne, int32_t nColonne, uint32_t dwOptions, CAny* pclValeur,
                    CXError* pclErreur) override;

private:
    int32_t m_nType = OBJAP_TABLE;
    size_t m_nColonnes = 0;
    std::vector<std::string> m_tabTitres;
    std::vector<std::vector<json>> m_tabLignes;    // short rows: the cells left out are absent
    std::vector<bool> m_tabCachees;
    std::vector<int32_t> m_tabPositions;
    std::vector<bool> m_tabSelectionnees;
    std::vector<std::vector<json>> m_tabAffichage;   // texts as shown, or null
};

// Reads a value given for an argument of kind obj: {"table": {...}}, or
// null for no object. Tagged like the other kinds so that a plain value
// never passes for an object.
bool bConvertitObjet(const json& jValeur, bool bLigneCommande, CArg& clArg, int& nScore, std::string& sErreur);

}  // namespace qvhost
