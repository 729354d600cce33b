// Compressed strings below the language functions: the cause each unusable
// string is refused for, and the user error and message number each cause
// raises.
#include <cstdint>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "blocs.h"
#include "codec/compress_chaine.h"
#include "qvstd/xerror.h"

namespace {

std::string U32(uint32_t n) {
    std::string s(4, '\0');
    std::memcpy(s.data(), &n, 4);
    return s;
}

// Header of a compressed buffer (kind 0) with its method.
std::string Entete(uint32_t dwMethode) { return std::string(1, '\0') + U32(dwMethode); }

std::string Chaine(const blocs::Octets& ab) { return std::string(ab.begin(), ab.end()); }

TEST(ChaineCompressee, EachUnusableStringHasItsCause) {
    CZNBIN clBon;
    std::string sTexte(3000, 'q');
    ASSERT_EQ(g_eCompresseChaine(COMPRESSION_LZW, sTexte.data(), 3000, false, clBon), CHAINE_OK);
    std::string sBon(reinterpret_cast<const char*>(clBon.pGet()), static_cast<size_t>(clBon.nGetTaille()));
    ASSERT_EQ(sBon[5], '\x04');
    struct STCas {
        const char* psz;
        std::string sEntree;
        bool bSansEntete;
        eCHAINE_ECHEC eAttendu;
    };
    const STCas tabCas[] = {
        {"empty", "", false, CHAINE_OK},
        {"method 3", Entete(3), false, CHAINE_ECHEC_METHODE},
        {"header cut", std::string("\x00\x01", 2), false, CHAINE_ECHEC_METHODE},
        {"unknown block method", Entete(1) + "\x09" + U32(1) + "z", false, CHAINE_ECHEC_METHODE},
        {"block cut", sBon.substr(0, sBon.size() - 1), false, CHAINE_ECHEC_ENDOMMAGEE},
        {"stored block one byte short", Entete(1) + std::string(1, '\0') + U32(8) + U32(4) + "abc", false,
         CHAINE_ECHEC_ENDOMMAGEE},
        {"length past the content", Entete(0) + U32(9) + "abc", false, CHAINE_ECHEC_ENDOMMAGEE},
        {"length cut", Entete(0) + "ab", false, CHAINE_ECHEC_ENDOMMAGEE},
        {"damaged short-text form", Entete(2) + "\xFC\x01", false, CHAINE_ECHEC_ENDOMMAGEE},
        {"damaged short-text form without header", "\xFC\x01", true, CHAINE_ECHEC_ENDOMMAGEE},
        {"size past what the block can give", Entete(1) + Chaine(blocs::BlocZLW({98, 257}, 9, 1000)), false,
         CHAINE_ECHEC_TAILLE},
        {"size that no buffer can hold", Entete(1) + Chaine(blocs::Entete(4, blocs::Octets(200000, 0), 0xFFFFFFFEu)),
         false, CHAINE_ECHEC_MEMOIRE},
        {"good", sBon, false, CHAINE_OK},
    };
    for (const auto& st : tabCas) {
        CZNBIN clResultat;
        EXPECT_EQ(g_eDecompresseChaine(st.sEntree.data(), static_cast<uint32_t>(st.sEntree.size()), st.bSansEntete,
                                       clResultat),
                  st.eAttendu)
            << st.psz;
        if (st.eAttendu != CHAINE_OK) {
            EXPECT_EQ(clResultat.nGetTaille(), 0) << st.psz;
        }
    }
}

// Data at fault keeps the compression error's number but not its message.
TEST(ChaineCompressee, EachCauseRaisesItsErrorAndMessage) {
    struct STCas {
        eCHAINE_ECHEC e;
        int nCode;
        int nMessage;
    };
    const STCas tabCas[] = {
        {CHAINE_ECHEC_METHODE, 80550, 3804},
        {CHAINE_ECHEC_MEMOIRE, 80041, 761},
        {CHAINE_ECHEC_ENDOMMAGEE, 80550, 3805},
        {CHAINE_ECHEC_TAILLE, 80550, 3806},
    };
    for (const auto& st : tabCas) {
        CXError clErreur;
        clErreur.AddUserMessage(3804);   // left from an earlier failure: replaced
        g_SignaleEchecChaine(clErreur, st.e);
        EXPECT_TRUE(clErreur.bIsError()) << st.e;
        EXPECT_EQ(clErreur.nGetUserError(), st.nCode) << st.e;
        ASSERT_EQ(clErreur.nNumErrorId(), 1) << st.e;
        EXPECT_EQ(clErreur.nGetErrorId(0), st.nMessage) << st.e;
    }
    CXError clErreur;
    g_SignaleEchecChaine(clErreur, CHAINE_OK);
    EXPECT_FALSE(clErreur.bIsError());
}

}  // namespace
