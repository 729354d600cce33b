// Pieces shared by the diff tests: generated sources and edited targets, a
// destination that records whether it was asked for room, the diff body
// decoded for inspection, and diffs written by hand field by field.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "codec/buffer.h"
#include "diff/xdelta.h"

namespace difftest {

using Octets = std::vector<uint8_t>;

// Bytes of a seed: random, or text-like (words from a small vocabulary, so
// that it compresses the way documents do).
inline Octets Aleatoire(size_t n, uint32_t nGraine) {
    std::mt19937 gen(nGraine);
    Octets ab(n);
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const uint32_t dw = gen();
        std::memcpy(ab.data() + i, &dw, 4);
    }
    for (; i < n; ++i) ab[i] = static_cast<uint8_t>(gen());
    return ab;
}

inline Octets Texte(size_t n, uint32_t nGraine) {
    static const char* const k_tabMots[] = {"le ",     "diff ",  "source ", "cible ",   "bloc ",  "copie ",
                                            "insere ", "CRC ",   "32, ",    "version. ", "partie ", "\r\n"};
    std::mt19937 gen(nGraine);
    Octets ab;
    ab.reserve(n + 16);
    while (ab.size() < n) {
        const char* psz = k_tabMots[gen() % (sizeof k_tabMots / sizeof *k_tabMots)];
        ab.insert(ab.end(), psz, psz + std::strlen(psz));
    }
    ab.resize(n);
    return ab;
}

enum eGenre { GENRE_MELANGE = -1, GENRE_REMPLACE = 0, GENRE_INSERE = 1, GENRE_SUPPRIME = 2 };

// nEdits edits spread over the bytes: replaced, inserted or deleted runs
// of 1 to nLongueurMax bytes (of one kind, or mixed).
inline Octets Edite(const Octets& abSource, uint32_t nEdits, uint32_t nLongueurMax, uint32_t nGraine,
                    eGenre eG = GENRE_MELANGE) {
    std::mt19937 gen(nGraine);
    Octets ab = abSource;
    for (uint32_t k = 0; k < nEdits && !ab.empty(); ++k) {
        const size_t nPos = gen() % ab.size();
        const size_t n = 1 + gen() % nLongueurMax;
        const Octets abNeuf = Aleatoire(n, gen());
        const uint32_t nTirage = gen() % 3;
        switch (eG == GENRE_MELANGE ? nTirage : static_cast<uint32_t>(eG)) {
            case 0:   // replaced
                for (size_t i = 0; i < n && nPos + i < ab.size(); ++i) ab[nPos + i] = abNeuf[i];
                break;
            case 1: ab.insert(ab.begin() + static_cast<long>(nPos), abNeuf.begin(), abNeuf.end()); break;
            default:
                ab.erase(ab.begin() + static_cast<long>(nPos),
                         ab.begin() + static_cast<long>(std::min(ab.size(), nPos + n)));
        }
    }
    return ab;
}

// Blocks of the source in another order.
inline Octets Deplace(const Octets& abSource, size_t nBloc, uint32_t nGraine) {
    std::vector<size_t> tab;
    for (size_t i = 0; i < abSource.size(); i += nBloc) tab.push_back(i);
    std::shuffle(tab.begin(), tab.end(), std::mt19937(nGraine));
    Octets ab;
    for (size_t i : tab) ab.insert(ab.end(), abSource.begin() + static_cast<long>(i),
                                   abSource.begin() + static_cast<long>(std::min(abSource.size(), i + nBloc)));
    return ab;
}

// The target is written here; remembers whether room was ever asked.
class CDestVecteur : public IDiffDestination {
public:
    uint8_t* pbyPrepare(uint32_t dwTaille) override {
        bAppele = true;
        ab.assign(dwTaille, 0xCD);
        return dwTaille != 0 ? ab.data() : nullptr;
    }
    Octets ab;
    bool bAppele = false;
};

// The coded bytes of a buffer.
inline Octets Code(CQVBuffer& cl) {
    const uint32_t dw = cl.dwGetCodedSize();
    const uint8_t* p = cl.pbyGetCodedBuffer();
    return p != nullptr ? Octets(p, p + dw) : Octets();
}

inline Octets Cree(const Octets& abS, const Octets& abT, CDiffXDelta::EErrorType* pe = nullptr, bool bTVR = false,
                   int nPourcentage = CDiffXDelta::POURCENTAGE_AUCUN) {
    CDiffXDelta cl;
    cl.SetPourcentageMax(nPourcentage);
    CQVBuffer clSortie;
    static const uint8_t s_by = 0;
    const bool b = cl.bComputeDiff(abS.empty() ? &s_by : abS.data(), uint32_t(abS.size()),
                                   abT.empty() ? &s_by : abT.data(), uint32_t(abT.size()), clSortie, bTVR);
    if (pe != nullptr) *pe = cl.eGetErreur();
    return b ? Code(clSortie) : Octets();
}

