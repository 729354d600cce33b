// The currency context: the exchange-rate table that the host's
// currency-rate module supplies, found through the host's library shop on
// the first use of a euro function and shared by every library object of
// the process (the table belongs to the module, never to the component).
#pragma once
#include "numeric/tauxchange.h"
#include "runtime/znlibrary.h"

struct _stCTXEURO {
    bool bInit = false;
    CTauxDeChange* pclTable = nullptr;
    void* hModule = nullptr;
};

// The table, loaded on first use; null when the module or its function is
// missing.
CTauxDeChange* EURO_pclGetTable(CZNLibrary& lib);
// Installs a table the caller keeps alive (null forgets it): a host that
// hands its table over directly, and the tests.
void EURO_InstalleTable(CTauxDeChange* pclTable);
// Forgets the table and the module handle (the component's end).
void EURO_Term();
