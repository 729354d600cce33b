// Stand-ins for the buffer's pack object, cipher and file stream, so that the
// coding machinery can be checked on its own. The pack object writes the
// stored compressor block (method byte 0, 32-bit count, the bytes); the
// cipher is a keyed byte shift. Both can be told to fail or to throw.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "codec/buffer.h"

struct STCompteurs {
    int nCompressions = 0;
    int nDecompressions = 0;
    int nCryptages = 0;
    int nDecryptages = 0;
    uint8_t byDernierType = 0xFF;
};

class CPackStocke : public IPackObject {
public:
    explicit CPackStocke(STCompteurs* pst) : m_pst(pst) {}
    void ChangeSource(uint8_t* p, uint32_t n) override {
        m_pbySource = p;
        m_dwSource = n;
    }
    void ChangeDestination(uint8_t* p, uint32_t n) override {
        m_pbyDestination = p;
        m_dwDestination = n;
    }
    uint32_t dwCompression() override {
        m_pst->nCompressions++;
        if (bLanceCompression) throw std::runtime_error("pack");
        m_eEchec = PACK_OK;
        if (bEchoueCompression || static_cast<uint64_t>(m_dwSource) + 5 > m_dwDestination) {
            m_eEchec = PACK_ECHEC_PLACE;
            return 0;
        }
        m_pbyDestination[0] = 0;
        std::memcpy(m_pbyDestination + 1, &m_dwSource, 4);
        std::memcpy(m_pbyDestination + 5, m_pbySource, m_dwSource);
        return m_dwSource + 5;
    }
    uint32_t dwDecompression(uint8_t byType) override {
        m_pst->nDecompressions++;
        m_pst->byDernierType = byType;
        if (bLanceDecompression) throw std::runtime_error("unpack");
        m_eEchec = eVerifieBloc();
        if (m_eEchec == PACK_OK && eEchecDecompression != PACK_OK) m_eEchec = eEchecDecompression;
        if (m_eEchec != PACK_OK) return 0;
        uint32_t n = dwCompte();
        if (n > m_dwDestination) {
            m_eEchec = PACK_ECHEC_PLACE;
            return 0;
        }
        std::memcpy(m_pbyDestination, m_pbySource + 5, n);
        return n;
    }
    ePACK_ECHEC eGetEchec() const override { return m_eEchec; }
    ePACK_ECHEC eVerifieBloc() override {
        if (m_dwSource == 0 || m_pbySource[0] != 0) return m_dwSource == 0 ? PACK_ECHEC_ENDOMMAGE : PACK_ECHEC_METHODE;
        uint32_t n = dwCompte();
        if (n == PACK_TAILLE_INVALIDE || static_cast<uint64_t>(n) + 5 > m_dwSource) return PACK_ECHEC_ENDOMMAGE;
        return PACK_OK;
    }
    uint32_t dwTailleEntree() override {
        uint32_t n = dwCompte();
        return n == PACK_TAILLE_INVALIDE || n > 0xFFFFFFF0u ? PACK_TAILLE_INVALIDE : n + 5;
    }
    uint32_t dwTailleDecompression() override { return dwCompte(); }
    uint32_t dwTailleBufferCompression(uint32_t n) override { return n + 7; }

    bool bEchoueCompression = false;
    // A cause the next unpacking fails with, on a block that is otherwise fine.
    ePACK_ECHEC eEchecDecompression = PACK_OK;
    bool bLanceCompression = false;
    bool bLanceDecompression = false;
    uint8_t* m_pbySource = nullptr;
    uint32_t m_dwSource = 0;
    uint8_t* m_pbyDestination = nullptr;
    uint32_t m_dwDestination = 0;

private:
    uint32_t dwCompte() const {
        if (m_dwSource < 5 || m_pbySource[0] != 0) return PACK_TAILLE_INVALIDE;
        uint32_t n;
        std::memcpy(&n, m_pbySource + 1, 4);
        return n;
    }
    STCompteurs* m_pst;
    ePACK_ECHEC m_eEchec = PACK_OK;
};

