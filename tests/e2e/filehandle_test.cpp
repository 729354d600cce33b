// The file-handle functions through the host: a session of calls on files
// of a fresh directory, errors as the host reports them, and the clean-up
// done when the module goes away.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "charset.h"
#include "common/temp_dir.h"
#include "e2e_common.h"

using e2e::json;

namespace {

class FileHandle : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_clRep.bOk()); }
    std::string Path(const std::string& s) const { return m_clRep.sChemin(s); }
    static std::string Lit(const std::string& sChemin) {
        std::ifstream f(sChemin, std::ios::binary);
        std::ostringstream o;
        o << f.rdbuf();
        return o.str();
    }
    static void Ecrit(const std::string& sChemin, const std::string& sTexte) {
        std::ofstream f(sChemin, std::ios::binary | std::ios::trunc);
        f << sTexte;
    }
    static bool bExiste(const std::string& s) {
        struct stat st;
        return stat(s.c_str(), &st) == 0;
    }
    // A call that must succeed with this type; its value.
    static json Ok(const std::string& sNom, const std::vector<json>& tabArgs, int nType, int nSurcharge = -1) {
        json j = e2e::Appel(sNom, tabArgs, nSurcharge);
        EXPECT_TRUE(j["error"].is_null()) << sNom << json(tabArgs).dump() << ": " << j.dump();
        EXPECT_EQ(j["type"], nType) << sNom << json(tabArgs).dump();
        return j["value"];
    }
    CRepTemporaire m_clRep{"fh_e2e"};
};

TEST_F(FileHandle, WriteReadSession) {
    const std::string s = Path("session.txt");
    const int h = Ok("fCrée", {s}, 0x08).get<int>();
    ASSERT_GE(h, 2);
    struct Cas {
        const char* pszNom;
        std::vector<json> tabArgs;
        json jAttendu;
        int nType;
    } tab[] = {
        {"fEcritLigne", {h, "première"}, true, 0x01},
        {"fWriteLine", {h, std::string(120, 'x')}, true, 0x01},
        {"fEcrit", {h, "abc"}, 3, 0x08},
        {"fEcrit", {h, "defgh", 2}, 2, 0x08},
        {"fEcritLigne", {h, "1234567", 3}, true, 0x01},
        {"fSeek", {h, json{{"i8", 0}}, 0}, 0, 0x09},
        {"fLitLigne", {h}, "première", 0x13},
        {"fReadLine", {h}, std::string(120, 'x'), 0x13},
        {"fLit", {h, 4}, "abcd", 0x13},
        {"fLitLigne", {h}, "e123", 0x13},
        {"fLitLigne", {h}, "\x04", 0x13},
        {"fLit", {h, 10}, "", 0x13},
        {"fPositionne", {h, json{{"i8", -4}}, 2}, 138, 0x09},
        {"fChangeTaille", {h, json{{"i8", 10}}}, true, 0x01},
        {"fPositionne", {h, json{{"i8", 0}}, 1}, 10, 0x09},
        {"fBloque", {h}, true, 0x01},
        {"fDébloque", {h}, true, 0x01},
        {"fBloque", {h, 2, 3}, true, 0x01},
        {"fUnlock", {h, 2, 3}, true, 0x01},
        {"fFerme", {h}, 0, 0x08},
    };
    for (const Cas& c : tab) {
        json j = Ok(c.pszNom, c.tabArgs, c.nType);
        EXPECT_EQ(j, c.jAttendu) << c.pszNom << json(c.tabArgs).dump();
    }
    EXPECT_EQ(Lit(s), "premi\xE8re\r\n");   // Latin-1 on disk, cut at 10 bytes
    // The handle is free again: the next open takes it.
    EXPECT_EQ(Ok("fOuvre", {s}, 0x08), h);
    EXPECT_EQ(Ok("fClose", {h}, 0x08), 0);
}

