// The profile engine: the reading and writing rules on texts held in
// memory, then the file calls (paths, replacement of the file, locking).
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "system/profile.h"
#include "system/profile_text.h"

namespace {

using namespace std::literals;

// --- Reading rules ------------------------------------------------------------

struct STLecture {
    const char* pszCas;
    std::string_view svTexte;
    const char* pszSection;   // null: the list of sections
    const char* pszCle;       // null: the list of keys
    const char* pszDefaut;
    int nTaille;
    const char* pszAttendu;
};

TEST(ProfileText, ReadingRules) {
    const char* k_pszFichier =
        "; not a comment here\n"
        "[Net]\n"
        "port = 8080\n"
        "PortB=1\n"
        "  host\t=   example.org  \n"
        "empty=\n"
        ":hidden = 1\n"
        "no equal sign\n"
        "path = a=b\n"
        "\n"
        "[Other]\n"
        "port = 9\n";
    const STLecture tabCas[] = {
        {"key found, case ignored", k_pszFichier, "Net", "Port", "d", 100, "8080"},
        {"section found, case ignored", k_pszFichier, "NET", "port", "d", 100, "8080"},
        {"key prefix of a longer key is not taken", "[s]\nPortB=1\nport=2\n", "s", "Port", "d", 100, "2"},
        {"only a longer key", "[s]\nPortB=1\n", "s", "Port", "d", 100, "d"},
        {"longer key", k_pszFichier, "Net", "portb", "d", 100, "1"},
        {"leading blanks of line and value go, trailing stay", k_pszFichier, "Net", "host", "d", 100,
         "example.org  "},
        {"empty value gives empty, not the default", k_pszFichier, "Net", "empty", "d", 100, ""},
        {"value holding an equal sign", k_pszFichier, "Net", "path", "d", 100, "a=b"},
        {"missing key gives the default", k_pszFichier, "Net", "nothing", "def", 100, "def"},
        {"missing section gives the default", k_pszFichier, "None", "port", "def", 100, "def"},
        {"null default gives empty", k_pszFichier, "None", "port", nullptr, 100, ""},
        {"search stops at the next section", k_pszFichier, "Other", "host", "d", 100, "d"},
        {"second section", k_pszFichier, "other", "PORT", "d", 100, "9"},
        {"value cut to the size", k_pszFichier, "Net", "port", "d", 3, "80"},
        {"default cut to the size", k_pszFichier, "Net", "zz", "default", 4, "def"},
        {"size one gives nothing", k_pszFichier, "Net", "port", "d", 1, ""},
        {"key names", k_pszFichier, "Net", nullptr, "d", 100, "port\r\nPortB\r\nhost\r\nempty\r\npath\r\n"},
        {"only whole key names fit", k_pszFichier, "Net", nullptr, "d", 15, "port\r\nPortB\r\n"},
        {"section names", k_pszFichier, nullptr, nullptr, "d", 100, "Net\r\nOther\r\n"},
        {"section names with a key asked", k_pszFichier, nullptr, "port", "d", 100, "Net\r\nOther\r\n"},
        {"no room for one name gives the default", k_pszFichier, nullptr, nullptr, "d", 5, "d"},
        {"empty section's key list gives the default", "[a]\n[b]\nk=1\n", "a", nullptr, "none", 100, "none"},
        {"CR LF line ends", "[s]\r\nk = v \r\nj=w\r\n", "s", "k", "d", 100, "v "},
        {"key names with CR LF ends", "[s]\r\nk = v\r\nj=w\r\n", "s", nullptr, "d", 100, "k\r\nj\r\n"},
        {"key followed by a tab", "[s]\nk\t= v\n", "s", "k", "d", 100, "v"},
        {"key followed by text before the sign", "[s]\nk x=1\n", "s", "k", "d", 100, "d"},
        {"key with a blank inside", "[s]\nk x=1\n", "s", "k x", "d", 100, "1"},
        // A key is the whole text before the sign, not a start of it.
        {"key that begins a longer key with a blank", "[s]\nLast user = alice\n", "s", "Last", "d", 100, "d"},
        {"the longer key itself", "[s]\nLast user = alice\n", "s", "last USER", "d", 100, "alice"},
        {"shorter key after the longer one", "[s]\nLast user = alice\nLast = bob\n", "s", "Last", "d", 100, "bob"},
        {"blanks before the sign trimmed", "[s]\nk \t \t= v\n", "s", "k", "d", 100, "v"},
        {"key followed by another letter", "[s]\nkx=1\n", "s", "k", "d", 100, "d"},
        {"header prefix must hold the bracket", "[Section]\nk=1\n", "Sec", "k", "d", 100, "d"},
        {"indented header", "  [s]\nk=1\n", "s", "k", "d", 100, "1"},
        {"text after the header", "[s] trailing\nk=1\n", "s", "k", "d", 100, "1"},
        {"last line without line end", "[s]\nk=last", "s", "k", "d", 100, "last"},
        {"first of two equal keys", "[s]\nk=1\nk=2\n", "s", "k", "d", 100, "1"},
        {"a NUL ends the value", std::string_view("[s]\nk=ab\0cd\n", 12), "s", "k", "d", 100, "ab"},
        {"a NUL ends a key name only", "[s]\na\0b=1\nc=2\n"sv, "s", nullptr, "d", 100,
         "a\r\nc\r\n"},
        {"a NUL ends a section name only", "[a\0b]\n[c]\n"sv, nullptr, nullptr, "d", 100,
         "a\r\nc\r\n"},
        {"empty file", "", "s", "k", "d", 100, "d"},
        {"bracket without closing is no header", "[s]\n[x\nk=1\n", "s", "k", "d", 100, "1"},
    };
    for (const auto& st : tabCas) {
        std::vector<char> tab(static_cast<size_t>(st.nTaille) + 8, '#');
        int n = profile_text::nLookup(st.svTexte, st.pszSection, st.pszCle, st.pszDefaut, tab.data(), st.nTaille);
        EXPECT_STREQ(tab.data(), st.pszAttendu) << st.pszCas;
        EXPECT_EQ(n, static_cast<int>(std::strlen(st.pszAttendu))) << st.pszCas;
        // Nothing written beyond the size.
        for (size_t i = static_cast<size_t>(st.nTaille); i < tab.size(); ++i) ASSERT_EQ(tab[i], '#') << st.pszCas;
        // Where nothing is cut, the unbounded reading gives the same text.
        if (st.nTaille == 100) {
            EXPECT_EQ(profile_text::Lookup(st.svTexte, st.pszSection, st.pszCle, st.pszDefaut), st.pszAttendu)
                << st.pszCas;
        }
    }
}

// Values and lists of any length come back whole from the unbounded
// reading; the bounded one cuts them to its buffer.
TEST(ProfileText, WholeValuesAndLists) {
    const std::string sGrande(1 << 20, 'v');
    std::string sTexte = "[s]\nbig = " + sGrande + "\n";
    std::string sCles, sSections;
    for (int i = 0; i < 20000; ++i) {
        sTexte += "key" + std::to_string(i) + " = 1\n";
        sCles += "key" + std::to_string(i) + "\r\n";
    }
    sCles = "big\r\n" + sCles;
    for (int i = 0; i < 20000; ++i) {
        sTexte += "[t" + std::to_string(i) + "]\n";
        sSections += "t" + std::to_string(i) + "\r\n";
    }
    sSections = "s\r\n" + sSections;
    ASSERT_GT(sCles.size(), 65536u);
    ASSERT_GT(sSections.size(), 65536u);
    EXPECT_EQ(profile_text::Lookup(sTexte, "s", "big", "d"), sGrande);
    EXPECT_EQ(profile_text::Lookup(sTexte, "s", nullptr, "d"), sCles);
    EXPECT_EQ(profile_text::Lookup(sTexte, nullptr, nullptr, "d"), sSections);
    std::vector<char> tab(65536);
    EXPECT_EQ(profile_text::nLookup(sTexte, "s", "big", "d", tab.data(), 65536), 65535);
    EXPECT_EQ(std::string(tab.data()), sGrande.substr(0, 65535));
}

// --- Writing rules ------------------------------------------------------------

struct STEcriture {
    const char* pszCas;
    const char* pszAvant;
    const char* pszSection;
    const char* pszCle;     // null: delete the section
    const char* pszValeur;  // null: delete the key
    const char* pszApres;   // null: no change
};

TEST(ProfileText, WritingRules) {
    const STEcriture tabCas[] = {
        {"replace a key", "[s]\na = 1\nb = 2\n", "s", "a", "9", "[s]\na = 9\nb = 2\n"},
        {"replace keeps other sections", "[t]\na=1\n[s]\na=1\n", "s", "a", "2", "[t]\na=1\n[s]\na = 2\n"},
        // Writing changes the line that reading finds: case folded, whole keys.
        {"key case is folded: the line read is replaced", "[s]\nport = 8080\n", "s", "Port", "1",
         "[s]\nPort = 1\n"},
        {"section case is folded", "[S]\nk = 1\n", "s", "k", "2", "[S]\nk = 2\n"},
        {"the first of two spellings, as reading finds it", "[s]\nport = 1\nPORT = 2\n", "s", "Port", "3",
         "[s]\nPort = 3\nPORT = 2\n"},
        {"a longer key with a blank is not the key", "[s]\nLast user = alice\n", "s", "Last", "bob",
         "[s]\nLast user = alice\nLast = bob\n"},
        {"deleting a key leaves the longer key", "[s]\nLast user = alice\n", "s", "Last", nullptr, nullptr},
        {"deleting the key among longer ones", "[s]\nLast user = alice\nLast = bob\n", "s", "last", nullptr,
         "[s]\nLast user = alice\n"},
        {"blanks before the sign trimmed", "[s]\nk \t= 1\n", "s", "k", "2", "[s]\nk = 2\n"},
        {"deleting a section, case folded", "[S]\na = 1\n[t]\n", "s", nullptr, nullptr, "[t]\n"},
        {"insertion at the blank line", "[s]\na = 1\n\n[t]\nb = 2\n", "s", "c", "3",
         "[s]\na = 1\nc = 3\n\n[t]\nb = 2\n"},
        {"insertion before the next header", "[s]\na = 1\n[t]\nb = 2\n", "s", "c", "3",
         "[s]\na = 1\nc = 3\n[t]\nb = 2\n"},
        {"insertion at the end", "[s]\na = 1\n", "s", "c", "3", "[s]\na = 1\nc = 3\n"},
        {"insertion at the end of a file without last line end", "[s]\na = 1", "s", "c", "3",
         "[s]\na = 1\nc = 3\n"},
        {"key found after a blank line is replaced", "[s]\n\na = 1\n", "s", "a", "2", "[s]\n\na = 2\n"},
        {"blank line of spaces", "[s]\na = 1\n  \t\n[t]\n", "s", "c", "3", "[s]\na = 1\nc = 3\n  \t\n[t]\n"},
        {"new section at the end", "[s]\na = 1\n", "t", "b", "2", "[s]\na = 1\n[t]\nb = 2\n"},
        {"new section after a last line without line end", "[s]\na = 1", "t", "b", "2",
         "[s]\na = 1\n[t]\nb = 2\n"},
        {"new section in an empty file", "", "t", "b", "2", "[t]\nb = 2\n"},
        {"null value on a missing section writes the header", "", "t", "b", nullptr, "[t]\n"},
        {"deleting a missing section", "[s]\na = 1\n", "t", nullptr, nullptr, nullptr},
        {"deleting a section", "[s]\na = 1\n\n[t]\nb = 2\n", "s", nullptr, nullptr, "[t]\nb = 2\n"},
        {"deleting the last section", "[s]\na = 1\n[t]\nb = 2\n", "t", nullptr, "ignored", "[s]\na = 1\n"},
        {"deleting stops at any bracket line", "[s]\na = 1\n[x\nb = 2\n", "s", nullptr, nullptr, "[x\nb = 2\n"},
        {"deleting a key", "[s]\na = 1\nb = 2\n", "s", "a", nullptr, "[s]\nb = 2\n"},
        {"deleting a missing key", "[s]\na = 1\n", "s", "z", nullptr, nullptr},
        {"deleting a key of another section only", "[s]\na = 1\n[t]\na = 2\n", "t", "a", nullptr,
         "[s]\na = 1\n[t]\n"},
        {"key prefix of a longer key", "[s]\nPortB = 1\n", "s", "Port", "2", "[s]\nPortB = 1\nPort = 2\n"},
        {"same value: no change", "[s]\na = 1\n", "s", "a", "1", nullptr},
        {"CR LF file keeps its other lines", "[s]\r\na = 1\r\nb = 2\r\n", "s", "a", "3", "[s]\r\na = 3\nb = 2\r\n"},
        {"replace the last line without line end", "[s]\na = 1", "s", "a", "2", "[s]\na = 2\n"},
        {"value with leading and trailing spaces", "[s]\n", "s", "a", "  v  ", "[s]\na =   v  \n"},
        {"empty value", "[s]\n", "s", "a", "", "[s]\na = \n"},
        {"indented header is the section", "  [s]\na = 1\n", "s", "a", "2", "  [s]\na = 2\n"},
        {"line without equal sign is no key", "[s]\na\n", "s", "a", "2", "[s]\na\na = 2\n"},
    };
    for (const auto& st : tabCas) {
        std::string sApres;
        bool bChange = profile_text::bEdit(st.pszAvant, st.pszSection, st.pszCle, st.pszValeur, sApres);
        if (st.pszApres == nullptr) {
            EXPECT_FALSE(bChange) << st.pszCas << ": " << sApres;
        } else {
            EXPECT_TRUE(bChange) << st.pszCas;
            EXPECT_EQ(sApres, st.pszApres) << st.pszCas;
        }
    }
}

// --- What may be written ----------------------------------------------------------

struct STEcrivible {
    const char* pszCas;
    const char* pszSection;   // null: absent
    const char* pszCle;
    const char* pszValeur;
    bool bEcrivible;
};

// Everything a reading could not give back exactly is refused.
const STEcrivible k_tabEcrivibles[] = {
    {"plain", "s", "k", "v", true},
    {"deleting a key", "s", "k", nullptr, true},
    {"deleting a section", "s", nullptr, nullptr, true},
    {"nothing at all", nullptr, nullptr, nullptr, true},
    {"empty value", "s", "k", "", true},
    {"blanks inside names and value", "my sect", "my key", "a b", true},
    {"trailing blanks of the value", "s", "k", "v \t ", true},
    {"value with signs and brackets", "s", "k", "=[x]:=", true},
    {"section with an opening bracket", "[s", "k", "v", true},
    {"section with blanks around", " s ", "k", "v", true},
    {"key with a bracket inside", "s", "a[b]", "v", true},
    {"key beginning with a semicolon", "s", ";k", "v", true},
    {"Latin-1 names", "\xE9t\xE9", "cl\xE9", "\xE0", true},
    // Line ends would split the line.
    {"line end in the value", "s", "k", "1\n[admin]\nrole = root", false},
    {"CR at the end of the value", "s", "k", "v\r", false},
    {"line end in the section", "s\n[x]", "k", "v", false},
    {"line end in the key", "s", "k\nz", "v", false},
    {"CR in a section to delete", "s\r", nullptr, nullptr, false},
    {"line end in a key to delete", "s", "k\r\n", nullptr, false},
    // A section name ends at the first closing bracket.
    {"closing bracket in the section", "a]b", "k", "v", false},
    {"closing bracket in a section to delete", "a]", nullptr, nullptr, false},
    // A key line: the key is all before the first sign, blanks trimmed; a
    // line beginning with ":" is a comment, one beginning with "[" a header.
    {"key as a header", "s", "[Evil]", "v", false},
    {"key beginning with a bracket", "s", "[k", "v]", false},
    {"key with a sign", "s", "x=y", "v", false},
    {"key beginning with a colon", "s", ":k", "v", false},
    {"key beginning with a space", "s", " k", "v", false},
    {"key beginning with a tab", "s", "\tk", "v", false},
    {"key ending with a space", "s", "k ", "v", false},
    {"key ending with a tab", "s", "k\t", "v", false},
    {"blank key", "s", "  ", "v", false},
    {"key to delete with a sign", "s", "x=y", nullptr, false},
    // Leading blanks of a value are not read back.
    {"value beginning with a space", "s", "k", " v", false},
    {"value beginning with a tab", "s", "k", "\tv", false},
    {"value of blanks", "s", "k", "  ", false},
    // A value needs a section and a key: it would otherwise delete the
    // section or change nothing, and be reported written.
    {"value without key", "s", nullptr, "v", false},
    {"value without section", nullptr, "k", "v", false},
    {"empty value without key", "s", nullptr, "", false},
};

TEST(ProfileText, WritableArguments) {
    for (const auto& st : k_tabEcrivibles)
        EXPECT_EQ(profile_text::bWritable(st.pszSection, st.pszCle, st.pszValeur), st.bEcrivible) << st.pszCas;
}

// Whatever is accepted is read back exactly, whatever the file held.
TEST(ProfileText, WhatIsWrittenIsReadBack) {
    const char* const tabTextes[] = {
        "",
        "[s]\nk = old\n",
        "[S]\nLast user = alice\nK=1\n",
        "  [s]\n:k = comment\nk x = 1\n\n[t]\nk = t\n",
        "[s]\r\nk = 1\r\n\r\n[my sect]\r\n",
        "[s]\nk = 1\n[s]\nk = 2",
        "[other]\nk = 1",
        "[s] trailing\n[x\nk\n",
    };
    for (const char* pszTexte : tabTextes)
        for (const auto& st : k_tabEcrivibles) {
            if (!st.bEcrivible || st.pszSection == nullptr || st.pszCle == nullptr || st.pszValeur == nullptr)
                continue;
            std::string sApres;
            std::string sCas = std::string(st.pszCas) + " in \"" + pszTexte + "\"";
            if (!profile_text::bEdit(pszTexte, st.pszSection, st.pszCle, st.pszValeur, sApres)) sApres = pszTexte;
            EXPECT_EQ(profile_text::Lookup(sApres, st.pszSection, st.pszCle, "absent"), st.pszValeur) << sCas;
        }
}

// --- Files ----------------------------------------------------------------------

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
    return lstat(sChemin.c_str(), &st) == 0;
}

