#include "prompt_syntax.h"

#include <charconv>
#include <cmath>

#include "charset.h"
#include "values.h"

namespace qvhost {

namespace {

struct STJeton {
    enum class eType { FIN, NOMBRE, TEXTE, NOM, OUVRE, FERME, VIRGULE, EGAL, MOINS, PLUS };
    eType eT = eType::FIN;
    std::string sTexte;   // NOM: the name; TEXTE: the text; NOMBRE: as written
    size_t nOctet = 0;
};

bool bDebutNom(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80; }
bool bSuiteNom(unsigned char c) { return bDebutNom(c) || (c >= '0' && c <= '9') || c == '.'; }
bool bChiffre(char c) { return c >= '0' && c <= '9'; }

class CAnalyseur {
public:
    explicit CAnalyseur(const std::string& sLigne) : m_sLigne(sLigne) {}

    bool bAnalyse(STInstruction& stInstr, std::string& sErreur) {
        if (!bUtf8Valide(m_sLigne)) return bFaute(0, "the line is not valid UTF-8", sErreur);
        if (!bDecoupe(sErreur)) return false;
        stInstr = STInstruction{};
        if (m_tabJetons.size() == 1) return true;   // only FIN
        stInstr.bVide = false;
        if (m_tabJetons.size() > 2 && m_tabJetons[0].eT == STJeton::eType::NOM &&
            m_tabJetons[1].eT == STJeton::eType::EGAL) {
            if (bMotBooleen(m_tabJetons[0].sTexte))
                return bFaute(m_tabJetons[0].nOctet, m_tabJetons[0].sTexte + " is a constant, not a variable", sErreur);
            stInstr.bAffectation = true;
            stInstr.sVariable = m_tabJetons[0].sTexte;
            m_nPos = 2;
        }
        if (!bExpression(stInstr.stExpr, 0, sErreur)) return false;
        const STJeton& stJ = m_tabJetons[m_nPos];
        if (stJ.eT != STJeton::eType::FIN)
            return bFaute(stJ.nOctet, stJ.eT == STJeton::eType::EGAL ? "\"=\" assigns to a name only at the start of a line"
                                                                     : "unexpected " + Decrit(stJ) + " after the expression",
                          sErreur);
        return true;
    }

private:
    size_t nColonne(size_t nOctet) const {
        size_t n = 1;
        for (size_t i = 0; i < nOctet && i < m_sLigne.size(); ++i)
            if ((static_cast<unsigned char>(m_sLigne[i]) & 0xC0) != 0x80) ++n;
        return n;
    }
    bool bFaute(size_t nOctet, const std::string& sQuoi, std::string& sErreur) const {
        sErreur = "column " + std::to_string(nColonne(nOctet)) + ": " + sQuoi;
        return false;
    }
    static std::string Decrit(const STJeton& stJ) {
        switch (stJ.eT) {
            case STJeton::eType::FIN: return "end of line";
            case STJeton::eType::NOMBRE: return "number " + stJ.sTexte;
            case STJeton::eType::TEXTE: return "text";
            case STJeton::eType::NOM: return "name " + stJ.sTexte;
            case STJeton::eType::OUVRE: return "\"(\"";
            case STJeton::eType::FERME: return "\")\"";
            case STJeton::eType::VIRGULE: return "\",\"";
            case STJeton::eType::EGAL: return "\"=\"";
            case STJeton::eType::MOINS: return "\"-\"";
            case STJeton::eType::PLUS: return "\"+\"";
        }
        return "?";
    }
    static bool bMotBooleen(const std::string& sNom) {
        std::u32string s = NameKey(sNom, true, true);
        return s == U"vrai" || s == U"faux" || s == U"true" || s == U"false";
    }

