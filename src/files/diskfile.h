// A file on disk behind the stream interface, and the static path and
// file-system operations the file and directory functions use.
//
// Names are POSIX paths; backslashes are taken as slashes. Output buffers
// without a stated size hold XFILE_MAX_PATH bytes.
#pragma once
#include <sys/types.h>

#include <cstdint>

#include "files/xstream.h"

class CTString;
class CZNBINBase;
struct stat64;

class CDiskFile : public IXStream {
public:
    CDiskFile();
    ~CDiskFile() override;

    using IXStream::bExtract;
    using IXStream::bRead;
    using IXStream::bWrite;

    bool bOpen(const char* pszName, eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag = eFLAG_NONE,
               int* pbCreated = nullptr) override;
    void Close() override;
    bool bReopen(eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag = eFLAG_NONE) override;
    bool bWrite(long long oOffset, const void* pData, unsigned nSize, unsigned* pnDone) override;
    bool bRead(long long oOffset, void* pData, unsigned nSize, unsigned* pnDone) override;
    bool bWrite(const void* pData, unsigned nSize, unsigned* pnDone) override;
    bool bRead(void* pData, unsigned nSize, unsigned* pnDone) override;
    bool bSeek(long long oOffset, eSEEK eFrom) override;
    long long oGetSize() override;
    long long oGetSizeFast() override;
    bool bFlush() override;
    bool bSetSize(long long oSize, eGROW eGrow) override;
    bool bIncreaseSize(long long oSize) override;
    bool bWriteString(const char* pszFormat, ...) override __attribute__((format(printf, 2, 3)));
    bool bWriteStringList(const char* pszFormat, va_list args) override __attribute__((format(printf, 2, 0)));
    bool bReadLine(char* pszLine, unsigned nMax, int* pbTruncated, unsigned nFlags) override;
    bool bExtract(IXStream* pclDest, long long oSize) override;
    bool bLockFile(unsigned long long qwStart, unsigned long long qwLength) const override;
    bool bUnlockFile(unsigned long long qwStart, unsigned long long qwLength) const override;
    bool bLock(unsigned long long qwStart, unsigned long long qwLength) const override;
    bool bUnlock(unsigned long long qwStart, unsigned long long qwLength) const override;
    const char* pszGetName() const override { return m_szName; }
    long long oGetOffset() override { return m_oPosition; }
    bool bIsOpen() const override { return m_nFd != -1; }
    void vbSetNameForError(const char* pszName) override;
    bool bReadLineUNICODE(wchar_t* pszLine, unsigned nMax, int* pbTruncated, unsigned nFlags) override;
    eACCESS veGetAccess() const override;
    bool bLockFileEx(int bLock, int bExclusive) const override;
    const char* pszReadLine(char* pszLine, unsigned nMax, CTString* pclOverflow, const char* pszSeparator) override;

    // Appended operations.
    bool bExtendFile(long long oSize);
    // Copies oSize bytes from oOffset of this file into the named file
    // (created or emptied); a negative size means up to the end.
    bool bExtract(const char* pszDest, long long oOffset, long long oSize);
    // Copies oSize bytes from oOffset of the named file to the current
    // position of this file; a negative size means up to the end.
    bool bExtractFromFile(const char* pszSource, long long oOffset, long long oSize);
    // Wide-name forms: the name travels as UTF-8.
    bool bOpenW(const wchar_t* pszName, eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag = eFLAG_NONE,
                int* pbCreated = nullptr);
    bool bExtractW(const wchar_t* pszDest, long long oOffset, long long oSize);
    bool bExtractFromFileW(const wchar_t* pszSource, long long oOffset, long long oSize);
    bool vbIsUNICODEFileName() const { return m_pwszName != nullptr; }
    const wchar_t* pwszGetName() const { return m_pwszName ? m_pwszName : L""; }
    int nGetHandle() const { return m_nFd; }
    int nGetOpenFlags() const { return m_nFlags; }
    // Times of the open file (local time): creation is the status change.
    bool bGetTime(_stXFILETIME* pstCreation, _stXFILETIME* pstAccess, _stXFILETIME* pstModification);
    // Access and modification times by name, in whole seconds; null keeps
    // the current value; the creation time cannot be set.
    bool bSetTime(const _stXFILETIME* pstCreation, const _stXFILETIME* pstAccess,
                  const _stXFILETIME* pstModification);

