// The error object: levels, user errors from the definition table, user and
// debug messages, information items, sub-errors and copies.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/error/dllres.h"
#include "runtime/language.h"
#include "qvstd/xerror.h"

namespace {

class ErrorObject : public ::testing::Test {
protected:
    void SetUp() override {
        m_nLangue = qvstd::nGetInterfaceLanguage();
        qvstd::SetInterfaceLanguage(13);   // English texts
        DLLRES_SetHostLoader(nullptr);
    }
    void TearDown() override { qvstd::SetInterfaceLanguage(m_nLangue); }
    int m_nLangue = 0;
};

// A reference-counted object that tells when it is destroyed.
struct CSuivi : CQVUnknown {
    explicit CSuivi(bool* pbDetruit) : m_pbDetruit(pbDetruit) {}
    ~CSuivi() override { *m_pbDetruit = true; }
    bool* m_pbDetruit;
};

TEST_F(ErrorObject, StartsEmpty) {
    CXError e;
    EXPECT_EQ(e.eGetErrorLevel(), 1u);
    EXPECT_FALSE(e.bIsError());
    EXPECT_STREQ(e.pszGetUserMessage(), "");
    EXPECT_STREQ(e.pszGetDebugMessage(), "");
    EXPECT_STREQ(e.pszGetFunctionName(), "");
    EXPECT_STREQ(e.pszGetModName(), "");
    EXPECT_STREQ(e.pszGetInternalModule(), "qv150std.so");
    EXPECT_EQ(e.nGetRef(), 1);
    EXPECT_EQ(e.pclGetSubError(0), nullptr);
}

TEST_F(ErrorObject, LevelOneClearsEverything) {
    CXError e;
    e.SetUserErrorArgs(80022, 7);
    e.AddDebugMessage("##(X)-n=<%1$d>##", 3);
    e.AddInfo(EIT_SRCFILE, "a.txt");
    e.SetSystemError(ENOENT);
    ASSERT_TRUE(e.bIsError());
    e.SetErrorLevel(1);
    EXPECT_FALSE(e.bIsError());
    EXPECT_EQ(e.nGetUserError(), 0);
    EXPECT_STREQ(e.pszGetUserMessage(), "");
    EXPECT_STREQ(e.pszGetDebugMessage(), "");
    EXPECT_EQ(e.nGetSystemError(), 0);
    EXPECT_EQ(e.nNumInfo(), 0);
    EXPECT_EQ(e.nNumErrorId(), 0);
}

TEST_F(ErrorObject, UserErrorsFromTheTable) {
    struct Case {
        int nCode;
        uint32_t eLevel;
        int nMessage;
        int nDetail;
    };
    const Case cas[] = {
        {80260, 2, 2224, 0},          // first of its two rows
        {80022, 3, 639, 1},
        {80014, 2, 6215, 0},
        {81700, 0x10002, 6264, 0},
        {80100, 2, 763, 2},
    };
    for (const Case& c : cas) {
        CXError e;
        e.SetUserErrorArgs(c.nCode, 5);
        EXPECT_EQ(e.eGetErrorLevel(), c.eLevel) << c.nCode;
        EXPECT_EQ(e.nGetUserError(), c.nCode);
        EXPECT_EQ(e.nGetDetailId(), c.nDetail) << c.nCode;
        ASSERT_EQ(e.nNumErrorId(), 1) << c.nCode;
        EXPECT_EQ(e.nGetErrorId(0), c.nMessage) << c.nCode;
        EXPECT_STRNE(e.pszGetUserMessage(), "") << c.nCode;
        EXPECT_STREQ(e.pszGetModName(), "qv150std.so");
        EXPECT_STREQ(e.pszGetModVersion(), "15.00Gab");
        EXPECT_EQ(CXError::nGetRessourceIdFromUserErrorCode(c.nCode), c.nMessage);
    }
    EXPECT_EQ(CXError::nGetRessourceIdFromUserErrorCode(80000), 0);
}

TEST_F(ErrorObject, UserErrorFormatsItsMessage) {
    CXError e;
    e.SetUserErrorArgs(80065, "a.txt", "b.txt");
    EXPECT_STREQ(e.pszGetUserMessage(), "Copying the file <a.txt> to <b.txt> failed.");
    qvstd::SetInterfaceLanguage(12);
    CXError f(80022, 42);
    EXPECT_STREQ(f.pszGetUserMessage(),
                 "Le num\xE9ro de fichier <42> est invalide : aucun fichier n'est ouvert sous ce num\xE9ro.");
}

TEST_F(ErrorObject, UnknownCodeGivesLevelThreeAndADebugMessage) {
    CXError e;
    e.SetUserErrorArgs(80000, 1);
    EXPECT_EQ(e.eGetErrorLevel(), 3u);
    EXPECT_STREQ(e.pszGetUserMessage(), "");
    EXPECT_EQ(e.nGetUserError(), 0);
    EXPECT_STREQ(e.pszGetDebugMessage(),
                 "##(CXError)-Pas de d\xE9"
                 "finition d'erreur dans gstErrorDef pour l'identifiant <80000>##");
}

TEST_F(ErrorObject, LevelOneDefinitionsLeaveNoError) {
    for (int nCode : {80160, 80182}) {
        CXError e;
        e.SetUserErrorArgs(nCode);
        EXPECT_FALSE(e.bIsError()) << nCode;
        EXPECT_STREQ(e.pszGetUserMessage(), "") << nCode;
    }
}

TEST_F(ErrorObject, CodesWithoutMessageKeepAnEmptyUserMessage) {
    CXError e;
    e.SetUserErrorArgs(80001);
    EXPECT_EQ(e.eGetErrorLevel(), 3u);
    EXPECT_EQ(e.nGetUserError(), 80001);
    EXPECT_STREQ(e.pszGetUserMessage(), "");
    EXPECT_EQ(e.nNumErrorId(), 0);
}

TEST_F(ErrorObject, ReadyMessageAndExplicitLevel) {
    CXError e;
    e.SetUserError(80020, "100% done in %s", 3);
    EXPECT_STREQ(e.pszGetUserMessage(), "100% done in %s");
    EXPECT_EQ(e.eGetErrorLevel(), 3u);
    EXPECT_EQ(e.nGetUserError(), 80020);
    // Without a message: the code's text, as it stands, at the row's level.
    struct Case {
        int nCode;
        const char* pszMessage;
        uint32_t eLevel;
        const char* pszAttendu;
        uint32_t eLevelAttendu;
    };
    const Case cas[] = {
        {80065, nullptr, 0, "Copying the file <%1$s> to <%2$s> failed.", 2},
        {80065, "", 0, "Copying the file <%1$s> to <%2$s> failed.", 2},
        {80022, "", 0, "Invalid file handle <%1$d>: no file is open under this handle.", 3},
        {80022, "", 2, "Invalid file handle <%1$d>: no file is open under this handle.", 2},
        {80000, "", 0, "", 2},
        {80160, "", 0, "", 1},
        {80160, "x", 3, "x", 3},
    };
    for (const Case& c : cas) {
        e.SetUserError(c.nCode, c.pszMessage, c.eLevel);
        EXPECT_STREQ(e.pszGetUserMessage(), c.pszAttendu) << c.nCode;
        EXPECT_EQ(e.eGetErrorLevel(), c.eLevelAttendu) << c.nCode;
    }
    e.SetUserErrorMessage(80022, "ready %1$d text");
    EXPECT_STREQ(e.pszGetUserMessage(), "ready %1$d text");
    EXPECT_EQ(e.eGetErrorLevel(), 3u);
}

TEST_F(ErrorObject, UserMessagesJoinInOrder) {
    CXError e;
    e.AddUserMessage("A");
    e.AddUserMessage("B");
    EXPECT_STREQ(e.pszGetUserMessage(), "A\r\nB");
    CXError f;
    f.AddUserMessage("A");
    f.AddUserMessageFirst("B");
    EXPECT_STREQ(f.pszGetUserMessage(), "B\r\nA");
    // Numbered messages, formatted.
    CXError g;
    g.AddUserMessage(28139, "x.txt");
    g.AddUserMessageFirst(28204);
    g.AddUserMessage(28003, "y.txt");
    EXPECT_STREQ(g.pszGetUserMessage(),
                 "Monday\r\nThe file <x.txt> could not be opened.\r\nError while reading the file <y.txt>.");
    ASSERT_EQ(g.nNumErrorId(), 3);
    EXPECT_EQ(g.nGetErrorId(0), 28139);
    EXPECT_EQ(g.nGetErrorId(1), 28204);
    EXPECT_EQ(g.nGetErrorId(2), 28003);
    EXPECT_EQ(g.nGetErrorId(3), 0);
    EXPECT_EQ(g.nGetErrorId(-1), 0);
    g.RAZUserMessage();
    EXPECT_STREQ(g.pszGetUserMessage(), "");
}

TEST_F(ErrorObject, ReadyTextsAreNeverReadAsFormats) {
    CXError e;
    e.AddUserMessage("C:/100%s/%n%d.txt");
    e.AddUserMessageFirst("%1$s");
    e.AddUserMessageNoFormat("%%");
    EXPECT_STREQ(e.pszGetUserMessage(), "%1$s\r\nC:/100%s/%n%d.txt\r\n%%");
    e.AddDebugMessageFirst("%s first");
    e.AddDebugMessageNoFormat("%d last");
    EXPECT_STREQ(e.pszGetDebugMessage(), "%s first\r\n%d last");
}

TEST_F(ErrorObject, MessageThatCannotBeLoaded) {
    CXError e;
    e.AddUserMessage("kept");
    e.AddUserMessage(424242, 1);
    EXPECT_STREQ(e.pszGetUserMessage(), "kept");
    EXPECT_STREQ(e.pszGetDebugMessage(), "##(CXError)-Ressource <424242> non charg\xE9" "e##");
    EXPECT_EQ(e.nNumErrorId(), 1);   // ready texts carry no number
    EXPECT_EQ(e.nGetErrorId(0), 424242);
}

TEST_F(ErrorObject, DebugMessages) {
    CXError e;
    e.AddDebugMessage("##(IXStream)-Handle=<%1$d>##", 5);
    e.AddDebugMessage("##(IXStream)-A lire=<%1$u>, lu=<%2$u>##", 10u, 4u);
    e.AddDebugMessage("##(IXStream)-Access=<%1!x!>##", 0x42);
    EXPECT_STREQ(e.pszGetDebugMessage(),
                 "##(IXStream)-Handle=<5>##\r\n##(IXStream)-A lire=<10>, lu=<4>##\r\n##(IXStream)-Access=<42>##");
    CXError f;
    f.AddDebugMessage(28204);
    EXPECT_STREQ(f.pszGetDebugMessage(), "Monday");
}

TEST_F(ErrorObject, SystemError) {
    CXError e;
    e.SetSystemError(ENOENT);
    EXPECT_EQ(e.nGetSystemError(), ENOENT);
    EXPECT_EQ(e.dwGetSystemErrorCode(), static_cast<uint32_t>(ENOENT));
    EXPECT_STREQ(e.pszGetSystemErrorMessage(), strerror(ENOENT));
    e.SetSystemError(0);
    EXPECT_STREQ(e.pszGetSystemErrorMessage(), "");
    e.SetSystemErrorMessage(5, "code <%1$d>", 9);
    EXPECT_EQ(e.nGetSystemError(), 5);
    EXPECT_STREQ(e.pszGetSystemErrorMessage(), "code <9>");
    e.SetSystemErrorMessageId(28139, "z");
    EXPECT_STREQ(e.pszGetSystemErrorMessage(), "The file <z> could not be opened.");
    e.SetSystemErrorMessageId(424242);
    EXPECT_STREQ(e.pszGetSystemErrorMessage(), "##(CXError)-Ressource <424242> non charg\xE9" "e##");
    e.SetErrorNoMemory();
    EXPECT_EQ(e.nGetSystemError(), 12);
    EXPECT_STREQ(e.pszGetUserMessage(), "Not enough memory.");
}

TEST_F(ErrorObject, ContextOfTheFailure) {
    CXError e;
    e.SetFunctionName("fOuvre", 2);
    EXPECT_STREQ(e.pszGetFunctionName(), "fOuvre");
    EXPECT_EQ(e.nGetFunctionSyntax(), 2);
    e.SetVMContext("Click BTN", "FEN_Main", 12, 3);
    EXPECT_STREQ(e.pszGetTraitmentCaption(), "Click BTN");
    EXPECT_STREQ(e.pszGetObjectName(), "FEN_Main");
    EXPECT_EQ(e.wGetTraitmentLine(), 12);
    EXPECT_EQ(e.wGetTraitmentThread(), 3);
    e.SetBatchOperation(4);
    EXPECT_EQ(e.nGetUserErrorCode55(), 4);
    e.SetUserErrorCode55(9);
    EXPECT_EQ(e.nGetBatchOperation(), 9);
}

TEST_F(ErrorObject, InformationItems) {
    CXError e;
    EXPECT_TRUE(e.AddInfo(EIT_SRCFILE, "a.txt"));
    EXPECT_TRUE(e.AddInfo(EIT_SRCFILE, "b.txt"));   // replaces
    EXPECT_TRUE(e.AddInfo(EIT_RECNUM, static_cast<int64_t>(1) << 40));
    EXPECT_TRUE(e.AddInfo(EIT_BASECODE, -7));
    EXPECT_TRUE(e.AddInfo(EIT_DSTFILEUNICODE, L"w.txt"));
    // Kinds stored another way are refused.
    EXPECT_FALSE(e.AddInfo(EIT_SRCFILE, 5));
    EXPECT_FALSE(e.AddInfo(EIT_BASECODE, "text"));
    EXPECT_FALSE(e.AddInfo(static_cast<eERRORINFOTYPE>(36), "text"));
    EXPECT_EQ(e.nNumInfo(), 4);
    const _stERRORINFO* pst = nullptr;
    ASSERT_TRUE(e.bGetInfo(EIT_SRCFILE, &pst));
    EXPECT_STREQ(pst->pszValeur, "b.txt");
    ASSERT_TRUE(e.bGetInfo(EIT_RECNUM, &pst));
    EXPECT_EQ(pst->llValeur, static_cast<int64_t>(1) << 40);
    eERRORINFOTYPE eType = EIT_NONE;
    ASSERT_TRUE(e.GetInfo(1, &eType, &pst));
    EXPECT_EQ(eType, EIT_RECNUM);
    EXPECT_FALSE(e.GetInfo(4, &eType, &pst));
    EXPECT_FALSE(e.GetInfo(-1, &eType, &pst));
    e.DeleteInfo(EIT_RECNUM);
    EXPECT_EQ(e.nNumInfo(), 3);
    EXPECT_FALSE(e.bGetInfo(EIT_RECNUM, &pst));
}

TEST_F(ErrorObject, ObjectItemsAreCountedAndReleased) {
    bool bPremier = false;
    bool bSecond = false;
    auto* p1 = new CSuivi(&bPremier);
    auto* p2 = new CSuivi(&bSecond);
    {
        CXError e;
        e.AddInfo(EIT_DATAACCESS, static_cast<CQVUnknown*>(p1));
        EXPECT_EQ(p1->nGetRef(), 2);
        e.AddInfo(EIT_DATAACCESS, static_cast<CQVUnknown*>(p2));   // releases the first
        EXPECT_EQ(p1->nGetRef(), 1);
        CXError f(e);
        EXPECT_EQ(p2->nGetRef(), 3);
    }
    EXPECT_EQ(p2->nGetRef(), 1);
    p1->Release();
    p2->Release();
    EXPECT_TRUE(bPremier);
    EXPECT_TRUE(bSecond);
}

TEST_F(ErrorObject, FlagsShareOneItem) {
    CXError e;
    e.SetErreurDroit();
    e.SetErreurDroit();
    e.SansTraitementAutomatique();
    EXPECT_EQ(e.nNumInfo(), 1);
    EXPECT_TRUE(e.bErreurDroit());
    EXPECT_TRUE(e.bSansTraitementAutomatique());
    EXPECT_FALSE(e.bErreurSOAPServeur());
    e.SetErreurDroit(false);
    EXPECT_FALSE(e.bErreurDroit());
    EXPECT_TRUE(e.bSansTraitementAutomatique());

    CXError f;
    f.SetSystemError(EACCES);
    f.SetErreurDroitOnSystemError(ENOENT);
    EXPECT_FALSE(f.bErreurDroit());
    f.SetErreurDroitOnSystemError(EACCES);
    EXPECT_TRUE(f.bErreurDroit());
}

TEST_F(ErrorObject, DumpInfoFormats) {
    struct Case {
        eERRORINFOTYPE eType;
        _stERRORINFO st;
        const char* pszAttendu;
    };
    _stERRORINFO txt{};
    txt.pszValeur = const_cast<char*>("x.fic");
    _stERRORINFO i8{};
    i8.llValeur = 123456789012LL;
    _stERRORINFO i4{};
    i4.nValeur = -5;
    _stERRORINFO w{};
    w.pwszValeur = const_cast<wchar_t*>(L"u.txt");
    const Case cas[] = {
        {EIT_SRCFILE, txt, "EIT_SRCFILE : <x.fic>"},
        {EIT_PILEZN, txt, "EIT_PILEZN :\r\nx.fic"},
        {EIT_DATEHEURE, txt, "EIT_DATEHEURE : x.fic"},
        {EIT_RECNUM, i8, "EIT_RECNUM : <123456789012>"},
        {EIT_NATIVECODE, i4, "EIT_NATIVECODE : <-5>"},
        {EIT_XINFO, i4, "EIT_XINFO : <-5>"},
        {EIT_SRCFILEUNICODE, w, "EIT_SRCFILEUNICODE : <u.txt>"},
    };
    for (const Case& c : cas) {
        char* p = CXError::DumpInfo(c.eType, &c.st);
        ASSERT_NE(p, nullptr);
        EXPECT_STREQ(p, c.pszAttendu);
        free(p);
    }
    char* p = CXError::DumpInfo(EIT_NONE, &txt);
    EXPECT_STREQ(p, "");
    free(p);
}

TEST_F(ErrorObject, SubErrors) {
    CXError e;
    EXPECT_EQ(e.nGetNbSubError(), 0);
    EXPECT_EQ(e.pclGetSubError(0), nullptr);
    CXError a;
    a.AddUserMessage("first sub");
    e.AddUserMessage("main");
    e.AddSubError(&a);
    EXPECT_STREQ(a.pszGetUserMessage(), "first sub");   // copied, not moved
    EXPECT_STREQ(e.pszGetUserMessage(), "main\r\nfirst sub");
    CXError b;
    b.AddUserMessage("second sub");
    e.AddSubErrorLight(&b);
    EXPECT_STREQ(b.pszGetUserMessage(), "");   // moved
    EXPECT_STREQ(e.pszGetUserMessage(), "main\r\nfirst sub");   // only the first joins
    ASSERT_EQ(e.nGetNbSubError(), 2);
    EXPECT_STREQ(e.pclGetSubError(1)->pszGetUserMessage(), "second sub");
    EXPECT_EQ(e.pclGetSubError(-1), nullptr);
    EXPECT_EQ(e.pclGetSubError(2), nullptr);

    CXError f;
    CXError c;
    c.AddUserMessage("quiet");
    f.AddSubErrorLightNoUserMessage(&c);
    EXPECT_STREQ(f.pszGetUserMessage(), "");
    EXPECT_EQ(f.nGetNbSubError(), 1);
    f.DeleteAllSubError();
    EXPECT_EQ(f.nGetNbSubError(), 0);
    EXPECT_EQ(f.pclGetSubError(0), nullptr);
}

TEST_F(ErrorObject, LightCopyMovesAndClearsTheSource) {
    CXError s;
    s.SetUserErrorArgs(80022, 3);
    s.AddDebugMessageNoFormat("dbg");
    s.SetFunctionName("fLit", 1);
    s.SetSystemError(EBADF);
    s.AddInfo(EIT_SRCFILE, "s.txt");
    CXError sub;
    sub.AddUserMessage("sub");
    s.AddSubError(&sub);

    CXError d;
    d.AddUserMessage("old");
    d.LightCopy(s);
    EXPECT_EQ(d.eGetErrorLevel(), 3u);
    EXPECT_EQ(d.nGetUserError(), 80022);
    EXPECT_EQ(d.nGetDetailId(), 1);
    EXPECT_STREQ(d.pszGetDebugMessage(), "dbg");
    EXPECT_STREQ(d.pszGetFunctionName(), "fLit");
    EXPECT_EQ(d.nGetSystemError(), EBADF);
    EXPECT_EQ(d.nNumInfo(), 1);
    EXPECT_EQ(d.nNumErrorId(), 1);
    EXPECT_EQ(d.nGetNbSubError(), 1);
    EXPECT_EQ(std::string(d.pszGetUserMessage()).find("old"), std::string::npos);

    EXPECT_FALSE(s.bIsError());
    EXPECT_EQ(s.nGetUserError(), 0);
    EXPECT_STREQ(s.pszGetUserMessage(), "");
    EXPECT_STREQ(s.pszGetDebugMessage(), "");
    EXPECT_EQ(s.nNumInfo(), 0);
    EXPECT_EQ(s.nNumErrorId(), 0);
    EXPECT_EQ(s.nGetNbSubError(), 0);
    EXPECT_STREQ(s.pszGetInternalModule(), "qv150std.so");
    // The emptied source is usable again.
    s.AddUserMessage("again");
    EXPECT_STREQ(s.pszGetUserMessage(), "again");
    d.LightCopy(d);
    EXPECT_EQ(d.nGetUserError(), 80022);
}

TEST_F(ErrorObject, CopyKeepsTheSource) {
    CXError s;
    s.SetUserErrorArgs(80065, "a", "b");
    s.AddInfo(EIT_DSTFILE, "b");
    CXError sub;
    sub.AddUserMessage("sub");
    s.AddSubError(&sub);
    CXError d;
    d.Copy(s);
    EXPECT_STREQ(d.pszGetUserMessage(), s.pszGetUserMessage());
    EXPECT_EQ(d.nGetUserError(), 80065);
    EXPECT_EQ(d.nNumInfo(), 1);
    EXPECT_EQ(d.nGetNbSubError(), 1);
    EXPECT_NE(d.pclGetSubError(0), s.pclGetSubError(0));
    EXPECT_TRUE(s.bIsError());
    EXPECT_EQ(s.nNumInfo(), 1);
    CXError m(&s, true);
    EXPECT_EQ(m.nGetUserError(), 80065);
    EXPECT_FALSE(s.bIsError());
    CXError n(static_cast<CXError*>(nullptr), false);
    EXPECT_FALSE(n.bIsError());
}

TEST_F(ErrorObject, ConstructorsFromACode) {
    CXError e("##debug %1$s##", 80065, "a", "b");
    EXPECT_EQ(e.nGetUserError(), 80065);
    EXPECT_STREQ(e.pszGetUserMessage(), "Copying the file <a> to <b> failed.");
    EXPECT_STREQ(e.pszGetDebugMessage(), "##debug %1$s##");
    auto* p = new CXError(80041);
    EXPECT_EQ(p->dwRelease(), 0u);
}

}  // namespace
