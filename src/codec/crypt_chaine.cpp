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

bool _bMethodes(uint32_t dwMethode, uint32_t* pdwCrypt, uint32_t* pdwCompression, CXError& clErreur) {
    dwMethode &= ~CRYPT_ANSI;
    *pdwCrypt = GetCryptMethod(dwMethode);
    *pdwCompression = GetCompressMethod(dwMethode);
    if (*pdwCrypt > CRYPT_RC5_16) return _bEchec(clErreur, ERREUR_METHODE_CRYPTAGE);
    if (*pdwCompression > COMPRESSION_CHAINE_COURTE) return _bEchec(clErreur, ERREUR_METHODE_COMPRESSION);
    return true;
}

bool _bDepuisBinaire(const CZNBIN& cl, std::string& s) {
    const auto* p = reinterpret_cast<const char*>(cl.pGet());
    const size_t n = static_cast<size_t>(cl.nGetTaille());
    s.assign(p != nullptr ? p : "", p != nullptr ? n : 0);
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
    if (!_bMethodes(dwMethode, &dwCrypt, &dwCompression, clErreur)) {
        sValeur.clear();
        return false;
    }
    if (dwCrypt == CRYPT_AUCUN && dwCompression == COMPRESSION_AUCUNE) return true;
    if (dwCompression != COMPRESSION_AUCUNE) {
        CZNBIN cl;
        const eCHAINE_ECHEC e = g_eCompresseChaine(dwCompression, sValeur.data(),
                                                   static_cast<uint32_t>(sValeur.size()), true, cl);
        sValeur.clear();
        if (e != CHAINE_OK) {
            g_SignaleEchecChaine(clErreur, e);
            return false;
        }
        _bDepuisBinaire(cl, sValeur);
    }
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
    if (!_bMethodes(dwMethode, &dwCrypt, &dwCompression, clErreur)) {
        sValeur.clear();
        return false;
    }
    if (dwCrypt == CRYPT_AUCUN && dwCompression == COMPRESSION_AUCUNE) return true;
    if (nEncodage != ENCODE_AUCUN) {
        std::string sOctets;
        // A text the encoding cannot have made decodes to nothing, as an
        // unknown encoding does.
        g_bChaineDecode(sValeur, nEncodage, sOctets);
        sValeur.swap(sOctets);
    }
    if (dwCrypt != CRYPT_AUCUN && !g_bChaineDecrypte(sValeur, pszMotDePasse, dwCrypt, clErreur)) return false;
    if (dwCompression != COMPRESSION_AUCUNE) {
        CZNBIN cl;
        const eCHAINE_ECHEC e =
            g_eDecompresseChaine(sValeur.data(), static_cast<uint32_t>(sValeur.size()),
                                 dwCompression == COMPRESSION_CHAINE_COURTE, cl);
        sValeur.clear();
        if (e != CHAINE_OK) {
            g_SignaleEchecChaine(clErreur, e);
            return false;
        }
        _bDepuisBinaire(cl, sValeur);
    }
    return true;
}
