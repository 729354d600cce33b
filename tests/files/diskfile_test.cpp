// The disk file: open modes, locks seen from another process, transfers,
// positions past 4 GB, sizes, and what failures leave in the error object.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "files/diskfile.h"
#include "files/files_test_util.h"
#include "files/memstream.h"

namespace {

using filestest::TempDirTest;
using DF = CDiskFile;

class DiskFileTest : public TempDirTest {};

bool Contains(const char* pszText, const char* pszPart) { return strstr(pszText, pszPart) != nullptr; }

// Runs fn in a child process and returns its exit code (fn's result).
template <typename F>
int InChild(F fn) {
    pid_t pid = fork();
    if (pid == 0) _exit(fn());
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
}

// --- Open modes -------------------------------------------------------------

struct OpenCase {
    const char* pszName;
    bool bExists;
    IXStream::eACCESS eAccess;
    IXStream::eCREATE eCreate;
    bool bOk;
    int nCreated;
    const char* pszContentAfter;   // null: file absent
};

TEST_F(DiskFileTest, OpenModesTable) {
    const OpenCase aCases[] = {
        {"existing, open", true, IXStream::eACCESS_READ, IXStream::eCREATE_OPEN, true, 0, "old"},
        {"missing, open", false, IXStream::eACCESS_READ, IXStream::eCREATE_OPEN, false, 0, nullptr},
        {"existing, open or create", true, IXStream::eACCESS_READWRITE, IXStream::eCREATE_OPEN_OR_CREATE, true, 0,
         "old"},
        {"missing, open or create", false, IXStream::eACCESS_READWRITE, IXStream::eCREATE_OPEN_OR_CREATE, true, 1, ""},
        {"existing, truncate", true, IXStream::eACCESS_WRITE, IXStream::eCREATE_TRUNCATE, true, 1, ""},
        {"missing, truncate", false, IXStream::eACCESS_WRITE, IXStream::eCREATE_TRUNCATE, true, 1, ""},
        {"all bits access reads", true, IXStream::eACCESS_DEFAULT, IXStream::eCREATE_OPEN, true, 0, "old"},
    };
    int i = 0;
    for (const OpenCase& c : aCases) {
        SCOPED_TRACE(c.pszName);
        std::string sPath = Path("f" + std::to_string(i++));
        if (c.bExists) WriteFile(sPath, "old");
        CDiskFile cl;
        int bCreated = -1;
        EXPECT_EQ(cl.bOpen(sPath.c_str(), c.eAccess, IXStream::eSHARE_NONE, c.eCreate, IXStream::eFLAG_NONE, &bCreated),
                  c.bOk);
        EXPECT_EQ(bCreated, c.nCreated);
        EXPECT_EQ(cl.bIsOpen(), c.bOk);
        if (c.bOk) {
            EXPECT_EQ(cl.oGetOffset(), 0);
            EXPECT_STREQ(cl.pszGetName(), sPath.c_str());
        }
        cl.Close();
        if (c.pszContentAfter == nullptr)
            EXPECT_FALSE(Exists(sPath));
        else
            EXPECT_EQ(ReadFile(sPath), c.pszContentAfter);
    }
}

TEST_F(DiskFileTest, AccessModesAreEnforced) {
    std::string sPath = Path("a");
    WriteFile(sPath, "abc");
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    EXPECT_EQ(cl.veGetAccess(), IXStream::eACCESS_READ);
    EXPECT_FALSE(cl.bWrite("x", 1, nullptr));
    EXPECT_EQ(cl.pclGetXError()->nGetErrorId(0), XMSG_WRITE);
    EXPECT_EQ(cl.pclGetXError()->nGetSystemError(), EBADF);
    ASSERT_TRUE(cl.bReopen(IXStream::eACCESS_WRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    EXPECT_EQ(cl.veGetAccess(), IXStream::eACCESS_WRITE);
    char a[4];
    unsigned n = 9;
    EXPECT_FALSE(cl.bRead(a, 3, &n));
    EXPECT_EQ(n, 0u);
}

TEST_F(DiskFileTest, BackslashesAndRelativeNames) {
    ASSERT_EQ(mkdir(Path("sub").c_str(), 0777), 0);
    ASSERT_EQ(chdir(m_sDir.c_str()), 0);
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen("sub\\x.txt", IXStream::eACCESS_WRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_TRUNCATE));
    EXPECT_STREQ(cl.pszGetName(), Path("sub/x.txt").c_str());
    EXPECT_TRUE(Exists(Path("sub/x.txt")));
}

TEST_F(DiskFileTest, DirectoryFlagOpensADirectoryWithoutLock) {
    CDiskFile cl;
    EXPECT_TRUE(cl.bOpen(m_sDir.c_str(), IXStream::eACCESS_READ, IXStream::eSHARE_EXCLUSIVE, IXStream::eCREATE_OPEN,
                         IXStream::eFLAG_DIRECTORY));
    EXPECT_EQ(cl.nGetOpenFlags(), O_DIRECTORY);
    CDiskFile cl2;
    EXPECT_FALSE(cl2.bOpen(m_sDir.c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
}

TEST_F(DiskFileTest, NameTooLongIsRefusedNotCut) {
    std::string sLong = m_sDir + "/" + std::string(300, 'n');
    CDiskFile cl;
    EXPECT_FALSE(cl.bOpen(sLong.c_str(), IXStream::eACCESS_WRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_TRUNCATE));
    EXPECT_EQ(cl.pclGetXError()->nGetSystemError(), ENAMETOOLONG);
    EXPECT_EQ(cl.pclGetXError()->nGetErrorId(0), XMSG_CREATE);
    // Nothing was created under a shortened name.
    std::string sCut = sLong.substr(0, XFILE_MAX_PATH - 1);
    EXPECT_FALSE(Exists(sCut));
}

// --- Failures and their texts -------------------------------------------------

struct FailureCase {
    IXStream::eCREATE eCreate;
    int nMessage;
};

TEST_F(DiskFileTest, OpenFailureMessageByCreationMode) {
    const FailureCase aCases[] = {
        {IXStream::eCREATE_OPEN, XMSG_OPEN},
        {IXStream::eCREATE_OPEN_OR_CREATE, XMSG_OPEN_OR_CREATE},
        {IXStream::eCREATE_TRUNCATE, XMSG_CREATE},
    };
    std::string sPath = Path("nodir/x");
    for (const FailureCase& c : aCases) {
        SCOPED_TRACE(c.nMessage);
        CDiskFile cl;
        EXPECT_FALSE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, c.eCreate));
        CXError* p = cl.pclGetXError();
        EXPECT_EQ(p->eGetErrorLevel(), 3u);
        EXPECT_EQ(p->nGetSystemError(), ENOENT);
        ASSERT_EQ(p->nNumErrorId(), 1);
        EXPECT_EQ(p->nGetErrorId(0), c.nMessage);
        EXPECT_TRUE(Contains(p->pszGetDebugMessage(), "##(IXStream)-Handle=<-1>##")) << p->pszGetDebugMessage();
        const _stERRORINFO* pst = nullptr;
        ASSERT_TRUE(p->bGetInfo(EIT_SRCFILE, &pst));
        EXPECT_STREQ(pst->pszValeur, sPath.c_str());
        // The user message names the file.
        EXPECT_TRUE(Contains(p->pszGetUserMessage(), sPath.c_str())) << p->pszGetUserMessage();
    }
}

TEST_F(DiskFileTest, ExactReadShortFailsWithCountsInDebug) {
    std::string sPath = Path("short");
    WriteFile(sPath, "abcde");
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    char a[16];
    EXPECT_FALSE(cl.bRead(a, 10, nullptr));
    CXError* p = cl.pclGetXError();
    EXPECT_EQ(p->nGetErrorId(0), XMSG_READ);
    EXPECT_EQ(p->nGetSystemError(), 0);
    EXPECT_TRUE(Contains(p->pszGetDebugMessage(), "##(IXStream)-bExact=<1>##")) << p->pszGetDebugMessage();
    EXPECT_TRUE(Contains(p->pszGetDebugMessage(), "##(IXStream)-A lire=<10>, lu=<5>##")) << p->pszGetDebugMessage();
    EXPECT_EQ(cl.oGetOffset(), 5);
    // The next operation starts clean.
    EXPECT_TRUE(cl.bSeek(0, IXStream::eSEEK_BEGIN));
    EXPECT_FALSE(p->bIsError());
    unsigned n = 0;
    EXPECT_TRUE(cl.bRead(a, 10, &n));
    EXPECT_EQ(n, 5u);
}

TEST_F(DiskFileTest, WriteFailureReportsAccess) {
    std::string sPath = Path("ro");
    WriteFile(sPath, "x");
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    EXPECT_FALSE(cl.bWrite("abc", 3, nullptr));
    CXError* p = cl.pclGetXError();
    EXPECT_EQ(p->eGetErrorLevel(), 3u);
    EXPECT_TRUE(Contains(p->pszGetDebugMessage(), "##(IXStream)-Handle=<")) << p->pszGetDebugMessage();
    EXPECT_TRUE(Contains(p->pszGetDebugMessage(), "##(IXStream)-Access=<")) << p->pszGetDebugMessage();
}

TEST_F(DiskFileTest, SeekFailures) {
    std::string sPath = Path("s");
    WriteFile(sPath, "0123456789");
    CDiskFile cl;
    EXPECT_FALSE(cl.bSeek(0, IXStream::eSEEK_BEGIN));   // closed
    EXPECT_EQ(cl.pclGetXError()->nGetErrorId(0), XMSG_SEEK);
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    EXPECT_FALSE(cl.bSeek(-1, IXStream::eSEEK_BEGIN));
    EXPECT_EQ(cl.pclGetXError()->nGetErrorId(0), XMSG_SEEK);
    EXPECT_TRUE(cl.bSeek(-3, IXStream::eSEEK_END));
    EXPECT_EQ(cl.oGetOffset(), 7);
    EXPECT_TRUE(cl.bSeek(-2, IXStream::eSEEK_CURRENT));
    EXPECT_EQ(cl.oGetOffset(), 5);
    EXPECT_FALSE(cl.bSeek(-6, IXStream::eSEEK_CURRENT));
    EXPECT_EQ(cl.oGetOffset(), 5);
}

// --- Locks ------------------------------------------------------------------------

TEST_F(DiskFileTest, ExclusiveLockSeenFromAnotherProcess) {
    std::string sPath = Path("locked");
    WriteFile(sPath, "precious");
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_EXCLUSIVE,
                         IXStream::eCREATE_OPEN));
    // Another process: exclusive and shared opens fail at once with the
    // marker; an open without lock succeeds.
    struct ChildCase {
        IXStream::eACCESS eAccess;
        IXStream::eSHARE eShare;
        IXStream::eCREATE eCreate;
        int nExpected;   // 0 opened, 1 refused with the marker, 2 other
    };
    const ChildCase aCases[] = {
        {IXStream::eACCESS_READWRITE, IXStream::eSHARE_EXCLUSIVE, IXStream::eCREATE_OPEN, 1},
        {IXStream::eACCESS_READ, IXStream::eSHARE_SHARED, IXStream::eCREATE_OPEN, 1},
        {IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN, 0},
        // Create-or-truncate with a lock must not empty the locked file.
        {IXStream::eACCESS_WRITE, IXStream::eSHARE_EXCLUSIVE, IXStream::eCREATE_TRUNCATE, 1},
    };
    for (const ChildCase& c : aCases) {
        int n = InChild([&]() {
            CDiskFile cl2;
            if (cl2.bOpen(sPath.c_str(), c.eAccess, c.eShare, c.eCreate)) return 0;
            if (cl2.pclGetXError()->nGetSystemError() == XFILE_SHARING_VIOLATION && errno == XFILE_SHARING_VIOLATION)
                return 1;
            return 2;
        });
        EXPECT_EQ(n, c.nExpected) << c.eShare << " " << c.eCreate;
    }
    EXPECT_EQ(ReadFile(sPath), "precious");
    cl.Close();
    // Once the lock is gone, the other process gets it.
    EXPECT_EQ(InChild([&]() {
                  CDiskFile cl2;
                  return cl2.bOpen(sPath.c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_EXCLUSIVE,
                                   IXStream::eCREATE_OPEN)
                             ? 0
                             : 1;
              }),
              0);
}

