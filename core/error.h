#pragma once
// Errors carry a message meant for the user: the status field, the processing
// memo, a message box, or stderr of the headless command.
#include <stdexcept>
#include <string>

namespace tarnix {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that should hold a number does not.
class ConversionError : public Error {
public:
    using Error::Error;
};

// Open, seek, read or write failed, or a file is shorter than its headers say.
class IoError : public Error {
public:
    using Error::Error;
};

// The input has no more traces where one was asked for.
class EndOfData : public IoError {
public:
    using IoError::IoError;
};

} // namespace tarnix
