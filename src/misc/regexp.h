// Regular expressions over the C library's GNU interface: a compiled
// pattern (CRegExpBase) and the match registers of the last match (CRegExp).
#pragma once
#include <regex.h>

#include <cstdint>

class CRegExpBase {
public:
    // Groups (...), alternation |, intervals {m,n}, bracket classes, "."
    // matching a newline, an unmatched ")" taken literally.
    static constexpr reg_syntax_t SYNTAXE = RE_CHAR_CLASSES | RE_DOT_NEWLINE | RE_INTERVALS | RE_NO_BK_BRACES |
                                           RE_NO_BK_PARENS | RE_NO_BK_VBAR | RE_UNMATCHED_RIGHT_PAREN_ORD;

    CRegExpBase();
    CRegExpBase(const CRegExpBase&) = delete;
    CRegExpBase& operator=(const CRegExpBase&) = delete;
    ~CRegExpBase();

    // Compiles the whole pattern; bSensibleCasse 0 folds case through a
    // lower-case translation table. True on success.
    bool _bCompile(const char* pszPattern, int bSensibleCasse);
    bool bEstCompile() const { return m_bCompile; }

protected:
    void _Libere();

    re_pattern_buffer m_stPattern;
    bool m_bCompile = false;
    unsigned char* m_pbyTraduction = nullptr;   // 256 bytes, when case is folded
};

class CRegExp : public CRegExpBase {
public:
    CRegExp();
    ~CRegExp();

    // 0 on success, -1 on failure (case-sensitive).
    int nCompile(const char* pszPattern);
    // Characters matched from nDebut, anchored there (nLongueur 0: strlen);
    // negative when there is no match, -2 without a compiled pattern.
    int nMatch(const char* pszTexte, int nDebut, int nLongueur);
    // The expression covers the whole text.
    bool bMatch(const char* pszTexte);

    // Offsets of group n of the last match (0: the whole match); -1 when
    // the group does not exist or did not take part.
    int nGetDebut(int nGroupe) const;
    int nGetFin(int nGroupe) const;

    void LibereRegs();

private:
    re_registers m_stRegs;
};

// The compiled pattern for this text, from a small per-thread cache of the
// last patterns used (the same compilation, so results do not change); null
// when it does not compile, with nCompile's result in nErreur.
CRegExp* REGEXP_pclCompile(const char* pszPattern, int& nErreur);
