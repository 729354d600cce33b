// CDiffXDelta: computes the diff buffer that turns a source into a target,
// and rebuilds the target from the source and that diff.
//
// Computing: the diff holds one section per region of the target (one for
// the whole target, or, for the host's project element files, one per
// region of their structure), each found by block matching: the source
// blocks of 128 bytes are indexed by their Adler-32, the target is walked
// with a rolling Adler-32, and a hit that really matches 128 bytes or more
// becomes a copy, extended forward as far as the bytes agree and backward
// over the bytes not yet placed; everything else is inserted.
//
// Applying takes the diff as hostile. Nothing is written before the whole
// diff has been read and checked: the source's CRC-32, every section's
// ranges inside the source and the target, the sections covering the target
// once, every copy inside its section's source and every insert inside its
// data, and the bytes each section produces. The rebuilt target must then
// have the CRC-32 the diff announces.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "codec/buffer.h"
#include "diff/diffbuffer.h"
#include "diff/indexblocs.h"

// A region of the target and the region of the source it is matched
// against; a pack code says both are coded elements (see CDiffBufferSection).
struct STPlanSection {
    uint32_t dwSourceDebut = 0;
    uint32_t dwSourceFin = 0;
    uint32_t dwCibleDebut = 0;
    uint32_t dwCibleFin = 0;
    uint32_t dwPackCode = 0;
    uint32_t dwPremierOctetCode = 0;
};

// Where the rebuilt target goes: room for the whole target, asked once the
// diff is known to be applicable.
class IDiffDestination {
public:
    virtual ~IDiffDestination() = default;
    // dwTaille writable bytes; null when memory is short.
    virtual uint8_t* pbyPrepare(uint32_t dwTaille) = 0;
};

class CDiffXDelta {
public:
    enum EErrorType : int {
        DIFF_OK = 0,
        DIFF_ERR_BUFFER = 1,        // a buffer is missing
        DIFF_ERR_ILLISIBLE = 2,     // unreadable, without sections, or a section that cannot be applied
        DIFF_ERR_CRC_SOURCE = 3,    // not the source the diff was made from
        DIFF_ERR_CRC_CIBLE = 4,     // the rebuilt target is not the one the diff was made for
        DIFF_ERR_POURCENTAGE = 5,   // the diff passes the allowed share of the source
        DIFF_ERR_SOURCE_VIDE = 6,
        DIFF_ERR_IDENTIQUES = 7,
        DIFF_ERR_MEMOIRE = 8,       // memory is short
    };

    static constexpr uint32_t TAILLE_BLOC = 128;
    static constexpr int POURCENTAGE_AUCUN = -1;

    // Largest size of the diff in percent of the source; 0 or less: none.
    void SetPourcentageMax(int nPourcentage) { m_nPourcentageMax = nPourcentage; }
    int nGetPourcentageMax() const { return m_nPourcentageMax; }
    EErrorType eGetErreur() const { return m_eErreur; }
    // Pack method of the diff's body: the general compressor unless a caller
    // stores the diff where it is compressed anyway (0: stored as it stands).
    void SetPackMethodCorps(eBUFFER_PACKMETHOD eMethode) { m_ePackCorps = eMethode; }

    // ---- Computing. The output receives the diff buffer, coded.
    bool bComputeDiff(CQVBuffer* pclSource, CQVBuffer* pclCible, CQVBuffer* pclSortie, bool bFichierProjet);
    bool bComputeDiff(const uint8_t* pbySource, uint32_t dwSource, const uint8_t* pbyCible, uint32_t dwCible,
                      CQVBuffer& clSortie, bool bFichierProjet);
    // With the sections given: they must cover the target in order.
    bool bComputeDiff(const uint8_t* pbySource, uint32_t dwSource, const uint8_t* pbyCible, uint32_t dwCible,
                      const std::vector<STPlanSection>& tabPlan, CQVBuffer& clSortie);

    // ---- Applying.
    bool bApplyDiff(CQVBuffer* pclSource, CQVBuffer* pclDiff, CQVBuffer* pclSortie);
    bool bApplyDiff(const uint8_t* pbySource, uint32_t dwSource, const uint8_t* pbyDiff, uint32_t dwDiff,
                    IDiffDestination& clSortie);

private:
    bool _bErreur(EErrorType e) {
        m_eErreur = e;
        return false;
    }
    bool _bDebutCalcul(const uint8_t* pbySource, uint32_t dwSource, const uint8_t* pbyCible, uint32_t dwCible);
    bool _bCalculeSection(const STPlanSection& stPlan, CDiffBufferSection& clSection);
    bool _bApparie(const uint8_t* pbyS, uint32_t dwS, const uint8_t* pbyT, uint32_t dwT,
                   CDiffBufferSection& clSection);
    bool _bVerifieSections(const CDiffBuffer& clDiff, std::vector<std::unique_ptr<CQVBuffer>>& tabSources);
    bool _bAppliqueSection(const CDiffBufferSection& clSection, const uint8_t* pbyS, uint8_t* pbySortie);

    // The whole source and target of the current computation or application.
    const uint8_t* m_pbySource = nullptr;
    uint32_t m_dwTailleSource = 0;
    const uint8_t* m_pbyCible = nullptr;
    uint32_t m_dwTailleCible = 0;
    // The section's data when they had to be unpacked.
    std::unique_ptr<CQVBuffer> m_pclSourceSection;
    std::unique_ptr<CQVBuffer> m_pclCibleSection;
    // The index of the last section's source, and the one of the whole
    // source, which regions without a counterpart all share.
    CIndexBlocs m_clIndex;
    bool m_bIndexValide = false;
    CIndexBlocs m_clIndexTout;
    bool m_bIndexToutValide = false;
    int m_nPourcentageMax = POURCENTAGE_AUCUN;
    eBUFFER_PACKMETHOD m_ePackCorps = BUFFER_PACK_ZLW;
    EErrorType m_eErreur = DIFF_OK;
};

// The plain content of a coded element [pby, pby + dwTaille): a buffer of
// that pack method whose first dwPremier bytes are plain. Null when the
// element does not unpack or memory is short.
std::unique_ptr<CQVBuffer> DIFF_pclDepacke(const uint8_t* pby, uint32_t dwTaille, eBUFFER_PACKMETHOD eMethode,
                                           uint32_t dwPremier);
