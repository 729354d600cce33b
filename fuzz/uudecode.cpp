// Decodes arbitrary text with both uuencode forms into exactly the room the
// decoder measured, also fed line by line as the file decoder feeds it (the
// same bytes must come out), and checks that the encoding of the same bytes
// decodes back to them. The first byte chooses the form.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "codec/encode.h"
#include "codec/encode_uu.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pby, size_t n) {
    if (n == 0) return 0;
    const bool bStandard = (pby[0] & 1) != 0;
    ++pby;
    --n;
    std::unique_ptr<CEncodeBase> pcl(pclGetEncodeur(bStandard ? ENCODE_UUENCODE_STANDARD : ENCODE_UUENCODE));
    const char* psz = reinterpret_cast<const char*>(pby);
    const size_t nPlace = pcl->nDecode(psz, n, nullptr);
    std::vector<uint8_t> ab(nPlace == ENCODE_INVALIDE ? 0 : nPlace);
    const size_t nFait = pcl->nDecode(psz, n, nPlace == ENCODE_INVALIDE ? nullptr : ab.data());
    if (nPlace == ENCODE_INVALIDE) {
        if (nFait != ENCODE_INVALIDE) abort();
    } else if (nFait != nPlace) {
        abort();
    }
    // Line by line, with an output per line sized by the line.
    uu::CDecodeur clLignes(bStandard, nullptr);
    std::vector<uint8_t> abLignes;
    bool bValide = true;
    size_t nDebut = 0;
    while (bValide && nDebut < n) {
        const void* pLf = std::memchr(psz + nDebut, '\n', n - nDebut);
        const size_t nFin = pLf != nullptr ? static_cast<size_t>(static_cast<const char*>(pLf) - psz) : n;
        std::vector<uint8_t> abLigne(nFin - nDebut + 4);
        clLignes.ChangeSortie(abLigne.data());
        bValide = clLignes.bLigne(psz + nDebut, nFin - nDebut);
        if (clLignes.nGetProduit() > abLigne.size()) abort();
        abLignes.insert(abLignes.end(), abLigne.begin(), abLigne.begin() + static_cast<long>(clLignes.nGetProduit()));
        nDebut = nFin + 1;
    }
    if (bValide) {
        uint8_t abyFin[4];
        clLignes.ChangeSortie(abyFin);
        clLignes.nFin();
        abLignes.insert(abLignes.end(), abyFin, abyFin + clLignes.nGetProduit());
    }
    if (bValide != (nPlace != ENCODE_INVALIDE)) abort();
    if (bValide && (abLignes.size() != nFait || (nFait != 0 && std::memcmp(abLignes.data(), ab.data(), nFait) != 0)))
        abort();
    // The bytes go and come back.
    std::vector<char> acTexte(pcl->nEncode(pby, n, 0, nullptr) + 1);
    const size_t nTexte = pcl->nEncode(pby, n, 0, acTexte.data());
    std::vector<uint8_t> abRetour(pcl->nDecode(acTexte.data(), nTexte, nullptr));
    const size_t nRetour = pcl->nDecode(acTexte.data(), nTexte, abRetour.data());
    if (nRetour != n || (n != 0 && std::memcmp(abRetour.data(), pby, n) != 0)) abort();
    return 0;
}
