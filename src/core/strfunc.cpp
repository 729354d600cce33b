#include "core/strfunc.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

inline const char* _psz(const char* p) { return p ? p : ""; }
inline bool _bBlanc(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
inline unsigned char _u(char c) { return static_cast<unsigned char>(c); }
inline uint8_t _nType(char c) { return gstCharTab.pbyCharType[_u(c)]; }

const char* _pszCherche(const char* pszTexte, size_t nLongueur, const char* pszCherche, bool bSansCasse) {
    if (pszTexte == nullptr) return nullptr;
    const char* pszC = _psz(pszCherche);
    size_t nC = std::strlen(pszC);
    if (nC == 0) return pszTexte;
    if (nC > nLongueur) return nullptr;
    for (size_t i = 0; i + nC <= nLongueur; ++i) {
        size_t j = 0;
        if (bSansCasse) {
            const _stCHARTAB* pst = STR_pstGetCharTabLocal();
            while (j < nC && pst->pToUpper[_u(pszTexte[i + j])] == pst->pToUpper[_u(pszC[j])]) ++j;
        } else {
            while (j < nC && pszTexte[i + j] == pszC[j]) ++j;
        }
        if (j == nC) return pszTexte + i;
    }
    return nullptr;
}

}  // namespace

// --- Creation and release ------------------------------------------------------------

char* STR_pszCreate(const char* pszTexte) { return STR_pszCreateA(pszTexte, -1); }

char* STR_pszCreate(int nTaille) {
    if (nTaille < 0) return nullptr;
    char* p = static_cast<char*>(std::malloc(size_t(nTaille) + 1));
    if (p) p[0] = 0;
    return p;
}

char* STR_pszCreateA(const char* pszTexte, int nLongueur) {
    pszTexte = _psz(pszTexte);
    size_t n = nLongueur < 0 ? std::strlen(pszTexte) : strnlen(pszTexte, size_t(nLongueur));
    char* p = static_cast<char*>(std::malloc(n + 1));
    if (p == nullptr) return nullptr;
    std::memcpy(p, pszTexte, n);
    p[n] = 0;
    return p;
}

wchar_t* STR_pszCreateW(const wchar_t* pszTexte, int nLongueur) {
    if (pszTexte == nullptr) pszTexte = L"";
    size_t n = nLongueur < 0 ? std::wcslen(pszTexte) : wcsnlen(pszTexte, size_t(nLongueur));
    wchar_t* p = static_cast<wchar_t*>(std::malloc((n + 1) * sizeof(wchar_t)));
    if (p == nullptr) return nullptr;
    std::memcpy(p, pszTexte, n * sizeof(wchar_t));
    p[n] = 0;
    return p;
}

char* STR_pszConcat(const char* pszA, const char* pszB) {
    size_t nA = std::strlen(_psz(pszA)), nB = std::strlen(_psz(pszB));
    char* p = static_cast<char*>(std::malloc(nA + nB + 1));
    if (p == nullptr) return nullptr;
    std::memcpy(p, _psz(pszA), nA);
    std::memcpy(p + nA, _psz(pszB), nB + 1);
    return p;
}

bool STR_bResize(char** ppsz, int nTaille) {
    if (ppsz == nullptr || nTaille < 0) return false;
    bool bNouveau = *ppsz == nullptr;
    char* p = static_cast<char*>(std::realloc(*ppsz, size_t(nTaille) + 1));
    if (p == nullptr) return false;
    if (bNouveau) p[0] = 0;
    p[nTaille] = 0;
    *ppsz = p;
    return true;
}

bool STR_bRedefine(char** ppsz, const char* pszTexte) {
    if (ppsz == nullptr) return false;
    char* p = STR_pszCreate(pszTexte);
    if (p == nullptr) return false;
    std::free(*ppsz);
    *ppsz = p;
    return true;
}

void STR_Delete(void* p) { std::free(p); }
void STR_DeleteA(char* psz) { std::free(psz); }
void STR_DeleteW(wchar_t* psz) { std::free(psz); }

// --- Length, copy and joining ------------------------------------------------------------

