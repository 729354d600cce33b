// Message texts by number. The host's loader knows the texts of the
// installed language and is asked first; the component's own texts (one
// table, in the two interface languages) answer otherwise.
#include "runtime/error/dllres.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "runtime/language.h"

namespace {

std::atomic<PFN_ChargeMessage> s_pfnChargeMessage{nullptr};
std::atomic<bool> s_bInitialise{false};

constexpr int TAILLE_PREMIERE_DEMANDE = 256;
constexpr int TAILLE_MAX_HOTE = 1 << 20;
const char SEPARATEUR_PLURIEL[] = "\n\xA7\n";

// The table stores UTF-8; the component's texts are 8-bit (Latin-1). Writes
// at most nPlace bytes (no terminator) and returns the full length.
size_t _nVersLatin1(const char* pszUtf8, char* pDest, size_t nPlace) {
    size_t nLong = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(pszUtf8); *p != 0; ++p) {
        unsigned char c = *p;
        if ((c == 0xC2 || c == 0xC3) && (p[1] & 0xC0) == 0x80) {
            c = static_cast<unsigned char>(((c & 0x1F) << 6) | (p[1] & 0x3F));
            ++p;
        }
        if (nLong < nPlace) pDest[nLong] = static_cast<char>(c);
        ++nLong;
    }
    return nLong;
}

const char* _pszTexteInterne(int nNumber) {
    return MSG_pszTexteInterne(nNumber, qvstd::nGetInterfaceLanguage() == 12);
}

char* _pszCopie(const char* p, size_t n) {
    char* psz = static_cast<char*>(malloc(n + 1));
    if (psz == nullptr) return nullptr;
    memcpy(psz, p, n);
    psz[n] = 0;
    return psz;
}

// Asks the host for the whole text, growing the buffer while the answer
// fills it. Null when the host does not know the number.
char* _pszDemandeHote(PFN_ChargeMessage pfn, int nNumber) {
    int nTaille = TAILLE_PREMIERE_DEMANDE;
    for (;;) {
        char* psz = static_cast<char*>(malloc(static_cast<size_t>(nTaille)));
        if (psz == nullptr) return nullptr;
        psz[0] = 0;
        int n = pfn(nNumber, psz, nTaille);
        if (n <= 0) {
            free(psz);
            return nullptr;
        }
        if (n < nTaille - 1 || nTaille >= TAILLE_MAX_HOTE) {
            if (n > nTaille - 1) n = nTaille - 1;
            psz[n] = 0;
            return psz;
        }
        free(psz);
        // The answer filled the buffer: it may have been cut. Ask again
        // with room for the answer plus 16, and always more than before.
        int nSuivante = (n + 16) & ~15;
        if (nSuivante <= nTaille) nSuivante = nTaille * 2;
        nTaille = nSuivante > TAILLE_MAX_HOTE ? TAILLE_MAX_HOTE : nSuivante;
    }
}

char* _pszFormateAvecErreur(const char* pszFormat, va_list args, int* pnLong) {
    char* psz = MSG_pszFormatList(pszFormat, args);
    *pnLong = psz ? static_cast<int>(strlen(psz)) : -1;
    return psz;
}

}  // namespace

void DLLRES_Init() { s_bInitialise = true; }

void DLLRES_Term() {
    s_bInitialise = false;
    s_pfnChargeMessage = nullptr;
}

bool DLLRES_bInit() {
    s_bInitialise = true;
    return true;
}

bool DLLRES_bEstInitialise() { return s_bInitialise; }

void DLLRES_SetHostLoader(PFN_ChargeMessage pfn) { s_pfnChargeMessage = pfn; }

PFN_ChargeMessage DLLRES_pfnGetHostLoader() { return s_pfnChargeMessage; }

int DLLRES_nLoadString(int nNumber, char* pszBuffer, int nSize) {
    if (pszBuffer == nullptr || nSize < 1) return 0;
    PFN_ChargeMessage pfn = s_pfnChargeMessage;
    if (pfn != nullptr) {
        int n = pfn(nNumber, pszBuffer, nSize);
        if (n > 0) {
            if (n > nSize - 1) n = nSize - 1;
            pszBuffer[n] = 0;
            return n;
        }
    }
    const char* pszTexte = _pszTexteInterne(nNumber);
    if (pszTexte == nullptr) {
        pszBuffer[0] = 0;
        return 0;
    }
    size_t nPlace = static_cast<size_t>(nSize) - 1;
    size_t nLong = _nVersLatin1(pszTexte, pszBuffer, nPlace);
    if (nLong > nPlace) nLong = nPlace;
    pszBuffer[nLong] = 0;
    return static_cast<int>(nLong);
}

