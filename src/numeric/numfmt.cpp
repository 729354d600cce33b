// Number-to-text formatting: the format reader, the C library call and the
// post-processing (sign extension of short hexadecimal and octal texts,
// two-digit exponents, decimal and thousands separators).
#include "numeric/numfmt.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool _bChiffre(char c) { return c >= '0' && c <= '9'; }

bool _bLettre(char c) {
    return c == 'e' || c == 'E' || c == 'f' || c == 'F' || c == 'x' || c == 'X' || c == 'd' || c == 'D' || c == 'o' ||
           c == 'O';
}

// Widths and precisions stop growing here, well above what is accepted.
int _nAjouteChiffre(int n, char c) {
    n = n * 10 + (c - '0');
    return n > 10000 ? 10000 : n;
}

// Whatever snprintf writes, however long.
template <typename T>
std::string _Ecrit(const char* pszFormat, T valeur) {
    char szCourt[128];
    int n = std::snprintf(szCourt, sizeof szCourt, pszFormat, valeur);
    if (n < 0) return std::string();
    if (n < int(sizeof szCourt)) return std::string(szCourt, size_t(n));
    std::vector<char> tab(size_t(n) + 1);
    std::snprintf(tab.data(), tab.size(), pszFormat, valeur);
    return std::string(tab.data(), size_t(n));
}

// A real truncated to a 64-bit integer; values beyond the range saturate
// and "not a number" gives 0, where the plain conversion is undefined.
int64_t _llTronque(double r) {
    if (std::isnan(r)) return 0;
    if (r >= 9223372036854775807.0) return INT64_MAX;
    if (r <= -9223372036854775808.0) return INT64_MIN;
    return static_cast<int64_t>(r);
}

// The decimal digits of n (0 to 999) at p; the end.
char* _pszEcritEntier(char* p, int n) {
    if (n >= 100) *p++ = char('0' + n / 100);
    if (n >= 10) *p++ = char('0' + n / 10 % 10);
    *p++ = char('0' + n % 10);
    return p;
}

// 10 to the power e: exact from a table for the exponents the precision
// correction meets most.
double _rPuissance10(int e) {
    static const double k_tab[] = {1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10,
                                   1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,
                                   1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,  1e11,  1e12,
                                   1e13,  1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20};
    return (e >= -20 && e <= 20) ? k_tab[e + 20] : std::pow(10.0, e);
}

int _nValeurChiffre(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

// A negative value written in hexadecimal or octal keeps its last width
// characters; the sign then extends over the leading zeros.
void _TronqueNegatif(const _stFMTINFO& st, char cFormat, std::string& s) {
    if (st.nLargeur <= 0 || int(s.size()) <= st.nLargeur) return;
    s.erase(0, s.size() - size_t(st.nLargeur));
    size_t nPremier = s.find_first_not_of('0');
    if (nPremier == std::string::npos || nPremier == 0) return;
    int nChiffre = _nValeurChiffre(s[nPremier]);
    char cRemplace = 0;
    if (cFormat == 'x' && (nChiffre & 8)) cRemplace = 'f';
    if (cFormat == 'X' && (nChiffre & 8)) cRemplace = 'F';
    if ((cFormat == 'o' || cFormat == 'O') && (nChiffre & 4)) cRemplace = '7';
    if (cRemplace != 0) s.replace(0, nPremier, nPremier, cRemplace);
}

// An 8-byte integer in the "f" conversion, written from its exact digits
// (and the precision's zeros) with the format's sign, width and padding.
std::string _EntierExact(const _stFMTINFO& st, int64_t ll, bool bNonSigne) {
    const bool bNegatif = !bNonSigne && ll < 0;
    const uint64_t ull = bNegatif ? uint64_t(0) - static_cast<uint64_t>(ll) : static_cast<uint64_t>(ll);
    std::string sCorps = std::to_string(ull);
    if (st.nPrecision > 0) sCorps += "." + std::string(size_t(st.nPrecision), '0');
    const std::string sSigne = bNegatif ? "-" : (st.wFlags & FMT_SIGNE) ? "+" : "";
    const int nManque = st.nLargeur - int(sSigne.size() + sCorps.size());
    if (nManque <= 0) return sSigne + sCorps;
    if (st.wFlags & FMT_GAUCHE) return sSigne + sCorps + std::string(size_t(nManque), ' ');
    if (st.wFlags & FMT_ZEROS) return sSigne + std::string(size_t(nManque), '0') + sCorps;
    return std::string(size_t(nManque), ' ') + sSigne + sCorps;
}

}  // namespace

