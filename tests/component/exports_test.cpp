// The module exports exactly its public symbols, and every entry point of
// the descriptor is the exported function of its name.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "qvstd/descriptor.h"
#include "qvstd/exports.h"

namespace {

const std::set<std::string> kLibraryFunctions = {
    "bInitLibrary",      "TermLibrary",      "InfoComposante",    "CommandeComposante", "GeneralParam",
    "DeclareProxy",      "pQueryProxy",      "Execution",         "DLN_bInitTableNom",  "DLN_pstGetPtr",
    "DLN_pszGetName",    "DLN_pszGetVersion", "DLN_pszSetVersion", "DLN_bGetErreur",     "DLN_bSetErreur",
};

// Other exported helpers: the text helpers (STR_) and the accent-folding
// upper case (ANSI_) that other components call.
bool bHelperExporte(const std::string& s) { return s.rfind("STR_", 0) == 0 || s.rfind("ANSI_", 0) == 0; }

// The digit-string helpers, exported under their own names.
const char* const kChaineChiffres[] = {"FmtNum", "FmtInc", "FmtInsCar", "FmtSupCar", "SansEspaceAutour"};

// The class's entry points: the copy, the type description, the
// constructor and the property getters and setters the class descriptor
// names, plus the entry with no descriptor word (GOG).
const char* const kEntreesClasse[] = {"ZNL_CObjetProcessus_C", "ZNL_CObjetProcessus_T", "ZNL_CObjetProcessus_C_0",
                                      "ZNL_CObjetProcessus_GOG"};
const char* const kProprietes[] = {"Executable", "LigneDeCommande", "PID", "ValeurDeRetour", "LoginExecution",
                                   "MotDePasseExecution", "ExecutionInteractive", "RepertoireDeTravail",
                                   "ExecutionEnCours", "NomMachine"};

// The persistence object's constructor, which the host runs (complete and
// base object forms).
const char* const kConstructeurs[] = {"_ZN12CPersistanceC1EP10CZNLibrary", "_ZN12CPersistanceC2EP10CZNLibrary"};

// Entry-point names use the first-language name without accents.
std::string SansAccents(const char* psz) {
    static const char* const tab[] = {"AAAAAAACEEEEIIII", "DNOOOOOxOUUUUYTs", "aaaaaaaceeeeiiii",
                                      "dnooooo/ouuuuyty"};
    std::string s;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(psz); *p; ++p)
        s += *p >= 0xC0 ? tab[(*p - 0xC0) / 16][(*p - 0xC0) % 16] : static_cast<char>(*p);
    return s;
}

std::set<std::string> SymbolesExportes() {
    std::set<std::string> s;
    std::string cmd = std::string("nm -D --defined-only ") + QV_MODULE_PATH;
    FILE* f = popen(cmd.c_str(), "r");
    if (f == nullptr) return s;
    char szLigne[512];
    while (fgets(szLigne, sizeof szLigne, f)) {
        char szAdr[64], szType[8], szNom[400];
        if (sscanf(szLigne, "%63s %7s %399s", szAdr, szType, szNom) == 3 && strchr("TWtDBRV", szType[0]))
            s.insert(szNom);
    }
    pclose(f);
    return s;
}

struct Module {
    void* h = dlopen(QV_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ~Module() {
        if (h) dlclose(h);
    }
};

}  // namespace

