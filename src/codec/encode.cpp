// The Base64 and uuencode encoders and decoders of encode.h. The character
// maps stay virtual, but each call turns them into tables once so that the
// loops run on look-ups alone.
#include "codec/encode.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "codec/encode_uu.h"

namespace {

const char k_szAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char k_szDebut[] = "begin 0666 uu\r\n";
const char k_szFin[] = "\r\nend\r\n";
constexpr size_t LONGUEUR_DEBUT = sizeof k_szDebut - 1;
constexpr size_t LONGUEUR_FIN = sizeof k_szFin - 1;
// Bytes on a line of the uuencode forms: 15 groups for the standard form
// (its length character can say no more than 45), 45 groups for the other.
constexpr size_t OCTETS_LIGNE_UU = 45;
constexpr size_t GROUPES_LIGNE_UU = 45;

// Values of the characters; CR, LF and, for the padded form, "=" carry the
// high bit too, so that one test sees whether a group holds any of them.
constexpr uint8_t SPECIAL = 0x80;


// Characters of the bytes of a group of n (1 to 3) bytes: 2, 3 or 4.
inline size_t _nCaracteres(size_t n) { return n == 0 ? 0 : n + 1; }

// Writes the characters of one group of n bytes (missing bytes are 0).
inline char* _EcritGroupe(const char* t, const uint8_t* p, size_t n, char* psz) {
    const uint8_t b0 = p[0];
    const uint8_t b1 = n > 1 ? p[1] : 0;
    const uint8_t b2 = n > 2 ? p[2] : 0;
    *psz++ = t[b0 >> 2];
    *psz++ = t[((b0 & 3) << 4) | (b1 >> 4)];
    if (n > 1) *psz++ = t[((b1 & 15) << 2) | (b2 >> 6)];
    if (n > 2) *psz++ = t[b2 & 63];
    return psz;
}

// Bytes of the k (0 to 4) values of a group, in place of the k characters.
inline uint8_t* _EcritOctets(const uint8_t* v, size_t k, uint8_t* pby) {
    if (k >= 2) *pby++ = static_cast<uint8_t>((v[0] << 2) | ((v[1] & 48) >> 4));
    if (k >= 3) *pby++ = static_cast<uint8_t>(((v[1] & 15) << 4) | ((v[2] & 60) >> 2));
    if (k >= 4) *pby++ = static_cast<uint8_t>((v[2] << 6) | (v[3] & 63));
    return pby;
}

inline bool _bFinLigne(char c) { return c == '\r' || c == '\n'; }

// The 3-to-4 encoding of every form: groups, a CR LF after every
// nGroupesParLigne complete groups; the NUL is not written.
size_t _nEncodeGroupes(const char* t, const uint8_t* p, size_t n, size_t nGroupesParLigne, char* psz) {
    const size_t nGroupes = n / 3;
    const size_t nReste = n % 3;
    const size_t nLignes = nGroupesParLigne != 0 ? nGroupes / nGroupesParLigne : 0;
    const size_t nLongueur = nGroupes * 4 + _nCaracteres(nReste) + nLignes * 2;
    if (psz == nullptr) return nLongueur;
    size_t nDansLigne = 0;
    for (size_t g = 0; g < nGroupes; ++g, p += 3) {
        const uint32_t w = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
        psz[0] = t[w >> 18];
        psz[1] = t[(w >> 12) & 63];
        psz[2] = t[(w >> 6) & 63];
        psz[3] = t[w & 63];
        psz += 4;
        if (nGroupesParLigne != 0 && ++nDansLigne == nGroupesParLigne) {
            nDansLigne = 0;
            *psz++ = '\r';
            *psz++ = '\n';
        }
    }
    if (nReste != 0) _EcritGroupe(t, p, nReste, psz);
    return nLongueur;
}

// Values of the characters other than CR and LF, 4 at a time; fewer at the
// end (2 give one byte, 3 two). With bPadding a group holding "=" ends the
// text as the padded form says. Counts without writing when pby is null.
size_t _nDecodeGroupes(const uint8_t* t, const char* psz, size_t n, bool bPadding, uint8_t* pby) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(psz);
    const uint8_t* pFin = p + n;
    if (pby == nullptr) {
        size_t nCar = 0;
        for (; p < pFin; ++p) nCar += !_bFinLigne(static_cast<char>(*p));
        return nCar / 4 * 3 + (nCar % 4 == 0 ? 0 : nCar % 4 - 1);
    }
    uint8_t* const pbyDebut = pby;
    uint8_t ac[4];
    uint8_t v[4];
    for (;;) {
        // Whole groups with no line break or padding inside: straight look-ups.
        while (pFin - p >= 4) {
            const uint32_t v0 = t[p[0]], v1 = t[p[1]], v2 = t[p[2]], v3 = t[p[3]];
            if (((v0 | v1 | v2 | v3) & SPECIAL) != 0) break;
            const uint32_t w = (v0 << 18) | (v1 << 12) | (v2 << 6) | v3;
            pby[0] = static_cast<uint8_t>(w >> 16);
            pby[1] = static_cast<uint8_t>(w >> 8);
            pby[2] = static_cast<uint8_t>(w);
            pby += 3;
            p += 4;
        }
        size_t k = 0;
        while (k < 4 && p < pFin) {
            const uint8_t c = *p++;
            if (_bFinLigne(static_cast<char>(c))) continue;
            ac[k] = c;
            v[k] = static_cast<uint8_t>(t[c] & 63);
            ++k;
        }
        if (k == 0) break;
        if (bPadding) {
            if (ac[0] == '=') break;
            if (k >= 2 && ac[1] == '=') return static_cast<size_t>(_EcritOctets(v, 2, pby) - pbyDebut);
            if (k >= 3 && ac[2] == '=')
                return static_cast<size_t>(_EcritOctets(v, (v[1] & 15) == 0 ? 2 : 3, pby) - pbyDebut);
            if (k == 4 && ac[3] == '=')
                return static_cast<size_t>(_EcritOctets(v, (v[2] & 3) == 0 ? 3 : 4, pby) - pbyDebut);
        }
        pby = _EcritOctets(v, k, pby);
        if (k < 4) break;
    }
    return static_cast<size_t>(pby - pbyDebut);
}

}  // namespace

