// File encryption and decryption (crypt_fichier.h).
#include "codec/crypt_fichier.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "codec/compact_interne.h"
#include "codec/compress.h"
#include "codec/crypt.h"
#include "codec/crypt_commun.h"
#include "codec/encode.h"
#include "files/diskfile.h"

namespace {

using namespace crypt_commun;

constexpr int MSG_METHODE_INCONNUE = 28253;
constexpr int MSG_MOT_DE_PASSE_REFUSE = 28256;
constexpr int MSG_ENCODAGE = 28257;
constexpr int MSG_DECRYPTAGE = 28279;

bool _bMessage(CXError& clErreur, int nMessage) {
    clErreur.RAZ();
    clErreur.SetErrorLevel(EL_ERROR);
    clErreur.AddUserMessage(nMessage);
    return false;
}

bool _bErreurFlux(CXError& clErreur, IXStream& clFlux) {
    const CXError* pcl = clFlux.pclGetXError();
    if (pcl != nullptr && pcl->bIsError()) {
        clErreur.Copy(*pcl);
        return false;
    }
    return _bMessage(clErreur, MSG_ENCODAGE);
}

// Fills the buffer unless the file ends first.
bool _bLitPiece(IXStream& cl, uint8_t* pby, uint32_t n, uint32_t* pnLu) {
    uint32_t nFait = 0;
    while (nFait < n) {
        unsigned nLu = 0;
        if (!cl.bRead(pby + nFait, n - nFait, &nLu)) return false;
        if (nLu == 0) break;
        nFait += nLu;
    }
    *pnLu = nFait;
    return true;
}

// Cipher with the password set, source open and temporary output created.
struct STOperation {
    Cipher pclCipher;
    CDiskFile clSource;
    compact::CSortieTemporaire clSortie;
    Bloc<uint8_t> pbyPiece;

    bool bPrepare(const char* pszSource, const char* pszDestination, const char* pszMotDePasse, uint32_t dwMethode,
                  CXError& clErreur) {
        if (pszMotDePasse == nullptr || *pszMotDePasse == 0) {
            clErreur.SetUserErrorArgs(ERREUR_MOT_DE_PASSE_VIDE);
            return false;
        }
        if (dwMethode < CRYPT_RAPIDE || dwMethode > CRYPT_RC5_16) return _bMessage(clErreur, MSG_METHODE_INCONNUE);
        pclCipher.reset(pclCreeCipher(dwMethode));
        pbyPiece.reset(static_cast<uint8_t*>(std::malloc(CRYPT_PIECE_FICHIER)));
        if (pclCipher == nullptr || pbyPiece == nullptr) {
            clErreur.SetUserErrorArgs(ERREUR_MEMOIRE);
            return false;
        }
        if (!pclCipher->bSetPassword(pszMotDePasse)) return _bMessage(clErreur, MSG_MOT_DE_PASSE_REFUSE);
        if (!clSource.bOpen(pszSource, IXStream::eACCESS_READ, IXStream::eSHARE_SHARED, IXStream::eCREATE_OPEN))
            return _bErreurFlux(clErreur, clSource);
        if (clSortie.nCree(pszDestination) != 0) return _bErreurFlux(clErreur, clSortie.clFichier());
        return true;
    }

    bool bValide(CXError& clErreur) {
        struct stat64 st;
        clSource.Close();
        if (fstat64(clSortie.clFichier().nGetHandle(), &st) != 0 || clSortie.nValide(st) != 0)
            return _bErreurFlux(clErreur, clSortie.clFichier());
        return true;
    }
};

void _Ecrit32(uint8_t* p, uint32_t dw) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(dw >> (8 * i));
}

// A temporary file name beside the destination, deleted when it goes.
struct STTemporaire {
    std::string s;
    ~STTemporaire() {
        if (!s.empty()) unlink(s.c_str());
    }
    bool bCree(const char* pszDestination) {
        char szPlein[XFILE_MAX_PATH];
        char szTemp[XFILE_MAX_PATH];
        if (!CDiskFile::bGetFullPath(szPlein, pszDestination)) return false;
        std::string sDossier(szPlein);
        const size_t n = sDossier.rfind('/');
        sDossier = n == 0 || n == std::string::npos ? std::string("/") : sDossier.substr(0, n);
        if (!CDiskFile::bGetTempName(szTemp, sDossier.c_str(), "_QV")) return false;
        s = szTemp;
        return true;
    }
};

// A plain copy; a file copied onto itself is left as it is (a copy would
// empty it before reading it).
bool _bCopie(const char* pszSource, const char* pszDestination, CXError& clErreur) {
    struct stat64 stSource, stDest;
    if (stat64(pszSource, &stSource) == 0 && stat64(pszDestination, &stDest) == 0 &&
        stSource.st_dev == stDest.st_dev && stSource.st_ino == stDest.st_ino)
        return true;
    return CDiskFile::bCopy(pszDestination, pszSource, &clErreur);
}

}  // namespace

