// String memory: capacity classes, growth, the allocator's cache, the host's
// external allocator and per-thread recycling.
#include <gtest/gtest.h>
#include <pthread.h>

#include <cstring>
#include <thread>
#include <vector>

#include "core/strmem.h"
#include "core/zndstr.h"

namespace {

// Every test starts and ends with a freshly initialised module.
class StrMem : public ::testing::Test {
protected:
    void SetUp() override {
        STRMEM_TermModule();
        ASSERT_TRUE(STRMEM_bInitModule());
    }
    void TearDown() override { STRMEM_TermModule(); }
};

bool TerminatedAfterLength(const void* p) {
    const STStrMemHeader* pst = STRMEM_Header(p);
    static const char zero[4] = {0, 0, 0, 0};
    return std::memcmp(static_cast<const char*>(p) + pst->nLongueur, zero, 4) == 0;
}

struct CapaciteCase {
    uint32_t nTaille;
    uint32_t nCapaciteActuelle;
    uint32_t nAttendue;
};

TEST(StrMemCapacity, ClassesAndGrowthRule) {
    const CapaciteCase cases[] = {
        {0, 0, 104},       {1, 0, 104},         {104, 0, 104},       {105, 0, 1000},     {1000, 0, 1000},
        {1001, 0, 2002},   {5000, 0, 10000},    {2100, 2000, 2400},  {2300, 2000, 3000}, {2600, 2000, 4000},
        {3100, 2000, 6200}, {2199, 2000, 2400}, {2200, 2000, 3000},  {2399, 2000, 3000}, {2999, 2000, 4000},
        {3000, 2000, 6000}, {500, 2000, 1000},  {0x7FFFFEFF, 0, 0xFFFFFDFEu},
    };
    for (const auto& c : cases)
        EXPECT_EQ(STRMEM_nGetCapacite(c.nTaille, c.nCapaciteActuelle), c.nAttendue)
            << "size " << c.nTaille << " from capacity " << c.nCapaciteActuelle;
    // Above the maximum length no capacity exists.
    EXPECT_EQ(STRMEM_nGetCapacite(0x7FFFFF00u, 0), 0u);
    EXPECT_EQ(STRMEM_nGetCapacite(0xFFFFFFFFu, 0), 0u);
}

TEST_F(StrMem, AllocationSetsHeaderAndZeros) {
    IStrMemAlloc* pcl = CStrMemAlloc::s_pclGetAllocateur();
    ASSERT_NE(pcl, nullptr);
    EXPECT_STREQ(static_cast<CStrMemAlloc*>(pcl)->pszGetNom(), "QVSTD");
    struct {
        uint32_t nTaille, nCapacite;
    } cases[] = {{0, 104}, {104, 104}, {105, 1000}, {1000, 1000}, {1001, 2002}};
    for (const auto& c : cases) {
        void* p = nullptr;
        ASSERT_EQ(pcl->vnAllocStrMem(&p, c.nTaille), 0);
        const STStrMemHeader* pst = STRMEM_Header(p);
        EXPECT_EQ(pst->pclAllocateur, pcl);
        EXPECT_EQ(pst->nCapacite, c.nCapacite);
        EXPECT_EQ(pst->nLongueur, 0u);
        EXPECT_EQ(pst->nRef, 1);
        EXPECT_EQ(pst->dwFlags, 0u);
        EXPECT_TRUE(TerminatedAfterLength(p));
        const char* pc = static_cast<const char*>(p);
        for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(pc[pst->nCapacite + i], 0);
        STRMEM_Release(p);
    }
}

TEST_F(StrMem, TooLongIs108AndNothingAllocated) {
    IStrMemAlloc* pcl = CStrMemAlloc::s_pclGetAllocateur();
    for (uint32_t n : {0x7FFFFF00u, 0x80000000u, 0xFFFFFFFFu}) {
        void* p = reinterpret_cast<void*>(1);
        EXPECT_EQ(pcl->vnAllocStrMem(&p, n), 108) << n;
        EXPECT_EQ(p, reinterpret_cast<void*>(1));
    }
    CZNDSTR s("abc");
    EXPECT_EQ(s.nSetLength(0x7FFFFF00u), 108);
    EXPECT_STREQ(s.pszGet(), "abc");
    void* p = nullptr;
    ASSERT_EQ(pcl->vnAllocStrMem(&p, 10), 0);
    EXPECT_EQ(pcl->vnReallocStrMem(&p, 0x7FFFFF00u), 108);
    EXPECT_EQ(STRMEM_Header(p)->nCapacite, 104u);
    STRMEM_Release(p);
}

#if defined(__i386__)
TEST_F(StrMem, MaximumLengthIsAcceptedButCannotBeMet) {
    // 0x7FFFFEFF is a legal length; its 4 GB block cannot exist in a 32-bit
    // process, so the answer is out of memory, not "too long".
    CZNDSTR s("keep");
    EXPECT_EQ(s.nSetLength(0x7FFFFEFFu), 100);
    EXPECT_STREQ(s.pszGet(), "keep");
}
#endif

TEST_F(StrMem, ReallocGrowsByRuleAndKeepsContent) {
    IStrMemAlloc* pcl = CStrMemAlloc::s_pclGetAllocateur();
    const struct {
        uint32_t nDepuis, nVers, nAttendue;
    } cases[] = {{2000, 2100, 2400}, {2000, 2300, 3000}, {2000, 2600, 4000}, {2000, 3100, 6200},
                 {104, 105, 1000},   {104, 1001, 2002},  {1000, 1001, 1200}, {2000, 1500, 2000}};
    for (const auto& c : cases) {
        void* p = nullptr;
        ASSERT_EQ(pcl->vnAllocStrMem(&p, c.nDepuis == 2000 ? 1000 : c.nDepuis), 0);
        // A 2000-byte block exists only through growth: 1000 asked for 1400.
        if (c.nDepuis == 2000) {
            ASSERT_EQ(pcl->vnReallocStrMem(&p, 1400), 0);
        }
        ASSERT_EQ(STRMEM_Header(p)->nCapacite, c.nDepuis);
        std::memset(p, 'x', 50);
        STRMEM_Header(p)->nLongueur = 50;
        STRMEM_Header(p)->dwFlags = SMK_BINARY | SMK_MARK;
        ASSERT_EQ(pcl->vnReallocStrMem(&p, c.nVers), 0);
        EXPECT_EQ(STRMEM_Header(p)->nCapacite, c.nAttendue) << c.nDepuis << "->" << c.nVers;
        EXPECT_EQ(STRMEM_Header(p)->nLongueur, 50u);
        EXPECT_EQ(STRMEM_Header(p)->dwFlags, uint32_t(SMK_BINARY | SMK_MARK));
        EXPECT_EQ(std::string(static_cast<char*>(p), 50), std::string(50, 'x'));
        STRMEM_Release(p);
    }
}

TEST_F(StrMem, NoCacheBeforeTheHostGivesItsFlag) {
    CStrMemAlloc* pcl = CStrMemAlloc::ms_pclInterne;
    {
        CZNDSTR s("short");
    }
    EXPECT_EQ(pcl->nGetNbLibre(104), 0);
    EXPECT_EQ(pcl->_pclGetRecycleur(), nullptr);
}

TEST_F(StrMem, SingleThreadCacheIsCappedAt20PerClass) {
    int nMultiThread = 0;
    ASSERT_EQ(STRMEM_nGeneralParam(2006, reinterpret_cast<intptr_t>(&nMultiThread)), 1);
    CStrMemAlloc* pcl = CStrMemAlloc::ms_pclInterne;
    for (uint32_t nTaille : {10u, 500u}) {
        uint32_t nCapacite = STRMEM_nGetCapacite(nTaille, 0);
        std::vector<CZNDSTR> v(21);
        for (auto& s : v) ASSERT_EQ(s.nSetLength(nTaille), 0);
        void* pDernier = v.back().pGetMemoire();
        v.clear();
        EXPECT_EQ(pcl->nGetNbLibre(nCapacite), 20) << nTaille;
        // The most recently cached block is handed out first.
        CZNDSTR s;
        ASSERT_EQ(s.nSetLength(nTaille), 0);
        EXPECT_NE(s.pGetMemoire(), pDernier);  // the 21st was freed, not cached
        EXPECT_EQ(pcl->nGetNbLibre(nCapacite), 19);
        EXPECT_EQ(STRMEM_Header(s.pGetMemoire())->nRef, 1);
        EXPECT_EQ(s.nGetLongueur(), 0);
    }
    // Long blocks are never cached.
    {
        CZNDSTR s;
        ASSERT_EQ(s.nSetLength(5000), 0);
    }
    EXPECT_EQ(pcl->nGetNbLibre(10000), 0);
}

TEST_F(StrMem, CacheRefusesBlocksOfOtherCapacitiesAndTheTwentyFirst) {
    CStrMemCache clCache;
    IStrMemAlloc* pcl = CStrMemAlloc::s_pclGetAllocateur();
    std::vector<void*> v;
    for (int i = 0; i < 21; ++i) {
        void* p = nullptr;
        ASSERT_EQ(pcl->vnAllocStrMem(&p, 1), 0);
        v.push_back(p);
    }
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(clCache.vbAjoute(v[size_t(i)]));
    EXPECT_FALSE(clCache.vbAjoute(v[20]));
    EXPECT_EQ(clCache.nGetNbLibre(104), 20);
    STRMEM_Release(v[20]);
    void* pLong = nullptr;
    ASSERT_EQ(pcl->vnAllocStrMem(&pLong, 2000), 0);
    EXPECT_FALSE(clCache.vbAjoute(pLong));
    EXPECT_EQ(clCache.vpRecupere(4000), nullptr);
    EXPECT_EQ(clCache.vpRecupere(104), v[19]);
    EXPECT_EQ(clCache.nGetNbLibre(104), 19);
    STRMEM_Release(v[19]);
    STRMEM_Release(pLong);
    EXPECT_EQ(clCache.vpRecupere(1000), nullptr);
    clCache.vSupprimeTout();  // frees through the owning allocator
    EXPECT_EQ(clCache.nGetNbLibre(104), 0);
    EXPECT_EQ(clCache.vpRecupere(104), nullptr);
}

TEST_F(StrMem, ReallocThroughTheCacheMovesContent) {
    int nMultiThread = 0;
    STRMEM_nGeneralParam(2006, reinterpret_cast<intptr_t>(&nMultiThread));
    CZNDSTR sMoyen;
    ASSERT_EQ(sMoyen.nSetLength(500), 0);
    sMoyen.Vide();  // one medium block now cached
    CStrMemAlloc* pcl = CStrMemAlloc::ms_pclInterne;
    ASSERT_EQ(pcl->nGetNbLibre(1000), 1);
    CZNDSTR s("0123456789");
    ASSERT_EQ(s.nConcat(std::string(200, 'z').c_str()), 0);
    EXPECT_EQ(pcl->nGetNbLibre(1000), 0);
    EXPECT_EQ(pcl->nGetNbLibre(104), 1);  // the old short block went back
    EXPECT_EQ(s.nGetCapacite(), 1000);
    EXPECT_EQ(std::string(s.pszGet()), "0123456789" + std::string(200, 'z'));
    EXPECT_TRUE(TerminatedAfterLength(s.pGetMemoire()));
}

TEST_F(StrMem, TypeCodes) {
    EXPECT_EQ(s_nGetTypeAUB(nullptr), 19);
    CZNDSTR s("a");
    EXPECT_EQ(s_nGetTypeAUB(s.pGetMemoire()), 19);
    const struct {
        int nCode;
        uint32_t dwKind;
        int nLu;
    } cases[] = {{16, SMK_UNICODE, 16}, {28, SMK_BINARY, 28}, {19, SMK_ANSI, 19}, {12, SMK_ANSI, 19}};
    for (const auto& c : cases) {
        s_VerifieTypeAUB(s.pGetMemoire(), c.nCode);
        EXPECT_EQ(STRMEM_Header(s.pGetMemoire())->dwFlags & SMK_KINDS, c.dwKind) << c.nCode;
        EXPECT_EQ(s_nGetTypeAUB(s.pGetMemoire()), c.nLu);
    }
    STRMEM_Header(s.pGetMemoire())->dwFlags = SMK_MARK;
    EXPECT_EQ(s_nGetTypeAUB(s.pGetMemoire()), 19);
    s_VerifieTypeAUB(s.pGetMemoire(), 28);
    EXPECT_EQ(STRMEM_Header(s.pGetMemoire())->dwFlags, uint32_t(SMK_MARK | SMK_BINARY));
    s_VerifieTypeAUB(nullptr, 16);  // accepted, nothing to do
    s_ReleaseStrMem(nullptr);
}

TEST_F(StrMem, ReleaseOnlyDecrementsWhileShared) {
    CZNDSTR a("shared");
    void* p = a.pGetMemoire();
    ++STRMEM_Header(p)->nRef;
    s_ReleaseStrMem(p);
    EXPECT_EQ(STRMEM_Header(p)->nRef, 1);
    EXPECT_STREQ(a.pszGet(), "shared");
}

TEST_F(StrMem, GeneralParamCodes) {
    EXPECT_EQ(STRMEM_nGeneralParam(2007, 5), 0);
    EXPECT_EQ(STRMEM_nGeneralParam(0, 0), 0);
    EXPECT_EQ(STRMEM_nGeneralParam(2005, 7), 1);
    EXPECT_TRUE(CStrMemAlloc::ms_bTLS);
    EXPECT_EQ(CStrMemAlloc::ms_nCleTLS, 7u);
    int nFlag = 0;
    EXPECT_EQ(STRMEM_nGeneralParam(2006, reinterpret_cast<intptr_t>(&nFlag)), 1);
    EXPECT_EQ(CStrMemAlloc::ms_pnMultiThread, &nFlag);
    // A null allocator is refused: every later allocation would fault.
    EXPECT_EQ(STRMEM_nGeneralParam(2008, 0), 0);
    EXPECT_FALSE(CStrMemAlloc::ms_bAllocateurExterne);
    EXPECT_EQ(CStrMemAlloc::s_pclGetAllocateur(), CStrMemAlloc::ms_pclInterne);
}

// The host's allocator: an allocator of its own that counts what it does.
class CHostAlloc : public CStrMemAlloc {
public:
    CHostAlloc() : CStrMemAlloc("HOST") {}
    int vnAllocStrMem(void** pp, uint32_t n) override {
        ++m_nAllocs;
        return CStrMemAlloc::vnAllocStrMem(pp, n);
    }
    void vReleaseStrMem(void* p) override {
        if (STRMEM_Header(p)->pclAllocateur == this) ++m_nReleases;
        CStrMemAlloc::vReleaseStrMem(p);
    }
    int m_nAllocs = 0;
    int m_nReleases = 0;
};

TEST_F(StrMem, ExternalAllocatorHandOverWithLiveBlocks) {
    int nMultiThread = 0;
    STRMEM_nGeneralParam(2006, reinterpret_cast<intptr_t>(&nMultiThread));
    CStrMemAlloc* pclInterne = CStrMemAlloc::ms_pclInterne;
    CHostAlloc clHote;
    {
        CZNDSTR avant("made before");
        CZNDSTR copie(avant);
        {
            CZNDSTR tmp("cached");
        }
        ASSERT_EQ(pclInterne->nGetNbLibre(104), 1);

        ASSERT_EQ(STRMEM_nGeneralParam(2008, reinterpret_cast<intptr_t>(static_cast<IStrMemAlloc*>(&clHote))), 1);
        EXPECT_TRUE(CStrMemAlloc::ms_bAllocateurExterne);
        EXPECT_EQ(CStrMemAlloc::s_pclGetAllocateur(), &clHote);
        // The internal allocator's cache is gone, the allocator itself is not.
        EXPECT_EQ(CStrMemAlloc::ms_pclInterne, pclInterne);
        EXPECT_EQ(pclInterne->nGetNbLibre(104), 0);

        CZNDSTR apres("made after");
        EXPECT_EQ(STRMEM_Header(apres.pGetMemoire())->pclAllocateur, &clHote);
        EXPECT_EQ(clHote.m_nAllocs, 1);
        // Old blocks keep their owner for every later change.
        EXPECT_EQ(STRMEM_Header(avant.pGetMemoire())->pclAllocateur, pclInterne);
        ASSERT_EQ(avant.nConcat(std::string(300, 'q').c_str()), 0);  // copy on write: new block from the host
        EXPECT_EQ(STRMEM_Header(avant.pGetMemoire())->pclAllocateur, &clHote);
        EXPECT_EQ(STRMEM_Header(copie.pGetMemoire())->pclAllocateur, pclInterne);
        ASSERT_EQ(copie.nConcat(std::string(300, 'r').c_str()), 0);  // private: reallocated by its owner
        EXPECT_EQ(STRMEM_Header(copie.pGetMemoire())->pclAllocateur, pclInterne);
        EXPECT_EQ(copie.nGetLongueur(), 311);
        // A second hand-over replaces the external allocator only.
        ASSERT_EQ(STRMEM_nGeneralParam(2008, reinterpret_cast<intptr_t>(static_cast<IStrMemAlloc*>(&clHote))), 1);
    }
    EXPECT_EQ(clHote.m_nReleases, 2);
    // Term releases our allocator only; the host's stays the host's.
    STRMEM_TermModule();
    EXPECT_EQ(CStrMemAlloc::ms_pclInterne, nullptr);
}

// Per-thread recycling: the host keeps one cache per thread in its TLS slot.
TEST_F(StrMem, PerThreadRecyclersWithTwoThreads) {
    pthread_key_t nCle;
    ASSERT_EQ(pthread_key_create(&nCle, nullptr), 0);
    int nMultiThread = 1;
    STRMEM_nGeneralParam(2005, static_cast<intptr_t>(nCle));
    STRMEM_nGeneralParam(2006, reinterpret_cast<intptr_t>(&nMultiThread));
    CStrMemAlloc* pclInterne = CStrMemAlloc::ms_pclInterne;

    struct Resultat {
        int nLibresApres = -1;
        bool bReutilise = false;
        int nLibresInterne = -1;
        bool bValeurs = false;
    } res[2];
    auto travail = [&](int i) {
        CStrMemCache clRecycleur;
        pthread_setspecific(nCle, &clRecycleur);
        void* pPremier;
        {
            CZNDSTR s;
            s.nPrintf("thread %d", i);
            pPremier = s.pGetMemoire();
        }
        res[i].nLibresApres = clRecycleur.nGetNbLibre(104);
        std::vector<CZNDSTR> v;
        for (int k = 0; k < 30; ++k) {
            CZNDSTR s;
            s.nPrintf("%d-%d", i, k);
            if (k == 0) res[i].bReutilise = s.pGetMemoire() == pPremier;
            v.push_back(s);
        }
        res[i].bValeurs = std::strcmp(v[29].pszGet(), i == 0 ? "0-29" : "1-29") == 0;
        v.clear();
        res[i].nLibresInterne = pclInterne->nGetNbLibre(104);
        // Cap reached in this thread's recycler; the rest was freed.
        EXPECT_EQ(clRecycleur.nGetNbLibre(104), 20);
        pthread_setspecific(nCle, nullptr);
    };
    std::thread t0(travail, 0), t1(travail, 1);
    t0.join();
    t1.join();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(res[i].nLibresApres, 1) << i;
        EXPECT_TRUE(res[i].bReutilise) << i;
        EXPECT_TRUE(res[i].bValeurs) << i;
        EXPECT_EQ(res[i].nLibresInterne, 0) << i;  // the allocator's own lists are not used
    }
    // A thread without a recycler allocates and frees directly.
    std::thread t2([&] {
        CZNDSTR s("no recycler");
        EXPECT_STREQ(s.pszGet(), "no recycler");
    });
    t2.join();
    pthread_key_delete(nCle);
}

TEST_F(StrMem, MultiThreadFlagWithoutTlsUsesNoCache) {
    int nMultiThread = 1;
    STRMEM_nGeneralParam(2006, reinterpret_cast<intptr_t>(&nMultiThread));
    {
        CZNDSTR s("x");
    }
    EXPECT_EQ(CStrMemAlloc::ms_pclInterne->nGetNbLibre(104), 0);
    nMultiThread = 0;  // the host's flag is read on every allocation
    {
        CZNDSTR s("x");
    }
    EXPECT_EQ(CStrMemAlloc::ms_pclInterne->nGetNbLibre(104), 1);
}

TEST(StrMemModule, UseBeforeInitCreatesTheInternalAllocator) {
    STRMEM_TermModule();
    {
        CZNDSTR s("early");
        EXPECT_STREQ(s.pszGet(), "early");
        EXPECT_NE(CStrMemAlloc::ms_pclInterne, nullptr);
    }
    EXPECT_TRUE(STRMEM_bInitModule());
    EXPECT_TRUE(STRMEM_bInitModule());  // twice: still one allocator
    STRMEM_TermModule();
    STRMEM_TermModule();
}

}  // namespace
