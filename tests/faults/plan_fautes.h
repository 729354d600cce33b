// The fault plan of the fault-injection tests: the test program is linked
// with the linker's --wrap for the system calls that put bytes on disk
// (write, pwrite64, copy_file_range), make them durable (fsync) or put a
// file in place (rename, renameat2). While a plan is armed, every such call
// is counted and the planned one fails (ENOSPC, EIO), is interrupted before
// writing anything (EINTR) or writes less than asked; every other call goes
// through to the system. Nothing of this reaches the component's own build.
#pragma once
#include <string>

namespace fautes {

enum class eFAUTE { ENOSPC_, EIO_, EINTR_, COURTE };
const char* pszNom(eFAUTE e);

// The kinds of calls a fault may hit.
enum class ePOINT { ECRITURE, SYNCHRO, RENOMME };

struct STBilan {
    bool bTouche = false;            // the planned call was reached and failed
    ePOINT ePoint = ePOINT::ECRITURE;
    bool bRepertoire = false;        // the fsync hit was a directory's
    int nEligibles = 0;              // calls the fault could have hit
    int nSynchrosFichier = 0;        // fsync calls on files (not directories) that passed
};

// Arms the plan: the nCible-th call (from 1) that this kind of fault can
// hit is the one that fails. Renames whose source begins with
// sPrefixeAilleurs (when not empty) fail with EXDEV, as between two file
// systems, whatever the plan; they are not counted.
void Arme(eFAUTE e, int nCible, const std::string& sPrefixeAilleurs = "");
// Disarms the plan and says what it did.
STBilan Desarme();

}  // namespace fautes
