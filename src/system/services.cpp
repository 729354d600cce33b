// The service manager and the services: detection of the distribution,
// script names, scripts written, registered, run and removed.
#include "system/services.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <sstream>

#include "system/lancement.h"

namespace {

std::mutex s_mtxDistribution;
eDistribution s_eDistribution = DIST_INCONNUE;
std::string s_sRacineDetectee;

bool _bExiste(const std::string& s) {
    struct stat st;
    return stat(s.c_str(), &st) == 0;
}

// The whole file, read through a descriptor no launched program inherits.
bool _bLitTout(const std::string& sChemin, std::string& sTexte) {
    sTexte.clear();
    const int nFd = open(sChemin.c_str(), O_RDONLY | O_CLOEXEC);
    if (nFd < 0) return false;
    char szBloc[4096];
    ssize_t n;
    while ((n = read(nFd, szBloc, sizeof szBloc)) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        sTexte.append(szBloc, static_cast<size_t>(n));
    }
    close(nFd);
    return n == 0;
}

// The file's text in lower case, or false.
bool _bLitMinuscules(const std::string& sChemin, std::string& sTexte) {
    if (!_bLitTout(sChemin, sTexte)) return false;
    for (char& c : sTexte) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return true;
}

// The registration and unregistration commands of each distribution.
std::vector<std::string> _Enregistre(eDistribution e, const std::string& sNom) {
    switch (e) {
        case DIST_DEBIAN: return {"update-rc.d", sNom, "defaults"};
        case DIST_REDHAT:
        case DIST_MANDRIVA:
        case DIST_FEDORA: return {"chkconfig", "--add", sNom};
        case DIST_SUSE: return {"insserv", sNom};
        case DIST_GENTOO: return {"rc-update", "add", sNom, "default"};
        default: return {};
    }
}

std::vector<std::string> _Desenregistre(eDistribution e, const std::string& sNom) {
    switch (e) {
        case DIST_DEBIAN: return {"update-rc.d", "-f", sNom, "remove"};
        case DIST_REDHAT:
        case DIST_MANDRIVA:
        case DIST_FEDORA: return {"chkconfig", "--del", sNom};
        case DIST_SUSE: return {"insserv", "-r", sNom};
        case DIST_GENTOO: return {"rc-update", "del", sNom};
        default: return {};
    }
}

}  // namespace

bool SERVICE_bEcritFichier(const std::string& sChemin, const std::string& sTexte, unsigned nMode, bool bRoot) {
    const size_t nSlash = sChemin.rfind('/');
    const std::string sRep = nSlash == std::string::npos ? std::string(".") : sChemin.substr(0, nSlash);
    const std::string sBase = nSlash == std::string::npos ? sChemin : sChemin.substr(nSlash + 1);
    std::random_device clAlea;
    std::string sTemp;
    int nFd = -1;
    for (int nEssai = 0; nEssai < 100 && nFd < 0; ++nEssai) {
        char szSuffixe[16];
        snprintf(szSuffixe, sizeof szSuffixe, ".%08x", static_cast<unsigned>(clAlea()));
        sTemp = sRep + "/." + sBase + szSuffixe;
        nFd = open(sTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (nFd < 0 && errno != EEXIST) return false;
    }
    if (nFd < 0) return false;
    bool bOk = true;
    for (size_t nEcrit = 0; bOk && nEcrit < sTexte.size();) {
        ssize_t n = write(nFd, sTexte.data() + nEcrit, sTexte.size() - nEcrit);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) bOk = false;
        else nEcrit += static_cast<size_t>(n);
    }
    bOk = bOk && fchmod(nFd, nMode) == 0 && (!bRoot || fchown(nFd, 0, 0) == 0) && fsync(nFd) == 0;
    bOk = close(nFd) == 0 && bOk;
    bOk = bOk && rename(sTemp.c_str(), sChemin.c_str()) == 0;
    if (!bOk) unlink(sTemp.c_str());
    return bOk;
}

CServiceManager::CServiceManager() {
    const char* psz = getenv("QV_RACINE_SERVICES");
    if (psz != nullptr && *psz) {
        m_sRacine = psz;
        while (m_sRacine.size() > 1 && m_sRacine.back() == '/') m_sRacine.pop_back();
    }
}

