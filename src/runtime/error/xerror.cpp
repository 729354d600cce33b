#include "qvstd/xerror.h"

#include <netdb.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <new>

#include "runtime/error/dllres.h"

namespace {

const char MODULE_NOM[] = "qv150std.so";
const char MODULE_VERSION[] = "15.00Gab";
const char SEP_LIGNE[] = "\r\n";

// Debug texts of the error object itself (Latin-1).
const char DBG_SANS_DEFINITION[] =
    "##(CXError)-Pas de d\xE9"
    "finition d'erreur dans gstErrorDef pour l'identifiant <%1!u!>##";
const char DBG_NON_CHARGEE[] = "##(CXError)-Ressource <%1$u> non charg\xE9"
                               "e##";
const char DBG_VIDE[] = "##(CXError)-Ressource <%1$u> vide. LastError = <%2$u>##";

constexpr uint32_t ERRNUM_ROOM = 1;
constexpr uint32_t INFO_ROOM = 1;
constexpr uint32_t LIST_GROWTH = 30;
constexpr uint32_t SUBERR_ROOM = 10;

// --- growable arrays --------------------------------------------------------

void _ArrInit(STXErrorArray& a, uint32_t nItem, uint32_t nRoom, uint32_t nGrowth) {
    a = STXErrorArray{};
    a.nItemSize = nItem;
    a.nGrowth = nGrowth;
    a.nReserved[0] = nRoom;   // first allocation
}

void* _pArrItem(const STXErrorArray& a, uint32_t i) {
    return static_cast<char*>(a.pData) + static_cast<size_t>(i) * a.nItemSize;
}

bool _bArrAdd(STXErrorArray& a, const void* pItem) {
    if (a.nCount == a.nCapacity) {
        uint32_t nNouv = a.nCapacity == 0 ? (a.nReserved[0] ? a.nReserved[0] : 1) : a.nCapacity + a.nGrowth;
        void* p = realloc(a.pData, static_cast<size_t>(nNouv) * a.nItemSize);
        if (p == nullptr) return false;
        a.pData = p;
        a.nCapacity = nNouv;
    }
    memcpy(_pArrItem(a, a.nCount), pItem, a.nItemSize);
    ++a.nCount;
    return true;
}

void _ArrRemove(STXErrorArray& a, uint32_t i) {
    if (i >= a.nCount) return;
    memmove(_pArrItem(a, i), _pArrItem(a, i + 1), static_cast<size_t>(a.nCount - i - 1) * a.nItemSize);
    --a.nCount;
}

void _ArrFree(STXErrorArray& a) {
    free(a.pData);
    a.pData = nullptr;
    a.nCount = 0;
    a.nCapacity = 0;
}

// --- information kinds -------------------------------------------------------

enum eStockage { ST_AUCUN, ST_TEXTE, ST_I8, ST_I4, ST_OBJET, ST_POINTEUR, ST_TEXTEW };

eStockage _eStockage(uint32_t eType) {
    switch (eType) {
    case 12: return ST_I8;
    case 15: case 16: case 17: case 30: return ST_I4;
    case 21: return ST_OBJET;
    case 29: return ST_POINTEUR;
    case 34: case 35: return ST_TEXTEW;
    default: break;
    }
    if ((eType >= 1 && eType <= 11) || eType == 13 || eType == 14 || (eType >= 18 && eType <= 20) ||
        (eType >= 22 && eType <= 28) || (eType >= 31 && eType <= 33))
        return ST_TEXTE;
    return ST_AUCUN;
}

const char* const s_apszDumpFormat[EIT_LAST + 1] = {
    nullptr,
    "EIT_SRCFILE : <%s>",
    "EIT_DSTFILE : <%s>",
    "EIT_USERNAME : <%s>",
    "EIT_HELPFILE : <%s>",
    "EIT_PATHQVD : <%s>",
    "EIT_LOGICALTABLENAME : <%s>",
    "EIT_ITEMNAME : <%s>",
    "EIT_PATHFIC : <%s>",
    "EIT_PATHNDX : <%s>",
    "EIT_PATHMMO : <%s>",
    "EIT_LINKNAME : <%s>",
    "EIT_RECNUM : <%lld>",
    "EIT_ODBCCODE : <%s>",
    "EIT_ODBCDESCRIPTION : <%s>",
    "EIT_BASECODE : <%d>",
    "EIT_NATIVECODE : <%d>",
    "EIT_ADOCODE : <%d>",
    "EIT_BASEMESSAGE : <%s>",
    "EIT_NATIVEMESSAGE : <%s>",
    "EIT_ADOMESSAGE : <%s>",
    "EIT_DATAACCESS : <%p>",
    "EIT_INFOCLIENT : <%s>",
    "EIT_INFOSERVEUR : <%s>",
    "EIT_PILEZN :\r\n%s",
    "EIT_DATEHEURE : %s",
    "EIT_LOCKINFO : %s",
    "EIT_CORRIGE_ETAT : %s",
    "EIT_INFOCS : <%s>",
    "EIT_XINFO : <%d>",
    "EIT_XINFO : <%d>",
    "EIT_COMPOSANT :\r\n%s",
    "EIT_SERVEURCS : <%s>",
    "EIT_PILEC :\r\n%s",
    "EIT_SRCFILEUNICODE : <%S>",
    "EIT_DSTFILEUNICODE : <%S>",
};

const char* _pszStrError(int nCode, char* pszBuf, size_t nTaille) {
    // GNU strerror_r: may return a static text instead of filling the buffer.
    return strerror_r(nCode, pszBuf, nTaille);
}

}  // namespace

