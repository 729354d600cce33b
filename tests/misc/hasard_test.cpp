// Random numbers: bounds, errors, the 64-bit range of Hasard(a, b), and
// sequences that repeat after InitHasard with a seed.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "runtime/znlibrary.h"
#include "misc/functions.h"

namespace {

struct STValeur {
    int nType = -1;
    int64_t n = 0;
    double r = 0;
    int nErreur = 0;
    // Reals to within rounding: x87 may keep one side in a wider register.
    bool operator==(const STValeur& st) const {
        return nType == st.nType && n == st.n && std::fabs(r - st.r) < 1e-12 && nErreur == st.nErreur;
    }
};

// Hasard with 0, 1 or 2 bounds, the variant read back.
STValeur Tire(std::initializer_list<int32_t> tabBornes) {
    CZNLibrary lib;
    CAny cl;
    const int32_t* p = tabBornes.begin();
    switch (tabBornes.size()) {
        case 0: misc::Hasard(lib, cl); break;
        case 1: misc::Hasard(lib, p[0], cl); break;
        default: misc::Hasard(lib, p[0], p[1], cl); break;
    }
    STValeur st;
    st.nType = cl.nGetType();
    if (st.nType == ANY_I4) {
        int32_t n = 0;
        EXPECT_EQ(cl.nGetINT(&n), 0);
        st.n = n;
    } else if (st.nType == ANY_R8) {
        EXPECT_EQ(cl.nGetREAL(&st.r), 0);
    }
    st.nErreur = lib.pclGetError()->nGetUserError();
    return st;
}

void Graine(int32_t n) {
    CZNLibrary lib;
    misc::InitHasard(lib, n);
}

TEST(Hasard, FixedAnswersAndErrors) {
    const struct {
        std::vector<int32_t> tabBornes;
        int64_t n;
        int nErreur;
    } tabCas[] = {
        {{1}, 1, 0},
        {{5, 5}, 5, 0},
        {{-9, -9}, -9, 0},
        {{INT32_MAX, INT32_MAX}, INT32_MAX, 0},
        {{0}, 0, 80260},
        {{-7}, 0, 80260},
        {{INT32_MIN}, 0, 80260},
        {{3, 2}, 0, 80210},
        {{INT32_MAX, INT32_MIN}, 0, 80210},
    };
    for (const auto& st : tabCas)
        for (int k = 0; k < 20; ++k) {
            const STValeur stV = st.tabBornes.size() == 1 ? Tire({st.tabBornes[0]}) : Tire({st.tabBornes[0], st.tabBornes[1]});
            EXPECT_EQ(stV.nType, ANY_I4);
            EXPECT_EQ(stV.n, st.n) << st.tabBornes[0];
            EXPECT_EQ(stV.nErreur, st.nErreur) << st.tabBornes[0];
        }
}

TEST(Hasard, ValuesFollowTheDrawsOfTheSeededGenerator) {
    // Each value is the low 15 bits of one draw scaled to the range, the
    // range taken in 64 bits.
    const std::vector<std::vector<int32_t>> tabAppels = {
        {}, {6}, {100}, {65536}, {INT32_MAX}, {-3, 3}, {0, 1}, {INT32_MIN, INT32_MAX}, {-2000000000, 2000000000},
    };
    for (int32_t nGraine : {1, 42, -5}) {
        Graine(nGraine);
        std::vector<STValeur> tabObtenus;
        for (int k = 0; k < 50; ++k)
            for (const auto& tab : tabAppels) {
                if (tab.empty()) tabObtenus.push_back(Tire({}));
                else if (tab.size() == 1) tabObtenus.push_back(Tire({tab[0]}));
                else tabObtenus.push_back(Tire({tab[0], tab[1]}));
            }
        srand(static_cast<unsigned>(nGraine));
        size_t i = 0;
        for (int k = 0; k < 50; ++k)
            for (const auto& tab : tabAppels) {
                const int64_t nTirage = rand() & 0x7FFF;
                STValeur stAttendu;
                if (tab.empty()) {
                    stAttendu.nType = ANY_R8;
                    stAttendu.r = double(nTirage) / 32767.0;
                } else {
                    const int64_t a = tab.size() == 1 ? 1 : tab[0];
                    const int64_t b = tab.back();
                    stAttendu.nType = ANY_I4;
                    stAttendu.n = a + nTirage * (b - a + 1) / 32768;
                }
                ASSERT_TRUE(tabObtenus[i] == stAttendu) << "call " << i << " seed " << nGraine << ": " << tabObtenus[i].n
                                                         << " / " << stAttendu.n;
                ++i;
            }
    }
}

TEST(Hasard, EveryValueOfASmallRangeComesAndNoOther) {
    Graine(7);
    std::set<int64_t> tabVus;
    for (int k = 0; k < 2000; ++k) {
        const STValeur st = Tire({-3, 3});
        ASSERT_GE(st.n, -3);
        ASSERT_LE(st.n, 3);
        tabVus.insert(st.n);
    }
    EXPECT_EQ(tabVus.size(), 7u);
    // The whole 32-bit range: not stuck at its lower bound.
    std::set<int64_t> tabLarge;
    for (int k = 0; k < 100; ++k) tabLarge.insert(Tire({INT32_MIN, INT32_MAX}).n);
    EXPECT_GT(tabLarge.size(), 50u);
    EXPECT_GT(*tabLarge.rbegin(), 0);
}

TEST(Hasard, RealsBetweenZeroAndOne) {
    Graine(3);
    for (int k = 0; k < 1000; ++k) {
        const STValeur st = Tire({});
        ASSERT_EQ(st.nType, ANY_R8);
        ASSERT_GE(st.r, 0.0);
        ASSERT_LE(st.r, 1.0);
    }
}

TEST(Hasard, SameSeedSameSequence) {
    for (int32_t nGraine : {0, 1, 12345, -1}) {
        std::vector<int64_t> tab1, tab2;
        Graine(nGraine);
        for (int k = 0; k < 100; ++k) tab1.push_back(Tire({1000}).n);
        Graine(nGraine);
        for (int k = 0; k < 100; ++k) tab2.push_back(Tire({1000}).n);
        EXPECT_EQ(tab1, tab2) << nGraine;
    }
    // The start of the family restarts the sequence of seed 0.
    std::vector<int64_t> tab1, tab2;
    ASSERT_TRUE(_DIVERS_bInitModule());
    for (int k = 0; k < 100; ++k) tab1.push_back(Tire({1000}).n);
    Graine(0);
    for (int k = 0; k < 100; ++k) tab2.push_back(Tire({1000}).n);
    EXPECT_EQ(tab1, tab2);
    Graine(2);
    tab2.clear();
    for (int k = 0; k < 100; ++k) tab2.push_back(Tire({1000}).n);
    EXPECT_NE(tab1, tab2);
}

TEST(Hasard, SeedingFromTheClockStartsAnotherSequence) {
    auto Suite = [] {
        std::vector<int64_t> tab;
        for (int k = 0; k < 20; ++k) tab.push_back(Tire({1000000}).n);
        return tab;
    };
    Graine(0);
    const std::vector<int64_t> tabZero = Suite();
    Graine(1);
    const std::vector<int64_t> tabUn = Suite();
    CZNLibrary lib;
    // Each call waits for a new millisecond, so two seeds differ.
    misc::InitHasard(lib);
    const std::vector<int64_t> tab1 = Suite();
    misc::InitHasard(lib);
    const std::vector<int64_t> tab2 = Suite();
    EXPECT_FALSE(lib.pclGetError()->bIsError());
    EXPECT_NE(tab1, tab2);
    for (const auto& tab : {tab1, tab2}) {
        EXPECT_NE(tab, tabZero);
        EXPECT_NE(tab, tabUn);
    }
}

}  // namespace
