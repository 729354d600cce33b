// The component's own records for a broken-down system time and a file
// time, used where dates meet the system clock and file systems.
#pragma once
#include <cstdint>

// A calendar date and time of day in 16-bit fields.
struct STSystemTime {
    uint16_t wYear;
    uint16_t wMonth;       // 1-12
    uint16_t wDayOfWeek;   // 0 Sunday ... 6 Saturday
    uint16_t wDay;         // 1-31
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;
};
static_assert(sizeof(STSystemTime) == 16, "system-time record");

// A count of 100-nanosecond intervals since 1 January 1601 (UTC, or local
// time for a "local file time").
struct STFileTime {
    uint32_t dwLowDateTime;
    uint32_t dwHighDateTime;
};
static_assert(sizeof(STFileTime) == 8, "file-time record");

// Conversions between the records, the C library's clock and time zones.
// They return false when the value has no representation.
bool SYS_bSystemTimeToFileTime(const STSystemTime& stSysteme, STFileTime& stFichier);
bool SYS_bFileTimeToSystemTime(const STFileTime& stFichier, STSystemTime& stSysteme);
bool SYS_bFileTimeToLocalFileTime(const STFileTime& stUTC, STFileTime& stLocale);
bool SYS_bLocalFileTimeToFileTime(const STFileTime& stLocale, STFileTime& stUTC);
// The current time in the local zone, and in UTC.
void SYS_GetLocalTime(STSystemTime& stSysteme);
void SYS_GetSystemTime(STSystemTime& stSysteme);
