// Variants: the value holders and the operations that do not involve the
// host's conversions.
#include "core/any.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <array>
#include <new>

#include "core/strfunc.h"
#include "core/timevalue.h"
#include "core/zndstr.h"
#include "qvstd/manipaub.h"

namespace {

// How a type keeps its value.
enum eGenre : uint8_t {
    G_VIDE,      // no value
    G_BOOL,      // 4-byte boolean
    G_UENT,      // unsigned integer in place
    G_SENT,      // signed integer in place
    G_REEL,      // real in place
    G_MONNAIE,   // 10-byte currency
    G_OCTETS,    // characters or words in place (date, time, date-time)
    G_DSTR,      // dynamic string memory word (16 Unicode, 19 ANSI, 28 binary)
    G_CSTR,      // owned ANSI text
    G_WSTR,      // owned wide text
    G_DECIMAL,   // decimal object of the host's factory
    G_TAB,       // owned array of variants
    G_OBJET,     // host object pointer, not owned
};

struct STInfoType {
    uint8_t nGenre;
    uint8_t nTaille;   // bytes used in the value area
};

STInfoType InfoType(int nType) {
    switch (nType) {
        case ANY_BOOL: return {G_BOOL, 4};
        case ANY_UI1: return {G_UENT, 1};
        case ANY_UI2: return {G_UENT, 2};
        case ANY_UI4: return {G_UENT, 4};
        case ANY_UI8: return {G_UENT, 8};
        case ANY_I1: return {G_SENT, 1};
        case ANY_I2: return {G_SENT, 2};
        case ANY_I4:
        case ANY_I4BIS: return {G_SENT, 4};
        case ANY_I8: return {G_SENT, 8};
        case ANY_CY: return {G_MONNAIE, 10};
        case ANY_R4: return {G_REEL, 4};
        case ANY_R8: return {G_REEL, 8};
        case ANY_DECIMAL: return {G_DECIMAL, sizeof(void*)};
        case ANY_UIX: return {G_UENT, 4};
        case ANY_USTR:
        case ANY_DSTR:
        case ANY_BIN: return {G_DSTR, sizeof(void*)};
        case ANY_CAR: return {G_UENT, 2};
        case ANY_CSTR: return {G_CSTR, sizeof(void*)};
        case ANY_DATE: return {G_OCTETS, 8};
        case ANY_TIME: return {G_OCTETS, 9};
        case ANY_DATETIME: return {G_OCTETS, 8};
        case ANY_DUREE: return {G_SENT, 8};
        case ANY_TABANY: return {G_TAB, sizeof(void*)};
        case ANY_WSTR: return {G_WSTR, sizeof(void*)};
        case ANY_BUFFER:
        case ANY_MEMOIMG:
        case ANY_CONVOYEUR:
        case ANY_POLICE:
        case ANY_OBJET:
        case ANY_DINO: return {G_OBJET, sizeof(void*)};
        default: return {G_VIDE, 0};
    }
}

// --- Value area helpers ------------------------------------------------------------

inline CAny* Any(STAnyHolder* pH) { return CAny::s_pDepuisHolder(pH); }
inline const CAny* Any(const STAnyHolder* pH) { return CAny::s_pDepuisHolder(pH); }
inline int TypeDe(const STAnyHolder* pH) { return Any(pH)->nGetType(); }

void* Pointeur(const STAnyHolder* pH) { return Any(pH)->pGetPointeur(); }
void SetPointeur(STAnyHolder* pH, const void* p) { std::memcpy(Any(pH)->m_abyValeur, &p, sizeof p); }

int64_t LitSigne(const uint8_t* p, int nTaille) {
    switch (nTaille) {
        case 1: return static_cast<int8_t>(p[0]);
        case 2: { int16_t v; std::memcpy(&v, p, 2); return v; }
        case 4: { int32_t v; std::memcpy(&v, p, 4); return v; }
        default: { int64_t v; std::memcpy(&v, p, 8); return v; }
    }
}

uint64_t LitNonSigne(const uint8_t* p, int nTaille) {
    uint64_t v = 0;
    std::memcpy(&v, p, static_cast<size_t>(nTaille));   // little-endian
    return v;
}

void EcritEntier(uint8_t* p, int nTaille, uint64_t v) { std::memcpy(p, &v, static_cast<size_t>(nTaille)); }

// Replaces the memory word of a dynamic-string holder by the string's own
// (the holder takes over the reference the string held).
void PrendChaine(STAnyHolder* pH, CZNDSTRBase& cl) {
    STRMEM_Release(Pointeur(pH));
    SetPointeur(pH, cl.pGetMemoire());
    std::memset(static_cast<void*>(&cl), 0, sizeof cl);   // the reference now belongs to the variant
}

// --- The array variant's block: count, then the elements --------------------------------

struct STBlocTableau {
    uint32_t nCount;
    uint32_t nReserve;
    // CAny elements follow, aligned for pointers.
};
constexpr size_t k_nEnteteTableau = (sizeof(STBlocTableau) + alignof(CAny) - 1) / alignof(CAny) * alignof(CAny);

CAny* ElementsDe(void* pBloc) { return reinterpret_cast<CAny*>(static_cast<char*>(pBloc) + k_nEnteteTableau); }
uint32_t nTailleTableau(const void* pBloc) { return pBloc ? static_cast<const STBlocTableau*>(pBloc)->nCount : 0; }

void LibereTableau(void* pBloc) {
    if (!pBloc) return;
    CAny* p = ElementsDe(pBloc);
    for (uint32_t i = 0; i < nTailleTableau(pBloc); ++i) p[i].~CAny();
    std::free(pBloc);
}

void InstalleTableau(STAnyHolder* pH, void* pBloc) {
    LibereTableau(Pointeur(pH));
    SetPointeur(pH, pBloc);
    // On i386 the count also lies in the value area, after the pointer.
    if (sizeof(void*) + 4 <= ANY_TAILLE_VALEUR) {
        uint32_t n = nTailleTableau(pBloc);
        std::memcpy(Any(pH)->m_abyValeur + sizeof(void*), &n, 4);
    }
}

// A block of nCount empty variants; null when memory runs out.
void* pNouveauTableau(uint32_t nCount) {
    if (nCount > (UINT32_MAX - k_nEnteteTableau) / sizeof(CAny) / 2) return nullptr;
    void* pBloc = std::malloc(k_nEnteteTableau + sizeof(CAny) * (nCount ? nCount : 1));
    if (!pBloc) return nullptr;
    static_cast<STBlocTableau*>(pBloc)->nCount = nCount;
    static_cast<STBlocTableau*>(pBloc)->nReserve = 0;
    CAny* p = ElementsDe(pBloc);
    for (uint32_t i = 0; i < nCount; ++i) new (&p[i]) CAny();
    return pBloc;
}

// --- Holder operations -------------------------------------------------------------------

void Detruit(STAnyHolder* pH, int nFlag) {
    if ((nFlag & 1) == 0) return;
    switch (InfoType(TypeDe(pH)).nGenre) {
        case G_DSTR: STRMEM_Release(Pointeur(pH)); break;
        case G_CSTR:
        case G_WSTR: std::free(Pointeur(pH)); break;
        case G_DECIMAL:
            if (Pointeur(pH) && ANY_piGetFabriqueDecimal()) ANY_piGetFabriqueDecimal()->LibereDecimal(Pointeur(pH));
            break;
        case G_TAB: LibereTableau(Pointeur(pH)); break;
        default: return;
    }
    std::memset(Any(pH)->m_abyValeur, 0, ANY_TAILLE_VALEUR);
}

int Duplique(const STAnyHolder* pH, CAny* pclCible) {
    if (!pclCible) return 105;
    return pclCible->nCopy(*Any(pH));
}

int GetSize(const STAnyHolder* pH, uint32_t* pn) {
    if (pn) *pn = InfoType(TypeDe(pH)).nTaille;
    return 0;
}

int GetAdr(STAnyHolder* pH, void** pp) {
    if (pp) *pp = Any(pH)->m_abyValeur;
    return 0;
}

int FillBuffer(const STAnyHolder* pH, void* p) {
    if (p) std::memcpy(p, Any(pH)->m_abyValeur, InfoType(TypeDe(pH)).nTaille);
    return 0;
}

const wchar_t k_wszVide[1] = {0};

int GetDataSize(const STAnyHolder* pH, uint32_t* pn) {
    uint32_t n = InfoType(TypeDe(pH)).nTaille;
    switch (InfoType(TypeDe(pH)).nGenre) {
        case G_CSTR: {
            const char* psz = static_cast<const char*>(Pointeur(pH));
            n = static_cast<uint32_t>((psz ? std::strlen(psz) : 0) + 1);
            break;
        }
        case G_WSTR: {
            const auto* p = static_cast<const wchar_t*>(Pointeur(pH));
            n = static_cast<uint32_t>(((p ? std::wcslen(p) : 0) + 1) * sizeof(wchar_t));
            break;
        }
        case G_DSTR: n = Pointeur(pH) ? STRMEM_Header(Pointeur(pH))->nLongueur : 0; break;
        default: break;
    }
    if (pn) *pn = n;
    return 0;
}

int GetDataAdr(STAnyHolder* pH, void** pp) {
    void* p = Any(pH)->m_abyValeur;
    switch (InfoType(TypeDe(pH)).nGenre) {
        case G_CSTR: p = Pointeur(pH) ? Pointeur(pH) : const_cast<char*>(""); break;
        case G_WSTR: p = Pointeur(pH) ? Pointeur(pH) : const_cast<wchar_t*>(k_wszVide); break;
        case G_DSTR: p = Pointeur(pH) ? Pointeur(pH) : const_cast<wchar_t*>(k_wszVide); break;
        default: break;
    }
    if (pp) *pp = p;
    return 0;
}

int FillDataBuffer(const STAnyHolder* pH, void* pBuffer) {
    uint32_t n = 0;
    void* p = nullptr;
    GetDataSize(pH, &n);
    GetDataAdr(const_cast<STAnyHolder*>(pH), &p);
    if (pBuffer && n) std::memcpy(pBuffer, p, n);
    return 0;
}

int GetUtilDataSize(const STAnyHolder* pH, uint32_t* pn) {
    uint32_t n = 0;
    GetDataSize(pH, &n);
    int nGenre = InfoType(TypeDe(pH)).nGenre;
    if (nGenre == G_CSTR) n -= 1;
    if (nGenre == G_WSTR) n -= sizeof(wchar_t);
    if (pn) *pn = n;
    return 0;
}

int FillUtilDataBuffer(const STAnyHolder* pH, void* pBuffer) {
    uint32_t n = 0;
    void* p = nullptr;
    GetUtilDataSize(pH, &n);
    GetDataAdr(const_cast<STAnyHolder*>(pH), &p);
    if (pBuffer && n) std::memcpy(pBuffer, p, n);
    return 0;
}

// Texts into the text holders. nLongueur in characters, -1 up to the terminator.
int TexteANSI(STAnyHolder* pH, const char* psz, int nLongueur, uint32_t dwCodePage) {
    if (!psz) psz = "";
    size_t n = nLongueur < 0 ? std::strlen(psz) : strnlen(psz, static_cast<size_t>(nLongueur));
    int nType = TypeDe(pH);
    switch (nType) {
        case ANY_CSTR: {
            char* pszCopie = STR_pszCreateA(psz, static_cast<int>(n));
            if (!pszCopie) return 100;
            std::free(Pointeur(pH));
            SetPointeur(pH, pszCopie);
            return 0;
        }
        case ANY_WSTR: {
            CZNDSTR cl;
            if (int nErr = cl.nAffecteToUNICODE(psz, static_cast<int>(n), dwCodePage)) return nErr;
            wchar_t* p = STR_pszCreateW(cl.pwszGet(), cl.nGetLongueurUNICODE());
            if (!p) return 100;
            std::free(Pointeur(pH));
            SetPointeur(pH, p);
            return 0;
        }
        case ANY_DSTR:
        case ANY_BIN: {
            CZNDSTR cl;
            if (n > 0) {
                if (int nErr = cl.nAssign(psz, static_cast<int>(n))) return nErr;
                if (nType == ANY_BIN) s_VerifieTypeAUB(cl.pGetMemoire(), 0x1C);
            }
            PrendChaine(pH, cl);
            return 0;
        }
        case ANY_USTR: {
            CZNDSTR cl;
            if (n > 0)
                if (int nErr = cl.nAffecteToUNICODE(psz, static_cast<int>(n), dwCodePage)) return nErr;
            PrendChaine(pH, cl);
            return 0;
        }
        default: return 105;
    }
}

int TexteUNICODE(STAnyHolder* pH, const wchar_t* psz, int nLongueur, uint32_t dwCodePage) {
    if (!psz) psz = k_wszVide;
    size_t n = nLongueur < 0 ? std::wcslen(psz) : wcsnlen(psz, static_cast<size_t>(nLongueur));
    switch (TypeDe(pH)) {
        case ANY_WSTR: {
            wchar_t* p = STR_pszCreateW(psz, static_cast<int>(n));
            if (!p) return 100;
            std::free(Pointeur(pH));
            SetPointeur(pH, p);
            return 0;
        }
        case ANY_CSTR: {
            CZNDSTR cl;
            if (int nErr = cl.nAffecteToANSI(psz, static_cast<int>(n), dwCodePage)) return nErr;
            char* p = STR_pszCreateA(cl.pszGet(), cl.nGetLongueur());
            if (!p) return 100;
            std::free(Pointeur(pH));
            SetPointeur(pH, p);
            return 0;
        }
        case ANY_DSTR:
        case ANY_USTR: {
            // The string becomes a Unicode string, and the variant type 16.
            CZNDSTR cl;
            if (n > 0)
                if (int nErr = cl.nAssignUNICODE(psz, static_cast<int>(n))) return nErr;
            PrendChaine(pH, cl);
            Any(pH)->m_wType = static_cast<uint16_t>((Any(pH)->m_wType & 0xFF00) | ANY_USTR);
            return 0;
        }
        default: return 105;
    }
}

int SetValue(STAnyHolder* pH, const void* pValeur) {
    int nType = TypeDe(pH);
    STInfoType st = InfoType(nType);
    switch (st.nGenre) {
        case G_VIDE: return 0;
        case G_CSTR: return TexteANSI(pH, static_cast<const char*>(pValeur), -1, dwGetCurrentCodePage());
        case G_WSTR: return TexteUNICODE(pH, static_cast<const wchar_t*>(pValeur), -1, dwGetCurrentCodePage());
        case G_DSTR: {
            // Shares the dynamic string whose memory word pValeur designates.
            void* pMemoire = nullptr;
            if (pValeur) std::memcpy(&pMemoire, pValeur, sizeof pMemoire);
            if (pMemoire == Pointeur(pH)) return 0;
            if (pMemoire) ++STRMEM_Header(pMemoire)->nRef;
            STRMEM_Release(Pointeur(pH));
            SetPointeur(pH, pMemoire);
            return 0;
        }
        case G_DECIMAL: {
            IAnyFabriqueDecimal* pi = ANY_piGetFabriqueDecimal();
            void* pAncien = Pointeur(pH);
            void* pNouveau = pValeur && pi ? pi->pPartageDecimal(const_cast<void*>(pValeur)) : nullptr;
            if (pAncien && pi) pi->LibereDecimal(pAncien);
            SetPointeur(pH, pNouveau);
            return 0;
        }
        case G_TAB: return CAny_ZNTABANY::s_nSetValue(Any(pH), static_cast<const CAny*>(pValeur));
        default:
            if (pValeur) std::memcpy(Any(pH)->m_abyValeur, pValeur, st.nTaille);
            return 0;
    }
}

int SetValueTaille(STAnyHolder* pH, const void* pValeur, uint32_t nTaille) {
    int nType = TypeDe(pH);
    STInfoType st = InfoType(nType);
    switch (st.nGenre) {
        case G_CSTR:
            return TexteANSI(pH, static_cast<const char*>(pValeur), static_cast<int>(nTaille > INT32_MAX ? INT32_MAX : nTaille),
                             dwGetCurrentCodePage());
        case G_WSTR:
            return TexteUNICODE(pH, static_cast<const wchar_t*>(pValeur), static_cast<int>(nTaille / sizeof(wchar_t)),
                                dwGetCurrentCodePage());
        case G_DSTR: {
            CZNDSTR cl;
            if (nTaille > 0 && pValeur) {
                if (nTaille > STRMEM_MAXLEN) return 108;
                if (int nErr = cl.nAssign(pValeur, static_cast<int>(nTaille))) return nErr;
                s_VerifieTypeAUB(cl.pGetMemoire(), nType == ANY_USTR ? 16 : (nType == ANY_BIN ? 0x1C : 0x13));
            }
            PrendChaine(pH, cl);
            return 0;
        }
        case G_DECIMAL:
        case G_TAB:
        case G_VIDE: return SetValue(pH, pValeur);
        default:
            std::memset(Any(pH)->m_abyValeur, 0, st.nTaille);
            if (pValeur) std::memcpy(Any(pH)->m_abyValeur, pValeur, nTaille < st.nTaille ? nTaille : st.nTaille);
            return 0;
    }
}

int GetPCXSTR(const STAnyHolder* pH, const char** ppsz) {
    const char* p = nullptr;
    switch (InfoType(TypeDe(pH)).nGenre) {
        case G_CSTR:
        case G_WSTR:
        case G_DSTR: p = Pointeur(pH) ? static_cast<const char*>(Pointeur(pH)) : reinterpret_cast<const char*>(k_wszVide); break;
        default:
            if (ppsz) *ppsz = nullptr;
            return 105;
    }
    if (ppsz) *ppsz = p;
    return 0;
}

int GetSTRLEN(const STAnyHolder* pH, uint32_t* pn) {
    uint32_t n = 0;
    int nType = TypeDe(pH);
    const void* p = Pointeur(pH);
    switch (nType) {
        case ANY_CSTR:
        case ANY_DSTR: n = p ? static_cast<uint32_t>(std::strlen(static_cast<const char*>(p))) : 0; break;
        case ANY_WSTR:
        case ANY_USTR: n = p ? static_cast<uint32_t>(std::wcslen(static_cast<const wchar_t*>(p))) : 0; break;
        case ANY_BIN: n = p ? STRMEM_Header(p)->nLongueur : 0; break;
        default:
            if (pn) *pn = 0;
            return 105;
    }
    if (pn) *pn = n;
    return 0;
}

int IsPositive(const STAnyHolder* pH) {
    const uint8_t* p = Any(pH)->m_abyValeur;
    STInfoType st = InfoType(TypeDe(pH));
    switch (st.nGenre) {
        case G_BOOL:
        case G_UENT: return 1;
        case G_SENT: return LitSigne(p, st.nTaille) >= 0;
        case G_REEL:
            if (st.nTaille == 4) {
                float f;
                std::memcpy(&f, p, 4);
                return f >= 0;
            } else {
                double r;
                std::memcpy(&r, p, 8);
                return r >= 0;
            }
        case G_MONNAIE: return (p[9] & 0x80) == 0;
        default: return 0;
    }
}

int Ajoute(STAnyHolder* pH, int nPas) {
    uint8_t* p = Any(pH)->m_abyValeur;
    STInfoType st = InfoType(TypeDe(pH));
    switch (st.nGenre) {
        case G_UENT:
        case G_SENT:
            // Wraps around within the type's width.
            EcritEntier(p, st.nTaille, LitNonSigne(p, st.nTaille) + static_cast<uint64_t>(static_cast<int64_t>(nPas)));
            return 0;
        case G_REEL:
            if (st.nTaille == 4) {
                float f;
                std::memcpy(&f, p, 4);
                f += static_cast<float>(nPas);
                std::memcpy(p, &f, 4);
            } else {
                double r;
                std::memcpy(&r, p, 8);
                r += nPas;
                std::memcpy(p, &r, 8);
            }
            return 0;
        default: return 105;
    }
}
int Incremente(STAnyHolder* pH) { return Ajoute(pH, 1); }
int Decremente(STAnyHolder* pH) { return Ajoute(pH, -1); }

int FromANSI(STAnyHolder* pH, const char* psz) { return TexteANSI(pH, psz, -1, dwGetCurrentCodePage()); }
int FromANSILong(STAnyHolder* pH, const char* psz, int n) { return TexteANSI(pH, psz, n < 0 ? -1 : n, dwGetCurrentCodePage()); }
int FromUNICODE(STAnyHolder* pH, const wchar_t* psz) { return TexteUNICODE(pH, psz, -1, dwGetCurrentCodePage()); }
int FromUNICODELong(STAnyHolder* pH, const wchar_t* psz, int n) {
    return TexteUNICODE(pH, psz, n < 0 ? -1 : n, dwGetCurrentCodePage());
}
int FromANSI_CP(STAnyHolder* pH, uint32_t cp, const char* psz) { return TexteANSI(pH, psz, -1, cp); }
int FromANSI_CPLong(STAnyHolder* pH, uint32_t cp, const char* psz, int n) { return TexteANSI(pH, psz, n < 0 ? -1 : n, cp); }
int FromUNICODE_CP(STAnyHolder* pH, uint32_t cp, const wchar_t* psz) { return TexteUNICODE(pH, psz, -1, cp); }
int FromUNICODE_CPLong(STAnyHolder* pH, uint32_t cp, const wchar_t* psz, int n) {
    return TexteUNICODE(pH, psz, n < 0 ? -1 : n, cp);
}

// Copies data read from another holder (pOption): a dynamic string shares
// the source's string, an array duplicates the source's elements; the rest
// copy the bytes.
int SetValueOption(STAnyHolder* pH, const void* pValeur, uint32_t nTaille, const STAnyHolder* pOption) {
    int nType = TypeDe(pH);
    int nGenre = InfoType(nType).nGenre;
    if (pOption && InfoType(TypeDe(pOption)).nGenre == nGenre) {
        if (nGenre == G_DSTR) {
            void* pMemoire = Pointeur(pOption);
            return SetValue(pH, &pMemoire);
        }
        if (nGenre == G_TAB) {
            void* pBloc = Pointeur(pOption);
            return CAny_ZNTABANY::s_nSetValue(Any(pH), pBloc ? ElementsDe(pBloc) : nullptr, nTailleTableau(pBloc));
        }
        if (nGenre == G_DECIMAL) return SetValue(pH, Pointeur(pOption));
    }
    return SetValueTaille(pH, pValeur, nTaille);
}

void LibereTexte(STAnyHolder* pH) {
    std::free(Pointeur(pH));
    SetPointeur(pH, nullptr);
}

// --- The classes -------------------------------------------------------------------------

constexpr STAnyVtbl k_stVtbl = {
    Detruit,        Duplique,        GetSize,         GetAdr,           FillBuffer,      GetDataSize,
    GetDataAdr,     FillDataBuffer,  SetValue,        SetValueTaille,   GetPCXSTR,       GetSTRLEN,
    IsPositive,     GetUtilDataSize, FillUtilDataBuffer, Incremente,    Decremente,      FromANSI,
    FromANSILong,   FromUNICODE,     FromUNICODELong, FromANSI_CP,      FromANSI_CPLong, FromUNICODE_CP,
    FromUNICODE_CPLong, SetValueOption, nullptr,
};
constexpr STAnyVtbl VtblTexte() {
    STAnyVtbl st = k_stVtbl;
    st.pfnLibereTexte = LibereTexte;
    return st;
}

// Every holder class; the family table lists them by type code.
extern const STAnyClasse CAny_Intern, CAny_ZNBOOL, CAny_ZNUI1, CAny_ZNUI2, CAny_ZNUI4, CAny_ZNUI8, CAny_ZNI1,
    CAny_ZNI2, CAny_ZNI4, CAny_ZNI8, CAny_ZNCY, CAny_ZNR4, CAny_ZNR8, CAny_ZNDECIMAL, CAny_ZNUIX, CAny_ZNDSTR,
    CAny_ZNCAR, CAny_ZNCSTR, CAny_ZNDATE, CAny_ZNTIME, CAny_ZNDATETIME, CAny_ZNDUREE, CAny_ZNBIN, CAny_ZNBUFFER,
    CAny_ZNMEMOIMG, CAny_ZNCONVOYEUR, CAny_ZNPOLICE, CAny_ZNTABANY_Holder, CAny_ZNOBJET_BASE, CAny_ZNWSTR,
    CAny_ZNDINO;

constexpr const STAnyClasse* ClassePour(int n) {
    switch (n) {
        case 1: return &CAny_ZNBOOL;
        case 2: return &CAny_ZNUI1;
        case 3: return &CAny_ZNUI2;
        case 4: return &CAny_ZNUI4;
        case 5: return &CAny_ZNUI8;
        case 6: return &CAny_ZNI1;
        case 7: return &CAny_ZNI2;
        case 8:
        case 15: return &CAny_ZNI4;   // the same holder under a second code
        case 9: return &CAny_ZNI8;
        case 10: return &CAny_ZNCY;
        case 11: return &CAny_ZNR4;
        case 12: return &CAny_ZNR8;
        case 13: return &CAny_ZNDECIMAL;
        case 14: return &CAny_ZNUIX;
        case 16:
        case 19: return &CAny_ZNDSTR;
        case 17: return &CAny_ZNCAR;
        case 18: return &CAny_ZNCSTR;
        case 24: return &CAny_ZNDATE;
        case 25: return &CAny_ZNTIME;
        case 26: return &CAny_ZNDATETIME;
        case 27: return &CAny_ZNDUREE;
        case 28: return &CAny_ZNBIN;
        case 29: return &CAny_ZNBUFFER;
        case 30: return &CAny_ZNMEMOIMG;
        case 50: return &CAny_ZNCONVOYEUR;
        case 65: return &CAny_ZNPOLICE;
        case 83: return &CAny_ZNTABANY_Holder;
        case 108: return &CAny_ZNOBJET_BASE;
        case 110: return &CAny_ZNWSTR;
        case 111: return &CAny_ZNDINO;
        default: return &CAny_Intern;
    }
}

#define QV_F4(b) ClassePour(b), ClassePour(b + 1), ClassePour(b + 2), ClassePour(b + 3)
#define QV_F16(b) QV_F4(b), QV_F4(b + 4), QV_F4(b + 8), QV_F4(b + 12)
#define QV_F64(b) QV_F16(b), QV_F16(b + 16), QV_F16(b + 32), QV_F16(b + 48)
const STAnyClasse* const k_tabFamille[256] = {QV_F64(0), QV_F64(64), QV_F64(128), QV_F64(192)};
#undef QV_F4
#undef QV_F16
#undef QV_F64

#define QV_CLASSE(nom, type) const STAnyClasse nom = {k_tabFamille, type, #nom, k_stVtbl};
QV_CLASSE(CAny_Intern, 0)
QV_CLASSE(CAny_ZNBOOL, 1)
QV_CLASSE(CAny_ZNUI1, 2)
QV_CLASSE(CAny_ZNUI2, 3)
QV_CLASSE(CAny_ZNUI4, 4)
QV_CLASSE(CAny_ZNUI8, 5)
QV_CLASSE(CAny_ZNI1, 6)
QV_CLASSE(CAny_ZNI2, 7)
QV_CLASSE(CAny_ZNI4, 8)
QV_CLASSE(CAny_ZNI8, 9)
QV_CLASSE(CAny_ZNCY, 10)
QV_CLASSE(CAny_ZNR4, 11)
QV_CLASSE(CAny_ZNR8, 12)
QV_CLASSE(CAny_ZNDECIMAL, 13)
QV_CLASSE(CAny_ZNUIX, 14)
QV_CLASSE(CAny_ZNDSTR, 19)
QV_CLASSE(CAny_ZNCAR, 17)
QV_CLASSE(CAny_ZNDATE, 24)
QV_CLASSE(CAny_ZNTIME, 25)
QV_CLASSE(CAny_ZNDATETIME, 26)
QV_CLASSE(CAny_ZNDUREE, 27)
QV_CLASSE(CAny_ZNBIN, 28)
QV_CLASSE(CAny_ZNBUFFER, 29)
QV_CLASSE(CAny_ZNMEMOIMG, 30)
QV_CLASSE(CAny_ZNCONVOYEUR, 50)
QV_CLASSE(CAny_ZNPOLICE, 65)
QV_CLASSE(CAny_ZNTABANY_Holder, 83)
QV_CLASSE(CAny_ZNOBJET_BASE, 108)
QV_CLASSE(CAny_ZNDINO, 111)
#undef QV_CLASSE
const STAnyClasse CAny_ZNCSTR = {k_tabFamille, 18, "CAny_ZNCSTR", VtblTexte()};
const STAnyClasse CAny_ZNWSTR = {k_tabFamille, 110, "CAny_ZNWSTR", VtblTexte()};

IAnyFabriqueDecimal* g_piFabrique = nullptr;

}  // namespace

