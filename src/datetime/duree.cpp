#include "datetime/duree.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/error/dllres.h"
#include "core/tstring.h"
#include "core/zndstr.h"
#include "datetime/dtinternal.h"

namespace {

constexpr int64_t MS_JOUR = 86400000;

// Absolute parts of a duration.
struct STParties {
    bool bNegatif;
    long long llJours;
    int nHeures, nMinutes, nSecondes, nMilli;
};

STParties _Parties(int64_t ll) {
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

// days x 1 day + hours + minutes + seconds + milliseconds, false when the
// total leaves 64 bits.
bool _bCompose(int64_t llJours, int64_t h, int64_t m, int64_t s, int64_t l, bool bNegatif, int64_t& llResultat) {
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

int64_t _llChamp(const char* pszTexte, size_t nDebut, size_t nTaille) {
    return DT_llLitDecimal(pszTexte + nDebut, nTaille);
}

// The first character of the interface language's message, or the default.
char _cLettre(int nMessage, char cDefaut) {
    char sz[16];
    if (DLLRES_nLoadString(nMessage, sz, int(sizeof sz)) > 0 && sz[0] != 0) return sz[0];
    return cDefaut;
}

struct STLettres {
    char cJour, cHeure, cMinute, cSeconde, cMilli;
};

STLettres _Lettres() {
    return STLettres{_cLettre(28577, 'J'), _cLettre(28578, 'H'), _cLettre(28579, 'M'), _cLettre(28580, 'S'),
                     _cLettre(28581, 'L')};
}

}  // namespace

int CDureeBase::nCompare(const CDureeBase& clA, const CDureeBase& clB) {
    if (clA.m_llMillisecondes == clB.m_llMillisecondes) return 0;
    return clA.m_llMillisecondes < clB.m_llMillisecondes ? -1 : 1;
}

void CDureeBase::VersChaine(char* pszBuffer, bool bCentiemes) const {
    STParties st = _Parties(m_llMillisecondes);
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

int CDureeBase::nVersChaine(CZNDSTRBase& clResultat) const {
    char sz[TAILLE_CHAINE + 1];
    VersChaine(sz, false);
    return clResultat.nAssign(sz, int(std::strlen(sz)));
}

int CDureeBase::nVersChaineCentieme(CZNDSTRBase& clResultat) const {
    char sz[TAILLE_CHAINE + 1];
    VersChaine(sz, true);
    return clResultat.nAssign(sz, int(std::strlen(sz)));
}

int CDureeBase::nVersBinaire(CZNBINBase& clResultat) const {
    char sz[TAILLE_CHAINE + 1];
    VersChaine(sz, false);
    return clResultat.nAssign(sz, int(std::strlen(sz)));
}

char* CDureeBase::pszCreeChaine() const {
    char* psz = static_cast<char*>(std::malloc(TAILLE_CHAINE + 1));
    if (psz != nullptr) VersChaine(psz, false);
    return psz;
}

int CDureeBase::nDepuisChaine(const char* pszTexte) {
    const char* p = pszTexte ? pszTexte : "";
    bool bNegatif = false;
    if (*p == '-' || *p == '+') bNegatif = *p++ == '-';
    size_t nL = std::strlen(p);
    if (nL < 10) return 112;
    int64_t v = 0;
    if (!_bCompose(_llChamp(p, 0, nL - 9), _llChamp(p, nL - 9, 2), _llChamp(p, nL - 7, 2), _llChamp(p, nL - 5, 2),
                   _llChamp(p, nL - 3, 3), bNegatif, v))
        return 112;
    m_llMillisecondes = v;
    return 0;
}

int CDureeBase::nDepuisChaineCentieme(const char* pszTexte) {
    const char* p = pszTexte ? pszTexte : "";
    bool bNegatif = false;
    if (*p == '-' || *p == '+') bNegatif = *p++ == '-';
    size_t nL = std::strlen(p);
    if (nL < 9) return 112;
    int64_t v = 0;
    if (!_bCompose(_llChamp(p, 0, nL - 8), _llChamp(p, nL - 8, 2), _llChamp(p, nL - 6, 2), _llChamp(p, nL - 4, 2),
                   _llChamp(p, nL - 2, 2) * 10, bNegatif, v))
        return 112;
    m_llMillisecondes = v;
    return 0;
}

int CDureeBase::nDepuisBinaire(const CZNBINBase& clBinaire) {
    char sz[TAILLE_CHAINE + 1];
    int n = std::min(clBinaire.nGetTaille(), int(TAILLE_CHAINE));
    n = std::max(n, 0);
    if (n > 0) std::memcpy(sz, clBinaire.pGet(), size_t(n));
    sz[n] = 0;
    return nDepuisChaine(sz);
}

// --- Display masks ----------------------------------------------------------------------

int nDureeVersChaine(const CDureeBase& clDuree, CZNDSTRBase& clResultat, const char* pszMasque) {
    STLettres stL = _Lettres();
    STParties st = _Parties(clDuree.llGetMillisecondes());
    CTString cl(pszMasque ? pszMasque : "");
    char szLettre[4] = {stL.cJour, 0, 0, 0};
    char sz[32];

    std::snprintf(sz, sizeof sz, "%lld", st.llJours);
    cl.Remplace(szLettre, sz);

    const struct {
        char c;
        int n;
    } deux[] = {{stL.cHeure, st.nHeures}, {stL.cMinute, st.nMinutes}, {stL.cSeconde, st.nSecondes}};
    for (const auto& d : deux) {
        char szDouble[3] = {d.c, d.c, 0};
        std::snprintf(sz, sizeof sz, "%02d", d.n);
        cl.Remplace(szDouble, sz);
    }

    char szMilli[8];
    std::snprintf(szMilli, sizeof szMilli, "%03d", st.nMilli);
    char szTriple[4] = {stL.cMilli, stL.cMilli, stL.cMilli, 0};
    if (cl.nPos(szTriple) >= 0) {
        cl.Remplace(szTriple, szMilli);
    } else if (cl.nPos(szTriple + 1) >= 0) {
        szMilli[2] = 0;
        cl.Remplace(szTriple + 1, szMilli);
    } else {
        szMilli[1] = 0;
        cl.Remplace(szTriple + 2, szMilli);
    }

    cl.Remplace("+", st.bNegatif ? "-" : "");
    return clResultat.nAssign(cl.pszGet(), cl.nTaille());
}

int nChaineVersDuree(CDureeBase& clDuree, const char* pszTexte, const char* pszMasque) {
    STLettres stL = _Lettres();
    const char* t = pszTexte ? pszTexte : "";
    const char* m = pszMasque ? pszMasque : "";
    // Positions of the current characters, walked from the end; -1 once
    // past the first.
    int64_t it = int64_t(std::strlen(t)) - 1;
    int64_t im = int64_t(std::strlen(m)) - 1;
    int64_t llJours = 0, h = 0, mi = 0, s = 0, l = 0;
    bool bNegatif = false;

    // The mask ends at im with nNombre copies of c.
    auto bGroupe = [&](char c, int nNombre) {
        if (im < nNombre - 1) return false;
        for (int i = 0; i < nNombre; ++i)
            if (m[im - i] != c) return false;
        return true;
    };
    // The text has nNombre characters up to it: read them and move both.
    auto bLit = [&](int nNombre, int64_t& v, int64_t nFacteur) {
        if (it < nNombre - 1) return false;
        v = DT_llLitDecimal(t + it - nNombre + 1, size_t(nNombre)) * nFacteur;
        it -= nNombre;
        im -= nNombre;
        return true;
    };

    while (im >= 0) {
        bool bApplique = false;
        if (bGroupe(stL.cMilli, 3) && bLit(3, l, 1)) bApplique = true;
        if (bGroupe(stL.cMilli, 2) && bLit(2, l, 10)) bApplique = true;
        if (bGroupe(stL.cMilli, 1) && bLit(1, l, 100)) bApplique = true;
        if (bGroupe(stL.cSeconde, 2) && bLit(2, s, 1)) bApplique = true;
        if (bGroupe(stL.cMinute, 2) && bLit(2, mi, 1)) bApplique = true;
        if (bGroupe(stL.cHeure, 2) && bLit(2, h, 1)) bApplique = true;
        if (im >= 0 && m[im] == stL.cJour) {
            // The digits that end here, at most 20 of them.
            int64_t nFin = it;
            int nChiffres = 0;
            while (it >= 0 && nChiffres < 20 && t[it] >= '0' && t[it] <= '9') {
                --it;
                ++nChiffres;
            }
            llJours = DT_llLitDecimal(t + it + 1, size_t(nFin - it));
            --im;
            // Counted as a step of its own, so that a sign just before the
            // days is still read.
            bApplique = true;
        } else if (im >= 0 && m[im] == '+') {
            --im;
            if (it >= 0 && t[it] == '-') {
                bNegatif = true;
                --it;
            }
            bApplique = true;
        }
        if (!bApplique) {
            --im;
            --it;
        }
    }

    int64_t v = 0;
    if (!_bCompose(llJours, h, mi, s, l, bNegatif, v)) return 112;
    clDuree.SetMillisecondes(v);
    return 0;
}
