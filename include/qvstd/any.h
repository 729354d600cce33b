// Variants as they cross the line between the component and its host.
//
// A variant is 20 bytes on i386: a reserved word, the type word, a 10-byte
// value area and the holder table of its current type. The holder is the
// part that starts at the type word; its operations receive the holder's
// address. Holder tables are plain tables of function pointers made by the
// component; each is preceded by a small class record that names the type
// and leads to the tables of every other type (the family), so that a side
// that only has a variant in hand (the host filling an argument, a result
// or a callback's return value) can retype it with the component's own
// code. The host only uses the inline part below; everything else is the
// component's.
//
// Value area by type: scalars in place (little-endian, unaligned: always
// copy with memcpy); 16, 19, 28 the memory word of a dynamic string (the
// variant holds one reference); 18 a malloc'ed ANSI text, 110 a malloc'ed
// wide text (owned); 13 a decimal object of the host's factory; 83 an owned
// array of variants; host objects (29, 30, 50, 65, 108, 111) a pointer the
// variant does not own. Dates are the 8 characters "AAAAMMJJ", times the 9
// characters "HHMMSSLLL" (no terminator; shorter values end with zero
// bytes), date-times the 8-byte date word and milliseconds, durations
// signed 64-bit milliseconds, currency a signed 80-bit count of millionths.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

class CAny;
class CXError;
class CZNBINBase;
struct STManipAUB;

// Address of a variant's type word.
struct STAnyHolder;

// Holder operations in slot order. Results: 0 success, 105 the operation
// does not apply to the type, 100 out of memory.
struct STAnyVtbl {
    void (*pfnDetruit)(STAnyHolder* pH, int nFlag);   // flag 3: release what is held
    int (*pfnDuplique)(const STAnyHolder* pH, CAny* pclCible);
    int (*pfnGetSize)(const STAnyHolder* pH, uint32_t* pnTaille);
    int (*pfnGetAdr)(STAnyHolder* pH, void** ppAdresse);
    int (*pfnFillBuffer)(const STAnyHolder* pH, void* pBuffer);
    int (*pfnGetDataSize)(const STAnyHolder* pH, uint32_t* pnTaille);
    int (*pfnGetDataAdr)(STAnyHolder* pH, void** ppAdresse);
    int (*pfnFillDataBuffer)(const STAnyHolder* pH, void* pBuffer);
    int (*pfnSetValue)(STAnyHolder* pH, const void* pValeur);
    int (*pfnSetValueTaille)(STAnyHolder* pH, const void* pValeur, uint32_t nTaille);
    int (*pfnGetPCXSTR)(const STAnyHolder* pH, const char** ppszTexte);
    int (*pfnGetSTRLEN)(const STAnyHolder* pH, uint32_t* pnLongueur);
    int (*pfnIsPositive)(const STAnyHolder* pH);
    int (*pfnGetUtilDataSize)(const STAnyHolder* pH, uint32_t* pnTaille);
    int (*pfnFillUtilDataBuffer)(const STAnyHolder* pH, void* pBuffer);
    int (*pfnIncremente)(STAnyHolder* pH);
    int (*pfnDecremente)(STAnyHolder* pH);
    int (*pfnSetValueFromANSI)(STAnyHolder* pH, const char* pszTexte);
    int (*pfnSetValueFromANSILong)(STAnyHolder* pH, const char* pszTexte, int nLongueur);
    int (*pfnSetValueFromUNICODE)(STAnyHolder* pH, const wchar_t* pszTexte);
    int (*pfnSetValueFromUNICODELong)(STAnyHolder* pH, const wchar_t* pszTexte, int nLongueur);
    int (*pfnSetValueFromANSI_CP)(STAnyHolder* pH, uint32_t dwCodePage, const char* pszTexte);
    int (*pfnSetValueFromANSI_CPLong)(STAnyHolder* pH, uint32_t dwCodePage, const char* pszTexte, int nLongueur);
    int (*pfnSetValueFromUNICODE_CP)(STAnyHolder* pH, uint32_t dwCodePage, const wchar_t* pszTexte);
    int (*pfnSetValueFromUNICODE_CPLong)(STAnyHolder* pH, uint32_t dwCodePage, const wchar_t* pszTexte,
                                         int nLongueur);
    int (*pfnSetValueOption)(STAnyHolder* pH, const void* pValeur, uint32_t nTaille, const STAnyHolder* pOption);
    void (*pfnLibereTexte)(STAnyHolder* pH);   // the two text holders (18, 110); null elsewhere
};

