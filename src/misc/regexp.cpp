// CRegExpBase, CRegExp and the per-thread pattern cache of regexp.h.
#include "misc/regexp.h"

#include <malloc.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "misc/regexp_moteur.h"

namespace {

// Under a multibyte locale the library reads texts as multibyte characters,
// which our own matcher does not: back-references are then left to the
// library, on texts no longer than this.
constexpr int k_nMultiOctetRenvoiMax = 32;

// Compiling a large pattern scatters megabytes of small blocks over the
// heap; once they are freed, the allocator keeps those pages unless asked,
// and a host that meets such a pattern now and then would keep growing.
// Asking costs a walk of the heap, nothing beside such a compilation.
constexpr int64_t k_nTailleRendue = int64_t(1) << 16;

void RendMemoire(int64_t nTaille) {
    if (nTaille >= k_nTailleRendue) malloc_trim(0);
}

}  // namespace

CRegExpBase::CRegExpBase() { std::memset(&m_stPattern, 0, sizeof m_stPattern); }

CRegExpBase::~CRegExpBase() { _Libere(); }

void CRegExpBase::_Libere() {
    const int64_t nTaille = m_clAutomate.nTaille();
    // regfree would free the translation table too: it is ours. It frees
    // what a failed compilation left as well, and nothing when none ran.
    m_stPattern.translate = nullptr;
    regfree(&m_stPattern);
    std::memset(&m_stPattern, 0, sizeof m_stPattern);
    m_bCompile = false;
    std::free(m_pbyTraduction);
    m_pbyTraduction = nullptr;
    m_clAutomate = regexp::CAutomate();
    m_sPattern.clear();
    RendMemoire(nTaille);
}

const char* CRegExpBase::_pszCompileBibliotheque(const char* pszPattern, size_t nLongueur) {
    re_set_syntax(SYNTAXE);
    m_stPattern.translate = m_pbyTraduction;
    return re_compile_pattern(pszPattern, nLongueur, &m_stPattern);
}

bool CRegExpBase::_bCompile(const char* pszPattern, int bSensibleCasse) {
    _Libere();
    m_nErreurCompile = REGEXP_INVALIDE;
    if (pszPattern == nullptr) return false;
    const size_t nLongueur = std::strlen(pszPattern);
    // The size is known before the library builds anything: a pattern past
    // the limit would have it take gigabytes. A pattern our parser finds
    // invalid is not handed to it either (it parses the same way).
    re_set_syntax(SYNTAXE);
    const regexp::EAnalyse e = m_clAutomate.eAnalyse(pszPattern, nLongueur);
    if (e != regexp::EAnalyse::Ok) {
        if (e == regexp::EAnalyse::TropGrand) m_nErreurCompile = REGEXP_TROP_GRAND;
        return false;
    }
    m_bMultiOctet = MB_CUR_MAX > 1;
    if (!bSensibleCasse) {
        m_pbyTraduction = static_cast<unsigned char*>(std::malloc(256));
        if (m_pbyTraduction == nullptr) {
            _Libere();
            return false;
        }
        for (int i = 0; i < 256; ++i) m_pbyTraduction[i] = static_cast<unsigned char>(std::tolower(i));
    }
    m_sPattern.assign(pszPattern, nLongueur);
    m_bCompile = _pszCompileBibliotheque(pszPattern, nLongueur) == nullptr;
    if (!m_bCompile) {
        _Libere();
        return false;
    }
    m_nErreurCompile = 0;
    return true;
}

bool CRegExpBase::_bRecompile() {
    if (!m_bCompile) return false;
    re_pattern_buffer stAncien = m_stPattern;
    std::memset(&m_stPattern, 0, sizeof m_stPattern);
    if (_pszCompileBibliotheque(m_sPattern.data(), m_sPattern.size()) != nullptr) {
        m_stPattern = stAncien;   // keep the one that works
        return false;
    }
    m_stPattern.regs_allocated = stAncien.regs_allocated;
    stAncien.translate = nullptr;
    regfree(&stAncien);
    return true;
}

CRegExp::CRegExp() { std::memset(&m_stRegs, 0, sizeof m_stRegs); }

CRegExp::~CRegExp() { LibereRegs(); }

