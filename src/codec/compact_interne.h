// Pieces shared by the compaction engine's files: following an operation
// (stop flag, progress), the coders' source and sink over open files, and
// the temporary output that replaces its final name only on success.
#pragma once
#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "codec/compact.h"
#include "codec/compact_flux.h"
#include "files/diskfile.h"

namespace compact {

// Pieces in which files are copied.
constexpr uint32_t PIECE_COPIE = 8192;

// One operation: resets the stop flag, reports 0 % (when progress is asked
// for) and each higher percentage of qwTotal reached.
class CSuivi {
public:
    CSuivi(uint64_t qwTotal, bool bProgression);
    // False once a stop was asked.
    bool bContinue(uint64_t qwFait);
    void Termine();

private:
    uint64_t m_qwTotal;
    bool m_bProgression;
    int m_nDernier = -1;
};

// Reads an open file from its position, at most qwLimite bytes; with a
// follower, follows the operation by bytes read.
class CSourceFichier final : public ISourceCompact {
public:
    CSourceFichier(IXStream& clFichier, uint64_t qwLimite, CSuivi* pclSuivi)
        : m_clFichier(clFichier), m_qwReste(qwLimite), m_pclSuivi(pclSuivi) {}
    int32_t nLit(uint8_t* pby, uint32_t nTaille) override;
    uint64_t qwGetLus() const { return m_qwLus; }

private:
    IXStream& m_clFichier;
    uint64_t m_qwReste;
    CSuivi* m_pclSuivi;
    uint64_t m_qwLus = 0;
};

// Writes to an open file; with a follower, follows the operation by bytes
// written; with a source given, refuses any byte that would bring what is
// written to what that source has given (the coding then gains nothing).
class CPuitsFichier final : public IPuitsCompact {
public:
    CPuitsFichier(IXStream& clFichier, CSuivi* pclSuivi, const CSourceFichier* pclPlafond)
        : m_clFichier(clFichier), m_pclSuivi(pclSuivi), m_pclPlafond(pclPlafond) {}
    int32_t nEcrit(const uint8_t* pby, uint32_t nTaille) override;
    uint64_t qwGetEcrits() const { return m_qwEcrits; }
    bool bSansGain() const { return m_bSansGain; }

private:
    IXStream& m_clFichier;
    CSuivi* m_pclSuivi;
    const CSourceFichier* m_pclPlafond;
    uint64_t m_qwEcrits = 0;
    bool m_bSansGain = false;
};

// The output of an operation, written to a temporary file ("_QV" prefix) in
// the folder of its final name.
class CSortieTemporaire {
public:
    CSortieTemporaire() = default;
    CSortieTemporaire(const CSortieTemporaire&) = delete;
    CSortieTemporaire& operator=(const CSortieTemporaire&) = delete;
    // Deletes the temporary file unless it was put in place.
    ~CSortieTemporaire();

    // The final name is made absolute (a symbolic link stands for its
    // target); an existing one must be writable. 0 or COMPACT_CREATION.
    int nCree(const char* pszFinal);
    CDiskFile& clFichier() { return m_clFichier; }
    const std::string& sFinal() const { return m_sFinal; }
    // Gives the file the permissions of the file it replaces (or those of a
    // new file), the times of pstTemps, closes it and renames it over the
    // final name. 0 or COMPACT_CREATION.
    int nValide(const struct stat64& stTemps);

private:
    CDiskFile m_clFichier;
    std::string m_sFinal;
    std::string m_sTemporaire;
    bool m_bRemplace = false;     // the final name exists
    mode_t m_nMode = 0;
};

// Code of a failed write: a full disk is COMPACT_DISQUE_PLEIN, anything else
// nAutre.
int nCodeEcriture(IXStream& clFichier, int nAutre);

// Code of a decoding that ended with e, writing to clSortie.
int nCodeDecodage(eCODAGE e, IXStream& clSortie);

// Copies the rest of clSource (from its position) to clDest in pieces of
// PIECE_COPIE, following the operation. 0 or a code: nLecture when the
// source fails, nEcriture (or a full disk) when the destination does.
int nCopie(IXStream& clSource, IXStream& clDest, uint64_t qwTaille, CSuivi& clSuivi, int nLecture, int nEcriture);

// The old-format path of decompaction, on the open archive (pszArchive is
// its full name, stArchive its status): into the destination, or without
// one over the archive itself.
int nOldDecompacte(CDiskFile& clArchive, const char* pszArchive, const struct stat64& stArchive,
                   const char* pszDestination, bool bProgression, STCompactBilan& stBilan);

// Recognises an old-format archive from its first bytes: its uncompressed
// size, or -1.
long long lVerifieSiCompresseOld(IXStream& clArchive);

}  // namespace compact
