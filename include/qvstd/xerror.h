// The error object every failure of the component is described by. The host
// reads it after each call through the inline getters below; everything
// that changes it lives in the component.
//
// Layout note: the documented object puts the reference count before the
// virtual table; C++ places the virtual table pointer first, so the count
// follows it here. The fields after the base keep their documented order.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <cstdint>

// Reference-counted root of the component's shared objects.
class CQVUnknown {
public:
    CQVUnknown() = default;
    CQVUnknown(const CQVUnknown&) = delete;
    CQVUnknown& operator=(const CQVUnknown&) = delete;
    virtual ~CQVUnknown() = default;
    int32_t AddRef() { return ++m_nRef; }
    int32_t Release() {
        int32_t n = --m_nRef;
        if (n <= 0) delete this;
        return n;
    }
    int32_t nGetRef() const { return m_nRef; }

protected:
    int32_t m_nRef = 1;
};

enum eERRORLEVEL : uint32_t {
    EL_NOERROR = 1,
    EL_ERROR = 2,
    EL_FATAL = 3,
    EL_WARNING_10002 = 0x10002,
    EL_FORWARD = 0x40000010,
};

// Kinds of information item; at most one item per kind.
enum eERRORINFOTYPE : uint32_t {
    EIT_NONE = 0,
    EIT_SRCFILE = 1,
    EIT_DSTFILE = 2,
    EIT_USERNAME = 3,
    EIT_HELPFILE = 4,
    EIT_PATHQVD = 5,
    EIT_LOGICALTABLENAME = 6,
    EIT_ITEMNAME = 7,
    EIT_PATHFIC = 8,
    EIT_PATHNDX = 9,
    EIT_PATHMMO = 10,
    EIT_LINKNAME = 11,
    EIT_RECNUM = 12,
    EIT_ODBCCODE = 13,
    EIT_ODBCDESCRIPTION = 14,
    EIT_BASECODE = 15,
    EIT_NATIVECODE = 16,
    EIT_ADOCODE = 17,
    EIT_BASEMESSAGE = 18,
    EIT_NATIVEMESSAGE = 19,
    EIT_ADOMESSAGE = 20,
    EIT_DATAACCESS = 21,
    EIT_INFOCLIENT = 22,
    EIT_INFOSERVEUR = 23,
    EIT_PILEZN = 24,
    EIT_DATEHEURE = 25,
    EIT_LOCKINFO = 26,
    EIT_CORRIGE_ETAT = 27,
    EIT_INFOCS = 28,
    EIT_RAWPOINTER = 29,
    EIT_XINFO = 30,
    EIT_COMPOSANT = 31,
    EIT_SERVEURCS = 32,
    EIT_PILEC = 33,
    EIT_SRCFILEUNICODE = 34,
    EIT_DSTFILEUNICODE = 35,
    EIT_LAST = 35,
};

// Flags held by the EIT_XINFO item.
enum : uint32_t {
    XINFO_ERREURDROIT = 1,
    XINFO_SANSTRAITEMENTAUTO = 2,
    XINFO_ERREURSOAPSERVEUR = 4,
};

// One information item: its kind and two value words (a pointer, a 4-byte
// integer or an 8-byte value, according to the kind).
#pragma pack(push, 4)
struct _stERRORINFO {
    uint32_t eType;
    union {
        uint32_t adw[2];
        int64_t llValeur;
        int32_t nValeur;
        char* pszValeur;
        wchar_t* pwszValeur;
        CQVUnknown* pclObjet;
        void* pValeur;
    };
};
#pragma pack(pop)

// Growable array of small fixed-size items (message numbers, information
// items, sub-errors); the component owns the memory.
struct STXErrorArray {
    void* pData;
    uint32_t nCount;
    uint32_t nCapacity;
    uint32_t nGrowth;
    uint32_t nItemSize;
    uint32_t nReserved[2];
};

