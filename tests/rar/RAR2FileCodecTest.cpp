// The RAR 2.0 archive codec through the file manager, as the screensaver
// mounts its media: codec lookup, the mounted tree, files without content,
// and the archives of the reference set.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/Directory.h"
#include "engine/files/File.h"
#include "engine/files/FileManager.h"
#include "engine/files/MemoryFile.h"
#include "engine/files/ModuleManager.h"
#include "engine/files/rar/Rar2Archive.h"
#include "engine/platform/Platform.h"
#include "tests/files/EngineRun.h"
#include "tests/rar/ReferenceManifest.h"
#include "tests/rar/TestFiles.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TestArchiveCodec.h"
#include "tools/rar2pack/ArchiveWriter.h"

namespace zav {
namespace {

using Bytes = std::vector<uint8_t>;
using test::ReadContent;

constexpr int kMediaResource = 227;

class Rar2Mounting : public test::EngineRun {
protected:
    void SetUp() override {
        test::EngineRun::SetUp();
        ASSERT_EQ(LoadCodec("RAR2FileCodec", &codec_), kOk);
    }
    void TearDown() override {
        platform::UnregisterBlob("MEDIADATA", kMediaResource);
        test::EngineRun::TearDown();
    }

    // Mounts `bytes` as the archive file `name`.
    int Mount(const String& name, const Bytes& bytes) {
        MemoryFile file(name);
        file.SetBorrowedSource(reinterpret_cast<const char*>(bytes.data()), static_cast<int32_t>(bytes.size()));
        return MountArchive(&file, String());
    }
    // Mounts `bytes` from resource 227 as "Media.rar2", as the screensaver does.
    Directory* MountMedia(const Bytes& bytes) {
        platform::RegisterBlob("MEDIADATA", kMediaResource, bytes.data(), bytes.size());
        EXPECT_EQ(MountResourceArchive(kMediaResource, "Media.rar2", String()), kOk);
        return GetRoot()->FindSubdirectory("Media.rar2");
    }

