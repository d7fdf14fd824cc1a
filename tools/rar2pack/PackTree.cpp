#include "tools/rar2pack/PackTree.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "engine/platform/Platform.h"

namespace zav::rar2 {

namespace fs = std::filesystem;

namespace {

std::string Utf8(const fs::path& path) {
    auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

int64_t ModifiedSeconds(const fs::path& path) {
    std::error_code error;
    auto time = fs::last_write_time(path, error);
    if (error) return 0;
    auto system = std::chrono::time_point_cast<std::chrono::seconds>(
        time - fs::file_time_type::clock::now() + std::chrono::system_clock::now());
    return system.time_since_epoch().count();
}

bool ListDirectory(const fs::path& directory, const std::string& prefix, std::vector<PackItem>* items) {
    std::error_code error;
    std::vector<std::pair<std::string, fs::path>> children;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error))
        children.emplace_back(Utf8(it->path().filename()), it->path());
    if (error) {
        std::fprintf(stderr, "rar2pack: cannot read %s: %s\n", Utf8(directory).c_str(), error.message().c_str());
        return false;
    }
    std::sort(children.begin(), children.end());
    for (const auto& [name, path] : children) {
        PackItem item;
        item.archiveName = prefix.empty() ? name : prefix + "\\" + name;
        item.diskPath = Utf8(path);
        item.modified = ModifiedSeconds(path);
        fs::file_status status = fs::status(path, error);
        if (!error && fs::is_directory(status)) {
            item.directory = true;
            items->push_back(item);
            if (!ListDirectory(path, item.archiveName, items)) return false;
        } else if (!error && fs::is_regular_file(status)) {
            item.size = fs::file_size(path, error);
            items->push_back(item);
        } else {
            std::fprintf(stderr, "rar2pack: skipping %s (not a regular file)\n", item.diskPath.c_str());
        }
    }
    return true;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>* bytes) {
    std::FILE* file = platform::OpenFile(path.c_str(), "rb");
    if (!file) return false;
    bytes->clear();
    uint8_t buffer[1 << 16];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes->insert(bytes->end(), buffer, buffer + got);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

}  // namespace

bool ListPackTree(const std::string& root, std::vector<PackItem>* items) {
    items->clear();
    std::error_code error;
    fs::path path = fs::u8path(root);
    if (!fs::is_directory(path, error)) {
        std::fprintf(stderr, "rar2pack: %s is not a directory\n", root.c_str());
        return false;
    }
    return ListDirectory(path, "", items);
}

void ArrangeForArchive(std::vector<PackItem>* items) {
    auto rank = [](const PackItem& item) { return item.directory ? 0 : item.size == 0 ? 1 : 2; };
    std::stable_sort(items->begin(), items->end(),
                     [&](const PackItem& a, const PackItem& b) { return rank(a) < rank(b); });
}

bool PackTree(const std::string& root, const ArchiveWriter::Options& options, bool fileTimes,
              std::vector<uint8_t>* archive, PackSummary* summary) {
    std::vector<PackItem> items;
    if (!ListPackTree(root, &items)) return false;
    ArrangeForArchive(&items);
    ArchiveWriter writer(options);
    *summary = PackSummary();
    std::vector<uint8_t> data;
    for (const PackItem& item : items) {
        uint32_t time = fileTimes ? DosTimeFromUnix(item.modified) : ArchiveWriter::kFixedDosTime;
        if (item.directory) {
            writer.AddDirectory(item.archiveName, time);
            ++summary->directories;
            continue;
        }
        if (!ReadFile(item.diskPath, &data)) {
            std::fprintf(stderr, "rar2pack: cannot read %s\n", item.diskPath.c_str());
            return false;
        }
        if (!writer.AddFile(item.archiveName, data.data(), data.size(), time)) {
            std::fprintf(stderr, "rar2pack: %s does not fit in a RAR 2.0 archive\n", item.diskPath.c_str());
            return false;
        }
        ++summary->files;
        summary->bytes += data.size();
    }
    *archive = writer.Bytes();
    return true;
}

}  // namespace zav::rar2
