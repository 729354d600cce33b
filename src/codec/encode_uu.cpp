// The uuencode line decoder of encode_uu.h.
#include "codec/encode_uu.h"

#include <cstring>

namespace uu {

namespace {

// Bytes a standard line can announce (its length character is at most "M").
constexpr int OCTETS_LIGNE = 45;

inline uint8_t _byValeur(char c) { return static_cast<uint8_t>((static_cast<uint8_t>(c) - 32) & 63); }

bool _bCommence(const char* psz, size_t n, const char* pszMot) {
    const size_t nMot = std::strlen(pszMot);
    return n >= nMot && std::memcmp(psz, pszMot, nMot) == 0;
}

}  // namespace

void CDecodeur::_Octets(const uint8_t* v, size_t k) {
    // k values give k - 1 bytes (a lone value gives none).
    if (k < 2) return;
    if (m_pbySortie != nullptr) {
        uint8_t* p = m_pbySortie + m_nProduit;
        p[0] = static_cast<uint8_t>((v[0] << 2) | (v[1] >> 4));
        if (k >= 3) p[1] = static_cast<uint8_t>(((v[1] & 15) << 4) | (v[2] >> 2));
        if (k >= 4) p[2] = static_cast<uint8_t>((v[2] << 6) | v[3]);
    }
    m_nProduit += k - 1;
}

void CDecodeur::_FinGroupe() {
    _Octets(m_av, m_nValeurs);
    m_nValeurs = 0;
}

bool CDecodeur::bLigne(const char* psz, size_t n) {
    while (n != 0 && psz[n - 1] == '\r') --n;
    switch (m_eEtat) {
        case ENTETE: m_eEtat = SECTION; return true;
        case ATTENTE:
            if (_bCommence(psz, n, "begin")) m_eEtat = SECTION;
            return true;
        case SECTION: break;
    }
    if (_bCommence(psz, n, "end")) {
        _FinGroupe();
        m_eEtat = ATTENTE;
        return true;
    }
    if (!m_bStandard) {
        for (size_t i = 0; i < n; ++i) {
            if (psz[i] == '\r') continue;
            m_av[m_nValeurs++] = _byValeur(psz[i]);
            if (m_nValeurs == 4) _FinGroupe();
        }
        return true;
    }
    if (n == 0) return true;
    if (psz[0] == '`') {
        m_eEtat = ATTENTE;
        return true;
    }
    const int nOctets = static_cast<uint8_t>(psz[0]) - 32;
    if (nOctets < 0 || nOctets > OCTETS_LIGNE) return false;
    const size_t nAnnonce = static_cast<size_t>(nOctets);
    // The characters those bytes need: 4 per whole group, 2 or 3 for the rest.
    const size_t nCaracteres = nAnnonce / 3 * 4 + (nAnnonce % 3 == 0 ? 0 : nAnnonce % 3 + 1);
    if (n - 1 < nCaracteres) return false;
    const char* p = psz + 1;
    uint8_t v[4];
    size_t nReste = nAnnonce;
    while (nReste != 0) {
        const size_t k = nReste >= 3 ? 4 : nReste + 1;
        for (size_t i = 0; i < 4; ++i) v[i] = i < k ? _byValeur(p[i]) : 0;
        _Octets(v, k);
        p += k;
        nReste -= k - 1;
    }
    return true;
}

bool CDecodeur::bTexte(const char* psz, size_t n) {
    while (n != 0) {
        const void* pLf = std::memchr(psz, '\n', n);
        const size_t nLigne = pLf != nullptr ? static_cast<size_t>(static_cast<const char*>(pLf) - psz) : n;
        if (!bLigne(psz, nLigne)) return false;
        const size_t nSaut = pLf != nullptr ? nLigne + 1 : nLigne;
        psz += nSaut;
        n -= nSaut;
    }
    return true;
}

size_t CDecodeur::nFin() {
    _FinGroupe();
    return m_nProduit;
}

}  // namespace uu
