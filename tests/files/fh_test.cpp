// The table of open files and the file-handle functions, called in process
// on a library object without a host.
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "component/compo.h"
#include "files/diskfile.h"
#include "files/fh_commun.h"
#include "files/fh_table.h"
#include "files/functions.h"
#include "files/memstream.h"
#include "handles_test_util.h"
#include "qvstd/manipaub.h"
#include "system/functions.h"

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

class FileHandles : public filestest::HandlesTest {
protected:
    std::string Ligne(int h) {
        CZNDSTR s = files::FIC_sLitLigne(m_clLib, h);
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
};

TEST_F(FileHandles, FirstHandleIsTwoAndIsReused) {
    WriteFile(Path("a"), "x");
    int h = files::fOuvre(m_clLib, Nom(Path("a")), FO_LECTURE);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(files::fOuvre(m_clLib, Nom(Path("a")), FO_LECTURE), 3);
    EXPECT_EQ(files::fFerme(m_clLib, 2), 0);
    EXPECT_EQ(files::fOuvre(m_clLib, Nom(Path("a")), FO_LECTURE), 2);
    EXPECT_EQ(FIC_nOuverts(), 2);
}

TEST_F(FileHandles, InvalidHandlesFailWith80022) {
    WriteFile(Path("a"), "x");
    ASSERT_EQ(files::fOuvre(m_clLib, Nom(Path("a")), FO_LECTURE), 2);
    for (int h : {0, 1, -1, 3, 1000000, int(0x80000000u)}) {
        m_clLib.RAZError();
        EXPECT_EQ(files::fFerme(m_clLib, h), -1) << h;
        EXPECT_EQ(Erreur(), 80022) << h;
        EXPECT_EQ(m_clLib.pclGetError()->eGetErrorLevel(), uint32_t(EL_ERROR));
        m_clLib.RAZError();
        EXPECT_EQ(files::fPositionne(m_clLib, h, 0, 0), -1);
        EXPECT_EQ(Erreur(), 80022);
        EXPECT_EQ(files::fLit(m_clLib, h, 5).nGetLongueur(), 0);
        EXPECT_FALSE(files::fBloque(m_clLib, h, 0, -1));
        EXPECT_EQ(files::fEcrit(m_clLib, h, Nom("z"), -1), -1);
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
        int h = files::fOuvre(m_clLib, Nom(s), c.nMode);
        EXPECT_EQ(h >= 2, c.bOuvert) << c.pszNom;
        if (h < 0) {
            EXPECT_TRUE(m_clLib.pclGetError()->bIsError()) << c.pszNom;
            EXPECT_EQ(m_clLib.pclGetError()->eGetErrorLevel(), uint32_t(EL_ERROR));
        } else {
            files::fEcrit(m_clLib, h, Nom("W"), -1);
            EXPECT_EQ(files::fFerme(m_clLib, h), 0);
        }
        EXPECT_EQ(ReadFile(s), c.pszApres) << c.pszNom;
    }
}

TEST_F(FileHandles, WriteOnlyRetryOpensAnUnreadableFile) {
    if (geteuid() == 0) GTEST_SKIP() << "the superuser reads every file";
    std::string s = Path("secret");
    WriteFile(s, "abc");
    ASSERT_EQ(chmod(s.c_str(), 0200), 0);
    int h = files::fOuvre(m_clLib, Nom(s), FO_ECRITURE);
    ASSERT_GE(h, 2);
    EXPECT_EQ(files::fEcrit(m_clLib, h, Nom("X"), -1), 1);
    EXPECT_EQ(files::fFerme(m_clLib, h), 0);
    chmod(s.c_str(), 0600);
    EXPECT_EQ(ReadFile(s), "Xbc");
    EXPECT_EQ(files::fOuvre(m_clLib, Nom(s + "-absent"), FO_ECRITURE), -1);
}

TEST_F(FileHandles, CreateAddsReadWriteAndTruncates) {
    std::string s = Path("c");
    WriteFile(s, "old content");
    int h = files::fCree(m_clLib, Nom(s), 0);
    ASSERT_EQ(h, 2);
    EXPECT_TRUE(files::fEcritLigne(m_clLib, h, Nom("new")));
    EXPECT_EQ(files::fPositionne(m_clLib, h, 0, 0), 0);
    EXPECT_EQ(Ligne(h), "new");
    EXPECT_EQ(files::fFerme(m_clLib, h), 0);
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
        int h = files::fOuvre(m_clLib, Nom(sNom), FO_LECTURE);
        ASSERT_GE(h, 2);
        EXPECT_EQ(Lignes(h), c.tabLignes) << sNom;
        EXPECT_EQ(Ligne(h), "\x04") << sNom;   // and it stays at the end
        files::fFerme(m_clLib, h);
    }
}

