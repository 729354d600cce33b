// What the file-handle functions share below the language functions: the
// check that a handle designates an open file, the way a stream's failure
// becomes the library's user error, and the line reader that fLitLigne
// posts from (kept here so that tests and other functions can read a line
// as a string).
#pragma once

#include "runtime/znlibrary.h"
#include "core/zndstr.h"

class IXStream;

namespace files {

// The stream of a valid handle; null after raising 80022 (not a handle) or
// 80406 (a zone where only a disk file will do), level 2.
IXStream* FIC_pclStream(CZNLibrary& lib, int nHandle, bool bDisqueSeulement);
// Copies the stream's failure into the library error, level 2.
void FIC_ErreurStream(CZNLibrary& lib, IXStream* pclStream);
// A user error at the level of the file-handle functions (2).
void FIC_Erreur(CZNLibrary& lib, int nCode);
// 80028 with the reason that the line is too long.
void FIC_LigneTropLongue(CZNLibrary& lib);
// The next line of an open handle without its end; the character of code 4
// at the end of the file; Unicode for a file opened with foUnicode.
CZNDSTR FIC_sLitLigne(CZNLibrary& lib, int nHandle);

}  // namespace files
