#pragma once

#include "engine/input/InputEvent.h"
#include "engine/input/InputHandler.h"

namespace zav {

// Adds a handler at the head of the handler list (newest first).
int RegisterInputHandler(InputHandler* handler);

}  // namespace zav
