// Plain C-string helpers used across the component. Texts returned as new
// allocations come from malloc and are released with STR_Delete (or free).
// Null texts are accepted wherever a text is read and count as "".
// The character work (tables, mapping, code pages) is the platform layer's:
// platform/chartab.h and platform/charset.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cwchar>

#include "platform/charset.h"
#include "platform/chartab.h"

// --- Creation and release ---------------------------------------------------------
char* STR_pszCreate(const char* pszTexte);          // copy; null on failure
char* STR_pszCreate(int nTaille);                   // malloc(nTaille + 1), first byte 0
char* STR_pszCreateA(const char* pszTexte, int nLongueur = -1);
wchar_t* STR_pszCreateW(const wchar_t* pszTexte, int nLongueur = -1);
char* STR_pszConcat(const char* pszA, const char* pszB);
// Reallocates *ppsz to nTaille + 1 bytes, keeping its text (cut when shorter).
bool STR_bResize(char** ppsz, int nTaille);
// Replaces *ppsz by a copy of pszTexte.
bool STR_bRedefine(char** ppsz, const char* pszTexte);
void STR_Delete(void* p);
void STR_DeleteA(char* psz);
void STR_DeleteW(wchar_t* psz);

// --- Length, copy and joining -----------------------------------------------------
// Sizes are destination sizes in units, terminator included; the result is
// the length written (always terminated when nTaille > 0).
int STR_nLen(const char* psz);
int STR_nLenW(const wchar_t* psz);
int STR_nCopy(char* pszDest, const char* pszSource, int nTaille);
int STR_nCopyW(wchar_t* pszDest, const wchar_t* pszSource, int nTaille);
int STR_nCat(char* pszDest, const char* pszSource, int nTaille);
int STR_nCatW(wchar_t* pszDest, const wchar_t* pszSource, int nTaille);

// --- Spaces and padding (in place; blanks are space, tab, CR, LF) ------------------
char* STR_SuppressRightSpaces(char* psz);
wchar_t* STR_SuppressRightSpacesW(wchar_t* psz);
char* STR_SuppressLeftSpaces(char* psz);
char* STR_SuppressAllSpaces(char* psz);
char* STR_SuppressSideSpaces(char* psz);
char* STR_SuppressRightCar(char* psz, char c);
char* STR_SuppressLeftCar(char* psz, char c);
char* STR_SuppressSideCar(char* psz, char c);
// Pads psz with c up to nLongueur characters (buffer of nLongueur + 1 bytes).
char* STR_Complete(char* psz, int nLongueur, char c);

// --- Case (current local alphabet) ---------------------------------------------------
char* STR_ToUpper(char* psz);
char* STR_ToLower(char* psz);

// --- Comparison: -1, 0, 1 -------------------------------------------------------------
// Options are mapping flags (1 case, 2 accents, 4 punctuation, MAP_LOCAL).
int STR_nCompare(const char* pszA, const char* pszB, uint32_t dwOptions = 0);
int STR_nNCompare(const char* pszA, const char* pszB, int nMax, uint32_t dwOptions = 0);
// Null sorts before every text, "" included.
int STR_nNullCompare(const char* pszA, const char* pszB, uint32_t dwOptions = 0);
int STR_nNullNCompare(const char* pszA, const char* pszB, int nMax, uint32_t dwOptions = 0);
// Null and "" are equal.
int STR_nEmptyNullCompare(const char* pszA, const char* pszB, uint32_t dwOptions = 0);
int STR_nAcCompare(const char* pszA, const char* pszB);   // accents folded
int STR_nUpCompare(const char* pszA, const char* pszB);   // case folded
// Runs of digits compare by value ("a9" before "a10").
int STR_nCompareRespecteNumerique(const char* pszA, const char* pszB, uint32_t dwOptions = 0);

// --- Search -------------------------------------------------------------------------
const char* STR_pszUpStrstr(const char* pszTexte, const char* pszCherche);   // case folded
const char* STR_StrIStr(const char* pszTexte, const char* pszCherche);
const char* STRRPBRK(const char* pszTexte, const char* pszCaracteres);      // last of the set
const char* STRRSTR(const char* pszTexte, const char* pszCherche);          // last occurrence
const char* STRRSTRA(const char* pszTexte, const char* pszCherche);
// Within the first nLongueur bytes only.
const char* STR_strnstrA(const char* pszTexte, int nLongueur, const char* pszCherche);
const char* STR_strnistrA(const char* pszTexte, int nLongueur, const char* pszCherche);
bool STR_bDebut(const char* pszTexte, const char* pszDebut);
int STR_nNbOccurrence(const char* pszTexte, const char* pszCherche);

// --- Character classes (default tables) ------------------------------------------------
bool bEstUnChiffre(char c);
bool bEstUnNombreEntierNaturel(const char* psz);   // one or more digits, nothing else
int nGetChiffre(char c);                           // value of a digit, -1 otherwise
bool bExtendedASCII(char c);                       // 0x80 and above
bool bMajuscule(char c);
bool bMinuscule(char c);
bool bUnprintable(char c);                         // control characters
bool bPonctuation(char c);                         // neither letter, digit nor blank
bool bEstDuTexteRTF(const char* psz);              // starts with "{\rtf"
bool STR_bContainSpace(const char* psz);
bool STR_bNeContientRienDeLisible(const char* psz); // only blanks and controls
