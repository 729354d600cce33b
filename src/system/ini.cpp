// INILit and INIEcrit: the language's front to the profile engine.
#include <cstring>
#include <vector>

#include "component/compo.h"
#include "system/profile.h"

namespace {

const char* _pszOuNull(const char* psz) { return psz == nullptr || psz[0] == 0 ? nullptr : psz; }

// Room for a value or a list: 65,535 characters and the terminator.
constexpr int k_nTailleLecture = 65536;

}  // namespace

CZNDSTR CComposanteStandard::INILit(const char* pszSection, const char* pszCle, const char* pszDefaut,
                                    const char* pszFichier) {
    std::vector<char> tabTampon(k_nTailleLecture);
    int n = GetPrivateProfileString(_pszOuNull(pszSection), _pszOuNull(pszCle), pszDefaut != nullptr ? pszDefaut : "",
                                    tabTampon.data(), k_nTailleLecture, _pszOuNull(pszFichier));
    CZNDSTR sResultat;
    // Names of a list separated by NULs become lines.
    int nDebut = 0;
    for (int i = 0; i <= n; ++i) {
        if (i < n && tabTampon[i] != 0) continue;
        sResultat.nConcat(tabTampon.data() + nDebut, i - nDebut);
        if (i < n) sResultat.nConcat("\r\n", 2);
        nDebut = i + 1;
    }
    return sResultat;
}

bool CComposanteStandard::INIEcrit(const char* pszSection, const char* pszCle, const char* pszValeur,
                                   const char* pszFichier) {
    const char* pszNom = _pszOuNull(pszFichier);
    if (WritePrivateProfileString(_pszOuNull(pszSection), _pszOuNull(pszCle), _pszOuNull(pszValeur), pszNom))
        return true;
    char szConf[PROFILE_MAX_PATH + 1];
    if (pszNom == nullptr) pszNom = bGetTVRCONFPath(szConf, sizeof szConf) ? szConf : "~/.TVR.conf";
    RaiseError(80294, pszNom);
    return false;
}
