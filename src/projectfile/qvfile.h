// CQVFile: the general header that opens every project file of the host,
// over any stream of the file layer.
//
// The header is 20 bytes, little-endian: the signature "TVR" and a zero
// byte, the header size (20 when written; a reader accepts any size of 20
// or more and goes on after it), the file type, a 16-bit minor and an 8-bit
// major version (0 and 15 when written), the product code of the writer,
// a format word (bit 0: Unicode file) and two zero bytes.
//
// Failures fill the stream's error object (level 3, a debug line and a
// numbered message) and return false; nothing is repaired.
#pragma once
#include <cstdint>

#include "files/xfile.h"

class CQVFile : public CXFile {
public:
    static constexpr uint32_t SIGNATURE = 0x00525654u;   // "TVR" and a zero byte
    static constexpr uint32_t TAILLE_ENTETE = 20;
    static constexpr uint8_t VERSION_MAJEURE = 15;

    // Messages of the project files.
    enum : int {
        MSG_ECRITURE = 28009,
        MSG_LECTURE_VERSION = 28010,
        MSG_TAILLE_ENTETE = 28011,
        MSG_TYPE = 28259,
        MSG_FORMAT = 28555,
    };

    CQVFile() = default;
    // Holds the stream (a reference is taken).
    explicit CQVFile(IXStream* pclStream) : CXFile(pclStream) {}

    // The type this object expects; 0 takes whatever the file says.
    void SetTypeFichier(uint32_t dwType) { m_dwType = dwType; }
    uint32_t dwGetTypeFichier() const { return m_dwType; }
    static bool bIdReconnu(uint32_t dwType);

    // Reads the general header at oPosition; on success the next field
    // starts at oGetFinEntete().
    bool bReadHeader(long long oPosition = 0);
    // Writes a general header of 20 bytes at oPosition.
    bool bWriteHeader(long long oPosition = 0);

    uint32_t dwGetTailleEntete() const { return m_dwTailleEntete; }
    long long oGetFinEntete() const { return m_oFinEntete; }
    uint16_t wGetVersionMineure() const { return m_wVersionMineure; }
    uint8_t byGetVersionMajeure() const { return m_byVersionMajeure; }
    uint8_t byGetCodeProduit() const { return m_byCodeProduit; }
    // Bit 0 set: a Unicode file.
    uint16_t eGetFormat() const { return m_wFormat; }
    void SetFormat(uint16_t wFormat) { m_wFormat = wFormat; }

    // The product code written into new headers, process-wide.
    static void s_SetCodeProduitCourant(uint8_t byCode) { s_byCodeProduit = byCode; }
    static uint8_t s_byGetCodeProduitCourant() { return s_byCodeProduit; }

protected:
    // Fills the error object: level 3, the debug line (a format of
    // unsigned arguments) and the numbered message (with pszArgument for
    // messages that take one). Always false, for the caller to return.
    bool _bEchec(int nMessage, const char* pszArgument, const char* pszDebug, ...);
    // Reads exactly nTaille bytes at oPosition; a short read fails with the
    // class's "bytes expected, bytes read" line and message nMessage.
    bool _bLitExact(long long oPosition, void* pDestination, uint32_t nTaille, const char* pszClasse, int nMessage);
    // Writes nTaille bytes at oPosition; a failure adds message 28009.
    bool _bEcritExact(long long oPosition, const void* pSource, uint32_t nTaille);

private:
    static inline uint8_t s_byCodeProduit = 0;

    uint32_t m_dwType = 0;
    uint32_t m_dwTailleEntete = TAILLE_ENTETE;
    long long m_oFinEntete = 0;
    uint16_t m_wVersionMineure = 0;
    uint8_t m_byVersionMajeure = VERSION_MAJEURE;
    uint8_t m_byCodeProduit = 0;
    uint16_t m_wFormat = 0;
};