TEST_F(FileHandles, UnicodeFiles) {
    std::string s = Path("u");
    int h = files::fOuvre(m_clLib, Nom(s), UNICODE_CREE);
    ASSERT_EQ(h, 2);
    EXPECT_TRUE(files::fEcritLigne(m_clLib, h, NomW(L"\u00e9t\u00e9")));
    EXPECT_TRUE(files::fEcritLigne(m_clLib, h, NomW(L"\U0001F600")));
    EXPECT_EQ(files::fEcrit(m_clLib, h, NomW(L"ab"), 1), 2);
    files::fFerme(m_clLib, h);
    EXPECT_EQ(ReadFile(s), std::string("\xFF\xFE\xE9\0t\0\xE9\0\r\0\n\0\x3D\xD8\x00\xDE\r\0\n\0a\0", 22));

    // Reopened: reading starts after the mark, lines come back Unicode.
    h = files::fOuvre(m_clLib, Nom(s), FO_LECTURE + FO_UNICODE);
    ASSERT_EQ(h, 2);
    CZNDSTR l = files::FIC_sLitLigne(m_clLib, h);
    EXPECT_EQ(l.nGetTypeAUB(), 16);
    EXPECT_EQ(std::wstring(l.pwszGet(), size_t(l.nGetLongueurUNICODE())), L"\u00e9t\u00e9");
    l = files::FIC_sLitLigne(m_clLib, h);
    EXPECT_EQ(std::wstring(l.pwszGet(), size_t(l.nGetLongueurUNICODE())), L"\U0001F600");
    l = files::FIC_sLitLigne(m_clLib, h);
    EXPECT_EQ(std::wstring(l.pwszGet(), size_t(l.nGetLongueurUNICODE())), L"a");
    l = files::FIC_sLitLigne(m_clLib, h);
    EXPECT_EQ(std::wstring(l.pwszGet(), size_t(l.nGetLongueurUNICODE())), L"\x04");
    EXPECT_EQ(l.nGetTypeAUB(), 16);
    files::fFerme(m_clLib, h);

    // Without the mark, from byte 0; a lone last byte ends the file.
    WriteFile(s, std::string("h\0i\0\n\0z", 7));
    h = files::fOuvre(m_clLib, Nom(s), FO_LECTURE + FO_UNICODE);
    l = files::FIC_sLitLigne(m_clLib, h);
    EXPECT_EQ(std::wstring(l.pwszGet(), size_t(l.nGetLongueurUNICODE())), L"hi");
    l = files::FIC_sLitLigne(m_clLib, h);
    EXPECT_EQ(l.nGetLongueur(), 0);
    l = files::FIC_sLitLigne(m_clLib, h);
    EXPECT_EQ(std::wstring(l.pwszGet(), size_t(l.nGetLongueurUNICODE())), L"\x04");
    files::fFerme(m_clLib, h);

    // A CR that ends a chunk of 40 units goes with the LF that starts the
    // next one.
    std::string sUnites;
    for (int i = 0; i < 39; ++i) sUnites += std::string("y\0", 2);
    WriteFile(s, sUnites + std::string("\r\0\n\0n\0", 6));
    h = files::fOuvre(m_clLib, Nom(s), FO_LECTURE + FO_UNICODE);
    l = files::FIC_sLitLigne(m_clLib, h);
    EXPECT_EQ(std::wstring(l.pwszGet(), size_t(l.nGetLongueurUNICODE())), std::wstring(39, L'y'));
    l = files::FIC_sLitLigne(m_clLib, h);
    EXPECT_EQ(std::wstring(l.pwszGet(), size_t(l.nGetLongueurUNICODE())), L"n");
    files::fFerme(m_clLib, h);

    // Each file kind gets its own form of a line of the other kind.
    h = files::fOuvre(m_clLib, Nom(s), UNICODE_CREE);
    EXPECT_TRUE(files::fEcritLigne(m_clLib, h, Nom("\xE9")));
    files::fFerme(m_clLib, h);
    EXPECT_EQ(ReadFile(s), std::string("\xFF\xFE\xE9\0\r\0\n\0", 8));
    h = files::fCree(m_clLib, Nom(s), 0);
    EXPECT_TRUE(files::fEcritLigne(m_clLib, h, NomW(L"\u00e9")));
    files::fFerme(m_clLib, h);
    EXPECT_EQ(ReadFile(s), "\xE9\r\n");

    // Appending to an existing Unicode file writes no second mark.
    WriteFile(s, "\xFF\xFE");
    h = files::fOuvre(m_clLib, Nom(s), FO_ECRITURE + FO_AJOUT + FO_UNICODE + FO_CREATIONSIINEXISTANT);
    EXPECT_TRUE(files::fEcritLigne(m_clLib, h, Nom("")));
    files::fFerme(m_clLib, h);
    EXPECT_EQ(ReadFile(s), std::string("\xFF\xFE\r\0\n\0", 6));
}

// Lines are read ahead of the position; every split must still be the
// file's own, whatever falls on the edge of a read: a CR and its LF on
// either side, units of a Unicode file counted from an odd position.
TEST_F(FileHandles, LinesReadAheadAreTheFileSplitAtItsLineEnds) {
    // Bytes of about 200 KB in lines of 0 to 300 bytes, with CRs inside.
    unsigned nGraine = 7;
    auto nHasard = [&nGraine](unsigned n) {
        nGraine = nGraine * 1103515245u + 12345u;
        return (nGraine >> 16) % n;
    };
    std::string sTexte;
    while (sTexte.size() < 200000) {
        const unsigned nLongueur = nHasard(300);
        for (unsigned i = 0; i < nLongueur; ++i) sTexte += nHasard(40) == 0 ? '\r' : char('a' + nHasard(26));
        sTexte += nHasard(2) != 0 ? "\r\n" : "\n";
    }
    // A CR as the last byte of the first read, its LF the first of the next.
    std::string sBord = std::string(4095, 'b') + "\r\nsuite\n" + sTexte;
    struct Cas {
        const char* pszCas;
        std::string sOctets;
        bool bUnicode;
        long long oDepart;
    } tabCas[] = {
        {"ANSI", sTexte, false, 0},
        {"ANSI, no line end at the end", sTexte + "fin", false, 0},
        {"ANSI, CR and LF split by a read", sBord, false, 0},
        {"Unicode from byte 0", sTexte, true, 0},
        {"Unicode from byte 1", sTexte, true, 1},
        {"Unicode, CR and LF split by a read", "z" + sBord, true, 1},
    };
    for (const Cas& c : tabCas) {
        // What the lines must be: units from the start, split at LF, a CR
        // before it dropped, an odd byte at the end passed over.
        const size_t nUnite = c.bUnicode ? 2 : 1;
        std::vector<std::u16string> tabAttendues(1);
        for (size_t i = size_t(c.oDepart); i + nUnite <= c.sOctets.size(); i += nUnite) {
            const char16_t u = c.bUnicode ? char16_t(uint8_t(c.sOctets[i]) | uint8_t(c.sOctets[i + 1]) << 8)
                                          : char16_t(uint8_t(c.sOctets[i]));
            if (u != u'\n') {
                tabAttendues.back() += u;
                continue;
            }
            if (!tabAttendues.back().empty() && tabAttendues.back().back() == u'\r') tabAttendues.back().pop_back();
            tabAttendues.emplace_back();
        }
        const bool bOctetSeul = (c.sOctets.size() - size_t(c.oDepart)) % nUnite != 0;
        if (tabAttendues.back().empty() && !bOctetSeul) tabAttendues.pop_back();

        WriteFile(Path("l"), c.sOctets);
        const int h = files::fOuvre(m_clLib, Nom(Path("l")), FO_LECTURE + (c.bUnicode ? FO_UNICODE : 0));
        ASSERT_EQ(files::fPositionne(m_clLib, h, c.oDepart, 0), c.oDepart) << c.pszCas;
        size_t nLignes = 0;
        for (;; ++nLignes) {
            CZNDSTR s = files::FIC_sLitLigne(m_clLib, h);
            ASSERT_FALSE(m_clLib.pclGetError()->bIsError()) << c.pszCas;
            std::u16string sLue;
            if (c.bUnicode) {
                for (int i = 0; i < s.nGetLongueurUNICODE(); ++i) sLue += char16_t(s.pwszGet()[i]);
            } else {
                for (int i = 0; i < s.nGetLongueur(); ++i) sLue += char16_t(uint8_t(s.pszGet()[i]));
            }
            if (sLue == u"\x04") break;
            ASSERT_LT(nLignes, tabAttendues.size()) << c.pszCas;
            ASSERT_TRUE(sLue == tabAttendues[nLignes]) << c.pszCas << ", line " << nLignes;
        }
        EXPECT_EQ(nLignes, tabAttendues.size()) << c.pszCas;
        files::fFerme(m_clLib, h);
    }
}

