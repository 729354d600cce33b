#include "values.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "qvstd/strmem.h"
#include "strmem_host.h"
#include "table.h"

namespace qvhost {

namespace {

struct STKindNom {
    eKind eK;
    const char* pszNom;
};
const STKindNom k_tabKinds[] = {
    {eKind::INT, "int"},   {eKind::I8, "i8"},     {eKind::REAL, "real"},         {eKind::BOOL, "bool"},
    {eKind::TEXT, "text"}, {eKind::FILE, "file"}, {eKind::UNI, "uni"},           {eKind::BIN, "bin"},
    {eKind::CUR, "cur"},   {eKind::DUR, "dur"},   {eKind::DATETIME, "datetime"}, {eKind::ANY, "any"},
    {eKind::VAR, "var"},   {eKind::PROC, "proc"}, {eKind::ARRAY, "array"},       {eKind::OBJ, "obj"},
    {eKind::ADDR, "addr"},
};

// 80-bit magnitude helpers on five 16-bit words.
bool bMul10Ajoute(STMonnaie& stM, unsigned nChiffre) {
    uint32_t nRetenue = nChiffre;
    for (auto& w : stM.w) {
        uint32_t v = static_cast<uint32_t>(w) * 10 + nRetenue;
        w = static_cast<uint16_t>(v & 0xFFFF);
        nRetenue = v >> 16;
    }
    return nRetenue == 0;
}

unsigned nDiv10(STMonnaie& stM) {
    uint32_t nReste = 0;
    for (int i = 4; i >= 0; --i) {
        uint32_t v = (nReste << 16) | stM.w[i];
        stM.w[i] = static_cast<uint16_t>(v / 10);
        nReste = v % 10;
    }
    return nReste;
}

bool bZero(const STMonnaie& stM) {
    for (auto w : stM.w)
        if (w) return false;
    return true;
}

void Negation(STMonnaie& stM) {
    uint32_t nRetenue = 1;
    for (auto& w : stM.w) {
        uint32_t v = static_cast<uint16_t>(~w) + nRetenue;
        w = static_cast<uint16_t>(v & 0xFFFF);
        nRetenue = v >> 16;
    }
}

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

// Makes the dynamic string of a text argument in the component's
// character set (or wide characters, or raw bytes).
bool bFaitChaine(CArg& clArg, eKind eK, const std::string& sUtf8, bool bUnicode, eCharset eCs, std::string& sErreur) {
    LibereChaine(clArg.m_pMemoire);
    clArg.m_pMemoire = nullptr;
    // A file name that the character set cannot hold travels as Unicode, so
    // that it reaches the file system whole instead of as "??".
    if (!bUnicode && eK == eKind::FILE) {
        bool bPerte = false;
        Utf8ToCharset(sUtf8, eCs, &bPerte);
        bUnicode = bPerte;
    }
    if (bUnicode) {
        std::vector<uint32_t> tabW = Utf8ToWide(sUtf8);
        if (!tabW.empty()) {
            clArg.m_pMemoire = pCreeChaine(tabW.data(), tabW.size() * sizeof(uint32_t), SMK_UNICODE);
            if (!clArg.m_pMemoire) {
                sErreur = "out of memory";
                return false;
            }
        }
    } else if (eK == eKind::BIN) {
        if (!sUtf8.empty()) {
            clArg.m_pMemoire = pCreeChaine(sUtf8.data(), sUtf8.size(), SMK_BINARY);
            if (!clArg.m_pMemoire) {
                sErreur = "out of memory";
                return false;
            }
        }
    } else {
        std::string s = Utf8ToCharset(sUtf8, eCs);
        if (!s.empty()) {
            clArg.m_pMemoire = pCreeChaine(s.data(), s.size(), SMK_ANSI);
            if (!clArg.m_pMemoire) {
                sErreur = "out of memory";
                return false;
            }
        }
    }
    clArg.m_stManip.pMemoire = clArg.m_pMemoire;
    clArg.m_stManip.nType = bUnicode ? 16 : (eK == eKind::BIN ? 0x1C : 0x13);
    return true;
}

// The string of a binary value given to a text, file-function string or
// buffer argument: its bytes unchanged. A file-function string says it is a
// buffer (type code 0x1C), as the language passes one.
bool bFaitOctets(CArg& clArg, eKind eK, const std::string& sOctets, std::string& sErreur) {
    LibereChaine(clArg.m_pMemoire);
    clArg.m_pMemoire = nullptr;
    if (!sOctets.empty()) {
        clArg.m_pMemoire = pCreeChaine(sOctets.data(), sOctets.size(), eK == eKind::TEXT ? SMK_ANSI : SMK_BINARY);
        if (!clArg.m_pMemoire) {
            sErreur = "out of memory";
            return false;
        }
    }
    clArg.m_stManip.pMemoire = clArg.m_pMemoire;
    clArg.m_stManip.nType = eK == eKind::TEXT ? 0x13 : 0x1C;
    return true;
}

}  // namespace

const char* pszKindName(eKind eK) {
    for (const auto& st : k_tabKinds)
        if (st.eK == eK) return st.pszNom;
    return "?";
}

bool bKindFromName(const std::string& sNom, eKind& eK) {
    for (const auto& st : k_tabKinds)
        if (sNom == st.pszNom) {
            eK = st.eK;
            return true;
        }
    return false;
}

bool bParseSignatureArgs(const char* pszArgs, STSignatureArgs& stSig, std::string& sErreur) {
    stSig = STSignatureArgs{};
    std::string s = pszArgs ? pszArgs : "";
    if (Trim(s).empty()) return true;   // no argument
    size_t nDebut = 0;
    bool bOptionnelVu = false;
    while (nDebut <= s.size()) {
        size_t nFin = s.find(',', nDebut);
        if (nFin == std::string::npos) nFin = s.size();
        std::string sElt = Trim(s.substr(nDebut, nFin - nDebut));
        nDebut = nFin + 1;
        if (sElt.empty()) {
            sErreur = "empty argument kind";
            return false;
        }
        if (stSig.bQueue) {
            sErreur = "arguments after a variable tail";
            return false;
        }
        if (sElt.rfind("...", 0) == 0) {
            if (!bKindFromName(sElt.substr(3), stSig.eQueue)) {
                sErreur = "unknown kind " + sElt;
                return false;
            }
            stSig.bQueue = true;
            continue;
        }
        bool bOpt = sElt.back() == '?';
        if (bOpt) sElt.pop_back();
        eKind eK;
        if (!bKindFromName(sElt, eK)) {
            sErreur = "unknown kind " + sElt;
            return false;
        }
        if (!bOpt && bOptionnelVu) {
            sErreur = "a required argument follows an optional one";
            return false;
        }
        bOptionnelVu = bOptionnelVu || bOpt;
        stSig.tabKinds.push_back(eK);
        stSig.tabOptionnel.push_back(bOpt);
        if (!bOpt) ++stSig.nRequis;
    }
    return true;
}

bool bParseEntier64(const std::string& sTexte, int64_t& n) {
    std::string s = Trim(sTexte);
    if (s.empty()) return false;
    const char* p = s.data();
    const char* pFin = p + s.size();
    if (*p == '+') ++p;
    if (p == pFin || (p != s.data() && *p == '-')) return false;
    auto r = std::from_chars(p, pFin, n, 10);
    return r.ec == std::errc() && r.ptr == pFin;
}

bool bParseEntier32(const std::string& sTexte, int32_t& n) {
    int64_t n8;
    if (!bParseEntier64(sTexte, n8) || n8 < INT32_MIN || n8 > INT32_MAX) return false;
    n = static_cast<int32_t>(n8);
    return true;
}

bool bParseReel(const std::string& sTexte, double& r) {
    std::string s = Trim(sTexte);
    if (s.empty()) return false;
    for (char c : s)   // digits, sign, point, exponent only: no "inf", "nan" or hexadecimal
        if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E')) return false;
    const char* p = s.data();
    const char* pFin = p + s.size();
    if (*p == '+') ++p;
    if (p == pFin || (p != s.data() && *p == '-')) return false;
    auto res = std::from_chars(p, pFin, r);
    return res.ec == std::errc() && res.ptr == pFin && std::isfinite(r);
}

bool bParseBooleen(const std::string& sTexte, bool& b) {
    std::string s = Trim(sTexte);
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (s == "true" || s == "vrai" || s == "1") {
        b = true;
        return true;
    }
    if (s == "false" || s == "faux" || s == "0") {
        b = false;
        return true;
    }
    return false;
}

bool bParseMonnaie(const std::string& sTexte, STMonnaie& stM) {
    std::string s = Trim(sTexte);
    stM = STMonnaie{};
    size_t i = 0;
    bool bNegatif = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) bNegatif = s[i++] == '-';
    int nEntiers = 0;
    int nDecimales = 0;
    bool bPoint = false;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c == '.' && !bPoint) {
            bPoint = true;
            continue;
        }
        if (c < '0' || c > '9') return false;
        if (bPoint) {
            if (++nDecimales > 6) return false;   // finer than a millionth
        } else {
            ++nEntiers;
        }
        if (!bMul10Ajoute(stM, static_cast<unsigned>(c - '0'))) return false;
    }
    if (nEntiers + nDecimales == 0) return false;
    for (; nDecimales < 6; ++nDecimales)
        if (!bMul10Ajoute(stM, 0)) return false;
    // The magnitude must fit the signed 80-bit range.
    if (stM.w[4] & 0x8000) {
        bool bMinimum = bNegatif && stM.w[4] == 0x8000 && !stM.w[3] && !stM.w[2] && !stM.w[1] && !stM.w[0];
        if (!bMinimum) return false;
    }
    if (bNegatif) Negation(stM);
    return true;
}

