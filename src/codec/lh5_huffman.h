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

// Decoding table of a code: the first bits of the input index the table;
// longer codes continue in a binary tree. Lengths read from hostile input
// are checked: a code that claims more than its bits allow is refused, and
// bit patterns that an incomplete code leaves free decode as INVALIDE
// rather than as some symbol. The storage is CTableLh5De's.
class CTableLh5 {
public:
    static constexpr uint16_t INVALIDE = 0xFFFF;

    CTableLh5(const CTableLh5&) = delete;
    CTableLh5& operator=(const CTableLh5&) = delete;

    // False when the lengths do not form a prefix code (or one is above 16,
    // or there are more symbols than the table holds). Empty until made.
    bool make_table(int nSymboles, const uint8_t* pbyLongueur);
    // Every input decodes as nSymbole (below nSymboles), read with no bits.
    void Unique(int nSymboles, int nSymbole);

    // The symbol at the head of 16 bits of input (first bit highest), or
    // INVALIDE; its length is in the lengths given to make_table.
    uint16_t wSymbole(uint32_t dwTete16) const {
        uint16_t w = m_pwTable[dwTete16 >> (16 - m_nBitsTable)];
        if (w < m_nSymboles || w == INVALIDE) return w;
        uint32_t dwMasque = 1u << (15 - m_nBitsTable);
        while (w >= m_nSymboles && w != INVALIDE) {
            if (dwMasque == 0) return INVALIDE;
            w = (dwTete16 & dwMasque) ? m_pwDroite[w] : m_pwGauche[w];
            dwMasque >>= 1;
        }
        return w;
    }

protected:
    CTableLh5(int nSymbolesMax, int nBitsTable, uint16_t* pwTable, uint16_t* pwGauche, uint16_t* pwDroite,
              int nNoeuds)
        : m_nSymbolesMax(nSymbolesMax), m_nBitsTable(nBitsTable), m_nNoeuds(nNoeuds), m_pwTable(pwTable),
          m_pwGauche(pwGauche), m_pwDroite(pwDroite) {}
    ~CTableLh5() = default;

private:
    int m_nSymbolesMax;
    int m_nBitsTable;
    int m_nNoeuds;
    int m_nSymboles = 0;
    uint16_t* m_pwTable;
    // Inner nodes of the trees below the table, numbered from m_nSymboles.
    uint16_t* m_pwGauche;
    uint16_t* m_pwDroite;
};

// A table for codes of up to N_SYMBOLES symbols indexed by BITS_TABLE bits,
// with room for an incomplete code whose every symbol needs its own path.
template <int N_SYMBOLES, int BITS_TABLE>
class CTableLh5De final : public CTableLh5 {
public:
    CTableLh5De() : CTableLh5(N_SYMBOLES, BITS_TABLE, m_awTable, m_awGauche, m_awDroite, NOEUDS) {}

private:
    static constexpr int NOEUDS = N_SYMBOLES + N_SYMBOLES * (static_cast<int>(LONGUEUR_MAX) - BITS_TABLE);
    uint16_t m_awTable[1 << BITS_TABLE];
    uint16_t m_awGauche[NOEUDS];
    uint16_t m_awDroite[NOEUDS];
};

// The tables of a block: C by 12 bits, T and P by 8.
using CTableC = CTableLh5De<NC, 12>;
using CTablePT = CTableLh5De<NPT, 8>;

}  // namespace lh5
