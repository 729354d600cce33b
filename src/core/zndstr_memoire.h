// The memory routines that the dynamic-string classes share: a block is
// made private before a change (copy on write), sized, filled, shared and
// released here, for texts (ANSI and Unicode) and binary buffers alike.
// Internal to the string classes; callers use CZNDSTRBase and CZNBINBase.
#pragma once
#include <cstdarg>
#include <cstdint>
#include <cstring>

#include "core/strmem.h"

namespace zndstr_memoire {

inline uint32_t _nLong(const void* p) { return p ? STRMEM_Header(p)->nLongueur : 0; }

inline bool _bBlanc(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

inline int _nSigne(int n) { return n < 0 ? -1 : (n > 0 ? 1 : 0); }

// The length of a text given with a length of -1 for "up to its terminator".
inline uint32_t _nLongueurTexte(const void* p, int n) {
    if (p == nullptr) return 0;
    return n < 0 ? uint32_t(std::strlen(static_cast<const char*>(p))) : uint32_t(n);
}

// Sets the used length and the 4-byte zero after it.
void _FixeLongueur(void* p, uint32_t nLongueur);
void _Libere(void*& pMemoire);
// Private memory able to hold nTaille bytes; the content and flags are kept.
int _nPrepare(void*& pMemoire, uint32_t nTaille, uint32_t dwKind);
int _nAssign(void*& pMemoire, const void* pSource, uint32_t nTaille, uint32_t dwKind);
int _nConcat(void*& pMemoire, const void* pSource, uint32_t nTaille, uint32_t dwKind);
void _Partage(void*& pMemoire, void* pAutre);
int _nCompareOctets(const void* pA, uint32_t nA, const void* pB, uint32_t nB);
// Cuts pMemoire to nLongueur bytes, privately.
void _Tronque(void*& pMemoire, int nLongueur, uint32_t dwKind);
int _nSetUtil(void*& pMemoire, uint32_t nLongueur, bool bGarde, uint32_t dwKind);
// Appends nNombre (text, length) pairs.
int _nConcatListe(void*& pMemoire, int nNombre, va_list args);
// Wide text of an ANSI text in a code page; bytes that the code page does
// not define become the wide character of the same value.
int _nVersWide(void*& pMemoire, const char* pszTexte, uint32_t nLongueur, uint32_t dwCodePage);
// ANSI text of a wide text; cRemplacement stands for what the code page
// cannot hold, and *pbRemplace says whether it was needed.
int _nVersAnsi(void*& pMemoire, const wchar_t* pwszTexte, uint32_t nCaracteres, uint32_t dwCodePage,
               char cRemplacement, bool* pbRemplace);

}  // namespace zndstr_memoire
