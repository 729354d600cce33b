// What the file-compaction coders read from and write to, and how they end.
//
// The coders ("-lh5-" both ways, the old LZW decoder) know nothing of files:
// they pull bytes from a source and push bytes to a sink, so that the archive
// layer can count, stop and report progress between pieces, and so that tests
// and fuzz targets can run them over memory. The CRC-16 they keep is the one
// LHA archives carry (reflected polynomial 0xA001, from 0, no final XOR).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

// Answers of a source or a sink besides a byte count.
enum eFLUX_COMPACT : int32_t {
    FLUX_ERREUR = -1,   // the file behind failed (its own error says why)
    FLUX_ARRET = -2,    // the operation was asked to stop
};

class ISourceCompact {
public:
    // Up to nTaille bytes into pby: their count, 0 at the end, or an eFLUX_COMPACT.
    virtual int32_t nLit(uint8_t* pby, uint32_t nTaille) = 0;

protected:
    ~ISourceCompact() = default;
};

class IPuitsCompact {
public:
    // All nTaille bytes: 0, or an eFLUX_COMPACT.
    virtual int32_t nEcrit(const uint8_t* pby, uint32_t nTaille) = 0;

protected:
    ~IPuitsCompact() = default;
};

// How a coder ends.
enum class eCODAGE {
    OK,
    DONNEES,    // coded data damaged, or ending before the announced size
    LECTURE,    // the source failed
    ECRITURE,   // the sink failed (or refused more bytes)
    ARRET,      // the source or the sink asked to stop
    MEMOIRE,    // working memory could not be had
};

// How a coder ends when its source or sink answered n (below 0): stopped,
// or eAutre.
inline eCODAGE eFinFlux(int32_t n, eCODAGE eAutre) { return n == FLUX_ARRET ? eCODAGE::ARRET : eAutre; }

// The CRC-16 of LHA archives over the bytes a coder reads or writes.
class CCrc16Lha {
public:
    void Ajoute(const uint8_t* pby, size_t nTaille);
    uint16_t wGetCRC() const { return m_wValeur; }

private:
    uint16_t m_wValeur = 0;
};

// What every coder's working memory begins with: its two ends, how it
// ended, and the CRC-16 of the uncoded bytes.
struct STCodeur {
    ISourceCompact* pclSource = nullptr;
    IPuitsCompact* pclPuits = nullptr;
    eCODAGE eEchec = eCODAGE::OK;
    CCrc16Lha clCrc;

    // Keeps the first cause; false, for the caller to return.
    bool bEchec(eCODAGE e) {
        if (eEchec == eCODAGE::OK) eEchec = e;
        return false;
    }
};

// Runs fnCode on a coder's working memory T (an STCodeur) between these two
// ends; MEMOIRE when the memory cannot be had. The memory comes through the
// ordinary operator new, so that a program that replaces it sees these
// allocations as well, and is left uninitialised beyond what T's members
// say, since a coder writes its buffers before it reads them.
template <typename T, typename F>
eCODAGE eLanceCodeur(ISourceCompact& clSource, IPuitsCompact& clPuits, F fnCode) {
    std::unique_ptr<T> pcl;
    try {
        pcl.reset(new T);
    } catch (const std::bad_alloc&) {
        return eCODAGE::MEMOIRE;
    }
    pcl->pclSource = &clSource;
    pcl->pclPuits = &clPuits;
    fnCode(*pcl);
    return pcl->eEchec;
}
