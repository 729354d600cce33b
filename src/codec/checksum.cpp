// CRC-32 by slicing over eight tables, Adler-32 with deferred modulo, the
// CCITT CRC-16 and the MSB-first CRC-32 (see checksum.h).
#include "codec/checksum.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

static_assert(std::endian::native == std::endian::little, "the slicing loads words in little-endian order");

namespace {

using Tables = std::array<std::array<uint32_t, 256>, 8>;

uint32_t _dwReflete(uint32_t dw) {
    uint32_t dwR = 0;
    for (int i = 0; i < 32; ++i) {
        dwR = (dwR << 1) | (dw & 1u);
        dw >>= 1;
    }
    return dwR;
}

// Table k gives the CRC of a byte followed by k zero bytes, so that eight
// bytes are folded in with eight independent look-ups.
constexpr void _ConstruitTables(uint32_t dwReflechi, uint32_t (*padw)[256]) {
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? (c >> 1) ^ dwReflechi : c >> 1;
        padw[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i)
        for (int k = 1; k < 8; ++k) padw[k][i] = (padw[k - 1][i] >> 8) ^ padw[0][padw[k - 1][i] & 0xFFu];
}

constexpr Tables _TablesDefaut() {
    Tables t{};
    uint32_t adw[8][256] = {};
    _ConstruitTables(0xEDB88320u, adw);
    for (int k = 0; k < 8; ++k)
        for (int i = 0; i < 256; ++i) t[k][i] = adw[k][i];
    return t;
}

constexpr Tables s_tabCrc32 = _TablesDefaut();
static_assert(s_tabCrc32[0][1] == 0x77073096u && s_tabCrc32[0][3] == 0x990951BAu);

inline uint32_t _dwLit32(const uint8_t* p) {
    uint32_t dw;
    std::memcpy(&dw, p, 4);
    return dw;
}

template <class T>
uint32_t _dwCrcTranches(const T& t, const uint8_t* p, size_t n, uint32_t dwPrecedent) {
    uint32_t c = ~dwPrecedent;
    while (n >= 8) {
        const uint32_t w1 = _dwLit32(p) ^ c;
        const uint32_t w2 = _dwLit32(p + 4);
        c = t[7][w1 & 0xFFu] ^ t[6][(w1 >> 8) & 0xFFu] ^ t[5][(w1 >> 16) & 0xFFu] ^ t[4][w1 >> 24] ^
            t[3][w2 & 0xFFu] ^ t[2][(w2 >> 8) & 0xFFu] ^ t[1][(w2 >> 16) & 0xFFu] ^ t[0][w2 >> 24];
        p += 8;
        n -= 8;
    }
    while (n-- != 0) c = t[0][(c ^ *p++) & 0xFFu] ^ (c >> 8);
    return ~c;
}

#if defined(__x86_64__) || defined(__i386__)
// Folding with carry-less multiplication: four 128-bit lanes are carried
// 64 bytes forward at a time (each half multiplied by a power of x modulo
// the polynomial, the products added to the next bytes), folded into one
// lane, reduced to 64 then 32 bits, and brought to the CRC by Barrett
// reduction. The constants are those powers of x, and the polynomial with
// its Barrett quotient, in the reflected form of 0x04C11DB7. Takes c as the
// running register (not complemented) and a multiple of 16 bytes, at
// least 64.
#define QV_PLIAGE __attribute__((target("pclmul,sse4.1")))

QV_PLIAGE inline __m128i _Lit(const uint8_t* q) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)); }

// x carried 128 bits forward (k holds the two multipliers), plus y.
QV_PLIAGE inline __m128i _Plie(__m128i x, __m128i k, __m128i y) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), y);
}

