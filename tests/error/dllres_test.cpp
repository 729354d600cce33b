// Message texts by number: host loader first, own texts in the interface
// language, cut-to-fit, singular and plural forms, the definition table.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "runtime/error/dllres.h"
#include "runtime/language.h"
#include "qvstd/xerror.h"

namespace {

constexpr int LANGUE_FR = 12;
constexpr int LANGUE_EN = 13;

// A host loader that knows a few numbers and counts its calls.
struct STHote {
    int nAppels = 0;
    std::vector<int> anTailles;
};
STHote g_hote;

int ChargeurHote(int nMessage, char* pszBuffer, int nTaille) {
    ++g_hote.nAppels;
    g_hote.anTailles.push_back(nTaille);
    std::string s;
    if (nMessage == 28003) s = "host text <%1$s>";
    else if (nMessage == 990001) s = "one file\n\xA7\n%1$d files";
    else if (nMessage == 990002) s = std::string(700, 'x');
    else if (nMessage == 990003) s = "\n\xA7\nwhole";
    else return 0;
    if (nTaille < 1) return 0;
    size_t n = s.size() < static_cast<size_t>(nTaille - 1) ? s.size() : static_cast<size_t>(nTaille - 1);
    memcpy(pszBuffer, s.data(), n);
    pszBuffer[n] = 0;
    return static_cast<int>(n);
}

// A faulty host loader that claims more than the buffer holds.
int ChargeurVantard(int, char* pszBuffer, int nTaille) {
    memset(pszBuffer, 'y', static_cast<size_t>(nTaille));
    return nTaille + 50;
}

class Messages : public ::testing::Test {
protected:
    void SetUp() override {
        m_nLangue = qvstd::nGetInterfaceLanguage();
        qvstd::SetInterfaceLanguage(LANGUE_FR);
        DLLRES_SetHostLoader(nullptr);
        g_hote = STHote{};
    }
    void TearDown() override {
        DLLRES_SetHostLoader(nullptr);
        qvstd::SetInterfaceLanguage(m_nLangue);
    }
    static std::string Charge(int nNumero) {
        char* p = nullptr;
        if (!DLLRES_bLoadString(nNumero, &p)) return "<unknown>";
        std::string s(p);
        free(p);
        return s;
    }
    int m_nLangue = 0;
};

TEST_F(Messages, EveryDefinedErrorHasATextInBothLanguages) {
    ASSERT_EQ(gnErrorDef, 265u);
    for (size_t i = 0; i < gnErrorDef; ++i) {
        const STErrorDef& st = gstErrorDef[i];
        if (st.nMessage == 0) continue;
        for (int nLangue : {LANGUE_FR, LANGUE_EN}) {
            qvstd::SetInterfaceLanguage(nLangue);
            char sz[1024];
            EXPECT_GT(DLLRES_nLoadString(st.nMessage, sz, sizeof(sz)), 0)
                << "code " << st.nCode << " message " << st.nMessage << " language " << nLangue;
        }
    }
}

TEST_F(Messages, DefinitionTableRows) {
    struct Case {
        int nCode;
        int nMessage;
        int nDetail;
        uint32_t eLevel;
    };
    const Case cas[] = {
        {80001, 0, 0, 3},     {80022, 639, 1, 3},      {80100, 763, 2, 2},      {80102, 765, 3, 2},
        {80160, 814, 0, 1},   {80182, 813, 0, 1},      {80260, 2224, 0, 2},     {81700, 6264, 0, 0x10002},
        {81702, 6575, 0, 0x10002}, {80115, 6390, 0, 2}, {80404, 3128, 0, 3},     {81608, 5511, 0, 2},
    };
    for (const Case& c : cas) {
        const STErrorDef* pst = ERR_pstGetDefinition(c.nCode);
        ASSERT_NE(pst, nullptr) << c.nCode;
        EXPECT_EQ(pst->nMessage, c.nMessage) << c.nCode;
        EXPECT_EQ(pst->nDetail, c.nDetail) << c.nCode;
        EXPECT_EQ(pst->eLevel, c.eLevel) << c.nCode;
    }
    EXPECT_EQ(ERR_pstGetDefinition(80000), nullptr);
    EXPECT_EQ(ERR_pstGetDefinition(0), nullptr);
    // Codes are unique except 80260, whose first row wins.
    std::multiset<int> codes;
    for (size_t i = 0; i < gnErrorDef; ++i) codes.insert(gstErrorDef[i].nCode);
    for (int n : codes) EXPECT_EQ(codes.count(n), n == 80260 ? 2u : 1u) << n;
}

TEST_F(Messages, TextTableIsSortedAndPlaceholdersMatchAcrossLanguages) {
    ASSERT_GT(MSG_nNbTextes(), 0u);
    for (size_t i = 1; i < MSG_nNbTextes(); ++i) EXPECT_LT(MSG_nNumeroTexte(i - 1), MSG_nNumeroTexte(i));
    for (size_t i = 0; i < MSG_nNbTextes(); ++i) {
        int n = MSG_nNumeroTexte(i);
        const char* fr = MSG_pszTexteInterne(n, true);
        const char* en = MSG_pszTexteInterne(n, false);
        ASSERT_TRUE(fr && en && *fr && *en) << n;
        // Every stored character fits the component's 8-bit set.
        for (const char* p : {fr, en}) {
            for (const unsigned char* q = reinterpret_cast<const unsigned char*>(p); *q; ++q) {
                if (*q < 0x80) continue;
                EXPECT_TRUE((*q == 0xC2 || *q == 0xC3) && (q[1] & 0xC0) == 0x80) << n;
                ++q;
            }
        }
        // Same directives in both languages, whatever their order.
        auto directives = [](const char* p) {
            std::multiset<std::string> s;
            for (; *p; ++p) {
                if (*p != '%') continue;
                const char* q = p + 1;
                while (*q && !strchr("sdiuxXcSf", *q)) ++q;
                s.insert(std::string(p, *q ? q + 1 : q));
                if (*q) p = q;
            }
            return s;
        };
        EXPECT_EQ(directives(fr), directives(en)) << n;
    }
}

TEST_F(Messages, InterfaceLanguageChoosesTheText) {
    qvstd::SetInterfaceLanguage(LANGUE_FR);
    EXPECT_EQ(Charge(28199), "Ao\xFBt");   // Latin-1, not UTF-8
    EXPECT_EQ(Charge(28204), "Lundi");
    EXPECT_EQ(Charge(28577), "J");
    EXPECT_EQ(Charge(25202), "octet(s);Ko;Mo;Go;To");
    qvstd::SetInterfaceLanguage(LANGUE_EN);
    EXPECT_EQ(Charge(28199), "August");
    EXPECT_EQ(Charge(28210), "Sunday");
    EXPECT_EQ(Charge(25202), "byte(s);KB;MB;GB;TB");
}

TEST_F(Messages, LoadCutsToFit) {
    // "Lundi" has 5 characters.
    struct Case {
        int nTaille;
        int nAttendu;
        const char* pszAttendu;
    };
    const Case cas[] = {
        {1, 0, ""}, {2, 1, "L"}, {5, 4, "Lund"}, {6, 5, "Lundi"}, {7, 5, "Lundi"}, {64, 5, "Lundi"},
    };
    for (const Case& c : cas) {
        char sz[80];
        memset(sz, '#', sizeof(sz));
        EXPECT_EQ(DLLRES_nLoadString(28204, sz, c.nTaille), c.nAttendu) << c.nTaille;
        EXPECT_STREQ(sz, c.pszAttendu) << c.nTaille;
        EXPECT_EQ(sz[c.nTaille], '#') << "wrote past the buffer of " << c.nTaille;
    }
    // A cut inside an accented word keeps whole 8-bit characters.
    char sz[4];
    EXPECT_EQ(DLLRES_nLoadString(28199, sz, sizeof(sz)), 3);
    EXPECT_STREQ(sz, "Ao\xFB");
}

TEST_F(Messages, BufferOfSizeZeroIsNeverWritten) {
    DLLRES_SetHostLoader(ChargeurHote);
    char c = '#';
    EXPECT_EQ(DLLRES_nLoadString(28204, &c, 0), 0);
    EXPECT_EQ(DLLRES_nLoadString(28003, &c, 0), 0);
    EXPECT_EQ(DLLRES_nLoadString(28204, &c, -5), 0);
    EXPECT_EQ(c, '#');
    EXPECT_EQ(g_hote.nAppels, 0);
    EXPECT_EQ(DLLRES_nLoadString(28204, nullptr, 10), 0);
}

TEST_F(Messages, UnknownNumbers) {
    char sz[16] = "junk";
    for (int n : {0, -1, 1, 80000, 65024, 999999}) {
        EXPECT_EQ(DLLRES_nLoadString(n, sz, sizeof(sz)), 0) << n;
        EXPECT_STREQ(sz, "") << n;
        EXPECT_EQ(Charge(n), "<unknown>") << n;
    }
    char* p = CTStringRes(424242);
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "");
    free(p);
}

