// Date and time masks: token tables, settings, scanning and writing.
#include "datetime/maskdate.h"

#include <cstring>

#include "datetime/calendar.h"

// Longer tokens first in each family, so that the first match is the longest.
const STJetonMasque gstJetonsDate[] = {
    {"AAAA", 4, TZ_ANNEE4, 4},       {"YYYY", 4, TZ_ANNEE4, 4},      {"AA", 2, TZ_ANNEE2, 2},
    {"YY", 2, TZ_ANNEE2, 2},         {"MMMM", 4, TZ_MOIS_LETTRES, 4}, {"MMM", 3, TZ_MOIS_ABREGE, 3},
    {"MM", 2, TZ_MOIS2, 2},          {"M", 1, TZ_MOIS, 2},           {"JJJJ", 4, TZ_JOUR_LETTRES, 4},
    {"DDDD", 4, TZ_JOUR_LETTRES, 4}, {"JJJ", 3, TZ_JOUR_ABREGE, 3},  {"DDD", 3, TZ_JOUR_ABREGE, 3},
    {"JJ", 2, TZ_JOUR2, 2},          {"DD", 2, TZ_JOUR2, 2},         {"J", 1, TZ_JOUR, 2},
    {"D", 1, TZ_JOUR, 2},
};
const size_t gnJetonsDate = sizeof gstJetonsDate / sizeof gstJetonsDate[0];

const STJetonMasque gstJetonsHeure[] = {
    {"HH", 2, TZ_HEURE2, 2},   {"H", 1, TZ_HEURE, 2},       {"MM", 2, TZ_MINUTE, 2},  {"mm", 2, TZ_MINUTE, 2},
    {"SS", 2, TZ_SECONDE, 2},  {"CCC", 3, TZ_MILLIEME, 3},  {"CC", 2, TZ_CENTIEME, 2}, {"AM", 2, TZ_AMPM, 2},
    {"AP", 2, TZ_AMPM, 2},     {"PM", 2, TZ_AMPM, 2},
};
const size_t gnJetonsHeure = sizeof gstJetonsHeure / sizeof gstJetonsHeure[0];

namespace {

const char* const s_apszDateEtHeure[] = {
    "YYYYMMDDHHmmSS",  "YYYYMMDDHHmmSSCC", "AAAAMMJJHHmmSSCC",
    "YYYYMMDDHHmmSSCCC", "AAAAMMJJHHmmSSCCC", "AAAAMMJJHHmmSS",
};

// A zone that carries a value (not a literal, not a day name).
bool _bActive(ETypeZone e) { return e != TZ_LITTERAL && e != TZ_RIEN && !MSQ_bZoneNomJour(e); }

void _Ajoute2(std::string& s, uint16_t w) {
    if (MSQ_bVide(w)) {
        s.append("__", 2);
        return;
    }
    // Two characters whatever the value.
    if (w > 99) w = 99;
    const char a[2] = {char('0' + w / 10), char('0' + w % 10)};
    s.append(a, 2);
}

// The number on at least nChiffres digits ("%0Nd"), or nChiffres underscores.
void _AjouteNombre(std::string& s, uint16_t w, int nChiffres) {
    if (MSQ_bVide(w)) {
        s.append(size_t(nChiffres), '_');
        return;
    }
    char a[8];
    int n = 0;
    unsigned v = w;
    do {
        a[n++] = char('0' + v % 10);
        v /= 10;
    } while (v != 0);
    for (int i = n; i < nChiffres; ++i) s.push_back('0');
    while (n > 0) s.push_back(a[--n]);
}

}  // namespace

void RazSYSTEMTIME(STSystemTime& st) {
    st.wYear = st.wMonth = st.wDayOfWeek = st.wDay = MSQ_VIDE;
    st.wHour = st.wMinute = st.wSecond = st.wMilliseconds = MSQ_VIDE;
}

// --- Construction ---------------------------------------------------------------------

CMasqueDateHeure::CMasqueDateHeure(const char* pszMasque, int nDate, const char* pszFormatRetour)
    : m_nDate(nDate) {
    if (pszFormatRetour != nullptr && *pszFormatRetour != 0)
        m_clFormatRetour = pszFormatRetour;
    else
        m_clFormatRetour = nDate ? "AAAAMMJJ" : "HHMMSS";
    m_clMasqueOrigine = pszMasque;
    _MetAJourMode();
}

