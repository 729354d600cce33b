// The file-handle functions that read and write blocks of bytes.
#include <sys/stat.h>

#include <algorithm>

#include "files/diskfile.h"
#include "files/fh_commun.h"
#include "files/fh_table.h"
#include "files/fh_texte.h"
#include "files/functions.h"

namespace files {

namespace {

constexpr int ERR_MEMOIRE = 80041;
constexpr int ERR_PARAMETRE = 80070;

// What a disk file can still give from its position, or -1 when it is not
// known (devices, pipes, zones).
long long _oRestant(const _stINFOFIC* pst) {
    if (pst->nType != FIC_DISQUE) return -1;
    auto* pcl = static_cast<CDiskFile*>(pst->pclObjet);
    struct stat64 st;
    if (fstat64(pcl->nGetHandle(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return std::max(0LL, static_cast<long long>(st.st_size) - pcl->oGetOffset());
}

}  // namespace

CZNDSTR fLit(CZNLibrary& lib, int32_t nHandle, int32_t nNombre) {
    CZNDSTR sResultat;
    IXStream* pcl = FIC_pclStream(lib, nHandle, false);
    if (pcl == nullptr || nNombre <= 0) return sResultat;
    // The buffer never outgrows what the stream can give: a regular file
    // tells it; from a device or a pipe it grows block by block as the
    // bytes arrive.
    const long long oRestant = _oRestant(s_pGetFicBagInfoFic(nHandle));
    const bool bConnu = oRestant >= 0;
    const unsigned nVoulu = bConnu ? unsigned(std::min<long long>(nNombre, oRestant)) : unsigned(nNombre);
    unsigned nTotal = 0;
    while (nTotal < nVoulu) {
        const unsigned nBloc = bConnu ? nVoulu : std::min(nVoulu - nTotal, XSTREAM_COPY_BLOCK);
        if (sResultat.SetUtilLength(nTotal + nBloc, true) != 0) {
            sResultat.Vide();
            lib.RaiseError(ERR_MEMOIRE);
            return sResultat;
        }
        unsigned nLu = 0;
        if (!pcl->bRead(static_cast<char*>(sResultat.pGetMemoire()) + nTotal, nBloc, &nLu)) {
            // Bytes already taken from a pipe cannot go back: they are the
            // result, and the read that failed after them ends it.
            if (nTotal > 0) break;
            sResultat.Vide();
            FIC_ErreurStream(lib, pcl);
            return sResultat;
        }
        nTotal += nLu;
        if (bConnu || nLu < nBloc) break;
    }
    if (nTotal == 0)
        sResultat.Vide();
    else
        sResultat.Tronque(int(nTotal));
    return sResultat;
}

int32_t fLit(CZNLibrary& lib, int32_t nHandle, int32_t nNombre, void* pAdresse) {
    IXStream* pcl = FIC_pclStream(lib, nHandle, false);
    if (pcl == nullptr) return 0;
    if (pAdresse == nullptr) {
        FIC_Erreur(lib, ERR_PARAMETRE);
        return 0;
    }
    if (nNombre <= 0) return 0;
    unsigned nLu = 0;
    if (!pcl->bRead(pAdresse, unsigned(nNombre), &nLu)) {
        FIC_ErreurStream(lib, pcl);
        return 0;
    }
    return int(nLu);
}

int32_t fEcrit(CZNLibrary& lib, int32_t nHandle, const STManipAUB* pstValeur, int32_t nLongueur) {
    IXStream* pcl = FIC_pclStream(lib, nHandle, false);
    if (pcl == nullptr) return -1;
    CZNDSTR sUnicode;
    const char* p = "";
    size_t nTaille = 0;
    if (pstValeur != nullptr && pstValeur->bEstUNICODE()) {
        // A length counts characters; the file receives 16-bit units.
        size_t nCaracteres = pstValeur->nGetLongueur() / sizeof(wchar_t);
        if (nLongueur >= 0) nCaracteres = std::min(nCaracteres, size_t(nLongueur));
        if (!FIC_bAjouteUTF16LE(sUnicode, pstValeur->pszGetStringW(), nCaracteres)) {
            lib.RaiseError(ERR_MEMOIRE);
            return -1;
        }
        p = sUnicode.pszGet();
        nTaille = size_t(sUnicode.nGetLongueur());
    } else if (pstValeur != nullptr) {
        // Strings and buffers alike: their bytes, never beyond the value.
        p = pstValeur->pszGetString();
        nTaille = pstValeur->nGetLongueur();
        if (nLongueur >= 0) nTaille = std::min(nTaille, size_t(nLongueur));
    }
    unsigned nEcrit = 0;
    if (nTaille > 0 && !pcl->bWrite(p, unsigned(nTaille), &nEcrit)) {
        FIC_ErreurStream(lib, pcl);
        return -1;
    }
    return int(nEcrit);
}

int32_t fEcrit(CZNLibrary& lib, int32_t nHandle, void* pAdresse, int32_t nLongueur) {
    IXStream* pcl = FIC_pclStream(lib, nHandle, false);
    if (pcl == nullptr) return -1;
    if (pAdresse == nullptr) {
        FIC_Erreur(lib, ERR_PARAMETRE);
        return -1;
    }
    if (nLongueur <= 0) return 0;
    unsigned nEcrit = 0;
    if (!pcl->bWrite(pAdresse, unsigned(nLongueur), &nEcrit)) {
        FIC_ErreurStream(lib, pcl);
        return -1;
    }
    return int(nEcrit);
}

int32_t fEcrit(CZNLibrary& lib, int32_t nHandle, const STManipAUB* pstValeur) {
    return fEcrit(lib, nHandle, pstValeur, -1);
}

}  // namespace files