eDistribution CServiceManager::s_eDetecte(const std::string& r) {
    if (_bExiste(r + "/etc/debian_version")) return DIST_DEBIAN;
    if (_bExiste(r + "/etc/mandrake-release") || _bExiste(r + "/etc/mandriva-release")) return DIST_MANDRIVA;
    if (_bExiste(r + "/etc/SuSE-release") || _bExiste(r + "/sbin/SuSEconfig")) return DIST_SUSE;
    if (_bExiste(r + "/etc/gentoo-release")) return DIST_GENTOO;
    if (_bExiste(r + "/etc/fedora-release")) return DIST_FEDORA;
    if (_bExiste(r + "/etc/slackware-release") || _bExiste(r + "/etc/slackware-version")) return DIST_SLACKWARE;
    std::string s;
    if (_bLitMinuscules(r + "/etc/redhat-release", s)) {
        if (s.find("mandrake") != std::string::npos || s.find("mandriva") != std::string::npos) return DIST_MANDRIVA;
        if (s.find("fedora") != std::string::npos) return DIST_FEDORA;
        return DIST_REDHAT;
    }
    if (_bLitMinuscules(r + "/etc/version", s)) {
        if (s.find("mandrake") != std::string::npos || s.find("mandriva") != std::string::npos) return DIST_MANDRIVA;
        if (s.find("fedora") != std::string::npos) return DIST_FEDORA;
        if (s.find("redhat") != std::string::npos) return DIST_REDHAT;
        if (s.find("debian") != std::string::npos) return DIST_DEBIAN;
    }
    return _bExiste(r + "/etc/init.d/function") ? DIST_REDHAT : DIST_DEBIAN;
}

bool CServiceManager::bInit() {
    std::lock_guard<std::mutex> verrou(s_mtxDistribution);
    if (s_eDistribution == DIST_INCONNUE || s_sRacineDetectee != m_sRacine) {
        s_eDistribution = s_eDetecte(m_sRacine);
        s_sRacineDetectee = m_sRacine;
    }
    m_eDistribution = s_eDistribution;
    return true;
}

bool CServiceManager::s_bNomScript(const char* pszNom, std::string& sScript) {
    sScript.clear();
    for (const char* p = pszNom ? pszNom : ""; *p; ++p) {
        const char c = *p;
        if (c == ' ') sScript += '_';
        else if (c == '\t') sScript += "__";
        else if (c == '/' || c == '.') sScript += '-';
        else sScript += c;
    }
    if (sScript.empty() || sScript[0] == '-') return false;
    for (char c : sScript)
        if (!isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '+' && c != '-') return false;
    return true;
}

std::string CServiceManager::sCheminScript(const std::string& sNomScript) const {
    return m_eDistribution == DIST_SLACKWARE ? "/etc/rc.d/rc." + sNomScript : "/etc/init.d/" + sNomScript;
}

bool CServiceManager::bGetService(const char* pszNom, std::string& sScript) const {
    return s_bNomScript(pszNom, sScript) && _bExiste(sFichier(sCheminScript(sScript)));
}

std::vector<std::string> CServiceManager::ListeScripts() const {
    std::vector<std::string> tab;
    DIR* pDir = opendir(sFichier("/etc/init.d/").c_str());
    if (pDir == nullptr) return tab;
    while (const dirent* pst = readdir(pDir)) {
        if (strcmp(pst->d_name, ".") == 0 || strcmp(pst->d_name, "..") == 0) continue;
        tab.emplace_back(pst->d_name);
    }
    closedir(pDir);
    return tab;
}

int CServiceManager::s_nExecute(const std::vector<std::string>& tabArgv, bool bSansErreurs) {
    if (tabArgv.empty()) return -1;
    posix_spawn_file_actions_t stActions;
    posix_spawn_file_actions_init(&stActions);
    posix_spawn_file_actions_addopen(&stActions, 1, "/dev/null", O_WRONLY, 0);
    if (bSansErreurs) posix_spawn_file_actions_addopen(&stActions, 2, "/dev/null", O_WRONLY, 0);
    // Our wait reads the child's end: the process-wide reaper stands aside.
    CAttenteEnfant clAttente;
    pid_t nPid = 0;
    const int nErreur = PROC_nSpawn(tabArgv, true, &stActions, &nPid);
    posix_spawn_file_actions_destroy(&stActions);
    if (nErreur != 0) {
        errno = nErreur;
        return -1;
    }
    int nCode = -1;
    if (WaitPid(nPid, PROC_ATTENTE_INFINIE, &nCode) != nPid) return -1;
    return nCode;
}

bool CServiceManager::_bAjouteBloc(const std::string& sFichierRc, const std::string& sBloc) const {
    const std::string sChemin = sFichier(sFichierRc);
    std::string sTexte;
    struct stat st {};
    unsigned nMode = 0755;
    if (_bLitTout(sChemin, sTexte) && stat(sChemin.c_str(), &st) == 0) nMode = st.st_mode & 07777;
    if (sTexte.find(sBloc) != std::string::npos) return true;
    if (!sTexte.empty() && sTexte.back() != '\n') sTexte += '\n';
    return SERVICE_bEcritFichier(sChemin, sTexte + sBloc, nMode, false);
}

