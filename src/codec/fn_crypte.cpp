// The encryption language functions: Crypte, Décrypte, fCrypte and
// fDécrypte over the chains of crypt_chaine.h and crypt_fichier.h.
#include <string>

#include "codec/crypt.h"
#include "codec/crypt_chaine.h"
#include "codec/crypt_fichier.h"
#include "codec/encode.h"
#include "codec/functions.h"
#include "codec/nom_fichier.h"
#include "codec/valeur_octets.h"

namespace codec {

namespace {

constexpr int ERREUR_MEMOIRE = 80041;
// Default method of every syntax, and default encodings of strings and files.
constexpr int32_t METHODE_DEFAUT = static_cast<int32_t>(CRYPT_RAPIDE);
constexpr int32_t ENCODAGE_CHAINE_DEFAUT = ENCODE_TVR;
constexpr int32_t ENCODAGE_FICHIER_DEFAUT = ENCODE_AUCUN;
// A file name that cannot be a file's is reported as a missing file.
constexpr int MSG_NOM_INVALIDE = 28257;

CZNDSTR _Chaine(CZNLibrary& lib, const CAny& clValeur, const char* pszMotDePasse, int32_t nMethode,
                int32_t nEncodage, bool bCrypte) {
    std::string s;
    CZNDSTR sResultat;
    if (!bOctetsValeur(clValeur, &s)) return sResultat;
    CXError& clErreur = *lib.pclGetError();
    const uint32_t dwMethode = static_cast<uint32_t>(nMethode);
    const bool bOk = bCrypte ? g_bChaineCrypteEncode(s, pszMotDePasse, dwMethode, nEncodage, clErreur)
                             : g_bChaineDecrypteDecode(s, pszMotDePasse, dwMethode, nEncodage, clErreur);
    if (!bOk) return sResultat;
    if (!s.empty() && sResultat.nAssign(s.data(), static_cast<int>(s.size())) != 0) lib.RaiseError(ERREUR_MEMOIRE);
    return sResultat;
}

bool _bFichier(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
               const char* pszMotDePasse, int32_t nMethode, int32_t nEncodage, bool bCrypte) {
    std::string sSource, sDestination;
    CXError clErreur;
    if (!bNomFichier(pstSource, &sSource) || !bNomFichier(pstDestination, &sDestination)) {
        clErreur.SetErrorLevel(EL_ERROR);
        clErreur.AddUserMessage(MSG_NOM_INVALIDE);
        lib.RaiseErrorCopy(&clErreur);
        return false;
    }
    const uint32_t dwMethode = static_cast<uint32_t>(nMethode);
    const bool bOk = bCrypte ? g_bfCrypteEncode(sSource.c_str(), sDestination.c_str(), pszMotDePasse, dwMethode,
                                                nEncodage, clErreur)
                             : g_bfDecrypteDecode(sSource.c_str(), sDestination.c_str(), pszMotDePasse, dwMethode,
                                                  nEncodage, clErreur);
    if (!bOk) lib.RaiseErrorCopy(&clErreur);
    return bOk;
}

}  // namespace

CZNDSTR Crypte(CZNLibrary& lib, const CAny& clValeur, const char* pszMotDePasse) {
    return _Chaine(lib, clValeur, pszMotDePasse, METHODE_DEFAUT, ENCODAGE_CHAINE_DEFAUT, true);
}
CZNDSTR Crypte(CZNLibrary& lib, const CAny& clValeur, const char* pszMotDePasse, int32_t nMethode) {
    return _Chaine(lib, clValeur, pszMotDePasse, nMethode, ENCODAGE_CHAINE_DEFAUT, true);
}
CZNDSTR Crypte(CZNLibrary& lib, const CAny& clValeur, const char* pszMotDePasse, int32_t nMethode,
               int32_t nEncodage) {
    return _Chaine(lib, clValeur, pszMotDePasse, nMethode, nEncodage, true);
}

CZNDSTR Decrypte(CZNLibrary& lib, const CAny& clValeur, const char* pszMotDePasse) {
    return _Chaine(lib, clValeur, pszMotDePasse, METHODE_DEFAUT, ENCODAGE_CHAINE_DEFAUT, false);
}
CZNDSTR Decrypte(CZNLibrary& lib, const CAny& clValeur, const char* pszMotDePasse, int32_t nMethode) {
    return _Chaine(lib, clValeur, pszMotDePasse, nMethode, ENCODAGE_CHAINE_DEFAUT, false);
}
CZNDSTR Decrypte(CZNLibrary& lib, const CAny& clValeur, const char* pszMotDePasse, int32_t nMethode,
                 int32_t nEncodage) {
    return _Chaine(lib, clValeur, pszMotDePasse, nMethode, nEncodage, false);
}

bool fCrypte(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
             const char* pszMotDePasse) {
    return _bFichier(lib, pstSource, pstDestination, pszMotDePasse, METHODE_DEFAUT, ENCODAGE_FICHIER_DEFAUT, true);
}
bool fCrypte(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
             const char* pszMotDePasse, int32_t nMethode) {
    return _bFichier(lib, pstSource, pstDestination, pszMotDePasse, nMethode, ENCODAGE_FICHIER_DEFAUT, true);
}
bool fCrypte(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
             const char* pszMotDePasse, int32_t nMethode, int32_t nEncodage) {
    return _bFichier(lib, pstSource, pstDestination, pszMotDePasse, nMethode, nEncodage, true);
}

bool fDecrypte(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
               const char* pszMotDePasse) {
    return _bFichier(lib, pstSource, pstDestination, pszMotDePasse, METHODE_DEFAUT, ENCODAGE_FICHIER_DEFAUT, false);
}
bool fDecrypte(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
               const char* pszMotDePasse, int32_t nMethode) {
    return _bFichier(lib, pstSource, pstDestination, pszMotDePasse, nMethode, ENCODAGE_FICHIER_DEFAUT, false);
}
bool fDecrypte(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination,
               const char* pszMotDePasse, int32_t nMethode, int32_t nEncodage) {
    return _bFichier(lib, pstSource, pstDestination, pszMotDePasse, nMethode, nEncodage, false);
}

}  // namespace codec
