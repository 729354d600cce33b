// Shared helpers of the end-to-end tests: one component loaded through the
// reference host per test program, and a runner for the qvhost executable.
#pragma once
#include <string>
#include <vector>

#include "session.h"

namespace e2e {

using qvhost::json;

// The session started on the built module (French interface), started on
// first use and stopped when the program ends.
qvhost::CSession& Session();

// A language call through the host, with JSON arguments.
json Appel(const std::string& sNom, const std::vector<json>& tabArgs = {}, int nSurcharge = -1);

// Runs the built qvhost with these arguments and stdin text; no shell.
struct STSortie {
    int nStatut = -1;
    std::string sOut, sErr;
};
STSortie LanceHote(const std::vector<std::string>& tabArgs, const std::string& sEntree = "");

}  // namespace e2e
