// Launching programs, the identifiers of this process, what an executable
// says of itself, the environment, memory figures and the system's name,
// through the entry points by name and through the process layer below them.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/appel.h"
#include "common/fichiers.h"
#include "common/temp_dir.h"
#include "system/lancement.h"
#include "system/memoire.h"
#include "system/versionexe.h"

using appel::I;
using appel::STArg;
using appel::STRes;
using appel::T;

namespace {

class Processus : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_clRep.bOk()); }
    STRes Appel(const char* pszFr, int n, const std::vector<STArg>& tab) { return m_clAppel.Appel(pszFr, n, tab); }

    CRepTemporaire m_clRep{"processus"};
    appel::CAppelParNom m_clAppel;
};

// ---- The command line ---------------------------------------------------------------------

TEST(LigneCommande, ProgramAndArguments) {
    struct {
        const char* pszLigne;
        const char* pszProgramme;
        const char* pszArguments;
    } const tab[] = {
        {"/bin/ls -l /tmp", "/bin/ls", "-l /tmp"},
        {"   /bin/ls", "/bin/ls", ""},
        {"\"/opt/my app/run\" a \"b c\"", "/opt/my app/run", "a \"b c\""},
        {"\"/opt/my app/run\"", "/opt/my app/run", ""},
        {"\"/opt/unclosed quote", "/opt/unclosed quote", ""},
        {"", "", ""},
        {"prog  two  spaces", "prog", " two  spaces"},
    };
    for (const auto& c : tab) {
        STLigneCommande st = PROC_DecoupeLigne(c.pszLigne);
        EXPECT_EQ(st.sProgramme, c.pszProgramme) << c.pszLigne;
        EXPECT_EQ(st.sArguments, c.pszArguments) << c.pszLigne;
    }
    // A path longer than any fixed buffer stays whole.
    const std::string sLong = "/" + std::string(600, 'd') + "/prog";
    EXPECT_EQ(PROC_DecoupeLigne((sLong + " x").c_str()).sProgramme, sLong);
}

TEST(LigneCommande, ArgumentWords) {
    struct {
        const char* pszArguments;
        std::vector<std::string> tabMots;
    } const tab[] = {
        {"a b  c", {"a", "b", "c"}},
        {"\"a b\" c", {"a b", "c"}},
        {"x\"y z\"w", {"xy zw"}},
        {"\\\"a b\\\"", {"\"a", "b\""}},   // an escaped quote opens no quoted word
        {"\"\" a \"\"", {"a"}},            // empty words are dropped
        {"\ta\tb\n", {"a", "b"}},
        {"; rm -rf / $(x) `y` | z", {";", "rm", "-rf", "/", "$(x)", "`y`", "|", "z"}},
        {"", {}},
    };
    for (const auto& c : tab) EXPECT_EQ(PROC_DecoupeArguments(c.pszArguments), c.tabMots) << c.pszArguments;
}

// ---- Launching ------------------------------------------------------------------------------

