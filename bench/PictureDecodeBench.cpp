// Decode throughput of the picture formats, in megapixels per second, and for
// the same JPEG the throughput of the djpeg program and of imgconv as whole
// processes (start, read, decode, write the pixels). The pictures are made
// by ImageMagick's convert in a temporary folder.
//
//   picture_decode_bench [SECONDS_PER_FIGURE]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "engine/files/PictureFormats.h"

namespace {

using namespace zav;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// User and system time of the finished child processes so far.
double ChildProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

// Repeats `work` for at least `budget` seconds; returns seconds per call.
template <class Work>
double TimePerCall(double budget, Work work) {
    work();  // warm-up
    int calls = 0;
    const Clock::time_point start = Clock::now();
    do {
        if (!work()) return -1;
        ++calls;
    } while (Seconds(start) < budget);
    return Seconds(start) / calls;
}

void Report(const char* what, double megapixels, double secondsPerCall) {
    if (secondsPerCall <= 0)
        std::printf("%-34s failed\n", what);
    else
        std::printf("%-34s %8.1f MP/s  (%.2f ms per picture)\n", what, megapixels / secondsPerCall,
                    secondsPerCall * 1000);
}

}  // namespace

int main(int argc, char** argv) {
    const double budget = argc > 1 ? std::atof(argv[1]) : 3.0;
    char folderTemplate[] = "/tmp/zav-picture-bench-XXXXXX";
    if (!mkdtemp(folderTemplate)) return 1;
    const std::string dir = folderTemplate;
    std::string self = argv[0];
    const std::string imgconv = self.substr(0, self.rfind('/') + 1) + "imgconv";

    const int width = 2048, height = 1536, face = 512;
    std::printf("making pictures (%dx%d, cube faces %dx%d) in %s\n", width, height, face, face, dir.c_str());
    const std::string source = dir + "/source.ppm";
    bool made = Run("convert -size " + std::to_string(width) + "x" + std::to_string(height) +
                    " -seed 7 plasma:fractal -blur 0x1 " + source) &&
                Run("convert " + source + " -quality 90 " + dir + "/picture.jpg") &&
                Run("convert " + source + " -compress None BMP3:" + dir + "/picture.bmp") &&
                Run("convert " + source + " -compress None " + dir + "/picture.tga") &&
                Run("convert " + source + " -compress RLE " + dir + "/picture_rle.tga") &&
                Run("convert " + source + " -resize " + std::to_string(face) + "x" + std::to_string(face) +
                    "! -compress None " + dir + "/face.tga");
    if (!made) {
        std::fprintf(stderr, "convert failed; is ImageMagick installed?\n");
        return 1;
    }
    {
        std::ofstream cube(dir + "/picture.cube", std::ios::binary);
        const std::vector<uint8_t> faceFile = ReadFile(dir + "/face.tga");
        for (int i = 0; i < 6; ++i) cube.write(reinterpret_cast<const char*>(faceFile.data()), std::streamsize(faceFile.size()));
    }

    const double megapixels = width * double(height) / 1e6;
    const struct {
        const char* label;
        const char* file;
        int (*decode)(const uint8_t*, size_t, Picture&, uint64_t);
        double megapixels;
    } cases[] = {
        {"BMP 24-bit decode", "picture.bmp", DecodeBmp, megapixels},
        {"TGA 24-bit raw decode", "picture.tga", DecodeTga, megapixels},
        {"TGA 24-bit run-length decode", "picture_rle.tga", DecodeTga, megapixels},
        {"CUBE 6 x 512x512 decode", "picture.cube", DecodeCube, 6 * face * double(face) / 1e6},
        {"JPEG q90 4:2:0 decode", "picture.jpg", DecodeJpeg, megapixels},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> file = ReadFile(dir + "/" + c.file);
        Report(c.label, c.megapixels, TimePerCall(budget, [&] {
                   Picture picture;
                   return c.decode(file.data(), file.size(), picture, kMaxPictureBytes) == 0;
               }));
    }

    // Whole processes on the same JPEG, each writing the decoded pixels to a
    // file. On a shared machine the processor time they used is the steadier
    // figure, so it is printed too.
    const std::string jpeg = dir + "/picture.jpg";
    const struct {
        const char* label;
        std::string command;
    } processes[] = {
        {"djpeg process (to PPM file)", "djpeg -outfile " + dir + "/out.ppm " + jpeg},
        {"imgconv process (to .rgba file)", imgconv + " " + jpeg + " " + dir + "/out.rgba"},
    };
    for (const auto& process : processes) {
        int runs = 0;
        const double before = ChildProcessorSeconds();
        Report(process.label, megapixels, TimePerCall(budget, [&] {
                   ++runs;
                   return Run(process.command);
               }));
        std::printf("%-34s %8.2f ms processor time per run\n", "", (ChildProcessorSeconds() - before) * 1000 / runs);
    }

    Run("rm -rf " + dir);
    return 0;
}
