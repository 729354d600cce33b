// Date-time masks: reading text back, every flag and return format.

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "datetime/calendar.h"
#include "mask_test_util.h"

using namespace masktest;

namespace {

const char* const DT17 = "AAAAMMJJHHmmSSCCC";

// The clock is read around the call: a test running over midnight at a
// month's end accepts either side.
struct STMaintenant {
    STSystemTime stAvant, stApres;
    STMaintenant() { SYS_GetSystemTime(stAvant); }
    void Fin() { SYS_GetSystemTime(stApres); }
    bool bAnnee(uint16_t w) const { return w == stAvant.wYear || w == stApres.wYear; }
    bool bMois(uint16_t w) const { return w == stAvant.wMonth || w == stApres.wMonth; }
};

struct STCasLecture {
    const char* pszMasque;
    int nDate;
    const char* pszFormatRetour;
    const char* pszTexte;
    int nFlags;
    STSystemTime stAttendu;
};

void _VerifieLectures(const STCasLecture* pc, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const STCasLecture& c = pc[i];
        STSystemTime st = Lit(c.pszMasque, c.nDate, c.pszTexte, c.nFlags, c.pszFormatRetour);
        EXPECT_EQ(RecTexte(st), RecTexte(c.stAttendu))
            << "mask <" << c.pszMasque << "> text <" << c.pszTexte << "> flags " << c.nFlags;
    }
}

TEST(MaskRead, Dates) {
    CLangue clLangue(true);
    const STCasLecture cas[] = {
        {"J/M/AA", 1, nullptr, "5/3/24", 0, Rec(2024, 3, 5)},
        {"J/M/AA", 1, nullptr, "5/3/99", 0, Rec(2099, 3, 5)},
        {"J/M/AA", 1, nullptr, "5/3/99", MSQ_PIVOT_50, Rec(1999, 3, 5)},
        {"J/M/AA", 1, nullptr, "5/3/50", MSQ_PIVOT_50, Rec(2050, 3, 5)},
        {"J/M/AA", 1, nullptr, "5/3/51", MSQ_PIVOT_50, Rec(1951, 3, 5)},
        {"JJ/MM/AAAA", 1, nullptr, "05/03/2024", 0, Rec(2024, 3, 5)},
        {"AAAA-MM-JJ", 1, nullptr, "2024-12-31", 0, Rec(2024, 12, 31)},
        {"J/M/AAAA", 1, nullptr, "12/3/2024", 0, Rec(2024, 3, 12)},
        {"J/M/AAAA", 1, nullptr, "1/11/2024", 0, Rec(2024, 11, 1)},
        {"J/M/AAAA", 1, nullptr, "01/02/2024", 0, Rec(2024, 2, 1)},
        // "J" on a text as long as the mask takes one character.
        {"J.MM.AAAA", 1, nullptr, "1203.2024", 0, Rec(2024, 3, 1)},
        {"J.MM.AAAA", 1, nullptr, "12.03.2024", 0, Rec(2024, 3, 12)},
        // A year being typed.
        {"JJ/MM/AAAA", 1, nullptr, "05/03/202_", 0, Rec(2020, 3, 5)},
        {"JJ/MM/AAAA", 1, nullptr, "05/03/20__", 0, Rec(20, 3, 5)},
        // Empty fields.
        {"JJ/MM/AAAA", 1, nullptr, "__/__/____", 0, Rec(V, V, V)},
        {"J/M/AA", 1, nullptr, "_/_/__", 0, Rec(V, V, V)},
        // Zeros: day and month become empty, the year stays.
        {"JJ/MM/AAAA", 1, nullptr, "00/00/0000", 0, Rec(0, V, V)},
        // Not a number: reading stops, nothing completed.
        {"JJ/MM/AAAA", 1, nullptr, "ab/03/2024", 0, Rec(V, V, V)},
        {"JJ/MM/AAAA", 1, nullptr, "05/xy/2024", 0, Rec(V, V, 5)},
        // Too short: reading ends at the short field, nothing completed.
        {"JJ/MM/AAAA", 1, nullptr, "05/03/24", 0, Rec(V, 3, 5)},
        {"JJ/MM/AAAA", 1, nullptr, "", 0, Rec(V, V, V)},
        // Names, found up to the next literal of the mask.
        {"JJ MMMM AAAA", 1, nullptr, "05 Mars 2024", 0, Rec(2024, 3, 5)},
        {"JJJJ JJ MMMM AAAA", 1, nullptr, "Mardi 05 Mars 2024", 0, Rec(2024, 3, 5)},
        {"MMM AAAA", 1, nullptr, "Juil 2024", 0, Rec(2024, 7, V)},
        {"MMM-AAAA", 1, nullptr, "F\xe9v-2024", 0, Rec(2024, 2, V)},
        {"JJ MMMM AAAA", 1, nullptr, "05 03 2024", 0, Rec(2024, 3, 5)},
        {"JJ MMMM AAAA", 1, nullptr, "05 mars 2024", 0, Rec(2024, V, 5)},   // names are exact
        {"JJ MMMM AAAA", 1, nullptr, "05 March 2024", 0, Rec(2024, V, 5)},
        // Without the next literal in the text a name is not read.
        {"MMMM/AAAA", 1, nullptr, "Mars 2024", 0, Rec(V, V, V)},
    };
    _VerifieLectures(cas, sizeof cas / sizeof cas[0]);
}

