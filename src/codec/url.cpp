// The URL encoder and decoder of url.h.
#include "codec/url.h"

#include <cstring>

namespace {

const char k_szHex[] = "0123456789ABCDEF";
// The encoded euro sign, decoded as the byte 0x80.
const char k_szEuro[] = "%26%238364%3B";
constexpr size_t LONGUEUR_EURO = sizeof k_szEuro - 1;

bool _bGarde(uint8_t c, int nMode) {
    const bool bAlnum = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (bAlnum || nMode == URL_MODE_ALPHANUMERIQUE) return bAlnum;
    return std::strchr("!#$&'()*,-./:;=?@_", c) != nullptr && c != 0;
}

int _nHex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Decodes (or, with a null output, counts) the text.
size_t _nDecode(const char* psz, size_t n, uint8_t* pby) {
    size_t nSortie = 0;
    auto emet = [&](uint8_t b) {
        if (pby != nullptr) pby[nSortie] = b;
        ++nSortie;
    };
    size_t i = 0;
    while (i < n) {
        const char c = psz[i];
        if (c == '+') {
            emet(' ');
            ++i;
            continue;
        }
        if (c != '%') {
            emet(static_cast<uint8_t>(c));
            ++i;
            continue;
        }
        if (n - i >= LONGUEUR_EURO && std::memcmp(psz + i, k_szEuro, LONGUEUR_EURO) == 0) {
            emet(0x80);
            i += LONGUEUR_EURO;
            continue;
        }
        if (n - i < 3) break;
        // Further "%" signs directly after the first one are skipped.
        size_t j = i + 1;
        while (j < n && psz[j] == '%') ++j;
        if (n - j < 2) break;
        const int h = _nHex(psz[j]);
        const int l = _nHex(psz[j + 1]);
        if (h < 0 || l < 0) {
            emet('%');
            ++i;
            continue;
        }
        emet(static_cast<uint8_t>(h * 16 + l));
        i = j + 2;
    }
    return nSortie;
}

}  // namespace

size_t nCalculeLongueurEncodee(const uint8_t* pbyDonnees, size_t nTaille, int nMode) {
    size_t n = nTaille;
    for (size_t i = 0; i < nTaille; ++i) n += _bGarde(pbyDonnees[i], nMode) ? 0 : 2;
    return n;
}

size_t EncodeURL(const uint8_t* pbyDonnees, size_t nTaille, int nMode, char* pszSortie) {
    char* psz = pszSortie;
    for (size_t i = 0; i < nTaille; ++i) {
        const uint8_t c = pbyDonnees[i];
        if (_bGarde(c, nMode)) {
            *psz++ = static_cast<char>(c);
        } else {
            *psz++ = '%';
            *psz++ = k_szHex[c >> 4];
            *psz++ = k_szHex[c & 15];
        }
    }
    return static_cast<size_t>(psz - pszSortie);
}

size_t nCalculeLongueurDecodee(const char* pszTexte, size_t nLongueur) { return _nDecode(pszTexte, nLongueur, nullptr); }

size_t DecodeURL(const char* pszTexte, size_t nLongueur, uint8_t* pbySortie) {
    return _nDecode(pszTexte, nLongueur, pbySortie);
}
