// The file-compaction language functions of the codec family: fCompacte,
// fDécompacte, fTailleCompacté, fTailleDécompacté and fStopCompacte over the
// engine of compact.h. File names arrive as file-function strings (a Unicode
// name is taken as UTF-8).
//
// These declarations belong with the family's others in codec/functions.h.
#pragma once
#include <cstdint>

#include "qvstd/manipaub.h"
#include "runtime/znlibrary.h"

namespace codec {

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
