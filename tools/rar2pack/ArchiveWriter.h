#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/rar2pack/Rar2Encoder.h"

namespace zav::rar2 {

// Writes a RAR 2.0 archive in memory: the marker, the main header, then one
// file header per directory and file, each file followed by its packed data.
// Empty files are stored. In a solid archive the first compressed file
// starts the stream and every later one continues it; extractors that
// decode the stream across entries expect no entry without data inside it,
// so directories and empty files should be added before the first file
// with data (ArrangeForArchive does that).
class ArchiveWriter {
public:
    struct Options {
        bool store = false;  // method 0x30 for every file
        bool solid = false;  // one compressed stream through all files
    };

    // 2000-01-01 00:00:00 as a DOS date and time: the time of every entry
    // unless the caller gives one.
    static constexpr uint32_t kFixedDosTime = 0x28210000;

    explicit ArchiveWriter(const Options& options);
    explicit ArchiveWriter(const Options& options, const Rar2Encoder::Options& encoderOptions);

    // `name` is UTF-8 with backslashes between its parts.
    void AddDirectory(const std::string& name, uint32_t dosTime = kFixedDosTime);
    // False when the file cannot be stored in the format (2 GiB or more) or
    // the solid stream has grown too large.
    bool AddFile(const std::string& name, const uint8_t* data, size_t size, uint32_t dosTime = kFixedDosTime);

    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    void AddEntry(const std::string& name, uint16_t flags, uint8_t method, uint32_t attributes, uint32_t dosTime,
                  uint32_t crc, uint64_t unpackedSize, const std::vector<uint8_t>& packed);

    Options options_;
    Rar2Encoder encoder_;
    bool solidStarted_ = false;  // a file has opened the solid stream
    std::vector<uint8_t> bytes_;
};

// A DOS date and time (local fields) from a POSIX time.
uint32_t DosTimeFromUnix(int64_t seconds);

}  // namespace zav::rar2
