// Variants: holders, copies, getters, conversions through a bound converter
// and variants built from texts.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/znlibrary.h"
#include "common/null_host.h"
#include "core/any.h"
#include "core/zndstr.h"
#include "qvstd/manipaub.h"

namespace {

// A small stand-in for the host's conversions: texts to integers and
// reals (whole text, no blanks), integers and reals to texts. It counts
// its calls and what it allocated.
int g_nAppels = 0;
int g_nVivants = 0;

extern "C" int ConvTest(const void* pSource, int nTypeSource, void* pDest, int nTypeDest) {
    ++g_nAppels;
    if (nTypeSource == ANY_CSTR) {
        const char* psz;
        std::memcpy(&psz, pSource, sizeof psz);
        if (!psz || !*psz) return 102;
        char* pFin = nullptr;
        errno = 0;
        if (nTypeDest == ANY_I4) {
            long long n = std::strtoll(psz, &pFin, 10);
            if (*pFin) return 102;
            if (errno || n < INT32_MIN || n > INT32_MAX) return 101;
            int32_t n4 = static_cast<int32_t>(n);
            std::memcpy(pDest, &n4, 4);
            return 0;
        }
        if (nTypeDest == ANY_R8) {
            double r = std::strtod(psz, &pFin);
            if (*pFin) return 102;
            std::memcpy(pDest, &r, 8);
            return 0;
        }
        return 105;
    }
    if ((nTypeSource == ANY_I4 || nTypeSource == ANY_R8) && nTypeDest == ANY_CSTR) {
        char sz[64];
        if (nTypeSource == ANY_I4) {
            int32_t n;
            std::memcpy(&n, pSource, 4);
            std::snprintf(sz, sizeof sz, "%d", n);
        } else {
            double r;
            std::memcpy(&r, pSource, 8);
            std::snprintf(sz, sizeof sz, "%g", r);
        }
        char* p = strdup(sz);
        ++g_nVivants;
        std::memcpy(pDest, &p, sizeof p);
        return 0;
    }
    return 105;
}

extern "C" void FinTest(void* pBuffer, int nType) {
    if (nType == ANY_CSTR) {
        char* p;
        std::memcpy(&p, pBuffer, sizeof p);
        std::free(p);
        --g_nVivants;
    }
}

class Variant : public ::testing::Test {
protected:
    void SetUp() override {
        ANY_SetConversion(ConvTest, nullptr, FinTest);
        g_nAppels = 0;
    }
    void TearDown() override {
        EXPECT_EQ(g_nVivants, 0);
        ANY_SetConversion(nullptr, nullptr, nullptr);
    }
};

std::string Texte(const CAny& cl) {
    const char* psz = nullptr;
    if (cl.nGetPCXSTR(&psz) != 0 || !psz) return "<none>";
    return psz;
}

TEST(VariantLayout, TwentyBytesOnI386) {
#if defined(__i386__)
    EXPECT_EQ(sizeof(CAny), 20u);
#endif
    CAny cl;
    EXPECT_EQ(cl.m_dwReserve, 0u);
    EXPECT_EQ(cl.nGetType(), 0);
    EXPECT_EQ(reinterpret_cast<const char*>(cl.pHolder()) - reinterpret_cast<const char*>(&cl), 4);
    EXPECT_STREQ(ANY_pClasse(cl.pVtbl())->pszNom, "CAny_Intern");
}

TEST(VariantLayout, EveryHolderHasItsSizeAndClass) {
    struct STCas {
        int nType;
        uint32_t nTaille;
        const char* pszClasse;
    };
    const STCas tabCas[] = {
        {1, 4, "CAny_ZNBOOL"},       {2, 1, "CAny_ZNUI1"},         {3, 2, "CAny_ZNUI2"},
        {4, 4, "CAny_ZNUI4"},        {5, 8, "CAny_ZNUI8"},         {6, 1, "CAny_ZNI1"},
        {7, 2, "CAny_ZNI2"},         {8, 4, "CAny_ZNI4"},          {9, 8, "CAny_ZNI8"},
        {10, 10, "CAny_ZNCY"},       {11, 4, "CAny_ZNR4"},         {12, 8, "CAny_ZNR8"},
        {13, sizeof(void*), "CAny_ZNDECIMAL"}, {14, 4, "CAny_ZNUIX"}, {15, 4, "CAny_ZNI4"},
        {16, sizeof(void*), "CAny_ZNDSTR"}, {17, 2, "CAny_ZNCAR"},  {18, sizeof(void*), "CAny_ZNCSTR"},
        {19, sizeof(void*), "CAny_ZNDSTR"}, {24, 8, "CAny_ZNDATE"}, {25, 9, "CAny_ZNTIME"},
        {26, 8, "CAny_ZNDATETIME"},  {27, 8, "CAny_ZNDUREE"},      {28, sizeof(void*), "CAny_ZNBIN"},
        {29, sizeof(void*), "CAny_ZNBUFFER"}, {30, sizeof(void*), "CAny_ZNMEMOIMG"},
        {50, sizeof(void*), "CAny_ZNCONVOYEUR"}, {65, sizeof(void*), "CAny_ZNPOLICE"},
        {83, sizeof(void*), "CAny_ZNTABANY_Holder"}, {108, sizeof(void*), "CAny_ZNOBJET_BASE"},
        {110, sizeof(void*), "CAny_ZNWSTR"}, {111, sizeof(void*), "CAny_ZNDINO"},
        {0, 0, "CAny_Intern"},       {20, 0, "CAny_Intern"},       {200, 0, "CAny_Intern"},
    };
    for (const auto& st : tabCas) {
        CAny cl;
        cl.__SetType(st.nType);
        uint32_t n = 99;
        EXPECT_EQ(cl.nGetSize(&n), 0);
        EXPECT_EQ(n, st.nTaille) << st.nType;
        EXPECT_STREQ(ANY_pClasse(cl.pVtbl())->pszNom, st.pszClasse) << st.nType;
        // Unknown codes install the empty holder under code 0.
        bool bConnu = std::string(st.pszClasse) != "CAny_Intern";
        EXPECT_EQ(cl.nGetType(), bConnu ? st.nType : 0) << st.nType;
        // The text holders alone free an owned text.
        EXPECT_EQ(cl.pVtbl()->pfnLibereTexte != nullptr, st.nType == 18 || st.nType == 110) << st.nType;
        // Every empty value is all zeros, apart from the dates and times.
        if (st.nType != 24 && st.nType != 25) {
            for (uint8_t by : cl.m_abyValeur) EXPECT_EQ(by, 0) << st.nType;
        }
    }
}

TEST(VariantLayout, EmptyDateAndTimeCopyOnlyTheirInitialTexts) {
    CAny clDate;
    clDate.__SetType(ANY_DATE);
    const uint8_t abyDate[10] = {};
    EXPECT_EQ(std::memcmp(clDate.m_abyValeur, abyDate, 10), 0);
    CAny clHeure;
    clHeure.__SetType(ANY_TIME);
    const uint8_t abyHeure[10] = {'0', '0', '0', '0', 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(clHeure.m_abyValeur, abyHeure, 10), 0);
}

TEST(VariantValues, IntegerHolderFamily) {
    CAny cl;
    cl.__SetType(ANY_I4);
    int32_t n = -5;
    cl.SetValue(&n);
    EXPECT_FALSE(cl.bIsPositive());
    EXPECT_EQ(cl.nIncremente(), 0);
    EXPECT_EQ(cl.nIncremente(), 0);
    EXPECT_EQ(cl.nIncremente(), 0);
    EXPECT_EQ(cl.nIncremente(), 0);
    EXPECT_EQ(cl.nIncremente(), 0);
    int32_t nLu = 1;
    EXPECT_EQ(cl.nGetINT(&nLu), 0);
    EXPECT_EQ(nLu, 0);
    EXPECT_TRUE(cl.bIsPositive());
    EXPECT_EQ(cl.nDecremente(), 0);
    cl.nGetINT(&nLu);
    EXPECT_EQ(nLu, -1);
    // Code 15 is the same holder and keeps its code.
    cl.__SetType(ANY_I4BIS);
    EXPECT_EQ(cl.nGetType(), 15);
    cl.SetValue(&n);
    EXPECT_EQ(cl.nGetINT(&nLu), 0);
    EXPECT_EQ(nLu, -5);
    EXPECT_FALSE(cl.bIsPositive());
    // A byte wraps within its width.
    cl.__SetType(ANY_UI1);
    uint8_t by = 255;
    cl.SetValue(&by);
    cl.nIncremente();
    cl.nGetINT(&nLu);
    EXPECT_EQ(nLu, 0);
    // Texts neither increment nor count as positive.
    cl.__SetType(ANY_CSTR);
    EXPECT_EQ(cl.nIncremente(), 105);
}

TEST(VariantValues, GetINTAndGetREAL) {
    struct STCas {
        int nType;
        uint8_t aby[8];
        int nRes;
        int32_t nAttendu;
    };
    const STCas tabCas[] = {
        {ANY_UI1, {200}, 0, 200},
        {ANY_I1, {0xC8}, 0, -56},
        {ANY_UI2, {0xFF, 0xFF}, 0, 65535},
        {ANY_I2, {0xFF, 0xFF}, 0, -1},
        {ANY_I4, {0xFE, 0xFF, 0xFF, 0xFF}, 0, -2},
        {ANY_I4BIS, {0xFE, 0xFF, 0xFF, 0xFF}, 0, -2},
        {ANY_BOOL, {1}, 0, 1},
        {ANY_UIX, {7}, 0, 7},
        {ANY_I8, {1}, 105, 0},
        {ANY_R8, {0}, 105, 0},
        {ANY_UI4, {1}, 105, 0},
    };
    for (const auto& st : tabCas) {
        CAny cl;
        cl.__SetType(st.nType);
        cl.SetValue(st.aby, 8);
        int32_t n = 12345;
        EXPECT_EQ(cl.nGetINT(&n), st.nRes) << st.nType;
        EXPECT_EQ(n, st.nAttendu) << st.nType;
    }
    CAny cl;
    cl.__SetType(ANY_R4);
    float f = 1.5f;
    cl.SetValue(&f);
    double r = 0;
    EXPECT_EQ(cl.nGetREAL(&r), 0);
    EXPECT_EQ(r, 1.5);
    cl.__SetType(ANY_I4);
    r = 3;
    EXPECT_EQ(cl.nGetREAL(&r), 105);
    EXPECT_EQ(r, 0);
}

TEST(VariantCopies, ScalarsAndOwnedTextsAreIndependent) {
    CAny clA;
    clA.__SetType(ANY_CY);
    const uint8_t abyM[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0x7F};
    clA.SetValue(abyM);
    CAny clB;
    EXPECT_EQ(clB.nCopy(clA), 0);
    EXPECT_EQ(clB.nGetType(), ANY_CY);
    EXPECT_EQ(std::memcmp(clB.m_abyValeur, abyM, 10), 0);

    CAny clT;
    clT.__SetType(ANY_CSTR);
    clT.SetValue("abc");
    CAny clU;
    EXPECT_EQ(clU.nCopy(clT), 0);
    EXPECT_EQ(clU.nGetType(), ANY_CSTR);
    EXPECT_NE(clU.pGetPointeur(), clT.pGetPointeur());   // its own copy
    clT.SetValue("changed");
    EXPECT_EQ(Texte(clU), "abc");

    CAny clW;
    clW.__SetType(ANY_WSTR);
    clW.SetValue(L"\u00e9t\u00e9");
    CAny clX;
    clX.nCopy(clW);
    EXPECT_NE(clX.pGetPointeur(), clW.pGetPointeur());
    EXPECT_EQ(std::wcscmp(static_cast<const wchar_t*>(clX.pGetPointeur()), L"\u00e9t\u00e9"), 0);
}

TEST(VariantCopies, DynamicStringsShareTheirMemory) {
    CZNDSTR s("shared");
    CAny clA;
    clA.__SetType(ANY_DSTR);
    void* pMemoire = s.pGetMemoire();
    clA.SetValue(&pMemoire);
    EXPECT_EQ(s.nGetRef(), 2);
    {
        CAny clB;
        clB.nCopy(clA);
        EXPECT_EQ(clB.pGetPointeur(), pMemoire);
        EXPECT_EQ(s.nGetRef(), 3);
        STManipAUB st{};
        EXPECT_EQ(clB.nGetManipAUB(&st), 0);
        EXPECT_EQ(st.pMemoire, pMemoire);
        EXPECT_EQ(st.wType, ANY_DSTR);
    }
    EXPECT_EQ(s.nGetRef(), 2);
    uint32_t n = 0;
    EXPECT_EQ(clA.m_pVtbl->pfnGetSTRLEN(clA.pHolder(), &n), 0);
    EXPECT_EQ(n, 6u);
    clA.Vide();
    EXPECT_EQ(s.nGetRef(), 1);
    EXPECT_EQ(clA.nGetManipAUB(nullptr), 105);
}

TEST(VariantCopies, NullMarkAndEmptySource) {
    CAny clVide;
    clVide.SetMarqueNull(true);
    CAny cl;
    cl.__SetType(ANY_I4);
    int32_t n = 4;
    cl.SetValue(&n);
    EXPECT_EQ(cl.nCopy(clVide), 0);
    EXPECT_EQ(cl.nGetType(), 0);
    EXPECT_TRUE(cl.bEstNull());
    CAny clC;
    clC.__SetType(ANY_I4);
    clC.SetValue(&n);
    cl.nCopy(clC);
    EXPECT_FALSE(cl.bEstNull());
    EXPECT_EQ(cl.nCopy(cl), 0);   // itself
}

TEST(VariantCopies, ArraysCopyTheirElements) {
    CAny clElements[2];
    clElements[0].__SetType(ANY_CSTR);
    clElements[0].SetValue("one");
    clElements[1].__SetType(ANY_I4);
    int32_t n = 2;
    clElements[1].SetValue(&n);
    CAny clTab;
    ASSERT_EQ(CAny_ZNTABANY::s_nSetValue(&clTab, clElements, 2), 0);
    EXPECT_EQ(clTab.nGetType(), ANY_TABANY);
    ASSERT_EQ(CAny_ZNTABANY::s_nGetCount(&clTab), 2u);
    CAny* p0 = CAny_ZNTABANY::s_pGetElement(&clTab, 0);
    ASSERT_NE(p0, nullptr);
    EXPECT_EQ(Texte(*p0), "one");
    EXPECT_NE(p0->pGetPointeur(), clElements[0].pGetPointeur());
    EXPECT_EQ(CAny_ZNTABANY::s_pGetElement(&clTab, 2), nullptr);
    CAny clCopie;
    clCopie.nCopy(clTab);
    EXPECT_EQ(CAny_ZNTABANY::s_nGetCount(&clCopie), 2u);
    EXPECT_NE(clCopie.pGetPointeur(), clTab.pGetPointeur());
    ASSERT_EQ(CAny_ZNTABANY::s_nSetValue(&clCopie, &clElements[1]), 0);
    EXPECT_EQ(CAny_ZNTABANY::s_nGetCount(&clCopie), 1u);
}

TEST(VariantTexts, UnicodeIntoADynamicStringMakesItUnicode) {
    CAny cl;
    cl.__SetType(ANY_DSTR);
    EXPECT_EQ(cl.SetValueFromUNICODE(L"ab"), 0);
    EXPECT_EQ(cl.nGetType(), ANY_USTR);
    EXPECT_EQ(STRMEM_Header(cl.pGetPointeur())->dwFlags & SMK_KINDS, SMK_UNICODE);
    cl.__SetType(ANY_CSTR);
    EXPECT_EQ(cl.SetValueFromANSI("xyz"), 0);
    EXPECT_EQ(Texte(cl), "xyz");
    cl.__SetType(ANY_I4);
    EXPECT_EQ(cl.SetValueFromANSI("1"), 105);
}

TEST_F(Variant, CastToTheSameTypeAsksNobody) {
    CAny cl;
    cl.__SetType(ANY_I4);
    EXPECT_EQ(cl.nCastTo(ANY_I4), 0);
    EXPECT_EQ(g_nAppels, 0);
}

TEST_F(Variant, RefusedConversionsLeaveTheVariantUnchanged) {
    const char* tabTextes[] = {"12x", "", "99999999999"};
    const int tabAttendus[] = {102, 102, 101};
    for (size_t i = 0; i < 3; ++i) {
        CAny cl;
        cl.__SetType(ANY_CSTR);
        cl.SetValue(tabTextes[i]);
        cl.m_wType |= ANY_MARQUE_GARDEE;
        void* pAvant = cl.pGetPointeur();
        EXPECT_EQ(cl.nCastTo(ANY_I4), tabAttendus[i]) << tabTextes[i];
        EXPECT_EQ(cl.nGetType(), ANY_CSTR);
        EXPECT_EQ(cl.pGetPointeur(), pAvant);
        EXPECT_EQ(Texte(cl), tabTextes[i]);
        EXPECT_TRUE(cl.wGetTypeWord() & ANY_MARQUE_GARDEE);
    }
}

TEST_F(Variant, ConversionsKeepTheMarksAndReleaseTheBuffer) {
    CAny cl;
    cl.__SetType(ANY_I4);
    int32_t n = -42;
    cl.SetValue(&n);
    cl.m_wType |= ANY_MARQUE_NULL | ANY_MARQUE_GARDEE;
    EXPECT_EQ(cl.nCastTo(ANY_CSTR), 0);
    EXPECT_EQ(cl.nGetType(), ANY_CSTR);
    EXPECT_EQ(Texte(cl), "-42");
    EXPECT_TRUE(cl.bEstNull());
    EXPECT_TRUE(cl.wGetTypeWord() & ANY_MARQUE_GARDEE);
    EXPECT_EQ(CAny::s_nCastTo(&cl, "2.5", ANY_R8), 0);
    double r = 0;
    EXPECT_EQ(cl.nGetREAL(&r), 0);
    EXPECT_EQ(r, 2.5);
    EXPECT_FALSE(cl.bEstNull());
}

TEST_F(Variant, WithoutConverterNothingConverts) {
    ANY_SetConversion(nullptr, nullptr, nullptr);
    CAny cl;
    cl.__SetType(ANY_CSTR);
    cl.SetValue("1");
    EXPECT_EQ(cl.nCastTo(ANY_I4), 105);
    EXPECT_EQ(cl.nGetType(), ANY_CSTR);
}

TEST_F(Variant, BuiltFromTexts) {
    struct STCas {
        const char* pszTexte;
        int nType;
        const char* pszTexteAttendu;   // type 18: the text kept
        int32_t nEntier;               // types 1 and 8
        double rReel;                  // type 12
    };
    const STCas tabCas[] = {
        {"12", ANY_I4, nullptr, 12, 0},
        {"-7", ANY_I4, nullptr, -7, 0},
        {"1.5e3", ANY_R8, nullptr, 0, 1500},
        {".5", ANY_R8, nullptr, 0, 0.5},
        {"12,znReal_8", ANY_R8, nullptr, 0, 12},
        {"12,znR\xE9" "el_8", ANY_R8, nullptr, 0, 12},
        {"12,ZNINT_4", ANY_I4, nullptr, 12, 0},
        {"12,abc", ANY_CSTR, "12,abc", 0, 0},
        {"1.2.3", ANY_CSTR, "1.2.3", 0, 0},
        {"1e2e3", ANY_CSTR, "1e2e3", 0, 0},
        {"12 ", ANY_CSTR, "12 ", 0, 0},
        {"99999999999", ANY_CSTR, "99999999999", 0, 0},   // refused as an integer: stays a text
        {"x,znInt_4", ANY_CSTR, "x", 0, 0},                 // refused: the cut text goes on
        {"true", ANY_BOOL, nullptr, 1, 0},
        {"VRAI", ANY_BOOL, nullptr, 1, 0},
        {"Faux", ANY_BOOL, nullptr, 0, 0},
        {"false", ANY_BOOL, nullptr, 0, 0},
        {"\"quoted\"", ANY_CSTR, "quoted", 0, 0},
        {"\"", ANY_CSTR, "", 0, 0},
        {"\"\"", ANY_CSTR, "", 0, 0},
        {"", ANY_CSTR, "", 0, 0},
        {"-", ANY_CSTR, "-", 0, 0},
        {"hello", ANY_CSTR, "hello", 0, 0},
    };
    for (const auto& st : tabCas) {
        CAny cl;
        EXPECT_EQ(CAny::s_wConstruitValeurCAny(st.pszTexte, &cl), st.nType) << st.pszTexte;
        EXPECT_EQ(cl.nGetType(), st.nType) << st.pszTexte;
        EXPECT_FALSE(cl.wGetTypeWord() & (ANY_MARQUE_NULL | ANY_MARQUE_GARDEE));
        if (st.nType == ANY_CSTR) {
            EXPECT_EQ(Texte(cl), st.pszTexteAttendu) << st.pszTexte;
        }
        if (st.nType == ANY_I4 || st.nType == ANY_BOOL) {
            int32_t n = -99;
            EXPECT_EQ(cl.nGetINT(&n), 0);
            EXPECT_EQ(n, st.nEntier) << st.pszTexte;
        }
        if (st.nType == ANY_R8) {
            double r = -99;
            EXPECT_EQ(cl.nGetREAL(&r), 0);
            EXPECT_EQ(r, st.rReel) << st.pszTexte;
        }
    }
}

TEST(VariantNames, TypeNamesInBothLanguages) {
    struct STCas {
        const char* pszNom;
        uint16_t wType;
    };
    const STCas tabCas[] = {
        {"znInt_4", 8},         {"znEntier_4", 8},         {"znBool\xE9" "en", 1}, {"znBoolean", 1},
        {"znUnsignedInt_8", 5}, {"znMon\xE9taire", 10},     {"znCurrency", 10},      {"znReal_4", 11},
        {"znNum\xE9rique", 13}, {"znCha\xEEne", 18},        {"znString", 18},        {"znUnicodeString", 110},
        {"znDate", 24},         {"znHeure", 25},            {"znTime", 25},          {"znDateTime", 26},
        {"znDur\xE9" "e", 27},  {"znDuration", 27},         {"znBinaryString", 28},  {"znInt_3", 0},
        {"", 0},                {"abc", 0},
    };
    for (const auto& st : tabCas) EXPECT_EQ(CAny::__wGetTypeSpecifie(st.pszNom), st.wType) << st.pszNom;
    EXPECT_EQ(CAny::__wGetTypeSpecifie(nullptr), 0);
}

TEST(VariantBinary, DateTimeAndDurationFromBinaryStrings) {
    CAny cl;
    cl.__SetType(ANY_BIN);
    ASSERT_EQ(cl.SetValue("20240229133005123", 17), 0);
    EXPECT_EQ(cl.nCastFrom_BIN_DATEHEURE_To_DATEHEURE(), 0);
    EXPECT_EQ(cl.nGetType(), ANY_DATETIME);
    uint32_t adw[2];
    std::memcpy(adw, cl.m_abyValeur, 8);
    EXPECT_EQ(adw[0], (2024u << 16) | (2u << 8) | 29u);
    EXPECT_EQ(adw[1], ((13u * 60 + 30) * 60 + 5) * 1000 + 123);
    EXPECT_EQ(cl.nCastFrom_BIN_DATEHEURE_To_DATEHEURE(), 105);   // no longer binary
    EXPECT_EQ(cl.nCastFrom_BIN_DUREE_To_DUREE(), 105);
}

TEST(VariantBinding, NeedsBothRequiredFunctionsAndVersions) {
    // The test program exports nothing by those names.
    void* h = dlopen(nullptr, RTLD_NOW);
    ASSERT_NE(h, nullptr);
    EXPECT_FALSE(bInitZNConvFromVM(h, 2, 2));
    EXPECT_FALSE(bInitZNConvFromVM(h, 1, 0));
    EXPECT_FALSE(bInitZNConvFromVM(nullptr, 2, 2));
    EXPECT_FALSE(bInitZNConvFromServeur(h));
    dlclose(h);
}

// A host that records what a callback pushes.
class CHoteCallback : public CNullHost {
public:
    void LibereProcedure(void*) override { ++nLiberes; }
    int EmpileArgument(CAny* pcl, uint32_t) override {
        const char* psz = nullptr;
        int32_t n = 0;
        if (pcl->nGetType() == ANY_CSTR && pcl->nGetPCXSTR(&psz) == 0) sPousses += std::string("s:") + psz + ";";
        if (pcl->nGetType() == ANY_I4 && pcl->nGetINT(&n) == 0) sPousses += "i:" + std::to_string(n) + ";";
        return 1;
    }
    void FixeRetourAppel(CAny* pcl) override { pclRetour = pcl; }
    int TrouveProcedure(const char*, int, void** ph, CXError*, int* pb) override {
        *ph = this;
        *pb = 1;
        return 1;
    }
    int ExecuteProcedure(void*, uint32_t, int nArgs, int) override {
        nArgsVus = nArgs;
        if (pclRetour) {
            int32_t n = 77;
            pclRetour->nAffecteParHolder(ANY_I4, &n);
        }
        return 1;
    }

