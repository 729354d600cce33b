#include "charset.h"

namespace qvhost {

namespace {

// Windows-1252 bytes 0x80-0x9F. The five unassigned bytes keep their C1
// control code so that every byte survives a round trip.
const char32_t k_tabCp1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t ByteToCode(unsigned char c, eCharset eCs) {
    if (eCs == eCharset::CP1252 && c >= 0x80 && c < 0xA0) return k_tabCp1252[c - 0x80];
    return c;
}

int CodeToByte(char32_t c, eCharset eCs) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    if (eCs == eCharset::LATIN1) return c <= 0xFF ? static_cast<int>(c) : -1;
    for (int i = 0; i < 32; ++i)
        if (k_tabCp1252[i] == c) return 0x80 + i;
    return -1;
}

// Base letter of a Latin-1 accented letter, or the code itself.
char32_t BaseLetter(char32_t c) {
    static const char k_szMaj[] = "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYTs";   // 0xC0-0xDF
    static const char k_szMin[] = "aaaaaaaceeeeiiiidnooooo/ouuuuyty";   // 0xE0-0xFF
    if (c >= 0xC0 && c <= 0xDF && c != 0xD7 && c != 0xDE && c != 0xDF) return static_cast<unsigned char>(k_szMaj[c - 0xC0]);
    if (c >= 0xE0 && c <= 0xFF && c != 0xF7 && c != 0xFE) return static_cast<unsigned char>(k_szMin[c - 0xE0]);
    switch (c) {
        case 0x0152: return U'O';   // the OE ligatures keep their first letter
        case 0x0153: return U'o';
        case 0x0160: return U'S';
        case 0x0161: return U's';
        case 0x017D: return U'Z';
        case 0x017E: return U'z';
        case 0x0178: return U'Y';
        default: return c;
    }
}

char32_t LowerLetter(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c == 0x0152 || c == 0x0160 || c == 0x017D) return c + 1;
    if (c == 0x0178) return 0xFF;
    return c;
}

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

