// Parameter persistence on INI files: the stored forms of values and paths,
// round trips through the file, the unchanged-value check, deletions of
// parameters and of paths with their sub-paths, and where the file lies.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/fichiers.h"
#include "common/temp_dir.h"
#include "qvstd/host.h"
#include "qvstd/xerror.h"
#include "runtime/znlibrary.h"
#include "system/persistance.h"

extern "C" void* pQueryProxy(int);

namespace {

class CProjet final : public IVMProjet {
public:
    const char* pszGetNom() override { return sNom.c_str(); }
    const char* pszGetChemin() override { return sChemin.c_str(); }
    void Release() override { ++nRelease; }
    std::string sNom, sChemin;
    int nRelease = 0;
};

class CBoutique final : public ILibShop {
public:
    virtual ~CBoutique() = default;
    int bEnregistre(int, int, int, const char*, void*, CXError*) override { return 1; }
    void* pCherche(const char* pszNom) override {
        return pclProjet != nullptr && pszNom != nullptr && strcmp(pszNom, "VMProjet") == 0 ? pclProjet : nullptr;
    }
    IVMProjet* pclProjet = nullptr;
};

ino_t nInode(const std::string& sChemin) {
    struct stat st {};
    return stat(sChemin.c_str(), &st) == 0 ? st.st_ino : 0;
}

class Persistance : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_clRep.bOk());
        ASSERT_NE(m_pclLib, nullptr);
        m_clProjet.sNom = "app";
        m_clProjet.sChemin = m_clRep.sChemin("app.prj");
        m_clBoutique.pclProjet = &m_clProjet;
        m_pclLib->SetLibShop(&m_clBoutique);
        m_sFichier = m_clRep.sChemin("app.ini");
    }
    void TearDown() override {
        m_pclPers->Release();
        m_pclLib->Release();
    }
    bool bSauve(const char* pszChemin, const char* pszNom, const char* pszValeur) {
        return m_pclPers->bSauveParametre(pszChemin, pszNom, pszValeur, &m_clErreur, nullptr) != 0;
    }
    // The loaded value, or "<failed>".
    std::string Charge(const char* pszChemin, const char* pszNom, const char* pszDefaut = "") {
        char* psz = nullptr;
        if (!m_pclPers->bChargeParametre(pszChemin, pszNom, &psz, pszDefaut, &m_clErreur, nullptr)) {
            EXPECT_EQ(psz, nullptr);
            return "<failed>";
        }
        std::string s = psz != nullptr ? psz : "<null>";
        EXPECT_TRUE(m_pclPers->FreePszValeur(psz));
        return s;
    }

    CRepTemporaire m_clRep{"persistance"};
    CZNLibrary* m_pclLib = static_cast<CZNLibrary*>(static_cast<IZNLibrary*>(pQueryProxy(60)));
    CProjet m_clProjet;
    CBoutique m_clBoutique;
    CXError m_clErreur;
    CPersistance* m_pclPers = new CPersistance(m_pclLib);
    std::string m_sFichier;
};

TEST(PersistanceFormes, StoredValues) {
    struct {
        const char* pszValeur;
        const char* pszStocke;
    } const tab[] = {
        {"a b", "a\\_b"},
        {"end\\", "end\\\\"},
        {"\\", "\\\\"},
        {"l1\nl2\r\n\tx", "l1\\nl2\\r\\n\\tx"},
        {"\\n literal", "\\\\n\\_literal"},
        {"", ""},
        {"plain", "plain"},
        {"\xE9t\xE9", "\xE9t\xE9"},
    };
    for (const auto& c : tab) {
        EXPECT_EQ(CPersistance::s_EncodeINI(c.pszValeur), c.pszStocke) << c.pszValeur;
        EXPECT_EQ(CPersistance::s_DecodeINI(c.pszStocke), c.pszValeur) << c.pszStocke;
    }
    // What no encoding gives is still read: an unknown escape keeps both
    // characters, a backslash at the very end stays.
    struct {
        const char* pszStocke;
        const char* pszValeur;
    } const tabLecture[] = {{"a\\qb", "a\\qb"}, {"end\\", "end\\"}, {"a b", "a b"}, {"\\_\\_", "  "}};
    for (const auto& c : tabLecture) EXPECT_EQ(CPersistance::s_DecodeINI(c.pszStocke), c.pszValeur) << c.pszStocke;
}

