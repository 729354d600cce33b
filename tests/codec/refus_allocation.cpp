// The replaced operator new and delete behind CRefusAllocations. They are
// exported, so that every allocation of the program, the C++ library's
// included, goes through the same malloc-based pair. Kept in a file of their
// own so that no caller sees both sides inlined.
#include "refus_allocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// 0: nothing is refused.
std::atomic<size_t> g_nSeuil{0};

}  // namespace

CRefusAllocations::CRefusAllocations(size_t nSeuil) { g_nSeuil = nSeuil; }

CRefusAllocations::~CRefusAllocations() { g_nSeuil = 0; }

__attribute__((visibility("default"))) void* operator new(size_t n) {
    size_t nSeuil = g_nSeuil.load();
    if (nSeuil != 0 && n >= nSeuil) throw std::bad_alloc();
    void* p = std::malloc(n != 0 ? n : 1);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

__attribute__((visibility("default"))) void operator delete(void* p) noexcept { std::free(p); }

__attribute__((visibility("default"))) void operator delete(void* p, size_t) noexcept { std::free(p); }
