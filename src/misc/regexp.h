// Regular expressions over the C library's GNU interface: a compiled
// pattern (CRegExpBase) and the match registers of the last match (CRegExp).
//
// Hostile patterns and texts are bounded: a pattern whose compiled form
// would pass a size limit is refused before the library compiles it, and a
// match stops with REGEXP_LIMITE once it has done a bounded amount of work
// (see regexp_moteur.h). Within those limits the results are the library's.
#pragma once
#include <regex.h>

#include <cstdint>
#include <string>
#include <vector>

#include "misc/regexp_automate.h"
#include "misc/regexp_moteur.h"

// Results of nCompile and nMatch besides 0 and match lengths.
constexpr int REGEXP_INVALIDE = -1;     // nCompile: the pattern does not compile
constexpr int REGEXP_NON_COMPILE = -2;  // nMatch: no compiled pattern
constexpr int REGEXP_TROP_GRAND = -3;   // nCompile: the compiled form would pass the size limit
constexpr int REGEXP_LIMITE = -4;       // nMatch: the work or memory limit was reached

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
    // lower-case translation table. True on success; on failure
    // nGetErreurCompile tells why (REGEXP_INVALIDE or REGEXP_TROP_GRAND).
    bool _bCompile(const char* pszPattern, int bSensibleCasse);
    bool bEstCompile() const { return m_bCompile; }
    int nGetErreurCompile() const { return m_nErreurCompile; }

    // Number of groups of the compiled pattern.
    int nGetNbGroupes() const { return m_bCompile ? int(m_stPattern.re_nsub) : 0; }
    // Estimated size of the compiled form, in the units of regexp_automate.h.
    int64_t nGetTaille() const { return m_clAutomate.nTaille(); }

protected:
    void _Libere();
    // Compiles the library's buffer again, dropping the states it keeps;
    // the registers already allocated are reused.
    bool _bRecompile();

    re_pattern_buffer m_stPattern;
    bool m_bCompile = false;
    unsigned char* m_pbyTraduction = nullptr;   // 256 bytes, when case is folded
    std::string m_sPattern;
    regexp::CAutomate m_clAutomate;
    bool m_bMultiOctet = false;   // compiled under a multibyte locale
    int m_nErreurCompile = 0;

private:
    const char* _pszCompileBibliotheque(const char* pszPattern, size_t nLongueur);
};

class CRegExp : public CRegExpBase {
public:
    CRegExp();
    ~CRegExp();

    // 0 on success, REGEXP_INVALIDE or REGEXP_TROP_GRAND on failure
    // (case-sensitive).
    int nCompile(const char* pszPattern);
    // Characters matched from nDebut, anchored there (nLongueur 0: strlen);
    // negative when there is no match, REGEXP_NON_COMPILE without a compiled
    // pattern, REGEXP_LIMITE when the check needed too much work.
    int nMatch(const char* pszTexte, int nDebut, int nLongueur);
    // The expression covers the whole text. False also when a limit was
    // reached: bLimiteAtteinte tells.
    bool bMatch(const char* pszTexte);
    // The last nMatch or bMatch stopped on the work or memory limit.
    bool bLimiteAtteinte() const { return m_bLimite; }

    // Offsets of group n of the last match (0: the whole match); -1 when
    // the group does not exist or did not take part.
    int nGetDebut(int nGroupe) const;
    int nGetFin(int nGroupe) const;

    void LibereRegs();

private:
    int _nMatch(const char* pszTexte, int nDebut, int nLongueur, bool bEntier);
    void _CopieRegs(const std::vector<int32_t>& tabDebut, const std::vector<int32_t>& tabFin);

    re_registers m_stRegs;
    bool m_bLimite = false;
    int64_t m_nEtatsCumules = 0;
    regexp::STMemoireGarde m_stGarde;
};

// The compiled pattern for this text, from a small per-thread cache of the
// last patterns used (the same compilation, so results do not change); null
// when it does not compile, with nCompile's result in nErreur. A large
// pattern is not cached: it stays valid until the next call on this thread.
CRegExp* REGEXP_pclCompile(const char* pszPattern, int& nErreur);
// Compiled size (in the units of regexp_automate.h) that this thread's cache
// holds, the uncached pattern of the last call included.
int64_t REGEXP_nTailleRetenue();
