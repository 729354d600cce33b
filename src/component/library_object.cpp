// What the library object answers about the component itself: its texts,
// its descriptor, its alphabet and language. The call services are the
// run-time layer's (runtime/znlibrary.cpp).
#include "component/library_module.h"
#include "component/tables.h"
#include "runtime/language.h"
#include "runtime/znlibrary.h"

void CZNLibrary::GetResume(char* pszBuffer, int nTaille) { CopieTexteLangue(gpszResume, pszBuffer, nTaille); }

void CZNLibrary::GetDescription(char* pszBuffer, int nTaille) {
    CopieTexteLangue(gpszDescription, pszBuffer, nTaille);
}

const char* CZNLibrary::pzGetHelpFile() { return gpszFichierAide[qvstd::bFirstLanguage() ? 0 : 1]; }

int CZNLibrary::SetLanguage_OBSOLETE(int nLangue, const char* pszFichier) {
    COMPO_SetLanguageObsolete(nLangue, pszFichier);
    return 1;
}

int CZNLibrary::SetAlphabet(int nCode, void* pTable) {
    COMPO_ChangeAlphabet(nCode, pTable, nullptr);
    return 1;
}

intptr_t CZNLibrary::InfoComposante(int nCode, intptr_t nArgument) { return COMPO_nInfoComposante(nCode, nArgument); }
