// CZNINTArray: a growable array of 32-bit integers.
#include "core/zndstr.h"

#include <cstdlib>
#include <cstring>

CZNINTArray::CZNINTArray(int nCapaciteInitiale, int nPas) : m_nPas(nPas > 0 ? nPas : 10) {
    if (nCapaciteInitiale > 0) _bReserve(nCapaciteInitiale);
}

CZNINTArray::CZNINTArray(const CZNINTArray& clAutre) : m_nPas(clAutre.m_nPas) { *this = clAutre; }

CZNINTArray& CZNINTArray::operator=(const CZNINTArray& clAutre) {
    if (this == &clAutre) return *this;
    m_nNb = 0;
    if (_bReserve(clAutre.m_nNb)) {
        if (clAutre.m_nNb) std::memcpy(m_pnDonnees, clAutre.m_pnDonnees, size_t(clAutre.m_nNb) * sizeof(int32_t));
        m_nNb = clAutre.m_nNb;
    }
    return *this;
}

CZNINTArray::~CZNINTArray() { std::free(m_pnDonnees); }

bool CZNINTArray::_bReserve(int nNb) {
    if (nNb <= m_nCapacite) return true;
    if (nNb < 0 || nNb > (1 << 28)) return false;
    int nCapacite = std::max(nNb, m_nCapacite + m_nPas);
    void* p = std::realloc(m_pnDonnees, size_t(nCapacite) * sizeof(int32_t));
    if (p == nullptr) return false;
    m_pnDonnees = static_cast<int32_t*>(p);
    m_nCapacite = nCapacite;
    return true;
}

bool CZNINTArray::bSetNb(int nNb) {
    if (nNb < 0) return false;
    if (!_bReserve(nNb)) return false;
    if (nNb > m_nNb) std::memset(m_pnDonnees + m_nNb, 0, size_t(nNb - m_nNb) * sizeof(int32_t));
    m_nNb = nNb;
    return true;
}

bool CZNINTArray::bSet(int nIndice, int32_t nValeur) {
    if (nIndice < 0) return false;
    if (nIndice >= m_nNb && !bSetNb(nIndice + 1)) return false;
    m_pnDonnees[nIndice] = nValeur;
    return true;
}

bool CZNINTArray::bAjoute(int32_t nValeur) { return bSet(m_nNb, nValeur); }

void CZNINTArray::Vide() {
    std::free(m_pnDonnees);
    m_pnDonnees = nullptr;
    m_nNb = m_nCapacite = 0;
}

