// Packs generated trees with the packer and checks that the reader and two
// independent extractors (unar, and node-unrar-js: the official extractor
// compiled to WebAssembly) give back every file byte for byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/core/Result.h"
#include "engine/files/rar/Rar2Archive.h"
#include "engine/platform/Windows1251.h"
#include "tests/rar/TestFiles.h"
#include "tools/rar2pack/PackTree.h"

namespace zav::rar2 {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using Tree = std::map<std::string, Bytes>;  // UTF-8 path with '/' -> content

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

// Text, noise, long repeats, an image-like gradient, empty files, nested and
// non-ASCII names, and a 4 MiB file that wraps the 1 MiB window four times.
Tree MakeTree() {
    std::mt19937 random(20240607);
    Tree tree;
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

fs::path MakeTempDir(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / ("zav-rar2-" + name + "-" + std::to_string(std::random_device()()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void WriteTree(const Tree& tree, const fs::path& root) {
    for (const auto& [name, content] : tree) {
        fs::path path = root / fs::u8path(name);
        fs::create_directories(path.parent_path());
        ASSERT_TRUE(test::WriteWholeFile(path.u8string(), content)) << name;
    }
}

// Every regular file under `root` by its UTF-8 path with '/'.
Tree ReadTree(const fs::path& root) {
    Tree tree;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        if (!item.is_regular_file()) continue;
        std::string name = fs::relative(item.path(), root).generic_u8string();
        EXPECT_TRUE(test::ReadWholeFile(item.path().u8string(), &tree[name]));
    }
    return tree;
}

// The files as the reader extracts them, by the names of the tree.
Tree ReadWithReader(const Bytes& archive) {
    Archive contents;
    EXPECT_EQ(ReadArchive(archive.data(), archive.size(), &contents, "roundtrip.rar"), kOk);
    Tree tree;
    for (const Entry& entry : contents.entries) {
        if (entry.IsDirectory()) continue;
        std::string name = platform::Windows1251ToUtf8(entry.name);
        for (char& c : name)
            if (c == '\\') c = '/';
        EXPECT_TRUE(entry.HasContent()) << name << ": " << DescribeState(entry.state);
        tree[name] = entry.HasContent() ? Bytes(entry.content.get(), entry.content.get() + entry.ContentSize()) : Bytes();
    }
    return tree;
}

// Compares an extracted tree with the packed one, naming what differs.
void ExpectSameTree(const Tree& extracted, const Tree& packed) {
    for (const auto& [name, content] : packed) {
        auto found = extracted.find(name);
        if (found == extracted.end()) {
            ADD_FAILURE() << "missing: " << name;
        } else if (found->second != content) {
            ADD_FAILURE() << "different content: " << name << " (" << found->second.size() << " bytes, packed "
                          << content.size() << ")";
        }
    }
    for (const auto& item : extracted)
        if (packed.find(item.first) == packed.end()) ADD_FAILURE() << "unexpected: " << item.first;
}

bool HaveCommand(const std::string& check) { return std::system((check + " >/dev/null 2>&1").c_str()) == 0; }

class RoundTrip : public ::testing::TestWithParam<bool> {
protected:
    static void SetUpTestSuite() {
        tree_ = new Tree(MakeTree());
        source_ = new fs::path(MakeTempDir("source"));
        WriteTree(*tree_, *source_);
    }
    static void TearDownTestSuite() {
        fs::remove_all(*source_);
        delete source_;
        delete tree_;
    }
    void SetUp() override { work_ = MakeTempDir(GetParam() ? "solid" : "normal"); }
    void TearDown() override { fs::remove_all(work_); }

    // The archive of the tree in this test's mode, packed once.
    const Bytes& Archive() {
        Bytes& archive = archives_[GetParam()];
        if (archive.empty()) archive = Pack();
        return archive;
    }

    Bytes Pack() {
        ArchiveWriter::Options options;
        options.solid = GetParam();
        Bytes archive;
        PackSummary summary;
        EXPECT_TRUE(PackTree(source_->u8string(), options, false, &archive, &summary));
        EXPECT_EQ(summary.files, tree_->size());
        return archive;
    }

    static Tree* tree_;
    static fs::path* source_;
    static std::map<bool, Bytes> archives_;
    fs::path work_;
};

std::map<bool, Bytes> RoundTrip::archives_;

Tree* RoundTrip::tree_ = nullptr;
fs::path* RoundTrip::source_ = nullptr;

TEST_P(RoundTrip, TheReaderExtractsWhatWasPacked) { ExpectSameTree(ReadWithReader(Archive()), *tree_); }

TEST_P(RoundTrip, PackingIsDeterministic) {
    const Bytes& first = Archive();
    fs::last_write_time(*source_ / "readme.txt", fs::file_time_type::clock::now() - std::chrono::hours(48));
    EXPECT_TRUE(Pack() == first);
}

TEST_P(RoundTrip, UnarExtractsWhatWasPacked) {
    if (!HaveCommand("command -v unar")) GTEST_SKIP() << "unar is not installed (scripts/setup.sh installs it)";
    fs::path file = work_ / "archive.rar";
    ASSERT_TRUE(test::WriteWholeFile(file.u8string(), Archive()));
    fs::path out = work_ / "unar";
    std::string command = "unar -q -f -D -o '" + out.u8string() + "' '" + file.u8string() + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    ExpectSameTree(ReadTree(out), *tree_);
}

TEST_P(RoundTrip, NodeUnrarExtractsWhatWasPacked) {
    std::string modules = test::SourceDir() + "/build/node-peers/node_modules";
    if (!fs::exists(fs::u8path(modules + "/node-unrar-js/package.json")) || !HaveCommand("command -v node"))
        GTEST_SKIP() << "node-unrar-js is not installed in " << modules << " (scripts/setup.sh installs it)";
    fs::path file = work_ / "archive.rar";
    ASSERT_TRUE(test::WriteWholeFile(file.u8string(), Archive()));
    fs::path out = work_ / "unrar";
    std::string command = "NODE_PATH='" + modules + "' node '" + test::SourceDir() + "/tests/rar/unrar_extract.js' '" +
                          file.u8string() + "' '" + out.u8string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    ExpectSameTree(ReadTree(out), *tree_);
}

INSTANTIATE_TEST_SUITE_P(Packer, RoundTrip, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Solid" : "Normal"; });

}  // namespace
}  // namespace zav::rar2
