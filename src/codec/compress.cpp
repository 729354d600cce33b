// Compressor base, front object and the variable-width dictionary coder.
#include "codec/compress.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr uint32_t ENTETE = 11;
constexpr uint32_t ENTETE_STOCKE = 5;

uint32_t _dwLit32(const uint8_t* p) {
    uint32_t dw;
    std::memcpy(&dw, p, 4);
    return dw;
}

void _Ecrit32(uint8_t* p, uint32_t dw) { std::memcpy(p, &dw, 4); }

uint32_t _dwBorne(uint64_t qw) { return qw >= PACK_TAILLE_INVALIDE ? PACK_TAILLE_INVALIDE : static_cast<uint32_t>(qw); }

}  // namespace

// ---------------------------------------------------------------- base

CCompresseurBase::CCompresseurBase() {
    pthread_mutexattr_t stAttr;
    pthread_mutexattr_init(&stAttr);
    pthread_mutexattr_settype(&stAttr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&m_stMutex, &stAttr);
    pthread_mutexattr_destroy(&stAttr);
}

CCompresseurBase::~CCompresseurBase() { pthread_mutex_destroy(&m_stMutex); }

ePACK_ECHEC CCompresseurBase::eVerifieBloc(const uint8_t* pbyBloc, uint32_t dwTaille) {
    if (pbyBloc == nullptr || dwTaille == 0) return PACK_ECHEC_ENDOMMAGE;
    const uint8_t byMethode = pbyBloc[0];
    if (byMethode != 0 && byMethode != 2 && byMethode != 4) return PACK_ECHEC_METHODE;
    const uint32_t dwEntete = byMethode == 0 ? ENTETE_STOCKE : ENTETE;
    if (dwTaille < dwEntete) return PACK_ECHEC_ENDOMMAGE;
    // Stored count or payload length: the bytes must all be there.
    const uint32_t dwCompte = _dwLit32(pbyBloc + 1);
    if (dwCompte > dwTaille - dwEntete) return PACK_ECHEC_ENDOMMAGE;
    if (byMethode == 0) return PACK_OK;
    const uint64_t qwMax =
        byMethode == 4 ? CZLWCompresseur::qwTailleMax(dwCompte) : CVieuxBlocCompresseur::qwTailleMax(dwCompte);
    return _dwLit32(pbyBloc + 5) > qwMax ? PACK_ECHEC_TAILLE : PACK_OK;
}

uint32_t CCompresseurBase::dwTailleEntree(const uint8_t* pbyBloc, uint32_t dwTaille) {
    if (pbyBloc == nullptr || dwTaille < ENTETE_STOCKE) return PACK_TAILLE_INVALIDE;
    if (pbyBloc[0] == 0) return _dwBorne(uint64_t{_dwLit32(pbyBloc + 1)} + ENTETE_STOCKE);
    if ((pbyBloc[0] == 2 || pbyBloc[0] == 4) && dwTaille >= ENTETE)
        return _dwBorne(uint64_t{_dwLit32(pbyBloc + 1)} + ENTETE);
    return PACK_TAILLE_INVALIDE;
}

uint32_t CCompresseurBase::dwTailleDecompression(const uint8_t* pbyBloc, uint32_t dwTaille) {
    if (pbyBloc == nullptr || dwTaille < ENTETE_STOCKE) return PACK_TAILLE_INVALIDE;
    if (pbyBloc[0] == 0) return _dwLit32(pbyBloc + 1);
    if ((pbyBloc[0] == 2 || pbyBloc[0] == 4) && dwTaille >= ENTETE) return _dwLit32(pbyBloc + 5);
    return PACK_TAILLE_INVALIDE;
}

uint32_t CCompresseurBase::dwTailleBufferCompression(uint32_t dwTaille) { return _dwBorne(uint64_t{dwTaille} + 7); }

