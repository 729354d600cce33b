// Text conversions of the host: UTF-8 against the component's 8-bit
// character sets and wide characters, name keys, Base64.
#include <gtest/gtest.h>

#include "../../host/charset.h"

using namespace qvhost;

namespace {

struct STCasCp1252 {
    const char* pszUtf8;
    const char* pszOctets;
    bool bPerte;
};

TEST(Charset, Utf8ToCp1252Table) {
    const STCasCp1252 tabCas[] = {
        {"abc", "abc", false},
        {"", "", false},
        {"D\xC3\xA9" "but", "D\xE9" "but", false},          // é
        {"\xE2\x82\xAC" "5", "\x80" "5", false},           // euro sign
        {"\xC5\x93uvre", "\x9Cuvre", false},                // oe ligature
        {"\xC3\xBF", "\xFF", false},                        // ÿ
        {"\xCE\xA9", "?", true},                            // Greek capital omega: not in the set
        {"a\xF0\x9F\x98\x80" "b", "a?b", true},             // outside the BMP
        {"\xFF" "x", "?x", true},                           // invalid UTF-8 byte
        {"\xC3", "?", true},                                // truncated sequence
        {"\xE2\x82", "??", true},                           // truncated three-byte sequence
        {"\xC0\xAF", "??", true},                           // overlong form
        {"\xED\xA0\x80", "???", true},                      // surrogate
    };
    for (const auto& st : tabCas) {
        bool bPerte = false;
        EXPECT_EQ(Utf8ToCharset(st.pszUtf8, eCharset::CP1252, &bPerte), st.pszOctets) << st.pszUtf8;
        EXPECT_EQ(bPerte, st.bPerte) << st.pszUtf8;
    }
}

TEST(Charset, Utf8Validity) {
    const std::pair<std::string, bool> tabCas[] = {
        {"", true},
        {"abc", true},
        {"D\xC3\xA9" "but \xE2\x82\xAC \xF0\x9F\x98\x80", true},
        {"\xEF\xBF\xBD", true},              // U+FFFD written as such is valid
        {std::string("a\0b", 3), true},
        {"\xFF", false},
        {"a\xC3", false},                    // truncated at the end
        {"\xE2\x82" "a", false},             // truncated before another character
        {"\xC0\xAF", false},                 // overlong form
        {"\xED\xA0\x80", false},             // surrogate
        {"\xF4\x90\x80\x80", false},         // beyond U+10FFFF
        {"\x80", false},                     // a lone continuation byte
    };
    for (const auto& [s, bValide] : tabCas) EXPECT_EQ(bUtf8Valide(s), bValide) << s;
}

TEST(Charset, EveryCp1252ByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        std::string s(1, static_cast<char>(b));
        std::string sUtf8 = CharsetToUtf8(s, eCharset::CP1252);
        bool bPerte = true;
        EXPECT_EQ(Utf8ToCharset(sUtf8, eCharset::CP1252, &bPerte), s) << b;
        EXPECT_FALSE(bPerte) << b;
    }
    EXPECT_EQ(CharsetToUtf8(std::string("\x80\x99"), eCharset::CP1252), "\xE2\x82\xAC\xE2\x84\xA2");
}

TEST(Charset, Latin1KeepsC1Controls) {
    EXPECT_EQ(CharsetToUtf8(std::string("\x80"), eCharset::LATIN1), "\xC2\x80");
    bool bPerte = false;
    EXPECT_EQ(Utf8ToCharset("\xE2\x82\xAC", eCharset::LATIN1, &bPerte), "?");
    EXPECT_TRUE(bPerte);
    EXPECT_EQ(Utf8ToCharset("\xC3\xA9", eCharset::LATIN1), "\xE9");
}

TEST(Charset, WideText) {
    std::vector<uint32_t> tab = Utf8ToWide("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    ASSERT_EQ(tab.size(), 4u);
    EXPECT_EQ(tab[0], 0x61u);
    EXPECT_EQ(tab[1], 0xE9u);
    EXPECT_EQ(tab[2], 0x20ACu);
    EXPECT_EQ(tab[3], 0x1F600u);
    EXPECT_EQ(WideToUtf8(tab.data(), tab.size()), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    const uint32_t tabMauvais[] = {0x110000, 0xD800, 0x41};
    EXPECT_EQ(WideToUtf8(tabMauvais, 3), "\xEF\xBF\xBD\xEF\xBF\xBD" "A");
    EXPECT_EQ(WideToUtf8(nullptr, 5), "");
}

TEST(Charset, NameKeys) {
    EXPECT_EQ(NameKey("DateVersCha\xC3\xAEne", true, false), NameKey("DateVersChaine", false, false));
    EXPECT_NE(NameKey("DateVersCha\xC3\xAEne", false, false), NameKey("DateVersChaine", false, false));
    EXPECT_EQ(NameKey("\xC3\x89T\xC3\xA9", true, true), NameKey("ete", false, false));
    EXPECT_EQ(NameKey("\xC3\x89T\xC3\xA9", false, true), NameKey("\xC3\xA9t\xC3\xA9", false, false));
    EXPECT_EQ(NameKey("\xC5\x92", true, true), NameKey("o", false, false));
}

TEST(Charset, Base64) {
    const std::pair<const char*, const char*> tabCas[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [pszClair, pszCode] : tabCas) {
        EXPECT_EQ(Base64Encode(pszClair), pszCode);
        std::string s;
        ASSERT_TRUE(Base64Decode(pszCode, s)) << pszCode;
        EXPECT_EQ(s, pszClair);
    }
    std::string sOctets("\x00\xFF\x10", 3);
    std::string s;
    ASSERT_TRUE(Base64Decode(Base64Encode(sOctets), s));
    EXPECT_EQ(s, sOctets);
    for (const char* psz : {"Zg=", "Z===", "Zm9v!A==", "Zg==Zg==", "=Zg=", "Zm=v"}) EXPECT_FALSE(Base64Decode(psz, s)) << psz;
}

}  // namespace
