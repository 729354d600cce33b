// TableVersTexte over tables made here: the lines and cells it writes, its
// options, row bounds and separators, the cells it cannot read, and its
// errors. The host's conversion to text is stood in for by a small
// converter of integers and texts that refuses reals.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/znlibrary.h"
#include "core/zndstr.h"
#include "misc/functions.h"
#include "misc/table.h"
#include "qvstd/strmem.h"

namespace {

int g_nVivants = 0;   // texts handed out by the converter and not yet given back

extern "C" int ConvTable(const void* pSource, int nTypeSource, void* pDest, int nTypeDest) {
    if (nTypeDest != ANY_CSTR) return 105;
    std::string s;
    void* p = nullptr;
    memcpy(&p, pSource, sizeof p);
    switch (nTypeSource) {
        case ANY_VIDE: break;
        case ANY_I4: {
            int32_t n;
            memcpy(&n, pSource, 4);
            s = std::to_string(n);
            break;
        }
        case ANY_DSTR:
            if (p != nullptr) s.assign(static_cast<const char*>(p), STRMEM_Header(p)->nLongueur);
            break;
        default: return 105;
    }
    char* psz = strdup(s.c_str());
    if (psz == nullptr) return 100;
    ++g_nVivants;
    memcpy(pDest, &psz, sizeof psz);
    return 0;
}

extern "C" void FinTable(void* pBuffer, int nType) {
    if (nType != ANY_CSTR) return;
    char* p;
    memcpy(&p, pBuffer, sizeof p);
    free(p);
    --g_nVivants;
}

// A table of texts. A cell reads as an integer variant when it is one, as
// a dynamic string otherwise, with these exceptions: "~" is an absent
// value, "!" a real (the converter refuses it), "?" a cell the host cannot
// give.
struct STTable {
    int32_t nType = OBJAP_TABLE;
    std::vector<std::string> tabTitres;
    std::vector<std::vector<std::string>> tabLignes;
    std::vector<bool> tabCachees;            // by column; missing: shown
    std::vector<int32_t> tabPositions;       // by column; missing: declared order
    std::vector<bool> tabSelectionnees;      // by row; missing: not selected
    std::vector<std::vector<std::string>> tabAffichage;   // shown texts; "" or missing: as stored
    // Failures and hostile answers of the host.
    bool bEchecDimensions = false;
    int nErreurDimensions = 0;               // user error it reports (0: none)
    int32_t nLignesAnnoncees = -1000;        // other than -1000: the row count it gives
    int32_t nColonnesAnnoncees = -1000;
};

class CTableFausse final : public IObjetAPCode, public ITableAPCode {
public:
    explicit CTableFausse(const STTable& st) : m_st(st) {}
    int32_t nGetTypeObjet() override { return m_st.nType; }
    ITableAPCode* piGetTable() override { return OBJAP_bEstTable(m_st.nType) ? this : nullptr; }

