// File compaction of a 20 MB text file, both ways, beside zlib at level 6
// (compress2 and uncompress over the file's bytes, the file read and the
// result written as ours are) and beside jlha (Debian package jlha-utils)
// run as a process with method -lh5-. The sizes are counters; at the end
// the run prints our size and times against each peer's.
//
// zlib is loaded at run time (libz.so.1); a peer that is missing is skipped
// and said so.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <ftw.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "rapport.h"
#include "codec/compact.h"

namespace {

constexpr size_t TAILLE = 20u * 1024u * 1024u;

// ---------------------------------------------------------------- the file

// Text of a made-up language: words of common syllables drawn with
// falling frequencies, sentences, numbers now and then, lines of about 70
// characters ending with CR LF.
std::string Texte() {
    static const char* k_apszSyllabes[] = {"le", "de", "ra", "ti", "on", "men", "com", "pa", "ge", "tre", "chi",
                                           "ver", "sa", "lu", "por", "ne", "que", "mi", "bo", "tu", "ar", "es"};
    std::mt19937 gen(2024);
    std::vector<std::string> tabMots;
    for (int i = 0; i < 6000; ++i) {
        std::string s;
        const int n = 1 + static_cast<int>(gen() % 4);
        for (int k = 0; k < n; ++k) s += k_apszSyllabes[gen() % std::size(k_apszSyllabes)];
        tabMots.push_back(s);
    }
    // Zipf: the word of rank r drawn in proportion to 1 / r.
    std::vector<double> tabPoids;
    for (size_t r = 1; r <= tabMots.size(); ++r) tabPoids.push_back(1.0 / static_cast<double>(r));
    std::discrete_distribution<size_t> clMot(tabPoids.begin(), tabPoids.end());
    std::string s, sLigne;
    bool bMajuscule = true;
    while (s.size() < TAILLE) {
        std::string sMot = gen() % 40 == 0 ? std::to_string(gen() % 100000) : tabMots[clMot(gen)];
        if (bMajuscule) sMot[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(sMot[0])));
        bMajuscule = false;
        const uint32_t nPonctuation = gen() % 16;
        if (nPonctuation == 0) {
            sMot += ".";
            bMajuscule = true;
        } else if (nPonctuation == 1) {
            sMot += ",";
        }
        if (sLigne.size() + sMot.size() + 1 > 70) {
            s += sLigne + "\r\n";
            sLigne.clear();
        }
        sLigne += (sLigne.empty() ? "" : " ") + sMot;
    }
    s.resize(TAILLE);
    return s;
}

int Supprime(const char* psz, const struct stat*, int, struct FTW*) { return remove(psz); }

