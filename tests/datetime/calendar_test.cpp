// Day numbers of both families, the legacy string checks and the checking
// functions of the date functions.

// 64-bit seconds for the comparison with the C library's calendar, also in
// the i386 build (years before 1902 and after 2038).
#ifndef _FILE_OFFSET_BITS
#define _FILE_OFFSET_BITS 64
#endif
#ifndef _TIME_BITS
#define _TIME_BITS 64
#endif

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <string>

#include "datetime/calendar.h"
#include "datetime/datetime.h"
#include "datetime/dtinternal.h"
#include "qvstd/xerror.h"

namespace {

struct STCasJour {
    int nJour, nMois, nAnnee;
    bool bValide;
    int32_t nAttendu;        // date-time rule
    int32_t nAttenduLegacy;  // legacy rule
};

// Day numbers worked out by hand from the two rules.
const STCasJour gCasJours[] = {
    {1, 1, 1800, true, 1, 1},
    {31, 12, 1799, true, 0, 0},
    {1, 1, 1900, true, 36525, 36525},
    {1, 1, 1970, true, 62092, 62092},
    {1, 1, 2000, true, 73049, 73049},
    {29, 2, 2000, true, 73108, 73108},
    {31, 12, 9999, true, 2994988, 2994988},
    // The 1582 correction: +10 days (century 0) and -2 days (century 15).
    {4, 10, 1582, true, -79336, -79348},
    {15, 10, 1582, true, -79335, -79335},
    {5, 10, 1582, true, -79345, -79345},
    {1, 11, 1582, true, -79308, -79320},
    {31, 12, 1582, true, -79258, -79258},
    {1, 1, 1583, true, -79257, -79257},
    // Julian leap years before 1583.
    {29, 2, 1500, true, -109513, -109513},
    {1, 3, 1500, true, -109502, -109514},
    {1, 1, 1, true, -657049, -657060},
    // Not dates.
    {29, 2, 1900, false, 0, 0},
    {31, 4, 2024, false, 0, 0},
    {0, 1, 2024, false, 0, 0},
    {1, 0, 2024, false, 0, 0},
    {1, 13, 2024, false, 0, 0},
    {32, 1, 2024, false, 0, 0},
    {1, 1, 0, false, 0, 0},
};

TEST(JourNumero, DateTimeRule) {
    for (const auto& c : gCasJours) {
        SCOPED_TRACE(testing::Message() << c.nJour << "/" << c.nMois << "/" << c.nAnnee);
        int32_t n = -12345;
        EXPECT_EQ(CDateTimeBase::__bDateVersEntier(c.nJour, c.nMois, c.nAnnee, n, true), c.bValide);
        if (c.bValide) {
            EXPECT_EQ(n, c.nAttendu);
        }
        EXPECT_EQ(CDateTimeBase::s_nDateVersEntier(c.nJour, c.nMois, c.nAnnee), c.bValide ? c.nAttendu : 0);
    }
}

TEST(JourNumero, LegacyRule) {
    for (const auto& c : gCasJours) {
        SCOPED_TRACE(testing::Message() << c.nJour << "/" << c.nMois << "/" << c.nAnnee);
        int32_t n = -12345;
        EXPECT_EQ(bJourGregorien(c.nJour, c.nMois, c.nAnnee, n), c.bValide);
        EXPECT_EQ(n, c.bValide ? c.nAttenduLegacy : 0);   // 0 on failure
    }
}

TEST(JourNumero, UncheckedFormAndJourGregorien) {
    int32_t n = 0;
    // Year 10000 and year 0 are only reachable without the range check.
    EXPECT_FALSE(CDateTimeBase::__bDateVersEntier(1, 1, 10000, n, true));
    EXPECT_TRUE(CDateTimeBase::__bDateVersEntier(1, 1, 10000, n, false));
    EXPECT_EQ(n, 2994989);
    EXPECT_TRUE(CDateTimeBase::__bDateVersEntier(1, 1, 0, n, false));
    EXPECT_EQ(n, -657413);
    // The month is always checked: the month table is never read outside.
    EXPECT_FALSE(CDateTimeBase::__bDateVersEntier(1, 0, 2000, n, false));
    EXPECT_FALSE(CDateTimeBase::__bDateVersEntier(1, 13, 2000, n, false));
    EXPECT_FALSE(CDateTimeBase::__bDateVersEntier(1, INT_MIN, 2000, n, false));
    // Far years do not wrap around.
    EXPECT_FALSE(CDateTimeBase::__bDateVersEntier(1, 1, INT_MAX, n, false));
    EXPECT_FALSE(CDateTimeBase::__bDateVersEntier(1, 1, INT_MIN, n, false));

    EXPECT_TRUE(JourGregorien(1, 1, 1800, n));
    EXPECT_EQ(n, 1);
    EXPECT_TRUE(JourGregorien(4, 10, 1582, n));
    EXPECT_EQ(n, -79336);
    EXPECT_TRUE(JourGregorien(1, 1, 0, n));
    EXPECT_EQ(n, -657413);
    EXPECT_FALSE(JourGregorien(1, 13, 2000, n));
    EXPECT_FALSE(JourGregorien(30, 2, 2000, n));
    EXPECT_EQ(NumJourGreg(1, 1, 1800), 0);
    EXPECT_EQ(NumJourGreg(2, 1, 1800), 1);
    EXPECT_EQ(NumJourGreg(30, 2, 2000), 0);
}

TEST(JourNumero, LeapYears) {
    const struct {
        int nAnnee;
        int nLegacy;     // nBissextille / __nBissextile
        bool bGregorien; // CXTime rule, tested with CXTime
    } cas[] = {{1500, 1, false}, {1600, 1, true}, {1700, 0, false}, {1800, 0, false}, {1900, 0, false},
               {2000, 1, true},  {2023, 0, false}, {2024, 1, true},  {1582, 0, false}, {1580, 1, true},
               {100, 1, false},  {4, 1, true},     {0, 1, true}};
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nAnnee);
        EXPECT_EQ(CDateTimeBase::__nBissextile(c.nAnnee), c.nLegacy);
        EXPECT_EQ(nBissextille(c.nAnnee), c.nLegacy);
    }
    EXPECT_EQ(CDateTimeBase::s_nGetNbJourMois(2, 1500), 29);
    EXPECT_EQ(CDateTimeBase::s_nGetNbJourMois(2, 1900), 28);
    EXPECT_EQ(CDateTimeBase::s_nGetNbJourMois(2, 2000), 29);
    EXPECT_EQ(CDateTimeBase::s_nGetNbJourMois(12, 2000), 31);
    EXPECT_EQ(CDateTimeBase::s_nGetNbJourMois(0, 2000), 0);
    EXPECT_EQ(CDateTimeBase::s_nGetNbJourMois(13, 2000), 0);
}

