// Tables given in JSON, read once when the call is prepared (so that a bad
// table is the host's error before the component runs) and served to the
// component as page objects.
#include "table.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "conversion.h"
#include "hostctx.h"

namespace qvhost {

namespace {

// Tags a cell may carry, read as the argument kinds read them.
const std::pair<const char*, eKind> k_tabTagsCellule[] = {{"i8", eKind::I8},   {"uni", eKind::UNI},
                                                         {"bin", eKind::BIN},  {"cur", eKind::CUR},
                                                         {"dur", eKind::DUR},  {"datetime", eKind::DATETIME}};

// A cell is a plain value or a tagged one that reads as its kind.
bool bCelluleValide(const json& j, std::string& sErreur) {
    if (j.is_null() || j.is_boolean() || j.is_number() || j.is_string()) return true;
    if (j.is_object() && j.size() == 1) {
        for (const auto& [psz, eK] : k_tabTagsCellule) {
            if (!j.contains(psz)) continue;
            CArg clEssai;
            int nScore = 0;
            return bConvertit(j, eK, false, eCharset::CP1252, clEssai, nScore, sErreur);
        }
    }
    sErreur = "a cell is null, a boolean, a number, a text or a tagged value: " + ApercuJson(j);
    return false;
}

bool bTableauDe(const json& j, const char* pszCle, size_t nMax, bool (json::*pfnGenre)() const, const char* pszGenre,
                std::string& sErreur) {
    if (!j.is_array()) {
        sErreur = std::string("\"") + pszCle + "\" is an array of " + pszGenre;
        return false;
    }
    if (j.size() > nMax) {
        sErreur = std::string("\"") + pszCle + "\" has " + std::to_string(j.size()) + " entries for " +
                  std::to_string(nMax);
        return false;
    }
    for (const json& e : j) {
        if (!(e.*pfnGenre)()) {
            sErreur = std::string("\"") + pszCle + "\" is an array of " + pszGenre + ": " + ApercuJson(e);
            return false;
        }
    }
    return true;
}

}  // namespace

bool CTableHote::bLit(const json& j, std::string& sErreur) {
    if (!j.is_object()) {
        sErreur = "a table is an object: {\"titles\": [...], \"rows\": [[...], ...]}";
        return false;
    }
    static const char* const k_tabCles[] = {"type", "titles", "rows", "hidden", "order", "selected", "display"};
    for (auto it = j.begin(); it != j.end(); ++it) {
        if (std::none_of(std::begin(k_tabCles), std::end(k_tabCles), [&](const char* psz) { return it.key() == psz; })) {
            sErreur = "unknown key \"" + it.key() + "\" in a table";
            return false;
        }
    }
    if (j.contains("type")) {
        const json& jType = j["type"];
        if (!jType.is_number_integer() || (jType.is_number_unsigned() && jType.get<uint64_t>() > INT32_MAX) ||
            jType.get<int64_t>() < INT32_MIN || jType.get<int64_t>() > INT32_MAX) {
            sErreur = "\"type\" is a 4-byte integer (9 and 11 are tables)";
            return false;
        }
        m_nType = static_cast<int32_t>(jType.get<int64_t>());
    }

    const json jVide = json::array();
    const json& jLignes = j.contains("rows") ? j["rows"] : jVide;
    if (!bTableauDe(jLignes, "rows", INT32_MAX, &json::is_array, "arrays of cells", sErreur)) return false;
    if (j.contains("titles")) {
        if (!bTableauDe(j["titles"], "titles", INT32_MAX, &json::is_string, "texts", sErreur)) return false;
        for (const json& t : j["titles"]) m_tabTitres.push_back(t.get<std::string>());
        m_nColonnes = m_tabTitres.size();
    } else {
        // Without titles the longest row says how many columns there are.
        for (const json& l : jLignes) m_nColonnes = std::max(m_nColonnes, l.size());
        m_tabTitres.assign(m_nColonnes, std::string());
    }
    if (m_nColonnes > INT32_MAX) {
        sErreur = "too many columns";
        return false;
    }
    for (const json& l : jLignes) {
        if (l.size() > m_nColonnes) {
            sErreur = "a row has " + std::to_string(l.size()) + " cells for " + std::to_string(m_nColonnes) + " columns";
            return false;
        }
        for (const json& c : l)
            if (!bCelluleValide(c, sErreur)) return false;
        m_tabLignes.emplace_back(l.begin(), l.end());
    }
    const size_t nLignes = m_tabLignes.size();

    m_tabCachees.assign(m_nColonnes, false);
    if (j.contains("hidden")) {
        if (!bTableauDe(j["hidden"], "hidden", m_nColonnes, &json::is_boolean, "booleans", sErreur)) return false;
        for (size_t i = 0; i < j["hidden"].size(); ++i) m_tabCachees[i] = j["hidden"][i].get<bool>();
    }
    m_tabPositions.resize(m_nColonnes);
    for (size_t i = 0; i < m_nColonnes; ++i) m_tabPositions[i] = static_cast<int32_t>(i);
    if (j.contains("order")) {
        // One place per column, each place once: the screen shows every
        // column somewhere.
        const json& jOrdre = j["order"];
        std::vector<bool> tabPrises(m_nColonnes, false);
        bool bOk = bTableauDe(jOrdre, "order", m_nColonnes, &json::is_number_integer, "integers", sErreur) &&
                   jOrdre.size() == m_nColonnes;
        for (size_t i = 0; bOk && i < jOrdre.size(); ++i) {
            const int64_t n = jOrdre[i].get<int64_t>();
            bOk = n >= 0 && static_cast<uint64_t>(n) < m_nColonnes && !tabPrises[static_cast<size_t>(n)];
            if (bOk) {
                tabPrises[static_cast<size_t>(n)] = true;
                m_tabPositions[i] = static_cast<int32_t>(n);
            }
        }
        if (!bOk) {
            sErreur = "\"order\" gives each column its place on screen, 0 to " + std::to_string(m_nColonnes) +
                      " - 1, each place once";
            return false;
        }
    }
    m_tabSelectionnees.assign(nLignes, false);
    if (j.contains("selected")) {
        if (!bTableauDe(j["selected"], "selected", nLignes, &json::is_boolean, "booleans", sErreur)) return false;
        for (size_t i = 0; i < j["selected"].size(); ++i) m_tabSelectionnees[i] = j["selected"][i].get<bool>();
    }
    if (j.contains("display")) {
        if (!bTableauDe(j["display"], "display", nLignes, &json::is_array, "arrays of texts", sErreur)) return false;
        for (const json& l : j["display"]) {
            for (const json& c : l) {
                if (!c.is_null() && !c.is_string()) {
                    sErreur = "\"display\" holds texts or null: " + ApercuJson(c);
                    return false;
                }
            }
            if (l.size() > m_nColonnes) {
                sErreur = "\"display\" has a row of " + std::to_string(l.size()) + " cells for " +
                          std::to_string(m_nColonnes) + " columns";
                return false;
            }
            m_tabAffichage.emplace_back(l.begin(), l.end());
        }
    }
    return true;
}

// The services run inside the component's frames: nothing may be thrown
// out of them.
int CTableHote::bGetDimensions(int32_t* pnLignes, int32_t* pnColonnes, CXError*) {
    if (!pnLignes || !pnColonnes) return 0;
    *pnLignes = static_cast<int32_t>(m_tabLignes.size());
    *pnColonnes = static_cast<int32_t>(m_nColonnes);
    return 1;
}

int CTableHote::bGetColonne(int32_t nColonne, CAny* pclTitre, STColonneAPCode* pstColonne, CXError*) {
    if (nColonne < 0 || static_cast<size_t>(nColonne) >= m_nColonnes || !pstColonne) return 0;
    const size_t c = static_cast<size_t>(nColonne);
    pstColonne->bVisible = m_tabCachees[c] ? 0 : 1;
    pstColonne->nPosition = m_tabPositions[c];
    if (!pclTitre) return 1;
    try {
        std::string sErreur;
        return bJsonVersAny(json(m_tabTitres[c]), pclTitre, sErreur) ? 1 : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

int CTableHote::bLigneSelectionnee(int32_t nLigne) {
    return nLigne >= 0 && static_cast<size_t>(nLigne) < m_tabSelectionnees.size() &&
           m_tabSelectionnees[static_cast<size_t>(nLigne)];
}

int CTableHote::bGetCellule(int32_t nLigne, int32_t nColonne, uint32_t dwOptions, CAny* pclValeur, CXError*) {
    if (!pclValeur || nLigne < 0 || static_cast<size_t>(nLigne) >= m_tabLignes.size() || nColonne < 0 ||
        static_cast<size_t>(nColonne) >= m_nColonnes)
        return 0;
    const size_t l = static_cast<size_t>(nLigne), c = static_cast<size_t>(nColonne);
    // A cell shown otherwise than stored gives its shown text to a caller
    // that asks for it.
    const json* pj = nullptr;
    if ((dwOptions & TABAP_VALEUR_AFFICHEE) && l < m_tabAffichage.size() && c < m_tabAffichage[l].size() &&
        m_tabAffichage[l][c].is_string())
        pj = &m_tabAffichage[l][c];
    else if (c < m_tabLignes[l].size())
        pj = &m_tabLignes[l][c];
    try {
        std::string sErreur;
        return bJsonVersAny(pj ? *pj : json(nullptr), pclValeur, sErreur) ? 1 : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

bool bConvertitObjet(const json& jValeur, bool bLigneCommande, CArg& clArg, int& nScore, std::string& sErreur) {
    nScore = 0;
    if (bLigneCommande) {
        sErreur = "objects cannot be given on the command line; use --jsonl with {\"table\": {...}}";
        return false;
    }
    if (jValeur.is_null()) {
        // No object: the object service answers 0 for it.
        nScore = 1;
        return true;
    }
    if (!jValeur.is_object() || jValeur.size() != 1 || !jValeur.contains("table")) {
        sErreur = "not an object, which is {\"table\": {...}} (obj argument): " + ApercuJson(jValeur);
        return false;
    }
    auto pclTable = std::make_shared<CTableHote>();
    if (!pclTable->bLit(jValeur["table"], sErreur)) {
        sErreur = "obj argument: " + sErreur;
        return false;
    }
    clArg.m_pObjet = pclTable;
    nScore = 3;
    return true;
}

// The host's object service: the object an obj argument stands for,
// borrowed for the call.
int CHostContext::bGetObjetAPCodeParametre(int nIndex, uint32_t, void** ppObjet, CXError*) {
    if (!ppObjet) return 0;
    *ppObjet = nullptr;
    CArg* p = pArg(nIndex);
    if (!p || p->m_eKind != eKind::OBJ || !p->m_pObjet) return 0;
    *ppObjet = p->m_pObjet.get();
    return 1;
}

}  // namespace qvhost