TEST_F(FileHandle, Errors) {
    const std::string s = Path("e.txt");
    Ecrit(s, "abc");
    const int h = Ok("fOuvre", {s, 1}, 0x08).get<int>();
    struct Cas {
        const char* pszNom;
        std::vector<json> tabArgs;
        json jValeur;
        int nCode;
    } tab[] = {
        {"fFerme", {0}, -1, 80022},
        {"fFerme", {1}, -1, 80022},
        {"fFerme", {h + 100}, -1, 80022},
        {"fLit", {-3, 2}, "", 80022},
        {"fPositionne", {h, json{{"i8", 0}}, 3}, -1, 80023},
        {"fBloque", {1}, false, 80022},
        {"fChangeTaille", {0, json{{"i8", 0}}}, false, 80022},
        {"fEcritLigne", {h, "x"}, false, 28008},   // read-only file: the stream's failure
        {"fOuvre", {Path("absent"), 1}, -1, 28139},
    };
    for (const Cas& c : tab) {
        json j = e2e::Appel(c.pszNom, c.tabArgs);
        std::string sCas = std::string(c.pszNom) + json(c.tabArgs).dump();
        ASSERT_FALSE(j["error"].is_null()) << sCas << ": " << j.dump();
        EXPECT_EQ(j["error"]["code"], c.nCode) << sCas;
        EXPECT_EQ(j["error"]["level"], 2) << sCas;
        EXPECT_FALSE(j["error"]["message"].get<std::string>().empty()) << sCas;
        EXPECT_EQ(j["value"], c.jValeur) << sCas;
    }
    EXPECT_EQ(Ok("fFerme", {h}, 0x08), 0);
}

TEST_F(FileHandle, ReadLineWithPattern) {
    const std::string s = Path("p.txt");
    Ecrit(s, "Dupont;42\r\nsans\r\n");
    const int h = Ok("fOuvre", {s}, 0x08).get<int>();
    json j = e2e::Appel("fLitLigne", {h, "([A-Za-z]+);([0-9]+)", json{{"var", "nom"}}, json{{"var", "age"}}});
    EXPECT_TRUE(j["error"].is_null()) << j.dump();
    EXPECT_EQ(j["value"], true);
    EXPECT_EQ(j["vars"]["nom"], "Dupont");
    EXPECT_EQ(j["vars"]["age"], "42");
    // No match: the first variable is emptied, the result stays true.
    j = e2e::Appel("fLitLigne", {h, "([0-9]+)", json{{"var", "nom"}}});
    EXPECT_EQ(j["value"], true) << j.dump();
    EXPECT_EQ(j["vars"]["nom"], "");
    // A pattern that does not compile.
    EXPECT_EQ(e2e::Appel("fLitLigne", {h, "(", json{{"var", "nom"}}})["value"], false);
    EXPECT_EQ(Ok("fFerme", {h}, 0x08), 0);
}

TEST_F(FileHandle, UnicodeFile) {
    const std::string s = Path("u.txt");
    const int h = Ok("fOuvre", {s, 3 + 512 + 4096}, 0x08).get<int>();
    EXPECT_EQ(Ok("fEcritLigne", {h, json{{"uni", "été"}}}, 0x01), true);
    EXPECT_EQ(Ok("fPositionne", {h, json{{"i8", 0}}, 0}, 0x09), 0);
    EXPECT_EQ(Ok("fFerme", {h}, 0x08), 0);
    EXPECT_EQ(Lit(s), std::string("\xFF\xFE\xE9\0t\0\xE9\0\r\0\n\0", 12));
    const int h2 = Ok("fOuvre", {s, 1 + 4096}, 0x08).get<int>();
    EXPECT_EQ(Ok("fLitLigne", {h2}, 0x13), "été");
    EXPECT_EQ(Ok("fLitLigne", {h2}, 0x13), "\x04");
    EXPECT_EQ(Ok("fFerme", {h2}, 0x08), 0);
}

TEST_F(FileHandle, AutomaticDeletionAtCloseAndAtUnload) {
    const std::string s1 = Path("a1"), s2 = Path("a2");
    const int h = Ok("fCree", {s1, 67108864}, 0x08).get<int>();
    EXPECT_TRUE(bExiste(s1));
    EXPECT_EQ(Ok("fFerme", {h}, 0x08), 0);
    EXPECT_FALSE(bExiste(s1));

    // A host that stops with the file still open.
    json jReq = {{"call", "fCree"}, {"args", {s2, 67108864}}};
    e2e::STSortie st = e2e::LanceHote({"--jsonl"}, jReq.dump() + "\n");
    EXPECT_EQ(st.nStatut, 0) << st.sErr;
    EXPECT_NE(st.sOut.find("\"error\":null"), std::string::npos) << st.sOut;
    EXPECT_FALSE(bExiste(s2));
}

