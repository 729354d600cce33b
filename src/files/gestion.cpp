// Names, expansion, walks and whole-file operations of the management
// functions (see gestion.h).
#include "files/gestion.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <utility>

#include "files/diskfile.h"
#include "files/fh_table.h"
#include "files/fileio.h"
#include "platform/charset.h"

namespace files {

namespace {

constexpr uint32_t CP_UTF8_ = 65001;

// Decodes strict UTF-8; false on any malformed sequence.
bool _bDecodeUTF8(const std::string& s, std::vector<wchar_t>& tab) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        uint32_t u;
        size_t n;
        if (c < 0x80) {
            u = c;
            n = 0;
        } else if (c >= 0xC2 && c < 0xE0) {
            u = c & 0x1F;
            n = 1;
        } else if (c >= 0xE0 && c < 0xF0) {
            u = c & 0x0F;
            n = 2;
        } else if (c >= 0xF0 && c < 0xF5) {
            u = c & 0x07;
            n = 3;
        } else {
            return false;
        }
        if (n > 0 && i + n >= s.size()) return false;
        for (size_t k = 1; k <= n; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            u = (u << 6) | (d & 0x3F);
        }
        if ((n == 2 && (u < 0x800 || (u >= 0xD800 && u < 0xE000))) || (n == 3 && (u < 0x10000 || u > 0x10FFFF)))
            return false;
        tab.push_back(static_cast<wchar_t>(u));
        i += n + 1;
    }
    return true;
}

bool _bNomPointe(const std::string& s) { return !s.empty() && s[0] == '.'; }

// A name matches a pattern with the stream layer's matcher; a dot file only
// when the pattern asks for one.
bool _bCorrespond(const std::string& sNom, const std::string& sMotif) {
    if (sMotif.empty()) return true;
    if (_bNomPointe(sNom) && !_bNomPointe(sMotif)) return false;
    return CDiskFile::_bFiltreFileName(sNom.c_str(), sMotif.c_str());
}

bool _bGarde(const struct stat64& st, bool bFichiers, bool bRepertoires) {
    return S_ISDIR(st.st_mode) ? bRepertoires : bFichiers;
}

using CVus = std::set<std::pair<uint64_t, uint64_t>>;

bool _bParcours(const std::string& sRepertoire, const std::string& sMotif, bool bRecursif, bool bFichiers,
                bool bRepertoires, const std::function<bool(const STEntree&)>& fn, CVus& clVus, bool& bArret) {
    struct stat64 stRep;
    if (stat64(sRepertoire.c_str(), &stRep) != 0) return false;
    // A directory reached twice (bind mounts, a cycle) is walked once.
    if (!clVus.emplace(uint64_t(stRep.st_dev), uint64_t(stRep.st_ino)).second) return true;
    std::vector<std::string> tab;
    if (!FIO_bNomsRepertoire(sRepertoire, &tab)) return false;
    for (const std::string& sNom : tab) {
        STEntree st;
        st.sRepertoire = sRepertoire;
        st.sNom = sNom;
        const std::string sChemin = FIC_sJoint(sRepertoire, sNom);
        if (lstat64(sChemin.c_str(), &st.st) != 0) continue;
        // Listings show dot files to any pattern that matches them.
        const bool bCorrespond = sMotif.empty() || CDiskFile::_bFiltreFileName(sNom.c_str(), sMotif.c_str());
        if (_bGarde(st.st, bFichiers, bRepertoires) && bCorrespond && !fn(st)) {
            bArret = true;
            return true;
        }
        if (bRecursif && S_ISDIR(st.st.st_mode)) {
            _bParcours(sChemin, sMotif, true, bFichiers, bRepertoires, fn, clVus, bArret);
            if (bArret) return true;
        }
    }
    return true;
}

// Reads a whole open file from its start with offsets (its position stays).
bool _bLitDescripteur(int nFd, std::string& sContenu) {
    sContenu.clear();
    struct stat64 st;
    if (fstat64(nFd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        if (static_cast<unsigned long long>(st.st_size) >= sContenu.max_size()) {
            errno = EFBIG;
            return false;
        }
        sContenu.reserve(size_t(st.st_size));
    }
    char a[65536];
    off64_t o = 0;
    for (;;) {
        const ssize_t n = pread64(nFd, a, sizeof a, o);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
        sContenu.append(a, size_t(n));
        o += n;
    }
}

// A descriptor to read a file: the table's own when the process holds the
// file open (then *pbEmprunte is set and it must not be closed), else a new one.
int _nOuvreLecture(const std::string& sNom, bool* pbEmprunte) {
    *pbEmprunte = false;
    struct stat64 st;
    if (stat64(sNom.c_str(), &st) == 0) {
        const int nFd = FIC_nDescripteurDe(st.st_dev, st.st_ino);
        if (nFd >= 0) {
            *pbEmprunte = true;
            return nFd;
        }
    }
    return open64(sNom.c_str(), O_RDONLY | O_CLOEXEC);
}

void _Ferme(int nFd, bool bEmprunte) {
    if (nFd >= 0 && !bEmprunte) FIO_CloseKeepErrno(nFd);
}

}  // namespace

