// The memory stream, the stream handle and the growable text buffer, and
// the defaults of the stream interface.
#include <cerrno>
#include <cstring>
#include <string>

#include "files/bufferstream.h"
#include "files/diskfile.h"
#include "files/files_test_util.h"
#include "files/memstream.h"
#include "files/xfile.h"

namespace {

TEST(MemoryStreamTest, OwnMemoryGrowsOnWrite) {
    CMemoryStream cl;
    int bCreated = 0;
    ASSERT_TRUE(cl.bOpen("m", IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_TRUNCATE,
                         IXStream::eFLAG_NONE, &bCreated));
    EXPECT_EQ(bCreated, 1);
    EXPECT_EQ(cl.nGetState(), CMemoryStream::STATE_OWN);
    std::string sBig(5000, 'g');
    ASSERT_TRUE(cl.bWrite(sBig.data(), static_cast<unsigned>(sBig.size()), nullptr));
    EXPECT_EQ(cl.oGetSize(), 5000);
    EXPECT_EQ(cl.oGetOffset(), 5000);
    ASSERT_TRUE(cl.bSeek(10, IXStream::eSEEK_END));   // counts back from the end
    EXPECT_EQ(cl.oGetOffset(), 4990);
    ASSERT_TRUE(cl.bSeek(6000, IXStream::eSEEK_BEGIN));   // grows on a seek past the end
    EXPECT_EQ(cl.oGetSize(), 6000);
    char a[4] = {1, 1, 1, 1};
    ASSERT_TRUE(cl.bRead(5500LL, a, 4, nullptr));
    EXPECT_EQ(a[0], 0);
    EXPECT_STREQ(cl.pszGetName(), "m");
    EXPECT_TRUE(cl.bWriteString("%s-%d", "x", 7));
    EXPECT_EQ(cl.oGetSize(), 6000);
    ASSERT_TRUE(cl.bSetSize(3, IXStream::eGROW_ABSOLUTE));
    EXPECT_EQ(cl.oGetSize(), 3);
    EXPECT_FALSE(cl.bRead(0LL, a, 4, nullptr));
    EXPECT_EQ(cl.pclGetXError()->nGetErrorId(0), XMSG_READ);
    cl.Close();
    EXPECT_FALSE(cl.bIsOpen());
}

TEST(MemoryStreamTest, AssociatedBufferIsFixed) {
    unsigned char aBuf[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
    CMemoryStream cl;
    EXPECT_FALSE(cl.bOpen("x", IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    ASSERT_TRUE(cl.bAssociate(aBuf, sizeof(aBuf)));
    EXPECT_EQ(cl.nGetState(), CMemoryStream::STATE_ASSOCIATED);
    EXPECT_FALSE(cl.bOpen("x", IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN_OR_CREATE));
    EXPECT_FALSE(cl.bOpen("x", static_cast<IXStream::eACCESS>(5), IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    ASSERT_TRUE(cl.bOpen("x", IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    EXPECT_EQ(cl.nGetState(), CMemoryStream::STATE_OPEN_ASSOCIATED);
    EXPECT_FALSE(cl.bAssociate(aBuf, 2));   // only while closed
    EXPECT_EQ(cl.pGetAddress(), aBuf);
    char a[3] = {};
    ASSERT_TRUE(cl.bRead(a, 2, nullptr));
    EXPECT_STREQ(a, "ab");
    ASSERT_TRUE(cl.bSeek(2, IXStream::eSEEK_END));
    EXPECT_FALSE(cl.bWrite("XYZ", 3, nullptr));   // past the end, exact
    unsigned n = 0;
    EXPECT_TRUE(cl.bWrite("XYZ", 3, &n));         // writes what fits
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(memcmp(aBuf, "abcdefXY", 8), 0);
    EXPECT_FALSE(cl.bSeek(9, IXStream::eSEEK_BEGIN));
    cl.Close();
    EXPECT_EQ(memcmp(aBuf, "abcdefXY", 8), 0);   // the caller's memory survives
}

TEST(MemoryStreamTest, AccessBits) {
    CMemoryStream cl;
    ASSERT_TRUE(cl.bOpen("r", IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_TRUNCATE));
    EXPECT_EQ(cl.veGetAccess(), IXStream::eACCESS_READ);
    EXPECT_FALSE(cl.bWrite("a", 1, nullptr));
    ASSERT_TRUE(cl.bOpen("w", IXStream::eACCESS_WRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_TRUNCATE));
    EXPECT_TRUE(cl.bWrite("a", 1, nullptr));
    char c;
    EXPECT_FALSE(cl.bRead(0LL, &c, 1, nullptr));
}

// A stream that implements nothing but what it must.
class CBareStream : public IXStream {
public:
    void Close() override {}
    eACCESS veGetAccess() const override { return eACCESS_READ; }
};

TEST(StreamDefaultsTest, UnimplementedOperationsSucceed) {
    CBareStream* p = new CBareStream();
    unsigned n = 7;
    char a[4];
    EXPECT_TRUE(p->bOpen("x", IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    EXPECT_TRUE(p->bRead(a, 4, &n));
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(p->bWrite(a, 4, &n));
    EXPECT_EQ(p->oGetSize(), 0);
    EXPECT_EQ(p->oGetOffset(), -1);
    EXPECT_EQ(p->pszGetName(), nullptr);
    EXPECT_EQ(p->pszReadLine(a, 4, nullptr, nullptr), nullptr);
    EXPECT_FALSE(p->bGetVFSFileName(a));
    EXPECT_TRUE(p->bIsOpen());
    EXPECT_NE(p->pclGetXError(), nullptr);
    EXPECT_EQ(p->pclGetXError(), p->_pclGetXError());
    p->AddRef();
    EXPECT_EQ(p->dwRelease(), 1u);
    EXPECT_EQ(p->dwRelease(), 0u);
}

class XFileTest : public filestest::TempDirTest {};

TEST_F(XFileTest, CreatesAndOwnsADiskFile) {
    CXFile cl;
    EXPECT_FALSE(cl.bSeek(0));
    ASSERT_TRUE(cl.bOpen(Path("x").c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE,
                         IXStream::eCREATE_TRUNCATE));
    EXPECT_TRUE(cl.bIsOwned());
    EXPECT_TRUE(cl.bWriteString("line %d\r\n", 1));
    EXPECT_TRUE(cl.bSeek(0));
    char a[16];
    int b = 0;
    EXPECT_TRUE(cl.bReadLine(a, sizeof(a), &b));
    EXPECT_STREQ(a, "line 1");
    EXPECT_EQ(cl.oGetSize(), 8);
    cl.Close();
    EXPECT_NE(cl.pclGetStream(), nullptr);   // owned: kept for a later open
    EXPECT_FALSE(cl.bIsOpen());
    EXPECT_EQ(ReadFile(Path("x")), "line 1\r\n");
}

TEST_F(XFileTest, HoldsAGivenStream) {
    CMemoryStream* pMem = new CMemoryStream();
    ASSERT_TRUE(pMem->bOpen("m", IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_TRUNCATE));
    {
        CXFile cl(pMem);
        EXPECT_EQ(pMem->nGetRef(), 2);
        EXPECT_TRUE(cl.bWrite("abc", 3));
        EXPECT_EQ(cl.oGetOffset(), 3);
    }
    EXPECT_EQ(pMem->nGetRef(), 1);
    EXPECT_EQ(pMem->oGetSize(), 3);
    {
        CXFile cl(pMem);
        cl.Close();   // not owned: let go
        EXPECT_EQ(cl.pclGetStream(), nullptr);
        EXPECT_EQ(pMem->nGetRef(), 1);
    }
    pMem->dwRelease();
}

TEST(BufferStreamTest, GrowsAndStaysTerminated) {
    CBufferStream cl(true, 4);
    for (int i = 0; i < 3000; ++i) cl << static_cast<char>('a' + i % 26);
    EXPECT_EQ(cl.nGetLength(), 3000u);
    EXPECT_EQ(strlen(cl.pszGet()), 3000u);
    EXPECT_EQ(cl.pszGet()[26], 'a');
    cl << "xyz";
    EXPECT_EQ(std::string(cl.pszGet()).substr(3000), "xyz");
    CBufferStream clNotOwner(false, 0);
    clNotOwner << 'q';
    char* p = clNotOwner.pDetach();
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "q");
    free(p);
}

}  // namespace
