// Character tables, the alphabet in use, mapping and comparison.
#include <gtest/gtest.h>
#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/alphabet.h"
#include "platform/charset.h"
#include "platform/chartab.h"

namespace {

// Table index of a character.
constexpr int C(char c) {
    return static_cast<unsigned char>(c);
}

class AlphabetTest : public ::testing::Test {
protected:
    void TearDown() override {
        STR_SetCtxInfoAlphabet(nullptr);
        STR_ChangeAlphabet(CHARSET_ANSI, nullptr);
    }
};

std::string Map(uint32_t dwFlags, const std::string& s, int bMajuscule, int nTaille = 256) {
    std::vector<char> dest(static_cast<size_t>(nTaille) + 1, '#');
    const int n = STR_nMapStringEx(dwFlags, dest.data(), nTaille, s.c_str(), -1, bMajuscule);
    EXPECT_EQ(dest[static_cast<size_t>(nTaille)], '#') << "written past the destination";
    EXPECT_EQ(dest[static_cast<size_t>(n)], '\0');
    return std::string(dest.data(), static_cast<size_t>(n));
}

int Count(const unsigned char* pTable, std::initializer_list<int> values = {}) {
    int n = 0;
    for (int c = 0; c < 256; ++c) {
        if (values.size() == 0 ? pTable[c] != c : std::find(values.begin(), values.end(), pTable[c]) != values.end()) ++n;
    }
    return n;
}

std::vector<int> Range(int nDebut, int nFin) {
    std::vector<int> v;
    for (int c = nDebut; c <= nFin; ++c) v.push_back(c);
    return v;
}

}  // namespace

// --- Default tables ---------------------------------------------------------

TEST(DefaultTables, CaseTablesAreInverseWithSixtyPairs) {
    EXPECT_EQ(Count(pToUpper_Latin1), 60);
    EXPECT_EQ(Count(pToLower_Latin1), 60);
    EXPECT_EQ(Count(pToNoAccent_Latin1), 60);
    for (int c = 0; c < 256; ++c) {
        if (pToUpper_Latin1[c] != c) {
            EXPECT_EQ(pToLower_Latin1[pToUpper_Latin1[c]], c) << c;
        }
        if (pToLower_Latin1[c] != c) {
            EXPECT_EQ(pToUpper_Latin1[pToLower_Latin1[c]], c) << c;
        }
    }
    struct { int from; int to; } cases[] = {
        {'a', 'A'}, {'z', 'Z'}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xE0, 0xC0}, {0xFE, 0xDE},
        {0xF7, 0xF7}, {0xFF, 0x9F}, {0xDF, 0xDF}, {0xB5, 0xB5}, {'A', 'A'}, {'1', '1'},
    };
    for (const auto& c : cases) EXPECT_EQ(pToUpper_Latin1[c.from], c.to) << c.from;
    EXPECT_EQ(pToLower_Latin1[0xD7], 0xD7);
    EXPECT_EQ(pToLower_Latin1[0x9F], 0xFF);
}