CMasqueDateHeure::~CMasqueDateHeure() = default;

CMasque* CMasqueDateHeure::pclGetNewMasqueDate(const char* pszMasque, const char* pszFormatRetour) {
    return new CMasqueDateHeure(pszMasque, 1, pszFormatRetour);
}

CMasque* CMasqueDateHeure::pclGetNewMasqueHeure(const char* pszMasque, const char* pszFormatRetour) {
    return new CMasqueDateHeure(pszMasque, 0, pszFormatRetour);
}

void CMasqueDateHeure::_MetAJourMode() {
    m_bDateEtHeure = sbStrEstMasqueDateEtHeure(m_clFormatRetour.pszGet());
    for (STCompile& st : m_astCache) st.bValide = false;
    // The system mask depends on the kind, the return format and the
    // language information: it is rebuilt whenever one of them changes.
    if (m_clMasqueOrigine.bEstEgalI("UseSystemMask"))
        GetMasqueSysteme(m_clMasque);
    else
        m_clMasque = m_clMasqueOrigine;
}

void CMasqueDateHeure::SetInfoLangue(IInfoLangue* piInfoLangue, int nParam1, int nParam2) {
    CMasque::SetInfoLangue(piInfoLangue, nParam1, nParam2);
    _MetAJourMode();
}

void CMasqueDateHeure::SetFormatRetour(const char* pszFormat) {
    m_clFormatRetour = pszFormat;
    _MetAJourMode();
}

void CMasqueDateHeure::SetMinMaxAnnee(int nMin, int nMax) {
    m_nAnneeMin = nMin;
    m_nAnneeMax = nMax;
}

bool CMasqueDateHeure::sbStrEstMasqueDateEtHeure(const char* pszFormat) {
    if (pszFormat == nullptr) return false;
    for (const char* psz : s_apszDateEtHeure)
        if (std::strcmp(psz, pszFormat) == 0) return true;
    return false;
}

// --- Scanning -------------------------------------------------------------------------

bool CMasqueDateHeure::_bDeuxTables(const char* pszMasque) const {
    // A return form written with both families is read with both, whatever
    // the object's own mode.
    return m_bDateEtHeure || sbStrEstMasqueDateEtHeure(pszMasque);
}

ETypeZone CMasqueDateHeure::_eParse(const char*& p, int& nLargeur, bool bDeuxTables, char* pcLitteral) const {
    if (*p == 0) {
        nLargeur = 0;
        return TZ_FIN;
    }
    if (*p == '\\') {
        // A final backslash has nothing to protect: the mask ends.
        if (p[1] == 0) {
            ++p;
            nLargeur = 0;
            return TZ_FIN;
        }
        if (pcLitteral != nullptr) *pcLitteral = p[1];
        p += 2;
        nLargeur = 1;
        return TZ_LITTERAL;
    }
    const bool bDate = bDeuxTables || m_nDate != 0;
    const bool bHeure = bDeuxTables || m_nDate == 0;
    for (int nTable = 0; nTable < 2; ++nTable) {
        if ((nTable == 0 && !bDate) || (nTable == 1 && !bHeure)) continue;
        const STJetonMasque* pst = nTable == 0 ? gstJetonsDate : gstJetonsHeure;
        const size_t n = nTable == 0 ? gnJetonsDate : gnJetonsHeure;
        for (size_t i = 0; i < n; ++i) {
            if (std::strncmp(p, pst[i].pszTexte, pst[i].nLongueur) == 0) {
                p += pst[i].nLongueur;
                nLargeur = pst[i].nLargeur;
                return pst[i].eZone;
            }
        }
    }
    if (pcLitteral != nullptr) *pcLitteral = *p;
    ++p;
    nLargeur = 1;
    return TZ_LITTERAL;
}

