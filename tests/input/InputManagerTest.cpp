#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/input/InputManager.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

// Writes "<name>:<code>" for every event it receives.
class RecordingHandler : public InputHandler {
public:
    RecordingHandler(const char* name, std::vector<std::string>* seen) : InputHandler(name), seen_(seen) {}
    int OnInputEvent(const InputEvent& event) override {
        seen_->push_back(std::string(GetName().CStr()) + ":" + std::to_string(event.code));
        return kOk;
    }

private:
    std::vector<std::string>* seen_;
};

InputEvent Key(int32_t code) { return InputEvent{kDeviceKeyboard, kActionPressed, code, 0}; }

class InputManagerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(InitializeInputManager(), kOk); }
    void TearDown() override { ShutdownInputManager(); }
    std::vector<std::string> seen;
};

TEST_F(InputManagerTest, NewestHandlerSeesEveryEventFirstAndTheQueueEmpties) {
    Ref<RecordingHandler> first(new RecordingHandler("first", &seen));
    Ref<RecordingHandler> second(new RecordingHandler("second", &seen));
    ASSERT_EQ(RegisterInputHandler(first.Get()), kOk);
    ASSERT_EQ(RegisterInputHandler(second.Get()), kOk);
    PostEvent(Key(1));
    PostEvent(Key(2));
    PostEvent(Key(3));
    EXPECT_EQ(PendingEventCount(), 3);
    EXPECT_EQ(ProcessInput(), kOk);
    EXPECT_EQ(seen, (std::vector<std::string>{"second:1", "second:2", "second:3", "first:1", "first:2", "first:3"}));
    EXPECT_EQ(PendingEventCount(), 0);
    seen.clear();
    ProcessInput();
    EXPECT_TRUE(seen.empty());
}

TEST_F(InputManagerTest, QueueGrowsPastItsFirstCapacityAndIsReusedNextFrame) {
    Ref<RecordingHandler> handler(new RecordingHandler("h", &seen));
    RegisterInputHandler(handler.Get());
    for (int32_t i = 0; i < 300; ++i) PostEvent(Key(i));
    ProcessInput();
    ASSERT_EQ(seen.size(), 300u);
    EXPECT_EQ(seen[299], "h:299");
    seen.clear();
    PostEvent(Key(7));
    ProcessInput();
    EXPECT_EQ(seen, std::vector<std::string>{"h:7"});  // no stale events from the bigger frame
}

TEST_F(InputManagerTest, NullAndRepeatedRegistrationsWarn) {
    test::LogCapture capture;
    EXPECT_EQ(RegisterInputHandler(nullptr), kNotFound);
    EXPECT_TRUE(capture.Has(kLogWarning, "Указатель на обработчик ввода равен 0."));
    Ref<RecordingHandler> handler(new RecordingHandler("app", &seen));
    EXPECT_EQ(RegisterInputHandler(handler.Get()), kOk);
    EXPECT_EQ(RegisterInputHandler(handler.Get()), kOk);
    EXPECT_TRUE(capture.Has(kLogWarning, "Обработчик ввода [app] уже зарегестрирован."));
    PostEvent(Key(5));
    ProcessInput();
    EXPECT_EQ(seen, std::vector<std::string>{"app:5"});
}

TEST_F(InputManagerTest, ShutdownDropsHandlersAndEventsWhileStoppedAreLost) {
    Ref<RecordingHandler> handler(new RecordingHandler("h", &seen));
    RegisterInputHandler(handler.Get());
    EXPECT_EQ(handler->RefCount(), 2);
    test::LogCapture capture;
    capture.Clear();
    ShutdownInputManager();
    EXPECT_EQ(capture.Texts(),
              (std::vector<std::string>{"Завершение работы менеджера ввода.", "Менеджер ввода завершил работу."}));
    EXPECT_EQ(handler->RefCount(), 1);
    PostEvent(Key(1));
    EXPECT_EQ(PendingEventCount(), 0);
    EXPECT_EQ(ProcessInput(), kOk);
    EXPECT_TRUE(seen.empty());
    ASSERT_EQ(InitializeInputManager(), kOk);
    EXPECT_TRUE(capture.Has(kLogInfo, "Менеджер ввода инициализирован."));
}

// Stops the manager from inside a dispatch, as ending the engine on a key
// would; the handler below it is never reached and nothing freed is touched.
class StoppingHandler : public RecordingHandler {
public:
    using RecordingHandler::RecordingHandler;
    int OnInputEvent(const InputEvent& event) override {
        RecordingHandler::OnInputEvent(event);
        ShutdownInputManager();
        return kOk;
    }
};

TEST_F(InputManagerTest, AHandlerMayStopTheManagerWhileEventsAreDispatched) {
    Ref<RecordingHandler> later(new RecordingHandler("later", &seen));
    Ref<StoppingHandler> stopping(new StoppingHandler("stopping", &seen));
    RegisterInputHandler(later.Get());
    RegisterInputHandler(stopping.Get());
    PostEvent(Key(1));
    PostEvent(Key(2));
    EXPECT_EQ(ProcessInput(), kOk);
    EXPECT_EQ(seen, std::vector<std::string>{"stopping:1"});
    EXPECT_EQ(PendingEventCount(), 0);
}

}  // namespace
}  // namespace zav
