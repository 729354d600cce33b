// Handle checks, stream failures and the line reader shared by the
// file-handle functions.
#include "files/fh_commun.h"

#include "files/fh_table.h"
#include "files/fh_texte.h"

namespace files {

namespace {

constexpr int ERR_HANDLE = 80022;
constexpr int ERR_LIGNE = 80028;
constexpr int ERR_MEMOIRE = 80041;
constexpr int ERR_TYPE_HANDLE = 80406;
// "The value is too long.", added to the line error to say why.
constexpr int MSG_TROP_LONG = 703;
constexpr char EOT = 4;

}  // namespace

void FIC_Erreur(CZNLibrary& lib, int nCode) {
    lib.RaiseError(nCode);
    lib.pclGetError()->SetErrorLevel(EL_ERROR);
}

void FIC_LigneTropLongue(CZNLibrary& lib) {
    FIC_Erreur(lib, ERR_LIGNE);
    lib.pclGetError()->AddUserMessage(MSG_TROP_LONG);
}

IXStream* FIC_pclStream(CZNLibrary& lib, int nHandle, bool bDisqueSeulement) {
    _stINFOFIC* pst = s_pGetFicBagInfoFic(nHandle);
    if (pst == nullptr || pst->pclObjet == nullptr) {
        lib.RaiseError(ERR_HANDLE, nHandle);
        lib.pclGetError()->SetErrorLevel(EL_ERROR);
        return nullptr;
    }
    if (bDisqueSeulement && pst->nType != FIC_DISQUE) {
        FIC_Erreur(lib, ERR_TYPE_HANDLE);
        return nullptr;
    }
    return pst->pclObjet;
}

void FIC_ErreurStream(CZNLibrary& lib, IXStream* pclStream) {
    lib.RaiseErrorCopy(pclStream != nullptr ? pclStream->pclGetXError() : nullptr);
    CXError* pclErreur = lib.pclGetError();
    // The stream names its failure by its first message number (28001 to
    // 28307); the user sees that number and the system's reason with it.
    if (pclErreur->nGetUserError() == 0 && pclErreur->nNumErrorId() > 0)
        pclErreur->SetUserErrorCode(pclErreur->nGetErrorId(0));
    const char* pszRaison = pclErreur->pszGetSystemErrorMessage();
    if (pclErreur->nGetSystemError() != 0 && *pszRaison != 0) pclErreur->AddUserMessageNoFormat(pszRaison);
    pclErreur->SetErrorLevel(EL_ERROR);
}

CZNDSTR FIC_sLitLigne(CZNLibrary& lib, int nHandle) {
    CZNDSTR sLigne;
    IXStream* pcl = FIC_pclStream(lib, nHandle, false);
    if (pcl == nullptr) return sLigne;
    const bool bUnicode = s_pGetFicBagInfoFic(nHandle)->bUnicode != 0;
    if (pcl->oGetOffset() >= pcl->oGetSize()) {
        if (bUnicode) {
            const char16_t u = char16_t(EOT);
            sLigne.nAssignUNICODE_UTF16(&u, 1);
        } else {
            sLigne.nAssign(&EOT, 1);
        }
        return sLigne;
    }
    switch (FIC_eLitLigne(pcl, bUnicode, sLigne)) {
    case FICLIGNE_OK: break;
    case FICLIGNE_LECTURE: FIC_ErreurStream(lib, pcl); break;
    case FICLIGNE_TROP_LONGUE: FIC_LigneTropLongue(lib); break;
    case FICLIGNE_MEMOIRE: lib.RaiseError(ERR_MEMOIRE); break;
    }
    return sLigne;
}

}  // namespace files
