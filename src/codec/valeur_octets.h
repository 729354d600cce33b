// The bytes of a language value given to the encoding and encryption
// functions: a buffer's bytes, an ANSI text's characters, anything else as
// its text in the component's character set.
#pragma once
#include <string>

#include "core/any.h"

namespace codec {

// False when the value cannot be read as text.
bool bOctetsValeur(const CAny& clValeur, std::string* ps);

}  // namespace codec
