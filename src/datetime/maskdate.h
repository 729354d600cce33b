// Date and time masks: display patterns such as "JJ/MM/AAAA" or "HH:mm:SS"
// that write a date or a time for a person and read it back.
//
// A mask is read from left to right; at each position the first token of
// the table in force that matches (case-sensitive) is taken, a backslash
// makes the next character a literal, and every other character is a
// literal. A date mask uses the date tokens, a time mask the time tokens,
// and a mask whose return format is a date-and-time form uses both, the
// date tokens first (there "MM" is the month and "mm" the minutes).
//
// The broken-down value is a system-time record in which 65535 marks an
// empty field. Day and month names and the AM and PM texts come from the
// host's language information when it gives them, else from the message
// texts of the interface language.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/tstring.h"
#include "datetime/masque.h"
#include "datetime/systime.h"

// Kinds of zone of a mask.
enum ETypeZone : uint8_t {
    TZ_FIN = 0,                // end of the mask
    TZ_LITTERAL = 1,           // a literal character
    TZ_JOUR = 2,               // "J", "D"
    TZ_JOUR2 = 3,              // "JJ", "DD"
    TZ_JOUR_ABREGE = 4,        // "JJJ", "DDD"
    TZ_JOUR_LETTRES = 5,       // "JJJJ", "DDDD"
    TZ_MOIS = 6,               // "M"
    TZ_MOIS2 = 7,              // "MM"
    TZ_MOIS_ABREGE = 8,        // "MMM"
    TZ_MOIS_LETTRES = 9,       // "MMMM"
    TZ_ANNEE2 = 10,            // "AA", "YY"
    TZ_ANNEE4 = 11,            // "AAAA", "YYYY"
    TZ_HEURE2 = 12,            // "HH"
    TZ_HEURE = 13,             // "H"
    TZ_MINUTE = 14,            // "MM" (time table), "mm"
    TZ_SECONDE = 15,           // "SS"
    TZ_CENTIEME = 16,          // "CC"
    TZ_MILLIEME = 17,          // "CCC"
    TZ_AMPM = 18,              // "AM", "AP", "PM"
    TZ_RIEN = 19,              // a literal dropped in entry form
};

// One row of a token table: its text, its zone and the characters it reads
// (for names, the count used when the next literal is not found).
struct STJetonMasque {
    const char* pszTexte;
    uint8_t nLongueur;
    ETypeZone eZone;
    uint8_t nLargeur;
};
extern const STJetonMasque gstJetonsDate[];
extern const size_t gnJetonsDate;
extern const STJetonMasque gstJetonsHeure[];
extern const size_t gnJetonsHeure;

// Flags of formatting and reading.
constexpr int MSQ_SAISIE = 1;             // entry form
constexpr int MSQ_LITTERAUX_EXACTS = 2;   // reading: literals must match
constexpr int MSQ_PIVOT_50 = 4;           // reading: two-digit years pivot at 50
constexpr int MSQ_TOLERANT = 8;           // writing: tolerant form
constexpr int MSQ_STRICT = 16;            // reading: strict form

constexpr uint16_t MSQ_VIDE = 65535;      // an empty field of the record
// Century number of two-digit years.
constexpr int MSQ_SIECLE = 20;

// Every field empty.
void RazSYSTEMTIME(STSystemTime& st);

inline bool MSQ_bVide(uint16_t w) { return w == MSQ_VIDE; }
// Zones written as names: day names, and with them month names.
inline bool MSQ_bZoneNomJour(ETypeZone e) { return e == TZ_JOUR_ABREGE || e == TZ_JOUR_LETTRES; }
inline bool MSQ_bZoneNom(ETypeZone e) {
    return MSQ_bZoneNomJour(e) || e == TZ_MOIS_ABREGE || e == TZ_MOIS_LETTRES;
}

class CMasqueDateHeure : public CMasque {
public:
    // nDate non-zero: a date mask; 0: a time mask. The mask "UseSystemMask"
    // (any case) stands for the system mask.
    CMasqueDateHeure(const char* pszMasque, int nDate, const char* pszFormatRetour = nullptr);
    ~CMasqueDateHeure() override;

