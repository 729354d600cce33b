// Numeric display masks: writing numbers through a mask, reading them back,
// the system masks and the size texts.
#include "numeric/masquenum.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/error/dllres.h"
#include "numeric/taille.h"
#include "qvstd/infolangue.h"

char CMasqueNumerique::ms_cSeparateurDecimal = ',';
char CMasqueNumerique::ms_cSeparateurMillier = ' ';
char CMasqueNumerique::ms_pszDevise[32] = "\x80";
bool CMasqueNumerique::ms_tabParametreIntForce[3] = {false, false, false};

namespace {

const char k_szMonnaie[] = "MoneySystemMask";
const char k_szMonnaieSymbole[] = "MoneySystemMask$";
const char k_szTailleDisque[] = "DiskSize";
// Integer positions of the system masks: eighteen digits.
const char k_szModele[] = "99%c999%c999%c999%c999%c999";

bool _bChiffre(char c) { return c >= '0' && c <= '9'; }

std::string _Modele(char cMillier, char cDecimal, int nDecimales) {
    std::string s;
    for (const char* p = k_szModele; *p != 0; ++p) {
        if (p[0] == '%' && p[1] == 'c') {
            s += cMillier;
            ++p;
        } else {
            s += *p;
        }
    }
    if (nDecimales > 0) {
        s += cDecimal;
        s.append(size_t(nDecimales), '9');
    }
    return s;
}

int _nBorne(int n, int nMin, int nMax) { return n < nMin ? nMin : n > nMax ? nMax : n; }

// Every occurrence of "C" replaced by the core mask.
std::string _Place(const char* pszForme, const std::string& sCoeur) {
    std::string s;
    for (const char* p = pszForme; *p != 0; ++p) {
        if (*p == 'C')
            s += sCoeur;
        else
            s += *p;
    }
    return s;
}

std::string _SansSymbole(std::string s) {
    for (const char* psz : {"$ ", " $", "$"}) {
        size_t n;
        while ((n = s.find(psz)) != std::string::npos) s.erase(n, strlen(psz));
    }
    return s;
}

// The parts of a mask separated by ";".
std::vector<std::string> _Parties(const char* pszMasque) {
    std::vector<std::string> tab(1);
    for (const char* p = pszMasque; *p != 0; ++p) {
        if (*p == ';')
            tab.emplace_back();
        else
            tab.back() += *p;
    }
    return tab;
}

}  // namespace

CMasqueNumerique::CMasqueNumerique(const char* pszMasque)
    : m_cSepMillierAff(ms_cSeparateurMillier), m_cSepDecimalAff(ms_cSeparateurDecimal), m_clDevise(ms_pszDevise) {
    const char* psz = pszMasque != nullptr ? pszMasque : "";
    if (strcmp(psz, k_szMonnaie) == 0 || strcmp(psz, k_szMonnaieSymbole) == 0) {
        m_bSysteme = true;
        m_bSystemeSymbole = strcmp(psz, k_szMonnaieSymbole) == 0;
        _ConstruitMasqueSysteme();
    } else {
        m_clMasque = psz;
    }
}

CMasque* CMasqueNumerique::pclGetNewMasqueNumerique(const char* pszMasque) { return new CMasqueNumerique(pszMasque); }

void CMasqueNumerique::SetInfoLangue(IInfoLangue* piInfoLangue, int nParam1, int nParam2) {
    CMasque::SetInfoLangue(piInfoLangue, nParam1, nParam2);
    if (m_bSysteme) _ConstruitMasqueSysteme();
}

std::string CMasqueNumerique::FormatNumeriqueVersMasqueQV(const STInfoLangueNombre& st) {
    const std::string sCoeur = _Modele(' ', ',', _nBorne(int(st.nDecimales > 20 ? 20 : st.nDecimales), 0, 20));
    static const char* const k_tabNegatif[] = {"C;(C)", "-C", "C;- C", "C;C-", "C;C -"};
    return _Place(k_tabNegatif[st.nFormatNegatif < 5 ? st.nFormatNegatif : 1], sCoeur);
}

std::string CMasqueNumerique::FormatMonetaireVersMasqueQV(const STInfoLangueMonnaie& st, bool bSymbole) {
    const std::string sCoeur = _Modele(' ', ',', int(st.nDecimales > 20 ? 20 : st.nDecimales));
    static const char* const k_tabPositif[] = {"$C", "C$", "$ C", "C $"};
    static const char* const k_tabNegatif[] = {"($C)",  "-$C",  "$-C",   "$C-",   "(C$)",  "-C$",  "C-$",    "C$-",
                                               "-C $", "-$ C", "C $-", "$ C-", "$ -C", "C- $", "($ C)", "(C $)"};
    std::string sPositif = k_tabPositif[st.nFormatPositif < 4 ? st.nFormatPositif : 0];
    std::string sNegatif = k_tabNegatif[st.nFormatNegatif < 16 ? st.nFormatNegatif : 1];
    if (!bSymbole) {
        sPositif = _SansSymbole(sPositif);
        sNegatif = _SansSymbole(sNegatif);
    }
    return _Place((sPositif + ";" + sNegatif).c_str(), sCoeur);
}