bool DLLRES_bLoadString(int nNumber, char** ppszTexte) {
    if (ppszTexte == nullptr) return false;
    *ppszTexte = nullptr;
    PFN_ChargeMessage pfn = s_pfnChargeMessage;
    if (pfn != nullptr) {
        *ppszTexte = _pszDemandeHote(pfn, nNumber);
        if (*ppszTexte != nullptr) return true;
    }
    const char* pszTexte = _pszTexteInterne(nNumber);
    if (pszTexte == nullptr) return false;
    size_t nLong = _nVersLatin1(pszTexte, nullptr, 0);
    char* psz = static_cast<char*>(malloc(nLong + 1));
    if (psz == nullptr) return false;
    _nVersLatin1(pszTexte, psz, nLong);
    psz[nLong] = 0;
    *ppszTexte = psz;
    return true;
}

int DLLRES_nFormatMessageList(int nNumber, char** ppszTexte, va_list args) {
    if (ppszTexte == nullptr) return -1;
    *ppszTexte = nullptr;
    char* pszFormat = nullptr;
    if (!DLLRES_bLoadString(nNumber, &pszFormat)) return -1;
    int nLong = -1;
    *ppszTexte = _pszFormateAvecErreur(pszFormat, args, &nLong);
    free(pszFormat);
    return nLong;
}

int DLLRES_nFormatMessage(int nNumber, char** ppszTexte, ...) {
    va_list args;
    va_start(args, ppszTexte);
    int n = DLLRES_nFormatMessageList(nNumber, ppszTexte, args);
    va_end(args);
    return n;
}

bool DLLRES_bFormatMessageList(int nNumber, char** ppszTexte, va_list args) {
    return DLLRES_nFormatMessageList(nNumber, ppszTexte, args) >= 0;
}

bool DLLRES_bFormatMessage(int nNumber, char** ppszTexte, ...) {
    va_list args;
    va_start(args, ppszTexte);
    bool b = DLLRES_bFormatMessageList(nNumber, ppszTexte, args);
    va_end(args);
    return b;
}

const char* DLLRES_pszSingulierPluriel(const char* pszTexte, bool bPluriel, size_t* pnLongueur) {
    if (pszTexte == nullptr) pszTexte = "";
    size_t nTotal = strlen(pszTexte);
    const char* pSep = strstr(pszTexte, SEPARATEUR_PLURIEL);
    if (pSep == nullptr || pSep == pszTexte) {
        if (pnLongueur) *pnLongueur = nTotal;
        return pszTexte;
    }
    if (!bPluriel) {
        if (pnLongueur) *pnLongueur = static_cast<size_t>(pSep - pszTexte);
        return pszTexte;
    }
    const char* pDebut = pSep + strlen(SEPARATEUR_PLURIEL);
    if (pnLongueur) *pnLongueur = nTotal - static_cast<size_t>(pDebut - pszTexte);
    return pDebut;
}

bool DLLRES_bFormatMessageSingulierPlurielList(bool bPluriel, int nNumber, char** ppszTexte, va_list args) {
    if (ppszTexte == nullptr) return false;
    *ppszTexte = nullptr;
    char* pszTexte = nullptr;
    if (!DLLRES_bLoadString(nNumber, &pszTexte)) return false;
    size_t nLong = 0;
    const char* pPartie = DLLRES_pszSingulierPluriel(pszTexte, bPluriel, &nLong);
    char* pszFormat = _pszCopie(pPartie, nLong);
    free(pszTexte);
    if (pszFormat == nullptr) return false;
    *ppszTexte = MSG_pszFormatList(pszFormat, args);
    free(pszFormat);
    return *ppszTexte != nullptr;
}

bool DLLRES_bFormatMessageSingulierPluriel(bool bPluriel, int nNumber, char** ppszTexte, ...) {
    va_list args;
    va_start(args, ppszTexte);
    bool b = DLLRES_bFormatMessageSingulierPlurielList(bPluriel, nNumber, ppszTexte, args);
    va_end(args);
    return b;
}

int DLLRES_dwFormatMessage(uint32_t dwFlags, const char* pszFormat, char** ppszTexte, va_list args) {
    if (ppszTexte == nullptr) return -1;
    *ppszTexte = nullptr;
    if ((dwFlags & DLLRES_FROM_SYSTEM) != 0) {
        // The system text is used as it stands: it is not ours to read as a
        // format.
        const char* pszSys = strerror(errno);
        *ppszTexte = _pszCopie(pszSys, strlen(pszSys));
        return *ppszTexte ? static_cast<int>(strlen(*ppszTexte)) : -1;
    }
    int nLong = -1;
    *ppszTexte = _pszFormateAvecErreur(pszFormat, args, &nLong);
    return nLong;
}

char* CTStringFormatMessage(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    char* psz = MSG_pszFormatList(pszFormat, args);
    va_end(args);
    return psz;
}

char* CTStringRes(int nNumber, ...) {
    va_list args;
    va_start(args, nNumber);
    char* psz = nullptr;
    if (!DLLRES_bFormatMessageList(nNumber, &psz, args)) psz = _pszCopie("", 0);
    va_end(args);
    return psz;
}
