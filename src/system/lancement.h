// The process layer under the launch functions: a command line split into
// a program and its argument words, a launch that knows whether the program
// was executed, and waits that read how a child ended.
//
// A launch never goes through a shell: the argument vector is built before
// the child exists and handed to the program as it is, so that no caller
// text is ever read as a command. A program that cannot be executed is a
// failure with its system error, never a child that "ended with 255".
#pragma once
#include <signal.h>
#include <spawn.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

// Programs are launched from a command line: the first word is the program
// (taken whole, without its quotes, when it opens with a double quote), the
// rest its arguments. Leading blanks are skipped.
struct STLigneCommande {
    std::string sProgramme;
    std::string sArguments;
};
STLigneCommande PROC_DecoupeLigne(const char* pszLigne);

// Argument words: white space separates them; a double quote not preceded
// by a backslash opens or closes a quoted word (the quotes go), a backslash
// before a double quote gives the quote itself; empty words are dropped.
std::vector<std::string> PROC_DecoupeArguments(const char* pszArguments);

// How a child ended, as one code: its exit status, or 128 + the signal that
// killed it (as shells report it), so that a killed child never reads as a
// success.
int PROC_nCodeFin(int nStatut);

// Starts the argument vector's program (looked up on PATH when bChemin and
// the name holds no "/") with no blocked signal and the usual actions for
// the signals a host commonly ignores or catches, the file actions given
// (or none). 0 with the child in *pPid, or the error of the spawn, an exec
// that failed included.
int PROC_nSpawn(const std::vector<std::string>& tabArgv, bool bChemin, const posix_spawn_file_actions_t* pstActions,
                pid_t* pPid);

// Launches the program with the argument words and the current environment;
// the path is used as given, PATH is not searched. With no program the first
// word is the program. On success *pPid is the child and *pbEnCours true
// (the launch does not wait); on failure false with errno set (an exec that
// failed reports its own error).
bool CreateProcess(const char* pszProgramme, const char* pszArguments, pid_t* pPid, bool* pbEnCours, int* pnCode);

// Waits for the child: nTimeoutMs = PROC_ATTENTE_INFINIE waits for its end,
// any other value polls for at most that long. Returns the child when it
// ended (its code in *pnCode, PROC_nCodeFin), 0 while it runs, -1 when it is
// not ours to wait for (errno set). Never touches the process's alarm timer.
constexpr uint32_t PROC_ATTENTE_INFINIE = 0xFFFFFFFFu;
pid_t WaitPid(pid_t nPid, uint32_t nTimeoutMs, int* pnCode);

// While alive, the process-wide SIGCHLD handler that reaps launched
// children is replaced by one that leaves them be, so that a wait of ours
// reads its child's end; the previous action comes back in every case.
class CAttenteEnfant {
public:
    CAttenteEnfant();
    ~CAttenteEnfant();
    CAttenteEnfant(const CAttenteEnfant&) = delete;
    CAttenteEnfant& operator=(const CAttenteEnfant&) = delete;

private:
    struct sigaction m_stAncienne {};
    bool m_bInstalle = false;
};

// The path of the running executable ("/proc/self/exe", else the first path
// of "/proc/self/maps"); empty when neither can be read. Never cut.
std::string GetModuleFileName();
