// The digit-string helpers: FmtNum and the in-place edits.
#include "numeric/fmtnum.h"

#include <cstddef>
#include <cstring>
#include <string>

#include "platform/export.h"

namespace {

const char k_szErreur[] = "*E*";

bool _bChiffre(char c) { return c >= '0' && c <= '9'; }

void _Ecrit(char* pszTexte, const std::string& s) {
    const std::string& sFinal = s.size() > FMTNUM_LONGUEUR_MAX ? std::string(k_szErreur) : s;
    memcpy(pszTexte, sFinal.c_str(), sFinal.size() + 1);
}

// Adds one at the last digit of s (which holds digits and at most one
// point), carrying leftwards; a "1" in front when the carry runs out.
void _Incremente(std::string& s) {
    std::string sTampon = s;
    sTampon.push_back(0);
    sTampon.push_back(0);   // room for the "1"
    if (s.empty()) {
        s = "1";
        return;
    }
    FmtInc(&sTampon[0], &sTampon[s.size() - 1]);
    s = sTampon.c_str();
}

// Cuts the digits of I.F after nGarde digits of F (nGarde may be negative
// for integer places, which become zeros), rounding on the first digit cut.
void _Coupe(std::string& sEntier, std::string& sFraction, int nGarde) {
    if (nGarde >= 0) {
        if (int(sFraction.size()) <= nGarde) return;
        const char cCoupe = sFraction[size_t(nGarde)];
        sFraction.resize(size_t(nGarde));
        if (cCoupe > '4') {
            std::string s = sEntier + "." + sFraction;
            _Incremente(s);
            const size_t nPoint = s.find('.');
            sEntier = s.substr(0, nPoint);
            sFraction = s.substr(nPoint + 1);
        }
        return;
    }
    // Integer places cut: they become zeros.
    const size_t nZeros = size_t(-nGarde);
    sFraction.clear();
    if (sEntier.size() < nZeros) {
        sEntier = "0";
        return;
    }
    const char cCoupe = sEntier[sEntier.size() - nZeros];
    std::string sTete = sEntier.substr(0, sEntier.size() - nZeros);
    if (cCoupe > '4') _Incremente(sTete);
    if (sTete.empty()) sTete = "0";
    sEntier = sTete == "0" ? "0" : sTete + std::string(nZeros, '0');
}

void _FmtNum(char* pszTexte, int nLargeur, int nDecimales, int nSignificatifs, int nAlignement, int bDeveloppe,
             int bSupprimeZeros) {
    // The number: blanks, sign, digits with one point, an exponent.
    const char* p = pszTexte;
    while (*p == ' ' || *p == '\t') ++p;
    bool bNegatif = false;
    if (*p == '-' || *p == '+') bNegatif = *p++ == '-';
    std::string sChiffres;
    int nPoint = -1;
    for (; _bChiffre(*p) || (*p == '.' && nPoint < 0); ++p) {
        if (*p == '.')
            nPoint = int(sChiffres.size());
        else
            sChiffres += *p;
    }
    if (sChiffres.empty()) {
        _Ecrit(pszTexte, k_szErreur);
        return;
    }
    if (nPoint < 0) nPoint = int(sChiffres.size());
    std::string sExposant;
    long nExposant = 0;
    if ((*p == 'e' || *p == 'E') && (_bChiffre(p[1]) || ((p[1] == '+' || p[1] == '-') && _bChiffre(p[2])))) {
        const char* q = p + 1;
        const bool bMoins = *q == '-';
        if (*q == '+' || *q == '-') ++q;
        for (; _bChiffre(*q); ++q)
            if (nExposant < 100000) nExposant = nExposant * 10 + (*q - '0');
        if (bMoins) nExposant = -nExposant;
        sExposant.assign(p, size_t(q - p));
        p = q;
    }
    while (*p == ' ' || *p == '\t') ++p;
    if (*p != 0) {   // something after the number
        _Ecrit(pszTexte, k_szErreur);
        return;
    }
    if (bDeveloppe && !sExposant.empty()) {
        // The point moves; a text that would pass the limit is refused.
        const long nNouveau = nPoint + nExposant;
        if (nNouveau > FMTNUM_LONGUEUR_MAX || nNouveau < -FMTNUM_LONGUEUR_MAX) {
            _Ecrit(pszTexte, k_szErreur);
            return;
        }
        nPoint = int(nNouveau);
        sExposant.clear();
    }
    std::string sEntier, sFraction;
    if (nPoint <= 0) {
        sEntier = "0";
        sFraction = std::string(size_t(-nPoint), '0') + sChiffres;
    } else if (nPoint >= int(sChiffres.size())) {
        sEntier = sChiffres + std::string(size_t(nPoint) - sChiffres.size(), '0');
    } else {
        sEntier = sChiffres.substr(0, size_t(nPoint));
        sFraction = sChiffres.substr(size_t(nPoint));
    }
    sEntier.erase(0, sEntier.find_first_not_of('0'));
    if (sEntier.empty()) sEntier = "0";
    if (nSignificatifs > 0) {
        // Places kept after the point so that nSignificatifs digits remain
        // from the first non-zero one.
        const std::string sTout = (sEntier == "0" ? std::string() : sEntier) + sFraction;
        const size_t nPremier = sTout.find_first_not_of('0');
        if (nPremier != std::string::npos) {
            const int nAvantPoint = sEntier == "0" ? 0 : int(sEntier.size());
            _Coupe(sEntier, sFraction, int(nPremier) + nSignificatifs - nAvantPoint);
        }
    }
    if (nDecimales >= 0) {
        _Coupe(sEntier, sFraction, nDecimales);
        if (int(sFraction.size()) < nDecimales) sFraction.append(size_t(nDecimales) - sFraction.size(), '0');
    } else {
        sFraction.erase(sFraction.find_last_not_of('0') + 1);
    }
    if (bSupprimeZeros) sFraction.erase(sFraction.find_last_not_of('0') + 1);
    const bool bNul = sEntier.find_first_not_of('0') == std::string::npos &&
                      sFraction.find_first_not_of('0') == std::string::npos;
    std::string s = (bNegatif && !bNul) ? "-" : "";
    s += sEntier;
    if (!sFraction.empty()) s += "." + sFraction;
    s += sExposant;
    if (nLargeur != -1) {
        if (nLargeur < 0 || int(s.size()) > nLargeur) {
            s = k_szErreur;
        } else if (nAlignement == 1) {
            s.append(size_t(nLargeur) - s.size(), ' ');
        } else {
            s.insert(0, size_t(nLargeur) - s.size(), ' ');
        }
    }
    _Ecrit(pszTexte, s);
}

}  // namespace