TEST(Exports, ExactlyThePublicSymbols) {
    Module mod;
    ASSERT_NE(mod.h, nullptr) << dlerror();
    auto pfnInfo = reinterpret_cast<PFN_InfoComposante>(dlsym(mod.h, "InfoComposante"));
    ASSERT_NE(pfnInfo, nullptr);
    auto* tab = reinterpret_cast<const STFonction*>(pfnInfo(33, 0));
    int n = static_cast<int>(pfnInfo(34, 0));

    std::set<std::string> attendus = kLibraryFunctions;
    for (const char* psz : kChaineChiffres) attendus.insert(psz);
    for (int i = 0; i < n; ++i)
        for (uint32_t k = 0; k < (tab[i].dwId >> 24); ++k)
            if (tab[i].pstSyntaxes[k].pfnEntree != nullptr)
                attendus.insert("ZNL_" + SansAccents(tab[i].pszNom[0]) + "_" + std::to_string(k));

    for (const char* psz : kEntreesClasse) attendus.insert(psz);
    for (const char* psz : kConstructeurs) attendus.insert(psz);
    // A property row names a getter or a setter exactly when it has one.
    auto* ppClasses = reinterpret_cast<const STClasse* const*>(pfnInfo(29, 0));
    ASSERT_NE(ppClasses, nullptr);
    ASSERT_NE(ppClasses[0], nullptr);
    const STClasse& cl = *ppClasses[0];
    ASSERT_EQ(cl.nProprietes, 10u);
    for (uintptr_t i = 0; i < cl.nProprietes; ++i) {
        if (cl.pstProprietes[i].pfnGet) attendus.insert(std::string("ZNL_CObjetProcessus_G_") + kProprietes[i]);
        if (cl.pstProprietes[i].pfnSet) attendus.insert(std::string("ZNL_CObjetProcessus_S_") + kProprietes[i]);
    }

    std::set<std::string> exportes = SymbolesExportes();
    ASSERT_FALSE(exportes.empty()) << "nm gave nothing";
    for (const std::string& s : attendus) EXPECT_TRUE(exportes.count(s)) << "not exported: " << s;
    for (const std::string& s : exportes)
        EXPECT_TRUE(attendus.count(s) || (s.rfind("ZNL_", 0) != 0 && bHelperExporte(s))) << "exported: " << s;
}

// Every entry of the class descriptor is the exported function of its name.
TEST(Exports, EveryClassEntryIsTheFunctionOfItsName) {
    Module mod;
    ASSERT_NE(mod.h, nullptr) << dlerror();
    auto pfnInfo = reinterpret_cast<PFN_InfoComposante>(dlsym(mod.h, "InfoComposante"));
    const STClasse& cl = **reinterpret_cast<const STClasse* const*>(pfnInfo(29, 0));
    EXPECT_EQ(dlsym(mod.h, "ZNL_CObjetProcessus_C"), cl.pfnCopie);
    EXPECT_EQ(dlsym(mod.h, "ZNL_CObjetProcessus_T"), cl.pfnTypeDescription);
    EXPECT_EQ(dlsym(mod.h, "ZNL_CObjetProcessus_C_0"), reinterpret_cast<void*>(cl.pstConstructeurs[0].pfnEntree));
    for (uintptr_t i = 0; i < cl.nProprietes; ++i) {
        const STPropriete& st = cl.pstProprietes[i];
        const std::string sG = std::string("ZNL_CObjetProcessus_G_") + kProprietes[i];
        const std::string sS = std::string("ZNL_CObjetProcessus_S_") + kProprietes[i];
        if (st.pfnGet) {
            EXPECT_EQ(dlsym(mod.h, sG.c_str()), st.pfnGet) << sG;
        }
        if (st.pfnSet) {
            EXPECT_EQ(dlsym(mod.h, sS.c_str()), st.pfnSet) << sS;
        }
    }
}

TEST(Exports, EveryEntryPointIsTheFunctionOfItsName) {
    Module mod;
    ASSERT_NE(mod.h, nullptr) << dlerror();
    auto pfnInfo = reinterpret_cast<PFN_InfoComposante>(dlsym(mod.h, "InfoComposante"));
    auto* tab = reinterpret_cast<const STFonction*>(pfnInfo(33, 0));
    int nVus = 0;
    for (int i = 0; i < pfnInfo(34, 0); ++i) {
        for (uint32_t k = 0; k < (tab[i].dwId >> 24); ++k) {
            void* pfn = reinterpret_cast<void*>(tab[i].pstSyntaxes[k].pfnEntree);
            if (pfn == nullptr) continue;
            ++nVus;
            std::string sNom = "ZNL_" + SansAccents(tab[i].pszNom[0]) + "_" + std::to_string(k);
            EXPECT_EQ(dlsym(mod.h, sNom.c_str()), pfn) << sNom;
        }
    }
    EXPECT_GT(nVus, 0);
}
