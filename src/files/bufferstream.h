// A growable character buffer, always zero-terminated.
#pragma once
#include <cstddef>

class CBufferStream {
public:
    // bOwner: the destructor frees the buffer (otherwise pDetach hands it
    // over and the caller frees it with free()).
    explicit CBufferStream(bool bOwner = true, unsigned nInitialSize = 1024);
    CBufferStream(const CBufferStream&) = delete;
    CBufferStream& operator=(const CBufferStream&) = delete;
    ~CBufferStream();

    // Appends one character; the buffer grows by 1,024 bytes when full.
    CBufferStream& operator<<(char c);
    CBufferStream& operator<<(const char* psz);
    void Append(const char* p, size_t n);

    const char* pszGet() const { return m_psz != nullptr ? m_psz : ""; }
    size_t nGetLength() const { return m_nLength; }
    bool bIsValid() const { return !m_bFailed; }
    // Gives the buffer away (malloc'ed, null when empty or on failure).
    char* pDetach();
    void Clear();

private:
    bool _bGrow(size_t nMinimum);

    char* m_psz;
    size_t m_nLength;
    size_t m_nCapacity;   // terminator included
    bool m_bOwner;
    bool m_bFailed;
};
