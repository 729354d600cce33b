// Faults under the file functions that write: whole-text saves, copies and
// moves of files and of directories (within one file system and across
// two), renames, and writes through a handle.
#include <sys/stat.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "banc_fautes.h"
#include "component/compo.h"
#include "files/fh_table.h"
#include "files/functions.h"

// Rows name only the fields they set; GCC 12 still asks for the others.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using namespace fautes;

constexpr int ERR_INTROUVABLE = 80059;
constexpr int ERR_REP_COPIE = 80064;
constexpr int ERR_COPIE = 80065;
constexpr int ERR_ECRITURE_FLUX = 28008;
constexpr int OPT_RECURSIF = 1;

class FautesFichiers : public ::testing::Test {
protected:
    void SetUp() override {
        _FIC_FinModule();
        ASSERT_TRUE(_FIC_bInitModule());
    }
    void TearDown() override { _FIC_FinModule(); }

    // The call's result and the library's numbered error.
    STResultat Resultat(bool bSucces) { return {bSucces, m_clLib.pclGetError()->nGetUserError()}; }

    CComposanteStandard m_clLib;
    CNoms m_clNoms;
};

const std::string k_sAncien = "the previous content\n";

TEST_F(FautesFichiers, EveryWriterKeepsItsPromises) {
    const std::string sTexte = Bruit(300000, 11);
    const std::string sGrand = Bruit(200000, 13), sPetit = Bruit(5000, 17);
    auto fnAvecAncien = [](const std::string& sNom) {
        return [sNom](const std::string& sRep) { EcritFichier(sRep + "/" + sNom, k_sAncien); };
    };
    auto fnSource = [&](const std::string& sRep) {
        EcritFichier(sRep + "/source.bin", sGrand);
        EcritFichier(sRep + "/cible.bin", k_sAncien);
    };
    auto fnArbreSource = [&](const std::string& sRep) {
        ASSERT_EQ(mkdir((sRep + "/de").c_str(), 0755), 0);
        ASSERT_EQ(mkdir((sRep + "/de/sous").c_str(), 0755), 0);
        EcritFichier(sRep + "/de/a.bin", sGrand);
        EcritFichier(sRep + "/de/sous/b.bin", sPetit);
    };
    const std::vector<STEcrivain> tab = {
        {.sNom = "fSauveTexte over a file",
         .fnPrepare = fnAvecAncien("cible.txt"),
         .fnAppel = [&](const std::string& sRep) {
             m_clLib.RAZError();
             return Resultat(files::fSauveTexte(m_clLib, m_clNoms.Nom(sRep + "/cible.txt"), m_clNoms.Nom(sTexte)));
         },
         .fnAttendu = [&](const std::string&, Arbre& a) { a["cible.txt"] = sTexte; },
         .tabErreurs = {ERR_INTROUVABLE}},
        {.sNom = "fSauveTexte to a new file",
         .fnPrepare = [](const std::string&) {},
         .fnAppel = [&](const std::string& sRep) {
             m_clLib.RAZError();
             return Resultat(files::fSauveTexte(m_clLib, m_clNoms.Nom(sRep + "/neuf.txt"), m_clNoms.Nom(sTexte)));
         },
         .fnAttendu = [&](const std::string&, Arbre& a) { a["neuf.txt"] = sTexte; },
         .tabErreurs = {ERR_INTROUVABLE}},
        {.sNom = "fCopieFichier over a file",
         .fnPrepare = fnSource,
         .fnAppel = [&](const std::string& sRep) {
             m_clLib.RAZError();
             return Resultat(files::fCopieFichier(m_clLib, m_clNoms.Nom(sRep + "/source.bin"),
                                                  m_clNoms.Nom(sRep + "/cible.bin")));
         },
         .fnAttendu = [&](const std::string&, Arbre& a) { a["cible.bin"] = sGrand; },
         .tabErreurs = {ERR_COPIE}},
        {.sNom = "fDeplaceFichier within a file system",
         .fnPrepare = fnSource,
         .fnAppel = [&](const std::string& sRep) {
             m_clLib.RAZError();
             return Resultat(files::fDeplaceFichier(m_clLib, m_clNoms.Nom(sRep + "/source.bin"),
                                                    m_clNoms.Nom(sRep + "/cible.bin")));
         },
         .fnAttendu = [&](const std::string&, Arbre& a) {
             a["cible.bin"] = sGrand;
             a.erase("source.bin");
         },
         .tabErreurs = {ERR_COPIE},
         .bSynchronise = false},
        {.sNom = "fRenomme",
         .fnPrepare = fnSource,
         .fnAppel = [&](const std::string& sRep) {
             m_clLib.RAZError();
             return Resultat(
                 files::fRenomme(m_clLib, m_clNoms.Nom(sRep + "/source.bin"), m_clNoms.Nom(sRep + "/neuf.bin")));
         },
         .fnAttendu = [&](const std::string&, Arbre& a) {
             a["neuf.bin"] = sGrand;
             a.erase("source.bin");
         },
         .tabErreurs = {ERR_INTROUVABLE},
         .bSynchronise = false},
        {.sNom = "fDeplaceFichier across file systems",
         .fnPrepare = [&](const std::string& sRep) {
             ASSERT_EQ(mkdir((sRep + "/de").c_str(), 0755), 0);
             EcritFichier(sRep + "/de/source.bin", sGrand);
             EcritFichier(sRep + "/cible.bin", k_sAncien);
         },
         .fnAppel = [&](const std::string& sRep) {
             m_clLib.RAZError();
             return Resultat(files::fDeplaceFichier(m_clLib, m_clNoms.Nom(sRep + "/de/source.bin"),
                                                    m_clNoms.Nom(sRep + "/cible.bin")));
         },
         .fnAttendu = [&](const std::string&, Arbre& a) {
             a["cible.bin"] = sGrand;
             a.erase("de/source.bin");
         },
         .tabErreurs = {ERR_COPIE},
         .sAilleurs = "de/"},
        {.sNom = "fRepCopie of a tree over older files",
         .fnPrepare = [&](const std::string& sRep) {
             fnArbreSource(sRep);
             ASSERT_EQ(mkdir((sRep + "/vers").c_str(), 0755), 0);
             EcritFichier(sRep + "/vers/a.bin", k_sAncien);
         },
         .fnAppel = [&](const std::string& sRep) {
             m_clLib.RAZError();
             return Resultat(
                 files::fRepCopie(m_clLib, m_clNoms.Nom(sRep + "/de"), m_clNoms.Nom(sRep + "/vers"), OPT_RECURSIF));
         },
         .fnAttendu = [&](const std::string&, Arbre& a) {
             a["vers/a.bin"] = sGrand;
             a["vers/sous"] = "<dir>";
             a["vers/sous/b.bin"] = sPetit;
         },
         .tabErreurs = {ERR_REP_COPIE},
         .eRegle = eREGLE::PAR_FICHIER,
         .sSourceIntacte = "de"},
        {.sNom = "fRepDeplace across file systems",
         .fnPrepare = fnArbreSource,
         .fnAppel = [&](const std::string& sRep) {
             m_clLib.RAZError();
             return Resultat(
                 files::fRepDeplace(m_clLib, m_clNoms.Nom(sRep + "/de"), m_clNoms.Nom(sRep + "/vers"), OPT_RECURSIF));
         },
         .fnAttendu = [&](const std::string&, Arbre& a) {
             a.clear();
             a["vers"] = "<dir>";
             a["vers/a.bin"] = sGrand;
             a["vers/sous"] = "<dir>";
             a["vers/sous/b.bin"] = sPetit;
         },
         .tabErreurs = {ERR_REP_COPIE},
         .eRegle = eREGLE::PAR_FICHIER,
         .sSourceIntacte = "de",
         .sAilleurs = "de"},
        {.sNom = "fEcrit, fEcritLigne and fFerme on a handle",
         .fnPrepare = fnAvecAncien("journal.txt"),
         .fnAppel = [&](const std::string& sRep) {
             m_clLib.RAZError();
             const int h = files::fOuvre(m_clLib, m_clNoms.Nom(sRep + "/journal.txt"), FO_ECRITURE | FO_AJOUT);
             if (h < 0) return Resultat(false);
             const bool bOk = files::fEcrit(m_clLib, h, m_clNoms.Nom(sTexte)) == int(sTexte.size()) &&
                              files::fEcritLigne(m_clLib, h, m_clNoms.Nom("last line"));
             const STResultat stR = Resultat(bOk);
             const bool bFerme = files::fFerme(m_clLib, h) == 0;
             return STResultat{bOk && bFerme, stR.nErreur};
         },
         .fnAttendu = [&](const std::string&, Arbre& a) { a["journal.txt"] = k_sAncien + sTexte + "last line\r\n"; },
         .tabErreurs = {ERR_ECRITURE_FLUX},
         .eRegle = eREGLE::FLUX,
         .sCible = "journal.txt",
         .bSynchronise = false},
    };
    for (const STEcrivain& st : tab) Eprouve(st);
}

}  // namespace
