// Encoding and decoding whole files (CEncodeBase::bEncodeFichier and
// bDecodeFichier) through fixed buffers, so that memory use does not grow
// with the file. The result goes to a temporary file in the destination's
// folder and replaces the destination only once complete: a failure leaves
// no partial destination, and a destination that is the source itself is
// not emptied before it is read.
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "codec/compact_interne.h"
#include "codec/encode.h"
#include "codec/encode_uu.h"
#include "files/diskfile.h"

namespace {

constexpr int MSG_ENCODAGE = 28257;
constexpr int MSG_TYPE_FICHIER = 28259;
// Source bytes per line group: 3000 groups per line of output.
constexpr size_t OCTETS_PAR_GROUPE_LIGNE = 3000;
// Pieces of encoded text read at a time, and the longest line the uuencode
// decoder accepts (the encoders write 60 or 180 characters).
constexpr size_t PIECE_TEXTE = 65536;
constexpr size_t LIGNE_MAX = 65536;

struct STLibere {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using Tampon = std::unique_ptr<T[], STLibere>;

template <class T>
Tampon<T> _Alloue(size_t n) {
    return Tampon<T>(static_cast<T*>(std::malloc(n != 0 ? n : 1)));
}

void _Echec(CXError* pcl, int nMessage) {
    if (pcl == nullptr) return;
    pcl->RAZ();
    pcl->SetErrorLevel(EL_ERROR);
    pcl->AddUserMessage(nMessage);
}

void _EchecFlux(CXError* pcl, IXStream& clFlux, int nMessageSinon) {
    if (pcl == nullptr) return;
    const CXError* pclFlux = clFlux.pclGetXError();
    if (pclFlux != nullptr && pclFlux->bIsError())
        pcl->Copy(*pclFlux);
    else
        _Echec(pcl, nMessageSinon);
}

bool _bOuvreSource(CDiskFile& cl, const char* pszSource, CXError* pclErreur) {
    if (cl.bOpen(pszSource, IXStream::eACCESS_READ, IXStream::eSHARE_SHARED, IXStream::eCREATE_OPEN)) return true;
    _EchecFlux(pclErreur, cl, MSG_ENCODAGE);
    return false;
}

bool _bCreeDestination(compact::CSortieTemporaire& cl, const char* pszDestination, CXError* pclErreur) {
    if (cl.nCree(pszDestination) == 0) return true;
    _EchecFlux(pclErreur, cl.clFichier(), MSG_ENCODAGE);
    return false;
}

bool _bValide(compact::CSortieTemporaire& cl, CXError* pclErreur) {
    struct stat64 st;
    if (fstat64(cl.clFichier().nGetHandle(), &st) == 0 && cl.nValide(st) == 0) return true;
    _Echec(pclErreur, MSG_ENCODAGE);
    return false;
}

bool _bEcrit(IXStream& cl, const void* p, size_t n, CXError* pclErreur) {
    if (n == 0 || cl.bWrite(p, static_cast<unsigned>(n), nullptr)) return true;
    _EchecFlux(pclErreur, cl, MSG_ENCODAGE);
    return false;
}

// Reads the next piece; false (with the error) when the read fails.
bool _bLit(IXStream& cl, void* p, size_t n, size_t* pnLu, CXError* pclErreur) {
    unsigned nLu = 0;
    if (!cl.bRead(p, static_cast<unsigned>(n), &nLu)) {
        _EchecFlux(pclErreur, cl, MSG_ENCODAGE);
        return false;
    }
    *pnLu = nLu;
    return true;
}

// The uuencode forms, one line at a time.
bool _bDecodeUU(bool bStandard, IXStream& clSource, IXStream& clDest, CXError* pclErreur) {
    Tampon<char> pszPiece = _Alloue<char>(PIECE_TEXTE + LIGNE_MAX);
    Tampon<uint8_t> pbySortie = _Alloue<uint8_t>(PIECE_TEXTE + LIGNE_MAX);
    if (pszPiece == nullptr || pbySortie == nullptr) {
        _Echec(pclErreur, MSG_ENCODAGE);
        return false;
    }
    uu::CDecodeur cl(bStandard, pbySortie.get());
    size_t nGarde = 0;   // start of a line not yet ended, kept at the front
    for (;;) {
        size_t nLu = 0;
        if (!_bLit(clSource, pszPiece.get() + nGarde, PIECE_TEXTE, &nLu, pclErreur)) return false;
        const size_t n = nGarde + nLu;
        const char* p = pszPiece.get();
        size_t nDebut = 0;
        for (;;) {
            const void* pLf = std::memchr(p + nDebut, '\n', n - nDebut);
            if (pLf == nullptr) break;
            const size_t nFin = static_cast<size_t>(static_cast<const char*>(pLf) - p);
            if (!cl.bLigne(p + nDebut, nFin - nDebut)) {
                _Echec(pclErreur, MSG_TYPE_FICHIER);
                return false;
            }
            nDebut = nFin + 1;
        }
        nGarde = n - nDebut;
        if (nLu == 0) {
            if (nGarde != 0 && !cl.bLigne(p + nDebut, nGarde)) {
                _Echec(pclErreur, MSG_TYPE_FICHIER);
                return false;
            }
            cl.nFin();
            return _bEcrit(clDest, pbySortie.get(), cl.nGetProduit(), pclErreur);
        }
        if (nGarde > LIGNE_MAX) {
            _Echec(pclErreur, MSG_TYPE_FICHIER);
            return false;
        }
        std::memmove(pszPiece.get(), p + nDebut, nGarde);
        if (!_bEcrit(clDest, pbySortie.get(), cl.nGetProduit(), pclErreur)) return false;
        cl.ChangeSortie(pbySortie.get());
    }
}

}  // namespace

bool CEncodeBase::bEncodeFichier(const char* pszSource, const char* pszDestination, int nGroupesParLigne,
                                 CXError* pclErreur) {
    CDiskFile clSource;
    if (!_bOuvreSource(clSource, pszSource, pclErreur)) return false;
    compact::CSortieTemporaire clSortie;
    if (!_bCreeDestination(clSortie, pszDestination, pclErreur)) return false;
    const size_t nPiece = OCTETS_PAR_GROUPE_LIGNE * static_cast<size_t>(nGroupesParLigne > 0 ? nGroupesParLigne
                                                                                            : ENCODE_GROUPES_PAR_LIGNE);
    Tampon<uint8_t> pbyPiece = _Alloue<uint8_t>(nPiece);
    Tampon<char> pszTexte = _Alloue<char>(nEncode(nullptr, nPiece, nGroupesParLigne, nullptr) + 1);
    if (pbyPiece == nullptr || pszTexte == nullptr) {
        _Echec(pclErreur, MSG_ENCODAGE);
        return false;
    }
    for (;;) {
        size_t nLu = 0;
        if (!_bLit(clSource, pbyPiece.get(), nPiece, &nLu, pclErreur)) return false;
        if (nLu == 0) break;
        const size_t n = nEncode(pbyPiece.get(), nLu, nGroupesParLigne, pszTexte.get());
        if (!_bEcrit(clSortie.clFichier(), pszTexte.get(), n, pclErreur)) return false;
    }
    return _bValide(clSortie, pclErreur);
}

bool CEncodeBase::bDecodeFichier(const char* pszSource, const char* pszDestination, CXError* pclErreur) {
    CDiskFile clSource;
    if (!_bOuvreSource(clSource, pszSource, pclErreur)) return false;
    compact::CSortieTemporaire clSortie;
    if (!_bCreeDestination(clSortie, pszDestination, pclErreur)) return false;
    if (const auto* pclUU = dynamic_cast<const CEncodeUUEncode*>(this)) {
        const bool bStandard = dynamic_cast<const CEncodeUUEncodeStandard*>(pclUU) != nullptr;
        if (!_bDecodeUU(bStandard, clSource, clSortie.clFichier(), pclErreur)) return false;
        return _bValide(clSortie, pclErreur);
    }
    // The Base64 forms: the characters other than CR and LF, decoded by whole
    // groups of 4, the rest of a piece kept for the next one.
    Tampon<char> pszPiece = _Alloue<char>(PIECE_TEXTE);
    Tampon<char> pszGroupes = _Alloue<char>(PIECE_TEXTE + 4);
    Tampon<uint8_t> pbySortie = _Alloue<uint8_t>(PIECE_TEXTE / 4 * 3 + 3);
    if (pszPiece == nullptr || pszGroupes == nullptr || pbySortie == nullptr) {
        _Echec(pclErreur, MSG_ENCODAGE);
        return false;
    }
    size_t nGarde = 0;
    bool bFini = false;
    while (!bFini) {
        size_t nLu = 0;
        if (!_bLit(clSource, pszPiece.get(), PIECE_TEXTE, &nLu, pclErreur)) return false;
        size_t n = nGarde;
        for (size_t i = 0; i < nLu; ++i) {
            const char c = pszPiece[i];
            if (c != '\r' && c != '\n') pszGroupes[n++] = c;
        }
        // At the end of the file the last, incomplete group goes too.
        const size_t nPris = nLu == 0 ? n : n / 4 * 4;
        // After a padding sign the text is over.
        bFini = nLu == 0 || std::memchr(pszGroupes.get(), '=', nPris) != nullptr;
        const size_t nOctets = nDecode(pszGroupes.get(), nPris, pbySortie.get());
        if (nOctets == ENCODE_INVALIDE) {
            _Echec(pclErreur, MSG_TYPE_FICHIER);
            return false;
        }
        if (!_bEcrit(clSortie.clFichier(), pbySortie.get(), nOctets, pclErreur)) return false;
        nGarde = n - nPris;
        std::memmove(pszGroupes.get(), pszGroupes.get() + nPris, nGarde);
    }
    return _bValide(clSortie, pclErreur);
}
