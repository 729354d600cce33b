// A handle on a stream: it forwards every operation to the stream it holds
// (a counted reference), creating a disk file on its first open when it
// holds none.
#pragma once
#include <cstdarg>

#include "files/xstream.h"

class CXFile {
public:
    CXFile();
    // Holds the given stream (a reference is taken); the stream stays the
    // caller's.
    explicit CXFile(IXStream* pclStream);
    CXFile(const CXFile&) = delete;
    CXFile& operator=(const CXFile&) = delete;
    virtual ~CXFile();

    // Replaces the stream held (the previous one is let go).
    void SetStream(IXStream* pclStream, bool bOwned = false);
    IXStream* pclGetStream() const { return m_pclStream; }
    bool bIsOwned() const { return m_bOwned; }

    bool bOpen(const char* pszName, IXStream::eACCESS eAccess, IXStream::eSHARE eShare, IXStream::eCREATE eCreate,
               IXStream::eFLAG eFlag = IXStream::eFLAG_NONE, int* pbCreated = nullptr);
    void Close();
    bool bIsOpen() const { return m_pclStream != nullptr && m_pclStream->bIsOpen(); }

    bool bRead(void* pData, unsigned nSize, unsigned* pnDone = nullptr);
    bool bWrite(const void* pData, unsigned nSize, unsigned* pnDone = nullptr);
    bool bRead(long long oOffset, void* pData, unsigned nSize, unsigned* pnDone = nullptr);
    bool bWrite(long long oOffset, const void* pData, unsigned nSize, unsigned* pnDone = nullptr);
    bool bSeek(long long oOffset, IXStream::eSEEK eFrom = IXStream::eSEEK_BEGIN);
    long long oGetSize();
    long long oGetOffset();
    bool bFlush();
    bool bSetSize(long long oSize, IXStream::eGROW eGrow = IXStream::eGROW_ABSOLUTE);
    bool bWriteString(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    bool bReadLine(char* pszLine, unsigned nMax, int* pbTruncated, unsigned nFlags = 0);
    bool bLockFile(unsigned long long qwStart, unsigned long long qwLength);
    bool bUnlockFile(unsigned long long qwStart, unsigned long long qwLength);
    const char* pszGetName() const;
    // The stream's error object, or null without a stream.
    CXError* pclGetXError() const;

private:
    // Fails with EBADF when no stream is held.
    bool _bStream() const;

    IXStream* m_pclStream;
    bool m_bOwned;
};
