// Whole-file copy and line reading. fCopieFichier copies a 256 MB file
// beside cp --reflink=never run as a process (the kernel's copy where it
// has one, copy_file_range, against cp's own); fLitLigne reads a 100 MB
// text file line by line beside std::getline on an ifstream. At the end the
// run prints our time against each peer's.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <ftw.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "rapport.h"
#include "component/compo.h"
#include "core/strmem.h"
#include "files/fh_commun.h"
#include "files/fh_table.h"
#include "files/functions.h"
#include "qvstd/manipaub.h"

extern char** environ;

namespace {

constexpr size_t TAILLE_COPIE = 256u * 1024u * 1024u;
constexpr size_t TAILLE_TEXTE = 100u * 1024u * 1024u;

int Supprime(const char* psz, const struct stat*, int, struct FTW*) { return remove(psz); }

// The benchmark's folder with its two files, removed at exit.
struct STDossier {
    std::string sDossier;
    size_t nLignes = 0;
    STDossier() {
        char sz[] = "/tmp/qvbench_files_XXXXXX";
        if (mkdtemp(sz) == nullptr) return;
        sDossier = sz;
        std::mt19937 gen(12);
        std::vector<char> tab(1 << 20);
        if (FILE* pf = std::fopen(Chemin("gros.bin").c_str(), "wb")) {
            for (size_t n = 0; n < TAILLE_COPIE; n += tab.size()) {
                for (char& c : tab) c = static_cast<char>(gen());
                std::fwrite(tab.data(), 1, tab.size(), pf);
            }
            std::fclose(pf);
        }
        // Lines of 0 to 120 characters ending with CR LF.
        if (FILE* pf = std::fopen(Chemin("texte.txt").c_str(), "wb")) {
            std::string s;
            size_t n = 0;
            while (n < TAILLE_TEXTE) {
                s.assign(gen() % 121, 'a');
                for (char& c : s) c = static_cast<char>('a' + gen() % 26);
                s += "\r\n";
                std::fwrite(s.data(), 1, s.size(), pf);
                n += s.size();
                ++nLignes;
            }
            std::fclose(pf);
        }
    }
    ~STDossier() {
        if (!sDossier.empty()) nftw(sDossier.c_str(), Supprime, 16, FTW_DEPTH | FTW_PHYS);
    }
    std::string Chemin(const std::string& sNom) const { return sDossier + "/" + sNom; }
};

const STDossier& Dossier() {
    static const STDossier st;
    return st;
}

struct STNom {
    CZNDSTR s;
    STManipAUB st;
    explicit STNom(const std::string& sNom) : s(sNom.c_str()), st{s.pGetMemoire(), 0} {}
};


void BM_CopieFichier_Nous(benchmark::State& state) {
    CComposanteStandard clLib;
    STNom stSource(Dossier().Chemin("gros.bin")), stDest(Dossier().Chemin("nous.bin"));
    for (auto _ : state)
        if (!files::fCopieFichier(clLib, &stSource.st, &stDest.st)) state.SkipWithError("fCopieFichier failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TAILLE_COPIE));
}

void BM_Copie_Cp(benchmark::State& state) {
    const std::string sSource = Dossier().Chemin("gros.bin"), sDest = Dossier().Chemin("cp.bin");
    for (auto _ : state) {
        std::vector<char*> tabArgv = {const_cast<char*>("cp"), const_cast<char*>("--reflink=never"),
                                      const_cast<char*>(sSource.c_str()), const_cast<char*>(sDest.c_str()), nullptr};
        pid_t nPid = 0;
        if (posix_spawnp(&nPid, "cp", nullptr, nullptr, tabArgv.data(), environ) != 0) {
            state.SkipWithError("cp cannot be run");
            return;
        }
        int nStatut = 0;
        waitpid(nPid, &nStatut, 0);
        if (!WIFEXITED(nStatut) || WEXITSTATUS(nStatut) != 0) state.SkipWithError("cp failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TAILLE_COPIE));
}

// The host's single-thread flag: given at load, it lets string blocks
// freed by one call serve the next, as they do under the host.
int g_nPlusieursThreads = 0;

void BM_LitLigne_Nous(benchmark::State& state) {
    STRMEM_nGeneralParam(2006, reinterpret_cast<intptr_t>(&g_nPlusieursThreads));
    CComposanteStandard clLib;
    STNom stNom(Dossier().Chemin("texte.txt"));
    size_t nLignes = 0;
    for (auto _ : state) {
        const int h = files::fOuvre(clLib, &stNom.st, FO_LECTURE);
        nLignes = 0;
        for (;;) {
            CZNDSTR s = files::FIC_sLitLigne(clLib, h);
            if (s.nGetLongueur() == 1 && s.pszGet()[0] == 4) break;
            ++nLignes;
        }
        files::fFerme(clLib, h);
    }
    if (nLignes != Dossier().nLignes) state.SkipWithError("not every line read");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TAILLE_TEXTE));
}

void BM_LitLigne_Getline(benchmark::State& state) {
    size_t nLignes = 0;
    for (auto _ : state) {
        std::ifstream f(Dossier().Chemin("texte.txt"), std::ios::binary);
        std::string s;
        nLignes = 0;
        while (std::getline(f, s)) {
            if (!s.empty() && s.back() == '\r') s.pop_back();
            benchmark::DoNotOptimize(s.data());
            ++nLignes;
        }
    }
    if (nLignes != Dossier().nLignes) state.SkipWithError("not every line read");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TAILLE_TEXTE));
}

BENCHMARK(BM_CopieFichier_Nous)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_Copie_Cp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_LitLigne_Nous)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_LitLigne_Getline)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Dossier();
    CRapportTempsReel clRapport;
    benchmark::RunSpecifiedBenchmarks(&clRapport);
    std::printf("\nOurs against the peers (below 1: ours is faster):\n");
    clRapport.Compare("BM_CopieFichier_Nous/iterations:5/real_time", "BM_Copie_Cp/iterations:5/real_time");
    clRapport.Compare("BM_LitLigne_Nous/iterations:3/real_time", "BM_LitLigne_Getline/iterations:3/real_time");
    benchmark::Shutdown();
    return 0;
}
