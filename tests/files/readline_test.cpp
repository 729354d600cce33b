// The two line readers of the disk file: bReadLine (ANSI and wide, chunks
// of 80 characters) and pszReadLine (64 KB read-ahead, custom separators).
#include <string>
#include <vector>

#include "core/tstring.h"
#include "files/diskfile.h"
#include "files/files_test_util.h"

namespace {

using filestest::TempDirTest;

class ReadLineTest : public TempDirTest {
protected:
    // Every line bReadLine gives until it fails (end of file).
    std::vector<std::string> Lines(const std::string& sData, unsigned nFlags, unsigned nMax = 256,
                                   std::vector<int>* pTruncated = nullptr) {
        std::string sPath = Path("lines");
        WriteFile(sPath, sData);
        CDiskFile cl;
        EXPECT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
        std::vector<std::string> v;
        std::vector<char> a(nMax);
        for (int nGarde = 0; nGarde < 10000; ++nGarde) {
            int bTruncated = -1;
            if (!cl.bReadLine(a.data(), nMax, &bTruncated, nFlags)) break;
            v.emplace_back(a.data());
            if (pTruncated != nullptr) pTruncated->push_back(bTruncated);
        }
        return v;
    }
};

struct LineCase {
    const char* pszName;
    std::string sData;
    unsigned nFlags;
    std::vector<std::string> vExpected;
};

TEST_F(ReadLineTest, LineEndsTable) {
    const std::string s80(80, 'x');
    const std::string s79(79, 'y');
    const std::vector<LineCase> aCases = {
        {"LF", "ab\ncd\n", 0, {"ab", "cd"}},
        {"CR LF", "ab\r\ncd\r\n", 0, {"ab", "cd"}},
        {"lone CR keeps the next character", std::string("ab\rcd\n"), 0, {"ab", "cd"}},
        {"mixed, earliest end wins", "ab\ncd\r\nef", 0, {"ab", "cd", "ef"}},
        {"last line without end", "ab\ncd", 0, {"ab", "cd"}},
        {"empty lines", "\n\r\n\n", 0, {"", "", ""}},
        {"empty file", "", 0, {}},
        {"CR LF only: lone CR is text", "ab\rcd\n", 1, {"ab\rcd\n"}},
        {"CR LF only: ends at CR LF", "ab\rcd\r\nef\r\n", 1, {"ab\rcd", "ef"}},
        {"line longer than a chunk", s80 + s80 + "z\nnext\n", 0, {s80 + s80 + "z", "next"}},
        {"exactly a chunk, no end", s80, 0, {s80}},
        {"CR closing a chunk, LF in the next", s79 + "\r\nafter\n", 0, {s79, "after"}},
        {"CR closing a chunk, text in the next", s79 + "\rafter\n", 0, {s79, "after"}},
        {"CR closing a chunk, CR LF only", s79 + "\r\nafter\r\n", 1, {s79, "after"}},
        {"CR closing a chunk, not a CR LF", s79 + "\rafter\r\n", 1, {s79 + "\rafter"}},
    };
    for (const LineCase& c : aCases) {
        SCOPED_TRACE(c.pszName);
        EXPECT_EQ(Lines(c.sData, c.nFlags), c.vExpected);
    }
}

TEST_F(ReadLineTest, TruncatedLineContinuesNextCall) {
    std::vector<int> vTruncated;
    std::vector<std::string> v = Lines("abcdefgh\nij\n", 0, 4, &vTruncated);
    EXPECT_EQ(v, (std::vector<std::string>{"abc", "def", "gh", "ij"}));
    EXPECT_EQ(vTruncated, (std::vector<int>{1, 1, 0, 0}));
    // Exactly the room: the end that follows is taken, no truncation.
    vTruncated.clear();
    v = Lines("abc\ndef", 0, 4, &vTruncated);
    EXPECT_EQ(v, (std::vector<std::string>{"abc", "def"}));
    EXPECT_EQ(vTruncated, (std::vector<int>{0, 0}));
    // A long line in small pieces across several chunks.
    std::string sLong(200, 'q');
    vTruncated.clear();
    v = Lines(sLong + "\n", 0, 51, &vTruncated);
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0] + v[1] + v[2] + v[3], sLong);
    EXPECT_EQ(vTruncated, (std::vector<int>{1, 1, 1, 0}));
}

