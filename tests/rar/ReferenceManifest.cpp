#include "tests/rar/ReferenceManifest.h"

#include <sstream>

#include "engine/platform/Windows1251.h"
#include "tests/rar/TestFiles.h"

namespace zav::test {

const char kMultiVolumeArchive[] = "sharpcompress-Rar2.multi.rar";

std::vector<ManifestRow> ReadManifest() {
    std::vector<ManifestRow> rows;
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(Rar2TestDataDir() + "/manifest.tsv", &bytes)) return rows;
    std::istringstream lines(std::string(bytes.begin(), bytes.end()));
    std::string line;
    std::getline(lines, line);  // column names
    while (std::getline(lines, line)) {
        std::vector<std::string> cells;
        std::istringstream fields(line);
        std::string cell;
        while (std::getline(fields, cell, '\t')) cells.push_back(cell);
        if (cells.size() != 9) continue;
        ManifestRow row;
        row.archive = cells[0];
        row.entry = cells[1];
        row.unpackVersion = std::stoi(cells[2]);
        row.method = std::stoi(cells[3], nullptr, 16);
        row.isDirectory = cells[5] == "1";
        row.size = std::stoull(cells[6]);
        row.crc = static_cast<uint32_t>(std::stoul(cells[7], nullptr, 16));
        row.hasReference = cells[8] != "-";
        rows.push_back(row);
    }
    return rows;
}

bool MustExtract(const ManifestRow& row) {
    if (row.isDirectory || !row.hasReference) return false;
    if (row.archive == "rarfile-rar202-comment-psw.rar") return false;  // encrypted
    return row.unpackVersion == 20 || (row.method == 0x30 && row.unpackVersion >= 13 && row.unpackVersion <= 20);
}

std::string ArchiveStem(const std::string& archive) { return archive.substr(0, archive.size() - 4); }

std::string ExpectedContentPath(const ManifestRow& row) {
    return Rar2TestDataDir() + "/expected/" + ArchiveStem(row.archive) + "/" + row.entry;
}

std::string ReaderEntryName(const std::string& manifestName) {
    std::string name = platform::Utf8ToWindows1251(manifestName);
    for (char& c : name)
        if (c == '/') c = '\\';
    return name;
}

}  // namespace zav::test
