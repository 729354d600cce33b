// Durations through their display masks.
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

// --- Display masks ----------------------------------------------------------------------

int nDureeVersChaine(const CDureeBase& clDuree, CZNDSTRBase& clResultat, const char* pszMasque) {
    STLettres stL = _Lettres();
    CValeurDuree::STParties st = CValeurDuree::s_Parties(clDuree.llGetMillisecondes());
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
    if (!CValeurDuree::s_bCompose(llJours, h, mi, s, l, bNegatif, v)) return 112;
    clDuree.SetMillisecondes(v);
    return 0;
}
