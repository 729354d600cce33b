// The memory-zone object handed to other components.
#include "memzone/zonememoire.h"

#include <atomic>
#include <new>

#include "runtime/znlibrary.h"
#include "memzone/memzone.h"
#include "memzone/mz_valeur.h"
#include "qvstd/xerror.h"

namespace {

const char* _pszZone(const char* pszZone) { return pszZone != nullptr && pszZone[0] != '\0' ? pszZone : nullptr; }

// An unknown zone is an error when it was named (not the default zone).
void _ZoneInconnue(CXError* pclErreur, const char* pszZone) {
    if (pclErreur != nullptr && !MEM_bZoneDefaut(pszZone)) pclErreur->SetUserErrorArgs(MEM_ERR_ZONE_INCONNUE);
}

}  // namespace

CXError* CZoneMemoire::_pclErreur(CXError* pclErreur) const {
    if (pclErreur != nullptr) return pclErreur;
    return m_pclLib != nullptr ? m_pclLib->pclGetError() : nullptr;
}

// Other components may hold the object on their own threads.
int32_t CZoneMemoire::AddRef() { return std::atomic_ref<int32_t>(m_nRef).fetch_add(1) + 1; }

int32_t CZoneMemoire::Release() {
    const int32_t n = std::atomic_ref<int32_t>(m_nRef).fetch_sub(1) - 1;
    if (n == 0) delete this;
    return n;
}

int CZoneMemoire::bMemExiste(const char* pszZone, CXError*) { return MEM_bExiste(_pszZone(pszZone)) ? 1 : 0; }

int CZoneMemoire::nMemOccurrence(const char* pszZone, CXError* pclErreur) {
    const int32_t n = lMemOccurrence(_pszZone(pszZone));
    if (n < 0) _ZoneInconnue(_pclErreur(pclErreur), pszZone);
    return n;
}

int CZoneMemoire::clMemRecupere(const char* pszZone, int32_t n, CAny* pclValeur, CXError* pclErreur) {
    CMemLecture clLu;
    const eMemRes e = MEM_eRecupere(_pszZone(pszZone), n, &clLu);
    if (e == MEMR_ZONE_INCONNUE) _ZoneInconnue(_pclErreur(pclErreur), pszZone);
    if (pclValeur == nullptr) return e == MEMR_OK ? 1 : 0;
    if (e != MEMR_OK || !MEM_bVersAny(clLu.cGetType(), clLu.pGetOctets(), clLu.nGetLongueur(), pclValeur)) {
        MEM_AnyVide(pclValeur);
        return 0;
    }
    return 1;
}

CZoneMemoire* MEM_pclCreeZoneMemoire(CZNLibrary* pclLib) { return new (std::nothrow) CZoneMemoire(pclLib); }