void CMasqueNumerique::_ConstruitMasqueSysteme() {
    m_clSymboleHote.Vide();
    IInfoLangue* pi = m_piInfoLangue;
    const STInfoLangueMonnaie* pst =
        (pi != nullptr && pi->bNePasUtiliserFormatMonetaire() == 0) ? pi->pstGetFormatMonetaire() : nullptr;
    if (pst != nullptr) {
        m_clMasque = FormatMonetaireVersMasqueQV(*pst, m_bSystemeSymbole).c_str();
        m_nChiffresSysteme = int(pst->nDecimales > 20 ? 20 : pst->nDecimales);
        if (pst->pszSymbole != nullptr && *pst->pszSymbole != 0) m_clSymboleHote = pst->pszSymbole;
        if (!sbGetSeparateurDecimalForce() && pst->pszSepDecimal != nullptr && *pst->pszSepDecimal != 0)
            m_cSepDecimalAff = *pst->pszSepDecimal;
        if (!sbGetSeparateurMillierForce() && pst->pszSepMillier != nullptr && *pst->pszSepMillier != 0)
            m_cSepMillierAff = *pst->pszSepMillier;
        return;
    }
    CTString clValeur;
    _GetWinIntlParam("iCurrDigits", "0", clValeur);
    m_nChiffresSysteme = _nBorne(atoi(clValeur.pszGet()), 0, 20);
    std::string s = "+" + _Modele(m_cSepMillier, m_cSepDecimal, m_nChiffresSysteme);
    if (m_bSystemeSymbole) {
        _GetWinIntlParam("iCurrency", "0", clValeur);
        const char* pszPlace = clValeur.pszGet();
        if (strcmp(pszPlace, "0") == 0)
            s = "$" + s;
        else if (strcmp(pszPlace, "1") == 0)
            s += "$";
        else if (strcmp(pszPlace, "2") == 0)
            s = "$ " + s;
        else
            s += " $";
    }
    m_clMasque = s.c_str();
}

const char* CMasqueNumerique::pszGetNomDeviseEffectif() const {
    return !m_clSymboleHote.bEstVide() ? m_clSymboleHote.pszGet() : m_clDevise.pszGet();
}

int CMasqueNumerique::nDecimalesMasque() const {
    const std::string sPartie = _Parties(m_clMasque.pszGet())[0];
    const size_t n = sPartie.find(m_cSepDecimal);
    if (n == std::string::npos) return 0;
    int nDecimales = 0;
    for (size_t i = n + 1; i < sPartie.size(); ++i)
        if (sPartie[i] == '0' || sPartie[i] == '9') ++nDecimales;
    return nDecimales;
}

bool CMasqueNumerique::bEstMasquePourcentage() const {
    const char* psz = m_clMasque.pszGet();
    for (const char* p = psz; *p != 0; ++p) {
        if (*p != '%') continue;
        if (p[1] == '%') {
            ++p;
            continue;
        }
        return true;
    }
    return false;
}

bool CMasqueNumerique::bEstMasqueTailleDisque() const { return strcmp(m_clMasque.pszGet(), k_szTailleDisque) == 0; }

const char* CMasqueNumerique::pszGetChaineErreur(int) { return "###"; }

void CMasqueNumerique::SetInternationnalParam(int nParametre, const char* pszValeur) {
    if (nParametre < 0 || nParametre > 2 || pszValeur == nullptr) return;
    if (nParametre == 2) {
        strncpy(ms_pszDevise, pszValeur, sizeof ms_pszDevise - 1);
        ms_pszDevise[sizeof ms_pszDevise - 1] = 0;
    } else {
        // A separator needs a character.
        if (*pszValeur == 0) return;
        (nParametre == 0 ? ms_cSeparateurDecimal : ms_cSeparateurMillier) = *pszValeur;
    }
    ms_tabParametreIntForce[nParametre] = true;
}

bool CMasqueNumerique::s_bParametreIntForce(int nParametre) {
    return nParametre >= 0 && nParametre <= 2 && ms_tabParametreIntForce[nParametre];
}

void CMasqueNumerique::Formate(const char* pszValeur, CTString& clResultat, CObjetAPCode* pclObjet) {
    MetAuFormat(pszValeur, clResultat, false, pclObjet);
}

