// Message texts by number: the host's loader first, then the component's
// own texts in the interface language; positional formatting; singular and
// plural forms.
//
// Texts handed back as "char**" are allocated with malloc and belong to the
// caller (free). They stand where an owned C text is expected.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "qvstd/exports.h"

// Module life, driven by the library entry points.
void DLLRES_Init();
void DLLRES_Term();
bool DLLRES_bInit();
bool DLLRES_bEstInitialise();
void DLLRES_SetHostLoader(PFN_ChargeMessage pfn);
PFN_ChargeMessage DLLRES_pfnGetHostLoader();
inline bool DLLRES_bUtiliseDLLRes() { return false; }
inline void* ghGetRessourceHandle() { return nullptr; }
inline void DLLRES_SetFichierQVM(const char* /*pszFichier*/) {}

// Loads text nNumber into the buffer: the number of characters written,
// nSize - 1 when the text was cut to fit, 0 when unknown (or nSize < 1;
// nothing is written then).
int DLLRES_nLoadString(int nNumber, char* pszBuffer, int nSize);
// The whole text, newly allocated; false when unknown.
bool DLLRES_bLoadString(int nNumber, char** ppszTexte);

// Load text nNumber and format it with the arguments. The n forms return
// the formatted length (-1 on failure, *ppszTexte null), the b forms true
// on success.
int DLLRES_nFormatMessage(int nNumber, char** ppszTexte, ...);
int DLLRES_nFormatMessageList(int nNumber, char** ppszTexte, va_list args);
bool DLLRES_bFormatMessage(int nNumber, char** ppszTexte, ...);
bool DLLRES_bFormatMessageList(int nNumber, char** ppszTexte, va_list args);
bool DLLRES_bFormatMessageSingulierPluriel(bool bPluriel, int nNumber, char** ppszTexte, ...);
bool DLLRES_bFormatMessageSingulierPlurielList(bool bPluriel, int nNumber, char** ppszTexte, va_list args);

// Formats a given text; with DLLRES_FROM_SYSTEM the text of the current
// errno replaces the format. Returns the length, -1 on failure.
constexpr uint32_t DLLRES_FROM_SYSTEM = 0x1000;
int DLLRES_dwFormatMessage(uint32_t dwFlags, const char* pszFormat, char** ppszTexte, va_list args);

// Newly allocated texts (never null unless memory ran out): a format with
// its arguments, and a numbered message with its arguments ("" when the
// message is unknown).
char* CTStringFormatMessage(const char* pszFormat, ...);
char* CTStringRes(int nNumber, ...);

// The singular or plural part of a text holding both, separated by LF,
// section sign, LF. Returns the start of the part and its length.
const char* DLLRES_pszSingulierPluriel(const char* pszTexte, bool bPluriel, size_t* pnLongueur);

// Positional formatter: "%1$s", "%2$u", "%1!d!" (the n-th argument), plain
// sequential directives and "%%". A directive it cannot read is copied as
// written. Newly allocated result, null on failure.
char* MSG_pszFormatList(const char* pszFormat, va_list args);
char* MSG_pszFormat(const char* pszFormat, ...);

// The component's own texts (table source): the text of nNumber in the
// first (French) or second (English) language, in UTF-8 as stored, or null.
const char* MSG_pszTexteInterne(int nNumber, bool bPremiereLangue);
// Number of stored messages and the n-th number (ascending), for checks.
size_t MSG_nNbTextes();
int MSG_nNumeroTexte(size_t nIndex);

// One row of the error-definition table.
struct STErrorDef {
    int32_t nCode;
    int32_t nMessage;
    int32_t nDetail;
    uint32_t eLevel;
};
extern const STErrorDef gstErrorDef[];
extern const size_t gnErrorDef;
// First row of the code, or null.
const STErrorDef* ERR_pstGetDefinition(int nCode);

// The same into an owned C text.
class CTString;
bool DLLRES_bLoadString(int nNumber, CTString* pclTexte);
bool DLLRES_bFormatMessage(int nNumber, CTString* pclTexte, ...);
bool DLLRES_bFormatMessageList(int nNumber, CTString* pclTexte, va_list args);
bool DLLRES_bFormatMessageSingulierPluriel(bool bPluriel, int nNumber, CTString* pclTexte, ...);
bool DLLRES_bFormatMessageSingulierPlurielList(bool bPluriel, int nNumber, CTString* pclTexte, va_list args);
int DLLRES_dwFormatMessage(uint32_t dwFlags, const char* pszFormat, CTString* pclTexte, va_list args);
bool DLLRES_bDumpInfo(uint32_t eType, const void* pstInfo, CTString* pclTexte);
