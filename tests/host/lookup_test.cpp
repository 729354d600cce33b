// Function lookup by name and the choice of an overload, over a small
// descriptor built here, and the capture of results by the host context.
#include <gtest/gtest.h>

#include <cstring>

#include "../../host/adresses.h"
#include "../../host/hostctx.h"
#include "../../host/lookup.h"
#include "../../host/strmem_host.h"

using namespace qvhost;

namespace {

int EntreeFactice(STZNAppel*, IZNLibrary*, void**) { return 0; }

const STSyntaxe k_synDate[] = {{EntreeFactice, 0, "\x13", 1}, {EntreeFactice, 0, "\x13", 2}};
const STSyntaxe k_synPair[] = {{EntreeFactice, 0, "\x01", 1}};
const STSyntaxe k_synAbsent[] = {{nullptr, 0, "", 0}, {nullptr, 0, "\x08", 1}};
const STSyntaxe k_synMixte[] = {{EntreeFactice, 0, "\x08", 1}, {EntreeFactice, 0, "\x08", 1}, {nullptr, 0, "\x08", 2}};
const STSyntaxe k_synQueue[] = {{EntreeFactice, 0, "\x0C", 129}};
const STSyntaxe k_synCasse[] = {{EntreeFactice, 0, "", 0}};
const STSyntaxe k_synAdresse[] = {{EntreeFactice, 0, "\x08", 2}, {EntreeFactice, 0, "\x08", 3}};

// Names in the component's 8-bit set, as the descriptor holds them.
const STFonction k_tabFonctions[] = {
    {{"DateVersCha\xEEne", "DateToString"}, 0x10000, 0x02080000, k_synDate},
    {{"EstPair", "IsEven"}, 0x10000, 0x01080001, k_synPair},
    {{"MCID\xE9" "but", "MCIBeginning"}, 0x10600, 0x02080002, k_synAbsent},
    {{"Mixte", "Mixed"}, 0, 0x03080003, k_synMixte},
    {{"Max", "Max"}, 0x10000, 0x01080004, k_synQueue},
    {{"Tri", "Sort"}, 0, 0x01080005, k_synCasse},
    {{"tri", "sort2"}, 0, 0x01080006, k_synCasse},
    {{"MCID\xE9" "but", "MCIBegining"}, 0x828618, 0x02080002, k_synAbsent},   // synonym row
    {{"", ""}, 0, 0x00080008, nullptr},                                      // reserved row
    {{"Lit", "Read"}, 0, 0x02080009, k_synAdresse},
    {{"Ecrit", "Write"}, 0, 0x0208000A, k_synAdresse},
};
const QVSignature k_tabSigs[] = {
    {0, 0, "text", "13", 1}, {0, 1, "text,text", "13", 2}, {1, 0, "int", "01", 1},  {3, 0, "int", "08", 1},
    {3, 1, "text", "08", 1}, {3, 2, "int,int", "08", 2},   {4, 0, "real,...any", "0C", 129}, {5, 0, "", "", 0},
    {6, 0, "", "", 0},     {9, 0, "int,int", "08", 2},     {9, 1, "int,int,addr", "08", 3},
    {10, 0, "int,file", "08", 2}, {10, 1, "int,addr,int", "08", 3},
};

class LookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_cl.Charge(k_tabFonctions, static_cast<int>(std::size(k_tabFonctions)), k_tabSigs, std::size(k_tabSigs),
                    eCharset::CP1252);
    }
    int nRow(const char* psz) {
        const STFonctionHote* p = m_cl.pCherche(psz);
        return p ? p->nRow : -1;
    }
    CTableFonctions m_cl;
};

