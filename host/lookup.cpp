#include "lookup.h"

#include <array>
#include <cstring>

namespace qvhost {

bool STFonctionHote::bDisponible() const {
    for (const auto& st : tabSurcharges)
        if (st.pfnEntree) return true;
    return false;
}

namespace {
// Exact, without accents, without case, without both.
const bool k_tabPasses[4][2] = {{false, false}, {true, false}, {false, true}, {true, true}};
}  // namespace

void CIndexNoms::Charge(const std::vector<std::array<std::string, 2>>& tabNoms) {
    for (int p = 0; p < 4; ++p) {
        m_tabPasses[p].clear();
        for (size_t i = 0; i < tabNoms.size(); ++i)
            for (const auto& sNom : tabNoms[i])
                if (!sNom.empty())
                    m_tabPasses[p].emplace(NameKey(sNom, k_tabPasses[p][0], k_tabPasses[p][1]), static_cast<int>(i));
    }
}

int CIndexNoms::nCherche(const std::string& sNom) const {
    for (int p = 0; p < 4; ++p) {
        auto it = m_tabPasses[p].find(NameKey(sNom, k_tabPasses[p][0], k_tabPasses[p][1]));
        if (it != m_tabPasses[p].end()) return it->second;
    }
    return -1;
}

int nChercheNom(const std::vector<std::array<std::string, 2>>& tabNoms, const std::string& sNom) {
    CIndexNoms cl;
    cl.Charge(tabNoms);
    return cl.nCherche(sNom);
}

void CTableFonctions::Charge(const STFonction* pstTab, int nRows, const QVSignature* pstSigs, size_t nSigs,
                             eCharset eCs) {
    m_tabFonctions.clear();
    m_clIndex.Charge({});
    if (!pstTab || nRows <= 0) return;
    std::vector<std::array<std::string, 2>> tabNoms;
    for (int i = 0; i < nRows; ++i) {
        const STFonction& st = pstTab[i];
        STFonctionHote stF;
        stF.nRow = i;
        stF.dwFlags = st.dwFlags;
        stF.dwId = st.dwId;
        for (int l = 0; l < 2; ++l)
            stF.sNom[l] = st.pszNom[l] ? CharsetToUtf8(st.pszNom[l], std::strlen(st.pszNom[l]), eCs) : std::string();
        int nSyntaxes = st.pstSyntaxes ? static_cast<int>(st.dwId >> 24) : 0;
        for (int n = 0; n < nSyntaxes; ++n) {
            const STSyntaxe& stS = st.pstSyntaxes[n];
            STSurcharge stO;
            stO.nIndex = n;
            stO.pfnEntree = stS.pfnEntree;
            stO.dwArgs = stS.dwArgs;
            if (stS.pszResultat && stS.pszResultat[0]) stO.nResultat = static_cast<unsigned char>(stS.pszResultat[0]);
            for (size_t k = 0; k < nSigs; ++k) {
                if (pstSigs[k].nRow == i && pstSigs[k].nOverload == n) {
                    stO.pstSig = &pstSigs[k];
                    std::string sErreur;
                    stO.bSigValide = bParseSignatureArgs(pstSigs[k].pszArgs, stO.stArgs, sErreur) &&
                                     stO.stArgs.tabKinds.size() == (stS.dwArgs & 0x7F) &&
                                     stO.stArgs.bQueue == ((stS.dwArgs & 0x80) != 0);
                    break;
                }
            }
            stF.tabSurcharges.push_back(std::move(stO));
        }
        tabNoms.push_back({stF.sNom[0], stF.sNom[1]});
        m_tabFonctions.push_back(std::move(stF));
    }
    m_clIndex.Charge(tabNoms);
}

const STFonctionHote* CTableFonctions::pCherche(const std::string& sNom) const {
    int n = m_clIndex.nCherche(sNom);
    return n < 0 ? nullptr : &m_tabFonctions[static_cast<size_t>(n)];
}

const STFonctionHote* CTableFonctions::pRow(int nRow) const {
    if (nRow < 0 || static_cast<size_t>(nRow) >= m_tabFonctions.size()) return nullptr;
    return &m_tabFonctions[static_cast<size_t>(nRow)];
}

bool bPrepareAppel(const STFonctionHote& stF, const std::vector<json>& tabValeurs, bool bLigneCommande, int nForce,
                   eCharset eCs, STAppelPrepare& stAppel, std::string& sErreur, bool bInvite) {
    stAppel = STAppelPrepare{};
    if (!stF.bDisponible()) {
        sErreur = stF.sNom[0] + ": not available on this platform";
        return false;
    }
    if (nForce >= static_cast<int>(stF.tabSurcharges.size())) {
        sErreur = stF.sNom[0] + ": no overload " + std::to_string(nForce);
        return false;
    }
    int nMeilleur = -1;
    std::string sPremiereErreur;
    // What an overload that takes this many arguments says about one of
    // them tells more than another overload's count.
    bool bErreurArgument = false;
    size_t nPasses = tabValeurs.size();
    for (const auto& stO : stF.tabSurcharges) {
        if (nForce >= 0 && stO.nIndex != nForce) continue;
        if (!stO.pfnEntree) {
            if (nForce >= 0) sPremiereErreur = "overload " + std::to_string(stO.nIndex) + " not available on this platform";
            continue;
        }
        if (!stO.bSigValide) {
            if (sPremiereErreur.empty())
                sPremiereErreur = "overload " + std::to_string(stO.nIndex) + " has no usable signature in the host";
            continue;
        }
        const STSignatureArgs& stA = stO.stArgs;
        if (nPasses < static_cast<size_t>(stA.nRequis) || (!stA.bQueue && nPasses > stA.tabKinds.size())) {
            if (sPremiereErreur.empty() || nForce >= 0)
                sPremiereErreur = "overload " + std::to_string(stO.nIndex) + " takes " +
                                  "(" + stO.pstSig->pszArgs + "), " + std::to_string(nPasses) + " given";
            continue;
        }
        std::vector<std::unique_ptr<CArg>> tabArgs;
        int nTotal = 0;
        bool bOk = true;
        for (size_t i = 0; i < nPasses && bOk; ++i) {
            eKind eK = i < stA.tabKinds.size() ? stA.tabKinds[i] : stA.eQueue;
            auto pclArg = std::make_unique<CArg>();
            int nScore = 0;
            std::string sErr;
            if (!bConvertit(tabValeurs[i], eK, bLigneCommande, eCs, *pclArg, nScore, sErr, bInvite)) {
                if (!bErreurArgument || nForce >= 0)
                    sPremiereErreur = "argument " + std::to_string(i + 1) + ": " + sErr;
                bErreurArgument = true;
                bOk = false;
                break;
            }
            // Declared arrays need host objects this host does not build
            // (objects are the tables of table.cpp).
            if (i < stA.tabKinds.size() && eK == eKind::ARRAY) {
                if (!bErreurArgument || nForce >= 0)
                    sPremiereErreur = "argument " + std::to_string(i + 1) + ": " + pszKindName(eK) +
                                      " arguments are not supported by this host yet";
                bErreurArgument = true;
                bOk = false;
                break;
            }
            nTotal += nScore;
            tabArgs.push_back(std::move(pclArg));
        }
        if (!bOk) continue;
        if (nMeilleur < nTotal) {
            nMeilleur = nTotal;
            stAppel.pstSurcharge = &stO;
            stAppel.tabArgs = std::move(tabArgs);
        }
    }
    if (!stAppel.pstSurcharge) {
        sErreur = stF.sNom[0] + ": " + (sPremiereErreur.empty() ? "no overload fits the arguments" : sPremiereErreur);
        return false;
    }
    return true;
}

}  // namespace qvhost
