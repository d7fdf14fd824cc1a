#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>

#include "audio/core/LibraryEntryPoints.h"
#include "engine/files/Directory.h"
#include "engine/files/FileManager.h"
#include "engine/files/MemoryFile.h"
#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SceneNode.h"
#include "engine/scene/SoundNode.h"
#include "engine/scene/TransformMath.h"
#include "engine/sound/SoundManager.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingAudio.h"
#include "tools/soundgen/SoundFiles.h"

namespace zav {
namespace {

using test::LoadFromBytes;
using test::SaveToBytes;

// Sound files under "Media.rar2/Sounds" and the recording library.
class SoundNodeTest : public test::EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        media_ = new Directory("Media.rar2", GetRoot());
        sounds_ = new Directory("Sounds", media_);
        const std::vector<uint8_t> tone =
            soundgen::EncodeWav(soundgen::MakeTone(44100, 1, 0.1, 441.0, 0.5f, 0.5f), 16);
        AddFile("tone.wav", std::string(tone.begin(), tone.end()));
    }
    void TearDown() override {
        delete media_;
        EngineFixture::TearDown();
    }

    void AddFile(const char* name, const std::string& bytes) {
        MemoryFile* file = new MemoryFile(name);
        char* copy = new char[bytes.size() + 1];
        std::memcpy(copy, bytes.data(), bytes.size());
        ASSERT_EQ(file->SetSource(copy, static_cast<int32_t>(bytes.size())), kOk);
        ASSERT_EQ(sounds_->AttachFile(file), kOk);
    }

    // A node as a scene file would bring it: saved with these fields, read back.
    Ref<SoundNode> Loaded(const char* file, bool is3D, bool loop = true, int32_t volume = 70,
                          float minDistance = 5.0f) {
        Ref<SoundNode> authored(new SoundNode("Sound"));
        authored->SetFileName(file);
        authored->Set3D(is3D);
        authored->SetLoop(loop);
        authored->SetVolume(volume);
        authored->SetMinDistance(minDistance);
        int state = -1;
        Ref<Object> loaded = LoadFromBytes(SaveToBytes(authored.Get()), &state);
        EXPECT_EQ(state, kOk);
        return Ref<SoundNode>(ObjectCast<SoundNode>(loaded.Get()));
    }

    std::string Stream(const SoundNode& node) const { return std::to_string(node.GetStream()); }

    test::RecordingAudio audio;
    test::LogCapture log;
    Directory* media_ = nullptr;
    Directory* sounds_ = nullptr;
};

TEST_F(SoundNodeTest, LoadsItsFileIntoAStreamAndPlaysItWithoutRestartAtEveryUpdate) {
    Ref<SoundNode> node = Loaded("Sounds/tone.wav", false);
    ASSERT_TRUE(node);
    ASSERT_NE(node->GetStream(), 0u);
    EXPECT_EQ(node->GetFileName(), "Media.rar2/Sounds/tone.wav");
    const std::string s = Stream(*node);
    EXPECT_EQ(audio.CallsTo("StreamCreateFile"), std::vector<std::string>{"StreamCreateFile 1 data 0 8864 0"});
    const std::vector<std::string> setup = {
        "ChannelSetFlags " + s + " 4",
        "ChannelSet3DAttributes " + s + " 0 5 -1 -1 -1 -1",
        "Apply3D",
        "ChannelSetAttributes " + s + " -1 70 -101",
    };
    for (const std::string& call : setup)
        EXPECT_NE(std::find(audio.Calls().begin(), audio.Calls().end(), call), audio.Calls().end()) << call;
    audio.Clear();
    node->Update(0.25);
    node->Update(0.5);
    EXPECT_EQ(audio.Calls(), (std::vector<std::string>{"ChannelPlay " + s + " 0", "ChannelPlay " + s + " 0"}));
    EXPECT_FLOAT_EQ(node->GetPlayTime(), 0.75f);
    EXPECT_EQ(audio::LibraryEntryPoints().ChannelIsActive(node->GetStream()), audio::kAudioPlaying);
    // The stream goes with the node.
    audio.Clear();
    node = nullptr;
    EXPECT_EQ(audio.Calls(), std::vector<std::string>{"StreamFree " + s});
}

TEST_F(SoundNodeTest, AMissingFileLoadsWithAWarningAndNeverPlays) {
    Ref<SoundNode> node = Loaded("Sounds/none.ogg", false);
    ASSERT_TRUE(node);
    EXPECT_TRUE(log.HasPrefix(kLogWarning, "Невозможно найти файл [Sounds/none.ogg] для источника звука. ID["));
    EXPECT_EQ(node->GetStream(), 0u);
    node->Update(0.1);
    EXPECT_TRUE(audio.CallsTo("StreamCreateFile").empty());
    EXPECT_TRUE(audio.CallsTo("ChannelPlay").empty());
}

