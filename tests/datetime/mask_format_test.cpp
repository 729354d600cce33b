// Date-time masks: token tables, scanning and writing.

#include "mask_test_util.h"

using namespace masktest;

namespace {

const char* const DT17 = "AAAAMMJJHHmmSSCCC";

TEST(MaskTables, TokensAndZones) {
    // Each family lists longer tokens before their prefixes, so that the
    // first match is the longest.
    const std::pair<const STJetonMasque*, size_t> aTables[] = {{gstJetonsDate, gnJetonsDate},
                                                               {gstJetonsHeure, gnJetonsHeure}};
    for (auto [pst, n] : aTables) {
        for (size_t i = 0; i < n; ++i) {
            EXPECT_EQ(std::strlen(pst[i].pszTexte), pst[i].nLongueur) << pst[i].pszTexte;
            for (size_t j = 0; j < i; ++j)
                EXPECT_FALSE(std::strncmp(pst[i].pszTexte, pst[j].pszTexte, pst[j].nLongueur) == 0 &&
                             pst[j].nLongueur < pst[i].nLongueur)
                    << pst[i].pszTexte << " hidden by " << pst[j].pszTexte;
        }
    }
    const struct {
        const char* pszJeton;
        int nDate;
        const char* pszFormat;
        ETypeZone eZone;
        int nLargeur;
    } cas[] = {
        {"AAAA", 1, nullptr, TZ_ANNEE4, 4},   {"YYYY", 1, nullptr, TZ_ANNEE4, 4},
        {"AA", 1, nullptr, TZ_ANNEE2, 2},     {"YY", 1, nullptr, TZ_ANNEE2, 2},
        {"MMMM", 1, nullptr, TZ_MOIS_LETTRES, 4}, {"MMM", 1, nullptr, TZ_MOIS_ABREGE, 3},
        {"MM", 1, nullptr, TZ_MOIS2, 2},      {"M", 1, nullptr, TZ_MOIS, 2},
        {"JJJJ", 1, nullptr, TZ_JOUR_LETTRES, 4}, {"DDDD", 1, nullptr, TZ_JOUR_LETTRES, 4},
        {"JJJ", 1, nullptr, TZ_JOUR_ABREGE, 3}, {"DDD", 1, nullptr, TZ_JOUR_ABREGE, 3},
        {"JJ", 1, nullptr, TZ_JOUR2, 2},      {"DD", 1, nullptr, TZ_JOUR2, 2},
        {"J", 1, nullptr, TZ_JOUR, 2},        {"D", 1, nullptr, TZ_JOUR, 2},
        {"HH", 0, nullptr, TZ_HEURE2, 2},     {"H", 0, nullptr, TZ_HEURE, 2},
        {"MM", 0, nullptr, TZ_MINUTE, 2},     {"mm", 0, nullptr, TZ_MINUTE, 2},
        {"SS", 0, nullptr, TZ_SECONDE, 2},    {"CCC", 0, nullptr, TZ_MILLIEME, 3},
        {"CC", 0, nullptr, TZ_CENTIEME, 2},   {"AM", 0, nullptr, TZ_AMPM, 2},
        {"AP", 0, nullptr, TZ_AMPM, 2},       {"PM", 0, nullptr, TZ_AMPM, 2},
        // Each table alone: the other family's tokens are literals.
        {"HH", 1, nullptr, TZ_LITTERAL, 1},   {"mm", 1, nullptr, TZ_LITTERAL, 1},
        {"JJ", 0, nullptr, TZ_LITTERAL, 1},   {"AAAA", 0, nullptr, TZ_LITTERAL, 1},
        // Both tables: the date tokens first.
        {"MM", 1, DT17, TZ_MOIS2, 2},         {"mm", 1, DT17, TZ_MINUTE, 2},
        {"MM", 0, DT17, TZ_MOIS2, 2},         {"HH", 1, DT17, TZ_HEURE2, 2},
        {"x", 1, nullptr, TZ_LITTERAL, 1},    {"\\J", 1, nullptr, TZ_LITTERAL, 1},
        {"", 1, nullptr, TZ_FIN, 0},          {"\\", 1, nullptr, TZ_FIN, 0},
    };
    for (const auto& c : cas) {
        CMasqueDateHeure cl(c.pszJeton, c.nDate, c.pszFormat);
        const char* p = cl.pszGetMasque();
        int n = -1;
        EXPECT_EQ(cl.eParseMasque(p, n, false), c.eZone) << c.pszJeton << " " << c.nDate;
        EXPECT_EQ(n, c.nLargeur) << c.pszJeton;
        // A token is taken whole; a literal is one character (two with its
        // backslash).
        if (c.eZone == TZ_LITTERAL)
            EXPECT_EQ(p - cl.pszGetMasque(), c.pszJeton[0] == '\\' ? 2 : 1) << c.pszJeton;
        else
            EXPECT_EQ(*p, 0) << c.pszJeton;
    }
}

TEST(MaskTables, DateAndTimeForms) {
    for (const char* psz : {"YYYYMMDDHHmmSS", "YYYYMMDDHHmmSSCC", "AAAAMMJJHHmmSSCC", "YYYYMMDDHHmmSSCCC",
                            "AAAAMMJJHHmmSSCCC", "AAAAMMJJHHmmSS"}) {
        EXPECT_TRUE(CMasqueDateHeure::sbStrEstMasqueDateEtHeure(psz)) << psz;
        EXPECT_TRUE(CMasqueDateHeure("JJ", 1, psz).bEstMasqueDateEtHeure());
    }
    for (const char* psz : {"AAAAMMJJ", "HHMMSS", "aaaammjjhhmmsscc", "AAAAMMJJHHMMSS", "", "AAAAMMJJHHmmSSC"})
        EXPECT_FALSE(CMasqueDateHeure::sbStrEstMasqueDateEtHeure(psz)) << psz;
    EXPECT_FALSE(CMasqueDateHeure::sbStrEstMasqueDateEtHeure(nullptr));
    EXPECT_STREQ(CMasqueDateHeure("JJ", 1).pszGetFormatRetour(), "AAAAMMJJ");
    EXPECT_STREQ(CMasqueDateHeure("HH", 0).pszGetFormatRetour(), "HHMMSS");
    EXPECT_STREQ(CMasqueDateHeure("HH", 0, "").pszGetFormatRetour(), "HHMMSS");
    CMasqueDateHeure cl("JJ", 1);
    EXPECT_EQ(cl.nGetAnneeMin(), 1900);
    EXPECT_EQ(cl.nGetAnneeMax(), 2089);
    cl.SetFormatRetour(DT17);
    EXPECT_TRUE(cl.bEstMasqueDateEtHeure());
    EXPECT_STREQ(cl.pszGetFormatRetour(), DT17);
}

TEST(MaskScan, AMPMZoneAndZonePresence) {
    EXPECT_TRUE(CMasqueDateHeure::_bZoneAMPMPresente("HH:mm AM"));
    EXPECT_FALSE(CMasqueDateHeure::_bZoneAMPMPresente("AAAAMMJJ"));   // "AM" followed by "M"
    EXPECT_FALSE(CMasqueDateHeure::_bZoneAMPMPresente("HH:mm PM"));   // only "AM" tells
    EXPECT_TRUE(CMasqueDateHeure::_bZoneAMPMPresente("AM"));
    EXPECT_FALSE(CMasqueDateHeure::_bZoneAMPMPresente(""));
    EXPECT_FALSE(CMasqueDateHeure::_bZoneAMPMPresente(nullptr));

    CMasqueDateHeure cl("MMMM AAAA", 1);
    EXPECT_FALSE(cl.bZoneEstPresente(TZ_JOUR, TZ_JOUR_LETTRES));
    EXPECT_TRUE(cl.bZoneEstPresente(TZ_MOIS_LETTRES, TZ_MOIS_LETTRES));
    EXPECT_TRUE(cl.bZonePresent("JJJ", TZ_JOUR, TZ_JOUR_LETTRES));
    EXPECT_FALSE(cl.bZonePresent("\\J\\D", TZ_JOUR, TZ_JOUR_LETTRES));
}

TEST(MaskScan, EntryFormDropsOuterLiterals) {
    CMasqueDateHeure cl("(JJJJ JJ/MM)", 1);
    const char* p = cl.pszGetMasque();
    std::string sZones;
    for (;;) {
        int n = 0;
        ETypeZone e = cl.eParseMasque(p, n, true);
        if (e == TZ_FIN) break;
        sZones += std::to_string(int(e)) + "/" + std::to_string(n) + " ";
    }
    // "(", JJJJ, " " (a day name alone before it), JJ, "/", MM, ")".
    EXPECT_EQ(sZones, "19/0 5/4 19/0 3/2 1/1 7/2 19/0 ");
    EXPECT_TRUE(cl.bContientZoneActive(cl.pszGetMasque(), cl.pszGetMasque() + 9));
    EXPECT_FALSE(cl.bContientZoneActive(cl.pszGetMasque(), cl.pszGetMasque() + 6));
}

struct STCasFormat {
    const char* pszMasque;
    int nDate;
    const char* pszFormatRetour;
    const char* pszValeur;
    int nFlags;
    const char* pszAttendu;
};

void _VerifieFormats(const STCasFormat* pc, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const STCasFormat& c = pc[i];
        EXPECT_EQ(Formate(c.pszMasque, c.nDate, c.pszValeur, c.nFlags, c.pszFormatRetour), c.pszAttendu)
            << "mask <" << c.pszMasque << "> value <" << c.pszValeur << "> flags " << c.nFlags;
    }
}

