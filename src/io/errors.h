// Exception families of the foundation layer. Each what() is the exact text the user sees.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

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
// The text names the file and the system's reason when they are known.
class EWriteError : public std::runtime_error {
public:
    EWriteError() : std::runtime_error("Stream write error") {}
    explicit EWriteError(const std::string& Where) : std::runtime_error("Stream write error" + Where) {}
};

// A run stopped on request (a signal, the window's Stop) before it completed.
class EStopped : public std::runtime_error {
public:
    EStopped() : std::runtime_error("Stopped: nothing was written") {}
};

// An operating-system call failed; the text carries the code and the system's message.
class EOSError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Text for a message: characters below 0x20 other than tab shown as \xNN, so that names
// quoted from an input cannot drive the terminal.
inline std::string EscapeControlCharacters(std::string_view Text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(Text.size());
    for (const char c : Text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && byte != '\t') {
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 15];
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace itn
