// The execution link: the module's channel back to the host's "Execution"
// callback, one per process.
#pragma once
#include <cstdint>

#include "qvstd/exports.h"

class CBaseExecutionDLL {
public:
    // Answers of the host, read once at the first initialisation.
    struct STInfos {
        intptr_t nCodeProduitExecution = 0;
        intptr_t nCodeProduitReel = 0;
        intptr_t nLangue = 0;
        intptr_t nNomProduit = 0;   // address of a text
        intptr_t nOptions = 0;
        intptr_t nLibShop = 0;
        intptr_t nFabriqueGlobale = 0;
        intptr_t nCollecteurTopologie = 0;
        intptr_t nVersionActive = 0;
    };

    static int s_nInit(const STInitExecution* pstBloc);
    static int s_nFinNormale();
    static void s_TermineDLL();
    static CBaseExecutionDLL* s_pclGet() { return ms_pclLien; }
    static void s_Forward(int nCode, intptr_t nArgument);

    const STInfos& GetInfos() const { return m_stInfos; }
    int nGetInitCount() const { return m_nInit; }
    intptr_t nQuery(int nSousCode);
    bool bUtiliseCodeGere() { return nQuery(6) != 0; }
    bool bModeSmartphone() { return nQuery(11) != 0; }
    int nExtendedTypes(void* pclErreur);

private:
    bool bInitialise();

    static CBaseExecutionDLL* ms_pclLien;

    void* m_hModuleHote = nullptr;
    PFN_HostExecution m_pfnHote = nullptr;
    bool m_bTermine = false;
    int m_nInit = 0;
    intptr_t m_nParam1 = 0;
    intptr_t m_nParam2 = 0;
    STInfos m_stInfos;
};
