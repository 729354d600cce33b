// The serialisation buffer beside a std::vector filled and read with memcpy:
// about 1 MB of mixed scalars and texts written, then read back, value by
// value through the buffer's operators, and in runs of one record (the
// record's size known in advance, as the component's own writers know it).
#include <benchmark/benchmark.h>

#include <cstdio>

#include <cstdint>
#include <cstring>
#include <vector>

#include "codec/buffer.h"
#include "codec/buffer_suite.h"
#include "rapport.h"

namespace {

constexpr const char* TEXTE = "record-label";   // 13 bytes with its end mark
constexpr size_t TAILLE_ENREGISTREMENT = 4 + 8 + 2 + 13 + 8 + 1 + 4;
constexpr int NOMBRE = (1 << 20) / TAILLE_ENREGISTREMENT + 1;

struct STSomme {
    int64_t n = 0;
    double d = 0;
};

// One record written to the buffer itself or to a run (T), the same bytes.
template <class T>
void EcritEnregistrement(T& cl, int i, const CTString& sTexte) {
    cl << i << i * 0.5 << static_cast<short>(i) << sTexte << static_cast<long long>(i) * 3 << static_cast<char>(i)
       << static_cast<float>(i);
}

// Every record read back from the buffer itself or from a run (T), whose
// text comes through fnTexte.
template <class T, class FnTexte>
STSomme LitEnregistrements(T& cl, FnTexte fnTexte) {
    STSomme st;
    for (int i = 0; i < NOMBRE; i++) {
        int n = 0;
        double d = 0;
        short s = 0;
        long long q = 0;
        char c = 0;
        float f = 0;
        cl >> n >> d >> s;
        const char* psz = fnTexte();
        cl >> q >> c >> f;
        st.n += n + s + q + c + (psz != nullptr ? psz[0] : 0);
        st.d += d + f;
    }
    return st;
}

void EcritBuffer(CQVBuffer& cl) {
    CTString sTexte(TEXTE);
    for (int i = 0; i < NOMBRE; i++) EcritEnregistrement(cl, i, sTexte);
}

STSomme LitBuffer(CQVBuffer& cl) {
    cl.Seek(0, BUFFER_SEEK_DEBUT);
    return LitEnregistrements(cl, [&cl] { return cl.pszGetString(); });
}

void EcritSuites(CQVBuffer& cl) {
    CTString sTexte(TEXTE);
    for (int i = 0; i < NOMBRE; i++) {
        CQVBufferEcriture clSuite(cl, TAILLE_ENREGISTREMENT);
        EcritEnregistrement(clSuite, i, sTexte);
    }
}

STSomme LitSuites(CQVBuffer& cl) {
    cl.Seek(0, BUFFER_SEEK_DEBUT);
    CQVBufferLecture clLu(cl);
    return LitEnregistrements(clLu, [&clLu] { return clLu.pszTexte(); });
}

template <class T>
void Ajoute(std::vector<uint8_t>& ab, const T& v) {
    uint8_t aby[sizeof v];
    std::memcpy(aby, &v, sizeof v);
    ab.insert(ab.end(), aby, aby + sizeof v);
}

void AjouteTexte(std::vector<uint8_t>& ab, const char* psz) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(psz);
    ab.insert(ab.end(), p, p + std::strlen(psz) + 1);
}

// Same checks as the buffer: a value is read only when it is all there.
template <class T>
bool bPrend(const std::vector<uint8_t>& ab, size_t& o, T& v) {
    if (o + sizeof v > ab.size()) return false;
    std::memcpy(&v, ab.data() + o, sizeof v);
    o += sizeof v;
    return true;
}

void EcritVecteur(std::vector<uint8_t>& ab) {
    for (int i = 0; i < NOMBRE; i++) {
        Ajoute(ab, i);
        Ajoute(ab, i * 0.5);
        Ajoute(ab, static_cast<short>(i));
        AjouteTexte(ab, TEXTE);
        Ajoute(ab, static_cast<long long>(i) * 3);
        Ajoute(ab, static_cast<char>(i));
        Ajoute(ab, static_cast<float>(i));
    }
}

