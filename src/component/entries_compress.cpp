// Entry points of Compresse and Décompresse, until their syntax rows name
// the functions of src/codec/functions.h and the entry points are generated.
#include "codec/functions.h"
#include "component/entries.h"

using namespace entry;

namespace {

int _Binaire(STZNAppel* pstAppel, CZNBIN cl) {
    Result(pstAppel, &cl, qvstd::TC_BUFFER);
    return 0;
}

}  // namespace

extern "C" {

// Compresse(text)
QV_EXPORT int ZNL_Compresse_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    const auto* pcl = static_cast<const CZNDSTRBase*>(ppArgs[0]);
    CZNDSTR sVide;
    return _Binaire(pstAppel, codec::Compresse(*Lib(pclLib), pcl != nullptr ? *pcl : sVide));
}

// Compresse(buffer)
QV_EXPORT int ZNL_Compresse_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    const auto* pcl = static_cast<const CZNBINBase*>(ppArgs[0]);
    CZNBIN clVide;
    return _Binaire(pstAppel, codec::Compresse(*Lib(pclLib), pcl != nullptr ? *pcl : clVide));
}

// Decompresse(buffer)
QV_EXPORT int ZNL_Decompresse_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    const auto* pcl = static_cast<const CZNBINBase*>(ppArgs[0]);
    CZNBIN clVide;
    return _Binaire(pstAppel, codec::Decompresse(*Lib(pclLib), pcl != nullptr ? *pcl : clVide));
}

}  // extern "C"
