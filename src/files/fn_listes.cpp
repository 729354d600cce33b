// The listing functions: files or directories matching a pattern, as one
// text, through a procedure of the program called for each, or one name per
// call (fRep).
#include <sys/stat.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "files/diskfile.h"
#include "files/fh_commun.h"
#include "files/fh_table.h"
#include "files/fileio.h"
#include "files/functions.h"
#include "files/gestion.h"

namespace files {

namespace {

constexpr int ERR_TYPE_RECHERCHE = 80053;
constexpr int ERR_PAS_DE_RECHERCHE = 80054;
constexpr int OPT_NON_RECURSIF = 2;
constexpr int OPT_INTERRUPTIBLE = 4;
constexpr int OPT_INFORMATION = 16;
constexpr int OPT_SANS_FICHIER_CACHE = 256;
constexpr int OPT_SANS_REPERTOIRE_CACHE = 512;
constexpr int FL_FICHIER = 0;
constexpr int FL_CHANGE_REPERTOIRE = 1;
constexpr int FL_PREMIER_FICHIER = 2;
constexpr int FR_FICHIER = 39;
constexpr int FR_REPERTOIRE = 55;
constexpr int FR_UNICODE = 4096;

// The search of fRep, kept between calls (one at a time per process).
struct STRecherche {
    std::mutex clVerrou;
    bool bEnCours = false;
    bool bUnicode = false;
    std::vector<std::string> tabNoms;
    size_t nSuivant = 0;
} s_stRecherche;

void _SepareMotif(const std::string& sMotif, std::string& sRep, std::string& sFiltre) {
    const size_t n = sMotif.rfind('/');
    sRep = n == std::string::npos ? std::string(".") : (n == 0 ? std::string("/") : sMotif.substr(0, n));
    sFiltre = n == std::string::npos ? sMotif : sMotif.substr(n + 1);
    if (sFiltre.empty()) sFiltre = "*";
}

// A directory below the start whose own name, or an ancestor's, begins
// with ".".
bool _bSousRepertoireCache(const std::string& sDepart, const std::string& sRep) {
    if (sRep.size() <= sDepart.size()) return false;
    return sRep.find("/.", sDepart.size()) != std::string::npos;
}

// Walks a listing: fn(entry) for each file (or directory) kept by the
// options; false from fn stops.
bool _bListe(const std::string& sMotif, int nOptions, bool bRepertoires,
             const std::function<bool(const STEntree&)>& fn) {
    std::string sRep, sFiltre;
    _SepareMotif(sMotif, sRep, sFiltre);
    return FIC_bParcours(sRep, sFiltre, (nOptions & OPT_NON_RECURSIF) == 0, !bRepertoires, bRepertoires,
                         [&](const STEntree& st) {
                             if ((nOptions & OPT_SANS_FICHIER_CACHE) && !st.sNom.empty() && st.sNom[0] == '.')
                                 return true;
                             if ((nOptions & OPT_SANS_REPERTOIRE_CACHE) && _bSousRepertoireCache(sRep, st.sRepertoire))
                                 return true;
                             return fn(st);
                         });
}

CZNDSTR _sListeTexte(CZNLibrary& lib, const STManipAUB* pstMotif, int nOptions, bool bRepertoires) {
    std::string sResultat;
    _bListe(FIC_sNom(pstMotif), nOptions, bRepertoires, [&](const STEntree& st) {
        const std::string sComplet = FIC_sJoint(st.sRepertoire, st.sNom);
        if (!sResultat.empty()) sResultat += "\r\n";
        if (nOptions & OPT_INFORMATION) {
            _stXFILETIME ft;
            FIO_ToFileTime(st.st.st_mtim.tv_sec, st.st.st_mtim.tv_nsec, &ft);
            const uint32_t dw = CDiskFile::_dwAttributes(st.st.st_mode, st.sNom.c_str());
            std::string sLettres;
            if (dw & XFILE_ATTRIBUTE_DIRECTORY) sLettres += 'D';
            if (dw & XFILE_ATTRIBUTE_HIDDEN) sLettres += 'H';
            if ((st.st.st_mode & 0222) == 0) sLettres += 'R';
            char sz[96];
            snprintf(sz, sizeof sz, "\t%lld\t%04i%02i%02i%02i%02i%02i\t", static_cast<long long>(st.st.st_size),
                     ft.wYear, ft.wMonth, ft.wDay, ft.wHour, ft.wMinute, ft.wSecond);
            sResultat += sComplet + sz + sLettres;
        } else {
            sResultat += sComplet;
        }
        return true;
    });
    (void)lib;
    return FIC_sVersLangue(sResultat);
}

int32_t _nListeProcedure(CZNLibrary& lib, const STManipAUB* pstMotif, const char* pszProcedure, const CAny* pclValeur,
                         int nOptions, bool bRepertoires) {
    const std::string sMotif = FIC_sNom(pstMotif);
    std::string sDepart, sFiltre;
    _SepareMotif(sMotif, sDepart, sFiltre);
    int32_t nTrouves = 0;
    std::string sPrecedent;
    bool bPremier = true;
    _bListe(sMotif, nOptions, bRepertoires, [&](const STEntree& st) {
        if ((nOptions & OPT_INTERRUPTIBLE) && lib.bVerifieInteruptionUtilisateur()) return false;
        ++nTrouves;
        int nIndicateur = FL_FICHIER;
        if (bPremier)
            nIndicateur = st.sRepertoire == sDepart ? FL_PREMIER_FICHIER : FL_CHANGE_REPERTOIRE;
        else if (st.sRepertoire != sPrecedent)
            nIndicateur = FL_CHANGE_REPERTOIRE;
        bPremier = false;
        sPrecedent = st.sRepertoire;
        CCallback clAppel;
        if (!clAppel.bInit(pszProcedure, &lib, true)) return false;
        CAny clCopie;
        if (pclValeur != nullptr) clCopie.nCopy(*pclValeur);
        if (!clAppel.bEmpileChaine(st.sRepertoire.c_str()) || !clAppel.bEmpileChaine(st.sNom.c_str()) ||
            !clAppel.bEmpileEntier(nIndicateur) || !clAppel.bEmpileAny(&clCopie))
            return false;
        CAny clRetour;
        if (!clAppel.bExecute(&clRetour)) return false;
        // A boolean or an integer 0 stops the listing; no result goes on.
        const int nType = clRetour.nGetType();
        if (nType == ANY_BOOL || (nType >= ANY_UI1 && nType <= ANY_I8) || nType == ANY_I4BIS) {
            int32_t n = 1;
            if (clRetour.nGetINT(&n) == 0 && n == 0) return false;
        }
        return true;
    });
    return nTrouves;
}

}  // namespace


// --- Listings --------------------------------------------------------------------------

CZNDSTR fListeFichier(CZNLibrary& lib, const STManipAUB* pstMotif) { return _sListeTexte(lib, pstMotif, 0, false); }
CZNDSTR fListeFichier(CZNLibrary& lib, const STManipAUB* pstMotif, int32_t nOptions) {
    return _sListeTexte(lib, pstMotif, nOptions, false);
}
int32_t fListeFichier(CZNLibrary& lib, const STManipAUB* pstMotif, const char* pszProcedure) {
    return _nListeProcedure(lib, pstMotif, pszProcedure, nullptr, 0, false);
}
int32_t fListeFichier(CZNLibrary& lib, const STManipAUB* pstMotif, const char* pszProcedure, const CAny& clValeur) {
    return _nListeProcedure(lib, pstMotif, pszProcedure, &clValeur, 0, false);
}
int32_t fListeFichier(CZNLibrary& lib, const STManipAUB* pstMotif, const char* pszProcedure, const CAny& clValeur,
                      int32_t nOptions) {
    return _nListeProcedure(lib, pstMotif, pszProcedure, &clValeur, nOptions, false);
}

CZNDSTR fListeRepertoire(CZNLibrary& lib, const STManipAUB* pstMotif) { return _sListeTexte(lib, pstMotif, 0, true); }
CZNDSTR fListeRepertoire(CZNLibrary& lib, const STManipAUB* pstMotif, int32_t nOptions) {
    return _sListeTexte(lib, pstMotif, nOptions, true);
}
int32_t fListeRepertoire(CZNLibrary& lib, const STManipAUB* pstMotif, const char* pszProcedure) {
    return _nListeProcedure(lib, pstMotif, pszProcedure, nullptr, 0, true);
}
int32_t fListeRepertoire(CZNLibrary& lib, const STManipAUB* pstMotif, const char* pszProcedure,
                         const CAny& clValeur) {
    return _nListeProcedure(lib, pstMotif, pszProcedure, &clValeur, 0, true);
}
int32_t fListeRepertoire(CZNLibrary& lib, const STManipAUB* pstMotif, const char* pszProcedure, const CAny& clValeur,
                         int32_t nOptions) {
    return _nListeProcedure(lib, pstMotif, pszProcedure, &clValeur, nOptions, true);
}

// --- One name per call ---------------------------------------------------------------------

CZNDSTR fRep(CZNLibrary& lib, const STManipAUB* pstMotif, int32_t nType) {
    const int nBase = nType & ~FR_UNICODE;
    if (!(nBase == FR_FICHIER || nBase == FR_REPERTOIRE || (nBase == 0 && nType == FR_UNICODE))) {
        FIC_Erreur(lib, ERR_TYPE_RECHERCHE);
        return CZNDSTR();
    }
    const std::string sMotif = FIC_sNom(pstMotif);
    std::lock_guard<std::mutex> clGarde(s_stRecherche.clVerrou);
    STRecherche& st = s_stRecherche;
    if (!sMotif.empty()) {
        st.tabNoms.clear();
        st.nSuivant = 0;
        st.bEnCours = true;
        st.bUnicode = (nType & FR_UNICODE) != 0;
        std::string sRep, sFiltre;
        _SepareMotif(sMotif, sRep, sFiltre);
        FIC_bParcours(sRep, sFiltre, false, true, nBase != FR_FICHIER, [&](const STEntree& e) {
            st.tabNoms.push_back(e.sNom);
            return true;
        });
    } else if (!st.bEnCours) {
        FIC_Erreur(lib, ERR_PAS_DE_RECHERCHE);
        return CZNDSTR();
    }
    if (st.nSuivant >= st.tabNoms.size()) {
        // The end of the search closes it.
        st.bEnCours = false;
        st.tabNoms.clear();
        st.nSuivant = 0;
        return CZNDSTR();
    }
    return FIC_sVersLangue(st.tabNoms[st.nSuivant++]);
}
CZNDSTR fRep(CZNLibrary& lib, const STManipAUB* pstMotif) { return fRep(lib, pstMotif, FR_FICHIER); }

}  // namespace files

void FIC_FermeRecherche() {
    files::STRecherche& st = files::s_stRecherche;
    std::lock_guard<std::mutex> clGarde(st.clVerrou);
    st.bEnCours = false;
    st.tabNoms.clear();
    st.nSuivant = 0;
}
