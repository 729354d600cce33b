// Entry point of VerifieExpressionReguliere. Arguments after the declared
// ones are fetched by the body through the host's parameter services.
#include "component/entries.h"

using namespace entry;

extern "C" {

// VerifieExpressionReguliere(text, pattern [, variable...])
QV_EXPORT int ZNL_VerifieExpressionReguliere_0(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs) {
    return glue::Run(pclLib, [&](CZNLibrary&) -> int {
        CZNDSTR sTexte(*static_cast<const CZNDSTRBase*>(ppArgs[0]));
        if (sTexte.nGetTypeAUB() == 16) {
            CZNDSTR sAnsi;
            sAnsi.nAffecteToANSI(sTexte);
            sTexte = sAnsi;
        }
        ResultBool(pstAppel, Lib(pclLib)->ChaineVerifieFormat(sTexte.pszGet(), CTexte(ppArgs, 1)));
        return 0;
    });
}

}  // extern "C"
