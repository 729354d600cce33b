// Character-set tables and the text converters: single-byte code pages
// through their own tables (charset_simple.h), every other one over the C
// library's iconv.
#include "platform/charset.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>

#include "platform/charset_simple.h"
#include "platform/chartab.h"

// --- Tables ------------------------------------------------------------------

namespace {

struct STCodePage {
    uint32_t dwCodePage;
    const char* pszIConv;
};

constexpr const char* ICONV_DEFAUT = "CP1252";
constexpr const char* ICONV_UTF8 = "UTF-8";
// Wide characters are UCS-4 little-endian; some C libraries know the
// encoding only as UTF-32.
constexpr const char* ICONV_WIDE = "UCS4LE";
constexpr const char* ICONV_WIDE_SECOURS = "UTF32LE";

constexpr STCodePage gastCodePage[] = {
    {874, "CP874"},   {932, "CP932"},   {936, "CP936"},   {949, "CP949"},   {950, "CP950"},   {1250, "CP1250"},
    {1251, "CP1251"}, {1252, "CP1252"}, {1253, "CP1253"}, {1254, "CP1254"}, {1255, "CP1255"}, {1256, "CP1256"},
    {1257, "CP1257"}, {1258, "CP1258"}, {1361, "CP1361"}, {65001, ICONV_UTF8},
};

struct STCharsetCodePage {
    int nCharset;
    uint32_t dwCodePage;
};

constexpr STCharsetCodePage gastCharsetCodePage[] = {
    {0, 1252},   {128, 932},  {129, 949},  {130, 1361}, {134, 936},  {136, 950},  {161, 1253},     {162, 1254},
    {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250},     {255, 1252},
    {65001, 65001},
};

struct STCharsetLangue {
    int nCharset;
    uint16_t wLangue;
};

constexpr STCharsetLangue gastCharsetLangue[] = {
    {128, 17}, {129, 18}, {130, 18}, {134, 2052}, {136, 1028}, {161, 8},  {162, 31},
    {163, 42}, {177, 13}, {178, 1},  {186, 37},   {204, 1049}, {222, 30}, {238, 21},
};

}  // namespace

const char* CodePageToIConv(uint32_t dwCodePage) {
    for (const STCodePage& st : gastCodePage) {
        if (st.dwCodePage == dwCodePage) return st.pszIConv;
    }
    return ICONV_DEFAUT;
}

uint32_t dwGetCodePageFromCharset(int nCharset) {
    for (const STCharsetCodePage& st : gastCharsetCodePage) {
        if (st.nCharset == nCharset) return st.dwCodePage;
    }
    return 0;
}

uint16_t wGetLanguageID(int nCharset) {
    for (const STCharsetLangue& st : gastCharsetLangue) {
        if (st.nCharset == nCharset) return st.wLangue;
    }
    return 0;
}

int nGetCharsetFromLanguage(uint32_t dwLanguageID) {
    const uint32_t nLangue = dwLanguageID & 0x3FF;
    const uint32_t nSousLangue = dwLanguageID >> 10;
    switch (nLangue) {
        case 1: return 178;
        case 2: case 25: case 34: case 35: return 204;
        case 4: return nSousLangue == 1 ? 136 : 134;
        case 5: case 14: case 21: case 24: case 27: case 28: case 36: case 47: return 238;
        case 8: return 161;
        case 13: return 177;
        case 17: return 128;
        case 18: return 129;
        case 26: return nSousLangue == 3 ? 204 : 238;
        case 30: return 222;
        case 31: return 162;
        case 37: case 38: case 39: return 186;
        case 42: return 163;
        case 43: case 55: return 65001;
        case 67: return nSousLangue == 2 ? 204 : 238;
        default: return 0;
    }
}

int GetCharSetFromLanguageID(uint32_t dwLanguageID) {
    return nGetCharsetFromLanguage(dwLanguageID);
}

bool ChangeLocale(int nCharset) {
    const uint32_t dwCodePage = dwGetCodePageFromCharset(nCharset);
    if (dwCodePage == 0) return false;
    const char* pszNom = nullptr;
    switch (nCharset) {
        case 161: pszNom = "greek_greece"; break;
        case 162: pszNom = "turkey_turkish"; break;
        case 204: pszNom = "russian_russia"; break;
        case 177: case 178: pszNom = ""; break;
        default: return false;
    }
    char szLocale[64];
    snprintf(szLocale, sizeof(szLocale), "%s.%u", pszNom, static_cast<unsigned>(dwCodePage));
    return setlocale(LC_ALL, szLocale) != nullptr;
}

