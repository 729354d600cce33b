// Names and paths: full-path resolution, relative paths, splitting and
// joining, extensions, separators, wildcard matching.
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "files/diskfile.h"
#include "files/fileio.h"

namespace {

std::string _clSlashes(const char* psz) {
    std::string cl(psz != nullptr ? psz : "");
    for (char& c : cl)
        if (c == '\\') c = '/';
    return cl;
}

// Home directory of the current user: the user database first, then $HOME.
bool _bHome(std::string* pclHome) {
    long nTaille = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> clBuffer(static_cast<size_t>(nTaille > 0 ? nTaille : 16384));
    struct passwd stPw {};
    struct passwd* pstPw = nullptr;
    if (getpwuid_r(getuid(), &stPw, clBuffer.data(), clBuffer.size(), &pstPw) == 0 && pstPw != nullptr &&
        pstPw->pw_dir != nullptr && *pstPw->pw_dir != 0) {
        *pclHome = pstPw->pw_dir;
        return true;
    }
    const char* pszHome = getenv("HOME");
    if (pszHome != nullptr && *pszHome != 0) {
        *pclHome = pszHome;
        return true;
    }
    errno = ENOENT;
    return false;
}

bool _bCurrentDirectory(std::string* pclDir) {
    std::vector<char> clBuffer(512);
    for (;;) {
        if (getcwd(clBuffer.data(), clBuffer.size()) != nullptr) {
            *pclDir = clBuffer.data();
            return true;
        }
        if (errno != ERANGE || clBuffer.size() > (1u << 20)) return false;
        clBuffer.resize(clBuffer.size() * 2);
    }
}

// "." steps vanish, ".." steps remove the component before them, repeated
// slashes become one; a final slash stays.
std::string _clNormalise(const std::string& clPath) {
    std::vector<std::string> clParts;
    size_t i = 0;
    while (i <= clPath.size()) {
        size_t j = clPath.find('/', i);
        if (j == std::string::npos) j = clPath.size();
        std::string clPart = clPath.substr(i, j - i);
        if (clPart == "..") {
            if (!clParts.empty()) clParts.pop_back();
        } else if (!clPart.empty() && clPart != ".") {
            clParts.push_back(clPart);
        }
        i = j + 1;
    }
    std::string clResult;
    for (const std::string& cl : clParts) clResult += "/" + cl;
    if (clResult.empty()) return "/";
    size_t nFin = clPath.size();
    bool bFinalSlash = clPath.back() == '/' || (nFin >= 2 && clPath.compare(nFin - 2, 2, "/.") == 0) ||
                       (nFin >= 3 && clPath.compare(nFin - 3, 3, "/..") == 0);
    if (bFinalSlash) clResult += "/";
    return clResult;
}

bool _bFull(const char* pszPath, std::string* pclFull) {
    std::string cl = _clSlashes(pszPath);
    std::string clFull;
    if (!cl.empty() && cl[0] == '~') {
        if (!_bHome(&clFull)) return false;
        std::string clReste = cl.substr(1);
        if (!clReste.empty() && clReste[0] != '/') clFull += "/";
        clFull += clReste;
    } else if (!cl.empty() && cl[0] == '/') {
        clFull = cl;
    } else {
        if (!_bCurrentDirectory(&clFull)) return false;
        clFull += "/" + cl;
    }
    *pclFull = _clNormalise(clFull);
    return true;
}

bool _bPut(const std::string& cl, char* pszOut, int nSize) {
    if (pszOut == nullptr || nSize <= 0 || cl.size() + 1 > static_cast<size_t>(nSize)) {
        if (pszOut != nullptr && nSize > 0) *pszOut = 0;
        errno = ENAMETOOLONG;
        return false;
    }
    memcpy(pszOut, cl.c_str(), cl.size() + 1);
    return true;
}

std::vector<std::string> _clComponents(const std::string& clPath) {
    std::vector<std::string> cl;
    size_t i = 0;
    while (i < clPath.size()) {
        size_t j = clPath.find('/', i);
        if (j == std::string::npos) j = clPath.size();
        if (j > i) cl.push_back(clPath.substr(i, j - i));
        i = j + 1;
    }
    return cl;
}

std::string _clWithoutEndSlash(std::string cl) {
    while (cl.size() > 1 && cl.back() == '/') cl.pop_back();
    return cl;
}

}  // namespace

int CDiskFile::GetFullPathName(const char* pszPath, int nSize, char* pszOut) {
    std::string clFull;
    if (!_bFull(pszPath, &clFull)) return 0;
    if (pszOut == nullptr || nSize <= 0 || clFull.size() + 1 > static_cast<size_t>(nSize))
        return static_cast<int>(clFull.size() + 1);
    memcpy(pszOut, clFull.c_str(), clFull.size() + 1);
    return static_cast<int>(clFull.size());
}

