// Date and time masks: reading a text back into the broken-down record and
// into the storage forms.
//
// The text is walked with the mask's zones, left to right: each zone first
// decides how many characters it reads at the current position, then
// reads its value (or finds the text is no value and stops), then stores
// it in the record. When the mask is exhausted the record is completed
// (today's month and year for a day alone, zero minutes and seconds after
// an hour). A text that runs out or stops early leaves the record as read.
#include <cstring>
#include <string>

#include "datetime/dtinternal.h"
#include "datetime/maskdate.h"

namespace {

char _cMinuscule(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool _bEgalI(const char* p, size_t n, const std::string& s) {
    if (s.empty() || s.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (_cMinuscule(p[i]) != _cMinuscule(s[i])) return false;
    return true;
}

bool _bCommenceParI(const char* p, size_t nReste, const std::string& s) {
    return !s.empty() && s.size() <= nReste && _bEgalI(p, s.size(), s);
}

bool _bLettre(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= 0xC0 && u != 0xD7 && u != 0xF7);
}

bool _bChiffre(char c) { return c >= '0' && c <= '9'; }

// Decimal value of a field, kept inside the record's range (65535 is the
// empty marker).
uint16_t _wValeur(const char* p, size_t n) {
    int64_t v = DT_llLitDecimal(p, n);
    if (v < 0) v = 0;
    if (v > 65534) v = 65534;
    return uint16_t(v);
}

}  // namespace

// What one reading carries from zone to zone.
struct CMasqueDateHeure::STLecture {
    STLecture(const char* psz, int nFlagsLecture, const STCompile& stCompile)
        : pszTexte(psz),
          L(std::strlen(psz)),
          nFlags(nFlagsLecture),
          bSaisie((nFlagsLecture & MSQ_SAISIE) != 0),
          bStrict((nFlagsLecture & MSQ_STRICT) != 0),
          stC(stCompile) {}

    const char* pszTexte;
    size_t L;                  // length of the text
    size_t nPos = 0;           // current position in the text
    int nFlags;
    bool bSaisie, bStrict;
    const STCompile& stC;

    // The AM and PM texts, fetched once when a zone needs them.
    std::string sAM, sPM;
    bool bTextesAMPM = false;
    // Next occurrence of each character from a position: a search that
    // failed once fails further on, so each character is scanned at most
    // once over the text whatever the number of name zones.
    ptrdiff_t anProchain[256];
    bool bProchain = false;
    // An AM/PM marker read before the hour applies to the hour read later.
    enum { MARQUE_AUCUNE, MARQUE_AM, MARQUE_PM } eMarque = MARQUE_AUCUNE;
    // A year being typed, its missing last digit read as 0.
    char acAnnee[4];

    void TextesAMPM(const CMasqueDateHeure& clMasque) {
        if (bTextesAMPM) return;
        CTString cl;
        clMasque._GetStrAMPM(true, cl);
        sAM = cl.pszGet();
        clMasque._GetStrAMPM(false, cl);
        sPM = cl.pszGet();
        bTextesAMPM = true;
    }

