// The single-byte code-page tables and the conversions over them. Runs of
// ASCII bytes go eight at a time; every other byte is one table lookup.
#include "platform/charset_simple.h"

#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

constexpr uint32_t INDEFINI = 0xFFFFFFFF;
constexpr uint64_t BITS_HAUTS = 0x8080808080808080ULL;

struct STNomPage {
    uint32_t dwCodePage;
    const char* pszIConv;
};

// The single-byte pages with tables. 1255 and 1258 stay with iconv: it
// composes their combining marks, so a byte is not always one character.
constexpr STNomPage gastPages[] = {
    {874, "CP874"},   {1250, "CP1250"}, {1251, "CP1251"}, {1252, "CP1252"},
    {1253, "CP1253"}, {1254, "CP1254"}, {1256, "CP1256"}, {1257, "CP1257"},
};
constexpr size_t NB_PAGES = sizeof(gastPages) / sizeof(gastPages[0]);
constexpr size_t PAGE_1252 = 3;

// The code pages that the component knows but that have no tables: any
// other number is 1252, as for the iconv names.
constexpr uint32_t gadwAutres[] = {932, 936, 949, 950, 1255, 1258, 1361, 65001};

}  // namespace

class CPageSimple {
public:
    // Builds the tables from iconv; false when the page is not served so.
    bool bConstruit(const char* pszIConv);

    bool bVersUnicode(unsigned char c, uint32_t& u) const {
        u = m_adwUnicode[c];
        return u != INDEFINI;
    }
    bool bDepuisUnicode(uint32_t u, unsigned char& c) const {
        if (u < 0x100) {
            if (m_awBas[u] == 0) return false;
            c = static_cast<unsigned char>(m_awBas[u] - 1);
            return true;
        }
        const STHaut* pFin = m_astHaut + m_nHaut;
        const STHaut* p = std::lower_bound(m_astHaut, pFin, u, [](const STHaut& st, uint32_t v) { return st.u < v; });
        if (p == pFin || p->u != u) return false;
        c = p->c;
        return true;
    }

private:
    struct STHaut {
        uint32_t u;
        unsigned char c;
    };
    uint32_t m_adwUnicode[256];
    uint16_t m_awBas[256];   // byte + 1 of the code points below 0x100, 0 for none
    STHaut m_astHaut[128];   // the others, by code point
    size_t m_nHaut = 0;
};

namespace {

const iconv_t ICONV_INVALIDE = reinterpret_cast<iconv_t>(-1);

iconv_t _cdOuvre(const char* pszVers, const char* pszDepuis) {
    iconv_t cd = iconv_open(pszVers, pszDepuis);
    if (cd != ICONV_INVALIDE) return cd;
    // Some C libraries know UCS-4 only as UTF-32.
    if (strcmp(pszVers, "UCS4LE") == 0) return iconv_open("UTF32LE", pszDepuis);
    if (strcmp(pszDepuis, "UCS4LE") == 0) return iconv_open(pszVers, "UTF32LE");
    return cd;
}

// One conversion of a few bytes; the bytes produced, or -1.
long _nUn(iconv_t cd, const void* pSource, size_t nSource, void* pDest, size_t nDest) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* pEntree = const_cast<char*>(static_cast<const char*>(pSource));
    char* pSortie = static_cast<char*>(pDest);
    size_t nEntree = nSource;
    size_t nSortie = nDest;
    if (iconv(cd, &pEntree, &nEntree, &pSortie, &nSortie) == static_cast<size_t>(-1) || nEntree != 0) return -1;
    if (iconv(cd, nullptr, nullptr, &pSortie, &nSortie) == static_cast<size_t>(-1)) return -1;
    return static_cast<long>(nDest - nSortie);
}

}  // namespace

