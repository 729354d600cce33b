// String argument record of file functions: one dynamic-string memory
// pointer and the kind of text it holds, passed on unconverted so that a
// Unicode file name stays Unicode.
#pragma once
#include <cstdint>

#include "qvstd/strmem.h"

struct STManipAUB {
    void* pMemoire;     // characters of a dynamic string; null for an empty value
    uint16_t wType;     // 16: Unicode text; otherwise ANSI text or binary

    static constexpr uint16_t TYPE_UNICODE = 16;

    bool bEstVide() const { return pMemoire == nullptr; }
    bool bEstUNICODE() const { return wType == TYPE_UNICODE; }
    const char* pszGetString() const { return pMemoire ? static_cast<const char*>(pMemoire) : ""; }
    // Unicode text is wide characters (32-bit wchar_t).
    const wchar_t* pszGetStringW() const { return pMemoire ? static_cast<const wchar_t*>(pMemoire) : L""; }
    uint32_t nGetLongueur() const { return pMemoire ? STRMEM_Header(pMemoire)->nLongueur : 0; }
};