    bool bDecoupe(std::string& sErreur) {
        const std::string& s = m_sLigne;
        size_t i = 0;
        while (i < s.size()) {
            char c = s[i];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++i;
                continue;
            }
            if (c == '/' && i + 1 < s.size() && s[i + 1] == '/') break;   // a comment to the end of the line
            STJeton stJ;
            stJ.nOctet = i;
            if (c == '"') {
                stJ.eT = STJeton::eType::TEXTE;
                size_t j = i + 1;
                for (;;) {
                    if (j >= s.size()) return bFaute(i, "the text has no closing quote", sErreur);
                    if (s[j] == '"') {
                        if (j + 1 < s.size() && s[j + 1] == '"') {
                            stJ.sTexte += '"';
                            j += 2;
                            continue;
                        }
                        break;
                    }
                    stJ.sTexte += s[j++];
                }
                i = j + 1;
            } else if (bChiffre(c) || (c == '.' && i + 1 < s.size() && bChiffre(s[i + 1]))) {
                stJ.eT = STJeton::eType::NOMBRE;
                size_t j = i;
                while (j < s.size() && bChiffre(s[j])) ++j;
                if (j < s.size() && s[j] == '.') {
                    ++j;
                    while (j < s.size() && bChiffre(s[j])) ++j;
                }
                if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
                    size_t k = j + 1;
                    if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
                    if (k < s.size() && bChiffre(s[k])) {
                        j = k;
                        while (j < s.size() && bChiffre(s[j])) ++j;
                    }
                }
                if (j < s.size() && bSuiteNom(static_cast<unsigned char>(s[j])))
                    return bFaute(j, "a number runs into a name", sErreur);
                stJ.sTexte = s.substr(i, j - i);
                i = j;
            } else if (bDebutNom(static_cast<unsigned char>(c))) {
                stJ.eT = STJeton::eType::NOM;
                size_t j = i;
                while (j < s.size() && bSuiteNom(static_cast<unsigned char>(s[j]))) ++j;
                stJ.sTexte = s.substr(i, j - i);
                i = j;
            } else {
                switch (c) {
                    case '(': stJ.eT = STJeton::eType::OUVRE; break;
                    case ')': stJ.eT = STJeton::eType::FERME; break;
                    case ',': stJ.eT = STJeton::eType::VIRGULE; break;
                    case '=': stJ.eT = STJeton::eType::EGAL; break;
                    case '-': stJ.eT = STJeton::eType::MOINS; break;
                    case '+': stJ.eT = STJeton::eType::PLUS; break;
                    default: {
                        size_t n = 1;
                        while (i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80) ++n;
                        return bFaute(i, "unexpected character " + s.substr(i, n), sErreur);
                    }
                }
                ++i;
            }
            m_tabJetons.push_back(std::move(stJ));
        }
        STJeton stFin;
        stFin.nOctet = s.size();
        m_tabJetons.push_back(stFin);
        return true;
    }

    // An integer when it is one (up to the unsigned 8-byte range, so that
    // the signed range's lowest value can be negated), else a real; null
    // when out of every range.
    static json Nombre(const std::string& sTexte) {
        const char* p = sTexte.data();
        const char* pFin = p + sTexte.size();
        int64_t n = 0;
        auto res = std::from_chars(p, pFin, n);
        if (res.ec == std::errc() && res.ptr == pFin) return n;
        uint64_t u = 0;
        res = std::from_chars(p, pFin, u);
        if (res.ec == std::errc() && res.ptr == pFin) return u;
        double r = 0;
        res = std::from_chars(p, pFin, r);
        if (res.ec == std::errc() && res.ptr == pFin && std::isfinite(r)) return r;
        return nullptr;
    }