// --- Converters ---------------------------------------------------------------

namespace {

const iconv_t ICONV_INVALIDE = reinterpret_cast<iconv_t>(-1);

// Opening a converter costs far more than converting a short text, so each
// thread keeps its last few converters. A converter is reset before every
// use, so a call sees exactly what a freshly opened one would give.
class CCacheConvertisseurs {
public:
    CCacheConvertisseurs() = default;
    CCacheConvertisseurs(const CCacheConvertisseurs&) = delete;
    CCacheConvertisseurs& operator=(const CCacheConvertisseurs&) = delete;
    ~CCacheConvertisseurs() {
        for (STEntree& st : m_astEntree) {
            if (st.cd != ICONV_INVALIDE) iconv_close(st.cd);
        }
    }

    // pszSecours: second name tried for the target (or the source, when
    // bSecoursSource) when the first does not open.
    iconv_t cdOuvre(const char* pszVers, const char* pszDepuis, const char* pszSecours, bool bSecoursSource) {
        ++m_nHorloge;
        STEntree* pstVieux = &m_astEntree[0];
        for (STEntree& st : m_astEntree) {
            if (st.cd != ICONV_INVALIDE && (st.pszVers == pszVers || strcmp(st.pszVers, pszVers) == 0) &&
                (st.pszDepuis == pszDepuis || strcmp(st.pszDepuis, pszDepuis) == 0)) {
                st.nUsage = m_nHorloge;
                iconv(st.cd, nullptr, nullptr, nullptr, nullptr);
                return st.cd;
            }
            if (st.cd == ICONV_INVALIDE || st.nUsage < pstVieux->nUsage) pstVieux = &st;
        }
        iconv_t cd = iconv_open(pszVers, pszDepuis);
        if (cd == ICONV_INVALIDE && pszSecours != nullptr) {
            cd = bSecoursSource ? iconv_open(pszVers, pszSecours) : iconv_open(pszSecours, pszDepuis);
        }
        if (cd == ICONV_INVALIDE) return cd;
        if (pstVieux->cd != ICONV_INVALIDE) iconv_close(pstVieux->cd);
        pstVieux->pszVers = pszVers;
        pstVieux->pszDepuis = pszDepuis;
        pstVieux->cd = cd;
        pstVieux->nUsage = m_nHorloge;
        return cd;
    }

private:
    struct STEntree {
        const char* pszVers = "";
        const char* pszDepuis = "";
        iconv_t cd = ICONV_INVALIDE;
        uint32_t nUsage = 0;
    };
    STEntree m_astEntree[8];
    uint32_t m_nHorloge = 0;
};

thread_local CCacheConvertisseurs t_clCache;

iconv_t _cdVersWide(uint32_t dwCodePage) {
    return t_clCache.cdOuvre(ICONV_WIDE, CodePageToIConv(dwCodePage), ICONV_WIDE_SECOURS, false);
}

iconv_t _cdDepuisWide(uint32_t dwCodePage) {
    return t_clCache.cdOuvre(CodePageToIConv(dwCodePage), ICONV_WIDE, ICONV_WIDE_SECOURS, true);
}

iconv_t _cdDirect(const char* pszVers, const char* pszDepuis) {
    return t_clCache.cdOuvre(pszVers, pszDepuis, nullptr, false);
}

constexpr long CONVERSION_ECHEC = -1;

// Converts nSource bytes. With a destination: once, into nDest bytes; any
// error (invalid or incomplete sequence, unconvertible character, full
// destination) fails. Without: counts the bytes the whole conversion needs.
// Returns the bytes produced, or CONVERSION_ECHEC.
long _nConvertit(iconv_t cd, const void* pSource, size_t nSource, void* pDest, size_t nDest) {
    if (cd == ICONV_INVALIDE) return CONVERSION_ECHEC;
    char* pEntree = const_cast<char*>(static_cast<const char*>(pSource));
    size_t nEntree = nSource;
    if (pDest != nullptr) {
        char* pSortie = static_cast<char*>(pDest);
        size_t nSortie = nDest;
        if (iconv(cd, &pEntree, &nEntree, &pSortie, &nSortie) == static_cast<size_t>(-1)) return CONVERSION_ECHEC;
        if (iconv(cd, nullptr, nullptr, &pSortie, &nSortie) == static_cast<size_t>(-1)) return CONVERSION_ECHEC;
        const size_t nProduit = nDest - nSortie;
        return nProduit > static_cast<size_t>(LONG_MAX) ? CONVERSION_ECHEC : static_cast<long>(nProduit);
    }
    char achBrouillon[4096];
    size_t nTotal = 0;
    for (;;) {
        char* pSortie = achBrouillon;
        size_t nSortie = sizeof(achBrouillon);
        const size_t nResultat = iconv(cd, &pEntree, &nEntree, &pSortie, &nSortie);
        nTotal += sizeof(achBrouillon) - nSortie;
        if (nResultat != static_cast<size_t>(-1)) break;
        if (errno != E2BIG) return CONVERSION_ECHEC;
    }
    char* pSortie = achBrouillon;
    size_t nSortie = sizeof(achBrouillon);
    if (iconv(cd, nullptr, nullptr, &pSortie, &nSortie) == static_cast<size_t>(-1)) return CONVERSION_ECHEC;
    nTotal += sizeof(achBrouillon) - nSortie;
    return nTotal > static_cast<size_t>(LONG_MAX) ? CONVERSION_ECHEC : static_cast<long>(nTotal);
}

// Fills the destination with as many whole characters as fit: a full
// destination ends the conversion without failing. Returns the bytes
// written, or CONVERSION_ECHEC on an invalid, incomplete or unconvertible
// source; *pnLu receives the source bytes consumed.
long _nRemplit(iconv_t cd, const char* pszSource, size_t nSource, char* pszDest, size_t nDest, size_t* pnLu = nullptr) {
    if (cd == ICONV_INVALIDE) return CONVERSION_ECHEC;
    char* pEntree = const_cast<char*>(pszSource);
    size_t nEntree = nSource;
    char* pSortie = pszDest;
    size_t nSortie = nDest;
    if (iconv(cd, &pEntree, &nEntree, &pSortie, &nSortie) == static_cast<size_t>(-1)) {
        if (errno != E2BIG) return CONVERSION_ECHEC;
    } else if (iconv(cd, nullptr, nullptr, &pSortie, &nSortie) == static_cast<size_t>(-1) && errno != E2BIG) {
        return CONVERSION_ECHEC;
    }
    if (pnLu != nullptr) *pnLu = nSource - nEntree;
    return static_cast<long>(nDest - nSortie);
}

// Code page 1361 writes the backslash as the won sign, but texts between it
// and UTF-8 keep their ASCII bytes as they are (paths must survive). The
// text is walked: ASCII bytes are copied, the runs of other characters are
// converted. In 1361 every byte from 0x80 up leads a two-byte character
// whose second byte may be below 0x80.
constexpr uint32_t CP_JOHAB = 1361;

long _nRemplitParSegments(iconv_t cd, const char* pszSource, size_t nSource, char* pszDest, size_t nDest,
                          bool bSourceJohab) {
    if (cd == ICONV_INVALIDE) return CONVERSION_ECHEC;
    const auto* pbySource = reinterpret_cast<const unsigned char*>(pszSource);
    size_t i = 0;
    size_t nEcrit = 0;
    while (i < nSource && nEcrit < nDest) {
        if (pbySource[i] < 0x80) {
            pszDest[nEcrit++] = pszSource[i++];
            continue;
        }
        size_t j = i;
        while (j < nSource && pbySource[j] >= 0x80) j += bSourceJohab ? 2 : 1;
        if (j > nSource) j = nSource;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        size_t nLu = 0;
        const long n = _nRemplit(cd, pszSource + i, j - i, pszDest + nEcrit, nDest - nEcrit, &nLu);
        if (n < 0) return CONVERSION_ECHEC;
        nEcrit += static_cast<size_t>(n);
        if (nLu < j - i) break;   // the destination is full
        i = j;
    }
    return static_cast<long>(nEcrit);
}

// Units of a source: -1 is "up to and including the terminator"; any other
// negative length is refused.
bool _bLongueurSource(const char* pszSource, int nSource, size_t& nUnites) {
    if (pszSource == nullptr || nSource < -1) return false;
    nUnites = nSource == -1 ? strlen(pszSource) + 1 : static_cast<size_t>(nSource);
    return true;
}

bool _bLongueurSource(const wchar_t* pwszSource, int nSource, size_t& nUnites) {
    if (pwszSource == nullptr || nSource < -1) return false;
    nUnites = nSource == -1 ? wcslen(pwszSource) + 1 : static_cast<size_t>(nSource);
    return nUnites <= SIZE_MAX / sizeof(wchar_t);
}

// Result in units of nTailleUnite bytes, 0 on failure or when it would not
// fit an int.
int _nResultat(long nOctets, size_t nTailleUnite) {
    if (nOctets < 0) return 0;
    const size_t nUnites = static_cast<size_t>(nOctets) / nTailleUnite;
    return nUnites > static_cast<size_t>(INT_MAX) ? 0 : static_cast<int>(nUnites);
}

size_t _nOctetsDest(int nDest, size_t nTailleUnite) {
    const size_t n = static_cast<size_t>(nDest);
    return n > SIZE_MAX / nTailleUnite ? (SIZE_MAX / nTailleUnite) * nTailleUnite : n * nTailleUnite;
}

// Temporary wide or UTF-16 area: on the stack when small.
template <typename T>
class CZoneTemporaire {
public:
    explicit CZoneTemporaire(size_t nUnites) {
        if (nUnites <= sizeof(m_aPile) / sizeof(T)) {
            m_p = m_aPile;
        } else if (nUnites <= SIZE_MAX / sizeof(T)) {
            m_p = static_cast<T*>(malloc(nUnites * sizeof(T)));
            m_bAlloue = m_p != nullptr;
        }
    }
    CZoneTemporaire(const CZoneTemporaire&) = delete;
    CZoneTemporaire& operator=(const CZoneTemporaire&) = delete;
    ~CZoneTemporaire() {
        if (m_bAlloue) free(m_p);
    }
    T* p() const { return m_p; }

private:
    T m_aPile[1024 / sizeof(T)];
    T* m_p = nullptr;
    bool m_bAlloue = false;
};

uint32_t _dwCodePageCourante() {
    const uint32_t dwCodePage = dwGetCurrentCodePage();
    return dwCodePage != 0 ? dwCodePage : CP_ANSI_1252;
}

}  // namespace

