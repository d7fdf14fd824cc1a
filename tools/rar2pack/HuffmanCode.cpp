#include "tools/rar2pack/HuffmanCode.h"

#include <algorithm>
#include <vector>

namespace zav::rar2 {

namespace {

// Huffman code lengths by the two-queue method over symbols sorted by
// frequency; returns the longest length.
int HuffmanLengths(const std::vector<std::pair<uint32_t, int>>& sorted, uint8_t* lengths) {
    size_t n = sorted.size();
    // Nodes 0..n-1 are leaves, n.. are merged nodes (in creation order,
    // which is also increasing weight).
    std::vector<uint64_t> weight(2 * n);
    std::vector<int> parent(2 * n, -1);
    for (size_t i = 0; i < n; ++i) weight[i] = sorted[i].first;
    size_t leaf = 0, merged = n, next = n;
    auto takeSmallest = [&]() -> size_t {
        if (leaf < n && (merged >= next || weight[leaf] <= weight[merged])) return leaf++;
        return merged++;
    };
    for (size_t k = 0; k + 1 < n; ++k) {
        size_t a = takeSmallest();
        size_t b = takeSmallest();
        weight[next] = weight[a] + weight[b];
        parent[a] = parent[b] = static_cast<int>(next);
        ++next;
    }
    std::vector<int> depth(2 * n, 0);
    int longest = 0;
    for (size_t node = next - 1; node-- > 0;) {
        depth[node] = depth[static_cast<size_t>(parent[node])] + 1;
    }
    for (size_t i = 0; i < n; ++i) {
        lengths[sorted[i].second] = static_cast<uint8_t>(depth[i]);
        longest = std::max(longest, depth[i]);
    }
    return longest;
}

}  // namespace

void BuildCodeLengths(const uint32_t* frequencies, int count, int maxLength, uint8_t* lengths) {
    std::vector<uint32_t> freq(frequencies, frequencies + count);
    int used = 0;
    for (uint32_t f : freq) used += f > 0;
    // A complete code needs two symbols at least.
    for (int i = 0; i < count && used < 2; ++i)
        if (freq[static_cast<size_t>(i)] == 0) {
            freq[static_cast<size_t>(i)] = 1;
            ++used;
        }
    for (;;) {
        std::vector<std::pair<uint32_t, int>> sorted;
        for (int i = 0; i < count; ++i) {
            lengths[i] = 0;
            if (freq[static_cast<size_t>(i)] > 0) sorted.emplace_back(freq[static_cast<size_t>(i)], i);
        }
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        if (HuffmanLengths(sorted, lengths) <= maxLength) return;
        // Too deep: flatten the distribution and try again.
        for (uint32_t& f : freq)
            if (f > 0) f = (f + 1) / 2;
    }
}

void BuildCanonicalCodes(const uint8_t* lengths, int count, uint16_t* codes) {
    uint32_t code = 0;
    for (int length = 1; length <= 15; ++length) {
        for (int i = 0; i < count; ++i)
            if (lengths[i] == length) codes[i] = static_cast<uint16_t>(code++);
        code <<= 1;
    }
}

}  // namespace zav::rar2
