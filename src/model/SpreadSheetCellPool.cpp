#include "model/SpreadSheetCellPool.h"

#include <algorithm>

namespace quorvel {

namespace {
// Cells hold pointers, doubles and 64-bit integers; nothing needs more.
constexpr std::size_t kAlignment = alignof(double) > alignof(void*) ? alignof(double) : alignof(void*);
} // namespace

SpreadSheetCellPool::SpreadSheetCellPool(std::size_t objectSize)
    : objectSize_((std::max(objectSize, sizeof(FreeNode)) + kAlignment - 1)
          / kAlignment * kAlignment)
{
}

SpreadSheetCellPool::~SpreadSheetCellPool() = default;

void* SpreadSheetCellPool::Allocate()
{
    if (free_) {
        FreeNode* node = free_;
        free_ = node->next;
        return node;
    }
    if (usedInLastBlock_ == kBlockObjects) {
        blocks_.push_back(std::make_unique_for_overwrite<std::byte[]>(kBlockObjects * objectSize_));
        usedInLastBlock_ = 0;
    }
    return blocks_.back().get() + objectSize_ * usedInLastBlock_++;
}

void SpreadSheetCellPool::Free(void* p)
{
    auto* node = static_cast<FreeNode*>(p);
    node->next = free_;
    free_ = node;
}

} // namespace quorvel
