// The first language functions through the host, the forwarding of the old
// archive functions, and what the host does with functions this platform
// does not carry.
#include <gtest/gtest.h>

#include <climits>

#include "e2e_common.h"

using e2e::json;

namespace {

struct STCas {
    const char* pszNom;
    json jArg;
    json jAttendu;
    int nType;
};

TEST(FirstFunctions, Results) {
    const STCas tabCas[] = {
        {"EstPair", 0, true, 0x01},           {"EstPair", -1, false, 0x01},
        {"EstPair", -4, true, 0x01},          {"EstPair", -3, false, 0x01},
        {"EstPair", INT_MIN, true, 0x01},     {"EstPair", INT_MAX, false, 0x01},
        {"IsEven", 10, true, 0x01},           {"EstImpair", -1, true, 0x01},
        {"EstImpair", -4, false, 0x01},       {"IsOdd", 3, true, 0x01},
        {"IsOdd", 0, false, 0x01},            {"ZigouigouiARoulette", 7, 24053, 0x08},
        {"ZigouigouiARoulette", -1, 24053, 0x08}, {"zigouigouiaroulette", INT_MIN, 24053, 0x08},
        {"EstPair", "-2", true, 0x01},         // a text that reads as an integer
        {"EstPair", nullptr, true, 0x01},      // an absent argument is the integer 0
    };
    for (const auto& st : tabCas) {
        json j = e2e::Appel(st.pszNom, {st.jArg});
        std::string sCas = std::string(st.pszNom) + "(" + st.jArg.dump() + ")";
        EXPECT_TRUE(j["error"].is_null()) << sCas << ": " << j.dump();
        EXPECT_EQ(j["value"], st.jAttendu) << sCas;
        EXPECT_EQ(j["type"], st.nType) << sCas;
    }
}

TEST(FirstFunctions, WrongArgumentsAreRefusedByTheHost) {
    const std::pair<const char*, std::vector<json>> tabCas[] = {
        {"EstPair", {}},
        {"EstPair", {json(1), json(2)}},
        {"EstPair", {json("abc")}},
        {"EstPair", {json(2147483648LL)}},
        {"EstPair", {json(1.5)}},
        {"FonctionInconnue", {}},
    };
    for (const auto& [pszNom, tabArgs] : tabCas) {
        json j = e2e::Appel(pszNom, tabArgs);
        ASSERT_FALSE(j["error"].is_null()) << pszNom << json(tabArgs).dump();
        EXPECT_TRUE(j["error"]["host"].get<bool>());
        EXPECT_TRUE(j["value"].is_null());
    }
}

// The 27 old archive functions forward every overload to component 42 with
// the number of their name in alphabetical order (accents removed).
TEST(Forwarding, OldArchiveFunctions) {
    const char* const k_tabNoms[] = {
        "_zipAjouteFichier_old", "_zipAjouteListeFichier_old", "_zipAjouteR\xC3\xA9pertoire_old",
        "_zipChangeChemin_old", "_zipChercheFichier_old", "_zipCr\xC3\xA9" "e_old", "_zipCr\xC3\xA9" "eExe_old",
        "_zipD\xC3\xA9" "coupe_old", "_zipEstMulti_old", "_zipExtraitChemin_old", "_zipExtraitFichier_old",
        "_zipExtraitTout_old", "_zipFerme_old", "_zipFichierEnCours_old", "_zipInfoFichier_old",
        "_zipListeFichier_old", "_zipMsgErreur_old", "_zipNbFichier_old", "_zipNbPartie_old",
        "_zipNbPartieN\xC3\xA9" "cessaire_old", "_zipOuvre_old", "_zipRegroupe_old", "_zipSupprimeFichier_old",
        "_zipSupprimeListeFichier_old", "_zipSupprimeTout_old", "_zipTaille_old", "_zipTailleFichier_old",
    };
    int nNumero = 0;
    int nAppels = 0;
    for (const char* pszNom : k_tabNoms) {
        const qvhost::STFonctionHote* pstF = e2e::Session().Fonctions().pCherche(pszNom);
        ASSERT_NE(pstF, nullptr) << pszNom;
        EXPECT_EQ(pstF->sNom[0], pszNom);
        for (const auto& stO : pstF->tabSurcharges) {
            if (!stO.pfnEntree || !stO.bSigValide) continue;
            // Arguments of the declared kinds; their values do not matter.
            std::vector<json> tabArgs;
            for (qvhost::eKind eK : stO.stArgs.tabKinds) {
                switch (eK) {
                    case qvhost::eKind::INT: tabArgs.push_back(1); break;
                    case qvhost::eKind::BOOL: tabArgs.push_back(true); break;
                    case qvhost::eKind::PROC: tabArgs.push_back({{"proc", "P"}}); break;
                    default: tabArgs.push_back("x"); break;
                }
            }
            json j = e2e::Appel(pszNom, tabArgs, stO.nIndex);
            std::string sCas = std::string(pszNom) + " overload " + std::to_string(stO.nIndex);
            ASSERT_TRUE(j.contains("forward")) << sCas << ": " << j.dump();
            EXPECT_EQ(j["forward"]["component"], 42) << sCas;
            EXPECT_EQ(j["forward"]["function"], nNumero) << sCas;
            EXPECT_EQ(j["error"]["level"], 0x40000010u) << sCas;
            ++nAppels;
        }
        ++nNumero;
    }
    EXPECT_GE(nAppels, 27);
    // A forwarded call leaves the library in a state where the next call
    // works and reports no error of its own.
    json j = e2e::Appel("EstPair", {json(2)});
    EXPECT_TRUE(j["error"].is_null()) << j.dump();
    EXPECT_EQ(j["value"], true);
}

TEST(Unavailable, NullEntryPointsAreRefused) {
    for (const char* pszNom : {"MCID\xC3\xA9" "but", "MCIBegining", "VersPressePapier", "ToClipboard", "SysXRes",
                               "RegistreLit"}) {
        json j = e2e::Appel(pszNom, {});
        ASSERT_FALSE(j["error"].is_null()) << pszNom;
        EXPECT_NE(j["error"]["message"].get<std::string>().find("not available on this platform"), std::string::npos)
            << pszNom << ": " << j.dump();
        EXPECT_TRUE(j["error"]["host"].get<bool>());
    }
}

}  // namespace
