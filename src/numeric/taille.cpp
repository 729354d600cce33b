// Sizes in bytes as text: "1 octet", "1,50 Ko"...
#include "numeric/taille.h"

#include <cstdio>
#include <cstring>

namespace {

// The n-th name of a list separated by ";", empty when missing.
std::string _Nom(const char* pszListe, int n) {
    const char* p = pszListe != nullptr ? pszListe : "";
    for (int i = 0; i < n; ++i) {
        p = std::strchr(p, ';');
        if (p == nullptr) return std::string();
        ++p;
    }
    const char* pFin = std::strchr(p, ';');
    return pFin != nullptr ? std::string(p, size_t(pFin - p)) : std::string(p);
}

}  // namespace

bool NUM_bTailleVersTexte(int64_t llTaille, int nUnite, const char* pszUnites, char cDecimal, std::string& sResultat) {
    sResultat.clear();
    if (nUnite < 0 || nUnite > 5) return false;
    const double rTaille = static_cast<double>(llTaille);
    char sz[400];
    if (nUnite == 1 || (nUnite == 0 && rTaille < 1024)) {
        // The count of bytes: written whole, however large.
        std::string sNom = _Nom(pszUnites, 0);
        if (sNom.size() > 2 && sNom.compare(sNom.size() - 3, 3, "(s)") == 0)
            sNom.replace(sNom.size() - 3, 3, llTaille < 2 ? "" : "s");
        std::snprintf(sz, sizeof sz, "%lld %s", static_cast<long long>(llTaille), sNom.substr(0, 300).c_str());
        sResultat = sz;
        return true;
    }
    double r = rTaille / 1024;
    int nNom = 1;
    while (nNom < 4 && (nUnite > nNom + 1 || (nUnite == 0 && (r >= 1024 || r <= -1024)))) {
        r /= 1024;
        ++nNom;
    }
    std::snprintf(sz, sizeof sz, "%#.2f %s", r, _Nom(pszUnites, nNom).substr(0, 300).c_str());
    sResultat = sz;
    const size_t nPoint = sResultat.find('.');
    if (nPoint != std::string::npos) sResultat[nPoint] = cDecimal;
    return true;
}
