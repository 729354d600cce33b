// Parameter persistence on INI files: resolving the file, the stored forms
// of values and paths, and the save, load and delete operations.
#include "system/persistance.h"

#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

#include "qvstd/host.h"
#include "qvstd/xerror.h"
#include "runtime/znlibrary.h"
#include "system/profile.h"

namespace {

constexpr int ERR_NOM_VIDE = 80800;
const char k_szDefautInchange[] = "****DEFAULT****";

bool _bAbsolu(const std::string& s) {
    return !s.empty() && (s[0] == '/' || s[0] == '\\' || (s.size() > 1 && s[1] == ':') || s.back() == ':');
}

// Everything up to the last separator; empty without one.
std::string _Repertoire(const std::string& s) {
    size_t n = s.find_last_of("/\\");
    return n == std::string::npos ? std::string() : s.substr(0, n);
}

std::string _Slashes(std::string s) {
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

bool _bVide(const char* psz) { return psz == nullptr || *psz == 0; }

ILibShop* _piBoutique(const CZNLibrary* pclLib) { return pclLib != nullptr ? pclLib->piGetLibShop() : nullptr; }

}  // namespace

CPersistance::CPersistance(CZNLibrary* pclComposante) : m_pclComposante(pclComposante) {
    static_assert(sizeof(CPersistance) <= QV_TAILLE_PERSISTANCE, "the host allocates QV_TAILLE_PERSISTANCE bytes");
}

void CPersistance::Release() {
    if (--m_nRef > 0) return;
    // The host may have allocated the memory itself (QV_TAILLE_PERSISTANCE
    // bytes): freed unsized.
    this->~CPersistance();
    ::operator delete(static_cast<void*>(this));
}

void CPersistance::SetModeINI(const char* pszChemin) {
    m_bInitialise = 0;
    m_nMode = MODE_INI;
    m_sChemin.Set(pszChemin);
}

void CPersistance::Term() {
    m_sChemin.Vide();
    m_bInitialise = 0;
}

std::string CPersistance::s_EncodeINI(const char* pszValeur) {
    std::string s;
    for (const char* p = pszValeur ? pszValeur : ""; *p; ++p) {
        switch (*p) {
            case '\\': s += "\\\\"; break;
            case '\n': s += "\\n"; break;
            case '\r': s += "\\r"; break;
            case '\t': s += "\\t"; break;
            case ' ': s += "\\_"; break;
            default: s += *p;
        }
    }
    return s;
}

std::string CPersistance::s_DecodeINI(const std::string& sStocke) {
    std::string s;
    s.reserve(sStocke.size());
    for (size_t i = 0; i < sStocke.size(); ++i) {
        const char c = sStocke[i];
        if (c != '\\' || i + 1 == sStocke.size()) {
            s += c;
            continue;
        }
        switch (sStocke[i + 1]) {
            case '\\': s += '\\'; break;
            case '_': s += ' '; break;
            case 'n': s += '\n'; break;
            case 'r': s += '\r'; break;
            case 't': s += '\t'; break;
            default: s += c; s += sStocke[i + 1];
        }
        ++i;
    }
    return s;
}

std::string CPersistance::s_NomSectionINI(const char* pszChemin) {
    std::string s = pszChemin ? pszChemin : "";
    if (!s.empty() && s[0] == '\\') s.erase(0, 1);
    if (s.empty()) return "Global";
    for (char& c : s)
        if (c == '\\' || c == ' ' || c == '-' || c == '\t') c = '_';
    return s;
}

// "<project directory>/<project name>.ini", from the host's project object;
// the current directory when the project has no path. False without one.
bool CPersistance::_bNomParDefaut(std::string& sNom) const {
    ILibShop* piShop = _piBoutique(m_pclComposante);
    auto* piProjet = piShop != nullptr ? static_cast<IVMProjet*>(piShop->pCherche("VMProjet")) : nullptr;
    if (piProjet == nullptr) return false;
    const char* pszNom = piProjet->pszGetNom();
    const char* pszChemin = piProjet->pszGetChemin();
    std::string sRep = _bVide(pszChemin) ? std::string() : _Repertoire(pszChemin);
    std::string sProjet = pszNom ? pszNom : "";
    piProjet->Release();
    if (sRep.empty()) {
        std::string sCwd(4096, '\0');
        while (getcwd(sCwd.data(), sCwd.size()) == nullptr) {
            if (errno != ERANGE || sCwd.size() > (1u << 20)) return false;
            sCwd.resize(sCwd.size() * 2);
        }
        sRep = sCwd.c_str();
    }
    sNom = sRep + "/" + sProjet + ".ini";
    return true;
}

bool CPersistance::_bInit_INI() {
    const std::string sDonne = m_sChemin.pszGet();
    std::string sDefaut;
    const bool bDefaut = _bNomParDefaut(sDefaut);
    std::string sFichier;
    if (sDonne.empty()) {
        if (!bDefaut) return false;
        sFichier = sDefaut;
    } else if (_bAbsolu(sDonne) || !bDefaut) {
        sFichier = sDonne;
    } else {
        sFichier = _Repertoire(sDefaut) + "/" + sDonne;
    }
    if (!m_sChemin.Set(_Slashes(sFichier).c_str())) return false;
    m_bInitialise = 1;
    return true;
}

bool CPersistance::bInit(CXError* /*pclErreur*/, IZNHost* /*piVM*/) {
    if (m_nMode != MODE_INI) return false;
    return m_bInitialise || _bInit_INI();
}

int CPersistance::bSauveParametre(const char* pszChemin, const char* pszNom, const char* pszValeur, CXError* pclErreur,
                                  IZNHost* piVM) {
    // Without a name the profile engine would take the write for a deletion
    // of the whole section.
    if (_bVide(pszNom)) {
        if (pclErreur) pclErreur->SetUserErrorArgs(ERR_NOM_VIDE);
        return 0;
    }
    if (!bInit(pclErreur, piVM)) return 0;
    const std::string sSection = s_NomSectionINI(pszChemin);
    const std::string sValeur = s_EncodeINI(pszValeur);
    if (m_bVerifieInchange &&
        GetPrivateProfileText(sSection.c_str(), pszNom, k_szDefautInchange, m_sChemin.pszGet()) == sValeur)
        return 1;
    return WritePrivateProfileString(sSection.c_str(), pszNom, sValeur.c_str(), m_sChemin.pszGet()) ? 1 : 0;
}

int CPersistance::bChargeParametre(const char* pszChemin, const char* pszNom, char** ppszResultat,
                                   const char* pszDefaut, CXError* pclErreur, IZNHost* piVM) {
    if (ppszResultat == nullptr) return 0;
    *ppszResultat = nullptr;
    if (!bInit(pclErreur, piVM)) return 0;
    // The whole value, however long; without a name there is no value to
    // read (the engine would list the section's keys), only the default.
    std::string sValeur = pszDefaut ? pszDefaut : "";
    if (!_bVide(pszNom)) {
        const std::string sDefaut = s_EncodeINI(pszDefaut);
        sValeur = s_DecodeINI(GetPrivateProfileText(s_NomSectionINI(pszChemin).c_str(), pszNom, sDefaut.c_str(),
                                                    m_sChemin.pszGet()));
    }
    char* psz = static_cast<char*>(malloc(sValeur.size() + 1));
    if (psz == nullptr) return 0;
    memcpy(psz, sValeur.c_str(), sValeur.size() + 1);
    *ppszResultat = psz;
    return 1;
}

int CPersistance::FreePszValeur(char* pszValeur) {
    free(pszValeur);
    return 1;
}

int CPersistance::bSupprimeParametre(const char* pszChemin, const char* pszNom, CXError* pclErreur, IZNHost* piVM) {
    if (pszChemin == nullptr || _bVide(pszNom)) {
        if (pclErreur) pclErreur->SetUserErrorArgs(ERR_NOM_VIDE);
        return 0;
    }
    if (!bInit(pclErreur, piVM) || m_sChemin.bEstVide()) return 0;
    return WritePrivateProfileString(s_NomSectionINI(pszChemin).c_str(), pszNom, nullptr, m_sChemin.pszGet()) ? 1 : 0;
}

int CPersistance::bSupprimeChemin(const char* pszChemin, CXError* pclErreur, IZNHost* piVM) {
    if (!bInit(pclErreur, piVM) || m_sChemin.bEstVide()) return 0;
    const std::string sSection = s_NomSectionINI(pszChemin);
    const char* pszFichier = m_sChemin.pszGet();
    if (sSection == "Global") return unlink(pszFichier) == 0 || errno == ENOENT ? 1 : 0;
    bool bOk = WritePrivateProfileString(sSection.c_str(), nullptr, nullptr, pszFichier);
    // The sub-paths: every section that begins with this one and "_".
    const std::string sPrefixe = sSection + "_";
    const std::string sListe = GetPrivateProfileText(nullptr, nullptr, "", pszFichier);
    size_t nDebut = 0;
    while (nDebut < sListe.size()) {
        size_t nFin = sListe.find_first_of("\r\n", nDebut);
        if (nFin == std::string::npos) nFin = sListe.size();
        const std::string sNom = sListe.substr(nDebut, nFin - nDebut);
        nDebut = sListe.find_first_not_of("\r\n", nFin);
        if (nDebut == std::string::npos) nDebut = sListe.size();
        if (sNom.size() >= sPrefixe.size() && strncasecmp(sNom.c_str(), sPrefixe.c_str(), sPrefixe.size()) == 0)
            bOk = WritePrivateProfileString(sNom.c_str(), nullptr, nullptr, pszFichier) && bOk;
    }
    return bOk ? 1 : 0;
}
