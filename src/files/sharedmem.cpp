// Shared memory zones and the process semaphore (see sharedmem.h).
#include "files/sharedmem.h"

#include <sys/ipc.h>
#include <sys/sem.h>
#include <sys/shm.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/tstring.h"

namespace {

// semctl's fourth argument, which the caller declares.
union USemArg {
    int val;
    struct semid_ds* buf;
    unsigned short* array;
};

}  // namespace

// --- Zones ------------------------------------------------------------------------------

CQVSharedMemory::~CQVSharedMemory() { bDetach(); }

bool CQVSharedMemory::_bCle(const char* pszName, int* pnCle) {
    // The first character is the project identifier; a name of fewer than
    // two characters names no file to take the key from.
    if (pszName == nullptr || strlen(pszName) < 2 || strlen(pszName) >= sizeof m_szName) {
        m_nErrno = EINVAL;
        return false;
    }
    const key_t nCle = ftok(pszName + 1, static_cast<unsigned char>(pszName[0]));
    if (nCle == -1) {
        m_nErrno = errno;
        return false;
    }
    strcpy(m_szName, pszName);
    *pnCle = nCle;
    return true;
}

bool CQVSharedMemory::bOpenMemory(const char* pszName, int eAccess) {
    int nCle = 0;
    if (!_bCle(pszName, &nCle)) return false;
    const int nId = shmget(nCle, 0, eAccess == QVSMA_READWRITE ? 0666 : 0444);
    if (nId == -1) {
        m_nErrno = errno;
        return false;
    }
    m_nId = nId;
    m_eAccess = eAccess;
    return true;
}

bool CQVSharedMemory::bOpenCreateMemory(const char* pszName, int eAccess, long long oSize) {
    if (bOpenMemory(pszName, eAccess)) return true;
    int nCle = 0;
    if (!_bCle(pszName, &nCle)) return false;
    if (oSize <= 0 || static_cast<unsigned long long>(oSize) > SIZE_MAX) {
        m_nErrno = EINVAL;
        return false;
    }
    if (shmget(nCle, size_t(oSize), IPC_CREAT | (eAccess == QVSMA_READWRITE ? 0666 : 0444)) == -1) {
        m_nErrno = errno;
        return false;
    }
    return bOpenMemory(pszName, eAccess);
}

bool CQVSharedMemory::bAttach(int eAccess) {
    if (m_nId == -1) {
        m_nErrno = EINVAL;
        return false;
    }
    bDetach();
    void* p = shmat(m_nId, nullptr, eAccess == QVSMA_READWRITE ? 0 : SHM_RDONLY);
    if (p == reinterpret_cast<void*>(-1)) {
        m_nErrno = errno;
        return false;
    }
    struct shmid_ds st;
    if (shmctl(m_nId, IPC_STAT, &st) == -1) {
        m_nErrno = errno;
        shmdt(p);
        return false;
    }
    m_pData = p;
    m_oSize = static_cast<long long>(st.shm_segsz);
    m_eAccess = eAccess;
    return true;
}

bool CQVSharedMemory::bDetach() {
    if (m_pData == nullptr) return true;
    const bool bOk = shmdt(m_pData) == 0;
    if (!bOk) m_nErrno = errno;
    m_pData = nullptr;
    return bOk;
}

// --- The zone as a stream -------------------------------------------------------------------

CFileSharedMemory::~CFileSharedMemory() { bDetach(); }

void CFileSharedMemory::_Echec(int nErrno, int nMessage) {
    _SetFailure(nErrno);
    _AddUserMessageWithName(nMessage, m_szName);
    errno = nErrno;
}

IXStream::eACCESS CFileSharedMemory::veGetAccess() const {
    return m_eAccess == QVSMA_READWRITE ? eACCESS_READWRITE : eACCESS_READ;
}

bool CFileSharedMemory::bRead(void* pData, unsigned nSize, unsigned* pnDone) {
    _ResetError();
    if (pnDone != nullptr) *pnDone = 0;
    if (m_pData == nullptr) {
        _Echec(EBADF, XMSG_READ);
        return false;
    }
    const long long oReste = std::max(0LL, m_oSize - m_oPosition);
    const unsigned n = unsigned(std::min<long long>(nSize, oReste));
    if (n > 0) memcpy(pData, static_cast<const char*>(m_pData) + m_oPosition, n);
    m_oPosition += n;
    if (pnDone != nullptr) *pnDone = n;
    return true;
}

bool CFileSharedMemory::bWrite(const void* pData, unsigned nSize, unsigned* pnDone) {
    _ResetError();
    if (pnDone != nullptr) *pnDone = 0;
    if (m_pData == nullptr) {
        _Echec(EBADF, XMSG_WRITE);
        return false;
    }
    // The memory of a zone attached read only cannot be written: said,
    // instead of the fault the write would be.
    if (m_eAccess != QVSMA_READWRITE) {
        _Echec(EACCES, XMSG_WRITE);
        return false;
    }
    const long long oReste = std::max(0LL, m_oSize - m_oPosition);
    const unsigned n = unsigned(std::min<long long>(nSize, oReste));
    if (n > 0) memcpy(static_cast<char*>(m_pData) + m_oPosition, pData, n);
    m_oPosition += n;
    if (pnDone != nullptr) *pnDone = n;
    return true;
}

