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
    int m_bInitOK = 0;
    STServiceVariables m_stService;
};