const STAnyClasse* ANY_pGetClasse(int nType) { return k_tabFamille[nType & 0xFF]; }

uint32_t ANY_nTailleScalaire(int nType) {
    STInfoType st = InfoType(nType);
    switch (st.nGenre) {
        case G_VIDE:
        case G_DSTR:
        case G_CSTR:
        case G_WSTR:
        case G_DECIMAL:
        case G_TAB: return 0;
        default: return st.nTaille;
    }
}

void ANY_SetFabriqueDecimal(IAnyFabriqueDecimal* pi) { g_piFabrique = pi; }
IAnyFabriqueDecimal* ANY_piGetFabriqueDecimal() { return g_piFabrique; }

// --- CAny ---------------------------------------------------------------------------------

CAny::CAny() : m_dwReserve(0), m_wType(0), m_abyValeur{}, m_pVtbl(&CAny_Intern.stVtbl) {}

CAny::~CAny() { m_pVtbl->pfnDetruit(pHolder(), 3); }

void CAny::__SetType(int nType, bool bGarde) {
    const STAnyClasse* pcl = ANY_pGetClasse(nType);
    int nCode = pcl == &CAny_Intern ? 0 : (nType & 0xFF);
    if (nGetType() == nCode && m_pVtbl == &pcl->stVtbl) return;
    if (!bGarde) {
        m_pVtbl->pfnDetruit(pHolder(), 3);
        std::memset(m_abyValeur, 0, sizeof m_abyValeur);
    }
    m_wType = static_cast<uint16_t>((m_wType & 0xFF00) | nCode);
    m_pVtbl = &pcl->stVtbl;
    if (bGarde) return;
    switch (nCode) {
        case ANY_DECIMAL:
            if (g_piFabrique) {
                void* p = g_piFabrique->pCreeDecimal();
                std::memcpy(m_abyValeur, &p, sizeof p);
            }
            break;
        case ANY_DATE: {
            // Only as far as the initial text goes; the rest stays zero.
            const char* psz = CValeurDateHeure::ms_pcszValeurInitDate;
            std::memcpy(m_abyValeur, psz, strnlen(psz, 8));
            break;
        }
        case ANY_TIME: {
            const char* psz = CValeurDateHeure::ms_pcszValeurInitTime;
            std::memcpy(m_abyValeur, psz, strnlen(psz, 9));
            break;
        }
        case ANY_DATETIME: {
            CValeurDateHeure cl;
            cl.InitDate();
            uint32_t adw[2] = {cl.dwGetDate(), cl.dwGetMillisecondes()};
            std::memcpy(m_abyValeur, adw, 8);
            break;
        }
        default: break;
    }
}