TEST_F(Processus, LaunchModesExitCodesAndSignals) {
    const std::string sTemoin = m_clRep.sChemin("injected");
    struct {
        const char* pszLigne;
        int nSurcharge;      // 0: (line), 2: (line, window, mode), 3: (line, window, wait)
        int nMode;
        int64_t nAttendu;
        int nErreur;
    } const tab[] = {
        {"/bin/false", 2, 2, 1, 0},
        {"/bin/true", 2, 2, 0, 0},
        {"/bin/sh -c \"exit 7\"", 2, 2, 7, 0},
        // A program's own 255 is its exit code, not a failure to start.
        {"/bin/sh -c \"exit 255\"", 2, 2, 255, 0},
        // A killed program reports 128 + the signal, never 0.
        {"/bin/sh -c \"kill -TERM $$\"", 2, 2, 128 + SIGTERM, 0},
        {"/bin/sh -c \"kill -KILL $$\"", 2, 2, 128 + SIGKILL, 0},
        {"/bin/sh -c \"exit 3\"", 2, 1, 1, 0},
        {"/bin/sh -c \"exit 3\"", 3, 1, 1, 0},
        {"/bin/true", 0, 0, 1, 0},
        // A program that cannot be executed fails whatever the mode.
        {"/nonexistent/program", 2, 2, 0, 80400},
        {"/nonexistent/program", 2, 0, 0, 80400},
        {"/nonexistent/program", 0, 0, 0, 80400},
        {"\"/nonexistent/with space/prog\" a", 2, 1, 0, 80400},
        {"/etc/passwd", 2, 2, 0, 80400},   // not executable
        {"", 2, 2, 0, 80400},
        // PATH is not searched.
        {"true", 2, 2, 0, 80400},
        // Quoted words arrive whole, without their quotes.
        {"/bin/sh -c \"[ \\\"$1\\\" = 'a b' ] && [ $# -eq 2 ]\" x \"a b\" c", 2, 2, 0, 0},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(c.pszLigne);
        std::vector<STArg> tabArgs = {T(c.pszLigne)};
        if (c.nSurcharge >= 2) {
            tabArgs.push_back(I(1));
            tabArgs.push_back(I(c.nMode));
        }
        STRes st = Appel("LanceAppli", c.nSurcharge, tabArgs);
        EXPECT_EQ(st.nErreur, c.nErreur) << st.sMessage;
        EXPECT_EQ(st.n, c.nAttendu);
    }
    // No shell ever reads the line: what looks like a second command is an
    // argument of the first.
    for (const std::string& sLigne : {"/bin/true ; touch " + sTemoin, "/bin/true && touch " + sTemoin,
                                      "/bin/true $(touch " + sTemoin + ")", "/bin/true `touch " + sTemoin + "`",
                                      "/bin/true | touch " + sTemoin}) {
        STRes st = Appel("LanceAppli", 2, {T(sLigne.c_str()), I(1), I(2)});
        EXPECT_EQ(st.nErreur, 0) << sLigne;
        EXPECT_EQ(st.n, 0) << sLigne;
        EXPECT_FALSE(TEST_bExiste(sTemoin)) << sLigne;
    }
}

TEST_F(Processus, ThePidModeGivesTheChild) {
    STRes st = Appel("LanceAppli", 2, {T("/bin/sh -c \"exit 9\""), I(1), I(3)});
    ASSERT_EQ(st.nErreur, 0) << st.sMessage;
    ASSERT_GT(st.n, 0);
    int nCode = -1;
    EXPECT_EQ(WaitPid(static_cast<pid_t>(st.n), PROC_ATTENTE_INFINIE, &nCode), static_cast<pid_t>(st.n));
    EXPECT_EQ(nCode, 9);
}

TEST_F(Processus, TheChildSeesEnvironmentChanges) {
    struct {
        const char* pszValeur;
        const char* pszTest;
    } const tab[] = {
        {"abc def", "[ \\\"$QV_LANCE_TEST\\\" = 'abc def' ]"},
        {"", "[ -z \\\"${QV_LANCE_TEST+x}\\\" ]"},   // removed, not empty
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(c.pszValeur);
        STRes st = Appel("SysChangeEnvironnement", 0, {T("QV_LANCE_TEST"), T(c.pszValeur)});
        EXPECT_EQ(st.n, 1);
        std::string sLigne = std::string("/bin/sh -c \"") + c.pszTest + "\"";
        st = Appel("LanceAppli", 2, {T(sLigne.c_str()), I(1), I(2)});
        EXPECT_EQ(st.nErreur, 0) << st.sMessage;
        EXPECT_EQ(st.n, 0) << sLigne;
    }
}

// A launched program inherits no descriptor the component opened.
TEST_F(Processus, LaunchedProgramsInheritNoComponentDescriptor) {
    const std::string sFichier = m_clRep.sChemin("held-open.bin");
    TEST_EcritFichier(sFichier, std::string(64, 'x'));
    CFileVersion cl;   // maps and closes: nothing left behind
    EXPECT_FALSE(cl.bLoad(sFichier.c_str()));
    const std::string sLigne = "/bin/sh -c \"ls -l /proc/$$/fd | grep -q held-open && exit 1; exit 0\"";
    STRes st = Appel("LanceAppli", 2, {T(sLigne.c_str()), I(1), I(2)});
    EXPECT_EQ(st.nErreur, 0) << st.sMessage;
    EXPECT_EQ(st.n, 0);
}

