// Entry points of NumeriqueVersChaine and TailleVersChaine. The value of
// NumeriqueVersChaine is a variant that the body fetches from the host;
// sizes arrive as 8-byte integers, units as 4-byte integers.
#include "component/entries.h"

using namespace entry;

namespace {

int _Texte(STZNAppel* pstAppel, const CZNDSTR& s) {
    Result(pstAppel, &s, qvstd::TC_DSTR);
    return 0;
}

int64_t _Entier64(void** ppArgs, int i) {
    int64_t ll = 0;
    if (ppArgs[i] != nullptr) memcpy(&ll, ppArgs[i], sizeof ll);
    return ll;
}

}  // namespace

extern "C" {

// NumeriqueVersChaine(value [, format])
QV_EXPORT int ZNL_NumeriqueVersChaine_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void**) {
    return _Texte(pstAppel, Lib(pclLib)->NumeriqueVersChaine(""));
}
QV_EXPORT int ZNL_NumeriqueVersChaine_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->NumeriqueVersChaine(CTexte(ppArgs, 1)));
}

// TailleVersChaine(size [, unit])
QV_EXPORT int ZNL_TailleVersChaine_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Texte(pstAppel, Lib(pclLib)->TailleVersChaine(_Entier64(ppArgs, 0), 0));
}
QV_EXPORT int ZNL_TailleVersChaine_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    int32_t nUnite = ppArgs[1] != nullptr ? Int(ppArgs, 1) : 0;
    return _Texte(pstAppel, Lib(pclLib)->TailleVersChaine(_Entier64(ppArgs, 0), nUnite));
}

}  // extern "C"
