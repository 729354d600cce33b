// Helpers shared by the entry points: read an argument, hand a result over.
#pragma once
#include <cstdint>
#include <cstring>

#include "component/compo.h"
#include "component/export.h"
#include "qvstd/callrecord.h"
#include "qvstd/types.h"

namespace entry {

inline CComposanteStandard* Lib(IZNLibrary* pcl) { return static_cast<CComposanteStandard*>(pcl); }

inline int32_t Int(void** ppArgs, int i) {
    int32_t n;
    memcpy(&n, ppArgs[i], sizeof n);
    return n;
}

inline double Real(void** ppArgs, int i) {
    double d;
    memcpy(&d, ppArgs[i], sizeof d);
    return d;
}

inline void Result(STZNAppel* pstAppel, const void* pValeur, int nType) {
    if (pstAppel != nullptr && pstAppel->pclHote != nullptr)
        pstAppel->pclHote->RenvoieValeur(pstAppel->dwFrame, pValeur, nType);
}

inline void ResultBool(STZNAppel* pstAppel, bool b) {
    int32_t n = b ? 1 : 0;
    Result(pstAppel, &n, qvstd::TC_BOOL);
}

inline void ResultInt(STZNAppel* pstAppel, int32_t n) { Result(pstAppel, &n, qvstd::TC_INT); }

}  // namespace entry
