// The digit-string helpers: FmtNum's rounding, widths and exponents, and
// the in-place edits it is made of.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "numeric/fmtnum.h"

namespace {

TEST(FmtNum, RewritesTheNumber) {
    struct {
        const char* pszTexte;
        int nLargeur, nDecimales, nSignificatifs, nAlignement, bDeveloppe, bSupprime;
        const char* pszAttendu;
    } tab[] = {
        // Decimals: rounded on the first digit dropped, filled with zeros.
        {"3.14159", -1, 2, 0, 0, 0, 0, "3.14"},
        {"3.145", -1, 2, 0, 0, 0, 0, "3.15"},
        {"-3.145", -1, 2, 0, 0, 0, 0, "-3.15"},
        {"2.5", -1, 0, 0, 0, 0, 0, "3"},
        {"9.999", -1, 2, 0, 0, 0, 0, "10.00"},
        {"999.96", -1, 1, 0, 0, 0, 0, "1000.0"},
        {"1.5", -1, 4, 0, 0, 0, 0, "1.5000"},
        {"12", -1, 2, 0, 0, 0, 0, "12.00"},
        {"1.2500", -1, -1, 0, 0, 0, 0, "1.25"},
        {"7.000", -1, -1, 0, 0, 0, 0, "7"},
        {"-0.004", -1, 2, 0, 0, 0, 0, "0.00"},     // no digit left: no sign
        {"-0.005", -1, 2, 0, 0, 0, 0, "-0.01"},
        {"  +4.2  ", -1, 1, 0, 0, 0, 0, "4.2"},
        {".5", -1, 0, 0, 0, 0, 0, "1"},
        {"007.10", -1, -1, 0, 0, 0, 0, "7.1"},
        // Significant digits.
        {"123456", -1, -1, 3, 0, 0, 0, "123000"},
        {"123556", -1, -1, 3, 0, 0, 0, "124000"},
        {"999999", -1, -1, 2, 0, 0, 0, "1000000"},
        {"0.00123456", -1, -1, 2, 0, 0, 0, "0.0012"},
        {"0.00125", -1, -1, 2, 0, 0, 0, "0.0013"},
        {"1.23456", -1, 4, 3, 0, 0, 0, "1.2300"},
        {"0", -1, -1, 3, 0, 0, 0, "0"},
        // Exponents: kept, or written out.
        {"1.5e3", -1, 2, 0, 0, 0, 0, "1.50e3"},
        {"1.5e3", -1, -1, 0, 0, 1, 0, "1500"},
        {"1.5E-3", -1, -1, 0, 0, 1, 0, "0.0015"},
        {"-2.25e+1", -1, 1, 0, 0, 1, 0, "-22.5"},
        {"1e49", -1, -1, 0, 0, 1, 0, "10000000000000000000000000000000000000000000000000"},
        {"1e50", -1, -1, 0, 0, 1, 0, "*E*"},   // beyond 50 characters
        {"1e-60", -1, -1, 0, 0, 1, 0, "*E*"},
        {"1e999999999", -1, -1, 0, 0, 1, 0, "*E*"},
        {"1e999999999", -1, -1, 0, 0, 0, 0, "1e999999999"},
        // Widths and alignment.
        {"3.14159", 8, 2, 0, 0, 0, 0, "    3.14"},
        {"3.14159", 8, 2, 0, 1, 0, 0, "3.14    "},
        {"3.14159", 4, 2, 0, 0, 0, 0, "3.14"},
        {"3.14159", 3, 2, 0, 0, 0, 0, "*E*"},
        {"3.14159", 60, 2, 0, 0, 0, 0, "*E*"},
        {"3.14159", -5, 2, 0, 0, 0, 0, "*E*"},
        // Trailing zeros removed on demand.
        {"1.500", -1, 3, 0, 0, 0, 1, "1.5"},
        {"2.000", -1, 3, 0, 0, 0, 1, "2"},
        {"2.000", 6, 3, 0, 0, 0, 1, "     2"},
        // Not numbers.
        {"", -1, 2, 0, 0, 0, 0, "*E*"},
        {"abc", -1, 2, 0, 0, 0, 0, "*E*"},
        {"1.2.3", -1, 2, 0, 0, 0, 0, "*E*"},
        {"12x", -1, 2, 0, 0, 0, 0, "*E*"},
        {"-", -1, 2, 0, 0, 0, 0, "*E*"},
        {"1e", -1, 2, 0, 0, 0, 0, "*E*"},
    };
    for (const auto& c : tab) {
        char sz[FMTNUM_TAILLE_TAMPON];
        strcpy(sz, c.pszTexte);
        EXPECT_STREQ(FmtNum(sz, c.nLargeur, c.nDecimales, c.nSignificatifs, c.nAlignement, c.bDeveloppe, c.bSupprime),
                     c.pszAttendu)
            << '"' << c.pszTexte << "\" " << c.nLargeur << " " << c.nDecimales << " " << c.nSignificatifs << " "
            << c.nAlignement << " " << c.bDeveloppe << " " << c.bSupprime;
    }
}

TEST(FmtNum, LongInputStaysInItsBuffer) {
    std::string s(1000, '9');
    s += ".5";
    std::vector<char> tab(s.begin(), s.end());
    tab.push_back(0);
    EXPECT_STREQ(FmtNum(tab.data(), -1, 0, 0, 0, 0, 0), "*E*");
}

TEST(FmtInc, CarriesLeftwards) {
    struct {
        const char* pszTexte;
        int nDebut, nFin;
        const char* pszAttendu;
        int nInsere;
    } tab[] = {
        {"123", 0, 2, "124", 0},  {"129", 0, 2, "130", 0},   {"999", 0, 2, "1000", 1},
        {"9.99", 0, 3, "10.00", 1}, {"1.99", 0, 3, "2.00", 0}, {"-99", 1, 2, "-100", 1},
        {"x99", 0, 2, "x100", 1}, {"129", 1, 1, "139", 0},    {"5", 0, 0, "6", 0},
    };
    for (const auto& c : tab) {
        char sz[16];
        strcpy(sz, c.pszTexte);
        EXPECT_EQ(FmtInc(sz + c.nDebut, sz + c.nFin), c.nInsere) << c.pszTexte;
        EXPECT_STREQ(sz, c.pszAttendu) << c.pszTexte;
    }
    char sz[4] = "12";
    EXPECT_EQ(FmtInc(sz + 1, sz), 0);   // an empty range changes nothing
    EXPECT_STREQ(sz, "12");
}

TEST(FmtInsSupCar, EditInPlace) {
    struct {
        const char* pszTexte;
        bool bInsere;
        int nPosition;
        const char* pszAttendu;
    } tab[] = {
        {"abc", true, 1, "aXbc"}, {"abc", true, 0, "Xabc"},  {"abc", true, 3, "abcX"}, {"abc", true, 99, "abcX"},
        {"abc", true, -4, "Xabc"}, {"", true, 0, "X"},        {"abc", false, 1, "ac"},  {"abc", false, 0, "bc"},
        {"abc", false, 2, "ab"},  {"abc", false, 3, "abc"},   {"abc", false, -1, "abc"}, {"", false, 0, ""},
    };
    for (const auto& c : tab) {
        char sz[8];
        strcpy(sz, c.pszTexte);
        if (c.bInsere)
            EXPECT_STREQ(FmtInsCar(sz, c.nPosition, 'X'), c.pszAttendu) << c.pszTexte << " " << c.nPosition;
        else
            EXPECT_STREQ(FmtSupCar(sz, c.nPosition), c.pszAttendu) << c.pszTexte << " " << c.nPosition;
    }
}

TEST(SansEspaceAutour, TrimsBothEnds) {
    struct {
        const char* pszTexte;
        const char* pszAttendu;
    } tab[] = {
        {"  a b  ", "a b"}, {"\tx\t", "x"}, {"   ", ""}, {"", ""}, {"abc", "abc"}, {" a", "a"}, {"a ", "a"},
    };
    for (const auto& c : tab) {
        char sz[16];
        strcpy(sz, c.pszTexte);
        EXPECT_STREQ(SansEspaceAutour(sz), c.pszAttendu) << '"' << c.pszTexte << '"';
    }
    EXPECT_EQ(SansEspaceAutour(nullptr), nullptr);
    EXPECT_EQ(FmtNum(nullptr, -1, 2, 0, 0, 0, 0), nullptr);
}

}  // namespace
