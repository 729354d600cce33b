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

    std::set<std::string> exportes = SymbolesExportes();
    ASSERT_FALSE(exportes.empty()) << "nm gave nothing";
    for (const std::string& s : attendus) EXPECT_TRUE(exportes.count(s)) << "not exported: " << s;
    for (const std::string& s : exportes)
        EXPECT_TRUE(attendus.count(s) || (s.rfind("ZNL_", 0) != 0 && bHelperExporte(s))) << "exported: " << s;
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
