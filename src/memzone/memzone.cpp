// The memory-zone engine's context (one per process) and its operations:
// zones, records in the memory area or the spill file, reading by number,
// moves, the current record and the status flags. The sort and the search
// by key live in mz_tri.cpp.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#include "memzone/mz_interne.h"
#include "platform/chartab.h"

using namespace mz;

namespace {

struct stCTXMEM {
    _stBUFFERMEM* pTete = nullptr;
    _stBUFFERMEM* pDefaut = nullptr;
    _stBUFFERMEM* pDerniere = nullptr;   // last used by a creation or an add
    uint8_t* pScratchA = nullptr;  // record reads and writes (MEM_MAX_ENREG_ENTIER bytes)
    char szRepTemp[PATH_MAX] = {};
    bool bRepFixe = false;         // the temporary directory was set by MEM_SetLimites
    uint32_t nZones = 0;
    uint32_t nExtensions = 0;      // growth steps in use, all zones together
    STMemLimites stLimites;
    bool bDemarre = false;
};

std::mutex g_mtxMem;
stCTXMEM g_stCtx;

void _FixeRepTemp() {
    const char* psz = getenv("TMPDIR");
    if (psz == nullptr || psz[0] == '\0' || strlen(psz) >= sizeof g_stCtx.szRepTemp) psz = "/tmp";
    strcpy(g_stCtx.szRepTemp, psz);
}

bool _bDemarre() {
    if (g_stCtx.bDemarre) return true;
    if (!g_stCtx.bRepFixe) _FixeRepTemp();
    g_stCtx.pScratchA = static_cast<uint8_t*>(malloc(MEM_MAX_ENREG_ENTIER));
    if (g_stCtx.pScratchA == nullptr) return false;
    g_stCtx.bDemarre = true;
    return true;
}

// The stored form of a name: upper case, cut to 20 characters, zero-padded.
void _Normalise(const char* pszZone, char* pszNom) {
    memset(pszNom, 0, MEM_TAILLE_NOM + 1);
    if (pszZone == nullptr) pszZone = MEM_ZONE_DEFAUT;
    for (size_t i = 0; i < MEM_TAILLE_NOM && pszZone[i] != '\0'; ++i)
        pszNom[i] = char(pToUpper_Latin1[static_cast<unsigned char>(pszZone[i])]);
}

_stBUFFERMEM* _pstCherche(const char* pszNom) {
    for (_stBUFFERMEM* p = g_stCtx.pTete; p != nullptr; p = p->pSuivante)
        if (memcmp(p->szNom, pszNom, MEM_TAILLE_NOM) == 0) return p;
    return nullptr;
}

// The zone a name designates (see memzone.h), or null.
_stBUFFERMEM* _pstTrouve(const char* pszZone) {
    if (pszZone != nullptr && pszZone[0] == '\0') {
        if (g_stCtx.pDerniere != nullptr) return g_stCtx.pDerniere;
        pszZone = nullptr;
    }
    char szNom[MEM_TAILLE_NOM + 1];
    _Normalise(pszZone, szNom);
    return _pstCherche(szNom);
}

// The name a new zone takes: an empty name keeps the last-used zone's.
void _NomDeCreation(const char* pszZone, char* pszNom) {
    if (pszZone != nullptr && pszZone[0] == '\0' && g_stCtx.pDerniere != nullptr) {
        memcpy(pszNom, g_stCtx.pDerniere->szNom, MEM_TAILLE_NOM + 1);
        return;
    }
    _Normalise(pszZone != nullptr && pszZone[0] == '\0' ? nullptr : pszZone, pszNom);
}

_stBUFFERMEM* _pstCree(const char* pszNom) {
    const STMemLimites& stL = g_stCtx.stLimites;
    auto* p = new (std::nothrow) _stBUFFERMEM(stL.nEntreesBloc);
    if (p == nullptr) return nullptr;
    p->pArea = static_cast<uint8_t*>(malloc(stL.nTailleArea));
    if (p->pArea == nullptr) {
        delete p;
        return nullptr;
    }
    memcpy(p->szNom, pszNom, MEM_TAILLE_NOM + 1);
    p->nCapacite = p->nPas = stL.nTailleArea;
    p->pSuivante = g_stCtx.pTete;
    g_stCtx.pTete = p;
    ++g_stCtx.nZones;
    if (strcmp(p->szNom, MEM_ZONE_DEFAUT) == 0) g_stCtx.pDefaut = p;
    return p;
}

void _Detruit(_stBUFFERMEM* pstZone) {
    for (_stBUFFERMEM** pp = &g_stCtx.pTete; *pp != nullptr; pp = &(*pp)->pSuivante) {
        if (*pp == pstZone) {
            *pp = pstZone->pSuivante;
            break;
        }
    }
    g_stCtx.nExtensions -= pstZone->nExtensions;
    if (g_stCtx.pDefaut == pstZone) g_stCtx.pDefaut = nullptr;
    if (g_stCtx.pDerniere == pstZone) g_stCtx.pDerniere = nullptr;
    --g_stCtx.nZones;
    delete pstZone;
}

void _DetruitTout() {
    while (g_stCtx.pTete != nullptr) _Detruit(g_stCtx.pTete);
}

// Writes a record where the zone has room: after the used bytes of the
// memory area, in a new growth step, else in the spill file.
eMemRes _eEcrit(_stBUFFERMEM* pstZone, const STMemDonnee& stCle, const STMemDonnee& stValeur, uint32_t* pnOffset) {
    if (uint64_t(stCle.nLongueur) + stValeur.nLongueur + MEM_SURCOUT_ENREG > MEM_MAX_ENREG) return MEMR_TROP_LONG;
    const uint32_t nTaille = nTailleEnreg(stCle, stValeur);
    const STMemLimites& stL = g_stCtx.stLimites;
    if (nTaille <= pstZone->nCapacite - pstZone->nUtilise) {
        *pnOffset = pstZone->nUtilise;
        EcritEnreg(pstZone->pArea + pstZone->nUtilise, stCle, stValeur);
        pstZone->nUtilise += nTaille;
        return MEMR_OK;
    }
    // Once the zone has spilled its area keeps its size: file offsets are
    // counted from it.
    if (!pstZone->bSansCroissance && !pstZone->clDebord.bOuvert() && pstZone->nExtensions < stL.nExtensionsZone &&
        g_stCtx.nExtensions < stL.nExtensionsTotal && nTaille <= pstZone->nPas &&
        pstZone->nCapacite <= UINT32_MAX / 2 - pstZone->nPas) {
        auto* p = static_cast<uint8_t*>(realloc(pstZone->pArea, size_t(pstZone->nCapacite) + pstZone->nPas));
        if (p != nullptr) {
            pstZone->pArea = p;
            *pnOffset = pstZone->nCapacite;
            EcritEnreg(p + pstZone->nCapacite, stCle, stValeur);
            pstZone->nUtilise = pstZone->nCapacite + nTaille;   // the old area's tail stays unused
            pstZone->nCapacite += pstZone->nPas;
            ++pstZone->nExtensions;
            ++g_stCtx.nExtensions;
            return MEMR_OK;
        }
        pstZone->bSansCroissance = true;
    }
    CDebord& clDebord = pstZone->clDebord;
    const bool bNouveau = !clDebord.bOuvert();
    if (bNouveau) {
        if (!clDebord.bOuvre(g_stCtx.szRepTemp, stL.nTamponFichier)) return MEMR_ECHEC;
        if (stL.bSansProjection) clDebord.SansProjection();
        pstZone->bSansCroissance = true;
    }
    const uint64_t nPosition = clDebord.nTaille();
    // Offsets are 32-bit: the file ends where they do.
    if (uint64_t(pstZone->nCapacite) + nPosition + nTaille > UINT32_MAX) return MEMR_ECHEC;
    EcritEnreg(g_stCtx.pScratchA, stCle, stValeur);
    if (!clDebord.bAjoute(g_stCtx.pScratchA, nTaille)) {
        // A file that never held a record goes; one that did keeps them.
        if (bNouveau) clDebord.Ferme();
        return MEMR_ECHEC;
    }
    *pnOffset = uint32_t(pstZone->nCapacite + nPosition);
    return MEMR_OK;
}

bool _bEnMemoire(const _stBUFFERMEM* pstZone, uint32_t nOffset) { return nOffset < pstZone->nCapacite; }

void _Compte(_stBUFFERMEM* pstZone, uint32_t nOffset, int nSens) {
    uint32_t& n = _bEnMemoire(pstZone, nOffset) ? pstZone->nEnMemoire : pstZone->nEnFichier;
    n = uint32_t(int64_t(n) + nSens);
}

// Flags after a number outside 1..count.
void _HorsListe(_stBUFFERMEM* pstZone, int64_t n) {
    STMemEtat& st = pstZone->stEtat;
    st.bAvantDebut = n < 1;
    st.bApresFin = n > int64_t(pstZone->clIndex.nGetNb());
    st.bTrouve = false;
    st.bEnDehors = true;
}

void _Atteint(_stBUFFERMEM* pstZone) {
    STMemEtat& st = pstZone->stEtat;
    st.bTrouve = true;
    st.bEnDehors = st.bAvantDebut = st.bApresFin = false;
}

// The common reader: the value of record n, with the flags of a read by
// number. The current record is left to the caller.
eMemRes _eLitNumero(_stBUFFERMEM* pstZone, int64_t n, CMemLecture* pclValeur) {
    pclValeur->Vide();
    if (n < 1 || n > int64_t(pstZone->clIndex.nGetNb())) {
        _HorsListe(pstZone, n);
        return MEMR_ABSENT;
    }
    STVue stVue;
    if (!bLitEnregZone(pstZone, pstZone->clIndex.nGet(uint32_t(n)), g_stCtx.pScratchA, &stVue) ||
        !pclValeur->bAffecte(stVue.stValeur.cType, stVue.stValeur.pOctets, stVue.stValeur.nLongueur)) {
        pstZone->stEtat.bTrouve = false;
        pstZone->stEtat.bEnDehors = true;
        return MEMR_ECHEC;
    }
    _Atteint(pstZone);
    return MEMR_OK;
}

// Reads record n and, when it is there, makes it current.
eMemRes _eVa(_stBUFFERMEM* pstZone, int64_t n, CMemLecture* pclValeur) {
    const eMemRes e = _eLitNumero(pstZone, n, pclValeur);
    if (e == MEMR_OK) {
        pstZone->stEtat.nEnCours = int32_t(n);
        pstZone->stEtat.bPositionne = true;
    }
    return e;
}

// Runs an operation on an existing zone under the lock.
template <class F>
eMemRes _eSurZone(const char* pszZone, CMemLecture* pclValeur, F&& fn) {
    std::lock_guard<std::mutex> cl(g_mtxMem);
    if (pclValeur != nullptr) pclValeur->Vide();
    if (!_bDemarre()) return MEMR_ECHEC;
    _stBUFFERMEM* pst = _pstTrouve(pszZone);
    if (pst == nullptr) return MEMR_ZONE_INCONNUE;
    return fn(pst);
}

// Ends the engine even when the stop sequence did not run.
struct STFin {
    ~STFin() { MEM_FinModule(); }
} s_stFin;

}  // namespace