TEST(PersistanceFormes, SectionNames) {
    struct {
        const char* pszChemin;
        const char* pszSection;
    } const tab[] = {
        {"\\Options\\Fen\xEAtre principale", "Options_Fen\xEAtre_principale"},
        {"Config", "Config"},
        {"\\Config", "Config"},
        {"\\\\Config", "_Config"},   // only one leading backslash goes
        {"", "Global"},
        {nullptr, "Global"},
        {"\\", "Global"},
        {"a-b\tc d\\e", "a_b_c_d_e"},
    };
    for (const auto& c : tab)
        EXPECT_EQ(CPersistance::s_NomSectionINI(c.pszChemin), c.pszSection) << (c.pszChemin ? c.pszChemin : "null");
}

TEST_F(Persistance, RoundTrips) {
    const std::string sLong(200000, 'x');   // far beyond any fixed buffer
    struct {
        const char* pszChemin;
        const char* pszNom;
        std::string sValeur;
    } const tab[] = {
        {"\\Options", "space", "a b"},
        {"\\Options", "trailing", "ends with a backslash\\"},
        {"\\Options", "lines", "one\r\ntwo\nthree\ttab"},
        {"\\Options", "padded", "  both ends  "},
        {"\\Options\\Fen\xEAtre principale", "x", "100"},
        {"\\Options", "empty", ""},
        {"Long", "value", sLong + " " + sLong},
        {"", "global", "g"},
    };
    for (const auto& c : tab) EXPECT_TRUE(bSauve(c.pszChemin, c.pszNom, c.sValeur.c_str())) << c.pszNom;
    for (const auto& c : tab) EXPECT_EQ(Charge(c.pszChemin, c.pszNom, "dflt"), c.sValeur) << c.pszNom;
    // The file is the project's, next to it; the value as stored.
    EXPECT_EQ(m_pclPers->pszGetChemin(), m_sFichier);
    EXPECT_NE(TEST_LitFichier(m_sFichier).find("space = a\\_b\n"), std::string::npos) << TEST_LitFichier(m_sFichier);
    EXPECT_NE(TEST_LitFichier(m_sFichier).find("[Global]"), std::string::npos);
    // Config and \Config are one section; a missing parameter gives the
    // default, escapes and all.
    EXPECT_EQ(Charge("Options", "space"), "a b");
    EXPECT_EQ(Charge("\\Options", "missing", "d e\\"), "d e\\");
    EXPECT_EQ(Charge("\\Nowhere", "missing", nullptr), "");
    EXPECT_EQ(Charge("\\Options", "", "only the default"), "only the default");
    EXPECT_EQ(m_clProjet.nRelease, 1);   // asked once, released
}

TEST_F(Persistance, AnUnchangedValueIsNotWrittenAgain) {
    ASSERT_TRUE(bSauve("P", "k", "v 1"));
    const ino_t n1 = nInode(m_sFichier);
    ASSERT_NE(n1, 0u);
    ASSERT_TRUE(bSauve("P", "k", "v 1"));
    EXPECT_EQ(nInode(m_sFichier), n1);   // the file was not replaced
    ASSERT_TRUE(bSauve("P", "k", "v 2"));
    const ino_t n2 = nInode(m_sFichier);
    EXPECT_NE(n2, n1);
    // Without the check a save writes; with it back, an equal value is kept.
    m_pclPers->FinOperationEnBloc();
    ASSERT_TRUE(bSauve("P", "k", "v 3"));
    EXPECT_EQ(Charge("P", "k"), "v 3");
    m_pclPers->DebutOperationEnBloc();
    const ino_t n3 = nInode(m_sFichier);
    ASSERT_TRUE(bSauve("P", "k", "v 3"));
    EXPECT_EQ(nInode(m_sFichier), n3);
    // An empty value already stored is unchanged too.
    ASSERT_TRUE(bSauve("P", "e", ""));
    const ino_t n4 = nInode(m_sFichier);
    ASSERT_TRUE(bSauve("P", "e", ""));
    EXPECT_EQ(nInode(m_sFichier), n4);
}

