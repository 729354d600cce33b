// The five init-script templates and the filling of their placeholders.
//
// Every value the caller gave enters a script's commands as a single-quoted
// shell word, set once at the top (PROGRAM, NAME, DISPLAY_NAME) and used
// quoted; the arguments enter as single-quoted words. The display name and
// the program path also appear raw in comment lines (the marker line that
// ServiceListe reads back, the headers); CR, LF and double quotes are
// refused in them, so a comment stays one comment line. The placeholders are
// filled in one pass, so a value that looks like a placeholder stays text.
#include <cstring>
#include <string>

#include "system/lancement.h"
#include "system/services.h"

namespace {

#define QV_MARQUES                                        \
    "# Do not remove\n"                                   \
    "# Program=\"%%%PROGRAM_TEXT%%%\" Name=\"%%%DISPLAY_TEXT%%%\" \n"
#define QV_VARIABLES                  \
    "PROGRAM=%%%PROGRAM%%%\n"         \
    "NAME=%%%LOCK_FILE%%%\n"          \
    "DISPLAY_NAME=%%%DISPLAY_NAME%%%\n" \
    "PIDFILE=\"/var/run/$NAME.pid\"\n"
// The boot block the registration tools read, then the marks and values.
#define QV_BLOC_LSB                                  \
    "### BEGIN INIT INFO\n"                           \
    "# Provides:          %%%SCRIPT%%%\n"             \
    "# Required-Start:    $network\n"                 \
    "# Required-Stop:     $network\n"                 \
    "# Default-Start:     3 5\n"                      \
    "# Default-Stop:      0 1 2 4 6\n"                \
    "# Description:       %%%DISPLAY_TEXT%%%\n"       \
    "### END INIT INFO\n" QV_MARQUES "\n" QV_VARIABLES
// Without its program the service does nothing and is not running.
#define QV_SANS_PROGRAMME                         \
    "if [ ! -x \"$PROGRAM\" ]; then\n"            \
    "    [ \"$1\" = status ] && exit 3\n"         \
    "    exit 0\n"                                \
    "fi\n"
// The process of the service: its pid file, else the program's own.
#define QV_RECHERCHE_PID                                            \
    "# recherche le PID du serveur\n"                               \
    "findpid() {\n"                                                 \
    "    PID=\"\"\n"                                                \
    "    [ -f \"$PIDFILE\" ] && PID=$(cat \"$PIDFILE\")\n"          \
    "    [ -z \"$PID\" ] && PID=$(pidof -s \"$PROGRAM\")\n"         \
    "}\n"
// TERM, then up to 0.1 s, 1 s and 3 s more before KILL.
#define QV_ARRET(SUCCES, ECHEC)                                                   \
    "# arrete le serveur\n"                                                       \
    "stopserver() {\n"                                                            \
    "    findpid\n"                                                               \
    "    if [ -n \"$PID\" ]; then\n"                                              \
    "        kill -TERM \"$PID\" 2>/dev/null\n"                                   \
    "        sleep 0.1\n"                                                         \
    "        kill -0 \"$PID\" 2>/dev/null && sleep 1\n"                           \
    "        kill -0 \"$PID\" 2>/dev/null && sleep 3\n"                           \
    "        kill -0 \"$PID\" 2>/dev/null && kill -KILL \"$PID\" 2>/dev/null\n"   \
    "    fi\n"                                                                    \
    "    rm -f \"$PIDFILE\" \"/var/lock/subsys/$NAME\"\n"                         \
    "    if [ -n \"$PID\" ] && kill -0 \"$PID\" 2>/dev/null; then\n"              \
    "        " ECHEC "\n"                                                         \
    "        return 1\n"                                                          \
    "    fi\n"                                                                    \
    "    " SUCCES "\n"                                                            \
    "    return 0\n"                                                              \
    "}\n"

const char k_szDebian[] =
    "#!/bin/sh\n"
    QV_BLOC_LSB
    "\n"
    QV_SANS_PROGRAMME
    "\n"
    "case \"$1\" in\n"
    "start)\n"
    "    start-stop-daemon -S --oknodo -b -m -p \"$PIDFILE\" -x \"$PROGRAM\" -- %%%ARG%%% \"$NAME\"\n"
    "    ;;\n"
    "stop)\n"
    "    start-stop-daemon -K --oknodo -R 5 -p \"$PIDFILE\"\n"
    "    rm -f \"$PIDFILE\"\n"
    "    ;;\n"
    "status)\n"
    "    if [ -f \"$PIDFILE\" ]; then\n"
    "        kill -0 \"$(cat \"$PIDFILE\")\" 2>/dev/null && exit 0\n"
    "        exit 1\n"
    "    fi\n"
    "    exit 3\n"
    "    ;;\n"
    "restart)\n"
    "    \"$0\" stop\n"
    "    sleep 2\n"
    "    \"$0\" start\n"
    "    ;;\n"
    "*)\n"
    "    echo \"Usage: $0 {start|stop|status|restart}\"\n"
    "    exit 1\n"
    "    ;;\n"
    "esac\n"
    "exit 0\n";

// The program is started here rather than through the distribution's
// daemon helper, which would read the command through a shell once more.
const char k_szChkconfig[] =
    "#!/bin/sh\n"
    "# Startup script for a Quillbase server\n"
    "#\n"
    "# chkconfig: 2345 99 0\n"
    "# description: %%%DISPLAY_TEXT%%%\n"
    "# description[fr]: %%%DISPLAY_TEXT%%%\n"
    "# processname: %%%SCRIPT%%%\n"
    "# pidfile: /var/run/%%%SCRIPT%%%.pid\n" QV_MARQUES "\n" QV_VARIABLES
    "\n"
    ". /etc/rc.d/init.d/functions\n"
    ". /etc/sysconfig/network\n"
    "[ \"${NETWORKING}\" = \"no\" ] && exit 0\n"
    QV_SANS_PROGRAMME
    "\n" QV_RECHERCHE_PID "\n" QV_ARRET(":", ":")
    "\n"
    "case \"$1\" in\n"
    "start)\n"
    "    findpid\n"
    "    if [ -n \"$PID\" ] && kill -0 \"$PID\" 2>/dev/null; then exit 0; fi\n"
    "    \"$PROGRAM\" %%%ARG%%% \"$NAME\" &\n"
    "    echo $! > \"$PIDFILE\"\n"
    "    touch \"/var/lock/subsys/$NAME\"\n"
    "    ;;\n"
    "stop)\n"
    "    stopserver\n"
    "    ;;\n"
    "status)\n"
    "    findpid\n"
    "    if [ -n \"$PID\" ] && kill -0 \"$PID\" 2>/dev/null; then exit 0; fi\n"
    "    [ -f \"$PIDFILE\" ] && exit 1\n"
    "    exit 3\n"
    "    ;;\n"
    "restart)\n"
    "    stopserver\n"
    "    sleep 2\n"
    "    \"$0\" start\n"
    "    ;;\n"
    "*)\n"
    "    echo \"Usage: $0 {start|stop|status|restart}\"\n"
    "    exit 1\n"
    "    ;;\n"
    "esac\n"
    "exit 0\n";

const char k_szLSB[] =
    "#!/bin/sh\n"
    "# Startup script for a Quillbase server\n"
    QV_BLOC_LSB
    "\n"
    "if [ ! -x \"$PROGRAM\" ]; then\n"
    "    echo \"$PROGRAM not installed\"\n"
    "    [ \"$1\" = \"stop\" ] && exit 0\n"
    "    exit 5\n"
    "fi\n"
    "\n"
    ". /etc/rc.status\n"
    "rc_reset\n"
    "\n"
    "case \"$1\" in\n"
    "start)\n"
    "    echo -n \"Starting $DISPLAY_NAME \"\n"
    "    if ! checkproc -p \"$PIDFILE\" \"$PROGRAM\"; then\n"
    "        startproc -p \"$PIDFILE\" \"$PROGRAM\" %%%ARG%%% \"$NAME\"\n"
    "    fi\n"
    "    rc_status -v\n"
    "    ;;\n"
    "stop)\n"
    "    echo -n \"Shutting down $DISPLAY_NAME \"\n"
    "    killproc -p \"$PIDFILE\" -TERM \"$PROGRAM\"\n"
    "    rc_status -v\n"
    "    ;;\n"
    "try-restart|condrestart)\n"
    "    if \"$0\" status >/dev/null; then\n"
    "        \"$0\" restart\n"
    "    else\n"
    "        rc_reset\n"
    "    fi\n"
    "    rc_status\n"
    "    ;;\n"
    "restart|force-reload|reload)\n"
    "    \"$0\" stop\n"
    "    sleep 2\n"
    "    \"$0\" start\n"
    "    rc_status\n"
    "    ;;\n"
    "status)\n"
    "    echo -n \"Checking for $DISPLAY_NAME \"\n"
    "    checkproc -p \"$PIDFILE\" \"$PROGRAM\"\n"
    "    rc_status -v\n"
    "    ;;\n"
    "*)\n"
    "    echo \"Usage: $0 {start|stop|status|try-restart|restart|force-reload|reload}\"\n"
    "    exit 1\n"
    "    ;;\n"
    "esac\n"
    "rc_exit\n";

const char k_szRunscript[] =
    "#!/sbin/runscript\n" QV_MARQUES "\n" QV_VARIABLES
    "\n"
    "depend() {\n"
    "    need net\n"
    "}\n"
    "\n"
    "start() {\n"
    "    ebegin \"D\xE9marrage : $DISPLAY_NAME\"\n"
    "    start-stop-daemon --start --quiet --background --make-pidfile --pidfile \"$PIDFILE\" --exec \"$PROGRAM\" -- %%%ARG%%% \"$NAME\"\n"
    "    eend $?\n"
    "}\n"
    "\n"
    "stop() {\n"
    "    ebegin \"Arr\xEAt : $DISPLAY_NAME\"\n"
    "    start-stop-daemon --stop --quiet --retry 5 --pidfile \"$PIDFILE\"\n"
    "    eend $?\n"
    "}\n"
    "\n"
    "restart() {\n"
    "    stop\n"
    "    sleep 2\n"
    "    start\n"
    "}\n";

const char k_szSlackware[] =
    "#!/bin/sh\n"
    "# Start/stop/restart the %%%DISPLAY_TEXT%%%\n" QV_MARQUES "\n" QV_VARIABLES
    "\n" QV_RECHERCHE_PID "\n" QV_ARRET("echo \"success: $DISPLAY_NAME stopped\"", "echo \"failure: $DISPLAY_NAME still running\"")
    "\n"
    "startserver() {\n"
    "    findpid\n"
    "    if [ -n \"$PID\" ] && kill -0 \"$PID\" 2>/dev/null; then\n"
    "        echo \"$DISPLAY_NAME already running\"\n"
    "        return 0\n"
    "    fi\n"
    "    [ -x \"$PROGRAM\" ] || return 1\n"
    "    \"$PROGRAM\" %%%ARG%%% \"$NAME\" &\n"
    "    echo $! > \"$PIDFILE\"\n"
    "}\n"
    "\n"
    "case \"$1\" in\n"
    "start)\n"
    "    startserver\n"
    "    ;;\n"
    "stop)\n"
    "    stopserver\n"
    "    ;;\n"
    "restart)\n"
    "    stopserver\n"
    "    sleep 2\n"
    "    startserver\n"
    "    ;;\n"
    "*)\n"
    "    echo \"Usage: $0 {start|stop|restart}\"\n"
    "    exit 1\n"
    "    ;;\n"
    "esac\n";

#undef QV_MARQUES
#undef QV_VARIABLES
#undef QV_RECHERCHE_PID
#undef QV_SANS_PROGRAMME
#undef QV_BLOC_LSB
#undef QV_ARRET

const char* _pszModele(eDistribution e) {
    switch (e) {
        case DIST_DEBIAN: return k_szDebian;
        case DIST_REDHAT:
        case DIST_MANDRIVA:
        case DIST_FEDORA: return k_szChkconfig;
        case DIST_SUSE: return k_szLSB;
        case DIST_GENTOO: return k_szRunscript;
        case DIST_SLACKWARE: return k_szSlackware;
        default: return nullptr;
    }
}

// One shell word, whatever it holds: single quotes, each quote inside
// written as '\''.
std::string _Mot(const std::string& s) {
    std::string r = "'";
    for (char c : s) {
        if (c == '\'')
            r += "'\\''";
        else
            r += c;
    }
    return r + "'";
}

// A text that may stand raw in a comment line.
bool _bCommentable(const std::string& s) { return s.find_first_of("\r\n\"") == std::string::npos; }

}  // namespace

