// The component's compressors behind one front object, CCompresseur, which
// the serialisation buffer holds as its pack object.
//
// Block formats (types 0, 2 and 4), little-endian: u8 method (0 stored,
// 2 old dictionary coder, 4 variable-width dictionary coder); method 0: u32
// stored count then the bytes; methods 2 and 4: u32 payload length, u32
// decompressed length, u16 0, then the payload. The text coder (type 5) has
// no header: its coded form is a NUL-terminated byte string.
//
// Every decoder takes its block as hostile: sizes are checked against the
// bytes actually given, a block announcing more than its bytes could ever
// produce is refused before anything is allocated for it, nothing is written
// past the destination, and an allocation failure is reported as such
// (eGetEchec) rather than thrown.
#pragma once
#include <pthread.h>

#include <cstdint>
#include <vector>

#include "codec/packobject.h"

// Combined method values: compression method in the high half, encryption
// method in the low half.
inline uint32_t GetCompressMethod(uint32_t dwMethode) { return dwMethode >> 16; }
inline uint32_t GetCryptMethod(uint32_t dwMethode) { return dwMethode & 0xFFFFu; }

class CCompresseurBase {
public:
    CCompresseurBase();
    virtual ~CCompresseurBase();
    CCompresseurBase(const CCompresseurBase&) = delete;
    CCompresseurBase& operator=(const CCompresseurBase&) = delete;

    // Header and length inside the dwTaille bytes, method known, announced
    // size within what the payload can produce.
    virtual ePACK_ECHEC eVerifieBloc(const uint8_t* pbyBloc, uint32_t dwTaille);
    // Whole length of the block (PACK_TAILLE_INVALIDE when it cannot be
    // read from the dwTaille bytes given).
    virtual uint32_t dwTailleEntree(const uint8_t* pbyBloc, uint32_t dwTaille);
    // Unpacked length the block announces (same rule).
    virtual uint32_t dwTailleDecompression(const uint8_t* pbyBloc, uint32_t dwTaille);
    // Destination room needed to pack dwTaille bytes.
    virtual uint32_t dwTailleBufferCompression(uint32_t dwTaille);

    // Serialised per object; the source pointer is cleared afterwards. 0 on
    // failure, with the cause in eGetEchec (an allocation failure included).
    uint32_t dwCompression(const uint8_t* pbySource, uint32_t dwSource, uint8_t* pbyDestination,
                           uint32_t dwCapacite);
    uint32_t dwDecompression(const uint8_t* pbySource, uint32_t dwSource, uint8_t* pbyDestination,
                             uint32_t dwCapacite);
    ePACK_ECHEC eGetEchec() const { return m_eEchec; }

protected:
    virtual uint32_t _dwCompression() = 0;
    virtual uint32_t _dwDecompression() = 0;
    // Writes the 11-byte header at the start of the destination.
    virtual void _EcritEntete(uint8_t byMethode, uint32_t dwPayload);

    // Stored block of the whole source; 0 when it does not fit.
    uint32_t _dwStocke();
    // Unpacks a stored block; 0 when it is unusable.
    uint32_t _dwDestocke();
    // Records why the operation fails; 0, for the caller to return.
    uint32_t _dwEchec(ePACK_ECHEC e) {
        m_eEchec = e;
        return 0;
    }

    const uint8_t* m_pbySource = nullptr;
    uint32_t m_dwSource = 0;
    uint8_t* m_pbyDestination = nullptr;
    uint32_t m_dwDestination = 0;
    ePACK_ECHEC m_eEchec = PACK_OK;

private:
    // Runs one packing or unpacking under the lock, an allocation failure
    // turned into PACK_ECHEC_MEMOIRE.
    uint32_t _dwAppel(uint32_t (CCompresseurBase::*pfn)(), const uint8_t* pbySource, uint32_t dwSource,
                      uint8_t* pbyDestination, uint32_t dwCapacite);

    pthread_mutex_t m_stMutex;
};

// Type 4: variable-width dictionary coder, codes of 9 to 16 bits.
class CZLWCompresseur : public CCompresseurBase {
public:
    // The most bytes a payload of dwPayload bytes can decode to.
    static uint64_t qwTailleMax(uint32_t dwPayload);

protected:
    uint32_t _dwCompression() override;
    uint32_t _dwDecompression() override;

private:
    struct STEntree {
        uint16_t wPrefixe;
        uint8_t byOctet;
    };
    void _Reinit();
    std::vector<STEntree> m_tabEntrees;
    uint32_t m_dwProchain = 258;
    uint32_t m_dwLargeur = 9;
    uint32_t m_dwLimite = 512;
};