bool CDiskFile::bGetFullPath(char* pszOut, const char* pszPath, CXError* pclError) {
    FIO_Reset(pclError);
    int n = GetFullPathName(pszPath, XFILE_MAX_PATH, pszOut);
    if (n > 0 && n < XFILE_MAX_PATH) return true;
    if (pszOut != nullptr) *pszOut = 0;
    FIO_Report(pclError, n == 0 ? errno : ENAMETOOLONG, XMSG_FULLPATH, pszPath);
    return false;
}

bool CDiskFile::bPathRelativePathTo(char* pszOut, const char* pszFromDir, const char* pszTo, int nSize) {
    std::string clFrom, clTo;
    if (!_bFull(pszFromDir, &clFrom) || !_bFull(pszTo, &clTo)) return false;
    std::vector<std::string> clA = _clComponents(clFrom), clB = _clComponents(clTo);
    size_t nCommun = 0;
    while (nCommun < clA.size() && nCommun < clB.size() && clA[nCommun] == clB[nCommun]) ++nCommun;
    std::string clResult;
    for (size_t i = nCommun; i < clA.size(); ++i) clResult += clResult.empty() ? ".." : "/..";
    for (size_t i = nCommun; i < clB.size(); ++i) {
        if (!clResult.empty()) clResult += "/";
        clResult += clB[i];
    }
    if (clResult.empty()) clResult = ".";
    return _bPut(clResult, pszOut, nSize);
}

bool CDiskFile::bRelativeToFullPath(char* pszOut, const char* pszBaseDir, const char* pszRelative, int nSize) {
    std::string clRel = _clSlashes(pszRelative);
    std::string clFull;
    if (!clRel.empty() && (clRel[0] == '/' || clRel[0] == '~')) {
        if (!_bFull(clRel.c_str(), &clFull)) return false;
    } else {
        std::string clBase = _clSlashes(pszBaseDir);
        if (!_bFull((clBase + "/" + clRel).c_str(), &clFull)) return false;
    }
    return _bPut(clFull, pszOut, nSize);
}

bool CDiskFile::bSameFileName(const char* pszA, const char* pszB) {
    std::string clA, clB;
    if (!_bFull(pszA, &clA) || !_bFull(pszB, &clB)) return false;
    return strcmp(clA.c_str(), clB.c_str()) == 0;
}

bool CDiskFile::bSameDirectoryName(const char* pszA, const char* pszB) {
    std::string clA, clB;
    if (!_bFull(pszA, &clA) || !_bFull(pszB, &clB)) return false;
    return strcmp(_clWithoutEndSlash(clA).c_str(), _clWithoutEndSlash(clB).c_str()) == 0;
}

bool CDiskFile::bSameDirectoryNameEx(const char* pszA, const char* pszB) {
    std::string clA, clB;
    if (!_bFull(pszA, &clA) || !_bFull(pszB, &clB)) return false;
    clA = clA.substr(0, clA.rfind('/') + 1);
    clB = clB.substr(0, clB.rfind('/') + 1);
    return clA == clB;
}

bool CDiskFile::MakePath(char* pszOut, const char* pszDir, const char* pszName, const char* pszExt, int nSize) {
    std::string cl = _clSlashes(pszDir);
    if (!cl.empty() && cl.back() != '/') cl += "/";
    cl += pszName != nullptr ? pszName : "";
    if (pszExt != nullptr && *pszExt != 0) {
        if (*pszExt != '.') cl += ".";
        cl += pszExt;
    }
    return _bPut(cl, pszOut, nSize);
}

bool CDiskFile::SplitPath(const char* pszPath, char* pszDir, char* pszName, char* pszExt, int nSize) {
    std::string cl = _clSlashes(pszPath);
    size_t nSlash = cl.rfind('/');
    std::string clDir = nSlash == std::string::npos ? std::string() : cl.substr(0, nSlash + 1);
    std::string clFile = nSlash == std::string::npos ? cl : cl.substr(nSlash + 1);
    size_t nDot = clFile.rfind('.');
    std::string clExt;
    if (nDot != std::string::npos) {
        clExt = clFile.substr(nDot);
        clFile.resize(nDot);
    }
    bool bOk = true;
    if (pszDir != nullptr) bOk = _bPut(clDir, pszDir, nSize) && bOk;
    if (pszName != nullptr) bOk = _bPut(clFile, pszName, nSize) && bOk;
    if (pszExt != nullptr) bOk = _bPut(clExt, pszExt, nSize) && bOk;
    return bOk;
}

