// Character sets and code pages: the tables that tie the host's character-set
// numbers to code pages, languages and C-library locales, and the text
// converters between 8-bit text in a code page, wide characters (wchar_t,
// UCS-4), UTF-16 units and UTF-8.
//
// Lengths are counts of the unit of the buffer they describe. A source length
// of -1 means the source is zero-terminated and the terminator is converted
// (and counted) too. Converters return 0 on any failure; a null destination
// or a destination length of 0 asks for the length needed, and such a
// destination is never written.
#pragma once
#include <cstdint>
#include <cwchar>

// Code pages with a meaning of their own.
constexpr uint32_t CP_ANSI_1252 = 1252;
constexpr uint32_t CP_UTF8 = 65001;

// Character-set numbers (the host's font character-set values) used by name.
constexpr int CHARSET_ANSI = 0;
constexpr int CHARSET_SANS = 127;   // reported as 0 by STR_nGetCurrentChangeCharset

// --- Tables ------------------------------------------------------------------

// iconv name of a code page; any unknown code page gives "CP1252".
const char* CodePageToIConv(uint32_t dwCodePage);
// Code page of a character set; 0 when the character set has none.
uint32_t dwGetCodePageFromCharset(int nCharset);
// Primary language identifier of a character set; 0 when none.
uint16_t wGetLanguageID(int nCharset);
// Character set of a language identifier; 0 when none.
int nGetCharsetFromLanguage(uint32_t dwLanguageID);
int GetCharSetFromLanguageID(uint32_t dwLanguageID);

// --- Current character set ----------------------------------------------------

// Current character set (127 reported as 0) and its raw value.
int STR_nGetCurrentChangeCharset();
int STR_nGetCurrentChangeCharsetInterne();
// Code page of the current character set (0 when it has none: converters
// then use "CP1252").
uint32_t dwGetCurrentCodePage();

// Switches the C library locale for the few character sets that need it;
// true when setlocale accepted the name. Other character sets leave the
// locale alone and give false.
bool ChangeLocale(int nCharset);

// --- Code page <-> wide / code page ------------------------------------------

int MultiByteToWideChar(uint32_t dwCodePage, uint32_t dwFlags, const char* pszSource, int nSource,
                        wchar_t* pwszDest, int nDest);
// dwFlags, pszDefaultChar are ignored; *pbUsedDefault (when given) is set to
// 0: a character the code page cannot hold makes the call fail.
int WideCharToMultiByte(uint32_t dwCodePage, uint32_t dwFlags, const wchar_t* pwszSource, int nSource,
                        char* pszDest, int nDest, const char* pszDefaultChar, int* pbUsedDefault);
int MultiByteToMultiByte(uint32_t dwFromCodePage, const char* pszSource, int nSource, uint32_t dwToCodePage,
                         char* pszDest, int nDest);

// Bytes of the UTF-8 form of a zero-terminated wide text, terminator included
// (0 when the text cannot be converted).
int nGetUTF8Len(const wchar_t* pwszTexte);
// Wide characters of a zero-terminated 1252 text, terminator included.
int nGetUNICODELen(const char* pszTexte);
// malloc'ed zero-terminated UTF-8 copy of a 1252 text; null on failure.
char* pszChar2UTF8(const char* pszTexte);
// malloc'ed zero-terminated wide copy of a 1252 text (length -1: up to the
// terminator); null on failure.
wchar_t* pszXSTR2WSTR(const char* pszTexte, int nLongueur);

// --- Code page <-> UTF-8 ------------------------------------------------------
// These fill the destination as far as whole characters fit, zero the bytes
// left over and return the bytes written (0 on an invalid or unconvertible
// source). They have no counting mode: a null destination or a size of 0
// gives 0.

int MultiByteToUTF8(uint32_t dwCodePage, const char* pszSource, int nSource, char* pszDest, int nDest,
                    uint32_t dwFlags);
int UTF8ToMultiByte(uint32_t dwCodePage, const char* pszSource, int nSource, char* pszDest, int nDest,
                    uint32_t dwFlags, const char* pszDefaultChar, int* pbUsedDefault);
int UTF8ToMultiByte_CurrentCharset(const char* pszSource, int nSource, char* pszDest, int nDest);
int MultiByteToUTF8_CurrentCharset(const char* pszSource, int nSource, char* pszDest, int nDest);

// --- UTF-16 -------------------------------------------------------------------
// Units beyond U+FFFF are not split into surrogate pairs: only the low 16
// bits travel.

int MultiByteToUTF16(uint32_t dwCodePage, const char* pszSource, int nSource, char16_t* pDest, int nDest);
int MultiByteToUTF16_CurrentCharset(const char* pszSource, int nSource, char16_t* pDest, int nDest);
int UTF16ToMultiByte(uint32_t dwCodePage, const char16_t* pSource, int nSource, char* pszDest, int nDest);
int WideCharToUTF16(const wchar_t* pwszSource, int nSource, char16_t* pDest, int nDest);
int UTF16ToWideChar(const char16_t* pSource, int nSource, wchar_t* pwszDest, int nDest);
// Units before the terminator; at most nMaximum for utf16nlen.
int utf16len(const char16_t* pTexte);
int utf16nlen(const char16_t* pTexte, int nMaximum);

// --- UTF-8 --------------------------------------------------------------------

// Next character (steps over the lead byte and its continuation bytes, never
// past a zero byte).
const char* UTF8next(const char* pszTexte);
// Bytes UTF8next steps over for the first character (0 for an empty text).
int UTF8Len(const char* pszTexte);
// First code point, or -1; *pnLongueur: bytes available on entry, bytes of
// the character on exit (0 on failure).
int UTF8FirstChar(const char* pszTexte, int* pnLongueur);
// Well-formedness of the lead/continuation structure (length -1: up to the
// first zero byte).
bool UTF8Valide(const char* pszTexte, int nLongueur);

// --- STR_ conversions ---------------------------------------------------------

// One character of a code page to a wide character (0 on failure).
wchar_t STR_CharToWChar(char cCaractere, uint32_t dwFlags, uint32_t dwCodePage);
// Texts in the current code page <-> wide characters.
int STR_CharToWChar_CurrentCharset(const char* pszSource, int nSource, wchar_t* pwszDest, int nDest);
int STR_WCharToChar_CurrentCharset(const wchar_t* pwszSource, int nSource, char* pszDest, int nDest);
// Texts in any code page.
int STR_CharToChar_AnyCodepage(uint32_t dwFromCodePage, const char* pszSource, int nSource,
                               uint32_t dwToCodePage, char* pszDest, int nDest);
int STR_CharToWChar_AnyCodepage(uint32_t dwCodePage, const char* pszSource, int nSource, wchar_t* pwszDest,
                                int nDest);
int STR_WCharToChar_AnyCodepage(uint32_t dwCodePage, const wchar_t* pwszSource, int nSource, char* pszDest,
                                int nDest);
// malloc'ed zero-terminated UTF-8 copy of a text in the current code page,
// and the reverse (length -1: up to the terminator); null on failure.
char* STR_pszCreateToXUTF8(const char* pszTexte, int nLongueur = -1);
char* STR_pszCreateFromXUTF8(const char* pszUTF8, int nLongueur = -1);