class CCryptDecalage : public CCrypt {
public:
    explicit CCryptDecalage(STCompteurs* pst) : m_pst(pst) {}
    bool bSetPassword(const char* psz) override {
        BuildCryptKey(&m_abyCle, psz);
        return true;
    }
    void Crypt(unsigned char* p, unsigned int n, const unsigned char (*pabyCle)[16]) override {
        m_pst->nCryptages++;
        if (bLanceCryptage) throw std::runtime_error("crypt");
        const unsigned char* k = pabyCle != nullptr ? *pabyCle : m_abyCle;
        for (unsigned int i = 0; i < n; i++) p[i] = static_cast<unsigned char>(p[i] + k[i % 16] + i);
    }
    void Uncrypt(unsigned char* p, unsigned int n, const unsigned char (*pabyCle)[16]) override {
        m_pst->nDecryptages++;
        const unsigned char* k = pabyCle != nullptr ? *pabyCle : m_abyCle;
        for (unsigned int i = 0; i < n; i++) p[i] = static_cast<unsigned char>(p[i] - k[i % 16] - i);
    }
    void BuildCryptKeyAnsi(unsigned char (*pabyCle)[16], const char* psz) override {
        size_t n = std::strlen(psz);
        for (size_t i = 0; i < 16; i++)
            (*pabyCle)[i] = static_cast<unsigned char>(i * 31 + (n != 0 ? psz[i % n] : 0));
    }
    bool bLanceCryptage = false;

private:
    STCompteurs* m_pst;
};

// A buffer whose pack and crypt objects are the stand-ins above.
class CBufferDoublure : public CQVBuffer {
public:
    CBufferDoublure(eBUFFER_CRYPTMETHOD eCrypt, eBUFFER_PACKMETHOD ePack, uint32_t dwPremier = 0) {
        SetPackMethod(ePack);
        SetCryptMethod(eCrypt);
        ChangeFirstCodedByte(dwPremier);
    }
    CPackStocke* pclPack() { return static_cast<CPackStocke*>(m_pclPack); }
    CCryptDecalage* pclCrypt() { return static_cast<CCryptDecalage*>(m_pclCrypt); }
    STCompteurs st;

protected:
    bool __vAllocPackObject() override {
        m_pclPack = new CPackStocke(&st);
        return true;
    }
    bool __vAllocCryptObject() override {
        m_pclCrypt = new CCryptDecalage(&st);
        return true;
    }
};

// In-memory stream with the usual stream operations; it can fail or deliver
// less than asked.
class CFluxMemoire {
public:
    bool bWrite(const void* p, unsigned int n, unsigned int* pnFait) {
        bool b = bWrite(m_oPosition, p, n, pnFait);
        m_oPosition += *pnFait;
        return b;
    }
    bool bWrite(long long o, const void* p, unsigned int n, unsigned int* pnFait) {
        *pnFait = 0;
        if (bEchoue) return false;
        if (m_ab.size() < static_cast<size_t>(o) + n) m_ab.resize(static_cast<size_t>(o) + n);
        if (n != 0) std::memcpy(m_ab.data() + o, p, n);
        *pnFait = n;
        return true;
    }
    bool bRead(void* p, unsigned int n, unsigned int* pnFait) {
        bool b = bRead(m_oPosition, p, n, pnFait);
        m_oPosition += *pnFait;
        return b;
    }
    bool bRead(long long o, void* p, unsigned int n, unsigned int* pnFait) {
        *pnFait = 0;
        if (bEchoue) return false;
        size_t nReste = static_cast<size_t>(o) < m_ab.size() ? m_ab.size() - static_cast<size_t>(o) : 0;
        unsigned int nLu = static_cast<unsigned int>(std::min<size_t>(n, nReste));
        if (nLu != 0) std::memcpy(p, m_ab.data() + o, nLu);
        *pnFait = nLu;
        return true;
    }
    std::vector<uint8_t> m_ab;
    long long m_oPosition = 0;
    bool bEchoue = false;
};
