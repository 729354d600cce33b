// The plain functions the host calls to start, describe and stop the module.
#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "component/compo.h"
#include "component/execlink.h"
#include "platform/export.h"
#include "runtime/language.h"
#include "component/library_module.h"
#include "component/tables.h"

namespace {

struct STEtatModule {
    void* hInstance = nullptr;
    int nLangueObsolete = 0;
    char* pszFichierLangue = nullptr;
    bool bSignauxInstalles = false;
    struct sigaction stAncienChld {};
    struct sigaction stAncienAlrm {};
    int nAlphabet = 0;
    void* piInfoAlphabet = nullptr;
};
STEtatModule s_stModule;

void GestionnaireAlarme(int) {}

// Launched programs must not stay zombies. Reaps only the child the signal
// names, without blocking, so that reads and waits elsewhere in the process
// keep working; a handler that was there before us is called first.
void GestionnaireChld(int nSignal, siginfo_t* pstInfo, void* pContexte) {
    int nErrno = errno;
    const struct sigaction& st = s_stModule.stAncienChld;
    if (st.sa_flags & SA_SIGINFO) {
        if (st.sa_sigaction != nullptr) st.sa_sigaction(nSignal, pstInfo, pContexte);
    } else if (st.sa_handler != SIG_DFL && st.sa_handler != SIG_IGN && st.sa_handler != nullptr) {
        st.sa_handler(nSignal);
    }
    if (pstInfo != nullptr && pstInfo->si_pid > 0) {
        int nStatus;
        while (waitpid(pstInfo->si_pid, &nStatus, WNOHANG) < 0 && errno == EINTR) {
        }
    }
    errno = nErrno;
}

void InstalleSignaux() {
    struct sigaction st {};
    sigemptyset(&st.sa_mask);
    st.sa_handler = GestionnaireAlarme;
    st.sa_flags = 0;   // no SA_RESTART: an alarm cuts a wait into one-second steps
    sigaction(SIGALRM, &st, &s_stModule.stAncienAlrm);

    struct sigaction stChld {};
    sigemptyset(&stChld.sa_mask);
    stChld.sa_sigaction = GestionnaireChld;
    stChld.sa_flags = SA_SIGINFO | SA_NOCLDSTOP | SA_RESTART;
    sigaction(SIGCHLD, &stChld, &s_stModule.stAncienChld);
    s_stModule.bSignauxInstalles = true;
}

bool bRestaureSignaux() {
    if (!s_stModule.bSignauxInstalles) return false;
    s_stModule.bSignauxInstalles = false;
    sigaction(SIGALRM, &s_stModule.stAncienAlrm, nullptr);
    return sigaction(SIGCHLD, &s_stModule.stAncienChld, nullptr) == 0;
}

}  // namespace

void COMPO_SetLanguageObsolete(int nLangue, const char* pszFichier) {
    if (pszFichier == nullptr) {
        s_stModule.nLangueObsolete = nLangue;
        return;
    }
    // A file name is kept only when it differs from the kept one in its first
    // three characters.
    const char* pszAncien = s_stModule.pszFichierLangue;
    if (pszAncien != nullptr && strncmp(pszAncien, pszFichier, 3) == 0) return;
    char* pszCopie = strdup(pszFichier);
    if (pszCopie == nullptr) return;
    free(s_stModule.pszFichierLangue);
    s_stModule.pszFichierLangue = pszCopie;
}

void COMPO_ChangeAlphabet(int nAlphabet, void* pTable, void* piInfoAlphabet) {
    s_stModule.nAlphabet = nAlphabet;
    if (piInfoAlphabet != nullptr) s_stModule.piInfoAlphabet = piInfoAlphabet;
    PLATFORM_ChangeAlphabet(nAlphabet, pTable, piInfoAlphabet);
}

