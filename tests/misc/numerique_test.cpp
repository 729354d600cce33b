// EstNumérique over values of every kind. The host's conversions are
// stood in for by a small converter with the host's rules for texts:
// blanks around, a sign, digits, one point, one exponent; the empty text
// is no number.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/znlibrary.h"
#include "core/zndstr.h"
#include "misc/functions.h"
#include "qvstd/strmem.h"

namespace {

// Texts of the string kinds, in Latin-1 (wide characters beyond it: '?').
bool bTexteSource(const void* pSource, int nType, std::string& s) {
    void* p = nullptr;
    memcpy(&p, pSource, sizeof p);
    s.clear();
    switch (nType) {
        case ANY_CSTR:
            if (p != nullptr) s = static_cast<const char*>(p);
            return true;
        case ANY_CAR: {
            uint16_t w;
            memcpy(&w, pSource, 2);
            if (w != 0) s += w < 256 ? static_cast<char>(w) : '?';
            return true;
        }
        case ANY_WSTR:
            for (const wchar_t* pw = static_cast<const wchar_t*>(p); pw != nullptr && *pw != 0; ++pw)
                s += *pw < 256 ? static_cast<char>(*pw) : '?';
            return true;
        case ANY_USTR:
        case ANY_DSTR: {
            if (p == nullptr) return true;
            const STStrMemHeader* pst = STRMEM_Header(p);
            if ((pst->dwFlags & SMK_KINDS) == SMK_UNICODE) {
                const auto* pw = static_cast<const wchar_t*>(p);
                for (uint32_t i = 0; i < pst->nLongueur / sizeof(wchar_t); ++i) s += pw[i] < 256 ? char(pw[i]) : '?';
            } else {
                s.assign(static_cast<const char*>(p), pst->nLongueur);
            }
            return true;
        }
        default: return false;
    }
}

int g_nVivants = 0;   // texts handed out and not yet given back

extern "C" int ConvTexte(const void* pSource, int nTypeSource, void* pDest, int nTypeDest) {
    std::string s;
    if (!bTexteSource(pSource, nTypeSource, s)) return 105;
    if (nTypeDest == ANY_CSTR) {
        char* psz = strdup(s.c_str());
        ++g_nVivants;
        memcpy(pDest, &psz, sizeof psz);
        return 0;
    }
    if (nTypeDest != ANY_R8) return 105;
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return 102;
    s = s.substr(a, s.find_last_not_of(" \t") - a + 1);
    if (s.find_first_not_of("+-0123456789.eE") != std::string::npos) return 102;
    char* pszFin = nullptr;
    errno = 0;
    const double r = strtod(s.c_str(), &pszFin);
    if (*pszFin != 0 || pszFin == s.c_str()) return 102;
    if (errno == ERANGE) return 101;
    memcpy(pDest, &r, 8);
    return 0;
}

extern "C" void FinTexte(void* pBuffer, int nType) {
    if (nType != ANY_CSTR) return;
    char* p;
    memcpy(&p, pBuffer, sizeof p);
    free(p);
    --g_nVivants;
}

class EstNumerique : public ::testing::Test {
protected:
    void SetUp() override { ANY_SetConversion(ConvTexte, nullptr, FinTexte); }
    void TearDown() override {
        ANY_SetConversion(nullptr, nullptr, nullptr);
        EXPECT_EQ(g_nVivants, 0);
    }
};

// A variant of the type with the given value bytes (scalars) or text.
struct STCas {
    const char* pszNom;
    int nType;
    const char* pszTexte;   // texts; else nullptr
    int64_t n;              // scalars: the bytes of this integer
    bool bNumerique;
};

void Remplit(CAny& cl, const STCas& st, CZNDSTR& sTexte) {
    cl.__SetType(st.nType);
    if (st.pszTexte == nullptr) {
        uint8_t aby[ANY_TAILLE_VALEUR] = {};   // the integer's bytes, zeros after
        memcpy(aby, &st.n, sizeof st.n);
        if (st.nType != ANY_VIDE) cl.SetValue(aby);
        return;
    }
    const std::wstring sLarge(st.pszTexte, st.pszTexte + strlen(st.pszTexte));
    if (st.nType == ANY_DSTR) sTexte.nAssign(st.pszTexte);
    if (st.nType == ANY_USTR) sTexte.nAssignUNICODE(sLarge.c_str());
    void* pMemoire = sTexte.pGetMemoire();
    switch (st.nType) {
        case ANY_CSTR: cl.SetValue(st.pszTexte); break;
        case ANY_DSTR:
        case ANY_USTR: cl.SetValue(&pMemoire); break;
        case ANY_WSTR: cl.SetValue(sLarge.c_str()); break;
        case ANY_CAR: {
            uint16_t w = static_cast<unsigned char>(st.pszTexte[0]);
            cl.SetValue(&w);
            break;
        }
        default: break;
    }
}

TEST_F(EstNumerique, EveryKindOfValue) {
    const double rDemi = 0.5, rZero = 0.0;
    int64_t nDemi, nZeroReel;
    memcpy(&nDemi, &rDemi, 8);
    memcpy(&nZeroReel, &rZero, 8);
    const STCas tabCas[] = {
        // Numbers of every width, whatever their value.
        {"I4 0", ANY_I4, nullptr, 0, true},
        {"I4 -5", ANY_I4, nullptr, -5, true},
        {"UI1", ANY_UI1, nullptr, 200, true},
        {"I8", ANY_I8, nullptr, INT64_MIN, true},
        {"R8 0.5", ANY_R8, nullptr, nDemi, true},
        {"R8 0", ANY_R8, nullptr, nZeroReel, true},
        {"currency", ANY_CY, nullptr, 12345, true},
        {"UIX", ANY_UIX, nullptr, 1, true},
        {"I4BIS", ANY_I4BIS, nullptr, 1, true},
        // No numbers.
        {"boolean True", ANY_BOOL, nullptr, 1, false},
        {"empty", ANY_VIDE, nullptr, 0, false},
        {"date of digits", ANY_DATE, nullptr, 0x3130323034323032LL, false},   // "20240201"
        {"duration", ANY_DUREE, nullptr, 1000, false},
        // Texts that read as numbers.
        {"12", ANY_CSTR, "12", 0, true},
        {"-3.5", ANY_CSTR, "-3.5", 0, true},
        {"1e3", ANY_CSTR, "1e3", 0, true},
        {" 7 ", ANY_CSTR, " 7 ", 0, true},
        {"0", ANY_CSTR, "0", 0, true},
        {"0.0", ANY_CSTR, "0.0", 0, true},
        {"space 0", ANY_CSTR, " 0", 0, true},
        {"-0", ANY_CSTR, "-0", 0, true},
        // Texts that do not.
        {"empty text", ANY_CSTR, "", 0, false},
        {"blanks", ANY_CSTR, "   ", 0, false},
        {"abc", ANY_CSTR, "abc", 0, false},
        {"12abc", ANY_CSTR, "12abc", 0, false},
        {"1,5", ANY_CSTR, "1,5", 0, false},
        {"sign alone", ANY_CSTR, "-", 0, false},
        // Every kind of text.
        {"dynamic string", ANY_DSTR, "42", 0, true},
        {"dynamic string abc", ANY_DSTR, "abc", 0, false},
        {"character 5", ANY_CAR, "5", 0, true},
        {"character x", ANY_CAR, "x", 0, false},
        // Unicode texts are read as texts too.
        {"Unicode string", ANY_USTR, "42", 0, true},
        {"Unicode string 0", ANY_USTR, "0", 0, true},
        {"Unicode string abc", ANY_USTR, "abc", 0, false},
        {"wide text", ANY_WSTR, "-1.25", 0, true},
        {"wide text abc", ANY_WSTR, "abc", 0, false},
    };
    CZNLibrary lib;
    for (const STCas& st : tabCas) {
        CZNDSTR sTexte;
        CAny cl;
        Remplit(cl, st, sTexte);
        ASSERT_EQ(cl.nGetType(), st.nType) << st.pszNom;
        EXPECT_EQ(misc::EstNumerique(lib, cl), st.bNumerique) << st.pszNom;
        EXPECT_EQ(cl.nGetType(), st.nType) << st.pszNom << ": the argument is left as it was";
    }
    EXPECT_FALSE(lib.pclGetError()->bIsError());
}

TEST_F(EstNumerique, ZeroOnlyCountsWhenTheTextHoldsOne) {
    // A host that reads blanks as 0: the text must still start a number.
    ANY_SetConversion(
        [](const void* pSource, int nTypeSource, void* pDest, int nTypeDest) -> int {
            if (nTypeDest == ANY_R8) {
                const double r = 0;
                memcpy(pDest, &r, 8);
                return 0;
            }
            return ConvTexte(pSource, nTypeSource, pDest, nTypeDest);
        },
        nullptr, FinTexte);
    const struct {
        const char* pszTexte;
        bool bNumerique;
    } tabCas[] = {{"", false}, {"  ", false}, {"x", false}, {"0", true}, {" 0", true}, {".0", true}};
    CZNLibrary lib;
    for (const auto& st : tabCas) {
        CAny cl;
        cl.__SetType(ANY_CSTR);
        cl.SetValue(st.pszTexte);
        EXPECT_EQ(misc::EstNumerique(lib, cl), st.bNumerique) << "[" << st.pszTexte << "]";
    }
}

TEST(EstNumeriqueSansHote, TextsNeedTheHostsConversion) {
    ANY_SetConversion(nullptr, nullptr, nullptr);
    CZNLibrary lib;
    CAny cl;
    cl.__SetType(ANY_CSTR);
    cl.SetValue("12");
    EXPECT_FALSE(misc::EstNumerique(lib, cl));
    cl.__SetType(ANY_I4);
    EXPECT_TRUE(misc::EstNumerique(lib, cl));
}

}  // namespace
