// Single-byte code pages (874, 1250 to 1257) as tables, so that short texts
// and long ones convert without a trip through iconv. Each page's tables are
// built once, from iconv's own conversion of every byte, so they cannot
// disagree with it; a page that iconv does not convert byte for byte (a
// stateful one, or one whose bytes below 0x80 are not ASCII) gets no tables.
//
// The conversions below answer exactly as iconv would, or say that they
// cannot tell (SIMPLE_IGNORE: a character outside the tables, malformed
// UTF-8), in which case the caller converts with iconv.
#pragma once
#include <cstddef>
#include <cstdint>

class CPageSimple;

// The tables of a code page, or null when it is not served by tables. An
// unknown code page is 1252, as for the iconv names.
const CPageSimple* SIMPLE_pclPage(uint32_t dwCodePage);

// Results: a count of units written (or needed, without a destination),
// SIMPLE_ECHEC where iconv fails too (a byte the page leaves undefined, or a
// destination too small outside the fill mode), SIMPLE_IGNORE where only
// iconv can answer.
constexpr long SIMPLE_ECHEC = -1;
constexpr long SIMPLE_IGNORE = -2;

// Page to wide characters (UCS-4); a null destination counts.
long SIMPLE_nVersWide(const CPageSimple& clPage, const char* pszSource, size_t nSource, wchar_t* pwszDest,
                      size_t nDest);
// Wide characters to the page; a null destination counts.
long SIMPLE_nDepuisWide(const CPageSimple& clPage, const wchar_t* pwszSource, size_t nSource, char* pszDest,
                        size_t nDest);
// Page to UTF-8. With bRemplit, a full destination ends the conversion
// without failing (only whole characters are written); without it, a
// destination too small fails. A null destination counts.
long SIMPLE_nVersUtf8(const CPageSimple& clPage, const char* pszSource, size_t nSource, char* pszDest, size_t nDest,
                      bool bRemplit);
// UTF-8 to the page, with the same modes.
long SIMPLE_nDepuisUtf8(const CPageSimple& clPage, const char* pszSource, size_t nSource, char* pszDest,
                        size_t nDest, bool bRemplit);
