// NumeriqueVersChaine and TailleVersChaine through the reference host, by
// their French names in French and English names in English.
#include <clocale>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e_common.h"

using e2e::json;

namespace {

struct STCas {
    std::vector<json> tabArgs;
    json jValeur;
    int nErreur;   // 0: no error
};

void Verifie(const json& j, const STCas& c, const std::string& sNom) {
    const std::string sCas = sNom + " " + json(c.tabArgs).dump() + " -> " + j.dump();
    EXPECT_EQ(j["type"], 0x13) << sCas;
    EXPECT_EQ(j["value"], c.jValeur) << sCas;
    if (c.nErreur == 0) {
        EXPECT_TRUE(j["error"].is_null()) << sCas;
    } else {
        ASSERT_TRUE(j["error"].is_object()) << sCas;
        EXPECT_EQ(j["error"]["code"], c.nErreur) << sCas;
    }
}

const std::vector<STCas>& CasNombres() {
    static const std::vector<STCas> s_tab = {
        {{42}, "42", 0},
        {{-7}, "-7", 0},
        {{json{{"i8", 123456789012LL}}}, "123456789012", 0},
        {{1.5}, "1.5", 0},
        {{3.0}, "3", 0},
        {{"abc"}, "abc", 0},
        {{"abc", "5.2f"}, "abc", 0},   // texts come back whatever the format
        {{3.14159, "%5.2f"}, " 3.14", 0},
        {{3.14159, "-8.3f"}, "3.142   ", 0},
        {{7, "+d"}, "+7", 0},
        {{2.5, "d"}, "3", 0},
        {{-2.5, "d"}, "-3", 0},
        {{1234567.891, "10.2fs"}, "1 234 567.89", 0},
        {{1234567.891, "12.2fs"}, "1 234 567.89", 0},
        {{-1, "x"}, "ffffffff", 0},
        {{-1, "04X"}, "FFFF", 0},
        {{12345.678, "e"}, "1.234568e+04", 0},
        {{json{{"i8", 1099511627776LL}}, "ds"}, "1 099 511 627 776", 0},
        {{json{{"i8", 1099511627776LL}}, "X"}, "10000000000", 0},
        {{1234.5, "s"}, "1 234.500000", 0},
        {{1.0, "1111111111111111q"}, nullptr, 80270},   // cut to 16: width above 100
        {{1.0, "%q"}, "", 80270},
        {{1.0, "101f"}, "", 80270},
        {{1.0, ".101f"}, "", 80270},
    };
    return s_tab;
}

const std::vector<STCas>& CasTailles(bool bFrancais) {
    static const std::vector<STCas> s_fr = {
        {{json{{"i8", 1}}}, "1 octet", 0},
        {{json{{"i8", 2}}}, "2 octets", 0},
        {{json{{"i8", 1536}}}, "1,50 Ko", 0},
        {{json{{"i8", 1536}}, 1}, "1536 octets", 0},
        {{json{{"i8", 3LL << 30}}, 0}, "3,00 Go", 0},
        {{json{{"i8", 3LL << 30}}, 2}, "3145728,00 Ko", 0},
        {{json{{"i8", 1536}}, 6}, "", 81507},
        {{json{{"i8", 1536}}, -1}, "", 81507},
    };
    static const std::vector<STCas> s_en = {
        {{json{{"i8", 1}}}, "1 byte", 0},
        {{json{{"i8", 1023}}}, "1023 bytes", 0},
        {{json{{"i8", 1536}}}, "1,50 KB", 0},
        {{json{{"i8", 5LL << 40}}, 5}, "5,00 TB", 0},
        {{json{{"i8", 1}}, 6}, "", 81507},
    };
    return bFrancais ? s_fr : s_en;
}

class NumeriqueE2E : public ::testing::Test {
protected:
    void SetUp() override { e2e::Session(); }
    void TearDown() override { e2e::Session().Langue("fr"); }
};

TEST_F(NumeriqueE2E, NumbersInBothLanguages) {
    for (const char* pszLangue : {"fr", "en"}) {
        e2e::Session().Langue(pszLangue);
        const char* pszNom = pszLangue[0] == 'f' ? "NumériqueVersChaîne" : "NumToString";
        for (const auto& c : CasNombres()) {
            STCas cas = c;
            if (cas.jValeur.is_null()) cas.jValeur = "";
            Verifie(e2e::Appel(pszNom, cas.tabArgs), cas, pszNom);
        }
    }
}

TEST_F(NumeriqueE2E, InvalidFormatNamesTheFormat) {
    e2e::Session().Langue("en");
    json j = e2e::Appel("NumToString", {1.0, "%q"});
    ASSERT_TRUE(j["error"].is_object()) << j.dump();
    EXPECT_NE(j["error"]["message"].get<std::string>().find("<%q>"), std::string::npos) << j.dump();
}

TEST_F(NumeriqueE2E, SizesInBothLanguages) {
    e2e::Session().Langue("fr");
    for (const auto& c : CasTailles(true)) Verifie(e2e::Appel("TailleVersChaîne", c.tabArgs), c, "TailleVersChaîne");
    e2e::Session().Langue("en");
    for (const auto& c : CasTailles(false)) Verifie(e2e::Appel("LengthToString", c.tabArgs), c, "LengthToString");
}

TEST_F(NumeriqueE2E, CommandLine) {
    // On the command line a word that reads as a number is a number; in the
    // language's quotes it stays a text, which comes back as it is.
    auto stSortie = e2e::LanceHote({"--lang", "en", "NumToString", "3.14159", "6.3f"});
    EXPECT_EQ(stSortie.nStatut, 0) << stSortie.sErr;
    EXPECT_EQ(stSortie.sOut, " 3.142\n");
    stSortie = e2e::LanceHote({"--lang", "en", "NumToString", "\"3.14159\"", "6.3f"});
    EXPECT_EQ(stSortie.nStatut, 0) << stSortie.sErr;
    EXPECT_EQ(stSortie.sOut, "3.14159\n");
    stSortie = e2e::LanceHote({"LengthToString", "1536"});
    EXPECT_EQ(stSortie.nStatut, 0) << stSortie.sErr;
    EXPECT_EQ(stSortie.sOut, "1,50 Ko\n");
    stSortie = e2e::LanceHote({"LengthToString", "1536", "7"});
    EXPECT_EQ(stSortie.nStatut, 1);
    EXPECT_NE(stSortie.sErr.find("81507"), std::string::npos) << stSortie.sErr;
}

}  // namespace
