// The project-file mode: element files cut along their structure into
// sections, parts stored as coded elements compared on their contents, and
// the fall-back to one section for buffers that are not element files.
#include <gtest/gtest.h>

#include "diff/decoupe_tvr.h"
#include "diff_test_util.h"
#include "projectfile/elt_test_util.h"

namespace difftest {
namespace {

struct STSectionLue {
    uint32_t nPack, s0, s1, t0, t1;
};

std::vector<STSectionLue> Sections(const Octets& abDiff) {
    const Octets abCorps = Corps(abDiff);
    std::vector<STSectionLue> tab;
    size_t i = 0;
    while (i + 44 <= abCorps.size()) {
        const uint8_t* p = abCorps.data() + i;
        tab.push_back(STSectionLue{Lit<uint32_t>(p + 16), Lit<uint32_t>(p + 24), Lit<uint32_t>(p + 28),
                                   Lit<uint32_t>(p + 32), Lit<uint32_t>(p + 36)});
        i += 4 + Lit<uint32_t>(p);
    }
    return tab;
}

// The coded form of bytes, as the host stores a packed part.
Octets Emballe(const Octets& ab) {
    CQVBuffer cl(BUFFER_PACK_ZLW, 0, 100);
    cl.Set(ab.data(), uint32_t(ab.size()));
    return Code(cl);
}

struct STCas {
    const char* pszCas;
    Octets abSource, abCible;
    size_t nSectionsMin;   // with the mode; 1: one section (fallen back, or all neighbours)
    bool bPackAttendu;     // a section compares coded contents
};

std::vector<STCas> Cas() {
    using elttest::Fichier;
    const Octets a = Texte(3000, 1), b = Aleatoire(5000, 2), c = Texte(200, 3);
    const Octets b2 = Edite(b, 10, 8, 4);
    const Octets abV12 = Fichier({{a, b, c}, {a, b, c}});
    const Octets abV123 = Fichier({{a, b, c}, {a, b, c}, {a, b2, c}});
    const Octets t = Texte(40000, 5), t2 = Edite(t, 20, 12, 6);
    const Octets abEmballe = Fichier({{a, Emballe(t), c}});
    const Octets abEmballe2 = Fichier({{a, Emballe(t2), c}});
    return {
        {"a new version", abV12, abV123, 2, false},
        // The target's regions all face their neighbours in the source.
        {"the newest version dropped", abV123, abV12, 1, false},
        {"coded part edited", abEmballe, abEmballe2, 3, true},
        {"not element files", a, Edite(a, 3, 3, 7), 1, false},
        {"only the target is an element file", a, abV12, 1, false},
        {"damaged source", Octets(abV12.begin(), abV12.end() - 1), abV123, 1, false},
    };
}

TEST(DiffFichierProjet, Sections) {
    for (const STCas& st : Cas()) {
        CDiffXDelta::EErrorType e;
        const Octets abDiff = Cree(st.abSource, st.abCible, &e, true);
        ASSERT_EQ(e, CDiffXDelta::DIFF_OK) << st.pszCas;
        const STApplication stA = Applique(st.abSource, abDiff);
        ASSERT_TRUE(stA.bOk) << st.pszCas << " " << stA.e;
        EXPECT_TRUE(stA.ab == st.abCible) << st.pszCas;
        const auto tab = Sections(abDiff);
        EXPECT_EQ(Lit<uint32_t>(abDiff.data() + 28), tab.size()) << st.pszCas;
        if (st.nSectionsMin == 1) {
            EXPECT_EQ(tab.size(), 1u) << st.pszCas;
        } else {
            EXPECT_GE(tab.size(), st.nSectionsMin) << st.pszCas;
        }
        bool bPack = false;
        uint32_t dwFin = 0;
        for (const STSectionLue& stS : tab) {
            bPack = bPack || stS.nPack != 0;
            EXPECT_EQ(stS.t0, dwFin) << st.pszCas << ": sections follow the target";
            dwFin = stS.t1;
        }
        EXPECT_EQ(dwFin, st.abCible.size()) << st.pszCas;
        EXPECT_EQ(bPack, st.bPackAttendu) << st.pszCas;
    }
}

// Comparing coded parts on their contents makes a much smaller diff than
// comparing the coded bytes.
TEST(DiffFichierProjet, PartiesCodeesPlusPetites) {
    const Octets a = Texte(3000, 1), t = Texte(40000, 5), t2 = Edite(t, 20, 12, 6);
    const Octets abS = elttest::Fichier({{a, Emballe(t)}}), abT = elttest::Fichier({{a, Emballe(t2)}});
    const Octets abAvec = Cree(abS, abT, nullptr, true), abSans = Cree(abS, abT, nullptr, false);
    ASSERT_FALSE(abAvec.empty());
    ASSERT_FALSE(abSans.empty());
    EXPECT_LT(abAvec.size() * 2, abSans.size());
}

// A coded element that the compressor would not write the same way (a
// stored block of bytes that compress) is compared as it stands.
TEST(DiffFichierProjet, ElementQuiNeSeRecodePasPareil) {
    const Octets abTexte = Texte(2000, 9);
    Octets abStocke = {0};
    const uint32_t dw = uint32_t(abTexte.size());
    abStocke.insert(abStocke.end(), reinterpret_cast<const uint8_t*>(&dw), reinterpret_cast<const uint8_t*>(&dw) + 4);
    abStocke.insert(abStocke.end(), abTexte.begin(), abTexte.end());
    Octets abStocke2 = abStocke;
    abStocke2[1000] ^= 0x20;
    const Octets abEntete = Aleatoire(100, 10);
    Octets abS = abEntete, abT = abEntete;
    abS.insert(abS.end(), abStocke.begin(), abStocke.end());
    abT.insert(abT.end(), abStocke2.begin(), abStocke2.end());
    const uint32_t n = uint32_t(abS.size());
    const std::vector<STPlanSection> tabPlan = {{0, 100, 0, 100, 0, 0}, {100, n, 100, n, 1, 0}};
    CDiffXDelta cl;
    CQVBuffer clSortie;
    ASSERT_TRUE(cl.bComputeDiff(abS.data(), n, abT.data(), n, tabPlan, clSortie));
    const Octets abDiff = Code(clSortie);
    const auto tab = Sections(abDiff);
    ASSERT_EQ(tab.size(), 2u);
    EXPECT_EQ(tab[1].nPack, 0u);
    EXPECT_TRUE(Applique(abS, abDiff).ab == abT);
    // The same plan on an element that codes back the same way keeps its code.
    const Octets abCode = Emballe(abTexte);
    Octets abTexte2 = abTexte;
    abTexte2[1000] ^= 0x20;
    const Octets abCode2 = Emballe(abTexte2);
    Octets abS2 = abEntete, abT2 = abEntete;
    abS2.insert(abS2.end(), abCode.begin(), abCode.end());
    abT2.insert(abT2.end(), abCode2.begin(), abCode2.end());
    const std::vector<STPlanSection> tabPlan2 = {{0, 100, 0, 100, 0, 0},
                                                 {100, uint32_t(abS2.size()), 100, uint32_t(abT2.size()), 1, 0}};
    ASSERT_TRUE(cl.bComputeDiff(abS2.data(), uint32_t(abS2.size()), abT2.data(), uint32_t(abT2.size()), tabPlan2,
                                clSortie));
    const Octets abDiff2 = Code(clSortie);
    const auto tab2 = Sections(abDiff2);
    ASSERT_EQ(tab2.size(), 2u);
    EXPECT_EQ(tab2[1].nPack, 1u);
    EXPECT_TRUE(Applique(abS2, abDiff2).ab == abT2);
    // A plan that does not cover the target in order is refused.
    const std::vector<STPlanSection> tabTrou = {{0, 100, 0, 100, 0, 0}, {100, n, 101, n, 0, 0}};
    EXPECT_FALSE(cl.bComputeDiff(abS.data(), n, abT.data(), n, tabTrou, clSortie));
    EXPECT_EQ(cl.eGetErreur(), CDiffXDelta::DIFF_ERR_ILLISIBLE);
}

// A diff whose coded section rebuilds an element of another size than its
// target range fails as not applicable.
TEST(DiffFichierProjet, SectionCodeeDeMauvaiseTaille) {
    const Octets abEntete = Aleatoire(100, 11);
    const Octets abTexte = Texte(2000, 12);
    Octets abTexte2 = abTexte;
    abTexte2[10] ^= 0x20;
    const Octets abCode = Emballe(abTexte), abCode2 = Emballe(abTexte2);
    Octets abS = abEntete, abT = abEntete;
    abS.insert(abS.end(), abCode.begin(), abCode.end());
    abT.insert(abT.end(), abCode2.begin(), abCode2.end());
    const std::vector<STPlanSection> tabPlan = {{0, 100, 0, 100, 0, 0},
                                                {100, uint32_t(abS.size()), 100, uint32_t(abT.size()), 1, 0}};
    CDiffXDelta cl;
    CQVBuffer clSortie;
    ASSERT_TRUE(cl.bComputeDiff(abS.data(), uint32_t(abS.size()), abT.data(), uint32_t(abT.size()), tabPlan,
                                clSortie));
    // Stored form, then the target one byte shorter and the coded section's
    // range with it: its element codes back to one byte more than its range.
    const Octets abDiff = Code(clSortie);
    Octets ab(abDiff.begin(), abDiff.begin() + 36);
    ab[12] = 0;
    Octets abC = Corps(abDiff);
    const size_t n1 = 4 + Lit<uint32_t>(abC.data());
    const uint32_t dwFin = uint32_t(abT.size()) - 1;
    std::memcpy(ab.data() + 32, &dwFin, 4);
    std::memcpy(abC.data() + n1 + 36, &dwFin, 4);
    ab.insert(ab.end(), abC.begin(), abC.end());
    const STApplication st = Applique(abS, ab);
    EXPECT_FALSE(st.bOk);
    EXPECT_EQ(st.e, CDiffXDelta::DIFF_ERR_ILLISIBLE);
}

}  // namespace
}  // namespace difftest