bool CServiceManager::bInstall(const std::string& sNomScript, const char* pszAffichage, const char* pszLigneCommande,
                               bool bEnregistre) {
    std::string sTexte;
    if (!s_bTexteScript(m_eDistribution, sNomScript, pszAffichage, pszLigneCommande, sTexte)) return false;
    const std::string sScript = sCheminScript(sNomScript);
    if (!SERVICE_bEcritFichier(sFichier(sScript), sTexte, 0755, true)) return false;
    if (!bEnregistre) return true;
    if (m_eDistribution == DIST_SLACKWARE) {
        const std::string sTest = "if [ -x " + sScript + " ]; then\n    " + sScript;
        return _bAjouteBloc("/etc/rc.d/rc.M", "\n# Start " + sNomScript + "\n" + sTest + " start\nfi\n") &&
               _bAjouteBloc("/etc/rc.d/rc.K", "\n# Stop " + sNomScript + "\n" + sTest + " stop\nfi\n");
    }
    return s_nExecute(_Enregistre(m_eDistribution, sNomScript), false) == 0;
}

void CService::_LitChamps() {
    if (m_bChampsLus) return;
    m_bChampsLus = true;
    std::string sTexte;
    _bLitTout(m_clManager.sFichier(m_clManager.sCheminScript(m_sNom)), sTexte);
    std::istringstream f(sTexte);
    std::string sLigne;
    bool bNom = false, bProgramme = false;
    auto fnChamp = [&](const char* pszMarque, std::string& sValeur, bool& bTrouve) {
        if (bTrouve) return;
        const size_t n = sLigne.find(pszMarque);
        if (n == std::string::npos) return;
        const size_t nDebut = n + strlen(pszMarque);
        const size_t nFin = sLigne.find('"', nDebut);
        if (nFin == std::string::npos) return;
        sValeur = sLigne.substr(nDebut, nFin - nDebut);
        bTrouve = true;
    };
    while (std::getline(f, sLigne) && !(bNom && bProgramme)) {
        fnChamp("Name=\"", m_sAffichage, bNom);
        fnChamp("Program=\"", m_sProgramme, bProgramme);
    }
    if (!bNom) m_sAffichage = m_sNom;
}

const std::string& CService::sGetDisplayName() {
    _LitChamps();
    return m_sAffichage;
}

const std::string& CService::sBinaryPathName() {
    _LitChamps();
    return m_sProgramme;
}

bool CService::bStart(const char* pszArguments) {
    std::vector<std::string> tab = {m_clManager.sFichier(m_clManager.sCheminScript(m_sNom)), "start"};
    for (std::string& s : PROC_DecoupeArguments(pszArguments)) tab.push_back(std::move(s));
    return CServiceManager::s_nExecute(tab, false) == 0;
}

bool CService::bStop() {
    return CServiceManager::s_nExecute({m_clManager.sFichier(m_clManager.sCheminScript(m_sNom)), "stop"}, true) == 0;
}

int CService::eGetStatus() {
    switch (CServiceManager::s_nExecute({m_clManager.sFichier(m_clManager.sCheminScript(m_sNom)), "status"}, false)) {
        case 0: return SERVICE_DEMARRE;
        case 1: return SERVICE_ETAT_8;
        default: return SERVICE_ARRETE;
    }
}

bool CService::bSendControlCommand(int nCommande) {
    if (nCommande == 1) return bStop();
    if (nCommande == 6)
        return CServiceManager::s_nExecute({m_clManager.sFichier(m_clManager.sCheminScript(m_sNom)), "reload"}, true) == 0;
    return false;
}

bool CService::bRemove() {
    const std::string sScript = m_clManager.sFichier(m_clManager.sCheminScript(m_sNom));
    const eDistribution e = m_clManager.eGetDistribution();
    auto fnEfface = [&] { return unlink(sScript.c_str()) == 0 || errno == ENOENT; };
    if (e == DIST_SLACKWARE) return fnEfface();
    if (e == DIST_DEBIAN) {
        // The tool refuses to remove the links of a script that still exists.
        fnEfface();
        return CServiceManager::s_nExecute(_Desenregistre(e, m_sNom), false) == 0;
    }
    CServiceManager::s_nExecute(_Desenregistre(e, m_sNom), false);
    return fnEfface();
}
