// The component's checksums, in one place for every user: the published
// CRC-32 (reflected, polynomial 0x04C11DB7) with its continuation, Adler-32
// and its combination, the CCITT CRC-16 of sCalculeCrc16, and a configurable
// MSB-first CRC-32.
//
// CRC-32 and Adler-32 run over whole buffers of diffs and files, so both
// take eight bytes at a time (CRC-32 by slicing over eight tables, Adler-32
// with its modulo deferred as long as the sums cannot overflow). The tables
// of the default polynomials are built at compile time and never change: an
// object with another polynomial builds tables of its own.
#pragma once
#include <cstddef>
#include <cstdint>

// Reflected CRC-32: initial value all ones, final complement. With the
// default polynomial it is the published CRC-32.
class CCrc2 {
public:
    static constexpr uint32_t POLYNOME_DEFAUT = 0x04C11DB7u;

    CCrc2() = default;
    explicit CCrc2(uint32_t dwPolynome) { SetPolynome(dwPolynome); }
    CCrc2(const CCrc2& clAutre);
    CCrc2& operator=(const CCrc2& clAutre);
    ~CCrc2();

    // The published CRC-32 of the bytes, continuing dwPrecedent (0 to
    // start): the CRC of A then B is nCalculeCRC32(B, nCalculeCRC32(A)).
    static uint32_t nCalculeCRC32(const void* pDonnees, size_t nTaille, uint32_t dwPrecedent = 0);

    // This object's polynomial, given in its usual MSB-first form. Only this
    // object's tables change: other users of CRC-32 keep the published one.
    void SetPolynome(uint32_t dwPolynome);
    uint32_t dwGetPolynome() const { return m_dwPolynome; }
    // The CRC of this object's polynomial, continuing dwPrecedent.
    uint32_t nCalcule(const void* pDonnees, size_t nTaille, uint32_t dwPrecedent = 0) const;

private:
    uint32_t m_dwPolynome = POLYNOME_DEFAUT;
    uint32_t (*m_padwTables)[256] = nullptr;   // 8 tables, null for the default polynomial
};

// Adler-32 of RFC 1950 continued from dwCourant (the published start is 1;
// the diff's block keys start from 0).
uint32_t nAdler32(uint32_t dwCourant, const void* pDonnees, size_t nTaille);
// The Adler-32 of A followed by B from those of A and B (both started from
// 1) and the length of B; 0xFFFFFFFF for a negative length.
uint32_t nAdler32Combine(uint32_t dwPremier, uint32_t dwSecond, int64_t llTailleSecond);

// CCITT CRC-16 (polynomial 0x1021, MSB first) with the byte folded into the
// low end: c = (c << 8) ^ table[c >> 8] ^ b, starting from 0, no final XOR.
// "123456789" gives 0xBEEF.
class CCrc16 {
public:
    void Reinit() { m_wValeur = 0; }
    void AddBuffer(const void* pDonnees, size_t nTaille);
    uint16_t wGetCRC() const { return m_wValeur; }
    static uint16_t s_wCalculeCRC(const void* pDonnees, size_t nTaille);

private:
    uint16_t m_wValeur = 0;
};

// MSB-first CRC-32 of any polynomial: c = (c << 8) ^ table[(c >> 24) ^ b],
// starting from 0, no final XOR.
class CCrc {
public:
    class Table {
    public:
        // Rebuilt only when the polynomial changes.
        void Init(uint32_t dwPolynome);
        uint32_t operator[](uint8_t by) const { return m_adw[by]; }
        uint32_t dwGetPolynome() const { return m_dwPolynome; }

    private:
        uint32_t m_adw[256] = {};
        uint32_t m_dwPolynome = 0;
        bool m_bConstruite = false;
    };

    explicit CCrc(uint32_t dwPolynome = 0x04C11DB7u) { m_clTable.Init(dwPolynome); }
    void SetPolynome(uint32_t dwPolynome) { m_clTable.Init(dwPolynome); }
    // Starts from 0.
    uint32_t CalculeCRC(const void* pDonnees, size_t nTaille);
    // Continues the running value.
    uint32_t AddBuffer(const void* pDonnees, size_t nTaille);
    uint32_t dwGetCRC() const { return m_dwValeur; }

private:
    Table m_clTable;
    uint32_t m_dwValeur = 0;
};