QV_PLIAGE uint32_t _dwCrcPlie(const uint8_t* p, size_t n, uint32_t c) {
    const __m128i k2k1 = _mm_set_epi64x(0x00000001c6e41596ll, 0x0000000154442bd4ll);
    const __m128i k4k3 = _mm_set_epi64x(0x00000000ccaa009ell, 0x00000001751997d0ll);
    const __m128i k5 = _mm_set_epi64x(0, 0x0000000163cd6124ll);
    const __m128i muP = _mm_set_epi64x(0x00000001F7011641ll, 0x00000001DB710641ll);
    const __m128i masque32 = _mm_set_epi32(0, 0, 0, -1);
    __m128i x1 = _mm_xor_si128(_Lit(p), _mm_cvtsi32_si128(static_cast<int>(c)));
    __m128i x2 = _Lit(p + 16), x3 = _Lit(p + 32), x4 = _Lit(p + 48);
    p += 64;
    n -= 64;
    while (n >= 64) {
        x1 = _Plie(x1, k2k1, _Lit(p));
        x2 = _Plie(x2, k2k1, _Lit(p + 16));
        x3 = _Plie(x3, k2k1, _Lit(p + 32));
        x4 = _Plie(x4, k2k1, _Lit(p + 48));
        p += 64;
        n -= 64;
    }
    x1 = _Plie(x1, k4k3, x2);
    x1 = _Plie(x1, k4k3, x3);
    x1 = _Plie(x1, k4k3, x4);
    while (n >= 16) {
        x1 = _Plie(x1, k4k3, _Lit(p));
        p += 16;
        n -= 16;
    }
    // 128 bits to 64, then to 32 with 32 zero bits appended.
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(k4k3, x1, 0x01), _mm_srli_si128(x1, 8));
    x2 = _mm_srli_si128(x1, 4);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, masque32), k5, 0x00), x2);
    // Barrett reduction to the 32-bit remainder.
    x2 = x1;
    x1 = _mm_clmulepi64_si128(_mm_and_si128(x1, masque32), muP, 0x10);
    x1 = _mm_clmulepi64_si128(_mm_and_si128(x1, masque32), muP, 0x00);
    return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, x2), 1));
}

bool _bPlieDisponible() {
    static const bool s_b = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    }();
    return s_b;
}
#endif

}  // namespace

// ---------------------------------------------------------------- CRC-32

uint32_t CCrc2::nCalculeCRC32(const void* pDonnees, size_t nTaille, uint32_t dwPrecedent) {
    if (pDonnees == nullptr || nTaille == 0) return dwPrecedent;
    const auto* p = static_cast<const uint8_t*>(pDonnees);
#if defined(__x86_64__) || defined(__i386__)
    // Long buffers by folding when the processor multiplies without carry,
    // the tail by the tables.
    if (nTaille >= 256 && _bPlieDisponible()) {
        const size_t nPlie = nTaille & ~size_t(15);
        const uint32_t c = _dwCrcPlie(p, nPlie, ~dwPrecedent);
        return _dwCrcTranches(s_tabCrc32, p + nPlie, nTaille - nPlie, ~c);
    }
#endif
    return _dwCrcTranches(s_tabCrc32, p, nTaille, dwPrecedent);
}

CCrc2::CCrc2(const CCrc2& clAutre) { SetPolynome(clAutre.m_dwPolynome); }

CCrc2& CCrc2::operator=(const CCrc2& clAutre) {
    if (this != &clAutre) SetPolynome(clAutre.m_dwPolynome);
    return *this;
}

CCrc2::~CCrc2() { delete[] m_padwTables; }

void CCrc2::SetPolynome(uint32_t dwPolynome) {
    if (dwPolynome == m_dwPolynome && (m_padwTables != nullptr || dwPolynome == POLYNOME_DEFAUT)) return;
    delete[] m_padwTables;
    m_padwTables = nullptr;
    m_dwPolynome = dwPolynome;
    if (dwPolynome == POLYNOME_DEFAUT) return;
    // Without memory for the tables the CRC is still right, bit by bit.
    m_padwTables = new (std::nothrow) uint32_t[8][256];
    if (m_padwTables != nullptr) _ConstruitTables(_dwReflete(dwPolynome), m_padwTables);
}

uint32_t CCrc2::nCalcule(const void* pDonnees, size_t nTaille, uint32_t dwPrecedent) const {
    if (pDonnees == nullptr || nTaille == 0) return dwPrecedent;
    const auto* p = static_cast<const uint8_t*>(pDonnees);
    if (m_dwPolynome == POLYNOME_DEFAUT) return nCalculeCRC32(p, nTaille, dwPrecedent);
    if (m_padwTables != nullptr) return _dwCrcTranches(m_padwTables, p, nTaille, dwPrecedent);
    const uint32_t dwReflechi = _dwReflete(m_dwPolynome);
    uint32_t c = ~dwPrecedent;
    for (size_t i = 0; i < nTaille; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? (c >> 1) ^ dwReflechi : c >> 1;
    }
    return ~c;
}