bool CHAINE_bAnalyseFormat(const char* pszFormat, _stFMTINFO* pstInfo) {
    if (pstInfo == nullptr) return false;
    *pstInfo = _stFMTINFO{};
    if (pszFormat == nullptr) return false;
    const size_t nTaille = strnlen(pszFormat, FMT_TAILLE_MAX);
    size_t i = (nTaille > 0 && pszFormat[0] == '%') ? 1 : 0;
    int nEtat = 0;
    bool bPrecision = false;
    bool bLettre = false;
    for (; i < nTaille; ++i) {
        const char c = pszFormat[i];
        if (nEtat == 3) {
            if (c == 's' || c == 'S') {
                pstInfo->wFlags |= FMT_MILLIERS;
                break;
            }
            if (c == 'l' || c == 'L') {
                pstInfo->wFlags |= FMT_LONG;
                continue;
            }
            return false;
        }
        if (nEtat == 0 && (c == '-' || c == '+')) {
            pstInfo->wFlags |= (c == '-') ? FMT_GAUCHE : FMT_SIGNE;
            continue;
        }
        if (_bChiffre(c) && nEtat == 0) {
            if (c == '0') pstInfo->wFlags |= FMT_ZEROS;
            pstInfo->nLargeur = c - '0';
            nEtat = 1;
            continue;
        }
        if (_bChiffre(c) && nEtat == 1) {
            pstInfo->nLargeur = _nAjouteChiffre(pstInfo->nLargeur, c);
            continue;
        }
        if (_bChiffre(c) && nEtat == 2) {
            pstInfo->nPrecision = _nAjouteChiffre(pstInfo->nPrecision, c);
            continue;
        }
        if ((c == '.' || c == ',') && nEtat < 2) {
            if (c == ',') pstInfo->wFlags |= FMT_VIRGULE;
            bPrecision = true;
            nEtat = 2;
            continue;
        }
        if (c == 'l' || c == 'L') {
            pstInfo->wFlags |= FMT_LONG;
            continue;
        }
        if (_bLettre(c)) {
            pstInfo->cFormat = (c == 'F') ? 'f' : (c == 'D') ? 'd' : c;
            bLettre = true;
            nEtat = 3;
            continue;
        }
        if (c == 's' || c == 'S') {   // before the letter: the default letter
            pstInfo->wFlags |= FMT_MILLIERS;
            break;
        }
        return false;
    }
    if (!bLettre) pstInfo->cFormat = 'f';
    const char cF = pstInfo->cFormat;
    if (!bPrecision && (cF == 'e' || cF == 'E' || cF == 'f')) pstInfo->nPrecision = 6;
    if (pstInfo->wFlags & FMT_GAUCHE) pstInfo->wFlags &= uint16_t(~FMT_ZEROS);
    if (cF == 'x' || cF == 'X' || cF == 'o' || cF == 'O') pstInfo->wFlags &= uint16_t(~FMT_MILLIERS);
    return true;
}

int CHAINE_nFmtInfo2Format(char* pszTampon, const _stFMTINFO* pstInfo) {
    // Written by hand: this runs once per number formatted.
    char* p = pszTampon;
    *p++ = '%';
    if (pstInfo->wFlags & FMT_GAUCHE) *p++ = '-';
    if (pstInfo->wFlags & FMT_SIGNE) *p++ = '+';
    if (pstInfo->wFlags & FMT_ZEROS) *p++ = '0';
    // Kept within what a valid format can give, so that the text fits.
    const int nLargeur = pstInfo->nLargeur > FMT_LARGEUR_MAX ? FMT_LARGEUR_MAX : pstInfo->nLargeur;
    const int nPrecision = pstInfo->nPrecision > FMT_LARGEUR_MAX ? FMT_LARGEUR_MAX : pstInfo->nPrecision;
    if (nLargeur > 0) p = _pszEcritEntier(p, nLargeur);
    char c = pstInfo->cFormat;
    if (c == 'e' || c == 'E' || c == 'f') {
        *p++ = '.';
        p = _pszEcritEntier(p, nPrecision < 0 ? 0 : nPrecision);
    } else if (pstInfo->wFlags & (FMT_MONETAIRE | FMT_ENTIER64)) {
        *p++ = 'l';
        *p++ = 'l';
    }
    // The C library knows octal in lower case only.
    *p++ = (c == 'O') ? 'o' : c;
    *p = 0;
    return int(p - pszTampon);
}