ETypeZone CMasqueDateHeure::eParseMasque(const char*& pszPosition, int& nLargeur, bool bSaisie,
                                         char* pcLitteral) const {
    if (pszPosition == nullptr) {
        nLargeur = 0;
        return TZ_FIN;
    }
    const char* pszDebut = pszPosition;
    const bool bDeux = _bDeuxTables(m_clMasque.pszGet());
    ETypeZone e = _eParse(pszPosition, nLargeur, bDeux, pcLitteral);
    if (e == TZ_LITTERAL && bSaisie) {
        // Kept only between two zones that carry a value.
        const char* pszMasque = m_clMasque.pszGet();
        const char* pszFin = pszMasque + std::strlen(pszMasque);
        if (pszDebut < pszMasque || pszDebut > pszFin ||
            !(bContientZoneActive(pszMasque, pszDebut) && bContientZoneActive(pszPosition, pszFin))) {
            nLargeur = 0;
            return TZ_RIEN;
        }
    }
    return e;
}

bool CMasqueDateHeure::bContientZoneActive(const char* pszDebut, const char* pszFin) const {
    if (pszDebut == nullptr || pszFin == nullptr) return false;
    const bool bDeux = _bDeuxTables(m_clMasque.pszGet());
    const char* p = pszDebut;
    while (p < pszFin && *p != 0) {
        int n = 0;
        ETypeZone e = _eParse(p, n, bDeux, nullptr);
        if (e == TZ_FIN) break;
        if (_bActive(e) && p <= pszFin) return true;
    }
    return false;
}

bool CMasqueDateHeure::bZonePresent(const char* pszTexte, int nZone1, int nZone2) const {
    if (pszTexte == nullptr) return false;
    const bool bDeux = _bDeuxTables(pszTexte);
    const char* p = pszTexte;
    for (;;) {
        int n = 0;
        ETypeZone e = _eParse(p, n, bDeux, nullptr);
        if (e == TZ_FIN) return false;
        if (int(e) >= nZone1 && int(e) <= nZone2) return true;
    }
}

bool CMasqueDateHeure::bZoneEstPresente(int nZone1, int nZone2) const {
    return bZonePresent(m_clMasque.pszGet(), nZone1, nZone2);
}

bool CMasqueDateHeure::_bZoneAMPMPresente(const char* pszMasque) {
    if (pszMasque == nullptr) return false;
    const char* p = std::strstr(pszMasque, "AM");
    return p != nullptr && p[2] != 'M';
}

const CMasqueDateHeure::STCompile& CMasqueDateHeure::_stCompile(const char* pszMasque, bool bSaisie) {
    for (const STCompile& st : m_astCache)
        if (st.bValide && st.bSaisie == bSaisie && st.sMasque == pszMasque) return st;
    STCompile& st = m_astCache[m_nProchainCache++ % (sizeof m_astCache / sizeof m_astCache[0])];
    st.bValide = false;
    st.sMasque = pszMasque;
    st.bSaisie = bSaisie;
    st.bDeuxTables = _bDeuxTables(pszMasque);
    st.bAMPM = _bZoneAMPMPresente(pszMasque);
    st.vZones.clear();

    const char* p = st.sMasque.c_str();
    for (;;) {
        char c = 0;
        int n = 0;
        ETypeZone e = _eParse(p, n, st.bDeuxTables, &c);
        if (e == TZ_FIN) break;
        STZone z{e, uint8_t(n), c, 0, false, false};
        if (MSQ_bZoneNom(e)) z.cSuivant = (p[0] == '\\' && p[1] != 0) ? p[1] : p[0];
        st.vZones.push_back(z);
    }
    const size_t nZones = st.vZones.size();
    if (bSaisie) {
        // Literals before the first or after the last zone carrying a value
        // are dropped; one pass each way keeps long masks linear.
        std::vector<bool> vApres(nZones, false);
        bool bActive = false;
        for (size_t i = nZones; i-- > 0;) {
            vApres[i] = bActive;
            if (_bActive(st.vZones[i].eZone)) bActive = true;
        }
        bActive = false;
        for (size_t i = 0; i < nZones; ++i) {
            STZone& z = st.vZones[i];
            if (z.eZone == TZ_LITTERAL && !(bActive && vApres[i])) {
                z.eZone = TZ_RIEN;
                z.nLargeur = 0;
            }
            if (_bActive(z.eZone)) bActive = true;
        }
    }
    st.nChiffres = 0;
    if (!st.bAMPM) {
        for (const STZone& z : st.vZones) {
            const ETypeZone e = z.eZone;
            if (e != TZ_ANNEE4 && e != TZ_MOIS2 && e != TZ_JOUR2 && e != TZ_HEURE2 && e != TZ_MINUTE &&
                e != TZ_SECONDE && e != TZ_MILLIEME) {
                st.nChiffres = 0;
                break;
            }
            st.nChiffres += z.nLargeur;
        }
    }
    bool bMois = false, bDernier = true;
    for (size_t i = nZones; i-- > 0;) {
        STZone& z = st.vZones[i];
        z.bMoisNumeriqueApres = bMois;
        z.bDernier = bDernier;
        if (z.eZone == TZ_MOIS || z.eZone == TZ_MOIS2) bMois = true;
        if (z.eZone != TZ_RIEN) bDernier = false;
    }
    st.bValide = true;
    return st;
}

