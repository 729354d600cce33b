// Blocks for the codec tests: a sample text and what the coders make of
// it, hand-made blocks with codes packed the way each decoder reads them
// under an 11-byte header, and the streams that expand the most (every code
// names the string its own step defines), whose exact output is known
// without decoding them.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "codec/compress.h"

namespace blocs {

using Octets = std::vector<uint8_t>;

// Deterministic text of n bytes, words of several character classes.
inline Octets Texte(size_t n) {
    static const char* k_tab[] = {"le ", "chat ", "mange ", "la ", "souris, ", "Le CHIEN dort. ", "42 fois! ", "#tag "};
    std::string s;
    uint32_t x = 7;
    while (s.size() < n) {
        x = x * 1103515245u + 12345u;
        s += k_tab[(x >> 16) % 8];
    }
    s.resize(n);
    return Octets(s.begin(), s.end());
}

// The block the front object of type nType makes, in a destination of the
// advertised size (one byte more is there to catch an overrun).
inline Octets Compresse(int nType, Octets ab) {
    CCompresseur cl(nType);
    cl.ChangeSource(ab.data(), static_cast<uint32_t>(ab.size()));
    Octets abSortie(cl.dwTailleMinCompression() + 1);
    cl.ChangeDestination(abSortie.data(), cl.dwTailleMinCompression());
    abSortie.resize(cl.dwCompression());
    return abSortie;
}

// A code and the width it is written with.
struct STCode {
    uint32_t dwCode;
    uint32_t dwLargeur;
};

// The 11-byte header (method, payload length, announced size, 0) before the payload.
inline Octets Entete(uint8_t byMethode, const Octets& abPayload, uint32_t dwAnnonce) {
    Octets ab(11 + abPayload.size(), 0);
    ab[0] = byMethode;
    uint32_t dwPayload = static_cast<uint32_t>(abPayload.size());
    std::memcpy(ab.data() + 1, &dwPayload, 4);
    std::memcpy(ab.data() + 5, &dwAnnonce, 4);
    if (!abPayload.empty()) std::memcpy(ab.data() + 11, abPayload.data(), abPayload.size());
    return ab;
}

// Least-significant bit first (type 4).
inline Octets PackeLSB(const std::vector<STCode>& tabCodes) {
    Octets ab;
    uint64_t qwAccu = 0;
    uint32_t dwBits = 0;
    for (const auto& st : tabCodes) {
        qwAccu |= uint64_t{st.dwCode} << dwBits;
        dwBits += st.dwLargeur;
        for (; dwBits >= 8; dwBits -= 8, qwAccu >>= 8) ab.push_back(static_cast<uint8_t>(qwAccu));
    }
    if (dwBits > 0) ab.push_back(static_cast<uint8_t>(qwAccu));
    return ab;
}

// Most-significant bit first (type 2).
inline Octets PackeMSB(const std::vector<STCode>& tabCodes) {
    Octets ab;
    uint64_t qwAccu = 0;
    uint32_t dwBits = 0;
    for (const auto& st : tabCodes) {
        qwAccu = (qwAccu << st.dwLargeur) | st.dwCode;
        dwBits += st.dwLargeur;
        for (; dwBits >= 8; dwBits -= 8) ab.push_back(static_cast<uint8_t>(qwAccu >> (dwBits - 8)));
        qwAccu &= (uint64_t{1} << dwBits) - 1;
    }
    if (dwBits > 0) ab.push_back(static_cast<uint8_t>(qwAccu << (8 - dwBits)));
    return ab;
}

// Codes all of one width under the header of method 4 (packed least-
// significant bit first) or 2 (most-significant first, escapes written by
// the caller).
inline Octets BlocCodes(uint8_t byMethode, const std::vector<uint32_t>& tabCodes, uint32_t dwLargeur,
                        uint32_t dwAnnonce) {
    std::vector<STCode> tab;
    for (uint32_t c : tabCodes) tab.push_back({c, dwLargeur});
    return Entete(byMethode, byMethode == 4 ? PackeLSB(tab) : PackeMSB(tab), dwAnnonce);
}

inline Octets BlocZLW(const std::vector<uint32_t>& tabCodes, uint32_t dwLargeur, uint32_t dwAnnonce) {
    return BlocCodes(4, tabCodes, dwLargeur, dwAnnonce);
}

inline Octets BlocVieux(const std::vector<uint32_t>& tabCodes, uint32_t dwLargeur, uint32_t dwAnnonce) {
    return BlocCodes(2, tabCodes, dwLargeur, dwAnnonce);
}

// A stream that expands the most, and what it decodes to.
struct STFlux {
    Octets abBloc;
    uint64_t qwSortie = 0;   // bytes it decodes to
    uint32_t dwPayload = 0;
};

// Type 4: 'a', then each code the one its own step defines (1, 2, 3, ...
// bytes of 'a'), widening with the dictionary; once it is full, its longest
// string again and again. Codes are added while a whole code still fits in
// dwPayload bytes; the stream is not ended (the announced size ends it).
inline STFlux FluxMaxZLW(uint32_t dwPayload) {
    STFlux st;
    std::vector<STCode> tab;
    uint64_t qwBits = uint64_t{dwPayload} * 8;
    uint32_t dwProchain = 258, dwLargeur = 9, dwLimite = 512;
    uint64_t qwLongueur = 0;   // of the last string
    for (uint64_t j = 0;; j++) {
        if (qwBits < dwLargeur) break;
        qwBits -= dwLargeur;
        if (j == 0) {
            tab.push_back({'a' + 1u, dwLargeur});
            qwLongueur = 1;
        } else if (dwProchain < 65536) {
            tab.push_back({dwProchain, dwLargeur});
            qwLongueur++;
            dwProchain++;
            if (dwLargeur < 16 && dwProchain >= dwLimite) {
                dwLimite *= 2;
                dwLargeur++;
            }
        } else {
            tab.push_back({65535, dwLargeur});
        }
        st.qwSortie += qwLongueur;
    }
    Octets abPayload = PackeLSB(tab);
    abPayload.resize(dwPayload, 0);
    st.dwPayload = dwPayload;
    st.abBloc = Entete(4, abPayload, static_cast<uint32_t>(std::min<uint64_t>(st.qwSortie, 0xFFFFFFFFu)));
    return st;
}

// Type 2: the same idea under its own rules: code 256 is written escaped
// (256 then 0), the width grows by the control 256 2 when the next code
// needs it, and once the 4096 codes are learned the longest is repeated.
inline STFlux FluxMaxVieux(uint32_t dwPayload) {
    STFlux st;
    std::vector<STCode> tab;
    uint64_t qwBits = uint64_t{dwPayload} * 8;
    uint32_t dwProchain = 256, dwLargeur = 9;
    uint64_t qwLongueur = 0;
    for (uint64_t j = 0;; j++) {
        uint32_t dwCode = j == 0 ? 'a' : std::min<uint32_t>(dwProchain, 4095);
        if (j != 0 && dwCode == (1u << dwLargeur)) {
            if (qwBits < 2u * dwLargeur) break;
            qwBits -= 2u * dwLargeur;
            tab.push_back({256, dwLargeur});
            tab.push_back({2, dwLargeur});
            dwLargeur++;
        }
        uint32_t dwCout = dwCode == 256 ? 2 * dwLargeur : dwLargeur;
        if (qwBits < dwCout) break;
        qwBits -= dwCout;
        tab.push_back({dwCode, dwLargeur});
        if (dwCode == 256) tab.push_back({0, dwLargeur});
        if (j == 0) {
            qwLongueur = 1;
        } else if (dwProchain < 4096) {
            qwLongueur++;
            dwProchain++;
        }
        st.qwSortie += qwLongueur;
    }
    Octets abPayload = PackeMSB(tab);
    abPayload.resize(dwPayload, 0);
    st.dwPayload = dwPayload;
    st.abBloc = Entete(2, abPayload, static_cast<uint32_t>(std::min<uint64_t>(st.qwSortie, 0xFFFFFFFFu)));
    return st;
}

}  // namespace blocs
