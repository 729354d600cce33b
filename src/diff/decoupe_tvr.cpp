// Sections of the diff along the structure of two element files (see
// decoupe_tvr.h).
#include "diff/decoupe_tvr.h"

#include <algorithm>
#include <cstring>

#include "files/memstream.h"
#include "projectfile/eltprojetfile.h"

namespace {

struct STPartieLue {
    uint32_t dwDebut;
    uint32_t dwTaille;
    uint8_t byType;
    bool bCode;   // one block of the general compressor, exactly
};

struct STVersionLue {
    uint32_t dwEntete;
    uint32_t dwTailleEntete;
    std::vector<STPartieLue> tabParties;
};

struct STStructure {
    uint32_t dwFinEntete = 0;   // general header and record counter
    std::vector<STVersionLue> tabVersions;
};

// A part that holds one compressor block of the general compressor and
// nothing else: a stored block (method 0) or a coded one (2 or 4).
bool _bBlocEntier(const uint8_t* pby, uint32_t dwTaille) {
    if (dwTaille < 5) return false;
    uint32_t dw;
    std::memcpy(&dw, pby + 1, 4);
    switch (pby[0]) {
        case 0: return uint64_t(dw) + 5 == dwTaille;
        case 2:
        case 4: return dwTaille >= 11 && uint64_t(dw) + 11 == dwTaille;
        default: return false;
    }
}

// The structure of an element file in memory; false when it cannot be read
// whole, or when its tables describe more parts than its bytes could (the
// tables of genuine versions do not overlap).
bool _bLitStructure(const uint8_t* pby, uint32_t dwTaille, STStructure& st) {
    auto* pclFlux = new CMemoryStream();
    bool bOk = pclFlux->bAssociate(const_cast<uint8_t*>(pby), dwTaille) &&
               pclFlux->bOpen(nullptr, IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN);
    if (bOk) {
        CEltProjetFile cl(pclFlux);
        bOk = cl.bReadHeader(0, 1);
        const uint64_t qwPartiesMax = dwTaille / 5 + 1;
        uint64_t qwParties = 0;
        for (uint32_t k = 1; bOk && k <= cl.nNbVersion(); ++k) {
            bOk = cl.bLitVersion(k);
            if (!bOk) break;
            qwParties += cl.dwGetNbPartie();
            if (qwParties > qwPartiesMax) {
                bOk = false;
                break;
            }
            STVersionLue stV;
            stV.dwEntete = static_cast<uint32_t>(cl.oGetOffsetVersion(k));
            stV.dwTailleEntete = static_cast<uint32_t>(
                std::min<uint64_t>(cl.qwGetTailleEnteteVersion(), dwTaille - stV.dwEntete));
            stV.tabParties.reserve(cl.dwGetNbPartie());
            for (uint32_t i = 0; i < cl.dwGetNbPartie(); ++i) {
                const auto dwDebut = static_cast<uint32_t>(cl.oGetOffsetPartie(i));
                const uint32_t dwPartie = cl.dwGetTaillePartie(i);
                stV.tabParties.push_back(
                    STPartieLue{dwDebut, dwPartie, cl.byGetTypePartie(i), _bBlocEntier(pby + dwDebut, dwPartie)});
            }
            st.tabVersions.push_back(std::move(stV));
        }
        if (bOk) st.dwFinEntete = static_cast<uint32_t>(cl.oGetOffsetVersion(1));
    }
    pclFlux->Release();
    return bOk && !st.tabVersions.empty();
}

// The source region matched against part i of target version k.
STPlanSection _stPourPartie(const STStructure& stS, uint32_t dwSource, uint32_t k, const STPartieLue& stT,
                            uint32_t i) {
    const STVersionLue& stV = stS.tabVersions[std::min<size_t>(k, stS.tabVersions.size()) - 1];
    const STPartieLue* pst = nullptr;
    if (i < stV.tabParties.size() && stV.tabParties[i].byType == stT.byType) {
        pst = &stV.tabParties[i];
    } else {
        for (const STPartieLue& stP : stV.tabParties)
            if (stP.byType == stT.byType) {
                pst = &stP;
                break;
            }
    }
    STPlanSection stPlan;
    if (pst == nullptr) {
        stPlan.dwSourceFin = dwSource;
        return stPlan;
    }
    stPlan.dwSourceDebut = pst->dwDebut;
    stPlan.dwSourceFin = pst->dwDebut + pst->dwTaille;
    if (pst->bCode && stT.bCode) stPlan.dwPackCode = BUFFER_PACK_ZLW;
    return stPlan;
}

}  // namespace

