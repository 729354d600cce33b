// Model-based test of the memory-zone engine: seeded random sequences of
// operations on several zones, run on the engine and on a plain model
// (ordered containers, written from the rules the engine must follow),
// every answer and the flags compared after every operation. Small limits
// bring growth steps, spill files and index blocks into play.
#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <vector>

#include "memzone/mz_test_util.h"

namespace mztest {
namespace {

// --- The model -------------------------------------------------------------------

int nClasse(const STDonnee& st) {
    if (st.cType == MEMT_ENTIER || st.cType == MEMT_REEL || st.cType == MEMT_COURT || st.cType == MEMT_REEL4) return 1;
    return st.sOctets.empty() || st.sOctets == std::string(1, '\0') ? 0 : 2;
}

double rNombre(const STDonnee& st) {
    if (st.cType == MEMT_ENTIER) {
        int32_t n;
        memcpy(&n, st.sOctets.data(), 4);
        return n;
    }
    double r;
    memcpy(&r, st.sOctets.data(), 8);
    return r;
}

// The key order, written out independently of the engine's.
int nCompareModele(const STDonnee& a, const STDonnee& b) {
    const int ca = nClasse(a), cb = nClasse(b);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
    if (ca == 1) return rNombre(a) < rNombre(b) ? -1 : (rNombre(a) > rNombre(b) ? 1 : 0);
    const std::string &sa = a.sOctets, &sb = b.sOctets;
    return sa < sb ? -1 : (sa > sb ? 1 : 0);   // std::string compares bytes unsigned, the shorter first
}

struct STZoneModele {
    std::vector<std::pair<STDonnee, STDonnee>> tab;
    bool bTrie = false;
    int nSens = 1;
    STMemEtat st{0, false, false, false, false, false};
};

struct STModele {
    std::map<std::string, STZoneModele> mapZones;   // by upper-case name

    static std::string Nom(const char* psz) {
        std::string s = psz != nullptr ? psz : "QVMEMDEF";
        for (char& c : s) c = char(toupper(static_cast<unsigned char>(c)));
        return s;
    }
    STZoneModele* pZone(const char* psz) {
        auto it = mapZones.find(Nom(psz));
        return it == mapZones.end() ? nullptr : &it->second;
    }

