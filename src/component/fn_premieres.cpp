// The first functions: parity tests and the liveness probe.
#include "component/functions.h"

namespace component {

bool EstPair(CZNLibrary&, int32_t n) { return (n & 1) == 0; }
bool EstImpair(CZNLibrary&, int32_t n) { return (n & 1) != 0; }
int32_t ZigouigouiARoulette(CZNLibrary&, int32_t) { return 24053; }

}  // namespace component
