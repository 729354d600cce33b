// Date-time and duration values: their storage texts, read and written.
#include "core/timevalue.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/tstring.h"
#include "core/zndstr.h"

namespace {

constexpr int64_t MS_JOUR = 86400000;

int64_t _llChamp(const char* pszTexte, size_t nDebut, size_t nTaille) {
    return DT_llLitDecimal(pszTexte + nDebut, nTaille);
}

}  // namespace

// --- Decimal fields ---------------------------------------------------------------------

int64_t DT_llLitDecimal(const char* pszTexte, size_t nTaille) {
    size_t i = 0;
    while (i < nTaille && (pszTexte[i] == ' ' || (pszTexte[i] >= '\t' && pszTexte[i] <= '\r'))) ++i;
    bool bNegatif = false;
    if (i < nTaille && (pszTexte[i] == '+' || pszTexte[i] == '-')) {
        bNegatif = pszTexte[i] == '-';
        ++i;
    }
    // Held just beyond the 32-bit range: callers clamp.
    constexpr int64_t LIMITE = int64_t(1) << 40;
    int64_t n = 0;
    for (; i < nTaille && pszTexte[i] >= '0' && pszTexte[i] <= '9'; ++i) {
        n = n * 10 + (pszTexte[i] - '0');
        if (n > LIMITE) n = LIMITE;
    }
    return bNegatif ? -n : n;
}

int32_t DT_nBorne32(int64_t n) {
    if (n > INT32_MAX) return INT32_MAX;
    if (n < INT32_MIN) return INT32_MIN;
    return int32_t(n);
}

void DT_CopieCoupee(char* pszBuffer, int nLongueur, const char* pszTexte) {
    if (pszBuffer == nullptr || nLongueur < 0) return;
    size_t n = std::min(std::strlen(pszTexte), size_t(nLongueur));
    std::memcpy(pszBuffer, pszTexte, n);
    pszBuffer[n] = 0;
}

// --- Date-time values -------------------------------------------------------------------

void CValeurDateHeure::Set(int nAnnee, int nMois, int nJour, int nHeure, int nMinute, int nSeconde, int nMilli) {
    m_byJour = uint8_t(nJour);
    m_byMois = uint8_t(nMois);
    m_wAnnee = uint16_t(nAnnee);
    m_dwMillisecondes = uint32_t(int64_t(nHeure) * 3600000 + int64_t(nMinute) * 60000 + int64_t(nSeconde) * 1000 + nMilli);
}

void CValeurDateHeure::InitDate() {
    m_byJour = 0;
    m_byMois = 0;
    m_wAnnee = 0;
    m_dwMillisecondes = 0;
}

int CValeurDateHeure::nFromString(const char* pszTexte) {
    if (pszTexte == nullptr) pszTexte = "";
    m_dwMillisecondes = 0;
    bSetPartieDate(pszTexte);
    if (strnlen(pszTexte, 9) >= 9) bSetPartieHeure(pszTexte + 8);
    return 0;
}

int CValeurDateHeure::nDepuisBinaire(const CZNBINBase& clBinaire) {
    char sz[TAILLE_CHAINE + 1];
    int n = std::min(clBinaire.nGetTaille(), TAILLE_CHAINE);
    if (n > 0) std::memcpy(sz, clBinaire.pGet(), size_t(n));
    sz[std::max(n, 0)] = 0;
    return nFromString(sz);
}

bool CValeurDateHeure::bSetPartieDate(const char* pszTexte) {
    m_byJour = uint8_t(nGetPropDateTime(pszTexte, 6, 2, false));
    m_byMois = uint8_t(nGetPropDateTime(pszTexte, 4, 2, false));
    m_wAnnee = uint16_t(nGetPropDateTime(pszTexte, 0, 4, false));
    return true;
}

bool CValeurDateHeure::bSetPartieHeure(const char* pszTexte) {
    int64_t h = nGetPropDateTime(pszTexte, 0, 2, false);
    int64_t m = nGetPropDateTime(pszTexte, 2, 2, false);
    int64_t s = nGetPropDateTime(pszTexte, 4, 2, false);
    int64_t l = nGetPropDateTime(pszTexte, 6, 3, true);
    m_dwMillisecondes = uint32_t(h * 3600000 + m * 60000 + s * 1000 + l);
    return true;
}