bool CPageSimple::bConstruit(const char* pszIConv) {
    iconv_t cdVers = _cdOuvre("UCS4LE", pszIConv);
    iconv_t cdDepuis = _cdOuvre(pszIConv, "UCS4LE");
    bool bOk = cdVers != ICONV_INVALIDE && cdDepuis != ICONV_INVALIDE;
    std::memset(m_awBas, 0, sizeof m_awBas);
    for (int i = 0; bOk && i < 256; ++i) {
        const unsigned char c = static_cast<unsigned char>(i);
        uint32_t u = 0;
        m_adwUnicode[i] = INDEFINI;
        const long n = _nUn(cdVers, &c, 1, &u, sizeof u);
        if (n < 0) {
            bOk = i >= 0x80;   // an undefined byte is kept as undefined; ASCII must be whole
            continue;
        }
        // One byte must be one character, ASCII itself, and come back as
        // the same byte.
        unsigned char cRetour = 0;
        bOk = n == long(sizeof u) && (i >= 0x80 || u == uint32_t(i)) && _nUn(cdDepuis, &u, sizeof u, &cRetour, 1) == 1 &&
              cRetour == c;
        if (!bOk) break;
        m_adwUnicode[i] = u;
        if (u < 0x100) {
            bOk = m_awBas[u] == 0;
            m_awBas[u] = static_cast<uint16_t>(i + 1);
        } else {
            bOk = m_nHaut < sizeof m_astHaut / sizeof m_astHaut[0];
            if (bOk) m_astHaut[m_nHaut++] = {u, c};
        }
    }
    std::sort(m_astHaut, m_astHaut + m_nHaut, [](const STHaut& a, const STHaut& b) { return a.u < b.u; });
    for (size_t i = 1; bOk && i < m_nHaut; ++i) bOk = m_astHaut[i - 1].u != m_astHaut[i].u;
    if (cdVers != ICONV_INVALIDE) iconv_close(cdVers);
    if (cdDepuis != ICONV_INVALIDE) iconv_close(cdDepuis);
    return bOk;
}

const CPageSimple* SIMPLE_pclPage(uint32_t dwCodePage) {
    size_t nPage = PAGE_1252;
    bool bTrouve = false;
    for (size_t i = 0; i < NB_PAGES && !bTrouve; ++i) {
        if (gastPages[i].dwCodePage == dwCodePage) {
            nPage = i;
            bTrouve = true;
        }
    }
    if (!bTrouve && std::find(std::begin(gadwAutres), std::end(gadwAutres), dwCodePage) != std::end(gadwAutres))
        return nullptr;
    static CPageSimple s_aclPage[NB_PAGES];
    static bool s_abServi[NB_PAGES];
    static std::once_flag s_aFait[NB_PAGES];
    std::call_once(s_aFait[nPage], [nPage] { s_abServi[nPage] = s_aclPage[nPage].bConstruit(gastPages[nPage].pszIConv); });
    return s_abServi[nPage] ? &s_aclPage[nPage] : nullptr;
}

namespace {

inline bool _bAscii8(const char* p) {
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return (w & BITS_HAUTS) == 0;
}

// Eight ASCII bytes copied as they are (UTF-8 and the pages agree on
// them) when the source has them and the destination room for them.
inline bool _bCopieAscii8(const char* pszSource, size_t nSource, size_t& i, char* pszDest, size_t nDest,
                          size_t& nEcrit) {
    if (i + 8 > nSource || !_bAscii8(pszSource + i) || (pszDest != nullptr && nEcrit + 8 > nDest)) return false;
    if (pszDest != nullptr) std::memcpy(pszDest + nEcrit, pszSource + i, 8);
    i += 8;
    nEcrit += 8;
    return true;
}

inline size_t _nLongueurUtf8(uint32_t u) { return u < 0x80 ? 1 : u < 0x800 ? 2 : u < 0x10000 ? 3 : 4; }

inline void _EcritUtf8(uint32_t u, char* p) {
    if (u < 0x80) {
        p[0] = static_cast<char>(u);
    } else if (u < 0x800) {
        p[0] = static_cast<char>(0xC0 | (u >> 6));
        p[1] = static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        p[0] = static_cast<char>(0xE0 | (u >> 12));
        p[1] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        p[2] = static_cast<char>(0x80 | (u & 0x3F));
    } else {
        p[0] = static_cast<char>(0xF0 | (u >> 18));
        p[1] = static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        p[2] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        p[3] = static_cast<char>(0x80 | (u & 0x3F));
    }
}

// One well-formed UTF-8 character at p (shortest form, no surrogate, at
// most U+10FFFF): its length, or 0 for anything else, which only iconv
// may judge (it may also be cut short by the end of the source).
size_t _nLitUtf8(const unsigned char* p, size_t nReste, uint32_t& u) {
    const unsigned char c = p[0];
    if (c < 0x80) {
        u = c;
        return 1;
    }
    size_t n;
    uint32_t uMin;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        u = c & 0x1F;
        uMin = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        u = c & 0x0F;
        uMin = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        u = c & 0x07;
        uMin = 0x10000;
    } else {
        return 0;
    }
    if (n > nReste) return 0;
    for (size_t i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        u = (u << 6) | (p[i] & 0x3F);
    }
    if (u < uMin || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return 0;
    return n;
}

}  // namespace

