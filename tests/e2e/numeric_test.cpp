// NumeriqueVersChaine, TailleVersChaine and the euro functions through the
// reference host, by their French names in French and English names in
// English.
#include <clocale>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "devise.h"
#include "e2e_common.h"
#include "infolangue.h"

using e2e::json;

namespace {

struct STCas {
    std::vector<json> tabArgs;
    json jValeur;
    int nErreur;   // 0: no error
};

// The answer's type, value (unless the type is -1) and error (0: none).
void VerifieReponse(const json& j, int nType, const json& jValeur, int nErreur, const std::string& sCas) {
    if (nType >= 0) {
        EXPECT_EQ(j["type"], nType) << sCas;
        EXPECT_EQ(j["value"], jValeur) << sCas;
    }
    if (nErreur == 0) {
        EXPECT_TRUE(j["error"].is_null()) << sCas;
    } else {
        ASSERT_TRUE(j["error"].is_object()) << sCas;
        EXPECT_EQ(j["error"]["code"], nErreur) << sCas;
    }
}

void Verifie(const json& j, const STCas& c, const std::string& sNom) {
    VerifieReponse(j, 0x13, c.jValeur, c.nErreur, sNom + " " + json(c.tabArgs).dump() + " -> " + j.dump());
}

const std::vector<STCas>& CasNombres() {
    static const std::vector<STCas> s_tab = {
        {{42}, "42", 0},
        {{-7}, "-7", 0},
        {{json{{"i8", 123456789012LL}}}, "123456789012", 0},
        {{1.5}, "1.5", 0},
        {{3.0}, "3", 0},
        {{"abc"}, "abc", 0},
        {{"abc", "5.2f"}, "abc", 0},   // texts come back whatever the format
        {{3.14159, "%5.2f"}, " 3.14", 0},
        {{3.14159, "-8.3f"}, "3.142   ", 0},
        {{7, "+d"}, "+7", 0},
        {{2.5, "d"}, "3", 0},
        {{-2.5, "d"}, "-3", 0},
        {{1234567.891, "10.2fs"}, "1 234 567.89", 0},
        {{1234567.891, "12.2fs"}, "1 234 567.89", 0},
        {{-1, "x"}, "ffffffff", 0},
        {{-1, "04X"}, "FFFF", 0},
        {{12345.678, "e"}, "1.234568e+04", 0},
        {{json{{"i8", 1099511627776LL}}, "ds"}, "1 099 511 627 776", 0},
        {{json{{"i8", 1099511627776LL}}, "X"}, "10000000000", 0},
        {{1234.5, "s"}, "1 234.500000", 0},
        {{json{{"cur", "1234.5"}}, ".2f"}, "1234.50", 0},   // currency values
        {{json{{"cur", "1234.5"}}}, "1234.5", 0},
        {{json{{"cur", "2.5"}}, "d"}, "3", 0},
        {{json{{"cur", "-1"}}, "x"}, "ffffffffffffffff", 0},
        {{1.0, "1111111111111111q"}, nullptr, 80270},   // cut to 16: width above 100
        {{1.0, "%q"}, "", 80270},
        {{1.0, "101f"}, "", 80270},
        {{1.0, ".101f"}, "", 80270},
    };
    return s_tab;
}

const std::vector<STCas>& CasTailles(bool bFrancais) {
    static const std::vector<STCas> s_fr = {
        {{json{{"i8", 1}}}, "1 octet", 0},
        {{json{{"i8", 2}}}, "2 octets", 0},
        {{json{{"i8", 1536}}}, "1,50 Ko", 0},
        {{json{{"i8", 1536}}, 1}, "1536 octets", 0},
        {{json{{"i8", 3LL << 30}}, 0}, "3,00 Go", 0},
        {{json{{"i8", 3LL << 30}}, 2}, "3145728,00 Ko", 0},
        {{json{{"i8", 1536}}, 6}, "", 81507},
        {{json{{"i8", 1536}}, -1}, "", 81507},
    };
    static const std::vector<STCas> s_en = {
        {{json{{"i8", 1}}}, "1 byte", 0},
        {{json{{"i8", 1023}}}, "1023 bytes", 0},
        {{json{{"i8", 1536}}}, "1,50 KB", 0},
        {{json{{"i8", 5LL << 40}}, 5}, "5,00 TB", 0},
        {{json{{"i8", 1}}, 6}, "", 81507},
    };
    return bFrancais ? s_fr : s_en;
}

class NumeriqueE2E : public ::testing::Test {
protected:
    void SetUp() override { e2e::Session(); }
    void TearDown() override { e2e::Session().Langue("fr"); }
};

TEST_F(NumeriqueE2E, NumbersInBothLanguages) {
    for (const char* pszLangue : {"fr", "en"}) {
        e2e::Session().Langue(pszLangue);
        const char* pszNom = pszLangue[0] == 'f' ? "NumériqueVersChaîne" : "NumToString";
        for (const auto& c : CasNombres()) {
            STCas cas = c;
            if (cas.jValeur.is_null()) cas.jValeur = "";
            Verifie(e2e::Appel(pszNom, cas.tabArgs), cas, pszNom);
        }
    }
}

TEST_F(NumeriqueE2E, InvalidFormatNamesTheFormat) {
    e2e::Session().Langue("en");
    json j = e2e::Appel("NumToString", {1.0, "%q"});
    ASSERT_TRUE(j["error"].is_object()) << j.dump();
    EXPECT_NE(j["error"]["message"].get<std::string>().find("<%q>"), std::string::npos) << j.dump();
}

TEST_F(NumeriqueE2E, SizesInBothLanguages) {
    e2e::Session().Langue("fr");
    for (const auto& c : CasTailles(true)) Verifie(e2e::Appel("TailleVersChaîne", c.tabArgs), c, "TailleVersChaîne");
    e2e::Session().Langue("en");
    for (const auto& c : CasTailles(false)) Verifie(e2e::Appel("LengthToString", c.tabArgs), c, "LengthToString");
}

TEST_F(NumeriqueE2E, CommandLine) {
    // On the command line a word that reads as a number is a number; in the
    // language's quotes it stays a text, which comes back as it is.
    auto stSortie = e2e::LanceHote({"--lang", "en", "NumToString", "3.14159", "6.3f"});
    EXPECT_EQ(stSortie.nStatut, 0) << stSortie.sErr;
    EXPECT_EQ(stSortie.sOut, " 3.142\n");
    stSortie = e2e::LanceHote({"--lang", "en", "NumToString", "\"3.14159\"", "6.3f"});
    EXPECT_EQ(stSortie.nStatut, 0) << stSortie.sErr;
    EXPECT_EQ(stSortie.sOut, "3.14159\n");
    stSortie = e2e::LanceHote({"LengthToString", "1536"});
    EXPECT_EQ(stSortie.nStatut, 0) << stSortie.sErr;
    EXPECT_EQ(stSortie.sOut, "1,50 Ko\n");
    stSortie = e2e::LanceHote({"LengthToString", "1536", "7"});
    EXPECT_EQ(stSortie.nStatut, 1);
    EXPECT_NE(stSortie.sErr.find("81507"), std::string::npos) << stSortie.sErr;
}

}  // namespace

