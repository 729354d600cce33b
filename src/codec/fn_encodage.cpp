// The encoding and checksum language functions: URLEncode, URLDécode,
// UUEncode, UUDécode, sCalculeCrc32 and sCalculeCrc16.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "codec/checksum.h"
#include "codec/crypt_chaine.h"
#include "codec/encode.h"
#include "codec/functions.h"
#include "codec/url.h"
#include "codec/valeur_octets.h"

namespace codec {

namespace {

constexpr int ERREUR_MEMOIRE = 80041;

CZNDSTR _Texte(CZNLibrary& lib, const std::string& s) {
    CZNDSTR sResultat;
    if (!s.empty() && sResultat.nAssign(s.data(), static_cast<int>(s.size())) != 0) lib.RaiseError(ERREUR_MEMOIRE);
    return sResultat;
}

}  // namespace

CZNDSTR URLEncode(CZNLibrary& lib, const char* pszTexte) {
    const auto* pby = reinterpret_cast<const uint8_t*>(pszTexte);
    const size_t n = std::strlen(pszTexte);
    std::string s(nCalculeLongueurEncodee(pby, n, URL_MODE_URL), '\0');
    EncodeURL(pby, n, URL_MODE_URL, s.data());
    return _Texte(lib, s);
}

CZNDSTR URLDecode(CZNLibrary& lib, const char* pszTexte) {
    const size_t n = std::strlen(pszTexte);
    std::string s(nCalculeLongueurDecodee(pszTexte, n), '\0');
    DecodeURL(pszTexte, n, reinterpret_cast<uint8_t*>(s.data()));
    return _Texte(lib, s);
}

CZNDSTR UUEncode(CZNLibrary& lib, const CAny& clValeur) {
    std::string sOctets, sTexte;
    if (!bOctetsValeur(clValeur, &sOctets)) return CZNDSTR();
    if (!g_bChaineEncode(sOctets, ENCODE_UUENCODE_STANDARD, sTexte)) {
        lib.RaiseError(ERREUR_MEMOIRE);
        return CZNDSTR();
    }
    return _Texte(lib, sTexte);
}

CZNBIN UUDecode(CZNLibrary& lib, const char* pszTexte) {
    std::string sOctets;
    CZNBIN clResultat;
    // A text that is no uuencoded text gives the empty buffer.
    if (!g_bChaineDecode(pszTexte, ENCODE_UUENCODE_STANDARD, sOctets)) return clResultat;
    if (!sOctets.empty() && clResultat.nAssign(sOctets.data(), static_cast<int>(sOctets.size())) != 0)
        lib.RaiseError(ERREUR_MEMOIRE);
    return clResultat;
}

int32_t sCalculeCrc32(CZNLibrary& lib, const CZNBINBase& clDonnees) { return sCalculeCrc32(lib, clDonnees, 0); }

int32_t sCalculeCrc32(CZNLibrary& /*lib*/, const CZNBINBase& clDonnees, int32_t nPrecedent) {
    const size_t n = static_cast<size_t>(clDonnees.nGetTaille());
    return static_cast<int32_t>(CCrc2::nCalculeCRC32(clDonnees.pGet(), n, static_cast<uint32_t>(nPrecedent)));
}

int32_t sCalculeCrc16(CZNLibrary& /*lib*/, const CAny& clValeur) {
    std::string s;
    if (!bOctetsValeur(clValeur, &s)) return 0;
    return CCrc16::s_wCalculeCRC(s.data(), s.size());
}

}  // namespace codec
