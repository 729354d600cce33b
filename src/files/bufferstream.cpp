#include "files/bufferstream.h"

#include <cstdlib>
#include <cstring>

namespace {
constexpr size_t GROWTH = 1024;
}

CBufferStream::CBufferStream(bool bOwner, unsigned nInitialSize)
    : m_psz(nullptr), m_nLength(0), m_nCapacity(0), m_bOwner(bOwner), m_bFailed(false) {
    if (nInitialSize > 0) {
        m_psz = static_cast<char*>(malloc(nInitialSize));
        if (m_psz == nullptr) {
            m_bFailed = true;
        } else {
            m_nCapacity = nInitialSize;
            m_psz[0] = 0;
        }
    }
}

CBufferStream::~CBufferStream() {
    if (m_bOwner) free(m_psz);
}

bool CBufferStream::_bGrow(size_t nMinimum) {
    if (m_bFailed) return false;
    if (nMinimum <= m_nCapacity) return true;
    size_t nNew = m_nCapacity + GROWTH;
    if (nNew < nMinimum) nNew = (nMinimum + GROWTH - 1) / GROWTH * GROWTH;
    char* p = static_cast<char*>(realloc(m_psz, nNew));
    if (p == nullptr) {
        m_bFailed = true;
        return false;
    }
    if (m_psz == nullptr) p[0] = 0;
    m_psz = p;
    m_nCapacity = nNew;
    return true;
}

CBufferStream& CBufferStream::operator<<(char c) {
    if (_bGrow(m_nLength + 2)) {
        m_psz[m_nLength++] = c;
        m_psz[m_nLength] = 0;
    }
    return *this;
}

CBufferStream& CBufferStream::operator<<(const char* psz) {
    if (psz != nullptr) Append(psz, strlen(psz));
    return *this;
}

void CBufferStream::Append(const char* p, size_t n) {
    if (n == 0 || p == nullptr) return;
    if (!_bGrow(m_nLength + n + 1)) return;
    memcpy(m_psz + m_nLength, p, n);
    m_nLength += n;
    m_psz[m_nLength] = 0;
}

char* CBufferStream::pDetach() {
    char* p = m_bFailed ? nullptr : m_psz;
    if (m_bFailed) free(m_psz);
    m_psz = nullptr;
    m_nLength = m_nCapacity = 0;
    m_bFailed = false;
    return p;
}

void CBufferStream::Clear() {
    m_nLength = 0;
    if (m_psz != nullptr) m_psz[0] = 0;
}
