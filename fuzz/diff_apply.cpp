// Applies arbitrary bytes as diff buffers, and diffs computed from the
// input then damaged by it. The first byte chooses what is done:
//   0: the bytes as a diff, applied to a fixed source;
//   1: the same, with the source's CRC-32 written into the header so that
//      the sections themselves are read and checked;
//   2: the bytes as a diff with a stored body (pack method 0 written in),
//      the CRC of the source written too;
//   3: the rest cut into a source and a target (cut from the second
//      byte), diffed (project-file mode from a bit; the body compressed for
//      one input in 32, stored otherwise, since compressing costs most
//      of a run), applied back; then one byte of the diff changed as the
//      input says, and applied again.
// A diff that applies must rebuild what it promises: in mode 3 the target
// itself, in every mode bytes with the CRC-32 the header announces.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/checksum.h"
#include "diff/xdelta.h"

namespace {

using Octets = std::vector<uint8_t>;

class CDestination : public IDiffDestination {
public:
    uint8_t* pbyPrepare(uint32_t dwTaille) override {
        // Exactly the room asked, so that any overrun is caught.
        ab.assign(dwTaille, 0);
        return dwTaille != 0 ? ab.data() : nullptr;
    }
    Octets ab;
};

const Octets& SourceFixe() {
    static const Octets s_ab = [] {
        Octets ab(1000);
        for (size_t i = 0; i < ab.size(); ++i) ab[i] = static_cast<uint8_t>(i * 7 + (i >> 3));
        return ab;
    }();
    return s_ab;
}

bool bApplique(const Octets& abSource, const Octets& abDiff, Octets& abSortie) {
    static const uint8_t s_by = 0;
    CDiffXDelta cl;
    CDestination clDest;
    const bool b = cl.bApplyDiff(abSource.empty() ? &s_by : abSource.data(), uint32_t(abSource.size()),
                                 abDiff.empty() ? &s_by : abDiff.data(), uint32_t(abDiff.size()), clDest);
    if (b) {
        // Success promises the target of the header, byte for byte by its CRC.
        if (abDiff.size() < 36) abort();
        uint32_t dwCrc;
        std::memcpy(&dwCrc, abDiff.data() + 20, 4);
        if (CCrc2::nCalculeCRC32(clDest.ab.data(), clDest.ab.size()) != dwCrc) abort();
        abSortie = std::move(clDest.ab);
    } else if (cl.eGetErreur() < CDiffXDelta::DIFF_ERR_BUFFER || cl.eGetErreur() > CDiffXDelta::DIFF_ERR_MEMOIRE) {
        abort();
    }
    return b;
}

void Ecrit32(Octets& ab, size_t n, uint32_t dw) {
    if (ab.size() >= n + 4) std::memcpy(ab.data() + n, &dw, 4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pbyDonnees, size_t nTaille) {
    if (nTaille < 2 || nTaille > (1u << 20)) return 0;
    const uint8_t byMode = pbyDonnees[0] % 4;
    Octets ab(pbyDonnees + 1, pbyDonnees + nTaille);
    Octets abSortie;
    const uint32_t dwCrcSource = CCrc2::nCalculeCRC32(SourceFixe().data(), SourceFixe().size());
    switch (byMode) {
        case 0: bApplique(SourceFixe(), ab, abSortie); break;
        case 1:
            Ecrit32(ab, 16, dwCrcSource);
            bApplique(SourceFixe(), ab, abSortie);
            break;
        case 2:
            Ecrit32(ab, 12, 0);
            Ecrit32(ab, 16, dwCrcSource);
            bApplique(SourceFixe(), ab, abSortie);
            break;
        default: {
            const size_t nCoupe = ab.empty() ? 0 : (size_t(ab[0]) * 8 + 1) % (ab.size() + 1);
            const bool bTVR = !ab.empty() && (ab[0] & 1) != 0;
            const Octets abSource(ab.begin(), ab.begin() + static_cast<long>(nCoupe));
            const Octets abCible(ab.begin() + static_cast<long>(nCoupe), ab.end());
            CDiffXDelta cl;
            cl.SetPackMethodCorps((ab[0] & 0x3E) == 0 ? BUFFER_PACK_ZLW : BUFFER_PACK_AUCUN);
            CQVBuffer clDiff;
            static const uint8_t s_by = 0;
            if (!cl.bComputeDiff(abSource.empty() ? &s_by : abSource.data(), uint32_t(abSource.size()),
                                 abCible.empty() ? &s_by : abCible.data(), uint32_t(abCible.size()), clDiff, bTVR)) {
                const auto e = cl.eGetErreur();
                if (e != CDiffXDelta::DIFF_ERR_SOURCE_VIDE && e != CDiffXDelta::DIFF_ERR_IDENTIQUES) abort();
                break;
            }
            const uint32_t dw = clDiff.dwGetCodedSize();
            Octets abDiff(clDiff.pbyGetCodedBuffer(), clDiff.pbyGetCodedBuffer() + dw);
            if (!bApplique(abSource, abDiff, abSortie) || abSortie != abCible) abort();
            // One byte damaged: the target again, or a clean failure.
            const size_t nPosition = (size_t(ab.back()) * 131 + ab.size()) % abDiff.size();
            abDiff[nPosition] ^= static_cast<uint8_t>(1 + ab[ab.size() / 2] % 255);
            abSortie.clear();
            if (bApplique(abSource, abDiff, abSortie) && abSortie != abCible) abort();
            break;
        }
    }
    return 0;
}
