// Writes numbers through arbitrary number formats, sizes in arbitrary
// units, and arbitrary values through arbitrary numeric masks; reads the
// same text as a currency value and as a number for FmtNum. Layout of the
// input: one byte choosing the value's type, eight bytes of value, then
// the format; the format also serves as a mask and as a value text, cut at
// its first "|" into mask and value.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/tstring.h"
#include "numeric/fmtnum.h"
#include "numeric/masquenum.h"
#include "numeric/money.h"
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

    // Currency: what reads back writes back the same, and every operation
    // either fits or says so.
    CMoney a, b;
    if (pstChaineVersMonetaire(&a, sValeur.c_str()) != nullptr) {
        char sz[MONETAIRE_TAILLE_TEXTE];
        pszMonetaireVersChaineC(sz, &a);
        if (pstChaineVersMonetaire(&b, sz) == nullptr || nCmpMonetaire(&a, &b) != 0) __builtin_trap();
        pszMonetaireVersChaineHexa(sz, &a);
        if (pstChaineHexaVersMonetaire(&b, sz) == nullptr || nCmpMonetaire(&a, &b) != 0) __builtin_trap();
        pszMonetaireVersChaineOctale(sz, &a);
        memcpy(&b, pData + 1, 8);
        b.m_aw[4] = uint16_t(pData[0] * 257);
        if (bEstInvalideMonetaire(&b)) b = gclMoneyNULL;
        for (int nOp = 0; nOp < 4; ++nOp) {
            CMoney c = a;
            CMoney* p = nOp == 0   ? pstAddMonetaire(&c, &b)
                        : nOp == 1 ? pstSubMonetaire(&c, &b)
                        : nOp == 2 ? pstMulMonetaire(&c, &b)
                                   : pstDivMonetaire(&c, &b);
            if (p != nullptr && bEstInvalideMonetaire(p)) __builtin_trap();
        }
        CMoney c = a;
        pstArrMonetaire(&c, pData[0] % 8);
        dMonetaireVersDouble(&a);
    }
    char szNombre[FMTNUM_TAILLE_TAMPON];
    const size_t nCopie = sValeur.size() < sizeof szNombre - 1 ? sValeur.size() : sizeof szNombre - 1;
    memcpy(szNombre, sValeur.data(), nCopie);
    szNombre[nCopie] = 0;
    FmtNum(szNombre, int(pData[1] % 70) - 1, int(pData[2] % 12) - 1, int(pData[3] % 20), pData[4] & 1, pData[4] & 2,
           pData[4] & 4);
    if (strlen(szNombre) > FMTNUM_LONGUEUR_MAX) __builtin_trap();
    return 0;
}