TEST(JourNumero, NumberToDate) {
    const struct {
        int32_t n;
        bool bOk;
        int nJour, nMois, nAnnee;
    } cas[] = {
        {1, true, 1, 1, 1800},
        {0, true, 31, 12, 1799},
        {36525, true, 1, 1, 1900},
        {62092, true, 1, 1, 1970},
        {73049, true, 1, 1, 2000},
        {73108, true, 29, 2, 2000},
        {2994988, true, 31, 12, 9999},
        {2994989, true, 1, 1, 10000},
        // Up to 1582 the year starts from its corrected 1 January.
        {-79335, true, 5, 10, 1582},
        {-79258, true, 21, 12, 1582},
        {-79257, true, 1, 1, 1583},
        {-657413, true, 1, 1, 0},
        // Outside the numbers of years 0 to 10000.
        {2994990, false, 0, 0, 0},
        {INT32_MAX, false, 0, 0, 0},
        {-657414, false, 0, 0, 0},
        {-700000, false, 0, 0, 0},
        {INT32_MIN, false, 0, 0, 0},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.n);
        int j = -1, m = -1, a = -1;
        ASSERT_EQ(CDateTimeBase::__bEntierVersDate(c.n, j, m, a), c.bOk);
        if (c.bOk) {
            EXPECT_EQ(j, c.nJour);
            EXPECT_EQ(m, c.nMois);
            EXPECT_EQ(a, c.nAnnee);
        }
        uint16_t wj = 0, wm = 0, wa = 0;
        CXError cl;
        EXPECT_EQ(bNumEnDate(c.n, wj, wm, wa, &cl), c.bOk);
        if (c.bOk) {
            EXPECT_FALSE(cl.bIsError());
            EXPECT_EQ(wj, c.nJour);
            EXPECT_EQ(wm, c.nMois);
            EXPECT_EQ(wa, c.nAnnee);
        } else {
            EXPECT_EQ(cl.nGetUserError(), 80132);
        }
        EXPECT_EQ(bNumEnDate(c.n, wj, wm, wa, nullptr), c.bOk);
    }
}

