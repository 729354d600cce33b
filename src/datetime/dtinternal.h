// Helpers shared by the date-time sources only.
#pragma once
#include <cstdint>

// The decimal field readers (DT_llLitDecimal, DT_nBorne32) are the values'.
#include "core/timevalue.h"

// Date of a day number by walking the years and months from an estimate
// of the year: the rule for every number, including the corrected years up
// to 1582. Fails outside the numbers of years 0 to 10000.
bool DT_bEntierVersDateParcours(int32_t n, int& nJour, int& nMois, int& nAnnee);
