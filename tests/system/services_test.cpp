// Services against a root of their own (a temporary directory standing for
// "/") with stub tools first on PATH, so that no test touches the machine's
// boot configuration: script names, distribution detection, the generated
// scripts (syntax, and hostile names and command lines that stay words),
// installation, registration and the rc files.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/fichiers.h"
#include "common/temp_dir.h"
#include "qvstd/xerror.h"
#include "runtime/znlibrary.h"
#include "system/functions.h"
#include "system/services.h"

extern "C" void* pQueryProxy(int);

namespace {

void Repertoires(const std::string& sRacine, std::initializer_list<const char*> tab) {
    mkdir(sRacine.c_str(), 0755);
    for (const char* psz : tab) {
        std::string s = sRacine;
        std::stringstream o(psz);
        std::string sPart;
        while (std::getline(o, sPart, '/')) {
            if (sPart.empty()) continue;
            s += "/" + sPart;
            mkdir(s.c_str(), 0755);
        }
    }
}

// Runs a program with its argument vector (no shell), output to a file;
// its exit status.
int nLance(const std::vector<std::string>& tab, const std::string& sSortie = "/dev/null") {
    pid_t n = fork();
    if (n == 0) {
        std::vector<char*> tabArgv;
        for (const std::string& s : tab) tabArgv.push_back(const_cast<char*>(s.c_str()));
        tabArgv.push_back(nullptr);
        FILE* f = freopen(sSortie.c_str(), "w", stdout);
        if (f == nullptr) _exit(126);
        execv(tabArgv[0], tabArgv.data());
        _exit(127);
    }
    int nStatut = 0;
    waitpid(n, &nStatut, 0);
    return WIFEXITED(nStatut) ? WEXITSTATUS(nStatut) : 128 + WTERMSIG(nStatut);
}

// Root, stub tools first on PATH, the environment put back afterwards.
class Services : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_clRep.bOk());
        m_sRacine = m_clRep.sChemin("root");
        m_sOutils = m_clRep.sChemin("bin");
        m_sJournal = m_clRep.sChemin("journal");
        Repertoires(m_sRacine, {"etc/init.d", "etc/rc.d"});
        mkdir(m_sOutils.c_str(), 0755);
        // Every tool records its name and arguments, one a line.
        const std::string sStub = "#!/bin/sh\nprintf '%s\\n' \"$(basename \"$0\")\" \"$@\" >> '" + m_sJournal + "'\n";
        for (const char* psz : {"update-rc.d", "chkconfig", "insserv", "rc-update", "start-stop-daemon", "startproc"})
            TEST_EcritFichier(m_sOutils + "/" + psz, sStub, 0755);
        // The scripts' helpers say nothing; no process is found running.
        for (const char* psz : {"rc_reset", "rc_status", "rc_exit", "ebegin", "eend", "pidof"})
            TEST_EcritFichier(m_sOutils + "/" + psz, "#!/bin/sh\nexit 0\n", 0755);
        TEST_EcritFichier(m_sOutils + "/checkproc", "#!/bin/sh\nexit 1\n", 0755);
        const char* pszPath = getenv("PATH");
        m_sAncienPath = pszPath ? pszPath : "";
        setenv("PATH", (m_sOutils + ":" + m_sAncienPath).c_str(), 1);
        setenv("QV_RACINE_SERVICES", m_sRacine.c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", m_sAncienPath.c_str(), 1);
        unsetenv("QV_RACINE_SERVICES");
    }
    std::vector<std::string> Journal() {
        std::vector<std::string> tab;
        std::istringstream o(TEST_LitFichier(m_sJournal));
        std::string s;
        while (std::getline(o, s)) tab.push_back(s);
        return tab;
    }
    void Distribution(const char* pszFichier, const char* pszTexte = "") {
        std::string s = m_sRacine + "/" + pszFichier;
        Repertoires(m_sRacine, {s.substr(m_sRacine.size() + 1, s.rfind('/') - m_sRacine.size() - 1).c_str()});
        TEST_EcritFichier(s, pszTexte);
    }

    CRepTemporaire m_clRep{"services"};
    std::string m_sRacine, m_sOutils, m_sJournal, m_sAncienPath;
};

