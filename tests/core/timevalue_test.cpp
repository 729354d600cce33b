// Date-time and duration values: their eight bytes and their storage
// texts, read and written. The calendar on top of them is tested in
// tests/datetime.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/timevalue.h"
#include "core/tstring.h"
#include "core/zndstr.h"

namespace {

constexpr int64_t MS_JOUR = 86400000;
// 1 day, 2 hours, 3 minutes, 4 seconds, 5 milliseconds.
constexpr int64_t DUREE_EXEMPLE = MS_JOUR + 2 * 3600000 + 3 * 60000 + 4 * 1000 + 5;

CValeurDateHeure _Dt(const char* psz) {
    CValeurDateHeure cl;
    cl.InitDate();
    cl.nFromString(psz);
    return cl;
}

std::string _Str(const CValeurDateHeure& cl) {
    char sz[CValeurDateHeure::TAILLE_CHAINE + 1];
    cl.VersChaine(sz, CValeurDateHeure::TAILLE_CHAINE);
    return sz;
}

CValeurDuree _D(int64_t ll) {
    CValeurDuree cl;
    cl.SetMillisecondes(ll);
    return cl;
}

std::string _Texte(int64_t ll, bool bCentiemes) {
    CZNDSTR cl;
    CValeurDuree d = _D(ll);
    EXPECT_EQ(bCentiemes ? d.nVersChaineCentieme(cl) : d.nVersChaine(cl), 0);
    return cl.pszGet();
}

TEST(ValeurDateHeure, LayoutAndDateWord) {
    CValeurDateHeure cl;
    cl.Set(2024, 3, 15, 1, 2, 3, 4);
    EXPECT_EQ(cl.dwGetDate(), (2024u << 16) | (3u << 8) | 15u);
    EXPECT_EQ(cl.dwGetMillisecondes(), 3723004u);
    uint32_t adw[2];
    std::memcpy(adw, &cl, sizeof adw);
    EXPECT_EQ(adw[0], cl.dwGetDate());
    EXPECT_EQ(adw[1], 3723004u);
    cl.InitDate();
    EXPECT_TRUE(cl.bEstVide());
    EXPECT_EQ(_Str(cl), "00000000000000000");
}

TEST(ValeurDateHeure, FromString) {
    const struct {
        const char* psz;
        const char* pszAttendu;
    } cas[] = {
        {"20240315", "20240315000000000"},
        {"2024031512", "20240315120000000"},
        {"20240315123456", "20240315123456000"},
        {"2024031512345678", "20240315123456780"},   // hundredths
        {"20240315123456789", "20240315123456789"},  // milliseconds
        {"202403151234567", "20240315123456700"},    // tenths
        {"", "00000000000000000"},
        {"2024", "20240000000000000"},
        {"20241399", "20241399000000000"},           // stored as read
        {"abcdefgh", "00000000000000000"},
        {"2024031512345678999999", "20240315123456789"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.psz);
        CValeurDateHeure cl;
        cl.Set(1999, 1, 1, 1, 1, 1, 1);
        EXPECT_EQ(cl.nFromString(c.psz), 0);
        EXPECT_EQ(_Str(cl), c.pszAttendu);
    }
    CValeurDateHeure cl;
    cl.InitDate();
    EXPECT_EQ(cl.nFromString(nullptr), 0);
    EXPECT_TRUE(cl.bEstVide());

    CZNBIN clBin;
    ASSERT_EQ(clBin.nAssign("20240315123456789XYZ", 20), 0);
    cl.nDepuisBinaire(clBin);
    EXPECT_EQ(_Str(cl), "20240315123456789");
    ASSERT_EQ(clBin.nAssign("2024\0" "0315", 9), 0);
    cl.nDepuisBinaire(clBin);
    EXPECT_EQ(_Str(cl), "20240000000000000");
}

TEST(ValeurDateHeure, TextOutputs) {
    CValeurDateHeure cl = _Dt("20240315012345678");
    char sz[40];
    std::memset(sz, 'x', sizeof sz);
    cl.VersChaine(sz, 8);
    EXPECT_STREQ(sz, "20240315");
    cl.VersChaine(sz, 0);
    EXPECT_STREQ(sz, "");
    cl.VersChaine(sz, 30);
    EXPECT_STREQ(sz, "20240315012345678");

    CTString clT;
    cl.VersChaine(clT);
    EXPECT_STREQ(clT.pszGet(), "20240315012345678");
    EXPECT_STREQ(cl.VersChaine().pszGet(), "20240315012345678");

    CZNDSTR clD;
    EXPECT_EQ(cl.nVersChaine(clD), 0);
    EXPECT_STREQ(clD.pszGet(), "20240315012345678");
    CZNBIN clB;
    EXPECT_EQ(cl.nVersBinaire(clB), 0);
    ASSERT_EQ(clB.nGetTaille(), 17);
    EXPECT_EQ(std::memcmp(clB.pGet(), "20240315012345678", 17), 0);
    char* psz = cl.pszCreeChaine();
    ASSERT_NE(psz, nullptr);
    EXPECT_STREQ(psz, "20240315012345678");
    std::free(psz);

    // Out-of-range fields as read never overflow the fixed forms.
    CValeurDateHeure clLarge;
    clLarge.SetDate(0xFFFFFFFFu);
    clLarge.SetMillisecondes(0xFFFFFFFFu);
    clLarge.VersChaine(sz, 39);
    EXPECT_STREQ(sz, "6553525525511930247295");
    EXPECT_EQ(clLarge.VersChaine().nTaille(), 17);
}

TEST(ValeurDateHeure, FieldReading) {
    const struct {
        const char* psz;
        int nDecalage, nNombre;
        bool bPartiel;
        int32_t n;
    } cas[] = {
        {"20240315", 0, 4, false, 2024},  {"20240315", 4, 2, false, 3},    {"20240315", 6, 2, false, 15},
        {"20240315", 6, 3, false, 0},     {"20240315", 6, 3, true, 150},   {"2024031", 6, 3, true, 100},
        {"20240315", 8, 2, true, 0},      {"12 4", 1, 3, false, 2},        {" -5x", 0, 4, false, -5},
        {"+7", 0, 2, false, 7},           {"ab", 0, 2, false, 0},          {"", 0, 2, true, 0},
        {nullptr, 0, 2, true, 0},         {"123", -1, 2, false, 0},        {"123", 0, 0, false, 0},
        {"99999999999999", 0, 14, false, INT32_MAX},
        {"-99999999999999", 0, 15, false, INT32_MIN},
        {"9", 0, 12, true, INT32_MAX},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(testing::Message() << (c.psz ? c.psz : "(null)") << " " << c.nDecalage << " " << c.nNombre);
        EXPECT_EQ(CValeurDateHeure::nGetPropDateTime(c.psz, c.nDecalage, c.nNombre, c.bPartiel), c.n);
        EXPECT_EQ(CValeurDateHeure::nGetPropDateTimeANSI(c.psz, c.nDecalage, c.nNombre, c.bPartiel), c.n);
    }
}

TEST(ValeurDuree, TextOutput) {
    const struct {
        int64_t ll;
        const char* pszMilli;
        const char* pszCentieme;
    } cas[] = {
        {DUREE_EXEMPLE, "1020304005", "102030400"},
        {-DUREE_EXEMPLE, "-1020304005", "-102030400"},
        {0, "0000000000", "000000000"},
        {999, "0000000999", "000000099"},
        {-1, "-0000000001", "-000000000"},
        {MS_JOUR * 36500, "36500000000000", "3650000000000"},
        // Day counts beyond 32 bits.
        {INT64_MAX, "106751991167071255807", "10675199116707125580"},
        {INT64_MIN, "-106751991167071255808", "-10675199116707125580"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.ll);
        EXPECT_EQ(_Texte(c.ll, false), c.pszMilli);
        EXPECT_EQ(_Texte(c.ll, true), c.pszCentieme);
        CZNBIN clB;
        EXPECT_EQ(_D(c.ll).nVersBinaire(clB), 0);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(clB.pGet()), size_t(clB.nGetTaille())), c.pszMilli);
        char* psz = _D(c.ll).pszCreeChaine();
        ASSERT_NE(psz, nullptr);
        EXPECT_STREQ(psz, c.pszMilli);
        std::free(psz);
    }
    EXPECT_EQ(_Texte(-DUREE_EXEMPLE, false).size(), 11u);
}

