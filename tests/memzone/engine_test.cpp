// The memory-zone engine on small zones: key order, names, the worked
// examples of sorting, searching and moving, and the record-size limit.
#include <cmath>
#include <limits>
#include <vector>

#include "memzone/mz_test_util.h"

namespace mztest {
namespace {

// --- Key order ----------------------------------------------------------------

struct STCas {
    const char* pszNom;
    STDonnee a, b;
    int nAttendu;   // sign of MEM_nEnregTest(a, b)
};

int nSigne(int n) { return n < 0 ? -1 : (n > 0 ? 1 : 0); }

TEST(MemCles, Ordre) {
    const double rNaN = std::numeric_limits<double>::quiet_NaN();
    const STCas atab[] = {
        // An empty text is before everything but another empty text.
        {"vide = vide", Txt(""), Txt(""), 0},
        {"vide sans zero = vide", STDonnee{MEMT_BINAIRE, ""}, Txt(""), 0},
        {"vide < nombre", Txt(""), Ent(-5), -1},
        {"vide < texte", Txt(""), Txt("a"), -1},
        {"nombre > vide", Ent(3), Txt(""), 1},
        // Numbers before texts, compared as reals whatever their type.
        {"texte > nombre", Txt("0"), Reel(1e300), 1},
        {"nombre < texte", Ent(7), Txt("abc"), -1},
        {"2.5 < 10", Reel(2.5), Ent(10), -1},
        {"10 = 10.0", Ent(10), Reel(10.0), 0},
        {"court = entier", Court(-3), Ent(-3), 0},
        {"reel4 = reel", Reel4(0.5f), Reel(0.5), 0},
        {"-0 = +0", Reel(-0.0), Reel(0.0), 0},
        {"negatifs", Reel(-2.0), Reel(-1.0), -1},
        {"NaN apres les nombres", Reel(rNaN), Reel(1e308), 1},
        {"NaN = NaN", Reel(rNaN), Reel(rNaN), 0},
        // Texts byte by byte, unsigned, the shorter first on a tie.
        {"ab < abc", Txt("ab"), Txt("abc"), -1},
        {"abc > ab", Txt("abc"), Txt("ab"), 1},
        {"octets non signes", Txt("\xE9"), Txt("z"), 1},
        {"casse", Txt("B"), Txt("a"), -1},
        {"egaux", Txt("clef"), Txt("clef"), 0},
    };
    for (const STCas& st : atab) {
        EXPECT_EQ(nSigne(MEM_nEnregTest(st.a.st(), st.b.st())), st.nAttendu) << st.pszNom;
        EXPECT_EQ(nSigne(MEM_nEnregTest(st.b.st(), st.a.st())), -st.nAttendu) << st.pszNom << " (inverse)";
    }
}

// --- Zones and names ----------------------------------------------------------

using MemZones = MemTest;

TEST_F(MemZones, AjoutSurZoneParDefautNeuve) {
    ASSERT_FALSE(MEM_bExiste(nullptr));
    ASSERT_EQ(MEM_eAjoute(nullptr, Txt("v").st(), Txt("v").st()), MEMR_OK);
    EXPECT_TRUE(MEM_bExiste("QVMEMDEF"));
    EXPECT_TRUE(MEM_bExiste("qvmemdef"));
    STMemEtat st;
    ASSERT_TRUE(MEM_bEtat(nullptr, &st));
    EXPECT_EQ(st.nEnCours, 1);
    // A second record does not move the current record.
    ASSERT_EQ(MEM_eAjoute(nullptr, Txt("w").st(), Txt("w").st()), MEMR_OK);
    ASSERT_TRUE(MEM_bEtat(nullptr, &st));
    EXPECT_EQ(st.nEnCours, 1);
}

TEST_F(MemZones, Noms) {
    ASSERT_TRUE(bMemCree("Clients"));
    struct {
        const char* pszNom;
        bool bExiste;
    } atab[] = {
        {"CLIENTS", true},
        {"clients", true},
        {"cLiEnTs", true},
        {"client", false},
        {"clients2", false},
    };
    for (const auto& st : atab) EXPECT_EQ(MEM_bExiste(st.pszNom), st.bExiste) << st.pszNom;
    // Names are cut to 20 characters.
    ASSERT_TRUE(bMemCree("abcdefghijklmnopqrstuvwxy"));
    EXPECT_TRUE(MEM_bExiste("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_TRUE(MEM_bExiste("abcdefghijklmnopqrstZZZZZ"));
    EXPECT_FALSE(MEM_bExiste("abcdefghijklmnopqrs"));
    EXPECT_EQ(MEM_nZones(), 2u);
}

TEST_F(MemZones, NomVideEstLaDerniereZone) {
    ASSERT_TRUE(bMemCree("A"));
    ASSERT_TRUE(bMemCree("B"));
    ASSERT_EQ(MEM_eAjoute("", Txt("k").st(), Ent(1).st()), MEMR_OK);
    EXPECT_EQ(lMemOccurrence("B"), 1);
    ASSERT_EQ(MEM_eAjoute("a", Txt("k").st(), Ent(1).st()), MEMR_OK);
    ASSERT_EQ(MEM_eAjoute("", Txt("k").st(), Ent(1).st()), MEMR_OK);
    EXPECT_EQ(lMemOccurrence("A"), 2);
    EXPECT_EQ(lMemOccurrence("B"), 1);
    EXPECT_FALSE(MEM_bExiste(nullptr));
}

TEST_F(MemZones, CreeVideUneZoneExistante) {
    ASSERT_EQ(MEM_eAjoute("Z", Txt("k").st(), Ent(1).st()), MEMR_OK);
    ASSERT_TRUE(bMemCree("z"));
    EXPECT_EQ(lMemOccurrence("Z"), 0);
    EXPECT_EQ(MEM_nZones(), 1u);
}

TEST_F(MemZones, SuppressionDeToutesLesZones) {
    for (const char* psz : {"A", "B", "C"}) ASSERT_EQ(MEM_eAjoute(psz, Txt("k").st(), Ent(1).st()), MEMR_OK);
    ASSERT_EQ(MEM_eAjoute(nullptr, Txt("k").st(), Ent(1).st()), MEMR_OK);
    EXPECT_EQ(MEM_eSupprime("*", -1), MEMR_OK);
    EXPECT_EQ(MEM_nZones(), 0u);
    for (const char* psz : {"A", "B", "C", "QVMEMDEF"}) EXPECT_FALSE(MEM_bExiste(psz)) << psz;
    // "*" with a record number names no zone.
    EXPECT_EQ(MEM_eSupprime("*", 1), MEMR_ZONE_INCONNUE);
}

TEST_F(MemZones, ZoneInconnue) {
    CMemLecture cl;
    int32_t n = 0;
    EXPECT_EQ(lMemOccurrence("X"), -1);
    EXPECT_EQ(MEM_eRecupere("X", 1, &cl), MEMR_ZONE_INCONNUE);
    EXPECT_EQ(MEM_ePremier("X", &cl), MEMR_ZONE_INCONNUE);
    EXPECT_EQ(MEM_eRecherche("X", Txt("a").st(), &cl), MEMR_ZONE_INCONNUE);
    EXPECT_EQ(MEM_eChercheInverse("X", Txt("a").st(), &n), MEMR_ZONE_INCONNUE);
    EXPECT_EQ(n, -1);
    EXPECT_EQ(MEM_eModifie("X", Txt("a").st(), Txt("a").st(), 1), MEMR_ZONE_INCONNUE);
    EXPECT_EQ(MEM_eSupprime("X", 1), MEMR_ZONE_INCONNUE);
    EXPECT_EQ(MEM_eSupprime("X", -1), MEMR_ZONE_INCONNUE);
    EXPECT_EQ(MEM_eTri("X", 1), MEMR_ZONE_INCONNUE);
    EXPECT_EQ(MEM_nZones(), 0u);
}

// --- Sorting and searching -----------------------------------------------------

class MemTri : public MemTest {
protected:
    std::vector<STDonnee> Cles(const char* pszZone) {
        std::vector<STDonnee> tab;
        CMemLecture cl;
        for (int32_t i = 1; i <= lMemOccurrence(pszZone); ++i) {
            EXPECT_EQ(MEM_ePositionne(pszZone, i, &cl), MEMR_OK);
            EXPECT_EQ(MEM_eCleCourante(pszZone, &cl), MEMR_OK);
            tab.push_back(Lu(cl));
        }
        return tab;
    }
};

TEST_F(MemTri, OrdreDesClasses) {
    const STDonnee atabCles[] = {Ent(10), Txt(""), Txt("abc"), Reel(2.5)};
    for (const STDonnee& st : atabCles) ASSERT_EQ(MEM_eAjoute("T", st.st(), Ent(0).st()), MEMR_OK);
    ASSERT_EQ(MEM_eTri("T", 1), MEMR_OK);
    EXPECT_EQ(Cles("T"), (std::vector<STDonnee>{Txt(""), Reel(2.5), Ent(10), Txt("abc")}));
    ASSERT_EQ(MEM_eTri("T", 0), MEMR_OK);
    EXPECT_EQ(Cles("T"), (std::vector<STDonnee>{Txt("abc"), Ent(10), Reel(2.5), Txt("")}));
}

TEST_F(MemTri, RechercheRenvoieLePremierDesEgaux) {
    // Three records of key "k", among others, values telling them apart.
    const char* apszCles[] = {"m", "k", "a", "k", "z", "k", "b"};
    for (int32_t i = 0; i < 7; ++i) ASSERT_EQ(MEM_eAjoute("T", Txt(apszCles[i]).st(), Ent(i).st()), MEMR_OK);
    struct {
        int nSens;
        int32_t nPremier;   // record number of the first "k"
        int32_t nValeur;    // its value: equal keys keep their order, reversed when descending
    } atab[] = {{1, 3, 1}, {0, 3, 5}, {1, 3, 1}};
    for (const auto& st : atab) {
        ASSERT_EQ(MEM_eTri("T", st.nSens), MEMR_OK);
        CMemLecture cl;
        ASSERT_EQ(MEM_eRecherche("T", Txt("k").st(), &cl), MEMR_OK) << st.nSens;
        EXPECT_EQ(Lu(cl), Ent(st.nValeur)) << st.nSens;
        STMemEtat stE;
        ASSERT_TRUE(MEM_bEtat("T", &stE));
        EXPECT_EQ(stE.nEnCours, st.nPremier) << st.nSens;
        EXPECT_TRUE(stE.bTrouve);
        EXPECT_FALSE(stE.bEnDehors);
    }
    // Unsorted, the scan finds the first in index order too.
    ASSERT_EQ(MEM_eAjoute("T", Txt("k").st(), Ent(7).st()), MEMR_OK);
    CMemLecture cl;
    ASSERT_EQ(MEM_eRecherche("T", Txt("k").st(), &cl), MEMR_OK);
    EXPECT_EQ(Lu(cl), Ent(1));
}

TEST_F(MemTri, RechercheManquee) {
    for (const char* psz : {"b", "d", "f"}) ASSERT_EQ(MEM_eAjoute("T", Txt(psz).st(), Txt(psz).st()), MEMR_OK);
    for (bool bTrie : {false, true}) {
        if (bTrie) {
            ASSERT_EQ(MEM_eTri("T", 1), MEMR_OK);
        }
        for (const char* psz : {"a", "c", "g", ""}) {
            CMemLecture cl;
            EXPECT_EQ(MEM_eRecherche("T", Txt(psz).st(), &cl), MEMR_ABSENT) << psz;
            EXPECT_EQ(cl.nGetLongueur(), 0u);
            STMemEtat st;
            ASSERT_TRUE(MEM_bEtat("T", &st));
            EXPECT_FALSE(st.bTrouve);
            EXPECT_TRUE(st.bEnDehors && st.bAvantDebut && st.bApresFin);
        }
    }
}

TEST_F(MemTri, EtatApresTri) {
    for (int i = 3; i > 0; --i) ASSERT_EQ(MEM_eAjoute("T", Ent(i).st(), Ent(i).st()), MEMR_OK);
    CMemLecture cl;
    ASSERT_EQ(MEM_ePremier("T", &cl), MEMR_OK);
    ASSERT_EQ(MEM_eTri("T", 1), MEMR_OK);
    STMemEtat st;
    ASSERT_TRUE(MEM_bEtat("T", &st));
    EXPECT_EQ(st.nEnCours, 0);
    EXPECT_FALSE(st.bTrouve || st.bPositionne);
    EXPECT_TRUE(st.bEnDehors && st.bAvantDebut && st.bApresFin);
    // Not positioned: next reaches nothing.
    EXPECT_EQ(MEM_eSuivant("T", &cl), MEMR_ABSENT);
    // Sorting again in the same direction changes nothing, the flags neither.
    ASSERT_EQ(MEM_ePremier("T", &cl), MEMR_OK);
    EXPECT_EQ(Lu(cl), Ent(1));
    ASSERT_EQ(MEM_eTri("T", 1), MEMR_OK);
    ASSERT_TRUE(MEM_bEtat("T", &st));
    EXPECT_EQ(st.nEnCours, 1);
    EXPECT_TRUE(st.bTrouve);
    // An add clears the sorted state.
    ASSERT_EQ(MEM_eAjoute("T", Ent(0).st(), Ent(0).st()), MEMR_OK);
    STMemStatistiques stS;
    ASSERT_TRUE(MEM_bStatistiques("T", &stS));
    EXPECT_FALSE(stS.bTrie);
}

// --- Moving ---------------------------------------------------------------------

// One step of a walk through a zone of three records with values 1, 2, 3.
struct STPas {
    const char* pszOp;   // P premier, D dernier, S suivant, R precedent, N positionne, U recupere
    int32_t n;           // for N and U
    int32_t nValeur;     // value read, 0 for none
    int32_t nEnCours;
    bool bTrouve, bEnDehors, bAvant, bApres;
};

TEST_F(MemTest, Parcours) {
    for (int i = 1; i <= 3; ++i) ASSERT_EQ(MEM_eAjoute("Z", Ent(i).st(), Ent(i).st()), MEMR_OK);
    const STPas atab[] = {
        {"S", 0, 0, 1, false, true, false, false},   // not positioned yet: nothing moves
        {"P", 0, 1, 1, true, false, false, false},
        {"S", 0, 2, 2, true, false, false, false},
        {"S", 0, 3, 3, true, false, false, false},
        {"S", 0, 0, 3, false, true, false, true},    // past the end
        {"S", 0, 0, 3, false, true, false, true},    // and it stays there
        {"R", 0, 3, 3, true, false, false, false},   // previous from past the end is the last
        {"R", 0, 2, 2, true, false, false, false},
        {"R", 0, 1, 1, true, false, false, false},
        {"R", 0, 0, 1, false, true, true, false},    // before the first
        {"S", 0, 1, 1, true, false, false, false},   // next from before the first is the first
        {"U", 3, 3, 1, true, false, false, false},   // a read by number leaves the current record
        {"U", 0, 0, 1, false, true, true, false},
        {"U", 4, 0, 1, false, true, false, true},
        {"N", 2, 2, 2, true, false, false, false},
        {"N", 9, 0, 2, false, true, false, true},
        {"D", 0, 3, 3, true, false, false, false},
    };
    int nPas = 0;
    for (const STPas& st : atab) {
        CMemLecture cl;
        eMemRes e = MEMR_ECHEC;
        switch (st.pszOp[0]) {
            case 'P': e = MEM_ePremier("Z", &cl); break;
            case 'D': e = MEM_eDernier("Z", &cl); break;
            case 'S': e = MEM_eSuivant("Z", &cl); break;
            case 'R': e = MEM_ePrecedent("Z", &cl); break;
            case 'N': e = MEM_ePositionne("Z", st.n, &cl); break;
            case 'U': e = MEM_eRecupere("Z", st.n, &cl); break;
        }
        ++nPas;
        EXPECT_EQ(e, st.nValeur != 0 ? MEMR_OK : MEMR_ABSENT) << "step " << nPas;
        if (st.nValeur != 0) {
            EXPECT_EQ(Lu(cl), Ent(st.nValeur)) << "step " << nPas;
        }
        STMemEtat stE;
        ASSERT_TRUE(MEM_bEtat("Z", &stE));
        EXPECT_EQ(stE.nEnCours, st.nEnCours) << "step " << nPas;
        EXPECT_EQ(stE.bTrouve, st.bTrouve) << "step " << nPas;
        EXPECT_EQ(stE.bEnDehors, st.bEnDehors) << "step " << nPas;
        EXPECT_EQ(stE.bAvantDebut, st.bAvant) << "step " << nPas;
        EXPECT_EQ(stE.bApresFin, st.bApres) << "step " << nPas;
    }
}

TEST_F(MemTest, ZoneVide) {
    ASSERT_TRUE(bMemCree("V"));
    CMemLecture cl;
    EXPECT_EQ(MEM_ePremier("V", &cl), MEMR_ABSENT);
    EXPECT_EQ(MEM_eDernier("V", &cl), MEMR_ABSENT);
    EXPECT_EQ(MEM_eRecherche("V", Txt("a").st(), &cl), MEMR_ABSENT);
    EXPECT_EQ(MEM_eCleCourante("V", &cl), MEMR_ABSENT);
    EXPECT_EQ(MEM_eTri("V", 0), MEMR_OK);
    EXPECT_EQ(lMemOccurrence("V"), 0);
}

// --- Modifying and deleting --------------------------------------------------------

TEST_F(MemTest, ModifieHorsListe) {
    for (int i = 1; i <= 2; ++i) ASSERT_EQ(MEM_eAjoute("Z", Ent(i).st(), Ent(i).st()), MEMR_OK);
    struct {
        int32_t n;
        eMemRes e;
        bool bAvant, bApres;
    } atab[] = {{3, MEMR_ABSENT, false, true}, {0, MEMR_ABSENT, true, false}, {-1, MEMR_ABSENT, true, false},
                {2, MEMR_OK, false, false}};
    for (const auto& st : atab) {
        EXPECT_EQ(MEM_eModifie("Z", Txt("k").st(), Txt("v").st(), st.n), st.e) << st.n;
        if (st.e != MEMR_OK) {
            STMemEtat stE;
            ASSERT_TRUE(MEM_bEtat("Z", &stE));
            EXPECT_EQ(stE.bAvantDebut, st.bAvant) << st.n;
            EXPECT_EQ(stE.bApresFin, st.bApres) << st.n;
            EXPECT_TRUE(stE.bEnDehors && !stE.bTrouve) << st.n;
        }
    }
    CMemLecture cl;
    ASSERT_EQ(MEM_eRecupere("Z", 2, &cl), MEMR_OK);
    EXPECT_EQ(Lu(cl), Txt("v"));
    ASSERT_EQ(MEM_ePositionne("Z", 2, &cl), MEMR_OK);
    ASSERT_EQ(MEM_eCleCourante("Z", &cl), MEMR_OK);
    EXPECT_EQ(Lu(cl), Txt("k"));
}

TEST_F(MemTest, SupprimeUnEnregistrement) {
    for (int i = 1; i <= 3; ++i) ASSERT_EQ(MEM_eAjoute("Z", Ent(i).st(), Ent(i * 10).st()), MEMR_OK);
    CMemLecture cl;
    ASSERT_EQ(MEM_eDernier("Z", &cl), MEMR_OK);
    ASSERT_EQ(MEM_eSupprime("Z", 1), MEMR_OK);
    EXPECT_EQ(lMemOccurrence("Z"), 2);
    // The current record (3) no longer exists.
    STMemEtat st;
    ASSERT_TRUE(MEM_bEtat("Z", &st));
    EXPECT_FALSE(st.bTrouve);
    EXPECT_TRUE(st.bEnDehors);
    EXPECT_EQ(st.nEnCours, 3);
    ASSERT_EQ(MEM_eRecupere("Z", 1, &cl), MEMR_OK);
    EXPECT_EQ(Lu(cl), Ent(20));
    EXPECT_EQ(MEM_eSupprime("Z", 3), MEMR_ABSENT);
    EXPECT_EQ(MEM_eSupprime("Z", 0), MEMR_ABSENT);
    EXPECT_EQ(MEM_eSupprime("Z", -1), MEMR_OK);
    EXPECT_FALSE(MEM_bExiste("Z"));
}

TEST_F(MemTest, ChercheInverse) {
    ASSERT_EQ(MEM_eAjoute("Z", Txt("a").st(), Txt("abcdef").st()), MEMR_OK);
    ASSERT_EQ(MEM_eAjoute("Z", Txt("b").st(), Ent(42).st()), MEMR_OK);
    ASSERT_EQ(MEM_eAjoute("Z", Txt("c").st(), Txt("abc").st()), MEMR_OK);
    struct {
        STDonnee stValeur;
        int32_t nAttendu;
    } atab[] = {
        {Txt("abc"), 3},                                 // with its zero: the whole text
        {STDonnee{MEMT_BINAIRE, "abc"}, 1},              // without: the first value starting so
        {Ent(42), 2},
        {Reel(42), -1},                                  // the type must be the same
        {Txt("x"), -1},
    };
    for (const auto& st : atab) {
        int32_t n = 0;
        EXPECT_EQ(MEM_eChercheInverse("Z", st.stValeur.st(), &n), MEMR_OK);
        EXPECT_EQ(n, st.nAttendu) << st.stValeur;
    }
    // The flags are not touched.
    STMemEtat stE;
    ASSERT_TRUE(MEM_bEtat("Z", &stE));
    EXPECT_FALSE(stE.bTrouve || stE.bEnDehors);
}

// --- Record size ---------------------------------------------------------------

TEST_F(MemTest, TailleDesEnregistrements) {
    // Key + value + 7 may reach 65535, not pass it.
    struct {
        uint32_t nCle, nValeur;
        eMemRes e;
    } atab[] = {
        {0, 65528, MEMR_OK},
        {65528, 0, MEMR_OK},
        {30000, 35528, MEMR_OK},
        {30000, 35529, MEMR_TROP_LONG},
        {65521, 65521, MEMR_TROP_LONG},
        {65535, 65535, MEMR_TROP_LONG},
    };
    int32_t nAttendus = 0;
    for (const auto& st : atab) {
        const STDonnee stC{MEMT_BINAIRE, std::string(st.nCle, 'k')}, stV{MEMT_BINAIRE, std::string(st.nValeur, 'v')};
        EXPECT_EQ(MEM_eAjoute("Z", stC.st(), stV.st()), st.e) << st.nCle << "+" << st.nValeur;
        if (st.e == MEMR_OK) {
            ++nAttendus;
            CMemLecture cl;
            ASSERT_EQ(MEM_eDernier("Z", &cl), MEMR_OK);
            EXPECT_EQ(Lu(cl), stV);
        }
    }
    EXPECT_EQ(lMemOccurrence("Z"), nAttendus);
}

}  // namespace
}  // namespace mztest
