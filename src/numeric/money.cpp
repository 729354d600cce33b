// Currency arithmetic and text forms. Values are handled as a sign and a
// magnitude in 32-bit limbs (least significant first) so that products and
// quotients are exact on a 32-bit machine; every result is checked against
// the 79 bits a magnitude may use.
#include "numeric/money.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <cwchar>

const CMoney gstInvalide = {{0, 0, 0, 0, 0x8000}};
const CMoney gclMoneyNULL = {{0, 0, 0, 0, 0}};
const CMoney gstMillion = {{0x4240, 0x000F, 0, 0, 0}};

namespace {

constexpr uint32_t k_nMillion = 1000000;

// The 80 bits as a low 64-bit part and a sign-extended high part.
struct STBrut {
    uint64_t lo;
    int32_t hi;
};

STBrut _Brut(const CMoney& m) {
    STBrut st;
    st.lo = uint64_t(m.m_aw[0]) | uint64_t(m.m_aw[1]) << 16 | uint64_t(m.m_aw[2]) << 32 | uint64_t(m.m_aw[3]) << 48;
    st.hi = int16_t(m.m_aw[4]);
    return st;
}

void _DepuisBrut(CMoney& m, uint64_t lo, uint16_t hi) {
    m.m_aw[0] = uint16_t(lo);
    m.m_aw[1] = uint16_t(lo >> 16);
    m.m_aw[2] = uint16_t(lo >> 32);
    m.m_aw[3] = uint16_t(lo >> 48);
    m.m_aw[4] = hi;
}

// Two's-complement negation of the 80 bits.
void _Negation(uint64_t& lo, uint16_t& hi) {
    lo = ~lo;
    hi = uint16_t(~hi);
    if (++lo == 0) ++hi;
}

// A magnitude: three limbs hold the 80 bits (the most negative value's
// magnitude is 2^79).
struct STMag {
    uint32_t d[3];
    bool bNegatif;
};

STMag _Mag(const CMoney& m) {
    STBrut st = _Brut(m);
    uint16_t hi = uint16_t(st.hi);
    STMag mag{};
    mag.bNegatif = st.hi < 0;
    if (mag.bNegatif) _Negation(st.lo, hi);
    mag.d[0] = uint32_t(st.lo);
    mag.d[1] = uint32_t(st.lo >> 32);
    mag.d[2] = hi;
    return mag;
}

// The value of a sign and a magnitude of n limbs; false when the magnitude
// needs more than 79 bits.
bool _bCompose(CMoney& m, const uint32_t* d, int n, bool bNegatif) {
    for (int i = 3; i < n; ++i)
        if (d[i] != 0) return false;
    const uint32_t d2 = n > 2 ? d[2] : 0;
    if (d2 >= 0x8000) return false;
    uint64_t lo = uint64_t(n > 0 ? d[0] : 0) | uint64_t(n > 1 ? d[1] : 0) << 32;
    uint16_t hi = uint16_t(d2);
    if (bNegatif && (lo != 0 || hi != 0)) _Negation(lo, hi);
    _DepuisBrut(m, lo, hi);
    return true;
}

bool _bZero(const uint32_t* d, int n) {
    for (int i = 0; i < n; ++i)
        if (d[i] != 0) return false;
    return true;
}

// d := d / nDiviseur over n limbs; the remainder.
uint32_t _nDivCourt(uint32_t* d, int n, uint32_t nDiviseur) {
    uint64_t r = 0;
    for (int i = n - 1; i >= 0; --i) {
        const uint64_t v = r << 32 | d[i];
        d[i] = uint32_t(v / nDiviseur);
        r = v % nDiviseur;
    }
    return uint32_t(r);
}

// d := d x f + a over n limbs; the carry out.
uint32_t _nMulCourt(uint32_t* d, int n, uint32_t f, uint32_t a) {
    uint64_t c = a;
    for (int i = 0; i < n; ++i) {
        const uint64_t v = uint64_t(d[i]) * f + c;
        d[i] = uint32_t(v);
        c = v >> 32;
    }
    return uint32_t(c);
}

// q := u / v, u of m limbs, v of n limbs (n >= 2, top limb not zero,
// m >= n); q gets m - n + 1 limbs. Long division on 32-bit digits with
// the quotient digit estimated from the top two limbs and corrected.
void _DivLong(uint32_t* q, const uint32_t* u, int m, const uint32_t* v, int n) {
    uint32_t un[9] = {};
    uint32_t vn[4] = {};
    const int s = __builtin_clz(v[n - 1]);
    for (int i = n - 1; i > 0; --i) vn[i] = uint32_t(uint64_t(v[i]) << s | uint64_t(v[i - 1]) >> (32 - s));
    vn[0] = uint32_t(uint64_t(v[0]) << s);
    un[m] = uint32_t(uint64_t(u[m - 1]) >> (32 - s));
    for (int i = m - 1; i > 0; --i) un[i] = uint32_t(uint64_t(u[i]) << s | uint64_t(u[i - 1]) >> (32 - s));
    un[0] = uint32_t(uint64_t(u[0]) << s);
    const uint64_t b = uint64_t(1) << 32;
    for (int j = m - n; j >= 0; --j) {
        const uint64_t num = uint64_t(un[j + n]) << 32 | un[j + n - 1];
        uint64_t qhat = num / vn[n - 1];
        uint64_t rhat = num - qhat * vn[n - 1];
        while (qhat >= b || qhat * vn[n - 2] > (rhat << 32 | un[j + n - 2])) {
            --qhat;
            rhat += vn[n - 1];
            if (rhat >= b) break;
        }
        int64_t k = 0, t = 0;
        for (int i = 0; i < n; ++i) {
            const uint64_t p = qhat * vn[i];
            t = int64_t(un[i + j]) - k - int64_t(p & 0xFFFFFFFF);
            un[i + j] = uint32_t(t);
            k = int64_t(p >> 32) - (t >> 32);
        }
        t = int64_t(un[j + n]) - k;
        un[j + n] = uint32_t(t);
        q[j] = uint32_t(qhat);
        if (t < 0) {   // estimated one too many: add the divisor back
            --q[j];
            uint64_t c = 0;
            for (int i = 0; i < n; ++i) {
                const uint64_t v2 = uint64_t(un[i + j]) + vn[i] + c;
                un[i + j] = uint32_t(v2);
                c = v2 >> 32;
            }
            un[j + n] = uint32_t(un[j + n] + c);
        }
    }
}

int _nLimbs(const uint32_t* d, int n) {
    while (n > 0 && d[n - 1] == 0) --n;
    return n;
}

// Decimal digits of a magnitude, most significant first, at least one.
int _nChiffres(STMag mag, char* pszChiffres) {
    char sz[32];
    int n = 0;
    do {
        sz[n++] = char('0' + _nDivCourt(mag.d, 3, 10));
    } while (!_bZero(mag.d, 3));
    for (int i = 0; i < n; ++i) pszChiffres[i] = sz[n - 1 - i];
    pszChiffres[n] = 0;
    return n;
}

template <typename CAR>
CMoney* _pstLit(CMoney* a, const CAR* psz) {
    if (a == nullptr || psz == nullptr) return nullptr;
    while (*psz == ' ' || *psz == '\t') ++psz;
    bool bNegatif = false;
    if (*psz == '+' || *psz == '-') bNegatif = *psz++ == '-';
    uint32_t d[3] = {0, 0, 0};
    bool bChiffre = false;
    // Each digit keeps the magnitude within 79 bits.
    auto fnAjoute = [&](uint32_t nChiffre) { return _nMulCourt(d, 3, 10, nChiffre) == 0 && d[2] < 0x8000; };
    for (; *psz >= '0' && *psz <= '9'; ++psz) {
        bChiffre = true;
        if (!fnAjoute(uint32_t(*psz - '0'))) return nullptr;
    }
    int nDecimales = 0;
    if (*psz == '.') {
        for (++psz; *psz >= '0' && *psz <= '9'; ++psz) {
            bChiffre = true;
            if (nDecimales == 6) continue;   // finer than a millionth: ignored
            if (!fnAjoute(uint32_t(*psz - '0'))) return nullptr;
            ++nDecimales;
        }
    }
    if (!bChiffre) return nullptr;
    for (; nDecimales < 6; ++nDecimales)
        if (!fnAjoute(0)) return nullptr;
    return _bCompose(*a, d, 3, bNegatif) ? a : nullptr;
}

// The magnitude of an unsigned count of units, times a million.
CMoney* _pstUnites(CMoney* a, uint64_t ull, bool bNegatif) {
    uint32_t d[3] = {uint32_t(ull), uint32_t(ull >> 32), 0};
    if (_nMulCourt(d, 3, k_nMillion, 0) != 0) return nullptr;
    return _bCompose(*a, d, 3, bNegatif) ? a : nullptr;
}

// Units of a value, toward zero, as a sign and a magnitude.
uint64_t _ullUnites(const CMoney* a, bool& bNegatif, bool& bTropGrand) {
    STMag mag = _Mag(*a);
    bNegatif = mag.bNegatif;
    _nDivCourt(mag.d, 3, k_nMillion);
    bTropGrand = mag.d[2] != 0;
    return uint64_t(mag.d[0]) | uint64_t(mag.d[1]) << 32;
}

const uint32_t k_tabPuissance10[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

}  // namespace

bool bEstInvalideMonetaire(const CMoney* a) { return a != nullptr && memcmp(a, &gstInvalide, sizeof *a) == 0; }

CMoney* pstAddMonetaire(CMoney* a, const CMoney* b) {
    if (a == nullptr || b == nullptr) return nullptr;
    const STBrut x = _Brut(*a), y = _Brut(*b);
    const uint64_t lo = x.lo + y.lo;
    const int32_t hi = x.hi + y.hi + (lo < x.lo ? 1 : 0);
    // Out of the signed 80-bit range, or the invalid value itself.
    if (hi > 32767 || hi < -32768 || (hi == -32768 && lo == 0)) return nullptr;
    _DepuisBrut(*a, lo, uint16_t(hi));
    return a;
}

CMoney* pstSubMonetaire(CMoney* a, const CMoney* b) {
    if (a == nullptr || b == nullptr) return nullptr;
    const STBrut x = _Brut(*a), y = _Brut(*b);
    const uint64_t lo = x.lo - y.lo;
    const int32_t hi = x.hi - y.hi - (x.lo < y.lo ? 1 : 0);
    if (hi > 32767 || hi < -32768 || (hi == -32768 && lo == 0)) return nullptr;
    _DepuisBrut(*a, lo, uint16_t(hi));
    return a;
}

namespace {

#if defined(__SIZEOF_INT128__)
// Where the compiler has 128-bit integers, the common cases use them: a
// product of two magnitudes below 2^64, and any quotient (the dividend
// times a million stays below 2^100).
using u128 = unsigned __int128;

u128 _u128(const STMag& mag) { return u128(mag.d[2]) << 64 | u128(mag.d[1]) << 32 | mag.d[0]; }

CMoney* _pst128(CMoney* a, u128 v, bool bNegatif) {
    const uint32_t d[4] = {uint32_t(v), uint32_t(v >> 32), uint32_t(v >> 64), uint32_t(v >> 96)};
    return _bCompose(*a, d, 4, bNegatif) ? a : nullptr;
}
#endif

}  // namespace

CMoney* pstMulMonetaire(CMoney* a, const CMoney* b) {
    if (a == nullptr || b == nullptr) return nullptr;
    const STMag x = _Mag(*a), y = _Mag(*b);
#if defined(__SIZEOF_INT128__)
    if (x.d[2] == 0 && y.d[2] == 0) return _pst128(a, _u128(x) * _u128(y) / k_nMillion, x.bNegatif != y.bNegatif);
#endif
    uint32_t p[6] = {};
    for (int i = 0; i < 3; ++i) {
        uint64_t c = 0;
        for (int j = 0; j < 3; ++j) {
            const uint64_t v = uint64_t(x.d[i]) * y.d[j] + p[i + j] + c;
            p[i + j] = uint32_t(v);
            c = v >> 32;
        }
        p[i + 3] = uint32_t(c);
    }
    _nDivCourt(p, 6, k_nMillion);
    return _bCompose(*a, p, 6, x.bNegatif != y.bNegatif) ? a : nullptr;
}

CMoney* pstDivMonetaire(CMoney* a, const CMoney* b) {
    if (a == nullptr || b == nullptr) return nullptr;
    const STMag x = _Mag(*a), y = _Mag(*b);
    const int nV = _nLimbs(y.d, 3);
    if (nV == 0) return nullptr;   // division by zero
#if defined(__SIZEOF_INT128__)
    return _pst128(a, _u128(x) * k_nMillion / _u128(y), x.bNegatif != y.bNegatif);
#endif
    uint32_t u[4] = {x.d[0], x.d[1], x.d[2], 0};
    u[3] = _nMulCourt(u, 3, k_nMillion, 0);
    uint32_t q[4] = {};
    const int nU = _nLimbs(u, 4);
    if (nU < nV) {
        // Below one millionth: zero.
    } else if (nV == 1) {
        memcpy(q, u, sizeof u);
        _nDivCourt(q, 4, y.d[0]);
    } else {
        _DivLong(q, u, nU, y.d, nV);
    }
    return _bCompose(*a, q, 4, x.bNegatif != y.bNegatif) ? a : nullptr;
}

void NegMonetaire(CMoney* a) {
    if (a == nullptr) return;
    STBrut st = _Brut(*a);
    uint16_t hi = uint16_t(st.hi);
    _Negation(st.lo, hi);
    _DepuisBrut(*a, st.lo, hi);
}

CMoney* pstAbsMonetaire(CMoney* a) {
    if (a == nullptr || bEstInvalideMonetaire(a)) return nullptr;
    if (a->m_aw[4] & 0x8000) NegMonetaire(a);
    return a;
}

CMoney* pstEntMonetaire(CMoney* a) {
    if (a == nullptr) return nullptr;
    STMag mag = _Mag(*a);
    const uint32_t r = _nDivCourt(mag.d, 3, k_nMillion);
    if (mag.bNegatif && r != 0 && _nMulCourt(mag.d, 3, 1, 1) != 0) return nullptr;
    if (_nMulCourt(mag.d, 3, k_nMillion, 0) != 0) return nullptr;
    return _bCompose(*a, mag.d, 3, mag.bNegatif) ? a : nullptr;
}

CMoney* pstDecMonetaire(CMoney* a) {
    if (a == nullptr) return nullptr;
    STMag mag = _Mag(*a);
    const uint32_t r = _nDivCourt(mag.d, 3, k_nMillion);
    const uint32_t d[1] = {r};
    return _bCompose(*a, d, 1, false) ? a : nullptr;
}

CMoney* pstArrMonetaire(CMoney* a, int nDecimales) {
    if (a == nullptr) return nullptr;
    if (nDecimales < 0 || nDecimales > 5) return a;
    STMag mag = _Mag(*a);
    const uint32_t nPas = k_tabPuissance10[6 - nDecimales];
    // Half of the last kept place, added to the magnitude: halves go away
    // from zero.
    if (_nMulCourt(mag.d, 3, 1, nPas / 2) != 0) return nullptr;
    uint32_t q[3];
    memcpy(q, mag.d, sizeof q);
    const uint32_t r = _nDivCourt(q, 3, nPas);
    uint32_t s[3] = {r, 0, 0};
    // mag - r, the cut decimals.
    uint64_t emprunt = 0;
    for (int i = 0; i < 3; ++i) {
        const uint64_t v = uint64_t(mag.d[i]) - s[i] - emprunt;
        mag.d[i] = uint32_t(v);
        emprunt = (v >> 63) & 1;
    }
    return _bCompose(*a, mag.d, 3, mag.bNegatif) ? a : nullptr;
}

bool bIncrementeMonetaire(CMoney* a) { return pstAddMonetaire(a, &gstMillion) != nullptr; }

bool bDecrementeMonetaire(CMoney* a) { return pstSubMonetaire(a, &gstMillion) != nullptr; }

bool bMul10Monetaire(CMoney* a) { return bMulMonetaireWord(a, 10, 0); }

bool bMulMonetaireWord(CMoney* a, uint16_t wFacteur, uint16_t wChiffre) {
    if (a == nullptr) return false;
    STMag mag = _Mag(*a);
    // a x f + c on the signed value: the digit goes the value's way.
    if (_nMulCourt(mag.d, 3, wFacteur, 0) != 0) return false;
    CMoney cl;
    if (!_bCompose(cl, mag.d, 3, mag.bNegatif)) return false;
    const uint32_t d[1] = {wChiffre};
    CMoney clChiffre;
    _bCompose(clChiffre, d, 1, false);
    if (pstAddMonetaire(&cl, &clChiffre) == nullptr) return false;
    *a = cl;
    return true;
}

CMoney* pstLongVersMonetaire(CMoney* a, int32_t n) { return pstTresLongVersMonetaire(a, n); }

CMoney* pstTresLongVersMonetaire(CMoney* a, int64_t ll) {
    if (a == nullptr) return nullptr;
    const uint64_t ull = ll < 0 ? uint64_t(0) - uint64_t(ll) : uint64_t(ll);
    return _pstUnites(a, ull, ll < 0);
}

CMoney* pstTresLongSansSigneVersMonetaire(CMoney* a, uint64_t ull) {
    return a != nullptr ? _pstUnites(a, ull, false) : nullptr;
}

bool bMonetaireVersTresLong(const CMoney* a, int64_t* pll) {
    if (a == nullptr || pll == nullptr) return false;
    bool bNegatif, bTropGrand;
    const uint64_t ull = _ullUnites(a, bNegatif, bTropGrand);
    if (bTropGrand || ull > (bNegatif ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX))) return false;
    *pll = bNegatif ? int64_t(uint64_t(0) - ull) : int64_t(ull);
    return true;
}

