// The disk file: one descriptor, a position kept by the object, locks
// owned by the open file (so a lock lives exactly as long as its handle, and
// closing another handle of the same file leaves it alone) and the two line
// readers.
#include "files/diskfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>

#include "core/tstring.h"
#include "core/zndstr.h"
#include "files/fileio.h"
#include "platform/charset.h"

// A missing format writes nothing.
static char s_szSansFormat[1] = "";

namespace {

constexpr unsigned LINE_BUFFER_SIZE = 65536;

bool _bIsLockConflict(int nErrno) { return nErrno == EACCES || nErrno == EAGAIN || nErrno == EDEADLK; }

// Process-wide record locks vanish when any descriptor of the file closes
// (a second handle, an INI call): locks are taken by the open file instead.
// The 64-bit call: the 32-bit one reads these commands with 32-bit offsets.
bool _bSetLock(int nFd, int nType, long long oStart, long long oLength, bool bWait) {
    struct flock64 stLock {};
    stLock.l_type = static_cast<short>(nType);
    stLock.l_whence = SEEK_SET;
    stLock.l_start = static_cast<off64_t>(oStart);
    stLock.l_len = static_cast<off64_t>(oLength);
    for (;;) {
        if (fcntl64(nFd, bWait ? F_OFD_SETLKW : F_OFD_SETLK, &stLock) == 0) return true;
        if (!(bWait && errno == EINTR)) return false;
    }
}

// True when another open file holds a lock that a whole-file write lock
// would meet (the test needs no write access).
bool _bLockedElsewhere(int nFd, bool* pbLocked) {
    struct flock64 stLock {};
    stLock.l_type = F_WRLCK;
    stLock.l_whence = SEEK_SET;
    if (fcntl64(nFd, F_OFD_GETLK, &stLock) == -1) return false;
    *pbLocked = stLock.l_type != F_UNLCK;
    return true;
}

// UTF-8 copy of a wide name (malloc'ed), null on failure.
char* _pszWideToUTF8(const wchar_t* pszName) {
    if (pszName == nullptr) pszName = L"";
    int n = WideCharToMultiByte(CP_UTF8, 0, pszName, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) {
        errno = EILSEQ;
        return nullptr;
    }
    char* psz = static_cast<char*>(malloc(static_cast<size_t>(n)));
    if (psz == nullptr) return nullptr;
    if (WideCharToMultiByte(CP_UTF8, 0, pszName, -1, psz, n, nullptr, nullptr) != n) {
        free(psz);
        errno = EILSEQ;
        return nullptr;
    }
    return psz;
}

}  // namespace

CDiskFile::CDiskFile()
    : m_pwszName(nullptr),
      m_nFd(-1),
      m_oPosition(0),
      m_pLineBuffer(nullptr),
      m_nAheadCursor(0),
      m_nFlags(-1),
      m_pszNameForError(m_szName),
      m_oSystemPosition(0),
      m_nAheadLength(0),
      m_oAheadBase(0) {
    m_szName[0] = 0;
}

CDiskFile::~CDiskFile() {
    Close();
    free(m_pwszName);
}

// --- Opening and closing ------------------------------------------------------------

bool CDiskFile::bOpen(const char* pszName, eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag,
                      int* pbCreated) {
    _ResetError();
    if (pbCreated != nullptr) *pbCreated = 0;
    if (pszName != m_szName) {
        // A name for errors given before the open is kept.
        if (m_nFd != -1) Close();
        free(m_pwszName);
        m_pwszName = nullptr;
        std::string clName(pszName != nullptr ? pszName : "");
        for (char& c : clName)
            if (c == '\\') c = '/';
        int n = GetFullPathName(clName.c_str(), XFILE_MAX_PATH, m_szName);
        if (n <= 0 || n >= XFILE_MAX_PATH) {
            int nErrno = n <= 0 ? errno : ENAMETOOLONG;
            m_szName[0] = 0;
            // The given name still tells the user which file failed.
            vbSetNameForError(clName.c_str());
            _OpenFailure(eCreate, nErrno);
            return false;
        }
    } else if (m_nFd != -1) {
        close(m_nFd);
        m_nFd = -1;
    }
    return _bOpen(eAccess, eShare, eCreate, eFlag, pbCreated);
}

