#include "module.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>

#include "qvstd/types.h"
#include "qvstd/xerror.h"
#include "devise.h"

namespace qvhost {

extern int g_nPlusieursThreads;

namespace {
constexpr intptr_t k_nCodeProduit = 1;      // this host's product code
const char k_szNomProduit[] = "qvhost";
}  // namespace

STEtatHote& EtatHote() {
    static STEtatHote s_stEtat;
    return s_stEtat;
}

void Trace(std::string s) {
    std::vector<std::string>& tab = EtatHote().tabTrace;
    if (tab.size() < k_nTraceMax) tab.push_back(std::move(s));
}

extern "C" int qvhost_ChargeMessage(int nMessage, char* pszBuffer, int nTaille) {
    Trace("message " + std::to_string(nMessage));
    auto& map = EtatHote().mapMessages;
    auto it = map.find(nMessage);
    if (it == map.end() || !pszBuffer || nTaille <= 0) return 0;
    size_t n = std::min(it->second.size(), static_cast<size_t>(nTaille) - 1);
    std::memcpy(pszBuffer, it->second.data(), n);
    pszBuffer[n] = '\0';
    return static_cast<int>(n);
}

int CLibShop::bEnregistre(int nComposante, int nA, int nB, const char* pszNom, void* pObjet, CXError*) {
    m_tabEntrees.push_back({nComposante, nA, nB, pszNom ? pszNom : "", pObjet});
    return 1;
}

void* CLibShop::pCherche(const char* pszNom) {
    if (!pszNom) return nullptr;
    for (const auto& st : m_tabEntrees)
        if (st.sNom == pszNom) return st.pObjet;
    // Modules the host carries itself.
    return pChercheModuleHote(pszNom);
}

void* CModule::pSymbole(const char* pszNom, bool bRequis, std::string& sErreur) {
    void* p = dlsym(m_hModule, pszNom);
    if (!p && bRequis && sErreur.empty()) sErreur = std::string("the module does not export ") + pszNom;
    return p;
}

bool CModule::bEchec(const std::string& sEtape, std::string& sErreur) {
    if (sErreur.empty()) sErreur = "start-up failed at " + sEtape;
    Arrete();
    return false;
}

bool CModule::bDemarre(const std::string& sChemin, int nLangue, std::string& sErreur) {
    Arrete();
    sErreur.clear();
    m_tabSequence.clear();
    EtatHote().nLangue = nLangue;
    EtatHote().piShop = &m_clShop;

    m_hModule = dlopen(sChemin.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_hModule) {
        const char* psz = dlerror();
        sErreur = "cannot load " + sChemin + ": " + (psz ? psz : "unknown error");
        return false;
    }
    m_tabSequence.push_back("dlopen");
    m_pfnInit = reinterpret_cast<PFN_bInitLibrary>(pSymbole("bInitLibrary", true, sErreur));
    m_pfnTerm = reinterpret_cast<PFN_TermLibrary>(pSymbole("TermLibrary", true, sErreur));
    m_pfnInfo = reinterpret_cast<PFN_InfoComposante>(pSymbole("InfoComposante", true, sErreur));
    m_pfnCommande = reinterpret_cast<PFN_CommandeComposante>(pSymbole("CommandeComposante", true, sErreur));
    m_pfnParam = reinterpret_cast<PFN_GeneralParam>(pSymbole("GeneralParam", true, sErreur));
    m_pfnProxy = reinterpret_cast<PFN_pQueryProxy>(pSymbole("pQueryProxy", true, sErreur));
    m_pfnExecution = reinterpret_cast<PFN_Execution>(pSymbole("Execution", true, sErreur));
    if (!sErreur.empty()) return bEchec("symbols", sErreur);

    if (!m_pfnInit(m_hModule)) return bEchec("bInitLibrary", sErreur);
    m_bInitLibrary = true;
    m_tabSequence.push_back("bInitLibrary");

    if (pthread_key_create(&m_clCle, nullptr) != 0) return bEchec("pthread_key_create", sErreur);
    m_bCle = true;
    m_tabSequence.push_back("GeneralParam 2005 -> " +
                            std::to_string(m_pfnParam(2005, static_cast<intptr_t>(m_clCle))));
    m_tabSequence.push_back("GeneralParam 2006 -> " +
                            std::to_string(m_pfnParam(2006, reinterpret_cast<intptr_t>(&g_nPlusieursThreads))));
    m_tabSequence.push_back("CommandeComposante 2 -> " +
                            std::to_string(m_pfnCommande(2, reinterpret_cast<intptr_t>(&qvhost_ChargeMessage))));

    m_hHote = dlopen(nullptr, RTLD_NOW);
    STInitExecution stBloc{0, m_hHote, 0, 0};
    intptr_t nInit = m_pfnExecution(3985, reinterpret_cast<intptr_t>(&stBloc));
    m_tabSequence.push_back("Execution 3985 -> " + std::to_string(nInit));
    // The link counts each initialisation, successful or not; one end
    // matches it.
    m_nInitExecution = 1;
    if (nInit != 1) {
        sErreur = "the module could not set up its execution link (is \"Execution\" exported by the host?)";
        return bEchec("Execution 3985", sErreur);
    }
    m_tabSequence.push_back("Execution 5123 -> " + std::to_string(m_pfnExecution(5123, nLangue)));

    // The descriptor.
    m_tabSequence.push_back("InfoComposante");
    if (m_pfnInfo(1, 0) != qvstd::COMPONENT_NUMBER) {
        sErreur = "the module is not component " + std::to_string(qvstd::COMPONENT_NUMBER);
        return bEchec("InfoComposante", sErreur);
    }
    m_pstFonctions = reinterpret_cast<const STFonction*>(m_pfnInfo(33, 0));
    m_nFonctions = m_pstFonctions ? static_cast<int>(m_pfnInfo(34, 0)) : 0;
    m_pstConstantes = reinterpret_cast<const STConstante*>(m_pfnInfo(23, 0));
    m_nConstantes = m_pstConstantes ? static_cast<int>(m_pfnInfo(24, 0)) : 0;
    m_pstVariables = reinterpret_cast<const STVariable*>(m_pfnInfo(25, 0));
    m_nVariables = m_pstVariables ? static_cast<int>(m_pfnInfo(26, 0)) : 0;
    if (m_nFonctions < 0 || m_nConstantes < 0 || m_nVariables < 0) return bEchec("InfoComposante counts", sErreur);

    m_piLib = static_cast<IZNLibrary*>(m_pfnProxy(60));
    if (!m_piLib) return bEchec("pQueryProxy(60)", sErreur);
    m_tabSequence.push_back("pQueryProxy 60");
    m_piLib->SetLibShop(&m_clShop);
    m_tabSequence.push_back("SetLibShop");
    int bFin = m_piLib->bFinInitZNL();
    m_tabSequence.push_back("bFinInitZNL -> " + std::to_string(bFin));
    if (!bFin) {
        sErreur = "the library object did not finish its initialisation (bFinInitZNL)";
        return bEchec("bFinInitZNL", sErreur);
    }
    return true;
}

void CModule::Arrete() {
    if (!m_hModule) return;
    if (m_piLib) {
        m_piLib->TermZNL();
        m_tabSequence.push_back("TermZNL");
        m_piLib->Release();
        m_tabSequence.push_back("Release");
        m_piLib = nullptr;
    }
    for (; m_nInitExecution > 0; --m_nInitExecution)
        m_tabSequence.push_back("Execution 4875 -> " + std::to_string(m_pfnExecution(4875, 0)));
    if (m_bInitLibrary) {
        m_tabSequence.push_back("TermLibrary -> " + std::to_string(m_pfnTerm()));
        m_bInitLibrary = false;
    }
    dlclose(m_hModule);
    m_tabSequence.push_back("dlclose");
    m_hModule = nullptr;
    if (m_hHote) dlclose(m_hHote);
    m_hHote = nullptr;
    if (m_bCle) pthread_key_delete(m_clCle);
    m_bCle = false;
    m_pstFonctions = nullptr;
    m_pstConstantes = nullptr;
    m_pstVariables = nullptr;
    m_nFonctions = m_nConstantes = m_nVariables = 0;
    if (EtatHote().piShop == &m_clShop) EtatHote().piShop = nullptr;
    m_clShop.m_tabEntrees.clear();
}

int CModule::ChangeLangue(int nLangue) {
    EtatHote().nLangue = nLangue;
    return m_pfnExecution && m_hModule ? static_cast<int>(m_pfnExecution(5123, nLangue)) : 0;
}

intptr_t CModule::InfoComposante(int nCode, intptr_t nArgument) const {
    return m_pfnInfo && m_hModule ? m_pfnInfo(nCode, nArgument) : 0;
}

intptr_t CModule::CommandeComposante(int nCode, intptr_t nArgument) const {
    return m_pfnCommande && m_hModule ? m_pfnCommande(nCode, nArgument) : 0;
}

}  // namespace qvhost

