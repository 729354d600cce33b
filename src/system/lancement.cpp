// Launching programs and waiting for them, without a shell and without the
// process's alarm timer.
#include "system/lancement.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace {

bool _bBlanc(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// Leaves children alone: the launch that installed it waits for its own.
void ChildHandlerDontWait(int) {}

int64_t _nMillisecondes() {
    timespec st{};
    clock_gettime(CLOCK_MONOTONIC, &st);
    return int64_t(st.tv_sec) * 1000 + st.tv_nsec / 1000000;
}

}  // namespace

STLigneCommande PROC_DecoupeLigne(const char* pszLigne) {
    STLigneCommande st;
    if (pszLigne == nullptr) return st;
    const char* p = pszLigne;
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '"') {
        const char* pFin = strchr(p + 1, '"');
        if (pFin == nullptr) {   // no closing quote: the rest is the program
            st.sProgramme.assign(p + 1);
            return st;
        }
        st.sProgramme.assign(p + 1, pFin);
        p = pFin + 1;
        if (*p == ' ') ++p;
    } else {
        const char* pFin = strchr(p, ' ');
        if (pFin == nullptr) {
            st.sProgramme.assign(p);
            return st;
        }
        st.sProgramme.assign(p, pFin);
        p = pFin + 1;
    }
    st.sArguments.assign(p);
    return st;
}

std::vector<std::string> PROC_DecoupeArguments(const char* pszArguments) {
    std::vector<std::string> tab;
    if (pszArguments == nullptr) return tab;
    std::string sMot;
    bool bGuillemets = false;
    for (const char* p = pszArguments; *p; ++p) {
        if (*p == '\\' && p[1] == '"') {
            sMot += '"';
            ++p;
        } else if (*p == '"') {
            bGuillemets = !bGuillemets;
        } else if (!bGuillemets && _bBlanc(*p)) {
            if (!sMot.empty()) tab.push_back(std::move(sMot));
            sMot.clear();
        } else {
            sMot += *p;
        }
    }
    if (!sMot.empty()) tab.push_back(std::move(sMot));
    return tab;
}

int PROC_nCodeFin(int nStatut) {
    if (WIFEXITED(nStatut)) return WEXITSTATUS(nStatut);
    if (WIFSIGNALED(nStatut)) return 128 + WTERMSIG(nStatut);
    return -1;
}

int PROC_nSpawn(const std::vector<std::string>& tabArgv, bool bChemin, const posix_spawn_file_actions_t* pstActions,
                pid_t* pPid) {
    if (tabArgv.empty()) return ENOENT;
    std::vector<std::string> tabMots(tabArgv);
    std::vector<char*> tab;
    tab.reserve(tabMots.size() + 1);
    for (std::string& s : tabMots) tab.push_back(s.data());
    tab.push_back(nullptr);
    posix_spawnattr_t stAttr;
    if (int n = posix_spawnattr_init(&stAttr); n != 0) return n;
    sigset_t stVide, stDefaut;
    sigemptyset(&stVide);
    sigemptyset(&stDefaut);
    for (int nSig : {SIGPIPE, SIGCHLD, SIGALRM, SIGINT, SIGQUIT, SIGTERM, SIGHUP}) sigaddset(&stDefaut, nSig);
    posix_spawnattr_setsigmask(&stAttr, &stVide);
    posix_spawnattr_setsigdefault(&stAttr, &stDefaut);
    posix_spawnattr_setflags(&stAttr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    // The C library's spawn hands back the error of an exec that failed
    // (the child never runs the program), so a missing or unrunnable program
    // is reported here and never as a child's exit status.
    const int n = bChemin && strchr(tab[0], '/') == nullptr
                      ? posix_spawnp(pPid, tab[0], pstActions, &stAttr, tab.data(), environ)
                      : posix_spawn(pPid, tab[0], pstActions, &stAttr, tab.data(), environ);
    posix_spawnattr_destroy(&stAttr);
    return n;
}

bool CreateProcess(const char* pszProgramme, const char* pszArguments, pid_t* pPid, bool* pbEnCours, int* pnCode) {
    if (pPid) *pPid = 0;
    if (pbEnCours) *pbEnCours = false;
    if (pnCode) *pnCode = 0;
    // The whole vector exists before the child does: the child only executes.
    std::vector<std::string> tabMots = PROC_DecoupeArguments(pszArguments);
    if (pszProgramme != nullptr && *pszProgramme) tabMots.insert(tabMots.begin(), pszProgramme);
    if (tabMots.empty()) {
        errno = ENOENT;
        return false;
    }
    pid_t nPid = 0;
    if (int nErreur = PROC_nSpawn(tabMots, false, nullptr, &nPid); nErreur != 0) {
        errno = nErreur;
        return false;
    }
    if (pPid) *pPid = nPid;
    if (pbEnCours) *pbEnCours = true;
    return true;
}

pid_t WaitPid(pid_t nPid, uint32_t nTimeoutMs, int* pnCode) {
    if (pnCode) *pnCode = 0;
    if (nPid <= 0) {
        errno = ECHILD;
        return -1;
    }
    int nStatut = 0;
    pid_t n;
    if (nTimeoutMs == PROC_ATTENTE_INFINIE) {
        while ((n = waitpid(nPid, &nStatut, 0)) < 0 && errno == EINTR) {
        }
    } else {
        // Polling in short sleeps: an alarm would take the host's timer.
        const int64_t nFin = _nMillisecondes() + nTimeoutMs;
        for (;;) {
            n = waitpid(nPid, &nStatut, WNOHANG);
            if (n < 0 && errno == EINTR) continue;
            if (n != 0) break;
            int64_t nReste = nFin - _nMillisecondes();
            if (nReste <= 0) break;
            timespec st{0, static_cast<long>(nReste < 10 ? nReste : 10) * 1000000L};
            nanosleep(&st, nullptr);
        }
    }
    if (n > 0 && pnCode) *pnCode = PROC_nCodeFin(nStatut);
    return n;
}

CAttenteEnfant::CAttenteEnfant() {
    struct sigaction st {};
    sigemptyset(&st.sa_mask);
    st.sa_handler = ChildHandlerDontWait;
    st.sa_flags = SA_RESTART | SA_NOCLDSTOP;
    m_bInstalle = sigaction(SIGCHLD, &st, &m_stAncienne) == 0;
}

CAttenteEnfant::~CAttenteEnfant() {
    if (m_bInstalle) sigaction(SIGCHLD, &m_stAncienne, nullptr);
}

std::string GetModuleFileName() {
    std::string s(256, '\0');
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", s.data(), s.size());
        if (n < 0) break;
        if (static_cast<size_t>(n) < s.size()) {
            s.resize(static_cast<size_t>(n));
            return s;
        }
        if (s.size() > (1u << 20)) break;
        s.resize(s.size() * 2);
    }
    // The first mapped file is the executable.
    int nFd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (nFd < 0) return std::string();
    std::string sLigne;
    char c;
    ssize_t n;
    while ((n = read(nFd, &c, 1)) == 1 && c != '\n') sLigne += c;
    close(nFd);
    size_t nSlash = sLigne.find('/');
    return nSlash == std::string::npos ? std::string() : sLigne.substr(nSlash);
}