// --- construction ------------------------------------------------------------

CXError::CXError() {
    _ArrInit(m_tabErrors, sizeof(int32_t), ERRNUM_ROOM, LIST_GROWTH);
    _ArrInit(m_tabInfos, sizeof(_stERRORINFO), INFO_ROOM, LIST_GROWTH);
    m_pszInternalModule = __vpszAllocString(MODULE_NOM);
}

CXError::CXError(int nCode, ...) : CXError() {
    va_list args;
    va_start(args, nCode);
    SetUserErrorList(nCode, args);
    va_end(args);
}

CXError::CXError(const char* pszDebug, int nCode, ...) : CXError() {
    // The arguments belong to the code's message; the debug text is kept as
    // it stands.
    va_list args;
    va_start(args, nCode);
    SetUserErrorList(nCode, args);
    va_end(args);
    AddDebugMessageNoFormat(pszDebug);
}

CXError::CXError(const CXError& clSource) : CXError() { _CopyFrom(clSource); }

CXError::CXError(CXError* pclSource, bool bLight) : CXError() {
    if (pclSource == nullptr) return;
    if (bLight)
        LightCopy(*pclSource);
    else
        Copy(*pclSource);
}

CXError::~CXError() {
    RAZ();
    _ArrFree(m_tabErrors);
    _ArrFree(m_tabInfos);
    __vDeleteString(m_pszInternalModule);
    m_pszInternalModule = nullptr;
}

// --- owned texts -------------------------------------------------------------

uint32_t CXError::dwRelease() { return static_cast<uint32_t>(Release()); }

char* CXError::__vpszAllocString(const char* pszTexte) {
    if (pszTexte == nullptr) pszTexte = "";
    size_t n = strlen(pszTexte) + 1;
    char* p = static_cast<char*>(malloc(n));
    if (p != nullptr) memcpy(p, pszTexte, n);
    return p;
}

char* CXError::__vpszReallocString(char* pszAncien, const char* pszTexte) {
    char* p = __vpszAllocString(pszTexte);
    if (p == nullptr) return pszAncien;   // keep the old text rather than lose both
    __vDeleteString(pszAncien);
    return p;
}

// Null when the block cannot grow; the old block is then still valid.
char* CXError::__vpszReallocString(char* pszAncien, size_t nTaille) {
    return static_cast<char*>(realloc(pszAncien, nTaille ? nTaille : 1));
}

char* CXError::__vpszConcatString(char* pszAncien, const char* pszTexte) {
    if (pszTexte == nullptr || *pszTexte == 0) return pszAncien;
    if (pszAncien == nullptr) return __vpszAllocString(pszTexte);
    size_t n1 = strlen(pszAncien);
    size_t n2 = strlen(pszTexte);
    char* p = __vpszReallocString(pszAncien, n1 + n2 + 1);
    if (p == nullptr) return pszAncien;   // out of memory: the text stays as it was
    memcpy(p + n1, pszTexte, n2 + 1);
    return p;
}

void CXError::__vDeleteString(char* pszTexte) { free(pszTexte); }

wchar_t* CXError::__vpszAllocStringW(const wchar_t* pwszTexte) {
    if (pwszTexte == nullptr) pwszTexte = L"";
    size_t n = (wcslen(pwszTexte) + 1) * sizeof(wchar_t);
    wchar_t* p = static_cast<wchar_t*>(malloc(n));
    if (p != nullptr) memcpy(p, pwszTexte, n);
    return p;
}

void CXError::__vDeleteStringW(wchar_t* pwszTexte) { free(pwszTexte); }

void CXError::__AddSubError(CXError* pclSousErreur) {
    if (pclSousErreur == nullptr) return;
    if (m_pSubErrors == nullptr) {
        m_pSubErrors = static_cast<STXErrorArray*>(malloc(sizeof(STXErrorArray)));
        if (m_pSubErrors == nullptr) {
            pclSousErreur->Release();
            return;
        }
        _ArrInit(*m_pSubErrors, sizeof(CXError*), SUBERR_ROOM, LIST_GROWTH);
    }
    if (!_bArrAdd(*m_pSubErrors, &pclSousErreur)) pclSousErreur->Release();
}

void CXError::__DeleteAllSubError() {
    if (m_pSubErrors == nullptr) return;
    for (uint32_t i = 0; i < m_pSubErrors->nCount; ++i) {
        CXError* pcl = nullptr;
        memcpy(&pcl, _pArrItem(*m_pSubErrors, i), sizeof(pcl));
        if (pcl != nullptr) pcl->Release();
    }
    _ArrFree(*m_pSubErrors);
    free(m_pSubErrors);
    m_pSubErrors = nullptr;
}

