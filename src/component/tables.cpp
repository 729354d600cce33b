// Hand-written parts of the descriptor: the class, the type references and
// the texts. The function, constant and variable tables are generated.
#include "component/tables.h"

#include <cstring>

#include "component/class_processus.h"
#include "runtime/language.h"

extern const char* const gstTabTypeRef[NB_TYPEREFS + 1] = {
    "+:008:0:STD:Processus",
    "+:008:1:STD:InfoVersion",
    nullptr,
};

// The constructor row's entry has the class constructor's shape, not an
// entry point's: the host calls it as a class constructor.
extern const STSyntaxe gstTabSyntaxeConstructeurClasseCObjetProcessus[1] = {
    {reinterpret_cast<PFN_ZNL>(reinterpret_cast<void*>(ZNL_CObjetProcessus_C_0)), 0, "", 0x200},
};

#define QV_G(NOM) reinterpret_cast<void*>(ZNL_CObjetProcessus_G_##NOM)
#define QV_S(NOM) reinterpret_cast<void*>(ZNL_CObjetProcessus_S_##NOM)

extern const STPropriete gstTabProprieteClasseCObjetProcessus[10] = {
    {{"Ex\351cutable", "Executable"}, 0, 0x10, QV_G(Executable), 0, QV_S(Executable), 0, 0x202},
    {{"LigneCommande", "CommandLine"}, 0, 0x10, QV_G(LigneDeCommande), 0, QV_S(LigneDeCommande), 0, 0x202},
    {{"PID", "PID"}, 0, 0x08, QV_G(PID), 0, QV_S(PID), 0, 0x202},
    {{"ValeurDeRetour", "ReturnValue"}, 0, 0x08, QV_G(ValeurDeRetour), 0, QV_S(ValeurDeRetour), 0, 0x202},
    {{"LoginEx\351cution", "ExecutionLogin"}, 0, 0x10, QV_G(LoginExecution), 0, QV_S(LoginExecution), 0, 0x202},
    {{"MotDePasseEx\351cution", "ExecutionPassword"}, 0, 0x10, nullptr, 0, QV_S(MotDePasseExecution), 0, 0x2},
    {{"Ex\351cutionInteractive", "InteractiveExecution"}, 1, 0x01, QV_G(ExecutionInteractive), 0, QV_S(ExecutionInteractive), 0, 0x202},
    {{"R\351pertoireDeTravail", "WorkingDirectory"}, 0, 0x10, QV_G(RepertoireDeTravail), 0, QV_S(RepertoireDeTravail), 0, 0x202},
    {{"Ex\351cutionEnCours", "ExecutionInProgress"}, 0, 0x01, QV_G(ExecutionEnCours), 0, nullptr, 0, 0x2},
    {{"NomMachine", "ComputerName"}, 0, 0x12, QV_G(NomMachine), 0, QV_S(NomMachine), 0, 0x202},
};

namespace {
const STClasse s_stClasseProcessus = {
    {"Processus,Processus,m", "Process,Processes,"},
    gstTabTypeRef[0],
    0xE0004690u,
    2,
    reinterpret_cast<void*>(ZNL_CObjetProcessus_C),
    reinterpret_cast<void*>(ZNL_CObjetProcessus_T),
    0,
    gstTabSyntaxeConstructeurClasseCObjetProcessus,
    1,
    {0, 0, 0, 0, 0, 0},
    10,
    gstTabProprieteClasseCObjetProcessus,
    {0, 0, 0, 0},
};
}  // namespace
#undef QV_G
#undef QV_S

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
