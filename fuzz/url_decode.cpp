// Decodes arbitrary text as URL encoding into exactly the room measured, and
// checks that both encoding modes of the same bytes decode back to them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pby, size_t n) {
    const char* psz = reinterpret_cast<const char*>(pby);
    std::vector<uint8_t> ab(nCalculeLongueurDecodee(psz, n));
    if (DecodeURL(psz, n, ab.data()) != ab.size()) abort();
    for (int nMode : {URL_MODE_URL, URL_MODE_ALPHANUMERIQUE}) {
        std::vector<char> ac(nCalculeLongueurEncodee(pby, n, nMode));
        if (EncodeURL(pby, n, nMode, ac.data()) != ac.size()) abort();
        std::vector<uint8_t> abRetour(nCalculeLongueurDecodee(ac.data(), ac.size()));
        if (DecodeURL(ac.data(), ac.size(), abRetour.data()) != n) abort();
        if (n != 0 && std::memcmp(abRetour.data(), pby, n) != 0) abort();
    }
    return 0;
}