TEST(ValeurDuree, TextInput) {
    const struct {
        const char* psz;
        bool bCentiemes;
        int nCode;
        int64_t ll;
    } cas[] = {
        {"1020304005", false, 0, DUREE_EXEMPLE},
        {"-1020304005", false, 0, -DUREE_EXEMPLE},
        {"+0000000000", false, 0, 0},
        {"102030400", false, 112, 0},
        {"102030400", true, 0, DUREE_EXEMPLE - 5},
        {"-102030400", true, 0, -(DUREE_EXEMPLE - 5)},
        {"10203040", true, 112, 0},
        {"", false, 112, 0},
        {"-", false, 112, 0},
        {"36500000000000", false, 0, MS_JOUR * 36500},
        {"106751991167071255807", false, 0, INT64_MAX},
        {"-106751991167071255807", false, 0, -INT64_MAX},
        // Beyond 64-bit milliseconds.
        {"106751991167071255808", false, 112, 0},
        {"106751991167400000000", false, 112, 0},
        {"99999999999999999999999999999000000000", false, 112, 0},
        {"10675199116707125580", true, 0, INT64_MAX - 7},
        {"10675199116807125580", true, 112, 0},
        // Fields read as far as they are numeric.
        {"x020304005", false, 0, DUREE_EXEMPLE - MS_JOUR},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.psz);
        CValeurDuree cl = _D(-42);
        EXPECT_EQ(c.bCentiemes ? cl.nDepuisChaineCentieme(c.psz) : cl.nDepuisChaine(c.psz), c.nCode);
        EXPECT_EQ(cl.llGetMillisecondes(), c.nCode == 0 ? c.ll : -42);
    }
    CValeurDuree cl = _D(1);
    EXPECT_EQ(cl.nDepuisChaine(nullptr), 112);
    CZNBIN clB;
    ASSERT_EQ(clB.nAssign("1020304005", 10), 0);
    EXPECT_EQ(cl.nDepuisBinaire(clB), 0);
    EXPECT_EQ(cl.llGetMillisecondes(), DUREE_EXEMPLE);
    ASSERT_EQ(clB.nAssign("0000000000000000000000001020304005", 34), 0);   // only 24 bytes count
    EXPECT_EQ(cl.nDepuisBinaire(clB), 0);
    EXPECT_EQ(cl.llGetMillisecondes(), 0);
}

TEST(ValeurDuree, RoundTrip) {
    for (int64_t ll : {int64_t(0), int64_t(1), int64_t(-1), DUREE_EXEMPLE, -DUREE_EXEMPLE, INT64_MAX, -INT64_MAX,
                       int64_t(123456789012345), int64_t(-98765432109876)}) {
        CValeurDuree cl;
        ASSERT_EQ(cl.nDepuisChaine(_Texte(ll, false).c_str()), 0);
        EXPECT_EQ(cl.llGetMillisecondes(), ll);
    }
}

TEST(ValeurDuree, Compare) {
    EXPECT_EQ(CValeurDuree::nCompare(_D(1), _D(2)), -1);
    EXPECT_EQ(CValeurDuree::nCompare(_D(2), _D(1)), 1);
    EXPECT_EQ(CValeurDuree::nCompare(_D(-5), _D(-5)), 0);
    EXPECT_EQ(CValeurDuree::nCompare(_D(INT64_MIN), _D(INT64_MAX)), -1);
}

}  // namespace
