// Modules shared by every library object of the process: the first object
// to finish its initialisation starts them, the last one to end stops them.
#include "component/library_module.h"
#include "files/fh_table.h"

bool COMPO_bInitModulesProcessus() { return _FIC_bInitModule(); }

void COMPO_TermModulesProcessus() { _FIC_FinModule(); }
