#pragma once

// Layout constants and code tables of the RAR 2.0 archive format, shared by
// the archive reader and the packer.

#include <cstddef>
#include <cstdint>

#include "engine/files/LittleEndian.h"  // every field is little-endian

namespace zav::rar2 {

// Archive blocks. Every block starts with header CRC (16), type (8),
// flags (16) and header size (16), little-endian.
constexpr uint8_t kMarker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr size_t kMarkerSize = sizeof kMarker;
constexpr size_t kBlockHeaderSize = 7;
constexpr size_t kMainHeaderSize = 13;
constexpr size_t kFileHeaderSize = 32;  // fixed part before the name
constexpr size_t kMaxNameBytes = 259;

enum BlockType : uint8_t {
    kMainBlock = 0x73,
    kFileBlock = 0x74,
    kEndBlock = 0x7B,
};

// Flags of every block: a 32-bit added size follows the 7 common bytes and
// that many data bytes follow the header.
constexpr uint16_t kBlockHasData = 0x8000;

// Main header flags.
constexpr uint16_t kArchiveVolume = 0x0001;
constexpr uint16_t kArchiveSolid = 0x0008;

// File header flags.
constexpr uint16_t kFileSplitBefore = 0x0001;
constexpr uint16_t kFileSplitAfter = 0x0002;
constexpr uint16_t kFileEncrypted = 0x0004;
constexpr uint16_t kFileSolid = 0x0010;
constexpr uint16_t kFileWindowMask = 0x00E0;  // window size bits; all set marks a directory
constexpr uint16_t kFileWindow1M = 0x0080;
constexpr uint16_t kFileLarge = 0x0100;  // 64-bit sizes follow the attributes
constexpr uint16_t kFileUnicodeName = 0x0200;

// File attributes: the DOS directory bit, and the Unix file type field.
constexpr uint32_t kDosDirectoryAttribute = 0x10;
constexpr uint32_t kDosArchiveAttribute = 0x20;
constexpr uint32_t kUnixTypeMask = 0xF000;
constexpr uint32_t kUnixDirectoryType = 0x4000;

enum HostSystem : uint8_t {
    kHostDos = 0,
    kHostWin32 = 2,
    kHostUnix = 3,
};

constexpr uint8_t kMethodStored = 0x30;
constexpr uint8_t kMethodNormal = 0x33;
constexpr uint8_t kUnpackVersion = 20;
constexpr uint8_t kOldestUnpackVersion = 13;

// Decompressor: a 1 MiB sliding window.
constexpr uint32_t kWindowSize = 0x100000;
constexpr uint32_t kWindowMask = kWindowSize - 1;
constexpr int kMaxCodeLength = 15;

// Sizes of the Huffman tables.
constexpr int kLiteralSymbols = 298;     // literals, matches, table switch
constexpr int kDistanceSymbols = 48;
constexpr int kRepeatLengthSymbols = 28;
constexpr int kBitLengthSymbols = 19;    // the code that transmits code lengths
constexpr int kAudioSymbols = 257;       // per channel
constexpr int kMaxAudioChannels = 4;
constexpr int kMainTableLengths = kLiteralSymbols + kDistanceSymbols + kRepeatLengthSymbols;
constexpr int kMaxTableLengths = kAudioSymbols * kMaxAudioChannels;

// Symbols of the literal/length table.
constexpr int kRepeatLastMatch = 256;
constexpr int kFirstRecentDistance = 257;  // 257..260: one of the four recent distances
constexpr int kFirstShortDistance = 261;   // 261..268: length 2, short distance
constexpr int kReadTablesSymbol = 269;
constexpr int kFirstLengthSymbol = 270;    // 270..297: length slot, then a distance symbol
constexpr int kAudioReadTablesSymbol = 256;

// Table header: bit 15 audio block, bit 14 keep the previous lengths as the
// base of the delta coding; audio blocks add two bits of channel count - 1.
constexpr uint32_t kTableAudioBit = 0x8000;
constexpr uint32_t kTableKeepLengthsBit = 0x4000;

// Code-length symbols: 0..15 add to the previous length (mod 16); 16 repeats
// the previous length 3..6 times; 17 writes 3..10 zeros; 18 writes 11..138.
constexpr int kRepeatPreviousLength = 16;
constexpr int kShortZeroRun = 17;
constexpr int kLongZeroRun = 18;

// Length slots (base, extra bits) of symbols 270.. and of the repeat-length table.
constexpr uint8_t kLengthBase[28] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  10,  12,  14,  16,  20,
                                     24, 28, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224};
constexpr uint8_t kLengthBits[28] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                     2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};

// Distance slots (base, extra bits) of the distance table.
constexpr uint32_t kDistanceBase[48] = {
    0,      1,      2,      3,      4,      6,      8,      12,     16,     24,     32,     48,
    64,     96,     128,    192,    256,    384,    512,    768,    1024,   1536,   2048,   3072,
    4096,   6144,   8192,   12288,  16384,  24576,  32768,  49152,  65536,  98304,  131072, 196608,
    262144, 327680, 393216, 458752, 524288, 589824, 655360, 720896, 786432, 851968, 917504, 983040};
constexpr uint8_t kDistanceBits[48] = {0,  0,  0,  0,  1,  1,  2,  2,  3,  3,  4,  4,  5,  5,  6,  6,
                                       7,  7,  8,  8,  9,  9,  10, 10, 11, 11, 12, 12, 13, 13, 14, 14,
                                       15, 15, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};

// Short distances of symbols 261..268 (length 2).
constexpr uint8_t kShortDistanceBase[8] = {0, 4, 8, 16, 32, 64, 128, 192};
constexpr uint8_t kShortDistanceBits[8] = {2, 2, 3, 4, 5, 6, 6, 6};

// Match lengths grow with the distance: one more from each of these on.
constexpr uint32_t kLongDistance1 = 0x101;    // recent-distance matches only
constexpr uint32_t kLongDistance2 = 0x2000;
constexpr uint32_t kLongDistance3 = 0x40000;

// The longest match one symbol can produce, and so the most output one bit
// of packed data can stand for.
constexpr uint32_t kMaxMatchLength = 260;
constexpr uint64_t kMaxBytesPerPackedByte = 8 * kMaxMatchLength;

}  // namespace zav::rar2
