// The header walk and the per-entry checks on archives written by the
// packer and then damaged in one place.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/rar/Rar2Archive.h"
#include "engine/files/rar/Rar2Format.h"
#include "engine/files/rar/Rar2Names.h"
#include "tests/support/LogCapture.h"
#include "tools/rar2pack/ArchiveWriter.h"

namespace zav::rar2 {
namespace {

using Bytes = std::vector<uint8_t>;
using Files = std::vector<std::pair<std::string, std::string>>;

Bytes Pack(const Files& files, bool store, bool solid = false) {
    ArchiveWriter::Options options;
    options.store = store;
    options.solid = solid;
    ArchiveWriter writer(options);
    for (const auto& [name, text] : files)
        EXPECT_TRUE(writer.AddFile(name, reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    return writer.Bytes();
}

std::string Repeated(const std::string& unit, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += unit;
    return text;
}

void Put16(Bytes& bytes, size_t at, uint32_t value) {
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}
void Put32(Bytes& bytes, size_t at, uint32_t value) {
    Put16(bytes, at, value & 0xFFFF);
    Put16(bytes, at + 2, value >> 16);
}

// Offsets of file header fields.
constexpr size_t kFlagsAt = 3;
constexpr size_t kHeaderSizeAt = 5;
constexpr size_t kPackedAt = 7;
constexpr size_t kUnpackedAt = 11;
constexpr size_t kHostAt = 15;
constexpr size_t kCrcAt = 16;
constexpr size_t kAttributesAt = 28;

Archive Read(const Bytes& bytes, int expected = kOk) {
    Archive archive;
    EXPECT_EQ(ReadArchive(bytes.data(), bytes.size(), &archive, "test.rar2"), expected);
    return archive;
}

std::string Content(const Entry& entry) {
    return entry.HasContent() ? std::string(reinterpret_cast<const char*>(entry.content.get()), entry.ContentSize())
                              : std::string();
}

// Header offsets of the packed archive's entries.
std::vector<size_t> HeaderOffsets(const Bytes& bytes) {
    Archive archive;
    EXPECT_EQ(ListArchive(bytes.data(), bytes.size(), &archive), kOk);
    std::vector<size_t> offsets;
    for (const Entry& entry : archive.entries) offsets.push_back(entry.headerOffset);
    return offsets;
}

TEST(Rar2Archive, BytesWithoutMarkerOrMainHeaderAreNoArchiveAndSayWhy) {
    test::LogCapture capture;
    Bytes good = Pack({{"a.txt", "alpha"}}, true);
    Bytes noMarker = good;
    noMarker[0] = 'X';
    Read(noMarker, kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Файл [test.rar2] не является архивом RAR."));

    Read(Bytes(good.begin(), good.begin() + kMarkerSize + kMainHeaderSize - 1), kFailed);  // short main header
    Bytes tinyMain = good;
    Put16(tinyMain, kMarkerSize + kHeaderSizeAt, 12);
    Read(tinyMain, kFailed);
    Bytes wrongType = good;
    wrongType[kMarkerSize + 2] = kFileBlock;
    Read(wrongType, kFailed);
    Read(Bytes(), kFailed);

    // A bare main header is an archive without entries.
    EXPECT_TRUE(Read(Bytes(good.begin(), good.begin() + kMarkerSize + kMainHeaderSize)).entries.empty());
}

TEST(Rar2Archive, StoredAndCompressedEntriesExtractInArchiveOrder) {
    std::string text = Repeated("night harbor lights ", 400);
    for (bool store : {true, false}) {
        Archive archive = Read(Pack({{"one.txt", text}, {"empty.txt", ""}, {"two.txt", "x"}}, store));
        ASSERT_EQ(archive.entries.size(), 3u);
        EXPECT_EQ(archive.entries[0].IsStored(), store);
        EXPECT_EQ(Content(archive.entries[0]), text);
        EXPECT_TRUE(archive.entries[1].HasContent());  // empty, but extracted
        EXPECT_EQ(archive.entries[1].ContentSize(), 0u);
        EXPECT_EQ(Content(archive.entries[2]), "x");
    }
}

TEST(Rar2Archive, NamesThatFoldAlikeKeepTheirOwnContents) {
    Archive archive = Read(Pack({{"Data\\Read_me.txt", "first"}, {"DATA_READ\\ME.TXT", "second"},
                                 {"data/read_me.txt", "third"}},
                                false));
    ASSERT_EQ(archive.entries.size(), 3u);
    EXPECT_EQ(Content(archive.entries[0]), "first");
    EXPECT_EQ(Content(archive.entries[1]), "second");
    EXPECT_EQ(Content(archive.entries[2]), "third");
}

TEST(Rar2Archive, ACrcMismatchEmptiesOnlyThatEntry) {
    test::LogCapture capture;
    Bytes bytes = Pack({{"a.txt", "alpha"}, {"b.txt", "bravo"}}, true);
    std::vector<size_t> headers = HeaderOffsets(bytes);
    bytes[headers[0] + kCrcAt] ^= 1;
    Archive archive = Read(bytes);
    EXPECT_EQ(archive.entries[0].state, EntryState::kCrcMismatch);
    EXPECT_EQ(archive.entries[0].content, nullptr);
    EXPECT_EQ(Content(archive.entries[1]), "bravo");
    EXPECT_TRUE(capture.Has(kLogWarning, "Файл [a.txt] архива [test.rar2] не распакован: не совпадает контрольная сумма."));
}

TEST(Rar2Archive, SizesAnEntryCannotHaveAreRefused) {
    std::string text = Repeated("abc", 100);
    Bytes stored = Pack({{"s.txt", text}, {"next.txt", "next"}}, true);
    Bytes compressed = Pack({{"c.txt", text}, {"next.txt", "next"}}, false);
    size_t storedHeader = HeaderOffsets(stored)[0];
    size_t compressedHeader = HeaderOffsets(compressed)[0];

    // A stored entry must be as long as its data: more would be copied past it.
    Bytes longer = stored;
    Put32(longer, storedHeader + kUnpackedAt, static_cast<uint32_t>(text.size() + 1000));
    // Beyond the signed 32-bit range.
    Bytes huge = compressed;
    Put32(huge, compressedHeader + kUnpackedAt, 0x80000000u);
    // More than any packed data of that size can stand for.
    Bytes inflated = compressed;
    uint32_t packed = ReadLittle32(compressed.data() + compressedHeader + kPackedAt);
    Put32(inflated, compressedHeader + kUnpackedAt, static_cast<uint32_t>(packed * kMaxBytesPerPackedByte + 1));

    for (const Bytes* bytes : {&longer, &huge, &inflated}) {
        Archive archive = Read(*bytes);
        ASSERT_EQ(archive.entries.size(), 2u);
        EXPECT_EQ(archive.entries[0].state, EntryState::kBadSize);
        EXPECT_EQ(Content(archive.entries[1]), "next");
    }
}

TEST(Rar2Archive, HeaderNonsenseEndsTheWalkAfterTheGoodEntries) {
    Bytes bytes = Pack({{"a.txt", "alpha"}, {"b.txt", "bravo"}}, true);
    size_t second = HeaderOffsets(bytes)[1];

    Bytes nameTooLong = bytes;
    Put16(nameTooLong, second + kHeaderSizeAt, kFileHeaderSize + 2);  // smaller than 32 + name size
    Bytes headerTooShort = bytes;
    Put16(headerTooShort, second + kHeaderSizeAt, 6);
    Bytes fileHeaderTooShort = bytes;
    Put16(fileHeaderTooShort, second + kHeaderSizeAt, kFileHeaderSize - 1);
    Bytes cutInHeader(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(second + 20));
    for (const Bytes* damaged : {&nameTooLong, &headerTooShort, &fileHeaderTooShort, &cutInHeader}) {
        Archive archive = Read(*damaged);
        ASSERT_EQ(archive.entries.size(), 1u);
        EXPECT_EQ(Content(archive.entries[0]), "alpha");
    }
}

TEST(Rar2Archive, PositionsDoNotWrapAround) {
    Bytes bytes = Pack({{"a.txt", "alpha"}, {"b.txt", "bravo"}}, true);
    std::vector<size_t> headers = HeaderOffsets(bytes);

    // A packed size that would wrap a 32-bit position back into the archive.
    Bytes wrapping = bytes;
    Put32(wrapping, headers[0] + kPackedAt, 0xFFFFFFFFu);
    Archive archive = Read(wrapping);
    ASSERT_EQ(archive.entries.size(), 1u);
    EXPECT_EQ(archive.entries[0].state, EntryState::kTruncated);

    // Another block type with a data size that wraps.
    Bytes otherBlock(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(headers[1]));
    const uint8_t block[] = {0, 0, 0x7A, 0x00, 0x80, 11, 0, 0xF0, 0xFF, 0xFF, 0xFF};
    otherBlock.insert(otherBlock.end(), block, block + sizeof block);
    otherBlock.insert(otherBlock.end(), bytes.begin() + static_cast<std::ptrdiff_t>(headers[1]), bytes.end());
    archive = Read(otherBlock);
    ASSERT_EQ(archive.entries.size(), 1u);
    EXPECT_EQ(Content(archive.entries[0]), "alpha");

    // A 64-bit packed size that wraps the walk back onto the same header.
    Bytes large = bytes;
    const size_t header = headers[0];
    const uint32_t headerSize = (large[header + kHeaderSizeAt] | large[header + kHeaderSizeAt + 1] << 8) + 8u;
    large.insert(large.begin() + static_cast<std::ptrdiff_t>(header + 32), 8, 0);
    Put16(large, header + kFlagsAt, (large[header + kFlagsAt] | large[header + kFlagsAt + 1] << 8) | 0x0100);
    Put16(large, header + kHeaderSizeAt, headerSize);
    Put32(large, header + kPackedAt, 0u - headerSize);
    Put32(large, header + 32, 0xFFFFFFFFu);
    archive = Read(large);
    ASSERT_EQ(archive.entries.size(), 1u);
    EXPECT_EQ(archive.entries[0].state, EntryState::kTruncated);
}

TEST(Rar2Archive, BlocksOfOtherTypesAreSkipped) {
    Bytes bytes = Pack({{"a.txt", "alpha"}, {"b.txt", "bravo"}}, true);
    size_t second = HeaderOffsets(bytes)[1];
    // An old-style sub-block with data (as a Unix archiver writes after each
    // file), and a block without data.
    const uint8_t subBlock[] = {0, 0, 0x77, 0x00, 0x80, 11, 0, 3, 0, 0, 0, 'x', 'y', 'z'};
    const uint8_t plainBlock[] = {0, 0, 0x75, 0x00, 0x00, 9, 0, 1, 2};
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(second), plainBlock, plainBlock + sizeof plainBlock);
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(second), subBlock, subBlock + sizeof subBlock);
    Archive archive = Read(bytes);
    ASSERT_EQ(archive.entries.size(), 2u);
    EXPECT_EQ(Content(archive.entries[1]), "bravo");
}

TEST(Rar2Archive, EntriesThatCannotBeExtractedGiveNoContentAndBreakTheSolidChain) {
    std::string text = Repeated("solid state ", 300);
    Bytes solid = Pack({{"a.txt", text}, {"b.txt", text + "tail"}, {"c.txt", "more " + text}}, false, true);
    std::vector<size_t> headers = HeaderOffsets(solid);
    Archive intact = Read(solid);
    EXPECT_EQ(Content(intact.entries[2]), "more " + text);

    // The first entry marked encrypted: the second cannot continue a state
    // that was never decoded, and starts from a cleared one.
    Bytes encrypted = solid;
    encrypted[headers[0] + kFlagsAt] |= kFileEncrypted;
    Archive archive = Read(encrypted);
    EXPECT_EQ(archive.entries[0].state, EntryState::kEncrypted);
    EXPECT_EQ(archive.entries[1].state, EntryState::kBadData);
    EXPECT_EQ(archive.entries[2].state, EntryState::kBadData);

    Bytes split = solid;
    split[headers[1] + kFlagsAt] |= kFileSplitAfter;
    archive = Read(split);
    EXPECT_EQ(Content(archive.entries[0]), text);
    EXPECT_EQ(archive.entries[1].state, EntryState::kSplit);
    EXPECT_EQ(archive.entries[2].state, EntryState::kBadData);

    Bytes newer = solid;
    newer[headers[0] + 24] = 29;
    EXPECT_EQ(Read(newer).entries[0].state, EntryState::kUnsupportedVersion);

    // A non-solid archive whose first entry claims to continue a state.
    Bytes orphan = Pack({{"a.txt", text}, {"b.txt", text}}, false);
    orphan[HeaderOffsets(orphan)[0] + kFlagsAt] |= kFileSolid;
    archive = Read(orphan);
    EXPECT_EQ(archive.entries[0].state, EntryState::kBadData);
    EXPECT_EQ(Content(archive.entries[1]), text);
}

TEST(Rar2Archive, TruncatedDataIsRefused) {
    std::string text = Repeated("cut short ", 200);
    for (bool store : {true, false}) {
        Bytes bytes = Pack({{"a.txt", text}}, store);
        bytes.resize(bytes.size() - 3);
        Archive archive = Read(bytes);
        ASSERT_EQ(archive.entries.size(), 1u);
        EXPECT_EQ(archive.entries[0].state, EntryState::kTruncated);
    }
}

TEST(Rar2Archive, DirectoriesAreRecognisedByHostAndFlags) {
    Bytes bytes = Pack({{"f", "file"}}, true);
    size_t header = HeaderOffsets(bytes)[0];
    auto entryWith = [&](uint8_t host, uint32_t attributes, uint16_t flags) {
        Bytes copy = bytes;
        copy[header + kHostAt] = host;
        Put32(copy, header + kAttributesAt, attributes);
        Put16(copy, header + kFlagsAt, flags | kBlockHasData);
        Archive archive;
        EXPECT_EQ(ListArchive(copy.data(), copy.size(), &archive), kOk);
        return archive.entries.at(0).IsDirectory();
    };
    EXPECT_TRUE(entryWith(kHostWin32, kDosDirectoryAttribute, 0));
    EXPECT_FALSE(entryWith(kHostWin32, kDosArchiveAttribute, 0));
    EXPECT_TRUE(entryWith(kHostWin32, 0, kFileWindowMask));
    // A Unix mode: a regular file (0100664) has the bit 0x10 set.
    EXPECT_FALSE(entryWith(kHostUnix, 0100664, 0));
    EXPECT_TRUE(entryWith(kHostUnix, 040755, 0));
}

TEST(Rar2Names, UnicodeNamesSurviveTheCompactEncoding) {
    struct Case {
        std::string utf8;
        std::string expected;  // Windows-1251
    };
    const Case cases[] = {
        {u8"Текстуры\\небо.jpg", "\xD2\xE5\xEA\xF1\xF2\xF3\xF0\xFB\\\xED\xE5\xE1\xEE.jpg"},
        {u8"Mixed Ёж Ω.txt", "Mixed \xA8\xE6 ?.txt"},  // no Omega in the code page
        {u8"日本.txt", "??.txt"},
        {"plain.txt", "plain.txt"},
    };
    for (const Case& c : cases) {
        std::string field;
        bool unicode = EncodeEntryName(c.utf8, &field);
        EXPECT_EQ(unicode, c.utf8 != "plain.txt");
        EXPECT_EQ(DecodeEntryName(reinterpret_cast<const uint8_t*>(field.data()), field.size(), unicode), c.expected);
    }
    // With the flag but no zero byte the field is UTF-8.
    std::string utf8 = u8"файл";
    EXPECT_EQ(DecodeEntryName(reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size(), true), "\xF4\xE0\xE9\xEB");
    // An encoding that ends inside a character falls back to the plain name.
    const uint8_t cut[] = {'a', 'b', 0, 0x04, 0x80, 0x41};
    EXPECT_EQ(DecodeEntryName(cut, sizeof cut, true), "ab");
    // Names are cut to 259 bytes.
    std::string longName(400, 'n');
    EXPECT_EQ(DecodeEntryName(reinterpret_cast<const uint8_t*>(longName.data()), longName.size(), false).size(),
              kMaxNameBytes);
}

}  // namespace
}  // namespace zav::rar2