// Type 2: the older fixed-escape dictionary coder, codes of 9 to 12 bits.
class CVieuxBlocCompresseur : public CCompresseurBase {
public:
    CVieuxBlocCompresseur();
    // The most bytes a payload of dwPayload bytes can decode to.
    static uint64_t qwTailleMax(uint32_t dwPayload);

protected:
    uint32_t _dwCompression() override;
    uint32_t _dwDecompression() override;

private:
    struct STEntree {
        uint32_t dwParent;
        uint8_t byOctet;
    };
    void _Reinit();
    std::vector<uint32_t> m_tabHachage;   // slot -> code
    std::vector<STEntree> m_tabEntrees;   // code -> parent slot, byte
    uint32_t m_dwProchain = 256;
    uint32_t m_dwLargeur = 9;
};

// The text coder proper: base-40 triples over four character sets.
class CDataCompressor {
public:
    // Codes the bytes as a NUL-terminated string; false when an input byte
    // is NUL (it could not survive) or the output does not fit.
    static bool bCompresse(const uint8_t* pbySource, uint32_t dwSource, uint8_t* pbyDestination,
                           uint32_t dwCapacite, uint32_t* pdwEcrit);
    // Decodes up to the first NUL or the end of the source. 0 with the byte
    // count in *pdwEcrit (a NUL written after them), 2 when the output did
    // not fit, 3 when the coded form is malformed.
    static int nDecompresse(const uint8_t* pbySource, uint32_t dwSource, uint8_t* pbyDestination,
                            uint32_t dwCapacite, uint32_t* pdwEcrit);
};

// Type 5: the text coder as a compressor. Its source for compression is a
// u32 length followed by that many bytes; its output is the bytes alone.
class CCompresseurQVC40 : public CCompresseurBase {
public:
    // Nothing to check ahead: the form announces no size, and its result is
    // at most 1.5 times its length (three values per pair of bytes).
    ePACK_ECHEC eVerifieBloc(const uint8_t* pbyBloc, uint32_t dwTaille) override;
    uint32_t dwTailleEntree(const uint8_t* pbyBloc, uint32_t dwTaille) override;
    uint32_t dwTailleDecompression(const uint8_t* pbyBloc, uint32_t dwTaille) override;
    uint32_t dwTailleBufferCompression(uint32_t dwTaille) override;

protected:
    uint32_t _dwCompression() override;
    uint32_t _dwDecompression() override;
};

// The front object: owns the compressor of the current type.
class CCompresseur : public IPackObject {
public:
    explicit CCompresseur(int nType);
    ~CCompresseur() override;
    CCompresseur(const CCompresseur&) = delete;
    CCompresseur& operator=(const CCompresseur&) = delete;

    // 0 or 4: variable-width coder, 2: old coder, 5: text coder; anything
    // else gives the variable-width coder, recorded as type 4. May throw
    // std::bad_alloc (the current coder then stays).
    void ChangeMethodeCompression(int nType);
    uint8_t byGetType() const { return m_byType; }

    void ChangeSource(uint8_t* pbySource, uint32_t dwTaille) override;
    void ChangeDestination(uint8_t* pbyDestination, uint32_t dwCapacite) override;
    uint8_t* pbyLitSource() const { return m_pbySource; }
    uint8_t* pbyLitDestination() const { return m_pbyDestination; }
    uint32_t dwLitTailleSource() const { return m_dwSource; }
    uint32_t dwLitTailleDestination() const { return m_dwDestination; }

    uint32_t dwCompression() override;
    // Unless byType is 5, the block's own method byte chooses the decoder.
    uint32_t dwDecompression(uint8_t byType) override;
    ePACK_ECHEC eGetEchec() const override { return m_eEchec; }
    ePACK_ECHEC eVerifieBloc() override;
    uint32_t dwTailleEntree() override;
    uint32_t dwTailleDecompression() override;
    uint32_t dwTailleMinCompression() { return dwTailleBufferCompression(m_dwSource); }
    uint32_t dwTailleBufferCompression(uint32_t dwTaille) override;

private:
    // Switches the coder; false, with the current one kept, when memory is short.
    bool _bChangeMethode(int nType);

    uint8_t m_byType = 255;
    ePACK_ECHEC m_eEchec = PACK_OK;
    CCompresseurBase* m_pclCompresseur = nullptr;
    uint8_t* m_pbySource = nullptr;
    uint32_t m_dwSource = 0;
    uint8_t* m_pbyDestination = nullptr;
    uint32_t m_dwDestination = 0;
};