bool CDiskFile::_bOpen(eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag, int* pbCreated) {
    const int nAccess = eAccess == eACCESS_DEFAULT ? O_RDONLY : (static_cast<int>(eAccess) & O_ACCMODE);
    bool bDirectory = false;
    int nFlags = nAccess | O_LARGEFILE | O_NONBLOCK;
    if (eFlag == eFLAG_DIRECTORY) {
        struct stat64 st;
        if (stat64(m_szName, &st) == 0 && S_ISDIR(st.st_mode)) {
            nFlags = O_DIRECTORY;
            bDirectory = true;
        }
    }
    // Programs the component launches must not inherit its files: an
    // inherited descriptor would keep the file's locks alive after it closes.
    const int nSystemFlags = nFlags | O_CLOEXEC;
    // Truncation waits until the lock is ours: a file that another handle
    // or process holds locked is never emptied.
    const int nCreate = static_cast<int>(eCreate);
    const bool bTruncate = (nCreate & O_TRUNC) != 0;
    bool bCreated = false;
    bool bExisted = false;
    int nFd = -1;
    if (nCreate == eCREATE_OPEN_OR_CREATE) {
        for (int nEssai = 0; nEssai < 100 && nFd == -1; ++nEssai) {
            nFd = open64(m_szName, nSystemFlags, 0666);
            if (nFd != -1) {
                bExisted = true;
                break;
            }
            if (errno != ENOENT) break;
            nFd = open64(m_szName, nSystemFlags | O_CREAT | O_EXCL, 0666);
            if (nFd != -1) {
                bCreated = true;
                break;
            }
            if (errno != EEXIST) break;
        }
    } else {
        nFd = open64(m_szName, nSystemFlags | (nCreate & ~O_TRUNC), 0666);
        if (nFd != -1 && nCreate == eCREATE_TRUNCATE) bCreated = true;
    }
    if (nFd == -1) {
        _OpenFailure(eCreate, errno);
        return false;
    }
    auto echec = [&](int nErrno) {
        close(nFd);
        _OpenFailure(eCreate, nErrno);
        return false;
    };
    auto echecVerrou = [&]() { return echec(_bIsLockConflict(errno) ? XFILE_SHARING_VIOLATION : errno); };
    if (!bDirectory) {
        // A directory is a file only when the caller asked for one: reading
        // it would fail at every call.
        struct stat64 st;
        if (fstat64(nFd, &st) == 0 && S_ISDIR(st.st_mode)) return echec(EISDIR);
    }
    const bool bLock = !bDirectory && (eShare == eSHARE_SHARED || eShare == eSHARE_EXCLUSIVE);
    if (bLock && !_bSetLock(nFd, eShare == eSHARE_EXCLUSIVE ? F_WRLCK : F_RDLCK, 0, 0, false)) return echecVerrou();
    if (bTruncate && !bDirectory) {
        if (nAccess == O_RDONLY) {
            // No write lock without write access: look for other locks, then
            // truncate by name.
            bool bLocked = false;
            if (!_bLockedElsewhere(nFd, &bLocked)) return echecVerrou();
            if (bLocked) return echec(XFILE_SHARING_VIOLATION);
            if (truncate64(m_szName, 0) == -1) return echec(errno);
        } else {
            // The whole file, exclusively, for the time of the truncation;
            // then back to the lock the caller asked for.
            if (eShare != eSHARE_EXCLUSIVE && !_bSetLock(nFd, F_WRLCK, 0, 0, false)) return echecVerrou();
            if (ftruncate64(nFd, 0) == -1) return echec(errno);
            if (eShare != eSHARE_EXCLUSIVE &&
                !_bSetLock(nFd, eShare == eSHARE_SHARED ? F_RDLCK : F_UNLCK, 0, 0, false))
                return echecVerrou();
        }
    }
    m_nFd = nFd;
    m_nFlags = nFlags;
    m_oPosition = 0;
    m_oSystemPosition = 0;
    _DropReadAhead();
    if (pbCreated != nullptr) *pbCreated = bCreated ? 1 : 0;
    if (bExisted) errno = EEXIST;
    return true;
}

void CDiskFile::_OpenFailure(eCREATE eCreate, int nErrno) {
    _SetFailure(nErrno);
    m_pclXError->AddDebugMessage(XDBG_HANDLE, m_nFd);
    int nMessage = 0;
    switch (static_cast<int>(eCreate)) {
    case eCREATE_OPEN: nMessage = XMSG_OPEN; break;
    case eCREATE_OPEN_OR_CREATE: nMessage = XMSG_OPEN_OR_CREATE; break;
    case eCREATE_TRUNCATE: nMessage = XMSG_CREATE; break;
    default: break;
    }
    if (nMessage != 0)
        _AddUserMessageWithName(nMessage, m_pszNameForError);
    else
        m_pclXError->AddInfo(EIT_SRCFILE, m_pszNameForError);
    errno = nErrno;
}

bool CDiskFile::bOpenW(const wchar_t* pszName, eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag,
                       int* pbCreated) {
    char* pszUTF8 = _pszWideToUTF8(pszName);
    if (pszUTF8 == nullptr) {
        _ResetError();
        _OpenFailure(eCreate, errno);
        return false;
    }
    bool bOk = bOpen(pszUTF8, eAccess, eShare, eCreate, eFlag, pbCreated);
    free(pszUTF8);
    if (bOk) {
        size_t n = wcslen(pszName) + 1;
        m_pwszName = static_cast<wchar_t*>(malloc(n * sizeof(wchar_t)));
        if (m_pwszName != nullptr) wmemcpy(m_pwszName, pszName, n);
    }
    return bOk;
}

bool CDiskFile::bReopen(eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag) {
    return bOpen(m_szName, eAccess, eShare, eCreate, eFlag, nullptr);
}

