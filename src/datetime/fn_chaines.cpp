// Language functions that write or read dates for a person: DateVersChaine,
// ChaineVersDate, and the day and month names.
#include "datetime/fn_chaines.h"

#include <cstring>
#include <string>

#include "component/compo.h"
#include "core/tstring.h"
#include "datetime/calendar.h"
#include "datetime/dtinternal.h"
#include "datetime/maskdate.h"
#include "qvstd/infolangue.h"
#include "qvstd/xerror.h"

namespace {

bool _bMasque(const char* pszMasque) { return pszMasque != nullptr && pszMasque[0] != 0; }

bool _bJeton(const char* pszFormat, size_t nFormat, size_t i, const char* pszJeton) {
    const size_t n = strlen(pszJeton);
    if (i + n > nFormat) return false;
    for (size_t k = 0; k < n; ++k) {
        char c = pszFormat[i + k];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != pszJeton[k]) return false;
    }
    return true;
}

// The lower-case date tokens of a mask in upper case, each run of one letter
// cut into its longest tokens; a letter left over stays as it is.
std::string _MasqueMajuscules(const char* pszMasque) {
    struct STLettre {
        char c;
        int tabLongueurs[3];   // token lengths, longest first (0 ends)
    };
    static const STLettre s_tabLettres[] = {
        {'j', {2, 0, 0}}, {'d', {2, 0, 0}}, {'m', {4, 3, 2}}, {'a', {4, 2, 0}}, {'y', {4, 2, 0}},
    };
    std::string s;
    const char* p = pszMasque;
    while (*p != 0) {
        const STLettre* pst = nullptr;
        for (const auto& st : s_tabLettres)
            if (*p == st.c) pst = &st;
        if (pst == nullptr) {
            s.push_back(*p++);
            continue;
        }
        size_t nRun = 0;
        while (p[nRun] == pst->c) ++nRun;
        p += nRun;
        while (nRun > 0) {
            int nPris = 0;
            for (int n : pst->tabLongueurs)
                if (n > 0 && size_t(n) <= nRun) {
                    nPris = n;
                    break;
                }
            if (nPris == 0) {
                s.append(nRun, pst->c);
                break;
            }
            s.append(size_t(nPris), char(pst->c - 'a' + 'A'));
            nRun -= size_t(nPris);
        }
    }
    return s;
}

}  // namespace

// --- Legacy reader ------------------------------------------------------------------------

bool bChaineVersDate(const char* pszTexte, const char* pszFormat, char* pszResultat) {
    pszResultat[0] = 0;
    const char* t = pszTexte != nullptr ? pszTexte : "";
    const char* f = pszFormat != nullptr ? pszFormat : "";
    const size_t nT = strlen(t), nF = strlen(f);
    size_t i = 0, k = 0;   // positions in the format and in the text; k never passes nT
    std::string sAnnee, sMois, sJour;
    bool bAnnee = false, bMois = false, bJour = false;
    auto fnPrend = [&](size_t n) {
        std::string s(t + k, n < nT - k ? n : nT - k);
        k += s.size();
        return s;
    };
    auto fnAvance = [&](size_t n) { k = n < nT - k ? k + n : nT; };

    while (i < nF) {
        bool bPris = false;
        // 1. Year.
        if (_bJeton(f, nF, i, "AAAA") || _bJeton(f, nF, i, "YYYY")) {
            sAnnee = fnPrend(4);
            i += 4;
            bAnnee = bPris = true;
        } else if (_bJeton(f, nF, i, "AA") || _bJeton(f, nF, i, "YY")) {
            if (_bJeton(f, nF, i + 2, "A")) {
                ++i;
                fnAvance(1);
            } else {
                // Unless the month follows directly, the number written here
                // must be a two-digit year ("0" written "00").
                bool bOk = true;
                if (!_bJeton(f, nF, i + 2, "MM")) {
                    int64_t v = DT_llLitDecimal(t + k, nT - k);
                    bOk = v <= 99 && (v != 0 || t[k] == '0');
                }
                if (bOk && nT - k >= 2) {
                    std::string sDeux(t + k, 2);
                    sAnnee = (DT_llLitDecimal(sDeux.c_str(), 2) > 50 ? "19" : "20") + sDeux;
                    k += 2;
                    i += 2;
                    bAnnee = bPris = true;
                }
            }
        }
        // 2. Month.
        if (!bPris && _bJeton(f, nF, i, "MM")) {
            sMois = fnPrend(2);
            i += 2;
            bMois = bPris = true;
        }
        // 3. Day: two characters that do not read as 0.
        if (!bPris && (_bJeton(f, nF, i, "JJ") || _bJeton(f, nF, i, "DD")) && nT - k >= 2 &&
            DT_llLitDecimal(t + k, 2) != 0) {
            sJour = fnPrend(2);
            i += 2;
            bJour = bPris = true;
        }
        // 4. Anything else.
        if (!bPris && i < nF) {
            ++i;
            fnAvance(1);
        }
    }
    if (!bAnnee || !bMois || !bJour) return false;
    std::string s = sAnnee + sMois + sJour;
    memcpy(pszResultat, s.c_str(), s.size() + 1);
    return true;
}

