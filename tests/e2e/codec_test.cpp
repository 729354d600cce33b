// The encryption, encoding and checksum functions through the host: one row
// per function and language with the values they must give, round trips of
// strings and files, and the errors of wrong arguments.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "charset.h"
#include "common/temp_dir.h"
#include "e2e_common.h"

using e2e::json;

namespace {

json Bin(const std::string& s) { return json{{"bin", qvhost::Base64Encode(s)}}; }

std::string Octets(const json& j) {
    std::string s;
    if (j.is_object() && j.contains("bin")) qvhost::Base64Decode(j["bin"].get<std::string>(), s);
    return s;
}

std::string Lit(const std::string& sNom) {
    std::ifstream f(sNom, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void Ecrit(const std::string& sNom, const std::string& s) {
    std::ofstream f(sNom, std::ios::binary | std::ios::trunc);
    f.write(s.data(), static_cast<std::streamsize>(s.size()));
}

TEST(CodecE2E, ValuesOfEachFunction) {
    struct STCas {
        const char* pszNom;
        std::vector<json> tabArgs;
        json jAttendu;   // a text or integer, or {"bin": ...}
    };
    const int32_t nCrc1234 = static_cast<int32_t>(0x9BE3E0A3u);
    const STCas tabCas[] = {
        {"URLEncode", {"a b+c"}, "a%20b%2Bc"},
        {"URLDécode", {"a+b%2fc"}, "a b/c"},
        {"URLDecode", {"%41%"}, "A"},
        {"UUEncode", {"Cat"}, "begin 0666 uu\r\n#0V%T\r\nend\r\n"},
        {"UUEncode", {Bin("Cat")}, "begin 0666 uu\r\n#0V%T\r\nend\r\n"},
        {"UUDécode", {"begin 0666 uu\r\n#0V%T\r\nend\r\n"}, Bin("Cat")},
        {"UUDecode", {"begin 0666 uu\r\nM0V%T\r\nend\r\n"}, Bin("")},
        {"sCalculeCrc32", {Bin("123456789")}, static_cast<int32_t>(0xCBF43926u)},
        {"sComputeCrc32", {Bin("1234")}, nCrc1234},
        {"sCalculeCrc32", {Bin("56789"), nCrc1234}, static_cast<int32_t>(0xCBF43926u)},
        {"sCalculeCrc32", {Bin(""), 12345}, 12345},
        {"sCalculeCrc32", {Bin("")}, 0},
        {"sCalculeCrc16", {"123456789"}, 0xBEEF},
        {"sComputeCrc16", {"abc"}, 0x1EE4},
        {"Crypte", {"abc", "pw", 0, 2}, "abc"},
        {"Crypt", {"abc", "pw", 0}, "abc"},
        {"Décrypte", {"abc", "pw", 0, 1}, "abc"},
    };
    for (const auto& st : tabCas) {
        json j = e2e::Appel(st.pszNom, st.tabArgs);
        ASSERT_TRUE(j["error"].is_null()) << st.pszNom << j.dump();
        if (st.jAttendu.is_object()) {
            EXPECT_EQ(Octets(j["value"]), Octets(st.jAttendu)) << st.pszNom << j.dump();
        } else {
            EXPECT_EQ(j["value"], st.jAttendu) << st.pszNom << j.dump();
        }
    }
}

TEST(CodecE2E, StringRoundTrips) {
    const std::string sTexte = "Le chat mange la souris, 42 fois!";
    for (const char* pszAller : {"Crypte", "Crypt"})
        for (int nMethode : {1, 2, 3, 0x10001, 0x10003, 0x20001, 0x20002})
            for (int nEncodage : {1, 2, 3}) {
                json j = e2e::Appel(pszAller, {sTexte, "clé", nMethode, nEncodage});
                ASSERT_TRUE(j["error"].is_null()) << j.dump();
                ASSERT_TRUE(j["value"].is_string());
                EXPECT_NE(j["value"], sTexte);
                json jRetour = e2e::Appel("Décrypte", {j["value"], "clé", nMethode, nEncodage});
                ASSERT_TRUE(jRetour["error"].is_null()) << jRetour.dump();
                EXPECT_EQ(jRetour["value"], sTexte) << nMethode << " " << nEncodage;
            }
    // The short syntax: method 1, encoding 1.
    json j = e2e::Appel("Crypte", {sTexte, "k"});
    json jLong = e2e::Appel("Crypte", {sTexte, "k", 1, 1});
    EXPECT_EQ(j["value"], jLong["value"]);
    EXPECT_EQ(e2e::Appel("Uncrypt", {j["value"], "k"})["value"], sTexte);
}

TEST(CodecE2E, Errors) {
    struct STCas {
        const char* pszNom;
        std::vector<json> tabArgs;
        int nCode;
    };
    const STCas tabCas[] = {
        {"Crypte", {"abc", "pw", 4}, 80280},
        {"Décrypte", {"abc", "pw", 4, 1}, 80280},
        {"Crypte", {"abc", "pw", 0x30001}, 80550},
        {"Crypte", {"abc", "", 1}, 80282},
        {"Uncrypt", {"abc", "", 2}, 80282},
    };
    for (const auto& st : tabCas) {
        json j = e2e::Appel(st.pszNom, st.tabArgs);
        ASSERT_FALSE(j["error"].is_null()) << st.pszNom << j.dump();
        EXPECT_EQ(j["error"]["code"], st.nCode) << st.pszNom << j.dump();
    }
}

TEST(CodecE2E, Files) {
    CRepTemporaire clRep("qv_codec_e2e");
    ASSERT_TRUE(clRep.bOk());
    std::string sClair;
    for (int i = 0; i < 70000; ++i) sClair += static_cast<char>(i * 7 % 251);
    Ecrit(clRep.sChemin("clair"), sClair);
    struct STCas {
        const char *pszAller, *pszRetour;
        std::vector<json> tabOptions;
    };
    const STCas tabCas[] = {
        {"fCrypte", "fDécrypte", {}},
        {"fCrypt", "fUncrypt", {2}},
        {"fCrypte", "fDécrypte", {3, 2}},
        {"fCrypte", "fDécrypte", {0, 3}},
    };
    for (const auto& st : tabCas) {
        std::vector<json> tabAller = {clRep.sChemin("clair"), clRep.sChemin("code"), "pw"};
        std::vector<json> tabRetour = {clRep.sChemin("code"), clRep.sChemin("retour"), "pw"};
        for (const auto& j : st.tabOptions) {
            tabAller.push_back(j);
            tabRetour.push_back(j);
        }
        json j = e2e::Appel(st.pszAller, tabAller);
        ASSERT_TRUE(j["error"].is_null()) << j.dump();
        EXPECT_EQ(j["value"], true);
        EXPECT_NE(Lit(clRep.sChemin("code")), sClair);
        j = e2e::Appel(st.pszRetour, tabRetour);
        ASSERT_TRUE(j["error"].is_null()) << j.dump();
        EXPECT_EQ(j["value"], true);
        EXPECT_EQ(Lit(clRep.sChemin("retour")), sClair) << st.pszAller;
    }
    // A wrong password: false, an error, and no destination.
    json j = e2e::Appel("fCrypte", {clRep.sChemin("clair"), clRep.sChemin("code"), "bon"});
    ASSERT_EQ(j["value"], true);
    j = e2e::Appel("fDécrypte", {clRep.sChemin("code"), clRep.sChemin("faux"), "mauvais"});
    EXPECT_EQ(j["value"], false);
    EXPECT_FALSE(j["error"].is_null());
    EXPECT_TRUE(Lit(clRep.sChemin("faux")).empty());
    j = e2e::Appel("fCrypte", {clRep.sChemin("clair"), clRep.sChemin("code"), ""});
    EXPECT_EQ(j["value"], false);
    EXPECT_EQ(j["error"]["code"], 80282);
}

}  // namespace
