// The encrypted-string chain of crypt_chaine.h.
#include "codec/crypt_chaine.h"

#include <cstdlib>
#include <memory>

#include "codec/compress.h"
#include "codec/compress_chaine.h"
#include "codec/crypt.h"
#include "codec/crypt_commun.h"
#include "codec/encode.h"
#include "qvstd/xerror.h"

namespace {

using namespace crypt_commun;

bool _bEchec(CXError& clErreur, int nCode) {
    clErreur.SetUserErrorArgs(nCode);
    return false;
}

// The cipher for the method with the password set; null with the error filled.
Cipher _Cipher(const char* pszMotDePasse, uint32_t dwMethode, CXError& clErreur) {
    if (pszMotDePasse == nullptr || *pszMotDePasse == 0) {
        _bEchec(clErreur, ERREUR_MOT_DE_PASSE_VIDE);
        return nullptr;
    }
    Cipher pcl(pclCreeCipher(dwMethode));
    if (pcl == nullptr) {
        _bEchec(clErreur, ERREUR_MEMOIRE);
        return nullptr;
    }
    if (!pcl->bSetPassword(pszMotDePasse)) {
        _bEchec(clErreur, ERREUR_MOT_DE_PASSE_REFUSE);
        return nullptr;
    }
    return pcl;
}

// Splits the method; a method out of range empties the value.
bool _bMethodes(uint32_t dwMethode, uint32_t* pdwCrypt, uint32_t* pdwCompression, std::string& sValeur,
                CXError& clErreur) {
    dwMethode &= ~CRYPT_ANSI;
    *pdwCrypt = GetCryptMethod(dwMethode);
    *pdwCompression = GetCompressMethod(dwMethode);
    int nErreur = 0;
    if (*pdwCrypt > CRYPT_RC5_16)
        nErreur = ERREUR_METHODE_CRYPTAGE;
    else if (*pdwCompression > COMPRESSION_CHAINE_COURTE)
        nErreur = ERREUR_METHODE_COMPRESSION;
    if (nErreur == 0) return true;
    sValeur.clear();
    return _bEchec(clErreur, nErreur);
}

// Replaces the value by its compressed string (or the compressed string by
// its content), with the compression method given: a text's layout, or the
// header-less form of the text coder.
bool _bCompression(bool bCompresse, std::string& sValeur, uint32_t dwCompression, CXError& clErreur) {
    CZNBIN cl;
    const auto dwTaille = static_cast<uint32_t>(sValeur.size());
    const eCHAINE_ECHEC e =
        bCompresse ? g_eCompresseChaine(dwCompression, sValeur.data(), dwTaille, true, cl)
                   : g_eDecompresseChaine(sValeur.data(), dwTaille, dwCompression == COMPRESSION_CHAINE_COURTE, cl);
    sValeur.clear();
    if (e != CHAINE_OK) {
        g_SignaleEchecChaine(clErreur, e);
        return false;
    }
    const auto* p = reinterpret_cast<const char*>(cl.pGet());
    if (p != nullptr) sValeur.assign(p, static_cast<size_t>(cl.nGetTaille()));
    return true;
}

}  // namespace

namespace {

bool _bCipher(bool bCrypte, std::string& sDonnees, const char* pszMotDePasse, uint32_t dwMethode, CXError& clErreur) {
    auto pcl = _Cipher(pszMotDePasse, dwMethode, clErreur);
    if (pcl == nullptr) {
        sDonnees.clear();
        return false;
    }
    auto* pby = reinterpret_cast<unsigned char*>(sDonnees.data());
    const auto n = static_cast<unsigned>(sDonnees.size());
    if (bCrypte)
        pcl->Crypt(pby, n);
    else
        pcl->Uncrypt(pby, n);
    return true;
}

}  // namespace

bool g_bChaineCrypte(std::string& sDonnees, const char* pszMotDePasse, uint32_t dwMethode, CXError& clErreur) {
    return _bCipher(true, sDonnees, pszMotDePasse, dwMethode, clErreur);
}

bool g_bChaineDecrypte(std::string& sDonnees, const char* pszMotDePasse, uint32_t dwMethode, CXError& clErreur) {
    return _bCipher(false, sDonnees, pszMotDePasse, dwMethode, clErreur);
}

bool g_bChaineEncode(const std::string& sDonnees, int nEncodeur, std::string& sTexte) {
    sTexte.clear();
    Encodeur pcl(pclGetEncodeur(nEncodeur));
    if (pcl == nullptr) return true;
    size_t n = 0;
    Bloc<char> psz(pcl->pszEncodeEtAlloue(reinterpret_cast<const uint8_t*>(sDonnees.data()),
                                                               sDonnees.size(), ENCODE_GROUPES_PAR_LIGNE, &n));
    if (psz == nullptr) return false;
    sTexte.assign(psz.get(), n);
    return true;
}

bool g_bChaineDecode(const std::string& sTexte, int nEncodeur, std::string& sDonnees) {
    sDonnees.clear();
    Encodeur pcl(pclGetEncodeur(nEncodeur));
    if (pcl == nullptr) return true;
    size_t n = 0;
    Bloc<uint8_t> pby(pcl->pbyDecodeEtAlloue(sTexte.data(), sTexte.size(), &n));
    if (pby == nullptr) return false;
    sDonnees.assign(reinterpret_cast<const char*>(pby.get()), n);
    return true;
}

bool g_bChaineCrypteEncode(std::string& sValeur, const char* pszMotDePasse, uint32_t dwMethode, int nEncodage,
                           CXError& clErreur) {
    uint32_t dwCrypt, dwCompression;
    if (!_bMethodes(dwMethode, &dwCrypt, &dwCompression, sValeur, clErreur)) return false;
    if (dwCrypt == CRYPT_AUCUN && dwCompression == COMPRESSION_AUCUNE) return true;
    if (dwCompression != COMPRESSION_AUCUNE && !_bCompression(true, sValeur, dwCompression, clErreur)) return false;
    if (dwCrypt != CRYPT_AUCUN && !g_bChaineCrypte(sValeur, pszMotDePasse, dwCrypt, clErreur)) return false;
    if (nEncodage == ENCODE_AUCUN) return true;
    std::string sTexte;
    if (!g_bChaineEncode(sValeur, nEncodage, sTexte)) {
        sValeur.clear();
        return _bEchec(clErreur, ERREUR_MEMOIRE);
    }
    sValeur.swap(sTexte);
    return true;
}

bool g_bChaineDecrypteDecode(std::string& sValeur, const char* pszMotDePasse, uint32_t dwMethode, int nEncodage,
                             CXError& clErreur) {
    uint32_t dwCrypt, dwCompression;
    if (!_bMethodes(dwMethode, &dwCrypt, &dwCompression, sValeur, clErreur)) return false;
    if (dwCrypt == CRYPT_AUCUN && dwCompression == COMPRESSION_AUCUNE) return true;
    if (nEncodage != ENCODE_AUCUN) {
        std::string sOctets;
        // A text the encoding cannot have made decodes to nothing, as an
        // unknown encoding does.
        g_bChaineDecode(sValeur, nEncodage, sOctets);
        sValeur.swap(sOctets);
    }
    if (dwCrypt != CRYPT_AUCUN && !g_bChaineDecrypte(sValeur, pszMotDePasse, dwCrypt, clErreur)) return false;
    return dwCompression == COMPRESSION_AUCUNE || _bCompression(false, sValeur, dwCompression, clErreur);
}