TEST(MaskFormat, Numbers) {
    CLangue clLangue(true);
    const STCasFormat cas[] = {
        {"JJ/MM/AAAA", 1, nullptr, "20240305", 0, "05/03/2024"},
        {"J/M/AA", 1, nullptr, "20240305", 0, "5/3/24"},
        {"AAAA-MM-JJ", 1, nullptr, "", 0, "____-__-__"},
        {"J/M/AA", 1, nullptr, "", 0, "_/_/__"},
        {"YYYY.MM.DD", 1, nullptr, "20241231", 0, "2024.12.31"},
        {"D/M/YY", 1, nullptr, "20051110", 0, "10/11/05"},
        {"AAAA", 1, nullptr, "00050101", 0, "0005"},
        {"AA", 1, nullptr, "20000101", 0, "00"},
        // A backslash makes the next character a literal.
        {"\\JJJ", 1, nullptr, "20240305", 0, "J05"},
        {"JJ\\\\MM", 1, nullptr, "20240305", 0, "05\\03"},
        {"JJ\\", 1, nullptr, "20240305", 0, "05"},
        // "MM" is the month in a date mask, the minutes in a time mask.
        {"MM", 1, nullptr, "20240305", 0, "03"},
        {"HH:MM:SS", 0, nullptr, "143005", 0, "14:30:05"},
        {"HH:mm:SS", 0, nullptr, "143005", 0, "14:30:05"},
        {"H:mm", 0, nullptr, "090500", 0, "9:05"},
        {"HH:mm:SS:CC", 0, "HHMMSSCC", "14300578", 0, "14:30:05:78"},
        {"HH:mm:SS.CCC", 0, "HHMMSSCCC", "143005789", 0, "14:30:05.789"},
        {"HH:mm:SS.CCC", 0, nullptr, "", 0, "__:__:__.___"},
        // Both tables in a date-and-time mask.
        {"JJ/MM/AAAA HH:mm:SS", 1, DT17, "20240305143005789", 0, "05/03/2024 14:30:05"},
        {"AAAA-MM-JJ HH:mm:SS.CCC", 1, DT17, "20240305143005789", 0, "2024-03-05 14:30:05.789"},
        {"MM mm", 1, "AAAAMMJJHHmmSS", "20241105083000", 0, "11 30"},
        // 12-hour clock with an AM/PM zone.
        {"HH:mm AM", 0, nullptr, "001500", 0, "12:15 AM"},
        {"HH:mm AM", 0, nullptr, "130500", 0, "01:05 PM"},
        {"HH:mm AM", 0, nullptr, "120000", 0, "12:00 PM"},
        {"H:mm AM", 0, nullptr, "235900", 0, "11:59 PM"},
        {"HH:mm AM", 0, nullptr, "", 0, "__:__ __"},
        {"HH:mm PM", 0, nullptr, "130500", 0, "13:05 PM"},   // no "AM": 24-hour clock
        {"AAAAMMJJ HH", 1, "AAAAMMJJHHmmSS", "20240305130000", 0, "20240305 13"},
        // Literal text around the zones.
        {"le JJ à HHh", 1, DT17, "20240305143005789", 0, "le 05 à 14h"},
    };
    _VerifieFormats(cas, sizeof cas / sizeof cas[0]);
}