void CDiskFile::Close() {
    if (m_nFd != -1) close(m_nFd);
    m_nFd = -1;
    m_oPosition = 0;
    m_oSystemPosition = 0;
    m_nFlags = -1;
    free(m_pLineBuffer);
    m_pLineBuffer = nullptr;
    _DropReadAhead();
    if (m_pszNameForError != m_szName) free(m_pszNameForError);
    m_pszNameForError = m_szName;
}

void CDiskFile::vbSetNameForError(const char* pszName) {
    if (m_pszNameForError != m_szName) free(m_pszNameForError);
    m_pszNameForError = m_szName;
    if (pszName != nullptr && pszName != m_szName) {
        char* psz = strdup(pszName);
        if (psz != nullptr) m_pszNameForError = psz;
    }
}

IXStream::eACCESS CDiskFile::veGetAccess() const {
    if (m_nFd == -1) return eACCESS_DEFAULT;
    return static_cast<eACCESS>(m_nFlags & O_ACCMODE);
}

// --- Failures -----------------------------------------------------------------------

void CDiskFile::_ReadFailure(int nErrno, bool bExact, unsigned nAsked, unsigned nRead) {
    _SetFailure(nErrno);
    m_pclXError->AddDebugMessage(XDBG_HANDLE, m_nFd);
    m_pclXError->AddDebugMessage(XDBG_EXACT, bExact ? 1 : 0);
    m_pclXError->AddDebugMessage(XDBG_TOREAD, nAsked, nRead);
    _AddUserMessageWithName(XMSG_READ, m_pszNameForError);
    errno = nErrno;
}

void CDiskFile::_WriteFailure(int nErrno) {
    _SetFailure(nErrno);
    m_pclXError->AddDebugMessage(XDBG_HANDLE, m_nFd);
    m_pclXError->AddDebugMessage(XDBG_ACCESS, static_cast<unsigned>(m_nFlags));
    _AddUserMessageWithName(XMSG_WRITE, m_pszNameForError);
    errno = nErrno;
}

void CDiskFile::_SimpleFailure(int nErrno, int nMessage) {
    _SetFailure(nErrno);
    m_pclXError->AddDebugMessage(XDBG_HANDLE, m_nFd);
    _AddUserMessageWithName(nMessage, m_pszNameForError);
    errno = nErrno;
}

// --- Positions ----------------------------------------------------------------------

// The read-ahead of pszReadLine leaves the descriptor past the kept
// position: put it back before any other transfer.
bool CDiskFile::_bSyncPosition() {
    if (m_oSystemPosition == m_oPosition) return true;
    off64_t o = lseek64(m_nFd, m_oPosition, SEEK_SET);
    if (o == -1) {
        _SimpleFailure(errno, XMSG_SEEK);
        return false;
    }
    m_oSystemPosition = o;
    return true;
}

bool CDiskFile::_bSeekTo(long long oOffset) {
    if (oOffset < 0) {
        _SimpleFailure(EINVAL, XMSG_SEEK);
        return false;
    }
    off64_t o = lseek64(m_nFd, oOffset, SEEK_SET);
    if (o == -1) {
        _SimpleFailure(errno, XMSG_SEEK);
        return false;
    }
    m_oPosition = m_oSystemPosition = o;
    return true;
}

bool CDiskFile::bSeek(long long oOffset, eSEEK eFrom) {
    _ResetError();
    if (m_nFd == -1) {
        _SimpleFailure(EBADF, XMSG_SEEK);
        return false;
    }
    off64_t o = -1;
    switch (eFrom) {
    case eSEEK_BEGIN: return _bSeekTo(oOffset);
    case eSEEK_CURRENT:
        if ((oOffset > 0 && m_oPosition > LLONG_MAX - oOffset)) {
            _SimpleFailure(EOVERFLOW, XMSG_SEEK);
            return false;
        }
        return _bSeekTo(m_oPosition + oOffset);
    case eSEEK_END: o = lseek64(m_nFd, oOffset, SEEK_END); break;
    default: errno = EINVAL; break;
    }
    if (o == -1) {
        _SimpleFailure(errno, XMSG_SEEK);
        return false;
    }
    m_oPosition = m_oSystemPosition = o;
    return true;
}

long long CDiskFile::oGetSizeFast() {
    if (!bSeek(0, eSEEK_END)) return -1;
    return m_oPosition;
}

long long CDiskFile::oGetSize() {
    _ResetError();
    if (m_nFd == -1) {
        _SimpleFailure(EBADF, XMSG_SEEK);
        return -1;
    }
    // A regular file tells its size without moving.
    struct stat64 st;
    if (fstat64(m_nFd, &st) == 0 && S_ISREG(st.st_mode)) return st.st_size;
    long long oAncienne = m_oPosition;
    long long oTaille = oGetSizeFast();
    if (oTaille < 0) return -1;
    if (!bSeek(oAncienne, eSEEK_BEGIN)) return -1;
    return oTaille;
}

// --- Transfers ----------------------------------------------------------------------