TEST(DefaultTables, UpperCaseAgreesWithTheCLibrary) {
    // Independent reference: each 1252 byte through iconv, towupper in a
    // UTF-8 locale made here, and back when 1252 holds the result.
    locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    if (loc == nullptr) GTEST_SKIP() << "no C.UTF-8 locale on this machine";
    iconv_t vers = iconv_open("UTF-32LE", "CP1252");
    iconv_t depuis = iconv_open("CP1252", "UTF-32LE");
    ASSERT_NE(vers, reinterpret_cast<iconv_t>(-1));
    ASSERT_NE(depuis, reinterpret_cast<iconv_t>(-1));
    for (int c = 1; c < 256; ++c) {
        char ch = static_cast<char>(c);
        uint32_t w = 0;
        char* pIn = &ch;
        size_t nIn = 1;
        char* pOut = reinterpret_cast<char*>(&w);
        size_t nOut = 4;
        if (iconv(vers, &pIn, &nIn, &pOut, &nOut) == static_cast<size_t>(-1)) {
            EXPECT_EQ(pToUpper_Latin1[c], c) << "undefined byte " << c;
            continue;
        }
        uint32_t wUp = static_cast<uint32_t>(towupper_l(static_cast<wint_t>(w), loc));
        unsigned char attendu = static_cast<unsigned char>(c);
        char chUp = 0;
        pIn = reinterpret_cast<char*>(&wUp);
        nIn = 4;
        pOut = &chUp;
        nOut = 1;
        if (iconv(depuis, &pIn, &nIn, &pOut, &nOut) != static_cast<size_t>(-1)) attendu = static_cast<unsigned char>(chUp);
        iconv(depuis, nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(pToUpper_Latin1[c], attendu) << "byte " << c;
    }
    iconv_close(vers);
    iconv_close(depuis);
    freelocale(loc);
}

TEST(DefaultTables, AccentRemovalKeepsCase) {
    struct { std::vector<int> bytes; int base; } cases[] = {
        {{0x8A}, 'S'}, {{0x8E}, 'Z'}, {{0x9A}, 's'}, {{0x9E}, 'z'}, {{0x9F}, 'Y'}, {Range(0xC0, 0xC5), 'A'},
        {{0xC7}, 'C'}, {Range(0xC8, 0xCB), 'E'}, {Range(0xCC, 0xCF), 'I'}, {{0xD1}, 'N'},
        {{0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD8}, 'O'}, {Range(0xD9, 0xDC), 'U'}, {{0xDD}, 'Y'},
        {Range(0xE0, 0xE5), 'a'}, {{0xE7}, 'c'}, {Range(0xE8, 0xEB), 'e'}, {Range(0xEC, 0xEF), 'i'}, {{0xF1}, 'n'},
        {{0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF8}, 'o'}, {Range(0xF9, 0xFC), 'u'}, {{0xFD, 0xFF}, 'y'},
        {{0x8C, 0x9C, 0xC6, 0xD0, 0xDE, 0xDF, 0xE6, 0xF0, 0xFE, 0xD7, 0xF7, 'e', 'E'}, -1},   // stay
    };
    for (const auto& c : cases) {
        for (int b : c.bytes) EXPECT_EQ(pToNoAccent_Latin1[b], c.base == -1 ? b : c.base) << b;
    }
}

TEST(DefaultTables, CharacterTypes) {
    struct { std::vector<int> bytes; int type; } cases[] = {
        {Range('0', '9'), 1},
        {Range('a', 'z'), 2},
        {{0x9C, 0xE6, 0xF0, 0xFE}, 2},
        {{0x8A, 0x8E, 0x9F}, 4},
        {Range(0xC0, 0xC5), 4}, {Range(0xC7, 0xCF), 4}, {Range(0xD1, 0xD6), 4}, {Range(0xD8, 0xDD), 4},
        {{0x9A, 0x9E, 0xFF}, 6},
        {Range(0xE0, 0xE5), 6}, {Range(0xE7, 0xEF), 6}, {Range(0xF1, 0xF6), 6}, {Range(0xF8, 0xFD), 6},
        {{9, 10, 13, 32, 0xA0}, 24},
        {{0, 0x83, 0x8C, 0x99, 0xAA, 0xB2, 0xB3, 0xB9, 0xBA, 0xBC, 0xBD, 0xBE, 0xC6, 0xD0, 0xDE, 0xDF}, 0},
        {Range('A', 'Z'), 0},
        {{1, 8, 11, 12, 31, '!', '-', '/', ':', '@', '[', '`', '{', 0x7F, 0x80, 0x81, 0xA1, 0xB5, 0xD7, 0xF7}, 8},
    };
    int nListes = 0;
    for (const auto& c : cases) {
        for (int b : c.bytes) EXPECT_EQ(pbyCharType_Latin1[b], c.type) << b;
        if (c.type != 8) nListes += static_cast<int>(c.bytes.size());
    }
    EXPECT_EQ(nListes, 256 - 109);
    EXPECT_EQ(Count(pbyCharType_Latin1, {8}), 109);
}

TEST(DefaultTables, SortWeightsAreATotalOrderGroupingLetters) {
    std::set<uint16_t> poids(pwCharOrder_Latin1, pwCharOrder_Latin1 + 256);
    EXPECT_EQ(poids.size(), 256u);
    const auto W = [](int c) { return pwCharOrder_Latin1[c]; };
    // Controls < blanks < punctuation < digits < letters.
    EXPECT_LT(W(1), W(' '));
    EXPECT_LT(W(' '), W('!'));
    EXPECT_LT(W('!'), W('0'));
    EXPECT_LT(W('9'), W('A'));
    EXPECT_LT(W('0'), W(0xB9));   // superscript one after zero, before two
    EXPECT_LT(W(0xB9), W('2'));
    // A, a, accented a, then B.
    EXPECT_LT(W('A'), W('a'));
    EXPECT_LT(W('a'), W(0xE0));
    EXPECT_LT(W(0xE0), W('B'));
    EXPECT_LT(W(0xC6), W('B'));   // AE ligature with the A's
    EXPECT_LT(W('e'), W(0xE9));
    EXPECT_LT(W(0xE9), W('f'));
    EXPECT_LT(W(0x9C), W('P'));   // oe ligature with the O's
    EXPECT_GT(W(0x9C), W('O'));
    EXPECT_LT(W('z'), W(0x9E));
    EXPECT_EQ(gstCharTab.pwCharOrder, pwCharOrder_Latin1);
    EXPECT_EQ(gstCharTab.pToUpper, pToUpper_Latin1);
    EXPECT_EQ(gstCharTab.pbyCharType, pbyCharType_Latin1);
}

// --- Mapping ------------------------------------------------------------------

TEST(Mapping, FlagsZeroToSeven) {
    const std::string s = "abc-D\xe9j\xe0";
    struct { uint32_t flags; int up; const char* attendu; } cases[] = {
        {0, 1, "abc-D\xe9j\xe0"},     {0, 0, "abc-D\xe9j\xe0"},
        {1, 1, "ABC-D\xc9J\xc0"},     {1, 0, "abc-d\xe9j\xe0"},
        {2, 1, "abc-Deja"},           {2, 0, "abc-Deja"},
        {3, 1, "ABC-DEJA"},           {3, 0, "abc-deja"},
        {4, 1, "abcD\xe9j\xe0"},      {4, 0, "abcD\xe9j\xe0"},
        {5, 1, "ABCD\xc9J\xc0"},      {5, 0, "abcd\xe9j\xe0"},
        {6, 1, "abcDeja"},            {6, 0, "abcDeja"},
        {7, 1, "ABCDEJA"},            {7, 0, "abcdeja"},
        {8, 1, ""},                   {2048, 1, ""},  {0x10000, 1, ""},
        {MAP_LOCAL | 7, 1, "ABCDEJA"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Map(c.flags, s, c.up), c.attendu) << c.flags << " up=" << c.up;
        EXPECT_EQ(STR_nGetMapStringLenEx(c.flags, s.c_str(), -1),
                  c.flags > 7 && c.flags != (MAP_LOCAL | 7) ? 1 : static_cast<int>(strlen(c.attendu)) + 1);
    }
    // Blanks are of the dropped kind too; accents of the ligature stay.
    EXPECT_EQ(Map(7, " \x9c uvre\t\xa0!", 1), "\x8cUVRE");
}

TEST(Mapping, DestinationSizesAndSourceLengths) {
    const char* s = "a-b\xe9";
    struct { uint32_t flags; int nTaille; int nSource; const char* attendu; } cases[] = {
        {0, 1, -1, ""},      {0, 2, -1, "a"},   {0, 4, -1, "a-b"},   {0, 5, -1, "a-b\xe9"},  {0, 9, -1, "a-b\xe9"},
        {4, 2, -1, "a"},     {4, 3, -1, "ab"},  {4, 4, -1, "ab\xe9"}, {4, 9, -1, "ab\xe9"},
        {0, 9, 2, "a-"},     {4, 9, 2, "a"},    {3, 9, 0, ""},        {3, 9, -7, ""},
    };
    for (const auto& c : cases) {
        std::vector<char> dest(static_cast<size_t>(c.nTaille) + 1, '#');
        const int n = STR_nMapStringEx(c.flags, dest.data(), c.nTaille, s, c.nSource, 1);
        EXPECT_EQ(std::string(dest.data(), static_cast<size_t>(n)), c.attendu) << c.flags << "/" << c.nTaille;
        EXPECT_EQ(dest[static_cast<size_t>(n)], '\0');
        EXPECT_EQ(dest[static_cast<size_t>(c.nTaille)], '#');
    }
    // Size 0 (or a negative size) is never written.
    char c = '#';
    EXPECT_EQ(STR_nMapStringEx(0, &c, 0, s, -1, 1), 0);
    EXPECT_EQ(STR_nMapStringEx(4, &c, -1, s, -1, 1), 0);
    EXPECT_EQ(STR_nTransforme(2049, &c, 0, s, -1), 0);
    EXPECT_EQ(STR_MapStringSortEx(0, nullptr, 4, s, -1), 0);
    EXPECT_EQ(c, '#');
    // A zero byte ends the source; a null source maps to nothing.
    char acDest[8];
    EXPECT_EQ(STR_nMapStringEx(0, acDest, 8, "ab\0cd", 5, 1), 2);
    EXPECT_EQ(STR_nMapStringEx(0, acDest, 8, nullptr, 5, 1), 0);
    EXPECT_STREQ(acDest, "");
    // In place.
    char acPlace[] = "a-b\xe9";
    EXPECT_EQ(STR_nMapStringEx(7, acPlace, sizeof(acPlace), acPlace, -1, 1), 3);
    EXPECT_STREQ(acPlace, "ABE");
}

TEST(Mapping, OneCharacter) {
    struct { uint32_t flags; char c; int up; int nAttendu; char attendu; } cases[] = {
        {0, '\xe9', 1, 1, '\xe9'}, {1, '\xe9', 1, 1, '\xc9'}, {2, '\xe9', 1, 1, 'e'}, {3, '\xe9', 1, 1, 'E'},
        {3, '\xc9', 0, 1, 'e'},    {4, '-', 1, 0, '?'},      {4, ' ', 1, 0, '?'},    {7, 'A', 0, 1, 'a'},
        {8, 'a', 1, 0, '?'},       {1, '\xff', 1, 1, '\x9f'},
    };
    for (const auto& c : cases) {
        char dest = '?';
        EXPECT_EQ(STR_nMapCharEx(c.flags, &dest, c.c, c.up), c.nAttendu) << c.flags;
        EXPECT_EQ(dest, c.attendu) << c.flags;
    }
    struct { char c; char attendu; } ica[] = {{'\xe9', 'E'}, {'\xff', 'Y'}, {'\x9c', '\x8c'}, {'a', 'A'}, {'-', '-'}};
    for (const auto& c : ica) {
        char dest = 0;
        EXPECT_EQ(STR_nMapCharIgnoreCaseAccent(&dest, c.c), 1);
        EXPECT_EQ(dest, c.attendu);
    }
}

TEST(Mapping, CreateMapString) {
    char* p = nullptr;
    EXPECT_EQ(STR_nCreateMapString(7, &p, "abc-D\xe9j\xe0"), 7);
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "ABCDEJA");
    free(p);
    EXPECT_EQ(STR_nCreateMapString(1, &p, ""), 0);
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "");
    free(p);
    EXPECT_EQ(STR_nCreateMapString(9, &p, "abc"), 0);
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "");
    free(p);
    EXPECT_EQ(STR_nCreateMapString(1, nullptr, "abc"), 0);
}

