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

// Emptied after each dispatch; its storage stays for the next frame.
Array<InputEvent>* gEvents = nullptr;
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
    gEvents->Clear();
    LogInfo("Менеджер ввода инициализирован.");
    return kOk;
}

int ShutdownInputManager() {
    LogInfo("Завершение работы менеджера ввода.");
    delete gEvents;
    gEvents = nullptr;
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
    // Out of memory, the event is lost and the run goes on.
    if (gEvents) gEvents->Append(event);
}

int PumpMessages() {
    // The quit message never reaches a window procedure; it closes the window
    // like WM_CLOSE would.
    if (platform::DispatchWindowMessages()) PostEvent(InputEvent{kDeviceWindow, kActionClosed, 0, 0});
    return kOk;
}

int ProcessInput() {
    PumpMessages();
    // Events posted while handlers run are dropped with the rest. A handler
    // may stop the manager, which frees the queue and the handler list.
    const int32_t count = PendingEventCount();
    for (HandlerNode* node = gHandlers; node;) {
        // Keep the handler alive even if it is the last reference's owner.
        Ref<InputHandler> handler = node->handler;
        for (int32_t i = 0; i < count && gEvents; ++i) {
            const InputEvent event = (*gEvents)[i];  // posting may move the queue
            handler->OnInputEvent(event);
        }
        if (!gEvents) return kOk;
        node = node->next;
    }
    if (gEvents) gEvents->Clear();
    return kOk;
}

int PendingEventCount() { return gEvents ? gEvents->Count() : 0; }

}  // namespace zav
