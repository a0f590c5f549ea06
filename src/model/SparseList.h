#pragma once

#include <cassert>

namespace quorvel {

/// Intrusive doubly linked list of items sorted by index, with a cached current item so that
/// sequential lookups (row after row, cell after cell) cost constant time. Item must expose
/// `int index_`, `Item* prev_`, `Item* next_`. The list does not own its items.
template <class Item>
class SparseList {
public:
    Item* First() const { return first_; }
    Item* Last() const { return last_; }
    Item* Current() const { return current_; }
    bool IsEmpty() const { return first_ == nullptr; }
    /// Last index + 1; 0 when empty.
    int Count() const { return last_ ? last_->index_ + 1 : 0; }

    /// The item at `index` or, when `exact` is false, the first one after it; nullptr if none.
    Item* Find(int index, bool exact = true)
    {
        Item* item = FindNearest(index);
        if (item == nullptr)
            return nullptr;
        if (exact && item->index_ != index)
            return nullptr;
        current_ = item;
        return item;
    }

    /// Links `item` (with its index set) into place; the index must be free.
    void Insert(Item* item)
    {
        const int index = item->index_;
        Item* next = FindNearest(index);
        assert(next == nullptr || next->index_ != index);
        if (next == nullptr) {
            item->prev_ = last_;
            item->next_ = nullptr;
            if (last_)
                last_->next_ = item;
            else
                first_ = item;
            last_ = item;
        } else {
            item->next_ = next;
            item->prev_ = next->prev_;
            if (next->prev_)
                next->prev_->next_ = item;
            else
                first_ = item;
            next->prev_ = item;
        }
        current_ = item;
    }

    void Remove(Item* item)
    {
        if (item->prev_)
            item->prev_->next_ = item->next_;
        else
            first_ = item->next_;
        if (item->next_)
            item->next_->prev_ = item->prev_;
        else
            last_ = item->prev_;
        if (current_ == item)
            current_ = item->next_ ? item->next_ : item->prev_;
        item->prev_ = item->next_ = nullptr;
    }

    /// Forgets every item without touching them (their owner frees them).
    void Reset() { first_ = last_ = current_ = nullptr; }

private:
    // The first item whose index is not below `index`, searched from the nearer end of the window
    // that the current item splits off.
    Item* FindNearest(int index) const
    {
        if (first_ == nullptr || index < first_->index_ || index > last_->index_)
            return index < (first_ ? first_->index_ : 0) ? first_ : nullptr;
        Item* start = first_;
        Item* finish = last_;
        if (current_) {
            if (index >= current_->index_)
                start = current_;
            else
                finish = current_;
        }
        Item* item;
        if (index - start->index_ > finish->index_ - index) {
            item = finish;
            while (item->prev_ && item->index_ > index)
                item = item->prev_;
        } else {
            item = start;
        }
        while (item && item->index_ < index)
            item = item->next_;
        return item;
    }

    Item* first_ = nullptr;
    Item* last_ = nullptr;
    mutable Item* current_ = nullptr;
};

} // namespace quorvel