TEST_F(LookupTest, NamesWithAndWithoutAccents) {
    const std::pair<const char*, int> tabCas[] = {
        {"DateVersCha\xC3\xAEne", 0},   // as written, in UTF-8
        {"DateVersChaine", 0},           // without the accent
        {"DateToString", 0},             // English
        {"datetostring", 0},             // any case
        {"DATEVERSCHA\xC3\x8ENE", 0},
        {"IsEven", 1},
        {"MCID\xC3\xA9" "but", 2},       // the first row that has the name
        {"MCIDebut", 2},
        {"MCIBegining", 7},
        {"Tri", 5},                      // exact case first...
        {"tri", 6},
        {"TRI", 5},                      // ...then the first row without case
        {"sort2", 6},
        {"Nothing", -1},
        {"", -1},                        // reserved rows have empty names that never match
    };
    for (const auto& [psz, n] : tabCas) EXPECT_EQ(nRow(psz), n) << psz;
    EXPECT_EQ(m_cl.pRow(0)->sNom[0], "DateVersCha\xC3\xAEne");
    EXPECT_EQ(m_cl.pRow(100), nullptr);
}

TEST_F(LookupTest, OverloadByCountThenKind) {
    struct STCas {
        const char* pszNom;
        std::vector<json> tabArgs;
        bool bCli;
        int nForce;
        int nAttendu;   // overload, or -1 for a refusal
    };
    const STCas tabCas[] = {
        {"DateVersChaine", {json("20240101")}, false, -1, 0},
        {"DateVersChaine", {json("20240101"), json("JJ/MM")}, false, -1, 1},
        {"DateVersChaine", {}, false, -1, -1},
        {"DateVersChaine", {json("a"), json("b"), json("c")}, false, -1, -1},
        {"Mixte", {json("12")}, true, -1, 0},    // the command line reads 12 as an integer
        {"Mixte", {json("-3")}, true, -1, 0},
        {"Mixte", {json("abc")}, true, -1, 1},
        {"Mixte", {json("12")}, false, -1, 1},   // a JSON text stays a text
        {"Mixte", {json(12)}, false, -1, 0},
        {"Mixte", {json(12)}, false, 1, -1},     // forced overload that does not take a number
        {"Mixte", {json("12")}, false, 0, 0},    // forced: the text reads as an integer
        {"Mixte", {json(1), json(2)}, false, -1, -1},   // the two-argument overload has no entry here
        {"Mixte", {json(1)}, false, 7, -1},
        {"Max", {json(1.5)}, false, -1, 0},
        {"Max", {json(1.5), json("x"), json(3)}, false, -1, 0},
        {"Max", {}, false, -1, -1},
        {"EstPair", {json(nullptr)}, false, -1, 0},
        {"MCIDebut", {}, false, -1, -1},         // not available on this platform
    };
    for (const auto& st : tabCas) {
        const STFonctionHote* pstF = m_cl.pCherche(st.pszNom);
        ASSERT_NE(pstF, nullptr) << st.pszNom;
        STAppelPrepare stAppel;
        std::string sErr;
        bool bOk = bPrepareAppel(*pstF, st.tabArgs, st.bCli, st.nForce, eCharset::CP1252, stAppel, sErr);
        std::string sCas = std::string(st.pszNom) + " " + json(st.tabArgs).dump();
        ASSERT_EQ(bOk, st.nAttendu >= 0) << sCas << ": " << sErr;
        if (bOk) {
            EXPECT_EQ(stAppel.pstSurcharge->nIndex, st.nAttendu) << sCas;
            EXPECT_EQ(stAppel.tabArgs.size(), st.tabArgs.size()) << sCas;
        } else {
            EXPECT_FALSE(sErr.empty()) << sCas;
        }
    }
}

TEST_F(LookupTest, UnavailableFunctionSaysSo) {
    STAppelPrepare stAppel;
    std::string sErr;
    ASSERT_FALSE(bPrepareAppel(*m_cl.pCherche("MCIBeginning"), {}, false, -1, eCharset::CP1252, stAppel, sErr));
    EXPECT_NE(sErr.find("not available on this platform"), std::string::npos) << sErr;
}