bool CDiskFile::ChangeExtension(char* pszPath, int nSize, const char* pszExt) {
    if (pszPath == nullptr) return false;
    std::string cl(pszPath);
    size_t nDot = cl.rfind('.');
    size_t nSlash = cl.find_last_of("/\\");
    if (nDot != std::string::npos && (nSlash == std::string::npos || nDot > nSlash))
        cl.resize(nDot);
    cl += ".";
    if (pszExt != nullptr) cl += *pszExt == '.' ? pszExt + 1 : pszExt;
    if (cl.size() + 1 > static_cast<size_t>(nSize)) {
        errno = ENAMETOOLONG;
        return false;
    }
    memcpy(pszPath, cl.c_str(), cl.size() + 1);
    return true;
}

void CDiskFile::DelExtension(char* pszPath) {
    if (pszPath == nullptr) return;
    char* pDot = strrchr(pszPath, '.');
    if (pDot == nullptr) return;
    if (strchr(pDot, '/') != nullptr || strchr(pDot, '\\') != nullptr) return;
    *pDot = 0;
}

char* CDiskFile::DirectoryWithEndSlash(char* pszDir, int nSize) {
    if (pszDir == nullptr) return pszDir;
    size_t n = strlen(pszDir);
    if (n > 0 && (pszDir[n - 1] == '/' || pszDir[n - 1] == '\\')) return pszDir;
    if (n + 2 > static_cast<size_t>(nSize)) return pszDir;
    pszDir[n] = '/';
    pszDir[n + 1] = 0;
    return pszDir;
}

char* CDiskFile::DirectoryWithoutEndSlash(char* pszDir) {
    if (pszDir == nullptr) return pszDir;
    size_t n = strlen(pszDir);
    while (n > 1 && (pszDir[n - 1] == '/' || pszDir[n - 1] == '\\')) pszDir[--n] = 0;
    return pszDir;
}

char* CDiskFile::pszBackSlash2Slash(char* pszPath) {
    if (pszPath == nullptr) return pszPath;
    for (char* p = pszPath; *p != 0; ++p)
        if (*p == '\\') *p = '/';
    return pszPath;
}

char* CDiskFile::pszSlash2BackSlash(char* pszPath) {
    if (pszPath == nullptr) return pszPath;
    for (char* p = pszPath; *p != 0; ++p)
        if (*p == '/') *p = '\\';
    return pszPath;
}

const char* CDiskFile::pszGetPtrToFileName(const char* pszPath) {
    if (pszPath == nullptr) return nullptr;
    const char* pResult = pszPath;
    for (const char* p = pszPath; *p != 0; ++p)
        if (*p == '/' || *p == '\\') pResult = p + 1;
    return pResult;
}

char* CDiskFile::pszGetPtrToFileName(char* pszPath) {
    return const_cast<char*>(pszGetPtrToFileName(static_cast<const char*>(pszPath)));
}

bool CDiskFile::bValidName(const char* pszName) {
    if (pszName == nullptr) return false;
    return strpbrk(pszName, "\\/:*?\"<>|") == nullptr;
}

bool CDiskFile::bIsAVirtualDirectory(const char* pszName) {
    return pszName != nullptr && (strcmp(pszName, ".") == 0 || strcmp(pszName, "..") == 0);
}

// Relative unless it starts at the root or at the home directory.
bool CDiskFile::bIsRelativePath(const char* pszPath) {
    if (pszPath == nullptr) return true;
    return pszPath[0] != '/' && pszPath[0] != '\\' && pszPath[0] != '~';
}

bool CDiskFile::_bFiltreFileName(const char* pszName, const char* pszPattern) {
    if (pszName == nullptr) pszName = "";
    if (pszPattern == nullptr) pszPattern = "";
    const char* n = pszName;
    const char* p = pszPattern;
    const char* pStar = nullptr;
    const char* pReprise = nullptr;
    while (*n != 0) {
        if (*p == '*') {
            while (*p == '*') ++p;
            if (*p == 0) return true;
            pStar = p;
            pReprise = n;
            continue;
        }
        if (*p != 0 && (*p == '?' || *p == *n)) {
            ++p;
            ++n;
            continue;
        }
        if (pStar == nullptr) return false;
        p = pStar;
        n = ++pReprise;
    }
    while (*p == '*') ++p;
    return *p == 0;
}

uint32_t CDiskFile::_dwAttributes(uint32_t dwMode, const char* pszName) {
    uint32_t dw = dwMode & XFILE_ATTRIBUTE_MASK;
    if (pszName != nullptr) {
        std::string cl = _clWithoutEndSlash(_clSlashes(pszName));
        size_t nSlash = cl.rfind('/');
        const char* pszLast = cl.c_str() + (nSlash == std::string::npos ? 0 : nSlash + 1);
        if (pszLast[0] == '.') dw |= XFILE_ATTRIBUTE_HIDDEN;
    }
    return dw;
}
