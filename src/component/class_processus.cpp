// The Processus class's entry points: they turn the host's class calls into
// operations of CObjetProcessus and hand property values back through the
// context's host.
#include "component/class_processus.h"

#include <cstdint>
#include <cstring>

#include "core/zndstr.h"
#include "platform/export.h"
#include "system/objetprocessus.h"

namespace {

void* s_piTypeDescription = nullptr;   // kept for the host, never read here

using E = CObjetProcessus::ePropriete;

// The type code a getter hands over: strings as dynamic strings (0x10), the
// machine name as a plain text (0x12), the rest as 4-byte values.
int _nTypeCode(E e) {
    switch (e) {
        case CObjetProcessus::P_NOMMACHINE: return 0x12;
        case CObjetProcessus::P_PID:
        case CObjetProcessus::P_VALEURDERETOUR: return 0x08;
        case CObjetProcessus::P_EXECUTIONINTERACTIVE:
        case CObjetProcessus::P_EXECUTIONENCOURS: return 0x01;
        default: return 0x10;
    }
}

void _Lit(void* pObjet, CCtxInfo* pstCtx, E e) {
    CObjetProcessus* pcl = CObjetProcessus::s_pclDepuisVisible(pObjet);
    if (pcl == nullptr || pstCtx == nullptr || pstCtx->pclHote == nullptr) return;
    const int nType = _nTypeCode(e);
    if (nType == 0x12) {
        CZNDSTR sAnsi;
        const CZNDSTR& s = pcl->sGet(e);
        const char* psz = s.pszGet();
        if (s.nGetTypeAUB() == 16) {
            sAnsi.nAffecteToANSI(s);
            psz = sAnsi.pszGet();
        }
        pstCtx->pclHote->RenvoieValeurPropriete(pstCtx, psz, nType);
    } else if (nType == 0x10) {
        CZNDSTR s = pcl->sGet(e);   // the temporary the host reads
        pstCtx->pclHote->RenvoieValeurPropriete(pstCtx, &s, nType);
    } else {
        const int32_t n = pcl->nGet(e);
        pstCtx->pclHote->RenvoieValeurPropriete(pstCtx, &n, nType);
    }
}

void _Ecrit(void* pObjet, void** ppArgs, E e) {
    CObjetProcessus* pcl = CObjetProcessus::s_pclDepuisVisible(pObjet);
    if (pcl == nullptr) return;
    void* pArg = ppArgs != nullptr ? ppArgs[0] : nullptr;
    if (CObjetProcessus::s_bChaine(e)) {
        // The argument is the host's string word: a copy shares its memory.
        CZNDSTRBase sArg;
        if (pArg != nullptr) std::memcpy(static_cast<void*>(&sArg), pArg, sizeof sArg);
        pcl->Set(e, sArg);
    } else {
        int32_t n = 0;
        if (pArg != nullptr) std::memcpy(&n, pArg, sizeof n);
        pcl->Set(e, n);
    }
}

}  // namespace

extern "C" {

QV_EXPORT void* ZNL_CObjetProcessus_C_0(void** /*ppArgs*/, CCtxInfo* /*pstCtx*/, CXError* /*pclErreur*/) {
    CObjetProcessus* pcl = CObjetProcessus::s_pclCree();
    return pcl != nullptr ? pcl->pGetVisible() : nullptr;
}

QV_EXPORT int ZNL_CObjetProcessus_C(void* pDestination, const void* pSource, CCtxInfo* /*pstCtx*/,
                                    CXError* /*pclErreur*/) {
    CObjetProcessus* pclDestination = CObjetProcessus::s_pclDepuisVisible(pDestination);
    CObjetProcessus* pclSource = CObjetProcessus::s_pclDepuisVisible(const_cast<void*>(pSource));
    if (pclDestination == nullptr || pclSource == nullptr) return 0;
    pclDestination->Copie(*pclSource);
    return 1;
}

QV_EXPORT void ZNL_CObjetProcessus_T(void* piTypeDescription) { s_piTypeDescription = piTypeDescription; }

QV_EXPORT void* ZNL_CObjetProcessus_GOG(CCtxInfo* /*pstCtx*/, CXError* /*pclErreur*/) { return nullptr; }

#define QV_DEFINIT_LECTURE(NOM, E)                                                          \
    QV_EXPORT void ZNL_CObjetProcessus_G_##NOM(void* pObjet, CCtxInfo* pstCtx, CXError*) { \
        _Lit(pObjet, pstCtx, CObjetProcessus::E);                                           \
    }
#define QV_DEFINIT_ECRITURE(NOM, E)                                                                \
    QV_EXPORT void ZNL_CObjetProcessus_S_##NOM(void* pObjet, void** ppArgs, CCtxInfo*, CXError*) { \
        _Ecrit(pObjet, ppArgs, CObjetProcessus::E);                                                 \
    }
QV_LECTURES_PROCESSUS(QV_DEFINIT_LECTURE)
QV_ECRITURES_PROCESSUS(QV_DEFINIT_ECRITURE)
#undef QV_DEFINIT_LECTURE
#undef QV_DEFINIT_ECRITURE

}  // extern "C"