    std::string sPousses;
    int nArgsVus = -1;
    int nLiberes = 0;
    CAny* pclRetour = nullptr;
};

TEST(VariantCallback, TextAndIntegerArgumentsAndTheReturnValue) {
    CHoteCallback clHote;
    CZNLibrary* pclLib = new CZNLibrary();
    STZNAppel stAppel{&clHote, 0, 0, nullptr, 0};
    pclLib->ChangeContexteAppel(&stAppel);
    {
        CCallback cl;
        ASSERT_TRUE(cl.bInit("Proc", pclLib, false));
        EXPECT_TRUE(cl.bEmpileChaine("abc"));
        EXPECT_TRUE(cl.bEmpileEntier(-3));
        EXPECT_TRUE(cl.bEmpileChaine(nullptr));
        EXPECT_EQ(cl.nGetNbArgs(), 3);
        CAny clRetour;
        EXPECT_TRUE(cl.bExecute(&clRetour));
        EXPECT_EQ(clHote.nArgsVus, 3);
        EXPECT_EQ(clHote.sPousses, "s:abc;i:-3;s:;");
        int32_t n = 0;
        EXPECT_EQ(clRetour.nGetINT(&n), 0);
        EXPECT_EQ(n, 77);
        EXPECT_EQ(cl.nGetNbArgs(), 0);
    }
    EXPECT_EQ(clHote.nLiberes, 1);
    pclLib->ChangeContexteAppel(nullptr);
    pclLib->Release();
}

}  // namespace