void CRegExp::LibereRegs() {
    std::free(m_stRegs.start);
    std::free(m_stRegs.end);
    std::memset(&m_stRegs, 0, sizeof m_stRegs);
}

int CRegExp::nCompile(const char* pszPattern) {
    LibereRegs();
    m_nEtatsCumules = 0;
    m_stGarde.Vide();
    m_bLimite = false;
    return _bCompile(pszPattern, 1) ? 0 : m_nErreurCompile;
}

// The registers as the library hands them over: one more than the groups,
// the last at -1; an existing allocation is reused when large enough.
void CRegExp::_CopieRegs(const std::vector<int32_t>& tabDebut, const std::vector<int32_t>& tabFin) {
    const size_t nBesoin = tabDebut.size();
    if (m_stRegs.num_regs < nBesoin) {
        auto* pDebut = static_cast<regoff_t*>(std::realloc(m_stRegs.start, nBesoin * sizeof(regoff_t)));
        if (pDebut != nullptr) m_stRegs.start = pDebut;
        auto* pFin = static_cast<regoff_t*>(std::realloc(m_stRegs.end, nBesoin * sizeof(regoff_t)));
        if (pFin != nullptr) m_stRegs.end = pFin;
        if (pDebut == nullptr || pFin == nullptr) {
            LibereRegs();
            return;
        }
        m_stRegs.num_regs = nBesoin;
    }
    for (size_t i = 0; i < m_stRegs.num_regs; ++i) {
        m_stRegs.start[i] = i < nBesoin ? tabDebut[i] : -1;
        m_stRegs.end[i] = i < nBesoin ? tabFin[i] : -1;
    }
    // Later library matches reuse these arrays, as after one of its own.
    m_stPattern.regs_allocated = REGS_REALLOCATE;
}

int CRegExp::_nMatch(const char* pszTexte, int nDebut, int nLongueur, bool bEntier) {
    m_bLimite = false;
    if (!m_bCompile) return REGEXP_NON_COMPILE;
    if (pszTexte == nullptr) pszTexte = "";
    if (nLongueur < 0 || nDebut < 0 || nDebut > nLongueur) return -1;
    const auto* pText = reinterpret_cast<const unsigned char*>(pszTexte);
    int nRes;
    // Back-references, and repetitions of what can match nothing, are
    // matched by our own bounded replay of the library: its work on the
    // first has no bound, and on the second it can loop for ever.
    if ((m_clAutomate.bContientRenvoi() || m_clAutomate.bBoucleVide()) && !m_bMultiOctet) {
        std::vector<int32_t> tabDebut, tabFin;
        nRes = regexp::nRenvoi(m_clAutomate, pText, nDebut, nLongueur, bEntier, tabDebut, tabFin);
        if (nRes >= 0) _CopieRegs(tabDebut, tabFin);
        if (nRes == regexp::k_nLimiteAtteinte) nRes = REGEXP_LIMITE;
    } else {
        int64_t nEtatsVus = 0, nEtatsNouveaux = 0;
        bool bPermis;
        if (m_clAutomate.bBoucleVide()) {
            // Under a multibyte locale a repetition of what can match
            // nothing is not left to the library: no answer rather than a
            // loop.
            bPermis = false;
        } else if (m_clAutomate.bContientRenvoi()) {
            bPermis = nLongueur - nDebut <= k_nMultiOctetRenvoiMax;
        } else {
            bPermis = regexp::bGarde(m_clAutomate, m_stGarde, pText, nDebut, nLongueur, nEtatsVus, nEtatsNouveaux);
        }
        if (!bPermis) {
            nRes = REGEXP_LIMITE;
        } else {
            // The library keeps every state it built until the pattern is
            // freed: past a bound, start again from a fresh compilation,
            // which builds again every state of this check.
            if (m_nEtatsCumules + nEtatsNouveaux > regexp::k_nEtatsCumulMax && _bRecompile()) {
                m_nEtatsCumules = nEtatsVus;
                m_stGarde.Vide();
            } else {
                m_nEtatsCumules += nEtatsNouveaux;
            }
            nRes = re_match(&m_stPattern, pszTexte, nLongueur, nDebut, &m_stRegs);
            // -2: the library ran out of memory.
            if (nRes == -2) {
                nRes = REGEXP_LIMITE;
                m_stGarde.Vide();
            }
        }
    }
    m_bLimite = nRes == REGEXP_LIMITE;
    return nRes;
}

