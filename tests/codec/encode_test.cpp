// The text encodings: published Base64 values in both forms, line breaks,
// the two uuencode forms, round trips of every size class, and decoders fed
// texts they cannot have made.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "codec/encode.h"

namespace {

struct STLibere {
    void operator()(void* p) const { std::free(p); }
};

std::string Encode(int nEncodeur, const std::string& s, int nGroupes = ENCODE_GROUPES_PAR_LIGNE) {
    std::unique_ptr<CEncodeBase> pcl(pclGetEncodeur(nEncodeur));
    if (pcl == nullptr) return "<aucun>";
    size_t n = 0;
    std::unique_ptr<char, STLibere> psz(
        pcl->pszEncodeEtAlloue(reinterpret_cast<const uint8_t*>(s.data()), s.size(), nGroupes, &n));
    if (psz == nullptr) return "<echec>";
    EXPECT_EQ(std::string(psz.get()).size(), n) << "NUL right after the text";
    EXPECT_EQ(pcl->nEncode(reinterpret_cast<const uint8_t*>(s.data()), s.size(), nGroupes, nullptr), n);
    return std::string(psz.get(), n);
}

// "<invalide>" for a refused text.
std::string Decode(int nEncodeur, const std::string& s) {
    std::unique_ptr<CEncodeBase> pcl(pclGetEncodeur(nEncodeur));
    if (pcl == nullptr) return "<aucun>";
    size_t n = 0;
    std::unique_ptr<uint8_t, STLibere> pby(pcl->pbyDecodeEtAlloue(s.data(), s.size(), &n));
    if (pby == nullptr) return "<invalide>";
    EXPECT_LE(n, pcl->nDecode(s.data(), s.size(), nullptr)) << "measured room";
    return std::string(reinterpret_cast<const char*>(pby.get()), n);
}

std::string Bruit(size_t n, uint32_t x = 99) {
    std::string s(n, '\0');
    for (auto& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    return s;
}

TEST(Encode, PublishedAndExactTexts) {
    struct STCas {
        int nEncodeur;
        std::string sEntree, sTexte;
    };
    const std::string s60(60, 'A');
    const std::string sLigne60 = [] {
        std::string s;
        for (int i = 0; i < 20; ++i) s += "QUFB";
        return s;
    }();
    const STCas tabCas[] = {
        // The vectors of the Base64 standard, padded form.
        {ENCODE_BASE64, "", ""},
        {ENCODE_BASE64, "f", "Zg=="},
        {ENCODE_BASE64, "fo", "Zm8="},
        {ENCODE_BASE64, "foo", "Zm9v"},
        {ENCODE_BASE64, "foob", "Zm9vYg=="},
        {ENCODE_BASE64, "fooba", "Zm9vYmE="},
        {ENCODE_BASE64, "foobar", "Zm9vYmFy"},
        {ENCODE_BASE64, "a", "YQ=="},
        {ENCODE_BASE64, "ab", "YWI="},
        {ENCODE_BASE64, "\xFB\xFF", "+/8="},
        // The form without padding.
        {ENCODE_TVR, "a", "YQ"},
        {ENCODE_TVR, "ab", "YWI"},
        {ENCODE_TVR, "foobar", "Zm9vYmFy"},
        {ENCODE_TVR, "", ""},
        // 20 groups per line: 60 bytes are one line and its CR LF.
        {ENCODE_TVR, s60, sLigne60 + "\r\n"},
        {ENCODE_BASE64, s60 + "A", sLigne60 + "\r\nQQ=="},
        // uuencode, standard form: length character, groups, end lines.
        {ENCODE_UUENCODE_STANDARD, "", "begin 0666 uu\r\n\r\nend\r\n"},
        {ENCODE_UUENCODE_STANDARD, "Cat", "begin 0666 uu\r\n#0V%T\r\nend\r\n"},
        {ENCODE_UUENCODE_STANDARD, "a", "begin 0666 uu\r\n!80\r\nend\r\n"},
        {ENCODE_UUENCODE_STANDARD, std::string(45, '\0'),
         "begin 0666 uu\r\nM" + std::string(60, ' ') + "\r\n\r\nend\r\n"},
        // uuencode without length characters.
        {ENCODE_UUENCODE, "Cat", "begin 0666 uu\r\n0V%T\r\nend\r\n"},
        {ENCODE_UUENCODE, "", "begin 0666 uu\r\n\r\nend\r\n"},
        // Unknown numbers and 0 make nothing.
        {ENCODE_AUCUN, "abc", "<aucun>"},
        {5, "abc", "<aucun>"},
    };
    for (const auto& st : tabCas) {
        EXPECT_EQ(Encode(st.nEncodeur, st.sEntree), st.sTexte) << st.nEncodeur << " " << st.sEntree;
        if (st.sTexte != "<aucun>") {
            EXPECT_EQ(Decode(st.nEncodeur, st.sTexte), st.sEntree) << st.sTexte;
        }
    }
}

TEST(Encode, RoundTripsOfEverySize) {
    const size_t tabTailles[] = {0, 1, 2, 3, 4, 44, 45, 46, 59, 60, 61, 90, 134, 135, 136, 1000, 65536 + 7};
    const int tabEncodeurs[] = {ENCODE_TVR, ENCODE_BASE64, ENCODE_UUENCODE, ENCODE_UUENCODE_STANDARD};
    for (int nEncodeur : tabEncodeurs)
        for (size_t n : tabTailles) {
            const std::string s = Bruit(n, static_cast<uint32_t>(n));
            EXPECT_EQ(Decode(nEncodeur, Encode(nEncodeur, s)), s) << nEncodeur << " size " << n;
            EXPECT_EQ(Decode(nEncodeur, Encode(nEncodeur, s, 0)), s) << nEncodeur << " one line, size " << n;
        }
}

TEST(Encode, LinesOfTheUuencodeForms) {
    const std::string s = Bruit(100);
    const std::string sStd = Encode(ENCODE_UUENCODE_STANDARD, s);
    // 45 + 45 + 10 bytes: "M" lines of 61 characters, then "*" (32 + 10).
    ASSERT_EQ(sStd.substr(0, 15), "begin 0666 uu\r\n");
    EXPECT_EQ(sStd[15], 'M');
    EXPECT_EQ(sStd.substr(15 + 61, 2), "\r\n");
    EXPECT_EQ(sStd[15 + 63 + 63], '*');
    EXPECT_EQ(sStd.substr(sStd.size() - 7), "\r\nend\r\n");
    for (char c : sStd.substr(15, sStd.size() - 22))
        EXPECT_TRUE(c == '\r' || c == '\n' || (c >= 32 && c <= 96)) << int(c);
    // 45 groups per line: 180 characters before the first CR LF.
    const std::string sUU = Encode(ENCODE_UUENCODE, Bruit(200));
    EXPECT_EQ(sUU.substr(15 + 180, 2), "\r\n");
}

TEST(Encode, HostileAndForeignTexts) {
    struct STCas {
        const char* psz;
        int nEncodeur;
        std::string sTexte;
        std::string sAttendu;
    };
    const STCas tabCas[] = {
        {"line breaks anywhere", ENCODE_TVR, "Zm\r\n9v\nYm\rFy", "foobar"},
        {"two characters left", ENCODE_TVR, "Zm9vYg", "foob"},
        {"lone last character", ENCODE_TVR, "Zm9vY", "foo"},
        {"foreign characters read as 63", ENCODE_TVR, "///*", "\xFF\xFF\xFF"},
        {"padding ends the text", ENCODE_BASE64, "YQ==Zm9v", "a"},
        {"group starting with padding", ENCODE_BASE64, "Zm9v=AAA", "foo"},
        {"second character padding", ENCODE_BASE64, "Y===", "\x63"},
        {"third character padding, low bits set", ENCODE_BASE64, "YR==", std::string("\x61\x1F", 2)},
        {"fourth character padding, low bits set", ENCODE_BASE64, "YWJ=", "ab\x7F"},
        {"only padding", ENCODE_BASE64, "====", ""},
        {"empty", ENCODE_BASE64, "", ""},
        // uuencode, standard form.
        {"no line after the header", ENCODE_UUENCODE_STANDARD, "begin 0666 uu", ""},
        {"length beyond the line", ENCODE_UUENCODE_STANDARD, "begin 0666 uu\r\nM0V%T\r\nend\r\n", "<invalide>"},
        {"length beyond 45", ENCODE_UUENCODE_STANDARD, "begin 0666 uu\r\nz0V%T\r\nend\r\n", "<invalide>"},
        {"length below 0", ENCODE_UUENCODE_STANDARD, "begin 0666 uu\r\n\x01" "0V%T\r\nend\r\n", "<invalide>"},
        {"grave accent ends", ENCODE_UUENCODE_STANDARD, "begin 0666 uu\r\n#0V%T\r\n`\r\n#0V%T\r\n", "Cat"},
        {"characters beyond the length ignored", ENCODE_UUENCODE_STANDARD, "begin 0666 uu\r\n!80XYZ\r\nend\r\n", "a"},
        {"LF alone and no end line", ENCODE_UUENCODE_STANDARD, "begin 0666 uu\n#0V%T", "Cat"},
        {"grave accent as zero", ENCODE_UUENCODE_STANDARD, "begin 0666 uu\n#````\nend\n", std::string(3, '\0')},
        {"two sections", ENCODE_UUENCODE_STANDARD, "begin 0666 uu\r\n!80\r\nend\r\nbegin 0666 uu\r\n!80\r\nend\r\n",
         "aa"},
        {"header only", ENCODE_UUENCODE, "begin 0666 uu\r\n", ""},
        {"no header at all", ENCODE_UUENCODE, "0V%T", ""},
        {"cut group", ENCODE_UUENCODE, "begin 0666 uu\r\n0V%T0\r\nend\r\n", "Cat"},
    };
    for (const auto& st : tabCas) EXPECT_EQ(Decode(st.nEncodeur, st.sTexte), st.sAttendu) << st.psz;
}

}  // namespace
