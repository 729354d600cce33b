// The regular-expression classes: syntax, whole-text matches and groups.
#include <gtest/gtest.h>

#include <string>

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
