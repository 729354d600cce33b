// The two ways a whole-text check is carried out within bounded work.
//
// Without back-references the C library's matcher gives the results, but it
// builds a deterministic state for every new set of positions the text
// leads it through, at a cost that grows with the pattern and that it keeps
// until the pattern is freed: a short pattern can make it run for minutes
// on a text of a few hundred kilobytes. bGarde walks the same automaton
// over the text first, counting steps and the distinct sets the library
// will meet, and lets the library run only when both stay within bounds.
//
// With back-references the library's matcher has no such bound (its work
// grows with a power of the text's length), so nRenvoi matches them
// itself: it retraces the library's way of choosing registers (the first
// path, in node order, that can reach the end of the match, with its rules
// for loops that match nothing) with a budget of steps and memory. The same
// replay, without backtracking as the library then goes, serves patterns
// that repeat what can match nothing: there the library's setting of the
// registers can go round a loop of empty ways for ever, which the replay
// sees and reports as the limit.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "misc/regexp_automate.h"

namespace regexp {

// Steps of either matcher for one check, and memory the back-reference
// matcher may hold: about a second and well under 256 MB. The fuzz build
// cuts the steps further, since a check that spins to its bound teaches
// the fuzzer nothing: there it stops within a millisecond or so.
constexpr int64_t k_nPasMax = int64_t(1) << (26 - 2 * k_nBornesDecalage);
constexpr int64_t k_nOctetsMax = int64_t(64) << (20 - k_nBornesDecalage);
// Distinct sets the library may meet in one check, and the total size of
// those sets; past them its own work goes beyond a second.
constexpr int64_t k_nEtatsMax = int64_t(2048) >> k_nBornesDecalage;
constexpr int64_t k_nEtatsTailleMax = int64_t(1) << (17 - k_nBornesDecalage);
// States a kept pattern may pile up over its checks before it is compiled
// afresh (the library never frees them otherwise).
constexpr int64_t k_nEtatsCumulMax = int64_t(16384) >> k_nBornesDecalage;
// What the guard's memory of a pattern may hold (about 1 MB at most).
constexpr size_t k_nTransitionsRetenuesMax = size_t(1) << 14;
constexpr int64_t k_nMembresRetenusMax = int64_t(1) << 16;

// Result of the back-reference matcher.
constexpr int k_nPasDeCorrespondance = -1;
constexpr int k_nLimiteAtteinte = -3;

// What the guard has learnt over the checks of one compiled pattern: the
// sets met, where each leads on each character, and the library's states
// they make. The library keeps its states from one check to the next, so a
// state it met before costs it nothing again. Forgetting only makes the
// guard count more, so the memory is emptied whenever it could claim a
// state the library does not have (a new compilation, a check refused
// before the library ran, the library failing) and when it passes its own
// bound.
struct STMemoireGarde {
    std::vector<std::vector<int32_t>> tabEntrees;   // sets of entry nodes, each under a number
    std::unordered_map<std::string, int32_t> mapEntrees;
    // (entry set, context before, character) -> the entry set after it (-1
    // when dead, -2 at the end of the text) and the state at that position.
    std::unordered_map<uint64_t, std::pair<int32_t, int32_t>> mapTransitions;
    std::unordered_map<uint64_t, int32_t> mapEtats;   // the states, by their members
    std::vector<int64_t> tabTailleEtat;
    int64_t nMembres = 0;   // of the entry sets kept
    // Marks for one walk: nodes within one closure, states within one check.
    std::vector<uint32_t> tabNoeudVu, tabEtatVu;
    uint32_t dwNoeud = 0, dwCheck = 0;

    void Vide() { *this = STMemoireGarde(); }
};

// True when the library may match this text within the limits; nEtatsVus
// receives the number of distinct states it will meet, nEtatsNouveaux those
// of them it has not built in earlier checks.
bool bGarde(const CAutomate& clA, STMemoireGarde& stMemoire, const unsigned char* pText, int nDebut, int nLongueur,
            int64_t& nEtatsVus, int64_t& nEtatsNouveaux);

// The longest match from nDebut, as the C library would give it (only the
// match up to nLongueur when bEntier); tabDebut and tabFin receive the
// registers (group 0 is the whole match). k_nPasDeCorrespondance or
// k_nLimiteAtteinte otherwise, the registers untouched.
int nRenvoi(const CAutomate& clA, const unsigned char* pText, int nDebut, int nLongueur, bool bEntier,
            std::vector<int32_t>& tabDebut, std::vector<int32_t>& tabFin);

}  // namespace regexp
