// Numeric masks: writing values, entry form, parts, system masks from the
// "intl" settings and from the host's monetary format, reading back, sizes.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/info_langue.h"
#include "common/temp_home.h"
#include "runtime/language.h"
#include "core/tstring.h"
#include "numeric/masquenum.h"

namespace {

using CHome = CHomeTemporaire;

// Language information with a monetary format and size units.
class CInfoLangueNum : public CInfoLangueTest {
public:
    CInfoLangueNum() {
        stMonnaie = {2, 1, "3;0", ".", ",", 8, 3, "E"};
        nNePasMonnaie = 0;
        sUnites = "B;KB;MB;GB;TB";
        nNePasUnites = 0;
    }
};

std::string Ecrit(const char* pszMasque, const char* pszValeur, bool bSaisie = false) {
    CMasqueNumerique cl(pszMasque);
    cl.SetNomDevise("EUR");
    CTString clResultat;
    cl.MetAuFormat(pszValeur, clResultat, bSaisie);
    return clResultat.pszGet();
}

TEST(MasqueNumerique, WritesValues) {
    struct {
        const char* pszMasque;
        const char* pszValeur;
        const char* pszAttendu;
    } tab[] = {
        {"999 999", "1234.5", "1 234"},
        {"999 999", "1234567", "###"},
        {"999 999", "12", " 12"},
        {"999 999", "0", " 0"},
        {"999 999,99", "1234.5", "1 234,50"},
        {"999 999,99", "1234.567", "1 234,56"},
        {"999.999", "1234", "1 234"},
        {"000 000", "12", "000 012"},
        {"999,00", "12", "12"},
        {"999,00", "12.5", "12,50"},
        {"999,99", "12", "12,00"},
        {"999,99", "-12.5", "-12,50"},
        {"999,99", "0.5", "0,50"},
        {",99", "0.5", ",50"},
        {"+999", "-12", "-12"},
        {"+999", "12", "12"},
        {"999-", "-5", "5-"},
        {"999--", "5", "5-"},
        {"(999)", "-5", "(5)"},
        {"(999)", "5", "(5)"},
        {"999;(999);zero", "-12", "(12)"},
        {"999;(999);zero", "0", "zero"},
        {"999;(999);zero", "0.00", "zero"},
        {"999;(999);zero", "-0", "(0)"},
        {"999;(999);zero", "12", "12"},
        {"+999;+999", "12", "+12"},
        {"999;", "-12", "-12"},       // an empty part: the value as it is
        {"999 $", "12", "12 EUR"},
        {"999 $$", "12", "12 $"},
        {"999 %", "0.125", "12 %"},
        {"999,9 %%", "0.125", "0,1 %"},
        {"999 999", "-12", " -12"},
        {"+999 999", "-12", " -12"},
        {"-$999 999", "-12", "-EUR 12"},
        {"99 Kg", "7", "7 Kg"},
        {"999", "abc", "abc"},
        {"999", "###", "###"},
        {"999", "", ""},
        {"", "12", "12"},
        {"999", "007", "7"},
    };
    for (const auto& cas : tab)
        EXPECT_EQ(Ecrit(cas.pszMasque, cas.pszValeur), cas.pszAttendu) << cas.pszMasque << " / " << cas.pszValeur;
}

TEST(MasqueNumerique, EntryForm) {
    struct {
        const char* pszMasque;
        const char* pszValeur;
        const char* pszAttendu;
    } tab[] = {
        {"999 999,99 $", "1234.5", "1234,50"},
        {"000 000", "12", "12"},
        {"999 %", "0.5", "50"},
        {"999;(999);zero", "0", "0"},
        {"(999)", "-5", "(5)"},
        {"+999", "-5", "-5"},
    };
    for (const auto& cas : tab)
        EXPECT_EQ(Ecrit(cas.pszMasque, cas.pszValeur, true), cas.pszAttendu) << cas.pszMasque;
}

TEST(MasqueNumerique, Properties) {
    CMasqueNumerique cl("999 999,99 %");
    EXPECT_EQ(cl.nDecimalesMasque(), 2);
    EXPECT_TRUE(cl.bEstMasquePourcentage());
    EXPECT_FALSE(CMasqueNumerique("999 %%").bEstMasquePourcentage());
    EXPECT_TRUE(CMasqueNumerique("DiskSize").bEstMasqueTailleDisque());
    EXPECT_TRUE(CMasqueNumerique("").bEstVide());
    EXPECT_STREQ(cl.pszGetMasque(), "999 999,99 %");
    EXPECT_STREQ(cl.pszGetNomDevise(), "\x80");
    EXPECT_STREQ(CMasqueNumerique::pszGetChaineErreur(0), "###");
}

TEST(MasqueNumerique, MadeThroughTheBase) {
    struct {
        const char* pszMasque;
        const char* pszValeur;
        const char* pszAttendu;
    } tab[] = {
        {"999 999", "1234.5", "1 234"},
        {"999 999", "1234567", "###"},
        {"+999,99", "-3.5", "-3,50"},
        {"", "12", "12"},
    };
    for (const auto& c : tab) {
        CMasque* pcl = CMasqueNumerique::pclGetNewMasqueNumerique(c.pszMasque);
        ASSERT_NE(pcl, nullptr);
        EXPECT_EQ(pcl->bEstVide(), *c.pszMasque == 0);
        CTString cl;
        pcl->Formate(c.pszValeur, cl, nullptr);
        EXPECT_STREQ(cl.pszGet(), c.pszAttendu) << c.pszMasque;
        delete pcl;
    }
}

TEST(MasqueNumerique, ReadsBack) {
    CMasqueNumerique cl("999 999,99");
    struct {
        const char* psz;
        const char* pszAttendu;
    } tab[] = {{"1 234,50", "1234.5"}, {"(12)", "-12"}, {"abc", ""},    {"-0,00", "0"},
               {"  7 ", "7"},          {"1.5", "1.5"}, {"0012,300", "12.3"}};
    for (const auto& cas : tab) {
        CTString clResultat;
        cl.DeformateNum(cas.psz, clResultat);
        EXPECT_STREQ(clResultat.pszGet(), cas.pszAttendu) << cas.psz;
    }
    CTString clResultat;
    CMasqueNumerique("999 %").DeformateNum("12,5 %", clResultat);
    EXPECT_STREQ(clResultat.pszGet(), "0.125");
}

TEST(MasqueNumerique, SystemMasksFromTheSettings) {
    CHome clHome;
    EXPECT_STREQ(CMasqueNumerique("MoneySystemMask").pszGetMasque(), "+99 999 999 999 999 999");
    EXPECT_STREQ(CMasqueNumerique("MoneySystemMask$").pszGetMasque(), "$+99 999 999 999 999 999");
    struct {
        const char* pszConf;
        const char* pszAttendu;
    } tab[] = {
        {"[intl]\niCurrDigits=2\niCurrency=3\n", "+99 999 999 999 999 999,99 $"},
        {"[intl]\niCurrDigits=1\niCurrency=1\n", "+99 999 999 999 999 999,9$"},
        {"[intl]\niCurrency=2\n", "$ +99 999 999 999 999 999"},
        {"[intl]\niCurrency=9\n", "+99 999 999 999 999 999 $"},
        {"[intl]\niCurrDigits=-4\n", "$+99 999 999 999 999 999"},
    };
    for (const auto& cas : tab) {
        ASSERT_TRUE(clHome.bEcritConf(cas.pszConf));
        EXPECT_STREQ(CMasqueNumerique("MoneySystemMask$").pszGetMasque(), cas.pszAttendu) << cas.pszConf;
    }
    ASSERT_TRUE(clHome.bEcritConf("[intl]\niCurrDigits=99\n"));
    EXPECT_EQ(CMasqueNumerique("MoneySystemMask").nDecimalesMasque(), 20);
    ASSERT_TRUE(clHome.bEcritConf("[intl]\niCurrDigits=2\niCurrency=3\n"));
    CMasqueNumerique cl("MoneySystemMask$");
    cl.SetNomDevise("EUR");
    CTString clResultat;
    cl.MetAuFormat("-1234.5", clResultat, false);
    EXPECT_STREQ(clResultat.pszGet(), "    -1 234,50 EUR");
}

TEST(MasqueNumerique, SystemMaskFromTheHost) {
    CHome clHome;
    CInfoLangueNum clInfo;
    CMasqueNumerique cl("MoneySystemMask$");
    cl.SetInfoLangue(&clInfo, 0, 0);
    EXPECT_STREQ(cl.pszGetNomDeviseEffectif(), "E");
    EXPECT_EQ(cl.cGetSepDecimalAffEffectif(), '.');
    EXPECT_EQ(cl.cGetSepMillierAffEffectif(), ',');
    CTString clResultat;
    cl.MetAuFormat("1234.5", clResultat, false);
    EXPECT_STREQ(clResultat.pszGet(), "    1,234.50 E");
    cl.MetAuFormat("-1234.5", clResultat, false);
    EXPECT_STREQ(clResultat.pszGet(), "    -1,234.50 E");
    CMasqueNumerique clSans("MoneySystemMask");
    clSans.SetInfoLangue(&clInfo, 0, 0);
    clSans.MetAuFormat("-1234.5", clResultat, false);
    EXPECT_STREQ(clResultat.pszGet(), "    -1,234.50");
    // The host says not to use it: the settings again.
    clInfo.nNePasMonnaie = 1;
    clSans.SetInfoLangue(&clInfo, 0, 0);
    EXPECT_STREQ(clSans.pszGetMasque(), "+99 999 999 999 999 999");
    clSans.SetInfoLangue(nullptr, 0, 0);
    cl.SetInfoLangue(nullptr, 0, 0);
    // Every placement of the host's formats gives a mask that writes both signs.
    for (uint32_t nNeg = 0; nNeg < 18; ++nNeg) {
        STInfoLangueMonnaie st{2, 1, "3", ",", " ", nNeg, nNeg % 5, "$"};
        const std::string sMasque = CMasqueNumerique::FormatMonetaireVersMasqueQV(st, true);
        EXPECT_NE(sMasque.find(';'), std::string::npos) << nNeg;
    }
    STInfoLangueNombre stNombre{2, 1, "3", ",", " ", 0, };
    EXPECT_EQ(CMasqueNumerique::FormatNumeriqueVersMasqueQV(stNombre),
              "99 999 999 999 999 999,99;(99 999 999 999 999 999,99)");
}

TEST(MasqueNumerique, Settings) {
    const char cDec = CMasqueNumerique::ms_cSeparateurDecimal, cMil = CMasqueNumerique::ms_cSeparateurMillier;
    char szDevise[32];
    memcpy(szDevise, CMasqueNumerique::ms_pszDevise, sizeof szDevise);
    bool tabForce[3];
    memcpy(tabForce, CMasqueNumerique::ms_tabParametreIntForce, sizeof tabForce);

    EXPECT_FALSE(CMasqueNumerique::sbGetSeparateurDecimalForce());
    CMasqueNumerique::SetInternationnalParam(0, ".x");
    CMasqueNumerique::SetInternationnalParam(1, ",");
    CMasqueNumerique::SetInternationnalParam(2, std::string(40, 'D').c_str());
    CMasqueNumerique::SetInternationnalParam(1, "");      // no character: ignored
    CMasqueNumerique::SetInternationnalParam(7, "x");     // no such parameter
    EXPECT_TRUE(CMasqueNumerique::sbGetSeparateurDecimalForce());
    EXPECT_TRUE(CMasqueNumerique::sbGetSeparateurMillierForce());
    EXPECT_TRUE(CMasqueNumerique::s_bParametreIntForce(2));
    EXPECT_FALSE(CMasqueNumerique::s_bParametreIntForce(7));
    EXPECT_EQ(CMasqueNumerique::cGetSeparateurDecimal(), '.');
    EXPECT_EQ(CMasqueNumerique::cGetSeparateurMillier(), ',');
    EXPECT_EQ(std::string(CMasqueNumerique::pszGetDevise()), std::string(31, 'D'));
    CMasqueNumerique cl("999 999,99 $");
    CTString clResultat;
    cl.MetAuFormat("1234.5", clResultat, false);
    EXPECT_EQ(std::string(clResultat.pszGet()), "1,234.50 " + std::string(31, 'D'));

    CMasqueNumerique::ms_cSeparateurDecimal = cDec;
    CMasqueNumerique::ms_cSeparateurMillier = cMil;
    memcpy(CMasqueNumerique::ms_pszDevise, szDevise, sizeof szDevise);
    memcpy(CMasqueNumerique::ms_tabParametreIntForce, tabForce, sizeof tabForce);
}

TEST(MasqueNumerique, Sizes) {
    const int nLangue = qvstd::nGetInterfaceLanguage();
    qvstd::SetInterfaceLanguage(12);
    CMasqueNumerique cl("DiskSize");
    CTString clResultat;
    EXPECT_TRUE(cl.MetAuFormatTailleDisque(1536.0, clResultat, 0));
    EXPECT_STREQ(clResultat.pszGet(), "1,50 Ko");
    cl.MetAuFormat("1", clResultat, false);
    EXPECT_STREQ(clResultat.pszGet(), "1 octet");
    EXPECT_FALSE(cl.MetAuFormatTailleDisque(1e300, clResultat, 6));
    EXPECT_STREQ(clResultat.pszGet(), "");
    EXPECT_TRUE(cl.MetAuFormatTailleDisque(1e300, clResultat, 5));
    EXPECT_STREQ(clResultat.pszGet(), "8388608,00 To");
    CInfoLangueNum clInfo;
    cl.SetInfoLangue(&clInfo, 0, 0);
    EXPECT_TRUE(cl.MetAuFormatTailleDisque(int64_t(1536), clResultat, 0));
    EXPECT_STREQ(clResultat.pszGet(), "1,50 KB");
    cl.SetInfoLangue(nullptr, 0, 0);
    qvstd::SetInterfaceLanguage(nLangue);
}

}  // namespace