int STR_nLen(const char* psz) { return psz ? int(std::strlen(psz)) : 0; }
int STR_nLenW(const wchar_t* psz) { return psz ? int(std::wcslen(psz)) : 0; }

int STR_nCopy(char* pszDest, const char* pszSource, int nTaille) {
    if (pszDest == nullptr || nTaille <= 0) return 0;
    size_t n = strnlen(_psz(pszSource), size_t(nTaille) - 1);
    std::memmove(pszDest, _psz(pszSource), n);
    pszDest[n] = 0;
    return int(n);
}

int STR_nCopyW(wchar_t* pszDest, const wchar_t* pszSource, int nTaille) {
    if (pszDest == nullptr || nTaille <= 0) return 0;
    if (pszSource == nullptr) pszSource = L"";
    size_t n = wcsnlen(pszSource, size_t(nTaille) - 1);
    std::memmove(pszDest, pszSource, n * sizeof(wchar_t));
    pszDest[n] = 0;
    return int(n);
}

int STR_nCat(char* pszDest, const char* pszSource, int nTaille) {
    if (pszDest == nullptr || nTaille <= 0) return 0;
    size_t nD = strnlen(pszDest, size_t(nTaille));
    if (nD >= size_t(nTaille)) {
        pszDest[nTaille - 1] = 0;
        return nTaille - 1;
    }
    return int(nD) + STR_nCopy(pszDest + nD, pszSource, nTaille - int(nD));
}

int STR_nCatW(wchar_t* pszDest, const wchar_t* pszSource, int nTaille) {
    if (pszDest == nullptr || nTaille <= 0) return 0;
    size_t nD = wcsnlen(pszDest, size_t(nTaille));
    if (nD >= size_t(nTaille)) {
        pszDest[nTaille - 1] = 0;
        return nTaille - 1;
    }
    return int(nD) + STR_nCopyW(pszDest + nD, pszSource, nTaille - int(nD));
}

// --- Spaces and padding -------------------------------------------------------------

char* STR_SuppressRightSpaces(char* psz) {
    if (psz == nullptr) return psz;
    size_t n = std::strlen(psz);
    while (n > 0 && _bBlanc(psz[n - 1])) --n;
    psz[n] = 0;
    return psz;
}

wchar_t* STR_SuppressRightSpacesW(wchar_t* psz) {
    if (psz == nullptr) return psz;
    size_t n = std::wcslen(psz);
    while (n > 0 && (psz[n - 1] == L' ' || psz[n - 1] == L'\t' || psz[n - 1] == L'\r' || psz[n - 1] == L'\n')) --n;
    psz[n] = 0;
    return psz;
}

char* STR_SuppressLeftSpaces(char* psz) {
    if (psz == nullptr) return psz;
    size_t i = 0;
    while (_bBlanc(psz[i])) ++i;
    if (i) std::memmove(psz, psz + i, std::strlen(psz + i) + 1);
    return psz;
}

char* STR_SuppressAllSpaces(char* psz) {
    if (psz == nullptr) return psz;
    char* pEcrit = psz;
    for (const char* p = psz; *p; ++p)
        if (!_bBlanc(*p)) *pEcrit++ = *p;
    *pEcrit = 0;
    return psz;
}

char* STR_SuppressSideSpaces(char* psz) { return STR_SuppressLeftSpaces(STR_SuppressRightSpaces(psz)); }

char* STR_SuppressRightCar(char* psz, char c) {
    if (psz == nullptr || c == 0) return psz;
    size_t n = std::strlen(psz);
    while (n > 0 && psz[n - 1] == c) --n;
    psz[n] = 0;
    return psz;
}

char* STR_SuppressLeftCar(char* psz, char c) {
    if (psz == nullptr || c == 0) return psz;
    size_t i = 0;
    while (psz[i] == c) ++i;
    if (i) std::memmove(psz, psz + i, std::strlen(psz + i) + 1);
    return psz;
}

char* STR_SuppressSideCar(char* psz, char c) { return STR_SuppressLeftCar(STR_SuppressRightCar(psz, c), c); }

