// A request to stop the device operation under way, safe to make from a signal handler: transfers
// stop at the next report boundary, run their closing steps and answer DeviceResultInterrupted.
#pragma once

void RequestDeviceStop();
bool IsDeviceStopRequested();
// Lets the next operation run to its end again.
void ClearDeviceStopRequest();
