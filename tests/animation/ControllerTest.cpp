#include <gtest/gtest.h>

#include <string>

#include "engine/animation/Controller.h"
#include "engine/core/Engine.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"
#include "tests/support/LogCapture.h"
#include "tests/support/SampleClasses.h"

namespace zav {
namespace {

using test::NameAndId;
using test::SampleController;
using test::SampleNode;

class ControllerRecord : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(EngineInit(), kOk); }
    void TearDown() override { EXPECT_EQ(EngineShutdown(), kOk); }
};

TEST(Controller, StartsActiveWithoutOwnerAndItsBaseOperationsDoNothing) {
    Ref<Controller> controller(new Controller("plain"));
    EXPECT_TRUE(controller->IsActive());
    EXPECT_EQ(controller->GetOwner(), nullptr);
    controller->Update(1.0);
    controller->Reset();
    EXPECT_TRUE(controller->IsActive());
    EXPECT_EQ(controller->GetOwner(), nullptr);
    EXPECT_EQ(controller->GetType()->GetName(), "ZAV.Controller");
}

TEST_F(ControllerRecord, ActiveFlagFollowsTheObjectRecordAndOwnerIsNotStored) {
    Ref<SampleNode> owner(new SampleNode("owner"));
    Ref<SampleController> controller(new SampleController("ctl"));
    controller->SetActive(false);
    owner->AddController(controller.Get());

    Stream stream(0, 64);
    ASSERT_EQ(controller->Controller::Save(stream), kOk);
    // Object record (name, no controllers), then one byte for `active`.
    EXPECT_EQ(std::string(stream.GetData(), stream.GetPosition()), std::string("\x03\x00\x00\x00" "ctl" "\x00\x00\x00\x00" "\x00", 12));

    stream.SetPosition(0);
    Ref<Controller> copy(new Controller());
    ASSERT_EQ(copy->Load(stream), kOk);
    EXPECT_FALSE(copy->IsActive());
    EXPECT_EQ(copy->GetName(), "ctl");
    EXPECT_EQ(copy->GetOwner(), nullptr);
}

TEST_F(ControllerRecord, MissingActiveFlagFailsWithItsMessages) {
    Ref<Controller> controller(new Controller("ctl"));
    {
        Stream full(11, 0);  // room for the Object record only
        test::LogCapture capture;
        EXPECT_EQ(controller->Save(full), kFailed);
        EXPECT_TRUE(capture.Has(kLogError, "Невозможно сохранить флаг активности контроллера. " + NameAndId(*controller)));
    }
    {
        Stream stream(8, 0);
        stream.WriteInt32(0);
        stream.WriteInt32(0);
        stream.SetPosition(0);
        test::LogCapture capture;
        EXPECT_EQ(controller->Load(stream), kFailed);
        EXPECT_TRUE(capture.Has(kLogError, "Невозможно загрузить флаг активности контроллера. ID[" +
                                               std::to_string(controller->GetId()) + "] Имя[]"));
    }
    {
        Stream empty(0, 0);
        test::LogCapture capture;
        EXPECT_EQ(controller->Save(empty), kFailed);
        EXPECT_TRUE(capture.Has(kLogError, "Невозможно сохранить родительские данные. Имя[] ID[" +
                                               std::to_string(controller->GetId()) + "]"));
    }
}

}  // namespace
}  // namespace zav
