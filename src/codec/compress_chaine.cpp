// Compressed strings, built and read with a serialisation buffer whose pack
// method is the compression method.
#include "codec/compress_chaine.h"

#include <cstring>

#include "codec/buffer.h"

namespace {

constexpr int ERREUR_METHODE = 80550;
constexpr int ERREUR_MEMOIRE = 100;
constexpr uint32_t ENTETE = 5;

int _nCopie(const uint8_t* pby, uint32_t dwTaille, CZNBIN& clResultat) {
    clResultat.Vide();
    if (dwTaille == 0) return 0;
    return clResultat.nAssign(pby, static_cast<int>(dwTaille)) == 0 ? 0 : ERREUR_MEMOIRE;
}

int _nErreurBuffer(const CQVBuffer& cl) {
    return cl.nGetErreur() == BUFFER_ERREUR_MEMOIRE ? ERREUR_MEMOIRE : ERREUR_METHODE;
}

}  // namespace

int g_nCompresseChaine(uint32_t dwMethode, const void* pDonnees, uint32_t dwTaille, bool bTexte, CZNBIN& clResultat) {
    clResultat.Vide();
    if (dwMethode > COMPRESSION_CHAINE_COURTE) return ERREUR_METHODE;
    if (pDonnees == nullptr) dwTaille = 0;
    // A text in the text coder has no header; every other form has one.
    bool bEntete = !(bTexte && dwMethode == COMPRESSION_CHAINE_COURTE);
    CQVBuffer cl(static_cast<eBUFFER_PACKMETHOD>(dwMethode), 0, 100);
    if (cl.nGetErreur() != BUFFER_ERREUR_AUCUNE) return _nErreurBuffer(cl);
    if (bEntete) {
        cl << static_cast<uint8_t>(bTexte ? 1 : 0) << dwMethode;
        if (!cl.ChangeFirstCodedByte(ENTETE)) return _nErreurBuffer(cl);
    }
    cl << dwTaille;
    if (dwTaille != 0 && !cl.Set(pDonnees, dwTaille)) return _nErreurBuffer(cl);
    uint32_t dwCode = cl.dwGetCodedSize();
    if (dwMethode != COMPRESSION_AUCUNE && !cl.bEstCode()) return _nErreurBuffer(cl);
    const uint8_t* pby = cl.pbyGetCodedBuffer();
    if (pby == nullptr && dwCode != 0) return ERREUR_MEMOIRE;
    return _nCopie(pby, dwCode, clResultat);
}

int g_nDecompresseChaine(const void* pDonnees, uint32_t dwTaille, bool bSansEntete, CZNBIN& clResultat) {
    clResultat.Vide();
    if (pDonnees == nullptr || dwTaille == 0) return 0;
    const auto* pby = static_cast<const uint8_t*>(pDonnees);
    uint32_t dwMethode = COMPRESSION_CHAINE_COURTE;
    uint32_t dwPremier = 0;
    if (!bSansEntete) {
        if (dwTaille < ENTETE) return ERREUR_METHODE;
        std::memcpy(&dwMethode, pby + 1, 4);
        if (dwMethode > COMPRESSION_CHAINE_COURTE) return ERREUR_METHODE;
        dwPremier = ENTETE;
    }
    CQVBuffer cl;
    if (!cl.Set(pby, dwTaille)) return _nErreurBuffer(cl);
    cl.Seek(0, BUFFER_SEEK_DEBUT);
    if (dwPremier != 0 && !cl.ChangeFirstCodedByte(dwPremier)) return _nErreurBuffer(cl);
    if (dwMethode != COMPRESSION_AUCUNE && !cl.ChangePackMethod(static_cast<eBUFFER_PACKMETHOD>(dwMethode), true))
        return _nErreurBuffer(cl);
    if (!cl.bDecode()) return _nErreurBuffer(cl);
    uint32_t dwPlain = cl.dwGetUncodedSize();
    const uint8_t* pbyPlain = cl.pbyGetUncodedBuffer();
    if (dwPlain < dwPremier) return ERREUR_METHODE;
    if (dwMethode == COMPRESSION_CHAINE_COURTE) {
        // The text coder gives back the bytes alone, without their length.
        return _nCopie(pbyPlain + dwPremier, dwPlain - dwPremier, clResultat);
    }
    uint32_t dwLongueur;
    if (dwPlain - dwPremier < 4) return ERREUR_METHODE;
    std::memcpy(&dwLongueur, pbyPlain + dwPremier, 4);
    if (dwLongueur > dwPlain - dwPremier - 4) return ERREUR_METHODE;
    return _nCopie(pbyPlain + dwPremier + 4, dwLongueur, clResultat);
}
