// Date-time values with the calendar: setting fields, shifts, day numbers,
// text forms of the calendar, comparisons. The storage texts are the
// value's (tests/core).

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/tstring.h"
#include "core/zndstr.h"
#include "datetime/datetime.h"
#include "datetime/duree.h"

namespace {

CDateTimeBase _Dt(const char* psz) {
    CDateTimeBase cl;
    cl.InitDate();
    cl.nFromString(psz);
    return cl;
}

std::string _Str(const CDateTimeBase& cl) {
    char sz[CDateTimeBase::TAILLE_CHAINE + 1];
    cl.VersChaine(sz, CDateTimeBase::TAILLE_CHAINE);
    return sz;
}

TEST(DateTimeValue, ModifyFields) {
    CDateTimeBase cl = _Dt("20240131101112123");
    EXPECT_TRUE(cl.bModifieHeure(23));
    EXPECT_TRUE(cl.bModifieMinute(0));
    EXPECT_TRUE(cl.bModifieSeconde(59));
    EXPECT_TRUE(cl.bModifieMilli(7));
    EXPECT_EQ(_Str(cl), "20240131230059007");
    for (int n : {-1, 24}) EXPECT_FALSE(cl.bModifieHeure(n));
    for (int n : {-1, 60}) EXPECT_FALSE(cl.bModifieMinute(n));
    for (int n : {-1, 60}) EXPECT_FALSE(cl.bModifieSeconde(n));
    for (int n : {-1, 1000}) EXPECT_FALSE(cl.bModifieMilli(n));
    EXPECT_EQ(_Str(cl), "20240131230059007");

    // Day clamped to the month.
    EXPECT_TRUE(cl.bModifieMois(2));
    EXPECT_EQ(_Str(cl), "20240229230059007");
    EXPECT_TRUE(cl.bModifieAnnee(2023));
    EXPECT_EQ(_Str(cl), "20230228230059007");
    EXPECT_TRUE(cl.bModifieJour(31));
    EXPECT_EQ(_Str(cl), "20230228230059007");
    EXPECT_TRUE(cl.bModifieMois(4));
    EXPECT_TRUE(cl.bModifieJour(31));
    EXPECT_EQ(_Str(cl), "20230430230059007");
    for (int n : {0, 10000}) EXPECT_FALSE(cl.bModifieAnnee(n));
    for (int n : {0, 13}) EXPECT_FALSE(cl.bModifieMois(n));
    for (int n : {0, 32}) EXPECT_FALSE(cl.bModifieJour(n));
    EXPECT_EQ(_Str(cl), "20230430230059007");

    // A zero field is never clamped.
    CDateTimeBase clVide;
    clVide.InitDate();
    EXPECT_TRUE(clVide.bModifieJour(31));
    EXPECT_TRUE(clVide.bModifieMois(2));
    EXPECT_EQ(clVide.nGetJour(), 31);
    EXPECT_TRUE(clVide.bModifieAnnee(2024));
    EXPECT_EQ(clVide.nGetJour(), 29);
    // A month stored out of range is left alone by the clamp.
    CDateTimeBase clHors = _Dt("20241331");
    EXPECT_TRUE(clHors.bModifieJour(31));
    EXPECT_EQ(clHors.nGetJour(), 31);
}

TEST(DateTimeValue, FromSystemTime) {
    CDateTimeBase cl;
    cl.InitDate();
    STSystemTime st{2024, 2, 4, 29, 13, 14, 15, 16};
    cl.InitDate(st);
    EXPECT_EQ(_Str(cl), "20240229131415016");
    STSystemTime stRetour{};
    stRetour.wDayOfWeek = 77;
    EXPECT_EQ(cl.nVersSysteme(stRetour), 0);
    EXPECT_EQ(stRetour.wYear, 2024);
    EXPECT_EQ(stRetour.wMonth, 2);
    EXPECT_EQ(stRetour.wDay, 29);
    EXPECT_EQ(stRetour.wHour, 13);
    EXPECT_EQ(stRetour.wMinute, 14);
    EXPECT_EQ(stRetour.wSecond, 15);
    EXPECT_EQ(stRetour.wMilliseconds, 16);
    EXPECT_EQ(stRetour.wDayOfWeek, 77);
    // An out-of-range field is skipped.
    STSystemTime stFaux{2025, 13, 0, 31, 25, 61, 61, 1000};
    cl.InitDate(stFaux);
    EXPECT_EQ(_Str(cl), "20250228131415016");
}

TEST(DateTimeValue, ShiftMonthsAndYears) {
    const struct {
        const char* psz;
        int n;
        bool bAnnee;
        bool bOk;
        const char* pszAttendu;
    } cas[] = {
        {"20240131", 1, false, true, "20240229"},
        {"20230131", 1, false, true, "20230228"},
        {"20240331", -1, false, true, "20240229"},
        {"20230331", -1, false, true, "20230228"},
        {"20241215", 1, false, true, "20250115"},
        {"20240315", -13, false, true, "20230215"},
        {"20240315", 12, false, true, "20250315"},
        {"20240315", -3, false, true, "20231215"},
        {"20240315", -2, false, true, "20240115"},
        {"20240315", 25, false, true, "20260415"},
        {"20240315", -27, false, true, "20211215"},
        {"20240015", 1, false, false, "20240015"},
        {"00000315", 1, false, false, "00000315"},
        {"99991215", 1, false, true, "100000115"},   // the year is not checked afterwards
        {"20240229", 1, true, true, "20250228"},
        {"20240229", 4, true, true, "20280229"},
        {"20240229", -124, true, true, "19000228"},
        {"00000101", 1, true, false, "00000101"},
        {"99990101", 1, true, true, "100000101"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(testing::Message() << c.psz << " " << c.n);
        CDateTimeBase cl = _Dt(c.psz);
        EXPECT_EQ(c.bAnnee ? cl.bDecaleAnnee(c.n) : cl.bDecaleMois(c.n), c.bOk);
        char sz[32];
        cl.nVersDate(sz, 31);
        EXPECT_STREQ(sz, c.pszAttendu);
    }
}

TEST(DateTimeValue, ShiftDays) {
    const struct {
        const char* psz;
        int n;
        bool bOk;
        const char* pszAttendu;
    } cas[] = {
        {"20240228", 1, true, "20240229"},
        {"20240229", 1, true, "20240301"},
        {"20231231", 1, true, "20240101"},
        {"20240101", -1, true, "20231231"},
        {"18000101", -1, true, "17991231"},
        {"99991231", 1, true, "100000101"},
        {"99991231", 2, false, "99991231"},
        {"20240101", 2147483647, false, "20240101"},
        {"20240101", -2147483647 - 1, false, "20240101"},
        {"20240230", 1, false, "20240230"},
        {"20241301", 1, false, "20241301"},
        {"00000101", 1, false, "00000101"},
        {"20000101", 36525, true, "21000101"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(testing::Message() << c.psz << " " << c.n);
        CDateTimeBase cl = _Dt(c.psz);
        EXPECT_EQ(cl.bDecaleJour(c.n), c.bOk);
        char sz[32];
        cl.nVersDate(sz, 31);
        EXPECT_STREQ(sz, c.pszAttendu);
    }
}

TEST(DateTimeValue, ShiftMilliseconds) {
    const struct {
        const char* psz;
        int64_t n;
        bool bOk;
        const char* pszAttendu;
    } cas[] = {
        {"20231231235959999", 1, true, "20240101000000000"},
        {"20240101000000000", -1, true, "20231231235959999"},
        {"20240101120000000", 86400000LL * 3 + 1, true, "20240104120000001"},
        {"20240101120000000", -86400000LL * 3 - 43200001LL, true, "20231228235959999"},
        {"20240101120000000", 0, true, "20240101120000000"},
        {"20240101120000000", INT64_MAX, false, "20240101191255807"},
        {"20240101120000000", INT64_MIN, false, "20240101044704192"},
        // The new time of day stays although the day shift fails.
        {"99991231230000000", 86400000LL + 3600000, false, "99991231000000000"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(testing::Message() << c.psz << " " << c.n);
        CDateTimeBase cl = _Dt(c.psz);
        EXPECT_EQ(cl.bDecaleMilli(c.n), c.bOk);
        EXPECT_EQ(_Str(cl), c.pszAttendu);
    }
}

TEST(DateTimeValue, DayNumberAndWeekDay) {
    int32_t n = -1;
    EXPECT_EQ(_Dt("18000101").nVersEntier(n), 0);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(_Dt("18000101").nGetJourDeLaSemaine(), 3);
    EXPECT_EQ(_Dt("20240315").nGetJourDeLaSemaine(), 5);
    EXPECT_EQ(_Dt("20241301").nVersEntier(n), 110);
    EXPECT_EQ(_Dt("").nVersEntier(n), 110);
    EXPECT_EQ(_Dt("100000101").nVersEntier(n), 110);

    EXPECT_EQ(CDateTimeBase::nDateVersEntier("20000101", n), 0);
    EXPECT_EQ(n, 73049);
    EXPECT_EQ(CDateTimeBase::nDateVersEntier("20000230", n), 110);
    EXPECT_EQ(CDateTimeBase::nDateVersEntier(nullptr, n), 110);

    int32_t nJours = 0;
    EXPECT_TRUE(CDateTimeBase::bCalculeDiffJour(_Dt("20240301"), _Dt("20240101"), nJours));
    EXPECT_EQ(nJours, 60);
    EXPECT_FALSE(CDateTimeBase::bCalculeDiffJour(_Dt("20240301"), _Dt("20240100"), nJours));

    CDureeBase clDuree;
    clDuree.SetMillisecondes(7);
    EXPECT_EQ(CDateTimeBase::nCalculeDuree(_Dt("20240102000000001"), _Dt("20240101235959999"), clDuree), 0);
    EXPECT_EQ(clDuree.llGetMillisecondes(), 2);
    EXPECT_EQ(CDateTimeBase::nCalculeDuree(_Dt("18000101"), _Dt("99991231"), clDuree), 0);
    EXPECT_EQ(clDuree.llGetMillisecondes(), -2994987LL * 86400000);
    EXPECT_EQ(CDateTimeBase::nCalculeDuree(_Dt("20240100"), _Dt("99991231"), clDuree), 110);
}

TEST(DateTimeValue, TextOutputs) {
    CDateTimeBase cl = _Dt("20240315012345678");
    char sz[40];
    EXPECT_STREQ(cl.VersChaineFormate().pszGet(), "2024-3-15 1:23:45,678");
    EXPECT_EQ(cl.nVersDate(sz, 6), 0);
    EXPECT_STREQ(sz, "202403");
    EXPECT_EQ(cl.nVersHeure(sz, 20), 0);
    EXPECT_STREQ(sz, "012345678");
}

TEST(DateTimeValue, Comparisons) {
    EXPECT_EQ(CDateTimeBase::nCompare(_Dt("20240315"), _Dt("20240315")), 0);
    EXPECT_EQ(CDateTimeBase::nCompare(_Dt("20240315"), _Dt("20240316")), -1);
    EXPECT_EQ(CDateTimeBase::nCompare(_Dt("20240401"), _Dt("20240331")), 1);
    EXPECT_EQ(CDateTimeBase::nCompare(_Dt("20250101"), _Dt("20241231")), 1);
    EXPECT_EQ(CDateTimeBase::nCompare(_Dt("20240315000000001"), _Dt("20240315")), 1);
    EXPECT_EQ(CDateTimeBase::s_nCompareDateSeule(_Dt("20240315000000001"), _Dt("20240315")), 0);
    EXPECT_EQ(CDateTimeBase::s_nCompareDateSeule(_Dt("20240314235959999"), _Dt("20240315")), -1);

    EXPECT_EQ(CDateTimeBase::nCompare(_Dt("20240315"), "2024"), 0);
    EXPECT_EQ(CDateTimeBase::nCompare(_Dt("20240315"), "20240316"), -1);
    EXPECT_EQ(CDateTimeBase::nCompare(_Dt("20240315"), ""), 1);

    const struct {
        const char* a;
        const char* b;
        int n;
    } cas[] = {{"", "", 0},          {"", "20240101", -1}, {"20240101", "", 1},        {nullptr, "", 0},
               {"2024", "20240101", 0}, {"20240101", "2024", 0}, {"20240102", "20240101", 1}, {"1999", "2000", -1},
               {"\xE9", "a", 1}};
    for (const auto& c : cas) {
        EXPECT_EQ(CDateTimeBase::nCompareDate(c.a, c.b), c.n);
        EXPECT_EQ(CDateTimeBase::nCompareHeure(c.a, c.b), c.n);
    }
}

TEST(DateTimeStrings, NumbersAndSystemRecords) {
    char sz[32];
    EXPECT_EQ(CDateTimeBase::nEntierVersDate(sz, 1, 8), 0);
    EXPECT_STREQ(sz, "18000101");
    EXPECT_EQ(CDateTimeBase::nEntierVersDate(sz, 2994988, 8), 0);
    EXPECT_STREQ(sz, "99991231");
    EXPECT_EQ(CDateTimeBase::nEntierVersDate(sz, 2994989, 20), 0);
    EXPECT_STREQ(sz, "100000101");
    EXPECT_EQ(CDateTimeBase::nEntierVersDate(sz, 2994990, 8), 110);
    EXPECT_EQ(CDateTimeBase::nEntierVersDate(sz, INT32_MIN, 8), 110);
    EXPECT_EQ(CDateTimeBase::nEntierVersDate(sz, 73049, 4), 0);
    EXPECT_STREQ(sz, "2000");

    EXPECT_EQ(CDateTimeBase::nEntierVersHeure(sz, 8640000, 9), 0);
    EXPECT_STREQ(sz, "000000000");
    EXPECT_EQ(CDateTimeBase::nEntierVersHeure(sz, 4512345, 9), 0);
    EXPECT_STREQ(sz, "123203450");
    EXPECT_EQ(CDateTimeBase::nEntierVersHeure(sz, -1, 9), 111);
    EXPECT_EQ(CDateTimeBase::nEntierVersHeure(sz, INT32_MAX, 20), 0);

    int32_t n = 0;
    const struct {
        const char* psz;
        int32_t n;
    } heures[] = {{"12304599", 4504599}, {"1230459", 4504590}, {"123045", 4504500}, {"12", 4320000},
                  {"", 0},               {"99999999", 36243999}, {"1230459999", 4504599}};
    for (const auto& c : heures) {
        EXPECT_EQ(CDateTimeBase::nHeureVersEntier(c.psz, n), 0);
        EXPECT_EQ(n, c.n) << c.psz;
    }

    STSystemTime st{};
    st.wHour = 99;
    EXPECT_EQ(CDateTimeBase::nDateVersSysteme("20240315", st), 0);
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wMonth, 3);
    EXPECT_EQ(st.wDay, 15);
    EXPECT_EQ(st.wHour, 0);
    EXPECT_EQ(CDateTimeBase::nHeureVersSysteme("12304578", st), 0);
    EXPECT_EQ(st.wYear, 0);
    EXPECT_EQ(st.wHour, 12);
    EXPECT_EQ(st.wMinute, 30);
    EXPECT_EQ(st.wSecond, 45);
    EXPECT_EQ(st.wMilliseconds, 780);

    EXPECT_EQ(CDateTimeBase::nChaineVersDate(sz, "2024031512", 20), 0);
    EXPECT_STREQ(sz, "20240315");
    EXPECT_EQ(CDateTimeBase::nChaineVersDate(sz, "2024031512", 4), 0);
    EXPECT_STREQ(sz, "2024");
    EXPECT_EQ(CDateTimeBase::nChaineVersHeure(sz, "1230", 20), 0);
    EXPECT_STREQ(sz, "123000000");
    EXPECT_EQ(CDateTimeBase::nChaineVersHeure(sz, "12304567891", 20), 0);
    EXPECT_STREQ(sz, "123045678");
    EXPECT_EQ(CDateTimeBase::nChaineVersHeure(sz, "12", 6), 0);
    EXPECT_STREQ(sz, "120000");
    EXPECT_EQ(CDateTimeBase::nChaineVersHeure(sz, nullptr, 3), 0);
    EXPECT_STREQ(sz, "000");
}

TEST(DateTimeStrings, FieldWriting) {
    const struct {
        const char* pszAvant;
        int nDecalage, nNombre, nValeur, nLongueur;
        const char* pszApres;
    } cas[] = {
        {"123456789", 2, 2, 7, 9, "120756789"},
        {"123456789", 6, 3, 5, 9, "123456005"},
        {"123456789", 6, 3, 5, 7, "1234560"},       // field beyond the length
        {"123456789", 0, 2, 123, 9, "233456789"},   // last digits of a longer number
        {"123456789", 0, 3, -5, 9, "-05456789"},
        {"12", 4, 2, 30, 9, "120030000"},           // shorter text extended with "0"
        {"", 0, 2, 7, 2, "07"},
        {"1234", 8, 2, 7, 6, "123400"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.pszAvant);
        char sz[32];
        std::memset(sz, 'x', sizeof sz);
        std::strcpy(sz, c.pszAvant);
        CDateTimeBase::SetPropDateTime(sz, c.nDecalage, c.nNombre, c.nValeur, c.nLongueur);
        EXPECT_STREQ(sz, c.pszApres);
    }
}

TEST(DateTimeStrings, StringShifts) {
    char sz[32];
    auto _Met = [&](const char* psz) { std::strcpy(sz, psz); };

    _Met("20240131");
    EXPECT_TRUE(CDateTimeBase::bDecaleMois(sz, 1, 8));
    EXPECT_STREQ(sz, "20240229");
    EXPECT_TRUE(CDateTimeBase::bDecaleAnnee(sz, 1, 8));
    EXPECT_STREQ(sz, "20250228");
    EXPECT_TRUE(CDateTimeBase::bModifieJour(sz, 31, 8));
    EXPECT_STREQ(sz, "20250228");
    EXPECT_TRUE(CDateTimeBase::bModifieMois(sz, 12, 8));
    EXPECT_TRUE(CDateTimeBase::bModifieJour(sz, 31, 8));
    EXPECT_TRUE(CDateTimeBase::bDecaleJour(sz, 1, 8));
    EXPECT_STREQ(sz, "20260101");
    EXPECT_TRUE(CDateTimeBase::bModifieAnnee(sz, 1999, 6));
    EXPECT_STREQ(sz, "199901");
    _Met("20240230");
    EXPECT_FALSE(CDateTimeBase::bDecaleJour(sz, 1, 8));
    EXPECT_STREQ(sz, "20240230");
    EXPECT_FALSE(CDateTimeBase::bModifieMois(sz, 13, 8));
    EXPECT_FALSE(CDateTimeBase::bModifieAnnee(nullptr, 2000, 8));

    _Met("123045678");
    EXPECT_TRUE(CDateTimeBase::bModifieHeure(sz, 7, 9));
    EXPECT_STREQ(sz, "073045678");
    EXPECT_TRUE(CDateTimeBase::bModifieMinute(sz, 5, 9));
    EXPECT_TRUE(CDateTimeBase::bModifieSeconde(sz, 9, 9));
    EXPECT_TRUE(CDateTimeBase::bModifieMilli(sz, 1, 9));
    EXPECT_STREQ(sz, "070509001");
    EXPECT_FALSE(CDateTimeBase::bModifieHeure(sz, 24, 9));
    EXPECT_STREQ(sz, "070509001");
    _Met("1230");
    EXPECT_TRUE(CDateTimeBase::bModifieMinute(sz, 45, 4));
    EXPECT_STREQ(sz, "1245");

    _Met("235959999");
    EXPECT_TRUE(CDateTimeBase::bDecaleMilli(sz, 1, 9));
    EXPECT_STREQ(sz, "000000000");
    EXPECT_TRUE(CDateTimeBase::bDecaleMilli(sz, -1, 9));
    EXPECT_STREQ(sz, "235959999");
    EXPECT_TRUE(CDateTimeBase::bDecaleMilli(sz, 86400000LL * 5 + 2, 9));
    EXPECT_STREQ(sz, "000000001");
    EXPECT_TRUE(CDateTimeBase::bDecaleMilli(sz, INT64_MIN, 9));
    _Met("240000000");
    EXPECT_FALSE(CDateTimeBase::bDecaleMilli(sz, 1, 9));
    EXPECT_STREQ(sz, "240000000");
    _Met("236000000");
    EXPECT_FALSE(CDateTimeBase::bDecaleMilli(sz, 1, 9));
    _Met("230060000");
    EXPECT_FALSE(CDateTimeBase::bDecaleMilli(sz, 1, 9));
    _Met("120000");
    EXPECT_TRUE(CDateTimeBase::bDecaleMilli(sz, 1500, 6));
    EXPECT_STREQ(sz, "120001");
}

TEST(DateTimeStrings, CurrentDate) {
    char szDate[16], szHeure[16];
    std::memset(szDate, 'x', sizeof szDate);
    CDateTimeBase::InitDateCourante(szDate, 8);
    CDateTimeBase::InitHeureCourante(szHeure, 9);
    EXPECT_EQ(std::strlen(szDate), 8u);
    EXPECT_EQ(std::strlen(szHeure), 9u);
    int32_t n = 0;
    EXPECT_EQ(CDateTimeBase::nDateVersEntier(szDate, n), 0);
    CDateTimeBase cl;
    cl.InitDateCourante();
    EXPECT_EQ(cl.nVersEntier(n), 0);
    cl.InitDateCouranteUTC();
    EXPECT_EQ(cl.nVersEntier(n), 0);
    EXPECT_LT(cl.dwGetMillisecondes(), 86400000u);
}

}  // namespace
