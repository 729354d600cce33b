// Type 2: the older dictionary coder. Codes are packed most-significant bit
// first; code 256 escapes a control value of the same width (0 the literal
// code 256, 1 reset, 2 one bit wider, 3 end of data).
#include <algorithm>
#include <cstring>

#include "codec/compress.h"

namespace {

constexpr uint32_t ENTETE = 11;
constexpr uint32_t VIDE = 4097;
constexpr uint32_t SANS_PARENT = 32769;
constexpr uint32_t SLOTS = 32768;
constexpr uint32_t CODES = 4096;
constexpr uint32_t ESCAPE = 256;
constexpr uint32_t LONGUEUR_MAX = 250;

uint32_t _dwLit32(const uint8_t* p) {
    uint32_t dw;
    std::memcpy(&dw, p, 4);
    return dw;
}

uint32_t _dwHache(uint32_t dwParent, uint8_t by) {
    return dwParent == SANS_PARENT ? by : ((dwParent * 8) ^ by) & 0x7FFF;
}

}  // namespace

CVieuxBlocCompresseur::CVieuxBlocCompresseur() : m_tabHachage(SLOTS, VIDE), m_tabEntrees(CODES) {}

void CVieuxBlocCompresseur::_Reinit() {
    std::fill(m_tabHachage.begin(), m_tabHachage.end(), VIDE);
    for (uint32_t c = 0; c < 256; c++) {
        m_tabEntrees[c] = {SANS_PARENT, static_cast<uint8_t>(c)};
        m_tabHachage[c] = c;
    }
    m_dwProchain = 256;
    m_dwLargeur = 9;
}

uint32_t CVieuxBlocCompresseur::_dwCompression() {
    const uint32_t n = m_dwSource;
    if (n == 0) return _dwStocke();
    _Reinit();
    std::vector<uint8_t> tabSortie;
    tabSortie.reserve(n + 16);
    uint32_t dwAccu = 0;
    uint32_t dwBits = 0;
    auto fnCode = [&](uint32_t dwCode) {
        dwAccu = (dwAccu << m_dwLargeur) | dwCode;
        dwBits += m_dwLargeur;
        while (dwBits >= 8) {
            tabSortie.push_back(static_cast<uint8_t>(dwAccu >> (dwBits - 8)));
            dwBits -= 8;
        }
        dwAccu &= (1u << dwBits) - 1;
    };
    auto fnEcritCode = [&](uint32_t dwCode) {
        fnCode(dwCode);
        if (dwCode == ESCAPE) fnCode(0);
    };
    auto fnControle = [&](uint32_t dwValeur) {
        fnCode(ESCAPE);
        fnCode(dwValeur);
    };
    // The slot of (parent slot, byte): found (true) or the empty slot where it
    // would go (false, *pnEssais probes used, SLOTS when none within 20).
    auto fnCherche = [&](uint32_t dwParent, uint8_t by, uint32_t* pdwSlot, uint32_t* pdwEssais) -> bool {
        uint32_t dwP = dwParent;
        for (uint32_t k = 1; k <= 20; k++) {
            uint32_t s = _dwHache(dwP, by);
            uint32_t c = m_tabHachage[s];
            if (c == VIDE) {
                *pdwSlot = s;
                *pdwEssais = k;
                return false;
            }
            if (m_tabEntrees[c].dwParent == dwParent && m_tabEntrees[c].byOctet == by) {
                *pdwSlot = s;
                return true;
            }
            dwP = (dwP + 1019) & 0x7FFF;
        }
        *pdwSlot = SLOTS;
        *pdwEssais = 21;
        return false;
    };

    uint32_t dwCourant = m_pbySource[0];   // slot of the current string
    uint32_t dwLongueur = 1;
    uint32_t i = 1;
    for (; i < n && tabSortie.size() < n; i++) {
        uint8_t by = m_pbySource[i];
        uint32_t dwSlot = 0, dwEssais = 0;
        if (dwLongueur < LONGUEUR_MAX && fnCherche(dwCourant, by, &dwSlot, &dwEssais)) {
            dwCourant = dwSlot;
            dwLongueur++;
            continue;
        }
        fnEcritCode(m_tabHachage[dwCourant]);
        // A string cut at the longest length is already known: its code is
        // still used up, as the decoder numbers one entry per code.
        bool bConnu = dwLongueur >= LONGUEUR_MAX && fnCherche(dwCourant, by, &dwSlot, &dwEssais);
        if (!bConnu && (dwSlot >= SLOTS || dwEssais > 18)) {
            fnControle(1);
            _Reinit();
        } else {
            if (!bConnu) m_tabHachage[dwSlot] = m_dwProchain;
            m_tabEntrees[m_dwProchain] = {dwCourant, by};
            m_dwProchain++;
            if (m_dwProchain > 4094) {
                fnControle(1);
                _Reinit();
            }
        }
        if (m_dwProchain == (1u << m_dwLargeur)) {
            fnControle(2);
            m_dwLargeur++;
        }
        dwCourant = by;
        dwLongueur = 1;
    }
    if (i < n || uint64_t{tabSortie.size()} + ((m_dwLargeur >> 1) & ~1u) + ENTETE >= n) return _dwStocke();
    fnEcritCode(m_tabHachage[dwCourant]);
    fnControle(3);
    if (dwBits > 0) tabSortie.push_back(static_cast<uint8_t>(dwAccu << (8 - dwBits)));
    uint64_t qwTotal = uint64_t{tabSortie.size()} + ENTETE;
    if (qwTotal > m_dwDestination) return _dwStocke();
    _EcritEntete(2, static_cast<uint32_t>(tabSortie.size()));
    std::memcpy(m_pbyDestination + ENTETE, tabSortie.data(), tabSortie.size());
    return static_cast<uint32_t>(qwTotal);
}

