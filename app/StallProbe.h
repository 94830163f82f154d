#pragma once
// The stall probe, for the UI stall benchmark: when the environment names a
// file in EVDO_STALL_PROBE, every stretch the UI thread spends away from its
// event loop for EVDO_STALL_PROBE_MIN_US microseconds or more (default 2000)
// is appended to that file as a line "<start ns> <duration us>" (steady
// clock, the same clock as CLOCK_MONOTONIC), written at once so that nothing
// is lost when the program ends. The first line is a comment with the
// process id and the threshold.
namespace evdo {

// Starts the probe on the thread's event dispatcher when it is asked for.
// Call once, after the application object is made.
void StartStallProbeIfAsked();

}  // namespace evdo
