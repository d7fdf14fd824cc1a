#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/Directory.h"
#include "engine/files/MemoryFile.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

std::vector<std::string> SubdirectoryNames(const Directory& directory) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < directory.GetDirectoryCount(); ++i)
        names.emplace_back(directory.GetSubdirectory(i)->GetName().CStr());
    return names;
}

std::vector<std::string> FileNames(const Directory& directory) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < directory.GetFileCount(); ++i) names.emplace_back(directory.GetFile(i)->GetName().CStr());
    return names;
}

TEST(Directory, EntriesAreOrderedByTheirFirstByteLargerFirst) {
    Directory top("top");
    Directory* firstAlpha = new Directory("Alpha", &top);
    new Directory("beta", &top);
    new Directory("Gamma", &top);
    EXPECT_EQ(SubdirectoryNames(top), (std::vector<std::string>{"beta", "Gamma", "Alpha"}));
    // Equal first bytes keep the order of attachment; bytes 0x80 and up
    // count as negative and so come after ASCII; an empty name comes last.
    Directory* secondAlpha = new Directory("Azure", &top);
    new Directory("", &top);
    new Directory("\xC0\xC1", &top);  // Cyrillic in Windows-1251
    new Directory("1st", &top);
    EXPECT_EQ(SubdirectoryNames(top),
              (std::vector<std::string>{"beta", "Gamma", "Alpha", "Azure", "1st", "\xC0\xC1", ""}));
    EXPECT_EQ(top.GetSubdirectory(2), firstAlpha);
    EXPECT_EQ(top.GetSubdirectory(3), secondAlpha);

    for (const char* name : {"a.txt", "Z.txt", "", "a2.txt", "\xFF"}) top.AttachFile(new MemoryFile(name));
    EXPECT_EQ(FileNames(top), (std::vector<std::string>{"a.txt", "a2.txt", "Z.txt", "\xFF", ""}));
}