TEST_F(ReadLineTest, EndOfFileFails) {
    std::string sPath = Path("eof");
    WriteFile(sPath, "only\n");
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    char a[16];
    int b = 0;
    ASSERT_TRUE(cl.bReadLine(a, sizeof(a), &b, 0));
    EXPECT_STREQ(a, "only");
    EXPECT_EQ(cl.oGetOffset(), 5);
    EXPECT_FALSE(cl.bReadLine(a, sizeof(a), &b, 0));
    EXPECT_STREQ(a, "");
    EXPECT_EQ(cl.pclGetXError()->nGetErrorId(0), XMSG_READ);
}

TEST_F(ReadLineTest, WideLines) {
    std::wstring w = L"ab\r\ncd\ne\u20acf\rg";
    std::string sBytes(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
    std::string sPath = Path("wide");
    WriteFile(sPath, sBytes);
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    std::vector<std::wstring> v;
    wchar_t a[64];
    int b = 0;
    while (cl.bReadLineUNICODE(a, 64, &b, 0)) v.emplace_back(a);
    EXPECT_EQ(v, (std::vector<std::wstring>{L"ab", L"cd", L"e\u20acf", L"g"}));
    // Truncation counts characters, not bytes.
    ASSERT_TRUE(cl.bSeek(0, IXStream::eSEEK_BEGIN));
    ASSERT_TRUE(cl.bReadLineUNICODE(a, 2, &b, 0));
    EXPECT_EQ(std::wstring(a), L"a");
    EXPECT_EQ(b, 1);
    EXPECT_EQ(cl.oGetOffset(), static_cast<long long>(sizeof(wchar_t)));
}

// --- pszReadLine ------------------------------------------------------------------

struct ReadAheadCase {
    const char* pszName;
    std::string sData;
    const char* pszSeparator;
    std::vector<std::string> vExpected;
};

TEST_F(ReadLineTest, ReadAheadTable) {
    std::string sBig(70000, 'b');
    const std::vector<ReadAheadCase> aCases = {
        {"default ends", "a\r\nb\rc\nd", nullptr, {"a", "b", "c", "d"}},
        {"empty lines", "\n\n", nullptr, {"", ""}},
        {"custom separator", "a;;b;;;c", ";;", {"a", "b", ";c"}},
        {"line past the read-ahead", sBig + "\nend\n", nullptr, {sBig, "end"}},
        {"CR at the read-ahead end", std::string(65535, 'c') + "\r\nx", nullptr, {std::string(65535, 'c'), "x"}},
        {"separator across the read-ahead end", std::string(65535, 'd') + "<>y", "<>",
         {std::string(65535, 'd'), "y"}},
    };
    for (const ReadAheadCase& c : aCases) {
        SCOPED_TRACE(c.pszName);
        std::string sPath = Path("ra");
        WriteFile(sPath, c.sData);
        CDiskFile cl;
        ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
        std::vector<std::string> v;
        char a[256];
        CTString clOverflow;
        const char* psz;
        while ((psz = cl.pszReadLine(a, sizeof(a), &clOverflow, c.pszSeparator)) != nullptr) v.emplace_back(psz);
        EXPECT_EQ(v, c.vExpected);
        EXPECT_EQ(cl.oGetOffset(), static_cast<long long>(c.sData.size()));
    }
}

TEST_F(ReadLineTest, ReadAheadKeepsPositionForOtherOperations) {
    std::string sPath = Path("mix");
    WriteFile(sPath, "one\ntwo\nthree\n");
    CDiskFile cl;
    ASSERT_TRUE(cl.bOpen(sPath.c_str(), IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN));
    char a[16];
    ASSERT_STREQ(cl.pszReadLine(a, sizeof(a), nullptr, nullptr), "one");
    EXPECT_EQ(cl.oGetOffset(), 4);
    char b[4] = {};
    ASSERT_TRUE(cl.bRead(b, 3, nullptr));
    EXPECT_STREQ(b, "two");
    // A write drops what was read ahead: the next line shows it.
    ASSERT_TRUE(cl.bWrite(8LL, "THREE", 5, nullptr));
    ASSERT_TRUE(cl.bSeek(8, IXStream::eSEEK_BEGIN));
    EXPECT_STREQ(cl.pszReadLine(a, sizeof(a), nullptr, nullptr), "THREE");
    EXPECT_EQ(cl.pszReadLine(a, sizeof(a), nullptr, nullptr), nullptr);
    // Small buffer without overflow string: the line is cut to the buffer.
    ASSERT_TRUE(cl.bSeek(0, IXStream::eSEEK_BEGIN));
    char c[3];
    EXPECT_STREQ(cl.pszReadLine(c, sizeof(c), nullptr, nullptr), "on");
    EXPECT_EQ(cl.oGetOffset(), 4);
}

}  // namespace
