// Base of the component's ciphers: a 16-byte key and in-place encryption that
// never changes the length of the data. The serialisation buffer holds one as
// its crypt object.
#pragma once
#include <cstddef>
#include <cstdint>

#include "qvstd/xerror.h"   // CQVUnknown

class CCrypt : public CQVUnknown {
public:
    CCrypt();
    ~CCrypt() override = default;

    // Copies min(n, 16) bytes into the key and zero-fills the rest.
    virtual bool bSetCryptKey(const void* pCle, unsigned int dwTaille);
    virtual bool bSetCryptKey(const unsigned char (*pabyCle)[16]);
    // Turns a password into a key.
    virtual void BuildCryptKey(unsigned char (*pabyCle)[16], const char* pszMotDePasse);
    virtual bool bSetPassword(const char* pszMotDePasse) = 0;
    // In place; with no key given the object's own key is used.
    virtual void Crypt(unsigned char* pbyDonnees, unsigned int dwTaille,
                       const unsigned char (*pabyCle)[16] = nullptr) = 0;
    virtual void Uncrypt(unsigned char* pbyDonnees, unsigned int dwTaille,
                         const unsigned char (*pabyCle)[16] = nullptr) = 0;
    virtual void BuildCryptKeyAnsi(unsigned char (*pabyCle)[16], const char* pszMotDePasse) = 0;

    const unsigned char* pGetCryptKey() const { return m_abyCle; }

protected:
    unsigned char m_abyCle[16];
};

// The component's own fast cipher: every byte is mixed with its neighbours,
// with a byte at the mirror position and with the key, in one pass forward.
class CCryptHomeMade : public CCrypt {
public:
    bool bSetPassword(const char* pszMotDePasse) override;
    void Crypt(unsigned char* pbyDonnees, unsigned int dwTaille,
               const unsigned char (*pabyCle)[16] = nullptr) override;
    void Uncrypt(unsigned char* pbyDonnees, unsigned int dwTaille,
                 const unsigned char (*pabyCle)[16] = nullptr) override;
    void BuildCryptKeyAnsi(unsigned char (*pabyCle)[16], const char* pszMotDePasse) override;
};

// RC5 with 32-bit words and a 16-byte key, 8 or 16 rounds, in cipher-block
// chaining from a zero vector restarted at every call; the bytes after the
// last whole block go through a 4-bit form of the round, chained byte by
// byte. A block is read as one little-endian 64-bit number whose high half
// is the first word.
class CCryptRC5 : public CCrypt {
public:
    explicit CCryptRC5(int nTours);
    ~CCryptRC5() override;
    CCryptRC5(const CCryptRC5&) = delete;
    CCryptRC5& operator=(const CCryptRC5&) = delete;

    // Store the key and expand it; false when the table cannot be allocated.
    bool bSetCryptKey(const void* pCle, unsigned int dwTaille) override;
    bool bSetCryptKey(const unsigned char (*pabyCle)[16]) override;
    bool bSetPassword(const char* pszMotDePasse) override;
    // With a key given, that key is set first. Nothing is done while no key
    // table could be made.
    void Crypt(unsigned char* pbyDonnees, unsigned int dwTaille,
               const unsigned char (*pabyCle)[16] = nullptr) override;
    void Uncrypt(unsigned char* pbyDonnees, unsigned int dwTaille,
                 const unsigned char (*pabyCle)[16] = nullptr) override;
    // The key is a hash of the password built on the SHA-0 compression.
    void BuildCryptKeyAnsi(unsigned char (*pabyCle)[16], const char* pszMotDePasse) override;

    int nGetTours() const { return m_nTours; }
    bool bPret() const { return m_pdwTable != nullptr; }

    // The published RC5-32 key schedule for a key of nOctets bytes (any
    // length up to 255) into 2r + 2 words, and one block in the published
    // word order (A = first 4 bytes). Open for checking against published
    // values; the cipher itself always uses 16-byte keys.
    static void s_ExpandeCle(const uint8_t* pbyCle, size_t nOctets, int nTours, uint32_t* pdwTable);
    static void s_CrypteBloc(const uint32_t* pdwTable, int nTours, uint32_t* pdwA, uint32_t* pdwB);
    static void s_DecrypteBloc(const uint32_t* pdwTable, int nTours, uint32_t* pdwA, uint32_t* pdwB);

private:
    bool _bConstruitTable();
    uint8_t _byCrypteOctet(uint8_t by) const;
    uint8_t _byDecrypteOctet(uint8_t by) const;

    int m_nTours;
    uint32_t* m_pdwTable = nullptr;   // 2r + 2 words, malloc
};

// Cipher methods (the low half of a combined method value).
constexpr uint32_t CRYPT_AUCUN = 0;
constexpr uint32_t CRYPT_RAPIDE = 1;
constexpr uint32_t CRYPT_RC5_8 = 2;
constexpr uint32_t CRYPT_RC5_16 = 3;
// Flag accepted in a method argument and cleared before it is split.
constexpr uint32_t CRYPT_ANSI = 0x04000000u;

// A new cipher for method 1, 2 or 3 (released with Release); null for any
// other method or when memory runs out.
CCrypt* pclCreeCipher(uint32_t dwMethode);

// Makes the cipher of a buffer crypt method (1 = the fast home-made cipher);
// null for any other method.
CCrypt* pclCreeCryptObject(uint32_t eCryptMethod);