// The record that precedes every holder table.
struct STAnyClasse {
    const STAnyClasse* const* ppFamille;   // the holder class of every type code (256 entries)
    uint32_t nType;                        // the code this class is installed for
    const char* pszNom;                    // holder class name
    STAnyVtbl stVtbl;
};

inline const STAnyClasse* ANY_pClasse(const STAnyVtbl* pVtbl) {
    return reinterpret_cast<const STAnyClasse*>(reinterpret_cast<const char*>(pVtbl) - offsetof(STAnyClasse, stVtbl));
}

// Type codes of the variant.
enum eAnyType : uint8_t {
    ANY_VIDE = 0,
    ANY_BOOL = 1,
    ANY_UI1 = 2,
    ANY_UI2 = 3,
    ANY_UI4 = 4,
    ANY_UI8 = 5,
    ANY_I1 = 6,
    ANY_I2 = 7,
    ANY_I4 = 8,
    ANY_I8 = 9,
    ANY_CY = 10,
    ANY_R4 = 11,
    ANY_R8 = 12,
    ANY_DECIMAL = 13,
    ANY_UIX = 14,
    ANY_I4BIS = 15,
    ANY_USTR = 16,
    ANY_CAR = 17,
    ANY_CSTR = 18,
    ANY_DSTR = 19,
    ANY_DATE = 24,
    ANY_TIME = 25,
    ANY_DATETIME = 26,
    ANY_DUREE = 27,
    ANY_BIN = 28,
    ANY_BUFFER = 29,
    ANY_MEMOIMG = 30,
    ANY_CONVOYEUR = 50,
    ANY_POLICE = 65,
    ANY_TABANY = 83,
    ANY_OBJET = 108,
    ANY_WSTR = 110,
    ANY_DINO = 111,
};

// Marks of the type word.
constexpr uint16_t ANY_MARQUE_NULL = 0x100;
constexpr uint16_t ANY_MARQUE_GARDEE = 0x400;
constexpr uint32_t ANY_TAILLE_VALEUR = 10;
// Size of the conversion buffer the component hands to the host: a value
// area, or one pointer.
constexpr uint32_t ANY_TAILLE_CONVERSION = 16;

class CAny {
public:
    CAny();
    ~CAny();
    CAny(const CAny&) = delete;
    CAny& operator=(const CAny&) = delete;

    // --- Read side, inline: usable by the host through the layout ----------------
    int nGetType() const { return m_wType & 0xFF; }
    bool bEstNull() const { return (m_wType & ANY_MARQUE_NULL) != 0; }
    uint16_t wGetTypeWord() const { return m_wType; }
    const uint8_t* pGetValeur() const { return m_abyValeur; }
    uint8_t* pGetValeur() { return m_abyValeur; }
    STAnyHolder* pHolder() { return reinterpret_cast<STAnyHolder*>(&m_wType); }
    const STAnyHolder* pHolder() const { return reinterpret_cast<const STAnyHolder*>(&m_wType); }
    const STAnyVtbl* pVtbl() const { return m_pVtbl; }
    // The pointer stored at the start of the value area (reference types).
    void* pGetPointeur() const {
        void* p;
        std::memcpy(&p, m_abyValeur, sizeof p);
        return p;
    }
    static CAny* s_pDepuisHolder(STAnyHolder* pH) {
        return reinterpret_cast<CAny*>(reinterpret_cast<char*>(pH) - offsetof(CAny, m_wType));
    }
    static const CAny* s_pDepuisHolder(const STAnyHolder* pH) {
        return reinterpret_cast<const CAny*>(reinterpret_cast<const char*>(pH) - offsetof(CAny, m_wType));
    }

    // --- Write side through the variant's own holder tables (either side) -------
    // Releases the value, installs nType and stores pValeur through the new
    // holder's SetValue (the empty value when pValeur is null). The marks
    // are cleared. 0, or the holder's error.
    int nAffecteParHolder(int nType, const void* pValeur) {
        const STAnyClasse* pcl = ANY_pClasse(m_pVtbl)->ppFamille[nType & 0xFF];
        m_pVtbl->pfnDetruit(pHolder(), 3);
        std::memset(m_abyValeur, 0, sizeof m_abyValeur);
        m_wType = static_cast<uint16_t>(nType & 0xFF);
        m_pVtbl = &pcl->stVtbl;
        return pValeur != nullptr ? m_pVtbl->pfnSetValue(pHolder(), pValeur) : 0;
    }
    void SetMarqueNull(bool b) {
        m_wType = static_cast<uint16_t>(b ? (m_wType | ANY_MARQUE_NULL) : (m_wType & ~ANY_MARQUE_NULL));
    }

