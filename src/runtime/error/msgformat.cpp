// Positional formatting of message texts.
//
// Message texts name their arguments by position ("%2$s", "%1!d!") so that a
// translation may reorder them. The C library reads only the "$" form and
// refuses a text that mixes forms, so the formatter reads the directives
// itself: it first learns the type of every position, fetches the arguments
// in position order, then writes each directive through snprintf.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "runtime/error/dllres.h"

namespace {

constexpr int MAX_POSITION = 64;
constexpr int MAX_LARGEUR = 4096;   // width and precision beyond this are refused

enum eClasseArg : uint8_t {
    CL_AUCUNE = 0,
    CL_INT,
    CL_LONG,
    CL_LLONG,
    CL_SIZE,
    CL_INTMAX,
    CL_PTRDIFF,
    CL_DOUBLE,
    CL_LDOUBLE,
    CL_CSTR,
    CL_WSTR,
    CL_PTR,
    CL_WINT,
};

struct STDirective {
    int nPosition;          // 1-based
    char szFlags[8];
    int nLargeur;           // -1: none
    int nPrecision;         // -1: none
    char szLongueur[3];
    char cConversion;
    eClasseArg eClasse;
    const char* pszFin;     // first character after the directive
};

union UValeur {
    int i;
    long l;
    long long ll;
    size_t z;
    intmax_t j;
    ptrdiff_t t;
    double d;
    long double ld;
    const void* p;
};

bool _bLitNombre(const char*& p, int& rn) {
    if (*p < '0' || *p > '9') return false;
    long n = 0;
    while (*p >= '0' && *p <= '9') {
        n = n * 10 + (*p - '0');
        if (n > MAX_LARGEUR) return false;
        ++p;
    }
    rn = static_cast<int>(n);
    return true;
}

// Reads the directive that starts just after a '%'. False: not a directive
// this formatter knows; the '%' is then copied as written.
bool _bLitDirective(const char* p, int& rnSequence, STDirective& d) {
    d = STDirective{};
    d.nLargeur = -1;
    d.nPrecision = -1;
    bool bBang = false;
    // Position: digits followed by '$' or '!'.
    const char* q = p;
    int nPos = 0;
    if (*q >= '1' && *q <= '9' && _bLitNombre(q, nPos) && (*q == '$' || *q == '!')) {
        if (nPos < 1 || nPos > MAX_POSITION) return false;
        bBang = (*q == '!');
        p = q + 1;
        d.nPosition = nPos;
    }
    size_t nf = 0;
    while (*p != 0 && strchr("-+ #0'", *p) != nullptr) {
        if (nf + 1 < sizeof(d.szFlags)) d.szFlags[nf++] = *p;
        ++p;
    }
    if (*p == '*') return false;
    if (*p >= '0' && *p <= '9' && !_bLitNombre(p, d.nLargeur)) return false;
    if (*p == '.') {
        ++p;
        if (*p == '*') return false;
        d.nPrecision = 0;
        if (*p >= '0' && *p <= '9' && !_bLitNombre(p, d.nPrecision)) return false;
    }
    // Length modifier.
    if ((p[0] == 'h' && p[1] == 'h') || (p[0] == 'l' && p[1] == 'l')) {
        d.szLongueur[0] = p[0];
        d.szLongueur[1] = p[1];
        p += 2;
    } else if (*p != 0 && strchr("hlLqjzt", *p) != nullptr) {
        if (*p == 'q') {   // "q" is "ll"
            d.szLongueur[0] = 'l';
            d.szLongueur[1] = 'l';
        } else {
            d.szLongueur[0] = *p;
        }
        ++p;
    }
    const char c = *p;
    if (c == 0 || strchr("diouxXcCsSpfFeEgGaA", c) == nullptr) return false;
    ++p;
    if (bBang) {
        if (*p != '!') return false;
        ++p;
    }
    d.cConversion = c;
    const char* L = d.szLongueur;
    switch (c) {
    case 'd': case 'i': case 'o': case 'u': case 'x': case 'X':
        if (strcmp(L, "ll") == 0 || strcmp(L, "L") == 0) d.eClasse = CL_LLONG;
        else if (strcmp(L, "l") == 0) d.eClasse = CL_LONG;
        else if (strcmp(L, "z") == 0) d.eClasse = CL_SIZE;
        else if (strcmp(L, "j") == 0) d.eClasse = CL_INTMAX;
        else if (strcmp(L, "t") == 0) d.eClasse = CL_PTRDIFF;
        else d.eClasse = CL_INT;
        break;
    case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
        d.eClasse = (strcmp(L, "L") == 0) ? CL_LDOUBLE : CL_DOUBLE;
        break;
    case 'c':
        d.eClasse = (strcmp(L, "l") == 0) ? CL_WINT : CL_INT;
        break;
    case 'C':
        d.eClasse = CL_WINT;
        break;
    case 's':
        d.eClasse = (strcmp(L, "l") == 0) ? CL_WSTR : CL_CSTR;
        break;
    case 'S':
        d.eClasse = CL_WSTR;
        break;
    case 'p':
        d.eClasse = CL_PTR;
        break;
    default:
        return false;
    }
    if (d.nPosition == 0) {
        if (rnSequence >= MAX_POSITION) return false;
        d.nPosition = ++rnSequence;
    }
    d.pszFin = p;
    return true;
}

// Growable output text.
struct STSortie {
    char* psz = nullptr;
    size_t nLong = 0;
    size_t nCapa = 0;
    bool bErreur = false;