namespace {

// The compressor's lock for the length of one call, released on every path.
class CVerrou {
public:
    explicit CVerrou(pthread_mutex_t* pst) : m_pst(pst) { pthread_mutex_lock(m_pst); }
    ~CVerrou() { pthread_mutex_unlock(m_pst); }
    CVerrou(const CVerrou&) = delete;
    CVerrou& operator=(const CVerrou&) = delete;

private:
    pthread_mutex_t* m_pst;
};

}  // namespace

uint32_t CCompresseurBase::_dwAppel(uint32_t (CCompresseurBase::*pfn)(), const uint8_t* pbySource, uint32_t dwSource,
                                    uint8_t* pbyDestination, uint32_t dwCapacite) {
    CVerrou clVerrou(&m_stMutex);
    m_pbySource = pbySource;
    m_dwSource = pbySource != nullptr ? dwSource : 0;
    m_pbyDestination = pbyDestination;
    m_dwDestination = pbyDestination != nullptr ? dwCapacite : 0;
    m_eEchec = PACK_OK;
    uint32_t dw;
    try {
        dw = (this->*pfn)();
    } catch (const std::bad_alloc&) {
        dw = _dwEchec(PACK_ECHEC_MEMOIRE);
    }
    m_pbySource = nullptr;
    return dw;
}

uint32_t CCompresseurBase::dwCompression(const uint8_t* pbySource, uint32_t dwSource, uint8_t* pbyDestination,
                                         uint32_t dwCapacite) {
    return _dwAppel(&CCompresseurBase::_dwCompression, pbySource, dwSource, pbyDestination, dwCapacite);
}

uint32_t CCompresseurBase::dwDecompression(const uint8_t* pbySource, uint32_t dwSource, uint8_t* pbyDestination,
                                           uint32_t dwCapacite) {
    return _dwAppel(&CCompresseurBase::_dwDecompression, pbySource, dwSource, pbyDestination, dwCapacite);
}

void CCompresseurBase::_EcritEntete(uint8_t byMethode, uint32_t dwPayload) {
    m_pbyDestination[0] = byMethode;
    _Ecrit32(m_pbyDestination + 1, dwPayload);
    _Ecrit32(m_pbyDestination + 5, m_dwSource);
    m_pbyDestination[9] = 0;
    m_pbyDestination[10] = 0;
}

uint32_t CCompresseurBase::_dwStocke() {
    if (uint64_t{m_dwSource} + ENTETE_STOCKE > m_dwDestination) return _dwEchec(PACK_ECHEC_PLACE);
    m_pbyDestination[0] = 0;
    _Ecrit32(m_pbyDestination + 1, m_dwSource);
    if (m_dwSource != 0) std::memmove(m_pbyDestination + ENTETE_STOCKE, m_pbySource, m_dwSource);
    return m_dwSource + ENTETE_STOCKE;
}

uint32_t CCompresseurBase::_dwDestocke() {
    if (m_dwSource < ENTETE_STOCKE || m_pbySource[0] != 0) return _dwEchec(PACK_ECHEC_ENDOMMAGE);
    uint32_t dwCompte = _dwLit32(m_pbySource + 1);
    if (dwCompte > m_dwSource - ENTETE_STOCKE) return _dwEchec(PACK_ECHEC_ENDOMMAGE);
    if (dwCompte > m_dwDestination) return _dwEchec(PACK_ECHEC_PLACE);
    if (dwCompte != 0) std::memmove(m_pbyDestination, m_pbySource + ENTETE_STOCKE, dwCompte);
    return dwCompte;
}

// ---------------------------------------------------------------- front

CCompresseur::CCompresseur(int nType) { ChangeMethodeCompression(nType); }

CCompresseur::~CCompresseur() { delete m_pclCompresseur; }

