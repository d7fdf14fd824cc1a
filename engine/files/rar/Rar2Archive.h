#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zav::rar2 {

// What became of an entry's content.
enum class EntryState {
    kListed,              // not extracted yet
    kExtracted,
    kDirectory,
    kEncrypted,
    kUnsupportedVersion,  // another compression algorithm than RAR 2.0
    kSplit,               // continued in another volume
    kTruncated,           // the archive ends inside the packed data
    kBadSize,             // sizes the entry cannot have
    kBadData,             // the packed data does not decode
    kCrcMismatch,
    kOutOfMemory,
};

// An entry's content: allocated as char[] so that it can be handed to a
// MemoryFile, which frees its source with delete[] of char.
struct ContentDelete {
    void operator()(uint8_t* bytes) const { delete[] reinterpret_cast<char*>(bytes); }
};
using Content = std::unique_ptr<uint8_t[], ContentDelete>;

// One file header of an archive, and after extraction its content.
struct Entry {
    std::string name;  // full name with backslashes, in the engine's code page
    uint16_t flags = 0;
    uint64_t packedSize = 0;
    uint64_t unpackedSize = 0;
    uint8_t hostSystem = 0;
    uint32_t fileCrc = 0;
    uint32_t fileTime = 0;  // DOS date and time
    uint8_t unpackVersion = 0;
    uint8_t method = 0;
    uint32_t attributes = 0;
    size_t headerOffset = 0;  // the file header's position in the archive
    size_t dataOffset = 0;    // the packed data's position in the archive

    EntryState state = EntryState::kListed;
    // With kExtracted: unpackedSize bytes (a one-byte buffer for an empty file).
    Content content;

    bool IsDirectory() const;
    bool IsStored() const;
    bool HasContent() const { return state == EntryState::kExtracted; }
    size_t ContentSize() const { return HasContent() ? static_cast<size_t>(unpackedSize) : 0; }
    // Hands the content over (a new[] char buffer of ContentSize() bytes, at
    // least one byte); null without content.
    char* ReleaseContent() { return reinterpret_cast<char*>(content.release()); }
};

struct Archive {
    uint16_t flags = 0;  // main header flags
    std::vector<Entry> entries;
};

// Reads the marker, the main header and every file header of `data`. Blocks
// of other types are skipped; the walk ends at the end block, at the end of
// the bytes, or at a header that makes no sense. Returns kOk, or kFailed when
// the bytes are not an archive (no marker, no main header). Logs nothing.
int ListArchive(const uint8_t* data, size_t size, Archive* archive);

// Extracts every listed entry in archive order, in one pass: a solid
// archive's data is decoded once. Each entry ends in a state; only
// kExtracted entries have content, whose CRC32 matched. Entries that are not
// extracted are logged as warnings naming `archiveName`. Returns kOk, or
// kOutOfMemory when memory ran out for some entry (the others are still
// extracted).
int ExtractEntries(const uint8_t* data, size_t size, Archive* archive, const char* archiveName);

// Lists and extracts: kOk, kFailed (not an archive, logged as an error) or
// kOutOfMemory.
int ReadArchive(const uint8_t* data, size_t size, Archive* archive, const char* archiveName);

// A short description of a state for messages, in the engine's code page.
const char* DescribeState(EntryState state);

}  // namespace zav::rar2