#if defined(__i386__)
static_assert(sizeof(_stERRORINFO) == 12, "information item");
static_assert(sizeof(STXErrorArray) == 28, "growable array");
#endif

class CXError : public CQVUnknown {
public:
    CXError();
    // From a user error code and the arguments of its message (as
    // SetUserErrorList).
    explicit CXError(int nCode, ...);
    // From a debug text (formatted with the arguments) and a user error code.
    CXError(const char* pszDebug, int nCode, ...);
    CXError(const CXError& clSource);
    // Copy (bLight false) or move (bLight true) of another error; null gives
    // an empty error.
    CXError(CXError* pclSource, bool bLight);
    CXError& operator=(const CXError&) = delete;
    ~CXError() override;

    // Owned texts are allocated, grown, joined and freed only through these.
    virtual uint32_t dwRelease();
    virtual char* __vpszAllocString(const char* pszTexte);
    virtual char* __vpszReallocString(char* pszAncien, const char* pszTexte);
    virtual char* __vpszReallocString(char* pszAncien, size_t nTaille);
    virtual char* __vpszConcatString(char* pszAncien, const char* pszTexte);
    virtual void __vDeleteString(char* pszTexte);
    virtual void __AddSubError(CXError* pclSousErreur);
    virtual void __DeleteAllSubError();
    virtual wchar_t* __vpszAllocStringW(const wchar_t* pwszTexte);
    virtual void __vDeleteStringW(wchar_t* pwszTexte);

    // Read side, inline so that the host can use it without linking to us.
    uint32_t eGetErrorLevel() const { return m_eLevel; }
    bool bIsError() const { return m_eLevel != EL_NOERROR; }
    int nGetUserError() const { return m_nUserError; }
    const char* pszGetUserMessage() const { return m_pszUserMessage ? m_pszUserMessage : ""; }
    const char* pszGetDebugMessage() const { return m_pszDebugMessage ? m_pszDebugMessage : ""; }
    const char* pszGetFunctionName() const { return m_pszFunction ? m_pszFunction : ""; }
    int nGetSystemError() const { return m_nSystemError; }
    const char* pszGetSystemErrorMessage() const { return m_pszSystemMessage ? m_pszSystemMessage : ""; }

    // Clearing. Virtual so that the host, which only reads this object's
    // layout, can empty it after it has reported an error.
    virtual void RAZ();
    void __RAZALL();
    void SetErrorLevel(uint32_t eLevel);

    // User errors of the error-definition table.
    // SetUserError takes a READY message (used as it stands, never read as
    // a format; null or empty takes the code's own text as it stands) and a
    // level (0: the level of the code's row, 2 for a code without one). To
    // format the code's text with arguments, use SetUserErrorArgs or
    // SetUserErrorList.
    void SetUserError(int nCode, const char* pszMessage, uint32_t eLevel = 0);
    void SetUserErrorArgs(int nCode, ...);
    void SetUserErrorList(int nCode, va_list args);
    void SetUserErrorMessage(int nCode, const char* pszTexte);
    void ChangeUserError(int nCode, ...);
    void ChangeUserErrorList(int nCode, va_list args);
    void ChangeUserErrorMessage(int nCode, const char* pszTexte);
    static int nGetRessourceIdFromUserErrorCode(int nCode);

    // User message: numbered messages formatted with their arguments, joined
    // by CR LF.
    void AddUserMessage(int nNumero, ...);
    void AddUserMessageList(int nNumero, va_list args);
    void AddUserMessageFirst(int nNumero, ...);
    void AddUserMessageListFirst(int nNumero, va_list args);
    void AddUserMessage(const char* pszTexte);        // taken as it stands
    void AddUserMessageFirst(const char* pszTexte);   // taken as it stands
    void AddUserMessageNoFormat(const char* pszTexte);
    void RAZUserMessage();