TEST(MaskFormat, EntryForm) {
    CLangue clLangue(true);
    const STCasFormat cas[] = {
        {"J/M/AA", 1, nullptr, "20240305", MSQ_SAISIE, "05/03/24"},
        {"(JJ/MM/AAAA)", 1, nullptr, "20240305", MSQ_SAISIE, "05/03/2024"},
        {"JJJJ JJ MMMM AAAA", 1, nullptr, "20240305", MSQ_SAISIE, "05 03 2024"},
        {"JJ MMMM (MM)", 1, nullptr, "20240305", MSQ_SAISIE, "05  (03"},
        {"JJ MMM AAAA", 1, nullptr, "20240305", MSQ_SAISIE, "05 03 2024"},
        {"H:mm", 0, nullptr, "090500", MSQ_SAISIE, "09:05"},
        {"JJ/MM/AAAA", 1, nullptr, "", MSQ_SAISIE, "__/__/____"},
    };
    _VerifieFormats(cas, sizeof cas / sizeof cas[0]);
}

TEST(MaskFormat, NamesFrenchAndEnglish) {
    const struct {
        bool bFrancais;
        const char* pszMasque;
        const char* pszValeur;
        int nFlags;
        const char* pszAttendu;
    } cas[] = {
        {true, "JJJJ JJ MMMM AAAA", "20240305", 0, "Mardi 05 Mars 2024"},
        {false, "JJJJ JJ MMMM AAAA", "20240305", 0, "Tuesday 05 March 2024"},
        {true, "JJJ J MMM", "20240303", 0, "Dim 3 Mar"},
        {false, "DDD D MMM", "20240303", 0, "Sun 3 Mar"},
        {true, "MMM", "20240601", 0, "Juin"},
        {true, "MMM", "20240701", 0, "Juil"},
        {false, "MMM", "20240601", 0, "Jun"},
        {false, "MMM", "20240701", 0, "Jul"},
        {true, "MMM", "20240201", 0, "F\xe9v"},
        {true, "MMMM", "20240801", 0, "Ao\xfbt"},
        {true, "JJJJ", "18000101", 0, "Mercredi"},   // day number 1 is a Wednesday
        {true, "JJJJ", "15000301", 0, "Mercredi"},      // before 1800: kept in the week
        // Tolerant form: lower-case tokens, abbreviations followed by ".".
        {true, "dd mmm yyyy", "20240305", MSQ_TOLERANT, "05 Mar. 2024"},
        {true, "dd mmm yyyy", "20240505", MSQ_TOLERANT, "05 Mai 2024"},
        {true, "dd mmm yyyy", "20240605", MSQ_TOLERANT, "05 Juin 2024"},
        {true, "dd mmm yyyy", "20240705", MSQ_TOLERANT, "05 Juil. 2024"},
        {false, "dd mmm yyyy", "20240605", MSQ_TOLERANT, "05 Jun. 2024"},
        {false, "ddd dd mmmm aa", "20240305", MSQ_TOLERANT, "05d 05 March 24"},
        {false, "JJJ jj/mm/aaaa", "20240305", MSQ_TOLERANT, "Tue. 05/03/2024"},
        {true, "jjj mmmmm", "20240305", MSQ_TOLERANT, "05j Marsm"},
        // Names of an empty or invalid date.
        {true, "JJJJ MMMM", "", 0, " __"},
        {true, "JJJJ MMMM", "20230229", 0, " F\xe9vrier"},
        {true, "MMMM", "20241305", 0, ""},
    };
    for (const auto& c : cas) {
        CLangue clLangue(c.bFrancais);
        EXPECT_EQ(Formate(c.pszMasque, 1, c.pszValeur, c.nFlags), c.pszAttendu)
            << c.pszMasque << " " << c.pszValeur << (c.bFrancais ? " fr" : " en");
    }
}

