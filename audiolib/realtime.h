// Real-time scheduling for the thread that pulls a device's mix out: under load a dropout on the
// air costs more than anything that thread takes from the rest of the system.
#pragma once

namespace audiolib {

// Asks for first-in-first-out real-time scheduling of the calling thread at a moderate priority
// (within the user's real-time limit where there is one). False, with nothing changed, where the
// system does not allow it: the thread then goes on at its normal priority.
bool raiseThreadToRealtime();

}  // namespace audiolib