TEST(ServiceNoms, ScriptNames) {
    struct {
        const char* pszNom;
        const char* pszScript;   // null: refused
    } const tab[] = {
        {"my app.old", "my_app-old"},
        {"a\tb", "a__b"},
        {"dir/name", "dir-name"},
        {"Ok+Name_1-2", "Ok+Name_1-2"},
        {"", nullptr},
        {".hidden", nullptr},   // would begin with "-": an option to every tool
        {"-rf", nullptr},
        {"..", nullptr},
        {"a;rm", nullptr},
        {"a$(x)", nullptr},
        {"a'b", nullptr},
        {"a\"b", nullptr},
        {"a\nb", nullptr},
        {"caf\xE9", nullptr},
        {"a`b`", nullptr},
    };
    for (const auto& c : tab) {
        std::string s;
        EXPECT_EQ(CServiceManager::s_bNomScript(c.pszNom, s), c.pszScript != nullptr) << c.pszNom;
        if (c.pszScript) {
            EXPECT_EQ(s, c.pszScript);
        }
    }
}

TEST_F(Services, DistributionDetection) {
    struct {
        std::vector<std::pair<const char*, const char*>> tabFichiers;
        eDistribution e;
    } const tab[] = {
        {{{"etc/debian_version", "12"}}, DIST_DEBIAN},
        {{{"etc/mandriva-release", ""}}, DIST_MANDRIVA},
        {{{"etc/mandrake-release", ""}, {"etc/debian_version", ""}}, DIST_DEBIAN},
        {{{"sbin/SuSEconfig", ""}}, DIST_SUSE},
        {{{"etc/gentoo-release", ""}}, DIST_GENTOO},
        {{{"etc/fedora-release", ""}, {"etc/redhat-release", "Red Hat"}}, DIST_FEDORA},
        {{{"etc/slackware-version", ""}}, DIST_SLACKWARE},
        {{{"etc/redhat-release", "Mandriva Linux release 2010"}}, DIST_MANDRIVA},
        {{{"etc/redhat-release", "FEDORA Core"}}, DIST_FEDORA},
        {{{"etc/redhat-release", "CentOS"}}, DIST_REDHAT},
        {{{"etc/version", "Debian GNU"}}, DIST_DEBIAN},
        {{{"etc/version", "redhat"}}, DIST_REDHAT},
        {{{"etc/init.d/function", ""}}, DIST_REDHAT},
        {{}, DIST_DEBIAN},
    };
    int i = 0;
    for (const auto& c : tab) {
        // A fresh root per row: detection is kept per root.
        const std::string sRacine = m_clRep.sChemin("detect" + std::to_string(i++));
        Repertoires(sRacine, {"etc/init.d", "sbin"});
        for (const auto& [pszFichier, pszTexte] : c.tabFichiers) TEST_EcritFichier(sRacine + "/" + pszFichier, pszTexte);
        setenv("QV_RACINE_SERVICES", sRacine.c_str(), 1);
        CServiceManager cl;
        EXPECT_TRUE(cl.bInit());
        EXPECT_EQ(cl.eGetDistribution(), c.e) << i;
    }
}

