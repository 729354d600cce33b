// Time-based unique identifiers (version 1 in the usual numbering): a count
// of 100-nanosecond intervals since 15 October 1582, a clock sequence and a
// node value. The node and the clock sequence are drawn from the system's
// random source once per process (again in a child after fork), so that
// processes started at the same instant do not share them and the
// program's own random sequence is left alone.
#pragma once
#include <sys/time.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>

// 16 bytes; the integers little-endian.
struct _GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
static_assert(sizeof(_GUID) == 16, "identifier record");

class CGenerateurGUID {
public:
    using PFN_Heure = void (*)(timeval* pstHeure);
    using PFN_Alea = void (*)(void* p, size_t nTaille);   // fills with random bytes

    // The system clock and random source unless others are given (tests).
    explicit CGenerateurGUID(PFN_Heure pfnHeure = nullptr, PFN_Alea pfnAlea = nullptr);
    void Cree(_GUID* pstGuid);

    // Identifiers read within one microsecond are told apart by a count
    // added to the timestamp; it stays below 10 so that it never reaches
    // the next microsecond's first value.
    static constexpr int AJUSTEMENT_MAX = 9;

private:
    void _Init();
    timeval _stHeure() const;

    PFN_Heure m_pfnHeure;
    PFN_Alea m_pfnAlea;
    pid_t m_nPid = 0;   // 0 until the first identifier
    uint8_t m_abyNoeud[6] = {};
    uint16_t m_wSequence = 0;   // 13 bits
    timeval m_stDernier = {};
    int m_nAjustement = 0;
};

// The process-wide generator (locked).
void UuidCreate(_GUID* pstGuid);

// Fills with bytes of the system's random source.
void GUID_Alea(void* p, size_t nTaille);

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" with bAccolades, else the 32
// digits alone; pszTexte holds at least GUID_TAILLE_TEXTE bytes.
constexpr size_t GUID_TAILLE_TEXTE = 39;
void GUID_Formate(const _GUID& stGuid, bool bAccolades, char* pszTexte);