int64_t lMonetaireVersTresLong(const CMoney* a) {
    int64_t ll = 0;
    if (a == nullptr || bMonetaireVersTresLong(a, &ll)) return ll;
    return (a->m_aw[4] & 0x8000) ? INT64_MIN : INT64_MAX;
}

bool bMonetaireVersTresLongSansSigne(const CMoney* a, uint64_t* pull) {
    if (a == nullptr || pull == nullptr) return false;
    bool bNegatif, bTropGrand;
    const uint64_t ull = _ullUnites(a, bNegatif, bTropGrand);
    if (bTropGrand || (bNegatif && ull != 0)) return false;
    *pull = ull;
    return true;
}

bool bMonetaireVersLong(const CMoney* a, int32_t* pn) {
    int64_t ll = 0;
    if (pn == nullptr || !bMonetaireVersTresLong(a, &ll) || ll < INT32_MIN || ll > INT32_MAX) return false;
    *pn = int32_t(ll);
    return true;
}

int32_t lMonetaireVersLong(const CMoney* a) {
    const int64_t ll = lMonetaireVersTresLong(a);
    return ll < INT32_MIN ? INT32_MIN : ll > INT32_MAX ? INT32_MAX : int32_t(ll);
}

CMoney* pstDoubleVersMonetaire(CMoney* a, double r) {
    // Beyond 2^79 millionths the text could not be read back anyway.
    if (a == nullptr || !std::isfinite(r) || std::fabs(r) >= 6.1e17) return nullptr;
    char sz[64];
    const auto res = std::to_chars(sz, sz + sizeof sz - 1, r, std::chars_format::fixed, 6);
    if (res.ec != std::errc()) return nullptr;
    *res.ptr = 0;
    return pstChaineVersMonetaire(a, sz);
}