TEST(Mapping, TransformeDropsBlanks) {
    const char* s = " d\xe9j\xe0\tvu-\xa0!\r\n";
    struct { uint32_t flags; const char* attendu; } cases[] = {
        {2048, "d\xe9j\xe0vu-!"}, {2049, "D\xc9J\xc0VU-!"}, {2050, "dejavu-!"}, {2051, "DEJAVU-!"},
        {2052, ""},               {2047, ""},
        {0, " d\xe9j\xe0\tvu-\xa0!\r\n"}, {1, " D\xc9J\xc0\tVU-\xa0!\r\n"}, {7, "DEJAVU"},
        {MAP_LOCAL | 2051, "DEJAVU-!"},
    };
    for (const auto& c : cases) {
        char acDest[32];
        memset(acDest, '#', sizeof(acDest));
        const int n = STR_nTransforme(c.flags, acDest, 32, s, -1);
        EXPECT_EQ(std::string(acDest, static_cast<size_t>(n)), c.attendu) << c.flags;
    }
    char acPetit[4];
    EXPECT_EQ(STR_nTransforme(2051, acPetit, 4, s, -1), 3);
    EXPECT_STREQ(acPetit, "DEJ");
}

TEST(Mapping, SortKey) {
    uint16_t aw[8];
    EXPECT_EQ(STR_MapStringSortEx(0, aw, 8, "a\xe9", -1), 2);
    EXPECT_EQ(aw[0], pwCharOrder_Latin1[C('a')]);
    EXPECT_EQ(aw[1], pwCharOrder_Latin1[0xE9]);
    EXPECT_EQ(aw[2], 0);
    EXPECT_EQ(STR_MapStringSortEx(7, aw, 8, "a-\xe9", -1), 2);
    EXPECT_EQ(aw[0], pwCharOrder_Latin1[C('A')]);
    EXPECT_EQ(aw[1], pwCharOrder_Latin1[C('E')]);
    EXPECT_EQ(STR_MapStringSortEx(0, aw, 2, "abc", -1), 1);
    EXPECT_EQ(aw[1], 0);
    // Keys order words the way a reader expects: cote, cot\xe9, c\xf4te, c\xf4t\xe9.
    const char* mots[] = {"cote", "cot\xe9", "c\xf4te", "c\xf4t\xe9", "cotes", "d"};
    std::vector<std::vector<uint16_t>> cles;
    for (const char* m : mots) {
        uint16_t awCle[16];
        const int n = STR_MapStringSortEx(0, awCle, 16, m, -1);
        cles.emplace_back(awCle, awCle + n);
    }
    // Weights by character: a word is before another when its first
    // differing weight is lower.
    EXPECT_LT(cles[0], cles[1]);
    EXPECT_LT(cles[0], cles[2]);
    EXPECT_LT(cles[2], cles[3]);
    EXPECT_LT(cles[0], cles[4]);
    EXPECT_LT(cles[3], cles[5]);
}