int MultiByteToWideChar(uint32_t dwCodePage, uint32_t /*dwFlags*/, const char* pszSource, int nSource,
                        wchar_t* pwszDest, int nDest) {
    size_t nOctets = 0;
    if (!_bLongueurSource(pszSource, nSource, nOctets) || nDest < 0) return 0;
    const bool bCompte = pwszDest == nullptr || nDest == 0;
    if (const CPageSimple* pclPage = SIMPLE_pclPage(dwCodePage))
        return _nResultat(SIMPLE_nVersWide(*pclPage, pszSource, nOctets, bCompte ? nullptr : pwszDest,
                                           bCompte ? 0 : static_cast<size_t>(nDest)),
                          1);
    return _nResultat(_nConvertit(_cdVersWide(dwCodePage), pszSource, nOctets, bCompte ? nullptr : pwszDest,
                                  bCompte ? 0 : _nOctetsDest(nDest, sizeof(wchar_t))),
                      sizeof(wchar_t));
}

int WideCharToMultiByte(uint32_t dwCodePage, uint32_t /*dwFlags*/, const wchar_t* pwszSource, int nSource,
                        char* pszDest, int nDest, const char* /*pszDefaultChar*/, int* pbUsedDefault) {
    if (pbUsedDefault != nullptr) *pbUsedDefault = 0;
    size_t nUnites = 0;
    if (!_bLongueurSource(pwszSource, nSource, nUnites) || nDest < 0) return 0;
    const bool bCompte = pszDest == nullptr || nDest == 0;
    if (const CPageSimple* pclPage = SIMPLE_pclPage(dwCodePage)) {
        const long n = SIMPLE_nDepuisWide(*pclPage, pwszSource, nUnites, bCompte ? nullptr : pszDest,
                                          bCompte ? 0 : static_cast<size_t>(nDest));
        if (n != SIMPLE_IGNORE) return _nResultat(n, 1);
    }
    return _nResultat(_nConvertit(_cdDepuisWide(dwCodePage), pwszSource, nUnites * sizeof(wchar_t),
                                  bCompte ? nullptr : pszDest, bCompte ? 0 : static_cast<size_t>(nDest)),
                      1);
}

