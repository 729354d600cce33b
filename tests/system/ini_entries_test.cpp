// The INILit and INIEcrit entry points called in-process the way the host
// calls them: which arguments each overload reads, what it hands back.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "component/compo.h"
#include "component/fake_host.h"
#include "component/tables.h"
#include "core/zndstr.h"

extern "C" void* pQueryProxy(int);

namespace {

// Records dynamic-string results as well.
class CHote : public CRecordingHost {
public:
    void RenvoieValeur(uint32_t dwFrame, const void* pValeur, int nType) override {
        CRecordingHost::RenvoieValeur(dwFrame, pValeur, nType);
        if (nType == 0x13) {
            const auto* pcl = static_cast<const CZNDSTRBase*>(pValeur);
            tabResultats.back().sTexte.assign(pcl->pszGet(), static_cast<size_t>(pcl->nGetLongueur()));
        }
    }
};

const STFonction& Row(const char* pszFr) {
    for (const STFonction& st : gstTabFonction)
        if (st.pszNom[0] != nullptr && strcmp(st.pszNom[0], pszFr) == 0) return st;
    ADD_FAILURE() << pszFr;
    return gstTabFonction[0];
}

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

// A text argument: a C text, a null pointer for an argument of the kind
// "nothing", or a text that holds NULs (ANSI or Unicode).
struct STArg {
    STArg(const char* psz) : bPresent(psz != nullptr), sv(psz != nullptr ? psz : "") {}
    STArg(std::string_view svTexte, bool bUnicode = false) : bPresent(true), bUnicode(bUnicode), sv(svTexte) {}
    bool bPresent;
    bool bUnicode = false;
    std::string_view sv;
};

class IniEntries : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_clRep.bOk());
        m_sRacine = m_clRep.sRep();
        m_sConf = m_sRacine + "/.TVR.conf";
        const char* pszHome = getenv("HOME");
        m_bHome = pszHome != nullptr;
        if (m_bHome) m_sAncienHome = pszHome;
        setenv("HOME", m_sRacine.c_str(), 1);
        m_pclLib = static_cast<IZNLibrary*>(pQueryProxy(60));
        ASSERT_NE(m_pclLib, nullptr);
    }
    void TearDown() override {
        if (m_pclLib != nullptr) m_pclLib->Release();
        if (m_bHome)
            setenv("HOME", m_sAncienHome.c_str(), 1);
        else
            unsetenv("HOME");
    }

    // Calls overload n; a null text is an argument of the kind "nothing",
    // pushed as a null pointer.
    CRecordingHost::STResultat Appel(const char* pszFr, int n, const std::vector<STArg>& tabTextes) {
        CHote clHote;
        std::vector<CZNDSTR> tabChaines(tabTextes.size());
        std::vector<void*> tabPointeurs;
        for (size_t i = 0; i < tabTextes.size(); ++i) {
            const STArg& st = tabTextes[i];
            if (st.bUnicode) {
                std::wstring ws(st.sv.begin(), st.sv.end());
                tabChaines[i].nAssignUNICODE(ws.data(), static_cast<int>(ws.size()));
            } else if (st.bPresent) {
                tabChaines[i].nAssign(st.sv.data(), static_cast<int>(st.sv.size()));
            }
            tabPointeurs.push_back(st.bPresent ? &tabChaines[i] : nullptr);
        }
        tabPointeurs.push_back(nullptr);
        const STFonction& stF = Row(pszFr);
        EXPECT_EQ(stF.pstSyntaxes[n].dwArgs & 0x7F, tabTextes.size()) << pszFr << " " << n;
        STZNAppel st{&clHote, 0, 0, nullptr, static_cast<uint32_t>(tabTextes.size())};
        STZNAppel* pstAncien = m_pclLib->ChangeContexteAppel(&st);
        EXPECT_EQ(stF.pstSyntaxes[n].pfnEntree(&st, m_pclLib, tabPointeurs.data()), 0);
        m_pclLib->ChangeContexteAppel(pstAncien);
        EXPECT_EQ(clHote.tabResultats.size(), 1u);
        return clHote.tabResultats.empty() ? CRecordingHost::STResultat{} : clHote.tabResultats[0];
    }
    bool Ecrire(int n, const std::vector<STArg>& tabTextes) {
        auto st = Appel("INIEcrit", n, tabTextes);
        EXPECT_EQ(st.nType, 0x01);
        return st.nValeur != 0;
    }
    std::string Lire(int n, const std::vector<STArg>& tabTextes) {
        auto st = Appel("INILit", n, tabTextes);
        EXPECT_EQ(st.nType, 0x13);
        return st.sTexte;
    }

    CRepTemporaire m_clRep{"ini_entries"};
    std::string m_sRacine, m_sConf, m_sAncienHome;
    bool m_bHome = false;
    IZNLibrary* m_pclLib = nullptr;
};

