// The library object: what every language call runs against. It owns the
// error object and wraps the host's services with the current call's frame.
#pragma once
#include <cstdint>

#include "qvstd/callrecord.h"
#include "qvstd/host.h"
#include "qvstd/library.h"
#include "qvstd/xerror.h"

class IObjetAPCode;

class CZNLibrary : public IZNLibrary {
public:
    CZNLibrary();
    CZNLibrary(const CZNLibrary&) = delete;
    CZNLibrary& operator=(const CZNLibrary&) = delete;

    // IStdVersion
    int nGetVersion() override { return 7; }
    int nGetCompatSince() override { return 2; }
    int nGetDllNum() override { return 8; }

    // IZNLibrary
    void Release() override;
    void* pQueryProxy(int nCode) override;
    void AssertValid_INTERNE() override {}
    int nGetLibraryId() override { return 8; }
    int nGetVersionZN() override { return 733; }
    int nGetVersionZNCompat() override { return 1; }
    void GetResume(char* pszBuffer, int nTaille) override;
    void GetDescription(char* pszBuffer, int nTaille) override;
    const char* pzGetHelpFile() override;
    void GetExportTable_OBSOLETE(void** ppTable, int* pnCount) override;
    void GetPropertyTable_OBSOLETE(void** ppTable, int* pnCount) override;
    CXError* pclGetError() override { return m_pclErreur; }
    void SetLibShop(ILibShop* piShop) override { m_piLibShop = piShop; }
    // The host's registry of components (null before the host gives it).
    ILibShop* piGetLibShop() const { return m_piLibShop; }
    int SetLanguage_OBSOLETE(int nLangue, const char* pszFichier) override;
    int bFinInitZNL() override;
    void TermZNL() override { TermCompo(); }
    int bAppel_OBSOLETE() override { return 0; }
    void* pAccesVariable_OBSOLETE() override { return nullptr; }
    int bEcritVariable_OBSOLETE() override { return 0; }
    int SetAlphabet(int nCode, void* pTable) override;
    void GetTableSynonyme_OBSOLETE(void** ppTable, int* pnCount) override;
    uint32_t dwActionGenerique() override { return 0; }
    void AvantAppelFonctionZN_OBSOLETE() override {}
    void ApresAppelFonctionZN_OBSOLETE() override {}
    intptr_t InfoComposante(int nCode, intptr_t nArgument) override;
    STZNAppel* ChangeContexteAppel(STZNAppel* pstAppel) override;
    void* pRecupereAdresseVariable(STZNAppel* pstAppel) override;
    int bSignaleEcritureVariable(STZNAppel* pstAppel) override;
    void DumpMemoireInstance(void* piDump) override;

    // CZNLibrary's own virtual operations.
    virtual ~CZNLibrary();
    virtual int bFinInit() { return 1; }
    virtual void TermCompo() {}
    virtual void* pGetVariableAdresse(int /*nId*/) { return nullptr; }
    virtual void EcritVariable(int /*nId*/, void* /*pValeur*/) {}
    virtual void vDumpMemoireInstance(void* /*piDump*/) {}

    // Host services, with the current call's host, frame word and error.
    IZNHost* piGetVM() const { return m_pstAppel ? m_pstAppel->pclHote : nullptr; }
    bool bZNCall() const { return m_pstAppel != nullptr; }
    uint32_t dwGetFrame() const { return m_pstAppel ? m_pstAppel->dwFrame : 0; }
    uint16_t wGetNbParam() const { return static_cast<uint16_t>(dwGetFrame() & 0xFFFF); }
    bool bParamNull(int nIndex);
    bool bChaineUnicode(int nIndex);
    bool bGetParamAny(int nIndex, CAny* pclValeur);
    bool bGetParamAnyNULL(int nIndex, CAny* pclValeur);
    bool bGetParamIVariable(int nIndex, IVariable** ppiVariable);
    void* pGetParametre(int nIndex, int nType);
    // A page object of the host passed as argument nIndex (from 1),
    // borrowed for the call; null when the argument holds none.
    bool bGetObjetAPCodeParametre(int nIndex, IObjetAPCode** ppiObjet) {
        void* p = nullptr;
        IZNHost* pi = piGetVM();
        const bool bOk = pi != nullptr && pi->bGetObjetAPCodeParametre(nIndex, dwGetFrame(), &p, m_pclErreur) != 0;
        *ppiObjet = bOk ? static_cast<IObjetAPCode*>(p) : nullptr;
        return *ppiObjet != nullptr;
    }
    void RenvoieValeur(const void* pValeur, int nType);
    void RenvoieChaine(const char* pszTexte) { RenvoieValeur(pszTexte, 0x17); }
    bool bVerifieInteruptionUtilisateur();
    intptr_t nInfoVM(int nRequete, intptr_t nArgument);
    const char* pszGetNomTraitementCourant();
    bool bSimulateurPocket() { return nInfoVM(5, 0) != 0; }
    bool bExecutionMCU() { return nInfoVM(7, 0) != 0; }
    bool bMTEnCours();
    // The host's language information (day and month names, system masks),
    // or null; borrowed for the current call.
    class IInfoLangue* piGetInfoLangue();

    // Errors.
    // Fills the error object with a user error; the arguments go into the
    // error's message as the error table describes them.
    void RaiseError(int nCode, ...);
    void RaiseError() {}   // the callee already filled the error object
    void RaiseError(CXError* pclErreur);
    void RaiseErrorCopy(const CXError* pclErreur);
    void RAZError() { m_pclErreur->RAZ(); }

protected:
    STZNAppel* m_pstAppel = nullptr;
    CXError* m_pclErreur = nullptr;
    ILibShop* m_piLibShop = nullptr;
};

// Calls a language procedure of the program by name.
class CCallback {
public:
    CCallback() = default;
    CCallback(const CCallback&) = delete;
    CCallback& operator=(const CCallback&) = delete;
    ~CCallback();

    bool bInit(const char* pszNom, CZNLibrary* pclLib, bool bErreurLibrairie);
    bool bInitThread(const char* pszNom, CZNLibrary* pclLib, void* pThreadCtx, IZNHost* piHote,
                     void* hExistant);
    // A text argument (a variant of type 18) and an integer (type 8).
    bool bEmpileChaine(const char* pszTexte);
    bool bEmpileEntier(int32_t nValeur);
    bool bEmpileAny(CAny* pclValeur);
    bool bEmpileTableau(void* piTableau);
    bool bExecute(CAny* pclResultat);
    int nGetNbArgs() const { return m_nArgs; }

private:
    IZNHost* m_piHote = nullptr;
    uint32_t m_dwRef[3] = {0, 0, 0};
    uint32_t m_dwFrame = 0;
    int m_nArgs = 0;
    void* m_hProcedure = nullptr;
    bool m_bProprietaire = false;
};
