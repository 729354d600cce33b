// The "-lh5-" encoder: matches found through hash chains over the last 8 KB
// with one step of lazy evaluation, gathered into blocks of symbols, each
// block sent with Huffman codes built from its own frequencies.
#include <cstring>

#include "codec/lh5.h"
#include "codec/lh5_huffman.h"

namespace lh5 {

namespace {

// Bytes of input kept in memory: the dictionary behind the position and
// the look-ahead in front of it. Sliding happens once per this many bytes.
constexpr uint32_t FENETRE = 1u << 18;
constexpr uint32_t PIECE = 1u << 16;                       // read at most this much at a time
constexpr uint32_t AVANCE_MIN = MAXMATCH + THRESHOLD + 1;  // look-ahead a full match needs
constexpr uint32_t HACHE_BITS = 15;
constexpr uint32_t HACHE = 1u << HACHE_BITS;
// The farthest match is the whole dictionary back. Its position shares its
// slot in the ring of links with the current one, which is only linked
// after the search: the link is still there when the chain reaches it.
constexpr uint32_t DISTANCE_MAX = DICSIZ;
constexpr uint32_t BLOC_MAX = 0xFFFF;        // symbols of one block (a 16-bit count)
constexpr uint32_t PIECE_SYMBOLES = 0x800;   // symbols weighed at a time
constexpr uint32_t SORTIE = 1u << 16;        // coded bytes handed over at once
// Search effort: links followed at one position, fewer once the previous
// match is already good; a match this long is taken at once.
constexpr uint32_t CHAINE = 256;
constexpr uint32_t BONNE_LONGUEUR = 32;
constexpr uint32_t LONGUEUR_SUFFISANTE = MAXMATCH;
// A 3-byte match this far back costs more than its three literals.
constexpr uint32_t TROP_LOIN_POUR_3 = 4096;
constexpr int32_t AUCUNE = -1;

struct CEncodeur : STCodeur {
    STBilan stBilan;

    uint8_t abyFenetre[FENETRE];
    uint32_t nFin = 0;                      // bytes in the window
    uint32_t nPos = 0;
    bool bFinSource = false;
    int32_t anTete[HACHE];
    int32_t anLien[DICSIZ];

    // Symbols of the block being built, then of the piece being gathered.
    uint16_t awC[BLOC_MAX + PIECE_SYMBOLES];
    uint16_t awP[BLOC_MAX + PIECE_SYMBOLES];
    uint32_t nBloc = 0;
    uint32_t nSymboles = 0;
    uint32_t adwFreqC[NC] = {};
    uint32_t adwFreqP[NP] = {};
    uint32_t adwPieceC[NC] = {};
    uint32_t adwPieceP[NP] = {};
    uint64_t qwCoutBloc = 0;
    uint64_t qwCompte = 0;
    uint8_t abyLongC[NC];
    uint8_t abyLongP[NP];
    uint8_t abyLongT[NT];
    uint16_t awCodeC[NC];
    uint16_t awCodeP[NP];
    uint16_t awCodeT[NT];

    uint64_t qwBits = 0;
    int nBits = 0;
    uint8_t abySortie[SORTIE + 8];
    uint32_t nSortie = 0;

    CEncodeur() {
        static_assert(AUCUNE == -1, "no position: every byte all ones");
        std::memset(anTete, 0xFF, sizeof anTete);
        std::memset(anLien, 0xFF, sizeof anLien);
    }

    // --- Output -----------------------------------------------------------

    void Vide() {
        if (nSortie == 0 || eEchec != eCODAGE::OK) {
            nSortie = 0;
            return;
        }
        const int32_t n = pclPuits->nEcrit(abySortie, nSortie);
        if (n != 0)
            eEchec = eFinFlux(n, eCODAGE::ECRITURE);
        else
            stBilan.qwEcrits += nSortie;
        nSortie = 0;
    }

