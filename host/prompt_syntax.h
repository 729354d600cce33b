// The prompt's language: one line read into a tree before anything runs.
// Calls written as the language writes them (Max("b", "a"), nested calls),
// integer, real, quoted text (a doubled quote stands for one) and boolean
// literals, names, and "name = expression". A fault names its column.
#pragma once
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace qvhost {

// Calls nest at most this deep in one line; deeper is a syntax error
// rather than a deep recursion.
constexpr size_t k_nImbricationInviteMax = 64;

struct STExpression {
    enum class eType { VALEUR, NOM, APPEL, OPPOSE };
    eType eT = eType::VALEUR;
    nlohmann::json jValeur;               // VALEUR: the literal
    std::string sNom;                     // NOM, APPEL: the name as written
    size_t nColonne = 1;                  // where it starts, in characters from 1
    std::vector<STExpression> tabArgs;    // APPEL: the arguments; OPPOSE: the operand
};

struct STInstruction {
    bool bVide = true;                    // a blank line or a comment
    bool bAffectation = false;
    std::string sVariable;                // assigned name
    STExpression stExpr;
};

// False with "column N: what is wrong" when the line does not read.
bool bAnalyseInstruction(const std::string& sLigne, STInstruction& stInstr, std::string& sErreur);

// A text written the language's way: between double quotes, each quote
// inside doubled.
std::string TexteEntreGuillemets(const std::string& sTexte);

}  // namespace qvhost
