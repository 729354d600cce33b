// File-system operations by name: delete, rename, copy, move, directories,
// attributes, times, searches, temporary names, disk space, trees.
//
// Writers never leave a half-written file behind a success: a copy goes to
// a temporary name beside its destination, is synced, then renamed over it.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/zndstr.h"
#include "files/diskfile.h"
#include "files/fileio.h"

namespace {

std::string _clName(const char* psz) {
    std::string cl(psz != nullptr ? psz : "");
    for (char& c : cl)
        if (c == '\\') c = '/';
    return cl;
}

bool _bSameInode(const struct stat64& a, const struct stat64& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Creates a new empty file with a unique name in a directory, mode 0666
// less the umask. Returns the descriptor, -1 on failure.
int _nCreateUnique(const std::string& clDir, const char* pszPrefix, std::string* pclName) {
    static unsigned s_nCompteur = 0;
    static const char s_szCar[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int nEssai = 0; nEssai < 1000; ++nEssai) {
        struct timespec stNow {};
        clock_gettime(CLOCK_MONOTONIC, &stNow);
        unsigned long long q = static_cast<unsigned long long>(stNow.tv_nsec) * 6364136223846793005ULL +
                               static_cast<unsigned long long>(getpid()) * 1442695040888963407ULL +
                               (++s_nCompteur) * 0x9E3779B97F4A7C15ULL;
        char szSuffixe[7];
        for (int i = 0; i < 6; ++i) {
            szSuffixe[i] = s_szCar[q % 62];
            q /= 62;
        }
        szSuffixe[6] = 0;
        std::string cl = clDir + "/" + pszPrefix + szSuffixe;
        int nFd = open64(cl.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (nFd != -1) {
            *pclName = cl;
            return nFd;
        }
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}

void _SyncDirectory(const std::string& clDir) {
    int nFd = open64(clDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nFd == -1) return;
    fsync(nFd);
    close(nFd);
}

// Starts the disk writes of a copy's output while the copy goes on, so
// that the sync before the rename finds little left to write instead of
// the whole file.
class CEnvoiDisque {
public:
    explicit CEnvoiDisque(int nFd) : m_nFd(nFd) {}
    void Avance(loff_t oEcrit) {
        if (oEcrit - m_oEnvoye < k_nMorceau) return;
        // Advisory: a failure here is met again by the sync.
        sync_file_range(m_nFd, m_oEnvoye, oEcrit - m_oEnvoye, SYNC_FILE_RANGE_WRITE);
        m_oEnvoye = oEcrit;
    }
    static constexpr loff_t k_nMorceau = loff_t(8) << 20;

private:
    const int m_nFd;
    loff_t m_oEnvoye = 0;
};

// Copies an open source, from its start and without moving its position,
// into a temporary file beside the target, syncs it, gives it the mode (when
// bMode) and renames it over the target. The kernel copies by itself where
// it can (copy_file_range); otherwise the bytes pass through a buffer.
bool _bCopyReplace(int nSource, const std::string& clTarget, bool bMode, mode_t nMode) {
    std::string clTemp;
    std::string clDir = FIO_sRepertoireDe(clTarget);
    int nDest = _nCreateUnique(clDir, ".~qvcp", &clTemp);
    if (nDest == -1) return false;
    bool bOk = true;
    loff_t oLu = 0;
    bool bNoyau = true;
    CEnvoiDisque clEnvoi(nDest);
    while (bNoyau) {
        ssize_t n = copy_file_range(nSource, &oLu, nDest, nullptr, size_t(CEnvoiDisque::k_nMorceau), 0);
        if (n > 0) {
            clEnvoi.Avance(oLu);
            continue;
        }
        if (n == 0) break;
        if (errno == EINTR) continue;
        // Not between these two files (other file systems on older kernels,
        // special files): the buffer takes over where the kernel stopped.
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP && errno != EBADF &&
            errno != EPERM) {
            bOk = false;
        }
        bNoyau = false;
    }
    if (bOk && !bNoyau) {
        std::unique_ptr<char[]> p(new (std::nothrow) char[XSTREAM_COPY_BLOCK]);
        bOk = p != nullptr;
        if (!bOk) errno = ENOMEM;
        while (bOk) {
            ssize_t n = pread64(nSource, p.get(), XSTREAM_COPY_BLOCK, oLu);
            if (n < 0) {
                if (errno == EINTR) continue;
                bOk = false;
                break;
            }
            if (n == 0) break;
            bOk = FIO_bWriteFull(nDest, p.get(), static_cast<size_t>(n));
            oLu += n;
            clEnvoi.Avance(oLu);
        }
    }
    if (bOk && bMode && fchmod(nDest, nMode) == -1) bOk = false;
    if (bOk && fsync(nDest) == -1) bOk = false;
    if (close(nDest) == -1 && bOk) bOk = false;
    if (bOk && rename(clTemp.c_str(), clTarget.c_str()) == -1) bOk = false;
    if (!bOk) {
        int nErrno = errno;
        unlink(clTemp.c_str());
        errno = nErrno;
        return false;
    }
    _SyncDirectory(clDir);
    return true;
}

// What the copy writes to: the target of a symbolic link, so that a link
// keeps pointing where it did.
std::string _clWriteTarget(const std::string& clDest) {
    struct stat64 st;
    if (lstat64(clDest.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* psz = realpath(clDest.c_str(), nullptr);
        if (psz != nullptr) {
            std::string cl(psz);
            free(psz);
            return cl;
        }
    }
    return clDest;
}

// Attributes used for matching: the directory bit only for real
// directories, the regular-file bit only for regular files.
uint32_t _dwMatchAttributes(uint32_t dwAttributes, mode_t nMode) {
    uint32_t dw = dwAttributes;
    if (!S_ISDIR(nMode)) dw &= ~0x4000u;
    if (!S_ISREG(nMode)) dw &= ~0x8000u;
    return dw;
}

typedef std::vector<std::pair<uint64_t, uint64_t>> STPile;

bool _bOnStack(const STPile& clPile, const struct stat64& st) {
    return std::find(clPile.begin(), clPile.end(), std::make_pair(static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino))) != clPile.end();
}

struct STDeleteOptions {
    bool bForce;          // go on after a failure
    bool bMakeWritable;   // give directories the owner's write bit first
    int nFirstErrno;
    std::string clFirstName;
};

void _NoteFailure(STDeleteOptions& st, const std::string& clName) {
    if (st.nFirstErrno == 0) {
        st.nFirstErrno = errno != 0 ? errno : EIO;
        st.clFirstName = clName;
    }
}

// Empties a directory depth first. Links are removed, never followed.
bool _bEmptyDirectory(const std::string& clDir, STDeleteOptions& stOpt, STPile& clPile) {
    struct stat64 stDir;
    if (lstat64(clDir.c_str(), &stDir) == -1) {
        _NoteFailure(stOpt, clDir);
        return false;
    }
    if (_bOnStack(clPile, stDir)) {
        errno = ELOOP;
        _NoteFailure(stOpt, clDir);
        return false;
    }
    if (stOpt.bMakeWritable && (stDir.st_mode & S_IWUSR) == 0) chmod(clDir.c_str(), (stDir.st_mode & 07777) | S_IWUSR | S_IXUSR);
    std::vector<std::string> clNames;
    if (!FIO_bNomsRepertoire(clDir, &clNames)) {
        _NoteFailure(stOpt, clDir);
        return false;
    }
    clPile.emplace_back(static_cast<uint64_t>(stDir.st_dev), static_cast<uint64_t>(stDir.st_ino));
    bool bOk = true;
    for (const std::string& clNom : clNames) {
        std::string clChemin = clDir + "/" + clNom;
        struct stat64 st;
        if (lstat64(clChemin.c_str(), &st) == -1) {
            if (errno == ENOENT) continue;
            _NoteFailure(stOpt, clChemin);
            bOk = false;
        } else if (S_ISDIR(st.st_mode)) {
            if (!_bEmptyDirectory(clChemin, stOpt, clPile) || rmdir(clChemin.c_str()) == -1) {
                _NoteFailure(stOpt, clChemin);
                bOk = false;
            }
        } else if (unlink(clChemin.c_str()) == -1) {
            _NoteFailure(stOpt, clChemin);
            bOk = false;
        }
        if (!bOk && !stOpt.bForce) break;
    }
    clPile.pop_back();
    return bOk;
}

bool _bDeleteTree(const char* pszDir, bool bKeepTop, bool bForce, bool bMakeWritable, CXError* pclError) {
    FIO_Reset(pclError);
    std::string clDir = _clName(pszDir);
    while (clDir.size() > 1 && clDir.back() == '/') clDir.pop_back();
    struct stat64 st;
    if (clDir.empty() || lstat64(clDir.c_str(), &st) == -1) {
        FIO_Report(pclError, clDir.empty() ? ENOENT : errno, XMSG_DELETEDIR, clDir.c_str());
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        FIO_Report(pclError, ENOTDIR, XMSG_DELETEDIR, clDir.c_str());
        return false;
    }
    STDeleteOptions stOpt{bForce, bMakeWritable, 0, std::string()};
    STPile clPile;
    bool bOk = _bEmptyDirectory(clDir, stOpt, clPile);
    if ((bOk || bForce) && !bKeepTop && rmdir(clDir.c_str()) == -1) {
        _NoteFailure(stOpt, clDir);
        bOk = false;
    }
    if (!bOk || stOpt.nFirstErrno != 0) {
        FIO_Report(pclError, stOpt.nFirstErrno != 0 ? stOpt.nFirstErrno : EIO, XMSG_DELETEDIR,
                   stOpt.clFirstName.empty() ? clDir.c_str() : stOpt.clFirstName.c_str());
        return false;
    }
    return true;
}

// Walks a tree (directories by lstat: links are never entered) and calls
// the callback for files or for directories that match the pattern.
bool _bWalk(const std::string& clDir, const char* pszPattern, CDiskFile::PFNTREECALLBACK pfn, void* pUser,
            bool bRecursive, bool bDirectories, STPile& clPile, bool* pbStopped) {
    struct stat64 stDir;
    if (lstat64(clDir.c_str(), &stDir) == -1) return false;
    if (_bOnStack(clPile, stDir)) return true;
    std::vector<std::string> clNames;
    if (!FIO_bNomsRepertoire(clDir, &clNames)) return false;
    clPile.emplace_back(static_cast<uint64_t>(stDir.st_dev), static_cast<uint64_t>(stDir.st_ino));
    bool bOk = true;
    std::string clBase = clDir == "/" ? std::string() : clDir;
    for (const std::string& clNom : clNames) {
        std::string clChemin = clBase + "/" + clNom;
        struct stat64 st;
        if (lstat64(clChemin.c_str(), &st) == -1) continue;
        const bool bDir = S_ISDIR(st.st_mode);
        bool bFile = !bDir;
        if (S_ISLNK(st.st_mode)) {
            struct stat64 stCible;
            bFile = stat64(clChemin.c_str(), &stCible) == 0 && !S_ISDIR(stCible.st_mode);
        }
        const bool bMatch = CDiskFile::_bFiltreFileName(clNom.c_str(), pszPattern);
        if (bMatch && ((bDirectories && bDir) || (!bDirectories && bFile))) {
            if (!pfn(clChemin.c_str(), pUser)) {
                *pbStopped = true;
                break;
            }
        }
        if (bDir && bRecursive) {
            if (!_bWalk(clChemin, pszPattern, pfn, pUser, bRecursive, bDirectories, clPile, pbStopped)) bOk = false;
            if (*pbStopped) break;
        }
    }
    clPile.pop_back();
    return bOk;
}

bool _bDoOnTree(const char* pszDir, const char* pszPattern, CDiskFile::PFNTREECALLBACK pfn, void* pUser,
                bool bRecursive, bool bDirectories, CXError* pclError) {
    FIO_Reset(pclError);
    std::string clDir = _clName(pszDir);
    while (clDir.size() > 1 && clDir.back() == '/') clDir.pop_back();
    if (clDir.empty()) clDir = ".";
    if (pfn == nullptr) {
        FIO_Report(pclError, EINVAL, XMSG_FINDFIRST, clDir.c_str());
        return false;
    }
    STPile clPile;
    bool bStopped = false;
    const char* pszMotif = pszPattern != nullptr && *pszPattern != 0 ? pszPattern : "*";
    if (!_bWalk(clDir, pszMotif, pfn, pUser, bRecursive, bDirectories, clPile, &bStopped)) {
        FIO_Report(pclError, errno, XMSG_FINDFIRST, clDir.c_str());
        return false;
    }
    return !bStopped;
}

}  // namespace

// --- Single names -------------------------------------------------------------------

bool CDiskFile::bDelete(const char* pszName, CXError* pclError) {
    FIO_Reset(pclError);
    std::string cl = _clName(pszName);
    if (unlink(cl.c_str()) == -1) {
        FIO_Report(pclError, errno, 0, cl.c_str());
        return false;
    }
    return true;
}

bool CDiskFile::bForceDelete(const char* pszName, CXError* pclError) { return bDelete(pszName, pclError); }

bool CDiskFile::bRename(const char* pszNewName, const char* pszOldName, CXError* pclError) {
    FIO_Reset(pclError);
    std::string clNew = _clName(pszNewName), clOld = _clName(pszOldName);
    // The check and the rename are one step, so that no file appearing
    // meanwhile under the new name is replaced.
    if (renameat2(AT_FDCWD, clOld.c_str(), AT_FDCWD, clNew.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP) {
        struct stat64 st;
        if (lstat64(clNew.c_str(), &st) == 0) {
            errno = EEXIST;
        } else if (rename(clOld.c_str(), clNew.c_str()) == 0) {
            return true;
        }
    }
    FIO_Report(pclError, errno, XMSG_RENAME, clOld.c_str(), clNew.c_str());
    return false;
}

bool CDiskFile::bCopy(const char* pszDest, const char* pszSource, CXError* pclError) {
    FIO_Reset(pclError);
    std::string clSource = _clName(pszSource);
    int nSource = open64(clSource.c_str(), O_RDONLY | O_CLOEXEC);
    if (nSource == -1) {
        FIO_Report(pclError, errno, XMSG_COPY, clSource.c_str(), _clName(pszDest).c_str());
        return false;
    }
    const bool bOk = bCopyFromDescriptor(nSource, pszDest, pclError, clSource.c_str());
    close(nSource);
    return bOk;
}

bool CDiskFile::bCopyFromDescriptor(int nSource, const char* pszDest, CXError* pclError, const char* pszSourceName) {
    FIO_Reset(pclError);
    std::string clDest = _clName(pszDest);
    const char* pszNomSource = pszSourceName != nullptr ? pszSourceName : "";
    struct stat64 stSource;
    if (fstat64(nSource, &stSource) == -1) {
        FIO_Report(pclError, errno, XMSG_COPY, pszNomSource, clDest.c_str());
        return false;
    }
    int nErrno = 0;
    std::string clTarget = _clWriteTarget(clDest);
    struct stat64 stDest;
    const bool bDestExists = stat64(clTarget.c_str(), &stDest) == 0;
    if (S_ISDIR(stSource.st_mode)) {
        nErrno = EISDIR;
    } else if (bDestExists && _bSameInode(stSource, stDest)) {
        // A copy onto itself would empty the source.
        nErrno = EINVAL;
    } else if (!_bCopyReplace(nSource, clTarget, bDestExists, bDestExists ? (stDest.st_mode & 07777) : 0)) {
        nErrno = errno;
    }
    if (nErrno != 0) {
        FIO_Report(pclError, nErrno, XMSG_COPY, pszNomSource, clDest.c_str());
        return false;
    }
    return true;
}

bool CDiskFile::bMove(const char* pszDest, const char* pszSource, CXError* pclError) {
    FIO_Reset(pclError);
    std::string clSource = _clName(pszSource), clDest = _clName(pszDest);
    struct stat64 stSource, stDest, stLien;
    if (lstat64(clSource.c_str(), &stLien) == -1) {
        FIO_Report(pclError, errno, XMSG_RENAME, clSource.c_str(), clDest.c_str());
        return false;
    }
    if (stat64(clSource.c_str(), &stSource) == 0 && stat64(clDest.c_str(), &stDest) == 0 &&
        _bSameInode(stSource, stDest)) {
        // Same file under both names: one entry ("a" and "./a") needs
        // nothing; a second name (hard link, or a link to the other) goes.
        struct stat64 stDirS, stDirD, stDestLien;
        bool bSameEntry = stat64(FIO_sRepertoireDe(clSource).c_str(), &stDirS) == 0 &&
                          stat64(FIO_sRepertoireDe(clDest).c_str(), &stDirD) == 0 && _bSameInode(stDirS, stDirD) &&
                          FIO_sBaseDe(clSource) == FIO_sBaseDe(clDest);
        if (bSameEntry) return true;
        bool bDestIsLink = lstat64(clDest.c_str(), &stDestLien) == 0 && S_ISLNK(stDestLien.st_mode);
        if (!bDestIsLink) {
            if (unlink(clSource.c_str()) == 0) return true;
            FIO_Report(pclError, errno, XMSG_RENAME, clSource.c_str(), clDest.c_str());
            return false;
        }
    }
    if (rename(clSource.c_str(), clDest.c_str()) == 0) return true;
    if (errno != EXDEV || !S_ISREG(stLien.st_mode)) {
        FIO_Report(pclError, errno, XMSG_RENAME, clSource.c_str(), clDest.c_str());
        return false;
    }
    // Another file system: the destination is replaced only once the copy
    // is complete and synced; the source goes last.
    int nSource = open64(clSource.c_str(), O_RDONLY | O_CLOEXEC);
    if (nSource == -1 || !_bCopyReplace(nSource, clDest, true, stLien.st_mode & 07777)) {
        int nErrno = errno;
        if (nSource != -1) close(nSource);
        FIO_Report(pclError, nErrno, XMSG_COPY, clSource.c_str(), clDest.c_str());
        return false;
    }
    close(nSource);
    if (unlink(clSource.c_str()) == -1) {
        FIO_Report(pclError, errno, XMSG_RENAME, clSource.c_str(), clDest.c_str());
        return false;
    }
    return true;
}

bool CDiskFile::bExist(const char* pszName) { return access(_clName(pszName).c_str(), F_OK) == 0; }

bool CDiskFile::bCreateDirectory(const char* pszPath, CXError* pclError) {
    FIO_Reset(pclError);
    std::string cl = _clName(pszPath);
    if (cl.empty()) {
        FIO_Report(pclError, ENOENT, XMSG_CREATEDIR, cl.c_str());
        return false;
    }
    size_t i = 0;
    while (i <= cl.size()) {
        size_t j = cl.find('/', i);
        if (j == std::string::npos) j = cl.size();
        if (j > 0 && j > i) {
            std::string clNiveau = cl.substr(0, j);
            if (mkdir(clNiveau.c_str(), 0777) == -1) {
                int nErrno = errno;
                struct stat64 st;
                if (!(nErrno == EEXIST && stat64(clNiveau.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) {
                    FIO_Report(pclError, nErrno == EEXIST ? ENOTDIR : nErrno, XMSG_CREATEDIR, cl.c_str());
                    return false;
                }
            }
        }
        i = j + 1;
    }
    return true;
}

bool CDiskFile::bDeleteDirectory(const char* pszPath, CXError* pclError) {
    FIO_Reset(pclError);
    std::string cl = _clName(pszPath);
    if (rmdir(cl.c_str()) == -1) {
        FIO_Report(pclError, errno, XMSG_DELETEDIR, cl.c_str());
        return false;
    }
    return true;
}

bool CDiskFile::bIsAFile(const char* pszName) {
    struct stat64 st;
    return stat64(_clName(pszName).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool CDiskFile::bIsADirectory(const char* pszName) {
    struct stat64 st;
    return stat64(_clName(pszName).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CDiskFile::bGetFileAttributes(uint32_t* pdwAttributes, const char* pszName, CXError* pclError) {
    FIO_Reset(pclError);
    std::string cl = _clName(pszName);
    struct stat64 st;
    if (stat64(cl.c_str(), &st) == -1 && lstat64(cl.c_str(), &st) == -1) {
        FIO_Report(pclError, errno, XMSG_ATTRIBUTES, cl.c_str());
        return false;
    }
    if (pdwAttributes != nullptr) *pdwAttributes = _dwAttributes(st.st_mode, cl.c_str());
    return true;
}

// The request is read-only when it carries permission bits without any
// write bit; a bare type (a file just copied) asks for a writable file.
// Only the owner's write bit changes.
bool CDiskFile::bSetFileAttributes(const char* pszName, uint32_t dwAttributes, CXError* pclError) {
    FIO_Reset(pclError);
    std::string cl = _clName(pszName);
    struct stat64 st;
    if (stat64(cl.c_str(), &st) == -1) {
        FIO_Report(pclError, errno, XMSG_ATTRIBUTES, cl.c_str());
        return false;
    }
    const bool bReadOnly = (dwAttributes & 0777) != 0 && (dwAttributes & 0222) == 0;
    mode_t nMode = st.st_mode & 07777;
    mode_t nNew = bReadOnly ? (nMode & ~static_cast<mode_t>(S_IWUSR)) : (nMode | S_IWUSR);
    if (nNew != nMode && chmod(cl.c_str(), nNew) == -1) {
        FIO_Report(pclError, errno, XMSG_ATTRIBUTES, cl.c_str());
        return false;
    }
    return true;
}

long long CDiskFile::oGetSize(const char* pszName) {
    struct stat64 st;
    if (stat64(_clName(pszName).c_str(), &st) == -1) return -1;
    return st.st_size;
}

bool CDiskFile::bGetLastModificationTime(const char* pszName, _stXFILETIME* pstTime, CXError* pclError) {
    FIO_Reset(pclError);
    std::string cl = _clName(pszName);
    struct stat64 st;
    if (stat64(cl.c_str(), &st) == -1) {
        FIO_Report(pclError, errno, XMSG_MODIFTIME, cl.c_str());
        return false;
    }
    if (pstTime != nullptr) FIO_ToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec, pstTime);
    return true;
}

bool CDiskFile::bGetFileStatus(const char* pszName, struct stat64* pstStatus, CXError* pclError) {
    FIO_Reset(pclError);
    std::string cl = _clName(pszName);
    struct stat64 st;
    if (stat64(cl.c_str(), &st) == -1) {
        FIO_Report(pclError, errno, XMSG_FILESTATUS, cl.c_str());
        return false;
    }
    if (pstStatus != nullptr) *pstStatus = st;
    return true;
}

// --- Searches -----------------------------------------------------------------------

bool CDiskFile::bFindFirst(const char* pszPattern, _stXFINDDATA* pstFind, uint32_t dwRequired, uint32_t dwExcluded,
                           CXError* pclError) {
    FIO_Reset(pclError);
    if (pstFind == nullptr) {
        FIO_Report(pclError, EINVAL, XMSG_FINDFIRST, pszPattern);
        return false;
    }
    memset(pstFind, 0, sizeof(*pstFind));
    std::string cl = _clName(pszPattern);
    size_t nSlash = cl.rfind('/');
    std::string clDir = nSlash == std::string::npos ? std::string() : cl.substr(0, nSlash + 1);
    std::string clMotif = nSlash == std::string::npos ? cl : cl.substr(nSlash + 1);
    if (clDir.size() >= sizeof(pstFind->szDirectory) || clMotif.size() >= sizeof(pstFind->szPattern)) {
        FIO_Report(pclError, ENAMETOOLONG, XMSG_FINDFIRST, cl.c_str());
        return false;
    }
    memcpy(pstFind->szDirectory, clDir.c_str(), clDir.size() + 1);
    memcpy(pstFind->szPattern, clMotif.c_str(), clMotif.size() + 1);
    pstFind->dwRequired = dwRequired;
    pstFind->dwExcluded = dwExcluded;
    DIR* pDir = opendir(clDir.empty() ? "." : clDir.c_str());
    if (pDir == nullptr) {
        FIO_Report(pclError, errno, XMSG_FINDFIRST, cl.c_str());
        return false;
    }
    pstFind->hDir = pDir;
    return bFindNext(pstFind, pclError);
}

bool CDiskFile::bFindNext(_stXFINDDATA* pstFind, CXError* pclError) {
    FIO_Reset(pclError);
    if (pstFind == nullptr || pstFind->hDir == nullptr) {
        errno = EBADF;
        return false;
    }
    DIR* pDir = static_cast<DIR*>(pstFind->hDir);
    for (;;) {
        errno = 0;
        struct dirent64* pst = readdir64(pDir);
        if (pst == nullptr) break;
        const char* pszNom = pst->d_name;
        if (strcmp(pszNom, ".") == 0 || strcmp(pszNom, "..") == 0) continue;
        if (!_bFiltreFileName(pszNom, pstFind->szPattern)) continue;
        if (strlen(pszNom) >= sizeof(pstFind->szName)) continue;
        std::string clChemin = std::string(pstFind->szDirectory) + pszNom;
        struct stat64 st;
        if (lstat64(clChemin.c_str(), &st) == -1) continue;
        if (S_ISLNK(st.st_mode)) {
            // A link shows what it points to; a dangling one shows itself.
            struct stat64 stCible;
            if (stat64(clChemin.c_str(), &stCible) == 0) st = stCible;
        }
        uint32_t dwAttributes = _dwAttributes(st.st_mode, pszNom);
        uint32_t dwMatch = _dwMatchAttributes(dwAttributes, st.st_mode);
        if ((dwMatch & pstFind->dwRequired) != pstFind->dwRequired) continue;
        if ((dwMatch & pstFind->dwExcluded) != 0) continue;
        memcpy(pstFind->szName, pszNom, strlen(pszNom) + 1);
        pstFind->dwAttributes = dwAttributes;
        pstFind->oSize = st.st_size;
        return true;
    }
    int nErrno = errno;
    closedir(pDir);
    pstFind->hDir = nullptr;
    pstFind->szName[0] = 0;
    FIO_Report(pclError, nErrno, XMSG_FINDNEXT, pstFind->szDirectory);
    return false;
}

bool CDiskFile::bFindClose(_stXFINDDATA* pstFind, CXError* pclError) {
    FIO_Reset(pclError);
    if (pstFind == nullptr || pstFind->hDir == nullptr) return true;
    int n = closedir(static_cast<DIR*>(pstFind->hDir));
    pstFind->hDir = nullptr;
    if (n == -1) {
        FIO_Report(pclError, errno, XMSG_FINDCLOSE, pstFind->szDirectory);
        return false;
    }
    return true;
}

// --- Temporary names, current directory, disk space ---------------------------------

bool CDiskFile::bGetTempDirectory(char* pszDir, CXError* pclError) {
    FIO_Reset(pclError);
    const char* apsz[] = {getenv("TMPDIR"), P_tmpdir, "/tmp"};
    for (const char* psz : apsz) {
        if (psz == nullptr || *psz == 0) continue;
        std::string cl = _clName(psz);
        while (cl.size() > 1 && cl.back() == '/') cl.pop_back();
        struct stat64 st;
        if (stat64(cl.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && access(cl.c_str(), W_OK | X_OK) == 0) {
            if (!FIO_bCopyName(pszDir, cl.c_str(), XFILE_MAX_PATH)) break;
            return true;
        }
    }
    if (pszDir != nullptr) *pszDir = 0;
    FIO_Report(pclError, errno != 0 ? errno : ENOENT, XMSG_TEMPDIR, "");
    return false;
}

bool CDiskFile::bGetTempName(char* pszOut, const char* pszDir, const char* pszPrefix, CXError* pclError) {
    FIO_Reset(pclError);
    std::string clDir = _clName(pszDir);
    if (clDir.empty()) {
        char szTemp[XFILE_MAX_PATH];
        if (!bGetTempDirectory(szTemp, pclError)) return false;
        clDir = szTemp;
    }
    while (clDir.size() > 1 && clDir.back() == '/') clDir.pop_back();
    std::string cl = (clDir == "/" ? std::string() : clDir) + "/" + (pszPrefix != nullptr ? pszPrefix : "") + "XXXXXX";
    if (cl.size() + 1 > XFILE_MAX_PATH) {
        if (pszOut != nullptr) *pszOut = 0;
        FIO_Report(pclError, ENAMETOOLONG, XMSG_TEMPNAME, cl.c_str());
        return false;
    }
    std::vector<char> clBuffer(cl.begin(), cl.end());
    clBuffer.push_back(0);
    int nFd = mkostemp64(clBuffer.data(), O_CLOEXEC);
    if (nFd == -1) {
        if (pszOut != nullptr) *pszOut = 0;
        FIO_Report(pclError, errno, XMSG_TEMPNAME, cl.c_str());
        return false;
    }
    close(nFd);
    memcpy(pszOut, clBuffer.data(), clBuffer.size());
    return true;
}

bool CDiskFile::bGetTempName(char* pszOut, const char* pszPrefix, CXError* pclError) {
    char szDir[XFILE_MAX_PATH];
    if (!bGetTempDirectory(szDir, pclError)) return false;
    if (!bIsADirectory(szDir) && !bCreateDirectory(szDir, pclError)) return false;
    return bGetTempName(pszOut, szDir, pszPrefix, pclError);
}

bool CDiskFile::bGetCurrentDirectory(char* pszDir, CXError* pclError) {
    FIO_Reset(pclError);
    if (pszDir == nullptr || getcwd(pszDir, XFILE_MAX_PATH) == nullptr) {
        int nErrno = pszDir == nullptr ? EINVAL : (errno == ERANGE ? ENAMETOOLONG : errno);
        if (pszDir != nullptr) *pszDir = 0;
        FIO_Report(pclError, nErrno, XMSG_CURRENTDIR, "");
        return false;
    }
    return true;
}

bool CDiskFile::bGetDiskSpace(const char* pszPath, long long* poTotal, long long* poFree, CXError* pclError) {
    FIO_Reset(pclError);
    std::string cl = _clName(pszPath);
    struct statfs64 st;
    if (statfs64(cl.c_str(), &st) == -1) {
        FIO_Report(pclError, errno, XMSG_DISKSPACE, cl.c_str());
        return false;
    }
    const unsigned long long qwBloc = static_cast<unsigned long long>(st.f_bsize);
    if (poTotal != nullptr) *poTotal = static_cast<long long>(st.f_blocks * qwBloc / 1024);
    if (poFree != nullptr) *poFree = static_cast<long long>(st.f_bavail * qwBloc / 1024);
    return true;
}

bool CDiskFile::bGetDiskFreeSpace(const char* pszPath, long long* poFree, CXError* pclError) {
    return bGetDiskSpace(pszPath, nullptr, poFree, pclError);
}

// --- Whole files --------------------------------------------------------------------

bool CDiskFile::bConcat(const char* pszDest, const char* pszSource, CXError* pclError) {
    FIO_Reset(pclError);
    CDiskFile clSource, clDest;
    auto echec = [pclError](const IXStream& cl) {
        if (pclError != nullptr) pclError->Copy(*cl.pclGetXError());
        return false;
    };
    if (!clSource.bOpen(pszSource, eACCESS_READ, eSHARE_NONE, eCREATE_OPEN)) return echec(clSource);
    if (!clDest.bOpen(pszDest, eACCESS_WRITE, eSHARE_NONE, eCREATE_OPEN_OR_CREATE)) return echec(clDest);
    long long oAvant = clDest.oGetSizeFast();
    if (oAvant < 0) return echec(clDest);
    std::unique_ptr<char[]> p(new (std::nothrow) char[XSTREAM_COPY_BLOCK]);
    if (!p) {
        FIO_Report(pclError, ENOMEM, XMSG_WRITE, pszDest);
        return false;
    }
    for (;;) {
        unsigned nLu = 0;
        bool bOk = clSource.bRead(p.get(), XSTREAM_COPY_BLOCK, &nLu);
        if (bOk && nLu == 0) break;
        if (bOk) bOk = clDest.bWrite(p.get(), nLu, nullptr);
        if (!bOk) {
            // The destination goes back to what it was.
            const IXStream& clFautif = clSource.pclGetXError()->bIsError() ? static_cast<IXStream&>(clSource)
                                                                            : static_cast<IXStream&>(clDest);
            CXError clCopie;
            clCopie.Copy(*clFautif.pclGetXError());
            clDest.bSetSize(oAvant, eGROW_ABSOLUTE);
            if (pclError != nullptr) pclError->Copy(clCopie);
            return false;
        }
    }
    if (!clDest.bFlush()) return echec(clDest);
    return true;
}

bool CDiskFile::bChargeFichier(CZNBINBase* pclBin, const char* pszName, CXError* pclError) {
    FIO_Reset(pclError);
    std::string cl = _clName(pszName);
    int nFd = open64(cl.c_str(), O_RDONLY | O_CLOEXEC);
    if (nFd == -1) {
        FIO_Report(pclError, errno, XMSG_OPEN, cl.c_str());
        return false;
    }
    std::vector<char> clData;
    char aBloc[8192];
    for (;;) {
        ssize_t n = FIO_nReadFull(nFd, aBloc, sizeof(aBloc));
        if (n < 0 || clData.size() + static_cast<size_t>(n) > static_cast<size_t>(INT_MAX)) {
            int nErrno = n < 0 ? errno : EFBIG;
            close(nFd);
            FIO_Report(pclError, nErrno, XMSG_READ, cl.c_str());
            return false;
        }
        if (n == 0) break;
        clData.insert(clData.end(), aBloc, aBloc + n);
    }
    close(nFd);
    if (pclBin != nullptr && pclBin->nAssign(clData.data(), static_cast<int>(clData.size())) != 0) {
        FIO_Report(pclError, ENOMEM, XMSG_READ, cl.c_str());
        return false;
    }
    return true;
}

// --- Trees --------------------------------------------------------------------------

bool CDiskFile::bDeleteTree(const char* pszDir, CXError* pclError) {
    return _bDeleteTree(pszDir, false, false, false, pclError);
}
bool CDiskFile::bForceDeleteTree(const char* pszDir, CXError* pclError) {
    return _bDeleteTree(pszDir, false, true, true, pclError);
}
bool CDiskFile::bDeleteTreeEvenReadOnly(const char* pszDir, CXError* pclError) {
    return _bDeleteTree(pszDir, false, false, true, pclError);
}
bool CDiskFile::bPurgeTree(const char* pszDir, CXError* pclError) {
    return _bDeleteTree(pszDir, true, false, false, pclError);
}
bool CDiskFile::bForcePurgeTree(const char* pszDir, CXError* pclError) {
    return _bDeleteTree(pszDir, true, true, true, pclError);
}

bool CDiskFile::bDoOnFileTree(const char* pszDir, const char* pszPattern, PFNTREECALLBACK pfnCallback, void* pUser,
                              bool bRecursive, CXError* pclError) {
    return _bDoOnTree(pszDir, pszPattern, pfnCallback, pUser, bRecursive, false, pclError);
}

bool CDiskFile::bDoOnDirectoryTree(const char* pszDir, const char* pszPattern, PFNTREECALLBACK pfnCallback,
                                   void* pUser, bool bRecursive, CXError* pclError) {
    return _bDoOnTree(pszDir, pszPattern, pfnCallback, pUser, bRecursive, true, pclError);
}