// After a line, every other operation on the handle starts where the line
// ended, not where the reading ahead stopped.
TEST_F(FileHandles, OperationsAfterALineStartWhereTheLineEnded) {
    std::string sTexte;
    for (int i = 0; i < 10000; ++i) sTexte += "line " + std::to_string(100000 + i).substr(1) + "\r\n";
    struct Cas {
        const char* pszCas;
        std::function<std::string(int)> fn;
        std::string sAttendu;
    } tabCas[] = {
        {"position", [&](int h) { return std::to_string(files::fPositionne(m_clLib, h, 0, 1)); }, "12"},
        {"block read",
         [&](int h) {
             CZNDSTR s = files::fLit(m_clLib, h, 6);
             return std::string(s.pszGet(), size_t(s.nGetLongueur())) + "|" + Ligne(h);
         },
         "line 0|0001"},
        {"write",
         [&](int h) {
             files::fEcrit(m_clLib, h, Nom("LX"));
             return Ligne(h) + "|" + ReadFile(Path("o")).substr(12, 12);
         },
         "ne 00001|LXne 00001\r\n"},
        {"seek back",
         [&](int h) {
             files::fPositionne(m_clLib, h, 0, 0);
             return Ligne(h);
         },
         "line 00000"},
        {"resize below what was read ahead",
         [&](int h) {
             files::fChangeTaille(m_clLib, h, 30);
             std::string s = Ligne(h);
             s += "|" + Ligne(h);
             return s + "|" + Ligne(h);
         },
         "line 00001|line 0|\x04"},
        {"size", [&](int h) { return std::to_string(files::fTaille(m_clLib, h)) + "|" + Ligne(h); }, "120000|line 00001"},
    };
    for (const Cas& c : tabCas) {
        WriteFile(Path("o"), sTexte);
        const int h = files::fOuvre(m_clLib, Nom(Path("o")), FO_LECTUREECRITURE);
        ASSERT_EQ(Ligne(h), "line 00000") << c.pszCas;
        EXPECT_EQ(c.fn(h), c.sAttendu) << c.pszCas;
        EXPECT_FALSE(m_clLib.pclGetError()->bIsError()) << c.pszCas;
        files::fFerme(m_clLib, h);
    }
}

TEST_F(FileHandles, ReadBlocks) {
    std::string sGros(10000, 'g');
    sGros[9999] = 'e';
    WriteFile(Path("r"), "0123456789" + sGros);
    int h = files::fOuvre(m_clLib, Nom(Path("r")), FO_LECTURE);
    struct Cas {
        int nNombre;
        size_t nAttendu;
    } tab[] = {{-5, 0}, {0, 0}, {4, 4}, {6, 6}, {5000, 5000}, {6000, 5000}, {10, 0}};
    for (const Cas& c : tab) {
        CZNDSTR s = files::fLit(m_clLib, h, c.nNombre);
        EXPECT_EQ(size_t(s.nGetLongueur()), c.nAttendu) << c.nNombre;
    }
    EXPECT_EQ(files::fPositionne(m_clLib, h, -3, 2), 10007);
    char a[8] = {};
    EXPECT_EQ(files::fLit(m_clLib, h, 8, a), 3);
    EXPECT_STREQ(a, "gge");
    EXPECT_EQ(files::fLit(m_clLib, h, 8, nullptr), 0);
}

TEST_F(FileHandles, WriteLengthsNeverPassTheValue) {
    std::string s = Path("w");
    int h = files::fCree(m_clLib, Nom(s), 0);
    struct Cas {
        const char* psz;
        int nLongueur;
        int nEcrit;
    } tab[] = {{"abc", -1, 3}, {"abc", 2, 2}, {"abc", 50, 3}, {"", -1, 0}, {"x", 0, 0}};
    for (const Cas& c : tab) EXPECT_EQ(files::fEcrit(m_clLib, h, Nom(c.psz), c.nLongueur), c.nEcrit) << c.psz << c.nLongueur;
    // Memory addresses, as the host hands them over.
    char szXyz[] = "xyz", sz12345[] = "12345", szVide[] = "";
    EXPECT_EQ(files::fEcrit(m_clLib, h, szXyz, 3), 3);
    EXPECT_TRUE(files::fEcritLigne(m_clLib, h, sz12345, 2));
    EXPECT_TRUE(files::fEcritLigne(m_clLib, h, szVide, 0));
    files::fFerme(m_clLib, h);
    EXPECT_EQ(ReadFile(s), "abcababcxyz12\r\n\r\n");
}

