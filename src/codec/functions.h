// The compression language functions: Compresse and Décompresse over the
// compressed-string layouts of compress_chaine.h. Each takes the library
// object first and reports a failure as a numbered user error (80550, with
// the message of its cause, or 80041 when memory runs out) and an empty
// result.
#pragma once
#include "core/zndstr.h"
#include "runtime/znlibrary.h"

namespace codec {

// Compresse(text): the text in the component's character set (a Unicode
// text is converted first), all of its characters, with method 1.
CZNBIN Compresse(CZNLibrary& lib, const CZNDSTRBase& sTexte);
// Compresse(buffer), with method 1.
CZNBIN Compresse(CZNLibrary& lib, const CZNBINBase& clDonnees);
// Décompresse(buffer): the bytes the compressed string holds.
CZNBIN Decompresse(CZNLibrary& lib, const CZNBINBase& clSource);

}  // namespace codec
