// The byte stream every file operation of the component goes through, and
// the plain structures the disk operations hand back (file times, directory
// search state).
#pragma once
#include <cstdarg>
#include <cstdint>

#include "qvstd/xerror.h"

class CTString;

// Room of the name buffers of the file layer, terminator included. Longer
// names are refused (ENAMETOOLONG), never cut.
constexpr int XFILE_MAX_PATH = 260;

// Marker put in errno (and in the stream error) for a lock held elsewhere.
constexpr int XFILE_SHARING_VIOLATION = static_cast<int>(0x80000000u);

// Hidden attribute: the last component of the name begins with ".".
constexpr uint32_t XFILE_ATTRIBUTE_HIDDEN = 0x80000000u;
constexpr uint32_t XFILE_ATTRIBUTE_DIRECTORY = 0x4000u;
constexpr uint32_t XFILE_ATTRIBUTE_MASK = 0xE1FFu;

// A local date-time as seven 16-bit fields.
struct _stXFILETIME {
    uint16_t wYear;
    uint16_t wMonth;
    uint16_t wDay;
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;
};
static_assert(sizeof(_stXFILETIME) == 14, "file time");

// State of a directory search (bFindFirst / bFindNext / bFindClose).
struct _stXFINDDATA {
    void* hDir;                 // DIR* of the search, null when closed
    char szPattern[261];        // name pattern
    char szDirectory[261];      // directory searched, with its final slash
    uint32_t dwRequired;        // attribute bits every entry must have
    uint32_t dwExcluded;        // attribute bits no entry may have
    char szName[260];           // found entry
    uint32_t dwReserved;
    uint32_t dwAttributes;      // found entry's attributes
    int64_t oSize;              // found entry's size
};

class IXStream : public CQVUnknown {
public:
    // Access mode (the open-flag access bits); all bits set counts as read.
    enum eACCESS : int {
        eACCESS_READ = 0,
        eACCESS_WRITE = 1,
        eACCESS_READWRITE = 2,
        eACCESS_DEFAULT = -1,
    };
    // Lock type taken on the whole file when it is opened.
    enum eSHARE : int {
        eSHARE_SHARED = 0,
        eSHARE_EXCLUSIVE = 1,
        eSHARE_NONE = 2,
    };
    enum eCREATE : int {
        eCREATE_OPEN = 0,                // existing file only
        eCREATE_OPEN_OR_CREATE = 64,     // O_CREAT
        eCREATE_TRUNCATE = 576,          // O_CREAT + O_TRUNC
    };
    enum eFLAG : int {
        eFLAG_NONE = 0,
        eFLAG_DIRECTORY = 65536,         // O_DIRECTORY: a directory may be opened
    };
    enum eSEEK : int {
        eSEEK_BEGIN = 0,
        eSEEK_CURRENT = 1,
        eSEEK_END = 2,
    };
    enum eGROW : int {
        eGROW_ABSOLUTE = 0,
        eGROW_RELATIVE = 1,
    };

    IXStream();
    ~IXStream() override;

    virtual uint32_t dwRelease();

