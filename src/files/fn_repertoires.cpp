// The management functions of directories: creation, removal, copy, move,
// rights, size, parent, the current directory and temporary files.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "files/diskfile.h"
#include "files/fh_commun.h"
#include "files/fh_table.h"
#include "files/functions.h"
#include "files/gestion.h"

namespace files {

namespace {

constexpr int ERR_REP_LECTURE = 80048;
constexpr int ERR_REP_CHANGE = 80049;
constexpr int ERR_INTROUVABLE = 80059;
constexpr int ERR_PAS_REPERTOIRE = 80062;
constexpr int ERR_REP_COPIE = 80064;
constexpr int ERR_REP_NON_VIDE = 80068;
constexpr int ERR_REP_SUPPRESSION = 80404;
constexpr int MSG_REP_NON_SUPPRIME = 4866;
constexpr int OPT_RECURSIF = 1;
constexpr int OPT_NON_RECURSIF = 2;
constexpr int OPTIONS_SUPPRESSION = 1 | 2 | 4 | 8 | 256;

std::string _sRepertoireCourant() {
    char* psz = getcwd(nullptr, 0);
    if (psz == nullptr) return std::string();
    std::string s(psz);
    free(psz);
    return s;
}

// The source of a directory copy or move: a pattern as it is, or a
// directory (80062 otherwise).
bool _bSourceRepertoire(CZNLibrary& lib, const std::string& sSource) {
    if (FIC_bJoker(sSource)) return true;
    if (FIC_bEstRepertoire(sSource)) return true;
    lib.RaiseError(ERR_PAS_REPERTOIRE, sSource.c_str());
    FIC_Raison(lib, 0);
    return false;
}

bool _bRepCopieDeplace(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
                       int nOptions, bool bDeplace) {
    std::string sSource = FIC_sNom(pstSource);
    const std::string sDestination = FIC_sNom(pstDestination);
    while (sSource.size() > 1 && sSource.back() == '/') sSource.pop_back();
    if (sSource.empty() || sDestination.empty()) {
        FIC_Echec(lib, ERR_INTROUVABLE, ENOENT);
        return false;
    }
    if (!_bSourceRepertoire(lib, sSource)) return false;
    const bool bRecursif = (nOptions & OPT_RECURSIF) != 0;
    const bool bJoker = FIC_bJoker(sSource);
    int nErrno = 0;
    if (bDeplace && !bRecursif) {
        // Without frRecursif only an empty source moves.
        std::vector<std::string> tab;
        if (bJoker) {
            FIC_bDeveloppe(sSource, true, true, tab);
        } else {
            FIC_bParcours(sSource, "", false, true, true, [&](const STEntree& st) {
                tab.push_back(st.sNom);
                return false;
            });
        }
        if (!tab.empty()) {
            FIC_Erreur(lib, ERR_REP_NON_VIDE);
            return false;
        }
    }
    if (bJoker) {
        std::string sDe, sVers;
        nErrno = FIC_nCopieVers(sSource, sDestination, bRecursif || bDeplace, bDeplace, sDe, sVers);
        // The directory the pattern emptied goes when nothing is left in it.
        if (nErrno == 0 && bDeplace) rmdir(FIC_sRepertoireDe(sSource).c_str());
    } else if (bDeplace) {
        // Into an existing directory under its own name, else to the name.
        const std::string sVers =
            FIC_bEstRepertoire(sDestination) ? FIC_sJoint(sDestination, FIC_sBaseDe(sSource)) : sDestination;
        if (!FIC_bDeplace(sSource, sVers)) nErrno = errno != 0 ? errno : EIO;
    } else if (bRecursif) {
        std::string sEchec;
        if (!FIC_bCopieArbre(sSource, sDestination, sEchec)) nErrno = errno != 0 ? errno : EIO;
    } else {
        // The files of the directory, dot files included, without its
        // subdirectories.
        std::vector<std::string> tab;
        FIC_bParcours(sSource, "", false, true, false, [&](const STEntree& st) {
            if (S_ISREG(st.st.st_mode)) tab.push_back(FIC_sJoint(st.sRepertoire, st.sNom));
            return true;
        });
        if (!FIC_bEstRepertoire(sDestination) && !CDiskFile::bCreateDirectory(sDestination.c_str())) nErrno = errno;
        for (size_t i = 0; nErrno == 0 && i < tab.size(); ++i)
            nErrno = FIC_nUnFichier(tab[i], FIC_sJoint(sDestination, FIC_sBaseDe(tab[i])), false);
    }
    if (nErrno != 0) {
        FIC_Echec(lib, ERR_REP_COPIE, nErrno);
        return false;
    }
    return true;
}

std::string _sTemporaire(CZNLibrary& lib, const std::string& sPrefixe, const std::string& sRepertoire) {
    char sz[XFILE_MAX_PATH];
    CXError clErreur;
    const bool bOk = sRepertoire.empty() ? CDiskFile::bGetTempName(sz, sPrefixe.c_str(), &clErreur)
                                         : CDiskFile::bGetTempName(sz, sRepertoire.c_str(), sPrefixe.c_str(), &clErreur);
    if (!bOk) {
        FIC_Echec(lib, ERR_INTROUVABLE, clErreur.nGetSystemError());
        return std::string();
    }
    return sz;
}

}  // namespace

// --- Creation and removal -------------------------------------------------------------

bool fRepCree(CZNLibrary& lib, const STManipAUB* pstChemin) {
    const std::string s = FIC_sNom(pstChemin);
    CXError clErreur;
    if (s.empty() || !CDiskFile::bCreateDirectory(s.c_str(), &clErreur)) {
        FIC_Echec(lib, ERR_INTROUVABLE, s.empty() ? ENOENT : clErreur.nGetSystemError());
        return false;
    }
    return true;
}
bool fRepCree_55(CZNLibrary& lib, const STManipAUB* pstChemin) { return fRepCree(lib, pstChemin); }

bool fRepSupprime(CZNLibrary& lib, const STManipAUB* pstRepertoire, int32_t nOptions) {
    if ((nOptions & ~OPTIONS_SUPPRESSION) != 0) {
        FIC_Erreur(lib, ERR_REP_SUPPRESSION);
        return false;
    }
    std::string s = FIC_sNom(pstRepertoire);
    const size_t nEtoile = s.find('*');
    if (nEtoile != std::string::npos) s.resize(nEtoile);
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    if (s.empty() || !FIC_bEstRepertoire(s)) {
        lib.RaiseError(ERR_PAS_REPERTOIRE, s.c_str());
        FIC_Raison(lib, 0);
        return false;
    }
    CXError clErreur;
    const bool bOk = (nOptions & OPT_RECURSIF) ? CDiskFile::bDeleteTree(s.c_str(), &clErreur)
                                               : CDiskFile::bDeleteDirectory(s.c_str(), &clErreur);
    if (!bOk) {
        lib.RaiseError(ERR_REP_SUPPRESSION);
        lib.pclGetError()->AddUserMessage(MSG_REP_NON_SUPPRIME);
        FIC_Raison(lib, clErreur.nGetSystemError());
        return false;
    }
    return true;
}
bool fRepSupprime(CZNLibrary& lib, const STManipAUB* pstRepertoire) { return fRepSupprime(lib, pstRepertoire, 0); }

// --- Copy and move ----------------------------------------------------------------------

bool fRepCopie(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination, int32_t nOptions) {
    return _bRepCopieDeplace(lib, pstSource, pstDestination, nOptions, false);
}
bool fRepCopie(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination) {
    return fRepCopie(lib, pstSource, pstDestination, 0);
}
bool fRepDeplace(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination, int32_t nOptions) {
    return _bRepCopieDeplace(lib, pstSource, pstDestination, nOptions, true);
}
bool fRepDeplace(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination) {
    return fRepDeplace(lib, pstSource, pstDestination, 0);
}

// --- Rights, size, parent ---------------------------------------------------------------

int32_t fRepDroit(CZNLibrary& lib, const STManipAUB* pstRepertoire) {
    const std::string s = FIC_sNom(pstRepertoire);
    if (s.empty()) {
        FIC_Echec(lib, ERR_INTROUVABLE, ENOENT);
        return 0;
    }
    // 1 when the directory can be read and holds an entry. Nothing is
    // written to find it out.
    bool bEntree = false;
    FIC_bParcours(s, "", false, true, true, [&](const STEntree&) {
        bEntree = true;
        return false;
    });
    return bEntree ? 1 : 0;
}

int64_t fRepTaille(CZNLibrary& lib, const STManipAUB* pstRepertoire, int32_t nOptions) {
    const std::string s = FIC_sNom(pstRepertoire);
    if (s.empty() || !FIC_bEstRepertoire(s)) {
        lib.RaiseError(ERR_PAS_REPERTOIRE, s.c_str());
        FIC_Raison(lib, 0);
        return -1;
    }
    int64_t oTotal = 0;
    const bool bOk = FIC_bParcours(s, "", (nOptions & OPT_NON_RECURSIF) == 0, true, false, [&](const STEntree& st) {
        if (S_ISREG(st.st.st_mode)) oTotal += st.st.st_size;
        return true;
    });
    if (!bOk) {
        FIC_Echec(lib, ERR_INTROUVABLE, errno);
        return -1;
    }
    return oTotal;
}
int64_t fRepTaille(CZNLibrary& lib, const STManipAUB* pstRepertoire) { return fRepTaille(lib, pstRepertoire, 0); }

CZNDSTR fRepParent(CZNLibrary& lib, const STManipAUB* pstChemin, int32_t nRelatif) {
    const std::string s = FIC_sNom(pstChemin);
    if (s.empty()) {
        FIC_Echec(lib, ERR_INTROUVABLE, ENOENT);
        return CZNDSTR();
    }
    char szComplet[XFILE_MAX_PATH];
    if (!CDiskFile::bGetFullPath(szComplet, s.c_str())) {
        FIC_Echec(lib, ERR_INTROUVABLE, errno);
        return CZNDSTR();
    }
    const std::string sParent = FIC_sRepertoireDe(szComplet);
    if (nRelatif != 1) return FIC_sVersLangue(sParent);
    char szRelatif[XFILE_MAX_PATH];
    if (!CDiskFile::bPathRelativePathTo(szRelatif, _sRepertoireCourant().c_str(), sParent.c_str())) {
        FIC_Echec(lib, ERR_INTROUVABLE, errno);
        return CZNDSTR();
    }
    return FIC_sVersLangue(szRelatif);
}
CZNDSTR fRepParent(CZNLibrary& lib, const STManipAUB* pstChemin) { return fRepParent(lib, pstChemin, 0); }

// --- Current directory -------------------------------------------------------------------

CZNDSTR fRepEnCours(CZNLibrary& lib) {
    const std::string s = _sRepertoireCourant();
    if (s.empty()) {
        FIC_Echec(lib, ERR_REP_LECTURE, errno);
        return CZNDSTR();
    }
    return FIC_sVersLangue(s);
}

CZNDSTR fRepEnCours(CZNLibrary& lib, const STManipAUB* pstNouveau) {
    const std::string s = FIC_sNom(pstNouveau);
    if (s.empty()) return fRepEnCours(lib);
    if (chdir(s.c_str()) != 0) {
        FIC_Echec(lib, ERR_REP_CHANGE, errno);
        return CZNDSTR();
    }
    return fRepEnCours(lib);
}

CZNDSTR fRepEnCours(CZNLibrary& lib, const STManipAUB* pstNouveau, const CAny& /*clAutre*/) {
    return fRepEnCours(lib, pstNouveau);
}

// --- Temporary files ----------------------------------------------------------------------

CZNDSTR fRepertoireTemp(CZNLibrary& lib) {
    char sz[XFILE_MAX_PATH];
    CXError clErreur;
    if (!CDiskFile::bGetTempDirectory(sz, &clErreur)) {
        FIC_Echec(lib, ERR_INTROUVABLE, clErreur.nGetSystemError());
        return CZNDSTR();
    }
    return FIC_sVersLangue(sz);
}

CZNDSTR fFichierTemp(CZNLibrary& lib, const STManipAUB* pstPrefixe, const STManipAUB* pstRepertoire) {
    return FIC_sVersLangue(_sTemporaire(lib, FIC_sNom(pstPrefixe), FIC_sNom(pstRepertoire)));
}
CZNDSTR fFichierTemp(CZNLibrary& lib, const STManipAUB* pstPrefixe) { return fFichierTemp(lib, pstPrefixe, nullptr); }
CZNDSTR fFichierTemp(CZNLibrary& lib) { return fFichierTemp(lib, nullptr, nullptr); }

int32_t fOuvreFichierTemp(CZNLibrary& lib, int32_t nMode, const STManipAUB* pstPrefixe,
                          const STManipAUB* pstRepertoire) {
    const std::string sNom = _sTemporaire(lib, FIC_sNom(pstPrefixe), FIC_sNom(pstRepertoire));
    if (sNom.empty()) return -1;
    CZNDSTR s;
    s.nAssign(sNom.data(), int(sNom.size()));
    const STManipAUB stNom{s.pGetMemoire(), 0};
    const int32_t h = fOuvre(lib, &stNom, nMode | FO_CREATION);
    // A file that could not be opened is not left behind.
    if (h < 0) unlink(sNom.c_str());
    return h;
}
int32_t fOuvreFichierTemp(CZNLibrary& lib, int32_t nMode, const STManipAUB* pstPrefixe) {
    return fOuvreFichierTemp(lib, nMode, pstPrefixe, nullptr);
}
int32_t fOuvreFichierTemp(CZNLibrary& lib, int32_t nMode) { return fOuvreFichierTemp(lib, nMode, nullptr, nullptr); }
int32_t fOuvreFichierTemp(CZNLibrary& lib) { return fOuvreFichierTemp(lib, FO_LECTUREECRITURE, nullptr, nullptr); }

}  // namespace files
