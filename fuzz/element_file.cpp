// Reads arbitrary bytes as project element files. The first byte chooses
// what is read:
//   0: the bytes as they are;
//   1: an element file written from the input (part sizes and contents
//      taken from it, one or more versions), then damaged at places and
//      with values the input gives, so that the reader meets files that
//      are nearly right.
// Every version is read, every part fetched; the diff's project-file cut
// of the file against itself and against a damaged copy must tile the
// target exactly.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/buffer.h"
#include "diff/decoupe_tvr.h"
#include "files/memstream.h"
#include "projectfile/eltprojetfile.h"

namespace {

using Octets = std::vector<uint8_t>;

// An element file written by the real writer from the input's bytes.
Octets Ecrit(const uint8_t* p, size_t n) {
    if (n < 2) return Octets(p, p + n);
    const uint32_t nParties = 1 + p[0] % 4, nVersions = 1 + p[1] % 3;
    p += 2;
    n -= 2;
    auto* pclFlux = new CMemoryStream();
    pclFlux->bOpen("fuzz", IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_TRUNCATE);
    Octets ab;
    {
        CEltProjetFile cl(pclFlux);
        cl.SetTypeFichier(0x10001);
        cl.SetNbPartie(nParties);
        for (uint32_t i = 0; i < nParties; ++i) cl.bInitPartie(i, static_cast<uint8_t>(i), i);
        bool bOk = cl.bWriteHeader();
        size_t nPris = 0;
        for (uint32_t v = 0; bOk && v < nVersions; ++v) {
            if (v != 0) bOk = cl.bCreeVersion();
            for (uint32_t i = 0; bOk && i < nParties; ++i) {
                const uint32_t nTaille = nPris < n ? p[nPris] % 64 : 0;
                const uint8_t* pPartie = p + std::min(n, nPris);
                const uint32_t nDispo = uint32_t(n - std::min(n, nPris));
                const uint32_t nEcrit = std::min(nTaille, nDispo);
                bOk = v == 0 ? cl.bAddPartie(i, pPartie, nEcrit) : cl.bEcrasePartie(i, pPartie, nEcrit);
                nPris += 1 + nEcrit;
            }
        }
        const long long o = pclFlux->oGetSize();
        if (bOk && o > 0) ab.assign(pclFlux->pGetAddress(), pclFlux->pGetAddress() + o);
    }
    pclFlux->Release();
    return ab;
}

void Lit(const Octets& ab) {
    Octets abLu(ab);
    auto* pclFlux = new CMemoryStream();
    pclFlux->bAssociate(abLu.empty() ? nullptr : abLu.data(), unsigned(abLu.size()));
    pclFlux->bOpen(nullptr, IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN);
    {
        CEltProjetFile cl(pclFlux);
        if (cl.bReadHeader()) {
            for (uint32_t k = 1; k <= cl.nNbVersion(); ++k) {
                if (!cl.bLitVersion(k)) continue;
                for (uint32_t i = 0; i < cl.dwGetNbPartie(); ++i) {
                    const long long o = cl.oGetOffsetPartie(i);
                    if (o < 0 || uint64_t(o) + cl.dwGetTaillePartie(i) > ab.size()) abort();
                    CQVBuffer clPartie;
                    if (cl.bGetPartie(i, clPartie) && clPartie.dwGetSizeDirect() != cl.dwGetTaillePartie(i)) abort();
                    cl.bPartieQVL(i);
                }
                cl.nType2Partie(1);
            }
        }
    }
    pclFlux->Release();
}

void Decoupe(const Octets& abS, const Octets& abT) {
    static const uint8_t s_by = 0;
    std::vector<STPlanSection> tab;
    if (!DIFF_bDecoupeFichierProjet(abS.empty() ? &s_by : abS.data(), uint32_t(abS.size()),
                                    abT.empty() ? &s_by : abT.data(), uint32_t(abT.size()), tab))
        return;
    uint32_t dwFin = 0;
    for (const STPlanSection& st : tab) {
        if (st.dwCibleDebut != dwFin || st.dwCibleFin < st.dwCibleDebut || st.dwSourceDebut > st.dwSourceFin ||
            st.dwSourceFin > abS.size())
            abort();
        dwFin = st.dwCibleFin;
    }
    if (dwFin != abT.size()) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pbyDonnees, size_t nTaille) {
    if (nTaille < 1 || nTaille > (1u << 16)) return 0;
    Octets ab;
    if (pbyDonnees[0] % 2 == 0) {
        ab.assign(pbyDonnees + 1, pbyDonnees + nTaille);
    } else {
        // Damages: pairs of (place, value) from the end of the input.
        const size_t nDommages = nTaille > 9 ? std::min<size_t>(4, (nTaille - 1) / 8) : 0;
        const size_t nEcrit = nTaille - 1 - 3 * nDommages;
        ab = Ecrit(pbyDonnees + 1, nEcrit);
        for (size_t d = 0; d < nDommages && !ab.empty(); ++d) {
            const uint8_t* q = pbyDonnees + 1 + nEcrit + 3 * d;
            ab[(size_t(q[0]) << 8 | q[1]) % ab.size()] = q[2];
        }
    }
    Lit(ab);
    Decoupe(ab, ab);
    Octets abAutre = ab;
    if (!abAutre.empty()) abAutre[abAutre.size() / 2] ^= 0x5A;
    Decoupe(ab, abAutre);
    Decoupe(abAutre, ab);
    return 0;
}