intptr_t COMPO_nInfoComposante(int nCode, intptr_t nArgument) {
    switch (nCode) {
        case 0: return 9;
        case 1: return 8;
        case 2: return 733;
        case 3: return 1;
        case 4: return reinterpret_cast<intptr_t>(gpszFichierAide[nArgument == 0 ? 0 : 1]);
        case 13: return 0;
        case 23: return reinterpret_cast<intptr_t>(gstTabConstante);
        case 24: return NB_CONSTANTES;
        case 25: return reinterpret_cast<intptr_t>(gstTabVariable);
        case 26: return NB_VARIABLES;
        case 29: return reinterpret_cast<intptr_t>(gpstTabClasse);
        case 30: return NB_CLASSES;
        case 31: return reinterpret_cast<intptr_t>(gstTabTypeRef);
        case 32: return NB_TYPEREFS;
        case 33: return reinterpret_cast<intptr_t>(gstTabFonction);
        case 34: return NB_FONCTIONS;
        case 35: return 0;
        default: return 0;
    }
}

extern "C" {

QV_EXPORT int bInitLibrary(void* hInstance) {
    DLLRES_Init();
    InstalleSignaux();
    s_stModule.hInstance = hInstance;
    s_stModule.nLangueObsolete = 0;
    free(s_stModule.pszFichierLangue);
    s_stModule.pszFichierLangue = nullptr;
    STRMEM_bInitModule();
    return 1;
}

QV_EXPORT int TermLibrary() {
    CBaseExecutionDLL::s_TermineDLL();
    STRMEM_TermModule();
    free(s_stModule.pszFichierLangue);
    s_stModule.pszFichierLangue = nullptr;
    DLLRES_Term();
    return bRestaureSignaux() ? 1 : 0;
}

QV_EXPORT intptr_t InfoComposante(int nCode, intptr_t nArgument) { return COMPO_nInfoComposante(nCode, nArgument); }

QV_EXPORT intptr_t CommandeComposante(int nCode, intptr_t nArgument) {
    switch (nCode) {
        case 2:
            DLLRES_SetHostLoader(reinterpret_cast<PFN_ChargeMessage>(nArgument));
            return 2;
        case 3: {
            auto* pst = reinterpret_cast<STChargeMessage*>(nArgument);
            if (pst == nullptr) return 0;
            pst->nResultat = DLLRES_nLoadString(pst->nMessage, pst->pszBuffer, pst->nTaille);
            return pst->nResultat;
        }
        default:
            return nCode;
    }
}

QV_EXPORT int GeneralParam(int nCode, intptr_t nValeur) {
    switch (nCode) {
        case 2005:
        case 2006:
        case 2008:
            return STRMEM_nGeneralParam(nCode, nValeur);
        default:
            return 0;
    }
}

QV_EXPORT void DeclareProxy(void** ppExport, int* pnExport, void** ppImport, int* pnImport) {
    if (ppExport) *ppExport = nullptr;
    if (pnExport) *pnExport = 0;
    if (ppImport) *ppImport = nullptr;
    if (pnImport) *pnImport = 0;
}

QV_EXPORT void* pQueryProxy(int nCode) {
    if (nCode != 60) return nullptr;
    return static_cast<IZNLibrary*>(new CComposanteStandard());
}

QV_EXPORT intptr_t Execution(int nCode, intptr_t nArgument) {
    switch (nCode) {
        case 3985:
            return CBaseExecutionDLL::s_nInit(reinterpret_cast<const STInitExecution*>(nArgument));
        case 4875:
            return CBaseExecutionDLL::s_nFinNormale();
        case 4876:
        case 4877: {
            auto* pst = reinterpret_cast<STChangeAlphabet*>(nArgument);
            if (pst == nullptr) return 1;
            COMPO_ChangeAlphabet(pst->nAlphabet, pst->pTableCaracteres, nCode == 4877 ? pst->piInfoAlphabet : nullptr);
            CBaseExecutionDLL::s_Forward(nCode, nArgument);
            return 1;
        }
        case 4963: {
            CBaseExecutionDLL* pcl = CBaseExecutionDLL::s_pclGet();
            return pcl != nullptr ? pcl->nExtendedTypes(reinterpret_cast<void*>(nArgument)) : 1;
        }
        case 5123:
            qvstd::SetInterfaceLanguage(static_cast<int>(nArgument));
            CBaseExecutionDLL::s_Forward(nCode, nArgument);
            return 1;
        case 5238:
            return nArgument != 0 ? 1 : 0;
        default:
            return 0;
    }
}

}  // extern "C"
