// INILit and INIEcrit through the host, in a directory of their own with a
// home of their own.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "common/temp_dir.h"
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
        ASSERT_TRUE(m_clRep.bOk());
        m_sRacine = m_clRep.sRep();
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

    CRepTemporaire m_clRep{"ini_e2e"};
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
        {"Window", "Spaces", "padded  "},   // trailing spaces are read back
        {"Window", "Big", nullptr},          // a value of 1 MB, filled below
    };
    const std::string sGrande(1 << 20, 'b');
    auto fnValeur = [&](const STCas& st) { return st.pszValeur != nullptr ? std::string(st.pszValeur) : sGrande; };
    for (const auto& st : tabCas) Ecrire({st.pszSection, st.pszCle, fnValeur(st), sF});
    for (const auto& st : tabCas) EXPECT_EQ(Lire({st.pszSection, st.pszCle, "dflt", sF}), fnValeur(st)) << st.pszCle;
    EXPECT_EQ(Lit(sF).substr(0, 24), "[General]\nName = Demo\nPa");
    EXPECT_EQ(Lire({"General", "", "", sF}), "Name\r\nPath\r\nTitle\r\n");
    EXPECT_EQ(Lire({"", "", "", sF}), "General\r\nWindow\r\n");
    EXPECT_EQ(Lire({"Window", "Missing", "dflt", sF}), "dflt");
    EXPECT_EQ(Lire({"Missing", "Width", "", sF}), "");
    EXPECT_EQ(Lire({"Window", "Width", "dflt", m_sRacine + "/none.ini"}), "dflt");
    // Replacing keeps the other lines.
    Ecrire({"Window", "Width", "800", sF});
    EXPECT_EQ(Lire({"window", "width", "", sF}), "800");
    EXPECT_EQ(Lire({"Window", "", "", sF}), "Width\r\nSpaces\r\nBig\r\n");
}

