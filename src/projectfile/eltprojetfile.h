// CEltProjetFile: a project element file, the general header followed by a
// chain of versions, each a header with a table of parts and the parts.
//
// Layout (little-endian): the general header (CQVFile), a 32-bit record
// counter, then the header of the oldest version; every newer version (its
// header and a copy of its parts) is appended at the end of the file, and
// the first 8 bytes of each header give the distance to the next newer one
// (0 for the newest). A version header is 57 bytes: distance (8), header
// size minus 8 (4), header version (major << 16 | minor) (4), offset of the
// part tables from the header (8), a reserved 8 bytes, the lowest module
// version able to read it (4), five 16-bit numbers of the writing product's
// version, an 11-byte zero-padded text. The part tables follow: a 32-bit
// count n, n entries of 5 bytes (option byte whose low 4 bits are the type,
// 32-bit size), then from header major version 10 on n entries of 8 bytes
// (encoding information, offset of the encoded region). The parts follow
// the header in order.
//
// The file is hostile: the chain must go forward and stay inside the file,
// every count is checked against the bytes that could hold it before
// anything is allocated, and every part must lie inside the file.
#pragma once
#include <cstdint>
#include <vector>

#include "projectfile/qvfile.h"

class CQVBuffer;

class CEltProjetFile : public CQVFile {
public:
    static constexpr uint32_t TAILLE_ENTETE_VERSION = 57;
    static constexpr uint32_t VERSION_ENTETE_DEFAUT = 0x000A0000u;
    static constexpr uint32_t VERSION_MINI_LECTURE_DEFAUT = 0x00098000u;
    // A header holds at least its distance, size, version and table offset:
    // the shortest step the chain may take.
    static constexpr uint32_t PAS_VERSION_MIN = 24;

    struct STPartie {
        uint8_t byOption = 0;
        uint32_t dwTaille = 0;
        uint32_t dwInfoEncodage = 0;
        uint32_t dwOffsetEncodage = 0;
    };

    struct STEnteteVersion {
        uint64_t qwDistance = 0;
        uint32_t dwTailleMoins8 = 0;
        uint32_t dwVersionEntete = 0;
        uint64_t qwOffsetTables = 0;   // absolute once read
        uint64_t qwReserve = 0;
        uint32_t dwVersionMiniLecture = 0;
        uint16_t awVersionProduit[5] = {};
        char szTexte[12] = {};
    };

    CEltProjetFile() = default;
    explicit CEltProjetFile(IXStream* pclStream) : CQVFile(pclStream) {}

    void SetModuleVersionEntete(uint32_t dwVersion) { m_dwVersionModule = dwVersion; }
    void SetModuleVersionEnteteMiniLect(uint32_t dwVersion) { m_dwVersionMiniLecture = dwVersion; }

    // ---- Reading.
    // The general header, the record counter, the chain of versions and the
    // header of version nVersion (1 the oldest; 0 and the last the newest).
    bool bReadHeader(long long oPosition = 0, uint32_t nVersion = 0);
    // Makes version nVersion (as above) the current one.
    bool bLitVersion(uint32_t nVersion);
    // Opens the file, reads the record counter; -1 when it cannot be read.
    static int64_t s_dwGetCptEnreg(const char* pszFichier);

    uint32_t dwGetCptEnreg() const { return m_dwCptEnreg; }
    uint32_t nNbVersion() const { return static_cast<uint32_t>(m_tabVersions.size()); }
    // Offset of version k's header (1 the oldest, 0 the newest); -1 when none.
    long long oGetOffsetVersion(uint32_t k) const;
    uint32_t nGetVersionCourante() const { return m_nVersion; }
    const STEnteteVersion& stGetEnteteVersion() const { return m_stEntete; }
    // Size of the current version's header, part tables included.
    uint64_t qwGetTailleEnteteVersion() const { return uint64_t(m_stEntete.dwTailleMoins8) + 8; }

    uint32_t dwGetNbPartie() const { return static_cast<uint32_t>(m_tabParties.size()); }
    uint8_t byGetTypePartie(uint32_t i) const { return i < dwGetNbPartie() ? m_tabParties[i].byOption & 0x0F : 0; }
    uint8_t byGetOptionPartie(uint32_t i) const { return i < dwGetNbPartie() ? m_tabParties[i].byOption : 0; }
    uint32_t dwGetTaillePartie(uint32_t i) const { return i < dwGetNbPartie() ? m_tabParties[i].dwTaille : 0; }
    // -1 for a part that does not exist.
    long long oGetOffsetPartie(uint32_t i) const;
    uint32_t nGetInfoEncodagePartie(uint32_t i) const {
        return i < dwGetNbPartie() ? m_tabParties[i].dwInfoEncodage : 0;
    }
    // 0 when the version has no 8-byte entries.
    uint32_t nGetOffsetEncodagePartie(uint32_t i) const {
        return i < dwGetNbPartie() ? m_tabParties[i].dwOffsetEncodage : 0;
    }
    // Index of the first part of that type, -1 when none.
    int nType2Partie(uint8_t byType) const;
    // Parts of type 1 or 3, and a part of type 0 when it is part 1.
    bool bPartieQVL(uint32_t i) const;
    // Part i's bytes, appended to the buffer at its position.
    bool bGetPartie(uint32_t i, CQVBuffer& clBuffer);

    // ---- Writing.
    // Describes n parts for the next header written (all zero).
    void SetNbPartie(uint32_t n);
    bool bInitPartie(uint32_t i, uint8_t byOption, uint32_t dwInfoEncodage = 0);
    // Text of the next version header written (cut to 10 characters).
    void SetTexteVersion(const char* pszTexte);
    // General header, record counter 1 and the header of a first version
    // with the parts described; the parts are then added in order.
    bool bWriteHeader(long long oPosition = 0);
    // Part i of the newest version: parts 0 to i - 1 must be there already.
    bool bAddPartie(uint32_t i, const void* pDonnees, uint32_t dwTaille);
    // Replaces part i of the newest version; the parts after it move.
    bool bEcrasePartie(uint32_t i, const void* pDonnees, uint32_t dwTaille);
    // Appends a version copying the newest one's parts; it becomes current.
    bool bCreeVersion();

private:
    bool _bLitChaine();
    bool _bLitEnteteVersion(long long o);
    bool _bEcritEnteteVersion(long long o);
    bool _bEcritEntreePartie(uint32_t i);
    void _CalculeOffsets();
    uint32_t _dwMajeure() const { return m_dwVersionModule >> 16; }
    uint64_t _qwTailleTables(uint32_t dwVersion, uint32_t n) const;
    bool _bRefuseVersion(uint32_t dwVersion);
    bool _bCourantEstDerniere() const { return m_nVersion == nNbVersion() && m_nVersion != 0; }

    uint32_t m_dwVersionModule = VERSION_ENTETE_DEFAUT;
    uint32_t m_dwVersionMiniLecture = VERSION_MINI_LECTURE_DEFAUT;
    uint32_t m_dwCptEnreg = 0;
    long long m_oPremiereVersion = 0;
    std::vector<long long> m_tabVersions;   // header offsets, oldest first
    uint32_t m_nVersion = 0;                // current, from 1; 0 when none
    long long m_oEnteteCourant = 0;         // offset of the current version's header
    STEnteteVersion m_stEntete;
    std::vector<STPartie> m_tabParties;
    std::vector<uint64_t> m_tabOffsets;     // part i starts at [i]; [n] is the end of the last
    uint32_t m_nPartiesEcrites = 0;         // parts of the newest version on file while writing
    char m_szTexte[12] = {};
};