// The largest output of a payload of B = 8 * dwPayload bits. Two bounds
// hold, and the smaller is taken.
// - After a reset the j-th output code (j from 0) writes at most j + 1 bytes
//   (every entry is the previous string plus one byte), and never more than
//   3841 (one byte and the 3840 entries that can be learned); every code
//   takes 9 bits at least. With that cap nondecreasing in j, resets can only
//   lose: the codes of one run that B bits can hold bound the output.
// - A code w bits wide names an entry below 2^w, and entry k >= 256 holds at
//   most k - 254 bytes: min(2^w - 255, 3841) bytes for w bits, at best
//   3841 bytes for 12 bits, whatever the widths and controls.
// The first is exact while codes stay 9 bits wide and the second once the
// table is full; between them the bound is at most 1.5 times the worst
// stream, which is enough to refuse a lie before allocating for it.
uint64_t CVieuxBlocCompresseur::qwTailleMax(uint32_t dwPayload) {
    constexpr uint64_t CAP = CODES - ESCAPE + 1;
    const uint64_t qwBits = uint64_t{dwPayload} * 8;
    const uint64_t n = qwBits / 9;
    uint64_t qwRun = n <= CAP ? n * (n + 1) / 2 : CAP * (CAP + 1) / 2 + (n - CAP) * CAP;
    uint64_t qwLineaire = (qwBits * CAP + 11) / 12;
    return std::min(qwRun, qwLineaire);
}

