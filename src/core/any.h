// Variants: the value holders of every type, the array variant and the
// binding to the host's value conversions. The variant itself is declared
// in qvstd/any.h, which the host shares.
#pragma once
#include <cstdint>

#include "qvstd/any.h"

// Holder classes by type code (every code not served gives CAny_Intern).
const STAnyClasse* ANY_pGetClasse(int nType);
// Width of the value a scalar type stores in place; 0 for reference types
// and types without a value.
uint32_t ANY_nTailleScalaire(int nType);

// The array variant (type 83): an owned array of variants.
class CAny_ZNTABANY {
public:
    // One-element array holding a copy of the variant.
    static int s_nSetValue(CAny* pclTableau, const CAny* pclValeur);
    // Array of nCount copies (each made with the element's Duplique).
    static int s_nSetValue(CAny* pclTableau, const CAny* pclElements, uint32_t nCount);
    static uint32_t s_nGetCount(const CAny* pclTableau);
    static CAny* s_pGetElement(const CAny* pclTableau, uint32_t nIndex);
};

// Decimal objects of type 13 come from the host's object factory; without
// one, numeric variants hold no object.
class IAnyFabriqueDecimal {
public:
    virtual void* pCreeDecimal() = 0;
    virtual void* pPartageDecimal(void* pDecimal) = 0;   // one more reference
    virtual void LibereDecimal(void* pDecimal) = 0;

protected:
    ~IAnyFabriqueDecimal() = default;
};
void ANY_SetFabriqueDecimal(IAnyFabriqueDecimal* pi);
IAnyFabriqueDecimal* ANY_piGetFabriqueDecimal();

// Binding to the host's conversions ("nConversionDepassement" required,
// "nConversionDepassementEx" optional, "FinConversion" required).
bool bInitZNConvFromVM(void* hModule, int nVersion, int nCompatibleDepuis);
bool bInitZNConvFromServeur(void* hModule);
// Installs conversion functions directly (an embedding without a host
// module, and tests); null functions unbind.
void ANY_SetConversion(PFN_nConversionDepassement pfn, PFN_nConversionDepassementEx pfnEx, PFN_FinConversion pfnFin);
bool ANY_bConversionLiee();
// Version numbers kept by the last successful binding.
int ANY_nGetVersionConversion();
