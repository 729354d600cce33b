// SysEnvironnement, SysChangeEnvironnement, SysEspace, SysVersionWindows and
// VersionWindows: the environment, memory figures and the system's name.
#include <strings.h>
#include <sys/utsname.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "system/functions.h"
#include "system/memoire.h"

extern char** environ;

namespace sys {

namespace {

constexpr int ERR_VERSION = 80144;
constexpr int ERR_ESPACE = 80145;
constexpr int ERR_ENVIRONNEMENT = 80151;

CZNDSTR _Texte(const std::string& s) { return CZNDSTR(s.data(), static_cast<int>(s.size())); }

void _Entier(CAny& cl, int32_t n) {
    cl.__SetType(ANY_I4);
    cl.SetValue(&n);
}

// The environment's entries that begin with the text (case ignored), CR LF
// between them.
CZNDSTR _Entrees(const char* pszDebut) {
    const size_t nDebut = strlen(pszDebut);
    std::string s;
    for (char** pp = environ; pp != nullptr && *pp != nullptr; ++pp) {
        if (strncasecmp(*pp, pszDebut, nDebut) != 0) continue;
        if (!s.empty()) s += "\r\n";
        s += *pp;
    }
    return _Texte(s);
}

}  // namespace

// The whole environment, one entry a line (CR LF between entries). It is
// given whole: a cut would hand the program a wrong last entry.
CZNDSTR SysEnvironnement(CZNLibrary& /*lib*/) { return _Entrees(""); }

CZNDSTR SysEnvironnement(CZNLibrary& /*lib*/, const char* pszNom) {
    if (pszNom == nullptr || *pszNom == 0) return _Entrees("");
    if (const char* pszValeur = getenv(pszNom)) return CZNDSTR(pszValeur);
    // Not a variable: the entries that begin with the text, case ignored.
    return _Entrees(pszNom);
}

bool SysChangeEnvironnement(CZNLibrary& lib, const char* pszNom, const char* pszValeur) {
    return SysChangeEnvironnement(lib, pszNom, pszValeur, 0);
}

// Only this process's environment changes, whatever the scope.
bool SysChangeEnvironnement(CZNLibrary& lib, const char* pszNom, const char* pszValeur, int32_t /*nPortee*/) {
    const int n = pszValeur != nullptr && *pszValeur ? setenv(pszNom ? pszNom : "", pszValeur, 1)
                                                     : unsetenv(pszNom ? pszNom : "");
    if (n == 0) return true;
    lib.RaiseError(ERR_ENVIRONNEMENT);
    return false;
}

void SysEspace(CZNLibrary& lib, CAny& clResultat) { SysEspace(lib, 2, clResultat); }

void SysEspace(CZNLibrary& lib, int32_t nType, CAny& clResultat) {
    STMemoryStatus st;
    GlobalMemoryStatus(&st);
    switch (nType) {
        case 1: _Entier(clResultat, static_cast<int32_t>(st.dwAvailPhys)); break;
        case 2: _Entier(clResultat, static_cast<int32_t>(st.dwTotalPhys)); break;
        default:
            lib.RaiseError(ERR_ESPACE);
            _Entier(clResultat, 0);
    }
}

CZNDSTR SysVersionWindows(CZNLibrary& lib) { return SysVersionWindows(lib, 0); }

CZNDSTR SysVersionWindows(CZNLibrary& lib, int32_t nType) {
    if (nType != 0 && nType != 3) {
        lib.RaiseError(ERR_VERSION);
        return CZNDSTR();
    }
    struct utsname st;
    if (uname(&st) != 0) return CZNDSTR();
    if (nType == 3) return CZNDSTR("UNIX");
    std::string s = st.sysname;
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return _Texte(s);
}

CZNDSTR VersionWindows(CZNLibrary& lib) { return SysVersionWindows(lib, 5); }

}  // namespace sys