TEST_F(Persistance, Deletions) {
    const char* const tabSections[] = {"Config", "Config\\Sub", "CONFIG other", "Configuration", "Other"};
    for (const char* psz : tabSections) ASSERT_TRUE(bSauve(psz, "k", psz));
    ASSERT_TRUE(bSauve("Other", "k2", "v2"));
    // One parameter.
    EXPECT_TRUE(m_pclPers->bSupprimeParametre("Other", "k2", &m_clErreur, nullptr));
    EXPECT_EQ(Charge("Other", "k2", "gone"), "gone");
    EXPECT_EQ(Charge("Other", "k"), "Other");
    // An empty name is refused, and nothing goes.
    for (const char* pszNom : {"", static_cast<const char*>(nullptr)}) {
        m_clErreur.RAZ();
        EXPECT_FALSE(m_pclPers->bSupprimeParametre("Other", pszNom, &m_clErreur, nullptr));
        EXPECT_EQ(m_clErreur.nGetUserError(), 80800);
        m_clErreur.RAZ();
        EXPECT_FALSE(bSauve("Other", pszNom, "v"));
        EXPECT_EQ(m_clErreur.nGetUserError(), 80800);
    }
    EXPECT_EQ(Charge("Other", "k"), "Other");
    // A path with its sub-paths, case aside; not a longer name.
    EXPECT_TRUE(m_pclPers->bSupprimeChemin("\\Config", &m_clErreur, nullptr));
    struct {
        const char* pszChemin;
        bool bReste;
    } const tab[] = {{"Config", false}, {"Config\\Sub", false}, {"CONFIG other", false}, {"Configuration", true}, {"Other", true}};
    for (const auto& c : tab) EXPECT_EQ(Charge(c.pszChemin, "k", "gone") != "gone", c.bReste) << c.pszChemin;
    // Global (or the empty path) is the whole file.
    for (const char* pszGlobal : {"Global", "", "\\"}) {
        ASSERT_TRUE(bSauve("Other", "k", "again"));
        EXPECT_TRUE(m_pclPers->bSupprimeChemin(pszGlobal, &m_clErreur, nullptr)) << pszGlobal;
        EXPECT_NE(access(m_sFichier.c_str(), F_OK), 0) << pszGlobal;
    }
}

TEST_F(Persistance, WhereTheFileLies) {
    const std::string sAbsolu = m_clRep.sChemin("abs.ini");
    char szCwd[4096];
    ASSERT_NE(getcwd(szCwd, sizeof szCwd), nullptr);
    struct {
        const char* pszProjetChemin;   // null: no project object
        const char* pszDonne;          // given to SetModeINI, null for none
        std::string sAttendu;          // "" when the file cannot be resolved
    } const tab[] = {
        {"app.prj", nullptr, m_clRep.sChemin("app.ini")},
        {"app.prj", "data.ini", m_clRep.sChemin("data.ini")},
        {"app.prj", "sub\\data.ini", m_clRep.sChemin("sub/data.ini")},
        {"app.prj", sAbsolu.c_str(), sAbsolu},
        {"", nullptr, std::string(szCwd) + "/app.ini"},   // a project without a path: the current directory
        {nullptr, nullptr, ""},
        {nullptr, sAbsolu.c_str(), sAbsolu},
        {nullptr, "data.ini", "data.ini"},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(std::string(c.pszProjetChemin ? c.pszProjetChemin : "no project") + " / " +
                     (c.pszDonne ? c.pszDonne : "none"));
        m_clBoutique.pclProjet = c.pszProjetChemin ? &m_clProjet : nullptr;
        m_clProjet.sChemin = c.pszProjetChemin == nullptr || *c.pszProjetChemin == 0
                                 ? std::string()
                                 : m_clRep.sChemin(c.pszProjetChemin);
        m_pclPers->SetModeINI(c.pszDonne);
        EXPECT_EQ(m_pclPers->bInit(&m_clErreur, nullptr), !c.sAttendu.empty());
        if (!c.sAttendu.empty()) {
            EXPECT_EQ(m_pclPers->pszGetChemin(), c.sAttendu);
        }
    }
    // Without a project and without a file nothing is stored or read.
    m_clBoutique.pclProjet = nullptr;
    m_pclPers->SetModeINI(nullptr);
    EXPECT_FALSE(bSauve("P", "k", "v"));
    EXPECT_EQ(Charge("P", "k", "d"), "<failed>");
    m_pclPers->Term();
    EXPECT_STREQ(m_pclPers->pszGetChemin(), "");
}

TEST_F(Persistance, VersionAndReferences) {
    EXPECT_EQ(m_pclPers->nGetVersion(), 3);
    EXPECT_EQ(m_pclPers->nGetCompatSince(), 1);
    EXPECT_EQ(m_pclPers->nGetDllNum(), 8);
    EXPECT_TRUE(m_pclPers->FreePszValeur(nullptr));
    m_pclPers->AddRef();
    m_pclPers->Release();   // one reference left for TearDown
    EXPECT_TRUE(bSauve("P", "k", "v"));
}

}  // namespace
