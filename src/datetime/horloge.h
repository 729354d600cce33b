// The machine clock as the date and time functions see it: reading the
// current local date and time, and setting them (what DateSys and HeureSys
// with an argument do).
//
// Both go through replaceable function pointers so that tests neither
// depend on the real clock nor change it.
#pragma once
#include <cstdint>

class CXError;

// An instant: seconds since 1 January 1970 UTC and the milliseconds of
// that second.
struct STInstant {
    int64_t llSecondes;
    int32_t nMillisecondes;
};

// Reads the current instant.
using PFN_LitHorloge = STInstant (*)();
// Sets the clock to the start of that second: 0, or an errno value.
using PFN_RegleHorloge = int (*)(int64_t llSecondes);

// Installs a reader or a setter and returns the previous one; null puts
// back the machine's own.
PFN_LitHorloge FN_pfnSetLitHorloge(PFN_LitHorloge pfn);
PFN_RegleHorloge FN_pfnSetRegleHorloge(PFN_RegleHorloge pfn);

// The machine's own: the real-time clock, and settimeofday, attempted only
// when the process holds the right to set the clock (EPERM otherwise).
STInstant FN_LitHorlogeSysteme();
int FN_nRegleHorlogeSysteme(int64_t llSecondes);

// The current local date and time (hundredths = milliseconds / 10). The
// local zone is the C library's (TZ).
void GetDate(uint16_t& nJour, uint16_t& nMois, uint16_t& nAnnee);
void GetTime(uint16_t& nHeures, uint16_t& nMinutes, uint16_t& nSecondes, uint16_t& nCentiemes);

// Set the local clock, keeping the fields not given: the current local time
// with these fields replaced, read back as local time (the daylight-saving
// rule chosen by the system) and set at that second. The hundredths are not
// applied. On failure the error object, when given, takes the user error
// (80014 without the right to set the clock, 80153 otherwise) and the
// system error.
bool bSetDate(uint16_t nJour, uint16_t nMois, uint16_t nAnnee, CXError* pclErreur);
bool bSetTime(uint16_t nHeures, uint16_t nMinutes, uint16_t nSecondes, uint16_t nCentiemes, CXError* pclErreur);
