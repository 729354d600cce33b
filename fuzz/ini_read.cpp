// Reads arbitrary INI texts with arbitrary sections and keys, bounded and
// unbounded, and writes arbitrary names and values into them. Layout of
// the input: one byte of flags (which of section, key and value are
// absent), one byte for the buffer size, then the section, key and value
// each ended by a NUL, then the file's text (NULs and all).
//
// What must hold: the bounded reading writes nothing past its buffer and
// gives the unbounded reading cut to the buffer; whatever the writing
// rules accept is read back exactly after the edit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "system/profile_text.h"

namespace {

// Cuts the next NUL-ended field off the input; absent when there is none.
bool _bChamp(std::string_view& sv, std::string& sChamp) {
    size_t n = sv.find('\0');
    if (n == std::string_view::npos) return false;
    sChamp.assign(sv.substr(0, n));
    sv.remove_prefix(n + 1);
    return true;
}

void _VerifieLecture(std::string_view svTexte, const char* pszSection, const char* pszCle, int nTaille) {
    const std::string sEntier = profile_text::Lookup(svTexte, pszSection, pszCle, "dflt");
    std::vector<char> tab(static_cast<size_t>(nTaille) + 16, '#');
    const int n = profile_text::nLookup(svTexte, pszSection, pszCle, "dflt", tab.data(), nTaille);
    if (n < 0 || n >= nTaille || tab[static_cast<size_t>(n)] != 0) abort();
    for (size_t i = static_cast<size_t>(nTaille); i < tab.size(); ++i)
        if (tab[i] != '#') abort();
    const std::string_view svBorne(tab.data(), static_cast<size_t>(n));
    const bool bValeur = pszSection != nullptr && pszCle != nullptr;
    // A value is cut to the buffer; a list keeps only whole names, or
    // gives the default when not one fits.
    if (bValeur || sEntier.size() < static_cast<size_t>(nTaille)) {
        if (svBorne != std::string_view(sEntier).substr(0, static_cast<size_t>(nTaille - 1))) abort();
    } else if (sEntier.compare(0, svBorne.size(), svBorne) != 0 &&
               svBorne != std::string_view("dflt").substr(0, svBorne.size())) {
        abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nTaille) {
    if (nTaille < 2) return 0;
    const uint8_t nDrapeaux = pData[0];
    const int nTampon = 1 + pData[1];
    std::string_view sv(reinterpret_cast<const char*>(pData + 2), nTaille - 2);
    std::string sSection, sCle, sValeur;
    if (!_bChamp(sv, sSection) || !_bChamp(sv, sCle) || !_bChamp(sv, sValeur)) return 0;
    const char* pszSection = nDrapeaux & 1 ? nullptr : sSection.c_str();
    const char* pszCle = nDrapeaux & 2 ? nullptr : sCle.c_str();
    const char* pszValeur = nDrapeaux & 4 ? nullptr : sValeur.c_str();
    const std::string_view svTexte = sv;

    _VerifieLecture(svTexte, pszSection, pszCle, nTampon);

    if (pszSection == nullptr || !profile_text::bWritable(pszSection, pszCle, pszValeur)) return 0;
    std::string sNouveau;
    const bool bChange = profile_text::bEdit(svTexte, pszSection, pszCle, pszValeur, sNouveau);
    const std::string_view svApres = bChange ? std::string_view(sNouveau) : svTexte;
    if (pszCle != nullptr && pszValeur != nullptr) {
        if (profile_text::Lookup(svApres, pszSection, pszCle, nullptr) != pszValeur) abort();
        _VerifieLecture(svApres, pszSection, pszCle, nTampon);
    }
    return 0;
}
