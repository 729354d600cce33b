// The library object's call services: the current call record, the host's
// parameter and result services, errors and callbacks. What it answers
// about the component itself is the frame's (component/library_object.cpp).
#include "runtime/znlibrary.h"

#include <cstdarg>
#include <cstring>

#include "core/any.h"
#include "runtime/language.h"

CZNLibrary::CZNLibrary() : m_pclErreur(new CXError()) {}

CZNLibrary::~CZNLibrary() {
    if (m_pclErreur != nullptr) m_pclErreur->Release();
}

void CZNLibrary::Release() { delete this; }

void* CZNLibrary::pQueryProxy(int) { return nullptr; }

void CZNLibrary::GetExportTable_OBSOLETE(void** ppTable, int* pnCount) {
    if (ppTable) *ppTable = nullptr;
    if (pnCount) *pnCount = 0;
}

void CZNLibrary::GetPropertyTable_OBSOLETE(void** ppTable, int* pnCount) { GetExportTable_OBSOLETE(ppTable, pnCount); }

void CZNLibrary::GetTableSynonyme_OBSOLETE(void** ppTable, int* pnCount) { GetExportTable_OBSOLETE(ppTable, pnCount); }

int CZNLibrary::bFinInitZNL() {
    if (m_piLibShop != nullptr && !m_piLibShop->bEnregistre(8, 10, 1, "LibShop", this, m_pclErreur)) return 0;
    return bFinInit();
}

STZNAppel* CZNLibrary::ChangeContexteAppel(STZNAppel* pstAppel) {
    STZNAppel* pstAncien = m_pstAppel;
    m_pstAppel = pstAppel;
    return pstAncien;
}

void* CZNLibrary::pRecupereAdresseVariable(STZNAppel* pstAppel) {
    STZNAppel* pstAncien = ChangeContexteAppel(pstAppel);
    void* p = pGetVariableAdresse(static_cast<int>(pstAppel->nFonctionFwd));
    ChangeContexteAppel(pstAncien);
    return p;
}

int CZNLibrary::bSignaleEcritureVariable(STZNAppel* pstAppel) {
    STZNAppel* pstAncien = ChangeContexteAppel(pstAppel);
    EcritVariable(static_cast<int>(pstAppel->nFonctionFwd), pstAppel->pValeur);
    ChangeContexteAppel(pstAncien);
    return m_pclErreur->bIsError() ? 0 : 1;
}

void CZNLibrary::DumpMemoireInstance(void* piDump) { vDumpMemoireInstance(piDump); }

bool CZNLibrary::bParamNull(int nIndex) {
    IZNHost* pi = piGetVM();
    return pi != nullptr && pi->bParamNull(nIndex, dwGetFrame()) != 0;
}

bool CZNLibrary::bChaineUnicode(int nIndex) {
    IZNHost* pi = piGetVM();
    return pi != nullptr && pi->bChaineUnicode(nIndex, dwGetFrame()) != 0;
}

bool CZNLibrary::bGetParamAny(int nIndex, CAny* pclValeur) {
    IZNHost* pi = piGetVM();
    return pi != nullptr && pi->bGetParamAny(nIndex, dwGetFrame(), pclValeur, m_pclErreur) != 0;
}

bool CZNLibrary::bGetParamAnyNULL(int nIndex, CAny* pclValeur) {
    IZNHost* pi = piGetVM();
    return pi != nullptr && pi->bGetParamAnyNULL(nIndex, dwGetFrame(), pclValeur, m_pclErreur) != 0;
}

bool CZNLibrary::bGetParamIVariable(int nIndex, IVariable** ppiVariable) {
    IZNHost* pi = piGetVM();
    return pi != nullptr && pi->bGetParamIVariable(nIndex, dwGetFrame(), ppiVariable, m_pclErreur) != 0;
}

void* CZNLibrary::pGetParametre(int nIndex, int nType) {
    IZNHost* pi = piGetVM();
    return pi != nullptr ? pi->pGetParametre(nIndex, dwGetFrame(), nType, m_pclErreur) : nullptr;
}

void CZNLibrary::RenvoieValeur(const void* pValeur, int nType) {
    IZNHost* pi = piGetVM();
    if (pi != nullptr) pi->RenvoieValeur(dwGetFrame(), pValeur, nType);
}

bool CZNLibrary::bVerifieInteruptionUtilisateur() {
    IZNHost* pi = piGetVM();
    return pi != nullptr && pi->bVerifieInteruptionUtilisateur() == 10;
}

