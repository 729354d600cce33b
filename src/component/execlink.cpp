#include "component/execlink.h"

#include <dlfcn.h>

#include "core/any.h"

CBaseExecutionDLL* CBaseExecutionDLL::ms_pclLien = nullptr;

intptr_t CBaseExecutionDLL::nQuery(int nSousCode) {
    if (m_pfnHote == nullptr) return 0;
    intptr_t nReponse = 0;
    intptr_t nRes = m_pfnHote(HR_QUERY, nSousCode, &nReponse);
    return nRes != 0 ? nReponse : 0;
}

bool CBaseExecutionDLL::bInitialise() {
    m_stInfos.nCodeProduitExecution = nQuery(1);
    m_stInfos.nCodeProduitReel = nQuery(5);
    m_stInfos.nLangue = nQuery(2);
    m_stInfos.nNomProduit = nQuery(3);
    m_stInfos.nOptions = nQuery(4);
    m_stInfos.nLibShop = nQuery(7);
    m_stInfos.nFabriqueGlobale = nQuery(9);
    m_stInfos.nCollecteurTopologie = nQuery(10);
    intptr_t nVersion = nQuery(8);
    if (nVersion > m_stInfos.nVersionActive) m_stInfos.nVersionActive = nVersion;
    return true;
}

int CBaseExecutionDLL::s_nInit(const STInitExecution* pstBloc) {
    if (pstBloc == nullptr) return 0;
    if (ms_pclLien == nullptr) {
        ms_pclLien = new CBaseExecutionDLL();
        ms_pclLien->m_hModuleHote = pstBloc->hModuleHote;
        // The host's value conversions live in the same module as its
        // callback; variants need them before any conversion.
        if (pstBloc->hModuleHote != nullptr) bInitZNConvFromVM(pstBloc->hModuleHote, 2, 2);
        void* pfn = pstBloc->hModuleHote != nullptr ? dlsym(pstBloc->hModuleHote, "Execution") : nullptr;
        if (pfn == nullptr) return 0;   // the link keeps no callback to call at the end
        ms_pclLien->m_pfnHote = reinterpret_cast<PFN_HostExecution>(pfn);
        if (!ms_pclLien->bInitialise()) {
            ms_pclLien->m_pfnHote = nullptr;
            return 0;
        }
    } else if (ms_pclLien->m_pfnHote == nullptr) {
        return 0;
    }
    ms_pclLien->m_nParam1 = pstBloc->nParam1;
    ms_pclLien->m_nParam2 = pstBloc->nParam2;
    ++ms_pclLien->m_nInit;
    return 1;
}

int CBaseExecutionDLL::s_nFinNormale() {
    if (ms_pclLien == nullptr) return 1;
    if (--ms_pclLien->m_nInit <= 0) {
        ms_pclLien->m_bTermine = true;
        delete ms_pclLien;
        ms_pclLien = nullptr;
    }
    return 1;
}

void CBaseExecutionDLL::s_TermineDLL() {
    if (ms_pclLien == nullptr) return;
    if (!ms_pclLien->m_bTermine && ms_pclLien->m_pfnHote != nullptr) ms_pclLien->m_pfnHote(HR_TERMINE, 0, nullptr);
    delete ms_pclLien;
    ms_pclLien = nullptr;
}

void CBaseExecutionDLL::s_Forward(int, intptr_t) {
    // The host keeps its own copy of the language and the alphabet; nothing
    // of the link depends on them here.
}

int CBaseExecutionDLL::nExtendedTypes(void*) {
    // Extended types need a global factory of version 2 or more, whose
    // interface the module does not use: without one there is nothing to do.
    return 1;
}
