// Text conversions of the host: the component keeps 8-bit text in its
// current character set (Windows-1252 by default, a superset of Latin-1),
// Unicode text as 32-bit wide characters; people and tests speak UTF-8.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qvhost {

enum class eCharset { CP1252, LATIN1 };

// Decodes UTF-8 into code points; an invalid sequence gives U+FFFD for its
// first byte and decoding goes on with the next byte.
std::u32string Utf8Decode(const std::string& sUtf8);
// True when every byte belongs to a well-formed UTF-8 sequence.
bool bUtf8Valide(const std::string& s);
std::string Utf8Encode(const std::u32string& sCodes);
void Utf8Append(std::string& sOut, char32_t c);

// UTF-8 to the 8-bit character set; a character it cannot hold becomes '?'.
// pbPerte, when given, is set when that happened.
std::string Utf8ToCharset(const std::string& sUtf8, eCharset eCs = eCharset::CP1252, bool* pbPerte = nullptr);
std::string CharsetToUtf8(const std::string& sTexte, eCharset eCs = eCharset::CP1252);
std::string CharsetToUtf8(const char* pszTexte, size_t nLongueur, eCharset eCs = eCharset::CP1252);

// Wide text (32-bit units) from and to UTF-8. Units that are not Unicode
// scalar values come out as U+FFFD.
std::vector<uint32_t> Utf8ToWide(const std::string& sUtf8);
std::string WideToUtf8(const uint32_t* pnUnites, size_t nCount);

// Name comparison keys: accents removed (Latin-1 letters), and folded to
// lower case when bSansCasse.
std::u32string NameKey(const std::string& sUtf8, bool bSansAccent, bool bSansCasse);

std::string Base64Encode(const std::string& sOctets);
// False on a character outside the alphabet or a bad length or padding.
bool Base64Decode(const std::string& sTexte, std::string& sOctets);

}  // namespace qvhost
