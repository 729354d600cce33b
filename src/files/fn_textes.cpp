// The management functions that load, save and compare whole files, and
// those that take paths apart.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "files/diskfile.h"
#include "files/fh_commun.h"
#include "files/fileio.h"
#include "files/functions.h"
#include "files/gestion.h"

namespace files {

namespace {

constexpr int ERR_MEMOIRE = 80041;
constexpr int ERR_PARTIES = 80042;
constexpr int ERR_CHEMIN = 80058;
constexpr int ERR_INTROUVABLE = 80059;
constexpr int ERR_PREMIER = 80060;
constexpr int ERR_SECOND = 80061;
constexpr int PARTIES = 15;

// "QVL:<number>:..." names a text that the host keeps in one of its
// libraries, not a file.
bool _bTexteHote(const std::string& s) {
    if (s.compare(0, 4, "QVL:") != 0) return false;
    size_t i = 4;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i > 4 && i < s.size() && s[i] == ':';
}

// The text as the file receives it: ANSI text and buffers as their bytes, a
// Unicode text in the current character set.
bool _bOctets(const STManipAUB* pst, std::string& s) {
    s.clear();
    if (pst == nullptr || pst->bEstVide()) return true;
    if (!pst->bEstUNICODE()) {
        s.assign(pst->pszGetString(), pst->nGetLongueur());
        return true;
    }
    CZNDSTR sLarge, sAnsi;
    if (sLarge.nAssignUNICODE(pst->pszGetStringW(), int(pst->nGetLongueur() / sizeof(wchar_t))) != 0 ||
        sAnsi.nAffecteToANSI(sLarge) != 0)
        return false;
    s.assign(sAnsi.pszGet(), size_t(sAnsi.nGetLongueur()));
    return true;
}

// Writes a whole file through a new file beside it renamed over it, so that
// a failure leaves the old file as it was. A link keeps pointing where it
// did: its target is replaced. errno on failure.
int _nSauve(const std::string& sNom, const std::string& sOctets) {
    std::string sCible = sNom;
    struct stat64 st;
    if (lstat64(sNom.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* psz = realpath(sNom.c_str(), nullptr);
        if (psz != nullptr) {
            sCible = psz;
            free(psz);
        }
    }
    const bool bExiste = stat64(sCible.c_str(), &st) == 0;
    if (bExiste && !S_ISREG(st.st_mode)) return EISDIR;
    const std::string sRep = FIC_sRepertoireDe(sCible);
    std::string sTemp = FIC_sJoint(sRep, ".~qvst" + FIC_sBaseDe(sCible) + "XXXXXX");
    const int nFd = mkostemp64(sTemp.data(), O_CLOEXEC);
    if (nFd < 0) return errno;
    // The new file keeps the old one's permissions, or takes those of a new
    // file (0666 less the umask).
    mode_t nMode = 0;
    if (bExiste) {
        nMode = st.st_mode & 07777;
    } else {
        const mode_t nMasque = umask(0);
        umask(nMasque);
        nMode = 0666 & ~nMasque;
    }
    bool bOk = FIO_bWriteFull(nFd, sOctets.data(), sOctets.size()) && fchmod(nFd, nMode) == 0 && fsync(nFd) == 0;
    int nErrno = bOk ? 0 : errno;
    if (close(nFd) != 0 && bOk) {
        bOk = false;
        nErrno = errno;
    }
    if (bOk && rename(sTemp.c_str(), sCible.c_str()) != 0) {
        bOk = false;
        nErrno = errno;
    }
    if (!bOk) unlink(sTemp.c_str());
    return nErrno;
}

}  // namespace

// --- Whole texts -----------------------------------------------------------------------

CZNDSTR fChargeTexte(CZNLibrary& lib, const STManipAUB* pstNom) {
    CZNDSTR sResultat;
    const std::string sNom = FIC_sNom(pstNom);
    if (sNom.empty() || _bTexteHote(sNom)) {
        // Stored texts are the host's to give; this host keeps none.
        FIC_Echec(lib, ERR_INTROUVABLE, ENOENT);
        return sResultat;
    }
    std::string sContenu;
    if (!FIC_bCharge(sNom, sContenu)) {
        FIC_Echec(lib, ERR_INTROUVABLE, errno);
        return sResultat;
    }
    if (!sContenu.empty() && sResultat.nAssign(sContenu.data(), int(sContenu.size())) != 0) {
        sResultat.Vide();
        lib.RaiseError(ERR_MEMOIRE);
    }
    return sResultat;
}

bool fSauveTexte(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstTexte) {
    const std::string sNom = FIC_sNom(pstNom);
    std::string sOctets;
    if (!_bOctets(pstTexte, sOctets)) {
        lib.RaiseError(ERR_MEMOIRE);
        return false;
    }
    const int nErrno = sNom.empty() ? ENOENT : _nSauve(sNom, sOctets);
    if (nErrno != 0) {
        FIC_Echec(lib, ERR_INTROUVABLE, nErrno);
        return false;
    }
    return true;
}

int32_t fCompare(CZNLibrary& lib, const STManipAUB* pstNom1, const STManipAUB* pstNom2) {
    const std::string s1 = FIC_sNom(pstNom1), s2 = FIC_sNom(pstNom2);
    const int n = FIC_nCompare(s1, s2);
    if (n == -1 || n == -2) {
        lib.RaiseError(n == -1 ? ERR_PREMIER : ERR_SECOND);
        FIC_Raison(lib, errno);
    }
    return n;
}

// --- Paths ---------------------------------------------------------------------------

CZNDSTR fExtraitChemin(CZNLibrary& lib, const STManipAUB* pstChemin, int32_t nParties) {
    if (nParties < 0 || nParties > PARTIES) {
        FIC_Erreur(lib, ERR_PARTIES);
        return CZNDSTR();
    }
    const std::string s = FIC_sNom(pstChemin);
    char szRep[XFILE_MAX_PATH], szNom[XFILE_MAX_PATH], szExt[XFILE_MAX_PATH];
    if (!CDiskFile::SplitPath(s.c_str(), szRep, szNom, szExt)) {
        FIC_Erreur(lib, ERR_CHEMIN);
        return CZNDSTR();
    }
    // The drive (1) is always empty here.
    std::string sResultat;
    if (nParties & 2) sResultat += szRep;
    if (nParties & 4) sResultat += szNom;
    if (nParties & 8) sResultat += szExt;
    return pstChemin != nullptr && pstChemin->bEstUNICODE() ? FIC_sVersLangue(sResultat)
                                                            : CZNDSTR(sResultat.c_str());
}

CZNDSTR fSeparateur(CZNLibrary& lib, const STManipAUB* pstChemin, const STManipAUB* pstSeparateur, bool bUNC) {
    const std::string s = FIC_sTexte(pstChemin), sSep = FIC_sTexte(pstSeparateur);
    auto bSep = [](char c) { return c == '/' || c == '\\'; };
    // With bUNC a leading double separator stays as it is.
    const size_t nGarde = bUNC && s.size() >= 2 && bSep(s[0]) && bSep(s[1]) ? 2 : 0;
    std::vector<char> tab;
    for (size_t i = 0; i < s.size(); ++i) {
        if (i >= nGarde && bSep(s[i]))
            tab.insert(tab.end(), sSep.begin(), sSep.end());
        else
            tab.push_back(s[i]);
    }
    const std::string sResultat(tab.begin(), tab.end());
    (void)lib;
    const bool bUnicode = (pstChemin != nullptr && pstChemin->bEstUNICODE()) ||
                          (pstSeparateur != nullptr && pstSeparateur->bEstUNICODE());
    if (bUnicode) return FIC_sVersLangue(sResultat);
    CZNDSTR sRes;
    if (!sResultat.empty()) sRes.nAssign(sResultat.data(), int(sResultat.size()));
    return sRes;
}

CZNDSTR fSeparateur(CZNLibrary& lib, const STManipAUB* pstChemin, const STManipAUB* pstSeparateur) {
    return fSeparateur(lib, pstChemin, pstSeparateur, false);
}

CZNDSTR fSeparateur(CZNLibrary& lib, const STManipAUB* pstChemin, int32_t nGenre) {
    // 0 the platform's and 2 Unix: slash; 1 Windows: backslash.
    CZNDSTR sSep(nGenre == 1 ? "\\" : "/");
    const STManipAUB stSep{sSep.pGetMemoire(), 0};
    return fSeparateur(lib, pstChemin, &stSep, false);
}

CZNDSTR fSeparateur(CZNLibrary& lib, const STManipAUB* pstChemin) { return fSeparateur(lib, pstChemin, 0); }

}  // namespace files
