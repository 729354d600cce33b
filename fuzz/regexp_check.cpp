// Arbitrary patterns against arbitrary texts through the regular-expression
// class: compiling, whole-text checks, matches from a position and the
// per-thread cache. Every answer must be a match within the text with
// registers inside it, or a refusal, or the limit: never a crash, a read out
// of bounds or a check that runs unbounded. Layout of the input: one byte of
// options, the length of the pattern on one byte, the pattern, then the
// text (repeated when the options ask for a long text).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "misc/regexp.h"
#include "misc/regexp_automate.h"

namespace {

void Verifie(const CRegExp& cl, int nRes, int nDebut, int nLongueur) {
    if (nRes == REGEXP_LIMITE || nRes < 0) return;
    if (nRes > nLongueur - nDebut) abort();
    if (cl.nGetDebut(0) != nDebut || cl.nGetFin(0) != nDebut + nRes) abort();
    for (int g = 1; g <= cl.nGetNbGroupes() + 1; ++g) {
        const int nDe = cl.nGetDebut(g), nA = cl.nGetFin(g);
        if (nDe < -1 || nA < -1 || nDe > nLongueur || nA > nLongueur) abort();
    }
    // One past the groups is the end marker.
    if (cl.nGetDebut(cl.nGetNbGroupes() + 1) != -1) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nTaille) {
    if (nTaille < 2) return 0;
    const uint8_t byOptions = pData[0];
    size_t nPattern = pData[1];
    pData += 2;
    nTaille -= 2;
    if (nPattern > nTaille) nPattern = nTaille;
    // Zero bytes end the texts, as they would for the callers.
    const std::string sPattern(reinterpret_cast<const char*>(pData), nPattern);
    std::string sTexte(reinterpret_cast<const char*>(pData + nPattern), nTaille - nPattern);
    if ((byOptions & 0x80) && !sTexte.empty()) {
        const std::string sMotif = sTexte;
        // Long next to the matchers' bounds, as 64 KB is for the real ones.
        while (sTexte.size() < (size_t(65536) >> regexp::k_nBornesDecalage)) sTexte += sMotif;
    }
    const std::string sChaine(sPattern.c_str());
    const int nLongueur = int(std::strlen(sTexte.c_str()));

    CRegExp cl;
    const int nCompile = cl.nCompile(sChaine.c_str());
    if (nCompile != 0 && nCompile != REGEXP_INVALIDE && nCompile != REGEXP_TROP_GRAND) abort();
    if ((nCompile == 0) != cl.bEstCompile()) abort();
    if (nCompile != 0) {
        if (cl.bMatch(sTexte.c_str()) || cl.nMatch(sTexte.c_str(), 0, 0) != REGEXP_NON_COMPILE) abort();
        return 0;
    }

    const bool bEntier = cl.bMatch(sTexte.c_str());
    const bool bLimiteEntier = cl.bLimiteAtteinte();
    if (bEntier) Verifie(cl, nLongueur, 0, nLongueur);
    const int nRes = cl.nMatch(sTexte.c_str(), 0, nLongueur);
    Verifie(cl, nRes, 0, nLongueur);
    if ((nRes == REGEXP_LIMITE) != cl.bLimiteAtteinte()) abort();
    // The whole-text check and the longest match agree when neither stopped.
    if (!bLimiteEntier && nRes != REGEXP_LIMITE && bEntier != (nRes == nLongueur)) abort();

    const int nDebut = nLongueur == 0 ? 0 : int(byOptions & 0x3F) % (nLongueur + 1);
    Verifie(cl, cl.nMatch(sTexte.c_str(), nDebut, nLongueur), nDebut, nLongueur);

    // The cached compilation gives the same whole-text answer.
    int nErreur = 0;
    CRegExp* pcl = REGEXP_pclCompile(sChaine.c_str(), nErreur);
    if (pcl == nullptr || nErreur != 0) abort();
    const bool bCache = pcl->bMatch(sTexte.c_str());
    if (!bLimiteEntier && !pcl->bLimiteAtteinte() && bCache != bEntier) abort();
    return 0;
}
