// Conversions between plain texts and dynamic-string blocks.
#pragma once
#include <cstdint>

// A new ANSI dynamic-string block (its characters pointer) holding the wide
// text converted to dwCodePage; nLongueur -1 for a zero-terminated text.
// Null on failure; release with s_ReleaseStrMem.
char* pszWSTR2XSTR(const wchar_t* pwszTexte, int nLongueur, uint32_t dwCodePage);
// A malloc'ed zero-terminated copy of a block's characters (its whole
// length, zero bytes included); an empty text for a null block.
char* pszXSTR2CSTR(const char* pszBloc);
// A new ANSI block holding a copy of the text (nLongueur -1: up to its zero).
char* pszCSTR2XSTR(const char* pszTexte, int nLongueur);
