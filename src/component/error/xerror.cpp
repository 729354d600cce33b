#include "qvstd/xerror.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {
char* DupText(const char* psz) {
    if (psz == nullptr || *psz == 0) return nullptr;
    size_t n = strlen(psz) + 1;
    char* p = static_cast<char*>(malloc(n));
    if (p != nullptr) memcpy(p, psz, n);
    return p;
}
void SetText(char*& rpsz, const char* psz) {
    char* p = DupText(psz);
    free(rpsz);
    rpsz = p;
}
}  // namespace

CXError::CXError() { m_pszInternalModule = DupText("qv150std.so"); }

CXError::~CXError() {
    RAZ();
    free(m_pszInternalModule);
}

void CXError::RAZ() {
    m_eLevel = EL_NOERROR;
    m_nUserError = 0;
    for (char** pp : {&m_pszUserMessage, &m_pszDebugMessage, &m_pszFunction, &m_pszModule, &m_pszModuleVersion,
                      &m_pszSystemMessage, &m_pszCaption, &m_pszObject}) {
        free(*pp);
        *pp = nullptr;
    }
    m_nSyntax = 0;
    m_nDetail = 0;
    m_nSystemError = 0;
    m_nLine = 0;
    m_nThread = 0;
    m_nBatchOperation = 0;
}

void CXError::SetErrorLevel(uint32_t eLevel) {
    // Level 1 means "no error": it clears everything.
    if (eLevel == EL_NOERROR)
        RAZ();
    else
        m_eLevel = eLevel;
}

void CXError::SetUserError(int nCode, const char* pszMessage, uint32_t eLevel) {
    RAZ();
    m_nUserError = nCode;
    SetText(m_pszUserMessage, pszMessage);
    SetText(m_pszModule, "qv150std.so");
    SetText(m_pszModuleVersion, "15.00Gab");
    SetErrorLevel(eLevel);
}

void CXError::SetUserMessage(const char* pszMessage) { SetText(m_pszUserMessage, pszMessage); }
void CXError::SetDebugMessage(const char* pszMessage) { SetText(m_pszDebugMessage, pszMessage); }

void CXError::SetFunction(const char* pszName, uint8_t nSyntax) {
    SetText(m_pszFunction, pszName);
    m_nSyntax = nSyntax;
}

void CXError::SetSystemError(int nErrno, const char* pszMessage) {
    m_nSystemError = nErrno;
    SetText(m_pszSystemMessage, pszMessage);
}

void CXError::LightCopy(CXError& clSource) {
    if (&clSource == this) return;
    RAZ();
    m_eLevel = std::exchange(clSource.m_eLevel, static_cast<uint32_t>(EL_NOERROR));
    m_nUserError = std::exchange(clSource.m_nUserError, 0);
    m_pszUserMessage = std::exchange(clSource.m_pszUserMessage, nullptr);
    m_pszDebugMessage = std::exchange(clSource.m_pszDebugMessage, nullptr);
    m_pszFunction = std::exchange(clSource.m_pszFunction, nullptr);
    m_pszModule = std::exchange(clSource.m_pszModule, nullptr);
    m_pszModuleVersion = std::exchange(clSource.m_pszModuleVersion, nullptr);
    m_nSyntax = clSource.m_nSyntax;
    m_nDetail = clSource.m_nDetail;
    m_nSystemError = std::exchange(clSource.m_nSystemError, 0);
    m_pszSystemMessage = std::exchange(clSource.m_pszSystemMessage, nullptr);
    clSource.RAZ();
}

void CXError::Copy(const CXError& clSource) {
    if (&clSource == this) return;
    RAZ();
    m_eLevel = clSource.m_eLevel;
    m_nUserError = clSource.m_nUserError;
    SetText(m_pszUserMessage, clSource.m_pszUserMessage);
    SetText(m_pszDebugMessage, clSource.m_pszDebugMessage);
    SetText(m_pszFunction, clSource.m_pszFunction);
    SetText(m_pszModule, clSource.m_pszModule);
    SetText(m_pszModuleVersion, clSource.m_pszModuleVersion);
    m_nSyntax = clSource.m_nSyntax;
    m_nDetail = clSource.m_nDetail;
    m_nSystemError = clSource.m_nSystemError;
    SetText(m_pszSystemMessage, clSource.m_pszSystemMessage);
}