double dMonetaireVersDouble(const CMoney* a) {
    if (a == nullptr) return 0;
    char sz[MONETAIRE_TAILLE_TEXTE];
    pszMonetaireVersChaineC(sz, a);
    double r = 0;
    std::from_chars(sz, sz + strlen(sz), r);
    return r;
}

CMoney* pstChaineVersMonetaire(CMoney* a, const char* pszTexte) { return _pstLit(a, pszTexte); }

CMoney* pstChaineVersMonetaire(CMoney* a, const wchar_t* pszTexte) { return _pstLit(a, pszTexte); }

char* pszMonetaireVersChaineC(char* pszTampon, const CMoney* a) {
    if (pszTampon == nullptr) return nullptr;
    if (a == nullptr) {
        pszTampon[0] = 0;
        return pszTampon;
    }
    const STMag mag = _Mag(*a);
    char szChiffres[32];
    int n = _nChiffres(mag, szChiffres);
    char* p = pszTampon;
    if (mag.bNegatif) *p++ = '-';
    // At least one integer digit: "0.5".
    if (n <= 6) {
        *p++ = '0';
    } else {
        memcpy(p, szChiffres, size_t(n - 6));
        p += n - 6;
    }
    char szDecimales[7] = "000000";
    memcpy(szDecimales + 6 - (n < 6 ? n : 6), szChiffres + (n > 6 ? n - 6 : 0), size_t(n < 6 ? n : 6));
    int nDecimales = 6;
    while (nDecimales > 0 && szDecimales[nDecimales - 1] == '0') --nDecimales;
    if (nDecimales > 0) {
        *p++ = '.';
        memcpy(p, szDecimales, size_t(nDecimales));
        p += nDecimales;
    }
    *p = 0;
    return pszTampon;
}

