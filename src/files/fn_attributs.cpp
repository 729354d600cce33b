// The management functions of file dates, times and attributes.
//
// Dates and times are the file's local modification, creation (status
// change) or access time as YYYYMMDD, HHMMSS or YYYYMMDDHHMMSS. Attributes
// are letters: "D" directory, "H" hidden (a name beginning with "."), "R"
// read only (no write bit).
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "files/diskfile.h"
#include "files/fh_commun.h"
#include "files/fileio.h"
#include "files/functions.h"
#include "files/gestion.h"

namespace files {

namespace {

constexpr int ERR_TEMPS = 80050;
constexpr int ERR_DATE = 80051;
constexpr int ERR_HEURE = 80052;
constexpr int ERR_INTROUVABLE = 80059;
constexpr int ERR_PAS_REPERTOIRE = 80062;
constexpr int ERR_DATE_FICHIER = 81802;
constexpr mode_t ECRITURE = 0222;

enum eForme { FORME_DATE, FORME_HEURE, FORME_DATEHEURE };

struct STTemps {
    int nAnnee, nMois, nJour, nHeure, nMinute, nSeconde;
};

// The chosen time of a file: 0 modification, 1 creation, 2 access.
bool _bTemps(const std::string& sNom, int nQuel, STTemps& st, int* pnErrno) {
    struct stat64 s;
    if (stat64(sNom.c_str(), &s) != 0) {
        *pnErrno = errno;
        return false;
    }
    const struct timespec& ts = nQuel == 1 ? s.st_ctim : (nQuel == 2 ? s.st_atim : s.st_mtim);
    _stXFILETIME ft;
    FIO_ToFileTime(ts.tv_sec, ts.tv_nsec, &ft);
    st = {ft.wYear, ft.wMonth, ft.wDay, ft.wHour, ft.wMinute, ft.wSecond};
    return true;
}

CZNDSTR _sFormate(const STTemps& st, eForme e) {
    char sz[64];
    if (e == FORME_DATE)
        snprintf(sz, sizeof sz, "%04i%02i%02i", st.nAnnee, st.nMois, st.nJour);
    else if (e == FORME_HEURE)
        snprintf(sz, sizeof sz, "%02i%02i%02i", st.nHeure, st.nMinute, st.nSeconde);
    else
        snprintf(sz, sizeof sz, "%04i%02i%02i%02i%02i%02i", st.nAnnee, st.nMois, st.nJour, st.nHeure, st.nMinute,
                 st.nSeconde);
    return CZNDSTR(sz);
}

// Reads exactly n digits.
bool _bChiffres(const char*& p, int n, int& nValeur) {
    nValeur = 0;
    for (int i = 0; i < n; ++i, ++p) {
        if (*p < '0' || *p > '9') return false;
        nValeur = nValeur * 10 + (*p - '0');
    }
    return true;
}

bool _bDateValide(const STTemps& st) {
    static const int s_anJours[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (st.nAnnee < 1980 || st.nMois < 1 || st.nMois > 12 || st.nJour < 1 || st.nJour > s_anJours[st.nMois - 1])
        return false;
    const bool bBissextile = (st.nAnnee % 4 == 0 && st.nAnnee % 100 != 0) || st.nAnnee % 400 == 0;
    return !(st.nMois == 2 && st.nJour == 29 && !bBissextile);
}

CZNDSTR _sDateHeure(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstValeur, int nQuel, eForme e) {
    const std::string sNom = FIC_sNom(pstNom);
    if (nQuel < 0 || nQuel > 2) nQuel = 0;
    STTemps st{};
    int nErrno = 0;
    if (sNom.empty() || !_bTemps(sNom, nQuel, st, &nErrno)) {
        FIC_Echec(lib, ERR_TEMPS, sNom.empty() ? ENOENT : nErrno);
        return CZNDSTR();
    }
    const std::string sValeur = FIC_sNom(pstValeur);
    if (sValeur.empty()) return _sFormate(st, e);

    // The new value, field by field; the other parts stay as they are.
    const char* p = sValeur.c_str();
    bool bDate = true, bHeure = true;
    if (e != FORME_HEURE)
        bDate = _bChiffres(p, 4, st.nAnnee) && _bChiffres(p, 2, st.nMois) && _bChiffres(p, 2, st.nJour);
    if (bDate && e != FORME_DATE)
        bHeure = _bChiffres(p, 2, st.nHeure) && _bChiffres(p, 2, st.nMinute) && _bChiffres(p, 2, st.nSeconde) &&
                 st.nHeure < 24 && st.nMinute < 60 && st.nSeconde < 60;
    if (!bDate || !_bDateValide(st)) {
        FIC_Erreur(lib, ERR_DATE);
        return CZNDSTR();
    }
    if (!bHeure || *p != 0) {
        FIC_Erreur(lib, e == FORME_DATE ? ERR_DATE : ERR_HEURE);
        return CZNDSTR();
    }
    // The creation (status change) time belongs to the system.
    if (nQuel == 1) {
        FIC_Erreur(lib, ERR_DATE_FICHIER);
        return CZNDSTR();
    }
    const _stXFILETIME ft{uint16_t(st.nAnnee), uint16_t(st.nMois),   uint16_t(st.nJour), uint16_t(st.nHeure),
                          uint16_t(st.nMinute), uint16_t(st.nSeconde), 0};
    time_t t = 0;
    struct timespec ast[2];
    ast[0].tv_nsec = ast[1].tv_nsec = UTIME_OMIT;
    ast[0].tv_sec = ast[1].tv_sec = 0;
    if (!FIO_bFromFileTime(&ft, &t)) {
        FIC_Erreur(lib, ERR_DATE);
        return CZNDSTR();
    }
    ast[nQuel == 2 ? 0 : 1].tv_sec = t;
    ast[nQuel == 2 ? 0 : 1].tv_nsec = 0;
    if (utimensat(AT_FDCWD, sNom.c_str(), ast, 0) != 0) {
        FIC_Echec(lib, ERR_DATE_FICHIER, errno);
        return CZNDSTR();
    }
    _bTemps(sNom, nQuel, st, &nErrno);
    return _sFormate(st, e);
}

CZNDSTR _sLettres(const std::string& sNom, const struct stat64& st) {
    const uint32_t dw = CDiskFile::_dwAttributes(st.st_mode, sNom.c_str());
    std::string s;
    if (dw & XFILE_ATTRIBUTE_DIRECTORY) s += 'D';
    if (dw & XFILE_ATTRIBUTE_HIDDEN) s += 'H';
    if ((st.st_mode & ECRITURE) == 0) s += 'R';
    return CZNDSTR(s.c_str());
}

// Read only: every write bit goes; writable again: the owner's write bit
// comes back, never anyone else's.
bool _bLectureSeule(const std::string& sNom, const struct stat64& st, bool bLectureSeule) {
    const mode_t nMode = bLectureSeule ? (st.st_mode & 07777 & ~ECRITURE) : ((st.st_mode & 07777) | S_IWUSR);
    return nMode == (st.st_mode & 07777) || chmod(sNom.c_str(), nMode) == 0;
}

CZNDSTR _sAttribut(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstNouveaux, bool bRepertoire) {
    const std::string sNom = FIC_sNom(pstNom);
    struct stat64 st;
    if (sNom.empty() || stat64(sNom.c_str(), &st) != 0) {
        if (bRepertoire) {
            lib.RaiseError(ERR_PAS_REPERTOIRE, sNom.c_str());
            FIC_Raison(lib, 0);
        } else {
            FIC_Echec(lib, ERR_INTROUVABLE, sNom.empty() ? ENOENT : errno);
        }
        return CZNDSTR("ERR");
    }
    if (bRepertoire && !S_ISDIR(st.st_mode)) {
        lib.RaiseError(ERR_PAS_REPERTOIRE, sNom.c_str());
        FIC_Raison(lib, 0);
        return CZNDSTR("ERR");
    }
    if (pstNouveaux != nullptr && !pstNouveaux->bEstVide()) {
        const std::string sLettres = FIC_sNom(pstNouveaux);
        if (!_bLectureSeule(sNom, st, sLettres.find('R') != std::string::npos) || stat64(sNom.c_str(), &st) != 0) {
            FIC_Echec(lib, ERR_INTROUVABLE, errno);
            return CZNDSTR("ERR");
        }
    }
    return _sLettres(sNom, st);
}

}  // namespace

// --- Dates and times ------------------------------------------------------------------

CZNDSTR fDate(CZNLibrary& lib, const STManipAUB* pstNom) { return _sDateHeure(lib, pstNom, nullptr, 0, FORME_DATE); }
CZNDSTR fDate(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstValeur) {
    return _sDateHeure(lib, pstNom, pstValeur, 0, FORME_DATE);
}
CZNDSTR fDate(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstValeur, int32_t nQuel) {
    return _sDateHeure(lib, pstNom, pstValeur, nQuel, FORME_DATE);
}
CZNDSTR fHeure(CZNLibrary& lib, const STManipAUB* pstNom) { return _sDateHeure(lib, pstNom, nullptr, 0, FORME_HEURE); }
CZNDSTR fHeure(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstValeur) {
    return _sDateHeure(lib, pstNom, pstValeur, 0, FORME_HEURE);
}
CZNDSTR fHeure(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstValeur, int32_t nQuel) {
    return _sDateHeure(lib, pstNom, pstValeur, nQuel, FORME_HEURE);
}
CZNDSTR fDateHeure(CZNLibrary& lib, const STManipAUB* pstNom) {
    return _sDateHeure(lib, pstNom, nullptr, 0, FORME_DATEHEURE);
}
CZNDSTR fDateHeure(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstValeur) {
    return _sDateHeure(lib, pstNom, pstValeur, 0, FORME_DATEHEURE);
}
CZNDSTR fDateHeure(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstValeur, int32_t nQuel) {
    return _sDateHeure(lib, pstNom, pstValeur, nQuel, FORME_DATEHEURE);
}

// --- Attributes ----------------------------------------------------------------------

CZNDSTR fAttribut(CZNLibrary& lib, const STManipAUB* pstNom) { return _sAttribut(lib, pstNom, nullptr, false); }
CZNDSTR fAttribut(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstNouveaux) {
    return _sAttribut(lib, pstNom, pstNouveaux, false);
}
CZNDSTR fRepAttribut(CZNLibrary& lib, const STManipAUB* pstNom) { return _sAttribut(lib, pstNom, nullptr, true); }
CZNDSTR fRepAttribut(CZNLibrary& lib, const STManipAUB* pstNom, const STManipAUB* pstNouveaux) {
    return _sAttribut(lib, pstNom, pstNouveaux, true);
}

bool fAttributLectureSeule(CZNLibrary& lib, const STManipAUB* pstNom) {
    const std::string sNom = FIC_sNom(pstNom);
    struct stat64 st;
    if (sNom.empty() || stat64(sNom.c_str(), &st) != 0) {
        FIC_Echec(lib, ERR_INTROUVABLE, sNom.empty() ? ENOENT : errno);
        return false;
    }
    return (st.st_mode & ECRITURE) == 0;
}

bool fAttributLectureSeule(CZNLibrary& lib, const STManipAUB* pstNom, bool bLectureSeule) {
    const std::string sNom = FIC_sNom(pstNom);
    struct stat64 st;
    if (sNom.empty() || stat64(sNom.c_str(), &st) != 0 || !_bLectureSeule(sNom, st, bLectureSeule)) {
        FIC_Echec(lib, ERR_INTROUVABLE, sNom.empty() ? ENOENT : errno);
        return false;
    }
    return true;
}

}  // namespace files
