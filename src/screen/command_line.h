// The screen-saver switches on the command line.
#pragma once

#include <string_view>

namespace tokalux {

enum class StartMode {
  Run,        // /S, nothing, or anything else: show the full-screen display
  Configure,  // /C or -C, in either case, possibly followed by ":<window>"
  Preview,    // /P or -P, in either case, possibly followed by " <window>"
};

// Only the first two characters of the arguments count (leading blanks are skipped).
StartMode ParseStartMode(std::wstring_view arguments);

}  // namespace tokalux
