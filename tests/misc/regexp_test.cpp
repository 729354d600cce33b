// The regular-expression classes: syntax, whole-text matches and groups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "misc/regexp.h"

namespace {

TEST(RegExp, SyntaxBits) { EXPECT_EQ(CRegExpBase::SYNTAXE, 176708u); }

TEST(RegExp, WholeTextMatches) {
    struct STCas {
        const char* pszPattern;
        const char* pszTexte;
        bool bAttendu;
    };
    const STCas tabCas[] = {
        {"ab", "abc", false},                 // a prefix only
        {"ab.*", "abc", true},
        {"abc", "abc", true},
        {"a|ab", "ab", true},                  // the longest alternative covers the text
        {"(a|b)+", "abba", true},
        {"[[:digit:]]{3}", "123", true},
        {"[[:digit:]]{3}", "1234", false},
        {"[0-9]{2,3}", "1", false},
        {"a.c", "a\nc", true},                 // "." takes a newline
        {"a)", "a)", true},                    // an unmatched ")" is literal
        {"(a)\\1", "aa", true},                // back-references stay available
        {"(a)\\1", "ab", false},
        {"^abc$", "abc", true},
        {"x*", "", true},
        {"x+", "", false},
        {"A", "a", false},                     // case-sensitive
        {"\xE9t\xE9", "\xE9t\xE9", true},     // 8-bit characters
    };
    for (const auto& st : tabCas) {
        CRegExp cl;
        ASSERT_EQ(cl.nCompile(st.pszPattern), 0) << st.pszPattern;
        EXPECT_EQ(cl.bMatch(st.pszTexte), st.bAttendu) << st.pszPattern << " / " << st.pszTexte;
    }
}

TEST(RegExp, BadPatternsDoNotCompile) {
    for (const char* psz : {"(ab", "[a-", "a{2,1}", "\\"}) {
        CRegExp cl;
        EXPECT_EQ(cl.nCompile(psz), -1) << psz;
        EXPECT_FALSE(cl.bEstCompile());
        EXPECT_EQ(cl.nMatch("x", 0, 0), -2);
        EXPECT_FALSE(cl.bMatch("x"));
    }
}

TEST(RegExp, GroupsAndAbsentGroups) {
    CRegExp cl;
    ASSERT_EQ(cl.nCompile("([0-9]+)-([0-9]+)"), 0);
    ASSERT_TRUE(cl.bMatch("12-345"));
    EXPECT_EQ(cl.nGetDebut(0), 0);
    EXPECT_EQ(cl.nGetFin(0), 6);
    EXPECT_EQ(cl.nGetDebut(1), 0);
    EXPECT_EQ(cl.nGetFin(1), 2);
    EXPECT_EQ(cl.nGetDebut(2), 3);
    EXPECT_EQ(cl.nGetFin(2), 6);
    EXPECT_EQ(cl.nGetDebut(3), -1);
    EXPECT_EQ(cl.nGetDebut(1000), -1);   // far past the registers
    EXPECT_EQ(cl.nGetDebut(-1), -1);
    // An optional group that took no part.
    ASSERT_EQ(cl.nCompile("(a)(b)?"), 0);
    ASSERT_TRUE(cl.bMatch("a"));
    EXPECT_EQ(cl.nGetDebut(1), 0);
    EXPECT_EQ(cl.nGetDebut(2), -1);
    // Recompiling frees the old registers and matches afresh.
    ASSERT_EQ(cl.nCompile("(x)"), 0);
    EXPECT_EQ(cl.nGetDebut(1), -1);
    ASSERT_TRUE(cl.bMatch("x"));
    EXPECT_EQ(cl.nGetFin(1), 1);
}

TEST(RegExp, MatchFromAPosition) {
    CRegExp cl;
    ASSERT_EQ(cl.nCompile("b+"), 0);
    EXPECT_EQ(cl.nMatch("abbc", 1, 4), 2);
    EXPECT_LT(cl.nMatch("abbc", 0, 4), 0);
    EXPECT_LT(cl.nMatch("abbc", 5, 4), 0);    // past the end
    EXPECT_LT(cl.nMatch("abbc", -1, 4), 0);
    EXPECT_EQ(cl.nMatch("bb", 0, 0), 2);      // length from strlen
}

TEST(RegExp, CaseFoldedCompilation) {
    CRegExpBase cl;
    EXPECT_TRUE(cl._bCompile("abc", 0));
    EXPECT_TRUE(cl.bEstCompile());
    EXPECT_FALSE(cl._bCompile("(", 0));
    EXPECT_FALSE(cl.bEstCompile());
}

}  // namespace