    static void HorsListe(STZoneModele& z, int64_t n) {
        z.st.bAvantDebut = n < 1;
        z.st.bApresFin = n > int64_t(z.tab.size());
        z.st.bTrouve = false;
        z.st.bEnDehors = true;
    }
    static eMemRes eLit(STZoneModele& z, int64_t n, STDonnee* pst) {
        if (n < 1 || n > int64_t(z.tab.size())) {
            HorsListe(z, n);
            return MEMR_ABSENT;
        }
        *pst = z.tab[size_t(n - 1)].second;
        z.st.bTrouve = true;
        z.st.bEnDehors = z.st.bAvantDebut = z.st.bApresFin = false;
        return MEMR_OK;
    }
    static eMemRes eVa(STZoneModele& z, int64_t n, STDonnee* pst) {
        const eMemRes e = eLit(z, n, pst);
        if (e == MEMR_OK) {
            z.st.nEnCours = int32_t(n);
            z.st.bPositionne = true;
        }
        return e;
    }
    static void Trie(STZoneModele& z, int nSens) {
        const int nVoulu = nSens == 0 ? 0 : 1;
        if (z.bTrie && z.nSens == nVoulu) return;
        if (z.bTrie) {
            std::reverse(z.tab.begin(), z.tab.end());
        } else {
            std::stable_sort(z.tab.begin(), z.tab.end(),
                             [](const auto& a, const auto& b) { return nCompareModele(a.first, b.first) < 0; });
            if (nVoulu == 0) std::reverse(z.tab.begin(), z.tab.end());
        }
        z.bTrie = true;
        z.nSens = nVoulu;
        z.st = STMemEtat{0, false, true, true, true, false};
    }
};

// --- The run -------------------------------------------------------------------------

const char* const k_apszZones[] = {nullptr, "alpha", "Beta", "ALPHA"};

STDonnee Cle(std::mt19937& g) {
    switch (g() % 4) {
        case 0: return Ent(int32_t(g() % 5) - 2);
        case 1: return Reel(double(int(g() % 7) - 3) / 2);
        default: {
            std::string s;
            for (unsigned i = g() % 4; i > 0; --i) s += char('a' + g() % 3);
            return Txt(s);
        }
    }
}

STDonnee Valeur(std::mt19937& g) {
    if (g() % 3 == 0) return Ent(int32_t(g() % 1000));
    // Sizes up to a few hundred bytes so that the small areas fill.
    return Txt(std::string(g() % 300, char('a' + g() % 26)));
}

class MemModele : public MemTest {
protected:
    void Compare(STModele& m, const char* pszZone, const std::string& sOp) {
        STZoneModele* pz = m.pZone(pszZone);
        EXPECT_EQ(MEM_bExiste(pszZone), pz != nullptr) << sOp;
        EXPECT_EQ(MEM_nZones(), m.mapZones.size()) << sOp;
        if (pz == nullptr) return;
        EXPECT_EQ(lMemOccurrence(pszZone), int32_t(pz->tab.size())) << sOp;
        STMemEtat st;
        ASSERT_TRUE(MEM_bEtat(pszZone, &st)) << sOp;
        EXPECT_EQ(st.nEnCours, pz->st.nEnCours) << sOp;
        EXPECT_EQ(st.bTrouve, pz->st.bTrouve) << sOp;
        EXPECT_EQ(st.bEnDehors, pz->st.bEnDehors) << sOp;
        EXPECT_EQ(st.bAvantDebut, pz->st.bAvantDebut) << sOp;
        EXPECT_EQ(st.bApresFin, pz->st.bApresFin) << sOp;
        EXPECT_EQ(st.bPositionne, pz->st.bPositionne) << sOp;
        STMemStatistiques stS;
        ASSERT_TRUE(MEM_bStatistiques(pszZone, &stS));
        EXPECT_EQ(stS.nEnMemoire + stS.nEnFichier, pz->tab.size()) << sOp;
        EXPECT_EQ(stS.bTrie, pz->bTrie) << sOp;
        m_nEnFichier += stS.nEnFichier;
        m_nExtensions += stS.nExtensions;
    }
    // What the runs reached: records read from spill files, growth steps.
    uint64_t m_nEnFichier = 0, m_nExtensions = 0;

    // Every record of every zone, read back without touching the flags'
    // model (the reads are replayed on it).
    void CompareTout(STModele& m, const std::string& sOp) {
        for (auto& [sNom, z] : m.mapZones) {
            for (size_t i = 0; i < z.tab.size(); ++i) {
                CMemLecture cl;
                ASSERT_EQ(MEM_eRecupere(sNom.c_str(), int32_t(i + 1), &cl), MEMR_OK) << sOp;
                EXPECT_EQ(Lu(cl), z.tab[i].second) << sOp << " " << sNom << " #" << i + 1;
                STDonnee stInutile;
                STModele::eLit(z, int64_t(i + 1), &stInutile);
            }
        }
    }

