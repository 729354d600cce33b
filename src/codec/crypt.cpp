#include "codec/crypt.h"

#include <cstring>

CCrypt::CCrypt() { std::memset(m_abyCle, 0, sizeof m_abyCle); }

bool CCrypt::bSetCryptKey(const void* pCle, unsigned int dwTaille) {
    std::memset(m_abyCle, 0, sizeof m_abyCle);
    if (dwTaille > sizeof m_abyCle) dwTaille = sizeof m_abyCle;
    if (pCle != nullptr && dwTaille != 0) std::memcpy(m_abyCle, pCle, dwTaille);
    return true;
}

bool CCrypt::bSetCryptKey(const unsigned char (*pabyCle)[16]) {
    if (pabyCle == nullptr) return bSetCryptKey(nullptr, 0);
    std::memcpy(m_abyCle, *pabyCle, sizeof m_abyCle);
    return true;
}

void CCrypt::BuildCryptKey(unsigned char (*pabyCle)[16], const char* pszMotDePasse) {
    BuildCryptKeyAnsi(pabyCle, pszMotDePasse);
}
