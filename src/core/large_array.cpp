#include "core/large_array.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace tav {

namespace {

// Large pages are 2 MB on the machines we run on; an array of a few of them gains nothing.
constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kLargeArray = 8 * kLargePage;

std::size_t roundedUp(std::size_t bytes) {
    return (bytes + kLargePage - 1) / kLargePage * kLargePage;
}

}  // namespace

void* allocateLarge(std::size_t bytes) {
    if (bytes < kLargeArray) return ::operator new(bytes);
    void* p = std::aligned_alloc(kLargePage, roundedUp(bytes));
    if (!p) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    // Only advice: where the system has no large pages to give, the array works in small ones. It must
    // come before the first write, which places the pages.
    madvise(p, roundedUp(bytes), MADV_HUGEPAGE);
#endif
    return p;
}

void freeLarge(void* p, std::size_t bytes) {
    if (bytes < kLargeArray)
        ::operator delete(p);
    else
        std::free(p);
}

}  // namespace tav
