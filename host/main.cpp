// qvhost: the reference host. Loads the component, starts it as the
// language's virtual machine does, and calls one language function from the
// command line, or serves JSON-lines requests on stdin.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "session.h"

namespace {

const char k_szAide[] =
    "usage: qvhost [--lang fr|en] [--module PATH] FUNCTION [ARG...]\n"
    "       qvhost [--lang fr|en] [--module PATH] --jsonl\n"
    "\n"
    "Calls one function of the standard-functions component by its French or\n"
    "English name, with or without accents (DateVersChaîne, DateVersChaine,\n"
    "DateToString), and prints its result. The overload is chosen by the\n"
    "number of arguments, then by which arguments read as the declared kinds.\n"
    "Booleans print as true or false. On failure the error code and message go\n"
    "to stderr and the exit status is 1.\n"
    "\n"
    "  --lang fr|en   interface language (fr is the first language; default fr)\n"
    "  --module PATH  the component to load (default: the built qv150std.so)\n"
    "  --jsonl        read one JSON request per line on stdin, answer one line each\n"
    "  --help         this text\n"
    "\n"
    "Arguments that read as numbers are arguments, never options: both\n"
    "  qvhost EstPair -3      and      qvhost EstPair -- -3\n"
    "pass -3. After FUNCTION every word is an argument; a first \"--\" is skipped.\n"
    "Memory-address arguments (fLit, fEcrit, fEcritLigne on a buffer) name a\n"
    "host buffer, which only --jsonl can do: {\"addr\": {\"var\": NAME}}.\n";

bool bEstNombre(const std::string& s) {
    double r;
    return qvhost::bParseReel(s, r);
}

int Usage(const std::string& sMessage) {
    std::fprintf(stderr, "qvhost: %s\n\n%s", sMessage.c_str(), k_szAide);
    return 2;
}

int Principal(int argc, char** argv);

}  // namespace

// Whatever fails inside ends with a message and status 1, never with an
// uncaught exception.
int main(int argc, char** argv) {
    try {
        return Principal(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qvhost: the host failed: %s\n", e.what());
        return 1;
    }
}

namespace {

int Principal(int argc, char** argv) {
    std::string sModule = QV_DEFAULT_MODULE;
    std::string sLangue = "fr";
    bool bJsonl = false;
    std::string sFonction;
    bool bFonction = false;
    bool bTiretsVus = false;
    std::vector<qvhost::json> tabArgs;

    for (int i = 1; i < argc; ++i) {
        std::string s = argv[i];
        if (bFonction) {
            if (s == "--" && !bTiretsVus) {
                bTiretsVus = true;
                continue;
            }
            tabArgs.emplace_back(s);
            continue;
        }
        if (s == "--") {
            bTiretsVus = true;
            if (++i >= argc) return Usage("missing FUNCTION");
            sFonction = argv[i];
            bFonction = true;
        } else if (s == "--help" || s == "-h") {
            std::fputs(k_szAide, stdout);
            return 0;
        } else if (s == "--lang" || s == "--module") {
            if (++i >= argc) return Usage(s + " needs a value");
            (s == "--lang" ? sLangue : sModule) = argv[i];
        } else if (s.rfind("--lang=", 0) == 0) {
            sLangue = s.substr(7);
        } else if (s.rfind("--module=", 0) == 0) {
            sModule = s.substr(9);
        } else if (s == "--jsonl") {
            bJsonl = true;
        } else if (!s.empty() && s[0] == '-' && !bEstNombre(s)) {
            return Usage("unknown option " + s);
        } else {
            sFonction = s;
            bFonction = true;
        }
    }
    if (sLangue != "fr" && sLangue != "en") return Usage("--lang takes fr or en");
    if (bJsonl == bFonction) return Usage(bJsonl ? "--jsonl takes no FUNCTION" : "missing FUNCTION");

    qvhost::CSession clSession;
    std::string sErreur;
    if (!clSession.bDemarre(sModule, sLangue == "fr" ? qvhost::LANGUE_FR : qvhost::LANGUE_EN, sErreur)) {
        std::fprintf(stderr, "qvhost: %s\n", sErreur.c_str());
        return 1;
    }

    int nStatut = 0;
    if (bJsonl) {
        std::string sLigne;
        while (std::getline(std::cin, sLigne)) {
            if (sLigne.find_first_not_of(" \t\r") == std::string::npos) continue;
            std::cout << clSession.TraiteLigne(sLigne) << '\n' << std::flush;
        }
    } else {
        qvhost::json jRep = clSession.Appel(sFonction, tabArgs, true);
        const qvhost::json& jErr = jRep["error"];
        if (!jErr.is_null()) {
            std::string sMessage = jErr.value("message", std::string());
            if (jErr.value("host", false))
                std::fprintf(stderr, "qvhost: %s\n", sMessage.c_str());
            else
                std::fprintf(stderr, "error %d: %s\n", jErr.value("code", 0), sMessage.c_str());
            nStatut = 1;
        } else if (jRep.contains("text")) {
            std::string sTexte = jRep["text"].get<std::string>();
            std::fwrite(sTexte.data(), 1, sTexte.size(), stdout);
            std::fputc('\n', stdout);
        }
    }
    clSession.Arrete();
    std::fflush(stdout);
    return nStatut;
}

}  // namespace