TEST_F(FileHandles, SeekAndResize) {
    std::string s = Path("s");
    WriteFile(s, "0123456789");
    int h = files::fOuvre(m_clLib, Nom(s), FO_LECTUREECRITURE);
    EXPECT_EQ(files::fPositionne(m_clLib, h, 0, 3), -1);
    EXPECT_EQ(Erreur(), 80023);
    EXPECT_EQ(files::fPositionne(m_clLib, h, 0, -1), -1);
    EXPECT_EQ(files::fPositionne(m_clLib, h, -1, 0), -1);
    EXPECT_EQ(files::fPositionne(m_clLib, h, 4, 0), 4);
    EXPECT_EQ(files::fPositionne(m_clLib, h, 2, 1), 6);
    EXPECT_EQ(files::fPositionne(m_clLib, h, 0, 2), 10);
    struct Cas {
        long long oPosition, oTaille, oApres;
    } tab[] = {{0, 20, 0}, {5, 8, 5}, {8, 8, 8}, {7, 3, 3}, {0, 0, 0}, {2, 12, 2}};
    for (const Cas& c : tab) {
        ASSERT_EQ(files::fPositionne(m_clLib, h, c.oPosition, 0), c.oPosition);
        EXPECT_TRUE(files::fChangeTaille(m_clLib, h, c.oTaille));
        EXPECT_EQ(files::fPositionne(m_clLib, h, 0, 1), c.oApres) << c.oPosition << "->" << c.oTaille;
        EXPECT_EQ(files::fPositionne(m_clLib, h, 0, 2), c.oTaille);
    }
    m_clLib.RAZError();
    EXPECT_FALSE(files::fChangeTaille(m_clLib, h, -1));
    EXPECT_TRUE(m_clLib.pclGetError()->bIsError());
    files::fFerme(m_clLib, h);
}

TEST_F(FileHandles, AutomaticDeletion) {
    std::string s1 = Path("t1"), s2 = Path("t2"), s3 = Path("t3");
    int h1 = files::fCree(m_clLib, Nom(s1), FO_SUPPRESSIONAUTOMATIQUE);
    int h2 = files::fCree(m_clLib, Nom(s2), FO_SUPPRESSIONAUTOMATIQUE);
    int h3 = files::fCree(m_clLib, Nom(s3), 0);
    ASSERT_TRUE(h1 >= 2 && h2 >= 2 && h3 >= 2);
    EXPECT_TRUE(Exists(s1));
    EXPECT_EQ(files::fFerme(m_clLib, h1), 0);
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
        {"fBloque", files::fBloque(m_clLib, h, 0, -1)},
        {"fDebloque", files::fDebloque(m_clLib, h, 0, -1)},
        {"fChangeTaille", files::fChangeTaille(m_clLib, h, 10)},
    };
    for (const Cas& c : tab) EXPECT_FALSE(c.bResultat) << c.pszNom;
    EXPECT_EQ(Erreur(), 80406);
    EXPECT_EQ(files::fFerme(m_clLib, h), 0);
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
    int h = files::fOuvre(m_clLib, Nom(s), FO_LECTUREECRITURE + FO_BLOQUEECRITURE);
    EXPECT_EQ(LockAilleurs(s), 1);   // foBloqueEcriture alone takes no lock
    files::fFerme(m_clLib, h);
    h = files::fOuvre(m_clLib, Nom(s), FO_LECTUREECRITURE + FO_BLOQUELECTURE + FO_BLOQUEECRITURE);
    EXPECT_EQ(LockAilleurs(s), 0);
    files::fFerme(m_clLib, h);
    h = files::fOuvre(m_clLib, Nom(s), FO_LECTUREECRITURE);
    EXPECT_EQ(LockAilleurs(s), 1);
    EXPECT_TRUE(files::fBloque(m_clLib, h, 0, -1));
    EXPECT_EQ(LockAilleurs(s), 0);
    EXPECT_TRUE(files::fDebloque(m_clLib, h, 0, -1));
    EXPECT_EQ(LockAilleurs(s), 1);
    EXPECT_TRUE(files::fBloque(m_clLib, h, 1, 1));
    EXPECT_EQ(LockAilleurs(s), 0);
    EXPECT_TRUE(files::fDebloque(m_clLib, h, 1, 1));
    files::fFerme(m_clLib, h);
}

// --- Hostile modes, names and addresses ---------------------------------------------

TEST_F(FileHandles, UnknownModeBitsAreRefused) {
    const std::string s = Path("m");
    struct Cas {
        const char* pszCas;
        bool bCree;   // through fCree, else fOuvre
        int nMode;
    } tab[] = {
        {"all bits", false, -1},
        {"all bits, create", true, -1},
        {"bit 27 beside delete-at-close", false, FO_LECTURE + FO_SUPPRESSIONAUTOMATIQUE + (1 << 27)},
        {"bit 10", false, FO_LECTURE + 1024},
        {"bit 4", false, 16},
        {"sign bit, create", true, INT_MIN},
        {"bit 31 and read", false, int(0x80000001u)},
    };
    for (const Cas& c : tab) {
        WriteFile(s, "keep");
        m_clLib.RAZError();
        const int h = c.bCree ? files::fCree(m_clLib, Nom(s), c.nMode) : files::fOuvre(m_clLib, Nom(s), c.nMode);
        EXPECT_EQ(h, -1) << c.pszCas;
        EXPECT_EQ(Erreur(), 80024) << c.pszCas;
        EXPECT_EQ(m_clLib.pclGetError()->eGetErrorLevel(), uint32_t(EL_ERROR)) << c.pszCas;
        if (h >= 2) files::fFerme(m_clLib, h);
        EXPECT_EQ(ReadFile(s), "keep") << c.pszCas;   // neither emptied nor deleted
    }
    EXPECT_EQ(FIC_nOuverts(), 0);
}

TEST_F(FileHandles, CreateJoinsReadWriteAndCreationAsBits) {
    const std::string s = Path("c");
    struct Cas {
        int nMode;
        const char* pszApres;   // after writing "W" at the open position
    } tab[] = {
        {0, "W"},
        {FO_CREATION, "W"},   // added, 512 would carry into bit 10
        {FO_LECTUREECRITURE, "W"},
        {FO_LECTURE, "W"},
        {FO_CREATIONSIINEXISTANT, "Wld"},   // open-or-create wins over creation
    };
    for (const Cas& c : tab) {
        WriteFile(s, "old");
        m_clLib.RAZError();
        const int h = files::fCree(m_clLib, Nom(s), c.nMode);
        ASSERT_GE(h, 2) << c.nMode;
        EXPECT_EQ(files::fEcrit(m_clLib, h, Nom("W"), -1), 1) << c.nMode;
        files::fFerme(m_clLib, h);
        EXPECT_EQ(ReadFile(s), c.pszApres) << c.nMode;
    }
}

