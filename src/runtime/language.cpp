// The process-wide interface language, which the host sets through the
// execution link and every message and name lookup reads.
#include "runtime/language.h"

namespace {
int s_nLangue = 0;
}  // namespace

namespace qvstd {
int nGetInterfaceLanguage() { return s_nLangue; }
void SetInterfaceLanguage(int nLangue) { s_nLangue = nLangue; }
}  // namespace qvstd
