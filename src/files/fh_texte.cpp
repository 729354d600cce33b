// The line reader of fLitLigne(handle) and the 16-bit file form of Unicode
// text (rules in fh_texte.h).
#include "files/fh_texte.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Where the first LF unit of the n whole units at p is (n when there is none).
template <typename U>
size_t _nChercheLF(const unsigned char* p, size_t n) {
    if constexpr (sizeof(U) == 1) {
        const void* pLF = memchr(p, '\n', n);
        return pLF != nullptr ? size_t(static_cast<const unsigned char*>(pLF) - p) : n;
    } else {
        // Units may sit at an odd address in the buffer: compared as bytes.
        for (size_t i = 0; i < n; ++i)
            if (p[2 * i] == '\n' && p[2 * i + 1] == 0) return i;
        return n;
    }
}

// Whether the unit at p (at any address) is a CR.
template <typename U>
bool _bEstCR(const void* p) {
    U u;
    memcpy(&u, p, sizeof u);
    return u == U('\r');
}

// The raw units of one line (bytes, or 16-bit units of a Unicode file),
// appended to sUnites as bytes; *pnUnites counts them.
template <typename U>
eFICLIGNE _eLitUnites(IXStream* pcl, CLectureAvance& clAvance, CZNDSTR& sUnites, size_t* pnUnites) {
    constexpr size_t U_OCTETS = sizeof(U);
    constexpr size_t MAX_UNITES = XSTREAM_LINE_MAX / sizeof(U);
    size_t nUnites = 0;
    auto fin = [&](eFICLIGNE e) {
        *pnUnites = nUnites;
        return e;
    };
    for (;;) {
        if (clAvance.nDispo() < U_OCTETS) {
            unsigned nLu = 0;
            const eFICLIGNE e = clAvance.eRemplit(pcl, &nLu);
            if (e != FICLIGNE_OK) return fin(e);
            if (nLu == 0) {
                // A lone byte at the end of a Unicode file is passed over,
                // so that the end of the file is always reached.
                clAvance.Consomme(clAvance.nDispo());
                break;
            }
            continue;
        }
        const size_t nDispo = clAvance.nDispo() / U_OCTETS;
        const size_t iLF = _nChercheLF<U>(clAvance.pbyDebut(), nDispo);
        // One unit beyond the limit: a CR there may still be the line end's.
        const size_t nPlace = MAX_UNITES + 1 - nUnites;
        const size_t nPrendre = std::min(iLF, nPlace);
        const bool bFinLigne = nPrendre == iLF && iLF < nDispo;
        // The CR just before the LF goes with it: not copied when it is in
        // this chunk (a whole line is then one copy), taken off otherwise.
        const unsigned char* pby = clAvance.pbyDebut();
        size_t nCopie = nPrendre;
        if (bFinLigne && nCopie > 0 && _bEstCR<U>(pby + (nCopie - 1) * U_OCTETS)) --nCopie;
        if (nCopie > 0 && sUnites.nConcat(pby, int(nCopie * U_OCTETS)) != 0) return fin(FICLIGNE_MEMOIRE);
        clAvance.Consomme(nPrendre * U_OCTETS);
        nUnites += nCopie;
        // What was not taken is read next time.
        if (nPrendre < iLF) return fin(FICLIGNE_TROP_LONGUE);
        if (bFinLigne) {
            clAvance.Consomme(U_OCTETS);
            if (nPrendre == 0 && nUnites > 0 && _bEstCR<U>(sUnites.pszGet() + (nUnites - 1) * U_OCTETS)) {
                --nUnites;
                sUnites.Tronque(int(nUnites * U_OCTETS));
            }
            break;
        }
    }
    return fin(nUnites > MAX_UNITES ? FICLIGNE_TROP_LONGUE : FICLIGNE_OK);
}