bool CDiskFile::bRead(void* pData, unsigned nSize, unsigned* pnRead) {
    _ResetError();
    const bool bExact = pnRead == nullptr;
    if (pnRead != nullptr) *pnRead = 0;
    if (m_nFd == -1) {
        _ReadFailure(EBADF, bExact, nSize, 0);
        return false;
    }
    if (nSize == 0) return true;
    if (!_bSyncPosition()) return false;
    size_t nDone = 0;
    // An exact read insists until the end of the file; a counted read takes
    // what one call gives.
    while (nDone < nSize) {
        ssize_t n = read(m_nFd, static_cast<char*>(pData) + nDone, nSize - nDone);
        if (n < 0) {
            if (errno == EINTR) continue;
            int nErrno = errno;
            m_oPosition += static_cast<long long>(nDone);
            m_oSystemPosition = m_oPosition;
            _ReadFailure(nErrno, bExact, nSize, static_cast<unsigned>(nDone));
            return false;
        }
        if (n == 0) break;
        nDone += static_cast<size_t>(n);
        if (!bExact) break;
    }
    m_oPosition += static_cast<long long>(nDone);
    m_oSystemPosition = m_oPosition;
    if (pnRead != nullptr) *pnRead = static_cast<unsigned>(nDone);
    if (bExact && nDone < nSize) {
        _ReadFailure(0, true, nSize, static_cast<unsigned>(nDone));
        return false;
    }
    return true;
}

bool CDiskFile::_bRawRead(void* pData, unsigned nSize, unsigned* pnRead) {
    *pnRead = 0;
    if (!_bSyncPosition()) return false;
    ssize_t n = FIO_nReadFull(m_nFd, pData, nSize);
    if (n < 0) {
        // What was read before the error is lost to the caller: move back.
        int nErrno = errno;
        m_oSystemPosition = -1;
        _ReadFailure(nErrno, false, nSize, 0);
        return false;
    }
    *pnRead = static_cast<unsigned>(n);
    m_oPosition += n;
    m_oSystemPosition = m_oPosition;
    return true;
}

bool CDiskFile::bWrite(const void* pData, unsigned nSize, unsigned* pnWritten) {
    _ResetError();
    if (pnWritten != nullptr) *pnWritten = 0;
    if (nSize == 0) return true;
    if (m_nFd == -1) {
        _WriteFailure(EBADF);
        return false;
    }
    _DropReadAhead();
    if (!_bSyncPosition()) return false;
    size_t nDone = 0;
    int nErrno = 0;
    while (nDone < nSize) {
        ssize_t n = write(m_nFd, static_cast<const char*>(pData) + nDone, nSize - nDone);
        if (n < 0) {
            if (errno == EINTR) continue;
            nErrno = errno;
            break;
        }
        if (n == 0) {
            nErrno = EIO;
            break;
        }
        nDone += static_cast<size_t>(n);
    }
    m_oPosition += static_cast<long long>(nDone);
    m_oSystemPosition = m_oPosition;
    if (pnWritten != nullptr) *pnWritten = static_cast<unsigned>(nDone);
    if (nDone < nSize) {
        _WriteFailure(nErrno);
        return false;
    }
    return true;
}

bool CDiskFile::bRead(long long oOffset, void* pData, unsigned nSize, unsigned* pnRead) {
    if (oOffset != m_oPosition) {
        _ResetError();
        if (m_nFd == -1) {
            _ReadFailure(EBADF, pnRead == nullptr, nSize, 0);
            return false;
        }
        if (!_bSeekTo(oOffset)) return false;
    }
    return bRead(pData, nSize, pnRead);
}

bool CDiskFile::bWrite(long long oOffset, const void* pData, unsigned nSize, unsigned* pnWritten) {
    if (oOffset != m_oPosition) {
        _ResetError();
        if (m_nFd == -1) {
            _WriteFailure(EBADF);
            return false;
        }
        if (!_bSeekTo(oOffset)) return false;
    }
    return bWrite(pData, nSize, pnWritten);
}

bool CDiskFile::bFlush() {
    _ResetError();
    if (m_nFd == -1 || fsync(m_nFd) == -1) {
        _SimpleFailure(m_nFd == -1 ? EBADF : errno, XMSG_FLUSH);
        return false;
    }
    return true;
}

bool CDiskFile::bSetSize(long long oSize, eGROW eGrow) {
    if (eGrow != eGROW_ABSOLUTE && eGrow != eGROW_RELATIVE) {
        errno = EINVAL;
        return false;
    }
    if (!bSeek(oSize, eGrow == eGROW_ABSOLUTE ? eSEEK_BEGIN : eSEEK_END)) return false;
    _DropReadAhead();
    if (ftruncate64(m_nFd, m_oPosition) == -1) {
        _SimpleFailure(errno, XMSG_SETSIZE);
        return false;
    }
    return true;
}

