// Durations through their display masks, in both interface languages,
// with overflow. Their storage texts are the value's (tests/core).

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
