// Entry points of the first functions.
#include "component/entries.h"

using namespace entry;

extern "C" {

QV_EXPORT int ZNL_EstPair_0(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    ResultBool(pstAppel, CComposanteStandard::EstPair(Int(ppArgs, 0)));
    return 0;
}

QV_EXPORT int ZNL_EstImpair_0(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    ResultBool(pstAppel, CComposanteStandard::EstImpair(Int(ppArgs, 0)));
    return 0;
}

QV_EXPORT int ZNL_ZigouigouiARoulette_0(STZNAppel* pstAppel, IZNLibrary*, void** ppArgs) {
    ResultInt(pstAppel, CComposanteStandard::ZigouigouiARoulette(Int(ppArgs, 0)));
    return 0;
}

}  // extern "C"
