// rar2pack [--store] [--solid] [--file-times] OUTPUT DIR
// Packs the tree under DIR into the RAR 2.0 archive OUTPUT.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/platform/Platform.h"
#include "tools/rar2pack/PackTree.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: rar2pack [--store] [--solid] [--file-times] OUTPUT DIR\n"
                 "  --store       store files without compression\n"
                 "  --solid       compress all files as one stream\n"
                 "  --file-times  keep modification times (default: one fixed time, so equal trees give equal archives)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    zav::rar2::ArchiveWriter::Options options;
    bool fileTimes = false;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--store") == 0) options.store = true;
        else if (std::strcmp(argv[i], "--solid") == 0) options.solid = true;
        else if (std::strcmp(argv[i], "--file-times") == 0) fileTimes = true;
        else if (argv[i][0] == '-' && argv[i][1] != '\0') return Usage();
        else paths.push_back(argv[i]);
    }
    if (paths.size() != 2) return Usage();
    const std::string& output = paths[0];

    std::vector<uint8_t> archive;
    zav::rar2::PackSummary summary;
    if (!zav::rar2::PackTree(paths[1], options, fileTimes, &archive, &summary)) return 1;

    std::FILE* out = zav::platform::OpenFile(output.c_str(), "wb");
    bool written = out && std::fwrite(archive.data(), 1, archive.size(), out) == archive.size();
    if (out && std::fclose(out) != 0) written = false;
    if (!written) {
        std::fprintf(stderr, "rar2pack: cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("%s: %zu files, %zu directories, %llu bytes packed into %zu\n", output.c_str(), summary.files,
                summary.directories, static_cast<unsigned long long>(summary.bytes), archive.size());
    return 0;
}
