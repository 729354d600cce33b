// Code pages, character-set tables and the text converters.
#include <gtest/gtest.h>
#include <iconv.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/alphabet.h"
#include "platform/charset.h"
#include "platform/chartab.h"

namespace {

// The converters' reference: the C library's iconv, opened for the call,
// flushed at the end, and failing on any error.
std::optional<std::string> RawIconv(const char* pszTo, const char* pszFrom, const void* pSource, size_t nSource) {
    iconv_t cd = iconv_open(pszTo, pszFrom);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string sOut(nSource * 8 + 64, '\0');
    char* pIn = const_cast<char*>(static_cast<const char*>(pSource));
    size_t nIn = nSource;
    char* pOut = sOut.data();
    size_t nOut = sOut.size();
    bool bOk = iconv(cd, &pIn, &nIn, &pOut, &nOut) != static_cast<size_t>(-1) &&
               iconv(cd, nullptr, nullptr, &pOut, &nOut) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (!bOk) return std::nullopt;
    sOut.resize(sOut.size() - nOut);
    return sOut;
}

// The bytes of a text in hexadecimal, for failure messages.
std::string Hex(const std::string& s) {
    std::string sHex;
    char sz[4];
    for (unsigned char c : s) {
        snprintf(sz, sizeof sz, "%02X ", c);
        sHex += sz;
    }
    return sHex;
}

std::string Iconv(const char* pszTo, const char* pszFrom, const std::string& s) {
    auto r = RawIconv(pszTo, pszFrom, s.data(), s.size());
    return r ? *r : std::string("<failed>");
}

std::wstring Wide(const std::string& sUcs4) {
    std::wstring w(sUcs4.size() / 4, L'\0');
    memcpy(w.data(), sUcs4.data(), w.size() * 4);
    return w;
}

// Resets the process-wide alphabet after each test that changes it.
class AlphabetGuard : public ::testing::Test {
protected:
    void TearDown() override {
        STR_SetCtxInfoAlphabet(nullptr);
        STR_ChangeAlphabet(CHARSET_ANSI, nullptr);
    }
};

}  // namespace

// --- Tables -------------------------------------------------------------------

TEST(CharsetTables, CodePageToIConvNamesAndDefault) {
    struct { uint32_t cp; const char* name; } cases[] = {
        {874, "CP874"},   {932, "CP932"},   {936, "CP936"},   {949, "CP949"},   {950, "CP950"},
        {1250, "CP1250"}, {1251, "CP1251"}, {1252, "CP1252"}, {1253, "CP1253"}, {1254, "CP1254"},
        {1255, "CP1255"}, {1256, "CP1256"}, {1257, "CP1257"}, {1258, "CP1258"}, {1361, "CP1361"},
        {65001, "UTF-8"}, {437, "CP1252"},  {0, "CP1252"},    {850, "CP1252"},  {65000, "CP1252"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(CodePageToIConv(c.cp), c.name) << c.cp;
        // Every name must be one the C library can open.
        iconv_t cd = iconv_open("UTF-8", CodePageToIConv(c.cp));
        EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << c.name;
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
}

TEST(CharsetTables, CodePageFromCharset) {
    struct { int cs; uint32_t cp; } cases[] = {
        {0, 1252},   {128, 932},  {129, 949},  {130, 1361}, {134, 936},  {136, 950},  {161, 1253},
        {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},
        {238, 1250}, {255, 1252}, {65001, 65001}, {1, 0},   {2, 0},      {127, 0},    {-1, 0},
        {77, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(dwGetCodePageFromCharset(c.cs), c.cp) << c.cs;
}

TEST(CharsetTables, LanguageFromCharset) {
    struct { int cs; uint16_t lang; } cases[] = {
        {128, 17}, {129, 18}, {130, 18}, {134, 2052}, {136, 1028}, {161, 8},  {162, 31}, {163, 42},
        {177, 13}, {178, 1},  {186, 37}, {204, 1049}, {222, 30},   {238, 21}, {0, 0},    {255, 0},
        {65001, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(wGetLanguageID(c.cs), c.lang) << c.cs;
}

TEST(CharsetTables, CharsetFromLanguage) {
    struct { uint32_t lang; int cs; } cases[] = {
        {0, 0},           {1, 178},          {2, 204},          {25, 204},         {34, 204},
        {35, 204},        {4, 134},          {4 | (1 << 10), 136}, {4 | (2 << 10), 134}, {5, 238},
        {14, 238},        {21, 238},         {24, 238},         {27, 238},         {28, 238},
        {36, 238},        {47, 238},         {8, 161},          {13, 177},         {17, 128},
        {18, 129},        {26, 238},         {26 | (3 << 10), 204}, {26 | (2 << 10), 238}, {30, 222},
        {31, 162},        {37, 186},         {38, 186},         {39, 186},         {42, 163},
        {43, 65001},      {55, 65001},       {67, 238},         {67 | (2 << 10), 204}, {68, 0},
        {0x3FF, 0},       {9, 0},            {12, 0},           {1049, 204},       {2052, 134},
        {1028, 136},      {0x400, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nGetCharsetFromLanguage(c.lang), c.cs) << c.lang;
        EXPECT_EQ(GetCharSetFromLanguageID(c.lang), c.cs) << c.lang;
    }
}

TEST(CharsetTables, LanguageRoundTripsThroughCharset) {
    // Every character set with a language comes back from that language.
    for (int cs : {128, 129, 134, 136, 161, 162, 163, 177, 178, 186, 204, 222, 238}) {
        EXPECT_EQ(nGetCharsetFromLanguage(wGetLanguageID(cs)), cs) << cs;
    }
}

TEST(CharsetTables, ChangeLocaleOnlyForItsCharsets) {
    std::string sAvant = setlocale(LC_ALL, nullptr);
    for (int cs : {0, 1, 127, 128, 238, 255, 65001}) {
        EXPECT_FALSE(ChangeLocale(cs)) << cs;
        EXPECT_EQ(sAvant, setlocale(LC_ALL, nullptr)) << cs;
    }
    struct { int cs; const char* name; } cases[] = {
        {161, "greek_greece.1253"}, {162, "turkey_turkish.1254"}, {204, "russian_russia.1251"},
        {177, ".1255"},             {178, ".1256"},
    };
    for (const auto& c : cases) {
        // The names are not known to every C library: the answer must
        // match what setlocale itself says of the same name.
        bool bChange = ChangeLocale(c.cs);
        std::string sApres = setlocale(LC_ALL, nullptr);
        setlocale(LC_ALL, sAvant.c_str());
        bool bAttendu = setlocale(LC_ALL, c.name) != nullptr;
        setlocale(LC_ALL, sAvant.c_str());
        EXPECT_EQ(bChange, bAttendu) << c.cs;
        if (bChange) {
            EXPECT_EQ(sApres, c.name);
        }
    }
}

// --- Code page <-> wide -----------------------------------------------------

TEST(WideConversion, CountingIncludesTerminatorOnlyForMinusOne) {
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, nullptr, 0), 3);
    wchar_t aw[4] = {L'x', L'x', L'x', L'x'};
    // A length of 0 asks for the count and leaves the destination alone.
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, aw, 0), 3);
    EXPECT_EQ(aw[0], L'x');
    EXPECT_EQ(WideCharToMultiByte(1252, 0, L"abc", -1, nullptr, 0, nullptr, nullptr), 4);
    EXPECT_EQ(WideCharToMultiByte(65001, 0, L"\u00e9\u20ac", 2, nullptr, 0, nullptr, nullptr), 5);
    EXPECT_EQ(MultiByteToMultiByte(1252, "\xe9\x80", -1, 65001, nullptr, 0), 6);
}

TEST(WideConversion, SingleCharacters) {
    wchar_t w = 0;
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "\xe9", 1, &w, 1), 1);
    EXPECT_EQ(w, 0xE9);
    char c = 0;
    EXPECT_EQ(WideCharToMultiByte(1252, 0, L"\u20ac", 1, &c, 1, nullptr, nullptr), 1);
    EXPECT_EQ(static_cast<unsigned char>(c), 0x80);
    // No substitute: a character the code page lacks fails the whole call.
    int bUsed = 7;
    EXPECT_EQ(WideCharToMultiByte(1252, 0, L"a\u4e2d", 2, &c, 8, "?", &bUsed), 0);
    EXPECT_EQ(bUsed, 0);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, L"a\u4e2d", 2, nullptr, 0, nullptr, nullptr), 0);
}

