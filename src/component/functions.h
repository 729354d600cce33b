// The component frame's own language functions: the first functions that
// prove a module answers its host end to end.
#pragma once
#include <cstdint>

#include "runtime/znlibrary.h"

namespace component {

bool EstPair(CZNLibrary& lib, int32_t n);
bool EstImpair(CZNLibrary& lib, int32_t n);
// Answers the same number whatever it is given: a liveness probe.
int32_t ZigouigouiARoulette(CZNLibrary& lib, int32_t n);

}  // namespace component
