// Broken-down times, system and file-time records, and date-times on the
// serialisation buffer.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "codec/buffer.h"
#include "core/tstring.h"
#include "datetime/datetime.h"
#include "datetime/dtbuffer.h"
#include "datetime/systime.h"
#include "datetime/xtime.h"

namespace {

// Runs the tests of this file in UTC, then restores the zone.
class XTimeUTC : public testing::Test {
protected:
    void SetUp() override {
        const char* psz = std::getenv("TZ");
        m_bAvait = psz != nullptr;
        if (m_bAvait) m_sAncien = psz;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (m_bAvait)
            setenv("TZ", m_sAncien.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    bool m_bAvait = false;
    std::string m_sAncien;
};

std::string _S(const CTString& cl) { return cl.pszGet(); }

TEST_F(XTimeUTC, Construction) {
    CXTime cl0;
    EXPECT_EQ(cl0.nGetYear(), 1900);
    EXPECT_EQ(cl0.nGetMonth(), 1);
    EXPECT_EQ(cl0.nGetDay(), 1);
    EXPECT_EQ(cl0.nGetHour(), 0);
    EXPECT_EQ(cl0.nGetDayOfWeek(), -1);
    EXPECT_EQ(cl0.nGetDayOfYear(), -1);
    EXPECT_EQ(cl0.nGetMilliSecond(), 0);

    CXTime clT(int64_t(951782400));   // 2000-02-29 00:00:00 UTC
    EXPECT_EQ(_S(clT.GetZNDate()), "20000229");
    EXPECT_EQ(clT.nGetDayOfWeek(), 2);
    EXPECT_EQ(clT.nGetTime_t(), 951782400);
    // After 2038, also in the i386 build.
    CXTime clLoin(int64_t(4102444800LL));   // 2100-01-01
    EXPECT_EQ(_S(clLoin.GetZNDate()), "21000101");
    EXPECT_EQ(clLoin.nGetTime_t(), 4102444800LL);
    CXTime clUTC;
    clUTC.SetUTCTime(-1);
    EXPECT_EQ(_S(clUTC.GetZNTimeAAAAMMJJ_HHMMSS()), "19691231 235959");

    CXTime clChamps(2024, 0, 0, 13, 5, 9, 0);
    EXPECT_EQ(clChamps.nGetMonth(), 1);
    EXPECT_EQ(clChamps.nGetDay(), 1);
    EXPECT_EQ(clChamps.nGetDaylight(), 0);

    // DOS words: 2024-03-15 13:05:08.
    uint16_t wDate = uint16_t(((2024 - 1980) << 9) | (3 << 5) | 15);
    uint16_t wHeure = uint16_t((13 << 11) | (5 << 5) | 4);
    CXTime clDos(wDate, wHeure, 0);
    EXPECT_EQ(_S(clDos.GetZNTimeAAAAMMJJHHMMSSCCm()), "20240315130508000");

    STSystemTime st{2024, 3, 5, 15, 13, 5, 8, 250};
    CXTime clSys(st);
    EXPECT_EQ(_S(clSys.GetZNTimeAAAAMMJJHHMMSSCCm()), "20240315130508250");
    STSystemTime stRetour{};
    EXPECT_TRUE(clSys.bGetAsSystemTime(stRetour));
    EXPECT_EQ(stRetour.wYear, 2024);
    EXPECT_EQ(stRetour.wDayOfWeek, 5);
    EXPECT_EQ(stRetour.wMilliseconds, 250);

    struct tm stTm {};
    stTm.tm_year = 124;
    stTm.tm_mon = 2;
    stTm.tm_mday = 15;
    CXTime clTm(stTm);
    EXPECT_EQ(_S(clTm.GetZNDate()), "20240315");

    CDateTime clDate;
    clDate.InitDate();
    clDate.nFromString("20240315130508250");
    CXTime clD(clDate);
    EXPECT_EQ(_S(clD.GetZNTimeReadable()), "15/03/2024 13:05:08,250");
    CDateTime clRetour;
    clRetour.InitDate();
    clD.GetZNDateTime(clRetour);
    EXPECT_EQ(CDateTimeBase::nCompare(clRetour, clDate), 0);
    CDateTime clVide;
    clVide.InitDate();
    CXTime clV(clVide);
    EXPECT_EQ(clV.nGetMonth(), 1);
    EXPECT_EQ(clV.nGetDay(), 1);
}

TEST_F(XTimeUTC, FileTimes) {
    STSystemTime st{2024, 3, 0, 15, 13, 5, 8, 250};
    STFileTime ft{};
    ASSERT_TRUE(SYS_bSystemTimeToFileTime(st, ft));
    uint64_t ull = (uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    EXPECT_EQ(ull, (uint64_t(1710507908) + 11644473600ULL) * 10000000ULL + 2500000ULL);
    STSystemTime stRetour{};
    ASSERT_TRUE(SYS_bFileTimeToSystemTime(ft, stRetour));
    EXPECT_EQ(stRetour.wYear, 2024);
    EXPECT_EQ(stRetour.wMonth, 3);
    EXPECT_EQ(stRetour.wDay, 15);
    EXPECT_EQ(stRetour.wDayOfWeek, 5);
    EXPECT_EQ(stRetour.wHour, 13);
    EXPECT_EQ(stRetour.wMinute, 5);
    EXPECT_EQ(stRetour.wSecond, 8);
    EXPECT_EQ(stRetour.wMilliseconds, 250);

    STFileTime ftLocal{};
    ASSERT_TRUE(SYS_bFileTimeToLocalFileTime(ft, ftLocal));
    EXPECT_EQ(ftLocal.dwLowDateTime, ft.dwLowDateTime);
    STFileTime ftUTC{};
    ASSERT_TRUE(SYS_bLocalFileTimeToFileTime(ftLocal, ftUTC));
    EXPECT_EQ(ftUTC.dwLowDateTime, ft.dwLowDateTime);
    EXPECT_EQ(ftUTC.dwHighDateTime, ft.dwHighDateTime);

    CXTime clF(ft);
    EXPECT_EQ(_S(clF.GetZNTimeAAAAMMJJHHMMSSCCm()), "20240315130508250");
    STFileTime ft2{};
    ASSERT_TRUE(clF.bGetAsFileTime(ft2));
    EXPECT_EQ(ft2.dwLowDateTime, ft.dwLowDateTime);
    EXPECT_EQ(ft2.dwHighDateTime, ft.dwHighDateTime);

    // Records without a file time.
    for (STSystemTime stFaux : {STSystemTime{1600, 1, 0, 1, 0, 0, 0, 0}, STSystemTime{2024, 13, 0, 1, 0, 0, 0, 0},
                                STSystemTime{2023, 2, 0, 29, 0, 0, 0, 0}, STSystemTime{2024, 1, 0, 1, 24, 0, 0, 0},
                                STSystemTime{2024, 1, 0, 1, 0, 0, 0, 1000}}) {
        EXPECT_FALSE(SYS_bSystemTimeToFileTime(stFaux, ft));
    }
    STFileTime ftNegatif{0, 0x80000000u};
    EXPECT_FALSE(SYS_bFileTimeToSystemTime(ftNegatif, stRetour));
    CXTime clNeg(ftNegatif);
    EXPECT_EQ(clNeg.nGetYear(), 1900);
    STFileTime ftZero{0, 0};
    ASSERT_TRUE(SYS_bFileTimeToSystemTime(ftZero, stRetour));
    EXPECT_EQ(stRetour.wYear, 1601);
    EXPECT_EQ(stRetour.wDayOfWeek, 1);
}

TEST_F(XTimeUTC, FromDigitStrings) {
    const struct {
        const char* psz;
        bool bOk;
        const char* pszAttendu;   // "%Y%m%d%H%M%S" + milliseconds
    } cas[] = {
        {"2024031513050812", true, "20240315130508120"},
        {"20240315130508123", true, "20240315130508123"},
        {"20240315 13050812", true, "20240315130508120"},
        {"20240315 130508123", true, "20240315130508123"},
        {"202403151305081", false, ""},   // 15 characters
        {"2024031513050", false, ""},
        {"20240000130508123", true, "20240101130508123"},
        {"2024031513050812345", true, "20240315130508000"},
        {nullptr, false, ""},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.psz ? c.psz : "(null)");
        CXTime cl;
        bool bOk = cl.bSetZNDateTime(c.psz, 0);
        if (c.psz && std::strlen(c.psz) < 16) {
            EXPECT_FALSE(bOk);
            continue;
        }
        EXPECT_EQ(bOk, c.bOk);
        if (c.bOk) {
            EXPECT_EQ(_S(cl.GetZNTimeAAAAMMJJHHMMSSCCm()), c.pszAttendu);
        }
    }

    CXTime cl;
    EXPECT_TRUE(cl.bSetZNDateTimeMin("2024", 0));
    EXPECT_EQ(_S(cl.GetZNTimeAAAAMMJJHHMMSSCCm()), "20240101000000000");
    EXPECT_TRUE(cl.bSetZNDateTimeMin("20240315 1305", 0));
    EXPECT_EQ(_S(cl.GetZNTimeAAAAMMJJHHMMSSCCm()), "20240315130500000");
    EXPECT_TRUE(cl.bSetZNDateTimeMin("", 0));
    EXPECT_EQ(cl.nGetYear(), 1900);
    EXPECT_FALSE(cl.bSetZNDateTimeMin("2024-03", 0));
    EXPECT_FALSE(cl.bSetZNDateTimeMin("202403151305081234", 0));
    EXPECT_TRUE(cl.bSetZNDateTimeMax("202402", 0));
    EXPECT_EQ(_S(cl.GetZNTimeAAAAMMJJHHMMSSCCm()), "20240229235959999");
    EXPECT_TRUE(cl.bSetZNDateTimeMax("20", 0));
    EXPECT_EQ(_S(cl.GetZNTimeAAAAMMJJHHMMSSCCm()), "20991231235959999");
    EXPECT_TRUE(cl.bSetZNDateTimeMax("", 0));
    EXPECT_EQ(_S(cl.GetZNTimeAAAAMMJJHHMMSSCCm()), "99991231235959999");

    EXPECT_TRUE(cl.bSetZNDate("20240315"));
    EXPECT_TRUE(cl.bSetZNTimeMin("13", 0));
    EXPECT_EQ(_S(cl.GetZNTimeAAAAMMJJHHMMSSCCm()), "20240315130000000");
    EXPECT_TRUE(cl.bSetZNTimeMax("1305", 0));
    EXPECT_EQ(_S(cl.GetZNTimeAAAAMMJJHHMMSSCCm()), "20240315130559999");
    EXPECT_FALSE(cl.bSetZNDate("2024031"));
    EXPECT_FALSE(cl.bSetZNDate("202403151"));
    EXPECT_TRUE(cl.bSetZNTime("0102"));
    EXPECT_EQ(_S(cl.GetZNTimeHHMMSSCCm()), "010200000");
    EXPECT_TRUE(cl.bSetZNTime("01020304"));
    EXPECT_EQ(_S(cl.GetZNTimeHHMMSSCCm()), "010203040");
    EXPECT_TRUE(cl.bSetZNTime("010203045"));
    EXPECT_EQ(_S(cl.GetZNTimeHHMMSSCCm()), "010203045");
    EXPECT_FALSE(cl.bSetZNTime("010"));
    EXPECT_EQ(_S(cl.GetZNDate()), "20240315");
}

TEST_F(XTimeUTC, TextForms) {
    CXTime cl(2024, 3, 5, 7, 8, 9, 0);
    cl.SetMilliSecond(42);
    EXPECT_EQ(_S(cl.GetZNDate()), "20240305");
    EXPECT_EQ(_S(cl.GetZNTimeHHMM()), "0708");
    EXPECT_EQ(_S(cl.GetZNTimeHHMMSS()), "070809");
    EXPECT_EQ(_S(cl.GetZNTimeAAAAMMJJ_HHMMSS()), "20240305 070809");
    EXPECT_EQ(_S(cl.GetZNTimeAAAAMMJJHHMMSSCCm()), "20240305070809042");
    EXPECT_EQ(_S(cl.GetZNTimeHHMMSSCCm()), "070809042");
    EXPECT_EQ(_S(cl.GetZNTimeReadable()), "05/03/2024 07:08:09,042");
    EXPECT_EQ(_S(cl.GetZNTimeReadableSS()), "05/03/2024 07:08:09");
    EXPECT_EQ(_S(cl.FormatToOdbcDate()), "{d '2024-03-05'}");
    EXPECT_EQ(_S(cl.FormatToOdbcTime()), "{t '07:08:09.042'}");
    EXPECT_EQ(_S(cl.FormatToOdbcTimeStamp()), "{ts '2024-03-05 07:08:09.042'}");
    CTString clR;
    EXPECT_TRUE(cl.Format("%Y/%m/%d", clR));
    EXPECT_EQ(_S(clR), "2024/03/05");
    EXPECT_TRUE(cl.Format("", clR));
    EXPECT_EQ(_S(clR), "");
    std::string sLong(5000, 'a');
    EXPECT_TRUE(cl.Format(sLong.c_str(), clR));
    EXPECT_EQ(clR.nTaille(), 5000);
    std::string sTrop(70000, 'a');
    EXPECT_FALSE(cl.Format(sTrop.c_str(), clR));
}

TEST_F(XTimeUTC, CalendarAndComparison) {
    EXPECT_TRUE(CXTime::bBissextile(2000));
    EXPECT_FALSE(CXTime::bBissextile(1900));
    EXPECT_FALSE(CXTime::bBissextile(1500));   // Gregorian rule for every year
    EXPECT_TRUE(CXTime::bBissextile(2024));
    EXPECT_EQ(CXTime::nGetDayInMonth(2, 1500), 28);
    EXPECT_EQ(CXTime::nGetDayInMonth(2, 2024), 29);
    EXPECT_EQ(CXTime::nGetDayInMonth(13, 2024), 0);
    EXPECT_EQ(CXTime::nGetDayInMonth("20240415"), 30);
    EXPECT_EQ(CXTime::nGetDayInMonth("2024"), 0);

    CXTime a(2024, 3, 5, 7, 8, 9, 0), b(2024, 3, 5, 7, 8, 9, 0);
    EXPECT_EQ(CXTime::snCompare(a, b), 0);
    EXPECT_FALSE(a > b);
    EXPECT_TRUE(a >= b);
    a.SetMilliSecond(1);
    EXPECT_TRUE(a > b);
    b.SetMonth(5);
    EXPECT_EQ(CXTime::snCompare(a, b), -2);
    EXPECT_FALSE(a >= b);
    b.SetMonth(3);
    b.SetSecond(20);
    EXPECT_EQ(CXTime::snCompare(a, b), -11);

    a.SetYear(1999);
    a.SetDay(31);
    a.SetHour(23);
    a.SetMinute(59);
    a.SetDayOfWeek(5);
    a.SetDayOfYear(88);
    EXPECT_EQ(a.nGetYear(), 1999);
    EXPECT_EQ(a.nGetDay(), 31);
    EXPECT_EQ(a.nGetHour(), 23);
    EXPECT_EQ(a.nGetMinute(), 59);
    EXPECT_EQ(a.nGetDayOfWeek(), 5);
    EXPECT_EQ(a.nGetDayOfYear(), 88);
}

TEST_F(XTimeUTC, Clock) {
    CXTime cl;
    cl.SetFromUTCTime();
    EXPECT_GE(cl.nGetYear(), 2024);
    EXPECT_LT(cl.nGetMilliSecond(), 1000);
    cl.SetFromLocalTime();
    EXPECT_GE(cl.nGetYear(), 2024);
    EXPECT_GT(CXTime::nGetCurrentTime(), 1700000000);
    STSystemTime st{};
    CXTime::GetLocalTime(st);
    EXPECT_GE(st.wYear, 2024);
    SYS_GetSystemTime(st);
    EXPECT_GE(st.wYear, 2024);
}

// --- Serialisation -----------------------------------------------------------------------

TEST(DateTimeBuffer, EightBytesLittleEndian) {
    CDateTime cl;
    cl.Set(2024, 3, 15, 1, 2, 3, 4);
    CQVBuffer clBuffer;
    clBuffer << cl;
    ASSERT_EQ(clBuffer.dwGetSizeDirect(), 8u);
    const uint8_t* p = clBuffer.pbyGetUncodedBuffer();
    const uint8_t attendu[8] = {15, 3, 0xE8, 0x07, 0xFC, 0xCE, 0x38, 0x00};   // 2024 = 0x07E8, 3723004 = 0x38CEFC
    for (int i = 0; i < 8; ++i) EXPECT_EQ(p[i], attendu[i]) << i;

    ASSERT_TRUE(clBuffer.Seek(0, BUFFER_SEEK_DEBUT));
    CDateTime clLu;
    clLu.InitDate();
    clBuffer >> clLu;
    EXPECT_FALSE(clBuffer.bEchecLecture());
    EXPECT_EQ(CDateTimeBase::nCompare(clLu, cl), 0);

    // A short buffer leaves the value as it was.
    CQVBuffer clCourt;
    clCourt << 7u;
    ASSERT_TRUE(clCourt.Seek(0, BUFFER_SEEK_DEBUT));
    CDateTime clGarde;
    clGarde.Set(1999, 12, 31, 0, 0, 0, 1);
    clCourt >> clGarde;
    EXPECT_TRUE(clCourt.bEchecLecture());
    EXPECT_EQ(clGarde.nGetAnnee(), 1999);
    EXPECT_EQ(clGarde.dwGetMillisecondes(), 1u);
}

}  // namespace