void CCompresseur::ChangeMethodeCompression(int nType) {
    if (m_pclCompresseur != nullptr && (nType == m_byType || nType == 0)) return;
    CCompresseurBase* pclNouveau;
    uint8_t byType;
    switch (nType) {
        case 0:
        case 4:
            pclNouveau = new CZLWCompresseur;
            byType = static_cast<uint8_t>(nType);
            break;
        case 2:
            pclNouveau = new CVieuxBlocCompresseur;
            byType = 2;
            break;
        case 5:
            pclNouveau = new CCompresseurQVC40;
            byType = 5;
            break;
        default:
            if (m_byType == 4 && m_pclCompresseur != nullptr) return;
            pclNouveau = new CZLWCompresseur;
            byType = 4;
            break;
    }
    delete m_pclCompresseur;
    m_pclCompresseur = pclNouveau;
    m_byType = byType;
}

void CCompresseur::ChangeSource(uint8_t* pbySource, uint32_t dwTaille) {
    m_pbySource = pbySource;
    m_dwSource = pbySource != nullptr ? dwTaille : 0;
}

void CCompresseur::ChangeDestination(uint8_t* pbyDestination, uint32_t dwCapacite) {
    m_pbyDestination = pbyDestination;
    m_dwDestination = pbyDestination != nullptr ? dwCapacite : 0;
}

bool CCompresseur::_bChangeMethode(int nType) {
    try {
        ChangeMethodeCompression(nType);
        return true;
    } catch (const std::bad_alloc&) {
        m_eEchec = PACK_ECHEC_MEMOIRE;
        return false;
    }
}

uint32_t CCompresseur::dwCompression() {
    uint32_t dw = m_pclCompresseur->dwCompression(m_pbySource, m_dwSource, m_pbyDestination, m_dwDestination);
    m_eEchec = dw == 0 ? m_pclCompresseur->eGetEchec() : PACK_OK;
    return dw;
}

uint32_t CCompresseur::dwDecompression(uint8_t byType) {
    m_eEchec = PACK_OK;
    if (m_pbySource == nullptr || m_dwSource == 0) {
        m_eEchec = PACK_ECHEC_ENDOMMAGE;
        return 0;
    }
    uint8_t byAvant = m_byType;
    uint8_t byMethode = byType == 5 ? 5 : m_pbySource[0];
    if (byType != 5 && byMethode != 0 && byMethode != 2 && byMethode != 4) {
        m_eEchec = PACK_ECHEC_METHODE;
        return 0;
    }
    // A stored block is read by any block compressor, never by the text coder
    // (whose form carries no method byte).
    if (byMethode == 0 && m_byType == 5 && !_bChangeMethode(4)) return 0;
    if (!_bChangeMethode(byMethode)) return 0;
    uint32_t dw = m_pclCompresseur->dwDecompression(m_pbySource, m_dwSource, m_pbyDestination, m_dwDestination);
    if (dw == 0) m_eEchec = m_pclCompresseur->eGetEchec();
    // Without memory to switch back, the result is not handed out: the next
    // packing would otherwise use the block's coder.
    if (!_bChangeMethode(byAvant)) return 0;
    return dw;
}

ePACK_ECHEC CCompresseur::eVerifieBloc() { return m_pclCompresseur->eVerifieBloc(m_pbySource, m_dwSource); }

uint32_t CCompresseur::dwTailleEntree() { return m_pclCompresseur->dwTailleEntree(m_pbySource, m_dwSource); }

uint32_t CCompresseur::dwTailleDecompression() {
    return m_pclCompresseur->dwTailleDecompression(m_pbySource, m_dwSource);
}

uint32_t CCompresseur::dwTailleBufferCompression(uint32_t dwTaille) {
    return m_pclCompresseur->dwTailleBufferCompression(dwTaille);
}

// ---------------------------------------------------------------- type 4

