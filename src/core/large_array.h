#pragma once
// Memory for arrays of hundreds of megabytes that are read across as well as along, such as a packed
// triangle whose columns are walked one cell per row: it comes in large pages where the system offers
// them, so that a walk across does not need a new address translation at every step. Small arrays come
// from the ordinary allocator.

#include <cstddef>
#include <new>
#include <utility>

namespace tav {

void* allocateLarge(std::size_t bytes);
void freeLarge(void* p, std::size_t bytes);

template <class T>
struct LargeArrayAllocator {
    using value_type = T;
    LargeArrayAllocator() = default;
    template <class U>
    LargeArrayAllocator(const LargeArrayAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(allocateLarge(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) { freeLarge(p, n * sizeof(T)); }
    // Elements made without a value are left as the memory holds them (no pass of zeros); the owner
    // fills them.
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <class U>
    bool operator==(const LargeArrayAllocator<U>&) const {
        return true;
    }
};

}  // namespace tav
