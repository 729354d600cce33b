// Calls a language function in-process by its French name, the way the host
// makes the call: the entry point of the overload from the descriptor
// table, the arguments as the host passes them (variants through the
// host's parameter service), the result captured by type code and the
// error object read after the call. The host answers the
// language-information query with the object the test gives.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/null_host.h"
#include "component/tables.h"
#include "core/any.h"
#include "core/zndstr.h"
#include "qvstd/infolangue.h"
#include "qvstd/library.h"
#include "qvstd/xerror.h"

extern "C" void* pQueryProxy(int);

namespace appel {

// One argument, of the kind its overload declares.
struct STArg {
    enum eKind { ENTIER, ENTIER8, REEL, TEXTE, DUREE, DATEHEURE, VARIANT, ABSENT } eK = ABSENT;
    int32_t n = 0;
    int64_t ll = 0;
    double r = 0;
    std::string s;
    uint32_t adw[2] = {0, 0};
    int nTypeVariant = ANY_VIDE;   // a variant: its type, its value in n, ll, r or s
};
inline STArg I(int32_t n) {
    STArg st;
    st.eK = STArg::ENTIER;
    st.n = n;
    return st;
}
inline STArg I8(int64_t ll) {
    STArg st;
    st.eK = STArg::ENTIER8;
    st.ll = ll;
    return st;
}
inline STArg R(double r) {
    STArg st;
    st.eK = STArg::REEL;
    st.r = r;
    return st;
}
inline STArg T(const char* psz) {
    STArg st;
    st.eK = STArg::TEXTE;
    st.s = psz;
    return st;
}
// A duration in milliseconds.
inline STArg Dur(int64_t ll) {
    STArg st;
    st.eK = STArg::DUREE;
    st.ll = ll;
    return st;
}
// A date-time "AAAAMMJJHHMMSSLLL" (digits not checked: the test's own
// values); any other length gives the empty value.
inline STArg DH(const char* psz) {
    auto f = [psz](int i, int n) {
        uint32_t v = 0;
        for (int k = 0; k < n; ++k) v = v * 10 + uint32_t(psz[i + k] - '0');
        return v;
    };
    STArg st;
    st.eK = STArg::DATEHEURE;
    if (strlen(psz) == 17) {
        st.adw[0] = f(6, 2) | f(4, 2) << 8 | f(0, 4) << 16;
        st.adw[1] = ((f(8, 2) * 60 + f(10, 2)) * 60 + f(12, 2)) * 1000 + f(14, 3);
    }
    return st;
}
// Variants, as the host hands them over: 4- and 8-byte integers, reals, texts.
inline STArg EnVariant(STArg st, int nType) {
    st.eK = STArg::VARIANT;
    st.nTypeVariant = nType;
    return st;
}
inline STArg AnyI(int32_t n) { return EnVariant(I(n), ANY_I4); }
inline STArg AnyI8(int64_t ll) { return EnVariant(I8(ll), ANY_I8); }
inline STArg AnyR(double r) { return EnVariant(R(r), ANY_R8); }
inline STArg AnyT(const char* psz) { return EnVariant(T(psz), ANY_CSTR); }
// An argument the host passes as a null pointer.
inline STArg Nul() { return STArg{}; }

inline std::string Decrit(const STArg& st) {
    switch (st.eK) {
        case STArg::TEXTE: return "\"" + st.s + "\"";
        case STArg::ENTIER: return std::to_string(st.n);
        case STArg::REEL: return std::to_string(st.r);
        case STArg::ABSENT: return "null";
        case STArg::VARIANT:
            if (st.nTypeVariant == ANY_CSTR) return "any \"" + st.s + "\"";
            if (st.nTypeVariant == ANY_R8) return "any " + std::to_string(st.r);
            return "any " + std::to_string(st.nTypeVariant == ANY_I4 ? int64_t(st.n) : st.ll);
        default: return std::to_string(st.ll);
    }
}

// What a call gave.
struct STRes {
    bool bResultat = false;   // a result was handed over
    int nType = -1;
    int64_t n = 0;            // boolean, integer, 8-byte integer and duration results
    double r = 0;             // real results
    std::string s;            // text and binary results
    int nErreur = 0;          // user error code, 0 without error
    std::string sMessage;
    int nSysteme = 0;
};

// The host of one call: the arguments it serves as variants, the language
// information it answers, every result it is handed.
class CHoteAppel : public CNullHost {
public:
    IInfoLangue* piInfo = nullptr;
    const std::vector<STArg>* ptabArgs = nullptr;
    std::vector<STRes> tabResultats;

