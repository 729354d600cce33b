// INILit and INIEcrit: the language's front to the profile engine.
#include <cstring>
#include <cwchar>
#include <string>

#include "system/functions.h"
#include "system/profile.h"

namespace {

const char* _pszOuNull(const char* psz) { return psz == nullptr || psz[0] == 0 ? nullptr : psz; }

// A write the profile engine refused, named as given or, without a name,
// as the per-user file.
bool _Refus(CZNLibrary& lib, const char* pszFichier) {
    const char* pszNom = _pszOuNull(pszFichier);
    char szConf[PROFILE_MAX_PATH + 1];
    if (pszNom == nullptr) pszNom = bGetTVRCONFPath(szConf, sizeof szConf) ? szConf : "~/.TVR.conf";
    lib.RaiseError(80294, pszNom);
    return false;
}

// A text argument of INIEcrit as an ANSI C text, or null for "nothing". A
// text that holds a NUL within its length is marked: as a C text it would
// be cut there and a shorter text written than the one given.
class CArg {
public:
    CArg() = default;
    explicit CArg(const CZNDSTRBase& s) {
        if (s.nGetTypeAUB() == 16) {
            const int n = s.nGetLongueurUNICODE();
            m_bNul = n > 0 && wmemchr(s.pwszGet(), L'\0', static_cast<size_t>(n)) != nullptr;
            m_sAnsi.nAffecteToANSI(s);
            m_psz = m_sAnsi.pszGet();
        } else {
            const int n = s.nGetLongueur();
            m_bNul = n > 0 && memchr(s.pszGet(), 0, static_cast<size_t>(n)) != nullptr;
            m_psz = s.pszGet();
        }
        if (m_psz == nullptr) m_psz = "";
    }
    const char* psz() const { return m_psz; }
    bool bNul() const { return m_bNul; }

private:
    CZNDSTR m_sAnsi;
    const char* m_psz = nullptr;
    bool m_bNul = false;
};

bool _Ecrit(CZNLibrary& lib, const CArg& clSection, const CArg& clCle, const CArg& clValeur, const CArg& clFichier) {
    if (clSection.bNul() || clCle.bNul() || clValeur.bNul() || clFichier.bNul())
        return _Refus(lib, clFichier.psz());
    if (WritePrivateProfileString(_pszOuNull(clSection.psz()), _pszOuNull(clCle.psz()), _pszOuNull(clValeur.psz()),
                                  _pszOuNull(clFichier.psz())))
        return true;
    return _Refus(lib, clFichier.psz());
}

}  // namespace

namespace sys {

CZNDSTR INILit(CZNLibrary&, const char* pszSection, const char* pszCle, const char* pszDefaut,
               const char* pszFichier) {
    const std::string s =
        GetPrivateProfileText(_pszOuNull(pszSection), _pszOuNull(pszCle), pszDefaut, _pszOuNull(pszFichier));
    CZNDSTR sResultat;
    sResultat.nAssign(s.data(), static_cast<int>(s.size()));
    return sResultat;
}
CZNDSTR INILit(CZNLibrary& lib, const char* pszSection, const char* pszCle, const char* pszDefaut) {
    return INILit(lib, pszSection, pszCle, pszDefaut, "");
}
CZNDSTR INILit(CZNLibrary& lib, const char* pszSection, const char* pszCle) {
    return INILit(lib, pszSection, pszCle, "", "");
}
CZNDSTR INILit(CZNLibrary& lib, const char* pszSection) { return INILit(lib, pszSection, "", "", ""); }

bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection) { return _Ecrit(lib, CArg(sSection), {}, {}, {}); }
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CZNDSTRBase& sCle) {
    return _Ecrit(lib, CArg(sSection), CArg(sCle), {}, {});
}
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CZNDSTRBase& sCle, const CZNDSTRBase& sValeur) {
    return _Ecrit(lib, CArg(sSection), CArg(sCle), CArg(sValeur), {});
}
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CZNDSTRBase& sCle, const CZNDSTRBase& sValeur,
              const CZNDSTRBase& sFichier) {
    return _Ecrit(lib, CArg(sSection), CArg(sCle), CArg(sValeur), CArg(sFichier));
}
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CZNDSTRBase& sCle, const CAny&,
              const CZNDSTRBase& sFichier) {
    return _Ecrit(lib, CArg(sSection), CArg(sCle), {}, CArg(sFichier));
}
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CAny&, const CAny&, const CZNDSTRBase& sFichier) {
    return _Ecrit(lib, CArg(sSection), {}, {}, CArg(sFichier));
}
bool INIEcrit(CZNLibrary& lib, const CAny&, const CAny&, const CAny&, const CZNDSTRBase& sFichier) {
    return _Ecrit(lib, {}, {}, {}, CArg(sFichier));
}
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CZNDSTRBase& sCle, const CAny&) {
    return _Ecrit(lib, CArg(sSection), CArg(sCle), {}, {});
}

}  // namespace sys