// Every number from year 0 to year 10000 gives a date that lies within its
// month, with the early years' corrections included, and never reads
// outside the month tables.
TEST(JourNumero, NumberToDateWholeRange) {
    int32_t nPrecedent = 0;
    for (int32_t n = -657413; n <= 2994989; ++n) {
        int j = 0, m = 0, a = 0;
        ASSERT_TRUE(CDateTimeBase::__bEntierVersDate(n, j, m, a)) << n;
        ASSERT_GE(m, 1);
        ASSERT_LE(m, 12);
        ASSERT_GE(j, 1);
        ASSERT_LE(j, CDateTimeBase::s_nGetNbJourMois(m, a)) << n;
        ASSERT_GE(a, 0);
        ASSERT_LE(a, 10000);
        if (n >= -79257) {
            // From 1583 on the two directions agree.
            int32_t nRetour = 0;
            ASSERT_TRUE(CDateTimeBase::__bDateVersEntier(j, m, a, nRetour, false));
            ASSERT_EQ(nRetour, n);
        }
        nPrecedent = a;
    }
    EXPECT_EQ(nPrecedent, 10000);
}

// The direct conversion used from 1583 on gives what the year walk gives,
// for every number, and the same failures around the range.
TEST(JourNumero, DirectConversionMatchesYearWalk) {
    int32_t nMin = 0;
    ASSERT_TRUE(CDateTimeBase::__bDateVersEntier(1, 1, 0, nMin, false));
    EXPECT_EQ(nMin, DT_JOUR_MIN_CONVERSION);
    int32_t n1583 = 0;
    ASSERT_TRUE(CDateTimeBase::__bDateVersEntier(1, 1, 1583, n1583, true));
    EXPECT_EQ(n1583, DT_JOUR_1583);
    for (int32_t n = DT_JOUR_MIN_CONVERSION - 3; n <= DT_JOUR_MAX_CONVERSION + 3; ++n) {
        int j1 = 0, m1 = 0, a1 = 0, j2 = 0, m2 = 0, a2 = 0;
        bool b1 = CDateTimeBase::__bEntierVersDate(n, j1, m1, a1);
        bool b2 = DT_bEntierVersDateParcours(n, j2, m2, a2);
        ASSERT_EQ(b1, b2) << n;
        if (!b1) continue;
        ASSERT_EQ(j1, j2) << n;
        ASSERT_EQ(m1, m2) << n;
        ASSERT_EQ(a1, a2) << n;
    }
}

// The inline Gregorian form and the general rule agree on every field
// combination, valid or not, with and without the range check.
TEST(JourNumero, InlineFormMatchesGeneralRule) {
    for (int a = -1; a <= 10001; ++a) {
        for (int m = -1; m <= 13; ++m) {
            for (int j = -1; j <= 32; ++j) {
                for (bool bVerifie : {false, true}) {
                    int32_t n1 = 7, n2 = 7;
                    bool b1 = CDateTimeBase::__bDateVersEntier(j, m, a, n1, bVerifie);
                    bool b2 = CDateTimeBase::_bDateVersEntierGeneral(j, m, a, n2, bVerifie);
                    ASSERT_EQ(b1, b2) << a << " " << m << " " << j;
                    if (b1) {
                        ASSERT_EQ(n1, n2) << a << " " << m << " " << j;
                    }
                }
            }
        }
    }
}

