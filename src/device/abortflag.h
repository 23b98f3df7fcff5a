#pragma once
// The abort flag of the instrument worker. Long transfers poll it through the
// command engine's abort test; the worker sets and clears it.

namespace Device {

void SetAbortFlag(bool aborted);
bool IsAbortFlagSet();
// The command engine's abort test (the user value is not used).
bool WorkerAbortTest(int userValue);

} // namespace Device
