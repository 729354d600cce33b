// Shared pieces of the file-layer tests: a fresh temporary directory per
// test (removed afterwards, links never followed), HOME pointed inside it,
// and small helpers to make and read files.
#pragma once
#include <fcntl.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace filestest {

// The 64-bit walk: a 32-bit stat cannot describe the sparse file of several
// gigabytes, and the plain walk would stop there and leave the folder behind.
inline int RemoveEntry(const char* pszPath, const struct stat64* pst, int, struct FTW*) {
    if (pst != nullptr && S_ISDIR(pst->st_mode)) chmod(pszPath, 0700);
    return remove(pszPath);
}

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        char szModele[] = "/tmp/qvfiles_XXXXXX";
        ASSERT_NE(mkdtemp(szModele), nullptr);
        m_sDir = szModele;
        const char* pszHome = getenv("HOME");
        m_bHadHome = pszHome != nullptr;
        if (m_bHadHome) m_sOldHome = pszHome;
        m_sHome = m_sDir + "/home";
        ASSERT_EQ(mkdir(m_sHome.c_str(), 0700), 0);
        setenv("HOME", m_sHome.c_str(), 1);
        char szCwd[4096];
        ASSERT_NE(getcwd(szCwd, sizeof(szCwd)), nullptr);
        m_sOldCwd = szCwd;
        m_nOldUmask = umask(022);
    }
    void TearDown() override {
        umask(m_nOldUmask);
        if (chdir(m_sOldCwd.c_str()) != 0) ADD_FAILURE() << "chdir back";
        // Make every directory searchable again, then remove depth first
        // without following links.
        nftw64(m_sDir.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
        if (m_bHadHome)
            setenv("HOME", m_sOldHome.c_str(), 1);
        else
            unsetenv("HOME");
    }

    std::string Path(const std::string& sName) const { return m_sDir + "/" + sName; }

    static void WriteFile(const std::string& sPath, const std::string& sData) {
        int nFd = open(sPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        ASSERT_GE(nFd, 0) << sPath;
        ASSERT_EQ(write(nFd, sData.data(), sData.size()), static_cast<ssize_t>(sData.size()));
        close(nFd);
    }
    static std::string ReadFile(const std::string& sPath) {
        std::string s;
        int nFd = open(sPath.c_str(), O_RDONLY);
        if (nFd < 0) return "<missing>";
        char a[4096];
        ssize_t n;
        while ((n = read(nFd, a, sizeof(a))) > 0) s.append(a, static_cast<size_t>(n));
        close(nFd);
        return s;
    }
    static bool Exists(const std::string& sPath) {
        struct stat st;
        return lstat(sPath.c_str(), &st) == 0;
    }
    static mode_t Mode(const std::string& sPath) {
        struct stat st;
        if (stat(sPath.c_str(), &st) != 0) return 0;
        return st.st_mode & 07777;
    }

    std::string m_sDir;
    std::string m_sHome;
    std::string m_sOldHome;
    std::string m_sOldCwd;
    bool m_bHadHome = false;
    mode_t m_nOldUmask = 022;
};

}  // namespace filestest
