// File compaction: one file packed into a single-entry archive with the
// "-lh5-" method, and archives (and the older LZW format) unpacked again.
//
// Archive, little-endian: the marker 0x20; a 288-byte entry header (method
// "-lh5-" or "-lh0-" NUL-terminated in 8 bytes, compressed size, uncompressed
// size, the source's name NUL-terminated in 260 bytes, 12 zero bytes); the
// coded data; two zero bytes. A source that does not shrink is written as a
// plain copy of itself, with no container; so is one of 4 GB or more, whose
// size the header could not hold.
//
// Files are never destroyed by a failure: the output is written to a
// temporary file in the folder of its final name and renamed over it only on
// success, so compacting a file onto itself or decompacting an archive onto
// itself works, and an existing destination survives any failure or stop.
//
// One operation runs at a time in the process: COMPACT_Stop asks the running
// one to stop, and its progress (0 to 100 %) goes to a hook that does nothing
// unless a test installs its own.
#pragma once
#include <cstdint>

// Results of the engine; fCompacte raises user error 80299 + code.
enum eCOMPACT : int {
    COMPACT_OK = 0,
    COMPACT_OUVERTURE = 1,       // the source (the archive) cannot be opened or read
    COMPACT_CREATION = 2,        // the destination cannot be created (decompaction: nor written)
    COMPACT_LECTURE = 3,         // compaction: the source failed while being read
    COMPACT_PAS_ARCHIVE = 3,     // decompaction: no archive, no old archive, and no destination
    COMPACT_ECRITURE = 4,        // compaction: the destination failed while being written
    COMPACT_ABIMEE = 4,          // decompaction: damaged or short archive, sizes that differ, no room
    COMPACT_MEMOIRE = 5,
    COMPACT_ARRET = 6,           // stopped by COMPACT_Stop
    COMPACT_DISQUE_PLEIN = 7,
};

// Container layout.
constexpr uint8_t COMPACT_MARQUE = 0x20;
constexpr uint32_t COMPACT_TAILLE_ENTETE = 288;
constexpr uint32_t COMPACT_TAILLE_METHODE = 8;
constexpr uint32_t COMPACT_TAILLE_NOM = 260;
constexpr uint32_t COMPACT_DEBUT_DONNEES = 1 + COMPACT_TAILLE_ENTETE;
constexpr uint32_t COMPACT_SURCOUT = COMPACT_DEBUT_DONNEES + 2;   // 291

// What an operation did, for callers that look closer than the code.
struct STCompactBilan {
    bool bCopieSimple = false;   // the output is a plain copy of the input
    bool bVieuxFormat = false;   // decompaction of the older format
    uint64_t qwTaille = 0;       // uncompressed bytes
    uint64_t qwCompresse = 0;    // coded bytes (the container excluded)
    uint16_t wCrc16 = 0;         // LHA CRC-16 of the uncompressed bytes
};

// Packs the source into the destination. The source's name, as given, is
// stored in the header; a name of 260 bytes or more is refused
// (COMPACT_OUVERTURE).
int nfCompacte(const char* pszSource, const char* pszDestination, STCompactBilan* pstBilan = nullptr);

// Unpacks an archive into the destination, or, when pszDestination is null
// or empty, into the name the archive stores. A file that is not an archive
// is copied unchanged to a destination given (a plain copy made by
// nfCompacte comes back this way). An old-format archive without a
// destination is replaced by its contents. bProgression: whether the steps
// reach the progress hook.
int nfDecompacte(const char* pszArchive, const char* pszDestination, bool bProgression = true,
                 STCompactBilan* pstBilan = nullptr);

// Compressed size plus the container (the archive's size); for the old
// format the uncompressed size its header records. -1: the file cannot be
// opened; -2: it is no archive.
long long lfTailleCompacte(const char* pszArchive);
// Uncompressed size the archive records (either format); -1, -2 as above.
long long lfTailleDecompacte(const char* pszArchive);

// Asks the running operation to stop; it ends with COMPACT_ARRET.
void COMPACT_Stop();

// Progress hook: called with 0, then with each higher percentage reached,
// then with 100 on success. Returns the previous hook; null puts back the
// one that does nothing.
using PFN_ProgressionCompact = void (*)(int nPourcent);
PFN_ProgressionCompact COMPACT_pfnSetProgression(PFN_ProgressionCompact pfn);
