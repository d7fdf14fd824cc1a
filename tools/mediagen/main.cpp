// mediagen OUTDIR: paints the pictures of the screensaver's CustomData
// archive and writes them through the engine's image codecs into OUTDIR
// (loading screen, its corner pieces, the clock characters in OUTDIR/Digits,
// the preview and the dialog pictures). The same bytes on every run.
// Exit status 0, 1 when a picture cannot be written, 64 on wrong usage.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/File.h"
#include "engine/platform/Platform.h"
#include "tools/EngineSession.h"
#include "tools/mediagen/Pictures.h"

namespace {

using namespace zav;
using mediagen::Canvas;

constexpr int kUsageError = 64;

// Writes the canvas with the codec that the path's extension selects.
bool Write(const std::string& path, const Canvas& canvas, int32_t format, const mediagen::Color& matte = {}) {
    Ref<Image> image = canvas.ToImage(format, matte);
    File file(platform::Utf8ToCodePage(path.c_str()).c_str());
    ImageCodec* codec = FindCodecForFile<ImageCodec>(&file);
    const int result = !image->GetPixels() ? kOutOfMemory : codec ? codec->EncodeImage(&file, image.Get()) : kNotFound;
    if (result != kOk) std::fprintf(stderr, "mediagen: cannot write %s (%d)\n", path.c_str(), result);
    return result == kOk;
}

bool WriteAll(const std::string& folder) {
    const std::string digits = folder + "/Digits";
    // An existing folder is no error; a file in the way is.
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::u8path(digits), error);
    if (error) {
        std::fprintf(stderr, "mediagen: cannot make %s (%s)\n", digits.c_str(), error.message().c_str());
        return false;
    }
    bool ok = Write(folder + "/preview.bmp", mediagen::PaintPreview(), RGB8) &&
              Write(folder + "/settings.bmp", mediagen::PaintSettingsPicture(), RGB8) &&
              Write(folder + "/logo.bmp", mediagen::PaintLogo(), RGB8) &&
              Write(folder + "/loader.jpg", mediagen::PaintLoadingScreen(), RGB8);

    const Canvas corner = mediagen::PaintLoadingCorner();
    const mediagen::Color gold = mediagen::Rgb(0xFFAE45, 0.0f);
    ok = ok && Write(folder + "/4loader_ld.tga", corner, RGBA8, gold) &&
         Write(folder + "/4loader_rd.tga", corner.Mirrored(true, false), RGBA8, gold) &&
         Write(folder + "/4loader_lu.tga", corner.Mirrored(false, true), RGBA8, gold) &&
         Write(folder + "/4loader_ru.tga", corner.Mirrored(true, true), RGBA8, gold);

    const struct {
        char character;
        const char* name;
    } characters[] = {{'0', "0"}, {'1', "1"}, {'2', "2"}, {'3', "3"}, {'4', "4"}, {'5', "5"},   {'6', "6"},
                      {'7', "7"}, {'8', "8"}, {'9', "9"}, {'a', "a"}, {'p', "p"}, {'m', "m"}, {'.', "dot"},
                      {':', "ddot"}};
    for (const auto& c : characters)
        ok = ok && Write(digits + "/digit_" + c.name + ".tga", mediagen::PaintClockCharacter(c.character), RGBA8,
                         mediagen::ClockMatte());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mediagen OUTDIR\n");
        return kUsageError;
    }
    tools::EngineSession engine({"BMPImageCodec", "JPGImageCodec", "TGAImageCodec"});
    return engine.Started() && WriteAll(argv[1]) ? 0 : 1;
}
