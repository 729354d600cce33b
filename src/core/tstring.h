// Owned C text: one malloc'ed zero-terminated ANSI text (null = empty).
// Positions start at 0; -1 means "not found".
#pragma once
#include <cstdarg>
#include <cstdint>
#include <cwchar>

class CTString {
public:
    CTString() = default;
    CTString(const char* pszTexte) { Set(pszTexte); }
    CTString(const char* pszTexte, int nLongueur) { Set(pszTexte, nLongueur); }
    CTString(const CTString& clAutre) { Set(clAutre.m_psz); }
    CTString(CTString&& clAutre) noexcept : m_psz(clAutre.m_psz) { clAutre.m_psz = nullptr; }
    CTString& operator=(const CTString& clAutre) {
        Set(clAutre.m_psz);
        return *this;
    }
    CTString& operator=(CTString&& clAutre) noexcept;
    CTString& operator=(const char* pszTexte) {
        Set(pszTexte);
        return *this;
    }
    ~CTString() { Vide(); }

    const char* pszGet() const { return m_psz ? m_psz : ""; }
    operator const char*() const { return pszGet(); }
    int nTaille() const;
    bool bEstVide() const { return m_psz == nullptr || *m_psz == 0; }
    void Vide();

    // Setting. A null or empty text empties the string; the string's own
    // text leaves it as it is.
    bool Set(const char* pszTexte);
    bool Set(const char* pszTexte, int nLongueur);
    bool SetANSI(const char* pszTexte, int nLongueur = -1) { return Set(pszTexte, nLongueur); }
    // Wide text converted to the current code page ('?' for what it lacks).
    bool SetWide(const wchar_t* pszTexte, int nLongueur = -1);
    bool SetUNICODE(const wchar_t* pszTexte, int nLongueur = -1) { return SetWide(pszTexte, nLongueur); }
    // UTF-8 text converted to the current code page.
    bool SetUTF8(const char* pszTexte, int nLongueur = -1);
    // Text in the current code page stored as UTF-8.
    bool SetXUTF8(const char* pszTexte, int nLongueur = -1);
    // Bytes up to the first zero byte or nTaille.
    bool SetFromBinary(const void* pDonnees, int nTaille);
    // Takes ownership of a malloc'ed text.
    void SetBuffer(char* pszTexte);
    bool SetI4(int32_t nValeur);
    bool SetChar(int nPosition, char c);   // inside the text only

    bool Add(const char* pszTexte);
    bool Add(const char* pszTexte, int nLongueur);
    bool Insert(int nPosition, const char* pszTexte);

    // Blanks are space, tab, CR, LF.
    void Trim();         // trailing
    void LTrim();        // leading
    void SansEspace();   // both
    void SansAccent();
    void Majuscule();
    void Minuscule();
    void MapStringEx(uint32_t dwFlags, int bMajuscule);
    // Cuts at the first occurrence of c (c itself removed).
    void Coupe(char c);
    // No effect below 0 or above the length.
    void Tronque(int nLongueur);
    void TronqueDebut(int nNombre);
    bool Complete(int nLongueur, char c);
    void Renverse();
    // Spaces become non-breaking spaces (0xA0).
    void Insecable();

    CTString clMilieu(int nDebut, int nLongueur = -1) const;
    CTString clDroite(int nLongueur) const;
    CTString clGauche(int nLongueur) const;
    // Only the characters found (or not found) in pszCaracteres.
    CTString clContientUniquement(const char* pszCaracteres) const;
    CTString clExclu(const char* pszCaracteres) const;

    int nPos(const char* pszTexte, int nDebut = 0) const;
    int nRPos(const char* pszTexte) const;
    int nUpPos(const char* pszTexte, int nDebut = 0) const;   // case folded
    int nPosParmi(const char* pszCaracteres, int nDebut = 0) const;
    int nNbOcc(const char* pszTexte) const;
    char cGetChar(int nPosition) const;   // 0 outside the text

    // Every occurrence, from the start; the number of replacements.
    int Remplace(const char* pszAncien, const char* pszNouveau);
    int RemplaceI(const char* pszAncien, const char* pszNouveau);

    bool bEstEgal(const char* pszTexte) const;
    bool bEstEgalI(const char* pszTexte) const;
    bool bCommencePar(const char* pszTexte) const;
    bool bCommenceParI(const char* pszTexte) const;
    bool bTerminePar(const char* pszTexte) const;
    bool bTermineParI(const char* pszTexte) const;

    // Field nRang (from 1) between separators.
    bool bExtraitChaine(int nRang, const char* pszSeparateur, CTString* pclResultat) const;
    // The field at *pnPos; *pnPos moves past its separator. False once past the end.
    bool bExtraitChainePos(int* pnPos, const char* pszSeparateur, CTString* pclResultat) const;

    bool FormatV(const char* pszFormat, va_list args);
    bool printf(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    bool AddPrintf(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    int nVal() const;   // leading decimal integer, 0 when none

    // Wide copy (malloc'ed) of the text from the current code page.
    bool bGetWide(wchar_t** ppszResultat) const;

    bool bCharge(const char* pszFichier);
    bool bSauve(const char* pszFichier) const;

private:
    bool _bRemplace(const char* pszAncien, const char* pszNouveau, bool bSansCasse, int* pnNombre);

    char* m_psz = nullptr;
};
