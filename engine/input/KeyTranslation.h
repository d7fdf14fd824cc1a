#pragma once

#include <cstdint>

namespace zav {

// Engine code of every key that has no code of its own, the generic Shift,
// Control and Alt included.
constexpr int32_t kKeyOther = 100;

// Translates one of the platform's 256 virtual-key codes into the engine's
// key code; anything out of range gives kKeyOther.
int32_t TranslateVirtualKey(uint32_t virtualKey);

}  // namespace zav