TEST(JourNumero, DayOfWeek) {
    EXPECT_EQ(DT_nJourSemaine(1), 3);   // Wednesday 1 January 1800
    EXPECT_EQ(DT_nJourSemaine(5), 0);   // Sunday
    EXPECT_EQ(DT_nJourSemaine(0), 2);
    EXPECT_EQ(NumToNumSemaine(73049), 6);   // Saturday 1 January 2000
    // Before 1800 and at the ends of the 32-bit range: always 0-6.
    for (int32_t n : {-1, -7, -657071, -657072, -79335, INT32_MIN, INT32_MIN + 1, INT32_MAX, INT32_MAX - 1}) {
        int w = NumToNumSemaine(n);
        EXPECT_GE(w, 0) << n;
        EXPECT_LE(w, 6) << n;
        EXPECT_EQ(w, DT_nJourSemaine(n));
    }
    EXPECT_EQ(NumToNumSemaine(-79335), 5);   // Friday 15 October 1582
    EXPECT_EQ(NumToNumSemaine(-657072), 6);  // one day before a Sunday
}

// The day-number rules against the C library's calendar over every day
// from 1583 to 9999.
TEST(JourNumero, AgainstCLibraryCalendar) {
    const char* pszAncien = std::getenv("TZ");
    std::string sAncien = pszAncien ? pszAncien : "";
    setenv("TZ", "UTC", 1);
    tzset();
    struct STRestaure {
        const char* psz;
        const std::string& s;
        ~STRestaure() {
            if (psz)
                setenv("TZ", s.c_str(), 1);
            else
                unsetenv("TZ");
            tzset();
        }
    } stRestaure{pszAncien, sAncien};
    ASSERT_EQ(sizeof(time_t), 8u);
    for (int32_t n = DT_JOUR_1583; n <= 2994988; ++n) {
        time_t t = time_t(int64_t(n) - 62092) * 86400;
        struct tm st {};
        ASSERT_NE(gmtime_r(&t, &st), nullptr);
        int a = st.tm_year + 1900, m = st.tm_mon + 1, j = st.tm_mday;

        int32_t nCalc = 0;
        ASSERT_TRUE(CDateTimeBase::__bDateVersEntier(j, m, a, nCalc, true)) << a << m << j;
        ASSERT_EQ(nCalc, n);
        int32_t nLegacy = 0;
        ASSERT_TRUE(bJourGregorien(j, m, a, nLegacy));
        ASSERT_EQ(nLegacy, n);
        int jj = 0, mm = 0, aa = 0;
        ASSERT_TRUE(CDateTimeBase::__bEntierVersDate(n, jj, mm, aa));
        ASSERT_EQ(jj, j);
        ASSERT_EQ(mm, m);
        ASSERT_EQ(aa, a);
        ASSERT_EQ(DT_nJourSemaine(n), st.tm_wday);

        struct tm stRetour {};
        stRetour.tm_year = a - 1900;
        stRetour.tm_mon = m - 1;
        stRetour.tm_mday = j;
        ASSERT_EQ(timegm(&stRetour), t);
        ASSERT_EQ(CDateTimeBase::s_nGetNbJourMois(m, a) >= j, true);
    }
}

// --- Legacy string checks ---------------------------------------------------------------

TEST(LegacyChecks, DateVerif) {
    const struct {
        const char* psz;
        bool bOk;
    } cas[] = {
        {"20240229", true},  {"20230229", false}, {"19000229", false}, {"20000229", true}, {"15000229", true},
        {"20240431", false}, {"20241301", false}, {"20240001", false}, {"20240100", false}, {"00000101", false},
        {"00010101", true},  {"2024010", false},  {"202401011", false}, {"2024-1-1", false}, {"", false},
        {" 2024010", false}, {"99991231", true},
        // The calendar gap of this family: month 11 of 1582.
        {"15821105", false}, {"15821114", false}, {"15821104", true}, {"15821115", true}, {"15821004", true},
        {"15821015", true},  {"15821010", true},  {"15820810", true},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.psz);
        int a, m, j;
        EXPECT_EQ(bDateVerif(c.psz, a, m, j), c.bOk);
        EXPECT_EQ(bDateValide(c.psz), c.bOk);
    }
    EXPECT_FALSE(bDateValide(nullptr));
    int a, m, j;
    ASSERT_TRUE(bDateVerif("20240305", a, m, j));
    EXPECT_EQ(a, 2024);
    EXPECT_EQ(m, 3);
    EXPECT_EQ(j, 5);
}