std::vector<std::string> Contenu(const std::string& sDossier) {
    std::vector<std::string> tab;
    DIR* pDir = opendir(sDossier.c_str());
    if (pDir == nullptr) return tab;
    while (dirent* p = readdir(pDir))
        if (std::strcmp(p->d_name, ".") != 0 && std::strcmp(p->d_name, "..") != 0) tab.push_back(p->d_name);
    closedir(pDir);
    std::sort(tab.begin(), tab.end());
    return tab;
}

// A fresh directory with a home and a working directory of its own; HOME
// and the current directory are restored afterwards.
class ProfileFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_clRep.bOk());
        m_sRacine = m_clRep.sRep();
        m_sHome = m_sRacine + "/home";
        m_sCwd = m_sRacine + "/cwd";
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
    std::string Get(const char* pszSection, const char* pszCle, const char* pszFichier, const char* pszDefaut = "") {
        char sz[256];
        int n = GetPrivateProfileString(pszSection, pszCle, pszDefaut, sz, sizeof sz, pszFichier);
        EXPECT_EQ(n, static_cast<int>(std::strlen(sz)));
        return sz;
    }

    CRepTemporaire m_clRep{"profile_test"};
    std::string m_sRacine, m_sHome, m_sCwd, m_sAncienHome, m_sAncienCwd;
    bool m_bHome = false;
};

