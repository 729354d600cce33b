// Reading an executable's header and its embedded version block.
#include "system/versionexe.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

// The component's own version block. Its marks are the only copies of the
// mark texts in the module: the search below reads them from here, so that
// no other copy can be taken for a block.
__attribute__((used)) extern const char g_szBlocVersionQV[] =
    "VersionInfoMarkStart\0"
    "\\StringFileInfo\\000004E4\\VersionVI\0" "15.00Gab\0"
    "\\StringFileInfo\\000004E4\\FileVersion\0" "15.0.733.8\0"
    "\\StringFileInfo\\000004E4\\FileDescription\0" "Standard functions\0"
    "\\StringFileInfo\\000004E4\\Comments\0" "qv150std\0"
    "\0"
    "VersionInfoMarkEnd";

namespace {

constexpr size_t k_nMarqueDebut = 20;   // "VersionInfoMarkStart"
constexpr size_t k_nMarqueFin = 18;     // "VersionInfoMarkEnd"
constexpr size_t k_nBlocMin = 35;

const char* _pszMarqueDebut() { return g_szBlocVersionQV; }
const char* _pszMarqueFin() { return g_szBlocVersionQV + sizeof g_szBlocVersionQV - 1 - k_nMarqueFin; }

static_assert(sizeof g_szBlocVersionQV > k_nMarqueDebut + k_nMarqueFin + k_nBlocMin, "the block is a true block");

uint16_t _w(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t _dw(const unsigned char* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

bool _bLitA(int nFd, off_t oPosition, unsigned char* p, size_t n) {
    size_t nLu = 0;
    while (nLu < n) {
        ssize_t r = pread(nFd, p + nLu, n - nLu, oPosition + static_cast<off_t>(nLu));
        if (r <= 0) return false;
        nLu += static_cast<size_t>(r);
    }
    return true;
}

}  // namespace

bool CFileVersion::bCherche(const char* pDebut, size_t nTaille) {
    m_tabBloc.clear();
    const char* p = pDebut;
    const char* pFinZone = pDebut + nTaille;
    while (p < pFinZone) {
        const char* pMarque = static_cast<const char*>(memmem(p, static_cast<size_t>(pFinZone - p), _pszMarqueDebut(), k_nMarqueDebut));
        if (pMarque == nullptr) return false;
        // The block starts past the byte that ends the mark.
        const char* pBloc = pMarque + k_nMarqueDebut + 1;
        if (pBloc >= pFinZone) return false;
        const char* pFin = static_cast<const char*>(memmem(pBloc, static_cast<size_t>(pFinZone - pBloc), _pszMarqueFin(), k_nMarqueFin));
        if (pFin == nullptr) return false;
        if (static_cast<size_t>(pFin - pBloc) >= k_nBlocMin) {
            m_tabBloc.assign(pBloc, pFin);
            return true;
        }
        p = pBloc;
    }
    return false;
}

bool CFileVersion::bLoad(const char* pszChemin) {
    m_tabBloc.clear();
    if (pszChemin == nullptr || *pszChemin == 0) return false;
    int nFd = open(pszChemin, O_RDONLY | O_CLOEXEC);
    if (nFd < 0) return false;
    struct stat st;
    bool bOk = false;
    if (fstat(nFd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
        static_cast<uint64_t>(st.st_size) <= SIZE_MAX) {
        const size_t nTaille = static_cast<size_t>(st.st_size);
        void* pImage = mmap(nullptr, nTaille, PROT_READ, MAP_PRIVATE, nFd, 0);
        if (pImage != MAP_FAILED) {
            bOk = bCherche(static_cast<const char*>(pImage), nTaille);
            munmap(pImage, nTaille);
        }
    }
    close(nFd);
    return bOk;
}

bool CFileVersion::VerQueryValue(const char* pszNom, std::string& sValeur) const {
    sValeur.clear();
    if (pszNom == nullptr || m_tabBloc.empty()) return false;
    const size_t nNom = strlen(pszNom);
    const char* pBloc = m_tabBloc.data();
    const size_t nBloc = m_tabBloc.size();
    for (size_t i = 0; i + nNom < nBloc; ++i) {
        // The text at i must be the whole name: equal over its length and
        // ended there (comparisons stay inside the block).
        if (pBloc[i + nNom] != 0 || strncasecmp(pBloc + i, pszNom, nNom) != 0) continue;
        if (memchr(pBloc + i, 0, nNom) != nullptr) continue;
        const char* pValeur = pBloc + i + nNom + 1;
        const char* pFin = static_cast<const char*>(memchr(pValeur, 0, static_cast<size_t>(pBloc + nBloc - pValeur)));
        sValeur.assign(pValeur, pFin ? pFin : pBloc + nBloc);
        return true;
    }
    return false;
}

int EXE_nGetTypeEXE(const char* pszChemin) {
    if (pszChemin == nullptr) return -1;
    int nFd = open(pszChemin, O_RDONLY | O_CLOEXEC);
    if (nFd < 0) return -1;
    unsigned char abyEntete[64];
    int nType;
    if (!_bLitA(nFd, 0, abyEntete, sizeof abyEntete)) {
        nType = -1;
    } else if (abyEntete[0] != 'M' || abyEntete[1] != 'Z') {
        nType = -2;
    } else if (_w(abyEntete + 24) != 64) {
        nType = 0;
    } else {
        unsigned char abyNouveau[248];
        const uint32_t dwPosition = _dw(abyEntete + 60);
        if (!_bLitA(nFd, static_cast<off_t>(dwPosition), abyNouveau, sizeof abyNouveau)) {
            nType = 3;
        } else {
            const uint32_t dwSignature = _dw(abyNouveau);
            auto fnSig = [](char a, char b) { return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8; };
            if (dwSignature == fnSig('P', 'E'))
                nType = _w(abyNouveau + 24) == 0x20B ? 4 : 2;
            else if (dwSignature == fnSig('N', 'E') || dwSignature == fnSig('L', 'E') || dwSignature == fnSig('L', 'X') ||
                     dwSignature == fnSig('W', '3'))
                nType = 1;
            else if (dwSignature == fnSig('M', 'Z'))
                nType = 0;
            else
                nType = 3;
        }
    }
    close(nFd);
    return nType;
}

bool bGetInfoEXE(const char* pszExecutable, const char* pszNom, std::string& sValeur) {
    sValeur.clear();
    CFileVersion cl;
    if (!cl.bLoad(pszExecutable)) return false;
    std::string sCle = std::string("\\StringFileInfo\\000004E4\\") + (pszNom ? pszNom : "");
    return cl.VerQueryValue(sCle.c_str(), sValeur);
}
