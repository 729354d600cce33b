// One loaded component and everything a person or a test asks of it:
// language calls by name, the descriptor, messages, constants, variables
// and the interface language. Answers are JSON values (the --jsonl form).
#pragma once
#include <string>
#include <vector>

#include "hostctx.h"
#include "lookup.h"
#include "module.h"
#include "objets.h"
#include "values.h"

namespace qvhost {

class CSession {
public:
    CSession() = default;
    CSession(const CSession&) = delete;
    CSession& operator=(const CSession&) = delete;
    ~CSession() { Arrete(); }

    bool bDemarre(const std::string& sModule, int nLangue, std::string& sErreur);
    void Arrete();

    // A language call. Answer: {"value", "type", "error", "vars", "calls"},
    // plus "forward" when the component forwarded the call.
    // bInvite: arguments typed at the prompt (bConvertit).
    json Appel(const std::string& sNom, const std::vector<json>& tabArgs, bool bLigneCommande = false,
               int nSurcharge = -1, bool bInvite = false);
    json Decrit(const std::string& sNom) const;
    json Info(int nCode, intptr_t nArgument) const;
    json Message(int nMessage) const;
    json Constante(const std::string& sNom) const;
    json LitVariable(const std::string& sNom);
    json EcritVariable(const std::string& sNom, const json& jValeur);
    json Langue(const std::string& sLangue);

    // One request of the JSON-lines protocol.
    json Traite(const json& jRequete);
    // One line in, one line out (never throws).
    std::string TraiteLigne(const std::string& sLigne);

    CModule& Module() { return m_clModule; }
    CHostContext& Hote() { return m_clHote; }
    const CTableFonctions& Fonctions() const { return m_clFonctions; }
    // The French and English names of the constants and variables, in table order.
    const std::vector<std::array<std::string, 2>>& NomsConstantes() const { return m_tabNomsConstantes; }
    const std::vector<std::array<std::string, 2>>& NomsVariables() const { return m_tabNomsVariables; }

    static json ErreurHote(const std::string& sMessage);

private:
    int nChercheVariable(const std::string& sNom) const;

    CModule m_clModule;
    CHostContext m_clHote;
    CObjetsHote m_clObjets{m_clModule, m_clHote};   // class objects and persistence
    CTableFonctions m_clFonctions;
    std::vector<std::array<std::string, 2>> m_tabNomsConstantes;
    std::vector<std::array<std::string, 2>> m_tabNomsVariables;
    CIndexNoms m_clIndexConstantes;
    CIndexNoms m_clIndexVariables;
};

}  // namespace qvhost
