// Element files of the tests: written into memory with the real writer,
// read back from bytes, and patched where a test needs a damaged one.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "files/memstream.h"
#include "projectfile/eltprojetfile.h"

namespace elttest {

using Octets = std::vector<uint8_t>;

// A stream over its own growing memory.
inline CMemoryStream* pclFluxNeuf() {
    auto* pcl = new CMemoryStream();
    pcl->bOpen("mem", IXStream::eACCESS_READWRITE, IXStream::eSHARE_NONE, IXStream::eCREATE_TRUNCATE);
    return pcl;
}

inline Octets Contenu(CMemoryStream* pcl) {
    const long long o = pcl->oGetSize();
    return Octets(pcl->pGetAddress(), pcl->pGetAddress() + (o > 0 ? o : 0));
}

// Bytes of one part: its index and version written into every byte, so
// that a misplaced part shows.
inline Octets Partie(uint32_t nTaille, uint8_t byGraine) {
    Octets ab(nTaille);
    for (uint32_t i = 0; i < nTaille; ++i) ab[i] = static_cast<uint8_t>(byGraine * 31 + i * 7);
    return ab;
}

// An element file of type dwType with one version per entry of tabVersions
// (each the parts of that version); the options are the part indexes + 1.
inline Octets Fichier(const std::vector<std::vector<Octets>>& tabVersions, uint32_t dwType = 0x10001) {
    CMemoryStream* pclFlux = pclFluxNeuf();
    Octets ab;
    {
        CEltProjetFile cl(pclFlux);
        cl.SetTypeFichier(dwType);
        const auto n = static_cast<uint32_t>(tabVersions.front().size());
        cl.SetNbPartie(n);
        for (uint32_t i = 0; i < n; ++i) cl.bInitPartie(i, static_cast<uint8_t>(i + 1), 100 + i);
        cl.SetTexteVersion("v1");
        bool bOk = cl.bWriteHeader(0);
        for (uint32_t i = 0; bOk && i < n; ++i) {
            const Octets& abP = tabVersions[0][i];
            bOk = cl.bAddPartie(i, abP.data(), static_cast<uint32_t>(abP.size()));
        }
        for (size_t v = 1; bOk && v < tabVersions.size(); ++v) {
            cl.SetTexteVersion(("v" + std::to_string(v + 1)).c_str());
            bOk = cl.bCreeVersion();
            for (uint32_t i = 0; bOk && i < n; ++i) {
                const Octets& abP = tabVersions[v][i];
                if (abP != tabVersions[v - 1][i])
                    bOk = cl.bEcrasePartie(i, abP.data(), static_cast<uint32_t>(abP.size()));
            }
        }
        if (bOk) ab = Contenu(pclFlux);
    }
    pclFlux->Release();
    return ab;
}

// Reads an element file from bytes; the stream is released with it.
class CLecture {
public:
    explicit CLecture(const Octets& ab) : m_ab(ab) {
        m_pclFlux = new CMemoryStream();
        m_pclFlux->bAssociate(m_ab.data(), static_cast<unsigned>(m_ab.size()));
        m_pclFlux->bOpen("mem", IXStream::eACCESS_READ, IXStream::eSHARE_NONE, IXStream::eCREATE_OPEN);
        m_pcl = new CEltProjetFile(m_pclFlux);
    }
    ~CLecture() {
        delete m_pcl;
        m_pclFlux->Release();
    }
    CLecture(const CLecture&) = delete;
    CLecture& operator=(const CLecture&) = delete;
    CEltProjetFile& operator*() { return *m_pcl; }
    CEltProjetFile* operator->() { return m_pcl; }
    CMemoryStream* pclFlux() { return m_pclFlux; }

private:
    Octets m_ab;
    CMemoryStream* m_pclFlux = nullptr;
    CEltProjetFile* m_pcl = nullptr;
};

template <class T>
void Ecrit(Octets& ab, size_t nPosition, T v) {
    if (nPosition + sizeof v <= ab.size()) std::memcpy(ab.data() + nPosition, &v, sizeof v);
}

template <class T>
T Lit(const Octets& ab, size_t nPosition) {
    T v{};
    if (nPosition + sizeof v <= ab.size()) std::memcpy(&v, ab.data() + nPosition, sizeof v);
    return v;
}

}  // namespace elttest
