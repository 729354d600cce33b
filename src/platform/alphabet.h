// Alphabet change requested by the host (execution requests and the library
// object's SetAlphabet).
#pragma once

// Installs the alphabet (character set and its character table, an
// _stCHARTAB or null for the default tables) and, when piInfoAlphabet is
// given, the host's alphabet-information interface (an ICtxInfoAlphabet*).
void PLATFORM_ChangeAlphabet(int nAlphabet, const void* pTable, void* piInfoAlphabet /* may be null */);
