// Helpers shared by the entry points: read an argument, hand a result over.
#pragma once
#include <cstdint>
#include <cstring>

#include "component/compo.h"
#include "core/zndstr.h"
#include "platform/export.h"
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

// A text argument as ANSI text; a Unicode text is converted first and a
// null argument reads as empty.
class CTexte {
public:
    CTexte(void** ppArgs, int i) {
        const auto* pcl = static_cast<const CZNDSTRBase*>(ppArgs[i]);
        if (pcl == nullptr) return;
        if (pcl->nGetTypeAUB() == 16) {
            m_sConverti.nAffecteToANSI(*pcl);
            m_psz = m_sConverti.pszGet();
        } else {
            m_psz = pcl->pszGet();
        }
    }
    operator const char*() const { return m_psz; }

private:
    CZNDSTR m_sConverti;
    const char* m_psz = "";
};

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