// File units back to characters: surrogate pairs joined, a lone surrogate
// kept as its unit.
bool _bVersLarge(const char16_t* pUnites, size_t nUnites, CZNDSTR& sLigne) {
    if (nUnites == 0) {
        sLigne.Vide();
        return true;
    }
    auto* pw = static_cast<wchar_t*>(malloc(nUnites * sizeof(wchar_t)));
    if (pw == nullptr) return false;
    size_t n = 0;
    for (size_t i = 0; i < nUnites; ++i) {
        uint32_t c = pUnites[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < nUnites && pUnites[i + 1] >= 0xDC00 && pUnites[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (uint32_t(pUnites[i + 1]) - 0xDC00);
            ++i;
        }
        pw[n++] = wchar_t(c);
    }
    const bool bOk = sLigne.nAssignUNICODE(pw, int(n)) == 0;
    free(pw);
    return bOk;
}

}  // namespace

CLectureAvance::~CLectureAvance() { free(m_pby); }

eFICLIGNE CLectureAvance::eRemplit(IXStream* pcl, unsigned* pnLu) {
    *pnLu = 0;
    // What is left (less than a unit) goes to the front.
    const size_t nReste = nDispo();
    if (nReste > 0 && m_nDebut > 0) memmove(m_pby, m_pby + m_nDebut, nReste);
    m_nDebut = 0;
    m_nFin = nReste;
    const size_t nVoulu = nReste + m_nProchaine;
    if (nVoulu > m_nCapacite) {
        auto* p = static_cast<unsigned char*>(realloc(m_pby, nVoulu));
        if (p == nullptr) return FICLIGNE_MEMOIRE;
        m_pby = p;
        m_nCapacite = nVoulu;
    }
    if (!pcl->bRead(m_pby + m_nFin, m_nProchaine, pnLu)) return FICLIGNE_LECTURE;
    m_nFin += *pnLu;
    m_nProchaine = std::min(m_nProchaine * 2, m_nMax);
    return FICLIGNE_OK;
}

bool CLectureAvance::bRend(IXStream* pcl) {
    const size_t nReste = nDispo();
    m_nDebut = m_nFin = 0;
    m_nProchaine = m_nPremiere;
    return nReste == 0 || pcl->bSeek(-static_cast<long long>(nReste), IXStream::eSEEK_CURRENT);
}

eFICLIGNE FIC_eLitLigne(IXStream* pclStream, CLectureAvance& clAvance, bool bUnicode, CZNDSTR& sLigne) {
    sLigne.Vide();
    size_t nUnites = 0;
    if (!bUnicode) {
        const eFICLIGNE e = _eLitUnites<char>(pclStream, clAvance, sLigne, &nUnites);
        if (e != FICLIGNE_OK) sLigne.Vide();
        return e;
    }
    CZNDSTR sUnites;
    const eFICLIGNE e = _eLitUnites<char16_t>(pclStream, clAvance, sUnites, &nUnites);
    if (e != FICLIGNE_OK) return e;
    return _bVersLarge(reinterpret_cast<const char16_t*>(sUnites.pszGet()), nUnites, sLigne) ? FICLIGNE_OK
                                                                                              : FICLIGNE_MEMOIRE;
}

bool FIC_bAjouteUTF16LE(CZNDSTR& sOctets, const wchar_t* pwsz, size_t nCaracteres) {
    if (nCaracteres == 0) return true;
    // At most two units, four bytes, a character; reserved once.
    const size_t nAvant = size_t(sOctets.nGetLongueur());
    if (nCaracteres > (STRMEM_MAXLEN - nAvant) / 4) return false;
    if (sOctets.nSetLength(uint32_t(nAvant + nCaracteres * 4)) != 0) return false;
    auto unite = [&sOctets](uint32_t u) {
        const char ab[2] = {char(u & 0xFF), char((u >> 8) & 0xFF)};
        return sOctets.nConcat(ab, 2) == 0;
    };
    for (size_t i = 0; i < nCaracteres; ++i) {
        uint32_t c = uint32_t(pwsz[i]);
        if (c > 0x10FFFF) c = 0xFFFD;
        bool bOk;
        if (c >= 0x10000) {
            c -= 0x10000;
            bOk = unite(0xD800 + (c >> 10)) && unite(0xDC00 + (c & 0x3FF));
        } else {
            bOk = unite(c);
        }
        if (!bOk) return false;
    }
    return true;
}