int MultiByteToMultiByte(uint32_t dwFromCodePage, const char* pszSource, int nSource, uint32_t dwToCodePage,
                         char* pszDest, int nDest) {
    size_t nOctets = 0;
    if (!_bLongueurSource(pszSource, nSource, nOctets) || nDest < 0) return 0;
    const bool bCompte = pszDest == nullptr || nDest == 0;
    char* pszVers = bCompte ? nullptr : pszDest;
    const size_t nVers = bCompte ? 0 : static_cast<size_t>(nDest);
    const CPageSimple* pclDepuis = dwToCodePage == CP_UTF8 ? SIMPLE_pclPage(dwFromCodePage) : nullptr;
    if (pclDepuis != nullptr) return _nResultat(SIMPLE_nVersUtf8(*pclDepuis, pszSource, nOctets, pszVers, nVers, false), 1);
    const CPageSimple* pclVers = dwFromCodePage == CP_UTF8 ? SIMPLE_pclPage(dwToCodePage) : nullptr;
    if (pclVers != nullptr) {
        const long n = SIMPLE_nDepuisUtf8(*pclVers, pszSource, nOctets, pszVers, nVers, false);
        if (n != SIMPLE_IGNORE) return _nResultat(n, 1);
    }
    return _nResultat(_nConvertit(_cdDirect(CodePageToIConv(dwToCodePage), CodePageToIConv(dwFromCodePage)), pszSource,
                                  nOctets, bCompte ? nullptr : pszDest, bCompte ? 0 : static_cast<size_t>(nDest)),
                      1);
}

