// The spill file of a memory zone: records that no longer fit in memory,
// appended through a write buffer and read back through a mapping.
#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "memzone/mz_interne.h"

namespace mz {

bool CDebord::bOuvre(const char* pszRepertoire, uint32_t nTampon) {
    Ferme();
    char szModele[PATH_MAX];
    const int n = snprintf(szModele, sizeof szModele, "%s/qvmemXXXXXX", pszRepertoire);
    if (n < 0 || size_t(n) >= sizeof szModele) return false;
    const uint32_t nCapacite = nTampon < MEM_MAX_ENREG_ENTIER ? MEM_MAX_ENREG_ENTIER : nTampon;
    m_pTampon = static_cast<uint8_t*>(malloc(nCapacite));
    if (m_pTampon == nullptr) return false;
    m_nCapaciteTampon = nCapacite;
    // Launched programs must not inherit the descriptor.
    m_nFd = mkostemp(szModele, O_CLOEXEC);
    if (m_nFd < 0) {
        Ferme();
        return false;
    }
    // Unlinked at once: the file goes with its descriptor, even when the
    // process ends without its stop sequence.
    unlink(szModele);
    return true;
}

void CDebord::Ferme() {
    if (m_pMap != nullptr) munmap(const_cast<uint8_t*>(m_pMap), m_nMap);
    if (m_nFd >= 0) close(m_nFd);
    free(m_pTampon);
    m_nFd = -1;
    m_nEcrits = 0;
    m_pTampon = nullptr;
    m_nTampon = m_nCapaciteTampon = 0;
    m_pMap = nullptr;
    m_nMap = 0;
    m_bSansMap = false;
}

bool CDebord::bVide() {
    while (m_nTampon != 0) {
        const ssize_t n = pwrite64(m_nFd, m_pTampon, m_nTampon, off64_t(m_nEcrits));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        // A short write keeps the rest in front of the buffer.
        memmove(m_pTampon, m_pTampon + n, m_nTampon - size_t(n));
        m_nTampon -= uint32_t(n);
        m_nEcrits += uint64_t(n);
    }
    return true;
}

bool CDebord::bAjoute(const void* p, uint32_t nLongueur) {
    if (m_nFd < 0 || nLongueur > m_nCapaciteTampon) return false;
    if (m_nCapaciteTampon - m_nTampon < nLongueur) {
        bVide();
        if (m_nCapaciteTampon - m_nTampon < nLongueur) return false;
    }
    memcpy(m_pTampon + m_nTampon, p, nLongueur);
    m_nTampon += nLongueur;
    return true;
}

bool CDebord::bMappe() {
    if (m_bSansMap || m_nFd < 0 || m_nEcrits == 0) return false;
    if (m_nMap == m_nEcrits) return true;
    if (m_nEcrits > SIZE_MAX / 2) {
        m_bSansMap = true;
        return false;
    }
    if (m_pMap != nullptr) munmap(const_cast<uint8_t*>(m_pMap), m_nMap);
    m_pMap = nullptr;
    m_nMap = 0;
    void* p = mmap64(nullptr, size_t(m_nEcrits), PROT_READ, MAP_SHARED, m_nFd, 0);
    if (p == MAP_FAILED) {
        // Address space is short (a 32-bit process): reads copy from now on.
        m_bSansMap = true;
        return false;
    }
    m_pMap = static_cast<const uint8_t*>(p);
    m_nMap = size_t(m_nEcrits);
    return true;
}

void CDebord::SansProjection() {
    if (m_pMap != nullptr) munmap(const_cast<uint8_t*>(m_pMap), m_nMap);
    m_pMap = nullptr;
    m_nMap = 0;
    m_bSansMap = true;
}

bool CDebord::_bLitDisque(uint64_t nPosition, uint32_t nLongueur, uint8_t* pDest) {
    while (nLongueur != 0) {
        const ssize_t n = pread64(m_nFd, pDest, nLongueur, off64_t(nPosition));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        pDest += n;
        nPosition += uint64_t(n);
        nLongueur -= uint32_t(n);
    }
    return true;
}

const uint8_t* CDebord::pLit(uint64_t nPosition, uint32_t nLongueur, uint8_t* pScratch) {
    if (m_nFd < 0 || nPosition > nTaille() || nLongueur > nTaille() - nPosition) return nullptr;
    const uint64_t nFin = nPosition + nLongueur;
    if (nPosition >= m_nEcrits) return m_pTampon + (nPosition - m_nEcrits);
    if (nFin <= m_nMap) return m_pMap + nPosition;
    if (nFin <= m_nEcrits) {
        if (bMappe() && nFin <= m_nMap) return m_pMap + nPosition;
        return _bLitDisque(nPosition, nLongueur, pScratch) ? pScratch : nullptr;
    }
    // Written in part: the rest is still in the buffer.
    const uint32_t nDisque = uint32_t(m_nEcrits - nPosition);
    if (!_bLitDisque(nPosition, nDisque, pScratch)) return nullptr;
    memcpy(pScratch + nDisque, m_pTampon, nLongueur - nDisque);
    return pScratch;
}

}  // namespace mz
