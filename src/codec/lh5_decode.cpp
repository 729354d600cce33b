// The "-lh5-" decoder. Every count and table read from the coded data is
// checked before it is used; the input is padded with zero bits for reading
// ahead, and a decoder that consumes any of that padding has run past the
// data: the archive is damaged or cut short.
#include <algorithm>
#include <cstring>

#include "codec/lh5.h"
#include "codec/lh5_huffman.h"

namespace lh5 {

namespace {

constexpr uint32_t PIECE = 1u << 14;    // coded bytes read at once
constexpr uint32_t SORTIE = 1u << 16;   // decoded bytes handed over at once

struct CDecodeur : STCodeur {
    STBilan stBilan;

    uint8_t abyEntree[PIECE];
    uint32_t nEntree = 0;
    uint32_t nLu = 0;
    bool bFinSource = false;
    uint64_t qwBits = 0;
    int nBits = 0;        // valid bits at the low end of qwBits
    uint64_t qwZeros = 0; // padding bytes added after the end of the input

    CTableC clTableC;
    CTablePT clTableT, clTableP;
    uint8_t abyLongC[NC] = {};
    uint8_t abyLongT[NT] = {};
    uint8_t abyLongP[NP] = {};

    // The dictionary (the last DICSIZ bytes, spaces at first), then the
    // bytes not yet handed over; room for one more match past the limit.
    uint8_t abySortie[DICSIZ + SORTIE + MAXMATCH];
    uint32_t nSortie = DICSIZ;

    CDecodeur() { std::memset(abySortie, ' ', DICSIZ); }

    // --- Input ----------------------------------------------------------------

    // At least 57 bits in hand, zeros once the source is exhausted.
    void Remplit() {
        while (nBits <= 56) {
            if (nLu == nEntree && !bFinSource) {
                const int32_t n = pclSource->nLit(abyEntree, PIECE);
                if (n < 0) {
                    if (eEchec == eCODAGE::OK) eEchec = eFinFlux(n, eCODAGE::LECTURE);
                    bFinSource = true;
                } else if (n == 0) {
                    bFinSource = true;
                } else {
                    nEntree = static_cast<uint32_t>(n);
                    nLu = 0;
                    stBilan.qwLus += nEntree;
                }
            }
            uint8_t by = 0;
            if (nLu < nEntree)
                by = abyEntree[nLu++];
            else
                ++qwZeros;
            qwBits = (qwBits << 8) | by;
            nBits += 8;
        }
    }
    // Whether bits beyond the input were consumed.
    bool bDepasse() const { return static_cast<uint64_t>(nBits) < qwZeros * 8; }
    uint32_t Tete16() const { return static_cast<uint32_t>(qwBits >> (nBits - 16)) & 0xFFFFu; }
    void fillbuf(int n) { nBits -= n; }
    uint32_t getbits(int n) {
        if (n == 0) return 0;
        const uint32_t dw = static_cast<uint32_t>(qwBits >> (nBits - n)) & ((1u << n) - 1);
        nBits -= n;
        return dw;
    }
    // --- Tables ---------------------------------------------------------------

    bool read_pt_len(int nn, int nBitsCompte, int nSpecial, uint8_t* pbyLong, CTableLh5& clTable) {
        Remplit();
        const int n = static_cast<int>(getbits(nBitsCompte));
        if (n == 0) {
            const int c = static_cast<int>(getbits(nBitsCompte));
            if (c >= nn) return bEchec(eCODAGE::DONNEES);
            std::memset(pbyLong, 0, static_cast<size_t>(nn));
            clTable.Unique(nn, c);
            return true;
        }
        if (n > nn) return bEchec(eCODAGE::DONNEES);
        int i = 0;
        while (i < n) {
            Remplit();
            const uint32_t dw = Tete16();
            int c = static_cast<int>(dw >> 13);
            if (c == 7) {
                for (uint32_t dwMasque = 1u << 12; (dw & dwMasque) != 0; dwMasque >>= 1) ++c;
                if (c > static_cast<int>(LONGUEUR_MAX)) return bEchec(eCODAGE::DONNEES);
            }
            fillbuf(c < 7 ? 3 : c - 3);
            pbyLong[i++] = static_cast<uint8_t>(c);
            if (i == nSpecial) {
                int nZeros = static_cast<int>(getbits(2));
                if (i + nZeros > nn) return bEchec(eCODAGE::DONNEES);
                while (nZeros-- > 0) pbyLong[i++] = 0;
            }
        }
        std::memset(pbyLong + i, 0, static_cast<size_t>(nn - i));
        if (bDepasse() || !clTable.make_table(nn, pbyLong)) return bEchec(eCODAGE::DONNEES);
        return true;
    }

