// The memory-zone object handed to other components, and the engine used
// from several threads at once.
#include <thread>
#include <vector>

#include "runtime/znlibrary.h"
#include "core/any.h"
#include "memzone/mz_test_util.h"
#include "memzone/zonememoire.h"
#include "qvstd/xerror.h"

namespace mztest {
namespace {

TEST_F(MemTest, ZoneMemoire) {
    CZNLibrary clLib;
    CZoneMemoire* pcl = MEM_pclCreeZoneMemoire(&clLib);
    ASSERT_NE(pcl, nullptr);
    EXPECT_EQ(pcl->nGetDllNum(), 8);
    ASSERT_EQ(MEM_eAjoute("Z", Txt("k").st(), Ent(42).st()), MEMR_OK);
    ASSERT_EQ(MEM_eAjoute("Z", Txt("l").st(), Txt("texte").st()), MEMR_OK);
    CXError clErreur;
    CAny cl;
    struct {
        const char* pszZone;
        int32_t n;
        int nLu;
        int nType;
        int nErreur;
    } atab[] = {
        {"z", 1, 1, ANY_I4, 0},
        {"Z", 2, 1, ANY_DSTR, 0},
        {"Z", 3, 0, ANY_DSTR, 0},
        {"inconnue", 1, 0, ANY_DSTR, 80261},
        {nullptr, 1, 0, ANY_DSTR, 0},
    };
    for (const auto& st : atab) {
        clErreur.RAZ();
        EXPECT_EQ(pcl->clMemRecupere(st.pszZone, st.n, &cl, &clErreur), st.nLu) << st.n;
        EXPECT_EQ(cl.nGetType(), st.nType) << st.n;
        EXPECT_EQ(clErreur.nGetUserError(), st.nErreur) << st.n;
    }
    int32_t n;
    ASSERT_EQ(pcl->clMemRecupere("Z", 1, &cl, nullptr), 1);
    memcpy(&n, cl.pGetValeur(), 4);
    EXPECT_EQ(n, 42);
    EXPECT_EQ(pcl->bMemExiste("z", nullptr), 1);
    EXPECT_EQ(pcl->bMemExiste("y", nullptr), 0);
    EXPECT_EQ(pcl->nMemOccurrence("Z", &clErreur), 2);
    clErreur.RAZ();
    EXPECT_EQ(pcl->nMemOccurrence("y", &clErreur), -1);
    EXPECT_EQ(clErreur.nGetUserError(), 80261);
    // Without an error object, the library object's receives the error.
    EXPECT_EQ(pcl->nMemOccurrence("y", nullptr), -1);
    EXPECT_EQ(clLib.pclGetError()->nGetUserError(), 80261);
    EXPECT_EQ(pcl->AddRef(), 2);
    EXPECT_EQ(pcl->Release(), 1);
    EXPECT_EQ(pcl->Release(), 0);
}

// Threads adding to their own zones and to one shared zone, and reading
// and sorting meanwhile: every record arrives once, none is torn.
TEST_F(MemTest, PlusieursThreads) {
    Limites(LimitesReduites(1024, 2, 6, 7));
    constexpr int k_nThreads = 4, k_nAjouts = 2000;
    std::vector<std::thread> tab;
    for (int t = 0; t < k_nThreads; ++t) {
        tab.emplace_back([t] {
            const std::string sPropre = "propre" + std::to_string(t);
            for (int i = 0; i < k_nAjouts; ++i) {
                const STDonnee stV = Txt(std::to_string(t) + ":" + std::to_string(i));
                MEM_eAjoute(sPropre.c_str(), Ent(i).st(), stV.st());
                MEM_eAjoute("commune", Ent(t * k_nAjouts + i).st(), stV.st());
                if (i % 97 == 0) MEM_eTri("commune", i % 2);
                CMemLecture cl;
                MEM_eSuivant("commune", &cl);
                MEM_ePremier(sPropre.c_str(), &cl);
            }
        });
    }
    for (std::thread& th : tab) th.join();
    ASSERT_EQ(lMemOccurrence("commune"), k_nThreads * k_nAjouts);
    ASSERT_EQ(MEM_eTri("commune", 1), MEMR_OK);
    for (int t = 0; t < k_nThreads; ++t) {
        const std::string sPropre = "propre" + std::to_string(t);
        ASSERT_EQ(lMemOccurrence(sPropre.c_str()), k_nAjouts);
        for (int i = 0; i < k_nAjouts; i += 13) {
            CMemLecture cl;
            ASSERT_EQ(MEM_eRecupere(sPropre.c_str(), i + 1, &cl), MEMR_OK);
            EXPECT_EQ(Lu(cl), Txt(std::to_string(t) + ":" + std::to_string(i)));
            ASSERT_EQ(MEM_eRecupere("commune", t * k_nAjouts + i + 1, &cl), MEMR_OK);
            EXPECT_EQ(Lu(cl), Txt(std::to_string(t) + ":" + std::to_string(i)));
        }
    }
}

}  // namespace
}  // namespace mztest