    Codec* codec_ = nullptr;
};

struct Item {
    enum Kind { kDirectory, kFile } kind;
    std::string name;  // backslashes between parts
    std::string content;
};

Bytes Pack(const std::vector<Item>& items, bool store = false) {
    rar2::ArchiveWriter::Options options;
    options.store = store;
    rar2::ArchiveWriter writer(options);
    for (const Item& item : items) {
        if (item.kind == Item::kDirectory)
            writer.AddDirectory(item.name);
        else
            EXPECT_TRUE(writer.AddFile(item.name, reinterpret_cast<const uint8_t*>(item.content.data()),
                                       item.content.size()));
    }
    return writer.Bytes();
}

// Whether the file exists but cannot be opened, as a file without content.
bool HasNoContent(File* file) {
    if (!file) return false;
    bool refused = file->Open(kFileRead) == kFailed && !file->IsOpen();
    file->Close();
    return refused;
}

TEST_F(Rar2Mounting, TheCodecTakesItsThreeExtensionsExactly) {
    EXPECT_EQ(codec_->GetName(), "RAR2FileCodec");
    EXPECT_EQ(codec_->GetKind(), kFileCodecKind);
    EXPECT_EQ(codec_->GetModule(), FindModule("RAR2FileCodec"));
    ASSERT_EQ(codec_->GetExtensions().Count(), 3);
    EXPECT_EQ(codec_->GetExtensions()[0], "rar2");
    EXPECT_EQ(codec_->GetExtensions()[1], "RAR2");
    EXPECT_EQ(codec_->GetExtensions()[2], "Rar2");
    for (const char* name : {"Media.rar2", "Media.RAR2", "data.Rar2"}) {
        MemoryFile file(name);
        EXPECT_EQ(FindCodecForFile<FileCodec>(&file), codec_) << name;
    }
    for (const char* name : {"Media.rar", "Media.rAR2", "Media.rar2.bak", "rar2"}) {
        MemoryFile file(name);
        EXPECT_EQ(FindCodecForFile(&file), nullptr) << name;
    }
}

TEST_F(Rar2Mounting, AResourceArchiveMountsAsADirectoryTreeWhoseFilesKeepTheCodecModule) {
    const std::string sky(5000, 's');
    Directory* media = MountMedia(Pack({
        {Item::kDirectory, "Textures", ""},
        {Item::kDirectory, "Textures\\Sky", ""},
        {Item::kFile, "Textures\\Sky\\a.jpg", sky},
        {Item::kDirectory, "Textures", ""},  // listed twice: one directory
        {Item::kFile, "Textures\\b.jpg", "bee"},
        {Item::kFile, "Main.STR", "scene"},
        {Item::kFile, "\\Rooted.txt", "from the top"},
        {Item::kFile, "Read_me.txt", "first"},  // names that fold alike stay apart
        {Item::kFile, "READ_ME.TXT", "second"},
        {Item::kFile, "Empty.txt", ""},
    }));
    ASSERT_NE(media, nullptr);
    EXPECT_EQ(GetRoot()->GetFileCount(), 0);  // the resource's file is gone
    ASSERT_EQ(media->GetDirectoryCount(), 1);
    Directory* textures = media->GetSubdirectory(0);
    EXPECT_EQ(textures->GetName(), "Textures");
    ASSERT_EQ(textures->GetDirectoryCount(), 1);
    EXPECT_EQ(textures->GetSubdirectory(0)->GetName(), "Sky");
    EXPECT_EQ(textures->GetFileCount(), 1);
    EXPECT_EQ(media->GetFileCount(), 5);

    File* a = FindFile("Textures/Sky/a.jpg");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetFullName(), "Media.rar2/Textures/Sky/a.jpg");
    EXPECT_EQ(ReadContent(a), sky);
    EXPECT_EQ(static_cast<MemoryFile*>(a)->GetModule(), codec_->GetModule());
    EXPECT_EQ(ReadContent(FindFile("Media.rar2\\Textures\\b.jpg")), "bee");
    EXPECT_EQ(ReadContent(FindFile("Main.STR")), "scene");
    EXPECT_EQ(ReadContent(FindFile("Rooted.txt")), "from the top");
    EXPECT_EQ(ReadContent(FindFile("Read_me.txt")), "first");
    EXPECT_EQ(ReadContent(FindFile("READ_ME.TXT")), "second");
    File* empty = FindFile("Empty.txt");
    EXPECT_EQ(ReadContent(empty), "");
    EXPECT_EQ(empty->GetSize(), 0);
}

TEST_F(Rar2Mounting, EntriesWithoutTheirDirectoryOrWithUnusableNamesAreSkippedWithAWarning) {
    test::LogCapture capture;
    Directory* media = MountMedia(Pack({
        {Item::kFile, "Models\\ship.x", "no directory entry"},
        {Item::kDirectory, "Models\\Parts", ""},
        {Item::kFile, "..\\up.txt", "outside"},
        {Item::kDirectory, "Sounds", ""},
        {Item::kFile, "Sounds\\..", "dots"},
        {Item::kFile, "Sounds\\", "no name"},
        {Item::kFile, "Sounds\\ok.wav", "wave"},
        {Item::kDirectory, "Models", ""},  // too late for its contents
    }));
    ASSERT_NE(media, nullptr);
    EXPECT_TRUE(capture.Has(kLogWarning, "Элемент [Models\\ship.x] архива [Media.rar2] пропущен: не найдена "
                                         "директория [Models]."));
    EXPECT_TRUE(capture.Has(kLogWarning, "Элемент [Models\\Parts] архива [Media.rar2] пропущен: не найдена "
                                         "директория [Models]."));
    EXPECT_TRUE(capture.Has(kLogWarning, "Элемент [..\\up.txt] архива [Media.rar2] пропущен: не найдена "
                                         "директория [..]."));
    EXPECT_TRUE(capture.Has(kLogWarning, "Элемент [Sounds\\..] архива [Media.rar2] пропущен: недопустимое имя."));
    EXPECT_TRUE(capture.Has(kLogWarning, "Элемент [Sounds\\] архива [Media.rar2] пропущен: недопустимое имя."));

    EXPECT_EQ(media->GetFileCount(), 0);
    ASSERT_EQ(media->GetDirectoryCount(), 2);
    Directory* sounds = media->FindSubdirectory("Sounds");
    ASSERT_NE(sounds, nullptr);
    ASSERT_EQ(sounds->GetFileCount(), 1);
    EXPECT_EQ(ReadContent(sounds->GetFile(0)), "wave");
    Directory* models = media->FindSubdirectory("Models");
    ASSERT_NE(models, nullptr);
    EXPECT_EQ(models->GetFileCount() + models->GetDirectoryCount(), 0);
    EXPECT_EQ(GetRoot()->GetDirectoryCount(), 1);
}

TEST_F(Rar2Mounting, ACrcMismatchLeavesOneFileWithoutContentAndTheArchiveStillMounts) {
    test::LogCapture capture;
    Bytes bytes = Pack({{Item::kFile, "a.txt", "alpha"}, {Item::kFile, "b.txt", "bravo"}}, true);
    rar2::Archive listed;
    ASSERT_EQ(rar2::ListArchive(bytes.data(), bytes.size(), &listed), kOk);
    bytes[listed.entries[0].headerOffset + 16] ^= 1;  // the stored file CRC

    ASSERT_EQ(Mount("Media.rar2", bytes), kOk);
    EXPECT_TRUE(HasNoContent(FindFile("a.txt")));
    EXPECT_EQ(ReadContent(FindFile("b.txt")), "bravo");
    EXPECT_TRUE(
        capture.Has(kLogWarning, "Файл [a.txt] архива [Media.rar2] не распакован: не совпадает контрольная сумма."));
}

TEST_F(Rar2Mounting, BytesThatAreNoArchiveDoNotMountAndSayWhy) {
    test::LogCapture capture;
    const std::string text = "plain text, not an archive";
    EXPECT_EQ(Mount("junk.rar2", Bytes(text.begin(), text.end())), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Файл [junk.rar2] не является архивом RAR."));
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно загрузить директорию из архива [junk.rar2]."));
    EXPECT_EQ(Mount("empty.rar2", Bytes()), kFailed);
    EXPECT_EQ(GetRoot()->GetDirectoryCount(), 0);

    // The marker and the main header alone: an archive without entries.
    Bytes bare = Pack({{Item::kFile, "a.txt", "alpha"}});
    bare.resize(7 + 13);
    ASSERT_EQ(Mount("bare.rar2", bare), kOk);
    Directory* mounted = GetRoot()->FindSubdirectory("bare.rar2");
    ASSERT_NE(mounted, nullptr);
    EXPECT_EQ(mounted->GetFileCount() + mounted->GetDirectoryCount(), 0);
}

TEST_F(Rar2Mounting, LoadDirectoryChecksItsArguments) {
    auto* codec = static_cast<FileCodec*>(codec_);
    Directory* directory = nullptr;
    MemoryFile file("Media.rar2");
    EXPECT_EQ(codec->LoadDirectory(nullptr, &directory, String()), kNotFound);
    EXPECT_EQ(codec->LoadDirectory(&file, nullptr, String()), kNotFound);
    EXPECT_EQ(codec->LoadDirectory(&file, &directory, String()), kFailed);  // no content to open
    EXPECT_EQ(directory, nullptr);
}

TEST_F(Rar2Mounting, SavingADirectoryIsRefusedAndLeavesTheFileAsItWas) {
    test::LogCapture capture;
    auto* codec = static_cast<FileCodec*>(codec_);
    std::string path = platform::CreateTempFile("zav-rar2-save");
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(test::WriteWholeFile(path, {'k', 'e', 'e', 'p'}));
    File disk(platform::Utf8ToCodePage(path.c_str()).c_str());
    Directory tree("Media.rar2");
    new Directory("Textures", &tree);

    EXPECT_EQ(codec->SaveDirectory(&disk, &tree), kFailed);
    EXPECT_TRUE(capture.HasPrefix(kLogWarning, "Кодек [RAR2FileCodec] не записывает архивы"));
    std::vector<unsigned char> after;
    EXPECT_TRUE(test::ReadWholeFile(path, &after));
    EXPECT_EQ(std::string(after.begin(), after.end()), "keep");
    EXPECT_FALSE(disk.IsOpen());
    EXPECT_EQ(codec->SaveDirectory(nullptr, &tree), kNotFound);
    EXPECT_EQ(codec->SaveDirectory(&disk, nullptr), kNotFound);
    platform::RemoveFile(path.c_str());
}

TEST_F(Rar2Mounting, EveryReferenceEntryMountsToItsContentOrToAFileWithoutContent) {
    std::vector<test::ManifestRow> rows = test::ReadManifest();
    if (rows.empty()) GTEST_SKIP() << "reference archives not found in " << test::Rar2TestDataDir();
    std::map<std::string, std::vector<test::ManifestRow>> byArchive;
    for (const test::ManifestRow& row : rows)
        if (row.archive != test::kMultiVolumeArchive) byArchive[row.archive].push_back(row);

    int extracted = 0;
    for (const auto& [archive, entries] : byArchive) {
        SCOPED_TRACE(archive);
        std::vector<unsigned char> bytes;
        ASSERT_TRUE(test::ReadWholeFile(test::Rar2TestDataDir() + "/" + archive, &bytes));
        // Mounted under the codec's extension; each archive gets its own directory.
        String mountName((test::ArchiveStem(archive) + ".rar2").c_str());
        ASSERT_EQ(Mount(mountName, bytes), kOk);
        for (const test::ManifestRow& row : entries) {
            SCOPED_TRACE(row.entry);
            String path((mountName.CStr() + std::string("\\") + test::ReaderEntryName(row.entry)).c_str());
            if (row.isDirectory) {
                EXPECT_NE(GetRoot()->ResolveDirectory(path), nullptr);
                continue;
            }
            File* file = FindFile(path);
            ASSERT_NE(file, nullptr);
            if (!test::MustExtract(row)) {
                EXPECT_TRUE(HasNoContent(file));
                continue;
            }
            std::vector<unsigned char> expected;
            ASSERT_TRUE(test::ReadWholeFile(test::ExpectedContentPath(row), &expected));
            EXPECT_EQ(ReadContent(file), std::string(expected.begin(), expected.end()));
            ++extracted;
        }
    }
    EXPECT_EQ(extracted, 22);
}

}  // namespace
}  // namespace zav
