// Decompaction of the older archive format: the signature is checked before
// anything is created, the output goes through a temporary file beside its
// final name, and without a destination it takes the archive's place only
// once it is whole.
#include <sys/stat.h>

#include "codec/compact_interne.h"
#include "codec/lzw_vieux.h"

namespace compact {

namespace {

bool _bLitEntete(IXStream& clArchive, lzw_vieux::STEntete* pst) {
    uint8_t aby[lzw_vieux::TAILLE_ENTETE];
    unsigned nLu = 0;
    return clArchive.bRead(0, aby, sizeof aby, &nLu) && nLu == sizeof aby && lzw_vieux::bLitEntete(aby, pst);
}

}  // namespace

long long lVerifieSiCompresseOld(IXStream& clArchive) {
    lzw_vieux::STEntete st;
    return _bLitEntete(clArchive, &st) ? static_cast<long long>(st.dwTaille) : -1;
}

int nOldDecompacte(CDiskFile& clArchive, const char* pszArchive, const struct stat64& stArchive,
                   const char* pszDestination, bool bProgression, STCompactBilan& stBilan) {
    lzw_vieux::STEntete stEntete;
    if (!_bLitEntete(clArchive, &stEntete)) return COMPACT_PAS_ARCHIVE;
    CSortieTemporaire clSortie;
    int n = clSortie.nCree(pszDestination != nullptr ? pszDestination : pszArchive);
    if (n != COMPACT_OK) return n;
    // The room the header asks for, with 2 KB to spare.
    long long oLibreKo = 0;
    if (CDiskFile::bGetDiskFreeSpace(clSortie.clFichier().pszGetName(), &oLibreKo) &&
        oLibreKo * 1024 - 2048 < static_cast<long long>(stEntete.dwPlace))
        return COMPACT_ABIMEE;
    if (!clArchive.bSeek(lzw_vieux::TAILLE_ENTETE, IXStream::eSEEK_BEGIN)) return COMPACT_OUVERTURE;
    CSuivi clSuivi(stEntete.dwTaille, bProgression);
    CSourceFichier clLecteur(clArchive, UINT64_MAX, nullptr);
    CPuitsFichier clPuits(clSortie.clFichier(), &clSuivi, nullptr);
    uint16_t wCrc = 0;
    n = nCodeDecodage(lzw_vieux::decode(clLecteur, clPuits, stEntete.dwTaille, &wCrc), clSortie.clFichier());
    if (n == COMPACT_OK) n = clSortie.nValide(stArchive);
    if (n != COMPACT_OK) return n;
    clSuivi.Termine();
    stBilan.bVieuxFormat = true;
    stBilan.qwTaille = stEntete.dwTaille;
    stBilan.qwCompresse = clLecteur.qwGetLus();
    stBilan.wCrc16 = wCrc;
    return COMPACT_OK;
}

}  // namespace compact
