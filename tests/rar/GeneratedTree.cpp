#include "tests/rar/GeneratedTree.h"

#include <filesystem>
#include <random>

#include "tests/rar/TestFiles.h"

namespace zav::test {

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Text(std::mt19937& random, size_t size) {
    static const char* const kWords[] = {"harbor", "night", "light", "water", "stone", "ship", "lantern", "wave",
                                         "the", "a", "of", "and", "under", "over", "slowly", "\n"};
    std::string text;
    while (text.size() < size) {
        text += kWords[random() % 16];
        text += ' ';
    }
    return Bytes(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size));
}

Bytes Noise(std::mt19937& random, size_t size) {
    Bytes bytes(size);
    for (unsigned char& b : bytes) b = static_cast<unsigned char>(random());
    return bytes;
}

}  // namespace

FileTree MakePackerTestTree(unsigned seed) {
    std::mt19937 random(seed);
    FileTree tree;
    tree["readme.txt"] = Text(random, 60000);
    tree["noise.bin"] = Noise(random, 70000);
    Bytes block = Noise(random, 1500);
    Bytes repeats;
    for (int i = 0; i < 300; ++i) repeats.insert(repeats.end(), block.begin(), block.end());
    repeats.insert(repeats.end(), 100000, 'a');
    tree["data/repeats.bin"] = repeats;
    Bytes gradient;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            gradient.push_back(static_cast<unsigned char>(x));
            gradient.push_back(static_cast<unsigned char>(y));
            gradient.push_back(static_cast<unsigned char>((x + y) / 2 + random() % 3));
        }
    tree["data/images/gradient.raw"] = gradient;
    tree["data/images/empty.raw"] = {};
    tree["empty.txt"] = {};
    tree["data/deep/er/still/deeper.txt"] = Text(random, 3000);
    tree[u8"Текстуры/небо.txt"] = Text(random, 5000);  // a UTF-8 literal, whatever the execution character set
    Bytes large = Text(random, 3 << 20);
    Bytes tail = Noise(random, 1 << 20);
    large.insert(large.end(), tail.begin(), tail.end());
    tree["large.bin"] = large;
    return tree;
}

bool WriteFileTree(const FileTree& tree, const std::string& root) {
    namespace fs = std::filesystem;
    for (const auto& [name, content] : tree) {
        fs::path path = fs::u8path(root) / fs::u8path(name);
        std::error_code error;
        fs::create_directories(path.parent_path(), error);
        if (error || !WriteWholeFile(path.u8string(), content)) return false;
    }
    return true;
}

}  // namespace zav::test
