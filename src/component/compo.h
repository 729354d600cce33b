// The standard-functions library object. Language functions are methods of
// this class; their bodies live in the subsystem that owns them.
#pragma once
#include <cstdint>
#include <vector>

#include "runtime/znlibrary.h"
#include "core/zndstr.h"

// Variable identifiers with storage in the library object.
enum eServiceVariable {
    SV_DESCRIPTION = 39,
    SV_DEMARRAGE = 40,
    SV_ERREURDEMARRAGE = 41,
    SV_LIGNECOMMANDE = 42,
    SV_UTILISATEUR = 43,
    SV_MOTDEPASSE = 44,
    SV_TYPE = 45,
    SV_DESCRIPTIONLONGUE = 47,
    SV_REINITCOMPTEUR = 48,
    SV_MESSAGEREBOOT = 49,
    SV_LANCEAPPLI = 50,
    SV_ACTION = 51,
    SV_DELAI = 52,
    SV_DEMARRAGERETARDE = 53,
    SV_NBACTION = 54,
};

class CComposanteStandard : public CZNLibrary {
public:
    CComposanteStandard();
    ~CComposanteStandard() override;

    void* pQueryProxy(int nCode) override;
    void DumpMemoireInstance(void* piDump) override;
    int bFinInit() override;
    void TermCompo() override;
    void* pGetVariableAdresse(int nId) override;
    void EcritVariable(int nId, void* pValeur) override;

    bool _bCheckIsRoot();

    // Language functions, by family. Each family's bodies live in its own
    // subsystem folder; add a family's declarations below its heading.
    // -- File handles --
    // Handles index the process-wide table of open files (2 and up). A
    // failure raises its user error (level 2) and gives -1, false, 0 or an
    // empty text. Texts come as the host passes file-function strings.
    int fOuvre(const struct STManipAUB* pstNom, int nMode);
    int fCree(const struct STManipAUB* pstNom, int nMode);
    int fFerme(int nHandle);
    // The line without its end; the character of code 4 at the end of the
    // file. Unicode for a file opened with foUnicode.
    CZNDSTR fLitLigne(int nHandle);
    // Captured groups go into the variables passed from the third argument.
    bool fLitLigne(int nHandle, const struct STManipAUB* pstFormat);
    bool fEcritLigne(int nHandle, const struct STManipAUB* pstTexte);
    bool fEcritLigne(int nHandle, const void* pAdresse, int nLongueur);
    CZNDSTR fLit(int nHandle, int nNombre);
    int fLit(int nHandle, int nNombre, void* pAdresse);
    int fEcrit(int nHandle, const struct STManipAUB* pstValeur, int nLongueur);
    int fEcrit(int nHandle, const void* pAdresse, int nLongueur);
    long long fPositionne(int nHandle, long long oDeplacement, int nOrigine);
    bool fBloque(int nHandle, long long oDebut, long long oLongueur);
    bool fDebloque(int nHandle, long long oDebut, long long oLongueur);
    bool fChangeTaille(int nHandle, long long oTaille);
    class IXStream* _pclFicStream(int nHandle, bool bDisqueSeulement);
    void _FicErreurStream(class IXStream* pclStream);

    // Service.* storage, read and written by the service functions.
    struct STServiceVariables {
        CZNDSTR sDescription;
        int32_t nDemarrage = 0;
        int32_t nErreurDemarrage = 0;
        CZNDSTR sLigneCommande;
        CZNDSTR sUtilisateur;
        CZNDSTR sMotDePasse;
        int32_t nType = 0;
        CZNDSTR sDescriptionLongue;
        int32_t nReinitCompteur = 0;
        CZNDSTR sMessageReboot;
        CZNDSTR sLanceAppli;
        int32_t nNbAction = 0;
        CZNINTArray tabAction{10, 10};
        CZNINTArray tabDelai{10, 10};
        int32_t bDemarrageRetarde = 0;
    };
    STServiceVariables& GetServiceVariables() { return m_stService; }
    void ViderVariablesService();

private:
    uint8_t m_stDevise[64] = {};   // currency context, filled by the currency module
    int m_bInitOK = 0;
    STServiceVariables m_stService;
};