namespace {

constexpr uint32_t ZLW_EFFACE = 0;
constexpr uint32_t ZLW_FIN = 257;
constexpr uint32_t ZLW_PREMIER = 258;
constexpr uint32_t ZLW_MAX = 65536;
constexpr uint32_t ZLW_SLOTS = 0x20000;

// Codes packed least-significant bit first; writes stop at the capacity.
struct CEcrivainLSB {
    uint8_t* pby;
    uint32_t dwCapacite;
    uint32_t dwPos;
    uint32_t dwAccu = 0;
    uint32_t dwBits = 0;
    bool bDeborde = false;
    void Octet(uint8_t by) {
        if (dwPos < dwCapacite)
            pby[dwPos] = by;
        else
            bDeborde = true;
        dwPos++;
    }
    void Code(uint32_t dwCode, uint32_t dwLargeur) {
        dwAccu |= dwCode << dwBits;
        dwBits += dwLargeur;
        while (dwBits >= 8) {
            Octet(static_cast<uint8_t>(dwAccu));
            dwAccu >>= 8;
            dwBits -= 8;
        }
    }
    void Vide() {
        if (dwBits > 0) Octet(static_cast<uint8_t>(dwAccu));
        dwAccu = 0;
        dwBits = 0;
    }
};

// The coder's slot table, kept by each thread between calls: clearing
// 256 KB would cost more than compressing a short value, so only the slots
// written are put back to zero, when the dictionary restarts and when the
// call ends (even by an exception).
class CSlotsZLW {
public:
    CSlotsZLW() {
        if (s_tab.empty()) s_tab.assign(ZLW_SLOTS, 0);
        m_tabEcrits.reserve(256);
    }
    ~CSlotsZLW() { Efface(); }
    CSlotsZLW(const CSlotsZLW&) = delete;
    CSlotsZLW& operator=(const CSlotsZLW&) = delete;

    uint16_t operator[](uint32_t s) const { return s_tab[s]; }
    void Ecrit(uint32_t s, uint16_t w) {
        m_tabEcrits.push_back(s);
        s_tab[s] = w;
    }
    void Efface() {
        // Past an eighth of the table, one sweep is quicker than scattered stores.
        if (m_tabEcrits.size() > ZLW_SLOTS / 8)
            std::fill(s_tab.begin(), s_tab.end(), 0);
        else
            for (uint32_t s : m_tabEcrits) s_tab[s] = 0;
        m_tabEcrits.clear();
    }

private:
    static thread_local std::vector<uint16_t> s_tab;
    std::vector<uint32_t> m_tabEcrits;
};

thread_local std::vector<uint16_t> CSlotsZLW::s_tab;

}  // namespace

void CZLWCompresseur::_Reinit() {
    m_dwProchain = ZLW_PREMIER;
    m_dwLargeur = 9;
    m_dwLimite = 512;
    if (m_tabEntrees.size() < 512) m_tabEntrees.resize(512);
    for (uint32_t i = 0; i < 256; i++) m_tabEntrees[i + 1] = {0, static_cast<uint8_t>(i)};
}

