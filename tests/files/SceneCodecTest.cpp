#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <filesystem>
#include <string>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"
#include "engine/core/Values.h"
#include "engine/files/CodecManager.h"
#include "engine/files/File.h"
#include "engine/files/MemoryFile.h"
#include "engine/files/SceneFile.h"
#include "engine/platform/Platform.h"
#include "tests/files/EngineRun.h"
#include "tests/support/LogCapture.h"
#include "tests/support/SampleClasses.h"
#include "tests/support/StreamBytes.h"
#include "tests/support/TestArchiveCodec.h"

namespace zav {

// Its record cannot be written.
class UnsavableNode : public Object {
    ZAV_OBJECT_CLASS(UnsavableNode, Object)
    int Save(Stream&) override { return kFailed; }
};
ZAV_REGISTER_CLASS(UnsavableNode);

namespace {

using test::Int32Bytes;
using test::RecordHeader;
using test::SampleController;
using test::SampleNode;
using test::TextBytes;

// A scene file of the given version whose root is a sample node "Root".
std::string SceneBytes(int32_t major, int32_t minor, int32_t patch) {
    Ref<SampleNode> root(new SampleNode("Root"));
    Stream stream(0, 256);
    stream.WriteVersion(Version{major, minor, patch});
    stream.WriteObject(root.Get());
    return test::Written(stream);
}

class SceneFiles : public test::EngineRun {
protected:
    void SetUp() override {
        test::EngineRun::SetUp();
        ASSERT_EQ(LoadCodec("STRSceneCodec", &codec_), kOk);
        path_ = platform::CreateTempFile("zavscene") + ".STR";
    }
    void TearDown() override {
        std::filesystem::remove(path_);
        SampleNode::BreakAllLinks();
        test::EngineRun::TearDown();
    }

    // Loads a scene held in memory under `name`; null when it fails.
    static Ref<Object> LoadFromMemory(const std::string& bytes, const char* name = "Main.STR",
                                      int* result = nullptr) {
        MemoryFile file(name);
        file.SetBorrowedSource(bytes.data(), static_cast<int32_t>(bytes.size()));
        Object* scene = nullptr;
        int loaded = LoadScene(&file, &scene);
        if (result) *result = loaded;
        return Ref<Object>(scene);
    }