TEST_F(Messages, HostLoaderIsAskedFirstThenOwnTexts) {
    DLLRES_SetHostLoader(ChargeurHote);
    char sz[64];
    EXPECT_EQ(DLLRES_nLoadString(28003, sz, sizeof(sz)), 16);
    EXPECT_STREQ(sz, "host text <%1$s>");
    // The host does not know 28204: our own text answers.
    EXPECT_EQ(DLLRES_nLoadString(28204, sz, sizeof(sz)), 5);
    EXPECT_STREQ(sz, "Lundi");
    EXPECT_EQ(g_hote.nAppels, 2);
    // Neither knows it.
    EXPECT_EQ(DLLRES_nLoadString(777777, sz, sizeof(sz)), 0);
    // Cut to fit through the host as well.
    EXPECT_EQ(DLLRES_nLoadString(28003, sz, 5), 4);
    EXPECT_STREQ(sz, "host");

    char* p = nullptr;
    ASSERT_TRUE(DLLRES_bFormatMessage(28003, &p, "a.txt"));
    EXPECT_STREQ(p, "host text <a.txt>");
    free(p);
    DLLRES_SetHostLoader(nullptr);
    ASSERT_TRUE(DLLRES_bFormatMessage(28003, &p, "a.txt"));
    EXPECT_STREQ(p, "Erreur de lecture dans le fichier <a.txt>.");
    free(p);
}