void CXError::_SetTextField(char*& rpszChamp, const char* pszTexte) {
    if (pszTexte == nullptr || *pszTexte == 0) {
        __vDeleteString(rpszChamp);
        rpszChamp = nullptr;
        return;
    }
    rpszChamp = __vpszReallocString(rpszChamp, pszTexte);
}

// --- clearing -----------------------------------------------------------------

void CXError::RAZ() {
    for (char** pp : {&m_pszUserMessage, &m_pszDebugMessage, &m_pszFunction, &m_pszModule, &m_pszModuleVersion,
                      &m_pszSystemMessage, &m_pszCaption, &m_pszObject}) {
        __vDeleteString(*pp);
        *pp = nullptr;
    }
    m_tabErrors.nCount = 0;
    _DeleteAllInfo();
    __DeleteAllSubError();
    m_eLevel = EL_NOERROR;
    m_nUserError = 0;
    m_nSyntax = 0;
    m_nDetail = 0;
    m_nSystemError = 0;
    m_nLine = 0;
    m_nThread = 0;
    m_nBatchOperation = 0;
}

void CXError::__RAZALL() {
    RAZ();
    __vDeleteString(m_pszInternalModule);
    m_pszInternalModule = nullptr;
}

void CXError::SetErrorLevel(uint32_t eLevel) {
    if (eLevel == m_eLevel) return;
    // Level 1 means "no error": it clears everything.
    if (eLevel == EL_NOERROR)
        RAZ();
    else
        m_eLevel = eLevel;
}

// --- user errors ----------------------------------------------------------------

int CXError::nGetRessourceIdFromUserErrorCode(int nCode) {
    const STErrorDef* pst = ERR_pstGetDefinition(nCode);
    return pst ? pst->nMessage : 0;
}

void CXError::SetUserError(int nCode, const char* pszMessage, uint32_t eLevel) {
    RAZ();
    InitModInfo(true);
    m_nUserError = nCode;
    const STErrorDef* pst = ERR_pstGetDefinition(nCode);
    if (pst != nullptr) m_nDetail = pst->nDetail;
    if (pszMessage != nullptr && *pszMessage != 0) {
        _AddUserText(__vpszAllocString(pszMessage), true);
    } else if (pst != nullptr && pst->nMessage != 0) {
        // No arguments: the code's text is shown as it stands.
        char* pszTexte = nullptr;
        if (DLLRES_bLoadString(pst->nMessage, &pszTexte)) {
            int32_t nNumero = pst->nMessage;
            _bArrAdd(m_tabErrors, &nNumero);
            _AddUserText(__vpszAllocString(pszTexte), true);
            free(pszTexte);
        }
    }
    if (eLevel == 0) eLevel = pst != nullptr ? pst->eLevel : static_cast<uint32_t>(EL_ERROR);
    _FinDefinition(eLevel);
}

void CXError::SetUserErrorArgs(int nCode, ...) {
    va_list args;
    va_start(args, nCode);
    SetUserErrorList(nCode, args);
    va_end(args);
}

void CXError::SetUserErrorList(int nCode, va_list args) {
    RAZ();
    ChangeUserErrorList(nCode, args);
}

void CXError::SetUserErrorMessage(int nCode, const char* pszTexte) {
    RAZ();
    ChangeUserErrorMessage(nCode, pszTexte);
}

void CXError::ChangeUserError(int nCode, ...) {
    va_list args;
    va_start(args, nCode);
    ChangeUserErrorList(nCode, args);
    va_end(args);
}

void CXError::ChangeUserErrorList(int nCode, va_list args) {
    InitModInfo(true);
    const STErrorDef* pst = ERR_pstGetDefinition(nCode);
    if (pst == nullptr) {
        SetErrorLevel(EL_FATAL);
        AddDebugMessage(DBG_SANS_DEFINITION, static_cast<unsigned>(nCode));
        return;
    }
    m_nUserError = nCode;
    // Rows without a message number describe the error by their code only.
    if (pst->nMessage != 0) AddUserMessageListFirst(pst->nMessage, args);
    m_nDetail = pst->nDetail;
    _FinDefinition(pst->eLevel);
}

// Rows of level 1 report that nothing went wrong: they leave no error at
// all, even when the error was at level 1 already.
void CXError::_FinDefinition(uint32_t eLevel) {
    if (eLevel == EL_NOERROR)
        RAZ();
    else
        SetErrorLevel(eLevel);
}

void CXError::ChangeUserErrorMessage(int nCode, const char* pszTexte) {
    InitModInfo(true);
    const STErrorDef* pst = ERR_pstGetDefinition(nCode);
    if (pst == nullptr) {
        SetErrorLevel(EL_FATAL);
        AddDebugMessage(DBG_SANS_DEFINITION, static_cast<unsigned>(nCode));
        return;
    }
    m_nUserError = nCode;
    AddUserMessageFirst(pszTexte);
    m_nDetail = pst->nDetail;
    _FinDefinition(pst->eLevel);
}

