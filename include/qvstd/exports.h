// The plain functions the module exports to its host.
#pragma once
#include <cstdint>

class IZNLibrary;

extern "C" {
typedef int (*PFN_bInitLibrary)(void* hInstance);
typedef int (*PFN_TermLibrary)();
typedef intptr_t (*PFN_InfoComposante)(int nCode, intptr_t nArgument);
typedef intptr_t (*PFN_CommandeComposante)(int nCode, intptr_t nArgument);
typedef int (*PFN_GeneralParam)(int nCode, intptr_t nValeur);
typedef void (*PFN_DeclareProxy)(void** ppExport, int* pnExport, void** ppImport, int* pnImport);
typedef void* (*PFN_pQueryProxy)(int nCode);
typedef intptr_t (*PFN_Execution)(int nCode, intptr_t nArgument);
}

// Host callback reached through the execution link ("Execution" in the host
// module): request, sub-code, answer out.
typedef intptr_t (*PFN_HostExecution)(int nRequest, intptr_t nSousCode, void* pReponse);

// Execution(3985, block): block words.
struct STInitExecution {
    uint32_t dwReserve;
    void* hModuleHote;    // dlopen handle in which "Execution" is looked up
    intptr_t nParam1;     // forwarded to the link on every initialisation
    intptr_t nParam2;
};

// Execution(4876/4877, block).
struct STChangeAlphabet {
    int nAlphabet;
    void* pTableCaracteres;
    void* piInfoAlphabet;  // level 2 only
};

// CommandeComposante(3, block): load one message text.
struct STChargeMessage {
    uint32_t dwReserve;
    int nMessage;
    char* pszBuffer;
    int nTaille;
    int nResultat;
};

// Host message loader handed over by CommandeComposante(2, loader):
// (message number, buffer, size) -> characters written, 0 when unknown.
typedef int (*PFN_ChargeMessage)(int nMessage, char* pszBuffer, int nTaille);

// Requests of the execution link to the host callback.
enum eHostRequest {
    HR_TERMINE = 3052,
    HR_QUERY = 3053,
    HR_STACKFRAME = 3184,
};

// DLN_* name table row and header.
#pragma pack(push, 1)
struct STDLNRow {
    char szNom[13];
    char szVersion[9];
};
#pragma pack(pop)
struct STDLNTable {
    STDLNRow* pstRows;
    int nRows;
    int nErreur;
    int nSousErreur;
};
static_assert(sizeof(STDLNRow) == 22, "name table row");