// --- Language functions -------------------------------------------------------------------

namespace {

// The language information for names, unless it says its date description
// is not to be used.
IInfoLangue* _piNoms(CComposanteStandard& clLib) {
    IInfoLangue* pi = clLib.piGetInfoLangue();
    return pi != nullptr && pi->bNePasUtiliserDescriptionDate() == 0 ? pi : nullptr;
}

CZNDSTR _Chaine(const CTString& cl) {
    CZNDSTR s;
    if (!cl.bEstVide()) s.nAssign(cl.pszGet());
    return s;
}

CZNDSTR _NomJour(CComposanteStandard& clLib, int32_t nJour) {
    CTString cl;
    CMasqueDateHeure::s_JourEnLettre(NumToNumSemaine(nJour), _piNoms(clLib), cl);
    return _Chaine(cl);
}

CZNDSTR _NomMois(CComposanteStandard& clLib, int32_t nJour, CXError* pclErreur) {
    uint16_t j = 0, m = 0, a = 0;
    if (!bNumEnDate(nJour, j, m, a, pclErreur)) return CZNDSTR();
    CTString cl;
    CMasqueDateHeure::s_MoisEnLettre(m, _piNoms(clLib), cl);
    return _Chaine(cl);
}

}  // namespace

CZNDSTR CComposanteStandard::DateVersChaine(const char* pszDate, const char* pszMasque) {
    const char* pszD = pszDate != nullptr ? pszDate : "";
    // The system mask exactly as written: no date check, an empty date
    // prints as the mask's empty fields.
    if (pszMasque != nullptr && strcmp(pszMasque, "UseSystemMask") == 0) {
        CMasqueDateHeure clMasque(pszMasque, 1);
        clMasque.SetInfoLangue(piGetInfoLangue(), 0, 0);
        CTString cl;
        clMasque.Formate(pszD, cl, nullptr);
        return _Chaine(cl);
    }
    if (pszD[0] == 0) return CZNDSTR();
    uint16_t a = 0, m = 0, j = 0;
    if (!bDateVerif(pszD, a, m, j, pclGetError())) return CZNDSTR();
    if (_bMasque(pszMasque)) {
        CMasqueDateHeure clMasque(pszMasque, 1);
        clMasque.SetInfoLangue(piGetInfoLangue(), 0, 0);
        CTString cl;
        clMasque.FormateEx(pszD, cl, MSQ_TOLERANT);
        return _Chaine(cl);
    }
    CZNDSTR s;
    s.nPrintf("%02d/%02d/%04d", j, m, a);
    return s;
}

CZNDSTR CComposanteStandard::ChaineVersDate(const char* pszTexte, const char* pszMasque) {
    const char* pszT = pszTexte != nullptr ? pszTexte : "";
    if (pszT[0] == 0) return CZNDSTR();
    if (_bMasque(pszMasque)) {
        CMasqueDateHeure clMasque(_MasqueMajuscules(pszMasque).c_str(), 1);
        clMasque.SetInfoLangue(piGetInfoLangue(), 0, 0);
        CTString cl;
        clMasque.DeformateDateHeure(pszT, cl, MSQ_PIVOT_50 | MSQ_STRICT);
        return _Chaine(cl);
    }
    char sz[9];
    if (!bChaineVersDate(pszT, "JJ/MM/AAAA", sz)) return CZNDSTR();
    return CZNDSTR(sz);
}

CZNDSTR CComposanteStandard::EntierVersJourEnLettre(int nJour) { return _NomJour(*this, nJour); }

CZNDSTR CComposanteStandard::EntierVersMoisEnLettre(int nJour) { return _NomMois(*this, nJour, pclGetError()); }

CZNDSTR CComposanteStandard::DateVersJourEnLettre(const char* pszDate) {
    uint16_t a = 0, m = 0, j = 0;
    if (!bDateVerif(pszDate, a, m, j, pclGetError())) return CZNDSTR();
    int32_t n = 0;
    if (!JourGregorien(j, m, a, n)) {
        RaiseError(80051);
        return CZNDSTR();
    }
    return _NomJour(*this, n);
}

CZNDSTR CComposanteStandard::DateVersMoisEnLettre(const char* pszDate) {
    uint16_t a = 0, m = 0, j = 0;
    if (!bDateVerif(pszDate, a, m, j, pclGetError())) return CZNDSTR();
    int32_t n = 0;
    if (!JourGregorien(j, m, a, n)) {
        RaiseError(80051);
        return CZNDSTR();
    }
    return _NomMois(*this, n, pclGetError());
}
