// Archive size and packing speed of the RAR 2.0 packer on a mixed media-like
// corpus (the packer's generated test tree and the reference contents under
// the RAR 2.0 test data), against gzip -6 of the same files.
//   rar2_pack_bench [REFERENCE_DIR]
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/BenchSupport.h"
#include "tests/rar/GeneratedTree.h"
#include "tests/rar/TestFiles.h"
#include "tools/rar2pack/PackTree.h"

namespace {

namespace fs = std::filesystem;

// Bytes a shell pipeline prints to its standard output.
uint64_t OutputSize(const std::string& command) {
    std::FILE* pipe = popen((command + " | wc -c").c_str(), "r");
    if (!pipe) return 0;
    unsigned long long size = 0;
    if (std::fscanf(pipe, "%llu", &size) != 1) size = 0;
    pclose(pipe);
    return size;
}

}  // namespace

int main(int argc, char** argv) {
    std::string reference = argc > 1 ? argv[1] : zav::test::Rar2TestDataDir();
    std::string corpus = zav::bench::MakeTempDir("pack");
    if (!zav::test::WriteFileTree(zav::test::MakePackerTestTree(), corpus + "/generated")) return 1;
    std::error_code error;
    fs::copy(fs::u8path(reference + "/expected"), fs::u8path(corpus + "/expected"), fs::copy_options::recursive, error);
    if (error) std::fprintf(stderr, "reference contents not copied (%s); generated tree only\n", error.message().c_str());

    uint64_t perFileGzip = 0;
    size_t files = 0;
    for (const auto& item : fs::recursive_directory_iterator(fs::u8path(corpus))) {
        if (!item.is_regular_file()) continue;
        perFileGzip += OutputSize("gzip -6 -c '" + item.path().u8string() + "'");
        ++files;
    }
    uint64_t tarGzip = OutputSize("tar -cf - -C '" + corpus + "' . | gzip -6 -c");

    std::printf("corpus: %zu files\n", files);
    std::printf("%-16s %12s %12s %10s %14s\n", "archive", "input", "archive", "pack MB/s", "vs gzip -6");
    for (bool solid : {false, true}) {
        zav::rar2::ArchiveWriter::Options options;
        options.solid = solid;
        std::vector<uint8_t> archive;
        zav::rar2::PackSummary summary;
        auto start = std::chrono::steady_clock::now();
        if (!zav::rar2::PackTree(corpus, options, false, &archive, &summary)) return 1;
        double seconds = zav::bench::Seconds(start);
        uint64_t gzip = solid ? tarGzip : perFileGzip;
        std::printf("%-16s %12llu %12zu %10.1f %13.1f%%  (gzip -6 %s: %llu)\n", solid ? "rar2pack --solid" : "rar2pack",
                    static_cast<unsigned long long>(summary.bytes), archive.size(), summary.bytes / seconds / 1e6,
                    100.0 * (static_cast<double>(archive.size()) / static_cast<double>(gzip) - 1.0),
                    solid ? "of a tar of the files" : "of each file", static_cast<unsigned long long>(gzip));
    }
    zav::bench::RemoveTree(corpus);
    return 0;
}
