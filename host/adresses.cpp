#include "adresses.h"

#include <algorithm>

namespace qvhost {

namespace {

// The byte count of an address overload: its last 4-byte integer argument
// (fLit: handle, count, address; fEcrit and fEcritLigne: handle, address,
// length).
const CArg* pCompte(const STAppelPrepare& stAppel) {
    const auto& tabKinds = stAppel.pstSurcharge->stArgs.tabKinds;
    for (size_t i = std::min(tabKinds.size(), stAppel.tabArgs.size()); i-- > 0;)
        if (tabKinds[i] == eKind::INT) return stAppel.tabArgs[i].get();
    return nullptr;
}

// A variable's content as a buffer: nothing yet, or a binary value.
bool bContenu(const json& jValeur, std::string& sOctets) {
    sOctets.clear();
    if (jValeur.is_null()) return true;
    return jValeur.is_object() && jValeur.size() == 1 && jValeur.contains("bin") && jValeur["bin"].is_string() &&
           Base64Decode(jValeur["bin"].get<std::string>(), sOctets);
}

}  // namespace

bool bPrepareAdresses(STAppelPrepare& stAppel, const CHostContext& clHote, std::string& sErreur) {
    for (size_t i = 0; i < stAppel.tabArgs.size(); ++i) {
        CArg& clArg = *stAppel.tabArgs[i];
        if (clArg.m_eKind != eKind::ADDR || clArg.m_bNull) continue;
        const std::string sArgument = "argument " + std::to_string(i + 1) + ": ";
        if constexpr (sizeof(void*) > 4) {
            sErreur = sArgument + "this component takes a memory address as a 4-byte integer, and a 64-bit host's "
                                  "addresses do not fit in one: address arguments work in the i386 build only";
            return false;
        }
        std::string sOctets;
        if (!bContenu(clHote.LitVariableHote(clArg.m_sNom), sOctets)) {
            sErreur = sArgument + "variable " + clArg.m_sNom + " does not hold a binary value";
            return false;
        }
        if (clArg.m_nTailleAdresse >= 0 && sOctets.size() < static_cast<size_t>(clArg.m_nTailleAdresse))
            sOctets.resize(static_cast<size_t>(clArg.m_nTailleAdresse), '\0');
        // The component reads or writes as many bytes as the count says:
        // beyond the buffer it would reach the host's own memory.
        const CArg* pclCompte = pCompte(stAppel);
        if (!pclCompte) {
            sErreur = sArgument + "this overload has no byte count to check its buffer against";
            return false;
        }
        if (pclCompte->m_n4 > 0 && static_cast<size_t>(pclCompte->m_n4) > sOctets.size()) {
            sErreur = sArgument + std::to_string(pclCompte->m_n4) + " bytes do not fit the " +
                      std::to_string(sOctets.size()) + "-byte buffer of variable " + clArg.m_sNom +
                      " (give a \"size\")";
            return false;
        }
        clArg.m_sTampon = std::move(sOctets);
        clArg.m_n4 = static_cast<int32_t>(reinterpret_cast<uintptr_t>(clArg.m_sTampon.data()));
    }
    return true;
}

void RangeAdresses(const STAppelPrepare& stAppel, CHostContext& clHote) {
    for (const auto& pclArg : stAppel.tabArgs)
        if (pclArg->m_eKind == eKind::ADDR && !pclArg->m_bNull)
            clHote.EcritVariableHote(pclArg->m_sNom, json{{"bin", Base64Encode(pclArg->m_sTampon)}});
}

}  // namespace qvhost
