#pragma once

#include "engine/input/InputEvent.h"
#include "engine/input/InputHandler.h"

namespace zav {

// The process-wide input manager: window procedures queue events with
// PostEvent, and ProcessInput hands them once per frame to every handler.

// Engine start and stop of the manager (registered in the engine's lists).
int InitializeInputManager();
int ShutdownInputManager();

// Adds a handler at the head of the handler list (newest first), with a
// counted reference. 3 for null; a handler already in the list stays once.
int RegisterInputHandler(InputHandler* handler);

// Queues an event for the next ProcessInput. The queue keeps its storage
// between frames; events posted while the manager is stopped are dropped.
void PostEvent(const InputEvent& event);

// Dispatches the thread's waiting window messages (which may queue events),
// then gives every queued event to every handler: the first handler in the
// list sees all events before the next one sees any. Empties the queue.
int ProcessInput();

// Dispatches the thread's waiting window messages without waiting; a quit
// message becomes a window event. Returns 0.
int PumpMessages();

// Number of events queued since the last dispatch.
int PendingEventCount();

}  // namespace zav