TEST(Mapping, CharacterComparisons) {
    EXPECT_EQ(STR_nCompareCarLexical(0, 'a', 'b'), -1);
    EXPECT_EQ(STR_nCompareCarLexical(0, '\xe9', 'f'), -1);   // by weight, not by byte
    EXPECT_EQ(STR_nCompareCarLexical(0, 'f', '\xe9'), 1);
    EXPECT_EQ(STR_nCompareCarLexical(0, 'a', 'A'), 1);
    EXPECT_EQ(STR_nCompareCarLexical(1, 'a', 'A'), 0);
    EXPECT_EQ(STR_nCompareCarLexical(2, '\xe9', 'e'), 0);
    EXPECT_EQ(STR_nCompareCarLexical(3, '\xc9', 'e'), 0);
    EXPECT_TRUE(STR_bCompareCarSouple(0, '\xe9', 'E'));
    EXPECT_TRUE(STR_bCompareCarSouple(0, '\xff', 'y'));
    EXPECT_FALSE(STR_bCompareCarSouple(0, '\xe9', 'a'));
    EXPECT_FALSE(STR_bCompareCarSouple(0, '-', ' '));
}

// --- Comparison ---------------------------------------------------------------

TEST(Comparison, Cases) {
    struct { uint32_t flags; const char* a; int nA; const char* b; int nB; int attendu; } cases[] = {
        {0, "abc", -1, "abc", -1, 2},        {0, "abc", -1, "abd", -1, 1},     {0, "abd", -1, "abc", -1, 3},
        {0, "ab", -1, "abc", -1, 1},         {0, "abc", -1, "ab", -1, 3},      {0, "", -1, "", -1, 2},
        {0, "", -1, "a", -1, 1},             {0, "a", -1, "", -1, 3},
        {0, "ABC", -1, "abc", -1, 1},        {1, "ABC", -1, "abc", -1, 2},
        // Signed bytes: everything from 0x80 up sorts before ASCII.
        {0, "\xe9", -1, "a", -1, 1},         {1, "\xe9", -1, "a", -1, 1},      {0, "a", -1, "\xe9", -1, 3},
        {0, "\x80", -1, "\x7f", -1, 1},      {0, "\xff", -1, "\x80", -1, 3},
        {2, "\xe9", -1, "e", -1, 2},         {3, "\xc9T\xc9", -1, "ete", -1, 2}, {2, "\xc9", -1, "e", -1, 1},
        {4, "a-b", -1, "ab", -1, 2},         {4, "abc", -1, "abc!", -1, 2},    {4, "!abc", -1, "abc", -1, 2},
        {4, "a b", -1, "ab", -1, 2},         {4, "a-c", -1, "ab", -1, 3},      {4, "--", -1, "", -1, 2},
        {0, "a-b", -1, "ab", -1, 1},         {7, "D\xe9j\xe0-vu", -1, "DEJA VU", -1, 2},
        {7, "abc", -1, "abd!", -1, 1},       {5, "A-B", -1, "a.b", -1, 2},     {6, "\xe9-", -1, "e", -1, 2},
        // Lengths.
        {0, "abcX", 3, "abcY", 3, 2},        {0, "abc", -1, "abcd", 3, 2},     {0, "abcd", 4, "abc", -1, 3},
        {0, "ab\0x", 4, "ab", 2, 2},         {0, "abc", 0, "", -1, 2},         {0, "abc", 0, "a", -1, 1},
        {4, "ab--", 3, "ab", -1, 2},
        // Flags above 7: only the end rule.
        {8, "a", -1, "b", -1, 3},            {8, "", -1, "b", -1, 1},          {8, "", -1, "", -1, 2},
        {0x10000 | 1, "a", -1, "A", -1, 3},  {MAP_LOCAL | 1, "a", -1, "A", -1, 2},
        // Null texts are empty.
        {0, nullptr, -1, nullptr, -1, 2},    {0, nullptr, -1, "a", -1, 1},     {0, "a", -1, nullptr, 5, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(STR_CompareStringEx(c.flags, c.a, c.nA, c.b, c.nB), c.attendu)
            << c.flags << " [" << (c.a ? c.a : "null") << "] [" << (c.b ? c.b : "null") << "]";
    }
}

TEST(Comparison, AgreesWithMappingThenSignedOrder) {
    // The comparison must be the signed lexical order of the mapped texts.
    const char alphabet[] = {'a', 'A', 'e', '\xe9', '\xc9', ' ', '-', '\x80', '\xff', 'z', '0', '\x9c', '\x8c'};
    uint32_t graine = 12345;
    const auto Hasard = [&graine](uint32_t n) {
        graine = graine * 1103515245u + 12345u;
        return (graine >> 16) % n;
    };
    for (int essai = 0; essai < 3000; ++essai) {
        std::string a, b;
        const uint32_t nA = Hasard(6), nB = Hasard(6);
        for (uint32_t i = 0; i < nA; ++i) a += alphabet[Hasard(sizeof(alphabet))];
        for (uint32_t i = 0; i < nB; ++i) b += alphabet[Hasard(sizeof(alphabet))];
        const uint32_t flags = Hasard(8);
        char mA[16], mB[16];
        STR_nMapStringEx(flags, mA, 16, a.c_str(), -1, 1);
        STR_nMapStringEx(flags, mB, 16, b.c_str(), -1, 1);
        int attendu = 2;
        for (size_t i = 0;; ++i) {
            const auto cA = static_cast<signed char>(mA[i]);
            const auto cB = static_cast<signed char>(mB[i]);
            if (cA == 0 || cB == 0) {
                attendu = cA != 0 ? 3 : (cB == 0 ? 2 : 1);
                break;
            }
            if (cA != cB) {
                attendu = cA < cB ? 1 : 3;
                break;
            }
        }
        ASSERT_EQ(STR_CompareStringEx(flags, a.c_str(), -1, b.c_str(), -1), attendu)
            << flags << " [" << a << "] [" << b << "]";
    }
}

// --- Alphabet -----------------------------------------------------------------

namespace {

// A made-up alphabet: 'a' upper-cases to 'Q', '#' is a letter, 'e' has no
// accent form, and the weights are reversed.
struct STAlphabetEssai {
    unsigned char up[256], lo[256], na[256], ty[256];
    uint16_t ord[256];
    _stCHARTAB tab;
    STAlphabetEssai() {
        for (int c = 0; c < 256; ++c) {
            up[c] = pToUpper_Latin1[c];
            lo[c] = pToLower_Latin1[c];
            na[c] = pToNoAccent_Latin1[c];
            ty[c] = pbyCharType_Latin1[c];
            ord[c] = static_cast<uint16_t>(0xFFFF - c);
        }
        up[C('a')] = 'Q';
        ty[C('#')] = 0;
        na[0xE9] = 0xE9;
        tab = {up, lo, na, ty, ord};
    }
};

class CInfoAlphabet : public ICtxInfoAlphabet {
public:
    int nCharset = 178;
    const _stCHARTAB* pstTab = nullptr;
    int nGetCharset() override { return nCharset; }
    const _stCHARTAB* pstGetCharTab() override { return pstTab; }
    virtual ~CInfoAlphabet() = default;
};

}  // namespace

TEST_F(AlphabetTest, DefaultIsAnsi) {
    EXPECT_EQ(STR_nGetCurrentChangeCharset(), 0);
    EXPECT_EQ(STR_nGetCurrentChangeCharsetInterne(), 0);
    EXPECT_EQ(dwGetCurrentCodePage(), 1252u);
    EXPECT_EQ(STR_pstGetCharTabLocal(), &gstCharTab);
    EXPECT_EQ(STR_pstGetCharTab(MAP_LOCAL), &gstCharTab);
    EXPECT_EQ(STR_piGetCtxInfoAlphabet(), nullptr);
}

TEST_F(AlphabetTest, ChangeAndBack) {
    auto pEssai = std::make_unique<STAlphabetEssai>();
    STR_ChangeAlphabet(204, &pEssai->tab);
    EXPECT_EQ(STR_nGetCurrentChangeCharset(), 204);
    EXPECT_EQ(dwGetCurrentCodePage(), 1251u);
    const _stCHARTAB* pLocal = STR_pstGetCharTabLocal();
    ASSERT_NE(pLocal, &gstCharTab);
    EXPECT_EQ(pLocal->pToUpper[C('a')], 'Q');

    // The local alphabet is a copy: the host may reuse its tables.
    pEssai->up[C('a')] = 'R';
    pEssai.reset();
    EXPECT_EQ(Map(MAP_LOCAL | 1, "a#b", 1), "Q#B");
    EXPECT_EQ(Map(MAP_LOCAL | 4, "a#b", 1), "a#b");     // '#' is a letter there
    EXPECT_EQ(Map(MAP_LOCAL | 2, "\xe9\xe8", 1), "\xe9""e");
    EXPECT_EQ(Map(1, "a#b", 1), "A#B");                 // the default tables are untouched
    EXPECT_EQ(Map(4, "a#b", 1), "ab");
    EXPECT_EQ(STR_CompareStringEx(MAP_LOCAL | 1, "a", -1, "Q", -1), 2);
    EXPECT_EQ(STR_CompareStringEx(1, "a", -1, "Q", -1), 1);
    EXPECT_EQ(STR_nCompareCarLexical(MAP_LOCAL, 'a', 'b'), 1);   // reversed weights
    EXPECT_EQ(STR_nCompareCarLexical(0, 'a', 'b'), -1);
    uint16_t aw[4];
    STR_MapStringSortEx(MAP_LOCAL, aw, 4, "a", -1);
    EXPECT_EQ(aw[0], 0xFFFF - 'a');

    STR_ChangeAlphabet(0, nullptr);
    EXPECT_EQ(STR_nGetCurrentChangeCharset(), 0);
    EXPECT_EQ(STR_pstGetCharTabLocal(), &gstCharTab);
    EXPECT_EQ(Map(MAP_LOCAL | 1, "a#b", 1), "A#B");
}

TEST_F(AlphabetTest, MissingTablesKeepTheirDefault) {
    STAlphabetEssai essai;
    _stCHARTAB partiel = {essai.up, nullptr, nullptr, nullptr, nullptr};
    STR_ChangeAlphabet(238, &partiel);
    const _stCHARTAB* pLocal = STR_pstGetCharTabLocal();
    EXPECT_EQ(pLocal->pToUpper[C('a')], 'Q');
    EXPECT_EQ(memcmp(pLocal->pToLower, pToLower_Latin1, 256), 0);
    EXPECT_EQ(memcmp(pLocal->pbyCharType, pbyCharType_Latin1, 256), 0);
    EXPECT_EQ(memcmp(pLocal->pwCharOrder, pwCharOrder_Latin1, sizeof(pwCharOrder_Latin1)), 0);
    EXPECT_EQ(dwGetCurrentCodePage(), 1250u);
}

TEST_F(AlphabetTest, CharsetWithoutCodePageAnd127) {
    STR_ChangeAlphabet(127, nullptr);
    EXPECT_EQ(STR_nGetCurrentChangeCharset(), 0);
    EXPECT_EQ(STR_nGetCurrentChangeCharsetInterne(), 127);
    EXPECT_EQ(dwGetCurrentCodePage(), 0u);
    STR_ChangeAlphabet(1, nullptr);
    EXPECT_EQ(STR_nGetCurrentChangeCharset(), 1);
    EXPECT_EQ(dwGetCurrentCodePage(), 0u);
}

TEST_F(AlphabetTest, InterfaceTakesPrecedence) {
    STAlphabetEssai essai;
    CInfoAlphabet info;
    info.pstTab = &essai.tab;
    STR_ChangeAlphabet(204, nullptr);
    STR_SetCtxInfoAlphabet(&info);
    EXPECT_EQ(STR_nGetCurrentChangeCharset(), 178);
    EXPECT_EQ(dwGetCurrentCodePage(), 1256u);
    EXPECT_EQ(STR_pstGetCharTabLocal(), &essai.tab);
    EXPECT_EQ(Map(MAP_LOCAL | 1, "a", 1), "Q");
    // The interface is asked each time.
    info.nCharset = 127;
    EXPECT_EQ(STR_nGetCurrentChangeCharset(), 0);
    EXPECT_EQ(STR_nGetCurrentChangeCharsetInterne(), 127);
    info.pstTab = nullptr;
    EXPECT_EQ(STR_pstGetCharTabLocal(), &gstCharTab);
    _stCHARTAB incomplet = essai.tab;
    incomplet.pwCharOrder = nullptr;
    info.pstTab = &incomplet;
    EXPECT_EQ(STR_pstGetCharTabLocal(), &gstCharTab);
    // Removing it brings back the value set directly.
    STR_SetCtxInfoAlphabet(nullptr);
    EXPECT_EQ(STR_nGetCurrentChangeCharset(), 204);
}

TEST_F(AlphabetTest, HostAlphabetChange) {
    STAlphabetEssai essai;
    CInfoAlphabet info;
    info.nCharset = 161;
    // Level 1: the alphabet only.
    PLATFORM_ChangeAlphabet(204, &essai.tab, nullptr);
    EXPECT_EQ(STR_nGetCurrentChangeCharset(), 204);
    EXPECT_EQ(STR_pstGetCharTabLocal()->pToUpper[C('a')], 'Q');
    EXPECT_EQ(STR_piGetCtxInfoAlphabet(), nullptr);
    // Level 2: with the interface, which then answers.
    PLATFORM_ChangeAlphabet(238, nullptr, &info);
    EXPECT_EQ(STR_piGetCtxInfoAlphabet(), &info);
    EXPECT_EQ(STR_nGetCurrentChangeCharset(), 161);
    EXPECT_EQ(STR_pstGetCharTabLocal(), &gstCharTab);
    // Back to the default.
    STR_SetCtxInfoAlphabet(nullptr);
    PLATFORM_ChangeAlphabet(0, nullptr, nullptr);
    EXPECT_EQ(STR_nGetCurrentChangeCharset(), 0);
    EXPECT_EQ(STR_pstGetCharTabLocal(), &gstCharTab);
}
