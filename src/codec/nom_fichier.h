// File names of the codec family's language functions: the name a
// file-function argument holds, as the file system takes it.
#pragma once
#include <string>

#include "qvstd/manipaub.h"

namespace codec {

// False for a name no file can have (a zero inside it, or a Unicode name
// without UTF-8 form). An absent argument is the empty name; a Unicode name
// is taken as UTF-8.
bool bNomFichier(const STManipAUB* pst, std::string* ps);

}  // namespace codec
