// Objects of the component's classes and parameter persistence, as the
// virtual machine drives them.
#include "objets.h"

#include <dlfcn.h>

#include <cstring>
#include <new>

#include "charset.h"
#include "qvstd/descriptor.h"
#include "qvstd/host.h"
#include "qvstd/objet.h"
#include "qvstd/xerror.h"

namespace qvhost {

namespace {

// Names compare as the host's function names do: accents and case aside.
bool bMemeNom(const std::string& sUtf8, const char* pszComposante, eCharset eCs) {
    if (pszComposante == nullptr) return false;
    return NameKey(sUtf8, true, true) == NameKey(CharsetToUtf8(pszComposante, strlen(pszComposante), eCs), true, true);
}

// The first field of "singular,plural,gender".
std::string Singulier(const char* pszNoms) {
    std::string s = pszNoms ? pszNoms : "";
    return s.substr(0, s.find(','));
}

json Erreur(const std::string& sMessage) {
    return {{"value", nullptr},
            {"error", {{"code", 0}, {"level", EL_ERROR}, {"message", sMessage}, {"debug", ""}, {"host", true}}}};
}

// The module's own handle, found from one of its tables, to look up the
// exported constructor.
void* pSymboleModule(const void* pDansModule, const char* pszNom) {
    Dl_info st{};
    if (dladdr(pDansModule, &st) == 0 || st.dli_fname == nullptr) return nullptr;
    void* h = dlopen(st.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    if (h == nullptr) return nullptr;
    void* p = dlsym(h, pszNom);
    dlclose(h);
    return p;
}

}  // namespace

json CObjetsHote::ErreurComposante() {
    IZNLibrary* piLib = m_clModule.piLib();
    CXError* pclErreur = piLib ? piLib->pclGetError() : nullptr;
    if (pclErreur == nullptr || pclErreur->eGetErrorLevel() == EL_NOERROR) return nullptr;
    eCharset eCs = m_clHote.GetCharset();
    json j = {{"code", pclErreur->nGetUserError()},
              {"level", pclErreur->eGetErrorLevel()},
              {"message", CharsetToUtf8(pclErreur->pszGetUserMessage(), eCs)},
              {"debug", CharsetToUtf8(pclErreur->pszGetDebugMessage(), eCs)}};
    pclErreur->RAZ();
    return j;
}

json CObjetsHote::Nouveau(const std::string& sClasse) {
    if (!m_clModule.bDemarre()) return Erreur("the component is not loaded");
    auto* ppClasses = reinterpret_cast<const STClasse* const*>(m_clModule.InfoComposante(29, 0));
    const intptr_t nClasses = m_clModule.InfoComposante(30, 0);
    eCharset eCs = m_clHote.GetCharset();
    for (intptr_t i = 0; ppClasses != nullptr && i < nClasses && ppClasses[i] != nullptr; ++i) {
        const STClasse& cl = *ppClasses[i];
        if (!bMemeNom(sClasse, Singulier(cl.pszNoms[0]).c_str(), eCs) &&
            !bMemeNom(sClasse, Singulier(cl.pszNoms[1]).c_str(), eCs))
            continue;
        if (cl.nConstructeurs < 1 || cl.pstConstructeurs[0].pfnEntree == nullptr)
            return Erreur("class " + sClasse + " has no constructor on this platform");
        auto pfn = reinterpret_cast<PFN_ClasseConstructeur>(reinterpret_cast<void*>(cl.pstConstructeurs[0].pfnEntree));
        void* tabArgs[1] = {nullptr};
        CCtxInfo stCtx{nullptr, &m_clHote};
        void* pVisible = pfn(tabArgs, &stCtx, m_clModule.piLib()->pclGetError());
        json jErreur = ErreurComposante();
        if (pVisible == nullptr)
            return {{"value", nullptr}, {"error", jErreur.is_null() ? Erreur("the object was not created")["error"] : jErreur}};
        const int64_t nId = m_nSuivant++;
        m_mapObjets[nId] = {pVisible, &cl};
        return {{"value", nId}, {"error", nullptr}};
    }
    return Erreur("unknown class " + sClasse);
}

json CObjetsHote::Propriete(const std::string& sNom, int64_t nObjet, const json* pjValeur) {
    auto it = m_mapObjets.find(nObjet);
    if (it == m_mapObjets.end()) return Erreur("no object " + std::to_string(nObjet));
    const STClasse& cl = *it->second.pstClasse;
    eCharset eCs = m_clHote.GetCharset();
    const STPropriete* pst = nullptr;
    for (uintptr_t i = 0; i < cl.nProprietes && pst == nullptr; ++i)
        if (bMemeNom(sNom, cl.pstProprietes[i].pszNom[0], eCs) || bMemeNom(sNom, cl.pstProprietes[i].pszNom[1], eCs))
            pst = &cl.pstProprietes[i];
    if (pst == nullptr) return Erreur("unknown property " + sNom);
    CCtxInfo stCtx{nullptr, &m_clHote};
    CXError* pclErreur = m_clModule.piLib()->pclGetError();
    if (pjValeur == nullptr) {
        if (pst->pfnGet == nullptr) return Erreur("property " + sNom + " cannot be read");
        // A getter is a call of its own: the host takes its value afresh.
        m_clHote.DebutAppelLangage(sNom, {}, 0);
        reinterpret_cast<PFN_ClasseLecture>(pst->pfnGet)(it->second.pVisible, &stCtx, pclErreur);
        json jErreur = ErreurComposante();
        const STResultat& stR = m_clHote.GetResultatPropriete();
        json jRep = {{"value", nullptr}, {"type", stR.nType}, {"error", jErreur}};
        if (stR.bRecu && !stR.nTropGrand) {
            jRep["value"] = stR.nType == 0x01 ? json(stR.n4 != 0)
                            : stR.nType == 0x08 ? json(stR.n4)
                                                : json(stR.sUtf8);
        }
        m_clHote.FinAppelLangage();
        return jRep;
    }
    if (pst->pfnSet == nullptr) return Erreur("property " + sNom + " cannot be set");
    eKind eK = pst->dwType == 0x08 ? eKind::INT : pst->dwType == 0x01 ? eKind::BOOL : eKind::TEXT;
    CArg clArg;
    int nScore = 0;
    std::string sErreur;
    if (!bConvertit(*pjValeur, eK, false, eCs, clArg, nScore, sErreur)) return Erreur(sErreur);
    void* tabArgs[2] = {clArg.pPointeur(), nullptr};
    reinterpret_cast<PFN_ClasseEcriture>(pst->pfnSet)(it->second.pVisible, tabArgs, &stCtx, pclErreur);
    return {{"value", true}, {"error", ErreurComposante()}};
}

json CObjetsHote::Persistance(const json& jReq) {
    IZNLibrary* piLib = m_clModule.piLib();
    if (piLib == nullptr) return Erreur("the component is not loaded");
    auto fnTexte = [&](const char* pszCle, std::string& s, bool& bPresent) -> bool {
        bPresent = jReq.contains(pszCle) && !jReq[pszCle].is_null();
        if (!bPresent) return true;
        if (!jReq[pszCle].is_string()) return false;
        s = Utf8ToCharset(jReq[pszCle].get<std::string>(), m_clHote.GetCharset());
        return true;
    };
    std::string sOp, sFichier, sChemin, sNom, sValeur, sDefaut;
    bool bOp, bFichier, bChemin, bNom, bValeur, bDefaut;
    if (!fnTexte("persist", sOp, bOp) || !fnTexte("file", sFichier, bFichier) || !fnTexte("path", sChemin, bChemin) ||
        !fnTexte("name", sNom, bNom) || !fnTexte("value", sValeur, bValeur) || !fnTexte("default", sDefaut, bDefaut))
        return Erreur("\"persist\", \"file\", \"path\", \"name\", \"value\" and \"default\" are texts");

    // The project the file comes from: "<dir>/<name>.ini" is the project
    // <name> whose file lies in <dir>.
    auto* pclShop = static_cast<CLibShop*>(EtatHote().piShop);
    if (pclShop == nullptr) return Erreur("the host has no library shop");
    std::erase_if(pclShop->m_tabEntrees, [](const CLibShop::STEntree& st) { return st.sNom == "VMProjet"; });
    if (bFichier) {
        const std::string sUtf8 = jReq["file"].get<std::string>();
        size_t nSlash = sFichier.rfind('/');
        if (nSlash == std::string::npos || sFichier.size() < 5 || sFichier.compare(sFichier.size() - 4, 4, ".ini") != 0)
            return Erreur("\"file\" must be a path ending in .ini");
        m_clProjet.m_sNom = sFichier.substr(nSlash + 1, sFichier.size() - nSlash - 5);
        m_clProjet.m_sChemin = sFichier.substr(0, nSlash + 1) + m_clProjet.m_sNom + ".prj";
        pclShop->bEnregistre(0, 0, 0, "VMProjet", static_cast<IVMProjet*>(&m_clProjet), nullptr);
    }

    // Created as the virtual machine creates it: its memory, the exported
    // constructor, then only the interface; the last Release frees it.
    auto pfnConstruit = reinterpret_cast<PFN_ConstruitPersistance>(
        pSymboleModule(m_clModule.pstFonctions(), QV_CONSTRUCTEUR_PERSISTANCE));
    if (pfnConstruit == nullptr) return Erreur("the module does not export the persistence constructor");
    void* pMemoire = ::operator new(QV_TAILLE_PERSISTANCE);
    pfnConstruit(pMemoire, reinterpret_cast<CZNLibrary*>(piLib));
    auto* piPers = static_cast<IPersistance*>(pMemoire);
    CXError* pclErreur = piLib->pclGetError();
    const char* pszChemin = bChemin ? sChemin.c_str() : nullptr;
    const char* pszNom = bNom ? sNom.c_str() : nullptr;
    json jValeur;
    if (sOp == "save") {
        jValeur = piPers->bSauveParametre(pszChemin, pszNom, bValeur ? sValeur.c_str() : nullptr, pclErreur, &m_clHote) != 0;
    } else if (sOp == "load") {
        char* psz = nullptr;
        if (piPers->bChargeParametre(pszChemin, pszNom, &psz, bDefaut ? sDefaut.c_str() : nullptr, pclErreur, &m_clHote) &&
            psz != nullptr)
            jValeur = CharsetToUtf8(psz, strlen(psz), m_clHote.GetCharset());
        piPers->FreePszValeur(psz);
    } else if (sOp == "delete") {
        jValeur = piPers->bSupprimeParametre(pszChemin, pszNom, pclErreur, &m_clHote) != 0;
    } else if (sOp == "deletepath") {
        jValeur = piPers->bSupprimeChemin(pszChemin, pclErreur, &m_clHote) != 0;
    } else {
        piPers->Release();
        return Erreur("\"persist\" is save, load, delete or deletepath");
    }
    piPers->Release();
    return {{"value", jValeur}, {"error", ErreurComposante()}};
}

void CObjetsHote::Libere() {
    for (auto& [n, st] : m_mapObjets)
        if (IObjetComposante* pi = QV_piObjetDepuisVisible(st.pVisible)) pi->Release();
    m_mapObjets.clear();
}

}  // namespace qvhost