TEST(MaskRead, NamesInEnglish) {
    CLangue clLangue(false);
    const STCasLecture cas[] = {
        {"DDDD DD MMMM YYYY", 1, nullptr, "Tuesday 05 March 2024", 0, Rec(2024, 3, 5)},
        {"DD MMM YYYY", 1, nullptr, "05 Jun 2024", 0, Rec(2024, 6, 5)},
        {"DD MMM YYYY", 1, nullptr, "05 Juin 2024", 0, Rec(2024, V, 5)},
    };
    _VerifieLectures(cas, sizeof cas / sizeof cas[0]);
}

TEST(MaskRead, Times) {
    CLangue clLangue(false);
    const STCasLecture cas[] = {
        {"HH:mm", 0, nullptr, "14:30", 0, Rec(V, V, V, 14, 30, 0, 0)},
        {"HH:MM:SS", 0, nullptr, "14:30:05", 0, Rec(V, V, V, 14, 30, 5, 0)},
        {"HH:mm:SS.CC", 0, nullptr, "14:30:05.78", 0, Rec(V, V, V, 14, 30, 5, 780)},
        {"HH:mm:SS.CCC", 0, nullptr, "14:30:05.789", 0, Rec(V, V, V, 14, 30, 5, 789)},
        {"H:mm", 0, nullptr, "9:05", 0, Rec(V, V, V, 9, 5, 0, 0)},
        {"HH", 0, nullptr, "09", 0, Rec(V, V, V, 9, 0, 0, 0)},
        // The short field ends the reading: nothing completed.
        {"HH:mm", 0, nullptr, "14:3", 0, Rec(V, V, V, 14, V, V, V)},
        {"HH:mm:SS", 0, nullptr, "14:30", 0, Rec(V, V, V, 14, 30, 0, V)},
        // AM and PM (any case), after or before the hour.
        {"HH:mm AM", 0, nullptr, "12:15 AM", 0, Rec(V, V, V, 0, 15, 0, 0)},
        {"HH:mm AM", 0, nullptr, "01:05 PM", 0, Rec(V, V, V, 13, 5, 0, 0)},
        {"HH:mm AM", 0, nullptr, "12:00 PM", 0, Rec(V, V, V, 12, 0, 0, 0)},
        {"HH:mm AM", 0, nullptr, "11:59 pm", 0, Rec(V, V, V, 23, 59, 0, 0)},
        {"HH:mm AM", 0, nullptr, "13:00 PM", 0, Rec(V, V, V, 13, 0, 0, 0)},
        {"HH:mm AM", 0, nullptr, "10:00 XX", 0, Rec(V, V, V, 10, 0, V, V)},
        {"AM HH:mm", 0, nullptr, "PM 03:30", 0, Rec(V, V, V, 15, 30, 0, 0)},
        {"AM HH:mm", 0, nullptr, "PM 12:30", 0, Rec(V, V, V, 12, 30, 0, 0)},
        {"AM HH:mm", 0, nullptr, "AM 12:30", 0, Rec(V, V, V, 0, 30, 0, 0)},
        {"AM HH:mm", 0, nullptr, "AM 09:30", 0, Rec(V, V, V, 9, 30, 0, 0)},
        // Date-and-time masks.
        {"JJ/MM/AAAA HH:mm:SS", 1, DT17, "05/03/2024 14:30:05", 0, Rec(2024, 3, 5, 14, 30, 5, 0)},
        {"AAAAMMJJHHmmSSCCC", 1, DT17, "20240305143005789", 0, Rec(2024, 3, 5, 14, 30, 5, 789)},
        {"JJ/MM/AAAA HH:mm", 1, DT17, "00/00/0000 10:30", 0, Rec(V, V, V, 10, 30, 0, 0)},
    };
    _VerifieLectures(cas, sizeof cas / sizeof cas[0]);
}

