#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zav::test {

// One row of the reference archives' manifest.tsv.
struct ManifestRow {
    std::string archive;
    std::string entry;  // '/' separators, UTF-8
    int unpackVersion = 0;
    int method = 0;
    bool isDirectory = false;
    uint64_t size = 0;
    uint32_t crc = 0;
    bool hasReference = false;  // expected/ holds its content
};

// Every row; empty when the reference archives are absent.
std::vector<ManifestRow> ReadManifest();

// The first volume of a multi-volume set: its entries continue in files the
// reader is not given.
extern const char kMultiVolumeArchive[];

// Whether the reader must produce the reference content: RAR 2.0 data or a
// stored entry of an older version, neither encrypted nor split.
bool MustExtract(const ManifestRow& row);

// The archive's file name without ".rar".
std::string ArchiveStem(const std::string& archive);
// The file the official extractor wrote for the row.
std::string ExpectedContentPath(const ManifestRow& row);
// The entry's name as the reader gives it: backslashes, Windows-1251.
std::string ReaderEntryName(const std::string& manifestName);

}  // namespace zav::test
