// The index of a memory zone: record offsets in blocks of a fixed number of
// entries, reached through a directory of blocks.
#include <cstdlib>
#include <cstring>

#include "memzone/mz_interne.h"

namespace mz {

CIndex::CIndex(uint32_t nParBloc) : m_nParBloc(nParBloc != 0 ? nParBloc : 1) {}

void CIndex::Vide() {
    for (uint32_t i = 0; i < m_nBlocs; ++i) free(m_ppBlocs[i]);
    free(m_ppBlocs);
    free(m_pnNb);
    free(m_pnDebut);
    m_ppBlocs = nullptr;
    m_pnNb = nullptr;
    m_pnDebut = nullptr;
    m_nBlocs = m_nAlloues = m_nTotal = 0;
    m_bTasse = true;
    m_bDebutsValides = false;
}

size_t CIndex::nOctets() const {
    return size_t(m_nBlocs) * m_nParBloc * sizeof(uint32_t) + size_t(m_nAlloues) * (sizeof(uint32_t*) + 2 * sizeof(uint32_t));
}

// Room in the directory for n blocks (each array grown in turn: a failure
// leaves the larger ones in place, which is harmless).
bool CIndex::_bReserve(uint32_t n) {
    auto* pp = static_cast<uint32_t**>(realloc(m_ppBlocs, n * sizeof(uint32_t*)));
    if (pp == nullptr) return false;
    m_ppBlocs = pp;
    auto* pn = static_cast<uint32_t*>(realloc(m_pnNb, n * sizeof(uint32_t)));
    if (pn == nullptr) return false;
    m_pnNb = pn;
    auto* pd = static_cast<uint32_t*>(realloc(m_pnDebut, n * sizeof(uint32_t)));
    if (pd == nullptr) return false;
    m_pnDebut = pd;
    m_nAlloues = n;
    return true;
}

bool CIndex::bAjoute(uint32_t nOffset) {
    if (m_nTotal >= uint32_t(INT32_MAX)) return false;   // record numbers are 32-bit signed
    if (m_nBlocs == 0 || m_pnNb[m_nBlocs - 1] == m_nParBloc) {
        if (m_nBlocs == m_nAlloues && !_bReserve(m_nAlloues < 8 ? 8 : m_nAlloues * 2)) return false;
        auto* p = static_cast<uint32_t*>(calloc(m_nParBloc, sizeof(uint32_t)));
        if (p == nullptr) return false;
        m_ppBlocs[m_nBlocs] = p;
        m_pnNb[m_nBlocs] = 0;
        ++m_nBlocs;
        m_bDebutsValides = false;
    }
    m_ppBlocs[m_nBlocs - 1][m_pnNb[m_nBlocs - 1]++] = nOffset;
    ++m_nTotal;
    return true;
}

void CIndex::_CalculeDebuts() const {
    uint32_t n = 0;
    for (uint32_t i = 0; i < m_nBlocs; ++i) {
        m_pnDebut[i] = n;
        n += m_pnNb[i];
    }
    m_bDebutsValides = true;
}

void CIndex::_Localise(uint32_t n, uint32_t* pnBloc, uint32_t* pnPos) const {
    const uint32_t i = n - 1;
    if (m_bTasse) {
        *pnBloc = i / m_nParBloc;
        *pnPos = i % m_nParBloc;
        return;
    }
    if (!m_bDebutsValides) _CalculeDebuts();
    // The last block whose first entry is at or before i.
    uint32_t nBas = 0, nHaut = m_nBlocs;
    while (nHaut - nBas > 1) {
        const uint32_t nMilieu = nBas + (nHaut - nBas) / 2;
        if (m_pnDebut[nMilieu] <= i)
            nBas = nMilieu;
        else
            nHaut = nMilieu;
    }
    *pnBloc = nBas;
    *pnPos = i - m_pnDebut[nBas];
}

uint32_t CIndex::nGet(uint32_t n) const {
    uint32_t b, p;
    _Localise(n, &b, &p);
    return m_ppBlocs[b][p];
}

void CIndex::Set(uint32_t n, uint32_t nOffset) {
    uint32_t b, p;
    _Localise(n, &b, &p);
    m_ppBlocs[b][p] = nOffset;
}

void CIndex::Retire(uint32_t n) {
    uint32_t b, p;
    _Localise(n, &b, &p);
    uint32_t* pBloc = m_ppBlocs[b];
    memmove(pBloc + p, pBloc + p + 1, (m_pnNb[b] - p - 1) * sizeof(uint32_t));
    --m_pnNb[b];
    --m_nTotal;
    if (m_pnNb[b] == 0) {
        // An emptied block leaves the directory.
        free(pBloc);
        memmove(m_ppBlocs + b, m_ppBlocs + b + 1, (m_nBlocs - b - 1) * sizeof(uint32_t*));
        memmove(m_pnNb + b, m_pnNb + b + 1, (m_nBlocs - b - 1) * sizeof(uint32_t));
        --m_nBlocs;
    }
    // Only the last block may be short in a packed index.
    if (m_nBlocs != 0 && b < m_nBlocs - 1 && m_pnNb[b] != m_nParBloc) m_bTasse = false;
    if (m_nBlocs <= 1) m_bTasse = true;
    m_bDebutsValides = false;
}

bool CIndex::bRemplace(const uint32_t* pOffsets, uint32_t nNb) {
    const uint32_t nBlocs = nNb == 0 ? 0 : (nNb - 1) / m_nParBloc + 1;
    // Reuse the blocks in place; more are needed only when some were short.
    if (nBlocs > m_nAlloues && !_bReserve(nBlocs)) return false;
    while (m_nBlocs < nBlocs) {
        auto* p = static_cast<uint32_t*>(calloc(m_nParBloc, sizeof(uint32_t)));
        if (p == nullptr) return false;   // the old content is still whole
        m_ppBlocs[m_nBlocs] = p;
        m_pnNb[m_nBlocs] = 0;
        ++m_nBlocs;
        m_bTasse = false;
        m_bDebutsValides = false;
    }
    while (m_nBlocs > nBlocs) free(m_ppBlocs[--m_nBlocs]);
    for (uint32_t b = 0; b < nBlocs; ++b) {
        const uint32_t nDebut = b * m_nParBloc;
        const uint32_t n = nNb - nDebut < m_nParBloc ? nNb - nDebut : m_nParBloc;
        memcpy(m_ppBlocs[b], pOffsets + nDebut, n * sizeof(uint32_t));
        m_pnNb[b] = n;
    }
    m_nTotal = nNb;
    m_bTasse = true;
    m_bDebutsValides = false;
    return true;
}

void CIndex::Copie(uint32_t* pDest) const {
    for (uint32_t b = 0; b < m_nBlocs; ++b) {
        memcpy(pDest, m_ppBlocs[b], m_pnNb[b] * sizeof(uint32_t));
        pDest += m_pnNb[b];
    }
}

}  // namespace mz
