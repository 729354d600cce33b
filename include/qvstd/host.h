// The host's service object, as the component sees it. Slots follow the
// order the component relies on; the reference host implements them.
#pragma once
#include <cstdint>

class CXError;
class CAny;          // variant value
class IVariable;     // a caller's variable
class IZNHost;

enum eInfoVM {
    INFOVM_POCKET = 5,
    INFOVM_MCU = 7,
    INFOVM_SYSTIME = 9,
    INFOVM_OBJFILE = 10,
    INFOVM_CODEINFO = 13,
    INFOVM_INFOLANGUE = 14,
};

class IZNHost {
public:
    virtual int nGetModeExecution() = 0;
    // Generic query: 5 pocket simulator, 7 MCU run, 9 system time, 10 load
    // an object file, 13 running-code information (argument: what), 14 the
    // host's language information (IInfoLangue, borrowed for the call).
    virtual intptr_t bInfoVM(int nRequest, intptr_t nArgument) = 0;
    virtual void LibereProcedure(void* hProcedure) = 0;
    virtual int ChangeMode(int nMode) = 0;
    virtual int EmpileArgument(CAny* pclValeur, uint32_t dwFrame) = 0;
    virtual void DebutAppel() = 0;
    virtual void FixeRetourAppel(CAny* pclResultat) = 0;
    virtual int ExecuteReference(uint32_t dwRef0, uint32_t dwRef1, uint32_t dwRef2, uint32_t dwFrame,
                                 int nArgs, int nZero) = 0;
    virtual int bVerifieInteruptionUtilisateur() = 0;   // 10: the user asked to stop
    virtual int TrouveProcedure(const char* pszNom, int nZero, void** phProcedure, CXError* pclErreur,
                                int* pbSucces) = 0;
    virtual int ExecuteProcedure(void* hProcedure, uint32_t dwFrame, int nArgs, int nZero) = 0;
    virtual void GestionMT() = 0;
    virtual void* TrouveProcedureThread(void* pThreadCtx, const char* pszNom, void** phProcedure,
                                        CXError* pclErreur) = 0;
    virtual int bMTEnCours() = 0;
    virtual int bThreadPrincipal() = 0;
    virtual unsigned uGetMessageMT() = 0;
    virtual void* piGetVMData() = 0;
    virtual void* pGetCallingObject() = 0;
    virtual void* hGetObjetCourant() = 0;
    virtual void* hGetFenetreCourant() = 0;
    virtual int bParamNull(int nIndex, uint32_t dwFrame) = 0;
    virtual int bChaineUnicode(int nIndex, uint32_t dwFrame) = 0;
    virtual int bGetParamAny(int nIndex, uint32_t dwFrame, CAny* pclValeur, CXError* pclErreur) = 0;
    virtual void* pGetParametre(int nIndex, uint32_t dwFrame, int nType, CXError* pclErreur) = 0;
    virtual int bGetParamAnyNULL(int nIndex, uint32_t dwFrame, CAny* pclValeur, CXError* pclErreur) = 0;
    virtual int bGetParamIVariable(int nIndex, uint32_t dwFrame, IVariable** ppiVariable,
                                   CXError* pclErreur) = 0;
    virtual int nGetDSTR_ID(int nIndex, uint32_t dwFrame) = 0;
    virtual int bRepushParam(int nIndex, uint32_t dwFrame, IZNHost* pclAutre) = 0;
    virtual void RenvoieValeur(uint32_t dwFrame, const void* pValeur, int nType) = 0;
    virtual int bGetValeurParametre(int nIndex, uint32_t dwFrame, CAny* pclValeur) = 0;
    virtual int bGetParamIVariableNom(int nIndex, uint32_t dwFrame, IVariable** ppiVariable, int nZero,
                                      CXError* pclErreur) = 0;
    virtual int bGetNomVariable(int nIndex, uint32_t dwFrame, char** ppszNom, int nZero,
                                CXError* pclErreur) = 0;
    virtual int nEmpileParametre(int nIndex, uint32_t dwFrame, IZNHost* pclAutre, CXError* pclErreur) = 0;
    virtual int bGetObjetAPCodeParametre(int nIndex, uint32_t dwFrame, void** ppObjet, CXError* pclErreur) = 0;
    virtual int bForceValeur(int nIndex, uint32_t dwFrame, CXError* pclErreur) = 0;
    virtual int bGetParamIVariableOuValeur(int nIndex, uint32_t dwFrame, IVariable** ppiVariable,
                                           CXError* pclErreur) = 0;
    virtual void* piGetHFContext(CXError* pclErreur) = 0;
    virtual int bEmpileTableau(void* piTableau, uint32_t dwFrame) = 0;
    virtual void RenvoieValeurPropriete(void* pclCtx, const void* pValeur, int nType) = 0;
    virtual int bGetAdresseObjetComposante(void** ppAdresse, int nIndex, uint32_t dwFrame, void* piTypeDesc,
                                           int nFlag, CXError* pclErreur) = 0;
    virtual int bConstruitChaine(const void* pSource, int nOption, uint32_t dwFrame, void* pDestination,
                                 CXError* pclErreur) = 0;

protected:
    ~IZNHost() = default;
};

// The library shop: the host's registry of components.
class ILibShop {
public:
    virtual int bEnregistre(int nComposante, int nA, int nB, const char* pszNom, void* pObjet,
                            CXError* pclErreur) = 0;
    virtual void* pCherche(const char* pszNom) = 0;

protected:
    ~ILibShop() = default;
};

// Class-property context: the second word is the host's service object.
struct CCtxInfo {
    void* pReserve;
    IZNHost* pclHote;
};