void CAny::__TransfertValeurInterne(int nType, const void* pValeur) {
    m_pVtbl->pfnDetruit(pHolder(), 3);
    __SetType(nType, true);
    if (pValeur)
        std::memcpy(m_abyValeur, pValeur, sizeof m_abyValeur);
    else
        std::memset(m_abyValeur, 0, sizeof m_abyValeur);
}

int CAny::nCopy(const CAny& clSource) {
    if (&clSource == this) return 0;
    int nType = clSource.nGetType();
    bool bNull = clSource.bEstNull();
    int nRes = 0;
    if (nType == ANY_VIDE) {
        __TransfertValeurInterne(ANY_VIDE, nullptr);
    } else {
        // A different holder for the same code (16 and 19 share one) still
        // needs the source's code.
        if (nGetType() != nType) __SetType(nType);
        if (nType == ANY_DECIMAL) {
            nRes = m_pVtbl->pfnSetValue(pHolder(), clSource.pGetPointeur());
        } else {
            uint32_t nTaille = 0;
            void* pAdresse = nullptr;
            STAnyHolder* pSource = const_cast<CAny&>(clSource).pHolder();
            clSource.m_pVtbl->pfnGetDataSize(pSource, &nTaille);
            clSource.m_pVtbl->pfnGetDataAdr(pSource, &pAdresse);
            nRes = m_pVtbl->pfnSetValueOption(pHolder(), pAdresse, nTaille, pSource);
        }
    }
    SetMarqueNull(bNull);
    return nRes;
}

