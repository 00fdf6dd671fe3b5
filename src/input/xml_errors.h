// Exception families of the streaming XML reader. Each what() is the exact text the user sees.
// A file that cannot be opened raises itn::EFOpenError (io/errors.h); a failing read
// itn::EReadError.
#pragma once

#include <stdexcept>
#include <string>

namespace itn {

// A load that stops on malformed input: "Missing element name", "Missing close tag in
// element %s", "Missing data after \"<\" in element %s", "Incorrect close tag in element %s",
// "Missing \">\" in close tag of element %s", "No root element found in xml",
// "Unsupported string encoding".
class EXmlParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A node value that is not a number: "Cannot convert value to float",
// "'%s' is not a valid integer value".
class EXmlConvertError : public EXmlParseError {
public:
    using EXmlParseError::EXmlParseError;
};

}  // namespace itn
