// Entry points of the file-handle functions. Names, patterns and written
// values arrive as file-function strings (STManipAUB), offsets and sizes as
// 64-bit integers, memory addresses as 32-bit integers.
#include <cstdint>

#include "component/entries.h"
#include "qvstd/manipaub.h"

using namespace entry;

namespace {

using glue::Addr;
using glue::I8;
const auto Manip = glue::File;

int ResultDSTR(STZNAppel* pstAppel, const CZNDSTR& s) {
    glue::Result<qvstd::TC_DSTR>::Post(pstAppel, s);
    return 0;
}

int ResultI8(STZNAppel* pstAppel, int64_t ll) {
    glue::Result<qvstd::TC_INT8>::Post(pstAppel, ll);
    return 0;
}

}  // namespace

extern "C" {

// fOuvre(name, mode) / fOuvre(name): read and write.
QV_EXPORT int ZNL_fOuvre_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultInt(pstAppel, Lib(pclLib)->fOuvre(Manip(ppArgs, 0), Int(ppArgs, 1)));
        return 0;
    });
}
QV_EXPORT int ZNL_fOuvre_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultInt(pstAppel, Lib(pclLib)->fOuvre(Manip(ppArgs, 0), 3));
        return 0;
    });
}

// fCree(name) / fCree(name, mode)
QV_EXPORT int ZNL_fCree_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultInt(pstAppel, Lib(pclLib)->fCree(Manip(ppArgs, 0), 0));
        return 0;
    });
}
QV_EXPORT int ZNL_fCree_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultInt(pstAppel, Lib(pclLib)->fCree(Manip(ppArgs, 0), Int(ppArgs, 1)));
        return 0;
    });
}

QV_EXPORT int ZNL_fFerme_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultInt(pstAppel, Lib(pclLib)->fFerme(Int(ppArgs, 0)));
        return 0;
    });
}

// fLitLigne(handle): the line. fLitLigne(handle, pattern, variables...).
QV_EXPORT int ZNL_fLitLigne_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        return ResultDSTR(pstAppel, Lib(pclLib)->fLitLigne(Int(ppArgs, 0)));
    });
}
QV_EXPORT int ZNL_fLitLigne_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultBool(pstAppel, Lib(pclLib)->fLitLigne(Int(ppArgs, 0), Manip(ppArgs, 1)));
        return 0;
    });
}

// fEcritLigne(handle, string) / (handle, address, length) / (handle, string, length).
QV_EXPORT int ZNL_fEcritLigne_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultBool(pstAppel, Lib(pclLib)->fEcritLigne(Int(ppArgs, 0), Manip(ppArgs, 1)));
        return 0;
    });
}
QV_EXPORT int ZNL_fEcritLigne_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultBool(pstAppel, Lib(pclLib)->fEcritLigne(Int(ppArgs, 0), Addr(ppArgs, 1), Int(ppArgs, 2)));
        return 0;
    });
}
QV_EXPORT int ZNL_fEcritLigne_2(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        // The length never reaches beyond the string's own bytes.
        const STManipAUB* pst = Manip(ppArgs, 1);
        int nLongueur = Int(ppArgs, 2);
        const uint32_t nDispo = pst != nullptr ? pst->nGetLongueur() : 0;
        if (nLongueur < 0 || uint32_t(nLongueur) > nDispo) nLongueur = int(nDispo);
        const void* p = pst != nullptr ? pst->pszGetString() : "";
        ResultBool(pstAppel, Lib(pclLib)->fEcritLigne(Int(ppArgs, 0), p, nLongueur));
        return 0;
    });
}

// fLit(handle, count): a string. fLit(handle, count, address): bytes read.
QV_EXPORT int ZNL_fLit_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        return ResultDSTR(pstAppel, Lib(pclLib)->fLit(Int(ppArgs, 0), Int(ppArgs, 1)));
    });
}
QV_EXPORT int ZNL_fLit_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultInt(pstAppel, Lib(pclLib)->fLit(Int(ppArgs, 0), Int(ppArgs, 1), Addr(ppArgs, 2)));
        return 0;
    });
}

// fEcrit(handle, value [, length]) / fEcrit(handle, address, length).
QV_EXPORT int ZNL_fEcrit_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultInt(pstAppel, Lib(pclLib)->fEcrit(Int(ppArgs, 0), Manip(ppArgs, 1), -1));
        return 0;
    });
}
QV_EXPORT int ZNL_fEcrit_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultInt(pstAppel, Lib(pclLib)->fEcrit(Int(ppArgs, 0), Manip(ppArgs, 1), Int(ppArgs, 2)));
        return 0;
    });
}
QV_EXPORT int ZNL_fEcrit_2(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultInt(pstAppel, Lib(pclLib)->fEcrit(Int(ppArgs, 0), static_cast<const void*>(Addr(ppArgs, 1)),
                                                Int(ppArgs, 2)));
        return 0;
    });
}

QV_EXPORT int ZNL_fPositionne_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        return ResultI8(pstAppel, Lib(pclLib)->fPositionne(Int(ppArgs, 0), I8(ppArgs, 1), Int(ppArgs, 2)));
    });
}

// fBloque / fDebloque (handle [, start [, length]]): the whole rest of the
// file by default.
QV_EXPORT int ZNL_fBloque_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultBool(pstAppel, Lib(pclLib)->fBloque(Int(ppArgs, 0), 0, -1));
        return 0;
    });
}
QV_EXPORT int ZNL_fBloque_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultBool(pstAppel, Lib(pclLib)->fBloque(Int(ppArgs, 0), Int(ppArgs, 1), -1));
        return 0;
    });
}
QV_EXPORT int ZNL_fBloque_2(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultBool(pstAppel, Lib(pclLib)->fBloque(Int(ppArgs, 0), Int(ppArgs, 1), Int(ppArgs, 2)));
        return 0;
    });
}
QV_EXPORT int ZNL_fDebloque_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultBool(pstAppel, Lib(pclLib)->fDebloque(Int(ppArgs, 0), 0, -1));
        return 0;
    });
}
QV_EXPORT int ZNL_fDebloque_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultBool(pstAppel, Lib(pclLib)->fDebloque(Int(ppArgs, 0), Int(ppArgs, 1), -1));
        return 0;
    });
}
QV_EXPORT int ZNL_fDebloque_2(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultBool(pstAppel, Lib(pclLib)->fDebloque(Int(ppArgs, 0), Int(ppArgs, 1), Int(ppArgs, 2)));
        return 0;
    });
}

QV_EXPORT int ZNL_fChangeTaille_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        ResultBool(pstAppel, Lib(pclLib)->fChangeTaille(Int(ppArgs, 0), I8(ppArgs, 1)));
        return 0;
    });
}

}  // extern "C"
