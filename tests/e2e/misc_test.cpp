// The miscellaneous functions through the reference host: phonetic key,
// numeric test, colours, random numbers and identifiers, one row per
// function in each interface language.
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

}  // namespace
