// Faults under the codec functions that write files: encryption and
// decryption (plain, and chained with an encoding through a temporary
// file), encoded files alone, compaction and decompaction.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "banc_fautes.h"
#include "codec/compact.h"
#include "codec/crypt.h"
#include "codec/crypt_fichier.h"
#include "codec/encode.h"
#include "codec/functions.h"
#include "component/compo.h"

// Rows name only the fields they set; GCC 12 still asks for the others.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using namespace fautes;

constexpr int ERREUR_COMPACTE = 80299;
constexpr int k_nEncodageUU = 3;

class FautesCodec : public ::testing::Test {
protected:
    // The user error, or for the encryption functions, which report the
    // stream's failure as it is, the number of its first message.
    STResultat Resultat(bool bSucces) {
        const CXError* pcl = m_clLib.pclGetError();
        const int nErreur = pcl->nGetUserError();
        return {bSucces, nErreur == 0 && pcl->nNumErrorId() > 0 ? pcl->nGetErrorId(0) : nErreur};
    }

    CComposanteStandard m_clLib;
    CNoms m_clNoms;
};

const std::string k_sAncien = "the previous content\n";

// Text that compresses, with noise inside.
std::string Texte() {
    std::string s;
    for (int i = 0; s.size() < 150000; ++i) s += "line " + std::to_string(i) + " of the text " + Bruit(7, i) + "\n";
    return s;
}

