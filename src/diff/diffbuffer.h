// The diff buffer: what turns a source into a target, as sections of copy
// and insert instructions, guarded by the CRC-32 of both.
//
// Layout, little-endian. Header: magic "DIF" and a zero byte, header length
// (28, counted after this field), format version (1; 0 is refused), pack
// method of the body, CRC-32 of the source, CRC-32 of the target, block
// size, number of sections, target size. Body, from offset 8 + header
// length and coded with the body's pack method (one compressor block for
// the general compressor): the sections one after another. Section: its
// length (counted after this field), its header length (36, counted after
// this field), kind, number of instructions, pack code, first coded byte,
// source start and end, target start and end, insert data length; then the
// instructions (type, first, second: 12 bytes each) and the insert data.
// Readers take the fields they know and skip the rest of longer headers.
//
// A copy takes bytes [first, second) of the section's source data, an
// insert bytes [first, second) of its insert data. A section's pack code
// says whether its source and target ranges are coded elements (see
// eGetPackMethod): the instructions then work on their plain contents.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "codec/buffer.h"

enum EDiffInstructionType : uint32_t {
    DIFF_COPIE = 0,
    DIFF_INSERTION = 1,
};

struct CDiffInstruction {
    EDiffInstructionType eType;
    uint32_t dwPremier;   // start offset
    uint32_t dwSecond;    // end offset, exclusive
};
static_assert(sizeof(CDiffInstruction) == 12, "instructions are stored as they lie in memory");

class CDiffBufferSection {
public:
    static constexpr uint32_t TAILLE_ENTETE = 36;
    // The smallest section: its length and header length, then the header.
    static constexpr uint32_t TAILLE_MIN = 8 + TAILLE_ENTETE;

    // ---- Description.
    uint32_t dwGetType() const { return m_dwType; }
    void SetType(uint32_t dwType) { m_dwType = dwType; }
    uint32_t dwGetPackCode() const { return m_dwPackCode; }
    uint32_t dwGetPremierOctetCode() const { return m_dwPremierOctetCode; }
    void SetPack(uint32_t dwPackCode, uint32_t dwPremierOctetCode) {
        m_dwPackCode = dwPackCode;
        m_dwPremierOctetCode = dwPremierOctetCode;
    }
    // The pack method a code names: none for 0 and for any bit among 0xF0,
    // else its low 4 bits, which must be 1 or 2 (false otherwise).
    static bool s_bPackMethod(uint32_t dwPackCode, eBUFFER_PACKMETHOD* peMethode);
    uint32_t dwGetSourceDebut() const { return m_dwSourceDebut; }
    uint32_t dwGetSourceFin() const { return m_dwSourceFin; }
    uint32_t dwGetCibleDebut() const { return m_dwCibleDebut; }
    uint32_t dwGetCibleFin() const { return m_dwCibleFin; }
    void SetSource(uint32_t dwDebut, uint32_t dwFin) {
        m_dwSourceDebut = dwDebut;
        m_dwSourceFin = dwFin;
    }
    void SetCible(uint32_t dwDebut, uint32_t dwFin) {
        m_dwCibleDebut = dwDebut;
        m_dwCibleFin = dwFin;
    }

    // ---- Instructions.
    // A copy that continues the previous one is folded into it.
    void AjouteCopie(uint32_t dwDebut, uint32_t dwFin);
    void AjouteInsertion(const uint8_t* pbyOctets, uint32_t dwTaille);
    void Vide();
    uint32_t dwGetNbInstruction() const { return static_cast<uint32_t>(m_tabInstructions.size()); }
    const CDiffInstruction& stGetInstruction(uint32_t i) const { return m_tabInstructions[i]; }
    const uint8_t* pbyGetInsertion() const { return m_tabInsertion.data(); }
    uint32_t dwGetTailleInsertion() const { return static_cast<uint32_t>(m_tabInsertion.size()); }
    // Bytes the instructions produce.
    uint64_t qwGetTailleProduite() const;

