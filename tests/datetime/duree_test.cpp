// Durations: text forms in both units, display masks, overflow.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/language.h"
#include "core/zndstr.h"
#include "datetime/duree.h"

namespace {

constexpr int64_t MS_JOUR = 86400000;
// 1 day, 2 hours, 3 minutes, 4 seconds, 5 milliseconds.
constexpr int64_t DUREE_EXEMPLE = MS_JOUR + 2 * 3600000 + 3 * 60000 + 4 * 1000 + 5;

CDureeBase _D(int64_t ll) {
    CDureeBase cl;
    cl.SetMillisecondes(ll);
    return cl;
}

std::string _Texte(int64_t ll, bool bCentiemes) {
    CZNDSTR cl;
    CDureeBase d = _D(ll);
    EXPECT_EQ(bCentiemes ? d.nVersChaineCentieme(cl) : d.nVersChaine(cl), 0);
    return cl.pszGet();
}

TEST(Duree, TextOutput) {
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

TEST(Duree, TextInput) {
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
        CDureeBase cl = _D(-42);
        EXPECT_EQ(c.bCentiemes ? cl.nDepuisChaineCentieme(c.psz) : cl.nDepuisChaine(c.psz), c.nCode);
        EXPECT_EQ(cl.llGetMillisecondes(), c.nCode == 0 ? c.ll : -42);
    }
    CDureeBase cl = _D(1);
    EXPECT_EQ(cl.nDepuisChaine(nullptr), 112);
    CZNBIN clB;
    ASSERT_EQ(clB.nAssign("1020304005", 10), 0);
    EXPECT_EQ(cl.nDepuisBinaire(clB), 0);
    EXPECT_EQ(cl.llGetMillisecondes(), DUREE_EXEMPLE);
    ASSERT_EQ(clB.nAssign("0000000000000000000000001020304005", 34), 0);   // only 24 bytes count
    EXPECT_EQ(cl.nDepuisBinaire(clB), 0);
    EXPECT_EQ(cl.llGetMillisecondes(), 0);
}

TEST(Duree, RoundTrip) {
    for (int64_t ll : {int64_t(0), int64_t(1), int64_t(-1), DUREE_EXEMPLE, -DUREE_EXEMPLE, INT64_MAX, -INT64_MAX,
                       int64_t(123456789012345), int64_t(-98765432109876)}) {
        CDureeBase cl;
        ASSERT_EQ(cl.nDepuisChaine(_Texte(ll, false).c_str()), 0);
        EXPECT_EQ(cl.llGetMillisecondes(), ll);
    }
}

TEST(Duree, Compare) {
    EXPECT_EQ(CDureeBase::nCompare(_D(1), _D(2)), -1);
    EXPECT_EQ(CDureeBase::nCompare(_D(2), _D(1)), 1);
    EXPECT_EQ(CDureeBase::nCompare(_D(-5), _D(-5)), 0);
    EXPECT_EQ(CDureeBase::nCompare(_D(INT64_MIN), _D(INT64_MAX)), -1);
}

// The mask letters are those of the interface language: the first
// language's unless a test says otherwise.
class DureeMasque : public testing::Test {
protected:
    void SetUp() override {
        m_nAncienne = qvstd::nGetInterfaceLanguage();
        qvstd::SetInterfaceLanguage(12);
    }
    void TearDown() override { qvstd::SetInterfaceLanguage(m_nAncienne); }
    int m_nAncienne = 0;
};

TEST_F(DureeMasque, ToText) {
    const struct {
        int64_t ll;
        const char* pszMasque;
        const char* pszAttendu;
    } cas[] = {
        {DUREE_EXEMPLE, "J HH:MM:SS.LLL", "1 02:03:04.005"},
        {DUREE_EXEMPLE, "HH:MM:SS.LL", "02:03:04.00"},
        {DUREE_EXEMPLE, "HH:MM:SS.L", "02:03:04.0"},
        {DUREE_EXEMPLE + 120, "SS.LL", "04.12"},
        {DUREE_EXEMPLE, "+J", "1"},
        {-DUREE_EXEMPLE, "+J", "-1"},
        {-DUREE_EXEMPLE, "J", "1"},
        {DUREE_EXEMPLE, "JHHMMSSLLL", "1020304005"},
        {DUREE_EXEMPLE, "", ""},
        {DUREE_EXEMPLE, nullptr, ""},
        {DUREE_EXEMPLE, "J jours", "1 jours"},
        {DUREE_EXEMPLE, "H M S", "H M S"},     // single hour, minute and second letters stay
        {DUREE_EXEMPLE, "LLL LL", "005 LL"},  // only the longest millisecond group
        {INT64_MAX, "+J", "106751991167"},
        {INT64_MIN, "+J HH", "-106751991167 07"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.pszMasque ? c.pszMasque : "(null)");
        CZNDSTR cl;
        EXPECT_EQ(nDureeVersChaine(_D(c.ll), cl, c.pszMasque), 0);
        EXPECT_STREQ(cl.pszGet(), c.pszAttendu);
    }
}

TEST_F(DureeMasque, FromText) {
    const struct {
        const char* pszTexte;
        const char* pszMasque;
        int nCode;
        int64_t ll;
    } cas[] = {
        {"02:30", "HH:MM", 0, 9000000},
        {"1 02:03:04.005", "J HH:MM:SS.LLL", 0, DUREE_EXEMPLE},
        {"1020304005", "JHHMMSSLLL", 0, DUREE_EXEMPLE},
        {"-1020304005", "+JHHMMSSLLL", 0, -DUREE_EXEMPLE},
        {"-5", "+J", 0, -5 * MS_JOUR},
        {"5", "+J", 0, 5 * MS_JOUR},
        {"02:03:04.00", "HH:MM:SS.LL", 0, DUREE_EXEMPLE - MS_JOUR - 5},
        {"04.1", "SS.L", 0, 4100},
        {"12345 00", "J HH", 0, 12345 * MS_JOUR},
        {"", "HH:MM", 0, 0},
        {"5", "HH", 0, 0},                     // not enough text for the field
        {"", "", 0, 0},
        {nullptr, nullptr, 0, 0},
        // Day counts beyond 64-bit milliseconds.
        {"99999999999999999999", "J", 112, 0},
        {"106751991168", "J", 112, 0},
        {"106751991167", "J", 0, 106751991167LL * MS_JOUR},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(testing::Message() << (c.pszTexte ? c.pszTexte : "(null)") << " / "
                                        << (c.pszMasque ? c.pszMasque : "(null)"));
        CDureeBase cl = _D(-42);
        EXPECT_EQ(nChaineVersDuree(cl, c.pszTexte, c.pszMasque), c.nCode);
        EXPECT_EQ(cl.llGetMillisecondes(), c.nCode == 0 ? c.ll : -42);
    }
}

TEST_F(DureeMasque, RoundTripThroughMasks) {
    for (const char* pszMasque : {"J HH:MM:SS.LLL", "+JHHMMSSLLL", "+J.HH.MM.SS.LLL"}) {
        for (int64_t ll : {DUREE_EXEMPLE, -DUREE_EXEMPLE, int64_t(0), 365 * MS_JOUR + 1}) {
            if (ll < 0 && pszMasque[0] != '+') continue;
            CZNDSTR clTexte;
            ASSERT_EQ(nDureeVersChaine(_D(ll), clTexte, pszMasque), 0);
            CDureeBase cl;
            ASSERT_EQ(nChaineVersDuree(cl, clTexte.pszGet(), pszMasque), 0);
            EXPECT_EQ(cl.llGetMillisecondes(), ll) << pszMasque << " " << clTexte.pszGet();
        }
    }
}

TEST_F(DureeMasque, SecondLanguageLetters) {
    qvstd::SetInterfaceLanguage(9);
    CZNDSTR cl;
    EXPECT_EQ(nDureeVersChaine(_D(DUREE_EXEMPLE), cl, "D HH:MM:SS.LLL J"), 0);
    EXPECT_STREQ(cl.pszGet(), "1 02:03:04.005 J");
    CDureeBase d;
    EXPECT_EQ(nChaineVersDuree(d, "2 01", "D HH"), 0);
    EXPECT_EQ(d.llGetMillisecondes(), 2 * MS_JOUR + 3600000);
}

}  // namespace