// ---------------------------------------------------------------- common form

char CEncodeBase::__cEncodeByte(uint8_t by) const { return k_szAlphabet[by & 63]; }

uint8_t CEncodeBase::__byDecodeChar(uint8_t c) const {
    if (c >= 'A' && c <= 'Z') return static_cast<uint8_t>(c - 'A');
    if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(c - 'a' + 26);
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0' + 52);
    if (c == '+') return 62;
    return 63;
}

const char* CEncodeBase::_pszTableEncode() {
    if (!m_bEncodeFait) {
        for (int i = 0; i < 64; ++i) m_acEncode[i] = __cEncodeByte(static_cast<uint8_t>(i));
        m_bEncodeFait = true;
    }
    return m_acEncode;
}

const uint8_t* CEncodeBase::_pabyTableDecode(bool bPadding) {
    if (m_nDecodeFait != static_cast<int>(bPadding)) {
        for (int i = 0; i < 256; ++i) {
            const bool bSpecial = i == '\r' || i == '\n' || (bPadding && i == '=');
            m_abyDecode[i] = static_cast<uint8_t>((__byDecodeChar(static_cast<uint8_t>(i)) & 63) | (bSpecial ? SPECIAL : 0));
        }
        m_nDecodeFait = static_cast<int>(bPadding);
    }
    return m_abyDecode;
}

size_t CEncodeBase::nEncode(const uint8_t* pbyDonnees, size_t nTaille, int nGroupesParLigne, char* pszSortie) {
    const char* t = _pszTableEncode();
    const size_t nGroupes = nGroupesParLigne > 0 ? static_cast<size_t>(nGroupesParLigne) : 0;
    const size_t n = _nEncodeGroupes(t, pbyDonnees, nTaille, nGroupes, pszSortie);
    if (pszSortie != nullptr) pszSortie[n] = 0;
    return n;
}

size_t CEncodeBase::nDecode(const char* pszTexte, size_t nLongueur, uint8_t* pbySortie) {
    return _nDecodeGroupes(_pabyTableDecode(false), pszTexte, nLongueur, false, pbySortie);
}

char* CEncodeBase::pszEncodeEtAlloue(const uint8_t* pbyDonnees, size_t nTaille, int nGroupesParLigne,
                                     size_t* pnTaille) {
    *pnTaille = 0;
    const size_t n = nEncode(pbyDonnees, nTaille, nGroupesParLigne, nullptr);
    if (n == SIZE_MAX) return nullptr;
    auto* psz = static_cast<char*>(std::malloc(n + 1));
    if (psz == nullptr) return nullptr;
    *pnTaille = nEncode(pbyDonnees, nTaille, nGroupesParLigne, psz);
    return psz;
}

uint8_t* CEncodeBase::pbyDecodeEtAlloue(const char* pszTexte, size_t nLongueur, size_t* pnTaille) {
    *pnTaille = 0;
    const size_t n = nDecode(pszTexte, nLongueur, nullptr);
    if (n == ENCODE_INVALIDE || n == SIZE_MAX) return nullptr;
    auto* pby = static_cast<uint8_t*>(std::malloc(n + 1));
    if (pby == nullptr) return nullptr;
    const size_t nFait = nDecode(pszTexte, nLongueur, pby);
    if (nFait == ENCODE_INVALIDE || nFait > n) {
        std::free(pby);
        return nullptr;
    }
    pby[nFait] = 0;
    *pnTaille = nFait;
    return pby;
}

// ---------------------------------------------------------------- padded Base64

