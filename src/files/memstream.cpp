#include "files/memstream.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

// A missing format writes nothing.
static char s_szSansFormat[1] = "";

namespace {
constexpr uint32_t MAX_MEMORY_STREAM = 0x7FFFFFFFu;
}

CMemoryStream::CMemoryStream()
    : m_nState(STATE_CLOSED),
      m_nMode(0),
      m_pBase(nullptr),
      m_pCurrent(nullptr),
      m_nSize(0),
      m_pszName(nullptr),
      m_nCapacity(0) {}

CMemoryStream::~CMemoryStream() {
    Close();
}

void CMemoryStream::_Failure(int nErrno, int nMessage) {
    _SetFailure(nErrno);
    if (nErrno == ENOMEM) m_pclXError->AddDebugMessageNoFormat("##MemoryException##");
    _AddUserMessageWithName(nMessage, m_pszName != nullptr ? m_pszName : "");
    errno = nErrno;
}

bool CMemoryStream::bAssociate(unsigned char* pBuffer, unsigned nSize) {
    _ResetError();
    if (m_nState != STATE_CLOSED) {
        _Failure(EBUSY, XMSG_OPEN);
        return false;
    }
    m_pBase = m_pCurrent = pBuffer;
    m_nSize = m_nCapacity = pBuffer != nullptr ? nSize : 0;
    m_nMode = MODE_ASSOCIATED;
    m_nState = STATE_ASSOCIATED;
    return true;
}

bool CMemoryStream::bOpen(const char* pszName, eACCESS eAccess, eSHARE, eCREATE eCreate, eFLAG, int* pbCreated) {
    _ResetError();
    if (pbCreated != nullptr) *pbCreated = 0;
    int nAccess = eAccess == eACCESS_DEFAULT ? 0 : static_cast<int>(eAccess);
    if (nAccess < 0 || nAccess > 2) {
        _Failure(EINVAL, XMSG_OPEN);
        return false;
    }
    const uint8_t nBits = static_cast<uint8_t>((nAccess != 1 ? MODE_READ : 0) | (nAccess != 0 ? MODE_WRITE : 0));
    if (eCreate == eCREATE_OPEN) {
        if (!(m_nMode & MODE_ASSOCIATED) || (m_nState != STATE_ASSOCIATED && m_nState != STATE_OPEN_ASSOCIATED)) {
            _Failure(ENOENT, XMSG_OPEN);
            return false;
        }
        m_nState = STATE_OPEN_ASSOCIATED;
        m_nMode = static_cast<uint8_t>(MODE_ASSOCIATED | nBits);
        m_pCurrent = m_pBase;
    } else if (eCreate == eCREATE_TRUNCATE) {
        if (m_nState == STATE_OWN) free(m_pBase);
        m_pBase = m_pCurrent = nullptr;
        m_nSize = m_nCapacity = 0;
        m_nState = STATE_OWN;
        m_nMode = static_cast<uint8_t>(MODE_GROW_ON_WRITE | MODE_GROW_ON_SEEK | nBits);
        if (pbCreated != nullptr) *pbCreated = 1;
    } else {
        _Failure(EINVAL, eCreate == eCREATE_OPEN_OR_CREATE ? XMSG_OPEN_OR_CREATE : XMSG_OPEN);
        return false;
    }
    free(m_pszName);
    m_pszName = pszName != nullptr ? strdup(pszName) : nullptr;
    return true;
}

void CMemoryStream::Close() {
    if (m_nState == STATE_OWN) free(m_pBase);
    m_pBase = m_pCurrent = nullptr;
    m_nSize = m_nCapacity = 0;
    m_nState = STATE_CLOSED;
    m_nMode = 0;
    free(m_pszName);
    m_pszName = nullptr;
}

IXStream::eACCESS CMemoryStream::veGetAccess() const {
    if (!bIsOpen()) return eACCESS_DEFAULT;
    if ((m_nMode & (MODE_READ | MODE_WRITE)) == (MODE_READ | MODE_WRITE)) return eACCESS_READWRITE;
    return (m_nMode & MODE_WRITE) ? eACCESS_WRITE : eACCESS_READ;
}

