// Reading the prompt's lines on a terminal: Ctrl-C cancels the line being
// typed and the prompt goes on, Ctrl-D on an empty line ends it. A line
// editor with history does this when the build has one (edition/); the
// plain reader here does it without editing.
#pragma once
#include <csignal>
#include <memory>
#include <string>

namespace qvhost {

enum class eLecture { LIGNE, ANNULEE, FIN };

class CSaisie {
public:
    virtual ~CSaisie() = default;
    virtual eLecture Lit(const std::string& sInvite, std::string& sLigne) = 0;
    // A line worth recalling later (history).
    virtual void Retient(const std::string&) {}
};

// While it lives, SIGINT only sets a flag and interrupts the read under way
// (no restart), instead of ending the process.
class CInterruption {
public:
    CInterruption();
    ~CInterruption();
    CInterruption(const CInterruption&) = delete;
    CInterruption& operator=(const CInterruption&) = delete;
    // True once after each Ctrl-C.
    static bool bRecue();

private:
    struct sigaction m_stAncienne {};
};

// Reads standard input byte by byte with read(2), so that Ctrl-C is seen
// between two bytes; the prompt text goes to standard output.
std::unique_ptr<CSaisie> CreeSaisieSimple();

// The history file of the prompt: $HOME/.qvhost_history, or "" without HOME.
std::string FichierHistorique();

}  // namespace qvhost
