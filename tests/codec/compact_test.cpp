// File compaction through the language functions, in-process with a library
// object, in a fresh folder per test: the archive's layout and sizes, round
// trips of every kind of file with each syntax of fDécompacte, plain copies,
// a file onto itself, times and permissions, every failure with its code
// and user error (and what it leaves on disk), stopping, and the progress
// steps seen by a hook of the test.
//
// The last tests check the coded bytes against two LHA tools, run as
// programs: Debian's "lhasa" (package lhasa) lists and extracts our coded
// bytes wrapped in a level-0 LHA header, and "jlha" (package jlha-utils)
// makes archives whose coded bytes fDécompacte reads from our container.
// They are skipped, saying so, where the tool is not installed.
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "codec/compact.h"
#include "codec/functions.h"
#include "core/zndstr.h"
#include "files/files_test_util.h"
#include "runtime/znlibrary.h"

namespace {

using namespace codec;

std::string Genere(const std::string& sGenre, size_t n, uint32_t nGraine = 1) {
    std::mt19937 gen(nGraine);
    std::string s;
    if (sGenre == "aleatoire") {
        while (s.size() < n) s.push_back(static_cast<char>(gen()));
    } else if (sGenre == "zeros") {
        s.assign(n, '\0');
    } else if (sGenre == "periode") {
        // Repeats exactly the dictionary's length back.
        const std::string sMotif = Genere("aleatoire", 8192, nGraine);
        while (s.size() < n) s += sMotif;
        s.resize(n);
    } else if (sGenre == "melange") {
        while (s.size() < n) s += Genere(gen() % 2 ? "aleatoire" : "texte", 500 + gen() % 30000, gen());
        s.resize(n);
    } else {
        static const char* k_apsz[] = {"une ", "archive ", "garde ", "son ", "nom, ", "ses ", "tailles\r\n", "et "};
        while (s.size() < n) s += k_apsz[gen() % 8];
        s.resize(n);
    }
    return s;
}

// The LHA CRC-16 bit by bit.
uint16_t Crc16Bits(const std::string& s) {
    uint32_t c = 0;
    for (unsigned char by : s) {
        c ^= by;
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? (c >> 1) ^ 0xA001u : c >> 1;
    }
    return static_cast<uint16_t>(c);
}

uint32_t Lit32(const std::string& s, size_t i) {
    uint32_t dw = 0;
    for (int k = 3; k >= 0; --k) dw = (dw << 8) | static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
    return dw;
}

// An archive of the component's own, made by hand.
std::string Archive(const char* pszMethode, uint32_t dwCompresse, uint32_t dwTaille, const std::string& sNom,
                    const std::string& sDonnees) {
    std::string s(COMPACT_DEBUT_DONNEES, '\0');
    s[0] = static_cast<char>(COMPACT_MARQUE);
    std::memcpy(&s[1], pszMethode, std::strlen(pszMethode));
    for (int k = 0; k < 4; ++k) {
        s[9 + static_cast<size_t>(k)] = static_cast<char>(dwCompresse >> (8 * k));
        s[13 + static_cast<size_t>(k)] = static_cast<char>(dwTaille >> (8 * k));
    }
    std::memcpy(&s[17], sNom.data(), std::min<size_t>(sNom.size(), COMPACT_TAILLE_NOM));
    return s + sDonnees + std::string(2, '\0');
}

// Progress steps seen, and the percentage at which the test stops the
// operation (none when above 100).
std::vector<int> g_tabEtapes;
int g_nArretA = 1000;
CZNLibrary* g_pclLib = nullptr;
void Etape(int n) {
    g_tabEtapes.push_back(n);
    if (n >= g_nArretA) fStopCompacte(*g_pclLib);
}

class Compaction : public filestest::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        g_tabEtapes.clear();
        g_nArretA = 1000;
        g_pclLib = &m_clLib;
        m_pfnAvant = COMPACT_pfnSetProgression(Etape);
    }
    void TearDown() override {
        COMPACT_pfnSetProgression(m_pfnAvant);
        g_pclLib = nullptr;
        TempDirTest::TearDown();
    }
    ~Compaction() override {
        for (auto* p : m_tabManips) delete p;
    }

    // A file-function string over a dynamic string.
    const STManipAUB* Nom(const std::string& s) {
        m_tabTextes.emplace_back();
        m_tabTextes.back().nAssign(s.data(), static_cast<int>(s.size()));
        m_tabManips.push_back(new STManipAUB{m_tabTextes.back().pGetMemoire(), 0});
        return m_tabManips.back();
    }
    const STManipAUB* NomW(const std::wstring& s) {
        m_tabTextes.emplace_back();
        m_tabTextes.back().nAssignUNICODE(s.data(), static_cast<int>(s.size()));
        m_tabManips.push_back(new STManipAUB{m_tabTextes.back().pGetMemoire(), STManipAUB::TYPE_UNICODE});
        return m_tabManips.back();
    }
    const STManipAUB* P(const std::string& sNom) { return Nom(Path(sNom)); }

    int Compacte(const std::string& sSource, const std::string& sDest) {
        m_clLib.RAZError();
        return fCompacte(m_clLib, P(sSource), P(sDest));
    }
    int Erreur() { return m_clLib.pclGetError()->nGetUserError(); }
    // The entries of the test's folder (the home folder aside).
    std::vector<std::string> Entrees() const {
        std::vector<std::string> tab;
        if (DIR* p = opendir(m_sDir.c_str())) {
            while (dirent* pst = readdir(p))
                if (std::strcmp(pst->d_name, ".") != 0 && std::strcmp(pst->d_name, "..") != 0 &&
                    std::strcmp(pst->d_name, "home") != 0)
                    tab.push_back(pst->d_name);
            closedir(p);
        }
        std::sort(tab.begin(), tab.end());
        return tab;
    }
    static time_t Mtime(const std::string& s) {
        struct stat st;
        return stat(s.c_str(), &st) == 0 ? st.st_mtime : 0;
    }
    static void FixeMtime(const std::string& s, time_t t) {
        const struct timespec ast[2] = {{t, 0}, {t, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, s.c_str(), ast, 0), 0);
    }

    CZNLibrary m_clLib;
    std::vector<CZNDSTR> m_tabTextes{};
    std::vector<STManipAUB*> m_tabManips;
    PFN_ProgressionCompact m_pfnAvant = nullptr;
};

