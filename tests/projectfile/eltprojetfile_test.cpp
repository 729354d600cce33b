// Element files: the layout the writer produces (offsets, header fields,
// the chain of versions), reading it back, and files that must be refused
// with their message: a foreign signature, a wrong type, short headers, a
// chain that goes back or out of the file, counts larger than the file.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "codec/buffer.h"
#include "elt_test_util.h"
#include "projectfile/eltprojetfile.h"

namespace elttest {
namespace {

const std::vector<Octets> k_tabTroisParties = {Partie(10, 1), Partie(20, 2), Partie(30, 3)};

// ---------------------------------------------------------------- layout written

TEST(EltProjetFile, DispositionEcrite) {
    const uint8_t byProduit = CQVFile::s_byGetCodeProduitCourant();
    CQVFile::s_SetCodeProduitCourant(7);
    const Octets ab = Fichier({k_tabTroisParties});
    CQVFile::s_SetCodeProduitCourant(byProduit);
    ASSERT_EQ(ab.size(), 184u);
    // General header.
    EXPECT_EQ(std::memcmp(ab.data(), "TVR\0", 4), 0);
    EXPECT_EQ(Lit<uint32_t>(ab, 4), 20u);
    EXPECT_EQ(Lit<uint32_t>(ab, 8), 0x10001u);
    EXPECT_EQ(Lit<uint16_t>(ab, 12), 0u);
    EXPECT_EQ(ab[14], 15u);
    EXPECT_EQ(ab[15], 7u);
    EXPECT_EQ(Lit<uint16_t>(ab, 16), 0u);
    EXPECT_EQ(Lit<uint32_t>(ab, 20), 1u);   // record counter
    // The only version header, at 24: 57 + 4 + 13 x 3 = 100 bytes.
    EXPECT_EQ(Lit<uint64_t>(ab, 24), 0u);
    EXPECT_EQ(Lit<uint32_t>(ab, 24 + 8), 92u);
    EXPECT_EQ(Lit<uint32_t>(ab, 24 + 12), 0x000A0000u);
    EXPECT_EQ(Lit<uint64_t>(ab, 24 + 16), 57u);
    EXPECT_EQ(Lit<uint64_t>(ab, 24 + 24), 0u);
    EXPECT_EQ(Lit<uint32_t>(ab, 24 + 32), 0x00098000u);
    const uint16_t awProduit[5] = {15, 0, 0, 7, 1};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Lit<uint16_t>(ab, 24 + 36 + 2 * i), awProduit[i]);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(ab.data() + 24 + 46)), "v1");
    EXPECT_EQ(Lit<uint32_t>(ab, 24 + 57), 3u);
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(ab[24 + 61 + 5 * i], i + 1);
        EXPECT_EQ(Lit<uint32_t>(ab, 24 + 61 + 5 * i + 1), 10 * (i + 1));
        EXPECT_EQ(Lit<uint32_t>(ab, 24 + 61 + 15 + 8 * i), 100 + i);
    }
    // The parts at 124, 134 and 154.
    EXPECT_EQ(Octets(ab.begin() + 124, ab.begin() + 134), k_tabTroisParties[0]);
    EXPECT_EQ(Octets(ab.begin() + 134, ab.begin() + 154), k_tabTroisParties[1]);
    EXPECT_EQ(Octets(ab.begin() + 154, ab.begin() + 184), k_tabTroisParties[2]);
}

TEST(EltProjetFile, NouvelleVersionEnFin) {
    const Octets ab = Fichier({k_tabTroisParties, k_tabTroisParties});
    ASSERT_EQ(ab.size(), 184u + 100 + 60);
    EXPECT_EQ(Lit<uint64_t>(ab, 24), 160u);    // 184 - 24
    EXPECT_EQ(Lit<uint64_t>(ab, 184), 0u);     // the newest
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(ab.data() + 184 + 46)), "v2");
    EXPECT_EQ(Octets(ab.begin() + 284, ab.end()), Octets(ab.begin() + 124, ab.begin() + 184));
}