    ptrdiff_t nCherche(unsigned char c) {
        if (!bProchain) {
            for (ptrdiff_t& n : anProchain) n = -2;
            bProchain = true;
        }
        ptrdiff_t& n = anProchain[c];
        if (n == -1) return -1;
        if (n >= ptrdiff_t(nPos)) return n;
        const void* pv = std::memchr(pszTexte + nPos, c, L - nPos);
        n = pv != nullptr ? static_cast<const char*>(pv) - pszTexte : -1;
        return n;
    }
};

void CMasqueDateHeure::_TexteVersDateHeure(const char* pszTexte, const char* pszMasque, STSystemTime& st,
                                           int nFlags) {
    RazSYSTEMTIME(st);
    if (pszTexte == nullptr) pszTexte = "";
    if (pszMasque == nullptr) pszMasque = "";
    const bool bSaisie = (nFlags & MSQ_SAISIE) != 0;
    STLecture stL(pszTexte, nFlags, _stCompile(pszMasque, bSaisie));

    for (const STZone& z : stL.stC.vZones) {
        if (z.eZone == TZ_RIEN) continue;
        ETypeZone e = z.eZone;
        bool bCherche = false;
        size_t w = _nLargeurZone(stL, z, e, bCherche);
        if (w > stL.L - stL.nPos) {
            if (!MSQ_bVide(st.wHour) && !MSQ_bVide(st.wMinute) && MSQ_bVide(st.wSecond)) st.wSecond = 0;
            return;
        }
        const char* p = pszTexte + stL.nPos;
        if (e == TZ_LITTERAL) {
            if (stL.bStrict && _bLettre(z.cLitteral)) {
                RazSYSTEMTIME(st);
                return;
            }
            if ((nFlags & MSQ_LITTERAUX_EXACTS) != 0 && *p != z.cLitteral) return;
            stL.nPos += 1;
            continue;
        }
        uint16_t v = 0;
        bool bVideLu = false;
        if (!_bLitValeur(stL, e, bCherche, p, w, v, bVideLu)) return;
        _RangeValeur(stL, e, p, w, v, bVideLu, st);
        if (z.eZone == TZ_ANNEE2 && stL.bStrict && z.bDernier && stL.nPos + w < stL.L) {
            // Two-digit year at the end of the mask followed by more text:
            // a four-digit year typed into a two-digit mask.
            RazSYSTEMTIME(st);
            return;
        }
        stL.nPos += w;
    }
    _CompleteLecture(st, bSaisie);
}

// The walk reads such a text to the same values: each zone takes its
// digits whole, and the record is completed the same way.
bool CMasqueDateHeure::_bLitChiffres(const char* pszTexte, const STCompile& stC, STSystemTime& st) const {
    if (stC.nChiffres == 0 || pszTexte == nullptr) return false;
    for (size_t i = 0; i < stC.nChiffres; ++i)
        if (!_bChiffre(pszTexte[i])) return false;
    RazSYSTEMTIME(st);
    const char* p = pszTexte;
    for (const STZone& z : stC.vZones) {
        uint16_t v = 0;
        for (size_t i = 0; i < z.nLargeur; ++i) v = uint16_t(v * 10 + (p[i] - '0'));
        p += z.nLargeur;
        switch (z.eZone) {
        case TZ_ANNEE4: st.wYear = v; break;
        case TZ_MOIS2: st.wMonth = v; break;
        case TZ_JOUR2: st.wDay = v; break;
        case TZ_HEURE2: st.wHour = v; break;
        case TZ_MINUTE: st.wMinute = v; break;
        case TZ_SECONDE: st.wSecond = v; break;
        default: st.wMilliseconds = v; break;
        }
    }
    _CompleteLecture(st, false);
    return true;
}

size_t CMasqueDateHeure::_nLargeurZone(STLecture& stL, const STZone& z, ETypeZone& e, bool& bCherche) const {
    const size_t nReste = stL.L - stL.nPos;
    if (e == TZ_LITTERAL) return 1;
    if (stL.bSaisie && (e == TZ_MOIS_LETTRES || e == TZ_MOIS_ABREGE) && !z.bMoisNumeriqueApres) {
        // Written as the month number in entry form: read so.
        e = TZ_MOIS2;
        return 2;
    }
    if (stL.bSaisie && MSQ_bZoneNomJour(e)) return 0;
    if (MSQ_bZoneNom(e)) {
        // A name runs up to the mask's next character, or to the end.
        if (z.cSuivant == 0) {
            bCherche = true;
            return nReste;
        }
        const ptrdiff_t n = stL.nCherche(static_cast<unsigned char>(z.cSuivant));
        if (n < 0) return z.nLargeur;
        bCherche = true;
        return size_t(n) - stL.nPos;
    }
    if (e == TZ_JOUR || e == TZ_MOIS || e == TZ_HEURE) {
        // One or two characters: a last single character is a whole field.
        return nReste == 1 ? 1 : z.nLargeur;
    }
    if (e == TZ_AMPM) {
        // The markers are read whole, whatever their length.
        stL.TextesAMPM(*this);
        const std::string& sLong = stL.sAM.size() >= stL.sPM.size() ? stL.sAM : stL.sPM;
        const std::string& sCourt = stL.sAM.size() >= stL.sPM.size() ? stL.sPM : stL.sAM;
        const char* p = stL.pszTexte + stL.nPos;
        if (_bCommenceParI(p, nReste, sLong)) return sLong.size();
        if (_bCommenceParI(p, nReste, sCourt)) return sCourt.size();
    }
    return z.nLargeur;
}

bool CMasqueDateHeure::_bLitValeur(STLecture& stL, ETypeZone e, bool bCherche, const char*& p, size_t& w,
                                   uint16_t& v, bool& bVideLu) const {
    if (e == TZ_ANNEE4 && p[2] != '_' && p[3] == '_') {
        // A year being typed: the missing last digit counts as 0.
        std::memcpy(stL.acAnnee, p, 4);
        stL.acAnnee[3] = '0';
        p = stL.acAnnee;
    }
    bVideLu = w > 0 && p[0] == '_';
    v = w > 0 ? _wValeur(p, w) : 0;
    if (!bVideLu && v == 0 && w > 0 && p[0] != '0' && !bCherche) {
        // Not a number: only the AM and PM texts may stand here.
        if (!stL.stC.bAMPM) return false;
        stL.TextesAMPM(*this);
        if (!_bEgalI(p, w, stL.sAM) && !_bEgalI(p, w, stL.sPM)) return false;
    }
    if ((e == TZ_JOUR || e == TZ_MOIS || e == TZ_HEURE) && w == 2) {
        bool bUn = false;
        if (!_bChiffre(p[1]))
            bUn = true;
        else if (e == TZ_JOUR)
            bUn = (v >= 10 || p[0] == '0') ? stL.L == stL.stC.sMasque.size() : true;
        else if (e == TZ_MOIS)
            bUn = v < 10 && p[0] != '0';
        if (bUn) {
            w = 1;
            v = _wValeur(p, 1);
        }
    }
    return true;
}

void CMasqueDateHeure::_RangeValeur(STLecture& stL, ETypeZone e, const char* p, size_t w, uint16_t v, bool bVideLu,
                                    STSystemTime& st) const {
    const uint16_t u = bVideLu ? MSQ_VIDE : v;
    switch (e) {
    case TZ_JOUR:
    case TZ_JOUR2:
        st.wDay = u;
        break;
    case TZ_MOIS:
    case TZ_MOIS2:
        st.wMonth = u;
        break;
    case TZ_MOIS_ABREGE:
    case TZ_MOIS_LETTRES: {
        const int nMois = _nMoisDepuisNom(p, w, e == TZ_MOIS_ABREGE);
        st.wMonth = nMois > 0 ? uint16_t(nMois) : u;
        break;
    }
    case TZ_ANNEE2:
        if (!bVideLu) {
            if ((stL.nFlags & MSQ_PIVOT_50) != 0)
                st.wYear = uint16_t(v < 51 ? 2000 + v : 1900 + v);
            else
                st.wYear = uint16_t(v + 100 * MSQ_SIECLE);
        }
        break;
    case TZ_ANNEE4:
        st.wYear = u;
        break;
    case TZ_HEURE:
    case TZ_HEURE2:
        if (!bVideLu && stL.stC.bAMPM && stL.eMarque == STLecture::MARQUE_PM && !MSQ_bVide(st.wHour))
            st.wHour = uint16_t(12 + v % 12);   // "PM 12" is noon, "PM 3" 15 h
        else if (!bVideLu && stL.stC.bAMPM && stL.eMarque == STLecture::MARQUE_AM)
            st.wHour = v == 12 ? 0 : v;
        else
            st.wHour = u;
        stL.eMarque = STLecture::MARQUE_AUCUNE;
        break;
    case TZ_MINUTE:
        st.wMinute = u;
        break;
    case TZ_SECONDE:
        st.wSecond = u;
        break;
    case TZ_CENTIEME:
        st.wMilliseconds = bVideLu ? MSQ_VIDE : uint16_t(v > 6553 ? 65530 : v * 10);
        break;
    case TZ_MILLIEME:
        st.wMilliseconds = u;
        break;
    case TZ_AMPM:
        stL.TextesAMPM(*this);
        if (_bEgalI(p, w, stL.sPM)) {
            if (MSQ_bVide(st.wHour)) {
                st.wHour = 12;
                stL.eMarque = STLecture::MARQUE_PM;
            } else if (st.wHour < 12) {
                st.wHour = uint16_t(st.wHour + 12);
            }
        } else if (_bEgalI(p, w, stL.sAM)) {
            if (st.wHour == 12)
                st.wHour = 0;
            else if (MSQ_bVide(st.wHour))
                stL.eMarque = STLecture::MARQUE_AM;
        }
        break;
    default:
        break;
    }
}

void CMasqueDateHeure::_CompleteLecture(STSystemTime& st, bool bSaisie) const {
    if (bSaisie) {
        if (!MSQ_bVide(st.wYear) && st.wYear < 100 && m_nAnneeMin > 100)
            st.wYear = uint16_t(st.wYear + 100 * MSQ_SIECLE);
    } else {
        if (st.wDay == 0 && st.wMonth == 0 && st.wYear == 0 && m_bDateEtHeure)
            st.wDay = st.wMonth = st.wYear = MSQ_VIDE;
        if (st.wDay == 0) st.wDay = MSQ_VIDE;
        if (st.wMonth == 0) st.wMonth = MSQ_VIDE;
    }
    if (!MSQ_bVide(st.wDay) && (MSQ_bVide(st.wMonth) || MSQ_bVide(st.wYear))) {
        STSystemTime stMaintenant;
        SYS_GetSystemTime(stMaintenant);
        if (MSQ_bVide(st.wMonth) && MSQ_bVide(st.wYear)) {
            st.wMonth = stMaintenant.wMonth;
            st.wYear = stMaintenant.wYear;
        } else if (!MSQ_bVide(st.wMonth) && MSQ_bVide(st.wYear)) {
            st.wYear = stMaintenant.wYear;
        }
    }
    if (!MSQ_bVide(st.wHour) && MSQ_bVide(st.wMinute)) st.wMinute = 0;
    if (!MSQ_bVide(st.wHour) && !MSQ_bVide(st.wMinute) && MSQ_bVide(st.wSecond)) st.wSecond = 0;
    if (!MSQ_bVide(st.wMinute) && !MSQ_bVide(st.wSecond) && MSQ_bVide(st.wMilliseconds)) st.wMilliseconds = 0;
}

// --- Storage forms ----------------------------------------------------------------------

void CMasqueDateHeure::StructtoDateString(const STSystemTime& st, char* pszBuffer, int nTaille,
                                          const char* pszFormat) {
    if (pszBuffer == nullptr || nTaille < 1) return;
    pszBuffer[0] = 0;
    STSystemTime stCopie = st;
    if (MSQ_bVide(stCopie.wDay) && !bZoneEstPresente(TZ_JOUR, TZ_JOUR_LETTRES)) stCopie.wDay = 1;
    if (MSQ_bVide(stCopie.wYear) || MSQ_bVide(stCopie.wMonth) || MSQ_bVide(stCopie.wDay)) return;
    _FormateDateForMaskEx(pszFormat != nullptr ? pszFormat : m_clFormatRetour.pszGet(), stCopie, 0);
    size_t n = m_sSortie.size() < 32 ? m_sSortie.size() : 32;
    if (n > size_t(nTaille - 1)) n = size_t(nTaille - 1);
    std::memcpy(pszBuffer, m_sSortie.data(), n);
    pszBuffer[n] = 0;
}

void CMasqueDateHeure::StructtoHourString(const STSystemTime& st, char* pszBuffer, int nTaille) {
    if (pszBuffer == nullptr || nTaille < 1) return;
    pszBuffer[0] = 0;
    if (MSQ_bVide(st.wHour) || MSQ_bVide(st.wMinute)) return;
    STSystemTime stCopie = st;
    if (MSQ_bVide(stCopie.wSecond)) stCopie.wSecond = 0;
    if (MSQ_bVide(stCopie.wMilliseconds)) stCopie.wMilliseconds = 0;
    _FormateDateForMaskEx(m_clFormatRetour.pszGet(), stCopie, 0);
    size_t n = m_sSortie.size() < 9 ? m_sSortie.size() : 9;
    if (n > size_t(nTaille - 1)) n = size_t(nTaille - 1);
    std::memcpy(pszBuffer, m_sSortie.data(), n);
    pszBuffer[n] = 0;
}

void CMasqueDateHeure::DeformateDateHeure(const char* pszTexte, CTString& clResultat, int nFlags,
                                          const char* pszFormatRetour) {
    STSystemTime st;
    _TexteVersDateHeure(pszTexte, m_clMasque.pszGet(), st, nFlags);
    char szResultat[33];
    if (m_nDate == 0 && !m_bDateEtHeure)
        StructtoHourString(st, szResultat, int(sizeof szResultat));
    else
        StructtoDateString(st, szResultat, int(sizeof szResultat), pszFormatRetour);
    clResultat = szResultat;
}
