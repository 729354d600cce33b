// The compaction container: its entry header read and written, a file
// packed with "-lh5-" (or kept as a plain copy), an archive unpacked, and the
// sizes an archive records.
#include "codec/compact.h"

#include <strings.h>
#include <sys/stat.h>

#include <cstring>

#include "codec/compact_interne.h"
#include "codec/lh5.h"

namespace compact {

namespace {

constexpr uint32_t OFFSET_COMPRESSE = 8;
constexpr uint32_t OFFSET_TAILLE = 12;
constexpr uint32_t OFFSET_NOM = 16;
constexpr const char* METHODE_CODEE = "-lh5-";
constexpr const char* METHODE_STOCKEE = "-lh0-";
// The header's sizes are 32-bit: a larger source is kept as a plain copy.
constexpr uint64_t TAILLE_MAX = 0xFFFFFFFFull;

struct STEntete {
    bool bCodee = false;   // "-lh5-", else "-lh0-"
    uint32_t dwCompresse = 0;
    uint32_t dwTaille = 0;
    char szNom[COMPACT_TAILLE_NOM] = {};
};

enum class eENTETE {
    OK,
    ABSENTE,    // the file is no archive of this format
    ABIMEE,     // it is one, but its header cannot be trusted
    LECTURE,    // the file failed to read
};

void _Ecrit32(uint8_t* pby, uint32_t dw) {
    for (int i = 0; i < 4; ++i) pby[i] = static_cast<uint8_t>(dw >> (8 * i));
}
uint32_t _dwLit32(const uint8_t* pby) {
    return uint32_t(pby[0]) | (uint32_t(pby[1]) << 8) | (uint32_t(pby[2]) << 16) | (uint32_t(pby[3]) << 24);
}

// The marker and the entry header at the start of the file. A method field
// of this format makes the file an archive; from there on the name must end
// within its field and the data the sizes announce must be in the file.
eENTETE read_header(CDiskFile& clArchive, STEntete* pst) {
    const long long oTaille = clArchive.oGetSize();
    if (oTaille < 0) return eENTETE::LECTURE;
    if (oTaille < COMPACT_DEBUT_DONNEES) return eENTETE::ABSENTE;
    uint8_t aby[COMPACT_DEBUT_DONNEES];
    unsigned nLu = 0;
    if (!clArchive.bRead(0, aby, sizeof aby, &nLu)) return eENTETE::LECTURE;
    if (nLu != sizeof aby) return eENTETE::ABSENTE;
    const uint8_t* pbyEntete = aby + 1;
    const char* pszMethode = reinterpret_cast<const char*>(pbyEntete);
    if (aby[0] != COMPACT_MARQUE || memchr(pszMethode, 0, COMPACT_TAILLE_METHODE) == nullptr) return eENTETE::ABSENTE;
    if (strcasecmp(pszMethode, METHODE_CODEE) == 0)
        pst->bCodee = true;
    else if (strcasecmp(pszMethode, METHODE_STOCKEE) == 0)
        pst->bCodee = false;
    else
        return eENTETE::ABSENTE;
    pst->dwCompresse = _dwLit32(pbyEntete + OFFSET_COMPRESSE);
    pst->dwTaille = _dwLit32(pbyEntete + OFFSET_TAILLE);
    const void* pNom = pbyEntete + OFFSET_NOM;
    if (memchr(pNom, 0, COMPACT_TAILLE_NOM) == nullptr) return eENTETE::ABIMEE;
    std::memcpy(pst->szNom, pNom, COMPACT_TAILLE_NOM);
    const uint64_t qwDonnees = pst->bCodee ? pst->dwCompresse : pst->dwTaille;
    if (!pst->bCodee && pst->dwTaille > pst->dwCompresse) return eENTETE::ABIMEE;
    if (COMPACT_DEBUT_DONNEES + qwDonnees > static_cast<uint64_t>(oTaille)) return eENTETE::ABIMEE;
    return eENTETE::OK;
}

bool write_header(IXStream& clSortie, const STEntete& st) {
    uint8_t aby[COMPACT_DEBUT_DONNEES] = {};
    aby[0] = COMPACT_MARQUE;
    uint8_t* pbyEntete = aby + 1;
    std::memcpy(pbyEntete, st.bCodee ? METHODE_CODEE : METHODE_STOCKEE, 5);
    _Ecrit32(pbyEntete + OFFSET_COMPRESSE, st.dwCompresse);
    _Ecrit32(pbyEntete + OFFSET_TAILLE, st.dwTaille);
    std::memcpy(pbyEntete + OFFSET_NOM, st.szNom, COMPACT_TAILLE_NOM);
    return clSortie.bWrite(0, aby, sizeof aby, nullptr);
}

// The plain copy that replaces a coding that gains nothing: the source
// again from its start, over the output from its start, cut after it.
int store(CDiskFile& clSource, CDiskFile& clSortie, CSuivi& clSuivi) {
    if (!clSource.bSeek(0, IXStream::eSEEK_BEGIN)) return COMPACT_LECTURE;
    if (!clSortie.bSeek(0, IXStream::eSEEK_BEGIN)) return COMPACT_ECRITURE;
    const int n = nCopie(clSource, clSortie, UINT64_MAX, clSuivi, COMPACT_LECTURE, COMPACT_ECRITURE);
    if (n != COMPACT_OK) return n;
    if (!clSortie.bSetSize(clSortie.oGetOffset(), IXStream::eGROW_ABSOLUTE))
        return nCodeEcriture(clSortie, COMPACT_ECRITURE);
    return COMPACT_OK;
}

// Codes the source after the header; gives up for a plain copy when the
// coding gains nothing.
int add(CDiskFile& clSource, uint64_t qwTaille, CDiskFile& clSortie, STEntete& stEntete, CSuivi& clSuivi,
        STCompactBilan& stBilan) {
    stBilan.bCopieSimple = true;   // until the coding has gained something
    if (qwTaille > TAILLE_MAX) return store(clSource, clSortie, clSuivi);
    if (!write_header(clSortie, stEntete)) return nCodeEcriture(clSortie, COMPACT_ECRITURE);
    CSourceFichier clLecteur(clSource, UINT64_MAX, &clSuivi);
    CPuitsFichier clPuits(clSortie, nullptr, &clLecteur);
    lh5::STBilan stCodage;
    const eCODAGE e = lh5::encode(clLecteur, clPuits, &stCodage);
    switch (e) {
        case eCODAGE::OK: break;
        case eCODAGE::ECRITURE:
            if (clPuits.bSansGain()) return store(clSource, clSortie, clSuivi);
            return nCodeEcriture(clSortie, COMPACT_ECRITURE);
        case eCODAGE::LECTURE: return COMPACT_LECTURE;
        case eCODAGE::MEMOIRE: return COMPACT_MEMOIRE;
        case eCODAGE::ARRET: return COMPACT_ARRET;
        case eCODAGE::DONNEES: return COMPACT_ECRITURE;   // the encoder reads no coded data
    }
    // A source that grew past 4 GB while it was read does not fit either.
    if (stCodage.qwLus > TAILLE_MAX) return store(clSource, clSortie, clSuivi);
    stEntete.dwCompresse = static_cast<uint32_t>(stCodage.qwEcrits);
    stEntete.dwTaille = static_cast<uint32_t>(stCodage.qwLus);
    static const uint8_t abyFin[2] = {0, 0};
    if (!write_header(clSortie, stEntete) ||
        !clSortie.bWrite(COMPACT_DEBUT_DONNEES + stCodage.qwEcrits, abyFin, sizeof abyFin, nullptr))
        return nCodeEcriture(clSortie, COMPACT_ECRITURE);
    stBilan.bCopieSimple = false;
    stBilan.qwTaille = stCodage.qwLus;
    stBilan.qwCompresse = stCodage.qwEcrits;
    stBilan.wCrc16 = stCodage.wCrc16;
    return COMPACT_OK;
}

// Decodes (or copies) the archive's data into the output.
int nExtract(CDiskFile& clArchive, const STEntete& st, CDiskFile& clSortie, CSuivi& clSuivi,
             STCompactBilan& stBilan) {
    if (!clArchive.bSeek(COMPACT_DEBUT_DONNEES, IXStream::eSEEK_BEGIN)) return COMPACT_OUVERTURE;
    stBilan.qwTaille = st.dwTaille;
    stBilan.qwCompresse = st.dwCompresse;
    if (!st.bCodee) return nCopie(clArchive, clSortie, st.dwTaille, clSuivi, COMPACT_ABIMEE, COMPACT_CREATION);
    CSourceFichier clLecteur(clArchive, st.dwCompresse, nullptr);
    CPuitsFichier clPuits(clSortie, &clSuivi, nullptr);
    lh5::STBilan stCodage;
    const eCODAGE e = lh5::decode(clLecteur, clPuits, st.dwTaille, &stCodage);
    stBilan.wCrc16 = stCodage.wCrc16;
    return nCodeDecodage(e, clSortie);
}

bool _bOuvreLecture(CDiskFile& cl, const char* pszNom, struct stat64* pst) {
    if (pszNom == nullptr || *pszNom == 0) return false;
    if (!cl.bOpen(pszNom, IXStream::eACCESS_READ, IXStream::eSHARE_SHARED, IXStream::eCREATE_OPEN)) return false;
    return fstat64(cl.nGetHandle(), pst) == 0 && S_ISREG(pst->st_mode);
}

// A file that is no archive, copied unchanged to the destination.
int _nCopieTelle(CDiskFile& clArchive, const struct stat64& stArchive, const char* pszDestination,
                 bool bProgression) {
    CSortieTemporaire clSortie;
    int n = clSortie.nCree(pszDestination);
    if (n != COMPACT_OK) return n;
    struct stat64 st;
    if (stat64(clSortie.sFinal().c_str(), &st) == 0 && st.st_dev == stArchive.st_dev && st.st_ino == stArchive.st_ino)
        return COMPACT_OK;   // the destination is the file itself
    CSuivi clSuivi(static_cast<uint64_t>(stArchive.st_size), bProgression);
    if (!clArchive.bSeek(0, IXStream::eSEEK_BEGIN)) return COMPACT_OUVERTURE;
    n = nCopie(clArchive, clSortie.clFichier(), UINT64_MAX, clSuivi, COMPACT_OUVERTURE, COMPACT_CREATION);
    if (n == COMPACT_OK) n = clSortie.nValide(stArchive);
    if (n == COMPACT_OK) clSuivi.Termine();
    return n;
}

// One of the sizes an archive records (the container included for the
// compressed one).
long long _lTaille(const char* pszArchive, bool bCompresse) {
    char szArchive[XFILE_MAX_PATH];
    if (pszArchive == nullptr || *pszArchive == 0 || !CDiskFile::bGetFullPath(szArchive, pszArchive)) return -1;
    CDiskFile clArchive;
    struct stat64 st;
    if (!_bOuvreLecture(clArchive, szArchive, &st)) return -1;
    STEntete stEntete;
    switch (read_header(clArchive, &stEntete)) {
        case eENTETE::OK:
            return bCompresse ? static_cast<long long>(stEntete.dwCompresse) + COMPACT_SURCOUT
                              : static_cast<long long>(stEntete.dwTaille);
        case eENTETE::LECTURE: return -1;
        case eENTETE::ABIMEE: return -2;
        case eENTETE::ABSENTE: break;
    }
    const long long l = lVerifieSiCompresseOld(clArchive);
    return l >= 0 ? l : -2;
}

}  // namespace

}  // namespace compact