// --- Names ------------------------------------------------------------------------

std::string FIC_sNom(const STManipAUB* pstNom) {
    std::string s = FIC_sTexte(pstNom);
    // A name is cut at a zero: the file system would cut it there anyway.
    const size_t nZero = s.find('\0');
    if (nZero != std::string::npos) s.resize(nZero);
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

std::string FIC_sTexte(const STManipAUB* pstNom) {
    std::string s;
    if (pstNom == nullptr || pstNom->bEstVide()) return s;
    if (pstNom->bEstUNICODE()) {
        const int n = int(pstNom->nGetLongueur() / sizeof(wchar_t));
        if (n > 0) {
            const int nOctets = WideCharToMultiByte(CP_UTF8_, 0, pstNom->pszGetStringW(), n, nullptr, 0, nullptr, nullptr);
            if (nOctets > 0) {
                s.resize(size_t(nOctets));
                WideCharToMultiByte(CP_UTF8_, 0, pstNom->pszGetStringW(), n, s.data(), nOctets, nullptr, nullptr);
            }
        }
    } else {
        s.assign(pstNom->pszGetString(), pstNom->nGetLongueur());
    }
    return s;
}

CZNDSTR FIC_sVersLangue(const std::string& sNom) {
    CZNDSTR s;
    const bool bAscii = std::all_of(sNom.begin(), sNom.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    std::vector<wchar_t> tab;
    if (!bAscii && _bDecodeUTF8(sNom, tab)) {
        s.nAssignUNICODE(tab.data(), int(tab.size()));
        return s;
    }
    if (!sNom.empty()) s.nAssign(sNom.data(), int(sNom.size()));
    return s;
}

bool FIC_bJoker(const std::string& sNom) { return sNom.find_first_of("*?") != std::string::npos; }

std::string FIC_sRepertoireDe(const std::string& sNom) { return FIO_sRepertoireDe(sNom); }

std::string FIC_sBaseDe(const std::string& sNom) { return FIO_sBaseDe(sNom); }

std::string FIC_sJoint(const std::string& sRepertoire, const std::string& sNom) {
    if (sRepertoire.empty()) return sNom;
    if (sRepertoire.back() == '/') return sRepertoire + sNom;
    return sRepertoire + "/" + sNom;
}

std::string FIC_sComplet(const std::string& sNom) {
    if (!sNom.empty() && sNom[0] == '/') return sNom;
    char* psz = getcwd(nullptr, 0);
    if (psz == nullptr) return sNom;
    std::string s = FIC_sJoint(psz, sNom);
    free(psz);
    return s;
}

// --- Expansion and walks -------------------------------------------------------------

bool FIC_bDeveloppe(const std::string& sMotif, bool bFichiers, bool bRepertoires, std::vector<std::string>& tab) {
    const size_t n = sMotif.rfind('/');
    const std::string sRep = n == std::string::npos ? std::string() : sMotif.substr(0, n + 1);
    const std::string sFiltre = n == std::string::npos ? sMotif : sMotif.substr(n + 1);
    std::vector<std::string> tabNoms;
    if (!FIO_bNomsRepertoire(sRep, &tabNoms)) return false;
    for (const std::string& sNom : tabNoms) {
        if (!_bCorrespond(sNom, sFiltre)) continue;
        struct stat64 st;
        const std::string sChemin = sRep + sNom;
        if (lstat64(sChemin.c_str(), &st) != 0 || !_bGarde(st, bFichiers, bRepertoires)) continue;
        tab.push_back(sChemin);
    }
    return true;
}

bool FIC_bParcours(const std::string& sRepertoire, const std::string& sMotif, bool bRecursif, bool bFichiers,
                   bool bRepertoires, const std::function<bool(const STEntree&)>& fn) {
    CVus clVus;
    bool bArret = false;
    return _bParcours(sRepertoire, sMotif, bRecursif, bFichiers, bRepertoires, fn, clVus, bArret);
}

// --- Whole files ------------------------------------------------------------------

bool FIC_bCopie(const std::string& sSource, const std::string& sDestination, CXError* pclErreur) {
    bool bEmprunte = false;
    const int nFd = _nOuvreLecture(sSource, &bEmprunte);
    if (nFd < 0) return CDiskFile::bCopy(sDestination.c_str(), sSource.c_str(), pclErreur);
    const bool bOk = CDiskFile::bCopyFromDescriptor(nFd, sDestination.c_str(), pclErreur, sSource.c_str());
    _Ferme(nFd, bEmprunte);
    return bOk;
}

bool FIC_bCharge(const std::string& sNom, std::string& sContenu) {
    bool bEmprunte = false;
    const int nFd = _nOuvreLecture(sNom, &bEmprunte);
    if (nFd < 0) return false;
    const bool bOk = _bLitDescripteur(nFd, sContenu);
    _Ferme(nFd, bEmprunte);
    return bOk;
}

int FIC_nCompare(const std::string& sNom1, const std::string& sNom2) {
    bool b1 = false, b2 = false;
    const int n1 = _nOuvreLecture(sNom1, &b1);
    if (n1 < 0) return -1;
    const int n2 = _nOuvreLecture(sNom2, &b2);
    if (n2 < 0) {
        _Ferme(n1, b1);
        return -2;
    }
    constexpr size_t BLOC = 65536;
    std::unique_ptr<char[]> p1(new char[BLOC]), p2(new char[BLOC]);
    int nRes = 0;
    off64_t o = 0;
    for (;;) {
        const ssize_t l1 = pread64(n1, p1.get(), BLOC, o);
        const ssize_t l2 = pread64(n2, p2.get(), BLOC, o);
        if (l1 < 0) {
            nRes = -1;
            break;
        }
        if (l2 < 0) {
            nRes = -2;
            break;
        }
        if (l1 != l2 || memcmp(p1.get(), p2.get(), size_t(l1)) != 0) {
            nRes = 1;
            break;
        }
        if (l1 == 0) break;
        o += l1;
    }
    _Ferme(n1, b1);
    _Ferme(n2, b2);
    return nRes;
}

bool FIC_bCopieArbre(const std::string& sSource, const std::string& sDestination, std::string& sEchec) {
    struct stat64 stSource;
    if (stat64(sSource.c_str(), &stSource) != 0 || !S_ISDIR(stSource.st_mode)) {
        if (errno == 0) errno = ENOTDIR;
        sEchec = sSource;
        return false;
    }
    if (!CDiskFile::bCreateDirectory(sDestination.c_str())) {
        sEchec = sDestination;
        return false;
    }
    // The destination inside the source must not be copied into itself.
    struct stat64 stDest;
    const bool bDest = stat64(sDestination.c_str(), &stDest) == 0;
    std::vector<std::string> tab;
    if (!FIO_bNomsRepertoire(sSource, &tab)) {
        sEchec = sSource;
        return false;
    }
    for (const std::string& sNom : tab) {
        const std::string sDe = FIC_sJoint(sSource, sNom), sVers = FIC_sJoint(sDestination, sNom);
        struct stat64 st;
        if (lstat64(sDe.c_str(), &st) != 0) continue;
        if (bDest && st.st_dev == stDest.st_dev && st.st_ino == stDest.st_ino) continue;
        bool bOk = true;
        if (S_ISLNK(st.st_mode)) {
            // A link stays a link: the copy never reads what it points to.
            std::string sCible(size_t(st.st_size > 0 ? st.st_size : 256) + 1, '\0');
            const ssize_t n = readlink(sDe.c_str(), sCible.data(), sCible.size());
            bOk = n >= 0;
            if (bOk) {
                sCible.resize(size_t(n));
                unlink(sVers.c_str());
                bOk = symlink(sCible.c_str(), sVers.c_str()) == 0;
            }
        } else if (S_ISDIR(st.st_mode)) {
            bOk = FIC_bCopieArbre(sDe, sVers, sEchec);
            if (!bOk) return false;
        } else if (S_ISREG(st.st_mode)) {
            CXError clErreur;
            bOk = FIC_bCopie(sDe, sVers, &clErreur);
            if (!bOk && clErreur.nGetSystemError() != 0) errno = clErreur.nGetSystemError();
        } else {
            continue;   // devices, pipes and sockets are not contents
        }
        if (!bOk) {
            sEchec = sDe;
            return false;
        }
    }
    return true;
}

bool FIC_bDeplace(const std::string& sSource, const std::string& sDestination) {
    if (rename(sSource.c_str(), sDestination.c_str()) == 0) return true;
    if (errno != EXDEV) return false;
    struct stat64 st;
    if (lstat64(sSource.c_str(), &st) != 0) return false;
    if (S_ISDIR(st.st_mode)) {
        std::string sEchec;
        // The copy is complete before anything of the source goes; a failed
        // copy leaves what it made, never less of the source.
        if (!FIC_bCopieArbre(sSource, sDestination, sEchec)) return false;
        return CDiskFile::bDeleteTree(sSource.c_str());
    }
    if (!CDiskFile::bMove(sDestination.c_str(), sSource.c_str())) return false;
    return true;
}

// --- Copies and moves by name -----------------------------------------------------

bool FIC_bEstRepertoire(const std::string& s) {
    struct stat64 st;
    return stat64(s.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// One file copied (or moved) to its destination, which may name the
// directory to put it in. Gives the failing errno, 0 on success.
int FIC_nUnFichier(const std::string& sSource, std::string sDestination, bool bDeplace) {
    if ((!sDestination.empty() && sDestination.back() == '/') || FIC_bEstRepertoire(sDestination))
        sDestination = FIC_sJoint(sDestination, FIC_sBaseDe(sSource));
    const std::string sRep = FIC_sRepertoireDe(sDestination);
    if (!FIC_bEstRepertoire(sRep)) {
        CXError clErreur;
        if (!CDiskFile::bCreateDirectory(sRep.c_str(), &clErreur)) return clErreur.nGetSystemError() ? clErreur.nGetSystemError() : EIO;
    }
    if (bDeplace) return FIC_bDeplace(sSource, sDestination) ? 0 : (errno ? errno : EIO);
    CXError clErreur;
    if (FIC_bCopie(sSource, sDestination, &clErreur)) return 0;
    int nErrno = clErreur.nGetSystemError();
    if (nErrno == EACCES) {
        // A read-only destination is made writable, once, and the copy tried again.
        struct stat64 st;
        if (stat64(sDestination.c_str(), &st) == 0 && chmod(sDestination.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0) {
            CXError clEncore;
            if (FIC_bCopie(sSource, sDestination, &clEncore)) return 0;
            nErrno = clEncore.nGetSystemError();
        }
    }
    return nErrno != 0 ? nErrno : EIO;
}

int FIC_nCopieVers(const std::string& sSource, const std::string& sDestination, bool bRecursif, bool bDeplace,
                   std::string& sEchecDe, std::string& sEchecVers) {
    sEchecDe = sSource;
    sEchecVers = sDestination;
    if (!FIC_bEstRepertoire(sDestination)) {
        CXError clErreur;
        if (!CDiskFile::bCreateDirectory(sDestination.c_str(), &clErreur))
            return clErreur.nGetSystemError() != 0 ? clErreur.nGetSystemError() : EIO;
    }
    std::vector<std::string> tab;
    if (FIC_bJoker(sSource)) {
        if (!FIC_bDeveloppe(sSource, true, bRecursif, tab)) return errno != 0 ? errno : EIO;
    } else {
        tab.push_back(sSource);
    }
    for (const std::string& s : tab) {
        struct stat64 st;
        if (lstat64(s.c_str(), &st) != 0) continue;
        const std::string sVers = FIC_sJoint(sDestination, FIC_sBaseDe(s));
        int nErrno = 0;
        if (S_ISDIR(st.st_mode)) {
            if (!bRecursif) continue;   // a directory goes only with its contents
            std::string sEchec;
            if (bDeplace ? !FIC_bDeplace(s, sVers) : !FIC_bCopieArbre(s, sVers, sEchec)) nErrno = errno ? errno : EIO;
        } else {
            nErrno = FIC_nUnFichier(s, sVers, bDeplace);
        }
        if (nErrno != 0) {
            sEchecDe = s;
            sEchecVers = sVers;
            return nErrno;
        }
    }
    return 0;
}

// --- Errors -------------------------------------------------------------------------

void FIC_Echec(CZNLibrary& lib, int nCode, int nErrno) {
    lib.RaiseError(nCode);
    FIC_Raison(lib, nErrno);
}

void FIC_Raison(CZNLibrary& lib, int nErrno) {
    CXError* pcl = lib.pclGetError();
    if (nErrno != 0) {
        pcl->SetSystemError(nErrno, strerror(nErrno));
        pcl->AddUserMessageNoFormat(strerror(nErrno));
    }
    pcl->SetErrorLevel(EL_ERROR);
}

}  // namespace files
