// The miscellaneous functions through the reference host: phonetic key,
// numeric test, colours, random numbers and identifiers, one row per
// function in each interface language; tables given to the host in JSON
// and written as text.
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e_common.h"

using e2e::json;

namespace {

struct STCas {
    const char* pszFr;
    const char* pszEn;
    std::vector<json> tabArgs;
    json jValeur;
};

const std::vector<STCas>& Cas() {
    static const std::vector<STCas> s_tab = {
        {"Phonétique", "Phonetic", {"Dupont"}, "DUPO"},
        {"Phonétique", "Phonetic", {""}, ""},
        {"EstNumérique", "IsNumeric", {"12.5"}, true},
        {"EstNumérique", "IsNumeric", {"abc"}, false},
        {"EstNumérique", "IsNumeric", {7}, true},
        {"RVB", "RGB", {1, 2, 3}, 197121},
        {"RVBRouge", "RGBRed", {197121}, 1},
        {"RVBVert", "RGBGreen", {197121}, 2},
        {"RVBBleu", "RGBBlue", {197121}, 3},
        {"TSL", "HSL", {0, 100, 50}, 255},
        {"CouleurTeinte", "ColorHue", {255}, 0},
        {"CouleurSaturation", "ColorSaturation", {255}, 100},
        {"CouleurLuminosité", "ColorLightness", {255}, 50},
    };
    return s_tab;
}

TEST(MiscE2E, EveryFunctionInBothLanguages) {
    for (const char* pszLangue : {"fr", "en"}) {
        e2e::Session().Traite(json{{"lang", pszLangue}});
        const bool bFr = std::string(pszLangue) == "fr";
        for (const STCas& c : Cas()) {
            const char* pszNom = bFr ? c.pszFr : c.pszEn;
            json j = e2e::Appel(pszNom, c.tabArgs);
            const std::string sCas = std::string(pszNom) + " " + json(c.tabArgs).dump() + " -> " + j.dump();
            EXPECT_TRUE(j["error"].is_null()) << sCas;
            EXPECT_EQ(j["value"], c.jValeur) << sCas;
        }
    }
    e2e::Session().Traite(json{{"lang", "fr"}});
}

// The same seed gives the same draws, within the bounds asked for.
TEST(MiscE2E, RandomSequenceRepeatsAfterItsSeed) {
    std::vector<json> tabTirages[2];
    for (auto& tab : tabTirages) {
        e2e::Appel("InitHasard", {1234});
        for (int i = 0; i < 20; ++i) tab.push_back(e2e::Appel("Hasard", {-5, 5})["value"]);
    }
    EXPECT_EQ(tabTirages[0], tabTirages[1]);
    for (const json& j : tabTirages[0]) {
        ASSERT_TRUE(j.is_number_integer()) << j.dump();
        EXPECT_GE(j.get<int>(), -5);
        EXPECT_LE(j.get<int>(), 5);
    }
}

TEST(MiscE2E, IdentifiersInBothForms) {
    const std::regex rAccolades("\\{[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\}");
    const std::regex rNu("[0-9a-f]{32}");
    const std::string s1 = e2e::Appel("DonneGUID")["value"], s2 = e2e::Appel("DonneGUID", {1})["value"];
    EXPECT_TRUE(std::regex_match(s1, rAccolades)) << s1;
    EXPECT_TRUE(std::regex_match(s2, rAccolades)) << s2;
    EXPECT_NE(s1, s2);
    const std::string s0 = e2e::Appel("GetGUID", {0})["value"];
    EXPECT_TRUE(std::regex_match(s0, rNu)) << s0;
}

// ---- Tables as text ----------------------------------------------------------------------------

// Tables are written as JSON text: braces inside an initializer list
// would read a row of two cells as a key and its value.
json J(const char* pszJson) { return json::parse(pszJson); }

// Two columns, three rows.
json TableSimple() { return J(R"({"table": {"titles": ["Name", "Age"], "rows": [["Ann", 31], ["Bob", 42], ["Cy", 7]]}})"); }

// Four columns: Id hidden, shown in the order Age, Name, Town; rows 1 and
// 3 selected; two ages shown otherwise than stored.
json TableRiche(int nType = 9) {
    json j = J(R"({"table": {"titles": ["Name", "Id", "Age", "Town"],
                             "rows": [["Ann", 1, 31, "Lyon"], ["Bob", 2, 42, "Metz"], ["Zoé", 3, 7, "Nice"]],
                             "hidden": [false, true, false, false],
                             "order": [1, 3, 0, 2],
                             "selected": [true, false, true],
                             "display": [[null, null, "31 y"], [], [null, null, "7 y"]]}})");
    j["table"]["type"] = nType;
    return j;
}

struct STCasTable {
    const char* pszNom;
    std::vector<json> tabArgs;
    json jValeur;      // the text, or null on error
    int nErreur;       // 0 none, -1 refused by the host
};

