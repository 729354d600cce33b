// Positional formatting of message texts.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/error/dllres.h"

namespace {

std::string Fmt(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    char* p = MSG_pszFormatList(pszFormat, args);
    va_end(args);
    std::string s = p ? p : "<null>";
    free(p);
    return s;
}

TEST(MessageFormat, PositionalDirectivesWithReorderedArguments) {
    // The translation puts the second argument first.
    EXPECT_EQ(Fmt("%2$s copied to %1$s", "dst", "src"), "src copied to dst");
    EXPECT_EQ(Fmt("<%1$s> <%2$d> <%1$s>", "a", 7), "<a> <7> <a>");
    EXPECT_EQ(Fmt("%3$u-%1$u-%2$u", 1u, 2u, 3u), "3-1-2");
    EXPECT_EQ(Fmt("%2$lld/%1$s", "x", 12345678901LL), "12345678901/x");
    EXPECT_EQ(Fmt("%2$.2f|%1$d", 4, 2.5), "2.50|4");
}

TEST(MessageFormat, BangDirectivesAreArguments) {
    EXPECT_EQ(Fmt("identifiant <%1!u!>", 80000u), "identifiant <80000>");
    EXPECT_EQ(Fmt("Access=<%1!x!>", 0x241), "Access=<241>");
    EXPECT_EQ(Fmt("%2!d! then %1!s!", "b", -3), "-3 then b");
    // A bang directive that is not closed is shown as written.
    EXPECT_EQ(Fmt("<%1!d>", 5), "<%1!d>");
}

TEST(MessageFormat, LiteralsAndUnknownDirectives) {
    struct Case {
        const char* pszFormat;
        const char* pszAttendu;
    };
    const Case cas[] = {
        {"", ""},
        {"plain text", "plain text"},
        {"100%%", "100%"},
        {"%q stays", "%q stays"},
        {"ends with %", "ends with %"},
        {"%*d star", "%*d star"},
        {"%0$s zero position", "%0$s zero position"},
        {"%99$s beyond the positions", "%99$s beyond the positions"},
        {"%99999999d huge width", "%99999999d huge width"},
        {"%n never writes", "%n never writes"},
    };
    for (const Case& c : cas) EXPECT_EQ(Fmt(c.pszFormat), c.pszAttendu) << c.pszFormat;
}

TEST(MessageFormat, SequentialDirectivesAndFlags) {
    EXPECT_EQ(Fmt("%s=%d", "n", 42), "n=42");
    EXPECT_EQ(Fmt("[%5s][%-4d][%03d]", "ab", 7, 9), "[   ab][7   ][009]");
    EXPECT_EQ(Fmt("[%.3s]", "abcdef"), "[abc]");
    EXPECT_EQ(Fmt("%c%c", 'o', 'k'), "ok");
}

TEST(MessageFormat, NullAndWideTexts) {
    EXPECT_EQ(Fmt("<%1$s>", static_cast<const char*>(nullptr)), "<>");
    EXPECT_EQ(Fmt("<%S>", L"wide"), "<wide>");
    EXPECT_EQ(Fmt("<%1$ls>", L"caf\u00e9"), "<caf\xE9>");
    // A character outside the 8-bit set cannot be shown as itself.
    EXPECT_EQ(Fmt("<%S>", L"\u20ac1"), "<?1>");
}

TEST(MessageFormat, PositionNamedWithTwoTypesIsNotRead) {
    // The argument is fetched once, as the first directive says; the other
    // directive of the same position is shown as written.
    EXPECT_EQ(Fmt("%1$d %1$s", 5), "5 %1$s");
}

int FormatGiven(uint32_t dwFlags, const char* pszFormat, char** pp, ...) {
    va_list args;
    va_start(args, pp);
    int n = DLLRES_dwFormatMessage(dwFlags, pszFormat, pp, args);
    va_end(args);
    return n;
}

TEST(MessageFormat, GivenText) {
    char* p = nullptr;
    EXPECT_EQ(FormatGiven(0, "%2$s-%1$s", &p, "a", "b"), 3);
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "b-a");
    free(p);
}

TEST(MessageFormat, GivenTextFromTheSystemError) {
    char* p = nullptr;
    errno = ENOENT;
    int n = FormatGiven(DLLRES_FROM_SYSTEM, "ignored %s", &p);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(n, static_cast<int>(strlen(p)));
    EXPECT_STREQ(p, strerror(ENOENT));
    free(p);
}

}  // namespace