    // n bits of x (x below 2^n, n at most 16), first bit highest; while a
    // block is only being priced, the bits are counted instead.
    template <bool bCompte>
    void putbits(int n, uint32_t x) {
        if constexpr (bCompte) {
            qwCompte += static_cast<uint32_t>(n);
            return;
        }
        qwBits = (qwBits << n) | x;
        nBits += n;
        if (nBits >= 32) {
            nBits -= 32;
            const uint32_t dw = static_cast<uint32_t>(qwBits >> nBits);
            abySortie[nSortie] = static_cast<uint8_t>(dw >> 24);
            abySortie[nSortie + 1] = static_cast<uint8_t>(dw >> 16);
            abySortie[nSortie + 2] = static_cast<uint8_t>(dw >> 8);
            abySortie[nSortie + 3] = static_cast<uint8_t>(dw);
            nSortie += 4;
            if (nSortie >= SORTIE) Vide();
        }
    }

    // The last bits, padded with zeros to a whole byte.
    void Termine() {
        while (nBits > 0) {
            const int n = nBits >= 8 ? 8 : nBits;
            nBits -= n;
            abySortie[nSortie++] = static_cast<uint8_t>(((qwBits >> nBits) & ((1u << n) - 1)) << (8 - n));
        }
        Vide();
    }

    // --- Blocks -------------------------------------------------------------

    template <bool bCompte>
    void write_pt_len(int n, int nBitsCompte, int nSpecial, const uint8_t* pbyLong) {
        while (n > 0 && pbyLong[n - 1] == 0) --n;
        putbits<bCompte>(nBitsCompte, static_cast<uint32_t>(n));
        int i = 0;
        while (i < n) {
            const int k = pbyLong[i++];
            if (k <= 6)
                putbits<bCompte>(3, static_cast<uint32_t>(k));
            else
                putbits<bCompte>(k - 3, (1u << (k - 3)) - 2);   // 7 and up: ones, then a zero
            if (i == nSpecial) {
                while (i < 6 && pbyLong[i] == 0) ++i;
                putbits<bCompte>(2, static_cast<uint32_t>((i - 3) & 3));
            }
        }
    }

    // Runs of zero C lengths are coded with T symbols 0 (one zero), 1 (3 to
    // 18 zeros, 4 bits) and 2 (20 or more, 9 bits); a length k is T
    // symbol k + 2. fnCode receives each T symbol, and the extra bits.
    template <typename F>
    void ParcourtLongueursC(F fnCode) {
        int n = NC;
        while (n > 0 && abyLongC[n - 1] == 0) --n;
        int i = 0;
        while (i < n) {
            const int k = abyLongC[i++];
            if (k != 0) {
                fnCode(k + 2, 0, 0u);
                continue;
            }
            int nZeros = 1;
            while (i < n && abyLongC[i] == 0) {
                ++i;
                ++nZeros;
            }
            if (nZeros <= 2) {
                for (int z = 0; z < nZeros; ++z) fnCode(0, 0, 0u);
            } else if (nZeros <= 18) {
                fnCode(1, 4, static_cast<uint32_t>(nZeros - 3));
            } else if (nZeros == 19) {
                fnCode(0, 0, 0u);
                fnCode(1, 4, 15u);
            } else {
                fnCode(2, static_cast<int>(CBIT), static_cast<uint32_t>(nZeros - 20));
            }
        }
    }

