// Asks the system to back a big block that is about to be filled with large pages. Where first
// touching fresh memory is costly (virtual machines), a block of tens of MB then fills several
// times faster. A hint only: elsewhere, and for blocks under one large page, it does nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace kv58 {

constexpr std::size_t kLargePageSize = std::size_t(1) << 21;

inline void preferLargePages(void* data, std::size_t size)
{
#ifdef __linux__
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (start + kLargePageSize - 1) & ~std::uintptr_t(kLargePageSize - 1);
    const std::uintptr_t end = (start + size) & ~std::uintptr_t(kLargePageSize - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

} // namespace kv58