TEST_F(Messages, LongHostTextIsAskedAgainWithARoomierBuffer) {
    DLLRES_SetHostLoader(ChargeurHote);
    EXPECT_EQ(Charge(990002), std::string(700, 'x'));
    ASSERT_GE(g_hote.anTailles.size(), 2u);
    EXPECT_EQ(g_hote.anTailles[0], 256);
    for (size_t i = 1; i < g_hote.anTailles.size(); ++i) {
        EXPECT_GT(g_hote.anTailles[i], g_hote.anTailles[i - 1]);
        EXPECT_EQ(g_hote.anTailles[i] % 16, 0);
    }
}

TEST_F(Messages, HostAnswerLongerThanTheBufferIsBounded) {
    DLLRES_SetHostLoader(ChargeurVantard);
    char sz[9];
    sz[8] = '#';
    EXPECT_EQ(DLLRES_nLoadString(28204, sz, 8), 7);
    EXPECT_EQ(sz[7], 0);
    EXPECT_EQ(sz[8], '#');
}

TEST_F(Messages, SingularAndPlural) {
    struct Case {
        const char* pszTexte;
        const char* pszSingulier;
        const char* pszPluriel;
    };
    const Case cas[] = {
        {"one file\n\xA7\n%d files", "one file", "%d files"},
        {"no separator", "no separator", "no separator"},
        {"\n\xA7\nseparator first", "\n\xA7\nseparator first", "\n\xA7\nseparator first"},
        {"a\n\xA7\n", "a", ""},
        {"", "", ""},
        {"\xA7 alone\n", "\xA7 alone\n", "\xA7 alone\n"},
    };
    for (const Case& c : cas) {
        size_t n = 0;
        const char* p = DLLRES_pszSingulierPluriel(c.pszTexte, false, &n);
        EXPECT_EQ(std::string(p, n), c.pszSingulier) << c.pszTexte;
        p = DLLRES_pszSingulierPluriel(c.pszTexte, true, &n);
        EXPECT_EQ(std::string(p, n), c.pszPluriel) << c.pszTexte;
    }

    DLLRES_SetHostLoader(ChargeurHote);
    char* p = nullptr;
    ASSERT_TRUE(DLLRES_bFormatMessageSingulierPluriel(false, 990001, &p, 1));
    EXPECT_STREQ(p, "one file");
    free(p);
    ASSERT_TRUE(DLLRES_bFormatMessageSingulierPluriel(true, 990001, &p, 3));
    EXPECT_STREQ(p, "3 files");
    free(p);
    ASSERT_TRUE(DLLRES_bFormatMessageSingulierPluriel(true, 990003, &p));
    EXPECT_STREQ(p, "\n\xA7\nwhole");
    free(p);
    EXPECT_FALSE(DLLRES_bFormatMessageSingulierPluriel(true, 424242, &p));
    EXPECT_EQ(p, nullptr);
}

