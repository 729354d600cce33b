// Names and versions of the sibling modules. The host normally installs its
// own table; without one, a built-in list of module file names answers.
#include <cstring>

#include "platform/export.h"
#include "qvstd/exports.h"

namespace {

STDLNTable* s_pstTable = nullptr;

const char* const s_tabNomsModules[18] = {
    "QV551VM.DLL",  "QV551OBJ.DLL", "QV551DB.DLL",  "QV551FEN.DLL", "QV551IMP.DLL", "QV551NET.DLL",
    "QV551RES.DLL", "QV551XML.DLL", "QV551GRF.DLL", "QV551ETA.DLL", "QV551STD.DLL", "QV551MAT.DLL",
    "QV551DEV.DLL", "QV551COM.DLL", "QV551ZIP.DLL", "QV551OLE.DLL", "QV551DBG.DLL", "QV551LNG.DLL",
};

bool bIndexValide(int nIndex) { return s_pstTable != nullptr && nIndex >= 0 && nIndex < s_pstTable->nRows; }

}  // namespace

extern "C" {

QV_EXPORT int DLN_bInitTableNom(STDLNTable* pstTable) {
    s_pstTable = pstTable;
    return 1;
}

QV_EXPORT STDLNTable* DLN_pstGetPtr() { return s_pstTable; }

QV_EXPORT const char* DLN_pszGetName(int nIndex) {
    if (s_pstTable == nullptr) return nIndex >= 0 && nIndex < 18 ? s_tabNomsModules[nIndex] : "";
    return bIndexValide(nIndex) ? s_pstTable->pstRows[nIndex].szNom : "";
}

QV_EXPORT const char* DLN_pszGetVersion(int nIndex) {
    return bIndexValide(nIndex) ? s_pstTable->pstRows[nIndex].szVersion : "";
}

QV_EXPORT const char* DLN_pszSetVersion(int nIndex, const char* pszVersion) {
    if (!bIndexValide(nIndex)) return "";
    char* pszDest = s_pstTable->pstRows[nIndex].szVersion;
    strncpy(pszDest, pszVersion != nullptr ? pszVersion : "", 8);
    pszDest[8] = 0;
    return pszDest;
}

QV_EXPORT int DLN_bGetErreur(int* pnCode, int* pnSousCode) {
    if (s_pstTable == nullptr) return 0;
    if (pnCode) *pnCode = s_pstTable->nErreur;
    if (pnSousCode) *pnSousCode = s_pstTable->nSousErreur;
    return 1;
}

QV_EXPORT int DLN_bSetErreur(int nCode, int nSousCode) {
    if (s_pstTable == nullptr) return 0;
    s_pstTable->nErreur = nCode;
    s_pstTable->nSousErreur = nSousCode;
    return 1;
}

}  // extern "C"