// ---------------------------------------------------------------- the archive

TEST_F(Compaction, ArchiveHoldsMarkerHeaderDataAndEnd) {
    const std::string sSource = Genere("texte", 100000);
    WriteFile(Path("a.txt"), sSource);
    STCompactBilan st;
    ASSERT_EQ(nfCompacte(Path("a.txt").c_str(), Path("a.qvc").c_str(), &st), 0);
    const std::string s = ReadFile(Path("a.qvc"));
    ASSERT_GT(s.size(), COMPACT_SURCOUT);
    EXPECT_EQ(static_cast<unsigned char>(s[0]), 0x20);
    EXPECT_EQ(s.substr(1, 8), std::string("-lh5-\0\0\0", 8));
    EXPECT_EQ(Lit32(s, 9), s.size() - COMPACT_SURCOUT);
    EXPECT_EQ(Lit32(s, 13), sSource.size());
    EXPECT_EQ(std::string(s.c_str() + 17), Path("a.txt"));   // the name as given
    EXPECT_EQ(s.substr(17, 260).find_first_not_of('\0', Path("a.txt").size()), std::string::npos);
    EXPECT_EQ(s.substr(277, 12), std::string(12, '\0'));
    EXPECT_EQ(s.substr(s.size() - 2), std::string(2, '\0'));
    EXPECT_LT(s.size(), sSource.size() / 3);
    EXPECT_FALSE(st.bCopieSimple);
    EXPECT_EQ(st.qwCompresse, s.size() - COMPACT_SURCOUT);
    EXPECT_EQ(st.wCrc16, Crc16Bits(sSource));
    // The sizes it records.
    EXPECT_EQ(fTailleCompacte(m_clLib, P("a.qvc")), static_cast<int32_t>(s.size()));
    EXPECT_EQ(fTailleDecompacte(m_clLib, P("a.qvc")), 100000);
    // The decoder's CRC is the same.
    STCompactBilan stRetour;
    ASSERT_EQ(nfDecompacte(Path("a.qvc").c_str(), Path("b.txt").c_str(), true, &stRetour), 0);
    EXPECT_EQ(stRetour.wCrc16, Crc16Bits(sSource));
}

