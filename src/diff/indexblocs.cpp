// The source block index and the rolling Adler-32 (see indexblocs.h).
#include "diff/indexblocs.h"

#include <new>

#include "codec/checksum.h"

bool CIndexBlocs::bConstruit(const uint8_t* pbySource, uint32_t dwTaille, uint32_t dwBloc) {
    m_pbySource = pbySource;
    m_dwTaille = dwTaille;
    m_dwBloc = dwBloc;
    m_tabCles.clear();
    m_tabOffsets.clear();
    const uint32_t nBlocs = dwBloc != 0 ? dwTaille / dwBloc : 0;
    if (nBlocs == 0) return true;
    uint32_t nCases = 8, nBits = 3;
    while (nCases < 2 * nBlocs) {
        nCases <<= 1;
        ++nBits;
    }
    try {
        m_tabCles.assign(nCases, 0);
        m_tabOffsets.assign(nCases, 0);
    } catch (const std::bad_alloc&) {
        m_tabCles.clear();
        m_tabOffsets.clear();
        return false;
    }
    m_nMasque = nCases - 1;
    m_nDecalage = 32 - nBits;
    for (uint32_t k = 0; k < nBlocs; ++k) {
        const uint32_t dwOffset = k * dwBloc;
        const uint32_t dwCle = nAdler32(0, pbySource + dwOffset, dwBloc);
        uint32_t i = _nCase(dwCle);
        while (m_tabOffsets[i] != 0 && m_tabCles[i] != dwCle) i = (i + 1) & m_nMasque;
        // A later block of the same key replaces the earlier one.
        m_tabCles[i] = dwCle;
        m_tabOffsets[i] = dwOffset + 1;
    }
    return true;
}

void CAdlerGlissant::Init(const uint8_t* pby, uint32_t dwLargeur) {
    const uint32_t dw = nAdler32(0, pby, dwLargeur);
    m_a = dw & 0xFFFFu;
    m_b = dw >> 16;
    if (dwLargeur == m_dwLargeur) return;
    m_dwLargeur = dwLargeur;
    for (uint32_t x = 0; x < 256; ++x) m_dwRetrait[x] = (BASE - (dwLargeur % BASE) * x % BASE) % BASE;
}
