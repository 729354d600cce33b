// Compresse and Decompresse through the host: exact layouts, round trips of
// texts and buffers, and the errors of unusable and hostile compressed
// strings, each with the message of its cause.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

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

// The component's text of message n, as the error carries it.
std::string TexteMessage(int n) { return e2e::Session().Message(n)["value"].get<std::string>(); }

// A block header (method 4 or 2, payload length, announced size, 0) before the payload.
std::string Bloc(char cMethode, const std::string& sPayload, uint32_t dwAnnonce) {
    return std::string(1, cMethode) + U32(static_cast<uint32_t>(sPayload.size())) + U32(dwAnnonce) +
           std::string(2, '\0') + sPayload;
}

// Every unusable string raises 80550; its message names the compression
// method only when the method is at fault, and otherwise what is wrong with
// the data.
TEST(CompressE2E, UnusableStringsRaise80550) {
    constexpr int MSG_METHODE = 3804, MSG_ENDOMMAGEES = 3805, MSG_TAILLE = 3806;
    std::string sBon = Octets(e2e::Appel("Compresse", {Repete("abcabcabd", 100)})["value"]);
    std::string sMenteur = sBon;
    sMenteur[5 + 5] = static_cast<char>(sMenteur[5 + 5] + 1);   // decompressed length one more
    struct STCas {
        const char* psz;
        std::string sEntree;
        int nMessage;
    };
    const STCas tabCas[] = {
        {"method 3", std::string("\x01", 1) + U32(3) + U32(0), MSG_METHODE},
        {"method in the high half", std::string("\x01", 1) + U32(65536) + U32(0), MSG_METHODE},
        {"header cut", std::string("\x01\x01\x00", 3), MSG_METHODE},
        {"unknown block method", std::string("\x01", 1) + U32(1) + std::string("\x07", 1) + U32(1) + "z", MSG_METHODE},
        {"stored count past the end", std::string("\x01", 1) + U32(1) + std::string("\x00", 1) + U32(90) + U32(2),
         MSG_ENDOMMAGEES},
        {"stored count one past the end", std::string("\x01", 1) + U32(1) + std::string("\x00", 1) + U32(8) + U32(4) +
                                              "abc",
         MSG_ENDOMMAGEES},
        {"length past the content", std::string("\x01", 1) + U32(0) + U32(50) + "xyz", MSG_ENDOMMAGEES},
        {"length cut", std::string("\x01", 1) + U32(0) + "\x01\x02", MSG_ENDOMMAGEES},
        {"coded block cut", sBon.substr(0, sBon.size() - 4), MSG_ENDOMMAGEES},
        {"coded block lying about its length", sMenteur, MSG_ENDOMMAGEES},
        // A value above 39 in the text coder's form (it used to give an empty result).
        {"damaged short-text form", std::string("\x00", 1) + U32(2) + "\xFC\x01", MSG_ENDOMMAGEES},
        {"4 GB announced by four bytes", std::string("\x01", 1) + U32(1) + Bloc('\x04', "\x62\x00\x00\x00", 0xFFFFFF00u),
         MSG_TAILLE},
        {"2 GB announced by the old coder", std::string("\x00", 1) + U32(1) + Bloc('\x02', "\x30\x80", 0x80000000u),
         MSG_TAILLE},
    };
    const std::string sMethode = TexteMessage(MSG_METHODE);
    ASSERT_EQ(sMethode, "La m\xC3\xA9thode de compression est invalide.");
    for (const auto& st : tabCas) {
        json j = e2e::Appel("Décompresse", {Bin(st.sEntree)});
        ASSERT_FALSE(j["error"].is_null()) << st.psz << j.dump();
        EXPECT_EQ(j["error"]["code"], 80550) << st.psz;
        EXPECT_EQ(j["error"]["message"], TexteMessage(st.nMessage)) << st.psz;
        if (st.nMessage != MSG_METHODE) {
            EXPECT_NE(j["error"]["message"], sMethode) << st.psz;
        }
        EXPECT_EQ(Octets(j["value"]), "") << st.psz;
    }
    // The error does not stay for the next call.
    json j = e2e::Appel("Décompresse", {Bin(sBon)});
    EXPECT_TRUE(j["error"].is_null()) << j.dump();
    EXPECT_EQ(Octets(j["value"]), Repete("abcabcabd", 100));
}