// ---------------------------------------------------------------- round trips

TEST_F(Compaction, EveryKindOfFileComesBackByEverySyntax) {
    struct STCas {
        const char* pszGenre;
        size_t nTaille;
        bool bCopieSimple;   // the archive is the file itself
    } const astCas[] = {
        {"texte", 0, false},   // a container with nothing in it
        {"texte", 1, true},    // no code is shorter than one byte
        {"texte", 2000, false},
        {"texte", 700000, false},
        {"zeros", 1000000, false},
        {"aleatoire", 1, true},
        {"aleatoire", 60000, true},
    };
    for (const STCas& st : astCas) {
        const std::string sCas = std::string(st.pszGenre) + " " + std::to_string(st.nTaille);
        SCOPED_TRACE(sCas);
        const std::string sSource = Genere(st.pszGenre, st.nTaille);
        WriteFile(Path("f"), sSource);
        ASSERT_EQ(Compacte("f", "f.arc"), 0);
        EXPECT_EQ(Erreur(), 0);
        const std::string sArchive = ReadFile(Path("f.arc"));
        if (st.bCopieSimple) {
            EXPECT_EQ(sArchive, sSource);
            EXPECT_EQ(fTailleCompacte(m_clLib, P("f.arc")), -2);
            EXPECT_EQ(fTailleDecompacte(m_clLib, P("f.arc")), -2);
            // Without a destination, a file that is no archive stays as it is.
            EXPECT_EQ(fDecompacte(m_clLib, P("f.arc")), COMPACT_PAS_ARCHIVE);
        } else {
            EXPECT_EQ(sArchive.size(), static_cast<size_t>(fTailleCompacte(m_clLib, P("f.arc"))));
            EXPECT_EQ(fTailleDecompacte(m_clLib, P("f.arc")), static_cast<int32_t>(st.nTaille));
            // Without a destination, the file goes back where the archive says.
            ASSERT_EQ(unlink(Path("f").c_str()), 0);
            EXPECT_EQ(fDecompacte(m_clLib, P("f.arc")), 0);
            EXPECT_TRUE(ReadFile(Path("f")) == sSource);
        }
        EXPECT_EQ(fDecompacte(m_clLib, P("f.arc"), P("g")), 0);
        EXPECT_TRUE(ReadFile(Path("g")) == sSource);
        EXPECT_EQ(fDecompacte(m_clLib, P("f.arc"), P("h"), 0), 0);
        EXPECT_TRUE(ReadFile(Path("h")) == sSource);
        // An empty destination counts as none.
        if (!st.bCopieSimple) {
            EXPECT_EQ(fDecompacte(m_clLib, P("f.arc"), Nom("")), 0);
            EXPECT_TRUE(ReadFile(Path("f")) == sSource);
        }
        EXPECT_EQ(Entrees(), (std::vector<std::string>{"f", "f.arc", "g", "h"}));
        for (const char* psz : {"f", "f.arc", "g", "h"}) unlink(Path(psz).c_str());
    }
}

