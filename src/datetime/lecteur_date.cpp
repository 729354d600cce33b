// The legacy date reader: a date typed by a person read with a format,
// without a display mask.
#include "datetime/lecteur_date.h"

#include <cstring>
#include <string>

#include "datetime/dtinternal.h"

namespace {

// The format has the token (upper case) at i, any case.
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

}  // namespace

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