int CAny::nGetINT(int32_t* pnResultat) const {
    int32_t n = 0;
    int nRes = 0;
    switch (nGetType()) {
        case ANY_BOOL:
        case ANY_I4:
        case ANY_I4BIS:
        case ANY_UIX: std::memcpy(&n, m_abyValeur, 4); break;
        case ANY_UI1: n = m_abyValeur[0]; break;
        case ANY_UI2: n = static_cast<int32_t>(LitNonSigne(m_abyValeur, 2)); break;
        case ANY_I1: n = static_cast<int32_t>(LitSigne(m_abyValeur, 1)); break;
        case ANY_I2: n = static_cast<int32_t>(LitSigne(m_abyValeur, 2)); break;
        default: nRes = 105;
    }
    if (pnResultat) *pnResultat = n;
    return nRes;
}

int CAny::nGetREAL(double* prResultat) const {
    double r = 0;
    if (nGetType() == ANY_R4) {
        float f;
        std::memcpy(&f, m_abyValeur, 4);
        r = f;
    } else if (nGetType() == ANY_R8) {
        std::memcpy(&r, m_abyValeur, 8);
    } else {
        if (prResultat) *prResultat = 0;
        return 105;
    }
    if (prResultat) *prResultat = r;
    return 0;
}

int CAny::nGetManipAUB(STManipAUB* pstManip) const {
    int nType = nGetType();
    if (nType != ANY_USTR && nType != ANY_DSTR && nType != ANY_BIN) return 105;
    if (pstManip) {
        pstManip->pMemoire = pGetPointeur();
        pstManip->wType = static_cast<uint16_t>(nType);
    }
    return 0;
}