// Own memory grows (doubling); an associated buffer never does.
bool CMemoryStream::_bReserve(unsigned nSize) {
    if (nSize <= m_nCapacity) return true;
    if (m_nState != STATE_OWN || nSize > MAX_MEMORY_STREAM) {
        errno = m_nState != STATE_OWN ? ENOSPC : EFBIG;
        return false;
    }
    uint32_t nNew = m_nCapacity < 256 ? 256 : m_nCapacity;
    while (nNew < nSize) nNew = nNew > MAX_MEMORY_STREAM / 2 ? MAX_MEMORY_STREAM : nNew * 2;
    size_t nPos = static_cast<size_t>(m_pCurrent - m_pBase);
    unsigned char* p = static_cast<unsigned char*>(realloc(m_pBase, nNew));
    if (p == nullptr) {
        errno = ENOMEM;
        return false;
    }
    memset(p + m_nCapacity, 0, nNew - m_nCapacity);
    m_pBase = p;
    m_pCurrent = p + nPos;
    m_nCapacity = nNew;
    return true;
}

long long CMemoryStream::oGetOffset() {
    if (!bIsOpen()) return -1;
    return m_pCurrent - m_pBase;
}

long long CMemoryStream::oGetSize() {
    if (!bIsOpen()) return -1;
    return m_nSize;
}

bool CMemoryStream::bRead(void* pData, unsigned nSize, unsigned* pnRead) {
    _ResetError();
    if (pnRead != nullptr) *pnRead = 0;
    if (!bIsOpen() || !(m_nMode & MODE_READ)) {
        _Failure(EBADF, XMSG_READ);
        return false;
    }
    uint32_t nPos = static_cast<uint32_t>(m_pCurrent - m_pBase);
    uint32_t nDispo = nPos < m_nSize ? m_nSize - nPos : 0;
    uint32_t n = nSize < nDispo ? nSize : nDispo;
    if (n > 0) memcpy(pData, m_pCurrent, n);
    m_pCurrent += n;
    if (pnRead != nullptr) *pnRead = n;
    if (pnRead == nullptr && n < nSize) {
        _Failure(0, XMSG_READ);
        return false;
    }
    return true;
}

bool CMemoryStream::bWrite(const void* pData, unsigned nSize, unsigned* pnWritten) {
    _ResetError();
    if (pnWritten != nullptr) *pnWritten = 0;
    if (nSize == 0) return true;
    if (!bIsOpen() || !(m_nMode & MODE_WRITE)) {
        _Failure(EBADF, XMSG_WRITE);
        return false;
    }
    uint32_t nPos = static_cast<uint32_t>(m_pCurrent - m_pBase);
    uint32_t n = nSize;
    if (static_cast<uint64_t>(nPos) + nSize > m_nCapacity) {
        if (m_nMode & MODE_GROW_ON_WRITE) {
            if (static_cast<uint64_t>(nPos) + nSize > MAX_MEMORY_STREAM || !_bReserve(nPos + nSize)) {
                _Failure(errno == ENOMEM ? ENOMEM : EFBIG, XMSG_WRITE);
                return false;
            }
        } else if (pnWritten == nullptr) {
            _Failure(ENOSPC, XMSG_WRITE);
            return false;
        } else {
            n = nPos < m_nCapacity ? m_nCapacity - nPos : 0;
        }
    }
    if (n > 0) memcpy(m_pCurrent, pData, n);
    m_pCurrent += n;
    if (nPos + n > m_nSize) m_nSize = nPos + n;
    if (pnWritten != nullptr) *pnWritten = n;
    return true;
}

bool CMemoryStream::bRead(long long oOffset, void* pData, unsigned nSize, unsigned* pnRead) {
    if (oOffset != oGetOffset() && !bSeek(oOffset, eSEEK_BEGIN)) return false;
    return bRead(pData, nSize, pnRead);
}

bool CMemoryStream::bWrite(long long oOffset, const void* pData, unsigned nSize, unsigned* pnWritten) {
    if (oOffset != oGetOffset() && !bSeek(oOffset, eSEEK_BEGIN)) return false;
    return bWrite(pData, nSize, pnWritten);
}

