// The system functions through the reference host: processes and the
// environment, the Processus objects, parameter persistence, and the
// services run against a root of their own (a temporary directory standing
// for "/") with a stub registration tool first on PATH.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/fichiers.h"
#include "common/temp_dir.h"
#include "e2e_common.h"

using e2e::json;

namespace {

// One call: the function's French or English name, its arguments, the value
// and the error code expected (0: none; a null value: not checked).
struct STCas {
    const char* pszFr;
    const char* pszEn;
    std::vector<json> tabArgs;
    json jValeur;
    int nErreur = 0;
};

void Verifie(const std::vector<STCas>& tab) {
    for (const char* pszLangue : {"fr", "en"}) {
        e2e::Session().Traite(json{{"lang", pszLangue}});
        for (const STCas& c : tab) {
            const char* pszNom = std::string(pszLangue) == "fr" ? c.pszFr : c.pszEn;
            json j = e2e::Appel(pszNom, c.tabArgs);
            const std::string sCas = std::string(pszNom) + " " + json(c.tabArgs).dump() + " -> " + j.dump();
            if (c.nErreur == 0) {
                EXPECT_TRUE(j["error"].is_null()) << sCas;
            } else {
                ASSERT_FALSE(j["error"].is_null()) << sCas;
                EXPECT_EQ(j["error"]["code"], c.nErreur) << sCas;
                EXPECT_FALSE(j["error"]["message"].get<std::string>().empty()) << sCas;
            }
            if (!c.jValeur.is_null()) {
                EXPECT_EQ(j["value"], c.jValeur) << sCas;
            }
        }
    }
    e2e::Session().Traite(json{{"lang", "fr"}});
}

TEST(SystemE2E, ProcessesAndEnvironment) {
    CRepTemporaire clRep("system_e2e");
    ASSERT_TRUE(clRep.bOk());
    const std::string sTemoin = clRep.sChemin("injected");
    const std::string sModule = QV_MODULE_PATH;
    const std::string sRepModule = sModule.substr(0, sModule.rfind('/'));
    Verifie({
        {"LanceAppli", "ExeRun", {"/bin/false", 1, 2}, 1},
        {"LanceAppli", "ExeRun", {"/bin/sh -c \"exit 5\"", 1, 2}, 5},
        {"LanceAppli", "ExeRun", {"/bin/sh -c \"kill -9 $$\"", 1, 2}, 137},
        {"LanceAppli", "ExeRun", {"/bin/true ; touch " + sTemoin, 1, 2}, 0},
        {"LanceAppli", "ExeRun", {"/bin/true", 1, 1}, 1},
        {"LanceAppli", "ExeRun", {"/bin/true", 1, true}, 1},
        {"LanceAppli", "ExeRun", {"/bin/true"}, 1},
        {"LanceAppli", "ExeRun", {json{{"uni", "/bin/false"}}, 1, 2}, 1},
        {"LanceAppli", "ExeRun", {"/nonexistent/program", 1, 2}, 0, 80400},
        {"DDELance", "DDEStart", {"/bin/true"}, true},
        {"DDELance", "DDEStart", {"/bin/true", 1}, true},
        {"DDELance", "DDEStart", {"/nonexistent/program"}, false, 80400},
        {"ExeDonnePID", "ExeGetPID", {}, static_cast<int>(getpid())},
        {"ExeDonnePID", "ExeGetPID", {6}, static_cast<int>(getppid())},
        {"ExeDonnePID", "ExeGetPID", {5}, 0, 80110},
        {"ExeInfo", "ExeInfo", {"Version", sModule}, "15.0.733.8"},
        {"ExeInfo", "ExeInfo", {"Répertoire", sModule}, sRepModule},
        {"ExeInfo", "ExeInfo", {"FileDescription", sModule}, "Standard functions"},
        {"ExeInfo", "ExeInfo", {"Mode", sModule}, ""},
        {"SysChangeEnvironnement", "SysChangeEnvironment", {"QV_E2E_VAR", "é 1"}, true},
        {"SysEnvironnement", "SysEnvironment", {"QV_E2E_VAR"}, "é 1"},
        // The child gets the variable and the command line in the same 8-bit set.
        {"LanceAppli", "ExeRun", {"/bin/sh -c \"[ \\\"$QV_E2E_VAR\\\" = '\xC3\xA9 1' ]\"", 1, 2}, 0},
        {"SysChangeEnvironnement", "SysChangeEnvironment", {"QV_E2E_VAR", "", 1}, true},
        {"SysEnvironnement", "SysEnvironment", {"QV_E2E_VAR"}, ""},
        {"SysChangeEnvironnement", "SysChangeEnvironment", {"A=B", "x"}, false, 80151},
        {"SysEspace", "SysSpace", {3}, 0, 80145},
        {"SysVersionWindows", "SysWindowsVersion", {3}, "UNIX"},
        {"SysVersionWindows", "SysWindowsVersion", {1}, "", 80144},
        {"VersionWindows", "WindowsVersion", {}, "", 80144},
    });
    EXPECT_FALSE(access(sTemoin.c_str(), F_OK) == 0);
    // A file the program holds open through a handle stays out of a launched
    // program (which could otherwise keep it, and its locks, alive).
    const std::string sTenu = clRep.sChemin("held-open.txt");
    TEST_EcritFichier(sTenu, "x");
    json jH = e2e::Appel("fOuvre", {sTenu, 3});
    ASSERT_TRUE(jH["error"].is_null()) << jH.dump();
    json jL = e2e::Appel("LanceAppli", {"/bin/sh -c \"ls -l /proc/$$/fd | grep -q held-open && exit 1; exit 0\"", 1, 2});
    EXPECT_EQ(jL["value"], 0) << jL.dump();
    e2e::Appel("fFerme", {jH["value"]});
    // Memory figures: a 4-byte integer variant, the default the total.
    json j = e2e::Appel("SysEspace", {});
    EXPECT_TRUE(j["error"].is_null()) << j.dump();
    EXPECT_EQ(j["type"], 0x1F);
    EXPECT_EQ(j["value"], e2e::Appel("SysEspace", {2})["value"]);
}

TEST(SystemE2E, ProcessObjectsThroughTheirClassEntries) {
    auto& s = e2e::Session();
    json j = s.Traite(json{{"new", "Processus"}});
    ASSERT_TRUE(j["error"].is_null()) << j.dump();
    const int64_t nId = j["value"].get<int64_t>();
    json j2 = s.Traite(json{{"new", "Process"}});
    ASSERT_TRUE(j2["error"].is_null()) << j2.dump();
    EXPECT_NE(j2["value"], j["value"]);
    struct {
        const char* pszNom;
        json jEcrit;    // null: read only
        json jLu;       // what is read back (null: the property is not readable)
        int nType;
    } const tab[] = {
        {"Exécutable", "\"/opt/my app/run\" -x y", "/opt/my app/run", 0x10},
        {"Executable", "/bin/prog arg", "/bin/prog", 0x10},
        {"LigneCommande", "/bin/prog -a \"b c\"", "/bin/prog -a \"b c\"", 0x10},
        {"CommandLine", "x", "x", 0x10},
        {"ValeurDeRetour", 7, 7, 0x08},
        {"ReturnValue", -1, -1, 0x08},
        {"PID", 1234, 0, 0x08},   // read only: the value stays
        {"LoginExécution", "user", "user", 0x10},
        {"ExecutionInteractive", true, true, 0x01},
        {"RépertoireDeTravail", "/tmp/été", "/tmp/été", 0x10},
        {"ComputerName", "box", "box", 0x12},
        {"ExécutionEnCours", nullptr, false, 0x01},
        {"MotDePasseExécution", "secret", nullptr, 0},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(c.pszNom);
        if (!c.jEcrit.is_null()) {
            json jE = s.Traite(json{{"prop", c.pszNom}, {"object", nId}, {"value", c.jEcrit}});
            EXPECT_TRUE(jE["error"].is_null()) << jE.dump();
        }
        json jL = s.Traite(json{{"prop", c.pszNom}, {"object", nId}});
        if (c.jLu.is_null()) {
            EXPECT_FALSE(jL["error"].is_null()) << jL.dump();   // no getter
            continue;
        }
        EXPECT_TRUE(jL["error"].is_null()) << jL.dump();
        EXPECT_EQ(jL["value"], c.jLu);
        EXPECT_EQ(jL["type"], c.nType);
    }
    // The running mark has no setter; unknown names and objects are refused.
    EXPECT_FALSE(s.Traite(json{{"prop", "ExecutionInProgress"}, {"object", nId}, {"value", true}})["error"].is_null());
    EXPECT_FALSE(s.Traite(json{{"prop", "Nothing"}, {"object", nId}})["error"].is_null());
    EXPECT_FALSE(s.Traite(json{{"prop", "PID"}, {"object", 9999}})["error"].is_null());
    EXPECT_FALSE(s.Traite(json{{"new", "NoClass"}})["error"].is_null());
    // Objects are separate.
    EXPECT_EQ(s.Traite(json{{"prop", "CommandLine"}, {"object", j2["value"]}})["value"], "");
}

TEST(SystemE2E, ParameterPersistence) {
    CRepTemporaire clRep("persist_e2e");
    ASSERT_TRUE(clRep.bOk());
    const std::string sFichier = clRep.sChemin("app.ini");
    auto& s = e2e::Session();
    auto fnSauve = [&](const char* pszChemin, const char* pszNom, const std::string& sValeur) {
        return s.Traite(json{{"persist", "save"}, {"file", sFichier}, {"path", pszChemin}, {"name", pszNom}, {"value", sValeur}});
    };
    auto fnCharge = [&](const char* pszChemin, const char* pszNom, const char* pszDefaut) {
        return s.Traite(json{{"persist", "load"}, {"file", sFichier}, {"path", pszChemin}, {"name", pszNom}, {"default", pszDefaut}});
    };
    struct {
        const char* pszChemin;
        const char* pszNom;
        std::string sValeur;
    } const tab[] = {
        {"\\Options\\Fenêtre principale", "title", "a b"},
        {"\\Options", "path", "C:\\dir\\"},
        {"Config", "lines", "one\r\ntwo\tthree"},
        {"Config\\Sub", "k", "sub"},
        {"Configuration", "k", "kept"},
        {"", "g", std::string(100000, 'z')},
    };
    for (const auto& c : tab) {
        json j = fnSauve(c.pszChemin, c.pszNom, c.sValeur);
        EXPECT_EQ(j["value"], true) << j.dump();
    }
    for (const auto& c : tab) EXPECT_EQ(fnCharge(c.pszChemin, c.pszNom, "dflt")["value"], c.sValeur) << c.pszNom;
    EXPECT_NE(TEST_LitFichier(sFichier).find("[Options_Fen\xEAtre_principale]\ntitle = a\\_b\n"), std::string::npos);
    EXPECT_EQ(fnCharge("\\Config", "missing", "d e")["value"], "d e");
    // Deleting: a parameter, a path with its sub-paths, an empty name refused.
    json j = s.Traite(json{{"persist", "delete"}, {"file", sFichier}, {"path", "\\Options"}, {"name", "path"}});
    EXPECT_EQ(j["value"], true) << j.dump();
    EXPECT_EQ(fnCharge("\\Options", "path", "gone")["value"], "gone");
    j = s.Traite(json{{"persist", "delete"}, {"file", sFichier}, {"path", "\\Options"}, {"name", ""}});
    EXPECT_EQ(j["value"], false);
    EXPECT_EQ(j["error"]["code"], 80800);
    j = s.Traite(json{{"persist", "deletepath"}, {"file", sFichier}, {"path", "Config"}});
    EXPECT_EQ(j["value"], true) << j.dump();
    EXPECT_EQ(fnCharge("Config\\Sub", "k", "gone")["value"], "gone");
    EXPECT_EQ(fnCharge("Configuration", "k", "gone")["value"], "kept");
    j = s.Traite(json{{"persist", "deletepath"}, {"file", sFichier}, {"path", "Global"}});
    EXPECT_EQ(j["value"], true);
    EXPECT_NE(access(sFichier.c_str(), F_OK), 0);
    // Without a project object there is no file to use.
    j = s.Traite(json{{"persist", "save"}, {"path", "P"}, {"name", "k"}, {"value", "v"}});
    EXPECT_EQ(j["value"], false);
    j = s.Traite(json{{"persist", "load"}, {"path", "P"}, {"name", "k"}});
    EXPECT_TRUE(j["value"].is_null());
}

// Services against their own root.
class ServicesE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_clRep.bOk());
        m_sRacine = m_clRep.sChemin("root");
        for (const char* psz : {"", "/etc", "/etc/init.d"}) mkdir((m_sRacine + psz).c_str(), 0755);
        TEST_EcritFichier(m_sRacine + "/etc/debian_version", "12\n");
        const std::string sOutils = m_clRep.sChemin("bin");
        mkdir(sOutils.c_str(), 0755);
        m_sJournal = m_clRep.sChemin("journal");
        TEST_EcritFichier(sOutils + "/update-rc.d", "#!/bin/sh\nprintf '%s\\n' update-rc.d \"$@\" >> '" + m_sJournal + "'\n", 0755);
        // A service whose state is a file: running while the file exists.
        const std::string sEtat = m_clRep.sChemin("running");
        TEST_EcritFichier(m_sRacine + "/etc/init.d/stubsvc",
              "#!/bin/sh\n# Program=\"/opt/stub\" Name=\"Stub service\" \n"
              "case \"$1\" in\n"
              "start) shift; printf '%s\\n' \"$@\" > '" + m_clRep.sChemin("args") + "'; touch '" + sEtat + "' ;;\n"
              "stop) rm -f '" + sEtat + "' ;;\n"
              "status) [ -f '" + sEtat + "' ] && exit 0; exit 3 ;;\n"
              "reload) exit 0 ;;\n"
              "*) exit 2 ;;\n"
              "esac\n",
              0755);
        TEST_EcritFichier(m_sRacine + "/etc/init.d/eight", "#!/bin/sh\n[ \"$1\" = status ] && exit 1\nexit 0\n", 0755);
        const char* pszPath = getenv("PATH");
        m_sAncienPath = pszPath ? pszPath : "";
        setenv("PATH", (sOutils + ":" + m_sAncienPath).c_str(), 1);
        setenv("QV_RACINE_SERVICES", m_sRacine.c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", m_sAncienPath.c_str(), 1);
        unsetenv("QV_RACINE_SERVICES");
    }

    CRepTemporaire m_clRep{"services_e2e"};
    std::string m_sRacine, m_sJournal, m_sAncienPath;
};