TEST(MaskRead, Flags) {
    CLangue clLangue(true);
    const STCasLecture cas[] = {
        // 2: the literals must match.
        {"JJ/MM/AAAA", 1, nullptr, "05-03-2024", 0, Rec(2024, 3, 5)},
        {"JJ/MM/AAAA", 1, nullptr, "05-03-2024", MSQ_LITTERAUX_EXACTS, Rec(V, V, 5)},
        {"JJ/MM/AAAA", 1, nullptr, "05/03/2024", MSQ_LITTERAUX_EXACTS, Rec(2024, 3, 5)},
        // 16: a letter literal of the mask empties everything...
        {"JJ de MMMM", 1, nullptr, "05 de Mars", MSQ_STRICT, Rec(V, V, V)},
        {"JJ \\de MMMM", 1, nullptr, "05 de Mars", MSQ_STRICT, Rec(V, V, V)},
        {"JJ/MM/AAAA", 1, nullptr, "05/03/2024", MSQ_STRICT, Rec(2024, 3, 5)},
        // ... and so does a two-digit year ending the mask but not the text.
        {"JJ/MM/AA", 1, nullptr, "05/03/2024", MSQ_STRICT, Rec(V, V, V)},
        {"JJ/MM/AA", 1, nullptr, "05/03/2024", 0, Rec(2020, 3, 5)},
        {"JJ/MM/AA", 1, nullptr, "05/03/24", MSQ_STRICT | MSQ_PIVOT_50, Rec(2024, 3, 5)},
        {"JJ/MM/AA", 1, nullptr, "05/03/99", MSQ_STRICT | MSQ_PIVOT_50, Rec(1999, 3, 5)},
        // 1: entry form, literals at the ends dropped, names read as numbers.
        {"(JJ/MM/AA)", 1, nullptr, "05/03/24", MSQ_SAISIE, Rec(2024, 3, 5)},
        {"JJ/MM/AAAA", 1, nullptr, "05/03/0024", MSQ_SAISIE, Rec(2024, 3, 5)},
        {"JJ MMMM AAAA", 1, nullptr, "05 03 2024", MSQ_SAISIE, Rec(2024, 3, 5)},
        {"JJ MMM AAAA", 1, nullptr, "05 03 2024", MSQ_SAISIE, Rec(2024, 3, 5)},
        {"JJ/MM/AAAA", 1, nullptr, "00/00/2024", MSQ_SAISIE, Rec(2024, 0, 0)},
    };
    _VerifieLectures(cas, sizeof cas / sizeof cas[0]);

    // In entry form the century is added only above a lower bound of 100.
    CMasqueDateHeure cl("JJ/MM/AAAA", 1);
    cl.SetMinMaxAnnee(0, 99);
    STSystemTime st;
    cl._TexteVersDateHeure("05/03/0024", cl.pszGetMasque(), st, MSQ_SAISIE);
    EXPECT_EQ(st.wYear, 24);
}

