// qvhost: the reference host. Loads the component, starts it as the
// language's virtual machine does, and calls one language function from the
// command line, lists what the component offers, serves JSON-lines requests
// on stdin, or runs a prompt where calls are typed as the language writes
// them.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "listing.h"
#include "prompt.h"
#include "saisie.h"
#include "session.h"
#ifdef QV_HAVE_LIBEDIT
#include "edition/ligne_libedit.h"
#endif

namespace {

const char k_szAide[] =
    "usage: qvhost [--lang fr|en] [--module PATH] [--raw] FUNCTION [ARG...]\n"
    "       qvhost [--lang fr|en] [--module PATH] --list [--constants|--variables] [PATTERN]\n"
    "       qvhost [--lang fr|en] [--module PATH] [--prompt]\n"
    "       qvhost [--lang fr|en] [--module PATH] --jsonl\n"
    "\n"
    "Calls one function of the standard-functions component by its French or\n"
    "English name, with or without accents (DateVersChaîne, DateVersChaine,\n"
    "DateToString), and prints its result. The overload is chosen by the\n"
    "number of arguments, then by which arguments read as the declared kinds.\n"
    "Booleans print as true or false; a binary result prints as\n"
    "\"binary, N bytes, Base64: ...\" (--raw writes its bytes as they are). On\n"
    "failure the error code and message go to stderr and the exit status is 1.\n"
    "\n"
    "  --lang fr|en   interface language (fr is the first language; default fr)\n"
    "  --module PATH  the component to load (default: the built qv150std.so)\n"
    "  --list         the functions whose French or English name holds PATTERN\n"
    "                 (case and accents ignored; * and ? match whole names), with\n"
    "                 their syntaxes; --constants or --variables list those instead\n"
    "  --prompt       type calls as the language writes them, one a line; the\n"
    "                 default without FUNCTION on a terminal (.help there)\n"
    "  --jsonl        read one JSON request per line on stdin, answer one line each\n"
    "  --raw          a binary result goes to stdout as raw bytes\n"
    "  --help         this text\n"
    "\n"
    "Arguments that read as numbers are arguments, never options: both\n"
    "  qvhost EstPair -3      and      qvhost EstPair -- -3\n"
    "pass -3. After FUNCTION every word is an argument; a first \"--\" is skipped.\n"
    "For an argument of kind any, a word that reads as a number passes a number;\n"
    "written in the language's double quotes it passes the text inside:\n"
    "  qvhost NumériqueVersChaîne 3.14159 %5.2f      prints \" 3.14\"\n"
    "  qvhost NumériqueVersChaîne '\"3.14159\"' %5.2f  prints 3.14159\n"
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

// The prompt on a terminal: a line editor when the build has one, the
// results on stdout and the faults on stderr, until .quit or Ctrl-D.
int InviteTerminal(qvhost::CInvite& clInvite) {
    qvhost::CInterruption clInterruption;
#ifdef QV_HAVE_LIBEDIT
    std::unique_ptr<qvhost::CSaisie> pclSaisie = qvhost::CreeSaisieEditee(qvhost::FichierHistorique());
#else
    std::unique_ptr<qvhost::CSaisie> pclSaisie = qvhost::CreeSaisieSimple();
#endif
    std::printf("qvhost prompt, interface language %s: .help for help, .quit or Ctrl-D to end.\n",
                clInvite.Langue().c_str());
    std::string sLigne;
    for (;;) {
        std::fflush(stdout);
        qvhost::eLecture eL = pclSaisie->Lit("qv> ", sLigne);
        if (eL == qvhost::eLecture::FIN) {
            std::fputc('\n', stdout);
            break;
        }
        if (eL == qvhost::eLecture::ANNULEE) continue;
        pclSaisie->Retient(sLigne);
        qvhost::STReponseInvite stRep = clInvite.Execute(sLigne);
        std::fwrite(stRep.sSortie.data(), 1, stRep.sSortie.size(), stdout);
        std::fflush(stdout);
        std::fwrite(stRep.sErreur.data(), 1, stRep.sErreur.size(), stderr);
        if (stRep.bFin) break;
    }
    return 0;
}

int Liste(qvhost::CSession& clSession, qvhost::eListe eQuoi, const std::string& sMotif) {
    std::string sSortie;
    if (qvhost::nListe(clSession, eQuoi, sMotif, sSortie) == 0) {
        const char* pszQuoi = eQuoi == qvhost::eListe::FONCTIONS    ? "function"
                              : eQuoi == qvhost::eListe::CONSTANTES ? "constant"
                                                                    : "variable";
        std::fprintf(stderr, "qvhost: no %s matches %s\n", pszQuoi, sMotif.c_str());
        return 1;
    }
    std::fwrite(sSortie.data(), 1, sSortie.size(), stdout);
    return 0;
}

int Principal(int argc, char** argv) {
    std::string sModule = QV_DEFAULT_MODULE;
    std::string sLangue = "fr";
    bool bJsonl = false, bInvite = false, bListe = false, bBrut = false;
    qvhost::eListe eQuoi = qvhost::eListe::FONCTIONS;
    bool bQuoiDonne = false;
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
            if (++i >= argc) return Usage(bListe ? "missing PATTERN after --" : "missing FUNCTION");
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
        } else if (s == "--prompt") {
            bInvite = true;
        } else if (s == "--list") {
            bListe = true;
        } else if (s == "--raw") {
            bBrut = true;
        } else if (s == "--constants" || s == "--variables") {
            eQuoi = s == "--constants" ? qvhost::eListe::CONSTANTES : qvhost::eListe::VARIABLES;
            bQuoiDonne = true;
        } else if (!s.empty() && s[0] == '-' && !bEstNombre(s)) {
            return Usage("unknown option " + s);
        } else {
            sFonction = s;
            bFonction = true;
        }
    }
    if (sLangue != "fr" && sLangue != "en") return Usage("--lang takes fr or en");
    if (bQuoiDonne && !bListe) return Usage("--constants and --variables go with --list");
    if (bListe) {
        if (bJsonl || bInvite) return Usage("--list goes alone");
        if (!tabArgs.empty()) return Usage("--list takes one PATTERN");
    } else if (bJsonl || bInvite) {
        if (bJsonl && bInvite) return Usage("--jsonl and --prompt go alone");
        if (bFonction) return Usage(bJsonl ? "--jsonl takes no FUNCTION" : "--prompt takes no FUNCTION");
    } else if (!bFonction) {
        // A person at a terminal gets the prompt; a script must say what it wants.
        if (!isatty(STDIN_FILENO)) return Usage("missing FUNCTION");
        bInvite = true;
    }

    qvhost::CSession clSession;
    std::string sErreur;
    if (!clSession.bDemarre(sModule, sLangue == "fr" ? qvhost::LANGUE_FR : qvhost::LANGUE_EN, sErreur)) {
        std::fprintf(stderr, "qvhost: %s\n", sErreur.c_str());
        return 1;
    }

    int nStatut = 0;
    if (bListe) {
        nStatut = Liste(clSession, eQuoi, sFonction);
    } else if (bInvite) {
        qvhost::CInvite clInvite(clSession, sLangue);
        nStatut = isatty(STDIN_FILENO) ? InviteTerminal(clInvite) : qvhost::nInviteFlux(clInvite, std::cin, std::cout, std::cerr);
    } else if (bJsonl) {
        std::string sLigne;
        while (std::getline(std::cin, sLigne)) {
            if (sLigne.find_first_not_of(" \t\r") == std::string::npos) continue;
            std::cout << clSession.TraiteLigne(sLigne) << '\n' << std::flush;
        }
    } else {
        qvhost::json jRep = clSession.Appel(sFonction, tabArgs, true);
        const qvhost::json& jErr = jRep["error"];
        std::string sOctets;
        if (!jErr.is_null()) {
            std::string sMessage = jErr.value("message", std::string());
            if (jErr.value("host", false))
                std::fprintf(stderr, "qvhost: %s\n", sMessage.c_str());
            else
                std::fprintf(stderr, "error %d: %s\n", jErr.value("code", 0), sMessage.c_str());
            nStatut = 1;
        } else if (bBrut && jRep["value"].is_object() && jRep["value"].contains("bin") &&
                   qvhost::Base64Decode(jRep["value"]["bin"].get<std::string>(), sOctets)) {
            std::fwrite(sOctets.data(), 1, sOctets.size(), stdout);
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
