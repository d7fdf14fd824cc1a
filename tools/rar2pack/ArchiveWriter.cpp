#include "tools/rar2pack/ArchiveWriter.h"

#include <climits>
#include <ctime>

#include "engine/files/LittleEndian.h"
#include "engine/files/rar/Crc32.h"
#include "engine/files/rar/Rar2Format.h"
#include "engine/files/rar/Rar2Names.h"

namespace zav::rar2 {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.resize(out.size() + 2);
    PutLittle16(out.data() + out.size() - 2, static_cast<uint16_t>(value));
}
void Put32(std::vector<uint8_t>& out, uint32_t value) {
    out.resize(out.size() + 4);
    PutLittle32(out.data() + out.size() - 4, value);
}

// Fills in the header CRC: the low half of the CRC32 of the header after
// its CRC field.
void SealHeader(std::vector<uint8_t>& header) {
    uint32_t crc = Crc32(header.data() + 2, header.size() - 2);
    PutLittle16(header.data(), static_cast<uint16_t>(crc));
}

// Zero bytes after each compressed stream. Some extractors look up to 16
// bits past a stream's last code and refuse an entry whose data ends sooner;
// readers that follow the format stop at the last code and skip them (fewer
// than the five bytes that would announce tables for the next entry).
constexpr size_t kCompressedPadding = 2;

}  // namespace

ArchiveWriter::ArchiveWriter(const Options& options) : ArchiveWriter(options, Rar2Encoder::Options()) {}

ArchiveWriter::ArchiveWriter(const Options& options, const Rar2Encoder::Options& encoderOptions)
    : options_(options), encoder_(encoderOptions) {
    bytes_.assign(kMarker, kMarker + kMarkerSize);
    std::vector<uint8_t> main;
    Put16(main, 0);
    main.push_back(kMainBlock);
    Put16(main, options_.solid ? kArchiveSolid : 0);
    Put16(main, kMainHeaderSize);
    Put16(main, 0);  // reserved
    Put32(main, 0);  // reserved
    SealHeader(main);
    bytes_.insert(bytes_.end(), main.begin(), main.end());
}

void ArchiveWriter::AddEntry(const std::string& name, uint16_t flags, uint8_t method, uint32_t attributes,
                             uint32_t dosTime, uint32_t crc, uint64_t unpackedSize,
                             const std::vector<uint8_t>& packed) {
    std::string field;
    if (EncodeEntryName(name, &field)) flags |= kFileUnicodeName;
    std::vector<uint8_t> header;
    Put16(header, 0);
    header.push_back(kFileBlock);
    Put16(header, flags | kBlockHasData);
    Put16(header, static_cast<uint32_t>(kFileHeaderSize + field.size()));
    Put32(header, static_cast<uint32_t>(packed.size()));
    Put32(header, static_cast<uint32_t>(unpackedSize));
    header.push_back(kHostWin32);
    Put32(header, crc);
    Put32(header, dosTime);
    header.push_back(kUnpackVersion);
    header.push_back(method);
    Put16(header, static_cast<uint32_t>(field.size()));
    Put32(header, attributes);
    header.insert(header.end(), field.begin(), field.end());
    SealHeader(header);
    bytes_.insert(bytes_.end(), header.begin(), header.end());
    bytes_.insert(bytes_.end(), packed.begin(), packed.end());
}

void ArchiveWriter::AddDirectory(const std::string& name, uint32_t dosTime) {
    uint16_t flags = kFileWindowMask;  // all window bits: a directory
    if (solidStarted_) flags |= kFileSolid;
    AddEntry(name, flags, kMethodStored, kDosDirectoryAttribute, dosTime, 0, 0, {});
}

bool ArchiveWriter::AddFile(const std::string& name, const uint8_t* data, size_t size, uint32_t dosTime) {
    if (size > INT32_MAX) return false;
    uint32_t crc = Crc32(data, size);
    uint16_t flags = kFileWindow1M;
    std::vector<uint8_t> packed;
    bool compress = !options_.store && size > 0;
    if (compress) {
        // In a solid archive every file after the first continues the stream
        // and is compressed even when it does not shrink.
        bool continues = options_.solid && solidStarted_;
        if (!encoder_.Encode(data, size, continues, &packed)) return false;
        if (continues) flags |= kFileSolid;
        if (options_.solid) solidStarted_ = true;
        compress = options_.solid || packed.size() + kCompressedPadding < size;
    }
    if (compress) {
        packed.insert(packed.end(), kCompressedPadding, 0);
    } else {
        packed.assign(data, data + size);
    }
    AddEntry(name, flags, compress ? kMethodNormal : kMethodStored, kDosArchiveAttribute, dosTime, crc, size, packed);
    return true;
}

uint32_t DosTimeFromUnix(int64_t seconds) {
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &t);
#else
    localtime_r(&t, &parts);
#endif
    int year = parts.tm_year + 1900;
    if (year < 1980) return 0x00210000;  // 1980-01-01, the earliest DOS date
    uint32_t date = static_cast<uint32_t>(((year - 1980) << 9) | ((parts.tm_mon + 1) << 5) | parts.tm_mday);
    uint32_t time = static_cast<uint32_t>((parts.tm_hour << 11) | (parts.tm_min << 5) | (parts.tm_sec / 2));
    return date << 16 | time;
}

}  // namespace zav::rar2
