#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/animation/SoundNodeAnimationController.h"
#include "engine/files/Directory.h"
#include "engine/files/FileManager.h"
#include "engine/files/MemoryFile.h"
#include "engine/scene/SoundNode.h"
#include "tests/animation/AnimationTestSupport.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/RecordingAudio.h"
#include "tools/soundgen/SoundFiles.h"

namespace zav {
namespace {

using Calls = std::vector<std::string>;

// A sound node playing a short tone, switched by on/off keys: on during the
// first half of a one-second track, off during the second.
class SoundSwitch : public test::EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        media_ = new Directory("Media.rar2", GetRoot());
        const std::vector<uint8_t> tone = soundgen::EncodeWav(soundgen::MakeTone(22050, 1, 0.5, 440.0, 0.5f, 0.5f), 16);
        auto* file = new MemoryFile("tone.wav");
        char* bytes = new char[tone.size()];
        std::memcpy(bytes, tone.data(), tone.size());
        ASSERT_EQ(file->SetSource(bytes, static_cast<int32_t>(tone.size())), kOk);
        ASSERT_EQ(media_->AttachFile(file), kOk);
        ASSERT_EQ(node_->LoadSound(FindFile("tone.wav"), false), kOk);
        ASSERT_NE(node_->GetStream(), 0u);
        controller_->SetPeriod(1.0);
        controller_->AddFrame(test::Frame(test::BoolKeys("on", {{0.0, true}, {0.5, false}}).Get(), 0.0, 1.0));
        ASSERT_EQ(node_->AddController(controller_.Get()), kOk);
        stream_ = std::to_string(node_->GetStream());
        audio_.Clear();
    }
    void TearDown() override {
        node_ = nullptr;
        delete media_;
        EngineFixture::TearDown();
    }
    // The channel calls of one controller update at `phase`.
    Calls At(double phase) {
        audio_.Clear();
        controller_->SetPhase(phase);
        controller_->Update(0.0);
        return audio_.Calls();
    }

    test::RecordingAudio audio_;
    Directory* media_ = nullptr;
    Ref<SoundNode> node_{new SoundNode("beacon")};
    Ref<SoundNodeAnimationController> controller_{new SoundNodeAnimationController("switch")};
    std::string stream_;
};

TEST_F(SoundSwitch, OnStartsAStoppedStreamFromItsBeginningAndKeepsItPlaying) {
    node_->SetPlaying(false);
    EXPECT_EQ(At(0.25),
              (Calls{"ChannelIsActive " + stream_, "ChannelPlay " + stream_ + " 1", "ChannelPlay " + stream_ + " 0"}));
    EXPECT_TRUE(node_->IsPlaying());
    EXPECT_EQ(At(0.3), (Calls{"ChannelIsActive " + stream_, "ChannelPlay " + stream_ + " 0"}));
}

TEST_F(SoundSwitch, OffStopsAPlayingStreamAndStopsItAgainEveryUpdate) {
    At(0.25);
    EXPECT_EQ(At(0.75), (Calls{"ChannelIsActive " + stream_, "ChannelStop " + stream_, "ChannelStop " + stream_}));
    EXPECT_FALSE(node_->IsPlaying());
    EXPECT_EQ(At(0.8), (Calls{"ChannelIsActive " + stream_, "ChannelStop " + stream_}));
}

TEST_F(SoundSwitch, WithoutKeysItIsOnAndWithoutAStreamOnlyTheFlagChanges) {
    Ref<SoundNodeAnimationController> keyless(new SoundNodeAnimationController());
    Ref<SoundNode> silent(new SoundNode("silent"));
    silent->AddController(keyless.Get());
    silent->AddController(controller_.Get());
    silent->SetPlaying(false);
    keyless->Update(0.0);
    EXPECT_TRUE(silent->IsPlaying());
    controller_->SetPhase(0.75);
    controller_->Update(0.0);
    EXPECT_FALSE(silent->IsPlaying());
    EXPECT_TRUE(audio_.Calls().empty());
}

TEST_F(SoundSwitch, AnOwnerThatIsNoSoundNodeIsLeftAlone) {
    Ref<test::CountedSceneNode> node(new test::CountedSceneNode("not a sound"));
    Ref<SoundNodeAnimationController> controller(new SoundNodeAnimationController());
    node->AddController(controller.Get());
    node->Update(0.1);
    EXPECT_TRUE(audio_.Calls().empty());
}

}  // namespace
}  // namespace zav
