// The exported library functions and the library object, in-process.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <map>
#include <string>

#include "component/compo.h"
#include "memzone/zonememoire.h"
#include "component/execlink.h"
#include "runtime/language.h"
#include "component/tables.h"
#include "fake_host.h"
#include "qvstd/exports.h"

extern "C" {
int bInitLibrary(void*);
int TermLibrary();
intptr_t CommandeComposante(int, intptr_t);
int GeneralParam(int, intptr_t);
void DeclareProxy(void**, int*, void**, int*);
void* pQueryProxy(int);
intptr_t Execution(int, intptr_t);
int DLN_bInitTableNom(STDLNTable*);
STDLNTable* DLN_pstGetPtr();
const char* DLN_pszGetName(int);
const char* DLN_pszGetVersion(int);
const char* DLN_pszSetVersion(int, const char*);
int DLN_bGetErreur(int*, int*);
int DLN_bSetErreur(int, int);
}

namespace {

const STFonction* FindRow(const char* pszFr) {
    for (const STFonction& st : gstTabFonction)
        if (strcmp(st.pszNom[0], pszFr) == 0) return &st;
    return nullptr;
}

// Calls overload n of a row the way the host does, with integer arguments.
CRecordingHost::STResultat Call(IZNLibrary* pclLib, const char* pszFr, int n, std::initializer_list<int32_t> args,
                                int* pnRetour = nullptr) {
    CRecordingHost host;
    std::vector<int32_t> valeurs(args);
    std::vector<void*> pointeurs;
    for (int32_t& v : valeurs) pointeurs.push_back(&v);
    STZNAppel st{&host, 0, 0, nullptr, static_cast<uint32_t>(valeurs.size())};
    const STFonction* row = FindRow(pszFr);
    EXPECT_NE(row, nullptr) << pszFr;
    if (row == nullptr) return {};
    STZNAppel* pstAncien = pclLib->ChangeContexteAppel(&st);
    int nRetour = row->pstSyntaxes[n].pfnEntree(&st, pclLib, pointeurs.data());
    pclLib->ChangeContexteAppel(pstAncien);
    if (pnRetour) *pnRetour = nRetour;
    EXPECT_EQ(host.tabResultats.size(), 1u) << pszFr;
    return host.tabResultats.empty() ? CRecordingHost::STResultat{} : host.tabResultats[0];
}

struct LibraryObject {
    IZNLibrary* pcl = static_cast<IZNLibrary*>(pQueryProxy(60));
    ~LibraryObject() { pcl->Release(); }
    CComposanteStandard* Std() { return static_cast<CComposanteStandard*>(pcl); }
};

}  // namespace

TEST(Library, CommandeComposante) {
    EXPECT_EQ(CommandeComposante(7, 1234), 7);
    EXPECT_EQ(CommandeComposante(0, 0), 0);
    EXPECT_EQ(CommandeComposante(3, 0), 0);   // no block
}

TEST(Library, GeneralParamAnswersOnlyItsCodes) {
    EXPECT_EQ(GeneralParam(1234, 0), 0);
    EXPECT_EQ(GeneralParam(2007, 0), 0);
}

TEST(Library, DeclareProxyWritesNullTables) {
    void* pExport = this;
    void* pImport = this;
    int nExport = 5, nImport = 5;
    DeclareProxy(&pExport, &nExport, &pImport, &nImport);
    EXPECT_EQ(pExport, nullptr);
    EXPECT_EQ(pImport, nullptr);
    EXPECT_EQ(nExport, 0);
    EXPECT_EQ(nImport, 0);
}

