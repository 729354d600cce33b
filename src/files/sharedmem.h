// Memory zones shared between processes (System V segments), seen as
// streams so that the file-handle functions read and write them, and the
// System V process semaphore offered to serialise access to them.
//
// A zone's key is ftok(name + 1, name[0]): the first character of the name
// is the project identifier, the rest a path that must name an existing
// file. Segments are created 0666 (every process of the machine that opens
// the same name shares them) and never removed here.
#pragma once
#include <cstdint>

#include "files/xstream.h"

class CQVSharedMemory {
public:
    enum QVSharedMemoryAccess : int {
        QVSMA_READ = 0,
        QVSMA_READWRITE = 1,
    };

    CQVSharedMemory() = default;
    CQVSharedMemory(const CQVSharedMemory&) = delete;
    CQVSharedMemory& operator=(const CQVSharedMemory&) = delete;
    virtual ~CQVSharedMemory();

    // The existing segment of the name, else a new one of nSize bytes.
    bool bOpenCreateMemory(const char* pszName, int eAccess, long long oSize);
    bool bOpenMemory(const char* pszName, int eAccess);
    void CloseMemory() { m_nId = -1; }
    bool bAttach(int eAccess);
    bool bDetach();
    bool bIsAttached() const { return m_pData != nullptr; }
    void* pGetData() const { return m_pData; }
    const char* szGetName() const { return m_szName; }
    // The system error of the last failure.
    int nGetErrno() const { return m_nErrno; }

    static bool s_bInitQVSharedMemory() { return true; }
    static void s_TermQVSharedMemory() {}

protected:
    int m_nId = -1;
    void* m_pData = nullptr;
    long long m_oSize = 0;
    int m_eAccess = QVSMA_READ;
    char m_szName[261] = {};
    int m_nErrno = 0;

private:
    bool _bCle(const char* pszName, int* pnCle);
};

// A zone as a stream: reads and writes at the current position, cut at the
// end of the zone; a write to a zone attached read only fails.
class CFileSharedMemory : public CQVSharedMemory, public IXStream {
public:
    CFileSharedMemory() = default;
    ~CFileSharedMemory() override;

    using IXStream::bRead;
    using IXStream::bWrite;

    bool bRead(void* pData, unsigned nSize, unsigned* pnDone) override;
    bool bWrite(const void* pData, unsigned nSize, unsigned* pnDone) override;
    // From the start or the current position: inside the zone (0 to size
    // minus 1); from the end: 0 to the size. Otherwise the position stays.
    bool bSeek(long long oOffset, eSEEK eFrom) override;
    long long oGetSize() override { return m_oSize; }
    long long oGetSizeFast() override { return m_oSize; }
    long long oGetOffset() override { return m_oPosition; }
    void Close() override { bDetach(); }
    bool bIsOpen() const override { return bIsAttached(); }
    const char* pszGetName() const override { return m_szName; }
    eACCESS veGetAccess() const override;
    // A line up to CR, CR LF or LF (or the given separator), or the end of
    // the zone.
    const char* pszReadLine(char* pszLine, unsigned nMax, CTString* pclOverflow, const char* pszSeparator) override;

private:
    void _Echec(int nErrno, int nMessage);

    long long m_oPosition = 0;
};

// A System V semaphore set of two: 0 counts the resource, 1 the users.
class CQVSemProccess {
public:
    CQVSemProccess() = default;
    bool bCreate(const char* pszName, int nPartage, int nInitial, int nMaximum);
    bool bOpen(const char* pszName, int nMaximum);
    bool bTake();
    bool bPost(int nNombre);
    // The key of a name: the sum of its bytes read as little-endian 32-bit
    // words, then its last bytes one by one; 0 becomes 1.
    static int32_t s_nCle(const char* pszName);

private:
    int m_nId = -1;
    int m_nMaximum = 0;
};
