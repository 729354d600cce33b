// The decoder of the older compaction format. Every code is checked against
// the entries that exist when it is read, so hostile codes never reach
// outside the dictionary; strings are spelled backwards through a stack as
// deep as the dictionary.
#include "codec/lzw_vieux.h"

#include <cstring>

namespace lzw_vieux {

const char SIGNATURE[TAILLE_SIGNATURE + 1] = "MTALVORALZCS@";

namespace {

constexpr uint32_t EFFACE = 256;
constexpr uint32_t PREMIER_CODE = 257;
constexpr uint32_t LARGEUR_MIN = 9;
constexpr uint32_t LARGEUR_MAX = 14;
constexpr uint32_t CODES = 1u << LARGEUR_MAX;
constexpr uint32_t PIECE = 1u << 16;
constexpr uint32_t SANS_CODE = 0xFFFFFFFFu;

uint32_t _dwGrandBoutiste(const uint8_t* pby) {
    return (uint32_t(pby[0]) << 24) | (uint32_t(pby[1]) << 16) | (uint32_t(pby[2]) << 8) | pby[3];
}

struct CDecodeur : STCodeur {

    uint8_t abyEntree[PIECE];
    uint32_t nEntree = 0;
    uint32_t nLu = 0;
    uint32_t dwBits = 0;
    uint32_t nBits = 0;

    uint16_t awPrefixe[CODES];
    uint8_t abySuffixe[CODES];
    uint8_t abyPile[CODES];
    uint8_t abySortie[PIECE];
    uint32_t nSortie = 0;

    // The next code of nLargeur bits; false when the codes run out.
    bool bCode(uint32_t nLargeur, uint32_t* pdwCode) {
        while (nBits < nLargeur) {
            if (nLu == nEntree) {
                const int32_t n = pclSource->nLit(abyEntree, PIECE);
                if (n < 0) return bEchec(eFinFlux(n, eCODAGE::LECTURE));
                if (n == 0) return bEchec(eCODAGE::DONNEES);
                nEntree = static_cast<uint32_t>(n);
                nLu = 0;
            }
            dwBits = (dwBits << 8) | abyEntree[nLu++];
            nBits += 8;
        }
        nBits -= nLargeur;
        *pdwCode = (dwBits >> nBits) & ((1u << nLargeur) - 1);
        return true;
    }

    bool bVide() {
        if (nSortie == 0) return true;
        clCrc.Ajoute(abySortie, nSortie);
        const int32_t r = pclPuits->nEcrit(abySortie, nSortie);
        nSortie = 0;
        if (r != 0) return bEchec(eFinFlux(r, eCODAGE::ECRITURE));
        return true;
    }

    bool bEcrit(const uint8_t* pby, uint32_t n) {
        while (n > 0) {
            const uint32_t k = n < PIECE - nSortie ? n : PIECE - nSortie;
            std::memcpy(abySortie + nSortie, pby, k);
            nSortie += k;
            pby += k;
            n -= k;
            if (nSortie == PIECE && !bVide()) return false;
        }
        return true;
    }

    void decode(uint64_t qwReste) {
        uint32_t nLargeur = LARGEUR_MIN, nSuivant = PREMIER_CODE, nLimite = 1u << LARGEUR_MIN;
        uint32_t dwPrecedent = SANS_CODE;
        uint8_t byPremier = 0;   // first byte of the previous string
        while (qwReste > 0) {
            uint32_t dwCode = 0;
            if (!bCode(nLargeur, &dwCode)) return;
            if (dwCode == EFFACE) {
                nLargeur = LARGEUR_MIN;
                nSuivant = PREMIER_CODE;
                nLimite = 1u << LARGEUR_MIN;
                if (!bCode(nLargeur, &dwCode)) return;
                dwPrecedent = SANS_CODE;
            }
            if (dwPrecedent == SANS_CODE) {
                // The first code of the data, or the one after a clear: a byte.
                if (dwCode > 0xFF) {
                    bEchec(eCODAGE::DONNEES);
                    return;
                }
                byPremier = static_cast<uint8_t>(dwCode);
                if (!bEcrit(&byPremier, 1)) return;
                --qwReste;
                dwPrecedent = dwCode;
                continue;
            }
            // Spelled backwards from the end of the stack.
            uint32_t nPile = CODES;
            uint32_t c = dwCode;
            if (dwCode == nSuivant && nSuivant < CODES) {
                abyPile[--nPile] = byPremier;
                c = dwPrecedent;
            } else if (dwCode >= nSuivant) {
                bEchec(eCODAGE::DONNEES);
                return;
            }
            while (c > 0xFF) {
                abyPile[--nPile] = abySuffixe[c];
                c = awPrefixe[c];
            }
            abyPile[--nPile] = static_cast<uint8_t>(c);
            byPremier = static_cast<uint8_t>(c);
            uint32_t nLong = CODES - nPile;
            if (nLong > qwReste) nLong = static_cast<uint32_t>(qwReste);
            if (!bEcrit(abyPile + nPile, nLong)) return;
            qwReste -= nLong;
            if (nSuivant < CODES) {
                awPrefixe[nSuivant] = static_cast<uint16_t>(dwPrecedent);
                abySuffixe[nSuivant] = byPremier;
                ++nSuivant;
                if (nSuivant == nLimite && nLargeur < LARGEUR_MAX) {
                    ++nLargeur;
                    nLimite <<= 1;
                }
            }
            dwPrecedent = dwCode;
        }
        bVide();
    }
};

}  // namespace

bool bLitEntete(const uint8_t* pbyEntete, STEntete* pst) {
    if (std::memcmp(pbyEntete, SIGNATURE, TAILLE_SIGNATURE) != 0) return false;
    pst->dwTaille = _dwGrandBoutiste(pbyEntete + TAILLE_SIGNATURE);
    pst->dwPlace = _dwGrandBoutiste(pbyEntete + TAILLE_SIGNATURE + 4);
    return true;
}

eCODAGE decode(ISourceCompact& clSource, IPuitsCompact& clPuits, uint64_t qwTaille, uint16_t* pwCrc16) {
    return eLanceCodeur<CDecodeur>(clSource, clPuits, [qwTaille, pwCrc16](CDecodeur& cl) {
        cl.decode(qwTaille);
        if (pwCrc16 != nullptr) *pwCrc16 = cl.clCrc.wGetCRC();
    });
}

}  // namespace lzw_vieux