TEST_F(DiskFileTest, SharedLocksCoexist) {
    std::string sPath = Path("shared");
    WriteFile(sPath, "x");
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READ, IXStream::eSHARE_SHARED, IXStream::eCREATE_OPEN));
    EXPECT_EQ(InChild([&]() {
                  CDiskFile cl2;
                  return cl2.bOpen(sPath.c_str(), IXStream::eACCESS_READ, IXStream::eSHARE_SHARED,
                                   IXStream::eCREATE_OPEN)
                             ? 0
                             : 1;
              }),
              0);
}

TEST_F(DiskFileTest, RangeLocksFromAnotherProcess) {
    std::string sPath = Path("ranges");
    WriteFile(sPath, std::string(100, 'r'));
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    ASSERT_TRUE(cl.bLockFile(10, 20));
    struct RangeCase {
        unsigned long long qwStart, qwLength;
        int nExpected;   // 0 locked, 1 refused with the marker
    };
    const RangeCase aCases[] = {{0, 10, 0}, {30, 5, 0}, {29, 1, 1}, {0, 11, 1}, {15, 0, 1}, {50, ~0ULL, 0}};
    for (const RangeCase& c : aCases) {
        int n = InChild([&]() {
            CDiskFile cl2;
            if (!cl2.bOpen(sPath.c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN))
                return 3;
            if (cl2.bLockFile(c.qwStart, c.qwLength)) return 0;
            CXError* p = cl2.pclGetXError();
            return p->nGetSystemError() == XFILE_SHARING_VIOLATION && p->nGetErrorId(0) == XMSG_LOCK ? 1 : 2;
        });
        EXPECT_EQ(n, c.nExpected) << c.qwStart << "+" << c.qwLength;
    }
    ASSERT_TRUE(cl.bUnlockFile(10, 20));
    EXPECT_EQ(InChild([&]() {
                  CDiskFile cl2;
                  cl2.bOpen(sPath.c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN);
                  return cl2.bLockFile(0, 0) ? 0 : 1;
              }),
              0);
}

