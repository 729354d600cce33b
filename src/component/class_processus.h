// The exported entry points of the Processus class, named in its
// descriptor: constructor, copy, type description, and a getter and a
// setter per property (shapes in qvstd/objet.h).
#pragma once
#include "qvstd/host.h"
#include "qvstd/objet.h"

// Properties with a getter, then with a setter: the password is never read
// back and the running mark never set.
#define QV_LECTURES_PROCESSUS(X)                    \
    X(Executable, P_EXECUTABLE)                     \
    X(LigneDeCommande, P_LIGNEDECOMMANDE)           \
    X(PID, P_PID)                                   \
    X(ValeurDeRetour, P_VALEURDERETOUR)             \
    X(LoginExecution, P_LOGINEXECUTION)             \
    X(ExecutionInteractive, P_EXECUTIONINTERACTIVE) \
    X(RepertoireDeTravail, P_REPERTOIREDETRAVAIL)   \
    X(ExecutionEnCours, P_EXECUTIONENCOURS)         \
    X(NomMachine, P_NOMMACHINE)
#define QV_ECRITURES_PROCESSUS(X)                   \
    X(Executable, P_EXECUTABLE)                     \
    X(LigneDeCommande, P_LIGNEDECOMMANDE)           \
    X(PID, P_PID)                                   \
    X(ValeurDeRetour, P_VALEURDERETOUR)             \
    X(LoginExecution, P_LOGINEXECUTION)             \
    X(MotDePasseExecution, P_MOTDEPASSEEXECUTION)   \
    X(ExecutionInteractive, P_EXECUTIONINTERACTIVE) \
    X(RepertoireDeTravail, P_REPERTOIREDETRAVAIL)   \
    X(NomMachine, P_NOMMACHINE)

extern "C" {
void* ZNL_CObjetProcessus_C_0(void** ppArgs, CCtxInfo* pstCtx, CXError* pclErreur);
int ZNL_CObjetProcessus_C(void* pDestination, const void* pSource, CCtxInfo* pstCtx, CXError* pclErreur);
void ZNL_CObjetProcessus_T(void* piTypeDescription);
void* ZNL_CObjetProcessus_GOG(CCtxInfo* pstCtx, CXError* pclErreur);
#define QV_DECLARE_LECTURE(NOM, E) void ZNL_CObjetProcessus_G_##NOM(void* pObjet, CCtxInfo* pstCtx, CXError* pclErreur);
#define QV_DECLARE_ECRITURE(NOM, E) \
    void ZNL_CObjetProcessus_S_##NOM(void* pObjet, void** ppArgs, CCtxInfo* pstCtx, CXError* pclErreur);
QV_LECTURES_PROCESSUS(QV_DECLARE_LECTURE)
QV_ECRITURES_PROCESSUS(QV_DECLARE_ECRITURE)
#undef QV_DECLARE_LECTURE
#undef QV_DECLARE_ECRITURE
}
