#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/rar2pack/ArchiveWriter.h"

namespace zav::rar2 {

// One entry to pack: a directory, or a file on disk.
struct PackItem {
    std::string archiveName;  // UTF-8, backslashes between parts
    std::string diskPath;
    bool directory = false;
    uint64_t size = 0;
    int64_t modified = 0;     // POSIX seconds
};

// Lists the tree under `root`: the names of each directory sorted by their
// bytes, a directory before its contents. Anything that is neither a regular
// file nor a directory is reported on stderr and left out. False (with a
// message on stderr) when the tree cannot be read.
bool ListPackTree(const std::string& root, std::vector<PackItem>* items);

// Puts every directory first, then the empty files, then the files with
// data, each group keeping its order; see ArchiveWriter.
void ArrangeForArchive(std::vector<PackItem>* items);

struct PackSummary {
    size_t files = 0;
    size_t directories = 0;
    uint64_t bytes = 0;
};

// Packs the tree under `root` into `archive`: listed, arranged, and with the
// fixed entry time unless `fileTimes`. False (with a message on stderr) when
// a file cannot be read or packed.
bool PackTree(const std::string& root, const ArchiveWriter::Options& options, bool fileTimes,
              std::vector<uint8_t>* archive, PackSummary* summary);

}  // namespace zav::rar2