TEST_F(ProfileFiles, RoundTripAndIntegers) {
    const std::string sFichier = m_sRacine + "/a.ini";
    EXPECT_EQ(Get("s", "k", sFichier.c_str(), "absent"), "absent");
    EXPECT_TRUE(WritePrivateProfileString("s", "k", "v", sFichier.c_str()));
    EXPECT_TRUE(WritePrivateProfileString("s", "n", "-42", sFichier.c_str()));
    EXPECT_TRUE(WritePrivateProfileString("t", "n", "12abc", sFichier.c_str()));
    EXPECT_EQ(Lit(sFichier), "[s]\nk = v\nn = -42\n[t]\nn = 12abc\n");
    EXPECT_EQ(Get("S", "K", sFichier.c_str()), "v");
    EXPECT_EQ(GetPrivateProfileInt("s", "n", 5, sFichier.c_str()), -42);
    EXPECT_EQ(GetPrivateProfileInt("t", "n", 5, sFichier.c_str()), 12);
    EXPECT_EQ(GetPrivateProfileInt("t", "x", 5, sFichier.c_str()), 5);
    EXPECT_EQ(GetPrivateProfileInt("t", "x", -2147483647 - 1, sFichier.c_str()), -2147483647 - 1);
    EXPECT_EQ(GetPrivateProfileInt("t", "x", 5, (m_sRacine + "/none.ini").c_str()), 5);
    EXPECT_EQ(Get(nullptr, nullptr, sFichier.c_str()), "s\r\nt\r\n");
    EXPECT_EQ(Get("s", nullptr, sFichier.c_str()), "k\r\nn\r\n");
    EXPECT_TRUE(WritePrivateProfileString("s", nullptr, nullptr, sFichier.c_str()));
    EXPECT_EQ(Lit(sFichier), "[t]\nn = 12abc\n");
    EXPECT_TRUE(WritePrivateProfileString("t", "n", nullptr, sFichier.c_str()));
    EXPECT_EQ(Lit(sFichier), "[t]\n");
    // A backslash in the name is a slash.
    std::string sInverse = sFichier;
    sInverse[sInverse.rfind('/')] = '\\';
    EXPECT_TRUE(WritePrivateProfileString("t", "b", "1", sInverse.c_str()));
    EXPECT_EQ(Get("t", "b", sInverse.c_str()), "1");
    // No temporary file is left beside the file.
    EXPECT_EQ(Contenu(m_sRacine), (std::vector<std::string>{"a.ini", "cwd", "home"}));
}