    void Deroule(uint32_t nGraine, int nOperations) {
        std::mt19937 g(nGraine);
        STModele m;
        for (int nOp = 0; nOp < nOperations; ++nOp) {
            const char* pszZone = k_apszZones[g() % 4];
            STZoneModele* pz = m.pZone(pszZone);
            const unsigned nChoix = g() % 100;
            std::string sOp = "seed " + std::to_string(nGraine) + " op " + std::to_string(nOp) + " ";
            CMemLecture cl;
            STDonnee stAttendu;
            eMemRes eAttendu = MEMR_ZONE_INCONNUE;
            eMemRes e;
            const int32_t n = int32_t(g() % 12) - 1;   // -1 .. 10
            if (nChoix < 40) {
                sOp += "ajoute";
                const STDonnee stC = Cle(g), stV = Valeur(g);
                e = MEM_eAjoute(pszZone, stC.st(), stV.st());
                STZoneModele& z = m.mapZones[STModele::Nom(pszZone)];
                z.tab.emplace_back(stC, stV);
                z.bTrie = false;
                if (z.tab.size() == 1) z.st.nEnCours = 1;
                eAttendu = MEMR_OK;
            } else if (nChoix < 44) {
                sOp += "modifie";
                const STDonnee stC = Cle(g), stV = Valeur(g);
                e = MEM_eModifie(pszZone, stC.st(), stV.st(), n);
                if (pz != nullptr) {
                    if (n >= 1 && size_t(n) <= pz->tab.size()) {
                        pz->tab[size_t(n - 1)] = {stC, stV};
                        pz->bTrie = false;
                        eAttendu = MEMR_OK;
                    } else {
                        STModele::HorsListe(*pz, n);
                        eAttendu = MEMR_ABSENT;
                    }
                }
            } else if (nChoix < 50) {
                sOp += "supprime " + std::to_string(n);
                const int32_t nS = g() % 10 == 0 ? -1 : std::max(n, 0);
                e = MEM_eSupprime(pszZone, nS);
                if (pz != nullptr) {
                    if (nS == -1) {
                        m.mapZones.erase(STModele::Nom(pszZone));
                        eAttendu = MEMR_OK;
                    } else if (nS >= 1 && size_t(nS) <= pz->tab.size()) {
                        pz->tab.erase(pz->tab.begin() + (nS - 1));
                        if (pz->st.nEnCours > int32_t(pz->tab.size())) {
                            pz->st.bTrouve = false;
                            pz->st.bEnDehors = true;
                        }
                        eAttendu = MEMR_OK;
                    } else {
                        STModele::HorsListe(*pz, nS);
                        eAttendu = MEMR_ABSENT;
                    }
                }
            } else if (nChoix < 52) {
                sOp += "cree";
                ASSERT_TRUE(bMemCree(pszZone));
                m.mapZones[STModele::Nom(pszZone)] = STZoneModele{};
                e = eAttendu = MEMR_OK;
            } else if (nChoix < 60) {
                const int nSens = int(g() % 3);   // 2 ascends like 1
                sOp += "tri " + std::to_string(nSens);
                e = MEM_eTri(pszZone, nSens);
                if (pz != nullptr) {
                    STModele::Trie(*pz, nSens);
                    eAttendu = MEMR_OK;
                }
            } else if (nChoix < 70) {
                sOp += "recherche";
                const STDonnee stC = Cle(g);
                e = MEM_eRecherche(pszZone, stC.st(), &cl);
                if (pz != nullptr) {
                    size_t i = 0;
                    while (i < pz->tab.size() && nCompareModele(stC, pz->tab[i].first) != 0) ++i;
                    if (i < pz->tab.size()) {
                        eAttendu = STModele::eVa(*pz, int64_t(i + 1), &stAttendu);
                    } else {
                        pz->st.bTrouve = false;
                        pz->st.bEnDehors = pz->st.bAvantDebut = pz->st.bApresFin = true;
                        eAttendu = MEMR_ABSENT;
                    }
                }
            } else if (nChoix < 73) {
                sOp += "cherche inverse";
                const STDonnee stV = pz != nullptr && !pz->tab.empty() && g() % 2 ? pz->tab[g() % pz->tab.size()].second
                                                                                  : Valeur(g);
                int32_t nTrouve = 0;
                e = MEM_eChercheInverse(pszZone, stV.st(), &nTrouve);
                int32_t nAttendu = -1;
                if (pz != nullptr) {
                    eAttendu = MEMR_OK;
                    for (size_t i = 0; i < pz->tab.size() && nAttendu < 0; ++i) {
                        const STDonnee& stR = pz->tab[i].second;
                        if (stR.cType == stV.cType && stR.sOctets.compare(0, stV.sOctets.size(), stV.sOctets) == 0)
                            nAttendu = int32_t(i + 1);
                    }
                }
                EXPECT_EQ(nTrouve, nAttendu) << sOp;
            } else if (nChoix < 78) {
                sOp += "recupere " + std::to_string(n);
                e = MEM_eRecupere(pszZone, n, &cl);
                if (pz != nullptr) eAttendu = STModele::eLit(*pz, n, &stAttendu);
            } else if (nChoix < 82) {
                sOp += "positionne " + std::to_string(n);
                e = MEM_ePositionne(pszZone, n, &cl);
                if (pz != nullptr) eAttendu = STModele::eVa(*pz, n, &stAttendu);
            } else if (nChoix < 85) {
                sOp += "premier";
                e = MEM_ePremier(pszZone, &cl);
                if (pz != nullptr) eAttendu = STModele::eVa(*pz, 1, &stAttendu);
            } else if (nChoix < 88) {
                sOp += "dernier";
                e = MEM_eDernier(pszZone, &cl);
                if (pz != nullptr) eAttendu = STModele::eVa(*pz, int64_t(pz->tab.size()), &stAttendu);
            } else if (nChoix < 96) {
                const bool bSuivant = nChoix < 92;
                sOp += bSuivant ? "suivant" : "precedent";
                e = bSuivant ? MEM_eSuivant(pszZone, &cl) : MEM_ePrecedent(pszZone, &cl);
                if (pz != nullptr) {
                    STMemEtat& st = pz->st;
                    if (!st.bPositionne) {
                        st.bTrouve = false;
                        st.bEnDehors = true;
                        eAttendu = MEMR_ABSENT;
                    } else if (bSuivant) {
                        eAttendu = STModele::eVa(*pz, st.bAvantDebut ? 1 : int64_t(st.nEnCours) + 1, &stAttendu);
                    } else {
                        eAttendu = STModele::eVa(
                            *pz, st.bApresFin ? int64_t(pz->tab.size()) : int64_t(st.nEnCours) - 1, &stAttendu);
                    }
                }
            } else {
                sOp += "cle courante";
                e = MEM_eCleCourante(pszZone, &cl);
                if (pz != nullptr) {
                    const int32_t nC = pz->st.nEnCours;
                    eAttendu = nC >= 1 && size_t(nC) <= pz->tab.size() ? MEMR_OK : MEMR_ABSENT;
                    if (eAttendu == MEMR_OK) stAttendu = pz->tab[size_t(nC - 1)].first;
                }
            }
            if (nChoix >= 70 && nChoix < 73) {
                EXPECT_EQ(e, eAttendu) << sOp;
            } else {
                ASSERT_EQ(e, eAttendu) << sOp;
                if (e == MEMR_OK && nChoix >= 60) {
                    EXPECT_EQ(Lu(cl), stAttendu) << sOp;
                }
            }
            Compare(m, pszZone, sOp);
            if (HasFatalFailure() || HasFailure()) return;
            if (nOp % 500 == 499) CompareTout(m, sOp);
        }
        CompareTout(m, "end of seed " + std::to_string(nGraine));
    }
};

// Limits under which the few hundred records of a run reach every path:
// areas of 512 bytes growing twice per zone and three times in all, index
// blocks of 4 entries, every spill read copied or mapped.
struct STConfig {
    const char* pszNom;
    STMemLimites st;
    bool bDebord;   // the runs must spill and grow
};

TEST_F(MemModele, SequencesAleatoires) {
    const STConfig atab[] = {
        {"petites limites", LimitesReduites(512, 2, 3, 4), true},
        {"lectures copiees", LimitesReduites(512, 2, 3, 4, true), true},
        {"limites du produit", STMemLimites{}, false},
    };
    for (const STConfig& stC : atab) {
        m_nEnFichier = m_nExtensions = 0;
        for (uint32_t nGraine = 1; nGraine <= 6; ++nGraine) {
            SCOPED_TRACE(stC.pszNom);
            Limites(stC.st);
            Deroule(nGraine * 7919u, 1500);
            ASSERT_EQ(MEM_eSupprime("*", -1), MEMR_OK);
            if (HasFailure()) return;
        }
        EXPECT_EQ(m_nEnFichier > 0, stC.bDebord) << stC.pszNom;
        EXPECT_EQ(m_nExtensions > 0, stC.bDebord) << stC.pszNom;
    }
}

}  // namespace
}  // namespace mztest
