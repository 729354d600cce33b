// A stream over memory: either a buffer the caller associates (fixed size)
// or memory of its own that grows as it is written.
#pragma once
#include <cstdint>

#include "files/xstream.h"

class CMemoryStream : public IXStream {
public:
    enum : uint8_t {
        STATE_CLOSED = 0,
        STATE_ASSOCIATED = 1,   // buffer associated, not opened
        STATE_OWN = 2,          // open on memory of its own
        STATE_OPEN_ASSOCIATED = 3,
    };
    enum : uint8_t {
        MODE_READ = 1,
        MODE_WRITE = 2,
        MODE_ASSOCIATED = 4,
        MODE_GROW_ON_WRITE = 8,   // owns its memory
        MODE_GROW_ON_SEEK = 16,
    };

    CMemoryStream();
    ~CMemoryStream() override;

    using IXStream::bRead;
    using IXStream::bWrite;

    bool bOpen(const char* pszName, eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag = eFLAG_NONE,
               int* pbCreated = nullptr) override;
    void Close() override;
    bool bWrite(const void* pData, unsigned nSize, unsigned* pnDone) override;
    bool bRead(void* pData, unsigned nSize, unsigned* pnDone) override;
    bool bWrite(long long oOffset, const void* pData, unsigned nSize, unsigned* pnDone) override;
    bool bRead(long long oOffset, void* pData, unsigned nSize, unsigned* pnDone) override;
    bool bSeek(long long oOffset, eSEEK eFrom) override;
    long long oGetSize() override;
    long long oGetSizeFast() override { return oGetSize(); }
    bool bSetSize(long long oSize, eGROW eGrow) override;
    bool bIncreaseSize(long long oSize) override;
    bool bWriteStringList(const char* pszFormat, va_list args) override __attribute__((format(printf, 2, 0)));
    bool bExtract(IXStream* pclDest, long long oSize) override;
    const char* pszGetName() const override { return m_pszName; }
    long long oGetOffset() override;
    bool bIsOpen() const override { return m_nState == STATE_OWN || m_nState == STATE_OPEN_ASSOCIATED; }
    eACCESS veGetAccess() const override;

    // Only while closed; the buffer stays the caller's.
    bool bAssociate(unsigned char* pBuffer, unsigned nSize);
    unsigned char* pGetAddress() const { return m_pBase; }
    uint8_t nGetState() const { return m_nState; }
    uint8_t nGetMode() const { return m_nMode; }

private:
    bool _bReserve(unsigned nSize);
    void _Failure(int nErrno, int nMessage);

    uint8_t m_nState;
    uint8_t m_nMode;
    unsigned char* m_pBase;
    unsigned char* m_pCurrent;
    uint32_t m_nSize;
    char* m_pszName;
    uint32_t m_nCapacity;   // bytes the memory can hold
};
