// Names and paths: full-path resolution, "~", relative paths, splitting,
// extensions, separators, valid names and wildcard matching.
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "files/diskfile.h"
#include "files/files_test_util.h"

namespace {

using filestest::TempDirTest;

class PathsTest : public TempDirTest {};

std::string Full(const char* psz) {
    char a[XFILE_MAX_PATH];
    int n = CDiskFile::GetFullPathName(psz, sizeof(a), a);
    if (n <= 0 || n >= XFILE_MAX_PATH) return "<fail>";
    return a;
}

TEST_F(PathsTest, FullPathTable) {
    ASSERT_EQ(mkdir(Path("x").c_str(), 0777), 0);
    ASSERT_EQ(chdir(Path("x").c_str()), 0);
    const std::string sX = Path("x");
    struct Case {
        const char* pszIn;
        std::string sExpected;
    };
    const Case aCases[] = {
        {"a/./b/../c", sX + "/a/c"},
        {"/abs/./p/../q", "/abs/q"},
        {"a\\b", sX + "/a/b"},
        {"../y", m_sDir + "/y"},
        {"/../..", "/"},
        {"a//b/", sX + "/a/b/"},
        {"./", sX + "/"},
        {"a/..", sX + "/"},
    };
    for (const Case& c : aCases) EXPECT_EQ(Full(c.pszIn), c.sExpected) << c.pszIn;
}

TEST_F(PathsTest, HomeDirectory) {
    // The user database answers first; $HOME stands in when it has nothing.
    struct passwd* pst = getpwuid(getuid());
    std::string sHome = pst != nullptr && pst->pw_dir != nullptr && *pst->pw_dir ? pst->pw_dir : m_sHome;
    EXPECT_EQ(Full("~/doc/./f"), sHome + "/doc/f");
    EXPECT_EQ(Full("~"), sHome);
}

TEST_F(PathsTest, TooLongIsRefusedWithTheSizeNeeded) {
    std::string sLong = "/" + std::string(300, 'a');
    char a[XFILE_MAX_PATH];
    a[0] = 'k';
    EXPECT_EQ(CDiskFile::GetFullPathName(sLong.c_str(), sizeof(a), a), 302);
    EXPECT_EQ(a[0], 'k');
    CXError clErr;
    EXPECT_FALSE(CDiskFile::bGetFullPath(a, sLong.c_str(), &clErr));
    EXPECT_EQ(clErr.nGetSystemError(), ENAMETOOLONG);
    EXPECT_EQ(clErr.nGetErrorId(0), XMSG_FULLPATH);
    EXPECT_STREQ(a, "");
}

TEST_F(PathsTest, RelativePaths) {
    char a[XFILE_MAX_PATH];
    struct Case {
        const char* pszFrom;
        const char* pszTo;
        const char* pszExpected;
    };
    const Case aCases[] = {
        {"/a/b/c", "/a", "../.."},
        {"/a/b", "/a/b/c/d", "c/d"},
        {"/a/b", "/a/x/y", "../x/y"},
        {"/a/b", "/a/b", "."},
    };
    for (const Case& c : aCases) {
        ASSERT_TRUE(CDiskFile::bPathRelativePathTo(a, c.pszFrom, c.pszTo));
        EXPECT_STREQ(a, c.pszExpected) << c.pszFrom << " -> " << c.pszTo;
    }
    ASSERT_TRUE(CDiskFile::bRelativeToFullPath(a, "/a/b", "../c/./d"));
    EXPECT_STREQ(a, "/a/c/d");
    ASSERT_TRUE(CDiskFile::bRelativeToFullPath(a, "/a/b", "/z"));
    EXPECT_STREQ(a, "/z");
    EXPECT_FALSE(CDiskFile::bPathRelativePathTo(a, "/a", "/b/c/d", 4));
}

TEST_F(PathsTest, SameNames) {
    ASSERT_EQ(chdir(m_sDir.c_str()), 0);
    EXPECT_TRUE(CDiskFile::bSameFileName("a", (m_sDir + "/./a").c_str()));
    EXPECT_FALSE(CDiskFile::bSameFileName("a", "A"));
    EXPECT_TRUE(CDiskFile::bSameDirectoryName("d/", (m_sDir + "/d").c_str()));
    EXPECT_TRUE(CDiskFile::bSameDirectoryNameEx("d/x.txt", "d/y.txt"));
    EXPECT_FALSE(CDiskFile::bSameDirectoryNameEx("d/x.txt", "e/x.txt"));
}

TEST_F(PathsTest, SplitMakeAndExtensions) {
    char d[XFILE_MAX_PATH], n[XFILE_MAX_PATH], e[XFILE_MAX_PATH];
    ASSERT_TRUE(CDiskFile::SplitPath("/r/s.t/name.tar.gz", d, n, e));
    EXPECT_STREQ(d, "/r/s.t/");
    EXPECT_STREQ(n, "name.tar");
    EXPECT_STREQ(e, ".gz");
    ASSERT_TRUE(CDiskFile::SplitPath("plain", d, n, e));
    EXPECT_STREQ(d, "");
    EXPECT_STREQ(n, "plain");
    EXPECT_STREQ(e, "");
    ASSERT_TRUE(CDiskFile::MakePath(d, "/r", "f", "txt"));
    EXPECT_STREQ(d, "/r/f.txt");
    ASSERT_TRUE(CDiskFile::MakePath(d, "/r/", "f", ".c"));
    EXPECT_STREQ(d, "/r/f.c");
    EXPECT_FALSE(CDiskFile::MakePath(d, std::string(300, 'p').c_str(), "f", "c"));

    struct ExtCase {
        const char* pszPath;
        const char* pszExt;
        const char* pszExpected;
    };
    const ExtCase aCases[] = {
        {"a/b.txt", "doc", "a/b.doc"}, {"a/b.txt", ".doc", "a/b.doc"}, {"a.d/b", "x", "a.d/b.x"}, {"b", "", "b."},
    };
    for (const ExtCase& c : aCases) {
        char a[32];
        strcpy(a, c.pszPath);
        ASSERT_TRUE(CDiskFile::ChangeExtension(a, sizeof(a), c.pszExt));
        EXPECT_STREQ(a, c.pszExpected);
    }
    char s[8] = "abc.d";
    EXPECT_FALSE(CDiskFile::ChangeExtension(s, sizeof(s), "long"));
    EXPECT_STREQ(s, "abc.d");
    char t[16] = "x.y/z";
    CDiskFile::DelExtension(t);
    EXPECT_STREQ(t, "x.y/z");
    char u[16] = "x/z.tar";
    CDiskFile::DelExtension(u);
    EXPECT_STREQ(u, "x/z");
}

TEST_F(PathsTest, SeparatorsAndNames) {
    char a[XFILE_MAX_PATH] = "a\\b\\c";
    EXPECT_STREQ(CDiskFile::pszBackSlash2Slash(a), "a/b/c");
    EXPECT_STREQ(CDiskFile::pszSlash2BackSlash(a), "a\\b\\c");
    EXPECT_STREQ(CDiskFile::pszGetPtrToFileName("/x/y/file.c"), "file.c");
    strcpy(a, "/dir");
    EXPECT_STREQ(CDiskFile::DirectoryWithEndSlash(a), "/dir/");
    EXPECT_STREQ(CDiskFile::DirectoryWithEndSlash(a), "/dir/");
    EXPECT_STREQ(CDiskFile::DirectoryWithoutEndSlash(a), "/dir");
    strcpy(a, "/");
    EXPECT_STREQ(CDiskFile::DirectoryWithoutEndSlash(a), "/");
    EXPECT_FALSE(CDiskFile::bValidName("a:b"));
    EXPECT_FALSE(CDiskFile::bValidName("a/b"));
    EXPECT_FALSE(CDiskFile::bValidName("a?"));
    EXPECT_TRUE(CDiskFile::bValidName("abc.txt"));
    EXPECT_TRUE(CDiskFile::bIsAVirtualDirectory("."));
    EXPECT_TRUE(CDiskFile::bIsAVirtualDirectory(".."));
    EXPECT_FALSE(CDiskFile::bIsAVirtualDirectory("..."));
    EXPECT_TRUE(CDiskFile::bIsRelativePath("./a"));
    EXPECT_TRUE(CDiskFile::bIsRelativePath("a/b"));
    EXPECT_FALSE(CDiskFile::bIsRelativePath("/a"));
    EXPECT_FALSE(CDiskFile::bIsRelativePath("~/a"));
}

TEST(WildcardTest, MatchTable) {
    struct Case {
        const char* pszName;
        const char* pszPattern;
        bool bMatch;
    };
    const Case aCases[] = {
        {"a.txt", "*.txt", true},   {"a.TXT", "*.txt", false},  {"a.txt", "*", true},
        {"", "*", true},            {"", "**", true},           {"", "", true},
        {"", "?", false},           {"a", "", false},           {"abc", "a?c", true},
        {"ac", "a?c", false},       {"abc", "a**c", true},      {"abcbc", "a*bc", true},
        {"abcbd", "a*bc", false},   {"mississippi", "*sip*", true}, {"mississippi", "m*iss*ppi", true},
        {"x.tar.gz", "*.gz", true}, {"x.tar.gz", "*.tar", false}, {"abc", "abc*", true},
        {"ab", "abc*", false},      {"a*b", "a\\*b", false},    {"aXb", "a*?b", true},
    };
    for (const Case& c : aCases)
        EXPECT_EQ(CDiskFile::_bFiltreFileName(c.pszName, c.pszPattern), c.bMatch)
            << "'" << c.pszName << "' ~ '" << c.pszPattern << "'";
}

}  // namespace
