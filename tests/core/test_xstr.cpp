// Plain texts to dynamic-string blocks and back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "core/strmem.h"
#include "core/xstr.h"

namespace {
uint32_t Longueur(const char* p) { return STRMEM_Header(p)->nLongueur; }
}  // namespace

TEST(XStr, WideToBlockInACodePage) {
    struct {
        const wchar_t* pwsz;
        int nLongueur;
        uint32_t dwCodePage;
        const char* pszAttendu;
        uint32_t nAttendu;
    } const tab[] = {
        {L"abc", -1, 1252, "abc", 3},
        {L"\u00e9t\u00e9", -1, 1252, "\xe9t\xe9", 3},
        {L"\u20ac", -1, 1252, "\x80", 1},
        {L"\u00e9", -1, 65001, "\xc3\xa9", 2},
        {L"abcdef", 2, 1252, "ab", 2},
        {L"", -1, 1252, "", 0},
    };
    for (const auto& c : tab) {
        char* p = pszWSTR2XSTR(c.pwsz, c.nLongueur, c.dwCodePage);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(Longueur(p), c.nAttendu);
        EXPECT_EQ(std::memcmp(p, c.pszAttendu, c.nAttendu + 1), 0);
        EXPECT_EQ(s_nGetTypeAUB(p), 19);
        s_ReleaseStrMem(p);
    }
    EXPECT_EQ(pszWSTR2XSTR(nullptr, -1, 1252), nullptr);
    EXPECT_EQ(pszWSTR2XSTR(L"x", -2, 1252), nullptr);
    EXPECT_EQ(pszWSTR2XSTR(L"\u4e2d", -1, 1252), nullptr);   // not in the code page
}

TEST(XStr, TextsAndBlocksRoundTrip) {
    const char sz[] = "a\0b";
    char* p = pszCSTR2XSTR(sz, 3);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Longueur(p), 3u);
    char* c = pszXSTR2CSTR(p);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(std::memcmp(c, sz, 4), 0);   // zero bytes kept, terminated
    free(c);
    s_ReleaseStrMem(p);

    p = pszCSTR2XSTR("hello", -1);
    EXPECT_STREQ(p, "hello");
    s_ReleaseStrMem(p);
    p = pszCSTR2XSTR(nullptr, -1);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Longueur(p), 0u);
    s_ReleaseStrMem(p);
    c = pszXSTR2CSTR(nullptr);
    EXPECT_STREQ(c, "");
    free(c);
    EXPECT_EQ(pszCSTR2XSTR("x", -5), nullptr);
}