int CRegExp::nMatch(const char* pszTexte, int nDebut, int nLongueur) {
    if (!m_bCompile) return REGEXP_NON_COMPILE;
    if (pszTexte == nullptr) pszTexte = "";
    if (nLongueur == 0) {
        size_t n = std::strlen(pszTexte);
        if (n > static_cast<size_t>(INT32_MAX)) return -1;
        nLongueur = static_cast<int>(n);
    }
    return _nMatch(pszTexte, nDebut, nLongueur, false);
}

bool CRegExp::bMatch(const char* pszTexte) {
    if (pszTexte == nullptr) pszTexte = "";
    size_t n = std::strlen(pszTexte);
    if (n > static_cast<size_t>(INT32_MAX)) return false;
    int nRes = _nMatch(pszTexte, 0, static_cast<int>(n), true);
    return nRes >= 0 && static_cast<size_t>(nRes) >= n;
}

int CRegExp::nGetDebut(int nGroupe) const {
    if (nGroupe < 0 || static_cast<unsigned>(nGroupe) >= m_stRegs.num_regs || m_stRegs.start == nullptr) return -1;
    return m_stRegs.start[nGroupe];
}

int CRegExp::nGetFin(int nGroupe) const {
    if (nGroupe < 0 || static_cast<unsigned>(nGroupe) >= m_stRegs.num_regs || m_stRegs.end == nullptr) return -1;
    return m_stRegs.end[nGroupe];
}

namespace {

// The last patterns compiled on this thread: programs check many texts
// against the same few patterns. A cached pattern is the same compilation
// of the same text, so results do not change. Large compiled patterns are
// not kept: the last one lives only until the next call.
class CCachePatterns {
public:
    // The compiled pattern, or null with the compile result in nErreur.
    CRegExp* pclCherche(const char* pszPattern, int& nErreur) {
        nErreur = 0;
        m_pclHorsCache.reset();
        for (size_t i = 0; i < k_nTaille; ++i) {
            if (m_tab[i].pcl && m_tab[i].sPattern == pszPattern) {
                m_tab[i].nUsage = ++m_nHorloge;
                return m_tab[i].pcl.get();
            }
        }
        auto pcl = std::make_unique<CRegExp>();
        nErreur = pcl->nCompile(pszPattern);
        if (nErreur != 0) return nullptr;
        if (pcl->nGetTaille() > regexp::k_nTailleCache) {
            m_pclHorsCache = std::move(pcl);
            return m_pclHorsCache.get();
        }
        size_t nVictime = 0;
        for (size_t i = 1; i < k_nTaille; ++i)
            if (m_tab[i].nUsage < m_tab[nVictime].nUsage) nVictime = i;
        m_tab[nVictime].sPattern = pszPattern;
        m_tab[nVictime].pcl = std::move(pcl);
        m_tab[nVictime].nUsage = ++m_nHorloge;
        return m_tab[nVictime].pcl.get();
    }

    int64_t nTailleRetenue() const {
        int64_t n = m_pclHorsCache ? m_pclHorsCache->nGetTaille() : 0;
        for (const STEntree& st : m_tab)
            if (st.pcl) n += st.pcl->nGetTaille();
        return n;
    }

private:
    static constexpr size_t k_nTaille = 8;
    struct STEntree {
        std::string sPattern;
        std::unique_ptr<CRegExp> pcl;
        uint64_t nUsage = 0;
    };
    STEntree m_tab[k_nTaille];
    std::unique_ptr<CRegExp> m_pclHorsCache;
    uint64_t m_nHorloge = 0;
};

thread_local CCachePatterns t_clCache;

}  // namespace

CRegExp* REGEXP_pclCompile(const char* pszPattern, int& nErreur) {
    if (pszPattern == nullptr) {
        nErreur = REGEXP_INVALIDE;
        return nullptr;
    }
    return t_clCache.pclCherche(pszPattern, nErreur);
}

int64_t REGEXP_nTailleRetenue() { return t_clCache.nTailleRetenue(); }
