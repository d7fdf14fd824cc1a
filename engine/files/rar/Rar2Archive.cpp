#include "engine/files/rar/Rar2Archive.h"

#include <cstring>
#include <new>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/LittleEndian.h"
#include "engine/files/rar/Crc32.h"
#include "engine/files/rar/Rar2Decoder.h"
#include "engine/files/rar/Rar2Format.h"
#include "engine/files/rar/Rar2Names.h"

namespace zav::rar2 {

namespace {

// Offsets inside a file header.
constexpr size_t kPackedSizeAt = 7;
constexpr size_t kUnpackedSizeAt = 11;
constexpr size_t kHostAt = 15;
constexpr size_t kFileCrcAt = 16;
constexpr size_t kTimeAt = 20;
constexpr size_t kVersionAt = 24;
constexpr size_t kMethodAt = 25;
constexpr size_t kNameSizeAt = 26;
constexpr size_t kAttributesAt = 28;
constexpr size_t kLargeSizesBytes = 8;  // high halves of both sizes, with kFileLarge

// Reads the file header at `at` (its fixed part and name lie inside
// `headerSize`); false when the header is too short for its name.
bool ReadFileHeader(const uint8_t* h, size_t headerSize, Entry* entry) {
    entry->flags = ReadLittle16(h + 3);
    entry->packedSize = ReadLittle32(h + kPackedSizeAt);
    entry->unpackedSize = ReadLittle32(h + kUnpackedSizeAt);
    entry->hostSystem = h[kHostAt];
    entry->fileCrc = ReadLittle32(h + kFileCrcAt);
    entry->fileTime = ReadLittle32(h + kTimeAt);
    entry->unpackVersion = h[kVersionAt];
    entry->method = h[kMethodAt];
    entry->attributes = ReadLittle32(h + kAttributesAt);
    size_t nameAt = kFileHeaderSize;
    if (entry->flags & kFileLarge) {
        if (headerSize < kFileHeaderSize + kLargeSizesBytes) return false;
        entry->packedSize |= static_cast<uint64_t>(ReadLittle32(h + kFileHeaderSize)) << 32;
        entry->unpackedSize |= static_cast<uint64_t>(ReadLittle32(h + kFileHeaderSize + 4)) << 32;
        nameAt += kLargeSizesBytes;
    }
    size_t nameSize = ReadLittle16(h + kNameSizeAt);
    if (headerSize < nameAt + nameSize) return false;
    entry->name = DecodeEntryName(h + nameAt, nameSize, (entry->flags & kFileUnicodeName) != 0);
    return true;
}

// Why an entry cannot be extracted, before its data is looked at; kListed
// when it can.
EntryState CheckEntry(const Entry& entry, size_t archiveSize) {
    if (entry.IsDirectory()) return EntryState::kDirectory;
    if (entry.flags & (kFileSplitBefore | kFileSplitAfter)) return EntryState::kSplit;
    if (entry.unpackVersion < kOldestUnpackVersion || entry.unpackVersion > kUnpackVersion ||
        (!entry.IsStored() && entry.unpackVersion != kUnpackVersion))
        return EntryState::kUnsupportedVersion;
    if (entry.flags & kFileEncrypted) return EntryState::kEncrypted;
    if (entry.dataOffset > archiveSize || entry.packedSize > archiveSize - entry.dataOffset)
        return EntryState::kTruncated;
    if (entry.unpackedSize > INT32_MAX) return EntryState::kBadSize;
    if (entry.IsStored() ? entry.unpackedSize != entry.packedSize
                         : entry.unpackedSize > entry.packedSize * kMaxBytesPerPackedByte)
        return EntryState::kBadSize;
    return EntryState::kListed;
}

// At least one byte, so that an empty file has a buffer too; null when
// memory runs out.
Content AllocateContent(size_t size) {
    return Content(reinterpret_cast<uint8_t*>(new (std::nothrow) char[size > 0 ? size : 1]));
}

// Decodes or copies one entry's content and checks its CRC.
EntryState ExtractEntry(const uint8_t* data, Entry& entry, Rar2Decoder& decoder) {
    size_t size = static_cast<size_t>(entry.unpackedSize);
    Content content = AllocateContent(size);
    if (!content) return EntryState::kOutOfMemory;
    const uint8_t* packed = data + entry.dataOffset;
    if (entry.IsStored()) {
        if (size > 0) std::memcpy(content.get(), packed, size);
    } else {
        Rar2Decoder::Status status = decoder.Decode(packed, static_cast<size_t>(entry.packedSize), content.get(),
                                                    size, (entry.flags & kFileSolid) != 0);
        if (status == Rar2Decoder::kOutOfMemory) return EntryState::kOutOfMemory;
        if (status != Rar2Decoder::kDecoded) return EntryState::kBadData;
    }
    if (Crc32(content.get(), size) != entry.fileCrc) return EntryState::kCrcMismatch;
    entry.content = std::move(content);
    return EntryState::kExtracted;
}

}  // namespace

bool Entry::IsDirectory() const {
    if ((flags & kFileWindowMask) == kFileWindowMask) return true;
    if (hostSystem == kHostUnix) return (attributes & kUnixTypeMask) == kUnixDirectoryType;
    return (attributes & kDosDirectoryAttribute) != 0;
}

bool Entry::IsStored() const { return method == kMethodStored; }

int ListArchive(const uint8_t* data, size_t size, Archive* archive) {
    archive->flags = 0;
    archive->entries.clear();
    if (size < kMarkerSize + kMainHeaderSize || std::memcmp(data, kMarker, kMarkerSize) != 0) return kFailed;
    const uint8_t* main = data + kMarkerSize;
    uint16_t mainSize = ReadLittle16(main + 5);
    if (main[2] != kMainBlock || mainSize < kMainHeaderSize) return kFailed;
    archive->flags = ReadLittle16(main + 3);

    // Positions are 64-bit: header sizes and 32-bit added sizes cannot wrap
    // them. A file's packed size may be 64-bit, so data that runs past the
    // end stops the walk (the entry stays, to be reported as truncated).
    uint64_t position = kMarkerSize + static_cast<uint64_t>(mainSize);
    while (position + kBlockHeaderSize <= size) {
        const uint8_t* h = data + position;
        uint8_t type = h[2];
        uint16_t flags = ReadLittle16(h + 3);
        uint64_t headerSize = ReadLittle16(h + 5);
        if (headerSize < kBlockHeaderSize || position + headerSize > size) break;
        if (type == kEndBlock) break;
        uint64_t next = position + headerSize;
        if (type == kFileBlock) {
            if (headerSize < kFileHeaderSize) break;
            Entry entry;
            if (!ReadFileHeader(h, static_cast<size_t>(headerSize), &entry)) break;
            entry.headerOffset = static_cast<size_t>(position);
            entry.dataOffset = static_cast<size_t>(next);
            const bool dataFits = entry.packedSize <= size - next;
            next += entry.packedSize;
            archive->entries.push_back(std::move(entry));
            if (!dataFits) break;
        } else if (flags & kBlockHasData) {
            if (headerSize < kBlockHeaderSize + 4) break;
            next += ReadLittle32(h + kBlockHeaderSize);
        }
        position = next;
    }
    return kOk;
}

int ExtractEntries(const uint8_t* data, size_t size, Archive* archive, const char* archiveName) {
    Rar2Decoder decoder;
    int result = kOk;
    for (Entry& entry : archive->entries) {
        entry.content.reset();
        entry.state = CheckEntry(entry, size);
        if (entry.state == EntryState::kListed) entry.state = ExtractEntry(data, entry, decoder);
        if (entry.state == EntryState::kDirectory || entry.state == EntryState::kExtracted) continue;
        // The window now lacks this entry's data (a stored entry never enters it).
        if (!entry.IsStored()) decoder.BreakSolidChain();
        LogWarning("Файл [%s] архива [%s] не распакован: %s.", entry.name.c_str(), archiveName,
                   DescribeState(entry.state));
        if (entry.state == EntryState::kOutOfMemory) result = kOutOfMemory;
    }
    return result;
}

int ReadArchive(const uint8_t* data, size_t size, Archive* archive, const char* archiveName) {
    try {
        if (ListArchive(data, size, archive) != kOk) {
            LogError("Файл [%s] не является архивом RAR.", archiveName);
            return kFailed;
        }
        return ExtractEntries(data, size, archive, archiveName);
    } catch (const std::bad_alloc&) {
        archive->entries.clear();
        LogError("Недостаточно памяти для чтения архива [%s].", archiveName);
        return kOutOfMemory;
    }
}

const char* DescribeState(EntryState state) {
    switch (state) {
        case EntryState::kListed: return "не извлекался";
        case EntryState::kExtracted: return "распакован";
        case EntryState::kDirectory: return "директория";
        case EntryState::kEncrypted: return "файл зашифрован";
        case EntryState::kUnsupportedVersion: return "неподдерживаемая версия сжатия";
        case EntryState::kSplit: return "файл продолжается в другом томе";
        case EntryState::kTruncated: return "архив обрывается внутри данных файла";
        case EntryState::kBadSize: return "недопустимый размер в заголовке";
        case EntryState::kBadData: return "сжатые данные повреждены";
        case EntryState::kCrcMismatch: return "не совпадает контрольная сумма";
        case EntryState::kOutOfMemory: return "недостаточно памяти";
    }
    return "";
}

}  // namespace zav::rar2
