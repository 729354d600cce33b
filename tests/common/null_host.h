// A host service object for in-process tests that answers "no" to every
// service; test hosts derive from it and override what they observe.
#pragma once
#include <cstdint>

#include "qvstd/host.h"

class CNullHost : public IZNHost {
public:
    virtual ~CNullHost() = default;

    int nGetModeExecution() override { return 0; }
    intptr_t bInfoVM(int, intptr_t) override { return 0; }
    void LibereProcedure(void*) override {}
    int ChangeMode(int) override { return 0; }
    int EmpileArgument(CAny*, uint32_t) override { return 0; }
    void DebutAppel() override {}
    void FixeRetourAppel(CAny*) override {}
    int ExecuteReference(uint32_t, uint32_t, uint32_t, uint32_t, int, int) override { return 0; }
    int bVerifieInteruptionUtilisateur() override { return 0; }
    int TrouveProcedure(const char*, int, void** ph, CXError*, int* pbSucces) override {
        *ph = nullptr;
        if (pbSucces) *pbSucces = 0;
        return 0;
    }
    int ExecuteProcedure(void*, uint32_t, int, int) override { return 0; }
    void GestionMT() override {}
    void* TrouveProcedureThread(void*, const char*, void**, CXError*) override { return nullptr; }
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
    void RenvoieValeur(uint32_t, const void*, int) override {}
    int bGetValeurParametre(int, uint32_t, CAny*) override { return 0; }
    int bGetParamIVariableNom(int, uint32_t, IVariable**, int, CXError*) override { return 0; }
    int bGetNomVariable(int, uint32_t, char**, int, CXError*) override { return 0; }
    int nEmpileParametre(int, uint32_t, IZNHost*, CXError*) override { return 0; }
    int bGetObjetAPCodeParametre(int, uint32_t, void**, CXError*) override { return 0; }
    int bForceValeur(int, uint32_t, CXError*) override { return 0; }
    int bGetParamIVariableOuValeur(int, uint32_t, IVariable**, CXError*) override { return 0; }
    void* piGetHFContext(CXError*) override { return nullptr; }
    int bEmpileTableau(void*, uint32_t) override { return 0; }
    void RenvoieValeurPropriete(void*, const void*, int) override {}
    int bGetAdresseObjetComposante(void**, int, uint32_t, void*, int, CXError*) override { return 0; }
    int bConstruitChaine(const void*, int, uint32_t, void*, CXError*) override { return 0; }
};
