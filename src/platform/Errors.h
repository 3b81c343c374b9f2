#pragma once

#include <stdexcept>
#include <string>

namespace harvel {

// The silent abort: ends the failing call without a message of its own; the caller
// shows its own text or nothing.
class EAbort : public std::runtime_error {
public:
    EAbort() : std::runtime_error("Operation aborted") {}
};

// An error of the serial port component, when its error handler does not abort.
class EComError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace harvel
