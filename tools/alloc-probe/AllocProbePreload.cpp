// libtarvo-alloc-probe.so: preloaded into tarvo-host (LD_PRELOAD) so that
// "tarvo-host validate" can count the allocations a plug-in makes in its
// processing calls. Every allocating entry of the C library is replaced by
// one that forwards to glibc's own and, while the calling thread watches,
// counts. operator new reaches malloc, so C++ allocations count too.
#include <cstddef>
#include <cstdint>
#include <cerrno>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);
}

namespace {
// Initial-exec TLS: reading it never allocates, even on a thread's first call.
__thread int tWatching __attribute__((tls_model("initial-exec"))) = 0;
long long gCount = 0;

inline void Count()
{
    if (tWatching) __atomic_add_fetch(&gCount, 1, __ATOMIC_RELAXED);
}

bool PowerOfTwo(size_t value) { return value && !(value & (value - 1)); }
}  // namespace

extern "C" {

__attribute__((visibility("default"))) void tarvo_alloc_probe_watch(int on) { tWatching = on; }

__attribute__((visibility("default"))) long long tarvo_alloc_probe_count()
{
    return __atomic_load_n(&gCount, __ATOMIC_RELAXED);
}

__attribute__((visibility("default"))) void* malloc(size_t size)
{
    Count();
    return __libc_malloc(size);
}

__attribute__((visibility("default"))) void* calloc(size_t count, size_t size)
{
    Count();
    return __libc_calloc(count, size);
}

__attribute__((visibility("default"))) void* realloc(void* pointer, size_t size)
{
    Count();
    return __libc_realloc(pointer, size);
}

__attribute__((visibility("default"))) void free(void* pointer) { __libc_free(pointer); }

__attribute__((visibility("default"))) void* memalign(size_t alignment, size_t size)
{
    Count();
    return __libc_memalign(alignment, size);
}

__attribute__((visibility("default"))) void* aligned_alloc(size_t alignment, size_t size)
{
    Count();
    return __libc_memalign(alignment, size);
}

__attribute__((visibility("default"))) int posix_memalign(void** result, size_t alignment, size_t size)
{
    if (!PowerOfTwo(alignment) || alignment % sizeof(void*) != 0) return EINVAL;
    Count();
    void* pointer = __libc_memalign(alignment, size);
    if (!pointer) return ENOMEM;
    *result = pointer;
    return 0;
}

__attribute__((visibility("default"))) void* valloc(size_t size)
{
    Count();
    return __libc_memalign(4096, size);
}

}  // extern "C"