    int bGetDimensions(int32_t* pnLignes, int32_t* pnColonnes, CXError* pclErreur) override {
        if (m_st.bEchecDimensions) {
            if (m_st.nErreurDimensions != 0) pclErreur->SetUserErrorArgs(m_st.nErreurDimensions);
            return 0;
        }
        *pnLignes = m_st.nLignesAnnoncees != -1000 ? m_st.nLignesAnnoncees : int32_t(m_st.tabLignes.size());
        *pnColonnes = m_st.nColonnesAnnoncees != -1000 ? m_st.nColonnesAnnoncees : int32_t(m_st.tabTitres.size());
        return 1;
    }
    int bGetColonne(int32_t c, CAny* pclTitre, STColonneAPCode* pst, CXError*) override {
        if (c < 0 || size_t(c) >= m_st.tabTitres.size()) return 0;
        pst->bVisible = size_t(c) < m_st.tabCachees.size() && m_st.tabCachees[size_t(c)] ? 0 : 1;
        pst->nPosition = size_t(c) < m_st.tabPositions.size() ? m_st.tabPositions[size_t(c)] : c;
        return Remplit(*pclTitre, m_st.tabTitres[size_t(c)]);
    }
    int bLigneSelectionnee(int32_t l) override {
        return l >= 0 && size_t(l) < m_st.tabSelectionnees.size() && m_st.tabSelectionnees[size_t(l)];
    }
    int bGetCellule(int32_t l, int32_t c, uint32_t dwOptions, CAny* pclValeur, CXError*) override {
        m_tabOptionsVues.push_back(dwOptions);
        if (l < 0 || size_t(l) >= m_st.tabLignes.size() || c < 0) return 0;
        const auto& tabLigne = m_st.tabLignes[size_t(l)];
        if (size_t(c) >= tabLigne.size()) return 0;
        if ((dwOptions & TABAP_VALEUR_AFFICHEE) && size_t(l) < m_st.tabAffichage.size() &&
            size_t(c) < m_st.tabAffichage[size_t(l)].size() && !m_st.tabAffichage[size_t(l)][size_t(c)].empty())
            return Remplit(*pclValeur, m_st.tabAffichage[size_t(l)][size_t(c)]);
        return Remplit(*pclValeur, tabLigne[size_t(c)]);
    }
    const std::vector<uint32_t>& OptionsVues() const { return m_tabOptionsVues; }

private:
    static int Remplit(CAny& cl, const std::string& s) {
        if (s == "?") return 0;
        if (s == "~") {
            cl.Vide();
            return 1;
        }
        if (s == "!") {
            const double r = 1.5;
            return cl.nAffecteParHolder(ANY_R8, &r) == 0;
        }
        char* pszFin = nullptr;
        const long n = strtol(s.c_str(), &pszFin, 10);
        if (!s.empty() && *pszFin == '\0') {
            const int32_t n4 = int32_t(n);
            return cl.nAffecteParHolder(ANY_I4, &n4) == 0;
        }
        CZNDSTR sTexte;
        if (sTexte.nAssign(s.c_str()) != 0) return 0;
        void* pMemoire = sTexte.pGetMemoire();
        return cl.nAffecteParHolder(ANY_DSTR, &pMemoire) == 0;
    }