TEST(EltProjetFile, RelectureDesVersions) {
    const std::vector<Octets> tabV2 = {Partie(10, 1), Partie(45, 9), Partie(30, 3)};
    const Octets ab = Fichier({k_tabTroisParties, tabV2, tabV2});
    CLecture cl(ab);
    ASSERT_TRUE(cl->bReadHeader()) << cl->pclGetXError()->pszGetDebugMessage();
    EXPECT_EQ(cl->dwGetTypeFichier(), 0x10001u);
    EXPECT_EQ(cl->dwGetCptEnreg(), 1u);
    ASSERT_EQ(cl->nNbVersion(), 3u);
    EXPECT_EQ(cl->nGetVersionCourante(), 3u);
    EXPECT_EQ(cl->oGetOffsetVersion(1), 24);
    EXPECT_EQ(cl->oGetOffsetVersion(2), 184);
    EXPECT_EQ(cl->oGetOffsetVersion(0), cl->oGetOffsetVersion(3));
    EXPECT_EQ(cl->oGetOffsetVersion(4), -1);
    EXPECT_STREQ(cl->stGetEnteteVersion().szTexte, "v3");
    const std::vector<std::vector<Octets>> tabAttendu = {k_tabTroisParties, tabV2, tabV2};
    for (uint32_t v = 1; v <= 3; ++v) {
        ASSERT_TRUE(cl->bLitVersion(v));
        ASSERT_EQ(cl->dwGetNbPartie(), 3u);
        EXPECT_EQ(cl->qwGetTailleEnteteVersion(), 100u);
        for (uint32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(cl->byGetOptionPartie(i), i + 1);
            EXPECT_EQ(cl->byGetTypePartie(i), i + 1);
            EXPECT_EQ(cl->nGetInfoEncodagePartie(i), 100 + i);
            EXPECT_EQ(cl->dwGetTaillePartie(i), tabAttendu[v - 1][i].size());
            CQVBuffer clPartie;
            ASSERT_TRUE(cl->bGetPartie(i, clPartie));
            const uint8_t* p = clPartie.pbyGetUncodedBuffer();
            EXPECT_EQ(Octets(p, p + clPartie.dwGetSizeDirect()), tabAttendu[v - 1][i])
                << "version " << v << " part " << i;
        }
    }
    EXPECT_EQ(cl->oGetOffsetPartie(0), cl->oGetOffsetVersion(3) + 100);
    EXPECT_EQ(cl->oGetOffsetPartie(3), -1);
    EXPECT_FALSE(cl->bLitVersion(4));
}

TEST(EltProjetFile, TypesDesParties) {
    struct STCas {
        std::vector<uint8_t> tabOptions;
        uint8_t byType;
        int nIndex;
        std::vector<bool> tabQVL;
    };
    const STCas k_tab[] = {
        {{0x12, 0x21, 0x03}, 1, 1, {false, true, true}},
        {{0x00, 0x00, 0x05}, 0, 0, {false, true, false}},   // type 0 counts only as part 1
        {{0x02, 0x04, 0x06}, 3, -1, {false, false, false}},
    };
    for (const STCas& st : k_tab) {
        CMemoryStream* pclFlux = pclFluxNeuf();
        {
            CEltProjetFile cl(pclFlux);
            cl.SetNbPartie(3);
            for (uint32_t i = 0; i < 3; ++i) cl.bInitPartie(i, st.tabOptions[i]);
            ASSERT_TRUE(cl.bWriteHeader());
            EXPECT_EQ(cl.nType2Partie(st.byType), st.nIndex);
            for (uint32_t i = 0; i < 3; ++i) {
                EXPECT_EQ(cl.bPartieQVL(i), st.tabQVL[i]) << i;
                EXPECT_EQ(cl.byGetTypePartie(i), st.tabOptions[i] & 0x0F);
            }
        }
        pclFlux->Release();
    }
}