int nGetUTF8Len(const wchar_t* pwszTexte) {
    return WideCharToMultiByte(CP_UTF8, 0, pwszTexte, -1, nullptr, 0, nullptr, nullptr);
}

int nGetUNICODELen(const char* pszTexte) {
    return MultiByteToWideChar(CP_ANSI_1252, 0, pszTexte, -1, nullptr, 0);
}

char* pszChar2UTF8(const char* pszTexte) {
    const int nTaille = MultiByteToMultiByte(CP_ANSI_1252, pszTexte, -1, CP_UTF8, nullptr, 0);
    if (nTaille <= 0) return nullptr;
    char* pszResultat = static_cast<char*>(malloc(static_cast<size_t>(nTaille)));
    if (pszResultat == nullptr) return nullptr;
    if (MultiByteToMultiByte(CP_ANSI_1252, pszTexte, -1, CP_UTF8, pszResultat, nTaille) != nTaille) {
        free(pszResultat);
        return nullptr;
    }
    return pszResultat;
}

wchar_t* pszXSTR2WSTR(const char* pszTexte, int nLongueur) {
    if (pszTexte == nullptr || nLongueur < -1) return nullptr;
    const size_t nSource = nLongueur == -1 ? strlen(pszTexte) : static_cast<size_t>(nLongueur);
    int nUnites = 0;
    if (nSource > 0) {
        if (nSource > static_cast<size_t>(INT_MAX)) return nullptr;
        nUnites = MultiByteToWideChar(CP_ANSI_1252, 0, pszTexte, static_cast<int>(nSource), nullptr, 0);
        if (nUnites <= 0 || nUnites == INT_MAX) return nullptr;
    }
    auto* pwszResultat = static_cast<wchar_t*>(malloc((static_cast<size_t>(nUnites) + 1) * sizeof(wchar_t)));
    if (pwszResultat == nullptr) return nullptr;
    if (nUnites > 0 &&
        MultiByteToWideChar(CP_ANSI_1252, 0, pszTexte, static_cast<int>(nSource), pwszResultat, nUnites) != nUnites) {
        free(pwszResultat);
        return nullptr;
    }
    pwszResultat[nUnites] = L'\0';
    return pwszResultat;
}

// --- Code page <-> UTF-8 ------------------------------------------------------

int UTF8ToMultiByte(uint32_t dwCodePage, const char* pszSource, int nSource, char* pszDest, int nDest,
                    uint32_t /*dwFlags*/, const char* /*pszDefaultChar*/, int* pbUsedDefault) {
    if (pbUsedDefault != nullptr) *pbUsedDefault = 0;
    if (pszDest == nullptr || nDest <= 0) return 0;
    const size_t nTaille = static_cast<size_t>(nDest);
    size_t nOctets = 0;
    if (!_bLongueurSource(pszSource, nSource, nOctets)) {
        memset(pszDest, 0, nTaille);
        return 0;
    }
    if (dwCodePage == CP_UTF8) {
        // Same encoding: a plain copy, cut to leave room for a terminator.
        if (nOctets >= nTaille) {
            memcpy(pszDest, pszSource, nTaille - 1);
            pszDest[nTaille - 1] = '\0';
            return nDest - 1;
        }
        memcpy(pszDest, pszSource, nOctets);
        memset(pszDest + nOctets, 0, nTaille - nOctets);
        return static_cast<int>(nOctets);
    }
    long nEcrit = SIMPLE_IGNORE;
    if (const CPageSimple* pclPage = SIMPLE_pclPage(dwCodePage))
        nEcrit = SIMPLE_nDepuisUtf8(*pclPage, pszSource, nOctets, pszDest, nTaille, true);
    if (nEcrit == SIMPLE_IGNORE) {
        const iconv_t cd = _cdDirect(CodePageToIConv(dwCodePage), ICONV_UTF8);
        nEcrit = dwCodePage == CP_JOHAB ? _nRemplitParSegments(cd, pszSource, nOctets, pszDest, nTaille, false)
                                        : _nRemplit(cd, pszSource, nOctets, pszDest, nTaille);
    }
    if (nEcrit < 0) return 0;
    memset(pszDest + nEcrit, 0, nTaille - static_cast<size_t>(nEcrit));
    return static_cast<int>(nEcrit);
}

