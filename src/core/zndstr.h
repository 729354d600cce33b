// Dynamic strings: one pointer to characters preceded by the string memory
// header (allocator, kind, reference count, capacity, length). Copies share
// the block; every change first makes the block private (copy on write).
// After every change the 4 bytes after the last used byte are zero.
//
// Conventions: lengths and positions of ANSI and binary strings are byte
// counts, those of the ...UNICODE operations are wide characters (wchar_t);
// positions start at 0 and -1 means "not found". A length of -1 given with a
// text means "up to its terminator". Results named n... without a stated
// meaning are 0 on success or an error code (100 out of memory, 108 too long).
#pragma once
#include <cstdarg>
#include <cstdint>
#include <cwchar>

#include "core/strmem.h"
#include "qvstd/manipaub.h"

class CZNDSTR;
class CZNBINBase;
class CZNBIN;

// The plain value: a single word, so that it can overlay the host's words
// (argument records, library variables). It does not release its memory on
// destruction; CZNDSTR does.
class CZNDSTRBase {
public:
    CZNDSTRBase() = default;
    CZNDSTRBase(const char* pszTexte);
    CZNDSTRBase(const void* pTexte, int nLongueur);
    CZNDSTRBase(const CZNDSTRBase& clAutre);      // shares
    CZNDSTRBase& operator=(const CZNDSTRBase& clAutre) {
        Assign(clAutre, -1);
        return *this;
    }

    // Access.
    void* pGetMemoire() const { return m_pMemoire; }
    const char* pszGet() const { return m_pMemoire ? static_cast<const char*>(m_pMemoire) : ""; }
    const wchar_t* pwszGet() const { return m_pMemoire ? static_cast<const wchar_t*>(m_pMemoire) : L""; }
    int nGetLongueur() const { return m_pMemoire ? int(STRMEM_Header(m_pMemoire)->nLongueur) : 0; }
    int nGetLongueurUNICODE() const { return nGetLongueur() / int(sizeof(wchar_t)); }
    int nGetCapacite() const { return m_pMemoire ? int(STRMEM_Header(m_pMemoire)->nCapacite) : 0; }
    int nGetRef() const { return m_pMemoire ? STRMEM_Header(m_pMemoire)->nRef : 0; }
    bool bEstVide() const { return nGetLongueur() == 0; }
    bool bGetMarque() const { return m_pMemoire && (STRMEM_Header(m_pMemoire)->dwFlags & SMK_MARK); }
    int nGetTypeAUB() const { return s_nGetTypeAUB(m_pMemoire); }
    void VerifieTypeAUB(int nTypeCode) { s_VerifieTypeAUB(m_pMemoire, nTypeCode); }
    // Releases the memory: the string becomes empty.
    void Vide();

    // Assignment.
    int nAssign(const void* pTexte, int nLongueur = -1);
    int nAssignInit(const void* pTexte, int nLongueur = -1);
    int nAssignI4(int32_t nValeur);
    // nNombre pairs (const char* text, int length) follow.
    int nAssignMultiple(int nNombre, ...);
    int nAssignUNICODE(const wchar_t* pwszTexte, int nCaracteres = -1);
    int nAssignUNICODE_UTF16(const char16_t* pTexte, int nUnites = -1);
    // Shares the other's memory; a length below the other's then cuts the
    // (now private) copy.
    void Assign(const CZNDSTRBase& clAutre, int nLongueur = -1);
    // Takes the other's memory without counting; the other becomes empty.
    void Take(CZNDSTRBase& clAutre);