// --- user message ---------------------------------------------------------------

// Joins an owned, newly allocated text to the user message (CR LF between).
void CXError::_AddUserText(char* pszTexte, bool bDevant) {
    if (pszTexte == nullptr) return;
    if (*pszTexte == 0) {
        __vDeleteString(pszTexte);
        return;
    }
    if (m_pszUserMessage == nullptr) {
        m_pszUserMessage = pszTexte;
        return;
    }
    if (!bDevant) {
        m_pszUserMessage = __vpszConcatString(m_pszUserMessage, SEP_LIGNE);
        m_pszUserMessage = __vpszConcatString(m_pszUserMessage, pszTexte);
        __vDeleteString(pszTexte);
        return;
    }
    pszTexte = __vpszConcatString(pszTexte, SEP_LIGNE);
    pszTexte = __vpszConcatString(pszTexte, m_pszUserMessage);
    __vDeleteString(m_pszUserMessage);
    m_pszUserMessage = pszTexte;
}

void CXError::AddUserMessage(int nNumero, ...) {
    va_list args;
    va_start(args, nNumero);
    AddUserMessageList(nNumero, args);
    va_end(args);
}

void CXError::AddUserMessageFirst(int nNumero, ...) {
    va_list args;
    va_start(args, nNumero);
    AddUserMessageListFirst(nNumero, args);
    va_end(args);
}

namespace {
// Loads and formats a numbered message. 0: done; 1: not loaded; 2: empty.
int _nChargeFormate(int nNumero, va_list args, char** ppszTexte) {
    *ppszTexte = nullptr;
    char* pszFormat = nullptr;
    if (!DLLRES_bLoadString(nNumero, &pszFormat)) return 1;
    *ppszTexte = MSG_pszFormatList(pszFormat, args);
    free(pszFormat);
    if (*ppszTexte == nullptr) return 1;
    if (**ppszTexte == 0) {
        free(*ppszTexte);
        *ppszTexte = nullptr;
        return 2;
    }
    return 0;
}
}  // namespace

void CXError::AddUserMessageList(int nNumero, va_list args) { _AddUserMessageList(nNumero, args, false); }

void CXError::AddUserMessageListFirst(int nNumero, va_list args) { _AddUserMessageList(nNumero, args, true); }

void CXError::_AddUserMessageList(int nNumero, va_list args, bool bDevant) {
    InitModInfo(false);
    int32_t n = nNumero;
    _bArrAdd(m_tabErrors, &n);
    char* pszTexte = nullptr;
    int nErrno = errno;
    switch (_nChargeFormate(nNumero, args, &pszTexte)) {
    case 1: AddDebugMessage(DBG_NON_CHARGEE, static_cast<unsigned>(nNumero)); return;
    case 2: AddDebugMessage(DBG_VIDE, static_cast<unsigned>(nNumero), static_cast<unsigned>(nErrno)); return;
    default: break;
    }
    _AddUserText(__vpszAllocString(pszTexte), bDevant);
    free(pszTexte);
}

// A ready text is shown as it stands: a '%' in a file name is not a directive.
void CXError::AddUserMessage(const char* pszTexte) {
    if (pszTexte == nullptr || *pszTexte == 0) return;
    _AddUserText(__vpszAllocString(pszTexte), false);
}

void CXError::AddUserMessageFirst(const char* pszTexte) {
    if (pszTexte == nullptr || *pszTexte == 0) return;
    _AddUserText(__vpszAllocString(pszTexte), true);
}

void CXError::AddUserMessageNoFormat(const char* pszTexte) { AddUserMessage(pszTexte); }

void CXError::RAZUserMessage() {
    __vDeleteString(m_pszUserMessage);
    m_pszUserMessage = nullptr;
}

void CXError::SetUserMessage(const char* pszMessage) { _SetTextField(m_pszUserMessage, pszMessage); }

// --- debug message --------------------------------------------------------------

void CXError::_AddDebugText(const char* pszTexte, bool bDevant) {
    if (pszTexte == nullptr || *pszTexte == 0) return;
    if (m_pszDebugMessage == nullptr) {
        m_pszDebugMessage = __vpszAllocString(pszTexte);
        return;
    }
    if (!bDevant) {
        m_pszDebugMessage = __vpszConcatString(m_pszDebugMessage, SEP_LIGNE);
        m_pszDebugMessage = __vpszConcatString(m_pszDebugMessage, pszTexte);
        return;
    }
    char* p = __vpszAllocString(pszTexte);
    if (p == nullptr) return;
    p = __vpszConcatString(p, SEP_LIGNE);
    p = __vpszConcatString(p, m_pszDebugMessage);
    __vDeleteString(m_pszDebugMessage);
    m_pszDebugMessage = p;
}

void CXError::AddDebugMessage(int nNumero, ...) {
    va_list args;
    va_start(args, nNumero);
    AddDebugMessageList(nNumero, args);
    va_end(args);
}