TEST(Directory, AttachAndDetachReportWhatTheyDo) {
    test::LogCapture capture;
    Directory top("top");
    Directory* child = new Directory("child", &top);
    EXPECT_TRUE(capture.Has(kLogInfo, "Директория [child] добавлена к директории [top]."));
    EXPECT_EQ(child->GetParent(), &top);

    EXPECT_EQ(top.AttachDirectory(nullptr), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Указатель на присоединяемую директорию равен 0. Корневая директория [top]."));
    EXPECT_EQ(top.AttachDirectory(child), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Присоединяемая директория [child] уже присоединена к директории [top]."));
    EXPECT_EQ(top.GetDirectoryCount(), 1);

    EXPECT_EQ(top.DetachDirectory(child), kOk);
    EXPECT_TRUE(capture.Has(kLogInfo, "Директория [child] удалена из директории [top]."));
    EXPECT_EQ(child->GetParent(), nullptr);
    EXPECT_EQ(top.DetachDirectory(child), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Удаляемая директория [child] не найдена в директории [top]."));
    EXPECT_EQ(top.DetachDirectory(nullptr), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Указатель на отсоединяемую директорию равен 0. Корневая директория [top]."));
    delete child;

    std::unique_ptr<MemoryFile> file(new MemoryFile("f.txt"));
    EXPECT_EQ(top.AttachFile(file.get()), kOk);
    EXPECT_TRUE(capture.Has(kLogInfo, "Файл [f.txt] добавлен к директории [top]."));
    EXPECT_EQ(top.AttachFile(file.get()), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Присоединяемый файл [f.txt] уже присоединена к директории [top]."));
    EXPECT_EQ(top.AttachFile(nullptr), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Указатель на присоединяемый файл равен 0. Корневая директория [top]."));
    EXPECT_EQ(top.DetachFile(file.get()), kOk);
    EXPECT_TRUE(capture.Has(kLogInfo, "Файл [f.txt] удалён из директории [top]."));
    EXPECT_EQ(file->GetDirectory(), nullptr);
    EXPECT_EQ(top.DetachFile(file.get()), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Удаляемый файл [f.txt] не найден в директории [top]."));
    EXPECT_EQ(top.DetachFile(nullptr), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Указатель на отсоединяемый файл равен 0. Корневая директория [top]."));
}

// Two owners of one entry, or a directory inside itself, would free twice or
// loop forever.
TEST(Directory, RefusesEntriesOfAnotherDirectoryAndCycles) {
    test::LogCapture capture;
    Directory first("first");
    Directory second("second");
    Directory* child = new Directory("child", &first);
    Directory* grandchild = new Directory("grandchild", child);
    EXPECT_EQ(second.AttachDirectory(child), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Присоединяемая директория [child] уже присоединена к директории [first]."));
    EXPECT_EQ(child->GetParent(), &first);

    Directory loose("loose");
    EXPECT_EQ(loose.AttachDirectory(&loose), kNotFound);
    EXPECT_EQ(first.DetachDirectory(child), kOk);
    EXPECT_EQ(grandchild->AttachDirectory(child), kNotFound);  // child holds grandchild
    EXPECT_EQ(grandchild->GetDirectoryCount(), 0);
    EXPECT_EQ(first.AttachDirectory(child), kOk);

    MemoryFile* file = new MemoryFile("f");
    first.AttachFile(file);
    EXPECT_EQ(second.AttachFile(file), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Присоединяемый файл [f] уже присоединена к директории [first]."));
    EXPECT_EQ(second.GetFileCount(), 0);
}

TEST(Directory, DestructionDestroysTheSubtreeAndLeavesTheParent) {
    Directory top("top");
    Directory* child = new Directory("child", &top);
    new Directory("inner", child);
    child->AttachFile(new MemoryFile("a"));
    test::LogCapture capture;
    delete child;
    EXPECT_EQ(top.GetDirectoryCount(), 0);
    EXPECT_TRUE(capture.Has(kLogInfo, "Удаляется директория [child]."));
    EXPECT_TRUE(capture.Has(kLogInfo, "Директория [child] удалена из директории [top]."));
    EXPECT_TRUE(capture.Has(kLogInfo, "Удаляется директория [inner]."));
    EXPECT_TRUE(capture.Has(kLogInfo, "Удаляется файл [a]."));
    EXPECT_TRUE(capture.Has(kLogInfo, "Директория удалена [child]."));
    // Entries of the destroyed tree do not detach themselves from it.
    EXPECT_FALSE(capture.HasPrefix(kLogWarning, ""));
}

// An archive can describe an arbitrarily deep tree; search, paths and
// destruction must not recurse once per level.
TEST(Directory, AVeryDeepTreeIsSearchedAndDestroyed) {
    auto top = std::make_unique<Directory>("top");
    Directory* level = top.get();
    for (int i = 0; i < 100000; ++i) level = new Directory("d", level);
    MemoryFile* deepest = new MemoryFile("x.png");
    level->AttachFile(deepest);
    EXPECT_EQ(top->FindFile("x.png"), deepest);
    EXPECT_EQ(level->GetPath().Length(), 4 + 100000 * 2);  // "top/" and "d/" per level
    top.reset();
}

// The tree of an archive mounted as "Media.rar2" under the root.
class DirectoryPaths : public ::testing::Test {
protected:
    DirectoryPaths() {
        archive = new Directory("Media.rar2", &root);
        textures = new Directory("Textures", archive);
        sky = new Directory("Sky", textures);
        other = new Directory("Other", &root);
        skyPicture = new MemoryFile("x.png");
        sky->AttachFile(skyPicture);
        texturePicture = new MemoryFile("y.png");
        textures->AttachFile(texturePicture);
        otherPicture = new MemoryFile("x.png");
        other->AttachFile(otherPicture);
    }

    Directory root{String()};
    Directory* archive;
    Directory* textures;
    Directory* sky;
    Directory* other;
    MemoryFile* skyPicture;
    MemoryFile* texturePicture;
    MemoryFile* otherPicture;
};

TEST_F(DirectoryPaths, PathsAndFullNames) {
    EXPECT_EQ(root.GetPath(), "");
    EXPECT_EQ(archive->GetPath(), "Media.rar2/");
    EXPECT_EQ(sky->GetPath(), "Media.rar2/Textures/Sky/");
    EXPECT_EQ(skyPicture->GetFullName(), "Media.rar2/Textures/Sky/x.png");
    MemoryFile loose("loose.bin");
    EXPECT_EQ(loose.GetFullName(), "loose.bin");
    // The full name finds the file again from the archive's directory.
    EXPECT_EQ(archive->FindFile(skyPicture->GetFullName()), skyPicture);
    // A path follows a move of the directory.
    textures->DetachDirectory(sky);
    other->AttachDirectory(sky);
    EXPECT_EQ(skyPicture->GetFullName(), "Other/Sky/x.png");
}

TEST_F(DirectoryPaths, BareNamesAreSearchedThroughTheSubtreeDepthFirst) {
    EXPECT_EQ(archive->FindFile("x.png"), skyPicture);  // in a sub-subdirectory
    EXPECT_EQ(textures->FindFile("y.png"), texturePicture);
    EXPECT_EQ(archive->FindFile("X.png"), nullptr);  // names compare exactly
    EXPECT_EQ(archive->FindFile("missing"), nullptr);
    // The directory's own files come before those of its subdirectories.
    MemoryFile* near = new MemoryFile("x.png");
    textures->AttachFile(near);
    EXPECT_EQ(archive->FindFile("x.png"), near);
}

TEST_F(DirectoryPaths, SeparatorsDotsAndParents) {
    EXPECT_EQ(archive->FindFile("Textures/y.png"), texturePicture);
    EXPECT_EQ(archive->FindFile("Textures\\y.png"), texturePicture);
    EXPECT_EQ(archive->FindFile("Textures\\Sky/x.png"), skyPicture);
    EXPECT_EQ(archive->FindFile("Textures/../Textures/y.png"), texturePicture);
    EXPECT_EQ(archive->FindFile("./Textures/./Sky/x.png"), skyPicture);
    EXPECT_EQ(archive->FindFile("/Textures/y.png"), texturePicture);
    // The part before the last separator must resolve; the name after it is
    // then searched as a bare name from there.
    EXPECT_EQ(archive->FindFile("Textures/x.png"), skyPicture);
    EXPECT_EQ(archive->FindFile("Nothing/y.png"), nullptr);
    // ".." at the archive's top continues at the root.
    EXPECT_EQ(archive->ResolveDirectory(".."), &root);
    EXPECT_EQ(archive->FindFile("../Other/x.png"), otherPicture);
    EXPECT_EQ(root.ResolveDirectory(".."), nullptr);
    EXPECT_EQ(archive->ResolveDirectory(""), archive);
    EXPECT_EQ(archive->ResolveDirectory("."), archive);
    EXPECT_EQ(archive->ResolveDirectory("Media.rar2"), archive);
    EXPECT_EQ(archive->ResolveDirectory("Textures/Sky/"), sky);
    EXPECT_EQ(archive->ResolveDirectory("Textures\\Sky"), sky);
}

}  // namespace
}  // namespace zav
