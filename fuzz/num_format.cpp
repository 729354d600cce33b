// Writes numbers through arbitrary number formats, sizes in arbitrary
// units, and arbitrary values through arbitrary numeric masks. Layout of
// the input: one byte choosing the value's type, eight bytes of value, then
// the format; the format also serves as a mask and as a value text, cut at
// its first "|" into mask and value.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/tstring.h"
#include "numeric/masquenum.h"
#include "numeric/numfmt.h"
#include "numeric/taille.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nTaille) {
    if (nTaille < 9) return 0;
    static const int k_tabTypes[] = {8, 9, 5, 10, 12, 1};
    STValeurNum stValeur;
    stValeur.nType = k_tabTypes[pData[0] % 6];
    int64_t ll = 0;
    memcpy(&ll, pData + 1, sizeof ll);
    if (pData[0] & 0x80) {
        memcpy(&stValeur.r, pData + 1, sizeof stValeur.r);
        stValeur.ll = static_cast<int64_t>(ll);
    } else {
        stValeur.r = static_cast<double>(ll);
        stValeur.ll = ll;
    }
    const std::string sFormat(reinterpret_cast<const char*>(pData + 9), nTaille - 9);
    std::string s;
    NUM_eFormate(stValeur, sFormat.c_str(), s);
    _stFMTINFO st;
    if (CHAINE_bAnalyseFormat(sFormat.c_str(), &st)) {
        char sz[48];
        CHAINE_nFmtInfo2Format(sz, &st);
        std::string sTexte = sFormat;
        CHAINE_AligneExposant16Bits(&st, sTexte);
        CHAINE_SeparateurMillier(&st, sTexte, ' ', '.');
    }
    NUM_bTailleVersTexte(ll, int(pData[0] % 8) - 1, sFormat.c_str(), ',', s);
    const size_t nBarre = sFormat.find('|');
    CMasqueNumerique clMasque(sFormat.substr(0, nBarre).c_str());
    const std::string sValeur = nBarre == std::string::npos ? sFormat : sFormat.substr(nBarre + 1);
    CTString clResultat;
    clMasque.MetAuFormat(sValeur.c_str(), clResultat, (pData[0] & 1) != 0);
    clMasque.DeformateNum(clResultat.pszGet(), clResultat);
    clMasque.DeformateNum(sValeur.c_str(), clResultat);
    clMasque.nDecimalesMasque();
    return 0;
}