TEST_F(LookupTest, ArgumentsReachTheEntryPointAsDeclared) {
    STAppelPrepare stAppel;
    std::string sErr;
    ASSERT_TRUE(bPrepareAppel(*m_cl.pCherche("Mixte"), {json("-7")}, true, -1, eCharset::CP1252, stAppel, sErr));
    EXPECT_EQ(*static_cast<int32_t*>(stAppel.tabArgs[0]->pPointeur()), -7);
    ASSERT_TRUE(bPrepareAppel(*m_cl.pCherche("Mixte"), {json("\xC3\xA9")}, true, -1, eCharset::CP1252, stAppel, sErr));
    void* pMemoire = *static_cast<void**>(stAppel.tabArgs[0]->pPointeur());
    EXPECT_EQ(LitChaine(pMemoire), "\xE9");
}

// Address arguments: the buffer comes from the host variable, grows to the
// size asked, must hold the byte count (the overload's last integer), and
// goes back into the variable after the call.
TEST_F(LookupTest, AddressBuffersFollowTheByteCount) {
    CHostContext clHote;
    clHote.EcritVariableHote("plein", json{{"bin", Base64Encode("abcd")}});
    clHote.EcritVariableHote("texte", "abc");
    auto fnAdr = [](const char* pszVar, int nTaille = -1) {
        json j = {{"var", pszVar}};
        if (nTaille >= 0) j["size"] = nTaille;
        return json{{"addr", j}};
    };
    struct STCas {
        const char* pszNom;
        std::vector<json> tabArgs;
        const char* pszErreur;   // part of the refusal, or null
        std::string sTampon;     // the buffer handed over
    };
    const STCas tabCas[] = {
        {"Lit", {2, 5, fnAdr("t", 8)}, nullptr, std::string(8, '\0')},
        {"Lit", {2, 8, fnAdr("t", 8)}, nullptr, std::string(8, '\0')},
        {"Lit", {2, 9, fnAdr("t", 8)}, "9 bytes do not fit the 8-byte buffer of variable t", ""},
        {"Lit", {2, 4, fnAdr("plein")}, nullptr, "abcd"},
        {"Lit", {2, 2, fnAdr("plein", 2)}, nullptr, "abcd"},   // never shrunk
        {"Lit", {2, 3, fnAdr("plein", 6)}, nullptr, std::string("abcd\0\0", 6)},
        {"Lit", {2, -1, fnAdr("vide")}, nullptr, ""},           // no count: the component reads nothing
        {"Lit", {2, 1, fnAdr("vide")}, "1 bytes do not fit the 0-byte buffer of variable vide", ""},
        {"Lit", {2, 1, fnAdr("texte")}, "variable texte does not hold a binary value", ""},
        {"Lit", {1, 2, 3}, "argument 3: not an address", ""},   // said rather than overload 0's count
        {"Ecrit", {2, fnAdr("plein"), 4}, nullptr, "abcd"},
        {"Ecrit", {2, fnAdr("plein"), 5}, "5 bytes do not fit the 4-byte buffer of variable plein", ""},
    };
    for (const auto& st : tabCas) {
        const std::string sCas = std::string(st.pszNom) + json(st.tabArgs).dump();
        STAppelPrepare stAppel;
        std::string sErr;
        bool bOk = bPrepareAppel(*m_cl.pCherche(st.pszNom), st.tabArgs, false, -1, eCharset::CP1252, stAppel, sErr) &&
                   bPrepareAdresses(stAppel, clHote, sErr);
        // A 64-bit host has no 4-byte addresses: every buffer is refused.
        bool bAdresse = stAppel.pstSurcharge && stAppel.pstSurcharge->nIndex == 1;
        const char* pszErreur = sizeof(void*) > 4 && bAdresse ? "i386 build only" : st.pszErreur;
        if (pszErreur) {
            EXPECT_FALSE(bOk) << sCas;
            EXPECT_NE(sErr.find(pszErreur), std::string::npos) << sCas << ": " << sErr;
            continue;
        }
        ASSERT_TRUE(bOk) << sCas << ": " << sErr;
        CArg* pclAdr = nullptr;
        for (auto& p : stAppel.tabArgs)
            if (p->m_eKind == eKind::ADDR) pclAdr = p.get();
        ASSERT_NE(pclAdr, nullptr) << sCas;
        EXPECT_EQ(pclAdr->m_sTampon, st.sTampon) << sCas;
        // The component writes through the 4-byte address; the variable gets it back.
        auto* p = reinterpret_cast<char*>(static_cast<uintptr_t>(static_cast<uint32_t>(pclAdr->m_n4)));
        ASSERT_EQ(p, pclAdr->m_sTampon.data()) << sCas;
        std::string sApres = st.sTampon;
        if (!sApres.empty()) p[0] = sApres[0] = 'Z';
        RangeAdresses(stAppel, clHote);
        EXPECT_EQ(clHote.LitVariableHote(pclAdr->m_sNom), json({{"bin", Base64Encode(sApres)}})) << sCas;
        // Each row starts from the same variables.
        clHote.EcritVariableHote(pclAdr->m_sNom, nullptr);
        clHote.EcritVariableHote("plein", json{{"bin", Base64Encode("abcd")}});
    }
    // Null is the null address, on every platform.
    STAppelPrepare stAppel;
    std::string sErr;
    ASSERT_TRUE(bPrepareAppel(*m_cl.pCherche("Lit"), {2, 5, nullptr}, false, -1, eCharset::CP1252, stAppel, sErr));
    ASSERT_TRUE(bPrepareAdresses(stAppel, clHote, sErr)) << sErr;
    EXPECT_EQ(*static_cast<int32_t*>(stAppel.tabArgs[2]->pPointeur()), 0);
}