TEST(EltProjetFile, IdentifiantsReconnus) {
    const std::pair<uint32_t, bool> k_tab[] = {
        {0, false},        {1, true},         {0x10007, true},   {0x10008, false},  {0x60001, true},
        {0x60002, false},  {0x70006, true},   {0x70007, false},  {0xA0001, true},   {0xB0005, true},
        {0xC0006, false},  {0xE0003, true},   {0x100002, true},  {0x110005, true},  {0x120001, true},
        {0x130001, true},  {0x140001, false}, {0x160001, true},  {0x160002, false},
    };
    for (const auto& [dw, b] : k_tab) EXPECT_EQ(CQVFile::bIdReconnu(dw), b) << std::hex << dw;
}

TEST(EltProjetFile, EcrasementDeplaceLaSuite) {
    const std::vector<Octets> tabV2 = {Partie(10, 1), Partie(5, 8), Partie(30, 3)};
    const Octets ab = Fichier({k_tabTroisParties, tabV2});
    ASSERT_EQ(ab.size(), 184u + 100 + 45);
    CLecture cl(ab);
    ASSERT_TRUE(cl->bReadHeader());
    EXPECT_EQ(cl->oGetOffsetPartie(2), 184 + 100 + 15);
    CQVBuffer clPartie;
    ASSERT_TRUE(cl->bGetPartie(2, clPartie));
    EXPECT_EQ(Octets(clPartie.pbyGetUncodedBuffer(), clPartie.pbyGetUncodedBuffer() + 30), tabV2[2]);
}

// ---------------------------------------------------------------- refusals

struct STRefus {
    const char* pszCas;
    std::function<void(Octets&)> pfnAbime;
    int nMessage;          // user message expected in the error
    const char* pszDebug;  // part of the debug line, or "" for none in particular
};

// The numbered messages the error holds.
std::string sMessages(const CXError* pcl) {
    std::string s;
    for (int i = 0; pcl != nullptr && i < pcl->nNumErrorId(); ++i) s += std::to_string(pcl->nGetErrorId(i)) + " ";
    return s;
}

TEST(EltProjetFile, FichiersRefuses) {
    const Octets abSain = Fichier({k_tabTroisParties, k_tabTroisParties});
    const STRefus k_tab[] = {
        {"foreign signature", [](Octets& ab) { ab[0] = 'X'; }, 28555, "Signature"},
        {"signature without its zero", [](Octets& ab) { ab[3] = 'Q'; }, 28555, "Signature"},
        {"header size below 20", [](Octets& ab) { Ecrit<uint32_t>(ab, 4, 19); }, 28011, "Taille ent"},
        {"shorter than the general header", [](Octets& ab) { ab.resize(12); }, 28555, "Octet attendu"},
        {"no record counter", [](Octets& ab) { ab.resize(22); }, 28010, "Octet attendu"},
        {"major version 0", [](Octets& ab) { Ecrit<uint32_t>(ab, 184 + 12, 0x0000FFFF); }, 28010, "majeure"},
        {"oldest readable version above ours", [](Octets& ab) { Ecrit<uint32_t>(ab, 184 + 32, 0x000B0000); },
         28010, "majeure"},
        {"chain step shorter than a header", [](Octets& ab) { Ecrit<uint64_t>(ab, 24, 23); }, 28010,
         "Octet attendu"},
        {"chain out of the file", [](Octets& ab) { Ecrit<uint64_t>(ab, 24, 1000); }, 28010, "Octet attendu"},
        {"chain ending on the last bytes", [](Octets& ab) { Ecrit<uint64_t>(ab, 24, ab.size() - 24 - 4); }, 28010,
         "Octet attendu"},
        {"chain step of 2^64 - 8", [](Octets& ab) { Ecrit<uint64_t>(ab, 24, ~uint64_t(7)); }, 28010,
         "Octet attendu"},
        {"no parts", [](Octets& ab) { Ecrit<uint32_t>(ab, 184 + 57, 0); }, 28010, ""},
        {"more parts than bytes", [](Octets& ab) { Ecrit<uint32_t>(ab, 184 + 57, 0x7FFFFFFF); }, 28010,
         "Octet attendu"},
        {"part count times 13 past 32 bits", [](Octets& ab) { Ecrit<uint32_t>(ab, 184 + 57, 0x13B13B14); }, 28010,
         "Octet attendu"},
        {"part tables past the file", [](Octets& ab) { Ecrit<uint64_t>(ab, 184 + 16, 1u << 20); }, 28010,
         "Octet attendu"},
        {"part tables at the last byte", [](Octets& ab) { Ecrit<uint64_t>(ab, 184 + 16, ab.size() - 184 - 1); },
         28010, "Octet attendu"},
        {"part past the end of the file", [](Octets& ab) { Ecrit<uint32_t>(ab, 184 + 61 + 11, 31); }, 28010,
         "Octet attendu"},
        {"part size of 4 GB", [](Octets& ab) { Ecrit<uint32_t>(ab, 184 + 61 + 1, 0xFFFFFFFF); }, 28010,
         "Octet attendu"},
        {"newest version cut", [](Octets& ab) { ab.resize(184 + 50); }, 28010, "Octet attendu"},
    };
    for (const STRefus& st : k_tab) {
        Octets ab = abSain;
        st.pfnAbime(ab);
        CLecture cl(ab);
        EXPECT_FALSE(cl->bReadHeader()) << st.pszCas;
        const CXError* pcl = cl->pclGetXError();
        ASSERT_NE(pcl, nullptr);
        EXPECT_EQ(pcl->eGetErrorLevel(), EL_FATAL) << st.pszCas;
        EXPECT_NE(sMessages(pcl).find(std::to_string(st.nMessage)), std::string::npos)
            << st.pszCas << ": " << sMessages(pcl);
        EXPECT_NE(std::string(pcl->pszGetDebugMessage()).find(st.pszDebug), std::string::npos)
            << st.pszCas << ": " << pcl->pszGetDebugMessage();
    }
}

