// Layout of the descriptor tables the host reads through InfoComposante.
#pragma once
#include <cstddef>
#include <cstdint>
#include "qvstd/callrecord.h"

struct STSyntaxe {
    PFN_ZNL pfnEntree;        // null: the overload exists but not on this platform
    uint32_t dwReserve;       // always 0
    const char* pszResultat;  // one type-code byte and a zero, or ""
    uint32_t dwArgs;          // bits 0-6: declared arguments; 0x80: a tail may follow
};

struct STFonction {
    const char* pszNom[2];    // first language (Latin-1), second language
    uint32_t dwFlags;
    uint32_t dwId;            // overloads << 24 | component << 16 | row
    const STSyntaxe* pstSyntaxes;
};

#pragma pack(push, 1)
struct STConstante {
    const char* pszNom[2];
    uint32_t dwFlags;
    uintptr_t nValeur;        // the integer (0x08), or a text pointer (0x12)
    uint8_t byComposante;
    uint8_t byType;
};
#pragma pack(pop)

struct STVariable {
    const char* pszNom[2];
    uint32_t dwFlags;
    uint16_t wId;
    uint8_t byComposante;
    uint8_t byType;
};

struct STPropriete {
    const char* pszNom[2];
    uint32_t dwReserve;
    uint32_t dwType;
    void* pfnGet;
    uint32_t dwZero1;
    void* pfnSet;
    uint32_t dwZero2;
    uint32_t dwFlags;
};

// The class descriptor is a run of machine words; the named fields below are
// the ones the host reads, the rest are zero.
struct STClasse {
    const char* pszNoms[2];          // "singular,plural,gender"
    const char* pszTypeRef;          // the class's type reference text
    uint32_t dwMagic;                // handed over as is
    uint32_t dwVersion;              // handed over as is
    void* pfnCopie;
    void* pfnTypeDescription;
    uintptr_t nZero1;
    const STSyntaxe* pstConstructeurs;
    uintptr_t nConstructeurs;
    uintptr_t nZero2[6];
    uintptr_t nProprietes;
    const STPropriete* pstProprietes;
    uintptr_t nZero3[4];
};

#if defined(__i386__)
static_assert(sizeof(STSyntaxe) == 16, "syntax row");
static_assert(sizeof(STFonction) == 20, "function row");
static_assert(sizeof(STConstante) == 18, "constant row");
static_assert(sizeof(STVariable) == 16, "variable row");
static_assert(sizeof(STPropriete) == 36, "property row");
static_assert(offsetof(STClasse, nProprietes) == 16 * 4, "property count is word 17");
#endif
