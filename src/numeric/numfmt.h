// Number-to-text formatting with the language's short printf-like formats
// ("%-+010.2fs", "x", "e"...), and the separators of the C library locale.
#pragma once
#include <cstdint>
#include <string>

// What a format asks for.
enum : uint16_t {
    FMT_GAUCHE = 1,        // "-": left-aligned
    FMT_ZEROS = 2,         // first width digit "0": zero padding
    FMT_LONG = 4,          // "l" or "L"
    FMT_SIGNE = 8,         // "+": always show the sign
    FMT_MILLIERS = 16,     // suffix "s" or "S": thousands separators
    FMT_VIRGULE = 32,      // "," before the precision: the locale's decimal separator
    FMT_MONETAIRE = 64,    // the value is a currency value
    FMT_ENTIER64 = 128,    // the value is a 64-bit integer
};

struct _stFMTINFO {
    uint16_t wFlags = 0;
    char cFormat = 'f';    // e E f x X d o O ("F" is kept as "f", "D" as "d")
    int nLargeur = 0;
    int nPrecision = 0;
};

// Formats longer than this are cut before they are read.
constexpr int FMT_TAILLE_MAX = 16;
// Widths and precisions above this are refused by the formatting.
constexpr int FMT_LARGEUR_MAX = 100;

// Reads a format (at most FMT_TAILLE_MAX characters are read); false when
// it is not valid. Widths and precisions saturate instead of overflowing.
bool CHAINE_bAnalyseFormat(const char* pszFormat, _stFMTINFO* pstInfo);
// The C library format of the record, written into pszTampon (at least
// 32 bytes); its length.
int CHAINE_nFmtInfo2Format(char* pszTampon, const _stFMTINFO* pstInfo);
// Thousands separators inserted into a formatted number (see the format's
// "s" suffix); cDecimal is the decimal separator the text uses.
void CHAINE_SeparateurMillier(const _stFMTINFO* pstInfo, std::string& sTexte, char cMillier, char cDecimal);
// A three-digit exponent beginning with "0" shortened to two digits, the
// freed place given back in front so that the width is kept.
void CHAINE_AligneExposant16Bits(const _stFMTINFO* pstInfo, std::string& sTexte);

// The C library locale's decimal separator (false and "." when it has
// none) and thousands separator (a blank when it has none).
bool bGetVirguleLocale(char* pcSeparateur);
bool bGetPointLocale(char* pcSeparateur);

// A value to format: its variant type, its value as a real, and its exact
// value when it is an 8-byte integer (types 5 and 9).
struct STValeurNum {
    int nType = 12;
    double r = 0;
    int64_t ll = 0;
};

enum eResultatFormat {
    RF_OK = 0,
    RF_FORMAT_INVALIDE = 1,   // invalid format, or width or precision above 100
};

// Writes the value through a non-empty format.
eResultatFormat NUM_eFormate(const STValeurNum& stValeur, const char* pszFormat, std::string& sResultat);
