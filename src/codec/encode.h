// Reversible encodings that turn bytes into printable text: two Base64 forms
// (with and without padding) and two uuencode forms, selected by number
// (pclGetEncodeur), as used by the encryption functions, UUEncode/UUDecode
// and the file encoders.
//
// Every decoder takes its text as hostile: it is given the text's length,
// reads nothing past it, writes nothing past the room measured for it, and
// refuses (ENCODE_INVALIDE) a text that cannot be what the encoder made,
// such as a uuencode line announcing more bytes than its characters hold.
#pragma once
#include <cstddef>
#include <cstdint>

class CXError;

// Encoder numbers.
constexpr int ENCODE_AUCUN = 0;
constexpr int ENCODE_TVR = 1;
constexpr int ENCODE_BASE64 = 2;
constexpr int ENCODE_UUENCODE = 3;
constexpr int ENCODE_UUENCODE_STANDARD = 4;

// Lines of the text encodings: 20 groups of 3 bytes, 80 characters.
constexpr int ENCODE_GROUPES_PAR_LIGNE = 20;

// Result of a decoder given a text it cannot have made.
constexpr size_t ENCODE_INVALIDE = static_cast<size_t>(-1);

class CEncodeBase {
public:
    virtual ~CEncodeBase() = default;

    // Writes the text of the bytes (NUL-terminated) and returns its length
    // without the NUL; with a null output only the length is measured. A
    // line ends (CR LF) after every nGroupesParLigne groups of 3 bytes (0 or
    // less: one line). The length does not fit in a size_t only for inputs
    // beyond the address space, which cannot be given.
    virtual size_t nEncode(const uint8_t* pbyDonnees, size_t nTaille, int nGroupesParLigne, char* pszSortie);
    // Writes the bytes of the text and returns their count; with a null
    // output the room needed is measured (it may exceed the count by a few
    // bytes). ENCODE_INVALIDE when the text is not one of this encoding.
    virtual size_t nDecode(const char* pszTexte, size_t nLongueur, uint8_t* pbySortie);

    // Measure, allocate with malloc (one byte more for the NUL) and fill; the
    // caller frees. Null when memory runs out or the text is refused, with
    // *pnTaille 0.
    char* pszEncodeEtAlloue(const uint8_t* pbyDonnees, size_t nTaille, int nGroupesParLigne, size_t* pnTaille);
    uint8_t* pbyDecodeEtAlloue(const char* pszTexte, size_t nLongueur, size_t* pnTaille);

    // Encodes or decodes a whole file into another (created or emptied).
    // False with the stream's error, or message 28257 when a buffer or a
    // file object cannot be made, or 28258 when the text is refused, in
    // *pclErreur.
    bool bEncodeFichier(const char* pszSource, const char* pszDestination, int nGroupesParLigne, CXError* pclErreur);
    bool bDecodeFichier(const char* pszSource, const char* pszDestination, CXError* pclErreur);

protected:
    // The 6-bit value's character, and the value of a character.
    virtual char __cEncodeByte(uint8_t by) const;
    virtual uint8_t __byDecodeChar(uint8_t c) const;

    // The two maps as tables, made on first use (the decoding table marks
    // CR, LF and, with bPadding, "=").
    const char* _pszTableEncode();
    const uint8_t* _pabyTableDecode(bool bPadding);

private:
    char m_acEncode[64] = {};
    uint8_t m_abyDecode[256] = {};
    bool m_bEncodeFait = false;
    int m_nDecodeFait = -1;   // the padding flag of the decoding table, -1 before it is made
};

// Base64 without padding ("YQ" for "a").
class CEncodeBase64TVR : public CEncodeBase {};

// Base64 with padding ("YQ==" for "a"); its decoder stops at the padding.
class CEncodeBase64 : public CEncodeBase {
public:
    size_t nEncode(const uint8_t* pbyDonnees, size_t nTaille, int nGroupesParLigne, char* pszSortie) override;
    size_t nDecode(const char* pszTexte, size_t nLongueur, uint8_t* pbySortie) override;
};

// uuencode between "begin 0666 uu" and "end" lines, lines of 45 groups with
// no length character.
class CEncodeUUEncode : public CEncodeBase {
public:
    size_t nEncode(const uint8_t* pbyDonnees, size_t nTaille, int nGroupesParLigne, char* pszSortie) override;
    size_t nDecode(const char* pszTexte, size_t nLongueur, uint8_t* pbySortie) override;

protected:
    char __cEncodeByte(uint8_t by) const override;
    uint8_t __byDecodeChar(uint8_t c) const override;
};

// The usual uuencode: every line of up to 45 bytes opens with its length
// character ("M" for 45).
class CEncodeUUEncodeStandard : public CEncodeUUEncode {
public:
    size_t nEncode(const uint8_t* pbyDonnees, size_t nTaille, int nGroupesParLigne, char* pszSortie) override;
    size_t nDecode(const char* pszTexte, size_t nLongueur, uint8_t* pbySortie) override;
};

// A new encoder for the number (the caller deletes it); null for 0 and for
// unknown numbers.
CEncodeBase* pclGetEncodeur(int nEncodeur);
