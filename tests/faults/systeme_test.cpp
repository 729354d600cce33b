// Faults under the system writers: INI files through INIEcrit, the
// parameter persistence file, and the files the service manager installs.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "banc_fautes.h"
#include "component/compo.h"
#include "system/functions.h"
#include "system/persistance.h"
#include "system/services.h"

// Rows name only the fields they set; GCC 12 still asks for the others.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using namespace fautes;

constexpr int ERR_INI_ECRITURE = 80294;

class FautesSysteme : public ::testing::Test {
protected:
    STResultat Resultat(bool bSucces) { return {bSucces, m_clLib.pclGetError()->nGetUserError()}; }

    CComposanteStandard m_clLib;
};

CZNDSTR Texte(const std::string& s) {
    CZNDSTR sTexte;
    sTexte.nAssign(s.data(), int(s.size()));
    return sTexte;
}

// An INI file of many sections, so that its rewriting is not one small write.
std::string Ini() {
    std::string s;
    for (int i = 0; i < 2000; ++i) s += "[section " + std::to_string(i) + "]\nkey=value " + std::to_string(i) + "\n";
    return s;
}

TEST_F(FautesSysteme, EveryWriterKeepsItsPromises) {
    const std::string sIni = Ini(), sScript = "#!/bin/sh\n" + Bruit(40000, 29) + "\n";
    auto fnIni = [&](const std::string& sRep) { EcritFichier(sRep + "/conf.ini", sIni); };
    const std::vector<STEcrivain> tab = {
        {.sNom = "INIEcrit of a value",
         .fnPrepare = fnIni,
         .fnAppel = [&](const std::string& sRep) {
             m_clLib.RAZError();
             return Resultat(sys::INIEcrit(m_clLib, Texte("section 1000"), Texte("key"), Texte("new value"),
                                           Texte(sRep + "/conf.ini")));
         },
         .tabErreurs = {ERR_INI_ECRITURE}},
        {.sNom = "INIEcrit deleting a section",
         .fnPrepare = fnIni,
         .fnAppel = [&](const std::string& sRep) {
             m_clLib.RAZError();
             CAny clRien;
             return Resultat(
                 sys::INIEcrit(m_clLib, Texte("section 5"), clRien, clRien, Texte(sRep + "/conf.ini")));
         },
         .tabErreurs = {ERR_INI_ECRITURE}},
        {.sNom = "parameter persistence",
         .fnPrepare = fnIni,
         .fnAppel = [&](const std::string& sRep) {
             auto* pcl = new CPersistance(&m_clLib);
             pcl->SetModeINI((sRep + "/conf.ini").c_str());
             CXError clErreur;
             const bool bOk = pcl->bSauveParametre("\\Options\\Window", "width", "1024 px", &clErreur, nullptr) != 0;
             pcl->Release();
             return STResultat{bOk, clErreur.nGetUserError()};
         },
         .tabErreurs = {0}},
        {.sNom = "installed service file",
         .fnPrepare = [&](const std::string& sRep) { EcritFichier(sRep + "/service", "#!/bin/sh\nexit 0\n"); },
         .fnAppel = [&](const std::string& sRep) {
             return STResultat{SERVICE_bEcritFichier(sRep + "/service", sScript, 0755, false), 0};
         },
         .tabErreurs = {0}},
    };
    for (const STEcrivain& st : tab) Eprouve(st);
}

}  // namespace