namespace {

// The length of the well-formed UTF-8 sequence at p[i] with its code point,
// or 0 when the bytes there are not one (stray, truncated, overlong,
// surrogate, beyond U+10FFFF).
size_t nSequenceUtf8(const unsigned char* p, size_t n, size_t i, char32_t& c) {
    unsigned char b = p[i];
    size_t nSuite = 0;
    char32_t cMin = 0;
    if (b < 0x80) {
        c = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        c = b & 0x1F; nSuite = 1; cMin = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        c = b & 0x0F; nSuite = 2; cMin = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        c = b & 0x07; nSuite = 3; cMin = 0x10000;
    } else {
        return 0;
    }
    if (i + nSuite >= n) return 0;   // the whole sequence is not there
    for (size_t k = 1; k <= nSuite; ++k) {
        if ((p[i + k] & 0xC0) != 0x80) return 0;
        c = (c << 6) | (p[i + k] & 0x3F);
    }
    if (c < cMin || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return nSuite + 1;
}

}  // namespace

std::u32string Utf8Decode(const std::string& sUtf8) {
    std::u32string sOut;
    const auto* p = reinterpret_cast<const unsigned char*>(sUtf8.data());
    size_t n = sUtf8.size();
    size_t i = 0;
    while (i < n) {
        char32_t c = 0;
        size_t nLong = nSequenceUtf8(p, n, i, c);
        sOut.push_back(nLong ? c : 0xFFFD);
        i += nLong ? nLong : 1;
    }
    return sOut;
}

bool bUtf8Valide(const std::string& s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    char32_t c = 0;
    for (size_t i = 0, nLong = 0; i < s.size(); i += nLong)
        if ((nLong = nSequenceUtf8(p, s.size(), i, c)) == 0) return false;
    return true;
}

void Utf8Append(std::string& sOut, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
        sOut.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        sOut.push_back(static_cast<char>(0xC0 | (c >> 6)));
        sOut.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        sOut.push_back(static_cast<char>(0xE0 | (c >> 12)));
        sOut.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        sOut.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        sOut.push_back(static_cast<char>(0xF0 | (c >> 18)));
        sOut.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        sOut.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        sOut.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string Utf8Encode(const std::u32string& sCodes) {
    std::string sOut;
    for (char32_t c : sCodes) Utf8Append(sOut, c);
    return sOut;
}

std::string Utf8ToCharset(const std::string& sUtf8, eCharset eCs, bool* pbPerte) {
    std::string sOut;
    bool bPerte = false;
    for (char32_t c : Utf8Decode(sUtf8)) {
        int b = CodeToByte(c, eCs);
        if (b < 0) {
            bPerte = true;
            b = '?';
        }
        sOut.push_back(static_cast<char>(b));
    }
    if (pbPerte) *pbPerte = bPerte;
    return sOut;
}

std::string CharsetToUtf8(const char* pszTexte, size_t nLongueur, eCharset eCs) {
    std::string sOut;
    if (!pszTexte) return sOut;
    for (size_t i = 0; i < nLongueur; ++i) Utf8Append(sOut, ByteToCode(static_cast<unsigned char>(pszTexte[i]), eCs));
    return sOut;
}

std::string CharsetToUtf8(const std::string& sTexte, eCharset eCs) {
    return CharsetToUtf8(sTexte.data(), sTexte.size(), eCs);
}

std::vector<uint32_t> Utf8ToWide(const std::string& sUtf8) {
    std::u32string s = Utf8Decode(sUtf8);
    return std::vector<uint32_t>(s.begin(), s.end());
}

std::string WideToUtf8(const uint32_t* pnUnites, size_t nCount) {
    std::string sOut;
    if (!pnUnites) return sOut;
    for (size_t i = 0; i < nCount; ++i) Utf8Append(sOut, pnUnites[i]);
    return sOut;
}

std::u32string NameKey(const std::string& sUtf8, bool bSansAccent, bool bSansCasse) {
    std::u32string s = Utf8Decode(sUtf8);
    for (char32_t& c : s) {
        if (bSansAccent) c = BaseLetter(c);
        if (bSansCasse) c = LowerLetter(c);
    }
    return s;
}

std::string Base64Encode(const std::string& sOctets) {
    static const char k_szAlpha[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string sOut;
    size_t n = sOctets.size();
    const auto* p = reinterpret_cast<const unsigned char*>(sOctets.data());
    for (size_t i = 0; i < n; i += 3) {
        uint32_t v = static_cast<uint32_t>(p[i]) << 16;
        if (i + 1 < n) v |= static_cast<uint32_t>(p[i + 1]) << 8;
        if (i + 2 < n) v |= p[i + 2];
        sOut.push_back(k_szAlpha[(v >> 18) & 63]);
        sOut.push_back(k_szAlpha[(v >> 12) & 63]);
        sOut.push_back(i + 1 < n ? k_szAlpha[(v >> 6) & 63] : '=');
        sOut.push_back(i + 2 < n ? k_szAlpha[v & 63] : '=');
    }
    return sOut;
}

bool Base64Decode(const std::string& sTexte, std::string& sOctets) {
    sOctets.clear();
    if (sTexte.size() % 4 != 0) return false;
    for (size_t i = 0; i < sTexte.size(); i += 4) {
        int v[4];
        int nPad = 0;
        for (int k = 0; k < 4; ++k) {
            char c = sTexte[i + k];
            if (c == '=' && i + 4 == sTexte.size() && k >= 2) {
                v[k] = 0;
                ++nPad;
                continue;
            }
            if (nPad) return false;   // data after padding
            v[k] = Base64Value(c);
            if (v[k] < 0) return false;
        }
        uint32_t w = (static_cast<uint32_t>(v[0]) << 18) | (static_cast<uint32_t>(v[1]) << 12) |
                     (static_cast<uint32_t>(v[2]) << 6) | static_cast<uint32_t>(v[3]);
        sOctets.push_back(static_cast<char>(w >> 16));
        if (nPad < 2) sOctets.push_back(static_cast<char>((w >> 8) & 0xFF));
        if (nPad < 1) sOctets.push_back(static_cast<char>(w & 0xFF));
    }
    return true;
}

}  // namespace qvhost
