// The shapes of the "-lh5-" method and the static Huffman codes of its
// blocks, shared by the encoder and the decoder.
//
// A block codes its symbols with three prefix codes whose lengths it carries:
// C (NC symbols: 256 bytes, then match lengths 3 to 256), P (NP symbols: the
// bit count of a match distance) and T (NT symbols, used only to code the
// lengths of C). Codes are canonical: shorter codes first, and within one
// length in symbol order; no code is longer than 16 bits.
#pragma once
#include <cstdint>

namespace lh5 {

constexpr unsigned DICBIT = 13;                          // 8 KB dictionary
constexpr unsigned DICSIZ = 1u << DICBIT;
constexpr unsigned MAXMATCH = 256;
constexpr unsigned THRESHOLD = 3;                        // shortest match
constexpr unsigned NC = 255 + MAXMATCH + 2 - THRESHOLD;  // 510
constexpr unsigned CBIT = 9;                             // bits of a count of C lengths
constexpr unsigned NP = DICBIT + 1;                      // 14
constexpr unsigned PBIT = 4;
constexpr unsigned NT = 16 + 3;                          // lengths 1..16, and 3 zero-run codes
constexpr unsigned TBIT = 5;
constexpr unsigned NPT = NT > NP ? NT : NP;
constexpr unsigned LONGUEUR_MAX = 16;
// The T lengths: after the third one, 2 bits say how many zeros follow.
constexpr int T_SPECIAL = 3;

// Lengths of a Huffman code over the nSymboles frequencies, none above 16
// bits. Returns how many symbols are used; with fewer than two, every length
// is 0 and *pnSeul is the one used symbol (0 when there is none), which a
// block writes in its one-symbol form.
int make_tree(int nSymboles, const uint32_t* pdwFrequence, uint8_t* pbyLongueur, int* pnSeul);

// Canonical codes of the lengths.
void make_code(int nSymboles, const uint8_t* pbyLongueur, uint16_t* pwCode);

// Decoding table of a code: the first nBitsTable bits of the input index
// the table; longer codes continue in a binary tree. Lengths read from
// hostile input are checked: a code that claims more than its bits allow is
// refused, and bit patterns that an incomplete code leaves free decode as
// INVALIDE rather than as some symbol.
class CTableLh5 {
public:
    static constexpr uint16_t INVALIDE = 0xFFFF;

    // False when the lengths do not form a prefix code (or one is above 16).
    bool make_table(int nSymboles, const uint8_t* pbyLongueur, int nBitsTable);
    // Every input decodes as nSymbole (below nSymboles), read with no bits.
    void Unique(int nSymboles, int nSymbole, int nBitsTable);

    // The symbol at the head of 16 bits of input (first bit highest), or
    // INVALIDE; its length is in the lengths given to make_table.
    uint16_t wSymbole(uint32_t dwTete16) const {
        uint16_t w = m_awTable[dwTete16 >> (16 - m_nBitsTable)];
        if (w < m_nSymboles || w == INVALIDE) return w;
        uint32_t dwMasque = 1u << (15 - m_nBitsTable);
        while (w >= m_nSymboles && w != INVALIDE) {
            if (dwMasque == 0) return INVALIDE;
            w = (dwTete16 & dwMasque) ? m_awDroite[w] : m_awGauche[w];
            dwMasque >>= 1;
        }
        return w;
    }

private:
    int m_nSymboles = 0;
    int m_nBitsTable = 0;
    uint16_t m_awTable[1u << 12] = {};
    // Inner nodes of the trees below the table, numbered from m_nSymboles:
    // room for an incomplete code whose every symbol needs its own path.
    static constexpr int NOEUDS = NC + NC * (LONGUEUR_MAX - 8);
    uint16_t m_awGauche[NOEUDS] = {};
    uint16_t m_awDroite[NOEUDS] = {};
};

}  // namespace lh5