using namespace compact;

int nfCompacte(const char* pszSource, const char* pszDestination, STCompactBilan* pstBilan) {
    STCompactBilan stBilan;
    STEntete stEntete;
    stEntete.bCodee = true;
    // The name is stored as given, with its terminator.
    if (pszSource == nullptr || *pszSource == 0 || std::strlen(pszSource) >= COMPACT_TAILLE_NOM)
        return COMPACT_OUVERTURE;
    std::strcpy(stEntete.szNom, pszSource);
    char szSource[XFILE_MAX_PATH];
    if (!CDiskFile::bGetFullPath(szSource, pszSource)) return COMPACT_OUVERTURE;
    CDiskFile clSource;
    struct stat64 stSource;
    if (!_bOuvreLecture(clSource, szSource, &stSource)) return COMPACT_OUVERTURE;
    CSortieTemporaire clSortie;
    int n = clSortie.nCree(pszDestination);
    if (n != COMPACT_OK) return n;
    const uint64_t qwTaille = static_cast<uint64_t>(stSource.st_size);
    CSuivi clSuivi(qwTaille, true);
    n = add(clSource, qwTaille, clSortie.clFichier(), stEntete, clSuivi, stBilan);
    if (n == COMPACT_OK) n = clSortie.nValide(stSource);
    if (n != COMPACT_OK) return n;
    if (stBilan.bCopieSimple) stBilan.qwTaille = stBilan.qwCompresse = qwTaille;
    clSuivi.Termine();
    if (pstBilan != nullptr) *pstBilan = stBilan;
    return COMPACT_OK;
}

