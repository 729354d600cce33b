// Date-time masks on hostile input: very long masks and texts, unknown
// tokens, empty and null arguments. Run under the address sanitizer, these
// catch any read or write out of bounds.

#include <random>

#include "mask_test_util.h"

using namespace masktest;

namespace {

const char* const DT17 = "AAAAMMJJHHmmSSCCC";

TEST(MaskHostile, EmptyAndNull) {
    CLangue clLangue(true);
    for (int nDate : {0, 1}) {
        CMasqueDateHeure cl("", nDate);
        CTString clRes("x");
        cl.FormateEx("20240305", clRes, 0);
        EXPECT_STREQ(clRes.pszGet(), "");
        cl.FormateEx(nullptr, clRes, MSQ_TOLERANT | MSQ_SAISIE);
        EXPECT_STREQ(clRes.pszGet(), "");
        cl.DeformateDateHeure(nullptr, clRes, 0xFF);
        cl.DeformateDateHeure("", clRes, 0);
        STSystemTime st;
        cl._TexteVersDateHeure(nullptr, nullptr, st, 0xFF);
        cl._TexteVersDateHeure("", "", st, 0);
        EXPECT_EQ(RecTexte(st), RecTexte(Rec(V, V, V)));
        cl.StructtoDateString(st, nullptr, 10, nullptr);
        cl.StructtoHourString(st, nullptr, 10);
        char sz[4] = "abc";
        cl.StructtoDateString(Rec(2024, 3, 5), sz, 0, nullptr);
        EXPECT_STREQ(sz, "abc");
        const char* p = nullptr;
        int n = 5;
        EXPECT_EQ(cl.eParseMasque(p, n, true), TZ_FIN);
        EXPECT_FALSE(cl.bZonePresent(nullptr, 0, 19));
        EXPECT_FALSE(cl.bContientZoneActive(nullptr, nullptr));
    }
    CMasqueDateHeure cl(nullptr, 1, nullptr);
    EXPECT_TRUE(cl.bEstVide());
    CMasqueDateHeure clStr("JJ/MM/AAAA", 1);
    char sz[3];
    clStr.StructtoDateString(Rec(2024, 3, 5), sz, int(sizeof sz), nullptr);
    EXPECT_STREQ(sz, "20");
    clStr.StructtoHourString(Rec(V, V, V, 1, 2), sz, 1);
    EXPECT_STREQ(sz, "");
}

TEST(MaskHostile, UnknownTokensAndEscapes) {
    CLangue clLangue(false);
    const struct {
        const char* pszMasque;
        const char* pszAttendu;
    } cas[] = {
        {"QQQ", "QQQ"},            {"%s%n%d", "%s%n%d"},   {"\\", ""},
        {"\\\\", "\\"},            {"JJ\\", "05"},         {"{JJ}", "{05}"},
        {"jj/mm/aaaa", "jj/mm/aaaa"}, {"AAAAA", "2024A"},  {"JJJJJ", "Tuesday5"},
        {"MMMMM", "March3"},       {"M M M", "3 3 3"},
    };
    for (const auto& c : cas)
        EXPECT_EQ(Formate(c.pszMasque, 1, "20240305"), c.pszAttendu) << c.pszMasque;
}

TEST(MaskHostile, VeryLongMasksAndTexts) {
    CLangue clLangue(true);
    // A long mask of every token and escapes: writing and reading stay in bounds.
    std::string sMasque;
    const char* const apszMorceaux[] = {"JJJJ", " ", "MMMM", "\\", "AAAA", "HH", ":", "mm", "AM", "CCC", "x"};
    for (int i = 0; i < 20000; ++i) sMasque += apszMorceaux[i % 11];
    for (int nDate : {0, 1}) {
        CMasqueDateHeure cl(sMasque.c_str(), nDate, nDate ? DT17 : nullptr);
        CTString clRes;
        for (int nFlags : {0, MSQ_SAISIE, MSQ_TOLERANT, MSQ_SAISIE | MSQ_TOLERANT}) {
            cl.FormateEx("20240305143005789", clRes, nFlags);
            EXPECT_GT(clRes.nTaille(), 1000);
        }
        std::string sTexte = clRes.pszGet();
        for (int nFlags = 0; nFlags < 32; ++nFlags) cl.DeformateDateHeure(sTexte.c_str(), clRes, nFlags);
        // Long text with a short mask, and text without the separators the
        // names look for.
        std::string sLong(200000, '9');
        cl.DeformateDateHeure(sLong.c_str(), clRes, 0);
        CMasqueDateHeure clNoms("MMMM MMMM MMMM JJJJ/JJJJ", 1);
        clNoms.DeformateDateHeure(sLong.c_str(), clRes, 0);
        EXPECT_STREQ(clRes.pszGet(), "");
    }
    // Many name zones over a long text with no separator: linear work.
    std::string sNoms;
    for (int i = 0; i < 20000; ++i) sNoms += "MMMM;";
    std::string sTexte(100000, 'a');
    CMasqueDateHeure clNoms(sNoms.c_str(), 1);
    CTString clRes;
    clNoms.DeformateDateHeure(sTexte.c_str(), clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "");
}

TEST(MaskHostile, RandomMasksAndTexts) {
    CLangue clLangue(true);
    CInfoLangueTest* pi = new CInfoLangueTest;
    pi->sJours = ";;;;;;;;;";
    pi->sMois = "a;;b";
    pi->sAM = "A";
    pi->sPM = "ppppppppppppppppppppppppppppppppppppppppppppppp";
    std::mt19937 gen(4242);
    const char acAlphabet[] = "AYMJDHmSCPpa/\\_: 0123456789.-x\xe9";
    std::uniform_int_distribution<int> car(0, int(sizeof acAlphabet) - 2), longueur(0, 40), flags(0, 31);
    for (int i = 0; i < 3000; ++i) {
        std::string sMasque, sTexte;
        for (int n = longueur(gen); n > 0; --n) sMasque += acAlphabet[car(gen)];
        for (int n = longueur(gen); n > 0; --n) sTexte += acAlphabet[car(gen)];
        const int nDate = i % 3 == 0 ? 0 : 1;
        CMasqueDateHeure cl(sMasque.c_str(), nDate, i % 5 == 0 ? DT17 : nullptr);
        if (i % 2 == 0) cl.SetInfoLangue(pi, 0, 0);
        CTString clRes;
        cl.FormateEx(sTexte.c_str(), clRes, flags(gen) & (MSQ_SAISIE | MSQ_TOLERANT));
        cl.DeformateDateHeure(sTexte.c_str(), clRes, flags(gen));
        STSystemTime st;
        cl._TexteVersDateHeure(sTexte.c_str(), sMasque.c_str(), st, flags(gen));
        // Whatever was read is written back without harm.
        CMasqueDateHeure::_InitJourDelaSemaine(st);
        cl.FormateDate(st, clRes, flags(gen));
    }
    pi->Release();
}

}  // namespace