TEST_F(DiskFileTest, LockFileExOnFirstTwoBytes) {
    std::string sPath = Path("ex");
    WriteFile(sPath, "abcdef");
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    ASSERT_TRUE(cl.bLockFileEx(1, 1));
    auto nOther = [&](unsigned long long qwStart) {
        return InChild([&]() {
            CDiskFile cl2;
            cl2.bOpen(sPath.c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN);
            return cl2.bLock(qwStart, 1) ? 0 : 1;
        });
    };
    EXPECT_EQ(nOther(1), 1);
    EXPECT_EQ(nOther(2), 0);
    EXPECT_TRUE(cl.bLockFileEx(0, 0));
    EXPECT_EQ(nOther(1), 0);
}

// --- Transfers and positions --------------------------------------------------------

TEST_F(DiskFileTest, WriteReadPositioned) {
    std::string sPath = Path("rw");
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE,
                         IXStream::eCREATE_TRUNCATE));
    unsigned n = 0;
    EXPECT_TRUE(cl.bWrite("hello world", 11, &n));
    EXPECT_EQ(n, 11u);
    EXPECT_EQ(cl.oGetOffset(), 11);
    EXPECT_TRUE(cl.bWrite(0LL, "J", 1, nullptr));
    EXPECT_EQ(cl.oGetOffset(), 1);
    char a[8] = {};
    EXPECT_TRUE(cl.bRead(6LL, a, 5, nullptr));
    EXPECT_STREQ(a, "world");
    EXPECT_EQ(cl.oGetSize(), 11);
    EXPECT_EQ(cl.oGetOffset(), 11);
    EXPECT_TRUE(cl.bWrite("", 0, &n));
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(cl.bWriteString("%d-%s", 42, "x"));
    EXPECT_TRUE(cl.bFlush());
    EXPECT_EQ(ReadFile(sPath), "Jello world42-x");
}

