// The call record the host fills for each language call, and the shape of
// an entry point.
#pragma once
#include <cstdint>

class IZNHost;
class IZNLibrary;

struct STZNAppel {
    IZNHost* pclHote;          // the host's service object
    uint32_t nComposanteFwd;   // forward component number
    uint32_t nFonctionFwd;     // forward function number, or variable identifier
    void* pValeur;             // value written, on a variable-write notice
    uint32_t dwFrame;          // low 16 bits: number of arguments passed
};

// ZNL_<Name>_<n>(call record, library object, argument pointers)
typedef int (*PFN_ZNL)(STZNAppel* pstAppel, IZNLibrary* pclLib, void** ppArgs);

#if defined(__i386__)
static_assert(sizeof(STZNAppel) == 20, "call record is five words");
#endif