    intptr_t bInfoVM(int nRequest, intptr_t) override {
        return nRequest == 14 ? reinterpret_cast<intptr_t>(piInfo) : 0;
    }
    // Arguments are numbered from 1, as the host numbers them.
    int bGetParamAny(int nIndex, uint32_t, CAny* pclValeur, CXError*) override {
        if (ptabArgs == nullptr || pclValeur == nullptr || nIndex < 1 || size_t(nIndex) > ptabArgs->size()) return 0;
        const STArg& st = (*ptabArgs)[size_t(nIndex) - 1];
        if (st.eK != STArg::VARIANT) return 0;
        pclValeur->__SetType(st.nTypeVariant);
        switch (st.nTypeVariant) {
            case ANY_CSTR: return pclValeur->SetValue(st.s.c_str()) == 0;
            case ANY_I4: return pclValeur->SetValue(&st.n) == 0;
            case ANY_I8: return pclValeur->SetValue(&st.ll) == 0;
            case ANY_R8: return pclValeur->SetValue(&st.r) == 0;
            default: return 0;
        }
    }
    int bParamNull(int nIndex, uint32_t) override {
        return ptabArgs == nullptr || nIndex < 1 || size_t(nIndex) > ptabArgs->size() ||
               (*ptabArgs)[size_t(nIndex) - 1].eK == STArg::ABSENT;
    }
    void RenvoieValeur(uint32_t, const void* pValeur, int nType) override {
        STRes st;
        st.bResultat = true;
        st.nType = nType;
        switch (nType) {
            case 0x01:
            case 0x08: {
                int32_t n;
                memcpy(&n, pValeur, sizeof n);
                st.n = n;
                break;
            }
            case 0x09:
            case 0x1B: memcpy(&st.n, pValeur, sizeof st.n); break;
            case 0x0C: memcpy(&st.r, pValeur, sizeof st.r); break;
            case 0x13: {
                const auto* pcl = static_cast<const CZNDSTRBase*>(pValeur);
                st.s.assign(pcl->pszGet(), size_t(pcl->nGetLongueur()));
                break;
            }
            case 0x1C: {
                const auto* pcl = static_cast<const CZNBINBase*>(pValeur);
                st.s.assign(reinterpret_cast<const char*>(pcl->pGet()), size_t(pcl->nGetTaille()));
                break;
            }
            case 0x17: st.s = static_cast<const char*>(pValeur); break;
            default: break;
        }
        tabResultats.push_back(st);
    }
};

// The row of a French name written in UTF-8 (the table holds Latin-1).
inline const STFonction* pstRow(const char* pszFrUtf8) {
    std::string sLatin1;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(pszFrUtf8); *p != 0; ++p) {
        if ((*p & 0xE0) == 0xC0 && (p[1] & 0xC0) == 0x80) {
            sLatin1.push_back(char(((p[0] & 0x1F) << 6) | (p[1] & 0x3F)));
            ++p;
        } else {
            sLatin1.push_back(char(*p));
        }
    }
    for (const STFonction& st : gstTabFonction)
        if (st.pszNom[0] != nullptr && sLatin1 == st.pszNom[0]) return &st;
    return nullptr;
}

