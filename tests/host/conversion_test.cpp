// The host's value conversions, on raw value areas as the component hands
// them over.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "conversion.h"
#include "strmem_host.h"

namespace qvhost {
namespace {

struct STTampon {
    alignas(8) uint8_t aby[ANY_TAILLE_CONVERSION] = {};
};

STTampon Texte(const char* psz, char*& pCopie) {
    STTampon st;
    pCopie = strdup(psz);
    std::memcpy(st.aby, &pCopie, sizeof pCopie);
    return st;
}

// A text (type 18) converted to nType: the answer and the destination.
int DepuisTexte(const char* psz, int nType, STTampon& stDest) {
    char* p = nullptr;
    STTampon stSrc = Texte(psz, p);
    int n = nConversionDepassement(stSrc.aby, ANY_CSTR, stDest.aby, nType);
    std::free(p);
    return n;
}

// A value converted to a text (type 18), in UTF-8.
std::string VersTexte(const void* pValeur, int nType, int* pnRes = nullptr) {
    STTampon st;
    int n = nConversionDepassementEx(pValeur, nType, st.aby, ANY_CSTR, 1);
    if (pnRes) *pnRes = n;
    if (n > 99) return "<refused>";
    const char* psz;
    std::memcpy(&psz, st.aby, sizeof psz);
    std::string s = CharsetToUtf8(psz, std::strlen(psz));
    FinConversion(st.aby, ANY_CSTR);
    return s;
}

TEST(HostConversion, TextToIntegers) {
    struct STCas {
        const char* pszTexte;
        int nType;
        int nRes;
        int64_t nAttendu;
    };
    const STCas tabCas[] = {
        {"12", ANY_I4, 0, 12},          {"  -12\t", ANY_I4, 0, -12},   {"+7", ANY_I4, 0, 7},
        {"2147483647", ANY_I4, 0, 2147483647}, {"2147483648", ANY_I4, 101, 0}, {"-2147483648", ANY_I4, 0, INT32_MIN},
        {"3.7", ANY_I4, 1, 3},          {"-3.7", ANY_I4, 1, -3},       {"1e3", ANY_I4, 0, 1000},
        {"abc", ANY_I4, 102, 0},        {"", ANY_I4, 102, 0},          {"1 2", ANY_I4, 102, 0},
        {"0x10", ANY_I4, 102, 0},       {"inf", ANY_I4, 102, 0},       {"255", ANY_UI1, 0, 255},
        {"256", ANY_UI1, 101, 0},       {"-1", ANY_UI1, 101, 0},       {"-128", ANY_I1, 0, -128},
        {"-129", ANY_I1, 101, 0},       {"65535", ANY_UI2, 0, 65535},  {"-32768", ANY_I2, 0, -32768},
        {"9223372036854775807", ANY_I8, 0, INT64_MAX}, {"9223372036854775808", ANY_I8, 101, 0},
        {"99999999999999999999", ANY_I8, 101, 0}, {"1e300", ANY_I8, 101, 0}, {"-0", ANY_I4, 0, 0},
        {"4294967295", ANY_UI4, 0, 4294967295LL}, {"5000", ANY_DUREE, 0, 5000},
    };
    for (const auto& st : tabCas) {
        STTampon stDest;
        std::memset(stDest.aby, 0xAB, sizeof stDest.aby);
        int n = DepuisTexte(st.pszTexte, st.nType, stDest);
        EXPECT_EQ(n, st.nRes) << st.pszTexte << " -> " << st.nType;
        if (n > 99) {
            EXPECT_EQ(stDest.aby[0], 0xAB) << "a refusal leaves the buffer alone";
            continue;
        }
        int64_t v = 0;
        switch (st.nType) {
            case ANY_UI1: v = stDest.aby[0]; break;
            case ANY_I1: v = static_cast<int8_t>(stDest.aby[0]); break;
            case ANY_UI2: { uint16_t w; std::memcpy(&w, stDest.aby, 2); v = w; break; }
            case ANY_I2: { int16_t w; std::memcpy(&w, stDest.aby, 2); v = w; break; }
            case ANY_I4: { int32_t w; std::memcpy(&w, stDest.aby, 4); v = w; break; }
            case ANY_UI4: { uint32_t w; std::memcpy(&w, stDest.aby, 4); v = w; break; }
            default: std::memcpy(&v, stDest.aby, 8);
        }
        EXPECT_EQ(v, st.nAttendu) << st.pszTexte;
    }
}

TEST(HostConversion, TextToRealsCurrencyAndBooleans) {
    STTampon st;
    EXPECT_EQ(DepuisTexte(" 1.5e3 ", ANY_R8, st), 0);
    double r;
    std::memcpy(&r, st.aby, 8);
    EXPECT_EQ(r, 1500);
    EXPECT_EQ(DepuisTexte("1,5", ANY_R8, st), 102);   // the decimal point is "."
    EXPECT_EQ(DepuisTexte("nan", ANY_R8, st), 102);
    EXPECT_EQ(DepuisTexte("1e39", ANY_R4, st), 101);
    EXPECT_EQ(DepuisTexte("-7.125", ANY_CY, st), 0);
    STMonnaie m;
    std::memcpy(&m, st.aby, 10);
    EXPECT_EQ(FormatMonnaie(m), "-7.125");
    EXPECT_EQ(DepuisTexte("1e30", ANY_CY, st), 101);
    struct STBool {
        const char* psz;
        int nRes;
        int32_t n;
    };
    for (const auto& stB : {STBool{"vrai", 0, 1}, STBool{"TRUE", 0, 1}, STBool{" 1 ", 0, 1}, STBool{"Faux", 0, 0},
                            STBool{"false", 0, 0}, STBool{"0", 0, 0}, STBool{"yes", 102, 0}}) {
        EXPECT_EQ(DepuisTexte(stB.psz, ANY_BOOL, st), stB.nRes) << stB.psz;
        int32_t n = -1;
        std::memcpy(&n, st.aby, 4);
        if (stB.nRes == 0) {
            EXPECT_EQ(n, stB.n) << stB.psz;
        }
    }
}

TEST(HostConversion, NumbersToTexts) {
    int32_t n4 = -42;
    EXPECT_EQ(VersTexte(&n4, ANY_I4), "-42");
    double r = 0.1;
    EXPECT_EQ(VersTexte(&r, ANY_R8), "0.1");   // the shortest text that reads back
    r = 1e21;
    EXPECT_EQ(VersTexte(&r, ANY_R8), "1e+21");
    float f = 0.1f;
    EXPECT_EQ(VersTexte(&f, ANY_R4), "0.10000000149011612");
    int32_t b = 1;
    EXPECT_EQ(VersTexte(&b, ANY_BOOL), "1");
    uint8_t aby[10] = {};
    std::memcpy(aby, "20240229", 8);
    EXPECT_EQ(VersTexte(aby, ANY_DATE), "20240229");
    std::memset(aby, 0, 10);
    std::memcpy(aby, "0000", 4);
    EXPECT_EQ(VersTexte(aby, ANY_TIME), "0000");
    STDateHeure dh{(2024u << 16) | (2u << 8) | 29u, 1000};
    EXPECT_EQ(VersTexte(&dh, ANY_DATETIME), "20240229000001000");
    dh = {};
    EXPECT_EQ(VersTexte(&dh, ANY_DATETIME), "");
    double rInf = 1.0 / 0.0;
    int nRes = 0;
    EXPECT_EQ(VersTexte(&rInf, ANY_R8, &nRes), "<refused>");
    EXPECT_GT(nRes, 99);
}

TEST(HostConversion, DynamicStringsAndUnicode) {
    void* pMemoire = pCreeChaine("\xE9t\xE9", 3, SMK_ANSI);
    STTampon stSrc;
    std::memcpy(stSrc.aby, &pMemoire, sizeof pMemoire);
    STTampon st;
    EXPECT_EQ(nConversionDepassement(stSrc.aby, ANY_DSTR, st.aby, ANY_WSTR), 0);
    const wchar_t* pw;
    std::memcpy(&pw, st.aby, sizeof pw);
    EXPECT_EQ(std::wcscmp(pw, L"\u00e9t\u00e9"), 0);
    FinConversion(st.aby, ANY_WSTR);
    long nAvant = CHostStrMem::Instance().nGetVivants();
    EXPECT_EQ(nConversionDepassement(stSrc.aby, ANY_DSTR, st.aby, ANY_USTR), 0);
    void* pU;
    std::memcpy(&pU, st.aby, sizeof pU);
    EXPECT_EQ(KindChaine(pU), SMK_UNICODE);
    EXPECT_EQ(LitChaine(pU).size(), 12u);
    FinConversion(st.aby, ANY_USTR);
    EXPECT_EQ(CHostStrMem::Instance().nGetVivants(), nAvant);
    // A character the 8-bit set cannot hold: done, with a loss.
    wchar_t* pSrcW = static_cast<wchar_t*>(std::malloc(2 * sizeof(wchar_t)));
    pSrcW[0] = 0x4E2D;
    pSrcW[1] = 0;
    std::memcpy(stSrc.aby, &pSrcW, sizeof pSrcW);
    EXPECT_EQ(nConversionDepassement(stSrc.aby, ANY_WSTR, st.aby, ANY_CSTR), 1);
    FinConversion(st.aby, ANY_CSTR);
    std::free(pSrcW);
    LibereChaine(pMemoire);
}

TEST(HostConversion, DatesTimesAndRefusals) {
    STTampon st;
    EXPECT_EQ(DepuisTexte("20240229", ANY_DATE, st), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(st.aby), 8), "20240229");
    EXPECT_EQ(DepuisTexte("2024022", ANY_DATE, st), 102);
    EXPECT_EQ(DepuisTexte("133005123", ANY_TIME, st), 0);
    EXPECT_EQ(DepuisTexte("250000", ANY_TIME, st), 102);
    EXPECT_EQ(DepuisTexte("20240229133005123", ANY_DATETIME, st), 0);
    STDateHeure dh;
    std::memcpy(&dh, st.aby, 8);
    EXPECT_EQ(dh.nMillisecondes, ((13u * 60 + 30) * 60 + 5) * 1000 + 123);
    EXPECT_EQ(DepuisTexte("x", ANY_DATETIME, st), 102);
    // Types this host does not convert.
    EXPECT_EQ(DepuisTexte("1", ANY_DECIMAL, st), 105);
    EXPECT_EQ(DepuisTexte("1", ANY_TABANY, st), 105);
    EXPECT_EQ(DepuisTexte("1", ANY_VIDE, st), 105);
    uint8_t aby[10] = {};
    EXPECT_EQ(nConversionDepassement(aby, ANY_DATE, st.aby, ANY_I4), 105);
    EXPECT_EQ(nConversionDepassement(aby, 200, st.aby, ANY_I4), 105);
    // "Nothing" converts to every type's empty value.
    EXPECT_EQ(nConversionDepassement(aby, ANY_VIDE, st.aby, ANY_I4), 0);
    EXPECT_EQ(VersTexte(aby, ANY_VIDE), "");
}

}  // namespace
}  // namespace qvhost
