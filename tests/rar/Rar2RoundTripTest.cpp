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
#include "tests/rar/GeneratedTree.h"
#include "tests/rar/TestFiles.h"
#include "tools/rar2pack/PackTree.h"

namespace zav::rar2 {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using Tree = test::FileTree;

fs::path MakeTempDir(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / ("zav-rar2-" + name + "-" + std::to_string(std::random_device()()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
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
        tree_ = new Tree(test::MakePackerTestTree());
        source_ = new fs::path(MakeTempDir("source"));
        ASSERT_TRUE(test::WriteFileTree(*tree_, source_->u8string()));
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
