// Following a compaction (stop flag, progress hook), the coders' source and
// sink over open files, plain copies, and the temporary output put in place
// only on success.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "codec/compact_interne.h"

namespace {

// Another thread may ask the running operation to stop.
std::atomic<bool> g_bStop{false};

void _ProgressionMuette(int) {}
std::atomic<PFN_ProgressionCompact> g_pfnProgression{_ProgressionMuette};

// Permission bits of a file created now: 0666 less the process's mask, read
// without changing it where the system tells it.
mode_t _nModeNouveau() {
    if (FILE* pf = std::fopen("/proc/self/status", "re")) {
        char szLigne[256];
        unsigned nMasque = 0;
        bool bTrouve = false;
        while (!bTrouve && std::fgets(szLigne, sizeof szLigne, pf) != nullptr)
            bTrouve = std::sscanf(szLigne, "Umask: %o", &nMasque) == 1;
        std::fclose(pf);
        if (bTrouve) return static_cast<mode_t>(0666 & ~nMasque);
    }
    const mode_t nMasque = umask(022);
    umask(nMasque);
    return static_cast<mode_t>(0666 & ~nMasque);
}

}  // namespace

void COMPACT_Stop() { g_bStop = true; }

PFN_ProgressionCompact COMPACT_pfnSetProgression(PFN_ProgressionCompact pfn) {
    PFN_ProgressionCompact pfnAvant = g_pfnProgression.exchange(pfn != nullptr ? pfn : _ProgressionMuette);
    return pfnAvant == _ProgressionMuette ? nullptr : pfnAvant;
}

