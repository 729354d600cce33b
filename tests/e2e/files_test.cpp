// The file and directory management functions through the host: one
// session of calls in a fresh directory per interface language, each row a
// function with its arguments, its value and its error; names that a shell
// would read as commands are taken literally, and no command ever runs.
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "charset.h"
#include "common/temp_dir.h"
#include "e2e_common.h"

using e2e::json;

namespace {

// "@/" in a text stands for the session's directory.
json Remplace(const json& j, const std::string& sRep) {
    if (j.is_string()) {
        std::string s = j.get<std::string>();
        for (size_t i = s.find("@/"); i != std::string::npos; i = s.find("@/", i + sRep.size() + 1))
            s.replace(i, 2, sRep + "/");
        return s;
    }
    if (j.is_object() || j.is_array()) {
        json r = j;
        for (auto& [k, v] : r.items()) v = Remplace(v, sRep);
        return r;
    }
    return j;
}

void Ecrit(const std::string& sChemin, const std::string& sTexte) {
    std::ofstream f(sChemin, std::ios::binary | std::ios::trunc);
    f << sTexte;
}

bool bExiste(const std::string& s) {
    struct stat st;
    return lstat(s.c_str(), &st) == 0;
}

// A name a shell would take for commands, quotes, a pattern and two lines.
// The commands would leave their files in the current directory, which the
// session test makes its own directory.
const std::string k_sBizarre = "b $(touch PWNED) ;'\"`touch PWNED2`*\nx.txt";
const json k_jAucun = json::object({{"aucun", true}});   // the value is not checked

struct STCas {
    const char* pszFr;
    const char* pszEn;
    std::vector<json> tabArgs;
    json jValeur;
    int nErreur;   // 0: none
};

// Rows run in order on the tree made by Prepare: a row may rely on the
// rows before it.
const std::vector<STCas>& Cas() {
    static const std::vector<STCas> s_tab = {
        // Existence and size.
        {"fFichierExiste", "fFileExist", {"@/src/a.txt"}, true, 0},
        {"fFichierExiste", "fFileExist", {"@/src"}, false, 0},
        {"fFichierExiste", "fFileExist", {""}, false, 0},
        {"fRépertoireExiste", "fDirectoryExist", {"@/src"}, true, 0},
        {"fRépertoireExiste", "fDirectoryExist", {"@/src/a.txt"}, false, 0},
        {"fTaille", "fSize", {"@/src/a.txt"}, json{{"i8", 14}}, 0},
        {"fTaille", "fSize", {"@/src"}, json{{"i8", -1}}, 80067},
        {"fTaille", "fSize", {"@/absent"}, json{{"i8", -1}}, 80059},
        {"fFichierExiste", "fFileExist", {"@/src/" + k_sBizarre}, true, 0},
        // Copies: one file into a new directory, patterns with and without
        // dot files, names taken literally.
        {"fCopieFichier", "fCopyFile", {"@/src/a.txt", "@/out/"}, true, 0},
        {"fCompare", "fCompare", {"@/src/a.txt", "@/out/a.txt"}, 0, 0},
        {"fCompare", "fCompare", {"@/src/a.txt", "@/absent"}, -2, 80061},
        {"fCompare", "fCompare", {"@/absent", "@/src/a.txt"}, -1, 80060},
        {"fCompare", "fCompare", {"@/src/a.txt", "@/src/.cache"}, 1, 0},
        {"fCopieFichier", "fCopyFile", {"@/src/*", "@/star"}, true, 0},
        {"fListeFichier", "fListFile", {"@/star/*", 2}, "@/star/a.txt\r\n@/star/" + k_sBizarre, 0},
        {"fCopieFichier", "fCopyFile", {"@/src/.*", "@/dots"}, true, 0},
        {"fListeFichier", "fListFile", {"@/dots/*", 2}, "@/dots/.cache", 0},
        {"fCopieFichier", "fCopyFile", {"@/src/*", "@/rec", 1}, true, 0},
        {"fFichierExiste", "fFileExist", {"@/rec/sub/c.txt"}, true, 0},
        {"fCopieFichier", "fCopyFile", {"@/absent", "@/out"}, false, 80059},
        {"fCopieFichier", "fCopyFile", {"@/src/a.txt", "@/out/*"}, false, 80066},
        {"fCopieFichier", "fCopyFile", {"@/src/*.none", "@/none"}, true, 0},
        // Renaming and deleting.
        {"fRenomme", "fRename", {"@/out/a.txt", "@/out/" + k_sBizarre}, true, 0},
        {"fRenomme", "fRename", {"@/star/a.txt", "@/out/" + k_sBizarre}, false, 80059},
        {"fSupprime", "fDelete", {"@/out/" + k_sBizarre}, 1, 0},
        {"fSupprime", "fDelete", {"@/out/" + k_sBizarre}, 1, 0},   // now a pattern that matches nothing
        {"fSupprime", "fDelete", {"@/out/absent"}, 0, 80059},
        {"fRepCrée", "fMakeDir", {"@/lit"}, true, 0},
        {"fSauveTexte", "fSaveText", {"@/lit/x*", "1"}, true, 0},
        {"fSauveTexte", "fSaveText", {"@/lit/xa", "2"}, true, 0},
        {"fCopieFichier", "fCopyFile", {"@/lit/x*", "@/lit2/"}, true, 0},
        {"fListeFichier", "fListFile", {"@/lit2/*"}, "@/lit2/x*", 0},
        {"fSupprime", "fDelete", {"@/lit/x*"}, 1, 0},
        {"fFichierExiste", "fFileExist", {"@/lit/xa"}, true, 0},
        {"fFichierExiste", "fFileExist", {"@/lit/x*"}, false, 0},
        {"fSupprime", "fDelete", {"@/star/*"}, 1, 0},
        {"fListeFichier", "fListFile", {"@/star/*"}, "", 0},
        {"fDéplaceFichier", "fMoveFile", {"@/dots/.cache", "@/moved/"}, true, 0},
        {"fFichierExiste", "fFileExist", {"@/dots/.cache"}, false, 0},
        {"fFichierExiste", "fFileExist", {"@/moved/.cache"}, true, 0},
        // Directories.
        {"fRepCrée", "fMakeDir", {"@/n1/n2/n3"}, true, 0},
        {"fRépertoireExiste", "fDirectoryExist", {"@/n1/n2/n3"}, true, 0},
        {"fRepDroit", "fDirAttrib", {"@/n1/n2/n3"}, 0, 0},
        {"fRepDroit", "fDirAttrib", {"@/src"}, 1, 0},
        {"fRepDroit", "fDirAttrib", {""}, 0, 80059},
        {"fRepSupprime", "fRemoveDir", {"@/n1"}, false, 80404},
        {"fRepSupprime", "fRemoveDir", {"@/n1", 1}, true, 0},
        {"fRepSupprime", "fRemoveDir", {"@/n1", 1}, false, 80062},
        {"fRepSupprime", "fRemoveDir", {"@/src", 1024}, false, 80404},
        {"fRepCopie", "fCopyDir", {"@/src", "@/tree", 1}, true, 0},
        {"fRepTaille", "fDirSize", {"@/tree"}, json{{"i8", 19}}, 0},
        {"fRepTaille", "fDirSize", {"@/tree", 2}, json{{"i8", 18}}, 0},
        {"fRepCopie", "fCopyDir", {"@/absent", "@/tree2"}, false, 80062},
        {"fRepDéplace", "fMoveDir", {"@/tree", "@/moved2"}, false, 80068},
        {"fRepDéplace", "fMoveDir", {"@/tree", "@/moved2", 1}, true, 0},
        {"fRépertoireExiste", "fDirectoryExist", {"@/tree"}, false, 0},
        {"fFichierExiste", "fFileExist", {"@/moved2/sub/c.txt"}, true, 0},
        {"fRepParent", "fParentDir", {"@/src/sub"}, "@/src", 0},
        {"fRepAttribut", "fDirAttribute", {"@/src"}, "D", 0},
        {"fRepAttribut", "fDirAttribute", {"@/src/a.txt"}, "ERR", 80062},
        // Whole texts, binary values included.
        {"fChargeTexte", "fLoadText", {"@/src/a.txt"}, "hello\r\nworld\r\n", 0},
        {"fChargeTexte", "fLoadText", {"@/absent"}, "", 80059},
        {"fSauveTexte", "fSaveText", {"@/s.txt", "abc"}, true, 0},
        {"fChargeTexte", "fLoadText", {"@/s.txt"}, "abc", 0},
        {"fSauveTexte", "fSaveText", {"@/b.bin", json{{"bin", "AAECA/8="}}}, true, 0},
        {"fTaille", "fSize", {"@/b.bin"}, json{{"i8", 5}}, 0},
        // Dates, times and attributes.
        {"fDateHeure", "fDateTime", {"@/src/a.txt", "20090305140709"}, "20090305140709", 0},
        {"fDate", "fDate", {"@/src/a.txt"}, "20090305", 0},
        {"fHeure", "fTime", {"@/src/a.txt"}, "140709", 0},
        {"fDate", "fDate", {"@/src/a.txt", "20100101"}, "20100101", 0},
        {"fHeure", "fTime", {"@/src/a.txt"}, "140709", 0},
        {"fDate", "fDate", {"@/src/a.txt", "19790101"}, "", 80051},
        {"fHeure", "fTime", {"@/src/a.txt", "250000"}, "", 80052},
        {"fDate", "fDate", {"@/src/a.txt", "20100101", 1}, "", 81802},
        {"fDate", "fDate", {"@/absent"}, "", 80050},
        {"fAttribut", "fAttribute", {"@/src/.cache"}, "H", 0},
        {"fAttribut", "fAttribute", {"@/src/a.txt"}, "", 0},
        {"fAttributLectureSeule", "fAttributeReadOnly", {"@/src/a.txt", true}, true, 0},
        {"fAttribut", "fAttribute", {"@/src/a.txt"}, "R", 0},
        {"fAttributLectureSeule", "fAttributeReadOnly", {"@/src/a.txt"}, true, 0},
        {"fListeFichier", "fListFile", {"@/src/a.txt", 18}, "@/src/a.txt\t14\t20100101140709\tR", 0},
        {"fAttribut", "fAttribute", {"@/src/a.txt", " "}, "", 0},
        {"fAttributLectureSeule", "fAttributeReadOnly", {"@/src/a.txt"}, false, 0},
        {"fAttribut", "fAttribute", {"@/absent"}, "ERR", 80059},
        // Paths.
        {"fExtraitChemin", "fExtractPath", {"/a/b/c.txt", 14}, "/a/b/c.txt", 0},
        {"fExtraitChemin", "fExtractPath", {"/a/b/c.txt", 4}, "c", 0},
        {"fExtraitChemin", "fExtractPath", {"\\a\\b.d\\c", 10}, "/a/b.d/", 0},
        {"fExtraitChemin", "fExtractPath", {"/a/b/c.txt", 16}, "", 80042},
        {"fSéparateur", "fSeparator", {"/a\\b/c"}, "/a/b/c", 0},
        {"fSéparateur", "fSeparator", {"/a\\b/c", 1}, "\\a\\b\\c", 0},
        {"fSéparateur", "fSeparator", {"/a\\b", "::"}, "::a::b", 0},
        {"fSéparateur", "fSeparator", {"\\\\srv/x", "/", true}, "\\\\srv/x", 0},
        // Links.
        {"fCréeLien", "fCreateLink", {"@/src/a.txt", "@/hard", 1}, true, 0},
        {"fCompare", "fCompare", {"@/hard", "@/src/a.txt"}, 0, 0},
        {"fCréeLien", "fCreateLink", {"@/src/a.txt", "@/sym", 0}, true, 0},
        {"fChargeTexte", "fLoadText", {"@/sym"}, "hello\r\nworld\r\n", 0},
        {"fCréeLien", "fCreateLink", {"@/src/a.txt", "@/sym", 0}, false, 80059},
        // Listings.
        {"fListeRépertoire", "fListDirectory", {"@/src/*"}, "@/src/sub", 0},
        {"fListeFichier", "fListFile", {"@/src/*.txt"}, "@/src/a.txt\r\n@/src/" + k_sBizarre + "\r\n@/src/sub/c.txt", 0},
        {"fListeFichier", "fListFile", {"@/src/*", 256 + 2}, "@/src/a.txt\r\n@/src/" + k_sBizarre, 0},
        {"fListeFichier", "fListFile", {"@/src/*.txt", json{{"proc", "Vu"}, {"returns", false}}}, 1, 0},
        {"fListeFichier", "fListFile", {"@/src/*.txt", json{{"proc", "Vu"}}, "v"}, 3, 0},
        {"fListeRépertoire", "fListDirectory", {"@/src/*", json{{"proc", "Vu"}}}, 1, 0},
        {"fRep", "fDir", {"@/src/*.txt"}, "a.txt", 0},
        {"fRep", "fDir", {""}, k_sBizarre, 0},
        {"fRep", "fDir", {""}, "", 0},
        {"fRep", "fDir", {""}, "", 80054},
        {"fRep", "fDir", {"@/src/*", 55}, ".cache", 0},
        {"fRep", "fDir", {"@/src/*", 40}, "", 80053},
        // Temporary files.
        {"fFichierTemp", "fTempFile", {"t", "@/"}, k_jAucun, 0},
        {"fRépertoireTemp", "fTempPath", {}, k_jAucun, 0},
    };
    return s_tab;
}

class FilesE2E : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_clRep.bOk()); }
    // The tree every session starts from.
    static void Prepare(const std::string& sRep) {
        ASSERT_EQ(mkdir((sRep + "/src").c_str(), 0755), 0);
        ASSERT_EQ(mkdir((sRep + "/src/sub").c_str(), 0755), 0);
        Ecrit(sRep + "/src/a.txt", "hello\r\nworld\r\n");
        Ecrit(sRep + "/src/.cache", "h");
        Ecrit(sRep + "/src/sub/c.txt", "c");
        Ecrit(sRep + "/src/" + Remplace(k_sBizarre, sRep).get<std::string>(), "odd");
    }
    CRepTemporaire m_clRep{"files_e2e"};
};

