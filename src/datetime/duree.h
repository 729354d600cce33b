// Durations: the signed 64-bit count of milliseconds of core/timevalue.h,
// with its display masks. The storage texts ("JHHMMSSLLL" and the
// hundredths form) are the value's.
#pragma once
#include <cstdint>

#include "core/timevalue.h"

class CZNDSTRBase;

class CDureeBase : public CValeurDuree {};

// The language's duration type: the same eight bytes.
class CDuree : public CDureeBase {};

static_assert(sizeof(CDureeBase) == 8, "duration value");
static_assert(sizeof(CDuree) == 8, "duration value");

// Duration written through a display mask (day letter, "HH", "MM", "SS",
// "LLL"/"LL"/"L", "+" for the sign); the letters are the interface
// language's.
int nDureeVersChaine(const CDureeBase& clDuree, CZNDSTRBase& clResultat, const char* pszMasque);
// Duration read back through a display mask. 0, or 112 when the value does
// not fit in 64-bit milliseconds (the duration is then unchanged).
int nChaineVersDuree(CDureeBase& clDuree, const char* pszTexte, const char* pszMasque);
