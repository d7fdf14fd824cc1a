// imgconv IN OUT: decodes IN with the picture format chosen by its extension
// and writes OUT in the format chosen by its extension. OUT ending in ".rgba"
// receives the raw pixel block instead (rows bottom first, as the engine
// stores them). Exit status: 0 success, the codec's result on failure
// (1 failure, 2 out of memory, 3 unsupported pixel format or no codec for the
// extension), 1 when a file cannot be read or written, 64 on wrong usage.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/PictureFormats.h"
#include "engine/platform/Platform.h"

namespace {

using namespace zav;

constexpr int kUsageError = 64;

// Prints the engine's warnings and errors (the JPEG library's messages) to
// stderr as UTF-8.
class StderrOutput : public MessageOutput {
public:
    StderrOutput() : MessageOutput("stderr") {}
    void Print(int level, const String& text) override {
        if (level == kLogInfo) return;
        std::fprintf(stderr, "%s%s\n", LogLevelPrefix(level), platform::CodePageToUtf8(text.CStr()).c_str());
    }
};

const char* ExtensionOf(const char* path) {
    const char* slash = std::strrchr(path, '/');
    const char* name = slash ? slash + 1 : path;
    const char* dot = std::strrchr(name, '.');
    return dot ? dot + 1 : "";
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
    std::FILE* file = platform::OpenFile(path, "rb");
    if (!file) return false;
    uint8_t chunk[65536];
    size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + count);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool WriteWholeFile(const char* path, const uint8_t* data, size_t size) {
    std::FILE* file = platform::OpenFile(path, "wb");
    if (!file) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: imgconv IN OUT  (BMP, TGA, JPG, CUBE; OUT may also be .rgba)\n");
        return kUsageError;
    }
    const char* inPath = argv[1];
    const char* outPath = argv[2];
    Ref<StderrOutput> log(new StderrOutput);
    RegisterMessageOutput(log.Get());

    const PictureFormat* inFormat = FindPictureFormat(ExtensionOf(inPath));
    if (!inFormat) {
        std::fprintf(stderr, "imgconv: no codec for %s\n", inPath);
        return kNotFound;
    }
    const bool raw = std::strcmp(ExtensionOf(outPath), "rgba") == 0;
    const PictureFormat* outFormat = raw ? nullptr : FindPictureFormat(ExtensionOf(outPath));
    if (!raw && !outFormat) {
        std::fprintf(stderr, "imgconv: no codec for %s\n", outPath);
        return kNotFound;
    }

    std::vector<uint8_t> input;
    if (!ReadWholeFile(inPath, input)) {
        std::fprintf(stderr, "imgconv: cannot read %s\n", inPath);
        return kFailed;
    }
    Picture picture;
    if (int result = inFormat->decode(input.data(), input.size(), picture, kMaxPictureBytes)) {
        std::fprintf(stderr, "imgconv: %s cannot decode %s (%d)\n", inFormat->codecName, inPath, result);
        return result;
    }

    ByteBlock output;
    const uint8_t* data = picture.pixels.Data();
    size_t size = picture.pixels.Size();
    if (!raw) {
        if (int result = outFormat->encode(picture.View(), output)) {
            std::fprintf(stderr, "imgconv: %s cannot encode %s (%d)\n", outFormat->codecName, outPath, result);
            return result;
        }
        data = output.Data();
        size = output.Size();
    }
    if (!WriteWholeFile(outPath, data, size)) {
        std::fprintf(stderr, "imgconv: cannot write %s\n", outPath);
        return kFailed;
    }
    return kOk;
}
