// Decrypts arbitrary bytes as encrypted strings with a password that is not
// the one they were made with: every cipher, every compression method (the
// decompressor then gets what the cipher gives) and every encoding. The
// first byte chooses cipher, compression and encoding; nothing may be read
// or written out of bounds, and a failure must leave an error and an empty
// result. Then the same bytes go and come back with the right password.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "codec/crypt_chaine.h"
#include "qvstd/xerror.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pby, size_t n) {
    if (n == 0) return 0;
    const uint32_t dwCrypt = pby[0] & 3;
    const uint32_t dwCompression = (pby[0] >> 2) % 3;
    const int nEncodage = (pby[0] >> 4) % 5;
    const uint32_t dwMethode = dwCompression << 16 | dwCrypt;
    const std::string sDonnees(reinterpret_cast<const char*>(pby + 1), n - 1);
    {
        CXError clErreur;
        std::string s = sDonnees;
        if (!g_bChaineDecrypteDecode(s, "pas le bon", dwMethode, nEncodage, clErreur) &&
            (!s.empty() || !clErreur.bIsError()))
            abort();
    }
    // The text coder keeps no NUL byte.
    if (dwCompression == 2 && sDonnees.find('\0') != std::string::npos) return 0;
    CXError clErreur;
    std::string s = sDonnees;
    if (!g_bChaineCrypteEncode(s, "le bon", dwMethode, nEncodage, clErreur)) abort();
    if (!g_bChaineDecrypteDecode(s, "le bon", dwMethode, nEncodage, clErreur)) abort();
    if (s != sDonnees) abort();
    return 0;
}
