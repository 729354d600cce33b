// Allocation failures on demand: while a CRefusAllocations lives, any single
// allocation through operator new of at least the given size throws
// std::bad_alloc, as it would when memory runs out. The program's operator
// new and delete are replaced (refus_allocation.cpp) for that.
#pragma once
#include <cstddef>

class CRefusAllocations {
public:
    explicit CRefusAllocations(size_t nSeuil);
    ~CRefusAllocations();
    CRefusAllocations(const CRefusAllocations&) = delete;
    CRefusAllocations& operator=(const CRefusAllocations&) = delete;
};
