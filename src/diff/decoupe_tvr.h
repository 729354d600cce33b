// The project-file mode of the diff: the target, a host element file, is
// cut along its structure (the general header, each version header, each
// part, whatever lies between), and each region is matched against the
// corresponding region of the source element file: the same header, the
// version of the same number (or the newest), the part of the same index
// and type (or the first of that type). Regions that have no counterpart,
// and what lies between the structures, are matched against the whole
// source. Neighbouring regions whose source regions are neighbours too
// make one section, so that unchanged versions cost one copy.
//
// Parts that both files store as coded elements of the general compressor
// (one compressor block exactly filling the part) are compared on their
// contents; the computation checks that the target's element can be coded
// back byte for byte, and compares the bytes as they stand otherwise.
#pragma once
#include <cstdint>
#include <vector>

#include "diff/xdelta.h"

// False when either buffer is not an element file that can be read whole:
// the caller then diffs the buffers as a single section.
bool DIFF_bDecoupeFichierProjet(const uint8_t* pbySource, uint32_t dwSource, const uint8_t* pbyCible, uint32_t dwCible,
                                std::vector<STPlanSection>& tabPlan);