struct STApplication {
    bool bOk = false;
    CDiffXDelta::EErrorType e = CDiffXDelta::DIFF_OK;
    bool bEcrit = false;   // room was asked for the target
    Octets ab;
};

inline STApplication Applique(const Octets& abS, const Octets& abDiff) {
    CDiffXDelta cl;
    CDestVecteur clDest;
    static const uint8_t s_by = 0;
    STApplication st;
    st.bOk = cl.bApplyDiff(abS.empty() ? &s_by : abS.data(), uint32_t(abS.size()),
                           abDiff.empty() ? &s_by : abDiff.data(), uint32_t(abDiff.size()), clDest);
    st.e = cl.eGetErreur();
    st.bEcrit = clDest.bAppele;
    st.ab = std::move(clDest.ab);
    return st;
}

template <class T>
T Lit(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The diff's body as plain bytes (empty when it does not unpack).
inline Octets Corps(const Octets& abDiff) {
    if (abDiff.size() < 36) return {};
    CQVBuffer cl(static_cast<eBUFFER_PACKMETHOD>(Lit<uint32_t>(abDiff.data() + 12)), 0, CQVBuffer::PAS_DEFAUT);
    cl.ChangeFirstCodedByte(8 + Lit<uint32_t>(abDiff.data() + 4));
    if (!cl.SetCodedData(abDiff.data(), uint32_t(abDiff.size())) || !cl.bDecode()) return {};
    const uint8_t* p = cl.pbyGetUncodedBuffer();
    return Octets(p + 8 + Lit<uint32_t>(abDiff.data() + 4), p + cl.dwGetSizeDirect());
}

// A section as the test writes it; every field can be set wrong.
struct STSectionBrute {
    uint32_t nType = 0, nPack = 0, nPremier = 0;
    uint32_t s0 = 0, s1 = 0, t0 = 0, t1 = 0;
    std::vector<CDiffInstruction> tabInstr;
    Octets abInsertion;
    uint32_t nEntete = 36;             // header length written
    int64_t llLongueur = -1;           // section length written, -1 for the right one
    int64_t llNombre = -1;             // instruction count written, -1 for the right one
    int64_t llInsertion = -1;          // insert length written, -1 for the right one
};

inline void Mot(Octets& ab, uint32_t dw) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&dw);
    ab.insert(ab.end(), p, p + 4);
}

inline Octets Section(const STSectionBrute& st) {
    Octets ab;
    const uint64_t qwLongueur = 4 + uint64_t(st.nEntete) + 12 * st.tabInstr.size() + st.abInsertion.size();
    Mot(ab, st.llLongueur >= 0 ? uint32_t(st.llLongueur) : uint32_t(qwLongueur));
    Mot(ab, st.nEntete);
    for (uint32_t dw : {st.nType, st.llNombre >= 0 ? uint32_t(st.llNombre) : uint32_t(st.tabInstr.size()), st.nPack,
                        st.nPremier, st.s0, st.s1, st.t0, st.t1,
                        st.llInsertion >= 0 ? uint32_t(st.llInsertion) : uint32_t(st.abInsertion.size())})
        Mot(ab, dw);
    // Fields of a longer header, skipped by readers; a header length that is
    // wrong on purpose writes nothing more.
    if (st.nEntete > 36 && st.nEntete < 1024) ab.resize(ab.size() + (st.nEntete - 36), 0xEE);
    for (const CDiffInstruction& stI : st.tabInstr) {
        Mot(ab, stI.eType);
        Mot(ab, stI.dwPremier);
        Mot(ab, stI.dwSecond);
    }
    ab.insert(ab.end(), st.abInsertion.begin(), st.abInsertion.end());
    return ab;
}

// A whole diff written by hand, its body stored as it stands (pack method 0).
struct STDiffBrut {
    uint32_t nMagic = 0x00464944u, nEntete = 28, nVersion = 1, nPack = 0;
    uint32_t nCrcSource = 0, nCrcCible = 0, nBloc = 128;
    int64_t llNombre = -1;   // section count written, -1 for the right one
    uint32_t nTailleCible = 0;
    std::vector<STSectionBrute> tabSections;
};

inline Octets Diff(const STDiffBrut& st) {
    Octets ab;
    for (uint32_t dw : {st.nMagic, st.nEntete, st.nVersion, st.nPack, st.nCrcSource, st.nCrcCible, st.nBloc,
                        st.llNombre >= 0 ? uint32_t(st.llNombre) : uint32_t(st.tabSections.size()), st.nTailleCible})
        Mot(ab, dw);
    if (st.nEntete > 28 && st.nEntete < 1024) ab.resize(ab.size() + (st.nEntete - 28), 0xEE);
    for (const STSectionBrute& stS : st.tabSections) {
        const Octets abS = Section(stS);
        ab.insert(ab.end(), abS.begin(), abS.end());
    }
    return ab;
}

}  // namespace difftest