std::string FormatMonnaie(const STMonnaie& stSource) {
    STMonnaie stM = stSource;
    bool bNegatif = (stM.w[4] & 0x8000) != 0;
    if (bNegatif) Negation(stM);   // the most negative value stays itself and reads as its magnitude
    std::string sChiffres;
    do {
        sChiffres.insert(sChiffres.begin(), static_cast<char>('0' + nDiv10(stM)));
    } while (!bZero(stM));
    while (sChiffres.size() < 7) sChiffres.insert(sChiffres.begin(), '0');
    std::string sEntier = sChiffres.substr(0, sChiffres.size() - 6);
    std::string sDec = sChiffres.substr(sChiffres.size() - 6);
    while (!sDec.empty() && sDec.back() == '0') sDec.pop_back();
    std::string s = sEntier;
    if (!sDec.empty()) s += "." + sDec;
    if (bNegatif && s != "0") s.insert(s.begin(), '-');
    return s;
}

bool bParseDateHeure(const std::string& sTexte, STDateHeure& stDH) {
    stDH = STDateHeure{};
    if (sTexte.empty()) return true;
    size_t n = sTexte.size();
    if (n != 8 && n != 14 && n != 17) return false;
    for (char c : sTexte)
        if (c < '0' || c > '9') return false;
    auto nLit = [&](size_t nPos, size_t nLong) {
        uint32_t v = 0;
        for (size_t k = 0; k < nLong; ++k) v = v * 10 + static_cast<uint32_t>(sTexte[nPos + k] - '0');
        return v;
    };
    uint32_t nAnnee = nLit(0, 4), nMois = nLit(4, 2), nJour = nLit(6, 2);
    stDH.dwDate = nJour | (nMois << 8) | (nAnnee << 16);
    if (n >= 14) {
        uint32_t h = nLit(8, 2), m = nLit(10, 2), sec = nLit(12, 2);
        uint32_t ms = n == 17 ? nLit(14, 3) : 0;
        if (h > 23 || m > 59 || sec > 59) return false;
        stDH.nMillisecondes = ((h * 60 + m) * 60 + sec) * 1000 + ms;
    }
    return true;
}

