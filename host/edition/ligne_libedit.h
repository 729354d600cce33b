// The prompt's line editor on a terminal, through the platform's libedit:
// editing keys, history recalled with the arrows and kept in a file. Built
// into qvhost only when the build found the library (QV_HAVE_LIBEDIT).
#pragma once
#include <memory>
#include <string>

#include "../saisie.h"

namespace qvhost {

// sHistorique: the history file, loaded now and written after each line
// kept; "" for none.
std::unique_ptr<CSaisie> CreeSaisieEditee(const std::string& sHistorique);

}  // namespace qvhost
