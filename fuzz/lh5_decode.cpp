// Decodes arbitrary bytes as "-lh5-" data, and (for one input in eight, the
// encoder costing more) checks that whatever the encoder makes of the same
// bytes decodes back to them. The first byte chooses what is done, the next
// two the size the decoder is asked for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/lh5.h"

namespace {

// Gives its bytes in pieces of a size the input chose, so that refills
// happen anywhere.
class CSource final : public ISourceCompact {
public:
    CSource(const uint8_t* pby, size_t n, uint32_t nPiece) : m_pby(pby), m_n(n), m_nPiece(nPiece) {}
    int32_t nLit(uint8_t* pby, uint32_t n) override {
        size_t k = m_n - m_nPos;
        if (k > n) k = n;
        if (k > m_nPiece) k = m_nPiece;
        std::memcpy(pby, m_pby + m_nPos, k);
        m_nPos += k;
        return static_cast<int32_t>(k);
    }

private:
    const uint8_t* m_pby;
    size_t m_n;
    uint32_t m_nPiece;
    size_t m_nPos = 0;
};

// Takes no more than the size announced.
class CPuits final : public IPuitsCompact {
public:
    explicit CPuits(size_t nMax) : m_nMax(nMax) {}
    int32_t nEcrit(const uint8_t* pby, uint32_t n) override {
        if (m_ab.size() + n > m_nMax) abort();
        m_ab.insert(m_ab.end(), pby, pby + n);
        return 0;
    }
    std::vector<uint8_t> m_ab;

private:
    size_t m_nMax;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pby, size_t n) {
    if (n < 3) return 0;
    const uint8_t byChoix = pby[0];
    // Up to 128 KB: past two pieces of output, and a few bytes of input can
    // ask for that much.
    const size_t nTaille = (size_t(pby[1]) | size_t(pby[2]) << 8) * 2;
    const uint32_t nPiece = 1u + (byChoix >> 3) * 97u;
    pby += 3;
    n -= 3;
    if ((byChoix & 7) != 7) {
        CSource clSource(pby, n, nPiece);
        CPuits clPuits(nTaille);
        const eCODAGE e = lh5::decode(clSource, clPuits, nTaille);
        if (e != eCODAGE::OK && e != eCODAGE::DONNEES) abort();
        if (e == eCODAGE::OK && clPuits.m_ab.size() != nTaille) abort();
    } else {
        CSource clSource(pby, n, nPiece);
        CPuits clCode(SIZE_MAX);
        lh5::STBilan stCode;
        if (lh5::encode(clSource, clCode, &stCode) != eCODAGE::OK || stCode.qwLus != n) abort();
        CSource clRelu(clCode.m_ab.data(), clCode.m_ab.size(), nPiece);
        CPuits clRetour(n);
        lh5::STBilan stRetour;
        if (lh5::decode(clRelu, clRetour, n, &stRetour) != eCODAGE::OK) abort();
        if (clRetour.m_ab.size() != n || (n != 0 && std::memcmp(clRetour.m_ab.data(), pby, n) != 0)) abort();
        if (stRetour.wCrc16 != stCode.wCrc16) abort();
    }
    return 0;
}
