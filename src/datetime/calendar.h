// Calendar arithmetic shared by every date of the component.
//
// Day numbers: day 1 is 1 January 1800 (31 December 1799 is 0). Two families
// count them:
//  - the day-number rule of the date-time values (CDateTimeBase, and
//    JourGregorien / bNumEnDate below, used by most date functions);
//  - the older free functions on digit strings (bJourGregorien, bNbJour,
//    bDateVerif, bHeureVerif, ...), used by the difference functions, the
//    legacy date reader and the day of week of the date masks.
// They agree from 15 October 1582 on. Before that both apply a correction to
// the first four days of months 1 to 11 of years up to 1582, computed from a
// different century number; both are kept as they are, since stored day
// numbers depend on them.
#pragma once
#include <cstdint>

class CXError;

// Offset between day numbers and days counted from the start of year 1.
constexpr int32_t DT_DECALAGE_JOUR = 657071;
// 31 December 9999.
constexpr int32_t DT_JOUR_MAX = 2994988;
// The smallest number that converts: 1 January of year 0.
constexpr int32_t DT_JOUR_MIN_CONVERSION = -657413;
// 1 January 1583: from there on day numbers follow the Gregorian calendar.
constexpr int32_t DT_JOUR_1583 = -79257;
// The largest number that still converts: 1 January 10000.
constexpr int32_t DT_JOUR_MAX_CONVERSION = 2994989;

// Day of the week of a day number: 0 Sunday, 1 Monday ... 6 Saturday. Any
// 32-bit number gives a value in 0..6.
int DT_nJourSemaine(int32_t nJour);

// --- Legacy family -----------------------------------------------------------------
// Month lengths of a leap year, and days before each month (common year).
extern const int32_t gnTabNbJourMoisBissextile[12];
extern const int32_t gnTabJourCumule[12];

// 1 when the year is a leap year (Julian rule up to 1582, Gregorian after).
int nBissextille(int nAnnee);

// Day number of a date; n is 0 first and stays 0 on failure (year at least
// 1, month 1-12, day within the month).
bool bJourGregorien(int nJour, int nMois, int nAnnee, int32_t& n);
// Day number of an "AAAAMMJJ" text (checked with bDateVerif).
bool bNbJour(const char* pszDate, int32_t& n);

// Exactly 8 digits "AAAAMMJJ", year at least 1, the 5th to 14th of month 11
// of 1582 refused, month 1-12, day within the month. The fields are written
// as read, even when the check fails (0 when the text is not 8 digits).
bool bDateVerif(const char* pszDate, int& nAnnee, int& nMois, int& nJour);
bool bDateValide(const char* pszDate);
// At most 8 digits "HHMMSSCC" padded with "0"; hours 0-23, minutes and
// seconds 0-59. The empty text is midnight.
bool bHeureVerif(const char* pszHeure, int& nHeures, int& nMinutes, int& nSecondes, int& nCentiemes);
bool bHeureValide(const char* pszHeure);
// Hundredths since midnight; 0 on failure.
bool bNbCentieme(const char* pszHeure, int32_t& n);
// n = count(b) - count(a).
bool bDateDifference(const char* pszA, const char* pszB, int32_t& n);
bool bHeureDifference(const char* pszA, const char* pszB, int32_t& n);
// Splits a date-time text: 8 date characters, then at most 8 time
// characters. pszDate and pszHeure hold at least 9 bytes each.
bool bExtraitDateHeure(const char* pszTexte, char* pszDate, char* pszHeure);
bool bDateHeureValide(const char* pszTexte);
bool bJourCentieme(const char* pszTexte, int32_t& nJours, int32_t& nCentiemes);
bool bCaractereNumerique(char c, bool bMoinsAutorise);
bool bChaineNumerique(const char* pszTexte, int nNombre, bool bMoinsAutorise);
// Decimal value of the text when its first character is numeric (values
// beyond 32 bits are held at the nearest limit).
bool bChaineVersEntier(const char* pszTexte, int32_t& n, bool bMoinsAutorise);

// --- Checking functions of the date functions ----------------------------------------
// Day number by the date-time rule, without its range check: year at least
// 0, month 1-12, day within the month.
bool JourGregorien(uint16_t nJour, uint16_t nMois, uint16_t nAnnee, int32_t& n);
// "AAAAMMJJ" check raising 80121 (length), 80122 (digits), 80123 (year 0),
// 80124 (5th-14th of month 8 of 1582), 80125 (month), 80126 (day), 80127
// (29 February of a common year) into pclErreur when given.
bool bDateVerif(const char* pszDate, uint16_t& nAnnee, uint16_t& nMois, uint16_t& nJour, CXError* pclErreur);
// "HHMMSSCC" check raising 80128 (a non-digit), 80129 (seconds), 80130
// (minutes), 80131 (hours).
bool bHeureVerif(const char* pszHeure, uint16_t& nHeures, uint16_t& nMinutes, uint16_t& nSecondes,
                 uint16_t& nCentiemes, CXError* pclErreur);
// Date of a day number; a number without a date raises 80132 with the number.
bool bNumEnDate(int32_t n, uint16_t& nJour, uint16_t& nMois, uint16_t& nAnnee, CXError* pclErreur);
// JourGregorien minus 1, or 0 on failure.
int32_t NumJourGreg(uint16_t nJour, uint16_t nMois, uint16_t nAnnee);
// 0 Sunday ... 6 Saturday.
int NumToNumSemaine(int32_t n);