TEST_F(ProfileFiles, NoSectionChangesNothing) {
    EXPECT_TRUE(WritePrivateProfileString(nullptr, nullptr, nullptr, "x.ini"));
    EXPECT_TRUE(WritePrivateProfileString("", "k", nullptr, "x.ini"));
    EXPECT_FALSE(bExiste(m_sHome + "/x.ini"));
    // Deleting from a missing file creates it empty, as an open for update.
    EXPECT_TRUE(WritePrivateProfileString("s", nullptr, nullptr, "x.ini"));
    EXPECT_EQ(Lit(m_sHome + "/x.ini"), "");
}

// A write changes the file that a read of the same name finds.
TEST_F(ProfileFiles, RelativeNamesAreReadAndWrittenInHome) {
    EXPECT_TRUE(WritePrivateProfileString("s", "k", "home", "rel.ini"));
    EXPECT_EQ(Lit(m_sHome + "/rel.ini"), "[s]\nk = home\n");
    EXPECT_FALSE(bExiste(m_sCwd + "/rel.ini"));
    EXPECT_EQ(Get("s", "k", "rel.ini", "none"), "home");
    EXPECT_TRUE(WritePrivateProfileString("s", "k", "again", "rel.ini"));
    EXPECT_EQ(Get("s", "k", "rel.ini", "none"), "again");
    // "./" is the current directory for both, so is an absolute name.
    EXPECT_TRUE(WritePrivateProfileString("s", "k", "cwd", "./rel.ini"));
    EXPECT_EQ(Lit(m_sCwd + "/rel.ini"), "[s]\nk = cwd\n");
    EXPECT_EQ(Get("s", "k", "./rel.ini"), "cwd");
    EXPECT_EQ(Get("s", "k", (m_sCwd + "/rel.ini").c_str()), "cwd");
    EXPECT_EQ(Get("s", "k", "rel.ini"), "again");
    // A name beginning with a tilde is an ordinary name.
    EXPECT_TRUE(WritePrivateProfileString("s", "k", "t", "~t.ini"));
    EXPECT_TRUE(bExiste(m_sHome + "/~t.ini"));
    EXPECT_EQ(Get("s", "k", "~t.ini"), "t");
    // Subdirectories.
    ASSERT_EQ(mkdir((m_sHome + "/sub").c_str(), 0700), 0);
    Ecrit(m_sHome + "/sub/f.ini", "[a]\nb=c\n");
    EXPECT_EQ(Get("a", "b", "sub/f.ini"), "c");
    EXPECT_EQ(Get("a", "b", "sub\\f.ini"), "c");
}

