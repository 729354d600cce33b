// What the generated entry points are made of: one reader per argument kind
// of the function table, one writer per result type code, and the guard that
// every entry point runs its body in.
//
// A reader turns the host's argument pointer into the one C++ type that its
// kind maps to; a null or absent argument reads as that type's neutral value
// (0, "", an empty string or buffer, the empty variant, a zero duration).
// The generated code casts the language function to the exact pointer type
// that the row's kinds give, so a function whose parameters differ from its
// row does not compile.
#pragma once
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>

#include "runtime/znlibrary.h"
#include "core/any.h"
#include "core/zndstr.h"
#include "datetime/datetime.h"
#include "datetime/duree.h"
#include "numeric/money.h"
#include "qvstd/callrecord.h"
#include "qvstd/manipaub.h"
#include "qvstd/table.h"
#include "qvstd/types.h"

namespace glue {

// ---- Readers, by argument kind ------------------------------------------

inline int32_t Int(void** ppArgs, int i) {
    int32_t n = 0;
    if (ppArgs != nullptr && ppArgs[i] != nullptr) memcpy(&n, ppArgs[i], sizeof n);
    return n;
}

inline int64_t I8(void** ppArgs, int i) {
    int64_t ll = 0;
    if (ppArgs != nullptr && ppArgs[i] != nullptr) memcpy(&ll, ppArgs[i], sizeof ll);
    return ll;
}

inline double Real(void** ppArgs, int i) {
    double d = 0;
    if (ppArgs != nullptr && ppArgs[i] != nullptr) memcpy(&d, ppArgs[i], sizeof d);
    return d;
}

inline bool Bool(void** ppArgs, int i) { return Int(ppArgs, i) != 0; }

// ANSI text: a Unicode text is converted first; lives for the call.
class Text {
public:
    Text(void** ppArgs, int i) {
        const auto* pcl = ppArgs != nullptr ? static_cast<const CZNDSTRBase*>(ppArgs[i]) : nullptr;
        if (pcl == nullptr) return;
        if (pcl->nGetTypeAUB() == 16) {
            m_sConverti.nAffecteToANSI(*pcl);
            m_psz = m_sConverti.pszGet();
        } else {
            m_psz = pcl->pszGet();
        }
        if (m_psz == nullptr) m_psz = "";
    }
    operator const char*() const { return m_psz; }

private:
    CZNDSTR m_sConverti;
    const char* m_psz = "";
};

// File-function strings stay as the host passed them (ANSI or Unicode).
inline const STManipAUB* File(void** ppArgs, int i) {
    return ppArgs != nullptr ? static_cast<const STManipAUB*>(ppArgs[i]) : nullptr;
}

// Unicode text and binary buffers: the host's string, or an empty one.
class Uni {
public:
    Uni(void** ppArgs, int i)
        : m_pcl(ppArgs != nullptr ? static_cast<const CZNDSTRBase*>(ppArgs[i]) : nullptr) {}
    operator const CZNDSTRBase&() const { return m_pcl != nullptr ? *m_pcl : m_sVide; }

private:
    const CZNDSTRBase* m_pcl;
    CZNDSTR m_sVide;
};

class Bin {
public:
    Bin(void** ppArgs, int i) : m_pcl(ppArgs != nullptr ? static_cast<const CZNBINBase*>(ppArgs[i]) : nullptr) {}
    operator const CZNBINBase&() const { return m_pcl != nullptr ? *m_pcl : m_clVide; }

private:
    const CZNBINBase* m_pcl;
    CZNBIN m_clVide;
};

inline CDuree Dur(void** ppArgs, int i) {
    CDuree cl;
    cl.SetMillisecondes(I8(ppArgs, i));
    return cl;
}

inline CDateTime DateTime(void** ppArgs, int i) {
    CDateTime cl;
    cl.InitDate();
    if (ppArgs != nullptr && ppArgs[i] != nullptr) memcpy(static_cast<void*>(&cl), ppArgs[i], sizeof cl);
    return cl;
}

// Variants are fetched through the host's parameter services, which count
// arguments from 1; a failed fetch leaves the empty variant.
class Any {
public:
    Any(CZNLibrary& lib, int i) { lib.bGetParamAny(i + 1, &m_cl); }
    operator const CAny&() const { return m_cl; }

private:
    CAny m_cl;
};

// Currency: the host's ten bytes (a signed 80-bit count of millionths);
// absent, zero.
inline CMoney Cur(void** ppArgs, int i) {
    CMoney cl = gclMoneyNULL;
    if (ppArgs != nullptr && ppArgs[i] != nullptr) memcpy(&cl, ppArgs[i], sizeof cl);
    return cl;
}

// A variable of the caller that the function writes, through the host's
// parameter services (arguments counted from 1); null when the host gives
// none. Released after the call.
class Var {
public:
    Var(CZNLibrary& lib, int i) {
        if (!lib.bGetParamIVariable(i + 1, &m_pi)) m_pi = nullptr;
    }
    Var(const Var&) = delete;
    Var& operator=(const Var&) = delete;
    ~Var() {
        if (m_pi != nullptr) m_pi->Release();
    }
    operator IVariable*() const { return m_pi; }

private:
    IVariable* m_pi = nullptr;
};

// A page object of the host (a table...), fetched through the host's
// object service (arguments counted from 1); null when there is none.
inline IObjetAPCode* Obj(CZNLibrary& lib, int i) {
    IObjetAPCode* pi = nullptr;
    lib.bGetObjetAPCodeParametre(i + 1, &pi);
    return pi;
}

// A memory address that the host passes as a 4-byte integer.
inline void* Addr(void** ppArgs, int i) {
    return reinterpret_cast<void*>(static_cast<uintptr_t>(static_cast<uint32_t>(Int(ppArgs, i))));
}

// ---- Writers, by result type code ---------------------------------------

inline void Post(STZNAppel* pstAppel, const void* pValeur, int nType) {
    if (pstAppel != nullptr && pstAppel->pclHote != nullptr)
        pstAppel->pclHote->RenvoieValeur(pstAppel->dwFrame, pValeur, nType);
}

template <int TC>
struct Result;
template <>
struct Result<qvstd::TC_BOOL> {
    static void Post(STZNAppel* a, bool b) {
        int32_t n = b ? 1 : 0;
        glue::Post(a, &n, qvstd::TC_BOOL);
    }
};
template <>
struct Result<qvstd::TC_INT> {
    static void Post(STZNAppel* a, int32_t n) { glue::Post(a, &n, qvstd::TC_INT); }
};
template <>
struct Result<qvstd::TC_INT8> {
    static void Post(STZNAppel* a, int64_t ll) { glue::Post(a, &ll, qvstd::TC_INT8); }
};
template <>
struct Result<qvstd::TC_REAL> {
    static void Post(STZNAppel* a, double d) { glue::Post(a, &d, qvstd::TC_REAL); }
};
template <>
struct Result<qvstd::TC_DSTR> {
    static void Post(STZNAppel* a, const CZNDSTR& s) { glue::Post(a, &s, qvstd::TC_DSTR); }
};
template <>
struct Result<qvstd::TC_BUFFER> {
    static void Post(STZNAppel* a, const CZNBIN& cl) { glue::Post(a, &cl, qvstd::TC_BUFFER); }
};
template <>
struct Result<qvstd::TC_CURRENCY> {
    static void Post(STZNAppel* a, const CMoney& cl) { glue::Post(a, &cl, qvstd::TC_CURRENCY); }
};
// Variants cannot be copied: a function of result 1F fills the variant
// that its last parameter names, and the entry point posts it.
inline void PostAny(STZNAppel* a, const CAny& cl) { glue::Post(a, &cl, qvstd::TC_VARIANT); }
template <>
struct Result<qvstd::TC_DURATION> {
    static void Post(STZNAppel* a, const CDuree& cl) {
        int64_t ll = cl.llGetMillisecondes();
        glue::Post(a, &ll, qvstd::TC_DURATION);
    }
};

// ---- The guard -------------------------------------------------------------

// Runs an entry point's body. No exception may cross into the host: memory
// exhaustion (including containers asked for more than they can hold)
// becomes error 80041 and the neutral result, which the host reads as absent.
template <class F>
int Run(IZNLibrary* pclLib, F&& fnCorps) {
    if (pclLib == nullptr) return 0;
    auto& lib = *static_cast<CZNLibrary*>(pclLib);
    try {
        fnCorps(lib);
    } catch (const std::bad_alloc&) {
        lib.RaiseError(80041);
    } catch (const std::length_error&) {
        lib.RaiseError(80041);
    }
    return 0;
}

}  // namespace glue
