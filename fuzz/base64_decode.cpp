// Decodes arbitrary text with both Base64 forms into exactly the room the
// decoder measured (any overrun is caught), and checks that the encoding of
// the same bytes decodes back to them. The first byte chooses the form.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "codec/encode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pby, size_t n) {
    if (n == 0) return 0;
    const int nEncodeur = (pby[0] & 1) != 0 ? ENCODE_BASE64 : ENCODE_TVR;
    const int nGroupes = pby[0] >> 1;
    ++pby;
    --n;
    std::unique_ptr<CEncodeBase> pcl(pclGetEncodeur(nEncodeur));
    const char* psz = reinterpret_cast<const char*>(pby);
    const size_t nPlace = pcl->nDecode(psz, n, nullptr);
    if (nPlace == ENCODE_INVALIDE) abort();
    std::vector<uint8_t> ab(nPlace);
    const size_t nFait = pcl->nDecode(psz, n, ab.data());
    if (nFait > nPlace) abort();
    // The bytes go and come back.
    std::vector<char> acTexte(pcl->nEncode(pby, n, nGroupes, nullptr) + 1);
    const size_t nTexte = pcl->nEncode(pby, n, nGroupes, acTexte.data());
    if (nTexte + 1 != acTexte.size() || acTexte[nTexte] != 0) abort();
    std::vector<uint8_t> abRetour(pcl->nDecode(acTexte.data(), nTexte, nullptr));
    const size_t nRetour = pcl->nDecode(acTexte.data(), nTexte, abRetour.data());
    if (nRetour != n || (n != 0 && std::memcmp(abRetour.data(), pby, n) != 0)) abort();
    return 0;
}
