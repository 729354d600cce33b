// Decodes arbitrary bytes as compressor blocks of every type and as
// compressed strings, and checks that whatever the coders produce from the
// same bytes decodes back to them. The first byte chooses what is done.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/compress.h"
#include "codec/compress_chaine.h"

namespace {

constexpr uint32_t SORTIE_MAX = 1u << 20;

void Decode(int nType, const uint8_t* pby, size_t n) {
    std::vector<uint8_t> abBloc(pby, pby + n);
    CCompresseur cl(nType);
    cl.ChangeSource(abBloc.data(), static_cast<uint32_t>(abBloc.size()));
    uint32_t dwEntree = cl.dwTailleEntree();
    uint32_t dwTaille = cl.dwTailleDecompression();
    ePACK_ECHEC eBloc = cl.eVerifieBloc();
    (void)dwEntree;
    if (dwTaille == PACK_TAILLE_INVALIDE || dwTaille > SORTIE_MAX) dwTaille = SORTIE_MAX / 16;
    // Exactly the room announced, so that any overrun is caught.
    std::vector<uint8_t> abSortie(dwTaille);
    cl.ChangeDestination(abSortie.data(), dwTaille);
    uint32_t dw = cl.dwDecompression(static_cast<uint8_t>(nType));
    if (dw > dwTaille) abort();
    // A block refused ahead is never decoded; a result always has no cause.
    if (eBloc != PACK_OK && (dw != 0 || cl.eGetEchec() != eBloc)) abort();
    if (dw != 0 && cl.eGetEchec() != PACK_OK) abort();
}

void AllerRetour(int nType, const uint8_t* pby, size_t n) {
    std::vector<uint8_t> abSource;
    if (nType == 5) {
        uint32_t dwLongueur = static_cast<uint32_t>(n);
        abSource.resize(4);
        std::memcpy(abSource.data(), &dwLongueur, 4);
    }
    abSource.insert(abSource.end(), pby, pby + n);
    CCompresseur cl(nType);
    cl.ChangeSource(abSource.data(), static_cast<uint32_t>(abSource.size()));
    uint32_t dwCapacite = cl.dwTailleMinCompression();
    std::vector<uint8_t> abBloc(dwCapacite + 1);
    cl.ChangeDestination(abBloc.data(), dwCapacite);
    uint32_t dwCode = cl.dwCompression();
    if (dwCode > dwCapacite) abort();
    bool bNul = std::memchr(pby, 0, n) != nullptr;
    if (dwCode == 0) {
        if (nType != 5 || !bNul) abort();   // only a NUL stops the text coder
        return;
    }
    abBloc.resize(dwCode);
    abBloc.push_back(0);
    cl.ChangeSource(abBloc.data(), static_cast<uint32_t>(abBloc.size()));
    uint32_t dwTaille = cl.dwTailleDecompression();
    if (dwTaille == PACK_TAILLE_INVALIDE) abort();
    // What the coders produce is never taken for a lie.
    if (cl.eVerifieBloc() != PACK_OK) abort();
    std::vector<uint8_t> abSortie(dwTaille);
    cl.ChangeDestination(abSortie.data(), dwTaille);
    uint32_t dw = cl.dwDecompression(static_cast<uint8_t>(nType));
    if (dw != n || (n != 0 && std::memcmp(abSortie.data(), pby, n) != 0)) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pbyDonnees, size_t nTaille) {
    if (nTaille < 1) return 0;
    const uint8_t* pby = pbyDonnees + 1;
    size_t n = nTaille - 1;
    CZNBIN clResultat;
    switch (pbyDonnees[0] % 8) {
        case 0: Decode(4, pby, n); break;
        case 1: Decode(2, pby, n); break;
        case 2: Decode(5, pby, n); break;
        case 3: g_eDecompresseChaine(pby, static_cast<uint32_t>(n), false, clResultat); break;
        case 4: g_eDecompresseChaine(pby, static_cast<uint32_t>(n), true, clResultat); break;
        case 5: AllerRetour(4, pby, n); break;
        case 6: AllerRetour(2, pby, n); break;
        default: AllerRetour(5, pby, n); break;
    }
    return 0;
}
