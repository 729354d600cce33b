// URL encoding and decoding: the kept characters of each mode, the
// published examples, and decoders fed texts ending early.
#include <string>

#include <gtest/gtest.h>

#include "codec/url.h"

namespace {

std::string Encode(const std::string& s, int nMode) {
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    std::string r(nCalculeLongueurEncodee(p, s.size(), nMode), '?');
    EXPECT_EQ(EncodeURL(p, s.size(), nMode, r.data()), r.size());
    return r;
}

std::string Decode(const std::string& s) {
    std::string r(nCalculeLongueurDecodee(s.data(), s.size()), '?');
    EXPECT_EQ(DecodeURL(s.data(), s.size(), reinterpret_cast<uint8_t*>(r.data())), r.size());
    return r;
}

TEST(Url, Encoding) {
    struct STCas {
        std::string s;
        int nMode;
        std::string sAttendu;
    };
    const STCas tabCas[] = {
        {"a b+c", URL_MODE_URL, "a%20b%2Bc"},
        {"!#$&'()*,-./:;=?@_", URL_MODE_URL, "!#$&'()*,-./:;=?@_"},
        {"AZaz09", URL_MODE_URL, "AZaz09"},
        {"%\"<>[]^`{|}~\\", URL_MODE_URL, "%25%22%3C%3E%5B%5D%5E%60%7B%7C%7D%7E%5C"},
        {"\x80\xE9\xFF", URL_MODE_URL, "%80%E9%FF"},
        {std::string("a\0b", 3), URL_MODE_URL, "a%00b"},
        {"a-b.c_d", URL_MODE_ALPHANUMERIQUE, "a%2Db%2Ec%5Fd"},
        {"", URL_MODE_URL, ""},
    };
    for (const auto& st : tabCas) {
        EXPECT_EQ(Encode(st.s, st.nMode), st.sAttendu) << st.s;
        EXPECT_EQ(Decode(st.sAttendu), st.s) << st.sAttendu;
    }
}

TEST(Url, Decoding) {
    struct STCas {
        std::string s, sAttendu;
    };
    const STCas tabCas[] = {
        {"a+b%2fc", "a b/c"},
        {"%26%238364%3B", "\x80"},
        {"x%26%238364%3By", "x\x80y"},
        {"%%41", "A"},
        {"%%%4a", "J"},
        // A "%" too close to the end ends the text.
        {"ab%", "ab"},
        {"ab%4", "ab"},
        {"ab%%4", "ab"},
        {"%", ""},
        // Not hexadecimal: the "%" stays.
        {"100%zz", "100%zz"},
        {"%G1%41", "%G1A"},
        {"", ""},
    };
    for (const auto& st : tabCas) EXPECT_EQ(Decode(st.s), st.sAttendu) << st.s;
}

}  // namespace