// Every template, every hostile value: the script parses, and running its
// start with stub tools passes the program exactly the words given, while
// nothing the values hold is ever run.
TEST_F(Services, GeneratedScriptsKeepHostileValuesAsWords) {
    const std::string sTemoin = m_clRep.sChemin("injected");
    const std::string sProgramme = m_clRep.sChemin("prog dir/it's prog");
    Repertoires(m_clRep.sRep(), {"prog dir"});
    TEST_EcritFichier(sProgramme, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + m_sJournal + ".prog'\n", 0755);
    const std::string sT = "touch " + sTemoin;
    struct {
        std::string sAffichage;
        std::string sArguments;
        std::vector<std::string> tabMots;
    } const tabValeurs[] = {
        {"Plain service", "-a \"b c\"", {"-a", "b c"}},
        {"$(" + sT + ")", "\"$(" + sT + ")\" `" + sT + "`", {"$(" + sT + ")", "`touch", sTemoin + "`"}},
        {"x'; " + sT + "; echo '", "'; " + sT + "; '", {"';", "touch", sTemoin + ";", "'"}},
        {"%%%PROGRAM%%% %%%ARG%%%", "%%%LOCK_FILE%%% $HOME \\$x *", {"%%%LOCK_FILE%%%", "$HOME", "\\$x", "*"}},
        {"tab\tand | pipe & amp > gt", "a|b c&d >e", {"a|b", "c&d", ">e"}},
    };
    const eDistribution tabDist[] = {DIST_DEBIAN, DIST_REDHAT, DIST_SUSE, DIST_GENTOO, DIST_SLACKWARE};
    for (eDistribution e : tabDist) {
        for (const auto& v : tabValeurs) {
            SCOPED_TRACE("distribution " + std::to_string(e) + ": " + v.sAffichage + " / " + v.sArguments);
            const std::string sLigne = "\"" + sProgramme + "\" " + v.sArguments;
            std::string sTexte;
            ASSERT_TRUE(CServiceManager::s_bTexteScript(e, "svc", v.sAffichage.c_str(), sLigne.c_str(), sTexte));
            EXPECT_NE(sTexte.find("# Program=\"" + sProgramme + "\" Name=\"" + v.sAffichage + "\" \n"), std::string::npos);
            // The files the distribution's scripts read are stubs here, and
            // their pid and lock files go to the test's directory.
            for (const char* psz : {". /etc/rc.d/init.d/functions\n", ". /etc/sysconfig/network\n", ". /etc/rc.status\n"}) {
                size_t n = sTexte.find(psz);
                if (n != std::string::npos) sTexte.erase(n, strlen(psz));
            }
            for (const char* psz : {"/var/run/", "/var/lock/subsys/"}) {
                for (size_t n = sTexte.find(psz); n != std::string::npos; n = sTexte.find(psz, n + 1))
                    sTexte.replace(n, strlen(psz), m_clRep.sRep() + "/");
            }
            const std::string sScript = m_clRep.sChemin("script.sh");
            TEST_EcritFichier(sScript, sTexte, 0755);
            EXPECT_EQ(nLance({"/bin/sh", "-n", sScript}), 0);
            unlink(m_sJournal.c_str());
            unlink((m_sJournal + ".prog").c_str());
            unlink(m_clRep.sChemin("svc.pid").c_str());   // each row starts a service that is not running
            if (e == DIST_GENTOO)
                nLance({"/bin/sh", "-c", ". \"$1\"; start", "sh", sScript});
            else
                nLance({"/bin/sh", sScript, "start"});
            // Programs started in the background: their record comes soon.
            std::string sProg;
            for (int i = 0; i < 500 && (e == DIST_REDHAT || e == DIST_SLACKWARE) && sProg.empty(); ++i) {
                usleep(10000);
                sProg = TEST_LitFichier(m_sJournal + ".prog");
            }
            std::vector<std::string> tabRecus;
            std::istringstream o(e == DIST_REDHAT || e == DIST_SLACKWARE ? sProg : TEST_LitFichier(m_sJournal));
            for (std::string s; std::getline(o, s);) tabRecus.push_back(s);
            std::vector<std::string> tabAttendus = v.tabMots;
            tabAttendus.push_back("svc");   // the script name comes last
            ASSERT_GE(tabRecus.size(), tabAttendus.size()) << TEST_LitFichier(m_sJournal);
            EXPECT_EQ(std::vector<std::string>(tabRecus.end() - long(tabAttendus.size()), tabRecus.end()), tabAttendus);
            EXPECT_FALSE(TEST_bExiste(sTemoin));
        }
    }
}

TEST_F(Services, RefusedValuesWriteNothing) {
    struct {
        const char* pszNom;
        const char* pszAffichage;
        const char* pszLigne;
    } const tab[] = {
        {"svc", "two\nlines", "/bin/true"},
        {"svc", "carriage\rreturn", "/bin/true"},
        {"svc", "a \"quoted\" name", "/bin/true"},
        {"svc", "ok", "\"/bin/with\nnewline\""},
        {"svc", "ok", "/bin/true arg\nsecond line"},
        {"bad;name", "ok", "/bin/true"},
        {"-f", "ok", "/bin/true"},
    };
    Distribution("etc/debian_version");
    for (const auto& c : tab) {
        CServiceManager cl;
        cl.bInit();
        std::string sScript = c.pszNom;
        EXPECT_FALSE(cl.bInstall(sScript, c.pszAffichage, c.pszLigne, true)) << c.pszAffichage << c.pszLigne;
    }
    EXPECT_FALSE(TEST_bExiste(m_sJournal));   // no tool ran
    CServiceManager cl;
    cl.bInit();
    EXPECT_TRUE(cl.ListeScripts().empty());   // no script, no temporary file left
}