uint32_t CZLWCompresseur::_dwCompression() {
    const uint32_t n = m_dwSource;
    if (n <= 19) return _dwStocke();
    if (m_dwDestination < ENTETE) return _dwEchec(PACK_ECHEC_PLACE);
    CSlotsZLW tabHachage;
    m_tabEntrees.assign(512, {0, 0});
    _Reinit();
    CEcrivainLSB clSortie{m_pbyDestination, m_dwDestination, ENTETE};
    double rMeilleur = -1e300;
    const uint8_t* pby = m_pbySource;

    auto fnCherche = [&](uint32_t dwPrefixe, uint8_t by, bool bAjoute, uint32_t* pdwSlot) -> uint32_t {
        uint32_t s = (uint32_t{by} * 512 + dwPrefixe * 2 + 1) & (ZLW_SLOTS - 1);
        for (uint32_t k = 0; k < 11; k++) {
            uint16_t w = tabHachage[s];
            if (w == 0) {
                *pdwSlot = s;
                return 0;
            }
            if (!bAjoute && m_tabEntrees[w].wPrefixe == dwPrefixe && m_tabEntrees[w].byOctet == by) return w;
            s = ((k + s + 1019) & 0xFFFF) * 2;
        }
        *pdwSlot = ZLW_SLOTS;
        return 0;
    };
    auto fnEfface = [&]() {
        clSortie.Code(ZLW_EFFACE, m_dwLargeur);
        tabHachage.Efface();
        _Reinit();
        rMeilleur = -1e300;
    };
    auto fnAjoute = [&](uint32_t dwPrefixe, uint8_t by, uint32_t dwLu) {
        if (m_dwProchain == ZLW_MAX) {
            double rGain = (1.0 - static_cast<double>(clSortie.dwPos) / static_cast<double>(dwLu)) * 100.0;
            rMeilleur = std::max(rMeilleur, rGain);
            double rMarge = (100.0 - rMeilleur) / 100.0 < 0.2 ? 0.2 : 0.0;
            if (rMeilleur > rGain + rMarge) fnEfface();
            return;
        }
        uint32_t dwSlot = ZLW_SLOTS;
        fnCherche(dwPrefixe, by, true, &dwSlot);
        if (dwSlot < ZLW_SLOTS) {
            if (m_dwProchain >= m_tabEntrees.size()) m_tabEntrees.resize(m_tabEntrees.size() * 2);
            tabHachage.Ecrit(dwSlot, static_cast<uint16_t>(m_dwProchain));
            m_tabEntrees[m_dwProchain] = {static_cast<uint16_t>(dwPrefixe), by};
            m_dwProchain++;
            if (m_dwLargeur <= 15 && m_dwProchain > m_dwLimite) {
                m_dwLimite *= 2;
                m_dwLargeur++;
            }
        } else {
            // The decoder, one entry behind, widens at the limit itself.
            if (m_dwLargeur <= 15 && m_dwProchain == m_dwLimite) m_dwLargeur++;
            fnEfface();
        }
    };

    uint32_t dwPrefixe = uint32_t{pby[0]} + 1;
    uint32_t i = 1;
    while (clSortie.dwPos < uint64_t{n} + 3) {
        while (i < n) {
            uint32_t dwSlot;
            uint32_t dwCode = fnCherche(dwPrefixe, pby[i], false, &dwSlot);
            if (dwCode == 0) break;
            dwPrefixe = dwCode;
            i++;
        }
        clSortie.Code(dwPrefixe, m_dwLargeur);
        if (i >= n) {
            fnAjoute(dwPrefixe, 0x0F, i);
            break;
        }
        fnAjoute(dwPrefixe, pby[i], i + 1);
        dwPrefixe = uint32_t{pby[i]} + 1;
        i++;
    }
    if (i < n || clSortie.dwPos >= uint64_t{n} + 3) return _dwStocke();
    clSortie.Code(ZLW_FIN, m_dwLargeur);
    clSortie.Vide();
    if (clSortie.bDeborde) return _dwStocke();
    _EcritEntete(4, clSortie.dwPos - ENTETE);
    return clSortie.dwPos;
}

namespace {

// Sum over the codes j of [a, b) of max(min(j + 1, cap), floor): what those
// codes can write at most, none counted below the floor.
uint64_t _qwSommeCodes(uint64_t a, uint64_t b, uint64_t qwPlancher, uint64_t qwCap) {
    if (a >= b) return 0;
    // Codes that the floor covers: j + 1 < floor (all of them if the cap is below it).
    uint64_t m = qwPlancher > qwCap ? b : std::clamp<uint64_t>(qwPlancher > 0 ? qwPlancher - 1 : 0, a, b);
    uint64_t qw = (m - a) * qwPlancher;
    // Then j + 1 up to the cap, then the cap.
    uint64_t c = std::clamp<uint64_t>(qwCap, m, b);
    if (c > m) qw += ((m + 1) + c) * (c - m) / 2;
    qw += (b - c) * qwCap;
    return qw;
}

}  // namespace

