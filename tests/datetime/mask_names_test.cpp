// Date-time masks: names and AM/PM texts from the message texts or the
// host's language information; system masks from the "intl" settings.

#include "mask_test_util.h"

using namespace masktest;

namespace {

const char* const DT17 = "AAAAMMJJHHmmSSCCC";

TEST(MaskNames, MessageTextsInBothLanguages) {
    const char* const apszJoursFr[] = {"Dimanche", "Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi"};
    const char* const apszJoursEn[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    const char* const apszMoisFr[] = {"Janvier", "F\xe9vrier", "Mars",      "Avril",   "Mai",      "Juin",
                                      "Juillet", "Ao\xfbt",     "Septembre", "Octobre", "Novembre", "D\xe9" "cembre"};
    const char* const apszMoisEn[] = {"January", "February", "March",     "April",   "May",      "June",
                                      "July",    "August",   "September", "October", "November", "December"};
    const char* const apszAbregesFr[] = {"Jan", "F\xe9v", "Mar", "Avr", "Mai", "Juin",
                                         "Juil", "Ao\xfb", "Sep", "Oct", "Nov", "D\xe9" "c"};
    for (bool bFr : {true, false}) {
        CLangue clLangue(bFr);
        CMasqueDateHeure cl("JJ", 1);
        char sz[64];
        CTString clTexte;
        for (int i = 0; i < 7; ++i) {
            cl.JourEnLettre(i, false, sz, int(sizeof sz));
            EXPECT_STREQ(sz, bFr ? apszJoursFr[i] : apszJoursEn[i]);
            cl.JourEnLettre(i, true, sz, int(sizeof sz));
            EXPECT_EQ(std::string(sz), std::string(bFr ? apszJoursFr[i] : apszJoursEn[i]).substr(0, 3));
            CMasqueDateHeure::s_JourEnLettre(i, nullptr, clTexte);
            EXPECT_STREQ(clTexte.pszGet(), bFr ? apszJoursFr[i] : apszJoursEn[i]);
        }
        for (int i = 1; i <= 12; ++i) {
            cl.MoisEnLettre(i, false, sz, int(sizeof sz));
            EXPECT_STREQ(sz, bFr ? apszMoisFr[i - 1] : apszMoisEn[i - 1]);
            cl.MoisEnLettre(i, true, sz, int(sizeof sz));
            if (bFr) {
                EXPECT_STREQ(sz, apszAbregesFr[i - 1]);
            }
            EXPECT_EQ(cl._nGetNumMonthFromName(bFr ? apszMoisFr[i - 1] : apszMoisEn[i - 1], false), i);
            EXPECT_EQ(cl._nGetNumMonthFromName(sz, true), i);
            CMasqueDateHeure::s_MoisEnLettre(i, nullptr, clTexte);
            EXPECT_STREQ(clTexte.pszGet(), bFr ? apszMoisFr[i - 1] : apszMoisEn[i - 1]);
        }
        // Out of range, small buffers.
        for (int n : {-1, 7, 65535}) {
            cl.JourEnLettre(n, false, sz, int(sizeof sz));
            EXPECT_STREQ(sz, "");
        }
        for (int n : {0, 13, -5}) {
            cl.MoisEnLettre(n, false, sz, int(sizeof sz));
            EXPECT_STREQ(sz, "");
        }
        cl.MoisEnLettre(9, false, sz, 4);
        EXPECT_EQ(std::strlen(sz), 3u);
        cl.MoisEnLettre(9, false, sz, 1);
        EXPECT_STREQ(sz, "");
        cl.MoisEnLettre(9, false, nullptr, 10);
        EXPECT_EQ(cl._nGetNumMonthFromName("", false), -1);
        EXPECT_EQ(cl._nGetNumMonthFromName(nullptr, false), -1);
        EXPECT_EQ(cl._nGetNumMonthFromName("xyz", true), -1);
        cl._GetStrAMPM(true, clTexte);
        EXPECT_STREQ(clTexte.pszGet(), "AM");
        cl._GetStrAMPM(false, clTexte);
        EXPECT_STREQ(clTexte.pszGet(), "PM");
    }
}

CInfoLangueTest* _pNouvelleInfo() {
    auto* pi = new CInfoLangueTest;
    pi->sJours = "lu;ma;me;je;ve;sa;di";
    pi->sMois = "jan;feb;mar;apr;mai;jun;jul;aug;sep;okt;nov;dez";
    pi->sAM = "vorm";
    pi->sPM = "nachm";
    pi->sMasqueDate = "JJ.MM.AAAA";
    pi->sMasqueHeure = "HH.MM";
    return pi;
}

TEST(MaskNames, FromLanguageInformation) {
    CLangue clLangue(true);
    CInfoLangueTest* pi = _pNouvelleInfo();
    CMasqueDateHeure cl("JJJJ JJ MMMM AAAA", 1);
    cl.SetInfoLangue(pi, 0, 0);
    CTString clRes;
    cl.FormateEx("20240305", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "ma 05 mar 2024");
    cl.FormateEx("20240303", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "di 03 mar 2024");
    cl.DeformateDateHeure("me 06 dez 2023", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "20231206");
    CMasqueDateHeure::s_JourEnLettre(0, pi, clRes);
    EXPECT_STREQ(clRes.pszGet(), "di");
    CMasqueDateHeure::s_MoisEnLettre(10, pi, clRes);
    EXPECT_STREQ(clRes.pszGet(), "okt");

    // AM and PM texts, written and read back whole.
    CMasqueDateHeure clHeure("HH:mm AM", 0);
    clHeure.SetInfoLangue(pi, 0, 0);
    clHeure.FormateEx("083000", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "08:30 vorm");
    clHeure.FormateEx("203000", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "08:30 nachm");
    clHeure.DeformateDateHeure("08:30 NACHM", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "203000");
    clHeure.DeformateDateHeure("12:10 vorm", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "001000");

    // Lists lacking entries fall back to the message texts, entry by entry.
    pi->sJours = "lu;;me";
    pi->sMois = "";
    cl.FormateEx("20240305", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "Mardi 05 Mars 2024");
    cl.FormateEx("20240306", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "me 06 Mars 2024");
    cl.FormateEx("20240309", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "Samedi 09 Mars 2024");
    // No description at all.
    pi->bDate = false;
    pi->bHeure = false;
    cl.FormateEx("20240306", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "Mercredi 06 Mars 2024");
    clHeure.FormateEx("203000", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "08:30 PM");
    pi->Release();
}

TEST(MaskNames, LanguageInformationSaysNotToUse) {
    CLangue clLangue(false);
    CInfoLangueTest* pi = _pNouvelleInfo();
    pi->nNePasDate = 1;
    pi->nNePasHeure = 1;
    CMasqueDateHeure cl("JJJJ JJ MMMM AAAA", 1);
    cl.SetInfoLangue(pi, 0, 0);
    CTString clRes;
    cl.FormateEx("20240305", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "Tuesday 05 March 2024");
    CMasqueDateHeure::s_JourEnLettre(2, pi, clRes);
    EXPECT_STREQ(clRes.pszGet(), "Tuesday");
    CMasqueDateHeure clHeure("HH:mm AM", 0);
    clHeure.SetInfoLangue(pi, 0, 0);
    clHeure.FormateEx("203000", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "08:30 PM");
    // Nor its system masks.
    CHomeTemporaire clHome;
    CMasqueDateHeure clSys("UseSystemMask", 1);
    clSys.SetInfoLangue(pi, 0, 0);
    EXPECT_STREQ(clSys.pszGetMasque(), "JJ/MM/AAAA");
    pi->Release();
}

TEST(MaskSystem, DefaultsWithoutSettings) {
    CHomeTemporaire clHome;
    const struct {
        const char* pszMasque;
        int nDate;
        const char* pszFormatRetour;
        const char* pszAttendu;
    } cas[] = {
        {"UseSystemMask", 1, nullptr, "JJ/MM/AAAA"},
        {"usesystemmask", 1, nullptr, "JJ/MM/AAAA"},
        {"UseSystemMask", 0, nullptr, "HH:MM:SS"},
        {"UseSystemMask", 1, DT17, "JJ/MM/AAAA HH:mm:SS"},
        {"UseSystemMask ", 1, nullptr, "UseSystemMask "},
    };
    for (const auto& c : cas) {
        CMasqueDateHeure cl(c.pszMasque, c.nDate, c.pszFormatRetour);
        EXPECT_STREQ(cl.pszGetMasque(), c.pszAttendu) << c.pszMasque;
        EXPECT_STREQ(cl.pszGetMasqueOrigine(), c.pszMasque);
    }
    CMasqueDateHeure cl("UseSystemMask", 1, DT17);
    CTString clRes;
    cl.FormateEx("20240305143005789", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "05/03/2024 14:30:05");
    CTString clParam;
    CMasque::_GetWinIntlParam("sShortDate", "defaut", clParam);
    EXPECT_STREQ(clParam.pszGet(), "defaut");
}

TEST(MaskSystem, FromIntlSettings) {
    CHomeTemporaire clHome;
    ASSERT_TRUE(clHome.bEcritConf("[other]\nsShortDate = no\n[intl]\nsShortDate = yyyy-MM-dd\n"
                                  "sTimeFormat = hh:mm:ss tt\nsLong = 0123456789abcdefXYZ\n"));
    const struct {
        const char* pszMasque;
        int nDate;
        const char* pszFormatRetour;
        const char* pszAttendu;
    } cas[] = {
        {"UseSystemMask", 1, nullptr, "AAAA-MM-JJ"},
        {"UseSystemMask", 0, nullptr, "HH:MM:SS AM"},
        {"UseSystemMask", 1, DT17, "AAAA-MM-JJ HH:mm:SS AM"},
    };
    for (const auto& c : cas) {
        CMasqueDateHeure cl(c.pszMasque, c.nDate, c.pszFormatRetour);
        EXPECT_STREQ(cl.pszGetMasque(), c.pszAttendu);
    }
    CMasqueDateHeure cl("UseSystemMask", 1, DT17);
    CTString clRes;
    cl.FormateEx("20240305143005789", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "2024-03-05 02:30:05 PM");
    cl.DeformateDateHeure("2024-03-05 02:30:05 PM", clRes, 0);
    EXPECT_STREQ(clRes.pszGet(), "20240305143005000");
    // At most 16 characters of a setting.
    CTString clParam;
    CMasque::_GetWinIntlParam("sLong", "", clParam);
    EXPECT_STREQ(clParam.pszGet(), "0123456789abcdef");

    // Short forms of the year and single letters.
    ASSERT_TRUE(clHome.bEcritConf("[intl]\nsShortDate=d/M/yy\nsTimeFormat=H:mm\n"));
    EXPECT_STREQ(CMasqueDateHeure("UseSystemMask", 1).pszGetMasque(), "J/M/AA");
    EXPECT_STREQ(CMasqueDateHeure("UseSystemMask", 0).pszGetMasque(), "H:MM");
    EXPECT_STREQ(CMasqueDateHeure("UseSystemMask", 1, "YYYYMMDDHHmmSS").pszGetMasque(), "J/M/AA H:mm");
}

TEST(MaskSystem, LanguageInformationMasksReplaceSettings) {
    CHomeTemporaire clHome;
    ASSERT_TRUE(clHome.bEcritConf("[intl]\nsShortDate=yyyy-MM-dd\n"));
    CInfoLangueTest* pi = _pNouvelleInfo();
    CMasqueDateHeure cl("UseSystemMask", 1, DT17);
    EXPECT_STREQ(cl.pszGetMasque(), "AAAA-MM-JJ HH:mm:SS");
    // The system mask follows the language information given afterwards.
    cl.SetInfoLangue(pi, 0, 0);
    EXPECT_STREQ(cl.pszGetMasque(), "JJ.MM.AAAA HH.mm");
    CMasqueDateHeure clHeure("UseSystemMask", 0);
    clHeure.SetInfoLangue(pi, 0, 0);
    EXPECT_STREQ(clHeure.pszGetMasque(), "HH.MM");
    // An empty mask of the description keeps the settings.
    pi->sMasqueDate = "";
    pi->sMasqueHeure = "";
    cl.SetInfoLangue(pi, 0, 0);
    EXPECT_STREQ(cl.pszGetMasque(), "AAAA-MM-JJ HH:mm:SS");
    // Released: back to the settings; an ordinary mask is never replaced.
    pi->sMasqueDate = "JJ.MM.AAAA";
    cl.SetInfoLangue(nullptr, 0, 0);
    EXPECT_STREQ(cl.pszGetMasque(), "AAAA-MM-JJ HH:mm:SS");
    CMasqueDateHeure clOrdinaire("JJ/MM", 1);
    clOrdinaire.SetInfoLangue(pi, 0, 0);
    EXPECT_STREQ(clOrdinaire.pszGetMasque(), "JJ/MM");
    // The return format decides whether the time is appended.
    CMasqueDateHeure clDate("UseSystemMask", 1);
    clDate.SetInfoLangue(pi, 0, 0);
    EXPECT_STREQ(clDate.pszGetMasque(), "JJ.MM.AAAA");
    clDate.SetFormatRetour("AAAAMMJJHHmmSS");
    EXPECT_STREQ(clDate.pszGetMasque(), "JJ.MM.AAAA HH:mm:SS");
    pi->Release();
}

}  // namespace
