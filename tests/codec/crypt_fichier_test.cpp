// Encrypted files: the layout (checksum, then 64000-byte pieces each
// encrypted alone), round trips with every method and encoding, a source
// that is its own destination, and failures that leave no destination.
#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "codec/crypt.h"
#include "codec/crypt_fichier.h"
#include "codec/encode.h"
#include "common/temp_dir.h"
#include "qvstd/xerror.h"
#include "runtime/error/dllres.h"

namespace {

std::string Lit(const std::string& sNom) {
    std::ifstream f(sNom, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void Ecrit(const std::string& sNom, const std::string& s) {
    std::ofstream f(sNom, std::ios::binary | std::ios::trunc);
    f.write(s.data(), static_cast<std::streamsize>(s.size()));
}

bool Existe(const std::string& sNom) {
    struct stat st;
    return stat(sNom.c_str(), &st) == 0;
}

std::string Bruit(size_t n, uint32_t x = 3) {
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 16);
    return s;
}

struct STRelache {
    void operator()(CCrypt* p) const { p->Release(); }
};

TEST(CryptFichier, Layout) {
    CRepTemporaire clRep;
    ASSERT_TRUE(clRep.bOk());
    const std::string sClair = Bruit(64000 * 2 + 11);
    Ecrit(clRep.sChemin("a"), sClair);
    CXError clErreur;
    ASSERT_TRUE(g_bfCrypte(clRep.sChemin("a").c_str(), clRep.sChemin("b").c_str(), "pw", CRYPT_RC5_16, clErreur));
    const std::string sChiffre = Lit(clRep.sChemin("b"));
    ASSERT_EQ(sChiffre.size(), sClair.size() + 4);
    uint32_t dwSomme = 0;
    for (unsigned char c : sClair) dwSomme += c;
    EXPECT_EQ(sChiffre.substr(0, 4), std::string(reinterpret_cast<const char*>(&dwSomme), 4));
    // Each piece on its own, the chaining restarted.
    std::unique_ptr<CCrypt, STRelache> pcl(pclCreeCipher(CRYPT_RC5_16));
    ASSERT_TRUE(pcl->bSetPassword("pw"));
    for (size_t nDebut = 0; nDebut < sClair.size(); nDebut += 64000) {
        std::string sPiece = sClair.substr(nDebut, 64000);
        pcl->Crypt(reinterpret_cast<unsigned char*>(sPiece.data()), static_cast<unsigned>(sPiece.size()));
        EXPECT_EQ(sChiffre.substr(4 + nDebut, sPiece.size()), sPiece) << nDebut;
    }
}

TEST(CryptFichier, RoundTrips) {
    const size_t tabTailles[] = {0, 1, 9, 63999, 64000, 64001, 200000};
    for (uint32_t dwMethode = 0; dwMethode <= 3; ++dwMethode)
        for (int nEncodage = 0; nEncodage <= 4; ++nEncodage)
            for (size_t n : tabTailles) {
                if (n > 64001 && nEncodage != 0 && dwMethode != 3) continue;   // the long cases once per encoding
                CRepTemporaire clRep;
                ASSERT_TRUE(clRep.bOk());
                const std::string sClair = Bruit(n, static_cast<uint32_t>(n));
                Ecrit(clRep.sChemin("clair"), sClair);
                CXError clErreur;
                const std::string sCas = std::to_string(dwMethode) + "/" + std::to_string(nEncodage) + "/" +
                                         std::to_string(n);
                ASSERT_TRUE(g_bfCrypteEncode(clRep.sChemin("clair").c_str(), clRep.sChemin("code").c_str(), "pw",
                                             dwMethode, nEncodage, clErreur))
                    << sCas << " " << clErreur.nGetUserError();
                ASSERT_TRUE(g_bfDecrypteDecode(clRep.sChemin("code").c_str(), clRep.sChemin("retour").c_str(), "pw",
                                               dwMethode, nEncodage, clErreur))
                    << sCas << " " << clErreur.nGetUserError();
                EXPECT_EQ(Lit(clRep.sChemin("retour")), sClair) << sCas;
                // Nothing but the three files is left behind.
                int nFichiers = 0;
                for (const char* psz : {"clair", "code", "retour"}) nFichiers += Existe(clRep.sChemin(psz));
                EXPECT_EQ(nFichiers, 3) << sCas;
            }
}

TEST(CryptFichier, SourceIsTheDestination) {
    const uint32_t tabMethodes[] = {CRYPT_RAPIDE, CRYPT_RC5_8, CRYPT_RC5_16};
    for (uint32_t dwMethode : tabMethodes)
        for (int nEncodage : {0, 2}) {
            CRepTemporaire clRep;
            const std::string sNom = clRep.sChemin("f");
            const std::string sClair = Bruit(150000);
            Ecrit(sNom, sClair);
            CXError clErreur;
            ASSERT_TRUE(g_bfCrypteEncode(sNom.c_str(), sNom.c_str(), "pw", dwMethode, nEncodage, clErreur));
            EXPECT_NE(Lit(sNom), sClair);
            ASSERT_TRUE(g_bfDecrypteDecode(sNom.c_str(), sNom.c_str(), "pw", dwMethode, nEncodage, clErreur));
            EXPECT_EQ(Lit(sNom), sClair) << dwMethode << " " << nEncodage;
        }
}

TEST(CryptFichier, FailuresLeaveNoDestination) {
    struct STCas {
        const char* psz;
        std::string sSource;   // the bytes given to fDécrypte
        const char* pszMotDePasse;
        uint32_t dwMethode;
        int nErreur;     // user error, or 0
        int nMessage;    // message expected in the error, or 0
    };
    CRepTemporaire clRep;
    const std::string sClair = Bruit(1000);
    Ecrit(clRep.sChemin("clair"), sClair);
    CXError clErreur;
    ASSERT_TRUE(g_bfCrypte(clRep.sChemin("clair").c_str(), clRep.sChemin("code").c_str(), "bon", 2, clErreur));
    std::string sCode = Lit(clRep.sChemin("code"));
    std::string sAbime = sCode;
    sAbime[500] ^= 0x10;
    const STCas tabCas[] = {
        {"wrong password", sCode, "mauvais", 2, 0, 28279},
        {"damaged byte", sAbime, "bon", 2, 0, 28279},
        {"cut short", sCode.substr(0, 3), "bon", 2, 0, 28279},
        {"empty password", sCode, "", 2, 80282, 0},
        {"method above 3", sCode, "bon", 4, 80280, 0},
    };
    for (const auto& st : tabCas) {
        Ecrit(clRep.sChemin("entree"), st.sSource);
        CXError cl;
        EXPECT_FALSE(g_bfDecrypteDecode(clRep.sChemin("entree").c_str(), clRep.sChemin("sortie").c_str(),
                                        st.pszMotDePasse, st.dwMethode, 0, cl))
            << st.psz;
        EXPECT_TRUE(cl.bIsError()) << st.psz;
        if (st.nErreur != 0) {
            EXPECT_EQ(cl.nGetUserError(), st.nErreur) << st.psz;
        }
        if (st.nMessage != 0) {
            char sz[512] = {};
            DLLRES_nLoadString(st.nMessage, sz, sizeof sz);
            ASSERT_NE(sz[0], 0);
            EXPECT_NE(std::string(cl.pszGetUserMessage()).find(sz), std::string::npos)
                << st.psz << ": " << cl.pszGetUserMessage();
        }
        EXPECT_FALSE(Existe(clRep.sChemin("sortie"))) << st.psz;
    }
    // A missing source: the file's own error, no destination.
    CXError cl;
    EXPECT_FALSE(g_bfCrypte(clRep.sChemin("absent").c_str(), clRep.sChemin("sortie").c_str(), "k", 1, cl));
    EXPECT_TRUE(cl.bIsError());
    EXPECT_FALSE(Existe(clRep.sChemin("sortie")));
    // An existing destination stays whole when decryption fails.
    Ecrit(clRep.sChemin("sortie"), "garde");
    EXPECT_FALSE(g_bfDecrypte(clRep.sChemin("code").c_str(), clRep.sChemin("sortie").c_str(), "mauvais", 2, cl));
    EXPECT_EQ(Lit(clRep.sChemin("sortie")), "garde");
}

}  // namespace
