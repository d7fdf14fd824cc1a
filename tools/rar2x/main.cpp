// rar2x ARCHIVE OUTDIR
// Mounts ARCHIVE (any file name) through the engine's file manager and its
// RAR 2.0 archive codec, as the screensaver mounts its media, and writes
// every file of the mounted tree under OUTDIR. One line per entry on stdout;
// the engine's warnings and errors on stderr. Exit status: 0 when the archive
// mounted and every file with content was written; the mount's result code
// (1 not an archive, 2 out of memory) when it does not mount; 1 when ARCHIVE
// cannot be read or a file cannot be written; 64 on wrong usage.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/Directory.h"
#include "engine/files/File.h"
#include "engine/files/FileManager.h"
#include "engine/platform/Platform.h"
#include "tools/EngineSession.h"

namespace {

using namespace zav;
namespace fs = std::filesystem;

constexpr int kUsageError = 64;
// The resource the archive is offered under, as the executable offers its own.
constexpr int kArchiveResource = 1;

// A name that stays inside the folder it is written to: one path component,
// neither "." nor "..". Names from the tree hold no backslash.
bool IsSafeName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos;
}

// The name the archive is mounted under: its file name with the codec's
// extension, whatever extension it had.
String MountName(const std::string& archivePath) {
    fs::path name = fs::u8path(archivePath).filename();
    name.replace_extension(".rar2");
    return String(platform::Utf8ToCodePage(name.u8string().c_str()).c_str());
}

class Extractor {
public:
    explicit Extractor(const fs::path& outDir) : outDir_(outDir) {}

    // Writes the files of `directory` and its subdirectories; `prefix` is its
    // path below the mounted archive ("" or ending with "/").
    void Extract(Directory* directory, const std::string& prefix) {
        for (int32_t i = 0; i < directory->GetFileCount(); ++i) ExtractFile(directory->GetFile(i), prefix);
        for (int32_t i = 0; i < directory->GetDirectoryCount(); ++i) {
            Directory* sub = directory->GetSubdirectory(i);
            std::string name = platform::CodePageToUtf8(sub->GetName().CStr());
            if (!IsSafeName(name)) {
                std::printf("refused    %s%s/ (unsafe name, contents not written)\n", prefix.c_str(), name.c_str());
                continue;
            }
            std::string path = prefix + name + "/";
            std::error_code error;
            fs::create_directories(outDir_ / fs::u8path(path), error);
            if (error) {
                std::printf("failed     %s (%s)\n", path.c_str(), error.message().c_str());
                failed_ = true;
                continue;
            }
            std::printf("directory  %s\n", path.c_str());
            Extract(sub, path);
        }
    }

    bool Failed() const { return failed_; }

private:
    void ExtractFile(File* file, const std::string& prefix) {
        std::string name = platform::CodePageToUtf8(file->GetName().CStr());
        std::string path = prefix + name;
        if (!IsSafeName(name)) {
            std::printf("refused    %s (unsafe name)\n", path.c_str());
            return;
        }
        if (file->Open(kFileRead) != kOk) {
            std::printf("no content %s (not written)\n", path.c_str());
            return;
        }
        std::ofstream out(outDir_ / fs::u8path(path), std::ios::binary | std::ios::trunc);
        out.write(file->GetData(), file->GetSize());
        out.close();
        if (out) {
            std::printf("written    %s (%d bytes)\n", path.c_str(), file->GetSize());
        } else {
            std::printf("failed     %s (cannot write)\n", path.c_str());
            failed_ = true;
        }
        file->Close();
    }

    fs::path outDir_;
    bool failed_ = false;
};

int Run(const std::string& archivePath, const fs::path& outDir) {
    std::ifstream in(fs::u8path(archivePath), std::ios::binary);
    std::vector<char> archive;
    if (in) archive.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad()) {
        std::fprintf(stderr, "rar2x: cannot read %s\n", archivePath.c_str());
        return kFailed;
    }
    String mountName = MountName(archivePath);
    platform::RegisterBlob("MEDIADATA", kArchiveResource, archive.data(), archive.size());
    int mounted = MountResourceArchive(kArchiveResource, mountName, String());
    platform::UnregisterBlob("MEDIADATA", kArchiveResource);
    Directory* top = mounted == kOk ? GetRoot()->FindSubdirectory(mountName) : nullptr;
    if (!top) {
        std::fprintf(stderr, "rar2x: %s does not mount\n", archivePath.c_str());
        return mounted != kOk ? mounted : kFailed;
    }
    std::error_code error;
    fs::create_directories(outDir, error);
    if (error) {
        std::fprintf(stderr, "rar2x: cannot create %s: %s\n", outDir.u8string().c_str(), error.message().c_str());
        return kFailed;
    }
    Extractor extractor(outDir);
    extractor.Extract(top, "");
    return extractor.Failed() ? kFailed : kOk;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: rar2x ARCHIVE OUTDIR\n");
        return kUsageError;
    }
    tools::EngineSession engine({"RAR2FileCodec"});
    return engine.Started() ? Run(argv[1], fs::u8path(argv[2])) : kFailed;
}
