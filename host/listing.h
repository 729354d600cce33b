// What the component offers, for a person reading a terminal: its functions
// with their syntaxes in words, its constants with their values and its
// variables with their types, filtered by a name pattern.
#pragma once
#include <string>

#include "session.h"

namespace qvhost {

enum class eListe { FONCTIONS, CONSTANTES, VARIABLES };

// True when the pattern matches the name, case and accents ignored: a part
// of the name, or the whole name when the pattern holds * or ? wildcards.
// An empty pattern matches every name.
bool bNomCorrespond(const std::string& sMotif, const std::string& sNom);

// The rows whose French or English name matches, one block of plain text
// each, appended to sSortie. Answers the number of rows listed.
size_t nListe(CSession& clSession, eListe eQuoi, const std::string& sMotif, std::string& sSortie);

}  // namespace qvhost