    // --- Component operations ----------------------------------------------------
    void __SetType(int nType, bool bGarde = false);
    void __TransfertValeurInterne(int nType, const void* pValeur);
    int nCopy(const CAny& clSource);
    int nCastTo(int nType);
    int nGetINT(int32_t* pnResultat) const;
    int nGetREAL(double* prResultat) const;
    int nGetManipAUB(STManipAUB* pstManip) const;
    void Vide() { __TransfertValeurInterne(ANY_VIDE, nullptr); }
    // The holder operations, for callers.
    int SetValue(const void* pValeur) { return m_pVtbl->pfnSetValue(pHolder(), pValeur); }
    int SetValue(const void* pValeur, uint32_t nTaille) { return m_pVtbl->pfnSetValueTaille(pHolder(), pValeur, nTaille); }
    int nGetPCXSTR(const char** ppsz) const { return m_pVtbl->pfnGetPCXSTR(pHolder(), ppsz); }
    int nGetSize(uint32_t* pn) const { return m_pVtbl->pfnGetSize(pHolder(), pn); }
    int nGetDataSize(uint32_t* pn) const { return m_pVtbl->pfnGetDataSize(pHolder(), pn); }
    int nGetDataAdr(void** pp) { return m_pVtbl->pfnGetDataAdr(pHolder(), pp); }
    int nGetUtilDataSize(uint32_t* pn) const { return m_pVtbl->pfnGetUtilDataSize(pHolder(), pn); }
    int nFillUtilDataBuffer(void* p) const { return m_pVtbl->pfnFillUtilDataBuffer(pHolder(), p); }
    bool bIsPositive() const { return m_pVtbl->pfnIsPositive(pHolder()) != 0; }
    int nIncremente() { return m_pVtbl->pfnIncremente(pHolder()); }
    int nDecremente() { return m_pVtbl->pfnDecremente(pHolder()); }
    int SetValueFromANSI(const char* psz) { return m_pVtbl->pfnSetValueFromANSI(pHolder(), psz); }
    int SetValueFromUNICODE(const wchar_t* psz) { return m_pVtbl->pfnSetValueFromUNICODE(pHolder(), psz); }
    int Duplique(CAny* pclCible) const { return m_pVtbl->pfnDuplique(pHolder(), pclCible); }

    // Texts and conversions.
    static uint16_t s_wConstruitValeurCAny(const char* pszTexte, CAny* pclAny);
    static int s_nCastTo(CAny* pclDestination, const char* pszTexte, int nType);
    int nCastFrom_BIN_DATEHEURE_To_DATEHEURE();
    int nCastFrom_BIN_DUREE_To_DUREE();
    static uint16_t __wGetTypeSpecifie(const char* pszNom);

    // --- Layout (public so that the layout is standard) --------------------------
    uint32_t m_dwReserve;
    uint16_t m_wType;
    uint8_t m_abyValeur[ANY_TAILLE_VALEUR];
    const STAnyVtbl* m_pVtbl;
};

static_assert(offsetof(CAny, m_wType) == 4 && offsetof(CAny, m_abyValeur) == 6, "variant layout");
static_assert(offsetof(CAny, m_pVtbl) == 16, "variant layout");
#if defined(__i386__)
static_assert(sizeof(CAny) == 20, "variant is 20 bytes");
#endif

// A caller's variable, handed out by the host's bGetParamIVariable. The
// receiver calls Release when done with it.
class IVariable {
public:
    // Assigns the value; on failure the host fills pclErreur when it can
    // and the result is 0.
    virtual int bAffecte(const CAny* pclValeur, CXError* pclErreur) = 0;
    // Reads the current value into the variant (retyped with its own tables).
    virtual int bLit(CAny* pclValeur, CXError* pclErreur) = 0;
    virtual void Release() = 0;

protected:
    ~IVariable() = default;
};

// The host's value conversions, found by name in the host module.
// Source: a value area of the source type; destination: a buffer of
// ANY_TAILLE_CONVERSION bytes that receives a value area of the destination
// type (a pointer for 13, 18 and 110). Answers 0-99 success, above failure.
extern "C" {
typedef int (*PFN_nConversionDepassement)(const void* pSource, int nTypeSource, void* pDestination,
                                          int nTypeDestination);
typedef int (*PFN_nConversionDepassementEx)(const void* pSource, int nTypeSource, void* pDestination,
                                            int nTypeDestination, int nOption);
// Frees what a successful conversion left in the buffer.
typedef void (*PFN_FinConversion)(void* pBuffer, int nType);
}
