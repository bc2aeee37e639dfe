// Carry-on mode: a step that fails is abandoned where it failed and the next step runs. A step
// fails by throwing (a checked conversion, a refused setting); nothing is shown or logged.
#pragma once

#include <stdexcept>

namespace tokalux {

struct StepFailed : std::runtime_error {
  StepFailed() : std::runtime_error("step failed") {}
};

template <typename Step>
void CarryOn(Step&& step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace tokalux
