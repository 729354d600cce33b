// System services as init scripts: the distribution's conventions, the
// scripts generated from five templates, and the scripts run to start,
// stop, query and reload a service.
//
// Nothing a caller gives reaches a shell: service names become script names
// of letters, digits, "_", "+" and "-" only (never beginning with "-"),
// scripts and registration tools run through an argument vector (the tools
// found on PATH), and every value written into a generated script is a
// single-quoted shell word. Scripts and the rc files they are hooked into
// are written whole to a new temporary file and renamed over the old one.
//
// QV_RACINE_SERVICES, when set, names a directory that stands for "/" for
// every file the services read or write (tests run against one, with stub
// registration tools on PATH); the scripts' own text keeps the real paths.
#pragma once
#include <dirent.h>

#include <string>
#include <vector>

// Distributions, in their detected codes.
enum eDistribution {
    DIST_DEBIAN = 0,
    DIST_REDHAT = 1,
    DIST_MANDRIVA = 2,
    DIST_FEDORA = 3,
    DIST_SUSE = 4,
    DIST_GENTOO = 5,
    DIST_SLACKWARE = 6,
    DIST_INCONNUE = 7,
};

// Service states.
enum eEtatService { SERVICE_ARRETE = 1, SERVICE_DEMARRE = 4, SERVICE_ETAT_8 = 8 };

class CServiceManager;

class CService {
public:
    CService(CServiceManager& clManager, std::string sNomScript) : m_clManager(clManager), m_sNom(std::move(sNomScript)) {}

    const char* pszGetName() const { return m_sNom.c_str(); }
    // Read from the script's marker line on first use; the display name is
    // the script name when the script names none.
    const std::string& sGetDisplayName();
    const std::string& sBinaryPathName();

    // The script run with start (and the argument words), stop, status,
    // reload; true on exit status 0.
    bool bStart(const char* pszArguments);
    bool bStop();
    // 4 (status exit 0), 8 (exit 1), 1 otherwise.
    int eGetStatus();
    // 1 stop, 6 reload; any other command fails.
    bool bSendControlCommand(int nCommande);
    // Unregisters and deletes the script; false when the last step failed
    // for another reason than a missing file.
    bool bRemove();

    static constexpr int nGetStartType() { return 2; }
    static constexpr int nGetServiceType() { return 16; }
    static const char* pszGetStartName() { return "root"; }

private:
    void _LitChamps();

    CServiceManager& m_clManager;
    std::string m_sNom;
    std::string m_sProgramme, m_sAffichage;
    bool m_bChampsLus = false;
};

class CServiceManager {
public:
    CServiceManager();

    // Detects the distribution on first use (once per root).
    bool bInit();
    eDistribution eGetDistribution() const { return m_eDistribution; }

    // Script name of a service name (" " -> "_", tab -> "__", "/" and "."
    // -> "-"); false when the result holds anything else than letters,
    // digits, "_", "+" and "-", begins with "-" or is empty.
    static bool s_bNomScript(const char* pszNom, std::string& sScript);
    // The script's path on the system, and where it lies under the root.
    std::string sCheminScript(const std::string& sNomScript) const;
    std::string sFichier(const std::string& sCheminSysteme) const { return m_sRacine + sCheminSysteme; }

    // The service whose script exists, or false.
    bool bGetService(const char* pszNom, std::string& sScript) const;
    // The entries of the init directory ("." and ".." aside), in directory
    // order.
    std::vector<std::string> ListeScripts() const;

    // Writes the script of the distribution's template and, when
    // bEnregistre, registers it for boot. False when a value is refused
    // (name, CR, LF or double quote in the display name or program) or the
    // script cannot be written.
    bool bInstall(const std::string& sNomScript, const char* pszAffichage, const char* pszLigneCommande, bool bEnregistre);

    // Runs a program with its argument vector, output discarded (and error
    // output when bSansErreurs); the exit status, -1 when it could not run.
    // A program name without "/" is looked up on PATH.
    static int s_nExecute(const std::vector<std::string>& tabArgv, bool bSansErreurs);

    // The script text for a distribution (exposed for tests).
    static bool s_bTexteScript(eDistribution e, const std::string& sNomScript, const char* pszAffichage,
                               const char* pszLigneCommande, std::string& sTexte);

private:
    static eDistribution s_eDetecte(const std::string& sRacine);
    bool _bAjouteBloc(const std::string& sFichierRc, const std::string& sBloc) const;

    std::string m_sRacine;
    eDistribution m_eDistribution = DIST_INCONNUE;
};

// Writes a whole file through a new temporary file beside it (never through
// a link), with this mode and owner, flushed, then renamed over the path.
bool SERVICE_bEcritFichier(const std::string& sChemin, const std::string& sTexte, unsigned nMode, bool bRoot);