namespace mz {

_stBUFFERMEM::~_stBUFFERMEM() { free(pArea); }

bool bLitEnregZone(_stBUFFERMEM* pstZone, uint32_t nOffset, uint8_t* pScratch, STVue* pstVue) {
    if (nOffset < pstZone->nCapacite) {
        if (nOffset >= pstZone->nUtilise) return false;
        return bLitEnreg(pstZone->pArea + nOffset, pstZone->nUtilise - nOffset, pstVue);
    }
    const uint64_t nPosition = nOffset - pstZone->nCapacite;
    const uint8_t* p = pstZone->clDebord.pLit(nPosition, 4, pScratch);
    const uint32_t nTaille = p != nullptr ? nTailleDepuisEntete(p, 4) : 0;
    if (nTaille == 0) return false;
    p = pstZone->clDebord.pLit(nPosition, nTaille, pScratch);
    return p != nullptr && bLitEnreg(p, nTaille, pstVue);
}

}  // namespace mz

// --- Readings ------------------------------------------------------------------------

CMemLecture::~CMemLecture() { free(m_pOctets); }

bool CMemLecture::bAffecte(uint8_t cType, const void* pOctets, uint32_t nLongueur) {
    if (nLongueur > m_nCapacite) {
        auto* p = static_cast<uint8_t*>(realloc(m_pOctets, nLongueur));
        if (p == nullptr) {
            Vide();
            return false;
        }
        m_pOctets = p;
        m_nCapacite = nLongueur;
    }
    if (nLongueur != 0) memcpy(m_pOctets, pOctets, nLongueur);
    m_cType = cType;
    m_nLongueur = nLongueur;
    return true;
}

