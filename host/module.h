// Loading the component and driving its start-up and stop sequences, as the
// language's virtual machine does. The host side of the execution link
// ("Execution", exported by the executable), the message loader and the
// library shop live here too.
#pragma once
#include <pthread.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "qvstd/descriptor.h"
#include "qvstd/exports.h"
#include "qvstd/host.h"
#include "qvstd/library.h"

namespace qvhost {

constexpr int LANGUE_FR = 12;   // first language: French names
constexpr int LANGUE_EN = 9;    // English

// Process-wide state the component reaches through plain callbacks.
struct STEtatHote {
    int nLangue = LANGUE_FR;
    ILibShop* piShop = nullptr;
    std::map<int, std::string> mapMessages;   // texts the host's loader answers (8-bit set)
    std::vector<std::string> tabTrace;        // callbacks received, in order (the first k_nTraceMax)
};
STEtatHote& EtatHote();

// The trace serves start-up checks; a long session must not grow by an entry
// for every message loaded, so it keeps the first callbacks only.
constexpr size_t k_nTraceMax = 4096;
void Trace(std::string s);

// The host's message loader handed over by CommandeComposante(2, ...).
extern "C" int qvhost_ChargeMessage(int nMessage, char* pszBuffer, int nTaille);

class CLibShop final : public ILibShop {
public:
    virtual ~CLibShop() = default;
    int bEnregistre(int nComposante, int nA, int nB, const char* pszNom, void* pObjet, CXError* pclErreur) override;
    void* pCherche(const char* pszNom) override;
    struct STEntree {
        int nComposante, nA, nB;
        std::string sNom;
        void* pObjet;
    };
    std::vector<STEntree> m_tabEntrees;
};

class CModule {
public:
    CModule() = default;
    CModule(const CModule&) = delete;
    CModule& operator=(const CModule&) = delete;
    ~CModule() { Arrete(); }

    // Loads and starts the module; false with a message on failure (the
    // module is then stopped and unloaded again).
    bool bDemarre(const std::string& sChemin, int nLangue, std::string& sErreur);
    // Stop sequence; does nothing when not started.
    void Arrete();
    bool bDemarre() const { return m_piLib != nullptr; }

    int ChangeLangue(int nLangue);   // Execution(5123)
    intptr_t InfoComposante(int nCode, intptr_t nArgument) const;
    intptr_t CommandeComposante(int nCode, intptr_t nArgument) const;

    IZNLibrary* piLib() const { return m_piLib; }
    const STFonction* pstFonctions() const { return m_pstFonctions; }
    int nFonctions() const { return m_nFonctions; }
    const STConstante* pstConstantes() const { return m_pstConstantes; }
    int nConstantes() const { return m_nConstantes; }
    const STVariable* pstVariables() const { return m_pstVariables; }
    int nVariables() const { return m_nVariables; }
    const std::vector<std::string>& GetSequence() const { return m_tabSequence; }
    const CLibShop& GetShop() const { return m_clShop; }

private:
    void* pSymbole(const char* pszNom, bool bRequis, std::string& sErreur);
    bool bEchec(const std::string& sEtape, std::string& sErreur);

    void* m_hModule = nullptr;
    void* m_hHote = nullptr;
    bool m_bCle = false;
    pthread_key_t m_clCle{};
    bool m_bInitLibrary = false;
    int m_nInitExecution = 0;
    PFN_bInitLibrary m_pfnInit = nullptr;
    PFN_TermLibrary m_pfnTerm = nullptr;
    PFN_InfoComposante m_pfnInfo = nullptr;
    PFN_CommandeComposante m_pfnCommande = nullptr;
    PFN_GeneralParam m_pfnParam = nullptr;
    PFN_pQueryProxy m_pfnProxy = nullptr;
    PFN_Execution m_pfnExecution = nullptr;
    IZNLibrary* m_piLib = nullptr;
    CLibShop m_clShop;
    const STFonction* m_pstFonctions = nullptr;
    int m_nFonctions = 0;
    const STConstante* m_pstConstantes = nullptr;
    int m_nConstantes = 0;
    const STVariable* m_pstVariables = nullptr;
    int m_nVariables = 0;
    std::vector<std::string> m_tabSequence;   // what the host did, in order
};

}  // namespace qvhost

// The host callback of the execution link, looked up by the component with
// dlsym in the executable.
extern "C" intptr_t Execution(int nRequest, intptr_t nSousCode, void* pReponse);
