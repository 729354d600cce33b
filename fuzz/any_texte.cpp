// Variants built from arbitrary texts: the type name after the last comma,
// the scan for digits, points and exponents, the true/false words and the
// quotes. Conversions go through a small stand-in for the host (texts to
// integers and reals, nothing else). Every answer must be the variant's
// type, with no mark left, and a text no longer than the one given.
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/any.h"

namespace {

extern "C" int ConvFuzz(const void* pSource, int nTypeSource, void* pDest, int nTypeDest) {
    if (nTypeSource != ANY_CSTR) return 105;
    const char* psz;
    std::memcpy(&psz, pSource, sizeof psz);
    if (psz == nullptr || *psz == 0) return 102;
    char* pFin = nullptr;
    errno = 0;
    if (nTypeDest == ANY_I4) {
        const long long n = std::strtoll(psz, &pFin, 10);
        if (*pFin != 0) return 102;
        if (errno != 0 || n < INT32_MIN || n > INT32_MAX) return 101;
        const auto n4 = static_cast<int32_t>(n);
        std::memcpy(pDest, &n4, 4);
        return 0;
    }
    if (nTypeDest == ANY_R8) {
        const double r = std::strtod(psz, &pFin);
        if (*pFin != 0) return 102;
        std::memcpy(pDest, &r, 8);
        return 0;
    }
    return 105;
}

extern "C" void FinFuzz(void*, int) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nTaille) {
    static const bool s_bLie = (ANY_SetConversion(ConvFuzz, nullptr, FinFuzz), true);
    (void)s_bLie;
    // A zero byte ends the text, as it would for the callers.
    const std::string sTexte(reinterpret_cast<const char*>(pData), strnlen(reinterpret_cast<const char*>(pData), nTaille));
    CAny cl;
    const uint16_t wType = CAny::s_wConstruitValeurCAny(sTexte.c_str(), &cl);
    if (wType != cl.nGetType()) abort();
    if ((cl.wGetTypeWord() & (ANY_MARQUE_NULL | ANY_MARQUE_GARDEE)) != 0) abort();
    if (wType == ANY_CSTR) {
        const char* psz = nullptr;
        if (cl.nGetPCXSTR(&psz) != 0 || psz == nullptr || std::strlen(psz) > sTexte.size()) abort();
    } else if (wType != ANY_I4 && wType != ANY_R8 && wType != ANY_BOOL) {
        abort();
    }
    return 0;
}