// --- Module ---------------------------------------------------------------------------

bool MEM_InitModule() {
    std::lock_guard<std::mutex> cl(g_mtxMem);
    return _bDemarre();
}

void MEM_FinModule() {
    std::lock_guard<std::mutex> cl(g_mtxMem);
    _DetruitTout();
    free(g_stCtx.pScratchA);
    g_stCtx = stCTXMEM{};
}

void MEM_SetLimites(const STMemLimites& stLimites) {
    std::lock_guard<std::mutex> cl(g_mtxMem);
    STMemLimites& st = g_stCtx.stLimites;
    st = stLimites;
    if (st.nTailleArea == 0) st.nTailleArea = 1;
    if (st.nEntreesBloc == 0) st.nEntreesBloc = 1;
    if (st.nTamponFichier < MEM_MAX_ENREG_ENTIER) st.nTamponFichier = MEM_MAX_ENREG_ENTIER;
    g_stCtx.bRepFixe = st.pszRepertoireTemp != nullptr && st.pszRepertoireTemp[0] != '\0' &&
                       strlen(st.pszRepertoireTemp) < sizeof g_stCtx.szRepTemp;
    if (g_stCtx.bRepFixe)
        strcpy(g_stCtx.szRepTemp, st.pszRepertoireTemp);
    else
        _FixeRepTemp();
    st.pszRepertoireTemp = nullptr;   // not kept: the caller's text
}