bool CDiskFile::bIncreaseSize(long long oSize) {
    if (oSize < 0) {
        _ResetError();
        _SimpleFailure(EINVAL, XMSG_SETSIZE);
        return false;
    }
    if (oSize == 0) {
        _ResetError();
        return true;
    }
    if (!bSeek(oSize - 1, eSEEK_END)) return false;
    const char c = 0;
    return bWrite(&c, 1, nullptr);
}

bool CDiskFile::bExtendFile(long long oSize) {
    if (oSize <= 0) {
        _ResetError();
        _SimpleFailure(EINVAL, XMSG_SETSIZE);
        return false;
    }
    long long oAncienne = oGetSize();
    if (oAncienne < 0) return false;
    if (!bSetSize(oSize, eGROW_ABSOLUTE)) return false;
    // Writing the last byte makes the system reserve the new room; a file
    // that did not grow keeps its content.
    if (oAncienne >= oSize) return true;
    const char c = 0;
    return bWrite(oSize - 1, &c, 1, nullptr);
}

bool CDiskFile::bWriteString(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    bool b = bWriteStringList(pszFormat, args);
    va_end(args);
    return b;
}

bool CDiskFile::bWriteStringList(const char* pszFormat, va_list args) {
    char szBuffer[1025];
    va_list copie;
    va_copy(copie, args);
    int n = vsnprintf(szBuffer, sizeof(szBuffer), pszFormat != nullptr ? pszFormat : s_szSansFormat, copie);
    va_end(copie);
    if (n < 0) {
        _ResetError();
        _WriteFailure(EINVAL);
        return false;
    }
    if (static_cast<size_t>(n) < sizeof(szBuffer)) return bWrite(szBuffer, static_cast<unsigned>(n), nullptr);
    // Longer texts are written whole rather than cut.
    std::unique_ptr<char[]> p(new (std::nothrow) char[static_cast<size_t>(n) + 1]);
    if (!p) {
        _ResetError();
        _WriteFailure(ENOMEM);
        m_pclXError->AddDebugMessageNoFormat("##MemoryException##");
        return false;
    }
    vsnprintf(p.get(), static_cast<size_t>(n) + 1, pszFormat, args);
    return bWrite(p.get(), static_cast<unsigned>(n), nullptr);
}

bool CDiskFile::bExtract(IXStream* pclDest, long long oSize) {
    _ResetError();
    if (oSize == 0) return true;
    if (pclDest == nullptr || m_nFd == -1) {
        _ReadFailure(m_nFd == -1 ? EBADF : EINVAL, false, 0, 0);
        return false;
    }
    std::unique_ptr<char[]> p(new (std::nothrow) char[XSTREAM_COPY_BLOCK]);
    if (!p) {
        _ReadFailure(ENOMEM, false, 0, 0);
        m_pclXError->AddDebugMessageNoFormat("##MemoryException##");
        return false;
    }
    long long oReste = oSize;
    while (oSize < 0 || oReste > 0) {
        unsigned nBloc = XSTREAM_COPY_BLOCK;
        if (oSize > 0 && oReste < nBloc) nBloc = static_cast<unsigned>(oReste);
        unsigned nLu = 0;
        if (!bRead(p.get(), nBloc, &nLu)) return false;
        if (nLu == 0) break;
        if (!pclDest->bWrite(p.get(), nLu, nullptr)) {
            if (pclDest->pclGetXError() != nullptr) m_pclXError->Copy(*pclDest->pclGetXError());
            return false;
        }
        oReste -= nLu;
    }
    if (oSize > 0 && oReste > 0) {
        _ReadFailure(0, true, static_cast<unsigned>(oSize), static_cast<unsigned>(oSize - oReste));
        return false;
    }
    return true;
}

bool CDiskFile::bExtract(const char* pszDest, long long oOffset, long long oSize) {
    CDiskFile clDest;
    if (!clDest.bOpen(pszDest, eACCESS_WRITE, eSHARE_NONE, eCREATE_TRUNCATE)) {
        _ResetError();
        m_pclXError->Copy(*clDest.pclGetXError());
        return false;
    }
    if (!bSeek(oOffset, eSEEK_BEGIN)) return false;
    bool bOk = bExtract(&clDest, oSize);
    if (bOk && !clDest.bFlush()) {
        m_pclXError->Copy(*clDest.pclGetXError());
        bOk = false;
    }
    return bOk;
}

bool CDiskFile::bExtractFromFile(const char* pszSource, long long oOffset, long long oSize) {
    CDiskFile clSource;
    if (!clSource.bOpen(pszSource, eACCESS_READ, eSHARE_NONE, eCREATE_OPEN) ||
        !clSource.bSeek(oOffset, eSEEK_BEGIN) || !clSource.bExtract(this, oSize)) {
        CXError clCopie;
        clCopie.Copy(*clSource.pclGetXError());
        if (clCopie.bIsError()) m_pclXError->Copy(clCopie);
        return false;
    }
    return true;
}

bool CDiskFile::bExtractW(const wchar_t* pszDest, long long oOffset, long long oSize) {
    char* psz = _pszWideToUTF8(pszDest);
    if (psz == nullptr) {
        _ResetError();
        _WriteFailure(errno);
        return false;
    }
    bool b = bExtract(psz, oOffset, oSize);
    free(psz);
    return b;
}