    // --- Static operations (the error object, when given, is reset first) ----

    static bool bDelete(const char* pszName, CXError* pclError = nullptr);
    static bool bForceDelete(const char* pszName, CXError* pclError = nullptr);
    // Fails with EEXIST when the new name exists.
    static bool bRename(const char* pszNewName, const char* pszOldName, CXError* pclError = nullptr);
    static bool bCopy(const char* pszDest, const char* pszSource, CXError* pclError = nullptr);
    // Copies the file open on a descriptor, from its start, without moving
    // its position or closing it (so that the locks this process holds on it
    // stay); the source name only goes into the error message.
    static bool bCopyFromDescriptor(int nFdSource, const char* pszDest, CXError* pclError = nullptr,
                                    const char* pszSourceName = nullptr);
    static bool bMove(const char* pszDest, const char* pszSource, CXError* pclError = nullptr);
    static bool bExist(const char* pszName);
    static bool bCreateDirectory(const char* pszPath, CXError* pclError = nullptr);
    static bool bDeleteDirectory(const char* pszPath, CXError* pclError = nullptr);
    static bool bIsAFile(const char* pszName);
    static bool bIsADirectory(const char* pszName);
    static bool bGetFileAttributes(uint32_t* pdwAttributes, const char* pszName, CXError* pclError = nullptr);
    static bool bSetFileAttributes(const char* pszName, uint32_t dwAttributes, CXError* pclError = nullptr);
    static long long oGetSize(const char* pszName);
    static bool bGetLastModificationTime(const char* pszName, _stXFILETIME* pstTime, CXError* pclError = nullptr);
    static bool bGetFileStatus(const char* pszName, struct stat64* pstStatus, CXError* pclError = nullptr);
    static bool bFindFirst(const char* pszPattern, _stXFINDDATA* pstFind, uint32_t dwRequired, uint32_t dwExcluded,
                           CXError* pclError = nullptr);
    static bool bFindNext(_stXFINDDATA* pstFind, CXError* pclError = nullptr);
    static bool bFindClose(_stXFINDDATA* pstFind, CXError* pclError = nullptr);
    static bool bGetTempDirectory(char* pszDir, CXError* pclError = nullptr);
    static bool bGetTempName(char* pszOut, const char* pszDir, const char* pszPrefix, CXError* pclError = nullptr);
    static bool bGetTempName(char* pszOut, const char* pszPrefix, CXError* pclError = nullptr);
    static bool bGetCurrentDirectory(char* pszDir, CXError* pclError = nullptr);
    static bool bGetFullPath(char* pszOut, const char* pszPath, CXError* pclError = nullptr);
    // The length written, or, when the result does not fit in nSize bytes,
    // the size needed (terminator included) with nothing written; 0 on
    // failure (errno set).
    static int GetFullPathName(const char* pszPath, int nSize, char* pszOut);
    // Kilobytes; either output may be null.
    static bool bGetDiskSpace(const char* pszPath, long long* poTotal, long long* poFree, CXError* pclError = nullptr);
    static bool bGetDiskFreeSpace(const char* pszPath, long long* poFree, CXError* pclError = nullptr);
    static bool bConcat(const char* pszDest, const char* pszSource, CXError* pclError = nullptr);

    // Trees. The walks never follow a symbolic link into another tree.
    static bool bDeleteTree(const char* pszDir, CXError* pclError = nullptr);
    static bool bForceDeleteTree(const char* pszDir, CXError* pclError = nullptr);
    static bool bDeleteTreeEvenReadOnly(const char* pszDir, CXError* pclError = nullptr);
    static bool bPurgeTree(const char* pszDir, CXError* pclError = nullptr);
    static bool bForcePurgeTree(const char* pszDir, CXError* pclError = nullptr);
    // Calls pfnCallback(path, user) for each matching file (or directory);
    // a false answer stops the walk, which then returns false.
    typedef bool (*PFNTREECALLBACK)(const char* pszPath, void* pUser);
    static bool bDoOnFileTree(const char* pszDir, const char* pszPattern, PFNTREECALLBACK pfnCallback, void* pUser,
                              bool bRecursive = true, CXError* pclError = nullptr);
    static bool bDoOnDirectoryTree(const char* pszDir, const char* pszPattern, PFNTREECALLBACK pfnCallback,
                                   void* pUser, bool bRecursive = true, CXError* pclError = nullptr);

