// The shared-memory functions: a zone shared between processes opened as a
// file handle, read and written with the file-handle functions.
#include <cerrno>
#include <new>

#include "files/fh_commun.h"
#include "files/fh_table.h"
#include "files/functions.h"
#include "files/gestion.h"
#include "files/sharedmem.h"

namespace files {

namespace {

constexpr int ERR_MEMOIRE = 80041;
constexpr int ERR_ZONE = 81508;
constexpr int ERR_ATTENTE = 81511;
constexpr int PORTEE_DEFAUT = 2;

}  // namespace

int32_t fMemOuvre(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nTaille, int32_t /*nPortee*/, int32_t nMode,
                  const STManipAUB* /*pstTexte*/) {
    const std::string sNom = FIC_sNom(pstNom);
    auto* pcl = new (std::nothrow) CFileSharedMemory();
    if (pcl == nullptr) {
        lib.RaiseError(ERR_MEMOIRE);
        return -1;
    }
    const int eAcces = (nMode & FO_ECRITURE) ? CQVSharedMemory::QVSMA_READWRITE : CQVSharedMemory::QVSMA_READ;
    bool bExistait = false;
    if (nMode & FO_UNICODE) {
        CQVSharedMemory clTest;
        bExistait = clTest.bOpenMemory(sNom.c_str(), CQVSharedMemory::QVSMA_READ);
    }
    if (!pcl->bOpenCreateMemory(sNom.c_str(), eAcces, nTaille) || !pcl->bAttach(eAcces)) {
        FIC_Echec(lib, ERR_ZONE, pcl->nGetErrno());
        delete pcl;
        return -1;
    }
    auto* pstInfo = new (std::nothrow) _stINFOFIC{FIC_MEMOIRE_PARTAGEE, pcl, 0, 0};
    const int nHandle = pstInfo != nullptr ? FIC_nAjoute(pstInfo) : -1;
    if (nHandle < 0) {
        delete pcl;
        delete pstInfo;
        FIC_Echec(lib, ERR_ZONE, ENOMEM);
        return -1;
    }
    if (!(nMode & FO_UNICODE)) return nHandle;
    pstInfo->bUnicode = 1;
    if (!bExistait) {
        static const unsigned char s_abyMarque[2] = {0xFF, 0xFE};
        unsigned nEcrit = 0;
        if (!pcl->bWrite(s_abyMarque, 2, &nEcrit) || nEcrit != 2) {
            FIC_DetruitInfo(FIC_pRetire(nHandle));
            FIC_Echec(lib, ERR_ZONE, EACCES);
            return -1;
        }
    } else {
        unsigned char aby[2] = {0, 0};
        unsigned nLu = 0;
        const bool bLu = pcl->bRead(aby, 2, &nLu);
        if (!(bLu && nLu == 2 && aby[0] == 0xFF && aby[1] == 0xFE)) pcl->bSeek(0, IXStream::eSEEK_BEGIN);
    }
    return nHandle;
}
int32_t fMemOuvre(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nTaille, int32_t nPortee, int32_t nMode) {
    return fMemOuvre(lib, pstNom, nTaille, nPortee, nMode, nullptr);
}
int32_t fMemOuvre(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nTaille, int32_t nPortee) {
    return fMemOuvre(lib, pstNom, nTaille, nPortee, FO_LECTUREECRITURE, nullptr);
}
int32_t fMemOuvre(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nTaille) {
    return fMemOuvre(lib, pstNom, nTaille, PORTEE_DEFAUT, FO_LECTUREECRITURE, nullptr);
}

bool fMemExiste(CZNLibrary& /*lib*/, const STManipAUB* pstNom, int32_t /*nPortee*/) {
    CQVSharedMemory cl;
    return cl.bOpenMemory(FIC_sNom(pstNom).c_str(), CQVSharedMemory::QVSMA_READ);
}
bool fMemExiste(CZNLibrary& lib, const STManipAUB* pstNom) { return fMemExiste(lib, pstNom, PORTEE_DEFAUT); }

bool fMemAttend(CZNLibrary& lib, int32_t /*nHandle*/, int32_t /*nDelai*/) {
    lib.RaiseError(ERR_ATTENTE);
    lib.pclGetError()->SetErrorLevel(EL_ERROR);
    return true;
}
bool fMemAttend(CZNLibrary& lib, int32_t nHandle) { return fMemAttend(lib, nHandle, 0); }

}  // namespace files
