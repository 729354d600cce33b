// INILit and INIEcrit: the language's front to the profile engine.
#include "system/ini.h"

#include <string>

#include "component/compo.h"
#include "system/profile.h"

namespace {

const char* _pszOuNull(const char* psz) { return psz == nullptr || psz[0] == 0 ? nullptr : psz; }

}  // namespace

void INIErreurEcriture(CZNLibrary& clLib, const char* pszFichier) {
    const char* pszNom = _pszOuNull(pszFichier);
    char szConf[PROFILE_MAX_PATH + 1];
    if (pszNom == nullptr) pszNom = bGetTVRCONFPath(szConf, sizeof szConf) ? szConf : "~/.TVR.conf";
    clLib.RaiseError(80294, pszNom);
}

// The whole value or list, however long: a cut value would pass for the
// value stored.
CZNDSTR CComposanteStandard::INILit(const char* pszSection, const char* pszCle, const char* pszDefaut,
                                    const char* pszFichier) {
    const std::string s = GetPrivateProfileText(_pszOuNull(pszSection), _pszOuNull(pszCle),
                                                pszDefaut != nullptr ? pszDefaut : "", _pszOuNull(pszFichier));
    CZNDSTR sResultat;
    sResultat.nAssign(s.data(), static_cast<int>(s.size()));
    return sResultat;
}

bool CComposanteStandard::INIEcrit(const char* pszSection, const char* pszCle, const char* pszValeur,
                                   const char* pszFichier) {
    if (WritePrivateProfileString(_pszOuNull(pszSection), _pszOuNull(pszCle), _pszOuNull(pszValeur),
                                  _pszOuNull(pszFichier)))
        return true;
    INIErreurEcriture(*this, pszFichier);
    return false;
}
