// LanceAppli, ExeDonnePID and ExeInfo: launching programs and what is known
// of this process and of an executable.
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "system/functions.h"
#include "system/lancement.h"
#include "system/versionexe.h"

namespace sys {

namespace {

constexpr int ERR_LANCEMENT = 80400;
constexpr int ERR_TYPE_PID = 80110;

enum eModeLancement { EXE_NON_BLOQUANT = 0, EXE_BLOQUANT = 1, EXE_VALEUR_RETOUR = 2, EXE_PID = 3 };

int32_t _nEchec(CZNLibrary& lib, const char* pszLigne, int nErrno) {
    lib.RaiseError(ERR_LANCEMENT, pszLigne, strerror(nErrno));
    return 0;
}

// ExeInfo's rows: French key, English key, what answers.
enum eReponse { R_NOM, R_REPERTOIRE, R_RESSOURCE, R_MODE, R_VERSION4N };
struct STCleInfo {
    const char* pszFr;
    const char* pszEn;
    eReponse e;
    const char* pszRessource;
};
constexpr STCleInfo k_tabCles[] = {
    {"NOM", "NAME", R_NOM, nullptr},
    {"REPERTOIRE", "DIRECTORY", R_REPERTOIRE, nullptr},
    {"COPYRIGHT", "COPYRIGHT", R_RESSOURCE, "LegalCopyright"},
    {"VERSION", "VERSION", R_RESSOURCE, "FileVersion"},
    {"DESCRIPTION", "DESCRIPTION", R_RESSOURCE, "FileDescription"},
    {"MODE", "MODE", R_MODE, nullptr},
    {"SOCIETE", "COMPANY", R_RESSOURCE, "CompanyName"},
    {"VERSION4N", "VERSION4N", R_VERSION4N, nullptr},
};

// The directory of a path: up to its last separator ("/" or "\"), or just
// past a drive's colon; empty when the path has neither.
std::string _Repertoire(const std::string& sChemin) {
    size_t n = sChemin.find_last_of("/\\");
    if (n != std::string::npos) return sChemin.substr(0, n);
    n = sChemin.rfind(':');
    return n != std::string::npos ? sChemin.substr(0, n + 1) : std::string();
}

CZNDSTR _Texte(const std::string& s) { return CZNDSTR(s.data(), static_cast<int>(s.size())); }

}  // namespace

int32_t LanceAppli(CZNLibrary& lib, const char* pszLigne, int32_t /*nFenetre*/, int32_t nMode) {
    const STLigneCommande stLigne = PROC_DecoupeLigne(pszLigne);
    const bool bAttend = nMode == EXE_BLOQUANT || nMode == EXE_VALEUR_RETOUR;
    pid_t nPid = 0;
    bool bEnCours = false;
    int nCode = 0;
    if (!bAttend) {
        if (!CreateProcess(stLigne.sProgramme.c_str(), stLigne.sArguments.c_str(), &nPid, &bEnCours, &nCode))
            return _nEchec(lib, pszLigne, errno);
        return nMode == EXE_PID ? static_cast<int32_t>(nPid) : 1;
    }
    // The process-wide handler must not reap the child before we read how
    // it ended: it stands aside from before the launch until the wait ends.
    CAttenteEnfant clAttente;
    if (!CreateProcess(stLigne.sProgramme.c_str(), stLigne.sArguments.c_str(), &nPid, &bEnCours, &nCode))
        return _nEchec(lib, pszLigne, errno);
    if (WaitPid(nPid, PROC_ATTENTE_INFINIE, &nCode) != nPid) return _nEchec(lib, pszLigne, errno);
    return nMode == EXE_VALEUR_RETOUR ? nCode : 1;
}

int32_t LanceAppli(CZNLibrary& lib, const char* pszLigne) { return LanceAppli(lib, pszLigne, 1, EXE_NON_BLOQUANT); }

int32_t LanceAppli(CZNLibrary& lib, const char* pszLigne, int32_t nFenetre) {
    return LanceAppli(lib, pszLigne, nFenetre, EXE_NON_BLOQUANT);
}

bool DDELance(CZNLibrary& lib, const char* pszLigne, int32_t nFenetre) {
    return LanceAppli(lib, pszLigne, nFenetre, EXE_NON_BLOQUANT) != 0;
}

bool DDELance(CZNLibrary& lib, const char* pszLigne) { return DDELance(lib, pszLigne, 1); }

int32_t LanceAppli(CZNLibrary& lib, const char* pszLigne, int32_t nFenetre, bool bAttend) {
    return LanceAppli(lib, pszLigne, nFenetre, bAttend ? EXE_BLOQUANT : EXE_NON_BLOQUANT);
}

int32_t ExeDonnePID(CZNLibrary& lib) { return ExeDonnePID(lib, EXE_PID); }

int32_t ExeDonnePID(CZNLibrary& lib, int32_t nType) {
    switch (nType) {
        case 3: return static_cast<int32_t>(getpid());
        case 6: return static_cast<int32_t>(getppid());
        case 7: return static_cast<int32_t>(static_cast<uintptr_t>(pthread_self()));
        default: lib.RaiseError(ERR_TYPE_PID); return 0;
    }
}

CZNDSTR ExeInfo(CZNLibrary& lib, const char* pszCle) { return ExeInfo(lib, pszCle, ""); }

CZNDSTR ExeInfo(CZNLibrary& /*lib*/, const char* pszCle, const char* pszExecutable) {
    const std::string sExe = pszExecutable != nullptr && *pszExecutable ? std::string(pszExecutable) : GetModuleFileName();
    // "é" (Latin-1) reads as "E", then the key is upper-cased.
    std::string sCle;
    for (const char* p = pszCle ? pszCle : ""; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        sCle += c == 0xE9 ? 'E' : (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : static_cast<char>(c);
    }
    std::string sValeur;
    for (const STCleInfo& st : k_tabCles) {
        if (sCle != st.pszFr && sCle != st.pszEn) continue;
        switch (st.e) {
            case R_NOM: return _Texte(sExe);
            case R_REPERTOIRE: return _Texte(_Repertoire(sExe));
            case R_RESSOURCE: bGetInfoEXE(sExe.c_str(), st.pszRessource, sValeur); return _Texte(sValeur);
            case R_MODE:
                switch (EXE_nGetTypeEXE(sExe.c_str())) {
                    case 0: return CZNDSTR("DOS");
                    case 1: return CZNDSTR("16");
                    case 2: return CZNDSTR("32");
                    case 4: return CZNDSTR("64");
                    default: return CZNDSTR();
                }
            case R_VERSION4N: return CZNDSTR();   // no four-number reader on this platform
        }
    }
    // Any other key names a version text itself.
    bGetInfoEXE(sExe.c_str(), sCle.c_str(), sValeur);
    return _Texte(sValeur);
}

}  // namespace sys