TEST_F(DiskFileTest, LongFormattedStringIsWrittenWhole) {
    std::string sPath = Path("long");
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_WRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_TRUNCATE));
    std::string sBig(3000, 'z');
    EXPECT_TRUE(cl.bWriteString("<%s>", sBig.c_str()));
    cl.Close();
    EXPECT_EQ(ReadFile(sPath), "<" + sBig + ">");
}

TEST_F(DiskFileTest, PositionsPastFourGigabytesOnASparseFile) {
    std::string sPath = Path("sparse");
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE,
                         IXStream::eCREATE_TRUNCATE));
    const long long o5G = 5LL * 1024 * 1024 * 1024;
    ASSERT_TRUE(cl.bSeek(o5G, IXStream::eSEEK_BEGIN));
    EXPECT_EQ(cl.oGetOffset(), o5G);
    ASSERT_TRUE(cl.bWrite("END", 3, nullptr));
    EXPECT_EQ(cl.oGetOffset(), o5G + 3);
    EXPECT_EQ(cl.oGetSize(), o5G + 3);
    EXPECT_EQ(CDiskFile::oGetSize(sPath.c_str()), o5G + 3);
    char a[4] = {};
    ASSERT_TRUE(cl.bRead(o5G, a, 3, nullptr));
    EXPECT_STREQ(a, "END");
    // A byte just past 4 GB reads as zero.
    char c = 'x';
    ASSERT_TRUE(cl.bRead(4LL * 1024 * 1024 * 1024 + 7, &c, 1, nullptr));
    EXPECT_EQ(c, 0);
    EXPECT_TRUE(cl.bSeek(-1, IXStream::eSEEK_END));
    EXPECT_EQ(cl.oGetOffset(), o5G + 2);
    EXPECT_EQ(cl.oGetSizeFast(), o5G + 3);
    ASSERT_TRUE(cl.bSetSize(o5G - 1, IXStream::eGROW_ABSOLUTE));
    EXPECT_EQ(cl.oGetSize(), o5G - 1);
    ASSERT_TRUE(cl.bLockFile(o5G - 100, 10));
    ASSERT_TRUE(cl.bUnlockFile(o5G - 100, 10));
}