bool g_bfCrypte(const char* pszSource, const char* pszDestination, const char* pszMotDePasse, uint32_t dwMethode,
                CXError& clErreur) {
    STOperation st;
    if (!st.bPrepare(pszSource, pszDestination, pszMotDePasse, dwMethode, clErreur)) return false;
    IXStream& clDest = st.clSortie.clFichier();
    uint8_t* pby = st.pbyPiece.get();
    uint8_t abySomme[4] = {};
    // The checksum's place, filled once the whole file is read.
    if (!clDest.bWrite(abySomme, 4, nullptr)) return _bErreurFlux(clErreur, clDest);
    uint32_t dwSomme = 0;
    for (;;) {
        uint32_t nLu = 0;
        if (!_bLitPiece(st.clSource, pby, CRYPT_PIECE_FICHIER, &nLu)) return _bErreurFlux(clErreur, st.clSource);
        if (nLu == 0) break;
        for (uint32_t i = 0; i < nLu; ++i) dwSomme += pby[i];
        st.pclCipher->Crypt(pby, nLu);
        if (!clDest.bWrite(pby, nLu, nullptr)) return _bErreurFlux(clErreur, clDest);
    }
    _Ecrit32(abySomme, dwSomme);
    if (!clDest.bWrite(0, abySomme, 4, nullptr)) return _bErreurFlux(clErreur, clDest);
    return st.bValide(clErreur);
}

bool g_bfDecrypte(const char* pszSource, const char* pszDestination, const char* pszMotDePasse, uint32_t dwMethode,
                  CXError& clErreur) {
    STOperation st;
    if (!st.bPrepare(pszSource, pszDestination, pszMotDePasse, dwMethode, clErreur)) return false;
    IXStream& clDest = st.clSortie.clFichier();
    uint8_t* pby = st.pbyPiece.get();
    uint32_t nLu = 0;
    if (!_bLitPiece(st.clSource, pby, 4, &nLu)) return _bErreurFlux(clErreur, st.clSource);
    if (nLu != 4) return _bMessage(clErreur, MSG_DECRYPTAGE);
    uint32_t dwSomme = uint32_t{pby[0]} | uint32_t{pby[1]} << 8 | uint32_t{pby[2]} << 16 | uint32_t{pby[3]} << 24;
    for (;;) {
        if (!_bLitPiece(st.clSource, pby, CRYPT_PIECE_FICHIER, &nLu)) return _bErreurFlux(clErreur, st.clSource);
        if (nLu == 0) break;
        st.pclCipher->Uncrypt(pby, nLu);
        for (uint32_t i = 0; i < nLu; ++i) dwSomme -= pby[i];
        if (!clDest.bWrite(pby, nLu, nullptr)) return _bErreurFlux(clErreur, clDest);
    }
    if (dwSomme != 0) return _bMessage(clErreur, MSG_DECRYPTAGE);
    return st.bValide(clErreur);
}

bool g_bfEncode(const char* pszSource, const char* pszDestination, int nEncodeur, CXError& clErreur) {
    Encodeur pcl(pclGetEncodeur(nEncodeur));
    if (pcl == nullptr) return _bMessage(clErreur, MSG_ENCODAGE);
    return pcl->bEncodeFichier(pszSource, pszDestination, ENCODE_GROUPES_PAR_LIGNE, &clErreur);
}

bool g_bfDecode(const char* pszSource, const char* pszDestination, int nEncodeur, CXError& clErreur) {
    Encodeur pcl(pclGetEncodeur(nEncodeur));
    if (pcl == nullptr) return _bMessage(clErreur, MSG_ENCODAGE);
    return pcl->bDecodeFichier(pszSource, pszDestination, &clErreur);
}

namespace {

// Both directions: encryption then encoding, or decoding then decryption.
bool _bChaine(bool bCrypte, const char* pszSource, const char* pszDestination, const char* pszMotDePasse,
              uint32_t dwMethode, int nEncodage, CXError& clErreur) {
    const uint32_t dwCrypt = GetCryptMethod(dwMethode & ~CRYPT_ANSI);
    if (dwCrypt > CRYPT_RC5_16) {
        clErreur.SetUserErrorArgs(ERREUR_METHODE_CRYPTAGE);
        return false;
    }
    auto fnCode = bCrypte ? g_bfEncode : g_bfDecode;
    auto fnCrypte = bCrypte ? g_bfCrypte : g_bfDecrypte;
    if (dwCrypt == CRYPT_AUCUN) {
        if (nEncodage != ENCODE_AUCUN) return fnCode(pszSource, pszDestination, nEncodage, clErreur);
        return _bCopie(pszSource, pszDestination, clErreur);
    }
    if (nEncodage == ENCODE_AUCUN) return fnCrypte(pszSource, pszDestination, pszMotDePasse, dwCrypt, clErreur);
    STTemporaire stTemp;
    if (!stTemp.bCree(pszDestination)) return _bMessage(clErreur, MSG_ENCODAGE);
    const char* pszTemp = stTemp.s.c_str();
    if (bCrypte)
        return fnCrypte(pszSource, pszTemp, pszMotDePasse, dwCrypt, clErreur) &&
               fnCode(pszTemp, pszDestination, nEncodage, clErreur);
    return fnCode(pszSource, pszTemp, nEncodage, clErreur) &&
           fnCrypte(pszTemp, pszDestination, pszMotDePasse, dwCrypt, clErreur);
}

}  // namespace

bool g_bfCrypteEncode(const char* pszSource, const char* pszDestination, const char* pszMotDePasse,
                      uint32_t dwMethode, int nEncodage, CXError& clErreur) {
    return _bChaine(true, pszSource, pszDestination, pszMotDePasse, dwMethode, nEncodage, clErreur);
}

bool g_bfDecrypteDecode(const char* pszSource, const char* pszDestination, const char* pszMotDePasse,
                        uint32_t dwMethode, int nEncodage, CXError& clErreur) {
    return _bChaine(false, pszSource, pszDestination, pszMotDePasse, dwMethode, nEncodage, clErreur);
}
