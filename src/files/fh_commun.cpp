// Handle checks, stream failures and the line reader shared by the
// file-handle functions.
#include "files/fh_commun.h"

#include <sys/stat.h>

#include <new>

#include "files/diskfile.h"
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

namespace {

// The record of a valid handle; null after raising 80022 or 80406.
_stINFOFIC* _pstRecord(CZNLibrary& lib, int nHandle, bool bDisqueSeulement) {
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
    return pst;
}

// The read-ahead of a regular disk file's lines, made on its first line;
// null for a zone, a device or a pipe (their lines are read without it), or
// when memory is short.
CLectureAvance* _pclAvance(_stINFOFIC* pst) {
    if (pst->pclAvance != nullptr || pst->nType != FIC_DISQUE) return pst->pclAvance;
    const auto* pclDisque = static_cast<const CDiskFile*>(pst->pclObjet);
    struct stat64 st;
    if (!pclDisque->bIsOpen() || fstat64(pclDisque->nGetHandle(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    pst->pclAvance = new (std::nothrow) CLectureAvance(FIC_AVANCE_PREMIERE, FIC_AVANCE_MAX);
    return pst->pclAvance;
}

}  // namespace

IXStream* FIC_pclStream(CZNLibrary& lib, int nHandle, bool bDisqueSeulement) {
    _stINFOFIC* pst = _pstRecord(lib, nHandle, bDisqueSeulement);
    if (pst == nullptr) return nullptr;
    if (!FIC_bRendAvance(pst)) {
        FIC_ErreurStream(lib, pst->pclObjet);
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
    _stINFOFIC* pst = _pstRecord(lib, nHandle, false);
    if (pst == nullptr) return sLigne;
    IXStream* pcl = pst->pclObjet;
    const bool bUnicode = pst->bUnicode != 0;
    // Without a read-ahead, a short one given back after the line.
    CLectureAvance* pclAvance = _pclAvance(pst);
    CLectureAvance clLocale(XSTREAM_LINE_CHUNK, XSTREAM_LINE_CHUNK);
    CLectureAvance& clAvance = pclAvance != nullptr ? *pclAvance : clLocale;
    eFICLIGNE e = FICLIGNE_OK;
    unsigned nLu = 1;
    if (clAvance.nDispo() == 0) e = clAvance.eRemplit(pcl, &nLu);
    if (e == FICLIGNE_OK && nLu == 0) {
        // The end of the file: the character of code 4.
        if (bUnicode) {
            const char16_t u = char16_t(EOT);
            sLigne.nAssignUNICODE_UTF16(&u, 1);
        } else {
            sLigne.nAssign(&EOT, 1);
        }
    } else if (e == FICLIGNE_OK) {
        e = FIC_eLitLigne(pcl, clAvance, bUnicode, sLigne);
    }
    if (&clAvance == &clLocale && !clLocale.bRend(pcl) && e != FICLIGNE_LECTURE) {
        sLigne.Vide();
        e = FICLIGNE_LECTURE;
    }
    switch (e) {
    case FICLIGNE_OK: break;
    case FICLIGNE_LECTURE: FIC_ErreurStream(lib, pcl); break;
    case FICLIGNE_TROP_LONGUE: FIC_LigneTropLongue(lib); break;
    case FICLIGNE_MEMOIRE: lib.RaiseError(ERR_MEMOIRE); break;
    }
    return sLigne;
}

}  // namespace files
