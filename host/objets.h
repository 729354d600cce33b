// What the host asks of the component beyond language calls: objects of
// the component's classes ({"new": CLASS}, {"prop": NAME, "object": ID
// [, "value": V]}) and parameter persistence ({"persist": ...}), driven as
// the language's virtual machine drives them (class entry points from the
// class descriptor, the persistence object through its exported
// constructor and its interface). Answers are JSON values.
#pragma once
#include <map>
#include <string>

#include "hostctx.h"
#include "module.h"
#include "qvstd/persistance.h"
#include "values.h"

namespace qvhost {

// The host's project object: the name and path its persistence file comes
// from ("<directory of the path>/<name>.ini").
class CProjetHote final : public IVMProjet {
public:
    const char* pszGetNom() override { return m_sNom.c_str(); }
    const char* pszGetChemin() override { return m_sChemin.c_str(); }
    void Release() override {}
    std::string m_sNom, m_sChemin;
};

class CObjetsHote {
public:
    CObjetsHote(CModule& clModule, CHostContext& clHote) : m_clModule(clModule), m_clHote(clHote) {}
    CObjetsHote(const CObjetsHote&) = delete;
    CObjetsHote& operator=(const CObjetsHote&) = delete;
    ~CObjetsHote() { Libere(); }

    // Answers {"value": ID} (an object identifier from 1), or an error.
    json Nouveau(const std::string& sClasse);
    // Reads the property, or sets it when pjValeur is given; {"value": V}.
    json Propriete(const std::string& sNom, int64_t nObjet, const json* pjValeur);
    // {"persist": "save" | "load" | "delete" | "deletepath", "file": F,
    // "path": P, "name": N, "value": V, "default": D}: F gives the project
    // (no "file": the host has no project object).
    json Persistance(const json& jRequete);
    // Releases every object (before the module stops).
    void Libere();

private:
    struct STObjet {
        void* pVisible;
        const struct STClasse* pstClasse;
    };
    json ErreurComposante();

    CModule& m_clModule;
    CHostContext& m_clHote;
    std::map<int64_t, STObjet> m_mapObjets;
    int64_t m_nSuivant = 1;
    CProjetHote m_clProjet;
};

}  // namespace qvhost