bool CFileSharedMemory::bSeek(long long oOffset, eSEEK eFrom) {
    _ResetError();
    long long oBase = 0;
    long long oMax = m_oSize - 1;
    if (eFrom == eSEEK_CURRENT) {
        oBase = m_oPosition;
    } else if (eFrom == eSEEK_END) {
        oBase = m_oSize;
        oMax = m_oSize;
    }
    if ((oOffset > 0 && oBase > LLONG_MAX - oOffset) || oBase + oOffset < 0 || oBase + oOffset > oMax) {
        _Echec(EINVAL, XMSG_SEEK);
        return false;
    }
    m_oPosition = oBase + oOffset;
    return true;
}

const char* CFileSharedMemory::pszReadLine(char* pszLine, unsigned nMax, CTString* pclOverflow,
                                           const char* pszSeparator) {
    _ResetError();
    if (m_pData == nullptr || pszLine == nullptr || nMax == 0) {
        _Echec(EBADF, XMSG_READ);
        return nullptr;
    }
    if (m_oPosition >= m_oSize) return nullptr;   // the end: nothing more
    const char* p = static_cast<const char*>(m_pData) + m_oPosition;
    const size_t nReste = size_t(m_oSize - m_oPosition);
    size_t nLigne = 0, nFin = 0;
    if (pszSeparator != nullptr && *pszSeparator != 0) {
        const std::string_view sv(p, nReste);
        const size_t n = sv.find(pszSeparator);
        nLigne = n == std::string_view::npos ? nReste : n;
        nFin = n == std::string_view::npos ? 0 : strlen(pszSeparator);
    } else {
        while (nLigne < nReste && p[nLigne] != '\r' && p[nLigne] != '\n') ++nLigne;
        if (nLigne < nReste) nFin = (p[nLigne] == '\r' && nLigne + 1 < nReste && p[nLigne + 1] == '\n') ? 2 : 1;
    }
    m_oPosition += static_cast<long long>(nLigne + nFin);
    if (nLigne < nMax) {
        memcpy(pszLine, p, nLigne);
        pszLine[nLigne] = 0;
        return pszLine;
    }
    if (pclOverflow == nullptr || nLigne > XSTREAM_LINE_MAX || !pclOverflow->Set(p, int(nLigne))) {
        _Echec(EOVERFLOW, XMSG_READ);
        return nullptr;
    }
    return pclOverflow->pszGet();
}

// --- Process semaphore ---------------------------------------------------------------------

int32_t CQVSemProccess::s_nCle(const char* pszName) {
    uint32_t dw = 0;
    const size_t n = pszName != nullptr ? strlen(pszName) : 0;
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const auto* p = reinterpret_cast<const unsigned char*>(pszName + i);
        dw += uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
    for (; i < n; ++i) dw += static_cast<unsigned char>(pszName[i]);
    return dw == 0 ? 1 : static_cast<int32_t>(dw);
}

bool CQVSemProccess::bCreate(const char* pszName, int /*nPartage*/, int nInitial, int nMaximum) {
    const key_t nCle = s_nCle(pszName);
    m_nMaximum = nMaximum;
    int nId = semget(nCle, 2, IPC_CREAT | IPC_EXCL | 0666);
    if (nId != -1) {
        USemArg u;
        u.val = 1;
        if (semctl(nId, 1, SETVAL, u) == -1) return false;
        u.val = nInitial;
        if (semctl(nId, 0, SETVAL, u) == -1) return false;
        m_nId = nId;
        return true;
    }
    if (errno != EEXIST) return false;
    nId = semget(nCle, 1, IPC_CREAT | 0666);
    if (nId == -1) return false;
    m_nId = nId;
    struct sembuf st = {1, 1, 0};
    return semop(m_nId, &st, 1) == 0;
}

bool CQVSemProccess::bOpen(const char* pszName, int nMaximum) {
    m_nMaximum = nMaximum;
    const int nId = semget(s_nCle(pszName), 1, 0666);
    if (nId == -1) return false;
    m_nId = nId;
    struct sembuf st = {1, 1, 0};
    return semop(m_nId, &st, 1) == 0;
}

bool CQVSemProccess::bTake() {
    if (m_nId == -1) return false;
    struct sembuf st = {0, -1, 0};
    while (semop(m_nId, &st, 1) == -1)
        if (errno != EINTR) return false;
    return true;
}

bool CQVSemProccess::bPost(int nNombre) {
    if (m_nId == -1 || nNombre <= 0) return false;
    const int nValeur = semctl(m_nId, 0, GETVAL);
    if (nValeur == -1 || nValeur > m_nMaximum - nNombre) return false;
    struct sembuf st = {0, static_cast<short>(nNombre), 0};
    return semop(m_nId, &st, 1) == 0;
}