TEST_F(FileHandles, DeleteAtCloseTakesOnlyTheFileItOpened) {
    enum eNom { RIEN, REMPLACE, REFAIT };
    struct Cas {
        const char* pszCas;
        bool bTube;       // a named pipe instead of a regular file
        eNom eEntre;      // what happens to the name while the file is open
        bool bDecharge;   // closed by the module's end, not by fFerme
        const char* pszApres;
    } tab[] = {
        {"the file opened", false, RIEN, false, "<missing>"},
        {"the file opened, at unload", false, RIEN, true, "<missing>"},
        {"a named pipe", true, RIEN, false, ""},
        {"another file renamed over it", false, REMPLACE, false, "other"},
        {"another file renamed over it, at unload", false, REMPLACE, true, "other"},
        {"deleted and made again", false, REFAIT, false, "again"},
    };
    const std::string s = Path("d"), sAutre = Path("autre");
    for (const Cas& c : tab) {
        unlink(s.c_str());
        if (c.bTube)
            ASSERT_EQ(mkfifo(s.c_str(), 0600), 0);
        else
            WriteFile(s, "mine");
        const int h = files::fOuvre(m_clLib, Nom(s), FO_LECTURE + FO_SUPPRESSIONAUTOMATIQUE);
        ASSERT_GE(h, 2) << c.pszCas;
        if (c.eEntre == REMPLACE) {
            WriteFile(sAutre, "other");
            ASSERT_EQ(rename(sAutre.c_str(), s.c_str()), 0);
        } else if (c.eEntre == REFAIT) {
            ASSERT_EQ(unlink(s.c_str()), 0);
            WriteFile(s, "again");
        }
        if (c.bDecharge)
            _FIC_FinModule();
        else
            EXPECT_EQ(files::fFerme(m_clLib, h), 0);
        EXPECT_EQ(c.bTube ? (Exists(s) ? "" : "<missing>") : ReadFile(s), c.pszApres) << c.pszCas;
    }
}

TEST_F(FileHandles, NullAddressesAreRefused) {
    const std::string s = Path("a");
    WriteFile(s, "abcd");
    const int h = files::fOuvre(m_clLib, Nom(s), FO_LECTUREECRITURE);
    ASSERT_GE(h, 2);
    struct Cas {
        const char* pszCas;
        std::function<bool()> fnEchoue;   // the call and its failure value
    } tab[] = {
        {"fLit", [&] { return files::fLit(m_clLib, h, 4, nullptr) == 0; }},
        {"fLit, nothing to read", [&] { return files::fLit(m_clLib, h, 0, nullptr) == 0; }},
        {"fEcrit", [&] { return files::fEcrit(m_clLib, h, static_cast<void*>(nullptr), 4) == -1; }},
        {"fEcrit, nothing to write", [&] { return files::fEcrit(m_clLib, h, static_cast<void*>(nullptr), 0) == -1; }},
        {"fEcritLigne", [&] { return !files::fEcritLigne(m_clLib, h, static_cast<void*>(nullptr), 4); }},
        {"fEcritLigne, empty line", [&] { return !files::fEcritLigne(m_clLib, h, static_cast<void*>(nullptr), 0); }},
    };
    for (const Cas& c : tab) {
        m_clLib.RAZError();
        EXPECT_TRUE(c.fnEchoue()) << c.pszCas;
        EXPECT_EQ(Erreur(), 80070) << c.pszCas;
        EXPECT_EQ(m_clLib.pclGetError()->eGetErrorLevel(), uint32_t(EL_ERROR)) << c.pszCas;
        EXPECT_EQ(files::fPositionne(m_clLib, h, 0, 1), 0) << c.pszCas;
    }
    files::fFerme(m_clLib, h);
    EXPECT_EQ(ReadFile(s), "abcd");
}

TEST_F(FileHandles, NamesTheFileSystemCannotTakeAreRefused) {
    ASSERT_EQ(chdir(m_sDir.c_str()), 0);
    struct Cas {
        const char* pszCas;
        const STManipAUB* pstNom;
        int nCode;
    } tab[] = {
        {"absent", nullptr, 80039},
        {"empty", Nom(""), 80039},
        {"empty Unicode", NomW(L""), 80039},
        {"a zero inside", Nom(std::string("a\0b", 3)), 80222},
        {"a zero inside, Unicode", NomW(std::wstring(L"a\0b", 3)), 80222},
    };
    for (const Cas& c : tab) {
        m_clLib.RAZError();
        EXPECT_EQ(files::fOuvre(m_clLib, c.pstNom, FO_LECTURE), -1) << c.pszCas;
        EXPECT_EQ(Erreur(), c.nCode) << c.pszCas;
        EXPECT_EQ(files::fCree(m_clLib, c.pstNom, 0), -1) << c.pszCas;
        EXPECT_EQ(Erreur(), c.nCode) << c.pszCas;
    }
    EXPECT_FALSE(Exists(Path("a")));   // never the name cut at the zero
}

TEST_F(FileHandles, UnicodeNamesReachTheFileSystemAsUTF8) {
    struct Cas {
        const wchar_t* pwszNom;
        const char* pszUTF8;
    } tab[] = {
        {L"\u4E2D\u6587.txt", "\xE4\xB8\xAD\xE6\x96\x87.txt"},
        {L"\u65E5\u672C.txt", "\xE6\x97\xA5\xE6\x9C\xAC.txt"},   // not the same "??.txt"
        {L"\u00E9t\u00E9", "\xC3\xA9t\xC3\xA9"},
        {L"\U0001F600", "\xF0\x9F\x98\x80"},
    };
    for (const Cas& c : tab) {
        std::wstring wNom;
        for (char ch : m_sDir + "/") wNom.push_back(wchar_t(ch));
        wNom += c.pwszNom;
        const int h = files::fCree(m_clLib, NomW(wNom), 0);
        ASSERT_GE(h, 2) << c.pszUTF8;
        EXPECT_EQ(files::fEcrit(m_clLib, h, Nom(c.pszUTF8), -1), int(strlen(c.pszUTF8)));
        EXPECT_EQ(files::fFerme(m_clLib, h), 0);
    }
    for (const Cas& c : tab) EXPECT_EQ(ReadFile(Path(c.pszUTF8)), c.pszUTF8);
}

// --- Locks belong to their handle -------------------------------------------------------