// The largest output of a payload of B = 8 * dwPayload bits. After a clear
// (or at the start), the j-th code (j from 0) writes at most j + 1 bytes:
// every entry is the previous code's string plus one byte. No string is
// longer than 65279 bytes (one byte and the 65278 entries that can be
// learned). The width of code j is fixed by the entries learned before it:
// 9 bits up to j = 254, then one bit more each time 257 + j reaches 512,
// 1024, ..., 32768. Bytes per bit, kept as a running maximum, never fall as
// j grows, so splitting the stream with clear codes can only lose: one run
// of codes, each counted whole at that running maximum, bounds every stream
// of B bits.
uint64_t CZLWCompresseur::qwTailleMax(uint32_t dwPayload) {
    constexpr uint64_t CAP = ZLW_MAX - ZLW_PREMIER + 1;
    uint64_t qwBits = uint64_t{dwPayload} * 8;
    uint64_t qwTotal = 0;
    uint64_t j = 0;
    // Running maximum of bytes per bit, as qwNum / qwDen.
    uint64_t qwNum = 0, qwDen = 1;
    for (uint64_t w = 9; qwBits > 0; w++) {
        // Codes read with width w: up to the first one read one bit wider.
        uint64_t qwFin = w < 16 ? (uint64_t{1} << w) - 257 : UINT64_MAX;
        uint64_t n = std::min(qwFin - j, (qwBits + w - 1) / w);
        uint64_t qwPlancher = (qwNum * w + qwDen - 1) / qwDen;
        qwTotal += _qwSommeCodes(j, j + n, qwPlancher, CAP);
        qwBits -= std::min(qwBits, n * w);
        j += n;
        uint64_t qwDernier = std::min(j, CAP);   // what code j - 1 can write
        if (qwDernier * qwDen > qwNum * w) {
            qwNum = qwDernier;
            qwDen = w;
        }
    }
    return qwTotal;
}

namespace {

// Where a code's string was written in the output, and its length: every
// learned string is the previous code's string followed by the first byte
// of the next one, and the output already holds exactly those bytes in a
// row, so a string is copied from its first writing instead of being
// rebuilt from prefix links.
struct STChaine {
    uint32_t dwPos;
    uint32_t dwLongueur;
};

// Copies a string written earlier (ending at or before the destination) to
// the end of the output. Eight bytes at a time when the copy may run past
// the string inside the announced output (the extra bytes are overwritten by
// what follows), byte by byte near the end.
inline void _CopieChaine(uint8_t* pby, uint32_t dwPos, uint32_t dwSortie, uint32_t dwLongueur, uint32_t dwAttendu) {
    uint8_t* pDest = pby + dwSortie;
    const uint8_t* pSource = pby + dwPos;
    if (dwSortie - dwPos >= 8 && dwAttendu - dwSortie >= dwLongueur + 8) {
        for (uint32_t k = 0; k < dwLongueur; k += 8) std::memcpy(pDest + k, pSource + k, 8);
    } else {
        for (uint32_t k = 0; k < dwLongueur; ++k) pDest[k] = pSource[k];
    }
}

}  // namespace

