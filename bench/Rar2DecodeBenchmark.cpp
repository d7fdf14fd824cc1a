// Decode throughput (MB/s of unpacked output) for the reference archives and
// for generated archives: the RAR 2.0 reader in process, and as whole
// processes the rar2x tool (mount through the file manager and write every
// file) and Debian's unar extracting the same archives.
//   rar2_decode_bench [REFERENCE_DIR]
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "engine/files/rar/Rar2Archive.h"
#include "tests/rar/TestFiles.h"

namespace {

using zav::bench::Bytes;

struct Input {
    std::string name;
    Bytes archive;
};

// Unpacked bytes the reader extracts from `archive`.
uint64_t ExtractedBytes(const Bytes& archive) {
    zav::rar2::Archive contents;
    zav::rar2::ReadArchive(archive.data(), archive.size(), &contents, "bench");
    uint64_t total = 0;
    for (const zav::rar2::Entry& entry : contents.entries) total += entry.ContentSize();
    return total;
}

// Repeats the extraction for at least half a second; MB/s of output.
double ReaderThroughput(const Bytes& archive, uint64_t bytes) {
    int runs = 0;
    auto start = std::chrono::steady_clock::now();
    double elapsed;
    do {
        zav::rar2::Archive contents;
        zav::rar2::ReadArchive(archive.data(), archive.size(), &contents, "bench");
        ++runs;
    } while ((elapsed = zav::bench::Seconds(start)) < 0.5);
    return static_cast<double>(bytes) * runs / elapsed / 1e6;
}

// The shell command that extracts an archive into a folder.
using ExtractCommand = std::function<std::string(const std::string& archive, const std::string& out)>;

// The best wall time of three runs of an extracting process, in seconds;
// 0 when it fails.
double ProcessSeconds(const ExtractCommand& command, const std::string& archive, const std::string& work) {
    double best = 0;
    for (int run = 0; run < 3; ++run) {
        std::string out = work + "/out" + std::to_string(run);
        double seconds;
        int status = zav::bench::RunTimed(command(archive, out) + " >/dev/null 2>&1", &seconds);
        zav::bench::RemoveTree(out);
        if (status != 0) return 0;
        if (best == 0 || seconds < best) best = seconds;
    }
    return best;
}

// "milliseconds  MB/s" of a process run, or "fails".
std::string ProcessFigures(double seconds, uint64_t bytes) {
    char text[48];
    if (seconds > 0)
        std::snprintf(text, sizeof text, "%8.1f %9.2f", seconds * 1e3, static_cast<double>(bytes) / seconds / 1e6);
    else
        std::snprintf(text, sizeof text, "%8s %9s", "fails", "-");
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    std::string reference = argc > 1 ? argv[1] : zav::test::Rar2TestDataDir();
    std::vector<Input> inputs;
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(reference, error))
        if (item.path().extension() == ".rar" && item.path().filename().u8string().find(".multi.") == std::string::npos)
            names.push_back(item.path().u8string());
    std::sort(names.begin(), names.end());
    for (const std::string& path : names) {
        Input input{std::filesystem::u8path(path).filename().u8string(), {}};
        if (zav::test::ReadWholeFile(path, &input.archive)) inputs.push_back(input);
    }
    uint64_t unpacked;
    inputs.push_back({"generated 48 MiB", zav::bench::GeneratedArchive(48, false, &unpacked)});
    inputs.push_back({"generated 48 MiB, solid", zav::bench::GeneratedArchive(48, true, &unpacked)});

    std::string work = zav::bench::MakeTempDir("decode");
    std::string file = work + "/input.rar";
    ExtractCommand rar2x = [](const std::string& archive, const std::string& out) {
        return std::string("'") + ZAV_RAR2X + "' '" + archive + "' '" + out + "'";
    };
    ExtractCommand unar = [](const std::string& archive, const std::string& out) {
        return "unar -q -f -o '" + out + "' '" + archive + "'";
    };
    std::printf("%-48s %9s %11s | %-18s | %-18s | %s\n", "", "", "in process", "rar2x process", "unar process",
                "unar time /");
    std::printf("%-48s %9s %11s | %8s %9s | %8s %9s | %s\n", "archive", "unpacked", "reader MB/s", "ms", "MB/s", "ms",
                "MB/s", "rar2x time");
    for (const Input& input : inputs) {
        uint64_t bytes = ExtractedBytes(input.archive);
        if (bytes == 0) continue;  // nothing the reader can extract
        if (!zav::test::WriteWholeFile(file, input.archive)) continue;
        double reader = ReaderThroughput(input.archive, bytes);
        double tool = ProcessSeconds(rar2x, file, work);
        double peer = ProcessSeconds(unar, file, work);
        char ratio[16] = "-";
        if (tool > 0 && peer > 0) std::snprintf(ratio, sizeof ratio, "%.1fx", peer / tool);
        std::printf("%-48s %9llu %11.1f | %s | %s | %s\n", input.name.c_str(), static_cast<unsigned long long>(bytes),
                    reader, ProcessFigures(tool, bytes).c_str(), ProcessFigures(peer, bytes).c_str(), ratio);
    }
    zav::bench::RemoveTree(work);
    return 0;
}
