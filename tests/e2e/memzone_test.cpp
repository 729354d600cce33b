// Memory zones through the reference host: one session of calls, each row a
// call, its answer and the zone's flags read right after it (found, out,
// current record), as a program sees them.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e_common.h"

using e2e::json;

namespace {

struct STPas {
    const char* pszNom;
    std::vector<json> tabArgs;
    json jValeur;
    int nErreur;           // 0: no error
    int nTrouve;           // MemTrouvé afterwards: 0, 1, or -1 not read
    int nEnDehors;         // MemEnDehors afterwards, same
    int nEnCours;          // MemEnCours afterwards, or -2 not read
};

constexpr int NL = -1;    // flag not read
constexpr int NC = -2;    // current record not read

// Zone "e2e" filled out of order, sorted, walked both ways, searched,
// changed, and emptied.
const std::vector<STPas>& Session() {
    static const std::vector<STPas> s_tab = {
        {"MemExiste", {"e2e"}, false, 0, NL, NL, NC},
        {"MemAjoute", {"e2e", "poire", 3}, true, 0, NL, NL, 1},
        {"MemAjoute", {"e2e", "abricot", 1}, true, 0, NL, NL, 1},
        {"MemAjoute", {"e2e", "mangue", 2}, true, 0, NL, NL, 1},
        {"MemOccurrence", {"e2e"}, 3, 0, NL, NL, NC},
        {"MemTri", {"e2e"}, true, 0, 0, 1, 0},
        {"MemPremier", {"e2e"}, 1, 0, 1, 0, 1},
        {"MemValClé", {"e2e"}, "abricot", 0, 1, 0, 1},
        {"MemSuivant", {"e2e"}, 2, 0, 1, 0, 2},
        {"MemSuivant", {"e2e"}, 3, 0, 1, 0, 3},
        {"MemSuivant", {"e2e"}, nullptr, 0, 0, 1, NC},
        {"MemDernier", {"e2e"}, 3, 0, 1, 0, 3},
        {"MemPrécédent", {"e2e"}, 2, 0, 1, 0, 2},
        {"MemRecherche", {"e2e", "poire", 1}, 3, 0, 1, 0, 3},
        {"MemModifie", {"e2e", "poire", 30, 3}, true, 0, NL, NL, NC},
        {"MemRécupère", {"e2e", 3}, 30, 0, NL, NL, NC},
        {"MemSupprime", {"e2e", 1}, true, 0, NL, NL, NC},
        {"MemOccurrence", {"e2e"}, 2, 0, NL, NL, NC},
        {"MemExiste", {"e2e"}, true, 0, NL, NL, NC},
        {"MemSupprime", {"e2e"}, true, 0, NL, NL, NC},
        {"MemExiste", {"e2e"}, false, 0, NL, NL, NC},
        // A zone that does not exist is an error for the readers.
        {"MemPremier", {"absente"}, nullptr, 80261, NL, NL, NC},
    };
    return s_tab;
}

json Lit(const char* pszNom) { return e2e::Appel(pszNom, {"e2e"})["value"]; }

TEST(MemZonesE2E, SessionWithFlags) {
    for (const STPas& p : Session()) {
        json j = e2e::Appel(p.pszNom, p.tabArgs);
        const std::string sCas = std::string(p.pszNom) + " " + json(p.tabArgs).dump() + " -> " + j.dump();
        if (p.nErreur == 0) {
            EXPECT_TRUE(j["error"].is_null()) << sCas;
            if (!p.jValeur.is_null()) {
                // Values come back as the variants they were stored as.
                EXPECT_EQ(j["value"], p.jValeur) << sCas;
            }
        } else {
            ASSERT_TRUE(j["error"].is_object()) << sCas;
            EXPECT_EQ(j["error"]["code"], p.nErreur) << sCas;
            continue;
        }
        if (p.nTrouve != NL) {
            EXPECT_EQ(Lit("MemTrouvé"), p.nTrouve == 1) << sCas;
        }
        if (p.nEnDehors != NL) {
            EXPECT_EQ(Lit("MemEnDehors"), p.nEnDehors == 1) << sCas;
        }
        if (p.nEnCours != NC) {
            EXPECT_EQ(Lit("MemEnCours"), p.nEnCours) << sCas;
        }
    }
}

}  // namespace
