// INILit and INIEcrit through the host, in a directory of their own with a
// home of their own.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "e2e_common.h"

using e2e::json;

namespace {

std::string Lit(const std::string& sChemin) {
    std::ifstream f(sChemin, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

void Ecrit(const std::string& sChemin, const std::string& sTexte) {
    std::ofstream f(sChemin, std::ios::binary | std::ios::trunc);
    f << sTexte;
}

bool bExiste(const std::string& sChemin) {
    struct stat st;
    return stat(sChemin.c_str(), &st) == 0;
}

class Ini : public ::testing::Test {
protected:
    void SetUp() override {
        char szModele[] = "/tmp/ini_e2e_XXXXXX";
        ASSERT_NE(mkdtemp(szModele), nullptr);
        m_sRacine = szModele;
        m_sHome = m_sRacine + "/home";
        m_sCwd = m_sRacine + "/cwd";
        m_sConf = m_sHome + "/.TVR.conf";
        ASSERT_EQ(mkdir(m_sHome.c_str(), 0700), 0);
        ASSERT_EQ(mkdir(m_sCwd.c_str(), 0700), 0);
        const char* pszHome = getenv("HOME");
        m_bHome = pszHome != nullptr;
        if (m_bHome) m_sAncienHome = pszHome;
        char szCwd[4096];
        ASSERT_NE(getcwd(szCwd, sizeof szCwd), nullptr);
        m_sAncienCwd = szCwd;
        setenv("HOME", m_sHome.c_str(), 1);
        ASSERT_EQ(chdir(m_sCwd.c_str()), 0);
    }
    void TearDown() override {
        if (m_bHome)
            setenv("HOME", m_sAncienHome.c_str(), 1);
        else
            unsetenv("HOME");
        EXPECT_EQ(chdir(m_sAncienCwd.c_str()), 0);
        std::string sCommande = "rm -rf '" + m_sRacine + "'";
        EXPECT_EQ(system(sCommande.c_str()), 0);
    }

    // INIEcrit that must succeed; nOverload -1 lets the host choose.
    void Ecrire(const std::vector<json>& tabArgs, int nOverload = -1) {
        json j = e2e::Appel("INIEcrit", tabArgs, nOverload);
        EXPECT_TRUE(j["error"].is_null()) << json(tabArgs).dump() << ": " << j.dump();
        EXPECT_EQ(j["type"], 0x01);
        EXPECT_EQ(j["value"], true) << json(tabArgs).dump();
    }
    json Lire(const std::vector<json>& tabArgs) {
        json j = e2e::Appel("INILit", tabArgs);
        EXPECT_TRUE(j["error"].is_null()) << json(tabArgs).dump() << ": " << j.dump();
        EXPECT_EQ(j["type"], 0x13);
        return j["value"];
    }

    std::string m_sRacine, m_sHome, m_sCwd, m_sConf, m_sAncienHome, m_sAncienCwd;
    bool m_bHome = false;
};

TEST_F(Ini, ValuesKeyListsAndSectionListsRoundTrip) {
    const std::string sF = m_sRacine + "/app.ini";
    struct STCas {
        const char* pszSection;
        const char* pszCle;
        const char* pszValeur;
    };
    const STCas tabCas[] = {
        {"General", "Name", "Demo"},
        {"General", "Path", "/opt/demo dir/x=y"},
        {"General", "Title", "\xC3\x89t\xC3\xA9 \xC3\xA0 No\xC3\xABl"},   // Latin-1 in the file, UTF-8 here
        {"Window", "Width", "640"},
        {"Window", "Spaces", "  padded  "},
    };
    for (const auto& st : tabCas) Ecrire({st.pszSection, st.pszCle, st.pszValeur, sF});
    for (const auto& st : tabCas) {
        std::string sAttendu = st.pszValeur;
        if (sAttendu[0] == ' ') sAttendu = "padded  ";   // leading spaces are not read back, trailing ones are
        EXPECT_EQ(Lire({st.pszSection, st.pszCle, "dflt", sF}), sAttendu) << st.pszCle;
    }
    EXPECT_EQ(Lit(sF).substr(0, 24), "[General]\nName = Demo\nPa");
    EXPECT_EQ(Lire({"General", "", "", sF}), "Name\r\nPath\r\nTitle\r\n");
    EXPECT_EQ(Lire({"", "", "", sF}), "General\r\nWindow\r\n");
    EXPECT_EQ(Lire({"Window", "Missing", "dflt", sF}), "dflt");
    EXPECT_EQ(Lire({"Missing", "Width", "", sF}), "");
    EXPECT_EQ(Lire({"Window", "Width", "dflt", m_sRacine + "/none.ini"}), "dflt");
    // Replacing keeps the other lines.
    Ecrire({"Window", "Width", "800", sF});
    EXPECT_EQ(Lire({"window", "width", "", sF}), "800");
    EXPECT_EQ(Lire({"Window", "", "", sF}), "Width\r\nSpaces\r\n");
}

TEST_F(Ini, PerUserFileAndDeletingOverloads) {
    Ecrire({"intl", "sDecimal", ","});
    Ecrire({"intl", "iDigits", "3"});
    Ecrire({"other", "k", "v"});
    EXPECT_EQ(Lit(m_sConf), "[intl]\nsDecimal = ,\niDigits = 3\n[other]\nk = v\n");
    EXPECT_EQ(Lire({"intl", "sDecimal"}), ",");
    EXPECT_EQ(Lire({"INTL", "idigits", "2"}), "3");
    EXPECT_EQ(Lire({"intl"}), "sDecimal\r\niDigits\r\n");
    EXPECT_EQ(Lire({""}), "intl\r\nother\r\n");
    Ecrire({"intl", "iDigits"});                       // (section, key): delete the key
    EXPECT_EQ(Lire({"intl", "iDigits", "gone"}), "gone");
    EXPECT_EQ(Lit(m_sConf), "[intl]\nsDecimal = ,\n[other]\nk = v\n");
    Ecrire({"intl"});                                  // (section): delete the section
    EXPECT_EQ(Lit(m_sConf), "[other]\nk = v\n");

    const std::string sF = m_sRacine + "/f.ini";
    Ecrit(sF, "[b]\nz = 3\ny = 4\n");
    Ecrire({"b", "z", "", sF});                        // an empty value stands for none: delete
    EXPECT_EQ(Lit(sF), "[b]\ny = 4\n");
    Ecrire({"b", "", "", sF});                         // empty key: delete the section
    EXPECT_EQ(Lit(sF), "");
    Ecrire({"", "", "", sF});                          // no section: no change
    EXPECT_EQ(Lit(sF), "");
}

// The overloads whose missing arguments are "nothing" values.
TEST_F(Ini, NothingArgumentOverloads) {
    const std::string sF = m_sRacine + "/f.ini";
    Ecrit(sF, "[a]\nx = 1\ny = 2\n[b]\nz = 3\n");
    json j = e2e::Appel("INIEcrit", {nullptr, nullptr, nullptr, sF}, 6);   // no change
    if (!j["error"].is_null() && j["error"].value("host", false))
        GTEST_SKIP() << "the host cannot pass these arguments yet: " << j["error"]["message"];
    EXPECT_EQ(j["value"], true) << j.dump();
    EXPECT_EQ(Lit(sF), "[a]\nx = 1\ny = 2\n[b]\nz = 3\n");
    Ecrire({"a", "x", nullptr, sF}, 4);                // delete the key in the file
    EXPECT_EQ(Lit(sF), "[a]\ny = 2\n[b]\nz = 3\n");
    Ecrire({"a", nullptr, nullptr, sF}, 5);            // delete the section in the file
    EXPECT_EQ(Lit(sF), "[b]\nz = 3\n");
    Ecrire({"intl", "k", "v"});
    Ecrire({"intl", "k", nullptr}, 7);                 // delete the key of the per-user file
    EXPECT_EQ(Lit(m_sConf), "[intl]\n");
}

TEST_F(Ini, ReadingIgnoresCaseWritingDoesNot) {
    const std::string sF = m_sRacine + "/case.ini";
    Ecrit(sF, "[net]\nPortB=1\nport = 8080\n\n[next]\nx = 1\n");
    EXPECT_EQ(Lire({"NET", "Port", "", sF}), "8080");
    EXPECT_EQ(Lire({"net", "PORTB", "", sF}), "1");
    Ecrire({"net", "Port", "9090", sF});
    // The new line goes at the blank line; the lower-case line stays.
    EXPECT_EQ(Lit(sF), "[net]\nPortB=1\nport = 8080\nPort = 9090\n\n[next]\nx = 1\n");
    EXPECT_EQ(Lire({"net", "port", "", sF}), "8080");
    Ecrire({"NET", "x", "1", sF});
    EXPECT_EQ(Lit(sF), "[net]\nPortB=1\nport = 8080\nPort = 9090\n\n[next]\nx = 1\n[NET]\nx = 1\n");
}

TEST_F(Ini, RelativeNamesAreReadInHomeAndWrittenInTheCurrentDirectory) {
    Ecrire({"s", "k", "written", "rel.ini"});
    EXPECT_EQ(Lit(m_sCwd + "/rel.ini"), "[s]\nk = written\n");
    EXPECT_FALSE(bExiste(m_sHome + "/rel.ini"));
    EXPECT_EQ(Lire({"s", "k", "not in home", "rel.ini"}), "not in home");
    Ecrit(m_sHome + "/rel.ini", "[s]\nk = from home\n");
    EXPECT_EQ(Lire({"s", "k", "", "rel.ini"}), "from home");
    EXPECT_EQ(Lire({"s", "k", "", "./rel.ini"}), "written");
}

TEST_F(Ini, FailedWritesRaise80294) {
    // Each case names its own file, so that each error differs from the
    // one the previous call left behind.
    struct STCas {
        std::vector<json> tabArgs;
        std::string sNom;
    };
    auto fnNom = [&](int n) { return m_sRacine + "/inj" + std::to_string(n) + ".ini"; };
    const STCas tabCas[] = {
        {{"s", "k", "1\n[admin]\nrole = root", fnNom(1)}, fnNom(1)},
        {{"s", "k", "v\r", fnNom(2)}, fnNom(2)},
        {{"s\n[x]", "k", "v", fnNom(3)}, fnNom(3)},
        {{"s", "k\r\nz = 2", "v", fnNom(4)}, fnNom(4)},
        {{"s", "k", "v", m_sRacine + "/no/such/dir.ini"}, m_sRacine + "/no/such/dir.ini"},
        {{"s", "k", "a\nb"}, m_sConf},
        {{"s", "k", "v", m_sHome}, m_sHome},   // a directory
    };
    for (int n = 1; n <= 4; ++n) Ecrit(fnNom(n), "[s]\nk = 1\n");
    for (const auto& st : tabCas) {
        json j = e2e::Appel("INIEcrit", st.tabArgs);
        ASSERT_FALSE(j["error"].is_null()) << json(st.tabArgs).dump();
        EXPECT_EQ(j["error"]["code"], 80294);
        EXPECT_EQ(j["value"], false);
        std::string sMessage = j["error"]["message"].get<std::string>();
        EXPECT_NE(sMessage.find("<" + st.sNom + ">"), std::string::npos) << sMessage;
    }
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(Lit(fnNom(n)), "[s]\nk = 1\n");
    EXPECT_FALSE(bExiste(m_sConf));
    Ecrire({"s", "k", "2", fnNom(1)});
    EXPECT_EQ(Lire({"s", "k", "", fnNom(1)}), "2");
}

TEST_F(Ini, EnglishNames) {
    const std::string sF = m_sRacine + "/en.ini";
    json j = e2e::Appel("INIWrite", {"s", "k", "v", sF});
    EXPECT_EQ(j["value"], true) << j.dump();
    j = e2e::Appel("INIRead", {"s", "k", "", sF});
    EXPECT_EQ(j["value"], "v") << j.dump();
}

}  // namespace