TEST(EltProjetFile, TypeAttendu) {
    const Octets ab = Fichier({k_tabTroisParties}, 0x70003);
    struct STCas {
        uint32_t dwAttendu;
        bool bLu;
    };
    for (const STCas& st : {STCas{0, true}, STCas{0x70003, true}, STCas{0x70004, false}}) {
        CLecture cl(ab);
        cl->SetTypeFichier(st.dwAttendu);
        EXPECT_EQ(cl->bReadHeader(), st.bLu) << st.dwAttendu;
        if (st.bLu) {
            EXPECT_EQ(cl->dwGetTypeFichier(), 0x70003u);
        } else {
            EXPECT_NE(sMessages(cl->pclGetXError()).find("28259"), std::string::npos);
        }
    }
}

// ---------------------------------------------------------------- accepted variants

// A general header of 24 bytes: the counter at 24, the first version at 28.
TEST(EltProjetFile, EnteteGeneralePlusLongue) {
    Octets ab = Fichier({k_tabTroisParties});
    Octets abLong(ab.begin(), ab.begin() + 20);
    Ecrit<uint32_t>(abLong, 4, 24);
    abLong.insert(abLong.end(), {0xEE, 0xEE, 0xEE, 0xEE});
    Octets abCompteur = {5, 0, 0, 0};
    abLong.insert(abLong.end(), abCompteur.begin(), abCompteur.end());
    abLong.insert(abLong.end(), ab.begin() + 24, ab.end());
    CLecture cl(abLong);
    ASSERT_TRUE(cl->bReadHeader()) << cl->pclGetXError()->pszGetDebugMessage();
    EXPECT_EQ(cl->dwGetTailleEntete(), 24u);
    EXPECT_EQ(cl->dwGetCptEnreg(), 5u);
    EXPECT_EQ(cl->oGetOffsetVersion(1), 28);
    EXPECT_EQ(cl->oGetOffsetPartie(0), 128);
}

