// The table of open files and the file-handle functions, called in process
// on a library object without a host.
#include <sys/wait.h>

#include <string>
#include <vector>

#include "component/compo.h"
#include "files/fh_table.h"
#include "files/memstream.h"
#include "files_test_util.h"
#include "qvstd/manipaub.h"

namespace {

// --- The indexed bag --------------------------------------------------------------

TEST(FhBag, ReusesTheLastFreedSlotFirst) {
    CTIndexedBag<int> cl(2);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(cl.nAjoute(10 + i), i);
    EXPECT_EQ(cl.nGetAlloues(), 6);   // grown by the step, 2 at a time
    EXPECT_TRUE(cl.bSupprime(1));
    EXPECT_TRUE(cl.bSupprime(3));
    EXPECT_FALSE(cl.bSupprime(3));
    EXPECT_EQ(cl.nGetUtilises(), 3);
    EXPECT_EQ(cl.nAjoute(20), 3);
    EXPECT_EQ(cl.nAjoute(21), 1);
    EXPECT_EQ(cl.nAjoute(22), 5);
    EXPECT_EQ(cl.Valeur(3), 20);
    EXPECT_EQ(cl.Valeur(5), 22);
}

TEST(FhBag, OnlySlotsInUseAreValid) {
    CTIndexedBag<int> cl(4);
    cl.nAjoute(1);
    for (int i : {-1, 1, 2, 3, 4, 1000}) EXPECT_FALSE(cl.bValide(i)) << i;   // zero-filled slots are free
    EXPECT_TRUE(cl.bValide(0));
    cl.Vide();
    EXPECT_FALSE(cl.bValide(0));
    EXPECT_EQ(cl.nAjoute(7), 0);
}

// --- The functions -------------------------------------------------------------------

constexpr int UNICODE_CREE = FO_LECTUREECRITURE + FO_CREATION + FO_UNICODE;

class FileHandles : public filestest::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        _FIC_FinModule();
        ASSERT_TRUE(_FIC_bInitModule());
    }
    void TearDown() override {
        _FIC_FinModule();
        TempDirTest::TearDown();
    }
    // A file-function string over a dynamic string.
    const STManipAUB* Nom(const std::string& s) {
        m_tabTextes.emplace_back();
        m_tabTextes.back().nAssign(s.data(), int(s.size()));
        m_tabManips.push_back(new STManipAUB{m_tabTextes.back().pGetMemoire(), 0});
        return m_tabManips.back();
    }
    const STManipAUB* NomW(const std::wstring& s) {
        m_tabTextes.emplace_back();
        m_tabTextes.back().nAssignUNICODE(s.data(), int(s.size()));
        m_tabManips.push_back(new STManipAUB{m_tabTextes.back().pGetMemoire(), STManipAUB::TYPE_UNICODE});
        return m_tabManips.back();
    }
    int Erreur() { return m_clLib.pclGetError()->nGetUserError(); }
    std::string Ligne(int h) {
        CZNDSTR s = m_clLib.fLitLigne(h);
        return std::string(s.pszGet(), size_t(s.nGetLongueur()));
    }
    std::vector<std::string> Lignes(int h) {
        std::vector<std::string> tab;
        for (int i = 0; i < 100; ++i) {
            std::string s = Ligne(h);
            if (s == "\x04") break;
            tab.push_back(s);
        }
        return tab;
    }
    ~FileHandles() override {
        for (auto* p : m_tabManips) delete p;
    }

    CComposanteStandard m_clLib;
    std::vector<CZNDSTR> m_tabTextes{};
    std::vector<STManipAUB*> m_tabManips;
};

TEST_F(FileHandles, FirstHandleIsTwoAndIsReused) {
    WriteFile(Path("a"), "x");
    int h = m_clLib.fOuvre(Nom(Path("a")), FO_LECTURE);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(m_clLib.fOuvre(Nom(Path("a")), FO_LECTURE), 3);
    EXPECT_EQ(m_clLib.fFerme(2), 0);
    EXPECT_EQ(m_clLib.fOuvre(Nom(Path("a")), FO_LECTURE), 2);
    EXPECT_EQ(FIC_nOuverts(), 2);
}

