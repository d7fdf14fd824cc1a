#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "engine/core/Result.h"

namespace zav {

// Growable array with an explicit capacity and growth step: when full, the
// capacity grows by `growthStep` (at least by one). The storage underneath
// grows geometrically, so long runs of appends stay linear. Append reports
// running out of memory instead of throwing.
template <class T>
class Array {
public:
    explicit Array(int32_t capacity = 1, int32_t growthStep = 1)
        : capacity_(capacity > 0 ? capacity : 0), growthStep_(growthStep > 0 ? growthStep : 1) {
        items_.reserve(static_cast<size_t>(capacity_));
    }

    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    int32_t Capacity() const { return capacity_; }
    int32_t GrowthStep() const { return growthStep_; }
    bool IsEmpty() const { return items_.empty(); }

    T& operator[](int32_t index) { return items_[static_cast<size_t>(index)]; }
    const T& operator[](int32_t index) const { return items_[static_cast<size_t>(index)]; }
    T* begin() { return items_.data(); }
    T* end() { return items_.data() + items_.size(); }
    const T* begin() const { return items_.data(); }
    const T* end() const { return items_.data() + items_.size(); }

    int Append(T item) { return InsertAt(Count(), std::move(item)); }

    // Inserts `item` before the entry at `index` (0..Count()); later entries
    // move up one place. A full array grows by its growth step.
    int InsertAt(int32_t index, T item) {
        if (index < 0 || index > Count()) return kFailed;
        int32_t capacity = capacity_;
        if (Count() == capacity) {
            int64_t grown = static_cast<int64_t>(capacity) + growthStep_;
            if (grown > INT32_MAX) return kOutOfMemory;
            capacity = static_cast<int32_t>(grown);
        }
        try {
            items_.insert(items_.begin() + index, std::move(item));
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
        capacity_ = capacity;
        return kOk;
    }

    // Removes the entry at `index`; later entries move down one place.
    void RemoveAt(int32_t index) { items_.erase(items_.begin() + index); }
    void Clear() { items_.clear(); }

    int32_t IndexOf(const T& item) const {
        for (int32_t i = 0; i < Count(); ++i)
            if (items_[static_cast<size_t>(i)] == item) return i;
        return -1;
    }

private:
    std::vector<T> items_;
    int32_t capacity_;
    int32_t growthStep_;
};

}  // namespace zav