// True when the handle cannot lock because another holds the file: the
// sharing marker and the lock message.
bool BloqueAilleurs(CComposanteStandard& clLib, int h) {
    clLib.RAZError();
    const bool bRefus = !files::fBloque(clLib, h, 0, -1);
    const CXError* p = clLib.pclGetError();
    return bRefus && p->nGetUserError() == 28145 && p->nGetSystemError() == XFILE_SHARING_VIOLATION;
}

TEST_F(FileHandles, ALockLivesAsLongAsItsHandle) {
    const std::string s = Path("k");
    WriteFile(s, "[s]\nk=v\n");
    struct Cas {
        const char* pszCas;
        std::function<void()> fnEntre;   // done between the lock and the check
    } tab[] = {
        {"nothing", [] {}},
        {"a second handle opened and closed",
         [&] {
             const int h2 = files::fOuvre(m_clLib, Nom(s), FO_LECTURE);
             EXPECT_GE(h2, 2);
             files::fFerme(m_clLib, h2);
         }},
        {"an INI read of the file",
         [&] { EXPECT_STREQ(sys::INILit(m_clLib, "s", "k", "", s.c_str()).pszGet(), "v"); }},
        {"a whole-file load", [&] { EXPECT_EQ(files::fChargeTexte(m_clLib, Nom(s)).nGetLongueur(), 8); }},
        {"a copy of the file", [&] { EXPECT_TRUE(files::fCopieFichier(m_clLib, Nom(s), Nom(Path("k.copie")))); }},
        {"a comparison", [&] { EXPECT_EQ(files::fCompare(m_clLib, Nom(s), Nom(Path("k.copie"))), 0); }},
    };
    for (const Cas& c : tab) {
        const int h1 = files::fOuvre(m_clLib, Nom(s), FO_LECTUREECRITURE);
        ASSERT_TRUE(files::fBloque(m_clLib, h1, 0, -1)) << c.pszCas;
        c.fnEntre();
        const int h3 = files::fOuvre(m_clLib, Nom(s), FO_LECTUREECRITURE);
        EXPECT_TRUE(BloqueAilleurs(m_clLib, h3)) << c.pszCas;
        files::fFerme(m_clLib, h1);
        EXPECT_TRUE(files::fBloque(m_clLib, h3, 0, -1)) << c.pszCas;
        files::fFerme(m_clLib, h3);
    }
}

// The one test across processes: the lock outlives a second handle closed
// in the process that holds it.
TEST_F(FileHandles, AnotherProcessStillMeetsTheLockAfterASecondHandleCloses) {
    const std::string s = Path("k2");
    WriteFile(s, "abc");
    const int h1 = files::fOuvre(m_clLib, Nom(s), FO_LECTUREECRITURE);
    ASSERT_TRUE(files::fBloque(m_clLib, h1, 0, -1));
    const int h2 = files::fOuvre(m_clLib, Nom(s), FO_LECTURE);
    ASSERT_GE(h2, 2);
    EXPECT_EQ(files::fFerme(m_clLib, h2), 0);
    EXPECT_EQ(LockAilleurs(s), 0);
    files::fFerme(m_clLib, h1);
    EXPECT_EQ(LockAilleurs(s), 1);
}

TEST_F(FileHandles, ALockedFileIsNeverEmptied) {
    const std::string s = Path("p");
    struct Cas {
        const char* pszCas;
        int nModeVerrou;   // the handle that locks (fBloque: exclusive with write access, else shared)
        bool bCree;        // fCree, else fOuvre with nMode
        int nMode;
    } tab[] = {
        {"fCree, exclusive lock", FO_LECTUREECRITURE, true, 0},
        {"fCree, shared lock", FO_LECTURE, true, 0},
        {"creation, write only", FO_LECTUREECRITURE, false, FO_CREATION},
        {"creation, read only", FO_LECTUREECRITURE, false, FO_LECTURE + FO_CREATION},
        {"creation with a lock of its own", FO_LECTURE, false,
         FO_LECTUREECRITURE + FO_CREATION + FO_BLOQUELECTURE + FO_BLOQUEECRITURE},
    };
    for (const Cas& c : tab) {
        WriteFile(s, "precious");
        const int h1 = files::fOuvre(m_clLib, Nom(s), c.nModeVerrou);
        ASSERT_TRUE(files::fBloque(m_clLib, h1, 0, -1)) << c.pszCas;
        m_clLib.RAZError();
        const int h = c.bCree ? files::fCree(m_clLib, Nom(s), c.nMode) : files::fOuvre(m_clLib, Nom(s), c.nMode);
        EXPECT_EQ(h, -1) << c.pszCas;
        EXPECT_EQ(Erreur(), 28140) << c.pszCas;
        EXPECT_EQ(m_clLib.pclGetError()->nGetSystemError(), XFILE_SHARING_VIOLATION) << c.pszCas;
        EXPECT_EQ(ReadFile(s), "precious") << c.pszCas;
        if (h >= 2) files::fFerme(m_clLib, h);
        // Without the lock the same call empties it.
        files::fFerme(m_clLib, h1);
        const int h2 = c.bCree ? files::fCree(m_clLib, Nom(s), c.nMode) : files::fOuvre(m_clLib, Nom(s), c.nMode);
        EXPECT_GE(h2, 2) << c.pszCas;
        files::fFerme(m_clLib, h2);
        EXPECT_EQ(ReadFile(s), "") << c.pszCas;
    }
}

// --- Failures say which and why ---------------------------------------------------------

