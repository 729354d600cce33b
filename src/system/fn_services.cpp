// The Service* functions: install, remove, start, stop, query and control
// system services through their init scripts. The machine argument is
// accepted for programs written for other platforms and ignored.
#include <strings.h>
#include <time.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "system/functions.h"
#include "system/services.h"

namespace sys {

namespace {

constexpr int ERR_ROOT = 80014;
constexpr int ERR_INTROUVABLE = 81601;
constexpr int ERR_CONTROLE = 81602;
constexpr int ERR_DEMARRAGE = 81603;
constexpr int ERR_ARRET = 81604;
constexpr int ERR_ETAT = 81605;
constexpr int ERR_SUPPRESSION = 81606;
constexpr int ERR_INSTALLATION = 81607;

// Identifiers of the Service.* variables the installation reads.
constexpr int VAR_DESCRIPTION = 39;
constexpr int VAR_DEMARRAGE = 40;
constexpr int VAR_LIGNECOMMANDE = 42;
constexpr int DEMARRAGE_AUTOMATIQUE = 2;

constexpr int ATTENTE_ARRET = 10;   // seconds a removal or restart waits for the stop

void _Seconde() {
    timespec st{1, 0};
    while (nanosleep(&st, &st) != 0) {
    }
}

std::string _Texte(CZNLibrary& lib, int nVariable) {
    const auto* ps = static_cast<const CZNDSTRBase*>(lib.pGetVariableAdresse(nVariable));
    if (ps == nullptr) return std::string();
    if (ps->nGetTypeAUB() == 16) {
        CZNDSTR sAnsi;
        sAnsi.nAffecteToANSI(*ps);
        return sAnsi.pszGet();
    }
    return std::string(ps->pszGet(), static_cast<size_t>(ps->nGetLongueur()));
}

int32_t _nEntier(CZNLibrary& lib, int nVariable) {
    const auto* pn = static_cast<const int32_t*>(lib.pGetVariableAdresse(nVariable));
    return pn != nullptr ? *pn : 0;
}

// The state read every second, for at most nSecondes more reads, until it
// is the one wanted.
int _nAttendEtat(CService& cl, int nEtat, int nSecondes) {
    int n = cl.eGetStatus();
    while (n != nEtat && nSecondes-- >= 1) {
        _Seconde();
        n = cl.eGetStatus();
    }
    return n;
}

// The manager and the service of a call; a service that does not exist
// raises nErreur (81601 unless said otherwise).
class CAppelService {
public:
    CAppelService(CZNLibrary& lib, const char* pszNom, int nErreur = ERR_INTROUVABLE) {
        m_clManager.bInit();
        std::string sScript;
        if (m_clManager.bGetService(pszNom, sScript))
            m_pclService = std::make_unique<CService>(m_clManager, sScript);
        else
            lib.RaiseError(nErreur, pszNom);
    }
    CService* operator->() { return m_pclService.get(); }
    CService& operator*() { return *m_pclService; }
    explicit operator bool() const { return m_pclService != nullptr; }

private:
    CServiceManager m_clManager;
    std::unique_ptr<CService> m_pclService;
};

// The service's control commands (1 stop, 6 reload; the others fail).
bool _bControle(CZNLibrary& lib, const char* pszNom, int nCommande) {
    CAppelService cl(lib, pszNom);
    if (!cl) return false;
    if (cl->bSendControlCommand(nCommande)) return true;
    lib.RaiseError(ERR_CONTROLE, pszNom);
    return false;
}

}  // namespace

bool ServiceInstalle(CZNLibrary& lib, const char* pszNom) {
    if (geteuid() != 0) {
        lib.RaiseError(ERR_ROOT);
        return false;
    }
    CServiceManager clManager;
    clManager.bInit();
    const std::string sLigne = _Texte(lib, VAR_LIGNECOMMANDE) + " --SERVICE";
    const bool bAutomatique = _nEntier(lib, VAR_DEMARRAGE) == DEMARRAGE_AUTOMATIQUE;
    std::string sScript;
    if (!CServiceManager::s_bNomScript(pszNom, sScript) ||
        !clManager.bInstall(sScript, _Texte(lib, VAR_DESCRIPTION).c_str(), sLigne.c_str(), bAutomatique)) {
        lib.RaiseError(ERR_INSTALLATION);
        return false;
    }
    if (bAutomatique) ServiceDemarre(lib, pszNom);
    return true;
}

bool ServiceInstalle(CZNLibrary& lib, const char* pszNom, const char* /*pszMachine*/) { return ServiceInstalle(lib, pszNom); }

bool ServiceDesinstalle(CZNLibrary& lib, const char* pszNom) {
    CAppelService cl(lib, pszNom);
    if (!cl) return false;
    if (cl->eGetStatus() != SERVICE_ARRETE) {
        cl->bStop();
        if (_nAttendEtat(*cl, SERVICE_ARRETE, ATTENTE_ARRET) != SERVICE_ARRETE) {
            lib.RaiseError(ERR_ARRET, pszNom);
            return false;
        }
    }
    if (!cl->bRemove()) {
        lib.RaiseError(ERR_SUPPRESSION, pszNom);
        return false;
    }
    return true;
}

bool ServiceDesinstalle(CZNLibrary& lib, const char* pszNom, const char* /*pszMachine*/) {
    return ServiceDesinstalle(lib, pszNom);
}

bool ServiceDemarre(CZNLibrary& lib, const char* pszNom) { return ServiceDemarre(lib, pszNom, ""); }

bool ServiceDemarre(CZNLibrary& lib, const char* pszNom, const char* pszArguments) {
    CAppelService cl(lib, pszNom);
    if (!cl) return false;
    if (cl->bStart(pszArguments)) return true;
    lib.RaiseError(ERR_DEMARRAGE, pszNom);
    return false;
}

bool ServiceDemarre(CZNLibrary& lib, const char* pszNom, const char* pszArguments, const char* /*pszMachine*/) {
    return ServiceDemarre(lib, pszNom, pszArguments);
}

bool ServiceArrete(CZNLibrary& lib, const char* pszNom) { return _bControle(lib, pszNom, 1); }
bool ServiceArrete(CZNLibrary& lib, const char* pszNom, const char*) { return _bControle(lib, pszNom, 1); }
bool ServicePause(CZNLibrary& lib, const char* pszNom) { return _bControle(lib, pszNom, 2); }
bool ServicePause(CZNLibrary& lib, const char* pszNom, const char*) { return _bControle(lib, pszNom, 2); }
bool ServiceRelance(CZNLibrary& lib, const char* pszNom) { return _bControle(lib, pszNom, 3); }
bool ServiceRelance(CZNLibrary& lib, const char* pszNom, const char*) { return _bControle(lib, pszNom, 3); }
bool ServiceActualise(CZNLibrary& lib, const char* pszNom) { return _bControle(lib, pszNom, 6); }
bool ServiceActualise(CZNLibrary& lib, const char* pszNom, const char*) { return _bControle(lib, pszNom, 6); }
bool ServiceControle(CZNLibrary& lib, const char* pszNom, int32_t nCommande) { return _bControle(lib, pszNom, nCommande); }
bool ServiceControle(CZNLibrary& lib, const char* pszNom, int32_t nCommande, const char*) {
    return _bControle(lib, pszNom, nCommande);
}

bool ServiceRedemarre(CZNLibrary& lib, const char* pszNom) {
    CAppelService cl(lib, pszNom);
    if (!cl) return false;
    if (!cl->bStop() || _nAttendEtat(*cl, SERVICE_ARRETE, ATTENTE_ARRET - 1) != SERVICE_ARRETE) {
        lib.RaiseError(ERR_ARRET, pszNom);
        return false;
    }
    if (cl->bStart("")) return true;
    lib.RaiseError(ERR_DEMARRAGE, pszNom);
    return false;
}

bool ServiceRedemarre(CZNLibrary& lib, const char* pszNom, const char*) { return ServiceRedemarre(lib, pszNom); }

int32_t ServiceEtat(CZNLibrary& lib, const char* pszNom) {
    CAppelService cl(lib, pszNom);
    return cl ? cl->eGetStatus() : -1;
}

int32_t ServiceEtat(CZNLibrary& lib, const char* pszNom, const char*) { return ServiceEtat(lib, pszNom); }

// The wanted state only when the last state read is that state: a wait
// that ran out, or no wait at all, gives -1 otherwise.
int32_t ServiceAttendEtat(CZNLibrary& lib, const char* pszNom, int32_t nEtat, int32_t nTimeout) {
    CAppelService cl(lib, pszNom, ERR_ETAT);
    if (!cl) return -1;
    return _nAttendEtat(*cl, nEtat, nTimeout) == nEtat ? nEtat : -1;
}

int32_t ServiceAttendEtat(CZNLibrary& lib, const char* pszNom, int32_t nEtat) {
    return ServiceAttendEtat(lib, pszNom, nEtat, -1);
}

int32_t ServiceAttendEtat(CZNLibrary& lib, const char* pszNom, int32_t nEtat, int32_t nTimeout, const char*) {
    return ServiceAttendEtat(lib, pszNom, nEtat, nTimeout);
}

CZNDSTR ServiceListe(CZNLibrary& /*lib*/) {
    CServiceManager clManager;
    clManager.bInit();
    std::string s;
    for (const std::string& sNom : clManager.ListeScripts()) {
        if (!s.empty()) s += "\r\n";
        CService cl(clManager, sNom);
        s += sNom + "\t" + cl.sGetDisplayName();
    }
    return CZNDSTR(s.data(), static_cast<int>(s.size()));
}

CZNDSTR ServiceListe(CZNLibrary& lib, const char*) { return ServiceListe(lib); }

bool ServiceExiste(CZNLibrary& /*lib*/, const char* pszNom) {
    CServiceManager clManager;
    clManager.bInit();
    std::string sScript;
    if (!CServiceManager::s_bNomScript(pszNom, sScript)) return false;
    for (const std::string& sNom : clManager.ListeScripts())
        if (strcasecmp(sNom.c_str(), sScript.c_str()) == 0) return true;
    return false;
}

bool ServiceExiste(CZNLibrary& lib, const char* pszNom, const char*) { return ServiceExiste(lib, pszNom); }

// Nothing to query or change beyond what the script says.
bool ServiceInfo(CZNLibrary&, const char*) { return false; }
bool ServiceInfo(CZNLibrary&, const char*, const char*) { return false; }
bool ServiceModifie(CZNLibrary&, const char*) { return false; }
bool ServiceModifie(CZNLibrary&, const char*, const char*) { return false; }

}  // namespace sys
