// Diffs computed and applied back on generated pairs: edits, insertions,
// deletions, moved blocks, unrelated and repetitive data, empty and
// identical buffers, one pair of 100 MB; then the refusals of computing
// (empty source, identical buffers, the maximum percentage) and applying
// to another source.
#include <gtest/gtest.h>

#include "codec/checksum.h"
#include "diff_test_util.h"

namespace difftest {
namespace {

struct STPaire {
    const char* pszCas;
    Octets abSource;
    Octets abCible;
    size_t nDiffMax;   // the diff must not be larger (0: no bound checked)
};

std::vector<STPaire> Paires() {
    const Octets abAlea = Aleatoire(200000, 1);
    const Octets abTexte = Texte(300000, 2);
    Octets abPlus10 = Aleatoire(1000, 3);
    const Octets abSource10 = abPlus10;
    abPlus10.insert(abPlus10.end(), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    Octets abPrefixe = abAlea;
    abPrefixe.insert(abPrefixe.begin(), {9, 9, 9});
    return {
        // Each edit costs about its own bytes and two instructions; edits
        // closer than a block to the next one cost the bytes between them.
        {"random edits", abAlea, Edite(abAlea, 200, 16, 11), 12000},
        {"text edits", abTexte, Edite(abTexte, 300, 40, 12), 300 * (24 + 40)},
        {"insertions", abAlea, Edite(abAlea, 100, 30, 13, GENRE_INSERE), 100 * (24 + 30) + 1000},
        {"deletions here and there", abAlea, Edite(abAlea, 100, 30, 14, GENRE_SUPPRIME), 100 * 24 + 1000},
        {"replacements", abTexte, Edite(abTexte, 100, 30, 15, GENRE_REMPLACE), 100 * (24 + 30) + 1000},
        {"one long insertion", abAlea,
         [&] {
             Octets ab = abAlea;
             const Octets abNeuf = Aleatoire(5000, 4);
             ab.insert(ab.begin() + 77777, abNeuf.begin(), abNeuf.end());
             return ab;
         }(),
         5000 + 200},
        {"deletions", abAlea, Octets(abAlea.begin() + 1000, abAlea.end() - 1000), 200},
        {"a run cut out", abAlea,
         [&] {
             Octets ab = abAlea;
             ab.erase(ab.begin() + 5000, ab.begin() + 9000);
             return ab;
         }(),
         200},
        {"moved blocks", abAlea, Deplace(abAlea, 4096, 5), 49 * 24 + 200},
        {"prefix added", abAlea, abPrefixe, 200},
        {"source followed by 10 bytes", abSource10, abPlus10, 200},
        {"unrelated target", abAlea, Aleatoire(50000, 6), 0},
        {"zeros to zeros and ones", Octets(100000, 0),
         [] {
             Octets ab(120000, 0);
             for (size_t i = 50000; i < 60000; ++i) ab[i] = 1;
             return ab;
         }(),
         0},
        {"target of 128 bytes", abAlea, Octets(abAlea.begin(), abAlea.begin() + 128), 0},
        {"target of 129 bytes", abAlea, Octets(abAlea.begin(), abAlea.begin() + 129), 0},
        {"one byte", abAlea, Octets{42}, 0},
        {"empty target", abAlea, Octets(), 200},
        {"source of one byte", Octets{1}, abAlea, 0},
        {"edits near the ends", abAlea,
         [&] {
             Octets ab = abAlea;
             ab[0] ^= 1;
             ab[ab.size() - 1] ^= 1;
             ab[130] ^= 1;
             return ab;
         }(),
         300},
    };
}

TEST(DiffAllerRetour, PairesGenerees) {
    for (const STPaire& st : Paires()) {
        for (bool bTVR : {false, true}) {
            CDiffXDelta::EErrorType e;
            const Octets abDiff = Cree(st.abSource, st.abCible, &e, bTVR);
            ASSERT_EQ(e, CDiffXDelta::DIFF_OK) << st.pszCas;
            ASSERT_FALSE(abDiff.empty()) << st.pszCas;
            if (st.nDiffMax != 0) {
                EXPECT_LE(abDiff.size(), st.nDiffMax) << st.pszCas;
            }
            const STApplication stA = Applique(st.abSource, abDiff);
            ASSERT_TRUE(stA.bOk) << st.pszCas << " error " << stA.e;
            EXPECT_TRUE(stA.ab == st.abCible) << st.pszCas;
        }
    }
}

// The edge cases of the instructions themselves, read from the body.
struct STInstr {
    EDiffInstructionType eType;
    uint32_t dwPremier, dwSecond;
};

std::vector<STInstr> Instructions(const Octets& abDiff, Octets* pabInsertion = nullptr) {
    const Octets abCorps = Corps(abDiff);
    std::vector<STInstr> tab;
    if (abCorps.size() < 44) return tab;
    const uint32_t nEntete = Lit<uint32_t>(abCorps.data() + 4);
    const uint32_t n = Lit<uint32_t>(abCorps.data() + 12);
    const uint8_t* p = abCorps.data() + 8 + nEntete;
    for (uint32_t i = 0; i < n; ++i)
        tab.push_back(STInstr{static_cast<EDiffInstructionType>(Lit<uint32_t>(p + 12 * i)),
                              Lit<uint32_t>(p + 12 * i + 4), Lit<uint32_t>(p + 12 * i + 8)});
    if (pabInsertion != nullptr) {
        const uint32_t nInsertion = Lit<uint32_t>(abCorps.data() + 40);
        pabInsertion->assign(p + 12 * n, p + 12 * n + nInsertion);
    }
    return tab;
}

TEST(DiffAllerRetour, InstructionsDesCasLimites) {
    const Octets abSource = Aleatoire(1000, 21);
    struct STCas {
        const char* pszCas;
        Octets abCible;
        std::vector<STInstr> tabAttendu;
    };
    Octets abPlus10 = abSource;
    abPlus10.insert(abPlus10.end(), 10, 0x5A);
    Octets abMilieu = abSource;
    abMilieu[500] ^= 0xFF;
    const STCas k_tab[] = {
        // 128 bytes or less are never matched.
        {"128 bytes of the source", Octets(abSource.begin(), abSource.begin() + 128), {{DIFF_INSERTION, 0, 128}}},
        // One copy of the whole source, then the 10 new bytes.
        {"source + 10", abPlus10, {{DIFF_COPIE, 0, 1000}, {DIFF_INSERTION, 0, 10}}},
        // The byte changed in the middle costs that byte alone.
        {"one byte changed",
         abMilieu,
         {{DIFF_COPIE, 0, 500}, {DIFF_INSERTION, 0, 1}, {DIFF_COPIE, 501, 1000}}},
        {"empty target", Octets(), {}},
    };
    for (const STCas& st : k_tab) {
        const Octets abDiff = Cree(abSource, st.abCible);
        ASSERT_FALSE(abDiff.empty()) << st.pszCas;
        const auto tab = Instructions(abDiff);
        ASSERT_EQ(tab.size(), st.tabAttendu.size()) << st.pszCas;
        for (size_t i = 0; i < tab.size(); ++i) {
            EXPECT_EQ(tab[i].eType, st.tabAttendu[i].eType) << st.pszCas << " " << i;
            EXPECT_EQ(tab[i].dwPremier, st.tabAttendu[i].dwPremier) << st.pszCas << " " << i;
            EXPECT_EQ(tab[i].dwSecond, st.tabAttendu[i].dwSecond) << st.pszCas << " " << i;
        }
        EXPECT_TRUE(Applique(abSource, abDiff).ab == st.abCible) << st.pszCas;
    }
}

// Of several equal source blocks, the last one is copied from.
TEST(DiffAllerRetour, DernierBlocEgalRetenu) {
    const Octets abBloc = Aleatoire(128, 31);
    Octets abSource;
    for (int i = 0; i < 4; ++i) abSource.insert(abSource.end(), abBloc.begin(), abBloc.end());
    abSource.push_back(7);
    Octets abCible = abBloc;
    abCible.push_back(1);
    const auto tab = Instructions(Cree(abSource, abCible));
    ASSERT_EQ(tab.size(), 2u);
    EXPECT_EQ(tab[0].eType, DIFF_COPIE);
    EXPECT_EQ(tab[0].dwPremier, 3 * 128u);
    EXPECT_EQ(tab[0].dwSecond, 4 * 128u);
}

// Two different buffers with the same CRC-32 are not identical: the diff
// is made and rebuilds the target.
TEST(DiffAllerRetour, MemeCrcAutresOctets) {
    Octets abSource = Aleatoire(300, 41);
    Octets abCible = abSource;
    abCible[100] ^= 0x55;
    // The last four bytes of the target bring its CRC back to the source's:
    // the CRC is affine in those 32 bits, so the right bits are solved for.
    const uint32_t dwVoulu = CCrc2::nCalculeCRC32(abSource.data(), abSource.size());
    auto Crc = [&](uint32_t dw) {
        std::memcpy(abCible.data() + abCible.size() - 4, &dw, 4);
        return CCrc2::nCalculeCRC32(abCible.data(), abCible.size());
    };
    const uint32_t dwZero = Crc(0);
    uint32_t adwColonne[32];
    for (int k = 0; k < 32; ++k) adwColonne[k] = Crc(1u << k) ^ dwZero;
    // Gaussian elimination over GF(2): find x with M x = voulu ^ crc(0).
    uint32_t adwLigne[32], adwBase[32];
    for (int k = 0; k < 32; ++k) {
        adwLigne[k] = adwColonne[k];
        adwBase[k] = 1u << k;
    }
    uint32_t dwReste = dwVoulu ^ dwZero, dwX = 0;
    for (int bit = 0; bit < 32; ++bit) {
        int nPivot = -1;
        for (int k = bit; k < 32; ++k)
            if (adwLigne[k] >> bit & 1u) {
                nPivot = k;
                break;
            }
        ASSERT_GE(nPivot, 0);
        std::swap(adwLigne[bit], adwLigne[nPivot]);
        std::swap(adwBase[bit], adwBase[nPivot]);
        for (int k = 0; k < 32; ++k)
            if (k != bit && (adwLigne[k] >> bit & 1u)) {
                adwLigne[k] ^= adwLigne[bit];
                adwBase[k] ^= adwBase[bit];
            }
    }
    for (int bit = 0; bit < 32; ++bit)
        if (dwReste >> bit & 1u) dwX ^= adwBase[bit];
    ASSERT_EQ(Crc(dwX), dwVoulu);
    ASSERT_NE(abCible, abSource);
    CDiffXDelta::EErrorType e;
    const Octets abDiff = Cree(abSource, abCible, &e);
    ASSERT_EQ(e, CDiffXDelta::DIFF_OK);
    const STApplication stA = Applique(abSource, abDiff);
    ASSERT_TRUE(stA.bOk);
    EXPECT_TRUE(stA.ab == abCible);
}

struct STRefusCalcul {
    const char* pszCas;
    Octets abSource, abCible;
    int nPourcentage;
    CDiffXDelta::EErrorType e;
};

TEST(DiffAllerRetour, RefusDuCalcul) {
    const Octets abAlea = Aleatoire(20000, 51);
    const Octets abEdite = Edite(abAlea, 20, 8, 52);
    const Octets abAutre = Aleatoire(20000, 53);
    const STRefusCalcul k_tab[] = {
        {"empty source", Octets(), abAlea, -1, CDiffXDelta::DIFF_ERR_SOURCE_VIDE},
        {"empty source and target", Octets(), Octets(), -1, CDiffXDelta::DIFF_ERR_SOURCE_VIDE},
        {"identical", abAlea, abAlea, -1, CDiffXDelta::DIFF_ERR_IDENTIQUES},
        {"diff over 10 %", abAlea, abAutre, 10, CDiffXDelta::DIFF_ERR_POURCENTAGE},
        {"diff under 10 %", abAlea, abEdite, 10, CDiffXDelta::DIFF_OK},
        {"no limit", abAlea, abAutre, -1, CDiffXDelta::DIFF_OK},
        {"a limit of 0 is none", abAlea, abAutre, 0, CDiffXDelta::DIFF_OK},
    };
    for (const STRefusCalcul& st : k_tab) {
        CDiffXDelta::EErrorType e;
        const Octets abDiff = Cree(st.abSource, st.abCible, &e, false, st.nPourcentage);
        EXPECT_EQ(e, st.e) << st.pszCas;
        EXPECT_EQ(abDiff.empty(), st.e != CDiffXDelta::DIFF_OK) << st.pszCas;
    }
}

TEST(DiffAllerRetour, AutreSource) {
    const Octets abSource = Aleatoire(5000, 61);
    const Octets abDiff = Cree(abSource, Edite(abSource, 5, 4, 62));
    Octets abAutre = abSource;
    abAutre[2500] ^= 1;
    for (const Octets& ab : {abAutre, Octets(), Octets(abSource.begin(), abSource.end() - 1)}) {
        const STApplication st = Applique(ab, abDiff);
        EXPECT_FALSE(st.bOk);
        EXPECT_EQ(st.e, CDiffXDelta::DIFF_ERR_CRC_SOURCE);
        EXPECT_FALSE(st.bEcrit);
    }
}

// Buffers of the serialisation layer: a coded source is decoded first, the
// diff is read as it is stored.
TEST(DiffAllerRetour, ParLesBuffers) {
    const Octets abSource = Texte(50000, 71), abCible = Edite(abSource, 30, 10, 72);
    CQVBuffer clSource(BUFFER_PACK_ZLW, 0, 100), clCible, clDiff, clSortie;
    clSource.Set(abSource.data(), uint32_t(abSource.size()));
    ASSERT_LT(clSource.dwGetCodedSize(), abSource.size());   // coded now
    clCible.Set(abCible.data(), uint32_t(abCible.size()));
    CDiffXDelta cl;
    ASSERT_TRUE(cl.bComputeDiff(&clSource, &clCible, &clDiff, false));
    ASSERT_TRUE(cl.bApplyDiff(&clSource, &clDiff, &clSortie));
    const uint8_t* p = clSortie.pbyGetUncodedBuffer();
    EXPECT_TRUE(Octets(p, p + clSortie.dwGetSizeDirect()) == abCible);
    EXPECT_FALSE(cl.bComputeDiff(nullptr, &clCible, &clDiff, false));
    EXPECT_EQ(cl.eGetErreur(), CDiffXDelta::DIFF_ERR_BUFFER);
    EXPECT_FALSE(cl.bApplyDiff(&clSource, nullptr, &clSortie));
    EXPECT_EQ(cl.eGetErreur(), CDiffXDelta::DIFF_ERR_BUFFER);
}

// 100 MB each way, with edits spread all over.
TEST(DiffAllerRetour, CentMegaOctets) {
    const size_t n = 100u << 20;
    Octets abSource(n);
    uint64_t x = 0x9E3779B97F4A7C15ull;
    for (size_t i = 0; i + 8 <= n; i += 8) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        std::memcpy(abSource.data() + i, &x, 8);
    }
    Octets abCible = abSource;
    std::mt19937 gen(81);
    for (int k = 0; k < 1000; ++k) abCible[gen() % n] ^= static_cast<uint8_t>(1 + gen() % 255);
    abCible.insert(abCible.begin() + 12345678, 1000, 0x42);
    abCible.erase(abCible.begin() + 50000000, abCible.begin() + 50004000);
    CDiffXDelta::EErrorType e;
    Octets abDiff = Cree(abSource, abCible, &e);
    ASSERT_EQ(e, CDiffXDelta::DIFF_OK);
    EXPECT_LT(abDiff.size(), 1002u * 40 + 2000);
    const STApplication st = Applique(abSource, abDiff);
    ASSERT_TRUE(st.bOk) << st.e;
    EXPECT_TRUE(st.ab == abCible);
}

}  // namespace
}  // namespace difftest