int MultiByteToUTF8(uint32_t dwCodePage, const char* pszSource, int nSource, char* pszDest, int nDest,
                    uint32_t /*dwFlags*/) {
    if (pszDest == nullptr || nDest <= 0) return 0;
    const size_t nTaille = static_cast<size_t>(nDest);
    size_t nOctets = 0;
    if (!_bLongueurSource(pszSource, nSource, nOctets)) {
        memset(pszDest, 0, nTaille);
        return 0;
    }
    if (dwCodePage == CP_UTF8) {
        // Same encoding: copied up to the first zero byte, within both the
        // source length and the destination, always terminated.
        const size_t nMax = nOctets < nTaille - 1 ? nOctets : nTaille - 1;
        const void* pZero = memchr(pszSource, 0, nMax);
        const size_t nCopie = pZero != nullptr ? static_cast<size_t>(static_cast<const char*>(pZero) - pszSource) : nMax;
        memcpy(pszDest, pszSource, nCopie);
        memset(pszDest + nCopie, 0, nTaille - nCopie);
        return static_cast<int>(nCopie);
    }
    long nEcrit;
    if (const CPageSimple* pclPage = SIMPLE_pclPage(dwCodePage)) {
        nEcrit = SIMPLE_nVersUtf8(*pclPage, pszSource, nOctets, pszDest, nTaille, true);
    } else {
        const iconv_t cd = _cdDirect(ICONV_UTF8, CodePageToIConv(dwCodePage));
        nEcrit = dwCodePage == CP_JOHAB ? _nRemplitParSegments(cd, pszSource, nOctets, pszDest, nTaille, true)
                                        : _nRemplit(cd, pszSource, nOctets, pszDest, nTaille);
    }
    if (nEcrit < 0) return 0;
    memset(pszDest + nEcrit, 0, nTaille - static_cast<size_t>(nEcrit));
    return static_cast<int>(nEcrit);
}

int UTF8ToMultiByte_CurrentCharset(const char* pszSource, int nSource, char* pszDest, int nDest) {
    return UTF8ToMultiByte(_dwCodePageCourante(), pszSource, nSource, pszDest, nDest, 0, nullptr, nullptr);
}

int MultiByteToUTF8_CurrentCharset(const char* pszSource, int nSource, char* pszDest, int nDest) {
    return MultiByteToUTF8(_dwCodePageCourante(), pszSource, nSource, pszDest, nDest, 0);
}

// --- UTF-16 -------------------------------------------------------------------

int utf16len(const char16_t* pTexte) {
    if (pTexte == nullptr) return 0;
    int n = 0;
    while (pTexte[n] != 0 && n < INT_MAX) ++n;
    return n;
}

int utf16nlen(const char16_t* pTexte, int nMaximum) {
    if (pTexte == nullptr) return 0;
    int n = 0;
    while (n < nMaximum && pTexte[n] != 0) ++n;
    return n;
}

int WideCharToUTF16(const wchar_t* pwszSource, int nSource, char16_t* pDest, int nDest) {
    size_t nUnites = 0;
    if (!_bLongueurSource(pwszSource, nSource, nUnites) || nUnites > static_cast<size_t>(INT_MAX)) return 0;
    if (pDest == nullptr || nDest == 0) return static_cast<int>(nUnites);
    if (nDest < 0) return 0;
    const size_t nCopie = nUnites < static_cast<size_t>(nDest) ? nUnites : static_cast<size_t>(nDest);
    for (size_t i = 0; i < nCopie; ++i) pDest[i] = static_cast<char16_t>(static_cast<uint32_t>(pwszSource[i]) & 0xFFFF);
    return static_cast<int>(nCopie);
}

int UTF16ToWideChar(const char16_t* pSource, int nSource, wchar_t* pwszDest, int nDest) {
    if (pSource == nullptr || nSource < -1) return 0;
    const size_t nUnites = nSource == -1 ? static_cast<size_t>(utf16len(pSource)) + 1 : static_cast<size_t>(nSource);
    if (nUnites > static_cast<size_t>(INT_MAX)) return 0;
    if (pwszDest == nullptr || nDest == 0) return static_cast<int>(nUnites);
    if (nDest < 0) return 0;
    const size_t nCopie = nUnites < static_cast<size_t>(nDest) ? nUnites : static_cast<size_t>(nDest);
    for (size_t i = 0; i < nCopie; ++i) pwszDest[i] = static_cast<wchar_t>(pSource[i]);
    return static_cast<int>(nCopie);
}