bool CDiskFile::bExtractFromFileW(const wchar_t* pszSource, long long oOffset, long long oSize) {
    char* psz = _pszWideToUTF8(pszSource);
    if (psz == nullptr) {
        _ResetError();
        _ReadFailure(errno, false, 0, 0);
        return false;
    }
    bool b = bExtractFromFile(psz, oOffset, oSize);
    free(psz);
    return b;
}

// --- Locks --------------------------------------------------------------------------

bool CDiskFile::_bLockRange(int nType, unsigned long long qwStart, unsigned long long qwLength, bool bWait) const {
    if (m_nFd == -1) {
        errno = EBADF;
        return false;
    }
    if (qwStart > static_cast<unsigned long long>(LLONG_MAX)) {
        errno = EINVAL;
        return false;
    }
    // A length past what the system can express means "to the end and beyond".
    const long long oLength = qwLength > static_cast<unsigned long long>(LLONG_MAX - static_cast<long long>(qwStart))
                                  ? 0
                                  : static_cast<long long>(qwLength);
    return _bSetLock(m_nFd, nType, static_cast<long long>(qwStart), oLength, bWait);
}

bool CDiskFile::bLock(unsigned long long qwStart, unsigned long long qwLength) const {
    int nType = (m_nFlags & O_ACCMODE) != O_RDONLY ? F_WRLCK : F_RDLCK;
    if (_bLockRange(nType, qwStart, qwLength, false)) return true;
    if (_bIsLockConflict(errno)) errno = XFILE_SHARING_VIOLATION;
    return false;
}

bool CDiskFile::bUnlock(unsigned long long qwStart, unsigned long long qwLength) const {
    if (_bLockRange(F_UNLCK, qwStart, qwLength, false)) return true;
    errno = XFILE_SHARING_VIOLATION;
    return false;
}

bool CDiskFile::bLockFile(unsigned long long qwStart, unsigned long long qwLength) const {
    _ResetError();
    if (bLock(qwStart, qwLength)) return true;
    int nErrno = errno;
    _SetFailure(nErrno);
    m_pclXError->AddDebugMessage(XDBG_HANDLE, m_nFd);
    m_pclXError->AddUserMessage(XMSG_LOCK, m_pszNameForError, qwStart, qwLength);
    m_pclXError->AddInfo(EIT_SRCFILE, m_pszNameForError);
    errno = nErrno;
    return false;
}

bool CDiskFile::bUnlockFile(unsigned long long qwStart, unsigned long long qwLength) const {
    _ResetError();
    if (bUnlock(qwStart, qwLength)) return true;
    int nErrno = errno;
    _SetFailure(nErrno);
    m_pclXError->AddDebugMessage(XDBG_HANDLE, m_nFd);
    m_pclXError->AddUserMessage(XMSG_UNLOCK, m_pszNameForError, qwStart, qwLength);
    m_pclXError->AddInfo(EIT_SRCFILE, m_pszNameForError);
    errno = nErrno;
    return false;
}

bool CDiskFile::bLockFileEx(int bLock, int bExclusive) const {
    _ResetError();
    if (!bLock) {
        _bLockRange(F_UNLCK, 0, 2, false);
        return true;
    }
    if (_bLockRange(bExclusive ? F_WRLCK : F_RDLCK, 0, 2, true)) return true;
    int nErrno = errno;
    _SetFailure(nErrno);
    m_pclXError->AddDebugMessage(XDBG_HANDLE, m_nFd);
    m_pclXError->AddUserMessage(XMSG_LOCK, m_pszNameForError, 0ULL, 2ULL);
    m_pclXError->AddInfo(EIT_SRCFILE, m_pszNameForError);
    errno = nErrno;
    return false;
}

// --- Times --------------------------------------------------------------------------

bool CDiskFile::bGetTime(_stXFILETIME* pstCreation, _stXFILETIME* pstAccess, _stXFILETIME* pstModification) {
    _ResetError();
    struct stat64 st;
    if (m_nFd == -1 || fstat64(m_nFd, &st) == -1) {
        _SimpleFailure(m_nFd == -1 ? EBADF : errno, XMSG_FILESTATUS);
        return false;
    }
    if (pstCreation != nullptr) FIO_ToFileTime(st.st_ctim.tv_sec, st.st_ctim.tv_nsec, pstCreation);
    if (pstAccess != nullptr) FIO_ToFileTime(st.st_atim.tv_sec, st.st_atim.tv_nsec, pstAccess);
    if (pstModification != nullptr) FIO_ToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec, pstModification);
    return true;
}

