#pragma once

#include <cstdint>

namespace zav {

enum InputDevice : int32_t { kDeviceKeyboard = 0, kDeviceMouse = 1, kDeviceWindow = 2 };
enum InputAction : int32_t { kActionPressed = 1, kActionReleased = 2, kActionMoved = 3, kActionClosed = 4 };

// One input event: keyboard {0, 1|2, key code, 0}; mouse buttons {1, 1|2,
// button, 0}; mouse movement {1, 3, x, y}; window closed {2, 4, 0, 0}.
struct InputEvent {
    int32_t device = 0;
    int32_t action = 0;
    int32_t code = 0;
    int32_t value = 0;
};

}  // namespace zav