// Request 3053: the answer goes into the intptr_t the component points at,
// and the result says whether the host knows the sub-code.
extern "C" intptr_t Execution(int nRequest, intptr_t nSousCode, void* pReponse) {
    using namespace qvhost;
    STEtatHote& st = EtatHote();
    Trace("Execution " + std::to_string(nRequest) + "/" + std::to_string(nSousCode));
    switch (nRequest) {
        case HR_QUERY: {
            intptr_t nValeur = 0;
            switch (nSousCode) {
                case 1:   // execution product code
                case 5:   // real product code
                    nValeur = k_nCodeProduit;
                    break;
                case 2: nValeur = st.nLangue; break;
                case 3: nValeur = reinterpret_cast<intptr_t>(k_szNomProduit); break;
                case 4: nValeur = 0; break;    // options word: none
                case 6: nValeur = 0; break;    // no managed-code layer
                case 7: nValeur = reinterpret_cast<intptr_t>(st.piShop); break;
                case 8: nValeur = qvstd::LANGUAGE_VERSION; break;
                case 9: nValeur = 0; break;    // no global factory
                case 10: nValeur = 0; break;   // no topology collector
                case 11: nValeur = 0; break;   // not a smartphone
                default: return 0;
            }
            if (pReponse) *static_cast<intptr_t*>(pReponse) = nValeur;
            return 1;
        }
        case HR_TERMINE: return 1;
        default: return 0;   // 3184 and the rest: nothing to give
    }
}