    // Unimplemented operations do nothing and succeed.
    virtual bool bOpen(const char* pszName, eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag = eFLAG_NONE,
                       int* pbCreated = nullptr);
    virtual void Close() = 0;
    virtual bool bReopen(eACCESS eAccess, eSHARE eShare, eCREATE eCreate, eFLAG eFlag = eFLAG_NONE);
    virtual bool bWrite(long long oOffset, const void* pData, unsigned nSize, unsigned* pnDone);
    virtual bool bRead(long long oOffset, void* pData, unsigned nSize, unsigned* pnDone);
    virtual bool bWrite(const void* pData, unsigned nSize, unsigned* pnDone);
    virtual bool bRead(void* pData, unsigned nSize, unsigned* pnDone);
    virtual bool bSeek(long long oOffset, eSEEK eFrom);
    virtual long long oGetSize();
    virtual long long oGetSizeFast();
    virtual bool bFlush();
    virtual bool bSetSize(long long oSize, eGROW eGrow);
    virtual bool bIncreaseSize(long long oSize);
    virtual bool bWriteString(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    virtual bool bWriteStringList(const char* pszFormat, va_list args) __attribute__((format(printf, 2, 0)));
    virtual bool bReadLine(char* pszLine, unsigned nMax, int* pbTruncated, unsigned nFlags);
    virtual bool bExtract(IXStream* pclDest, long long oSize);
    virtual bool bLockFile(unsigned long long qwStart, unsigned long long qwLength) const;
    virtual bool bUnlockFile(unsigned long long qwStart, unsigned long long qwLength) const;
    virtual bool bLock(unsigned long long qwStart, unsigned long long qwLength) const;
    virtual bool bUnlock(unsigned long long qwStart, unsigned long long qwLength) const;
    virtual const char* pszGetName() const;
    virtual long long oGetOffset();
    virtual bool bIsOpen() const;
    virtual CXError* pclGetXError() const;
    virtual CXError* _pclGetXError() const;
    virtual void vbSetNameForError(const char* pszName);
    virtual bool bReadLineUNICODE(wchar_t* pszLine, unsigned nMax, int* pbTruncated, unsigned nFlags);
    virtual eACCESS veGetAccess() const = 0;
    virtual bool bGetVFSFileName(char* pszName);
    virtual bool bLockFileEx(int bLock, int bExclusive) const;
    // One line up to the separator (by default CR, CR LF or LF) through a
    // 64 KB read-ahead; a line that does not fit pszLine comes back in
    // pclOverflow. A line longer than XSTREAM_LINE_MAX fails as a read
    // failure with the system error EOVERFLOW, its bytes consumed.
    virtual const char* pszReadLine(char* pszLine, unsigned nMax, CTString* pclOverflow, const char* pszSeparator);
    virtual void m485EmptyMethodXStream() {}
    virtual void m486EmptyMethodXStream() {}
    virtual void m487EmptyMethodXStream() {}
    virtual void m488EmptyMethodXStream() {}
    virtual void m489EmptyMethodXStream() {}
    virtual void m490EmptyMethodXStream() {}
    virtual void m491EmptyMethodXStream() {}
    virtual void m492EmptyMethodXStream() {}

protected:
    // Error helpers: the level goes back to 1 before each operation; a
    // failure sets level 3, the system error, the debug lines and one
    // numbered message naming the stream.
    void _ResetError() const;
    void _SetFailure(int nSystemError) const;
    void _AddUserMessageWithName(int nMessage, const char* pszName) const;

    CXError* m_pclXError;
};

// Bytes of a line-reading chunk, and of the copy blocks.
constexpr unsigned XSTREAM_LINE_CHUNK = 80;
constexpr unsigned XSTREAM_COPY_BLOCK = 65536;
// The longest line the line readers assemble, in bytes of the file (64 MB):
// a file without line ends, or a device that never ends, must not take all
// the memory. Text files have no lines anywhere near this size.
constexpr unsigned XSTREAM_LINE_MAX = 64u * 1024u * 1024u;

// Numbered messages of the file layer (texts loaded by number).
enum : int {
    XMSG_FLUSH = 28001,
    XMSG_OPEN_OR_CREATE = 28002,
    XMSG_READ = 28003,
    XMSG_SETSIZE = 28004,
    XMSG_SEEK = 28005,
    XMSG_WRITE = 28008,
    XMSG_RENAME = 28124,
    XMSG_COPY = 28125,
    XMSG_CREATEDIR = 28126,
    XMSG_DELETEDIR = 28127,
    XMSG_MODIFTIME = 28128,
    XMSG_FILESTATUS = 28129,
    XMSG_ATTRIBUTES = 28130,
    XMSG_FULLPATH = 28131,
    XMSG_TEMPDIR = 28133,
    XMSG_TEMPNAME = 28134,
    XMSG_FINDFIRST = 28135,
    XMSG_FINDNEXT = 28136,
    XMSG_FINDCLOSE = 28137,
    XMSG_DISKSPACE = 28138,
    XMSG_OPEN = 28139,
    XMSG_CREATE = 28140,
    XMSG_LOCK = 28145,
    XMSG_UNLOCK = 28146,
    XMSG_CURRENTDIR = 28307,
    // The reason given with the sharing marker: "the requested resource is
    // already in use".
    XMSG_SHARING = 6328,
};

// Debug lines of the stream errors.
#define XDBG_HANDLE "##(IXStream)-Handle=<%1$d>##"
#define XDBG_EXACT "##(IXStream)-bExact=<%1$d>##"
#define XDBG_TOREAD "##(IXStream)-A lire=<%1$u>, lu=<%2$u>##"
#define XDBG_ACCESS "##(IXStream)-Access=<%1!x!>##"
