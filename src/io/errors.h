// Exception families of the foundation layer. Each what() is the exact text the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace itn {

// Calling an operation that a stream class does not implement.
class EAbstractError : public std::runtime_error {
public:
    EAbstractError() : std::runtime_error("Abstract Error") {}
};

// "Cannot create file ..." when a file cannot be created or replaced.
class EFCreateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "Cannot open file ..." when an existing file cannot be opened.
class EFOpenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A read that could not deliver all the bytes asked for.
class EReadError : public std::runtime_error {
public:
    EReadError() : std::runtime_error("Stream read error") {}
};

// A write that could not store all its bytes (full disk, file size limit, I/O error).
class EWriteError : public std::runtime_error {
public:
    EWriteError() : std::runtime_error("Stream write error") {}
};

// An operating-system call failed; the text carries the code and the system's message.
class EOSError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace itn