void CHAINE_AligneExposant16Bits(const _stFMTINFO* pstInfo, std::string& sTexte) {
    const size_t nE = sTexte.find_last_of("eE");
    if (nE == std::string::npos || nE + 5 != sTexte.size()) return;
    if ((sTexte[nE + 1] != '+' && sTexte[nE + 1] != '-') || sTexte[nE + 2] != '0' || !_bChiffre(sTexte[nE + 3]) ||
        !_bChiffre(sTexte[nE + 4]))
        return;
    const bool bPlusLong = int(sTexte.size()) > pstInfo->nLargeur;
    sTexte.erase(nE + 2, 1);
    if ((pstInfo->wFlags & FMT_GAUCHE) || bPlusLong) return;
    if (pstInfo->wFlags & FMT_ZEROS) {
        size_t nApresSigne = (!sTexte.empty() && (sTexte[0] == '+' || sTexte[0] == '-' || sTexte[0] == ' ')) ? 1 : 0;
        sTexte.insert(nApresSigne, 1, '0');
    } else {
        sTexte.insert(0, 1, ' ');
    }
}

void CHAINE_SeparateurMillier(const _stFMTINFO* pstInfo, std::string& sTexte, char cMillier, char cDecimal) {
    size_t nFin = sTexte.find(cDecimal);
    if (nFin == std::string::npos && (pstInfo->cFormat == 'e' || pstInfo->cFormat == 'E'))
        nFin = sTexte.find_first_of("eE");
    if (nFin == std::string::npos) nFin = sTexte.size();
    size_t nDebut = nFin;
    while (nDebut > 0 && _bChiffre(sTexte[nDebut - 1])) --nDebut;
    // Padding zeros are not digits of the number.
    if (pstInfo->wFlags & FMT_ZEROS)
        while (nDebut + 1 < nFin && sTexte[nDebut] == '0') ++nDebut;
    const size_t nChiffres = nFin - nDebut;
    if (nChiffres <= 3) return;
    size_t nSeparateurs = (nChiffres - 1) / 3;
    std::string sGroupes;
    for (size_t i = nDebut; i < nFin; ++i) {
        if (i > nDebut && (nFin - i) % 3 == 0) sGroupes += cMillier;
        sGroupes += sTexte[i];
    }
    // Blanks in front, then padding zeros after the sign, make room so
    // that the width is kept; the sign stays next to the digits.
    std::string sDevant = sTexte.substr(0, nDebut);
    while (nSeparateurs > 0 && !sDevant.empty() && sDevant[0] == ' ') {
        sDevant.erase(0, 1);
        --nSeparateurs;
    }
    size_t nZero = (!sDevant.empty() && (sDevant[0] == '+' || sDevant[0] == '-')) ? 1 : 0;
    while (nSeparateurs > 0 && nZero < sDevant.size() && sDevant[nZero] == '0') {
        sDevant.erase(nZero, 1);
        --nSeparateurs;
    }
    sTexte = sDevant + sGroupes + sTexte.substr(nFin);
}

bool bGetVirguleLocale(char* pcSeparateur) {
    const struct lconv* pst = localeconv();
    if (pst == nullptr || pst->decimal_point == nullptr || pst->decimal_point[0] == 0) {
        *pcSeparateur = '.';
        return false;
    }
    *pcSeparateur = pst->decimal_point[0];
    return true;
}