size_t CEncodeBase64::nEncode(const uint8_t* pbyDonnees, size_t nTaille, int nGroupesParLigne, char* pszSortie) {
    size_t n = CEncodeBase::nEncode(pbyDonnees, nTaille, nGroupesParLigne, pszSortie);
    const size_t nPadding = nTaille % 3 == 0 ? 0 : 3 - nTaille % 3;
    if (pszSortie != nullptr) {
        for (size_t i = 0; i < nPadding; ++i) pszSortie[n + i] = '=';
        pszSortie[n + nPadding] = 0;
    }
    return n + nPadding;
}

size_t CEncodeBase64::nDecode(const char* pszTexte, size_t nLongueur, uint8_t* pbySortie) {
    return _nDecodeGroupes(_pabyTableDecode(true), pszTexte, nLongueur, true, pbySortie);
}

// ---------------------------------------------------------------- uuencode

char CEncodeUUEncode::__cEncodeByte(uint8_t by) const { return static_cast<char>((by & 63) + 32); }

uint8_t CEncodeUUEncode::__byDecodeChar(uint8_t c) const { return static_cast<uint8_t>((c - 32) & 63); }

size_t CEncodeUUEncode::nEncode(const uint8_t* pbyDonnees, size_t nTaille, int /*nGroupesParLigne*/,
                                char* pszSortie) {
    const char* t = _pszTableEncode();
    const size_t nCorps = _nEncodeGroupes(t, pbyDonnees, nTaille, GROUPES_LIGNE_UU, nullptr);
    const size_t n = LONGUEUR_DEBUT + nCorps + LONGUEUR_FIN;
    if (pszSortie == nullptr) return n;
    std::memcpy(pszSortie, k_szDebut, LONGUEUR_DEBUT);
    _nEncodeGroupes(t, pbyDonnees, nTaille, GROUPES_LIGNE_UU, pszSortie + LONGUEUR_DEBUT);
    std::memcpy(pszSortie + LONGUEUR_DEBUT + nCorps, k_szFin, LONGUEUR_FIN + 1);
    return n;
}

size_t CEncodeUUEncode::nDecode(const char* pszTexte, size_t nLongueur, uint8_t* pbySortie) {
    uu::CDecodeur cl(false, pbySortie);
    return cl.bTexte(pszTexte, nLongueur) ? cl.nFin() : ENCODE_INVALIDE;
}

size_t CEncodeUUEncodeStandard::nEncode(const uint8_t* pbyDonnees, size_t nTaille, int /*nGroupesParLigne*/,
                                        char* pszSortie) {
    const size_t nLignes = nTaille / OCTETS_LIGNE_UU;
    const size_t nReste = nTaille % OCTETS_LIGNE_UU;
    // A full line: its length character, 60 characters and CR LF.
    const size_t nCorps = nLignes * (1 + OCTETS_LIGNE_UU / 3 * 4 + 2) +
                          (nReste != 0 ? 1 + nReste / 3 * 4 + _nCaracteres(nReste % 3) : 0);
    const size_t n = LONGUEUR_DEBUT + nCorps + LONGUEUR_FIN;
    if (pszSortie == nullptr) return n;
    const char* t = _pszTableEncode();
    char* psz = pszSortie;
    std::memcpy(psz, k_szDebut, LONGUEUR_DEBUT);
    psz += LONGUEUR_DEBUT;
    const uint8_t* p = pbyDonnees;
    for (size_t i = 0; i < nLignes; ++i, p += OCTETS_LIGNE_UU) {
        *psz++ = static_cast<char>(32 + OCTETS_LIGNE_UU);
        psz += _nEncodeGroupes(t, p, OCTETS_LIGNE_UU, 0, psz);
        *psz++ = '\r';
        *psz++ = '\n';
    }
    if (nReste != 0) {
        *psz++ = static_cast<char>(32 + nReste);
        psz += _nEncodeGroupes(t, p, nReste, 0, psz);
    }
    std::memcpy(psz, k_szFin, LONGUEUR_FIN + 1);
    return n;
}

size_t CEncodeUUEncodeStandard::nDecode(const char* pszTexte, size_t nLongueur, uint8_t* pbySortie) {
    uu::CDecodeur cl(true, pbySortie);
    return cl.bTexte(pszTexte, nLongueur) ? cl.nFin() : ENCODE_INVALIDE;
}

// ---------------------------------------------------------------- by number

CEncodeBase* pclGetEncodeur(int nEncodeur) {
    // The plain operator new, whose failure is caught: a program that
    // replaces it has its own allocations and releases paired.
    try {
        switch (nEncodeur) {
            case ENCODE_TVR: return new CEncodeBase64TVR;
            case ENCODE_BASE64: return new CEncodeBase64;
            case ENCODE_UUENCODE: return new CEncodeUUEncode;
            case ENCODE_UUENCODE_STANDARD: return new CEncodeUUEncodeStandard;
            default: return nullptr;
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
