// diffCrée and diffApplique over the diff engine, with its failures raised
// as the library's numbered errors.
#include "diff/functions.h"

#include "codec/buffer.h"
#include "diff/xdelta.h"

namespace diff {

namespace {

constexpr int ERREUR_MEMOIRE = 80041;

// An empty binary is a buffer all the same: only a null one is missing.
const uint8_t* _pbyOctets(const CZNBINBase& cl) {
    static const uint8_t s_byVide = 0;
    return cl.pGet() != nullptr ? cl.pGet() : &s_byVide;
}

uint32_t _dwTaille(const CZNBINBase& cl) { return static_cast<uint32_t>(cl.nGetTaille()); }

// The library error of an error type of the engine.
void _TraiteErreurDiff(CZNLibrary& lib, CDiffXDelta::EErrorType e) {
    switch (e) {
        case CDiffXDelta::DIFF_ERR_ILLISIBLE: lib.RaiseError(81651); break;
        case CDiffXDelta::DIFF_ERR_CRC_SOURCE: lib.RaiseError(81652); break;
        case CDiffXDelta::DIFF_ERR_CRC_CIBLE: lib.RaiseError(81653); break;
        case CDiffXDelta::DIFF_ERR_POURCENTAGE: lib.RaiseError(81654); break;
        case CDiffXDelta::DIFF_ERR_SOURCE_VIDE: lib.RaiseError(81655); break;
        case CDiffXDelta::DIFF_ERR_IDENTIQUES: lib.RaiseError(81656); break;
        case CDiffXDelta::DIFF_ERR_MEMOIRE: lib.RaiseError(ERREUR_MEMOIRE); break;
        default: lib.RaiseError(81650); break;
    }
}

// The rebuilt target straight into the result's memory.
class CDestinationBIN : public IDiffDestination {
public:
    explicit CDestinationBIN(CZNBIN& cl) : m_cl(cl) {}
    uint8_t* pbyPrepare(uint32_t dwTaille) override {
        if (dwTaille == 0 || m_cl.nSetSize(dwTaille) != SMR_OK) return nullptr;
        return m_cl.pGetModifiable();
    }

private:
    CZNBIN& m_cl;
};

}  // namespace

CZNBIN diffCree(CZNLibrary& lib, const CZNBINBase& clSource, const CZNBINBase& clCible) {
    return diffCree(lib, clSource, clCible, DIFF_BINAIRE, POURCENTAGE_DEFAUT);
}

CZNBIN diffCree(CZNLibrary& lib, const CZNBINBase& clSource, const CZNBINBase& clCible, int32_t nOptions) {
    return diffCree(lib, clSource, clCible, nOptions, POURCENTAGE_DEFAUT);
}

CZNBIN diffCree(CZNLibrary& lib, const CZNBINBase& clSource, const CZNBINBase& clCible, int32_t nOptions,
                int32_t nPourcentageMax) {
    CZNBIN clResultat;
    CDiffXDelta clDiff;
    clDiff.SetPourcentageMax((nOptions & DIFF_POURCENTAGE_MAX) != 0 ? nPourcentageMax : CDiffXDelta::POURCENTAGE_AUCUN);
    CQVBuffer clSortie;
    if (!clDiff.bComputeDiff(_pbyOctets(clSource), _dwTaille(clSource), _pbyOctets(clCible), _dwTaille(clCible),
                             clSortie, (nOptions & DIFF_FICHIER_TVR) != 0)) {
        _TraiteErreurDiff(lib, clDiff.eGetErreur());
        return clResultat;
    }
    const uint32_t dwTaille = clSortie.dwGetCodedSize();
    if (clResultat.nAssign(clSortie.pbyGetCodedBuffer(), static_cast<int>(dwTaille)) != SMR_OK) {
        clResultat.Vide();
        lib.RaiseError(ERREUR_MEMOIRE);
    }
    return clResultat;
}

CZNBIN diffApplique(CZNLibrary& lib, const CZNBINBase& clSource, const CZNBINBase& clDiff) {
    CZNBIN clResultat;
    CDiffXDelta clMoteur;
    CDestinationBIN clDestination(clResultat);
    if (!clMoteur.bApplyDiff(_pbyOctets(clSource), _dwTaille(clSource), _pbyOctets(clDiff), _dwTaille(clDiff),
                             clDestination)) {
        clResultat.Vide();
        _TraiteErreurDiff(lib, clMoteur.eGetErreur());
    }
    return clResultat;
}

}  // namespace diff
