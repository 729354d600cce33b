// The file functions of the language: files read and written through
// integer handles (2 and up, indexes of the process-wide table of open
// files that shared-memory zones share).
//
// A failure raises its user error (level 2) and gives -1, false, 0 or an
// empty text. Names and written values come as the host passes
// file-function strings (ANSI or Unicode); memory addresses as the host's
// 4-byte integers.
#pragma once
#include <cstdint>

#include "runtime/znlibrary.h"
#include "core/zndstr.h"
#include "qvstd/manipaub.h"

namespace files {

// --- Opening and closing ---------------------------------------------------------
// Without a mode: read and write.
int32_t fOuvre(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nMode);
int32_t fOuvre(CZNLibrary& lib, const STManipAUB* pstNom);
// fOuvre with read-write and creation added to the mode.
int32_t fCree(CZNLibrary& lib, const STManipAUB* pstNom);
int32_t fCree(CZNLibrary& lib, const STManipAUB* pstNom, int32_t nMode);
// 0, or -1 for a handle that is not open.
int32_t fFerme(CZNLibrary& lib, int32_t nHandle);

// --- Lines --------------------------------------------------------------------
// Posts the line without its end; the character of code 4 at the end of the
// file. Unicode for a file opened with foUnicode.
void fLitLigne(CZNLibrary& lib, int32_t nHandle);
// Captured groups go into the variables passed from the third argument.
bool fLitLigne(CZNLibrary& lib, int32_t nHandle, const STManipAUB* pstFormat);
// The text, then CR LF (in 16-bit units in a Unicode file).
bool fEcritLigne(CZNLibrary& lib, int32_t nHandle, const STManipAUB* pstTexte);
// The bytes at the address, then CR LF.
bool fEcritLigne(CZNLibrary& lib, int32_t nHandle, void* pAdresse, int32_t nLongueur);
// The first bytes of the string (never beyond it), then CR LF.
bool fEcritLigne(CZNLibrary& lib, int32_t nHandle, const STManipAUB* pstTexte, int32_t nLongueur);

// --- Blocks -------------------------------------------------------------------
// At most nNombre bytes, as a string of the bytes read.
CZNDSTR fLit(CZNLibrary& lib, int32_t nHandle, int32_t nNombre);
// The bytes read into memory at the address.
int32_t fLit(CZNLibrary& lib, int32_t nHandle, int32_t nNombre, void* pAdresse);
// A string or a buffer, whole or its first nLongueur bytes (characters for
// a Unicode text); the bytes written, -1 on failure.
int32_t fEcrit(CZNLibrary& lib, int32_t nHandle, const STManipAUB* pstValeur);
int32_t fEcrit(CZNLibrary& lib, int32_t nHandle, const STManipAUB* pstValeur, int32_t nLongueur);
int32_t fEcrit(CZNLibrary& lib, int32_t nHandle, void* pAdresse, int32_t nLongueur);

// --- Position, locks, size ------------------------------------------------------
// Origin 0 start, 1 current, 2 end; the new position, -1 on failure.
int64_t fPositionne(CZNLibrary& lib, int32_t nHandle, int64_t oDeplacement, int32_t nOrigine);
// Disk files only. Without a length (or -1): from the start to the end of
// the file and beyond. Non-blocking; exclusive on a handle open for writing.
bool fBloque(CZNLibrary& lib, int32_t nHandle);
bool fBloque(CZNLibrary& lib, int32_t nHandle, int32_t nDebut);
bool fBloque(CZNLibrary& lib, int32_t nHandle, int32_t nDebut, int32_t nLongueur);
bool fDebloque(CZNLibrary& lib, int32_t nHandle);
bool fDebloque(CZNLibrary& lib, int32_t nHandle, int32_t nDebut);
bool fDebloque(CZNLibrary& lib, int32_t nHandle, int32_t nDebut, int32_t nLongueur);
// Disk files only; the position stays where it was when still inside.
bool fChangeTaille(CZNLibrary& lib, int32_t nHandle, int64_t oTaille);

}  // namespace files
