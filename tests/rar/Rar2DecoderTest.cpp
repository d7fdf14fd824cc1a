// The decompressor on hand-made bit streams: tables that are malformed in
// the ways a damaged archive can be, matches that reach too far, and input
// that runs out.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/files/rar/Rar2Decoder.h"
#include "engine/files/rar/Rar2Format.h"
#include "tools/rar2pack/BitOutput.h"
#include "tools/rar2pack/HuffmanCode.h"

namespace zav::rar2 {
namespace {

constexpr int kDistanceAt = kLiteralSymbols;

// Writes table headers and symbols. Tables go out with a code-length code
// that gives the sixteen plain lengths four bits each, so every length is
// written as itself.
class Stream {
public:
    // A table header with the given code lengths (all others zero).
    Stream& Tables(const std::vector<std::pair<int, int>>& symbolLengths) {
        UseTables(symbolLengths);
        out_.Write(0, 2);
        for (int i = 0; i < kBitLengthSymbols; ++i) out_.Write(i < 16 ? 4 : 0, 4);
        for (uint8_t length : lengths_) out_.Write(length, 4);
        return *this;
    }
    // Codes symbols with these lengths without writing them: tables a
    // previous entry sent.
    Stream& UseTables(const std::vector<std::pair<int, int>>& symbolLengths) {
        std::memset(lengths_, 0, sizeof lengths_);
        for (const auto& [symbol, length] : symbolLengths) lengths_[symbol] = static_cast<uint8_t>(length);
        BuildCanonicalCodes(lengths_, kLiteralSymbols, codes_);
        BuildCanonicalCodes(lengths_ + kDistanceAt, kDistanceSymbols, codes_ + kDistanceAt);
        return *this;
    }
    Stream& Symbol(int symbol) {
        out_.Write(codes_[symbol], lengths_[symbol]);
        return *this;
    }
    Stream& Distance(int slot) { return Symbol(kDistanceAt + slot); }
    Stream& Bits(uint32_t value, int count) {
        out_.Write(value, count);
        return *this;
    }
    std::vector<uint8_t> Bytes() {
        out_.Finish();
        return out_.Bytes();
    }

private:
    BitOutput out_;
    uint8_t lengths_[kMainTableLengths] = {};
    uint16_t codes_[kMainTableLengths] = {};
};

struct Result {
    Rar2Decoder::Status status;
    std::string output;
};

Result Decode(Rar2Decoder& decoder, const std::vector<uint8_t>& packed, size_t size, bool continues = false) {
    // Exactly sized heap copies, so that any read or write past them is caught.
    std::unique_ptr<uint8_t[]> input(new uint8_t[packed.size() + 1]);
    if (!packed.empty()) std::memcpy(input.get(), packed.data(), packed.size());
    std::unique_ptr<uint8_t[]> output(new uint8_t[size + 1]);
    Rar2Decoder::Status status = decoder.Decode(input.get(), packed.size(), output.get(), size, continues);
    return {status, std::string(reinterpret_cast<char*>(output.get()), size)};
}

Result Decode(const std::vector<uint8_t>& packed, size_t size) {
    Rar2Decoder decoder;
    return Decode(decoder, packed, size);
}

TEST(Rar2Decoder, LiteralsAndMatchesOfEveryKind) {
    // 'a' 'b', a match of 3 at distance 2, a short match of 2 at distance 1,
    // the last match again, 'b', then the distance three matches back (2)
    // with length 2.
    Stream stream;
    stream.Tables({{'a', 2}, {'b', 2}, {270, 3}, {261, 3}, {256, 3}, {259, 3}, {kDistanceAt + 1, 1},
                   {kDistanceAt + 0, 1}, {kLiteralSymbols + kDistanceSymbols, 1},
                   {kLiteralSymbols + kDistanceSymbols + 1, 1}});
    stream.Symbol('a').Symbol('b').Symbol(270).Distance(1);  // distance slot 1: distance 2, length 3
    stream.Symbol(261).Bits(0, 2);                          // distance 1, length 2
    stream.Symbol(256);                                     // again: distance 1, length 2
    stream.Symbol('b');
    stream.Symbol(259).Bits(0, 1);                          // ring entry three back: distance 2; length slot 0: 2
    Result result = Decode(stream.Bytes(), 12);
    EXPECT_EQ(result.status, Rar2Decoder::kDecoded);
    EXPECT_EQ(result.output, "ababaaaaabab");
}

TEST(Rar2Decoder, ARepeatCodeBeforeAnyLengthIsRefused) {
    BitOutput out;
    out.Write(0, 2);
    for (int i = 0; i < kBitLengthSymbols; ++i) out.Write(i == 0 || i == 16 ? 1 : 0, 4);  // 0 -> "0", 16 -> "1"
    out.Write(1, 1);                                                                      // repeat at index 0
    out.Write(0, 2);
    out.Write(0, 16);
    out.Finish();
    EXPECT_EQ(Decode(out.Bytes(), 4).status, Rar2Decoder::kBadTables);
}

TEST(Rar2Decoder, ZeroRunsPastTheEndOfTheTableStopAtItsEnd) {
    BitOutput out;
    out.Write(0, 2);
    for (int i = 0; i < kBitLengthSymbols; ++i) out.Write(i == 1 || i == 18 ? 1 : 0, 4);  // 1 -> "0", 18 -> "1"
    out.Write(1, 1);
    out.Write(54, 7);  // 65 zeros
    out.Write(0, 1);   // 'A' (65): length 1
    out.Write(0, 1);   // 'B' (66): length 1
    for (int i = 0; i < 3; ++i) {
        out.Write(1, 1);
        out.Write(127, 7);  // 138 zeros each: 414, past the 374 lengths
    }
    out.Write(0b0110, 4);  // A B B A
    out.Finish();
    Result result = Decode(out.Bytes(), 4);
    EXPECT_EQ(result.status, Rar2Decoder::kDecoded);
    EXPECT_EQ(result.output, "ABBA");
}

TEST(Rar2Decoder, OverfullAndIncompleteCodesStayInsideTheirTables) {
    // Three one-bit codes: the third can never be reached.
    Stream overfull;
    overfull.Tables({{'x', 1}, {'y', 1}, {'z', 1}}).Bits(0b0110, 4);
    Result result = Decode(overfull.Bytes(), 4);
    EXPECT_EQ(result.status, Rar2Decoder::kDecoded);
    EXPECT_EQ(result.output, "xyyx");

    // Fifteen-bit codes everywhere: most patterns belong to no code.
    std::vector<std::pair<int, int>> deep;
    for (int s = 0; s < kLiteralSymbols; ++s) deep.push_back({s, 15});
    Stream incomplete;
    incomplete.Tables(deep).Bits(0xFFFF, 16);
    EXPECT_EQ(Decode(incomplete.Bytes(), 1).status, Rar2Decoder::kBadSymbol);

    // One code only: the other half of the code space is empty.
    Stream single;
    single.Tables({{'q', 1}}).Bits(0b001, 3);
    result = Decode(single.Bytes(), 3);
    EXPECT_EQ(result.status, Rar2Decoder::kBadSymbol);
}

TEST(Rar2Decoder, MatchesThatReachBeforeTheOutputAreRefused) {
    Stream tooFar;
    tooFar.Tables({{'a', 1}, {270, 1}, {kDistanceAt + 1, 1}, {kDistanceAt + 2, 1}});
    tooFar.Symbol('a').Symbol(270).Distance(2);  // distance 3 after one byte
    EXPECT_EQ(Decode(tooFar.Bytes(), 4).status, Rar2Decoder::kBadDistance);

    // Repeating the last match before there was one.
    Stream noMatchYet;
    noMatchYet.Tables({{'a', 1}, {256, 1}}).Symbol('a').Symbol(256);
    EXPECT_EQ(Decode(noMatchYet.Bytes(), 4).status, Rar2Decoder::kBadDistance);

    // A recent distance that is still zero.
    Stream emptyRing;
    emptyRing.Tables({{'a', 1}, {257, 1}, {kLiteralSymbols + kDistanceSymbols, 1},
                      {kLiteralSymbols + kDistanceSymbols + 1, 1}});
    emptyRing.Symbol('a').Symbol(257).Bits(0, 1);
    EXPECT_EQ(Decode(emptyRing.Bytes(), 4).status, Rar2Decoder::kBadDistance);
}

TEST(Rar2Decoder, DecodingStopsWhenThePackedDataEnds) {
    // One match, then the repeat-last symbol is all-zero bits: past the end
    // of the data it would repeat forever.
    Stream stream;
    stream.Tables({{'a', 2}, {256, 1}, {270, 2}, {kDistanceAt, 1}, {kDistanceAt + 1, 1}});
    stream.Symbol('a').Symbol(270).Distance(0);
    std::vector<uint8_t> packed = stream.Bytes();
    Result result = Decode(packed, 100000);
    EXPECT_EQ(result.status, Rar2Decoder::kInputExhausted);
    // Table data cut short.
    packed.resize(20);
    EXPECT_EQ(Decode(packed, 10).status, Rar2Decoder::kBadTables);
    EXPECT_EQ(Decode({}, 10).status, Rar2Decoder::kBadTables);
}

TEST(Rar2Decoder, ASolidEntryContinuesOnlyADecodedState) {
    const std::vector<std::pair<int, int>> tables = {
        {'s', 2}, {'o', 2}, {270, 1}, {kDistanceAt + 1, 1}, {kDistanceAt + 2, 1}};
    Stream first;
    first.Tables(tables).Symbol('s').Symbol('o');
    Stream second;  // no tables of its own; a match into the first entry
    second.UseTables(tables).Symbol(270).Distance(1);
    std::vector<uint8_t> continuation = second.Bytes();

    Rar2Decoder decoder;
    EXPECT_EQ(Decode(decoder, first.Bytes(), 2).output, "so");
    Result result = Decode(decoder, continuation, 3, true);
    EXPECT_EQ(result.status, Rar2Decoder::kDecoded);
    EXPECT_EQ(result.output, "sos");

    // After a failure the chain is broken: the continuation starts cleared,
    // without tables, like one that never had a predecessor.
    EXPECT_NE(Decode(decoder, {0xFF, 0xFF}, 5).status, Rar2Decoder::kDecoded);
    EXPECT_EQ(Decode(decoder, continuation, 3, true).status, Rar2Decoder::kBadSymbol);
    Rar2Decoder fresh;
    EXPECT_EQ(Decode(fresh, continuation, 3, true).status, Rar2Decoder::kBadSymbol);
}

}  // namespace
}  // namespace zav::rar2
