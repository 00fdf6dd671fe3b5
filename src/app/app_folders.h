// Where the desktop program finds itself, keeps its settings and finds its manual.
#pragma once

#include <string>

namespace itn {

// Folder of the program file with a trailing separator; empty when it cannot be found.
std::string ProgramFolder();

// The settings folder, with a trailing separator: $ITN2BRINLOW_SETTINGS_DIR when set, else
// $XDG_CONFIG_HOME (default ~/.config) + "itn2brinlow/".
std::string SettingsFolderPath();

// Creates Folder and its parents when missing; throws EInOutError with the reason otherwise.
void ForceFolder(const std::string& Folder);

// The help document: the compiled help file next to the program when present, else the
// installed HTML manual (next to an installed program, at the install prefix, or in the source
// tree for a build that was not installed). Empty when there is none.
std::string HelpDocumentPath(const std::string& ProgramFolder);

}  // namespace itn
