// Exact bytes of every kind of value the buffer stores, and reading each back.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "codec/buffer.h"

bool operator==(const tagRECT& a, const tagRECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace {

using Octets = std::vector<uint8_t>;

Octets Contenu(CQVBuffer& cl) {
    const uint8_t* p = cl.pbyGetUncodedBuffer();
    return Octets(p, p + cl.dwGetSizeDirect());
}

struct STCas {
    const char* pszNom;
    std::function<void(CQVBuffer&)> Ecrit;
    Octets abyAttendu;
    // Reads the value back and tells whether it is the one written.
    std::function<bool(CQVBuffer&)> bRelit;
};

template <class T>
STCas Cas(const char* pszNom, T v, Octets ab) {
    return {pszNom, [v](CQVBuffer& cl) { cl << v; }, std::move(ab), [v](CQVBuffer& cl) {
                T w{};
                cl >> w;
                if constexpr (std::is_floating_point_v<T>) {
                    if (std::isnan(v)) return std::isnan(w);
                }
                return w == v;
            }};
}

std::vector<STCas> Cas() {
    tagRECT rc{1, -2, 0x01020304, INT32_MIN};
    return {
        Cas<char>("char", 'A', {0x41}),
        Cas<char>("char high", static_cast<char>(0xE9), {0xE9}),
        Cas<signed char>("signed char", -1, {0xFF}),
        Cas<unsigned char>("unsigned char", 0x80, {0x80}),
        Cas<short>("short", 7, {0x07, 0x00}),
        Cas<short>("short negative", -2, {0xFE, 0xFF}),
        Cas<short>("short min", SHRT_MIN, {0x00, 0x80}),
        Cas<unsigned short>("unsigned short", 0xBEEF, {0xEF, 0xBE}),
        Cas<int>("int", 0x12345678, {0x78, 0x56, 0x34, 0x12}),
        Cas<int>("int negative", -1, {0xFF, 0xFF, 0xFF, 0xFF}),
        Cas<int>("int min", INT_MIN, {0x00, 0x00, 0x00, 0x80}),
        Cas<unsigned int>("unsigned int", 0xDEADBEEFu, {0xEF, 0xBE, 0xAD, 0xDE}),
        Cas<long>("long", -3L, {0xFD, 0xFF, 0xFF, 0xFF}),
        Cas<long>("long max 32", 0x7FFFFFFFL, {0xFF, 0xFF, 0xFF, 0x7F}),
        Cas<unsigned long>("unsigned long", 0x80000001UL, {0x01, 0x00, 0x00, 0x80}),
        Cas<long long>("long long", 0x0102030405060708LL, {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01}),
        Cas<long long>("long long negative", -2LL, {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
        Cas<unsigned long long>("unsigned long long", 0xFFFFFFFF00000001ULL,
                                {0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}),
        Cas<float>("float", 1.0f, {0x00, 0x00, 0x80, 0x3F}),
        Cas<float>("float negative", -2.5f, {0x00, 0x00, 0x20, 0xC0}),
        Cas<float>("float max", FLT_MAX, {0xFF, 0xFF, 0x7F, 0x7F}),
        Cas<double>("double", 1.0, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F}),
        Cas<double>("double fraction", 0.1, {0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xB9, 0x3F}),
        Cas<double>("double negative zero", -0.0, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80}),
        Cas<double>("double nan", std::nan(""), {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF8, 0x7F}),
        Cas<tagRECT>("rect", rc,
                     {0x01, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01, 0x00, 0x00, 0x00, 0x80}),
        {"SetXCHAR", [](CQVBuffer& cl) { cl.SetXCHAR('z'); }, {0x7A},
         [](CQVBuffer& cl) { return cl.czGetXCHAR() == 'z'; }},
        {"text", [](CQVBuffer& cl) { cl << CTString("ab"); }, {0x61, 0x62, 0x00},
         [](CQVBuffer& cl) {
             CTString s;
             cl >> s;
             return s.bEstEgal("ab");
         }},
        {"C text", [](CQVBuffer& cl) { cl << "xyz"; }, {0x78, 0x79, 0x7A, 0x00},
         [](CQVBuffer& cl) { return std::string(cl.pszGetString()) == "xyz"; }},
        {"empty text", [](CQVBuffer& cl) { cl << CTString(); }, {0x00},
         [](CQVBuffer& cl) { return std::string(cl.pszGetString()).empty(); }},
        {"null text", [](CQVBuffer& cl) { cl.SetString(nullptr); }, {0x00},
         [](CQVBuffer& cl) { return std::string(cl.pszGetStringANSI()).empty(); }},
        {"Latin-1 text", [](CQVBuffer& cl) { cl.SetString("\xE9t\xE9"); }, {0xE9, 0x74, 0xE9, 0x00},
         [](CQVBuffer& cl) { return std::string(cl.pszGetString()) == "\xE9t\xE9"; }},
    };
}

class BufferLayout : public ::testing::TestWithParam<STCas> {};

TEST_P(BufferLayout, WritesExactBytesAndReadsThemBack) {
    const STCas& c = GetParam();
    CQVBuffer cl;
    c.Ecrit(cl);
    EXPECT_EQ(Contenu(cl), c.abyAttendu);
    EXPECT_EQ(cl.dwGetPos(), c.abyAttendu.size());
    cl.Seek(0, BUFFER_SEEK_DEBUT);
    EXPECT_TRUE(c.bRelit(cl));
    EXPECT_TRUE(cl.bEndOfBuffer());
    EXPECT_FALSE(cl.bEchecLecture());
}

// Behind other content the same bytes follow it, with no padding.
TEST_P(BufferLayout, AppendsWithoutPaddingAfterAnOddOffset) {
    const STCas& c = GetParam();
    CQVBuffer cl;
    cl << static_cast<unsigned char>(0xAA);
    c.Ecrit(cl);
    Octets ab{0xAA};
    ab.insert(ab.end(), c.abyAttendu.begin(), c.abyAttendu.end());
    EXPECT_EQ(Contenu(cl), ab);
    cl.Seek(1, BUFFER_SEEK_DEBUT);
    EXPECT_TRUE(c.bRelit(cl));
}

INSTANTIATE_TEST_SUITE_P(EveryKind, BufferLayout, ::testing::ValuesIn(Cas()),
                         [](const ::testing::TestParamInfo<STCas>& info) {
                             std::string s;
                             for (const char* p = info.param.pszNom; *p; p++)
                                 s += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return s;
                         });

TEST(BufferLayoutMixed, DoubleTextShort) {
    CQVBuffer cl;
    cl << 1.0 << CTString("ab") << static_cast<short>(7);
    EXPECT_EQ(Contenu(cl), (Octets{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F, 0x61, 0x62, 0x00, 0x07, 0x00}));
}

TEST(BufferLayoutMixed, ReservedCountAndPartSize) {
    CQVBuffer cl;
    cl << static_cast<unsigned char>(9);
    uint32_t dwNombre = cl.dwReserveNombreElement();
    int nPartie = cl.nReserveTaillePartie();
    EXPECT_EQ(dwNombre, 1u);
    EXPECT_EQ(nPartie, 5);
    for (int i = 0; i < 3; i++) cl << i;   // 12 bytes behind the part slot
    EXPECT_TRUE(cl.SetNombreElement(dwNombre, 3));
    EXPECT_TRUE(cl.SetTaillePartie(static_cast<uint32_t>(nPartie)));
    EXPECT_EQ(Contenu(cl), (Octets{9, 3, 0, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0}));
}

TEST(BufferLayoutMixed, SerialisedBufferIsCountThenBytes) {
    CQVBuffer clSource;
    clSource << CTString("hi") << 5;
    CQVBuffer clDestination;
    clDestination << static_cast<char>('>');
    ASSERT_TRUE(clSource.SerialiseBuffer(clDestination));
    EXPECT_EQ(Contenu(clDestination), (Octets{'>', 7, 0, 0, 0, 'h', 'i', 0, 5, 0, 0, 0}));
}

}  // namespace
