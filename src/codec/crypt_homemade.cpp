// The fast home-made cipher (CCryptHomeMade) and its key derivation, byte
// for byte as stored data has always been written: arithmetic on bytes
// modulo 256.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/crypt.h"

namespace {

const unsigned char k_abyCleInitiale[16] = {0x5E, 0x3C, 0x64, 0x4B, 0xC6, 0xCB, 0xCE, 0xC9,
                                            0x59, 0x60, 0x3F, 0x84, 0x6D, 0xF6, 0xF7, 0xBE};

// The byte a one-byte text is mixed with: the key's four little-endian words
// summed, folded onto itself.
uint8_t _byMelangeUnique(const unsigned char* k) {
    uint32_t s = 0;
    for (int i = 0; i < 16; i += 4)
        s += uint32_t{k[i]} | uint32_t{k[i + 1]} << 8 | uint32_t{k[i + 2]} << 16 | uint32_t{k[i + 3]} << 24;
    return static_cast<uint8_t>((s >> 16) + s);
}

void _Crypte(uint8_t* b, size_t n, const unsigned char* k) {
    if (n == 0) return;
    if (n == 1) {
        b[0] = static_cast<uint8_t>((b[0] + 0xCB) ^ _byMelangeUnique(k));
        return;
    }
    b[0] = static_cast<uint8_t>((b[n - 1] + b[0]) ^ k[15]);
    for (size_t i = 1; i < n; ++i) {
        const size_t j = (i - 1) % 16;
        const size_t m = n - 1 - i;
        if (m != i) {
            b[i] = static_cast<uint8_t>((b[i - 1] + b[i] + b[m]) ^ k[15 - j]);
            b[m] = static_cast<uint8_t>((b[i] + b[m]) ^ k[j]);
        } else {
            b[i] = static_cast<uint8_t>((static_cast<uint8_t>((b[i - 1] + b[i]) ^ k[15 - j]) + 17) ^ k[j]);
        }
    }
}

void _Decrypte(uint8_t* b, size_t n, const unsigned char* k) {
    if (n == 0) return;
    if (n == 1) {
        b[0] = static_cast<uint8_t>((b[0] ^ _byMelangeUnique(k)) + 0x35);
        return;
    }
    for (size_t i = n - 1; i >= 1; --i) {
        const size_t j = (i - 1) % 16;
        const size_t m = n - 1 - i;
        if (m != i) {
            b[m] = static_cast<uint8_t>((b[m] ^ k[j]) - b[i]);
            b[i] = static_cast<uint8_t>((b[i] ^ k[15 - j]) - b[m] - b[i - 1]);
        } else {
            b[i] = static_cast<uint8_t>((static_cast<uint8_t>((b[i] ^ k[j]) - 17) ^ k[15 - j]) - b[i - 1]);
        }
    }
    b[0] = static_cast<uint8_t>((b[0] ^ k[15]) - b[n - 1]);
}

}  // namespace

bool CCryptHomeMade::bSetPassword(const char* pszMotDePasse) {
    BuildCryptKey(&m_abyCle, pszMotDePasse);
    return true;
}

void CCryptHomeMade::Crypt(unsigned char* pbyDonnees, unsigned int dwTaille, const unsigned char (*pabyCle)[16]) {
    _Crypte(pbyDonnees, dwTaille, pabyCle != nullptr ? *pabyCle : m_abyCle);
}

void CCryptHomeMade::Uncrypt(unsigned char* pbyDonnees, unsigned int dwTaille, const unsigned char (*pabyCle)[16]) {
    _Decrypte(pbyDonnees, dwTaille, pabyCle != nullptr ? *pabyCle : m_abyCle);
}

void CCryptHomeMade::BuildCryptKeyAnsi(unsigned char (*pabyCle)[16], const char* pszMotDePasse) {
    unsigned char* key = *pabyCle;
    std::memcpy(key, k_abyCleInitiale, 16);
    const size_t n = pszMotDePasse != nullptr ? std::strlen(pszMotDePasse) : 0;
    if (n == 0) return;
    std::vector<uint8_t> p(pszMotDePasse, pszMotDePasse + n);
    p[0] = static_cast<uint8_t>(static_cast<signed char>(p[0]) % 29);
    for (size_t i = 0; i + 1 < n; ++i) p[i + 1] ^= p[i];
    _Crypte(p.data(), n, k_abyCleInitiale);
    const size_t L = n > 16 ? n : 16;
    for (size_t i = 0; i < L; ++i)
        key[i % 16] = static_cast<uint8_t>((p[i % n] + key[(i + 1) % 16]) ^ static_cast<uint8_t>(L * i));
}
