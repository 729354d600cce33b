#include "component/compo.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "component/library_module.h"
#include "component/tables.h"
#include "memzone/zonememoire.h"

namespace {
int s_nInstances = 0;   // library objects initialised in this process
}

CComposanteStandard::CComposanteStandard() = default;

CComposanteStandard::~CComposanteStandard() {
    TermCompo();
}

void* CComposanteStandard::pQueryProxy(int nCode) {
    // Code 1: a new memory-zone object bound to this library, for other
    // components that share the process's zones.
    return nCode == 1 ? MEM_pclCreeZoneMemoire(this) : nullptr;
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
        case SV_DESCRIPTION: return &st.sDescription;
        case SV_DEMARRAGE: return &st.nDemarrage;
        case SV_ERREURDEMARRAGE: return &st.nErreurDemarrage;
        case SV_LIGNECOMMANDE: return &st.sLigneCommande;
        case SV_UTILISATEUR: return &st.sUtilisateur;
        case SV_MOTDEPASSE: return &st.sMotDePasse;
        case SV_TYPE: return &st.nType;
        case SV_DESCRIPTIONLONGUE: return &st.sDescriptionLongue;
        case SV_REINITCOMPTEUR: return &st.nReinitCompteur;
        case SV_MESSAGEREBOOT: return &st.sMessageReboot;
        case SV_LANCEAPPLI: return &st.sLanceAppli;
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
    if (!m_stService.tabAction.bSetNb(nTaille) || !m_stService.tabDelai.bSetNb(nTaille)) RaiseError(80001);
}

void CComposanteStandard::ViderVariablesService() {
    STServiceVariables& st = m_stService;
    for (CZNDSTR* ps : {&st.sDescription, &st.sLigneCommande, &st.sUtilisateur, &st.sMotDePasse,
                        &st.sDescriptionLongue, &st.sMessageReboot, &st.sLanceAppli})
        ps->Vide();
    st.nDemarrage = st.nErreurDemarrage = st.nType = st.nReinitCompteur = st.nNbAction = 0;
    st.bDemarrageRetarde = 0;
    st.tabAction.Vide();
    st.tabDelai.Vide();
}

bool CComposanteStandard::_bCheckIsRoot() {
    if (geteuid() == 0) return true;
    RaiseError(80014);
    return false;
}

int COMPO_nForward(STZNAppel* pstAppel, IZNLibrary* pclLib, int nFonction) {
    if (pstAppel != nullptr) {
        pstAppel->nComposanteFwd = 42;
        pstAppel->nFonctionFwd = static_cast<uint32_t>(nFonction);
    }
    if (pclLib != nullptr && pclLib->pclGetError() != nullptr) pclLib->pclGetError()->SetErrorLevel(EL_FORWARD);
    return 1;
}
