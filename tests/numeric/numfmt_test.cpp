// The number formats of NumeriqueVersChaine and the size texts, in-process
// (C locale: "." decimal separator, no thousands separator, so a blank).
#include <clocale>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "numeric/numfmt.h"
#include "numeric/taille.h"

namespace {

class NumFmt : public ::testing::Test {
protected:
    void SetUp() override { std::setlocale(LC_ALL, "C"); }
};

STValeurNum Reel(double r) { return STValeurNum{12, r, 0}; }
STValeurNum Entier(int32_t n) { return STValeurNum{8, double(n), 0}; }
STValeurNum Entier64(int64_t ll) { return STValeurNum{9, double(ll), ll}; }
STValeurNum Monetaire(double r) { return STValeurNum{10, r, 0}; }
STValeurNum NonSigne64(uint64_t ull) { return STValeurNum{5, double(ull), int64_t(ull)}; }

struct STCas {
    STValeurNum stValeur;
    const char* pszFormat;
    const char* pszAttendu;
};

TEST_F(NumFmt, FormatsWriteTheValue) {
    const std::vector<STCas> tab = {
        {Reel(3.14159), "%5.2f", " 3.14"},
        {Reel(3.14159), "5.2f", " 3.14"},
        {Reel(3.14159), "-8.3f", "3.142   "},
        {Entier(7), "+d", "+7"},
        {Reel(2.5), "d", "3"},
        {Reel(-2.5), "d", "-3"},
        {Reel(0.125), ".2f", "0.13"},
        {Reel(-0.125), ".2f", "-0.13"},
        {Reel(1.005), ".2f", "1.01"},
        {Reel(1234567.891), "10.2fs", "1 234 567.89"},
        {Reel(1234567.891), "12.2fs", "1 234 567.89"},
        {Reel(1234567.891), "14.2fs", "  1 234 567.89"},
        {Reel(-1234567.891), "12.2fs", "-1 234 567.89"},
        {Reel(-1234.5), "-10.1fs", "-1 234.5   "},
        {Reel(1234.5), "010.2fs", "001 234.50"},
        {Reel(999.5), ".1fs", "999.5"},
        {Reel(1234.5), "s", "1 234.500000"},
        {Reel(1234.5), "S", "1 234.500000"},
        {Entier(-1), "x", "ffffffff"},
        {Entier(-1), "04X", "FFFF"},
        {Entier(255), "X", "FF"},
        {Entier(255), "08x", "000000ff"},
        {Entier(-63488), "04x", "f800"},      // 0xffff0800: kept "0800", sign extended
        {Entier(-61440), "04x", "1000"},      // 0xffff1000: bit 3 of "1" clear
        {Entier(8), "o", "10"},
        {Entier(8), "O", "10"},
        {Entier(-1), "3o", "777"},
        {Entier(255), "xs", "ff"},            // no separators in hexadecimal
        {Entier64(int64_t(1) << 40), "d", "1099511627776"},
        {Entier64(int64_t(1) << 40), "x", "10000000000"},
        {Entier64(int64_t(1) << 40), "ds", "1 099 511 627 776"},
        {Monetaire(-1), "x", "ffffffffffffffff"},
        {Reel(12345.678), "e", "1.234568e+04"},
        {Reel(12345.678), "E", "1.234568E+04"},
        {Reel(12345.678), "12.2e", "    1.23e+04"},
        {Reel(1e100), ".1e", "1.0e+100"},
        {Reel(1.5), "%,1f", "1.5"},           // the C locale's decimal separator is "."
        {Reel(1.5), "lf", "1.500000"},
        {Reel(1.5), "fl", "1.500000"},
        {Reel(1.5), "F", "1.500000"},
        {Reel(42), "D", "42"},
        {Reel(5), "+05.1f", "+05.0"},
        {Reel(-1e300), "x", "0"},             // saturates, then keeps 32 bits
        {Reel(7), "100.0f", nullptr},         // checked by length below
    };
    for (const auto& cas : tab) {
        if (cas.pszAttendu == nullptr) continue;
        std::string s;
        ASSERT_EQ(NUM_eFormate(cas.stValeur, cas.pszFormat, s), RF_OK) << cas.pszFormat;
        EXPECT_EQ(s, cas.pszAttendu) << cas.pszFormat << " of " << cas.stValeur.r;
    }
    std::string s;
    ASSERT_EQ(NUM_eFormate(Reel(7), "100.0f", s), RF_OK);
    EXPECT_EQ(s, std::string(99, ' ') + "7");
    // Texts longer than any fixed buffer.
    ASSERT_EQ(NUM_eFormate(Reel(1e300), "100.100f", s), RF_OK);
    EXPECT_EQ(s.size(), 301u + 1 + 100);
    EXPECT_EQ(s.compare(0, 2, "10"), 0);
}

// 8-byte integers outside the 32-bit range, either side, keep every digit
// and every bit; inside it they are formatted as any other number.
TEST_F(NumFmt, EightByteIntegersKeepEveryDigit) {
    const std::vector<STCas> tab = {
        {Entier64(-9007199254740993LL), "d", "-9007199254740993"},
        {Entier64(9007199254740993LL), "d", "9007199254740993"},
        {Entier64(INT64_MAX), "d", "9223372036854775807"},
        {Entier64(INT64_MIN), "d", "-9223372036854775808"},
        {Entier64(INT64_MIN), "+25d", "     -9223372036854775808"},
        {Entier64(9007199254740993LL), "+d", "+9007199254740993"},
        {Entier64(9007199254740993LL), "-20d", "9007199254740993    "},
        {Entier64(9007199254740993LL), "020d", "00009007199254740993"},
        {Entier64(-9007199254740993LL), "ds", "-9 007 199 254 740 993"},
        {Entier64(-1099511627776LL), "X", "FFFFFF0000000000"},
        {Entier64(-1099511627776LL), "x", "ffffff0000000000"},
        {Entier64(-1099511627776LL), "o", "1777777760000000000000"},
        {Entier64(-1099511627776LL), "12X", "FF0000000000"},   // the last 12 digits
        {Entier64(-1099511627776LL), "10X", "0000000000"},
        {Entier64(-3000000000LL), "x", "ffffffff4d2fa200"},
        {Entier64(-2147483648LL), "x", "80000000"},             // inside: 4 bytes
        {Entier64(-5), "x", "fffffffb"},
        {Entier64(-5), "d", "-5"},
        {Entier64(4294967295LL), "x", "ffffffff"},
        {Entier64(4294967296LL), "x", "100000000"},
        {Entier64(9007199254740993LL), ".0f", "9007199254740993"},
        {Entier64(9007199254740993LL), ".2f", "9007199254740993.00"},
        {Entier64(-9007199254740993LL), "25.1f", "      -9007199254740993.0"},
        {Entier64(-9007199254740993LL), "025.1f", "-0000009007199254740993.0"},
        {Entier64(-9007199254740993LL), "-22.0f", "-9007199254740993     "},
        {Entier64(9007199254740993LL), "s", "9 007 199 254 740 993.000000"},
        {Entier64(9007199254740993LL), "e", "9.007199e+15"},
        {NonSigne64(UINT64_MAX), "d", "18446744073709551615"},
        {NonSigne64(UINT64_MAX), "x", "ffffffffffffffff"},
        {NonSigne64(UINT64_MAX), "4x", "ffffffffffffffff"},     // positive: nothing cut
        {NonSigne64(UINT64_MAX), ".0f", "18446744073709551615"},
        {NonSigne64(1ULL << 63), "ds", "9 223 372 036 854 775 808"},
        {NonSigne64(7), "d", "7"},
        {Reel(5e9), "x", "2a05f200"},                            // through 64 bits, then 4 bytes
        {Reel(-5e9), "x", "d5fa0e00"},
        {Reel(1e300), "x", "ffffffff"},
    };
    for (const auto& cas : tab) {
        std::string s;
        ASSERT_EQ(NUM_eFormate(cas.stValeur, cas.pszFormat, s), RF_OK) << cas.pszFormat;
        EXPECT_EQ(s, cas.pszAttendu) << cas.pszFormat << " of " << cas.stValeur.ll;
    }
}

TEST_F(NumFmt, InvalidFormatsAreRefused) {
    const char* tab[] = {"%q", "q", "5.2fq", "5.2f.", "5.2.3f", "--+z", "101f", ".101f", "99999999999999f",
                         "f5", "x+"};
    for (const char* psz : tab) {
        std::string s = "x";
        EXPECT_EQ(NUM_eFormate(Reel(1), psz, s), RF_FORMAT_INVALIDE) << psz;
        EXPECT_EQ(s, "") << psz;
    }
}

TEST_F(NumFmt, AnalysisFillsTheRecord) {
    struct {
        const char* psz;
        uint16_t wFlags;
        char c;
        int nLargeur, nPrecision;
    } tab[] = {
        {"%-+010.3fs", FMT_GAUCHE | FMT_SIGNE | FMT_MILLIERS, 'f', 10, 3},   // "-" drops zero padding
        {"08,2F", FMT_ZEROS | FMT_VIRGULE, 'f', 8, 2},
        {"", 0, 'f', 0, 6},
        {"%", 0, 'f', 0, 6},
        {"12s", FMT_MILLIERS, 'f', 12, 6},
        {"5ld", FMT_LONG, 'd', 5, 0},
        {"Xs", 0, 'X', 0, 0},
        {"E", 0, 'E', 0, 6},
        {"3.1e", 0, 'e', 3, 1},
        // 17 characters: the last ("q") is not read.
        {"1111111111111111q", 0, 'f', 10000, 6},
    };
    for (const auto& cas : tab) {
        _stFMTINFO st;
        ASSERT_TRUE(CHAINE_bAnalyseFormat(cas.psz, &st)) << cas.psz;
        EXPECT_EQ(st.wFlags, cas.wFlags) << cas.psz;
        EXPECT_EQ(st.cFormat, cas.c) << cas.psz;
        EXPECT_EQ(st.nLargeur, cas.nLargeur) << cas.psz;
        EXPECT_EQ(st.nPrecision, cas.nPrecision) << cas.psz;
    }
    _stFMTINFO st;
    EXPECT_FALSE(CHAINE_bAnalyseFormat(nullptr, &st));
}

TEST_F(NumFmt, CLibraryFormat) {
    struct {
        _stFMTINFO st;
        const char* pszAttendu;
    } tab[] = {
        {{FMT_GAUCHE | FMT_SIGNE, 'f', 8, 3}, "%-+8.3f"},
        {{FMT_ZEROS, 'e', 0, 6}, "%0.6e"},
        {{0, 'x', 4, 0}, "%4x"},
        {{FMT_MONETAIRE, 'X', 0, 0}, "%llX"},
        {{FMT_ENTIER64, 'd', 3, 0}, "%3lld"},
        {{FMT_ENTIER64, 'O', 0, 0}, "%llo"},
    };
    for (const auto& cas : tab) {
        char sz[48];
        int n = CHAINE_nFmtInfo2Format(sz, &cas.st);
        EXPECT_STREQ(sz, cas.pszAttendu);
        EXPECT_EQ(n, int(strlen(cas.pszAttendu)));
    }
}

TEST_F(NumFmt, ExponentOfThreeDigitsIsShortened) {
    struct {
        _stFMTINFO st;
        const char* psz;
        const char* pszAttendu;
    } tab[] = {
        {{0, 'e', 10, 2}, " 1.00e+005", "  1.00e+05"},
        {{FMT_ZEROS, 'e', 10, 2}, "-1.00e+005", "-01.00e+05"},
        {{FMT_GAUCHE, 'e', 10, 2}, "1.00e+005 ", "1.00e+005 "},   // not at the end
        {{FMT_GAUCHE, 'e', 10, 2}, "1.00e+005", "1.00e+05"},
        {{0, 'e', 4, 2}, "1.00e+005", "1.00e+05"},                // longer than the width
        {{0, 'e', 0, 2}, "1.00e+105", "1.00e+105"},
        {{0, 'e', 0, 2}, "e+0", "e+0"},
    };
    for (const auto& cas : tab) {
        std::string s = cas.psz;
        CHAINE_AligneExposant16Bits(&cas.st, s);
        EXPECT_EQ(s, cas.pszAttendu) << cas.psz;
    }
}

TEST_F(NumFmt, LocaleSeparators) {
    char c = 0;
    EXPECT_TRUE(bGetVirguleLocale(&c));
    EXPECT_EQ(c, '.');
    EXPECT_FALSE(bGetPointLocale(&c));
    EXPECT_EQ(c, ' ');
}

TEST(Taille, SizesInUnits) {
    const char* pszUnites = "octet(s);Ko;Mo;Go;To";
    struct {
        int64_t ll;
        int nUnite;
        const char* pszAttendu;
    } tab[] = {
        {0, 0, "0 octet"},
        {1, 0, "1 octet"},
        {2, 0, "2 octets"},
        {1023, 0, "1023 octets"},
        {1024, 0, "1,00 Ko"},
        {1536, 0, "1,50 Ko"},
        {1536, 1, "1536 octets"},
        {1536, 2, "1,50 Ko"},
        {1536, 3, "0,00 Mo"},
        {int64_t(3) << 20, 0, "3,00 Mo"},
        {int64_t(5) << 30, 0, "5,00 Go"},
        {int64_t(5) << 40, 0, "5,00 To"},
        {int64_t(5) << 50, 0, "5120,00 To"},
        {int64_t(5) << 40, 5, "5,00 To"},
        {int64_t(5) << 40, 1, "5497558138880 octets"},
        {int64_t(5) << 30, 2, "5242880,00 Ko"},
        {-5, 0, "-5 octet"},
        {1, 4, "0,00 Go"},
    };
    for (const auto& cas : tab) {
        std::string s;
        ASSERT_TRUE(NUM_bTailleVersTexte(cas.ll, cas.nUnite, pszUnites, ',', s));
        EXPECT_EQ(s, cas.pszAttendu) << cas.ll << " unit " << cas.nUnite;
    }
    std::string s = "x";
    EXPECT_FALSE(NUM_bTailleVersTexte(1, 6, pszUnites, ',', s));
    EXPECT_EQ(s, "");
    EXPECT_FALSE(NUM_bTailleVersTexte(1, -1, pszUnites, ',', s));
    // Names without "(s)", and missing names.
    ASSERT_TRUE(NUM_bTailleVersTexte(5, 0, "bytes;KB", ',', s));
    EXPECT_EQ(s, "5 bytes");
    ASSERT_TRUE(NUM_bTailleVersTexte(int64_t(1) << 30, 0, "B;KB", '.', s));
    EXPECT_EQ(s, "1.00 ");
    ASSERT_TRUE(NUM_bTailleVersTexte(5, 0, nullptr, ',', s));
    EXPECT_EQ(s, "5 ");
}

}  // namespace
