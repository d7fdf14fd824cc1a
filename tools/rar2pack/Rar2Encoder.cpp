#include "tools/rar2pack/Rar2Encoder.h"

#include <algorithm>
#include <cstring>

#include "tools/rar2pack/BitOutput.h"
#include "tools/rar2pack/HuffmanCode.h"

namespace zav::rar2 {

namespace {

constexpr int kHashBits = 20;
constexpr uint32_t kMaxDistance = kWindowSize - 1;
constexpr uint32_t kMaxLength = 257;  // encodable at every distance
constexpr size_t kBlockCodes = 32768;
constexpr uint64_t kMaxStream = 0xF0000000u;
constexpr uint16_t kNoSymbol = 0xFFFF;
constexpr int kDistanceTableAt = kLiteralSymbols;
constexpr int kRepeatTableAt = kLiteralSymbols + kDistanceSymbols;
constexpr int kLiteralBits = 8;  // what a literal is assumed to cost when weighing matches

int LengthSlot(uint32_t value) {
    return static_cast<int>(std::upper_bound(kLengthBase, kLengthBase + 28, value) - kLengthBase) - 1;
}
int DistanceSlot(uint32_t value) {
    return static_cast<int>(std::upper_bound(kDistanceBase, kDistanceBase + 48, value) - kDistanceBase) - 1;
}
int ShortDistanceSlot(uint32_t value) {
    return static_cast<int>(std::upper_bound(kShortDistanceBase, kShortDistanceBase + 8, value) - kShortDistanceBase) - 1;
}

// Length bonuses the decoder adds for far distances.
uint32_t RecentBonus(uint32_t distance) {
    return (distance >= kLongDistance1) + (distance >= kLongDistance2) + (distance >= kLongDistance3);
}
uint32_t FarBonus(uint32_t distance) { return (distance >= kLongDistance2) + (distance >= kLongDistance3); }

uint32_t MatchLength(const uint8_t* a, const uint8_t* b, uint32_t limit) {
    uint32_t n = 0;
    while (n + 8 <= limit) {
        uint64_t x, y;
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y) return n + static_cast<uint32_t>(__builtin_ctzll(x ^ y) / 8);
        n += 8;
    }
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

}  // namespace

Rar2Encoder::Rar2Encoder() : Rar2Encoder(Options()) {}
Rar2Encoder::Rar2Encoder(const Options& options)
    : options_(options), head_(size_t{1} << kHashBits), prev_(kWindowSize) {}
Rar2Encoder::~Rar2Encoder() = default;

void Rar2Encoder::Reset() {
    history_.clear();
    historyBase_ = 0;
    streamEnd_ = 0;
    std::fill(head_.begin(), head_.end(), 0);
    std::memset(recent_, 0, sizeof recent_);
    recentIndex_ = 0;
    lastLength_ = 0;
    lastDistance_ = 0;
    std::memset(previousLengths_, 0, sizeof previousLengths_);
    current_ = Tables();
}

// Keeps one window of earlier bytes for matches, then the new ones.
void Rar2Encoder::AppendHistory(const uint8_t* data, size_t size) {
    if (streamEnd_ - historyBase_ > kWindowSize) {
        uint64_t drop = streamEnd_ - kWindowSize - historyBase_;
        history_.erase(history_.begin(), history_.begin() + static_cast<std::ptrdiff_t>(drop));
        historyBase_ += drop;
    }
    history_.insert(history_.end(), data, data + size);
    streamEnd_ += size;
}

uint32_t Rar2Encoder::Hash(uint64_t position) const {
    const uint8_t* p = &history_[position - historyBase_];
    uint32_t key = (static_cast<uint32_t>(p[0]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[2];
    return (key * 2654435761u) >> (32 - kHashBits);
}

void Rar2Encoder::Insert(uint64_t position) {
    if (position + 3 > streamEnd_) return;
    uint32_t h = Hash(position);
    prev_[position & kWindowMask] = head_[h];
    head_[h] = static_cast<uint32_t>(position + 1);
}

bool Rar2Encoder::Encodable(uint32_t length, uint32_t distance) const {
    if (length == lastLength_ && distance == lastDistance_) return true;
    for (uint32_t i = 1; i <= 4; ++i) {
        if (recent_[(recentIndex_ - i) & 3] != distance) continue;
        uint32_t bonus = RecentBonus(distance);
        if (length >= 2 + bonus && length - bonus <= 257) return true;
    }
    if (length == 2 && distance <= 256) return true;
    uint32_t bonus = FarBonus(distance);
    return length >= 3 + bonus && length - bonus <= 258;
}

// Bits saved by a match over literals, from rough symbol costs.
int Rar2Encoder::EstimateGain(uint32_t length, uint32_t distance) const {
    int cost;
    bool recent = false;
    for (uint32_t i = 1; i <= 4; ++i) recent |= recent_[(recentIndex_ - i) & 3] == distance;
    if (length == lastLength_ && distance == lastDistance_) {
        cost = 5;
    } else if (recent && length >= 2 + RecentBonus(distance)) {
        cost = 10 + kLengthBits[LengthSlot(length - RecentBonus(distance) - 2)];
    } else if (length == 2) {
        cost = 9 + kShortDistanceBits[ShortDistanceSlot(distance - 1)];
    } else {
        cost = 13 + kLengthBits[LengthSlot(length - FarBonus(distance) - 3)] + kDistanceBits[DistanceSlot(distance - 1)];
    }
    return kLiteralBits * static_cast<int>(length) - cost;
}

Rar2Encoder::Candidate Rar2Encoder::BestMatch(uint64_t position, uint32_t held) {
    Candidate best;
    uint64_t left = streamEnd_ - position;
    uint32_t limit = left < kMaxLength ? static_cast<uint32_t>(left) : kMaxLength;
    if (limit < 2) return best;
    const uint8_t* current = &history_[position - historyBase_];
    uint64_t reach = std::min<uint64_t>(position, kMaxDistance);

    auto consider = [&](uint32_t length, uint32_t distance) {
        if (!Encodable(length, distance)) return;
        int gain = EstimateGain(length, distance);
        if (gain > best.gain) best = {length, distance, gain};
    };
    for (uint32_t i = 1; i <= 4; ++i) {
        uint32_t distance = recent_[(recentIndex_ - i) & 3];
        if (distance == 0 || distance > reach) continue;
        uint32_t length = MatchLength(current, current - distance, limit);
        if (length >= 2) consider(length, distance);
    }
    if (limit < 3 || position + 3 > streamEnd_) return best;

    const uint32_t good = static_cast<uint32_t>(options_.goodLength);
    int chain = held >= good ? options_.maxChain / 4 : options_.maxChain;
    bool shortened = held >= good;
    uint32_t longest = 2;
    uint32_t candidate = head_[Hash(position)];
    for (; candidate != 0 && chain > 0; --chain) {
        uint64_t at = candidate - 1;
        if (at >= position || position - at > reach) break;
        uint32_t distance = static_cast<uint32_t>(position - at);
        const uint8_t* earlier = current - distance;
        if (earlier[longest] == current[longest] || longest >= limit) {
            uint32_t length = MatchLength(current, earlier, limit);
            if (length > longest) {
                longest = length;
                consider(length, distance);
                if (length >= static_cast<uint32_t>(options_.niceLength) || length == limit) break;
                if (length >= good && !shortened) {
                    chain /= 4;
                    shortened = true;
                }
            }
        }
        candidate = prev_[at & kWindowMask];
    }
    return best;
}

void Rar2Encoder::EmitLiteral(uint8_t byte) { block_.push_back({byte, kNoSymbol, 0, 0, 0, 0}); }

void Rar2Encoder::EmitMatch(uint32_t length, uint32_t distance) {
    Code code{0, kNoSymbol, 0, 0, 0, 0};
    uint32_t recent = 0;
    for (uint32_t i = 1; i <= 4 && recent == 0; ++i)
        if (recent_[(recentIndex_ - i) & 3] == distance) recent = i;
    uint32_t recentBonus = RecentBonus(distance);
    if (length == lastLength_ && distance == lastDistance_) {
        code.symbol = kRepeatLastMatch;
    } else if (recent != 0 && length >= 2 + recentBonus && length - recentBonus <= 257) {
        uint32_t value = length - recentBonus - 2;
        int slot = LengthSlot(value);
        code.symbol = static_cast<uint16_t>(kRepeatLastMatch + recent);
        code.second = static_cast<uint16_t>(slot);
        code.bits2 = kLengthBits[slot];
        code.extra2 = value - kLengthBase[slot];
    } else if (length == 2 && distance <= 256) {
        int slot = ShortDistanceSlot(distance - 1);
        code.symbol = static_cast<uint16_t>(kFirstShortDistance + slot);
        code.bits1 = kShortDistanceBits[slot];
        code.extra1 = distance - 1 - kShortDistanceBase[slot];
    } else {
        uint32_t value = length - FarBonus(distance) - 3;
        int slot = LengthSlot(value);
        int distanceSlot = DistanceSlot(distance - 1);
        code.symbol = static_cast<uint16_t>(kFirstLengthSymbol + slot);
        code.bits1 = kLengthBits[slot];
        code.extra1 = value - kLengthBase[slot];
        code.second = static_cast<uint16_t>(distanceSlot);
        code.bits2 = kDistanceBits[distanceSlot];
        code.extra2 = distance - 1 - kDistanceBase[distanceSlot];
    }
    recent_[recentIndex_] = distance;
    recentIndex_ = (recentIndex_ + 1) & 3;
    lastLength_ = length;
    lastDistance_ = distance;
    block_.push_back(code);
}

bool Rar2Encoder::Encode(const uint8_t* data, size_t size, bool continuesSolid, std::vector<uint8_t>* packed) {
    if (!continuesSolid) Reset();
    if (streamEnd_ + size > kMaxStream) return false;
    uint64_t position = streamEnd_;
    AppendHistory(data, size);
    const uint64_t end = streamEnd_;

    BitOutput out;
    bool entryStart = true;
    auto flushIfFull = [&]() {
        if (block_.size() < kBlockCodes) return;
        FlushBlock(out, entryStart, continuesSolid);
        entryStart = false;
    };
    auto byteAt = [&](uint64_t at) { return history_[at - historyBase_]; };
    auto takeMatch = [&](uint64_t at, const Candidate& match) {
        EmitMatch(match.length, match.distance);
        for (uint64_t p = position + 1; p < at + match.length; ++p) Insert(p);
        position = at + match.length;
        flushIfFull();
    };

    // Lazy matching: a match is held back one byte in case the next
    // position offers a better one.
    Candidate pending;
    bool havePending = false;
    while (position < end) {
        Candidate match = BestMatch(position, havePending ? pending.length : 0);
        Insert(position);
        if (havePending) {
            if (match.gain > pending.gain) {
                EmitLiteral(byteAt(position - 1));
                flushIfFull();
                pending = match;
            } else {
                havePending = false;
                takeMatch(position - 1, pending);
                continue;
            }
        } else if (match.gain > 0) {
            if (match.length >= static_cast<uint32_t>(options_.lazyLength)) {
                takeMatch(position, match);
                continue;
            }
            pending = match;
            havePending = true;
        } else {
            EmitLiteral(byteAt(position));
            flushIfFull();
        }
        ++position;
    }
    if (havePending) takeMatch(position - 1, pending);

    if (!block_.empty() || (entryStart && !continuesSolid)) FlushBlock(out, entryStart, continuesSolid);
    out.Finish();
    packed->swap(out.Bytes());
    return true;
}

// Turns a table's lengths into code-length symbols: zero runs, runs of a
// repeated length, and otherwise each length as a difference (mod 16) from
// the previous table's (with `keep`) or from zero. Returns the bits the
// table takes with the best code for those symbols.
uint64_t Rar2Encoder::TableBits(const uint8_t* lengths, bool keep, std::vector<Code>* codes,
                                uint8_t* bitLengths) const {
    codes->clear();
    int i = 0;
    while (i < kMainTableLengths) {
        int run = 1;
        while (i + run < kMainTableLengths && lengths[i + run] == lengths[i]) ++run;
        if (lengths[i] == 0 && run >= 11) {
            int count = std::min(run, 138);
            codes->push_back({kLongZeroRun, kNoSymbol, 7, 0, static_cast<uint32_t>(count - 11), 0});
            i += count;
        } else if (lengths[i] == 0 && run >= 3) {
            int count = std::min(run, 10);
            codes->push_back({kShortZeroRun, kNoSymbol, 3, 0, static_cast<uint32_t>(count - 3), 0});
            i += count;
        } else if (i > 0 && lengths[i] == lengths[i - 1] && run >= 3) {
            int count = std::min(run, 6);
            codes->push_back({kRepeatPreviousLength, kNoSymbol, 2, 0, static_cast<uint32_t>(count - 3), 0});
            i += count;
        } else {
            uint32_t base = keep ? previousLengths_[i] : 0;
            codes->push_back({static_cast<uint16_t>((lengths[i] - base) & 0xF), kNoSymbol, 0, 0, 0, 0});
            ++i;
        }
    }
    uint32_t frequencies[kBitLengthSymbols] = {};
    for (const Code& code : *codes) ++frequencies[code.symbol];
    BuildCodeLengths(frequencies, kBitLengthSymbols, kMaxCodeLength, bitLengths);
    uint64_t bits = 2 + 4 * kBitLengthSymbols;
    for (const Code& code : *codes) bits += bitLengths[code.symbol] + code.bits1;
    return bits;
}

void Rar2Encoder::WriteTables(BitOutput& out, const Tables& tables) {
    std::vector<Code> plain, delta;
    uint8_t plainLengths[kBitLengthSymbols], deltaLengths[kBitLengthSymbols];
    uint64_t plainBits = TableBits(tables.lengths, false, &plain, plainLengths);
    uint64_t deltaBits = TableBits(tables.lengths, true, &delta, deltaLengths);
    bool keep = deltaBits < plainBits;
    const std::vector<Code>& codes = keep ? delta : plain;
    const uint8_t* bitLengths = keep ? deltaLengths : plainLengths;

    out.Write(keep ? 1 : 0, 2);  // bit 1: audio block (never); bit 0: keep the previous lengths
    for (int i = 0; i < kBitLengthSymbols; ++i) out.Write(bitLengths[i], 4);
    uint16_t bitCodes[kBitLengthSymbols];
    BuildCanonicalCodes(bitLengths, kBitLengthSymbols, bitCodes);
    for (const Code& code : codes) {
        out.Write(bitCodes[code.symbol], bitLengths[code.symbol]);
        out.Write(code.extra1, code.bits1);
    }
    std::memcpy(previousLengths_, tables.lengths, sizeof previousLengths_);
}

void Rar2Encoder::WriteCode(BitOutput& out, const Code& code) const {
    out.Write(current_.codes[code.symbol], current_.lengths[code.symbol]);
    out.Write(code.extra1, code.bits1);
    if (code.second != kNoSymbol) {
        int at = (code.symbol >= kFirstLengthSymbol ? kDistanceTableAt : kRepeatTableAt) + code.second;
        out.Write(current_.codes[at], current_.lengths[at]);
        out.Write(code.extra2, code.bits2);
    }
}

// Writes the block's codes, first switching to new tables when they cost
// less than coding the block with the current ones.
void Rar2Encoder::FlushBlock(BitOutput& out, bool entryStart, bool continuesSolid) {
    uint32_t frequencies[kMainTableLengths] = {};
    for (const Code& code : block_) {
        ++frequencies[code.symbol];
        if (code.second != kNoSymbol)
            ++frequencies[(code.symbol >= kFirstLengthSymbol ? kDistanceTableAt : kRepeatTableAt) + code.second];
    }

    Tables fresh;
    uint32_t literalFrequencies[kLiteralSymbols];
    std::memcpy(literalFrequencies, frequencies, sizeof literalFrequencies);
    ++literalFrequencies[kReadTablesSymbol];  // a later switch must stay possible
    BuildCodeLengths(literalFrequencies, kLiteralSymbols, kMaxCodeLength, fresh.lengths);
    BuildCodeLengths(frequencies + kDistanceTableAt, kDistanceSymbols, kMaxCodeLength, fresh.lengths + kDistanceTableAt);
    BuildCodeLengths(frequencies + kRepeatTableAt, kRepeatLengthSymbols, kMaxCodeLength, fresh.lengths + kRepeatTableAt);
    BuildCanonicalCodes(fresh.lengths, kLiteralSymbols, fresh.codes);
    BuildCanonicalCodes(fresh.lengths + kDistanceTableAt, kDistanceSymbols, fresh.codes + kDistanceTableAt);
    BuildCanonicalCodes(fresh.lengths + kRepeatTableAt, kRepeatLengthSymbols, fresh.codes + kRepeatTableAt);
    fresh.valid = true;

    bool mustWriteTables = (entryStart && !continuesSolid) || !current_.valid;
    bool switchTables = true;
    if (!mustWriteTables) {
        uint64_t keepBits = 0, freshBits = 0;
        bool keepPossible = true;
        for (int s = 0; s < kMainTableLengths; ++s) {
            if (frequencies[s] == 0) continue;
            if (current_.lengths[s] == 0) keepPossible = false;
            keepBits += static_cast<uint64_t>(frequencies[s]) * current_.lengths[s];
            freshBits += static_cast<uint64_t>(frequencies[s]) * fresh.lengths[s];
        }
        std::vector<Code> unused;
        uint8_t unusedLengths[kBitLengthSymbols];
        uint64_t tableBits = std::min(TableBits(fresh.lengths, false, &unused, unusedLengths),
                                      TableBits(fresh.lengths, true, &unused, unusedLengths));
        switchTables = !keepPossible || current_.lengths[kReadTablesSymbol] + tableBits + freshBits < keepBits;
        if (switchTables)
            out.Write(current_.codes[kReadTablesSymbol], current_.lengths[kReadTablesSymbol]);
    }
    if (switchTables) {
        WriteTables(out, fresh);
        current_ = fresh;
    }
    for (const Code& code : block_) WriteCode(out, code);
    block_.clear();
}

}  // namespace zav::rar2
