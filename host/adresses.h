// Address arguments. Three overloads of the file functions take a memory
// address, a 4-byte integer for this component: the host passes the address
// of a buffer it owns, named by {"addr": {"var": NAME}}. The buffer is the
// host variable's binary content, made or grown to "size" bytes (zeros);
// after the call its content goes back into the variable, so the answer
// reports it under "vars" as binary.
#pragma once
#include <string>

#include "hostctx.h"
#include "lookup.h"

namespace qvhost {

// Fills the buffers of the call's address arguments from their variables and
// points the arguments at them. False with a message when a variable holds
// something other than binary, when the call's byte count (the overload's
// last integer argument) goes beyond a buffer, or when addresses do not fit
// 4 bytes (a 64-bit host). A null argument stays the null address.
bool bPrepareAdresses(STAppelPrepare& stAppel, const CHostContext& clHote, std::string& sErreur);

// Stores each buffer back into its variable.
void RangeAdresses(const STAppelPrepare& stAppel, CHostContext& clHote);

}  // namespace qvhost
