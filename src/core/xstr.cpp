#include "core/xstr.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "core/strmem.h"
#include "platform/charset.h"

namespace {

// A block of kind ANSI with room for nLongueur bytes; its length is set and
// the four bytes after it are zero.
char* pszNouveauBloc(uint32_t nLongueur) {
    void* p = nullptr;
    if (STRMEM_nAlloue(&p, nLongueur, SMK_ANSI) != 0 || p == nullptr) return nullptr;
    STRMEM_Header(p)->nLongueur = nLongueur;
    memset(static_cast<char*>(p) + nLongueur, 0, STRMEM_TAIL);
    return static_cast<char*>(p);
}

}  // namespace

char* pszWSTR2XSTR(const wchar_t* pwszTexte, int nLongueur, uint32_t dwCodePage) {
    if (pwszTexte == nullptr || nLongueur < -1) return nullptr;
    size_t nSource = nLongueur == -1 ? wcslen(pwszTexte) : static_cast<size_t>(nLongueur);
    if (nSource > static_cast<size_t>(INT_MAX)) return nullptr;
    int nOctets = 0;
    if (nSource > 0) {
        nOctets = WideCharToMultiByte(dwCodePage, 0, pwszTexte, static_cast<int>(nSource), nullptr, 0, nullptr,
                                      nullptr);
        if (nOctets <= 0) return nullptr;
    }
    char* p = pszNouveauBloc(static_cast<uint32_t>(nOctets));
    if (p == nullptr || nOctets == 0) return p;
    if (WideCharToMultiByte(dwCodePage, 0, pwszTexte, static_cast<int>(nSource), p, nOctets, nullptr, nullptr) !=
        nOctets) {
        s_ReleaseStrMem(p);
        return nullptr;
    }
    return p;
}

char* pszXSTR2CSTR(const char* pszBloc) {
    uint32_t n = pszBloc != nullptr ? STRMEM_Header(pszBloc)->nLongueur : 0;
    char* p = static_cast<char*>(malloc(static_cast<size_t>(n) + 1));
    if (p == nullptr) return nullptr;
    if (n > 0) memcpy(p, pszBloc, n);
    p[n] = 0;
    return p;
}

char* pszCSTR2XSTR(const char* pszTexte, int nLongueur) {
    if (nLongueur < -1) return nullptr;
    size_t n = pszTexte == nullptr ? 0 : nLongueur == -1 ? strlen(pszTexte) : static_cast<size_t>(nLongueur);
    if (n > STRMEM_MAXLEN) return nullptr;
    char* p = pszNouveauBloc(static_cast<uint32_t>(n));
    if (p != nullptr && n > 0) memcpy(p, pszTexte, n);
    return p;
}
