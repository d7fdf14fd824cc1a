#include "app/RunEndingRule.h"

namespace zav {

bool RunEndingRule::EndsRun(const InputEvent& event, bool exitOnMouseMove) {
    switch (event.device) {
        case kDeviceWindow:
            return event.action == kActionClosed && event.code == 0;
        case kDeviceMouse:
            if (event.action == kActionPressed) return true;
            // Moves count down only while they matter; ten are tolerated.
            if (event.action == kActionMoved && exitOnMouseMove) return --mouseMoveAllowance_ < 0;
            return false;
        case kDeviceKeyboard:
            return event.action == kActionPressed;
        default:
            return false;
    }
}

}  // namespace zav