// A header of major version 1 keeps its tables at 32 whatever it says, and
// has neither the readable version, the product version nor the text.
TEST(EltProjetFile, EnteteVersionMajeure1) {
    Octets ab(24);
    std::memcpy(ab.data(), "TVR\0", 4);
    Ecrit<uint32_t>(ab, 4, 20);
    Ecrit<uint32_t>(ab, 20, 1);
    Octets abEntete(32 + 4 + 10, 0);
    Ecrit<uint32_t>(abEntete, 8, uint32_t(abEntete.size() - 8));
    Ecrit<uint32_t>(abEntete, 12, 0x00010000);
    Ecrit<uint64_t>(abEntete, 16, 9999);            // ignored
    Ecrit<uint32_t>(abEntete, 32, 2);               // two parts, 5-byte entries only
    abEntete[36] = 0x01;
    Ecrit<uint32_t>(abEntete, 37, 3);
    abEntete[41] = 0x02;
    Ecrit<uint32_t>(abEntete, 42, 4);
    ab.insert(ab.end(), abEntete.begin(), abEntete.end());
    ab.insert(ab.end(), {'a', 'b', 'c', 'W', 'X', 'Y', 'Z'});
    CLecture cl(ab);
    ASSERT_TRUE(cl->bReadHeader()) << cl->pclGetXError()->pszGetDebugMessage();
    EXPECT_EQ(cl->stGetEnteteVersion().qwOffsetTables, 24u + 32);
    ASSERT_EQ(cl->dwGetNbPartie(), 2u);
    EXPECT_EQ(cl->nGetOffsetEncodagePartie(0), 0u);
    EXPECT_EQ(cl->oGetOffsetPartie(1), 24 + 46 + 3);
    CQVBuffer clPartie;
    ASSERT_TRUE(cl->bGetPartie(1, clPartie));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(clPartie.pbyGetUncodedBuffer()), 4), "WXYZ");
}

TEST(EltProjetFile, TexteSansZeroIgnore) {
    Octets ab = Fichier({k_tabTroisParties});
    std::memset(ab.data() + 24 + 46, 'x', 11);
    CLecture cl(ab);
    ASSERT_TRUE(cl->bReadHeader());
    EXPECT_STREQ(cl->stGetEnteteVersion().szTexte, "");
}

TEST(EltProjetFile, PartieCoupeeApresLecture) {
    const Octets ab = Fichier({k_tabTroisParties});
    CLecture cl(ab);
    ASSERT_TRUE(cl->bReadHeader());
    // The stream loses its end after the header was read.
    ASSERT_TRUE(cl.pclFlux()->bSetSize(170, IXStream::eGROW_ABSOLUTE));
    CQVBuffer clPartie;
    EXPECT_FALSE(cl->bGetPartie(2, clPartie));
    EXPECT_NE(std::string(cl->pclGetXError()->pszGetDebugMessage()).find("Octet attendu=<30>, octet lu=<16>"),
              std::string::npos)
        << cl->pclGetXError()->pszGetDebugMessage();
}

// The record counter of a file on disk, and of files that cannot be read.
TEST(EltProjetFile, CompteurSurDisque) {
    char szModele[] = "/tmp/qveltfile_XXXXXX";
    ASSERT_NE(mkdtemp(szModele), nullptr);
    const std::string sRep = szModele;
    const std::string sFichier = sRep + "/projet.elt", sAutre = sRep + "/autre.bin";
    Octets ab = Fichier({k_tabTroisParties});
    Ecrit<uint32_t>(ab, 20, 42);
    auto Ecris = [](const std::string& s, const Octets& abC) {
        FILE* f = fopen(s.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fwrite(abC.data(), 1, abC.size(), f);
        fclose(f);
    };
    Ecris(sFichier, ab);
    Ecris(sAutre, Octets{'n', 'o', 'p', 'e', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(CEltProjetFile::s_dwGetCptEnreg(sFichier.c_str()), 42);
    EXPECT_EQ(CEltProjetFile::s_dwGetCptEnreg(sAutre.c_str()), -1);
    EXPECT_EQ(CEltProjetFile::s_dwGetCptEnreg((sRep + "/absent").c_str()), -1);
    EXPECT_EQ(unlink(sFichier.c_str()), 0);
    EXPECT_EQ(unlink(sAutre.c_str()), 0);
    EXPECT_EQ(rmdir(sRep.c_str()), 0);
}

}  // namespace
}  // namespace elttest