// ---------------------------------------------------------------- Adler-32

namespace {

constexpr uint32_t ADLER_BASE = 65521u;
// The most bytes whose sums cannot pass 32 bits before the modulo:
// 255 n (n + 1) / 2 + (n + 1) (BASE - 1) <= 2^32 - 1.
constexpr size_t ADLER_NMAX = 5552;

#if defined(__x86_64__) || defined(__i386__)
// 32 bytes per step in vector registers: a takes the byte sums, b the
// bytes weighted 32 down to 1 plus 32 times the a of the step before (kept
// apart in vPrec and multiplied at the end). The modulo is taken once per
// ADLER_NMAX bytes, as in the plain loop. Consumes whole 32-byte blocks
// and leaves the rest.
__attribute__((target("ssse3"))) void _AdlerVectoriel(uint32_t& a, uint32_t& b, const uint8_t*& p, size_t& n) {
    const __m128i poids1 = _mm_setr_epi8(32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17);
    const __m128i poids2 = _mm_setr_epi8(16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
    const __m128i zero = _mm_setzero_si128();
    const __m128i uns = _mm_set1_epi16(1);
    size_t nBlocs = n / 32;
    n -= nBlocs * 32;
    while (nBlocs != 0) {
        size_t k = std::min(nBlocs, ADLER_NMAX / 32);
        nBlocs -= k;
        __m128i vPrec = _mm_cvtsi32_si128(static_cast<int>(a * k));
        __m128i vB = _mm_cvtsi32_si128(static_cast<int>(b));
        __m128i vA = zero;
        do {
            const __m128i o1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i o2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
            vPrec = _mm_add_epi32(vPrec, vA);
            vA = _mm_add_epi32(vA, _mm_add_epi32(_mm_sad_epu8(o1, zero), _mm_sad_epu8(o2, zero)));
            vB = _mm_add_epi32(vB, _mm_madd_epi16(_mm_maddubs_epi16(o1, poids1), uns));
            vB = _mm_add_epi32(vB, _mm_madd_epi16(_mm_maddubs_epi16(o2, poids2), uns));
            p += 32;
        } while (--k != 0);
        vB = _mm_add_epi32(vB, _mm_slli_epi32(vPrec, 5));
        vA = _mm_add_epi32(vA, _mm_shuffle_epi32(vA, _MM_SHUFFLE(2, 3, 0, 1)));
        vA = _mm_add_epi32(vA, _mm_shuffle_epi32(vA, _MM_SHUFFLE(1, 0, 3, 2)));
        vB = _mm_add_epi32(vB, _mm_shuffle_epi32(vB, _MM_SHUFFLE(2, 3, 0, 1)));
        vB = _mm_add_epi32(vB, _mm_shuffle_epi32(vB, _MM_SHUFFLE(1, 0, 3, 2)));
        a = (a + static_cast<uint32_t>(_mm_cvtsi128_si32(vA))) % ADLER_BASE;
        b = static_cast<uint32_t>(_mm_cvtsi128_si32(vB)) % ADLER_BASE;
    }
}

bool _bSsse3Disponible() {
    static const bool s_b = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3");
    }();
    return s_b;
}
#endif

}  // namespace

uint32_t nAdler32(uint32_t dwCourant, const void* pDonnees, size_t nTaille) {
    uint32_t a = dwCourant & 0xFFFFu;
    uint32_t b = dwCourant >> 16;
    const auto* p = static_cast<const uint8_t*>(pDonnees);
    if (p == nullptr) nTaille = 0;
    if (nTaille == 1) {
        a += p[0];
        if (a >= ADLER_BASE) a -= ADLER_BASE;
        b += a;
        if (b >= ADLER_BASE) b -= ADLER_BASE;
        return a | (b << 16);
    }
#if defined(__x86_64__) || defined(__i386__)
    if (nTaille >= 64 && _bSsse3Disponible()) _AdlerVectoriel(a, b, p, nTaille);
#endif
    while (nTaille != 0) {
        size_t n = nTaille < ADLER_NMAX ? nTaille : ADLER_NMAX;
        nTaille -= n;
        // Eight bytes at a time: b takes 8 a plus the bytes weighted 8 to 1,
        // so that the additions do not wait on each other.
        while (n >= 8) {
            const uint32_t s0 = p[0], s1 = p[1], s2 = p[2], s3 = p[3], s4 = p[4], s5 = p[5], s6 = p[6], s7 = p[7];
            b += 8 * a + 8 * s0 + 7 * s1 + 6 * s2 + 5 * s3 + 4 * s4 + 3 * s5 + 2 * s6 + s7;
            a += s0 + s1 + s2 + s3 + s4 + s5 + s6 + s7;
            p += 8;
            n -= 8;
        }
        while (n-- != 0) {
            a += *p++;
            b += a;
        }
        a %= ADLER_BASE;
        b %= ADLER_BASE;
    }
    if (a >= ADLER_BASE) a -= ADLER_BASE;
    b %= ADLER_BASE;
    return a | (b << 16);
}

