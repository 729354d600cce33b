#include "misc/regexp.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

CRegExpBase::CRegExpBase() { std::memset(&m_stPattern, 0, sizeof m_stPattern); }

CRegExpBase::~CRegExpBase() { _Libere(); }

void CRegExpBase::_Libere() {
    if (m_bCompile) {
        // regfree would free the translation table too: it is ours.
        m_stPattern.translate = nullptr;
        regfree(&m_stPattern);
    }
    std::memset(&m_stPattern, 0, sizeof m_stPattern);
    m_bCompile = false;
    std::free(m_pbyTraduction);
    m_pbyTraduction = nullptr;
}

bool CRegExpBase::_bCompile(const char* pszPattern, int bSensibleCasse) {
    _Libere();
    if (pszPattern == nullptr) return false;
    re_set_syntax(SYNTAXE);
    if (!bSensibleCasse) {
        m_pbyTraduction = static_cast<unsigned char*>(std::malloc(256));
        if (m_pbyTraduction == nullptr) return false;
        for (int i = 0; i < 256; ++i) m_pbyTraduction[i] = static_cast<unsigned char>(std::tolower(i));
        m_stPattern.translate = m_pbyTraduction;
    }
    const char* pszErreur = re_compile_pattern(pszPattern, std::strlen(pszPattern), &m_stPattern);
    m_bCompile = pszErreur == nullptr;
    if (!m_bCompile) {
        m_stPattern.translate = nullptr;
        regfree(&m_stPattern);
        std::memset(&m_stPattern, 0, sizeof m_stPattern);
        std::free(m_pbyTraduction);
        m_pbyTraduction = nullptr;
    }
    return m_bCompile;
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
    return _bCompile(pszPattern, 1) ? 0 : -1;
}

int CRegExp::nMatch(const char* pszTexte, int nDebut, int nLongueur) {
    if (!m_bCompile) return -2;
    if (pszTexte == nullptr) pszTexte = "";
    if (nLongueur == 0) {
        size_t n = std::strlen(pszTexte);
        if (n > static_cast<size_t>(INT32_MAX)) return -1;
        nLongueur = static_cast<int>(n);
    }
    if (nLongueur < 0 || nDebut < 0 || nDebut > nLongueur) return -1;
    return re_match(&m_stPattern, pszTexte, nLongueur, nDebut, &m_stRegs);
}

bool CRegExp::bMatch(const char* pszTexte) {
    if (pszTexte == nullptr) pszTexte = "";
    size_t n = std::strlen(pszTexte);
    if (n > static_cast<size_t>(INT32_MAX)) return false;
    int nRes = nMatch(pszTexte, 0, static_cast<int>(n));
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
// of the same text, so results do not change.
class CCachePatterns {
public:
    // The compiled pattern, or null with the compile result in nErreur.
    CRegExp* pclCherche(const char* pszPattern, int& nErreur) {
        nErreur = 0;
        for (size_t i = 0; i < k_nTaille; ++i) {
            if (m_tab[i].pcl && m_tab[i].sPattern == pszPattern) {
                m_tab[i].nUsage = ++m_nHorloge;
                return m_tab[i].pcl.get();
            }
        }
        auto pcl = std::make_unique<CRegExp>();
        nErreur = pcl->nCompile(pszPattern);
        if (nErreur != 0) return nullptr;
        size_t nVictime = 0;
        for (size_t i = 1; i < k_nTaille; ++i)
            if (m_tab[i].nUsage < m_tab[nVictime].nUsage) nVictime = i;
        m_tab[nVictime].sPattern = pszPattern;
        m_tab[nVictime].pcl = std::move(pcl);
        m_tab[nVictime].nUsage = ++m_nHorloge;
        return m_tab[nVictime].pcl.get();
    }

private:
    static constexpr size_t k_nTaille = 8;
    struct STEntree {
        std::string sPattern;
        std::unique_ptr<CRegExp> pcl;
        uint64_t nUsage = 0;
    };
    STEntree m_tab[k_nTaille];
    uint64_t m_nHorloge = 0;
};

thread_local CCachePatterns t_clCache;

}  // namespace

CRegExp* REGEXP_pclCompile(const char* pszPattern, int& nErreur) {
    return t_clCache.pclCherche(pszPattern, nErreur);
}