TEST(MaskRead, CompletesWithTheCurrentDate) {
    CLangue clLangue(true);
    STMaintenant clMaintenant;
    STSystemTime st = Lit("JJ", 1, "15");
    STSystemTime st2 = Lit("JJ/MM", 1, "15/04");
    STSystemTime st3 = Lit("M/J", 1, "3/5");   // a single last character is a whole field
    STSystemTime st4 = Lit("JJJJ JJ/MM", 1, "05/03", MSQ_SAISIE);
    clMaintenant.Fin();
    EXPECT_EQ(st.wDay, 15);
    EXPECT_TRUE(clMaintenant.bMois(st.wMonth)) << RecTexte(st);
    EXPECT_TRUE(clMaintenant.bAnnee(st.wYear)) << RecTexte(st);
    EXPECT_EQ(st2.wDay, 15);
    EXPECT_EQ(st2.wMonth, 4);
    EXPECT_TRUE(clMaintenant.bAnnee(st2.wYear));
    EXPECT_EQ(st3.wDay, 5);
    EXPECT_EQ(st3.wMonth, 3);
    EXPECT_TRUE(clMaintenant.bAnnee(st3.wYear));
    EXPECT_EQ(st4.wDay, 5);
    EXPECT_EQ(st4.wMonth, 3);
    EXPECT_TRUE(clMaintenant.bAnnee(st4.wYear));
}

TEST(MaskRead, StorageForms) {
    CLangue clLangue(true);
    const struct {
        const char* pszMasque;
        int nDate;
        const char* pszFormatRetour;
        const char* pszTexte;
        int nFlags;
        const char* pszFormatAppel;
        const char* pszAttendu;
    } cas[] = {
        {"JJ/MM/AAAA", 1, nullptr, "05/03/2024", 0, nullptr, "20240305"},
        {"MM/AAAA", 1, nullptr, "03/2024", 0, nullptr, "20240301"},   // no day zone: the 1st
        {"JJ/MM/AAAA", 1, nullptr, "__/03/2024", 0, nullptr, ""},
        {"JJ/MM/AAAA", 1, nullptr, "05/03/2024", 0, "AAAA-MM-JJ", "2024-03-05"},
        {"JJ/MM/AAAA", 1, "YYYYMMDD", "05/03/2024", 0, nullptr, "20240305"},
        {"jj/mm/aa", 1, nullptr, "05/03/24", MSQ_PIVOT_50 | MSQ_STRICT, nullptr, ""},   // lower case: literals
        {"JJ/MM/AA", 1, nullptr, "05/03/24", MSQ_PIVOT_50 | MSQ_STRICT, nullptr, "20240305"},
        {"JJ/MM/AA", 1, nullptr, "05/03/2024", MSQ_PIVOT_50 | MSQ_STRICT, nullptr, ""},
        {"JJ MMMM AAAA", 1, nullptr, "31 D\xe9" "cembre 1999", 0, nullptr, "19991231"},
        // Date-and-time forms.
        {"JJ/MM/AAAA HH:mm:SS", 1, DT17, "05/03/2024 14:30:05", 0, nullptr, "20240305143005000"},
        {"JJ/MM/AAAA HH:mm:SS", 1, "AAAAMMJJHHmmSS", "05/03/2024 14:30:05", 0, nullptr, "20240305143005"},
        {"JJ/MM/AAAA HH:mm:SS", 1, "YYYYMMDDHHmmSSCC", "05/03/2024 14:30:05", 0, nullptr, "2024030514300500"},
        {"HH:mm JJ/MM/AAAA", 0, DT17, "14:30 05/03/2024", 0, nullptr, "20240305143000000"},
        {"HH:mm", 0, DT17, "14:30", 0, nullptr, ""},
        // Time forms: at most 9 characters, hour and minute required.
        {"HH:mm", 0, nullptr, "14:30", 0, nullptr, "143000"},
        {"HH:mm:SS.CC", 0, "HHMMSSCC", "14:30:05.78", 0, nullptr, "14300578"},
        {"HH:mm:SS.CCC", 0, "HHMMSSCCC", "14:30:05.789", 0, nullptr, "143005789"},
        {"HH:mm:SS.CCC", 0, "HHMMSSCCC HHMMSS", "14:30:05.789", 0, nullptr, "143005789"},
        {"HH:mm", 0, nullptr, "14", 0, nullptr, ""},
        {"HH:mm AM", 0, nullptr, "02:45 PM", 0, nullptr, "144500"},
    };
    for (const auto& c : cas)
        EXPECT_EQ(Deformate(c.pszMasque, c.nDate, c.pszTexte, c.nFlags, c.pszFormatRetour, c.pszFormatAppel),
                  c.pszAttendu)
            << "mask <" << c.pszMasque << "> text <" << c.pszTexte << ">";
}

