// A failing call shows the same error in the interface language chosen.
#include <gtest/gtest.h>

#include <string>

#include "common/temp_dir.h"
#include "e2e_common.h"

using namespace e2e;

TEST(Messages, SameErrorInFrenchAndInEnglish) {
    CRepTemporaire clRep("qvmsg");
    ASSERT_TRUE(clRep.bOk());
    std::string sFichier = clRep.sChemin("m.ini");
    // A line end inside a section name is refused: error 80294.
    STSortie fr = LanceHote({"--lang", "fr", "INIEcrit", "a\rb", "k", "v", sFichier});
    STSortie en = LanceHote({"--lang", "en", "INIWrite", "a\rb", "k", "v", sFichier});
    EXPECT_EQ(fr.nStatut, 1);
    EXPECT_EQ(en.nStatut, 1);
    EXPECT_NE(fr.sErr.find("80294"), std::string::npos) << fr.sErr;
    EXPECT_NE(en.sErr.find("80294"), std::string::npos) << en.sErr;
    EXPECT_NE(fr.sErr.find(sFichier), std::string::npos) << fr.sErr;
    EXPECT_NE(en.sErr.find(sFichier), std::string::npos) << en.sErr;
    EXPECT_NE(fr.sErr, en.sErr);

    // The JSON form gives code, level and both messages for the same call.
    qvhost::json j = Appel("INIEcrit", {"a\nb", "k", "v", sFichier});
    ASSERT_TRUE(j["error"].is_object()) << j.dump();
    EXPECT_EQ(j["error"]["code"], 80294);
    EXPECT_EQ(j["error"]["level"], 2);
    EXPECT_FALSE(j["error"]["message"].get<std::string>().empty());
    EXPECT_EQ(j["value"], false);
    // The host empties the error object once it has reported it.
    j = Appel("EstPair", {2});
    EXPECT_TRUE(j["error"].is_null()) << j.dump();
}