    // Debug message.
    void AddDebugMessage(int nNumero, ...);
    void AddDebugMessageList(int nNumero, va_list args);
    void AddDebugMessage(const char* pszFormat, ...);
    void AddDebugMessageList(const char* pszFormat, va_list args);
    void AddDebugMessageNoFormat(const char* pszTexte);
    void AddDebugMessageFirst(const char* pszTexte);  // taken as it stands

    // System error.
    void SetSystemError(int nCode);
    void SetSystemError(int nCode, const char* pszMessage);   // code and ready text
    void SetSystemErrorParam(int nCode, const char* pszParam);
    void SetSystemErrorMessage(const char* pszFormat, ...);
    void SetSystemErrorMessage(int nCode, const char* pszFormat, ...);
    void SetSystemErrorMessageId(int nNumero, ...);          // a numbered message
    void SetSystemErrorForGetHostBy(int nCode);
    uint32_t dwGetSystemErrorCode() const { return static_cast<uint32_t>(m_nSystemError); }
    void SetErrorNoMemory();

    // Context of the failure.
    void SetFunctionName(const char* pszNom, int nSyntaxe);
    void SetFunction(const char* pszNom, uint8_t nSyntaxe) { SetFunctionName(pszNom, nSyntaxe); }
    int nGetFunctionSyntax() const { return m_nSyntax; }
    void SetDetailId(int nDetail) { m_nDetail = nDetail; }
    int nGetDetailId() const { return m_nDetail; }
    void SetUserErrorCode(int nCode) { m_nUserError = nCode; }
    int nGetUserErrorCode() const { return m_nUserError; }
    void SetBatchOperation(int n) { m_nBatchOperation = n; }
    int nGetBatchOperation() const { return m_nBatchOperation; }
    void SetUserErrorCode55(int n) { m_nBatchOperation = n; }
    int nGetUserErrorCode55() const { return m_nBatchOperation; }
    void SetVMContext(const char* pszCaption, const char* pszObjet, int nLigne, int nThread);
    const char* pszGetTraitmentCaption() const { return m_pszCaption ? m_pszCaption : ""; }
    const char* pszGetObjectName() const { return m_pszObject ? m_pszObject : ""; }
    uint16_t wGetTraitmentLine() const { return m_nLine; }
    uint16_t wGetTraitmentThread() const { return m_nThread; }
    void InitModInfo(bool bForce);
    void InitModName(const char* pszNom);
    void InitModVersion(const char* pszVersion);
    const char* pszGetModName() const { return m_pszModule ? m_pszModule : ""; }
    const char* pszGetModVersion() const { return m_pszModuleVersion ? m_pszModuleVersion : ""; }
    const char* pszGetInternalModule() const { return m_pszInternalModule ? m_pszInternalModule : ""; }

    // Compatibility setters of the first frame.
    void SetUserMessage(const char* pszMessage);
    void SetDebugMessage(const char* pszMessage);

    // Information items. Each AddInfo form accepts only the kinds stored
    // that way (false otherwise); an existing item of the kind is replaced.
    bool AddInfo(eERRORINFOTYPE eType, const char* pszTexte);      // texts
    bool AddInfo(eERRORINFOTYPE eType, const wchar_t* pwszTexte);  // 34, 35
    bool AddInfo(eERRORINFOTYPE eType, int32_t nValeur);           // 15-17, 30 (and 12)
    bool AddInfo(eERRORINFOTYPE eType, int64_t llValeur);          // 12
    bool AddInfo(eERRORINFOTYPE eType, CQVUnknown* pclObjet);      // 21
    bool AddInfo(eERRORINFOTYPE eType, void* pValeur);             // 29
    bool GetInfo(int nIndex, eERRORINFOTYPE* peType, const _stERRORINFO** ppstInfo) const;
    bool bGetInfo(eERRORINFOTYPE eType, const _stERRORINFO** ppstInfo) const;
    void DeleteInfo(eERRORINFOTYPE eType);
    int nNumInfo() const { return static_cast<int>(m_tabInfos.nCount); }
    int nNumErrorId() const { return static_cast<int>(m_tabErrors.nCount); }
    int nGetErrorId(int nIndex) const;

