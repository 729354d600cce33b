// diffCrée and diffApplique beside the xdelta3 program on the same files: a
// 20 MB source and a target with 2,200 scattered edits (bytes replaced,
// inserted or deleted, 1 to 32 at a time), for two kinds of content: random
// bytes, and a document (words of a large vocabulary, common ones more
// frequent) that compresses the way text does.
//
// The peer runs as a process over files in a temporary directory (xdelta3
// -e -0 -s to encode, -d -s to decode), so its times include reading its
// inputs and writing its output; ours are the language functions on the
// buffers in memory. Patch sizes are reported as counters. When xdelta3 is
// not installed, its benchmarks say so and are skipped.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/zndstr.h"
#include "diff/functions.h"
#include "runtime/znlibrary.h"

extern char** environ;

namespace {

using Octets = std::vector<uint8_t>;

constexpr size_t TAILLE = 20u << 20;
constexpr uint32_t EDITS = 2200;

Octets Source(int nGenre) {
    std::mt19937_64 g(nGenre == 0 ? 1234u : 5678u);
    Octets ab(TAILLE);
    if (nGenre == 0) {
        for (size_t i = 0; i < TAILLE; i += 8) {
            const uint64_t q = g();
            std::memcpy(ab.data() + i, &q, 8);
        }
        return ab;
    }
    // A document: 5,000 words made of syllables, the common ones far more
    // frequent than the rare ones, with sentences and lines.
    static const char* const k_tabSyllabes[] = {"ka", "ro", "mi", "te", "lu", "sa", "ne", "po",
                                                "di", "va", "ri", "co", "ma", "fe", "tu", "ba",
                                                "li", "go", "shi", "en", "an", "qu", "or", "is"};
    std::vector<std::string> tabMots;
    for (int i = 0; i < 5000; ++i) {
        std::string s;
        for (uint64_t n = 1 + g() % 4; n != 0; --n) s += k_tabSyllabes[g() % 24];
        tabMots.push_back(s);
    }
    std::uniform_real_distribution<double> u(0, 1);
    size_t i = 0;
    while (i < TAILLE) {
        const double r = u(g);
        std::string s = tabMots[static_cast<size_t>(5000 * r * r * r)];
        s += g() % 12 == 0 ? ". " : g() % 40 == 0 ? ",\r\n" : " ";
        const size_t n = std::min(s.size(), TAILLE - i);
        std::memcpy(ab.data() + i, s.data(), n);
        i += n;
    }
    return ab;
}

Octets Cible(const Octets& abSource, int nGenre) {
    std::mt19937 g(nGenre == 0 ? 99u : 98u);
    Octets ab = abSource;
    for (uint32_t k = 0; k < EDITS; ++k) {
        const size_t nPos = g() % ab.size();
        const size_t n = 1 + g() % 32;
        Octets abNeuf(n);
        for (auto& by : abNeuf) by = nGenre == 0 ? static_cast<uint8_t>(g()) : static_cast<uint8_t>('a' + g() % 26);
        switch (g() % 3) {
            case 0:
                for (size_t i = 0; i < n && nPos + i < ab.size(); ++i) ab[nPos + i] = abNeuf[i];
                break;
            case 1: ab.insert(ab.begin() + static_cast<long>(nPos), abNeuf.begin(), abNeuf.end()); break;
            default:
                ab.erase(ab.begin() + static_cast<long>(nPos),
                         ab.begin() + static_cast<long>(std::min(ab.size(), nPos + n)));
        }
    }
    return ab;
}

bool bEcritFichier(const std::string& s, const Octets& ab) {
    FILE* f = fopen(s.c_str(), "wb");
    if (f == nullptr) return false;
    const bool b = fwrite(ab.data(), 1, ab.size(), f) == ab.size();
    return fclose(f) == 0 && b;
}

long long llTailleFichier(const std::string& s) {
    FILE* f = fopen(s.c_str(), "rb");
    if (f == nullptr) return -1;
    fseek(f, 0, SEEK_END);
    const long long ll = ftell(f);
    fclose(f);
    return ll;
}

// Runs a program with its output thrown away; true when it exits with 0.
bool bLance(const std::vector<std::string>& tabArgs) {
    std::vector<char*> tab;
    for (const std::string& s : tabArgs) tab.push_back(const_cast<char*>(s.c_str()));
    tab.push_back(nullptr);
    posix_spawn_file_actions_t stActions;
    posix_spawn_file_actions_init(&stActions);
    posix_spawn_file_actions_addopen(&stActions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&stActions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    const int nRes = posix_spawnp(&pid, tab[0], &stActions, nullptr, tab.data(), environ);
    posix_spawn_file_actions_destroy(&stActions);
    if (nRes != 0) return false;
    int nStatut = 0;
    if (waitpid(pid, &nStatut, 0) != pid) return false;
    return WIFEXITED(nStatut) && WEXITSTATUS(nStatut) == 0;
}

bool bXDelta3Present() {
    static const bool s_b = bLance({"xdelta3", "-V"});
    return s_b;
}

// The data of one kind, in memory and in files of a temporary directory
// removed at exit.
struct STJeu {
    Octets abSource, abCible;
    CZNBIN clSource, clCible, clDiff;
    std::string sRep, sSource, sCible, sPatch, sSortie;
    explicit STJeu(int nGenre) {
        abSource = Source(nGenre);
        abCible = Cible(abSource, nGenre);
        clSource = CZNBIN(abSource.data(), int(abSource.size()));
        clCible = CZNBIN(abCible.data(), int(abCible.size()));
        CZNLibrary lib;
        clDiff = diff::diffCree(lib, clSource, clCible);
        char szModele[] = "/tmp/qvbenchdiff_XXXXXX";
        if (mkdtemp(szModele) == nullptr) return;
        sRep = szModele;
        sSource = sRep + "/source";
        sCible = sRep + "/cible";
        sPatch = sRep + "/patch";
        sSortie = sRep + "/sortie";
        bEcritFichier(sSource, abSource);
        bEcritFichier(sCible, abCible);
        if (bXDelta3Present()) bLance({"xdelta3", "-e", "-0", "-f", "-s", sSource, sCible, sPatch});
    }
    ~STJeu() {
        for (const std::string& s : {sSource, sCible, sPatch, sSortie})
            if (!s.empty()) unlink(s.c_str());
        if (!sRep.empty()) rmdir(sRep.c_str());
    }
};

STJeu& Jeu(int nGenre) {
    static STJeu s_stAlea(0), s_stTexte(1);
    return nGenre == 0 ? s_stAlea : s_stTexte;
}

void BM_DiffCree_Nous(benchmark::State& st) {
    STJeu& stJ = Jeu(static_cast<int>(st.range(0)));
    CZNLibrary lib;
    size_t nTaille = 0;
    for (auto _ : st) {
        CZNBIN cl = diff::diffCree(lib, stJ.clSource, stJ.clCible);
        nTaille = size_t(cl.nGetTaille());
        benchmark::DoNotOptimize(cl.pGet());
    }
    if (lib.pclGetError()->bIsError()) st.SkipWithError("diffCree failed");
    st.counters["patch_bytes"] = double(nTaille);
    st.SetBytesProcessed(int64_t(st.iterations()) * int64_t(stJ.abCible.size()));
}

void BM_DiffCree_XDelta3(benchmark::State& st) {
    STJeu& stJ = Jeu(static_cast<int>(st.range(0)));
    if (!bXDelta3Present()) {
        st.SkipWithError("xdelta3 is not installed (Debian package xdelta3): peer skipped");
        return;
    }
    for (auto _ : st)
        if (!bLance({"xdelta3", "-e", "-0", "-f", "-s", stJ.sSource, stJ.sCible, stJ.sPatch})) {
            st.SkipWithError("xdelta3 -e failed");
            break;
        }
    st.counters["patch_bytes"] = double(llTailleFichier(stJ.sPatch));
    st.SetBytesProcessed(int64_t(st.iterations()) * int64_t(stJ.abCible.size()));
}

void BM_DiffApplique_Nous(benchmark::State& st) {
    STJeu& stJ = Jeu(static_cast<int>(st.range(0)));
    CZNLibrary lib;
    bool bJuste = false;
    for (auto _ : st) {
        CZNBIN cl = diff::diffApplique(lib, stJ.clSource, stJ.clDiff);
        bJuste = size_t(cl.nGetTaille()) == stJ.abCible.size();
        benchmark::DoNotOptimize(cl.pGet());
    }
    if (!bJuste || lib.pclGetError()->bIsError()) st.SkipWithError("diffApplique failed");
    st.SetBytesProcessed(int64_t(st.iterations()) * int64_t(stJ.abCible.size()));
}

void BM_DiffApplique_XDelta3(benchmark::State& st) {
    STJeu& stJ = Jeu(static_cast<int>(st.range(0)));
    if (!bXDelta3Present()) {
        st.SkipWithError("xdelta3 is not installed (Debian package xdelta3): peer skipped");
        return;
    }
    for (auto _ : st)
        if (!bLance({"xdelta3", "-d", "-f", "-s", stJ.sSource, stJ.sPatch, stJ.sSortie})) {
            st.SkipWithError("xdelta3 -d failed");
            break;
        }
    if (llTailleFichier(stJ.sSortie) != static_cast<long long>(stJ.abCible.size()))
        st.SkipWithError("xdelta3 -d gave another size");
    st.SetBytesProcessed(int64_t(st.iterations()) * int64_t(stJ.abCible.size()));
}

// 0: random bytes, 1: a document.
BENCHMARK(BM_DiffCree_Nous)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DiffCree_XDelta3)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DiffApplique_Nous)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DiffApplique_XDelta3)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