namespace {

// The 80 bits in a base of nBits bits per digit, without leading zeros.
char* _Base(char* pszTampon, const CMoney* a, int nBits) {
    if (pszTampon == nullptr) return nullptr;
    const STBrut st = a != nullptr ? _Brut(*a) : STBrut{0, 0};
    const uint16_t hi = uint16_t(st.hi);
    auto fnBit = [&](int i) { return i < 64 ? int(st.lo >> i & 1) : i < 80 ? int(hi >> (i - 64) & 1) : 0; };
    const int nChiffres = (80 + nBits - 1) / nBits;
    char* p = pszTampon;
    for (int k = nChiffres - 1; k >= 0; --k) {
        int v = 0;
        for (int b = nBits - 1; b >= 0; --b) v = v << 1 | fnBit(k * nBits + b);
        if (v == 0 && p == pszTampon && k > 0) continue;
        *p++ = "0123456789ABCDEF"[v];
    }
    *p = 0;
    return pszTampon;
}

}  // namespace

char* pszMonetaireVersChaineHexa(char* pszTampon, const CMoney* a) { return _Base(pszTampon, a, 4); }

char* pszMonetaireVersChaineOctale(char* pszTampon, const CMoney* a) { return _Base(pszTampon, a, 3); }

CMoney* pstChaineHexaVersMonetaire(CMoney* a, const char* pszTexte) {
    if (a == nullptr || pszTexte == nullptr) return nullptr;
    const char* p = pszTexte;
    while (*p == ' ') ++p;
    uint64_t lo = 0;
    uint16_t hi = 0;
    int n = 0;
    for (;; ++p, ++n) {
        int v;
        if (*p >= '0' && *p <= '9')
            v = *p - '0';
        else if (*p >= 'a' && *p <= 'f')
            v = *p - 'a' + 10;
        else if (*p >= 'A' && *p <= 'F')
            v = *p - 'A' + 10;
        else
            break;
        if (n == 20) return nullptr;   // more than 80 bits
        hi = uint16_t(hi << 4 | lo >> 60);
        lo = lo << 4 | uint64_t(v);
    }
    if (n == 0) return nullptr;
    _DepuisBrut(*a, lo, hi);
    return a;
}

