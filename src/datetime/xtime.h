// Broken-down time used to talk to the C library's time functions: the C
// library's record followed by the milliseconds. Counts of seconds since
// 1 January 1970 are 64-bit everywhere, also in the i386 build.
#pragma once
#include <cstdint>
#include <ctime>

#include "datetime/systime.h"

class CTString;
class CDateTimeBase;
class CDateTime;

class CXTime {
public:
    CXTime();   // SetTo0
    explicit CXTime(int64_t llSecondes);   // local time of that instant
    CXTime(const CXTime& clAutre) = default;
    CXTime& operator=(const CXTime& clAutre) = default;
    // Month 1-12 (stored minus 1, at least 0), day at least 1.
    CXTime(int nAnnee, int nMois, int nJour, int nHeure, int nMinute, int nSeconde, int nHeureEte);
    // Packed DOS date and time words.
    CXTime(uint16_t wDateDOS, uint16_t wHeureDOS, int nHeureEte);
    explicit CXTime(const STSystemTime& stSysteme);
    explicit CXTime(const STFileTime& stFichier);   // shown in local time
    explicit CXTime(const struct tm& stTm);
    explicit CXTime(const CDateTimeBase& clDate);
    virtual ~CXTime();

    // Year 1900, month 0, day 1, 00:00:00.000, day of week and of year -1.
    void SetTo0();
    void SetTime(int64_t llSecondes);      // local time
    void SetUTCTime(int64_t llSecondes);   // UTC

    // Seconds since 1970 of the record read as local time; -1 when the C
    // library cannot convert it.
    int64_t nGetTime_t() const;
    bool bGetAsSystemTime(STSystemTime& stSysteme) const;
    bool bGetAsFileTime(STFileTime& stFichier) const;   // the record read as local time
    static int64_t nGetCurrentTime();
    static void GetLocalTime(STSystemTime& stSysteme);
    void SetFromLocalTime();
    void SetFromUTCTime();

    // "AAAAMMJJ" "HHMMSS" (one optional blank between), at least 16
    // characters, then exactly 2 digits of hundredths or 3 of milliseconds.
    bool bSetZNDateTime(const char* pszTexte, int nHeureEte);
    // A prefix of "AAAAMMJJ[ ]HHMMSSLLL" (digits only); missing digits are
    // "0" (Min) or give the end of their field (Max: December, the last day
    // of the month, 23:59:59.999; a partly given field is completed with
    // "9" and held within its range). An empty text gives SetTo0 (Min) or
    // 31 December 9999 23:59:59.999 (Max).
    bool bSetZNDateTimeMin(const char* pszTexte, int nHeureEte);
    bool bSetZNDateTimeMax(const char* pszTexte, int nHeureEte);
    // The same for a prefix of "HHMMSSLLL"; the date is kept.
    bool bSetZNTimeMin(const char* pszTexte, int nHeureEte);
    bool bSetZNTimeMax(const char* pszTexte, int nHeureEte);
    // Exactly 8 characters "AAAAMMJJ"; the time is kept.
    bool bSetZNDate(const char* pszTexte);
    // At least "HHMM", then optional seconds and 2 digits of hundredths or
    // 3 of milliseconds; the date is kept.
    bool bSetZNTime(const char* pszTexte);

    static bool bBissextile(int nAnnee);   // Gregorian rule for every year
    static int nGetDayInMonth(int nMois, int nAnnee);   // 0 for a month outside 1-12
    static int nGetDayInMonth(const char* pszDate);     // "AAAAMM..."

    CTString GetZNDate() const;
    CTString GetZNTimeHHMM() const;
    CTString GetZNTimeHHMMSS() const;
    CTString GetZNTimeAAAAMMJJ_HHMMSS() const;
    CTString GetZNTimeAAAAMMJJHHMMSSCCm() const;
    CTString GetZNTimeHHMMSSCCm() const;
    CTString GetZNTimeReadable() const;
    CTString GetZNTimeReadableSS() const;
    CTString FormatToOdbcDate() const;
    CTString FormatToOdbcTime() const;
    CTString FormatToOdbcTimeStamp() const;
    // Any pattern of the C library's date formatting; false when the
    // result would not fit in 64 KB.
    bool Format(const char* pszPattern, CTString& clResultat) const;
    void GetZNDateTime(CDateTime& clDate) const;

    // Difference of the first unequal field among year, month, day, hour,
    // minute, second.
    static int snCompare(const CXTime& clA, const CXTime& clB);
    bool operator>(const CXTime& clAutre) const;
    bool operator>=(const CXTime& clAutre) const;

    void SetYear(int n) { m_stTm.tm_year = n - 1900; }
    void SetMonth(int n) { m_stTm.tm_mon = n - 1; }
    void SetDay(int n) { m_stTm.tm_mday = n; }
    void SetHour(int n) { m_stTm.tm_hour = n; }
    void SetMinute(int n) { m_stTm.tm_min = n; }
    void SetSecond(int n) { m_stTm.tm_sec = n; }
    void SetMilliSecond(int n) { m_nMilli = n; }
    void SetDayOfWeek(int n) { m_stTm.tm_wday = n; }
    void SetDayOfYear(int n) { m_stTm.tm_yday = n; }
    int nGetYear() const { return m_stTm.tm_year + 1900; }
    int nGetMonth() const { return m_stTm.tm_mon + 1; }
    int nGetDay() const { return m_stTm.tm_mday; }
    int nGetHour() const { return m_stTm.tm_hour; }
    int nGetMinute() const { return m_stTm.tm_min; }
    int nGetSecond() const { return m_stTm.tm_sec; }
    int nGetMilliSecond() const { return m_nMilli; }
    int nGetDayOfWeek() const { return m_stTm.tm_wday; }
    int nGetDayOfYear() const { return m_stTm.tm_yday; }
    int nGetDaylight() const { return m_stTm.tm_isdst; }
    const struct tm& stGetTm() const { return m_stTm; }

protected:
    struct tm m_stTm;
    int32_t m_nMilli;

private:
    void _SetChamps(int nAnnee, int nMois, int nJour, int nHeure, int nMinute, int nSeconde, int nMilli, int nHeureEte);
    bool _bSetPrefixe(const char* pszTexte, int nHeureEte, bool bMax, bool bAvecDate);
    CTString _clStrftime(const char* pszPattern) const;
};