const std::vector<STCasTable>& CasTable() {
    static const std::vector<STCasTable> s_tab = {
        // Defaults and the overloads' arguments in turn.
        {"defaults", {TableSimple()}, "Name\tAge\r\nAnn\t31\r\nBob\t42\r\nCy\t7", 0},
        {"no title line", {TableSimple(), 1}, "Ann\t31\r\nBob\t42\r\nCy\t7", 0},
        {"column separator", {TableSimple(), 1, ";"}, "Ann;31\r\nBob;42\r\nCy;7", 0},
        {"line separator", {TableSimple(), 0, ",", "|"}, "Name,Age|Ann,31|Bob,42|Cy,7", 0},
        {"from row 2", {TableSimple(), 1, ",", "|", 2}, "Bob,42|Cy,7", 0},
        {"bounds exchanged", {TableSimple(), 1, ",", "|", 3, 2}, "Bob,42|Cy,7", 0},
        {"last beyond the table", {TableSimple(), 1, ",", "|", 2, 99}, "Bob,42|Cy,7", 0},
        // Hidden columns, screen order, selected rows, cells as stored.
        {"shown columns", {TableRiche(), 0, ",", "|"}, "Name,Age,Town|Ann,31 y,Lyon|Bob,42,Metz|Zoé,7 y,Nice", 0},
        {"table of the second kind", {TableRiche(11), 1, ",", "|", 2, 2}, "Bob,42,Metz", 0},
        {"hidden columns too", {TableRiche(), 3, ",", "|", 1, 1}, "Ann,1,31 y,Lyon", 0},
        {"screen order", {TableRiche(), 0x81, ",", "|", 1, 1}, "31 y,Ann,Lyon", 0},
        {"selected rows", {TableRiche(), 0x11, ",", "|"}, "Ann,31 y,Lyon|Zoé,7 y,Nice", 0},
        {"as stored", {TableRiche(), 0x9B, ",", "|"}, "31,Ann,Lyon,1|7,Zoé,Nice,3", 0},
        // Cells of every kind, absent ones, short rows.
        {"kinds of cells",
         {J(R"({"table": {"titles": ["a", "b", "c", "d", "e", "f"],
                          "rows": [[2.5, true, {"i8": 5000000000}, {"cur": "1.25"}, {"uni": "é"}, null]]}})"),
          1},
         "2.5\t1\t5000000000\t1.25\té\t",
         0},
        {"short row", {J(R"({"table": {"titles": ["a", "b"], "rows": [["x"], ["y", "z"]]}})"), 1}, "x\t\r\ny\tz", 0},
        {"columns from the longest row", {J(R"({"table": {"rows": [["x"], ["y", "z"]]}})"), 1}, "x\t\r\ny\tz", 0},
        // An empty first line keeps its place.
        {"empty first row", {J(R"({"table": {"titles": ["a"], "rows": [[""], ["x"]]}})"), 1}, "\r\nx", 0},
        {"empty title", {J(R"({"table": {"titles": [""], "rows": [["x"]]}})")}, "\r\nx", 0},
        // Empty tables.
        {"no row", {J(R"({"table": {"titles": ["a", "b"], "rows": []}})")}, "a\tb", 0},
        {"no column", {J(R"({"table": {}})")}, "", 0},
        // The component's errors.
        {"not a table", {TableRiche(3)}, nullptr, 80253},
        {"no object", {nullptr}, nullptr, 80253},
        {"option 4", {TableSimple(), 4}, nullptr, 80254},
        {"option 0x100", {TableSimple(), 0x100}, nullptr, 80254},
        // Tables the host does not take.
        {"plain value", {"Name"}, nullptr, -1},
        {"unknown key", {J(R"({"table": {"rows": [], "colour": 1}})")}, nullptr, -1},
        {"row too long", {J(R"({"table": {"titles": ["a"], "rows": [["x", "y"]]}})")}, nullptr, -1},
        {"order with a place twice", {J(R"({"table": {"titles": ["a", "b"], "order": [0, 0]}})")}, nullptr, -1},
        {"order too short", {J(R"({"table": {"titles": ["a", "b"], "order": [1]}})")}, nullptr, -1},
        {"cell that is an array", {J(R"({"table": {"titles": ["a"], "rows": [[[]]]}})")}, nullptr, -1},
        {"bad tagged cell", {J(R"({"table": {"titles": ["a"], "rows": [[{"bin": "%%%"}]]}})")}, nullptr, -1},
        {"more selections than rows", {J(R"({"table": {"rows": [[1]], "selected": [true, true]}})")}, nullptr, -1},
        {"type beyond 4 bytes", {J(R"({"table": {"type": 1099511627776}})")}, nullptr, -1},
    };
    return s_tab;
}

TEST(MiscE2E, TablesAsText) {
    for (const char* pszNom : {"TableVersTexte", "TableToText"}) {
        for (const STCasTable& c : CasTable()) {
            const json j = e2e::Appel(pszNom, c.tabArgs);
            const std::string sCas = std::string(pszNom) + " " + c.pszNom + " -> " + j.dump();
            if (c.nErreur == 0) {
                EXPECT_TRUE(j["error"].is_null()) << sCas;
                EXPECT_EQ(j["value"], c.jValeur) << sCas;
            } else if (c.nErreur < 0) {
                EXPECT_TRUE(j["error"].is_object() && j["error"].value("host", false)) << sCas;
            } else {
                ASSERT_TRUE(j["error"].is_object()) << sCas;
                EXPECT_EQ(j["error"]["code"], c.nErreur) << sCas;
                EXPECT_EQ(j["value"], "") << sCas;
            }
        }
    }
}

// A table cannot be typed on the command line.
TEST(MiscE2E, TableRefusedOnTheCommandLine) {
    const e2e::STSortie st = e2e::LanceHote({"TableVersTexte", "x"});
    EXPECT_EQ(st.nStatut, 1);
    EXPECT_NE(st.sErr.find("--jsonl"), std::string::npos) << st.sErr;
}

}  // namespace
