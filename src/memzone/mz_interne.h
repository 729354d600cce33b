// Inside the memory-zone engine: the zone and context structures, the index
// of record offsets, the spill file and the record layout. Only the
// engine's own files include this; everything here runs under the lock.
//
// Record layout (memory or file), little-endian: 4 bytes record length - 4,
// the byte 0x20, key type, 2 bytes key length, the key, value type, 2 bytes
// value length, the value. A record offset below the zone's memory
// capacity addresses the memory area; at or above it, the spill file at
// (offset - capacity).
#pragma once
#include <cstddef>
#include <cstdint>

#include "memzone/memzone.h"

namespace mz {

constexpr uint8_t MARQUE_ENREG = 0x20;
constexpr uint32_t ENTETE_ENREG = 8;   // length, mark, key type, key length

// A record seen in place: its key and value (pointers valid until the next
// read through the same scratch buffer, or the next change of the zone).
struct STVue {
    STMemDonnee stCle;
    STMemDonnee stValeur;
    uint32_t nTaille;   // whole record
};

// Bytes of the whole record; EcritEnreg writes it into pDest.
uint32_t nTailleEnreg(const STMemDonnee& stCle, const STMemDonnee& stValeur);
void EcritEnreg(uint8_t* pDest, const STMemDonnee& stCle, const STMemDonnee& stValeur);
// Reads the record's fields from nDispo bytes; false when they do not
// describe a whole record (nothing is trusted beyond nDispo).
bool bLitEnreg(const uint8_t* p, uint32_t nDispo, STVue* pstVue);
// Bytes of the whole record that starts at p (from its length field), 0
// when nDispo does not hold the length field.
uint32_t nTailleDepuisEntete(const uint8_t* p, uint32_t nDispo);

// --- Index: blocks of record offsets ------------------------------------------

// Blocks of at most nParBloc offsets, reached through a directory so that
// record n is found without walking a chain. Appends fill the last block;
// deleting shifts the rest of one block only.
class CIndex {
public:
    explicit CIndex(uint32_t nParBloc);
    CIndex(const CIndex&) = delete;
    CIndex& operator=(const CIndex&) = delete;
    ~CIndex() { Vide(); }

    uint32_t nGetNb() const { return m_nTotal; }
    bool bAjoute(uint32_t nOffset);
    // n from 1 to nGetNb().
    uint32_t nGet(uint32_t n) const;
    void Set(uint32_t n, uint32_t nOffset);
    void Retire(uint32_t n);
    void Vide();
    // Replaces the whole index by nNb offsets, packed into full blocks.
    bool bRemplace(const uint32_t* pOffsets, uint32_t nNb);
    // Copies every offset, in order, to pDest (nGetNb() entries).
    void Copie(uint32_t* pDest) const;
    size_t nOctets() const;

private:
    bool _bReserve(uint32_t n);
    void _Localise(uint32_t n, uint32_t* pnBloc, uint32_t* pnPos) const;
    void _CalculeDebuts() const;

    uint32_t** m_ppBlocs = nullptr;
    uint32_t* m_pnNb = nullptr;                 // offsets in each block
    mutable uint32_t* m_pnDebut = nullptr;      // index of each block's first entry
    uint32_t m_nBlocs = 0;
    uint32_t m_nAlloues = 0;
    uint32_t m_nParBloc;
    uint32_t m_nTotal = 0;
    bool m_bTasse = true;                       // every block but the last is full
    mutable bool m_bDebutsValides = false;
};

// --- Spill file ------------------------------------------------------------------

// The zone's temporary file: created with mkstemp in the temporary
// directory and unlinked at once (it goes with its descriptor, whatever
// happens to the process). Appends go through a write buffer; reads come
// from a read-only mapping of the written part, the buffer, or pread when
// the mapping cannot be made.
class CDebord {
public:
    CDebord() = default;
    CDebord(const CDebord&) = delete;
    CDebord& operator=(const CDebord&) = delete;
    ~CDebord() { Ferme(); }