void MEM_LimitesDefaut() { MEM_SetLimites(STMemLimites{}); }

// --- Zones ------------------------------------------------------------------------------

bool bMemCree(const char* pszZone) {
    std::lock_guard<std::mutex> cl(g_mtxMem);
    if (!_bDemarre()) return false;
    char szNom[MEM_TAILLE_NOM + 1];
    _NomDeCreation(pszZone, szNom);
    if (_stBUFFERMEM* p = _pstCherche(szNom)) _Detruit(p);
    _stBUFFERMEM* p = _pstCree(szNom);
    if (p == nullptr) return false;
    g_stCtx.pDerniere = p;
    return true;
}

bool MEM_bExiste(const char* pszZone) {
    return _eSurZone(pszZone, nullptr, [](_stBUFFERMEM*) { return MEMR_OK; }) == MEMR_OK;
}

bool MEM_bZoneDefaut(const char* pszZone) {
    if (pszZone == nullptr || pszZone[0] == '\0') return true;
    char szNom[MEM_TAILLE_NOM + 1];
    _Normalise(pszZone, szNom);
    return strcmp(szNom, MEM_ZONE_DEFAUT) == 0;
}

int32_t lMemOccurrence(const char* pszZone) {
    int32_t n = -1;
    _eSurZone(pszZone, nullptr, [&](_stBUFFERMEM* p) {
        n = int32_t(p->clIndex.nGetNb());
        return MEMR_OK;
    });
    return n;
}

bool MEM_bEtat(const char* pszZone, STMemEtat* pstEtat) {
    return _eSurZone(pszZone, nullptr, [&](_stBUFFERMEM* p) {
               *pstEtat = p->stEtat;
               return MEMR_OK;
           }) == MEMR_OK;
}

bool MEM_bStatistiques(const char* pszZone, STMemStatistiques* pstStat) {
    return _eSurZone(pszZone, nullptr, [&](_stBUFFERMEM* p) {
               STMemStatistiques& st = *pstStat;
               st.nEnMemoire = p->nEnMemoire;
               st.nEnFichier = p->nEnFichier;
               st.nCapacite = p->nCapacite;
               st.nUtilise = p->nUtilise;
               st.nExtensions = p->nExtensions;
               st.nOctetsFichier = p->clDebord.nTaille();
               st.bFichier = p->clDebord.bOuvert();
               st.nOctetsIndex = p->clIndex.nOctets();
               st.bTrie = p->bTrie;
               st.nSens = p->nSens;
               return MEMR_OK;
           }) == MEMR_OK;
}

uint32_t MEM_nZones() {
    std::lock_guard<std::mutex> cl(g_mtxMem);
    return g_stCtx.nZones;
}

uint32_t MEM_nExtensionsTotal() {
    std::lock_guard<std::mutex> cl(g_mtxMem);
    return g_stCtx.nExtensions;
}

// --- Records --------------------------------------------------------------------------

