// File compaction through the host: a file compacted, measured and brought
// back byte for byte, in each interface language, and what becomes of a
// file that is not an archive.
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "e2e_common.h"

using e2e::json;

namespace {

void Ecrit(const std::string& sChemin, const std::string& s) {
    std::ofstream f(sChemin, std::ios::binary | std::ios::trunc);
    f << s;
}

std::string Lit(const std::string& sChemin) {
    std::ifstream f(sChemin, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

std::string Texte() {
    std::string s;
    for (int i = 0; i < 4000; ++i) s += "ligne " + std::to_string(i % 97) + " du fichier compacté\n";
    return s;
}

TEST(CompactE2E, RoundTripInBothLanguages) {
    CRepTemporaire clRep("qvcompact");
    ASSERT_TRUE(clRep.bOk());
    const std::string sSource = clRep.sChemin("source.txt");
    const std::string sTexte = Texte();
    Ecrit(sSource, sTexte);
    struct {
        const char* pszLangue;
        const char* pszCompacte;
        const char* pszTailleC;
        const char* pszTailleD;
        const char* pszDecompacte;
    } tab[] = {
        {"fr", "fCompacte", "fTailleCompacté", "fTailleDécompacté", "fDécompacte"},
        {"en", "fCompress", "fSizeCompressed", "fSizeUncompressed", "fUncompress"},
    };
    for (const auto& c : tab) {
        e2e::Session().Traite(json{{"lang", c.pszLangue}});
        const std::string sArchive = clRep.sChemin(std::string("archive_") + c.pszLangue + ".lzh");
        const std::string sRetour = clRep.sChemin(std::string("retour_") + c.pszLangue + ".txt");
        json j = e2e::Appel(c.pszCompacte, {sSource, sArchive});
        ASSERT_EQ(j["value"], 0) << j.dump();
        j = e2e::Appel(c.pszTailleD, {sArchive});
        EXPECT_EQ(j["value"], static_cast<int>(sTexte.size())) << j.dump();
        j = e2e::Appel(c.pszTailleC, {sArchive});
        ASSERT_TRUE(j["value"].is_number_integer()) << j.dump();
        EXPECT_GT(j["value"].get<int>(), 0);
        EXPECT_LT(j["value"].get<int>(), static_cast<int>(sTexte.size()) / 2) << "text that repeats must shrink";
        j = e2e::Appel(c.pszDecompacte, {sArchive, sRetour});
        ASSERT_EQ(j["value"], 0) << j.dump();
        EXPECT_EQ(Lit(sRetour), sTexte) << c.pszLangue;
    }
    e2e::Session().Traite(json{{"lang", "fr"}});
}

// A file that is no archive: the size functions say so (-2), one that does
// not exist cannot be opened (-1).
TEST(CompactE2E, NotAnArchive) {
    CRepTemporaire clRep("qvcompact");
    ASSERT_TRUE(clRep.bOk());
    const std::string sFaux = clRep.sChemin("faux.lzh");
    Ecrit(sFaux, "ceci n'est pas une archive, seulement du texte.");
    const std::string sAbsent = clRep.sChemin("absent.lzh");
    struct {
        const char* pszNom;
        std::string sArchive;
        int nAttendu;
    } tab[] = {
        {"fTailleCompacté", sFaux, -2},  {"fTailleDécompacté", sFaux, -2},
        {"fTailleCompacté", sAbsent, -1}, {"fTailleDécompacté", sAbsent, -1},
    };
    for (const auto& c : tab) {
        json j = e2e::Appel(c.pszNom, {c.sArchive});
        EXPECT_EQ(j["value"], c.nAttendu) << c.pszNom << " " << c.sArchive << " -> " << j.dump();
    }
    // With a destination, a file that is no archive comes out as a plain
    // copy (the form a file that would not shrink is stored in); without
    // one there is nowhere to put it.
    const std::string sSortie = clRep.sChemin("sortie.txt");
    json j = e2e::Appel("fDécompacte", {sFaux, sSortie});
    EXPECT_EQ(j["value"], 0) << j.dump();
    EXPECT_EQ(Lit(sSortie), Lit(sFaux));
    j = e2e::Appel("fDécompacte", {sFaux});
    ASSERT_TRUE(j["value"].is_number_integer()) << j.dump();
    EXPECT_NE(j["value"], 0) << j.dump();
    EXPECT_EQ(Lit(sFaux), "ceci n'est pas une archive, seulement du texte.") << "the file itself is left as it was";
}

}  // namespace