    bool read_c_len() {
        Remplit();
        const int n = static_cast<int>(getbits(CBIT));
        if (n == 0) {
            const int c = static_cast<int>(getbits(CBIT));
            if (c >= static_cast<int>(NC)) return bEchec(eCODAGE::DONNEES);
            std::memset(abyLongC, 0, sizeof abyLongC);
            clTableC.Unique(NC, c);
            return true;
        }
        if (n > static_cast<int>(NC)) return bEchec(eCODAGE::DONNEES);
        int i = 0;
        while (i < n) {
            Remplit();
            const uint16_t c = clTableT.wSymbole(Tete16());
            if (c == CTableLh5::INVALIDE) return bEchec(eCODAGE::DONNEES);
            fillbuf(abyLongT[c]);
            if (c > 2) {
                abyLongC[i++] = static_cast<uint8_t>(c - 2);
                continue;
            }
            const int nZeros = c == 0 ? 1 : c == 1 ? static_cast<int>(getbits(4)) + 3 : static_cast<int>(getbits(CBIT)) + 20;
            if (i + nZeros > static_cast<int>(NC)) return bEchec(eCODAGE::DONNEES);
            std::memset(abyLongC + i, 0, static_cast<size_t>(nZeros));
            i += nZeros;
        }
        std::memset(abyLongC + i, 0, NC - static_cast<size_t>(i));
        if (bDepasse() || !clTableC.make_table(NC, abyLongC)) return bEchec(eCODAGE::DONNEES);
        return true;
    }

    // --- Symbols ----------------------------------------------------------------

    // The next C symbol, or INVALIDE (bits in hand: at least 16).
    uint32_t decode_c() {
        const uint16_t c = clTableC.wSymbole(Tete16());
        if (c != CTableLh5::INVALIDE) fillbuf(abyLongC[c]);
        return c;
    }

    // The distance of a match less one, or INVALIDE (bits in hand: at least 28).
    uint32_t decode_p() {
        const uint16_t j = clTableP.wSymbole(Tete16());
        if (j == CTableLh5::INVALIDE) return j;
        fillbuf(abyLongP[j]);
        if (j <= 1) return j;
        return (1u << (j - 1)) + getbits(j - 1);
    }

    // --- Output -----------------------------------------------------------------

    bool Vide() {
        const uint32_t n = nSortie - DICSIZ;
        if (n == 0) return true;
        clCrc.Ajoute(abySortie + DICSIZ, n);
        const int32_t r = pclPuits->nEcrit(abySortie + DICSIZ, n);
        if (r != 0) return bEchec(eFinFlux(r, eCODAGE::ECRITURE));
        stBilan.qwEcrits += n;
        std::memmove(abySortie, abySortie + nSortie - DICSIZ, DICSIZ);
        nSortie = DICSIZ;
        return true;
    }

    void decode(uint64_t qwTaille) {
        uint64_t qwReste = qwTaille;
        uint32_t nBloc = 0;
        while (qwReste > 0) {
            if (nBloc == 0) {
                Remplit();
                nBloc = getbits(16);
                // No encoder sends an empty block; taking them would let a
                // few bytes of input rebuild tables without end.
                if (nBloc == 0) {
                    bEchec(eCODAGE::DONNEES);
                    return;
                }
                if (!read_pt_len(NT, TBIT, T_SPECIAL, abyLongT, clTableT) || !read_c_len() ||
                    !read_pt_len(NP, PBIT, -1, abyLongP, clTableP))
                    return;
            }
            --nBloc;
            Remplit();
            const uint32_t c = decode_c();
            if (c == CTableLh5::INVALIDE) {
                bEchec(eCODAGE::DONNEES);
                return;
            }
            if (c < 256) {
                abySortie[nSortie++] = static_cast<uint8_t>(c);
                --qwReste;
            } else {
                uint32_t nLong = c - 256 + THRESHOLD;
                const uint32_t p = decode_p();
                if (p == CTableLh5::INVALIDE) {
                    bEchec(eCODAGE::DONNEES);
                    return;
                }
                // A match running past the announced size is cut there.
                if (nLong > qwReste) nLong = static_cast<uint32_t>(qwReste);
                const uint32_t nDistance = p + 1;
                uint8_t* pbyDest = abySortie + nSortie;
                const uint8_t* pbySrc = pbyDest - nDistance;
                if (nDistance >= nLong) {
                    std::memcpy(pbyDest, pbySrc, nLong);
                } else {
                    for (uint32_t k = 0; k < nLong; ++k) pbyDest[k] = pbySrc[k];
                }
                nSortie += nLong;
                qwReste -= nLong;
            }
            if (bDepasse()) {
                bEchec(eCODAGE::DONNEES);
                return;
            }
            if (eEchec != eCODAGE::OK) return;   // the source failed
            if (nSortie >= DICSIZ + SORTIE && !Vide()) return;
        }
        Vide();
    }
};

}  // namespace

eCODAGE decode(ISourceCompact& clSource, IPuitsCompact& clPuits, uint64_t qwTaille, STBilan* pstBilan) {
    return eLanceCodeur<CDecodeur>(clSource, clPuits, [qwTaille, pstBilan](CDecodeur& cl) {
        cl.decode(qwTaille);
        cl.stBilan.wCrc16 = cl.clCrc.wGetCRC();
        if (pstBilan != nullptr) *pstBilan = cl.stBilan;
    });
}

}  // namespace lh5
