// The profile-file engine: the whole file is read through the disk-file
// stream and worked on in memory; a write builds the new content and
// replaces the file in one rename, under an exclusive lock.
//
// The lock is flock's, which belongs to the open file description and not
// to the process: taking it, releasing it or closing the descriptor never
// touches the locks an application holds on the same file (fBloque's),
// and a process-wide record lock here would lose them on every close.
#include "system/profile.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>

#include "files/diskfile.h"
#include "system/profile_text.h"

namespace {

// A profile file bigger than this is not one: reading gives the default and
// writing refuses, instead of swallowing the address space.
constexpr long long k_oTailleMax = 256LL * 1024 * 1024;
constexpr unsigned k_nBloc = 65536;
// A temporary file untouched for this long belongs to no live writer.
constexpr time_t k_nAgeTemporairePerime = 5 * 60;

// --- Paths ------------------------------------------------------------------

bool _bHome(std::string& sHome) {
    // $HOME first, as the shell does, so that a session run with another
    // home finds its own configuration; the password entry otherwise.
    const char* pszHome = getenv("HOME");
    if (pszHome != nullptr && pszHome[0] == '/') {
        sHome = pszHome;
        return true;
    }
    long nTaille = sysconf(_SC_GETPW_R_SIZE_MAX);
    if (nTaille <= 0 || nTaille > 1024 * 1024) nTaille = 16384;
    std::string sTampon(static_cast<size_t>(nTaille), '\0');
    struct passwd stPwd;
    struct passwd* pstPwd = nullptr;
    if (getpwuid_r(getuid(), &stPwd, sTampon.data(), sTampon.size(), &pstPwd) == 0 && pstPwd != nullptr &&
        pstPwd->pw_dir != nullptr && pstPwd->pw_dir[0] == '/') {
        sHome = pstPwd->pw_dir;
        return true;
    }
    return false;
}

bool _bPerUserPath(std::string& sPath) {
    if (!_bHome(sPath)) return false;
    while (sPath.size() > 1 && sPath.back() == '/') sPath.pop_back();
    if (sPath == "/") sPath.clear();
    sPath += "/.TVR.conf";
    return sPath.size() <= static_cast<size_t>(PROFILE_MAX_PATH);
}

bool _bEmpty(const char* psz) { return psz == nullptr || psz[0] == 0; }

std::string _Slashes(const char* pszFile) {
    std::string s(pszFile);
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

// A name that is not absolute and not explicitly "./" lives in the home
// directory. Reading and writing resolve names alike, so that a write
// changes the file a read of the same name finds.
bool _bPath(const char* pszFile, std::string& sPath) {
    if (_bEmpty(pszFile)) return _bPerUserPath(sPath);
    std::string sName = _Slashes(pszFile);
    if (sName[0] == '/' || sName.compare(0, 2, "./") == 0) {
        sPath = std::move(sName);
    } else {
        if (!_bHome(sPath)) return false;
        if (sPath.back() != '/') sPath += '/';
        sPath += sName;
    }
    return sPath.size() <= static_cast<size_t>(PROFILE_MAX_PATH);
}

// --- File access ----------------------------------------------------------------

// Reads the open file from its start to its end.
bool _bReadAll(CDiskFile& clFichier, std::string& sTexte) {
    sTexte.clear();
    long long oTaille = clFichier.oGetSize();
    if (oTaille > k_oTailleMax) return false;
    if (!clFichier.bSeek(0, IXStream::eSEEK_BEGIN)) return false;
    // One block more than the size announced, so that the end is seen at once.
    sTexte.resize(static_cast<size_t>(oTaille > 0 ? oTaille : 0) + k_nBloc);
    size_t nFait = 0;
    for (;;) {
        if (sTexte.size() - nFait < k_nBloc) {
            if (sTexte.size() + k_nBloc > static_cast<size_t>(k_oTailleMax)) return false;
            sTexte.resize(sTexte.size() + k_nBloc);
        }
        unsigned nLu = 0;
        if (!clFichier.bRead(sTexte.data() + nFait, static_cast<unsigned>(sTexte.size() - nFait), &nLu)) return false;
        if (nLu == 0) break;
        nFait += nLu;
    }
    sTexte.resize(nFait);
    return true;
}

bool _bWriteFd(int nFd, const std::string& sTexte) {
    size_t nFait = 0;
    while (nFait < sTexte.size()) {
        ssize_t n = write(nFd, sTexte.data() + nFait, sTexte.size() - nFait);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        nFait += static_cast<size_t>(n);
    }
    return true;
}

bool _bLockExclusive(int nFd) {
    while (flock(nFd, LOCK_EX) != 0)
        if (errno != EINTR) return false;
    return true;
}

// Opens (creating it when missing) and locks the file that the name
// designates now. A writer that waited for the lock may hold a file that
// the previous writer has just replaced: it then starts again on the new
// one. The real path (links followed) is where the new content goes.
bool _bOpenLocked(const std::string& sPath, CDiskFile& clFichier, std::string& sReel, struct stat64& stFichier) {
    for (int nEssai = 0; nEssai < 1000; ++nEssai) {
        if (!clFichier.bOpen(sPath.c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE,
                             IXStream::eCREATE_OPEN_OR_CREATE))
            return false;
        if (!_bLockExclusive(clFichier.nGetHandle()) || fstat64(clFichier.nGetHandle(), &stFichier) != 0) {
            clFichier.Close();
            return false;
        }
        char* pszReel = realpath(clFichier.pszGetName(), nullptr);
        struct stat64 stNom;
        bool bMeme = pszReel != nullptr && stat64(pszReel, &stNom) == 0 && stNom.st_dev == stFichier.st_dev &&
                     stNom.st_ino == stFichier.st_ino;
        if (bMeme) sReel = pszReel;
        free(pszReel);
        if (bMeme) {
            if (!S_ISREG(stFichier.st_mode)) {
                clFichier.Close();
                return false;
            }
            return true;
        }
        clFichier.Close();
    }
    return false;
}

// Directory and base name of the real path, where temporary files go.
void _Decoupe(const std::string& sReel, std::string& sDossier, std::string& sBase) {
    size_t nSlash = sReel.rfind('/');
    sDossier = nSlash == std::string::npos ? "." : sReel.substr(0, nSlash == 0 ? 1 : nSlash);
    sBase = nSlash == std::string::npos ? sReel : sReel.substr(nSlash + 1);
}

std::string _ModeleTemporaire(const std::string& sDossier, const std::string& sBase) {
    return sDossier + (sDossier == "/" ? "." : "/.") + sBase + ".XXXXXX";
}

// The name is one _ModeleTemporaire gives for the base: ".", the base,
// ".", and the six letters or digits that mkstemp puts in.
bool _bNomTemporaire(std::string_view svNom, std::string_view svBase) {
    if (svNom.size() != svBase.size() + 8 || svNom[0] != '.' || svNom.substr(1, svBase.size()) != svBase ||
        svNom[svBase.size() + 1] != '.')
        return false;
    for (char c : svNom.substr(svBase.size() + 2))
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

// A writer killed between creating its temporary file and renaming it
// leaves the file behind. Called under the file's lock, so no writer of
// this file is at work; the age keeps clear of anything still moving.
// Links and directories of the same name are someone else's: left alone.
void _RetireTemporairesPerimes(const std::string& sDossier, const std::string& sBase) {
    DIR* pDir = opendir(sDossier.c_str());
    if (pDir == nullptr) return;
    const time_t nLimite = time(nullptr) - k_nAgeTemporairePerime;
    const int nFdDossier = dirfd(pDir);
    while (const dirent* pEntree = readdir(pDir)) {
        if (!_bNomTemporaire(pEntree->d_name, sBase)) continue;
        struct stat64 st;
        if (fstatat64(nFdDossier, pEntree->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_mtime < nLimite)
            (void)unlinkat(nFdDossier, pEntree->d_name, 0);
    }
    closedir(pDir);
}

// Rewrites the locked file in place: for a writable file in a directory
// where no new file may be created.
bool _bRewriteInPlace(CDiskFile& clFichier, const std::string& sTexte) {
    size_t nFait = 0;
    while (nFait < sTexte.size()) {
        unsigned n = static_cast<unsigned>(sTexte.size() - nFait < k_nBloc ? sTexte.size() - nFait : k_nBloc);
        if (!clFichier.bWrite(static_cast<long long>(nFait), sTexte.data() + nFait, n, nullptr)) return false;
        nFait += n;
    }
    return clFichier.bSetSize(static_cast<long long>(sTexte.size()), IXStream::eGROW_ABSOLUTE) && clFichier.bFlush();
}

// Writes the new content beside the file, flushes it and renames it over
// the file: readers see the old content or the new one, never a mix.
bool _bReplace(CDiskFile& clFichier, const std::string& sReel, const std::string& sDossier,
               const std::string& sBase, const struct stat64& stAncien, const std::string& sTexte) {
    std::string sTemp = _ModeleTemporaire(sDossier, sBase);
    int nFd = mkostemp64(sTemp.data(), O_CLOEXEC);
    if (nFd == -1) return (errno == EACCES || errno == EPERM) && _bRewriteInPlace(clFichier, sTexte);
    bool bOk = _bWriteFd(nFd, sTexte);
    if (bOk && geteuid() == 0) (void)!fchown(nFd, stAncien.st_uid, stAncien.st_gid);
    bOk = bOk && fchmod(nFd, stAncien.st_mode & 07777) == 0;
    bOk = bOk && fsync(nFd) == 0;
    bOk = close(nFd) == 0 && bOk;
    bOk = bOk && rename(sTemp.c_str(), sReel.c_str()) == 0;
    if (!bOk) {
        int nErrno = errno;
        unlink(sTemp.c_str());
        errno = nErrno;
        return false;
    }
    // The rename itself reaches the disk with the directory.
    int nDir = open(sDossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (nDir != -1) {
        (void)fsync(nDir);
        close(nDir);
    }
    return true;
}

// Copies pszText into the buffer, cut to nSize - 1 characters.
int _nCopy(const char* pszText, char* pszBuffer, int nSize) {
    std::string_view sv = pszText != nullptr ? pszText : "";
    size_t n = sv.size() < static_cast<size_t>(nSize - 1) ? sv.size() : static_cast<size_t>(nSize - 1);
    memcpy(pszBuffer, sv.data(), n);
    pszBuffer[n] = 0;
    return static_cast<int>(n);
}

// The whole content of the file the name designates; false when there is
// none to read.
bool _bReadFile(const char* pszFile, std::string& sTexte) {
    std::string sPath;
    if (!_bPath(pszFile, sPath)) return false;
    CDiskFile clFichier;
    return clFichier.bOpen(sPath.c_str(), IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN) &&
           _bReadAll(clFichier, sTexte);
}

const char* _pszOuNull(const char* psz) { return _bEmpty(psz) ? nullptr : psz; }

}  // namespace

// --- Reading ----------------------------------------------------------------------

int GetPrivateProfileString(const char* pszSection, const char* pszKey, const char* pszDefault, char* pszBuffer,
                            int nSize, const char* pszFile) {
    if (pszBuffer == nullptr || nSize <= 0) return 0;
    pszBuffer[0] = 0;
    std::string sTexte;
    if (!_bReadFile(pszFile, sTexte)) return _nCopy(pszDefault, pszBuffer, nSize);
    return profile_text::nLookup(sTexte, _pszOuNull(pszSection), _pszOuNull(pszKey), pszDefault, pszBuffer, nSize);
}

std::string GetPrivateProfileText(const char* pszSection, const char* pszKey, const char* pszDefault,
                                  const char* pszFile) {
    std::string sTexte;
    if (!_bReadFile(pszFile, sTexte)) return pszDefault != nullptr ? pszDefault : "";
    return profile_text::Lookup(sTexte, _pszOuNull(pszSection), _pszOuNull(pszKey), pszDefault);
}

int GetPrivateProfileInt(const char* pszSection, const char* pszKey, int nDefault, const char* pszFile) {
    char szDefaut[20];
    char szValeur[20];
    snprintf(szDefaut, sizeof szDefaut, "%d", nDefault);
    GetPrivateProfileString(pszSection, pszKey, szDefaut, szValeur, sizeof szValeur, pszFile);
    long n = strtol(szValeur, nullptr, 10);
    // The historic result is a C int: out-of-range values saturate.
    if (n > INT_MAX) return INT_MAX;
    if (n < INT_MIN) return INT_MIN;
    return static_cast<int>(n);
}

// --- Writing ----------------------------------------------------------------------

bool WritePrivateProfileString(const char* pszSection, const char* pszKey, const char* pszValue,
                               const char* pszFile) {
    pszSection = _pszOuNull(pszSection);
    pszKey = _pszOuNull(pszKey);
    if (!profile_text::bWritable(pszSection, pszKey, pszValue)) return false;
    // Without a section there is nothing to do.
    if (pszSection == nullptr) return true;
    std::string sPath;
    if (!_bPath(pszFile, sPath)) return false;

    CDiskFile clFichier;
    std::string sReel;
    struct stat64 stFichier;
    if (!_bOpenLocked(sPath, clFichier, sReel, stFichier)) return false;
    std::string sDossier, sBase;
    _Decoupe(sReel, sDossier, sBase);
    _RetireTemporairesPerimes(sDossier, sBase);
    std::string sTexte;
    bool bOk = _bReadAll(clFichier, sTexte);
    if (bOk) {
        std::string sNouveau;
        if (profile_text::bEdit(sTexte, pszSection, pszKey, pszValue, sNouveau))
            bOk = _bReplace(clFichier, sReel, sDossier, sBase, stFichier, sNouveau);
    }
    // Closing releases the lock.
    clFichier.Close();
    return bOk;
}

// --- Per-user file ----------------------------------------------------------------

bool bGetTVRCONFPath(char* pszOut, int nSize) {
    std::string sPath;
    if (pszOut == nullptr || nSize <= 0) return false;
    if (!_bPerUserPath(sPath) || sPath.size() >= static_cast<size_t>(nSize)) {
        pszOut[0] = 0;
        return false;
    }
    memcpy(pszOut, sPath.c_str(), sPath.size() + 1);
    return true;
}

int GetProfileString(const char* pszSection, const char* pszKey, const char* pszDefault, char* pszBuffer, int nSize) {
    return GetPrivateProfileString(pszSection, pszKey, pszDefault, pszBuffer, nSize, nullptr);
}

int GetProfileInt(const char* pszSection, const char* pszKey, int nDefault) {
    return GetPrivateProfileInt(pszSection, pszKey, nDefault, nullptr);
}

bool WriteProfileString(const char* pszSection, const char* pszKey, const char* pszValue) {
    return WritePrivateProfileString(pszSection, pszKey, pszValue, nullptr);
}
