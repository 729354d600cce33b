// Diffs that must fail cleanly: written by hand with one field wrong, and
// real diffs damaged byte by byte, stored or compressed, and cut short. A
// diff either rebuilds exactly its target or fails with the error of an
// unreadable diff, another source or a damaged target, and a diff refused
// as unreadable never asked for the target's room.
#include <functional>

#include <gtest/gtest.h>

#include "codec/checksum.h"
#include "diff_test_util.h"

namespace difftest {
namespace {

const Octets& Source() {
    static const Octets ab = Aleatoire(300, 7);
    return ab;
}

// S[0, 200) + "HELLO" + S[100, 300).
const Octets& Cible() {
    static const Octets ab = [] {
        Octets abC(Source().begin(), Source().begin() + 200);
        abC.insert(abC.end(), {'H', 'E', 'L', 'L', 'O'});
        abC.insert(abC.end(), Source().begin() + 100, Source().end());
        return abC;
    }();
    return ab;
}

STDiffBrut DiffSain() {
    STDiffBrut st;
    st.nCrcSource = CCrc2::nCalculeCRC32(Source().data(), Source().size());
    st.nCrcCible = CCrc2::nCalculeCRC32(Cible().data(), Cible().size());
    st.nTailleCible = uint32_t(Cible().size());
    STSectionBrute stS;
    stS.s1 = 300;
    stS.t1 = 405;
    stS.tabInstr = {{DIFF_COPIE, 0, 200}, {DIFF_INSERTION, 0, 5}, {DIFF_COPIE, 100, 300}};
    stS.abInsertion = {'H', 'E', 'L', 'L', 'O'};
    st.tabSections = {stS};
    return st;
}

// The same target from two sections cut at 205.
STDiffBrut DiffEnDeux() {
    STDiffBrut st = DiffSain();
    STSectionBrute a = st.tabSections[0], b = a;
    a.t1 = 205;
    a.tabInstr = {{DIFF_COPIE, 0, 200}, {DIFF_INSERTION, 0, 5}};
    b.t0 = 205;
    b.s0 = 100;
    b.tabInstr = {{DIFF_COPIE, 0, 200}};
    b.abInsertion.clear();
    st.tabSections = {a, b};
    return st;
}

struct STCas {
    const char* pszCas;
    std::function<void(STDiffBrut&)> pfn;
    CDiffXDelta::EErrorType e;   // DIFF_OK: rebuilds the target
};

STSectionBrute& S0(STDiffBrut& st) { return st.tabSections[0]; }

const STCas k_tabCas[] = {
    {"sound", [](STDiffBrut&) {}, CDiffXDelta::DIFF_OK},
    {"in two sections", [](STDiffBrut& st) { st = DiffEnDeux(); }, CDiffXDelta::DIFF_OK},
    {"sections out of target order",
     [](STDiffBrut& st) {
         st = DiffEnDeux();
         std::swap(st.tabSections[0], st.tabSections[1]);
     },
     CDiffXDelta::DIFF_OK},
    {"block size ignored", [](STDiffBrut& st) { st.nBloc = 7; }, CDiffXDelta::DIFF_OK},
    {"kind ignored", [](STDiffBrut& st) { S0(st).nType = 9; }, CDiffXDelta::DIFF_OK},
    {"pack code naming none", [](STDiffBrut& st) { S0(st).nPack = 0x10; }, CDiffXDelta::DIFF_OK},
    {"empty copy", [](STDiffBrut& st) { S0(st).tabInstr.push_back({DIFF_COPIE, 300, 300}); }, CDiffXDelta::DIFF_OK},
    // Header.
    {"magic", [](STDiffBrut& st) { st.nMagic = 0x00464945; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"version 0", [](STDiffBrut& st) { st.nVersion = 0; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"header length 27", [](STDiffBrut& st) { st.nEntete = 27; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"header length past the diff", [](STDiffBrut& st) { st.nEntete = 0xFFFFFFF0; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"pack method 3", [](STDiffBrut& st) { st.nPack = 3; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"body not a block of its pack method", [](STDiffBrut& st) { st.nPack = 1; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"no sections", [](STDiffBrut& st) { st.tabSections.clear(); }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"more sections announced", [](STDiffBrut& st) { st.llNombre = 2; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"2^28 sections announced", [](STDiffBrut& st) { st.llNombre = 1 << 28; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"target of 2 GB", [](STDiffBrut& st) { st.nTailleCible = 0x80000000u; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"target longer than the sections", [](STDiffBrut& st) { st.nTailleCible = 406; },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"target shorter than the sections", [](STDiffBrut& st) { st.nTailleCible = 404; },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"source CRC", [](STDiffBrut& st) { st.nCrcSource ^= 1; }, CDiffXDelta::DIFF_ERR_CRC_SOURCE},
    {"target CRC", [](STDiffBrut& st) { st.nCrcCible ^= 1; }, CDiffXDelta::DIFF_ERR_CRC_CIBLE},
    // Section lengths and counts.
    {"section past the body", [](STDiffBrut& st) { S0(st).llLongueur = 4 + 36 + 36 + 5 + 1; },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"section shorter than its header", [](STDiffBrut& st) { S0(st).llLongueur = 39; },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"section length 2^32 - 1", [](STDiffBrut& st) { S0(st).llLongueur = 0xFFFFFFFF; },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"section header 35", [](STDiffBrut& st) { S0(st).nEntete = 35; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"instructions past the section", [](STDiffBrut& st) { S0(st).llNombre = 4; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"instruction count x 12 past 32 bits", [](STDiffBrut& st) { S0(st).llNombre = 0x15555556; },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"insert data past the section", [](STDiffBrut& st) { S0(st).llInsertion = 6; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"insert length 2^32 - 1", [](STDiffBrut& st) { S0(st).llInsertion = 0xFFFFFFFF; },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    // Instructions.
    {"instruction type 2", [](STDiffBrut& st) { S0(st).tabInstr[1].eType = static_cast<EDiffInstructionType>(2); },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"copy backwards", [](STDiffBrut& st) { S0(st).tabInstr[0] = {DIFF_COPIE, 200, 0}; },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"copy past the source", [](STDiffBrut& st) { S0(st).tabInstr[2] = {DIFF_COPIE, 101, 301}; },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"copy past the section's source",
     [](STDiffBrut& st) {
         S0(st).s0 = 50;
         S0(st).s1 = 250;
     },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"copy at 2^32 - 1", [](STDiffBrut& st) { S0(st).tabInstr[2] = {DIFF_COPIE, 0xFFFFFF38u, 0xFFFFFFFFu}; },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"insert past its data", [](STDiffBrut& st) { S0(st).tabInstr[1] = {DIFF_INSERTION, 1, 6}; },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"insert wrapping 32 bits", [](STDiffBrut& st) { S0(st).tabInstr[1] = {DIFF_INSERTION, 0xFFFFFFFE, 3}; },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"fewer bytes than the range", [](STDiffBrut& st) { S0(st).tabInstr[2] = {DIFF_COPIE, 100, 299}; },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"more bytes than the range", [](STDiffBrut& st) { S0(st).tabInstr.push_back({DIFF_COPIE, 0, 1}); },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"no instructions", [](STDiffBrut& st) { S0(st).tabInstr.clear(); }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    // Ranges.
    {"source range past the source", [](STDiffBrut& st) { S0(st).s1 = 301; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"source range backwards", [](STDiffBrut& st) { S0(st).s0 = 301; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"target range past the target", [](STDiffBrut& st) { S0(st).t1 = 406; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"target range backwards", [](STDiffBrut& st) { S0(st).t0 = 406; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"a gap between sections",
     [](STDiffBrut& st) {
         st = DiffEnDeux();
         st.tabSections[1].t0 = 206;
         st.tabSections[1].tabInstr = {{DIFF_COPIE, 0, 199}};
     },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"overlapping sections",
     [](STDiffBrut& st) {
         st = DiffEnDeux();
         st.tabSections[1].t0 = 204;
         st.tabSections[1].tabInstr = {{DIFF_COPIE, 0, 201}};
     },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"one section twice",
     [](STDiffBrut& st) {
         st.tabSections.push_back(st.tabSections[0]);
     },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
    // Pack codes.
    {"pack code 3", [](STDiffBrut& st) { S0(st).nPack = 3; }, CDiffXDelta::DIFF_ERR_ILLISIBLE},
    {"pack code over bytes that are no coded element", [](STDiffBrut& st) { S0(st).nPack = 1; },
     CDiffXDelta::DIFF_ERR_ILLISIBLE},
};

TEST(DiffHostile, ChampsFaux) {
    for (const STCas& st : k_tabCas) {
        STDiffBrut stD = DiffSain();
        st.pfn(stD);
        const STApplication stA = Applique(Source(), Diff(stD));
        EXPECT_EQ(stA.e, st.e) << st.pszCas;
        EXPECT_EQ(stA.bOk, st.e == CDiffXDelta::DIFF_OK) << st.pszCas;
        if (st.e == CDiffXDelta::DIFF_OK) {
            EXPECT_TRUE(stA.ab == Cible()) << st.pszCas;
        }
        // Nothing is written for a diff that is not applicable.
        if (st.e == CDiffXDelta::DIFF_ERR_ILLISIBLE || st.e == CDiffXDelta::DIFF_ERR_CRC_SOURCE) {
            EXPECT_FALSE(stA.bEcrit) << st.pszCas;
        }
    }
}

// An empty target: one section of no bytes and no instructions.
TEST(DiffHostile, CibleVide) {
    STDiffBrut st = DiffSain();
    st.nCrcCible = 0;
    st.nTailleCible = 0;
    STSectionBrute& stS = S0(st);
    stS.t1 = 0;
    stS.tabInstr.clear();
    stS.abInsertion.clear();
    const STApplication stA = Applique(Source(), Diff(st));
    EXPECT_TRUE(stA.bOk) << stA.e;
    EXPECT_TRUE(stA.ab.empty());
    // The diff the engine makes for an empty target is the same in substance.
    const Octets abDiff = Cree(Source(), Octets());
    ASSERT_FALSE(abDiff.empty());
    EXPECT_EQ(Lit<uint32_t>(abDiff.data() + 32), 0u);
    EXPECT_TRUE(Applique(Source(), abDiff).bOk);
}

// Whatever happens to a diff, the result is its target or a clean refusal.
void VerifieResultat(const Octets& abSource, const Octets& abCible, const Octets& abDiff, const std::string& sCas) {
    const STApplication st = Applique(abSource, abDiff);
    if (st.bOk) {
        ASSERT_TRUE(st.ab == abCible) << sCas << ": a wrong target was accepted";
        return;
    }
    ASSERT_TRUE(st.e == CDiffXDelta::DIFF_ERR_ILLISIBLE || st.e == CDiffXDelta::DIFF_ERR_CRC_SOURCE ||
                st.e == CDiffXDelta::DIFF_ERR_CRC_CIBLE)
        << sCas << ": error " << st.e;
    if (st.e != CDiffXDelta::DIFF_ERR_CRC_CIBLE) {
        ASSERT_FALSE(st.bEcrit) << sCas;
    }
}

// The diff with its body stored as it stands, so that every byte damaged
// is a byte of the structure.
Octets Stocke(const Octets& abDiff) {
    const Octets abCorps = Corps(abDiff);
    Octets ab(abDiff.begin(), abDiff.begin() + 36);
    ab[12] = 0;
    ab.insert(ab.end(), abCorps.begin(), abCorps.end());
    return ab;
}

TEST(DiffHostile, OctetsAbimes) {
    const Octets abSource = Texte(20000, 8);
    const Octets abCible = Edite(abSource, 12, 20, 9);
    const Octets abDiff = Cree(abSource, abCible);
    ASSERT_FALSE(abDiff.empty());
    const Octets abStocke = Stocke(abDiff);
    ASSERT_TRUE(Applique(abSource, abStocke).ab == abCible);
    for (const Octets* pab : {&abDiff, &abStocke}) {
        for (size_t i = 0; i < pab->size(); ++i) {
            for (uint8_t byMasque : {0x01, 0x80, 0xFF}) {
                Octets ab = *pab;
                ab[i] ^= byMasque;
                VerifieResultat(abSource, abCible, ab, "byte " + std::to_string(i));
            }
        }
        // Every cut, and a few bytes too many.
        for (size_t n = 0; n < pab->size(); ++n)
            VerifieResultat(abSource, abCible, Octets(pab->begin(), pab->begin() + static_cast<long>(n)),
                            "cut at " + std::to_string(n));
    }
    // Whole 32-bit fields of the stored form set to values at the edges.
    for (size_t i = 0; i + 4 <= abStocke.size(); i += 4) {
        for (uint32_t dw : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0xFFFFFFF4u}) {
            Octets ab = abStocke;
            std::memcpy(ab.data() + i, &dw, 4);
            VerifieResultat(abSource, abCible, ab, "field at " + std::to_string(i));
        }
    }
}

}  // namespace
}  // namespace difftest