TEST(Library, QueryProxyCreatesTheLibraryObjectOnlyFor60) {
    EXPECT_EQ(pQueryProxy(1), nullptr);
    EXPECT_EQ(pQueryProxy(0), nullptr);
    LibraryObject lib;
    ASSERT_NE(lib.pcl, nullptr);
    EXPECT_EQ(lib.pcl->nGetVersion(), 7);
    EXPECT_EQ(lib.pcl->nGetCompatSince(), 2);
    EXPECT_EQ(lib.pcl->nGetDllNum(), 8);
    EXPECT_EQ(lib.pcl->nGetLibraryId(), 8);
    EXPECT_EQ(lib.pcl->nGetVersionZN(), 733);
    EXPECT_EQ(lib.pcl->nGetVersionZNCompat(), 1);
    EXPECT_EQ(lib.pcl->pQueryProxy(2), nullptr);
    // Code 1: a memory-zone object of its own, which goes with its release.
    auto* pclZones = static_cast<CZoneMemoire*>(lib.pcl->pQueryProxy(1));
    ASSERT_NE(pclZones, nullptr);
    EXPECT_EQ(pclZones->nGetDllNum(), 8);
    EXPECT_EQ(pclZones->Release(), 0);
    EXPECT_EQ(lib.pcl->dwActionGenerique(), 0u);
    EXPECT_EQ(lib.pcl->InfoComposante(34, 0), 423);
    ASSERT_NE(lib.pcl->pclGetError(), nullptr);
    EXPECT_FALSE(lib.pcl->pclGetError()->bIsError());
    void* p = this;
    int n = 3;
    lib.pcl->GetExportTable_OBSOLETE(&p, &n);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(n, 0);
}

TEST(Library, SummaryFollowsTheInterfaceLanguageAndFitsTheBuffer) {
    LibraryObject lib;
    int nAncienne = qvstd::nGetInterfaceLanguage();
    char sz[64];
    Execution(5123, 12);
    lib.pcl->GetResume(sz, sizeof sz);
    EXPECT_STREQ(sz, "Fonctions standard");
    Execution(5123, 9);
    lib.pcl->GetResume(sz, sizeof sz);
    EXPECT_STREQ(sz, "Standard functions");
    lib.pcl->GetResume(sz, 5);
    EXPECT_STREQ(sz, "Stan");
    memset(sz, 'x', sizeof sz);
    lib.pcl->GetResume(sz, 0);   // nothing written
    EXPECT_EQ(sz[0], 'x');
    lib.pcl->GetDescription(sz, sizeof sz);
    EXPECT_STREQ(sz, "");
    Execution(5123, nAncienne);
}

TEST(Library, ExecutionCodes) {
    EXPECT_EQ(Execution(99, 0), 0);
    EXPECT_EQ(Execution(4963, 0), 1);
    EXPECT_EQ(Execution(5238, 0), 0);
    EXPECT_EQ(Execution(3985, 0), 0);
}

