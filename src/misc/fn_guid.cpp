// DonneGUID: a new unique identifier as text.
#include "misc/functions.h"
#include "misc/guid.h"

namespace misc {

CZNDSTR DonneGUID(CZNLibrary& lib) { return DonneGUID(lib, 1); }

CZNDSTR DonneGUID(CZNLibrary& lib, int32_t nFormat) {
    _GUID st;
    UuidCreate(&st);
    char szTexte[GUID_TAILLE_TEXTE];
    GUID_Formate(st, nFormat != 0, szTexte);
    CZNDSTR s;
    if (s.nAssign(szTexte) != 0) lib.RaiseError(80229);
    return s;
}

}  // namespace misc
