// Parameter persistence as the host uses it: the interface of the object it
// creates through the component's exported constructor, and the project
// object the component asks the host for when it needs the default file.
//
// Creation: the host allocates QV_TAILLE_PERSISTANCE bytes and runs the
// exported constructor `CPersistance::CPersistance(CZNLibrary*)` on them
// with the component object (the library object pQueryProxy(60) gave); the
// object then starts with one reference, and its last Release frees it.
#pragma once
#include <cstddef>

#include "qvstd/library.h"

class CXError;
class IZNHost;
class CZNLibrary;

constexpr size_t QV_TAILLE_PERSISTANCE = 16 * sizeof(void*);

// Mangled name of the exported constructor, and its shape as a plain call.
#define QV_CONSTRUCTEUR_PERSISTANCE "_ZN12CPersistanceC1EP10CZNLibrary"
typedef void (*PFN_ConstruitPersistance)(void* pObjet, CZNLibrary* pclComposante);

class IPersistance : public IStdVersion {
public:
    virtual void AddRef() = 0;
    virtual void Release() = 0;
    // Paths are backslash-separated chains of names; values are texts.
    virtual int bSauveParametre(const char* pszChemin, const char* pszNom, const char* pszValeur, CXError* pclErreur,
                                IZNHost* piVM) = 0;
    // *ppszResultat: a new text the caller frees with FreePszValeur (null on
    // failure); a missing parameter gives the default.
    virtual int bChargeParametre(const char* pszChemin, const char* pszNom, char** ppszResultat,
                                 const char* pszDefaut, CXError* pclErreur, IZNHost* piVM) = 0;
    virtual int FreePszValeur(char* pszValeur) = 0;
    virtual int bSupprimeParametre(const char* pszChemin, const char* pszNom, CXError* pclErreur, IZNHost* piVM) = 0;
    // The path with all its sub-paths.
    virtual int bSupprimeChemin(const char* pszChemin, CXError* pclErreur, IZNHost* piVM) = 0;
    // After DebutOperationEnBloc (and at creation) a save leaves a value
    // already stored as it is, without writing; after FinOperationEnBloc
    // every save writes.
    virtual void DebutOperationEnBloc() = 0;
    virtual void FinOperationEnBloc() = 0;

protected:
    virtual ~IPersistance() = default;
};

// The host's project object, found in its library shop under "VMProjet".
class IVMProjet {
public:
    virtual const char* pszGetNom() = 0;      // the project's name
    virtual const char* pszGetChemin() = 0;   // the project file's path, "" when it has none
    virtual void Release() = 0;

protected:
    ~IVMProjet() = default;
};
