// Process-wide state of the module and the hooks of the layers it starts and
// ends (string memory, character sets, message resources).
#pragma once
#include <cstdint>

#include "qvstd/exports.h"

intptr_t COMPO_nInfoComposante(int nCode, intptr_t nArgument);
void COMPO_SetLanguageObsolete(int nLangue, const char* pszFichier);
void COMPO_ChangeAlphabet(int nAlphabet, void* pTable, void* piInfoAlphabet);

// Layer hooks. Each layer defines them; the module calls them in the
// start-up and stop order.
bool STRMEM_bInitModule();
void STRMEM_TermModule();
int STRMEM_nGeneralParam(int nCode, intptr_t nValeur);
void PLATFORM_ChangeAlphabet(int nAlphabet, const void* pTable, void* piInfoAlphabet);
void DLLRES_Init();
void DLLRES_Term();
void DLLRES_SetHostLoader(PFN_ChargeMessage pfn);
int DLLRES_nLoadString(int nNumber, char* pszBuffer, int nSize);

// Modules started by the library objects (miscellaneous, currency, memory
// zones, files, system). Counted: the first object starts them, the last
// one ends them.
bool COMPO_bInitModulesObjet();
void COMPO_TermModulesObjet();
bool COMPO_bInitModulesProcessus();
void COMPO_TermModulesProcessus();