// From the end, the offset counts back: size minus offset.
bool CMemoryStream::bSeek(long long oOffset, eSEEK eFrom) {
    _ResetError();
    if (!bIsOpen()) {
        _Failure(EBADF, XMSG_SEEK);
        return false;
    }
    long long oCible;
    switch (eFrom) {
    case eSEEK_BEGIN: oCible = oOffset; break;
    case eSEEK_CURRENT: oCible = (m_pCurrent - m_pBase) + oOffset; break;
    case eSEEK_END: oCible = static_cast<long long>(m_nSize) - oOffset; break;
    default: _Failure(EINVAL, XMSG_SEEK); return false;
    }
    if (oCible < 0 || oCible > static_cast<long long>(MAX_MEMORY_STREAM)) {
        _Failure(EINVAL, XMSG_SEEK);
        return false;
    }
    if (oCible > static_cast<long long>(m_nSize)) {
        if (!(m_nMode & MODE_GROW_ON_SEEK) || !_bReserve(static_cast<uint32_t>(oCible))) {
            _Failure(errno == ENOMEM ? ENOMEM : EINVAL, XMSG_SEEK);
            return false;
        }
        m_nSize = static_cast<uint32_t>(oCible);
    }
    m_pCurrent = m_pBase + oCible;
    return true;
}

bool CMemoryStream::bSetSize(long long oSize, eGROW eGrow) {
    _ResetError();
    if (!bIsOpen() || (eGrow != eGROW_ABSOLUTE && eGrow != eGROW_RELATIVE)) {
        _Failure(bIsOpen() ? EINVAL : EBADF, XMSG_SETSIZE);
        return false;
    }
    long long oNew = eGrow == eGROW_ABSOLUTE ? oSize : static_cast<long long>(m_nSize) + oSize;
    if (oNew < 0 || oNew > static_cast<long long>(MAX_MEMORY_STREAM) || !_bReserve(static_cast<uint32_t>(oNew))) {
        _Failure(errno == ENOMEM ? ENOMEM : EINVAL, XMSG_SETSIZE);
        return false;
    }
    if (oNew > static_cast<long long>(m_nSize)) memset(m_pBase + m_nSize, 0, static_cast<size_t>(oNew - m_nSize));
    m_nSize = static_cast<uint32_t>(oNew);
    m_pCurrent = m_pBase + oNew;
    return true;
}

bool CMemoryStream::bIncreaseSize(long long oSize) {
    if (oSize < 0) {
        _ResetError();
        _Failure(EINVAL, XMSG_SETSIZE);
        return false;
    }
    return bSetSize(oSize, eGROW_RELATIVE);
}

bool CMemoryStream::bWriteStringList(const char* pszFormat, va_list args) {
    va_list copie;
    va_copy(copie, args);
    int n = vsnprintf(nullptr, 0, pszFormat != nullptr ? pszFormat : s_szSansFormat, copie);
    va_end(copie);
    if (n < 0) {
        _ResetError();
        _Failure(EINVAL, XMSG_WRITE);
        return false;
    }
    std::unique_ptr<char[]> p(new (std::nothrow) char[static_cast<size_t>(n) + 1]);
    if (!p) {
        _ResetError();
        _Failure(ENOMEM, XMSG_WRITE);
        return false;
    }
    vsnprintf(p.get(), static_cast<size_t>(n) + 1, pszFormat != nullptr ? pszFormat : s_szSansFormat, args);
    return bWrite(p.get(), static_cast<unsigned>(n), nullptr);
}

bool CMemoryStream::bExtract(IXStream* pclDest, long long oSize) {
    _ResetError();
    if (oSize == 0) return true;
    if (!bIsOpen() || pclDest == nullptr) {
        _Failure(bIsOpen() ? EINVAL : EBADF, XMSG_READ);
        return false;
    }
    uint32_t nPos = static_cast<uint32_t>(m_pCurrent - m_pBase);
    uint32_t nDispo = nPos < m_nSize ? m_nSize - nPos : 0;
    if (oSize > 0 && oSize > static_cast<long long>(nDispo)) {
        _Failure(0, XMSG_READ);
        return false;
    }
    uint32_t n = oSize < 0 ? nDispo : static_cast<uint32_t>(oSize);
    if (!pclDest->bWrite(m_pCurrent, n, nullptr)) {
        if (pclDest->pclGetXError() != nullptr) m_pclXError->Copy(*pclDest->pclGetXError());
        return false;
    }
    m_pCurrent += n;
    return true;
}
