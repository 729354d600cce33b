// Max, Min and VerifieExpressionReguliere through the host: arguments after
// the declared ones reach the component as variants, captured groups reach
// the caller's variables.
#include <gtest/gtest.h>

#include "e2e_common.h"

using e2e::json;

namespace {

TEST(VariantE2E, MaxAndMinOfTexts) {
    struct STCas {
        const char* pszNom;
        std::vector<json> tabArgs;
        json jAttendu;
    };
    const STCas tabCas[] = {
        {"Max", {"b", "a", "c"}, "c"},
        {"Min", {"b", "a", "c"}, "a"},
        {"Max", {"only"}, "only"},
        {"Max", {"B", "a"}, "a"},                 // case-sensitive: lower case sorts after
        {"Min", {"abc", "ab"}, "ab"},
        {"Max", {"9", 10}, "9"},                  // compared as texts
        {"Max", {"a", nullptr}, "a"},             // nothing is the empty text
        {"Min", {"a", nullptr}, ""},
        {"Max", {"x", "\xC3\xA9t\xC3\xA9"}, "x"},       // the component's text order
        {"Min", {"x", "\xC3\xA9t\xC3\xA9"}, "\xC3\xA9t\xC3\xA9"},
        {"Max", {"a", true}, "a"},                // the boolean's text is "1"
    };
    for (const auto& st : tabCas) {
        json j = e2e::Appel(st.pszNom, st.tabArgs, 0);
        EXPECT_TRUE(j["error"].is_null()) << j.dump();
        EXPECT_EQ(j["type"], 0x13) << j.dump();
        EXPECT_EQ(j["value"], st.jAttendu) << st.pszNom << json(st.tabArgs).dump();
    }
}

TEST(VariantE2E, MaxAndMinOfReals) {
    struct STCas {
        const char* pszNom;
        std::vector<json> tabArgs;
        double rAttendu;
    };
    const STCas tabCas[] = {
        {"Min", {3.5, 2, 2.0}, 2},
        {"Max", {3.5, 2, 2.0}, 3.5},
        {"Max", {1.0, "12.5", -3}, 12.5},         // a text that reads as a number
        {"Min", {1.0, json{{"i8", -9000000000LL}}}, -9000000000.0},
        {"Max", {-1.0}, -1},
        {"Min", {0.5, json{{"cur", "0.25"}}}, 0.25},
        {"Max", {0.5, "not a number", 0.75}, 0.75},  // a text that is no number takes no part
    };
    for (const auto& st : tabCas) {
        json j = e2e::Appel(st.pszNom, st.tabArgs, 1);
        EXPECT_TRUE(j["error"].is_null()) << j.dump();
        EXPECT_EQ(j["type"], 0x0C) << j.dump();
        EXPECT_EQ(j["value"], st.rAttendu) << st.pszNom << json(st.tabArgs).dump();
    }
}

TEST(VariantE2E, OverloadChosenByTheFirstArgument) {
    EXPECT_EQ(e2e::Appel("Max", {"b", "a", "c"})["value"], "c");
    EXPECT_EQ(e2e::Appel("Min", {3.5, 2, 2.0})["value"], 2.0);
}

json Verifie(const std::vector<json>& tabArgs) { return e2e::Appel("VerifieExpressionReguliere", tabArgs); }

TEST(VariantE2E, RegularExpressionsStoreTheirGroups) {
    json j = Verifie({"12-345", "([0-9]+)-([0-9]+)", json{{"var", "a"}}, json{{"var", "b"}}});
    EXPECT_TRUE(j["error"].is_null()) << j.dump();
    EXPECT_EQ(j["value"], true);
    EXPECT_EQ(j["vars"]["a"], "12");
    EXPECT_EQ(j["vars"]["b"], "345");
    // An empty group stores the empty text.
    j = Verifie({"k=", "([a-z]+)=([a-z]*)", json{{"var", "k"}}, json{{"var", "v"}}});
    EXPECT_EQ(j["value"], true) << j.dump();
    EXPECT_EQ(j["vars"]["k"], "k");
    EXPECT_EQ(j["vars"]["v"], "");
    // Accented text keeps its characters.
    j = Verifie({"\xC3\xA9t\xC3\xA9", "(.)t(.)", json{{"var", "x"}}, json{{"var", "y"}}});
    EXPECT_EQ(j["vars"]["x"], "\xC3\xA9") << j.dump();
}

TEST(VariantE2E, RegularExpressionResultsAndErrors) {
    struct STCas {
        std::vector<json> tabArgs;
        bool bAttendu;
        int nErreur;   // 0: none
    };
    json a = {{"var", "a"}}, b = {{"var", "b"}}, c = {{"var", "c"}};
    const STCas tabCas[] = {
        {{"abc", "ab"}, false, 0},
        {{"abc", "ab.*"}, true, 0},
        {{"abc", ""}, true, 0},                                   // the empty pattern matches every text
        {{"", ""}, true, 0},
        {{"", "x*"}, true, 0},
        {{"12-345", "([0-9]+)-([0-9]+)", a}, false, 80501},      // fewer variables than groups
        {{"12-345", "([0-9]+)-([0-9]+)", a, b, c}, false, 80502}, // more
        {{"a", "(a)(b)?", a, b}, false, 80502},                   // a group that took no part
        {{"12-345", "([0-9]+)-([0-9]+)"}, true, 0},               // no variable: any number of groups
        {{"x", "(x", a}, false, 80500},
        {{"a)", "a)"}, true, 0},                                  // an unmatched ")" is literal
        {{"ab", "(a)(b)", a, "not a variable"}, true, 0},         // a position without a variable is skipped
        {{"ABC", "abc"}, false, 0},
        // Past the limits: the call fails with its own number, and the next
        // call answers as usual.
        {{"x", "a{1,32767}"}, false, 80503},
        {{std::string(3000, 'x'), "(.*)(.*)(.*)\\3\\2\\1"}, false, 80504},
        {{"abc", "ab.*"}, true, 0},
    };
    for (const auto& st : tabCas) {
        json j = Verifie(st.tabArgs);
        std::string sCas = json(st.tabArgs).dump();
        EXPECT_EQ(j["value"], st.bAttendu) << sCas << " " << j.dump();
        if (st.nErreur == 0) {
            EXPECT_TRUE(j["error"].is_null()) << sCas << " " << j.dump();
        } else {
            ASSERT_FALSE(j["error"].is_null()) << sCas;
            EXPECT_EQ(j["error"]["code"], st.nErreur) << sCas;
        }
    }
    json j = Verifie({"x", "(x", a});
    EXPECT_NE(j["error"]["debug"].get<std::string>().find("Valeur de retour d'analyse du format : -1"),
              std::string::npos)
        << j.dump();
}

TEST(VariantE2E, CommandLine) {
    e2e::STSortie st = e2e::LanceHote({"Max", "b", "a", "c"});
    EXPECT_EQ(st.nStatut, 0) << st.sErr;
    EXPECT_EQ(st.sOut, "c\n");
    st = e2e::LanceHote({"Min", "3.5", "2", "2.0"});
    EXPECT_EQ(st.nStatut, 0) << st.sErr;
    EXPECT_EQ(st.sOut, "2\n");
    st = e2e::LanceHote({"--jsonl"}, "{\"call\": \"MatchRegularExpression\", \"args\": [\"12-345\", "
                                      "\"([0-9]+)-([0-9]+)\", {\"var\": \"x\"}]}\n");
    EXPECT_EQ(st.nStatut, 0);
    json j = json::parse(st.sOut);
    EXPECT_EQ(j["value"], false);
    EXPECT_EQ(j["error"]["code"], 80501);
}

}  // namespace
