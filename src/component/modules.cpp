// Modules started by the library objects: those of each object, and those
// shared by every object of the process, which the first object to finish
// its initialisation starts and the last one to end stops.
#include "component/library_module.h"
#include "files/fh_table.h"
#include "memzone/memzone.h"
#include "misc/functions.h"

// Each library object starts the miscellaneous module (the random seed).
bool COMPO_bInitModulesObjet() { return _DIVERS_bInitModule(); }

void COMPO_TermModulesObjet() {}

bool COMPO_bInitModulesProcessus() {
    const bool bZones = MEM_InitModule();
    return _FIC_bInitModule() && bZones;
}

void COMPO_TermModulesProcessus() {
    _FIC_FinModule();
    MEM_FinModule();
}
