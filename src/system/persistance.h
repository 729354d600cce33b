// Parameter persistence: named text parameters of an application, addressed
// by a backslash-separated path and a name, kept in an INI file through the
// profile engine. The host creates the object through its exported
// constructor and uses it through IPersistance (qvstd/persistance.h).
//
// The file is the given one (SetModeINI), a relative one being placed in
// the project's directory, or by default "<project directory>/<project
// name>.ini", the project being the host's "VMProjet" object. A path gives
// a section: "\Options\Main window" is [Options_Main_window], so a path's
// sub-paths are the sections that begin with its section and "_". Values
// are stored with their backslashes, line ends, tabs and spaces escaped, so
// that any text comes back exactly, however long.
#pragma once
#include <string>

#include "core/tstring.h"
#include "qvstd/persistance.h"

class CZNLibrary;

class CPersistance final : public IPersistance {
public:
    __attribute__((visibility("default"))) explicit CPersistance(CZNLibrary* pclComposante);
    CPersistance(const CPersistance&) = delete;
    CPersistance& operator=(const CPersistance&) = delete;

    // IStdVersion
    int nGetVersion() override { return 3; }
    int nGetCompatSince() override { return 1; }
    int nGetDllNum() override { return 8; }

    // IPersistance
    void AddRef() override { ++m_nRef; }
    void Release() override;
    int bSauveParametre(const char* pszChemin, const char* pszNom, const char* pszValeur, CXError* pclErreur,
                        IZNHost* piVM) override;
    int bChargeParametre(const char* pszChemin, const char* pszNom, char** ppszResultat, const char* pszDefaut,
                         CXError* pclErreur, IZNHost* piVM) override;
    int FreePszValeur(char* pszValeur) override;
    int bSupprimeParametre(const char* pszChemin, const char* pszNom, CXError* pclErreur, IZNHost* piVM) override;
    int bSupprimeChemin(const char* pszChemin, CXError* pclErreur, IZNHost* piVM) override;
    void DebutOperationEnBloc() override { m_bVerifieInchange = 1; }
    void FinOperationEnBloc() override { m_bVerifieInchange = 0; }

    // The INI file to use (null or "" for the default); resolved again at the
    // next operation.
    void SetModeINI(const char* pszChemin);
    const char* pszGetChemin() const { return m_nMode == MODE_INI ? m_sChemin.pszGet() : ""; }
    void Term();
    bool bInit(CXError* pclErreur, IZNHost* piVM);

    // The stored forms (exposed for tests).
    static std::string s_EncodeINI(const char* pszValeur);
    static std::string s_DecodeINI(const std::string& sStocke);
    static std::string s_NomSectionINI(const char* pszChemin);

protected:
    ~CPersistance() override = default;

private:
    static constexpr int MODE_INI = 3;

    bool _bNomParDefaut(std::string& sNom) const;
    bool _bInit_INI();

    int m_nRef = 1;
    CZNLibrary* m_pclComposante;
    int m_nMode = MODE_INI;
    int m_bInitialise = 0;
    CTString m_sChemin;
    int m_bVerifieInchange = 1;
};
