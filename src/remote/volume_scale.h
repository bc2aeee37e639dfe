// The volume slider's steps 0..10 against the player's volume 0..255.
#pragma once

#include <cstdint>
#include <optional>

namespace tokalux {

// The player volume for a slider step: step x 25.5, rounded to the nearest integer, halves to
// even (0, 26, 51, 76, 102, 128, 153, 178, 204, 230, 255).
int32_t VolumeForPosition(int32_t position);

// The slider step that shows a player volume: the inverse, volume / 25.5 rounded the same way,
// so every volume a step sends shows as that step. Nothing for a volume outside 0..255.
std::optional<int32_t> PositionForVolume(int32_t volume);

}  // namespace tokalux
