// Date and time masks: day and month names, AM and PM texts, system masks.
#include <cstring>
#include <string>

#include "runtime/error/dllres.h"
#include "datetime/maskdate.h"
#include "qvstd/infolangue.h"

namespace {

constexpr int MSG_JANVIER = 28192;   // to 28203, December
constexpr int MSG_LUNDI = 28204;     // to 28209, Saturday
constexpr int MSG_DIMANCHE = 28210;

// Entry nIndex (from 0) of a list separated by ";"; false when absent or empty.
bool _bEntreeListe(const char* pszListe, int nIndex, std::string& sResultat) {
    if (pszListe == nullptr || nIndex < 0) return false;
    const char* p = pszListe;
    for (int i = 0; i < nIndex; ++i) {
        p = std::strchr(p, ';');
        if (p == nullptr) return false;
        ++p;
    }
    const char* pFin = std::strchr(p, ';');
    const size_t n = pFin != nullptr ? size_t(pFin - p) : std::strlen(p);
    if (n == 0) return false;
    sResultat.assign(p, n);
    return true;
}

const STInfoLangueDate* _pstDate(IInfoLangue* pi) {
    if (pi == nullptr || pi->bNePasUtiliserDescriptionDate()) return nullptr;
    return pi->pstGetDescriptionDate();
}

const STInfoLangueHeure* _pstHeure(IInfoLangue* pi) {
    if (pi == nullptr || pi->bNePasUtiliserDescriptionHeure()) return nullptr;
    return pi->pstGetDescriptionHeure();
}

// Full name: month 1-12, or day of week 0 Sunday ... 6 Saturday. The
// language information's list first, entry by entry; the message text else.
void _NomComplet(bool bMois, int nIndex, IInfoLangue* pi, std::string& sResultat) {
    sResultat.clear();
    int nListe, nMessage;
    if (bMois) {
        if (nIndex < 1 || nIndex > 12) return;
        nListe = nIndex - 1;
        nMessage = MSG_JANVIER + nIndex - 1;
    } else {
        if (nIndex < 0 || nIndex > 6) return;
        nListe = nIndex == 0 ? 6 : nIndex - 1;
        nMessage = nIndex == 0 ? MSG_DIMANCHE : MSG_LUNDI + nIndex - 1;
    }
    if (const STInfoLangueDate* pst = _pstDate(pi)) {
        const char* pszListe = bMois ? pst->pszMois : pst->pszJours;
        if (pszListe != nullptr && *pszListe != 0 && _bEntreeListe(pszListe, nListe, sResultat)) return;
    }
    char sz[256];
    DLLRES_nLoadString(nMessage, sz, int(sizeof sz));
    sResultat = sz;
}

void _Abrege(bool bMois, std::string& s) {
    size_t n = 3;
    if (bMois && s.size() >= 3 && (s[0] == 'j' || s[0] == 'J') && (s[1] == 'u' || s[1] == 'U') &&
        (s[2] == 'i' || s[2] == 'I'))
        n = 4;   // "Juin" and "Juillet" stay apart
    if (s.size() > n) s.resize(n);
}

void _Copie(const std::string& s, char* pszBuffer, int nTaille) {
    if (pszBuffer == nullptr || nTaille < 1) return;
    const size_t n = s.size() < size_t(nTaille - 1) ? s.size() : size_t(nTaille - 1);
    std::memcpy(pszBuffer, s.data(), n);
    pszBuffer[n] = 0;
}

}  // namespace

void CMasqueDateHeure::_Nom(bool bMois, int nIndex, bool bAbrege, std::string& sResultat) const {
    _NomComplet(bMois, nIndex, m_piInfoLangue, sResultat);
    if (bAbrege) _Abrege(bMois, sResultat);
}

void CMasqueDateHeure::JourEnLettre(int nJourSemaine, bool bAbrege, char* pszBuffer, int nTaille) const {
    std::string s;
    _Nom(false, nJourSemaine, bAbrege, s);
    _Copie(s, pszBuffer, nTaille);
}

void CMasqueDateHeure::MoisEnLettre(int nMois, bool bAbrege, char* pszBuffer, int nTaille) const {
    std::string s;
    _Nom(true, nMois, bAbrege, s);
    _Copie(s, pszBuffer, nTaille);
}

void CMasqueDateHeure::s_JourEnLettre(int nJourSemaine, IInfoLangue* piInfoLangue, CTString& clResultat) {
    std::string s;
    _NomComplet(false, nJourSemaine, piInfoLangue, s);
    clResultat = s.c_str();
}

void CMasqueDateHeure::s_MoisEnLettre(int nMois, IInfoLangue* piInfoLangue, CTString& clResultat) {
    std::string s;
    _NomComplet(true, nMois, piInfoLangue, s);
    clResultat = s.c_str();
}

int CMasqueDateHeure::_nMoisDepuisNom(const char* p, size_t n, bool bAbrege) const {
    if (p == nullptr || n == 0) return -1;
    std::string s;
    for (int nMois = 1; nMois <= 12; ++nMois) {
        _Nom(true, nMois, bAbrege, s);
        if (s.size() == n && std::memcmp(s.data(), p, n) == 0) return nMois;
    }
    return -1;
}

int CMasqueDateHeure::_nGetNumMonthFromName(const char* pszTexte, bool bAbrege) const {
    return pszTexte != nullptr ? _nMoisDepuisNom(pszTexte, std::strlen(pszTexte), bAbrege) : -1;
}

void CMasqueDateHeure::_GetStrAMPM(bool bAM, CTString& clResultat) const {
    if (const STInfoLangueHeure* pst = _pstHeure(m_piInfoLangue)) {
        const char* psz = bAM ? pst->pszAM : pst->pszPM;
        if (psz != nullptr && *psz != 0) {
            clResultat = psz;
            return;
        }
    }
    clResultat = bAM ? "AM" : "PM";
}

// --- System masks ------------------------------------------------------------------------

void CMasqueDateHeure::_GetMasqueSystemeHeure(CTString& clResultat) const {
    _GetWinIntlParam("sTimeFormat", "HH:mm:ss", clResultat);
    clResultat.Remplace("m", "M");
    clResultat.Remplace("s", "S");
    clResultat.Remplace("tt", "AM");
    clResultat.Remplace("h", "H");
    if (const STInfoLangueHeure* pst = _pstHeure(m_piInfoLangue))
        if (pst->pszMasqueHeure != nullptr && *pst->pszMasqueHeure != 0) clResultat = pst->pszMasqueHeure;
}

void CMasqueDateHeure::GetMasqueSysteme(CTString& clResultat) const {
    if (m_nDate == 0) {
        _GetMasqueSystemeHeure(clResultat);
        return;
    }
    _GetWinIntlParam("sShortDate", "dd/MM/yyyy", clResultat);
    clResultat.Remplace("d", "J");
    clResultat.Remplace("yyyy", "AAAA");
    clResultat.Remplace("yy", "AA");
    if (const STInfoLangueDate* pst = _pstDate(m_piInfoLangue))
        if (pst->pszMasqueDate != nullptr && *pst->pszMasqueDate != 0) clResultat = pst->pszMasqueDate;
    if (m_bDateEtHeure) {
        // Both tables apply: the minutes must be written "mm".
        CTString clHeure;
        _GetMasqueSystemeHeure(clHeure);
        clHeure.Remplace("M", "m");
        clHeure.Remplace("Am", "AM");
        clResultat.Add(" ");
        clResultat.Add(clHeure.pszGet());
    }
}