TEST_F(FilesE2E, EveryFunctionInBothLanguages) {
    for (const char* pszLangue : {"fr", "en"}) {
        e2e::Session().Traite(json{{"lang", pszLangue}});
        const bool bFr = std::string(pszLangue) == "fr";
        const std::string sRep = m_clRep.sChemin(pszLangue);
        ASSERT_EQ(mkdir(sRep.c_str(), 0755), 0);
        Prepare(sRep);
        char szAvant[4096];
        ASSERT_NE(getcwd(szAvant, sizeof szAvant), nullptr);
        ASSERT_EQ(chdir(sRep.c_str()), 0);
        for (const STCas& c : Cas()) {
            const char* pszNom = bFr ? c.pszFr : c.pszEn;
            std::vector<json> tabArgs;
            for (const json& j : c.tabArgs) tabArgs.push_back(Remplace(j, sRep));
            const json j = e2e::Appel(pszNom, tabArgs);
            const std::string sCas = std::string(pszNom) + " " + json(tabArgs).dump() + " -> " + j.dump();
            if (c.nErreur == 0)
                EXPECT_TRUE(j["error"].is_null()) << sCas;
            else
                EXPECT_EQ(j["error"].is_object() ? j["error"]["code"] : json(), c.nErreur) << sCas;
            const json jAttendu = Remplace(c.jValeur, sRep);
            if (jAttendu == k_jAucun) continue;
            if (jAttendu.is_object() && jAttendu.contains("i8"))
                EXPECT_EQ(j["value"], jAttendu["i8"]) << sCas;
            else
                EXPECT_EQ(j["value"], jAttendu) << sCas;
        }
        // Names that a shell would have run as commands were only names.
        EXPECT_FALSE(bExiste(sRep + "/PWNED"));
        EXPECT_FALSE(bExiste(sRep + "/PWNED2"));
        ASSERT_EQ(chdir(szAvant), 0);
    }
    e2e::Session().Traite(json{{"lang", "fr"}});
}

