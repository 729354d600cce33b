// Hand-written parts of the descriptor: the class, the type references and
// the texts. The function, constant and variable tables are generated.
#include "component/tables.h"

#include <cstring>

#include "runtime/language.h"

extern const char* const gstTabTypeRef[NB_TYPEREFS + 1] = {
    "+:008:0:STD:Processus",
    "+:008:1:STD:InfoVersion",
    nullptr,
};

// The class's entry points arrive with the process functions; until then the
// host sees the class with null entries.
extern const STSyntaxe gstTabSyntaxeConstructeurClasseCObjetProcessus[1] = {
    {nullptr, 0, "", 0x200},
};

extern const STPropriete gstTabProprieteClasseCObjetProcessus[10] = {
    {{"Ex\351cutable", "Executable"}, 0, 0x10, nullptr, 0, nullptr, 0, 0x202},
    {{"LigneCommande", "CommandLine"}, 0, 0x10, nullptr, 0, nullptr, 0, 0x202},
    {{"PID", "PID"}, 0, 0x08, nullptr, 0, nullptr, 0, 0x202},
    {{"ValeurDeRetour", "ReturnValue"}, 0, 0x08, nullptr, 0, nullptr, 0, 0x202},
    {{"LoginEx\351cution", "ExecutionLogin"}, 0, 0x10, nullptr, 0, nullptr, 0, 0x202},
    {{"MotDePasseEx\351cution", "ExecutionPassword"}, 0, 0x10, nullptr, 0, nullptr, 0, 0x2},
    {{"Ex\351cutionInteractive", "InteractiveExecution"}, 1, 0x01, nullptr, 0, nullptr, 0, 0x202},
    {{"R\351pertoireDeTravail", "WorkingDirectory"}, 0, 0x10, nullptr, 0, nullptr, 0, 0x202},
    {{"Ex\351cutionEnCours", "ExecutionInProgress"}, 0, 0x01, nullptr, 0, nullptr, 0, 0x2},
    {{"NomMachine", "ComputerName"}, 0, 0x12, nullptr, 0, nullptr, 0, 0x202},
};

namespace {
const STClasse s_stClasseProcessus = {
    {"Processus,Processus,m", "Process,Processes,"},
    gstTabTypeRef[0],
    0xE0004690u,
    2,
    nullptr,
    nullptr,
    0,
    gstTabSyntaxeConstructeurClasseCObjetProcessus,
    1,
    {0, 0, 0, 0, 0, 0},
    10,
    gstTabProprieteClasseCObjetProcessus,
    {0, 0, 0, 0},
};
}  // namespace

extern const STClasse* const gpstTabClasse[NB_CLASSES + 1] = {&s_stClasseProcessus, nullptr};

extern const char* const gpszResume[2] = {"Fonctions standard", "Standard functions"};
extern const char* const gpszDescription[2] = {"", ""};
extern const char* const gpszFichierAide[2] = {"", ""};

namespace {
inline int nIndexLangue() { return qvstd::bFirstLanguage() ? 0 : 1; }
}  // namespace

const char* pszGetNomFonction(int nIndex) {
    if (nIndex < 0 || nIndex >= NB_FONCTIONS) return "";
    return gstTabFonction[nIndex].pszNom[nIndexLangue()];
}

const char* pszGetNomConstante(int nIndex) {
    if (nIndex < 0 || nIndex >= NB_CONSTANTES) return "";
    return gstTabConstante[nIndex].pszNom[nIndexLangue()];
}

void CopieTexteLangue(const char* const* ppszTextes, char* pszBuffer, int nTaille) {
    if (pszBuffer == nullptr || nTaille <= 0) return;
    strncpy(pszBuffer, ppszTextes[nIndexLangue()], static_cast<size_t>(nTaille));
    pszBuffer[nTaille - 1] = 0;
}
