// Code-page conversions beside the C library's iconv on the same data: a
// 20-byte text and a 1 MB text, in each direction the component uses most.
// The iconv peer keeps one descriptor open for the whole run (reset before
// each conversion), which is the fastest way to call it.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/charset.h"

namespace {

// French prose in 1252: mostly ASCII with accented letters and the euro sign.
std::string Texte1252(size_t nTaille) {
    static const char* const mots[] = {"d\xe9j\xe0", "caf\xe9", "le", "na\xefve", "\x9cuvre", "\x80", "for\xeat",
                                       "\xe9t\xe9", "gar\xe7on", "les", "amiti\xe9", "et", "o\xf9", "No\xebl"};
    std::string s;
    size_t i = 0;
    while (s.size() < nTaille) {
        s += mots[(i * 7 + 3) % (sizeof(mots) / sizeof(mots[0]))];
        s += ' ';
        ++i;
    }
    s.resize(nTaille);
    if (static_cast<unsigned char>(s.back()) >= 0x80) s.back() = '.';
    return s;
}

std::string Convertit(const char* pszVers, const char* pszDepuis, const std::string& s) {
    iconv_t cd = iconv_open(pszVers, pszDepuis);
    std::string sSortie(s.size() * 4 + 16, '\0');
    char* pIn = const_cast<char*>(s.data());
    size_t nIn = s.size();
    char* pOut = sSortie.data();
    size_t nOut = sSortie.size();
    iconv(cd, &pIn, &nIn, &pOut, &nOut);
    iconv_close(cd);
    sSortie.resize(sSortie.size() - nOut);
    return sSortie;
}

struct STDonnees {
    std::string s1252;
    std::string sUtf8;
    std::wstring wTexte;
};

const STDonnees& Donnees(size_t nTaille) {
    static STDonnees petit, grand;
    STDonnees& d = nTaille <= 20 ? petit : grand;
    if (d.s1252.empty()) {
        d.s1252 = Texte1252(nTaille);
        d.sUtf8 = Convertit("UTF-8", "CP1252", d.s1252);
        const std::string sUcs4 = Convertit("UTF-32LE", "CP1252", d.s1252);
        d.wTexte.assign(sUcs4.size() / 4, L'\0');
        memcpy(d.wTexte.data(), sUcs4.data(), sUcs4.size());
    }
    return d;
}

// Raw iconv with a descriptor kept open.
void IconvBrut(benchmark::State& state, const char* pszVers, const char* pszDepuis, const void* pSource,
               size_t nSource, size_t nSortie) {
    iconv_t cd = iconv_open(pszVers, pszDepuis);
    std::vector<char> sortie(nSortie);
    for (auto _ : state) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* pIn = const_cast<char*>(static_cast<const char*>(pSource));
        size_t nIn = nSource;
        char* pOut = sortie.data();
        size_t nOut = sortie.size();
        size_t r = iconv(cd, &pIn, &nIn, &pOut, &nOut);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(sortie.data());
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * nSource));
}

void BM_MultiByteToWideChar(benchmark::State& state) {
    const STDonnees& d = Donnees(static_cast<size_t>(state.range(0)));
    std::vector<wchar_t> sortie(d.s1252.size());
    for (auto _ : state) {
        int n = MultiByteToWideChar(1252, 0, d.s1252.data(), static_cast<int>(d.s1252.size()), sortie.data(),
                                    static_cast<int>(sortie.size()));
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * d.s1252.size()));
}

void BM_Iconv_CP1252_UCS4(benchmark::State& state) {
    const STDonnees& d = Donnees(static_cast<size_t>(state.range(0)));
    IconvBrut(state, "UTF32LE", "CP1252", d.s1252.data(), d.s1252.size(), d.s1252.size() * 4);
}

// The same with a descriptor opened and closed around each conversion, as a
// converter that keeps nothing between calls would do.
void BM_IconvOuvreFerme_CP1252_UCS4(benchmark::State& state) {
    const STDonnees& d = Donnees(static_cast<size_t>(state.range(0)));
    std::vector<char> sortie(d.s1252.size() * 4);
    for (auto _ : state) {
        iconv_t cd = iconv_open("UTF32LE", "CP1252");
        char* pIn = const_cast<char*>(d.s1252.data());
        size_t nIn = d.s1252.size();
        char* pOut = sortie.data();
        size_t nOut = sortie.size();
        size_t r = iconv(cd, &pIn, &nIn, &pOut, &nOut);
        benchmark::DoNotOptimize(r);
        iconv_close(cd);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * d.s1252.size()));
}

