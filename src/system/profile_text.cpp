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
        while (n < nFin && (m_sTexte[n] == ' ' || m_sTexte[n] == '\t')) ++n;
        st.sv = m_sTexte.substr(n, nFin - n);
        m_nPos = st.nSuivante;
        return true;
    }

private:
    std::string_view m_sTexte;
    size_t m_nPos;
};

inline char _Minuscule(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool _bCommencePar(std::string_view sv, std::string_view svDebut, bool bCasse) {
    if (sv.size() < svDebut.size()) return false;
    if (bCasse) return sv.compare(0, svDebut.size(), svDebut) == 0;
    for (size_t i = 0; i < svDebut.size(); ++i)
        if (_Minuscule(sv[i]) != _Minuscule(svDebut[i])) return false;
    return true;
}

bool _bEntete(std::string_view sv) { return !sv.empty() && sv[0] == '[' && sv.find(']') != std::string_view::npos; }
bool _bCommentaire(std::string_view sv) { return !sv.empty() && sv[0] == ':'; }
bool _bVide(std::string_view sv) { return sv.find_first_not_of(" \t\r") == std::string_view::npos; }

// The line sets the key: it begins with the key, followed by "=", a space
// or a tab, and it holds "=".
bool _bLigneCle(std::string_view sv, std::string_view svCle, bool bCasse) {
    if (_bCommentaire(sv) || sv.size() <= svCle.size() || !_bCommencePar(sv, svCle, bCasse)) return false;
    char c = sv[svCle.size()];
    return (c == '=' || c == ' ' || c == '\t') && sv.find('=') != std::string_view::npos;
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

int _nCopie(std::string_view sv, char* pszBuffer, int nSize) {
    size_t n = sv.size() < static_cast<size_t>(nSize - 1) ? sv.size() : static_cast<size_t>(nSize - 1);
    memcpy(pszBuffer, sv.data(), n);
    pszBuffer[n] = 0;
    // A NUL inside the file ends the text, as it would in any C reader.
    return static_cast<int>(strlen(pszBuffer));
}

void _FinDeLigne(std::string& s) {
    if (!s.empty() && s.back() != '\n') s += '\n';
}

}  // namespace

int nLookup(std::string_view sTexte, const char* pszSection, const char* pszKey, const char* pszDefault,
            char* pszBuffer, int nSize) {
    pszBuffer[0] = 0;
    size_t nLongueur = 0;
    bool bCleTrouvee = false;
    CLignes clLignes(sTexte, 0);
    STLigne st;
    if (pszSection == nullptr) {
        while (clLignes.bSuivante(st))
            if (_bEntete(st.sv) && !_bAjouteNom(st.sv.substr(1, st.sv.find(']') - 1), pszBuffer, nSize, nLongueur))
                break;
    } else {
        const std::string sEntete = std::string("[") + pszSection + "]";
        bool bDansSection = false;
        while (clLignes.bSuivante(st)) {
            if (!bDansSection) {
                bDansSection = _bCommencePar(st.sv, sEntete, false);
                continue;
            }
            if (_bEntete(st.sv)) break;
            size_t nEgal = st.sv.find('=');
            if (_bCommentaire(st.sv) || nEgal == std::string_view::npos) continue;
            if (pszKey != nullptr) {
                if (!_bLigneCle(st.sv, pszKey, false)) continue;
                std::string_view svValeur = st.sv.substr(nEgal + 1);
                while (!svValeur.empty() && (svValeur[0] == ' ' || svValeur[0] == '\t')) svValeur.remove_prefix(1);
                while (!svValeur.empty() && svValeur.back() == '\r') svValeur.remove_suffix(1);
                nLongueur = static_cast<size_t>(_nCopie(svValeur, pszBuffer, nSize));
                bCleTrouvee = true;
                break;
            }
            std::string_view svNom = st.sv.substr(0, nEgal);
            while (!svNom.empty() && (svNom.back() == ' ' || svNom.back() == '\t')) svNom.remove_suffix(1);
            if (!_bAjouteNom(svNom, pszBuffer, nSize, nLongueur)) break;
        }
    }
    if (nLongueur == 0 && !bCleTrouvee)
        return _nCopie(pszDefault != nullptr ? pszDefault : "", pszBuffer, nSize);
    return static_cast<int>(strlen(pszBuffer));
}

bool bEdit(std::string_view sTexte, const char* pszSection, const char* pszKey, const char* pszValue,
           std::string& sNouveau) {
    const std::string sEntete = std::string("[") + pszSection + "]";
    CLignes clLignes(sTexte, 0);
    STLigne st;
    bool bSection = false;
    size_t nEntete = 0;
    while (clLignes.bSuivante(st))
        if (_bCommencePar(st.sv, sEntete, true)) {
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
        if (_bLigneCle(st.sv, svCle, true)) {
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
