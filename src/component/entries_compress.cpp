// Entry points of Compresse and Decompresse.
#include "component/entries.h"

using namespace entry;

namespace {

int _Binaire(STZNAppel* pstAppel, CZNBIN cl) {
    Result(pstAppel, &cl, qvstd::TC_BUFFER);
    return 0;
}

}  // namespace

extern "C" {

// Compresse(text): a Unicode text is compressed as ANSI text.
QV_EXPORT int ZNL_Compresse_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    const auto* pcl = static_cast<const CZNDSTRBase*>(ppArgs[0]);
    CZNDSTR sAnsi;
    if (pcl != nullptr && pcl->nGetTypeAUB() == 16) {
        sAnsi.nAffecteToANSI(*pcl);
        pcl = &sAnsi;
    }
    const char* psz = pcl != nullptr ? pcl->pszGet() : "";
    uint32_t dwTaille = pcl != nullptr ? static_cast<uint32_t>(pcl->nGetLongueur()) : 0;
    return _Binaire(pstAppel, Lib(pclLib)->Compresse(psz, dwTaille, true));
}

// Compresse(buffer)
QV_EXPORT int ZNL_Compresse_1(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    const auto* pcl = static_cast<const CZNBINBase*>(ppArgs[0]);
    if (pcl == nullptr) return _Binaire(pstAppel, Lib(pclLib)->Compresse(nullptr, 0, false));
    return _Binaire(pstAppel, Lib(pclLib)->Compresse(pcl->pGet(), static_cast<uint32_t>(pcl->nGetTaille()), false));
}

// Decompresse(buffer)
QV_EXPORT int ZNL_Decompresse_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    const auto* pcl = static_cast<const CZNBINBase*>(ppArgs[0]);
    CZNBIN clVide;
    return _Binaire(pstAppel, Lib(pclLib)->Decompresse(pcl != nullptr ? *pcl : clVide));
}

}  // extern "C"
