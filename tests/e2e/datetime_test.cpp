// The date and time functions through the reference host, by their French
// names in French and by their English names in English: values, result
// types and errors. The time zone and the home are the test's own; the
// clock is never set (the test gives up the right to set it first).
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/temp_home.h"
#include "e2e_common.h"
#include "infolangue.h"
#include "module.h"

using e2e::json;

namespace {

struct STCas {
    const char* pszFr;
    const char* pszEn;
    std::vector<json> tabArgs;
    json jValeur;
    int nType;
    int nErreur;   // 0: no error
};

const std::vector<STCas>& Cas() {
    static const std::vector<STCas> s_tab = {
        {"DateVersEntier", "DateToInteger", {"18000101"}, 1, 0x08, 0},
        {"DateVersEntier", "DateToInteger", {"19000101"}, 36525, 0x08, 0},
        {"DateVersEntier", "DateToInteger", {"20000101"}, 73049, 0x08, 0},
        {"DateVersEntier", "DateToInteger", {"99991231"}, 2994988, 0x08, 0},
        {"DateVersEntier", "DateToInteger", {"20240301", 1}, 61, 0x08, 0},
        {"DateVersEntier", "DateToInteger", {"2024"}, -1, 0x08, 80121},
        {"DateVersEntier", "DateToInteger", {"20230229"}, -1, 0x08, 80127},
        {"EntierVersDate", "IntegerToDate", {1}, "18000101", 0x13, 0},
        {"EntierVersDate", "IntegerToDate", {2994988}, "99991231", 0x13, 0},
        {"EntierVersDate", "IntegerToDate", {1, "AAAA"}, "1800", 0x13, 0},
        {"EntierVersDate", "IntegerToDate", {1, "mm"}, "01", 0x13, 0},
        {"EntierVersDate", "IntegerToDate", {2994990}, "", 0x13, 80132},
        {"EntierVersJour", "IntegerToDay", {1}, 3, 0x08, 0},
        {"EntierVersJour", "IntegerToDay", {5}, 7, 0x08, 0},
        {"EntierVersHeure", "IntegerToTime", {9000000}, "25000000", 0x13, 0},
        {"EntierVersHeure", "IntegerToTime", {-1}, "", 0x13, 80120},
        {"HeureVersEntier", "TimeToInteger", {"12345678"}, 4529678, 0x08, 0},
        {"HeureVersEntier", "TimeToInteger", {"0060"}, -1, 0x08, 80130},
        {"HeureVersChaîne", "TimeToString", {"12345678"}, "12:34:56:78", 0x13, 0},
        {"HeureVersChaîne", "TimeToString", {"0030", "HH:MM AP"}, "12:30 AM", 0x13, 0},
        {"HeureVersChaîne", "TimeToString", {"1305", "HH:MM AP"}, "01:05 PM", 0x13, 0},
        {"HeureVersChaîne", "TimeToString", {"1305", "hh:mm"}, "13:05", 0x13, 0},
        {"HeureVersChaîne", "TimeToString", {"2a", "hh:mm"}, "", 0x13, 80128},
        {"DateVersChaîne", "DateToString", {"20240305"}, "05/03/2024", 0x13, 0},
        {"DateVersChaîne", "DateToString", {"20240305", "JJ/MM/AAAA"}, "05/03/2024", 0x13, 0},
        {"DateVersChaîne", "DateToString", {"20240305", "J/M/AA"}, "5/3/24", 0x13, 0},
        {"DateVersChaîne", "DateToString", {"", "J/M/AA"}, "", 0x13, 0},
        {"DateVersChaîne", "DateToString", {"20240332", "J/M/AA"}, "", 0x13, 80126},
        {"DateValide", "DateValid", {"20240229"}, true, 0x01, 0},
        {"DateValide", "DateValid", {"20230229"}, false, 0x01, 0},
        {"DateEstValide", "DateIsValid", {"15000229"}, true, 0x01, 0},
        {"HeureValide", "TimeValid", {"2359"}, 1, 0x08, 0},
        {"HeureValide", "TimeValid", {"2400"}, 0, 0x08, 0},
        {"HeureEstValide", "TimeIsValid", {"0000"}, 1, 0x08, 0},
        {"NuméroDeSemaine", "WeekNumber", {"20210101"}, 0, 0x08, 0},
        {"NuméroDeSemaine", "WeekNumber", {"20210104"}, 1, 0x08, 0},
        {"NuméroDeSemaine", "WeekNumber", {"20190101"}, 1, 0x08, 0},
        {"NuméroDeSemaine", "WeekNumber", {"20241231"}, 53, 0x08, 0},
        {"NuméroDeSemaine", "WeekNumber", {"2024123"}, -1, 0x08, 80121},
        {"DateVersNuméroDeSemaine", "DateToWeekNumber", {"20241231"}, 53, 0x08, 0},
        {"EntierVersNuméroDeSemaine", "IntegerToWeekNumber", {73049}, 0, 0x08, 0},
        {"EntierVersNuméroDeSemaine", "IntegerToWeekNumber", {2994990}, -1, 0x08, 80132},
        {"DateVersJour", "DateToDay", {"20240101"}, 1, 0x08, 0},
        {"DateDifférence", "DateDifference", {"20240101", "20240301"}, 60, 0x08, 0},
        {"DateDifférence", "DateDifference", {"20240101", "2024030"}, -1, 0x08, 80134},
        {"HeureDifférence", "TimeDifference", {"0800", "1730"}, 3420000, 0x08, 0},
        {"HeureDifférence", "TimeDifference", {"0800", "2500"}, -1, 0x08, 80134},
        {"DateHeureDifférence", "DateTimeDifference", {"20240101", "20240101"}, "+000000000000000", 0x13, 0},
        {"DateHeureDifférence", "DateTimeDifference", {"20240101", "202312312359"}, "-000000000010000", 0x13, 0},
        {"DateHeureDifférence", "DateTimeDifference", {"2024", "20240101"}, "", 0x13, 80134},
        {"ChaîneVersDate", "StringToDate", {"05/03/2024"}, "20240305", 0x13, 0},
        {"ChaîneVersDate", "StringToDate", {"00/03/2024"}, "", 0x13, 0},
        {"ChaîneVersDate", "StringToDate", {"5/3/24", "J/M/AA"}, "20240305", 0x13, 0},
        {"ChaîneVersDate", "StringToDate", {"5/3/99", "j/M/aa"}, "", 0x13, 0},
        {"ChaîneVersDate", "StringToDate", {"05/03/99", "jj/MM/aa"}, "19990305", 0x13, 0},
        {"ChaîneVersDurée", "StringToDuration", {"1020304005", 0}, 93784005, 0x1B, 0},
        {"ChaîneVersDurée", "StringToDuration", {"102030400", 1}, 93784000, 0x1B, 0},
        {"ChaîneVersDurée", "StringToDuration", {"abc", 0}, 0, 0x1B, 0},
        {"ChaîneVersDurée", "StringToDuration", {"02:30", "HH:MM"}, 9000000, 0x1B, 0},
        {"DuréeVersChaîne", "DurationToString", {json{{"dur", 93784005}}, 0}, "1020304005", 0x13, 0},
        {"DuréeVersChaîne", "DurationToString", {json{{"dur", -93784005}}, 1}, "-102030400", 0x13, 0},
        {"DuréeVersChaîne", "DurationToString", {json{{"dur", 93784005}}, "HH:MM:SS.LL"}, "02:03:04.00", 0x13, 0},
        {"Age", "Age", {"20000229", "20010228"}, "00001128", 0x13, 0},
        {"Age", "Age", {"20010228", "20000229"}, "", 0x13, 0},
        {"Age", "Age", {"2000"}, "", 0x13, 0},
        {"Pâques", "Easter", {"2024"}, "20240331", 0x13, 0},
        {"Pâques", "Easter", {2024}, "20240331", 0x13, 0},
        {"Pâques", "Easter", {1582}, "", 0x13, 0},
        {"Pâques", "Easter", {10000}, "", 0x13, 0},
        {"DateHeureUTCVersLocale", "DateTimeUTCToLocal", {json{{"datetime", "20240701120000000"}}},
         "20240701140000000", 0x13, 0},
        {"DateHeureUTCVersLocale", "DateTimeUTCToLocal", {json{{"datetime", ""}}}, "", 0x13, 80051},
        {"DateHeureLocaleVersUTC", "DateTimeLocalToUTC", {json{{"datetime", "20240101120000123"}}},
         "20240101110000123", 0x13, 0},
        {"HeureSys", "TimeSys", {"2400"}, nullptr, 0, 80131},
        {"Maintenant", "Now", {"12a"}, nullptr, 0, 80128},
        {"DateSys", "DateSys", {"20240230"}, nullptr, 0, 80126},
        {"DateDuJour", "Today", {"2024"}, nullptr, 0, 80121},
    };
    return s_tab;
}

class DatesE2E : public ::testing::Test {
protected:
    void SetUp() override {
        const char* psz = getenv("TZ");
        m_bTZ = psz != nullptr;
        if (m_bTZ) m_sTZ = psz;
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
        ASSERT_FALSE(m_clHome.sRep().empty());
        e2e::Session();
    }
    void TearDown() override {
        e2e::Session().Langue("fr");
        if (m_bTZ)
            setenv("TZ", m_sTZ.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    static void Verifie(const json& j, const STCas& c, const std::string& sNom) {
        SCOPED_TRACE(sNom + json(c.tabArgs).dump() + " -> " + j.dump());
        if (c.nErreur != 0) {
            ASSERT_TRUE(j["error"].is_object());
            EXPECT_EQ(j["error"]["code"], c.nErreur);
            EXPECT_FALSE(j["error"]["message"].get<std::string>().empty());
        } else {
            EXPECT_TRUE(j["error"].is_null());
        }
        if (c.nType != 0) {
            EXPECT_EQ(j["type"], c.nType);
            EXPECT_EQ(j["value"], c.jValeur);
        }
    }

    bool m_bTZ = false;
    std::string m_sTZ;
    CHomeTemporaire m_clHome;   // a home of the test's own for the fixture's life
};

TEST_F(DatesE2E, FrenchNamesInFrench) {
    e2e::Session().Langue("fr");
    for (const auto& c : Cas()) Verifie(e2e::Appel(c.pszFr, c.tabArgs), c, c.pszFr);
}

TEST_F(DatesE2E, EnglishNamesInEnglish) {
    e2e::Session().Langue("en");
    for (const auto& c : Cas()) Verifie(e2e::Appel(c.pszEn, c.tabArgs), c, c.pszEn);
}

TEST_F(DatesE2E, NamesAndMasksInBothLanguages) {
    struct STNom {
        const char* pszNom;
        std::vector<json> tabArgs;
        const char* pszFr;
        const char* pszEn;
    } tab[] = {
        {"EntierVersJourEnLettre", {1}, "Mercredi", "Wednesday"},
        {"DateVersJourEnLettre", {"20240714"}, "Dimanche", "Sunday"},
        {"EntierVersMoisEnLettre", {73049 + 31 + 29 + 31 + 30 + 31 + 30 + 31}, "Août", "August"},
        {"DateVersMoisEnLettre", {"20241215"}, "Décembre", "December"},
        {"DateVersChaîne", {"20240305", "JJJJ JJ MMMM AAAA"}, "Mardi 05 Mars 2024", "Tuesday 05 March 2024"},
        {"DateVersChaîne", {"20240705", "dd mmm yyyy"}, "05 Juil. 2024", "05 Jul. 2024"},
        {"ChaîneVersDate", {"15 Août 2024", "jj mmmm aaaa"}, "20240815", ""},
        {"ChaîneVersDate", {"15 August 2024", "dd mmmm yyyy"}, "", "20240815"},
        {"DuréeVersChaîne", {json{{"dur", 93784005}}, "J HH:MM:SS.LLL"}, "1 02:03:04.005", "J 02:03:04.005"},
        {"DuréeVersChaîne", {json{{"dur", 93784005}}, "D HH:MM:SS.LLL"}, "D 02:03:04.005", "1 02:03:04.005"},
    };
    for (const char* pszLangue : {"fr", "en"}) {
        e2e::Session().Langue(pszLangue);
        const bool bFr = std::string(pszLangue) == "fr";
        for (const auto& c : tab) {
            json j = e2e::Appel(c.pszNom, c.tabArgs);
            SCOPED_TRACE(std::string(pszLangue) + " " + c.pszNom + json(c.tabArgs).dump() + " -> " + j.dump());
            EXPECT_TRUE(j["error"].is_null());
            EXPECT_EQ(j["value"], bFr ? c.pszFr : c.pszEn);
        }
        json j = e2e::Appel("EntierVersMoisEnLettre", {2994990});
        EXPECT_EQ(j["error"]["code"], 80132);
        EXPECT_EQ(j["value"], "");
    }
}

// The host's language-information object on its own: names and masks of
// the interface language, in the component's character set.
TEST(InfoLangueHote, NamesMasksAndFlags) {
    qvhost::CInfoLangue& cl = qvhost::InfoLangue();
    const int nLangue = qvhost::EtatHote().nLangue;
    cl.SetCharset(qvhost::eCharset::CP1252);
    qvhost::EtatHote().nLangue = qvhost::LANGUE_FR;
    const STInfoLangueDate* pstFr = cl.pstGetDescriptionDate();
    ASSERT_NE(pstFr, nullptr);
    EXPECT_STREQ(pstFr->pszMasqueDate, "JJ/MM/AAAA");
    EXPECT_EQ(std::string(pstFr->pszMois).substr(0, 15), "Janvier;F\xE9vrier");
    EXPECT_EQ(std::string(pstFr->pszJours).substr(0, 6), "Lundi;");
    qvhost::EtatHote().nLangue = qvhost::LANGUE_EN;
    const STInfoLangueDate* pstEn = cl.pstGetDescriptionDate();
    EXPECT_STREQ(pstEn->pszMasqueDate, "MM/JJ/AAAA");
    EXPECT_EQ(std::string(pstEn->pszJours).substr(0, 7), "Monday;");
    const STInfoLangueHeure* pstH = cl.pstGetDescriptionHeure();
    EXPECT_STREQ(pstH->pszAM, "AM");
    EXPECT_STREQ(pstH->pszPM, "PM");
    // Records handed out earlier stay valid.
    EXPECT_STREQ(pstFr->pszMasqueDate, "JJ/MM/AAAA");
    EXPECT_EQ(cl.bNePasUtiliserDescriptionDate(), 0);
    cl.SetNePasUtiliser(true, true);
    EXPECT_NE(cl.bNePasUtiliserDescriptionDate(), 0);
    EXPECT_NE(cl.bNePasUtiliserDescriptionHeure(), 0);
    cl.SetNePasUtiliser(false, false);
    EXPECT_NE(cl.bNePasUtiliserFormatNumerique(), 0);
    const int32_t nRef = cl.nGetRef();
    EXPECT_EQ(cl.AddRef(), nRef + 1);
    EXPECT_EQ(cl.Release(), nRef);
    qvhost::EtatHote().nLangue = nLangue;
}

// The host's own language information: its system masks differ by language.
TEST_F(DatesE2E, SystemMaskOfTheHost) {
    if (e2e::Session().Hote().bInfoVM(14, 0) == 0) GTEST_SKIP() << "the host offers no language information";
    e2e::Session().Langue("fr");
    EXPECT_EQ(e2e::Appel("DateVersChaîne", {"20240305", "UseSystemMask"})["value"], "05/03/2024");
    e2e::Session().Langue("en");
    EXPECT_EQ(e2e::Appel("DateToString", {"20240305", "UseSystemMask"})["value"], "03/05/2024");
}

// Today and now agree with the C library's local time (a day or a minute
// that turns during the calls is read again).
TEST_F(DatesE2E, TodayAndNow) {
    for (int nEssai = 0; nEssai < 3; ++nEssai) {
        auto fnLocal = [](const char* pszFormat) {
            time_t t = time(nullptr);
            struct tm st {};
            localtime_r(&t, &st);
            char sz[32];
            strftime(sz, sizeof sz, pszFormat, &st);
            return std::string(sz);
        };
        std::string sAvant = fnLocal("%Y%m%d%H%M");
        json jDate = e2e::Appel("DateSys", {}), jJour = e2e::Appel("DateDuJour", {});
        json jHeure = e2e::Appel("HeureSys", {}), jMaintenant = e2e::Appel("Maintenant", {});
        std::string sApres = fnLocal("%Y%m%d%H%M");
        if (sAvant != sApres) continue;
        EXPECT_EQ(jDate["value"], sAvant.substr(0, 8));
        EXPECT_EQ(jJour["value"], sAvant.substr(0, 8));
        EXPECT_EQ(jHeure["value"].get<std::string>().substr(0, 4), sAvant.substr(8, 4));
        EXPECT_EQ(jMaintenant["value"].get<std::string>().substr(0, 4), sAvant.substr(8, 4));
        EXPECT_EQ(jHeure["value"].get<std::string>().size(), 8u);
        return;
    }
    ADD_FAILURE() << "the minute kept turning";
}

// A valid date or time goes to the clock, which refuses: the test process
// has given up the right to set it (effective set only, given back after).
TEST_F(DatesE2E, SettingTheClockWithoutTheRight) {
    __user_cap_header_struct stEntete{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct tabAvant[_LINUX_CAPABILITY_U32S_3] = {};
    ASSERT_EQ(syscall(SYS_capget, &stEntete, tabAvant), 0);
    __user_cap_data_struct tabSans[_LINUX_CAPABILITY_U32S_3];
    memcpy(tabSans, tabAvant, sizeof tabSans);
    tabSans[CAP_TO_INDEX(CAP_SYS_TIME)].effective &= ~CAP_TO_MASK(CAP_SYS_TIME);
    stEntete = {_LINUX_CAPABILITY_VERSION_3, 0};
    if (syscall(SYS_capset, &stEntete, tabSans) != 0) GTEST_SKIP() << "cannot give up the right to set the clock";
    std::vector<json> tabReponses;
    for (const char* psz : {"DateSys", "DateDuJour", "HeureSys", "Maintenant"})
        tabReponses.push_back(e2e::Appel(psz, {psz[0] == 'D' ? "20240101" : "1200"}));
    stEntete = {_LINUX_CAPABILITY_VERSION_3, 0};
    EXPECT_EQ(syscall(SYS_capset, &stEntete, tabAvant), 0);
    for (const json& j : tabReponses) {
        SCOPED_TRACE(j.dump());
        EXPECT_EQ(j["error"]["code"], 80014);
        EXPECT_TRUE(j["value"].is_null());
    }
}

}  // namespace