TEST_F(IniEntries, EveryOverload) {
    const std::string sF = m_sRacine + "/f.ini";
    const char* pszF = sF.c_str();
    Ecrit(m_sConf, "[u]\na = 1\nb = 2\nc = 3\n[v]\nx = 1\n");
    Ecrit(sF, "[s]\na = 1\nb = 2\n[t]\nc = 3\n");

    EXPECT_EQ(Lire(0, {"u"}), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(Lire(1, {"U", "B"}), "2");
    EXPECT_EQ(Lire(2, {"u", "z", "dflt"}), "dflt");
    EXPECT_EQ(Lire(3, {"s", "a", "", pszF}), "1");
    EXPECT_EQ(Lire(3, {"", "", "", pszF}), "s\r\nt\r\n");

    EXPECT_TRUE(Ecrire(1, {"u", "a"}));                   // delete a key of the per-user file
    EXPECT_TRUE(Ecrire(7, {"u", "b", nullptr}));          // the same with "nothing" as the value
    EXPECT_TRUE(Ecrire(2, {"u", "d", "4"}));              // write into the per-user file
    EXPECT_EQ(Lit(m_sConf), "[u]\nc = 3\nd = 4\n[v]\nx = 1\n");
    EXPECT_TRUE(Ecrire(0, {"v"}));                        // delete a section of the per-user file
    EXPECT_EQ(Lit(m_sConf), "[u]\nc = 3\nd = 4\n");

    EXPECT_TRUE(Ecrire(3, {"s", "a", "9", pszF}));
    EXPECT_TRUE(Ecrire(4, {"s", "b", nullptr, pszF}));    // delete the key in the file
    EXPECT_EQ(Lit(sF), "[s]\na = 9\n[t]\nc = 3\n");
    EXPECT_TRUE(Ecrire(5, {"t", nullptr, nullptr, pszF}));   // delete the section in the file
    EXPECT_EQ(Lit(sF), "[s]\na = 9\n");
    EXPECT_TRUE(Ecrire(6, {nullptr, nullptr, nullptr, pszF}));   // no change
    EXPECT_EQ(Lit(sF), "[s]\na = 9\n");
    EXPECT_EQ(Lit(m_sConf), "[u]\nc = 3\nd = 4\n");
}

TEST_F(IniEntries, FailureFillsTheLibraryError) {
    const std::string sF = m_sRacine + "/none/f.ini";
    EXPECT_FALSE(Ecrire(3, {"s", "k", "v", sF.c_str()}));
    CXError* pclErreur = m_pclLib->pclGetError();
    EXPECT_EQ(pclErreur->nGetUserError(), 80294);
    std::string sMessage = pclErreur->pszGetUserMessage();
    EXPECT_NE(sMessage.find("<" + sF + ">"), std::string::npos) << sMessage;
    EXPECT_FALSE(Ecrire(2, {"s", "k", "a\rb"}));
    sMessage = pclErreur->pszGetUserMessage();
    EXPECT_NE(sMessage.find("<" + m_sConf + ">"), std::string::npos) << sMessage;
}

// A text cut at a NUL, an empty key or section given with a value: each
// write is refused with 80294 naming the file, and the file is unchanged.
TEST_F(IniEntries, TextsThatCannotBeReadBackAreRefused) {
    using namespace std::literals;
    const std::string sF = m_sRacine + "/f.ini";
    const std::string sAvant = "[Base]\nk = 1\n[Other]\nx = 2\n";
    struct STCas {
        const char* pszCas;
        int nSurcharge;
        std::vector<STArg> tabArgs;   // the file, when the overload has one, is added last
        bool bFichier;
    };
    const STCas tabCas[] = {
        {"NUL inside the value", 3, {"Base", "k", STArg("a\0b"sv)}, true},
        {"value of a single NUL (would delete the key)", 3, {"Base", "k", STArg("\0"sv)}, true},
        {"NUL inside the key", 3, {"Base", STArg("k\0x"sv), "v"}, true},
        {"NUL inside the section", 3, {STArg("Base\0x"sv), "k", "v"}, true},
        {"NUL inside a section to delete", 5, {STArg("Base\0x"sv), nullptr, nullptr}, true},
        {"NUL inside a key to delete", 4, {"Base", STArg("k\0x"sv), nullptr}, true},
        {"NUL inside a Unicode value", 3, {"Base", "k", STArg("a\0b"sv, true)}, true},
        {"NUL inside the per-user file's value", 2, {"Base", "k", STArg("a\0b"sv)}, false},
        // Empty texts stand for absent arguments: a value with an empty key
        // would delete the section, one with an empty section do nothing.
        {"value with an empty key", 3, {"Base", "", "x"}, true},
        {"value with an empty section", 3, {"", "k", "x"}, true},
        {"value with empty section and key", 3, {"", "", "x"}, true},
        {"value with an empty key in the per-user file", 2, {"Base", "", "x"}, false},
        // Names and values that the reading would take otherwise.
        {"key as a header", 3, {"Base", "[Evil]", "v"}, true},
        {"closing bracket in the section", 3, {"a]b", "k", "v"}, true},
        {"sign in the key", 3, {"Base", "x=y", "v"}, true},
        {"key as a comment", 3, {"Base", ":k", "v"}, true},
        {"key beginning with a blank", 3, {"Base", " k", "v"}, true},
        {"value beginning with a blank", 3, {"Base", "k", " v"}, true},
    };
    for (const auto& st : tabCas) {
        Ecrit(sF, sAvant);
        Ecrit(m_sConf, sAvant);
        std::vector<STArg> tabArgs = st.tabArgs;
        if (st.bFichier) tabArgs.push_back(sF.c_str());
        EXPECT_FALSE(Ecrire(st.nSurcharge, tabArgs)) << st.pszCas;
        CXError* pclErreur = m_pclLib->pclGetError();
        EXPECT_EQ(pclErreur->nGetUserError(), 80294) << st.pszCas;
        std::string sMessage = pclErreur->pszGetUserMessage();
        EXPECT_NE(sMessage.find("<" + (st.bFichier ? sF : m_sConf) + ">"), std::string::npos) << st.pszCas;
        EXPECT_EQ(Lit(sF), sAvant) << st.pszCas;
        EXPECT_EQ(Lit(m_sConf), sAvant) << st.pszCas;
    }
    // The deleting overloads stay as they are.
    EXPECT_TRUE(Ecrire(3, {"Base", "", "", sF.c_str()}));
    EXPECT_EQ(Lit(sF), "[Other]\nx = 2\n");
}

// Values and lists come back whole, however long.
TEST_F(IniEntries, LongValuesAndListsComeBackWhole) {
    const std::string sF = m_sRacine + "/long.ini";
    const std::string sGrande(1 << 20, 'v');
    EXPECT_TRUE(Ecrire(3, {"s", "big", sGrande.c_str(), sF.c_str()}));
    EXPECT_EQ(Lire(3, {"s", "big", "", sF.c_str()}), sGrande);
    std::string sTexte, sSections;
    for (int i = 0; i < 10000; ++i) {
        sTexte += "[a_rather_long_section_name_" + std::to_string(i) + "]\n";
        sSections += "a_rather_long_section_name_" + std::to_string(i) + "\r\n";
    }
    Ecrit(sF, sTexte);
    ASSERT_GT(sSections.size(), 65536u);
    EXPECT_EQ(Lire(3, {"", "", "", sF.c_str()}), sSections);
}

}  // namespace