CArg::~CArg() { LibereChaine(m_pMemoire); }

void* CArg::pPointeur() {
    switch (m_eKind) {
        case eKind::INT:
        case eKind::BOOL:
        case eKind::ADDR: return &m_n4;
        case eKind::I8:
        case eKind::DUR: return &m_n8;
        case eKind::REAL: return &m_r;
        case eKind::CUR: return &m_stMonnaie;
        case eKind::DATETIME: return &m_stDateHeure;
        case eKind::TEXT:
        case eKind::UNI:
        case eKind::BIN:
        case eKind::VAR:
        case eKind::PROC: return &m_pMemoire;
        case eKind::FILE: return &m_stManip;
        case eKind::ANY:
        case eKind::ARRAY:
        case eKind::OBJ: return nullptr;
    }
    return nullptr;
}

json MotVersValeur(const std::string& sMot) {
    // Written in the language's quotes, with its doubled quote inside: the
    // text between them, whatever it reads as.
    if (sMot.size() >= 2 && sMot.front() == '"' && sMot.back() == '"') {
        std::string sTexte;
        bool bBienForme = true;
        for (size_t i = 1; i + 1 < sMot.size() && bBienForme; ++i) {
            if (sMot[i] != '"') {
                sTexte += sMot[i];
            } else if (i + 2 < sMot.size() && sMot[i + 1] == '"') {
                sTexte += '"';
                ++i;
            } else {
                bBienForme = false;
            }
        }
        if (bBienForme) return sTexte;
    }
    int64_t n = 0;
    if (bParseEntier64(sMot, n)) return n;
    double r = 0;
    if (bParseReel(sMot, r)) return r;
    return sMot;
}

