// Parser and node builder of regexp_automate.h. The parse follows the
// C library's own rules for our syntax bits, including its quirks ("*" at
// the start of a branch is a character, "^" is an assertion only at the
// start of a branch, "$" only at its end, "{" that does not open a valid
// interval is an error); intervals are written out as the library writes
// them, so that node numbers, and hence the order in which alternatives are
// tried, are the library's. Work is counted as the tree grows, so that a
// pattern that would be too large is refused before it is built; the size of
// the finished automaton is estimated by regexp_taille.cpp.
#include "misc/regexp_automate.h"

#include <regex.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "misc/regexp.h"

namespace regexp {

namespace {

// Tree nodes mirror the library's parse tree.
enum class EArbre : uint8_t { Caractere, Ensemble, Point, Renvoi, Ancre, Fin, Concat, Alterne, Etoile, Groupe, Ouvre, Ferme };

struct STArbre {
    int32_t nGauche = -1, nDroite = -1, nParent = -1;
    int32_t nPremier = -1, nSuivant = -1, nNoeud = -1;
    EArbre eType = EArbre::Fin;
    uint8_t byCar = 0;
    bool bOptionnel = false;
    bool bDuplique = false;
    int32_t nValeur = 0;
};

// Tokens of the parser.
enum class EJeton : uint8_t {
    FinRE, Caractere, AntislashFinal, Alterne, Etoile, Plus, Question, OuvreNombre, FermeNombre, OuvreGroupe,
    FermeGroupe, Crochet, Point, Ancre, Renvoi, Mot, NonMot, Espace, NonEspace
};

struct STJeton {
    EJeton eType = EJeton::FinRE;
    uint8_t byCar = 0;
    int32_t nValeur = 0;
    int nLongueur = 0;
};

// Assertions as the parser names them.
constexpr uint16_t k_wDebutMot = AVANT_NON_MOT | APRES_MOT;
constexpr uint16_t k_wFinMot = AVANT_MOT | APRES_NON_MOT;
constexpr uint16_t k_wDansMot = AVANT_MOT | APRES_MOT;
constexpr uint16_t k_wHorsMot = AVANT_NON_MOT | APRES_NON_MOT;
constexpr int32_t k_nLimiteMot = 0x100;      // \b, split in two by the parser
constexpr int32_t k_nLimiteNonMot = 0x200;   // \B

constexpr int k_nRepetitionMax = 0x7fff;

// The tree may hold this many nodes (32 MB): past it the compiled form is
// beyond k_nTailleMax anyway.
constexpr size_t k_nArbreMax = size_t(1) << (20 - k_nBornesDecalage);
// Each distinct bracket expression is compiled alone by the library.
constexpr size_t k_nEnsemblesMax = 4096;

class CAnalyseur {
public:
    CAnalyseur(CAutomate& clA, const unsigned char* p, size_t n) : m_clA(clA), m_p(p), m_n(n) {}

    EAnalyse eAnalyse();

private:
    // --- tokens -----------------------------------------------------------
    STJeton _stCaractere(size_t nPos) const;
    STJeton _stLit(size_t nPos, bool bCaretIci) const;
    void _Suivant(bool bCaretIci = false) {
        m_stJeton = _stLit(m_nPos, bCaretIci);
        m_nPos += size_t(m_stJeton.nLongueur);
    }

    // --- tree -------------------------------------------------------------
    int32_t _nCree(EArbre e, int32_t nGauche, int32_t nDroite);
    int32_t _nFeuille(EArbre e, uint8_t byCar, int32_t nValeur);
    int32_t _nDuplique(int32_t nRacine);
    void _MarqueOptionnel(int32_t nRacine, int32_t nGroupe);
    bool _bEchec(EAnalyse e) {
        if (m_eEchec == EAnalyse::Ok) m_eEchec = e;
        return false;
    }
    bool _bEnEchec() const { return m_eEchec != EAnalyse::Ok; }

    // --- grammar ----------------------------------------------------------
    int32_t _nExpressionReguliere(int nImbrication);
    int32_t _nBranche(int nImbrication);
    int32_t _nExpression(int nImbrication);
    int32_t _nGroupe(int nImbrication);
    int32_t _nRepetition(int32_t nElement);
    int32_t _nNombre();
    int32_t _nCrochets();
    bool _bElementCrochet(const STJeton& st);
    STJeton _stLitCrochet(size_t nPos) const;
    int32_t _nEnsemble(const std::string& sCrochets);

    // --- analysis ---------------------------------------------------------
    template <typename F>
    void _Prefixe(int32_t nRacine, F fn);
    template <typename F>
    void _Suffixe(int32_t nRacine, F fn);
    void _OptimiseGroupes(int32_t nRacine);
    void _AbaisseGroupes(int32_t nRacine);
    int32_t _nAbaisse(int32_t nGroupe);
    void _CreeNoeuds(int32_t nRacine);
    void _CalculeLongueurs(int32_t nRacine);

