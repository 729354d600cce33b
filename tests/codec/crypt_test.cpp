// The ciphers: RC5's schedule and round against published values, the
// component's word order and chaining, the fast cipher's rules for short
// texts, both key derivations, and round trips of every size.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "codec/crypt.h"

namespace {

using Octets = std::vector<uint8_t>;

Octets Hex(const std::string& s) {
    Octets ab;
    for (size_t i = 0; i + 1 < s.size(); i += 2) ab.push_back(static_cast<uint8_t>(std::stoul(s.substr(i, 2), nullptr, 16)));
    return ab;
}

std::string VersHex(const uint8_t* p, size_t n) {
    static const char k[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += k[p[i] >> 4];
        s += k[p[i] & 15];
    }
    return s;
}

uint32_t Mot(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24; }

struct STRelache {
    void operator()(CCrypt* p) const { p->Release(); }
};
using Cipher = std::unique_ptr<CCrypt, STRelache>;

// RC5-32 in the published word order: the values of the cipher's original
// description (12 rounds) and values of an independent implementation (16).
TEST(Crypt, Rc5PublishedValues) {
    struct STCas {
        int nTours;
        const char *pszCle, *pszClair, *pszChiffre;
    };
    const STCas tabCas[] = {
        {12, "00000000000000000000000000000000", "0000000000000000", "21a5dbee154b8f6d"},
        {12, "915f4619be41b2516355a50110a9ce91", "21a5dbee154b8f6d", "f7c013ac5b2b8952"},
        {12, "0102030405060708", "1020304050607080", "b6e28703f9c0b32a"},
        {16, "00000000000000000000000000000000", "0000000000000000", "94612d0c3d764fc8"},
        {16, "915f4619be41b2516355a50110a9ce91", "21a5dbee154b8f6d", "a78952d7f0f35712"},
        {16, "0102030405060708", "1020304050607080", "e46264371c5e83f7"},
        {16, "000102030405060708090a0b0c0d0e0f", "1020304050607080", "cef6491636153050"},
    };
    for (const auto& st : tabCas) {
        const Octets abCle = Hex(st.pszCle), abClair = Hex(st.pszClair);
        std::vector<uint32_t> S(2 * st.nTours + 2);
        CCryptRC5::s_ExpandeCle(abCle.data(), abCle.size(), st.nTours, S.data());
        uint32_t A = Mot(abClair.data()), B = Mot(abClair.data() + 4);
        CCryptRC5::s_CrypteBloc(S.data(), st.nTours, &A, &B);
        uint8_t ab[8];
        for (int i = 0; i < 4; ++i) {
            ab[i] = static_cast<uint8_t>(A >> (8 * i));
            ab[4 + i] = static_cast<uint8_t>(B >> (8 * i));
        }
        EXPECT_EQ(VersHex(ab, 8), st.pszChiffre) << st.nTours << " " << st.pszCle;
        CCryptRC5::s_DecrypteBloc(S.data(), st.nTours, &A, &B);
        EXPECT_EQ(A, Mot(abClair.data()));
        EXPECT_EQ(B, Mot(abClair.data() + 4));
    }
}

// One block of the cipher is the published block with its two halves swapped
// on the way in and out.
TEST(Crypt, Rc5BlockHalvesSwapped) {
    struct STCas {
        const char *pszCle, *pszClair, *pszChiffre;
    };
    const STCas tabCas[] = {
        {"915f4619be41b2516355a50110a9ce91", "21a5dbee154b8f6d", "a78952d7f0f35712"},
        {"000102030405060708090a0b0c0d0e0f", "1020304050607080", "cef6491636153050"},
    };
    for (const auto& st : tabCas) {
        CCryptRC5 cl(16);
        const Octets abCle = Hex(st.pszCle);
        ASSERT_TRUE(cl.bSetCryptKey(abCle.data(), 16));
        Octets ab = Hex(st.pszClair);
        std::rotate(ab.begin(), ab.begin() + 4, ab.end());
        cl.Crypt(ab.data(), 8);
        std::rotate(ab.begin(), ab.begin() + 4, ab.end());
        EXPECT_EQ(VersHex(ab.data(), 8), st.pszChiffre);
    }
}

// Whole texts: chaining, and 1, 7 or 3 bytes after the last block.
TEST(Crypt, ExactCiphertexts) {
    struct STCas {
        uint32_t dwMethode;
        const char* pszMotDePasse;
        const char* pszClair;
        const char* pszChiffre;
    };
    const STCas tabCas[] = {
        {CRYPT_RC5_8, "secret", "A", "22"},
        {CRYPT_RC5_8, "secret", "ABCDEFGH", "63d624db372193a9"},
        {CRYPT_RC5_8, "secret", "ABCDEFGHI", "63d624db372193a9e0"},
        {CRYPT_RC5_8, "secret", "ABCDEFGHIJKLMNO", "63d624db372193a9e025100767e2ab"},
        {CRYPT_RC5_8, "secret", "ABCDEFGHIJKLMNOPQRS", "63d624db372193a9d159449fb6f292542a9cdf"},
        {CRYPT_RC5_16, "secret", "A", "10"},
        {CRYPT_RC5_16, "secret", "ABCDEFGHI", "5eea8721bbae13b403"},
        {CRYPT_RC5_16, "secret", "ABCDEFGHIJKLMNOPQRS", "5eea8721bbae13b4cc9d7aab2940781060c20f"},
        {CRYPT_RAPIDE, "secret", "Le chat mange la souris.", "7417132a0fe55d84aae952737e3b146c43e71f076d791bcf"},
    };
    for (const auto& st : tabCas) {
        Cipher pcl(pclCreeCipher(st.dwMethode));
        ASSERT_NE(pcl, nullptr);
        ASSERT_TRUE(pcl->bSetPassword(st.pszMotDePasse));
        std::string s = st.pszClair;
        pcl->Crypt(reinterpret_cast<unsigned char*>(s.data()), static_cast<unsigned>(s.size()));
        EXPECT_EQ(VersHex(reinterpret_cast<const uint8_t*>(s.data()), s.size()), st.pszChiffre) << st.pszClair;
        pcl->Uncrypt(reinterpret_cast<unsigned char*>(s.data()), static_cast<unsigned>(s.size()));
        EXPECT_EQ(s, st.pszClair);
    }
}

// The fast cipher on short texts with the key 00 01 ... 0F: one byte uses
// the key sum, two bytes mix the last into the first, three reach the
// middle-byte rule.
TEST(Crypt, HomeMadeShortTexts) {
    struct STCas {
        const char *pszClair, *pszChiffre;
    };
    const STCas tabCas[] = {{"A", "34"}, {"AB", "e155"}, {"ABC", "3bd3af"}, {"ABCD", "a24c4d16"}, {"", ""}};
    unsigned char abyCle[16];
    for (int i = 0; i < 16; ++i) abyCle[i] = static_cast<unsigned char>(i);
    for (const auto& st : tabCas) {
        CCryptHomeMade cl;
        std::string s = st.pszClair;
        cl.Crypt(reinterpret_cast<unsigned char*>(s.data()), static_cast<unsigned>(s.size()), &abyCle);
        EXPECT_EQ(VersHex(reinterpret_cast<const uint8_t*>(s.data()), s.size()), st.pszChiffre) << st.pszClair;
        cl.Uncrypt(reinterpret_cast<unsigned char*>(s.data()), static_cast<unsigned>(s.size()), &abyCle);
        EXPECT_EQ(s, st.pszClair);
    }
}

TEST(Crypt, KeysFromPasswords) {
    struct STCas {
        std::string sMotDePasse;
        const char *pszFast, *pszRc5;
    };
    const STCas tabCas[] = {
        {"", "5e3c644bc6cbcec959603f846df6f7be", "43e586e76b1784b1ccf51d08e0233ada"},
        {"a", "bdf5ec770c1f2aaa6150a55eb7a8dfce", "93e807c1829efb4628e05e575d6364ec"},
        {"secret", "bdbc353effba2ad1aa17d839b7ef68f5", "20287e9da593fd29f17e5743ff0b57c7"},
        {std::string(16, 'x'), "105d60575e4257619a8f605ddac83d05", "a4555403c5b82383eb69428e7082a9ff"},
        // A first byte above 127 is divided as a negative number.
        {"\xE9t\xE9", "fa65cab49c3de71a7f6d35bc74d8bd48", "50795daccea86b08482de21d194dd96e"},
        // 60 characters: the length overwrites the 0x01 mark.
        {std::string(60, 'y'), "d182110dbc2a481fef76ecec606e686a", "154a0f5271c42430d071991a9ad3c5fa"},
        // Two blocks for the hash, longer than the key for the fast cipher.
        {std::string(100, 'z'), "b0a29349ed781f84cecde0819eff814c", "586e69af2404323362c188ac707f2aa9"},
        // The buffer's key when it is given neither password nor key.
        {"Archive index rebuild finished at once.", "9133c6275492c7bff30f15117e8d75ab", nullptr},
    };
    for (const auto& st : tabCas) {
        unsigned char aby[16];
        CCryptHomeMade clFast;
        clFast.BuildCryptKey(&aby, st.sMotDePasse.c_str());
        EXPECT_EQ(VersHex(aby, 16), st.pszFast) << st.sMotDePasse;
        if (st.pszRc5 == nullptr) continue;
        CCryptRC5 clRc5(8);
        clRc5.BuildCryptKey(&aby, st.sMotDePasse.c_str());
        EXPECT_EQ(VersHex(aby, 16), st.pszRc5) << st.sMotDePasse;
    }
}

TEST(Crypt, RoundTripsOfEverySize) {
    const size_t tabTailles[] = {0, 1, 2, 3, 7, 8, 9, 15, 16, 17, 31, 33, 1000, 64000, 100003};
    const uint32_t tabMethodes[] = {CRYPT_RAPIDE, CRYPT_RC5_8, CRYPT_RC5_16};
    for (uint32_t dwMethode : tabMethodes)
        for (size_t n : tabTailles) {
            std::string s(n, '\0');
            uint32_t x = static_cast<uint32_t>(n) * 7 + dwMethode;
            for (auto& c : s) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 16);
            Cipher pcl(pclCreeCipher(dwMethode));
            ASSERT_TRUE(pcl->bSetPassword("mot de passe"));
            std::string t = s;
            pcl->Crypt(reinterpret_cast<unsigned char*>(t.data()), static_cast<unsigned>(n));
            if (n >= 2) {
                EXPECT_NE(t, s) << dwMethode << " " << n;
            }
            pcl->Uncrypt(reinterpret_cast<unsigned char*>(t.data()), static_cast<unsigned>(n));
            EXPECT_EQ(t, s) << dwMethode << " " << n;
        }
}

TEST(Crypt, CipherByMethod) {
    struct STCas {
        uint32_t dwMethode;
        int nTours;   // 0: the fast cipher, -1: none
    };
    const STCas tabCas[] = {{0, -1}, {1, 0}, {2, 8}, {3, 16}, {4, -1}, {0x10001, -1}};
    for (const auto& st : tabCas) {
        Cipher pcl(pclCreeCipher(st.dwMethode));
        if (st.nTours < 0) {
            EXPECT_EQ(pcl, nullptr) << st.dwMethode;
            continue;
        }
        ASSERT_NE(pcl, nullptr) << st.dwMethode;
        auto* pclRc5 = dynamic_cast<CCryptRC5*>(pcl.get());
        EXPECT_EQ(pclRc5 != nullptr ? pclRc5->nGetTours() : 0, st.nTours);
    }
}

}  // namespace
