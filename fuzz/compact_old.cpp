// Decodes arbitrary bytes as an archive of the older compaction format: the
// header when the signature is there (its size, capped, is what the decoder
// is asked for), else codes alone with a size taken from the first bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/lzw_vieux.h"

namespace {

// Past two pieces of output; a few codes can ask for that much.
constexpr size_t SORTIE_MAX = 1u << 17;

class CSource final : public ISourceCompact {
public:
    CSource(const uint8_t* pby, size_t n) : m_pby(pby), m_n(n) {}
    int32_t nLit(uint8_t* pby, uint32_t n) override {
        size_t k = m_n - m_nPos;
        if (k > n) k = n;
        if (k > 4099) k = 4099;
        std::memcpy(pby, m_pby + m_nPos, k);
        m_nPos += k;
        return static_cast<int32_t>(k);
    }

private:
    const uint8_t* m_pby;
    size_t m_n;
    size_t m_nPos = 0;
};

class CPuits final : public IPuitsCompact {
public:
    explicit CPuits(size_t nMax) : m_nMax(nMax) {}
    int32_t nEcrit(const uint8_t*, uint32_t n) override {
        m_nEcrits += n;
        if (m_nEcrits > m_nMax) abort();
        return 0;
    }
    size_t m_nEcrits = 0;

private:
    size_t m_nMax;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pby, size_t n) {
    size_t nTaille = 0;
    lzw_vieux::STEntete st;
    if (n >= lzw_vieux::TAILLE_ENTETE && lzw_vieux::bLitEntete(pby, &st)) {
        nTaille = st.dwTaille < SORTIE_MAX ? st.dwTaille : SORTIE_MAX;
        pby += lzw_vieux::TAILLE_ENTETE;
        n -= lzw_vieux::TAILLE_ENTETE;
    } else {
        if (n < 2) return 0;
        nTaille = (size_t(pby[0]) | size_t(pby[1]) << 8) * 2;
        pby += 2;
        n -= 2;
    }
    CSource clSource(pby, n);
    CPuits clPuits(nTaille);
    const eCODAGE e = lzw_vieux::decode(clSource, clPuits, nTaille);
    if (e != eCODAGE::OK && e != eCODAGE::DONNEES) abort();
    if (e == eCODAGE::OK && clPuits.m_nEcrits != nTaille) abort();
    return 0;
}