eMemRes MEM_eAjoute(const char* pszZone, const STMemDonnee& stCle, const STMemDonnee& stValeur) {
    std::lock_guard<std::mutex> cl(g_mtxMem);
    if (!_bDemarre()) return MEMR_ECHEC;
    _stBUFFERMEM* pst = _pstTrouve(pszZone);
    if (pst == nullptr) {
        char szNom[MEM_TAILLE_NOM + 1];
        _NomDeCreation(pszZone, szNom);
        pst = _pstCree(szNom);
        if (pst == nullptr) return MEMR_ECHEC;
    }
    g_stCtx.pDerniere = pst;
    uint32_t nOffset = 0;
    const eMemRes e = _eEcrit(pst, stCle, stValeur, &nOffset);
    if (e != MEMR_OK) return e;
    if (!pst->clIndex.bAjoute(nOffset)) return MEMR_ECHEC;   // the record's bytes stay unused
    _Compte(pst, nOffset, +1);
    const uint32_t nTaille = nTailleEnreg(stCle, stValeur);
    if (nTaille > pst->nPlusGrand) pst->nPlusGrand = nTaille;
    pst->bTrie = false;
    if (pst->clIndex.nGetNb() == 1) pst->stEtat.nEnCours = 1;
    return MEMR_OK;
}

eMemRes MEM_eModifie(const char* pszZone, const STMemDonnee& stCle, const STMemDonnee& stValeur, int32_t n) {
    return _eSurZone(pszZone, nullptr, [&](_stBUFFERMEM* p) {
        if (n < 1 || uint32_t(n) > p->clIndex.nGetNb()) {
            _HorsListe(p, n);
            return MEMR_ABSENT;
        }
        uint32_t nOffset = 0;
        const eMemRes e = _eEcrit(p, stCle, stValeur, &nOffset);
        if (e != MEMR_OK) return e;
        _Compte(p, p->clIndex.nGet(uint32_t(n)), -1);
        _Compte(p, nOffset, +1);
        p->clIndex.Set(uint32_t(n), nOffset);
        const uint32_t nTaille = nTailleEnreg(stCle, stValeur);
        if (nTaille > p->nPlusGrand) p->nPlusGrand = nTaille;
        p->bTrie = false;
        return MEMR_OK;
    });
}

eMemRes MEM_eSupprime(const char* pszZone, int32_t n) {
    if (n == -1 && pszZone != nullptr && strcmp(pszZone, "*") == 0) {
        std::lock_guard<std::mutex> cl(g_mtxMem);
        _DetruitTout();
        return MEMR_OK;
    }
    return _eSurZone(pszZone, nullptr, [&](_stBUFFERMEM* p) {
        if (n == -1) {
            _Detruit(p);
            return MEMR_OK;
        }
        if (n < 1 || uint32_t(n) > p->clIndex.nGetNb()) {
            _HorsListe(p, n);
            return MEMR_ABSENT;
        }
        _Compte(p, p->clIndex.nGet(uint32_t(n)), -1);
        p->clIndex.Retire(uint32_t(n));
        if (p->stEtat.nEnCours > int32_t(p->clIndex.nGetNb())) {
            p->stEtat.bTrouve = false;
            p->stEtat.bEnDehors = true;
        }
        return MEMR_OK;
    });
}

eMemRes MEM_eTri(const char* pszZone, int nSens) {
    return _eSurZone(pszZone, nullptr, [&](_stBUFFERMEM* p) {
        const int nVoulu = nSens == 0 ? 0 : 1;
        if (p->bTrie && p->nSens == nVoulu) return MEMR_OK;
        const uint32_t nNb = p->clIndex.nGetNb();
        if (!p->bTrie && !bTrieIndex(p, g_stCtx.pScratchA)) return MEMR_ECHEC;
        // Descending is the ascending order reversed, as is a sort in the
        // other direction.
        if ((p->bTrie || nVoulu == 0) && nNb > 1) {
            auto* pn = static_cast<uint32_t*>(malloc(size_t(nNb) * sizeof(uint32_t)));
            if (pn == nullptr) return MEMR_ECHEC;
            p->clIndex.Copie(pn);
            for (uint32_t i = 0, j = nNb - 1; i < j; ++i, --j) {
                const uint32_t t = pn[i];
                pn[i] = pn[j];
                pn[j] = t;
            }
            const bool bOk = p->clIndex.bRemplace(pn, nNb);
            free(pn);
            if (!bOk) return MEMR_ECHEC;
        }
        p->bTrie = true;
        p->nSens = nVoulu;
        STMemEtat& st = p->stEtat;
        st.nEnCours = 0;
        st.bTrouve = st.bPositionne = false;
        st.bEnDehors = st.bAvantDebut = st.bApresFin = true;
        return MEMR_OK;
    });
}

// --- Reading --------------------------------------------------------------------------