TEST_F(ServicesE2E, EveryServiceFunction) {
    Verifie({
        {"ServiceExiste", "ServiceExiste", {"STUBSVC"}, true},
        {"ServiceExiste", "ServiceExiste", {"none", "machine"}, false},
        {"ServiceEtat", "ServiceStatus", {"stubsvc"}, 1},
        {"ServiceDémarre", "ServiceStart", {"stubsvc"}, true},
        {"ServiceEtat", "ServiceStatus", {"stubsvc", "machine"}, 4},
        {"ServiceAttendEtat", "ServiceWaitStatus", {"stubsvc", 4}, 4},
        // No wait and another state: not the state asked for.
        {"ServiceAttendEtat", "ServiceWaitStatus", {"stubsvc", 1}, -1},
        {"ServiceAttendEtat", "ServiceWaitStatus", {"stubsvc", 4, 3, "machine"}, 4},
        {"ServiceActualise", "ServiceRefresh", {"stubsvc"}, true},
        {"ServiceContrôle", "ServiceControl", {"stubsvc", 6}, true},
        {"ServiceContrôle", "ServiceControl", {"stubsvc", 2}, false, 81602},
        {"ServicePause", "ServicePause", {"stubsvc"}, false, 81602},
        {"ServiceRelance", "ServiceContinue", {"stubsvc"}, false, 81602},
        {"ServiceRedémarre", "ServiceRestart", {"stubsvc"}, true},
        {"ServiceEtat", "ServiceStatus", {"stubsvc"}, 4},
        {"ServiceArrête", "ServiceStop", {"stubsvc"}, true},
        {"ServiceEtat", "ServiceStatus", {"stubsvc"}, 1},
        {"ServiceEtat", "ServiceStatus", {"eight"}, 8},
        {"ServiceEtat", "ServiceStatus", {"missing"}, -1, 81601},
        {"ServiceDémarre", "ServiceStart", {"missing"}, false, 81601},
        {"ServiceArrête", "ServiceStop", {"bad;name"}, false, 81601},
        {"ServiceInfo", "ServiceInfo", {"stubsvc"}, false},
        {"ServiceModifie", "ServiceModify", {"stubsvc"}, false},
    });
    // Start arguments reach the script as words, quotes removed.
    json j = e2e::Appel("ServiceDémarre", {"stubsvc", "a \"b c\" $(x)"});
    EXPECT_EQ(j["value"], true) << j.dump();
    EXPECT_EQ(TEST_LitFichier(m_clRep.sChemin("args")), "a\nb c\n$(x)\n");
    e2e::Appel("ServiceArrête", {"stubsvc"});
    const std::string sListe = e2e::Appel("ServiceListe", {})["value"].get<std::string>();
    EXPECT_NE(sListe.find("stubsvc\tStub service"), std::string::npos) << sListe;
    EXPECT_NE(sListe.find("eight\teight"), std::string::npos) << sListe;
    EXPECT_EQ(sListe.find("\r\n", sListe.size() - 2), std::string::npos);
}

