// Recursive directory walk: the files of a level that match the pattern
// first, then each subdirectory in turn. Symbolic links to directories are
// listed like the files they stand beside but never entered, and a
// directory already being walked is not entered again.
#pragma once
#include <cstdint>

#include "files/xstream.h"

class CParseDir {
public:
    // Called with each directory entered (without its end slash).
    typedef void (*PFNDIRCALLBACK)(const char* pszDirectory, void* pUser);

    CParseDir();
    CParseDir(const CParseDir&) = delete;
    CParseDir& operator=(const CParseDir&) = delete;
    ~CParseDir();

    void SetCallBack(PFNDIRCALLBACK pfnCallback, void* pUser);
    // The first match (directory + name) in pszOut; false when none. A name
    // that does not fit in nSize bytes fails with ENAMETOOLONG, and the walk
    // can go on with bGetNext.
    bool bGetFirst(const char* pszDirectory, const char* pszPattern, bool bRecursive, char* pszOut, int nSize,
                   bool bWithDirectories = false);
    bool bGetNext(char* pszOut, int nSize);
    void Close();

private:
    struct STLevel;
    bool _bPush(const char* pszDirectory);
    void _Pop();
    bool _bOnStack(uint64_t qwDev, uint64_t qwIno) const;

    char* m_pszPattern;
    bool m_bRecursive;
    STLevel* m_pstLevel;
    PFNDIRCALLBACK m_pfnCallback;
    void* m_pUser;
    bool m_bWithDirectories;
};
