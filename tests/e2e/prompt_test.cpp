// The prompt through the qvhost executable, its standard input a pipe: calls
// written as the language writes them, nested calls, variables, the
// component's constants, the host's commands, and faults that name their
// number, or their column, while the session goes on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_common.h"

namespace {

struct STCasInvite {
    const char* pszCas;
    std::vector<std::string> tabOptions;   // before --prompt
    std::string sEntree;                   // the lines typed
    int nStatut;
    std::string sSortie;                   // exact stdout
    std::vector<std::string> tabErreurs;   // lines of stderr, in order
};

std::vector<std::string> Lignes(const std::string& s) {
    std::vector<std::string> tab;
    size_t nDebut = 0;
    while (nDebut < s.size()) {
        size_t nFin = s.find('\n', nDebut);
        if (nFin == std::string::npos) nFin = s.size();
        tab.push_back(s.substr(nDebut, nFin - nDebut));
        nDebut = nFin + 1;
    }
    return tab;
}

const std::string k_sCheminAbsent = "/nonexistent-qvhost-dir/f.ini";

TEST(Prompt, Sessions) {
    const STCasInvite tabCas[] = {
        {"calls", {}, "Max(\"b\", \"a\", \"c\")\nMin(4, -2, 9)\nEstPair(4)\n", 0, "c\n-2\ntrue\n", {}},
        {"date with a French mask", {}, "DateVersCha\xC3\xAEne(20240331, \"JJJJ JJ MMMM AAAA\")\n", 0,
         "Dimanche 31 Mars 2024\n", {}},
        {"English names and mask", {"--lang", "en"}, "DateToString(20240331, \"DDDD DD MMMM YYYY\")\n", 0,
         "Sunday 31 March 2024\n", {}},
        {"nested calls", {}, "EstPair(Max(3, 12))\nMax(Min(5, 9), Min(7, 8))\n", 0, "true\n7\n", {}},
        {"literals", {}, "\"say \"\"hi\"\"\"\nVrai\nfaux\nTRUE\n-12\n2.5\n1e3\n(7)\n", 0,
         "say \"hi\"\ntrue\nfalse\ntrue\n-12\n2.5\n1000\n7\n", {}},
        {"variables", {}, "x = Max(3, 12)\nx\nMin(X, 5)\nt = \"abc\"\nt\nx = -x\nx\n", 0, "12\n5\nabc\n-12\n", {}},
        {"constants by name", {}, "smeErreurFichier\nsmeOpenFileError\nMax(smeErreurFichier, 1)\n", 0,
         "32768\n32768\n32768\n", {}},
        {"the component's variables", {}, "Service.Description\n", 0, "\n", {}},
        {"binary results", {}, "Compresse(\"hello hello hello\")\nD\xC3\xA9" "compresse(Compresse(\"hello hello hello\"))\n", 0,
         "binary, 31 bytes, Base64: AQEAAAAAFQAAABEAAABoZWxsbyBoZWxsbyBoZWxsbw==\n"
         "binary, 17 bytes, Base64: aGVsbG8gaGVsbG8gaGVsbG8=\n",
         {}},
        {"blank lines and comments", {}, "\n   \n// nothing\nEstPair(2) // even\n", 0, "true\n", {}},
        {"error in French", {}, "INIEcrit(\"a\", \"k\", \"v\", \"" + k_sCheminAbsent + "\")\nEstPair(2)\n", 1, "true\n",
         {"error 80294: Impossible d'\xC3\xA9" "crire dans le fichier <" + k_sCheminAbsent + ">."}},
        {"error in English after .lang en", {}, ".lang en\nINIWrite(\"a\", \"k\", \"v\", \"" + k_sCheminAbsent + "\")\n.lang\n", 1,
         "en\n", {"error 80294: Cannot write to the file <" + k_sCheminAbsent + ">."}},
        {"syntax errors name their column", {},
         "Max(1,\nMax(1 2)\n\"abc\nMax(1, 2))\nMax(1, 2) = 3\nMax(1, #)\nDateVersCha\xC3\xAEne(1, \xC3\xA9)\n12abc\nVrai = 1\nEstPair(2)\n",
         1, "true\n",
         {"syntax error at column 7: expected a value, found end of line",
          "syntax error at column 7: expected \",\" or \")\", found number 2",
          "syntax error at column 1: the text has no closing quote",
          "syntax error at column 10: unexpected \")\" after the expression",
          "syntax error at column 11: \"=\" assigns to a name only at the start of a line",
          "syntax error at column 8: unexpected character #",
          "error at column 19: unknown name \xC3\xA9 (not a variable of the prompt, nor a constant or variable of the component)",
          "syntax error at column 3: a number runs into a name",
          "syntax error at column 1: Vrai is a constant, not a variable"}},
        {"host errors", {}, "PasUneFonction(1)\nEstPair(\"x\")\nEstPair()\ninconnue\n-\"a\"\n.bogus\n.lang de\nEstPair(0)\n", 1,
         "true\n",
         {"error: unknown function PasUneFonction",
          "error: EstPair: argument 1: not an integer (int argument): \"x\"",
          "error: EstPair: overload 0 takes (int), 0 given",
          "error at column 1: unknown name inconnue (not a variable of the prompt, nor a constant or variable of the component)",
          "error at column 1: \"-\" needs a number",
          "error: unknown command .bogus (.help lists them)",
          "error: language must be \"fr\" or \"en\""}},
        {"a failed nested call stops the line", {}, "y = EstPair(Max(1, \"x\", PasUneFonction(2)))\ny\n", 1, "",
         {"error: unknown function PasUneFonction",
          "error at column 1: unknown name y (not a variable of the prompt, nor a constant or variable of the component)"}},
        {".list", {}, ".list estpair\n.list --constants smeOpenFileError\n.list PasUneFonctionDuTout\n", 0,
         "EstPair / IsEven\n    EstPair(integer): boolean\nsmeErreurFichier / smeOpenFileError = 32768\n"
         "nothing matches PasUneFonctionDuTout\n",
         {}},
        {".quit ends the session", {}, "EstPair(2)\n.quit\nEstPair(4)\n", 0, "true\n", {}},
        {"a last line without its end", {}, "EstImpair(3)", 0, "true\n", {}},
    };
    for (const auto& st : tabCas) {
        std::vector<std::string> tabArgs = {"--module", QV_MODULE_PATH};
        tabArgs.insert(tabArgs.end(), st.tabOptions.begin(), st.tabOptions.end());
        tabArgs.push_back("--prompt");
        e2e::STSortie stS = e2e::LanceHote(tabArgs, st.sEntree);
        EXPECT_EQ(stS.nStatut, st.nStatut) << st.pszCas << "\nstderr: " << stS.sErr;
        EXPECT_EQ(stS.sOut, st.sSortie) << st.pszCas;
        EXPECT_EQ(Lignes(stS.sErr), st.tabErreurs) << st.pszCas;
    }
}

TEST(Prompt, HelpAndNesting) {
    e2e::STSortie st = e2e::LanceHote({"--module", QV_MODULE_PATH, "--prompt"}, ".help\n");
    EXPECT_EQ(st.nStatut, 0) << st.sErr;
    for (const char* psz : {".lang fr|en", ".list [PATTERN]", ".quit", "Max(\"b\", \"a\", \"c\")"})
        EXPECT_NE(st.sOut.find(psz), std::string::npos) << psz;

    // Deeper than the prompt reads: a syntax error, not a deep recursion.
    std::string sProfond;
    for (int i = 0; i < 100000; ++i) sProfond += "Max(";
    st = e2e::LanceHote({"--module", QV_MODULE_PATH, "--prompt"}, sProfond + "\n" + std::string(100000, '-') + "1\nEstPair(2)\n");
    EXPECT_EQ(st.nStatut, 1);
    EXPECT_EQ(st.sOut, "true\n");
    EXPECT_EQ(Lignes(st.sErr), (std::vector<std::string>{"syntax error at column 257: nested deeper than 64 levels",
                                                         "syntax error at column 65: nested deeper than 64 levels"}));
}

TEST(Prompt, OptionsThatDoNotGoTogether) {
    const std::vector<std::vector<std::string>> tabCas = {
        {"--prompt", "EstPair", "2"}, {"--prompt", "--jsonl"}, {"--list", "--prompt"}};
    for (const auto& tab : tabCas) {
        std::vector<std::string> tabArgs = {"--module", QV_MODULE_PATH};
        tabArgs.insert(tabArgs.end(), tab.begin(), tab.end());
        EXPECT_EQ(e2e::LanceHote(tabArgs, "EstPair(2)\n").nStatut, 2) << tab[0] << " " << tab[1];
    }
}

}  // namespace