bool bConvertit(const json& jValeur, eKind eK, bool bLigneCommande, eCharset eCs, CArg& clArg, int& nScore,
                std::string& sErreur, bool bInvite) {
    clArg.m_eKind = eK;
    clArg.m_jSource = jValeur;
    clArg.m_bNull = jValeur.is_null();
    nScore = 0;
    const int nTexteVersNombre = bLigneCommande ? 3 : 1;   // a person types numbers as text
    const int nTexteVersTexte = bLigneCommande ? 1 : 3;
    // Objects have tags of their own.
    if (eK == eKind::OBJ) return bConvertitObjet(jValeur, bLigneCommande, clArg, nScore, sErreur);
    std::string sTag;
    const json* pjTag = nullptr;
    if (jValeur.is_object()) {
        if (jValeur.size() < 1) {
            sErreur = "empty tagged value";
            return false;
        }
        for (const char* psz : {"i8", "bin", "uni", "cur", "dur", "datetime", "var", "proc", "array", "addr"}) {
            if (jValeur.contains(psz)) {
                sTag = psz;
                pjTag = &jValeur[psz];
                break;
            }
        }
        if (!pjTag) {
            sErreur = "unknown tagged value " + ApercuJson(jValeur);
            return false;
        }
    }
    auto fnRefus = [&](const char* pszPourquoi) {
        sErreur = std::string(pszPourquoi) + " (" + pszKindName(eK) + " argument): " + ApercuJson(jValeur);
        return false;
    };

    if (eK == eKind::ANY || eK == eKind::ARRAY) {
        // The value is kept for the parameter services, which hand it to the
        // component as a variant; the pushed pointer is null.
        if (eK == eKind::ARRAY && !(sTag == "array" || clArg.m_bNull)) return fnRefus("not an array");
        if (eK == eKind::ANY) {
            if (sTag == "array" || sTag == "proc" || sTag == "addr") return fnRefus("not a plain value");
            if (sTag == "var") {
                // The variable's value is read when the component asks for it.
                if (!pjTag->is_string() || pjTag->get<std::string>().empty()) return fnRefus("needs a name");
                clArg.m_sNom = pjTag->get<std::string>();
            }
            if (bLigneCommande && jValeur.is_string()) clArg.m_jSource = MotVersValeur(jValeur.get<std::string>());
            // "Nothing" fits an "any" argument best; any other value fits
            // its own kind better when an overload declares it.
            nScore = clArg.m_bNull ? 2 : (bLigneCommande ? 0 : 1);
            return true;
        }
        nScore = 2;
        return true;
    }
    if (eK == eKind::ADDR && bLigneCommande)
        return fnRefus("memory addresses cannot be given on the command line; use --jsonl with {\"addr\": {\"var\": NAME}}");
    if (clArg.m_bNull) {
        // An absent value: the kind's empty value, reported by bParamNull
        // (for an address, the null address).
        nScore = 1;
        if (eK == eKind::FILE) clArg.m_stManip.nType = 0x13;
        return true;
    }

    switch (eK) {
        case eKind::INT:
        case eKind::BOOL: {
            if (eK == eKind::BOOL) {
                bool b = false;
                if (jValeur.is_boolean()) {
                    b = jValeur.get<bool>();
                    nScore = 3;
                } else if (jValeur.is_number_integer() && (jValeur.get<int64_t>() == 0 || jValeur.get<int64_t>() == 1)) {
                    b = jValeur.get<int64_t>() != 0;
                    nScore = 1;
                } else if (jValeur.is_string() && bParseBooleen(jValeur.get<std::string>(), b)) {
                    nScore = nTexteVersNombre;
                } else {
                    return fnRefus("not a boolean");
                }
                clArg.m_n4 = b ? 1 : 0;
                return true;
            }
            int64_t n8 = 0;
            if (jValeur.is_number_integer()) {
                n8 = jValeur.is_number_unsigned() && jValeur.get<uint64_t>() > INT64_MAX ? INT64_MAX : jValeur.get<int64_t>();
                nScore = 3;
            } else if (bInvite && jValeur.is_number_float() && std::isfinite(jValeur.get<double>()) &&
                       std::fabs(jValeur.get<double>()) < 9.2e18) {
                // The language truncates a real given for an integer.
                n8 = static_cast<int64_t>(jValeur.get<double>());
                nScore = 1;
            } else if (jValeur.is_string() && bParseEntier64(jValeur.get<std::string>(), n8)) {
                nScore = nTexteVersNombre;
            } else {
                return fnRefus("not an integer");
            }
            if (n8 < INT32_MIN || n8 > INT32_MAX) return fnRefus("out of the 4-byte range");
            clArg.m_n4 = static_cast<int32_t>(n8);
            return true;
        }
        case eKind::I8:
        case eKind::DUR: {
            const char* pszTag = eK == eKind::I8 ? "i8" : "dur";
            const json& j = (sTag == pszTag) ? *pjTag : jValeur;
            if (!sTag.empty() && sTag != pszTag) return fnRefus("wrong tag");
            if (j.is_number_integer()) {
                if (j.is_number_unsigned() && j.get<uint64_t>() > INT64_MAX) return fnRefus("out of the 8-byte range");
                clArg.m_n8 = j.get<int64_t>();
                nScore = sTag.empty() ? 2 : 3;
            } else if (j.is_string() && bParseEntier64(j.get<std::string>(), clArg.m_n8)) {
                nScore = sTag.empty() ? nTexteVersNombre : 3;
            } else {
                return fnRefus("not an integer");
            }
            return true;
        }
        case eKind::REAL: {
            if (jValeur.is_number_float()) {
                clArg.m_r = jValeur.get<double>();
                nScore = 3;
            } else if (jValeur.is_number_integer()) {
                clArg.m_r = static_cast<double>(jValeur.get<int64_t>());
                nScore = 2;
            } else if (jValeur.is_string() && bParseReel(jValeur.get<std::string>(), clArg.m_r)) {
                int64_t nEntier;
                // On the command line an integer text prefers an integer overload.
                nScore = !bLigneCommande ? 1 : (bParseEntier64(jValeur.get<std::string>(), nEntier) ? 2 : 3);
            } else {
                return fnRefus("not a number");
            }
            return true;
        }
        case eKind::CUR: {
            if (!sTag.empty() && sTag != "cur") return fnRefus("wrong tag");
            const json& j = sTag == "cur" ? *pjTag : jValeur;
            std::string s;
            if (j.is_string()) {
                s = j.get<std::string>();
            } else if (j.is_number_integer()) {
                s = std::to_string(j.get<int64_t>());
            } else if (j.is_number_float()) {
                char sz[64];
                std::snprintf(sz, sizeof sz, "%.6f", j.get<double>());
                s = sz;
            } else {
                return fnRefus("not a decimal");
            }
            if (!bParseMonnaie(s, clArg.m_stMonnaie)) return fnRefus("not a currency decimal");
            nScore = sTag == "cur" ? 3 : (j.is_string() ? nTexteVersNombre : 1);
            return true;
        }
        case eKind::DATETIME: {
            if (!sTag.empty() && sTag != "datetime") return fnRefus("wrong tag");
            const json& j = sTag == "datetime" ? *pjTag : jValeur;
            if (!j.is_string() || !bParseDateHeure(j.get<std::string>(), clArg.m_stDateHeure))
                return fnRefus("not a date-time AAAAMMJJHHMMSSLLL");
            nScore = sTag.empty() ? nTexteVersNombre : 3;
            return true;
        }
        case eKind::VAR:
        case eKind::PROC: {
            const char* pszTag = eK == eKind::VAR ? "var" : "proc";
            if (!sTag.empty() && sTag != pszTag) return fnRefus("wrong tag");
            const json& j = sTag == pszTag ? *pjTag : jValeur;
            if (!j.is_string() || j.get<std::string>().empty()) return fnRefus("needs a name");
            clArg.m_sNom = j.get<std::string>();
            if (eK == eKind::PROC) clArg.m_jRetour = jValeur.is_object() && jValeur.contains("returns") ? jValeur["returns"] : json(true);
            nScore = sTag.empty() ? 1 : 3;
            return bFaitChaine(clArg, eKind::TEXT, clArg.m_sNom, false, eCs, sErreur);
        }
        case eKind::TEXT:
        case eKind::FILE:
        case eKind::UNI:
        case eKind::BIN: {
            bool bUnicode = eK == eKind::UNI;
            std::string sValeur;
            if (sTag == "uni") {
                if (eK == eKind::BIN || eK == eKind::TEXT) return fnRefus("Unicode text");
                if (!pjTag->is_string()) return fnRefus("not a text");
                sValeur = pjTag->get<std::string>();
                bUnicode = true;
                nScore = 3;
            } else if (sTag == "bin") {
                // Bytes as they are, wherever a string or a buffer is taken:
                // no character set stands between them and the component.
                if (eK == eKind::UNI) return fnRefus("binary value");
                if (!pjTag->is_string() || !Base64Decode(pjTag->get<std::string>(), sValeur))
                    return fnRefus("not Base64");
                nScore = eK == eKind::BIN ? 3 : 2;
                return bFaitOctets(clArg, eK, sValeur, sErreur);
            } else if (!sTag.empty()) {
                return fnRefus("wrong tag");
            } else if (jValeur.is_string()) {
                sValeur = jValeur.get<std::string>();
                nScore = eK == eKind::BIN ? 1 : nTexteVersTexte;
            } else if (jValeur.is_number() && (bLigneCommande || bInvite)) {
                sValeur = jValeur.is_number_float() ? FormatReel(jValeur.get<double>()) : jValeur.dump();
                nScore = 1;
            } else {
                return fnRefus("not a text");
            }
            return bFaitChaine(clArg, eK, sValeur, bUnicode, eCs, sErreur);
        }
        case eKind::ADDR: {
            // Only a tagged object names a buffer: a plain number must never
            // pass for an address.
            if (sTag != "addr") return fnRefus(sTag.empty() ? "not an address, which is {\"addr\": {\"var\": NAME}}" : "wrong tag");
            const json& j = *pjTag;
            if (!j.is_object() || !j.contains("var") || !j["var"].is_string() || j["var"].get<std::string>().empty())
                return fnRefus("an address names a host variable: {\"addr\": {\"var\": NAME}}");
            const json* pjTaille = j.contains("size") ? &j["size"] : nullptr;
            if (jValeur.contains("size")) {
                if (pjTaille && *pjTaille != jValeur["size"]) return fnRefus("two different sizes");
                pjTaille = &jValeur["size"];
            }
            if (pjTaille) {
                if (!pjTaille->is_number_integer() || pjTaille->get<int64_t>() < 0 ||
                    (pjTaille->is_number_unsigned() && pjTaille->get<uint64_t>() > k_nOctetsMax) ||
                    pjTaille->get<int64_t>() > static_cast<int64_t>(k_nOctetsMax))
                    return fnRefus(("a size is a byte count from 0 to " + std::to_string(k_nOctetsMax)).c_str());
                clArg.m_nTailleAdresse = pjTaille->get<int64_t>();
            }
            clArg.m_sNom = j["var"].get<std::string>();
            nScore = 3;
            return true;
        }
        default: break;
    }
    return fnRefus("unsupported");
}