    bool bReserve(size_t n) {
        if (bErreur) return false;
        if (nLong + n + 1 <= nCapa) return true;
        size_t nNouv = nCapa ? nCapa : 64;
        while (nNouv < nLong + n + 1) nNouv *= 2;
        char* p = static_cast<char*>(realloc(psz, nNouv));
        if (p == nullptr) {
            bErreur = true;
            return false;
        }
        psz = p;
        nCapa = nNouv;
        return true;
    }
    void Ajoute(const char* p, size_t n) {
        if (n == 0 || !bReserve(n)) return;
        memcpy(psz + nLong, p, n);
        nLong += n;
        psz[nLong] = 0;
    }
};

// Wide characters are shown in the component's 8-bit text: codes above 255
// have no place there.
char _cEtroit(wint_t w) { return (w > 0 && w < 256) ? static_cast<char>(w) : (w == 0 ? 0 : '?'); }

char* _pszEtroit(const wchar_t* pw) {
    if (pw == nullptr) pw = L"";
    size_t n = wcslen(pw);
    char* p = static_cast<char*>(malloc(n + 1));
    if (p == nullptr) return nullptr;
    for (size_t i = 0; i < n; ++i) p[i] = _cEtroit(static_cast<wint_t>(pw[i]));
    p[n] = 0;
    return p;
}

void _EcritDirective(STSortie& s, const STDirective& d, const UValeur& v) {
    char szFmt[64];
    char szLarg[16] = "";
    char szPrec[16] = "";
    if (d.nLargeur >= 0) snprintf(szLarg, sizeof(szLarg), "%d", d.nLargeur);
    if (d.nPrecision >= 0) snprintf(szPrec, sizeof(szPrec), ".%d", d.nPrecision);
    const bool bTexte = d.eClasse == CL_CSTR || d.eClasse == CL_WSTR;
    const bool bCar = d.eClasse == CL_WINT || d.cConversion == 'c';
    if (bTexte) {
        snprintf(szFmt, sizeof(szFmt), "%%%s%s%ss", d.szFlags, szLarg, szPrec);
    } else if (bCar) {
        snprintf(szFmt, sizeof(szFmt), "%%%s%sc", d.szFlags, szLarg);
    } else {
        snprintf(szFmt, sizeof(szFmt), "%%%s%s%s%s%c", d.szFlags, szLarg, szPrec, d.szLongueur, d.cConversion);
    }
    char* pszLarge = nullptr;
    const char* pszTexte = nullptr;
    if (d.eClasse == CL_CSTR) {
        pszTexte = v.p ? static_cast<const char*>(v.p) : "";
    } else if (d.eClasse == CL_WSTR) {
        pszLarge = _pszEtroit(static_cast<const wchar_t*>(v.p));
        if (pszLarge == nullptr) {
            s.bErreur = true;
            return;
        }
        pszTexte = pszLarge;
    }
    // Two rounds: measure, then write.
    for (int nTour = 0; nTour < 2; ++nTour) {
        char szPetit[1];
        char* pDest = szPetit;
        size_t nPlace = sizeof(szPetit);
        if (nTour == 1) {
            pDest = s.psz + s.nLong;
            nPlace = s.nCapa - s.nLong;
        }
        int n;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
        if (bTexte) n = snprintf(pDest, nPlace, szFmt, pszTexte);
        else if (bCar) n = snprintf(pDest, nPlace, szFmt, d.eClasse == CL_WINT ? _cEtroit(static_cast<wint_t>(v.i)) : v.i);
        else {
            switch (d.eClasse) {
            case CL_LONG: n = snprintf(pDest, nPlace, szFmt, v.l); break;
            case CL_LLONG: n = snprintf(pDest, nPlace, szFmt, v.ll); break;
            case CL_SIZE: n = snprintf(pDest, nPlace, szFmt, v.z); break;
            case CL_INTMAX: n = snprintf(pDest, nPlace, szFmt, v.j); break;
            case CL_PTRDIFF: n = snprintf(pDest, nPlace, szFmt, v.t); break;
            case CL_DOUBLE: n = snprintf(pDest, nPlace, szFmt, v.d); break;
            case CL_LDOUBLE: n = snprintf(pDest, nPlace, szFmt, v.ld); break;
            case CL_PTR: n = snprintf(pDest, nPlace, szFmt, v.p); break;
            default: n = snprintf(pDest, nPlace, szFmt, v.i); break;
            }
        }
#pragma GCC diagnostic pop
        if (n < 0) {
            s.bErreur = true;
            break;
        }
        if (nTour == 0) {
            if (!s.bReserve(static_cast<size_t>(n))) break;
        } else {
            s.nLong += static_cast<size_t>(n);
        }
    }
    free(pszLarge);
}

}  // namespace

