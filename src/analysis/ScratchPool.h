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
        if (Gone() || FreeList().Blocks.empty()) {
            return new T;
        }
        auto& blocks = FreeList().Blocks;
        T* block = blocks.back().release();
        blocks.pop_back();
        return block;
    }

    static void Release(T* block) {
        if (block == nullptr) {
            return;
        }
        // A block released while the thread ends, after its list is gone, is simply freed.
        if (Gone() || FreeList().Blocks.size() >= Keep) {
            delete block;
            return;
        }
        FreeList().Blocks.emplace_back(block);
    }

    // Frees every kept block of this thread.
    static void Trim() {
        if (!Gone()) {
            FreeList().Blocks.clear();
        }
    }

private:
    struct TFreeList {
        std::vector<std::unique_ptr<T>> Blocks;
        ~TFreeList() { Gone() = true; }
    };

    static bool& Gone() {
        thread_local bool gone = false;
        return gone;
    }

    static TFreeList& FreeList() {
        thread_local TFreeList list;
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