TEST_F(FautesCodec, EveryWriterKeepsItsPromises) {
    const std::string sClair = Bruit(150000, 23), sTexte = Texte();
    // The sources, and a previous destination.
    auto fnClair = [&](const std::string& sRep) {
        EcritFichier(sRep + "/clair.bin", sClair);
        EcritFichier(sRep + "/cible.bin", k_sAncien);
    };
    // An encrypted (and maybe encoded) source; the plain text is gone.
    auto fnChiffre = [&](int nEncodage) {
        return [&, nEncodage](const std::string& sRep) {
            EcritFichier(sRep + "/clair.bin", sClair);
            CXError clErreur;
            ASSERT_TRUE(g_bfCrypteEncode((sRep + "/clair.bin").c_str(), (sRep + "/chiffre.bin").c_str(), "secret",
                                         CRYPT_RC5_16, nEncodage, clErreur));
            ASSERT_EQ(unlink((sRep + "/clair.bin").c_str()), 0);
            EcritFichier(sRep + "/cible.bin", k_sAncien);
        };
    };
    auto fnDechiffre = [&](int nEncodage) {
        return [&, nEncodage](const std::string& sRep) {
            m_clLib.RAZError();
            return Resultat(codec::fDecrypte(m_clLib, m_clNoms.Nom(sRep + "/chiffre.bin"),
                                             m_clNoms.Nom(sRep + "/cible.bin"), "secret", int(CRYPT_RC5_16),
                                             nEncodage));
        };
    };
    auto fnChiffre2 = [&](int nEncodage) {
        return [&, nEncodage](const std::string& sRep) {
            m_clLib.RAZError();
            return Resultat(codec::fCrypte(m_clLib, m_clNoms.Nom(sRep + "/clair.bin"), m_clNoms.Nom(sRep + "/cible.bin"),
                                           "secret", int(CRYPT_RC5_16), nEncodage));
        };
    };
    auto fnClairAttendu = [&](const std::string&, Arbre& a) { a["cible.bin"] = sClair; };
    // A failed write or flush is named by the stream's message, or by the
    // encoder's when the destination could not be put in place.
    const std::vector<int> tabErreursCrypt = {28008, 28001, 28257};
    const std::vector<STEcrivain> tab = {
        {.sNom = "fCrypte", .fnPrepare = fnClair, .fnAppel = fnChiffre2(ENCODE_AUCUN), .tabErreurs = tabErreursCrypt},
        {.sNom = "fCrypte with an encoding",
         .fnPrepare = fnClair,
         .fnAppel = fnChiffre2(k_nEncodageUU),
         .tabErreurs = tabErreursCrypt},
        {.sNom = "fDecrypte",
         .fnPrepare = fnChiffre(ENCODE_AUCUN),
         .fnAppel = fnDechiffre(ENCODE_AUCUN),
         .fnAttendu = fnClairAttendu,
         .tabErreurs = tabErreursCrypt},
        {.sNom = "fDecrypte with an encoding",
         .fnPrepare = fnChiffre(k_nEncodageUU),
         .fnAppel = fnDechiffre(k_nEncodageUU),
         .fnAttendu = fnClairAttendu,
         .tabErreurs = tabErreursCrypt},
        {.sNom = "encoded file (fCrypte without a cipher)",
         .fnPrepare = fnClair,
         .fnAppel = [&](const std::string& sRep) {
             m_clLib.RAZError();
             return Resultat(codec::fCrypte(m_clLib, m_clNoms.Nom(sRep + "/clair.bin"),
                                            m_clNoms.Nom(sRep + "/cible.bin"), "secret", int(CRYPT_AUCUN),
                                            ENCODE_BASE64));
         },
         .tabErreurs = tabErreursCrypt},
        {.sNom = "decoded file (fDecrypte without a cipher)",
         .fnPrepare = [&](const std::string& sRep) {
             EcritFichier(sRep + "/clair.bin", sClair);
             CXError clErreur;
             ASSERT_TRUE(g_bfEncode((sRep + "/clair.bin").c_str(), (sRep + "/code.txt").c_str(), ENCODE_BASE64,
                                    clErreur));
             ASSERT_EQ(unlink((sRep + "/clair.bin").c_str()), 0);
             EcritFichier(sRep + "/cible.bin", k_sAncien);
         },
         .fnAppel = [&](const std::string& sRep) {
             m_clLib.RAZError();
             return Resultat(codec::fDecrypte(m_clLib, m_clNoms.Nom(sRep + "/code.txt"),
                                              m_clNoms.Nom(sRep + "/cible.bin"), "secret", int(CRYPT_AUCUN),
                                              ENCODE_BASE64));
         },
         .fnAttendu = fnClairAttendu,
         .tabErreurs = tabErreursCrypt},
        {.sNom = "fCompacte",
         .fnPrepare = [&](const std::string& sRep) {
             EcritFichier(sRep + "/texte.txt", sTexte);
             EcritFichier(sRep + "/cible.qvc", k_sAncien);
         },
         .fnAppel = [&](const std::string& sRep) {
             m_clLib.RAZError();
             const int n =
                 codec::fCompacte(m_clLib, m_clNoms.Nom(sRep + "/texte.txt"), m_clNoms.Nom(sRep + "/cible.qvc"));
             return Resultat(n == COMPACT_OK);
         },
         // The archive records its source's path: the reference is made
         // in the same folder, before the faults.
         .fnAttendu = [&](const std::string& sRep, Arbre& a) {
             ASSERT_EQ(nfCompacte((sRep + "/texte.txt").c_str(), (sRep + "/ref.qvc").c_str()), COMPACT_OK);
             a = ArbreDe(sRep);
             ASSERT_EQ(unlink((sRep + "/ref.qvc").c_str()), 0);
             a["cible.qvc"] = a["ref.qvc"];
             a.erase("ref.qvc");
         },
         .tabErreurs = {ERREUR_COMPACTE + COMPACT_CREATION, ERREUR_COMPACTE + COMPACT_ECRITURE,
                        ERREUR_COMPACTE + COMPACT_DISQUE_PLEIN}},
        {.sNom = "fDecompacte",
         .fnPrepare = [&](const std::string& sRep) {
             EcritFichier(sRep + "/texte.txt", sTexte);
             ASSERT_EQ(nfCompacte((sRep + "/texte.txt").c_str(), (sRep + "/archive.qvc").c_str()), COMPACT_OK);
             ASSERT_EQ(unlink((sRep + "/texte.txt").c_str()), 0);
             EcritFichier(sRep + "/cible.txt", k_sAncien);
         },
         .fnAppel = [&](const std::string& sRep) {
             // No user error here: the code is the answer.
             const int n = codec::fDecompacte(m_clLib, m_clNoms.Nom(sRep + "/archive.qvc"),
                                              m_clNoms.Nom(sRep + "/cible.txt"), 0);
             return STResultat{n == COMPACT_OK, n};
         },
         .fnAttendu = [&](const std::string&, Arbre& a) { a["cible.txt"] = sTexte; },
         .tabErreurs = {COMPACT_CREATION, COMPACT_DISQUE_PLEIN}},
    };
    for (const STEcrivain& st : tab) Eprouve(st);
}

}  // namespace