TEST_F(FileHandles, InvalidHandlesFailWith80022) {
    WriteFile(Path("a"), "x");
    ASSERT_EQ(m_clLib.fOuvre(Nom(Path("a")), FO_LECTURE), 2);
    for (int h : {0, 1, -1, 3, 1000000, int(0x80000000u)}) {
        m_clLib.RAZError();
        EXPECT_EQ(m_clLib.fFerme(h), -1) << h;
        EXPECT_EQ(Erreur(), 80022) << h;
        EXPECT_EQ(m_clLib.pclGetError()->eGetErrorLevel(), uint32_t(EL_ERROR));
        m_clLib.RAZError();
        EXPECT_EQ(m_clLib.fPositionne(h, 0, 0), -1);
        EXPECT_EQ(Erreur(), 80022);
        EXPECT_EQ(m_clLib.fLit(h, 5).nGetLongueur(), 0);
        EXPECT_FALSE(m_clLib.fBloque(h, 0, -1));
        EXPECT_EQ(m_clLib.fEcrit(h, Nom("z"), -1), -1);
    }
}

TEST_F(FileHandles, OpenModes) {
    struct Cas {
        const char* pszNom;
        bool bExiste;
        int nMode;
        bool bOuvert;
        const char* pszApres;   // content after writing "W" at the open position
    } tab[] = {
        {"lecture-absent", false, FO_LECTURE, false, "<missing>"},
        {"lecture", true, FO_LECTURE, true, "abc"},   // write refused
        {"ecriture", true, FO_ECRITURE, true, "Wbc"},
        {"creation-si", false, FO_CREATIONSIINEXISTANT + FO_ECRITURE, true, "W"},
        {"creation-si-existe", true, FO_CREATIONSIINEXISTANT + FO_CREATION + FO_ECRITURE, true, "Wbc"},
        {"creation", true, FO_CREATION, true, "W"},
        {"ajout", true, FO_ECRITURE + FO_AJOUT, true, "abcW"},
        {"zero", true, 0, true, "Wbc"},
    };
    for (const Cas& c : tab) {
        std::string s = Path(c.pszNom);
        if (c.bExiste) WriteFile(s, "abc");
        m_clLib.RAZError();
        int h = m_clLib.fOuvre(Nom(s), c.nMode);
        EXPECT_EQ(h >= 2, c.bOuvert) << c.pszNom;
        if (h < 0) {
            EXPECT_TRUE(m_clLib.pclGetError()->bIsError()) << c.pszNom;
            EXPECT_EQ(m_clLib.pclGetError()->eGetErrorLevel(), uint32_t(EL_ERROR));
        } else {
            m_clLib.fEcrit(h, Nom("W"), -1);
            EXPECT_EQ(m_clLib.fFerme(h), 0);
        }
        EXPECT_EQ(ReadFile(s), c.pszApres) << c.pszNom;
    }
}

TEST_F(FileHandles, WriteOnlyRetryOpensAnUnreadableFile) {
    if (geteuid() == 0) GTEST_SKIP() << "the superuser reads every file";
    std::string s = Path("secret");
    WriteFile(s, "abc");
    ASSERT_EQ(chmod(s.c_str(), 0200), 0);
    int h = m_clLib.fOuvre(Nom(s), FO_ECRITURE);
    ASSERT_GE(h, 2);
    EXPECT_EQ(m_clLib.fEcrit(h, Nom("X"), -1), 1);
    EXPECT_EQ(m_clLib.fFerme(h), 0);
    chmod(s.c_str(), 0600);
    EXPECT_EQ(ReadFile(s), "Xbc");
    EXPECT_EQ(m_clLib.fOuvre(Nom(s + "-absent"), FO_ECRITURE), -1);
}

TEST_F(FileHandles, CreateAddsReadWriteAndTruncates) {
    std::string s = Path("c");
    WriteFile(s, "old content");
    int h = m_clLib.fCree(Nom(s), 0);
    ASSERT_EQ(h, 2);
    EXPECT_TRUE(m_clLib.fEcritLigne(h, Nom("new")));
    EXPECT_EQ(m_clLib.fPositionne(h, 0, 0), 0);
    EXPECT_EQ(Ligne(h), "new");
    EXPECT_EQ(m_clLib.fFerme(h), 0);
    EXPECT_EQ(ReadFile(s), "new\r\n");
}