// The callback receives (directory, name, change indicator, value) and
// its first call says whether it starts in the starting directory.
TEST_F(FilesE2E, ListingCallbackArguments) {
    const std::string sRep = m_clRep.sRep();
    Prepare(sRep);
    const json j = e2e::Appel("fListeFichier", {sRep + "/src/*.txt", json{{"proc", "Liste"}}, 7, 0});
    ASSERT_TRUE(j["error"].is_null()) << j.dump();
    EXPECT_EQ(j["value"], 3);
    const json& jAppels = j["calls"]["Liste"]["calls"];
    ASSERT_EQ(jAppels.size(), 3u) << j.dump();
    const std::string sBizarre = Remplace(k_sBizarre, sRep).get<std::string>();
    const json jAttendus[] = {{sRep + "/src", "a.txt", 2, 7}, {sRep + "/src", sBizarre, 0, 7},
                              {sRep + "/src/sub", "c.txt", 1, 7}};
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(jAppels[i]["values"], jAttendus[i]) << i << " " << j.dump();
}

// Binary values reach a file as their bytes, every byte value included.
TEST_F(FilesE2E, EveryByteValueThroughTheHost) {
    std::string sOctets;
    for (int i = 0; i < 256; ++i) sOctets += static_cast<char>(i);
    const std::string sB64 = qvhost::Base64Encode(sOctets);
    const std::string sNom = m_clRep.sChemin("octets.bin");
    struct {
        const char* pszCas;
        std::vector<json> tabAvant;   // call that makes the file, through a handle or whole
    } tab[] = {{"fEcrit", {}}, {"fSauveTexte", {}}};
    for (const auto& c : tab) {
        unlink(sNom.c_str());
        if (std::string(c.pszCas) == "fEcrit") {
            const json jH = e2e::Appel("fCrée", {sNom});
            ASSERT_TRUE(jH["error"].is_null()) << jH.dump();
            const json jE = e2e::Appel("fEcrit", {jH["value"], json{{"bin", sB64}}});
            EXPECT_EQ(jE["value"], 256) << jE.dump();
            e2e::Appel("fFerme", {jH["value"]});
        } else {
            EXPECT_EQ(e2e::Appel("fSauveTexte", {sNom, json{{"bin", sB64}}})["value"], true);
        }
        std::ifstream f(sNom, std::ios::binary);
        std::ostringstream o;
        o << f.rdbuf();
        EXPECT_EQ(o.str(), sOctets) << c.pszCas;
        // And back through the host as the bytes the component hands over.
        const json jH = e2e::Appel("fOuvre", {sNom});
        ASSERT_TRUE(jH["error"].is_null()) << jH.dump();
        const json jL = e2e::Session().Traite(json{{"call", "fLit"}, {"args", {jH["value"], 256}}, {"result", "bin"}});
        EXPECT_EQ(jL["value"], json({{"bin", sB64}})) << c.pszCas << " " << jL.dump();
        e2e::Appel("fFerme", {jH["value"]});
    }
}