TEST_F(FileHandles, FailedOpensCarryTheStreamErrorAndItsReason) {
    const std::string sVerrou = Path("verrou");
    WriteFile(sVerrou, "x");
    const int hVerrou = files::fOuvre(m_clLib, Nom(sVerrou), FO_LECTUREECRITURE + FO_BLOQUELECTURE + FO_BLOQUEECRITURE);
    ASSERT_GE(hVerrou, 2);
    // No descriptor left: the process limit lowered to the next free one.
    struct rlimit stAvant {};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &stAvant), 0);
    auto sansDescripteur = [&](bool bSans) {
        if (!bSans) {
            setrlimit(RLIMIT_NOFILE, &stAvant);
            return;
        }
        const int fd = open("/dev/null", O_RDONLY);
        ASSERT_GE(fd, 0);
        close(fd);
        struct rlimit st = stAvant;
        st.rlim_cur = rlim_t(fd);
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &st), 0);
    };
    struct Cas {
        const char* pszCas;
        std::string sNom;
        int nMode;
        bool bSansDescripteur;
        int nCode;
        int nSysteme;
    } tab[] = {
        {"missing", Path("absent"), FO_LECTURE, false, 28139, ENOENT},
        {"missing, write", Path("absent"), FO_ECRITURE, false, 28139, ENOENT},
        {"missing folder, creation", Path("sans/x"), FO_CREATION, false, 28140, ENOENT},
        {"a directory, read", m_sDir, FO_LECTURE, false, 28139, EISDIR},
        {"a directory, read and write", m_sDir, FO_LECTUREECRITURE, false, 28139, EISDIR},
        {"held by another handle", sVerrou, FO_LECTUREECRITURE + FO_BLOQUELECTURE + FO_BLOQUEECRITURE, false, 28139,
         XFILE_SHARING_VIOLATION},
        {"no descriptor left", sVerrou, FO_LECTURE, true, 28139, EMFILE},
    };
    for (const Cas& c : tab) {
        m_clLib.RAZError();
        sansDescripteur(c.bSansDescripteur);
        const int h = files::fOuvre(m_clLib, Nom(c.sNom), c.nMode);
        sansDescripteur(false);
        EXPECT_EQ(h, -1) << c.pszCas;
        const CXError* p = m_clLib.pclGetError();
        EXPECT_EQ(p->nGetUserError(), c.nCode) << c.pszCas;
        EXPECT_EQ(p->eGetErrorLevel(), uint32_t(EL_ERROR)) << c.pszCas;
        EXPECT_EQ(p->nGetSystemError(), c.nSysteme) << c.pszCas;
        // The reason closes the message, in the system's words or, for the
        // sharing marker, in the component's own.
        const std::string sMessage = p->pszGetUserMessage(), sRaison = p->pszGetSystemErrorMessage();
        EXPECT_NE(sMessage.find(c.sNom), std::string::npos) << c.pszCas << ": " << sMessage;
        ASSERT_FALSE(sRaison.empty()) << c.pszCas;
        EXPECT_EQ(sMessage.substr(sMessage.size() - std::min(sMessage.size(), sRaison.size())), sRaison) << c.pszCas;
        if (c.nSysteme != XFILE_SHARING_VIOLATION) {
            EXPECT_EQ(sRaison, strerror(c.nSysteme)) << c.pszCas;
        }
        EXPECT_EQ(sRaison.find("Unknown error"), std::string::npos) << c.pszCas;
    }
    files::fFerme(m_clLib, hVerrou);
}

TEST_F(FileHandles, FailedCallsOnAHandleSayWhich) {
    const std::string s = Path("f");
    WriteFile(s, "0123456789");
    const int hLecture = files::fOuvre(m_clLib, Nom(s), FO_LECTURE);
    const int hVerrou = files::fOuvre(m_clLib, Nom(s), FO_LECTUREECRITURE);
    ASSERT_TRUE(files::fBloque(m_clLib, hVerrou, 0, -1));
    const int h = files::fOuvre(m_clLib, Nom(s), FO_LECTUREECRITURE);
    struct Cas {
        const char* pszCas;
        std::function<bool()> fnEchoue;
        int nCode;
    } tab[] = {
        {"negative size", [&] { return !files::fChangeTaille(m_clLib, h, -1); }, 80034},
        {"very negative size", [&] { return !files::fChangeTaille(m_clLib, h, LLONG_MIN); }, 80034},
        {"write to a read-only handle", [&] { return files::fEcrit(m_clLib, hLecture, Nom("x"), -1) == -1; }, 28008},
        {"line to a read-only handle", [&] { return !files::fEcritLigne(m_clLib, hLecture, Nom("x")); }, 28008},
        {"lock held by another handle", [&] { return !files::fBloque(m_clLib, h, 2, 3); }, 28145},
        {"seek before the start", [&] { return files::fPositionne(m_clLib, h, -1, 0) == -1; }, 28005},
    };
    for (const Cas& c : tab) {
        m_clLib.RAZError();
        EXPECT_TRUE(c.fnEchoue()) << c.pszCas;
        EXPECT_EQ(Erreur(), c.nCode) << c.pszCas;
        EXPECT_EQ(m_clLib.pclGetError()->eGetErrorLevel(), uint32_t(EL_ERROR)) << c.pszCas;
    }
    for (int hh : {hLecture, hVerrou, h}) files::fFerme(m_clLib, hh);
    EXPECT_EQ(ReadFile(s), "0123456789");
}

// --- Reads that could take all the memory --------------------------------------------------

// A file of o bytes that holds only zeros and takes no room on the disk.
void Creux(const std::string& s, long long o) {
    const int fd = open(s.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_LARGEFILE, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate64(fd, o), 0);
    close(fd);
}

TEST_F(FileHandles, LinesLongerThanTheLimitAreRefused) {
    const std::string s = Path("long");
    Creux(s, 1700LL * 1024 * 1024);   // no line end in 1.7 GB
    struct Cas {
        const char* pszCas;
        std::string sNom;
        int nMode;
        bool bMotif;   // the pattern form, else the line form
        bool bPosition;   // the position tells what was consumed (not on a device)
    } tab[] = {
        {"ANSI file", s, FO_LECTURE, false, true},
        {"Unicode file", s, FO_LECTURE + FO_UNICODE, false, true},
        {"ANSI file, pattern", s, FO_LECTURE, true, true},
        {"a device that never ends, pattern", "/dev/zero", FO_LECTURE, true, false},
    };
    for (const Cas& c : tab) {
        const int h = files::fOuvre(m_clLib, Nom(c.sNom), c.nMode);
        ASSERT_GE(h, 2) << c.pszCas;
        m_clLib.RAZError();
        if (c.bMotif)
            EXPECT_FALSE(files::fLitLigne(m_clLib, h, Nom(""))) << c.pszCas;
        else
            EXPECT_EQ(files::FIC_sLitLigne(m_clLib, h).nGetLongueur(), 0) << c.pszCas;
        const CXError* p = m_clLib.pclGetError();
        EXPECT_EQ(p->nGetUserError(), 80028) << c.pszCas;
        EXPECT_EQ(p->eGetErrorLevel(), uint32_t(EL_ERROR)) << c.pszCas;
        // Why: the value is too long.
        EXPECT_EQ(p->nNumErrorId(), 2) << c.pszCas;
        EXPECT_EQ(p->nGetErrorId(1), 703) << c.pszCas;
        // The bytes looked at are consumed: a loop of reads moves on.
        const long long o = files::fPositionne(m_clLib, h, 0, 1);
        if (c.bPosition) {
            EXPECT_GT(o, static_cast<long long>(XSTREAM_LINE_MAX)) << c.pszCas;
            EXPECT_LE(o, static_cast<long long>(XSTREAM_LINE_MAX) + XSTREAM_COPY_BLOCK) << c.pszCas;
        }
        files::fFerme(m_clLib, h);
    }
}

