// Calls of the date and time entry points in-process, the way the host
// makes them: typed arguments, the result captured by type code, the error
// object read after the call. A fixed clock, a fixed time zone, a home of
// their own and a language-information object under the test's control.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "component/compo.h"
#include "component/fake_host.h"
#include "runtime/language.h"
#include "component/tables.h"
#include "core/zndstr.h"
#include "datetime/fn_horloge.h"
#include "qvstd/infolangue.h"
#include "qvstd/xerror.h"

extern "C" void* pQueryProxy(int);

namespace fntest {

// Central European time with its summer rule, written out so that no time
// zone database is needed.
constexpr const char* TZ_PARIS = "CET-1CEST,M3.5.0,M10.5.0/3";

struct STArg {
    enum eKind { ENTIER, TEXTE, DUREE, DATEHEURE } eK;
    int32_t n = 0;
    std::string s;
    int64_t ll = 0;
    uint32_t adw[2] = {0, 0};
};
inline STArg I(int32_t n) { return STArg{STArg::ENTIER, n, {}, 0, {0, 0}}; }
inline STArg T(const char* psz) { return STArg{STArg::TEXTE, 0, psz, 0, {0, 0}}; }
inline STArg Dur(int64_t ll) { return STArg{STArg::DUREE, 0, {}, ll, {0, 0}}; }
// "AAAAMMJJHHMMSSLLL" (digits not checked: the test's own values).
inline STArg DH(const char* psz) {
    auto f = [psz](int i, int n) {
        uint32_t v = 0;
        for (int k = 0; k < n; ++k) v = v * 10 + uint32_t(psz[i + k] - '0');
        return v;
    };
    STArg st{STArg::DATEHEURE, 0, {}, 0, {0, 0}};
    if (strlen(psz) == 17) {
        st.adw[0] = f(6, 2) | f(4, 2) << 8 | f(0, 4) << 16;
        st.adw[1] = ((f(8, 2) * 60 + f(10, 2)) * 60 + f(12, 2)) * 1000 + f(14, 3);
    }
    return st;
}

// The test's language information: names, masks and the "do not use" flags.
class CInfoLangueTest final : public IInfoLangue {
public:
    STInfoLangueDate stDate{"AAAA.MM.JJ", "D1;D2;D3;D4;D5;D6;D7", "M1;M2;M3;M4;M5;M6;M7;M8;M9;M10;M11;M12"};
    STInfoLangueHeure stHeure{"am", "pm", "HH.MM"};
    int bPasDate = 0, bPasHeure = 0;
    int32_t nRef = 1;
    int32_t AddRef() override { return ++nRef; }
    int32_t Release() override { return --nRef; }   // lives on the test's stack
    const STInfoLangueDate* pstGetDescriptionDate() override { return &stDate; }
    int bNePasUtiliserDescriptionDate() override { return bPasDate; }
    const STInfoLangueHeure* pstGetDescriptionHeure() override { return &stHeure; }
    int bNePasUtiliserDescriptionHeure() override { return bPasHeure; }
    const STInfoLangueNombre* pstGetFormatNumerique() override { return nullptr; }
    int bNePasUtiliserFormatNumerique() override { return 1; }
    const STInfoLangueMonnaie* pstGetFormatMonetaire() override { return nullptr; }
    int bNePasUtiliserFormatMonetaire() override { return 1; }
    const char* pszGetUnitesTaille() override { return nullptr; }
    int bNePasUtiliserUnitesTaille() override { return 1; }
    ~CInfoLangueTest() override = default;
};

// Answers the language-information query and records every result kind
// the date functions use.
class CHote : public CRecordingHost {
public:
    IInfoLangue* piInfo = nullptr;
    intptr_t bInfoVM(int nRequest, intptr_t nArgument) override {
        if (nRequest == 14) return reinterpret_cast<intptr_t>(piInfo);
        return CRecordingHost::bInfoVM(nRequest, nArgument);
    }
    void RenvoieValeur(uint32_t dwFrame, const void* pValeur, int nType) override {
        CRecordingHost::RenvoieValeur(dwFrame, pValeur, nType);
        if (nType == 0x13) {
            const auto* pcl = static_cast<const CZNDSTRBase*>(pValeur);
            tabResultats.back().sTexte.assign(pcl->pszGet(), size_t(pcl->nGetLongueur()));
        } else if (nType == 0x1B) {
            memcpy(&tabResultats.back().nValeur, pValeur, 8);
        }
    }
};

struct STRes {
    bool bResultat = false;   // a result was handed over
    int nType = -1;
    int64_t n = 0;
    std::string s;
    int nErreur = 0;          // user error code, 0 without error
    std::string sMessage;
    int nSysteme = 0;
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

// Clock of the tests: an instant they choose, and a setter that records.
struct STHorlogeTest {
    static inline STInstant stMaintenant{0, 0};
    static inline std::vector<int64_t> tabRegle;
    static inline int nReponse = 0;
    static STInstant Lit() { return stMaintenant; }
    static int Regle(int64_t ll) {
        tabRegle.push_back(ll);
        return nReponse;
    }
};

// Seconds since 1970 of a UTC date and time.
inline int64_t llUTC(int a, int m, int j, int h, int mi, int s) {
    struct tm t {};
    t.tm_year = a - 1900;
    t.tm_mon = m - 1;
    t.tm_mday = j;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
    return int64_t(timegm(&t));
}

class FnTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* psz = getenv("TZ");
        m_bTZ = psz != nullptr;
        if (m_bTZ) m_sTZ = psz;
        setenv("TZ", TZ_PARIS, 1);
        tzset();
        psz = getenv("HOME");
        m_bHome = psz != nullptr;
        if (m_bHome) m_sHome = psz;
        char szModele[] = "/tmp/fn_dates_XXXXXX";
        ASSERT_NE(mkdtemp(szModele), nullptr);
        m_sRacine = szModele;
        setenv("HOME", m_sRacine.c_str(), 1);
        m_nLangue = qvstd::nGetInterfaceLanguage();
        qvstd::SetInterfaceLanguage(12);
        // 14 July 2024, 10:20:30.456 UTC (12:20:30.456 in Paris).
        STHorlogeTest::stMaintenant = {llUTC(2024, 7, 14, 10, 20, 30), 456};
        STHorlogeTest::tabRegle.clear();
        STHorlogeTest::nReponse = 0;
        m_pfnLit = FN_pfnSetLitHorloge(STHorlogeTest::Lit);
        m_pfnRegle = FN_pfnSetRegleHorloge(STHorlogeTest::Regle);
        m_pclLib = static_cast<IZNLibrary*>(pQueryProxy(60));
        ASSERT_NE(m_pclLib, nullptr);
    }
    void TearDown() override {
        if (m_pclLib != nullptr) m_pclLib->Release();
        FN_pfnSetLitHorloge(m_pfnLit);
        FN_pfnSetRegleHorloge(m_pfnRegle);
        qvstd::SetInterfaceLanguage(m_nLangue);
        if (m_bTZ)
            setenv("TZ", m_sTZ.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
        if (m_bHome)
            setenv("HOME", m_sHome.c_str(), 1);
        else
            unsetenv("HOME");
        std::string sCommande = "rm -rf '" + m_sRacine + "'";
        EXPECT_EQ(system(sCommande.c_str()), 0);
    }

    // Overload n of the row named pszFr, as the host calls it.
    STRes Appel(const char* pszFr, int n, const std::vector<STArg>& tabArgs) {
        STRes stR;
        const STFonction* pstF = pstRow(pszFr);
        if (pstF == nullptr) {
            ADD_FAILURE() << "no row " << pszFr;
            return stR;
        }
        const STSyntaxe& stS = pstF->pstSyntaxes[n];
        EXPECT_EQ(stS.dwArgs & 0x7F, tabArgs.size()) << pszFr << " " << n;
        if (stS.pfnEntree == nullptr) {
            ADD_FAILURE() << "no entry point " << pszFr << " " << n;
            return stR;
        }
        std::vector<CZNDSTR> tabChaines(tabArgs.size());
        std::vector<STArg> tabValeurs(tabArgs);
        std::vector<void*> tabPointeurs;
        for (size_t i = 0; i < tabValeurs.size(); ++i) {
            STArg& st = tabValeurs[i];
            switch (st.eK) {
                case STArg::ENTIER: tabPointeurs.push_back(&st.n); break;
                case STArg::TEXTE:
                    tabChaines[i].nAssign(st.s.c_str());
                    tabPointeurs.push_back(&tabChaines[i]);
                    break;
                case STArg::DUREE: tabPointeurs.push_back(&st.ll); break;
                case STArg::DATEHEURE: tabPointeurs.push_back(st.adw); break;
            }
        }
        tabPointeurs.push_back(nullptr);
        CHote clHote;
        clHote.piInfo = m_piInfo;
        m_pclLib->pclGetError()->RAZ();
        STZNAppel stAppel{&clHote, 0, 0, nullptr, uint32_t(tabArgs.size())};
        STZNAppel* pstAncien = m_pclLib->ChangeContexteAppel(&stAppel);
        EXPECT_EQ(stS.pfnEntree(&stAppel, m_pclLib, tabPointeurs.data()), 0);
        m_pclLib->ChangeContexteAppel(pstAncien);
        // One result exactly for a function, none for a procedure.
        const bool bProcedure = stS.pszResultat == nullptr || stS.pszResultat[0] == 0;
        EXPECT_EQ(clHote.tabResultats.size(), bProcedure ? 0u : 1u) << pszFr << " " << n;
        if (!clHote.tabResultats.empty()) {
            const auto& st = clHote.tabResultats[0];
            stR.bResultat = true;
            stR.nType = st.nType;
            stR.n = st.nValeur;
            stR.s = st.sTexte;
            EXPECT_EQ(st.nType, uint8_t(stS.pszResultat[0])) << pszFr << " " << n;
        }
        const CXError* pclErreur = m_pclLib->pclGetError();
        if (pclErreur->bIsError()) {
            stR.nErreur = pclErreur->nGetUserError();
            stR.sMessage = pclErreur->pszGetUserMessage();
            stR.nSysteme = pclErreur->nGetSystemError();
        }
        return stR;
    }

    IZNLibrary* m_pclLib = nullptr;
    IInfoLangue* m_piInfo = nullptr;
    std::string m_sRacine;

private:
    bool m_bTZ = false, m_bHome = false;
    std::string m_sTZ, m_sHome;
    int m_nLangue = 12;
    PFN_LitHorloge m_pfnLit = nullptr;
    PFN_RegleHorloge m_pfnRegle = nullptr;
};

}  // namespace fntest