TEST(Attente, WaitPidReadsHowTheChildEnded) {
    struct {
        const char* pszScript;
        uint32_t nTimeout;
        bool bFini;
        int nCode;
    } const tab[] = {
        {"exit 4", PROC_ATTENTE_INFINIE, true, 4},
        {"kill -INT $$", PROC_ATTENTE_INFINIE, true, 128 + SIGINT},
        {"sleep 5", 0, false, 0},   // still running: polled once, then killed below
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(c.pszScript);
        pid_t nPid = 0;
        bool bEnCours = false;
        int nCode = -1;
        std::string sArgs = std::string("-c \"") + c.pszScript + "\"";
        ASSERT_TRUE(CreateProcess("/bin/sh", sArgs.c_str(), &nPid, &bEnCours, &nCode));
        EXPECT_TRUE(bEnCours);
        pid_t n = WaitPid(nPid, c.nTimeout, &nCode);
        if (c.bFini) {
            EXPECT_EQ(n, nPid);
            EXPECT_EQ(nCode, c.nCode);
        } else {
            EXPECT_EQ(n, 0);
            kill(nPid, SIGKILL);
            EXPECT_EQ(WaitPid(nPid, PROC_ATTENTE_INFINIE, &nCode), nPid);
            EXPECT_EQ(nCode, 128 + SIGKILL);
        }
    }
    int nCode = 0;
    EXPECT_EQ(WaitPid(getpid(), 0, &nCode), -1);   // not our child
    EXPECT_EQ(WaitPid(0, 0, &nCode), -1);
}

// While a waiting launch runs, the process's SIGCHLD action is set aside and
// then comes back; the alarm timer is never touched.
// The C library adds the kernel's restorer flag (0x04000000 on x86, not
// in the user headers) whenever it installs an action, restoring the same
// one included.
int DrapeauxAction(const struct sigaction& st) { return st.sa_flags & ~0x04000000; }

TEST_F(Processus, WaitingLeavesTheSignalActionsAndTheAlarm) {
    struct sigaction stAvant {}, stApres {};
    sigaction(SIGCHLD, nullptr, &stAvant);
    alarm(1000);
    STRes st = Appel("LanceAppli", 2, {T("/bin/true"), I(1), I(2)});
    EXPECT_EQ(st.n, 0);
    EXPECT_GT(alarm(0), 990u);
    sigaction(SIGCHLD, nullptr, &stApres);
    EXPECT_EQ(stApres.sa_handler, stAvant.sa_handler);
    EXPECT_EQ(DrapeauxAction(stApres), DrapeauxAction(stAvant));
}

// ---- Identifiers ------------------------------------------------------------------------------

TEST_F(Processus, ProcessIdentifiers) {
    struct {
        int nSurcharge;
        int nType;
        int64_t nAttendu;
        int nErreur;
    } const tab[] = {
        {0, 0, getpid(), 0},
        {1, 3, getpid(), 0},
        {1, 6, getppid(), 0},
        {1, 5, 0, 80110},
        {1, 0, 0, 80110},
        {1, -1, 0, 80110},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(c.nType);
        STRes st = Appel("ExeDonnePID", c.nSurcharge, c.nSurcharge ? std::vector<STArg>{I(c.nType)} : std::vector<STArg>{});
        EXPECT_EQ(st.n, c.nAttendu);
        EXPECT_EQ(st.nErreur, c.nErreur);
    }
    EXPECT_NE(Appel("ExeDonnePID", 1, {I(7)}).n, 0);
}

// ---- Executables ------------------------------------------------------------------------------

