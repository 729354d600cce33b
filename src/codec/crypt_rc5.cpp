// RC5-32 with a 16-byte key (CCryptRC5): the published key schedule and
// round, the component's word order inside a block, cipher-block chaining
// from a zero vector, the 4-bit round for the bytes after the last block,
// and the password hash built on the SHA-0 compression function.
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "codec/crypt.h"

namespace {

constexpr uint32_t P32 = 0xB7E15163u;
constexpr uint32_t Q32 = 0x9E3779B9u;

inline uint32_t _dwLit(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

inline void _Ecrit(uint8_t* p, uint32_t dw) {
    p[0] = static_cast<uint8_t>(dw);
    p[1] = static_cast<uint8_t>(dw >> 8);
    p[2] = static_cast<uint8_t>(dw >> 16);
    p[3] = static_cast<uint8_t>(dw >> 24);
}

inline uint8_t _byRot4(uint8_t x, unsigned s) { return static_cast<uint8_t>(((x << s) | (x >> (4 - s))) & 15); }
inline uint8_t _byRot4Droite(uint8_t x, unsigned s) { return static_cast<uint8_t>(((x >> s) | (x << (4 - s))) & 15); }

}  // namespace

CCryptRC5::CCryptRC5(int nTours) : m_nTours(nTours == 16 ? 16 : 8) {}

CCryptRC5::~CCryptRC5() { std::free(m_pdwTable); }

void CCryptRC5::s_ExpandeCle(const uint8_t* pbyCle, size_t nOctets, int nTours, uint32_t* S) {
    const size_t c = nOctets == 0 ? 1 : (nOctets + 3) / 4;
    uint32_t L[64] = {};
    for (size_t i = 0; i < nOctets && i < 4 * 64; ++i) L[i / 4] |= uint32_t{pbyCle[i]} << (8 * (i % 4));
    const size_t t = 2 * static_cast<size_t>(nTours) + 2;
    S[0] = P32;
    for (size_t i = 1; i < t; ++i) S[i] = S[i - 1] + Q32;
    uint32_t A = 0, B = 0;
    size_t i = 0, j = 0;
    const size_t nPas = 3 * (t > c ? t : c);
    for (size_t k = 0; k < nPas; ++k) {
        A = S[i] = std::rotl(S[i] + A + B, 3);
        B = L[j] = std::rotl(L[j] + A + B, static_cast<int>((A + B) & 31));
        i = (i + 1) % t;
        j = (j + 1) % c;
    }
}

void CCryptRC5::s_CrypteBloc(const uint32_t* S, int nTours, uint32_t* pdwA, uint32_t* pdwB) {
    uint32_t A = *pdwA + S[0];
    uint32_t B = *pdwB + S[1];
    for (int i = 1; i <= nTours; ++i) {
        A = std::rotl(A ^ B, static_cast<int>(B & 31)) + S[2 * i];
        B = std::rotl(B ^ A, static_cast<int>(A & 31)) + S[2 * i + 1];
    }
    *pdwA = A;
    *pdwB = B;
}

void CCryptRC5::s_DecrypteBloc(const uint32_t* S, int nTours, uint32_t* pdwA, uint32_t* pdwB) {
    uint32_t A = *pdwA;
    uint32_t B = *pdwB;
    for (int i = nTours; i >= 1; --i) {
        B = std::rotr(B - S[2 * i + 1], static_cast<int>(A & 31)) ^ A;
        A = std::rotr(A - S[2 * i], static_cast<int>(B & 31)) ^ B;
    }
    *pdwA = A - S[0];
    *pdwB = B - S[1];
}

bool CCryptRC5::_bConstruitTable() {
    const size_t t = 2 * static_cast<size_t>(m_nTours) + 2;
    if (m_pdwTable == nullptr) m_pdwTable = static_cast<uint32_t*>(std::malloc(t * sizeof(uint32_t)));
    if (m_pdwTable == nullptr) return false;
    s_ExpandeCle(m_abyCle, sizeof m_abyCle, m_nTours, m_pdwTable);
    return true;
}

bool CCryptRC5::bSetCryptKey(const void* pCle, unsigned int dwTaille) {
    CCrypt::bSetCryptKey(pCle, dwTaille);
    return _bConstruitTable();
}

bool CCryptRC5::bSetCryptKey(const unsigned char (*pabyCle)[16]) {
    CCrypt::bSetCryptKey(pabyCle);
    return _bConstruitTable();
}

bool CCryptRC5::bSetPassword(const char* pszMotDePasse) {
    unsigned char abyCle[16];
    BuildCryptKey(&abyCle, pszMotDePasse);
    return bSetCryptKey(&abyCle);
}

uint8_t CCryptRC5::_byCrypteOctet(uint8_t by) const {
    const uint32_t* S = m_pdwTable;
    uint8_t a = static_cast<uint8_t>(((by >> 4) + (S[0] & 0xFF)) & 15);
    uint8_t b = static_cast<uint8_t>(((by & 15) + (S[1] & 0xFF)) & 15);
    for (int i = 1; i <= m_nTours; ++i) {
        a = static_cast<uint8_t>((_byRot4(a ^ b, b % 4) + (S[2 * i] & 0xFF)) & 15);
        b = static_cast<uint8_t>((_byRot4(b ^ a, a % 4) + (S[2 * i + 1] & 0xFF)) & 15);
    }
    return static_cast<uint8_t>(a * 16 + b);
}

uint8_t CCryptRC5::_byDecrypteOctet(uint8_t by) const {
    const uint32_t* S = m_pdwTable;
    uint8_t a = by >> 4;
    uint8_t b = by & 15;
    for (int i = m_nTours; i >= 1; --i) {
        b = static_cast<uint8_t>(_byRot4Droite(static_cast<uint8_t>((b - S[2 * i + 1]) & 15), a % 4) ^ a);
        a = static_cast<uint8_t>(_byRot4Droite(static_cast<uint8_t>((a - S[2 * i]) & 15), b % 4) ^ b);
    }
    return static_cast<uint8_t>(((a - S[0]) & 15) << 4 | ((b - S[1]) & 15));
}

void CCryptRC5::Crypt(unsigned char* pby, unsigned int dwTaille, const unsigned char (*pabyCle)[16]) {
    if (pabyCle != nullptr) bSetCryptKey(pabyCle);
    if (m_pdwTable == nullptr) return;
    uint32_t dwPrecA = 0, dwPrecB = 0;   // previous ciphertext block: high and low word
    const size_t nBlocs = dwTaille / 8;
    uint8_t* p = pby;
    for (size_t k = 0; k < nBlocs; ++k, p += 8) {
        uint32_t B = _dwLit(p) ^ dwPrecB;
        uint32_t A = _dwLit(p + 4) ^ dwPrecA;
        s_CrypteBloc(m_pdwTable, m_nTours, &A, &B);
        _Ecrit(p, B);
        _Ecrit(p + 4, A);
        dwPrecA = A;
        dwPrecB = B;
    }
    uint8_t byPrec = static_cast<uint8_t>(dwPrecB);
    for (size_t i = nBlocs * 8; i < dwTaille; ++i) {
        pby[i] = _byCrypteOctet(pby[i] ^ byPrec);
        byPrec = pby[i];
    }
}

void CCryptRC5::Uncrypt(unsigned char* pby, unsigned int dwTaille, const unsigned char (*pabyCle)[16]) {
    if (pabyCle != nullptr) bSetCryptKey(pabyCle);
    if (m_pdwTable == nullptr) return;
    uint32_t dwPrecA = 0, dwPrecB = 0;
    const size_t nBlocs = dwTaille / 8;
    uint8_t* p = pby;
    for (size_t k = 0; k < nBlocs; ++k, p += 8) {
        const uint32_t dwChiffreB = _dwLit(p);
        const uint32_t dwChiffreA = _dwLit(p + 4);
        uint32_t A = dwChiffreA, B = dwChiffreB;
        s_DecrypteBloc(m_pdwTable, m_nTours, &A, &B);
        _Ecrit(p, B ^ dwPrecB);
        _Ecrit(p + 4, A ^ dwPrecA);
        dwPrecA = dwChiffreA;
        dwPrecB = dwChiffreB;
    }
    uint8_t byPrec = static_cast<uint8_t>(dwPrecB);
    for (size_t i = nBlocs * 8; i < dwTaille; ++i) {
        const uint8_t byChiffre = pby[i];
        pby[i] = _byDecrypteOctet(byChiffre) ^ byPrec;
        byPrec = byChiffre;
    }
}

void CCryptRC5::BuildCryptKeyAnsi(unsigned char (*pabyCle)[16], const char* pszMotDePasse) {
    const size_t n = pszMotDePasse != nullptr ? std::strlen(pszMotDePasse) : 0;
    const size_t L = (n + 4 + 63) / 64 * 64;
    std::vector<uint8_t> M(L, 0);
    if (n != 0) std::memcpy(M.data(), pszMotDePasse, n);
    M[n] = 0x01;
    _Ecrit(M.data() + L - 4, static_cast<uint32_t>(n));
    uint32_t h[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
    // The working variables carry on from block to block.
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (size_t nBloc = 0; nBloc < L; nBloc += 64) {
        uint32_t W[80];
        for (int t = 0; t < 16; ++t) W[t] = _dwLit(M.data() + nBloc + 4 * t);
        for (int t = 16; t < 80; ++t) W[t] = W[t - 3] ^ W[t - 8] ^ W[t - 14] ^ W[t - 16];
        for (int t = 0; t < 80; ++t) {
            uint32_t f, k;
            if (t < 20) {
                f = (b & c) | (~b & d);
                k = 0x5A827999u;
            } else if (t < 40) {
                f = b ^ c ^ d;
                k = 0x6ED9EBA1u;
            } else if (t < 60) {
                f = (b & c) | (b & d) | (c & d);
                k = 0x8F1BBCDCu;
            } else {
                f = b ^ c ^ d;
                k = 0xCA62C1D6u;
            }
            const uint32_t tmp = std::rotl(a, 5) + f + e + k + W[t];
            e = d;
            d = c;
            c = std::rotl(b, 30);
            b = a;
            a = tmp;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
        h[4] += e;
    }
    for (int i = 0; i < 4; ++i) _Ecrit(*pabyCle + 4 * i, h[i]);
}

CCrypt* pclCreeCipher(uint32_t dwMethode) {
    // The plain operator new, whose failure is caught: a program that
    // replaces it has its own allocations and releases paired.
    try {
        switch (dwMethode) {
            case CRYPT_RAPIDE: return new CCryptHomeMade;
            case CRYPT_RC5_8: return new CCryptRC5(8);
            case CRYPT_RC5_16: return new CCryptRC5(16);
            default: return nullptr;
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
