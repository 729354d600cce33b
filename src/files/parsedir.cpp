#include "files/parsedir.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/diskfile.h"

struct CParseDir::STLevel {
    STLevel* pstParent;
    bool bSubdirectoryPhase;
    bool bSearching;          // a search of this level is open
    std::string clDirectory;  // ends with "/"
    uint64_t qwDev;
    uint64_t qwIno;
    _stXFINDDATA stFind;
};

CParseDir::CParseDir()
    : m_pszPattern(nullptr),
      m_bRecursive(false),
      m_pstLevel(nullptr),
      m_pfnCallback(nullptr),
      m_pUser(nullptr),
      m_bWithDirectories(false) {}

CParseDir::~CParseDir() {
    Close();
}

void CParseDir::SetCallBack(PFNDIRCALLBACK pfnCallback, void* pUser) {
    m_pfnCallback = pfnCallback;
    m_pUser = pUser;
}

bool CParseDir::_bOnStack(uint64_t qwDev, uint64_t qwIno) const {
    for (const STLevel* p = m_pstLevel; p != nullptr; p = p->pstParent)
        if (p->qwDev == qwDev && p->qwIno == qwIno) return true;
    return false;
}

// Enters a directory: only a real one (by lstat), never one already on the
// walk.
bool CParseDir::_bPush(const char* pszDirectory) {
    std::string cl(pszDirectory);
    for (char& c : cl)
        if (c == '\\') c = '/';
    if (cl.empty()) cl.push_back('.');
    while (cl.size() > 1 && cl.back() == '/') cl.pop_back();
    struct stat64 st;
    if (lstat64(cl.c_str(), &st) == -1) return false;
    if (!S_ISDIR(st.st_mode) || _bOnStack(st.st_dev, st.st_ino)) {
        errno = S_ISDIR(st.st_mode) ? ELOOP : ENOTDIR;
        return false;
    }
    STLevel* p = new STLevel();
    p->pstParent = m_pstLevel;
    p->bSubdirectoryPhase = false;
    p->bSearching = false;
    p->clDirectory = cl == "/" ? cl : cl + "/";
    p->qwDev = st.st_dev;
    p->qwIno = st.st_ino;
    memset(&p->stFind, 0, sizeof(p->stFind));
    m_pstLevel = p;
    if (m_pfnCallback != nullptr) m_pfnCallback(cl.c_str(), m_pUser);
    return true;
}

void CParseDir::_Pop() {
    STLevel* p = m_pstLevel;
    if (p == nullptr) return;
    if (p->bSearching) CDiskFile::bFindClose(&p->stFind);
    m_pstLevel = p->pstParent;
    delete p;
}

void CParseDir::Close() {
    while (m_pstLevel != nullptr) _Pop();
    free(m_pszPattern);
    m_pszPattern = nullptr;
}

bool CParseDir::bGetFirst(const char* pszDirectory, const char* pszPattern, bool bRecursive, char* pszOut, int nSize,
                          bool bWithDirectories) {
    Close();
    m_pszPattern = strdup(pszPattern != nullptr && *pszPattern != 0 ? pszPattern : "*");
    if (m_pszPattern == nullptr) return false;
    m_bRecursive = bRecursive;
    m_bWithDirectories = bWithDirectories;
    if (!_bPush(pszDirectory != nullptr ? pszDirectory : ".")) return false;
    return bGetNext(pszOut, nSize);
}

bool CParseDir::bGetNext(char* pszOut, int nSize) {
    if (pszOut != nullptr && nSize > 0) *pszOut = 0;
    while (m_pstLevel != nullptr) {
        STLevel* p = m_pstLevel;
        bool bFound;
        if (!p->bSubdirectoryPhase) {
            if (!p->bSearching) {
                std::string clMotif = p->clDirectory + m_pszPattern;
                bFound = CDiskFile::bFindFirst(clMotif.c_str(), &p->stFind, 0,
                                               m_bWithDirectories ? 0 : XFILE_ATTRIBUTE_DIRECTORY);
                p->bSearching = p->stFind.hDir != nullptr;
            } else {
                bFound = CDiskFile::bFindNext(&p->stFind);
                p->bSearching = p->stFind.hDir != nullptr;
            }
            if (bFound) {
                std::string cl = p->clDirectory + p->stFind.szName;
                if (pszOut == nullptr || nSize <= 0 || cl.size() + 1 > static_cast<size_t>(nSize)) {
                    errno = ENAMETOOLONG;
                    return false;
                }
                memcpy(pszOut, cl.c_str(), cl.size() + 1);
                return true;
            }
            if (p->bSearching) CDiskFile::bFindClose(&p->stFind);
            p->bSearching = false;
            if (!m_bRecursive) {
                _Pop();
                continue;
            }
            p->bSubdirectoryPhase = true;
        }
        if (!p->bSearching) {
            std::string clMotif = p->clDirectory + "*";
            bFound = CDiskFile::bFindFirst(clMotif.c_str(), &p->stFind, XFILE_ATTRIBUTE_DIRECTORY, 0);
        } else {
            bFound = CDiskFile::bFindNext(&p->stFind);
        }
        p->bSearching = p->stFind.hDir != nullptr;
        if (!bFound) {
            _Pop();
            continue;
        }
        std::string clSous = p->clDirectory + p->stFind.szName;
        _bPush(clSous.c_str());   // links and cycles are refused here
    }
    errno = ENOENT;
    return false;
}