    bool bExpression(STExpression& stE, size_t nNiveau, std::string& sErreur) {
        const STJeton& stJ = m_tabJetons[m_nPos];
        stE = STExpression{};
        stE.nColonne = nColonne(stJ.nOctet);
        if (nNiveau >= k_nImbricationInviteMax)
            return bFaute(stJ.nOctet, "nested deeper than " + std::to_string(k_nImbricationInviteMax) + " levels", sErreur);
        switch (stJ.eT) {
            case STJeton::eType::NOMBRE:
                stE.jValeur = Nombre(stJ.sTexte);
                if (stE.jValeur.is_null())
                    return bFaute(stJ.nOctet, "the number " + stJ.sTexte + " is out of range", sErreur);
                ++m_nPos;
                return true;
            case STJeton::eType::TEXTE:
                stE.jValeur = stJ.sTexte;
                ++m_nPos;
                return true;
            case STJeton::eType::MOINS:
            case STJeton::eType::PLUS: {
                bool bMoins = stJ.eT == STJeton::eType::MOINS;
                ++m_nPos;
                STExpression stOperande;
                if (!bExpression(stOperande, nNiveau + 1, sErreur)) return false;
                if (!bMoins) {
                    stE = std::move(stOperande);
                    return true;
                }
                // A literal is negated here, so that the integer range's
                // lowest value reads as an integer.
                if (stOperande.eT == STExpression::eType::VALEUR && stOperande.jValeur.is_number()) {
                    const json& jV = stOperande.jValeur;
                    if (jV.is_number_unsigned() && jV.get<uint64_t>() == static_cast<uint64_t>(INT64_MAX) + 1)
                        stE.jValeur = INT64_MIN;
                    else if (jV.is_number_integer() && !jV.is_number_unsigned())
                        stE.jValeur = -jV.get<int64_t>();
                    else if (jV.is_number_integer())
                        stE.jValeur = -static_cast<double>(jV.get<uint64_t>());
                    else
                        stE.jValeur = -jV.get<double>();
                    return true;
                }
                stE.eT = STExpression::eType::OPPOSE;
                stE.tabArgs.push_back(std::move(stOperande));
                return true;
            }
            case STJeton::eType::OUVRE: {
                ++m_nPos;
                if (!bExpression(stE, nNiveau + 1, sErreur)) return false;
                return bAttend(STJeton::eType::FERME, "\")\"", sErreur);
            }
            case STJeton::eType::NOM: {
                ++m_nPos;
                if (m_tabJetons[m_nPos].eT != STJeton::eType::OUVRE) {
                    if (bMotBooleen(stJ.sTexte)) {
                        std::u32string s = NameKey(stJ.sTexte, true, true);
                        stE.jValeur = s == U"vrai" || s == U"true";
                        return true;
                    }
                    stE.eT = STExpression::eType::NOM;
                    stE.sNom = stJ.sTexte;
                    return true;
                }
                stE.eT = STExpression::eType::APPEL;
                stE.sNom = stJ.sTexte;
                ++m_nPos;
                if (m_tabJetons[m_nPos].eT == STJeton::eType::FERME) {
                    ++m_nPos;
                    return true;
                }
                for (;;) {
                    STExpression stArg;
                    if (!bExpression(stArg, nNiveau + 1, sErreur)) return false;
                    stE.tabArgs.push_back(std::move(stArg));
                    const STJeton& stSuite = m_tabJetons[m_nPos];
                    if (stSuite.eT == STJeton::eType::VIRGULE) {
                        ++m_nPos;
                        continue;
                    }
                    if (stSuite.eT == STJeton::eType::FERME) {
                        ++m_nPos;
                        return true;
                    }
                    return bFaute(stSuite.nOctet, "expected \",\" or \")\", found " + Decrit(stSuite), sErreur);
                }
            }
            default: break;
        }
        return bFaute(stJ.nOctet, "expected a value, found " + Decrit(stJ), sErreur);
    }

    bool bAttend(STJeton::eType eT, const char* pszQuoi, std::string& sErreur) {
        const STJeton& stJ = m_tabJetons[m_nPos];
        if (stJ.eT != eT) return bFaute(stJ.nOctet, std::string("expected ") + pszQuoi + ", found " + Decrit(stJ), sErreur);
        ++m_nPos;
        return true;
    }

    const std::string& m_sLigne;
    std::vector<STJeton> m_tabJetons;
    size_t m_nPos = 0;
};

}  // namespace

bool bAnalyseInstruction(const std::string& sLigne, STInstruction& stInstr, std::string& sErreur) {
    CAnalyseur cl(sLigne);
    return cl.bAnalyse(stInstr, sErreur);
}

std::string TexteEntreGuillemets(const std::string& sTexte) {
    std::string s = "\"";
    for (char c : sTexte) {
        if (c == '"') s += '"';
        s += c;
    }
    return s + "\"";
}

}  // namespace qvhost