int nCmpMonetaire(const CMoney* a, const CMoney* b) {
    if (a == nullptr) return b == nullptr ? 0 : 1;
    if (b == nullptr) return -1;
    const STBrut x = _Brut(*a), y = _Brut(*b);
    if (x.hi != y.hi) return x.hi < y.hi ? -1 : 1;
    if (x.lo != y.lo) return x.lo < y.lo ? -1 : 1;
    return 0;
}

int nCmpMonetaireEtLong(const CMoney* a, int32_t n) {
    CMoney cl;
    pstLongVersMonetaire(&cl, n);   // any 32-bit count of units fits
    return nCmpMonetaire(a, &cl);
}

bool CMonetaireConvertible::bVersChaine(char* pszTampon) const {
    if (pszTampon == nullptr) return false;
    if (bEstInvalide()) {
        pszTampon[0] = 0;
        return false;
    }
    pszMonetaireVersChaineC(pszTampon, this);
    return true;
}

bool CMonetaireConvertible::bDepuisChaine(const char* pszTexte) {
    if (pstChaineVersMonetaire(this, pszTexte) != nullptr) return true;
    _Invalide();
    return false;
}

CMonetaireConvertible CMonetaireConvertible::Converti(uint32_t dwTauxDe, uint32_t dwTauxVers) const {
    CMonetaireConvertible cl;
    if (bEstInvalide() || !bChangeDevise_MONETAIRE(this, &cl, dwTauxDe, dwTauxVers)) cl._Invalide();
    return cl;
}