TEST_F(Compaction, UnicodeNamesAreTakenAsUtf8) {
    const std::string sSource = Genere("texte", 5000);
    WriteFile(Path("\xc3\xa9t\xc3\xa9"), sSource);
    const std::wstring sDossier(m_sDir.begin(), m_sDir.end());
    EXPECT_EQ(fCompacte(m_clLib, NomW(sDossier + L"/\u00e9t\u00e9"), NomW(sDossier + L"/\u00e9t\u00e9.arc")), 0);
    EXPECT_EQ(fDecompacte(m_clLib, NomW(sDossier + L"/\u00e9t\u00e9.arc"), NomW(sDossier + L"/\u20ac")), 0);
    EXPECT_EQ(ReadFile(Path("\xe2\x82\xac")), sSource);
}

TEST_F(Compaction, AFileOntoItselfGoesThroughATemporaryFile) {
    const std::string sSource = Genere("texte", 300000);
    WriteFile(Path("a"), sSource);
    ASSERT_EQ(Compacte("a", "a"), 0);
    EXPECT_EQ(fTailleDecompacte(m_clLib, P("a")), 300000);
    ASSERT_EQ(fDecompacte(m_clLib, P("a"), P("a")), 0);
    EXPECT_TRUE(ReadFile(Path("a")) == sSource);
    // A plain copy onto itself is left as it is.
    WriteFile(Path("r"), Genere("aleatoire", 9000));
    ASSERT_EQ(Compacte("r", "r"), 0);
    ASSERT_EQ(fDecompacte(m_clLib, P("r"), P("r")), 0);
    EXPECT_EQ(ReadFile(Path("r")), Genere("aleatoire", 9000));
    EXPECT_EQ(Entrees(), (std::vector<std::string>{"a", "r"}));
}

TEST_F(Compaction, OutputsTakeTheTimesOfTheirInputAndKeepPermissions) {
    WriteFile(Path("a"), Genere("texte", 20000));
    FixeMtime(Path("a"), 1000000000);
    ASSERT_EQ(Compacte("a", "a.arc"), 0);
    EXPECT_EQ(Mtime(Path("a.arc")), 1000000000);
    EXPECT_EQ(Mode(Path("a.arc")), 0644u);   // a new file under the test's mask 022
    FixeMtime(Path("a.arc"), 1100000000);
    ASSERT_EQ(fDecompacte(m_clLib, P("a.arc"), P("b")), 0);
    EXPECT_EQ(Mtime(Path("b")), 1100000000);
    // A file that is replaced keeps its permissions.
    WriteFile(Path("c"), "old");
    ASSERT_EQ(chmod(Path("c").c_str(), 0600), 0);
    ASSERT_EQ(fDecompacte(m_clLib, P("a.arc"), P("c")), 0);
    EXPECT_EQ(Mode(Path("c")), 0600u);
    EXPECT_EQ(ReadFile(Path("c")), Genere("texte", 20000));
}

// ---------------------------------------------------------------- failures

TEST_F(Compaction, CompactingFailsWithItsCodeAndLeavesNothingBehind) {
    WriteFile(Path("a"), Genere("texte", 20000));
    ASSERT_EQ(mkdir(Path("dossier").c_str(), 0700), 0);
    const std::string sLong = "/" + std::string(258, 'n');   // with the folder, far over 259 bytes
    struct STCas {
        const char* pszNom;
        std::string sSource, sDest;
        int nCode;
    } const astCas[] = {
        {"missing source", Path("absent"), Path("x"), 1},
        {"source is a folder", Path("dossier"), Path("x"), 1},
        {"empty source", "", Path("x"), 1},
        {"source name of 260 bytes", m_sDir + sLong, Path("x"), 1},
        {"destination in a missing folder", Path("a"), Path("absent/x"), 2},
        {"destination is a folder", Path("a"), Path("dossier"), 2},
        {"empty destination", Path("a"), "", 2},
    };
    for (const STCas& st : astCas) {
        m_clLib.RAZError();
        EXPECT_EQ(fCompacte(m_clLib, Nom(st.sSource), Nom(st.sDest)), st.nCode) << st.pszNom;
        EXPECT_EQ(Erreur(), 80299 + st.nCode) << st.pszNom;
        EXPECT_EQ(Entrees(), (std::vector<std::string>{"a", "dossier"})) << st.pszNom;
    }
    // A name of 259 bytes is still taken.
    const std::string sNom259 = Path(std::string(259 - Path("").size(), 'm'));
    ASSERT_EQ(sNom259.size(), 259u);
    WriteFile(sNom259, "259");
    m_clLib.RAZError();
    EXPECT_EQ(fCompacte(m_clLib, Nom(sNom259), P("x")), 0);
    EXPECT_EQ(Erreur(), 0);
}

