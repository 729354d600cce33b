// Unique identifiers: the exact layout for a given clock and random
// source, values within one microsecond, a clock that goes back, the two
// text forms, and no duplicate between a process and its fork.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "runtime/znlibrary.h"
#include "misc/functions.h"
#include "misc/guid.h"

namespace {

// The clock of the tests: the instants it is given, one a read, the last
// one repeated.
struct STHorloge {
    static inline std::vector<timeval> tab;
    static inline size_t nLectures = 0;
    static void Lit(timeval* pst) {
        *pst = tab[nLectures < tab.size() ? nLectures : tab.size() - 1];
        ++nLectures;
    }
    static void Regle(std::vector<timeval> tabInstants) {
        tab = std::move(tabInstants);
        nLectures = 0;
    }
};

// Random bytes 1, 2, 3...; or all 0xFF.
void AleaSuite(void* p, size_t n) {
    for (size_t i = 0; i < n; ++i) static_cast<uint8_t*>(p)[i] = static_cast<uint8_t>(i + 1);
}
void AleaPlein(void* p, size_t n) { memset(p, 0xFF, n); }

std::string Texte(const _GUID& st, bool bAccolades = true) {
    char sz[GUID_TAILLE_TEXTE];
    GUID_Formate(st, bAccolades, sz);
    return sz;
}

constexpr time_t T = 1700000000;

TEST(Guid, LayoutForAKnownClockAndRandomSource) {
    // The generator's start reads the clock once; each identifier once more.
    STHorloge::Regle({{T, 123456}, {T, 123456}});
    CGenerateurGUID cl(STHorloge::Lit, AleaSuite);
    _GUID st;
    cl.Cree(&st);
    EXPECT_EQ(Texte(st), "{8096c204-3b83-ee11-8708-810203040506}");
    EXPECT_EQ(Texte(st, false), "8096c2043b83ee118708810203040506");
    EXPECT_EQ(st.Data1, 0x8096C204u);
    EXPECT_EQ(st.Data2, 0x3B83u);
    EXPECT_EQ(st.Data3, 0xEE11u);
    const uint8_t abyData4[8] = {0x87, 0x08, 0x81, 0x02, 0x03, 0x04, 0x05, 0x06};
    EXPECT_EQ(memcmp(st.Data4, abyData4, 8), 0);
    // In memory: the 16 bytes in their order.
    const uint8_t abyMemoire[16] = {0x04, 0xC2, 0x96, 0x80, 0x83, 0x3B, 0x11, 0xEE,
                                    0x87, 0x08, 0x81, 0x02, 0x03, 0x04, 0x05, 0x06};
    EXPECT_EQ(memcmp(&st, abyMemoire, 16), 0);
}

TEST(Guid, TenValuesAMicrosecondThenTheNext) {
    // Twelve identifiers asked within one microsecond: ten take its values
    // 0..9, the eleventh waits for the clock to move, and the value it then
    // takes is the next microsecond's first, never one already given.
    std::vector<timeval> tab(1 + 10, timeval{T, 500});   // the start, then ten identifiers
    tab.push_back({T, 500});                             // the eleventh reads the same instant twice...
    tab.push_back({T, 500});
    tab.push_back({T, 501});                             // ...until the clock moves; the twelfth too
    STHorloge::Regle(tab);
    CGenerateurGUID cl(STHorloge::Lit, AleaSuite);
    std::set<std::string> tabVus;
    std::vector<uint8_t> tabOctets3;
    for (int k = 0; k < 12; ++k) {
        _GUID st;
        cl.Cree(&st);
        EXPECT_TRUE(tabVus.insert(Texte(st)).second) << k;
        tabOctets3.push_back(static_cast<uint8_t>(st.Data1 >> 24));   // the low byte of the timestamp
    }
    // At T + 500 us the timestamp ends in 0x88; 501 us is ten intervals on.
    const std::vector<uint8_t> tabAttendus = {0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x91, 0x92, 0x93};
    EXPECT_EQ(tabOctets3, tabAttendus);
    EXPECT_EQ(STHorloge::nLectures, 1u + 10u + 3u + 1u);
}

TEST(Guid, ClockGoingBackChangesTheSequence) {
    STHorloge::Regle({{T, 0}, {T, 0}, {T - 5, 0}, {T - 5, 0}});
    CGenerateurGUID cl(STHorloge::Lit, AleaSuite);
    _GUID st1, st2, st3;
    cl.Cree(&st1);
    cl.Cree(&st2);
    cl.Cree(&st3);
    EXPECT_EQ(Texte(st1).substr(20, 4), "8708");
    EXPECT_EQ(Texte(st2).substr(20, 4), "8709");   // back in time: next sequence
    EXPECT_EQ(Texte(st3).substr(20, 4), "8709");   // same instant again: the adjustment
    EXPECT_NE(Texte(st2), Texte(st3));
    // The sequence has 13 bits and wraps.
    STHorloge::Regle({{T, 0}, {T, 0}, {T - 5, 0}});
    CGenerateurGUID clPlein(STHorloge::Lit, AleaPlein);
    clPlein.Cree(&st1);
    clPlein.Cree(&st2);
    EXPECT_EQ(Texte(st1).substr(20, 4), "9fff");
    EXPECT_EQ(Texte(st2).substr(20, 4), "8000");
    EXPECT_EQ(Texte(st1).substr(25, 2), "ff");     // node byte 0 keeps its high bit
    EXPECT_EQ(Texte(st1, false).size(), 32u);
}

TEST(Guid, TextFormsOfGetGUID) {
    const std::regex rAccolades("\\{[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{2}11-[89][0-9a-f]{3}-[89a-f][0-9a-f]{11}\\}");
    const std::regex rChiffres("[0-9a-f]{12}[0-9a-f]{2}11[89][0-9a-f]{3}[89a-f][0-9a-f]{11}");
    const struct {
        int nFormat;   // -1: no argument
        const std::regex* pr;
    } tabCas[] = {{-1, &rAccolades}, {1, &rAccolades}, {-7, &rAccolades}, {0, &rChiffres}};
    for (const auto& st : tabCas) {
        CZNLibrary lib;
        CZNDSTR s = st.nFormat == -1 ? misc::DonneGUID(lib) : misc::DonneGUID(lib, st.nFormat);
        const std::string sTexte(s.pszGet(), size_t(s.nGetLongueur()));
        EXPECT_EQ(sTexte.size(), st.pr == &rAccolades ? 38u : 32u) << sTexte;
        EXPECT_TRUE(std::regex_match(sTexte, *st.pr)) << st.nFormat << ": " << sTexte;
        EXPECT_FALSE(lib.pclGetError()->bIsError());
    }
}

// Identifiers as 32 digits, written into a pipe by a child.
std::vector<std::string> Serie(int n) {
    CZNLibrary lib;
    std::vector<std::string> tab;
    tab.reserve(size_t(n));
    for (int k = 0; k < n; ++k) {
        CZNDSTR s = misc::DonneGUID(lib, 0);
        tab.emplace_back(s.pszGet(), size_t(s.nGetLongueur()));
    }
    return tab;
}

TEST(Guid, NoDuplicateBetweenAProcessAndItsFork) {
    constexpr int N = 50000;
    // The generator starts before the fork: the child inherits its state.
    Serie(1);
    int tabTube[2];
    ASSERT_EQ(pipe(tabTube), 0);
    const pid_t nFils = fork();
    ASSERT_GE(nFils, 0);
    if (nFils == 0) {
        close(tabTube[0]);
        std::string sTout;
        for (const std::string& s : Serie(N)) sTout += s;
        size_t nEcrit = 0;
        while (nEcrit < sTout.size()) {
            const ssize_t n = write(tabTube[1], sTout.data() + nEcrit, sTout.size() - nEcrit);
            if (n <= 0) _exit(1);
            nEcrit += size_t(n);
        }
        _exit(0);
    }
    close(tabTube[1]);
    std::vector<std::string> tabParent = Serie(N);
    std::string sFils;
    char szBloc[65536];
    for (;;) {
        const ssize_t n = read(tabTube[0], szBloc, sizeof szBloc);
        if (n <= 0) break;
        sFils.append(szBloc, size_t(n));
    }
    close(tabTube[0]);
    int nStatut = 0;
    ASSERT_EQ(waitpid(nFils, &nStatut, 0), nFils);
    ASSERT_TRUE(WIFEXITED(nStatut) && WEXITSTATUS(nStatut) == 0);
    ASSERT_EQ(sFils.size(), size_t(N) * 32);

    std::set<std::string> tabTous(tabParent.begin(), tabParent.end());
    EXPECT_EQ(tabTous.size(), size_t(N)) << "duplicates within the parent";
    for (size_t i = 0; i < sFils.size(); i += 32) EXPECT_TRUE(tabTous.insert(sFils.substr(i, 32)).second) << i / 32;
    EXPECT_EQ(tabTous.size(), size_t(2 * N));
    // The child drew its own node.
    EXPECT_NE(tabParent[0].substr(20), sFils.substr(20, 12));
}

}  // namespace