uint32_t CZLWCompresseur::_dwDecompression() {
    ePACK_ECHEC eBloc = eVerifieBloc(m_pbySource, m_dwSource);
    if (eBloc != PACK_OK) return _dwEchec(eBloc);
    if (m_pbySource[0] == 0) return _dwDestocke();
    if (m_pbySource[0] != 4) return _dwEchec(PACK_ECHEC_METHODE);
    // The payload lies inside the source and the announced size is within
    // what it can produce (eVerifieBloc).
    const uint32_t dwEntree = _dwLit32(m_pbySource + 1);
    const uint32_t dwAttendu = _dwLit32(m_pbySource + 5);
    if (dwAttendu > m_dwDestination) return _dwEchec(PACK_ECHEC_PLACE);
    if (dwAttendu == 0) return 0;
    const uint8_t* const pbyEntree = m_pbySource + ENTETE;
    uint8_t* const pbySortie = m_pbyDestination;
    // Every code writes at least one byte: no more entries than that are
    // ever learned.
    const uint32_t dwEntrees = static_cast<uint32_t>(std::min<uint64_t>(ZLW_MAX, uint64_t{dwAttendu} + ZLW_PREMIER + 1));
    // Left uninitialised (an entry is written before it is read), through
    // the plain operator new so that its failure is seen as such.
    struct STRend {
        void operator()(STChaine* p) const { ::operator delete(p); }
    };
    std::unique_ptr<STChaine, STRend> ptabChaines;
    try {
        ptabChaines.reset(static_cast<STChaine*>(::operator new(size_t{dwEntrees} * sizeof(STChaine))));
    } catch (const std::bad_alloc&) {
        return _dwEchec(PACK_ECHEC_MEMOIRE);
    }
    STChaine* const ptab = ptabChaines.get();

    // Kept in locals: the output's bytes may alias anything, members included.
    uint32_t dwProchain = ZLW_PREMIER, dwLargeur = 9, dwLimite = 512;
    uint32_t dwLu = 0, dwAccu = 0, dwBits = 0;
    uint32_t dwSortie = 0;
    bool bPrecedent = false;   // false at the start and after a clear
    STChaine stPrecedent{0, 0};

    // Any way out of the loop but the announced size reached is a damaged stream.
    m_eEchec = PACK_ECHEC_ENDOMMAGE;
    while (dwSortie < dwAttendu) {
        while (dwBits < dwLargeur) {
            if (dwLu >= dwEntree) return 0;
            dwAccu |= uint32_t{pbyEntree[dwLu++]} << dwBits;
            dwBits += 8;
        }
        const uint32_t dwCode = dwAccu & ((1u << dwLargeur) - 1);
        dwAccu >>= dwLargeur;
        dwBits -= dwLargeur;
        if (dwCode == ZLW_FIN) break;
        if (dwCode == ZLW_EFFACE) {
            dwProchain = ZLW_PREMIER;
            dwLargeur = 9;
            dwLimite = 512;
            bPrecedent = false;
            continue;
        }
        STChaine st;
        if (dwCode <= 256) {
            pbySortie[dwSortie] = static_cast<uint8_t>(dwCode - 1);
            st = {dwSortie, 1};
        } else if (!bPrecedent) {
            return 0;
        } else if (dwCode < dwProchain) {
            st = ptab[dwCode];
            if (st.dwLongueur > dwAttendu - dwSortie) return 0;
            _CopieChaine(pbySortie, st.dwPos, dwSortie, st.dwLongueur, dwAttendu);
        } else if (dwCode == dwProchain && dwProchain < ZLW_MAX) {
            // The string this very step defines: the previous one and its own
            // first byte, copied forward over itself.
            st = {stPrecedent.dwPos, stPrecedent.dwLongueur + 1};
            if (st.dwLongueur > dwAttendu - dwSortie) return 0;
            for (uint32_t k = 0; k < st.dwLongueur; ++k) pbySortie[dwSortie + k] = pbySortie[st.dwPos + k];
        } else {
            return 0;
        }
        if (bPrecedent && dwProchain < ZLW_MAX) {
            ptab[dwProchain++] = {stPrecedent.dwPos, stPrecedent.dwLongueur + 1};
            if (dwLargeur < 16 && dwProchain >= dwLimite) {
                dwLimite *= 2;
                dwLargeur++;
            }
        }
        st.dwPos = dwSortie;
        dwSortie += st.dwLongueur;
        stPrecedent = st;
        bPrecedent = true;
    }
    if (dwSortie != dwAttendu) return 0;
    m_eEchec = PACK_OK;
    return dwSortie;
}
