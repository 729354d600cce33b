// Compresse and Decompresse: the compressed-string layouts of
// compress_chaine.h, with their failures raised as user errors.
#include "codec/compress_chaine.h"
#include "component/compo.h"

namespace {

constexpr int ERREUR_METHODE = 80550;

}  // namespace

CZNBIN CComposanteStandard::Compresse(const void* pDonnees, uint32_t dwTaille, bool bTexte) {
    CZNBIN clResultat;
    if (g_nCompresseChaine(COMPRESSION_LZW, pDonnees, dwTaille, bTexte, clResultat) != 0) RaiseError(ERREUR_METHODE);
    return clResultat;
}

CZNBIN CComposanteStandard::Decompresse(const CZNBINBase& clSource) {
    CZNBIN clResultat;
    // Every failure, a lack of memory included, is an unusable compressed string.
    if (g_nDecompresseChaine(clSource.pGet(), static_cast<uint32_t>(clSource.nGetTaille()), false, clResultat) != 0)
        RaiseError(ERREUR_METHODE);
    return clResultat;
}