TEST_F(FileHandles, ReadLineCases) {
    const std::string s120(120, 'x'), s79(79, 'y'), s80(80, 'z'), s50(50, 'w');
    struct Cas {
        std::string sContenu;
        std::vector<std::string> tabLignes;
    } tab[] = {
        {"", {}},
        {"\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {"a\r\nb\nc", {"a", "b", "c"}},
        {"a\rb\n", {"a\rb"}},   // a CR alone is text
        {s120 + "\r\n" + "end", {s120, "end"}},
        {s79 + "\r\n" + "n", {s79, "n"}},   // CR and LF in different chunks
        {s80 + "\n" + s50 + "\n", {s80, s50}},
        {s50 + s50 + "\r\n", {s50 + s50}},
        {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
        {std::string(1000, 'q'), {std::string(1000, 'q')}},
    };
    int n = 0;
    for (const Cas& c : tab) {
        std::string sNom = Path("l" + std::to_string(n++));
        WriteFile(sNom, c.sContenu);
        int h = m_clLib.fOuvre(Nom(sNom), FO_LECTURE);
        ASSERT_GE(h, 2);
        EXPECT_EQ(Lignes(h), c.tabLignes) << sNom;
        EXPECT_EQ(Ligne(h), "\x04") << sNom;   // and it stays at the end
        m_clLib.fFerme(h);
    }
}

TEST_F(FileHandles, UnicodeFiles) {
    std::string s = Path("u");
    int h = m_clLib.fOuvre(Nom(s), UNICODE_CREE);
    ASSERT_EQ(h, 2);
    EXPECT_TRUE(m_clLib.fEcritLigne(h, NomW(L"\u00e9t\u00e9")));
    EXPECT_TRUE(m_clLib.fEcritLigne(h, NomW(L"\U0001F600")));
    EXPECT_EQ(m_clLib.fEcrit(h, NomW(L"ab"), 1), 2);
    m_clLib.fFerme(h);
    EXPECT_EQ(ReadFile(s), std::string("\xFF\xFE\xE9\0t\0\xE9\0\r\0\n\0\x3D\xD8\x00\xDE\r\0\n\0a\0", 22));

    // Reopened: reading starts after the mark, lines come back Unicode.
    h = m_clLib.fOuvre(Nom(s), FO_LECTURE + FO_UNICODE);
    ASSERT_EQ(h, 2);
    CZNDSTR l = m_clLib.fLitLigne(h);
    EXPECT_EQ(l.nGetTypeAUB(), 16);
    EXPECT_EQ(std::wstring(l.pwszGet(), size_t(l.nGetLongueurUNICODE())), L"\u00e9t\u00e9");
    l = m_clLib.fLitLigne(h);
    EXPECT_EQ(std::wstring(l.pwszGet(), size_t(l.nGetLongueurUNICODE())), L"\U0001F600");
    l = m_clLib.fLitLigne(h);
    EXPECT_EQ(std::wstring(l.pwszGet(), size_t(l.nGetLongueurUNICODE())), L"a");
    l = m_clLib.fLitLigne(h);
    EXPECT_EQ(std::wstring(l.pwszGet(), size_t(l.nGetLongueurUNICODE())), L"\x04");
    EXPECT_EQ(l.nGetTypeAUB(), 16);
    m_clLib.fFerme(h);

    // Without the mark, from byte 0; a lone last byte ends the file.
    WriteFile(s, std::string("h\0i\0\n\0z", 7));
    h = m_clLib.fOuvre(Nom(s), FO_LECTURE + FO_UNICODE);
    l = m_clLib.fLitLigne(h);
    EXPECT_EQ(std::wstring(l.pwszGet(), size_t(l.nGetLongueurUNICODE())), L"hi");
    l = m_clLib.fLitLigne(h);
    EXPECT_EQ(l.nGetLongueur(), 0);
    l = m_clLib.fLitLigne(h);
    EXPECT_EQ(std::wstring(l.pwszGet(), size_t(l.nGetLongueurUNICODE())), L"\x04");
    m_clLib.fFerme(h);

    // Each file kind gets its own form of a line of the other kind.
    h = m_clLib.fOuvre(Nom(s), UNICODE_CREE);
    EXPECT_TRUE(m_clLib.fEcritLigne(h, Nom("\xE9")));
    m_clLib.fFerme(h);
    EXPECT_EQ(ReadFile(s), std::string("\xFF\xFE\xE9\0\r\0\n\0", 8));
    h = m_clLib.fCree(Nom(s), 0);
    EXPECT_TRUE(m_clLib.fEcritLigne(h, NomW(L"\u00e9")));
    m_clLib.fFerme(h);
    EXPECT_EQ(ReadFile(s), "\xE9\r\n");

    // Appending to an existing Unicode file writes no second mark.
    WriteFile(s, "\xFF\xFE");
    h = m_clLib.fOuvre(Nom(s), FO_ECRITURE + FO_AJOUT + FO_UNICODE + FO_CREATIONSIINEXISTANT);
    EXPECT_TRUE(m_clLib.fEcritLigne(h, Nom("")));
    m_clLib.fFerme(h);
    EXPECT_EQ(ReadFile(s), std::string("\xFF\xFE\r\0\n\0", 6));
}

TEST_F(FileHandles, ReadBlocks) {
    std::string sGros(10000, 'g');
    sGros[9999] = 'e';
    WriteFile(Path("r"), "0123456789" + sGros);
    int h = m_clLib.fOuvre(Nom(Path("r")), FO_LECTURE);
    struct Cas {
        int nNombre;
        size_t nAttendu;
    } tab[] = {{-5, 0}, {0, 0}, {4, 4}, {6, 6}, {5000, 5000}, {6000, 5000}, {10, 0}};
    for (const Cas& c : tab) {
        CZNDSTR s = m_clLib.fLit(h, c.nNombre);
        EXPECT_EQ(size_t(s.nGetLongueur()), c.nAttendu) << c.nNombre;
    }
    EXPECT_EQ(m_clLib.fPositionne(h, -3, 2), 10007);
    char a[8] = {};
    EXPECT_EQ(m_clLib.fLit(h, 8, a), 3);
    EXPECT_STREQ(a, "gge");
    EXPECT_EQ(m_clLib.fLit(h, 8, nullptr), 0);
}

TEST_F(FileHandles, WriteLengthsNeverPassTheValue) {
    std::string s = Path("w");
    int h = m_clLib.fCree(Nom(s), 0);
    struct Cas {
        const char* psz;
        int nLongueur;
        int nEcrit;
    } tab[] = {{"abc", -1, 3}, {"abc", 2, 2}, {"abc", 50, 3}, {"", -1, 0}, {"x", 0, 0}};
    for (const Cas& c : tab) EXPECT_EQ(m_clLib.fEcrit(h, Nom(c.psz), c.nLongueur), c.nEcrit) << c.psz << c.nLongueur;
    EXPECT_EQ(m_clLib.fEcrit(h, "xyz", 3), 3);
    EXPECT_TRUE(m_clLib.fEcritLigne(h, "12345", 2));
    EXPECT_TRUE(m_clLib.fEcritLigne(h, nullptr, 4));
    m_clLib.fFerme(h);
    EXPECT_EQ(ReadFile(s), "abcababcxyz12\r\n\r\n");
}

TEST_F(FileHandles, SeekAndResize) {
    std::string s = Path("s");
    WriteFile(s, "0123456789");
    int h = m_clLib.fOuvre(Nom(s), FO_LECTUREECRITURE);
    EXPECT_EQ(m_clLib.fPositionne(h, 0, 3), -1);
    EXPECT_EQ(Erreur(), 80023);
    EXPECT_EQ(m_clLib.fPositionne(h, 0, -1), -1);
    EXPECT_EQ(m_clLib.fPositionne(h, -1, 0), -1);
    EXPECT_EQ(m_clLib.fPositionne(h, 4, 0), 4);
    EXPECT_EQ(m_clLib.fPositionne(h, 2, 1), 6);
    EXPECT_EQ(m_clLib.fPositionne(h, 0, 2), 10);
    struct Cas {
        long long oPosition, oTaille, oApres;
    } tab[] = {{0, 20, 0}, {5, 8, 5}, {8, 8, 8}, {7, 3, 3}, {0, 0, 0}, {2, 12, 2}};
    for (const Cas& c : tab) {
        ASSERT_EQ(m_clLib.fPositionne(h, c.oPosition, 0), c.oPosition);
        EXPECT_TRUE(m_clLib.fChangeTaille(h, c.oTaille));
        EXPECT_EQ(m_clLib.fPositionne(h, 0, 1), c.oApres) << c.oPosition << "->" << c.oTaille;
        EXPECT_EQ(m_clLib.fPositionne(h, 0, 2), c.oTaille);
    }
    m_clLib.RAZError();
    EXPECT_FALSE(m_clLib.fChangeTaille(h, -1));
    EXPECT_TRUE(m_clLib.pclGetError()->bIsError());
    m_clLib.fFerme(h);
}

TEST_F(FileHandles, AutomaticDeletion) {
    std::string s1 = Path("t1"), s2 = Path("t2"), s3 = Path("t3");
    int h1 = m_clLib.fCree(Nom(s1), FO_SUPPRESSIONAUTOMATIQUE);
    int h2 = m_clLib.fCree(Nom(s2), FO_SUPPRESSIONAUTOMATIQUE);
    int h3 = m_clLib.fCree(Nom(s3), 0);
    ASSERT_TRUE(h1 >= 2 && h2 >= 2 && h3 >= 2);
    EXPECT_TRUE(Exists(s1));
    EXPECT_EQ(m_clLib.fFerme(h1), 0);
    EXPECT_FALSE(Exists(s1));
    _FIC_FinModule();   // unloaded with the others still open
    EXPECT_FALSE(Exists(s2));
    EXPECT_TRUE(Exists(s3));
    EXPECT_EQ(FIC_nOuverts(), 0);
}

TEST_F(FileHandles, ZoneHandlesRefuseDiskOperations) {
    // A zone record shares the handle space; only disk files lock and resize.
    auto* pst = new _stINFOFIC{FIC_MEMOIRE_PARTAGEE, new CMemoryStream(), 0, 0};
    int h = FIC_nAjoute(pst);
    ASSERT_EQ(h, 2);
    EXPECT_EQ(s_pGetFicBagXStream(h), pst->pclObjet);
    struct Cas {
        const char* pszNom;
        bool bResultat;
    } tab[] = {
        {"fBloque", m_clLib.fBloque(h, 0, -1)},
        {"fDebloque", m_clLib.fDebloque(h, 0, -1)},
        {"fChangeTaille", m_clLib.fChangeTaille(h, 10)},
    };
    for (const Cas& c : tab) EXPECT_FALSE(c.bResultat) << c.pszNom;
    EXPECT_EQ(Erreur(), 80406);
    EXPECT_EQ(m_clLib.fFerme(h), 0);
    EXPECT_EQ(s_pGetFicBagXStream(h), nullptr);
}

// A lock attempt from another process: 1 when it got the lock, 0 when not.
int LockAilleurs(const std::string& s) {
    pid_t p = fork();
    if (p == 0) {
        int fd = open(s.c_str(), O_RDWR);
        struct flock st {};
        st.l_type = F_WRLCK;
        st.l_whence = SEEK_SET;
        _exit(fd >= 0 && fcntl(fd, F_SETLK, &st) == 0 ? 1 : 0);
    }
    int nStatut = 0;
    waitpid(p, &nStatut, 0);
    return WIFEXITED(nStatut) ? WEXITSTATUS(nStatut) : -1;
}

TEST_F(FileHandles, Locks) {
    std::string s = Path("k");
    WriteFile(s, "abc");
    int h = m_clLib.fOuvre(Nom(s), FO_LECTUREECRITURE + FO_BLOQUEECRITURE);
    EXPECT_EQ(LockAilleurs(s), 1);   // foBloqueEcriture alone takes no lock
    m_clLib.fFerme(h);
    h = m_clLib.fOuvre(Nom(s), FO_LECTUREECRITURE + FO_BLOQUELECTURE + FO_BLOQUEECRITURE);
    EXPECT_EQ(LockAilleurs(s), 0);
    m_clLib.fFerme(h);
    h = m_clLib.fOuvre(Nom(s), FO_LECTUREECRITURE);
    EXPECT_EQ(LockAilleurs(s), 1);
    EXPECT_TRUE(m_clLib.fBloque(h, 0, -1));
    EXPECT_EQ(LockAilleurs(s), 0);
    EXPECT_TRUE(m_clLib.fDebloque(h, 0, -1));
    EXPECT_EQ(LockAilleurs(s), 1);
    EXPECT_TRUE(m_clLib.fBloque(h, 1, 1));
    EXPECT_EQ(LockAilleurs(s), 0);
    EXPECT_TRUE(m_clLib.fDebloque(h, 1, 1));
    m_clLib.fFerme(h);
}

}  // namespace
