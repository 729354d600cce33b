// Defaults for layer hooks whose layer is not part of the module yet. Weak:
// a layer's own definition replaces them as soon as it is linked in.
#include <cstdlib>
#include <cstring>

#include "component/library_module.h"

#define QV_WEAK __attribute__((weak))

QV_WEAK bool STRMEM_bInitModule() { return true; }
QV_WEAK void STRMEM_TermModule() {}
QV_WEAK int STRMEM_nGeneralParam(int nCode, intptr_t) {
    return nCode == 2005 || nCode == 2006 || nCode == 2008 ? 1 : 0;
}
QV_WEAK void PLATFORM_ChangeAlphabet(int, const void*, void*) {}
QV_WEAK void DLLRES_Init() {}
QV_WEAK void DLLRES_Term() {}
QV_WEAK void DLLRES_SetHostLoader(PFN_ChargeMessage) {}
QV_WEAK int DLLRES_nLoadString(int, char* pszBuffer, int nSize) {
    if (pszBuffer != nullptr && nSize > 0) pszBuffer[0] = 0;
    return 0;
}
QV_WEAK bool COMPO_bInitModulesObjet() { return true; }
QV_WEAK void COMPO_TermModulesObjet() {}
QV_WEAK bool COMPO_bInitModulesProcessus() { return true; }
QV_WEAK void COMPO_TermModulesProcessus() {}