bool bGetPointLocale(char* pcSeparateur) {
    const struct lconv* pst = localeconv();
    if (pst == nullptr || pst->thousands_sep == nullptr || pst->thousands_sep[0] == 0) {
        *pcSeparateur = ' ';
        return false;
    }
    *pcSeparateur = pst->thousands_sep[0];
    return true;
}

eResultatFormat NUM_eFormate(const STValeurNum& stValeur, const char* pszFormat, std::string& sResultat) {
    sResultat.clear();
    _stFMTINFO st;
    if (!CHAINE_bAnalyseFormat(pszFormat, &st)) return RF_FORMAT_INVALIDE;
    if (st.nLargeur > FMT_LARGEUR_MAX || st.nPrecision > FMT_LARGEUR_MAX) return RF_FORMAT_INVALIDE;
    double r = stValeur.r;
    // An 8-byte integer outside the 32-bit range, either side, is written
    // from its exact value: a real holds only 53 bits of it.
    const bool bNonSigne = stValeur.nType == 5;
    const bool b64 = bNonSigne ? static_cast<uint64_t>(stValeur.ll) > 4294967295ULL
                               : stValeur.nType == 9 && (stValeur.ll > 4294967295LL || stValeur.ll < INT32_MIN);
    if (b64) st.wFlags |= FMT_ENTIER64;
    if (stValeur.nType == 10) st.wFlags |= FMT_MONETAIRE;
    if (st.cFormat == 'd' && !b64) {
        // Rounded, not truncated.
        st.cFormat = 'f';
        st.nPrecision = 0;
    }
    // Decimal halves written in binary round upward in magnitude.
    if (st.nPrecision < 14 && std::isfinite(r) && r != std::trunc(r)) {
        const int e = static_cast<int>(std::trunc(std::log10(std::fabs(r))));
        const double rDelta = _rPuissance10(e) * 1e-15;
        if (rDelta < 1 && e <= 13) {
            if (r >= 1e-9)
                r += rDelta;
            else if (r <= -1e-9)
                r -= rDelta;
        }
    }
    char szFormat[48];
    CHAINE_nFmtInfo2Format(szFormat, &st);
    const char c = st.cFormat;
    std::string s;
    if (c == 'f' && b64) {
        s = _EntierExact(st, stValeur.ll, bNonSigne);
    } else if (c == 'e' || c == 'E' || c == 'f') {
        s = _Ecrit(szFormat, r);
    } else if (c == 'd') {
        if (bNonSigne) szFormat[strlen(szFormat) - 1] = 'u';
        s = bNonSigne ? _Ecrit(szFormat, static_cast<unsigned long long>(stValeur.ll))
                      : _Ecrit(szFormat, static_cast<long long>(stValeur.ll));
    } else {
        const int64_t ll = b64 ? stValeur.ll : _llTronque(r);
        if (st.wFlags & (FMT_MONETAIRE | FMT_ENTIER64))
            s = _Ecrit(szFormat, static_cast<unsigned long long>(ll));
        else
            s = _Ecrit(szFormat, static_cast<unsigned int>(static_cast<uint32_t>(ll)));
        if (ll < 0 && !bNonSigne) _TronqueNegatif(st, c, s);
    }
    if (c == 'e' || c == 'E') CHAINE_AligneExposant16Bits(&st, s);
    if ((st.wFlags & FMT_ZEROS) && (st.wFlags & FMT_SIGNE) && int(s.size()) > st.nLargeur && s.size() >= 3 &&
        (s[0] == '+' || s[0] == '-') && s[1] == '0' && _bChiffre(s[2]))
        s.erase(1, 1);
    char cDecimal = '.';
    if (st.wFlags & FMT_VIRGULE) {
        bGetVirguleLocale(&cDecimal);
        const size_t nPoint = s.find('.');
        if (nPoint != std::string::npos) s[nPoint] = cDecimal;
    }
    if (st.wFlags & FMT_MILLIERS) {
        char cMillier = ' ';
        bGetPointLocale(&cMillier);
        CHAINE_SeparateurMillier(&st, s, cMillier, cDecimal);
    }
    for (char& ch : s)
        if (static_cast<unsigned char>(ch) == 0xA0) ch = ' ';
    sResultat = std::move(s);
    return RF_OK;
}
