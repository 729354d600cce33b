// The checksums: published check values, CRC-32 and Adler-32 beside zlib's
// own on generated data (every length up to a few blocks, every alignment,
// continued from other values), the CRC of another polynomial beside a
// bit-by-bit reference, CRC-16 and the MSB-first CRC-32.
//
// zlib is loaded at run time (libz.so.1), so that no build needs it: where
// the library of the test's architecture is missing, the comparisons say so
// and are skipped; the check values still run.
#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "codec/checksum.h"

namespace {

using Octets = std::vector<uint8_t>;

// ---------------------------------------------------------------- references

uint32_t nReflete(uint32_t dw) {
    uint32_t r = 0;
    for (int i = 0; i < 32; ++i, dw >>= 1) r = (r << 1) | (dw & 1u);
    return r;
}

// Reflected CRC bit by bit: initial all ones, final complement.
uint32_t nCrcBits(uint32_t dwPolynome, const uint8_t* p, size_t n, uint32_t dwPrecedent) {
    const uint32_t dwR = nReflete(dwPolynome);
    uint32_t c = ~dwPrecedent;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? (c >> 1) ^ dwR : c >> 1;
    }
    return ~c;
}

// MSB-first CRC bit by bit, from 0, no final XOR.
uint32_t nCrcMsbBits(uint32_t dwPolynome, const uint8_t* p, size_t n) {
    uint32_t c = 0;
    for (size_t i = 0; i < n; ++i) {
        for (int k = 7; k >= 0; --k) {
            const uint32_t bit = ((c >> 31) ^ (p[i] >> k)) & 1u;
            c = (c << 1) ^ (bit ? dwPolynome : 0u);
        }
    }
    return c;
}

Octets Genere(size_t n, uint32_t nGraine) {
    std::mt19937 gen(nGraine);
    Octets ab(n);
    for (auto& by : ab) by = static_cast<uint8_t>(gen());
    // Long runs of 0xFF push the Adler-32 sums to their largest values.
    if (n > 64 && (nGraine & 1u)) std::memset(ab.data() + n / 4, 0xFF, n / 2);
    return ab;
}

// zlib's entry points, when the library of this architecture is present.
struct STZlib {
    using PFN_Crc = unsigned long (*)(unsigned long, const unsigned char*, unsigned);
    using PFN_Combine = unsigned long (*)(unsigned long, unsigned long, long);
    void* h = nullptr;
    PFN_Crc pfnCrc32 = nullptr;
    PFN_Crc pfnAdler32 = nullptr;
    PFN_Combine pfnAdlerCombine = nullptr;
    STZlib() {
        h = dlopen("libz.so.1", RTLD_NOW | RTLD_LOCAL);
        if (h == nullptr) return;
        pfnCrc32 = reinterpret_cast<PFN_Crc>(dlsym(h, "crc32"));
        pfnAdler32 = reinterpret_cast<PFN_Crc>(dlsym(h, "adler32"));
        pfnAdlerCombine = reinterpret_cast<PFN_Combine>(dlsym(h, "adler32_combine"));
    }
    ~STZlib() {
        if (h != nullptr) dlclose(h);
    }
    bool bPret() const { return pfnCrc32 != nullptr && pfnAdler32 != nullptr && pfnAdlerCombine != nullptr; }
};

#define ZLIB_OU_SAUTE(z)                                                                        \
    STZlib z;                                                                                   \
    if (!z.bPret()) GTEST_SKIP() << "libz.so.1 of this architecture is not installed: " << dlerror()

// ---------------------------------------------------------------- check values

struct STValeur {
    const char* pszNom;
    uint32_t (*pfn)(const std::string&);
    const char* pszDonnees;
    uint32_t dwAttendu;
};

uint32_t Crc32(const std::string& s) { return CCrc2::nCalculeCRC32(s.data(), s.size()); }
uint32_t Crc32Suite(const std::string& s) {
    const size_t n = s.size() / 2;
    return CCrc2::nCalculeCRC32(s.data() + n, s.size() - n, CCrc2::nCalculeCRC32(s.data(), n));
}
uint32_t Adler1(const std::string& s) { return nAdler32(1, s.data(), s.size()); }
uint32_t Adler0(const std::string& s) { return nAdler32(0, s.data(), s.size()); }
uint32_t Crc16(const std::string& s) { return CCrc16::s_wCalculeCRC(s.data(), s.size()); }
uint32_t Crc16Suite(const std::string& s) {
    CCrc16 cl;
    for (char c : s) cl.AddBuffer(&c, 1);
    return cl.wGetCRC();
}
uint32_t CrcMsb(const std::string& s) { return CCrc().CalculeCRC(s.data(), s.size()); }