TEST_F(Services, InstallationAndRegistrationPerDistribution) {
    struct {
        const char* pszFichier;   // what the root says of its distribution
        const char* pszScript;    // where the script lies
        std::vector<std::string> tabEnregistre;
        std::vector<std::string> tabDesenregistre;
    } const tab[] = {
        {"etc/debian_version", "/etc/init.d/svc", {"update-rc.d", "svc", "defaults"}, {"update-rc.d", "-f", "svc", "remove"}},
        {"etc/redhat-release", "/etc/init.d/svc", {"chkconfig", "--add", "svc"}, {"chkconfig", "--del", "svc"}},
        {"etc/SuSE-release", "/etc/init.d/svc", {"insserv", "svc"}, {"insserv", "-r", "svc"}},
        {"etc/gentoo-release", "/etc/init.d/svc", {"rc-update", "add", "svc", "default"}, {"rc-update", "del", "svc"}},
        {"etc/slackware-version", "/etc/rc.d/rc.svc", {}, {}},
    };
    int i = 0;
    for (const auto& c : tab) {
        SCOPED_TRACE(c.pszFichier);
        const std::string sRacine = m_clRep.sChemin("inst" + std::to_string(i++));
        Repertoires(sRacine, {"etc/init.d", "etc/rc.d"});
        TEST_EcritFichier(sRacine + "/" + c.pszFichier, "");
        setenv("QV_RACINE_SERVICES", sRacine.c_str(), 1);
        unlink(m_sJournal.c_str());
        CServiceManager cl;
        cl.bInit();
        // Not for boot: written, not registered.
        ASSERT_TRUE(cl.bInstall("svc", "My service", "/opt/prog --x", false));
        EXPECT_FALSE(TEST_bExiste(m_sJournal));
        struct stat st {};
        ASSERT_EQ(stat((sRacine + c.pszScript).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0755u);
        EXPECT_EQ(st.st_uid, 0u);
        // For boot: registered with the distribution's tool.
        ASSERT_TRUE(cl.bInstall("svc", "My service", "/opt/prog --x", true));
        std::vector<std::string> tabJournal = Journal();
        EXPECT_EQ(tabJournal, c.tabEnregistre);
        std::string sScript;
        ASSERT_TRUE(cl.bGetService("svc", sScript));
        CService clService(cl, sScript);
        EXPECT_EQ(clService.sGetDisplayName(), "My service");
        EXPECT_EQ(clService.sBinaryPathName(), "/opt/prog");
        unlink(m_sJournal.c_str());
        EXPECT_TRUE(clService.bRemove());
        EXPECT_FALSE(TEST_bExiste(sRacine + c.pszScript));
        EXPECT_EQ(Journal(), c.tabDesenregistre);
    }
    // Slackware: a start block in rc.M and a stop block in rc.K, once.
    const std::string sRacine = m_clRep.sChemin("inst4");
    const std::string sM = TEST_LitFichier(sRacine + "/etc/rc.d/rc.M"), sK = TEST_LitFichier(sRacine + "/etc/rc.d/rc.K");
    EXPECT_NE(sM.find("if [ -x /etc/rc.d/rc.svc ]; then\n    /etc/rc.d/rc.svc start\nfi\n"), std::string::npos) << sM;
    EXPECT_NE(sK.find("if [ -x /etc/rc.d/rc.svc ]; then\n    /etc/rc.d/rc.svc stop\nfi\n"), std::string::npos) << sK;
    EXPECT_EQ(sM.find("rc.svc start"), sM.rfind("rc.svc start"));
    EXPECT_EQ(nLance({"/bin/sh", "-n", sRacine + "/etc/rc.d/rc.M"}), 0);
}

// A script written over a link replaces the link, never its target.
TEST_F(Services, ScriptsAreNeverWrittenThroughLinks) {
    Distribution("etc/debian_version");
    const std::string sCible = m_clRep.sChemin("target");
    TEST_EcritFichier(sCible, "untouched");
    ASSERT_EQ(symlink(sCible.c_str(), (m_sRacine + "/etc/init.d/svc").c_str()), 0);
    CServiceManager cl;
    cl.bInit();
    ASSERT_TRUE(cl.bInstall("svc", "S", "/opt/prog", false));
    EXPECT_EQ(TEST_LitFichier(sCible), "untouched");
    struct stat st {};
    ASSERT_EQ(lstat((m_sRacine + "/etc/init.d/svc").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
}

// Only the super-user installs: anyone else gets 80014 before anything is
// written (checked in a child that gives up its rights).
TEST_F(Services, InstallingNeedsTheSuperUser) {
    Distribution("etc/debian_version");
    pid_t n = fork();
    ASSERT_GE(n, 0);
    if (n == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
        auto* pclLib = static_cast<CZNLibrary*>(static_cast<IZNLibrary*>(pQueryProxy(60)));
        const bool bOk = sys::ServiceInstalle(*pclLib, "svc");
        const int nErreur = pclLib->pclGetError()->nGetUserError();
        _exit(bOk ? 1 : nErreur == 80014 ? 0 : 2);
    }
    int nStatut = 0;
    ASSERT_EQ(waitpid(n, &nStatut, 0), n);
    ASSERT_TRUE(WIFEXITED(nStatut));
    EXPECT_EQ(WEXITSTATUS(nStatut), 0);
    CServiceManager cl;
    cl.bInit();
    EXPECT_TRUE(cl.ListeScripts().empty());
    EXPECT_FALSE(TEST_bExiste(m_sJournal));
}

}  // namespace
