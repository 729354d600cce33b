// Huffman code lengths, canonical codes and decoding tables of the "-lh5-"
// blocks.
#include "codec/lh5_huffman.h"

#include <algorithm>
#include <cstring>

namespace lh5 {

int make_tree(int nSymboles, const uint32_t* pdwFrequence, uint8_t* pbyLongueur, int* pnSeul) {
    std::memset(pbyLongueur, 0, static_cast<size_t>(nSymboles));
    uint16_t awSymbole[NC];
    int m = 0;
    for (int i = 0; i < nSymboles; ++i)
        if (pdwFrequence[i] != 0) awSymbole[m++] = static_cast<uint16_t>(i);
    *pnSeul = m > 0 ? awSymbole[0] : 0;
    if (m < 2) return m;
    std::sort(awSymbole, awSymbole + m, [pdwFrequence](uint16_t a, uint16_t b) {
        return pdwFrequence[a] != pdwFrequence[b] ? pdwFrequence[a] < pdwFrequence[b] : a < b;
    });

    // Two queues (leaves by rising frequency, then inner nodes as they are
    // made, which come out in rising weight too): the two lightest are
    // always at one of the two heads.
    uint64_t aqwPoids[2 * NC];
    uint16_t awParent[2 * NC];
    uint8_t abyProfondeur[2 * NC];
    for (int i = 0; i < m; ++i) aqwPoids[i] = pdwFrequence[awSymbole[i]];
    int nFeuille = 0, nNoeud = m, nSuivant = m;
    auto fnPlusLeger = [&]() {
        if (nFeuille < m && (nNoeud >= nSuivant || aqwPoids[nFeuille] <= aqwPoids[nNoeud])) return nFeuille++;
        return nNoeud++;
    };
    while (nSuivant < 2 * m - 1) {
        const int a = fnPlusLeger();
        const int b = fnPlusLeger();
        aqwPoids[nSuivant] = aqwPoids[a] + aqwPoids[b];
        awParent[a] = awParent[b] = static_cast<uint16_t>(nSuivant);
        ++nSuivant;
    }
    abyProfondeur[2 * m - 2] = 0;
    for (int i = 2 * m - 3; i >= 0; --i) {
        const int n = abyProfondeur[awParent[i]] + 1;
        abyProfondeur[i] = static_cast<uint8_t>(std::min(n, 255));
    }

    // Leaves deeper than 16 are brought up to 16; the code is then
    // over-full, and each round takes one unit of 2^-16 back: a leaf leaves
    // depth 16 while a shallower leaf splits into two one level down.
    uint32_t anCompte[LONGUEUR_MAX + 1] = {};
    for (int i = 0; i < m; ++i) ++anCompte[std::min<int>(abyProfondeur[i], LONGUEUR_MAX)];
    uint32_t dwTotal = 0;
    for (unsigned l = 1; l <= LONGUEUR_MAX; ++l) dwTotal += anCompte[l] << (LONGUEUR_MAX - l);
    while (dwTotal > (1u << LONGUEUR_MAX) && anCompte[LONGUEUR_MAX] > 0) {
        --anCompte[LONGUEUR_MAX];
        for (unsigned l = LONGUEUR_MAX - 1; l > 0; --l) {
            if (anCompte[l] != 0) {
                --anCompte[l];
                anCompte[l + 1] += 2;
                break;
            }
        }
        --dwTotal;
    }
    // The most frequent symbols take the shortest lengths.
    int k = m - 1;
    for (unsigned l = 1; l <= LONGUEUR_MAX; ++l)
        for (uint32_t c = 0; c < anCompte[l]; ++c) pbyLongueur[awSymbole[k--]] = static_cast<uint8_t>(l);
    return m;
}

void make_code(int nSymboles, const uint8_t* pbyLongueur, uint16_t* pwCode) {
    uint32_t anCompte[LONGUEUR_MAX + 2] = {};
    for (int i = 0; i < nSymboles; ++i) ++anCompte[pbyLongueur[i]];
    uint32_t anDebut[LONGUEUR_MAX + 2] = {};
    for (unsigned l = 1; l <= LONGUEUR_MAX; ++l) anDebut[l + 1] = (anDebut[l] + anCompte[l]) << 1;
    for (int i = 0; i < nSymboles; ++i)
        pwCode[i] = static_cast<uint16_t>(pbyLongueur[i] != 0 ? anDebut[pbyLongueur[i]]++ : 0);
}

bool CTableLh5::make_table(int nSymboles, const uint8_t* pbyLongueur) {
    if (nSymboles > m_nSymbolesMax) return false;
    m_nSymboles = nSymboles;
    const int nBitsTable = m_nBitsTable;
    uint32_t anCompte[LONGUEUR_MAX + 1] = {};
    for (int i = 0; i < nSymboles; ++i) {
        if (pbyLongueur[i] > LONGUEUR_MAX) return false;
        ++anCompte[pbyLongueur[i]];
    }
    // Codes as 16-bit left-aligned values; together they may not claim more
    // than the 2^16 patterns there are.
    uint32_t anDebut[LONGUEUR_MAX + 2] = {};
    for (unsigned l = 1; l <= LONGUEUR_MAX; ++l) anDebut[l + 1] = anDebut[l] + (anCompte[l] << (LONGUEUR_MAX - l));
    if (anDebut[LONGUEUR_MAX + 1] > (1u << LONGUEUR_MAX)) return false;

    static_assert(INVALIDE == 0xFFFF, "free patterns: every byte all ones");
    std::memset(m_pwTable, 0xFF, sizeof m_pwTable[0] << nBitsTable);
    int nLibre = nSymboles;
    for (int s = 0; s < nSymboles; ++s) {
        const int l = pbyLongueur[s];
        if (l == 0) continue;
        const uint32_t dwCode = anDebut[l];
        anDebut[l] += 1u << (LONGUEUR_MAX - l);
        if (l <= nBitsTable) {
            const uint32_t i = dwCode >> (LONGUEUR_MAX - nBitsTable);
            std::fill(m_pwTable + i, m_pwTable + i + (1u << (nBitsTable - l)), static_cast<uint16_t>(s));
            continue;
        }
        uint16_t* pw = &m_pwTable[dwCode >> (LONGUEUR_MAX - nBitsTable)];
        for (int k = nBitsTable; k < l; ++k) {
            if (*pw == INVALIDE) {
                if (nLibre >= m_nNoeuds) return false;
                m_pwGauche[nLibre] = m_pwDroite[nLibre] = INVALIDE;
                *pw = static_cast<uint16_t>(nLibre++);
            } else if (*pw < nSymboles) {
                return false;   // a shorter code is a prefix of this one
            }
            pw = ((dwCode >> (LONGUEUR_MAX - 1 - k)) & 1u) ? &m_pwDroite[*pw] : &m_pwGauche[*pw];
        }
        if (*pw != INVALIDE) return false;
        *pw = static_cast<uint16_t>(s);
    }
    return true;
}

void CTableLh5::Unique(int nSymboles, int nSymbole) {
    m_nSymboles = nSymboles;
    std::fill(m_pwTable, m_pwTable + (1u << m_nBitsTable), static_cast<uint16_t>(nSymbole));
}

}  // namespace lh5