void CXError::AddDebugMessageList(int nNumero, va_list args) {
    char* pszTexte = nullptr;
    int nErrno = errno;
    switch (_nChargeFormate(nNumero, args, &pszTexte)) {
    case 1: AddDebugMessage(DBG_NON_CHARGEE, static_cast<unsigned>(nNumero)); return;
    case 2: AddDebugMessage(DBG_VIDE, static_cast<unsigned>(nNumero), static_cast<unsigned>(nErrno)); return;
    default: break;
    }
    _AddDebugText(pszTexte, false);
    free(pszTexte);
}

void CXError::AddDebugMessage(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    AddDebugMessageList(pszFormat, args);
    va_end(args);
}

void CXError::AddDebugMessageList(const char* pszFormat, va_list args) {
    char* pszTexte = MSG_pszFormatList(pszFormat, args);
    _AddDebugText(pszTexte ? pszTexte : pszFormat, false);
    free(pszTexte);
}

void CXError::AddDebugMessageNoFormat(const char* pszTexte) { _AddDebugText(pszTexte, false); }

void CXError::AddDebugMessageFirst(const char* pszTexte) { _AddDebugText(pszTexte, true); }

void CXError::SetDebugMessage(const char* pszMessage) { _SetTextField(m_pszDebugMessage, pszMessage); }

// --- system error ----------------------------------------------------------------

void CXError::SetSystemError(int nCode) {
    m_nSystemError = nCode;
    if (nCode == 0) {
        __vDeleteString(m_pszSystemMessage);
        m_pszSystemMessage = nullptr;
        return;
    }
    char szBuf[256];
    _SetTextField(m_pszSystemMessage, _pszStrError(nCode, szBuf, sizeof(szBuf)));
}

void CXError::SetSystemError(int nCode, const char* pszMessage) {
    m_nSystemError = nCode;
    _SetTextField(m_pszSystemMessage, pszMessage);
}

void CXError::SetSystemErrorParam(int nCode, const char* pszParam) {
    SetSystemError(nCode);
    // System texts may hold "%1" for the failing argument.
    if (m_pszSystemMessage == nullptr || pszParam == nullptr) return;
    const char* pMarque = strstr(m_pszSystemMessage, "%1");
    if (pMarque == nullptr) return;
    size_t nAvant = static_cast<size_t>(pMarque - m_pszSystemMessage);
    char* p = __vpszReallocString(static_cast<char*>(nullptr), nAvant + 1);
    if (p == nullptr) return;
    memcpy(p, m_pszSystemMessage, nAvant);
    p[nAvant] = 0;
    p = __vpszConcatString(p, pszParam);
    p = __vpszConcatString(p, pMarque + 2);
    __vDeleteString(m_pszSystemMessage);
    m_pszSystemMessage = p;
}

void CXError::SetSystemErrorMessage(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    char* p = MSG_pszFormatList(pszFormat, args);
    va_end(args);
    _SetTextField(m_pszSystemMessage, p ? p : pszFormat);
    free(p);
}

void CXError::SetSystemErrorMessage(int nCode, const char* pszFormat, ...) {
    m_nSystemError = nCode;
    va_list args;
    va_start(args, pszFormat);
    char* p = MSG_pszFormatList(pszFormat, args);
    va_end(args);
    _SetTextField(m_pszSystemMessage, p ? p : pszFormat);
    free(p);
}

void CXError::SetSystemErrorMessageId(int nNumero, ...) {
    va_list args;
    va_start(args, nNumero);
    char* pszTexte = nullptr;
    int nErrno = errno;
    int nRes = _nChargeFormate(nNumero, args, &pszTexte);
    va_end(args);
    char* pszNote = nullptr;
    if (nRes == 1) pszNote = MSG_pszFormat(DBG_NON_CHARGEE, static_cast<unsigned>(nNumero));
    if (nRes == 2) pszNote = MSG_pszFormat(DBG_VIDE, static_cast<unsigned>(nNumero), static_cast<unsigned>(nErrno));
    _SetTextField(m_pszSystemMessage, nRes == 0 ? pszTexte : pszNote);
    free(pszTexte);
    free(pszNote);
}

void CXError::SetSystemErrorForGetHostBy(int nCode) {
    m_nSystemError = nCode;
    _SetTextField(m_pszSystemMessage, nCode ? hstrerror(nCode) : nullptr);
}

void CXError::SetErrorNoMemory() {
    RAZ();
    AddUserMessageFirst(25193);
    SetSystemError(ENOMEM);
}

// --- context -----------------------------------------------------------------------

void CXError::SetFunctionName(const char* pszNom, int nSyntaxe) {
    _SetTextField(m_pszFunction, pszNom);
    m_nSyntax = static_cast<uint8_t>(nSyntaxe);
}

