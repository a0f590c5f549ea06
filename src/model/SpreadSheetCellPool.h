#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace quorvel {

/// Fixed-size block allocator for the cells of one sheet: no per-cell heap header, and freeing a
/// sheet releases its blocks at once.
class SpreadSheetCellPool {
public:
    explicit SpreadSheetCellPool(std::size_t objectSize);
    ~SpreadSheetCellPool();
    SpreadSheetCellPool(const SpreadSheetCellPool&) = delete;
    SpreadSheetCellPool& operator=(const SpreadSheetCellPool&) = delete;

    void* Allocate();
    void Free(void* p);
    std::size_t ObjectSize() const { return objectSize_; }
    std::size_t AllocatedBytes() const { return blocks_.size() * kBlockObjects * objectSize_; }

private:
    static constexpr std::size_t kBlockObjects = 4096;
    struct FreeNode {
        FreeNode* next;
    };
    std::size_t objectSize_;
    std::vector<std::unique_ptr<std::byte[]>> blocks_;
    std::size_t usedInLastBlock_ = kBlockObjects;
    FreeNode* free_ = nullptr;
};

} // namespace quorvel
