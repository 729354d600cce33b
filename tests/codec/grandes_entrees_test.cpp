// Large inputs (64 MB) through every general method: the dictionary coder's
// compressed strings, the three ciphers, the four encodings, and the whole
// encrypted-string chain. Text with a little noise, so that the coder both
// learns and clears its dictionary.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "codec/compress_chaine.h"
#include "codec/crypt.h"
#include "codec/crypt_chaine.h"
#include "codec/encode.h"
#include "qvstd/xerror.h"

namespace {

// The reference build takes the full 64 MB; the sanitizer build, whose
// checks multiply the work, a quarter of it through the same paths.
#if defined(__SANITIZE_ADDRESS__)
constexpr size_t TAILLE = 16u << 20;
#else
constexpr size_t TAILLE = 64u << 20;
#endif

const std::string& Donnees() {
    static const std::string s_s = [] {
        static const char* k_tab[] = {"le ", "chat ", "mange ", "la ", "souris, ", "Le CHIEN dort. ", "42 fois! "};
        std::string s;
        s.reserve(TAILLE + 32);
        uint32_t x = 17;
        while (s.size() < TAILLE) {
            x = x * 1103515245u + 12345u;
            s += k_tab[(x >> 16) % 7];
            if ((x >> 8) % 97 == 0) s += static_cast<char>(x >> 24);
        }
        s.resize(TAILLE);
        return s;
    }();
    return s_s;
}

struct STLibere {
    void operator()(void* p) const { std::free(p); }
};

TEST(GrandesEntrees, CompressedString) {
    CZNBIN clCode, clRetour;
    ASSERT_EQ(g_eCompresseChaine(COMPRESSION_LZW, Donnees().data(), TAILLE, false, clCode), CHAINE_OK);
    EXPECT_LT(clCode.nGetTaille(), static_cast<int>(TAILLE / 3));
    ASSERT_EQ(g_eDecompresseChaine(clCode.pGet(), static_cast<uint32_t>(clCode.nGetTaille()), false, clRetour),
              CHAINE_OK);
    ASSERT_EQ(static_cast<size_t>(clRetour.nGetTaille()), TAILLE);
    EXPECT_TRUE(std::memcmp(clRetour.pGet(), Donnees().data(), TAILLE) == 0);
}

TEST(GrandesEntrees, Ciphers) {
    for (uint32_t dwMethode : {CRYPT_RAPIDE, CRYPT_RC5_8, CRYPT_RC5_16}) {
        std::unique_ptr<CCrypt, void (*)(CCrypt*)> pcl(pclCreeCipher(dwMethode), [](CCrypt* p) { p->Release(); });
        ASSERT_TRUE(pcl->bSetPassword("clé"));
        std::string s = Donnees();
        pcl->Crypt(reinterpret_cast<unsigned char*>(s.data()), static_cast<unsigned>(s.size()));
        EXPECT_NE(s.compare(0, 4096, Donnees(), 0, 4096), 0) << dwMethode;
        pcl->Uncrypt(reinterpret_cast<unsigned char*>(s.data()), static_cast<unsigned>(s.size()));
        EXPECT_TRUE(s == Donnees()) << dwMethode;
    }
}

TEST(GrandesEntrees, Encodings) {
    for (int nEncodeur : {ENCODE_TVR, ENCODE_BASE64, ENCODE_UUENCODE, ENCODE_UUENCODE_STANDARD}) {
        std::unique_ptr<CEncodeBase> pcl(pclGetEncodeur(nEncodeur));
        size_t nTexte = 0, nOctets = 0;
        std::unique_ptr<char, STLibere> psz(pcl->pszEncodeEtAlloue(
            reinterpret_cast<const uint8_t*>(Donnees().data()), TAILLE, ENCODE_GROUPES_PAR_LIGNE, &nTexte));
        ASSERT_NE(psz, nullptr) << nEncodeur;
        std::unique_ptr<uint8_t, STLibere> pby(pcl->pbyDecodeEtAlloue(psz.get(), nTexte, &nOctets));
        ASSERT_NE(pby, nullptr) << nEncodeur;
        ASSERT_EQ(nOctets, TAILLE) << nEncodeur;
        EXPECT_TRUE(std::memcmp(pby.get(), Donnees().data(), TAILLE) == 0) << nEncodeur;
    }
}

TEST(GrandesEntrees, EncryptedStringChain) {
    CXError clErreur;
    std::string s = Donnees();
    const uint32_t dwMethode = COMPRESSION_LZW << 16 | CRYPT_RC5_16;
    ASSERT_TRUE(g_bChaineCrypteEncode(s, "clé", dwMethode, ENCODE_BASE64, clErreur));
    ASSERT_TRUE(g_bChaineDecrypteDecode(s, "clé", dwMethode, ENCODE_BASE64, clErreur));
    EXPECT_TRUE(s == Donnees());
}

}  // namespace
