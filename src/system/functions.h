// The system language functions: INI files so far. Each takes the library
// object first (errors and host services) and reports a failure as a
// numbered user error with a neutral result.
//
// The family's namespace is `sys`: a namespace named like the C library's
// system() could not be declared beside it.
#pragma once

#include "runtime/znlibrary.h"
#include "core/any.h"
#include "core/zndstr.h"

namespace sys {

// ---- INI files ------------------------------------------------------------------------------
// A file name that is empty means the per-user file ("~/.TVR.conf"); a
// relative name is taken in the home directory. Sections and keys match
// whole and without regard to case.

// The value of the key, the default when there is none; without a key,
// the list of the section's keys; without a section, the list of sections.
// Values and lists are returned whole, however long.
CZNDSTR INILit(CZNLibrary& lib, const char* pszSection);
CZNDSTR INILit(CZNLibrary& lib, const char* pszSection, const char* pszCle);
CZNDSTR INILit(CZNLibrary& lib, const char* pszSection, const char* pszCle, const char* pszDefaut);
CZNDSTR INILit(CZNLibrary& lib, const char* pszSection, const char* pszCle, const char* pszDefaut,
               const char* pszFichier);

// Writes the value of the key; an argument given as "nothing" (a variant
// here, never read) deletes what it names: the key without a value, the
// section without a key. Anything a read could not give back exactly (a NUL
// within a text, "]" in a section, "=" in a key, ...) is refused with 80294
// and the file left unchanged.
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection);
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CZNDSTRBase& sCle);
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CZNDSTRBase& sCle, const CZNDSTRBase& sValeur);
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CZNDSTRBase& sCle, const CZNDSTRBase& sValeur,
              const CZNDSTRBase& sFichier);
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CZNDSTRBase& sCle, const CAny& clRien,
              const CZNDSTRBase& sFichier);
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CAny& clRien1, const CAny& clRien2,
              const CZNDSTRBase& sFichier);
bool INIEcrit(CZNLibrary& lib, const CAny& clRien1, const CAny& clRien2, const CAny& clRien3,
              const CZNDSTRBase& sFichier);
bool INIEcrit(CZNLibrary& lib, const CZNDSTRBase& sSection, const CZNDSTRBase& sCle, const CAny& clRien);

}  // namespace sys
