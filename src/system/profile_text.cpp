// Line rules of profile files. Every line is taken with its leading spaces
// and tabs skipped; a line ends at LF, and trailing CRs of a value belong
// to the line end.
#include "system/profile_text.h"

#include <cstring>

namespace profile_text {
namespace {

struct STLigne {
    size_t nDebut = 0;      // first character of the line
    size_t nSuivante = 0;   // first character of the next line (or the end)
    std::string_view sv;    // the line without leading blanks, without LF
};

inline bool _bBlanc(char c) { return c == ' ' || c == '\t'; }

// Walks the lines of a text from a position.
class CLignes {
public:
    CLignes(std::string_view sTexte, size_t nPos) : m_sTexte(sTexte), m_nPos(nPos) {}
    bool bSuivante(STLigne& st) {
        if (m_nPos >= m_sTexte.size()) return false;
        st.nDebut = m_nPos;
        size_t nFin = m_sTexte.find('\n', m_nPos);
        if (nFin == std::string_view::npos) {
            nFin = m_sTexte.size();
            st.nSuivante = nFin;
        } else {
            st.nSuivante = nFin + 1;
        }
        size_t n = m_nPos;
        while (n < nFin && _bBlanc(m_sTexte[n])) ++n;
        st.sv = m_sTexte.substr(n, nFin - n);
        m_nPos = st.nSuivante;
        return true;
    }

private:
    std::string_view m_sTexte;
    size_t m_nPos;
};

inline char _Minuscule(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool _bCommencePar(std::string_view sv, std::string_view svDebut) {
    if (sv.size() < svDebut.size()) return false;
    for (size_t i = 0; i < svDebut.size(); ++i)
        if (_Minuscule(sv[i]) != _Minuscule(svDebut[i])) return false;
    return true;
}

bool _bEntete(std::string_view sv) { return !sv.empty() && sv[0] == '[' && sv.find(']') != std::string_view::npos; }
bool _bCommentaire(std::string_view sv) { return !sv.empty() && sv[0] == ':'; }
bool _bVide(std::string_view sv) { return sv.find_first_not_of(" \t\r") == std::string_view::npos; }

// A NUL inside the file ends the text it is in, as it would in any C reader.
std::string_view _svJusquAuNul(std::string_view sv) { return sv.substr(0, sv.find('\0')); }

// The key of a key line: the text before "=" without its trailing blanks.
// False for a comment or a line without "=".
bool _bCleDeLigne(std::string_view sv, std::string_view& svCle) {
    size_t nEgal = sv.find('=');
    if (_bCommentaire(sv) || nEgal == std::string_view::npos) return false;
    svCle = sv.substr(0, nEgal);
    while (!svCle.empty() && _bBlanc(svCle.back())) svCle.remove_suffix(1);
    return true;
}

// The line sets the key: its whole key is the key, not merely its start
// ("Last user = alice" does not set "Last").
bool _bLigneCle(std::string_view sv, std::string_view svCle) {
    std::string_view svLigne;
    return _bCleDeLigne(sv, svLigne) && svLigne.size() == svCle.size() && _bCommencePar(svLigne, svCle);
}

// Walks what a reading finds: fnTexte receives the value of the key, or
// each name of the list, and returns false to stop. The result tells
// whether a key line matched.
template <class F>
bool _bParcours(std::string_view sTexte, const char* pszSection, const char* pszKey, F&& fnTexte) {
    CLignes clLignes(sTexte, 0);
    STLigne st;
    if (pszSection == nullptr) {
        while (clLignes.bSuivante(st))
            if (_bEntete(st.sv) && !fnTexte(_svJusquAuNul(st.sv.substr(1, st.sv.find(']') - 1)))) break;
        return false;
    }
    const std::string sEntete = std::string("[") + pszSection + "]";
    bool bDansSection = false;
    while (clLignes.bSuivante(st)) {
        if (!bDansSection) {
            bDansSection = _bCommencePar(st.sv, sEntete);
            continue;
        }
        if (_bEntete(st.sv)) break;
        std::string_view svNom;
        if (!_bCleDeLigne(st.sv, svNom)) continue;
        if (pszKey == nullptr) {
            if (!fnTexte(_svJusquAuNul(svNom))) break;
            continue;
        }
        if (!_bLigneCle(st.sv, pszKey)) continue;
        std::string_view svValeur = st.sv.substr(st.sv.find('=') + 1);
        while (!svValeur.empty() && _bBlanc(svValeur[0])) svValeur.remove_prefix(1);
        while (!svValeur.empty() && svValeur.back() == '\r') svValeur.remove_suffix(1);
        fnTexte(_svJusquAuNul(svValeur));
        return true;
    }
    return false;
}

// Appends a name and CR LF when the whole fits with the terminator.
bool _bAjouteNom(std::string_view svNom, char* pszBuffer, int nSize, size_t& nLongueur) {
    if (nLongueur + svNom.size() + 2 >= static_cast<size_t>(nSize)) return false;
    memcpy(pszBuffer + nLongueur, svNom.data(), svNom.size());
    nLongueur += svNom.size();
    pszBuffer[nLongueur++] = '\r';
    pszBuffer[nLongueur++] = '\n';
    pszBuffer[nLongueur] = 0;
    return true;
}

size_t _nCopie(std::string_view sv, char* pszBuffer, int nSize) {
    size_t n = sv.size() < static_cast<size_t>(nSize - 1) ? sv.size() : static_cast<size_t>(nSize - 1);
    memcpy(pszBuffer, sv.data(), n);
    pszBuffer[n] = 0;
    return n;
}

void _FinDeLigne(std::string& s) {
    if (!s.empty() && s.back() != '\n') s += '\n';
}

bool _bCleEcrivible(std::string_view sv) {
    return !sv.empty() && !_bBlanc(sv.front()) && sv.front() != ':' && sv.front() != '[' &&
           !_bBlanc(sv.back()) && sv.find('=') == std::string_view::npos;
}

}  // namespace

int nLookup(std::string_view sTexte, const char* pszSection, const char* pszKey, const char* pszDefault,
            char* pszBuffer, int nSize) {
    pszBuffer[0] = 0;
    size_t nLongueur = 0;
    const bool bValeur = pszSection != nullptr && pszKey != nullptr;
    bool bCleTrouvee = _bParcours(sTexte, pszSection, pszKey, [&](std::string_view sv) {
        if (bValeur) {
            nLongueur = _nCopie(sv, pszBuffer, nSize);
            return false;
        }
        return _bAjouteNom(sv, pszBuffer, nSize, nLongueur);
    });
    if (nLongueur == 0 && !bCleTrouvee)
        nLongueur = _nCopie(pszDefault != nullptr ? pszDefault : "", pszBuffer, nSize);
    return static_cast<int>(nLongueur);
}

std::string Lookup(std::string_view sTexte, const char* pszSection, const char* pszKey, const char* pszDefault) {
    std::string s;
    const bool bValeur = pszSection != nullptr && pszKey != nullptr;
    bool bCleTrouvee = _bParcours(sTexte, pszSection, pszKey, [&](std::string_view sv) {
        s.append(sv);
        if (!bValeur) s += "\r\n";
        return true;
    });
    if (s.empty() && !bCleTrouvee && pszDefault != nullptr) s = pszDefault;
    return s;
}

bool bWritable(const char* pszSection, const char* pszKey, const char* pszValue) {
    // A line end would split the line and let the text inject its own
    // sections and keys.
    for (const char* psz : {pszSection, pszKey, pszValue})
        if (psz != nullptr && strpbrk(psz, "\r\n") != nullptr) return false;
    // A value without a section or a key would otherwise delete or do
    // nothing, and still be reported written.
    if (pszValue != nullptr && (pszSection == nullptr || pszKey == nullptr)) return false;
    // The section name read back ends at the first "]".
    if (pszSection != nullptr && strchr(pszSection, ']') != nullptr) return false;
    if (pszKey != nullptr && !_bCleEcrivible(pszKey)) return false;
    return pszValue == nullptr || !_bBlanc(pszValue[0]);
}

bool bEdit(std::string_view sTexte, const char* pszSection, const char* pszKey, const char* pszValue,
           std::string& sNouveau) {
    const std::string sEntete = std::string("[") + pszSection + "]";
    CLignes clLignes(sTexte, 0);
    STLigne st;
    bool bSection = false;
    size_t nEntete = 0;
    while (clLignes.bSuivante(st))
        if (_bCommencePar(st.sv, sEntete)) {
            bSection = true;
            nEntete = st.nDebut;
            break;
        }

    if (!bSection) {
        if (pszKey == nullptr) return false;
        sNouveau.assign(sTexte);
        // The new header must start a line of its own.
        _FinDeLigne(sNouveau);
        sNouveau += sEntete + "\n";
        if (pszValue != nullptr) sNouveau += std::string(pszKey) + " = " + pszValue + "\n";
        return true;
    }

    if (pszKey == nullptr) {
        size_t nFin = sTexte.size();
        while (clLignes.bSuivante(st))
            if (!st.sv.empty() && st.sv[0] == '[') {
                nFin = st.nDebut;
                break;
            }
        sNouveau.assign(sTexte.substr(0, nEntete));
        sNouveau.append(sTexte.substr(nFin));
        return true;
    }

    const std::string_view svCle = pszKey;
    size_t nInsertion = std::string_view::npos;
    bool bTrouvee = false;
    STLigne stCle;
    while (clLignes.bSuivante(st)) {
        if (_bEntete(st.sv)) {
            if (nInsertion == std::string_view::npos) nInsertion = st.nDebut;
            break;
        }
        if (nInsertion == std::string_view::npos && _bVide(st.sv)) nInsertion = st.nDebut;
        if (_bLigneCle(st.sv, svCle)) {
            bTrouvee = true;
            stCle = st;
            break;
        }
    }
    const std::string sLigne = pszValue != nullptr ? std::string(pszKey) + " = " + pszValue + "\n" : std::string();
    if (bTrouvee) {
        sNouveau.assign(sTexte.substr(0, stCle.nDebut));
        sNouveau += sLigne;
        sNouveau.append(sTexte.substr(stCle.nSuivante));
        return sNouveau != sTexte;
    }
    if (pszValue == nullptr) return false;
    if (nInsertion == std::string_view::npos) {
        sNouveau.assign(sTexte);
        _FinDeLigne(sNouveau);
        sNouveau += sLigne;
    } else {
        sNouveau.assign(sTexte.substr(0, nInsertion));
        sNouveau += sLigne;
        sNouveau.append(sTexte.substr(nInsertion));
    }
    return true;
}

}  // namespace profile_text
