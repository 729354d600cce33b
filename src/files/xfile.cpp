#include "files/xfile.h"

#include <cerrno>

#include "files/diskfile.h"

CXFile::CXFile() : m_pclStream(nullptr), m_bOwned(false) {}

CXFile::CXFile(IXStream* pclStream) : m_pclStream(pclStream), m_bOwned(false) {
    if (m_pclStream != nullptr) m_pclStream->AddRef();
}

CXFile::~CXFile() {
    if (m_pclStream != nullptr) {
        if (m_bOwned) m_pclStream->Close();
        m_pclStream->dwRelease();
    }
}

void CXFile::SetStream(IXStream* pclStream, bool bOwned) {
    if (pclStream != nullptr) pclStream->AddRef();
    if (m_pclStream != nullptr) m_pclStream->dwRelease();
    m_pclStream = pclStream;
    m_bOwned = pclStream != nullptr && bOwned;
}

bool CXFile::_bStream() const {
    if (m_pclStream != nullptr) return true;
    errno = EBADF;
    return false;
}

bool CXFile::bOpen(const char* pszName, IXStream::eACCESS eAccess, IXStream::eSHARE eShare, IXStream::eCREATE eCreate,
                   IXStream::eFLAG eFlag, int* pbCreated) {
    if (m_pclStream == nullptr) {
        m_pclStream = new CDiskFile();
        m_bOwned = true;
    }
    return m_pclStream->bOpen(pszName, eAccess, eShare, eCreate, eFlag, pbCreated);
}

void CXFile::Close() {
    if (m_pclStream == nullptr) return;
    m_pclStream->Close();
    if (!m_bOwned) {
        m_pclStream->dwRelease();
        m_pclStream = nullptr;
    }
}

bool CXFile::bRead(void* pData, unsigned nSize, unsigned* pnDone) {
    return _bStream() && m_pclStream->bRead(pData, nSize, pnDone);
}
bool CXFile::bWrite(const void* pData, unsigned nSize, unsigned* pnDone) {
    return _bStream() && m_pclStream->bWrite(pData, nSize, pnDone);
}
bool CXFile::bRead(long long oOffset, void* pData, unsigned nSize, unsigned* pnDone) {
    return _bStream() && m_pclStream->bRead(oOffset, pData, nSize, pnDone);
}
bool CXFile::bWrite(long long oOffset, const void* pData, unsigned nSize, unsigned* pnDone) {
    return _bStream() && m_pclStream->bWrite(oOffset, pData, nSize, pnDone);
}
bool CXFile::bSeek(long long oOffset, IXStream::eSEEK eFrom) { return _bStream() && m_pclStream->bSeek(oOffset, eFrom); }
long long CXFile::oGetSize() { return _bStream() ? m_pclStream->oGetSize() : -1; }
long long CXFile::oGetOffset() { return _bStream() ? m_pclStream->oGetOffset() : -1; }
bool CXFile::bFlush() { return _bStream() && m_pclStream->bFlush(); }
bool CXFile::bSetSize(long long oSize, IXStream::eGROW eGrow) { return _bStream() && m_pclStream->bSetSize(oSize, eGrow); }
bool CXFile::bWriteString(const char* pszFormat, ...) {
    if (!_bStream()) return false;
    va_list args;
    va_start(args, pszFormat);
    bool b = m_pclStream->bWriteStringList(pszFormat, args);
    va_end(args);
    return b;
}
bool CXFile::bReadLine(char* pszLine, unsigned nMax, int* pbTruncated, unsigned nFlags) {
    return _bStream() && m_pclStream->bReadLine(pszLine, nMax, pbTruncated, nFlags);
}
bool CXFile::bLockFile(unsigned long long qwStart, unsigned long long qwLength) {
    return _bStream() && m_pclStream->bLockFile(qwStart, qwLength);
}
bool CXFile::bUnlockFile(unsigned long long qwStart, unsigned long long qwLength) {
    return _bStream() && m_pclStream->bUnlockFile(qwStart, qwLength);
}
const char* CXFile::pszGetName() const { return m_pclStream != nullptr ? m_pclStream->pszGetName() : nullptr; }
CXError* CXFile::pclGetXError() const { return m_pclStream != nullptr ? m_pclStream->pclGetXError() : nullptr; }
