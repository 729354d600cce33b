// Owned C text and the plain C-string helpers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/strfunc.h"
#include "core/tstring.h"

namespace {

TEST(TString, SetRules) {
    CTString s;
    EXPECT_STREQ(s.pszGet(), "");
    EXPECT_TRUE(s.bEstVide());
    s.Set("hello");
    const char* p = s.pszGet();
    s.Set("world");  // same length: in place
    EXPECT_EQ(s.pszGet(), p);
    EXPECT_STREQ(s.pszGet(), "world");
    s.Set(s.pszGet());  // own text: unchanged
    EXPECT_STREQ(s.pszGet(), "world");
    s.Set(s.pszGet() + 2);  // part of own text, other length
    EXPECT_STREQ(s.pszGet(), "rld");
    s.Set("abcdef", 3);
    EXPECT_STREQ(s.pszGet(), "abc");
    EXPECT_EQ(s.nTaille(), 3);
    s.Set("");
    EXPECT_TRUE(s.bEstVide());
    s.Set("x");
    s.Set(nullptr);
    EXPECT_TRUE(s.bEstVide());
    CTString a("copy"), b(a);
    EXPECT_NE(a.pszGet(), b.pszGet());
    EXPECT_STREQ(b.pszGet(), "copy");
}

TEST(TString, Editing) {
    CTString s("  Hello World  ");
    s.Trim();
    EXPECT_STREQ(s.pszGet(), "  Hello World");
    s.LTrim();
    EXPECT_STREQ(s.pszGet(), "Hello World");
    s.Add("!");
    s.Add(s.pszGet(), 5);  // own text appended
    EXPECT_STREQ(s.pszGet(), "Hello World!Hello");
    s.Insert(5, ",");
    EXPECT_STREQ(s.pszGet(), "Hello, World!Hello");
    EXPECT_EQ(s.Remplace("Hello", "Bye"), 2);
    EXPECT_STREQ(s.pszGet(), "Bye, World!Bye");
    EXPECT_EQ(s.RemplaceI("bye", "Hi"), 2);
    EXPECT_STREQ(s.pszGet(), "Hi, World!Hi");
    for (int n : {-1, 100}) {
        s.Tronque(n);
        EXPECT_STREQ(s.pszGet(), "Hi, World!Hi") << n;
    }
    s.Tronque(9);
    EXPECT_STREQ(s.pszGet(), "Hi, World");
    s.TronqueDebut(4);
    EXPECT_STREQ(s.pszGet(), "World");
    s.Complete(7, '.');
    EXPECT_STREQ(s.pszGet(), "World..");
    s.Renverse();
    EXPECT_STREQ(s.pszGet(), "..dlroW");
    s.Set("a b");
    s.Insecable();
    EXPECT_STREQ(s.pszGet(), "a\xA0" "b");
    s.Set("key=value");
    s.Coupe('=');
    EXPECT_STREQ(s.pszGet(), "key");
    s.Set("\xE9t\xE9 Caf\xE9");
    s.Majuscule();
    EXPECT_STREQ(s.pszGet(), "\xC9T\xC9 CAF\xC9");
    s.SansAccent();
    EXPECT_STREQ(s.pszGet(), "ETE CAFE");
    s.Minuscule();
    EXPECT_STREQ(s.pszGet(), "ete cafe");
}

TEST(TString, SearchAndParts) {
    CTString s("one,two,,three");
    EXPECT_EQ(s.nPos("two"), 4);
    EXPECT_EQ(s.nPos(","), 3);
    EXPECT_EQ(s.nPos(",", 4), 7);
    EXPECT_EQ(s.nRPos(","), 8);
    EXPECT_EQ(s.nUpPos("TWO"), 4);
    EXPECT_EQ(s.nPosParmi("wh"), 5);
    EXPECT_EQ(s.nNbOcc(","), 3);
    EXPECT_EQ(s.cGetChar(1), 'n');
    EXPECT_EQ(s.cGetChar(99), 0);
    EXPECT_STREQ(s.clMilieu(4, 3).pszGet(), "two");
    EXPECT_STREQ(s.clGauche(3).pszGet(), "one");
    EXPECT_STREQ(s.clDroite(5).pszGet(), "three");
    EXPECT_STREQ(s.clDroite(50).pszGet(), "one,two,,three");
    EXPECT_STREQ(s.clExclu(",").pszGet(), "onetwothree");
    EXPECT_STREQ(s.clContientUniquement("o,").pszGet(), "o,o,,");
    CTString f;
    const struct {
        int nRang;
        bool bOk;
        const char* psz;
    } cases[] = {{1, true, "one"}, {3, true, ""}, {4, true, "three"}, {5, false, ""}, {0, false, ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(s.bExtraitChaine(c.nRang, ",", &f), c.bOk) << c.nRang;
        EXPECT_STREQ(f.pszGet(), c.psz) << c.nRang;
    }
    EXPECT_TRUE(s.bCommencePar("one"));
    EXPECT_TRUE(s.bCommenceParI("ONE"));
    EXPECT_TRUE(s.bTerminePar("three"));
    EXPECT_TRUE(s.bTermineParI("THREE"));
    EXPECT_FALSE(s.bTerminePar("xthree,one,two,,three"));
    EXPECT_TRUE(CTString("Abc").bEstEgalI("aBC"));
    EXPECT_FALSE(CTString("Abc").bEstEgal("aBC"));
}

TEST(TString, FormatAndNumbers) {
    CTString s;
    s.printf("%d-%s", 12, "x");
    EXPECT_STREQ(s.pszGet(), "12-x");
    s.AddPrintf("+%s", s.pszGet());
    EXPECT_STREQ(s.pszGet(), "12-x+12-x");
    s.printf("%s", s.pszGet());
    EXPECT_STREQ(s.pszGet(), "12-x+12-x");
    EXPECT_EQ(s.nVal(), 12);
    s.SetI4(-45);
    EXPECT_STREQ(s.pszGet(), "-45");
    std::string grand(5000, 'q');
    s.printf("%s", grand.c_str());
    EXPECT_EQ(s.nTaille(), 5000);
}

TEST(TString, Conversions) {
    CTString s;
    s.SetWide(L"caf\u00e9\u20ac");
    EXPECT_STREQ(s.pszGet(), "caf\xE9\x80");
    s.SetWide(L"a\u4e2db");
    EXPECT_STREQ(s.pszGet(), "a?b");
    s.SetUTF8("\xC3\xA9t\xC3\xA9");
    EXPECT_STREQ(s.pszGet(), "\xE9t\xE9");
    s.SetXUTF8("\xE9");
    EXPECT_STREQ(s.pszGet(), "\xC3\xA9");
    s.SetFromBinary("ab\0cd", 5);
    EXPECT_STREQ(s.pszGet(), "ab");
    s.Set("\xE9z");
    wchar_t* pw = nullptr;
    ASSERT_TRUE(s.bGetWide(&pw));
    EXPECT_EQ(std::wstring(pw), L"\u00e9z");
    std::free(pw);
}

TEST(TString, LoadAndSave) {
    char szDossier[] = "/tmp/qvstd_tstring_XXXXXX";
    ASSERT_NE(mkdtemp(szDossier), nullptr);
    std::string fichier = std::string(szDossier) + "/texte.txt";
    CTString s("line one\r\nline \xE9");
    ASSERT_TRUE(s.bSauve(fichier.c_str()));
    CTString lu;
    ASSERT_TRUE(lu.bCharge(fichier.c_str()));
    EXPECT_STREQ(lu.pszGet(), s.pszGet());
    std::string avecAntislash = std::string(szDossier) + "\\texte.txt";
    ASSERT_TRUE(lu.bCharge(avecAntislash.c_str()));
    EXPECT_FALSE(lu.bCharge((std::string(szDossier) + "/absent").c_str()));
    std::remove(fichier.c_str());
    rmdir(szDossier);
}

TEST(StrFunc, CreationCopyAndJoin) {
    char* p = STR_pszCreate("abc");
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "abc");
    ASSERT_TRUE(STR_bResize(&p, 10));
    std::strcat(p, "defghij");
    EXPECT_STREQ(p, "abcdefghij");
    ASSERT_TRUE(STR_bRedefine(&p, "z"));
    EXPECT_STREQ(p, "z");
    STR_Delete(p);
    STR_Delete(nullptr);
    char* q = STR_pszConcat("ab", nullptr);
    EXPECT_STREQ(q, "ab");
    STR_DeleteA(q);
    char* r = STR_pszCreate(5);
    EXPECT_STREQ(r, "");
    STR_DeleteA(r);
    char buf[6];
    EXPECT_EQ(STR_nCopy(buf, "abcdefgh", sizeof buf), 5);
    EXPECT_STREQ(buf, "abcde");
    EXPECT_EQ(STR_nCopy(buf, "ab", sizeof buf), 2);
    EXPECT_EQ(STR_nCat(buf, "cdefg", sizeof buf), 5);
    EXPECT_STREQ(buf, "abcde");
    EXPECT_EQ(STR_nCopy(buf, "x", 0), 0);
    wchar_t wbuf[4];
    EXPECT_EQ(STR_nCopyW(wbuf, L"abcdef", 4), 3);
    EXPECT_EQ(std::wstring(wbuf), L"abc");
    EXPECT_EQ(STR_nLen(nullptr), 0);
    EXPECT_EQ(STR_nLenW(L"ab"), 2);
}

TEST(StrFunc, SpacesAndCase) {
    const struct {
        char* (*pfn)(char*);
        const char* pszEntree;
        const char* pszAttendu;
    } cases[] = {
        {STR_SuppressRightSpaces, " a b \t", " a b"},
        {STR_SuppressLeftSpaces, " \ta b ", "a b "},
        {STR_SuppressSideSpaces, "  a b  ", "a b"},
        {STR_SuppressAllSpaces, " a b\tc ", "abc"},
        {STR_ToUpper, "abc\xE9", "ABC\xC9"},
        {STR_ToLower, "ABC\xC9", "abc\xE9"},
    };
    for (const auto& c : cases) {
        char buf[32];
        std::strcpy(buf, c.pszEntree);
        EXPECT_STREQ(c.pfn(buf), c.pszAttendu) << c.pszEntree;
    }
    char buf[16] = "xxaxx";
    EXPECT_STREQ(STR_SuppressSideCar(buf, 'x'), "a");
    std::strcpy(buf, "ab");
    EXPECT_STREQ(STR_Complete(buf, 5, '-'), "ab---");
}

TEST(StrFunc, Compare) {
    const struct {
        const char* a;
        const char* b;
        uint32_t dwOptions;
        int n;
    } cases[] = {
        {"abc", "abc", 0, 0},     {"abc", "abd", 0, -1},      {"b", "a", 0, 1},
        {"ABC", "abc", 1, 0},     {"\xE9t\xE9", "ete", 2, 0}, {"a.b", "ab", 4, 0},
        {"ABC", "abc", 0x10001, 0}, {nullptr, "", 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(STR_nCompare(c.a, c.b, c.dwOptions), c.n) << (c.a ? c.a : "null") << " / " << c.b;
    EXPECT_EQ(STR_nNullCompare(nullptr, ""), -1);
    EXPECT_EQ(STR_nNullCompare(nullptr, nullptr), 0);
    EXPECT_EQ(STR_nEmptyNullCompare(nullptr, ""), 0);
    EXPECT_EQ(STR_nNCompare("abcX", "abcY", 3), 0);
    EXPECT_EQ(STR_nUpCompare("HeLLo", "hello"), 0);
    EXPECT_EQ(STR_nAcCompare("\xE0", "a"), 0);
    EXPECT_EQ(STR_nCompareRespecteNumerique("a9", "a10"), -1);
    EXPECT_EQ(STR_nCompareRespecteNumerique("a010", "a10"), 0);
    EXPECT_EQ(STR_nCompareRespecteNumerique("b1", "a2"), 1);
}

TEST(StrFunc, SearchAndClasses) {
    const char* t = "Hello hello HELLO";
    EXPECT_EQ(STR_pszUpStrstr(t, "LLO h") - t, 2);
    EXPECT_EQ(STRRSTR(t, "ll") - t, 8);
    EXPECT_EQ(STRRSTR(t, "xy"), nullptr);
    EXPECT_EQ(STRRSTR(t, "el") - t, 7);
    EXPECT_EQ(STRRPBRK(t, "eH") - t, 12);
    EXPECT_EQ(STR_strnstrA(t, 5, "llo"), t + 2);
    EXPECT_EQ(STR_strnstrA(t, 4, "llo"), nullptr);
    EXPECT_EQ(STR_strnistrA(t, 17, "hello h") , t);
    EXPECT_TRUE(STR_bDebut(t, "Hel"));
    EXPECT_EQ(STR_nNbOccurrence(t, "l"), 4);
    EXPECT_TRUE(bEstUnNombreEntierNaturel("0123"));
    EXPECT_FALSE(bEstUnNombreEntierNaturel("12a"));
    EXPECT_FALSE(bEstUnNombreEntierNaturel(""));
    EXPECT_EQ(nGetChiffre('7'), 7);
    EXPECT_EQ(nGetChiffre('x'), -1);
    EXPECT_TRUE(bMajuscule('\xC9'));
    EXPECT_TRUE(bMinuscule('\xE9'));
    EXPECT_FALSE(bMajuscule('1'));
    EXPECT_TRUE(bPonctuation(','));
    EXPECT_FALSE(bPonctuation(' '));
    EXPECT_TRUE(bExtendedASCII('\x80'));
    EXPECT_TRUE(bUnprintable('\x01'));
    EXPECT_TRUE(bEstDuTexteRTF("{\\rtf1 x}"));
    EXPECT_TRUE(STR_bContainSpace("a b"));
    EXPECT_TRUE(STR_bNeContientRienDeLisible(" \t\r\n"));
    EXPECT_FALSE(STR_bNeContientRienDeLisible(" x "));
}

}  // namespace
