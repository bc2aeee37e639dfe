// The benchmarks' command line: "--name value" pairs of whole numbers.
#pragma once

#include <cwchar>
#include <cstdlib>

namespace tokalux::bench {

// The number after --name, or fallback when it is not given.
inline int ArgValue(int argc, wchar_t** argv, const wchar_t* name, int fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::wcscmp(argv[i], name) == 0)
      return static_cast<int>(std::wcstol(argv[i + 1], nullptr, 10));
  }
  return fallback;
}

}  // namespace tokalux::bench
