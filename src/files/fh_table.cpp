// The table of open files and its life with the module.
#include "files/fh_table.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

#include "files/diskfile.h"

namespace {

CTIndexedBag<_stINFOFIC*> s_clBag;
bool s_bDemarre = false;
// Library objects of several threads share the table: every step on it is
// taken under this lock (recursive: the stop sequence destroys records).
std::recursive_mutex s_clVerrou;

void _Demarre() {
    if (s_bDemarre) return;
    s_clBag.Vide();
    // Slots 0 and 1 are never handed out.
    s_clBag.nAjoute(nullptr);
    s_clBag.nAjoute(nullptr);
    s_bDemarre = s_clBag.nGetUtilises() == 2;
}

// Files left open when the module goes away are closed (and deleted when
// flagged) even if the module's stop sequence did not run.
struct STFin {
    ~STFin() { _FIC_FinModule(); }
} s_stFin;

}  // namespace

bool _FIC_bInitModule() {
    std::lock_guard<std::recursive_mutex> clGarde(s_clVerrou);
    _Demarre();
    return s_bDemarre;
}

void _FIC_FinModule() {
    std::lock_guard<std::recursive_mutex> clGarde(s_clVerrou);
    if (!s_bDemarre) return;
    for (int i = FIC_PREMIER_HANDLE; i < s_clBag.nGetAlloues(); ++i) {
        if (!s_clBag.bValide(i)) continue;
        _stINFOFIC* pst = s_clBag.Valeur(i);
        s_clBag.bSupprime(i);
        FIC_DetruitInfo(pst);
    }
    s_clBag.Vide();
    s_bDemarre = false;
    FIC_FermeRecherche();
}

int FIC_nAjoute(_stINFOFIC* pstInfo) {
    std::lock_guard<std::recursive_mutex> clGarde(s_clVerrou);
    _Demarre();
    if (!s_bDemarre) return -1;
    return s_clBag.nAjoute(pstInfo);
}

_stINFOFIC* s_pGetFicBagInfoFic(int nHandle) {
    std::lock_guard<std::recursive_mutex> clGarde(s_clVerrou);
    _Demarre();
    if (nHandle < FIC_PREMIER_HANDLE || !s_clBag.bValide(nHandle)) return nullptr;
    return s_clBag.Valeur(nHandle);
}

IXStream* s_pGetFicBagXStream(int nHandle) {
    _stINFOFIC* pst = s_pGetFicBagInfoFic(nHandle);
    if (pst == nullptr) return nullptr;
    FIC_bRendAvance(pst);
    return pst->pclObjet;
}

bool FIC_bRendAvance(_stINFOFIC* pstInfo) {
    if (pstInfo == nullptr || pstInfo->pclAvance == nullptr || pstInfo->pclObjet == nullptr) return true;
    return pstInfo->pclAvance->bRend(pstInfo->pclObjet);
}

_stINFOFIC* FIC_pRetire(int nHandle) {
    std::lock_guard<std::recursive_mutex> clGarde(s_clVerrou);
    _stINFOFIC* pst = s_pGetFicBagInfoFic(nHandle);
    if (pst == nullptr) return nullptr;
    s_clBag.bSupprime(nHandle);
    return pst;
}

void FIC_DetruitInfo(_stINFOFIC* pstInfo) {
    if (pstInfo == nullptr) return;
    IXStream* pcl = pstInfo->pclObjet;
    if (pcl != nullptr) {
        if (pstInfo->nType == FIC_DISQUE) {
            auto* pclDisque = static_cast<CDiskFile*>(pcl);
            // Compared and deleted while the file is still open, so that its
            // inode cannot go to another file in between.
            struct stat64 stOuvert, stNom;
            const bool bSupprime = pstInfo->bSuppressionAutomatique && pclDisque->bIsOpen() &&
                                   fstat64(pclDisque->nGetHandle(), &stOuvert) == 0 && S_ISREG(stOuvert.st_mode) &&
                                   stat64(pclDisque->pszGetName(), &stNom) == 0 &&
                                   stNom.st_dev == stOuvert.st_dev && stNom.st_ino == stOuvert.st_ino;
            if (bSupprime) unlink(pclDisque->pszGetName());
            pclDisque->Close();
        }
        delete pcl;
    }
    delete pstInfo->pclAvance;
    delete pstInfo;
}

int FIC_nOuverts() {
    std::lock_guard<std::recursive_mutex> clGarde(s_clVerrou);
    _Demarre();
    return s_bDemarre ? s_clBag.nGetUtilises() - 2 : 0;
}

int FIC_nDescripteurDe(unsigned long long qwPeripherique, unsigned long long qwInode) {
    std::lock_guard<std::recursive_mutex> clGarde(s_clVerrou);
    if (!s_bDemarre) return -1;
    for (int i = FIC_PREMIER_HANDLE; i < s_clBag.nGetAlloues(); ++i) {
        if (!s_clBag.bValide(i)) continue;
        const _stINFOFIC* pst = s_clBag.Valeur(i);
        if (pst == nullptr || pst->nType != FIC_DISQUE || pst->pclObjet == nullptr) continue;
        const auto* pcl = static_cast<const CDiskFile*>(pst->pclObjet);
        struct stat64 st;
        if (!pcl->bIsOpen() || fstat64(pcl->nGetHandle(), &st) != 0) continue;
        // Only a descriptor that can be read serves a reader.
        if ((pcl->nGetOpenFlags() & O_ACCMODE) == O_WRONLY) continue;
        if (st.st_dev == qwPeripherique && st.st_ino == qwInode) return pcl->nGetHandle();
    }
    return -1;
}
