// Entry points of the INI-file functions. Arguments of the kind "nothing"
// (the deleting overloads) are not read.
#include "component/entries.h"

using namespace entry;

namespace {

int _Lit(STZNAppel* pstAppel, const char* pszSection, const char* pszCle, const char* pszDefaut,
         const char* pszFichier) {
    CZNDSTR s = CComposanteStandard::INILit(pszSection, pszCle, pszDefaut, pszFichier);
    Result(pstAppel, &s, qvstd::TC_DSTR);
    return 0;
}

int _Ecrit(STZNAppel* pstAppel, IZNLibrary* pclLib, const char* pszSection, const char* pszCle,
           const char* pszValeur, const char* pszFichier) {
    ResultBool(pstAppel, Lib(pclLib)->INIEcrit(pszSection, pszCle, pszValeur, pszFichier));
    return 0;
}

}  // namespace

extern "C" {

// INILit(section [, key [, default [, file]]])
QV_EXPORT int ZNL_INILit_0(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Lit(pstAppel, CTexte(ppArgs, 0), nullptr, nullptr, nullptr);
}
QV_EXPORT int ZNL_INILit_1(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Lit(pstAppel, CTexte(ppArgs, 0), CTexte(ppArgs, 1), nullptr, nullptr);
}
QV_EXPORT int ZNL_INILit_2(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Lit(pstAppel, CTexte(ppArgs, 0), CTexte(ppArgs, 1), CTexte(ppArgs, 2), nullptr);
}
QV_EXPORT int ZNL_INILit_3(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    return _Lit(pstAppel, CTexte(ppArgs, 0), CTexte(ppArgs, 1), CTexte(ppArgs, 2), CTexte(ppArgs, 3));
}

// INIEcrit(section): deletes the section of the per-user file.
QV_EXPORT int ZNL_INIEcrit_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Ecrit(pstAppel, pclLib, CTexte(ppArgs, 0), nullptr, nullptr, nullptr);
}
// INIEcrit(section, key): deletes the key of the per-user file.
QV_EXPORT int ZNL_INIEcrit_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Ecrit(pstAppel, pclLib, CTexte(ppArgs, 0), CTexte(ppArgs, 1), nullptr, nullptr);
}
// INIEcrit(section, key, value)
QV_EXPORT int ZNL_INIEcrit_2(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Ecrit(pstAppel, pclLib, CTexte(ppArgs, 0), CTexte(ppArgs, 1), CTexte(ppArgs, 2), nullptr);
}
// INIEcrit(section, key, value, file)
QV_EXPORT int ZNL_INIEcrit_3(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Ecrit(pstAppel, pclLib, CTexte(ppArgs, 0), CTexte(ppArgs, 1), CTexte(ppArgs, 2), CTexte(ppArgs, 3));
}
// INIEcrit(section, key, nothing, file): deletes the key in the file.
QV_EXPORT int ZNL_INIEcrit_4(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Ecrit(pstAppel, pclLib, CTexte(ppArgs, 0), CTexte(ppArgs, 1), nullptr, CTexte(ppArgs, 3));
}
// INIEcrit(section, nothing, nothing, file): deletes the section in the file.
QV_EXPORT int ZNL_INIEcrit_5(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Ecrit(pstAppel, pclLib, CTexte(ppArgs, 0), nullptr, nullptr, CTexte(ppArgs, 3));
}
// INIEcrit(nothing, nothing, nothing, file): no change.
QV_EXPORT int ZNL_INIEcrit_6(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Ecrit(pstAppel, pclLib, nullptr, nullptr, nullptr, CTexte(ppArgs, 3));
}
// INIEcrit(section, key, nothing): deletes the key of the per-user file.
QV_EXPORT int ZNL_INIEcrit_7(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return _Ecrit(pstAppel, pclLib, CTexte(ppArgs, 0), CTexte(ppArgs, 1), nullptr, nullptr);
}

}  // extern "C"
