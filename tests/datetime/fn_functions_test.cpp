// The date and time functions through their entry points: results, result
// types, errors and neutral values, in both interface languages. One table
// holds every case; a row gives its English result when it differs.
#include "fn_fixture.h"

using namespace fntest;

namespace {

struct STCas {
    const char* pszFr;
    int nSurcharge;
    std::vector<STArg> tabArgs;
    int64_t nAttendu;          // integer, boolean and duration results
    const char* pszAttendu;    // text results (null for the others)
    int nErreur;               // user error expected, 0 for none
    const char* pszAnglais = nullptr;   // the text result in English, when it differs
};

std::string Decrit(const STCas& c) {
    std::string s = std::string(c.pszFr) + "_" + std::to_string(c.nSurcharge) + "(";
    for (const auto& a : c.tabArgs) s += appel::Decrit(a) + ",";
    return s + ")";
}

class Fonctions : public FnTest {
protected:
    // Every row in the current interface language. No row sets the clock.
    void Verifie(const std::vector<STCas>& tabCas) {
        const bool bAnglais = qvstd::nGetInterfaceLanguage() != 12;
        for (const auto& c : tabCas) {
            SCOPED_TRACE(Decrit(c));
            STRes st = Appel(c.pszFr, c.nSurcharge, c.tabArgs);
            EXPECT_EQ(st.nErreur, c.nErreur) << st.sMessage;
            if (c.nErreur != 0) {
                EXPECT_FALSE(st.sMessage.empty());
            }
            if (c.pszAttendu != nullptr) {
                EXPECT_EQ(st.s, bAnglais && c.pszAnglais != nullptr ? c.pszAnglais : c.pszAttendu);
            } else {
                EXPECT_EQ(st.n, c.nAttendu);
            }
        }
        EXPECT_TRUE(STHorlogeTest::tabRegle.empty());
    }
};

const char* const VIDE = "";

const std::vector<STCas>& Cas() {
    static const std::vector<STCas> s_tab = {
        // The fixed clock: 12:20:30.456 on 14 July 2024 in Paris.
        {"DateSys", 0, {}, 0, "20240714", 0},
        {"DateDuJour", 0, {}, 0, "20240714", 0},
        {"HeureSys", 0, {}, 0, "12203045", 0},
        {"Maintenant", 0, {}, 0, "12203045", 0},
        // Invalid values are reported and never reach the clock.
        {"DateSys", 1, {T("2025010")}, 0, nullptr, 80121},
        {"DateSys", 1, {T("2025o102")}, 0, nullptr, 80122},
        {"DateSys", 1, {T("00000102")}, 0, nullptr, 80123},
        {"DateSys", 1, {T("20251302")}, 0, nullptr, 80125},
        {"DateSys", 1, {T("20250230")}, 0, nullptr, 80126},
        {"DateSys", 1, {T("20250229")}, 0, nullptr, 80127},
        {"DateDuJour", 1, {T("")}, 0, nullptr, 80121},
        {"HeureSys", 1, {T("12a")}, 0, nullptr, 80128},
        {"HeureSys", 1, {T("000060")}, 0, nullptr, 80129},
        {"HeureSys", 1, {T("0060")}, 0, nullptr, 80130},
        {"HeureSys", 1, {T("24")}, 0, nullptr, 80131},
        {"Maintenant", 1, {T("2500")}, 0, nullptr, 80131},

        // Day numbers: 1 January 1800 is day 1.
        {"DateVersEntier", 0, {T("18000101")}, 1, nullptr, 0},
        {"DateVersEntier", 0, {T("17991231")}, 0, nullptr, 0},
        {"DateVersEntier", 0, {T("19000101")}, 36525, nullptr, 0},
        {"DateVersEntier", 0, {T("19700101")}, 62092, nullptr, 0},
        {"DateVersEntier", 0, {T("20000101")}, 73049, nullptr, 0},
        {"DateVersEntier", 0, {T("99991231")}, 2994988, nullptr, 0},
        {"DateVersEntier", 1, {T("20240301"), I(1)}, 61, nullptr, 0},
        {"DateVersEntier", 1, {T("20230301"), I(1)}, 60, nullptr, 0},
        {"DateVersEntier", 1, {T("20241231"), I(7)}, 366, nullptr, 0},
        {"DateVersEntier", 1, {T("20000101"), I(0)}, 73049, nullptr, 0},
        // The date-time family's 1582 rule: 4 and 15 October 1582 follow each other.
        {"DateVersEntier", 0, {T("15821015")}, -79335, nullptr, 0},
        {"DateVersEntier", 0, {T("15821004")}, -79336, nullptr, 0},
        // The checks, in their order.
        {"DateVersEntier", 0, {T("2024011")}, -1, nullptr, 80121},
        {"DateVersEntier", 0, {T("202401011")}, -1, nullptr, 80121},
        {"DateVersEntier", 0, {T("")}, -1, nullptr, 80121},
        {"DateVersEntier", 0, {T("2024010a")}, -1, nullptr, 80122},
        {"DateVersEntier", 0, {T("00000101")}, -1, nullptr, 80123},
        {"DateVersEntier", 0, {T("15820805")}, -1, nullptr, 80124},
        {"DateVersEntier", 0, {T("15820814")}, -1, nullptr, 80124},
        {"DateVersEntier", 0, {T("20241301")}, -1, nullptr, 80125},
        {"DateVersEntier", 0, {T("20240001")}, -1, nullptr, 80125},
        {"DateVersEntier", 0, {T("20240132")}, -1, nullptr, 80126},
        {"DateVersEntier", 0, {T("20240431")}, -1, nullptr, 80126},
        {"DateVersEntier", 0, {T("20230229")}, -1, nullptr, 80127},
        {"DateVersEntier", 0, {T("19000229")}, -1, nullptr, 80127},

        {"EntierVersDate", 0, {I(1)}, 0, "18000101", 0},
        {"EntierVersDate", 0, {I(0)}, 0, "17991231", 0},
        {"EntierVersDate", 0, {I(73049)}, 0, "20000101", 0},
        {"EntierVersDate", 0, {I(2994988)}, 0, "99991231", 0},
        {"EntierVersDate", 0, {I(2994989)}, 0, "100000101", 0},
        {"EntierVersDate", 0, {I(2994990)}, 0, VIDE, 80132},
        {"EntierVersDate", 1, {I(1), T("AAAA")}, 0, "1800", 0},
        {"EntierVersDate", 1, {I(1), T("y")}, 0, "1800", 0},
        {"EntierVersDate", 1, {I(1), T("mm")}, 0, "01", 0},
        {"EntierVersDate", 1, {I(36525 + 40), T("M")}, 0, "02", 0},
        {"EntierVersDate", 1, {I(36525 + 40), T("JJ")}, 0, "10", 0},
        {"EntierVersDate", 1, {I(36525 + 40), T("d")}, 0, "10", 0},
        {"EntierVersDate", 1, {I(36525 + 40), T("x")}, 0, "19000210", 0},
        {"EntierVersDate", 1, {I(36525 + 40), T("")}, 0, "19000210", 0},
        {"EntierVersDate", 1, {I(-700000), T("AAAA")}, 0, VIDE, 80132},

        // Days of the week: 1 Monday ... 7 Sunday; 1 January 1800 was a Wednesday.
        {"EntierVersJour", 0, {I(1)}, 3, nullptr, 0},
        {"EntierVersJour", 0, {I(5)}, 7, nullptr, 0},
        {"EntierVersJour", 0, {I(6)}, 1, nullptr, 0},
        {"EntierVersJour", 0, {I(0)}, 2, nullptr, 0},
        {"EntierVersJour", 0, {I(-1)}, 1, nullptr, 0},
        {"EntierVersJour", 0, {I(INT32_MIN)}, 7, nullptr, 0},
        {"DateVersJour", 0, {T("20240101")}, 1, nullptr, 0},
        {"DateVersJour", 0, {T("20240714")}, 7, nullptr, 0},
        {"DateVersJour", 0, {T("2024071")}, -1, nullptr, 80121},

        // Week numbers: week 1 holds the first Thursday, the days before are week 0.
        {"NuméroDeSemaine", 0, {T("20210101")}, 0, nullptr, 0},
        {"NuméroDeSemaine", 0, {T("20210103")}, 0, nullptr, 0},
        {"NuméroDeSemaine", 0, {T("20210104")}, 1, nullptr, 0},
        {"NuméroDeSemaine", 0, {T("20190101")}, 1, nullptr, 0},
        {"NuméroDeSemaine", 0, {T("20200101")}, 1, nullptr, 0},
        {"NuméroDeSemaine", 0, {T("20241231")}, 53, nullptr, 0},
        {"NuméroDeSemaine", 0, {T("20201231")}, 53, nullptr, 0},
        {"NuméroDeSemaine", 0, {T("20211231")}, 52, nullptr, 0},
        {"NuméroDeSemaine", 0, {T("20220102")}, 0, nullptr, 0},
        {"NuméroDeSemaine", 0, {T("2021")}, -1, nullptr, 80121},
        {"NuméroDeSemaine", 0, {T("20210230")}, -1, nullptr, 80126},
        {"DateVersNuméroDeSemaine", 0, {T("20241231")}, 53, nullptr, 0},
        {"DateVersNuméroDeSemaine", 0, {T("20210101")}, 0, nullptr, 0},
        {"DateVersNuméroDeSemaine", 0, {T("2021x101")}, -1, nullptr, 80122},
        {"EntierVersNuméroDeSemaine", 0, {I(73049)}, 0, nullptr, 0},        // Saturday 1 January 2000
        {"EntierVersNuméroDeSemaine", 0, {I(73049 + 2)}, 1, nullptr, 0},    // Monday 3 January 2000
        {"EntierVersNuméroDeSemaine", 0, {I(2994990)}, -1, nullptr, 80132},

        // Times: hundredths since midnight.
        {"HeureVersEntier", 0, {T("12345678")}, 4529678, nullptr, 0},
        {"HeureVersEntier", 0, {T("0030")}, 180000, nullptr, 0},
        {"HeureVersEntier", 0, {T("")}, 0, nullptr, 0},
        {"HeureVersEntier", 0, {T("235959991234")}, 8639999, nullptr, 0},
        {"HeureVersEntier", 0, {T("12a")}, -1, nullptr, 80128},
        {"HeureVersEntier", 0, {T("-1")}, -1, nullptr, 80128},
        {"HeureVersEntier", 0, {T("000060")}, -1, nullptr, 80129},
        {"HeureVersEntier", 0, {T("0060")}, -1, nullptr, 80130},
        {"HeureVersEntier", 0, {T("24")}, -1, nullptr, 80131},
        {"EntierVersHeure", 0, {I(4529678)}, 0, "12345678", 0},
        {"EntierVersHeure", 0, {I(0)}, 0, "00000000", 0},
        {"EntierVersHeure", 0, {I(9000000)}, 0, "25000000", 0},
        {"EntierVersHeure", 0, {I(8640000)}, 0, "24000000", 0},
        {"EntierVersHeure", 0, {I(-1)}, 0, VIDE, 80120},

        {"HeureVersChaîne", 0, {T("12345678")}, 0, "12:34:56:78", 0},
        {"HeureVersChaîne", 1, {T("0030"), T("HH:MM AP")}, 0, "12:30 AM", 0},
        {"HeureVersChaîne", 1, {T("1305"), T("HH:MM AP")}, 0, "01:05 PM", 0},
        {"HeureVersChaîne", 1, {T("1200"), T("HH:MM AP")}, 0, "12:00 PM", 0},
        {"HeureVersChaîne", 1, {T("0000"), T("HH:MM ap")}, 0, "12:00 AM", 0},
        {"HeureVersChaîne", 1, {T("1200"), T("AM HH:MM AP")}, 0, "PM 12:00 PM", 0},
        {"HeureVersChaîne", 1, {T("1305"), T("HH:MM AM")}, 0, "13:05 AM", 0},
        {"HeureVersChaîne", 1, {T("1305"), T("hh:mm")}, 0, "13:05", 0},
        {"HeureVersChaîne", 1, {T("13054207"), T("HH:MM:SS.CC HH")}, 0, "13:05:42.07 13", 0},
        {"HeureVersChaîne", 1, {T("1305"), T("")}, 0, "13:05:00:00", 0},
        {"HeureVersChaîne", 1, {T("25"), T("HH")}, 0, VIDE, 80131},

        {"HeureValide", 0, {T("2359")}, 1, nullptr, 0},
        {"HeureValide", 0, {T("")}, 1, nullptr, 0},
        {"HeureValide", 0, {T("2400")}, 0, nullptr, 0},
        {"HeureValide", 0, {T("12:00")}, 0, nullptr, 0},
        {"HeureEstValide", 0, {T("0000")}, 1, nullptr, 0},
        {"HeureEstValide", 0, {T("0061")}, 0, nullptr, 0},
        {"DateValide", 0, {T("20240229")}, 1, nullptr, 0},
        {"DateValide", 0, {T("20230229")}, 0, nullptr, 0},
        {"DateValide", 0, {T("15000229")}, 1, nullptr, 0},   // Julian rule
        {"DateValide", 0, {T("19000229")}, 0, nullptr, 0},
        {"DateValide", 0, {T("2024")}, 0, nullptr, 0},
        {"DateEstValide", 0, {T("20000229")}, 1, nullptr, 0},
        {"DateEstValide", 0, {T("00000101")}, 0, nullptr, 0},

        // Differences by the legacy counts.
        {"DateDifférence", 0, {T("20240101"), T("20240301")}, 60, nullptr, 0},
        {"DateDifférence", 0, {T("20240301"), T("20240101")}, -60, nullptr, 0},
        {"DateDifférence", 0, {T("18000101"), T("99991231")}, 2994987, nullptr, 0},
        // The legacy family's own 1582 rule (2 days back on the first four days).
        {"DateDifférence", 0, {T("15821004"), T("15821015")}, 13, nullptr, 0},
        {"DateDifférence", 0, {T("2024010"), T("20240101")}, -1, nullptr, 80134},
        {"DateDifférence", 0, {T("20240101"), T("20240230")}, -1, nullptr, 80134},
        {"HeureDifférence", 0, {T("0800"), T("1730")}, 3420000, nullptr, 0},
        {"HeureDifférence", 0, {T("1730"), T("0800")}, -3420000, nullptr, 0},
        {"HeureDifférence", 0, {T("2400"), T("0000")}, -1, nullptr, 80134},
        {"DateHeureDifférence", 0, {T("20240101120000"), T("20240101120000")}, 0, "+000000000000000", 0},
        {"DateHeureDifférence", 0, {T("20240101"), T("202312312359")}, 0, "-000000000010000", 0},
        {"DateHeureDifférence", 0, {T("20240101"), T("2024010201300142")}, 0, "+000000101300142", 0},
        {"DateHeureDifférence", 0, {T("18000101"), T("99991231235959")}, 0, "+299498723595900", 0},
        {"DateHeureDifférence", 0, {T("20240101"), T("2024010225")}, 0, VIDE, 80134},
        {"DateHeureDifférence", 0, {T("2024"), T("20240101")}, 0, VIDE, 80134},

        // Reading without a mask: the legacy reader, no check.
        {"ChaîneVersDate", 0, {T("05/03/2024")}, 0, "20240305", 0},
        {"ChaîneVersDate", 0, {T("05-03-2024")}, 0, "20240305", 0},
        {"ChaîneVersDate", 0, {T("31/02/2024")}, 0, "20240231", 0},
        {"ChaîneVersDate", 0, {T("00/03/2024")}, 0, VIDE, 0},
        {"ChaîneVersDate", 0, {T("05/03/24")}, 0, "240305", 0},
        {"ChaîneVersDate", 0, {T("05")}, 0, "05", 0},   // month and year found empty
        {"ChaîneVersDate", 0, {T("")}, 0, VIDE, 0},
        // Reading by a mask (two-digit years pivot at 50, strict form).
        {"ChaîneVersDate", 1, {T("5/3/24"), T("J/M/AA")}, 0, "20240305", 0},
        {"ChaîneVersDate", 1, {T("5/3/99"), T("J/M/AA")}, 0, "19990305", 0},
        {"ChaîneVersDate", 1, {T("05/03/2024"), T("jj/mm/aaaa")}, 0, "20240305", 0},
        {"ChaîneVersDate", 1, {T("2024-03-05"), T("yyyy-mm-dd")}, 0, "20240305", 0},
        {"ChaîneVersDate", 1, {T("05/03/24x"), T("JJ/MM/AA")}, 0, VIDE, 0},
        {"ChaîneVersDate", 1, {T("05/03"), T("JJ/MM/AAAA")}, 0, VIDE, 0},
        {"ChaîneVersDate", 1, {T(""), T("JJ/MM/AAAA")}, 0, VIDE, 0},

        {"DateVersChaîne", 0, {T("20240305")}, 0, "05/03/2024", 0},
        {"DateVersChaîne", 1, {T("20240305"), T("JJ/MM/AAAA")}, 0, "05/03/2024", 0},
        {"DateVersChaîne", 1, {T("20240305"), T("J/M/AA")}, 0, "5/3/24", 0},
        {"DateVersChaîne", 1, {T("20240305"), T("jj-mm-aaaa")}, 0, "05-03-2024", 0},
        {"DateVersChaîne", 1, {T("20240305"), T("\\JJ")}, 0, "J5", 0},
        {"DateVersChaîne", 1, {T("20240305"), T("")}, 0, "05/03/2024", 0},
        {"DateVersChaîne", 1, {T(""), T("JJ/MM/AAAA")}, 0, VIDE, 0},
        {"DateVersChaîne", 1, {T("2024030"), T("JJ/MM/AAAA")}, 0, VIDE, 80121},
        {"DateVersChaîne", 0, {T("20240230")}, 0, VIDE, 80126},

        // Names from the message texts of each language.
        {"EntierVersJourEnLettre", 0, {I(1)}, 0, "Mercredi", 0, "Wednesday"},
        {"EntierVersJourEnLettre", 0, {I(5)}, 0, "Dimanche", 0, "Sunday"},
        {"EntierVersJourEnLettre", 0, {I(6)}, 0, "Lundi", 0, "Monday"},
        {"EntierVersMoisEnLettre", 0, {I(1)}, 0, "Janvier", 0, "January"},
        {"EntierVersMoisEnLettre", 0, {I(73049 + 31 + 29 + 31 + 30 + 31 + 30 + 31)}, 0, "Ao\xFBt", 0, "August"},
        {"EntierVersMoisEnLettre", 0, {I(2994990)}, 0, VIDE, 80132},
        {"DateVersJourEnLettre", 0, {T("20240101")}, 0, "Lundi", 0, "Monday"},
        {"DateVersJourEnLettre", 0, {T("20240714")}, 0, "Dimanche", 0, "Sunday"},
        {"DateVersJourEnLettre", 0, {T("2024")}, 0, VIDE, 80121},
        {"DateVersMoisEnLettre", 0, {T("20241215")}, 0, "D\xE9" "cembre", 0, "December"},
        {"DateVersMoisEnLettre", 0, {T("20240230")}, 0, VIDE, 80126},
        {"DateVersChaîne", 1, {T("20240305"), T("dd mmm yyyy")}, 0, "05 Mar. 2024", 0},
        {"DateVersChaîne", 1, {T("20240505"), T("dd mmm yyyy")}, 0, "05 Mai 2024", 0, "05 May 2024"},
        {"DateVersChaîne", 1, {T("20240705"), T("jj mmm aaaa")}, 0, "05 Juil. 2024", 0, "05 Jul. 2024"},
        {"DateVersChaîne", 1, {T("20240305"), T("JJJJ JJ MMMM AAAA")}, 0, "Mardi 05 Mars 2024", 0,
         "Tuesday 05 March 2024"},

        // Durations.
        {"ChaîneVersDurée", 0, {T("10203040005"), I(0)}, 937840005, nullptr, 0},
        {"ChaîneVersDurée", 0, {T("-1020304005"), I(2)}, -93784005, nullptr, 0},
        {"ChaîneVersDurée", 0, {T("+0000000000"), I(0)}, 0, nullptr, 0},
        {"ChaîneVersDurée", 0, {T("102030400"), I(1)}, 93784000, nullptr, 0},
        {"ChaîneVersDurée", 0, {T("102030400"), I(0)}, 0, nullptr, 0},
        {"ChaîneVersDurée", 0, {T("abc"), I(0)}, 0, nullptr, 0},
        {"ChaîneVersDurée", 1, {T("02:30"), T("HH:MM")}, 9000000, nullptr, 0},
        {"ChaîneVersDurée", 1, {T("1020304005"), T("")}, 93784005, nullptr, 0},
        {"DuréeVersChaîne", 0, {Dur(93784005), I(0)}, 0, "1020304005", 0},
        {"DuréeVersChaîne", 0, {Dur(93784005), I(1)}, 0, "102030400", 0},
        {"DuréeVersChaîne", 0, {Dur(-93784005), I(0)}, 0, "-1020304005", 0},
        {"DuréeVersChaîne", 0, {Dur(0), I(5)}, 0, "0000000000", 0},
        {"DuréeVersChaîne", 1, {Dur(93784005), T("HH:MM:SS.LL")}, 0, "02:03:04.00", 0},
        {"DuréeVersChaîne", 1, {Dur(93784005), T("")}, 0, "1020304005", 0},

        // Age and Easter never raise.
        {"Age", 1, {T("20000229"), T("20010228")}, 0, "00001128", 0},
        {"Age", 1, {T("20000101"), T("20000101")}, 0, "00000000", 0},
        {"Age", 1, {T("19800615"), T("20240614")}, 0, "00431129", 0},
        {"Age", 1, {T("20000131"), T("20000301")}, 0, "00000101", 0},
        {"Age", 1, {T("20000102"), T("20000101")}, 0, VIDE, 0},
        {"Age", 1, {T("2000"), T("20010101")}, 0, VIDE, 0},
        {"Age", 1, {T("20000101"), T("2001")}, 0, VIDE, 0},
        {"Age", 1, {T("00010101"), T("99991231")}, 0, "99981130", 0},
        // On today's date.
        {"Age", 0, {T("20000714")}, 0, "00240000", 0},
        {"Age", 0, {T("20000715")}, 0, "00231130", 0},
        {"Age", 1, {T("20000714"), T("")}, 0, "00240000", 0},
        {"Age", 0, {T("20240715")}, 0, VIDE, 0},
        {"Pâques", 0, {T("2024")}, 0, "20240331", 0},
        {"Pâques", 0, {T("2025xyz")}, 0, "20250420", 0},
        {"Pâques", 0, {T("1582")}, 0, VIDE, 0},
        {"Pâques", 0, {T("abcd")}, 0, VIDE, 0},
        {"Pâques", 0, {T("")}, 0, VIDE, 0},
        {"Pâques", 1, {I(2024)}, 0, "20240331", 0},
        {"Pâques", 1, {I(1583)}, 0, "15830410", 0},
        {"Pâques", 1, {I(2285)}, 0, "22850322", 0},   // the earliest date
        {"Pâques", 1, {I(2038)}, 0, "20380425", 0},   // the latest date
        {"Pâques", 1, {I(9999)}, 0, "99990328", 0},
        {"Pâques", 1, {I(1582)}, 0, VIDE, 0},
        {"Pâques", 1, {I(10000)}, 0, VIDE, 0},
        {"Pâques", 1, {I(-2024)}, 0, VIDE, 0},

        // UTC and local time (Paris: +1 in winter, +2 in summer).
        {"DateHeureUTCVersLocale", 0, {DH("20240701120000000")}, 0, "20240701140000000", 0},
        {"DateHeureUTCVersLocale", 0, {DH("20240115083015123")}, 0, "20240115093015123", 0},
        {"DateHeureUTCVersLocale", 0, {DH("20241231233000000")}, 0, "20250101003000000", 0},
        {"DateHeureUTCVersLocale", 0, {DH("")}, 0, VIDE, 80051},
        {"DateHeureUTCVersLocale", 0, {DH("20230229120000000")}, 0, VIDE, 80051},
        {"DateHeureLocaleVersUTC", 0, {DH("20240101120000000")}, 0, "20240101110000000", 0},
        {"DateHeureLocaleVersUTC", 0, {DH("20240701000000999")}, 0, "20240630220000999", 0},
        {"DateHeureLocaleVersUTC", 0, {DH("")}, 0, VIDE, 80051},
        {"DateHeureLocaleVersUTC", 0, {DH("20230229120000000")}, 0, VIDE, 80051},
    };
    return s_tab;
}

TEST_F(Fonctions, EveryFunctionInFrench) { Verifie(Cas()); }

TEST_F(Fonctions, EveryFunctionInEnglish) {
    qvstd::SetInterfaceLanguage(9);
    Verifie(Cas());
}

// The day letter of duration masks is the interface language's.
TEST_F(Fonctions, DurationMasksUseTheLanguageLetters) {
    for (int nLangue : {12, 9}) {
        qvstd::SetInterfaceLanguage(nLangue);
        const bool bFr = nLangue == 12;
        SCOPED_TRACE(nLangue);
        const std::string sMasque = bFr ? "J HH:MM:SS.LLL" : "D HH:MM:SS.LLL";
        EXPECT_EQ(Appel("DuréeVersChaîne", 1, {Dur(93784005), T(sMasque.c_str())}).s, "1 02:03:04.005");
        EXPECT_EQ(Appel("DuréeVersChaîne", 1, {Dur(-93784005), T(bFr ? "+J" : "+D")}).s, "-1");
        EXPECT_EQ(Appel("DuréeVersChaîne", 1, {Dur(93784005), T(bFr ? "+J" : "+D")}).s, "1");
        // The other language's letter is a literal.
        EXPECT_EQ(Appel("DuréeVersChaîne", 1, {Dur(93784005), T(bFr ? "D" : "J")}).s, bFr ? "D" : "J");
        STRes st = Appel("ChaîneVersDurée", 1, {T("1 02:03:04.005"), T(sMasque.c_str())});
        EXPECT_EQ(st.nType, 0x1B);
        EXPECT_EQ(st.n, 93784005);
        EXPECT_EQ(Appel("ChaîneVersDurée", 1, {T("-1"), T(bFr ? "+J" : "+D")}).n, -86400000);
    }
}

TEST_F(Fonctions, ErrorMessagesFollowTheLanguage) {
    STRes st = Appel("DateVersEntier", 0, {T("2024")});
    EXPECT_EQ(st.nErreur, 80121);
    EXPECT_NE(st.sMessage.find("AAAAMMJJ"), std::string::npos) << st.sMessage;
    qvstd::SetInterfaceLanguage(9);
    st = Appel("DateVersEntier", 0, {T("2024")});
    EXPECT_NE(st.sMessage.find("YYYYMMDD"), std::string::npos) << st.sMessage;
    st = Appel("EntierVersDate", 0, {I(2994990)});
    EXPECT_EQ(st.nErreur, 80132);
    EXPECT_NE(st.sMessage.find("2994990"), std::string::npos) << st.sMessage;
}

TEST_F(Fonctions, AnErrorLeavesNoTrace) {
    // A failing call, then a good one: the good one answers cleanly.
    EXPECT_EQ(Appel("HeureVersEntier", 0, {T("99")}).nErreur, 80131);
    STRes st = Appel("HeureVersEntier", 0, {T("01")});
    EXPECT_EQ(st.nErreur, 0);
    EXPECT_EQ(st.n, 360000);
}

// The host's language information: its names and masks, unless it says not
// to use them.
TEST_F(Fonctions, LanguageInformationOfTheHost) {
    CInfoLangueTest clInfo;
    clInfo.sMasqueDate = "AAAA.MM.JJ";
    clInfo.sJours = "D1;D2;D3;D4;D5;D6;D7";
    clInfo.sMois = "M1;M2;M3;M4;M5;M6;M7;M8;M9;M10;M11;M12";
    clInfo.sAM = "am";
    clInfo.sPM = "pm";
    clInfo.sMasqueHeure = "HH.MM";
    m_piInfo = &clInfo;
    EXPECT_EQ(Appel("EntierVersJourEnLettre", 0, {I(1)}).s, "D3");
    EXPECT_EQ(Appel("DateVersJourEnLettre", 0, {T("20240714")}).s, "D7");
    EXPECT_EQ(Appel("EntierVersMoisEnLettre", 0, {I(1)}).s, "M1");
    EXPECT_EQ(Appel("DateVersMoisEnLettre", 0, {T("20241215")}).s, "M12");
    EXPECT_EQ(Appel("DateVersChaîne", 1, {T("20241215"), T("JJ MMMM AAAA")}).s, "15 M12 2024");
    EXPECT_EQ(Appel("DateVersChaîne", 1, {T("20240305"), T("UseSystemMask")}).s, "2024.03.05");
    EXPECT_EQ(Appel("ChaîneVersDate", 1, {T("15 M12 2024"), T("JJ MMMM AAAA")}).s, "20241215");
    EXPECT_EQ(clInfo.nGetRef(), 1);   // every reference taken was given back

    clInfo.nNePasDate = 1;
    EXPECT_EQ(Appel("EntierVersJourEnLettre", 0, {I(1)}).s, "Mercredi");
    EXPECT_EQ(Appel("DateVersMoisEnLettre", 0, {T("20241215")}).s, "D\xE9" "cembre");
    // The system mask then comes from the "intl" settings (none here).
    EXPECT_EQ(Appel("DateVersChaîne", 1, {T("20240305"), T("UseSystemMask")}).s, "05/03/2024");
    EXPECT_EQ(clInfo.nGetRef(), 1);
    m_piInfo = nullptr;
}

TEST_F(Fonctions, SystemMaskFromTheIntlSettings) {
    ASSERT_TRUE(m_clHome.bEcritConf("[intl]\nsShortDate=yyyy-MM-dd\n"));
    EXPECT_EQ(Appel("DateVersChaîne", 1, {T("20240305"), T("UseSystemMask")}).s, "2024-03-05");
    // No check of the date on this path: an empty date prints as empty fields.
    EXPECT_EQ(Appel("DateVersChaîne", 1, {T(""), T("UseSystemMask")}).s, "____-__-__");
    // Only the exact text names the system mask here.
    EXPECT_EQ(Appel("DateVersChaîne", 1, {T("20240305"), T("usesystemmask")}).s, "2024-03-05");
}

}  // namespace
