#pragma once

namespace lumaref {

// One request to stop the program, made by a signal handler (or any thread) and seen by every long
// job and every wait: a job asks stopRequested() between steps, a wait on a socket polls the
// descriptor beside it, so no wait outlasts the request.

// Async-signal-safe.
void requestStop() noexcept;
bool stopRequested() noexcept;
// Readable from the moment a stop is requested; -1 when the system gave no descriptor.
int stopRequestDescriptor() noexcept;
// Forgets a request, as a test between cases.
void clearStopRequest() noexcept;

}  // namespace lumaref
