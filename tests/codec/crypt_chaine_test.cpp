// Encrypted strings: every combination of cipher, compression and encoding
// goes and comes back, the value stays as it is without cipher nor
// compression, and each wrong argument gives its user error.
#include <string>

#include <gtest/gtest.h>

#include "codec/crypt.h"
#include "codec/crypt_chaine.h"
#include "codec/encode.h"
#include "qvstd/xerror.h"

namespace {

std::string Bruit(size_t n) {
    std::string s(n, '\0');
    uint32_t x = 5;
    for (auto& c : s) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 16);
    return s;
}

TEST(CryptChaine, RoundTripsOfEveryCombination) {
    const std::string tabValeurs[] = {"", "a", "Le chat mange la souris, 42 fois!", Bruit(3000),
                                      std::string(20000, 'x') + Bruit(100)};
    for (uint32_t dwCrypt = 0; dwCrypt <= 3; ++dwCrypt)
        for (uint32_t dwCompression = 0; dwCompression <= 2; ++dwCompression)
            for (int nEncodage = 0; nEncodage <= 4; ++nEncodage)
                for (const auto& sValeur : tabValeurs) {
                    // The text coder keeps no NUL byte and is meant for short texts.
                    if (dwCompression == 2 && sValeur.find('\0') != std::string::npos) continue;
                    const uint32_t dwMethode = dwCompression << 16 | dwCrypt;
                    CXError clErreur;
                    std::string s = sValeur;
                    ASSERT_TRUE(g_bChaineCrypteEncode(s, "clé", dwMethode, nEncodage, clErreur))
                        << dwMethode << " " << nEncodage << " " << clErreur.nGetUserError();
                    if (dwMethode == 0) {
                        EXPECT_EQ(s, sValeur) << "unchanged, not encoded";
                    }
                    ASSERT_TRUE(g_bChaineDecrypteDecode(s, "clé", dwMethode, nEncodage, clErreur))
                        << dwMethode << " " << nEncodage << " " << clErreur.nGetUserError();
                    EXPECT_EQ(s, sValeur) << dwMethode << " " << nEncodage << " size " << sValeur.size();
                }
}

TEST(CryptChaine, AnsiFlagIsAccepted) {
    CXError clErreur;
    std::string s = "texte";
    ASSERT_TRUE(g_bChaineCrypteEncode(s, "k", CRYPT_ANSI | CRYPT_RC5_16, ENCODE_BASE64, clErreur));
    ASSERT_TRUE(g_bChaineDecrypteDecode(s, "k", CRYPT_RC5_16, ENCODE_BASE64, clErreur));
    EXPECT_EQ(s, "texte");
}

TEST(CryptChaine, Errors) {
    struct STCas {
        const char* psz;
        bool bCrypte;
        const char* pszMotDePasse;
        uint32_t dwMethode;
        int nErreur;
    };
    const STCas tabCas[] = {
        {"cipher method 4", true, "k", 4, 80280},
        {"cipher method 4, decryption", false, "k", 4, 80280},
        {"compression method 3", true, "k", 3u << 16 | 1, 80550},
        {"compression method 3, decryption", false, "k", 3u << 16, 80550},
        {"empty password", true, "", 1, 80282},
        {"empty password, decryption", false, "", 2, 80282},
        {"compressed content that cannot be read", false, "k", 1u << 16, 80550},
    };
    for (const auto& st : tabCas) {
        CXError clErreur;
        std::string s = "abc";
        const bool b = st.bCrypte ? g_bChaineCrypteEncode(s, st.pszMotDePasse, st.dwMethode, 0, clErreur)
                                  : g_bChaineDecrypteDecode(s, st.pszMotDePasse, st.dwMethode, 0, clErreur);
        EXPECT_FALSE(b) << st.psz;
        EXPECT_EQ(clErreur.nGetUserError(), st.nErreur) << st.psz;
        EXPECT_TRUE(s.empty()) << st.psz;
    }
}

TEST(CryptChaine, WrongPasswordGivesOtherBytes) {
    const uint32_t tabMethodes[] = {CRYPT_RAPIDE, CRYPT_RC5_8, CRYPT_RC5_16};
    for (uint32_t dwMethode : tabMethodes) {
        CXError clErreur;
        std::string s = "Le chat mange la souris.";
        ASSERT_TRUE(g_bChaineCrypte(s, "bon", dwMethode, clErreur));
        ASSERT_TRUE(g_bChaineDecrypte(s, "mauvais", dwMethode, clErreur));
        EXPECT_NE(s, "Le chat mange la souris.") << dwMethode;
    }
}

}  // namespace