bool bJsonSain(const json& jValeur, std::string& sErreur, size_t nNiveauDepart) {
    std::vector<std::pair<const json*, size_t>> tabPile{{&jValeur, nNiveauDepart}};
    while (!tabPile.empty()) {
        auto [pj, nNiveau] = tabPile.back();
        tabPile.pop_back();
        if (pj->is_string()) {
            if (!bUtf8Valide(pj->get_ref<const std::string&>())) {
                sErreur = "a text is not valid UTF-8";
                return false;
            }
            continue;
        }
        if (!pj->is_structured()) continue;
        if (nNiveau > k_nProfondeurMax) {
            sErreur = "nested deeper than " + std::to_string(k_nProfondeurMax) + " levels";
            return false;
        }
        for (auto it = pj->begin(); it != pj->end(); ++it) {
            if (pj->is_object() && !bUtf8Valide(it.key())) {
                sErreur = "a key is not valid UTF-8";
                return false;
            }
            tabPile.emplace_back(&*it, nNiveau + 1);
        }
    }
    return true;
}

std::string ApercuJson(const json& j) {
    // Invalid UTF-8 is replaced rather than thrown on; a long value is cut.
    std::string s = j.dump(-1, ' ', false, json::error_handler_t::replace);
    constexpr size_t k_nApercu = 200;
    if (s.size() <= k_nApercu) return s;
    size_t n = k_nApercu;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;   // not inside a character
    return s.substr(0, n) + "...";
}