void CXError::SetVMContext(const char* pszCaption, const char* pszObjet, int nLigne, int nThread) {
    char* pCaption = (pszCaption && *pszCaption) ? __vpszAllocString(pszCaption) : nullptr;
    char* pObjet = (pszObjet && *pszObjet) ? __vpszAllocString(pszObjet) : nullptr;
    bool bEchec = (pszCaption && *pszCaption && !pCaption) || (pszObjet && *pszObjet && !pObjet);
    __vDeleteString(m_pszCaption);
    __vDeleteString(m_pszObject);
    m_pszCaption = pCaption;
    m_pszObject = pObjet;
    if (bEchec) return;
    m_nLine = static_cast<uint16_t>(nLigne);
    m_nThread = static_cast<uint16_t>(nThread);
}

void CXError::InitModInfo(bool bForce) {
    if (bForce || m_pszModule == nullptr) InitModName(MODULE_NOM);
    if (bForce || m_pszModuleVersion == nullptr) InitModVersion(MODULE_VERSION);
}

void CXError::InitModName(const char* pszNom) { _SetTextField(m_pszModule, pszNom); }

void CXError::InitModVersion(const char* pszVersion) { _SetTextField(m_pszModuleVersion, pszVersion); }

// --- information items ----------------------------------------------------------------

void CXError::_FreeInfo(_stERRORINFO& st) {
    switch (_eStockage(st.eType)) {
    case ST_TEXTE: __vDeleteString(st.pszValeur); break;
    case ST_TEXTEW: __vDeleteStringW(st.pwszValeur); break;
    case ST_OBJET:
        if (st.pclObjet) st.pclObjet->Release();
        break;
    default: break;
    }
    st.adw[0] = 0;
    st.adw[1] = 0;
    st.pValeur = nullptr;
}

void CXError::_DeleteAllInfo() {
    for (uint32_t i = 0; i < m_tabInfos.nCount; ++i) {
        _stERRORINFO st;
        memcpy(&st, _pArrItem(m_tabInfos, i), sizeof(st));
        _FreeInfo(st);
    }
    m_tabInfos.nCount = 0;
}

// Stores an item whose value is already owned; replaces an item of the kind.
bool CXError::_bStoreInfo(const _stERRORINFO& stInfo) {
    for (uint32_t i = 0; i < m_tabInfos.nCount; ++i) {
        _stERRORINFO st;
        memcpy(&st, _pArrItem(m_tabInfos, i), sizeof(st));
        if (st.eType != stInfo.eType) continue;
        _FreeInfo(st);
        memcpy(_pArrItem(m_tabInfos, i), &stInfo, sizeof(stInfo));
        return true;
    }
    return _bArrAdd(m_tabInfos, &stInfo);
}

bool CXError::AddInfo(eERRORINFOTYPE eType, const char* pszTexte) {
    if (_eStockage(eType) != ST_TEXTE) return false;
    _stERRORINFO st{};
    st.eType = eType;
    st.pszValeur = __vpszAllocString(pszTexte);
    if (st.pszValeur == nullptr) return false;
    if (_bStoreInfo(st)) return true;
    _FreeInfo(st);
    return false;
}

bool CXError::AddInfo(eERRORINFOTYPE eType, const wchar_t* pwszTexte) {
    if (_eStockage(eType) != ST_TEXTEW) return false;
    _stERRORINFO st{};
    st.eType = eType;
    st.pwszValeur = __vpszAllocStringW(pwszTexte);
    if (st.pwszValeur == nullptr) return false;
    if (_bStoreInfo(st)) return true;
    _FreeInfo(st);
    return false;
}

bool CXError::AddInfo(eERRORINFOTYPE eType, int32_t nValeur) {
    if (_eStockage(eType) == ST_I8) return AddInfo(eType, static_cast<int64_t>(nValeur));
    if (_eStockage(eType) != ST_I4) return false;
    _stERRORINFO st{};
    st.eType = eType;
    st.nValeur = nValeur;
    return _bStoreInfo(st);
}

bool CXError::AddInfo(eERRORINFOTYPE eType, int64_t llValeur) {
    if (_eStockage(eType) != ST_I8) return false;
    _stERRORINFO st{};
    st.eType = eType;
    st.llValeur = llValeur;
    return _bStoreInfo(st);
}

bool CXError::AddInfo(eERRORINFOTYPE eType, CQVUnknown* pclObjet) {
    if (_eStockage(eType) != ST_OBJET) return false;
    _stERRORINFO st{};
    st.eType = eType;
    st.pclObjet = pclObjet;
    if (pclObjet) pclObjet->AddRef();
    if (_bStoreInfo(st)) return true;
    if (pclObjet) pclObjet->Release();
    return false;
}

bool CXError::AddInfo(eERRORINFOTYPE eType, void* pValeur) {
    if (_eStockage(eType) != ST_POINTEUR) return false;
    _stERRORINFO st{};
    st.eType = eType;
    st.pValeur = pValeur;
    return _bStoreInfo(st);
}

