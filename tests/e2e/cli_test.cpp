// The qvhost executable itself: command line and JSON lines.
#include <gtest/gtest.h>

#include <sstream>

#include "e2e_common.h"

using e2e::json;

namespace {

struct STCasCli {
    std::vector<std::string> tabArgs;
    int nStatut;
    const char* pszOut;        // exact stdout, or null to skip
    const char* pszErrPartiel; // part of stderr, or null
};

TEST(Cli, CallsAndFailures) {
    const std::string sModule = QV_MODULE_PATH;
    const STCasCli tabCas[] = {
        {{"--module", sModule, "EstPair", "4"}, 0, "true\n", nullptr},
        {{"--module", sModule, "EstPair", "-3"}, 0, "false\n", nullptr},        // a negative number is an argument
        {{"--module", sModule, "EstImpair", "--", "-1"}, 0, "true\n", nullptr},
        {{"--module", sModule, "--", "EstImpair", "-1"}, 0, "true\n", nullptr},
        {{"--lang", "en", "--module", sModule, "IsEven", "0"}, 0, "true\n", nullptr},
        {{"--module", sModule, "ZigouigouiARoulette", "7"}, 0, "24053\n", nullptr},
        {{"--module", sModule, "zigouigouiaroulette", "-2147483648"}, 0, "24053\n", nullptr},
        {{"--module", sModule, "MCID\xC3\xA9" "but"}, 1, "", "not available on this platform"},
        {{"--module", sModule, "MCIDebut"}, 1, "", "not available on this platform"},
        {{"--module", sModule, "EstPair", "abc"}, 1, "", "not an integer"},
        {{"--module", sModule, "EstPair"}, 1, "", "0 given"},
        {{"--module", sModule, "PasUneFonction"}, 1, "", "unknown function"},
        {{"--module", sModule, "_zipOuvre_old", "a", "b"}, 1, "", "forwarded to component 42"},
        {{"--module", "/nonexistent.so", "EstPair", "1"}, 1, "", "cannot load"},
        {{"--bogus", "EstPair", "1"}, 2, "", "unknown option"},
        {{"--lang", "de", "EstPair", "1"}, 2, "", "--lang"},
        {{}, 2, "", "missing FUNCTION"},
        {{"--jsonl", "EstPair"}, 2, "", nullptr},
    };
    for (const auto& st : tabCas) {
        e2e::STSortie stS = e2e::LanceHote(st.tabArgs);
        std::string sCas;
        for (const auto& s : st.tabArgs) sCas += s + " ";
        EXPECT_EQ(stS.nStatut, st.nStatut) << sCas << "\nstderr: " << stS.sErr;
        if (st.pszOut) {
            EXPECT_EQ(stS.sOut, st.pszOut) << sCas;
        }
        if (st.pszErrPartiel) {
            EXPECT_NE(stS.sErr.find(st.pszErrPartiel), std::string::npos) << sCas << "\n" << stS.sErr;
        }
    }
}

TEST(Cli, Help) {
    e2e::STSortie st = e2e::LanceHote({"--help"});
    EXPECT_EQ(st.nStatut, 0);
    EXPECT_NE(st.sOut.find("usage: qvhost"), std::string::npos);
    EXPECT_NE(st.sOut.find("--jsonl"), std::string::npos);
    EXPECT_NE(st.sOut.find("-- -3"), std::string::npos);   // how negative numbers pass
}

TEST(Cli, JsonLines) {
    const std::string sEntree =
        "{\"call\": \"EstPair\", \"args\": [-4]}\n"
        "\n"
        "{\"call\": \"IsOdd\", \"args\": [-3]}\n"
        "{\"info\": 34}\n"
        "{\"describe\": \"MCID\xC3\xA9" "but\"}\n"
        "{\"set\": \"Service.Description\", \"value\": \"caf\xC3\xA9\"}\n"
        "{\"get\": \"Service.Description\"}\n"
        "not json\n"
        "{\"call\": \"MCIDebut\"}\n"
        "{\"lang\": \"en\"}\n"
        "{\"call\": \"ZigouigouiARoulette\", \"args\": [0]}\n";
    e2e::STSortie st = e2e::LanceHote({"--module", QV_MODULE_PATH, "--jsonl"}, sEntree);
    ASSERT_EQ(st.nStatut, 0) << st.sErr;
    std::vector<json> tabRep;
    std::istringstream in(st.sOut);
    std::string sLigne;
    while (std::getline(in, sLigne)) tabRep.push_back(json::parse(sLigne));
    ASSERT_EQ(tabRep.size(), 10u) << st.sOut;   // blank lines get no answer
    EXPECT_EQ(tabRep[0]["value"], true);
    EXPECT_EQ(tabRep[0]["type"], 1);
    EXPECT_TRUE(tabRep[0]["error"].is_null());
    EXPECT_EQ(tabRep[1]["value"], true);
    EXPECT_EQ(tabRep[2]["value"], 423);
    EXPECT_EQ(tabRep[3]["row"], 255);
    EXPECT_EQ(tabRep[3]["id"].get<uint32_t>() & 0xFFFF, 255u);
    EXPECT_EQ(tabRep[4]["value"], "caf\xC3\xA9");
    EXPECT_EQ(tabRep[5]["value"], "caf\xC3\xA9");
    EXPECT_FALSE(tabRep[6]["error"].is_null());
    EXPECT_FALSE(tabRep[7]["error"].is_null());
    EXPECT_EQ(tabRep[8]["value"], 9);
    EXPECT_EQ(tabRep[9]["value"], 24053);
    EXPECT_EQ(tabRep[9]["type"], 8);
}

}  // namespace
