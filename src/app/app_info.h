// Names and texts of the desktop program that several parts of it show.
#pragma once

namespace itn {

inline constexpr const char* kApplicationTitle = "ITN > Brinlow";
inline constexpr const char* kWindowCaption = "ITN > Brinlow Converter";
inline constexpr const char* kProductKey = "itn2brinlow";  // update check and settings file
inline constexpr const char* kVersionText = "1.23";        // never parsed as a number
inline constexpr const char* kHelpFileName = "itn2brinlow.chm";

}  // namespace itn
