// The currency-rate module: the built-in table and its registration.
#include "devise.h"

#include <dlfcn.h>

#include <cstring>

namespace qvhost {

namespace {

struct STDevise {
    const char* pszNom;
    uint32_t dwTaux;   // units per euro x 1 000 000
};

const STDevise k_tabDevises[] = {
    {"EUR", 1000000},    {"FRF", 6559570},    {"DEM", 1955830},   {"BEF", 40339900}, {"LUF", 40339900},
    {"NLG", 2203710},    {"ITL", 1936270000}, {"ESP", 166386000}, {"PTE", 200482000}, {"ATS", 13760300},
    {"FIM", 5945730},    {"IEP", 787564},     {"GRD", 340750000},
};

void _Remplit(CTauxDeChange& cl) {
    cl.nInit();
    uint16_t w = 0;
    for (const STDevise& st : k_tabDevises) cl.bChange(w++, st.dwTaux, st.pszNom);
    cl.SetDefautAff(1);
    cl.SetDefautMem(1);
}

}  // namespace

CTauxDeChange& TauxDeChange() {
    // Never destroyed: the component may use it until the process ends.
    static CTauxDeChange* s_pcl = [] {
        auto* pcl = new CTauxDeChange;
        _Remplit(*pcl);
        return pcl;
    }();
    return *s_pcl;
}

void TauxDeChangeInitial() { _Remplit(TauxDeChange()); }

void* pChercheModuleHote(const char* pszNom) {
    if (pszNom == nullptr || strcmp(pszNom, k_szModuleDevises) != 0) return nullptr;
    // The module is this program: its handle finds the exported function.
    static void* s_hModule = dlopen(nullptr, RTLD_NOW);
    return s_hModule;
}

}  // namespace qvhost

extern "C" CTauxDeChange* OBJ_pclGetTauxDeChange() { return &qvhost::TauxDeChange(); }
