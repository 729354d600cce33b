// Dynamic text and binary strings: sharing, copy on write, terminators,
// comparison, search and conversions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "core/zndstr.h"
#include "platform/charset.h"

namespace {

bool Termine(const CZNDSTRBase& s) {
    if (s.pGetMemoire() == nullptr) return true;
    static const char zero[4] = {};
    return std::memcmp(s.pszGet() + s.nGetLongueur(), zero, 4) == 0;
}

std::string Texte(const CZNDSTRBase& s) { return std::string(s.pszGet(), size_t(s.nGetLongueur())); }

class ZNDSTR : public ::testing::Test {
protected:
    void SetUp() override {
        STRMEM_TermModule();
        ASSERT_TRUE(STRMEM_bInitModule());
        // Recycling on, as under the host, so that reused blocks are exercised.
        STRMEM_nGeneralParam(2006, reinterpret_cast<intptr_t>(&m_nMultiThread));
    }
    void TearDown() override { STRMEM_TermModule(); }
    int m_nMultiThread = 0;
};

TEST_F(ZNDSTR, ConstructionAndKind) {
    CZNDSTR vide, texte("abc"), part("abcdef", 4), nul(nullptr);
    EXPECT_EQ(vide.pGetMemoire(), nullptr);
    EXPECT_STREQ(vide.pszGet(), "");
    EXPECT_EQ(nul.pGetMemoire(), nullptr);
    EXPECT_EQ(Texte(texte), "abc");
    EXPECT_EQ(Texte(part), "abcd");
    EXPECT_EQ(texte.nGetTypeAUB(), 19);
    EXPECT_EQ(STRMEM_Header(texte.pGetMemoire())->dwFlags, uint32_t(SMK_ANSI));
    EXPECT_EQ(texte.nGetCapacite(), 104);
    std::string s104(104, 'a'), s105(105, 'b'), s1001(1001, 'c');
    EXPECT_EQ(CZNDSTR(s104.c_str()).nGetCapacite(), 104);
    EXPECT_EQ(CZNDSTR(s105.c_str()).nGetCapacite(), 1000);
    EXPECT_EQ(CZNDSTR(s1001.c_str()).nGetCapacite(), 2002);
}

TEST_F(ZNDSTR, CopiesShareAndCount) {
    CZNDSTR a("shared");
    CZNDSTR b(a);
    CZNDSTR c;
    c = a;
    EXPECT_EQ(a.pGetMemoire(), b.pGetMemoire());
    EXPECT_EQ(a.pGetMemoire(), c.pGetMemoire());
    EXPECT_EQ(a.nGetRef(), 3);
    c = c;  // self-assignment keeps everything
    EXPECT_EQ(a.nGetRef(), 3);
    CZNDSTR d;
    d.Take(b);
    EXPECT_EQ(b.pGetMemoire(), nullptr);
    EXPECT_EQ(a.nGetRef(), 3);
    d.Vide();
    EXPECT_EQ(a.nGetRef(), 2);
}

// Every modifying operation on a shared string leaves the other holder's
// value as it was, and every result is zero-terminated.
TEST_F(ZNDSTR, CopyOnWriteAndTerminatorForEveryChange) {
    struct Cas {
        const char* pszNom;
        std::function<void(CZNDSTR&)> op;
        const char* pszAttendu;
    };
    const Cas cases[] = {
        {"nAssign", [](CZNDSTR& s) { s.nAssign("xy", 2); }, "xy"},
        {"nAssign longer", [](CZNDSTR& s) { s.nAssign(std::string(300, 'x').c_str()); }, nullptr},
        {"nAssignI4", [](CZNDSTR& s) { s.nAssignI4(-2147483647 - 1); }, "-2147483648"},
        {"nAssignMultiple", [](CZNDSTR& s) { s.nAssignMultiple(3, "a", 1, "bcd", 2, "e", -1); }, "abce"},
        {"nConcat text", [](CZNDSTR& s) { s.nConcat("++", 2); }, "Hello world++"},
        {"nConcat self", [](CZNDSTR& s) { s.nConcat(s); }, "Hello worldHello world"},
        {"nConcat inner", [](CZNDSTR& s) { s.nConcat(s.pszGet() + 6, 5); }, "Hello worldworld"},
        {"nConcatI4", [](CZNDSTR& s) { s.nConcatI4(42); }, "Hello world42"},
        {"nConcatMultiple", [](CZNDSTR& s) { s.nConcatMultiple(2, "!", 1, "?", 1); }, "Hello world!?"},
        {"Tronque", [](CZNDSTR& s) { s.Tronque(5); }, "Hello"},
        {"Tronque 0", [](CZNDSTR& s) { s.Tronque(0); }, ""},
        {"Trim char", [](CZNDSTR& s) { s.Trim('d'); }, "Hello worl"},
        {"Renverse", [](CZNDSTR& s) { s.Renverse(); }, "dlrow olleH"},
        {"nComplete", [](CZNDSTR& s) { s.nComplete(14, '.'); }, "Hello world..."},
        {"nComplete inside", [](CZNDSTR& s) { s.nComplete(2, 3, '-'); }, "He--- world"},
        {"nComplete past end", [](CZNDSTR& s) { s.nComplete(13, 2, '-'); }, "Hello world----"},
        {"Remplace", [](CZNDSTR& s) { s.Remplace("o", "0"); }, "Hell0 w0rld"},
        {"Remplace longer", [](CZNDSTR& s) { s.Remplace("l", "LL"); }, "HeLLLLo worLLd"},
        {"nPrintf self", [](CZNDSTR& s) { s.nPrintf("<%s>", s.pszGet()); }, "<Hello world>"},
        {"nAddPrintf", [](CZNDSTR& s) { s.nAddPrintf(" %d", 7); }, "Hello world 7"},
        {"MapString", [](CZNDSTR& s) { s.MapString(1, 1); }, "HELLO WORLD"},
        {"SetUtilLength", [](CZNDSTR& s) { s.SetUtilLength(4, true); }, "Hell"},
        {"SetUtilLength grow", [](CZNDSTR& s) { s.SetUtilLength(13, true); }, nullptr},
        {"nSetLength", [](CZNDSTR& s) { s.nSetLength(3000); }, "Hello world"},
        {"__nPrepareModification", [](CZNDSTR& s) { s.__nPrepareModification(0); }, "Hello world"},
    };
    for (const auto& c : cases) {
        CZNDSTR original("Hello world");
        CZNDSTR modifie(original);
        ASSERT_EQ(original.nGetRef(), 2);
        c.op(modifie);
        EXPECT_EQ(Texte(original), "Hello world") << c.pszNom;
        EXPECT_EQ(original.nGetRef(), modifie.pGetMemoire() == original.pGetMemoire() ? 2 : 1) << c.pszNom;
        if (c.pszAttendu) {
            EXPECT_EQ(Texte(modifie), c.pszAttendu) << c.pszNom;
        }
        EXPECT_TRUE(Termine(modifie)) << c.pszNom;
        EXPECT_TRUE(Termine(original)) << c.pszNom;
        // The same change on a private string gives the same text.
        CZNDSTR prive("Hello world");
        c.op(prive);
        EXPECT_EQ(Texte(prive), Texte(modifie)) << c.pszNom;
        EXPECT_TRUE(Termine(prive)) << c.pszNom;
    }
}

TEST_F(ZNDSTR, AssignEmptiesAndReusesPrivateMemory) {
    CZNDSTR s("abcdef");
    void* p = s.pGetMemoire();
    ASSERT_EQ(s.nAssign("xyz", 3), 0);
    EXPECT_EQ(s.pGetMemoire(), p);  // private: rewritten in place
    EXPECT_EQ(Texte(s), "xyz");
    EXPECT_TRUE(Termine(s));
    EXPECT_EQ(s.nAssign(s.pszGet() + 1, 2), 0);  // overlapping source
    EXPECT_EQ(Texte(s), "yz");
    for (int n : {0}) {
        CZNDSTR t("abc");
        EXPECT_EQ(t.nAssign("zz", n), 0);
        EXPECT_EQ(t.pGetMemoire(), nullptr);
    }
    CZNDSTR t("abc");
    EXPECT_EQ(t.nAssign(nullptr, 5), 0);
    EXPECT_EQ(t.pGetMemoire(), nullptr);
    EXPECT_EQ(t.SetUtilLength(0), 0);
    EXPECT_EQ(t.pGetMemoire(), nullptr);
    CZNDSTR u("abc");
    EXPECT_EQ(u.SetUtilLength(0, true), 0);
    EXPECT_NE(u.pGetMemoire(), nullptr);
    EXPECT_EQ(u.nGetLongueur(), 0);
}

TEST_F(ZNDSTR, AssignSharesThenCuts) {
    CZNDSTR a("abcdef"), b;
    b.Assign(a, -1);
    EXPECT_EQ(b.pGetMemoire(), a.pGetMemoire());
    b.Assign(a, 3);
    EXPECT_EQ(Texte(b), "abc");
    EXPECT_EQ(Texte(a), "abcdef");
    EXPECT_EQ(a.nGetRef(), 1);
}

TEST_F(ZNDSTR, TronqueRules) {
    CZNDSTR s("abcdef");
    STRMEM_Header(s.pGetMemoire())->dwFlags |= SMK_MARK;
    void* p = s.pGetMemoire();
    for (int n : {-1, 6, 7, -5}) {
        s.Tronque(n);
        EXPECT_EQ(Texte(s), "abcdef") << n;
        EXPECT_EQ(s.pGetMemoire(), p);
        EXPECT_TRUE(s.bGetMarque()) << n;  // no effect at all
    }
    CZNDSTR autre(s);
    autre.Tronque(2);
    EXPECT_EQ(Texte(autre), "ab");
    EXPECT_FALSE(autre.bGetMarque());
    EXPECT_EQ(Texte(s), "abcdef");
    EXPECT_TRUE(s.bGetMarque());
    s.Tronque(3);
    EXPECT_EQ(s.pGetMemoire(), p);
    EXPECT_FALSE(s.bGetMarque());
    EXPECT_TRUE(Termine(s));
}

TEST_F(ZNDSTR, ConcatSharingAndMark) {
    CZNDSTR vide, source("src");
    STRMEM_Header(source.pGetMemoire())->dwFlags |= SMK_MARK;
    ASSERT_EQ(vide.nConcat(source), 0);
    EXPECT_EQ(vide.pGetMemoire(), source.pGetMemoire());  // an empty string shares
    CZNDSTR dest("d");
    ASSERT_EQ(dest.nConcat(source), 0);
    EXPECT_TRUE(dest.bGetMarque());
    STRMEM_Header(source.pGetMemoire())->dwFlags &= ~uint32_t(SMK_MARK);
    CZNDSTR sansMarque("x");
    ASSERT_EQ(dest.nConcat(sansMarque), 0);
    EXPECT_FALSE(dest.bGetMarque());
    EXPECT_EQ(Texte(dest), "dsrcx");
}

TEST_F(ZNDSTR, ConcatInit) {
    CZNDSTR a("left"), b("right"), vide, d;
    ASSERT_EQ(CZNDSTRBase::nConcatInit(d, a, b, 0), 0);
    EXPECT_EQ(Texte(d), "leftright");
    EXPECT_EQ(Texte(a), "left");
    ASSERT_EQ(CZNDSTRBase::nConcatInit(d, vide, b, 0), 0);
    EXPECT_EQ(d.pGetMemoire(), b.pGetMemoire());
    ASSERT_EQ(CZNDSTRBase::nConcatInit(d, a, vide, 1), 0);
    EXPECT_EQ(d.pGetMemoire(), a.pGetMemoire());
    // Flag 1 with a private a: its memory moves into the destination.
    CZNDSTR prive("mine");
    void* p = prive.pGetMemoire();
    CZNDSTR d2;
    ASSERT_EQ(CZNDSTRBase::nConcatInit(d2, prive, b, 1), 0);
    EXPECT_EQ(d2.pGetMemoire(), p);
    EXPECT_EQ(prive.pGetMemoire(), nullptr);
    EXPECT_EQ(Texte(d2), "mineright");
    // Flag 1 with a shared a: a keeps its value.
    CZNDSTR partage("sh"), autre(partage), d3;
    ASSERT_EQ(CZNDSTRBase::nConcatInit(d3, partage, b, 1), 0);
    EXPECT_EQ(Texte(d3), "shright");
    EXPECT_EQ(Texte(partage), "sh");
    EXPECT_EQ(Texte(autre), "sh");
    // Destination is a.
    ASSERT_EQ(CZNDSTRBase::nConcatInit(a, a, b, 1), 0);
    EXPECT_EQ(Texte(a), "leftright");
    CZNDSTR s;
    ASSERT_EQ(s.nConcatSeparateur(CZNDSTR("a"), CZNDSTR("b"), ", "), 0);
    EXPECT_EQ(Texte(s), "a, b");
    ASSERT_EQ(s.nConcatSeparateur(CZNDSTR(""), CZNDSTR("b"), ", "), 0);
    EXPECT_EQ(Texte(s), "b");
}

TEST_F(ZNDSTR, Compare) {
    struct {
        const char* a;
        const char* b;
        int n;
    } cases[] = {{"abc", "ab", 1}, {"ab", "abc", -1}, {"abc", "abc", 0}, {"", "", 0},
                 {"\xE9", "z", 1}, {"a", "\xE9", -1}, {"abd", "abc", 1}, {"", "a", -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(CZNDSTRBase::nCompare(CZNDSTR(c.a), CZNDSTR(c.b)), c.n) << c.a << " / " << c.b;
        EXPECT_EQ(CZNDSTR(c.a).nCompareTo(c.b), c.n) << c.a << " / " << c.b;
    }
    CZNDSTR nul, vide;
    vide.nSetLength(10);  // memory, no characters
    EXPECT_NE(vide.pGetMemoire(), nullptr);
    EXPECT_EQ(CZNDSTRBase::nCompare(nul, vide), 0);
    EXPECT_EQ(nul.nCompareTo(""), 0);
    EXPECT_EQ(nul.nCompareTo(nullptr), 0);
    EXPECT_EQ(CZNDSTRBase::nCompare(CZNDSTR("abcX"), CZNDSTR("abcY"), 3), 0);
    EXPECT_EQ(CZNDSTRBase::nCompare(CZNDSTR("abcX"), CZNDSTR("abcY"), 4), -1);
    EXPECT_EQ(CZNDSTRBase::nCompare(CZNDSTR("abc"), CZNDSTR("ab"), 10), 1);
    // Zero bytes inside the content count.
    EXPECT_EQ(CZNDSTRBase::nCompare(CZNDSTR("a\0b", 3), CZNDSTR("a\0c", 3)), -1);
}

TEST_F(ZNDSTR, FlexibleCompare) {
    CZNDSTR a("\xC9t\xE9"), b("ete"), c("E.T.E!"), d("etexx");
    EXPECT_EQ(CZNDSTRBase::__s_nCompareSouple(a, b, 0), 0);
    EXPECT_NE(CZNDSTRBase::__s_nCompareSouple(a, c, 0), 0);
    EXPECT_EQ(CZNDSTRBase::__s_nCompareTresSouple(a, c, 0), 0);
    EXPECT_EQ(CZNDSTRBase::__s_nCompareTresSouple(d, a, 0), 1);
    EXPECT_EQ(CZNDSTRBase::__s_nCompareTresSouple(d, a, 1), 0);  // only a's mapped length
    EXPECT_EQ(CZNDSTRBase::__s_nCompareSouple(d, b, 1), 0);
}

TEST_F(ZNDSTR, Search) {
    CZNDSTR s("one two one three");
    EXPECT_EQ(s.nNbOcc("one"), 2);
    EXPECT_EQ(s.nNbOcc(""), 0);
    EXPECT_EQ(s.nPos("one"), 0);
    EXPECT_EQ(s.nPos("one", 1), 8);
    EXPECT_EQ(s.nPos("four"), -1);
    EXPECT_EQ(s.nPos("one", 100), -1);
    EXPECT_EQ(s.nPos(CZNDSTR("two")), 4);
    EXPECT_EQ(s.nPosFin("one"), 8);
    EXPECT_EQ(s.nPosParmi("wh"), 5);
    EXPECT_TRUE(s.bCommencePar("one t"));
    EXPECT_FALSE(s.bCommencePar("two"));
    EXPECT_FALSE(CZNDSTR("ab").bCommencePar("abc"));
    EXPECT_EQ(Texte(s.clMilieu(4, 3)), "two");
    EXPECT_EQ(Texte(s.clMilieu(14)), "ree");
    EXPECT_EQ(Texte(s.clMilieu(40, 3)), "");
    EXPECT_EQ(Texte(s.clMilieu(14, 100)), "ree");
    CZNDSTR tout;
    s.nMilieu(tout, 0, -1);
    EXPECT_EQ(tout.pGetMemoire(), s.pGetMemoire());
}

TEST_F(ZNDSTR, TrimAndSpaces) {
    CZNDSTR s(" \t a b \r\n");
    s.Trim();
    EXPECT_EQ(Texte(s), " \t a b");
    s.SansEspace();
    EXPECT_EQ(Texte(s), "a b");
    CZNDSTR blanc("   ");
    blanc.SansEspace();
    EXPECT_EQ(blanc.nGetLongueur(), 0);
    CZNDSTR x("xxaxx");
    x.Trim('x');
    EXPECT_EQ(Texte(x), "a");
    CZNDSTR tout("xxx");
    tout.Trim('x');
    EXPECT_EQ(tout.nGetLongueur(), 0);
}

TEST_F(ZNDSTR, Unicode) {
    CZNDSTR w;
    ASSERT_EQ(w.nAssignUNICODE(L"h\u00e9llo"), 0);
    EXPECT_EQ(w.nGetTypeAUB(), 16);
    EXPECT_EQ(w.nGetLongueur(), int(5 * sizeof(wchar_t)));
    EXPECT_EQ(w.nGetLongueurUNICODE(), 5);
    EXPECT_TRUE(Termine(w));
    EXPECT_EQ(w.nCompareToUNICODE(L"h\u00e9llo"), 0);
    EXPECT_EQ(w.nCompareToUNICODE(L"h\u00e9ll"), 1);
    EXPECT_EQ(w.nPosUNICODE(L"ll"), 2);
    EXPECT_EQ(w.nPosFinUNICODE(L"l"), 3);
    EXPECT_EQ(w.nNbOccUNICODE(L"l"), 2);
    CZNDSTR m;
    w.nMilieuUNICODE(m, 1, 2);
    EXPECT_EQ(std::wstring(m.pwszGet()), L"\u00e9l");
    CZNDSTR r(w);
    r.RenverseUNICODE();
    EXPECT_EQ(std::wstring(r.pwszGet()), L"oll\u00e9h");
    EXPECT_EQ(std::wstring(w.pwszGet()), L"h\u00e9llo");
    r.RemplaceUNICODE(L"ll", L"L");
    EXPECT_EQ(std::wstring(r.pwszGet()), L"oL\u00e9h");
    r.nCompleteUNICODE(6, L'*');
    EXPECT_EQ(std::wstring(r.pwszGet()), L"oL\u00e9h**");
    r.TrimUNICODE(L'*');
    EXPECT_EQ(std::wstring(r.pwszGet()), L"oL\u00e9h");
    const char16_t u16[] = u"ab\u20ac";
    CZNDSTR v;
    ASSERT_EQ(v.nAssignUNICODE_UTF16(u16), 0);
    EXPECT_EQ(std::wstring(v.pwszGet()), L"ab\u20ac");
    CZNDSTR champs;
    champs.nAssignUNICODE(L"a;bb;;c");
    CZNDSTR f;
    EXPECT_TRUE(champs.bExtraitChaineUNICODE(2, L";", f));
    EXPECT_EQ(std::wstring(f.pwszGet()), L"bb");
    EXPECT_TRUE(champs.bExtraitChaineUNICODE(3, L";", f));
    EXPECT_EQ(f.nGetLongueur(), 0);
    EXPECT_TRUE(champs.bExtraitChaineUNICODE(4, L";", f));
    EXPECT_EQ(std::wstring(f.pwszGet()), L"c");
    EXPECT_FALSE(champs.bExtraitChaineUNICODE(5, L";", f));
    int nPos = 0, n = 0;
    while (champs.bExtraitChainePosUNICODE(&nPos, L";", f)) ++n;
    EXPECT_EQ(n, 4);
}

TEST_F(ZNDSTR, Conversions) {
    CZNDSTR ansi("caf\xE9 \x80");
    CZNDSTR w;
    ASSERT_EQ(w.nAffecteToUNICODE(ansi), 0);
    EXPECT_EQ(std::wstring(w.pwszGet()), L"caf\u00e9 \u20ac");
    CZNDSTR retour;
    bool bRemplace = true;
    ASSERT_EQ(retour.nAffecteToANSI(w, '?', &bRemplace), 0);
    EXPECT_EQ(Texte(retour), "caf\xE9 \x80");
    EXPECT_FALSE(bRemplace);
    CZNDSTR chinois;
    chinois.nAssignUNICODE(L"a\u4e2db");
    ASSERT_EQ(retour.nAffecteToANSI(chinois, '#', &bRemplace), 0);
    EXPECT_EQ(Texte(retour), "a#b");
    EXPECT_TRUE(bRemplace);
    CZNDSTR utf8;
    ASSERT_EQ(utf8.nAffecteToUTF8(ansi), 0);
    EXPECT_EQ(Texte(utf8), "caf\xC3\xA9 \xE2\x82\xAC");
    ASSERT_EQ(utf8.nAffecteToUTF8(w), 0);
    EXPECT_EQ(Texte(utf8), "caf\xC3\xA9 \xE2\x82\xAC");
    CZNBIN octets("\x41\x00\xE9", 3);
    ASSERT_EQ(w.nAffecteToUNICODE(octets), 0);
    EXPECT_EQ(w.nGetLongueurUNICODE(), 3);
    EXPECT_EQ(w.pwszGet()[2], L'\u00e9');
    // Bytes the code page leaves undefined keep their value.
    CZNDSTR trou("a\x81");
    ASSERT_EQ(w.nAffecteToUNICODE(trou), 0);
    EXPECT_EQ(std::wstring(w.pwszGet()), L"a\u0081");
    wchar_t* pw = ansi.pszCreateWSTR();
    ASSERT_NE(pw, nullptr);
    EXPECT_EQ(std::wstring(pw), L"caf\u00e9 \u20ac");
    std::free(pw);
    CZNDSTR wc;
    wc.nAssignUNICODE(L"x\u00e9");
    char* pc = wc.pszCreateCSTR();
    ASSERT_NE(pc, nullptr);
    EXPECT_STREQ(pc, "x\xE9");
    std::free(pc);
    // Argument records: Unicode shared, ANSI converted.
    STManipAUB stU{wc.pGetMemoire(), STManipAUB::TYPE_UNICODE};
    CZNDSTR r;
    ASSERT_EQ(r.nAffecteToUNICODE_CurrentCharset(&stU), 0);
    EXPECT_EQ(r.pGetMemoire(), wc.pGetMemoire());
    STManipAUB stA{ansi.pGetMemoire(), 19};
    ASSERT_EQ(r.nAffecteToUNICODE_CurrentCharset(&stA), 0);
    EXPECT_EQ(std::wstring(r.pwszGet()), L"caf\u00e9 \u20ac");
    STManipAUB stVide{nullptr, 19};
    ASSERT_EQ(r.nAffecteToUNICODE_CurrentCharset(&stVide), 0);
    EXPECT_EQ(r.pGetMemoire(), nullptr);
}

TEST_F(ZNDSTR, Binary) {
    const char donnees[] = {'a', 0, 'b', 0, 0, 'c'};
    CZNBIN b(donnees, 6);
    EXPECT_EQ(b.nGetTaille(), 6);
    EXPECT_EQ(s_nGetTypeAUB(b.pGetMemoire()), 28);
    EXPECT_EQ(std::memcmp(b.pGet(), donnees, 6), 0);
    CZNBIN c(b);
    EXPECT_EQ(c.nGetRef(), 2);
    ASSERT_EQ(c.nConcat("\0z", 2), 0);
    EXPECT_EQ(b.nGetTaille(), 6);
    EXPECT_EQ(c.nGetTaille(), 8);
    EXPECT_EQ(std::memcmp(c.pGet(), "a\0b\0\0c\0z", 8), 0);
    EXPECT_EQ(std::memcmp(c.pGet() + 8, "\0\0\0\0", 4), 0);
    EXPECT_EQ(c.nPos("\0\0", 2), 3);
    EXPECT_EQ(c.nPos("\0z", 2, 4), 6);
    EXPECT_EQ(c.nPos("q", 1), -1);
    EXPECT_TRUE(c.bCommencePar("a\0b", 3));
    EXPECT_EQ(CZNBINBase::nCompare(b, c), -1);
    EXPECT_EQ(CZNBINBase::nCompare(b, c, 6), 0);
    CZNBIN m = c.clMilieu(1, 3);
    EXPECT_EQ(m.nGetTaille(), 3);
    EXPECT_EQ(std::memcmp(m.pGet(), "\0b\0", 3), 0);
    c.Tronque(2);
    EXPECT_EQ(c.nGetTaille(), 2);
    ASSERT_EQ(c.nSetSize(5), 0);
    EXPECT_EQ(std::memcmp(c.pGet(), "a\0\0\0\0", 5), 0);
    ASSERT_EQ(c.nSetMemorySize(4000), 0);
    EXPECT_EQ(c.nGetTaille(), 5);
    ASSERT_EQ(c.SetUtilSize(0), 0);
    EXPECT_EQ(c.pGetMemoire(), nullptr);
    CZNBIN vide, d;
    ASSERT_EQ(CZNBINBase::nConcatInit(d, b, vide, 0), 0);
    EXPECT_EQ(d.pGetMemoire(), b.pGetMemoire());
    ASSERT_EQ(CZNBINBase::nConcatInit(d, b, b, 0), 0);
    EXPECT_EQ(d.nGetTaille(), 12);
    EXPECT_EQ(b.nGetTaille(), 6);
    ASSERT_EQ(d.nConcatSeparateur(b, b, "|", 1), 0);
    EXPECT_EQ(d.nGetTaille(), 13);
    CZNDSTR texte("text");
    void* p = texte.pGetMemoire();
    CZNBIN r;
    ASSERT_EQ(r.nRecupereInit(&texte), 0);
    EXPECT_EQ(r.pGetMemoire(), p);
    EXPECT_EQ(texte.pGetMemoire(), nullptr);
    EXPECT_EQ(s_nGetTypeAUB(r.pGetMemoire()), 28);
}

TEST_F(ZNDSTR, PrintfSizes) {
    CZNDSTR s;
    std::string grand(3000, 'g');
    ASSERT_EQ(s.nPrintf("%s|%d", grand.c_str(), 5), 0);
    EXPECT_EQ(Texte(s), grand + "|5");
    EXPECT_TRUE(Termine(s));
    ASSERT_EQ(s.nPrintf("%s", ""), 0);
    EXPECT_EQ(s.nGetLongueur(), 0);
}

TEST(ZNINTArray, GrowAndCopy) {
    CZNINTArray t(2, 3);
    EXPECT_EQ(t.nGetNb(), 0);
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(t.bAjoute(i * i));
    EXPECT_EQ(t.nGetNb(), 10);
    EXPECT_EQ(t.nGet(9), 81);
    EXPECT_EQ(t.nGet(10), 0);
    EXPECT_EQ(t.nGet(-1), 0);
    EXPECT_TRUE(t.bSet(14, 7));
    EXPECT_EQ(t.nGetNb(), 15);
    EXPECT_EQ(t.nGet(12), 0);
    CZNINTArray u(t);
    EXPECT_EQ(u.nGet(14), 7);
    EXPECT_TRUE(t.bSetNb(1));
    EXPECT_EQ(u.nGetNb(), 15);
    EXPECT_FALSE(t.bSet(-1, 0));
    EXPECT_FALSE(t.bSetNb(-2));
    t.Vide();
    EXPECT_EQ(t.nGetNb(), 0);
}

}  // namespace