    Codec* codec_ = nullptr;
    std::string path_;
};

TEST_F(SceneFiles, AGraphSavedToDiskLoadsBack) {
    Ref<SampleNode> root(new SampleNode("Root"));
    Ref<SampleNode> left(new SampleNode("left")), right(new SampleNode("right"));
    Ref<SampleController> shared(new SampleController("spin"));
    shared->speed = 2.5f;
    root->children.AddUnique(left.Get());
    root->children.AddUnique(right.Get());
    left->AddController(shared.Get());
    right->AddController(shared.Get());
    right->next = root;  // a cycle back to the root
    root->label = "\xCA\xEE\xF0\xE5\xED\xFC";
    File file(path_.c_str());
    ASSERT_EQ(SaveScene(&file, root.Get()), kOk);
    EXPECT_FALSE(file.IsOpen());

    Object* loaded = nullptr;
    ASSERT_EQ(LoadScene(&file, &loaded), kOk);
    EXPECT_EQ(loaded->RefCount(), 1);  // held by the cycle alone; ours comes next
    Ref<Object> scene(loaded);
    EXPECT_FALSE(file.IsOpen());
    auto* copy = ObjectCast<SampleNode>(scene.Get());
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, root.Get());
    EXPECT_EQ(copy->GetName(), "Root");
    EXPECT_EQ(copy->label, root->label);
    ASSERT_EQ(copy->children.Count(), 2);
    auto* leftCopy = static_cast<SampleNode*>(copy->children.Get(0));
    auto* rightCopy = static_cast<SampleNode*>(copy->children.Get(1));
    EXPECT_EQ(leftCopy->GetController(0), rightCopy->GetController(0));
    EXPECT_EQ(static_cast<SampleController*>(leftCopy->GetController(0))->speed, 2.5f);
    EXPECT_EQ(rightCopy->next.Get(), copy);
}

TEST_F(SceneFiles, TheFileBeginsWithTheEngineVersion) {
    Ref<Object> root(new Object("Root"));
    File file(path_.c_str());
    ASSERT_EQ(SaveScene(&file, root.Get()), kOk);
    ASSERT_EQ(file.Open(kFileRead), kOk);
    std::string bytes(file.GetData(), static_cast<size_t>(file.GetSize()));
    EXPECT_EQ(bytes, Int32Bytes(0) + Int32Bytes(1) + Int32Bytes(2) + RecordHeader(root->GetId(), "ZAV.Object") +
                         TextBytes("Root") + Int32Bytes(0));
    file.Close();
}

TEST_F(SceneFiles, OlderVersionsAreRefusedNewerOnesRead) {
    test::LogCapture capture;
    int result = -1;
    EXPECT_EQ(LoadFromMemory(SceneBytes(0, 1, 1), "Main.STR", &result).Get(), nullptr);
    EXPECT_EQ(result, kFailed);
    EXPECT_TRUE(capture.Has(kLogWarning, "Версия файла сцены [0.1.1] старше версии движка."));
    EXPECT_TRUE(capture.Has(kLogError, "Неудачна загрузка сцены из файла [Main.STR]."));
    EXPECT_EQ(LoadFromMemory(SceneBytes(0, 0, 101)).Get(), nullptr);
    EXPECT_EQ(LoadFromMemory(SceneBytes(-1, 99, 99)).Get(), nullptr);

    for (auto version : {std::array<int32_t, 3>{0, 1, 2}, {0, 2, 0}, {1, 0, 0}, {0, 0, 102}}) {
        Ref<Object> scene = LoadFromMemory(SceneBytes(version[0], version[1], version[2]));
        ASSERT_NE(scene.Get(), nullptr) << version[0] << "." << version[1] << "." << version[2];
        EXPECT_EQ(scene->GetName(), "Root");
    }
    // Computed in 32 bits, these would wrap around to the other side.
    EXPECT_NE(LoadFromMemory(SceneBytes(214749, 0, 0)).Get(), nullptr);
    EXPECT_EQ(LoadFromMemory(SceneBytes(-429497, 0, 0)).Get(), nullptr);
    EXPECT_EQ(LoadFromMemory(SceneBytes(0, INT32_MIN, 0)).Get(), nullptr);
}

TEST_F(SceneFiles, DamagedFilesFailCleanly) {
    const std::string whole = SceneBytes(0, 1, 2);
    for (size_t length = 0; length < whole.size(); ++length) {
        int result = -1;
        EXPECT_EQ(LoadFromMemory(whole.substr(0, length), "Main.STR", &result).Get(), nullptr) << length;
        EXPECT_EQ(result, kFailed) << length;
    }
    test::LogCapture capture;
    std::string unknown =
        Int32Bytes(0) + Int32Bytes(1) + Int32Bytes(2) + RecordHeader(7, "ZAV.Nothing") + TextBytes("x") + Int32Bytes(0);
    EXPECT_EQ(LoadFromMemory(unknown).Get(), nullptr);
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно найти функцию создания объекта. RTTI[ZAV.Nothing] ID[7]"));
}

TEST_F(SceneFiles, OnlyAnExactExtensionOfASceneCodecSelectsIt) {
    const std::string bytes = SceneBytes(0, 1, 2);
    for (const char* name : {"Main.STR", "Main.str", "Main.Str", "Textures/../Main.Str"})
        EXPECT_NE(LoadFromMemory(bytes, name).Get(), nullptr) << name;

    test::LogCapture capture;
    int result = -1;
    EXPECT_EQ(LoadFromMemory(bytes, "Main.sTr", &result).Get(), nullptr);
    EXPECT_EQ(result, kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Не найден кодек для файла [Main.sTr]."));

    // An archive codec chosen by the extension is no scene codec.
    Ref<Codec> archives(new test::TestArchiveCodec());
    ASSERT_EQ(RegisterCodec(archives.Get()), kOk);
    EXPECT_EQ(LoadFromMemory(bytes, "Main.tpak", &result).Get(), nullptr);
    EXPECT_EQ(result, kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Не найден кодек для файла [Main.tpak]."));

    Object* scene = nullptr;
    EXPECT_EQ(LoadScene(nullptr, &scene), kNotFound);
    MemoryFile file("Main.STR");
    EXPECT_EQ(LoadScene(&file, nullptr), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Указатель на файл или сцену равен 0."));
    EXPECT_EQ(SaveScene(&file, nullptr), kNotFound);
}

// A save whose record fails, or whose file cannot take the bytes, reports it.
TEST_F(SceneFiles, FailedSavesAreReported) {
    test::LogCapture capture;
    Ref<Object> unsavable(new UnsavableNode());
    File file(path_.c_str());
    EXPECT_EQ(SaveScene(&file, unsavable.Get()), kFailed);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(capture.Has(kLogError, "Неудачно сохранение сцены в файл [" + path_ + "]."));

    MemoryFile readOnly("Main.STR");
    Ref<Object> root(new Object("Root"));
    EXPECT_EQ(SaveScene(&readOnly, root.Get()), kFailed);

    if (std::filesystem::exists("/dev/full")) {
        File full("/dev/full");
        EXPECT_EQ(static_cast<SceneCodec*>(codec_)->SaveScene(&full, root.Get()), kFailed);
        EXPECT_FALSE(full.IsOpen());
    }
}

}  // namespace
}  // namespace zav
