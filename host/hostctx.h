// The host's service object for the component (IZNHost): the arguments and
// result of the current call, the running-code queries, the interruption
// check, language procedures for callbacks and host variables.
#pragma once
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "qvstd/host.h"
#include "conversion.h"
#include "values.h"

namespace qvhost {

// A language procedure of the program, as the component may call it back.
struct STProcedure {
    std::string sNom;
    json jRetour = true;           // what each call returns
    std::vector<int> tabNbArgs;    // one entry per call: arguments pushed
    std::vector<json> tabValeurs;  // one entry per call: the values pushed
};

class CHostContext final : public IZNHost {
public:
    CHostContext() = default;
    CHostContext(const CHostContext&) = delete;
    CHostContext& operator=(const CHostContext&) = delete;
    virtual ~CHostContext() = default;

    // Call set-up, by the session.
    void DebutAppelLangage(const std::string& sNomFonction, std::vector<CArg*> tabArgs, uint32_t dwFrame);
    void FinAppelLangage();
    const STResultat& GetResultat() const { return m_stResultat; }
    const STResultat& GetResultatPropriete() const { return m_stResultatPropriete; }

    void SetCharset(eCharset eCs);
    eCharset GetCharset() const { return m_eCharset; }
    void SetInterruption(bool b) { m_bInterruption = b; }

    // Procedures and variables named by the arguments of the current call.
    STProcedure& Procedure(const std::string& sNom);
    void VariableTouchee(const std::string& sNom);
    // The value of a host variable (null when it has none yet); writing
    // marks it touched.
    json LitVariableHote(const std::string& sNom) const;
    // A variable exists once a call used it as a variable or wrote it.
    bool bVariableConnue(const std::string& sNom) const { return m_mapVariables.count(sNom) != 0; }
    // What the host could not give the component during the current call
    // (empty when nothing failed); the session reports it as the call's error.
    const std::string& ErreurAppel() const { return m_sErreurAppel; }
    void EcritVariableHote(const std::string& sNom, const json& jValeur);
    json JsonProcedures() const;    // calls of the procedures used by the current call
    json JsonVariables() const;     // host variables touched by the current call

    // IZNHost
    int nGetModeExecution() override { return m_nMode; }
    intptr_t bInfoVM(int nRequest, intptr_t nArgument) override;
    void LibereProcedure(void*) override {}
    int ChangeMode(int nMode) override;
    int EmpileArgument(CAny* pclValeur, uint32_t dwFrame) override;
    // The arguments pushed so far belong to the run that follows.
    void DebutAppel() override { m_nEmpiles = 0; }
    void FixeRetourAppel(CAny* pclResultat) override { m_pclRetourAttendu = pclResultat; }
    int ExecuteReference(uint32_t, uint32_t, uint32_t, uint32_t, int, int) override { return 0; }
    int bVerifieInteruptionUtilisateur() override { return m_bInterruption ? 10 : 0; }
    int TrouveProcedure(const char* pszNom, int nZero, void** phProcedure, CXError* pclErreur, int* pbSucces) override;
    int ExecuteProcedure(void* hProcedure, uint32_t dwFrame, int nArgs, int nZero) override;
    void GestionMT() override {}
    void* TrouveProcedureThread(void* pThreadCtx, const char* pszNom, void** phProcedure, CXError* pclErreur) override;
    int bMTEnCours() override;
    int bThreadPrincipal() override;
    unsigned uGetMessageMT() override { return 0; }
    void* piGetVMData() override { return nullptr; }
    void* pGetCallingObject() override { return nullptr; }
    void* hGetObjetCourant() override { return nullptr; }
    void* hGetFenetreCourant() override { return nullptr; }
    int bParamNull(int nIndex, uint32_t dwFrame) override;
    int bChaineUnicode(int nIndex, uint32_t dwFrame) override;
    int bGetParamAny(int nIndex, uint32_t dwFrame, CAny* pclValeur, CXError* pclErreur) override;
    void* pGetParametre(int nIndex, uint32_t dwFrame, int nType, CXError* pclErreur) override;
    int bGetParamAnyNULL(int nIndex, uint32_t dwFrame, CAny* pclValeur, CXError* pclErreur) override;
    int bGetParamIVariable(int nIndex, uint32_t dwFrame, IVariable** ppiVariable, CXError* pclErreur) override;
    int nGetDSTR_ID(int, uint32_t) override { return 0; }
    int bRepushParam(int, uint32_t, IZNHost*) override { return 0; }
    void RenvoieValeur(uint32_t dwFrame, const void* pValeur, int nType) override;
    int bGetValeurParametre(int nIndex, uint32_t dwFrame, CAny* pclValeur) override;
    int bGetParamIVariableNom(int nIndex, uint32_t dwFrame, IVariable** ppiVariable, int nZero,
                              CXError* pclErreur) override;
    int bGetNomVariable(int nIndex, uint32_t dwFrame, char** ppszNom, int nZero, CXError* pclErreur) override;
    int nEmpileParametre(int, uint32_t, IZNHost*, CXError*) override { return 0; }
    // Tables given for obj arguments (table.cpp).
    int bGetObjetAPCodeParametre(int nIndex, uint32_t dwFrame, void** ppObjet, CXError* pclErreur) override;
    int bForceValeur(int, uint32_t, CXError*) override { return 0; }
    int bGetParamIVariableOuValeur(int nIndex, uint32_t dwFrame, IVariable** ppiVariable, CXError* pclErreur) override;
    void* piGetHFContext(CXError*) override { return nullptr; }
    int bEmpileTableau(void* piTableau, uint32_t dwFrame) override;
    void RenvoieValeurPropriete(void* pclCtx, const void* pValeur, int nType) override;
    int bGetAdresseObjetComposante(void**, int, uint32_t, void*, int, CXError*) override { return 0; }
    int bConstruitChaine(const void*, int, uint32_t, void*, CXError*) override { return 0; }

private:
    // Runs a service the component called: an exception (memory running
    // out) must not cross the component's frames, and becomes the call's
    // error instead.
    template <class T, class F>
    T Protege(T tEchec, F&& fn) noexcept {
        try {
            return fn();
        } catch (const std::exception& e) {
            NoteEchec(e.what());
            return tEchec;
        }
    }
    void NoteEchec(const char* pszQuoi) noexcept;
    CArg* pArg(int nIndex) const;   // 1-based; null when not passed
    int bRempliAny(int nIndex, CAny* pclValeur, bool bNullAccepte);
    int bVariable(int nIndex, IVariable** ppiVariable);
    void Capture(STResultat& stR, const void* pValeur, int nType, bool bPropriete);

    eCharset m_eCharset = eCharset::CP1252;
    int m_nMode = 0;
    bool m_bInterruption = false;
    std::string m_sNomFonction;
    std::string m_sErreurAppel;
    std::string m_sTexteInfo;                 // last text answered by bInfoVM, in the 8-bit set
    std::vector<CArg*> m_tabArgs;
    std::deque<std::unique_ptr<CArg>> m_tabConversions;   // pGetParametre answers, valid for the call
    uint32_t m_dwFrame = 0;
    STResultat m_stResultat;
    STResultat m_stResultatPropriete;
    int m_nEmpiles = 0;
    json m_jEmpiles = json::array();          // values pushed for the next procedure run
    CAny* m_pclRetourAttendu = nullptr;
    std::map<std::string, std::unique_ptr<STProcedure>> m_mapProcedures;
    std::vector<std::string> m_tabProcUtilisees;
    std::map<std::string, json> m_mapVariables;
    std::vector<std::string> m_tabVarTouchees;
};

}  // namespace qvhost