bool CDiskFile::bSetTime(const _stXFILETIME*, const _stXFILETIME* pstAccess, const _stXFILETIME* pstModification) {
    _ResetError();
    if (pstAccess == nullptr && pstModification == nullptr) return true;
    struct timespec astTimes[2];
    const _stXFILETIME* apst[2] = {pstAccess, pstModification};
    for (int i = 0; i < 2; ++i) {
        astTimes[i].tv_nsec = UTIME_OMIT;
        astTimes[i].tv_sec = 0;
        if (apst[i] == nullptr) continue;
        time_t t;
        if (!FIO_bFromFileTime(apst[i], &t)) {
            _SimpleFailure(EINVAL, XMSG_MODIFTIME);
            return false;
        }
        astTimes[i].tv_sec = t;
        astTimes[i].tv_nsec = 0;
    }
    if (utimensat(AT_FDCWD, m_szName, astTimes, 0) == -1) {
        _SimpleFailure(errno, XMSG_MODIFTIME);
        return false;
    }
    return true;
}

// --- Line reading -------------------------------------------------------------------

// A line ends at CR LF, at a lone CR or at LF, whichever comes first (with
// flag bit 0, only at CR LF). Nothing after a line end is swallowed.
template <typename T>
bool CDiskFile::_bReadLineT(T* pszLine, unsigned nMax, int* pbTruncated, unsigned nFlags) {
    _ResetError();
    if (pbTruncated != nullptr) *pbTruncated = 0;
    if (pszLine == nullptr || nMax == 0) {
        _ReadFailure(EINVAL, false, 0, 0);
        return false;
    }
    *pszLine = 0;
    if (m_nFd == -1) {
        _ReadFailure(EBADF, false, 0, 0);
        return false;
    }
    const bool bCRLFOnly = (nFlags & 1) != 0;
    const unsigned U = sizeof(T);
    const unsigned nRoom = nMax - 1;
    unsigned nOut = 0;
    T aChunk[XSTREAM_LINE_CHUNK + 1];
    for (;;) {
        unsigned nBytes = 0;
        if (!_bRawRead(aChunk, XSTREAM_LINE_CHUNK * U, &nBytes)) return false;
        unsigned nUnits = nBytes / U;
        if (nUnits == 0) {
            if (nOut > 0) return true;
            _ReadFailure(0, false, XSTREAM_LINE_CHUNK * U, nBytes);
            return false;
        }
        int nEnd = -1;
        unsigned nEndLength = 0;
        for (unsigned i = 0; i < nUnits; ++i) {
            T c = aChunk[i];
            if (c == T('\n') && !bCRLFOnly) {
                nEnd = static_cast<int>(i);
                nEndLength = 1;
                break;
            }
            if (c != T('\r')) continue;
            if (i + 1 == nUnits && nBytes == nUnits * U) {
                // The CR closes the chunk: look at the next unit.
                T cNext = 0;
                unsigned nPlus = 0;
                if (!_bRawRead(&cNext, U, &nPlus)) return false;
                if (nPlus == U && cNext == T('\n')) {
                    aChunk[nUnits++] = cNext;
                    nBytes += U;
                } else if (nPlus > 0 && !_bSeekTo(m_oPosition - nPlus)) {
                    return false;
                }
            }
            if (i + 1 < nUnits && aChunk[i + 1] == T('\n')) {
                nEnd = static_cast<int>(i);
                nEndLength = 2;
                break;
            }
            if (!bCRLFOnly) {
                nEnd = static_cast<int>(i);
                nEndLength = 1;
                break;
            }
        }
        const unsigned nText = nEnd >= 0 ? static_cast<unsigned>(nEnd) : nUnits;
        const unsigned nTake = nText < nRoom - nOut ? nText : nRoom - nOut;
        memcpy(pszLine + nOut, aChunk, nTake * U);
        nOut += nTake;
        pszLine[nOut] = 0;
        if (nTake < nText) {
            if (pbTruncated != nullptr) *pbTruncated = 1;
            return _bSeekTo(m_oPosition - (nBytes - nTake * U));
        }
        if (nEnd >= 0) return _bSeekTo(m_oPosition - (nBytes - (nText + nEndLength) * U));
        if (nBytes < XSTREAM_LINE_CHUNK * U) return true;
    }
}

bool CDiskFile::bReadLine(char* pszLine, unsigned nMax, int* pbTruncated, unsigned nFlags) {
    return _bReadLineT<char>(pszLine, nMax, pbTruncated, nFlags);
}

bool CDiskFile::bReadLineUNICODE(wchar_t* pszLine, unsigned nMax, int* pbTruncated, unsigned nFlags) {
    return _bReadLineT<wchar_t>(pszLine, nMax, pbTruncated, nFlags);
}