int MultiByteToUTF16(uint32_t dwCodePage, const char* pszSource, int nSource, char16_t* pDest, int nDest) {
    if (pDest == nullptr || nDest == 0) return MultiByteToWideChar(dwCodePage, 0, pszSource, nSource, nullptr, 0);
    size_t nOctets = 0;
    if (!_bLongueurSource(pszSource, nSource, nOctets) || nDest < 0 || nOctets == 0) return 0;
    // Every character takes at least one byte: the source length bounds the
    // wide area, whatever room the caller offers.
    const int nWide = nOctets < static_cast<size_t>(nDest) ? static_cast<int>(nOctets) : nDest;
    CZoneTemporaire<wchar_t> clWide(static_cast<size_t>(nWide));
    if (clWide.p() == nullptr) return 0;
    const int nUnites = MultiByteToWideChar(dwCodePage, 0, pszSource, nSource, clWide.p(), nWide);
    if (nUnites <= 0) return 0;
    return WideCharToUTF16(clWide.p(), nUnites, pDest, nUnites);
}

int MultiByteToUTF16_CurrentCharset(const char* pszSource, int nSource, char16_t* pDest, int nDest) {
    return MultiByteToUTF16(_dwCodePageCourante(), pszSource, nSource, pDest, nDest);
}

int UTF16ToMultiByte(uint32_t dwCodePage, const char16_t* pSource, int nSource, char* pszDest, int nDest) {
    const int nUnites = UTF16ToWideChar(pSource, nSource, nullptr, 0);
    if (nUnites <= 0) return 0;
    CZoneTemporaire<wchar_t> clWide(static_cast<size_t>(nUnites));
    if (clWide.p() == nullptr) return 0;
    UTF16ToWideChar(pSource, nUnites, clWide.p(), nUnites);
    return WideCharToMultiByte(dwCodePage, 0, clWide.p(), nUnites, pszDest, nDest, nullptr, nullptr);
}

// --- UTF-8 --------------------------------------------------------------------

