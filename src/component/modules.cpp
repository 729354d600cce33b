// Modules shared by every library object of the process: the first object
// to finish its initialisation starts them, the last one to end stops them.
#include "component/library_module.h"
#include "files/fh_table.h"
#include "memzone/memzone.h"

bool COMPO_bInitModulesProcessus() {
    const bool bZones = MEM_InitModule();
    return _FIC_bInitModule() && bZones;
}

void COMPO_TermModulesProcessus() {
    _FIC_FinModule();
    MEM_FinModule();
}