    // Paths.
    static bool bPathRelativePathTo(char* pszOut, const char* pszFromDir, const char* pszTo,
                                    int nSize = XFILE_MAX_PATH);
    static bool bRelativeToFullPath(char* pszOut, const char* pszBaseDir, const char* pszRelative,
                                    int nSize = XFILE_MAX_PATH);
    static bool bSameFileName(const char* pszA, const char* pszB);
    static bool bSameDirectoryName(const char* pszA, const char* pszB);
    // The directories holding two file names are the same.
    static bool bSameDirectoryNameEx(const char* pszA, const char* pszB);
    static bool MakePath(char* pszOut, const char* pszDir, const char* pszName, const char* pszExt,
                         int nSize = XFILE_MAX_PATH);
    // Any output may be null; the directory keeps its end slash, the
    // extension its dot. Joining, splitting and extension editing refuse
    // (false, errno ENAMETOOLONG) a result that does not fit.
    static bool SplitPath(const char* pszPath, char* pszDir, char* pszName, char* pszExt, int nSize = XFILE_MAX_PATH);
    static bool ChangeExtension(char* pszPath, int nSize, const char* pszExt);
    static void DelExtension(char* pszPath);
    static char* DirectoryWithEndSlash(char* pszDir, int nSize = XFILE_MAX_PATH);
    static char* DirectoryWithoutEndSlash(char* pszDir);
    static char* pszBackSlash2Slash(char* pszPath);
    static char* pszSlash2BackSlash(char* pszPath);
    static const char* pszGetPtrToFileName(const char* pszPath);
    static char* pszGetPtrToFileName(char* pszPath);
    static bool bValidName(const char* pszName);
    static bool bIsAVirtualDirectory(const char* pszName);
    static bool bIsRelativePath(const char* pszPath);
    static bool bChargeFichier(CZNBINBase* pclBin, const char* pszName, CXError* pclError = nullptr);
    static bool bSystemSupportHugeFile() { return true; }
    static bool sbIsBadNetworkFile(const char*) { return false; }
    // Case-sensitive wildcard match: "*" any run, "?" one character.
    static bool _bFiltreFileName(const char* pszName, const char* pszPattern);
    // Attributes of a status: type and permission bits, plus hidden for a
    // name whose last component begins with ".".
    static uint32_t _dwAttributes(uint32_t dwMode, const char* pszName);

private:
    bool _bOpen(eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag, int* pbCreated);
    void _OpenFailure(eCREATE eCreate, int nErrno);
    void _ReadFailure(int nErrno, bool bExact, unsigned nAsked, unsigned nRead);
    void _WriteFailure(int nErrno);
    void _SimpleFailure(int nErrno, int nMessage);
    bool _bSyncPosition();
    void _DropReadAhead() { m_nAheadLength = m_nAheadCursor = 0; }
    bool _bRawRead(void* pData, unsigned nSize, unsigned* pnRead);
    bool _bSeekTo(long long oOffset);
    bool _bLockRange(int nType, unsigned long long qwStart, unsigned long long qwLength, bool bWait) const;
    template <typename T>
    bool _bReadLineT(T* pszLine, unsigned nMax, int* pbTruncated, unsigned nFlags);

    char m_szName[XFILE_MAX_PATH];
    wchar_t* m_pwszName;
    int m_nFd;
    long long m_oPosition;
    char* m_pLineBuffer;
    unsigned m_nAheadCursor;
    int m_nFlags;
    char* m_pszNameForError;
    // Where the descriptor really stands (the read-ahead of pszReadLine runs
    // ahead of the kept position), and what the read-ahead holds.
    long long m_oSystemPosition;
    unsigned m_nAheadLength;
    long long m_oAheadBase;
};
