// Profile lookups beside inih's parser on the same file: 1,000 random
// (section, key) lookups in a file of 10,000 keys (100 sections of 100
// keys), each lookup reading the file from disk. The bounded lookup fills
// a fixed buffer; the unbounded one returns the whole value, as INILit
// does. The inih handler copies the value and stops the parse at the key.
#include <benchmark/benchmark.h>
#include <ini.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "system/profile.h"

namespace {

constexpr int k_nSections = 100;
constexpr int k_nClesParSection = 100;
constexpr int k_nRecherches = 1000;

struct STRecherche {
    std::string sSection, sCle, sValeur;
};

std::string NomSection(int s) { return "section" + std::to_string(s); }
std::string NomCle(int k) { return "key" + std::to_string(k); }
std::string Valeur(int s, int k) { return "value-" + std::to_string(s) + "-" + std::to_string(k) + " some text"; }

// The file and the lookups, made once for the whole run.
struct STJeu {
    std::string sDossier, sFichier;
    std::vector<STRecherche> tabRecherches;

    STJeu() {
        char szModele[] = "/tmp/bench_ini_XXXXXX";
        if (mkdtemp(szModele) == nullptr) abort();
        sDossier = szModele;
        sFichier = sDossier + "/bench.ini";
        std::string sTexte;
        for (int s = 0; s < k_nSections; ++s) {
            sTexte += "[" + NomSection(s) + "]\n";
            for (int k = 0; k < k_nClesParSection; ++k) sTexte += NomCle(k) + " = " + Valeur(s, k) + "\n";
            sTexte += "\n";
        }
        FILE* f = fopen(sFichier.c_str(), "wb");
        if (f == nullptr || fwrite(sTexte.data(), 1, sTexte.size(), f) != sTexte.size()) abort();
        fclose(f);
        std::mt19937 clAlea(20240611u);
        std::uniform_int_distribution<int> clS(0, k_nSections - 1), clK(0, k_nClesParSection - 1);
        for (int i = 0; i < k_nRecherches; ++i) {
            int s = clS(clAlea), k = clK(clAlea);
            tabRecherches.push_back({NomSection(s), NomCle(k), Valeur(s, k)});
        }
    }
    ~STJeu() {
        unlink(sFichier.c_str());
        rmdir(sDossier.c_str());
    }
};

STJeu& Jeu() {
    static STJeu s_stJeu;
    return s_stJeu;
}

void BM_GetPrivateProfileString(benchmark::State& state) {
    const STJeu& stJeu = Jeu();
    char szValeur[65536];
    for (auto _ : state) {
        for (const STRecherche& st : stJeu.tabRecherches) {
            GetPrivateProfileString(st.sSection.c_str(), st.sCle.c_str(), "", szValeur, sizeof szValeur,
                                    stJeu.sFichier.c_str());
            benchmark::DoNotOptimize(szValeur);
        }
    }
    for (const STRecherche& st : stJeu.tabRecherches) {
        GetPrivateProfileString(st.sSection.c_str(), st.sCle.c_str(), "", szValeur, sizeof szValeur,
                                stJeu.sFichier.c_str());
        if (st.sValeur != szValeur) state.SkipWithError("wrong value");
    }
    state.SetItemsProcessed(state.iterations() * k_nRecherches);
}
BENCHMARK(BM_GetPrivateProfileString)->Unit(benchmark::kMillisecond);

void BM_GetPrivateProfileText(benchmark::State& state) {
    const STJeu& stJeu = Jeu();
    for (auto _ : state) {
        for (const STRecherche& st : stJeu.tabRecherches) {
            std::string s = GetPrivateProfileText(st.sSection.c_str(), st.sCle.c_str(), "", stJeu.sFichier.c_str());
            benchmark::DoNotOptimize(s);
        }
    }
    for (const STRecherche& st : stJeu.tabRecherches)
        if (GetPrivateProfileText(st.sSection.c_str(), st.sCle.c_str(), "", stJeu.sFichier.c_str()) != st.sValeur)
            state.SkipWithError("wrong value");
    state.SetItemsProcessed(state.iterations() * k_nRecherches);
}
BENCHMARK(BM_GetPrivateProfileText)->Unit(benchmark::kMillisecond);

struct STCible {
    const STRecherche* pst;
    std::string sValeur;
    bool bTrouve = false;
};

int Gestionnaire(void* pUser, const char* pszSection, const char* pszCle, const char* pszValeur) {
    auto* pstCible = static_cast<STCible*>(pUser);
    if (strcasecmp(pszSection, pstCible->pst->sSection.c_str()) != 0 ||
        strcasecmp(pszCle, pstCible->pst->sCle.c_str()) != 0)
        return 1;
    pstCible->sValeur = pszValeur;
    pstCible->bTrouve = true;
    return 0;   // stops the parse
}

void BM_inih(benchmark::State& state) {
    const STJeu& stJeu = Jeu();
    ini_stop_on_first_error = true;
    for (auto _ : state) {
        for (const STRecherche& st : stJeu.tabRecherches) {
            STCible stCible{&st, {}, false};
            ini_parse(stJeu.sFichier.c_str(), Gestionnaire, &stCible);
            benchmark::DoNotOptimize(stCible.sValeur);
        }
    }
    for (const STRecherche& st : stJeu.tabRecherches) {
        STCible stCible{&st, {}, false};
        ini_parse(stJeu.sFichier.c_str(), Gestionnaire, &stCible);
        if (!stCible.bTrouve || stCible.sValeur != st.sValeur) state.SkipWithError("wrong value");
    }
    state.SetItemsProcessed(state.iterations() * k_nRecherches);
}
BENCHMARK(BM_inih)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