    // Concatenation.
    int nConcat(const CZNDSTRBase& clAutre);
    int nConcat(const void* pTexte, int nLongueur = -1);
    int nConcatI4(int32_t nValeur);
    int nConcatMultiple(int nNombre, ...);
    // this = a, separator, b; the separator only between two non-empty sides.
    int nConcatSeparateur(const CZNDSTRBase& clA, const CZNDSTRBase& clB, const char* pszSeparateur);
    // destination = a + b. An empty side shares the other. With flag 1 the
    // destination takes over a's memory (shared when shared, else moved out
    // of a) and appends b.
    static int nConcatInit(CZNDSTRBase& clDestination, CZNDSTRBase& clA, const CZNDSTRBase& clB, int nFlags);

    // Makes the memory private and able to hold nTaille bytes.
    int __nPrepareModification(uint32_t nTaille);
    // Reserves room for nTaille bytes, keeping the content.
    int nSetLength(uint32_t nTaille);
    // Sets the used length (bytes beyond the old length are zero); 0 without
    // bGarde releases the memory.
    int SetUtilLength(uint32_t nLongueur, bool bGarde = false);
    // Cuts to nLongueur bytes (-1 or a length not below the current one: no
    // effect); clears the mark.
    void Tronque(int nLongueur);

    // Text operations (ANSI unless named ...UNICODE).
    void Trim();                         // trailing blanks (space, tab, CR, LF)
    void Trim(char cCaractere);          // leading and trailing cCaractere
    void TrimUNICODE(wchar_t cCaractere);
    void SansEspace();                   // leading and trailing blanks
    int nComplete(int nLongueur, char cCaractere);            // pads on the right up to nLongueur
    int nComplete(int nDebut, int nLongueur, char cCaractere);  // nLongueur copies written at nDebut
    int nCompleteUNICODE(int nLongueur, wchar_t cCaractere);
    void Renverse();
    void RenverseUNICODE();
    // Maps through the character tables (mapping flags of the platform layer).
    int MapString(uint32_t dwFlags, int bMajuscule);
    // Replaces every occurrence (case-sensitive, from the start).
    int Remplace(const char* pszAncien, const char* pszNouveau);
    int RemplaceUNICODE(const wchar_t* pszAncien, const wchar_t* pszNouveau);
    int nPrintf(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    int nAddPrintf(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    int nVPrintf(const char* pszFormat, va_list args);
    int nVAddPrintf(const char* pszFormat, va_list args);
    static int __CalculeTaillePrintf(const char* pszFormat, va_list args);

    // Search.
    int nNbOcc(const char* pszTexte) const;
    int nNbOccUNICODE(const wchar_t* pszTexte) const;
    int nPos(const char* pszTexte, int nDebut = 0) const;
    int nPos(const CZNDSTRBase& clTexte, int nDebut = 0) const;
    int nPosUNICODE(const wchar_t* pszTexte, int nDebut = 0) const;
    int nPosFin(const char* pszTexte) const;
    int nPosFinUNICODE(const wchar_t* pszTexte) const;
    int nPosParmi(const char* pszCaracteres, int nDebut = 0) const;
    int nMilieu(CZNDSTRBase& clDestination, int nDebut, int nLongueur = -1) const;
    int nMilieuUNICODE(CZNDSTRBase& clDestination, int nDebut, int nLongueur = -1) const;
    CZNDSTR clMilieu(int nDebut, int nLongueur = -1) const;
    CZNDSTR clMilieuUNICODE(int nDebut, int nLongueur = -1) const;
    // Field nRang (from 1) between separators.
    bool bExtraitChaineUNICODE(int nRang, const wchar_t* pszSeparateur, CZNDSTRBase& clDestination) const;
    // The field that starts at *pnPos (characters); *pnPos moves past its
    // separator. False once *pnPos is past the end.
    bool bExtraitChainePosUNICODE(int* pnPos, const wchar_t* pszSeparateur, CZNDSTRBase& clDestination) const;
    bool bCommencePar(const void* pTexte, int nLongueur = -1) const;

    // Comparison: -1, 0, 1 (bytes unsigned, then the shorter is smaller).
    int nCompareTo(const char* pszTexte) const;
    int nCompareTo(const CZNDSTRBase& clAutre) const { return nCompare(*this, clAutre); }
    static int nCompare(const CZNDSTRBase& clA, const CZNDSTRBase& clB);
    static int nCompare(const CZNDSTRBase& clA, const CZNDSTRBase& clB, uint32_t nMax);
    int nCompareToUNICODE(const wchar_t* pszTexte) const;
    // Case and accents folded; option 1 compares only b's length.
    static int __s_nCompareSouple(const CZNDSTRBase& clA, const CZNDSTRBase& clB, int nOption);
    // Case, accents and punctuation folded, then strcmp (option 1: strncmp
    // over the mapped b).
    static int __s_nCompareTresSouple(const CZNDSTRBase& clA, const CZNDSTRBase& clB, int nOption);
    static int nCompareSoupleUNICODE(const CZNDSTRBase& clA, const CZNDSTRBase& clB);

    // Conversions. The results are new blocks of the named kind.
    int nAffecteToUNICODE(const CZNBINBase& clSource);               // bytes in the current code page
    int nAffecteToUNICODE(const CZNDSTRBase& clSource);              // ANSI in the current code page
    int nAffecteToUNICODE(const char* pszTexte, int nLongueur, uint32_t dwCodePage);
    int nAffecteToANSI(const CZNDSTRBase& clSource, char cRemplacement = '?', bool* pbRemplace = nullptr);
    int nAffecteToANSI(const wchar_t* pszTexte, int nCaracteres, uint32_t dwCodePage, char cRemplacement = '?',
                       bool* pbRemplace = nullptr);
    int nAffecteToUNICODE_CurrentCharset(const STManipAUB* pstTexte);
    int nAffecteToUTF8(const CZNDSTRBase& clSource);                 // ANSI or Unicode source
    wchar_t* pszCreateWSTR() const;   // malloc'ed wide copy (ANSI converted), null on failure
    char* pszCreateCSTR() const;      // malloc'ed ANSI copy (Unicode converted), null on failure

    // Module.
    static bool bInit();
    static void Term();

protected:
    void* m_pMemoire = nullptr;

    friend class CZNBINBase;
};

class CZNDSTR : public CZNDSTRBase {
public:
    using CZNDSTRBase::CZNDSTRBase;
    CZNDSTR() = default;
    CZNDSTR(const CZNDSTR& clAutre) : CZNDSTRBase(clAutre) {}
    CZNDSTR(const CZNDSTRBase& clAutre) : CZNDSTRBase(clAutre) {}
    CZNDSTR(CZNDSTR&& clAutre) noexcept { Take(clAutre); }
    CZNDSTR& operator=(const CZNDSTR& clAutre) {
        Assign(clAutre, -1);
        return *this;
    }
    CZNDSTR& operator=(const CZNDSTRBase& clAutre) {
        Assign(clAutre, -1);
        return *this;
    }
    CZNDSTR& operator=(CZNDSTR&& clAutre) noexcept {
        if (this != &clAutre) Take(clAutre);
        return *this;
    }
    ~CZNDSTR() { Vide(); }
};

// Binary strings: the same block, kind 8; lengths are byte counts and the
// content may hold zero bytes.
class CZNBINBase {
public:
    CZNBINBase() = default;
    CZNBINBase(const void* pDonnees, int nTaille);
    CZNBINBase(const CZNBINBase& clAutre);
    CZNBINBase& operator=(const CZNBINBase& clAutre) {
        Assign(clAutre);
        return *this;
    }

    void* pGetMemoire() const { return m_pMemoire; }
    const uint8_t* pGet() const { return static_cast<const uint8_t*>(m_pMemoire); }
    uint8_t* pGetModifiable() { return static_cast<uint8_t*>(m_pMemoire); }
    int nGetTaille() const { return m_pMemoire ? int(STRMEM_Header(m_pMemoire)->nLongueur) : 0; }
    int nGetRef() const { return m_pMemoire ? STRMEM_Header(m_pMemoire)->nRef : 0; }
    bool bEstVide() const { return nGetTaille() == 0; }
    void Vide();

    void Assign(const CZNBINBase& clAutre);
    void Take(CZNBINBase& clAutre);
    int nAssign(const void* pDonnees, int nTaille);
    int nAssignInit(const void* pDonnees, int nTaille);
    // Takes over a text string's memory (the text string becomes empty).
    int nRecupereInit(CZNDSTR* pclTexte);
    int nConcat(const CZNBINBase& clAutre);
    int nConcat(const void* pDonnees, int nTaille);
    static int nConcatInit(CZNBINBase& clDestination, CZNBINBase& clA, const CZNBINBase& clB, int nFlags);
    int nConcatSeparateur(const CZNBINBase& clA, const CZNBINBase& clB, const void* pSeparateur, int nTaille);
    static int nCompare(const CZNBINBase& clA, const CZNBINBase& clB);
    static int nCompare(const CZNBINBase& clA, const CZNBINBase& clB, uint32_t nMax);
    static int __s_nCompareSouple(const CZNBINBase& clA, const CZNBINBase& clB, int nOption);
    static int __s_nCompareTresSouple(const CZNBINBase& clA, const CZNBINBase& clB, int nOption);
    bool bCommencePar(const void* pDonnees, int nTaille) const;
    int nMilieu(CZNBINBase& clDestination, int nDebut, int nTaille = -1) const;
    CZNBIN clMilieu(int nDebut, int nTaille = -1) const;
    int nPos(const void* pDonnees, int nTaille, int nDebut = 0) const;
    // Reserves room for nTaille bytes (content kept).
    int nSetMemorySize(uint32_t nTaille);
    // Sets the used size (new bytes are zero).
    int nSetSize(uint32_t nTaille);
    // As nSetSize; 0 without bGarde releases the memory.
    int SetUtilSize(uint32_t nTaille, bool bGarde = false);
    void Tronque(int nTaille);
    int __nPrepareModification(uint32_t nTaille);

protected:
    void* m_pMemoire = nullptr;
};

class CZNBIN : public CZNBINBase {
public:
    using CZNBINBase::CZNBINBase;
    CZNBIN() = default;
    CZNBIN(const CZNBIN& clAutre) : CZNBINBase(clAutre) {}
    CZNBIN(const CZNBINBase& clAutre) : CZNBINBase(clAutre) {}
    CZNBIN(CZNBIN&& clAutre) noexcept { Take(clAutre); }
    CZNBIN& operator=(const CZNBIN& clAutre) {
        Assign(clAutre);
        return *this;
    }
    CZNBIN& operator=(CZNBIN&& clAutre) noexcept {
        if (this != &clAutre) Take(clAutre);
        return *this;
    }
    ~CZNBIN() { Vide(); }
};

// Growable array of 4-byte integers.
class CZNINTArray {
public:
    explicit CZNINTArray(int nCapaciteInitiale = 0, int nPas = 10);
    CZNINTArray(const CZNINTArray& clAutre);
    CZNINTArray& operator=(const CZNINTArray& clAutre);
    ~CZNINTArray();

    int nGetNb() const { return m_nNb; }
    const int32_t* pGet() const { return m_pnDonnees; }
    int32_t nGet(int nIndice) const { return (nIndice >= 0 && nIndice < m_nNb) ? m_pnDonnees[nIndice] : 0; }
    bool bSet(int nIndice, int32_t nValeur);     // grows to hold nIndice
    bool bAjoute(int32_t nValeur);
    bool bSetNb(int nNb);                        // new elements are 0
    void Vide();

private:
    bool _bReserve(int nNb);

    int32_t* m_pnDonnees = nullptr;
    int m_nNb = 0;
    int m_nCapacite = 0;
    int m_nPas = 10;
};
