#include "files/xstream.h"

#include <cerrno>

IXStream::IXStream() : m_pclXError(new CXError()) {}

IXStream::~IXStream() {
    if (m_pclXError != nullptr) m_pclXError->Release();
}

uint32_t IXStream::dwRelease() {
    int32_t n = Release();
    return n > 0 ? static_cast<uint32_t>(n) : 0;
}

// --- Defaults: a stream that does not implement an operation accepts it ---------

bool IXStream::bOpen(const char*, eACCESS, eSHARE, eCREATE, eFLAG, int* pbCreated) {
    if (pbCreated != nullptr) *pbCreated = 0;
    return true;
}
bool IXStream::bReopen(eACCESS, eSHARE, eCREATE, eFLAG) { return true; }
bool IXStream::bWrite(long long, const void*, unsigned, unsigned* pnDone) {
    if (pnDone != nullptr) *pnDone = 0;
    return true;
}
bool IXStream::bRead(long long, void*, unsigned, unsigned* pnDone) {
    if (pnDone != nullptr) *pnDone = 0;
    return true;
}
bool IXStream::bWrite(const void*, unsigned, unsigned* pnDone) {
    if (pnDone != nullptr) *pnDone = 0;
    return true;
}
bool IXStream::bRead(void*, unsigned, unsigned* pnDone) {
    if (pnDone != nullptr) *pnDone = 0;
    return true;
}
bool IXStream::bSeek(long long, eSEEK) { return true; }
long long IXStream::oGetSize() { return 0; }
long long IXStream::oGetSizeFast() { return 0; }
bool IXStream::bFlush() { return true; }
bool IXStream::bSetSize(long long, eGROW) { return true; }
bool IXStream::bIncreaseSize(long long) { return true; }
bool IXStream::bWriteString(const char*, ...) { return true; }
bool IXStream::bWriteStringList(const char*, va_list) { return true; }
bool IXStream::bReadLine(char* pszLine, unsigned nMax, int* pbTruncated, unsigned) {
    if (pszLine != nullptr && nMax > 0) *pszLine = 0;
    if (pbTruncated != nullptr) *pbTruncated = 0;
    return true;
}
bool IXStream::bExtract(IXStream*, long long) { return true; }
bool IXStream::bLockFile(unsigned long long, unsigned long long) const { return true; }
bool IXStream::bUnlockFile(unsigned long long, unsigned long long) const { return true; }
bool IXStream::bLock(unsigned long long, unsigned long long) const { return true; }
bool IXStream::bUnlock(unsigned long long, unsigned long long) const { return true; }
const char* IXStream::pszGetName() const { return nullptr; }
long long IXStream::oGetOffset() { return -1; }
bool IXStream::bIsOpen() const { return true; }
CXError* IXStream::pclGetXError() const { return m_pclXError; }
CXError* IXStream::_pclGetXError() const { return m_pclXError; }
void IXStream::vbSetNameForError(const char*) {}
bool IXStream::bReadLineUNICODE(wchar_t* pszLine, unsigned nMax, int* pbTruncated, unsigned) {
    if (pszLine != nullptr && nMax > 0) *pszLine = 0;
    if (pbTruncated != nullptr) *pbTruncated = 0;
    return true;
}
bool IXStream::bGetVFSFileName(char*) { return false; }
bool IXStream::bLockFileEx(int, int) const { return true; }
const char* IXStream::pszReadLine(char*, unsigned, CTString*, const char*) { return nullptr; }

// --- Error helpers --------------------------------------------------------------

void IXStream::_ResetError() const {
    if (m_pclXError != nullptr) m_pclXError->SetErrorLevel(EL_NOERROR);
}

void IXStream::_SetFailure(int nSystemError) const {
    if (m_pclXError == nullptr) return;
    m_pclXError->SetErrorLevel(EL_FATAL);
    m_pclXError->SetSystemError(nSystemError);
    // The system has no text for the sharing marker ("Unknown error"): say
    // that another holds the file.
    if (nSystemError == XFILE_SHARING_VIOLATION) m_pclXError->SetSystemErrorMessageId(XMSG_SHARING);
}

void IXStream::_AddUserMessageWithName(int nMessage, const char* pszName) const {
    if (m_pclXError == nullptr) return;
    const char* psz = pszName != nullptr ? pszName : "";
    m_pclXError->AddUserMessage(nMessage, psz);
    m_pclXError->AddInfo(EIT_SRCFILE, psz);
}