long SIMPLE_nVersWide(const CPageSimple& clPage, const char* pszSource, size_t nSource, wchar_t* pwszDest,
                      size_t nDest) {
    if (pwszDest != nullptr && nDest < nSource) {
        // iconv would fail for want of room, unless a byte fails first:
        // either way the conversion fails.
        return SIMPLE_ECHEC;
    }
    const auto* pby = reinterpret_cast<const unsigned char*>(pszSource);
    for (size_t i = 0; i < nSource; ++i) {
        uint32_t u;
        if (!clPage.bVersUnicode(pby[i], u)) return SIMPLE_ECHEC;
        if (pwszDest != nullptr) pwszDest[i] = static_cast<wchar_t>(u);
    }
    return static_cast<long>(nSource);
}

long SIMPLE_nDepuisWide(const CPageSimple& clPage, const wchar_t* pwszSource, size_t nSource, char* pszDest,
                        size_t nDest) {
    for (size_t i = 0; i < nSource; ++i) {
        unsigned char c;
        if (!clPage.bDepuisUnicode(static_cast<uint32_t>(pwszSource[i]), c)) return SIMPLE_IGNORE;
        if (pszDest != nullptr) {
            if (i >= nDest) return SIMPLE_ECHEC;
            pszDest[i] = static_cast<char>(c);
        }
    }
    return static_cast<long>(nSource);
}

long SIMPLE_nVersUtf8(const CPageSimple& clPage, const char* pszSource, size_t nSource, char* pszDest, size_t nDest,
                      bool bRemplit) {
    const auto* pby = reinterpret_cast<const unsigned char*>(pszSource);
    size_t i = 0;
    size_t nEcrit = 0;
    while (i < nSource) {
        if (_bCopieAscii8(pszSource, nSource, i, pszDest, nDest, nEcrit)) continue;
        uint32_t u;
        if (!clPage.bVersUnicode(pby[i], u)) return SIMPLE_ECHEC;
        const size_t n = _nLongueurUtf8(u);
        if (pszDest != nullptr) {
            if (nEcrit + n > nDest) return bRemplit ? static_cast<long>(nEcrit) : SIMPLE_ECHEC;
            _EcritUtf8(u, pszDest + nEcrit);
        }
        nEcrit += n;
        ++i;
    }
    return static_cast<long>(nEcrit);
}

long SIMPLE_nDepuisUtf8(const CPageSimple& clPage, const char* pszSource, size_t nSource, char* pszDest,
                        size_t nDest, bool bRemplit) {
    const auto* pby = reinterpret_cast<const unsigned char*>(pszSource);
    size_t i = 0;
    size_t nEcrit = 0;
    while (i < nSource) {
        if (_bCopieAscii8(pszSource, nSource, i, pszDest, nDest, nEcrit)) continue;
        uint32_t u = 0;
        const size_t n = _nLitUtf8(pby + i, nSource - i, u);
        unsigned char c;
        if (n == 0 || !clPage.bDepuisUnicode(u, c)) return SIMPLE_IGNORE;
        if (pszDest != nullptr) {
            if (nEcrit >= nDest) return bRemplit ? static_cast<long>(nEcrit) : SIMPLE_ECHEC;
            pszDest[nEcrit] = static_cast<char>(c);
        }
        ++nEcrit;
        i += n;
    }
    return static_cast<long>(nEcrit);
}
