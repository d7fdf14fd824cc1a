// imgconv IN OUT: decodes IN with the engine's image codec chosen by its
// extension and writes OUT with the codec chosen by its extension. OUT ending
// in ".rgba" receives the raw pixel block instead (rows bottom first, as the
// engine stores them). Exit status: 0 success, the codec's result on failure
// (1 failure, 2 out of memory, 3 unsupported pixel format or no codec for the
// extension), 1 when the engine cannot start or the raw file cannot be
// written, 64 on wrong usage.
#include <cstdio>
#include <cstring>

#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/File.h"
#include "engine/platform/Platform.h"
#include "engine/render/VolumeImage.h"
#include "tools/EngineSession.h"

namespace {

using namespace zav;

constexpr int kUsageError = 64;

bool EndsWith(const char* text, const char* suffix) {
    const size_t length = std::strlen(text), suffixLength = std::strlen(suffix);
    return length >= suffixLength && std::strcmp(text + length - suffixLength, suffix) == 0;
}

// Straight to disk: a file stream would first copy the whole block into its
// own buffer.
int WriteRaw(const char* path, const Image& image) {
    std::FILE* file = platform::OpenFile(path, "wb");
    if (!file) return kFailed;
    const size_t size = static_cast<size_t>(image.GetDataSize());
    const bool written = std::fwrite(image.GetPixels(), 1, size, file) == size;
    return std::fclose(file) == 0 && written ? kOk : kFailed;
}

int Convert(const char* inPath, const char* outPath) {
    // Disk files are named by their full path, in the engine's code page.
    File in(platform::Utf8ToCodePage(inPath).c_str());
    File out(platform::Utf8ToCodePage(outPath).c_str());
    ImageCodec* decoder = FindCodecForFile<ImageCodec>(&in);
    if (!decoder) {
        std::fprintf(stderr, "imgconv: no codec for %s\n", inPath);
        return kNotFound;
    }
    const bool raw = EndsWith(outPath, ".rgba");
    ImageCodec* encoder = raw ? nullptr : FindCodecForFile<ImageCodec>(&out);
    if (!raw && !encoder) {
        std::fprintf(stderr, "imgconv: no codec for %s\n", outPath);
        return kNotFound;
    }

    // A volume takes every picture: one slice, or the six faces of a cube map.
    Ref<VolumeImage> image(new VolumeImage());
    if (int result = decoder->DecodeImage(&in, image.Get())) {
        std::fprintf(stderr, "imgconv: %s cannot decode %s (%d)\n", decoder->GetName().CStr(), inPath, result);
        return result;
    }
    if (raw) {
        if (WriteRaw(outPath, *image) == kOk) return kOk;
        std::fprintf(stderr, "imgconv: cannot write %s\n", outPath);
        return kFailed;
    }
    if (int result = encoder->EncodeImage(&out, image.Get())) {
        std::fprintf(stderr, "imgconv: %s cannot encode %s (%d)\n", encoder->GetName().CStr(), outPath, result);
        return result;
    }
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: imgconv IN OUT  (BMP, TGA, JPG, CUBE; OUT may also be .rgba)\n");
        return kUsageError;
    }
    tools::EngineSession engine({"BMPImageCodec", "JPGImageCodec", "TGAImageCodec", "CUBEImageCodec"});
    return engine.Started() ? Convert(argv[1], argv[2]) : kFailed;
}