char* MSG_pszFormatList(const char* pszFormat, va_list args) {
    if (pszFormat == nullptr) pszFormat = "";
    // Pass 1: the type of every position.
    eClasseArg aClasse[MAX_POSITION + 1] = {};
    int nMax = 0;
    int nSequence = 0;
    STDirective d;
    for (const char* p = pszFormat; *p != 0; ++p) {
        if (*p != '%') continue;
        if (p[1] == '%') {
            ++p;
            continue;
        }
        if (!_bLitDirective(p + 1, nSequence, d)) continue;
        if (aClasse[d.nPosition] == CL_AUCUNE) aClasse[d.nPosition] = d.eClasse;
        if (d.nPosition > nMax) nMax = d.nPosition;
        p = d.pszFin - 1;
    }
    // Fetch the arguments in position order; a position that no directive
    // names is taken as an int, as the C library does.
    UValeur aValeur[MAX_POSITION + 1];
    memset(aValeur, 0, sizeof(aValeur));
    va_list ap;
    va_copy(ap, args);
    for (int i = 1; i <= nMax; ++i) {
        switch (aClasse[i]) {
        case CL_LONG: aValeur[i].l = va_arg(ap, long); break;
        case CL_LLONG: aValeur[i].ll = va_arg(ap, long long); break;
        case CL_SIZE: aValeur[i].z = va_arg(ap, size_t); break;
        case CL_INTMAX: aValeur[i].j = va_arg(ap, intmax_t); break;
        case CL_PTRDIFF: aValeur[i].t = va_arg(ap, ptrdiff_t); break;
        case CL_DOUBLE: aValeur[i].d = va_arg(ap, double); break;
        case CL_LDOUBLE: aValeur[i].ld = va_arg(ap, long double); break;
        case CL_CSTR:
        case CL_WSTR:
        case CL_PTR: aValeur[i].p = va_arg(ap, const void*); break;
        case CL_WINT: aValeur[i].i = static_cast<int>(va_arg(ap, wint_t)); break;
        default: aValeur[i].i = va_arg(ap, int); break;
        }
    }
    va_end(ap);
    // Pass 2: write. Each directive uses the type its position was fetched
    // with, so that a position named twice with different types stays safe.
    STSortie s;
    s.Ajoute("", 0);
    s.bReserve(strlen(pszFormat));
    nSequence = 0;
    const char* pLitteral = pszFormat;
    const char* p = pszFormat;
    while (*p != 0 && !s.bErreur) {
        if (*p != '%') {
            ++p;
            continue;
        }
        s.Ajoute(pLitteral, static_cast<size_t>(p - pLitteral));
        if (p[1] == '%') {
            s.Ajoute("%", 1);
            p += 2;
        } else if (_bLitDirective(p + 1, nSequence, d)) {
            if (d.eClasse != aClasse[d.nPosition]) {
                // Same position, another type: show it as written.
                s.Ajoute(p, static_cast<size_t>(d.pszFin - p));
            } else {
                _EcritDirective(s, d, aValeur[d.nPosition]);
            }
            p = d.pszFin;
        } else {
            s.Ajoute("%", 1);
            ++p;
        }
        pLitteral = p;
    }
    s.Ajoute(pLitteral, static_cast<size_t>(p - pLitteral));
    if (!s.bErreur && s.psz == nullptr) s.bReserve(0);
    if (s.bErreur) {
        free(s.psz);
        return nullptr;
    }
    s.psz[s.nLong] = 0;
    return s.psz;
}

char* MSG_pszFormat(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    char* p = MSG_pszFormatList(pszFormat, args);
    va_end(args);
    return p;
}
