#include "bench/BenchSupport.h"

#include <cstdlib>
#include <filesystem>
#include <random>

#include "tests/rar/GeneratedTree.h"
#include "tools/rar2pack/ArchiveWriter.h"

namespace zav::bench {

namespace fs = std::filesystem;

std::string MakeTempDir(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / ("zav-bench-" + name + "-" + std::to_string(std::random_device()()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.u8string();
}

void RemoveTree(const std::string& path) {
    std::error_code error;
    fs::remove_all(fs::u8path(path), error);
}

int RunTimed(const std::string& command, double* seconds) {
    auto start = std::chrono::steady_clock::now();
    int status = std::system(command.c_str());
    *seconds = Seconds(start);
    return status;
}

Bytes GeneratedArchive(size_t megabytes, bool solid, uint64_t* unpackedBytes) {
    rar2::ArchiveWriter::Options options;
    options.solid = solid;
    rar2::ArchiveWriter writer(options);
    *unpackedBytes = 0;
    for (unsigned seed = 1; *unpackedBytes < megabytes << 20; ++seed) {
        for (const auto& [name, content] : test::MakePackerTestTree(seed)) {
            if (content.empty()) continue;  // empty files would split a solid stream; see ArrangeForArchive
            std::string archiveName = "set" + std::to_string(seed) + "\\" + name;
            for (char& c : archiveName)
                if (c == '/') c = '\\';
            writer.AddFile(archiveName, content.data(), content.size());
            *unpackedBytes += content.size();
        }
    }
    return writer.Bytes();
}

}  // namespace zav::bench
