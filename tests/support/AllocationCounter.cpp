#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Every replaceable form is defined here, releases included: a program
// that replaced only some would hand memory from this malloc to the
// standard library's (or AddressSanitizer's) delete, which the sanitizer
// reports as a mismatch.

namespace {

std::atomic<long> gAllocations(0);
// Allocations still allowed before they fail; negative: no limit.
std::atomic<long> gAllowed(-1);

bool MayAllocate() noexcept
{
    long allowed = gAllowed.load();
    while (allowed >= 0) {
        if (allowed == 0) return false;
        if (gAllowed.compare_exchange_weak(allowed, allowed - 1)) return true;
    }
    return true;
}

void* Allocate(std::size_t size) noexcept
{
    ++gAllocations;
    if (!MayAllocate()) return nullptr;
    return std::malloc(size ? size : 1);
}

void* AllocateOrThrow(std::size_t size)
{
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}

// aligned_alloc wants a size that is a multiple of the alignment.
void* AllocateAligned(std::size_t size, std::align_val_t alignment) noexcept
{
    ++gAllocations;
    if (!MayAllocate()) return nullptr;
    const std::size_t align = static_cast<std::size_t>(alignment);
    const std::size_t rounded = (size + align - 1) / align * align;
    return std::aligned_alloc(align, rounded ? rounded : align);
}

void* AllocateAlignedOrThrow(std::size_t size, std::align_val_t alignment)
{
    if (void* p = AllocateAligned(size, alignment)) return p;
    throw std::bad_alloc();
}

}  // namespace

long AllocationCount() { return gAllocations.load(); }

void FailAllocationsAfter(long allowed) { gAllowed.store(allowed < 0 ? 0 : allowed); }

void AllowAllAllocations() { gAllowed.store(-1); }

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) { return AllocateAlignedOrThrow(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return AllocateAlignedOrThrow(size, alignment); }
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return AllocateAligned(size, alignment);
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
