// The process-wide table of open files behind the integer file handles of
// the language, shared with the shared-memory zones (one handle space).
// Every operation on it takes the table's lock.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "files/fh_texte.h"
#include "files/xstream.h"

// A growable array of two-word slots. A slot in use has the link -2; a free
// slot links to the next free one (-1 ends the list). The most recently
// freed slot is reused first; new slots are zero-filled.
template <typename T>
class CTIndexedBag {
public:
    static constexpr int32_t LIEN_UTILISE = -2;

    explicit CTIndexedBag(int nPas = 16) : m_nPas(nPas > 0 ? nPas : 16) {}
    CTIndexedBag(const CTIndexedBag&) = delete;
    CTIndexedBag& operator=(const CTIndexedBag&) = delete;
    ~CTIndexedBag() { Vide(); }

    // The index of the new slot, or -1 when the array cannot grow.
    int nAjoute(T Valeur) {
        int i = m_nLibre;
        if (i >= 0) {
            m_nLibre = m_pSlots[i].nLien;
        } else {
            // No free slot: every slot handed out so far is in use.
            i = m_nUtilises;
            if (i >= m_nAlloues && !_bGrandit()) return -1;
        }
        m_pSlots[i].nLien = LIEN_UTILISE;
        m_pSlots[i].Valeur = Valeur;
        ++m_nUtilises;
        return i;
    }
    bool bValide(int i) const { return i >= 0 && i < m_nAlloues && m_pSlots[i].nLien == LIEN_UTILISE; }
    T Valeur(int i) const { return bValide(i) ? m_pSlots[i].Valeur : T(); }
    bool bSupprime(int i) {
        if (!bValide(i)) return false;
        m_pSlots[i].nLien = m_nLibre;
        m_pSlots[i].Valeur = T();
        m_nLibre = i;
        --m_nUtilises;
        return true;
    }
    void Vide() {
        free(m_pSlots);
        m_pSlots = nullptr;
        m_nLibre = -1;
        m_nAlloues = 0;
        m_nUtilises = 0;
    }
    int nGetAlloues() const { return m_nAlloues; }
    int nGetUtilises() const { return m_nUtilises; }

private:
    struct STSlot {
        int32_t nLien;
        T Valeur;
    };
    bool _bGrandit() {
        if (m_nAlloues > INT32_MAX / 2 - m_nPas) return false;
        int nNouveau = m_nAlloues + m_nPas;
        if (uint64_t(nNouveau) * sizeof(STSlot) > SIZE_MAX / 2) return false;
        auto* p = static_cast<STSlot*>(realloc(m_pSlots, size_t(nNouveau) * sizeof(STSlot)));
        if (p == nullptr) return false;
        memset(p + m_nAlloues, 0, size_t(m_nPas) * sizeof(STSlot));
        m_pSlots = p;
        m_nAlloues = nNouveau;
        return true;
    }

    STSlot* m_pSlots = nullptr;
    int32_t m_nLibre = -1;
    int32_t m_nAlloues = 0;
    int32_t m_nUtilises = 0;
    int32_t m_nPas;
};

// Kinds of open-file record.
enum : int32_t {
    FIC_DISQUE = 0,
    FIC_MEMOIRE_PARTAGEE = 1,
};

// Open-mode values of the language constants (combinable by addition).
enum : int32_t {
    FO_LECTURE = 1,
    FO_ECRITURE = 2,
    FO_LECTUREECRITURE = 3,
    FO_BLOQUELECTURE = 4,
    FO_BLOQUEECRITURE = 8,
    FO_CREATIONSIINEXISTANT = 256,
    FO_CREATION = 512,
    FO_AJOUT = 2048,
    FO_UNICODE = 4096,
    FO_SUPPRESSIONAUTOMATIQUE = 67108864,
    // Every bit a mode may hold; fOuvre refuses any other.
    FO_MODES_CONNUS = FO_LECTUREECRITURE | FO_BLOQUELECTURE | FO_BLOQUEECRITURE | FO_CREATIONSIINEXISTANT |
                      FO_CREATION | FO_AJOUT | FO_UNICODE | FO_SUPPRESSIONAUTOMATIQUE,
};

// The record of one open handle. The object is owned: a CDiskFile for a
// disk file, the zone object (through its stream part) for a zone. The
// bytes that fLitLigne read ahead of a regular disk file's lines are owned
// too; null until a line is read.
struct _stINFOFIC {
    int32_t nType;
    IXStream* pclObjet;
    int32_t bUnicode;
    int32_t bSuppressionAutomatique;
    CLectureAvance* pclAvance = nullptr;
};

// The first handle handed out; 0 and 1 are held by null slots.
constexpr int FIC_PREMIER_HANDLE = 2;

// Empties the table and reserves slots 0 and 1. Idempotent: the table is
// also started on first use.
bool _FIC_bInitModule();
// Closes (and deletes when flagged) every file still open, then empties
// the table.
void _FIC_FinModule();

// Adds a record (taken over on success); the handle, or -1 when the table
// cannot grow.
int FIC_nAjoute(_stINFOFIC* pstInfo);
// The record or stream of a valid handle (2 or more), else null. The
// record comes as it is; the stream comes with the bytes read ahead of its
// lines given back (see FIC_bRendAvance).
_stINFOFIC* s_pGetFicBagInfoFic(int nHandle);
IXStream* s_pGetFicBagXStream(int nHandle);
// Gives back to the record's stream the bytes read ahead of its lines, so
// that its position is where the lines left it. False when the stream
// cannot move back (its error object says why).
bool FIC_bRendAvance(_stINFOFIC* pstInfo);
// Frees the slot and hands the record back to the caller (null when the
// handle is not valid).
_stINFOFIC* FIC_pRetire(int nHandle);
// Destroys a record and its object. A file flagged delete-at-close is
// deleted only when it is a regular file and its name still designates the
// file that was opened (same device and inode): never a device, never a file
// put under the name since.
void FIC_DetruitInfo(_stINFOFIC* pstInfo);
// Handles in use (the two reserved slots are not counted).
int FIC_nOuverts();
// The descriptor of a disk file open for reading in the table whose file is
// (device, inode), or -1. Reading a file through it, with offsets and
// without closing it, keeps the locks that the process holds on the file
// (closing any other descriptor of the file would drop them).
int FIC_nDescripteurDe(unsigned long long qwPeripherique, unsigned long long qwInode);
// Closes the directory search that fRep leaves pending between calls.
void FIC_FermeRecherche();