// The euro functions through the host, on its currency-rate module's table
// (the euro, then francs at 6.55957, marks at 1.95583...), by their French
// names in French and English names in English.
namespace {

struct STCasDevise {
    const char* pszFr;
    const char* pszEn;
    std::vector<json> tabArgs;
    int nType;
    json jValeur;
    int nErreur;
    const char* pszDifference;   // what the variable "diff" holds after the call, when not null
};

json Cur(const char* psz) { return json{{"cur", psz}}; }

const std::vector<STCasDevise>& CasDevises() {
    static const std::vector<STCasDevise> s_tab = {
        {"eVersEuro", "eToEuro", {Cur("100")}, 0x0A, "15.24", 0, nullptr},
        {"eVersEuro", "eToEuro", {Cur("100"), 2}, 0x0A, "51.13", 0, nullptr},
        {"eVersEuro", "eToEuro", {Cur("100"), 1, 3}, 0x0A, "15.245", 0, nullptr},
        {"eVersEuro", "eToEuro", {Cur("100"), 1, 2, json{{"var", "diff"}}}, 0x0A, "15.24", 0, "0.03"},
        {"eVersEuro", "eToEuro", {Cur("100"), 99}, 0x0A, "0", 80191, nullptr},
        {"eVersDevise", "eToCurrency", {Cur("15.24")}, 0x0A, "99.97", 0, nullptr},
        {"eVersDevise", "eToCurrency", {Cur("1"), 2}, 0x0A, "1.96", 0, nullptr},
        {"eVersDevise", "eToCurrency", {Cur("1"), 2, 0}, 0x0A, "2", 0, nullptr},
        {"eVersDevise", "eToCurrency", {Cur("1"), 2, 2, json{{"var", "diff"}}}, 0x0A, "1.96", 0, "0"},
        {"eVersDevise", "eToCurrency", {Cur("600000000000000000"), 2}, 0x0A, "0", 80165, nullptr},
        {"eChangeDevise", "eChangeCurrency", {Cur("100"), 1, 2}, 0x0A, "29.82", 0, nullptr},
        {"eChangeDevise", "eChangeCurrency", {Cur("100"), 1, 2, 4}, 0x0A, "29.8164", 0, nullptr},
        {"eChangeDevise", "eChangeCurrency", {Cur("100"), 1, 2, 2, json{{"var", "diff"}}}, 0x0A, "29.82", 0, "-0.01"},
        {"eChangeDevise", "eChangeCurrency", {Cur("100"), 1, 99}, 0x0A, "0", 80191, nullptr},
        {"eTauxDeChange", "eExchangeRate", {}, 0x0C, 6.55957, 0, nullptr},
        {"eTauxDeChange", "eExchangeRate", {2}, 0x0C, 1.95583, 0, nullptr},
        {"eTauxDeChange", "eExchangeRate", {0}, 0x0C, 1.0, 0, nullptr},
        {"eTauxDeChange", "eExchangeRate", {99}, 0x0C, -1.0, 80191, nullptr},
        {"eNomDevise", "eCurrencyName", {}, 0x13, "FRF", 0, nullptr},
        {"eNomDevise", "eCurrencyName", {2}, 0x13, "DEM", 0, nullptr},
        {"eNomDevise", "eCurrencyName", {99}, 0x13, "", 80191, nullptr},
        {"eDeviseAffParDéfaut", "eDefaultViewCurrency", {}, 0x08, 1, 0, nullptr},
        {"eDeviseAffParDéfaut", "eDefaultViewCurrency", {2}, 0x08, 2, 0, nullptr},
        {"eNomDevise", "eCurrencyName", {65535}, 0x13, "DEM", 0, nullptr},   // the default shown
        {"eDeviseAffParDéfaut", "eDefaultViewCurrency", {99}, 0x08, -1, 80191, nullptr},
        {"eDeviseAffParDéfaut", "eDefaultViewCurrency", {1}, 0x08, 1, 0, nullptr},
        {"eDeviseMemParDéfaut", "eDefaultMemCurrency", {}, 0x08, 1, 0, nullptr},
        {"eDeviseMemParDéfaut", "eDefaultMemCurrency", {3}, 0x08, 3, 0, nullptr},
        {"eDeviseMemParDéfaut", "eDefaultMemCurrency", {1}, 0x08, 1, 0, nullptr},
        {"eInitDevise", "eInitCurrency", {1, "FRANCS", 2.5}, -1, nullptr, 0, nullptr},
        {"eTauxDeChange", "eExchangeRate", {1}, 0x0C, 2.5, 0, nullptr},
        {"eNomDevise", "eCurrencyName", {1}, 0x13, "FRANCS", 0, nullptr},
        {"eVersEuro", "eToEuro", {Cur("100")}, 0x0A, "40", 0, nullptr},
        {"eInitDevise", "eInitCurrency", {1, "FRF", 6.55957}, -1, nullptr, 0, nullptr},
        {"eInitDevise", "eInitCurrency", {0, "EUR", 1.5}, -1, nullptr, 80191, nullptr},
        {"eInitDevise", "eInitCurrency", {1, "FRF", 3000}, -1, nullptr, 80192, nullptr},
        {"eInitDevise", "eInitCurrency", {1, "FRF", 0}, -1, nullptr, 80192, nullptr},
        {"eInitDevise", "eInitCurrency", {1, "FRF", -2}, -1, nullptr, 80192, nullptr},
        {"eInitDevise", "eInitCurrency", {99, "XYZ", 2}, -1, nullptr, 80191, nullptr},
        {"eTauxDeChange", "eExchangeRate", {1}, 0x0C, 6.55957, 0, nullptr},
        {"eDifférenceArrondi", "eRoundDifference", {0}, 0x0A, "0", 0, nullptr},
    };
    return s_tab;
}

TEST_F(NumeriqueE2E, EuroFunctionsInBothLanguages) {
    for (const char* pszLangue : {"fr", "en"}) {
        e2e::Session().Langue(pszLangue);
        qvhost::TauxDeChangeInitial();
        const bool bFr = pszLangue[0] == 'f';
        for (const auto& c : CasDevises()) {
            const char* pszNom = bFr ? c.pszFr : c.pszEn;
            e2e::Session().Hote().EcritVariableHote("diff", nullptr);
            const json j = e2e::Appel(pszNom, c.tabArgs);
            const std::string sCas = std::string(pszNom) + " " + json(c.tabArgs).dump() + " -> " + j.dump();
            VerifieReponse(j, c.nType, c.jValeur, c.nErreur, sCas);
            if (c.pszDifference != nullptr) {
                EXPECT_EQ(e2e::Session().Hote().LitVariableHote("diff"), c.pszDifference) << sCas;
            }
        }
    }
    qvhost::TauxDeChangeInitial();
}

TEST_F(NumeriqueE2E, RatesSetByTheHost) {
    qvhost::TauxDeChangeInitial();
    qvhost::TauxDeChange().bChange(1, 2000000, "DEUX");
    json j = e2e::Appel("eVersEuro", {Cur("100")});
    EXPECT_EQ(j["value"], "50") << j.dump();
    j = e2e::Appel("eNomDevise", {});
    EXPECT_EQ(j["value"], "DEUX") << j.dump();
    // A zero rate in the module's table: the division is refused.
    qvhost::TauxDeChange().bChange(1, 0, "ZERO");
    j = e2e::Appel("eVersEuro", {Cur("100")});
    ASSERT_TRUE(j["error"].is_object()) << j.dump();
    EXPECT_EQ(j["error"]["code"], 80164) << j.dump();
    qvhost::TauxDeChangeInitial();
}

// 8-byte integers through the host keep every digit and every bit.
TEST_F(NumeriqueE2E, EightByteIntegers) {
    const std::vector<STCas> tab = {
        {{json{{"i8", -9007199254740993LL}}, "d"}, "-9007199254740993", 0},
        {{json{{"i8", -1099511627776LL}}, "X"}, "FFFFFF0000000000", 0},
        {{json{{"i8", 9007199254740993LL}}, ".0f"}, "9007199254740993", 0},
        {{json(18446744073709551615ULL), "d"}, "18446744073709551615", 0},
        {{json(18446744073709551615ULL), "x"}, "ffffffffffffffff", 0},
    };
    for (const auto& c : tab) Verifie(e2e::Appel("NumériqueVersChaîne", c.tabArgs), c, "NumériqueVersChaîne");
}

}  // namespace