// A call expected to fail: its value, code and, when given, a text its
// message must hold.
struct CasEchec {
    const char* pszNom;
    std::vector<json> tabArgs;
    json jValeur;
    int nCode;
    std::string sDansMessage;
    int nSurcharge = -1;
};

void VerifieEchecs(const std::vector<CasEchec>& tab) {
    for (const CasEchec& c : tab) {
        json j = e2e::Appel(c.pszNom, c.tabArgs, c.nSurcharge);
        const std::string sCas = std::string(c.pszNom) + json(c.tabArgs).dump();
        if (j["error"].is_null()) {
            ADD_FAILURE() << sCas << " succeeded: " << j.dump();
            continue;
        }
        EXPECT_EQ(j["error"]["code"], c.nCode) << sCas << ": " << j.dump();
        EXPECT_EQ(j["error"]["level"], 2) << sCas;
        EXPECT_EQ(j["value"], c.jValeur) << sCas;
        EXPECT_NE(j["error"]["message"].get<std::string>().find(c.sDansMessage), std::string::npos)
            << sCas << ": " << j.dump();
    }
}

TEST_F(FileHandle, HostileArgumentsAreRefused) {
    const std::string s = Path("h.txt");
    Ecrit(s, "keep");
    const int h = Ok("fOuvre", {s, 3}, 0x08).get<int>();
    const int hZero = Ok("fOuvre", {"/dev/zero", 1}, 0x08).get<int>();
    VerifieEchecs({
        // Modes with bits no constant has: -1 would delete the file at close.
        {"fOuvre", {s, -1}, -1, 80024, ""},
        {"fOuvre", {s, 1 + (1 << 27)}, -1, 80024, ""},
        {"fCree", {s, -1}, -1, 80024, ""},
        // Names the file system cannot take as they stand.
        {"fOuvre", {"", 1}, -1, 80039, ""},
        {"fCree", {json{{"uni", ""}}}, -1, 80039, ""},
        // Failures of the stream, with the system's reason.
        {"fOuvre", {m_clRep.sRep(), 1}, -1, 28139, strerror(EISDIR)},
        {"fOuvre", {Path("absent"), 1}, -1, 28139, strerror(ENOENT)},
        {"fCree", {Path("sans/x")}, -1, 28140, strerror(ENOENT)},
        // A size below zero says so.
        {"fChangeTaille", {h, json{{"i8", -1}}}, false, 80034, ""},
        // A device without line ends: the line is too long, not the memory short.
        {"fLitLigne", {hZero, "", json{{"var", "v"}}}, false, 80028, ""},
    });
    EXPECT_EQ(Ok("fFerme", {hZero}, 0x08), 0);
    EXPECT_EQ(Ok("fFerme", {h}, 0x08), 0);
    EXPECT_EQ(Lit(s), "keep");
}

TEST_F(FileHandle, DeleteAtCloseLeavesAFilePutUnderTheName) {
    const std::string s = Path("t.tmp"), sAutre = Path("autre");
    const int h = Ok("fCree", {s, 67108864}, 0x08).get<int>();
    Ecrit(sAutre, "someone else's");
    ASSERT_EQ(rename(sAutre.c_str(), s.c_str()), 0);
    EXPECT_EQ(Ok("fFerme", {h}, 0x08), 0);
    EXPECT_EQ(Lit(s), "someone else's");
}

TEST_F(FileHandle, ALockOutlivesOtherHandlesOfTheFile) {
    const std::string s = Path("k.txt");
    Ecrit(s, "precious");
    const int h1 = Ok("fOuvre", {s}, 0x08).get<int>();
    EXPECT_EQ(Ok("fBloque", {h1}, 0x01), true);
    const int h2 = Ok("fOuvre", {s, 1}, 0x08).get<int>();
    EXPECT_EQ(Ok("fFerme", {h2}, 0x08), 0);
    const int h3 = Ok("fOuvre", {s}, 0x08).get<int>();
    VerifieEchecs({
        {"fBloque", {h3}, false, 28145, ""},
        {"fCree", {s}, -1, 28140, ""},   // never emptied under a lock
    });
    EXPECT_EQ(Lit(s), "precious");
    EXPECT_EQ(Ok("fFerme", {h1}, 0x08), 0);
    EXPECT_EQ(Ok("fBloque", {h3}, 0x01), true);
    EXPECT_EQ(Ok("fFerme", {h3}, 0x08), 0);
}