const char* CDiskFile::pszReadLine(char* pszLine, unsigned nMax, CTString* pclOverflow, const char* pszSeparator) {
    _ResetError();
    if (m_nFd == -1) {
        _ReadFailure(EBADF, false, 0, 0);
        return nullptr;
    }
    if (m_pLineBuffer == nullptr) {
        m_pLineBuffer = static_cast<char*>(malloc(LINE_BUFFER_SIZE + 1));
        if (m_pLineBuffer == nullptr) {
            _ReadFailure(ENOMEM, false, 0, 0);
            m_pclXError->AddDebugMessageNoFormat("##MemoryException##");
            return nullptr;
        }
        _DropReadAhead();
    }
    // The read-ahead stays good while the kept position lies inside it.
    if (m_nAheadLength > 0 && m_oPosition >= m_oAheadBase &&
        m_oPosition <= m_oAheadBase + static_cast<long long>(m_nAheadLength))
        m_nAheadCursor = static_cast<unsigned>(m_oPosition - m_oAheadBase);
    else
        _DropReadAhead();

    auto refill = [this]() -> int {
        if (!_bSyncPosition()) return -1;
        ssize_t n = FIO_nReadFull(m_nFd, m_pLineBuffer, LINE_BUFFER_SIZE);
        if (n < 0) {
            int nErrno = errno;
            m_oSystemPosition = -1;
            _ReadFailure(nErrno, false, LINE_BUFFER_SIZE, 0);
            return -1;
        }
        m_oSystemPosition = m_oPosition + n;
        m_oAheadBase = m_oPosition;
        m_nAheadLength = static_cast<unsigned>(n);
        m_nAheadCursor = 0;
        return n > 0 ? 1 : 0;
    };
    auto advance = [this](unsigned n) {
        m_nAheadCursor += n;
        m_oPosition += n;
    };

    const size_t nSep = pszSeparator != nullptr ? strlen(pszSeparator) : 0;
    // The line grows in a dynamic string: its growth reports a failure
    // instead of throwing.
    CZNDSTR clLine;
    size_t nLine = 0;
    auto ajoute = [&](const char* p, unsigned n) {
        if (n == 0) return true;
        if (clLine.nConcat(p, static_cast<int>(n)) != 0) {
            _ReadFailure(ENOMEM, false, n, 0);
            m_pclXError->AddDebugMessageNoFormat("##MemoryException##");
            return false;
        }
        nLine += n;
        return true;
    };
    auto tropLongue = [&]() {
        _ReadFailure(EOVERFLOW, false, XSTREAM_LINE_MAX, static_cast<unsigned>(nLine));
        return static_cast<const char*>(nullptr);
    };
    bool bFound = false;
    while (!bFound) {
        if (m_nAheadCursor >= m_nAheadLength) {
            int r = refill();
            if (r < 0) return nullptr;
            if (r == 0) break;
        }
        const char* pDebut = m_pLineBuffer + m_nAheadCursor;
        const unsigned nDispo = m_nAheadLength - m_nAheadCursor;
        if (nSep == 0) {
            unsigned i = 0;
            while (i < nDispo && pDebut[i] != '\r' && pDebut[i] != '\n') ++i;
            if (!ajoute(pDebut, i)) return nullptr;
            if (i == nDispo) {
                advance(nDispo);
                if (nLine > XSTREAM_LINE_MAX) return tropLongue();
                continue;
            }
            const bool bCR = pDebut[i] == '\r';
            advance(i + 1);
            if (nLine > XSTREAM_LINE_MAX) return tropLongue();
            if (bCR) {
                // The LF partner may begin the next buffer.
                if (m_nAheadCursor >= m_nAheadLength && refill() < 0) return nullptr;
                if (m_nAheadCursor < m_nAheadLength && m_pLineBuffer[m_nAheadCursor] == '\n') advance(1);
            }
            bFound = true;
        } else {
            const size_t nAvant = nLine;
            if (!ajoute(pDebut, nDispo)) return nullptr;
            const size_t nDepart = nAvant >= nSep - 1 ? nAvant - (nSep - 1) : 0;
            const char* pLigne = clLine.pszGet();
            const void* pTrouve = memmem(pLigne + nDepart, nLine - nDepart, pszSeparator, nSep);
            if (pTrouve == nullptr) {
                advance(nDispo);
                // A separator still to come would start beyond the limit.
                if (nLine > XSTREAM_LINE_MAX + (nSep - 1)) return tropLongue();
                continue;
            }
            const size_t p = static_cast<size_t>(static_cast<const char*>(pTrouve) - pLigne);
            const size_t nAuDela = nLine - (p + nSep);
            advance(nDispo - static_cast<unsigned>(nAuDela));
            clLine.Tronque(static_cast<int>(p));
            nLine = p;
            if (nLine > XSTREAM_LINE_MAX) return tropLongue();
            bFound = true;
        }
    }
    if (!bFound && nLine == 0) return nullptr;
    const char* pLigne = clLine.pszGet();
    if (pszLine != nullptr && nLine < nMax) {
        memcpy(pszLine, pLigne, nLine);
        pszLine[nLine] = 0;
        return pszLine;
    }
    if (pclOverflow != nullptr) {
        if (!pclOverflow->Set(pLigne, static_cast<int>(nLine))) {
            _ReadFailure(ENOMEM, false, static_cast<unsigned>(nLine), 0);
            m_pclXError->AddDebugMessageNoFormat("##MemoryException##");
            return nullptr;
        }
        return pclOverflow->pszGet();
    }
    if (pszLine == nullptr || nMax == 0) return nullptr;
    memcpy(pszLine, pLigne, nMax - 1);
    pszLine[nMax - 1] = 0;
    return pszLine;
}
