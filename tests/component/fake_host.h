// A host service object for in-process tests: records results and counts
// the services it is asked for. Everything else answers "no".
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/null_host.h"

class CRecordingHost : public CNullHost {
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

    intptr_t bInfoVM(int nRequest, intptr_t nArgument) override {
        if (nRequest == 13 && nArgument == 2) return reinterpret_cast<intptr_t>("TraitementDeTest");
        return 0;
    }
    void LibereProcedure(void*) override { ++nLibere; }
    int EmpileArgument(CAny*, uint32_t) override { return ++nEmpile; }
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
    void* TrouveProcedureThread(void*, const char*, void** ph, CXError*) override {
        *ph = this;
        return this;
    }
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
    int bEmpileTableau(void*, uint32_t) override { return ++nEmpile; }
};
