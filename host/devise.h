// The host's currency-rate module: the exchange-rate table of the euro
// functions. The host's library shop finds the module under the name
// "Devises" (the object is the module's handle, here the host program
// itself); the component looks up OBJ_pclGetTauxDeChange in it and takes
// the table it returns. The table starts with the euro and the currencies
// that were fixed to it, rates as published for them; programs change
// rates with eInitDevise, tests through TauxDeChange().
#pragma once
#include "numeric/tauxchange.h"

namespace qvhost {

// The process's table.
CTauxDeChange& TauxDeChange();
// Back to the built-in currencies, rates and defaults (currency 1 both).
void TauxDeChangeInitial();
// The library shop's answer for the modules the host carries itself: the
// currency-rate module's handle for "Devises", else null.
void* pChercheModuleHote(const char* pszNom);

}  // namespace qvhost

// The module's export, found by the component with dlsym.
extern "C" CTauxDeChange* OBJ_pclGetTauxDeChange();