    // New date or time masks as base-mask objects, freed with delete. A null
    // or empty return format gives the default of the kind ("AAAAMMJJ",
    // "HHMMSS").
    static CMasque* pclGetNewMasqueDate(const char* pszMasque, const char* pszFormatRetour);
    static CMasque* pclGetNewMasqueHeure(const char* pszMasque, const char* pszFormatRetour);

    // --- CMasque ------------------------------------------------------------------------
    bool bEstVide() const override { return m_clMasque.bEstVide(); }
    void Formate(const char* pszValeur, CTString& clResultat, CObjetAPCode* pclObjet) override;
    // The system mask follows the new language information.
    void SetInfoLangue(IInfoLangue* piInfoLangue, int nParam1, int nParam2) override;

    // --- Settings -----------------------------------------------------------------------
    const char* pszGetMasque() const { return m_clMasque.pszGet(); }
    const char* pszGetMasqueOrigine() const { return m_clMasqueOrigine.pszGet(); }
    bool bEstMasqueDate() const { return m_nDate != 0; }
    void SetFormatRetour(const char* pszFormat);
    const char* pszGetFormatRetour() const { return m_clFormatRetour.pszGet(); }
    // Year bounds (1900 and 2089 by default); entry-form reading gives a
    // year below 100 its century when the lower bound is above 100.
    void SetMinMaxAnnee(int nMin, int nMax);
    int nGetAnneeMin() const { return m_nAnneeMin; }
    int nGetAnneeMax() const { return m_nAnneeMax; }

    // The six date-and-time return forms ("AAAAMMJJHHmmSS"...), exactly.
    static bool sbStrEstMasqueDateEtHeure(const char* pszFormat);
    bool bEstMasqueDateEtHeure() const { return m_bDateEtHeure; }

    // The system mask of this kind of mask.
    void GetMasqueSysteme(CTString& clResultat) const;

    // --- Writing ------------------------------------------------------------------------
    // The value read with the return format, then written by the mask.
    void FormateEx(const char* pszValeur, CTString& clResultat, int nFlags);
    // The record written by the mask. The day of week is the caller's.
    void FormateDate(const STSystemTime& st, CTString& clResultat, int nFlags);
    // The same into a buffer of nTaille bytes (cut, always ended); the full
    // length of the text is returned.
    int nFormateDate(const STSystemTime& st, char* pszBuffer, int nTaille, int nFlags);

    // --- Reading ------------------------------------------------------------------------
    // The text read by the mask, written in the storage form: the return
    // format given (the object's when null), or "HHMMSS"-like for a time
    // mask. Empty when the text does not give a complete value.
    void DeformateDateHeure(const char* pszTexte, CTString& clResultat, int nFlags,
                            const char* pszFormatRetour = nullptr);
    // The text read by a mask into the record (all fields empty first).
    void _TexteVersDateHeure(const char* pszTexte, const char* pszMasque, STSystemTime& st, int nFlags);
    // The record in the storage form of pszFormat (at most 32 characters), or
    // empty when year, month or day is missing. nTaille bytes of buffer.
    void StructtoDateString(const STSystemTime& st, char* pszBuffer, int nTaille, const char* pszFormat);
    // The record by the return format (at most 9 characters), or empty
    // without hour and minute.
    void StructtoHourString(const STSystemTime& st, char* pszBuffer, int nTaille);
    // Day of week from year, month and day, empty when they are not a date.
    static void _InitJourDelaSemaine(STSystemTime& st);

    // --- Names --------------------------------------------------------------------------
    // Day of week 0 Sunday ... 6 Saturday; month 1 ... 12. Out of range:
    // empty text.
    void JourEnLettre(int nJourSemaine, bool bAbrege, char* pszBuffer, int nTaille) const;
    void MoisEnLettre(int nMois, bool bAbrege, char* pszBuffer, int nTaille) const;
    static void s_JourEnLettre(int nJourSemaine, IInfoLangue* piInfoLangue, CTString& clResultat);
    static void s_MoisEnLettre(int nMois, IInfoLangue* piInfoLangue, CTString& clResultat);
    // The month whose name (or abbreviation) is exactly the text, else -1.
    int _nGetNumMonthFromName(const char* pszTexte, bool bAbrege) const;
    void _GetStrAMPM(bool bAM, CTString& clResultat) const;

