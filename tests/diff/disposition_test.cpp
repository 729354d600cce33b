// The diff buffer as it is written: header fields, the body as one
// compressor block, each section's fields, instructions and insert data;
// and the reader taking longer headers and sections than it knows.
#include <gtest/gtest.h>

#include "codec/checksum.h"
#include "diff/diffbuffer.h"
#include "diff_test_util.h"

namespace difftest {
namespace {

TEST(DiffDisposition, EnteteCorpsEtSection) {
    const Octets abSource = Aleatoire(1000, 1);
    Octets abCible = abSource;
    const uint8_t abyDix[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    abCible.insert(abCible.end(), abyDix, abyDix + 10);
    const Octets abDiff = Cree(abSource, abCible);
    ASSERT_GE(abDiff.size(), 36u + 5);
    const uint8_t* p = abDiff.data();
    EXPECT_EQ(std::memcmp(p, "DIF\0", 4), 0);
    EXPECT_EQ(Lit<uint32_t>(p + 4), 28u);
    EXPECT_EQ(Lit<uint32_t>(p + 8), 1u);
    EXPECT_EQ(Lit<uint32_t>(p + 12), 1u);
    EXPECT_EQ(Lit<uint32_t>(p + 16), CCrc2::nCalculeCRC32(abSource.data(), abSource.size()));
    EXPECT_EQ(Lit<uint32_t>(p + 20), CCrc2::nCalculeCRC32(abCible.data(), abCible.size()));
    EXPECT_EQ(Lit<uint32_t>(p + 24), 128u);
    EXPECT_EQ(Lit<uint32_t>(p + 28), 1u);
    EXPECT_EQ(Lit<uint32_t>(p + 32), 1010u);
    // The body is one compressor block that ends the diff.
    const uint8_t byMethode = p[36];
    ASSERT_TRUE(byMethode == 0 || byMethode == 4) << int(byMethode);
    const uint32_t dwBloc = byMethode == 0 ? 5 + Lit<uint32_t>(p + 37) : 11 + Lit<uint32_t>(p + 37);
    EXPECT_EQ(36 + dwBloc, abDiff.size());

    const Octets abCorps = Corps(abDiff);
    ASSERT_EQ(abCorps.size(), 4 + 74u);
    const uint8_t* q = abCorps.data();
    const uint32_t adwAttendu[11] = {74, 36, 0, 2, 0, 0, 0, 1000, 0, 1010, 10};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(Lit<uint32_t>(q + 4 * i), adwAttendu[i]) << "field " << i;
    const uint32_t adwInstr[6] = {0, 0, 1000, 1, 0, 10};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Lit<uint32_t>(q + 44 + 4 * i), adwInstr[i]) << "instruction word " << i;
    EXPECT_EQ(std::memcmp(q + 44 + 24, abyDix, 10), 0);
}

// A body that does not compress is stored in its block.
TEST(DiffDisposition, CorpsStocke) {
    const Octets abSource = Aleatoire(300, 2);
    const Octets abCible = Aleatoire(2000, 3);
    const Octets abDiff = Cree(abSource, abCible);
    ASSERT_GE(abDiff.size(), 41u);
    EXPECT_EQ(abDiff[36], 0);
    EXPECT_EQ(Lit<uint32_t>(abDiff.data() + 37), 44u + 12 + 2000);
    EXPECT_EQ(abDiff.size(), 36u + 5 + 44 + 12 + 2000);
}

// A caller may keep the body as it stands (pack method 0).
TEST(DiffDisposition, CorpsSansCompression) {
    const Octets abSource = Texte(5000, 5);
    const Octets abCible = Edite(abSource, 5, 10, 6);
    CDiffXDelta cl;
    cl.SetPackMethodCorps(BUFFER_PACK_AUCUN);
    CQVBuffer clSortie;
    ASSERT_TRUE(cl.bComputeDiff(abSource.data(), uint32_t(abSource.size()), abCible.data(), uint32_t(abCible.size()),
                                clSortie, false));
    const Octets abDiff = Code(clSortie);
    EXPECT_EQ(Lit<uint32_t>(abDiff.data() + 12), 0u);
    EXPECT_EQ(abDiff.size(), 36 + Corps(abDiff).size());
    EXPECT_EQ(Lit<uint32_t>(abDiff.data() + 36) + 4, Corps(abDiff).size());   // the section's length
    EXPECT_TRUE(Applique(abSource, abDiff).ab == abCible);
}

// The diff engine's own classes read what they write, and what others may
// write with longer headers.
TEST(DiffDisposition, LectureDesEntetesPlusLongues) {
    const Octets abSource = Aleatoire(300, 4);
    Octets abCible(abSource.begin(), abSource.begin() + 200);
    abCible.insert(abCible.end(), {'H', 'E', 'L', 'L', 'O'});
    STDiffBrut st;
    st.nCrcSource = CCrc2::nCalculeCRC32(abSource.data(), abSource.size());
    st.nCrcCible = CCrc2::nCalculeCRC32(abCible.data(), abCible.size());
    st.nTailleCible = 205;
    STSectionBrute stS;
    stS.s1 = 300;
    stS.t1 = 205;
    stS.tabInstr = {{DIFF_COPIE, 0, 200}, {DIFF_INSERTION, 0, 5}};
    stS.abInsertion = {'H', 'E', 'L', 'L', 'O'};
    struct STCas {
        const char* pszCas;
        uint32_t nEntete, nEnteteSection;
        int64_t llSupplement;   // bytes after the section's data, counted in its length
        uint32_t nVersion;
    };
    const STCas k_tab[] = {
        {"as written", 28, 36, 0, 1},
        {"longer header", 40, 36, 0, 1},
        {"longer section header", 28, 48, 0, 1},
        {"bytes after the section", 28, 36, 7, 1},
        {"a later version", 28, 36, 0, 2},
    };
    for (const STCas& stC : k_tab) {
        STDiffBrut stD = st;
        stD.nEntete = stC.nEntete;
        stD.nVersion = stC.nVersion;
        STSectionBrute stSC = stS;
        stSC.nEntete = stC.nEnteteSection;
        stSC.llLongueur = 4 + stC.nEnteteSection + 24 + 5 + stC.llSupplement;
        stD.tabSections = {stSC};
        Octets abDiff = Diff(stD);
        abDiff.resize(abDiff.size() + static_cast<size_t>(stC.llSupplement), 0xAB);
        CDiffBuffer clDiff;
        ASSERT_TRUE(clDiff.bLit(abDiff.data(), uint32_t(abDiff.size()))) << stC.pszCas;
        ASSERT_EQ(clDiff.dwGetNbSection(), 1u);
        CDiffBufferSection& cl = clDiff.clGetSection(0);
        EXPECT_EQ(cl.dwGetNbInstruction(), 2u);
        CDiffInstruction stI;
        const uint8_t* pby = nullptr;
        uint32_t dw = 99;
        ASSERT_TRUE(cl.bGetFirstInstruction(&stI, &pby, &dw));
        EXPECT_EQ(stI.eType, DIFF_COPIE);
        EXPECT_EQ(pby, nullptr);
        EXPECT_EQ(dw, 0u);
        ASSERT_TRUE(cl.bGetNextInstruction(&stI, &pby, &dw));
        EXPECT_EQ(stI.eType, DIFF_INSERTION);
        ASSERT_EQ(dw, 5u);
        EXPECT_EQ(std::memcmp(pby, "HELLO", 5), 0);
        EXPECT_FALSE(cl.bGetNextInstruction(&stI, &pby, &dw));
        const STApplication stA = Applique(abSource, abDiff);
        EXPECT_TRUE(stA.bOk) << stC.pszCas << " " << stA.e;
        EXPECT_TRUE(stA.ab == abCible) << stC.pszCas;
    }
}

// What CDiffBuffer writes, it reads back field for field.
TEST(DiffDisposition, EcritureRelecture) {
    CDiffBuffer cl;
    cl.SetCrc(0x11111111, 0x22222222);
    cl.SetTailleBloc(128);
    cl.SetTailleCible(40);
    CDiffBufferSection& s1 = cl.clAjouteSection();
    s1.SetType(3);
    s1.SetPack(0x12, 9);
    s1.SetSource(1, 20);
    s1.SetCible(0, 30);
    s1.AjouteCopie(2, 10);
    s1.AjouteCopie(10, 12);   // folded into the previous copy
    s1.AjouteInsertion(reinterpret_cast<const uint8_t*>("abcdefghijklmnopqrst"), 20);
    CDiffBufferSection& s2 = cl.clAjouteSection();
    s2.SetCible(30, 40);
    s2.AjouteInsertion(reinterpret_cast<const uint8_t*>("0123456789"), 10);
    for (uint32_t dwMethode : {0u, 1u}) {
        cl.SetPackMethod(dwMethode);
        CQVBuffer clSortie;
        ASSERT_TRUE(cl.bEcrit(clSortie));
        const Octets ab = Code(clSortie);
        CDiffBuffer clLu;
        ASSERT_TRUE(clLu.bLit(ab.data(), uint32_t(ab.size())));
        EXPECT_EQ(clLu.dwGetPackMethod(), dwMethode);
        EXPECT_EQ(clLu.dwGetCrcSource(), 0x11111111u);
        EXPECT_EQ(clLu.dwGetCrcCible(), 0x22222222u);
        EXPECT_EQ(clLu.dwGetTailleBloc(), 128u);
        EXPECT_EQ(clLu.dwGetTailleCible(), 40u);
        ASSERT_EQ(clLu.dwGetNbSection(), 2u);
        const CDiffBufferSection& l1 = clLu.clGetSection(0);
        EXPECT_EQ(l1.dwGetType(), 3u);
        EXPECT_EQ(l1.dwGetPackCode(), 0x12u);
        EXPECT_EQ(l1.dwGetPremierOctetCode(), 9u);
        EXPECT_EQ(l1.dwGetSourceDebut(), 1u);
        EXPECT_EQ(l1.dwGetSourceFin(), 20u);
        EXPECT_EQ(l1.dwGetCibleFin(), 30u);
        ASSERT_EQ(l1.dwGetNbInstruction(), 2u);
        EXPECT_EQ(l1.stGetInstruction(0).dwSecond, 12u);
        EXPECT_EQ(l1.qwGetTailleProduite(), 30u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(l1.pbyGetInsertion()), l1.dwGetTailleInsertion()),
                  "abcdefghijklmnopqrst");
        EXPECT_EQ(clLu.clGetSection(1).dwGetCibleDebut(), 30u);
    }
}

TEST(DiffDisposition, CodesDePack) {
    struct STCas {
        uint32_t dwCode;
        bool bLisible;
        eBUFFER_PACKMETHOD e;
    };
    const STCas k_tab[] = {
        {0, true, BUFFER_PACK_AUCUN},     {1, true, BUFFER_PACK_ZLW},      {2, true, BUFFER_PACK_QVC40},
        {3, false, BUFFER_PACK_AUCUN},    {0x0F, false, BUFFER_PACK_AUCUN}, {0x10, true, BUFFER_PACK_AUCUN},
        {0x81, true, BUFFER_PACK_AUCUN},  {0xF1, true, BUFFER_PACK_AUCUN},  {0x101, true, BUFFER_PACK_ZLW},
    };
    for (const STCas& st : k_tab) {
        eBUFFER_PACKMETHOD e = BUFFER_PACK_QVC40;
        EXPECT_EQ(CDiffBufferSection::s_bPackMethod(st.dwCode, &e), st.bLisible) << st.dwCode;
        EXPECT_EQ(e, st.e) << st.dwCode;
    }
}

}  // namespace
}  // namespace difftest
