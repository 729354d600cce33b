// The number functions through their entry points, in-process: the value
// as the host hands it over (a variant), results and errors. Values that
// need the host's conversions (to text, or integers to reals) are the
// end-to-end tests'.
#include <clocale>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/appel.h"
#include "common/info_langue.h"
#include "runtime/language.h"

using namespace appel;

namespace {

struct STCas {
    const char* pszFr;
    int nSurcharge;
    std::vector<STArg> tabArgs;
    const char* pszAttendu;
    int nErreur;   // user error expected, 0 for none
};

class Fonctions : public ::testing::Test {
protected:
    void SetUp() override {
        std::setlocale(LC_ALL, "C");
        m_nLangue = qvstd::nGetInterfaceLanguage();
        qvstd::SetInterfaceLanguage(12);
    }
    void TearDown() override { qvstd::SetInterfaceLanguage(m_nLangue); }

    void Verifie(const std::vector<STCas>& tabCas) {
        for (const auto& c : tabCas) {
            std::string sCas = std::string(c.pszFr) + "_" + std::to_string(c.nSurcharge) + "(";
            for (const auto& a : c.tabArgs) sCas += Decrit(a) + ",";
            SCOPED_TRACE(sCas + ")");
            STRes st = m_clAppel.Appel(c.pszFr, c.nSurcharge, c.tabArgs);
            EXPECT_EQ(st.nType, 0x13);
            EXPECT_EQ(st.s, c.pszAttendu);
            EXPECT_EQ(st.nErreur, c.nErreur) << st.sMessage;
        }
    }

    CAppelParNom m_clAppel;

private:
    int m_nLangue = 12;
};

TEST_F(Fonctions, EveryFunction) {
    Verifie({
        // Texts come back as they are, whatever the format.
        {"NumériqueVersChaîne", 0, {AnyT("abc")}, "abc", 0},
        {"NumériqueVersChaîne", 1, {AnyT("abc"), T("5.2f")}, "abc", 0},
        {"NumériqueVersChaîne", 1, {AnyT(""), T("%q")}, "", 0},
        // Integers without a format, in decimal.
        {"NumériqueVersChaîne", 0, {AnyI(42)}, "42", 0},
        {"NumériqueVersChaîne", 0, {AnyI(-7)}, "-7", 0},
        {"NumériqueVersChaîne", 1, {AnyI(-7), T("")}, "-7", 0},
        // Formats (on reals: other values reach them through the host's
        // conversions).
        {"NumériqueVersChaîne", 1, {AnyR(3.14159), T("%5.2f")}, " 3.14", 0},
        {"NumériqueVersChaîne", 1, {AnyR(1234567.891), T("12.2fs")}, "1 234 567.89", 0},
        {"NumériqueVersChaîne", 1, {AnyR(-2.5), T("d")}, "-3", 0},
        {"NumériqueVersChaîne", 1, {AnyR(1.0), T("%q")}, "", 80270},
        {"NumériqueVersChaîne", 1, {AnyR(1.0), T("101f")}, "", 80270},

        // Sizes: unit 0 (automatic) when not given, 1 bytes ... 5 terabytes.
        {"TailleVersChaîne", 0, {I8(1)}, "1 octet", 0},
        {"TailleVersChaîne", 0, {I8(2)}, "2 octets", 0},
        {"TailleVersChaîne", 0, {I8(1536)}, "1,50 Ko", 0},
        {"TailleVersChaîne", 1, {I8(1536), I(1)}, "1536 octets", 0},
        {"TailleVersChaîne", 1, {I8(int64_t(3) << 30), I(2)}, "3145728,00 Ko", 0},
        {"TailleVersChaîne", 1, {I8(int64_t(5) << 40), I(5)}, "5,00 To", 0},
        // A null unit reads as 0.
        {"TailleVersChaîne", 1, {I8(1536), Nul()}, "1,50 Ko", 0},
        {"TailleVersChaîne", 1, {I8(1536), I(6)}, "", 81507},
        {"TailleVersChaîne", 1, {I8(1536), I(-1)}, "", 81507},
    });
}

// The unit names of the host's language information, when it says to use them.
TEST_F(Fonctions, SizeUnitsOfTheHost) {
    CInfoLangueTest clInfo;
    clInfo.sUnites = "B;KB;MB;GB;TB";
    clInfo.nNePasUnites = 0;
    m_clAppel.piInfo = &clInfo;
    Verifie({
        {"TailleVersChaîne", 0, {I8(1536)}, "1,50 KB", 0},
        {"TailleVersChaîne", 1, {I8(int64_t(3) << 30), I(0)}, "3,00 GB", 0},
    });
    clInfo.nNePasUnites = 1;
    Verifie({{"TailleVersChaîne", 0, {I8(1536)}, "1,50 Ko", 0}});
    EXPECT_EQ(clInfo.nGetRef(), 1);   // every reference taken was given back
    m_clAppel.piInfo = nullptr;
}

}  // namespace