    // --- Scanning -----------------------------------------------------------------------
    // The zone at *ppszPosition (inside the working mask, or any text
    // scanned with this mask's tables); the position moves past it. nLargeur
    // receives the characters the zone reads (1 for a literal, 0 at the end
    // and for a dropped literal). pcLitteral receives a literal's character.
    ETypeZone eParseMasque(const char*& pszPosition, int& nLargeur, bool bSaisie,
                           char* pcLitteral = nullptr) const;
    // A zone of nZone1..nZone2 in the text (scanned with this mask's tables),
    // or in the working mask.
    bool bZonePresent(const char* pszTexte, int nZone1, int nZone2) const;
    bool bZoneEstPresente(int nZone1, int nZone2) const;
    // A zone other than a literal or a day name between the two positions of
    // the working mask.
    bool bContientZoneActive(const char* pszDebut, const char* pszFin) const;
    // The mask's first "AM" not followed by "M".
    static bool _bZoneAMPMPresente(const char* pszMasque);

private:
    // A mask turned into its zones once, for one form.
    struct STZone {
        ETypeZone eZone;
        uint8_t nLargeur;
        char cLitteral;             // literal character
        char cSuivant;              // name zones: the mask character after the token (0 at the end)
        bool bMoisNumeriqueApres;   // a "M" or "MM" zone further on
        bool bDernier;              // no zone but dropped literals after it
    };
    struct STCompile {
        std::string sMasque;
        bool bSaisie = false;
        bool bDeuxTables = false;
        bool bAMPM = false;
        bool bValide = false;
        // Characters of a mask made only of fixed-width number zones (the
        // storage forms), 0 for any other mask.
        size_t nChiffres = 0;
        std::vector<STZone> vZones;
    };

    // Reading (mask_read.cpp): one walk over the text, zone by zone.
    struct STLecture;
    // A text of digits read by a mask of fixed-width number zones, straight
    // from its digits; false when the walk must read it.
    bool _bLitChiffres(const char* pszTexte, const STCompile& stC, STSystemTime& st) const;
    // The characters the zone reads at the current position (a month name
    // of the entry form turns into a month number: e changes).
    size_t _nLargeurZone(STLecture& stL, const STZone& z, ETypeZone& e, bool& bCherche) const;
    // The value of the w characters at p; false when the text holds no
    // value there and reading stops. A one-digit field narrows w.
    bool _bLitValeur(STLecture& stL, ETypeZone e, bool bCherche, const char*& p, size_t& w, uint16_t& v,
                     bool& bVideLu) const;
    // The value stored in its field of the record.
    void _RangeValeur(STLecture& stL, ETypeZone e, const char* p, size_t w, uint16_t v, bool bVideLu,
                      STSystemTime& st) const;
    // The record completed once the whole mask was read.
    void _CompleteLecture(STSystemTime& st, bool bSaisie) const;

    void _MetAJourMode();
    bool _bDeuxTables(const char* pszMasque) const;
    ETypeZone _eParse(const char*& p, int& nLargeur, bool bDeuxTables, char* pcLitteral) const;
    const STCompile& _stCompile(const char* pszMasque, bool bSaisie);
    void _GetMasqueSystemeHeure(CTString& clResultat) const;
    // The record written by a mask into m_sSortie.
    void _FormateDateForMaskEx(const char* pszMasque, const STSystemTime& st, int nFlags);
    static void _MasqueTolerant(const char* pszMasque, std::string& sResultat);
    void _Nom(bool bMois, int nIndex, bool bAbrege, std::string& sResultat) const;
    int _nMoisDepuisNom(const char* p, size_t n, bool bAbrege) const;

    // Fields in their documented order.
    CTString m_clMasque;           // working mask
    int m_nDate;                   // non-zero: date mask
    int m_nAnneeMin = 1900;
    int m_nAnneeMax = 2089;
    CTString m_clFormatRetour;
    CTString m_clMasqueOrigine;    // as given to the constructor

    bool m_bDateEtHeure = false;
    STCompile m_astCache[4];
    unsigned m_nProchainCache = 0;
    std::string m_sSortie;
    std::string m_sTolerant;
};