void CValeurDateHeure::VersChaine(char* pszBuffer, int nLongueur) const {
    char sz[64];
    std::snprintf(sz, sizeof sz, "%04d%02d%02d%02d%02d%02d%03d", nGetAnnee(), nGetMois(), nGetJour(), nGetHeure(),
                  nGetMinute(), nGetSeconde(), nGetMilli());
    DT_CopieCoupee(pszBuffer, nLongueur, sz);
}

void CValeurDateHeure::VersChaine(CTString& clResultat) const {
    char sz[TAILLE_CHAINE + 1];
    VersChaine(sz, TAILLE_CHAINE);
    clResultat.Set(sz);
}

CTString CValeurDateHeure::VersChaine() const {
    CTString cl;
    VersChaine(cl);
    return cl;
}

int CValeurDateHeure::nVersChaine(CZNDSTRBase& clResultat) const {
    char sz[TAILLE_CHAINE + 1];
    VersChaine(sz, TAILLE_CHAINE);
    return clResultat.nAssign(sz, int(std::strlen(sz)));
}

int CValeurDateHeure::nVersBinaire(CZNBINBase& clResultat) const {
    char sz[TAILLE_CHAINE + 1];
    VersChaine(sz, TAILLE_CHAINE);
    return clResultat.nAssign(sz, int(std::strlen(sz)));
}

char* CValeurDateHeure::pszCreeChaine() const {
    char* psz = static_cast<char*>(std::malloc(TAILLE_CHAINE + 1));
    if (psz != nullptr) VersChaine(psz, TAILLE_CHAINE);
    return psz;
}

int32_t CValeurDateHeure::nGetPropDateTime(const char* pszTexte, int nDecalage, int nNombre, bool bPartiel) {
    if (pszTexte == nullptr || nDecalage < 0 || nNombre <= 0) return 0;
    size_t nFin = size_t(nDecalage) + size_t(nNombre);
    size_t nL = strnlen(pszTexte, nFin);
    if (nFin <= nL) return DT_nBorne32(DT_llLitDecimal(pszTexte + nDecalage, size_t(nNombre)));
    if (!bPartiel || size_t(nDecalage) >= nL) return 0;
    size_t nLus = nL - size_t(nDecalage);
    int64_t v = DT_llLitDecimal(pszTexte + nDecalage, nLus);
    for (size_t i = nLus; i < size_t(nNombre) && v != 0; ++i) {
        v *= 10;
        if (v > INT32_MAX || v < INT32_MIN) break;
    }
    return DT_nBorne32(v);
}

int32_t CValeurDateHeure::nGetPropDateTimeANSI(const char* pszTexte, int nDecalage, int nNombre, bool bPartiel) {
    return nGetPropDateTime(pszTexte, nDecalage, nNombre, bPartiel);
}

// --- Duration values --------------------------------------------------------------------

CValeurDuree::STParties CValeurDuree::s_Parties(int64_t ll) {
    uint64_t u = ll < 0 ? 0u - uint64_t(ll) : uint64_t(ll);
    STParties st{};
    st.bNegatif = ll < 0;
    st.llJours = (long long)(u / uint64_t(MS_JOUR));
    st.nHeures = int(u % uint64_t(MS_JOUR) / 3600000u);
    st.nMinutes = int(u % 3600000u / 60000u);
    st.nSecondes = int(u % 60000u / 1000u);
    st.nMilli = int(u % 1000u);
    return st;
}

bool CValeurDuree::s_bCompose(int64_t llJours, int64_t h, int64_t m, int64_t s, int64_t l, bool bNegatif,
                              int64_t& llResultat) {
    int64_t v = 0;
    if (__builtin_mul_overflow(llJours, MS_JOUR, &v)) return false;
    int64_t parts[4] = {h * 3600000, m * 60000, s * 1000, l};
    for (int64_t p : parts)
        if (__builtin_add_overflow(v, p, &v)) return false;
    if (bNegatif) {
        if (v == INT64_MIN) return false;
        v = -v;
    }
    llResultat = v;
    return true;
}