void CMonetaireConvertible::Soustrait(const CMoney& clAutre) {
    if (bEstInvalide() || bEstInvalideMonetaire(&clAutre) || pstSubMonetaire(this, &clAutre) == nullptr) _Invalide();
}

namespace {

// A rate as a currency value: the table's integer counts millionths.
CMoney _Taux(uint32_t dwTaux) {
    CMoney cl;
    const uint32_t d[1] = {dwTaux};
    _bCompose(cl, d, 1, false);
    return cl;
}

// The amount divided or multiplied by a rate; unchanged at one euro.
bool _bParTaux(const CMoney* pclMontant, CMoney* pclResultat, uint32_t dwTaux,
               CMoney* (*pfnOperation)(CMoney*, const CMoney*)) {
    if (pclMontant == nullptr || pclResultat == nullptr) return false;
    CMoney cl = *pclMontant;
    if (dwTaux != k_nMillion) {
        const CMoney clTaux = _Taux(dwTaux);
        if (pfnOperation(&cl, &clTaux) == nullptr) return false;
    }
    *pclResultat = cl;
    return true;
}

}  // namespace

bool bVersEuro_MONETAIRE(const CMoney* pclMontant, CMoney* pclResultat, uint32_t dwTaux) {
    return _bParTaux(pclMontant, pclResultat, dwTaux, pstDivMonetaire);
}

bool bVersDevise_MONETAIRE(const CMoney* pclMontant, CMoney* pclResultat, uint32_t dwTaux) {
    return _bParTaux(pclMontant, pclResultat, dwTaux, pstMulMonetaire);
}

bool bChangeDevise_MONETAIRE(const CMoney* pclMontant, CMoney* pclResultat, uint32_t dwTauxDe, uint32_t dwTauxVers) {
    if (pclMontant == nullptr || pclResultat == nullptr) return false;
    if (dwTauxDe == dwTauxVers) {
        if (dwTauxDe == 0) return false;
        *pclResultat = *pclMontant;
        return true;
    }
    CMoney clEuro;
    return bVersEuro_MONETAIRE(pclMontant, &clEuro, dwTauxDe) && bVersDevise_MONETAIRE(&clEuro, pclResultat, dwTauxVers);
}