TEST_F(SoundNodeTest, AFileThatIsNoSoundGivesNoStreamAndTheWarning) {
    AddFile("text.ogg", "OggS but nothing more");
    AddFile("empty.wav", "");
    AddFile("cut.wav", "RIFF\x10\0\0\0WAVEfmt \x10\0\0\0\1\0");
    for (const char* name : {"text.ogg", "empty.wav", "cut.wav"}) {
        log.Clear();
        Ref<SoundNode> node = Loaded((std::string("Sounds/") + name).c_str(), true);
        ASSERT_TRUE(node) << name;
        EXPECT_TRUE(log.Has(kLogWarning, std::string("Невозможно загрузить файл звука [Media.rar2/Sounds/") + name + "]"))
            << name;
        EXPECT_EQ(node->GetStream(), 0u);
        node->Update(0.1);
    }
    EXPECT_TRUE(audio.CallsTo("ChannelPlay").empty());
    // LoadSound itself: no file is 3, the empty file no stream.
    Ref<SoundNode> node(new SoundNode());
    EXPECT_EQ(node->LoadSound(nullptr, false), kNotFound);
    EXPECT_EQ(node->LoadSound(FindFile("Sounds/empty.wav"), false), kOk);
    EXPECT_EQ(node->GetStream(), 0u);
}

TEST_F(SoundNodeTest, PlayingFalseMakesNoPlayCallAndLeavesAPlayingStreamPlaying) {
    Ref<SoundNode> node = Loaded("Sounds/tone.wav", false);
    node->Update(0.1);
    audio.Clear();
    node->SetPlaying(false);
    node->Update(0.1);
    node->Update(0.1);
    EXPECT_TRUE(audio.CallsTo("ChannelPlay").empty());
    EXPECT_TRUE(audio.CallsTo("ChannelStop").empty());
    EXPECT_EQ(audio::LibraryEntryPoints().ChannelIsActive(node->GetStream()), audio::kAudioPlaying);
    EXPECT_FLOAT_EQ(node->GetPlayTime(), 0.1f);
}

TEST_F(SoundNodeTest, A3DNodeIsPlacedRelativeToTheCurrentCameraWithoutItsRotation) {
    test::CurrentRecordingRenderer renderer;
    Ref<Camera> camera(new Camera("eye"));
    camera->SetLocalTransform(MakeTransform({1, 1, 1}, {0, 0.70710678f, 0, 0.70710678f}, {1, 2, 3}));
    camera->UpdateSubtree(0.0, true);
    renderer->SetCamera(camera.Get());

    Ref<SoundNode> node = Loaded("Sounds/tone.wav", true);
    ASSERT_NE(node->GetStream(), 0u);
    EXPECT_EQ(audio.CallsTo("StreamCreateFile").back(), "StreamCreateFile 1 data 0 8864 8");
    const std::string s = Stream(*node);
    node->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {1, 2, 3}));
    audio.Clear();
    node->Update(0.0);
    EXPECT_EQ(audio.Calls(), (std::vector<std::string>{"ChannelSet3DPosition " + s + " (0,0,0) null null", "Apply3D",
                                                       "ChannelPlay " + s + " 0"}));
    node->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {4, 2, 1}));
    audio.Clear();
    node->Update(0.0);
    EXPECT_EQ(audio.Calls().front(), "ChannelSet3DPosition " + s + " (3,0,-2) null null");
}

TEST_F(SoundNodeTest, TheBoundingSphereHasTheMinimumDistanceAsRadius) {
    Ref<SceneNode> parent(new SceneNode("parent"));
    Ref<SoundNode> near(new SoundNode("near"));
    near->SetMinDistance(2.0f);
    near->SetLocalTransform(MakeTransform({3, 3, 3}, {}, {10, 0, 0}));
    parent->AddChild(near.Get());
    parent->UpdateSubtree(0.0, true);
    auto* sphere = ObjectCast<SphereBoundingVolume>(near->GetWorldVolume());
    ASSERT_TRUE(sphere);
    EXPECT_EQ(sphere->GetCenter(), (Vector3{10, 0, 0}));
    EXPECT_FLOAT_EQ(sphere->GetRadius(), 6.0f);
    auto* parentSphere = ObjectCast<SphereBoundingVolume>(parent->GetWorldVolume());
    EXPECT_FLOAT_EQ(parentSphere->GetRadius(), 6.0f);

    // The default distance, also rotated and scaled: never culled, and the
    // parent's volume is unbounded.
    Ref<SoundNode> everywhere(new SoundNode("everywhere"));
    EXPECT_EQ(everywhere->GetMinDistance(), FLT_MAX);
    everywhere->SetLocalTransform(MakeTransform({2, 2, 2}, {0, 0.38268343f, 0, 0.92387953f}, {5, 5, 5}));
    parent->AddChild(everywhere.Get());
    parent->UpdateSubtree(0.0, true);
    auto* unbounded = ObjectCast<SphereBoundingVolume>(everywhere->GetWorldVolume());
    EXPECT_EQ(unbounded->GetRadius(), FLT_MAX);
    EXPECT_EQ(parentSphere->GetRadius(), FLT_MAX);
    EXPECT_TRUE(std::isfinite(parentSphere->GetCenter().x));
}

