// The codec family's language functions, each taking the library object
// first: Compresse and Décompresse over the compressed-string layouts of
// compress_chaine.h (a failure is user error 80550 with the message of its
// cause, or 80041 when memory runs out, and an empty result), and the file
// compaction functions over the engine of compact.h (file names arrive as
// file-function strings; a Unicode name is taken as UTF-8).
#pragma once
#include <cstdint>

#include "core/zndstr.h"
#include "qvstd/manipaub.h"
#include "runtime/znlibrary.h"

namespace codec {

// Compresse(text): the text in the component's character set (a Unicode
// text is converted first), all of its characters, with method 1.
CZNBIN Compresse(CZNLibrary& lib, const CZNDSTRBase& sTexte);
// Compresse(buffer), with method 1.
CZNBIN Compresse(CZNLibrary& lib, const CZNBINBase& clDonnees);
// Décompresse(buffer): the bytes the compressed string holds.
CZNBIN Decompresse(CZNLibrary& lib, const CZNBINBase& clSource);

// ---- File compaction -------------------------------------------------------------

// fCompacte(source, destination): 0, or the engine's failure code, raised as
// user error 80299 + code.
int32_t fCompacte(CZNLibrary& lib, const STManipAUB* pstSource, const STManipAUB* pstDestination);
// fDécompacte(archive [, destination [, option]]): 0 or the failure code
// (no user error). Without a destination (or with an empty one) the archive
// says where its file goes. The option JaugeCompactage (1) asks for the
// progress steps, which the shorter syntaxes always report.
int32_t fDecompacte(CZNLibrary& lib, const STManipAUB* pstArchive);
int32_t fDecompacte(CZNLibrary& lib, const STManipAUB* pstArchive, const STManipAUB* pstDestination);
int32_t fDecompacte(CZNLibrary& lib, const STManipAUB* pstArchive, const STManipAUB* pstDestination,
                    int32_t nOption);
// fTailleCompacté(archive): the archive's entry with its container; -1 when
// the file cannot be opened, -2 when it is no archive. Sizes beyond the
// integer's range read as its largest value.
int32_t fTailleCompacte(CZNLibrary& lib, const STManipAUB* pstArchive);
// fTailleDécompacté(archive): the uncompressed size recorded; -1, -2 as above.
int32_t fTailleDecompacte(CZNLibrary& lib, const STManipAUB* pstArchive);
// fStopCompacte(): the running compaction or decompaction stops (code 6).
void fStopCompacte(CZNLibrary& lib);

}  // namespace codec