namespace compact {

// --- Following an operation ---------------------------------------------------

CSuivi::CSuivi(uint64_t qwTotal, bool bProgression) : m_qwTotal(qwTotal), m_bProgression(bProgression) {
    g_bStop = false;
    bContinue(0);
}

bool CSuivi::bContinue(uint64_t qwFait) {
    if (m_bProgression) {
        const uint64_t qw = qwFait < m_qwTotal ? qwFait : m_qwTotal;
        // 100 is for the end of a successful operation only.
        const int nPourcent = m_qwTotal == 0 ? 0 : std::min(99, static_cast<int>(qw * 100 / m_qwTotal));
        if (nPourcent > m_nDernier) {
            m_nDernier = nPourcent;
            g_pfnProgression.load()(nPourcent);
        }
    }
    return !g_bStop;
}

void CSuivi::Termine() {
    if (m_bProgression) g_pfnProgression.load()(100);
}

// --- Source and sink -------------------------------------------------------------

int32_t CSourceFichier::nLit(uint8_t* pby, uint32_t nTaille) {
    if (m_pclSuivi != nullptr && !m_pclSuivi->bContinue(m_qwLus)) return FLUX_ARRET;
    if (nTaille > m_qwReste) nTaille = static_cast<uint32_t>(m_qwReste);
    if (nTaille == 0) return 0;
    unsigned nLu = 0;
    if (!m_clFichier.bRead(pby, nTaille, &nLu)) return FLUX_ERREUR;
    m_qwReste -= nLu;
    m_qwLus += nLu;
    return static_cast<int32_t>(nLu);
}

int32_t CPuitsFichier::nEcrit(const uint8_t* pby, uint32_t nTaille) {
    if (m_pclSuivi != nullptr && !m_pclSuivi->bContinue(m_qwEcrits)) return FLUX_ARRET;
    if (m_pclPlafond != nullptr && m_qwEcrits + nTaille >= m_pclPlafond->qwGetLus()) {
        m_bSansGain = true;
        return FLUX_ERREUR;
    }
    if (!m_clFichier.bWrite(pby, nTaille, nullptr)) return FLUX_ERREUR;
    m_qwEcrits += nTaille;
    return 0;
}

int nCodeEcriture(IXStream& clFichier, int nAutre) {
    const int nErrno = clFichier.pclGetXError()->nGetSystemError();
    return nErrno == ENOSPC || nErrno == EDQUOT ? COMPACT_DISQUE_PLEIN : nAutre;
}

int nCodeDecodage(eCODAGE e, IXStream& clSortie) {
    switch (e) {
        case eCODAGE::OK: return COMPACT_OK;
        case eCODAGE::DONNEES: return COMPACT_ABIMEE;
        case eCODAGE::LECTURE: return COMPACT_OUVERTURE;
        case eCODAGE::ECRITURE: return nCodeEcriture(clSortie, COMPACT_CREATION);
        case eCODAGE::MEMOIRE: return COMPACT_MEMOIRE;
        case eCODAGE::ARRET: return COMPACT_ARRET;
    }
    return COMPACT_ABIMEE;
}

int nCopie(IXStream& clSource, IXStream& clDest, uint64_t qwTaille, CSuivi& clSuivi, int nLecture, int nEcriture) {
    uint8_t aby[PIECE_COPIE];
    uint64_t qwFait = 0;
    while (qwFait < qwTaille) {
        if (!clSuivi.bContinue(qwFait)) return COMPACT_ARRET;
        const uint32_t nVoulu = qwTaille - qwFait < PIECE_COPIE ? static_cast<uint32_t>(qwTaille - qwFait) : PIECE_COPIE;
        unsigned nLu = 0;
        if (!clSource.bRead(aby, nVoulu, &nLu)) return nLecture;
        if (nLu == 0) return qwTaille == UINT64_MAX ? COMPACT_OK : nLecture;
        if (!clDest.bWrite(aby, nLu, nullptr)) return nCodeEcriture(clDest, nEcriture);
        qwFait += nLu;
    }
    return COMPACT_OK;
}

// --- Temporary output -----------------------------------------------------------------

CSortieTemporaire::~CSortieTemporaire() {
    m_clFichier.Close();
    if (!m_sTemporaire.empty()) unlink(m_sTemporaire.c_str());
}

int CSortieTemporaire::nCree(const char* pszFinal) {
    char szPlein[XFILE_MAX_PATH];
    if (pszFinal == nullptr || *pszFinal == 0 || !CDiskFile::bGetFullPath(szPlein, pszFinal)) return COMPACT_CREATION;
    m_sFinal = szPlein;
    struct stat64 st;
    if (lstat64(m_sFinal.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // The link's target is replaced, in its own folder.
        char szCible[PATH_MAX];
        if (realpath(m_sFinal.c_str(), szCible) != nullptr) m_sFinal = szCible;
    }
    m_bRemplace = stat64(m_sFinal.c_str(), &st) == 0;
    if (m_bRemplace) {
        // What could not be opened for writing is not replaced either.
        if (!S_ISREG(st.st_mode) || access(m_sFinal.c_str(), W_OK) != 0) return COMPACT_CREATION;
        m_nMode = st.st_mode & 07777;
    } else {
        m_nMode = _nModeNouveau();
    }
    const size_t nBarre = m_sFinal.rfind('/');
    const std::string sDossier = nBarre == 0 ? std::string("/") : m_sFinal.substr(0, nBarre);
    char szTemp[XFILE_MAX_PATH];
    if (!CDiskFile::bGetTempName(szTemp, sDossier.c_str(), "_QV")) return COMPACT_CREATION;
    m_sTemporaire = szTemp;
    if (!m_clFichier.bOpen(szTemp, IXStream::eACCESS_READWRITE, IXStream::eSHARE_EXCLUSIVE,
                           IXStream::eCREATE_TRUNCATE))
        return COMPACT_CREATION;
    return COMPACT_OK;
}

int CSortieTemporaire::nValide(const struct stat64& stTemps) {
    const int nFd = m_clFichier.nGetHandle();
    const struct timespec astTemps[2] = {stTemps.st_atim, stTemps.st_mtim};
    if (fchmod(nFd, m_nMode) != 0 || futimens(nFd, astTemps) != 0) return COMPACT_CREATION;
    // The bytes reach the disk before they take the old file's place: a
    // crash after the rename must not leave a short file under the name.
    if (!m_clFichier.bFlush()) return nCodeEcriture(m_clFichier, COMPACT_CREATION);
    m_clFichier.Close();
    if (rename(m_sTemporaire.c_str(), m_sFinal.c_str()) != 0) return COMPACT_CREATION;
    m_sTemporaire.clear();
    return COMPACT_OK;
}

}  // namespace compact
