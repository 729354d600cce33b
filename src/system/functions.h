// The system language functions: INI files, processes and environment,
// services. Each takes the library
// object first (errors and host services) and reports a failure as a
// numbered user error with a neutral result.
//
// The family's namespace is `sys`: a namespace named like the C library's
// system() could not be declared beside it.
#pragma once

#include "runtime/znlibrary.h"
#include "core/any.h"
#include "core/zndstr.h"

namespace sys {

// ---- INI files ------------------------------------------------------------------------------
// A file name that is empty means the per-user file ("~/.TVR.conf"); a
// relative name is taken in the home directory. Sections and keys match
// whole and without regard to case.

// The value of the key, the default when there is none; without a key,
// the list of the section's keys; without a section, the list of sections.
// Values and lists are returned whole, however long.
CZNDSTR INILit(CZNLibrary& lib, const char* pszSection);
CZNDSTR INILit(CZNLibrary& lib, const char* pszSection, const char* pszCle);
CZNDSTR INILit(CZNLibrary& lib, const char* pszSection, const char* pszCle, const char* pszDefaut);
CZNDSTR INILit(CZNLibrary& lib, const char* pszSection, const char* pszCle, const char* pszDefaut,
               const char* pszFichier);

// Writes the value of the key; an argument given as "nothing" (a variant
// here, never read) deletes what it names: the key without a value, the
// section without a key. Anything a read could not give back exactly (a NUL
// within a text, "]" in a section, "=" in a key, ...) is refused with 80294
// and the file left unchanged.
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection);
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CZNDSTRBase& sCle);
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CZNDSTRBase& sCle, const CZNDSTRBase& sValeur);
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CZNDSTRBase& sCle, const CZNDSTRBase& sValeur,
              const CZNDSTRBase& sFichier);
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CZNDSTRBase& sCle, const CAny& clRien,
              const CZNDSTRBase& sFichier);
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CAny& clRien1, const CAny& clRien2,
              const CZNDSTRBase& sFichier);
bool INIEcrit(CZNLibrary& lib, const CAny& clRien1, const CAny& clRien2, const CAny& clRien3,
              const CZNDSTRBase& sFichier);
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CZNDSTRBase& sCle, const CAny& clRien);

// ---- Processes ------------------------------------------------------------------------------
// A command line is a program (a leading double-quoted path taken whole)
// and argument words; it never goes through a shell and PATH is not
// searched. Launch modes: 0 do not wait (result 1), 1 wait for the end
// (result 1), 2 wait and return the exit code (128 + the signal for a
// killed program), 3 do not wait and return the process identifier. The
// window mode has no effect here. A program that cannot be executed, or a
// wait that fails, is 80400 with the system's message, and 0.

int32_t LanceAppli(CZNLibrary& lib, const char* pszLigne);
int32_t LanceAppli(CZNLibrary& lib, const char* pszLigne, int32_t nFenetre);
int32_t LanceAppli(CZNLibrary& lib, const char* pszLigne, int32_t nFenetre, int32_t nMode);
// The older form: true waits for the end.
int32_t LanceAppli(CZNLibrary& lib, const char* pszLigne, int32_t nFenetre, bool bAttend);
// DDELance(command line [, window mode]): the program started without
// waiting, as LanceAppli does it; true when it started.
bool DDELance(CZNLibrary& lib, const char* pszLigne);
bool DDELance(CZNLibrary& lib, const char* pszLigne, int32_t nFenetre);

// 3 this process (the default), 6 its parent, 7 the calling thread; any
// other kind is 80110 and 0.
int32_t ExeDonnePID(CZNLibrary& lib);
int32_t ExeDonnePID(CZNLibrary& lib, int32_t nType);

// A key of the executable (this process's by default): Nom/Name,
// Répertoire/Directory, Copyright, Version, Description, Mode ("DOS", "16",
// "32", "64" or empty), Société/Company, Version4N; any other key names a
// text of its version block. Empty when there is nothing to answer.
CZNDSTR ExeInfo(CZNLibrary& lib, const char* pszCle);
CZNDSTR ExeInfo(CZNLibrary& lib, const char* pszCle, const char* pszExecutable);

// ---- Environment and system -----------------------------------------------------------------

// Without a name, every entry ("NAME=value", CR LF between them); with the
// name of a variable, its value; else the entries that begin with the name
// (case ignored).
CZNDSTR SysEnvironnement(CZNLibrary& lib);
CZNDSTR SysEnvironnement(CZNLibrary& lib, const char* pszNom);
// Sets the variable of this process, or removes it for an empty value,
// whatever the scope; 80151 and false when the system refuses.
bool SysChangeEnvironnement(CZNLibrary& lib, const char* pszNom, const char* pszValeur);
bool SysChangeEnvironnement(CZNLibrary& lib, const char* pszNom, const char* pszValeur, int32_t nPortee);
// Memory in bytes as a 4-byte integer variant: 1 available, 2 (the
// default) total; any other kind is 80145 and 0.
void SysEspace(CZNLibrary& lib, CAny& clResultat);
void SysEspace(CZNLibrary& lib, int32_t nType, CAny& clResultat);
// 0 (the default) the system's name in capitals, 3 "UNIX"; any other kind
// is 80144 and the empty text. VersionWindows always is.
CZNDSTR SysVersionWindows(CZNLibrary& lib);
CZNDSTR SysVersionWindows(CZNLibrary& lib, int32_t nType);
CZNDSTR VersionWindows(CZNLibrary& lib);