TEST(LegacyChecks, HeureVerif) {
    const struct {
        const char* psz;
        bool bOk;
        int32_t nCentiemes;
    } cas[] = {
        {"", true, 0},
        {"12", true, 12 * 360000},
        {"1230", true, 12 * 360000 + 30 * 6000},
        {"123045", true, 12 * 360000 + 30 * 6000 + 45 * 100},
        {"12304599", true, 12 * 360000 + 30 * 6000 + 45 * 100 + 99},
        {"1230459", true, 12 * 360000 + 30 * 6000 + 45 * 100 + 90},
        {"23595999", true, 8639999},
        {"24000000", false, 0},
        {"23600000", false, 0},
        {"23006000", false, 0},
        {"12:30", false, 0},
        // Only the first 8 characters count.
        {"12304599xyz", true, 12 * 360000 + 30 * 6000 + 45 * 100 + 99},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.psz);
        EXPECT_EQ(bHeureValide(c.psz), c.bOk);
        int32_t n = -1;
        EXPECT_EQ(bNbCentieme(c.psz, n), c.bOk);
        EXPECT_EQ(n, c.nCentiemes);
    }
    EXPECT_TRUE(bHeureValide(nullptr));
}

TEST(LegacyChecks, DifferencesAndDateTimes) {
    int32_t n = 0;
    EXPECT_TRUE(bNbJour("18000101", n));
    EXPECT_EQ(n, 1);
    EXPECT_FALSE(bNbJour("18000132", n));
    EXPECT_EQ(n, 0);
    // The legacy count of early dates.
    EXPECT_TRUE(bNbJour("15821004", n));
    EXPECT_EQ(n, -79348);

    EXPECT_TRUE(bDateDifference("20240101", "20240301", n));
    EXPECT_EQ(n, 60);
    EXPECT_TRUE(bDateDifference("20240301", "20240101", n));
    EXPECT_EQ(n, -60);
    EXPECT_FALSE(bDateDifference("20240101", "2024030", n));
    EXPECT_TRUE(bHeureDifference("1200", "13", n));
    EXPECT_EQ(n, 360000);
    EXPECT_FALSE(bHeureDifference("1200", "25", n));

    char szDate[9], szHeure[9];
    EXPECT_FALSE(bExtraitDateHeure("2024010", szDate, szHeure));
    ASSERT_TRUE(bExtraitDateHeure("20240101", szDate, szHeure));
    EXPECT_STREQ(szDate, "20240101");
    EXPECT_STREQ(szHeure, "");
    ASSERT_TRUE(bExtraitDateHeure("202401011230450012345", szDate, szHeure));
    EXPECT_STREQ(szDate, "20240101");
    EXPECT_STREQ(szHeure, "12304500");

    EXPECT_TRUE(bDateHeureValide("20240101"));
    EXPECT_TRUE(bDateHeureValide("2024010123595999"));
    EXPECT_FALSE(bDateHeureValide("2024010124"));
    EXPECT_FALSE(bDateHeureValide("20240132"));
    EXPECT_FALSE(bDateHeureValide("2024"));

    int32_t nJ = 0, nC = 0;
    ASSERT_TRUE(bJourCentieme("2000010112000000", nJ, nC));
    EXPECT_EQ(nJ, 73049);
    EXPECT_EQ(nC, 4320000);
    EXPECT_FALSE(bJourCentieme("2000013112", nJ, nC) && false);
}

TEST(LegacyChecks, NumericStrings) {
    EXPECT_TRUE(bCaractereNumerique('5', false));
    EXPECT_FALSE(bCaractereNumerique('-', false));
    EXPECT_TRUE(bCaractereNumerique('-', true));
    EXPECT_FALSE(bCaractereNumerique('a', true));

    EXPECT_TRUE(bChaineNumerique("123", 3, false));
    EXPECT_TRUE(bChaineNumerique("12a", 2, false));
    EXPECT_FALSE(bChaineNumerique("12a", 3, false));
    EXPECT_TRUE(bChaineNumerique("-12", 3, true));
    EXPECT_FALSE(bChaineNumerique("1-2", 3, true));
    EXPECT_FALSE(bChaineNumerique("-12", 3, false));
    EXPECT_TRUE(bChaineNumerique("", 0, false));
    EXPECT_TRUE(bChaineNumerique(nullptr, 0, false));
    EXPECT_FALSE(bChaineNumerique("12", 5, false));   // stops at the terminator

    int32_t n = 0;
    EXPECT_TRUE(bChaineVersEntier("1234", n, false));
    EXPECT_EQ(n, 1234);
    EXPECT_TRUE(bChaineVersEntier("-42", n, true));
    EXPECT_EQ(n, -42);
    EXPECT_FALSE(bChaineVersEntier("-42", n, false));
    EXPECT_FALSE(bChaineVersEntier("x1", n, true));
    EXPECT_TRUE(bChaineVersEntier("99999999999999", n, false));
    EXPECT_EQ(n, INT32_MAX);
}