    const STTable& m_st;
    std::vector<uint32_t> m_tabOptionsVues;
};

class TableVersTexte : public ::testing::Test {
protected:
    void SetUp() override { ANY_SetConversion(ConvTable, nullptr, FinTable); }
    void TearDown() override {
        ANY_SetConversion(nullptr, nullptr, nullptr);
        EXPECT_EQ(g_nVivants, 0);
    }
};

// Two columns and three rows.
STTable TableSimple() {
    STTable st;
    st.tabTitres = {"Nom", "Age"};
    st.tabLignes = {{"Ann", "31"}, {"Bob", "42"}, {"Cy", "7"}};
    return st;
}

// Four columns: Id hidden, shown in the order Age, Nom, Ville; rows 1 and
// 3 of 4 selected; some cells shown otherwise than stored.
STTable TableRiche() {
    STTable st;
    st.tabTitres = {"Nom", "Id", "Age", "Ville"};
    st.tabCachees = {false, true, false, false};
    st.tabPositions = {1, 3, 0, 2};
    st.tabLignes = {{"Ann", "1", "31", "Lyon"}, {"Bob", "2", "42", "Metz"}, {"Cy", "3", "7", "Nice"}, {"Di", "4", "5", "Pau"}};
    st.tabSelectionnees = {true, false, true};
    st.tabAffichage = {{"", "", "31 ans"}, {}, {"", "", "7 ans"}};
    return st;
}

STTable TableDe(std::vector<std::string> tabTitres, std::vector<std::vector<std::string>> tabLignes) {
    STTable st;
    st.tabTitres = std::move(tabTitres);
    st.tabLignes = std::move(tabLignes);
    return st;
}

// The simple table, changed.
template <class F>
STTable Modifiee(F fnChange) {
    STTable st = TableSimple();
    fnChange(st);
    return st;
}

constexpr int32_t D = -1;   // default bound

struct STCas {
    const char* pszNom;
    STTable stTable;
    int nArgs;                 // 1 to 6: the overload called; the arguments after it are not passed
    int32_t nOptions;
    const char* pszSepColonne;
    const char* pszSepLigne;
    int32_t nPremiere, nDerniere;
    const char* pszAttendu;
    int nErreur;               // 0: none
};

const std::vector<STCas>& Cas() {
    static const std::vector<STCas> s_tab = {
        // Defaults: titles, tab, CR LF, every row; no separator at the end.
        {"defaults", TableSimple(), 1, 0, "", "", 0, 0, "Nom\tAge\r\nAnn\t31\r\nBob\t42\r\nCy\t7", 0},
        {"options 0 given", TableSimple(), 2, 0, "", "", 0, 0, "Nom\tAge\r\nAnn\t31\r\nBob\t42\r\nCy\t7", 0},
        {"no title line", TableSimple(), 2, 1, "", "", 0, 0, "Ann\t31\r\nBob\t42\r\nCy\t7", 0},
        // Separators of any length, or none.
        {"column separator", TableSimple(), 3, 1, ";", "", 0, 0, "Ann;31\r\nBob;42\r\nCy;7", 0},
        {"both separators", TableSimple(), 4, 0, " | ", "\n", D, D, "Nom | Age\nAnn | 31\nBob | 42\nCy | 7", 0},
        {"empty separators", TableSimple(), 4, 1, "", "", D, D, "Ann31Bob42Cy7", 0},
        // Row bounds, counted from 1, in either order, limited to the table.
        {"from row 2", TableSimple(), 5, 1, "\t", "\r\n", 2, D, "Bob\t42\r\nCy\t7", 0},
        {"rows 2 to 2", TableSimple(), 6, 1, "\t", "\r\n", 2, 2, "Bob\t42", 0},
        {"bounds exchanged", TableSimple(), 6, 0, "\t", "\r\n", 3, 2, "Nom\tAge\r\nBob\t42\r\nCy\t7", 0},
        {"last beyond the table", TableSimple(), 6, 1, "\t", "\r\n", 1, 10, "Ann\t31\r\nBob\t42\r\nCy\t7", 0},
        {"first beyond the table", TableSimple(), 6, 1, "\t", "\r\n", 5, D, "Cy\t7", 0},
        {"both beyond the table", TableSimple(), 6, 0, "\t", "\r\n", 5, 7, "Nom\tAge", 0},
        {"first 0 is the first row", TableSimple(), 6, 1, "\t", "\r\n", 0, 1, "Ann\t31", 0},
        {"last 0 is the last row", TableSimple(), 6, 1, "\t", "\r\n", 3, 0, "Cy\t7", 0},
        {"bounds below -1", TableSimple(), 6, 1, "\t", "\r\n", -5, -7, "Ann\t31\r\nBob\t42\r\nCy\t7", 0},
        // Columns: hidden ones left out unless asked for, declared or screen order.
        {"hidden column left out", TableRiche(), 2, 1, "", "", 0, 0,
         "Ann\t31 ans\tLyon\r\nBob\t42\tMetz\r\nCy\t7 ans\tNice\r\nDi\t5\tPau", 0},
        {"hidden column written", TableRiche(), 6, 2, ",", ";", 1, 2, "Nom,Id,Age,Ville;Ann,1,31 ans,Lyon;Bob,2,42,Metz", 0},
        {"screen order", TableRiche(), 6, 0x80, ",", ";", 1, 1, "Age,Nom,Ville;31 ans,Ann,Lyon", 0},
        {"screen order with hidden", TableRiche(), 6, 0x82, ",", ";", 1, 1, "Age,Nom,Ville,Id;31 ans,Ann,Lyon,1", 0},
        // Cells as stored rather than as shown.
        {"as stored", TableRiche(), 6, 0x09, ",", ";", 1, 3, "Ann,31,Lyon;Bob,42,Metz;Cy,7,Nice", 0},
        // Selected rows only; the bounds count among them.
        {"selected rows", TableRiche(), 4, 0x11, ",", ";", D, D, "Ann,31 ans,Lyon;Cy,7 ans,Nice", 0},
        {"selected from the second", TableRiche(), 5, 0x10, ",", ";", 2, D, "Nom,Age,Ville;Cy,7 ans,Nice", 0},
        {"no row selected", TableSimple(), 2, 0x10, "", "", 0, 0, "Nom\tAge", 0},
        {"every option", TableRiche(), 6, 0x9B, ",", ";", D, D, "31,Ann,Lyon,1;7,Cy,Nice,3", 0},
        // Cells without a text: absent, unconvertible, or refused by the host.
        {"cells without text", TableDe({"A", "B", "C", "D"}, {{"~", "!", "?", "x"}}), 2, 1, "", "", 0, 0, "\t\t\tx", 0},
        {"short row", TableDe({"A", "B"}, {{"x"}, {"y", "z"}}), 2, 1, "", "", 0, 0, "x\t\r\ny\tz", 0},
        // An empty first line keeps its place: row N is line N.
        {"empty first row", TableDe({"A"}, {{""}, {"x"}}), 2, 1, "", "", 0, 0, "\r\nx", 0},
        {"empty first rows", TableDe({"A"}, {{"~"}, {""}, {"x"}}), 2, 1, "", "", 0, 0, "\r\n\r\nx", 0},
        {"empty title line", TableDe({""}, {{"x"}, {"y"}}), 1, 0, "", "", 0, 0, "\r\nx\r\ny", 0},
        {"empty first row of two columns", TableDe({"A", "B"}, {{"", ""}, {"x", "y"}}), 2, 1, "", "", 0, 0, "\t\r\nx\ty", 0},
        // Titles that are numbers or absent.
        {"titles of every kind", TableDe({"12", "~", "!"}, {{"a", "b", "c"}}), 1, 0, "", "", 0, 0, "12\t\t\r\na\tb\tc", 0},
        // Tables without rows or without columns.
        {"no row", TableDe({"A", "B"}, {}), 1, 0, "", "", 0, 0, "A\tB", 0},
        {"no row, no title", TableDe({"A", "B"}, {}), 2, 1, "", "", 0, 0, "", 0},
        {"no column", TableDe({}, {{}, {}}), 1, 0, "", "", 0, 0, "", 0},
        {"every column hidden", Modifiee([](STTable& st) { st.tabCachees = {true, true}; }), 1, 0, "", "", 0, 0, "", 0},
        {"counts below zero", Modifiee([](STTable& st) { st.nLignesAnnoncees = -3, st.nColonnesAnnoncees = -2; }), 1, 0,
         "", "", 0, 0, "", 0},
        // Errors: no table, options outside 0x9B, a host that cannot read the table.
        {"type 3 is no table", Modifiee([](STTable& st) { st.nType = 3; }), 1, 0, "", "", 0, 0, "", 80253},
        {"type 11 is a table", Modifiee([](STTable& st) { st.nType = 11; }), 2, 1, "", "", 0, 0,
         "Ann\t31\r\nBob\t42\r\nCy\t7", 0},
        {"option 4", TableSimple(), 2, 4, "", "", 0, 0, "", 80254},
        {"option 0x20", TableSimple(), 2, 0x20, "", "", 0, 0, "", 80254},
        {"option 0x100", TableSimple(), 2, 0x100, "", "", 0, 0, "", 80254},
        {"options -1", TableSimple(), 2, -1, "", "", 0, 0, "", 80254},
        {"no table before bad options", Modifiee([](STTable& st) { st.nType = 0; }), 2, 4, "", "", 0, 0, "", 80253},
        {"host reports its error",
         Modifiee([](STTable& st) { st.bEchecDimensions = true, st.nErreurDimensions = 80041; }), 1, 0, "", "", 0, 0,
         "", 80041},
        {"host fails without a word", Modifiee([](STTable& st) { st.bEchecDimensions = true; }), 1, 0, "", "", 0, 0, "",
         80253},
    };
    return s_tab;
}

CZNDSTR Appelle(CZNLibrary& lib, IObjetAPCode* pi, const STCas& c) {
    switch (c.nArgs) {
        case 1: return misc::TableVersTexte(lib, pi);
        case 2: return misc::TableVersTexte(lib, pi, c.nOptions);
        case 3: return misc::TableVersTexte(lib, pi, c.nOptions, c.pszSepColonne);
        case 4: return misc::TableVersTexte(lib, pi, c.nOptions, c.pszSepColonne, c.pszSepLigne);
        case 5: return misc::TableVersTexte(lib, pi, c.nOptions, c.pszSepColonne, c.pszSepLigne, c.nPremiere);
        default:
            return misc::TableVersTexte(lib, pi, c.nOptions, c.pszSepColonne, c.pszSepLigne, c.nPremiere, c.nDerniere);
    }
}

TEST_F(TableVersTexte, EveryCase) {
    for (const STCas& c : Cas()) {
        CZNLibrary lib;
        CTableFausse clTable(c.stTable);
        const CZNDSTR s = Appelle(lib, &clTable, c);
        EXPECT_EQ(std::string(s.pszGet(), size_t(s.nGetLongueur())), c.pszAttendu) << c.pszNom;
        EXPECT_EQ(lib.pclGetError()->bIsError(), c.nErreur != 0) << c.pszNom;
        EXPECT_EQ(lib.pclGetError()->nGetUserError(), c.nErreur) << c.pszNom;
    }
}

TEST_F(TableVersTexte, NoObjectIsNoTable) {
    CZNLibrary lib;
    EXPECT_STREQ(misc::TableVersTexte(lib, nullptr).pszGet(), "");
    EXPECT_EQ(lib.pclGetError()->nGetUserError(), 80253);
}

// Cells are asked for as shown unless option 8 says otherwise.
TEST_F(TableVersTexte, CellsAskedAsShownUnlessOption8) {
    const struct {
        int32_t nOptions;
        uint32_t dwAttendu;
    } tabCas[] = {{0, TABAP_VALEUR_AFFICHEE}, {1, TABAP_VALEUR_AFFICHEE}, {8, 0}, {0x8B, 0}};
    const STTable st = TableSimple();
    for (const auto& c : tabCas) {
        CZNLibrary lib;
        CTableFausse clTable(st);
        misc::TableVersTexte(lib, &clTable, c.nOptions);
        ASSERT_EQ(clTable.OptionsVues().size(), 6u) << c.nOptions;
        for (uint32_t dw : clTable.OptionsVues()) EXPECT_EQ(dw, c.dwAttendu) << c.nOptions;
    }
}

// The view alone: the walk starts on the title line, then the first row.
TEST_F(TableVersTexte, ViewWalk) {
    const struct {
        const char* pszNom;
        bool bTitres;
        int nPremiere;
        bool bPremiereAdmise;
        std::vector<int> tabLignesVues;   // rows walked after the start (title line: -1)
    } tabCas[] = {
        {"titles, from 1", true, 1, true, {-1, 0, 1, 2}},
        {"titles, from 3", true, 3, true, {-1, 2}},
        {"no title, from 2", false, 2, true, {1, 2}},
        {"no title, beyond", false, 4, false, {}},
        {"titles, beyond", true, 4, false, {-1}},
        {"no title, from 0", false, 0, false, {}},
    };
    const STTable st = TableSimple();
    for (const auto& c : tabCas) {
        CTableFausse clTable(st);
        CTableMorvel clVue(&clTable, false, c.bTitres, true);
        CXError clErreur;
        ASSERT_TRUE(clVue.bInit(&clErreur)) << c.pszNom;
        EXPECT_EQ(clVue.nNombreLigne(), 3) << c.pszNom;
        EXPECT_EQ(clVue.nNombreColonne(), 2) << c.pszNom;
        EXPECT_EQ(clVue.bSetPremiereLigne(c.nPremiere), c.bPremiereAdmise) << c.pszNom;
        std::vector<int> tabVues;
        for (bool b = clVue.bInitParcours(); b; b = clVue.bParcoursLigneSuivante()) {
            CAny cl;
            CZNDSTR s;
            if (clVue.bDonneValeurCelluleLigneCourante(0, cl, &clErreur)) {
                ASSERT_TRUE(CTableMorvel::s_bValeurVersTexte(cl, s));
                tabVues.push_back(s.pszGet()[0] == 'A' ? 0 : s.pszGet()[0] == 'B' ? 1 : 2);
            } else {
                tabVues.push_back(-1);   // the title line has no cell
            }
        }
        clVue.FinParcours();
        EXPECT_EQ(tabVues, c.tabLignesVues) << c.pszNom;
    }
}

}  // namespace