std::string FormatReel(double r) {
    char sz[64];
    auto res = std::to_chars(sz, sz + sizeof sz, r);
    return std::string(sz, res.ptr);
}

json ResultatVersJson(const STResultat& stR) {
    if (!stR.bRecu) return nullptr;
    switch (stR.nType) {
        case 0x01: return stR.n4 != 0;
        case 0x08: return stR.n4;
        case 0x09:
        case 0x1B: return stR.n8;
        case 0x0A: return FormatMonnaie(stR.stMonnaie);
        case 0x0C:
            if (!std::isfinite(stR.r)) return FormatReel(stR.r);
            return stR.r;
        case 0x13:
        case 0x17:
        case 0x10: return stR.sUtf8;
        case 0x1C: return json{{"bin", Base64Encode(stR.sOctets)}};
        case 0x1F: return stR.jVariant;
        default: return nullptr;
    }
}

json ResultatVersJson(const STResultat& stR, bool bOctets) {
    if (bOctets && stR.bRecu && (stR.nType == 0x10 || stR.nType == 0x13 || stR.nType == 0x17))
        return json{{"bin", Base64Encode(stR.sOctets)}};
    return ResultatVersJson(stR);
}

std::string ResultatVersTexte(const STResultat& stR) {
    if (!stR.bRecu) return {};
    switch (stR.nType) {
        case 0x01: return stR.n4 ? "true" : "false";
        case 0x08: return std::to_string(stR.n4);
        case 0x09:
        case 0x1B: return std::to_string(stR.n8);
        case 0x0A: return FormatMonnaie(stR.stMonnaie);
        case 0x0C: return FormatReel(stR.r);
        case 0x13:
        case 0x17:
        case 0x10: return stR.sUtf8;
        case 0x1C: return TexteBinaire(stR.sOctets);
        case 0x1F: return stR.jVariant.is_object() && stR.jVariant.contains("bin") ? JsonVersTexte(stR.jVariant) : stR.sUtf8;
        default: return {};
    }
}

std::string TexteBinaire(const std::string& sOctets) {
    return "binary, " + std::to_string(sOctets.size()) + (sOctets.size() == 1 ? " byte" : " bytes") +
           ", Base64: " + Base64Encode(sOctets);
}

std::string JsonVersTexte(const json& jValeur) {
    if (jValeur.is_string()) return jValeur.get<std::string>();
    if (jValeur.is_boolean()) return jValeur.get<bool>() ? "true" : "false";
    if (jValeur.is_number_float()) return FormatReel(jValeur.get<double>());
    if (jValeur.is_null()) return {};
    if (jValeur.is_object() && jValeur.size() == 1 && jValeur.contains("bin") && jValeur["bin"].is_string()) {
        std::string sOctets;
        if (Base64Decode(jValeur["bin"].get<std::string>(), sOctets)) return TexteBinaire(sOctets);
    }
    return jValeur.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace qvhost
