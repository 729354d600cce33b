// CRC-32 by slicing over eight tables, Adler-32 with deferred modulo, the
// CCITT CRC-16 and the MSB-first CRC-32 (see checksum.h).
#include "codec/checksum.h"

#include <array>
#include <bit>
#include <cstring>
#include <new>

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

}  // namespace

// ---------------------------------------------------------------- CRC-32

uint32_t CCrc2::nCalculeCRC32(const void* pDonnees, size_t nTaille, uint32_t dwPrecedent) {
    if (pDonnees == nullptr || nTaille == 0) return dwPrecedent;
    return _dwCrcTranches(s_tabCrc32, static_cast<const uint8_t*>(pDonnees), nTaille, dwPrecedent);
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
    if (m_dwPolynome == POLYNOME_DEFAUT) return _dwCrcTranches(s_tabCrc32, p, nTaille, dwPrecedent);
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
