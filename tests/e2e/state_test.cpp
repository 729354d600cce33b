// Variables, constants, messages and the interface language through the
// host's JSON requests.
#include <gtest/gtest.h>

#include "e2e_common.h"

using e2e::json;

namespace {

json Req(const json& j) { return e2e::Session().Traite(j); }

TEST(Variables, ServiceTextsIntegersAndBooleans) {
    json j = Req({{"get", "Service.Description"}});
    EXPECT_TRUE(j["error"].is_null()) << j.dump();
    EXPECT_EQ(j["type"], 0x13);
    EXPECT_EQ(j["value"], "");   // emptied when the library object finished its start-up

    const std::pair<const char*, json> tabCas[] = {
        {"Service.Description", "\xC3\x89t\xC3\xA9 \xE2\x82\xAC"},   // through the 8-bit set and back
        {"Service.LigneCommande", "/usr/bin/x --y"},
        {"Service.Description", ""},
        {"Service.D\xC3\xA9marrage", 3},
        {"Service.Startup", -7},              // English name of the same variable
        {"Service.Type", 16},
        {"Service.D\xC3\xA9marrageRetard\xC3\xA9", true},
        {"Service.DelayedStartup", false},
    };
    for (const auto& [pszNom, jValeur] : tabCas) {
        json jSet = Req({{"set", pszNom}, {"value", jValeur}});
        EXPECT_TRUE(jSet["error"].is_null()) << pszNom << ": " << jSet.dump();
        EXPECT_EQ(jSet["value"], jValeur) << pszNom;
        EXPECT_EQ(Req({{"get", pszNom}})["value"], jValeur) << pszNom;
    }
}

TEST(Variables, ActionCountResizesTheArrays) {
    const std::pair<int, size_t> tabCas[] = {{3, 3}, {1, 1}, {0, 0}, {-2, 0}, {5, 5}};
    for (const auto& [nValeur, nTaille] : tabCas) {
        json jSet = Req({{"set", "Service.NbActionSurD\xC3\xA9" "faillance"}, {"value", nValeur}});
        EXPECT_TRUE(jSet["error"].is_null()) << jSet.dump();
        for (const char* pszTab : {"Service.ActionSurD\xC3\xA9" "faillance", "Service.TimeoutBeforeActionOnFailure"}) {
            json j = Req({{"get", pszTab}});
            ASSERT_TRUE(j["error"].is_null()) << j.dump();
            EXPECT_EQ(j["type"], 0x40);
            EXPECT_EQ(j["value"].size(), nTaille) << pszTab << " after " << nValeur;
        }
    }
}

TEST(Variables, RefusedRequests) {
    EXPECT_TRUE(Req({{"get", "_DDE.Sujet"}})["error"]["host"].get<bool>());   // no storage on this platform
    EXPECT_TRUE(Req({{"get", "PasUneVariable"}})["error"]["host"].get<bool>());
    EXPECT_FALSE(Req({{"set", "Service.Type"}, {"value", "abc"}})["error"].is_null());
    EXPECT_FALSE(Req({{"set", "Service.ActionSurD\xC3\xA9" "faillance"}, {"value", 1}})["error"].is_null());
    EXPECT_FALSE(Req({{"set", "Service.Type"}})["error"].is_null());
}

TEST(Constants, TypesAndValues) {
    json j = Req({{"const", "exeNom"}});
    EXPECT_EQ(j["type"], 0x12);
    EXPECT_EQ(j["value"], "Nom");
    j = Req({{"const", "exeR\xC3\xA9pertoire"}});
    EXPECT_EQ(j["value"], "REPERTOIRE");
    j = Req({{"const", "exeRepertoire"}});
    EXPECT_EQ(j["value"], "REPERTOIRE");
    j = Req({{"const", "scFond"}});
    EXPECT_EQ(j["type"], 0x08);
    EXPECT_EQ(j["value"], 1);
    j = Req({{"const", "foAjout"}});
    EXPECT_EQ(j["value"], 2048);
    EXPECT_TRUE(Req({{"const", "PasUneConstante"}})["error"]["host"].get<bool>());
}

TEST(Messages, LoadedThroughTheComponent) {
    for (int n : {80001, 28001, 1, 999999}) {
        json j = Req({{"message", n}});
        ASSERT_TRUE(j["error"].is_null()) << j.dump();
        ASSERT_TRUE(j["value"].is_string());
        // The count is that of the characters written, in the 8-bit set.
        EXPECT_EQ(j["count"].get<size_t>(), qvhost::Utf8ToCharset(j["value"].get<std::string>()).size()) << n;
    }
}

TEST(Language, SwitchesAndStillCalls) {
    EXPECT_EQ(Req({{"lang", "en"}})["value"], qvhost::LANGUE_EN);
    EXPECT_EQ(e2e::Appel("IsOdd", {json(7)})["value"], true);
    EXPECT_EQ(Req({{"lang", "fr"}})["value"], 12);
    EXPECT_FALSE(Req({{"lang", "de"}})["error"].is_null());
}

TEST(Requests, MalformedOnesAnswerAnError) {
    for (const char* psz : {"", "nonsense", "[1,2]", "{}", "{\"call\": 3}", "{\"call\": \"EstPair\", \"args\": 1}",
                            "{\"call\": \"EstPair\", \"args\": [1], \"overload\": -1}", "{\"info\": \"x\"}",
                            "{\"describe\": 1}", "{\"message\": null}", "{\"get\": []}"}) {
        json j = json::parse(e2e::Session().TraiteLigne(psz));
        EXPECT_FALSE(j["error"].is_null()) << psz;
    }
    json j = json::parse(e2e::Session().TraiteLigne("{\"call\": \"EstPair\", \"args\": [6], \"overload\": 0}"));
    EXPECT_EQ(j["value"], true);
    EXPECT_EQ(j["vars"], json::object());
    EXPECT_EQ(j["calls"], json::object());
}

}  // namespace