TEST(WideConversion, DestinationSizes) {
    struct { int nDest; int nAttendu; } cases[] = {{1, 0}, {3, 0}, {4, 4}, {5, 4}, {100, 4}};
    for (const auto& c : cases) {
        std::vector<wchar_t> aw(static_cast<size_t>(c.nDest) + 1, L'#');
        EXPECT_EQ(MultiByteToWideChar(1252, 0, "d\xe9j\xe0", 4, aw.data(), c.nDest), c.nAttendu) << c.nDest;
        EXPECT_EQ(aw[static_cast<size_t>(c.nDest)], L'#') << "written past the destination";
        std::vector<char> ac(static_cast<size_t>(c.nDest) + 1, '#');
        EXPECT_EQ(WideCharToMultiByte(1252, 0, L"d\u00e9j\u00e0", 4, ac.data(), c.nDest, nullptr, nullptr), c.nAttendu);
        EXPECT_EQ(ac[static_cast<size_t>(c.nDest)], '#');
        EXPECT_EQ(MultiByteToMultiByte(1252, "d\xe9j\xe0", 4, 1254, ac.data(), c.nDest), c.nAttendu);
        EXPECT_EQ(ac[static_cast<size_t>(c.nDest)], '#');
    }
    // UTF-8 needs 6 bytes for d, e acute, j, a grave.
    std::vector<char> ac(8, '#');
    EXPECT_EQ(MultiByteToMultiByte(1252, "d\xe9j\xe0", 4, 65001, ac.data(), 5), 0);
    EXPECT_EQ(MultiByteToMultiByte(1252, "d\xe9j\xe0", 4, 65001, ac.data(), 6), 6);
    EXPECT_EQ(std::string(ac.data(), 6), "d\xc3\xa9j\xc3\xa0");
}