TEST(Library, FailedExecutionLinkLeavesNoCallback) {
    // A host module without an "Execution" symbol: the link fails and keeps
    // nothing to call at the end.
    void* hLibc = dlopen("libc.so.6", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(hLibc, nullptr);
    STInitExecution st{0, hLibc, 0, 0};
    EXPECT_EQ(Execution(3985, reinterpret_cast<intptr_t>(&st)), 0);
    EXPECT_EQ(Execution(3985, reinterpret_cast<intptr_t>(&st)), 0);   // not retried
    CBaseExecutionDLL::s_TermineDLL();
    EXPECT_EQ(CBaseExecutionDLL::s_pclGet(), nullptr);
    EXPECT_EQ(Execution(4875, 0), 1);
    dlclose(hLibc);
}

TEST(Library, ModuleNamesWithoutATable) {
    ASSERT_EQ(DLN_pstGetPtr(), nullptr);
    EXPECT_STREQ(DLN_pszGetName(10), "QV551STD.DLL");
    EXPECT_STRNE(DLN_pszGetName(0), "");
    EXPECT_STRNE(DLN_pszGetName(17), "");
    for (int n : {-1, 18, INT_MIN, INT_MAX}) EXPECT_STREQ(DLN_pszGetName(n), "") << n;
    EXPECT_STREQ(DLN_pszGetVersion(0), "");
    EXPECT_STREQ(DLN_pszSetVersion(0, "1.0"), "");
    int nCode = -1, nSous = -1;
    EXPECT_EQ(DLN_bGetErreur(&nCode, &nSous), 0);
    EXPECT_EQ(DLN_bSetErreur(1, 2), 0);
}

TEST(Library, ModuleNamesWithAHostTable) {
    STDLNRow rows[2] = {{"A.SO", "1.00"}, {"B.SO", "2.00"}};
    STDLNTable table{rows, 2, 0, 0};
    DLN_bInitTableNom(&table);
    EXPECT_EQ(DLN_pstGetPtr(), &table);
    EXPECT_STREQ(DLN_pszGetName(1), "B.SO");
    EXPECT_STREQ(DLN_pszGetVersion(0), "1.00");
    EXPECT_STREQ(DLN_pszSetVersion(1, "123456789ABC"), "12345678");
    EXPECT_STREQ(rows[1].szVersion, "12345678");
    for (int n : {-1, 2, INT_MIN}) {
        EXPECT_STREQ(DLN_pszGetName(n), "") << n;
        EXPECT_STREQ(DLN_pszGetVersion(n), "") << n;
        EXPECT_STREQ(DLN_pszSetVersion(n, "x"), "") << n;
    }
    EXPECT_EQ(DLN_bSetErreur(5, 6), 1);
    int nCode = 0, nSous = 0;
    EXPECT_EQ(DLN_bGetErreur(&nCode, &nSous), 1);
    EXPECT_EQ(nCode, 5);
    EXPECT_EQ(nSous, 6);
    DLN_bInitTableNom(nullptr);
}

TEST(LibraryObject, FrameWordGivesTheArgumentCount) {
    LibraryObject lib;
    STZNAppel st{nullptr, 0, 0, nullptr, 0x00010003};
    EXPECT_EQ(lib.pcl->ChangeContexteAppel(&st), nullptr);
    EXPECT_EQ(lib.Std()->wGetNbParam(), 3);
    EXPECT_EQ(lib.pcl->ChangeContexteAppel(nullptr), &st);
    EXPECT_EQ(lib.Std()->wGetNbParam(), 0);
}

TEST(LibraryObject, VariablesWithAndWithoutStorage) {
    LibraryObject lib;
    for (uint32_t nId : {1u, 6u, 38u, 46u, 0u, 55u}) {
        STZNAppel st{nullptr, 0, nId, nullptr, 0};
        EXPECT_EQ(lib.pcl->pRecupereAdresseVariable(&st), nullptr) << nId;
    }
    for (uint32_t nId = 39; nId <= 54; ++nId) {
        if (nId == 46) continue;
        STZNAppel st{nullptr, 0, nId, nullptr, 0};
        EXPECT_NE(lib.pcl->pRecupereAdresseVariable(&st), nullptr) << nId;
    }
}

TEST(LibraryObject, WritingTheNumberOfActionsResizesBothArrays) {
    LibraryObject lib;
    auto& sv = lib.Std()->GetServiceVariables();
    struct {
        int32_t nValeur;
        int32_t nAttendu;
    } const tab[] = {{3, 3}, {1, 1}, {25, 25}, {0, 0}, {-7, 0}, {2, 2}};
    for (const auto& c : tab) {
        STZNAppel stAdr{nullptr, 0, 54, nullptr, 0};
        auto* pn = static_cast<int32_t*>(lib.pcl->pRecupereAdresseVariable(&stAdr));
        ASSERT_NE(pn, nullptr);
        *pn = c.nValeur;
        STZNAppel st{nullptr, 0, 54, pn, 0};
        EXPECT_EQ(lib.pcl->bSignaleEcritureVariable(&st), 1);
        EXPECT_EQ(sv.tabAction.nGetNb(), c.nAttendu) << c.nValeur;
        EXPECT_EQ(sv.tabDelai.nGetNb(), c.nAttendu) << c.nValeur;
    }
    // Writing another variable leaves the arrays alone.
    int32_t n = 9;
    STZNAppel st{nullptr, 0, 40, &n, 0};
    EXPECT_EQ(lib.pcl->bSignaleEcritureVariable(&st), 1);
    EXPECT_EQ(sv.tabAction.nGetNb(), 2);
}

TEST(LibraryObject, FinInitEmptiesTheServiceVariables) {
    LibraryObject lib;
    auto& sv = lib.Std()->GetServiceVariables();
    sv.nDemarrage = 4;
    sv.bDemarrageRetarde = 1;
    sv.tabAction.bSetNb(5);
    EXPECT_EQ(lib.pcl->bFinInitZNL(), 1);
    EXPECT_EQ(sv.nDemarrage, 0);
    EXPECT_EQ(sv.bDemarrageRetarde, 0);
    EXPECT_EQ(sv.tabAction.nGetNb(), 0);
    lib.pcl->TermZNL();
}

TEST(LibraryObject, ErrorOperations) {
    LibraryObject lib;
    CComposanteStandard* pcl = lib.Std();
    pcl->RaiseError(80014);
    EXPECT_TRUE(pcl->pclGetError()->bIsError());
    EXPECT_EQ(pcl->pclGetError()->nGetUserError(), 80014);
    EXPECT_STRNE(pcl->pclGetError()->pszGetUserMessage(), "");
    pcl->RAZError();
    EXPECT_FALSE(pcl->pclGetError()->bIsError());
    EXPECT_STREQ(pcl->pclGetError()->pszGetUserMessage(), "");

    CXError clAutre;
    clAutre.SetUserError(80200, "autre", EL_ERROR);
    pcl->RaiseErrorCopy(&clAutre);
    EXPECT_EQ(pcl->pclGetError()->nGetUserError(), 80200);
    EXPECT_TRUE(clAutre.bIsError());   // a copy leaves the source
    pcl->RaiseError(&clAutre);         // a move empties it
    EXPECT_EQ(pcl->pclGetError()->nGetUserError(), 80200);
    EXPECT_STREQ(pcl->pclGetError()->pszGetUserMessage(), "autre");
    EXPECT_FALSE(clAutre.bIsError());
    pcl->RaiseError(static_cast<CXError*>(nullptr));
    EXPECT_FALSE(pcl->pclGetError()->bIsError());
}

TEST(LibraryObject, CheckIsRoot) {
    LibraryObject lib;
    bool bRoot = geteuid() == 0;
    EXPECT_EQ(lib.Std()->_bCheckIsRoot(), bRoot);
    EXPECT_EQ(lib.pcl->pclGetError()->bIsError(), !bRoot);
    if (!bRoot) { EXPECT_EQ(lib.pcl->pclGetError()->nGetUserError(), 80014); }
}

TEST(LibraryObject, ReleaseOfNullIsHarmless) {
    IZNLibrary* pcl = nullptr;
    if (pcl != nullptr) pcl->Release();
    SUCCEED();
}

TEST(FirstFunctions, EvenOddAndTheRoulette) {
    LibraryObject lib;
    struct {
        int32_t n;
        bool bPair;
    } const tab[] = {{0, true}, {-1, false}, {4, true}, {-3, false}, {-4, true}, {INT_MIN, true}, {INT_MAX, false}};
    for (const auto& c : tab) {
        auto r = Call(lib.pcl, "EstPair", 0, {c.n});
        EXPECT_EQ(r.nType, 0x01);
        EXPECT_EQ(r.nValeur, c.bPair ? 1 : 0) << c.n;
        EXPECT_EQ(r.dwFrame, 1u);
        r = Call(lib.pcl, "EstImpair", 0, {c.n});
        EXPECT_EQ(r.nValeur, c.bPair ? 0 : 1) << c.n;
    }
    for (int32_t n : {7, 0, -1, INT_MAX}) {
        int nRetour = -1;
        auto r = Call(lib.pcl, "ZigouigouiARoulette", 0, {n}, &nRetour);
        EXPECT_EQ(r.nType, 0x08);
        EXPECT_EQ(r.nValeur, 24053);
        EXPECT_EQ(nRetour, 0);
    }
}

TEST(FirstFunctions, OldArchiveFunctionsForwardWithTheirNumber) {
    const std::map<std::string, uint32_t> numeros = {
        {"_zipAjouteFichier_old", 0},      {"_zipAjouteListeFichier_old", 1}, {"_zipAjouteR\351pertoire_old", 2},
        {"_zipChangeChemin_old", 3},       {"_zipChercheFichier_old", 4},     {"_zipCr\351e_old", 5},
        {"_zipCr\351eExe_old", 6},         {"_zipD\351coupe_old", 7},          {"_zipEstMulti_old", 8},
        {"_zipExtraitChemin_old", 9},      {"_zipExtraitFichier_old", 10},    {"_zipExtraitTout_old", 11},
        {"_zipFerme_old", 12},             {"_zipFichierEnCours_old", 13},    {"_zipInfoFichier_old", 14},
        {"_zipListeFichier_old", 15},      {"_zipMsgErreur_old", 16},         {"_zipNbFichier_old", 17},
        {"_zipNbPartie_old", 18},          {"_zipNbPartieN\351cessaire_old", 19}, {"_zipOuvre_old", 20},
        {"_zipRegroupe_old", 21},          {"_zipSupprimeFichier_old", 22},   {"_zipSupprimeListeFichier_old", 23},
        {"_zipSupprimeTout_old", 24},      {"_zipTaille_old", 25},            {"_zipTailleFichier_old", 26},
    };
    EXPECT_EQ(gnNbForward, 27);
    LibraryObject lib;
    int nVus = 0;
    for (const STFonction& row : gstTabFonction) {
        auto it = numeros.find(row.pszNom[0]);
        if (it == numeros.end()) continue;
        ++nVus;
        EXPECT_EQ(row.dwFlags, 0x28001u) << it->first;
        for (uint32_t n = 0; n < (row.dwId >> 24); ++n) {
            CRecordingHost host;
            STZNAppel st{&host, 0, 0, nullptr, 0};
            ASSERT_NE(row.pstSyntaxes[n].pfnEntree, nullptr) << it->first;
            EXPECT_EQ(row.pstSyntaxes[n].pfnEntree(&st, lib.pcl, nullptr), 1);
            EXPECT_EQ(st.nComposanteFwd, 42u);
            EXPECT_EQ(st.nFonctionFwd, it->second) << it->first;
            EXPECT_EQ(lib.pcl->pclGetError()->eGetErrorLevel(), 0x40000010u);
            EXPECT_TRUE(host.tabResultats.empty());
            lib.pcl->pclGetError()->RAZ();
        }
    }
    EXPECT_EQ(nVus, 27);
}

TEST(Callback, FindsRunsAndReleasesTheProcedure) {
    LibraryObject lib;
    CRecordingHost host;
    STZNAppel st{&host, 0, 0, nullptr, 2};
    lib.pcl->ChangeContexteAppel(&st);
    {
        CCallback cb;
        EXPECT_FALSE(cb.bInit("Inconnue", lib.Std(), true));
        EXPECT_TRUE(cb.bInit("ProcTest", lib.Std(), false));
        EXPECT_TRUE(cb.bEmpileTableau(nullptr));
        EXPECT_EQ(cb.nGetNbArgs(), 1);
        EXPECT_TRUE(cb.bExecute(nullptr));
        EXPECT_EQ(cb.nGetNbArgs(), 0);
        EXPECT_EQ(host.nExecute, 1);
    }
    EXPECT_EQ(host.nLibere, 1);
    {
        CCallback cb;   // adopts an existing handle: not released here
        EXPECT_TRUE(cb.bInitThread("ProcTest", lib.Std(), nullptr, &host, &host));
    }
    EXPECT_EQ(host.nLibere, 1);
    EXPECT_STREQ(lib.Std()->pszGetNomTraitementCourant(), "TraitementDeTest");
    lib.pcl->ChangeContexteAppel(nullptr);
}

// --- SIGCHLD -------------------------------------------------------------

namespace {
std::atomic<int> g_nAncienAppels{0};
void AncienGestionnaire(int) { ++g_nAncienAppels; }
}  // namespace

TEST(Signals, ChildHandlerReapsCallsThePreviousOneAndIsRestored) {
    struct sigaction stAvant {};
    sigemptyset(&stAvant.sa_mask);
    stAvant.sa_handler = AncienGestionnaire;
    struct sigaction stSauve {};
    ASSERT_EQ(sigaction(SIGCHLD, &stAvant, &stSauve), 0);

    ASSERT_EQ(bInitLibrary(nullptr), 1);
    struct sigaction stInstalle {};
    sigaction(SIGCHLD, nullptr, &stInstalle);
    EXPECT_TRUE(stInstalle.sa_flags & SA_SIGINFO);
    EXPECT_TRUE(stInstalle.sa_flags & SA_RESTART);
    EXPECT_TRUE(stInstalle.sa_flags & SA_NOCLDSTOP);

    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) _exit(3);
    // The handler reaps it: waiting ourselves eventually finds no child.
    bool bRecolte = false;
    for (int i = 0; i < 500 && !bRecolte; ++i) {
        int nStatus;
        pid_t r = waitpid(pid, &nStatus, WNOHANG);
        if (r < 0 && errno == ECHILD) bRecolte = true;
        else usleep(10000);
    }
    EXPECT_TRUE(bRecolte) << "the child stayed a zombie";
    EXPECT_GE(g_nAncienAppels.load(), 1);

    EXPECT_EQ(TermLibrary(), 1);
    struct sigaction stApres {};
    sigaction(SIGCHLD, nullptr, &stApres);
    EXPECT_EQ(stApres.sa_handler, AncienGestionnaire);
    sigaction(SIGCHLD, &stSauve, nullptr);
}