// A library object of its own, and the calls made on it.
class CAppelParNom {
public:
    CAppelParNom() : m_pclLib(static_cast<IZNLibrary*>(pQueryProxy(60))) {}
    ~CAppelParNom() {
        if (m_pclLib != nullptr) m_pclLib->Release();
    }
    CAppelParNom(const CAppelParNom&) = delete;
    CAppelParNom& operator=(const CAppelParNom&) = delete;

    IZNLibrary* pclLib() const { return m_pclLib; }
    // The language information the host answers with (null: none).
    IInfoLangue* piInfo = nullptr;

    // Overload n of the row named pszFr, as the host calls it. A function
    // hands over exactly one result of its row's type, a procedure none.
    STRes Appel(const char* pszFr, int n, const std::vector<STArg>& tabArgs) {
        STRes stR;
        const STFonction* pstF = pstRow(pszFr);
        if (m_pclLib == nullptr || pstF == nullptr) {
            ADD_FAILURE() << "no library object or no row " << pszFr;
            return stR;
        }
        const STSyntaxe& stS = pstF->pstSyntaxes[n];
        EXPECT_EQ(stS.dwArgs & 0x7F, tabArgs.size()) << pszFr << " " << n;
        if (stS.pfnEntree == nullptr) {
            ADD_FAILURE() << "no entry point " << pszFr << " " << n;
            return stR;
        }
        std::vector<STArg> tabValeurs(tabArgs);
        std::vector<CZNDSTR> tabChaines(tabArgs.size());
        std::vector<void*> tabPointeurs;
        for (size_t i = 0; i < tabValeurs.size(); ++i) {
            STArg& st = tabValeurs[i];
            switch (st.eK) {
                case STArg::ENTIER: tabPointeurs.push_back(&st.n); break;
                case STArg::ENTIER8:
                case STArg::DUREE: tabPointeurs.push_back(&st.ll); break;
                case STArg::REEL: tabPointeurs.push_back(&st.r); break;
                case STArg::TEXTE:
                    tabChaines[i].nAssign(st.s.c_str(), int(st.s.size()));
                    tabPointeurs.push_back(&tabChaines[i]);
                    break;
                case STArg::DATEHEURE: tabPointeurs.push_back(st.adw); break;
                case STArg::VARIANT:
                case STArg::ABSENT: tabPointeurs.push_back(nullptr); break;
            }
        }
        tabPointeurs.push_back(nullptr);
        CHoteAppel clHote;
        clHote.piInfo = piInfo;
        clHote.ptabArgs = &tabValeurs;
        m_pclLib->pclGetError()->RAZ();
        STZNAppel stAppel{&clHote, 0, 0, nullptr, uint32_t(tabArgs.size())};
        STZNAppel* pstAncien = m_pclLib->ChangeContexteAppel(&stAppel);
        EXPECT_EQ(stS.pfnEntree(&stAppel, m_pclLib, tabPointeurs.data()), 0);
        m_pclLib->ChangeContexteAppel(pstAncien);
        const bool bProcedure = stS.pszResultat == nullptr || stS.pszResultat[0] == 0;
        EXPECT_EQ(clHote.tabResultats.size(), bProcedure ? 0u : 1u) << pszFr << " " << n;
        if (!clHote.tabResultats.empty()) {
            stR = clHote.tabResultats[0];
            EXPECT_EQ(stR.nType, uint8_t(stS.pszResultat[0])) << pszFr << " " << n;
        }
        const CXError* pclErreur = m_pclLib->pclGetError();
        if (pclErreur->bIsError()) {
            stR.nErreur = pclErreur->nGetUserError();
            stR.sMessage = pclErreur->pszGetUserMessage();
            stR.nSysteme = pclErreur->nGetSystemError();
        }
        return stR;
    }

private:
    IZNLibrary* m_pclLib;
};

}  // namespace appel
