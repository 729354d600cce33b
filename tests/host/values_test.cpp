// Argument kinds: signature parsing, conversion of given values into what
// entry points receive, currency and date-time texts, host string memory.
#include <gtest/gtest.h>

#include <cstring>

#include "../../host/strmem_host.h"
#include "../../host/values.h"

using namespace qvhost;

namespace {

TEST(Signature, Parsing) {
    STSignatureArgs st;
    std::string sErr;
    ASSERT_TRUE(bParseSignatureArgs("text,int?,real?", st, sErr));
    ASSERT_EQ(st.tabKinds.size(), 3u);
    EXPECT_EQ(st.tabKinds[1], eKind::INT);
    EXPECT_EQ(st.nRequis, 1);
    EXPECT_FALSE(st.bQueue);
    ASSERT_TRUE(bParseSignatureArgs("text,...any", st, sErr));
    EXPECT_EQ(st.tabKinds.size(), 1u);
    EXPECT_TRUE(st.bQueue);
    EXPECT_EQ(st.eQueue, eKind::ANY);
    ASSERT_TRUE(bParseSignatureArgs("", st, sErr));
    EXPECT_TRUE(st.tabKinds.empty());
    for (const char* psz : {"text,,int", "bogus", "int?,int", "...any,int", "...nope", "int,"})
        EXPECT_FALSE(bParseSignatureArgs(psz, st, sErr)) << psz;
}

TEST(Numbers, Parsing) {
    int32_t n = 0;
    EXPECT_TRUE(bParseEntier32("-1", n));
    EXPECT_EQ(n, -1);
    EXPECT_TRUE(bParseEntier32("+7", n));
    EXPECT_EQ(n, 7);
    EXPECT_TRUE(bParseEntier32("-2147483648", n));
    EXPECT_EQ(n, INT32_MIN);
    for (const char* psz : {"2147483648", "", "-", "1.5", "0x10", "12a", "+-1", "--1"})
        EXPECT_FALSE(bParseEntier32(psz, n)) << psz;
    double r = 0;
    EXPECT_TRUE(bParseReel("-2.5e3", r));
    EXPECT_EQ(r, -2500.0);
    for (const char* psz : {"nan", "inf", "1e999", "", "0x1p3", "1,5"}) EXPECT_FALSE(bParseReel(psz, r)) << psz;
    bool b = false;
    EXPECT_TRUE(bParseBooleen("Vrai", b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(bParseBooleen("false", b));
    EXPECT_FALSE(b);
    EXPECT_FALSE(bParseBooleen("yes", b));
}

TEST(Currency, TextRoundTrip) {
    const std::pair<const char*, const char*> tabCas[] = {
        {"0", "0"},          {"1", "1"},          {"-1", "-1"},       {"12.5", "12.5"},
        {"0.000001", "0.000001"}, {"-0.000001", "-0.000001"}, {"+3.100", "3.1"}, {".5", "0.5"},
        {"604462909807314587.353087", "604462909807314587.353087"},   // largest value
        {"-604462909807314587.353088", "-604462909807314587.353088"},   // most negative
    };
    for (const auto& [pszIn, pszOut] : tabCas) {
        STMonnaie st;
        ASSERT_TRUE(bParseMonnaie(pszIn, st)) << pszIn;
        EXPECT_EQ(FormatMonnaie(st), pszOut) << pszIn;
    }
    STMonnaie st;
    ASSERT_TRUE(bParseMonnaie("1", st));
    EXPECT_EQ(st.w[0], 1000000 & 0xFFFF);   // one unit is a million millionths
    EXPECT_EQ(st.w[1], 1000000 >> 16);
    ASSERT_TRUE(bParseMonnaie("-1", st));
    EXPECT_EQ(st.w[4], 0xFFFF);
    for (const char* psz : {"", "-", ".", "1.0000001", "604462909807314587.353088", "1e3", "1..2", "abc"})
        EXPECT_FALSE(bParseMonnaie(psz, st)) << psz;
}

TEST(DateTime, Parsing) {
    STDateHeure st;
    ASSERT_TRUE(bParseDateHeure("20240131235959123", st));
    EXPECT_EQ(st.dwDate, (2024u << 16) | (1u << 8) | 31u);
    EXPECT_EQ(st.nMillisecondes, 86399123u);
    ASSERT_TRUE(bParseDateHeure("20240131", st));
    EXPECT_EQ(st.nMillisecondes, 0u);
    ASSERT_TRUE(bParseDateHeure("", st));
    EXPECT_EQ(st.dwDate, 0u);
    for (const char* psz : {"2024013", "2024013124", "20240131246000000", "2024013a", "20240131235960000"})
        EXPECT_FALSE(bParseDateHeure(psz, st)) << psz;
}

// One row per kind: what a given value becomes.
TEST(Conversion, IntegerKinds) {
    struct STCas {
        json jValeur;
        eKind eK;
        bool bCli;
        bool bOk;
        int64_t nAttendu;
    };
    const STCas tabCas[] = {
        {json(-1), eKind::INT, false, true, -1},
        {json("-1"), eKind::INT, true, true, -1},
        {json("-1"), eKind::INT, false, true, -1},
        {json(2147483648LL), eKind::INT, false, false, 0},
        {json(1.5), eKind::INT, false, false, 0},
        {json("x"), eKind::INT, true, false, 0},
        {json(true), eKind::BOOL, false, true, 1},
        {json("faux"), eKind::BOOL, true, true, 0},
        {json(2), eKind::BOOL, false, false, 0},
        {json{{"i8", 9007199254740993LL}}, eKind::I8, false, true, 9007199254740993LL},
        {json("-5"), eKind::I8, true, true, -5},
        {json{{"dur", 90000}}, eKind::DUR, false, true, 90000},
        {json{{"dur", 1}}, eKind::I8, false, false, 0},
    };
    for (const auto& st : tabCas) {
        CArg clArg;
        int nScore = 0;
        std::string sErr;
        ASSERT_EQ(bConvertit(st.jValeur, st.eK, st.bCli, eCharset::CP1252, clArg, nScore, sErr), st.bOk)
            << st.jValeur.dump() << " " << sErr;
        if (!st.bOk) continue;
        ASSERT_NE(clArg.pPointeur(), nullptr);
        if (st.eK == eKind::INT || st.eK == eKind::BOOL)
            EXPECT_EQ(*static_cast<int32_t*>(clArg.pPointeur()), st.nAttendu) << st.jValeur.dump();
        else
            EXPECT_EQ(*static_cast<int64_t*>(clArg.pPointeur()), st.nAttendu) << st.jValeur.dump();
    }
}

TEST(Conversion, RealCurrencyDateTime) {
    CArg clR;
    int nScore = 0;
    std::string sErr;
    ASSERT_TRUE(bConvertit(json(3), eKind::REAL, false, eCharset::CP1252, clR, nScore, sErr));
    EXPECT_EQ(*static_cast<double*>(clR.pPointeur()), 3.0);
    CArg clC;
    ASSERT_TRUE(bConvertit(json{{"cur", "-2.25"}}, eKind::CUR, false, eCharset::CP1252, clC, nScore, sErr));
    EXPECT_EQ(FormatMonnaie(*static_cast<STMonnaie*>(clC.pPointeur())), "-2.25");
    CArg clD;
    ASSERT_TRUE(bConvertit(json{{"datetime", "18000101000000001"}}, eKind::DATETIME, false, eCharset::CP1252, clD,
                           nScore, sErr));
    auto* pst = static_cast<STDateHeure*>(clD.pPointeur());
    EXPECT_EQ(pst->dwDate, (1800u << 16) | (1u << 8) | 1u);
    EXPECT_EQ(pst->nMillisecondes, 1u);
    CArg clBad;
    EXPECT_FALSE(bConvertit(json{{"datetime", "2024"}}, eKind::DATETIME, false, eCharset::CP1252, clBad, nScore, sErr));
}

TEST(Conversion, TextsBecomeDynamicStrings) {
    long nAvant = CHostStrMem::Instance().nGetVivants();
    {
        CArg clT;
        int nScore = 0;
        std::string sErr;
        ASSERT_TRUE(bConvertit(json("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC"), eKind::TEXT, false, eCharset::CP1252, clT, nScore, sErr));
        void* pMemoire = *static_cast<void**>(clT.pPointeur());
        ASSERT_NE(pMemoire, nullptr);
        const STStrMemHeader* pst = STRMEM_Header(pMemoire);
        EXPECT_EQ(pst->pclAllocateur, &CHostStrMem::Instance());
        EXPECT_EQ(pst->dwFlags, static_cast<uint32_t>(SMK_ANSI));
        EXPECT_EQ(pst->nRef, 1);
        EXPECT_EQ(pst->nLongueur, 5u);
        EXPECT_GE(pst->nCapacite, 5u);
        EXPECT_EQ(std::memcmp(pMemoire, "\xE9t\xE9 \x80\0\0\0\0", 9), 0);   // characters, then a 4-byte zero

        CArg clU;
        ASSERT_TRUE(bConvertit(json{{"uni", "a\xE2\x82\xAC"}}, eKind::UNI, false, eCharset::CP1252, clU, nScore, sErr));
        void* pW = *static_cast<void**>(clU.pPointeur());
        ASSERT_NE(pW, nullptr);
        EXPECT_EQ(STRMEM_Header(pW)->dwFlags, static_cast<uint32_t>(SMK_UNICODE));
        EXPECT_EQ(STRMEM_Header(pW)->nLongueur, 8u);
        EXPECT_EQ(static_cast<uint32_t*>(pW)[1], 0x20ACu);
        EXPECT_EQ(static_cast<uint32_t*>(pW)[2], 0u);

        CArg clB;
        ASSERT_TRUE(bConvertit(json{{"bin", "AP8A"}}, eKind::BIN, false, eCharset::CP1252, clB, nScore, sErr));
        void* pB = *static_cast<void**>(clB.pPointeur());
        EXPECT_EQ(LitChaine(pB), std::string("\x00\xFF\x00", 3));
        EXPECT_EQ(KindChaine(pB), static_cast<uint32_t>(SMK_BINARY));

        // File names travel as string records; Unicode ones say so.
        CArg clF;
        ASSERT_TRUE(bConvertit(json("/tmp/x"), eKind::FILE, false, eCharset::CP1252, clF, nScore, sErr));
        auto* pM = static_cast<STArgManip*>(clF.pPointeur());
        EXPECT_EQ(pM->nType, 0x13);
        EXPECT_EQ(LitChaine(pM->pMemoire), "/tmp/x");
        CArg clFU;
        ASSERT_TRUE(bConvertit(json{{"uni", "/tmp/\xC3\xA9"}}, eKind::FILE, false, eCharset::CP1252, clFU, nScore, sErr));
        EXPECT_EQ(static_cast<STArgManip*>(clFU.pPointeur())->nType, 16);

        CArg clVide;
        ASSERT_TRUE(bConvertit(json(""), eKind::TEXT, false, eCharset::CP1252, clVide, nScore, sErr));
        EXPECT_EQ(*static_cast<void**>(clVide.pPointeur()), nullptr);   // the empty text has no memory

        CArg clNul;
        ASSERT_TRUE(bConvertit(json(nullptr), eKind::INT, false, eCharset::CP1252, clNul, nScore, sErr));
        EXPECT_TRUE(clNul.m_bNull);
        EXPECT_EQ(*static_cast<int32_t*>(clNul.pPointeur()), 0);

        CArg clMauvais;
        EXPECT_FALSE(bConvertit(json{{"bin", "***"}}, eKind::BIN, false, eCharset::CP1252, clMauvais, nScore, sErr));
        EXPECT_FALSE(bConvertit(json{{"uni", "x"}}, eKind::TEXT, false, eCharset::CP1252, clMauvais, nScore, sErr));
        EXPECT_FALSE(bConvertit(json{{"nope", 1}}, eKind::TEXT, false, eCharset::CP1252, clMauvais, nScore, sErr));
        EXPECT_FALSE(bConvertit(json(1), eKind::TEXT, false, eCharset::CP1252, clMauvais, nScore, sErr));
    }
    EXPECT_EQ(CHostStrMem::Instance().nGetVivants(), nAvant);
}

TEST(Conversion, ScoresPreferTheNaturalKind) {
    auto fnScore = [](const json& j, eKind eK, bool bCli) {
        CArg cl;
        int n = 0;
        std::string s;
        return bConvertit(j, eK, bCli, eCharset::CP1252, cl, n, s) ? n : -1;
    };
    // On the command line every value is text: a number reads best as a number.
    EXPECT_GT(fnScore(json("12"), eKind::INT, true), fnScore(json("12"), eKind::TEXT, true));
    EXPECT_GT(fnScore(json("12"), eKind::INT, true), fnScore(json("12"), eKind::REAL, true));
    EXPECT_GT(fnScore(json("1.5"), eKind::REAL, true), fnScore(json("1.5"), eKind::TEXT, true));
    // In JSON the value's own type decides.
    EXPECT_GT(fnScore(json("12"), eKind::TEXT, false), fnScore(json("12"), eKind::INT, false));
    EXPECT_GT(fnScore(json(12), eKind::INT, false), fnScore(json(12), eKind::REAL, false));
    EXPECT_GT(fnScore(json(1.5), eKind::REAL, false), fnScore(json(1.5), eKind::CUR, false));
}

// Address arguments come from tagged objects only, never from numbers, and
// never from the command line; null is the null address.
TEST(Conversion, AddressesOnlyFromTaggedObjects) {
    struct STCas {
        json jValeur;
        bool bCli;
        const char* pszErreur;   // part of the refusal, or null when accepted
        const char* pszVar;
        int64_t nTaille;
    };
    const json jT = {{"var", "t"}};
    const STCas tabCas[] = {
        {{{"addr", jT}}, false, nullptr, "t", -1},
        {{{"addr", {{"var", "t"}, {"size", 8}}}}, false, nullptr, "t", 8},
        {{{"addr", jT}, {"size", 8}}, false, nullptr, "t", 8},
        {{{"addr", {{"var", "t"}, {"size", 8}}}, {"size", 8}}, false, nullptr, "t", 8},
        {{{"addr", {{"var", "t"}, {"size", 67108864}}}}, false, nullptr, "t", 67108864},
        {json(nullptr), false, nullptr, "", -1},
        {{{"addr", {{"var", "t"}, {"size", 4}}}, {"size", 5}}, false, "two different sizes", nullptr, 0},
        {json(1234), false, "not an address", nullptr, 0},
        {json("1234"), false, "not an address", nullptr, 0},
        {{{"i8", 5}}, false, "wrong tag", nullptr, 0},
        {{{"var", "t"}}, false, "wrong tag", nullptr, 0},
        {{{"addr", 5}}, false, "an address names a host variable", nullptr, 0},
        {{{"addr", {{"var", ""}}}}, false, "an address names a host variable", nullptr, 0},
        {{{"addr", {{"size", 4}}}}, false, "an address names a host variable", nullptr, 0},
        {{{"addr", {{"var", "t"}, {"size", -1}}}}, false, "a size is a byte count", nullptr, 0},
        {{{"addr", {{"var", "t"}, {"size", 67108865}}}}, false, "a size is a byte count", nullptr, 0},
        {{{"addr", {{"var", "t"}, {"size", 18446744073709551615ULL}}}}, false, "a size is a byte count", nullptr, 0},
        {{{"addr", {{"var", "t"}, {"size", 1.5}}}}, false, "a size is a byte count", nullptr, 0},
        {{{"addr", jT}}, true, "cannot be given on the command line", nullptr, 0},
        {json("1234"), true, "cannot be given on the command line", nullptr, 0},
    };
    for (const auto& st : tabCas) {
        CArg clArg;
        int nScore = 0;
        std::string sErr;
        bool bOk = bConvertit(st.jValeur, eKind::ADDR, st.bCli, eCharset::CP1252, clArg, nScore, sErr);
        const std::string sCas = st.jValeur.dump() + (st.bCli ? " (command line)" : "");
        if (st.pszErreur) {
            EXPECT_FALSE(bOk) << sCas;
            EXPECT_NE(sErr.find(st.pszErreur), std::string::npos) << sCas << ": " << sErr;
            continue;
        }
        ASSERT_TRUE(bOk) << sCas << ": " << sErr;
        EXPECT_EQ(clArg.m_sNom, st.pszVar) << sCas;
        EXPECT_EQ(clArg.m_nTailleAdresse, st.nTaille) << sCas;
        EXPECT_EQ(clArg.m_bNull, st.jValeur.is_null()) << sCas;
        ASSERT_NE(clArg.pPointeur(), nullptr);
        EXPECT_EQ(*static_cast<int32_t*>(clArg.pPointeur()), 0) << sCas;   // no buffer before the call
    }
    // An "any" argument takes a variable for its value, but not an address.
    CArg clAny;
    int nScore = 0;
    std::string sErr;
    EXPECT_FALSE(bConvertit({{"addr", jT}}, eKind::ANY, false, eCharset::CP1252, clAny, nScore, sErr));
    ASSERT_TRUE(bConvertit({{"var", "v"}}, eKind::ANY, false, eCharset::CP1252, clAny, nScore, sErr)) << sErr;
    EXPECT_TRUE(clAny.bValeurDeVariable());
    EXPECT_EQ(clAny.m_sNom, "v");
    EXPECT_FALSE(bConvertit({{"var", ""}}, eKind::ANY, false, eCharset::CP1252, clAny, nScore, sErr));
}

// Values are checked before anything reads them, without recursion.
TEST(JsonSanity, DepthAndUtf8) {
    auto fnImbrique = [](size_t n) { return json::parse(std::string(n, '[') + std::string(n, ']')); };
    struct STCas {
        json jValeur;
        size_t nDepart;
        const char* pszErreur;   // null when sound
    };
    const STCas tabCas[] = {
        {fnImbrique(64), 1, nullptr},
        {fnImbrique(65), 1, "nested deeper than 64 levels"},
        {fnImbrique(62), 3, nullptr},   // an argument of a request
        {fnImbrique(63), 3, "nested deeper than 64 levels"},
        {fnImbrique(100000), 1, "nested deeper than 64 levels"},
        {json("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"), 1, nullptr},
        {json("\xFF"), 1, "a text is not valid UTF-8"},
        {json::array({1, json::array({"ok", "\xC3"})}), 1, "a text is not valid UTF-8"},
        {json{{"cl\xE9", 1}}, 1, "a key is not valid UTF-8"},
        {json{{"cl\xC3\xA9", {{"uni", "\xED\xA0\x80"}}}}, 1, "a text is not valid UTF-8"},
        {json(12), 99, nullptr},   // a plain value has no depth
    };
    for (const auto& st : tabCas) {
        std::string sErr;
        // Not the value itself: writing it out would recurse as deep as it goes.
        const std::string sCas = "row " + std::to_string(&st - tabCas);
        EXPECT_EQ(bJsonSain(st.jValeur, sErr, st.nDepart), st.pszErreur == nullptr) << sCas << ": " << sErr;
        if (st.pszErreur) {
            EXPECT_NE(sErr.find(st.pszErreur), std::string::npos) << sCas << ": " << sErr;
        }
    }
    // Messages show values safely: invalid UTF-8 replaced, long values cut.
    EXPECT_EQ(ApercuJson(json("a\xFF")), "\"a\xEF\xBF\xBD\"");
    EXPECT_LE(ApercuJson(json(std::string(100000, 'x'))).size(), 210u);
    std::string sAccents;
    for (int i = 0; i < 300; ++i) sAccents += "\xC3\xA9";
    EXPECT_TRUE(bUtf8Valide(ApercuJson(json(sAccents))));   // cut between characters
}

TEST(StringMemory, ReferencesAndGrowth) {
    CHostStrMem& cl = CHostStrMem::Instance();
    long nAvant = cl.nGetVivants();
    void* p = pCreeChaine("abc", 3, SMK_ANSI);
    ASSERT_NE(p, nullptr);
    RefChaine(p);
    LibereChaine(p);   // a shared block survives one release
    EXPECT_EQ(cl.nGetVivants(), nAvant + 1);
    EXPECT_EQ(LitChaine(p), "abc");
    ASSERT_EQ(cl.vnReallocStrMem(&p, 5000), 0);
    EXPECT_GE(STRMEM_Header(p)->nCapacite, 5000u);
    EXPECT_EQ(LitChaine(p), "abc");
    EXPECT_EQ(static_cast<char*>(p)[STRMEM_Header(p)->nCapacite], 0);
    EXPECT_EQ(cl.vnAllocStrMem(&p, STRMEM_MAXLEN + 1u), 108);
    LibereChaine(p);
    EXPECT_EQ(cl.nGetVivants(), nAvant);
    LibereChaine(nullptr);
    EXPECT_EQ(LitChaine(nullptr), "");
    EXPECT_EQ(pCreeChaine("", 0, SMK_ANSI), nullptr);
}

TEST(StringMemory, DamagedLengthReadsNoFurtherThanTheBlock) {
    void* p = pCreeChaine("abc", 3, SMK_ANSI);
    ASSERT_NE(p, nullptr);
    STRMEM_Header(p)->nLongueur = 0x7FFFFFFF;
    EXPECT_EQ(LitChaine(p).size(), STRMEM_Header(p)->nCapacite);
    STRMEM_Header(p)->nLongueur = 3;
    LibereChaine(p);
}

}  // namespace