TEST_F(ProfileFiles, PerUserFile) {
    char sz[PROFILE_MAX_PATH + 1];
    ASSERT_TRUE(bGetTVRCONFPath(sz, sizeof sz));
    EXPECT_EQ(std::string(sz), m_sHome + "/.TVR.conf");
    EXPECT_FALSE(bGetTVRCONFPath(sz, 5));
    EXPECT_TRUE(WriteProfileString("intl", "sDecimal", ","));
    EXPECT_EQ(Lit(m_sHome + "/.TVR.conf"), "[intl]\nsDecimal = ,\n");
    char szValeur[16];
    EXPECT_EQ(GetProfileString("INTL", "sdecimal", ".", szValeur, sizeof szValeur), 1);
    EXPECT_STREQ(szValeur, ",");
    EXPECT_TRUE(WriteProfileString("intl", "iDigits", "3"));
    EXPECT_EQ(GetProfileInt("intl", "iDigits", 2), 3);
    EXPECT_EQ(Get("intl", "iDigits", nullptr), "3");
    EXPECT_EQ(Get("intl", "iDigits", ""), "3");
    // A home with a trailing slash gives the same name.
    setenv("HOME", (m_sHome + "/").c_str(), 1);
    ASSERT_TRUE(bGetTVRCONFPath(sz, sizeof sz));
    EXPECT_EQ(std::string(sz), m_sHome + "/.TVR.conf");
}