    // The three code tables of a block with these frequencies; the lengths
    // and codes stay in abyLong* and awCode* for its symbols.
    template <bool bCompte>
    void EcritTables(const uint32_t* pdwFreqC, const uint32_t* pdwFreqP) {
        int nSeul = 0;
        if (make_tree(NC, pdwFreqC, abyLongC, &nSeul) >= 2) {
            make_code(NC, abyLongC, awCodeC);
            uint32_t adwFreqT[NT] = {};
            ParcourtLongueursC([&adwFreqT](int t, int, uint32_t) { ++adwFreqT[t]; });
            int nSeulT = 0;
            if (make_tree(NT, adwFreqT, abyLongT, &nSeulT) >= 2) {
                make_code(NT, abyLongT, awCodeT);
                write_pt_len<bCompte>(NT, TBIT, T_SPECIAL, abyLongT);
            } else {
                putbits<bCompte>(TBIT, 0);
                putbits<bCompte>(TBIT, static_cast<uint32_t>(nSeulT));
            }
            int n = NC;
            while (n > 0 && abyLongC[n - 1] == 0) --n;
            putbits<bCompte>(CBIT, static_cast<uint32_t>(n));
            ParcourtLongueursC([this](int t, int nExtra, uint32_t dwExtra) {
                putbits<bCompte>(abyLongT[t], awCodeT[t]);
                if (nExtra != 0) putbits<bCompte>(nExtra, dwExtra);
            });
        } else {
            // One symbol only: it is read with no bits.
            awCodeC[nSeul] = 0;
            putbits<bCompte>(TBIT, 0);
            putbits<bCompte>(TBIT, 0);
            putbits<bCompte>(CBIT, 0);
            putbits<bCompte>(CBIT, static_cast<uint32_t>(nSeul));
        }
        if (make_tree(NP, pdwFreqP, abyLongP, &nSeul) >= 2) {
            make_code(NP, abyLongP, awCodeP);
            write_pt_len<bCompte>(NP, PBIT, -1, abyLongP);
        } else {
            awCodeP[nSeul] = 0;
            putbits<bCompte>(PBIT, 0);
            putbits<bCompte>(PBIT, static_cast<uint32_t>(nSeul));
        }
    }

    // Bits of a block with these frequencies, tables included.
    uint64_t Cout(const uint32_t* pdwFreqC, const uint32_t* pdwFreqP) {
        qwCompte = 16;
        EcritTables<true>(pdwFreqC, pdwFreqP);
        for (uint32_t c = 0; c < NC; ++c) qwCompte += uint64_t(pdwFreqC[c]) * abyLongC[c];
        for (uint32_t j = 0; j < NP; ++j) qwCompte += uint64_t(pdwFreqP[j]) * (abyLongP[j] + (j > 1 ? j - 1 : 0));
        return qwCompte;
    }

    static uint32_t BitsDistance(uint32_t p) { return p == 0 ? 0 : 32 - static_cast<uint32_t>(__builtin_clz(p)); }

    // The first nSymb symbols gathered, as one block.
    void send_block(uint32_t nSymb) {
        if (nSymb == 0) return;
        putbits<false>(16, nSymb);
        EcritTables<false>(adwFreqC, adwFreqP);
        for (uint32_t i = 0; i < nSymb; ++i) {
            const uint32_t c = awC[i];
            putbits<false>(abyLongC[c], awCodeC[c]);
            if (c >= 256) {
                const uint32_t p = awP[i];
                const uint32_t nb = BitsDistance(p);
                putbits<false>(abyLongP[nb], awCodeP[nb]);
                if (nb > 1) putbits<false>(static_cast<int>(nb - 1), p & ((1u << (nb - 1)) - 1));
            }
        }
    }

    // Symbols are gathered in pieces; a piece joins the block when one block
    // costs no more than two, else the block is sent and the piece starts
    // the next one. Blocks thus follow the changes of the data.
    void FinPiece(bool bDerniere) {
        const uint32_t nPiece = nSymboles - nBloc;
        if (nPiece > 0) {
            const uint64_t qwCoutPiece = Cout(adwPieceC, adwPieceP);
            bool bJoint = nBloc == 0;
            uint64_t qwCoutJoint = qwCoutPiece;
            if (!bJoint && nSymboles <= BLOC_MAX) {
                uint32_t adwC[NC], adwP[NP];
                for (uint32_t c = 0; c < NC; ++c) adwC[c] = adwFreqC[c] + adwPieceC[c];
                for (uint32_t j = 0; j < NP; ++j) adwP[j] = adwFreqP[j] + adwPieceP[j];
                qwCoutJoint = Cout(adwC, adwP);
                bJoint = qwCoutJoint <= qwCoutBloc + qwCoutPiece;
            }
            if (bJoint) {
                for (uint32_t c = 0; c < NC; ++c) adwFreqC[c] += adwPieceC[c];
                for (uint32_t j = 0; j < NP; ++j) adwFreqP[j] += adwPieceP[j];
                qwCoutBloc = qwCoutJoint;
            } else {
                send_block(nBloc);
                std::memmove(awC, awC + nBloc, nPiece * sizeof awC[0]);
                std::memmove(awP, awP + nBloc, nPiece * sizeof awP[0]);
                std::memcpy(adwFreqC, adwPieceC, sizeof adwFreqC);
                std::memcpy(adwFreqP, adwPieceP, sizeof adwFreqP);
                qwCoutBloc = qwCoutPiece;
                nSymboles = nPiece;
            }
            nBloc = nSymboles;
            std::memset(adwPieceC, 0, sizeof adwPieceC);
            std::memset(adwPieceP, 0, sizeof adwPieceP);
        }
        if (bDerniere) {
            send_block(nBloc);
            nBloc = nSymboles = 0;
        }
    }

