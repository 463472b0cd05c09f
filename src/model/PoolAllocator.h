#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace tavlor {

// Allocator of the nodes of the tables' ordered sets. Views empty and refill
// their tables at every change of selection; recycling freed nodes of one size
// through a free list spares the general allocator tens of thousands of small
// allocations per refill. Single-threaded, as every table is. The free list is
// never destroyed, so that sets destroyed late at exit can still return nodes.
template <class T>
class TPoolAllocator {
public:
    using value_type = T;

    TPoolAllocator() noexcept = default;
    template <class U>
    TPoolAllocator(const TPoolAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        std::vector<void*>& free = FreeList();
        if (n == 1 && !free.empty()) {
            void* p = free.back();
            free.pop_back();
            return static_cast<T*>(p);
        }
        return static_cast<T*>(::operator new(n * sizeof(T)));
    }

    void deallocate(T* p, std::size_t n) noexcept {
        if (n == 1) {
            try {
                FreeList().push_back(p);
                return;
            } catch (const std::bad_alloc&) {
                // No room to keep it: give it back.
            }
        }
        ::operator delete(p);
    }

    friend bool operator==(const TPoolAllocator&, const TPoolAllocator&) noexcept { return true; }

private:
    static std::vector<void*>& FreeList() {
        static auto* list = new std::vector<void*>();
        return *list;
    }
};

}  // namespace tavlor
