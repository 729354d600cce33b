// The accent-folding table and its exported functions, and the phonetic
// key: a golden table of keys, spellings that must share a key, and the
// one-walk passes against a word-for-word reading of the rules.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "runtime/znlibrary.h"
#include "misc/functions.h"
#include "misc/phonetique.h"

namespace {

std::string Cle(const std::string& s) {
    std::string sCle(s.size() + 1, '\x7F');
    EXPECT_TRUE(fonetik(s.c_str(), sCle.data(), sCle.size(), nullptr));
    return sCle.c_str();
}

// Latin-1 from the UTF-8 literals of the tables (2-byte sequences only).
std::string L1(const char* pszUtf8) {
    std::string s;
    for (const auto* p = reinterpret_cast<const unsigned char*>(pszUtf8); *p != 0; ++p) {
        if ((*p & 0xE0) == 0xC0 && (p[1] & 0xC0) == 0x80) {
            s += static_cast<char>(((p[0] & 0x1F) << 6) | (p[1] & 0x3F));
            ++p;
        } else {
            s += static_cast<char>(*p);
        }
    }
    return s;
}

// ---- The table -----------------------------------------------------------------------------

TEST(TabMaj, EveryByteAsTheFoldingRulesSay) {
    // Latin-1 letters with accents, by base letter, capital and small (the
    // small ones are the capitals + 0x20).
    struct STPlage {
        unsigned nDebut, nFin;
        char cBase;
    };
    const STPlage tabPlages[] = {
        {0xC0, 0xC6, 'A'}, {0xC7, 0xC7, 'C'}, {0xC8, 0xCB, 'E'}, {0xCC, 0xCF, 'I'}, {0xD0, 0xD0, 'D'},
        {0xD1, 0xD1, 'N'}, {0xD2, 0xD6, 'O'}, {0xD8, 0xD8, 'O'}, {0xD9, 0xDC, 'U'}, {0xDD, 0xDD, 'Y'},
    };
    int nChanges = 0;
    for (unsigned c = 0; c < 256; ++c) {
        unsigned nAttendu = c;
        if (c >= 'a' && c <= 'z') nAttendu = c - 0x20;
        for (const STPlage& st : tabPlages)
            if ((c >= st.nDebut && c <= st.nFin) || (c >= st.nDebut + 0x20 && c <= st.nFin + 0x20))
                nAttendu = static_cast<unsigned char>(st.cBase);
        if (c == 0xFF) nAttendu = 'Y';
        EXPECT_EQ(ANSI_cTabMaj[c], nAttendu) << std::hex << c;
        nChanges += ANSI_cTabMaj[c] != c;
    }
    EXPECT_EQ(nChanges, 85);
    for (unsigned c : {0xD7u, 0xDEu, 0xDFu, 0xF7u, 0xFEu}) EXPECT_EQ(ANSI_cTabMaj[c], c);
}

TEST(TabMaj, ToUpperFoldsInPlace) {
    const struct {
        const char* pszTexte;
        const char* pszAttendu;
    } tabCas[] = {
        {"", ""},
        {"abc xyz", "ABC XYZ"},
        {"H\xE9l\xE8ne", "HELENE"},
        {"\xC6\xE6\xDF\xFF\xD7", "AA\xDFY\xD7"},
        {"12-[]{}", "12-[]{}"},
    };
    for (const auto& st : tabCas) {
        std::string s = st.pszTexte;
        ANSI_ToUpper(s.data());
        EXPECT_EQ(s, st.pszAttendu);
    }
    ANSI_ToUpper(nullptr);   // no text, nothing done
}

TEST(TabMaj, EqualityOnceFolded) {
    constexpr int TOUT = -1000;   // ANSI_bUpperEqu, no length
    const struct {
        const char* pszA;   // UTF-8 here, Latin-1 to the functions
        const char* pszB;
        int n;
        bool bEgal;
    } tabCas[] = {
        {"Hélène", "HELENE", TOUT, true},
        {"été", "ETE", TOUT, true},
        {"abc", "abd", TOUT, false},
        {"abc", "ab", TOUT, false},
        {"ab", "abc", TOUT, false},
        {"", "", TOUT, true},
        {nullptr, "", TOUT, true},
        {nullptr, "a", TOUT, false},
        {"abc", "ABD", 2, true},
        {"abc", "ABD", 3, false},
        {"ab", "AB", 10, true},   // both end within n
        {"ab", "ABC", 10, false},
        {"x", "y", 0, true},
        {"x", "y", -5, true},
    };
    for (const auto& st : tabCas) {
        const std::string sA = st.pszA ? L1(st.pszA) : std::string();
        const char* pszA = st.pszA ? sA.c_str() : nullptr;
        const int b = st.n == TOUT ? ANSI_bUpperEqu(pszA, st.pszB) : ANSI_bUpperEquN(pszA, st.pszB, st.n);
        EXPECT_EQ(b != 0, st.bEgal) << (st.pszA ? st.pszA : "(null)") << " / " << st.pszB << " / " << st.n;
    }
}

// ---- Keys ----------------------------------------------------------------------------------

TEST(Phonetique, GoldenKeys) {
    const struct {
        const char* pszMot;   // UTF-8 here, Latin-1 to the function
        const char* pszCle;
    } tabCas[] = {
        // Nothing to key.
        {"", ""},
        {"    ", ""},
        {"S", ""},            // a lone final S goes
        {"E", ""},            // a lone final E goes
        {"ES", ""},
        {"HHH", ""},
        // One letter: the look-behind sees no letter.
        {"T", "T"},
        {"D", "D"},
        {"P", "P"},
        {"SS", "S"},          // the final S goes once; S in first place is never between vowels
        {"AD", "AD"},
        // Endings.
        {"Dupond", "DUPO"},   // D after O, then ON
        {"Dupont", "DUPO"},   // T after N, then ON
        {"Petits", "PETI"},   // S, then T after a vowel
        {"Bateaux", "BATO"},  // UX, then EAU
        {"Moraud", "MORO"},   // D two places after A
        {"AUD", "O"},         // the same at the start of the word
        {"Chevalier", "KEVALI"},
        {"Champ", "KAP"},     // P after M stays
        {"Nez", "N"},          // EZ, then the final E
        // Letters and groups.
        {"Hélène", "ELA"},
        {"CHAT", "KA"},
        {"Philippe", "FILIP"},
        {"Quentin", "KATIN"},
        {"Quatre", "KATR"},
        {"Quoi", "KOA"},
        {"Lambert", "LABERT"},
        {"Laurent", "LORA"},
        {"Benoît", "BENOA"},
        {"Eugène", "EGA"},
        {"Ayme", "EM"},
        {"Lyon", "LIO"},
        {"Cécile", "SESIL"},  // S between vowels is seen before CE and CI become SE and SI
        {"Sesile", "SEZIL"},
        {"Rosa", "ROZA"},
        {"Rousseau", "ROUSO"},
        {"Masson", "MASO"},
        {"Mason", "MAZO"},
        {"Pharmacie", "FARMASI"},
        {"Françoise", "FRAKOAS"},
        {"Thierry", "TIERI"},
        {"Eau", "O"},
        {"Anne", "AN"},       // N before N closes no sound; then NN -> N
        // Spaces and hyphens.
        {"Jean-Pierre", "JEA PIER"},
        {"Dupond Durand", "DUPOD DURA"},   // the endings only at the very end
        {"  Dupont  ", "DUPO"},
    };
    CZNLibrary lib;
    for (const auto& st : tabCas) {
        EXPECT_EQ(Cle(L1(st.pszMot)), st.pszCle) << st.pszMot;
        CZNDSTR s = misc::Phonetique(lib, L1(st.pszMot).c_str());
        EXPECT_EQ(std::string(s.pszGet(), size_t(s.nGetLongueur())), st.pszCle) << st.pszMot;
        EXPECT_FALSE(lib.pclGetError()->bIsError());
    }
}

TEST(Phonetique, SpellingsThatSoundAlikeShareTheirKey) {
    const std::vector<std::vector<const char*>> tabGroupes = {
        {"Dupond", "Dupont", "DUPONT", "dupont", "Dupont "},
        {"Hélène", "HELENE", "Helene"},
        {"Bateau", "Bateaux", "BATEAUX"},
        {"Gauthier", "Gautier", "Gauthié"},
        {"Thomas", "Tomas"},
        {"Lambert", "Lanbert"},
        {"Laurent", "Lorent"},
        {"Chevalier", "Chevallier"},
        {"Moreau", "Moreaux", "Moraud"},
        {"Martin", "Martine"},
        {"Dumont", "Dumond"},
        {"Petit", "Petits"},
        {"Dubois", "Duboi"},
        {"Renaud", "Reno"},
        {"Thierry", "Tieri"},
        {"Ayme", "Aime"},
        {"Lyon", "Lion"},
        {"Benoit", "Benoît"},
        {"Rosa", "Roza"},
        {"Jean-Pierre", "Jean Pierre", "Jean  Pierre"},
        {"Ève", "Eve"},
        {"Quatre", "Katre"},
    };
    for (const auto& tab : tabGroupes) {
        const std::string sPremiere = Cle(L1(tab[0]));
        EXPECT_FALSE(sPremiere.empty()) << tab[0];
        for (const char* psz : tab) EXPECT_EQ(Cle(L1(psz)), sPremiere) << psz << " / " << tab[0];
    }
}

// The rules read one by one, each pass a loop over positions that deletes
// with erase: slow and literal, the model of the one-walk passes.
bool bV(char c) { return c != 0 && strchr("AEIOUY", c) != nullptr; }

std::string CleModele(const char* pszTexte) {
    std::string s = pszTexte;
    for (char& c : s) c = static_cast<char>(ANSI_cTabMaj[static_cast<unsigned char>(c)]);
    auto at = [&](long i) -> char { return i < 0 || i >= long(s.size()) ? 0 : s[size_t(i)]; };
    auto L = [&](long k) { return at(long(s.size()) - k); };
    auto erase = [&](long i) { s.erase(size_t(i), 1); };
    const size_t nDebut = s.find_first_not_of(' ');
    s.erase(0, nDebut == std::string::npos ? s.size() : nDebut);
    while (!s.empty() && s.back() == ' ') s.pop_back();

    if (L(1) == 'S' || (L(2) == 'U' && L(1) == 'X')) s.pop_back();
    if (L(1) == 'T' && (bV(L(2)) || L(2) == 'N' || L(2) == 'M'))
        s.pop_back();
    else if (L(1) == 'P' && (L(2) == 'A' || L(2) == 'O'))
        s.pop_back();
    if (L(2) == 'E' && L(1) == 'Z') s.pop_back();
    if (L(1) == 'D' && L(2) != 0 && strchr("EINRO", L(2)) != nullptr)
        s.pop_back();
    else if (L(1) == 'D' && (L(3) == 'A' || L(3) == 'U'))
        s.pop_back();
    if (L(2) == 'E' && L(1) == 'R') s.pop_back();

    for (long i = 1; i < long(s.size()); ++i)
        if (at(i - 1) == 'Q' && at(i) == 'U') {
            s[size_t(i - 1)] = 'K';
            erase(i);
        }
    if (L(1) == 'E') s.pop_back();
    for (long i = 1; i < long(s.size()); ++i)
        if (at(i) == 'M' && bV(at(i - 1)) && (at(i + 1) == 'B' || at(i + 1) == 'P')) s[size_t(i)] = 'N';
    for (char& c : s) c = c == 'Y' ? 'I' : c == '-' ? ' ' : c;
    for (long i = 1; i < long(s.size()); ++i)
        if (at(i - 1) == 'O' && at(i) == 'I') s[size_t(i)] = 'A';
    for (long i = 1; i < long(s.size());)
        if (at(i - 1) == 'E' && at(i) == 'U')
            erase(i);
        else
            ++i;
    for (long i = 1; i < long(s.size()); ++i)
        if (at(i) == 'U' && at(i - 1) == 'A') {
            const long nAvant = at(i - 2) == 'E' ? 2 : 1;
            s.erase(size_t(i - nAvant), size_t(nAvant));
            i -= nAvant;
            s[size_t(i)] = 'O';
        }
    for (long i = 1; i < long(s.size()); ++i)
        if (at(i) == 'S' && bV(at(i - 1)) && bV(at(i + 1))) s[size_t(i)] = 'Z';
    for (long i = 1; i < long(s.size()); ++i)
        if (at(i - 1) == 'C' && (at(i) == 'E' || at(i) == 'I')) s[size_t(i - 1)] = 'S';
    for (char& c : s) c = c == 'C' ? 'K' : c;
    for (long i = 1; i < long(s.size());) {
        if ((at(i - 1) == 'A' || at(i - 1) == 'E') && at(i) == 'N' && !bV(at(i + 1)) && at(i + 1) != 'N') {
            erase(i);
            s[size_t(i - 1)] = 'A';
        } else {
            ++i;
        }
    }
    for (long i = 1; i < long(s.size());)
        if (at(i - 1) == 'O' && at(i) == 'N' && !bV(at(i + 1)) && at(i + 1) != 'N')
            erase(i);
        else
            ++i;
    for (long i = 1; i < long(s.size()); ++i)
        if (at(i - 1) == 'A' && at(i) == 'I') {
            erase(i);
            s[size_t(i - 1)] = 'E';
        }
    for (long i = 0; i < long(s.size());) {
        if (at(i) == 'H') {
            if (at(i - 1) == 'P') s[size_t(i - 1)] = 'F';
            erase(i);
        } else {
            ++i;
        }
    }
    for (long i = 1; i < long(s.size());)
        if (at(i) == at(i - 1))
            erase(i);
        else
            ++i;
    return s;
}

TEST(Phonetique, OneWalkPassesReadTheRulesWordForWord) {
    // Letters the rules name, some others, accents, blanks and hyphens.
    const std::string sAlphabet = L1("AEIOUYQUSTPDZRNMBHCXKLaeiouyéèàç -");
    std::mt19937 clAlea(20240714);
    std::uniform_int_distribution<size_t> clLettre(0, sAlphabet.size() - 1);
    std::uniform_int_distribution<int> clLongueur(0, 14);
    for (int n = 0; n < 100000; ++n) {
        std::string s;
        for (int k = clLongueur(clAlea); k > 0; --k) s += sAlphabet[clLettre(clAlea)];
        ASSERT_EQ(Cle(s), CleModele(s.c_str())) << "[" << s << "]";
    }
}

TEST(Phonetique, EveryByteIsAccepted) {
    std::string s;
    for (int c = 255; c >= 1; --c) s += static_cast<char>(c);
    EXPECT_EQ(Cle(s), CleModele(s.c_str()));
}

TEST(Phonetique, LongTextsOnTheHeap) {
    // Beyond the stack area, and deletions that a pass per position would
    // make quadratic: a million H go in one walk.
    const struct {
        std::string sTexte;
        std::string sCle;
    } tabCas[] = {
        {std::string(1000000, 'H'), ""},
        {std::string(300000, 'A') + "N", "A"},
        {std::string(1000, 'x') + " " + std::string(1000, 'P') + "H", "X PF"},
    };
    for (const auto& st : tabCas) EXPECT_EQ(Cle(st.sTexte), st.sCle);
    const std::string sLong = std::string(5000, 'Q') + std::string(5000, 'U') + "EAUX";
    EXPECT_EQ(Cle(sLong), CleModele(sLong.c_str()));
}

TEST(Phonetique, SmallDestinationGetsTheKeyCutShort) {
    char sz[4] = {'?', '?', '?', '?'};
    ASSERT_TRUE(fonetik("Philippe", sz, 3, nullptr));
    EXPECT_STREQ(sz, "FI");
    EXPECT_EQ(sz[3], '?');
    ASSERT_TRUE(fonetik(nullptr, sz, sizeof sz, nullptr));
    EXPECT_STREQ(sz, "");
}

}  // namespace