// A hand-made stream that expands about ninety times, as far as its 9-bit
// codes allow (each code names the string its own step defines), is not
// refused: only sizes that no stream of that length could give are.
TEST(CompressE2E, HighlyExpandingStreamDecodes) {
    // The content is a 32-bit length, then the bytes: the length's four
    // bytes, 'a', then codes 262, 263, ... ("aa", "aaa", ...).
    constexpr uint32_t CODES = 240;
    uint32_t dwLongueur = 1 + CODES * (CODES + 3) / 2;
    std::vector<uint32_t> tabCodes;
    for (int i = 0; i < 4; i++) tabCodes.push_back(((dwLongueur >> (8 * i)) & 0xFF) + 1);
    tabCodes.push_back('a' + 1);
    for (uint32_t c = 262; c < 262 + CODES; c++) tabCodes.push_back(c);
    tabCodes.push_back(257);
    std::string sPayload;
    uint32_t dwAccu = 0, dwBits = 0;
    for (uint32_t c : tabCodes) {
        dwAccu |= c << dwBits;
        for (dwBits += 9; dwBits >= 8; dwBits -= 8, dwAccu >>= 8) sPayload += static_cast<char>(dwAccu & 0xFF);
    }
    if (dwBits > 0) sPayload += static_cast<char>(dwAccu & 0xFF);
    std::string sEntree = std::string("\x00", 1) + U32(1) + Bloc('\x04', sPayload, dwLongueur + 4);
    json j = e2e::Appel("Décompresse", {Bin(sEntree)});
    ASSERT_TRUE(j["error"].is_null()) << j["error"].dump();
    EXPECT_EQ(Octets(j["value"]), std::string(dwLongueur, 'a'));
    EXPECT_GT(dwLongueur, 80 * sEntree.size());
}

// A size that the coded bytes could produce but no buffer can hold (4 GB)
// is a lack of memory, found before anything is allocated for it.
TEST(CompressE2E, ResultTooLargeForMemoryRaises80041) {
    std::string sEntree = std::string("\x01", 1) + U32(1) + Bloc('\x04', std::string(200000, '\0'), 0xFFFFFFFEu);
    json j = e2e::Appel("Décompresse", {Bin(sEntree)});
    ASSERT_FALSE(j["error"].is_null()) << j.dump();
    EXPECT_EQ(j["error"]["code"], 80041);
    EXPECT_EQ(j["error"]["message"], TexteMessage(761));
    EXPECT_EQ(Octets(j["value"]), "");
}

// The host prints a binary result either as its bytes or as a line
// "binary, N bytes, Base64: ...": the bytes are the same either way.
TEST(CompressE2E, CommandLine) {
    e2e::STSortie st = e2e::LanceHote({"Compresse", "abc"});
    EXPECT_EQ(st.nStatut, 0) << st.sErr;
    std::string sOctets = st.sOut;
    const std::string sBase64 = "Base64: ";
    size_t n = st.sOut.rfind(sBase64);
    if (st.sOut.rfind("binary, ", 0) == 0 && n != std::string::npos) {
        std::string sTexte = st.sOut.substr(n + sBase64.size());
        while (!sTexte.empty() && (sTexte.back() == '\n' || sTexte.back() == '\r')) sTexte.pop_back();
        ASSERT_TRUE(qvhost::Base64Decode(sTexte, sOctets)) << st.sOut;
    }
    EXPECT_EQ(sOctets.substr(0, 5), std::string("\x01\x01\x00\x00\x00", 5)) << st.sOut;
}

}  // namespace
