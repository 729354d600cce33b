// The memory-zone engine: named, process-wide lists of (key, value) records.
//
// Each zone appends its records to a memory area that grows in fixed steps
// up to a per-zone and a process-wide limit, then to a spill file, and
// reaches them through an index of 32-bit record offsets: sorting and
// deleting only move index entries, records are never moved. Every zone has
// a current record and the status flags that the language reads.
//
// Zone names are compared upper-cased on their first 20 characters. A null
// name designates the default zone "QVMEMDEF"; an empty name the zone used
// last (by bMemCree or an add), or the default zone when there is none.
//
// Every function takes the engine's lock, so zones stay consistent when
// library objects on several threads use them; what a reader returns is a
// copy made under the lock.
#pragma once
#include <cstddef>
#include <cstdint>

// Record type codes (one character each).
enum : uint8_t {
    MEMT_BINAIRE = 'B',   // text or buffer: the bytes of the value
    MEMT_ENTIER = 'L',    // 32-bit signed integer
    MEMT_REEL = 'D',      // 64-bit IEEE real
    MEMT_REEL4 = 'F',     // 32-bit IEEE real
    MEMT_COURT = 'E',     // 16-bit signed integer
    MEMT_TEXTE = 'T',     // text
};

// Longest text or buffer accepted as a key or a value.
constexpr uint32_t MEM_MAX_TEXTE = 65521;
// A record's length field holds key length + value length + 7, a 16-bit
// quantity: records beyond it are refused. The whole record is 4 bytes more.
constexpr uint32_t MEM_MAX_ENREG = 65535;
constexpr uint32_t MEM_SURCOUT_ENREG = 7;
constexpr uint32_t MEM_MAX_ENREG_ENTIER = MEM_MAX_ENREG + 4;
// Name of the default zone, and the significant length of a name.
constexpr const char* MEM_ZONE_DEFAUT = "QVMEMDEF";
constexpr size_t MEM_TAILLE_NOM = 20;

// Outcome of an engine operation.
enum eMemRes : int {
    MEMR_OK = 0,
    MEMR_ABSENT = 1,          // no such record (out of range, not found, not positioned)
    MEMR_ZONE_INCONNUE = 2,   // the zone does not exist
    MEMR_TROP_LONG = 3,       // key + value + 7 above MEM_MAX_ENREG
    MEMR_ECHEC = 4,           // memory or spill file failure; nothing changed
};

// A key or a value handed to the engine: its type and bytes (numbers in
// their little-endian form, of their type's width).
struct STMemDonnee {
    uint8_t cType;
    const void* pOctets;
    uint32_t nLongueur;
};

// A key or value read back: a private copy of its bytes.
class CMemLecture {
public:
    CMemLecture() = default;
    CMemLecture(const CMemLecture&) = delete;
    CMemLecture& operator=(const CMemLecture&) = delete;
    ~CMemLecture();

    uint8_t cGetType() const { return m_cType; }
    const uint8_t* pGetOctets() const { return m_pOctets; }
    uint32_t nGetLongueur() const { return m_nLongueur; }
    // Copies; false when memory runs out (the reading is then empty).
    bool bAffecte(uint8_t cType, const void* pOctets, uint32_t nLongueur);
    void Vide() {
        m_cType = 0;
        m_nLongueur = 0;
    }

private:
    uint8_t m_cType = 0;
    uint8_t* m_pOctets = nullptr;
    uint32_t m_nLongueur = 0;
    uint32_t m_nCapacite = 0;
};

// The current record and the status flags of a zone.
struct STMemEtat {
    int32_t nEnCours = -1;       // current record (1-based; 0 none)
    bool bTrouve = false;        // the last search or move found a record
    bool bEnDehors = false;      // the last operation left the list
    bool bAvantDebut = false;
    bool bApresFin = false;
    bool bPositionne = false;    // next and previous may move
};

// Sizes of a zone, for tests and measurements.
struct STMemStatistiques {
    uint32_t nEnMemoire = 0;       // records in the memory area
    uint32_t nEnFichier = 0;       // records in the spill file
    uint32_t nCapacite = 0;        // bytes of the memory area
    uint32_t nUtilise = 0;         // bytes of it in use
    uint32_t nExtensions = 0;      // growth steps of this zone
    uint64_t nOctetsFichier = 0;   // bytes of the spill file (written or buffered)
    bool bFichier = false;         // the zone has a spill file
    size_t nOctetsIndex = 0;       // bytes held by the index
    bool bTrie = false;
    int nSens = 1;                 // 1 ascending, 0 descending
};