STSomme LitVecteur(const std::vector<uint8_t>& ab) {
    STSomme st;
    size_t o = 0;
    for (int i = 0; i < NOMBRE; i++) {
        int n = 0;
        double d = 0;
        short s = 0;
        long long q = 0;
        char c = 0;
        float f = 0;
        bPrend(ab, o, n);
        bPrend(ab, o, d);
        bPrend(ab, o, s);
        const char* psz = nullptr;
        if (const void* pFin = std::memchr(ab.data() + o, 0, ab.size() - o)) {
            psz = reinterpret_cast<const char*>(ab.data() + o);
            o = static_cast<const uint8_t*>(pFin) - ab.data() + 1;
        }
        bPrend(ab, o, q);
        bPrend(ab, o, c);
        bPrend(ab, o, f);
        st.n += n + s + q + c + (psz != nullptr ? psz[0] : 0);
        st.d += d + f;
    }
    return st;
}

void BM_BufferFromEmpty(benchmark::State& state) {
    for (auto _ : state) {
        CQVBuffer cl;
        EcritBuffer(cl);
        STSomme st = LitBuffer(cl);
        benchmark::DoNotOptimize(st);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * NOMBRE * TAILLE_ENREGISTREMENT * 2);
}

void BM_VectorFromEmpty(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<uint8_t> ab;
        EcritVecteur(ab);
        STSomme st = LitVecteur(ab);
        benchmark::DoNotOptimize(st);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * NOMBRE * TAILLE_ENREGISTREMENT * 2);
}

// One buffer cleared and filled again at each iteration, value by value or
// in runs.
template <void (*Ecrit)(CQVBuffer&), STSomme (*Lit)(CQVBuffer&)>
void BM_BufferReutilise(benchmark::State& state) {
    CQVBuffer cl;
    for (auto _ : state) {
        cl.Clear();
        Ecrit(cl);
        STSomme st = Lit(cl);
        benchmark::DoNotOptimize(st);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * NOMBRE * TAILLE_ENREGISTREMENT * 2);
}

void BM_BufferReused(benchmark::State& state) { BM_BufferReutilise<EcritBuffer, LitBuffer>(state); }
void BM_BufferReusedRuns(benchmark::State& state) { BM_BufferReutilise<EcritSuites, LitSuites>(state); }

void BM_VectorReused(benchmark::State& state) {
    std::vector<uint8_t> ab;
    for (auto _ : state) {
        ab.clear();
        EcritVecteur(ab);
        STSomme st = LitVecteur(ab);
        benchmark::DoNotOptimize(st);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * NOMBRE * TAILLE_ENREGISTREMENT * 2);
}

}  // namespace

BENCHMARK(BM_BufferFromEmpty);
BENCHMARK(BM_VectorFromEmpty);
BENCHMARK(BM_BufferReused);
BENCHMARK(BM_BufferReusedRuns);
BENCHMARK(BM_VectorReused);

int main(int argc, char** argv) {
    // Once, before timing: both ways of the buffer write the vector's bytes
    // and read back the same sums.
    CQVBuffer clValeurs, clSuites;
    std::vector<uint8_t> ab;
    EcritBuffer(clValeurs);
    EcritSuites(clSuites);
    EcritVecteur(ab);
    for (CQVBuffer* pcl : {&clValeurs, &clSuites}) {
        const STSomme st = pcl == &clValeurs ? LitBuffer(*pcl) : LitSuites(*pcl), stV = LitVecteur(ab);
        if (pcl->dwGetSizeDirect() != ab.size() || std::memcmp(pcl->pbyGetUncodedBuffer(), ab.data(), ab.size()) != 0 ||
            st.n != stV.n || st.d != stV.d) {
            std::fprintf(stderr, "the buffer and the vector differ\n");
            return 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    CRapportRatios clRapport;
    benchmark::RunSpecifiedBenchmarks(&clRapport);
    std::printf("\nRatios (processor time; below 1.0 is faster):\n");
    std::printf("  reused, value by value / reused vector: %.2f\n",
                clRapport.rRatio("BM_BufferReused", "BM_VectorReused"));
    std::printf("  reused, in runs / reused vector:        %.2f (goal at most 1.2)\n",
                clRapport.rRatio("BM_BufferReusedRuns", "BM_VectorReused"));
    std::printf("  from empty / vector from empty:         %.2f\n",
                clRapport.rRatio("BM_BufferFromEmpty", "BM_VectorFromEmpty"));
    benchmark::Shutdown();
    return 0;
}
