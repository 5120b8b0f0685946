#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace endomira {

// Working storage that one analysis needs and the next one can reuse. Pages touched for the
// first time cost far more on these machines than the arithmetic done on them, and the C
// library hands large blocks back to the system when they are freed, so blocks are recycled
// per thread instead: Acquire returns a released block when there is one (its contents are
// whatever the last user left), else a new one.
template <class T, std::size_t Keep = 2> class TScratchPool {
public:
    static T* Acquire() {
        auto& free = FreeList();
        if (!free.empty()) {
            T* block = free.back().release();
            free.pop_back();
            return block;
        }
        return new T;
    }

    static void Release(T* block) {
        if (block == nullptr) {
            return;
        }
        auto& free = FreeList();
        if (free.size() < Keep) {
            free.emplace_back(block);
        } else {
            delete block;
        }
    }

    // Frees every kept block of this thread.
    static void Trim() { FreeList().clear(); }

private:
    static std::vector<std::unique_ptr<T>>& FreeList() {
        thread_local std::vector<std::unique_ptr<T>> list;
        return list;
    }
};

// Free the blocks that detection and tessellation keep for reuse on the calling thread.
void ReleaseDetectionScratch();
void ReleaseTessellationScratch();
inline void ReleaseAnalysisScratch() {
    ReleaseDetectionScratch();
    ReleaseTessellationScratch();
}

} // namespace endomira