TEST_F(Processus, ExecutableInformation) {
    const std::string sModule = QV_MODULE_PATH;
    const std::string sRep = sModule.substr(0, sModule.rfind('/'));
    struct {
        const char* pszCle;
        std::string sAttendu;
    } const tab[] = {
        {"Nom", sModule},
        {"NAME", sModule},
        {"R\xE9pertoire", sRep},   // Latin-1, as the host passes it
        {"directory", sRep},
        {"Version", "15.0.733.8"},
        {"FileVersion", "15.0.733.8"},   // no row: a version text of its own name
        {"fileversion", "15.0.733.8"},
        {"Description", "Standard functions"},
        {"VersionVI", "15.00Gab"},
        {"Comments", "qv150std"},
        {"Soci\xE9t\xE9", ""},   // no company text
        {"Copyright", ""},
        {"Mode", ""},            // not a Windows executable
        {"Version4N", ""},
        {"NoSuchKey", ""},
    };
    for (const auto& c : tab) {
        STRes st = Appel("ExeInfo", 1, {T(c.pszCle), T(sModule.c_str())});
        EXPECT_EQ(st.s, c.sAttendu) << c.pszCle;
        EXPECT_EQ(st.nErreur, 0) << c.pszCle;
    }
    // This process by default; a missing file answers nothing.
    char szExe[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", szExe, sizeof szExe - 1), 0);
    EXPECT_EQ(Appel("ExeInfo", 0, {T("Nom")}).s, szExe);
    EXPECT_EQ(GetModuleFileName(), szExe);
    EXPECT_EQ(Appel("ExeInfo", 1, {T("Version"), T("/nonexistent/x")}).s, "");
    EXPECT_EQ(Appel("ExeInfo", 1, {T("Nom"), T("relative")}).s, "relative");
    EXPECT_EQ(Appel("ExeInfo", 1, {T("Directory"), T("relative")}).s, "");
    EXPECT_EQ(Appel("ExeInfo", 1, {T("Directory"), T("C:prog.exe")}).s, "C:");
}

TEST_F(Processus, VersionBlocksInFiles) {
    const std::string k = std::string("\\StringFileInfo\\000004E4\\", 25);
    auto fnMarque = [](const char* psz) { return std::string(psz, strlen(psz) + 1); };
    const std::string sDebut = fnMarque("VersionInfoMarkStart"), sFin = "VersionInfoMarkEnd";
    const std::string sBloc = fnMarque((k + "FileVersion").c_str()) + fnMarque("1.2.3") +
                              fnMarque((k + "CompanyName").c_str()) + fnMarque("Acme & Co") + std::string(1, '\0');
    struct {
        const char* pszNom;
        std::string sContenu;
        const char* pszCle;
        const char* pszAttendu;
    } const tab[] = {
        {"plain", "junk" + sDebut + sBloc + sFin + "tail", "Version", "1.2.3"},
        {"company", sDebut + sBloc + sFin, "Soci\xE9t\xE9", "Acme & Co"},
        {"company-en", sDebut + sBloc + sFin, "company", "Acme & Co"},
        // A block shorter than 35 bytes is a mark named elsewhere: passed over.
        {"short-then-real", sDebut + "abc" + sFin + "xx" + sDebut + sBloc + sFin, "Version", "1.2.3"},
        {"short-only", sDebut + "abc" + sFin, "Version", ""},
        {"no-end", sDebut + sBloc, "Version", ""},
        {"mark-at-end", "junk" + sDebut, "Version", ""},
        {"empty", "", "Version", ""},
        // A key ends where its text ends: a longer key is another key.
        {"prefix", sDebut + sBloc + sFin, "FileVer", ""},
    };
    for (const auto& c : tab) {
        const std::string sChemin = m_clRep.sChemin(c.pszNom);
        TEST_EcritFichier(sChemin, c.sContenu);
        STRes st = Appel("ExeInfo", 1, {T(c.pszCle), T(sChemin.c_str())});
        EXPECT_EQ(st.s, c.pszAttendu) << c.pszNom;
    }
}

TEST_F(Processus, ExecutableKinds) {
    auto fnEntete = [](uint16_t wReloc, uint32_t dwNouveau) {
        std::string s(64, '\0');
        s[0] = 'M';
        s[1] = 'Z';
        s[24] = char(wReloc & 0xFF);
        s[25] = char(wReloc >> 8);
        for (int i = 0; i < 4; ++i) s[60 + i] = char(dwNouveau >> (8 * i));
        return s;
    };
    auto fnNouveau = [](const char* pszSig, uint16_t wMagic) {
        std::string s(248, '\0');
        s[0] = pszSig[0];
        s[1] = pszSig[1];
        s[24] = char(wMagic & 0xFF);
        s[25] = char(wMagic >> 8);
        return s;
    };
    struct {
        const char* pszNom;
        std::string sContenu;
        int nType;
        const char* pszMode;
    } const tab[] = {
        {"pe32", fnEntete(64, 64) + fnNouveau("PE", 0x10B), 2, "32"},
        {"pe64", fnEntete(64, 64) + fnNouveau("PE", 0x20B), 4, "64"},
        {"ne", fnEntete(64, 64) + fnNouveau("NE", 0), 1, "16"},
        {"lx", fnEntete(64, 64) + fnNouveau("LX", 0), 1, "16"},
        {"mzmz", fnEntete(64, 64) + fnNouveau("MZ", 0), 0, "DOS"},
        {"dos", fnEntete(28, 64), 0, "DOS"},
        {"other-sig", fnEntete(64, 64) + fnNouveau("QQ", 0), 3, ""},
        {"header-beyond-end", fnEntete(64, 0x7FFFFFF0u), 3, ""},
        {"short-new-header", fnEntete(64, 64) + "PE", 3, ""},
        {"elf", "\x7F" "ELF" + std::string(60, '\0'), -2, ""},
        {"short", "MZ", -1, ""},
    };
    for (const auto& c : tab) {
        const std::string sChemin = m_clRep.sChemin(c.pszNom);
        TEST_EcritFichier(sChemin, c.sContenu);
        EXPECT_EQ(EXE_nGetTypeEXE(sChemin.c_str()), c.nType) << c.pszNom;
        EXPECT_EQ(Appel("ExeInfo", 1, {T("Mode"), T(sChemin.c_str())}).s, c.pszMode) << c.pszNom;
    }
    EXPECT_EQ(EXE_nGetTypeEXE(m_clRep.sChemin("missing").c_str()), -1);
}

// ---- Environment ------------------------------------------------------------------------------

TEST_F(Processus, Environment) {
    unsetenv("QV_ENV_A");
    unsetenv("QV_ENV_AB");
    struct {
        const char* pszFr;
        int nSurcharge;
        std::vector<STArg> tabArgs;
        int64_t nAttendu;
        const char* pszAttendu;   // null for a boolean result
        int nErreur;
    } const tab[] = {
        {"SysChangeEnvironnement", 0, {T("QV_ENV_A"), T("one")}, 1, nullptr, 0},
        {"SysChangeEnvironnement", 1, {T("QV_ENV_AB"), T("two"), I(2)}, 1, nullptr, 0},   // any scope: this process
        {"SysEnvironnement", 1, {T("QV_ENV_A")}, 0, "one", 0},
        {"SysEnvironnement", 1, {T("QV_ENV_AB")}, 0, "two", 0},
        // Not a variable: the entries that begin with the text, case ignored.
        {"SysEnvironnement", 1, {T("qv_env_")}, 0, "QV_ENV_A=one\r\nQV_ENV_AB=two", 0},
        {"SysChangeEnvironnement", 0, {T("QV_ENV_A"), T("")}, 1, nullptr, 0},
        {"SysEnvironnement", 1, {T("QV_ENV_A")}, 0, "QV_ENV_AB=two", 0},
        {"SysChangeEnvironnement", 0, {T("QV_ENV_AB"), T("")}, 1, nullptr, 0},
        {"SysEnvironnement", 1, {T("QV_ENV_A")}, 0, "", 0},
        // Names the system refuses.
        {"SysChangeEnvironnement", 0, {T("A=B"), T("x")}, 0, nullptr, 80151},
        {"SysChangeEnvironnement", 0, {T(""), T("x")}, 0, nullptr, 80151},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(std::string(c.pszFr) + " " + c.tabArgs[0].s);
        STRes st = Appel(c.pszFr, c.nSurcharge, c.tabArgs);
        EXPECT_EQ(st.nErreur, c.nErreur) << st.sMessage;
        if (c.pszAttendu != nullptr)
            EXPECT_EQ(st.s, c.pszAttendu);
        else
            EXPECT_EQ(st.n, c.nAttendu);
    }
    // The whole environment, CR LF between entries, nothing cut.
    const std::string sLong(40000, 'v');
    setenv("QV_ENV_LONG", sLong.c_str(), 1);
    const std::string sTout = Appel("SysEnvironnement", 0, {}).s;
    EXPECT_NE(sTout.find("QV_ENV_LONG=" + sLong), std::string::npos);
    EXPECT_EQ(sTout.find('\n'), sTout.find("\r\n") + 1);
    unsetenv("QV_ENV_LONG");
}

// ---- System -----------------------------------------------------------------------------------

TEST_F(Processus, SystemVersion) {
    struct utsname stU;
    ASSERT_EQ(uname(&stU), 0);
    std::string sSysteme = stU.sysname;
    for (char& c : sSysteme) c = char(toupper(static_cast<unsigned char>(c)));
    struct {
        const char* pszFr;
        std::vector<STArg> tabArgs;
        int nSurcharge;
        std::string sAttendu;
        int nErreur;
    } const tab[] = {
        {"SysVersionWindows", {}, 0, sSysteme, 0},
        {"SysVersionWindows", {I(0)}, 1, sSysteme, 0},
        {"SysVersionWindows", {I(3)}, 1, "UNIX", 0},
        {"SysVersionWindows", {I(1)}, 1, "", 80144},
        {"SysVersionWindows", {I(2)}, 1, "", 80144},
        {"SysVersionWindows", {I(4)}, 1, "", 80144},
        {"VersionWindows", {}, 0, "", 80144},
    };
    for (const auto& c : tab) {
        STRes st = Appel(c.pszFr, c.nSurcharge, c.tabArgs);
        EXPECT_EQ(st.s, c.sAttendu) << c.pszFr << c.nSurcharge;
        EXPECT_EQ(st.nErreur, c.nErreur) << c.pszFr << c.nSurcharge;
    }
}

TEST_F(Processus, MemoryFigures) {
    struct {
        const char* pszNom;
        const char* pszContenu;   // null: no file
        STMemoryStatus st;
    } const tab[] = {
        {"kb",
         "MemTotal:        1000 kB\nMemFree:          100 kB\nBuffers:           50 kB\nCached:           150 kB\n"
         "SwapTotal:        200 kB\nSwapFree:         200 kB\n",
         {24, 58, 1024000, 307200, 204800, 204800}},
        {"old", "        total:    used:    free:  shared: buffers:  cached:\nMem:  1000 900 100 0 50 150\nSwap: 200 0 200\n",
         {24, 58, 1000, 300, 200, 200}},
        // Totals of under one hundred bytes give no percentage, and no fault.
        {"tiny", "Mem:  50 40 10 0 0 0\nSwap: 0 0 0\n", {24, 0, 50, 10, 0, 0}},
        {"zero", "MemTotal: 0 kB\nSwapTotal: 0 kB\n", {24, 0, 0, 0, 0, 0}},
        {"long-line", "MemTotal: 4 kB x", {24, 0, 4096, 0, 0, 0}},
        {"missing", nullptr, {24, 0, 16777216, 16777216, 16777216, 16777216}},
    };
    for (const auto& c : tab) {
        const std::string sChemin = m_clRep.sChemin(c.pszNom);
        std::string sContenu = c.pszContenu ? c.pszContenu : "";
        if (std::string(c.pszNom) == "long-line") sContenu += std::string(1000, 'y') + "\nMemFree: 1 kB\n";
        if (c.pszContenu) TEST_EcritFichier(sChemin, sContenu);
        STMemoryStatus st;
        MEM_LitMeminfo(sChemin.c_str(), &st);
        if (std::string(c.pszNom) == "long-line") {
            EXPECT_EQ(st.dwAvailPhys, 1024u);   // the line after the long one is read
            continue;
        }
        EXPECT_EQ(st.dwLength, c.st.dwLength) << c.pszNom;
        EXPECT_EQ(st.dwMemoryLoad, c.st.dwMemoryLoad) << c.pszNom;
        EXPECT_EQ(st.dwTotalPhys, c.st.dwTotalPhys) << c.pszNom;
        EXPECT_EQ(st.dwAvailPhys, c.st.dwAvailPhys) << c.pszNom;
        EXPECT_EQ(st.dwTotalPageFile, c.st.dwTotalPageFile) << c.pszNom;
        EXPECT_EQ(st.dwAvailPageFile, c.st.dwAvailPageFile) << c.pszNom;
    }
}

}  // namespace
