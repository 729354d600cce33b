// Phonétique: the phonetic key of a text as a dynamic string.
#include <cstdlib>
#include <cstring>

#include "misc/functions.h"
#include "misc/phonetique.h"

namespace misc {

CZNDSTR Phonetique(CZNLibrary& lib, const char* pszTexte) {
    CZNDSTR sCle;
    if (pszTexte == nullptr) pszTexte = "";
    // The key is never longer than the text.
    const size_t nTaille = strlen(pszTexte) + 1;
    char* pszCle = static_cast<char*>(malloc(nTaille));
    if (pszCle == nullptr) {
        lib.RaiseError(80229);
        return sCle;
    }
    if (!fonetik(pszTexte, pszCle, nTaille, lib.pclGetError()))
        lib.RaiseError();   // fonetik filled the error
    else if (sCle.nAssign(pszCle) != 0)
        lib.RaiseError(80229);
    free(pszCle);
    return sCle;
}

}  // namespace misc