namespace {

// The host's number and monetary formats follow the interface language;
// its flag tells the component to keep its own until the host says
// otherwise.
TEST_F(NumeriqueE2E, HostNumberAndMonetaryFormats) {
    struct {
        const char* pszLangue;
        const char* pszDecimal;
        const char* pszMillier;
        uint32_t nNegatifNombre, nPositif, nNegatif;
    } tab[] = {
        {"fr", ",", " ", 1, 3, 8},
        {"en", ".", ",", 1, 0, 1},
    };
    qvhost::CInfoLangue& cl = qvhost::InfoLangue();
    EXPECT_EQ(cl.bNePasUtiliserFormatNumerique(), 1);
    EXPECT_EQ(cl.bNePasUtiliserFormatMonetaire(), 1);
    cl.SetNePasUtiliserNombres(false, false);
    for (const auto& c : tab) {
        SCOPED_TRACE(c.pszLangue);
        e2e::Session().Langue(c.pszLangue);
        const STInfoLangueNombre* pstN = cl.pstGetFormatNumerique();
        const STInfoLangueMonnaie* pstM = cl.pstGetFormatMonetaire();
        ASSERT_NE(pstN, nullptr);
        ASSERT_NE(pstM, nullptr);
        EXPECT_EQ(cl.bNePasUtiliserFormatNumerique(), 0);
        EXPECT_EQ(cl.bNePasUtiliserFormatMonetaire(), 0);
        EXPECT_EQ(pstN->nDecimales, 2u);
        EXPECT_STREQ(pstN->pszSepDecimal, c.pszDecimal);
        EXPECT_STREQ(pstN->pszSepMillier, c.pszMillier);
        EXPECT_STREQ(pstN->pszGroupement, "3;0");
        EXPECT_EQ(pstN->nFormatNegatif, c.nNegatifNombre);
        EXPECT_EQ(pstM->nDecimales, 2u);
        EXPECT_STREQ(pstM->pszSepDecimal, c.pszDecimal);
        EXPECT_EQ(pstM->nFormatPositif, c.nPositif);
        EXPECT_EQ(pstM->nFormatNegatif, c.nNegatif);
        EXPECT_STREQ(pstM->pszSymbole, "\x80");   // the euro sign of the component's 8-bit set
    }
    cl.SetNePasUtiliserNombres(true, true);
    EXPECT_EQ(cl.bNePasUtiliserFormatNumerique(), 1);
    EXPECT_EQ(cl.bNePasUtiliserFormatMonetaire(), 1);
}

}  // namespace
