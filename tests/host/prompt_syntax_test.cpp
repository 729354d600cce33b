// The prompt's reading of a line (the tree it builds, the column its faults
// name), the listing's name patterns, and the words and values a person
// reads and types on the command line.
#include <gtest/gtest.h>

#include <string>

#include "../../host/listing.h"
#include "../../host/prompt_syntax.h"
#include "../../host/values.h"

using namespace qvhost;

namespace {

// The tree in a compact form: literals as JSON, names bare, calls with their
// arguments, "-(...)" for a negation.
std::string Forme(const STExpression& st) {
    switch (st.eT) {
        case STExpression::eType::VALEUR: return st.jValeur.dump();
        case STExpression::eType::NOM: return st.sNom;
        case STExpression::eType::OPPOSE: return "-(" + Forme(st.tabArgs[0]) + ")";
        case STExpression::eType::APPEL: {
            std::string s = st.sNom + "(";
            for (size_t i = 0; i < st.tabArgs.size(); ++i) s += (i ? "," : "") + Forme(st.tabArgs[i]);
            return s + ")";
        }
    }
    return "?";
}

struct STCasLigne {
    const char* pszLigne;
    const char* pszForme;     // "name = tree", the tree, "" for nothing to run; null when refused
    const char* pszErreur;    // the fault when refused
};

TEST(PromptSyntax, Lines) {
    const STCasLigne tabCas[] = {
        {"Max(\"b\", \"a\", \"c\")", "Max(\"b\",\"a\",\"c\")", nullptr},
        {"DateVersCha\xC3\xAEne(20240331, \"JJJJ\")", "DateVersCha\xC3\xAEne(20240331,\"JJJJ\")", nullptr},
        {"  F ( G ( 1 ) , H() )  ", "F(G(1),H())", nullptr},
        {"x = Max(3, 12)", "x = Max(3,12)", nullptr},
        {"x=-x", "x = -(x)", nullptr},
        {"\"a\"\"b\"", "\"a\\\"b\"", nullptr},
        {"\"\"", "\"\"", nullptr},
        {"Vrai", "true", nullptr},
        {"faux", "false", nullptr},
        {"True(1)", "True(1)", nullptr},          // followed by "(", a call
        {"-12", "-12", nullptr},
        {"+12", "12", nullptr},
        {"--3", "3", nullptr},
        {"-9223372036854775808", "-9223372036854775808", nullptr},
        {"9223372036854775808", "9223372036854775808", nullptr},
        {"99999999999999999999", "1e+20", nullptr},
        {"2.5", "2.5", nullptr},
        {".5", "0.5", nullptr},
        {"1e3", "1000.0", nullptr},
        {"1E-2", "0.01", nullptr},
        {"Service.Description", "Service.Description", nullptr},
        {"_x1", "_x1", nullptr},
        {"", "", nullptr},
        {"   // only a comment", "", nullptr},
        {"F(\"// not a comment\") // a comment", "F(\"// not a comment\")", nullptr},
        {"Max(1,", nullptr, "column 7: expected a value, found end of line"},
        {"Max(1 2)", nullptr, "column 7: expected \",\" or \")\", found number 2"},
        {"Max(1,,2)", nullptr, "column 7: expected a value, found \",\""},
        {"  \"abc", nullptr, "column 3: the text has no closing quote"},
        {"\xC3\xA9\xC3\xA9 \"abc", nullptr, "column 4: the text has no closing quote"},   // columns count characters
        {"Max(1, 2))", nullptr, "column 10: unexpected \")\" after the expression"},
        {"F() = 3", nullptr, "column 5: \"=\" assigns to a name only at the start of a line"},
        {"x = ", nullptr, "column 5: expected a value, found end of line"},
        {"x = y = 2", nullptr, "column 7: \"=\" assigns to a name only at the start of a line"},
        {"Faux = 1", nullptr, "column 1: Faux is a constant, not a variable"},
        {"F(#)", nullptr, "column 3: unexpected character #"},
        {"F(\xE2\x82\xAC)", "F(\xE2\x82\xAC)", nullptr},   // a name: letters beyond ASCII are the language's
        {"F(\xFF)", nullptr, "column 1: the line is not valid UTF-8"},
        {"12abc", nullptr, "column 3: a number runs into a name"},
        {"1.2.3", nullptr, "column 4: a number runs into a name"},
        {"1e999", nullptr, "column 1: the number 1e999 is out of range"},
        {"(1", nullptr, "column 3: expected \")\", found end of line"},
        {"=", nullptr, "column 1: expected a value, found \"=\""},
    };
    for (const auto& st : tabCas) {
        STInstruction stI;
        std::string sErreur;
        bool bOk = bAnalyseInstruction(st.pszLigne, stI, sErreur);
        ASSERT_EQ(bOk, st.pszForme != nullptr) << st.pszLigne << ": " << sErreur;
        if (!bOk) {
            EXPECT_EQ(sErreur, st.pszErreur) << st.pszLigne;
            continue;
        }
        std::string sForme = stI.bVide ? "" : (stI.bAffectation ? stI.sVariable + " = " : "") + Forme(stI.stExpr);
        EXPECT_EQ(sForme, st.pszForme) << st.pszLigne;
    }
}

TEST(PromptSyntax, ColumnsOfValues) {
    STInstruction stI;
    std::string sErreur;
    ASSERT_TRUE(bAnalyseInstruction("x = F(\xC3\xA9t\xC3\xA9, G(y))", stI, sErreur)) << sErreur;
    EXPECT_EQ(stI.stExpr.nColonne, 5u);
    ASSERT_EQ(stI.stExpr.tabArgs.size(), 2u);
    EXPECT_EQ(stI.stExpr.tabArgs[0].nColonne, 7u);
    EXPECT_EQ(stI.stExpr.tabArgs[1].nColonne, 12u);
    EXPECT_EQ(stI.stExpr.tabArgs[1].tabArgs[0].nColonne, 14u);
}

TEST(PromptSyntax, NestingIsBounded) {
    const struct {
        size_t nNiveaux;
        bool bOk;
    } tabCas[] = {{k_nImbricationInviteMax - 1, true}, {k_nImbricationInviteMax, false}, {100000, false}};
    for (const auto& st : tabCas) {
        for (const char* pszOuvre : {"F(", "(", "-"}) {
            std::string s;
            for (size_t i = 0; i < st.nNiveaux; ++i) s += pszOuvre;
            s += "1";
            if (pszOuvre[0] != '-') s += std::string(st.nNiveaux, ')');
            STInstruction stI;
            std::string sErreur;
            EXPECT_EQ(bAnalyseInstruction(s, stI, sErreur), st.bOk) << pszOuvre << " x" << st.nNiveaux;
            if (!st.bOk) {
                EXPECT_NE(sErreur.find("nested deeper than 64 levels"), std::string::npos) << sErreur;
            }
        }
    }
}

TEST(PromptSyntax, QuotedTexts) {
    const std::pair<const char*, const char*> tabCas[] = {{"", "\"\""}, {"abc", "\"abc\""}, {"a\"b", "\"a\"\"b\""}, {"\"", "\"\"\"\""}};
    for (const auto& [pszTexte, pszEcrit] : tabCas) {
        EXPECT_EQ(TexteEntreGuillemets(pszTexte), pszEcrit);
        // What is written reads back as the same text.
        STInstruction stI;
        std::string sErreur;
        ASSERT_TRUE(bAnalyseInstruction(pszEcrit, stI, sErreur)) << sErreur;
        EXPECT_EQ(stI.stExpr.jValeur, json(pszTexte));
    }
}

TEST(Listing, NamePatterns) {
    const struct {
        const char* pszMotif;
        const char* pszNom;
        bool bCorrespond;
    } tabCas[] = {
        {"", "EstPair", true},
        {"pair", "EstPair", true},
        {"ESTP", "EstPair", true},
        {"chaine", "DateVersCha\xC3\xAEne", true},
        {"CHA\xC3\x8ENE", "DateVersChaine", true},
        {"impair", "EstPair", false},
        {"Est*", "EstPair", true},
        {"*pair", "EstPair", true},
        {"*pai", "EstPair", false},           // wildcards cover the whole name
        {"E?tPair", "EstPair", true},
        {"E?Pair", "EstPair", false},
        {"*", "", true},
        {"?", "", false},
        {"**a**b**", "xaYb", true},
        {"*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaac", false},
    };
    for (const auto& st : tabCas)
        EXPECT_EQ(bNomCorrespond(st.pszMotif, st.pszNom), st.bCorrespond) << st.pszMotif << " / " << st.pszNom;
}

TEST(CommandLineWords, ForArgumentsOfKindAny) {
    const std::pair<const char*, json> tabCas[] = {
        {"3.14159", 3.14159},
        {"42", 42},
        {"-7", -7},
        {" 12 ", 12},
        {"1e3", 1000.0},
        {"99999999999999999999", 1e20},
        {"1e999", "1e999"},        // out of range: stays a text
        {"abc", "abc"},
        {"%5.2f", "%5.2f"},
        {"0x10", "0x10"},
        {"", ""},
        {"\"3.14159\"", "3.14159"},
        {"\"\"", ""},
        {"\"a \"\"b\"\"\"", "a \"b\""},
        {"\"a\"b\"", "\"a\"b\""},  // a lone quote inside: the word as it is
        {"\"x", "\"x"},
        {"\"", "\""},
    };
    for (const auto& [pszMot, jAttendu] : tabCas) {
        EXPECT_EQ(MotVersValeur(pszMot), jAttendu) << pszMot;
    }
}

TEST(CommandLineWords, ValuesAsPeopleReadThem) {
    const std::pair<json, const char*> tabCas[] = {
        {"abc", "abc"},
        {true, "true"},
        {false, "false"},
        {12, "12"},
        {2.5, "2.5"},
        {12.0, "12"},
        {nullptr, ""},
        {json{{"bin", "aGk="}}, "binary, 2 bytes, Base64: aGk="},
        {json{{"bin", ""}}, "binary, 0 bytes, Base64: "},
        {json{{"bin", "AA=="}}, "binary, 1 byte, Base64: AA=="},
        {json{{"bin", "***"}}, "{\"bin\":\"***\"}"},
        {json{{"cur", "1.5"}}, "{\"cur\":\"1.5\"}"},
    };
    for (const auto& [jValeur, pszTexte] : tabCas) {
        EXPECT_EQ(JsonVersTexte(jValeur), pszTexte) << jValeur.dump();
    }
}

// At the prompt, values convert as the language converts them where no
// declared kind fits better; JSON requests stay strict.
TEST(CommandLineWords, PromptConversions) {
    const struct {
        json jValeur;
        eKind eK;
        bool bInvite;
        bool bOk;
        int32_t n4;
    } tabCas[] = {
        {12.0, eKind::INT, true, true, 12},
        {-7.9, eKind::INT, true, true, -7},
        {12.0, eKind::INT, false, false, 0},
        {1e30, eKind::INT, true, false, 0},
        {5, eKind::TEXT, true, true, 0},
        {5, eKind::TEXT, false, false, 0},
    };
    for (const auto& st : tabCas) {
        CArg clArg;
        int nScore = 0;
        std::string sErreur;
        EXPECT_EQ(bConvertit(st.jValeur, st.eK, false, eCharset::CP1252, clArg, nScore, sErreur, st.bInvite), st.bOk)
            << st.jValeur.dump() << " " << pszKindName(st.eK) << " " << st.bInvite;
        if (st.bOk && st.eK == eKind::INT) {
            EXPECT_EQ(clArg.m_n4, st.n4);
        }
        if (st.bOk) {
            EXPECT_EQ(nScore, 1);   // never preferred over a kind that fits
        }
    }
}

}  // namespace
