// The binary diff language functions: diffCrée computes the diff buffer
// that turns a source buffer into a target buffer, diffApplique rebuilds the
// target from the source and that diff.
//
// Options of diffCrée (bits): diffBinaire 0, diffTexte 1 (accepted, no
// effect), diffPourcentageMax 2 (refuse a diff larger than the maximum
// percentage of the source, 50 unless given), diffFichierTVR 4 (cut the
// host's project element files along their structure). A failure raises
// its numbered user error and gives an empty buffer: 81650 missing buffer,
// 81651 diff unreadable or not applicable, 81652 not the source of the
// diff, 81653 rebuilt target damaged, 81654 diff over the maximum
// percentage, 81655 empty source, 81656 source and target identical,
// 80041 memory short.
#pragma once
#include <cstdint>

#include "core/zndstr.h"
#include "runtime/znlibrary.h"

namespace diff {

// Option bits of diffCrée.
enum : int32_t {
    DIFF_BINAIRE = 0,
    DIFF_TEXTE = 1,
    DIFF_POURCENTAGE_MAX = 2,
    DIFF_FICHIER_TVR = 4,
};
constexpr int32_t POURCENTAGE_DEFAUT = 50;

// --- Computing a diff ------------------------------------------------------------
CZNBIN diffCree(CZNLibrary& lib, const CZNBINBase& clSource, const CZNBINBase& clCible);
CZNBIN diffCree(CZNLibrary& lib, const CZNBINBase& clSource, const CZNBINBase& clCible, int32_t nOptions);
// The maximum percentage counts only with diffPourcentageMax.
CZNBIN diffCree(CZNLibrary& lib, const CZNBINBase& clSource, const CZNBINBase& clCible, int32_t nOptions,
                int32_t nPourcentageMax);

// --- Applying a diff -------------------------------------------------------------
// An empty target is a valid result: the error object tells failures apart.
CZNBIN diffApplique(CZNLibrary& lib, const CZNBINBase& clSource, const CZNBINBase& clDiff);

}  // namespace diff
