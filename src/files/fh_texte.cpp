// The line reader of fLitLigne(handle) and the 16-bit file form of Unicode
// text (rules in fh_texte.h).
#include "files/fh_texte.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

// The raw units of one line (bytes, or 16-bit units of a Unicode file),
// appended to sUnites as bytes; *pnUnites counts them.
template <typename U>
eFICLIGNE _eLitUnites(IXStream* pcl, CZNDSTR& sUnites, size_t* pnUnites) {
    constexpr unsigned NB = XSTREAM_LINE_CHUNK / sizeof(U);
    constexpr unsigned U_OCTETS = unsigned(sizeof(U));
    constexpr size_t MAX_UNITES = XSTREAM_LINE_MAX / sizeof(U);
    U tab[NB];
    size_t nUnites = 0;
    auto fin = [&](eFICLIGNE e) {
        *pnUnites = nUnites;
        return e;
    };
    for (;;) {
        unsigned nLu = 0;
        if (!pcl->bRead(tab, sizeof tab, &nLu)) return fin(FICLIGNE_LECTURE);
        const unsigned nDispo = nLu / U_OCTETS;
        // A lone byte at the end of a Unicode file is passed over, so that
        // the end of the file is always reached.
        if (nDispo == 0) break;
        unsigned iLF = 0;
        while (iLF < nDispo && tab[iLF] != U('\n')) ++iLF;
        // One unit beyond the limit: a CR there may still be the line end's.
        const size_t nPlace = MAX_UNITES + 1 - nUnites;
        const unsigned nPrendre = unsigned(std::min<size_t>(iLF, nPlace));
        if (nPrendre > 0 && sUnites.nConcat(tab, int(nPrendre * U_OCTETS)) != 0) return fin(FICLIGNE_MEMOIRE);
        nUnites += nPrendre;
        if (nPrendre < iLF) {
            // What was not taken is read next time.
            if (!pcl->bSeek(-static_cast<long long>(nLu - nPrendre * U_OCTETS), IXStream::eSEEK_CURRENT))
                return fin(FICLIGNE_LECTURE);
            return fin(FICLIGNE_TROP_LONGUE);
        }
        if (iLF < nDispo) {
            if (!pcl->bSeek(-static_cast<long long>(nLu - (iLF + 1) * U_OCTETS), IXStream::eSEEK_CURRENT))
                return fin(FICLIGNE_LECTURE);
            if (nUnites > 0 && reinterpret_cast<const U*>(sUnites.pszGet())[nUnites - 1] == U('\r')) {
                --nUnites;
                sUnites.Tronque(int(nUnites * U_OCTETS));
            }
            break;
        }
        // A short chunk is the end of the file; an odd byte left after the
        // last unit is dropped with it.
        if (nLu < sizeof tab) break;
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

eFICLIGNE FIC_eLitLigne(IXStream* pclStream, bool bUnicode, CZNDSTR& sLigne) {
    sLigne.Vide();
    size_t nUnites = 0;
    if (!bUnicode) {
        const eFICLIGNE e = _eLitUnites<char>(pclStream, sLigne, &nUnites);
        if (e != FICLIGNE_OK) sLigne.Vide();
        return e;
    }
    CZNDSTR sUnites;
    const eFICLIGNE e = _eLitUnites<char16_t>(pclStream, sUnites, &nUnites);
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
