// The source index of the diff: the Adler-32 (started from 0) of every
// aligned block of the source that fits whole, mapped to the block's
// offset, and the rolling form of the same checksum that lets the matcher
// move along the target one byte at a time.
//
// Keys are compared exactly; when several blocks have the same checksum the
// last one wins, as the diff format's writers always did. The table is an
// open-addressed array of at least twice the number of blocks, so that a
// look-up that finds nothing (most of them, in changed regions) stops after
// a probe or two.
#pragma once
#include <cstdint>
#include <vector>

class CIndexBlocs {
public:
    // Indexes the blocks of [pbySource, pbySource + dwTaille); false when
    // memory is short.
    bool bConstruit(const uint8_t* pbySource, uint32_t dwTaille, uint32_t dwBloc);
    // Offset of the block of that key, or false.
    bool bCherche(uint32_t dwCle, uint32_t* pdwOffset) const {
        if (m_tabCles.empty()) return false;
        for (uint32_t i = _nCase(dwCle);; i = (i + 1) & m_nMasque) {
            if (m_tabOffsets[i] == 0) return false;
            if (m_tabCles[i] == dwCle) {
                *pdwOffset = m_tabOffsets[i] - 1;
                return true;
            }
        }
    }
    const uint8_t* pbyGetSource() const { return m_pbySource; }
    uint32_t dwGetTaille() const { return m_dwTaille; }
    uint32_t dwGetBloc() const { return m_dwBloc; }

private:
    uint32_t _nCase(uint32_t dwCle) const { return (dwCle * 0x9E3779B1u) >> m_nDecalage; }

    const uint8_t* m_pbySource = nullptr;
    uint32_t m_dwTaille = 0;
    uint32_t m_dwBloc = 0;
    std::vector<uint32_t> m_tabCles;
    std::vector<uint32_t> m_tabOffsets;   // offset + 1, 0 for an empty slot
    uint32_t m_nMasque = 0;
    uint32_t m_nDecalage = 32;
};

// Adler-32 started from 0 over a window of fixed width, moved one byte at a
// time: the same value nAdler32(0, window, width) gives.
class CAdlerGlissant {
public:
    static constexpr uint32_t BASE = 65521u;

    // The window [pby, pby + dwLargeur).
    void Init(const uint8_t* pby, uint32_t dwLargeur);
    // Drops bySortant, the window's first byte, and takes byEntrant after
    // its last one.
    void Glisse(uint8_t bySortant, uint8_t byEntrant) {
        m_a = (m_a + BASE - bySortant + byEntrant) % BASE;
        m_b = (m_b + m_dwRetrait[bySortant] + m_a) % BASE;
    }
    uint32_t dwGet() const { return m_a | (m_b << 16); }

private:
    uint32_t m_a = 0;
    uint32_t m_b = 0;
    uint32_t m_dwLargeur = 0;
    // BASE - (width x byte) mod BASE: the outgoing byte's share of b.
    uint32_t m_dwRetrait[256] = {};
};
