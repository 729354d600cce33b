// The CRC-16 of LHA archives: reflected polynomial 0xA001, eight bytes at a
// time through eight tables (table k advances a byte k places further).
#include "codec/compact_flux.h"

#include <array>
#include <cstring>

namespace {

using Tables = std::array<std::array<uint16_t, 256>, 8>;

constexpr Tables TABLES_CRC16 = [] {
    Tables t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? (c >> 1) ^ 0xA001u : c >> 1;
        t[0][i] = static_cast<uint16_t>(c);
    }
    for (size_t k = 1; k < 8; ++k)
        for (uint32_t i = 0; i < 256; ++i)
            t[k][i] = static_cast<uint16_t>((t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFFu]);
    return t;
}();

}  // namespace

void CCrc16Lha::Ajoute(const uint8_t* pby, size_t nTaille) {
    const Tables& t = TABLES_CRC16;
    uint32_t c = m_wValeur;
    while (nTaille >= 8) {
        uint8_t ab[8];
        std::memcpy(ab, pby, 8);
        ab[0] = static_cast<uint8_t>(ab[0] ^ c);
        ab[1] = static_cast<uint8_t>(ab[1] ^ (c >> 8));
        c = t[7][ab[0]] ^ t[6][ab[1]] ^ t[5][ab[2]] ^ t[4][ab[3]] ^ t[3][ab[4]] ^ t[2][ab[5]] ^ t[1][ab[6]] ^
            t[0][ab[7]];
        pby += 8;
        nTaille -= 8;
    }
    for (size_t i = 0; i < nTaille; ++i) c = t[0][(c ^ pby[i]) & 0xFFu] ^ (c >> 8);
    m_wValeur = static_cast<uint16_t>(c);
}
