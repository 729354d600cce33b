// Compresse and Decompresse through the host: exact layouts, round trips of
// texts and buffers, and the errors of unusable compressed strings.
#include <cstdint>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "charset.h"
#include "e2e_common.h"

using e2e::json;

namespace {

json Bin(const std::string& s) { return json{{"bin", qvhost::Base64Encode(s)}}; }

std::string Octets(const json& j) {
    std::string s;
    EXPECT_TRUE(j.is_object() && j.contains("bin")) << j.dump();
    if (!j.is_object() || !j.contains("bin")) return s;
    EXPECT_TRUE(qvhost::Base64Decode(j["bin"].get<std::string>(), s));
    return s;
}

std::string U32(uint32_t n) {
    std::string s(4, '\0');
    std::memcpy(s.data(), &n, 4);
    return s;
}

std::string Repete(const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; i++) r += s;
    return r;
}

std::string Bruit(size_t n) {
    std::string s(n, '\0');
    uint32_t x = 12345;
    for (auto& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    return s;
}

TEST(CompressE2E, ExactLayouts) {
    struct STCas {
        const char* pszNom;
        json jArg;
        std::string sAttendu;
    };
    const STCas tabCas[] = {
        {"Compresse", "abc", std::string("\x01", 1) + U32(1) + std::string("\x00", 1) + U32(7) + U32(3) + "abc"},
        {"Compresse", Bin("abc"), std::string("\x00", 1) + U32(1) + std::string("\x00", 1) + U32(7) + U32(3) + "abc"},
        {"Compress", "", std::string("\x01", 1) + U32(1) + std::string("\x00", 1) + U32(4) + U32(0)},
        // The text is sent in the component's character set: é is one byte.
        {"Compresse", "\xC3\xA9t\xC3\xA9", std::string("\x01", 1) + U32(1) + std::string("\x00", 1) + U32(7) + U32(3) +
                                                   "\xE9t\xE9"},
    };
    for (const auto& st : tabCas) {
        json j = e2e::Appel(st.pszNom, {st.jArg});
        EXPECT_TRUE(j["error"].is_null()) << j.dump();
        EXPECT_EQ(j["type"], 0x1C);
        EXPECT_EQ(Octets(j["value"]), st.sAttendu) << j.dump();
    }
}

TEST(CompressE2E, RoundTrips) {
    struct STCas {
        const char* psz;
        json jArg;
        std::string sOctets;
        bool bCode;   // long and regular enough to be coded rather than stored
    };
    std::string sTexte = Repete("Le chat mange la souris. ", 400);
    std::string sBinaire = Repete(std::string("\x00\x01\x02\xFF", 4), 3000);
    std::string sBruit = Bruit(5000);
    const STCas tabCas[] = {
        {"long text", sTexte, sTexte, true},
        {"text of 19 bytes", "abcdefghijabcdefghi", "abcdefghijabcdefghi", false},
        {"buffer with NUL bytes", Bin(sBinaire), sBinaire, true},
        {"noise", Bin(sBruit), sBruit, false},
        {"one byte", Bin("x"), "x", false},
    };
    for (const auto& st : tabCas) {
        json j = e2e::Appel("Compresse", {st.jArg});
        ASSERT_TRUE(j["error"].is_null()) << j.dump();
        std::string sCompresse = Octets(j["value"]);
        ASSERT_GE(sCompresse.size(), 10u) << st.psz;
        EXPECT_EQ(static_cast<uint8_t>(sCompresse[5]), st.bCode ? 4 : 0) << st.psz;
        if (st.bCode) {
            EXPECT_LT(sCompresse.size(), st.sOctets.size() / 4) << st.psz;
        }
        json jRetour = e2e::Appel("Décompresse", {Bin(sCompresse)});
        ASSERT_TRUE(jRetour["error"].is_null()) << jRetour.dump();
        EXPECT_EQ(jRetour["type"], 0x1C);
        EXPECT_EQ(Octets(jRetour["value"]), st.sOctets) << st.psz;
    }
}

TEST(CompressE2E, HandMadeHeaders) {
    struct STCas {
        const char* psz;
        std::string sEntree;
        std::string sAttendu;
    };
    const STCas tabCas[] = {
        {"empty input", "", ""},
        {"method 0", std::string("\x01", 1) + U32(0) + U32(3) + "xyz", "xyz"},
        {"method 0, trailing bytes ignored", std::string("\x00", 1) + U32(0) + U32(2) + "xyz", "xy"},
        // The text coder's form of "AB" after the header: values 14, 15, 4.
        {"method 2 buffer", std::string("\x00", 1) + U32(2) + "\x5B\x37", "AB"},
        {"method 1, stored block", std::string("\x00", 1) + U32(1) + std::string("\x00", 1) + U32(6) + U32(2) + "hi", "hi"},
    };
    for (const auto& st : tabCas) {
        json j = e2e::Appel("Uncompress", {Bin(st.sEntree)});
        EXPECT_TRUE(j["error"].is_null()) << st.psz << j.dump();
        EXPECT_EQ(Octets(j["value"]), st.sAttendu) << st.psz;
    }
}

TEST(CompressE2E, UnusableStringsRaise80550) {
    std::string sBon = Octets(e2e::Appel("Compresse", {Repete("abcabcabd", 100)})["value"]);
    std::string sMenteur = sBon;
    sMenteur[5 + 5] = static_cast<char>(sMenteur[5 + 5] + 1);   // decompressed length one more
    struct STCas {
        const char* psz;
        std::string sEntree;
    };
    const STCas tabCas[] = {
        {"method 3", std::string("\x01", 1) + U32(3) + U32(0)},
        {"method in the high half", std::string("\x01", 1) + U32(65536) + U32(0)},
        {"header cut", std::string("\x01\x01\x00", 3)},
        {"unknown block method", std::string("\x01", 1) + U32(1) + std::string("\x07", 1) + U32(1) + "z"},
        {"stored count past the end", std::string("\x01", 1) + U32(1) + std::string("\x00", 1) + U32(90) + U32(2)},
        {"length past the content", std::string("\x01", 1) + U32(0) + U32(50) + "xyz"},
        {"length cut", std::string("\x01", 1) + U32(0) + "\x01\x02"},
        {"coded block cut", sBon.substr(0, sBon.size() - 4)},
        {"coded block lying about its length", sMenteur},
    };
    for (const auto& st : tabCas) {
        json j = e2e::Appel("Décompresse", {Bin(st.sEntree)});
        ASSERT_FALSE(j["error"].is_null()) << st.psz << j.dump();
        EXPECT_EQ(j["error"]["code"], 80550) << st.psz;
        EXPECT_EQ(j["error"]["message"], "La m\xC3\xA9thode de compression est invalide.") << st.psz;
        EXPECT_EQ(Octets(j["value"]), "") << st.psz;
    }
    // The error does not stay for the next call.
    json j = e2e::Appel("Décompresse", {Bin(sBon)});
    EXPECT_TRUE(j["error"].is_null()) << j.dump();
    EXPECT_EQ(Octets(j["value"]), Repete("abcabcabd", 100));
}

TEST(CompressE2E, CommandLine) {
    e2e::STSortie st = e2e::LanceHote({"Compresse", "abc"});
    EXPECT_EQ(st.nStatut, 0) << st.sErr;
    EXPECT_EQ(st.sOut.substr(0, 5), std::string("\x01\x01\x00\x00\x00", 5));
}

}  // namespace
