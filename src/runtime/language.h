// Process-wide interface language, set by the host (Execution 5123).
#pragma once

namespace qvstd {
int nGetInterfaceLanguage();          // 12 = first language (French)
void SetInterfaceLanguage(int nLangue);
inline bool bFirstLanguage() { return nGetInterfaceLanguage() == 12; }
}  // namespace qvstd