TEST_F(FileHandle, UnicodeNamesStayApart) {
    struct Cas {
        const char* pszNom;   // UTF-8, as on the disk
        const char* pszTexte;
    } tab[] = {{"\xE4\xB8\xAD\xE6\x96\x87.txt", "zh"}, {"\xE6\x97\xA5\xE6\x9C\xAC.txt", "ja"}};
    for (const Cas& c : tab) {
        const int h = Ok("fCree", {json{{"uni", Path(c.pszNom)}}}, 0x08).get<int>();
        EXPECT_EQ(Ok("fEcrit", {h, c.pszTexte}, 0x08), 2);
        EXPECT_EQ(Ok("fFerme", {h}, 0x08), 0);
    }
    for (const Cas& c : tab) EXPECT_EQ(Lit(Path(c.pszNom)), c.pszTexte);
}

// The null address (a null argument) on every platform: refused, nothing
// read or written.
TEST_F(FileHandle, NullAddressesAreRefused) {
    const std::string s = Path("n.txt");
    Ecrit(s, "abcd");
    const int h = Ok("fOuvre", {s, 3}, 0x08).get<int>();
    VerifieEchecs({
        {"fLit", {h, 2, nullptr}, 0, 80070, "", 1},
        {"fEcrit", {h, nullptr, 2}, -1, 80070, "", 2},
        {"fEcritLigne", {h, nullptr, 2}, false, 80070, "", 1},
        {"fEcritLigne", {h, nullptr, 0}, false, 80070, "", 1},
    });
    EXPECT_EQ(Ok("fPositionne", {h, json{{"i8", 0}}, 1}, 0x09), 0);
    EXPECT_EQ(Ok("fFerme", {h}, 0x08), 0);
    EXPECT_EQ(Lit(s), "abcd");
}

TEST_F(FileHandle, RealAddressesAreServed) {
    if constexpr (sizeof(void*) > 4)
        GTEST_SKIP() << "the component takes a memory address as a 4-byte integer: buffers are passed on i386 only";
    const std::string s = Path("r.txt");
    Ecrit(s, "abcd");
    const int h = Ok("fOuvre", {s, 3}, 0x08).get<int>();
    json j = e2e::Appel("fLit", {h, 4, json{{"addr", {{"var", "tampon"}, {"size", 6}}}}});
    EXPECT_TRUE(j["error"].is_null()) << j.dump();
    EXPECT_EQ(j["value"], 4);
    std::string sOctets;
    ASSERT_TRUE(qvhost::Base64Decode(j["vars"]["tampon"]["bin"].get<std::string>(), sOctets)) << j.dump();
    EXPECT_EQ(sOctets, std::string("abcd\0\0", 6));
    j = e2e::Appel("fEcritLigne", {h, json{{"addr", {{"var", "tampon"}}}}, 2});
    EXPECT_EQ(j["value"], true) << j.dump();
    EXPECT_EQ(Ok("fFerme", {h}, 0x08), 0);
    EXPECT_EQ(Lit(s), "abcdab\r\n");
}

}  // namespace

namespace {

// Names the character set cannot hold reach the file system whole: two
// different names never become the same "??".
TEST_F(FileHandle, NamesOutsideTheCharacterSetStayDistinct) {
    const std::string a = Path("\xE4\xB8\xAD\xE6\x96\x87.txt"), b = Path("\xE6\x97\xA5\xE6\x9C\xAC.txt");
    for (const std::string& s : {a, b}) {
        json h = Ok("fCrée", {s}, 8);
        ASSERT_TRUE(h.is_number_integer() && h.get<int>() > 0) << s;
        Ok("fFerme", {h}, 8);
    }
    EXPECT_TRUE(bExiste(a));
    EXPECT_TRUE(bExiste(b));
    EXPECT_FALSE(bExiste(Path("??.txt")));
}

}  // namespace