TEST_F(Compaction, DamagedArchivesFailAndLeaveTheDestinationAlone) {
    const std::string sSource = Genere("texte", 50000);
    WriteFile(Path("a"), sSource);
    ASSERT_EQ(Compacte("a", "a.arc"), 0);
    const std::string sBonne = ReadFile(Path("a.arc"));
    const std::string sDonnees = sBonne.substr(COMPACT_DEBUT_DONNEES, sBonne.size() - COMPACT_SURCOUT);
    const uint32_t dwCode = static_cast<uint32_t>(sDonnees.size());
    std::string sSansFinDeNom = sBonne;
    std::fill(sSansFinDeNom.begin() + 17, sSansFinDeNom.begin() + 277, 'n');
    struct STCas {
        const char* pszNom;
        std::string sArchive;
        int nCode;
    } const astCas[] = {
        {"data cut short", sBonne.substr(0, sBonne.size() / 2), COMPACT_ABIMEE},
        {"compressed size past the end", Archive("-lh5-", dwCode + 10, 50000, "a", sDonnees), COMPACT_ABIMEE},
        {"size beyond what the data gives", Archive("-lh5-", dwCode, 60000, "a", sDonnees), COMPACT_ABIMEE},
        {"data that is no code", Archive("-lh5-", 400, 50000, "a", std::string(400, '\0')), COMPACT_ABIMEE},
        {"name without its end", sSansFinDeNom, COMPACT_ABIMEE},
        {"stored entry past the end", Archive("-lh0-", 10, 20, "a", std::string(10, 'x')), COMPACT_ABIMEE},
        {"missing archive", "", COMPACT_OUVERTURE},
    };
    for (const STCas& st : astCas) {
        if (!st.sArchive.empty()) WriteFile(Path("d.arc"), st.sArchive);
        WriteFile(Path("dest"), "before");
        EXPECT_EQ(fDecompacte(m_clLib, P("d.arc"), P("dest")), st.nCode) << st.pszNom;
        EXPECT_EQ(ReadFile(Path("dest")), "before") << st.pszNom;
        EXPECT_EQ(Erreur(), 0) << st.pszNom;   // fDécompacte answers with its code alone
        unlink(Path("d.arc").c_str());
        EXPECT_EQ(Entrees(), (std::vector<std::string>{"a", "a.arc", "dest"})) << st.pszNom;
    }
    EXPECT_EQ(fTailleCompacte(m_clLib, P("absent")), -1);
    WriteFile(Path("d.arc"), sSansFinDeNom);
    EXPECT_EQ(fTailleCompacte(m_clLib, P("d.arc")), -2);
    EXPECT_EQ(fTailleDecompacte(m_clLib, P("d.arc")), -2);
}

TEST_F(Compaction, OtherMethodsAndStoredEntries) {
    struct STCas {
        const char* pszNom;
        std::string sArchive;
        int nCode;
        std::string sSortie;   // what the destination holds afterwards
    } const astCas[] = {
        {"stored entry", Archive("-lh0-", 5, 5, "s", "12345"), 0, "12345"},
        {"method in capitals", Archive("-LH0-", 3, 3, "s", "abc"), 0, "abc"},
        // Unknown methods make no archive: the file is copied as it is.
        {"unknown method", Archive("-lh7-", 3, 3, "s", "abc"), 0, Archive("-lh7-", 3, 3, "s", "abc")},
        {"short file", "\x20-lh5-", 0, "\x20-lh5-"},
    };
    for (const STCas& st : astCas) {
        WriteFile(Path("s.arc"), st.sArchive);
        EXPECT_EQ(fDecompacte(m_clLib, P("s.arc"), P("out")), st.nCode) << st.pszNom;
        EXPECT_EQ(ReadFile(Path("out")), st.sSortie) << st.pszNom;
    }
}