bool CXError::GetInfo(int nIndex, eERRORINFOTYPE* peType, const _stERRORINFO** ppstInfo) const {
    if (nIndex < 0 || static_cast<uint32_t>(nIndex) >= m_tabInfos.nCount) return false;
    const _stERRORINFO* pst = static_cast<const _stERRORINFO*>(_pArrItem(m_tabInfos, static_cast<uint32_t>(nIndex)));
    if (peType) *peType = static_cast<eERRORINFOTYPE>(pst->eType);
    if (ppstInfo) *ppstInfo = pst;
    return true;
}

bool CXError::bGetInfo(eERRORINFOTYPE eType, const _stERRORINFO** ppstInfo) const {
    for (uint32_t i = 0; i < m_tabInfos.nCount; ++i) {
        const _stERRORINFO* pst = static_cast<const _stERRORINFO*>(_pArrItem(m_tabInfos, i));
        if (pst->eType != eType) continue;
        if (ppstInfo) *ppstInfo = pst;
        return true;
    }
    return false;
}

void CXError::DeleteInfo(eERRORINFOTYPE eType) {
    for (uint32_t i = 0; i < m_tabInfos.nCount; ++i) {
        _stERRORINFO st;
        memcpy(&st, _pArrItem(m_tabInfos, i), sizeof(st));
        if (st.eType != eType) continue;
        _FreeInfo(st);
        _ArrRemove(m_tabInfos, i);
        return;
    }
}

int CXError::nGetErrorId(int nIndex) const {
    if (nIndex < 0 || static_cast<uint32_t>(nIndex) >= m_tabErrors.nCount) return 0;
    int32_t n = 0;
    memcpy(&n, _pArrItem(m_tabErrors, static_cast<uint32_t>(nIndex)), sizeof(n));
    return n;
}

uint32_t CXError::_dwGetXInfo() const {
    const _stERRORINFO* pst = nullptr;
    if (!bGetInfo(EIT_XINFO, &pst)) return 0;
    return static_cast<uint32_t>(pst->nValeur);
}

void CXError::_SetXInfo(uint32_t dwFlag, bool bOui) {
    uint32_t dw = _dwGetXInfo();
    dw = bOui ? (dw | dwFlag) : (dw & ~dwFlag);
    AddInfo(EIT_XINFO, static_cast<int32_t>(dw));
}

void CXError::SetErreurDroitOnSystemError(int nCode) {
    if (m_nSystemError == nCode) SetErreurDroit();
}

char* CXError::DumpInfo(eERRORINFOTYPE eType, const _stERRORINFO* pst) {
    if (pst == nullptr || eType < 1 || eType > EIT_LAST) return MSG_pszFormat("");
    const char* pszFormat = s_apszDumpFormat[eType];
    switch (_eStockage(eType)) {
    case ST_TEXTE: return MSG_pszFormat(pszFormat, pst->pszValeur ? pst->pszValeur : "");
    case ST_TEXTEW: return MSG_pszFormat(pszFormat, pst->pwszValeur ? pst->pwszValeur : L"");
    case ST_I8: return MSG_pszFormat(pszFormat, static_cast<long long>(pst->llValeur));
    case ST_I4: return MSG_pszFormat(pszFormat, pst->nValeur);
    case ST_OBJET: return MSG_pszFormat(pszFormat, static_cast<const void*>(pst->pclObjet));
    case ST_POINTEUR: return MSG_pszFormat(pszFormat, static_cast<int>(reinterpret_cast<intptr_t>(pst->pValeur)));
    default: return MSG_pszFormat("");
    }
}

// --- sub-errors ---------------------------------------------------------------------------

void CXError::_AddSubError(CXError* pclNouvelle, bool bUserMessage) {
    if (pclNouvelle == nullptr) return;
    __AddSubError(pclNouvelle);
    if (bUserMessage && nGetNbSubError() == 1 && pclGetSubError(0) == pclNouvelle)
        AddUserMessageNoFormat(pclNouvelle->pszGetUserMessage());
}

void CXError::AddSubError(const CXError* pclErreur) {
    if (pclErreur == nullptr) return;
    _AddSubError(new (std::nothrow) CXError(*pclErreur), true);
}

void CXError::AddSubErrorLight(CXError* pclErreur) {
    if (pclErreur == nullptr) return;
    _AddSubError(new (std::nothrow) CXError(pclErreur, true), true);
}

void CXError::AddSubErrorLightNoUserMessage(CXError* pclErreur) {
    if (pclErreur == nullptr) return;
    _AddSubError(new (std::nothrow) CXError(pclErreur, true), false);
}

int CXError::nGetNbSubError() const { return m_pSubErrors ? static_cast<int>(m_pSubErrors->nCount) : 0; }

CXError* CXError::pclGetSubError(int nIndex) const {
    if (m_pSubErrors == nullptr || nIndex < 0 || static_cast<uint32_t>(nIndex) >= m_pSubErrors->nCount) return nullptr;
    CXError* pcl = nullptr;
    memcpy(&pcl, _pArrItem(*m_pSubErrors, static_cast<uint32_t>(nIndex)), sizeof(pcl));
    return pcl;
}

// --- copies ------------------------------------------------------------------------------------