TEST_F(DiskFileTest, SetSizeIncreaseAndExtend) {
    std::string sPath = Path("size");
    WriteFile(sPath, "0123456789");
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    EXPECT_TRUE(cl.bSetSize(-4, IXStream::eGROW_RELATIVE));
    EXPECT_EQ(cl.oGetSize(), 6);
    EXPECT_FALSE(cl.bSetSize(3, static_cast<IXStream::eGROW>(7)));
    EXPECT_TRUE(cl.bIncreaseSize(4));
    EXPECT_EQ(ReadFile(sPath), std::string("012345\0\0\0\0", 10));
    EXPECT_TRUE(cl.bIncreaseSize(0));
    EXPECT_EQ(cl.oGetSize(), 10);
    // Extending never overwrites what is kept.
    EXPECT_TRUE(cl.bWrite(0LL, "abcdefghij", 10, nullptr));
    EXPECT_TRUE(cl.bExtendFile(8));
    EXPECT_EQ(ReadFile(sPath), "abcdefgh");
    EXPECT_TRUE(cl.bExtendFile(12));
    EXPECT_EQ(ReadFile(sPath), std::string("abcdefgh\0\0\0\0", 12));
    EXPECT_FALSE(cl.bExtendFile(0));
}

TEST_F(DiskFileTest, ExtractBetweenStreamsAndFiles) {
    std::string sPath = Path("src");
    WriteFile(sPath, "0123456789");
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    ASSERT_TRUE(cl.bSeek(2, IXStream::eSEEK_BEGIN));
    CMemoryStream clMem;
    ASSERT_TRUE(clMem.bOpen("mem", IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_TRUNCATE));
    EXPECT_TRUE(cl.bExtract(&clMem, 3));
    EXPECT_EQ(cl.oGetOffset(), 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(clMem.pGetAddress()), 3), "234");
    EXPECT_TRUE(cl.bExtract(&clMem, -1));
    EXPECT_EQ(clMem.oGetSize(), 8);
    EXPECT_TRUE(cl.bExtract(&clMem, 0));
    ASSERT_TRUE(cl.bSeek(8, IXStream::eSEEK_BEGIN));
    EXPECT_FALSE(cl.bExtract(&clMem, 5));   // only 2 bytes left

    EXPECT_TRUE(cl.bExtract(Path("part").c_str(), 3, 4));
    EXPECT_EQ(ReadFile(Path("part")), "3456");
    ASSERT_TRUE(cl.bSeek(0, IXStream::eSEEK_END));
    EXPECT_TRUE(cl.bExtractFromFile(Path("part").c_str(), 1, -1));
    EXPECT_EQ(ReadFile(sPath), "0123456789456");
    EXPECT_FALSE(cl.bExtractFromFile(Path("missing").c_str(), 0, -1));
    EXPECT_EQ(cl.pclGetXError()->nGetErrorId(0), XMSG_OPEN);
}