TEST_F(SoundNodeTest, VolumeAndMinimumDistanceFromAFileAreMadeUsable) {
    Ref<SoundNode> authored(new SoundNode("Sound"));
    authored->SetFileName("Sounds/tone.wav");
    authored->Set3D(true);
    const std::string record = SaveToBytes(authored.Get());
    // The record ends with the volume; the minimum distance comes 18 bytes
    // and the file name earlier.
    const size_t volumeAt = record.size() - 4;
    const size_t distanceAt = record.size() - 18 - std::strlen("Sounds/tone.wav");
    auto withFields = [&](int32_t volume, float distance) {
        std::string bytes = record;
        std::memcpy(&bytes[volumeAt], &volume, 4);
        std::memcpy(&bytes[distanceAt], &distance, 4);
        int state = -1;
        Ref<Object> loaded = LoadFromBytes(bytes, &state);
        EXPECT_EQ(state, kOk);
        return Ref<SoundNode>(ObjectCast<SoundNode>(loaded.Get()));
    };
    Ref<SoundNode> node = withFields(250, 4.0f);
    ASSERT_TRUE(node);
    EXPECT_EQ(node->GetVolume(), 100);
    EXPECT_EQ(node->GetMinDistance(), 4.0f);
    EXPECT_EQ(audio.CallsTo("ChannelSetAttributes").back(), "ChannelSetAttributes " + Stream(*node) + " -1 100 -101");
    EXPECT_EQ(withFields(-5, 4.0f)->GetVolume(), 0);
    for (float distance : {-3.0f, 0.0f, std::nanf(""), INFINITY}) {
        node = withFields(50, distance);
        EXPECT_EQ(node->GetMinDistance(), FLT_MAX) << distance;
        EXPECT_EQ(audio.CallsTo("ChannelSet3DAttributes").back(),
                  "ChannelSet3DAttributes " + Stream(*node) + " 0 3.40282e+38 -1 -1 -1 -1");
        node->UpdateSubtree(0.0, false);
        auto* sphere = ObjectCast<SphereBoundingVolume>(node->GetWorldVolume());
        EXPECT_EQ(sphere->GetRadius(), FLT_MAX) << distance;
    }
}

TEST_F(SoundNodeTest, ARecordKeepsEveryField) {
    Ref<SoundNode> node = Loaded("Sounds/tone.wav", true, false, 33, 12.5f);
    node->reserved = 77;
    node->SetPlaying(false);
    Ref<SoundNode> again = test::RoundTrip(node.Get());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->GetFileName(), "Media.rar2/Sounds/tone.wav");
    EXPECT_NE(again->GetStream(), 0u);  // the full name finds the file again
    EXPECT_TRUE(again->Is3D());
    EXPECT_FALSE(again->IsLooping());
    EXPECT_EQ(again->GetVolume(), 33);
    EXPECT_EQ(again->GetMinDistance(), 12.5f);
    EXPECT_EQ(again->reserved, 77);
    EXPECT_FALSE(again->IsPlaying());
    // A record cut inside the fields fails with the node's message.
    std::string record = SaveToBytes(node.Get());
    record.resize(record.size() - 2);
    int state = kOk;
    EXPECT_FALSE(LoadFromBytes(record, &state));
    EXPECT_TRUE(log.HasPrefix(kLogError, "Невозможно загрузить данные источника звука. ID["));
}

TEST_F(SoundNodeTest, WithoutALibraryNothingIsCalledAndTheNodeStaysSilent) {
    InstallSoundLibrary(nullptr);
    Ref<SoundNode> node = Loaded("Sounds/tone.wav", false);
    ASSERT_TRUE(node);
    EXPECT_EQ(node->GetStream(), 0u);
    EXPECT_TRUE(log.Has(kLogWarning, "Невозможно загрузить файл звука [Media.rar2/Sounds/tone.wav]"));
    node->Update(0.1);
    EXPECT_TRUE(audio.Calls().empty());
}

}  // namespace
}  // namespace zav