extern "C" {

QV_EXPORT char* FmtNum(char* pszTexte, int nLargeur, int nDecimales, int nSignificatifs, int nAlignement,
                       int bDeveloppe, int bSupprimeZeros) {
    if (pszTexte == nullptr) return nullptr;
    // Called from C: no exception leaves.
    try {
        _FmtNum(pszTexte, nLargeur, nDecimales, nSignificatifs, nAlignement, bDeveloppe, bSupprimeZeros);
    } catch (...) {
        _Ecrit(pszTexte, k_szErreur);
    }
    return pszTexte;
}

QV_EXPORT int FmtInc(char* pszDebut, char* pszFin) {
    if (pszDebut == nullptr || pszFin == nullptr || pszFin < pszDebut) return 0;
    for (ptrdiff_t i = pszFin - pszDebut; i >= 0; --i) {
        char* q = pszDebut + i;
        if (*q == '.') continue;
        if (*q == '9') {
            *q = '0';
            continue;
        }
        if (_bChiffre(*q)) {
            ++*q;
            return 0;
        }
        // Not a digit: the new digit goes after it.
        FmtInsCar(q + 1, 0, '1');
        return 1;
    }
    FmtInsCar(pszDebut, 0, '1');
    return 1;
}

QV_EXPORT char* FmtInsCar(char* pszTexte, int nPosition, char cCar) {
    if (pszTexte == nullptr) return nullptr;
    const size_t n = strlen(pszTexte);
    const size_t nPos = nPosition < 0 ? 0 : size_t(nPosition) > n ? n : size_t(nPosition);
    memmove(pszTexte + nPos + 1, pszTexte + nPos, n - nPos + 1);
    pszTexte[nPos] = cCar;
    return pszTexte;
}

QV_EXPORT char* FmtSupCar(char* pszTexte, int nPosition) {
    if (pszTexte == nullptr || nPosition < 0) return pszTexte;
    const size_t n = strlen(pszTexte);
    if (size_t(nPosition) >= n) return pszTexte;
    memmove(pszTexte + nPosition, pszTexte + nPosition + 1, n - size_t(nPosition));
    return pszTexte;
}

QV_EXPORT char* SansEspaceAutour(char* pszTexte) {
    if (pszTexte == nullptr) return nullptr;
    size_t n = strlen(pszTexte);
    while (n > 0 && (pszTexte[n - 1] == ' ' || pszTexte[n - 1] == '\t')) --n;
    pszTexte[n] = 0;
    size_t nDebut = 0;
    while (pszTexte[nDebut] == ' ' || pszTexte[nDebut] == '\t') ++nDebut;
    memmove(pszTexte, pszTexte + nDebut, n - nDebut + 1);
    return pszTexte;
}

}  // extern "C"
