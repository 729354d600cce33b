// The file-compaction language functions: names taken from their argument
// records, the engine of compact.h called, its failures raised for
// fCompacte only (the other functions answer with their code).
#include <climits>
#include <cstring>
#include <cwchar>
#include <string>

#include "codec/compact.h"
#include "codec/functions.h"
#include "codec/nom_fichier.h"
#include "platform/charset.h"

namespace codec {

namespace {

constexpr int ERREUR_COMPACTE = 80299;
// JaugeCompactage: the progress steps are reported.
constexpr int32_t JAUGE_COMPACTAGE = 1;

int32_t _nDecompacte(const STManipAUB* pstArchive, const STManipAUB* pstDestination, bool bProgression) {
    std::string sArchive, sDestination;
    if (!bNomFichier(pstArchive, &sArchive)) return COMPACT_OUVERTURE;
    if (!bNomFichier(pstDestination, &sDestination)) return COMPACT_CREATION;
    return nfDecompacte(sArchive.c_str(), sDestination.c_str(), bProgression);
}

int32_t _nTaille(const STManipAUB* pstArchive, long long (*pfnTaille)(const char*)) {
    std::string sArchive;
    if (!bNomFichier(pstArchive, &sArchive)) return -1;
    const long long l = pfnTaille(sArchive.c_str());
    return l > INT32_MAX ? INT32_MAX : static_cast<int32_t>(l);
}

}  // namespace

int32_t fCompacte(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination) {
    std::string sSource, sDestination;
    int32_t n = COMPACT_OK;
    if (!bNomFichier(pstSource, &sSource))
        n = COMPACT_OUVERTURE;
    else if (!bNomFichier(pstDestination, &sDestination))
        n = COMPACT_CREATION;
    else
        n = nfCompacte(sSource.c_str(), sDestination.c_str());
    if (n != COMPACT_OK) lib.RaiseError(ERREUR_COMPACTE + n);
    return n;
}

int32_t fDecompacte(CZNLibrary&, const STManipAUB* pstArchive) { return _nDecompacte(pstArchive, nullptr, true); }

int32_t fDecompacte(CZNLibrary&, const STManipAUB* pstArchive, const STManipAUB* pstDestination) {
    return _nDecompacte(pstArchive, pstDestination, true);
}

int32_t fDecompacte(CZNLibrary&, const STManipAUB* pstArchive, const STManipAUB* pstDestination, int32_t nOption) {
    return _nDecompacte(pstArchive, pstDestination, (nOption & JAUGE_COMPACTAGE) != 0);
}

int32_t fTailleCompacte(CZNLibrary&, const STManipAUB* pstArchive) { return _nTaille(pstArchive, lfTailleCompacte); }

int32_t fTailleDecompacte(CZNLibrary&, const STManipAUB* pstArchive) {
    return _nTaille(pstArchive, lfTailleDecompacte);
}

void fStopCompacte(CZNLibrary&) { COMPACT_Stop(); }

}  // namespace codec
