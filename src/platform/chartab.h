// Character tables (case, accents, character types, sort weights), the
// alphabet in use, and the mapping and comparison of 8-bit texts under
// mapping flags.
#pragma once
#include <cstdint>

// Five tables describing one 8-bit character set. The default describes
// Windows-1252; a local alphabet has the same layout.
struct _stCHARTAB {
    const unsigned char* pToUpper;      // 256 bytes
    const unsigned char* pToLower;      // 256 bytes
    const unsigned char* pToNoAccent;   // 256 bytes, case kept
    const unsigned char* pbyCharType;   // 256 bytes of CT_ flags
    const uint16_t* pwCharOrder;        // 256 sort weights
};

// Character type flags.
enum eCharType : unsigned char {
    CT_CHIFFRE = 1,     // digit
    CT_MINUSCULE = 2,   // lower-case letter
    CT_ACCENT = 4,      // accented letter
    CT_AUTRE = 8,       // neither letter nor digit
    CT_BLANC = 16,      // blank
};

// Mapping flags (option word of the mapping and comparison functions).
constexpr uint32_t MAP_CASSE = 1;            // fold case
constexpr uint32_t MAP_ACCENT = 2;           // remove accents
constexpr uint32_t MAP_PONCTUATION = 4;      // drop characters of type CT_AUTRE
constexpr uint32_t MAP_LOCAL = 0x10000000;   // use the local alphabet
// STR_nTransforme: drop blanks, then nothing / case / accents / both.
constexpr uint32_t MAP_SANS_BLANC = 2048;

// Default Windows-1252 tables.
extern const unsigned char pToUpper_Latin1[256];
extern const unsigned char pToLower_Latin1[256];
extern const unsigned char pToNoAccent_Latin1[256];
extern const unsigned char pbyCharType_Latin1[256];
extern const uint16_t pwCharOrder_Latin1[256];
extern const _stCHARTAB gstCharTab;

// Alphabet-information interface the host may install: when present, the
// current character set and the local tables are the ones it answers.
class ICtxInfoAlphabet {
public:
    virtual int nGetCharset() = 0;
    virtual const _stCHARTAB* pstGetCharTab() = 0;   // null: the default tables

protected:
    ~ICtxInfoAlphabet() = default;
};

// --- Alphabet -----------------------------------------------------------------

// Sets the current character set and installs a copy of the given tables
// (an _stCHARTAB; null: the default tables) as the local alphabet.
void STR_ChangeAlphabet(int nCharset, const void* pTable);
// Installs (or, with null, removes) the host's alphabet interface.
void STR_SetCtxInfoAlphabet(ICtxInfoAlphabet* piInfo);
ICtxInfoAlphabet* STR_piGetCtxInfoAlphabet();
// Local alphabet: the interface's tables, else the installed ones, else the
// default tables. Never null.
const _stCHARTAB* STR_pstGetCharTabLocal();
// Tables selected by a mapping flag word (MAP_LOCAL or the default).
const _stCHARTAB* STR_pstGetCharTab(uint32_t dwFlags);

// --- Mapping ------------------------------------------------------------------
// Sizes count destination bytes including the terminator; a size of 0 (or
// below) writes nothing. Source length -1: up to the terminator. Mapping
// stops at a zero byte. Flags above 7 (apart from MAP_LOCAL) copy nothing and
// leave an empty text.

// Maps a text; case folding goes up when bMajuscule is non-zero. Returns the
// characters written (a terminator follows them).
int STR_nMapStringEx(uint32_t dwFlags, char* pszDest, int nTaille, const char* pszSource, int nLongueur,
                     int bMajuscule);
// Maps one character; 0 when flag 4 drops it (nothing written), else 1.
int STR_nMapCharEx(uint32_t dwFlags, char* pcDest, char cCaractere, int bMajuscule);
// Size needed to map a text: characters kept plus the terminator.
int STR_nGetMapStringLenEx(uint32_t dwFlags, const char* pszSource, int nLongueur);
// Allocates (malloc) and maps a zero-terminated text with upper-case
// folding; returns the characters written, *ppszResultat null on failure.
int STR_nCreateMapString(uint32_t dwFlags, char** ppszResultat, const char* pszSource);
// Flags 2048-2051: blanks dropped, then the mapping of flags 0-3 (upper
// case); other flags as STR_nMapStringEx with upper-case folding.
int STR_nTransforme(uint32_t dwFlags, char* pszDest, int nTaille, const char* pszSource, int nLongueur);
// Accent removal then upper case, default tables; returns 1.
int STR_nMapCharIgnoreCaseAccent(char* pcDest, char cCaractere);
// Sort key: maps as STR_nMapStringEx (upper case) and writes the sort
// weight of each character kept; a zero weight terminates the key when there
// is room. Returns the weights written.
int STR_MapStringSortEx(uint32_t dwFlags, uint16_t* pwDest, int nTaille, const char* pszSource, int nLongueur);

// --- Comparison ---------------------------------------------------------------

// Compares two texts under mapping flags 0-7: 1 (a before b), 2 (equal),
// 3 (a after b). Mapped characters compare as signed bytes. Null texts are
// empty.
int STR_CompareStringEx(uint32_t dwFlags, const char* pszA, int nLongueurA, const char* pszB, int nLongueurB);
// Lexical comparison of two characters by their sort weights after the
// mapping of dwFlags (flag 4 ignored): -1, 0 or 1.
int STR_nCompareCarLexical(uint32_t dwFlags, char cA, char cB);
// Flexible equality of two characters: equal once case and accents are
// folded (local alphabet with MAP_LOCAL).
bool STR_bCompareCarSouple(uint32_t dwFlags, char cA, char cB);