// Lists longer than any fixed buffer come back whole.
TEST_F(Ini, LongListsComeBackWhole) {
    const std::string sF = m_sRacine + "/long.ini";
    std::string sTexte = "[s]\n", sCles, sSections = "s\r\n";
    for (int i = 0; i < 8000; ++i) {
        sTexte += "a_rather_long_key_name_" + std::to_string(i) + " = " + std::to_string(i) + "\n";
        sCles += "a_rather_long_key_name_" + std::to_string(i) + "\r\n";
    }
    for (int i = 0; i < 8000; ++i) {
        sTexte += "[a_rather_long_section_" + std::to_string(i) + "]\n";
        sSections += "a_rather_long_section_" + std::to_string(i) + "\r\n";
    }
    Ecrit(sF, sTexte);
    ASSERT_GT(sCles.size(), 65536u);
    ASSERT_GT(sSections.size(), 65536u);
    EXPECT_EQ(Lire({"s", "", "", sF}), sCles);
    EXPECT_EQ(Lire({"", "", "", sF}), sSections);
    EXPECT_EQ(Lire({"s", "a_rather_long_key_name_7999", "", sF}), "7999");
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

// Both ignore case and take whole keys, so that a write changes the line
// a read finds.
TEST_F(Ini, WritingChangesTheLineReadingFinds) {
    const std::string sF = m_sRacine + "/case.ini";
    Ecrit(sF, "[net]\nPortB=1\nport = 8080\nLast user = alice\n\n[next]\nx = 1\n");
    EXPECT_EQ(Lire({"NET", "Port", "", sF}), "8080");
    EXPECT_EQ(Lire({"net", "PORTB", "", sF}), "1");
    EXPECT_EQ(Lire({"net", "Last", "none", sF}), "none");
    Ecrire({"net", "Port", "9090", sF});
    EXPECT_EQ(Lire({"net", "port", "", sF}), "9090");
    Ecrire({"net", "Last", "bob", sF});
    EXPECT_EQ(Lire({"net", "last", "", sF}), "bob");
    EXPECT_EQ(Lire({"net", "Last user", "", sF}), "alice");
    Ecrire({"NET", "x", "1", sF});
    EXPECT_EQ(Lit(sF), "[net]\nPortB=1\nPort = 9090\nLast user = alice\nLast = bob\nx = 1\n\n[next]\nx = 1\n");
    Ecrire({"net", "LAST", "", sF});                  // deletes "Last", not "Last user"
    EXPECT_EQ(Lire({"net", "", "", sF}), "PortB\r\nPort\r\nLast user\r\nx\r\n");
}

TEST_F(Ini, RelativeNamesAreReadAndWrittenInHome) {
    Ecrire({"s", "k", "written", "rel.ini"});
    EXPECT_EQ(Lit(m_sHome + "/rel.ini"), "[s]\nk = written\n");
    EXPECT_FALSE(bExiste(m_sCwd + "/rel.ini"));
    EXPECT_EQ(Lire({"s", "k", "not found", "rel.ini"}), "written");
    Ecrire({"s", "k", "current", "./rel.ini"});
    EXPECT_EQ(Lit(m_sCwd + "/rel.ini"), "[s]\nk = current\n");
    EXPECT_EQ(Lire({"s", "k", "", "./rel.ini"}), "current");
    EXPECT_EQ(Lire({"s", "k", "", "rel.ini"}), "written");
}

// A writer killed mid-write leaves its temporary file; the next write to
// the same file removes it once it is stale.
TEST_F(Ini, StaleTemporaryFileIsRemovedByTheNextWrite) {
    const std::string sF = m_sRacine + "/t.ini";
    const std::string sPerime = m_sRacine + "/.t.ini.Q7xk2P";
    const std::string sAutre = m_sRacine + "/.t.ini.Q7xk2P.keep";
    Ecrit(sF, "[s]\nk = 1\n");
    Ecrit(sPerime, "[s]\nk = hal");
    Ecrit(sAutre, "not ours");
    const time_t nAvant = time(nullptr) - 3600;
    struct timespec tab[2] = {{nAvant, 0}, {nAvant, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, sPerime.c_str(), tab, 0), 0);
    ASSERT_EQ(utimensat(AT_FDCWD, sAutre.c_str(), tab, 0), 0);
    Ecrire({"s", "k", "2", sF});
    EXPECT_FALSE(bExiste(sPerime));
    EXPECT_TRUE(bExiste(sAutre));
    EXPECT_EQ(Lit(sF), "[s]\nk = 2\n");
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
        // What the reading could not give back as written.
        {{"s", "[Evil]", "v", fnNom(5)}, fnNom(5)},
        {{"a]b", "k", "v", fnNom(6)}, fnNom(6)},
        {{"s", "x=y", "v", fnNom(7)}, fnNom(7)},
        {{"s", ":k", "v", fnNom(8)}, fnNom(8)},
        {{"s", " k", "v", fnNom(9)}, fnNom(9)},
        {{"s", "k", " v", fnNom(10)}, fnNom(10)},
        {{"s", "k", std::string("a\0b", 3), fnNom(11)}, fnNom(11)},
        // A value with an empty key (it would delete the section) or an
        // empty section (it would do nothing).
        {{"s", "", "x", fnNom(12)}, fnNom(12)},
        {{"", "k", "x", fnNom(13)}, fnNom(13)},
        {{"s", "", "x"}, m_sConf},
    };
    constexpr int k_nFichiers = 13;
    for (int n = 1; n <= k_nFichiers; ++n) Ecrit(fnNom(n), "[s]\nk = 1\n");
    for (const auto& st : tabCas) {
        json j = e2e::Appel("INIEcrit", st.tabArgs);
        ASSERT_FALSE(j["error"].is_null()) << json(st.tabArgs).dump();
        EXPECT_EQ(j["error"]["code"], 80294);
        EXPECT_EQ(j["value"], false);
        std::string sMessage = j["error"]["message"].get<std::string>();
        EXPECT_NE(sMessage.find("<" + st.sNom + ">"), std::string::npos) << sMessage;
    }
    for (int n = 1; n <= k_nFichiers; ++n) EXPECT_EQ(Lit(fnNom(n)), "[s]\nk = 1\n") << n;
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
