// The automaton of a regular expression, built node for node the way the C
// library's GNU compiler builds its own: the same parse of the syntax we use
// (see CRegExpBase::SYNTAXE), intervals written out as copies, groups
// lowered to open and close nodes, nodes numbered in the same order and
// alternatives kept in the same order. Two things need it: an estimate of
// what compiling the pattern will cost before the C library is asked to
// (a pattern whose compiled form is too large is refused), and the matchers
// of regexp_renvoi.cpp and regexp_garde.cpp, whose results must be those of
// the C library.
//
// Assertions (^, $, \b, \<...) are nodes that check the context at their
// position. Character sets are taken from the C library itself, so classes
// and ranges follow the current locale exactly as before.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace regexp {

// The fuzz build divides every work and size bound of the matchers by 64:
// its inputs then reach the bounds in milliseconds instead of a second each,
// and the paths past them are exercised at the speed a fuzzer needs.
#ifdef QV_BORNES_REDUITES
constexpr int k_nBornesDecalage = 6;
#else
constexpr int k_nBornesDecalage = 0;
#endif

// Compiled size is counted in units of about 16 bytes of the C library's
// compiled form: one per node and one per member of each node's epsilon
// closure (and of its inverse, when groups make the library keep it).
// Compiling 4M units takes the library about 64 MB and a third of a second.
constexpr int64_t k_nTailleMax = int64_t(1) << (22 - k_nBornesDecalage);
// Patterns up to this size (about 4 MB compiled) stay in the per-thread
// cache.
constexpr int64_t k_nTailleCache = int64_t(1) << (18 - k_nBornesDecalage);
// Deeper nesting of groups is refused: every level costs stack, here and in
// the C library.
constexpr int k_nImbricationMax = 1000;

enum class ENoeud : uint8_t { Caractere, Ensemble, Point, Renvoi, Fin, Ouvre, Ferme, Alterne, Etoile, Ancre };

// Context bits around a position and assertion constraints, with the C
// library's values.
enum : uint16_t {
    CTX_MOT = 1,
    CTX_LIGNE = 2,
    CTX_DEBUT = 4,
    CTX_FIN = 8,
};
enum : uint16_t {
    AVANT_MOT = 0x0001,
    AVANT_NON_MOT = 0x0002,
    APRES_MOT = 0x0004,
    APRES_NON_MOT = 0x0008,
    AVANT_LIGNE = 0x0010,
    APRES_LIGNE = 0x0020,
    AVANT_DEBUT = 0x0040,
    APRES_FIN = 0x0080,
};

struct STNoeud {
    ENoeud eType = ENoeud::Fin;
    uint8_t byCar = 0;          // Caractere
    bool bOptionnel = false;    // Ouvre, Ferme: the group is an optional copy
    bool bDuplique = false;     // written out again by an interval
    uint16_t wContrainte = 0;   // Ancre
    int32_t nValeur = 0;        // Ensemble: set index; Renvoi, Ouvre, Ferme: group (from 0)
    int32_t nSuivant = -1;      // consuming nodes and Renvoi: the node after
    int32_t anDest[2] = {-1, -1};   // epsilon nodes: destinations, lowest index first
    int32_t nDest = 0;
};

enum class EAnalyse { Ok, Invalide, TropGrand };

class CAutomate {
public:
    // Parses the pattern and builds the automaton; a pattern whose compiled
    // form would pass k_nTailleMax is refused before anything large is built.
    EAnalyse eAnalyse(const char* pszPattern, size_t nLongueur);

    bool bContientRenvoi() const { return m_nRenvois > 0; }
    // A repetition whose body holds a group and can match nothing, as in
    // "(()|a)?*" or "(|.|^)*": setting the registers of such a match can
    // send the library round a loop of empty ways for ever.
    bool bBoucleVide() const { return m_bBoucleVide; }
    int64_t nTaille() const { return m_nTaille; }
    int nGroupes() const { return m_nGroupes; }

    // Context of a text at a position, as the C library computes it for the
    // characters before and after it (nPos - 1 and nPos).
    uint16_t wContexte(const unsigned char* pText, int nDebut, int nLongueur, int nPos) const;
    static bool bSatisfait(uint16_t wContrainte, uint16_t wAvant, uint16_t wApres);
    bool bAccepte(const STNoeud& st, unsigned char by) const;

    std::vector<STNoeud> m_tabNoeuds;
    std::vector<std::array<uint64_t, 4>> m_tabEnsembles;
    int32_t m_nInitial = 0;
    int32_t m_nFin = 0;
    int m_nGroupes = 0;
    int m_nRenvois = 0;
    bool m_bPluriel = false;        // some alternative or repetition
    bool m_bMots = false;           // word assertions are used
    bool m_bBoucleVide = false;     // see bBoucleVide
    std::vector<int32_t> m_tabCorrespondance;   // group -> group it was merged into (empty: none)
    // Shortest and longest text each group can match (-1: no bound).
    std::vector<int32_t> m_tabLongueurMin, m_tabLongueurMax;
    std::array<bool, 256> m_abMot{};
    int64_t m_nTaille = 0;
};

// Estimates the compiled size of a built automaton into its m_nTaille;
// false when the library's compilation would pass k_nTailleMax in memory, or
// its own work limit.
bool bEstimeTaille(CAutomate& clA);

}  // namespace regexp
