// Language functions that write or read dates for a person: DateVersChaine,
// ChaineVersDate, and the day and month names.
#include <cstring>
#include <string>

#include "core/tstring.h"
#include "datetime/calendar.h"
#include "datetime/functions.h"
#include "datetime/lecteur_date.h"
#include "datetime/maskdate.h"
#include "qvstd/infolangue.h"
#include "qvstd/xerror.h"

namespace {

bool _bMasque(const char* pszMasque) { return pszMasque != nullptr && pszMasque[0] != 0; }

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

// The language information for names, unless it says its date description
// is not to be used.
IInfoLangue* _piNoms(CZNLibrary& lib) {
    IInfoLangue* pi = lib.piGetInfoLangue();
    return pi != nullptr && pi->bNePasUtiliserDescriptionDate() == 0 ? pi : nullptr;
}

CZNDSTR _Chaine(const CTString& cl) {
    CZNDSTR s;
    if (!cl.bEstVide()) s.nAssign(cl.pszGet());
    return s;
}

CZNDSTR _NomJour(CZNLibrary& lib, int32_t nJour) {
    CTString cl;
    CMasqueDateHeure::s_JourEnLettre(NumToNumSemaine(nJour), _piNoms(lib), cl);
    return _Chaine(cl);
}

CZNDSTR _NomMois(CZNLibrary& lib, int32_t nJour) {
    uint16_t j = 0, m = 0, a = 0;
    if (!bNumEnDate(nJour, j, m, a, lib.pclGetError())) return CZNDSTR();
    CTString cl;
    CMasqueDateHeure::s_MoisEnLettre(m, _piNoms(lib), cl);
    return _Chaine(cl);
}

// The date's fields, checked (the error raised through lib), and its day
// number by the date-time rule (80051 when it has none).
bool _bJourDeDate(CZNLibrary& lib, const char* pszDate, int32_t& n) {
    uint16_t a = 0, m = 0, j = 0;
    if (!bDateVerif(pszDate, a, m, j, lib.pclGetError())) return false;
    if (JourGregorien(j, m, a, n)) return true;
    lib.RaiseError(80051);
    return false;
}

}  // namespace

namespace datetime {

CZNDSTR DateVersChaine(CZNLibrary& lib, const char* pszDate) { return DateVersChaine(lib, pszDate, nullptr); }

CZNDSTR DateVersChaine(CZNLibrary& lib, const char* pszDate, const char* pszMasque) {
    const char* pszD = pszDate != nullptr ? pszDate : "";
    // The system mask exactly as written: no date check, an empty date
    // prints as the mask's empty fields.
    if (pszMasque != nullptr && strcmp(pszMasque, "UseSystemMask") == 0) {
        CMasqueDateHeure clMasque(pszMasque, 1);
        clMasque.SetInfoLangue(lib.piGetInfoLangue(), 0, 0);
        CTString cl;
        clMasque.Formate(pszD, cl, nullptr);
        return _Chaine(cl);
    }
    if (pszD[0] == 0) return CZNDSTR();
    uint16_t a = 0, m = 0, j = 0;
    if (!bDateVerif(pszD, a, m, j, lib.pclGetError())) return CZNDSTR();
    if (_bMasque(pszMasque)) {
        CMasqueDateHeure clMasque(pszMasque, 1);
        clMasque.SetInfoLangue(lib.piGetInfoLangue(), 0, 0);
        CTString cl;
        clMasque.FormateEx(pszD, cl, MSQ_TOLERANT);
        return _Chaine(cl);
    }
    CZNDSTR s;
    s.nPrintf("%02d/%02d/%04d", j, m, a);
    return s;
}

CZNDSTR ChaineVersDate(CZNLibrary& lib, const char* pszTexte) { return ChaineVersDate(lib, pszTexte, nullptr); }

CZNDSTR ChaineVersDate(CZNLibrary& lib, const char* pszTexte, const char* pszMasque) {
    const char* pszT = pszTexte != nullptr ? pszTexte : "";
    if (pszT[0] == 0) return CZNDSTR();
    if (_bMasque(pszMasque)) {
        CMasqueDateHeure clMasque(_MasqueMajuscules(pszMasque).c_str(), 1);
        clMasque.SetInfoLangue(lib.piGetInfoLangue(), 0, 0);
        CTString cl;
        clMasque.DeformateDateHeure(pszT, cl, MSQ_PIVOT_50 | MSQ_STRICT);
        return _Chaine(cl);
    }
    char sz[9];
    if (!bChaineVersDate(pszT, "JJ/MM/AAAA", sz)) return CZNDSTR();
    return CZNDSTR(sz);
}

CZNDSTR EntierVersJourEnLettre(CZNLibrary& lib, int32_t nJour) { return _NomJour(lib, nJour); }

CZNDSTR EntierVersMoisEnLettre(CZNLibrary& lib, int32_t nJour) { return _NomMois(lib, nJour); }

CZNDSTR DateVersJourEnLettre(CZNLibrary& lib, const char* pszDate) {
    int32_t n = 0;
    return _bJourDeDate(lib, pszDate, n) ? _NomJour(lib, n) : CZNDSTR();
}

CZNDSTR DateVersMoisEnLettre(CZNLibrary& lib, const char* pszDate) {
    int32_t n = 0;
    return _bJourDeDate(lib, pszDate, n) ? _NomMois(lib, n) : CZNDSTR();
}

}  // namespace datetime
