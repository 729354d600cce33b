// The interactive prompt, without the terminal: each line is a call written
// as the language writes it, an assignment to a prompt variable, or one of
// the host's commands (.lang, .list, .help, .quit). Lines come from a line
// editor on a terminal (main.cpp) or from any stream, one call a line.
#pragma once
#include <istream>
#include <map>
#include <ostream>
#include <string>

#include "prompt_syntax.h"
#include "session.h"

namespace qvhost {

struct STReponseInvite {
    std::string sSortie;   // what to print, each line ended by "\n" (may be empty)
    std::string sErreur;   // the fault, one or more lines ended by "\n"; empty when none
    bool bFin = false;     // .quit
};

class CInvite {
public:
    explicit CInvite(CSession& clSession, const std::string& sLangue = "fr");

    STReponseInvite Execute(const std::string& sLigne);
    const std::string& Langue() const { return m_sLangue; }

    static const char k_szAide[];

private:
    STReponseInvite Commande(const std::string& sLigne);
    bool bEvalue(const STExpression& stE, json& jValeur, std::string& sErreur);
    bool bValeurDuNom(const STExpression& stE, json& jValeur, std::string& sErreur);

    CSession& m_clSession;
    std::string m_sLangue;
    std::map<std::u32string, json> m_tabVariables;   // key: the name without case
};

// Runs the prompt over a stream that is no terminal: no prompt text, the
// results on clSortie, the faults on clErreurs, until the end or .quit.
// Answers the exit status: 0 when every line went well, else 1.
int nInviteFlux(CInvite& clInvite, std::istream& clEntree, std::ostream& clSortie, std::ostream& clErreurs);

}  // namespace qvhost
