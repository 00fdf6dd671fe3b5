// Error families of the desktop program. Each what() is the text the user sees.
#pragma once

#include <stdexcept>

namespace itn {

// A folder or file of the program's own could not be created.
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace itn
