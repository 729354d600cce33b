// One row of the host's signature table: how the host pushes the arguments
// of one overload that has an entry point. The table itself is generated
// from the function data file (host_signatures.inc).
#pragma once
#include <cstddef>
#include <cstdint>

struct QVSignature {
    uint16_t nRow;           // function row in the descriptor
    uint8_t nOverload;       // syntax row within the function
    const char* pszArgs;     // comma list of kinds; "?" suffix optional; "...kind" tail
    const char* pszResult;   // two hex digits, or "" for a procedure
    uint16_t nArgWord;       // the syntax row's argument word
};

namespace qvhost {
// The generated table (signatures.cpp).
const QVSignature* pGetSignatures(size_t* pnCount);
}  // namespace qvhost
