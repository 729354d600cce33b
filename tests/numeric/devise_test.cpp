// The euro functions in-process, on a rate table the test installs: rates,
// conversions with their rounding differences, defaults, names, errors.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/any.h"
#include "numeric/euro.h"
#include "numeric/functions.h"
#include "numeric/money.h"
#include "runtime/znlibrary.h"

using namespace numeric;

namespace {

CMoney M(const char* psz) {
    CMoney cl = gclMoneyNULL;
    EXPECT_NE(pstChaineVersMonetaire(&cl, psz), nullptr) << psz;
    return cl;
}

std::string S(const CMoney& cl) {
    char sz[MONETAIRE_TAILLE_TEXTE];
    return pszMonetaireVersChaineC(sz, &cl);
}

// A caller's variable: keeps the currency value it is given.
class CVariable final : public IVariable {
public:
    int bAffecte(const CAny* pcl, CXError*) override {
        if (pcl == nullptr || pcl->nGetType() != ANY_CY) return 0;
        memcpy(&m_cl, pcl->pGetValeur(), sizeof m_cl);
        m_bEcrite = true;
        return 1;
    }
    int bLit(CAny*, CXError*) override { return 0; }
    void Release() override {}
    CMoney m_cl = gclMoneyNULL;
    bool m_bEcrite = false;
};

class Devises : public ::testing::Test {
protected:
    void SetUp() override {
        m_clTable.nInit();
        m_clTable.bChange(0, 1000000, "EUR");
        m_clTable.bChange(1, 6559570, "FRF");
        m_clTable.bChange(2, 1955830, "DEM");
        m_clTable.bChange(3, 1936270000, "ITL");
        m_clTable.bChange(4, 0, "ZERO");   // a module's table may hold anything
        EURO_InstalleTable(&m_clTable);
    }
    void TearDown() override { EURO_Term(); }

    int nErreur() {
        const int n = m_lib.pclGetError()->bIsError() ? m_lib.pclGetError()->nGetUserError() : 0;
        m_lib.RAZError();
        return n;
    }

