// Date-time values with the calendar: day numbers, checks, shifts and
// comparisons on the eight-byte value of core/timevalue.h (a date word and
// the milliseconds of the day), and the same operations on digit strings.
// The storage texts ("AAAAMMJJ", "HHMMSS" with hundredths or milliseconds,
// the 17-character date-time) and their rules are the value's.
#pragma once
#include <cstdint>

#include "core/timevalue.h"
#include "datetime/calendar.h"
#include "datetime/systime.h"

class CDureeBase;

class CDateTimeBase : public CValeurDateHeure {
public:
    // --- Constant tables ----------------------------------------------------------------
    static constexpr uint8_t ms_pbyNbJoursMois[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    static constexpr uint8_t ms_pbyNbJoursMoisBissextile[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    static constexpr int16_t ms_pnJoursCumules[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

    // --- Setting ------------------------------------------------------------------------
    using CValeurDateHeure::InitDate;
    void InitDate(const STSystemTime& stSysteme);
    void InitDateCourante();
    void InitDateCouranteUTC();

    bool bModifieHeure(int nHeure);
    bool bModifieMinute(int nMinute);
    bool bModifieSeconde(int nSeconde);
    bool bModifieMilli(int nMilli);
    bool bModifieAnnee(int nAnnee);
    bool bModifieMois(int nMois);
    bool bModifieJour(int nJour);
    bool bDecaleAnnee(int n);
    bool bDecaleMois(int n);
    bool bDecaleJour(int n);
    bool bDecaleMilli(int64_t n);

    // --- Reading ------------------------------------------------------------------------
    // 0, or 110 when the date is not valid.
    int nVersEntier(int32_t& n) const;
    // 0 Sunday ... 6 Saturday (day number 0 for a date that is not valid).
    int nGetJourDeLaSemaine() const;

    CTString VersChaineFormate() const;
    int nVersSysteme(STSystemTime& stSysteme) const;
    int nVersDate(char* pszBuffer, int nLongueur) const;
    int nVersHeure(char* pszBuffer, int nLongueur) const;

    static int nCompare(const CDateTimeBase& clA, const CDateTimeBase& clB);
    static int s_nCompareDateSeule(const CDateTimeBase& clA, const CDateTimeBase& clB);
    static int nCompare(const CDateTimeBase& clA, const char* pszB);

    // --- Calendar rules -----------------------------------------------------------------
    static int __nBissextile(int nAnnee);
    // Day number; with bVerifie the day must be 1-31, the month 1-12 and the
    // year 1-9999. The month is always required to be 1-12.
    static inline bool __bDateVersEntier(int nJour, int nMois, int nAnnee, int32_t& n, bool bVerifie);
    // Date of a day number; fails outside the numbers of years 0 to 10000
    // (the largest being 2 994 989, 1 January 10000).
    static inline bool __bEntierVersDate(int32_t n, int& nJour, int& nMois, int& nAnnee);
    // The same for every year and number; the inline forms above handle
    // 1583 to 9999 themselves and hand the rest to these.
    static bool _bDateVersEntierGeneral(int nJour, int nMois, int nAnnee, int32_t& n, bool bVerifie);
    static bool _bEntierVersDateGeneral(int32_t n, int& nJour, int& nMois, int& nAnnee);
    static int __nRectifieFinMois(int nJour, int nMois, int nAnnee);

    // --- On numbers and digit strings ---------------------------------------------------
    static int s_nGetNbJourMois(int nMois, int nAnnee);   // 0 for a month outside 1-12
    static int32_t s_nDateVersEntier(int nJour, int nMois, int nAnnee);
    static bool bCalculeDiffJour(const CDateTimeBase& clA, const CDateTimeBase& clB, int32_t& nJours);
    static int nCalculeDuree(const CDateTimeBase& clA, const CDateTimeBase& clB, CDureeBase& clDuree);

    static int nDateVersEntier(const char* pszDate, int32_t& n);
    static int nDateVersSysteme(const char* pszDate, STSystemTime& stSysteme);
    static int nHeureVersEntier(const char* pszHeure, int32_t& n);
    static int nHeureVersSysteme(const char* pszHeure, STSystemTime& stSysteme);
    static int nChaineVersDate(char* pszBuffer, const char* pszTexte, int nLongueur);
    static int nChaineVersHeure(char* pszBuffer, const char* pszTexte, int nLongueur);
    static int nEntierVersDate(char* pszBuffer, int32_t n, int nLongueur);
    static int nEntierVersHeure(char* pszBuffer, int32_t n, int nLongueur);
    static void InitDateCourante(char* pszBuffer, int nLongueur);
    static void InitHeureCourante(char* pszBuffer, int nLongueur);
    static int nCompareDate(const char* pszA, const char* pszB);
    static int nCompareHeure(const char* pszA, const char* pszB);

    // Writes nValeur right-aligned on nNombre characters at nDecalage,
    // padded with "0" (the last nNombre digits of a longer number); a
    // field that would end beyond nLongueur gives "0"s up to nLongueur.
    // The text ends at nLongueur; a shorter text is first extended to that
    // length with "0".
    static void SetPropDateTime(char* pszTexte, int nDecalage, int nNombre, int nValeur, int nLongueur);

    // String forms: the fields of a date string (or a time string with
    // milliseconds) changed in place.
    static bool bModifieAnnee(char* pszDate, int nValeur, int nLongueur);
    static bool bDecaleAnnee(char* pszDate, int n, int nLongueur);
    static bool bModifieMois(char* pszDate, int nValeur, int nLongueur);
    static bool bDecaleMois(char* pszDate, int n, int nLongueur);
    static bool bModifieJour(char* pszDate, int nValeur, int nLongueur);
    static bool bDecaleJour(char* pszDate, int n, int nLongueur);
    static bool bModifieHeure(char* pszHeure, int nValeur, int nLongueur);
    static bool bModifieMinute(char* pszHeure, int nValeur, int nLongueur);
    static bool bModifieSeconde(char* pszHeure, int nValeur, int nLongueur);
    static bool bModifieMilli(char* pszHeure, int nValeur, int nLongueur);
    static bool bDecaleMilli(char* pszHeure, int64_t n, int nLongueur);

private:
    bool _bDecaleAnneeSansVerif(int n);
    template <typename F>
    static bool _bSurDate(char* pszDate, int nLongueur, F fnOperation);
    template <typename F>
    static bool _bSurHeure(char* pszHeure, int nLongueur, F fnOperation);
};

// Day numbers are converted in tight loops (masks, week numbers, shifts):
// the Gregorian years are done here, inline.
inline bool CDateTimeBase::__bDateVersEntier(int nJour, int nMois, int nAnnee, int32_t& n, bool bVerifie) {
    const uint32_t a = uint32_t(nAnnee), m = uint32_t(nMois) - 1;
    if (a - 1583u <= 9999u - 1583u && m < 12u) {
        // Divisible by 4, and by 400 when by 100 (by 16 once by 25).
        const uint32_t nBis = ((a & 3u) == 0 && (a % 25u != 0 || (a & 15u) == 0)) ? 1u : 0u;
        const uint32_t nLongueur = ms_pbyNbJoursMois[m] + (m == 1 ? nBis : 0u);
        if (uint32_t(nJour) - 1u >= nLongueur) return false;
        const uint32_t y = a - 1;
        n = int32_t(365u * y + y / 4 - y / 100 + y / 400 + uint32_t(ms_pnJoursCumules[m]) + uint32_t(nJour) +
                    (m > 1 ? nBis : 0u)) -
            DT_DECALAGE_JOUR;
        return true;
    }
    return _bDateVersEntierGeneral(nJour, nMois, nAnnee, n, bVerifie);
}

inline bool CDateTimeBase::__bEntierVersDate(int32_t n, int& nJour, int& nMois, int& nAnnee) {
    if (n >= DT_JOUR_1583 && n <= DT_JOUR_MAX_CONVERSION) {
        // From 1583 on the day numbers are plain Gregorian counts: centuries,
        // years, then months and days of a year starting on 1 March, each by
        // one multiplication and shift (Neri and Schneider's method).
        constexpr uint32_t DECALAGE = 719468 - 62092;   // days from 1 March of year 0
        const uint32_t n1 = 4 * (uint32_t(n) + DECALAGE) + 3;
        const uint32_t c = n1 / 146097;
        const uint32_t nc = n1 % 146097 / 4;
        const uint64_t p2 = uint64_t(2939745) * (4 * nc + 3);
        const uint32_t z = uint32_t(p2 >> 32);
        const uint32_t ny = uint32_t(p2) / 2939745 / 4;   // day of the year from 1 March
        const uint32_t n3 = 2141 * ny + 197913;
        const uint32_t m = n3 >> 16;
        const uint32_t j = ny >= 306 ? 1 : 0;   // January or February: next year
        nJour = int((n3 & 0xFFFF) / 2141 + 1);
        nMois = int(j ? m - 12 : m);
        nAnnee = int(100 * c + z + j);
        return true;
    }
    return _bEntierVersDateGeneral(n, nJour, nMois, nAnnee);
}

// The language's date-time type: the same eight bytes.
class CDateTime : public CDateTimeBase {};

static_assert(sizeof(CDateTimeBase) == 8, "date-time value");
static_assert(sizeof(CDateTime) == 8, "date-time value");