char* STR_Complete(char* psz, int nLongueur, char c) {
    if (psz == nullptr || nLongueur < 0) return psz;
    size_t n = std::strlen(psz);
    if (n < size_t(nLongueur)) {
        std::memset(psz + n, c, size_t(nLongueur) - n);
        psz[nLongueur] = 0;
    }
    return psz;
}

// --- Case ----------------------------------------------------------------------------

char* STR_ToUpper(char* psz) {
    if (psz == nullptr) return psz;
    for (char* p = psz; *p; ++p) STR_nMapCharEx(MAP_CASSE | MAP_LOCAL, p, *p, 1);
    return psz;
}

char* STR_ToLower(char* psz) {
    if (psz == nullptr) return psz;
    for (char* p = psz; *p; ++p) STR_nMapCharEx(MAP_CASSE | MAP_LOCAL, p, *p, 0);
    return psz;
}

// --- Comparison ----------------------------------------------------------------------

int STR_nCompare(const char* pszA, const char* pszB, uint32_t dwOptions) {
    return STR_CompareStringEx(dwOptions & ~uint32_t(0x10000 | 0x10000000), _psz(pszA), -1, _psz(pszB), -1) - 2;
}

int STR_nNCompare(const char* pszA, const char* pszB, int nMax, uint32_t dwOptions) {
    if (nMax <= 0) return 0;
    pszA = _psz(pszA);
    pszB = _psz(pszB);
    return STR_CompareStringEx(dwOptions & ~uint32_t(0x10000 | 0x10000000), pszA, int(strnlen(pszA, size_t(nMax))),
                               pszB, int(strnlen(pszB, size_t(nMax)))) -
           2;
}

int STR_nNullCompare(const char* pszA, const char* pszB, uint32_t dwOptions) {
    if (pszA == nullptr || pszB == nullptr) return pszA == pszB ? 0 : (pszA == nullptr ? -1 : 1);
    return STR_nCompare(pszA, pszB, dwOptions);
}

int STR_nNullNCompare(const char* pszA, const char* pszB, int nMax, uint32_t dwOptions) {
    if (pszA == nullptr || pszB == nullptr) return pszA == pszB ? 0 : (pszA == nullptr ? -1 : 1);
    return STR_nNCompare(pszA, pszB, nMax, dwOptions);
}

int STR_nEmptyNullCompare(const char* pszA, const char* pszB, uint32_t dwOptions) {
    return STR_nCompare(pszA, pszB, dwOptions);
}

int STR_nAcCompare(const char* pszA, const char* pszB) { return STR_nCompare(pszA, pszB, MAP_ACCENT); }

int STR_nUpCompare(const char* pszA, const char* pszB) { return STR_nCompare(pszA, pszB, MAP_CASSE); }

int STR_nCompareRespecteNumerique(const char* pszA, const char* pszB, uint32_t dwOptions) {
    const char* a = _psz(pszA);
    const char* b = _psz(pszB);
    while (*a && *b) {
        if (bEstUnChiffre(*a) && bEstUnChiffre(*b)) {
            while (*a == '0' && bEstUnChiffre(a[1])) ++a;
            while (*b == '0' && bEstUnChiffre(b[1])) ++b;
            size_t nA = 0, nB = 0;
            while (bEstUnChiffre(a[nA])) ++nA;
            while (bEstUnChiffre(b[nB])) ++nB;
            if (nA != nB) return nA < nB ? -1 : 1;
            int n = std::memcmp(a, b, nA);
            if (n) return n < 0 ? -1 : 1;
            a += nA;
            b += nB;
            continue;
        }
        size_t nA = 0, nB = 0;
        while (a[nA] && !bEstUnChiffre(a[nA])) ++nA;
        while (b[nB] && !bEstUnChiffre(b[nB])) ++nB;
        int n = STR_CompareStringEx(dwOptions & ~uint32_t(0x10000 | 0x10000000), a, int(nA), b, int(nB)) - 2;
        if (n) return n;
        a += nA;
        b += nB;
    }
    return *a ? 1 : (*b ? -1 : 0);
}

// --- Search ----------------------------------------------------------------------------