bool DIFF_bDecoupeFichierProjet(const uint8_t* pbySource, uint32_t dwSource, const uint8_t* pbyCible, uint32_t dwCible,
                                std::vector<STPlanSection>& tabPlan) {
    tabPlan.clear();
    STStructure stS, stT;
    if (!_bLitStructure(pbySource, dwSource, stS) || !_bLitStructure(pbyCible, dwCible, stT)) return false;

    // The target's regions with their source regions, in target order.
    std::vector<STPlanSection> tabRegions;
    auto Ajoute = [&](uint32_t dwDebut, uint32_t dwFin, STPlanSection st) {
        st.dwCibleDebut = dwDebut;
        st.dwCibleFin = dwFin;
        tabRegions.push_back(st);
    };
    Ajoute(0, stT.dwFinEntete, STPlanSection{0, stS.dwFinEntete, 0, 0, 0, 0});
    for (uint32_t k = 1; k <= stT.tabVersions.size(); ++k) {
        const STVersionLue& stV = stT.tabVersions[k - 1];
        const STVersionLue& stVS = stS.tabVersions[std::min<size_t>(k, stS.tabVersions.size()) - 1];
        Ajoute(stV.dwEntete, stV.dwEntete + stV.dwTailleEntete,
               STPlanSection{stVS.dwEntete, stVS.dwEntete + stVS.dwTailleEntete, 0, 0, 0, 0});
        for (uint32_t i = 0; i < stV.tabParties.size(); ++i) {
            const STPartieLue& stP = stV.tabParties[i];
            if (stP.dwTaille != 0)
                Ajoute(stP.dwDebut, stP.dwDebut + stP.dwTaille, _stPourPartie(stS, dwSource, k, stP, i));
        }
    }
    std::stable_sort(tabRegions.begin(), tabRegions.end(),
                     [](const STPlanSection& a, const STPlanSection& b) { return a.dwCibleDebut < b.dwCibleDebut; });

    // Tiled over the target: gaps and overlaps go against the whole source.
    const STPlanSection stTout{0, dwSource, 0, 0, 0, 0};
    auto Pose = [&](STPlanSection st) {
        if (st.dwCibleFin <= st.dwCibleDebut) return;
        if (!tabPlan.empty()) {
            STPlanSection& stP = tabPlan.back();
            const bool bVoisines = stP.dwSourceFin == st.dwSourceDebut ||
                                   (stP.dwSourceDebut == st.dwSourceDebut && stP.dwSourceFin == st.dwSourceFin);
            if (stP.dwPackCode == 0 && st.dwPackCode == 0 && bVoisines) {
                stP.dwCibleFin = st.dwCibleFin;
                if (stP.dwSourceFin == st.dwSourceDebut) stP.dwSourceFin = st.dwSourceFin;
                return;
            }
        }
        tabPlan.push_back(st);
    };
    // Target bytes outside the structure, matched against the whole source.
    auto PoseHorsStructure = [&](uint32_t dwDebut, uint32_t dwFin) {
        STPlanSection st = stTout;
        st.dwCibleDebut = dwDebut;
        st.dwCibleFin = dwFin;
        Pose(st);
    };
    uint32_t dwPosition = 0;
    for (const STPlanSection& st : tabRegions) {
        if (st.dwCibleDebut > dwPosition) {
            PoseHorsStructure(dwPosition, st.dwCibleDebut);
            dwPosition = st.dwCibleDebut;
        }
        if (st.dwCibleDebut < dwPosition) {
            // Overlapping regions: what passes the covered part is matched whole.
            if (st.dwCibleFin > dwPosition) {
                PoseHorsStructure(dwPosition, st.dwCibleFin);
                dwPosition = st.dwCibleFin;
            }
            continue;
        }
        Pose(st);
        dwPosition = std::max(dwPosition, st.dwCibleFin);
    }
    if (dwPosition < dwCible) PoseHorsStructure(dwPosition, dwCible);
    if (tabPlan.empty()) tabPlan.push_back(STPlanSection{0, dwSource, 0, dwCible, 0, 0});
    return true;
}