    bool bOuvert() const { return m_nFd >= 0; }
    bool bOuvre(const char* pszRepertoire, uint32_t nTampon);
    void Ferme();
    // Bytes of the file, written or buffered.
    uint64_t nTaille() const { return m_nEcrits + m_nTampon; }
    // Appends nLongueur bytes at nTaille(); false when the buffer cannot be
    // emptied to make room (what was appended before stays readable).
    bool bAjoute(const void* p, uint32_t nLongueur);
    // Writes the buffer out; false on a write failure (the buffer keeps the
    // bytes not written).
    bool bVide();
    // nLongueur bytes at nPosition: a pointer into the mapping or the
    // buffer, or a copy in pScratch (nLongueur bytes at least); null on a
    // read failure or a range outside the file.
    const uint8_t* pLit(uint64_t nPosition, uint32_t nLongueur, uint8_t* pScratch);
    // Maps everything written so far (after bVide) for a pass over many
    // records; false when it cannot (reads then copy).
    bool bMappe();
    // Reads go through pread from now on (what a failed mapping leads to).
    void SansProjection();
    // Readies a pass over many records: everything written and mapped, so
    // that no later read of the pass remaps (pointers handed out stay valid
    // until the next append).
    void PreparePassage() {
        bVide();
        bMappe();
    }

private:
    bool _bLitDisque(uint64_t nPosition, uint32_t nLongueur, uint8_t* pDest);

    int m_nFd = -1;
    uint64_t m_nEcrits = 0;
    uint8_t* m_pTampon = nullptr;
    uint32_t m_nTampon = 0;
    uint32_t m_nCapaciteTampon = 0;
    const uint8_t* m_pMap = nullptr;
    size_t m_nMap = 0;
    bool m_bSansMap = false;
};

// --- Zone and context -------------------------------------------------------------

struct _stBUFFERMEM {
    explicit _stBUFFERMEM(uint32_t nEntreesBloc) : clIndex(nEntreesBloc) {}
    _stBUFFERMEM(const _stBUFFERMEM&) = delete;
    _stBUFFERMEM& operator=(const _stBUFFERMEM&) = delete;
    ~_stBUFFERMEM();

    char szNom[MEM_TAILLE_NOM + 1] = {};
    // Memory area.
    uint8_t* pArea = nullptr;
    uint32_t nCapacite = 0;
    uint32_t nUtilise = 0;
    uint32_t nPas = 0;
    uint32_t nExtensions = 0;
    bool bSansCroissance = false;   // an extension failed, or the zone has spilled
    CDebord clDebord;
    CIndex clIndex;
    uint32_t nEnMemoire = 0;
    uint32_t nEnFichier = 0;
    uint32_t nPlusGrand = 0;        // largest record seen
    bool bTrie = false;
    int nSens = 1;
    STMemEtat stEtat{0, false, false, false, false, false};
    _stBUFFERMEM* pSuivante = nullptr;
};

// A record's bytes in place (memory area, mapping, buffer) or copied into
// pScratch (MEM_MAX_ENREG_ENTIER bytes); decoded into pstVue. False when the
// offset does not lead to a whole, well-formed record.
bool bLitEnregZone(_stBUFFERMEM* pstZone, uint32_t nOffset, uint8_t* pScratch, STVue* pstVue);

// Key order between a searched key and a record key: the class first, then
// numbers as reals and texts byte by byte (the shorter first on a tie).
enum eClasse { CL_VIDE = 0, CL_NOMBRE = 1, CL_TEXTE = 2 };
eClasse eClasseCle(const STMemDonnee& st);
int nEnregTest(const STMemDonnee& stA, const STMemDonnee& stB);
int nCompareTextes(const STMemDonnee& stA, const STMemDonnee& stB);
// A number as an integer of the same order (NaN last); a text's first 8
// bytes as a big-endian integer (an order that only a tie needs to refine).
uint64_t qOrdreNombre(const STMemDonnee& st);
uint64_t qPrefixeTexte(const STMemDonnee& st);
// Sorts the zone's index by key in ascending order (records of equal keys
// keep their relative order); false when memory runs out or a record
// cannot be read (the index is then unchanged).
bool bTrieIndex(_stBUFFERMEM* pstZone, uint8_t* pScratch);
// The first record (1-based) whose key equals stCle, 0 when none.
uint32_t nChercheCle(_stBUFFERMEM* pstZone, const STMemDonnee& stCle, uint8_t* pScratch);

}  // namespace mz