intptr_t CZNLibrary::nInfoVM(int nRequete, intptr_t nArgument) {
    IZNHost* pi = piGetVM();
    return pi != nullptr ? pi->bInfoVM(nRequete, nArgument) : 0;
}

const char* CZNLibrary::pszGetNomTraitementCourant() {
    const char* psz = reinterpret_cast<const char*>(nInfoVM(13, 2));
    return psz != nullptr ? psz : "";
}

IInfoLangue* CZNLibrary::piGetInfoLangue() {
    return reinterpret_cast<IInfoLangue*>(nInfoVM(INFOVM_INFOLANGUE, 0));
}

bool CZNLibrary::bMTEnCours() {
    IZNHost* pi = piGetVM();
    return pi != nullptr && pi->bMTEnCours() != 0;
}

void CZNLibrary::RaiseError(int nCode, ...) {
    va_list args;
    va_start(args, nCode);
    m_pclErreur->SetUserErrorList(nCode, args);
    va_end(args);
}

void CZNLibrary::RaiseError(CXError* pclErreur) {
    if (pclErreur == nullptr)
        m_pclErreur->RAZ();
    else
        m_pclErreur->LightCopy(*pclErreur);
}

void CZNLibrary::RaiseErrorCopy(const CXError* pclErreur) {
    if (pclErreur == nullptr)
        m_pclErreur->RAZ();
    else
        m_pclErreur->Copy(*pclErreur);
}

// --- CCallback ----------------------------------------------------------

CCallback::~CCallback() {
    if (m_bProprietaire && m_hProcedure != nullptr && m_piHote != nullptr) m_piHote->LibereProcedure(m_hProcedure);
}

bool CCallback::bInit(const char* pszNom, CZNLibrary* pclLib, bool bErreurLibrairie) {
    m_piHote = pclLib->piGetVM();
    if (m_piHote == nullptr) return false;
    m_dwFrame = pclLib->dwGetFrame();
    CXError clLocale;
    CXError* pclErreur = bErreurLibrairie ? pclLib->pclGetError() : &clLocale;
    void* h = nullptr;
    int bSucces = 0;
    int bTrouve = m_piHote->TrouveProcedure(pszNom, 0, &h, pclErreur, &bSucces);
    if (!bTrouve || h == nullptr) return false;
    m_hProcedure = h;
    m_bProprietaire = true;
    return true;
}

bool CCallback::bInitThread(const char* pszNom, CZNLibrary* pclLib, void* pThreadCtx, IZNHost* piHote,
                            void* hExistant) {
    m_piHote = piHote;
    if (m_piHote == nullptr) return false;
    m_dwFrame = pclLib->dwGetFrame();
    if (hExistant != nullptr) {
        m_hProcedure = hExistant;
        m_bProprietaire = false;
        return true;
    }
    void* h = nullptr;
    m_piHote->TrouveProcedureThread(pThreadCtx, pszNom, &h, pclLib->pclGetError());
    if (h == nullptr) return false;
    m_hProcedure = h;
    m_bProprietaire = true;
    return true;
}

bool CCallback::bEmpileAny(CAny* pclValeur) {
    if (m_piHote == nullptr || !m_piHote->EmpileArgument(pclValeur, m_dwFrame)) return false;
    ++m_nArgs;
    return true;
}

bool CCallback::bEmpileChaine(const char* pszTexte) {
    CAny clValeur;
    clValeur.__SetType(ANY_CSTR);
    if (clValeur.SetValue(pszTexte != nullptr ? pszTexte : "") != 0) return false;
    return bEmpileAny(&clValeur);
}

bool CCallback::bEmpileEntier(int32_t nValeur) {
    CAny clValeur;
    clValeur.__SetType(ANY_I4);
    clValeur.SetValue(&nValeur);
    return bEmpileAny(&clValeur);
}

bool CCallback::bEmpileTableau(void* piTableau) {
    if (m_piHote == nullptr || !m_piHote->bEmpileTableau(piTableau, m_dwFrame)) return false;
    ++m_nArgs;
    return true;
}

bool CCallback::bExecute(CAny* pclResultat) {
    if (m_piHote == nullptr) return false;
    m_piHote->DebutAppel();
    if (pclResultat != nullptr) m_piHote->FixeRetourAppel(pclResultat);
    int bOk = m_hProcedure != nullptr
                  ? m_piHote->ExecuteProcedure(m_hProcedure, m_dwFrame, m_nArgs, 0)
                  : m_piHote->ExecuteReference(m_dwRef[0], m_dwRef[1], m_dwRef[2], m_dwFrame, m_nArgs, 0);
    m_nArgs = 0;
    return bOk != 0;
}
