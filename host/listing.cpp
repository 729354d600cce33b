#include "listing.h"

#include <cstdio>

#include "prompt_syntax.h"

namespace qvhost {

namespace {

const char* pszKindEnMots(eKind eK) {
    switch (eK) {
        case eKind::INT: return "integer";
        case eKind::I8: return "8-byte integer";
        case eKind::REAL: return "real";
        case eKind::BOOL: return "boolean";
        case eKind::TEXT: return "text";
        case eKind::FILE: return "file name";
        case eKind::UNI: return "Unicode text";
        case eKind::BIN: return "binary";
        case eKind::CUR: return "currency";
        case eKind::DUR: return "duration";
        case eKind::DATETIME: return "date-time";
        case eKind::ANY: return "any";
        case eKind::VAR: return "variable";
        case eKind::PROC: return "procedure name";
        case eKind::ARRAY: return "array";
        case eKind::OBJ: return "object";
        case eKind::ADDR: return "memory address";
    }
    return "?";
}

std::string TypeEnMots(int nType) {
    switch (nType) {
        case 0x01: return "boolean";
        case 0x08: return "integer";
        case 0x09: return "8-byte integer";
        case 0x0A: return "currency";
        case 0x0C: return "real";
        case 0x10: return "Unicode text";
        case 0x12:
        case 0x13:
        case 0x17:
        case 0x4B: return "text";
        case 0x18: return "date";
        case 0x19: return "time";
        case 0x1A: return "date-time";
        case 0x1B: return "duration";
        case 0x1C: return "binary";
        case 0x1F: return "any";
        case 0x40: return "array of integers";
        default: break;
    }
    char sz[16];
    std::snprintf(sz, sizeof sz, "type %02X", nType & 0xFF);
    return sz;
}

std::string Syntaxe(const STFonctionHote& stF, const STSurcharge& stO) {
    std::string s = stF.sNom[0] + "(";
    if (stO.bSigValide) {
        const STSignatureArgs& stA = stO.stArgs;
        for (size_t i = 0; i < stA.tabKinds.size(); ++i) {
            if (i) s += ", ";
            s += stA.tabOptionnel[i] ? std::string("[") + pszKindEnMots(stA.tabKinds[i]) + "]" : pszKindEnMots(stA.tabKinds[i]);
        }
        if (stA.bQueue) s += std::string(stA.tabKinds.empty() ? "" : ", ") + pszKindEnMots(stA.eQueue) + "...";
    } else {
        // Rows without a host signature tell only how many arguments they take.
        unsigned nArgs = stO.dwArgs & 0x7F;
        if (nArgs > 0) s += std::to_string(nArgs) + (nArgs == 1 ? " argument" : " arguments");
        if (stO.dwArgs & 0x80) s += nArgs > 0 ? ", more..." : "more...";
    }
    s += ")";
    s += ": " + (stO.nResultat < 0 ? std::string("procedure") : TypeEnMots(stO.nResultat));
    if (!stO.pfnEntree) s += "    not available on this platform";
    return s;
}

std::string Noms(const std::string& sFr, const std::string& sEn) {
    return sEn.empty() || sEn == sFr ? sFr : sFr + " / " + sEn;
}

bool bCorrespond(const std::string& sMotif, const std::string& sFr, const std::string& sEn) {
    return (!sFr.empty() && bNomCorrespond(sMotif, sFr)) || (!sEn.empty() && bNomCorrespond(sMotif, sEn));
}

// Wildcard match over whole keys; iterative, with the last star to go back
// to, so that a hostile pattern cannot cost more than its length times the
// name's.
bool bJoker(const std::u32string& sMotif, const std::u32string& sNom) {
    size_t m = 0, n = 0, nEtoile = std::u32string::npos, nReprise = 0;
    while (n < sNom.size()) {
        if (m < sMotif.size() && (sMotif[m] == U'?' || sMotif[m] == sNom[n])) {
            ++m;
            ++n;
        } else if (m < sMotif.size() && sMotif[m] == U'*') {
            nEtoile = m++;
            nReprise = n;
        } else if (nEtoile != std::u32string::npos) {
            m = nEtoile + 1;
            n = ++nReprise;
        } else {
            return false;
        }
    }
    while (m < sMotif.size() && sMotif[m] == U'*') ++m;
    return m == sMotif.size();
}

}  // namespace

bool bNomCorrespond(const std::string& sMotif, const std::string& sNom) {
    std::u32string sM = NameKey(sMotif, true, true);
    std::u32string sN = NameKey(sNom, true, true);
    if (sM.find_first_of(U"*?") != std::u32string::npos) return bJoker(sM, sN);
    return sN.find(sM) != std::u32string::npos;
}

size_t nListe(CSession& clSession, eListe eQuoi, const std::string& sMotif, std::string& sSortie) {
    size_t nListes = 0;
    if (eQuoi == eListe::FONCTIONS) {
        const CTableFonctions& clTab = clSession.Fonctions();
        for (size_t i = 0; i < clTab.nCount(); ++i) {
            const STFonctionHote* pstF = clTab.pRow(static_cast<int>(i));
            if (!pstF || pstF->sNom[0].empty() || !bCorrespond(sMotif, pstF->sNom[0], pstF->sNom[1])) continue;
            sSortie += Noms(pstF->sNom[0], pstF->sNom[1]) + "\n";
            for (const auto& stO : pstF->tabSurcharges) sSortie += "    " + Syntaxe(*pstF, stO) + "\n";
            if (pstF->tabSurcharges.empty()) sSortie += "    not available on this platform\n";
            ++nListes;
        }
        return nListes;
    }
    const bool bConstantes = eQuoi == eListe::CONSTANTES;
    const auto& tabNoms = bConstantes ? clSession.NomsConstantes() : clSession.NomsVariables();
    for (const auto& tabN : tabNoms) {
        if (!bCorrespond(sMotif, tabN[0], tabN[1])) continue;
        const std::string& sNom = tabN[0].empty() ? tabN[1] : tabN[0];
        json j = bConstantes ? clSession.Constante(sNom) : clSession.LitVariable(sNom);
        std::string sLigne = Noms(tabN[0], tabN[1]);
        if (bConstantes) {
            const json& jV = j["value"];
            sLigne += " = " + (jV.is_string() ? TexteEntreGuillemets(jV.get<std::string>()) : JsonVersTexte(jV));
        } else {
            sLigne += ": " + TypeEnMots(j.value("type", 0));
            if (j["error"].is_null()) {
                const json& jV = j["value"];
                sLigne += ", now " + (jV.is_string() ? TexteEntreGuillemets(jV.get<std::string>()) : JsonVersTexte(jV));
            } else if (j["error"].value("message", std::string()).find("no storage") != std::string::npos) {
                sLigne += "    not available on this platform";
            } else {
                sLigne += "    (its value: " + j["error"].value("message", std::string()) + ")";
            }
        }
        sSortie += sLigne + "\n";
        ++nListes;
    }
    return nListes;
}

}  // namespace qvhost
