// The management functions below the host: wildcard expansion, walks that
// never leave their tree, copies and moves across file systems, whole-file
// saves that leave the old file whole, Unicode names.
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "component/compo.h"
#include "files/fh_table.h"
#include "files/functions.h"
#include "files/gestion.h"
#include "handles_test_util.h"
#include "qvstd/manipaub.h"

namespace {

class Gestion : public filestest::HandlesTest {
protected:
    void TearDown() override {
        if (!m_sAutre.empty()) nftw64(m_sAutre.c_str(), filestest::RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
        HandlesTest::TearDown();
    }
    void Arbre() {
        ASSERT_EQ(mkdir(Path("src").c_str(), 0755), 0);
        ASSERT_EQ(mkdir(Path("src/sub").c_str(), 0755), 0);
        WriteFile(Path("src/a.txt"), "aaa");
        WriteFile(Path("src/b.log"), "bb");
        WriteFile(Path("src/.cache"), "c");
        WriteFile(Path("src/sub/d.txt"), "dddd");
    }
    // A directory on another file system (tmpfs), or "" when the machine has
    // none beside the temporary directory's.
    std::string Ailleurs() {
        struct stat64 stIci, stLa;
        if (stat64("/dev/shm", &stLa) != 0 || stat64(m_sDir.c_str(), &stIci) != 0 || stIci.st_dev == stLa.st_dev)
            return "";
        char sz[] = "/dev/shm/qvgestion_XXXXXX";
        if (mkdtemp(sz) == nullptr) return "";
        m_sAutre = sz;
        return m_sAutre;
    }
    std::string m_sAutre;
};

std::string Noms(const std::vector<std::string>& tab, size_t nPrefixe) {
    std::string s;
    for (const std::string& n : tab) s += (s.empty() ? "" : ",") + n.substr(nPrefixe);
    return s;
}

TEST_F(Gestion, PatternsExpandInProcessDotFilesOnlyWhenAsked) {
    Arbre();
    struct Cas {
        const char* pszMotif;
        bool bRepertoires;
        const char* pszAttendu;
    } tab[] = {
        {"src/*", false, "a.txt,b.log"},
        {"src/*", true, "a.txt,b.log,sub"},
        {"src/.*", false, ".cache"},
        {"src/*.txt", false, "a.txt"},
        {"src/?.log", false, "b.log"},
        {"src/[ab]*", false, ""},   // brackets are characters, not a set
        {"src/none*", false, ""},
    };
    for (const Cas& c : tab) {
        std::vector<std::string> v;
        ASSERT_TRUE(files::FIC_bDeveloppe(Path(c.pszMotif), true, c.bRepertoires, v)) << c.pszMotif;
        EXPECT_EQ(Noms(v, Path("src/").size()), c.pszAttendu) << c.pszMotif;
    }
    std::vector<std::string> v;
    EXPECT_FALSE(files::FIC_bDeveloppe(Path("absent/*"), true, true, v));
}

// Links are copied as links and never followed: one that leaves the tree,
// and one that loops back to its top.
TEST_F(Gestion, TreeCopyKeepsLinksAndNeverLeavesTheTree) {
    Arbre();
    ASSERT_EQ(mkdir(Path("dehors").c_str(), 0755), 0);
    WriteFile(Path("dehors/secret"), "s");
    ASSERT_EQ(symlink(Path("dehors").c_str(), Path("src/sortie").c_str()), 0);
    ASSERT_EQ(symlink("..", Path("src/sub/boucle").c_str()), 0);
    ASSERT_TRUE(files::fRepCopie(m_clLib, Nom(Path("src")), Nom(Path("copie")), 1));
    struct Cas {
        const char* pszNom;
        bool bLien;
        const char* pszContenu;   // null: a link or a directory
    } tab[] = {
        {"copie/a.txt", false, "aaa"},   {"copie/.cache", false, "c"},  {"copie/sub/d.txt", false, "dddd"},
        {"copie/sortie", true, nullptr}, {"copie/sub/boucle", true, nullptr},
    };
    for (const Cas& c : tab) {
        struct stat st;
        ASSERT_EQ(lstat(Path(c.pszNom).c_str(), &st), 0) << c.pszNom;
        EXPECT_EQ(S_ISLNK(st.st_mode), c.bLien) << c.pszNom;
        if (c.pszContenu != nullptr) {
            EXPECT_EQ(ReadFile(Path(c.pszNom)), c.pszContenu) << c.pszNom;
        }
    }
    char sz[4096] = {};
    ASSERT_GT(readlink(Path("copie/sortie").c_str(), sz, sizeof sz - 1), 0);
    EXPECT_EQ(std::string(sz), Path("dehors"));
    // The walk meets the loop once and stops there.
    int64_t oTaille = files::fRepTaille(m_clLib, Nom(Path("src")));
    EXPECT_EQ(oTaille, 3 + 2 + 1 + 4);
}

// Another file system: the move copies, checks, then removes; a file and a
// tree, there and back.
TEST_F(Gestion, MovesAcrossFileSystems) {
    const std::string sLa = Ailleurs();
    if (sLa.empty()) GTEST_SKIP() << "no second file system beside " << m_sDir;
    Arbre();
    struct Cas {
        const char* pszCas;
        std::function<bool()> fn;
        std::string sParti, sArrive, sContenu;
    } tab[] = {
        {"a file", [&] { return files::fDeplaceFichier(m_clLib, Nom(Path("src/a.txt")), Nom(sLa + "/a.txt")); },
         Path("src/a.txt"), sLa + "/a.txt", "aaa"},
        {"a file back", [&] { return files::fDeplaceFichier(m_clLib, Nom(sLa + "/a.txt"), Nom(Path("src/"))); },
         sLa + "/a.txt", Path("src/a.txt"), "aaa"},
        {"a tree", [&] { return files::fRepDeplace(m_clLib, Nom(Path("src")), Nom(sLa + "/arbre"), 1); },
         Path("src"), sLa + "/arbre/sub/d.txt", "dddd"},
        {"a tree back", [&] { return files::fRepDeplace(m_clLib, Nom(sLa + "/arbre"), Nom(Path("src")), 1); },
         sLa + "/arbre", Path("src/.cache"), "c"},
        {"a pattern's files", [&] { return files::fCopieFichier(m_clLib, Nom(Path("src/*.txt")), Nom(sLa + "/p"), 0); },
         "", sLa + "/p/a.txt", "aaa"},
    };
    for (const Cas& c : tab) {
        m_clLib.RAZError();
        EXPECT_TRUE(c.fn()) << c.pszCas << " " << Erreur();
        if (!c.sParti.empty()) {
            EXPECT_FALSE(Exists(c.sParti)) << c.pszCas;
        }
        EXPECT_EQ(ReadFile(c.sArrive), c.sContenu) << c.pszCas;
    }
}

// A whole-file save writes beside the file and renames: a save that fails
// leaves the old contents, and a link keeps pointing where it did.
TEST_F(Gestion, SavingAWholeTextNeverLeavesAHalfFile) {
    WriteFile(Path("t.txt"), "old");
    ASSERT_EQ(symlink(Path("t.txt").c_str(), Path("lien").c_str()), 0);
    ASSERT_EQ(mkdir(Path("rep").c_str(), 0755), 0);
    struct Cas {
        const char* pszNom;
        const char* pszTexte;
        bool bOk;
        const char* pszLu;   // the file read afterwards by the name
        const char* pszCible;
    } tab[] = {
        {"t.txt", "new", true, "new", "t.txt"},
        {"lien", "via the link", true, "via the link", "t.txt"},
        {"rep", "x", false, nullptr, nullptr},
        {"absent/t.txt", "x", false, nullptr, nullptr},
    };
    for (const Cas& c : tab) {
        EXPECT_EQ(files::fSauveTexte(m_clLib, Nom(Path(c.pszNom)), Nom(c.pszTexte)), c.bOk) << c.pszNom;
        if (c.pszLu != nullptr) {
            EXPECT_EQ(ReadFile(Path(c.pszNom)), c.pszLu) << c.pszNom;
        }
        if (c.pszCible != nullptr) {
            EXPECT_EQ(ReadFile(Path(c.pszCible)), c.pszLu) << c.pszNom;
        }
    }
    struct stat st;
    ASSERT_EQ(lstat(Path("lien").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    // Nothing left beside the files.
    std::vector<std::string> v;
    ASSERT_TRUE(files::FIC_bDeveloppe(Path(".*"), true, true, v));
    EXPECT_EQ(v.size(), 0u);
}

// Unicode names reach the file system as UTF-8 and come back as Unicode.
TEST_F(Gestion, UnicodeNames) {
    const std::wstring wRep(m_sDir.begin(), m_sDir.end());
    ASSERT_TRUE(files::fSauveTexte(m_clLib, NomW(wRep + L"/\u00e9t\u00e9 \u2603.txt"), Nom("u")));
    EXPECT_EQ(ReadFile(Path("\xC3\xA9t\xC3\xA9 \xE2\x98\x83.txt")), "u");
    EXPECT_TRUE(files::fFichierExiste(m_clLib, NomW(wRep + L"/\u00e9t\u00e9 \u2603.txt")));
    EXPECT_TRUE(files::fCopieFichier(m_clLib, NomW(wRep + L"/\u00e9t\u00e9 \u2603.txt"), NomW(wRep + L"/\u00e0")));
    EXPECT_EQ(ReadFile(Path("\xC3\xA0")), "u");
    CZNDSTR s = files::fRep(m_clLib, NomW(wRep + L"/\u00e9*"), 4096 + 39);
    ASSERT_EQ(s.nGetTypeAUB(), 16);
    EXPECT_EQ(std::wstring(s.pwszGet(), size_t(s.nGetLongueurUNICODE())), L"\u00e9t\u00e9 \u2603.txt");
    FIC_FermeRecherche();
}

// fRepDroit looks without writing.
TEST_F(Gestion, DirectoryRightsLeaveNothingBehind) {
    ASSERT_EQ(mkdir(Path("vide").c_str(), 0755), 0);
    EXPECT_EQ(files::fRepDroit(m_clLib, Nom(Path("vide"))), 0);
    WriteFile(Path("vide/x"), "x");
    EXPECT_EQ(files::fRepDroit(m_clLib, Nom(Path("vide"))), 1);
    std::vector<std::string> v;
    ASSERT_TRUE(files::FIC_bDeveloppe(Path("vide/*"), true, true, v));
    EXPECT_EQ(v.size(), 1u);
}

}  // namespace
