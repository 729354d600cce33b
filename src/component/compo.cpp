#include "component/compo.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "component/library_module.h"
#include "component/tables.h"

namespace {
int s_nInstances = 0;   // library objects initialised in this process
}

CComposanteStandard::CComposanteStandard() = default;

CComposanteStandard::~CComposanteStandard() {
    TermCompo();
    ViderVariablesService();
    free(m_stService.tabAction.pnData);
    free(m_stService.tabDelai.pnData);
}

void* CComposanteStandard::pQueryProxy(int nCode) {
    // Code 1 answers a memory-zone object bound to this library; it arrives
    // with the memory-zone engine.
    (void)nCode;
    return nullptr;
}

void CComposanteStandard::DumpMemoireInstance(void* piDump) { vDumpMemoireInstance(piDump); }

int CComposanteStandard::bFinInit() {
    bool bOk = COMPO_bInitModulesObjet();
    if (s_nInstances++ == 0) bOk = COMPO_bInitModulesProcessus() && bOk;
    ViderVariablesService();
    m_bInitOK = bOk ? 1 : 0;
    return m_bInitOK;
}

void CComposanteStandard::TermCompo() {
    if (!m_bInitOK) return;
    COMPO_TermModulesObjet();
    if (--s_nInstances < 1) {
        s_nInstances = 0;
        COMPO_TermModulesProcessus();
    }
    m_bInitOK = 0;
}

void* CComposanteStandard::pGetVariableAdresse(int nId) {
    STServiceVariables& st = m_stService;
    switch (nId) {
        case SV_DESCRIPTION: return &st.pszDescription;
        case SV_DEMARRAGE: return &st.nDemarrage;
        case SV_ERREURDEMARRAGE: return &st.nErreurDemarrage;
        case SV_LIGNECOMMANDE: return &st.pszLigneCommande;
        case SV_UTILISATEUR: return &st.pszUtilisateur;
        case SV_MOTDEPASSE: return &st.pszMotDePasse;
        case SV_TYPE: return &st.nType;
        case SV_DESCRIPTIONLONGUE: return &st.pszDescriptionLongue;
        case SV_REINITCOMPTEUR: return &st.nReinitCompteur;
        case SV_MESSAGEREBOOT: return &st.pszMessageReboot;
        case SV_LANCEAPPLI: return &st.pszLanceAppli;
        case SV_ACTION: return &st.tabAction;
        case SV_DELAI: return &st.tabDelai;
        case SV_DEMARRAGERETARDE: return &st.bDemarrageRetarde;
        case SV_NBACTION: return &st.nNbAction;
        default: return nullptr;   // 1 to 38 and 46 have no storage here
    }
}

void CComposanteStandard::EcritVariable(int nId, void* pValeur) {
    if (nId != SV_NBACTION) return;
    int32_t n = pValeur != nullptr ? *static_cast<const int32_t*>(pValeur) : m_stService.nNbAction;
    m_stService.nNbAction = n;
    // The action and delay arrays follow the number of actions.
    int32_t nTaille = n < 1 ? 0 : n;
    if (!bRedimensionne(m_stService.tabAction, nTaille) || !bRedimensionne(m_stService.tabDelai, nTaille))
        RaiseError(80001);
}

void CComposanteStandard::ViderVariablesService() {
    STServiceVariables& st = m_stService;
    for (void** pp : {&st.pszDescription, &st.pszLigneCommande, &st.pszUtilisateur, &st.pszMotDePasse,
                      &st.pszDescriptionLongue, &st.pszMessageReboot, &st.pszLanceAppli}) {
        STRMEM_Release(*pp);
        *pp = nullptr;
    }
    st.nDemarrage = st.nErreurDemarrage = st.nType = st.nReinitCompteur = st.nNbAction = 0;
    st.bDemarrageRetarde = 0;
    st.tabAction.nCount = 0;
    st.tabDelai.nCount = 0;
}

bool CComposanteStandard::_bCheckIsRoot() {
    if (geteuid() == 0) return true;
    RaiseError(80014);
    return false;
}

bool bRedimensionne(STIntArray& rTab, int32_t nCount) {
    if (nCount < 0) nCount = 0;
    if (nCount > rTab.nCapacity) {
        int32_t nGrowth = rTab.nGrowth > 0 ? rTab.nGrowth : 10;
        int32_t nCapacite = ((nCount + nGrowth - 1) / nGrowth) * nGrowth;
        auto* p = static_cast<int32_t*>(realloc(rTab.pnData, static_cast<size_t>(nCapacite) * sizeof(int32_t)));
        if (p == nullptr) return false;
        rTab.pnData = p;
        rTab.nCapacity = nCapacite;
    }
    for (int32_t i = rTab.nCount; i < nCount; ++i) rTab.pnData[i] = 0;
    rTab.nCount = nCount;
    return true;
}

int COMPO_nForward(STZNAppel* pstAppel, IZNLibrary* pclLib, int nFonction) {
    if (pstAppel != nullptr) {
        pstAppel->nComposanteFwd = 42;
        pstAppel->nFonctionFwd = static_cast<uint32_t>(nFonction);
    }
    if (pclLib != nullptr && pclLib->pclGetError() != nullptr) pclLib->pclGetError()->SetErrorLevel(EL_FORWARD);
    return 1;
}
