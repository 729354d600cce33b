// Message loading and formatting into owned C texts.
#include <cstdlib>

#include "runtime/error/dllres.h"
#include "core/tstring.h"
#include "qvstd/xerror.h"

namespace {
// Hands a malloc'd result to the string; an empty result empties it.
bool _bDonne(char* psz, bool bOk, CTString* pclTexte) {
    if (pclTexte == nullptr) {
        free(psz);
        return false;
    }
    if (!bOk || psz == nullptr) {
        free(psz);
        pclTexte->Vide();
        return false;
    }
    bool b = *psz == 0 ? (pclTexte->Vide(), true) : pclTexte->Set(psz);
    free(psz);
    return b;
}
}  // namespace

bool DLLRES_bLoadString(int nNumber, CTString* pclTexte) {
    char* psz = nullptr;
    bool b = DLLRES_bLoadString(nNumber, &psz);
    return _bDonne(psz, b, pclTexte);
}

bool DLLRES_bFormatMessageList(int nNumber, CTString* pclTexte, va_list args) {
    char* psz = nullptr;
    bool b = DLLRES_bFormatMessageList(nNumber, &psz, args);
    return _bDonne(psz, b, pclTexte);
}

bool DLLRES_bFormatMessage(int nNumber, CTString* pclTexte, ...) {
    va_list args;
    va_start(args, pclTexte);
    bool b = DLLRES_bFormatMessageList(nNumber, pclTexte, args);
    va_end(args);
    return b;
}

bool DLLRES_bFormatMessageSingulierPlurielList(bool bPluriel, int nNumber, CTString* pclTexte, va_list args) {
    char* psz = nullptr;
    bool b = DLLRES_bFormatMessageSingulierPlurielList(bPluriel, nNumber, &psz, args);
    return _bDonne(psz, b, pclTexte);
}

bool DLLRES_bFormatMessageSingulierPluriel(bool bPluriel, int nNumber, CTString* pclTexte, ...) {
    va_list args;
    va_start(args, pclTexte);
    bool b = DLLRES_bFormatMessageSingulierPlurielList(bPluriel, nNumber, pclTexte, args);
    va_end(args);
    return b;
}

int DLLRES_dwFormatMessage(uint32_t dwFlags, const char* pszFormat, CTString* pclTexte, va_list args) {
    char* psz = nullptr;
    int n = DLLRES_dwFormatMessage(dwFlags, pszFormat, &psz, args);
    return _bDonne(psz, n >= 0, pclTexte) || n == 0 ? n : -1;
}

bool DLLRES_bDumpInfo(uint32_t eType, const void* pstInfo, CTString* pclTexte) {
    char* psz = CXError::DumpInfo(static_cast<eERRORINFOTYPE>(eType), static_cast<const _stERRORINFO*>(pstInfo));
    return _bDonne(psz, true, pclTexte);
}