namespace {

inline bool _bSuite(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Length announced by a lead byte; a continuation byte in first position is
// taken as the longest lead.
inline int _nLongueurAnnoncee(unsigned char c) {
    if (c < 0x80) return 1;
    if (c < 0xC0) return 6;
    if (c < 0xE0) return 2;
    if (c < 0xF0) return 3;
    if (c < 0xF8) return 4;
    if (c < 0xFC) return 5;
    return 6;
}

}  // namespace

const char* UTF8next(const char* pszTexte) {
    if (pszTexte == nullptr) return nullptr;
    const auto* p = reinterpret_cast<const unsigned char*>(pszTexte);
    // The terminator is not a character to step over.
    if (*p == 0) return pszTexte;
    const int nLongueur = _nLongueurAnnoncee(*p);
    ++p;
    for (int i = 1; i < nLongueur && _bSuite(*p); ++i) ++p;
    return reinterpret_cast<const char*>(p);
}

int UTF8Len(const char* pszTexte) {
    if (pszTexte == nullptr) return 0;
    return static_cast<int>(UTF8next(pszTexte) - pszTexte);
}

int UTF8FirstChar(const char* pszTexte, int* pnLongueur) {
    if (pnLongueur == nullptr) return -1;
    const int nDisponible = *pnLongueur;
    *pnLongueur = 0;
    if (pszTexte == nullptr || nDisponible < 1) return -1;
    const auto* p = reinterpret_cast<const unsigned char*>(pszTexte);
    if (p[0] < 0x80) {
        *pnLongueur = 1;
        return p[0];
    }
    if (nDisponible < 2 || !_bSuite(p[1])) return -1;
    if (p[0] < 0xE0) {
        *pnLongueur = 2;
        return ((p[0] & 0x1F) << 6) | (p[1] & 0x3F);
    }
    if (nDisponible < 3 || !_bSuite(p[2])) return -1;
    if (p[0] < 0xF0) {
        *pnLongueur = 3;
        return ((p[0] & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    }
    if (p[0] > 0xF7 || nDisponible < 4 || !_bSuite(p[3])) return -1;
    *pnLongueur = 4;
    return ((p[0] & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
}

bool UTF8Valide(const char* pszTexte, int nLongueur) {
    if (pszTexte == nullptr) return nLongueur == 0;
    if (nLongueur < -1) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(pszTexte);
    const bool bLimite = nLongueur != -1;
    const size_t nMax = bLimite ? static_cast<size_t>(nLongueur) : SIZE_MAX;
    size_t i = 0;
    while (i < nMax && p[i] != 0) {
        const unsigned char c = p[i];
        size_t nSuites;
        if (c < 0x80) nSuites = 0;
        else if ((c & 0xE0) == 0xC0) nSuites = 1;
        else if ((c & 0xF0) == 0xE0) nSuites = 2;
        else if ((c & 0xF8) == 0xF0) nSuites = 3;
        else return false;
        if (nSuites > nMax - i - 1) return false;
        for (size_t j = 1; j <= nSuites; ++j) {
            if (!_bSuite(p[i + j])) return false;   // a zero byte stops here too
        }
        i += nSuites + 1;
    }
    return true;
}

// --- STR_ conversions ---------------------------------------------------------

wchar_t STR_CharToWChar(char cCaractere, uint32_t dwFlags, uint32_t dwCodePage) {
    wchar_t wc = 0;
    return MultiByteToWideChar(dwCodePage, dwFlags, &cCaractere, 1, &wc, 1) == 1 ? wc : L'\0';
}

int STR_CharToWChar_CurrentCharset(const char* pszSource, int nSource, wchar_t* pwszDest, int nDest) {
    return MultiByteToWideChar(_dwCodePageCourante(), 0, pszSource, nSource, pwszDest, nDest);
}

int STR_WCharToChar_CurrentCharset(const wchar_t* pwszSource, int nSource, char* pszDest, int nDest) {
    return WideCharToMultiByte(_dwCodePageCourante(), 0, pwszSource, nSource, pszDest, nDest, nullptr, nullptr);
}

int STR_CharToChar_AnyCodepage(uint32_t dwFromCodePage, const char* pszSource, int nSource, uint32_t dwToCodePage,
                               char* pszDest, int nDest) {
    return MultiByteToMultiByte(dwFromCodePage, pszSource, nSource, dwToCodePage, pszDest, nDest);
}

int STR_CharToWChar_AnyCodepage(uint32_t dwCodePage, const char* pszSource, int nSource, wchar_t* pwszDest,
                                int nDest) {
    return MultiByteToWideChar(dwCodePage, 0, pszSource, nSource, pwszDest, nDest);
}

int STR_WCharToChar_AnyCodepage(uint32_t dwCodePage, const wchar_t* pwszSource, int nSource, char* pszDest,
                                int nDest) {
    return WideCharToMultiByte(dwCodePage, 0, pwszSource, nSource, pszDest, nDest, nullptr, nullptr);
}

namespace {

// malloc'ed, zero-terminated conversion of nLongueur bytes (-1: up to the
// terminator) between two code pages; an empty text gives "".
char* _pszCreeConversion(uint32_t dwDepuis, const char* pszTexte, int nLongueur, uint32_t dwVers) {
    if (pszTexte == nullptr || nLongueur < -1) return nullptr;
    const size_t nSource = nLongueur == -1 ? strlen(pszTexte) : static_cast<size_t>(nLongueur);
    if (nSource > static_cast<size_t>(INT_MAX)) return nullptr;
    int nOctets = 0;
    if (nSource > 0) {
        nOctets = MultiByteToMultiByte(dwDepuis, pszTexte, static_cast<int>(nSource), dwVers, nullptr, 0);
        if (nOctets <= 0 || nOctets == INT_MAX) return nullptr;
    }
    char* pszResultat = static_cast<char*>(malloc(static_cast<size_t>(nOctets) + 1));
    if (pszResultat == nullptr) return nullptr;
    if (nOctets > 0 &&
        MultiByteToMultiByte(dwDepuis, pszTexte, static_cast<int>(nSource), dwVers, pszResultat, nOctets) != nOctets) {
        free(pszResultat);
        return nullptr;
    }
    pszResultat[nOctets] = '\0';
    return pszResultat;
}

}  // namespace

char* STR_pszCreateToXUTF8(const char* pszTexte, int nLongueur) {
    return _pszCreeConversion(_dwCodePageCourante(), pszTexte, nLongueur, CP_UTF8);
}

char* STR_pszCreateFromXUTF8(const char* pszUTF8, int nLongueur) {
    return _pszCreeConversion(CP_UTF8, pszUTF8, nLongueur, _dwCodePageCourante());
}