TEST_F(ServicesE2E, InstallAndUninstall) {
    auto& s = e2e::Session();
    for (const auto& [pszVar, jValeur] : std::vector<std::pair<const char*, json>>{
             {"Service.Description", "My app"},
             {"Service.LigneCommande", "\"/nonexistent/my prog\" -x \"y z\""},
             {"Service.Démarrage", 2}}) {
        json j = s.Traite(json{{"set", pszVar}, {"value", jValeur}});
        ASSERT_TRUE(j["error"].is_null()) << j.dump();
    }
    json j = e2e::Appel("ServiceInstalle", {"my app.old"});
    EXPECT_EQ(j["value"], true) << j.dump();
    const std::string sScript = m_sRacine + "/etc/init.d/my_app-old";
    const std::string sTexte = TEST_LitFichier(sScript);
    EXPECT_NE(sTexte.find("# Program=\"/nonexistent/my prog\" Name=\"My app\" \n"), std::string::npos) << sTexte;
    EXPECT_NE(sTexte.find("-- '-x' 'y z' '--SERVICE' \"$NAME\""), std::string::npos) << sTexte;
    EXPECT_EQ(TEST_LitFichier(m_sJournal), "update-rc.d\nmy_app-old\ndefaults\n");
    const std::string sListe = e2e::Appel("ServiceListe", {})["value"].get<std::string>();
    EXPECT_NE(sListe.find("my_app-old\tMy app"), std::string::npos) << sListe;
    // A name that cannot be a script name installs nothing.
    j = e2e::Appel("ServiceInstalle", {"x; touch y"});
    EXPECT_EQ(j["value"], false);
    EXPECT_EQ(j["error"]["code"], 81607);
    j = e2e::Appel("ServiceDésinstalle", {"my app.old"});
    EXPECT_EQ(j["value"], true) << j.dump();
    EXPECT_NE(access(sScript.c_str(), F_OK), 0);
    EXPECT_EQ(TEST_LitFichier(m_sJournal), "update-rc.d\nmy_app-old\ndefaults\nupdate-rc.d\n-f\nmy_app-old\nremove\n");
    j = e2e::Appel("ServiceDésinstalle", {"my app.old"});
    EXPECT_EQ(j["error"]["code"], 81601);
    for (const char* pszVar : {"Service.Description", "Service.LigneCommande"}) s.Traite(json{{"set", pszVar}, {"value", ""}});
    s.Traite(json{{"set", "Service.Démarrage"}, {"value", 0}});
}

}  // namespace
