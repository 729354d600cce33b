// The memory area's growth and the spill file, under small limits: records
// in the file read back, the area stops growing once the zone has spilled,
// growth steps are counted and given back, and a spill file that cannot be
// made fails the add without losing what the zone holds.
#include <vector>

#include "memzone/mz_test_util.h"

namespace mztest {
namespace {

STDonnee ValeurNo(int i) { return Txt("valeur " + std::to_string(i) + std::string(size_t(i % 37), '#')); }

class MemDebord : public MemTest {
protected:
    void Petites(uint32_t nArea, uint32_t nParZone, uint32_t nTotal, bool bSansProjection = false) {
        Limites(LimitesReduites(nArea, nParZone, nTotal, 5, bSansProjection));
    }
    void Remplit(const char* pszZone, int nDebut, int nFin) {
        for (int i = nDebut; i < nFin; ++i) ASSERT_EQ(MEM_eAjoute(pszZone, Ent(i).st(), ValeurNo(i).st()), MEMR_OK) << i;
    }
    void VerifieTout(const char* pszZone, int nNb) {
        ASSERT_EQ(lMemOccurrence(pszZone), nNb);
        for (int i = 0; i < nNb; ++i) {
            CMemLecture cl;
            ASSERT_EQ(MEM_eRecupere(pszZone, i + 1, &cl), MEMR_OK) << i;
            ASSERT_EQ(Lu(cl), ValeurNo(i)) << i;
        }
    }
};

TEST_F(MemDebord, LectureDesEnregistrementsDuFichier) {
    for (bool bSansProjection : {false, true}) {
        SCOPED_TRACE(bSansProjection ? "pread" : "mapping");
        Petites(256, 1, 1, bSansProjection);
        const int nAvant = nDescripteursOuverts();
        Remplit("Z", 0, 300);
        STMemStatistiques st;
        ASSERT_TRUE(MEM_bStatistiques("Z", &st));
        EXPECT_TRUE(st.bFichier);
        EXPECT_EQ(st.nCapacite, 512u);
        EXPECT_EQ(st.nExtensions, 1u);
        EXPECT_GT(st.nEnFichier, 250u);
        EXPECT_EQ(st.nEnMemoire + st.nEnFichier, 300u);
        // The file is already unlinked: nothing shows in the directory.
        EXPECT_EQ(nEntreesRepertoire(m_sRep), 0);
        EXPECT_EQ(nDescripteursOuverts(), nAvant + 1);
        VerifieTout("Z", 300);
        // Sorting descending and searching every key go through the file.
        ASSERT_EQ(MEM_eTri("Z", 0), MEMR_OK);
        for (int i = 0; i < 300; i += 7) {
            CMemLecture cl;
            ASSERT_EQ(MEM_eRecherche("Z", Ent(i).st(), &cl), MEMR_OK) << i;
            EXPECT_EQ(Lu(cl), ValeurNo(i));
            STMemEtat stE;
            ASSERT_TRUE(MEM_bEtat("Z", &stE));
            EXPECT_EQ(stE.nEnCours, 300 - i);
        }
        ASSERT_EQ(MEM_eSupprime("Z", -1), MEMR_OK);
        EXPECT_EQ(nDescripteursOuverts(), nAvant);
    }
}

TEST_F(MemDebord, LaZoneNeGranditPlusApresLeDebord) {
    // A takes the only growth step; B spills at once.
    Petites(256, 4, 1);
    Remplit("A", 0, 10);
    Remplit("B", 0, 40);
    STMemStatistiques st;
    ASSERT_TRUE(MEM_bStatistiques("B", &st));
    ASSERT_TRUE(st.bFichier);
    ASSERT_EQ(st.nCapacite, 256u);
    EXPECT_EQ(MEM_nExtensionsTotal(), 1u);
    // A goes and gives its step back; B must still not grow, or every
    // offset into its file would shift.
    ASSERT_EQ(MEM_eSupprime("A", -1), MEMR_OK);
    EXPECT_EQ(MEM_nExtensionsTotal(), 0u);
    Remplit("B", 40, 80);
    ASSERT_TRUE(MEM_bStatistiques("B", &st));
    EXPECT_EQ(st.nCapacite, 256u);
    EXPECT_EQ(st.nExtensions, 0u);
    VerifieTout("B", 80);
}

TEST_F(MemDebord, CompteDesExtensions) {
    Petites(128, 3, 5);
    struct {
        const char* pszZone;
        int nAjouts;
        uint32_t nTotal;   // growth steps in use after the adds
    } atab[] = {{"A", 20, 3}, {"B", 20, 5}, {"C", 20, 5}};
    int nDebut = 0;
    for (const auto& st : atab) {
        Remplit(st.pszZone, nDebut, nDebut + st.nAjouts);
        EXPECT_EQ(MEM_nExtensionsTotal(), st.nTotal) << st.pszZone;
    }
    STMemStatistiques stC;
    ASSERT_TRUE(MEM_bStatistiques("C", &stC));
    EXPECT_EQ(stC.nExtensions, 0u);
    EXPECT_TRUE(stC.bFichier);
    ASSERT_EQ(MEM_eSupprime("A", -1), MEMR_OK);
    EXPECT_EQ(MEM_nExtensionsTotal(), 2u);
    ASSERT_TRUE(bMemCree("B"));
    EXPECT_EQ(MEM_nExtensionsTotal(), 0u);
}

TEST_F(MemDebord, FichierImpossible) {
    STMemLimites st = LimitesReduites(256, 0, 0, 5);
    st.pszRepertoireTemp = "/nonexistent/qvmem";
    MEM_SetLimites(st);
    int i = 0;
    while (MEM_eAjoute("Z", Ent(i).st(), ValeurNo(i).st()) == MEMR_OK) ++i;
    ASSERT_GT(i, 0);
    EXPECT_EQ(MEM_eAjoute("Z", Ent(i).st(), ValeurNo(i).st()), MEMR_ECHEC);
    // The zone keeps its records and has no file.
    VerifieTout("Z", i);
    STMemStatistiques stS;
    ASSERT_TRUE(MEM_bStatistiques("Z", &stS));
    EXPECT_FALSE(stS.bFichier);
    // A replacement is a new record: it fails the same way, record 1 stays.
    EXPECT_EQ(MEM_eModifie("Z", Ent(0).st(), Txt(std::string(300, 'x')).st(), 1), MEMR_ECHEC);
    VerifieTout("Z", i);
}

TEST_F(MemDebord, BlocsDIndex) {
    // Blocks of 5 entries; deletions leave short blocks in the middle.
    Petites(4096, 64, 128);
    Remplit("Z", 0, 23);
    std::vector<int> tabRestants;
    for (int i = 0; i < 23; ++i) tabRestants.push_back(i);
    for (int32_t n : {7, 1, 6, 6, 12, 15}) {
        ASSERT_EQ(MEM_eSupprime("Z", n), MEMR_OK) << n;
        tabRestants.erase(tabRestants.begin() + (n - 1));
    }
    Remplit("Z", 23, 30);
    for (int i = 23; i < 30; ++i) tabRestants.push_back(i);
    ASSERT_EQ(lMemOccurrence("Z"), int32_t(tabRestants.size()));
    for (size_t i = 0; i < tabRestants.size(); ++i) {
        CMemLecture cl;
        ASSERT_EQ(MEM_eRecupere("Z", int32_t(i + 1), &cl), MEMR_OK);
        EXPECT_EQ(Lu(cl), ValeurNo(tabRestants[i])) << i;
    }
    // A sort packs the blocks again; the order is the keys'.
    ASSERT_EQ(MEM_eTri("Z", 1), MEMR_OK);
    for (size_t i = 0; i < tabRestants.size(); ++i) {
        CMemLecture cl;
        ASSERT_EQ(MEM_eRecupere("Z", int32_t(i + 1), &cl), MEMR_OK);
        EXPECT_EQ(Lu(cl), ValeurNo(tabRestants[i])) << i;
    }
}

TEST_F(MemDebord, FinDuModuleFermeLesFichiers) {
    Petites(128, 0, 0);
    const int nAvant = nDescripteursOuverts();
    Remplit("A", 0, 30);
    Remplit("B", 0, 30);
    EXPECT_EQ(nDescripteursOuverts(), nAvant + 2);
    MEM_FinModule();
    EXPECT_EQ(nDescripteursOuverts(), nAvant);
    EXPECT_EQ(MEM_nZones(), 0u);
    ASSERT_TRUE(MEM_InitModule());
}

}  // namespace
}  // namespace mztest