int CValeurDuree::nCompare(const CValeurDuree& clA, const CValeurDuree& clB) {
    if (clA.m_llMillisecondes == clB.m_llMillisecondes) return 0;
    return clA.m_llMillisecondes < clB.m_llMillisecondes ? -1 : 1;
}

void CValeurDuree::VersChaine(char* pszBuffer, bool bCentiemes) const {
    STParties st = s_Parties(m_llMillisecondes);
    char* p = pszBuffer;
    size_t nTaille = TAILLE_CHAINE + 1;
    if (st.bNegatif) {
        *p++ = '-';
        --nTaille;
    }
    if (bCentiemes)
        std::snprintf(p, nTaille, ms_cpszFormatAffichageCentieme, st.llJours, st.nHeures, st.nMinutes, st.nSecondes,
                      st.nMilli / 10);
    else
        std::snprintf(p, nTaille, ms_pcszFormatAffichageMillieme, st.llJours, st.nHeures, st.nMinutes, st.nSecondes,
                      st.nMilli);
}

int CValeurDuree::nVersChaine(CZNDSTRBase& clResultat) const {
    char sz[TAILLE_CHAINE + 1];
    VersChaine(sz, false);
    return clResultat.nAssign(sz, int(std::strlen(sz)));
}

int CValeurDuree::nVersChaineCentieme(CZNDSTRBase& clResultat) const {
    char sz[TAILLE_CHAINE + 1];
    VersChaine(sz, true);
    return clResultat.nAssign(sz, int(std::strlen(sz)));
}

int CValeurDuree::nVersBinaire(CZNBINBase& clResultat) const {
    char sz[TAILLE_CHAINE + 1];
    VersChaine(sz, false);
    return clResultat.nAssign(sz, int(std::strlen(sz)));
}

char* CValeurDuree::pszCreeChaine() const {
    char* psz = static_cast<char*>(std::malloc(TAILLE_CHAINE + 1));
    if (psz != nullptr) VersChaine(psz, false);
    return psz;
}

int CValeurDuree::nDepuisChaine(const char* pszTexte) {
    const char* p = pszTexte ? pszTexte : "";
    bool bNegatif = false;
    if (*p == '-' || *p == '+') bNegatif = *p++ == '-';
    size_t nL = std::strlen(p);
    if (nL < 10) return 112;
    int64_t v = 0;
    if (!s_bCompose(_llChamp(p, 0, nL - 9), _llChamp(p, nL - 9, 2), _llChamp(p, nL - 7, 2), _llChamp(p, nL - 5, 2),
                    _llChamp(p, nL - 3, 3), bNegatif, v))
        return 112;
    m_llMillisecondes = v;
    return 0;
}

int CValeurDuree::nDepuisChaineCentieme(const char* pszTexte) {
    const char* p = pszTexte ? pszTexte : "";
    bool bNegatif = false;
    if (*p == '-' || *p == '+') bNegatif = *p++ == '-';
    size_t nL = std::strlen(p);
    if (nL < 9) return 112;
    int64_t v = 0;
    if (!s_bCompose(_llChamp(p, 0, nL - 8), _llChamp(p, nL - 8, 2), _llChamp(p, nL - 6, 2), _llChamp(p, nL - 4, 2),
                    _llChamp(p, nL - 2, 2) * 10, bNegatif, v))
        return 112;
    m_llMillisecondes = v;
    return 0;
}

int CValeurDuree::nDepuisBinaire(const CZNBINBase& clBinaire) {
    char sz[TAILLE_CHAINE + 1];
    int n = std::min(clBinaire.nGetTaille(), int(TAILLE_CHAINE));
    n = std::max(n, 0);
    if (n > 0) std::memcpy(sz, clBinaire.pGet(), size_t(n));
    sz[n] = 0;
    return nDepuisChaine(sz);
}