    // A literal (c below 256), or a match of c - 256 + THRESHOLD bytes
    // nDistance back.
    void output(uint32_t c, uint32_t nDistance) {
        awC[nSymboles] = static_cast<uint16_t>(c);
        ++adwPieceC[c];
        if (c >= 256) {
            const uint32_t p = nDistance - 1;
            awP[nSymboles] = static_cast<uint16_t>(p);
            ++adwPieceP[BitsDistance(p)];
        }
        if (++nSymboles - nBloc == PIECE_SYMBOLES) FinPiece(false);
    }

    // --- Input and matches ----------------------------------------------------

    // Keeps at least a full match of look-ahead, sliding the window down by
    // whole dictionaries when it is full. False once the source failed.
    bool Alimente() {
        while (!bFinSource && nFin - nPos < AVANCE_MIN) {
            if (nFin == FENETRE) {
                const uint32_t dwDecalage = (nPos - DICSIZ) & ~(DICSIZ - 1);
                std::memmove(abyFenetre, abyFenetre + dwDecalage, nFin - dwDecalage);
                nPos -= dwDecalage;
                nFin -= dwDecalage;
                const int32_t n = static_cast<int32_t>(dwDecalage);
                for (int32_t& v : anTete) v = v >= n ? v - n : AUCUNE;
                for (int32_t& v : anLien) v = v >= n ? v - n : AUCUNE;
            }
            uint32_t nVoulu = FENETRE - nFin;
            if (nVoulu > PIECE) nVoulu = PIECE;
            const int32_t n = pclSource->nLit(abyFenetre + nFin, nVoulu);
            if (n < 0) {
                return bEchec(eFinFlux(n, eCODAGE::LECTURE));
            }
            if (n == 0) {
                bFinSource = true;
                break;
            }
            clCrc.Ajoute(abyFenetre + nFin, static_cast<uint32_t>(n));
            stBilan.qwLus += static_cast<uint32_t>(n);
            nFin += static_cast<uint32_t>(n);
        }
        return true;
    }

    uint32_t Hache(uint32_t p) const {
        const uint32_t dw = (uint32_t(abyFenetre[p]) << 16) | (uint32_t(abyFenetre[p + 1]) << 8) | abyFenetre[p + 2];
        return (dw * 2654435761u) >> (32 - HACHE_BITS);
    }

    // Links position p into its chain (three bytes must follow).
    void Insere(uint32_t p) {
        const uint32_t h = Hache(p);
        anLien[p & (DICSIZ - 1)] = anTete[h];
        anTete[h] = static_cast<int32_t>(p);
    }

    uint32_t Commun(uint32_t a, uint32_t b, uint32_t nMax) const {
        uint32_t n = 0;
        while (n + 8 <= nMax) {
            uint64_t x, y;
            std::memcpy(&x, abyFenetre + a + n, 8);
            std::memcpy(&y, abyFenetre + b + n, 8);
            if (x != y) return n + static_cast<uint32_t>(__builtin_ctzll(x ^ y) >> 3);
            n += 8;
        }
        while (n < nMax && abyFenetre[a + n] == abyFenetre[b + n]) ++n;
        return n;
    }