// ---------------------------------------------------------------- stop and progress

TEST_F(Compaction, StoppingRemovesTheOutputAndKeepsWhatWasThere) {
    const std::string sSource = Genere("texte", 2000000);
    WriteFile(Path("a"), sSource);
    g_nArretA = 30;
    m_clLib.RAZError();
    EXPECT_EQ(Compacte("a", "a.arc"), COMPACT_ARRET);
    EXPECT_EQ(Erreur(), 80305);
    EXPECT_EQ(Entrees(), (std::vector<std::string>{"a"}));
    WriteFile(Path("a.arc"), "before");
    EXPECT_EQ(Compacte("a", "a.arc"), COMPACT_ARRET);
    EXPECT_EQ(ReadFile(Path("a.arc")), "before");
    // The flag is reset by the next operation.
    g_nArretA = 1000;
    ASSERT_EQ(Compacte("a", "a.arc"), 0);
    g_nArretA = 50;
    EXPECT_EQ(fDecompacte(m_clLib, P("a.arc"), P("b")), COMPACT_ARRET);
    EXPECT_EQ(Entrees(), (std::vector<std::string>{"a", "a.arc"}));
    // A plain copy stops too.
    WriteFile(Path("r"), Genere("aleatoire", 500000));
    g_nArretA = 60;
    EXPECT_EQ(Compacte("r", "r.arc"), COMPACT_ARRET);
    EXPECT_EQ(Entrees(), (std::vector<std::string>{"a", "a.arc", "r"}));
}

TEST_F(Compaction, ProgressRisesFromZeroToAHundred) {
    WriteFile(Path("a"), Genere("texte", 3000000));
    ASSERT_EQ(Compacte("a", "a.arc"), 0);
    struct STCas {
        const char* pszNom;
        std::function<int()> fn;
        bool bEtapes;
    } const astCas[] = {
        {"fCompacte", [this] { return Compacte("a", "b.arc"); }, true},
        {"fDecompacte (archive)", [this] { return fDecompacte(m_clLib, P("a.arc")); }, true},
        {"fDecompacte (archive, destination)", [this] { return fDecompacte(m_clLib, P("a.arc"), P("c")); }, true},
        {"fDecompacte with JaugeCompactage", [this] { return fDecompacte(m_clLib, P("a.arc"), P("c"), 1); }, true},
        {"fDecompacte without", [this] { return fDecompacte(m_clLib, P("a.arc"), P("c"), 0); }, false},
    };
    for (const STCas& st : astCas) {
        g_tabEtapes.clear();
        ASSERT_EQ(st.fn(), 0) << st.pszNom;
        if (!st.bEtapes) {
            EXPECT_TRUE(g_tabEtapes.empty()) << st.pszNom;
            continue;
        }
        ASSERT_GE(g_tabEtapes.size(), 5u) << st.pszNom;
        EXPECT_EQ(g_tabEtapes.front(), 0) << st.pszNom;
        EXPECT_EQ(g_tabEtapes.back(), 100) << st.pszNom;
        EXPECT_TRUE(std::is_sorted(g_tabEtapes.begin(), g_tabEtapes.end())) << st.pszNom;
        EXPECT_EQ(std::adjacent_find(g_tabEtapes.begin(), g_tabEtapes.end()), g_tabEtapes.end()) << st.pszNom;
    }
}

// ---------------------------------------------------------------- beside LHA tools