uint32_t CVieuxBlocCompresseur::_dwDecompression() {
    ePACK_ECHEC eBloc = eVerifieBloc(m_pbySource, m_dwSource);
    if (eBloc != PACK_OK) return _dwEchec(eBloc);
    if (m_pbySource[0] == 0) return _dwDestocke();
    if (m_pbySource[0] != 2) return _dwEchec(PACK_ECHEC_METHODE);
    // The payload lies inside the source and the announced size is within
    // what it can produce (eVerifieBloc).
    const uint32_t dwEntree = _dwLit32(m_pbySource + 1);
    const uint32_t dwAttendu = _dwLit32(m_pbySource + 5);
    if (dwAttendu > m_dwDestination) return _dwEchec(PACK_ECHEC_PLACE);
    if (dwAttendu == 0) return 0;
    const uint8_t* pbyEntree = m_pbySource + ENTETE;
    uint32_t dwLu = 0;
    uint64_t qwAccu = 0;
    uint32_t dwBits = 0;
    // The decoder keeps codes as (previous code, byte) pairs.
    struct STCode {
        uint16_t wPrefixe;
        uint8_t byOctet;
    };
    std::vector<STCode> tabCodes(CODES);
    for (uint32_t c = 0; c < 256; c++) tabCodes[c] = {0xFFFF, static_cast<uint8_t>(c)};
    uint32_t dwProchain = 256;
    uint32_t dwLargeur = 9;

    auto fnLit = [&](uint32_t* pdw) -> bool {
        while (dwBits < dwLargeur && dwLu < dwEntree) {
            qwAccu = (qwAccu << 8) | pbyEntree[dwLu++];
            dwBits += 8;
        }
        if (dwBits < dwLargeur) return false;
        *pdw = static_cast<uint32_t>(qwAccu >> (dwBits - dwLargeur)) & ((1u << dwLargeur) - 1);
        dwBits -= dwLargeur;
        qwAccu &= (uint64_t{1} << dwBits) - 1;
        return true;
    };
    uint32_t dwSortie = 0;
    auto fnPremier = [&](uint32_t c) -> uint8_t {
        while (tabCodes[c].wPrefixe != 0xFFFF) c = tabCodes[c].wPrefixe;
        return tabCodes[c].byOctet;
    };
    auto fnEcrit = [&](uint32_t dwCode) -> bool {
        uint32_t dwLongueur = 1;
        for (uint32_t c = dwCode; tabCodes[c].wPrefixe != 0xFFFF; c = tabCodes[c].wPrefixe) dwLongueur++;
        if (dwLongueur > dwAttendu - dwSortie) return false;
        uint32_t j = dwSortie + dwLongueur;
        for (uint32_t c = dwCode;; c = tabCodes[c].wPrefixe) {
            m_pbyDestination[--j] = tabCodes[c].byOctet;
            if (tabCodes[c].wPrefixe == 0xFFFF) break;
        }
        dwSortie += dwLongueur;
        return true;
    };

    // Any way out of the loop but the announced size reached is a damaged stream.
    m_eEchec = PACK_ECHEC_ENDOMMAGE;
    bool bPrecedent = false;
    uint32_t dwPrecedent = 0;
    while (dwSortie < dwAttendu) {
        uint32_t dwCode;
        if (!fnLit(&dwCode)) return 0;
        if (dwCode == ESCAPE) {
            uint32_t dwControle;
            if (!fnLit(&dwControle)) return 0;
            if (dwControle == 1) {
                dwProchain = 256;
                dwLargeur = 9;
                bPrecedent = false;
                continue;
            }
            if (dwControle == 2) {
                if (dwLargeur >= 16) return 0;
                dwLargeur++;
                continue;
            }
            if (dwControle == 3) break;
            if (dwControle != 0) continue;   // unknown controls are skipped
        }
        if (!bPrecedent) {
            if (dwCode >= dwProchain) return 0;
            if (!fnEcrit(dwCode)) return 0;
        } else if (dwCode < dwProchain) {
            uint8_t by = fnPremier(dwCode);
            if (!fnEcrit(dwCode)) return 0;
            if (dwProchain < CODES) tabCodes[dwProchain++] = {static_cast<uint16_t>(dwPrecedent), by};
        } else if (dwCode == dwProchain && dwProchain < CODES) {
            tabCodes[dwProchain++] = {static_cast<uint16_t>(dwPrecedent), fnPremier(dwPrecedent)};
            if (!fnEcrit(dwCode)) return 0;
        } else {
            return 0;
        }
        bPrecedent = true;
        dwPrecedent = dwCode;
    }
    if (dwSortie != dwAttendu) return 0;
    m_eEchec = PACK_OK;
    return dwSortie;
}
