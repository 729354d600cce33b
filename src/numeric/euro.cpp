// Finding the exchange-rate table: the library shop holds the host's
// currency-rate module, whose exported function hands the table over.
#include "numeric/euro.h"

#include <dlfcn.h>

namespace {

_stCTXEURO s_stCtx;

}  // namespace

CTauxDeChange* EURO_pclGetTable(CZNLibrary& lib) {
    if (s_stCtx.pclTable != nullptr) return s_stCtx.pclTable;
    ILibShop* piShop = lib.piGetLibShop();
    if (piShop == nullptr) return nullptr;
    if (s_stCtx.hModule == nullptr) s_stCtx.hModule = piShop->pCherche(k_szModuleDevises);
    if (s_stCtx.hModule == nullptr) return nullptr;
    auto pfn = reinterpret_cast<PFN_pclGetTauxDeChange>(dlsym(s_stCtx.hModule, k_szObjTauxDeChange));
    if (pfn == nullptr) return nullptr;
    s_stCtx.pclTable = pfn();
    s_stCtx.bInit = s_stCtx.pclTable != nullptr;
    return s_stCtx.pclTable;
}

void EURO_InstalleTable(CTauxDeChange* pclTable) {
    s_stCtx.pclTable = pclTable;
    s_stCtx.bInit = pclTable != nullptr;
}

void EURO_Term() { s_stCtx = _stCTXEURO{}; }
