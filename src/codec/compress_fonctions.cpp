// Compresse and Decompresse: the compressed-string layouts of
// compress_chaine.h, with their failures raised as user errors.
#include "codec/compress_chaine.h"
#include "component/compo.h"

CZNBIN CComposanteStandard::Compresse(const void* pDonnees, uint32_t dwTaille, bool bTexte) {
    CZNBIN clResultat;
    eCHAINE_ECHEC e = g_eCompresseChaine(COMPRESSION_LZW, pDonnees, dwTaille, bTexte, clResultat);
    if (e != CHAINE_OK) g_SignaleEchecChaine(*pclGetError(), e);
    return clResultat;
}

CZNBIN CComposanteStandard::Decompresse(const CZNBINBase& clSource) {
    CZNBIN clResultat;
    eCHAINE_ECHEC e =
        g_eDecompresseChaine(clSource.pGet(), static_cast<uint32_t>(clSource.nGetTaille()), false, clResultat);
    if (e != CHAINE_OK) g_SignaleEchecChaine(*pclGetError(), e);
    return clResultat;
}