TEST_F(FileHandles, ALineAtTheLimitComesBackWhole) {
    const std::string s = Path("limite");
    Creux(s, XSTREAM_LINE_MAX);
    const int fd = open(s.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "\r\nz\n", 4), 4);
    close(fd);
    const int h = files::fOuvre(m_clLib, Nom(s), FO_LECTURE);
    m_clLib.RAZError();
    EXPECT_EQ(uint32_t(files::FIC_sLitLigne(m_clLib, h).nGetLongueur()), XSTREAM_LINE_MAX);
    EXPECT_FALSE(m_clLib.pclGetError()->bIsError());
    EXPECT_EQ(Ligne(h), "z");
    files::fFerme(m_clLib, h);
}

// The address space of the process is held to what it uses now plus a
// margin, so that an allocation of the count asked for fails.
class CEspaceLimite {
public:
    explicit CEspaceLimite(rlim_t nMarge) {
        m_bOk = getrlimit(RLIMIT_AS, &m_stAvant) == 0;
        FILE* pf = fopen("/proc/self/statm", "r");
        unsigned long nPages = 0;
        m_bOk = m_bOk && pf != nullptr && fscanf(pf, "%lu", &nPages) == 1;
        if (pf != nullptr) fclose(pf);
        struct rlimit st = m_stAvant;
        st.rlim_cur = rlim_t(nPages) * rlim_t(sysconf(_SC_PAGESIZE)) + nMarge;
        m_bOk = m_bOk && setrlimit(RLIMIT_AS, &st) == 0;
    }
    ~CEspaceLimite() { setrlimit(RLIMIT_AS, &m_stAvant); }
    bool bOk() const { return m_bOk; }

private:
    struct rlimit m_stAvant {};
    bool m_bOk = false;
};

TEST_F(FileHandles, ReadsSizeTheirBufferToWhatCanCome) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves terabytes of address space: no limit can be set below it";
#else
    WriteFile(Path("trois"), "abc");
    // A pipe holding more than one block of bytes, and no writer to add more.
    const std::string sTube = Path("tube");
    ASSERT_EQ(mkfifo(sTube.c_str(), 0600), 0);
    const int hTube = files::fOuvre(m_clLib, Nom(sTube), FO_LECTURE);
    ASSERT_GE(hTube, 2);
    const int fdEcrit = open(sTube.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(fdEcrit, 0);
    ASSERT_GE(fcntl(fdEcrit, F_SETPIPE_SZ, 1 << 20), 100000);
    const std::string sDansTube(100000, 't');
    ASSERT_EQ(write(fdEcrit, sDansTube.data(), sDansTube.size()), ssize_t(sDansTube.size()));
    const int hTrois = files::fOuvre(m_clLib, Nom(Path("trois")), FO_LECTURE);
    const int hFin = files::fOuvre(m_clLib, Nom(Path("trois")), FO_LECTURE + FO_AJOUT);
    struct Cas {
        const char* pszCas;
        int h;
        std::string sAttendu;
    } tab[] = {
        {"3-byte file", hTrois, "abc"},
        {"at the end of the file", hFin, ""},
        {"pipe", hTube, sDansTube},
    };
    {
        CEspaceLimite clLimite(256u << 20);
        ASSERT_TRUE(clLimite.bOk());
        for (const Cas& c : tab) {
            m_clLib.RAZError();
            CZNDSTR sLu = files::fLit(m_clLib, c.h, 1000000000);
            EXPECT_FALSE(m_clLib.pclGetError()->bIsError()) << c.pszCas << ": " << Erreur();
            EXPECT_EQ(std::string(sLu.pszGet(), size_t(sLu.nGetLongueur())), c.sAttendu) << c.pszCas;
        }
    }
    close(fdEcrit);
    for (const Cas& c : tab) files::fFerme(m_clLib, c.h);
#endif
}

TEST_F(FileHandles, ReadsFromADeviceGrowAsTheBytesArrive) {
    const int h = files::fOuvre(m_clLib, Nom("/dev/zero"), FO_LECTURE);
    ASSERT_GE(h, 2);
    for (int n : {1, 65536, 65537, 200000}) {
        m_clLib.RAZError();
        CZNDSTR sLu = files::fLit(m_clLib, h, n);
        EXPECT_EQ(sLu.nGetLongueur(), n);
        EXPECT_EQ(std::string(sLu.pszGet(), size_t(sLu.nGetLongueur())), std::string(size_t(n), '\0'));
        EXPECT_FALSE(m_clLib.pclGetError()->bIsError());
    }
    files::fFerme(m_clLib, h);
}

}  // namespace

namespace {

// Processes launched by the program must not inherit the files it opens.
TEST_F(FileHandles, DescriptorsCloseOnExec) {
    const std::string s = Path("cloexec");
    WriteFile(s, "x");
    for (int nMode : {int(FO_LECTURE), int(FO_LECTUREECRITURE), FO_ECRITURE + FO_CREATION}) {
        const int h = files::fOuvre(m_clLib, Nom(s), nMode);
        ASSERT_GE(h, 2) << nMode;
        const auto* pcl = static_cast<const CDiskFile*>(s_pGetFicBagXStream(h));
        EXPECT_NE(fcntl(pcl->nGetHandle(), F_GETFD) & FD_CLOEXEC, 0) << nMode;
        files::fFerme(m_clLib, h);
    }
}

}  // namespace