// --- Writing --------------------------------------------------------------------------

void CMasqueDateHeure::_MasqueTolerant(const char* pszMasque, std::string& sResultat) {
    static const struct {
        const char* pszAvant;
        const char* pszApres;
    } s_ast[] = {{"mmmm", "MMMM"}, {"aaaa", "AAAA"}, {"yyyy", "YYYY"}, {"mmm", "MMM"}, {"jj", "JJ"},
                 {"dd", "DD"},     {"mm", "MM"},     {"aa", "AA"},     {"yy", "YY"}};
    sResultat.clear();
    const char* p = pszMasque;
    while (*p != 0) {
        if (*p == '\\' && p[1] != 0) {
            sResultat.append(p, 2);
            p += 2;
            continue;
        }
        bool bFait = false;
        for (const auto& st : s_ast) {
            const size_t n = std::strlen(st.pszAvant);
            if (std::strncmp(p, st.pszAvant, n) != 0) continue;
            sResultat.append(st.pszApres, n);
            p += n;
            bFait = true;
            break;
        }
        if (!bFait) sResultat.push_back(*p++);
    }
}

void CMasqueDateHeure::_FormateDateForMaskEx(const char* pszMasque, const STSystemTime& st, int nFlags) {
    if (pszMasque == nullptr) pszMasque = "";
    const bool bTolerant = (nFlags & MSQ_TOLERANT) != 0;
    if (bTolerant) {
        _MasqueTolerant(pszMasque, m_sTolerant);
        pszMasque = m_sTolerant.c_str();
    }
    const bool bSaisie = (nFlags & MSQ_SAISIE) != 0;
    const STCompile& stC = _stCompile(pszMasque, bSaisie);
    std::string& s = m_sSortie;
    s.clear();

    // Hours on the 12-hour clock when the mask has an AM/PM zone.
    uint16_t wHeure = st.wHour;
    if (stC.bAMPM && !MSQ_bVide(wHeure)) {
        if (wHeure == 0)
            wHeure = 12;
        else if (wHeure > 12)
            wHeure = uint16_t(wHeure - 12);
    }
    std::string sNom;
    for (const STZone& z : stC.vZones) {
        switch (z.eZone) {
        case TZ_FIN:
        case TZ_RIEN:
            break;
        case TZ_LITTERAL:
            s.push_back(z.cLitteral);
            break;
        case TZ_ANNEE4:
            _AjouteNombre(s, st.wYear, 4);
            break;
        case TZ_ANNEE2:
            _Ajoute2(s, MSQ_bVide(st.wYear) ? MSQ_VIDE : uint16_t(st.wYear % 100));
            break;
        case TZ_MOIS_LETTRES:
        case TZ_MOIS_ABREGE: {
            if (bSaisie) {
                if (!z.bMoisNumeriqueApres) _Ajoute2(s, st.wMonth);
                break;
            }
            if (MSQ_bVide(st.wMonth)) {
                s.append("__", 2);
                break;
            }
            const bool bAbrege = z.eZone == TZ_MOIS_ABREGE;
            _Nom(true, st.wMonth, bAbrege, sNom);
            s += sNom;
            if (bAbrege && bTolerant && !sNom.empty()) {
                std::string sComplet;
                _Nom(true, st.wMonth, false, sComplet);
                if (sNom.size() < sComplet.size()) s.push_back('.');
            }
            break;
        }
        case TZ_MOIS2:
            _Ajoute2(s, st.wMonth);
            break;
        case TZ_MOIS:
            if (bSaisie)
                _Ajoute2(s, st.wMonth);
            else
                _AjouteNombre(s, st.wMonth, 1);
            break;
        case TZ_JOUR_LETTRES:
        case TZ_JOUR_ABREGE:
            if (bSaisie || MSQ_bVide(st.wDayOfWeek)) break;
            _Nom(false, st.wDayOfWeek, z.eZone == TZ_JOUR_ABREGE, sNom);
            s += sNom;
            if (z.eZone == TZ_JOUR_ABREGE && bTolerant) s.push_back('.');
            break;
        case TZ_JOUR2:
            _Ajoute2(s, st.wDay);
            break;
        case TZ_JOUR:
            if (bSaisie)
                _Ajoute2(s, st.wDay);
            else
                _AjouteNombre(s, st.wDay, 1);
            break;
        case TZ_HEURE2:
            _Ajoute2(s, wHeure);
            break;
        case TZ_HEURE:
            if (bSaisie)
                _Ajoute2(s, wHeure);
            else
                _AjouteNombre(s, wHeure, 1);
            break;
        case TZ_MINUTE:
            _Ajoute2(s, st.wMinute);
            break;
        case TZ_SECONDE:
            _Ajoute2(s, st.wSecond);
            break;
        case TZ_MILLIEME:
            _AjouteNombre(s, st.wMilliseconds, 3);
            break;
        case TZ_CENTIEME:
            _Ajoute2(s, MSQ_bVide(st.wMilliseconds) ? MSQ_VIDE : uint16_t(st.wMilliseconds / 10));
            break;
        case TZ_AMPM: {
            if (MSQ_bVide(st.wHour)) {
                s.append("__", 2);
                break;
            }
            CTString clTexte;
            _GetStrAMPM(st.wHour < 12, clTexte);
            s += clTexte.pszGet();
            break;
        }
        }
    }
}