void BM_WideCharToMultiByte(benchmark::State& state) {
    const STDonnees& d = Donnees(static_cast<size_t>(state.range(0)));
    std::vector<char> sortie(d.wTexte.size());
    for (auto _ : state) {
        int n = WideCharToMultiByte(1252, 0, d.wTexte.data(), static_cast<int>(d.wTexte.size()), sortie.data(),
                                    static_cast<int>(sortie.size()), nullptr, nullptr);
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * d.s1252.size()));
}

void BM_Iconv_UCS4_CP1252(benchmark::State& state) {
    const STDonnees& d = Donnees(static_cast<size_t>(state.range(0)));
    // Bytes processed are counted in 1252 characters, as for our side.
    iconv_t cd = iconv_open("CP1252", "UTF32LE");
    std::vector<char> sortie(d.wTexte.size());
    for (auto _ : state) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* pIn = reinterpret_cast<char*>(const_cast<wchar_t*>(d.wTexte.data()));
        size_t nIn = d.wTexte.size() * 4;
        char* pOut = sortie.data();
        size_t nOut = sortie.size();
        size_t r = iconv(cd, &pIn, &nIn, &pOut, &nOut);
        benchmark::DoNotOptimize(r);
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * d.s1252.size()));
}

void BM_MultiByteToUTF8(benchmark::State& state) {
    const STDonnees& d = Donnees(static_cast<size_t>(state.range(0)));
    std::vector<char> sortie(d.sUtf8.size());
    for (auto _ : state) {
        int n = MultiByteToUTF8(1252, d.s1252.data(), static_cast<int>(d.s1252.size()), sortie.data(),
                                static_cast<int>(sortie.size()), 0);
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * d.s1252.size()));
}

void BM_Iconv_CP1252_UTF8(benchmark::State& state) {
    const STDonnees& d = Donnees(static_cast<size_t>(state.range(0)));
    IconvBrut(state, "UTF-8", "CP1252", d.s1252.data(), d.s1252.size(), d.sUtf8.size());
}

void BM_UTF8ToMultiByte(benchmark::State& state) {
    const STDonnees& d = Donnees(static_cast<size_t>(state.range(0)));
    std::vector<char> sortie(d.s1252.size());
    for (auto _ : state) {
        int n = UTF8ToMultiByte(1252, d.sUtf8.data(), static_cast<int>(d.sUtf8.size()), sortie.data(),
                                static_cast<int>(sortie.size()), 0, nullptr, nullptr);
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * d.s1252.size()));
}

void BM_Iconv_UTF8_CP1252(benchmark::State& state) {
    const STDonnees& d = Donnees(static_cast<size_t>(state.range(0)));
    IconvBrut(state, "CP1252", "UTF-8", d.sUtf8.data(), d.sUtf8.size(), d.s1252.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * d.s1252.size()));
}

constexpr int64_t PETIT = 20;
constexpr int64_t GRAND = 1 << 20;

}  // namespace

BENCHMARK(BM_MultiByteToWideChar)->Arg(PETIT)->Arg(GRAND);
BENCHMARK(BM_Iconv_CP1252_UCS4)->Arg(PETIT)->Arg(GRAND);
BENCHMARK(BM_IconvOuvreFerme_CP1252_UCS4)->Arg(PETIT);
BENCHMARK(BM_WideCharToMultiByte)->Arg(PETIT)->Arg(GRAND);
BENCHMARK(BM_Iconv_UCS4_CP1252)->Arg(PETIT)->Arg(GRAND);
BENCHMARK(BM_MultiByteToUTF8)->Arg(PETIT)->Arg(GRAND);
BENCHMARK(BM_Iconv_CP1252_UTF8)->Arg(PETIT)->Arg(GRAND);
BENCHMARK(BM_UTF8ToMultiByte)->Arg(PETIT)->Arg(GRAND);
BENCHMARK(BM_Iconv_UTF8_CP1252)->Arg(PETIT)->Arg(GRAND);

BENCHMARK_MAIN();
