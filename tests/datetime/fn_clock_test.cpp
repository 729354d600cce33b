// The current date and time and the setting of the clock, always through
// the test's own clock: no test reads or changes the machine's.
#include <linux/capability.h>
#include <sys/syscall.h>

#include <cerrno>

#include "datetime/lecteur_date.h"
#include "fn_fixture.h"

using namespace fntest;

namespace {

using Horloge = FnTest;

// Today's date and the time now at the fixed instant are rows of the
// table of cases; here, the local zone's day once UTC is still the day before.
TEST_F(Horloge, TodayInTheLocalZone) {
    // Just before midnight UTC it is already the next day in Paris.
    STHorlogeTest::stMaintenant = {llUTC(2024, 12, 31, 23, 30, 0), 999};
    EXPECT_EQ(Appel("DateSys", 0, {}).s, "20250101");
    EXPECT_EQ(Appel("HeureSys", 0, {}).s, "00300099");
    EXPECT_TRUE(STHorlogeTest::tabRegle.empty());
}

// Setting the date keeps the time of day; setting the time keeps the date.
// The clock is set at the second, read as local time.
TEST_F(Horloge, SettingTheClock) {
    struct STCas {
        const char* pszFr;
        const char* pszValeur;
        int64_t llAttendu;   // the second handed to the clock
    } tab[] = {
        // Winter: Paris is UTC+1.
        {"DateSys", "20250102", llUTC(2025, 1, 2, 11, 20, 30)},
        {"DateDuJour", "20250102", llUTC(2025, 1, 2, 11, 20, 30)},
        // Summer: UTC+2.
        {"DateSys", "20240801", llUTC(2024, 8, 1, 10, 20, 30)},
        {"HeureSys", "0745", llUTC(2024, 7, 14, 5, 45, 0)},
        {"Maintenant", "23595999", llUTC(2024, 7, 14, 21, 59, 59)},
        {"HeureSys", "", llUTC(2024, 7, 13, 22, 0, 0)},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(std::string(c.pszFr) + " " + c.pszValeur);
        STHorlogeTest::tabRegle.clear();
        STRes st = Appel(c.pszFr, 1, {T(c.pszValeur)});
        EXPECT_FALSE(st.bResultat);
        EXPECT_EQ(st.nErreur, 0) << st.sMessage;
        ASSERT_EQ(STHorlogeTest::tabRegle.size(), 1u);
        EXPECT_EQ(STHorlogeTest::tabRegle[0], c.llAttendu);
    }
}

TEST_F(Horloge, AClockThatRefusesIsAnError) {
    STHorlogeTest::nReponse = EPERM;
    STRes st = Appel("DateSys", 1, {T("20250102")});
    EXPECT_EQ(st.nErreur, 80014);
    EXPECT_EQ(st.nSysteme, EPERM);
    STHorlogeTest::nReponse = EINVAL;
    st = Appel("HeureSys", 1, {T("0800")});
    EXPECT_EQ(st.nErreur, 80153);
    EXPECT_EQ(st.nSysteme, EINVAL);
    EXPECT_EQ(STHorlogeTest::tabRegle.size(), 2u);
}

// The machine's own setter asks for the right first. The test takes the
// right away from itself (effective set only) and gives it back after, so
// that the clock is never at risk.
TEST(HorlogeSysteme, RefusedWithoutTheRight) {
    __user_cap_header_struct stEntete{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct tabAvant[_LINUX_CAPABILITY_U32S_3] = {};
    ASSERT_EQ(syscall(SYS_capget, &stEntete, tabAvant), 0);
    __user_cap_data_struct tabSans[_LINUX_CAPABILITY_U32S_3];
    memcpy(tabSans, tabAvant, sizeof tabSans);
    tabSans[CAP_TO_INDEX(CAP_SYS_TIME)].effective &= ~CAP_TO_MASK(CAP_SYS_TIME);
    stEntete = {_LINUX_CAPABILITY_VERSION_3, 0};
    if (syscall(SYS_capset, &stEntete, tabSans) != 0) GTEST_SKIP() << "cannot drop the right to set the clock";
    STInstant st = FN_LitHorlogeSysteme();
    const int n = FN_nRegleHorlogeSysteme(st.llSecondes);
    stEntete = {_LINUX_CAPABILITY_VERSION_3, 0};
    EXPECT_EQ(syscall(SYS_capset, &stEntete, tabAvant), 0);
    EXPECT_EQ(n, EPERM);
}

TEST(HorlogeSysteme, ReadsTheRealTimeClock) {
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    STInstant st = FN_LitHorlogeSysteme();
    EXPECT_GE(st.llSecondes, int64_t(ts.tv_sec));
    EXPECT_GE(st.nMillisecondes, 0);
    EXPECT_LT(st.nMillisecondes, 1000);
}

// The legacy reader with the formats it may be given.
TEST(LecteurDates, FormatsAndHostileTexts) {
    struct STCas {
        const char* pszTexte;
        const char* pszFormat;
        bool bOk;
        const char* pszAttendu;
    } tab[] = {
        {"05/03/2024", "JJ/MM/AAAA", true, "20240305"},
        {"05/03/2024", "jj/mm/aaaa", true, "20240305"},
        {"03/05/2024", "MM/DD/YYYY", true, "20240305"},
        {"2024-03-05", "AAAA-MM-JJ", true, "20240305"},
        {"05/03/24", "JJ/MM/AA", true, "20240305"},
        {"05/03/75", "JJ/MM/AA", true, "19750305"},
        {"05/03/50", "JJ/MM/AA", true, "20500305"},
        {"05/03/00", "JJ/MM/AA", true, "20000305"},
        {"05/03/100", "JJ/MM/AA", false, ""},   // not a two-digit year
        {"240305", "AAMMJJ", true, "20240305"},   // the month follows: no number check
        {"00/03/2024", "JJ/MM/AAAA", false, ""},
        {"05/03", "JJ/MM/AAAA", true, "0305"},    // the year runs out: taken empty
        {"", "JJ/MM/AAAA", false, ""},
        {"05/03/2024", "", false, ""},
        {"05/03/2024", "JJ/MM", false, ""},
        {"x", "JJJJJJJJ/MMMMMMM/AAAAAAAAA", false, ""},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(std::string(c.pszTexte) + " / " + c.pszFormat);
        char sz[9] = "zzzzzzzz";
        EXPECT_EQ(bChaineVersDate(c.pszTexte, c.pszFormat, sz), c.bOk);
        if (c.bOk) {
            EXPECT_STREQ(sz, c.pszAttendu);
        }
    }
    // Long texts and formats: at most 8 characters come out.
    std::string sLong(10000, '1'), sFormat(10000, 'A');
    for (const auto& p : {std::pair{sLong, std::string("JJMMAAAA") + sFormat}, std::pair{sLong, sFormat}}) {
        char sz[9];
        if (bChaineVersDate(p.first.c_str(), p.second.c_str(), sz)) {
            EXPECT_LE(strlen(sz), 8u);
        }
    }
}

}  // namespace