uint32_t nAdler32Combine(uint32_t dwPremier, uint32_t dwSecond, int64_t llTailleSecond) {
    if (llTailleSecond < 0) return 0xFFFFFFFFu;
    const uint32_t dwReste = static_cast<uint32_t>(llTailleSecond % ADLER_BASE);
    uint64_t a = dwPremier & 0xFFFFu;
    uint64_t b = (static_cast<uint64_t>(dwReste) * a) % ADLER_BASE;
    a += (dwSecond & 0xFFFFu) + ADLER_BASE - 1;
    b += ((dwPremier >> 16) & 0xFFFFu) + ((dwSecond >> 16) & 0xFFFFu) + ADLER_BASE - dwReste;
    if (a >= ADLER_BASE) a -= ADLER_BASE;
    if (a >= ADLER_BASE) a -= ADLER_BASE;
    if (b >= 2ull * ADLER_BASE) b -= 2ull * ADLER_BASE;
    if (b >= ADLER_BASE) b -= ADLER_BASE;
    return static_cast<uint32_t>(a | (b << 16));
}

// ---------------------------------------------------------------- CRC-16

namespace {

constexpr std::array<uint16_t, 256> _TableCrc16() {
    std::array<uint16_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i << 8;
        for (int k = 0; k < 8; ++k) c = (c & 0x8000u) ? ((c << 1) ^ 0x1021u) : (c << 1);
        t[i] = static_cast<uint16_t>(c);
    }
    return t;
}

constexpr std::array<uint16_t, 256> s_tabCrc16 = _TableCrc16();

}  // namespace

void CCrc16::AddBuffer(const void* pDonnees, size_t nTaille) {
    const auto* p = static_cast<const uint8_t*>(pDonnees);
    if (p == nullptr) return;
    uint32_t c = m_wValeur;
    for (size_t i = 0; i < nTaille; ++i) c = ((c << 8) ^ s_tabCrc16[c >> 8] ^ p[i]) & 0xFFFFu;
    m_wValeur = static_cast<uint16_t>(c);
}

uint16_t CCrc16::s_wCalculeCRC(const void* pDonnees, size_t nTaille) {
    CCrc16 cl;
    cl.AddBuffer(pDonnees, nTaille);
    return cl.wGetCRC();
}

// ---------------------------------------------------------------- MSB-first CRC-32

void CCrc::Table::Init(uint32_t dwPolynome) {
    if (m_bConstruite && dwPolynome == m_dwPolynome) return;
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i << 24;
        for (int k = 0; k < 8; ++k) c = (c & 0x80000000u) ? ((c << 1) ^ dwPolynome) : (c << 1);
        m_adw[i] = c;
    }
    m_dwPolynome = dwPolynome;
    m_bConstruite = true;
}

uint32_t CCrc::CalculeCRC(const void* pDonnees, size_t nTaille) {
    m_dwValeur = 0;
    return AddBuffer(pDonnees, nTaille);
}

uint32_t CCrc::AddBuffer(const void* pDonnees, size_t nTaille) {
    const auto* p = static_cast<const uint8_t*>(pDonnees);
    if (p == nullptr) return m_dwValeur;
    uint32_t c = m_dwValeur;
    for (size_t i = 0; i < nTaille; ++i) c = (c << 8) ^ m_clTable[static_cast<uint8_t>((c >> 24) ^ p[i])];
    m_dwValeur = c;
    return c;
}