eMemRes MEM_eRecupere(const char* pszZone, int32_t n, CMemLecture* pclValeur) {
    return _eSurZone(pszZone, pclValeur, [&](_stBUFFERMEM* p) { return _eLitNumero(p, n, pclValeur); });
}

eMemRes MEM_ePositionne(const char* pszZone, int32_t n, CMemLecture* pclValeur) {
    return _eSurZone(pszZone, pclValeur, [&](_stBUFFERMEM* p) { return _eVa(p, n, pclValeur); });
}

eMemRes MEM_ePremier(const char* pszZone, CMemLecture* pclValeur) {
    return _eSurZone(pszZone, pclValeur, [&](_stBUFFERMEM* p) { return _eVa(p, 1, pclValeur); });
}

eMemRes MEM_eDernier(const char* pszZone, CMemLecture* pclValeur) {
    return _eSurZone(pszZone, pclValeur, [&](_stBUFFERMEM* p) { return _eVa(p, p->clIndex.nGetNb(), pclValeur); });
}

// Next and previous move only a positioned zone; otherwise nothing is
// reached and the flags say so. From before the first record next is the
// first, from past the end previous is the last.
namespace {

eMemRes _eVoisin(const char* pszZone, CMemLecture* pclValeur, bool bSuivant) {
    return _eSurZone(pszZone, pclValeur, [&](_stBUFFERMEM* p) {
        STMemEtat& st = p->stEtat;
        if (!st.bPositionne) {
            st.bTrouve = false;
            st.bEnDehors = true;
            return MEMR_ABSENT;
        }
        if (bSuivant) return _eVa(p, st.bAvantDebut ? 1 : int64_t(st.nEnCours) + 1, pclValeur);
        return _eVa(p, st.bApresFin ? int64_t(p->clIndex.nGetNb()) : int64_t(st.nEnCours) - 1, pclValeur);
    });
}

}  // namespace

eMemRes MEM_eSuivant(const char* pszZone, CMemLecture* pclValeur) { return _eVoisin(pszZone, pclValeur, true); }
eMemRes MEM_ePrecedent(const char* pszZone, CMemLecture* pclValeur) { return _eVoisin(pszZone, pclValeur, false); }

eMemRes MEM_eRecherche(const char* pszZone, const STMemDonnee& stCle, CMemLecture* pclValeur) {
    return _eSurZone(pszZone, pclValeur, [&](_stBUFFERMEM* p) {
        const uint32_t n = nChercheCle(p, stCle, g_stCtx.pScratchA);
        if (n == 0) {
            STMemEtat& st = p->stEtat;
            st.bTrouve = false;
            st.bEnDehors = st.bAvantDebut = st.bApresFin = true;
            return MEMR_ABSENT;
        }
        return _eVa(p, n, pclValeur);
    });
}

eMemRes MEM_eChercheInverse(const char* pszZone, const STMemDonnee& stValeur, int32_t* pn) {
    int32_t& nTrouve = *pn;
    nTrouve = -1;
    return _eSurZone(pszZone, nullptr, [&](_stBUFFERMEM* p) {
        p->clDebord.PreparePassage();
        const uint32_t nNb = p->clIndex.nGetNb();
        for (uint32_t i = 1; i <= nNb; ++i) {
            STVue stVue;
            if (!bLitEnregZone(p, p->clIndex.nGet(i), g_stCtx.pScratchA, &stVue)) continue;
            const STMemDonnee& stV = stVue.stValeur;
            if (stV.cType == stValeur.cType && stV.nLongueur >= stValeur.nLongueur &&
                (stValeur.nLongueur == 0 || memcmp(stV.pOctets, stValeur.pOctets, stValeur.nLongueur) == 0)) {
                nTrouve = int32_t(i);
                break;
            }
        }
        return MEMR_OK;
    });
}

eMemRes MEM_eCleCourante(const char* pszZone, CMemLecture* pclCle) {
    return _eSurZone(pszZone, pclCle, [&](_stBUFFERMEM* p) {
        const int32_t n = p->stEtat.nEnCours;
        if (n < 1 || uint32_t(n) > p->clIndex.nGetNb()) return MEMR_ABSENT;
        STVue stVue;
        if (!bLitEnregZone(p, p->clIndex.nGet(uint32_t(n)), g_stCtx.pScratchA, &stVue) ||
            !pclCle->bAffecte(stVue.stCle.cType, stVue.stCle.pOctets, stVue.stCle.nLongueur))
            return MEMR_ECHEC;
        return MEMR_OK;
    });
}