// Limits of the engine. The defaults are those of the product; tests lower
// them to reach growth, spill and index-block boundaries with few records.
struct STMemLimites {
    uint32_t nTailleArea = 65536;         // first memory area and each growth step
    uint32_t nExtensionsZone = 64;        // growth steps of one zone
    uint32_t nExtensionsTotal = 128;      // growth steps of all zones together
    uint32_t nEntreesBloc = 16000;        // record offsets per index block
    uint32_t nTamponFichier = 131072;     // spill file write buffer (a whole record at least)
    const char* pszRepertoireTemp = nullptr;   // null: TMPDIR, else /tmp (copied)
    bool bSansProjection = false;         // spill reads through pread only
};

// Module life: started with the first library object of the process and
// ended with the last (MEM_FinModule frees every zone and its spill file).
// The engine also starts on first use and ends at process exit, so that
// nothing leaks when the stop sequence does not run.
bool MEM_InitModule();
void MEM_FinModule();

// Limits in force from now on; the area step and the index block size are
// taken by zones created afterwards. MEM_LimitesDefaut restores the defaults.
void MEM_SetLimites(const STMemLimites& stLimites);
void MEM_LimitesDefaut();

// --- Zones ---------------------------------------------------------------------

// Deletes the zone of that name if it exists, creates it empty and makes it
// the last-used zone.
bool bMemCree(const char* pszZone);
bool MEM_bExiste(const char* pszZone);
// True for the names of the default zone: null, empty, or "QVMEMDEF" in any
// case.
bool MEM_bZoneDefaut(const char* pszZone);
// Records of the zone, -1 for an unknown zone.
int32_t lMemOccurrence(const char* pszZone);
// The current record and the flags; false for an unknown zone.
bool MEM_bEtat(const char* pszZone, STMemEtat* pstEtat);
bool MEM_bStatistiques(const char* pszZone, STMemStatistiques* pstStat);
// Number of zones and growth steps in use, all zones together.
uint32_t MEM_nZones();
uint32_t MEM_nExtensionsTotal();

// --- Records -------------------------------------------------------------------

// Appends a record, creating the zone when missing.
eMemRes MEM_eAjoute(const char* pszZone, const STMemDonnee& stCle, const STMemDonnee& stValeur);
// Replaces record n (1-based) by a new record; the old bytes stay unused.
eMemRes MEM_eModifie(const char* pszZone, const STMemDonnee& stCle, const STMemDonnee& stValeur, int32_t n);
// Deletes record n; n = -1 deletes the zone, and the zone "*" with -1 every
// zone.
eMemRes MEM_eSupprime(const char* pszZone, int32_t n);
// Sorts by key: nSens 1 ascending, 0 descending (any other value ascends).
eMemRes MEM_eTri(const char* pszZone, int nSens);

// --- Reading (the value, with its type, is copied into pclValeur) ---------------

// Record n; the current record does not move.
eMemRes MEM_eRecupere(const char* pszZone, int32_t n, CMemLecture* pclValeur);
// Record n becomes current.
eMemRes MEM_ePositionne(const char* pszZone, int32_t n, CMemLecture* pclValeur);
eMemRes MEM_ePremier(const char* pszZone, CMemLecture* pclValeur);
eMemRes MEM_eDernier(const char* pszZone, CMemLecture* pclValeur);
eMemRes MEM_eSuivant(const char* pszZone, CMemLecture* pclValeur);
eMemRes MEM_ePrecedent(const char* pszZone, CMemLecture* pclValeur);
// The first record whose key equals the searched key; it becomes current.
eMemRes MEM_eRecherche(const char* pszZone, const STMemDonnee& stCle, CMemLecture* pclValeur);
// The first record whose value has the searched type and starts with the
// searched bytes: its number in *pn, -1 when none. The current record and
// the flags do not change.
eMemRes MEM_eChercheInverse(const char* pszZone, const STMemDonnee& stValeur, int32_t* pn);
// The key of the current record.
eMemRes MEM_eCleCourante(const char* pszZone, CMemLecture* pclCle);

// --- Key order -----------------------------------------------------------------

// The order of keys: empty texts, then numbers in numeric order, then the
// other texts byte by byte (the shorter first on a tie). < 0, 0, > 0 as a
// is before, equal to or after b.
int MEM_nEnregTest(const STMemDonnee& stA, const STMemDonnee& stB);
