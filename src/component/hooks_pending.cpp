// Defaults for layer hooks whose layer is not part of the module yet. Weak:
// a layer's own definition replaces them as soon as it is linked in.
#include "component/library_module.h"

#define QV_WEAK __attribute__((weak))

QV_WEAK bool COMPO_bInitModulesObjet() { return true; }
QV_WEAK void COMPO_TermModulesObjet() {}