TEST_F(ProfileFiles, LongPathsAreRefusedNotCut) {
    // 270 characters: too long for the per-user file.
    std::string sLong = m_sRacine + "/" + std::string(240, 'h');
    setenv("HOME", sLong.c_str(), 1);
    char sz[1024];
    EXPECT_FALSE(bGetTVRCONFPath(sz, sizeof sz));
    EXPECT_FALSE(WriteProfileString("s", "k", "v"));
    EXPECT_EQ(GetProfileString("s", "k", "dflt", sz, sizeof sz), 4);
    EXPECT_STREQ(sz, "dflt");
    setenv("HOME", m_sHome.c_str(), 1);
    // A file name over the limit, whose cut form would exist.
    std::string sCourt = m_sRacine + "/" + std::string(200, 'f');
    Ecrit(sCourt, "[s]\nk = short\n");
    std::string sNom = sCourt + std::string(100, 'f');
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", sNom.c_str()));
    EXPECT_EQ(Get("s", "k", sNom.c_str(), "d"), "d");
    EXPECT_EQ(Lit(sCourt), "[s]\nk = short\n");
}

// What could not be read back exactly is refused and the file stays as it
// was; what is accepted is read back exactly.
TEST_F(ProfileFiles, UnreadableArgumentsAreRefused) {
    const std::string sFichier = m_sRacine + "/inj.ini";
    const std::string sAvant = "[s]\nk = 1\nLast user = alice\n[a]\nk = 2\n";
    for (const auto& st : k_tabEcrivibles) {
        Ecrit(sFichier, sAvant);
        EXPECT_EQ(WritePrivateProfileString(st.pszSection, st.pszCle, st.pszValeur, sFichier.c_str()),
                  st.bEcrivible)
            << st.pszCas;
        if (!st.bEcrivible) {
            EXPECT_EQ(Lit(sFichier), sAvant) << st.pszCas;
        } else if (st.pszSection != nullptr && st.pszCle != nullptr && st.pszValeur != nullptr) {
            EXPECT_EQ(GetPrivateProfileText(st.pszSection, st.pszCle, "absent", sFichier.c_str()), st.pszValeur)
                << st.pszCas;
        }
    }
    // Empty texts stand for absent ones: a value with an empty section or
    // key is refused as well.
    Ecrit(sFichier, sAvant);
    EXPECT_FALSE(WritePrivateProfileString("s", "", "x", sFichier.c_str()));
    EXPECT_FALSE(WritePrivateProfileString("", "k", "x", sFichier.c_str()));
    EXPECT_FALSE(WritePrivateProfileString("", "", "x", sFichier.c_str()));
    EXPECT_EQ(Lit(sFichier), sAvant);
    EXPECT_FALSE(WriteProfileString("s", "k", "a\nb"));
    EXPECT_FALSE(WriteProfileString("s", "[Evil]", "v"));
    EXPECT_FALSE(bExiste(m_sHome + "/.TVR.conf"));
    EXPECT_EQ(Contenu(m_sRacine), (std::vector<std::string>{"cwd", "home", "inj.ini"}));
}

// The key written is the line a read of the same section and key finds.
TEST_F(ProfileFiles, WriteChangesTheLineAReadFinds) {
    struct STCas {
        const char* pszAvant;
        const char* pszSection;
        const char* pszCle;
        const char* pszApres;
    };
    const STCas tabCas[] = {
        {"[Base]\nPort = 8080\n", "Base", "port", "[Base]\nport = 1\n"},
        {"[base]\nPort = 8080\n", "BASE", "PORT", "[base]\nPORT = 1\n"},
        {"[s]\nLast user = alice\n", "s", "Last", "[s]\nLast user = alice\nLast = 1\n"},
        {"[s]\nLast user = alice\nlast = bob\n", "s", "Last", "[s]\nLast user = alice\nLast = 1\n"},
        {"[s]\n  k\t = 0\n", "s", "k", "[s]\nk = 1\n"},
    };
    const std::string sFichier = m_sRacine + "/w.ini";
    for (const auto& st : tabCas) {
        Ecrit(sFichier, st.pszAvant);
        EXPECT_TRUE(WritePrivateProfileString(st.pszSection, st.pszCle, "1", sFichier.c_str())) << st.pszAvant;
        EXPECT_EQ(Lit(sFichier), st.pszApres) << st.pszAvant;
        EXPECT_EQ(Get(st.pszSection, st.pszCle, sFichier.c_str()), "1") << st.pszAvant;
    }
    // Reading "Last" never takes alice's line.
    Ecrit(sFichier, "[s]\nLast user = alice\n");
    EXPECT_EQ(Get("s", "Last", sFichier.c_str(), "none"), "none");
    EXPECT_TRUE(WritePrivateProfileString("s", "Last", nullptr, sFichier.c_str()));
    EXPECT_EQ(Lit(sFichier), "[s]\nLast user = alice\n");
}