// Runs a program in a folder, its output and errors into a file of that
// folder. False when the program cannot be started.
bool Lance(const std::vector<std::string>& tabArgs, const std::string& sDossier, int* pnCode) {
    posix_spawn_file_actions_t st;
    posix_spawn_file_actions_init(&st);
    posix_spawn_file_actions_addchdir_np(&st, sDossier.c_str());
    posix_spawn_file_actions_addopen(&st, 1, (sDossier + "/sortie.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&st, 1, 2);
    std::vector<char*> tabArgv;
    for (const std::string& s : tabArgs) tabArgv.push_back(const_cast<char*>(s.c_str()));
    tabArgv.push_back(nullptr);
    pid_t nPid = 0;
    const int n = posix_spawnp(&nPid, tabArgv[0], &st, nullptr, tabArgv.data(), environ);
    posix_spawn_file_actions_destroy(&st);
    if (n != 0) return false;
    int nStatut = 0;
    if (waitpid(nPid, &nStatut, 0) != nPid) return false;
    *pnCode = WIFEXITED(nStatut) ? WEXITSTATUS(nStatut) : -1;
    return true;
}

// A level-0 LHA entry (DOS attribute 0x20, a fixed DOS time).
std::string EntreeLha(const std::string& sNom, const std::string& sCode, const std::string& sOriginal) {
    std::string s(2, '\0');
    s += "-lh5-";
    for (uint32_t dw : {static_cast<uint32_t>(sCode.size()), static_cast<uint32_t>(sOriginal.size()), 0x5A210000u})
        for (int k = 0; k < 4; ++k) s.push_back(static_cast<char>(dw >> (8 * k)));
    s += std::string("\x20\x00", 2);
    s.push_back(static_cast<char>(sNom.size()));
    s += sNom;
    const uint16_t wCrc = Crc16Bits(sOriginal);
    s.push_back(static_cast<char>(wCrc & 0xFF));
    s.push_back(static_cast<char>(wCrc >> 8));
    s[0] = static_cast<char>(s.size() - 2);
    uint8_t bySomme = 0;
    for (size_t i = 2; i < s.size(); ++i) bySomme = static_cast<uint8_t>(bySomme + static_cast<uint8_t>(s[i]));
    s[1] = static_cast<char>(bySomme);
    return s + sCode;
}

struct STFichierPair {
    const char* pszGenre;
    size_t nTaille;
};
const STFichierPair k_astFichiersPairs[] = {
    {"texte", 3},         {"texte", 700},       {"texte", 150000}, {"zeros", 300000},
    {"periode", 200000},  {"melange", 500000},  {"texte", 2000000},
};

TEST_F(Compaction, LhasaListsAndExtractsOurCodedBytes) {
    std::string sLzh;
    std::vector<std::pair<std::string, std::string>> tabFichiers;
    for (size_t i = 0; i < std::size(k_astFichiersPairs); ++i) {
        const std::string sNom = "f" + std::to_string(i);
        const std::string sSource = Genere(k_astFichiersPairs[i].pszGenre, k_astFichiersPairs[i].nTaille, 7);
        WriteFile(Path(sNom), sSource);
        STCompactBilan st;
        ASSERT_EQ(nfCompacte(Path(sNom).c_str(), Path(sNom + ".arc").c_str(), &st), 0);
        const std::string sArchive = ReadFile(Path(sNom + ".arc"));
        if (st.bCopieSimple) continue;
        sLzh += EntreeLha(sNom, sArchive.substr(COMPACT_DEBUT_DONNEES, st.qwCompresse), sSource);
        tabFichiers.emplace_back(sNom, sSource);
    }
    ASSERT_GE(tabFichiers.size(), 6u);
    // The dictionary starts as spaces for this tool too: a match before the
    // start, made by hand (one block, each code of one symbol).
    sLzh += EntreeLha("espaces", std::string("\x00\x01\x00\x00\x10\x20\xd0\x00", 8), "     ");
    tabFichiers.emplace_back("espaces", "     ");
    WriteFile(Path("tout.lzh"), sLzh + std::string(1, '\0'));
    ASSERT_EQ(mkdir(Path("x").c_str(), 0700), 0);
    int nCode = 0;
    if (!Lance({"lhasa", "l", "tout.lzh"}, m_sDir, &nCode)) GTEST_SKIP() << "lhasa (Debian package lhasa) is missing";
    EXPECT_EQ(nCode, 0);
    const std::string sListe = ReadFile(Path("sortie.txt"));
    for (const auto& [sNom, sContenu] : tabFichiers) {
        EXPECT_NE(sListe.find(sNom), std::string::npos) << sNom;
        EXPECT_NE(sListe.find(std::to_string(sContenu.size())), std::string::npos) << sNom;
    }
    ASSERT_TRUE(Lance({"lhasa", "xqfw=x", "tout.lzh"}, m_sDir, &nCode));
    EXPECT_EQ(nCode, 0) << ReadFile(Path("sortie.txt"));
    for (const auto& [sNom, sContenu] : tabFichiers) EXPECT_TRUE(ReadFile(Path("x/" + sNom)) == sContenu) << sNom;
}

TEST_F(Compaction, OurDecoderReadsTheCodedBytesOfJlha) {
    std::vector<std::string> tabArgs = {"jlha", "a0o5q", "j.lzh"};
    std::map<std::string, std::string> tabFichiers;
    for (size_t i = 0; i < std::size(k_astFichiersPairs); ++i) {
        const std::string sNom = "j" + std::to_string(i);
        tabFichiers[sNom] = Genere(k_astFichiersPairs[i].pszGenre, k_astFichiersPairs[i].nTaille, 11);
        WriteFile(Path(sNom), tabFichiers[sNom]);
        tabArgs.push_back(sNom);
    }
    int nCode = 0;
    if (!Lance(tabArgs, m_sDir, &nCode)) GTEST_SKIP() << "jlha (Debian package jlha-utils) is missing";
    ASSERT_EQ(nCode, 0) << ReadFile(Path("sortie.txt"));
    // Level-0 entries one after the other, up to a zero header size.
    const std::string sLzh = ReadFile(Path("j.lzh"));
    size_t nPos = 0, nLus = 0;
    while (nPos < sLzh.size() && sLzh[nPos] != 0) {
        ASSERT_LE(nPos + 24, sLzh.size());
        const size_t nEntete = static_cast<unsigned char>(sLzh[nPos]) + 2u;
        const std::string sMethode = sLzh.substr(nPos + 2, 5);
        const uint32_t dwCode = Lit32(sLzh, nPos + 7), dwTaille = Lit32(sLzh, nPos + 11);
        const size_t nNom = static_cast<unsigned char>(sLzh[nPos + 21]);
        const std::string sNom = sLzh.substr(nPos + 22, nNom);
        const uint16_t wCrc = static_cast<uint16_t>(static_cast<unsigned char>(sLzh[nPos + 22 + nNom]) |
                                                    static_cast<unsigned char>(sLzh[nPos + 23 + nNom]) << 8);
        ASSERT_LE(nPos + nEntete + dwCode, sLzh.size());
        const std::string sCode = sLzh.substr(nPos + nEntete, dwCode);
        nPos += nEntete + dwCode;
        if (sMethode != "-lh5-") continue;
        ++nLus;
        SCOPED_TRACE(sNom);
        ASSERT_EQ(tabFichiers.count(sNom), 1u);
        EXPECT_EQ(dwTaille, tabFichiers[sNom].size());
        WriteFile(Path("c.arc"), Archive("-lh5-", dwCode, dwTaille, sNom, sCode));
        EXPECT_EQ(fDecompacte(m_clLib, P("c.arc"), P("c.out")), 0);
        EXPECT_TRUE(ReadFile(Path("c.out")) == tabFichiers[sNom]);
        STCompactBilan st;
        ASSERT_EQ(nfDecompacte(Path("c.arc").c_str(), Path("c.out").c_str(), false, &st), 0);
        EXPECT_EQ(st.wCrc16, wCrc);
    }
    EXPECT_GE(nLus, 6u);
}

}  // namespace