void CMasqueNumerique::MetAuFormat(const char* pszValeur, CTString& clResultat, bool bSaisie, CObjetAPCode*) {
    const char* psz = pszValeur != nullptr ? pszValeur : "";
    if (strcmp(psz, pszGetChaineErreur(0)) == 0) {
        clResultat = psz;
        return;
    }
    if (bEstMasqueTailleDisque()) {
        MetAuFormatTailleDisque(atof(psz), clResultat, 0);
        return;
    }
    // The value: optional blanks, sign, digits, "." and decimals.
    const char* p = psz;
    while (*p == ' ') ++p;
    bool bNegatif = false;
    if (*p == '-' || *p == '+') bNegatif = *p++ == '-';
    std::string sEntier, sDecimales;
    while (_bChiffre(*p)) sEntier += *p++;
    if (*p == '.') {
        ++p;
        while (_bChiffre(*p)) sDecimales += *p++;
    }
    if (sEntier.empty() && sDecimales.empty()) {   // not a number: shown as it is
        clResultat = psz;
        return;
    }
    if (bEstMasquePourcentage()) {
        sDecimales.resize(sDecimales.size() < 2 ? 2 : sDecimales.size(), '0');
        sEntier += sDecimales.substr(0, 2);
        sDecimales.erase(0, 2);
    }
    sEntier.erase(0, sEntier.find_first_not_of('0'));
    if (sEntier.empty()) sEntier = "0";
    const bool bZero = sEntier == "0" && sDecimales.find_first_not_of('0') == std::string::npos;

    const std::vector<std::string> tabParties = _Parties(m_clMasque.pszGet());
    const bool bMulti = tabParties.size() > 1;
    std::string sPartie;
    if (bNegatif && bMulti) {
        sPartie = tabParties[1];
    } else if (bZero && tabParties.size() > 2) {
        clResultat = bSaisie ? "0" : tabParties[2].c_str();
        return;
    } else {
        sPartie = tabParties[0];
    }
    if (sPartie.empty()) {
        clResultat = psz;
        return;
    }
    std::string s;
    _MetAuFormatPartie(sPartie, bMulti, bNegatif, sEntier, sDecimales, bSaisie, s);
    clResultat = s.c_str();
}

void CMasqueNumerique::_MetAuFormatPartie(const std::string& sPartie, bool bMulti, bool bNegatif,
                                          const std::string& sEntierValeur, const std::string& sDecimales,
                                          bool bSaisie, std::string& s) const {
    const size_t nTaille = sPartie.size();
    const size_t nSepDecimal = sPartie.find(m_cSepDecimal);
    const size_t nFinEntier = nSepDecimal == std::string::npos ? nTaille : nSepDecimal;
    int nPositions = 0;
    for (size_t i = 0; i < nFinEntier; ++i)
        if (sPartie[i] == '0' || sPartie[i] == '9') ++nPositions;
    // A mask without integer positions shows "0.5" as ",5".
    const std::string sEntier = (sEntierValeur == "0" && nPositions == 0) ? std::string() : sEntierValeur;
    int n = nPositions - int(sEntier.size());
    if (n < 0) {
        s = pszGetChaineErreur(0);
        return;
    }
    const bool bParentheses = bNegatif && sPartie.find('(') != std::string::npos && sPartie.find(')') != std::string::npos;
    size_t nEntier = 0, nDecimale = 0;
    bool bDansDecimales = false, bSepSupprime = false, bPositionVue = false, bChiffreEcrit = false, bSigne = false;
    size_t nPosSigne = std::string::npos;   // a sign written before any digit
    auto fnSigne = [&](char cSigne) {
        if (!bChiffreEcrit) nPosSigne = s.size();
        s += cSigne;
        bSigne = true;
    };
    for (size_t i = 0; i < nTaille; ++i) {
        const char c = sPartie[i];
        const char cSuivant = i + 1 < nTaille ? sPartie[i + 1] : 0;
        if (c == '0' || c == '9') {
            if (bDansDecimales) {
                if (bSepSupprime) continue;
                s += nDecimale < sDecimales.size() ? sDecimales[nDecimale++] : '0';
                continue;
            }
            bPositionVue = true;
            if (n > 0) {
                --n;
                if (c == '0' && !bSaisie) {
                    s += '0';
                    bChiffreEcrit = true;
                }
                continue;
            }
            if (nEntier < sEntier.size()) {
                s += sEntier[nEntier++];
                bChiffreEcrit = true;
            }
            continue;
        }
        if (c == m_cSepDecimal && !bDansDecimales) {
            bDansDecimales = true;
            if (cSuivant == '0' && sDecimales.empty()) {
                bSepSupprime = true;
                continue;
            }
            s += m_cSepDecimalAff;
            continue;
        }
        if (!bDansDecimales && bPositionVue && (c == m_cSepMillier || (c == '.' && m_cSepDecimal != '.'))) {
            if (bSaisie) continue;
            bool bPositionReste = false;
            for (size_t j = i + 1; j < nFinEntier && !bPositionReste; ++j)
                bPositionReste = sPartie[j] == '9' || sPartie[j] == '0';
            if (bChiffreEcrit && bPositionReste) {
                s += m_cSepMillierAff;
            } else if (!bChiffreEcrit && nPosSigne != std::string::npos && nPosSigne + 1 == s.size()) {
                // The blank goes before a sign already written, which
                // stays next to the digits.
                s.insert(nPosSigne++, 1, ' ');
            } else {
                s += ' ';
            }
            continue;
        }
        switch (c) {
            case '$':
                if (cSuivant == '$') {
                    ++i;
                    if (!bSaisie) s += '$';
                } else if (!bSaisie) {
                    s += pszGetNomDeviseEffectif();
                }
                continue;
            case '%':
                if (cSuivant == '%') ++i;
                if (!bSaisie) s += '%';
                continue;
            case '(':
            case ')':
                if (bParentheses) {
                    if (c == '(')
                        fnSigne(c);
                    else
                        s += c;
                    bSigne = true;
                } else if (!bSaisie) {
                    s += c;
                }
                continue;
            case '+':
                if (bNegatif)
                    fnSigne('-');
                else if (bMulti)
                    fnSigne('+');
                continue;
            case '-':
                if (cSuivant == '-') {
                    ++i;
                    if (!bSaisie) s += '-';
                } else if (bNegatif) {
                    fnSigne('-');
                }
                continue;
            default:
                if (!bSaisie) s += c;
        }
    }
    // The negative part of a mask in parts says itself how negatives look.
    // Put in front of the number, after the blanks that align it.
    if (bNegatif && !bSigne && !bMulti) s.insert(s.find_first_not_of(' ') == std::string::npos ? 0 : s.find_first_not_of(' '), 1, '-');
}