const STValeur k_tabValeurs[] = {
    // The published CRC-32, whole and continued; nothing changes nothing.
    {"crc32", Crc32, "123456789", 0xCBF43926u},
    {"crc32 continued", Crc32Suite, "123456789", 0xCBF43926u},
    {"crc32 empty", Crc32, "", 0u},
    {"crc32 a", Crc32, "a", 0xE8B7BE43u},
    // Adler-32 from the published start and from the diff's start of 0.
    {"adler32", Adler1, "Wikipedia", 0x11E60398u},
    {"adler32 empty", Adler1, "", 1u},
    {"adler32 from 0", Adler0, "abc", 0x024A0126u},
    {"adler32 from 0 empty", Adler0, "", 0u},
    // CRC-16 of sCalculeCrc16.
    {"crc16 abc", Crc16, "abc", 0x1EE4u},
    {"crc16", Crc16, "123456789", 0xBEEFu},
    {"crc16 byte by byte", Crc16Suite, "123456789", 0xBEEFu},
    {"crc16 empty", Crc16, "", 0u},
    // MSB-first CRC-32 of the default polynomial, from 0, no final XOR.
    {"msb crc32", CrcMsb, "123456789", 0x89A1897Fu},
};

TEST(Checksum, ValeursPubliees) {
    for (const STValeur& st : k_tabValeurs)
        EXPECT_EQ(st.pfn(st.pszDonnees), st.dwAttendu) << st.pszNom << std::hex << " got " << st.pfn(st.pszDonnees);
}

// ---------------------------------------------------------------- beside zlib

// Lengths around the eight-byte steps and the modulo period of Adler-32.
std::vector<size_t> Longueurs() {
    std::vector<size_t> tab;
    for (size_t n = 0; n <= 40; ++n) tab.push_back(n);
    for (size_t n : {63u, 64u, 65u, 255u, 256u, 1000u, 5551u, 5552u, 5553u, 11104u, 11105u, 65536u, 300007u})
        tab.push_back(n);
    return tab;
}

TEST(Checksum, Crc32CommeZlib) {
    ZLIB_OU_SAUTE(z);
    const Octets ab = Genere(300007 + 8, 3);
    uint32_t nGraine = 1;
    for (size_t n : Longueurs()) {
        for (size_t nDecalage = 0; nDecalage < 8; ++nDecalage) {
            const uint8_t* p = ab.data() + nDecalage;
            const uint32_t dwPrecedent = (nDecalage & 1) ? nGraine * 2654435761u : 0u;
            ++nGraine;
            const auto dwZ = static_cast<uint32_t>(z.pfnCrc32(dwPrecedent, p, static_cast<unsigned>(n)));
            ASSERT_EQ(CCrc2::nCalculeCRC32(p, n, dwPrecedent), dwZ) << "length " << n << " offset " << nDecalage;
        }
    }
}

TEST(Checksum, Adler32CommeZlib) {
    ZLIB_OU_SAUTE(z);
    for (uint32_t nGraine : {4u, 5u}) {
        const Octets ab = Genere(300007 + 8, nGraine);
        uint32_t nDepart = 0;
        for (size_t n : Longueurs()) {
            for (size_t nDecalage = 0; nDecalage < 8; ++nDecalage) {
                const uint8_t* p = ab.data() + nDecalage;
                // From 0, from 1 and from values of both halves below the modulus.
                const uint32_t dwDepart = nDecalage == 0 ? 0u
                                          : nDecalage == 1
                                              ? 1u
                                              : ((nDepart * 7919u) % 65521u) | (((nDepart * 104729u) % 65521u) << 16);
                ++nDepart;
                const auto dwZ = static_cast<uint32_t>(z.pfnAdler32(dwDepart, p, static_cast<unsigned>(n)));
                ASSERT_EQ(nAdler32(dwDepart, p, n), dwZ) << "length " << n << " offset " << nDecalage;
            }
        }
    }
}

TEST(Checksum, Adler32CombineCommeZlib) {
    ZLIB_OU_SAUTE(z);
    const Octets ab = Genere(200000, 7);
    for (size_t nCoupe : {size_t(0), size_t(1), size_t(5552), size_t(65521), size_t(100000), size_t(200000)}) {
        const uint32_t a = nAdler32(1, ab.data(), nCoupe);
        const uint32_t b = nAdler32(1, ab.data() + nCoupe, ab.size() - nCoupe);
        const auto llB = static_cast<int64_t>(ab.size() - nCoupe);
        EXPECT_EQ(nAdler32Combine(a, b, llB), static_cast<uint32_t>(z.pfnAdlerCombine(a, b, static_cast<long>(llB))));
        EXPECT_EQ(nAdler32Combine(a, b, llB), nAdler32(1, ab.data(), ab.size())) << "cut at " << nCoupe;
    }
    EXPECT_EQ(nAdler32Combine(1, 1, -1), 0xFFFFFFFFu);
}

