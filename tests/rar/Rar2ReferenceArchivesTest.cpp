// Every archive of the reference set, checked against its manifest and the
// contents an independent extractor produced.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "engine/core/Result.h"
#include "engine/files/rar/Rar2Archive.h"
#include "engine/files/rar/Rar2Format.h"
#include "tests/rar/ReferenceManifest.h"
#include "tests/rar/TestFiles.h"

namespace zav::rar2 {
namespace {

using test::ManifestRow;

const Entry* FindEntry(const Archive& archive, const std::string& name) {
    for (const Entry& entry : archive.entries)
        if (entry.name == name) return &entry;
    return nullptr;
}

class ReferenceArchives : public ::testing::Test {
protected:
    void SetUp() override {
        rows_ = test::ReadManifest();
        if (rows_.empty()) GTEST_SKIP() << "reference archives not found in " << test::Rar2TestDataDir();
    }

    // Reads an archive of the set; fails the test when it does not mount.
    bool Read(const std::string& name, Archive* archive) {
        std::vector<unsigned char> bytes;
        if (!test::ReadWholeFile(test::Rar2TestDataDir() + "/" + name, &bytes)) {
            ADD_FAILURE() << "cannot read " << name;
            return false;
        }
        int result = ReadArchive(bytes.data(), bytes.size(), archive, name.c_str());
        EXPECT_EQ(result, kOk) << name;
        return result == kOk;
    }

    std::vector<ManifestRow> rows_;
};

TEST_F(ReferenceArchives, EveryEntryIsListedAndExtractsToItsReferenceOrToNothing) {
    std::map<std::string, std::vector<ManifestRow>> byArchive;
    for (const ManifestRow& row : rows_)
        if (row.archive != test::kMultiVolumeArchive) byArchive[row.archive].push_back(row);
    int extracted = 0;
    for (const auto& [name, rows] : byArchive) {
        Archive archive;
        if (!Read(name, &archive)) continue;
        EXPECT_EQ(archive.entries.size(), rows.size()) << name;
        for (const ManifestRow& row : rows) {
            SCOPED_TRACE(name + ": " + row.entry);
            const Entry* entry = FindEntry(archive, test::ReaderEntryName(row.entry));
            ASSERT_NE(entry, nullptr);
            EXPECT_EQ(entry->unpackVersion, row.unpackVersion);
            EXPECT_EQ(entry->method, row.method);
            EXPECT_EQ(entry->IsDirectory(), row.isDirectory);
            EXPECT_EQ(entry->fileCrc, row.crc);
            if (row.isDirectory) {
                EXPECT_EQ(entry->state, EntryState::kDirectory);
            } else if (test::MustExtract(row)) {
                ASSERT_TRUE(entry->HasContent()) << DescribeState(entry->state);
                std::vector<unsigned char> expected;
                ASSERT_TRUE(test::ReadWholeFile(test::ExpectedContentPath(row), &expected));
                ASSERT_EQ(entry->ContentSize(), expected.size());
                EXPECT_TRUE(std::equal(expected.begin(), expected.end(), entry->content.get()));
                ++extracted;
            } else {
                EXPECT_FALSE(entry->HasContent());
                EXPECT_EQ(entry->content, nullptr);
            }
        }
    }
    EXPECT_EQ(extracted, 22);
}

TEST_F(ReferenceArchives, NegativeCasesGiveEmptyEntriesForTheirReason) {
    struct Case {
        const char* archive;
        const char* entry;
        EntryState state;
    };
    const Case cases[] = {
        {"rarfile-rar202-comment-psw.rar", "FILE1.TXT", EntryState::kEncrypted},
        {"rarfile-rar3-solid.rar", "stest2.txt", EntryState::kUnsupportedVersion},
        {"junrar-BoatModernEnglish-audio-text-unpack30.rar", "BoatModernEnglish.wav", EntryState::kUnsupportedVersion},
        {"junrar-BoatModernEnglish-regular-unpack15-win.rar", "LICENSE.txt", EntryState::kUnsupportedVersion},
        {"rarfile-seektest.rar", "stest1.txt", EntryState::kUnsupportedVersion},
        {"junrar-void-dist-v20.rar", "void20", EntryState::kBadData},
        {"junrar-v20-solid-negative-backref.rar", "f0", EntryState::kCrcMismatch},
        {"junrar-v20-solid-negative-backref.rar", "f1", EntryState::kBadData},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.archive) + ": " + c.entry);
        Archive archive;
        if (!Read(c.archive, &archive)) continue;
        const Entry* entry = FindEntry(archive, c.entry);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->state, c.state) << DescribeState(entry->state);
    }
}

TEST_F(ReferenceArchives, SubpathsAndANonAsciiNameKeepTheirDirectories) {
    Archive archive;
    if (!Read("sharpcompress-Rar2.rar", &archive)) return;
    std::vector<std::string> names;
    for (const Entry& entry : archive.entries) names.push_back(entry.name);
    // Test sources are compiled to Windows-1251, like the names the reader gives.
    EXPECT_EQ(names, (std::vector<std::string>{"exe", "jpg", "exe\\test.exe", "jpg\\test.jpg", "тест.txt"}));
}

TEST_F(ReferenceArchives, TheFirstVolumeOfASetListsItsDirectoriesAndRefusesSplitFiles) {
    Archive archive;
    if (!Read(test::kMultiVolumeArchive, &archive)) return;
    ASSERT_EQ(archive.entries.size(), 3u);
    EXPECT_EQ(archive.entries[0].state, EntryState::kDirectory);
    EXPECT_EQ(archive.entries[1].state, EntryState::kDirectory);
    EXPECT_EQ(archive.entries[2].name, "exe\\test.exe");
    EXPECT_EQ(archive.entries[2].state, EntryState::kSplit);
}

}  // namespace
}  // namespace zav::rar2