    // The longest match at nPos longer than nMeilleure, searching the chain
    // of nPos before nPos itself is linked. Returns its length (0 when none
    // is longer) and its distance.
    uint32_t Cherche(uint32_t nMeilleure, uint32_t* pnDistance) {
        const uint32_t nMax = nFin - nPos < MAXMATCH ? nFin - nPos : MAXMATCH;
        if (nMax < THRESHOLD || nMeilleure >= nMax) return 0;
        uint32_t nChaine = nMeilleure >= BONNE_LONGUEUR ? CHAINE / 4 : CHAINE;
        const int32_t nLimite = static_cast<int32_t>(nPos) - static_cast<int32_t>(DISTANCE_MAX);
        int32_t nCourant = anTete[Hache(nPos)];
        uint32_t nTrouve = 0;
        const uint8_t* pby = abyFenetre + nPos;
        while (nCourant >= 0 && nCourant >= nLimite && nChaine-- > 0) {
            const uint32_t c = static_cast<uint32_t>(nCourant);
            const uint8_t* pbyC = abyFenetre + c;
            if (pbyC[nMeilleure] == pby[nMeilleure] && pbyC[0] == pby[0] && pbyC[1] == pby[1]) {
                const uint32_t n = Commun(c, nPos, nMax);
                if (n > nMeilleure && (n > THRESHOLD || nPos - c <= TROP_LOIN_POUR_3)) {
                    nMeilleure = n;
                    nTrouve = n;
                    *pnDistance = nPos - c;
                    if (n >= LONGUEUR_SUFFISANTE || n >= nMax) break;
                }
            }
            const int32_t nSuivant = anLien[c & (DICSIZ - 1)];
            if (nSuivant >= nCourant) break;
            nCourant = nSuivant;
        }
        return nTrouve;
    }

    void encode() {
        // A match found at the previous position waits to see whether the
        // next one does better.
        uint32_t nLongPrec = 0, nDistPrec = 0;
        bool bLitteralEnAttente = false;
        for (;;) {
            if (!Alimente()) return;
            if (nPos >= nFin) break;
            uint32_t nLong = 0, nDist = 0;
            const bool bHachable = nFin - nPos >= THRESHOLD;
            if (bHachable) {
                if (nLongPrec < LONGUEUR_SUFFISANTE) nLong = Cherche(nLongPrec >= THRESHOLD ? nLongPrec : 2, &nDist);
                Insere(nPos);
            }
            if (nLongPrec >= THRESHOLD && nLong <= nLongPrec) {
                output(256 + nLongPrec - THRESHOLD, nDistPrec);
                // The match began at nPos - 1; link the positions it covers.
                const uint32_t nFinMatch = nPos - 1 + nLongPrec;
                for (++nPos; nPos < nFinMatch; ++nPos)
                    if (nFin - nPos >= THRESHOLD) Insere(nPos);
                nLongPrec = 0;
                bLitteralEnAttente = false;
            } else {
                if (bLitteralEnAttente) output(abyFenetre[nPos - 1], 0);
                bLitteralEnAttente = true;
                nLongPrec = nLong;
                nDistPrec = nDist;
                ++nPos;
            }
            if (eEchec != eCODAGE::OK) return;
        }
        if (nLongPrec >= THRESHOLD)
            output(256 + nLongPrec - THRESHOLD, nDistPrec);
        else if (bLitteralEnAttente)
            output(abyFenetre[nPos - 1], 0);
        FinPiece(true);
        Termine();
    }
};

}  // namespace

eCODAGE encode(ISourceCompact& clSource, IPuitsCompact& clPuits, STBilan* pstBilan) {
    return eLanceCodeur<CEncodeur>(clSource, clPuits, [pstBilan](CEncodeur& cl) {
        cl.encode();
        cl.stBilan.wCrc16 = cl.clCrc.wGetCRC();
        if (pstBilan != nullptr) *pstBilan = cl.stBilan;
    });
}

}  // namespace lh5
