// Each syntax row of the Mem* functions names a C++ function with exactly
// the parameter types that the generated entry points cast it to (text:
// const char*, int: int32_t, any: const CAny&, a variant result: a last
// CAny&). The casts below fail to compile on any other type.
#include <gtest/gtest.h>

#include "memzone/functions.h"

namespace {

using L = CZNLibrary&;
using Z = const char*;
using V = const CAny&;
using R = CAny&;

struct STRangee {
    const char* pszRangee;
    const void* pfn;
};

template <class F>
const void* Adr(F* pfn) {
    return reinterpret_cast<const void*>(pfn);
}

TEST(MemSignatures, ChaqueRangeeAUneFonction) {
    using namespace memzone;
    const STRangee atab[] = {
        {"15.0 MemSupprime(text,int)", Adr(static_cast<bool (*)(L, Z, int32_t)>(&MemSupprime))},
        {"15.1 MemSupprime(text)", Adr(static_cast<bool (*)(L, Z)>(&MemSupprime))},
        {"16.0 MemPositionne(text,int)", Adr(static_cast<void (*)(L, Z, int32_t, R)>(&MemPositionne))},
        {"16.1 MemPositionne(int)", Adr(static_cast<void (*)(L, int32_t, R)>(&MemPositionne))},
        {"17.0 MemModifie(text,any,any,int)", Adr(static_cast<bool (*)(L, Z, V, V, int32_t)>(&MemModifie))},
        {"18.0 MemAjoute(text,any,any)", Adr(static_cast<bool (*)(L, Z, V, V)>(&MemAjoute))},
        {"18.1 MemAjoute(any,any)", Adr(static_cast<bool (*)(L, V, V)>(&MemAjoute))},
        {"18.2 MemAjoute(any)", Adr(static_cast<bool (*)(L, V)>(&MemAjoute))},
        {"19.0 MemRecupere(text,int)", Adr(static_cast<void (*)(L, Z, int32_t, R)>(&MemRecupere))},
        {"19.1 MemRecupere(int)", Adr(static_cast<void (*)(L, int32_t, R)>(&MemRecupere))},
        {"20.0 MemRecherche(text,any,int)", Adr(static_cast<void (*)(L, Z, V, int32_t, R)>(&MemRecherche))},
        {"20.1 MemRecherche(text,any)", Adr(static_cast<void (*)(L, Z, V, R)>(&MemRecherche))},
        {"20.2 MemRecherche(any)", Adr(static_cast<void (*)(L, V, R)>(&MemRecherche))},
        {"21.0 MemPremier(text)", Adr(static_cast<void (*)(L, Z, R)>(&MemPremier))},
        {"21.1 MemPremier()", Adr(static_cast<void (*)(L, R)>(&MemPremier))},
        {"22.0 MemSuivant(text)", Adr(static_cast<void (*)(L, Z, R)>(&MemSuivant))},
        {"22.1 MemSuivant()", Adr(static_cast<void (*)(L, R)>(&MemSuivant))},
        {"23.0 MemDernier(text)", Adr(static_cast<void (*)(L, Z, R)>(&MemDernier))},
        {"23.1 MemDernier()", Adr(static_cast<void (*)(L, R)>(&MemDernier))},
        {"24.0 MemPrecedent(text)", Adr(static_cast<void (*)(L, Z, R)>(&MemPrecedent))},
        {"24.1 MemPrecedent()", Adr(static_cast<void (*)(L, R)>(&MemPrecedent))},
        {"25.0 MemOccurrence(text)", Adr(static_cast<int32_t (*)(L, Z)>(&MemOccurrence))},
        {"25.1 MemOccurrence()", Adr(static_cast<int32_t (*)(L)>(&MemOccurrence))},
        {"26.0 MemTrouve(text)", Adr(static_cast<bool (*)(L, Z)>(&MemTrouve))},
        {"26.1 MemTrouve()", Adr(static_cast<bool (*)(L)>(&MemTrouve))},
        {"27.0 MemEnDehors(text)", Adr(static_cast<bool (*)(L, Z)>(&MemEnDehors))},
        {"27.1 MemEnDehors()", Adr(static_cast<bool (*)(L)>(&MemEnDehors))},
        {"28.0 MemEnCours(text)", Adr(static_cast<int32_t (*)(L, Z)>(&MemEnCours))},
        {"28.1 MemEnCours()", Adr(static_cast<int32_t (*)(L)>(&MemEnCours))},
        {"29.0 MemSupprimeTout(text)", Adr(static_cast<bool (*)(L, Z)>(&MemSupprimeTout))},
        {"29.1 MemSupprimeTout()", Adr(static_cast<bool (*)(L)>(&MemSupprimeTout))},
        {"30.0 MemTri(text,int)", Adr(static_cast<bool (*)(L, Z, int32_t)>(&MemTri))},
        {"30.1 MemTri(int)", Adr(static_cast<bool (*)(L, int32_t)>(&MemTri))},
        {"30.2 MemTri(text)", Adr(static_cast<bool (*)(L, Z)>(&MemTri))},
        {"31.0 MemCree(text)", Adr(static_cast<bool (*)(L, Z)>(&MemCree))},
        {"32.0 MemExiste(text)", Adr(static_cast<bool (*)(L, Z)>(&MemExiste))},
        {"33.0 MemValCle(text)", Adr(static_cast<void (*)(L, Z, R)>(&MemValCle))},
        {"33.1 MemValCle()", Adr(static_cast<void (*)(L, R)>(&MemValCle))},
        {"243.0 MemTrie(text)", Adr(static_cast<bool (*)(L, Z)>(&MemTrie))},
        {"243.1 MemTrie(text,int)", Adr(static_cast<bool (*)(L, Z, int32_t)>(&MemTrie))},
    };
    // Overloads of one name are distinct functions.
    for (size_t i = 0; i < std::size(atab); ++i)
        for (size_t j = i + 1; j < std::size(atab); ++j) EXPECT_NE(atab[i].pfn, atab[j].pfn) << atab[i].pszRangee << " / " << atab[j].pszRangee;
}

}  // namespace