TEST(MaskFormat, RecordDirectly) {
    CLangue clLangue(false);
    CMasqueDateHeure cl("JJJJ JJ/MM/AAAA HH:mm:SS:CC", 1, DT17);
    CTString clRes;
    cl.FormateDate(Rec(2024, 3, 5, 14, 30, 5, 789, 2), clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "Tuesday 05/03/2024 14:30:05:78");
    // The day of week is the caller's: an empty one writes no name.
    cl.FormateDate(Rec(2024, 3, 5, 14, 30, 5, 789), clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), " 05/03/2024 14:30:05:78");
    // Values beyond two digits stay on two characters.
    cl.FormateDate(Rec(2024, 3, 100, 250, 30, 5, 65000, 9), clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), " 99/03/2024 99:30:05:99");

    char sz[8];
    EXPECT_EQ(cl.nFormateDate(Rec(2024, 3, 5, 14, 30, 5, 789, 2), sz, int(sizeof sz), 0), 30);
    EXPECT_STREQ(sz, "Tuesday");
    EXPECT_EQ(cl.nFormateDate(Rec(2024, 3, 5), sz, 1, 0), 23);
    EXPECT_STREQ(sz, "");
    EXPECT_EQ(cl.nFormateDate(Rec(2024, 3, 5), nullptr, 0, 0), 23);
}

