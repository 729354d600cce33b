// Compressed strings, built and read with a serialisation buffer whose pack
// method is the compression method, and the errors their failures raise.
#include "codec/compress_chaine.h"

#include <cstring>

#include "codec/buffer.h"
#include "qvstd/xerror.h"

namespace {

constexpr int ERREUR_MEMOIRE = 80041;
constexpr int ERREUR_METHODE = 80550;
// Messages naming what is wrong with compressed data whose method is valid.
constexpr int MSG_DONNEES_ENDOMMAGEES = 3805;
constexpr int MSG_TAILLE_IMPOSSIBLE = 3806;
constexpr uint32_t ENTETE = 5;
// A binary string's length is a signed 32-bit count.
constexpr uint32_t LONGUEUR_MAX = 0x7FFFFFFFu;

eCHAINE_ECHEC _eCopie(const uint8_t* pby, uint32_t dwTaille, CZNBIN& clResultat) {
    clResultat.Vide();
    if (dwTaille == 0) return CHAINE_OK;
    if (dwTaille > LONGUEUR_MAX) return CHAINE_ECHEC_MEMOIRE;
    return clResultat.nAssign(pby, static_cast<int>(dwTaille)) == 0 ? CHAINE_OK : CHAINE_ECHEC_MEMOIRE;
}

eCHAINE_ECHEC _eErreurBuffer(const CQVBuffer& cl) {
    switch (cl.nGetErreur()) {
        case BUFFER_ERREUR_MEMOIRE: return CHAINE_ECHEC_MEMOIRE;
        case BUFFER_ERREUR_BLOC_ENDOMMAGE: return CHAINE_ECHEC_ENDOMMAGEE;
        case BUFFER_ERREUR_BLOC_TAILLE: return CHAINE_ECHEC_TAILLE;
        default: return CHAINE_ECHEC_METHODE;
    }
}

}  // namespace

eCHAINE_ECHEC g_eCompresseChaine(uint32_t dwMethode, const void* pDonnees, uint32_t dwTaille, bool bTexte,
                                 CZNBIN& clResultat) {
    clResultat.Vide();
    if (dwMethode > COMPRESSION_CHAINE_COURTE) return CHAINE_ECHEC_METHODE;
    if (pDonnees == nullptr) dwTaille = 0;
    // A text in the text coder has no header; every other form has one.
    bool bEntete = !(bTexte && dwMethode == COMPRESSION_CHAINE_COURTE);
    CQVBuffer cl(static_cast<eBUFFER_PACKMETHOD>(dwMethode), 0, 100);
    if (cl.nGetErreur() != BUFFER_ERREUR_AUCUNE) return _eErreurBuffer(cl);
    if (bEntete) {
        cl << static_cast<uint8_t>(bTexte ? 1 : 0) << dwMethode;
        if (!cl.ChangeFirstCodedByte(ENTETE)) return _eErreurBuffer(cl);
    }
    cl << dwTaille;
    if (dwTaille != 0 && !cl.Set(pDonnees, dwTaille)) return _eErreurBuffer(cl);
    uint32_t dwCode = cl.dwGetCodedSize();
    if (dwMethode != COMPRESSION_AUCUNE && !cl.bEstCode()) return _eErreurBuffer(cl);
    const uint8_t* pby = cl.pbyGetCodedBuffer();
    if (pby == nullptr && dwCode != 0) return CHAINE_ECHEC_MEMOIRE;
    return _eCopie(pby, dwCode, clResultat);
}

eCHAINE_ECHEC g_eDecompresseChaine(const void* pDonnees, uint32_t dwTaille, bool bSansEntete, CZNBIN& clResultat) {
    clResultat.Vide();
    if (pDonnees == nullptr || dwTaille == 0) return CHAINE_OK;
    const auto* pby = static_cast<const uint8_t*>(pDonnees);
    uint32_t dwMethode = COMPRESSION_CHAINE_COURTE;
    uint32_t dwPremier = 0;
    if (!bSansEntete) {
        if (dwTaille < ENTETE) return CHAINE_ECHEC_METHODE;
        std::memcpy(&dwMethode, pby + 1, 4);
        if (dwMethode > COMPRESSION_CHAINE_COURTE) return CHAINE_ECHEC_METHODE;
        dwPremier = ENTETE;
    }
    CQVBuffer cl;
    if (!cl.Set(pby, dwTaille)) return _eErreurBuffer(cl);
    cl.Seek(0, BUFFER_SEEK_DEBUT);
    if (dwPremier != 0 && !cl.ChangeFirstCodedByte(dwPremier)) return _eErreurBuffer(cl);
    if (dwMethode != COMPRESSION_AUCUNE && !cl.ChangePackMethod(static_cast<eBUFFER_PACKMETHOD>(dwMethode), true))
        return _eErreurBuffer(cl);
    if (!cl.bDecode()) return _eErreurBuffer(cl);
    // The content is plain now: dropping the method frees the side buffer
    // before the result is copied, so that at most two copies of a large
    // result are held at once.
    cl.ChangePackMethod(BUFFER_PACK_AUCUN, false);
    uint32_t dwPlain = cl.dwGetUncodedSize();
    const uint8_t* pbyPlain = cl.pbyGetUncodedBuffer();
    if (dwPlain < dwPremier) return CHAINE_ECHEC_ENDOMMAGEE;
    if (dwMethode == COMPRESSION_CHAINE_COURTE) {
        // The text coder gives back the bytes alone, without their length.
        return _eCopie(pbyPlain + dwPremier, dwPlain - dwPremier, clResultat);
    }
    uint32_t dwLongueur;
    if (dwPlain - dwPremier < 4) return CHAINE_ECHEC_ENDOMMAGEE;
    std::memcpy(&dwLongueur, pbyPlain + dwPremier, 4);
    if (dwLongueur > dwPlain - dwPremier - 4) return CHAINE_ECHEC_ENDOMMAGEE;
    return _eCopie(pbyPlain + dwPremier + 4, dwLongueur, clResultat);
}

void g_SignaleEchecChaine(CXError& clErreur, eCHAINE_ECHEC eEchec) {
    switch (eEchec) {
        case CHAINE_OK: return;
        case CHAINE_ECHEC_MEMOIRE: clErreur.SetUserErrorArgs(ERREUR_MEMOIRE); return;
        case CHAINE_ECHEC_METHODE: clErreur.SetUserErrorArgs(ERREUR_METHODE); return;
        case CHAINE_ECHEC_ENDOMMAGEE:
        case CHAINE_ECHEC_TAILLE:
            // Still the compression error, so that programs testing its
            // number keep working; but the method is valid, so its message
            // would mislead: the message names what is wrong with the data.
            clErreur.SetUserErrorMessage(ERREUR_METHODE, "");
            clErreur.AddUserMessage(eEchec == CHAINE_ECHEC_TAILLE ? MSG_TAILLE_IMPOSSIBLE : MSG_DONNEES_ENDOMMAGEES);
            return;
    }
}
