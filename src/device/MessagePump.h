// The bounded message pump that long device loops call so that windows keep painting.
#pragma once

#include <functional>

// Calls the hook, if one is set and this is the thread that set it; the editor's hook dispatches
// events for at most 500 ms.
void PumpMessages();
// An empty hook makes PumpMessages a no-op again.
void SetPumpMessagesHook(std::function<void()> hook);
