// soundgen [--test-scene | --media] OUTDIR: synthesises the screensaver's
// sounds and writes them as Ogg Vorbis files (libvorbis) under OUTDIR, by
// their archive paths: the test tones and the harbour's sounds; with
// --test-scene the test tones and the sound test scene as OUTDIR/Main.STR;
// with --media only the harbour's sounds, each with its length, peak and RMS
// on standard output. The same bytes on every run. Exit status 0, 1 when a
// file cannot be made, 64 on wrong usage.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/Result.h"
#include "engine/files/File.h"
#include "engine/files/SceneFile.h"
#include "engine/platform/Platform.h"
#include "tools/EngineSession.h"
#include "tools/soundgen/MediaSounds.h"
#include "tools/soundgen/SoundFiles.h"
#include "tools/soundgen/Synthesis.h"
#include "tools/soundgen/TestScene.h"

namespace {

using namespace zav;

bool WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool WriteVorbis(const std::filesystem::path& folder, const char* name, const soundgen::Sound& sound,
                 float quality = 0.6f, bool loop = false, size_t* size = nullptr) {
    std::vector<uint8_t> bytes;
    if (!soundgen::EncodeVorbis(sound, quality, bytes, loop) || !WriteBytes(folder / name, bytes)) {
        std::fprintf(stderr, "soundgen: cannot write %s\n", (folder / name).c_str());
        return false;
    }
    if (size) *size = bytes.size();
    return true;
}

bool WriteMediaSounds(const std::filesystem::path& folder) {
    bool ok = true;
    for (const soundgen::MediaSound& media : soundgen::kMediaSounds) {
        const soundgen::Sound sound = media.make();
        size_t size = 0;
        if (!WriteVorbis(folder, media.path, sound, media.quality, media.loop, &size)) {
            ok = false;
            continue;
        }
        std::printf("%s: %.3f s, %d channel(s), peak %.3f, RMS %.3f, %zu bytes\n", media.path,
                    double(sound.Frames()) / sound.rate, sound.channels, soundgen::Peak(sound),
                    soundgen::Rms(sound), size);
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const bool testScene = argc == 3 && std::strcmp(argv[1], "--test-scene") == 0;
    const bool mediaOnly = argc == 3 && std::strcmp(argv[1], "--media") == 0;
    if (argc != 2 && !testScene && !mediaOnly) {
        std::fprintf(stderr, "usage: soundgen [--test-scene | --media] OUTDIR\n");
        return 64;
    }
    const std::filesystem::path folder = argv[argc - 1];
    if (mediaOnly) return WriteMediaSounds(folder) ? 0 : 1;
    // The music of the tests: 440 Hz at half scale in both channels, two
    // seconds (880 whole periods, so the loop has no seam). The beacon: a
    // mono 1 kHz tone at 22.05 kHz, which the mixer resamples.
    bool ok = WriteVorbis(folder, soundgen::kMusicFile, soundgen::MakeTone(44100, 2, 2.0, 440.0, 0.5f, 0.5f));
    ok = WriteVorbis(folder, soundgen::kBeaconFile, soundgen::MakeTone(22050, 1, 1.0, 1000.0, 0.5f, 0.5f)) && ok;
    if (!testScene) return WriteMediaSounds(folder) && ok ? 0 : 1;
    if (!ok) return 1;

    tools::EngineSession engine({"STRSceneCodec"});
    if (!engine.Started()) return 1;
    Ref<SceneNode> scene = soundgen::BuildSoundTestScene();
    const std::string path = (folder / "Main.STR").string();
    File file(platform::Utf8ToCodePage(path.c_str()).c_str());
    const int result = SaveScene(&file, scene.Get());
    if (result != kOk) std::fprintf(stderr, "soundgen: cannot write %s (%d)\n", path.c_str(), result);
    return result == kOk ? 0 : 1;
}
