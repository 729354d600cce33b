// Reads every kind of value the serialisation buffer stores from arbitrary
// bytes, with the position moves, nested buffers and coded content a decoder
// meets. The first byte gives the length of a script of operations; the rest
// is the content.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "codec/buffer.h"

namespace {

// A pack object of the stored block form (method byte 0, 32-bit count, the
// bytes), so that hostile coded content goes through the unpacking path.
class CPackStocke : public IPackObject {
public:
    void ChangeSource(uint8_t* p, uint32_t n) override {
        m_pbySource = p;
        m_dwSource = n;
    }
    void ChangeDestination(uint8_t* p, uint32_t n) override {
        m_pbyDestination = p;
        m_dwDestination = n;
    }
    uint32_t dwCompression() override {
        m_eEchec = static_cast<uint64_t>(m_dwSource) + 5 > m_dwDestination ? PACK_ECHEC_PLACE : PACK_OK;
        if (m_eEchec != PACK_OK) return 0;
        m_pbyDestination[0] = 0;
        std::memcpy(m_pbyDestination + 1, &m_dwSource, 4);
        std::memcpy(m_pbyDestination + 5, m_pbySource, m_dwSource);
        return m_dwSource + 5;
    }
    uint32_t dwDecompression(uint8_t) override {
        m_eEchec = eVerifieBloc();
        uint32_t n = dwCompte();
        if (m_eEchec == PACK_OK && n > m_dwDestination) m_eEchec = PACK_ECHEC_PLACE;
        if (m_eEchec != PACK_OK) return 0;
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

private:
    uint32_t dwCompte() const {
        if (m_dwSource < 5 || m_pbySource[0] != 0) return PACK_TAILLE_INVALIDE;
        uint32_t n;
        std::memcpy(&n, m_pbySource + 1, 4);
        return n;
    }
    uint8_t* m_pbySource = nullptr;
    uint32_t m_dwSource = 0;
    uint8_t* m_pbyDestination = nullptr;
    uint32_t m_dwDestination = 0;
    ePACK_ECHEC m_eEchec = PACK_OK;
};

class CBufferFuzz : public CQVBuffer {
protected:
    bool __vAllocPackObject() override {
        m_pclPack = new CPackStocke;
        return true;
    }
};

template <class T>
void Lit(CQVBuffer& cl) {
    T v{};
    cl >> v;
}

void Verifie(bool b) {
    if (!b) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pbyDonnees, size_t nTaille) {
    if (nTaille == 0) return 0;
    size_t nScript = std::min<size_t>(pbyDonnees[0], nTaille - 1);
    const uint8_t* pbyScript = pbyDonnees + 1;
    const uint8_t* pbyContenu = pbyScript + nScript;
    uint32_t dwContenu = static_cast<uint32_t>(nTaille - 1 - nScript);

    CBufferFuzz cl;
    if (!cl.Set(pbyContenu, dwContenu)) return 0;
    cl.Seek(0, BUFFER_SEEK_DEBUT);

    for (size_t i = 0; i < nScript; i++) {
        uint8_t byOp = pbyScript[i];
        uint8_t byArg = i + 1 < nScript ? pbyScript[i + 1] : 0;
        switch (byOp % 28) {
            case 0: Lit<char>(cl); break;
            case 1: Lit<unsigned char>(cl); break;
            case 2: Lit<short>(cl); break;
            case 3: Lit<unsigned short>(cl); break;
            case 4: Lit<int>(cl); break;
            case 5: Lit<unsigned int>(cl); break;
            case 6: Lit<long>(cl); break;
            case 7: Lit<unsigned long>(cl); break;
            case 8: Lit<float>(cl); break;
            case 9: Lit<double>(cl); break;
            case 10: Lit<long long>(cl); break;
            case 11: Lit<unsigned long long>(cl); break;
            case 12: Lit<tagRECT>(cl); break;
            case 13: {
                CTString s;
                cl >> s;
                break;
            }
            case 14: {
                const char* psz = cl.pszGetString();
                if (psz != nullptr) {
                    // The text and its end mark lie inside the content.
                    const char* pszDebut = reinterpret_cast<const char*>(cl.pbyGetCurrentBuffer() - cl.dwGetPos());
                    Verifie(psz >= pszDebut && psz + std::strlen(psz) + 1 <= pszDebut + cl.dwGetSizeDirect());
                }
                break;
            }
            case 15: cl.czGetXCHAR(); break;
            case 16: {
                uint8_t ab[256];
                Verifie(cl.dwGet(ab, byArg) <= byArg);
                break;
            }
            case 17: {
                uint8_t ab[256];
                cl.Get(ab, byArg);
                break;
            }
            case 18: cl.SeekNoResize(static_cast<int8_t>(byArg), static_cast<eBUFFER_SEEK>(byOp % 3)); break;
            case 19: cl.Seek(static_cast<int8_t>(byArg), static_cast<eBUFFER_SEEK>(byOp % 3)); break;
            case 20: {
                CQVBuffer clInterne;
                if (g_DeserialiseBuffer(cl, clInterne)) {
                    Lit<int>(clInterne);
                    clInterne.pszGetString();
                }
                break;
            }
            case 21: {
                CQVBuffer clCopie;
                clCopie.Set(cl, byArg);
                break;
            }
            case 22: cl.MoveData(byArg, static_cast<uint32_t>(byArg) * 3 % 64, byArg % 17); break;
            case 23: cl.SetNombreElement(byArg, 0x01020304); break;
            case 24: cl.SetTaillePartie(byArg); break;
            case 25:
                // The content from here on is a coded block.
                cl.ChangeFirstCodedByte(byArg % (cl.dwGetSizeDirect() + 1));
                cl.ChangePackMethod(BUFFER_PACK_ZLW, true);
                break;
            case 26: cl.bDecode(); break;
            case 27: cl.dwGetCodedSize(); break;
        }
        Verifie(cl.dwGetPos() <= cl.dwGetSizeDirect());
    }
    return 0;
}