// Values and lists longer than any fixed buffer come back whole.
TEST_F(ProfileFiles, LongValuesAndListsComeBackWhole) {
    const std::string sFichier = m_sRacine + "/long.ini";
    const std::string sGrande(1 << 20, 'x');
    ASSERT_TRUE(WritePrivateProfileString("s", "big", sGrande.c_str(), sFichier.c_str()));
    EXPECT_EQ(GetPrivateProfileText("s", "big", "", sFichier.c_str()), sGrande);
    std::string sTexte = "[s]\n";
    std::string sCles;
    for (int i = 0; i < 10000; ++i) {
        std::string sCle = "a_rather_long_key_name_" + std::to_string(i);
        sTexte += sCle + " = 1\n";
        sCles += sCle + "\r\n";
    }
    Ecrit(sFichier, sTexte);
    ASSERT_GT(sCles.size(), 65536u);
    EXPECT_EQ(GetPrivateProfileText("s", nullptr, "", sFichier.c_str()), sCles);
    EXPECT_EQ(GetPrivateProfileText("s", "", "", sFichier.c_str()), sCles);
    EXPECT_EQ(GetPrivateProfileText("s", "none", "dflt", sFichier.c_str()), "dflt");
    EXPECT_EQ(GetPrivateProfileText("s", "none", nullptr, sFichier.c_str()), "");
    EXPECT_EQ(GetPrivateProfileText("s", "k", "dflt", (m_sRacine + "/none.ini").c_str()), "dflt");
}

// A writer killed between creating its temporary file and renaming it
// leaves the file behind; the next write removes it once it is stale, and
// only files of exactly that form.
TEST_F(ProfileFiles, StaleTemporaryFilesAreRemoved) {
    const std::string sDossier = m_sRacine + "/tmpdir";
    ASSERT_EQ(mkdir(sDossier.c_str(), 0700), 0);
    const std::string sFichier = sDossier + "/f.ini";
    Ecrit(sFichier, "[s]\nk = 1\n");
    struct STCas {
        const char* pszNom;
        char cType;   // f: file, d: directory, l: symbolic link
        bool bAncien;
        bool bRetire;
    };
    const STCas tabCas[] = {
        {".f.ini.Ab12Zz", 'f', true, true},     // a stale temporary file of ours
        {".f.ini.000000", 'f', true, true},
        {".f.ini.Cd34Yy", 'f', false, false},   // recent: its writer may still be at work
        {".f.ini.Ab12Z", 'f', true, false},     // five letters
        {".f.ini.Ab12Zzz", 'f', true, false},   // seven letters
        {".f.ini.Ab-2Zz", 'f', true, false},    // not a letter or digit
        {"f.ini.Ab12Zz", 'f', true, false},     // no leading dot
        {".g.ini.Ab12Zz", 'f', true, false},    // another file's
        {".F.ini.Ab12Zz", 'f', true, false},    // another file's (case)
        {".f.ini.Dd12Zz", 'd', true, false},    // a directory
        {".f.ini.Ll12Zz", 'l', true, false},    // a symbolic link
    };
    const std::string sCible = m_sRacine + "/target";
    Ecrit(sCible, "keep");
    for (const auto& st : tabCas) {
        const std::string sNom = sDossier + "/" + st.pszNom;
        if (st.cType == 'f') {
            Ecrit(sNom, "partial");
        } else if (st.cType == 'd') {
            ASSERT_EQ(mkdir(sNom.c_str(), 0700), 0);
        } else {
            ASSERT_EQ(symlink(sCible.c_str(), sNom.c_str()), 0);
        }
        if (st.bAncien) {
            // An hour ago, for the entry itself (not a link's target).
            struct timespec tab[2];
            tab[0].tv_sec = tab[1].tv_sec = time(nullptr) - 3600;
            tab[0].tv_nsec = tab[1].tv_nsec = 0;
            ASSERT_EQ(utimensat(AT_FDCWD, sNom.c_str(), tab, AT_SYMLINK_NOFOLLOW), 0) << st.pszNom;
        }
    }
    EXPECT_TRUE(WritePrivateProfileString("s", "k", "2", sFichier.c_str()));
    for (const auto& st : tabCas) EXPECT_EQ(bExiste(sDossier + "/" + st.pszNom), !st.bRetire) << st.pszNom;
    EXPECT_EQ(Lit(sCible), "keep");
    EXPECT_EQ(Lit(sFichier), "[s]\nk = 2\n");
    // A write that changes nothing cleans up as well.
    const std::string sPerime = sDossier + "/.f.ini.Zz99aa";
    Ecrit(sPerime, "partial");
    struct timespec tab[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, sPerime.c_str(), tab, 0), 0);
    EXPECT_TRUE(WritePrivateProfileString("s", "k", "2", sFichier.c_str()));
    EXPECT_FALSE(bExiste(sPerime));
}

