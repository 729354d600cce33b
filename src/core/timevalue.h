// Date-time and duration values as variants and the host hold them: eight
// bytes each, with the storage texts they are read from and written to.
// The calendar (day numbers, checks, shifts, masks) is the date-time
// family's, built on these classes; variants need only the values.
//
// Storage texts: a date is "AAAAMMJJ", a time "HHMMSS" followed by
// hundredths (2 digits) or milliseconds (3 digits), a date-time the date
// followed by the time with milliseconds (17 characters). A duration is an
// optional "-", the days, then hours, minutes and seconds on two digits
// each and milliseconds on three ("JHHMMSSLLL"); its hundredths form ends
// with two digits of hundredths instead. Day counts are 64-bit: every
// duration has a text form.
//
// Setting a date-time from text never fails and checks nothing; validity
// is the calendar's business. String outputs: a length nLongueur is a
// number of characters; the buffer holds at least nLongueur + 1 bytes.
// Results are cut to that length and always end with a zero byte.
#pragma once
#include <cstddef>
#include <cstdint>

class CTString;
class CZNDSTRBase;
class CZNBINBase;

// Decimal number read in the manner of the C library's string-to-long
// conversion over at most nTaille characters: leading blanks, an optional
// sign, then digits up to the first non-digit (no digit gives 0). The
// magnitude is held at 2^40, beyond every 32-bit value.
int64_t DT_llLitDecimal(const char* pszTexte, size_t nTaille);
// The value held within the 32-bit range.
int32_t DT_nBorne32(int64_t n);
// Copies a text into a caller's buffer of nLongueur + 1 bytes, cut to
// nLongueur characters; nothing for a null buffer or a negative length.
void DT_CopieCoupee(char* pszBuffer, int nLongueur, const char* pszTexte);

// A date word (day, month, year) and the milliseconds of the day.
class CValeurDateHeure {
public:
    static constexpr const char ms_pcszFormatDate[] = "%04d%02d%02d";
    static constexpr const char ms_pcszFormatHeure[] = "%02d%02d%02d%03d";
    // What a new variant of the date and time types starts with.
    static constexpr const char ms_pcszValeurInitDate[] = "";
    static constexpr const char ms_pcszValeurInitTime[] = "0000";

    static constexpr uint32_t MS_PAR_JOUR = 86400000u;
    static constexpr int TAILLE_CHAINE = 17;   // "AAAAMMJJHHMMSSLLL"

    // --- Setting ------------------------------------------------------------------------
    // Fields stored as given; milliseconds from the time fields. No check.
    void Set(int nAnnee, int nMois, int nJour, int nHeure, int nMinute, int nSeconde, int nMilli);
    void InitDate();   // the empty value
    int nFromString(const char* pszTexte);
    // The storage text held by a buffer (at most its first 17 bytes).
    int nDepuisBinaire(const CZNBINBase& clBinaire);
    bool bSetPartieDate(const char* pszTexte);
    bool bSetPartieHeure(const char* pszTexte);

    // --- Reading ------------------------------------------------------------------------
    int nGetJour() const { return m_byJour; }
    int nGetMois() const { return m_byMois; }
    int nGetAnnee() const { return m_wAnnee; }
    uint32_t dwGetMillisecondes() const { return m_dwMillisecondes; }
    int nGetHeure() const { return int(m_dwMillisecondes / 3600000u); }
    int nGetMinute() const { return int(m_dwMillisecondes / 60000u % 60u); }
    int nGetSeconde() const { return int(m_dwMillisecondes / 1000u % 60u); }
    int nGetMilli() const { return int(m_dwMillisecondes % 1000u); }
    // Day in the low byte, month in the next, year in the high 16 bits.
    uint32_t dwGetDate() const {
        return uint32_t(m_byJour) | (uint32_t(m_byMois) << 8) | (uint32_t(m_wAnnee) << 16);
    }
    void SetDate(uint32_t dwDate) {
        m_byJour = uint8_t(dwDate);
        m_byMois = uint8_t(dwDate >> 8);
        m_wAnnee = uint16_t(dwDate >> 16);
    }
    void SetMillisecondes(uint32_t dwMilli) { m_dwMillisecondes = dwMilli; }
    bool bEstVide() const { return dwGetDate() == 0 && m_dwMillisecondes == 0; }

    // --- Storage text -------------------------------------------------------------------
    void VersChaine(char* pszBuffer, int nLongueur) const;
    void VersChaine(CTString& clResultat) const;
    CTString VersChaine() const;
    int nVersChaine(CZNDSTRBase& clResultat) const;
    int nVersBinaire(CZNBINBase& clResultat) const;
    char* pszCreeChaine() const;   // malloc'ed; null when memory ran out

    // nNombre characters from nDecalage read as a decimal number (blanks
    // and a sign first, up to the first non-digit). A field running past
    // the end reads 0, or with bPartiel the characters present, times 10
    // for each missing one. Values are held within 32 bits.
    static int32_t nGetPropDateTime(const char* pszTexte, int nDecalage, int nNombre, bool bPartiel);
    static int32_t nGetPropDateTimeANSI(const char* pszTexte, int nDecalage, int nNombre, bool bPartiel);

protected:
    uint8_t m_byJour;
    uint8_t m_byMois;
    uint16_t m_wAnnee;
    uint32_t m_dwMillisecondes;
};

// One signed 64-bit count of milliseconds.
class CValeurDuree {
public:
    static constexpr const char ms_pcszFormatAffichageMillieme[] = "%lld%02d%02d%02d%03d";
    static constexpr const char ms_cpszFormatAffichageCentieme[] = "%lld%02d%02d%02d%02d";
    static constexpr int TAILLE_CHAINE = 24;

    int64_t llGetMillisecondes() const { return m_llMillisecondes; }
    void SetMillisecondes(int64_t ll) { m_llMillisecondes = ll; }

    static int nCompare(const CValeurDuree& clA, const CValeurDuree& clB);

    int nVersChaine(CZNDSTRBase& clResultat) const;
    int nVersChaineCentieme(CZNDSTRBase& clResultat) const;
    int nVersBinaire(CZNBINBase& clResultat) const;
    char* pszCreeChaine() const;   // malloc'ed; null when memory ran out
    // The text forms into a buffer of at least TAILLE_CHAINE + 1 bytes.
    void VersChaine(char* pszBuffer, bool bCentiemes) const;

    // 0, or 112 when the text is too short or its value does not fit in
    // 64-bit milliseconds (the value is then unchanged).
    int nDepuisChaine(const char* pszTexte);
    int nDepuisChaineCentieme(const char* pszTexte);
    int nDepuisBinaire(const CZNBINBase& clBinaire);

    // The absolute parts of a count of milliseconds, and its sign.
    struct STParties {
        bool bNegatif;
        long long llJours;
        int nHeures, nMinutes, nSecondes, nMilli;
    };
    static STParties s_Parties(int64_t llMillisecondes);
    // days x 1 day + hours + minutes + seconds + milliseconds, negated with
    // bNegatif; false when the total leaves 64 bits.
    static bool s_bCompose(int64_t llJours, int64_t nHeures, int64_t nMinutes, int64_t nSecondes, int64_t nMilli,
                           bool bNegatif, int64_t& llResultat);

protected:
    int64_t m_llMillisecondes;
};

static_assert(sizeof(CValeurDateHeure) == 8, "date-time value");
static_assert(sizeof(CValeurDuree) == 8, "duration value");
