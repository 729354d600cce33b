// The management functions that copy, move, rename and delete files by
// name, tell their size and existence, and link them.
//
// Wildcard sources are expanded in-process and every file is copied or moved
// by system calls: no name ever reaches a shell.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/diskfile.h"
#include "files/fh_commun.h"
#include "files/fh_table.h"
#include "files/functions.h"
#include "files/gestion.h"

namespace files {

namespace {

constexpr int ERR_INTROUVABLE = 80059;
constexpr int ERR_COPIE = 80065;
constexpr int ERR_DESTINATION = 80066;
constexpr int ERR_PAS_FICHIER = 80067;
constexpr int OPT_RECURSIF = 1;
constexpr int OPT_JAUGE = 2;

void _EchecCopie(CZNLibrary& lib, const std::string& sSource, const std::string& sDestination, int nErrno) {
    lib.RaiseError(ERR_COPIE, sSource.c_str(), sDestination.c_str());
    FIC_Raison(lib, nErrno);
}

bool _bCopieOuDeplace(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination, int nOptions,
                      bool bDeplace) {
    const std::string sSource = FIC_sNom(pstSource), sDestination = FIC_sNom(pstDestination);
    if (sSource.empty()) {
        FIC_Echec(lib, ERR_INTROUVABLE, ENOENT);
        return false;
    }
    if (sDestination.empty() || FIC_bJoker(sDestination)) {
        FIC_Erreur(lib, ERR_DESTINATION);
        return false;
    }
    struct stat64 st {};
    // A name that exists as it stands is that file, whatever it holds.
    const bool bJoker = FIC_bJoker(sSource) && lstat64(sSource.c_str(), &st) != 0;
    if (!bJoker && stat64(sSource.c_str(), &st) != 0) {
        FIC_Echec(lib, ERR_INTROUVABLE, errno);
        return false;
    }
    if (!bJoker && S_ISREG(st.st_mode) && !(nOptions & OPT_JAUGE)) {
        const std::string sDe = FIC_sComplet(sSource), sVers = FIC_sComplet(sDestination);
        const int nErrno = FIC_nUnFichier(sDe, sVers, bDeplace);
        if (nErrno != 0) {
            _EchecCopie(lib, sDe, sVers, nErrno);
            return false;
        }
        return true;
    }
    if (!bJoker && S_ISREG(st.st_mode)) {
        // With the progress option a single file goes into the destination
        // directory, as the copy of several does.
        const int nErrno = FIC_nUnFichier(sSource, sDestination + "/", bDeplace);
        if (nErrno != 0) {
            _EchecCopie(lib, sSource, sDestination, nErrno);
            return false;
        }
        return true;
    }
    std::string sDe, sVers;
    const int nErrno = FIC_nCopieVers(sSource, sDestination, (nOptions & OPT_RECURSIF) != 0, bDeplace, sDe, sVers);
    if (nErrno != 0) {
        _EchecCopie(lib, sDe, sVers, nErrno);
        return false;
    }
    return true;
}

}  // namespace

// --- Copies and moves ---------------------------------------------------------------

bool fCopieFichier(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination) {
    return _bCopieOuDeplace(lib, pstSource, pstDestination, 0, false);
}
bool fCopieFichier(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination, int32_t nOptions) {
    return _bCopieOuDeplace(lib, pstSource, pstDestination, nOptions, false);
}
bool fDeplaceFichier(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination) {
    return _bCopieOuDeplace(lib, pstSource, pstDestination, 0, true);
}
bool fDeplaceFichier(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
                     int32_t nOptions) {
    return _bCopieOuDeplace(lib, pstSource, pstDestination, nOptions, true);
}

bool fRenomme(CZNLibrary& lib, const STManipAUB* pstAncien, const STManipAUB* pstNouveau) {
    const std::string sAncien = FIC_sNom(pstAncien), sNouveau = FIC_sNom(pstNouveau);
    if (sAncien.empty() || sNouveau.empty()) {
        FIC_Echec(lib, ERR_INTROUVABLE, ENOENT);
        return false;
    }
    CXError clErreur;
    if (!CDiskFile::bRename(sNouveau.c_str(), sAncien.c_str(), &clErreur)) {
        FIC_Echec(lib, ERR_INTROUVABLE, clErreur.nGetSystemError());
        return false;
    }
    return true;
}

// --- Deleting -------------------------------------------------------------------------

int32_t fSupprime(CZNLibrary& lib, const STManipAUB* pstNom, int32_t /*nOptions*/) {
    const std::string sNom = FIC_sNom(pstNom);
    if (sNom.empty()) {
        FIC_Echec(lib, ERR_INTROUVABLE, ENOENT);
        return 0;
    }
    std::vector<std::string> tab;
    struct stat64 stLitteral;
    // A name that exists as it stands is that file, whatever it holds; a
    // pattern that matches nothing deletes nothing.
    if (FIC_bJoker(sNom) && lstat64(sNom.c_str(), &stLitteral) != 0) {
        if (!FIC_bDeveloppe(sNom, true, false, tab)) {
            FIC_Echec(lib, ERR_INTROUVABLE, errno);
            return 0;
        }
    } else {
        struct stat64 st;
        const int nErrno = lstat64(sNom.c_str(), &st) != 0 ? errno : (S_ISDIR(st.st_mode) ? EISDIR : 0);
        if (nErrno != 0) {
            FIC_Echec(lib, ERR_INTROUVABLE, nErrno);
            return 0;
        }
        tab.push_back(sNom);
    }
    for (const std::string& s : tab) {
        if (unlink(s.c_str()) != 0) {
            FIC_Echec(lib, ERR_INTROUVABLE, errno);
            return 0;
        }
    }
    return 1;
}
int32_t fSupprime(CZNLibrary& lib, const STManipAUB* pstNom) { return fSupprime(lib, pstNom, 0); }

// --- Size and existence -------------------------------------------------------------------

int64_t fTaille(CZNLibrary& lib, const STManipAUB* pstNom) {
    const std::string sNom = FIC_sNom(pstNom);
    struct stat64 st;
    if (sNom.empty() || stat64(sNom.c_str(), &st) != 0) {
        FIC_Echec(lib, ERR_INTROUVABLE, sNom.empty() ? ENOENT : errno);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        FIC_Erreur(lib, ERR_PAS_FICHIER);
        return -1;
    }
    return st.st_size;
}

int64_t fTaille(CZNLibrary& lib, int32_t nHandle) {
    IXStream* pcl = FIC_pclStream(lib, nHandle, false);
    if (pcl == nullptr) return -1;
    const long long o = pcl->oGetSize();
    if (o < 0) FIC_ErreurStream(lib, pcl);
    return o;
}

bool fFichierExiste(CZNLibrary& /*lib*/, const STManipAUB* pstNom) {
    const std::string sNom = FIC_sNom(pstNom);
    return !sNom.empty() && CDiskFile::bIsAFile(sNom.c_str());
}

bool fRepertoireExiste(CZNLibrary& /*lib*/, const STManipAUB* pstNom) {
    const std::string sNom = FIC_sNom(pstNom);
    return !sNom.empty() && CDiskFile::bIsADirectory(sNom.c_str());
}

CZNDSTR fNomFichier(CZNLibrary& lib, int32_t nHandle) {
    IXStream* pcl = FIC_pclStream(lib, nHandle, true);
    if (pcl == nullptr) return CZNDSTR();
    return FIC_sVersLangue(FIC_sComplet(pcl->pszGetName()));
}

// --- Links ------------------------------------------------------------------------------

bool fCreeLien(CZNLibrary& lib, const STManipAUB* pstExistant, const STManipAUB* pstLien, int32_t nGenre) {
    const std::string sExistant = FIC_sNom(pstExistant), sLien = FIC_sNom(pstLien);
    if (sExistant.empty() || sLien.empty()) {
        FIC_Echec(lib, ERR_INTROUVABLE, ENOENT);
        return false;
    }
    // fLienSymbolique (0) asks for a symbolic link and gets one; fLienPhysique
    // (1) a hard link.
    const int nRes = nGenre == 1 ? link(sExistant.c_str(), sLien.c_str()) : symlink(sExistant.c_str(), sLien.c_str());
    if (nRes != 0) {
        FIC_Echec(lib, ERR_INTROUVABLE, errno);
        return false;
    }
    return true;
}

}  // namespace files
