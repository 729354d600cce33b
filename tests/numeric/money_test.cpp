// Currency values: text forms, arithmetic at the limits of the 80 bits,
// rounding, conversions, and the euro conversions on rates.
#include <cmath>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "numeric/money.h"

namespace {

// The largest magnitude: 2^79 - 1 millionths.
const char k_szMax[] = "604462909807314587.353087";
const char k_szMin[] = "-604462909807314587.353087";

CMoney M(const char* psz) {
    CMoney cl;
    EXPECT_NE(pstChaineVersMonetaire(&cl, psz), nullptr) << psz;
    return cl;
}

std::string S(const CMoney& cl) {
    char sz[MONETAIRE_TAILLE_TEXTE];
    return pszMonetaireVersChaineC(sz, &cl);
}

TEST(Monetaire, TextReadAndWritten) {
    struct {
        const char* pszTexte;
        const char* pszAttendu;   // null: the reading fails
    } tab[] = {
        {" -12.3456789", "-12.345678"},
        {"7", "7"},
        {"1.5", "1.5"},
        {"-0.5", "-0.5"},
        {"+2.000000", "2"},
        {"0", "0"},
        {"-0", "0"},
        {".25", "0.25"},
        {"12abc", "12"},
        {"3.", "3"},
        {"0.000001", "0.000001"},
        {"0.0000009", "0"},
        {k_szMax, k_szMax},
        {k_szMin, k_szMin},
        {"604462909807314587.353088", nullptr},   // 2^79: one beyond
        {"-604462909807314587.353088", nullptr},  // the invalid value itself
        {"1234567890123456789012345", nullptr},   // 25 integer digits
        {"", nullptr},
        {"abc", nullptr},
        {"-", nullptr},
        {".", nullptr},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(c.pszTexte);
        CMoney cl;
        CMoney* p = pstChaineVersMonetaire(&cl, c.pszTexte);
        if (c.pszAttendu == nullptr) {
            EXPECT_EQ(p, nullptr);
        } else {
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(S(cl), c.pszAttendu);
        }
    }
    // Millionths as stored.
    CMoney cl = M("-12.3456789");
    CMoney clAttendu;
    pstTresLongVersMonetaire(&clAttendu, 0);
    clAttendu.m_aw[0] = uint16_t(12345678 & 0xFFFF);
    clAttendu.m_aw[1] = uint16_t(12345678 >> 16);
    NegMonetaire(&clAttendu);
    EXPECT_EQ(memcmp(&cl, &clAttendu, sizeof cl), 0);
    const CMoney clUn = M("1");
    EXPECT_EQ(memcmp(&gstMillion, &clUn, sizeof clUn), 0);
    CMoney clW;
    ASSERT_NE(pstChaineVersMonetaire(&clW, L" -3.25"), nullptr);
    EXPECT_EQ(S(clW), "-3.25");
}

enum eOp { ADD, SUB, MUL, DIV };

TEST(Monetaire, Arithmetic) {
    struct {
        eOp e;
        const char* a;
        const char* b;
        const char* pszAttendu;   // null: overflow or division by zero
    } tab[] = {
        {ADD, "1.5", "2.25", "3.75"},
        {ADD, "-1.5", "1.5", "0"},
        {ADD, k_szMax, "0.000001", nullptr},
        {ADD, k_szMin, "-0.000001", nullptr},
        {ADD, k_szMax, k_szMin, "0"},
        {ADD, "604462909807314587.353086", "0.000001", k_szMax},
        {SUB, "1", "3.5", "-2.5"},
        {SUB, k_szMin, "0.000001", nullptr},
        {SUB, k_szMax, "-0.000001", nullptr},
        {SUB, "0", k_szMax, k_szMin},
        {MUL, "1.5", "1.5", "2.25"},
        {MUL, "-1.5", "1.5", "-2.25"},
        {MUL, "-1.5", "-2", "3"},
        {MUL, "0.000001", "0.5", "0"},          // below a millionth: toward zero
        {MUL, "-0.000001", "0.5", "0"},
        {MUL, "123456789.123456", "1000", "123456789123.456"},
        {MUL, k_szMax, "1", k_szMax},
        {MUL, k_szMax, "-1", k_szMin},
        {MUL, k_szMax, "1.000001", nullptr},
        {MUL, "1000000000000", "1000000000000", nullptr},
        {MUL, "777777777777", "777777", nullptr},   // just beyond the 79 bits
        {MUL, "600000000000", "1000000", "600000000000000000"},
        {DIV, "1", "3", "0.333333"},
        {DIV, "-1", "3", "-0.333333"},
        {DIV, "10", "4", "2.5"},
        {DIV, "100", "6.55957", "15.244901"},
        {DIV, k_szMax, "1", k_szMax},
        {DIV, k_szMax, "-1", k_szMin},
        {DIV, k_szMax, k_szMax, "1"},
        {DIV, k_szMin, k_szMax, "-1"},
        {DIV, "1", k_szMax, "0"},
        {DIV, k_szMax, "0.5", nullptr},
        {DIV, "1", "0", nullptr},
        {DIV, "0", "0", nullptr},
        {DIV, "1234567890123.456789", "98765432109.876543", "12.499999"},
        {DIV, "600000000000000000", "300000000000.000001", "1999999.999999"},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(std::string(c.a) + " op" + std::to_string(c.e) + " " + c.b);
        CMoney a = M(c.a);
        const CMoney b = M(c.b);
        CMoney* p = c.e == ADD   ? pstAddMonetaire(&a, &b)
                    : c.e == SUB ? pstSubMonetaire(&a, &b)
                    : c.e == MUL ? pstMulMonetaire(&a, &b)
                                 : pstDivMonetaire(&a, &b);
        if (c.pszAttendu == nullptr) {
            EXPECT_EQ(p, nullptr);
        } else {
            ASSERT_EQ(p, &a);
            EXPECT_EQ(S(a), c.pszAttendu);
        }
    }
}

TEST(Monetaire, Rounding) {
    struct {
        const char* a;
        int nDecimales;
        const char* pszAttendu;
    } tab[] = {
        {"2.345", 2, "2.35"},
        {"-2.345", 2, "-2.35"},
        {"2.344999", 2, "2.34"},
        {"2.345", 6, "2.345"},
        {"2.345", 9, "2.345"},
        {"2.345", -1, "2.345"},
        {"2.5", 0, "3"},
        {"-2.5", 0, "-3"},
        {"0.4999999", 0, "0"},
        {"1.999995", 5, "2"},
        {"1.123456", 5, "1.12346"},
        {"1.123456", 1, "1.1"},
        {"-0.000001", 3, "0"},
        {k_szMax, 5, nullptr},   // the half added overflows
        {"604462909807314587.3", 0, "604462909807314587"},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(std::string(c.a) + " to " + std::to_string(c.nDecimales));
        CMoney a = M(c.a);
        CMoney* p = pstArrMonetaire(&a, c.nDecimales);
        if (c.pszAttendu == nullptr) {
            EXPECT_EQ(p, nullptr);
        } else {
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(S(a), c.pszAttendu);
        }
    }
}

TEST(Monetaire, Parts) {
    struct {
        const char* a;
        const char* pszEnt;
        const char* pszDec;
        const char* pszAbs;
    } tab[] = {
        {"2.75", "2", "0.75", "2.75"},
        {"-2.75", "-3", "0.75", "2.75"},
        {"-2", "-2", "0", "2"},
        {"0.5", "0", "0.5", "0.5"},
        {k_szMin, nullptr, "0.353087", k_szMax},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(c.a);
        CMoney a = M(c.a), b = M(c.a), d = M(c.a);
        CMoney* p = pstEntMonetaire(&a);
        if (c.pszEnt == nullptr)
            EXPECT_EQ(p, nullptr);
        else
            EXPECT_EQ(p != nullptr ? S(a) : "(null)", c.pszEnt);
        ASSERT_NE(pstDecMonetaire(&b), nullptr);
        EXPECT_EQ(S(b), c.pszDec);
        ASSERT_NE(pstAbsMonetaire(&d), nullptr);
        EXPECT_EQ(S(d), c.pszAbs);
    }
    CMoney cl = gstInvalide;
    EXPECT_EQ(pstAbsMonetaire(&cl), nullptr);
}

TEST(Monetaire, Integers) {
    struct {
        int64_t ll;
        const char* pszAttendu;   // null: does not fit
    } tab[] = {
        {0, "0"},
        {-7, "-7"},
        {INT32_MAX, "2147483647"},
        {INT32_MIN, "-2147483648"},
        {604462909807LL, "604462909807"},
        {604462909807314587LL, "604462909807314587"},
        {604462909807314588LL, nullptr},
        {INT64_MIN, nullptr},
        {INT64_MAX, nullptr},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(c.ll);
        CMoney cl;
        CMoney* p = pstTresLongVersMonetaire(&cl, c.ll);
        if (c.pszAttendu == nullptr) {
            EXPECT_EQ(p, nullptr);
            continue;
        }
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(S(cl), c.pszAttendu);
        int64_t ll = 0;
        EXPECT_TRUE(bMonetaireVersTresLong(&cl, &ll));
        EXPECT_EQ(ll, c.ll);
        int32_t n = 0;
        EXPECT_EQ(bMonetaireVersLong(&cl, &n), c.ll >= INT32_MIN && c.ll <= INT32_MAX);
    }
    struct {
        const char* a;
        int32_t nLong;
        int64_t llTresLong;
    } tabVers[] = {
        {"2.9", 2, 2},
        {"-2.9", -2, -2},
        {"3000000000", INT32_MAX, 3000000000LL},
        {"-3000000000", INT32_MIN, -3000000000LL},
        {k_szMax, INT32_MAX, 604462909807314587LL},
    };
    for (const auto& c : tabVers) {
        SCOPED_TRACE(c.a);
        const CMoney cl = M(c.a);
        EXPECT_EQ(lMonetaireVersLong(&cl), c.nLong);
        EXPECT_EQ(lMonetaireVersTresLong(&cl), c.llTresLong);
    }
    CMoney cl;
    ASSERT_NE(pstTresLongSansSigneVersMonetaire(&cl, 18446744073709ULL), nullptr);
    EXPECT_EQ(S(cl), "18446744073709");
    EXPECT_EQ(pstTresLongSansSigneVersMonetaire(&cl, UINT64_MAX), nullptr);
    uint64_t ull = 0;
    const CMoney clMoins = M("-1"), clCinq = M("5.5");
    EXPECT_FALSE(bMonetaireVersTresLongSansSigne(&clMoins, &ull));
    EXPECT_TRUE(bMonetaireVersTresLongSansSigne(&clCinq, &ull));
    EXPECT_EQ(ull, 5u);
}

TEST(Monetaire, Reals) {
    struct {
        double r;
        const char* pszAttendu;   // null: refused
    } tab[] = {
        {1.5, "1.5"},
        {-0.1, "-0.1"},
        {6.55957, "6.55957"},
        {2.675, "2.675"},
        {1e-7, "0"},
        {123456789012.345678, "123456789012.345673"},   // the real nearest,
        {6e17, "600000000000000000"},
        {1e18, nullptr},
        {NAN, nullptr},
        {INFINITY, nullptr},
        {-INFINITY, nullptr},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(c.r);
        CMoney cl;
        CMoney* p = pstDoubleVersMonetaire(&cl, c.r);
        if (c.pszAttendu == nullptr) {
            EXPECT_EQ(p, nullptr);
            continue;
        }
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(S(cl), c.pszAttendu);
    }
    const CMoney a = M("-12.345678"), b = M("0.1");
    EXPECT_EQ(dMonetaireVersDouble(&a), -12.345678);
    EXPECT_EQ(dMonetaireVersDouble(&b), 0.1);
}

TEST(Monetaire, HexadecimalAndOctal) {
    struct {
        const char* a;
        const char* pszHexa;
        const char* pszOctal;
    } tab[] = {
        {"0", "0", "0"},
        {"0.000001", "1", "1"},
        {"1", "F4240", "3641100"},
        {"-0.000001", "FFFFFFFFFFFFFFFFFFFF", "377777777777777777777777777"},
        {k_szMax, "7FFFFFFFFFFFFFFFFFFF", "177777777777777777777777777"},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(c.a);
        const CMoney cl = M(c.a);
        char sz[MONETAIRE_TAILLE_TEXTE];
        EXPECT_STREQ(pszMonetaireVersChaineHexa(sz, &cl), c.pszHexa);
        EXPECT_STREQ(pszMonetaireVersChaineOctale(sz, &cl), c.pszOctal);
        CMoney clLu;
        ASSERT_NE(pstChaineHexaVersMonetaire(&clLu, c.pszHexa), nullptr);
        EXPECT_EQ(memcmp(&clLu, &cl, sizeof cl), 0);
    }
    CMoney cl;
    EXPECT_EQ(pstChaineHexaVersMonetaire(&cl, "1FFFFFFFFFFFFFFFFFFFF"), nullptr);   // 21 digits
    EXPECT_EQ(pstChaineHexaVersMonetaire(&cl, "xyz"), nullptr);
}

TEST(Monetaire, Comparison) {
    struct {
        const char* a;
        const char* b;
        int n;
    } tab[] = {
        {"1", "2", -1}, {"2", "1", 1}, {"-1", "1", -1}, {"1.5", "1.5", 0}, {k_szMin, k_szMax, -1}, {"-0.000001", "0", -1},
    };
    for (const auto& c : tab) {
        const CMoney a = M(c.a), b = M(c.b);
        EXPECT_EQ(nCmpMonetaire(&a, &b), c.n) << c.a << " " << c.b;
    }
    const CMoney a = M("3");
    EXPECT_EQ(nCmpMonetaire(nullptr, &a), 1);
    EXPECT_EQ(nCmpMonetaire(&a, nullptr), -1);
    EXPECT_EQ(nCmpMonetaireEtLong(&a, 3), 0);
    EXPECT_EQ(nCmpMonetaireEtLong(&a, 4), -1);
    const CMoney b = M("3.000001");
    EXPECT_EQ(nCmpMonetaireEtLong(&b, 3), 1);
}

TEST(Monetaire, SmallSteps) {
    CMoney a = M("1.5");
    EXPECT_TRUE(bIncrementeMonetaire(&a));
    EXPECT_EQ(S(a), "2.5");
    EXPECT_TRUE(bDecrementeMonetaire(&a));
    EXPECT_TRUE(bDecrementeMonetaire(&a));
    EXPECT_EQ(S(a), "0.5");
    EXPECT_TRUE(bMul10Monetaire(&a));
    EXPECT_EQ(S(a), "5");
    EXPECT_TRUE(bMulMonetaireWord(&a, 3, 7));
    EXPECT_EQ(S(a), "15.000007");
    CMoney clMax = M(k_szMax);
    EXPECT_FALSE(bIncrementeMonetaire(&clMax));
    clMax = M(k_szMax);
    EXPECT_FALSE(bMul10Monetaire(&clMax));
}

TEST(Monetaire, Convertible) {
    CMonetaireConvertible cl;
    EXPECT_TRUE(cl.bEstInvalide());
    char sz[MONETAIRE_TAILLE_TEXTE] = "x";
    EXPECT_FALSE(cl.bVersChaine(sz));
    EXPECT_STREQ(sz, "");
    EXPECT_TRUE(cl.bDepuisChaine("100"));
    EXPECT_TRUE(cl.bVersChaine(sz));
    EXPECT_STREQ(sz, "100");
    // 100 francs in euros and back into marks, without rounding.
    CMonetaireConvertible clEuro = cl.Converti(6559570, 1000000);
    EXPECT_EQ(S(clEuro), "15.244901");
    EXPECT_EQ(S(cl.Converti(6559570, 1955830)), "29.816434");
    EXPECT_TRUE(cl.Converti(0, 1000000).bEstInvalide());
    clEuro.Soustrait(M("0.244901"));
    EXPECT_EQ(S(clEuro), "15");
    CMonetaireConvertible clMin(M(k_szMin));
    clMin.Soustrait(M("1"));
    EXPECT_TRUE(clMin.bEstInvalide());
    EXPECT_FALSE(cl.bDepuisChaine("abc"));
    EXPECT_TRUE(cl.bEstInvalide());
}

TEST(Monetaire, ThroughTheEuro) {
    struct {
        const char* a;
        uint32_t dwDe, dwVers;
        const char* pszAttendu;   // null: refused
    } tab[] = {
        {"100", 6559570, 1000000, "15.244901"},
        {"15.24", 1000000, 6559570, "99.967846"},
        {"100", 1000000, 1000000, "100"},
        {"100", 6559570, 6559570, "100"},
        {"100", 0, 1000000, nullptr},
        {"100", 1000000, 0, "0"},
        {"600000000000000000", 1000000, 2000000, nullptr},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(std::string(c.a) + " " + std::to_string(c.dwDe) + " " + std::to_string(c.dwVers));
        const CMoney a = M(c.a);
        CMoney cl;
        const bool b = bChangeDevise_MONETAIRE(&a, &cl, c.dwDe, c.dwVers);
        EXPECT_EQ(b, c.pszAttendu != nullptr);
        if (b) {
            EXPECT_EQ(S(cl), c.pszAttendu);
        }
    }
}

}  // namespace