// Results as the component hands them over, as the host reads them.
TEST(HostContext, CapturesResultsByType) {
    CHostContext cl;
    cl.DebutAppelLangage("Test", {}, 0);
    int32_t n = -5;
    cl.RenvoieValeur(0, &n, 0x08);
    EXPECT_EQ(ResultatVersJson(cl.GetResultat()), json(-5));
    int32_t b = 1;
    cl.RenvoieValeur(0, &b, 0x01);
    EXPECT_EQ(ResultatVersJson(cl.GetResultat()), json(true));
    EXPECT_EQ(ResultatVersTexte(cl.GetResultat()), "true");
    int64_t n8 = -9000000000LL;
    cl.RenvoieValeur(0, &n8, 0x09);
    EXPECT_EQ(ResultatVersJson(cl.GetResultat()), json(-9000000000LL));
    double r = 2.5;
    cl.RenvoieValeur(0, &r, 0x0C);
    EXPECT_EQ(ResultatVersTexte(cl.GetResultat()), "2.5");
    STMonnaie stM;
    ASSERT_TRUE(bParseMonnaie("-7.125", stM));
    cl.RenvoieValeur(0, &stM, 0x0A);
    EXPECT_EQ(ResultatVersJson(cl.GetResultat()), json("-7.125"));
    void* pMemoire = pCreeChaine("\xE9t\xE9", 3, SMK_ANSI);
    cl.RenvoieValeur(0, &pMemoire, 0x13);
    EXPECT_EQ(ResultatVersJson(cl.GetResultat()), json("\xC3\xA9t\xC3\xA9"));
    LibereChaine(pMemoire);   // the host copied it
    EXPECT_EQ(cl.GetResultat().sUtf8, "\xC3\xA9t\xC3\xA9");
    void* pBin = pCreeChaine("\x00\x01", 2, SMK_BINARY);
    cl.RenvoieValeur(0, &pBin, 0x1C);
    EXPECT_EQ(ResultatVersJson(cl.GetResultat()), json({{"bin", "AAE="}}));
    LibereChaine(pBin);
    void* pVide = nullptr;
    cl.RenvoieValeur(0, &pVide, 0x13);
    EXPECT_EQ(ResultatVersJson(cl.GetResultat()), json(""));
    cl.RenvoieValeur(0, "\x80", 0x17);
    EXPECT_EQ(ResultatVersJson(cl.GetResultat()), json("\xE2\x82\xAC"));
    const uint32_t tabW[] = {0x41, 0x20AC, 0};
    cl.RenvoieValeur(0, tabW, 0x10);
    EXPECT_EQ(ResultatVersJson(cl.GetResultat()), json("A\xE2\x82\xAC"));
    int64_t nDuree = 3600000;
    cl.RenvoieValeur(0, &nDuree, 0x1B);
    EXPECT_EQ(ResultatVersJson(cl.GetResultat()), json(3600000));
    // An empty variant (type 0): the type is recorded, the value is null.
    alignas(CAny) unsigned char abyVide[sizeof(CAny)] = {};
    cl.RenvoieValeur(0, abyVide, 0x1F);
    EXPECT_EQ(cl.GetResultat().nType, 0x1F);
    EXPECT_TRUE(ResultatVersJson(cl.GetResultat()).is_null());
}

