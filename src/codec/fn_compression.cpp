// Compresse and Décompresse: the compressed-string layouts of
// compress_chaine.h, with their failures raised as user errors.
#include "codec/compress_chaine.h"
#include "codec/functions.h"

namespace codec {

namespace {

CZNBIN _Compresse(CZNLibrary& lib, const void* pDonnees, uint32_t dwTaille, bool bTexte) {
    CZNBIN clResultat;
    eCHAINE_ECHEC e = g_eCompresseChaine(COMPRESSION_LZW, pDonnees, dwTaille, bTexte, clResultat);
    if (e != CHAINE_OK) g_SignaleEchecChaine(*lib.pclGetError(), e);
    return clResultat;
}

}  // namespace

CZNBIN Compresse(CZNLibrary& lib, const CZNDSTRBase& sTexte) {
    const CZNDSTRBase* pcl = &sTexte;
    CZNDSTR sAnsi;
    if (sTexte.nGetTypeAUB() == 16) {
        sAnsi.nAffecteToANSI(sTexte);
        pcl = &sAnsi;
    }
    // The length rather than the end mark: every character is kept.
    const char* psz = pcl->pszGet();
    return _Compresse(lib, psz != nullptr ? psz : "", static_cast<uint32_t>(pcl->nGetLongueur()), true);
}

CZNBIN Compresse(CZNLibrary& lib, const CZNBINBase& clDonnees) {
    return _Compresse(lib, clDonnees.pGet(), static_cast<uint32_t>(clDonnees.nGetTaille()), false);
}

CZNBIN Decompresse(CZNLibrary& lib, const CZNBINBase& clSource) {
    CZNBIN clResultat;
    eCHAINE_ECHEC e =
        g_eDecompresseChaine(clSource.pGet(), static_cast<uint32_t>(clSource.nGetTaille()), false, clResultat);
    if (e != CHAINE_OK) g_SignaleEchecChaine(*lib.pclGetError(), e);
    return clResultat;
}

}  // namespace codec
