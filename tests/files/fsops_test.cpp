// File-system operations by name: copy, move, rename, delete, attributes,
// directories, searches, temporary names, trees and the directory walker.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <set>
#include <string>
#include <vector>

#include "core/zndstr.h"
#include "files/diskfile.h"
#include "files/files_test_util.h"
#include "files/parsedir.h"

namespace {

using filestest::TempDirTest;

class FsOpsTest : public TempDirTest {};

// --- Copy ----------------------------------------------------------------------

TEST_F(FsOpsTest, CopyTable) {
    WriteFile(Path("src"), "content");
    WriteFile(Path("old"), "previous, longer content");
    chmod(Path("old").c_str(), 0640);
    ASSERT_EQ(symlink("target", Path("link").c_str()), 0);
    WriteFile(Path("target"), "t");
    ASSERT_EQ(mkdir(Path("dir").c_str(), 0777), 0);
    struct Case {
        const char* pszName;
        std::string sDest;
        std::string sSource;
        bool bOk;
        int nErrno;
    };
    const Case aCases[] = {
        {"new file", Path("new"), Path("src"), true, 0},
        {"replaces, keeps its mode", Path("old"), Path("src"), true, 0},
        {"through a link", Path("link"), Path("src"), true, 0},
        {"missing source", Path("x"), Path("missing"), false, ENOENT},
        {"source is a directory", Path("x"), Path("dir"), false, EISDIR},
        {"onto a directory", Path("dir"), Path("src"), false, EISDIR},
        {"onto itself", Path("src"), Path("src"), false, EINVAL},
        {"onto itself by another name", m_sDir + "/./src", Path("src"), false, EINVAL},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszName);
        CXError clErr;
        EXPECT_EQ(CDiskFile::bCopy(c.sDest.c_str(), c.sSource.c_str(), &clErr), c.bOk);
        if (!c.bOk) {
            EXPECT_EQ(clErr.nGetSystemError(), c.nErrno);
            EXPECT_EQ(clErr.nGetErrorId(0), XMSG_COPY);
        } else {
            EXPECT_FALSE(clErr.bIsError());
        }
    }
    EXPECT_EQ(ReadFile(Path("new")), "content");
    EXPECT_EQ(Mode(Path("new")), 0644u);   // 0666 less the umask 022
    EXPECT_EQ(ReadFile(Path("old")), "content");
    EXPECT_EQ(Mode(Path("old")), 0640u);
    EXPECT_EQ(ReadFile(Path("target")), "content");
    struct stat st;
    ASSERT_EQ(lstat(Path("link").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(Path("src")), "content");   // never emptied
    // No temporary file is left behind.
    std::vector<std::string> vNames;
    CDiskFile::bDoOnFileTree(m_sDir.c_str(), ".~*", [](const char* p, void* u) {
        static_cast<std::vector<std::string>*>(u)->push_back(p);
        return true;
    }, &vNames);
    EXPECT_TRUE(vNames.empty());
}

// A file of several of the copy's pieces, the last one partial, arrives
// whole and in order.
TEST_F(FsOpsTest, CopyOfSeveralPieces) {
    std::string s((17u << 20) + 12345u, '\0');
    uint32_t x = 12345;
    for (char& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    WriteFile(Path("grand"), s);
    CXError clErr;
    ASSERT_TRUE(CDiskFile::bCopy(Path("copie").c_str(), Path("grand").c_str(), &clErr));
    EXPECT_TRUE(ReadFile(Path("copie")) == s);
}

// --- Move and rename -----------------------------------------------------------

TEST_F(FsOpsTest, MoveTable) {
    ASSERT_EQ(chdir(m_sDir.c_str()), 0);
    WriteFile(Path("a"), "A");
    EXPECT_TRUE(CDiskFile::bMove("./a", "a"));   // same entry: nothing to do
    EXPECT_EQ(ReadFile(Path("a")), "A");

    WriteFile(Path("b"), "B");
    EXPECT_TRUE(CDiskFile::bMove(Path("b").c_str(), Path("a").c_str()));   // replaces
    EXPECT_FALSE(Exists(Path("a")));
    EXPECT_EQ(ReadFile(Path("b")), "A");

    ASSERT_EQ(link(Path("b").c_str(), Path("hard").c_str()), 0);
    EXPECT_TRUE(CDiskFile::bMove(Path("b").c_str(), Path("hard").c_str()));   // second name goes
    EXPECT_FALSE(Exists(Path("hard")));
    EXPECT_EQ(ReadFile(Path("b")), "A");

    ASSERT_EQ(symlink(Path("b").c_str(), Path("lnk").c_str()), 0);
    EXPECT_TRUE(CDiskFile::bMove(Path("b").c_str(), Path("lnk").c_str()));   // link onto its target
    EXPECT_FALSE(Exists(Path("lnk")));
    EXPECT_EQ(ReadFile(Path("b")), "A");

    ASSERT_EQ(symlink(Path("b").c_str(), Path("lnk2").c_str()), 0);
    EXPECT_TRUE(CDiskFile::bMove(Path("lnk2").c_str(), Path("b").c_str()));   // file onto a link to it
    struct stat st;
    ASSERT_EQ(lstat(Path("lnk2").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(ReadFile(Path("lnk2")), "A");
    EXPECT_FALSE(Exists(Path("b")));

    CXError clErr;
    EXPECT_FALSE(CDiskFile::bMove(Path("z").c_str(), Path("missing").c_str(), &clErr));
    EXPECT_EQ(clErr.nGetSystemError(), ENOENT);
    EXPECT_EQ(clErr.nGetErrorId(0), XMSG_RENAME);
    ASSERT_EQ(mkdir(Path("d").c_str(), 0777), 0);
    EXPECT_FALSE(CDiskFile::bMove(Path("d").c_str(), Path("lnk2").c_str(), &clErr));
    EXPECT_EQ(ReadFile(Path("lnk2")), "A");   // the source is kept on failure
}

TEST_F(FsOpsTest, RenameRefusesAnExistingName) {
    WriteFile(Path("a"), "A");
    WriteFile(Path("b"), "B");
    CXError clErr;
    EXPECT_FALSE(CDiskFile::bRename(Path("b").c_str(), Path("a").c_str(), &clErr));
    EXPECT_EQ(clErr.nGetSystemError(), EEXIST);
    EXPECT_EQ(clErr.nGetErrorId(0), XMSG_RENAME);
    EXPECT_EQ(ReadFile(Path("b")), "B");
    EXPECT_TRUE(CDiskFile::bRename(Path("c").c_str(), Path("a").c_str(), &clErr));
    EXPECT_FALSE(clErr.bIsError());
    EXPECT_EQ(ReadFile(Path("c")), "A");
}

TEST_F(FsOpsTest, DeleteAndExist) {
    WriteFile(Path("f"), "x");
    EXPECT_TRUE(CDiskFile::bExist(Path("f").c_str()));
    EXPECT_TRUE(CDiskFile::bIsAFile(Path("f").c_str()));
    EXPECT_FALSE(CDiskFile::bIsADirectory(Path("f").c_str()));
    EXPECT_TRUE(CDiskFile::bDelete(Path("f").c_str()));
    EXPECT_FALSE(CDiskFile::bExist(Path("f").c_str()));
    CXError clErr;
    EXPECT_FALSE(CDiskFile::bForceDelete(Path("f").c_str(), &clErr));
    EXPECT_EQ(clErr.nGetSystemError(), ENOENT);
    EXPECT_EQ(CDiskFile::oGetSize(Path("f").c_str()), -1);
}

// --- Attributes ----------------------------------------------------------------

TEST_F(FsOpsTest, AttributesToggleOnlyTheOwnerWriteBit) {
    WriteFile(Path("f"), "x");
    ASSERT_EQ(chmod(Path("f").c_str(), 0674), 0);
    uint32_t dw = 0;
    ASSERT_TRUE(CDiskFile::bGetFileAttributes(&dw, Path("f").c_str()));
    EXPECT_EQ(dw, 0x8000u | 0674u);
    struct Case {
        uint32_t dwRequest;
        mode_t nExpected;
    };
    const Case aCases[] = {
        {dw & ~0222u, 0474},   // read-only: the owner's write bit goes, the group's stays
        {0x8000u | 0474u | 0222u, 0674},   // writable again
        {0x8000u | 0444u, 0474},
        {0x8000u, 0674},   // a bare type (a copied file) asks for writable
    };
    for (const Case& c : aCases) {
        ASSERT_TRUE(CDiskFile::bSetFileAttributes(Path("f").c_str(), c.dwRequest));
        EXPECT_EQ(Mode(Path("f")), c.nExpected) << std::oct << c.dwRequest;
    }
    WriteFile(Path(".hidden"), "");
    ASSERT_TRUE(CDiskFile::bGetFileAttributes(&dw, Path(".hidden").c_str()));
    EXPECT_NE(dw & XFILE_ATTRIBUTE_HIDDEN, 0u);
    ASSERT_TRUE(CDiskFile::bGetFileAttributes(&dw, m_sDir.c_str()));
    EXPECT_EQ(dw & 0xF000u, 0x4000u);
    CXError clErr;
    EXPECT_FALSE(CDiskFile::bGetFileAttributes(&dw, Path("missing").c_str(), &clErr));
    EXPECT_EQ(clErr.nGetErrorId(0), XMSG_ATTRIBUTES);
    EXPECT_FALSE(CDiskFile::bSetFileAttributes(Path("missing").c_str(), 0, &clErr));
    EXPECT_EQ(clErr.nGetErrorId(0), XMSG_ATTRIBUTES);
}

// --- Directories, temporary names, space ---------------------------------------

TEST_F(FsOpsTest, DirectoriesAndTemporaryNames) {
    std::string sDeep = Path("a/b/c");
    EXPECT_TRUE(CDiskFile::bCreateDirectory(sDeep.c_str()));
    EXPECT_TRUE(CDiskFile::bIsADirectory(sDeep.c_str()));
    EXPECT_TRUE(CDiskFile::bCreateDirectory(sDeep.c_str()));   // already there
    WriteFile(Path("file"), "");
    CXError clErr;
    EXPECT_FALSE(CDiskFile::bCreateDirectory(Path("file/sub").c_str(), &clErr));
    EXPECT_EQ(clErr.nGetErrorId(0), XMSG_CREATEDIR);
    EXPECT_FALSE(CDiskFile::bDeleteDirectory(Path("a").c_str(), &clErr));
    EXPECT_EQ(clErr.nGetSystemError(), ENOTEMPTY);
    EXPECT_EQ(clErr.nGetErrorId(0), XMSG_DELETEDIR);
    EXPECT_TRUE(CDiskFile::bDeleteDirectory(sDeep.c_str()));

    setenv("TMPDIR", m_sDir.c_str(), 1);
    char a[XFILE_MAX_PATH];
    ASSERT_TRUE(CDiskFile::bGetTempDirectory(a));
    EXPECT_EQ(std::string(a), m_sDir);
    ASSERT_TRUE(CDiskFile::bGetTempName(a, "_QV"));
    EXPECT_EQ(std::string(a).substr(0, m_sDir.size() + 4), m_sDir + "/_QV");
    EXPECT_EQ(strlen(a), m_sDir.size() + 4 + 6);
    EXPECT_TRUE(CDiskFile::bIsAFile(a));
    char b[XFILE_MAX_PATH];
    ASSERT_TRUE(CDiskFile::bGetTempName(b, Path("a").c_str(), "p"));
    EXPECT_STRNE(a, b);
    EXPECT_TRUE(CDiskFile::bIsAFile(b));
    EXPECT_FALSE(CDiskFile::bGetTempName(b, (m_sDir + "/" + std::string(250, 'l')).c_str(), "p", &clErr));
    EXPECT_EQ(clErr.nGetSystemError(), ENAMETOOLONG);
    EXPECT_EQ(clErr.nGetErrorId(0), XMSG_TEMPNAME);
    unsetenv("TMPDIR");

    ASSERT_EQ(chdir(m_sDir.c_str()), 0);
    ASSERT_TRUE(CDiskFile::bGetCurrentDirectory(a));
    EXPECT_EQ(std::string(a), m_sDir);

    long long oTotal = -1, oFree = -1;
    EXPECT_TRUE(CDiskFile::bGetDiskSpace(m_sDir.c_str(), &oTotal, &oFree));
    EXPECT_GT(oTotal, 0);
    EXPECT_GE(oFree, 0);
    EXPECT_LE(oFree, oTotal);
    EXPECT_TRUE(CDiskFile::bGetDiskFreeSpace(m_sDir.c_str(), &oFree));
    EXPECT_FALSE(CDiskFile::bGetDiskSpace(Path("missing").c_str(), &oTotal, nullptr, &clErr));
    EXPECT_EQ(clErr.nGetErrorId(0), XMSG_DISKSPACE);
}

TEST_F(FsOpsTest, LoadWholeFile) {
    std::string sData("a\0b\xff", 4);
    WriteFile(Path("bin"), sData);
    CZNBIN clBin;
    ASSERT_TRUE(CDiskFile::bChargeFichier(&clBin, Path("bin").c_str()));
    ASSERT_EQ(clBin.nGetTaille(), 4);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(clBin.pGet()), 4), sData);
    CXError clErr;
    EXPECT_FALSE(CDiskFile::bChargeFichier(&clBin, Path("none").c_str(), &clErr));
    EXPECT_EQ(clErr.nGetErrorId(0), XMSG_OPEN);
}

// --- Searches -------------------------------------------------------------------

TEST_F(FsOpsTest, FindWithAttributes) {
    WriteFile(Path("a.txt"), "12345");
    WriteFile(Path("b.txt"), "");
    WriteFile(Path("c.dat"), "");
    ASSERT_EQ(mkdir(Path("d.txt").c_str(), 0777), 0);
    ASSERT_EQ(symlink("d.txt", Path("l.txt").c_str()), 0);
    auto find = [&](const char* pszPattern, uint32_t dwReq, uint32_t dwExcl) {
        std::set<std::string> s;
        _stXFINDDATA st;
        bool b = CDiskFile::bFindFirst(pszPattern, &st, dwReq, dwExcl);
        while (b) {
            s.insert(st.szName);
            b = CDiskFile::bFindNext(&st);
        }
        CDiskFile::bFindClose(&st);
        return s;
    };
    const std::string sPattern = m_sDir + "/*.txt";
    EXPECT_EQ(find(sPattern.c_str(), 0, 0), (std::set<std::string>{"a.txt", "b.txt", "d.txt", "l.txt"}));
    EXPECT_EQ(find(sPattern.c_str(), 0, XFILE_ATTRIBUTE_DIRECTORY), (std::set<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(find(sPattern.c_str(), XFILE_ATTRIBUTE_DIRECTORY, 0), (std::set<std::string>{"d.txt", "l.txt"}));
    EXPECT_EQ(find((m_sDir + "/?.dat").c_str(), 0, 0), (std::set<std::string>{"c.dat"}));
    _stXFINDDATA st;
    ASSERT_TRUE(CDiskFile::bFindFirst((m_sDir + "/a.*").c_str(), &st, 0, 0));
    EXPECT_EQ(st.oSize, 5);
    EXPECT_EQ(st.dwAttributes & 0xF000u, 0x8000u);
    CXError clErr;
    EXPECT_FALSE(CDiskFile::bFindNext(&st, &clErr));
    EXPECT_EQ(clErr.nGetErrorId(0), XMSG_FINDNEXT);
    EXPECT_EQ(st.hDir, nullptr);
    EXPECT_FALSE(CDiskFile::bFindNext(&st, &clErr));   // already closed: no message
    EXPECT_EQ(clErr.nNumErrorId(), 0);
    EXPECT_FALSE(CDiskFile::bFindFirst((m_sDir + "/nodir/*").c_str(), &st, 0, 0, &clErr));
    EXPECT_EQ(clErr.nGetErrorId(0), XMSG_FINDFIRST);
    EXPECT_FALSE(CDiskFile::bFindFirst((m_sDir + "/*.none").c_str(), &st, 0, 0, &clErr));
    EXPECT_EQ(clErr.nGetErrorId(0), XMSG_FINDNEXT);
}

// --- Trees ----------------------------------------------------------------------

class TreeTest : public TempDirTest {
protected:
    // root/f1.txt, root/.h.txt, root/s/f2.txt, root/s/t/f3.log, a link
    // root/s/up -> root (a cycle), a link root/out -> outside/, and
    // outside/keep.txt.
    void SetUp() override {
        TempDirTest::SetUp();
        m_sRoot = Path("root");
        ASSERT_EQ(mkdir(m_sRoot.c_str(), 0777), 0);
        ASSERT_EQ(mkdir((m_sRoot + "/s").c_str(), 0777), 0);
        ASSERT_EQ(mkdir((m_sRoot + "/s/t").c_str(), 0777), 0);
        ASSERT_EQ(mkdir(Path("outside").c_str(), 0777), 0);
        WriteFile(m_sRoot + "/f1.txt", "1");
        WriteFile(m_sRoot + "/.h.txt", "h");
        WriteFile(m_sRoot + "/s/f2.txt", "2");
        WriteFile(m_sRoot + "/s/t/f3.log", "3");
        WriteFile(Path("outside/keep.txt"), "k");
        ASSERT_EQ(symlink(m_sRoot.c_str(), (m_sRoot + "/s/up").c_str()), 0);
        ASSERT_EQ(symlink(Path("outside").c_str(), (m_sRoot + "/out").c_str()), 0);
    }
    std::string m_sRoot;
};

bool Collect(const char* psz, void* pUser) {
    static_cast<std::vector<std::string>*>(pUser)->push_back(psz);
    return true;
}

TEST_F(TreeTest, ParseDirWithLinksAndCycles) {
    struct Case {
        const char* pszPattern;
        bool bRecursive;
        bool bWithDirectories;
        std::vector<std::string> vExpected;   // relative to the root
    };
    const Case aCases[] = {
        {"*.txt", true, false, {".h.txt", "f1.txt", "s/f2.txt"}},
        {"*", true, false, {".h.txt", "f1.txt", "s/f2.txt", "s/t/f3.log"}},
        {"*", false, false, {".h.txt", "f1.txt"}},
        {"*", false, true, {".h.txt", "f1.txt", "out", "s"}},
        {"f*", true, true, {"f1.txt", "s/f2.txt", "s/t/f3.log"}},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(std::string(c.pszPattern) + (c.bRecursive ? " recursive" : "") +
                     (c.bWithDirectories ? " with directories" : ""));
        CParseDir clWalk;
        std::vector<std::string> vEntered;
        clWalk.SetCallBack([](const char* psz, void* p) { static_cast<std::vector<std::string>*>(p)->push_back(psz); },
                           &vEntered);
        std::vector<std::string> v;
        char a[XFILE_MAX_PATH];
        bool b = clWalk.bGetFirst(m_sRoot.c_str(), c.pszPattern, c.bRecursive, a, sizeof(a), c.bWithDirectories);
        while (b) {
            std::string s(a);
            EXPECT_EQ(s.substr(0, m_sRoot.size() + 1), m_sRoot + "/");
            v.push_back(s.substr(m_sRoot.size() + 1));
            ASSERT_LT(v.size(), 100u) << "walk does not end";
            b = clWalk.bGetNext(a, sizeof(a));
        }
        std::sort(v.begin(), v.end());
        EXPECT_EQ(v, c.vExpected);
        if (c.bRecursive) {
            std::sort(vEntered.begin(), vEntered.end());
            EXPECT_EQ(vEntered, (std::vector<std::string>{m_sRoot, m_sRoot + "/s", m_sRoot + "/s/t"}));
        }
    }
}

TEST_F(TreeTest, DoOnTreeNeverLeavesTheTree) {
    std::vector<std::string> v;
    ASSERT_TRUE(CDiskFile::bDoOnFileTree(m_sRoot.c_str(), "*", Collect, &v));
    for (std::string& s : v) s = s.substr(m_sRoot.size() + 1);
    std::sort(v.begin(), v.end());
    EXPECT_EQ(v, (std::vector<std::string>{".h.txt", "f1.txt", "s/f2.txt", "s/t/f3.log"}));
    v.clear();
    ASSERT_TRUE(CDiskFile::bDoOnDirectoryTree(m_sRoot.c_str(), "*", Collect, &v));
    std::sort(v.begin(), v.end());
    EXPECT_EQ(v, (std::vector<std::string>{m_sRoot + "/s", m_sRoot + "/s/t"}));
    v.clear();
    EXPECT_FALSE(CDiskFile::bDoOnFileTree(m_sRoot.c_str(), "*", [](const char*, void* p) {
        auto* pv = static_cast<std::vector<std::string>*>(p);
        pv->push_back("x");
        return pv->size() < 2;
    }, &v));
    EXPECT_EQ(v.size(), 2u);
}

TEST_F(TreeTest, DeleteAndPurgeKeepWhatLinksPointTo) {
    ASSERT_TRUE(CDiskFile::bPurgeTree(m_sRoot.c_str()));
    EXPECT_TRUE(CDiskFile::bIsADirectory(m_sRoot.c_str()));
    std::vector<std::string> v;
    CParseDir clWalk;
    char a[XFILE_MAX_PATH];
    EXPECT_FALSE(clWalk.bGetFirst(m_sRoot.c_str(), "*", true, a, sizeof(a), true));
    EXPECT_EQ(ReadFile(Path("outside/keep.txt")), "k");

    ASSERT_EQ(mkdir((m_sRoot + "/s").c_str(), 0777), 0);
    WriteFile(m_sRoot + "/s/f2.txt", "2");
    ASSERT_EQ(symlink(m_sRoot.c_str(), (m_sRoot + "/s/up").c_str()), 0);
    ASSERT_EQ(symlink(Path("outside").c_str(), (m_sRoot + "/out").c_str()), 0);
    ASSERT_TRUE(CDiskFile::bDeleteTree(m_sRoot.c_str()));
    EXPECT_FALSE(Exists(m_sRoot));
    EXPECT_EQ(ReadFile(Path("outside/keep.txt")), "k");

    // A link given as the tree is not followed.
    ASSERT_EQ(symlink(Path("outside").c_str(), Path("lnk").c_str()), 0);
    CXError clErr;
    EXPECT_FALSE(CDiskFile::bDeleteTree(Path("lnk").c_str(), &clErr));
    EXPECT_EQ(clErr.nGetSystemError(), ENOTDIR);
    EXPECT_EQ(clErr.nGetErrorId(0), XMSG_DELETEDIR);
    EXPECT_EQ(ReadFile(Path("outside/keep.txt")), "k");
}

TEST_F(TreeTest, ReadOnlyDirectories) {
    ASSERT_EQ(chmod((m_sRoot + "/s/t").c_str(), 0555), 0);
    if (geteuid() != 0) {
        // Permissions bind only other users than the super-user.
        CXError clErr;
        EXPECT_FALSE(CDiskFile::bDeleteTree(m_sRoot.c_str(), &clErr));
        EXPECT_EQ(clErr.nGetSystemError(), EACCES);
        EXPECT_TRUE(CDiskFile::bDeleteTreeEvenReadOnly(m_sRoot.c_str()));
    } else {
        EXPECT_TRUE(CDiskFile::bForceDeleteTree(m_sRoot.c_str()));
    }
    EXPECT_FALSE(Exists(m_sRoot));
    EXPECT_EQ(ReadFile(Path("outside/keep.txt")), "k");
}

TEST_F(TreeTest, ForcePurgeEmptiesAndKeepsTheTop) {
    ASSERT_TRUE(CDiskFile::bForcePurgeTree(m_sRoot.c_str()));
    EXPECT_TRUE(CDiskFile::bIsADirectory(m_sRoot.c_str()));
    EXPECT_FALSE(Exists(m_sRoot + "/s"));
    EXPECT_FALSE(Exists(m_sRoot + "/out"));
    EXPECT_EQ(ReadFile(Path("outside/keep.txt")), "k");
}

}  // namespace
