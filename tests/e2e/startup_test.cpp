// The component as the host meets it: start-up and stop sequences, the
// descriptor codes, function rows read back, and the host's signature
// table against the entry points the module really has.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e_common.h"
#include "qvstd/xerror.h"

using e2e::json;

namespace {

size_t nPosition(const std::vector<std::string>& tab, const std::string& sDebut) {
    for (size_t i = 0; i < tab.size(); ++i)
        if (tab[i].rfind(sDebut, 0) == 0) return i;
    return tab.size();
}

TEST(StartUp, SequenceInOrderAndStop) {
    e2e::Session().Arrete();   // this test drives its own load and unload
    qvhost::EtatHote().tabTrace.clear();
    qvhost::CModule clModule;
    std::string sErreur;
    ASSERT_TRUE(clModule.bDemarre(QV_MODULE_PATH, qvhost::LANGUE_EN, sErreur)) << sErreur;
    const std::vector<std::string> tabAttendu = {
        "dlopen", "bInitLibrary", "GeneralParam 2005 -> 1", "GeneralParam 2006 -> 1", "CommandeComposante 2 -> 2",
        "Execution 3985 -> 1", "Execution 5123 -> 1", "InfoComposante", "pQueryProxy 60", "SetLibShop",
        "bFinInitZNL -> 1",
    };
    EXPECT_EQ(clModule.GetSequence(), tabAttendu);

    // The execution link asked the host for its information, in this order.
    const auto& tabTrace = qvhost::EtatHote().tabTrace;
    size_t nDernier = 0;
    for (int nSous : {1, 5, 2, 3, 4, 7, 9, 10, 8}) {
        size_t n = nPosition(tabTrace, "Execution 3053/" + std::to_string(nSous));
        ASSERT_LT(n, tabTrace.size()) << "sub-code " << nSous;
        EXPECT_GE(n, nDernier) << "sub-code " << nSous;
        nDernier = n;
    }
    // The library object registered itself with the shop under "LibShop".
    ASSERT_EQ(clModule.GetShop().m_tabEntrees.size(), 1u);
    EXPECT_EQ(clModule.GetShop().m_tabEntrees[0].sNom, "LibShop");
    EXPECT_EQ(clModule.GetShop().m_tabEntrees[0].nComposante, 8);
    EXPECT_EQ(clModule.GetShop().m_tabEntrees[0].pObjet, clModule.piLib());

    clModule.Arrete();
    std::vector<std::string> tabFin(clModule.GetSequence().begin() + static_cast<long>(tabAttendu.size()),
                                    clModule.GetSequence().end());
    const std::vector<std::string> tabFinAttendue = {"TermZNL", "Release", "Execution 4875 -> 1", "TermLibrary -> 1",
                                                     "dlclose"};
    EXPECT_EQ(tabFin, tabFinAttendue);
    // The link ended normally, so the module had no end request to send.
    EXPECT_EQ(nPosition(tabTrace, "Execution 3052/"), tabTrace.size());

    // Loading again after a full stop works the same way.
    ASSERT_TRUE(clModule.bDemarre(QV_MODULE_PATH, qvhost::LANGUE_FR, sErreur)) << sErreur;
    EXPECT_EQ(clModule.InfoComposante(34, 0), 423);
    clModule.Arrete();
}

TEST(StartUp, MissingModuleFailsCleanly) {
    qvhost::CModule clModule;
    std::string sErreur;
    EXPECT_FALSE(clModule.bDemarre("/nonexistent/qv150std.so", qvhost::LANGUE_FR, sErreur));
    EXPECT_NE(sErreur.find("cannot load"), std::string::npos) << sErreur;
    EXPECT_FALSE(clModule.bDemarre());
}

TEST(Descriptor, InfoComposanteCodes) {
    const std::pair<int, int64_t> tabCas[] = {
        {0, 9}, {1, 8}, {2, 733}, {3, 1}, {13, 0}, {24, 497}, {26, 53}, {30, 1}, {32, 2}, {34, 423}, {35, 0},
        {99, 0}, {-1, 0},
    };
    for (const auto& [nCode, nAttendu] : tabCas) {
        json j = e2e::Session().Info(nCode, 0);
        EXPECT_EQ(j["value"], nAttendu) << "code " << nCode;
    }
    for (int nCode : {23, 25, 29, 31, 33}) EXPECT_NE(e2e::Session().Info(nCode, 0)["value"], 0) << "code " << nCode;
    EXPECT_EQ(e2e::Session().Traite({{"info", 34}})["value"], 423);
}

TEST(Descriptor, DescribeRows) {
    json j = e2e::Session().Traite({{"describe", "MCID\xC3\xA9" "but"}});
    EXPECT_EQ(j["row"], 255);   // the first row with the name
    EXPECT_EQ(j["id"].get<uint32_t>() & 0xFFFF, 255u);
    EXPECT_EQ((j["id"].get<uint32_t>() >> 16) & 0xFF, 8u);
    EXPECT_EQ(j["names"][0], "MCID\xC3\xA9" "but");
    json jSyn = e2e::Session().Decrit("MCIBegining");   // the synonym row repeats row 255's identifier
    EXPECT_EQ(jSyn["row"], 340);
    EXPECT_EQ(jSyn["id"], j["id"]);
    EXPECT_EQ(jSyn["flags"].get<uint32_t>() & 0x800000u, 0x800000u);

    json jPair = e2e::Session().Decrit("IsEven");
    EXPECT_EQ(jPair["row"], 146);
    EXPECT_EQ(jPair["names"], json({"EstPair", "IsEven"}));
    EXPECT_EQ(jPair["flags"], 0x10000);
    ASSERT_EQ(jPair["syntaxes"].size(), 1u);
    EXPECT_EQ(jPair["syntaxes"][0]["result"], "01");
    EXPECT_EQ(jPair["syntaxes"][0]["args"], "int");
    EXPECT_EQ(jPair["syntaxes"][0]["entry"], true);

    json jDate = e2e::Session().Decrit("DateSys");
    EXPECT_EQ(jDate["row"], 0);
    EXPECT_EQ(jDate["id"], 0x02080000);
    EXPECT_EQ(jDate["syntaxes"].size(), 2u);

    EXPECT_EQ(e2e::Session().Decrit("MemTri")["names"][1], "MemSort_55");
    EXPECT_EQ(e2e::Session().Decrit("MemSort")["row"], 243);
    EXPECT_TRUE(e2e::Session().Decrit("PasUneFonction")["error"]["host"].get<bool>());
}

// Every entry point of the module has a signature the host can use, and
// every signature names an overload of the descriptor.
TEST(Descriptor, SignatureTableCoversEveryEntryPoint) {
    const qvhost::CTableFonctions& cl = e2e::Session().Fonctions();
    ASSERT_EQ(cl.nCount(), 423u);
    int nEntrees = 0;
    for (size_t i = 0; i < cl.nCount(); ++i) {
        const qvhost::STFonctionHote* p = cl.pRow(static_cast<int>(i));
        for (const auto& stO : p->tabSurcharges) {
            if (!stO.pfnEntree) continue;
            ++nEntrees;
            EXPECT_TRUE(stO.pstSig != nullptr && stO.bSigValide)
                << p->sNom[0] << " overload " << stO.nIndex << ": no usable signature";
            if (stO.pstSig) {
                int nRes = 0;
                if (stO.pstSig->pszResult[0]) nRes = static_cast<int>(std::strtol(stO.pstSig->pszResult, nullptr, 16));
                EXPECT_EQ(stO.nResultat < 0 ? 0 : stO.nResultat, nRes) << p->sNom[0] << " overload " << stO.nIndex;
            }
        }
    }
    EXPECT_GT(nEntrees, 0);
    size_t nSigs = 0;
    const QVSignature* pst = qvhost::pGetSignatures(&nSigs);
    for (size_t k = 0; k < nSigs; ++k) {
        const qvhost::STFonctionHote* p = cl.pRow(pst[k].nRow);
        ASSERT_NE(p, nullptr) << "row " << pst[k].nRow;
        EXPECT_LT(pst[k].nOverload, p->tabSurcharges.size()) << p->sNom[0];
    }
}

}  // namespace
