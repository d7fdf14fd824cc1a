#include "engine/input/InputManager.h"

#include <new>

#include "engine/core/Array.h"
#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/platform/Platform.h"

namespace zav {

namespace {

constexpr int32_t kQueueCapacity = 128;
constexpr int32_t kQueueGrowthStep = 128;

struct HandlerNode {
    Ref<InputHandler> handler;
    HandlerNode* next = nullptr;
};

// The queue holds `pendingCount` live events at its front; entries past it are
// storage kept for the next frame.
Array<InputEvent>* gEvents = nullptr;
int32_t gPendingCount = 0;
HandlerNode* gHandlers = nullptr;

void DropHandlers() {
    while (gHandlers) {
        HandlerNode* next = gHandlers->next;
        delete gHandlers;
        gHandlers = next;
    }
}

bool gInputManagerRegistered = false;
EngineRegistration gInputManagerRegistration(gInputManagerRegistered, InitializeInputManager,
                                             ShutdownInputManager);

}  // namespace

int InitializeInputManager() {
    LogInfo("Инициализация менеджера ввода.");
    if (!gEvents) {
        gEvents = new (std::nothrow) Array<InputEvent>(kQueueCapacity, kQueueGrowthStep);
        if (!gEvents) {
            LogError("Недостаточно памяти для инициализации менеджера ввода.");
            return kFailed;
        }
    }
    gPendingCount = 0;
    LogInfo("Менеджер ввода инициализирован.");
    return kOk;
}

int ShutdownInputManager() {
    LogInfo("Завершение работы менеджера ввода.");
    delete gEvents;
    gEvents = nullptr;
    gPendingCount = 0;
    DropHandlers();
    LogInfo("Менеджер ввода завершил работу.");
    return kOk;
}

int RegisterInputHandler(InputHandler* handler) {
    if (!handler) {
        LogWarning("Указатель на обработчик ввода равен 0.");
        return kNotFound;
    }
    for (HandlerNode* node = gHandlers; node; node = node->next) {
        if (node->handler == handler) {
            LogWarning("Обработчик ввода [%s] уже зарегестрирован.", handler->GetName().CStr());
            return kOk;
        }
    }
    HandlerNode* node = new (std::nothrow) HandlerNode();
    if (!node) {
        LogError("Недостаточно памяти для регистрации обработчика ввода [%s].", handler->GetName().CStr());
        return kOutOfMemory;
    }
    node->handler = handler;
    node->next = gHandlers;
    gHandlers = node;
    return kOk;
}

void PostEvent(const InputEvent& event) {
    if (!gEvents) return;
    if (gPendingCount < gEvents->Count()) {
        (*gEvents)[gPendingCount] = event;
    } else if (gEvents->Append(event) != kOk) {
        return;  // out of memory: the event is lost, the run goes on
    }
    ++gPendingCount;
}

int PumpMessages() {
    // The quit message never reaches a window procedure; it closes the window
    // like WM_CLOSE would.
    if (platform::DispatchWindowMessages()) PostEvent(InputEvent{kDeviceWindow, kActionClosed, 0, 0});
    return kOk;
}

int ProcessInput() {
    PumpMessages();
    const int32_t count = gPendingCount;
    for (HandlerNode* node = gHandlers; node; node = node->next) {
        // Keep the handler alive even if it is the last reference's owner.
        Ref<InputHandler> handler = node->handler;
        for (int32_t i = 0; i < count && gEvents; ++i) handler->OnInputEvent((*gEvents)[i]);
    }
    gPendingCount = 0;
    return kOk;
}

int PendingEventCount() { return gPendingCount; }

}  // namespace zav
