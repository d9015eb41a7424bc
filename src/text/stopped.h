#pragma once

#include "text/error.h"
#include "text/stop_request.h"

namespace lumaref {

// What a job or a reader throws when it gives up at a stop request. It leaves what a kill would leave,
// or less: whatever was committed before stays, nothing is half-written.
class Stopped : public Error {
public:
    Stopped() : Error("Stopped.") {}
};

// Asked between the steps of every long job and reader.
inline void stopIfRequested() {
    if (stopRequested()) throw Stopped();
}

}  // namespace lumaref
