#pragma once

#include <functional>

namespace tombolix {

// The general error handler: every event handler runs through it. An error
// shows its text in a message box and ends the operation there; nothing
// crosses the event loop. Returns false when the handler failed.
bool runGuarded(const std::function<void()>& handler);

} // namespace tombolix
