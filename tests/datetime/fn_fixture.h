// The fixture of the date and time function tests: calls by name through
// the common helper, a fixed clock, a fixed time zone, a home of their own
// and the French interface language.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/appel.h"
#include "common/info_langue.h"
#include "common/temp_home.h"
#include "datetime/horloge.h"
#include "runtime/language.h"

namespace fntest {

using namespace appel;

// Central European time with its summer rule, written out so that no time
// zone database is needed.
constexpr const char* TZ_PARIS = "CET-1CEST,M3.5.0,M10.5.0/3";

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
        m_nLangue = qvstd::nGetInterfaceLanguage();
        qvstd::SetInterfaceLanguage(12);
        // 14 July 2024, 10:20:30.456 UTC (12:20:30.456 in Paris).
        STHorlogeTest::stMaintenant = {llUTC(2024, 7, 14, 10, 20, 30), 456};
        STHorlogeTest::tabRegle.clear();
        STHorlogeTest::nReponse = 0;
        m_pfnLit = FN_pfnSetLitHorloge(STHorlogeTest::Lit);
        m_pfnRegle = FN_pfnSetRegleHorloge(STHorlogeTest::Regle);
        ASSERT_NE(m_clAppel.pclLib(), nullptr);
    }
    void TearDown() override {
        FN_pfnSetLitHorloge(m_pfnLit);
        FN_pfnSetRegleHorloge(m_pfnRegle);
        qvstd::SetInterfaceLanguage(m_nLangue);
        if (m_bTZ)
            setenv("TZ", m_sTZ.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    // Overload n of the row named pszFr, as the host calls it, with the
    // language information of m_piInfo.
    STRes Appel(const char* pszFr, int n, const std::vector<STArg>& tabArgs) {
        m_clAppel.piInfo = m_piInfo;
        return m_clAppel.Appel(pszFr, n, tabArgs);
    }

    IInfoLangue* m_piInfo = nullptr;
    CHomeTemporaire m_clHome;

private:
    CAppelParNom m_clAppel;
    bool m_bTZ = false;
    std::string m_sTZ;
    int m_nLangue = 12;
    PFN_LitHorloge m_pfnLit = nullptr;
    PFN_RegleHorloge m_pfnRegle = nullptr;
};

}  // namespace fntest
