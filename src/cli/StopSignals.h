// SIGINT and SIGTERM during a device command: the transfer stops at its next report and closes
// properly instead of leaving the keyboard half written without a word.
#pragma once

// From here on the first SIGINT or SIGTERM asks the device operation to stop; a second one ends
// the program at once, as usual.
void CatchStopSignals();
// The signal that asked for the stop, 0 when none came.
int GetCaughtStopSignal();
