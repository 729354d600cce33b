// The generated signature table, kept in one translation unit.
#include "signature.h"

#include "host_signatures.inc"

namespace qvhost {
const QVSignature* pGetSignatures(size_t* pnCount) {
    *pnCount = sizeof(g_tabSignatures) / sizeof(g_tabSignatures[0]);
    return g_tabSignatures;
}
}  // namespace qvhost