TEST(HostContext, ParametersProceduresAndInterruption) {
    CHostContext cl;
    CArg clA, clB;
    int nScore;
    std::string sErr;
    ASSERT_TRUE(bConvertit(json("42"), eKind::TEXT, false, eCharset::CP1252, clA, nScore, sErr));
    ASSERT_TRUE(bConvertit(json(nullptr), eKind::INT, false, eCharset::CP1252, clB, nScore, sErr));
    cl.DebutAppelLangage("Test", {&clA, &clB}, 2);
    EXPECT_FALSE(cl.bParamNull(1, 2));
    EXPECT_TRUE(cl.bParamNull(2, 2));
    EXPECT_TRUE(cl.bParamNull(3, 2));
    EXPECT_TRUE(cl.bParamNull(0, 2));
    // Parameters converted on request: the text "42" as an integer.
    auto* pn = static_cast<int32_t*>(cl.pGetParametre(1, 2, 0x08, nullptr));
    ASSERT_NE(pn, nullptr);
    EXPECT_EQ(*pn, 42);
    EXPECT_EQ(cl.pGetParametre(5, 2, 0x08, nullptr), nullptr);
    EXPECT_EQ(cl.pGetParametre(1, 2, 0x77, nullptr), nullptr);
    EXPECT_EQ(cl.bGetParamAny(1, 2, nullptr, nullptr), 0);

    EXPECT_EQ(cl.bVerifieInteruptionUtilisateur(), 0);
    cl.SetInterruption(true);
    EXPECT_EQ(cl.bVerifieInteruptionUtilisateur(), 10);

    cl.Procedure("MaProc");
    void* h = nullptr;
    int bSucces = 0;
    EXPECT_EQ(cl.TrouveProcedure("maproc", 0, &h, nullptr, &bSucces), 1);
    EXPECT_EQ(bSucces, 1);
    EXPECT_EQ(cl.ExecuteProcedure(h, 2, 3, 0), 1);
    EXPECT_EQ(cl.ExecuteProcedure(h, 2, 0, 0), 1);
    EXPECT_EQ(cl.TrouveProcedure("Autre", 0, &h, nullptr, &bSucces), 0);
    EXPECT_EQ(bSucces, 0);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(cl.ExecuteProcedure(&cl, 2, 0, 0), 0);   // not a handle of ours
    json j = cl.JsonProcedures();
    EXPECT_EQ(j["MaProc"]["count"], 2);
    EXPECT_EQ(j["MaProc"]["calls"][0]["args"], 3);
    cl.FinAppelLangage();
}

}  // namespace