bool CServiceManager::s_bTexteScript(eDistribution e, const std::string& sNomScript, const char* pszAffichage,
                                     const char* pszLigneCommande, std::string& sTexte) {
    sTexte.clear();
    const char* pszModele = _pszModele(e);
    std::string sVerifie;
    if (pszModele == nullptr || !s_bNomScript(sNomScript.c_str(), sVerifie) || sVerifie != sNomScript) return false;
    const std::string sAffichage = pszAffichage ? pszAffichage : "";
    const STLigneCommande stLigne = PROC_DecoupeLigne(pszLigneCommande);
    if (!_bCommentable(sAffichage) || !_bCommentable(stLigne.sProgramme) ||
        (pszLigneCommande != nullptr && strpbrk(pszLigneCommande, "\r\n") != nullptr))
        return false;
    std::string sArgs;
    for (const std::string& sMot : PROC_DecoupeArguments(stLigne.sArguments.c_str())) {
        if (!sArgs.empty()) sArgs += ' ';
        sArgs += _Mot(sMot);
    }
    const struct {
        const char* pszMarque;
        std::string sValeur;
    } tab[] = {
        {"%%%PROGRAM%%%", _Mot(stLigne.sProgramme)}, {"%%%ARG%%%", sArgs},
        {"%%%DISPLAY_NAME%%%", _Mot(sAffichage)},    {"%%%LOCK_FILE%%%", _Mot(sNomScript)},
        {"%%%PROGRAM_TEXT%%%", stLigne.sProgramme},  {"%%%DISPLAY_TEXT%%%", sAffichage},
        {"%%%SCRIPT%%%", sNomScript},
    };
    for (const char* p = pszModele; *p;) {
        bool bRemplace = false;
        if (p[0] == '%' && p[1] == '%' && p[2] == '%') {
            for (const auto& st : tab) {
                const size_t n = strlen(st.pszMarque);
                if (strncmp(p, st.pszMarque, n) == 0) {
                    sTexte += st.sValeur;
                    p += n;
                    bRemplace = true;
                    break;
                }
            }
        }
        if (!bRemplace) sTexte += *p++;
    }
    return true;
}