void CMasqueDateHeure::FormateDate(const STSystemTime& st, CTString& clResultat, int nFlags) {
    _FormateDateForMaskEx(m_clMasque.pszGet(), st, nFlags);
    clResultat.Set(m_sSortie.data(), int(m_sSortie.size()));
}

int CMasqueDateHeure::nFormateDate(const STSystemTime& st, char* pszBuffer, int nTaille, int nFlags) {
    _FormateDateForMaskEx(m_clMasque.pszGet(), st, nFlags);
    if (pszBuffer != nullptr && nTaille > 0) {
        const size_t n = m_sSortie.size() < size_t(nTaille - 1) ? m_sSortie.size() : size_t(nTaille - 1);
        std::memcpy(pszBuffer, m_sSortie.data(), n);
        pszBuffer[n] = 0;
    }
    return int(m_sSortie.size());
}

void CMasqueDateHeure::Formate(const char* pszValeur, CTString& clResultat, CObjetAPCode* /*pclObjet*/) {
    FormateEx(pszValeur, clResultat, 0);
}

void CMasqueDateHeure::FormateEx(const char* pszValeur, CTString& clResultat, int nFlags) {
    STSystemTime st;
    const char* pszLecture = m_clFormatRetour.bEstVide() ? m_clMasque.pszGet() : m_clFormatRetour.pszGet();
    if (!_bLitChiffres(pszValeur, _stCompile(pszLecture, false), st)) _TexteVersDateHeure(pszValeur, pszLecture, st, 0);
    if (m_nDate != 0) _InitJourDelaSemaine(st);
    FormateDate(st, clResultat, nFlags);
}

void CMasqueDateHeure::_InitJourDelaSemaine(STSystemTime& st) {
    int32_t n = 0;
    if (!MSQ_bVide(st.wYear) && !MSQ_bVide(st.wMonth) && !MSQ_bVide(st.wDay) && bJourGregorien(st.wDay, st.wMonth, st.wYear, n))
        // Day numbers before 1800 are negative: the remainder is kept in 0..6.
        st.wDayOfWeek = uint16_t(((n + 2) % 7 + 7) % 7);
    else
        st.wDayOfWeek = MSQ_VIDE;
}