    CAutomate& m_clA;
    const unsigned char* m_p;
    size_t m_n;
    size_t m_nPos = 0;
    STJeton m_stJeton;
    std::vector<STArbre> m_tab;
    EAnalyse m_eEchec = EAnalyse::Ok;
    uint32_t m_dwGroupesFinis = 0;   // groups 1 to 9 closed so far (back-references)
    std::map<std::string, int32_t> m_mapEnsembles;
};

// --- tokens -------------------------------------------------------------------

// A plain character at nPos, or the end of the pattern.
STJeton CAnalyseur::_stCaractere(size_t nPos) const {
    STJeton st;
    if (nPos >= m_n) return st;
    st.byCar = m_p[nPos];
    st.nLongueur = 1;
    st.eType = EJeton::Caractere;
    return st;
}

STJeton CAnalyseur::_stLit(size_t nPos, bool bCaretIci) const {
    STJeton st = _stCaractere(nPos);
    if (st.eType == EJeton::FinRE) return st;
    const uint8_t c = st.byCar;
    if (c == '\\') {
        if (nPos + 1 >= m_n) {
            st.eType = EJeton::AntislashFinal;
            return st;
        }
        const uint8_t c2 = m_p[nPos + 1];
        st.byCar = c2;
        st.nLongueur = 2;
        switch (c2) {
            case '1': case '2': case '3': case '4': case '5': case '6': case '7': case '8': case '9':
                st.eType = EJeton::Renvoi;
                st.nValeur = c2 - '1';
                break;
            case '<': st.eType = EJeton::Ancre; st.nValeur = k_wDebutMot; break;
            case '>': st.eType = EJeton::Ancre; st.nValeur = k_wFinMot; break;
            case 'b': st.eType = EJeton::Ancre; st.nValeur = k_nLimiteMot; break;
            case 'B': st.eType = EJeton::Ancre; st.nValeur = k_nLimiteNonMot; break;
            case '`': st.eType = EJeton::Ancre; st.nValeur = AVANT_DEBUT; break;
            case '\'': st.eType = EJeton::Ancre; st.nValeur = APRES_FIN; break;
            case 'w': st.eType = EJeton::Mot; break;
            case 'W': st.eType = EJeton::NonMot; break;
            case 's': st.eType = EJeton::Espace; break;
            case 'S': st.eType = EJeton::NonEspace; break;
            default: break;   // any other escaped character stands for itself
        }
        return st;
    }
    switch (c) {
        case '|': st.eType = EJeton::Alterne; break;
        case '*': st.eType = EJeton::Etoile; break;
        case '+': st.eType = EJeton::Plus; break;
        case '?': st.eType = EJeton::Question; break;
        case '{': st.eType = EJeton::OuvreNombre; break;
        case '}': st.eType = EJeton::FermeNombre; break;
        case '(': st.eType = EJeton::OuvreGroupe; break;
        case ')': st.eType = EJeton::FermeGroupe; break;
        case '[': st.eType = EJeton::Crochet; break;
        case '.': st.eType = EJeton::Point; break;
        case '^':
            if (bCaretIci || nPos == 0) {
                st.eType = EJeton::Ancre;
                st.nValeur = AVANT_LIGNE;
            }
            break;
        case '$':
            if (nPos + 1 != m_n) {
                const STJeton stApres = _stLit(nPos + 1, bCaretIci);
                if (stApres.eType != EJeton::Alterne && stApres.eType != EJeton::FermeGroupe) break;
            }
            st.eType = EJeton::Ancre;
            st.nValeur = APRES_LIGNE;
            break;
        default: break;
    }
    return st;
}

// --- tree -----------------------------------------------------------------------

int32_t CAnalyseur::_nCree(EArbre e, int32_t nGauche, int32_t nDroite) {
    if (m_tab.size() >= k_nArbreMax) {
        _bEchec(EAnalyse::TropGrand);
        return -1;
    }
    STArbre st;
    st.eType = e;
    st.nGauche = nGauche;
    st.nDroite = nDroite;
    m_tab.push_back(st);
    const int32_t n = int32_t(m_tab.size() - 1);
    if (nGauche >= 0) m_tab[size_t(nGauche)].nParent = n;
    if (nDroite >= 0) m_tab[size_t(nDroite)].nParent = n;
    return n;
}

int32_t CAnalyseur::_nFeuille(EArbre e, uint8_t byCar, int32_t nValeur) {
    const int32_t n = _nCree(e, -1, -1);
    if (n < 0) return -1;
    m_tab[size_t(n)].byCar = byCar;
    m_tab[size_t(n)].nValeur = nValeur;
    return n;
}

// A copy of a subtree; copies are never optional themselves.
int32_t CAnalyseur::_nDuplique(int32_t nRacine) {
    struct STTache {
        int32_t nSource, nParentCopie;
        bool bGauche;
    };
    std::vector<STTache> tabPile{{nRacine, -1, true}};
    int32_t nCopie = -1;
    while (!tabPile.empty()) {
        const STTache st = tabPile.back();
        tabPile.pop_back();
        const int32_t n = _nCree(EArbre::Fin, -1, -1);
        if (n < 0) return -1;
        STArbre& stCopie = m_tab[size_t(n)];
        const STArbre& stSource = m_tab[size_t(st.nSource)];
        stCopie.eType = stSource.eType;
        stCopie.byCar = stSource.byCar;
        stCopie.nValeur = stSource.nValeur;
        stCopie.bDuplique = true;
        stCopie.nParent = st.nParentCopie;
        if (st.nParentCopie < 0)
            nCopie = n;
        else if (st.bGauche)
            m_tab[size_t(st.nParentCopie)].nGauche = n;
        else
            m_tab[size_t(st.nParentCopie)].nDroite = n;
        if (stSource.nDroite >= 0) tabPile.push_back({stSource.nDroite, n, false});
        if (stSource.nGauche >= 0) tabPile.push_back({stSource.nGauche, n, true});
    }
    return nCopie;
}

void CAnalyseur::_MarqueOptionnel(int32_t nRacine, int32_t nGroupe) {
    _Suffixe(nRacine, [&](int32_t n) {
        STArbre& st = m_tab[size_t(n)];
        if (st.eType == EArbre::Groupe && st.nValeur == nGroupe) st.bOptionnel = true;
    });
}

// --- grammar ------------------------------------------------------------------

int32_t CAnalyseur::_nExpressionReguliere(int nImbrication) {
    const uint32_t dwInitial = m_dwGroupesFinis;
    int32_t nArbre = _nBranche(nImbrication);
    if (_bEnEchec()) return -1;
    while (m_stJeton.eType == EJeton::Alterne) {
        _Suivant(true);
        int32_t nBranche = -1;
        if (m_stJeton.eType != EJeton::Alterne && m_stJeton.eType != EJeton::FinRE &&
            (nImbrication == 0 || m_stJeton.eType != EJeton::FermeGroupe)) {
            // A back-reference may only name a group of its own branch.
            const uint32_t dwCumul = m_dwGroupesFinis;
            m_dwGroupesFinis = dwInitial;
            nBranche = _nBranche(nImbrication);
            if (_bEnEchec()) return -1;
            m_dwGroupesFinis |= dwCumul;
        }
        nArbre = _nCree(EArbre::Alterne, nArbre, nBranche);
        if (nArbre < 0) return -1;
    }
    return nArbre;
}

int32_t CAnalyseur::_nBranche(int nImbrication) {
    int32_t nArbre = _nExpression(nImbrication);
    if (_bEnEchec()) return -1;
    while (m_stJeton.eType != EJeton::Alterne && m_stJeton.eType != EJeton::FinRE &&
           (nImbrication == 0 || m_stJeton.eType != EJeton::FermeGroupe)) {
        const int32_t nExpr = _nExpression(nImbrication);
        if (_bEnEchec()) return -1;
        if (nArbre >= 0 && nExpr >= 0) {
            nArbre = _nCree(EArbre::Concat, nArbre, nExpr);
            if (nArbre < 0) return -1;
        } else if (nArbre < 0) {
            nArbre = nExpr;
        }
    }
    return nArbre;
}

int32_t CAnalyseur::_nExpression(int nImbrication) {
    int32_t nArbre = -1;
    switch (m_stJeton.eType) {
        case EJeton::Caractere:
            nArbre = _nFeuille(EArbre::Caractere, m_stJeton.byCar, 0);
            break;
        case EJeton::OuvreGroupe:
            nArbre = _nGroupe(nImbrication + 1);
            break;
        case EJeton::Crochet:
            nArbre = _nCrochets();
            break;
        case EJeton::Renvoi:
            if ((m_dwGroupesFinis & (1u << m_stJeton.nValeur)) == 0) return _bEchec(EAnalyse::Invalide), -1;
            nArbre = _nFeuille(EArbre::Renvoi, 0, m_stJeton.nValeur);
            ++m_clA.m_nRenvois;
            break;
        // A repetition with nothing to repeat, or a closing bracket or
        // parenthesis of its own, is an ordinary character.
        case EJeton::OuvreNombre:
        case EJeton::Etoile:
        case EJeton::Plus:
        case EJeton::Question:
        case EJeton::FermeGroupe:
        case EJeton::FermeNombre:
            nArbre = _nFeuille(EArbre::Caractere, m_stJeton.byCar, 0);
            break;
        case EJeton::Ancre: {
            const int32_t nCtx = m_stJeton.nValeur;
            if (nCtx == k_nLimiteMot || nCtx == k_nLimiteNonMot || nCtx == k_wDebutMot || nCtx == k_wFinMot)
                m_clA.m_bMots = true;
            if (nCtx == k_nLimiteMot || nCtx == k_nLimiteNonMot) {
                const bool bLimite = nCtx == k_nLimiteMot;
                const int32_t n1 = _nFeuille(EArbre::Ancre, 0, bLimite ? k_wDebutMot : k_wDansMot);
                const int32_t n2 = _nFeuille(EArbre::Ancre, 0, bLimite ? k_wFinMot : k_wHorsMot);
                nArbre = n1 < 0 || n2 < 0 ? -1 : _nCree(EArbre::Alterne, n1, n2);
            } else {
                nArbre = _nFeuille(EArbre::Ancre, 0, nCtx);
            }
            if (nArbre < 0) return -1;
            // An assertion is never repeated: "^*" is "^" then "*".
            _Suivant();
            return nArbre;
        }
        case EJeton::Point:
            nArbre = _nFeuille(EArbre::Point, 0, 0);
            break;
        case EJeton::Mot:
        case EJeton::NonMot:
            nArbre = _nFeuille(EArbre::Ensemble, 0,
                               _nEnsemble(m_stJeton.eType == EJeton::Mot ? "[[:alnum:]_]" : "[^[:alnum:]_]"));
            break;
        case EJeton::Espace:
        case EJeton::NonEspace:
            nArbre = _nFeuille(EArbre::Ensemble, 0,
                               _nEnsemble(m_stJeton.eType == EJeton::Espace ? "[[:space:]]" : "[^[:space:]]"));
            break;
        case EJeton::Alterne:
        case EJeton::FinRE:
            return -1;
        case EJeton::AntislashFinal:
            return _bEchec(EAnalyse::Invalide), -1;
    }
    if (_bEnEchec()) return -1;
    _Suivant();
    while (m_stJeton.eType == EJeton::Etoile || m_stJeton.eType == EJeton::Plus ||
           m_stJeton.eType == EJeton::Question || m_stJeton.eType == EJeton::OuvreNombre) {
        nArbre = _nRepetition(nArbre);
        if (_bEnEchec()) return -1;
    }
    return nArbre;
}

int32_t CAnalyseur::_nGroupe(int nImbrication) {
    if (nImbrication > k_nImbricationMax) return _bEchec(EAnalyse::TropGrand), -1;
    const int32_t nGroupe = m_clA.m_nGroupes++;
    _Suivant(true);
    int32_t nCorps = -1;
    if (m_stJeton.eType != EJeton::FermeGroupe) {
        nCorps = _nExpressionReguliere(nImbrication);
        if (_bEnEchec()) return -1;
        if (m_stJeton.eType != EJeton::FermeGroupe) return _bEchec(EAnalyse::Invalide), -1;
    }
    if (nGroupe <= 8) m_dwGroupesFinis |= 1u << nGroupe;
    const int32_t n = _nCree(EArbre::Groupe, nCorps, -1);
    if (n >= 0) m_tab[size_t(n)].nValeur = nGroupe;
    return n;
}

// The number of an interval: -1 when there is none, -2 when it is not a
// number; saturates one past the largest repetition.
int32_t CAnalyseur::_nNombre() {
    int32_t n = -1;
    for (;;) {
        _Suivant();
        const uint8_t c = m_stJeton.byCar;
        if (m_stJeton.eType == EJeton::FinRE) return -2;
        if (m_stJeton.eType == EJeton::FermeNombre || c == ',') break;
        if (m_stJeton.eType != EJeton::Caractere || c < '0' || c > '9' || n == -2)
            n = -2;
        else if (n == -1)
            n = c - '0';
        else
            n = std::min(k_nRepetitionMax + 1, n * 10 + c - '0');
    }
    return n;
}

// "e{n,m}" becomes n copies of e, then m - n optional copies nested as
// ((e e?)? e)?..., exactly as the library writes it out.
int32_t CAnalyseur::_nRepetition(int32_t nElement) {
    int32_t nDebut, nFin;
    if (m_stJeton.eType == EJeton::OuvreNombre) {
        nFin = 0;
        nDebut = _nNombre();
        if (nDebut == -1) {
            if (m_stJeton.eType == EJeton::Caractere && m_stJeton.byCar == ',')
                nDebut = 0;   // "{,m}" is "{0,m}"
            else
                return _bEchec(EAnalyse::Invalide), -1;
        }
        if (nDebut != -2) {
            nFin = m_stJeton.eType == EJeton::FermeNombre ? nDebut
                   : (m_stJeton.eType == EJeton::Caractere && m_stJeton.byCar == ',') ? _nNombre()
                                                                                         : -2;
        }
        if (nDebut == -2 || nFin == -2) return _bEchec(EAnalyse::Invalide), -1;
        if ((nFin != -1 && nDebut > nFin) || m_stJeton.eType != EJeton::FermeNombre)
            return _bEchec(EAnalyse::Invalide), -1;
        if ((nFin == -1 ? nDebut : nFin) > k_nRepetitionMax) return _bEchec(EAnalyse::Invalide), -1;
    } else {
        nDebut = m_stJeton.eType == EJeton::Plus ? 1 : 0;
        nFin = m_stJeton.eType == EJeton::Question ? 1 : -1;
    }
    _Suivant();
    if (nElement < 0) return -1;
    if (nDebut == 0 && nFin == 0) return -1;
    // The copies are counted before they are made.
    int64_t nTailleElement = 0;
    _Suffixe(nElement, [&](int32_t) { ++nTailleElement; });
    const int64_t nCopies = (nFin == -1 ? nDebut + 1 : nFin);
    if (int64_t(m_tab.size()) + nCopies * (nTailleElement + 2) > int64_t(k_nArbreMax))
        return _bEchec(EAnalyse::TropGrand), -1;

    int32_t nArbre = -1, nAncien = -1;
    int32_t nCopie = nElement;
    if (nDebut > 0) {
        nArbre = nElement;
        for (int32_t i = 2; i <= nDebut; ++i) {
            nCopie = _nDuplique(nCopie);
            if (nCopie < 0) return -1;
            nArbre = _nCree(EArbre::Concat, nArbre, nCopie);
            if (nArbre < 0) return -1;
        }
        if (nDebut == nFin) return nArbre;
        nCopie = _nDuplique(nCopie);
        if (nCopie < 0) return -1;
        nAncien = nArbre;
    }
    if (m_tab[size_t(nCopie)].eType == EArbre::Groupe) _MarqueOptionnel(nCopie, m_tab[size_t(nCopie)].nValeur);
    nArbre = _nCree(nFin == -1 ? EArbre::Etoile : EArbre::Alterne, nCopie, -1);
    if (nArbre < 0) return -1;
    for (int32_t i = nDebut + 2; i <= nFin; ++i) {
        nCopie = _nDuplique(nCopie);
        if (nCopie < 0) return -1;
        nArbre = _nCree(EArbre::Concat, nArbre, nCopie);
        if (nArbre < 0) return -1;
        nArbre = _nCree(EArbre::Alterne, nArbre, -1);
        if (nArbre < 0) return -1;
    }
    if (nAncien >= 0) nArbre = _nCree(EArbre::Concat, nAncien, nArbre);
    return nArbre;
}

STJeton CAnalyseur::_stLitCrochet(size_t nPos) const {
    STJeton st = _stCaractere(nPos);
    if (st.eType == EJeton::FinRE) return st;
    const uint8_t c = st.byCar;
    if (c == '[') {
        const uint8_t c2 = nPos + 1 < m_n ? m_p[nPos + 1] : 0;
        if (c2 == '.' || c2 == '=' || c2 == ':') {
            st.eType = EJeton::Crochet;   // opens [. [= or [:
            st.byCar = c2;
            st.nLongueur = 2;
        }
        return st;
    }
    if (c == '-') st.eType = EJeton::Plus;              // range
    if (c == ']') st.eType = EJeton::FermeNombre;       // closing bracket
    if (c == '^') st.eType = EJeton::Question;          // negation
    return st;
}

// One element of a bracket expression, already peeked in st; false on error.
bool CAnalyseur::_bElementCrochet(const STJeton& st) {
    m_nPos += size_t(st.nLongueur);
    if (st.eType != EJeton::Crochet) return true;
    // [.x.], [=x=] or [:name:]: up to the closing delimiter and bracket.
    if (m_nPos >= m_n) return false;
    for (int i = 0;; ++i) {
        if (i >= 32) return false;
        const uint8_t c = m_p[m_nPos++];
        if (m_nPos >= m_n) return false;
        if (c == st.byCar && m_p[m_nPos] == ']') break;
    }
    ++m_nPos;
    return true;
}

// A bracket expression: its extent is found here, its set of characters
// is the library's own (see _nEnsemble).
int32_t CAnalyseur::_nCrochets() {
    const size_t nOuvre = m_nPos - 1;
    STJeton st = _stLitCrochet(m_nPos);
    if (st.eType == EJeton::FinRE) return _bEchec(EAnalyse::Invalide), -1;
    if (st.eType == EJeton::Question) {
        m_nPos += size_t(st.nLongueur);
        st = _stLitCrochet(m_nPos);
        if (st.eType == EJeton::FinRE) return _bEchec(EAnalyse::Invalide), -1;
    }
    if (st.eType == EJeton::FermeNombre) st.eType = EJeton::Caractere;   // a first "]" is a character
    bool bPremier = true;
    for (;;) {
        const bool bClasse = st.eType == EJeton::Crochet && (st.byCar == ':' || st.byCar == '=');
        if (st.eType == EJeton::Plus && !bPremier && _stLitCrochet(m_nPos + 1).eType != EJeton::FermeNombre)
            return _bEchec(EAnalyse::Invalide), -1;
        if (!_bElementCrochet(st)) return _bEchec(EAnalyse::Invalide), -1;
        bPremier = false;
        st = _stLitCrochet(m_nPos);
        if (!bClasse) {
            if (st.eType == EJeton::FinRE) return _bEchec(EAnalyse::Invalide), -1;
            if (st.eType == EJeton::Plus) {
                m_nPos += size_t(st.nLongueur);
                const STJeton st2 = _stLitCrochet(m_nPos);
                if (st2.eType == EJeton::FinRE) return _bEchec(EAnalyse::Invalide), -1;
                if (st2.eType == EJeton::FermeNombre) {
                    m_nPos -= size_t(st.nLongueur);   // a last "-" is a character
                    st.eType = EJeton::Caractere;
                } else {
                    STJeton stFin = st2;
                    if (stFin.eType == EJeton::Plus) stFin.eType = EJeton::Caractere;   // may end a range
                    if (!_bElementCrochet(stFin)) return _bEchec(EAnalyse::Invalide), -1;
                    st = _stLitCrochet(m_nPos);
                }
            }
        }
        if (st.eType == EJeton::FinRE) return _bEchec(EAnalyse::Invalide), -1;
        if (st.eType == EJeton::FermeNombre) break;
    }
    m_nPos += size_t(st.nLongueur);
    const std::string sCrochets(reinterpret_cast<const char*>(m_p + nOuvre), m_nPos - nOuvre);
    const int32_t nEnsemble = _nEnsemble(sCrochets);
    if (_bEnEchec()) return -1;
    return _nFeuille(EArbre::Ensemble, 0, nEnsemble);
}

// The characters a bracket expression stands for, from the C library:
// compiled alone, its first-character map is exactly its set in a
// single-byte locale.
int32_t CAnalyseur::_nEnsemble(const std::string& sCrochets) {
    auto it = m_mapEnsembles.find(sCrochets);
    if (it != m_mapEnsembles.end()) return it->second;
    if (m_mapEnsembles.size() >= k_nEnsemblesMax) return _bEchec(EAnalyse::TropGrand), 0;
    re_pattern_buffer stMotif;
    std::memset(&stMotif, 0, sizeof stMotif);
    stMotif.fastmap = static_cast<char*>(std::malloc(256));
    if (stMotif.fastmap == nullptr) return _bEchec(EAnalyse::TropGrand), 0;
    re_set_syntax(CRegExpBase::SYNTAXE);
    std::array<uint64_t, 4> aEnsemble{};
    const bool bOk = re_compile_pattern(sCrochets.data(), sCrochets.size(), &stMotif) == nullptr &&
                     re_compile_fastmap(&stMotif) == 0;
    if (bOk) {
        for (int c = 0; c < 256; ++c)
            if (stMotif.fastmap[c]) aEnsemble[size_t(c >> 6)] |= uint64_t(1) << (c & 63);
    }
    regfree(&stMotif);
    if (!bOk) return _bEchec(EAnalyse::Invalide), 0;
    m_clA.m_tabEnsembles.push_back(aEnsemble);
    const int32_t n = int32_t(m_clA.m_tabEnsembles.size() - 1);
    m_mapEnsembles.emplace(sCrochets, n);
    return n;
}

// --- traversals (iterative: trees may be as deep as patterns are long) ---------

template <typename F>
void CAnalyseur::_Prefixe(int32_t nRacine, F fn) {
    int32_t n = nRacine;
    for (;;) {
        fn(n);
        if (m_tab[size_t(n)].nGauche >= 0) {
            n = m_tab[size_t(n)].nGauche;
            continue;
        }
        int32_t nPrec = -1;
        while (m_tab[size_t(n)].nDroite == nPrec || m_tab[size_t(n)].nDroite < 0) {
            nPrec = n;
            if (n == nRacine) return;
            n = m_tab[size_t(n)].nParent;
        }
        n = m_tab[size_t(n)].nDroite;
    }
}

template <typename F>
void CAnalyseur::_Suffixe(int32_t nRacine, F fn) {
    int32_t n = nRacine;
    for (;;) {
        while (m_tab[size_t(n)].nGauche >= 0 || m_tab[size_t(n)].nDroite >= 0)
            n = m_tab[size_t(n)].nGauche >= 0 ? m_tab[size_t(n)].nGauche : m_tab[size_t(n)].nDroite;
        int32_t nPrec;
        do {
            fn(n);
            if (n == nRacine) return;
            nPrec = n;
            n = m_tab[size_t(n)].nParent;
        } while (m_tab[size_t(n)].nDroite == nPrec || m_tab[size_t(n)].nDroite < 0);
        n = m_tab[size_t(n)].nDroite;
    }
}

// "((x))": the outer group takes the inner one's place; the inner group's
// registers are copied from the outer one after a match.
void CAnalyseur::_OptimiseGroupes(int32_t nRacine) {
    if (m_clA.m_nGroupes == 0) return;
    std::vector<int32_t>& tab = m_clA.m_tabCorrespondance;
    tab.resize(size_t(m_clA.m_nGroupes));
    for (int i = 0; i < m_clA.m_nGroupes; ++i) tab[size_t(i)] = i;
    _Prefixe(nRacine, [&](int32_t n) {
        STArbre& st = m_tab[size_t(n)];
        if (st.eType == EArbre::Renvoi) {
            st.nValeur = tab[size_t(st.nValeur)];
        } else if (st.eType == EArbre::Groupe && st.nGauche >= 0 &&
                   m_tab[size_t(st.nGauche)].eType == EArbre::Groupe) {
            const int32_t nAutre = m_tab[size_t(st.nGauche)].nValeur;
            st.nGauche = m_tab[size_t(st.nGauche)].nGauche;
            if (st.nGauche >= 0) m_tab[size_t(st.nGauche)].nParent = n;
            tab[size_t(nAutre)] = tab[size_t(st.nValeur)];
        }
    });
    bool bIdentite = true;
    for (int i = 0; i < m_clA.m_nGroupes; ++i) bIdentite = bIdentite && tab[size_t(i)] == i;
    if (bIdentite) tab.clear();
}

int32_t CAnalyseur::_nAbaisse(int32_t nGroupe) {
    const STArbre stGroupe = m_tab[size_t(nGroupe)];
    const int32_t nOuvre = _nCree(EArbre::Ouvre, -1, -1);
    const int32_t nFerme = _nCree(EArbre::Ferme, -1, -1);
    if (nOuvre < 0 || nFerme < 0) return -1;
    const int32_t nCorps = stGroupe.nGauche >= 0 ? _nCree(EArbre::Concat, stGroupe.nGauche, nFerme) : nFerme;
    if (nCorps < 0) return -1;
    const int32_t n = _nCree(EArbre::Concat, nOuvre, nCorps);
    if (n < 0) return -1;
    for (int32_t nBord : {nOuvre, nFerme}) {
        m_tab[size_t(nBord)].nValeur = stGroupe.nValeur;
        m_tab[size_t(nBord)].bOptionnel = stGroupe.bOptionnel;
    }
    return n;
}

// Each group becomes open, body, close.
void CAnalyseur::_AbaisseGroupes(int32_t nRacine) {
    _Suffixe(nRacine, [&](int32_t n) {
        if (_bEnEchec()) return;
        for (bool bGauche : {true, false}) {
            const int32_t nFils = bGauche ? m_tab[size_t(n)].nGauche : m_tab[size_t(n)].nDroite;
            if (nFils < 0 || m_tab[size_t(nFils)].eType != EArbre::Groupe) continue;
            const int32_t nNouveau = _nAbaisse(nFils);
            if (nNouveau < 0) return;
            (bGauche ? m_tab[size_t(n)].nGauche : m_tab[size_t(n)].nDroite) = nNouveau;
            m_tab[size_t(nNouveau)].nParent = n;
        }
    });
}

// Numbers the nodes in the library's order, then links each to what
// follows it.
void CAnalyseur::_CreeNoeuds(int32_t nRacine) {
    std::vector<STNoeud>& tabNoeuds = m_clA.m_tabNoeuds;
    _Suffixe(nRacine, [&](int32_t n) {
        STArbre& st = m_tab[size_t(n)];
        if (st.eType == EArbre::Concat) {
            st.nPremier = m_tab[size_t(st.nGauche)].nPremier;
            st.nNoeud = m_tab[size_t(st.nGauche)].nNoeud;
            return;
        }
        st.nPremier = n;
        STNoeud stN;
        switch (st.eType) {
            case EArbre::Caractere: stN.eType = ENoeud::Caractere; break;
            case EArbre::Ensemble: stN.eType = ENoeud::Ensemble; break;
            case EArbre::Point: stN.eType = ENoeud::Point; break;
            case EArbre::Renvoi: stN.eType = ENoeud::Renvoi; break;
            case EArbre::Ancre: stN.eType = ENoeud::Ancre; break;
            case EArbre::Fin: stN.eType = ENoeud::Fin; break;
            case EArbre::Alterne: stN.eType = ENoeud::Alterne; break;
            case EArbre::Etoile: stN.eType = ENoeud::Etoile; break;
            case EArbre::Ouvre: stN.eType = ENoeud::Ouvre; break;
            case EArbre::Ferme: stN.eType = ENoeud::Ferme; break;
            case EArbre::Concat:
            case EArbre::Groupe: break;
        }
        stN.byCar = st.byCar;
        stN.nValeur = st.nValeur;
        stN.bOptionnel = st.bOptionnel;
        stN.bDuplique = st.bDuplique;
        if (st.eType == EArbre::Ancre) stN.wContrainte = uint16_t(st.nValeur);
        tabNoeuds.push_back(stN);
        st.nNoeud = int32_t(tabNoeuds.size() - 1);
    });
    _Prefixe(nRacine, [&](int32_t n) {
        const STArbre& st = m_tab[size_t(n)];
        if (st.eType == EArbre::Etoile) {
            m_tab[size_t(st.nGauche)].nSuivant = n;
        } else if (st.eType == EArbre::Concat) {
            m_tab[size_t(st.nGauche)].nSuivant = m_tab[size_t(st.nDroite)].nPremier;
            m_tab[size_t(st.nDroite)].nSuivant = st.nSuivant;
        } else {
            if (st.nGauche >= 0) m_tab[size_t(st.nGauche)].nSuivant = st.nSuivant;
            if (st.nDroite >= 0) m_tab[size_t(st.nDroite)].nSuivant = st.nSuivant;
        }
    });
    auto noeudDe = [&](int32_t nArbre) { return m_tab[size_t(m_tab[size_t(nArbre)].nPremier)].nNoeud; };
    _Prefixe(nRacine, [&](int32_t n) {
        const STArbre& st = m_tab[size_t(n)];
        if (st.eType == EArbre::Concat || st.eType == EArbre::Fin) return;
        STNoeud& stN = tabNoeuds[size_t(st.nNoeud)];
        switch (st.eType) {
            case EArbre::Alterne:
            case EArbre::Etoile: {
                m_clA.m_bPluriel = true;
                const int32_t nG = st.nGauche >= 0 ? noeudDe(st.nGauche) : m_tab[size_t(st.nSuivant)].nNoeud;
                const int32_t nD = st.nDroite >= 0 ? noeudDe(st.nDroite) : m_tab[size_t(st.nSuivant)].nNoeud;
                stN.anDest[0] = std::min(nG, nD);
                stN.anDest[1] = std::max(nG, nD);
                stN.nDest = nG == nD ? 1 : 2;
                break;
            }
            case EArbre::Ancre:
            case EArbre::Ouvre:
            case EArbre::Ferme:
                stN.anDest[0] = m_tab[size_t(st.nSuivant)].nNoeud;
                stN.nDest = 1;
                break;
            case EArbre::Renvoi:
                stN.nSuivant = m_tab[size_t(st.nSuivant)].nNoeud;
                stN.anDest[0] = stN.nSuivant;
                stN.nDest = 1;
                break;
            default:
                stN.nSuivant = m_tab[size_t(st.nSuivant)].nNoeud;
                break;
        }
    });
    m_clA.m_nInitial = m_tab[size_t(m_tab[size_t(nRacine)].nPremier)].nNoeud;
}

// Shortest and longest text of each group, for the back-reference matcher.
void CAnalyseur::_CalculeLongueurs(int32_t nRacine) {
    constexpr int64_t k_nInfini = -1;
    const size_t nGroupes = size_t(m_clA.m_nGroupes);
    m_clA.m_tabLongueurMin.assign(nGroupes, 0);
    m_clA.m_tabLongueurMax.assign(nGroupes, 0);
    std::vector<int64_t> tabMin(m_tab.size(), 0), tabMax(m_tab.size(), 0);
    // Whether each subtree holds a group.
    std::vector<uint8_t> tabGroupe(m_tab.size(), 0);
    auto somme = [](int64_t a, int64_t b) {
        return a == k_nInfini || b == k_nInfini ? k_nInfini : std::min<int64_t>(a + b, INT32_MAX);
    };
    _Suffixe(nRacine, [&](int32_t n) {
        const STArbre& st = m_tab[size_t(n)];
        const int64_t nMinG = st.nGauche >= 0 ? tabMin[size_t(st.nGauche)] : 0;
        const int64_t nMaxG = st.nGauche >= 0 ? tabMax[size_t(st.nGauche)] : 0;
        const int64_t nMinD = st.nDroite >= 0 ? tabMin[size_t(st.nDroite)] : 0;
        const int64_t nMaxD = st.nDroite >= 0 ? tabMax[size_t(st.nDroite)] : 0;
        int64_t nMin = 0, nMax = 0;
        switch (st.eType) {
            case EArbre::Caractere:
            case EArbre::Ensemble:
            case EArbre::Point: nMin = nMax = 1; break;
            case EArbre::Renvoi:
                nMin = m_clA.m_tabLongueurMin[size_t(st.nValeur)];
                nMax = m_clA.m_tabLongueurMax[size_t(st.nValeur)];
                break;
            case EArbre::Concat: nMin = somme(nMinG, nMinD); nMax = somme(nMaxG, nMaxD); break;
            case EArbre::Alterne:
                nMin = std::min(st.nGauche >= 0 ? nMinG : 0, st.nDroite >= 0 ? nMinD : 0);
                nMax = nMaxG == k_nInfini || nMaxD == k_nInfini ? k_nInfini : std::max(nMaxG, nMaxD);
                break;
            case EArbre::Etoile: nMin = 0; nMax = nMaxG == 0 ? 0 : k_nInfini; break;
            case EArbre::Groupe:
                nMin = nMinG;
                nMax = nMaxG;
                m_clA.m_tabLongueurMin[size_t(st.nValeur)] = int32_t(nMin);
                m_clA.m_tabLongueurMax[size_t(st.nValeur)] = int32_t(nMax);
                break;
            default: break;
        }
        tabMin[size_t(n)] = nMin;
        tabMax[size_t(n)] = nMax;
        const bool bGroupeG = st.nGauche >= 0 && tabGroupe[size_t(st.nGauche)] != 0;
        tabGroupe[size_t(n)] = bGroupeG || (st.nDroite >= 0 && tabGroupe[size_t(st.nDroite)] != 0) ||
                               st.eType == EArbre::Groupe;
        if (st.eType == EArbre::Etoile && bGroupeG && nMinG == 0) m_clA.m_bBoucleVide = true;
    });
}

// What the library will keep for this automaton: its nodes, the epsilon
// closure of each node (and its inverse when it needs it), and the copies
// it makes of what follows each assertion. Stops counting past the limit.
EAnalyse CAnalyseur::eAnalyse() {
    m_tab.reserve(64);
    _Suivant(true);
    const int32_t nArbre = _nExpressionReguliere(0);
    if (_bEnEchec()) return m_eEchec;
    const int32_t nFin = _nFeuille(EArbre::Fin, 0, 0);
    if (nFin < 0) return m_eEchec;
    const int32_t nRacine = nArbre >= 0 ? _nCree(EArbre::Concat, nArbre, nFin) : nFin;
    if (nRacine < 0) return m_eEchec;
    _OptimiseGroupes(nRacine);
    _CalculeLongueurs(nRacine);
    _AbaisseGroupes(nRacine);
    if (_bEnEchec()) return m_eEchec;
    _CreeNoeuds(nRacine);
    m_clA.m_nFin = m_tab[size_t(nFin)].nNoeud;
    if (m_clA.m_bMots) {
        for (int c = 0; c < 256; ++c) m_clA.m_abMot[size_t(c)] = c == '_' || std::isalnum(c) != 0;
    }
    if (!bEstimeTaille(m_clA)) return EAnalyse::TropGrand;
    return EAnalyse::Ok;
}

}  // namespace

EAnalyse CAutomate::eAnalyse(const char* pszPattern, size_t nLongueur) {
    *this = CAutomate();
    CAnalyseur cl(*this, reinterpret_cast<const unsigned char*>(pszPattern), nLongueur);
    const EAnalyse e = cl.eAnalyse();
    if (e != EAnalyse::Ok) *this = CAutomate();
    return e;
}

uint16_t CAutomate::wContexte(const unsigned char* pText, int nDebut, int nLongueur, int nPos) const {
    if (nPos < nDebut) {
        // Before the first character looked at: the character before it, or
        // the start of the text.
        if (nDebut == 0) return CTX_LIGNE | CTX_DEBUT;
        const unsigned char c = pText[nDebut - 1];
        if (m_bMots && m_abMot[c]) return CTX_MOT;
        return c == '\n' ? CTX_LIGNE : 0;
    }
    if (nPos >= nLongueur) return CTX_LIGNE | CTX_FIN;
    const unsigned char c = pText[nPos];
    if (m_bMots && m_abMot[c]) return CTX_MOT;
    return c == '\n' ? CTX_LIGNE : 0;
}

bool CAutomate::bSatisfait(uint16_t w, uint16_t wAvant, uint16_t wApres) {
    if ((w & AVANT_MOT) && !(wAvant & CTX_MOT)) return false;
    if ((w & AVANT_NON_MOT) && (wAvant & CTX_MOT)) return false;
    if ((w & AVANT_LIGNE) && !(wAvant & CTX_LIGNE)) return false;
    if ((w & AVANT_DEBUT) && !(wAvant & CTX_DEBUT)) return false;
    if ((w & APRES_MOT) && !(wApres & CTX_MOT)) return false;
    if ((w & APRES_NON_MOT) && (wApres & CTX_MOT)) return false;
    if ((w & APRES_LIGNE) && !(wApres & CTX_LIGNE)) return false;
    if ((w & APRES_FIN) && !(wApres & CTX_FIN)) return false;
    return true;
}

bool CAutomate::bAccepte(const STNoeud& st, unsigned char by) const {
    switch (st.eType) {
        case ENoeud::Caractere: return st.byCar == by;
        case ENoeud::Point: return true;   // newlines and zero bytes included, with our syntax
        case ENoeud::Ensemble: return (m_tabEnsembles[size_t(st.nValeur)][by >> 6] >> (by & 63)) & 1;
        default: return false;
    }
}

}  // namespace regexp