TEST(MaskRead, RoundTripThroughEveryDayOfTwoYears) {
    CLangue clLangue(true);
    CMasqueDateHeure clEcrit("JJJJ JJ MMMM AAAA", 1);
    CMasqueDateHeure clEcritCourt("J/M/AA", 1);
    CTString clTexte, clRetour;
    for (int nAnnee : {1999, 2024}) {
        for (int nMois = 1; nMois <= 12; ++nMois) {
            for (int nJour = 1; nJour <= 31; ++nJour) {
                char sz[40];
                std::snprintf(sz, sizeof sz, "%04d%02d%02d", nAnnee, nMois, nJour);
                if (!bDateValide(sz)) continue;
                clEcrit.FormateEx(sz, clTexte, 0);
                clEcrit.DeformateDateHeure(clTexte.pszGet(), clRetour, MSQ_STRICT);
                EXPECT_STREQ(clRetour.pszGet(), sz) << clTexte.pszGet();
                clEcritCourt.FormateEx(sz, clTexte, 0);
                clEcritCourt.DeformateDateHeure(clTexte.pszGet(), clRetour, MSQ_PIVOT_50);
                EXPECT_STREQ(clRetour.pszGet(), sz) << clTexte.pszGet();
            }
        }
    }
}

// Texts of digits in a storage form are read straight from their digits;
// the same digits with separators go through the general walk. Both must
// give the same text, for values in and out of range.
TEST(MasqueLecture, StorageDigitsReadAsTheWalkReadsThem) {
    struct STForme {
        int nDate;
        const char* pszStockage;
        const char* pszSepare;
        const char* pszSortie;
        std::vector<size_t> tabCoupes;   // where the separators go
    } tab[] = {
        {1, "AAAAMMJJ", "AAAA-MM-JJ", "JJJ JJ/MM/AAAA", {4, 6}},
        {0, "HHmmSS", "HH:mm:SS", "HH-mm-SS", {2, 4}},
        {0, "HHmmSSCCC", "HH:mm:SS.CCC", "HH-mm-SS-CCC", {2, 4, 6}},
    };
    std::mt19937 gen(17);
    for (const STForme& f : tab) {
        CMasqueDateHeure clDirect(f.pszSortie, f.nDate, f.pszStockage);
        CMasqueDateHeure clMarche(f.pszSortie, f.nDate, f.pszSepare);
        const size_t n = std::strlen(f.pszStockage);
        for (int i = 0; i < 3000; ++i) {
            std::string sChiffres;
            for (size_t k = 0; k < n; ++k) sChiffres += char('0' + gen() % 10);
            if (i % 2 == 0 && f.nDate != 0) {
                // Half of them plausible dates, so that names are written.
                char sz[16];
                std::snprintf(sz, sizeof sz, "%04u%02u%02u", unsigned(1600 + gen() % 600), unsigned(1 + gen() % 12),
                              unsigned(1 + gen() % 28));
                sChiffres.replace(0, 8, sz);
            }
            std::string sSepare;
            for (size_t k = 0; k < n; ++k) {
                for (size_t nCoupe : f.tabCoupes)
                    if (k == nCoupe) sSepare += f.pszSepare[sSepare.size()];
                sSepare += sChiffres[k];
            }
            CTString clA, clB;
            clDirect.FormateEx(sChiffres.c_str(), clA, 0);
            clMarche.FormateEx(sSepare.c_str(), clB, 0);
            ASSERT_STREQ(clA.pszGet(), clB.pszGet()) << sChiffres << " / " << sSepare;
        }
    }
    // The full storage form (a date-and-time return format, which no
    // separated form can stand for): values out of range are kept as read.
    struct {
        const char* pszTexte;
        const char* pszAttendu;
    } tabDT17[] = {
        {"20240305143005789", "Tuesday 05 March 2024 14:30:05:789"},
        {"19120214252922134", "Wednesday 14 February 1912 25:29:22:134"},
        {"2024030514300578", "Tuesday 05 March 2024 14:30:05:___"},
    };
    CMasqueDateHeure clDT17("JJJJ JJ MMMM AAAA HH:mm:SS:CCC", 1, DT17);
    for (const auto& c : tabDT17) {
        CTString cl;
        clDT17.FormateEx(c.pszTexte, cl, 0);
        EXPECT_STREQ(cl.pszGet(), c.pszAttendu) << c.pszTexte;
    }
}

}  // namespace