namespace {

TEST(RegExpCache, SamePatternSameCompilationAndResults) {
    int nErreur = 1;
    CRegExp* p1 = REGEXP_pclCompile("(a+)(b*)", nErreur);
    ASSERT_NE(p1, nullptr);
    EXPECT_EQ(nErreur, 0);
    EXPECT_TRUE(p1->bMatch("aab"));
    EXPECT_EQ(REGEXP_pclCompile("(a+)(b*)", nErreur), p1);
    EXPECT_FALSE(p1->bMatch("ba"));
    EXPECT_TRUE(p1->bMatch("a"));
    EXPECT_EQ(p1->nGetDebut(2), 1);   // registers of the last match only
    EXPECT_EQ(REGEXP_pclCompile("(", nErreur), nullptr);
    EXPECT_EQ(nErreur, -1);
    // Many other patterns push it out; it compiles again, with the same results.
    for (int i = 0; i < 20; ++i) ASSERT_NE(REGEXP_pclCompile(("x" + std::to_string(i)).c_str(), nErreur), nullptr);
    CRegExp* p2 = REGEXP_pclCompile("(a+)(b*)", nErreur);
    ASSERT_NE(p2, nullptr);
    EXPECT_TRUE(p2->bMatch("aab"));
    EXPECT_FALSE(p2->bMatch("ba"));
}

}  // namespace