// --- Array variant ------------------------------------------------------------------------

int CAny_ZNTABANY::s_nSetValue(CAny* pclTableau, const CAny* pclValeur) {
    return s_nSetValue(pclTableau, pclValeur, pclValeur ? 1 : 0);
}

int CAny_ZNTABANY::s_nSetValue(CAny* pclTableau, const CAny* pclElements, uint32_t nCount) {
    if (!pclTableau) return 105;
    if (!pclElements) nCount = 0;
    void* pBloc = pNouveauTableau(nCount);
    if (!pBloc) return 100;
    CAny* p = ElementsDe(pBloc);
    int nRes = 0;
    for (uint32_t i = 0; i < nCount && nRes == 0; ++i) nRes = pclElements[i].Duplique(&p[i]);
    if (nRes != 0) {
        LibereTableau(pBloc);
        return nRes;
    }
    if (pclTableau->nGetType() != ANY_TABANY) pclTableau->__SetType(ANY_TABANY);
    InstalleTableau(pclTableau->pHolder(), pBloc);
    return 0;
}

uint32_t CAny_ZNTABANY::s_nGetCount(const CAny* pclTableau) {
    if (!pclTableau || pclTableau->nGetType() != ANY_TABANY) return 0;
    return nTailleTableau(pclTableau->pGetPointeur());
}

CAny* CAny_ZNTABANY::s_pGetElement(const CAny* pclTableau, uint32_t nIndex) {
    if (nIndex >= s_nGetCount(pclTableau)) return nullptr;
    return &ElementsDe(pclTableau->pGetPointeur())[nIndex];
}
