// What the few hand-written entry points add to the generated ones' glue:
// the component object behind the library, and short names for the
// readers and writers they share with the generated code.
#pragma once
#include <cstdint>

#include "component/compo.h"
#include "component/entry_glue.h"
#include "platform/export.h"

namespace entry {

inline CComposanteStandard* Lib(IZNLibrary* pcl) { return static_cast<CComposanteStandard*>(pcl); }

using CTexte = glue::Text;
using glue::Int;
using glue::Real;

inline void Result(STZNAppel* pstAppel, const void* pValeur, int nType) { glue::Post(pstAppel, pValeur, nType); }
inline void ResultBool(STZNAppel* pstAppel, bool b) { glue::Result<qvstd::TC_BOOL>::Post(pstAppel, b); }
inline void ResultInt(STZNAppel* pstAppel, int32_t n) { glue::Result<qvstd::TC_INT>::Post(pstAppel, n); }

}  // namespace entry
