#include "prompt.h"

#include "listing.h"

namespace qvhost {

const char CInvite::k_szAide[] =
    "Type a call as the language writes it, one a line:\n"
    "    Max(\"b\", \"a\", \"c\")\n"
    "    DateVersChaîne(20240331, \"JJJJ JJ MMMM AAAA\")\n"
    "    x = Max(3, 12)             then x alone, or Min(x, 5)\n"
    "Values: integers (-12), reals (3.5, 1e3), texts in double quotes (a quote\n"
    "inside is doubled: \"say \"\"hi\"\"\"), Vrai/Faux/True/False, prompt variables,\n"
    "the component's constants and variables by name, and nested calls.\n"
    "Commands:\n"
    "    .lang fr|en                 the interface language (errors, messages)\n"
    "    .list [PATTERN]             functions whose French or English name matches\n"
    "    .list --constants [PATTERN] constants with their values\n"
    "    .list --variables [PATTERN] the component's variables\n"
    "    .help                       this text\n"
    "    .quit                       end (Ctrl-D too)\n";

namespace {

std::string Trim(const std::string& s) {
    size_t nDebut = s.find_first_not_of(" \t\r\n");
    if (nDebut == std::string::npos) return {};
    size_t nFin = s.find_last_not_of(" \t\r\n");
    return s.substr(nDebut, nFin - nDebut + 1);
}

// The fault of a call as a person reads it: the component's number and
// message (in the interface language), or the host's own message.
std::string TexteErreurAppel(const json& jErr) {
    std::string sMessage = jErr.value("message", std::string());
    if (jErr.value("host", false)) return "error: " + sMessage;
    return "error " + std::to_string(jErr.value("code", 0)) + ": " + sMessage;
}

}  // namespace

CInvite::CInvite(CSession& clSession, const std::string& sLangue) : m_clSession(clSession), m_sLangue(sLangue) {}

STReponseInvite CInvite::Execute(const std::string& sLigne) {
    std::string sTexte = Trim(sLigne);
    if (!sTexte.empty() && sTexte[0] == '.') return Commande(sTexte);
    STReponseInvite stRep;
    STInstruction stInstr;
    std::string sErreur;
    if (!bAnalyseInstruction(sLigne, stInstr, sErreur)) {
        stRep.sErreur = "syntax error at " + sErreur + "\n";
        return stRep;
    }
    if (stInstr.bVide) return stRep;
    json jValeur;
    if (!bEvalue(stInstr.stExpr, jValeur, sErreur)) {
        stRep.sErreur = sErreur + "\n";
        return stRep;
    }
    if (stInstr.bAffectation) {
        m_tabVariables[NameKey(stInstr.sVariable, false, true)] = jValeur;
        return stRep;
    }
    // A procedure gives nothing to print.
    if (!jValeur.is_null()) stRep.sSortie = JsonVersTexte(jValeur) + "\n";
    return stRep;
}

bool CInvite::bEvalue(const STExpression& stE, json& jValeur, std::string& sErreur) {
    switch (stE.eT) {
        case STExpression::eType::VALEUR: jValeur = stE.jValeur; return true;
        case STExpression::eType::NOM: return bValeurDuNom(stE, jValeur, sErreur);
        case STExpression::eType::OPPOSE: {
            json jOperande;
            if (!bEvalue(stE.tabArgs[0], jOperande, sErreur)) return false;
            if (jOperande.is_number_integer() && !jOperande.is_number_unsigned() && jOperande.get<int64_t>() != INT64_MIN) {
                jValeur = -jOperande.get<int64_t>();
            } else if (jOperande.is_number()) {
                jValeur = -jOperande.get<double>();
            } else {
                sErreur = "error at column " + std::to_string(stE.nColonne) + ": \"-\" needs a number";
                return false;
            }
            return true;
        }
        case STExpression::eType::APPEL: {
            std::vector<json> tabArgs;
            for (const auto& stArg : stE.tabArgs) {
                json j;
                if (!bEvalue(stArg, j, sErreur)) return false;
                tabArgs.push_back(std::move(j));
            }
            json jRep = m_clSession.Appel(stE.sNom, tabArgs, false, -1, true);
            if (!jRep["error"].is_null()) {
                sErreur = TexteErreurAppel(jRep["error"]);
                return false;
            }
            jValeur = jRep["value"];
            return true;
        }
    }
    return false;
}

bool CInvite::bValeurDuNom(const STExpression& stE, json& jValeur, std::string& sErreur) {
    // The prompt's own variables first, then the component's constants and
    // variables.
    auto it = m_tabVariables.find(NameKey(stE.sNom, false, true));
    if (it != m_tabVariables.end()) {
        jValeur = it->second;
        return true;
    }
    json j = m_clSession.Constante(stE.sNom);
    if (j["error"].is_null()) {
        jValeur = j["value"];
        return true;
    }
    j = m_clSession.LitVariable(stE.sNom);
    if (j["error"].is_null()) {
        jValeur = j["value"];
        return true;
    }
    if (!j["error"].value("message", std::string()).starts_with("unknown variable")) {
        sErreur = TexteErreurAppel(j["error"]);
        return false;
    }
    sErreur = "error at column " + std::to_string(stE.nColonne) + ": unknown name " + stE.sNom +
              " (not a variable of the prompt, nor a constant or variable of the component)";
    return false;
}

STReponseInvite CInvite::Commande(const std::string& sLigne) {
    STReponseInvite stRep;
    size_t nFin = sLigne.find_first_of(" \t");
    std::string sCommande = sLigne.substr(0, nFin);
    std::string sReste = nFin == std::string::npos ? std::string() : Trim(sLigne.substr(nFin));
    if (sCommande == ".quit" || sCommande == ".exit") {
        stRep.bFin = true;
    } else if (sCommande == ".help") {
        stRep.sSortie = k_szAide;
    } else if (sCommande == ".lang") {
        if (sReste.empty()) {
            stRep.sSortie = m_sLangue + "\n";
        } else {
            json j = m_clSession.Langue(sReste);
            if (j["error"].is_null()) m_sLangue = sReste;
            else stRep.sErreur = TexteErreurAppel(j["error"]) + "\n";
        }
    } else if (sCommande == ".list") {
        eListe eQuoi = eListe::FONCTIONS;
        for (auto [pszOption, eL] : {std::pair{"--constants", eListe::CONSTANTES}, std::pair{"--variables", eListe::VARIABLES}}) {
            std::string sOption = pszOption;
            if (sReste.rfind(sOption, 0) == 0 && (sReste.size() == sOption.size() || sReste[sOption.size()] == ' ')) {
                eQuoi = eL;
                sReste = Trim(sReste.substr(sOption.size()));
            }
        }
        if (nListe(m_clSession, eQuoi, sReste, stRep.sSortie) == 0) stRep.sSortie = "nothing matches " + sReste + "\n";
    } else {
        stRep.sErreur = "error: unknown command " + sCommande + " (.help lists them)\n";
    }
    return stRep;
}

int nInviteFlux(CInvite& clInvite, std::istream& clEntree, std::ostream& clSortie, std::ostream& clErreurs) {
    int nStatut = 0;
    std::string sLigne;
    while (std::getline(clEntree, sLigne)) {
        STReponseInvite stRep = clInvite.Execute(sLigne);
        clSortie << stRep.sSortie << std::flush;
        if (!stRep.sErreur.empty()) {
            clErreurs << stRep.sErreur << std::flush;
            nStatut = 1;
        }
        if (stRep.bFin) break;
    }
    return nStatut;
}

}  // namespace qvhost