TEST_F(Messages, FormatNumberedMessages) {
    char* p = nullptr;
    int n = DLLRES_nFormatMessage(2095, &p, "a.txt", "b.txt");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(n, static_cast<int>(strlen(p)));
    EXPECT_STREQ(p, "La copie du fichier <a.txt> vers <b.txt> a \xE9" "chou\xE9" ".");
    free(p);
    qvstd::SetInterfaceLanguage(LANGUE_EN);
    p = CTStringRes(2095, "a.txt", "b.txt");
    EXPECT_STREQ(p, "Copying the file <a.txt> to <b.txt> failed.");
    free(p);
    EXPECT_EQ(DLLRES_nFormatMessage(424242, &p), -1);
    EXPECT_EQ(p, nullptr);
    p = CTStringFormatMessage("%2$s%1$s", "b", "a");
    EXPECT_STREQ(p, "ab");
    free(p);
}

TEST_F(Messages, ModuleState) {
    DLLRES_Init();
    EXPECT_TRUE(DLLRES_bEstInitialise());
    DLLRES_SetHostLoader(ChargeurHote);
    EXPECT_EQ(DLLRES_pfnGetHostLoader(), &ChargeurHote);
    DLLRES_Term();
    EXPECT_FALSE(DLLRES_bEstInitialise());
    EXPECT_EQ(DLLRES_pfnGetHostLoader(), nullptr);
    EXPECT_FALSE(DLLRES_bUtiliseDLLRes());
    EXPECT_EQ(ghGetRessourceHandle(), nullptr);
    EXPECT_TRUE(DLLRES_bInit());
}

}  // namespace

#include "core/tstring.h"

namespace {

TEST(MessagesIntoOwnedText, LoadAndFormat) {
    int nLangue = qvstd::nGetInterfaceLanguage();
    qvstd::SetInterfaceLanguage(13);
    CTString cl;
    EXPECT_TRUE(DLLRES_bLoadString(28210, &cl));
    EXPECT_STREQ(cl.pszGet(), "Sunday");
    EXPECT_TRUE(DLLRES_bFormatMessage(2095, &cl, "a", "b"));
    EXPECT_STREQ(cl.pszGet(), "Copying the file <a> to <b> failed.");
    EXPECT_FALSE(DLLRES_bLoadString(424242, &cl));
    EXPECT_TRUE(cl.bEstVide());
    _stERRORINFO st{};
    st.nValeur = 4;
    EXPECT_TRUE(DLLRES_bDumpInfo(EIT_XINFO, &st, &cl));
    EXPECT_STREQ(cl.pszGet(), "EIT_XINFO : <4>");
    qvstd::SetInterfaceLanguage(nLangue);
}

}  // namespace
