// A warm allocator for every pair: blocks up to 32 MiB come from the heap instead of fresh
// mappings, and freed memory stays with the process. Without this, whether a growth step of
// the append pairs pays a page fault per 4 KiB depends on what ran before it in the process
// (glibc raises its mapping threshold only after freeing a mapped block), which made the same
// pair vary by 100x between runs. Ours and the peers see the same allocator.
#include <malloc.h>

namespace {

const bool kWarmAllocator = [] {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    return true;
}();

}  // namespace
