// Writes and reads arbitrary texts through arbitrary date-time masks, with
// every flag, both kinds of mask, the date-and-time return forms and a
// language-information object giving odd names. Layout of the input: one
// byte of options, one byte of flags, the length of the mask on one byte,
// the mask, then the text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/tstring.h"
#include "datetime/maskdate.h"
#include "../tests/common/info_langue.h"

namespace {

const char* const s_apszFormats[] = {nullptr, "AAAAMMJJHHmmSSCCC", "YYYYMMDDHHmmSS", "HHMMSSCC"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nTaille) {
    if (nTaille < 3) return 0;
    const uint8_t byOptions = pData[0];
    const int nFlags = pData[1];
    size_t nMasque = pData[2];
    pData += 3;
    nTaille -= 3;
    if (nMasque > nTaille) nMasque = nTaille;
    // Zero bytes end the texts, as they would for the callers.
    const std::string sMasque(reinterpret_cast<const char*>(pData), nMasque);
    const std::string sTexte(reinterpret_cast<const char*>(pData + nMasque), nTaille - nMasque);

    // The tests' language-information object, on the stack: its own
    // reference outlives the mask's.
    CInfoLangueTest clInfo;
    clInfo.sJours = "lu;;me;x;;;;;;";
    clInfo.sMois = sTexte.substr(0, 24);
    clInfo.sAM = sTexte.substr(0, byOptions & 7);
    clInfo.sPM = "p";
    clInfo.sMasqueDate = clInfo.sMasqueHeure = sMasque.substr(0, 8);

    CMasqueDateHeure cl(sMasque.c_str(), byOptions & 1, s_apszFormats[(byOptions >> 1) & 3]);
    if ((byOptions & 8) != 0) cl.SetInfoLangue(&clInfo, 0, 0);
    CTString clRes;
    cl.FormateEx(sTexte.c_str(), clRes, nFlags);
    cl.DeformateDateHeure(sTexte.c_str(), clRes, nFlags, (byOptions & 16) != 0 ? sMasque.c_str() : nullptr);
    STSystemTime st;
    cl._TexteVersDateHeure(sTexte.c_str(), sMasque.c_str(), st, nFlags);
    CMasqueDateHeure::_InitJourDelaSemaine(st);
    cl.FormateDate(st, clRes, nFlags);
    char sz[40];
    cl.nFormateDate(st, sz, int(1 + (byOptions >> 5)), nFlags);
    cl.StructtoDateString(st, sz, int(sizeof sz), sMasque.c_str());
    cl.StructtoHourString(st, sz, int(sizeof sz));
    cl._nGetNumMonthFromName(sTexte.c_str(), (byOptions & 32) != 0);
    const char* p = cl.pszGetMasque();
    for (int i = 0; i < 64; ++i) {
        int n = 0;
        if (cl.eParseMasque(p, n, (nFlags & 1) != 0) == TZ_FIN) break;
    }
    cl.SetInfoLangue(nullptr, 0, 0);
    return 0;
}