namespace {

std::string Repete(const std::string& s, size_t n) {
    std::string sRes;
    for (size_t i = 0; i < n; ++i) sRes += s;
    return sRes;
}

// A text of pseudo-random "a" and "b" (the same on every run).
std::string Hasard(size_t n) {
    std::string s;
    uint32_t x = 12345;
    for (size_t i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        s += ((x >> 16) & 1) ? 'a' : 'b';
    }
    return s;
}

// Patterns whose compiled form would pass the size limit are refused with
// their own result, before the library builds them; invalid ones stay
// invalid and others compile.
TEST(RegExpLimits, CompiledSizeIsBounded) {
    struct STCas {
        std::string sPattern;
        int nAttendu;
    };
    const STCas tabCas[] = {
        {"a{1,32767}", REGEXP_TROP_GRAND},                       // 4.1 GB in the library
        {"(((a{1,100}){1,100}){1,100})b", REGEXP_TROP_GRAND},    // a million copies
        {"a{1,2800}", REGEXP_TROP_GRAND},
        {"^~?+?{,13}", REGEXP_TROP_GRAND},                        // 45 s of closures in the library
        {Repete("()", 10000), REGEXP_TROP_GRAND},                 // 1.5 GB there
        {Repete("()", 500), 0},
        {"a{1,2000}", 0},                                         // just below the limit
        {"a{32767}", 0},                                          // long but flat
        {Repete("(", 1001) + "a" + Repete(")", 1001), REGEXP_TROP_GRAND},   // nesting
        {Repete("(", 1000) + "a" + Repete(")", 1000), 0},
        {"a{1,32768}", REGEXP_INVALIDE},                          // past the syntax's own maximum
        {"(a{1,32767}", REGEXP_INVALIDE},
        {"a{2,1}", REGEXP_INVALIDE},
    };
    for (const auto& st : tabCas) {
        CRegExp cl;
        EXPECT_EQ(cl.nCompile(st.sPattern.c_str()), st.nAttendu) << st.sPattern.substr(0, 40);
        EXPECT_EQ(cl.bEstCompile(), st.nAttendu == 0);
        if (st.nAttendu == REGEXP_TROP_GRAND) {
            EXPECT_EQ(cl.nGetErreurCompile(), REGEXP_TROP_GRAND);
        }
    }
    // The cache refuses them the same way.
    int nErreur = 0;
    EXPECT_EQ(REGEXP_pclCompile("a{1,32767}", nErreur), nullptr);
    EXPECT_EQ(nErreur, REGEXP_TROP_GRAND);
}

// A large compiled pattern is not kept once the next pattern is asked for.
TEST(RegExpLimits, LargePatternsAreNotCached) {
    int nErreur = 0;
    for (int i = 0; i < 8; ++i) ASSERT_NE(REGEXP_pclCompile(("y" + std::to_string(i)).c_str(), nErreur), nullptr);
    const int64_t nPetits = REGEXP_nTailleRetenue();
    CRegExp* pcl = REGEXP_pclCompile("b{1,2000}", nErreur);
    ASSERT_NE(pcl, nullptr);
    EXPECT_GT(pcl->nGetTaille(), regexp::k_nTailleCache);
    EXPECT_TRUE(pcl->bMatch("bbb"));
    EXPECT_GE(REGEXP_nTailleRetenue(), nPetits + pcl->nGetTaille());
    // Asking for another pattern frees it, and it did not push a small one out.
    ASSERT_NE(REGEXP_pclCompile("y0", nErreur), nullptr);
    EXPECT_EQ(REGEXP_nTailleRetenue(), nPetits);
    EXPECT_LE(REGEXP_nTailleRetenue(), 8 * regexp::k_nTailleCache);
}

// Checks that would run for minutes stop on the work limit; within it the
// answers come, and the object keeps working after a limit.
TEST(RegExpLimits, WorkIsBounded) {
    struct STCas {
        const char* pszPattern;
        std::string sTexte;
        bool bAttendu;
        bool bLimite;
    };
    const STCas tabCas[] = {
        // Back-references: the library took 58 s and more than a minute.
        {"(a)*\\1", Repete("a", 3000), true, false},
        {"(a)*\\1", Repete("a", 200000), true, false},
        {"(.*)(.*)(.*)\\3\\2\\1", Repete("x", 100), true, false},
        {"(.*)(.*)(.*)\\3\\2\\1", Repete("x", 3000), false, true},
        {"([\"'])[^\"']*\\1", "\"" + Repete("ab", 50000) + "\"", true, false},
        // Without back-references: a short pattern whose sets of positions
        // keep changing (the library took a minute on 100 kB).
        {"[ab]*a[ab]{20}", Hasard(100000), false, true},
        {"[ab]*a[ab]{20}", "b" + Repete("a", 21), true, false},
        {"(.{0,40}){0,40}", Repete("a", 1000), false, true},
        // A repetition of what can match nothing, where the library's
        // setting of the registers goes round a loop for ever.
        {"(||a)?*", "a", false, true},
        {"(()|a)?*", "aa", false, true},
        {"x(||a)?*b", "xab", false, true},
        // The same with an assertion among the empty ways.
        {"(||x|^)*", "x", false, true},
        {"(||x|\\`)*", "xx", false, true},
        // Ordinary checks of long texts go through.
        {".*", Repete("a", 1000000), true, false},
        {"(a|b)*", Hasard(200000), true, false},
        {"([a-z]+)-([0-9]+)", "abc-123", true, false},
    };
    for (const auto& st : tabCas) {
        CRegExp cl;
        ASSERT_EQ(cl.nCompile(st.pszPattern), 0) << st.pszPattern;
        EXPECT_EQ(cl.bMatch(st.sTexte.c_str()), st.bAttendu) << st.pszPattern << " / " << st.sTexte.size();
        EXPECT_EQ(cl.bLimiteAtteinte(), st.bLimite) << st.pszPattern << " / " << st.sTexte.size();
        if (st.bLimite) {
            EXPECT_EQ(cl.nMatch(st.sTexte.c_str(), 0, int(st.sTexte.size())), REGEXP_LIMITE);
            // The same compiled pattern answers a small text afterwards as a
            // fresh one does.
            CRegExp clNeuf;
            ASSERT_EQ(clNeuf.nCompile(st.pszPattern), 0);
            for (const char* psz : {"c", "ab", "aaaaaaaaaaaaaaaaaaaaab"}) {
                EXPECT_EQ(cl.bMatch(psz), clNeuf.bMatch(psz)) << st.pszPattern << " / " << psz;
                EXPECT_FALSE(cl.bLimiteAtteinte()) << st.pszPattern << " / " << psz;
            }
        }
    }
    // The registers of a bounded back-reference match.
    CRegExp cl;
    ASSERT_EQ(cl.nCompile("(a)*\\1"), 0);
    ASSERT_TRUE(cl.bMatch(Repete("a", 3000).c_str()));
    EXPECT_EQ(cl.nGetDebut(1), 2998);
    EXPECT_EQ(cl.nGetFin(1), 2999);
}

// A kept pattern does not pile up the library's states without bound: its
// compilation is renewed and its answers stay the same.
TEST(RegExpLimits, KeptPatternsAreRenewed) {
    CRegExp cl;
    ASSERT_EQ(cl.nCompile("([ab]*)a[ab]{6}"), 0);
    for (int i = 0; i < 200; ++i) {
        const std::string s = Hasard(size_t(300 + i));
        CRegExp clNeuf;
        ASSERT_EQ(clNeuf.nCompile("([ab]*)a[ab]{6}"), 0);
        const bool bNeuf = clNeuf.bMatch(s.c_str());
        ASSERT_EQ(cl.bMatch(s.c_str()), bNeuf) << i;
        ASSERT_FALSE(cl.bLimiteAtteinte());
        if (bNeuf) {
            ASSERT_EQ(cl.nGetFin(1), clNeuf.nGetFin(1)) << i;
        }
    }
}

// What one compiled pattern learnt from earlier texts (where each set of
// positions leads, in which context) never changes a later answer: every
// check, refused ones included, answers as a fresh compilation does.
TEST(RegExpLimits, EarlierTextsDoNotChangeAnswers) {
    struct STCas {
        const char* pszPattern;
        std::vector<std::string> tabTextes;
    };
    const STCas tabCas[] = {
        {"\\bab\\b|^x$|c\\>", {"ab", "cab", "ab c", "x", "x\n", "\nx", "abc", "c", "cc d", "ab"}},
        {"(^|\n)a+$", {"a", "ba", "b\naa", "aa\n", "\na", "a"}},
        {"[ab]*a[ab]{20}", {"b" + Repete("a", 21), Hasard(100000), "b" + Repete("a", 21), Repete("b", 30), "a"}},
        {"(a|b)*c", {"abc", "ab", Hasard(5000) + "c", "c", "abd"}},
    };
    for (const auto& st : tabCas) {
        CRegExp cl;
        ASSERT_EQ(cl.nCompile(st.pszPattern), 0) << st.pszPattern;
        for (const std::string& s : st.tabTextes) {
            const int n = int(s.size());
            for (int nDebut : {0, n / 2}) {
                CRegExp clNeuf;
                ASSERT_EQ(clNeuf.nCompile(st.pszPattern), 0);
                EXPECT_EQ(cl.nMatch(s.c_str(), nDebut, n), clNeuf.nMatch(s.c_str(), nDebut, n))
                    << st.pszPattern << " / " << s.substr(0, 20) << " from " << nDebut;
                EXPECT_EQ(cl.bLimiteAtteinte(), clNeuf.bLimiteAtteinte()) << st.pszPattern;
            }
            CRegExp clNeuf;
            ASSERT_EQ(clNeuf.nCompile(st.pszPattern), 0);
            EXPECT_EQ(cl.bMatch(s.c_str()), clNeuf.bMatch(s.c_str())) << st.pszPattern << " / " << s.substr(0, 20);
        }
    }
}

}  // namespace