TEST_F(DiskFileTest, ConcatAppendsAndRollsBackOnFailure) {
    WriteFile(Path("d"), "head-");
    WriteFile(Path("s"), "tail");
    CXError clErr;
    EXPECT_TRUE(CDiskFile::bConcat(Path("d").c_str(), Path("s").c_str(), &clErr));
    EXPECT_EQ(ReadFile(Path("d")), "head-tail");
    // A source that cannot be read leaves the destination as it was.
    ASSERT_EQ(mkdir(Path("dirsrc").c_str(), 0777), 0);
    EXPECT_FALSE(CDiskFile::bConcat(Path("d").c_str(), Path("dirsrc").c_str(), &clErr));
    EXPECT_EQ(ReadFile(Path("d")), "head-tail");
    EXPECT_TRUE(clErr.bIsError());
    EXPECT_FALSE(CDiskFile::bConcat(Path("d").c_str(), Path("none").c_str(), &clErr));
    EXPECT_FALSE(Exists(Path("none")));
}

TEST_F(DiskFileTest, NameForErrorsAndWideNames) {
    CDiskFile cl;
    cl.vbSetNameForError("shown name");
    EXPECT_FALSE(cl.bOpen(Path("missing").c_str(), IXStream::eACCESS_READ, IXStream::eSHARE_NONE,
                          IXStream::eCREATE_OPEN));
    const _stERRORINFO* pst = nullptr;
    ASSERT_TRUE(cl.pclGetXError()->bGetInfo(EIT_SRCFILE, &pst));
    EXPECT_STREQ(pst->pszValeur, "shown name");

    CDiskFile clW;
    std::wstring sw;
    for (char c : m_sDir) sw += static_cast<wchar_t>(c);
    sw += L"/caf\u00e9.txt";
    ASSERT_TRUE(clW.bOpenW(sw.c_str(), IXStream::eACCESS_WRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_TRUNCATE));
    EXPECT_TRUE(clW.vbIsUNICODEFileName());
    EXPECT_TRUE(Exists(Path("caf\xc3\xa9.txt")));
}

TEST_F(DiskFileTest, TimesOfTheOpenFile) {
    std::string sPath = Path("t");
    WriteFile(sPath, "t");
    const char* pszOldTz = getenv("TZ");
    std::string sOldTz = pszOldTz != nullptr ? pszOldTz : "";
    setenv("TZ", "UTC", 1);
    tzset();
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    _stXFILETIME stModif = {2009, 3, 5, 14, 7, 9, 0};
    ASSERT_TRUE(cl.bSetTime(nullptr, nullptr, &stModif));
    _stXFILETIME stLu{};
    ASSERT_TRUE(cl.bGetTime(nullptr, nullptr, &stLu));
    EXPECT_EQ(stLu.wYear, 2009);
    EXPECT_EQ(stLu.wMonth, 3);
    EXPECT_EQ(stLu.wDay, 5);
    EXPECT_EQ(stLu.wHour, 14);
    EXPECT_EQ(stLu.wMinute, 7);
    EXPECT_EQ(stLu.wSecond, 9);
    _stXFILETIME stName{};
    ASSERT_TRUE(CDiskFile::bGetLastModificationTime(sPath.c_str(), &stName));
    EXPECT_EQ(memcmp(&stName, &stLu, sizeof(stLu)), 0);
    EXPECT_TRUE(cl.bSetTime(nullptr, nullptr, nullptr));
    if (pszOldTz != nullptr)
        setenv("TZ", sOldTz.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

}  // namespace
