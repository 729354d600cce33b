// Shared memory zones as file handles: bounds, refusals, read-only zones,
// and one zone written by a second process and read by the first (ANSI and
// Unicode with its byte-order mark).
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "component/compo.h"
#include "files/fh_commun.h"
#include "files/fh_table.h"
#include "files/functions.h"
#include "files/sharedmem.h"
#include "handles_test_util.h"
#include "qvstd/manipaub.h"

namespace {

class Zones : public filestest::HandlesTest {
protected:
    void TearDown() override {
        _FIC_FinModule();
        // The component never removes a segment: the test does, while the
        // key files are still there.
        for (const std::string& s : m_tabZones) {
            const key_t k = ftok(s.c_str() + 1, s[0]);
            const int id = k != -1 ? shmget(k, 0, 0) : -1;
            if (id != -1) shmctl(id, IPC_RMID, nullptr);
        }
        HandlesTest::TearDown();
    }
    // A zone name over a fresh key file.
    std::string Zone(const std::string& sFichier) {
        WriteFile(Path(sFichier), "");
        m_tabZones.push_back("Q" + Path(sFichier));
        return m_tabZones.back();
    }
    std::string Lit(int h, int n) {
        CZNDSTR s = files::fLit(m_clLib, h, n);
        return std::string(s.pszGet(), size_t(s.nGetLongueur()));
    }

    std::vector<std::string> m_tabZones;
};

TEST_F(Zones, AZoneIsAFixedSizeFile) {
    const std::string s = Zone("z1");
    EXPECT_FALSE(files::fMemExiste(m_clLib, Nom(s)));
    const int h = files::fMemOuvre(m_clLib, Nom(s), 100);
    ASSERT_GE(h, 2) << Erreur();
    EXPECT_TRUE(files::fMemExiste(m_clLib, Nom(s)));
    char sz150[151];
    memset(sz150, 'x', 150);
    sz150[150] = 0;
    struct Cas {
        const char* pszCas;
        long long oAttendu;
        std::function<long long()> fn;
    } tab[] = {
        {"a write cut at the end", 100, [&] { return files::fEcrit(m_clLib, h, Nom(sz150)); }},
        {"a seek to the size", -1, [&] { return files::fPositionne(m_clLib, h, 100, 0); }},
        {"a seek inside", 98, [&] { return files::fPositionne(m_clLib, h, 98, 0); }},
        {"a read cut at the end", 2, [&] { return (long long)Lit(h, 10).size(); }},
        {"a seek back from the end", 0, [&] { return files::fPositionne(m_clLib, h, -100, 2); }},
        {"a line", 7, [&] {
             files::fEcritLigne(m_clLib, h, Nom("premier"));
             files::fPositionne(m_clLib, h, 0, 0);
             return (long long)files::FIC_sLitLigne(m_clLib, h).nGetLongueur();
         }},
        {"its size", 100, [&] { return files::fTaille(m_clLib, h); }},
        {"no lock on a zone", 0, [&] { return files::fBloque(m_clLib, h) ? 1 : 0; }},
        {"no name for a zone", 0, [&] { return (long long)files::fNomFichier(m_clLib, h).nGetLongueur(); }},
    };
    for (const Cas& c : tab) EXPECT_EQ(c.fn(), c.oAttendu) << c.pszCas;
    EXPECT_EQ(files::fFerme(m_clLib, h), 0);
}

TEST_F(Zones, BadNamesAndReadOnlyZonesAreRefused) {
    struct Cas {
        const char* pszCas;
        std::string sNom;
    } tab[] = {{"empty", ""}, {"one character", "Q"}, {"no key file", "Q" + Path("absent")}};
    for (const Cas& c : tab) {
        m_clLib.RAZError();
        EXPECT_EQ(files::fMemOuvre(m_clLib, Nom(c.sNom), 10), -1) << c.pszCas;
        EXPECT_EQ(Erreur(), 81508) << c.pszCas;
    }
    const std::string s = Zone("z2");
    const int hEcrit = files::fMemOuvre(m_clLib, Nom(s), 16);
    ASSERT_GE(hEcrit, 2);
    EXPECT_EQ(files::fEcrit(m_clLib, hEcrit, Nom("abc")), 3);
    const int hLit = files::fMemOuvre(m_clLib, Nom(s), 16, 2, 1);
    ASSERT_GE(hLit, 2) << Erreur();
    m_clLib.RAZError();
    EXPECT_EQ(files::fEcrit(m_clLib, hLit, Nom("zzz")), -1);
    EXPECT_NE(Erreur(), 0);
    EXPECT_EQ(Lit(hLit, 3), "abc");
    m_clLib.RAZError();
    EXPECT_TRUE(files::fMemAttend(m_clLib, hLit));
    EXPECT_EQ(Erreur(), 81511);
}

// A second process writes, the first reads what it wrote.
TEST_F(Zones, WrittenByOneProcessReadByAnother) {
    struct Cas {
        const char* pszCas;
        int nMode;
        std::string sAttendu;   // the bytes at the start of the zone
    } tab[] = {
        {"ANSI", FO_LECTUREECRITURE, std::string("hello\r\n", 7)},
        {"Unicode", FO_LECTUREECRITURE + FO_UNICODE, std::string("\xFF\xFEh\0i\0\r\0\n\0", 10)},
    };
    int i = 0;
    for (const Cas& c : tab) {
        const std::string s = Zone("p" + std::to_string(i++));
        const pid_t pid = fork();
        ASSERT_NE(pid, -1);
        if (pid == 0) {
            CComposanteStandard clLib;
            const int h = files::fMemOuvre(clLib, Nom(s), 64, 2, c.nMode);
            const bool bOk = h >= 2 && files::fEcritLigne(clLib, h, Nom(c.nMode & FO_UNICODE ? "hi" : "hello"));
            _exit(bOk ? 0 : 1);
        }
        int nStatut = 0;
        ASSERT_EQ(waitpid(pid, &nStatut, 0), pid);
        ASSERT_TRUE(WIFEXITED(nStatut) && WEXITSTATUS(nStatut) == 0) << c.pszCas;
        const int h = files::fMemOuvre(m_clLib, Nom(s), 64, 2, c.nMode);
        ASSERT_GE(h, 2) << c.pszCas;
        // A Unicode zone that exists is read after its mark.
        EXPECT_EQ(files::fPositionne(m_clLib, h, 0, 1), c.nMode & FO_UNICODE ? 2 : 0) << c.pszCas;
        files::fPositionne(m_clLib, h, 0, 0);
        EXPECT_EQ(Lit(h, int(c.sAttendu.size())), c.sAttendu) << c.pszCas;
        files::fFerme(m_clLib, h);
    }
}

TEST(ProcessSemaphore, KeysAndCounts) {
    struct Cas {
        const char* psz;
        int32_t nCle;
    } tab[] = {{"", 1}, {"a", 'a'}, {"abcd", 0x64636261}, {"abcde", 0x64636261 + 'e'}};
    for (const Cas& c : tab) EXPECT_EQ(CQVSemProccess::s_nCle(c.psz), c.nCle) << c.psz;
}

}  // namespace
