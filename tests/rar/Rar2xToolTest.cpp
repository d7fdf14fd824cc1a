// The rar2x tool as a process: what it writes, what it reports, its exit
// status.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/rar/ReferenceManifest.h"
#include "tests/rar/TestFiles.h"
#include "tools/rar2pack/ArchiveWriter.h"

namespace zav {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status = -1;
    std::vector<std::string> lines;  // stdout
};

class Rar2x : public ::testing::Test {
protected:
    void SetUp() override {
        work_ = fs::temp_directory_path() / ("zav-rar2x-" + std::to_string(std::random_device()()));
        fs::create_directories(work_);
    }
    void TearDown() override { fs::remove_all(work_); }

    ToolRun Run(const std::string& archive, const fs::path& out) {
        return RunCommand("'" + archive + "' '" + out.u8string() + "'");
    }
    static ToolRun RunCommand(const std::string& arguments) {
        ToolRun run;
        std::string command = std::string("'") + ZAV_RAR2X + "' " + arguments + " 2>/dev/null";
        std::FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return run;
        std::string text;
        char buffer[4096];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, got);
        int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
        return run;
    }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::string path = (work_ / name).u8string();
        EXPECT_TRUE(test::WriteWholeFile(path, bytes));
        return path;
    }

    static std::string Content(const fs::path& path) {
        std::vector<unsigned char> bytes;
        return test::ReadWholeFile(path.u8string(), &bytes) ? std::string(bytes.begin(), bytes.end()) : "<missing>";
    }

    fs::path work_;
};

bool HasLine(const ToolRun& run, const std::string& line) {
    for (const std::string& each : run.lines)
        if (each == line) return true;
    return false;
}

TEST_F(Rar2x, WritesTheReferenceTreeWhateverTheArchiveIsCalled) {
    std::string archive = test::Rar2TestDataDir() + "/sharpcompress-Rar2.rar";
    if (!fs::exists(archive)) GTEST_SKIP() << "reference archives not found in " << test::Rar2TestDataDir();
    ToolRun run = Run(archive, work_ / "out");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines.size(), 5u);
    EXPECT_TRUE(HasLine(run, "directory  exe/"));
    EXPECT_TRUE(HasLine(run, "written    jpg/test.jpg (40372 bytes)"));
    for (const test::ManifestRow& row : test::ReadManifest()) {
        if (row.archive != "sharpcompress-Rar2.rar" || row.isDirectory) continue;
        EXPECT_EQ(Content(work_ / "out" / fs::u8path(row.entry)), Content(test::ExpectedContentPath(row))) << row.entry;
    }
}

TEST_F(Rar2x, ReportsEntriesWithoutContentAndRefusesUnsafeNames) {
    rar2::ArchiveWriter writer(rar2::ArchiveWriter::Options{});
    auto add = [&](const std::string& name, const std::string& text) {
        writer.AddFile(name, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    };
    add("ok.txt", "fine");
    add("../escape.txt", "out");  // one name holding slashes, not a path of the tree
    add("/absolute.txt", "out");
    add("bad.txt", "damaged");
    std::vector<uint8_t> bytes = writer.Bytes();
    bytes[bytes.size() - 1] ^= 0xFF;  // the last file's data no longer matches its CRC

    fs::path out = work_ / "nested" / "out";
    ToolRun run = Run(Write("tricky.bin", bytes), out);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Content(out / "ok.txt"), "fine");
    EXPECT_TRUE(HasLine(run, "refused    ../escape.txt (unsafe name)"));
    EXPECT_TRUE(HasLine(run, "refused    /absolute.txt (unsafe name)"));
    EXPECT_TRUE(HasLine(run, "no content bad.txt (not written)"));
    EXPECT_EQ(run.lines.size(), 4u);
    EXPECT_FALSE(fs::exists(out / "bad.txt"));
    EXPECT_FALSE(fs::exists(work_ / "nested" / "escape.txt"));
    EXPECT_FALSE(fs::exists("/absolute.txt") && Content("/absolute.txt") == "out");
}

TEST_F(Rar2x, FailsWhenTheArchiveDoesNotMountOrCannotBeRead) {
    std::string text = "not an archive";
    ToolRun run = Run(Write("junk.rar", std::vector<uint8_t>(text.begin(), text.end())), work_ / "out");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.lines.empty());
    EXPECT_FALSE(fs::exists(work_ / "out"));

    EXPECT_EQ(Run((work_ / "missing.rar").u8string(), work_ / "out").status, 1);
    EXPECT_EQ(RunCommand("only-one-argument").status, 64);
}

}  // namespace
}  // namespace zav
