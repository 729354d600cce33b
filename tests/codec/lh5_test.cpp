// The "-lh5-" coder over memory: round trips of generated data read and
// written in pieces of every size, the Huffman lengths and tables, streams
// written by hand to break each rule the decoder checks, every cut and every
// flipped bit of a real stream, and sources and sinks that fail or stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "codec/compact_flux.h"
#include "codec/lh5.h"
#include "codec/lh5_huffman.h"

namespace {

using Octets = std::vector<uint8_t>;

// ---------------------------------------------------------------- memory ends

// Gives its bytes in pieces of at most nPiece; fails or stops after nEchec
// bytes when asked to.
class CSource final : public ISourceCompact {
public:
    explicit CSource(const Octets& ab, uint32_t nPiece = 1u << 20) : m_ab(ab), m_nPiece(nPiece) {}
    int32_t nLit(uint8_t* pby, uint32_t n) override {
        if (m_nPos >= m_nEchec) return m_nReponseEchec;
        n = std::min<uint32_t>({n, m_nPiece, static_cast<uint32_t>(m_ab.size() - m_nPos)});
        if (n != 0) std::memcpy(pby, m_ab.data() + m_nPos, n);
        m_nPos += n;
        return static_cast<int32_t>(n);
    }
    size_t m_nEchec = SIZE_MAX;
    int32_t m_nReponseEchec = FLUX_ERREUR;

private:
    const Octets& m_ab;
    uint32_t m_nPiece;
    size_t m_nPos = 0;
};

class CPuits final : public IPuitsCompact {
public:
    int32_t nEcrit(const uint8_t* pby, uint32_t n) override {
        if (m_ab.size() >= m_nEchec) return m_nReponseEchec;
        m_ab.insert(m_ab.end(), pby, pby + n);
        return 0;
    }
    Octets m_ab;
    size_t m_nEchec = SIZE_MAX;
    int32_t m_nReponseEchec = FLUX_ERREUR;
};

// The LHA CRC-16 bit by bit: reflected 0xA001, from 0.
uint16_t Crc16Bits(const Octets& ab) {
    uint32_t c = 0;
    for (uint8_t by : ab) {
        c ^= by;
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? (c >> 1) ^ 0xA001u : c >> 1;
    }
    return static_cast<uint16_t>(c);
}

Octets Encode(const Octets& ab, uint32_t nPiece = 1u << 20, lh5::STBilan* pst = nullptr) {
    CSource clSource(ab, nPiece);
    CPuits clPuits;
    EXPECT_EQ(lh5::encode(clSource, clPuits, pst), eCODAGE::OK);
    return clPuits.m_ab;
}

eCODAGE Decode(const Octets& abCode, size_t nTaille, Octets* pab, uint32_t nPiece = 1u << 20,
               lh5::STBilan* pst = nullptr) {
    CSource clSource(abCode, nPiece);
    CPuits clPuits;
    const eCODAGE e = lh5::decode(clSource, clPuits, nTaille, pst);
    EXPECT_LE(clPuits.m_ab.size(), nTaille);
    *pab = clPuits.m_ab;
    return e;
}

// ---------------------------------------------------------------- generated data

Octets Genere(const std::string& sGenre, size_t n, uint32_t nGraine = 1) {
    std::mt19937 gen(nGraine);
    Octets ab;
    ab.reserve(n);
    if (sGenre == "aleatoire") {
        while (ab.size() < n) ab.push_back(static_cast<uint8_t>(gen()));
    } else if (sGenre == "zeros") {
        ab.assign(n, 0);
    } else if (sGenre == "texte") {
        static const char* k_apszMots[] = {"le ",     "compactage ", "du ",   "fichier ", "garde ",  "chaque ",
                                           "octet. ", "Une ",        "ligne ", "\r\n",     "12345 ", "zone "};
        while (ab.size() < n) {
            const char* psz = k_apszMots[gen() % 12];
            ab.insert(ab.end(), psz, psz + std::strlen(psz));
        }
        ab.resize(n);
    } else if (sGenre == "periode") {
        // A motif repeated from just inside to just beyond the dictionary.
        const size_t nPeriode = 8189 + nGraine % 5;
        Octets abMotif;
        while (abMotif.size() < nPeriode) abMotif.push_back(static_cast<uint8_t>(gen()));
        while (ab.size() < n) ab.push_back(abMotif[ab.size() % nPeriode]);
    } else if (sGenre == "escalier") {
        // Runs longer than the longest match, of every byte value.
        for (size_t i = 0; ab.size() < n; ++i) ab.insert(ab.end(), 300 + i % 7, static_cast<uint8_t>(i));
        ab.resize(n);
    } else if (sGenre == "melange") {
        // Text, noise and runs in turn: blocks must follow the changes.
        while (ab.size() < n) {
            const Octets abPart = Genere(gen() % 3 == 0 ? "aleatoire" : gen() % 2 ? "texte" : "escalier",
                                         1000 + gen() % 20000, gen());
            ab.insert(ab.end(), abPart.begin(), abPart.end());
        }
        ab.resize(n);
    }
    return ab;
}

// ---------------------------------------------------------------- round trips

struct STAllerRetour {
    const char* pszGenre;
    size_t nTaille;
    uint32_t nPieceSource;   // the encoder's and the decoder's reads
};

const STAllerRetour k_astAllerRetour[] = {
    // Sizes around nothing, one symbol, the shortest match.
    {"texte", 0, 1u << 20},
    {"texte", 1, 1u << 20},
    {"texte", 2, 1u << 20},
    {"texte", 3, 1u << 20},
    {"zeros", 4, 1u << 20},
    {"zeros", 259, 1u << 20},
    // Reads of one byte, and of odd sizes, cross every boundary.
    {"texte", 5000, 1},
    {"melange", 100000, 4093},
    // One symbol only in a block (all zeros), or every byte value.
    {"zeros", 300000, 1u << 20},
    {"escalier", 200000, 1u << 20},
    {"aleatoire", 70000, 1u << 20},
    // Distances at the edge of the dictionary, many blocks, window slides.
    {"periode", 600000, 65536},   // period 8189
    {"periode", 600003, 65536},   // 8192, the farthest match
    {"periode", 600004, 65536},   // 8193, out of reach
    {"texte", 1500000, 1u << 20},
    {"melange", 1200000, 7919},
};

TEST(Lh5, RoundTripsEveryKindOfData) {
    for (const STAllerRetour& st : k_astAllerRetour) {
        SCOPED_TRACE(std::string(st.pszGenre) + " " + std::to_string(st.nTaille) + " by " +
                     std::to_string(st.nPieceSource));
        const Octets ab = Genere(st.pszGenre, st.nTaille, static_cast<uint32_t>(st.nTaille));
        lh5::STBilan stCode, stDecode;
        const Octets abCode = Encode(ab, st.nPieceSource, &stCode);
        EXPECT_EQ(stCode.qwLus, ab.size());
        EXPECT_EQ(stCode.qwEcrits, abCode.size());
        EXPECT_EQ(stCode.wCrc16, Crc16Bits(ab));
        Octets abRetour;
        EXPECT_EQ(Decode(abCode, ab.size(), &abRetour, st.nPieceSource, &stDecode), eCODAGE::OK);
        EXPECT_TRUE(abRetour == ab);
        EXPECT_EQ(stDecode.qwEcrits, ab.size());
        EXPECT_EQ(stDecode.wCrc16, Crc16Bits(ab));
    }
}

TEST(Lh5, CodesRedundantDataShortAndNoiseNoShorter) {
    struct STCas {
        const char* pszGenre;
        size_t nTaille;
        double rMin, rMax;   // coded size over size
    } const astCas[] = {
        {"zeros", 1000000, 0.0, 0.002},
        {"periode", 500000, 0.0, 0.05},
        {"texte", 1000000, 0.0, 0.25},
        {"aleatoire", 200000, 1.0, 1.01},
    };
    for (const STCas& st : astCas) {
        const Octets ab = Genere(st.pszGenre, st.nTaille, 3);   // a period of 8192
        const double r = static_cast<double>(Encode(ab).size()) / static_cast<double>(ab.size());
        EXPECT_GE(r, st.rMin) << st.pszGenre;
        EXPECT_LE(r, st.rMax) << st.pszGenre;
    }
}

// ---------------------------------------------------------------- Huffman codes

TEST(Lh5Huffman, LengthsFormACompleteCodeOfAtMost16Bits) {
    std::mt19937 gen(5);
    std::vector<std::vector<uint32_t>> tabFrequences;
    // Fibonacci frequencies make a tree as deep as there are symbols.
    std::vector<uint32_t> tabFib(lh5::NC, 0);
    uint32_t a = 1, b = 1;
    for (int i = 0; i < 40; ++i) {
        tabFib[static_cast<size_t>(i) * 7] = a;
        const uint32_t c = a + b;
        a = b;
        b = c;
    }
    tabFrequences.push_back(tabFib);
    for (int k = 0; k < 200; ++k) {
        std::vector<uint32_t> tab(lh5::NC, 0);
        const uint32_t nUtilises = 2 + gen() % (lh5::NC - 1);
        for (uint32_t i = 0; i < nUtilises; ++i) tab[gen() % lh5::NC] = 1 + (gen() % 3 == 0 ? gen() % 100000 : gen() % 5);
        tabFrequences.push_back(tab);
    }
    for (size_t k = 0; k < tabFrequences.size(); ++k) {
        const std::vector<uint32_t>& tab = tabFrequences[k];
        uint8_t abyLong[lh5::NC];
        int nSeul = -1;
        const int m = lh5::make_tree(lh5::NC, tab.data(), abyLong, &nSeul);
        if (m < 2) continue;
        uint64_t qwKraft = 0;
        for (unsigned i = 0; i < lh5::NC; ++i) {
            ASSERT_LE(abyLong[i], 16) << k;
            ASSERT_EQ(abyLong[i] != 0, tab[i] != 0) << k << " " << i;
            if (abyLong[i] != 0) qwKraft += 1ull << (16 - abyLong[i]);
        }
        EXPECT_EQ(qwKraft, 1ull << 16) << k;
        for (unsigned i = 0; i < lh5::NC; ++i)
            for (unsigned j = 0; j < lh5::NC; ++j)
                if (tab[i] > tab[j] && tab[j] != 0) {
                    ASSERT_LE(abyLong[i], abyLong[j]) << k;
                }
        // Each symbol's code, read through the decoding table, is that symbol.
        uint16_t awCode[lh5::NC];
        lh5::make_code(lh5::NC, abyLong, awCode);
        auto pclTable = std::make_unique<lh5::CTableC>();
        ASSERT_TRUE(pclTable->make_table(lh5::NC, abyLong)) << k;
        for (unsigned i = 0; i < lh5::NC; ++i)
            if (abyLong[i] != 0) {
                ASSERT_EQ(pclTable->wSymbole(uint32_t(awCode[i]) << (16 - abyLong[i])), i) << k;
            }
    }
}

TEST(Lh5Huffman, OneOrNoSymbolLeavesNoLengths) {
    uint32_t adwFreq[lh5::NP] = {};
    uint8_t abyLong[lh5::NP];
    int nSeul = -1;
    EXPECT_EQ(lh5::make_tree(lh5::NP, adwFreq, abyLong, &nSeul), 0);
    EXPECT_EQ(nSeul, 0);
    adwFreq[9] = 40;
    EXPECT_EQ(lh5::make_tree(lh5::NP, adwFreq, abyLong, &nSeul), 1);
    EXPECT_EQ(nSeul, 9);
    for (uint8_t by : abyLong) EXPECT_EQ(by, 0);
}

TEST(Lh5Huffman, TablesRefuseImpossibleLengthsAndMarkFreePatterns) {
    struct STCas {
        const char* pszNom;
        std::vector<uint8_t> tabLong;
        bool bAccepte;
    } const astCas[] = {
        {"complete", {1, 2, 3, 3}, true},
        {"over-subscribed", {1, 1, 2}, false},
        {"longer than 16", {1, 17, 2}, false},
        {"incomplete", {2, 2, 2}, true},
        {"nothing", {0, 0, 0, 0}, true},
        {"deep incomplete", {1, 16, 16}, true},
        {"more symbols than the table holds", std::vector<uint8_t>(lh5::NPT + 1, 5), false},
    };
    for (const STCas& st : astCas) {
        auto pcl = std::make_unique<lh5::CTablePT>();
        EXPECT_EQ(pcl->make_table(int(st.tabLong.size()), st.tabLong.data()), st.bAccepte) << st.pszNom;
    }
    // Lengths 2, 2, 2 leave the patterns beginning 11 to nobody.
    auto pcl = std::make_unique<lh5::CTablePT>();
    const uint8_t abyLong[] = {2, 2, 2};
    ASSERT_TRUE(pcl->make_table(3, abyLong));
    EXPECT_EQ(pcl->wSymbole(0x8000), 2);
    EXPECT_EQ(pcl->wSymbole(0xC000), lh5::CTableLh5::INVALIDE);
    // Below the table: 1 then fifteen zeros is symbol 1, fifteen ones is free.
    const uint8_t abyProfond[] = {1, 16, 16};
    ASSERT_TRUE(pcl->make_table(3, abyProfond));
    EXPECT_EQ(pcl->wSymbole(0x8000), 1);
    EXPECT_EQ(pcl->wSymbole(0x8001), 2);
    EXPECT_EQ(pcl->wSymbole(0xFFFF), lh5::CTableLh5::INVALIDE);
}

// ---------------------------------------------------------------- streams by hand

// Bits, first bit highest, padded with zeros.
class CBits {
public:
    CBits& Met(int n, uint32_t v) {
        for (int i = n - 1; i >= 0; --i) {
            m_by = static_cast<uint8_t>((m_by << 1) | ((v >> i) & 1u));
            if (++m_nBits == 8) {
                m_ab.push_back(m_by);
                m_nBits = 0;
            }
        }
        return *this;
    }
    Octets Fin() const {
        Octets ab = m_ab;
        if (m_nBits != 0) ab.push_back(static_cast<uint8_t>(m_by << (8 - m_nBits)));
        return ab;
    }

private:
    Octets m_ab;
    uint8_t m_by = 0;
    int m_nBits = 0;
};

// A block whose three codes each have one symbol, read with no bits: nCount
// times the C symbol nC, each match at the distance of the P symbol nP (and
// its extra bits, nExtra).
Octets BlocUnique(uint32_t nCompte, uint32_t nC, uint32_t nP, uint32_t nExtra = 0) {
    CBits cl;
    cl.Met(16, nCompte).Met(5, 0).Met(5, 0).Met(9, 0).Met(9, nC).Met(4, 0).Met(4, nP);
    if (nC >= 256)
        for (uint32_t i = 0; i < nCompte; ++i)
            if (nP > 1) cl.Met(static_cast<int>(nP - 1), nExtra);
    return cl.Fin();
}

// The head of a block: its count, then T lengths written out as given.
CBits DebutBloc(uint32_t nCompte, const std::vector<int>& tabLongT) {
    CBits cl;
    cl.Met(16, nCompte).Met(5, static_cast<uint32_t>(tabLongT.size()));
    for (size_t i = 0; i < tabLongT.size(); ++i) {
        const int k = tabLongT[i];
        if (k <= 6)
            cl.Met(3, static_cast<uint32_t>(k));
        else
            cl.Met(k - 3, (1u << (k - 3)) - 2);
        if (i == 2) cl.Met(2, 0);
    }
    return cl;
}

TEST(Lh5Hostile, StreamsBreakingARuleAreRefused) {
    // T lengths giving symbols 0, 1, 2 and 5 (C length 3) two bits each.
    const std::vector<int> tabT = {2, 2, 2, 0, 0, 2};
    struct STCas {
        const char* pszNom;
        Octets abCode;
        size_t nTaille;
        eCODAGE e;
        std::string sSortie;   // when OK
    } const astCas[] = {
        {"no data at all", {}, 1, eCODAGE::DONNEES, ""},
        {"a block of no symbols", CBits().Met(16, 0).Met(32, 0).Fin(), 1, eCODAGE::DONNEES, ""},
        {"one-symbol block", BlocUnique(3, 'A', 0), 3, eCODAGE::OK, "AAA"},
        {"more blocks than the size needs", BlocUnique(9, 'A', 0), 2, eCODAGE::OK, "AA"},
        {"blocks ending before the size", BlocUnique(2, 'A', 0), 3, eCODAGE::DONNEES, ""},
        {"T count above 19", CBits().Met(16, 1).Met(5, 20).Met(32, 0).Fin(), 1, eCODAGE::DONNEES, ""},
        {"T single symbol 19", CBits().Met(16, 1).Met(5, 0).Met(5, 19).Met(32, 0).Fin(), 1, eCODAGE::DONNEES, ""},
        {"T length 17", DebutBloc(1, {17, 1}).Met(32, 0).Fin(), 1, eCODAGE::DONNEES, ""},
        {"T lengths over-subscribed", DebutBloc(1, {1, 1, 1}).Met(32, 0).Fin(), 1, eCODAGE::DONNEES, ""},
        {"C count above 510", CBits().Met(16, 1).Met(5, 0).Met(5, 3).Met(9, 511).Met(32, 0).Fin(), 1, eCODAGE::DONNEES,
         ""},
        {"C single symbol 510", CBits().Met(16, 1).Met(5, 0).Met(5, 0).Met(9, 0).Met(9, 510).Met(32, 0).Fin(), 1,
         eCODAGE::DONNEES, ""},
        // T single symbol 2 (20 + 9 bits zeros): 20 + 500 zeros run past 510.
        {"C zeros past the table", CBits().Met(16, 1).Met(5, 0).Met(5, 2).Met(9, 10).Met(9, 500).Met(32, 0).Fin(), 1,
         eCODAGE::DONNEES, ""},
        // C lengths: symbols 0..3 of length 3 only: half the patterns are free.
        {"C code hit on a free pattern",
         DebutBloc(1, tabT).Met(9, 4).Met(2, 3).Met(2, 3).Met(2, 3).Met(2, 3).Met(4, 0).Met(4, 0).Met(3, 7).Fin(), 1,
         eCODAGE::DONNEES, ""},
        {"C code on a used pattern",
         DebutBloc(1, tabT).Met(9, 4).Met(2, 3).Met(2, 3).Met(2, 3).Met(2, 3).Met(4, 0).Met(4, 0).Met(3, 2).Fin(), 1,
         eCODAGE::OK, std::string(1, '\x02')},
        {"P count above 14", CBits().Met(16, 1).Met(5, 0).Met(5, 0).Met(9, 0).Met(9, 'A').Met(4, 15).Met(32, 0).Fin(), 1,
         eCODAGE::DONNEES, ""},
        {"P single symbol 14", BlocUnique(1, 'A', 14), 1, eCODAGE::DONNEES, ""},
        // Distance 4097 at the very start: the dictionary holds spaces.
        {"match before the start", BlocUnique(1, 256 + 2, 13, 0), 5, eCODAGE::OK, "     "},
        {"match past the size is cut", BlocUnique(1, 256 + 2, 13, 0), 4, eCODAGE::OK, "    "},
    };
    for (const STCas& st : astCas) {
        Octets ab;
        EXPECT_EQ(Decode(st.abCode, st.nTaille, &ab), st.e) << st.pszNom;
        if (st.e == eCODAGE::OK) {
            EXPECT_EQ(std::string(ab.begin(), ab.end()), st.sSortie) << st.pszNom;
        }
    }
}

TEST(Lh5Hostile, EveryCutOfAStreamIsShort) {
    const Octets ab = Genere("melange", 12000, 9);
    const Octets abCode = Encode(ab);
    ASSERT_GT(abCode.size(), 100u);
    for (size_t n = 0; n < abCode.size(); ++n) {
        Octets abCoupe(abCode.begin(), abCode.begin() + static_cast<std::ptrdiff_t>(n)), abSortie;
        ASSERT_EQ(Decode(abCoupe, ab.size(), &abSortie, 97), eCODAGE::DONNEES) << n;
    }
}

TEST(Lh5Hostile, EveryFlippedBitDecodesOrIsRefused) {
    const Octets ab = Genere("texte", 3000, 4);
    const Octets abCode = Encode(ab);
    size_t nRefus = 0;
    for (size_t i = 0; i < abCode.size() * 8; ++i) {
        Octets abFaux = abCode, abSortie;
        abFaux[i / 8] ^= static_cast<uint8_t>(0x80u >> (i % 8));
        const eCODAGE e = Decode(abFaux, ab.size(), &abSortie);
        ASSERT_TRUE(e == eCODAGE::OK || e == eCODAGE::DONNEES) << i;
        if (e == eCODAGE::OK) {
            EXPECT_EQ(abSortie.size(), ab.size()) << i;
        } else {
            ++nRefus;
        }
    }
    EXPECT_GT(nRefus, 0u);
}

// ---------------------------------------------------------------- failing ends

TEST(Lh5, FailingOrStoppingEndsEndTheCoders) {
    // Long enough for several pieces of coded and decoded bytes.
    const Octets ab = Genere("melange", 400000, 2);
    const Octets abCode = Encode(ab);
    ASSERT_GT(abCode.size(), 2u * 65536u);
    struct STCas {
        const char* pszNom;
        bool bSource;          // the source fails, else the sink
        int32_t nReponse;
        eCODAGE e;
    } const astCas[] = {
        {"source fails", true, FLUX_ERREUR, eCODAGE::LECTURE},
        {"source stops", true, FLUX_ARRET, eCODAGE::ARRET},
        {"sink fails", false, FLUX_ERREUR, eCODAGE::ECRITURE},
        {"sink stops", false, FLUX_ARRET, eCODAGE::ARRET},
    };
    for (const STCas& st : astCas) {
        CSource clSource(ab, 4096);
        CPuits clPuits;
        (st.bSource ? clSource.m_nEchec : clPuits.m_nEchec) = 20000;
        clSource.m_nReponseEchec = clPuits.m_nReponseEchec = st.nReponse;
        EXPECT_EQ(lh5::encode(clSource, clPuits), st.e) << "encode, " << st.pszNom;

        CSource clCode(abCode, 4096);
        CPuits clSortie;
        (st.bSource ? clCode.m_nEchec : clSortie.m_nEchec) = 20000;
        clCode.m_nReponseEchec = clSortie.m_nReponseEchec = st.nReponse;
        EXPECT_EQ(lh5::decode(clCode, clSortie, ab.size()), st.e) << "decode, " << st.pszNom;
    }
}

}  // namespace
