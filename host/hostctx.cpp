#include "hostctx.h"

#include "infolangue.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "qvstd/strmem.h"
#include "strmem_host.h"

namespace qvhost {

// The flag whose address the component receives through GeneralParam(2006):
// non-zero while several threads of the program run.
int g_nPlusieursThreads = 0;

namespace {

// A text the component hands over without a length is read up to the
// host's limit; one with no end within it is refused as too large.
size_t nLongueurWide(const uint32_t* p) {
    size_t n = 0;
    while (n <= k_nOctetsMax / 4 && p[n]) ++n;
    return n;
}

bool bKindPourType(int nType, eKind& eK) {
    switch (nType) {
        case 0x01: eK = eKind::BOOL; return true;
        case 0x08: eK = eKind::INT; return true;
        case 0x09: eK = eKind::I8; return true;
        case 0x0A: eK = eKind::CUR; return true;
        case 0x0C: eK = eKind::REAL; return true;
        case 0x10: eK = eKind::UNI; return true;
        case 0x13: eK = eKind::TEXT; return true;
        case 0x1A: eK = eKind::DATETIME; return true;
        case 0x1B: eK = eKind::DUR; return true;
        case 0x1C: eK = eKind::BIN; return true;
        default: return false;
    }
}

}  // namespace

void CHostContext::DebutAppelLangage(const std::string& sNomFonction, std::vector<CArg*> tabArgs, uint32_t dwFrame) {
    m_sNomFonction = sNomFonction;
    m_sErreurAppel.clear();
    m_tabArgs = std::move(tabArgs);
    m_dwFrame = dwFrame;
    m_stResultat = STResultat{};
    m_stResultatPropriete = STResultat{};
    m_tabConversions.clear();
    m_tabProcUtilisees.clear();
    m_tabVarTouchees.clear();
    m_nEmpiles = 0;
    m_jEmpiles = json::array();
    m_pclRetourAttendu = nullptr;
}

void CHostContext::FinAppelLangage() {
    m_tabArgs.clear();
    m_tabConversions.clear();
    m_pclRetourAttendu = nullptr;
}

STProcedure& CHostContext::Procedure(const std::string& sNom) {
    auto& p = m_mapProcedures[sNom];
    if (!p) {
        p = std::make_unique<STProcedure>();
        p->sNom = sNom;
    }
    bool bVue = false;
    for (const auto& s : m_tabProcUtilisees) bVue = bVue || s == sNom;
    if (!bVue) {
        m_tabProcUtilisees.push_back(sNom);
        // An answer reports the runs of its own call: the records of earlier
        // calls would pile up for the life of the session.
        p->tabNbArgs.clear();
        p->tabValeurs.clear();
    }
    return *p;
}

void CHostContext::VariableTouchee(const std::string& sNom) {
    m_mapVariables.emplace(sNom, nullptr);   // created on first use
    for (const auto& s : m_tabVarTouchees)
        if (s == sNom) return;
    m_tabVarTouchees.push_back(sNom);
}

json CHostContext::JsonProcedures() const {
    json j = json::object();
    for (const auto& sNom : m_tabProcUtilisees) {
        auto it = m_mapProcedures.find(sNom);
        if (it == m_mapProcedures.end()) continue;
        json jAppels = json::array();
        const STProcedure& st = *it->second;
        for (size_t i = 0; i < st.tabNbArgs.size(); ++i)
            jAppels.push_back({{"args", st.tabNbArgs[i]},
                               {"values", i < st.tabValeurs.size() ? st.tabValeurs[i] : json::array()}});
        j[sNom] = {{"count", it->second->tabNbArgs.size()}, {"calls", jAppels}};
    }
    return j;
}

json CHostContext::JsonVariables() const {
    json j = json::object();
    for (const auto& sNom : m_tabVarTouchees) {
        auto it = m_mapVariables.find(sNom);
        j[sNom] = it == m_mapVariables.end() ? json(nullptr) : it->second;
    }
    return j;
}

intptr_t CHostContext::bInfoVM(int nRequest, intptr_t nArgument) {
    switch (nRequest) {
        case 5:    // pocket simulator
        case 7:    // MCU run
            return 0;
        case 9:    // system time record: no layout agreed with the component yet
        case 10:   // object files: this host loads none
            return 0;
        case 13:
            switch (nArgument) {
                case 1:   // label
                case 4:   // current object
                    m_sTexteInfo = "qvhost";
                    return reinterpret_cast<intptr_t>(m_sTexteInfo.c_str());
                case 2:   // code name: the language function being called
                    m_sTexteInfo = Utf8ToCharset(m_sNomFonction, m_eCharset);
                    return reinterpret_cast<intptr_t>(m_sTexteInfo.c_str());
                default:  // line, file type, code identifier, object identifier
                    return 0;
            }
        case INFOVM_INFOLANGUE:   // language information, borrowed for the call
            InfoLangue().SetCharset(m_eCharset);
            return reinterpret_cast<intptr_t>(static_cast<IInfoLangue*>(&InfoLangue()));
        default: return 0;
    }
}

int CHostContext::ChangeMode(int nMode) {
    int nAncien = m_nMode;
    m_nMode = nMode;
    return nAncien;
}

int CHostContext::EmpileArgument(CAny* pclValeur, uint32_t) {
    if (!pclValeur) return 0;
    return Protege(0, [&] {
        m_jEmpiles.push_back(AnyVersJson(pclValeur));
        ++m_nEmpiles;
        return 1;
    });
}

void CHostContext::NoteEchec(const char* pszQuoi) noexcept {
    try {
        if (m_sErreurAppel.empty()) m_sErreurAppel = std::string("the host failed to serve the call: ") + pszQuoi;
    } catch (...) {
        // Not even the message fits: the call's answer is built without it.
    }
}

int CHostContext::TrouveProcedure(const char* pszNom, int, void** phProcedure, CXError*, int* pbSucces) {
    if (phProcedure) *phProcedure = nullptr;
    if (pbSucces) *pbSucces = 0;
    if (!pszNom || !phProcedure) return 0;
    std::string sNom = CharsetToUtf8(pszNom, std::strlen(pszNom), m_eCharset);
    // Procedure names of the language ignore case.
    std::u32string sCle = NameKey(sNom, false, true);
    for (auto& [sCleMap, pst] : m_mapProcedures) {
        if (NameKey(sCleMap, false, true) == sCle) {
            *phProcedure = pst.get();
            if (pbSucces) *pbSucces = 1;
            return 1;
        }
    }
    return 0;
}

int CHostContext::ExecuteProcedure(void* hProcedure, uint32_t, int nArgs, int) {
    if (!hProcedure) return 0;
    auto* pst = static_cast<STProcedure*>(hProcedure);
    bool bConnue = false;
    for (auto& [s, p] : m_mapProcedures) bConnue = bConnue || p.get() == pst;
    if (!bConnue) return 0;
    pst->tabNbArgs.push_back(nArgs);
    // The values of this run are the last nArgs pushed.
    json jValeurs = json::array();
    size_t nPousses = m_jEmpiles.size();
    size_t nPris = nArgs > 0 ? std::min(nPousses, static_cast<size_t>(nArgs)) : 0;
    for (size_t i = nPousses - nPris; i < nPousses; ++i) jValeurs.push_back(m_jEmpiles[i]);
    pst->tabValeurs.push_back(jValeurs);
    m_jEmpiles = json::array();
    m_nEmpiles = 0;
    // The procedure's return value goes into the receiver the component
    // registered for this run.
    if (m_pclRetourAttendu) {
        std::string sErreur;
        bJsonVersAny(pst->jRetour, m_pclRetourAttendu, sErreur);
        m_pclRetourAttendu = nullptr;
    }
    return 1;
}

void* CHostContext::TrouveProcedureThread(void*, const char* pszNom, void** phProcedure, CXError* pclErreur) {
    int bSucces = 0;
    TrouveProcedure(pszNom, 0, phProcedure, pclErreur, &bSucces);
    return bSucces && phProcedure ? *phProcedure : nullptr;
}

int CHostContext::bMTEnCours() { return g_nPlusieursThreads != 0; }

int CHostContext::bThreadPrincipal() { return static_cast<long>(syscall(SYS_gettid)) == static_cast<long>(getpid()); }

CArg* CHostContext::pArg(int nIndex) const {
    if (nIndex < 1 || static_cast<size_t>(nIndex) > m_tabArgs.size()) return nullptr;
    return m_tabArgs[static_cast<size_t>(nIndex) - 1];
}

int CHostContext::bParamNull(int nIndex, uint32_t) {
    CArg* p = pArg(nIndex);
    return !p || p->m_bNull;
}

int CHostContext::bChaineUnicode(int nIndex, uint32_t) {
    CArg* p = pArg(nIndex);
    return p && (p->m_eKind == eKind::UNI || (p->m_eKind == eKind::FILE && p->m_stManip.nType == 16));
}

namespace {

// A host variable named by a {"var": NAME} argument, as the component
// writes and reads it.
class CVariableHote final : public IVariable {
public:
    CVariableHote(CHostContext* pclHote, std::string sNom) : m_pclHote(pclHote), m_sNom(std::move(sNom)) {}
    int bAffecte(const CAny* pclValeur, CXError*) override {
        if (!pclValeur) return 0;
        m_pclHote->EcritVariableHote(m_sNom, AnyVersJson(pclValeur));
        return 1;
    }
    int bLit(CAny* pclValeur, CXError*) override {
        std::string sErreur;
        return bJsonVersAny(m_pclHote->LitVariableHote(m_sNom), pclValeur, sErreur) ? 1 : 0;
    }
    void Release() override { delete this; }

private:
    CHostContext* m_pclHote;
    std::string m_sNom;
};

}  // namespace

void CHostContext::SetCharset(eCharset eCs) {
    m_eCharset = eCs;
    SetCharsetConversion(eCs);
}

json CHostContext::LitVariableHote(const std::string& sNom) const {
    auto it = m_mapVariables.find(sNom);
    return it == m_mapVariables.end() ? json(nullptr) : it->second;
}

void CHostContext::EcritVariableHote(const std::string& sNom, const json& jValeur) {
    VariableTouchee(sNom);
    m_mapVariables[sNom] = jValeur;
}

// Every argument kind gives a variant; "any" arguments give the JSON value
// as a variant, a variable argument the variable's current value. A null
// argument gives the empty variant with its null mark.
int CHostContext::bRempliAny(int nIndex, CAny* pclValeur, bool) {
    CArg* p = pArg(nIndex);
    if (!p || !pclValeur) return 0;
    return Protege(0, [&] {
        std::string sErreur;
        bool bOk = p->bValeurDeVariable() ? bJsonVersAny(LitVariableHote(p->m_sNom), pclValeur, sErreur)
                                          : bArgVersAny(*p, pclValeur, sErreur);
        // The component may take a refused value for an empty one: the
        // answer must say it was refused.
        if (!bOk && m_sErreurAppel.empty())
            m_sErreurAppel = "argument " + std::to_string(nIndex) + ": " + (sErreur.empty() ? "no value" : sErreur);
        return bOk ? 1 : 0;
    });
}

int CHostContext::bGetParamAny(int nIndex, uint32_t, CAny* pclValeur, CXError*) {
    return bRempliAny(nIndex, pclValeur, false);
}
int CHostContext::bGetParamAnyNULL(int nIndex, uint32_t, CAny* pclValeur, CXError*) {
    return bRempliAny(nIndex, pclValeur, true);
}
int CHostContext::bGetValeurParametre(int nIndex, uint32_t, CAny* pclValeur) {
    return bRempliAny(nIndex, pclValeur, true);
}

// Variable interfaces exist for {"var": NAME} arguments only.
int CHostContext::bVariable(int nIndex, IVariable** ppiVariable) {
    if (!ppiVariable) return 0;
    *ppiVariable = nullptr;
    CArg* p = pArg(nIndex);
    if (!p || p->m_eKind != eKind::VAR) return 0;
    VariableTouchee(p->m_sNom);
    *ppiVariable = new CVariableHote(this, p->m_sNom);
    return 1;
}
int CHostContext::bGetParamIVariable(int nIndex, uint32_t, IVariable** pp, CXError*) { return bVariable(nIndex, pp); }
int CHostContext::bGetParamIVariableNom(int nIndex, uint32_t, IVariable** pp, int, CXError*) {
    return bVariable(nIndex, pp);
}
int CHostContext::bGetParamIVariableOuValeur(int nIndex, uint32_t, IVariable** pp, CXError*) {
    return bVariable(nIndex, pp);
}
int CHostContext::bEmpileTableau(void*, uint32_t) { return 0; }

int CHostContext::bGetNomVariable(int nIndex, uint32_t, char** ppszNom, int, CXError*) {
    CArg* p = pArg(nIndex);
    if (!ppszNom || !p || p->m_eKind != eKind::VAR) return 0;
    // The caller owns the copy and frees it with free().
    std::string s = Utf8ToCharset(p->m_sNom, m_eCharset);
    *ppszNom = strdup(s.c_str());
    return *ppszNom != nullptr;
}

void* CHostContext::pGetParametre(int nIndex, uint32_t, int nType, CXError*) {
    CArg* p = pArg(nIndex);
    eKind eK;
    if (!p || !bKindPourType(nType, eK)) return nullptr;
    if (p->m_eKind == eK && p->pPointeur()) return p->pPointeur();
    return Protege(static_cast<void*>(nullptr), [&]() -> void* {
        auto pclConv = std::make_unique<CArg>();
        int nScore = 0;
        std::string sErreur;
        const json jSource = p->bValeurDeVariable() ? LitVariableHote(p->m_sNom) : p->m_jSource;
        if (!bConvertit(jSource, eK, true, m_eCharset, *pclConv, nScore, sErreur)) return nullptr;
        void* pRes = pclConv->pPointeur();
        m_tabConversions.push_back(std::move(pclConv));
        return pRes;
    });
}

void CHostContext::Capture(STResultat& stR, const void* pValeur, int nType, bool bPropriete) {
    stR = STResultat{};
    stR.bRecu = true;
    stR.nType = nType;
    if (!pValeur) return;
    switch (nType) {
        case 0x01:
        case 0x08: std::memcpy(&stR.n4, pValeur, 4); break;
        case 0x09:
        case 0x1B: std::memcpy(&stR.n8, pValeur, 8); break;
        case 0x0A: std::memcpy(&stR.stMonnaie, pValeur, sizeof stR.stMonnaie); break;
        case 0x0C: std::memcpy(&stR.r, pValeur, 8); break;
        case 0x13:
        case 0x1C: {
            void* pMemoire = nullptr;
            std::memcpy(&pMemoire, pValeur, sizeof pMemoire);
            if (nLongueurChaine(pMemoire) > k_nOctetsMax) {
                stR.nTropGrand = nLongueurChaine(pMemoire);
                break;
            }
            stR.sOctets = LitChaine(pMemoire);
            if (nType == 0x13) {
                if (KindChaine(pMemoire) == SMK_UNICODE)
                    stR.sUtf8 = WideToUtf8(reinterpret_cast<const uint32_t*>(stR.sOctets.data()), stR.sOctets.size() / 4);
                else
                    stR.sUtf8 = CharsetToUtf8(stR.sOctets, m_eCharset);
            }
            break;
        }
        case 0x10: {
            if (bPropriete) {   // a string property's value is a dynamic string
                Capture(stR, pValeur, 0x13, false);
                stR.nType = 0x10;
                break;
            }
            const auto* p = static_cast<const uint32_t*>(pValeur);
            size_t n = nLongueurWide(p);
            if (n * 4 > k_nOctetsMax) {
                stR.nTropGrand = n * 4;
                break;
            }
            stR.sOctets.assign(static_cast<const char*>(pValeur), n * 4);
            stR.sUtf8 = WideToUtf8(p, n);
            break;
        }
        case 0x12:
        case 0x17: {
            const char* psz = static_cast<const char*>(pValeur);
            size_t n = strnlen(psz, k_nOctetsMax + 1);
            stR.nType = bPropriete ? nType : 0x17;
            if (n > k_nOctetsMax) {
                stR.nTropGrand = n;
                break;
            }
            stR.sOctets.assign(psz, n);
            stR.sUtf8 = CharsetToUtf8(stR.sOctets, m_eCharset);
            break;
        }
        case 0x1F: {
            const auto* pcl = static_cast<const CAny*>(pValeur);
            stR.jVariant = AnyVersJson(pcl);
            std::string s;
            if (stR.jVariant.is_string()) s = stR.jVariant.get<std::string>();
            else if (!stR.jVariant.is_null()) s = stR.jVariant.dump();
            stR.sUtf8 = s;
            break;
        }
        default:
            // Anything else: the type is recorded.
            break;
    }
}

// A result the host failed to copy is no result: the call's answer carries
// the failure.
void CHostContext::RenvoieValeur(uint32_t, const void* pValeur, int nType) {
    if (!Protege(false, [&] {
            Capture(m_stResultat, pValeur, nType, false);
            return true;
        }))
        m_stResultat = STResultat{};
}

void CHostContext::RenvoieValeurPropriete(void*, const void* pValeur, int nType) {
    if (!Protege(false, [&] {
            Capture(m_stResultatPropriete, pValeur, nType, true);
            return true;
        }))
        m_stResultatPropriete = STResultat{};
}

}  // namespace qvhost
