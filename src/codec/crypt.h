// Base of the component's ciphers: a 16-byte key and in-place encryption that
// never changes the length of the data. The serialisation buffer holds one as
// its crypt object.
#pragma once
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

// Makes the cipher of a buffer crypt method (1 = the fast home-made cipher);
// null for any other method, or when that cipher is not available in this build.
CCrypt* pclCreeCryptObject(uint32_t eCryptMethod);
