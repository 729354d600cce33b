// The bench every writer goes through: for each kind of fault, the 1st
// call it can hit fails, then the 2nd, and so on until a run meets no fault
// at all. Each run starts from a fresh folder made by the writer's own
// preparation; the whole folder is read before and after the call and held
// against what the writer promises:
// - a reported success: the folder is exactly the expected one (the whole
//   file, byte for byte, and nothing left beside it);
// - a reported failure: the numbered error, and the previous files intact
//   (no temporary file either);
// - an interrupted or short write: success, transparently.
// A failed fsync of a directory (after the file is in place) may pass
// unreported; any other failure reported as success is a fault.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/zndstr.h"
#include "plan_fautes.h"
#include "qvstd/manipaub.h"

namespace fautes {

// A folder's content by relative path: a file's bytes, "<dir>" for a
// directory, "-> target" for a symbolic link.
using Arbre = std::map<std::string, std::string>;
Arbre ArbreDe(const std::string& sRep);
void EcritFichier(const std::string& sChemin, const std::string& sOctets);
// Bytes of every value, deterministic.
std::string Bruit(size_t n, uint32_t x = 7);

// What a failure may leave.
enum class eREGLE {
    ATOMIQUE,    // the folder exactly as before
    PAR_FICHIER, // each file as before or as expected, nothing else (copies of several files)
    FLUX,        // writes through a handle: sCible grows by a prefix of what was asked, the rest as before
};

struct STResultat {
    bool bSucces = false;
    int nErreur = 0;   // the numbered error the call gave
};

struct STEcrivain {
    std::string sNom;
    // Makes the sources and the previous files in the folder.
    std::function<void(const std::string& sRep)> fnPrepare;
    std::function<STResultat(const std::string& sRep)> fnAppel;
    // The folder a success leaves, from the one before; without it, the
    // folder a run without faults leaves.
    std::function<void(const std::string& sRep, Arbre& arbre)> fnAttendu;
    std::vector<int> tabErreurs;   // the numbered errors a failure may give
    eREGLE eRegle = eREGLE::ATOMIQUE;
    std::string sSourceIntacte;    // relative prefix a failure never touches
    std::string sCible;            // FLUX: the file written
    std::string sAilleurs;         // relative prefix renamed as across file systems
    // The new bytes reach the disk (fsync) before they replace the old
    // ones; false for writers that only rename or write through a handle.
    bool bSynchronise = true;
};

// File-function strings (STManipAUB over a dynamic string) that live as
// long as the object.
class CNoms {
public:
    CNoms() = default;
    CNoms(const CNoms&) = delete;
    CNoms& operator=(const CNoms&) = delete;
    ~CNoms();
    const STManipAUB* Nom(const std::string& s);

private:
    std::vector<CZNDSTR*> m_tabTextes;
    std::vector<STManipAUB*> m_tabManips;
};

// Runs every fault at every call; failures go to GoogleTest. The faults
// injected, per kind, come back (and are printed).
std::map<eFAUTE, int> Eprouve(const STEcrivain& st);

}  // namespace fautes