    // Flags of the EIT_XINFO item.
    void SetErreurDroit(bool bOui = true) { _SetXInfo(XINFO_ERREURDROIT, bOui); }
    bool bErreurDroit() const { return (_dwGetXInfo() & XINFO_ERREURDROIT) != 0; }
    void SetErreurDroitOnSystemError(int nCode);
    void SansTraitementAutomatique(bool bOui = true) { _SetXInfo(XINFO_SANSTRAITEMENTAUTO, bOui); }
    bool bSansTraitementAutomatique() const { return (_dwGetXInfo() & XINFO_SANSTRAITEMENTAUTO) != 0; }
    void SetErreurSOAPServeur(bool bOui = true) { _SetXInfo(XINFO_ERREURSOAPSERVEUR, bOui); }
    bool bErreurSOAPServeur() const { return (_dwGetXInfo() & XINFO_ERREURSOAPSERVEUR) != 0; }

    // Sub-errors.
    void AddSubError(const CXError* pclErreur);
    void AddSubErrorLight(CXError* pclErreur);
    void AddSubErrorLightNoUserMessage(CXError* pclErreur);
    void DeleteAllSubError() { __DeleteAllSubError(); }
    int nGetNbSubError() const;
    CXError* pclGetSubError(int nIndex) const;

    // Moves the content, leaving the source empty.
    void LightCopy(CXError& clSource);
    // Full copy, the source unchanged.
    void Copy(const CXError& clSource);

    // Renders one information item; the text is malloc'd (free it).
    static char* DumpInfo(eERRORINFOTYPE eType, const _stERRORINFO* pstValeur);
    void TraceDump() const {}

protected:
    void _AddUserText(char* pszTexte, bool bDevant);   // takes ownership
    void _AddUserMessageList(int nNumero, va_list args, bool bDevant);
    void _AddDebugText(const char* pszTexte, bool bDevant);
    bool _bStoreInfo(const _stERRORINFO& stInfo);
    void _FreeInfo(_stERRORINFO& stInfo);
    void _DeleteAllInfo();
    void _CopyFrom(const CXError& clSource);
    void _AddSubError(CXError* pclNouvelle, bool bUserMessage);
    void _SetXInfo(uint32_t dwFlag, bool bOui);
    uint32_t _dwGetXInfo() const;
    void _SetTextField(char*& rpszChamp, const char* pszTexte);
    void _FinDefinition(uint32_t eLevel);

    uint32_t m_eLevel = EL_NOERROR;
    int32_t m_nUserError = 0;
    char* m_pszUserMessage = nullptr;
    char* m_pszDebugMessage = nullptr;
    char* m_pszFunction = nullptr;
    char* m_pszModule = nullptr;
    char* m_pszModuleVersion = nullptr;
    uint8_t m_nSyntax = 0;
    int32_t m_nDetail = 0;
    STXErrorArray m_tabErrors{};
    STXErrorArray m_tabInfos{};
    int32_t m_nSystemError = 0;
    char* m_pszSystemMessage = nullptr;
    char* m_pszCaption = nullptr;
    uint16_t m_nLine = 0;
    uint16_t m_nThread = 0;
    STXErrorArray* m_pSubErrors = nullptr;
    char* m_pszObject = nullptr;
    char* m_pszInternalModule = nullptr;
    int32_t m_nBatchOperation = 0;
};

#if defined(__i386__)
// vptr, reference count, then the documented fields.
static_assert(sizeof(CXError) == 8 + 4 * 8 + 4 + 28 + 28 + 4 * 3 + 2 + 2 + 4 * 4, "error object layout");
#endif
