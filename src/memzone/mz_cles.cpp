// Records of the memory-zone engine: writing and reading their layout, and
// the order of their keys.
#include <cmath>
#include <cstring>

#include "memzone/mz_interne.h"

namespace mz {

namespace {

void _EcritU16(uint8_t* p, uint32_t n) {
    p[0] = uint8_t(n);
    p[1] = uint8_t(n >> 8);
}

uint32_t _nLitU16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }

uint32_t _nLitU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool _bNumerique(uint8_t cType) {
    return cType == MEMT_REEL || cType == MEMT_REEL4 || cType == MEMT_COURT || cType == MEMT_ENTIER;
}

}  // namespace

// A text is empty when it holds nothing or only its terminating zero.
eClasse eClasseCle(const STMemDonnee& st) {
    if (_bNumerique(st.cType)) return CL_NOMBRE;
    if (st.nLongueur == 0 || (st.nLongueur == 1 && static_cast<const uint8_t*>(st.pOctets)[0] == 0)) return CL_VIDE;
    return CL_TEXTE;
}

namespace {

// A number's bytes as a real; a short field reads as if zero-filled.
double _rValeur(const STMemDonnee& st) {
    uint8_t ab[8] = {};
    if (st.nLongueur != 0) memcpy(ab, st.pOctets, st.nLongueur < sizeof ab ? st.nLongueur : sizeof ab);
    switch (st.cType) {
        case MEMT_REEL: {
            double r;
            memcpy(&r, ab, sizeof r);
            return r;
        }
        case MEMT_REEL4: {
            float r;
            memcpy(&r, ab, sizeof r);
            return r;
        }
        case MEMT_COURT: {
            int16_t n;
            memcpy(&n, ab, sizeof n);
            return n;
        }
        default: {
            int32_t n;
            memcpy(&n, ab, sizeof n);
            return n;
        }
    }
}

// Reals mapped to integers of the same order. Comparing reals directly is
// not a total order once a NaN comes in, and a sort fed with such an order
// may run out of its array: NaN sorts after every number, equal to itself.
uint64_t _qOrdre(double r) {
    if (std::isnan(r)) return UINT64_MAX;
    if (r == 0) r = 0;   // -0 and +0 are equal
    uint64_t q;
    memcpy(&q, &r, sizeof q);
    return (q & (uint64_t(1) << 63)) ? ~q : q | (uint64_t(1) << 63);
}

}  // namespace

uint64_t qOrdreNombre(const STMemDonnee& st) { return _qOrdre(_rValeur(st)); }

uint64_t qPrefixeTexte(const STMemDonnee& st) {
    uint64_t q = 0;
    const auto* p = static_cast<const uint8_t*>(st.pOctets);
    for (uint32_t i = 0; i < 8; ++i) q = q << 8 | (i < st.nLongueur ? p[i] : 0);
    return q;
}

int nCompareTextes(const STMemDonnee& stA, const STMemDonnee& stB) {
    uint32_t n = stA.nLongueur < stB.nLongueur ? stA.nLongueur : stB.nLongueur;
    int c = n != 0 ? memcmp(stA.pOctets, stB.pOctets, n) : 0;
    if (c != 0) return c < 0 ? -1 : 1;
    return stA.nLongueur < stB.nLongueur ? -1 : (stA.nLongueur > stB.nLongueur ? 1 : 0);
}

uint32_t nTailleEnreg(const STMemDonnee& stCle, const STMemDonnee& stValeur) {
    return 4 + MEM_SURCOUT_ENREG + stCle.nLongueur + stValeur.nLongueur;
}

void EcritEnreg(uint8_t* p, const STMemDonnee& stCle, const STMemDonnee& stValeur) {
    const uint32_t nChamp = MEM_SURCOUT_ENREG + stCle.nLongueur + stValeur.nLongueur;
    p[0] = uint8_t(nChamp);
    p[1] = uint8_t(nChamp >> 8);
    p[2] = uint8_t(nChamp >> 16);
    p[3] = uint8_t(nChamp >> 24);
    p[4] = MARQUE_ENREG;
    p[5] = stCle.cType;
    _EcritU16(p + 6, stCle.nLongueur);
    if (stCle.nLongueur != 0) memcpy(p + ENTETE_ENREG, stCle.pOctets, stCle.nLongueur);
    uint8_t* pV = p + ENTETE_ENREG + stCle.nLongueur;
    pV[0] = stValeur.cType;
    _EcritU16(pV + 1, stValeur.nLongueur);
    if (stValeur.nLongueur != 0) memcpy(pV + 3, stValeur.pOctets, stValeur.nLongueur);
}

uint32_t nTailleDepuisEntete(const uint8_t* p, uint32_t nDispo) {
    if (nDispo < 4) return 0;
    const uint32_t nChamp = _nLitU32(p);
    if (nChamp < MEM_SURCOUT_ENREG || nChamp > MEM_MAX_ENREG) return 0;
    return nChamp + 4;
}

bool bLitEnreg(const uint8_t* p, uint32_t nDispo, STVue* pstVue) {
    const uint32_t nTaille = nTailleDepuisEntete(p, nDispo);
    if (nTaille == 0 || nTaille > nDispo || p[4] != MARQUE_ENREG) return false;
    const uint32_t nCle = _nLitU16(p + 6);
    if (ENTETE_ENREG + nCle + 3 > nTaille) return false;
    const uint8_t* pV = p + ENTETE_ENREG + nCle;
    const uint32_t nValeur = _nLitU16(pV + 1);
    if (ENTETE_ENREG + nCle + 3 + nValeur != nTaille) return false;
    pstVue->stCle = STMemDonnee{p[5], p + ENTETE_ENREG, nCle};
    pstVue->stValeur = STMemDonnee{pV[0], pV + 3, nValeur};
    pstVue->nTaille = nTaille;
    return true;
}

int nEnregTest(const STMemDonnee& stA, const STMemDonnee& stB) {
    const eClasse eA = eClasseCle(stA), eB = eClasseCle(stB);
    if (eA != eB) return eA < eB ? -1 : 1;
    switch (eA) {
        case CL_VIDE: return 0;
        case CL_NOMBRE: {
            const uint64_t qA = qOrdreNombre(stA), qB = qOrdreNombre(stB);
            return qA < qB ? -1 : (qA > qB ? 1 : 0);
        }
        default: return nCompareTextes(stA, stB);
    }
}

}  // namespace mz

int MEM_nEnregTest(const STMemDonnee& stA, const STMemDonnee& stB) { return mz::nEnregTest(stA, stB); }