TEST(WideConversion, HostileArguments) {
    wchar_t aw[4];
    char ac[4];
    EXPECT_EQ(MultiByteToWideChar(1252, 0, nullptr, -1, aw, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", -2, aw, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, aw, -1), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 0, aw, 4), 0);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, nullptr, -1, ac, 4, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, L"abc", -5, ac, 4, nullptr, nullptr), 0);
    EXPECT_EQ(MultiByteToMultiByte(1252, nullptr, 3, 1250, ac, 4), 0);
    EXPECT_EQ(MultiByteToMultiByte(1252, "abc", 3, 1250, ac, -4), 0);
    // Not a wide character the target knows.
    const wchar_t awHors[] = {static_cast<wchar_t>(0x7FFFFFFF), 0};
    EXPECT_EQ(WideCharToMultiByte(65001, 0, awHors, 1, ac, 4, nullptr, nullptr), 0);
}

TEST(WideConversion, InvalidSequences) {
    struct { uint32_t cp; std::string s; } cases[] = {
        {932, "\x82"},              // lead byte without its trail byte
        {932, "a\x82"},
        {936, "\x81"},
        {949, "\xb0"},
        {65001, "\xc3\x28"},        // lead followed by a non-continuation
        {65001, "\xe2\x82"},        // cut short
        {65001, "\xff"},
        {65001, "\xc0\xaf"},        // overlong
        {65001, "\xed\xa0\x80"},    // surrogate
    };
    for (const auto& c : cases) {
        wchar_t aw[16];
        EXPECT_EQ(MultiByteToWideChar(c.cp, 0, c.s.data(), static_cast<int>(c.s.size()), aw, 16), 0) << c.cp;
        EXPECT_EQ(MultiByteToWideChar(c.cp, 0, c.s.data(), static_cast<int>(c.s.size()), nullptr, 0), 0) << c.cp;
        EXPECT_FALSE(RawIconv("UTF-32LE", CodePageToIConv(c.cp), c.s.data(), c.s.size()).has_value());
    }
}

TEST(WideConversion, EveryByteOfSingleByteCodePagesMatchesIconv) {
    for (uint32_t cp : {874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u}) {
        for (int b = 1; b < 256; ++b) {
            const char c = static_cast<char>(b);
            auto ref = RawIconv("UTF-32LE", CodePageToIConv(cp), &c, 1);
            wchar_t aw[4] = {};
            const int n = MultiByteToWideChar(cp, 0, &c, 1, aw, 4);
            if (!ref) {
                EXPECT_EQ(n, 0) << cp << " byte " << b;
                continue;
            }
            ASSERT_EQ(std::wstring(aw, static_cast<size_t>(n)), Wide(*ref)) << cp << " byte " << b;
            // And back: the code page gives the same byte for its character.
            char acRetour[8] = {};
            const int nRetour = WideCharToMultiByte(cp, 0, aw, n, acRetour, 8, nullptr, nullptr);
            auto refRetour = RawIconv(CodePageToIConv(cp), "UTF-32LE", aw, static_cast<size_t>(n) * 4);
            ASSERT_TRUE(refRetour.has_value());
            EXPECT_EQ(std::string(acRetour, static_cast<size_t>(nRetour)), *refRetour) << cp << " byte " << b;
        }
    }
}

// Single-byte pages go through their own tables: every byte to UTF-8, and
// every character of the Latin-1 range, the page's own characters and a few
// it cannot hold from UTF-8, answer as iconv does (failing where it fails).
TEST(Utf8Conversion, EveryByteOfSingleByteCodePagesMatchesIconv) {
    auto Converti = [](uint32_t cpVers, uint32_t cpDepuis, const std::string& s) -> std::optional<std::string> {
        char ac[64] = {};
        const int n = MultiByteToMultiByte(cpDepuis, s.data(), static_cast<int>(s.size()), cpVers, ac, sizeof ac);
        if (n == 0) return std::nullopt;
        return std::string(ac, static_cast<size_t>(n));
    };
    for (uint32_t cp : {874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u}) {
        const char* pszPage = CodePageToIConv(cp);
        std::vector<std::string> tabUtf8 = {"\xe2\x82\xac", "\xe2\x80\x94", "\xef\xbf\xbd", "\xf0\x9f\x98\x80",
                                            "\xc2", "\xed\xa0\x80", "\xc0\xaf"};
        for (int b = 1; b < 256; ++b) {
            const std::string s(1, static_cast<char>(b));
            const auto ref = RawIconv("UTF-8", pszPage, s.data(), 1);
            EXPECT_EQ(Converti(CP_UTF8, cp, s), ref) << cp << " byte " << b;
            char ac[8] = {};
            EXPECT_EQ(MultiByteToUTF8(cp, s.data(), 1, ac, sizeof ac, 0), ref ? static_cast<int>(ref->size()) : 0)
                << cp << " byte " << b;
            if (ref) {
                EXPECT_EQ(std::string(ac), *ref) << cp << " byte " << b;
            }
            if (b >= 0x80) tabUtf8.push_back(*RawIconv("UTF-8", "ISO-8859-1", s.data(), 1));
        }
        for (const std::string& s : tabUtf8) {
            const auto ref = RawIconv(pszPage, "UTF-8", s.data(), s.size());
            EXPECT_EQ(Converti(cp, CP_UTF8, s), ref) << cp << " " << Hex(s);
            char ac[8] = {};
            EXPECT_EQ(UTF8ToMultiByte(cp, s.data(), static_cast<int>(s.size()), ac, sizeof ac, 0, nullptr, nullptr),
                      ref ? static_cast<int>(ref->size()) : 0)
                << cp << " " << Hex(s);
        }
        // All the bytes in one text, the undefined ones left out.
        std::string sTout;
        for (int b = 1; b < 256; ++b) {
            const char c = static_cast<char>(b);
            if (RawIconv("UTF-8", pszPage, &c, 1)) sTout += c;
        }
        const auto refTout = RawIconv("UTF-8", pszPage, sTout.data(), sTout.size());
        ASSERT_TRUE(refTout.has_value()) << cp;
        std::string sUtf8(refTout->size() + 1, '\0');
        ASSERT_EQ(MultiByteToUTF8(cp, sTout.data(), static_cast<int>(sTout.size()), sUtf8.data(),
                                  static_cast<int>(sUtf8.size()), 0),
                  static_cast<int>(refTout->size()))
            << cp;
        EXPECT_EQ(sUtf8.c_str(), *refTout) << cp;
        std::string sRetour(sTout.size() + 1, '\0');
        ASSERT_EQ(UTF8ToMultiByte(cp, refTout->data(), static_cast<int>(refTout->size()), sRetour.data(),
                                  static_cast<int>(sRetour.size()), 0, nullptr, nullptr),
                  static_cast<int>(sTout.size()))
            << cp;
        EXPECT_EQ(sRetour.c_str(), sTout) << cp;
    }
}

TEST(WideConversion, RoundTripsThroughSeveralCodePages) {
    // Texts written in UTF-8, brought into each code page by iconv, then
    // round-tripped through wide characters and through UTF-8.
    struct { uint32_t cp; const char* utf8; } cases[] = {
        {1252, "Caf\xc3\xa9 d\xc3\xa9j\xc3\xa0 \xe2\x82\xac 100 \xc5\x93uvre"},
        {1250, "\xc5\xbelu\xc5\xa5ou\xc4\x8dk\xc3\xbd k\xc5\xaf\xc5\x88"},
        {1251, "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82, \xd0\xbc\xd0\xb8\xd1\x80"},
        {1253, "\xce\x9a\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1"},
        {1254, "\xc4\x9f\xc3\xbc\xc5\x9f\xc4\xb1\xc3\xb6\xc3\xa7 \xc4\xb0"},
        {1255, "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d"},
        {1256, "\xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7"},
        {1257, "\xc4\x85\xc4\x8d\xc4\x99\xc4\x97\xc4\xaf\xc5\xa1"},
        {874, "\xe0\xb8\xaa\xe0\xb8\xa7\xe0\xb8\xb1\xe0\xb8\xaa\xe0\xb8\x94\xe0\xb8\xb5"},
        {932, "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e \xe3\x82\xa2 abc"},
        {936, "\xe4\xb8\xad\xe6\x96\x87 abc"},
        {949, "\xed\x95\x9c\xea\xb5\xad\xec\x96\xb4"},
        {950, "\xe4\xb8\xad\xe6\x96\x87 \xe7\xb9\x81\xe9\xab\x94"},
        {1361, "\xed\x95\x9c\xea\xb8\x80"},
        {65001, "\xf0\x9f\x98\x80 mixed \xc3\xa9"},
    };
    for (const auto& c : cases) {
        const std::string sTexte = Iconv(CodePageToIConv(c.cp), "UTF-8", c.utf8);
        ASSERT_NE(sTexte, "<failed>") << c.cp;
        const int nTexte = static_cast<int>(sTexte.size());
        const std::wstring wRef = Wide(Iconv("UTF-32LE", CodePageToIConv(c.cp), sTexte));

        const int nWide = MultiByteToWideChar(c.cp, 0, sTexte.data(), nTexte, nullptr, 0);
        ASSERT_EQ(nWide, static_cast<int>(wRef.size())) << c.cp;
        std::vector<wchar_t> aw(static_cast<size_t>(nWide));
        ASSERT_EQ(MultiByteToWideChar(c.cp, 0, sTexte.data(), nTexte, aw.data(), nWide), nWide);
        EXPECT_EQ(std::wstring(aw.data(), aw.size()), wRef) << c.cp;

        const int nRetour = WideCharToMultiByte(c.cp, 0, aw.data(), nWide, nullptr, 0, nullptr, nullptr);
        ASSERT_EQ(nRetour, nTexte) << c.cp;
        std::string sRetour(static_cast<size_t>(nRetour), '\0');
        ASSERT_EQ(WideCharToMultiByte(c.cp, 0, aw.data(), nWide, sRetour.data(), nRetour, nullptr, nullptr), nRetour);
        EXPECT_EQ(sRetour, sTexte) << c.cp;

        // Through UTF-8 and back, directly.
        const int nUtf8 = MultiByteToMultiByte(c.cp, sTexte.data(), nTexte, 65001, nullptr, 0);
        ASSERT_EQ(nUtf8, static_cast<int>(strlen(c.utf8))) << c.cp;
        std::string sUtf8(static_cast<size_t>(nUtf8), '\0');
        ASSERT_EQ(MultiByteToMultiByte(c.cp, sTexte.data(), nTexte, 65001, sUtf8.data(), nUtf8), nUtf8);
        EXPECT_EQ(sUtf8, c.utf8);
        std::string sDirect(sTexte.size(), '\0');
        ASSERT_EQ(MultiByteToMultiByte(65001, sUtf8.data(), nUtf8, c.cp, sDirect.data(), nTexte), nTexte);
        EXPECT_EQ(sDirect, sTexte);
    }
}

TEST(WideConversion, CombiningCodePageIsFlushed) {
    // 1258 holds a base letter back in case a tone mark follows: the
    // converter must still hand it over at the end.
    wchar_t aw[4] = {};
    EXPECT_EQ(MultiByteToWideChar(1258, 0, "a", 1, aw, 4), 1);
    EXPECT_EQ(aw[0], L'a');
    EXPECT_EQ(MultiByteToWideChar(1258, 0, "a", 1, nullptr, 0), 1);
    const std::wstring wRef = Wide(Iconv("UTF-32LE", "CP1258", "a\xec"));   // a + combining tone mark
    EXPECT_EQ(MultiByteToWideChar(1258, 0, "a\xec", 2, aw, 4), static_cast<int>(wRef.size()));
}

TEST(WideConversion, LongTextCountsBeyondTheScratchArea) {
    std::string s;
    for (int i = 0; i < 20000; ++i) s += (i % 7 == 0) ? '\xe9' : static_cast<char>('a' + i % 26);
    const int n = static_cast<int>(s.size());
    EXPECT_EQ(MultiByteToWideChar(1252, 0, s.data(), n, nullptr, 0), n);
    const int nUtf8 = MultiByteToMultiByte(1252, s.data(), n, 65001, nullptr, 0);
    EXPECT_EQ(nUtf8, static_cast<int>(Iconv("UTF-8", "CP1252", s).size()));
    std::wstring w(static_cast<size_t>(n), L'\0');
    ASSERT_EQ(MultiByteToWideChar(1252, 0, s.data(), n, w.data(), n), n);
    EXPECT_EQ(WideCharToMultiByte(65001, 0, w.data(), n, nullptr, 0, nullptr, nullptr), nUtf8);
}

TEST(WideConversion, ThreadsConvertSideBySide) {
    // Each thread keeps its own converters: results must not mix.
    struct { uint32_t cp; std::string sTexte; } cases[] = {
        {1252, "d\xe9j\xe0"}, {1251, "\xcf\xf0\xe8"}, {1253, "\xe1\xe2\xe3"}, {932, "\x93\xfa\x96\x7b"},
    };
    std::vector<int> erreurs(4, 0);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            const auto& c = cases[t];
            const std::wstring wRef = Wide(Iconv("UTF-32LE", CodePageToIConv(c.cp), c.sTexte));
            for (int i = 0; i < 2000; ++i) {
                wchar_t aw[8] = {};
                const int n = MultiByteToWideChar(c.cp, 0, c.sTexte.data(), static_cast<int>(c.sTexte.size()), aw, 8);
                char ac[8] = {};
                const int nRetour = WideCharToMultiByte(c.cp, 0, aw, n, ac, 8, nullptr, nullptr);
                if (std::wstring(aw, static_cast<size_t>(n)) != wRef || std::string(ac, static_cast<size_t>(nRetour)) != c.sTexte) {
                    ++erreurs[t];
                }
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(erreurs, std::vector<int>(4, 0));
}

TEST(WideConversion, LengthHelpersAndCopies) {
    EXPECT_EQ(nGetUTF8Len(L"\u00e9"), 3);
    EXPECT_EQ(nGetUTF8Len(L""), 1);
    EXPECT_EQ(nGetUTF8Len(nullptr), 0);
    EXPECT_EQ(nGetUNICODELen("abc"), 4);
    EXPECT_EQ(nGetUNICODELen("\x81"), 0);   // not a character of 1252

    std::unique_ptr<char, decltype(&free)> pUtf8(pszChar2UTF8("d\xe9j\xe0 \x80"), &free);
    ASSERT_NE(pUtf8, nullptr);
    EXPECT_STREQ(pUtf8.get(), "d\xc3\xa9j\xc3\xa0 \xe2\x82\xac");

    std::unique_ptr<wchar_t, decltype(&free)> pw(pszXSTR2WSTR("\xe9\x80z", -1), &free);
    ASSERT_NE(pw, nullptr);
    EXPECT_EQ(std::wstring(pw.get()), L"\u00e9\u20acz");
    std::unique_ptr<wchar_t, decltype(&free)> pw1(pszXSTR2WSTR("\xe9\x80z", 1), &free);
    ASSERT_NE(pw1, nullptr);
    EXPECT_EQ(std::wstring(pw1.get()), L"\u00e9");
    std::unique_ptr<wchar_t, decltype(&free)> pw0(pszXSTR2WSTR("abc", 0), &free);
    ASSERT_NE(pw0, nullptr);
    EXPECT_EQ(pw0.get()[0], L'\0');
    EXPECT_EQ(pszXSTR2WSTR(nullptr, -1), nullptr);
}

// --- Code page <-> UTF-8 -----------------------------------------------------

TEST(Utf8Conversion, SameEncodingCopyIsCutForItsTerminator) {
    struct { int nSource; int nDest; int nAttendu; std::string sAttendu; } cases[] = {
        {5, 4, 3, std::string("abc\0", 4)},
        {5, 5, 4, std::string("abcd\0", 5)},
        {5, 6, 5, std::string("abcde\0", 6)},
        {3, 6, 3, std::string("abc\0\0\0", 6)},
        {5, 1, 0, std::string("\0", 1)},
    };
    for (const auto& c : cases) {
        // The source has no terminator: only its length bounds it.
        std::vector<char> source = {'a', 'b', 'c', 'd', 'e'};
        std::vector<char> dest(static_cast<size_t>(c.nDest) + 1, '#');
        EXPECT_EQ(UTF8ToMultiByte(65001, source.data(), c.nSource, dest.data(), c.nDest, 0, nullptr, nullptr),
                  c.nAttendu);
        EXPECT_EQ(std::string(dest.data(), static_cast<size_t>(c.nDest)), c.sAttendu);
        EXPECT_EQ(dest.back(), '#');
    }
}

TEST(Utf8Conversion, SizeZeroIsNeverWritten) {
    char c = '#';
    EXPECT_EQ(UTF8ToMultiByte(65001, "abc", 3, &c, 0, 0, nullptr, nullptr), 0);
    EXPECT_EQ(UTF8ToMultiByte(1252, "abc", 3, &c, 0, 0, nullptr, nullptr), 0);
    EXPECT_EQ(MultiByteToUTF8(65001, "abc", 3, &c, 0, 0), 0);
    EXPECT_EQ(MultiByteToUTF8(1252, "abc", 3, &c, 0, 0), 0);
    EXPECT_EQ(UTF8ToMultiByte(1252, "abc", 3, &c, -3, 0, nullptr, nullptr), 0);
    EXPECT_EQ(c, '#');
    EXPECT_EQ(UTF8ToMultiByte(1252, "abc", 3, nullptr, 5, 0, nullptr, nullptr), 0);
}

TEST(Utf8Conversion, ToUtf8SameEncodingRespectsSourceLength) {
    // Heap block of exactly the source, no terminator: reading one byte too
    // far is caught by the address sanitizer.
    std::unique_ptr<char[]> pSource(new char[3]{'x', 'y', 'z'});
    char acDest[8];
    memset(acDest, '#', sizeof(acDest));
    EXPECT_EQ(MultiByteToUTF8(65001, pSource.get(), 3, acDest, 8, 0), 3);
    EXPECT_EQ(std::string(acDest, 8), std::string("xyz\0\0\0\0\0", 8));
    memset(acDest, '#', sizeof(acDest));
    EXPECT_EQ(MultiByteToUTF8(65001, pSource.get(), 3, acDest, 3, 0), 2);
    EXPECT_EQ(std::string(acDest, 4), std::string("xy\0#", 4));
    EXPECT_EQ(MultiByteToUTF8(65001, "ab\0cd", 5, acDest, 8, 0), 2);
    EXPECT_EQ(MultiByteToUTF8(65001, "abcd", -1, acDest, 8, 0), 4);
}

TEST(Utf8Conversion, CodePageTexts) {
    struct { uint32_t cp; std::string sTexte; } cases[] = {
        {1252, "caf\xe9"}, {1252, "\x80 \x9c"}, {1251, "\xcf\xf0\xe8"}, {1253, "\xe1\xe2"},
        {932, "\x83\x41\x93\xfa"},   // trail bytes below 0x80 belong to their character
        {949, "\xc7\xd1 a"},         {950, "\xa4\xa4"},
    };
    for (const auto& c : cases) {
        const std::string sUtf8 = Iconv("UTF-8", CodePageToIConv(c.cp), c.sTexte);
        ASSERT_NE(sUtf8, "<failed>");
        char acDest[64];
        memset(acDest, '#', sizeof(acDest));
        const int n = MultiByteToUTF8(c.cp, c.sTexte.data(), static_cast<int>(c.sTexte.size()), acDest, 64, 0);
        EXPECT_EQ(std::string(acDest, static_cast<size_t>(n)), sUtf8) << c.cp;
        for (size_t i = static_cast<size_t>(n); i < 64; ++i) ASSERT_EQ(acDest[i], '\0') << "rest zeroed";
        memset(acDest, '#', sizeof(acDest));
        const int nRetour = UTF8ToMultiByte(c.cp, sUtf8.data(), static_cast<int>(sUtf8.size()), acDest, 64, 0, nullptr,
                                            nullptr);
        EXPECT_EQ(std::string(acDest, static_cast<size_t>(nRetour)), c.sTexte) << c.cp;
    }
    // -1: the terminator goes through and is counted.
    char acDest[16];
    EXPECT_EQ(MultiByteToUTF8(1252, "\xe9t\xe9", -1, acDest, 16, 0), 6);
    EXPECT_STREQ(acDest, "\xc3\xa9t\xc3\xa9");
    EXPECT_EQ(UTF8ToMultiByte(1252, "\xc3\xa9t\xc3\xa9", -1, acDest, 16, 0, nullptr, nullptr), 4);
    EXPECT_STREQ(acDest, "\xe9t\xe9");
}

TEST(Utf8Conversion, FullDestinationHoldsWholeCharactersOnly) {
    struct { uint32_t cp; bool bVersUtf8; std::string sSource; int nDest; std::string sAttendu; } cases[] = {
        {1252, true, "\xe9\xe9", 3, std::string("\xc3\xa9\0", 3)},
        {1252, true, "\xe9\xe9", 4, "\xc3\xa9\xc3\xa9"},
        {1252, true, "a\x80", 3, std::string("a\0\0", 3)},
        {1252, true, "abcdef", 4, "abcd"},
        {1252, false, "\xc3\xa9\xc3\xa9\xc3\xa9", 2, "\xe9\xe9"},
        {932, false, "\xe6\x97\xa5\xe6\x9c\xac", 3, std::string("\x93\xfa\0", 3)},
        {932, false, "a\xe6\x97\xa5", 2, std::string("a\0", 2)},
    };
    for (const auto& c : cases) {
        std::vector<char> dest(static_cast<size_t>(c.nDest) + 4, '#');
        const int nSource = static_cast<int>(c.sSource.size());
        const int n = c.bVersUtf8 ? MultiByteToUTF8(c.cp, c.sSource.data(), nSource, dest.data(), c.nDest, 0)
                                  : UTF8ToMultiByte(c.cp, c.sSource.data(), nSource, dest.data(), c.nDest, 0, nullptr,
                                                    nullptr);
        EXPECT_EQ(std::string(dest.data(), static_cast<size_t>(c.nDest)), c.sAttendu) << c.cp << " " << c.nDest;
        EXPECT_EQ(n, static_cast<int>(strnlen(c.sAttendu.data(), c.sAttendu.size()))) << c.cp;
        EXPECT_EQ(std::string(dest.data() + c.nDest, 4), "####") << "written past the destination";
    }
}

TEST(Utf8Conversion, AsciiBytesStayAsciiInCodePage1361) {
    // 1361 spells the backslash as the won sign; between it and UTF-8 the
    // ASCII bytes travel unchanged, Hangul (trail bytes below 0x80 too) is
    // converted.
    const std::string sHangul = Iconv("CP1361", "UTF-8", "\xed\x95\x9c\xea\xb8\x80");   // two syllables
    ASSERT_EQ(sHangul.size(), 4u);
    const std::string sJohab = "C:\\" + sHangul + "\\x";
    const std::string sUtf8 = "C:\\\xed\x95\x9c\xea\xb8\x80\\x";
    char acDest[32];
    int n = MultiByteToUTF8(1361, sJohab.data(), static_cast<int>(sJohab.size()), acDest, 32, 0);
    EXPECT_EQ(std::string(acDest, static_cast<size_t>(n)), sUtf8);
    n = UTF8ToMultiByte(1361, sUtf8.data(), static_cast<int>(sUtf8.size()), acDest, 32, 0, nullptr, nullptr);
    EXPECT_EQ(std::string(acDest, static_cast<size_t>(n)), sJohab);
    // Full destination: whole characters only, nothing past it.
    std::vector<char> petit(6 + 4, '#');
    n = UTF8ToMultiByte(1361, sUtf8.data(), static_cast<int>(sUtf8.size()), petit.data(), 6, 0, nullptr, nullptr);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(std::string(petit.data(), 6), "C:\\" + sHangul.substr(0, 2) + std::string(1, '\0'));
    EXPECT_EQ(std::string(petit.data() + 6, 4), "####");
    // A lead byte cut off at the end is an incomplete character.
    EXPECT_EQ(MultiByteToUTF8(1361, sHangul.data(), 3, acDest, 32, 0), 0);
}

TEST(Utf8Conversion, InvalidOrUnconvertibleGivesZero) {
    struct { uint32_t cp; std::string sUtf8; } cases[] = {
        {1252, "ab\xc3"}, {1252, "\xc3\x28"}, {1252, "\xff"}, {1252, "\xe4\xb8\xad"},   // U+4E2D has no 1252 byte
        {1251, "\xc3\xa9"}, {932, "\xed\xa0\x80"},
    };
    for (const auto& c : cases) {
        char acDest[16];
        EXPECT_EQ(UTF8ToMultiByte(c.cp, c.sUtf8.data(), static_cast<int>(c.sUtf8.size()), acDest, 16, 0, nullptr,
                                  nullptr),
                  0)
            << c.cp;
    }
    char acDest[16];
    EXPECT_EQ(MultiByteToUTF8(932, "\x83", 1, acDest, 16, 0), 0);
    EXPECT_EQ(MultiByteToUTF8(1252, "\x81", 1, acDest, 16, 0), 0);
}

TEST_F(AlphabetGuard, CurrentCharsetConversionsFollowTheAlphabet) {
    char acDest[16];
    EXPECT_EQ(MultiByteToUTF8_CurrentCharset("\xc0", 1, acDest, 16), 2);
    EXPECT_EQ(std::string(acDest, 2), "\xc3\x80");   // 1252: A grave
    STR_ChangeAlphabet(204, nullptr);
    EXPECT_EQ(dwGetCurrentCodePage(), 1251u);
    EXPECT_EQ(MultiByteToUTF8_CurrentCharset("\xc0", 1, acDest, 16), 2);
    EXPECT_EQ(std::string(acDest, 2), "\xd0\x90");   // 1251: Cyrillic A
    EXPECT_EQ(UTF8ToMultiByte_CurrentCharset("\xd0\x90", 2, acDest, 16), 1);
    EXPECT_EQ(acDest[0], '\xc0');
    char16_t au[4] = {};
    EXPECT_EQ(MultiByteToUTF16_CurrentCharset("\xc0", 1, au, 4), 1);
    EXPECT_EQ(au[0], u'\u0410');
    wchar_t aw[4] = {};
    EXPECT_EQ(STR_CharToWChar_CurrentCharset("\xc0", 1, aw, 4), 1);
    EXPECT_EQ(aw[0], 0x410);
    EXPECT_EQ(STR_WCharToChar_CurrentCharset(L"\u0411", 1, acDest, 4), 1);
    EXPECT_EQ(acDest[0], '\xc1');
    // A character set without a code page converts as 1252.
    STR_ChangeAlphabet(1, nullptr);
    EXPECT_EQ(MultiByteToUTF8_CurrentCharset("\xc0", 1, acDest, 16), 2);
    EXPECT_EQ(std::string(acDest, 2), "\xc3\x80");
}

TEST_F(AlphabetGuard, CreatedUtf8CopiesFollowTheCurrentCharset) {
    std::unique_ptr<char, decltype(&free)> p(STR_pszCreateToXUTF8("d\xe9j\xe0"), &free);
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p.get(), "d\xc3\xa9j\xc3\xa0");
    std::unique_ptr<char, decltype(&free)> pRetour(STR_pszCreateFromXUTF8(p.get()), &free);
    ASSERT_NE(pRetour, nullptr);
    EXPECT_STREQ(pRetour.get(), "d\xe9j\xe0");
    std::unique_ptr<char, decltype(&free)> pCoupe(STR_pszCreateToXUTF8("d\xe9j\xe0", 2), &free);
    ASSERT_NE(pCoupe, nullptr);
    EXPECT_STREQ(pCoupe.get(), "d\xc3\xa9");
    std::unique_ptr<char, decltype(&free)> pVide(STR_pszCreateToXUTF8(""), &free);
    ASSERT_NE(pVide, nullptr);
    EXPECT_STREQ(pVide.get(), "");
    EXPECT_EQ(STR_pszCreateFromXUTF8("\xe4\xb8\xad"), nullptr);   // no 1252 byte for it
    EXPECT_EQ(STR_pszCreateFromXUTF8("\xc3"), nullptr);
    EXPECT_EQ(STR_pszCreateToXUTF8(nullptr), nullptr);

    STR_ChangeAlphabet(161, nullptr);
    std::unique_ptr<char, decltype(&free)> pGrec(STR_pszCreateToXUTF8("\xe1"), &free);
    ASSERT_NE(pGrec, nullptr);
    EXPECT_STREQ(pGrec.get(), "\xce\xb1");
}

// --- STR_ conversions ---------------------------------------------------------

TEST(StrConversion, OneCharacter) {
    struct { char c; uint32_t cp; wchar_t w; } cases[] = {
        {'\x80', 1252, 0x20AC}, {'a', 1252, L'a'}, {'\xc0', 1251, 0x410}, {'\xe1', 1253, 0x3B1},
        {'\x81', 1252, 0},      {'\x82', 932, 0},  {'\xe9', 437, 0xE9},
    };
    for (const auto& c : cases) EXPECT_EQ(STR_CharToWChar(c.c, 0, c.cp), c.w) << c.cp;
}

TEST(StrConversion, AnyCodepage) {
    char ac[8] = {};
    EXPECT_EQ(STR_CharToChar_AnyCodepage(1252, "\xe9", 1, 1250, ac, 8), 1);
    EXPECT_EQ(ac[0], '\xe9');
    EXPECT_EQ(STR_CharToChar_AnyCodepage(1252, "\xe9", 1, 1251, ac, 8), 0);
    wchar_t aw[4] = {};
    EXPECT_EQ(STR_CharToWChar_AnyCodepage(1253, "\xe1", 1, aw, 4), 1);
    EXPECT_EQ(aw[0], 0x3B1);
    EXPECT_EQ(STR_WCharToChar_AnyCodepage(1255, L"\u05d0", 1, ac, 8), 1);
    EXPECT_EQ(ac[0], '\xe0');
}

// --- UTF-16 -------------------------------------------------------------------

TEST(Utf16, WideAndUtf16Copies) {
    const wchar_t aw[] = {L'a', static_cast<wchar_t>(0x1F600), static_cast<wchar_t>(0xE9), 0};
    char16_t au[8];
    memset(au, 0x23, sizeof(au));
    EXPECT_EQ(WideCharToUTF16(aw, -1, au, 8), 4);
    EXPECT_EQ(au[1], 0xF600);   // no surrogate pair: only the low bits travel
    EXPECT_EQ(au[3], 0);
    EXPECT_EQ(WideCharToUTF16(aw, -1, au, 0), 4);
    EXPECT_EQ(WideCharToUTF16(aw, 3, nullptr, 0), 3);
    memset(au, 0x23, sizeof(au));
    EXPECT_EQ(WideCharToUTF16(aw, 3, au, 2), 2);
    EXPECT_EQ(au[2], 0x2323);
    EXPECT_EQ(WideCharToUTF16(nullptr, 3, au, 2), 0);

    const char16_t auSource[] = {u'x', 0xF600, 0xE9, 0};
    wchar_t awDest[8];
    EXPECT_EQ(UTF16ToWideChar(auSource, -1, awDest, 8), 4);
    EXPECT_EQ(awDest[1], 0xF600);
    EXPECT_EQ(UTF16ToWideChar(auSource, -1, nullptr, 0), 4);
    EXPECT_EQ(UTF16ToWideChar(auSource, 3, awDest, 1), 1);
    EXPECT_EQ(utf16len(auSource), 3);
    EXPECT_EQ(utf16len(nullptr), 0);
    EXPECT_EQ(utf16nlen(auSource, 2), 2);
    EXPECT_EQ(utf16nlen(auSource, 10), 3);
}

TEST(Utf16, CodePageThroughUtf16) {
    char16_t au[8];
    memset(au, 0x23, sizeof(au));
    EXPECT_EQ(MultiByteToUTF16(1252, "\xe9\x80", -1, au, 8), 3);
    EXPECT_EQ(au[0], 0xE9);
    EXPECT_EQ(au[1], 0x20AC);
    EXPECT_EQ(au[2], 0);
    EXPECT_EQ(MultiByteToUTF16(1252, "\xe9\x80", -1, nullptr, 0), 3);
    memset(au, 0x23, sizeof(au));
    EXPECT_EQ(MultiByteToUTF16(1252, "\xe9\x80", -1, au, 2), 0);   // too small: nothing
    EXPECT_EQ(au[0], 0x2323);
    std::vector<char16_t> auLong(3000);
    std::string sLong(2999, 'q');
    EXPECT_EQ(MultiByteToUTF16(1252, sLong.c_str(), -1, auLong.data(), 3000), 3000);
    // A generous size is not an allocation request.
    EXPECT_EQ(MultiByteToUTF16(1252, "ab", 2, au, 0x7FFFFFFF), 2);
    EXPECT_EQ(MultiByteToUTF16(1252, nullptr, 2, au, 8), 0);

    char ac[8] = {};
    const char16_t auSource[] = {0xE9, 0x20AC, 0};
    EXPECT_EQ(UTF16ToMultiByte(1252, auSource, -1, ac, 8), 3);
    EXPECT_STREQ(ac, "\xe9\x80");
    EXPECT_EQ(UTF16ToMultiByte(1252, auSource, 2, nullptr, 0), 2);
    EXPECT_EQ(UTF16ToMultiByte(1252, auSource, -1, ac, 2), 0);
    const char16_t auChinois[] = {0x4E2D, 0};
    EXPECT_EQ(UTF16ToMultiByte(1252, auChinois, -1, ac, 8), 0);
    EXPECT_EQ(UTF16ToMultiByte(936, auChinois, -1, ac, 8), 3);
}

// --- UTF-8 functions ------------------------------------------------------------

TEST(Utf8Functions, FirstChar) {
    struct { std::string s; int nDisponible; int nCode; int nLongueur; } cases[] = {
        {"\xc3\xa9", 2, 0xE9, 2},         {"\xc3\xa9", 1, -1, 0},          {"A", 1, 'A', 1},
        {"A", 0, -1, 0},                  {"A", -3, -1, 0},                {"\xe2\x82\xac", 3, 0x20AC, 3},
        {"\xe2\x82\xac", 2, -1, 0},       {"\xf0\x9f\x98\x80", 4, 0x1F600, 4},
        {"\xf0\x9f\x98\x80", 3, -1, 0},   {"\xc3\x28", 2, -1, 0},          {"\xe2\x28\xac", 3, -1, 0},
        {"\xf0\x9f\x98\x28", 4, -1, 0},   {"\xf8\x88\x80\x80", 4, -1, 0},  {"\x80\x80", 2, 0, 2},
        {"\xc0\xaf", 2, 0x2F, 2},         // overlong forms are not refused
        {"\xed\xa0\x80", 3, 0xD800, 3},   // nor surrogates
    };
    for (const auto& c : cases) {
        int n = c.nDisponible;
        EXPECT_EQ(UTF8FirstChar(c.s.data(), &n), c.nCode) << c.s;
        EXPECT_EQ(n, c.nLongueur) << c.s;
    }
    int n = 4;
    EXPECT_EQ(UTF8FirstChar(nullptr, &n), -1);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(UTF8FirstChar("a", nullptr), -1);
}

TEST(Utf8Functions, Valide) {
    struct { std::string s; int n; bool b; } cases[] = {
        {"", 0, true},
        {"abc", -1, true},
        {"\xc3\xa9t\xc3\xa9", -1, true},
        {"\xc3\xa9", 1, false},                      // cut inside the sequence
        {std::string("\xc3\0", 2), -1, false},       // zero right after the lead
        {"\xe2\x82\xac", 3, true},
        {"\xe2\x82\xac", 2, false},
        {"\xf0\x9f\x98\x80", 4, true},
        {"\xf0\x9f\x98\x80", -1, true},
        {"\x80", -1, false},
        {"\xf8\x80\x80\x80\x80", -1, false},
        {"\xff", 1, false},
        {"ab\xff", 2, true},                          // the bad byte lies beyond the length
        {std::string("a\0\xff", 3), 3, true},         // a zero byte ends the scan
        {"\xc3\x28", -1, false},
        {"abc", -2, false},
    };
    for (const auto& c : cases) EXPECT_EQ(UTF8Valide(c.s.data(), c.n), c.b) << c.s << " " << c.n;
    EXPECT_TRUE(UTF8Valide(nullptr, 0));
    EXPECT_FALSE(UTF8Valide(nullptr, 3));
    EXPECT_FALSE(UTF8Valide(nullptr, -1));
}

TEST(Utf8Functions, ValideAgreesWithIconvOnWellFormedTexts) {
    for (const char* s : {"plain", "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", "\xd0\x9f\xd1\x80"}) {
        EXPECT_TRUE(UTF8Valide(s, -1));
        EXPECT_TRUE(RawIconv("UTF-32LE", "UTF-8", s, strlen(s)).has_value());
    }
}

TEST(Utf8Functions, NextAndLen) {
    struct { std::string s; int nPas; } cases[] = {
        {"ab", 1},          {"\xc3\xa9x", 2},      {"\xe2\x82\xacx", 3}, {"\xf0\x9f\x98\x80x", 4},
        {"\xc3x", 1},       {"\xe2\x82x", 2},      {"\x80\x80\x80x", 3},  // continuation in first place
        {"\xfc\x80\x80\x80\x80\x80\x80", 6},       {"\xf8\x80\x80\x80\x80\x80", 5},
        {"", 0},            // the terminator is not stepped over
        {std::string("\xc3\0\x80", 3), 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UTF8next(c.s.c_str()) - c.s.c_str(), c.nPas) << c.s;
        EXPECT_EQ(UTF8Len(c.s.c_str()), c.nPas) << c.s;
    }
    EXPECT_EQ(UTF8next(nullptr), nullptr);
    EXPECT_EQ(UTF8Len(nullptr), 0);
}
