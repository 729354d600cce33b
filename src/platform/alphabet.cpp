// The alphabet in use: the current character set and the local character
// tables, set by the host directly or answered by its alphabet interface.
#include "platform/alphabet.h"

#include <cstring>

#include "platform/charset.h"
#include "platform/chartab.h"

namespace {

// A private copy of the host's tables: the host may free or reuse its own
// after the change.
struct STAlphabetLocal {
    unsigned char abyMajuscule[256];
    unsigned char abyMinuscule[256];
    unsigned char abySansAccent[256];
    unsigned char abyType[256];
    uint16_t awOrdre[256];
    _stCHARTAB stTab;
    bool bInstalle;
};

int g_nCharset = CHARSET_ANSI;
STAlphabetLocal g_stAlphabet{};
ICtxInfoAlphabet* g_piInfoAlphabet = nullptr;

template <typename T>
const T* _pCopie(T (&aDest)[256], const T* pSource, const T* pDefaut) {
    memcpy(aDest, pSource != nullptr ? pSource : pDefaut, sizeof(aDest));
    return aDest;
}

bool _bTableComplete(const _stCHARTAB* pstTab) {
    return pstTab != nullptr && pstTab->pToUpper != nullptr && pstTab->pToLower != nullptr &&
           pstTab->pToNoAccent != nullptr && pstTab->pbyCharType != nullptr && pstTab->pwCharOrder != nullptr;
}

}  // namespace

void STR_ChangeAlphabet(int nCharset, const void* pTable) {
    g_nCharset = nCharset;
    const auto* pstSource = static_cast<const _stCHARTAB*>(pTable);
    if (pstSource == nullptr) {
        g_stAlphabet.bInstalle = false;
        return;
    }
    // A missing table keeps the default one for that role.
    STAlphabetLocal& st = g_stAlphabet;
    st.stTab.pToUpper = _pCopie(st.abyMajuscule, pstSource->pToUpper, gstCharTab.pToUpper);
    st.stTab.pToLower = _pCopie(st.abyMinuscule, pstSource->pToLower, gstCharTab.pToLower);
    st.stTab.pToNoAccent = _pCopie(st.abySansAccent, pstSource->pToNoAccent, gstCharTab.pToNoAccent);
    st.stTab.pbyCharType = _pCopie(st.abyType, pstSource->pbyCharType, gstCharTab.pbyCharType);
    st.stTab.pwCharOrder = _pCopie(st.awOrdre, pstSource->pwCharOrder, gstCharTab.pwCharOrder);
    st.bInstalle = true;
}

void STR_SetCtxInfoAlphabet(ICtxInfoAlphabet* piInfo) {
    g_piInfoAlphabet = piInfo;
}

ICtxInfoAlphabet* STR_piGetCtxInfoAlphabet() {
    return g_piInfoAlphabet;
}

const _stCHARTAB* STR_pstGetCharTabLocal() {
    if (g_piInfoAlphabet != nullptr) {
        const _stCHARTAB* pstTab = g_piInfoAlphabet->pstGetCharTab();
        return _bTableComplete(pstTab) ? pstTab : &gstCharTab;
    }
    return g_stAlphabet.bInstalle ? &g_stAlphabet.stTab : &gstCharTab;
}

int STR_nGetCurrentChangeCharsetInterne() {
    return g_piInfoAlphabet != nullptr ? g_piInfoAlphabet->nGetCharset() : g_nCharset;
}

int STR_nGetCurrentChangeCharset() {
    const int nCharset = STR_nGetCurrentChangeCharsetInterne();
    return nCharset == CHARSET_SANS ? CHARSET_ANSI : nCharset;
}

uint32_t dwGetCurrentCodePage() {
    return dwGetCodePageFromCharset(STR_nGetCurrentChangeCharsetInterne());
}

void PLATFORM_ChangeAlphabet(int nAlphabet, const void* pTable, void* piInfoAlphabet) {
    STR_ChangeAlphabet(nAlphabet, pTable);
    if (piInfoAlphabet != nullptr) STR_SetCtxInfoAlphabet(static_cast<ICtxInfoAlphabet*>(piInfoAlphabet));
}