// The benchmark's folder, with the text file, removed at exit.
struct STDossier {
    std::string sDossier;
    STDossier() {
        char sz[] = "/tmp/qvbench_compact_XXXXXX";
        if (mkdtemp(sz) == nullptr) return;
        sDossier = sz;
        const std::string s = Texte();
        if (FILE* pf = std::fopen(Chemin("texte.txt").c_str(), "wb")) {
            std::fwrite(s.data(), 1, s.size(), pf);
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

std::string Lit(const std::string& sChemin) {
    std::string s;
    if (FILE* pf = std::fopen(sChemin.c_str(), "rb")) {
        char ab[65536];
        size_t n;
        while ((n = std::fread(ab, 1, sizeof ab, pf)) > 0) s.append(ab, n);
        std::fclose(pf);
    }
    return s;
}

void Ecrit(const std::string& sChemin, const void* p, size_t n) {
    if (FILE* pf = std::fopen(sChemin.c_str(), "wb")) {
        std::fwrite(p, 1, n, pf);
        std::fclose(pf);
    }
}

// Sizes and times gathered for the closing comparison.
std::map<std::string, double> g_tabTailles;

// ---------------------------------------------------------------- ours

void BM_Compacte_Nous(benchmark::State& state) {
    const std::string sSource = Dossier().Chemin("texte.txt"), sArchive = Dossier().Chemin("nous.arc");
    STCompactBilan st;
    for (auto _ : state)
        if (nfCompacte(sSource.c_str(), sArchive.c_str(), &st) != 0) state.SkipWithError("nfCompacte failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TAILLE));
    state.counters["coded"] = static_cast<double>(st.qwCompresse);
    g_tabTailles["nous"] = static_cast<double>(st.qwCompresse);
}

void BM_Decompacte_Nous(benchmark::State& state) {
    const std::string sArchive = Dossier().Chemin("nous.arc"), sSortie = Dossier().Chemin("nous.txt");
    for (auto _ : state)
        if (nfDecompacte(sArchive.c_str(), sSortie.c_str(), false) != 0) state.SkipWithError("nfDecompacte failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TAILLE));
    if (Lit(sSortie) != Lit(Dossier().Chemin("texte.txt"))) state.SkipWithError("not the same bytes back");
}

// ---------------------------------------------------------------- zlib

struct STZlib {
    using PFN_Compress2 = int (*)(unsigned char*, unsigned long*, const unsigned char*, unsigned long, int);
    using PFN_Uncompress = int (*)(unsigned char*, unsigned long*, const unsigned char*, unsigned long);
    using PFN_Bound = unsigned long (*)(unsigned long);
    PFN_Compress2 pfnCompress2 = nullptr;
    PFN_Uncompress pfnUncompress = nullptr;
    PFN_Bound pfnBound = nullptr;
    STZlib() {
        void* h = dlopen("libz.so.1", RTLD_NOW | RTLD_LOCAL);
        if (h == nullptr) return;
        pfnCompress2 = reinterpret_cast<PFN_Compress2>(dlsym(h, "compress2"));
        pfnUncompress = reinterpret_cast<PFN_Uncompress>(dlsym(h, "uncompress"));
        pfnBound = reinterpret_cast<PFN_Bound>(dlsym(h, "compressBound"));
    }
    bool bPret() const { return pfnCompress2 != nullptr && pfnUncompress != nullptr && pfnBound != nullptr; }
};

const STZlib& Zlib() {
    static const STZlib st;
    return st;
}

void BM_Compresse_Zlib6(benchmark::State& state) {
    if (!Zlib().bPret()) return state.SkipWithError("zlib (libz.so.1) is missing");
    unsigned long nCode = 0;
    for (auto _ : state) {
        const std::string s = Lit(Dossier().Chemin("texte.txt"));
        std::vector<unsigned char> ab(Zlib().pfnBound(s.size()));
        nCode = ab.size();
        Zlib().pfnCompress2(ab.data(), &nCode, reinterpret_cast<const unsigned char*>(s.data()), s.size(), 6);
        Ecrit(Dossier().Chemin("zlib.z"), ab.data(), nCode);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TAILLE));
    state.counters["coded"] = static_cast<double>(nCode);
    g_tabTailles["zlib"] = static_cast<double>(nCode);
}

void BM_Decompresse_Zlib6(benchmark::State& state) {
    if (!Zlib().bPret()) return state.SkipWithError("zlib (libz.so.1) is missing");
    for (auto _ : state) {
        const std::string s = Lit(Dossier().Chemin("zlib.z"));
        std::vector<unsigned char> ab(TAILLE);
        unsigned long n = ab.size();
        if (Zlib().pfnUncompress(ab.data(), &n, reinterpret_cast<const unsigned char*>(s.data()), s.size()) != 0)
            state.SkipWithError("uncompress failed");
        Ecrit(Dossier().Chemin("zlib.txt"), ab.data(), n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TAILLE));
}

// ---------------------------------------------------------------- jlha

bool Lance(const std::vector<std::string>& tabArgs, const std::string& sDossier) {
    posix_spawn_file_actions_t st;
    posix_spawn_file_actions_init(&st);
    posix_spawn_file_actions_addchdir_np(&st, sDossier.c_str());
    posix_spawn_file_actions_addopen(&st, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&st, 1, 2);
    std::vector<char*> tabArgv;
    for (const std::string& s : tabArgs) tabArgv.push_back(const_cast<char*>(s.c_str()));
    tabArgv.push_back(nullptr);
    pid_t nPid = 0;
    const int n = posix_spawnp(&nPid, tabArgv[0], &st, nullptr, tabArgv.data(), environ);
    posix_spawn_file_actions_destroy(&st);
    int nStatut = 0;
    return n == 0 && waitpid(nPid, &nStatut, 0) == nPid && WIFEXITED(nStatut) && WEXITSTATUS(nStatut) == 0;
}

void BM_Compacte_Jlha(benchmark::State& state) {
    const std::string sArchive = Dossier().Chemin("jlha.lzh");
    for (auto _ : state) {
        unlink(sArchive.c_str());
        if (!Lance({"jlha", "a0o5q", "jlha.lzh", "texte.txt"}, Dossier().sDossier))
            return state.SkipWithError("jlha (Debian package jlha-utils) is missing or failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TAILLE));
    // The coded bytes of the level-0 entry, its header aside.
    const std::string s = Lit(sArchive);
    if (s.size() < 11) return;
    uint32_t dw = 0;
    for (int k = 3; k >= 0; --k) dw = (dw << 8) | static_cast<unsigned char>(s[7 + static_cast<size_t>(k)]);
    state.counters["coded"] = dw;
    g_tabTailles["jlha"] = dw;
}

void BM_Decompacte_Jlha(benchmark::State& state) {
    const std::string sSortie = Dossier().Chemin("x");
    mkdir(sSortie.c_str(), 0700);
    for (auto _ : state) {
        unlink((sSortie + "/texte.txt").c_str());
        if (!Lance({"jlha", "xqf", "../jlha.lzh"}, sSortie))
            return state.SkipWithError("jlha (Debian package jlha-utils) is missing or failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TAILLE));
}

BENCHMARK(BM_Compacte_Nous)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Decompacte_Nous)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Compresse_Zlib6)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Decompresse_Zlib6)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Compacte_Jlha)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_Decompacte_Jlha)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CRapportTempsReel clRapport;
    benchmark::RunSpecifiedBenchmarks(&clRapport);
    std::printf("\nOurs against the peers (below 1: ours is smaller or faster):\n");
    for (const char* psz : {"zlib", "jlha"})
        if (g_tabTailles.count("nous") && g_tabTailles.count(psz))
            std::printf("  coded size / %s: %.4f (%.0f against %.0f bytes, of %zu)\n", psz,
                        g_tabTailles["nous"] / g_tabTailles[psz], g_tabTailles["nous"], g_tabTailles[psz], TAILLE);
    clRapport.Compare("BM_Compacte_Nous/iterations:3/real_time", "BM_Compresse_Zlib6/iterations:3/real_time");
    clRapport.Compare("BM_Decompacte_Nous/iterations:3/real_time", "BM_Decompresse_Zlib6/iterations:3/real_time");
    clRapport.Compare("BM_Compacte_Nous/iterations:3/real_time", "BM_Compacte_Jlha/iterations:2/real_time");
    clRapport.Compare("BM_Decompacte_Nous/iterations:3/real_time", "BM_Decompacte_Jlha/iterations:2/real_time");
    benchmark::Shutdown();
    return 0;
}