    // Iteration: the instruction and, for an insert, its bytes and length
    // (null and 0 for a copy). False past the last one.
    bool bGetFirstInstruction(CDiffInstruction* pstInstruction, const uint8_t** ppbyOctets, uint32_t* pdwTaille);
    bool bGetNextInstruction(CDiffInstruction* pstInstruction, const uint8_t** ppbyOctets, uint32_t* pdwTaille);

    // ---- Serialisation.
    uint64_t qwGetTailleSerialisee() const;
    bool bEcrit(CQVBuffer& clBuffer) const;
    // Reads one section from [pby, pby + dwTaille): its length, header and
    // instruction counts, instruction types and insert ranges must all hold
    // inside the bytes. The bytes taken go to *pdwLu.
    bool bLit(const uint8_t* pby, uint32_t dwTaille, uint32_t* pdwLu);

private:
    uint32_t m_dwType = 0;
    uint32_t m_dwPackCode = 0;
    uint32_t m_dwPremierOctetCode = 0;
    uint32_t m_dwSourceDebut = 0;
    uint32_t m_dwSourceFin = 0;
    uint32_t m_dwCibleDebut = 0;
    uint32_t m_dwCibleFin = 0;
    std::vector<CDiffInstruction> m_tabInstructions;
    std::vector<uint8_t> m_tabInsertion;
    uint32_t m_nCurseur = 0;
};

class CDiffBuffer {
public:
    static constexpr uint32_t MAGIC = 0x00464944u;   // "DIF" and a zero byte
    static constexpr uint32_t TAILLE_ENTETE = 28;
    static constexpr uint32_t OFFSET_CORPS = 8 + TAILLE_ENTETE;
    static constexpr uint32_t VERSION = 1;
    static constexpr uint32_t TAILLE_BLOC_DEFAUT = 16;
    // Targets are handed back in 32-bit signed buffers.
    static constexpr uint32_t TAILLE_CIBLE_MAX = 0x7FFFFFFFu;

    uint32_t dwGetPackMethod() const { return m_dwPackMethod; }
    void SetPackMethod(uint32_t dwMethode) { m_dwPackMethod = dwMethode; }
    uint32_t dwGetCrcSource() const { return m_dwCrcSource; }
    uint32_t dwGetCrcCible() const { return m_dwCrcCible; }
    void SetCrc(uint32_t dwSource, uint32_t dwCible) {
        m_dwCrcSource = dwSource;
        m_dwCrcCible = dwCible;
    }
    uint32_t dwGetTailleBloc() const { return m_dwTailleBloc; }
    void SetTailleBloc(uint32_t dw) { m_dwTailleBloc = dw; }
    uint32_t dwGetTailleCible() const { return m_dwTailleCible; }
    void SetTailleCible(uint32_t dw) { m_dwTailleCible = dw; }

    uint32_t dwGetNbSection() const { return static_cast<uint32_t>(m_tabSections.size()); }
    CDiffBufferSection& clGetSection(uint32_t i) { return *m_tabSections[i]; }
    const CDiffBufferSection& clGetSection(uint32_t i) const { return *m_tabSections[i]; }
    // A new empty section at the end (owned by the diff).
    CDiffBufferSection& clAjouteSection();
    void Vide() { m_tabSections.clear(); }

    // The whole diff buffer into the output (emptied first), its body coded
    // with the pack method; the output stays coded.
    bool bEcrit(CQVBuffer& clSortie) const;
    // Reads a diff buffer: false when it is unreadable (magic, version,
    // lengths, a body that does not unpack, sections past its bytes) or has
    // no sections.
    bool bLit(const uint8_t* pby, uint32_t dwTaille);

private:
    uint32_t m_dwPackMethod = BUFFER_PACK_ZLW;
    uint32_t m_dwCrcSource = 0;
    uint32_t m_dwCrcCible = 0;
    uint32_t m_dwTailleBloc = TAILLE_BLOC_DEFAUT;
    uint32_t m_dwTailleCible = 0;
    std::vector<std::unique_ptr<CDiffBufferSection>> m_tabSections;
};
