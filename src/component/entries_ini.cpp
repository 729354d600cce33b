// Entry points of the INI-file functions. Arguments of the kind "nothing"
// (the deleting overloads) are not read.
#include <cwchar>
#include <optional>

#include "component/entries.h"
#include "system/ini.h"

using namespace entry;

namespace {

// The text argument holds a NUL within its length: as a C text it would
// be cut there and a shorter text written than the one given.
bool _bNulInterieur(void** ppArgs, int i) {
    const auto* pcl = static_cast<const CZNDSTRBase*>(ppArgs[i]);
    if (pcl == nullptr) return false;
    if (pcl->nGetTypeAUB() == 16)
        return wmemchr(pcl->pwszGet(), L'\0', static_cast<size_t>(pcl->nGetLongueurUNICODE())) != nullptr;
    return memchr(pcl->pszGet(), 0, static_cast<size_t>(pcl->nGetLongueur())) != nullptr;
}

int _Lit(STZNAppel* pstAppel, const char* pszSection, const char* pszCle, const char* pszDefaut,
         const char* pszFichier) {
    CZNDSTR s = CComposanteStandard::INILit(pszSection, pszCle, pszDefaut, pszFichier);
    Result(pstAppel, &s, qvstd::TC_DSTR);
    return 0;
}

// The positions of the section, key, value and file among the arguments;
// -1 for one the overload does not have or passes as "nothing".
int _Ecrit(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs, int nSection, int nCle, int nValeur,
           int nFichier) {
    std::optional<CTexte> tabTextes[4];
    const char* tabPsz[4] = {};
    bool bNul = false;
    const int tabPositions[4] = {nSection, nCle, nValeur, nFichier};
    for (int i = 0; i < 4; ++i) {
        if (tabPositions[i] < 0) continue;
        tabTextes[i].emplace(ppArgs, tabPositions[i]);
        tabPsz[i] = *tabTextes[i];
        bNul = bNul || _bNulInterieur(ppArgs, tabPositions[i]);
    }
    if (bNul) {
        INIErreurEcriture(*Lib(pclLib), tabPsz[3]);
        ResultBool(pstAppel, false);
        return 0;
    }
    ResultBool(pstAppel, Lib(pclLib)->INIEcrit(tabPsz[0], tabPsz[1], tabPsz[2], tabPsz[3]));
    return 0;
}

}  // namespace

extern "C" {

// INILit(section [, key [, default [, file]]])
QV_EXPORT int ZNL_INILit_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        return _Lit(pstAppel, CTexte(ppArgs, 0), nullptr, nullptr, nullptr);
    });
}
QV_EXPORT int ZNL_INILit_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        return _Lit(pstAppel, CTexte(ppArgs, 0), CTexte(ppArgs, 1), nullptr, nullptr);
    });
}
QV_EXPORT int ZNL_INILit_2(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        return _Lit(pstAppel, CTexte(ppArgs, 0), CTexte(ppArgs, 1), CTexte(ppArgs, 2), nullptr);
    });
}
QV_EXPORT int ZNL_INILit_3(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        return _Lit(pstAppel, CTexte(ppArgs, 0), CTexte(ppArgs, 1), CTexte(ppArgs, 2), CTexte(ppArgs, 3));
    });
}

// INIEcrit(section): deletes the section of the per-user file.
QV_EXPORT int ZNL_INIEcrit_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        return _Ecrit(pstAppel, pclLib, ppArgs, 0, -1, -1, -1);
    });
}
// INIEcrit(section, key): deletes the key of the per-user file.
QV_EXPORT int ZNL_INIEcrit_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        return _Ecrit(pstAppel, pclLib, ppArgs, 0, 1, -1, -1);
    });
}
// INIEcrit(section, key, value)
QV_EXPORT int ZNL_INIEcrit_2(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        return _Ecrit(pstAppel, pclLib, ppArgs, 0, 1, 2, -1);
    });
}
// INIEcrit(section, key, value, file)
QV_EXPORT int ZNL_INIEcrit_3(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        return _Ecrit(pstAppel, pclLib, ppArgs, 0, 1, 2, 3);
    });
}
// INIEcrit(section, key, nothing, file): deletes the key in the file.
QV_EXPORT int ZNL_INIEcrit_4(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        return _Ecrit(pstAppel, pclLib, ppArgs, 0, 1, -1, 3);
    });
}
// INIEcrit(section, nothing, nothing, file): deletes the section in the file.
QV_EXPORT int ZNL_INIEcrit_5(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        return _Ecrit(pstAppel, pclLib, ppArgs, 0, -1, -1, 3);
    });
}
// INIEcrit(nothing, nothing, nothing, file): no change.
QV_EXPORT int ZNL_INIEcrit_6(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        return _Ecrit(pstAppel, pclLib, ppArgs, -1, -1, -1, 3);
    });
}
// INIEcrit(section, key, nothing): deletes the key of the per-user file.
QV_EXPORT int ZNL_INIEcrit_7(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        return _Ecrit(pstAppel, pclLib, ppArgs, 0, 1, -1, -1);
    });
}

}  // extern "C"