TEST(MaskFormat, DayOfWeek) {
    const struct {
        STSystemTime st;
        uint16_t wAttendu;
    } cas[] = {
        {Rec(1800, 1, 1), 3},  {Rec(2024, 3, 5), 2},  {Rec(2024, 3, 3), 0}, {Rec(2000, 2, 29), 2},
        {Rec(1500, 3, 1), 3},  {Rec(1, 1, 1), 4},     {Rec(2023, 2, 29), V}, {Rec(2024, V, 5), V},
        {Rec(0, 1, 1), V},
    };
    for (const auto& c : cas) {
        STSystemTime st = c.st;
        CMasqueDateHeure::_InitJourDelaSemaine(st);
        EXPECT_EQ(st.wDayOfWeek, c.wAttendu) << RecTexte(c.st);
    }
}

TEST(MaskBase, DefaultsAndFactories) {
    CMasque* pcl = CMasqueDateHeure::pclGetNewMasqueDate("JJ/MM/AAAA", nullptr);
    ASSERT_NE(pcl, nullptr);
    EXPECT_FALSE(pcl->bEstVide());
    EXPECT_EQ(pcl->eGetTypeMaskTexte(), TMT_AUCUN);
    EXPECT_FALSE(pcl->bMasqueNonSupporteEnVelka());
    CTString cl("x");
    pcl->GetMasqueCompatibleVelka(cl);
    EXPECT_TRUE(cl.bEstVide());
    cl = "JJ";
    EXPECT_TRUE(pcl->bvGetValeurMasqueEffectif(cl));
    EXPECT_STREQ(cl.pszGet(), "JJ");
    pcl->vSetMinMax(nullptr, nullptr);
    pcl->Formate("20240305", cl, nullptr);
    EXPECT_STREQ(cl.pszGet(), "05/03/2024");
    delete pcl;

    pcl = CMasqueDateHeure::pclGetNewMasqueHeure("HH:mm", "");
    pcl->Formate("0930", cl, nullptr);
    EXPECT_STREQ(cl.pszGet(), "09:30");
    EXPECT_STREQ(static_cast<CMasqueDateHeure*>(pcl)->pszGetFormatRetour(), "HHMMSS");
    delete pcl;
    EXPECT_TRUE(CMasqueDateHeure("", 1).bEstVide());
}

TEST(MaskBase, LanguageInformationReferences) {
    int nDetruit = 0;
    auto* pi = new CInfoLangueTest;
    pi->pnDetruit = &nDetruit;
    {
        CMasqueDateHeure cl("JJ", 1);
        cl.SetInfoLangue(pi, 0, 0);
        EXPECT_EQ(pi->nGetRef(), 2);
        EXPECT_EQ(cl.piGetInfoLangue(), pi);
        cl.SetInfoLangue(pi, 0, 0);   // the same object again
        EXPECT_EQ(pi->nGetRef(), 2);
        auto* pi2 = new CInfoLangueTest;
        cl.SetInfoLangue(pi2, 1, 2);
        EXPECT_EQ(pi->nGetRef(), 1);
        EXPECT_EQ(pi2->nGetRef(), 2);
        pi2->Release();
        cl.SetInfoLangue(nullptr, 0, 0);   // releases and destroys pi2
        cl.SetInfoLangue(pi, 0, 0);
    }
    EXPECT_EQ(pi->nGetRef(), 1);
    EXPECT_EQ(nDetruit, 0);
    pi->Release();
    EXPECT_EQ(nDetruit, 1);
}

}  // namespace