// ---- Services ---------------------------------------------------------------------------------
// Services are init scripts; a service name becomes a script name (spaces
// "_", tabs "__", "/" and "." "-") that may hold only letters, digits, "_",
// "+" and "-". The last text argument, a machine name, is ignored. Errors:
// 81601 no such service, 81602 control failed, 81603 start failed, 81604
// stop failed, 81605 state unreadable, 81606 removal failed, 81607
// installation failed, 80014 installing without super-user rights.

// Installs the script made from Service.Description, Service.LigneCommande
// (" --SERVICE" added) and Service.Démarrage; an automatic service is
// registered for boot and started at once.
bool ServiceInstalle(CZNLibrary& lib, const char* pszNom);
bool ServiceInstalle(CZNLibrary& lib, const char* pszNom, const char* pszMachine);
// Stops the service (waiting up to 10 s), unregisters it and deletes it.
bool ServiceDesinstalle(CZNLibrary& lib, const char* pszNom);
bool ServiceDesinstalle(CZNLibrary& lib, const char* pszNom, const char* pszMachine);
// Runs the script with start and the argument words.
bool ServiceDemarre(CZNLibrary& lib, const char* pszNom);
bool ServiceDemarre(CZNLibrary& lib, const char* pszNom, const char* pszArguments);
bool ServiceDemarre(CZNLibrary& lib, const char* pszNom, const char* pszArguments, const char* pszMachine);
// Control commands: stop (1), pause (2, never here), restart (3, never
// here), reread the configuration (6, the script's reload).
bool ServiceArrete(CZNLibrary& lib, const char* pszNom);
bool ServiceArrete(CZNLibrary& lib, const char* pszNom, const char* pszMachine);
bool ServicePause(CZNLibrary& lib, const char* pszNom);
bool ServicePause(CZNLibrary& lib, const char* pszNom, const char* pszMachine);
bool ServiceRelance(CZNLibrary& lib, const char* pszNom);
bool ServiceRelance(CZNLibrary& lib, const char* pszNom, const char* pszMachine);
bool ServiceActualise(CZNLibrary& lib, const char* pszNom);
bool ServiceActualise(CZNLibrary& lib, const char* pszNom, const char* pszMachine);
bool ServiceControle(CZNLibrary& lib, const char* pszNom, int32_t nCommande);
bool ServiceControle(CZNLibrary& lib, const char* pszNom, int32_t nCommande, const char* pszMachine);
// Stops, waits up to 10 s for the stop, starts.
bool ServiceRedemarre(CZNLibrary& lib, const char* pszNom);
bool ServiceRedemarre(CZNLibrary& lib, const char* pszNom, const char* pszMachine);
// 4 started (status exit 0), 8 (exit 1), 1 stopped; -1 when not found.
int32_t ServiceEtat(CZNLibrary& lib, const char* pszNom);
int32_t ServiceEtat(CZNLibrary& lib, const char* pszNom, const char* pszMachine);
// Reads the state once a second for at most the timeout (-1, the default,
// and 0 do not wait); the state when the last one read is it, else -1.
int32_t ServiceAttendEtat(CZNLibrary& lib, const char* pszNom, int32_t nEtat);
int32_t ServiceAttendEtat(CZNLibrary& lib, const char* pszNom, int32_t nEtat, int32_t nTimeout);
int32_t ServiceAttendEtat(CZNLibrary& lib, const char* pszNom, int32_t nEtat, int32_t nTimeout,
                          const char* pszMachine);
// "script<TAB>display name" per service, CR LF between them.
CZNDSTR ServiceListe(CZNLibrary& lib);
CZNDSTR ServiceListe(CZNLibrary& lib, const char* pszMachine);
// Whether a script of the name exists (case ignored).
bool ServiceExiste(CZNLibrary& lib, const char* pszNom);
bool ServiceExiste(CZNLibrary& lib, const char* pszNom, const char* pszMachine);
// Not available here: always false.
bool ServiceInfo(CZNLibrary& lib, const char* pszNom);
bool ServiceInfo(CZNLibrary& lib, const char* pszNom, const char* pszMachine);
bool ServiceModifie(CZNLibrary& lib, const char* pszNom);
bool ServiceModifie(CZNLibrary& lib, const char* pszNom, const char* pszMachine);

}  // namespace sys