    CTauxDeChange m_clTable;
    CZNLibrary m_lib;
};

enum eFonction { VERS_EURO, VERS_DEVISE, CHANGE };

TEST_F(Devises, Conversions) {
    struct {
        eFonction e;
        const char* pszMontant;
        int nDe, nVers, nDecimales;
        const char* pszResultat;
        const char* pszDifference;
        int nErreur;
    } tab[] = {
        // 100 francs: 15.24 euros, and 15.24 x 6.55957 = 99.97 francs back.
        {VERS_EURO, "100", 1, 0, 2, "15.24", "0.03", 0},
        {VERS_EURO, "100", 1, 0, 6, "15.244901", "0.000005", 0},
        {VERS_EURO, "100", 1, 0, 0, "15", "2", 0},
        {VERS_EURO, "-100", 1, 0, 2, "-15.24", "-0.03", 0},
        {VERS_EURO, "100", 0, 0, 2, "100", "0", 0},
        {VERS_EURO, "100", 65535, 0, 2, "15.24", "0.03", 0},   // the default shown: francs
        {VERS_EURO, "1000000", 3, 0, 2, "516.46", "-6", 0},
        {VERS_EURO, "100", 5, 0, 2, "0", nullptr, 80191},
        {VERS_EURO, "100", -1, 0, 2, "0", nullptr, 80191},
        {VERS_EURO, "100", 70000, 0, 2, "0", nullptr, 80191},
        {VERS_EURO, "100", 4, 0, 2, "0", nullptr, 80164},      // a zero rate
        {VERS_DEVISE, "15.24", 0, 1, 2, "99.97", "0", 0},
        {VERS_DEVISE, "1", 0, 2, 2, "1.96", "0", 0},
        {VERS_DEVISE, "600000000000000000", 0, 2, 2, "0", nullptr, 80165},
        {VERS_DEVISE, "100", 0, 4, 2, "0", nullptr, 80164},
        {CHANGE, "100", 1, 2, 2, "29.82", "-0.01", 0},
        {CHANGE, "100", 2, 1, 2, "335.39", "0", 0},
        {CHANGE, "100", 2, 2, 2, "100", "0", 0},
        {CHANGE, "100", 2, 9, 2, "0", nullptr, 80191},
        {CHANGE, "100", 9, 2, 2, "0", nullptr, 80191},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(std::to_string(c.e) + " " + c.pszMontant + " " + std::to_string(c.nDe) + ">" +
                     std::to_string(c.nVers) + " " + std::to_string(c.nDecimales));
        const CMoney a = M(c.pszMontant);
        CVariable clVar;
        CMoney cl = c.e == VERS_EURO     ? eVersEuro(m_lib, a, c.nDe, c.nDecimales, &clVar)
                    : c.e == VERS_DEVISE ? eVersDevise(m_lib, a, c.nVers, c.nDecimales, &clVar)
                                         : eChangeDevise(m_lib, a, c.nDe, c.nVers, c.nDecimales, &clVar);
        EXPECT_EQ(nErreur(), c.nErreur);
        EXPECT_EQ(S(cl), c.pszResultat);
        EXPECT_EQ(clVar.m_bEcrite, c.pszDifference != nullptr);
        if (c.pszDifference != nullptr) {
            EXPECT_EQ(S(clVar.m_cl), c.pszDifference);
        }
    }
}

TEST_F(Devises, DefaultArguments) {
    const CMoney a = M("100");
    EXPECT_EQ(S(eVersEuro(m_lib, a)), "15.24");
    EXPECT_EQ(S(eVersEuro(m_lib, a, 2)), "51.13");
    EXPECT_EQ(S(eVersEuro(m_lib, a, 2, 3)), "51.129");
    EXPECT_EQ(S(eVersDevise(m_lib, a)), "655.96");
    EXPECT_EQ(S(eVersDevise(m_lib, a, 2)), "195.58");
    EXPECT_EQ(S(eVersDevise(m_lib, a, 2, 0)), "196");
    EXPECT_EQ(S(eChangeDevise(m_lib, a, 1, 2)), "29.82");
    EXPECT_EQ(S(eChangeDevise(m_lib, a, 1, 2, 4)), "29.8164");
    EXPECT_EQ(eTauxDeChange(m_lib), 6.55957);
    EXPECT_EQ(S(eDifferenceArrondi(m_lib, 12)), "0");
    EXPECT_EQ(nErreur(), 0);
}

TEST_F(Devises, RatesAndNames) {
    struct {
        int nDevise;
        double rTaux;
        const char* pszNom;
        int nErreur;
    } tab[] = {
        {0, 1, "EUR", 0},       {1, 6.55957, "FRF", 0}, {3, 1936.27, "ITL", 0},
        {65535, 6.55957, "FRF", 0}, {5, -1, "", 80191},   {-1, -1, "", 80191},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(c.nDevise);
        EXPECT_EQ(eTauxDeChange(m_lib, c.nDevise), c.rTaux);
        EXPECT_EQ(nErreur(), c.nErreur);
        EXPECT_STREQ(eNomDevise(m_lib, c.nDevise).pszGet(), c.pszNom);
        EXPECT_EQ(nErreur(), c.nErreur);
    }
    EXPECT_STREQ(eNomDevise(m_lib).pszGet(), "FRF");
}

TEST_F(Devises, InitDevise) {
    struct {
        int nDevise;
        const char* pszNom;
        double rTaux;
        int nErreur;
        uint32_t dwStocke;   // the rate stored for the currency afterwards
    } tab[] = {
        {1, "FRANCS", 6.55957, 0, 6559570},
        {2, "DEUTSCHEMARK", 1.95583, 0, 1955830},   // the name keeps seven characters
        {1, "X", 2.675, 0, 2675000},
        {1, "X", 2147.999999, 0, 2147999999},
        {1, "X", 2148, 80192, 2147999999},
        {1, "X", 3000, 80192, 2147999999},
        {1, "X", 0, 80192, 2147999999},
        {1, "X", -1.5, 80192, 2147999999},
        {1, "X", 0.0000001, 80192, 2147999999},
        {1, "X", NAN, 80192, 2147999999},
        {1, "X", INFINITY, 80192, 2147999999},
        {0, "EURO", 1.5, 80191, 1000000},
        {0, "EURO", 1, 0, 1000000},
        {5, "X", 2, 80191, TAUX_INCONNU},
        {-1, "X", 2, 80191, TAUX_INCONNU},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(std::to_string(c.nDevise) + " " + std::to_string(c.rTaux));
        eInitDevise(m_lib, c.nDevise, c.pszNom, c.rTaux);
        EXPECT_EQ(nErreur(), c.nErreur);
        if (c.nDevise >= 0) {
            EXPECT_EQ(m_clTable.dwGetTaux(uint16_t(c.nDevise)), c.dwStocke);
        }
    }
    EXPECT_STREQ(m_clTable.pszGetNom(2), "DEUTSCH");
    EXPECT_STREQ(m_clTable.pszGetNom(0), "EURO");
    EXPECT_EQ(m_clTable.wNomVersNumero("deutsch"), 2);
    EXPECT_EQ(m_clTable.wNomVersNumero("USD"), DEVISE_INCONNUE);
    EXPECT_TRUE(m_clTable.bIsValid());
}

TEST_F(Devises, Defaults) {
    struct {
        bool bAffichage;
        int nDevise;   // -1: query only
        int nAttendu;
        int nErreur;
    } tab[] = {
        {true, -1, 1, 0},  {true, 2, 2, 0},  {true, -1, 2, 0}, {true, 5, -1, 80191}, {true, -1, 2, 0},
        {false, -1, 1, 0}, {false, 3, 3, 0}, {false, 0, 0, 0}, {false, 9, -1, 80191}, {false, -1, 0, 0},
    };
    for (const auto& c : tab) {
        SCOPED_TRACE(std::to_string(c.bAffichage) + " " + std::to_string(c.nDevise));
        const int n = c.bAffichage ? (c.nDevise < 0 ? eDeviseAffParDefaut(m_lib) : eDeviseAffParDefaut(m_lib, c.nDevise))
                                   : (c.nDevise < 0 ? eDeviseMemParDefaut(m_lib) : eDeviseMemParDefaut(m_lib, c.nDevise));
        EXPECT_EQ(n, c.nAttendu);
        EXPECT_EQ(nErreur(), c.nErreur);
    }
    // The default shown is the one 65535 designates.
    EXPECT_EQ(eTauxDeChange(m_lib, 65535), 1.95583);
    EXPECT_STREQ(eNomDevise(m_lib, 65535).pszGet(), "DEM");
}

TEST(DevisesSansTable, EveryFunctionRaises80190) {
    EURO_Term();
    CZNLibrary lib;
    auto fnErreur = [&] {
        const int n = lib.pclGetError()->nGetUserError();
        lib.RAZError();
        return n;
    };
    const CMoney a = M("100");
    EXPECT_EQ(S(eVersEuro(lib, a)), "0");
    EXPECT_EQ(fnErreur(), 80190);
    EXPECT_EQ(S(eVersDevise(lib, a)), "0");
    EXPECT_EQ(fnErreur(), 80190);
    EXPECT_EQ(S(eChangeDevise(lib, a, 1, 2)), "0");
    EXPECT_EQ(fnErreur(), 80190);
    EXPECT_EQ(eTauxDeChange(lib), -1);
    EXPECT_EQ(fnErreur(), 80190);
    EXPECT_EQ(eDeviseAffParDefaut(lib), -1);
    EXPECT_EQ(fnErreur(), 80190);
    EXPECT_EQ(eDeviseMemParDefaut(lib, 1), -1);
    EXPECT_EQ(fnErreur(), 80190);
    EXPECT_STREQ(eNomDevise(lib).pszGet(), "");
    EXPECT_EQ(fnErreur(), 80190);
    eInitDevise(lib, 1, "X", 2);
    EXPECT_EQ(fnErreur(), 80190);
}

}  // namespace
