#include "session.h"

#include <algorithm>
#include <cstring>

#include "adresses.h"
#include "qvstd/strmem.h"
#include "qvstd/xerror.h"
#include "signature.h"
#include "strmem_host.h"

namespace qvhost {

namespace {

// What the error object said, to tell an error of this call from one an
// earlier call left behind.
struct STEtatErreur {
    uint32_t nNiveau = EL_NOERROR;
    int nCode = 0;
    std::string sMessage, sDebug;
    bool operator==(const STEtatErreur&) const = default;
};

// The error object's leading fields, declared in the same order after the
// same base as in qvstd/xerror.h, so that they lie at the same offsets. The
// host reads them through this view rather than through CXError's inline
// getters: the error object's type information lives in the module only,
// and a sanitizer build of the host checks the dynamic type of every
// CXError it touches (which cannot link without that information).
STEtatErreur LitErreur(const CXError* pclErreur) {
    STEtatErreur st;
    if (!pclErreur) return st;
    st.nNiveau = pclErreur->eGetErrorLevel();
    st.nCode = pclErreur->nGetUserError();
    st.sMessage = pclErreur->pszGetUserMessage();
    st.sDebug = pclErreur->pszGetDebugMessage();
    return st;
}

// The integer-array variables: a data pointer, the element count, the
// capacity and the growth step, four machine words.
struct STTableauEntiers {
    int32_t* pnData;
    int32_t nCount;
    int32_t nCapacity;
    int32_t nGrowth;
};
constexpr int32_t k_nTableauMax = 1 << 20;   // beyond this the value is not believed

std::string HexType(int nType) {
    char sz[8];
    std::snprintf(sz, sizeof sz, "%02X", nType & 0xFF);
    return sz;
}

// The deepest nesting of arrays and objects in a JSON text, counted without
// parsing so that a hostile line is refused before anything is built.
size_t nProfondeurTexte(const std::string& s) {
    size_t nNiveau = 0, nMax = 0;
    bool bTexte = false, bEchappe = false;
    for (char c : s) {
        if (bTexte) {
            if (bEchappe) bEchappe = false;
            else if (c == '\\') bEchappe = true;
            else if (c == '"') bTexte = false;
        } else if (c == '"') {
            bTexte = true;
        } else if (c == '[' || c == '{') {
            nMax = std::max(nMax, ++nNiveau);
        } else if ((c == ']' || c == '}') && nNiveau > 0) {
            --nNiveau;
        }
    }
    return nMax;
}

// The answer line when building the answer itself failed (out of memory):
// written by hand, from the exception's text kept to plain characters.
std::string LigneSecours(const char* pszQuoi) {
    std::string sQuoi;
    for (const char* p = pszQuoi; p && *p && sQuoi.size() < 200; ++p)
        if (*p >= ' ' && *p <= '~' && *p != '"' && *p != '\\') sQuoi += *p;
    return R"({"error":{"code":0,"debug":"","host":true,"level":)" + std::to_string(EL_ERROR) +
           R"(,"message":"the host could not answer: )" + sQuoi + R"("}})";
}

// Arguments read as values that name a variable the host does not have: the
// component would take them for empty values.
bool bVariablesConnues(const STAppelPrepare& stAppel, const CHostContext& clHote, std::string& sErreur) {
    for (size_t i = 0; i < stAppel.tabArgs.size(); ++i) {
        const CArg& clArg = *stAppel.tabArgs[i];
        if (clArg.m_eKind == eKind::ANY && clArg.bValeurDeVariable() && !clHote.bVariableConnue(clArg.m_sNom)) {
            sErreur = "argument " + std::to_string(i + 1) + ": unknown variable " + clArg.m_sNom;
            return false;
        }
    }
    return true;
}

}  // namespace

json CSession::ErreurHote(const std::string& sMessage) {
    return {{"code", 0}, {"level", EL_ERROR}, {"message", sMessage}, {"debug", ""}, {"host", true}};
}

bool CSession::bDemarre(const std::string& sModule, int nLangue, std::string& sErreur) {
    Arrete();
    if (!m_clModule.bDemarre(sModule, nLangue, sErreur)) return false;
    size_t nSigs = 0;
    const QVSignature* pstSigs = pGetSignatures(&nSigs);
    eCharset eCs = m_clHote.GetCharset();
    m_clFonctions.Charge(m_clModule.pstFonctions(), m_clModule.nFonctions(), pstSigs, nSigs, eCs);
    auto fnNom = [&](const char* psz) { return psz ? CharsetToUtf8(psz, std::strlen(psz), eCs) : std::string(); };
    m_tabNomsConstantes.clear();
    for (int i = 0; i < m_clModule.nConstantes(); ++i) {
        const STConstante& st = m_clModule.pstConstantes()[i];
        m_tabNomsConstantes.push_back({fnNom(st.pszNom[0]), fnNom(st.pszNom[1])});
    }
    m_tabNomsVariables.clear();
    for (int i = 0; i < m_clModule.nVariables(); ++i) {
        const STVariable& st = m_clModule.pstVariables()[i];
        m_tabNomsVariables.push_back({fnNom(st.pszNom[0]), fnNom(st.pszNom[1])});
    }
    m_clIndexConstantes.Charge(m_tabNomsConstantes);
    m_clIndexVariables.Charge(m_tabNomsVariables);
    return true;
}

void CSession::Arrete() {
    m_clObjets.Libere();
    m_clModule.Arrete();
    m_clFonctions.Charge(nullptr, 0, nullptr, 0, m_clHote.GetCharset());
    m_tabNomsConstantes.clear();
    m_tabNomsVariables.clear();
    m_clIndexConstantes.Charge({});
    m_clIndexVariables.Charge({});
}

json CSession::Appel(const std::string& sNom, const std::vector<json>& tabArgs, bool bLigneCommande, int nSurcharge,
                     bool bInvite) {
    json jRep = {{"value", nullptr}, {"type", 0}, {"error", nullptr}, {"vars", json::object()}, {"calls", json::object()}};
    IZNLibrary* piLib = m_clModule.piLib();
    if (!piLib) {
        jRep["error"] = ErreurHote("the component is not loaded");
        return jRep;
    }
    std::string sErreur;
    if (!bUtf8Valide(sNom)) {
        jRep["error"] = ErreurHote("the function name is not valid UTF-8");
        return jRep;
    }
    for (size_t i = 0; i < tabArgs.size(); ++i) {
        // An argument sits at level 3 of a request: {"args": [ARGUMENT]}.
        if (!bJsonSain(tabArgs[i], sErreur, 3)) {
            jRep["error"] = ErreurHote("argument " + std::to_string(i + 1) + ": " + sErreur);
            return jRep;
        }
    }
    const STFonctionHote* pstF = m_clFonctions.pCherche(sNom);
    if (!pstF) {
        jRep["error"] = ErreurHote("unknown function " + sNom);
        return jRep;
    }
    STAppelPrepare stAppel;
    if (!bPrepareAppel(*pstF, tabArgs, bLigneCommande, nSurcharge, m_clHote.GetCharset(), stAppel, sErreur, bInvite)) {
        jRep["error"] = ErreurHote(sErreur);
        return jRep;
    }
    if (!bVariablesConnues(stAppel, m_clHote, sErreur) || !bPrepareAdresses(stAppel, m_clHote, sErreur)) {
        jRep["error"] = ErreurHote(pstF->sNom[0] + ": " + sErreur);
        return jRep;
    }
    std::vector<CArg*> tabBruts;
    std::vector<void*> tabPointeurs;
    for (auto& p : stAppel.tabArgs) {
        tabBruts.push_back(p.get());
        tabPointeurs.push_back(p->pPointeur());
    }
    tabPointeurs.push_back(nullptr);   // never an empty array, even without arguments
    uint32_t dwFrame = static_cast<uint32_t>(stAppel.tabArgs.size()) & 0xFFFF;
    m_clHote.DebutAppelLangage(pstF->sNom[0], tabBruts, dwFrame);
    for (auto& p : stAppel.tabArgs) {
        if (p->m_eKind == eKind::PROC) m_clHote.Procedure(p->m_sNom).jRetour = p->m_jRetour;
        if (p->m_eKind == eKind::VAR) m_clHote.VariableTouchee(p->m_sNom);
    }

    STZNAppel stRecord{&m_clHote, 0, 0, nullptr, dwFrame};
    STZNAppel* pstAncien = piLib->ChangeContexteAppel(&stRecord);
    int nRetour = stAppel.pstSurcharge->pfnEntree(&stRecord, piLib, tabPointeurs.data());
    piLib->ChangeContexteAppel(pstAncien);
    // The host reports a filled error object once, then empties it for the
    // next call.
    STEtatErreur stApres = LitErreur(piLib->pclGetError());
    if (stApres.nNiveau != EL_NOERROR) piLib->pclGetError()->RAZ();

    RangeAdresses(stAppel, m_clHote);

    const STResultat& stR = m_clHote.GetResultat();
    if (stAppel.pstSurcharge->nResultat >= 0 && stR.bRecu && !stR.nTropGrand) {
        jRep["value"] = ResultatVersJson(stR);
        jRep["type"] = stR.nType;
        if (bLigneCommande) jRep["text"] = ResultatVersTexte(stR);
    }
    jRep["vars"] = m_clHote.JsonVariables();
    jRep["calls"] = m_clHote.JsonProcedures();
    eCharset eCs = m_clHote.GetCharset();
    if (nRetour != 0) {
        // Forwarded to another component: this host carries no other.
        jRep["forward"] = {{"component", stRecord.nComposanteFwd}, {"function", stRecord.nFonctionFwd}};
        json jErr = ErreurHote("forwarded to component " + std::to_string(stRecord.nComposanteFwd) + " (function " +
                               std::to_string(stRecord.nFonctionFwd) + "), which this host does not carry");
        jErr["level"] = stApres.nNiveau;
        jRep["error"] = jErr;
    } else if (stApres.nNiveau != EL_NOERROR) {
        jRep["error"] = {{"code", stApres.nCode},
                         {"level", stApres.nNiveau},
                         {"message", CharsetToUtf8(stApres.sMessage, eCs)},
                         {"debug", CharsetToUtf8(stApres.sDebug, eCs)}};
    } else if (stR.nTropGrand) {
        jRep["error"] = ErreurHote("the result (" + std::to_string(stR.nTropGrand) + " bytes) is larger than this host takes back (" +
                                   std::to_string(k_nOctetsMax) + " bytes)");
    } else if (!m_clHote.ErreurAppel().empty()) {
        jRep["error"] = ErreurHote(m_clHote.ErreurAppel());
    }
    m_clHote.FinAppelLangage();
    return jRep;
}

json CSession::Decrit(const std::string& sNom) const {
    const STFonctionHote* pstF = m_clFonctions.pCherche(sNom);
    if (!pstF) return {{"error", ErreurHote("unknown function " + sNom)}};
    json jSyn = json::array();
    for (const auto& stO : pstF->tabSurcharges) {
        jSyn.push_back({{"result", stO.nResultat < 0 ? std::string() : HexType(stO.nResultat)},
                        {"args", stO.pstSig ? json(stO.pstSig->pszArgs) : json(nullptr)},
                        {"argword", stO.dwArgs},
                        {"entry", stO.pfnEntree != nullptr}});
    }
    return {{"row", pstF->nRow},
            {"id", pstF->dwId},
            {"flags", pstF->dwFlags},
            {"names", {pstF->sNom[0], pstF->sNom[1]}},
            {"syntaxes", jSyn},
            {"error", nullptr}};
}

json CSession::Info(int nCode, intptr_t nArgument) const {
    if (!m_clModule.bDemarre()) return {{"value", nullptr}, {"error", ErreurHote("the component is not loaded")}};
    intptr_t n = m_clModule.InfoComposante(nCode, nArgument);
    if (nCode == 4) {   // help-file name: a text
        const char* psz = reinterpret_cast<const char*>(n);
        return {{"value", psz ? CharsetToUtf8(psz, strnlen(psz, 4096), m_clHote.GetCharset()) : std::string()},
                {"error", nullptr}};
    }
    return {{"value", static_cast<int64_t>(n)}, {"error", nullptr}};
}

json CSession::Message(int nMessage) const {
    if (!m_clModule.bDemarre()) return {{"value", nullptr}, {"error", ErreurHote("the component is not loaded")}};
    std::vector<char> tabBuffer(8192, '\0');
    STChargeMessage stBloc{0, nMessage, tabBuffer.data(), static_cast<int>(tabBuffer.size()), 0};
    intptr_t n = m_clModule.CommandeComposante(3, reinterpret_cast<intptr_t>(&stBloc));
    size_t nLu = strnlen(tabBuffer.data(), tabBuffer.size());   // never beyond the buffer, whatever was answered
    std::string s = CharsetToUtf8(tabBuffer.data(), nLu, m_clHote.GetCharset());
    return {{"value", s}, {"count", static_cast<int64_t>(n)}, {"error", nullptr}};
}

json CSession::Constante(const std::string& sNom) const {
    int n = m_clIndexConstantes.nCherche(sNom);
    if (n < 0) return {{"value", nullptr}, {"error", ErreurHote("unknown constant " + sNom)}};
    const STConstante& st = m_clModule.pstConstantes()[n];
    json jValeur;
    uint8_t byType = st.byType;
    uintptr_t nValeur = st.nValeur;
    if (byType == 0x08) {
        jValeur = static_cast<int32_t>(static_cast<uint32_t>(nValeur));
    } else if (byType == 0x12) {
        const char* psz = reinterpret_cast<const char*>(nValeur);
        jValeur = psz ? CharsetToUtf8(psz, strnlen(psz, 65536), m_clHote.GetCharset()) : std::string();
    }
    const auto& tabNoms = m_tabNomsConstantes[static_cast<size_t>(n)];
    return {{"row", n}, {"names", {tabNoms[0], tabNoms[1]}}, {"type", byType}, {"value", jValeur}, {"error", nullptr}};
}

int CSession::nChercheVariable(const std::string& sNom) const { return m_clIndexVariables.nCherche(sNom); }

json CSession::LitVariable(const std::string& sNom) {
    int n = nChercheVariable(sNom);
    if (n < 0) return {{"value", nullptr}, {"error", ErreurHote("unknown variable " + sNom)}};
    const STVariable& st = m_clModule.pstVariables()[n];
    STZNAppel stRecord{&m_clHote, 0, st.wId, nullptr, 0};
    void* p = m_clModule.piLib()->pRecupereAdresseVariable(&stRecord);
    json jRep = {{"id", st.wId}, {"type", st.byType}, {"value", nullptr}, {"error", nullptr}};
    if (!p) {
        jRep["error"] = ErreurHote("variable " + sNom + " has no storage on this platform");
        return jRep;
    }
    switch (st.byType) {
        case 0x13: {
            void* pMemoire = nullptr;
            std::memcpy(&pMemoire, p, sizeof pMemoire);
            std::string s = LitChaine(pMemoire);
            jRep["value"] = KindChaine(pMemoire) == SMK_UNICODE
                                ? WideToUtf8(reinterpret_cast<const uint32_t*>(s.data()), s.size() / 4)
                                : CharsetToUtf8(s, m_clHote.GetCharset());
            break;
        }
        case 0x08: {
            int32_t v;
            std::memcpy(&v, p, 4);
            jRep["value"] = v;
            break;
        }
        case 0x01: {
            int32_t v;
            std::memcpy(&v, p, 4);
            jRep["value"] = v != 0;
            break;
        }
        case 0x40: {
            STTableauEntiers stT;
            std::memcpy(&stT, p, sizeof stT);
            if (stT.nCount < 0 || stT.nCount > stT.nCapacity || stT.nCount > k_nTableauMax ||
                (stT.nCount > 0 && !stT.pnData)) {
                jRep["error"] = ErreurHote("variable " + sNom + ": array not readable");
                break;
            }
            json jTab = json::array();
            for (int32_t i = 0; i < stT.nCount; ++i) jTab.push_back(stT.pnData[i]);
            jRep["value"] = jTab;
            jRep["count"] = stT.nCount;
            break;
        }
        default: jRep["error"] = ErreurHote("variables of type " + HexType(st.byType) + " are not supported by this host");
    }
    return jRep;
}

json CSession::EcritVariable(const std::string& sNom, const json& jValeur) {
    std::string sErreur;
    if (!bJsonSain(jValeur, sErreur, 2)) return {{"value", nullptr}, {"error", ErreurHote("\"value\": " + sErreur)}};
    int n = nChercheVariable(sNom);
    if (n < 0) return {{"value", nullptr}, {"error", ErreurHote("unknown variable " + sNom)}};
    const STVariable& st = m_clModule.pstVariables()[n];
    STZNAppel stRecord{&m_clHote, 0, st.wId, nullptr, 0};
    IZNLibrary* piLib = m_clModule.piLib();
    void* p = piLib->pRecupereAdresseVariable(&stRecord);
    if (!p) return {{"value", nullptr}, {"error", ErreurHote("variable " + sNom + " has no storage on this platform")}};
    eKind eK;
    switch (st.byType) {
        case 0x13: eK = eKind::TEXT; break;
        case 0x08: eK = eKind::INT; break;
        case 0x01: eK = eKind::BOOL; break;
        default:
            return {{"value", nullptr},
                    {"error", ErreurHote("writing variables of type " + HexType(st.byType) + " is not supported by this host")}};
    }
    CArg clArg;
    int nScore = 0;
    if (!bConvertit(jValeur, eK, false, m_clHote.GetCharset(), clArg, nScore, sErreur))
        return {{"value", nullptr}, {"error", ErreurHote(sErreur)}};
    if (eK == eKind::TEXT) {
        // The variable takes the new string; its old one loses a reference.
        void* pAncien = nullptr;
        std::memcpy(&pAncien, p, sizeof pAncien);
        std::memcpy(p, &clArg.m_pMemoire, sizeof clArg.m_pMemoire);
        clArg.m_pMemoire = nullptr;
        LibereChaine(pAncien);
    } else {
        std::memcpy(p, &clArg.m_n4, 4);
    }
    stRecord.pValeur = p;
    int bOk = piLib->bSignaleEcritureVariable(&stRecord);
    STEtatErreur stApres = LitErreur(piLib->pclGetError());
    if (stApres.nNiveau != EL_NOERROR) piLib->pclGetError()->RAZ();
    json jRep = LitVariable(sNom);
    if (!bOk) {
        eCharset eCs = m_clHote.GetCharset();
        jRep["error"] = {{"code", stApres.nCode},
                         {"level", stApres.nNiveau},
                         {"message", CharsetToUtf8(stApres.sMessage, eCs)},
                         {"debug", CharsetToUtf8(stApres.sDebug, eCs)}};
    }
    return jRep;
}

json CSession::Langue(const std::string& sLangue) {
    int nLangue;
    if (sLangue == "fr") nLangue = LANGUE_FR;
    else if (sLangue == "en") nLangue = LANGUE_EN;
    else return {{"value", nullptr}, {"error", ErreurHote("language must be \"fr\" or \"en\"")}};
    int n = m_clModule.ChangeLangue(nLangue);
    return {{"value", nLangue}, {"result", n}, {"error", nullptr}};
}

json CSession::Traite(const json& jReq) {
    std::string sErreur;
    if (!bJsonSain(jReq, sErreur)) return {{"error", ErreurHote("bad request: " + sErreur)}};
    if (!jReq.is_object()) return {{"error", ErreurHote("a request is a JSON object")}};
    if (jReq.contains("call")) {
        if (!jReq["call"].is_string()) return {{"error", ErreurHote("\"call\" needs a function name")}};
        std::vector<json> tabArgs;
        if (jReq.contains("args")) {
            if (!jReq["args"].is_array()) return {{"error", ErreurHote("\"args\" must be an array")}};
            for (const auto& j : jReq["args"]) tabArgs.push_back(j);
        }
        int nSurcharge = -1;
        if (jReq.contains("overload")) {
            if (!jReq["overload"].is_number_integer() || jReq["overload"].get<int64_t>() < 0 ||
                jReq["overload"].get<int64_t>() > 255)
                return {{"error", ErreurHote("\"overload\" must be a small non-negative integer")}};
            nSurcharge = jReq["overload"].get<int>();
        }
        // "result": "bin" asks for a text result as the bytes handed over.
        bool bOctets = false;
        if (jReq.contains("result")) {
            if (jReq["result"] != "bin") return {{"error", ErreurHote("\"result\" can only be \"bin\"")}};
            bOctets = true;
        }
        json jRep = Appel(jReq["call"].get<std::string>(), tabArgs, false, nSurcharge);
        if (bOctets && jRep.contains("value")) jRep["value"] = ResultatVersJson(m_clHote.GetResultat(), true);
        return jRep;
    }
    if (jReq.contains("info")) {
        if (!jReq["info"].is_number_integer()) return {{"error", ErreurHote("\"info\" needs a code")}};
        intptr_t nArg = jReq.contains("arg") && jReq["arg"].is_number_integer() ? static_cast<intptr_t>(jReq["arg"].get<int64_t>()) : 0;
        return Info(jReq["info"].get<int>(), nArg);
    }
    if (jReq.contains("describe")) {
        if (!jReq["describe"].is_string()) return {{"error", ErreurHote("\"describe\" needs a function name")}};
        return Decrit(jReq["describe"].get<std::string>());
    }
    if (jReq.contains("message")) {
        if (!jReq["message"].is_number_integer()) return {{"error", ErreurHote("\"message\" needs a number")}};
        return Message(jReq["message"].get<int>());
    }
    if (jReq.contains("const")) {
        if (!jReq["const"].is_string()) return {{"error", ErreurHote("\"const\" needs a name")}};
        return Constante(jReq["const"].get<std::string>());
    }
    if (jReq.contains("get")) {
        if (!jReq["get"].is_string()) return {{"error", ErreurHote("\"get\" needs a variable name")}};
        return LitVariable(jReq["get"].get<std::string>());
    }
    if (jReq.contains("set")) {
        if (!jReq["set"].is_string() || !jReq.contains("value"))
            return {{"error", ErreurHote("\"set\" needs a variable name and a \"value\"")}};
        return EcritVariable(jReq["set"].get<std::string>(), jReq["value"]);
    }
    if (jReq.contains("lang")) {
        if (!jReq["lang"].is_string()) return {{"error", ErreurHote("\"lang\" needs \"fr\" or \"en\"")}};
        return Langue(jReq["lang"].get<std::string>());
    }
    if (jReq.contains("new")) {
        if (!jReq["new"].is_string()) return {{"error", ErreurHote("\"new\" needs a class name")}};
        return m_clObjets.Nouveau(jReq["new"].get<std::string>());
    }
    if (jReq.contains("prop")) {
        if (!jReq["prop"].is_string() || !jReq.contains("object") || !jReq["object"].is_number_integer())
            return {{"error", ErreurHote("\"prop\" needs a property name and an \"object\" identifier")}};
        return m_clObjets.Propriete(jReq["prop"].get<std::string>(), jReq["object"].get<int64_t>(),
                                    jReq.contains("value") ? &jReq["value"] : nullptr);
    }
    if (jReq.contains("persist")) return m_clObjets.Persistance(jReq);
    return {{"error", ErreurHote("unknown request")}};
}

std::string CSession::TraiteLigne(const std::string& sLigne) {
    // Whatever a line holds or a call gives back, the answer is one line and
    // the session goes on.
    try {
        json jRep;
        if (nProfondeurTexte(sLigne) > k_nProfondeurMax) {
            jRep = {{"error", ErreurHote("bad request: nested deeper than " + std::to_string(k_nProfondeurMax) + " levels")}};
        } else {
            try {
                jRep = Traite(json::parse(sLigne));
            } catch (const json::exception& e) {
                jRep = {{"error", ErreurHote(std::string("bad request: ") + e.what())}};
            }
        }
        // Texts from the component are valid UTF-8 after conversion; replace
        // rather than fail should anything slip through.
        return jRep.dump(-1, ' ', false, json::error_handler_t::replace);
    } catch (const std::exception& e) {
        return LigneSecours(e.what());
    }
}

}  // namespace qvhost