const char* STR_pszUpStrstr(const char* pszTexte, const char* pszCherche) {
    return pszTexte ? _pszCherche(pszTexte, std::strlen(pszTexte), pszCherche, true) : nullptr;
}

const char* STR_StrIStr(const char* pszTexte, const char* pszCherche) { return STR_pszUpStrstr(pszTexte, pszCherche); }

const char* STRRPBRK(const char* pszTexte, const char* pszCaracteres) {
    if (pszTexte == nullptr) return nullptr;
    size_t p = std::string_view(pszTexte).find_last_of(_psz(pszCaracteres));
    return p == std::string_view::npos ? nullptr : pszTexte + p;
}

const char* STRRSTR(const char* pszTexte, const char* pszCherche) {
    if (pszTexte == nullptr) return nullptr;
    size_t p = std::string_view(pszTexte).rfind(_psz(pszCherche));
    return p == std::string_view::npos ? nullptr : pszTexte + p;
}

const char* STRRSTRA(const char* pszTexte, const char* pszCherche) { return STRRSTR(pszTexte, pszCherche); }

const char* STR_strnstrA(const char* pszTexte, int nLongueur, const char* pszCherche) {
    if (pszTexte == nullptr || nLongueur < 0) return nullptr;
    return _pszCherche(pszTexte, strnlen(pszTexte, size_t(nLongueur)), pszCherche, false);
}

const char* STR_strnistrA(const char* pszTexte, int nLongueur, const char* pszCherche) {
    if (pszTexte == nullptr || nLongueur < 0) return nullptr;
    return _pszCherche(pszTexte, strnlen(pszTexte, size_t(nLongueur)), pszCherche, true);
}

bool STR_bDebut(const char* pszTexte, const char* pszDebut) {
    pszDebut = _psz(pszDebut);
    return std::strncmp(_psz(pszTexte), pszDebut, std::strlen(pszDebut)) == 0;
}

int STR_nNbOccurrence(const char* pszTexte, const char* pszCherche) {
    if (pszTexte == nullptr || pszCherche == nullptr || *pszCherche == 0) return 0;
    std::string_view sv(pszTexte), svC(pszCherche);
    int n = 0;
    for (size_t p = sv.find(svC); p != std::string_view::npos; p = sv.find(svC, p + svC.size())) ++n;
    return n;
}

// --- Character classes ---------------------------------------------------------------------

bool bEstUnChiffre(char c) { return c >= '0' && c <= '9'; }

bool bEstUnNombreEntierNaturel(const char* psz) {
    if (psz == nullptr || *psz == 0) return false;
    for (; *psz; ++psz)
        if (!bEstUnChiffre(*psz)) return false;
    return true;
}

int nGetChiffre(char c) { return bEstUnChiffre(c) ? c - '0' : -1; }

bool bExtendedASCII(char c) { return _u(c) >= 0x80; }

bool bMajuscule(char c) {
    const _stCHARTAB* pst = STR_pstGetCharTabLocal();
    return pst->pToLower[_u(c)] != _u(c);
}

bool bMinuscule(char c) {
    const _stCHARTAB* pst = STR_pstGetCharTabLocal();
    return pst->pToUpper[_u(c)] != _u(c) || (pst->pbyCharType[_u(c)] & CT_MINUSCULE);
}

bool bUnprintable(char c) { return _u(c) < 0x20 || _u(c) == 0x7F; }

bool bPonctuation(char c) {
    uint8_t n = _nType(c);
    return (n & CT_AUTRE) && !(n & CT_BLANC) && !bUnprintable(c);
}

bool bEstDuTexteRTF(const char* psz) { return psz && std::strncmp(psz, "{\\rtf", 5) == 0; }

bool STR_bContainSpace(const char* psz) {
    for (psz = _psz(psz); *psz; ++psz)
        if (_bBlanc(*psz)) return true;
    return false;
}

bool STR_bNeContientRienDeLisible(const char* psz) {
    for (psz = _psz(psz); *psz; ++psz)
        if (!_bBlanc(*psz) && !bUnprintable(*psz) && _u(*psz) != 0xA0) return false;
    return true;
}