void CMasqueNumerique::DeformateNum(const char* pszTexte, CTString& clResultat) const {
    std::string sEntier, sDecimales;
    bool bNegatif = false, bDecimales = false;
    for (const char* p = pszTexte != nullptr ? pszTexte : ""; *p != 0; ++p) {
        if (_bChiffre(*p)) {
            (bDecimales ? sDecimales : sEntier) += *p;
        } else if (*p == '-' || *p == '(') {
            bNegatif = true;
        } else if (!bDecimales && (*p == m_cSepDecimalAff || *p == '.') && *p != m_cSepMillierAff) {
            bDecimales = true;
        }
    }
    if (sEntier.empty() && sDecimales.empty()) {
        clResultat.Vide();
        return;
    }
    if (bEstMasquePourcentage()) {   // back from hundredths
        sEntier.insert(0, "00");
        sDecimales.insert(0, sEntier.substr(sEntier.size() - 2));
        sEntier.erase(sEntier.size() - 2);
    }
    sEntier.erase(0, sEntier.find_first_not_of('0'));
    if (sEntier.empty()) sEntier = "0";
    sDecimales.erase(sDecimales.find_last_not_of('0') + 1);
    std::string s = (bNegatif ? "-" : "") + sEntier;
    if (!sDecimales.empty()) s += "." + sDecimales;
    if (s == "-0") s = "0";
    clResultat = s.c_str();
}

bool CMasqueNumerique::MetAuFormatTailleDisque(double rTaille, CTString& clResultat, int nUnite) {
    int64_t ll = 0;
    if (rTaille >= 9223372036854775807.0)
        ll = INT64_MAX;
    else if (rTaille <= -9223372036854775808.0)
        ll = INT64_MIN;
    else if (rTaille == rTaille)
        ll = static_cast<int64_t>(rTaille);
    return MetAuFormatTailleDisque(ll, clResultat, nUnite);
}

bool CMasqueNumerique::MetAuFormatTailleDisque(int64_t llTaille, CTString& clResultat, int nUnite) {
    CTString clUnites;
    IInfoLangue* pi = m_piInfoLangue;
    const char* pszHote = (pi != nullptr && pi->bNePasUtiliserUnitesTaille() == 0) ? pi->pszGetUnitesTaille() : nullptr;
    if (pszHote != nullptr && *pszHote != 0)
        clUnites = pszHote;
    else
        DLLRES_bLoadString(25202, &clUnites);
    std::string s;
    const bool bOk = NUM_bTailleVersTexte(llTaille, nUnite, clUnites.pszGet(), m_cSepDecimal, s);
    clResultat = s.c_str();
    return bOk;
}