int nfDecompacte(const char* pszArchive, const char* pszDestination, bool bProgression, STCompactBilan* pstBilan) {
    STCompactBilan stBilan;
    char szArchive[XFILE_MAX_PATH];
    if (pszArchive == nullptr || *pszArchive == 0 || !CDiskFile::bGetFullPath(szArchive, pszArchive))
        return COMPACT_OUVERTURE;
    CDiskFile clArchive;
    struct stat64 stArchive;
    if (!_bOuvreLecture(clArchive, szArchive, &stArchive)) return COMPACT_OUVERTURE;
    const bool bDestination = pszDestination != nullptr && *pszDestination != 0;
    STEntete stEntete;
    int n = COMPACT_OK;
    switch (read_header(clArchive, &stEntete)) {
        case eENTETE::LECTURE: return COMPACT_OUVERTURE;
        case eENTETE::ABIMEE: return COMPACT_ABIMEE;
        case eENTETE::ABSENTE:
            if (lVerifieSiCompresseOld(clArchive) >= 0) {
                n = nOldDecompacte(clArchive, szArchive, stArchive, bDestination ? pszDestination : nullptr,
                                   bProgression, stBilan);
                break;
            }
            if (!bDestination) return COMPACT_PAS_ARCHIVE;
            n = _nCopieTelle(clArchive, stArchive, pszDestination, bProgression);
            stBilan.bCopieSimple = true;
            stBilan.qwTaille = stBilan.qwCompresse = static_cast<uint64_t>(stArchive.st_size);
            break;
        case eENTETE::OK: {
            CSortieTemporaire clSortie;
            n = clSortie.nCree(bDestination ? pszDestination : stEntete.szNom);
            if (n != COMPACT_OK) return n;
            CSuivi clSuivi(stEntete.dwTaille, bProgression);
            n = nExtract(clArchive, stEntete, clSortie.clFichier(), clSuivi, stBilan);
            if (n == COMPACT_OK) n = clSortie.nValide(stArchive);
            if (n == COMPACT_OK) clSuivi.Termine();
            break;
        }
    }
    if (n == COMPACT_OK && pstBilan != nullptr) *pstBilan = stBilan;
    return n;
}

long long lfTailleCompacte(const char* pszArchive) { return _lTaille(pszArchive, true); }

long long lfTailleDecompacte(const char* pszArchive) { return _lTaille(pszArchive, false); }