void CXError::_CopyFrom(const CXError& s) {
    m_eLevel = s.m_eLevel;
    m_nUserError = s.m_nUserError;
    _SetTextField(m_pszUserMessage, s.m_pszUserMessage);
    _SetTextField(m_pszDebugMessage, s.m_pszDebugMessage);
    _SetTextField(m_pszFunction, s.m_pszFunction);
    _SetTextField(m_pszModule, s.m_pszModule);
    _SetTextField(m_pszModuleVersion, s.m_pszModuleVersion);
    m_nSyntax = s.m_nSyntax;
    m_nDetail = s.m_nDetail;
    m_tabErrors.nCount = 0;
    for (uint32_t i = 0; i < s.m_tabErrors.nCount; ++i) _bArrAdd(m_tabErrors, _pArrItem(s.m_tabErrors, i));
    _DeleteAllInfo();
    for (uint32_t i = 0; i < s.m_tabInfos.nCount; ++i) {
        _stERRORINFO st;
        memcpy(&st, _pArrItem(s.m_tabInfos, i), sizeof(st));
        const auto eType = static_cast<eERRORINFOTYPE>(st.eType);
        switch (_eStockage(st.eType)) {
        case ST_TEXTE: AddInfo(eType, static_cast<const char*>(st.pszValeur)); break;
        case ST_TEXTEW: AddInfo(eType, static_cast<const wchar_t*>(st.pwszValeur)); break;
        case ST_OBJET: AddInfo(eType, st.pclObjet); break;
        default: _bStoreInfo(st); break;
        }
    }
    m_nSystemError = s.m_nSystemError;
    _SetTextField(m_pszSystemMessage, s.m_pszSystemMessage);
    _SetTextField(m_pszCaption, s.m_pszCaption);
    m_nLine = s.m_nLine;
    m_nThread = s.m_nThread;
    __DeleteAllSubError();
    for (int i = 0; i < s.nGetNbSubError(); ++i) {
        CXError* pcl = new (std::nothrow) CXError(*s.pclGetSubError(i));
        if (pcl != nullptr) __AddSubError(pcl);
    }
    _SetTextField(m_pszObject, s.m_pszObject);
    if (s.m_pszInternalModule != nullptr) _SetTextField(m_pszInternalModule, s.m_pszInternalModule);
    m_nBatchOperation = s.m_nBatchOperation;
}

void CXError::Copy(const CXError& clSource) {
    if (&clSource == this) return;
    RAZ();
    _CopyFrom(clSource);
}

namespace {
template <typename T>
T _Prend(T& r, T vide) {
    T v = r;
    r = vide;
    return v;
}
}  // namespace

void CXError::LightCopy(CXError& s) {
    if (&s == this) return;
    RAZ();
    m_eLevel = _Prend<uint32_t>(s.m_eLevel, EL_NOERROR);
    m_nUserError = _Prend<int32_t>(s.m_nUserError, 0);
    m_nBatchOperation = _Prend<int32_t>(s.m_nBatchOperation, 0);
    m_pszUserMessage = _Prend<char*>(s.m_pszUserMessage, nullptr);
    m_pszModule = _Prend<char*>(s.m_pszModule, nullptr);
    m_pszModuleVersion = _Prend<char*>(s.m_pszModuleVersion, nullptr);
    m_pszDebugMessage = _Prend<char*>(s.m_pszDebugMessage, nullptr);
    m_pszFunction = _Prend<char*>(s.m_pszFunction, nullptr);
    m_nSystemError = _Prend<int32_t>(s.m_nSystemError, 0);
    m_pszSystemMessage = _Prend<char*>(s.m_pszSystemMessage, nullptr);
    m_pszCaption = _Prend<char*>(s.m_pszCaption, nullptr);
    m_pszObject = _Prend<char*>(s.m_pszObject, nullptr);
    m_nDetail = _Prend<int32_t>(s.m_nDetail, 0);
    m_nSyntax = _Prend<uint8_t>(s.m_nSyntax, 0);
    m_nLine = _Prend<uint16_t>(s.m_nLine, 0);
    m_nThread = _Prend<uint16_t>(s.m_nThread, 0);
    // The error-number list changes hands; the source keeps an empty one.
    STXErrorArray stTmp = m_tabErrors;
    m_tabErrors = s.m_tabErrors;
    s.m_tabErrors = stTmp;
    s.m_tabErrors.nCount = 0;
    // Information items move, except a data-access object that belongs to
    // another module.
    const bool bMemeModule = strcmp(pszGetInternalModule(), s.pszGetInternalModule()) == 0;
    for (uint32_t i = 0; i < s.m_tabInfos.nCount; ++i) {
        _stERRORINFO st;
        memcpy(&st, _pArrItem(s.m_tabInfos, i), sizeof(st));
        if ((st.eType == EIT_DATAACCESS && !bMemeModule) || !_bArrAdd(m_tabInfos, &st)) _FreeInfo(st);
    }
    s.m_tabInfos.nCount = 0;
    m_pSubErrors = _Prend<STXErrorArray*>(s.m_pSubErrors, nullptr);
}