// --- Checking functions ------------------------------------------------------------------

TEST(CheckingFunctions, DateVerifErrors) {
    const struct {
        const char* psz;
        int nErreur;   // 0: valid
    } cas[] = {
        {"20240229", 0},     {"2024022", 80121},  {"202402290", 80121}, {"", 80121},        {"2024-229", 80122},
        {"2024022a", 80122}, {"00000101", 80123}, {"15820805", 80124},  {"15820814", 80124}, {"15820804", 0},
        {"15820815", 0},     {"15821105", 0},     {"15821010", 0},      {"20241301", 80125}, {"20240001", 80125},
        {"20240100", 80126}, {"20240431", 80126}, {"20240230", 80126},  {"20230229", 80127}, {"19000229", 80127},
        {"15000229", 0},     {"99991231", 0},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.psz);
        CXError cl;
        uint16_t a = 0, m = 0, j = 0;
        EXPECT_EQ(bDateVerif(c.psz, a, m, j, &cl), c.nErreur == 0);
        if (c.nErreur == 0) {
            EXPECT_FALSE(cl.bIsError());
        } else {
            EXPECT_EQ(cl.nGetUserError(), c.nErreur);
            EXPECT_TRUE(cl.bIsError());
        }
        EXPECT_EQ(bDateVerif(c.psz, a, m, j, nullptr), c.nErreur == 0);
    }
    CXError cl;
    uint16_t a = 0, m = 0, j = 0;
    EXPECT_FALSE(bDateVerif(nullptr, a, m, j, &cl));
    EXPECT_EQ(cl.nGetUserError(), 80121);
    ASSERT_TRUE(bDateVerif("17890714", a, m, j, nullptr));
    EXPECT_EQ(a, 1789);
    EXPECT_EQ(m, 7);
    EXPECT_EQ(j, 14);
}

TEST(CheckingFunctions, HeureVerifErrors) {
    const struct {
        const char* psz;
        int nErreur;
        int h, m, s, c;
    } cas[] = {
        {"", 0, 0, 0, 0, 0},
        {"12", 0, 12, 0, 0, 0},
        {"1230", 0, 12, 30, 0, 0},
        {"12304599", 0, 12, 30, 45, 99},
        {"1230459", 0, 12, 30, 45, 90},
        {"23595999", 0, 23, 59, 59, 99},
        {"123060", 80129, 0, 0, 0, 0},
        {"126000", 80130, 0, 0, 0, 0},
        {"240000", 80131, 0, 0, 0, 0},
        {"99", 80131, 0, 0, 0, 0},
        {"12:30", 80128, 0, 0, 0, 0},
        {" 1230", 80128, 0, 0, 0, 0},
        // Every character is checked, also beyond the eighth.
        {"12304599x", 80128, 0, 0, 0, 0},
        {"123045991", 0, 12, 30, 45, 99},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.psz);
        CXError cl;
        uint16_t h = 0, m = 0, s = 0, cc = 0;
        EXPECT_EQ(bHeureVerif(c.psz, h, m, s, cc, &cl), c.nErreur == 0);
        if (c.nErreur == 0) {
            EXPECT_FALSE(cl.bIsError());
            EXPECT_EQ(h, c.h);
            EXPECT_EQ(m, c.m);
            EXPECT_EQ(s, c.s);
            EXPECT_EQ(cc, c.c);
        } else {
            EXPECT_EQ(cl.nGetUserError(), c.nErreur);
        }
    }
    // The legacy check reads only the first 8 characters.
    EXPECT_TRUE(bHeureValide("12304599x"));
}

}  // namespace
