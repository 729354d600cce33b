// The error object every failure of the component is described by. The host
// reads it after each call through the inline getters below; everything
// that changes it lives in the component.
#pragma once
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

// Growable array of small fixed-size items (message numbers, information
// items); the component owns the memory.
struct STXErrorArray {
    void* pData;
    uint32_t nCount;
    uint32_t nCapacity;
    uint32_t nGrowth;
    uint32_t nItemSize;
    uint32_t nReserved[2];
};

class CXError : public CQVUnknown {
public:
    CXError();
    ~CXError() override;

    // Read side, inline so that the host can use it without linking to us.
    uint32_t eGetErrorLevel() const { return m_eLevel; }
    bool bIsError() const { return m_eLevel != EL_NOERROR; }
    int nGetUserError() const { return m_nUserError; }
    const char* pszGetUserMessage() const { return m_pszUserMessage ? m_pszUserMessage : ""; }
    const char* pszGetDebugMessage() const { return m_pszDebugMessage ? m_pszDebugMessage : ""; }
    const char* pszGetFunctionName() const { return m_pszFunction ? m_pszFunction : ""; }
    int nGetSystemError() const { return m_nSystemError; }
    const char* pszGetSystemErrorMessage() const { return m_pszSystemMessage ? m_pszSystemMessage : ""; }

    // Write side (component only).
    void RAZ();
    void SetErrorLevel(uint32_t eLevel);
    void SetUserError(int nCode, const char* pszMessage, uint32_t eLevel = EL_ERROR);
    void SetUserMessage(const char* pszMessage);
    void SetDebugMessage(const char* pszMessage);
    void SetFunction(const char* pszName, uint8_t nSyntax);
    void SetSystemError(int nErrno, const char* pszMessage);
    void LightCopy(CXError& clSource);   // moves the content, leaving the source empty
    void Copy(const CXError& clSource);

protected:
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
    void* m_pSubErrors = nullptr;
    char* m_pszObject = nullptr;
    char* m_pszInternalModule = nullptr;
    int32_t m_nBatchOperation = 0;
};