// A zone written by a qvhost process of its own, then read through the
// session in both interface languages.
TEST_F(FilesE2E, SharedZoneBetweenTwoHosts) {
    const std::string sCle = m_clRep.sChemin("cle");
    Ecrit(sCle, "");
    const std::string sZone = "Z" + sCle;
    struct Cas {
        const char* pszFr;
        const char* pszEn;
        std::vector<json> tabArgs;
        json jValeur;
        int nErreur;
    } tab[] = {
        {"fMemExiste", "fMemExist", {sZone}, true, 0},
        {"fMemExiste", "fMemExist", {"Z" + m_clRep.sChemin("absent")}, false, 0},
        {"fMemOuvre", "fMemOpen", {"Z", 10}, -1, 81508},
        {"fMemOuvre", "fMemOpen", {"Z" + m_clRep.sChemin("absent"), 10}, -1, 81508},
        {"fMemAttend", "fMemWait", {2, 10}, true, 81511},
    };
    const std::string sRequetes =
        json{{"call", "fMemOuvre"}, {"args", {sZone, 32, 2, 3}}}.dump() + "\n" +
        json{{"call", "fEcritLigne"}, {"args", {2, "from another process"}}}.dump() + "\n";
    const e2e::STSortie st = e2e::LanceHote({"--jsonl"}, sRequetes);
    EXPECT_EQ(st.nStatut, 0) << st.sErr;
    for (const char* pszLangue : {"fr", "en"}) {
        e2e::Session().Traite(json{{"lang", pszLangue}});
        const bool bFr = std::string(pszLangue) == "fr";
        for (const auto& c : tab) {
            const json j = e2e::Appel(bFr ? c.pszFr : c.pszEn, c.tabArgs);
            EXPECT_EQ(j["value"], c.jValeur) << j.dump();
            if (c.nErreur != 0) {
                EXPECT_EQ(j["error"].is_object() ? j["error"]["code"] : json(), c.nErreur) << j.dump();
            }
        }
        const json jH = e2e::Appel(bFr ? "fMemOuvre" : "fMemOpen", {sZone, 32});
        ASSERT_TRUE(jH["error"].is_null()) << jH.dump();
        EXPECT_EQ(e2e::Appel("fLitLigne", {jH["value"]})["value"], "from another process");
        EXPECT_EQ(e2e::Appel("fFerme", {jH["value"]})["value"], 0);
    }
    e2e::Session().Traite(json{{"lang", "fr"}});
    const key_t k = ftok(sCle.c_str(), 'Z');
    const int id = k != -1 ? shmget(k, 0, 0) : -1;
    if (id != -1) shmctl(id, IPC_RMID, nullptr);
}

}  // namespace