TEST_F(ProfileFiles, PermissionsAndLinksAreKept) {
    const std::string sFichier = m_sRacine + "/perm.ini";
    Ecrit(sFichier, "[s]\nk = 1\n");
    ASSERT_EQ(chmod(sFichier.c_str(), 0640), 0);
    EXPECT_TRUE(WritePrivateProfileString("s", "k", "2", sFichier.c_str()));
    struct stat st;
    ASSERT_EQ(stat(sFichier.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Lit(sFichier), "[s]\nk = 2\n");
    // Through a symbolic link: the link stays, its target changes.
    const std::string sLien = m_sHome + "/link.ini";
    ASSERT_EQ(symlink(sFichier.c_str(), sLien.c_str()), 0);
    EXPECT_TRUE(WritePrivateProfileString("s", "k", "3", "link.ini"));
    struct stat stLien;
    ASSERT_EQ(lstat(sLien.c_str(), &stLien), 0);
    EXPECT_TRUE(S_ISLNK(stLien.st_mode));
    EXPECT_EQ(Lit(sFichier), "[s]\nk = 3\n");
    ASSERT_EQ(stat(sFichier.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// A writable file in a directory where the writer may not create files is
// rewritten in place. As root, the writer is a child process that drops to
// an unprivileged user, since root may create files anywhere.
TEST_F(ProfileFiles, WritableFileInAClosedDirectory) {
    const std::string sDossier = m_sRacine + "/closed";
    const std::string sFichier = sDossier + "/f.ini";
    ASSERT_EQ(mkdir(sDossier.c_str(), 0755), 0);
    Ecrit(sFichier, "[s]\na = 1\n");
    ASSERT_EQ(chmod(sFichier.c_str(), 0666), 0);
    ASSERT_EQ(chmod(m_sRacine.c_str(), 0755), 0);
    const bool bRoot = geteuid() == 0;
    if (!bRoot) {
        ASSERT_EQ(chmod(sDossier.c_str(), 0555), 0);
    }
    pid_t pid = fork();
    ASSERT_NE(pid, -1);
    if (pid == 0) {
        if (bRoot && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        _exit(WritePrivateProfileString("s", "b", "2", sFichier.c_str()) ? 0 : 1);
    }
    int nStatut = 0;
    ASSERT_EQ(waitpid(pid, &nStatut, 0), pid);
    ASSERT_TRUE(WIFEXITED(nStatut));
    if (WEXITSTATUS(nStatut) == 2) GTEST_SKIP() << "no unprivileged user to write as";
    EXPECT_EQ(WEXITSTATUS(nStatut), 0);
    EXPECT_EQ(Lit(sFichier), "[s]\na = 1\nb = 2\n");
    EXPECT_EQ(Contenu(sDossier), std::vector<std::string>{"f.ini"});
    EXPECT_EQ(chmod(sDossier.c_str(), 0755), 0);
}

TEST_F(ProfileFiles, UnwritablePlacesFail) {
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", (m_sRacine + "/missing/dir.ini").c_str()));
    // A directory is not a profile file.
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", m_sHome.c_str()));
    EXPECT_EQ(Get("s", "k", m_sHome.c_str(), "d"), "d");
}

TEST_F(ProfileFiles, ConcurrentWritersKeepEachOthersKeys) {
    const std::string sFichier = m_sRacine + "/shared.ini";
    constexpr int k_nProcessus = 2;
    constexpr int k_nCles = 40;
    std::vector<pid_t> tabPid;
    for (int p = 0; p < k_nProcessus; ++p) {
        pid_t pid = fork();
        ASSERT_NE(pid, -1);
        if (pid == 0) {
            bool bOk = true;
            for (int i = 0; i < k_nCles; ++i) {
                std::string sCle = "p" + std::to_string(p) + "_" + std::to_string(i);
                bOk = WritePrivateProfileString(i % 2 ? "odd" : "even", sCle.c_str(), sCle.c_str(), sFichier.c_str())
                      && bOk;
            }
            _exit(bOk ? 0 : 1);
        }
        tabPid.push_back(pid);
    }
    for (pid_t pid : tabPid) {
        int nStatut = 0;
        ASSERT_EQ(waitpid(pid, &nStatut, 0), pid);
        EXPECT_TRUE(WIFEXITED(nStatut) && WEXITSTATUS(nStatut) == 0);
    }
    for (int p = 0; p < k_nProcessus; ++p)
        for (int i = 0; i < k_nCles; ++i) {
            std::string sCle = "p" + std::to_string(p) + "_" + std::to_string(i);
            EXPECT_EQ(Get(i % 2 ? "odd" : "even", sCle.c_str(), sFichier.c_str(), "lost"), sCle);
        }
    EXPECT_EQ(Get(nullptr, nullptr, sFichier.c_str()).size(), std::string("even\r\nodd\r\n").size());
    EXPECT_EQ(Contenu(m_sRacine), (std::vector<std::string>{"cwd", "home", "shared.ini"}));
}

}  // namespace
