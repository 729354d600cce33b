// A host service object for in-process tests: records results and counts
// the services it is asked for. Everything else answers "no".
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "qvstd/host.h"

class CRecordingHost : public IZNHost {
public:
    struct STResultat {
        uint32_t dwFrame = 0;
        int nType = -1;
        int64_t nValeur = 0;
        double dValeur = 0;
        std::string sTexte;
    };
    std::vector<STResultat> tabResultats;
    std::vector<std::string> tabProcedures;
    int nLibere = 0;
    int nExecute = 0;
    int nEmpile = 0;
    int nInterruption = 0;

    int nGetModeExecution() override { return 0; }
    intptr_t bInfoVM(int nRequest, intptr_t nArgument) override {
        if (nRequest == 13 && nArgument == 2) return reinterpret_cast<intptr_t>("TraitementDeTest");
        return 0;
    }
    void LibereProcedure(void*) override { ++nLibere; }
    int ChangeMode(int) override { return 0; }
    int EmpileArgument(CAny*, uint32_t) override { return ++nEmpile; }
    void DebutAppel() override {}
    void FixeRetourAppel(CAny*) override {}
    int ExecuteReference(uint32_t, uint32_t, uint32_t, uint32_t, int, int) override { return ++nExecute; }
    int bVerifieInteruptionUtilisateur() override { return nInterruption; }
    int TrouveProcedure(const char* pszNom, int, void** ph, CXError*, int* pbSucces) override {
        tabProcedures.emplace_back(pszNom ? pszNom : "");
        bool bTrouve = pszNom != nullptr && strncmp(pszNom, "Proc", 4) == 0;
        *ph = bTrouve ? this : nullptr;
        if (pbSucces) *pbSucces = bTrouve;
        return bTrouve;
    }
    int ExecuteProcedure(void*, uint32_t, int, int) override { return ++nExecute; }
    void GestionMT() override {}
    void* TrouveProcedureThread(void*, const char*, void** ph, CXError*) override {
        *ph = this;
        return this;
    }
    int bMTEnCours() override { return 0; }
    int bThreadPrincipal() override { return 1; }
    unsigned uGetMessageMT() override { return 0; }
    void* piGetVMData() override { return nullptr; }
    void* pGetCallingObject() override { return nullptr; }
    void* hGetObjetCourant() override { return nullptr; }
    void* hGetFenetreCourant() override { return nullptr; }
    int bParamNull(int, uint32_t) override { return 0; }
    int bChaineUnicode(int, uint32_t) override { return 0; }
    int bGetParamAny(int, uint32_t, CAny*, CXError*) override { return 0; }
    void* pGetParametre(int, uint32_t, int, CXError*) override { return nullptr; }
    int bGetParamAnyNULL(int, uint32_t, CAny*, CXError*) override { return 0; }
    int bGetParamIVariable(int, uint32_t, IVariable**, CXError*) override { return 0; }
    int nGetDSTR_ID(int, uint32_t) override { return 0; }
    int bRepushParam(int, uint32_t, IZNHost*) override { return 0; }
    void RenvoieValeur(uint32_t dwFrame, const void* pValeur, int nType) override {
        STResultat st;
        st.dwFrame = dwFrame;
        st.nType = nType;
        if (nType == 0x01 || nType == 0x08) {
            int32_t n;
            memcpy(&n, pValeur, sizeof n);
            st.nValeur = n;
        } else if (nType == 0x09) {
            memcpy(&st.nValeur, pValeur, sizeof st.nValeur);
        } else if (nType == 0x0C) {
            memcpy(&st.dValeur, pValeur, sizeof st.dValeur);
        } else if (nType == 0x17) {
            st.sTexte = static_cast<const char*>(pValeur);
        }
        tabResultats.push_back(st);
    }
    int bGetValeurParametre(int, uint32_t, CAny*) override { return 0; }
    int bGetParamIVariableNom(int, uint32_t, IVariable**, int, CXError*) override { return 0; }
    int bGetNomVariable(int, uint32_t, char**, int, CXError*) override { return 0; }
    int nEmpileParametre(int, uint32_t, IZNHost*, CXError*) override { return 0; }
    int bGetObjetAPCodeParametre(int, uint32_t, void**, CXError*) override { return 0; }
    int bForceValeur(int, uint32_t, CXError*) override { return 0; }
    int bGetParamIVariableOuValeur(int, uint32_t, IVariable**, CXError*) override { return 0; }
    void* piGetHFContext(CXError*) override { return nullptr; }
    int bEmpileTableau(void*, uint32_t) override { return ++nEmpile; }
    void RenvoieValeurPropriete(void*, const void*, int) override {}
    int bGetAdresseObjetComposante(void**, int, uint32_t, void*, int, CXError*) override { return 0; }
    int bConstruitChaine(const void*, int, uint32_t, void*, CXError*) override { return 0; }
};
