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
#include "qvstd/infolangue.h"

namespace {

class CInfoLangueFuzz : public IInfoLangue {
public:
    std::string sJours, sMois, sAM, sPM, sMasque;
    int32_t AddRef() override { return ++m_nRef; }
    int32_t Release() override { return --m_nRef; }   // lives on the stack
    const STInfoLangueDate* pstGetDescriptionDate() override {
        m_stDate = {sMasque.c_str(), sJours.c_str(), sMois.c_str()};
        return &m_stDate;
    }
    int bNePasUtiliserDescriptionDate() override { return 0; }
    const STInfoLangueHeure* pstGetDescriptionHeure() override {
        m_stHeure = {sAM.c_str(), sPM.c_str(), sMasque.c_str()};
        return &m_stHeure;
    }
    int bNePasUtiliserDescriptionHeure() override { return 0; }
    const STInfoLangueNombre* pstGetFormatNumerique() override { return nullptr; }
    int bNePasUtiliserFormatNumerique() override { return 1; }
    const STInfoLangueMonnaie* pstGetFormatMonetaire() override { return nullptr; }
    int bNePasUtiliserFormatMonetaire() override { return 1; }
    const char* pszGetUnitesTaille() override { return nullptr; }
    int bNePasUtiliserUnitesTaille() override { return 1; }

private:
    int32_t m_nRef = 1;
    STInfoLangueDate m_stDate{};
    STInfoLangueHeure m_stHeure{};
};

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

    CInfoLangueFuzz clInfo;
    clInfo.sJours = "lu;;me;x;;;;;;";
    clInfo.sMois = sTexte.substr(0, 24);
    clInfo.sAM = sTexte.substr(0, byOptions & 7);
    clInfo.sPM = "p";
    clInfo.sMasque = sMasque.substr(0, 8);

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
