// The identifier generator: its state, its random source and the text form
// of an identifier.
#include "misc/guid.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>

namespace {

// 100-nanosecond intervals from 15 October 1582 to 1 January 1970.
constexpr uint64_t DEBUT_1582 = 0x01B21DD213814000ULL;

void _HeureSysteme(timeval* pst) { gettimeofday(pst, nullptr); }

bool bAvant(const timeval& a, const timeval& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec < b.tv_sec : a.tv_usec < b.tv_usec;
}

// Last resort when neither getrandom nor /dev/urandom answers: bits of the
// clock, the process and the stack, stirred.
void _AleaDeSecours(uint8_t* p, size_t n) {
    timespec st{};
    clock_gettime(CLOCK_MONOTONIC, &st);
    uint64_t x = uint64_t(st.tv_sec) * 1000000000u + uint64_t(st.tv_nsec);
    x ^= uint64_t(getpid()) << 32 ^ uint64_t(reinterpret_cast<uintptr_t>(&st));
    for (size_t i = 0; i < n; ++i) {
        x += 0x9E3779B97F4A7C15ULL;
        uint64_t z = x;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        p[i] = static_cast<uint8_t>(z ^ (z >> 31));
    }
}

}  // namespace

void GUID_Alea(void* p, size_t nTaille) {
    auto* pby = static_cast<uint8_t*>(p);
    size_t nLu = 0;
    while (nLu < nTaille) {
        ssize_t n = getrandom(pby + nLu, nTaille - nLu, 0);
        if (n > 0) {
            nLu += size_t(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    if (nLu < nTaille) {
        int h = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
        if (h >= 0) {
            while (nLu < nTaille) {
                ssize_t n = read(h, pby + nLu, nTaille - nLu);
                if (n > 0)
                    nLu += size_t(n);
                else if (n < 0 && errno == EINTR)
                    continue;
                else
                    break;
            }
            close(h);
        }
    }
    if (nLu < nTaille) _AleaDeSecours(pby + nLu, nTaille - nLu);
}

CGenerateurGUID::CGenerateurGUID(PFN_Heure pfnHeure, PFN_Alea pfnAlea)
    : m_pfnHeure(pfnHeure != nullptr ? pfnHeure : _HeureSysteme), m_pfnAlea(pfnAlea != nullptr ? pfnAlea : GUID_Alea) {}

timeval CGenerateurGUID::_stHeure() const {
    timeval st{};
    m_pfnHeure(&st);
    return st;
}

void CGenerateurGUID::_Init() {
    uint8_t aby[8];
    m_pfnAlea(aby, sizeof aby);
    // The established form of these nodes: the first byte has its high bit set.
    m_abyNoeud[0] = static_cast<uint8_t>((aby[0] & 0x7F) | 0x80);
    memcpy(m_abyNoeud + 1, aby + 1, 5);
    m_wSequence = static_cast<uint16_t>(((aby[6] << 8) | aby[7]) & 0x1FFF);
    m_stDernier = _stHeure();
    m_stDernier.tv_sec -= 1;
    m_nAjustement = 0;
    m_nPid = getpid();
}

void CGenerateurGUID::Cree(_GUID* pstGuid) {
    // A child of fork draws its own node: the parent's would make both
    // hand out the same identifiers.
    if (m_nPid == 0 || m_nPid != getpid()) _Init();
    timeval stHeure;
    for (;;) {
        stHeure = _stHeure();
        if (bAvant(stHeure, m_stDernier)) {
            // The clock went back: a new sequence keeps earlier values apart.
            m_wSequence = static_cast<uint16_t>((m_wSequence + 1) & 0x1FFF);
            m_nAjustement = 0;
            break;
        }
        if (bAvant(m_stDernier, stHeure)) {
            m_nAjustement = 0;
            break;
        }
        if (m_nAjustement < AJUSTEMENT_MAX) {
            ++m_nAjustement;
            break;
        }
        // Every value of this microsecond is taken: wait for the next one.
    }
    const uint64_t t = uint64_t(stHeure.tv_sec) * 10000000u + uint64_t(stHeure.tv_usec) * 10u +
                       uint64_t(m_nAjustement) + DEBUT_1582;
    m_stDernier = stHeure;

    uint8_t aby[16];
    aby[0] = uint8_t(t >> 24);
    aby[1] = uint8_t(t >> 16);
    aby[2] = uint8_t(t >> 8);
    aby[3] = uint8_t(t);
    aby[4] = uint8_t(t >> 40);
    aby[5] = uint8_t(t >> 32);
    aby[6] = 0x11;
    aby[7] = uint8_t(t >> 48);
    aby[8] = uint8_t((m_wSequence >> 8) | 0x80);
    aby[9] = uint8_t(m_wSequence);
    memcpy(aby + 10, m_abyNoeud, 6);
    pstGuid->Data1 = uint32_t(aby[0]) | uint32_t(aby[1]) << 8 | uint32_t(aby[2]) << 16 | uint32_t(aby[3]) << 24;
    pstGuid->Data2 = static_cast<uint16_t>(aby[4] | aby[5] << 8);
    pstGuid->Data3 = static_cast<uint16_t>(aby[6] | aby[7] << 8);
    memcpy(pstGuid->Data4, aby + 8, 8);
}

void UuidCreate(_GUID* pstGuid) {
    static std::mutex s_clVerrou;
    static CGenerateurGUID s_clGenerateur;
    std::lock_guard<std::mutex> cl(s_clVerrou);
    s_clGenerateur.Cree(pstGuid);
}

void GUID_Formate(const _GUID& st, bool bAccolades, char* pszTexte) {
    const char* pszFormat = bAccolades ? "{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}"
                                       : "%08x%04x%04x%02x%02x%02x%02x%02x%02x%02x%02x";
    snprintf(pszTexte, GUID_TAILLE_TEXTE, pszFormat, unsigned(st.Data1), unsigned(st.Data2), unsigned(st.Data3),
             unsigned(st.Data4[0]), unsigned(st.Data4[1]), unsigned(st.Data4[2]), unsigned(st.Data4[3]),
             unsigned(st.Data4[4]), unsigned(st.Data4[5]), unsigned(st.Data4[6]), unsigned(st.Data4[7]));
}
