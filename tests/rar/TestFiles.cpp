#include "tests/rar/TestFiles.h"

#include <cstdio>
#include <cstdlib>

#include "engine/platform/Platform.h"

namespace zav::test {

std::string SourceDir() {
    const char* root = std::getenv("ZAV_SOURCE_DIR");
    return root && *root ? root : ".";
}

std::string Rar2TestDataDir() { return SourceDir() + "/../shared/testdata/rar2"; }

bool ReadWholeFile(const std::string& utf8Path, std::vector<unsigned char>* bytes) {
    std::FILE* file = platform::OpenFile(utf8Path.c_str(), "rb");
    if (!file) return false;
    bytes->clear();
    unsigned char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes->insert(bytes->end(), buffer, buffer + got);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool WriteWholeFile(const std::string& utf8Path, const std::vector<unsigned char>& bytes) {
    std::FILE* file = platform::OpenFile(utf8Path.c_str(), "wb");
    if (!file) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace zav::test
