// What the benchmarks share: their command line ("--name value" pairs of whole numbers or text)
// and a clock.
#pragma once

#include <windows.h>

#include <cwchar>
#include <cstdlib>
#include <string>

namespace tokalux::bench {

// The number after --name, or fallback when it is not given.
inline int ArgValue(int argc, wchar_t** argv, const wchar_t* name, int fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::wcscmp(argv[i], name) == 0)
      return static_cast<int>(std::wcstol(argv[i + 1], nullptr, 10));
  }
  return fallback;
}

// The text after --name, or fallback when it is not given.
inline std::wstring ArgText(int argc, wchar_t** argv, const wchar_t* name,
                            const wchar_t* fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::wcscmp(argv[i], name) == 0) return argv[i + 1];
  }
  return fallback;
}

// Seconds on the performance counter, from some fixed point.
inline double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

}  // namespace tokalux::bench