// The same lengths beside the bit-by-bit reference, on every machine: long
// buffers take the folding path where the processor has it.
TEST(Checksum, Crc32CommeReference) {
    const Octets ab = Genere(70000 + 16, 13);
    uint32_t nGraine = 1;
    for (size_t n : {size_t(0), size_t(63), size_t(64), size_t(255), size_t(256), size_t(257), size_t(271),
                     size_t(272), size_t(1000), size_t(4096), size_t(4111), size_t(65536), size_t(70000)}) {
        for (size_t nDecalage : {size_t(0), size_t(1), size_t(7), size_t(15)}) {
            const uint8_t* p = ab.data() + nDecalage;
            const uint32_t dwPrecedent = (nDecalage & 1) ? nGraine * 2654435761u : 0u;
            ++nGraine;
            ASSERT_EQ(CCrc2::nCalculeCRC32(p, n, dwPrecedent), nCrcBits(CCrc2::POLYNOME_DEFAUT, p, n, dwPrecedent))
                << "length " << n << " offset " << nDecalage;
        }
    }
}

// Adler-32 beside its definition, a modulo at every byte, on every machine.
TEST(Checksum, Adler32CommeDefinition) {
    for (uint32_t nGraine : {14u, 15u}) {
        const Octets ab = Genere(20000 + 16, nGraine);
        uint32_t nDepart = 0;
        for (size_t n : {size_t(0), size_t(1), size_t(31), size_t(32), size_t(63), size_t(64), size_t(65), size_t(128),
                         size_t(5535), size_t(5536), size_t(5537), size_t(5552), size_t(11104), size_t(20000)}) {
            for (size_t nDecalage : {size_t(0), size_t(3), size_t(16)}) {
                const uint8_t* p = ab.data() + nDecalage;
                const uint32_t dwDepart =
                    nDecalage == 0 ? 0u : ((nDepart * 7919u) % 65521u) | (((nDepart * 104729u) % 65521u) << 16);
                ++nDepart;
                uint32_t a = dwDepart & 0xFFFFu, b = dwDepart >> 16;
                for (size_t i = 0; i < n; ++i) {
                    a = (a + p[i]) % 65521u;
                    b = (b + a) % 65521u;
                }
                ASSERT_EQ(nAdler32(dwDepart, p, n), a | (b << 16)) << "length " << n << " offset " << nDecalage;
            }
        }
    }
}

// ---------------------------------------------------------------- other polynomials

TEST(Checksum, AutrePolynomeSansToucherLePublie) {
    const Octets ab = Genere(10007, 9);
    struct STCas {
        uint32_t dwPolynome;
        size_t n;
        uint32_t dwPrecedent;
    };
    const STCas k_tab[] = {
        {0x1EDC6F41u, 0, 0},       {0x1EDC6F41u, 9, 0},       {0x1EDC6F41u, 10007, 0x12345678u},
        {0x741B8CD7u, 17, 0},      {0x814141ABu, 1000, 0},    {0x04C11DB7u, 10007, 0xCAFEu},
    };
    for (const STCas& st : k_tab) {
        CCrc2 cl(st.dwPolynome);
        EXPECT_EQ(cl.nCalcule(ab.data(), st.n, st.dwPrecedent),
                  nCrcBits(st.dwPolynome, ab.data(), st.n, st.dwPrecedent))
            << std::hex << st.dwPolynome << " " << st.n;
        CCrc2 clCopie(cl);
        EXPECT_EQ(clCopie.nCalcule(ab.data(), st.n), nCrcBits(st.dwPolynome, ab.data(), st.n, 0));
        // Every other user still gets the published CRC-32.
        EXPECT_EQ(CCrc2::nCalculeCRC32("123456789", 9), 0xCBF43926u);
        EXPECT_EQ(CCrc2().nCalcule("123456789", 9), 0xCBF43926u);
    }
    CCrc2 cl(0x1EDC6F41u);
    cl.SetPolynome(CCrc2::POLYNOME_DEFAUT);
    EXPECT_EQ(cl.nCalcule("123456789", 9), 0xCBF43926u);
    cl = CCrc2(0x1EDC6F41u);
    EXPECT_EQ(cl.nCalcule("123456789", 9), 0xE3069283u);   // the Castagnoli check value
}

TEST(Checksum, CrcMsbCommeReference) {
    const Octets ab = Genere(4099, 11);
    for (uint32_t dwPolynome : {0x04C11DB7u, 0x1EDC6F41u, 0x000000AFu}) {
        CCrc cl(dwPolynome);
        EXPECT_EQ(cl.CalculeCRC(ab.data(), ab.size()), nCrcMsbBits(dwPolynome, ab.data(), ab.size()));
        // Continued in two pieces, then started again.
        cl.CalculeCRC(ab.data(), 1000);
        EXPECT_EQ(cl.AddBuffer(ab.data() + 1000, ab.size() - 1000), nCrcMsbBits(dwPolynome, ab.data(), ab.size()));
        EXPECT_EQ(cl.CalculeCRC(ab.data(), 7), nCrcMsbBits(dwPolynome, ab.data(), 7));
    }
}

}  // namespace
