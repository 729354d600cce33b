// Runs of values written into or read from a CQVBuffer with the buffer's
// checks made once for the run instead of once a value: the coded state,
// the pack method and the room are settled when the run starts, and each
// value then costs one comparison with the run's end, held in the run
// object rather than in the buffer (which every copy into the buffer's
// bytes would oblige the compiler to read again). The buffer's position
// and used size follow when the run object goes.
//
// The values are laid out as the buffer's own << and >> lay them out:
// raw, little-endian, long on 32 bits, texts with their NUL.
#pragma once
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "codec/buffer.h"

// Writes at the buffer's position into room made for dwTaille bytes. A
// value that would pass the room is not written, nor any after it, and
// makes bOk() false; so does a buffer that cannot be uncoded or grown
// (nothing is written then).
class CQVBufferEcriture {
public:
    CQVBufferEcriture(CQVBuffer& cl, uint32_t dwTaille) : m_cl(cl) {
        // The common case, plain content with the room already there, costs
        // no call.
        const uint64_t qwFin = static_cast<uint64_t>(cl.m_dwPosition) + dwTaille;
        if (cl.m_bCode == 0 && cl.m_pbyDonnees != nullptr && qwFin <= cl.m_dwTailleAllouee) {
            m_p = cl.m_pbyDonnees + cl.m_dwPosition;
            m_pFin = m_p + dwTaille;
            m_bOk = true;
        } else {
            _Prepare(dwTaille);
        }
    }
    ~CQVBufferEcriture() {
        if (m_pFin == nullptr) return;
        const auto dwPosition = static_cast<uint32_t>(m_p - m_cl.m_pbyDonnees);
        m_cl.m_dwPosition = dwPosition;
        if (dwPosition > m_cl.m_dwTaille) {
            if (m_cl.m_ePackMethod == BUFFER_PACK_AUCUN)
                m_cl.m_dwTaille = dwPosition;
            else
                m_cl._SetTailleUtilisee(dwPosition);
        }
    }
    CQVBufferEcriture(const CQVBufferEcriture&) = delete;
    CQVBufferEcriture& operator=(const CQVBufferEcriture&) = delete;

    bool bOk() const { return m_bOk; }

    template <class T>
        requires std::is_arithmetic_v<T>
    CQVBufferEcriture& operator<<(T v) {
        if constexpr (std::is_same_v<T, long>) {
            return *this << static_cast<int32_t>(v);
        } else if constexpr (std::is_same_v<T, unsigned long>) {
            return *this << static_cast<uint32_t>(v);
        } else {
            if (static_cast<size_t>(m_pFin - m_p) < sizeof v) {
                _Echec();
            } else {
                std::memcpy(m_p, &v, sizeof v);
                m_p += sizeof v;
            }
            return *this;
        }
    }
    // A null text writes an empty one (its NUL alone).
    CQVBufferEcriture& operator<<(const char* pszTexte) {
        if (pszTexte == nullptr) pszTexte = "";
        const size_t n = std::strlen(pszTexte) + 1;
        if (static_cast<size_t>(m_pFin - m_p) < n) {
            _Echec();
        } else {
            std::memcpy(m_p, pszTexte, n);
            m_p += n;
        }
        return *this;
    }
    CQVBufferEcriture& operator<<(const CTString& clTexte) { return *this << clTexte.pszGet(); }

private:
    void _Prepare(uint32_t dwTaille);
    // Nothing more is written once a value did not fit: the room closes.
    void _Echec() {
        m_bOk = false;
        m_pFin = m_p;
    }

    CQVBuffer& m_cl;
    uint8_t* m_p = nullptr;
    uint8_t* m_pFin = nullptr;
    bool m_bOk = false;
};

// Reads from the buffer's position up to its used size; the content is
// uncoded when the run starts. A value that is not all there is not read,
// nor any after it; the run stays where it stood, bOk() turns false and
// the buffer's read-failure flag is raised when the run ends.
class CQVBufferLecture {
public:
    explicit CQVBufferLecture(CQVBuffer& cl) : m_cl(cl) {
        if (cl.m_bCode != 0 && !cl.__UncodeBuffer()) {
            m_bOk = false;
            return;
        }
        if (cl.m_pbyDonnees == nullptr || cl.m_dwPosition > cl.m_dwTaille) return;
        m_p = cl.m_pbyDonnees + cl.m_dwPosition;
        m_pFin = cl.m_pbyDonnees + cl.m_dwTaille;
    }
    ~CQVBufferLecture() {
        if (m_p != nullptr) m_cl.m_dwPosition = static_cast<uint32_t>(m_p - m_cl.m_pbyDonnees);
        if (!m_bOk) m_cl.m_bEchecLecture = true;
    }
    CQVBufferLecture(const CQVBufferLecture&) = delete;
    CQVBufferLecture& operator=(const CQVBufferLecture&) = delete;

    bool bOk() const { return m_bOk; }

    template <class T>
        requires std::is_arithmetic_v<T>
    CQVBufferLecture& operator>>(T& v) {
        if constexpr (std::is_same_v<T, long> || std::is_same_v<T, unsigned long>) {
            std::conditional_t<std::is_same_v<T, long>, int32_t, uint32_t> n{};
            if (_bPrend(&n, sizeof n)) v = n;
        } else {
            _bPrend(&v, sizeof v);
        }
        return *this;
    }
    // The NUL-terminated text at the position (a pointer into the buffer),
    // or null when no NUL ends it inside the used size.
    const char* pszTexte() {
        const void* pFin = m_p != m_pFin ? std::memchr(m_p, 0, static_cast<size_t>(m_pFin - m_p)) : nullptr;
        if (pFin == nullptr) {
            _Echec();
            return nullptr;
        }
        const auto* psz = reinterpret_cast<const char*>(m_p);
        m_p = static_cast<const uint8_t*>(pFin) + 1;
        return psz;
    }

private:
    bool _bPrend(void* p, size_t n) {
        if (static_cast<size_t>(m_pFin - m_p) < n) {
            _Echec();
            return false;
        }
        std::memcpy(p, m_p, n);
        m_p += n;
        return true;
    }

    // Nothing more is read once a value was not all there.
    void _Echec() {
        m_bOk = false;
        m_pFin = m_p;
    }

    CQVBuffer& m_cl;
    const uint8_t* m_p = nullptr;
    const uint8_t* m_pFin = nullptr;
    bool m_bOk = true;
};
